// An open-addressing hash index from a key to a 1-based table index, used
// by the loaders to find duplicates and shared points. The keys themselves
// live in the tables; the index keeps only each entry's hash and index, so
// lookups touch one flat array.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace ovi::navdb {

inline std::uint64_t HashBytes(std::string_view s, std::uint64_t seed = 0) {
  std::uint64_t h = 1469598103934665603ull ^ seed;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  return h;
}

class FlatIndex {
 public:
  explicit FlatIndex(std::size_t expected) {
    std::size_t cap = 16;
    while (cap < expected * 2) cap <<= 1;
    slots_.assign(cap, 0);
  }

  // Calls visit(index) for every entry stored with this hash until visit
  // returns true; returns that index, or 0.
  template <typename Visit>
  int Find(std::uint64_t hash, Visit&& visit) const {
    const std::uint32_t tag = Tag(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
      const std::uint64_t slot = slots_[i];
      if (slot == 0) return 0;
      if (static_cast<std::uint32_t>(slot >> 32) == tag) {
        const int index = static_cast<int>(slot & 0xFFFFFFFFu);
        if (visit(index)) return index;
      }
    }
  }

  void Insert(std::uint64_t hash, int index) {
    if ((size_ + 1) * 2 > slots_.size()) Grow();
    Place(Tag(hash), hash, index);
    ++size_;
  }

 private:
  static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32) | 1u; }

  void Place(std::uint32_t tag, std::uint64_t hash, int index) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = (static_cast<std::uint64_t>(tag) << 32) | static_cast<std::uint32_t>(index);
    hashes_.resize(static_cast<std::size_t>(index) + 1 > hashes_.size() ? static_cast<std::size_t>(index) + 1
                                                                         : hashes_.size());
    hashes_[static_cast<std::size_t>(index)] = hash;
  }

  void Grow() {
    std::vector<std::uint64_t> old;
    old.swap(slots_);
    slots_.assign(old.size() * 2, 0);
    for (std::uint64_t slot : old) {
      if (slot == 0) continue;
      const int index = static_cast<int>(slot & 0xFFFFFFFFu);
      const std::uint64_t hash = hashes_[static_cast<std::size_t>(index)];
      Place(Tag(hash), hash, index);
    }
  }

  std::vector<std::uint64_t> slots_;
  std::vector<std::uint64_t> hashes_;  // by index, for growing
  std::size_t size_ = 0;
};

}  // namespace ovi::navdb
