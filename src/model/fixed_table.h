// The fixed-capacity tables the module works on. Most are 1-based: slot 0
// stays empty and the loaders stop a few slots short of the storage. An index
// outside the storage never touches memory outside it: reads and writes land
// in a scratch slot that is cleared at every such access, and the refusal is
// counted so tests can see it.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

namespace ovi::model {

template <typename T, std::size_t Slots>
class FixedTable {
 public:
  static constexpr int kSlots = static_cast<int>(Slots);

  static constexpr bool InRange(int i) { return i >= 0 && i < kSlots; }

  T& operator[](int i) {
    if (InRange(i)) return slots_[static_cast<std::size_t>(i)];
    return Refuse();
  }
  const T& operator[](int i) const {
    if (InRange(i)) return slots_[static_cast<std::size_t>(i)];
    return const_cast<FixedTable*>(this)->Refuse();
  }

  T* At(int i) { return InRange(i) ? &slots_[static_cast<std::size_t>(i)] : nullptr; }
  const T* At(int i) const { return InRange(i) ? &slots_[static_cast<std::size_t>(i)] : nullptr; }

  // Slots are re-created in place: a slot may be large (a procedure of 300
  // legs), and `slot = T{}` would build the temporary on the stack.
  void Clear() {
    for (auto& s : slots_) {
      std::destroy_at(&s);
      std::construct_at(&s);
    }
  }

  int refused() const { return refused_; }

 private:
  T& Refuse() {
    ++refused_;
    std::destroy_at(&scratch_);
    std::construct_at(&scratch_);
    return scratch_;
  }

  std::array<T, Slots> slots_{};
  T scratch_{};
  int refused_ = 0;
};

// A FixedTable whose slots take memory only once written, for records whose
// capacity is far above what they usually hold (a procedure's 300 legs, an
// airport's 80 approach transitions). Same indices, same capacity, same
// refusal into a counted scratch slot; the storage grows to the highest
// index written, a read of a slot never written gives an empty entry and
// never grows, and Clear() drops only the entries written.
// Growing may move the entries: take no reference into the table across a
// write to a higher index than any written so far.
template <typename T, std::size_t Slots>
class GrowingTable {
 public:
  static constexpr int kSlots = static_cast<int>(Slots);

  static constexpr bool InRange(int i) { return i >= 0 && i < kSlots; }

  T& operator[](int i) {
    if (!InRange(i)) return Refuse();
    const auto n = static_cast<std::size_t>(i);
    if (n >= slots_.size()) slots_.resize(n + 1);
    return slots_[n];
  }
  const T& operator[](int i) const {
    if (!InRange(i)) return const_cast<GrowingTable*>(this)->Refuse();
    const auto n = static_cast<std::size_t>(i);
    return n < slots_.size() ? slots_[n] : Empty();
  }

  T* At(int i) { return InRange(i) ? &(*this)[i] : nullptr; }
  const T* At(int i) const { return InRange(i) ? &(*this)[i] : nullptr; }

  void Clear() { std::vector<T>().swap(slots_); }

  // Slots holding storage (slot 0 included once anything was written).
  int StoredSlots() const { return static_cast<int>(slots_.size()); }

  int refused() const { return refused_; }

 private:
  static const T& Empty() {
    static const T empty{};
    return empty;
  }
  T& Refuse() {
    ++refused_;
    std::destroy_at(&scratch_);
    std::construct_at(&scratch_);
    return scratch_;
  }

  std::vector<T> slots_;
  T scratch_{};
  int refused_ = 0;
};

// Re-creates an object in place. State structs hold large tables, so
// `state = State{}` would build a temporary of many megabytes on the stack.
template <typename T>
void Recreate(T& obj) {
  std::destroy_at(&obj);
  std::construct_at(&obj);
}

}  // namespace ovi::model
