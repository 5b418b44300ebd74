// Connection.Errors and its Error objects: what the last failed operation reported.
#include "ado/ado.h"

namespace ado {

using automation::Args;
using automation::MemberTable;

void Errors::record(const automation::AutomationError& e) {
  errors_.assign(1, std::make_shared<Error>(e));
}

std::shared_ptr<Error> Errors::Item(const Variant& index) const {
  auto i = automation::ordinal(index, errors_.size(), 0);
  if (!i) automation::throwTypeMismatch();
  return errors_[*i];
}

std::optional<std::vector<Variant>> Errors::enumerate() {
  return std::vector<Variant>(errors_.begin(), errors_.end());
}

const automation::TypeInfo& Errors::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Errors>(u"Errors", u"{00000501-0000-0010-8000-00AA006D2EA4}")
          .readOnly(u"Count", [](Errors& e, Args) { return Variant(e.Count()); })
          .property(u"Item", {automation::byVal(u"Index")},
                    [](Errors& e, Args a) { return Variant(automation::ObjectRef(e.Item(a[0]))); },
                    {})
          .asDefault()
          .sub(u"Clear", {}, [](Errors& e, Args) { e.Clear(); })
          .sub(u"Refresh", {}, [](Errors&, Args) {})
          .build();
  return info;
}

const automation::TypeInfo& Error::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Error>(u"Error", u"{00000500-0000-0010-8000-00AA006D2EA4}")
          .readOnly(u"Number", [](Error& e, Args) { return Variant(e.error().code()); })
          .readOnly(u"Description", [](Error& e, Args) { return Variant(e.error().description()); })
          .asDefault()
          .readOnly(u"Source", [](Error& e, Args) { return Variant(e.error().source()); })
          .readOnly(u"SQLState", [](Error&, Args) { return Variant(Text()); })
          .readOnly(u"NativeError", [](Error&, Args) { return Variant(0); })
          .build();
  return info;
}

}  // namespace ado
