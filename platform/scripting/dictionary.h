// Scripting.Dictionary: items under unique keys, in the order they were added. Keys are any
// value but an array: numbers compare by value whatever their type (1 and 1.0 are one key,
// 1 and "1" are two), texts exactly or, with CompareMode 1, without regard to case, objects by
// identity. Reading the Item of an absent key adds the key with an empty item, as the runtime
// does; enumeration gives the keys.
#pragma once

#include "automation/object.h"
#include "scripting/key_index.h"

namespace scripting {

using automation::Text;
using automation::Variant;

class Dictionary : public automation::Dispatch {
 public:
  enum CompareMode : std::int32_t { BinaryCompare = 0, TextCompare = 1, DatabaseCompare = 2 };

  const automation::TypeInfo& typeInfo() const override;
  std::optional<std::vector<Variant>> enumerate() override;

  void Add(const Variant& key, Variant item);  // a present key raises error 457
  Variant Item(const Variant& key);            // adds an absent key
  void setItem(const Variant& key, Variant item);
  void setKey(const Variant& key, const Variant& newKey);  // renames; 32811 when absent
  bool Exists(const Variant& key) const;
  void Remove(const Variant& key);  // 32811 when absent
  void RemoveAll();
  Variant::Array Keys() const;
  Variant::Array Items() const;
  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  std::int32_t compareMode() const { return compareMode_; }
  void setCompareMode(std::int32_t mode);  // only while empty

 private:
  // What a key is found by: its kind, and its value as bits (numbers, dates, objects) or
  // its text.
  struct KeyForm {
    char kind = 0;
    std::uint64_t bits = 0;
    const Text* text = nullptr;
  };
  struct Lookup {
    std::uint64_t hash = 0;
    std::optional<std::size_t> position;
  };
  KeyForm formOf(const Variant& key) const;
  std::uint64_t hashOf(const KeyForm& form) const;
  bool sameKey(const KeyForm& a, const KeyForm& b) const;
  Lookup lookup(const Variant& key) const;
  std::optional<std::size_t> find(const Variant& key) const { return lookup(key).position; }

  std::vector<std::pair<Variant, Variant>> entries_;
  KeyIndex index_;
  std::int32_t compareMode_ = BinaryCompare;
};

}  // namespace scripting
