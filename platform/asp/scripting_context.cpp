// The scripting context handed to components at page start: the page's five objects.
#include "scripting_context.h"

namespace asp {

using automation::Args;
using automation::MemberTable;
using automation::ObjectRef;

const automation::TypeInfo& ScriptingContext::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<ScriptingContext>(u"IScriptingContext", u"")
          .readOnly(u"Request",
                    [](ScriptingContext& c, Args) { return Variant(ObjectRef(c.Request())); })
          .readOnly(u"Response",
                    [](ScriptingContext& c, Args) { return Variant(ObjectRef(c.Response())); })
          .readOnly(u"Server",
                    [](ScriptingContext& c, Args) { return Variant(ObjectRef(c.Server())); })
          .readOnly(u"Session",
                    [](ScriptingContext& c, Args) { return Variant(ObjectRef(c.Session())); })
          .readOnly(u"Application",
                    [](ScriptingContext& c, Args) { return Variant(ObjectRef(c.Application())); })
          .build();
  return info;
}

}  // namespace asp
