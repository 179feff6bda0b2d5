// The fixed-capacity tables the module works on. Most are 1-based: slot 0
// stays empty and the loaders stop a few slots short of the storage. An index
// outside the storage never touches memory outside it: reads and writes land
// in a scratch slot that is cleared at every such access, and the refusal is
// counted so tests can see it.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

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

// Re-creates an object in place. State structs hold large tables, so
// `state = State{}` would build a temporary of many megabytes on the stack.
template <typename T>
void Recreate(T& obj) {
  std::destroy_at(&obj);
  std::construct_at(&obj);
}

}  // namespace ovi::model
