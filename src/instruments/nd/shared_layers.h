// The hold and FIX INFO layers as every map family draws them over its own
// MapView: the navigation displays' members and the C-17 map's differ only
// by the data passed here.
#pragma once

#include <cstdint>

#include "src/display/map_symbols.h"
#include "src/instruments/nd/map_view.h"
#include "src/model/records.h"

namespace ovi::nd {

// The hold the maps draw: HoldTable entry 1 while holds exist and it is
// attached to a waypoint of the active plan (index 1 or more); else null.
const model::HoldingPattern* FirstHold();

// How a family draws the racetrack: its colour, the turns' width in leg
// lengths (the outbound leg that far beside the inbound one), and where the
// far turn of a left-hand pattern starts (in leg lengths past the fix).
struct HoldStyle {
  gfx::ARGB colour = colour::kMagenta;
  double turn_width = 0.5;
  double left_far_turn = 0.61;
};
// The navigation displays' racetrack: magenta, the left-hand far turn at
// 0.61 L as they have always drawn it.
inline constexpr HoldStyle kNdHold{};

// The first hold's racetrack about the view's origin, placed from the
// view's reference with its rotation, on the fine grid; `pen_width` is in
// fine-grid units. The inbound course is magnetic: it is turned against the
// aircraft's magnetic heading on a map turned by MapHeading (the true
// heading), and by the difference of the two on a map of another rotation.
// Leaves the transform at the fix, turned.
void DrawHoldOnMap(const MapView& v, double pen_width, const HoldStyle& style = kNdHold);

// How a family draws its FIX INFO fixes.
struct FixInfoStyle {
  // The MD-11's symbols by kind with the ident, reciprocal radials and no
  // ring labels, and the tuned station left to the station layer.
  bool md11 = false;
  // A row without a distance still draws its ring (of no size) and label.
  bool rings_at_zero = false;
  // Which way a radial's line leaves the fix: by the shorter turn from the
  // radial reference to the radial, or by (radial - reference) reduced
  // into [0, 360): from 180 on to the left.
  bool side_by_modulo = false;
  // A row without a distance draws nothing at all: no symbol, no radial.
  bool rows_need_distance = false;
  // The fix circle, the rings, the radials and their labels (the MD-11's
  // radials are white or magenta whatever this says).
  gfx::ARGB colour = colour::kGreen;
  // Symbol styles of a navaid fix ("V", "N") and of any other fix (not the
  // MD-11's, which has symbols of its own by kind).
  std::uint32_t navaid_style = display::kStyleBlue;
  std::uint32_t fix_style = display::kStyleBlue;
  // Where a distance ring's label goes, by the first case that holds (the
  // ring's centre (x, y) and radius r about the map origin): under the ring
  // while y + r is at most `label_below_from`, right of it while x + r is
  // below `label_right_before`, above it while y - r is above
  // `label_above_after`, else left of it.
  double label_below_from = -10.0;
  double label_right_before = 110.0;
  double label_above_after = -200.0;
  // A radial's line is `radial_nm` long, and as much again as the range
  // when `radial_beyond_range`.
  double radial_nm = 360.0;
  bool radial_beyond_range = false;
};
inline constexpr FixInfoStyle kB737FixInfo{};
inline constexpr FixInfoStyle kMd11FixInfo{.md11 = true};
inline constexpr FixInfoStyle kC17FixInfo{.rings_at_zero = true, .side_by_modulo = true};
inline constexpr FixInfoStyle kP1000FixInfo{.rows_need_distance = true,
                                            .colour = colour::kLightGreen,
                                            .navaid_style = display::kStyleGreen,
                                            .fix_style = display::kStyleDefault};
// The DU-1000's arc map about (159, 272) of its 318 x 310 canvas: labels
// kept clear of the right edge (24 units, a label's width) and of the data
// blocks above y 33; radials reach past the map's edge from any fix drawn
// (a fix within 380 NM, the edge within the range).
inline constexpr FixInfoStyle kDu1000FixInfo{.label_right_before = 135.0,
                                             .label_above_after = -230.0,
                                             .radial_nm = 380.0,
                                             .radial_beyond_range = true};

// Both FIX INFO fixes about the view's origin, placed from its reference
// with its rotation; radials are drawn against the aircraft heading on a
// turned map and against north on a PLAN (north-up) view. Standard canvas
// transform; leaves it moved and turned.
void DrawFixInfoOnMap(const MapView& v, const FixInfoStyle& style);

}  // namespace ovi::nd
