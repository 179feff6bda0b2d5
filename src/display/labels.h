// Map labels keep to their fields: a text longer than its field is cut to
// it, never drawn past it.
#pragma once

#include <string>
#include <string_view>

#include "platform/gfx/types.h"

namespace ovi::display {

// The first `width` characters of `text` (all of it when shorter).
inline std::string FitLabel(std::string_view text, int width) {
  if (width <= 0) return {};
  return std::string(text.substr(0, static_cast<std::size_t>(width)));
}

// Whether two label boxes overlap (boxes that only touch do not).
inline bool BoxesMeet(const gfx::RectF& a, const gfx::RectF& b) {
  return a.X < b.X + b.Width && b.X < a.X + a.Width && a.Y < b.Y + b.Height && b.Y < a.Y + a.Height;
}

}  // namespace ovi::display
