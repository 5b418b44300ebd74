// The Dictionary's open-addressing index: insertion with growth at half load, and removal
// by shifting the following run back (no tombstones, so lookups never slow with churn).
#include "key_index.h"

namespace scripting {

void KeyIndex::insert(std::uint64_t hash, std::size_t position) {
  if ((used_ + 1) * 2 > slots_.size()) grow();
  const auto h = static_cast<std::uint32_t>(hash);
  std::size_t i = h & mask();
  while (slots_[i].entry != 0) i = (i + 1) & mask();
  slots_[i] = Slot{h, static_cast<std::uint32_t>(position + 1)};
  ++used_;
}

void KeyIndex::erase(std::uint64_t hash, std::size_t position) {
  const auto entry = static_cast<std::uint32_t>(position + 1);
  std::size_t hole = static_cast<std::uint32_t>(hash) & mask();
  while (slots_[hole].entry != entry) hole = (hole + 1) & mask();
  slots_[hole] = Slot{};
  --used_;
  // Each slot of the run after the hole moves back into it unless its home lies between.
  for (std::size_t i = (hole + 1) & mask(); slots_[i].entry != 0; i = (i + 1) & mask()) {
    const std::size_t home = slots_[i].hash & mask();
    const bool homeBetween = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
    if (homeBetween) continue;
    slots_[hole] = slots_[i];
    slots_[i] = Slot{};
    hole = i;
  }
}

void KeyIndex::closeGapAt(std::size_t position) {
  const auto entry = static_cast<std::uint32_t>(position + 1);
  for (Slot& s : slots_) {
    if (s.entry > entry) --s.entry;
  }
}

void KeyIndex::clear() {
  slots_.clear();
  used_ = 0;
}

void KeyIndex::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
  for (const Slot& s : old) {
    if (s.entry == 0) continue;
    std::size_t i = s.hash & mask();
    while (slots_[i].entry != 0) i = (i + 1) & mask();
    slots_[i] = s;
  }
}

}  // namespace scripting
