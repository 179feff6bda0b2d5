// The navaid, airport and intersection layers of the navigation displays as
// one walker over a member table. Each member keeps its near and map lists
// current, walks the map list, leaves out points farther than twice the
// range plus its margin, and draws a mark and the ident at the rest. The
// members differ only by the data of their row.
#pragma once

#include <cstdint>
#include <span>

#include "src/instruments/nd/map_view.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::nd {

// What marks a point: a map symbol with its reference point at (dx, dy) from
// the point, a circle (and a second, inner one) centred there, or a text
// with its top-left corner there. All offsets, diameters and text sizes are
// canvas units.
struct PointMark {
  enum Shape { kSymbol, kCircles, kText } shape = kSymbol;
  std::uint32_t code = 0;   // kSymbol: DrawMapSymbol code and colour style
  std::uint32_t style = 0;
  double dx = 0.0;
  double dy = 0.0;
  double diameter = 0.0;        // kCircles
  double inner_diameter = 0.0;  // 0 = one circle
  double pen_width = 1.0;       // blue pen
  bool pen_in_canvas_units = true;  // else units of the fine grid
  const char* text = nullptr;   // kText: Arial bold of `text_size` in the label's colour
  double text_size = 0.0;
};

// A layer switch of the shared display settings (model::State).
using LayerSwitch = const std::int32_t model::State::*;

struct PointLayerMember {
  const char* name;
  navdb::NearKind kind;    // which near and map lists
  double margin = 0.0;     // drawn while the distance is at most 2 x range + margin
  PointMark vor;           // points of kind "V"
  PointMark other;         // every other kind
  double label_dx = 0.0;   // the ident's top-left corner from the point
  double label_dy = 0.0;
  gfx::ARGB label_colour = 0;
  int label_chars = 0;     // longest ident shown; longer ones show their start
  // Labels that end near their point move left by this much per character
  // of the whole ident.
  double label_dx_per_char = 0.0;
  gfx::ARGB circle_colour = 0xFF02A7EB;  // the pen of kCircles marks
  double label_size = 10.0;             // Arial bold, canvas units
  // The label's size follows the grid's horizontal factor (else its
  // vertical one).
  bool label_size_by_width = false;
  // Kinds drawn: "V" while `vor_switch` is 1 and "N" while `ndb_switch` is
  // 1, no other kind; without these switches every kind (by its mark).
  LayerSwitch vor_switch = nullptr;
  LayerSwitch ndb_switch = nullptr;
  // When a display whose rows carry them calls the member: one of
  // `switches` is 1 and the range is at most `max_range` (0: any range).
  LayerSwitch switches[2] = {nullptr, nullptr};
  double max_range = 0.0;
};

// The members: B737 navaids, airports, intersections, the MD-11's, the
// C-17's navaids and airports, the EHSIs' (DU-1000 navaids, airports,
// airway points; Pro Line 4 and MD-80 navaids, airports, intersections),
// then the P1000's navaids and airports.
enum PointLayerIndex {
  kB737NavaidLayer,
  kB737AirportLayer,
  kB737IntersectionLayer,
  kMd11NavaidLayer,
  kMd11AirportLayer,
  kMd11IntersectionLayer,
  kC17NavaidLayer,
  kC17AirportLayer,
  kDu1000NavaidLayer,
  kDu1000AirportLayer,
  kDu1000AirwayPointLayer,
  kProline4NavaidLayer,
  kProline4AirportLayer,
  kProline4IntersectionLayer,
  kMd80NavaidLayer,
  kMd80AirportLayer,
  kMd80IntersectionLayer,
  kP1000NavaidLayer,
  kP1000AirportLayer,
};
std::span<const PointLayerMember> PointLayerMembers();

// Whether a member that carries its switches and range limit is shown at
// `range`: one switch is 1 and the range within the limit.
bool PointLayerShown(const PointLayerMember& member, double range);

void DrawPointLayer(const MapView& view, const MapFamily& family, const PointLayerMember& member);

}  // namespace ovi::nd
