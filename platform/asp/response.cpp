#include "response.h"

namespace asp {

using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::toText;

void Response::Write(const Variant& v) { text_ += automation::joinText(v); }

void Response::BinaryWrite(const Variant& bytes) {
  const auto& b = bytes.bytes();
  binary_.append(b.begin(), b.end());
}

void Response::End() { throw ResponseEnd{}; }

void Response::Redirect(TextView url) {
  Status = u"302 Object moved";
  AddHeader(u"Location", Text(url));
  End();
}

void Response::AddHeader(Text name, Text value) {
  headers_.emplace_back(std::move(name), std::move(value));
}

void Response::setCookie(Text name, Text value) {
  AddHeader(u"Set-Cookie", name + u"=" + value + u"; path=/");
}

const automation::TypeInfo& Response::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Response>(u"IResponse", u"")
          .sub(u"Write", {byVal(u"varText")}, [](Response& r, Args a) { r.Write(a[0]); })
          .sub(u"BinaryWrite", {byVal(u"varData")},
               [](Response& r, Args a) { r.BinaryWrite(a[0]); })
          .sub(u"Redirect", {byVal(u"bstrURL")},
               [](Response& r, Args a) { r.Redirect(toText(a[0])); })
          .sub(u"End", {}, [](Response& r, Args) { r.End(); })
          .sub(u"Clear", {}, [](Response& r, Args) { r.Clear(); })
          .sub(u"Flush", {}, [](Response&, Args) {})  // output is sent when the page ends
          .sub(u"AddHeader", {byVal(u"bstrHeaderName"), byVal(u"bstrHeaderValue")},
               [](Response& r, Args a) { r.AddHeader(toText(a[0]), toText(a[1])); })
          .field(u"ContentType", &Response::ContentType)
          .field(u"Charset", &Response::Charset)
          .field(u"Status", &Response::Status)
          .property(
              u"Cookies", {byVal(u"bstrName")}, {},
              [](Response& r, Args a, const Variant& v) { r.setCookie(toText(a[0]), toText(v)); },
              u"bstrValue")
          .build();
  return info;
}

}  // namespace asp
