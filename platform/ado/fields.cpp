// Fields and Field: the columns of a recordset, each reading (and, while editing, writing)
// the recordset's current row.
#include "ado/ado.h"
#include "ado/column_types.h"
#include "ado/cursor.h"

namespace ado {
namespace {

using automation::Args;

const automation::TypeInfo& fieldType() {
  static const automation::TypeInfo info =
      automation::MemberTable<Field>(u"Field", u"{0000054C-0000-0010-8000-00AA006D2EA4}")
          .property(
              u"Value", {}, [](Field& f, Args) { return f.Value(); },
              [](Field& f, Args, const Variant& v) { f.setValue(v); }, u"pvar")
          .asDefault()
          .readOnly(u"Name", [](Field& f, Args) { return Variant(f.Name()); })
          .readOnly(u"Type", [](Field& f, Args) { return Variant(f.Type()); })
          .readOnly(u"DefinedSize", [](Field& f, Args) { return Variant(f.DefinedSize()); })
          .readOnly(u"ActualSize", [](Field& f, Args) { return Variant(f.ActualSize()); })
          .readOnly(u"OriginalValue", [](Field& f, Args) { return f.OriginalValue(); })
          .readOnly(u"UnderlyingValue", [](Field& f, Args) { return f.OriginalValue(); })
          .build();
  return info;
}

const automation::TypeInfo& fieldsType() {
  static const automation::TypeInfo info =
      automation::MemberTable<Fields>(u"Fields", u"{00000564-0000-0010-8000-00AA006D2EA4}")
          .readOnly(u"Count", [](Fields& f, Args) { return Variant(f.Count()); })
          .property(u"Item", {automation::byVal(u"Index")},
                    [](Fields& f, Args a) {
                      return Variant(automation::ObjectRef(f.Item(a.empty() ? Variant() : a[0])));
                    },
                    {})
          .asDefault()
          .build();
  return info;
}

}  // namespace

const automation::TypeInfo& Field::typeInfo() const { return fieldType(); }

Text Field::Name() const { return cursor_->columnName(index_); }
Variant Field::Value() const { return cursor_->value(index_); }
void Field::setValue(Variant v) { cursor_->setValue(index_, std::move(v)); }
std::int32_t Field::Type() const { return cursor_->columnType(index_); }
std::int32_t Field::DefinedSize() const { return cursor_->columnSize(index_); }
Variant Field::OriginalValue() const { return cursor_->originalValue(index_); }

std::int32_t Field::ActualSize() const {
  Variant v = Value();
  if (v.isNull() || v.isEmpty()) return 0;
  if (v.isText()) return static_cast<std::int32_t>(v.text().size());
  if (v.type() == automation::VarType::ByteArray) {
    return static_cast<std::int32_t>(v.bytes().size());
  }
  return DefinedSize();
}

const automation::TypeInfo& Fields::typeInfo() const { return fieldsType(); }

std::int32_t Fields::Count() const { return cursor_->columnCount(); }

std::shared_ptr<Field> Fields::Item(const Variant& indexOrName) const {
  return std::make_shared<Field>(cursor_, cursor_->fieldIndex(indexOrName));
}

std::optional<std::vector<Variant>> Fields::enumerate() {
  std::vector<Variant> fields;
  for (int i = 0; i < Count(); ++i) {
    fields.emplace_back(automation::ObjectRef(std::make_shared<Field>(cursor_, i)));
  }
  return fields;
}

}  // namespace ado
