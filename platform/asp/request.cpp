#include "request.h"

#include <algorithm>
#include <utility>

namespace asp {

using automation::Args;
using automation::byRef;
using automation::byVal;
using automation::MemberTable;
using automation::optionalByVal;

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

Text upper(TextView s) {
  Text r(s);
  for (auto& c : r) {
    if (c >= u'a' && c <= u'z') c -= 32;
  }
  return r;
}

}  // namespace

Text urlDecode(std::string_view raw, int codePage) {
  std::string bytes;
  bytes.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '+') {
      bytes += ' ';
    } else if (c == '%' && i + 2 < raw.size() + 0 && hexValue(raw[i + 1]) >= 0 &&
               hexValue(raw[i + 2]) >= 0) {
      bytes += static_cast<char>(hexValue(raw[i + 1]) * 16 + hexValue(raw[i + 2]));
      i += 2;
    } else {
      bytes += c;
    }
  }
  return automation::decodeCodePage(bytes, codePage);
}

ValueCollection ValueCollection::parseUrlEncoded(std::string_view raw, int codePage) {
  ValueCollection c;
  std::size_t pos = 0;
  while (pos <= raw.size()) {
    std::size_t amp = raw.find('&', pos);
    if (amp == std::string_view::npos) amp = raw.size();
    std::string_view pair = raw.substr(pos, amp - pos);
    if (!pair.empty()) {
      std::size_t eq = pair.find('=');
      std::string_view key = pair.substr(0, eq);
      std::string_view value = eq == std::string_view::npos ? "" : pair.substr(eq + 1);
      c.add(urlDecode(key, codePage), urlDecode(value, codePage));
    }
    pos = amp + 1;
  }
  return c;
}

void ValueCollection::add(Text key, Text value) {
  items_.emplace_back(std::move(key), std::move(value));
}

Variant ValueCollection::get(TextView key) const {
  Text joined;
  bool found = false;
  for (const auto& [k, v] : items_) {
    if (!automation::equalsIgnoreCase(k, key)) continue;
    if (found) joined += u", ";
    joined += v;
    found = true;
  }
  return found ? Variant(std::move(joined)) : Variant();
}

void Request::setQueryString(std::string raw) {
  rawQuery_ = std::move(raw);
  query_ = ValueCollection::parseUrlEncoded(rawQuery_, codePage_);
}

void Request::setBody(std::string bytes, std::string contentType) {
  body_.assign(bytes.begin(), bytes.end());
  totalBytes_ = body_.size();
  contentType_ = std::move(contentType);
  readPos_ = 0;
  formParsed_ = false;
}

void Request::setServerVariable(TextView name, Text value) {
  serverVariables_[upper(name)] = std::move(value);
}

Variant Request::QueryString(TextView key) const { return query_.get(key); }

Text Request::QueryStringAll() const { return automation::fromUtf8(rawQuery_); }

const ValueCollection& Request::form() const {
  if (!formParsed_) {
    std::string type = contentType_;
    std::transform(type.begin(), type.end(), type.begin(), ::tolower);
    form_ = type.rfind("application/x-www-form-urlencoded", 0) == 0
                ? ValueCollection::parseUrlEncoded(
                      std::string_view(reinterpret_cast<const char*>(body_.data()), body_.size()),
                      codePage_)
                : ValueCollection();
    formParsed_ = true;
  }
  return form_;
}

Variant Request::Form(TextView key) const { return form().get(key); }

Text Request::FormAll() const {
  return automation::fromUtf8(
      std::string_view(reinterpret_cast<const char*>(body_.data()), body_.size()));
}

Variant Request::ServerVariables(TextView name) const {
  auto it = serverVariables_.find(upper(name));
  return it == serverVariables_.end() ? Variant() : Variant(it->second);
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

const automation::TypeInfo& Request::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Request>(u"IRequest", u"")
          .function(u"QueryString", {optionalByVal(u"key")},
                    [](Request& r, Args a) {
                      return a[0].isMissing() ? Variant(r.QueryStringAll())
                                              : r.QueryString(automation::toText(a[0]));
                    })
          .function(u"Form", {optionalByVal(u"key")},
                    [](Request& r, Args a) {
                      return a[0].isMissing() ? Variant(r.FormAll())
                                              : r.Form(automation::toText(a[0]));
                    })
          .function(u"ServerVariables", {byVal(u"name")},
                    [](Request& r, Args a) { return r.ServerVariables(automation::toText(a[0])); })
          .function(u"Cookies", {byVal(u"name")},
                    [](Request& r, Args a) { return r.Cookies(automation::toText(a[0])); })
          .readOnly(u"TotalBytes", [](Request& r, Args) { return Variant(r.TotalBytes()); })
          .function(u"BinaryRead", {byRef(u"count")},
                    [](Request& r, Args a) {
                      std::int32_t n = automation::toInt32(a[0]);
                      Variant bytes(r.BinaryRead(n));
                      a[0] = Variant(n);
                      return bytes;
                    })
          .function(u"Item", {byVal(u"key")},
                    [](Request& r, Args a) { return r.Item(automation::toText(a[0])); })
          .asDefault()
          .build();
  return info;
}

}  // namespace asp
