// Reading values out of byte blocks other modules lay out (traffic lists,
// the GPS route block): no alignment is assumed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ovi::util {

template <typename T>
T LoadUnaligned(const std::uint8_t* p, std::size_t offset) {
  T v;
  std::memcpy(&v, p + offset, sizeof v);
  return v;
}

}  // namespace ovi::util
