// What the three EHSI maps share. Each map is a view of the navigation
// displays' map kit (src/instruments/nd/map_view.h): its family gives the
// canvas, the rule for the PLAN centre and the fine grid, the view the
// frame of one picture (map centre, radius, range, reference, rotation).
// The navaid, airport and intersection layers are members of the map
// walker's table (nd/map_points.h), the hold and FIX INFO the shared map
// routines (nd/shared_layers.h); the route, boundary and altitude-arc
// layers are written here once with each display's numbers as data.
//
// A map routine builds its EhsiMap, sets the clip and runs its layer table
// (display::Layer<EhsiMap>: name, condition, routine) in order. Conditions
// only read the shared state and the frame, so a table can be checked
// without drawing.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"
#include "src/display/lifetime.h"
#include "src/instruments/ehsi/kit.h"
#include "src/instruments/nd/map_points.h"
#include "src/instruments/nd/map_view.h"

namespace ovi::ehsi {

// The DU-1000 and the Pro Line 4 centre their north-up map on the stepped
// waypoint, else the active one, only while a waypoint is active; the
// MD-80 also on a stepped one without. Their lists follow the map centre,
// and a route index outside the active plan counts as none. The MD-80
// draws its layers on a grid sixteen times finer than the device pixel.
inline constexpr nd::MapFamily kDu1000MapFamily{{318.0f, 310.0f}, nd::PlanCentre::kRouteWhileActive, true, 1, true};
inline constexpr nd::MapFamily kProline4MapFamily{{247.0f, 285.0f}, nd::PlanCentre::kRouteWhileActive, true, 1,
                                                  true};
inline constexpr nd::MapFamily kMd80MapFamily{{266.0f, 232.0f}, nd::PlanCentre::kRouteElseAircraft, true, 16, true};

// One picture's map.
struct EhsiMap {
  nd::MapView view;  // origin: the map centre on the canvas
  const nd::MapFamily* family = nullptr;
  int mode = 0;
  int variant = 1;  // 3: no ATC boundaries

  bool Plan() const { return view.plan; }
  // The fine grid's factors kx and ky: canvas units to grid units.
  double Kx() const { return view.grid.gx; }
  double Ky() const { return view.grid.gy; }
};

// The map of a picture: centre (cx, cy) on the canvas, `radius` canvas
// units for `range` NM, north up about the PLAN centre when `plan`, else
// heading up about the aircraft. A range that is not a positive finite
// number gives a view that is not usable: no map contents are drawn.
EhsiMap MakeEhsiMap(const nd::MapFamily& family, const display::GaugeDisplay& display, gfx::Graphics& g, double cx,
                    double cy, int radius, double range, bool plan, int mode, int variant);

// The active waypoint's index while it lies within the active route, else
// -1: an index past the last entry (or 999) counts as none.
int ActiveRouteIndex();

// A member of the map walker's table drawn on this map.
void DrawEhsiPoints(const EhsiMap& map, nd::PointLayerIndex member);
// Whether the member's switches and range limit show it on this map.
bool EhsiPointsShown(const EhsiMap& map, nd::PointLayerIndex member);

// How a display draws the active route: every entry from 0 joined by a line
// of `line` colour, 2 canvas units wide, its ident (Arial bold of
// `font_size`, as far as the screen texts go) at (label_dx, label_dy) and
// its symbol `symbol_dy` above the point, coded by its place in the route.
// A marker entry ("DISCO", "THEN") breaks the line: no leg into it, no
// mark, no leg out of it.
struct RouteMark {
  std::uint32_t code;
  std::uint32_t style;
  gfx::ARGB label;
};
struct RouteStyle {
  double label_dx;
  double label_dy;
  double symbol_dy;
  double font_size;
  gfx::ARGB line;
  RouteMark other;
  RouteMark active;          // the active waypoint of another type
  RouteMark active_navaid;   // of type "VOR" or "NDB"
  RouteMark active_airport;  // of type "APT"
  RouteMark before_active;   // the entry before the active one
};
void DrawEhsiRoute(const EhsiMap& map, const RouteStyle& style);

// The first hold's racetrack, magenta, 2 canvas units wide, its turns
// `turn_width` leg lengths wide.
void DrawEhsiHold(const EhsiMap& map, double turn_width);

// The ATC boundaries on the plain canvas scale about the aircraft, whose
// map point is the centre on a heading-up map and its place from the PLAN
// centre on a north-up one.
void DrawEhsiAtcBoundaries(const EhsiMap& map);

// Whether the autopilot descends to a lower selected altitude: master and
// altitude hold on, the selected altitude below the aircraft and the
// vertical speed below -200 ft/min.
bool AltitudeRangeArcWanted();
// The altitude range arc in the current frame (origin on the aircraft
// symbol): green, 2 units wide, the top of a circle `box` units across
// from 220 degrees sweeping 100, reached where the descent at the present
// vertical and ground speeds meets the selected altitude; `radius` canvas
// units stand for `range` NM (MapPixelsPerNm). Returns that distance ahead
// in units, or nothing when it is not a finite number (nothing drawn).
std::optional<double> DrawAltitudeRangeArc(gfx::Graphics& g, double radius, double range, int box);

// The shared overlays on a map. The markers and the approach pattern on
// the fine grid with its factors, as the route; traffic and the airport's
// runways on the canvas units about the map centre.
void DrawEhsiMarkers(const EhsiMap& map, std::int32_t kind);
void DrawEhsiApproachPattern(const EhsiMap& map);
void DrawEhsiTraffic(const EhsiMap& map, std::int32_t kind);
void DrawEhsiAirportRunways(const EhsiMap& map);

// The aircraft on a north-up map: `symbol` at the aircraft's place from
// the PLAN centre, turned by AircraftHeading, on the plain canvas scale.
void DrawPlanAircraft(const EhsiMap& map, const Shape& symbol);

}  // namespace ovi::ehsi
