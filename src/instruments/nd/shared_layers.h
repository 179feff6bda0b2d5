// The hold and FIX INFO layers as every map family draws them over its own
// MapView: the navigation displays' members and the C-17 map's differ only
// by the data passed here.
#pragma once

#include "src/instruments/nd/map_view.h"
#include "src/model/records.h"

namespace ovi::nd {

// The hold the maps draw: HoldTable entry 1 while holds exist and it is
// attached to a waypoint of the active plan (index 1 or more); else null.
const model::HoldingPattern* FirstHold();

// The first hold's racetrack about the view's origin, placed from the
// view's reference with its rotation, on the fine grid; `pen_width` is in
// fine-grid units. The inbound course is magnetic: it is turned against the
// aircraft's magnetic heading on a map turned by MapHeading (the true
// heading), and by the difference of the two on a map of another rotation.
// Leaves the transform at the fix, turned.
// The racetrack's turns are `turn_width` leg lengths wide (the outbound leg
// that far beside the inbound one).
void DrawHoldOnMap(const MapView& v, double pen_width, double turn_width = 0.5);

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
