// Recordset: opening, moving, paging, exporting rows (GetRows, GetString) and writing them
// (AddNew, Update, Delete) over a Cursor, and the members scripts call.
#include <limits>

#include "ado/ado.h"
#include "ado/ado_errors.h"
#include "ado/class_ids.h"
#include "ado/cursor.h"
#include "ado/record_writes.h"
#include "ado/script_args.h"

namespace ado {
namespace {

using automation::Args;
using automation::ObjectRef;

std::int32_t clampToInt32(std::int64_t n) {
  return n > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                      : static_cast<std::int32_t>(n);
}

Variant fieldsOrItem(const Recordset& rs, Args a) {
  auto fields = rs.Fields();
  if (!given(a, 0)) return Variant(ObjectRef(fields));
  return Variant(ObjectRef(fields->Item(a[0])));
}

// Update(Fields, Values) and AddNew(Fields, Values): a name and a value, or arrays of both.
void assignFields(Recordset& rs, Args a, std::size_t at) {
  if (!given(a, at)) return;
  auto fields = rs.Fields();
  if (a[at].type() == automation::VarType::VariantArray) {
    const auto& names = a[at].array();
    const auto& values = argOr(a, at + 1, Variant(Variant::Array{})).array();
    if (names.size() != values.size()) throwArgumentOutOfRange(errorSource::kRecordset);
    for (std::size_t i = 0; i < names.size(); ++i) fields->Item(names[i])->setValue(values[i]);
  } else {
    fields->Item(a[at])->setValue(argOr(a, at + 1, Variant::null()));
  }
}

std::int32_t intProperty(Variant v) { return automation::toInt32(v); }

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
          .sub(u"MovePrevious", {}, [](Recordset& rs, Args) { rs.MovePrevious(); })
          .sub(u"MoveLast", {}, [](Recordset& rs, Args) { rs.MoveLast(); })
          .sub(u"Move", {byVal(u"NumRecords"), optionalByVal(u"Start")},
               [](Recordset& rs, Args a) { rs.Move(automation::toInt32(a[0])); })
          .property(u"Fields", {optionalByVal(u"Index")}, fieldsOrItem, {})
          .property(
              u"PageSize", {}, [](Recordset& rs, Args) { return Variant(rs.PageSize()); },
              [](Recordset& rs, Args, const Variant& v) { rs.setPageSize(intProperty(v)); }, u"pl")
          .property(
              u"AbsolutePage", {}, [](Recordset& rs, Args) { return Variant(rs.AbsolutePage()); },
              [](Recordset& rs, Args, const Variant& v) { rs.setAbsolutePage(intProperty(v)); },
              u"pl")
          .property(
              u"AbsolutePosition", {},
              [](Recordset& rs, Args) { return Variant(rs.AbsolutePosition()); },
              [](Recordset& rs, Args, const Variant& v) { rs.setAbsolutePosition(intProperty(v)); },
              u"pl")
          .readOnly(u"PageCount", [](Recordset& rs, Args) { return Variant(rs.PageCount()); })
          .readOnly(u"RecordCount", [](Recordset& rs, Args) { return Variant(rs.RecordCount()); })
          .field(u"CursorLocation", &Recordset::CursorLocation)
          .readOnly(u"CursorType", [](Recordset& rs, Args) { return Variant(rs.CursorType()); })
          .readOnly(u"LockType", [](Recordset& rs, Args) { return Variant(rs.LockType()); })
          .readOnly(u"EditMode", [](Recordset& rs, Args) { return Variant(rs.EditMode()); })
          .readOnly(u"Source", [](Recordset& rs, Args) { return Variant(rs.Source()); })
          .function(u"GetRows",
                    {optionalByVal(u"Rows"), optionalByVal(u"Start"), optionalByVal(u"Fields")},
                    [](Recordset& rs, Args a) {
                      return rs.GetRows(intArgOr(a, 0, -1), argOr(a, 2, Variant::missing()));
                    })
          .function(u"GetString",
                    {optionalByVal(u"StringFormat"), optionalByVal(u"NumRows"),
                     optionalByVal(u"ColumnDelimeter"), optionalByVal(u"RowDelimeter"),
                     optionalByVal(u"NullExpr")},
                    [](Recordset& rs, Args a) {
                      return Variant(rs.GetString(intArgOr(a, 1, -1), textArgOr(a, 2, u"\t"),
                                                  textArgOr(a, 3, u"\r"), textArgOr(a, 4)));
                    })
          .sub(u"AddNew", {optionalByVal(u"FieldList"), optionalByVal(u"Values")},
               [](Recordset& rs, Args a) {
                 rs.AddNew();
                 assignFields(rs, a, 0);
               })
          .sub(u"Update", {optionalByVal(u"Fields"), optionalByVal(u"Values")},
               [](Recordset& rs, Args a) {
                 assignFields(rs, a, 0);
                 rs.Update();
               })
          .sub(u"CancelUpdate", {}, [](Recordset& rs, Args) { rs.CancelUpdate(); })
          .sub(u"Delete", {optionalByVal(u"AffectRecords")},
               [](Recordset& rs, Args) { rs.Delete(); })
          // rs("name") and rs(0): the field, whose default member is its value.
          .property(
              u"Collect", {byVal(u"Index")}, fieldsOrItem,
              [](Recordset& rs, Args a, const Variant& v) { rs.Fields()->Item(a[0])->setValue(v); })
          .asDefault()
          .build();
  return info;
}

// Positions ADO reports instead of a page number or position.
constexpr std::int32_t kPosUnknown = -1;
constexpr std::int32_t kPosBof = -2;
constexpr std::int32_t kPosEof = -3;

}  // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

const automation::TypeInfo& Recordset::typeInfo() const { return recordsetType(); }

template <class F>
auto Recordset::recordingErrors(F operation) -> decltype(operation()) {
  if (!connection_) return operation();
  return connection_->recordingErrors(operation);
}

void Recordset::Open(const Variant& source, const Variant& activeConnection,
                     std::int32_t cursorType, std::int32_t lockType, std::int32_t options) {
  if (cursor_) throwObjectOpen(errorSource::kRecordset);
  std::shared_ptr<Command> command =
      source.isObject() ? std::dynamic_pointer_cast<Command>(source.object()) : nullptr;
  std::shared_ptr<Connection> connection;
  bool owned = false;
  if (activeConnection.isObject()) {
    connection = automation::objectAs<Connection>(activeConnection);
  } else if (activeConnection.isText()) {
    connection = std::make_shared<Connection>();
    connection->Open(activeConnection.text());
    owned = true;
  } else if (command) {
    connection = command->ActiveConnection();
  }
  if (!connection || connection->State() != adStateOpen) {
    throwConnectionUnusable(errorSource::kRecordset);
  }
  Text sql = command ? command->statement() : automation::toText(source);
  std::vector<Variant> params = command ? command->parameterValues() : std::vector<Variant>{};
  if (!command && options == adCmdTable) sql = u"select * from " + sql;
  std::shared_ptr<Provider> provider = connection->sharedProvider();
  std::unique_ptr<Rows> rows =
      connection->recordingErrors([&] { return provider->query(sql, 0, params); });
  if (rows->columnCount() == 0) return;  // the statement ran; there are no rows to hold
  if (cursorType == adOpenUnspecified) cursorType = adOpenForwardOnly;
  cursor_ = std::make_shared<Cursor>(std::move(provider), std::move(sql), cursorType,
                                     std::move(rows), std::move(params));
  lockType_ = lockType == adLockUnspecified ? adLockReadOnly : lockType;
  connection_ = std::move(connection);
  ownsConnection_ = owned;
}

void Recordset::adopt(std::shared_ptr<Cursor> cursor) { cursor_ = std::move(cursor); }

void Recordset::Close() {
  cursor().close();
  cursor_.reset();
  writer_.reset();
  if (ownsConnection_) connection_->Close();
  connection_.reset();
  ownsConnection_ = false;
}

std::int32_t Recordset::State() const { return cursor_ ? adStateOpen : adStateClosed; }

Cursor& Recordset::cursor() const {
  if (!cursor_) throwObjectClosed(errorSource::kRecordset);
  return *cursor_;
}

bool Recordset::eof() const { return cursor().eof(); }
bool Recordset::bof() const { return cursor().bof(); }

void Recordset::MoveNext() {
  writeEdits();
  cursor().moveNext();
}

void Recordset::MoveFirst() {
  writeEdits();
  cursor().moveFirst();
}

void Recordset::MovePrevious() {
  writeEdits();
  cursor().movePrevious();
}

void Recordset::MoveLast() {
  writeEdits();
  recordingErrors([&] { cursor().moveLast(); });
}

void Recordset::Move(std::int32_t rows) {
  writeEdits();
  Cursor& c = cursor();
  if (rows == 0) return;
  if (rows < 0 && !c.scrollable()) throwNotCapable(errorSource::kRecordset);
  if (rows > 0 && c.bof() && !c.eof()) --rows;  // the first step leaves BOF for row 1
  std::int64_t from = c.eof() ? c.recordCount() : c.position();
  if (rows > 0 && c.eof()) throwNoCurrentRecord(errorSource::kRecordset);
  std::int64_t target = from + rows;
  c.moveTo(target < 0 ? -1 : target);
}

std::int32_t Recordset::AbsolutePosition() const {
  Cursor& c = cursor();
  if (!c.scrollable()) return kPosUnknown;
  if (c.eof()) return kPosEof;
  if (c.bof()) return kPosBof;
  return clampToInt32(c.position() + 1);
}

void Recordset::setAbsolutePosition(std::int32_t position) {
  writeEdits();
  Cursor& c = cursor();
  if (!c.scrollable()) throwNotCapable(errorSource::kRecordset);
  if (position < 1) throwArgumentOutOfRange(errorSource::kRecordset);
  c.moveTo(position - 1);
}

std::shared_ptr<ado::Fields> Recordset::Fields() const {
  cursor();
  return std::make_shared<ado::Fields>(cursor_);
}

std::optional<std::vector<Variant>> Recordset::enumerate() { return Fields()->enumerate(); }

Variant Recordset::value(const Variant& indexOrName) const {
  return cursor().value(cursor().fieldIndex(indexOrName));
}

int Recordset::fieldIndex(const Variant& indexOrName) const {
  return cursor().fieldIndex(indexOrName);
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

std::int32_t Recordset::CursorType() const { return cursor().cursorType(); }

Text Recordset::Source() const { return cursor_ ? cursor_->sql() : Text(); }

Variant Recordset::GetRows(std::int32_t rows, const Variant& fields) {
  Cursor& c = cursor();
  if (c.eof() || c.bof()) throwNoCurrentRecord(errorSource::kRecordset);
  std::vector<int> columns;
  if (fields.isMissing()) {
    for (int i = 0; i < c.columnCount(); ++i) columns.push_back(i);
  } else if (fields.type() == automation::VarType::VariantArray) {
    for (const auto& f : fields.array()) columns.push_back(c.fieldIndex(f));
  } else {
    columns.push_back(c.fieldIndex(fields));
  }
  Variant::Array cells;
  std::int32_t read = 0;
  for (; (rows < 0 || read < rows) && !c.eof(); ++read) {
    for (int column : columns) cells.push_back(c.value(column));
    MoveNext();
  }
  const auto fieldCount = static_cast<std::int32_t>(columns.size());
  return Variant(std::move(cells), {{0, fieldCount}, {0, read}});
}

Text Recordset::GetString(std::int32_t rows, TextView columnDelimiter, TextView rowDelimiter,
                          TextView nullExpression) {
  Cursor& c = cursor();
  if (c.eof() || c.bof()) throwNoCurrentRecord(errorSource::kRecordset);
  Text out;
  for (std::int32_t read = 0; (rows < 0 || read < rows) && !c.eof(); ++read) {
    for (int i = 0; i < c.columnCount(); ++i) {
      if (i > 0) out += columnDelimiter;
      Variant v = c.value(i);
      out += v.isNull() ? Text(nullExpression) : automation::joinText(v);
    }
    out += rowDelimiter;
    MoveNext();
  }
  return out;
}

RowWriter& Recordset::writer() {
  Cursor& c = cursor();
  if (lockType_ != adLockPessimistic && lockType_ != adLockOptimistic) {
    throwNotUpdatable(errorSource::kRecordset);
  }
  if (!writer_) {
    std::vector<Text> columns;
    for (int i = 0; i < c.columnCount(); ++i) columns.push_back(c.columnName(i));
    writer_ = recordingErrors(
        [&] { return std::make_unique<RowWriter>(c.provider(), c.sql(), std::move(columns)); });
  }
  return *writer_;
}

void Recordset::AddNew() {
  writeEdits();
  writer();
  cursor().beginAdd();
}

void Recordset::Update() {
  writer();
  writeEdits();
}

void Recordset::writeEdits() {
  Cursor& c = cursor();
  const EditState mode = c.editMode();
  if (mode == EditState::None) return;
  std::vector<Variant> original =
      mode == EditState::Editing ? c.currentRow() : std::vector<Variant>{};
  std::vector<std::optional<Variant>> edits = c.takeEdits();
  RowWriter& w = writer();
  c.pin(recordingErrors(
      [&] { return mode == EditState::Adding ? w.insert(edits) : w.update(original, edits); }));
}

void Recordset::CancelUpdate() { cursor().takeEdits(); }

void Recordset::Delete() {
  Cursor& c = cursor();
  RowWriter& w = writer();
  if (c.editMode() == EditState::Adding) {
    c.takeEdits();
    return;
  }
  c.takeEdits();
  std::vector<Variant> row = c.currentRow();
  recordingErrors([&] { w.remove(row); });
  c.markDeleted();
}

std::int32_t Recordset::EditMode() const { return static_cast<std::int32_t>(cursor().editMode()); }

}  // namespace ado
