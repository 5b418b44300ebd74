// What scripts get from the request's collections. Request.Form("k") is the list of every
// value posted under "k" (Count, Item(1), ...; its default value joins them with ", "), and
// Request.Form itself is the collection of keys: Count, Item by name or 1-based number, Key,
// enumeration of the keys. Cookies add cookie keys: Request.Cookies("c")("k"), HasKeys.
// The objects share the request's data; they are made when a script asks, so the typed C++
// API of Request pays nothing for them.
#pragma once

#include <memory>

#include "asp/value_collection.h"
#include "automation/object.h"

namespace asp {

// The values of one key, in the order they came.
class ValueList : public automation::Dispatch {
 public:
  explicit ValueList(std::vector<Text> values) : values_(std::move(values)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;

  std::int32_t Count() const { return static_cast<std::int32_t>(values_.size()); }
  // A 1-based number gives one value; none gives every value joined by ", ", or empty when
  // the key did not come at all.
  Variant Item(const Variant& index) const;

 private:
  std::vector<Text> values_;
};

class RequestCollection : public automation::Dispatch {
 public:
  // `whole` is what the collection itself reads as: the raw query string or form body.
  RequestCollection(std::shared_ptr<const ValueCollection> values, Text whole)
      : values_(std::move(values)), whole_(std::move(whole)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;

  std::int32_t Count() const;
  Variant Item(const Variant& keyOrNumber) const;  // a ValueList; `whole` when none is given
  Text Key(const Variant& number) const;

 private:
  std::shared_ptr<const ValueCollection> values_;
  Text whole_;
};

struct CookieData {
  Text name;
  Text value;            // the whole value, keys and all
  ValueCollection keys;  // "a=1&b=2" gives keys a and b
};

class RequestCookie : public automation::Dispatch {
 public:
  explicit RequestCookie(CookieData data) : data_(std::move(data)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;

  // The value of one key ("" when absent), or the whole value when no key is given.
  Variant Item(const Variant& key) const;
  bool HasKeys() const { return !data_.keys.empty(); }
  std::int32_t Count() const { return static_cast<std::int32_t>(data_.keys.keys().size()); }
  Text Key(const Variant& number) const;

 private:
  CookieData data_;
};

class RequestCookies : public automation::Dispatch {
 public:
  explicit RequestCookies(std::shared_ptr<const std::vector<CookieData>> cookies)
      : cookies_(std::move(cookies)) {}
  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;

  std::int32_t Count() const { return static_cast<std::int32_t>(cookies_->size()); }
  // A cookie by name or 1-based number; an absent name gives an empty cookie.
  std::shared_ptr<RequestCookie> Item(const Variant& nameOrNumber) const;
  Text Key(const Variant& number) const;

 private:
  std::shared_ptr<const std::vector<CookieData>> cookies_;
};

}  // namespace asp
