// The members of ASPError, all read-only.
#include "asp_error.h"

namespace asp {

using automation::Args;
using automation::Variant;

const automation::TypeInfo& ASPError::typeInfo() const {
  static const automation::TypeInfo info =
      automation::MemberTable<ASPError>(u"IASPError", u"")
          .readOnly(u"ASPCode", [](ASPError& e, Args) { return Variant(e.ASPCode); })
          .readOnly(u"Number", [](ASPError& e, Args) { return Variant(e.Number); })
          .readOnly(u"Source", [](ASPError& e, Args) { return Variant(e.Source); })
          .readOnly(u"Category", [](ASPError& e, Args) { return Variant(e.Category); })
          .readOnly(u"File", [](ASPError& e, Args) { return Variant(e.File); })
          .readOnly(u"Line", [](ASPError& e, Args) { return Variant(e.Line); })
          .readOnly(u"Column", [](ASPError& e, Args) { return Variant(e.Column); })
          .readOnly(u"Description", [](ASPError& e, Args) { return Variant(e.Description); })
          .readOnly(u"ASPDescription", [](ASPError& e, Args) { return Variant(e.ASPDescription); })
          .build();
  return info;
}

}  // namespace asp
