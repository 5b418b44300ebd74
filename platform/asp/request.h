// Request: the page's view of one HTTP request. Collections are case-insensitive by key;
// an absent key reads as an empty variant and several values under one key are joined by
// ", ", as the classic page host does. Query string and url-encoded form are decoded in the
// page's code page (65001 or 936).
#pragma once

#include <map>
#include <string>

#include "automation/object.h"

namespace asp {

using automation::Text;
using automation::TextView;
using automation::Variant;

// Decoded key/value pairs of an application/x-www-form-urlencoded text, in order.
class ValueCollection {
 public:
  static ValueCollection parseUrlEncoded(std::string_view raw, int codePage);
  void add(Text key, Text value);
  Variant get(TextView key) const;  // joined by ", "; empty variant when absent
  const std::vector<std::pair<Text, Text>>& items() const { return items_; }

 private:
  std::vector<std::pair<Text, Text>> items_;
};

Text urlDecode(std::string_view raw, int codePage);

class Request : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  // Filled by whoever builds the request: the page host or a test.
  void setCodePage(int codePage) { codePage_ = codePage; }
  void setQueryString(std::string raw);  // without "?"
  void setBody(std::string bytes, std::string contentType);
  void setServerVariable(TextView name, Text value);
  void setCookie(Text name, Text value) { cookies_.add(std::move(name), std::move(value)); }

  Variant QueryString(TextView key) const;
  Text QueryStringAll() const;  // the raw query string, as Request.QueryString without key
  Variant Form(TextView key) const;
  Text FormAll() const;
  Variant Cookies(TextView key) const { return cookies_.get(key); }
  Variant ServerVariables(TextView name) const;
  // Request(key): QueryString, Form, Cookies, ServerVariables, in that order.
  Variant Item(TextView key) const;
  std::int32_t TotalBytes() const { return static_cast<std::int32_t>(totalBytes_); }
  // Reads up to `count` further bytes of the raw body; `count` becomes the number read. A read
  // of the whole body hands the buffer over instead of copying it: the body is consumed, as
  // reading it is on the classic host, while an url-encoded form stays readable.
  Variant::Bytes BinaryRead(std::int32_t& count);

 private:
  const ValueCollection& form() const;

  int codePage_ = 65001;
  std::string rawQuery_;
  ValueCollection query_;
  Variant::Bytes body_;
  std::size_t totalBytes_ = 0;
  std::string contentType_;
  std::size_t readPos_ = 0;
  mutable bool formParsed_ = false;
  mutable ValueCollection form_;
  ValueCollection cookies_;
  std::map<Text, Text> serverVariables_;  // keys upper-cased
};

}  // namespace asp
