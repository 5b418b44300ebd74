// Response.Cookies: the cookies a page sets. Response.Cookies("c") = "v" sets a value,
// Response.Cookies("c")("k") = "v" a key (a value and keys exclude each other), and Expires,
// Path, Domain, Secure and HttpOnly the attributes. Names, keys and values are URL-encoded in
// the page's code page, as the classic host sends them; the path is "/" unless set.
#pragma once

#include <ctime>
#include <memory>
#include <optional>

#include "asp/value_collection.h"
#include "automation/object.h"

namespace asp {

class ResponseCookie : public automation::Dispatch {
 public:
  // `locked` answers true once the headers are sent and no cookie may change any more.
  ResponseCookie(Text name, std::function<bool()> locked)
      : name_(std::move(name)), locked_(std::move(locked)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;

  const Text& name() const { return name_; }
  void setValue(Text value);
  void setKey(TextView key, Text value);
  Variant Item(const Variant& key) const;  // the value, or a key's value
  bool HasKeys() const { return !keys_.empty(); }
  void setExpires(std::time_t at);
  void setPath(Text path);
  void setDomain(Text domain);
  void setSecure(bool secure);
  void setHttpOnly(bool httpOnly);

  // The Set-Cookie header value.
  Text header(int codePage) const;

 private:
  void checkUnlocked() const;

  Text name_;
  std::function<bool()> locked_;
  Text value_;
  ValueCollection keys_;
  std::optional<std::time_t> expires_;
  Text path_ = u"/";
  Text domain_;
  bool secure_ = false;
  bool httpOnly_ = false;
};

class ResponseCookies : public automation::Dispatch {
 public:
  explicit ResponseCookies(std::function<bool()> locked) : locked_(std::move(locked)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;

  // The cookie of that name, made on first use.
  std::shared_ptr<ResponseCookie> cookie(TextView name);
  std::int32_t Count() const { return static_cast<std::int32_t>(cookies_.size()); }
  const std::vector<std::shared_ptr<ResponseCookie>>& all() const { return cookies_; }

 private:
  std::function<bool()> locked_;
  std::vector<std::shared_ptr<ResponseCookie>> cookies_;
};

}  // namespace asp
