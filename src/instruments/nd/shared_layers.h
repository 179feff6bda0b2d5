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
void DrawHoldOnMap(const MapView& v, double pen_width);

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
};
inline constexpr FixInfoStyle kB737FixInfo{};
inline constexpr FixInfoStyle kMd11FixInfo{.md11 = true};
inline constexpr FixInfoStyle kC17FixInfo{.rings_at_zero = true, .side_by_modulo = true};

// Both FIX INFO fixes about the view's origin, placed from its reference
// with its rotation; radials are drawn against the aircraft heading on a
// turned map and against north on a PLAN (north-up) view. Standard canvas
// transform; leaves it moved and turned.
void DrawFixInfoOnMap(const MapView& v, const FixInfoStyle& style);

}  // namespace ovi::nd
