// Scripting.Dictionary: an insertion-ordered list of entries with a hash index by key identity
// (see key_index.h); keys are compared in place, never copied into a form of their own.
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

std::uint64_t bitsOf(double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

// The finishing mix of splitmix64: every bit of the input reaches the low bits the index uses.
std::uint64_t mix(std::uint64_t x) {
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

Dictionary::KeyForm Dictionary::formOf(const Variant& key) const {
  switch (key.type()) {
    case VarType::Empty:
      return {'e'};
    case VarType::Null:
      return {'z'};
    case VarType::Text:
      return {'t', 0, &key.text()};
    case VarType::Object:
      return {'o', reinterpret_cast<std::uintptr_t>(key.object().get())};
    case VarType::Date:
      return {'d', bitsOf(automation::toDouble(key))};
    case VarType::VariantArray:
    case VarType::ByteArray:
    case VarType::Missing:
      automation::throwTypeMismatch();
    default:
      return {'n', bitsOf(automation::toDouble(key) + 0.0)};  // -0 and 0 are one key
  }
}

std::uint64_t Dictionary::hashOf(const KeyForm& form) const {
  if (!form.text) return mix(form.bits ^ static_cast<std::uint64_t>(form.kind));
  // FNV-1a over the characters as compared; texts compared without case are hashed lowered.
  const Text folded = compareMode_ == BinaryCompare ? Text() : automation::lower(*form.text);
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (char16_t c : compareMode_ == BinaryCompare ? *form.text : folded) {
    h = (h ^ c) * 0x100000001B3ull;
  }
  return mix(h);
}

bool Dictionary::sameKey(const KeyForm& a, const KeyForm& b) const {
  if (a.kind != b.kind) return false;
  if (!a.text) return a.bits == b.bits;
  return compareMode_ == BinaryCompare ? *a.text == *b.text
                                       : automation::equalsIgnoreCase(*a.text, *b.text);
}

Dictionary::Lookup Dictionary::lookup(const Variant& key) const {
  const KeyForm form = formOf(key);
  const std::uint64_t hash = hashOf(form);
  return {hash, index_.find(
                    hash, [&](std::size_t i) { return sameKey(form, formOf(entries_[i].first)); })};
}

void Dictionary::Add(const Variant& key, Variant item) {
  const Lookup found = lookup(key);
  if (found.position) throwKeyExists();
  index_.insert(found.hash, entries_.size());
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
  const Lookup found = lookup(key);
  if (!found.position) throwElementNotFound();
  const Lookup renamed = lookup(newKey);
  if (renamed.position) throwKeyExists();
  index_.erase(found.hash, *found.position);
  index_.insert(renamed.hash, *found.position);
  entries_[*found.position].first = newKey;
}

bool Dictionary::Exists(const Variant& key) const { return find(key).has_value(); }

void Dictionary::Remove(const Variant& key) {
  const Lookup found = lookup(key);
  if (!found.position) throwElementNotFound();
  index_.erase(found.hash, *found.position);
  index_.closeGapAt(*found.position);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*found.position));
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
