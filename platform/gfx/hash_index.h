// A table from 64-bit hashes (mixed already) to entries held elsewhere:
// open addressing over a power-of-two table at most half full, the hashes
// themselves in the slots. A look-up for a hash not there (every outline of
// a turning map, in the kept stroke coverage) reads a slot or two of a
// table that stays in the processor's cache, where a node-based map walks
// a chain of nodes strewn over the heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ovi::gfx::detail {

// T: what the table points to; it holds at most `most` hashes at a time
// (a probe always ends at an empty slot).
template <class T>
class HashIndex {
 public:
  explicit HashIndex(std::size_t most) {
    std::size_t n = 16;
    while (n < 2 * most) n *= 2;
    slots_.assign(n, Slot{});
  }
  // Null when no entry has the hash.
  T* Find(std::uint64_t hash) const {
    for (std::size_t i = hash & Mask(); slots_[i].value != nullptr; i = (i + 1) & Mask())
      if (slots_[i].hash == hash) return slots_[i].value;
    return nullptr;
  }
  // `value` not null; the hash must not be in the table yet.
  void Insert(std::uint64_t hash, T* value) {
    std::size_t i = hash & Mask();
    while (slots_[i].value != nullptr) i = (i + 1) & Mask();
    slots_[i] = Slot{hash, value};
  }
  void Erase(std::uint64_t hash) {
    std::size_t i = hash & Mask();
    for (; slots_[i].hash != hash; i = (i + 1) & Mask())
      if (slots_[i].value == nullptr) return;
    if (slots_[i].value == nullptr) return;
    // Later slots of the same run move up where their probe passes the
    // hole, so that every hash stays reachable from its home slot.
    for (std::size_t j = (i + 1) & Mask(); slots_[j].value != nullptr; j = (j + 1) & Mask()) {
      const std::size_t home = slots_[j].hash & Mask();
      if (((j - home) & Mask()) >= ((j - i) & Mask())) {
        slots_[i] = slots_[j];
        i = j;
      }
    }
    slots_[i] = Slot{};
  }
  void Clear() { std::fill(slots_.begin(), slots_.end(), Slot{}); }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    T* value = nullptr;  // null: empty
  };
  std::size_t Mask() const { return slots_.size() - 1; }
  std::vector<Slot> slots_;
};

}  // namespace ovi::gfx::detail
