// The navaid, airport and intersection layers of the navigation displays as
// one walker over a member table. Each member keeps its near and map lists
// current, walks the map list, leaves out points farther than twice the
// range plus its margin, and draws a mark and the ident at the rest. The
// members differ only by the data of their row.
#pragma once

#include <cstdint>
#include <span>

#include "src/instruments/nd/map_view.h"
#include "src/navdb/navdb.h"

namespace ovi::nd {

// What marks a point: a map symbol with its reference point at (dx, dy) from
// the point, or a circle (and a second, inner one) centred there. All
// offsets and diameters are canvas units.
struct PointMark {
  enum Shape { kSymbol, kCircles } shape = kSymbol;
  std::uint32_t code = 0;   // kSymbol: DrawMapSymbol code and colour style
  std::uint32_t style = 0;
  double dx = 0.0;
  double dy = 0.0;
  double diameter = 0.0;        // kCircles
  double inner_diameter = 0.0;  // 0 = one circle
  double pen_width = 1.0;       // blue pen
  bool pen_in_canvas_units = true;  // else units of the fine grid
};

struct PointLayerMember {
  const char* name;
  navdb::NearKind kind;  // which near and map lists
  double margin;         // drawn while the distance is at most 2 x range + margin
  PointMark vor;         // points of kind "V"
  PointMark other;       // every other kind
  double label_dx;       // the ident's top-left corner from the point
  double label_dy;
  gfx::ARGB label_colour;
  int label_chars;       // longest ident shown; longer ones show their start
  // Labels that end near their point move left by this much per character
  // of the whole ident.
  double label_dx_per_char = 0.0;
  gfx::ARGB circle_colour = 0xFF02A7EB;  // the pen of kCircles marks
};

// The members: B737 navaids, airports, intersections, the MD-11's, then the
// C-17's navaids and airports.
enum PointLayerIndex {
  kB737NavaidLayer,
  kB737AirportLayer,
  kB737IntersectionLayer,
  kMd11NavaidLayer,
  kMd11AirportLayer,
  kMd11IntersectionLayer,
  kC17NavaidLayer,
  kC17AirportLayer,
};
std::span<const PointLayerMember> PointLayerMembers();

void DrawPointLayer(const MapView& view, const MapFamily& family, const PointLayerMember& member);

}  // namespace ovi::nd
