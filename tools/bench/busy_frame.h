// The busy map frame the drawing benchmarks and the clip tests share: 300
// lines (every tenth dashed), 60 arcs and circles, 100 small polygons and 150
// short strings, rotated, on a 512 x 512 surface, optionally under an
// elliptical clip.
#pragma once

#include <string>
#include <vector>

#include "platform/gfx/graphics.h"

namespace ovi::gfx::bench {

inline constexpr int kFrameSize = 512;
inline constexpr double kFrameHeading = 37.0;
// The clip circle, centred on the surface.
inline constexpr float kClipRadius = 240;

struct Frame {
  struct Line {
    float x1, y1, x2, y2, w;
    ARGB c;
    bool dashed;
  };
  struct Arc {
    float x, y, d, start, sweep, w;
    ARGB c;
    bool circle;
  };
  struct Poly {
    PointF p[4];
    ARGB c;
  };
  struct Text {
    float x, y, size;
    ARGB c;
    std::string s;
  };
  std::vector<Line> lines;
  std::vector<Arc> arcs;
  std::vector<Poly> polys;
  std::vector<Text> texts;
};

// The same frame on every call (a fixed pseudo-random sequence).
const Frame& BusyFrame();

// Which parts to draw (bits): 1 lines, 2 arcs and circles, 4 polygons, 8 texts.
inline constexpr int kAllParts = 15;

// Draws the frame through the drawing layer, with the objects created per
// call as the gauges do; `clipped` puts it under the clip circle.
void DrawBusyFrame(DeviceContext& dc, const Frame& f, int parts = kAllParts, bool clipped = true);

}  // namespace ovi::gfx::bench
