// Scripting.Dictionary: an insertion-ordered list of entries with a hash index by key identity.
#include "dictionary.h"

#include <cstring>

#include "scripting/class_ids.h"
#include "scripting/scripting_errors.h"

namespace scripting {

using automation::Args;
using automation::byRef;
using automation::byVal;
using automation::MemberTable;
using automation::VarType;

namespace {

Text bitsOf(const void* p, std::size_t n) {
  Text t(n / 2 + 1, u'\0');
  std::memcpy(t.data(), p, n);
  return t;
}

}  // namespace

Text Dictionary::identity(const Variant& key) const {
  switch (key.type()) {
    case VarType::Empty:
      return u"e";
    case VarType::Null:
      return u"z";
    case VarType::Text:
      return u"t" + (compareMode_ == BinaryCompare ? key.text() : automation::lower(key.text()));
    case VarType::Object: {
      const void* p = key.object().get();
      return u"o" + bitsOf(&p, sizeof p);
    }
    case VarType::Date: {
      double d = automation::toDouble(key);
      return u"d" + bitsOf(&d, sizeof d);
    }
    case VarType::VariantArray:
    case VarType::ByteArray:
    case VarType::Missing:
      automation::throwTypeMismatch();
    default: {
      double d = automation::toDouble(key) + 0.0;  // -0 and 0 are one key
      return u"n" + bitsOf(&d, sizeof d);
    }
  }
}

std::optional<std::size_t> Dictionary::find(const Variant& key) const {
  auto it = index_.find(identity(key));
  if (it == index_.end()) return std::nullopt;
  return it->second;
}

void Dictionary::reindexFrom(std::size_t first) {
  for (std::size_t i = first; i < entries_.size(); ++i) index_[identity(entries_[i].first)] = i;
}

void Dictionary::Add(const Variant& key, Variant item) {
  auto [it, added] = index_.try_emplace(identity(key), entries_.size());
  if (!added) throwKeyExists();
  entries_.emplace_back(key, std::move(item));
}

Variant Dictionary::Item(const Variant& key) {
  if (auto i = find(key)) return entries_[*i].second;
  Add(key, Variant());
  return {};
}

void Dictionary::setItem(const Variant& key, Variant item) {
  if (auto i = find(key)) {
    entries_[*i].second = std::move(item);
  } else {
    Add(key, std::move(item));
  }
}

void Dictionary::setKey(const Variant& key, const Variant& newKey) {
  auto i = find(key);
  if (!i) throwElementNotFound();
  Text renamed = identity(newKey);
  if (index_.contains(renamed)) throwKeyExists();
  index_.erase(identity(key));
  index_.emplace(std::move(renamed), *i);
  entries_[*i].first = newKey;
}

bool Dictionary::Exists(const Variant& key) const { return find(key).has_value(); }

void Dictionary::Remove(const Variant& key) {
  auto i = find(key);
  if (!i) throwElementNotFound();
  index_.erase(identity(key));
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*i));
  reindexFrom(*i);
}

void Dictionary::RemoveAll() {
  entries_.clear();
  index_.clear();
}

Variant::Array Dictionary::Keys() const {
  Variant::Array keys;
  keys.reserve(entries_.size());
  for (const auto& e : entries_) keys.push_back(e.first);
  return keys;
}

Variant::Array Dictionary::Items() const {
  Variant::Array items;
  items.reserve(entries_.size());
  for (const auto& e : entries_) items.push_back(e.second);
  return items;
}

void Dictionary::setCompareMode(std::int32_t mode) {
  if (!entries_.empty() || mode < BinaryCompare || mode > DatabaseCompare) {
    automation::throwInvalidProcedureCall();
  }
  compareMode_ = mode;
}

std::optional<std::vector<Variant>> Dictionary::enumerate() { return Keys(); }

const automation::TypeInfo& Dictionary::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Dictionary>(u"IDictionary", kDictionaryIid)
          .property(
              u"Item", {byRef(u"Key")}, [](Dictionary& d, Args a) { return d.Item(a[0]); },
              [](Dictionary& d, Args a, const Variant& v) { d.setItem(a[0], v); }, u"pRetItem")
          .asDefault()
          .sub(u"Add", {byRef(u"Key"), byRef(u"Item")},
               [](Dictionary& d, Args a) { d.Add(a[0], a[1]); })
          .readOnly(u"Count", [](Dictionary& d, Args) { return Variant(d.Count()); })
          .function(u"Exists", {byRef(u"Key")},
                    [](Dictionary& d, Args a) { return Variant(d.Exists(a[0])); })
          .function(u"Items", {}, [](Dictionary& d, Args) { return Variant(d.Items()); })
          .property(
              u"Key", {byRef(u"Key")}, {},
              [](Dictionary& d, Args a, const Variant& v) { d.setKey(a[0], v); }, u"rhs")
          .function(u"Keys", {}, [](Dictionary& d, Args) { return Variant(d.Keys()); })
          .sub(u"Remove", {byRef(u"Key")}, [](Dictionary& d, Args a) { d.Remove(a[0]); })
          .sub(u"RemoveAll", {}, [](Dictionary& d, Args) { d.RemoveAll(); })
          .property(
              u"CompareMode", {}, [](Dictionary& d, Args) { return Variant(d.compareMode()); },
              [](Dictionary& d, Args, const Variant& v) {
                d.setCompareMode(automation::toInt32(v));
              },
              u"pcomp")
          .build();
  return info;
}

}  // namespace scripting
