// A device context with a recorder, and the recorded shapes as whole pixels.
#pragma once

#include <cmath>
#include <ostream>
#include <vector>

#include "platform/gfx/graphics.h"

namespace ovi::display::test {

struct Recording {
  gfx::DeviceContext dc{400, 400};
  gfx::Recorder rec;
  Recording() { dc.recorder = &rec; }
};

struct Px {
  int x, y;
  bool operator==(const Px&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Px& p) { return o << "(" << p.x << ", " << p.y << ")"; }

inline std::vector<Px> Points(const gfx::RecordedOp& op) {
  std::vector<Px> out;
  for (const gfx::PointF& p : op.points) out.push_back({static_cast<int>(std::lround(p.X)), static_cast<int>(std::lround(p.Y))});
  return out;
}

}  // namespace ovi::display::test
