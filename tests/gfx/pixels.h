// Pixel helpers shared by the drawing-layer tests.
#pragma once

#include <cstdint>

#include "platform/gfx/device_context.h"

namespace ovi::gfx::testing {

inline std::uint32_t Px(const DeviceContext& dc, int x, int y) {
  return dc.pixels[static_cast<std::size_t>(y) * dc.width + x];
}
inline int Alpha(std::uint32_t p) { return static_cast<int>(p >> 24); }
inline int Red(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int Green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int Blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }

// A transparent surface (the default is opaque black).
inline void MakeTransparent(DeviceContext& dc) {
  for (auto& p : dc.pixels) p = 0;
}

// Bounding box of pixels whose alpha is at least `min_alpha`; false when none.
struct InkBox {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
};
inline bool Ink(const DeviceContext& dc, InkBox* box, int min_alpha = 128) {
  InkBox b{dc.width, dc.height, -1, -1};
  for (int y = 0; y < dc.height; ++y)
    for (int x = 0; x < dc.width; ++x)
      if (Alpha(Px(dc, x, y)) >= min_alpha) {
        if (x < b.x0) b.x0 = x;
        if (y < b.y0) b.y0 = y;
        if (x > b.x1) b.x1 = x;
        if (y > b.y1) b.y1 = y;
      }
  *box = b;
  return b.x1 >= 0;
}

// Number of pixels with alpha at least `min_alpha`.
inline int InkCount(const DeviceContext& dc, int min_alpha = 128) {
  int n = 0;
  for (auto p : dc.pixels)
    if (Alpha(p) >= min_alpha) ++n;
  return n;
}

}  // namespace ovi::gfx::testing
