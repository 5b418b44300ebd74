// The script face of the request's collections: lists of values, collections of keys and
// request cookies, each with Count, Item, Key and enumeration as scripts use them.
#include "request_collections.h"

namespace asp {

using automation::Args;
using automation::MemberTable;
using automation::ObjectRef;
using automation::optionalByVal;
using automation::ordinal;

namespace {

std::vector<Variant> asVariants(const std::vector<Text>& texts) {
  return {texts.begin(), texts.end()};
}

Variant argument(Args a) { return a.empty() ? Variant::missing() : a[0]; }

// A number picks a key by its place, anything else is the key. Only a number needs the keys,
// which are many among the server variables.
Text keyOf(const ValueCollection& values, const Variant& keyOrNumber) {
  if (!keyOrNumber.isNumeric()) return automation::toText(keyOrNumber);
  const std::vector<Text> keys = values.keys();
  if (auto i = ordinal(keyOrNumber, keys.size())) return keys[*i];
  return automation::toText(keyOrNumber);
}

}  // namespace

Variant ValueList::Item(const Variant& index) const {
  if (index.isMissing()) {
    if (values_.empty()) return {};
    Text joined = values_.front();
    for (std::size_t i = 1; i < values_.size(); ++i) joined.append(u", ").append(values_[i]);
    return Variant(std::move(joined));
  }
  auto i = ordinal(index, values_.size());
  if (!i) automation::throwTypeMismatch();
  return Variant(values_[*i]);
}

std::optional<std::vector<Variant>> ValueList::enumerate() { return asVariants(values_); }

const automation::TypeInfo& ValueList::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<ValueList>(u"IStringList", u"")
          .property(u"Item", {optionalByVal(u"i")},
                    [](ValueList& l, Args a) { return l.Item(argument(a)); }, {})
          .asDefault()
          .readOnly(u"Count", [](ValueList& l, Args) { return Variant(l.Count()); })
          .build();
  return info;
}

std::int32_t RequestCollection::Count() const {
  return static_cast<std::int32_t>(values_->keys().size());
}

Variant RequestCollection::Item(const Variant& keyOrNumber) const {
  if (keyOrNumber.isMissing()) return Variant(whole_);
  return Variant(
      ObjectRef(std::make_shared<ValueList>(values_->values(keyOf(*values_, keyOrNumber)))));
}

Text RequestCollection::Key(const Variant& number) const {
  auto keys = values_->keys();
  auto i = ordinal(number, keys.size());
  if (!i) automation::throwTypeMismatch();
  return keys[*i];
}

std::optional<std::vector<Variant>> RequestCollection::enumerate() {
  return asVariants(values_->keys());
}

const automation::TypeInfo& RequestCollection::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<RequestCollection>(u"IRequestDictionary", u"")
          .property(u"Item", {optionalByVal(u"Var")},
                    [](RequestCollection& c, Args a) { return c.Item(argument(a)); }, {})
          .asDefault()
          .readOnly(u"Count", [](RequestCollection& c, Args) { return Variant(c.Count()); })
          .property(u"Key", {automation::byVal(u"VarKey")},
                    [](RequestCollection& c, Args a) { return Variant(c.Key(a[0])); }, {})
          .build();
  return info;
}

Variant RequestCookie::Item(const Variant& key) const {
  if (key.isMissing()) return Variant(data_.value);
  Variant v = data_.keys.get(automation::toText(key));
  return v.isEmpty() ? Variant(Text()) : v;
}

Text RequestCookie::Key(const Variant& number) const {
  auto keys = data_.keys.keys();
  auto i = ordinal(number, keys.size());
  if (!i) automation::throwTypeMismatch();
  return keys[*i];
}

std::optional<std::vector<Variant>> RequestCookie::enumerate() {
  return asVariants(data_.keys.keys());
}

const automation::TypeInfo& RequestCookie::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<RequestCookie>(u"IReadCookie", u"")
          .property(u"Item", {optionalByVal(u"Var")},
                    [](RequestCookie& c, Args a) { return c.Item(argument(a)); }, {})
          .asDefault()
          .readOnly(u"HasKeys", [](RequestCookie& c, Args) { return Variant(c.HasKeys()); })
          .readOnly(u"Count", [](RequestCookie& c, Args) { return Variant(c.Count()); })
          .property(u"Key", {automation::byVal(u"VarKey")},
                    [](RequestCookie& c, Args a) { return Variant(c.Key(a[0])); }, {})
          .build();
  return info;
}

std::shared_ptr<RequestCookie> RequestCookies::Item(const Variant& nameOrNumber) const {
  if (auto i = ordinal(nameOrNumber, cookies_->size())) {
    return std::make_shared<RequestCookie>((*cookies_)[*i]);
  }
  Text name = automation::toText(nameOrNumber);
  for (const auto& c : *cookies_) {
    if (automation::equalsIgnoreCase(c.name, name)) return std::make_shared<RequestCookie>(c);
  }
  return std::make_shared<RequestCookie>(CookieData{name, {}, {}});
}

Text RequestCookies::Key(const Variant& number) const {
  auto i = ordinal(number, cookies_->size());
  if (!i) automation::throwTypeMismatch();
  return (*cookies_)[*i].name;
}

std::optional<std::vector<Variant>> RequestCookies::enumerate() {
  std::vector<Variant> names;
  for (const auto& c : *cookies_) names.emplace_back(c.name);
  return names;
}

const automation::TypeInfo& RequestCookies::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<RequestCookies>(u"IRequestDictionary", u"")
          .property(u"Item", {optionalByVal(u"Var")},
                    [](RequestCookies& c, Args a) {
                      Variant name = argument(a);
                      if (name.isMissing()) automation::throwBadParamCount();
                      return Variant(ObjectRef(c.Item(name)));
                    },
                    {})
          .asDefault()
          .readOnly(u"Count", [](RequestCookies& c, Args) { return Variant(c.Count()); })
          .property(u"Key", {automation::byVal(u"VarKey")},
                    [](RequestCookies& c, Args a) { return Variant(c.Key(a[0])); }, {})
          .build();
  return info;
}

}  // namespace asp
