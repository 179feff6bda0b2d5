// An open-addressing hash index from a key to a 1-based table index, used
// by the loaders to find duplicates and shared points. The keys themselves
// live in the tables; the index keeps only the upper half of each entry's
// hash and its index in one 8-byte slot, so a look-up touches one place in
// memory until a candidate is checked against its table entry.
#pragma once

#include <cstdint>
#include <vector>

namespace ovi::navdb {

class FlatIndex {
 public:
  explicit FlatIndex(std::size_t expected = 0) { Reserve(expected); }

  // Room for `expected` entries without growing (sized before a file is
  // read, from its line count).
  void Reserve(std::size_t expected) {
    std::size_t cap = 16;
    while (cap < expected * 2) cap <<= 1;
    if (cap > slots_.size()) Rehash(cap);
  }

  // Brings the slot a look-up of this hash starts at into the cache.
  void Prefetch(std::uint64_t hash) const { __builtin_prefetch(&slots_[Tag(hash) & (slots_.size() - 1)]); }

  // Calls visit(index) for every entry stored with this hash until visit
  // returns true; returns that index, or 0.
  template <typename Visit>
  int Find(std::uint64_t hash, Visit&& visit) const {
    const std::uint32_t tag = Tag(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
      const std::uint64_t slot = slots_[i];
      if (slot == 0) return 0;
      if (static_cast<std::uint32_t>(slot >> 32) == tag) {
        const int index = static_cast<int>(slot & 0xFFFFFFFFu);
        if (visit(index)) return index;
      }
    }
  }

  // index: 1 or more.
  void Insert(std::uint64_t hash, int index) {
    if ((size_ + 1) * 2 > slots_.size()) Rehash(slots_.size() * 2);
    Place((static_cast<std::uint64_t>(Tag(hash)) << 32) | static_cast<std::uint32_t>(index));
    ++size_;
  }

 private:
  // The upper half of the hash: it places the slot and tells entries apart.
  static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

  void Place(std::uint64_t slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = static_cast<std::uint32_t>(slot >> 32) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }

  void Rehash(std::size_t cap) {
    std::vector<std::uint64_t> old;
    old.swap(slots_);
    slots_.assign(cap, 0);
    for (std::uint64_t slot : old)
      if (slot != 0) Place(slot);
  }

  std::vector<std::uint64_t> slots_;
  std::size_t size_ = 0;
};

}  // namespace ovi::navdb
