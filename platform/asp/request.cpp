// Filling the request from what the host received and answering the typed lookups of the
// components; the script members hand out the collection objects.
#include "request.h"

#include <algorithm>
#include <utility>

#include "url_encoding.h"

namespace asp {

using automation::Args;
using automation::byRef;
using automation::byVal;
using automation::MemberTable;
using automation::ObjectRef;
using automation::optionalByVal;

namespace {

Text upper(TextView s) {
  Text r(s);
  for (auto& c : r) {
    if (c >= u'a' && c <= u'z') c -= 32;
  }
  return r;
}

Text bodyText(const Variant::Bytes& body) {
  return automation::fromUtf8(
      std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
}

}  // namespace

Request::Request()
    : query_(std::make_shared<ValueCollection>()),
      cookies_(std::make_shared<std::vector<CookieData>>()),
      serverVariables_(std::make_shared<ValueCollection>()) {}

void Request::setQueryString(std::string raw) {
  rawQuery_ = std::move(raw);
  *query_ = ValueCollection::parseUrlEncoded(rawQuery_, codePage_);
}

void Request::setBody(std::string bytes, std::string contentType) {
  body_.assign(bytes.begin(), bytes.end());
  totalBytes_ = body_.size();
  contentType_ = std::move(contentType);
  readPos_ = 0;
  form_.reset();
}

void Request::setServerVariable(TextView name, Text value) {
  serverVariables();
  serverVariables_->replace(upper(name), std::move(value));
}

void Request::setCookie(Text name, Text value) {
  ValueCollection keys =
      automation::contains(value, u"=") ? ValueCollection::parseDecoded(value) : ValueCollection();
  cookies_->push_back({std::move(name), std::move(value), std::move(keys)});
}

void Request::addCookieHeader(std::string_view header) {
  while (!header.empty()) {
    std::size_t semicolon = header.find(';');
    std::string_view pair = header.substr(0, semicolon);
    header =
        semicolon == std::string_view::npos ? std::string_view() : header.substr(semicolon + 1);
    while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
    std::size_t eq = pair.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    std::string_view raw = pair.substr(eq + 1);
    ValueCollection keys = raw.find('=') == std::string_view::npos
                               ? ValueCollection()
                               : ValueCollection::parseUrlEncoded(raw, codePage_);
    cookies_->push_back(
        {urlDecode(pair.substr(0, eq), codePage_), urlDecode(raw, codePage_), std::move(keys)});
  }
}

Text Request::QueryStringAll() const { return automation::fromUtf8(rawQuery_); }

const ValueCollection& Request::form() const {
  if (!form_) {
    std::string type = contentType_;
    std::transform(type.begin(), type.end(), type.begin(), ::tolower);
    form_ = std::make_shared<ValueCollection>(
        type.rfind("application/x-www-form-urlencoded", 0) == 0
            ? ValueCollection::parseUrlEncoded(
                  std::string_view(reinterpret_cast<const char*>(body_.data()), body_.size()),
                  codePage_)
            : ValueCollection());
  }
  return *form_;
}

Text Request::FormAll() const { return bodyText(body_); }

Variant Request::Cookies(TextView key) const {
  for (const auto& c : *cookies_) {
    if (automation::equalsIgnoreCase(c.name, key)) return Variant(c.value);
  }
  return {};
}

Variant Request::Item(TextView key) const {
  for (auto v : {QueryString(key), Form(key), Cookies(key), ServerVariables(key)}) {
    if (!v.isEmpty()) return v;
  }
  return {};
}

Variant::Bytes Request::BinaryRead(std::int32_t& count) {
  std::size_t want = count < 0 ? 0 : static_cast<std::size_t>(count);
  std::size_t n = std::min(want, body_.size() - readPos_);
  count = static_cast<std::int32_t>(n);
  if (readPos_ == 0 && n == body_.size()) {
    form();  // parsed before the bytes go; what stays is an empty body
    return std::exchange(body_, {});
  }
  Variant::Bytes bytes(body_.begin() + static_cast<std::ptrdiff_t>(readPos_),
                       body_.begin() + static_cast<std::ptrdiff_t>(readPos_ + n));
  readPos_ += n;
  return bytes;
}

std::shared_ptr<RequestCollection> Request::queryStringCollection() const {
  return std::make_shared<RequestCollection>(query_, QueryStringAll());
}

std::shared_ptr<RequestCollection> Request::formCollection() const {
  form();
  return std::make_shared<RequestCollection>(form_, FormAll());
}

std::shared_ptr<RequestCollection> Request::serverVariablesCollection() const {
  serverVariables();
  return std::make_shared<RequestCollection>(serverVariables_, Text());
}

std::shared_ptr<RequestCookies> Request::cookiesCollection() const {
  return std::make_shared<RequestCookies>(cookies_);
}

Variant Request::itemObject(TextView key) const {
  Variant name{Text(key)};
  if (!QueryString(key).isEmpty()) return queryStringCollection()->Item(name);
  if (!Form(key).isEmpty()) return formCollection()->Item(name);
  if (!Cookies(key).isEmpty()) return Variant(ObjectRef(cookiesCollection()->Item(name)));
  if (!ServerVariables(key).isEmpty()) return serverVariablesCollection()->Item(name);
  return {};
}

const automation::TypeInfo& Request::typeInfo() const {
  // Each collection member gives the collection without an argument and its item with one.
  auto collectionMember = [](auto collectionOf) {
    return [collectionOf](Request& r, Args a) {
      auto collection = collectionOf(r);
      return a[0].isMissing() ? Variant(ObjectRef(collection))
                              : collection->invoke(u"", automation::InvokeKind::PropertyGet,
                                                   std::vector<Variant>{a[0]});
    };
  };
  static const automation::TypeInfo info =
      MemberTable<Request>(u"IRequest", u"")
          .property(u"QueryString", {optionalByVal(u"key")},
                    collectionMember([](Request& r) { return r.queryStringCollection(); }), {})
          .property(u"Form", {optionalByVal(u"key")},
                    collectionMember([](Request& r) { return r.formCollection(); }), {})
          .property(u"ServerVariables", {optionalByVal(u"name")},
                    collectionMember([](Request& r) { return r.serverVariablesCollection(); }), {})
          .property(u"Cookies", {optionalByVal(u"name")},
                    collectionMember([](Request& r) { return r.cookiesCollection(); }), {})
          .readOnly(u"TotalBytes", [](Request& r, Args) { return Variant(r.TotalBytes()); })
          .function(u"BinaryRead", {byRef(u"count")},
                    [](Request& r, Args a) {
                      std::int32_t n = automation::toInt32(a[0]);
                      Variant bytes(r.BinaryRead(n));
                      a[0] = Variant(n);
                      return bytes;
                    })
          .property(u"Item", {byVal(u"key")},
                    [](Request& r, Args a) { return r.itemObject(automation::toText(a[0])); }, {})
          .asDefault()
          .build();
  return info;
}

}  // namespace asp
