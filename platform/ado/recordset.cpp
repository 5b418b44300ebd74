#include <limits>

#include "ado/ado.h"
#include "ado/ado_errors.h"
#include "ado/class_ids.h"
#include "ado/cursor.h"
#include "ado/script_args.h"

namespace ado {
namespace {

using automation::Args;

std::int32_t clampToInt32(std::int64_t n) {
  return n > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                      : static_cast<std::int32_t>(n);
}

Variant fieldsOrItem(const Recordset& rs, Args a) {
  auto fields = rs.Fields();
  if (!given(a, 0)) return Variant(automation::ObjectRef(fields));
  return Variant(automation::ObjectRef(fields->Item(a[0])));
}

const automation::TypeInfo& recordsetType() {
  using automation::byVal;
  using automation::optionalByVal;
  static const automation::TypeInfo info =
      automation::MemberTable<Recordset>(u"_Recordset", kRecordsetIid)
          .sub(
              u"Open",
              {optionalByVal(u"Source"), optionalByVal(u"ActiveConnection"),
               optionalByVal(u"CursorType"), optionalByVal(u"LockType"), optionalByVal(u"Options")},
              [](Recordset& rs, Args a) {
                rs.Open(argOr(a, 0, Variant()), argOr(a, 1, Variant()),
                        intArgOr(a, 2, adOpenUnspecified), intArgOr(a, 3, -1), intArgOr(a, 4, -1));
              })
          .sub(u"Close", {}, [](Recordset& rs, Args) { rs.Close(); })
          .readOnly(u"State", [](Recordset& rs, Args) { return Variant(rs.State()); })
          .readOnly(u"EOF", [](Recordset& rs, Args) { return Variant(rs.eof()); })
          .readOnly(u"BOF", [](Recordset& rs, Args) { return Variant(rs.bof()); })
          .sub(u"MoveNext", {}, [](Recordset& rs, Args) { rs.MoveNext(); })
          .sub(u"MoveFirst", {}, [](Recordset& rs, Args) { rs.MoveFirst(); })
          .property(u"Fields", {optionalByVal(u"Index")}, fieldsOrItem, {})
          .property(
              u"PageSize", {}, [](Recordset& rs, Args) { return Variant(rs.PageSize()); },
              [](Recordset& rs, Args, const Variant& v) { rs.setPageSize(automation::toInt32(v)); },
              u"pl")
          .property(
              u"AbsolutePage", {}, [](Recordset& rs, Args) { return Variant(rs.AbsolutePage()); },
              [](Recordset& rs, Args, const Variant& v) {
                rs.setAbsolutePage(automation::toInt32(v));
              },
              u"pl")
          .readOnly(u"PageCount", [](Recordset& rs, Args) { return Variant(rs.PageCount()); })
          .readOnly(u"RecordCount", [](Recordset& rs, Args) { return Variant(rs.RecordCount()); })
          // rs("name") and rs(0): the value of a field, as ADO's Collect gives it.
          .property(u"Collect", {byVal(u"Index")},
                    [](Recordset& rs, Args a) { return rs.value(a.empty() ? Variant() : a[0]); },
                    {})
          .asDefault()
          .build();
  return info;
}

// Positions ADO reports instead of a page number.
constexpr std::int32_t kPosUnknown = -1;
constexpr std::int32_t kPosBof = -2;
constexpr std::int32_t kPosEof = -3;

}  // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

const automation::TypeInfo& Recordset::typeInfo() const { return recordsetType(); }

void Recordset::Open(const Variant& source, const Variant& activeConnection,
                     std::int32_t cursorType, std::int32_t, std::int32_t) {
  if (cursor_) throwObjectOpen(errorSource::kRecordset);
  std::shared_ptr<Connection> connection;
  if (activeConnection.isObject()) {
    connection = automation::objectAs<Connection>(activeConnection);
  } else if (activeConnection.isText()) {
    connection = std::make_shared<Connection>();
    connection->Open(activeConnection.text());
  }
  if (!connection || connection->State() != adStateOpen) {
    throwConnectionUnusable(errorSource::kRecordset);
  }
  Text sql = automation::toText(source);
  std::shared_ptr<Provider> provider = connection->sharedProvider();
  std::unique_ptr<Rows> rows = provider->query(sql, 0);
  if (rows->columnCount() == 0) return;  // the statement ran; there are no rows to hold
  if (cursorType == adOpenUnspecified) cursorType = adOpenForwardOnly;
  cursor_ =
      std::make_shared<Cursor>(std::move(provider), std::move(sql), cursorType, std::move(rows));
  if (!activeConnection.isObject()) ownConnection_ = std::move(connection);
}

void Recordset::adopt(std::shared_ptr<Cursor> cursor) { cursor_ = std::move(cursor); }

void Recordset::Close() {
  cursor().close();
  cursor_.reset();
  if (ownConnection_) {
    ownConnection_->Close();
    ownConnection_.reset();
  }
}

std::int32_t Recordset::State() const { return cursor_ ? adStateOpen : adStateClosed; }

Cursor& Recordset::cursor() const {
  if (!cursor_) throwObjectClosed(errorSource::kRecordset);
  return *cursor_;
}

bool Recordset::eof() const { return cursor().eof(); }
bool Recordset::bof() const { return cursor().bof(); }
void Recordset::MoveNext() { cursor().moveNext(); }
void Recordset::MoveFirst() { cursor().moveFirst(); }

std::shared_ptr<ado::Fields> Recordset::Fields() const {
  cursor();
  return std::make_shared<ado::Fields>(cursor_);
}

Variant Recordset::value(const Variant& indexOrName) const {
  return cursor().value(cursor().fieldIndex(indexOrName));
}

std::int32_t Recordset::type(const Variant& indexOrName) const {
  return cursor().columnType(cursor().fieldIndex(indexOrName));
}

void Recordset::setPageSize(std::int32_t n) {
  if (n < 1) throwArgumentOutOfRange(errorSource::kRecordset);
  pageSize_ = n;
}

std::int32_t Recordset::AbsolutePage() const {
  Cursor& c = cursor();
  if (!c.scrollable()) return kPosUnknown;
  if (c.eof()) return kPosEof;
  if (c.bof()) return kPosBof;
  return clampToInt32(c.position() / pageSize_ + 1);
}

void Recordset::setAbsolutePage(std::int32_t page) {
  Cursor& c = cursor();
  if (!c.scrollable()) throwNotCapable(errorSource::kRecordset);
  if (page < 1) throwArgumentOutOfRange(errorSource::kRecordset);
  c.moveTo(std::int64_t{page - 1} * pageSize_);
}

std::int32_t Recordset::PageCount() const {
  std::int64_t rows = cursor().recordCount();
  if (rows < 0) return kPosUnknown;
  return clampToInt32((rows + pageSize_ - 1) / pageSize_);
}

std::int32_t Recordset::RecordCount() const { return clampToInt32(cursor().recordCount()); }

}  // namespace ado
