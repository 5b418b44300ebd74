// Server: object creation, path mapping and page calls handed in by the host, and the encoders.
#include "server.h"

#include "asp_error.h"
#include "url_encoding.h"

namespace asp {

using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::toText;

ObjectRef Server::CreateObject(TextView progId) const { return creator_(progId); }

Text Server::MapPath(TextView path) const { return mapper_(path); }

Text Server::URLEncode(TextView s) const { return urlEncode(s, codePage_); }

Text Server::URLPathEncode(TextView s) const { return urlPathEncode(s, codePage_); }

namespace {

[[noreturn]] void noPageCalls() {
  throw automation::AutomationError(automation::hr::kNotImplemented, u"Server",
                                    u"this host runs no other pages");
}

}  // namespace

void Server::Execute(TextView path) const {
  if (!pageCalls_.execute) noPageCalls();
  pageCalls_.execute(path);
}

void Server::Transfer(TextView path) const {
  if (!pageCalls_.transfer) noPageCalls();
  pageCalls_.transfer(path);
}

ObjectRef Server::GetLastError() const {
  if (pageCalls_.lastError) return pageCalls_.lastError();
  return std::make_shared<ASPError>();
}

Text Server::HTMLEncode(TextView s) {
  Text r;
  r.reserve(s.size());
  for (char16_t c : s) {
    switch (c) {
      case u'<':
        r += u"&lt;";
        break;
      case u'>':
        r += u"&gt;";
        break;
      case u'&':
        r += u"&amp;";
        break;
      case u'"':
        r += u"&quot;";
        break;
      case u'\'':
        r += u"&#39;";
        break;
      default:
        r += c;
    }
  }
  return r;
}

const automation::TypeInfo& Server::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Server>(u"IServer", u"")
          .function(u"CreateObject", {byVal(u"bstrProgID")},
                    [](Server& s, Args a) { return Variant(s.CreateObject(toText(a[0]))); })
          .function(u"MapPath", {byVal(u"bstrLogicalPath")},
                    [](Server& s, Args a) { return Variant(s.MapPath(toText(a[0]))); })
          .function(u"URLEncode", {byVal(u"bstrIn")},
                    [](Server& s, Args a) { return Variant(s.URLEncode(toText(a[0]))); })
          .function(u"HTMLEncode", {byVal(u"bstrIn")},
                    [](Server&, Args a) { return Variant(HTMLEncode(automation::joinText(a[0]))); })
          .function(u"URLPathEncode", {byVal(u"bstrIn")},
                    [](Server& s, Args a) { return Variant(s.URLPathEncode(toText(a[0]))); })
          .sub(u"Execute", {byVal(u"bstrPath")}, [](Server& s, Args a) { s.Execute(toText(a[0])); })
          .sub(u"Transfer", {byVal(u"bstrPath")},
               [](Server& s, Args a) { s.Transfer(toText(a[0])); })
          .function(u"GetLastError", {}, [](Server& s, Args) { return Variant(s.GetLastError()); })
          .field(u"ScriptTimeout", &Server::ScriptTimeout)
          .build();
  return info;
}

}  // namespace asp
