// How a pilot reads two texts of a map picture: by their inks.
#pragma once

#include <algorithm>

#include "platform/gfx/types.h"

namespace ovi::maps_test {

// Whether two texts' inks meet: they share more than a tenth of the
// smaller, one stands over the other with no clear gap between their lines
// (a pixel, or a tenth of the smaller's height), or they run into each
// other along a line (sharing half the smaller's height, with less than a
// quarter of it between them: "OLM043"). Names stacked with a clear gap
// are apart, and so are texts that only come near corner to corner.
inline bool TextsMeet(const gfx::RectF& a, const gfx::RectF& b) {
  if (!(a.Width > 0 && a.Height > 0 && b.Width > 0 && b.Height > 0)) return false;
  const double across = std::min(a.X + a.Width, b.X + b.Width) - std::max(a.X, b.X);  // < 0: the gap
  const double down = std::min(a.Y + a.Height, b.Y + b.Height) - std::max(a.Y, b.Y);
  const double height = std::min(a.Height, b.Height);
  const double smaller = std::min(a.Width * a.Height, b.Width * b.Height);
  if (across > 0 && down > 0 && across * down > 0.1 * smaller) return true;
  if (across > 0 && -down < std::max(1.0, 0.1 * height)) return true;
  return down > 0.5 * height && -across < 0.25 * height;
}

}  // namespace ovi::maps_test
