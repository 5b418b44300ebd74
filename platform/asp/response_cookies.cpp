// Cookies set by the page and their Set-Cookie header values.
#include "response_cookies.h"

#include "asp/asp_errors.h"
#include "asp/http_dates.h"
#include "asp/url_encoding.h"

namespace asp {

using automation::Args;
using automation::MemberTable;
using automation::ObjectRef;
using automation::optionalByVal;
using automation::toText;

void ResponseCookie::checkUnlocked() const {
  if (locked_ && locked_()) throwHeadersWritten();
}

void ResponseCookie::setValue(Text value) {
  checkUnlocked();
  keys_ = {};
  value_ = std::move(value);
}

void ResponseCookie::setKey(TextView key, Text value) {
  checkUnlocked();
  value_.clear();
  keys_.replace(key, std::move(value));
}

Variant ResponseCookie::Item(const Variant& key) const {
  if (key.isMissing()) return Variant(value_);
  Variant v = keys_.get(toText(key));
  return v.isEmpty() ? Variant(Text()) : v;
}

void ResponseCookie::setExpires(std::time_t at) {
  checkUnlocked();
  expires_ = at;
}

void ResponseCookie::setPath(Text path) {
  checkUnlocked();
  path_ = std::move(path);
}

void ResponseCookie::setDomain(Text domain) {
  checkUnlocked();
  domain_ = std::move(domain);
}

void ResponseCookie::setSecure(bool secure) {
  checkUnlocked();
  secure_ = secure;
}

void ResponseCookie::setHttpOnly(bool httpOnly) {
  checkUnlocked();
  httpOnly_ = httpOnly;
}

Text ResponseCookie::header(int codePage) const {
  Text h = urlEncode(name_, codePage) + u"=";
  if (keys_.empty()) {
    h += urlEncode(value_, codePage);
  } else {
    for (std::size_t i = 0; i < keys_.items().size(); ++i) {
      const auto& [key, value] = keys_.items()[i];
      if (i > 0) h += u"&";
      h += urlEncode(key, codePage) + u"=" + urlEncode(value, codePage);
    }
  }
  if (expires_) h += u"; expires=" + cookieDate(*expires_);
  // Attribute values end at the first ";" so that no page value can add attributes.
  auto attribute = [](TextView v) { return Text(v.substr(0, v.find(u';'))); };
  if (!domain_.empty()) h += u"; domain=" + attribute(domain_);
  if (!path_.empty()) h += u"; path=" + attribute(path_);
  if (secure_) h += u"; secure";
  if (httpOnly_) h += u"; HttpOnly";
  return h;
}

std::optional<std::vector<Variant>> ResponseCookie::enumerate() {
  auto keys = keys_.keys();
  return std::vector<Variant>(keys.begin(), keys.end());
}

const automation::TypeInfo& ResponseCookie::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<ResponseCookie>(u"IWriteCookie", u"")
          .property(
              u"Item", {optionalByVal(u"key")},
              [](ResponseCookie& c, Args a) {
                return c.Item(a.empty() ? Variant::missing() : a[0]);
              },
              [](ResponseCookie& c, Args a, const Variant& v) {
                if (a.empty() || a[0].isMissing()) {
                  c.setValue(automation::joinText(v));
                } else {
                  c.setKey(toText(a[0]), automation::joinText(v));
                }
              },
              u"value")
          .asDefault()
          .writeOnly(u"Expires", u"dtExpires",
                     [](ResponseCookie& c, Args, const Variant& v) {
                       c.setExpires(fromLocalDate(automation::toDate(v)));
                     })
          .writeOnly(u"Domain", u"bstrDomain",
                     [](ResponseCookie& c, Args, const Variant& v) { c.setDomain(toText(v)); })
          .writeOnly(u"Path", u"bstrPath",
                     [](ResponseCookie& c, Args, const Variant& v) { c.setPath(toText(v)); })
          .writeOnly(
              u"Secure", u"fSecure",
              [](ResponseCookie& c, Args, const Variant& v) { c.setSecure(automation::toBool(v)); })
          .writeOnly(u"HttpOnly", u"fHttpOnly",
                     [](ResponseCookie& c, Args, const Variant& v) {
                       c.setHttpOnly(automation::toBool(v));
                     })
          .readOnly(u"HasKeys", [](ResponseCookie& c, Args) { return Variant(c.HasKeys()); })
          .build();
  return info;
}

std::shared_ptr<ResponseCookie> ResponseCookies::cookie(TextView name) {
  for (const auto& c : cookies_) {
    if (automation::equalsIgnoreCase(c->name(), name)) return c;
  }
  if (locked_ && locked_()) throwHeadersWritten();
  return cookies_.emplace_back(std::make_shared<ResponseCookie>(Text(name), locked_));
}

std::optional<std::vector<Variant>> ResponseCookies::enumerate() {
  std::vector<Variant> names;
  for (const auto& c : cookies_) names.emplace_back(c->name());
  return names;
}

const automation::TypeInfo& ResponseCookies::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<ResponseCookies>(u"IRequestDictionary", u"")
          .property(
              u"Item", {automation::byVal(u"Var")},
              [](ResponseCookies& c, Args a) {
                if (auto i = automation::ordinal(a[0], c.all().size())) {
                  return Variant(ObjectRef(c.all()[*i]));
                }
                return Variant(ObjectRef(c.cookie(toText(a[0]))));
              },
              [](ResponseCookies& c, Args a, const Variant& v) {
                c.cookie(toText(a[0]))->setValue(automation::joinText(v));
              },
              u"value")
          .asDefault()
          .readOnly(u"Count", [](ResponseCookies& c, Args) { return Variant(c.Count()); })
          .property(u"Key", {automation::byVal(u"VarKey")},
                    [](ResponseCookies& c, Args a) {
                      auto i = automation::ordinal(a[0], c.all().size());
                      if (!i) automation::throwTypeMismatch();
                      return Variant(c.all()[*i]->name());
                    },
                    {})
          .build();
  return info;
}

}  // namespace asp
