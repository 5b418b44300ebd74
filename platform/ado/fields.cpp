#include "ado/ado.h"
#include "ado/cursor.h"

namespace ado {
namespace {

const automation::TypeInfo& fieldType() {
  static const automation::TypeInfo info =
      automation::MemberTable<Field>(u"Field", u"{0000054C-0000-0010-8000-00AA006D2EA4}")
          .readOnly(u"Value", [](Field& f, automation::Args) { return f.Value(); })
          .asDefault()
          .readOnly(u"Name", [](Field& f, automation::Args) { return Variant(f.Name()); })
          .readOnly(u"Type", [](Field& f, automation::Args) { return Variant(f.Type()); })
          .build();
  return info;
}

const automation::TypeInfo& fieldsType() {
  static const automation::TypeInfo info =
      automation::MemberTable<Fields>(u"Fields", u"{00000564-0000-0010-8000-00AA006D2EA4}")
          .readOnly(u"Count", [](Fields& f, automation::Args) { return Variant(f.Count()); })
          .property(u"Item", {automation::byVal(u"Index")},
                    [](Fields& f, automation::Args a) {
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
std::int32_t Field::Type() const { return cursor_->columnType(index_); }

const automation::TypeInfo& Fields::typeInfo() const { return fieldsType(); }

std::int32_t Fields::Count() const { return cursor_->columnCount(); }

std::shared_ptr<Field> Fields::Item(const Variant& indexOrName) const {
  return std::make_shared<Field>(cursor_, cursor_->fieldIndex(indexOrName));
}

}  // namespace ado
