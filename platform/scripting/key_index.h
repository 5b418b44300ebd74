// The hash index of a Dictionary: positions in the owner's list of entries, found by a key's
// hash and the owner's own test of equality. Open addressing with linear probing over a flat
// table of (hash, position) pairs, so that a lookup touches one line of the table and the
// entries it names, and nothing is allocated per key.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace scripting {

class KeyIndex {
 public:
  // The position whose entry `isKey` accepts among those filed under `hash`.
  template <class IsKey>
  std::optional<std::size_t> find(std::uint64_t hash, IsKey isKey) const {
    if (slots_.empty()) return std::nullopt;
    const auto h = static_cast<std::uint32_t>(hash);
    for (std::size_t i = h & mask(); slots_[i].entry != 0; i = (i + 1) & mask()) {
      if (slots_[i].hash == h && isKey(slots_[i].entry - 1)) return slots_[i].entry - 1;
    }
    return std::nullopt;
  }
  // Files `position` under `hash`; the caller knows its key is not filed yet.
  void insert(std::uint64_t hash, std::size_t position);
  // Takes out `position`, filed under `hash`.
  void erase(std::uint64_t hash, std::size_t position);
  // Moves every position after `position` one down, as the entries behind a removed one
  // move up in the owner's list.
  void closeGapAt(std::size_t position);
  void clear();

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t entry = 0;  // position + 1; 0 for a free slot
  };
  std::size_t mask() const { return slots_.size() - 1; }
  void grow();

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace scripting
