// A 1-based table for the large navigation tables and for records whose
// capacity is far above what they usually hold. It behaves like FixedTable
// (slot 0 unused, an index beyond the capacity is refused into a scratch
// slot and counted) but keeps its storage in a vector that grows as entries
// are written, so a state struct holding a world-sized table stays small
// until data is loaded and resets cheaply.
#pragma once

#include <cstddef>
#include <vector>

namespace ovi::model {

template <typename T>
class BoundedTable {
 public:
  // max_index: the highest usable index (capacity); slots 0..max_index.
  explicit BoundedTable(int max_index) : max_index_(max_index < 0 ? 0 : max_index) { slots_.resize(1); }

  int MaxIndex() const { return max_index_; }
  bool InRange(int i) const { return i >= 0 && i <= max_index_; }

  // Writing access: an in-range index not yet materialised grows the
  // storage up to it; an out-of-range index lands in the scratch slot.
  T& operator[](int i) {
    if (!InRange(i)) return Refuse();
    if (static_cast<std::size_t>(i) >= slots_.size()) slots_.resize(static_cast<std::size_t>(i) + 1);
    return slots_[static_cast<std::size_t>(i)];
  }
  // Reading access never grows: an index never written reads as empty.
  const T& operator[](int i) const {
    if (i >= 0 && static_cast<std::size_t>(i) < slots_.size()) return slots_[static_cast<std::size_t>(i)];
    if (!InRange(i)) ++refused_;
    scratch_ = T{};
    return scratch_;
  }

  T* At(int i) { return InRange(i) ? &(*this)[i] : nullptr; }
  const T* At(int i) const {
    return (i >= 0 && static_cast<std::size_t>(i) < slots_.size()) ? &slots_[static_cast<std::size_t>(i)] : nullptr;
  }

  // Storage hint for a loader that knows roughly how much is coming.
  void Reserve(int n) {
    if (n > max_index_) n = max_index_;
    if (n > 0) slots_.reserve(static_cast<std::size_t>(n) + 1);
  }
  // Drops every entry and gives the memory back.
  void Clear() {
    std::vector<T>().swap(slots_);
    slots_.resize(1);
  }
  // Keeps entries 0..last, drops the rest (memory kept for reuse).
  void Truncate(int last) {
    if (last < 0) last = 0;
    if (static_cast<std::size_t>(last) + 1 < slots_.size()) slots_.resize(static_cast<std::size_t>(last) + 1);
  }

  int refused() const { return refused_; }

 private:
  T& Refuse() const {
    ++refused_;
    scratch_ = T{};
    return scratch_;
  }

  int max_index_;
  std::vector<T> slots_;
  mutable T scratch_{};
  mutable int refused_ = 0;
};

}  // namespace ovi::model
