// How a map layer places positions on its display. Every map display of the
// module projects the same way: distance and true course from a reference
// position, times pixels per NM, turned so that the map's up direction
// points up, about the map origin on the display's logical canvas. What
// differs between displays (canvas, origin, radius, range, which waypoint
// PLAN centres on) is data in a MapView; the layers that several displays
// share are written once over it.
//
// Two drawing grids exist. On the plain scale the world transform maps the
// canvas to the element and layers work in canvas units. On the fine grid
// (FineGridFor) the transform is scaled by (W / (W + H), H / (W + H)) and
// every canvas coordinate is multiplied by (gx, gy) before it is truncated,
// so points land on device pixels; X() and Y() do that multiplication.
#pragma once

#include <cmath>

#include "platform/gfx/graphics.h"
#include "src/display/map_projection.h"
#include "src/instruments/nd/kit.h"

namespace ovi::nd {

struct GeoPoint {
  double latitude = 0.0;
  double longitude = 0.0;
};

// Which waypoint a display's PLAN map is centred on.
enum class PlanCentre {
  // The B737 display: ActiveFlightPlan entry PlanStepIndex (1 or more), else
  // the active waypoint; only while a waypoint is active, else the aircraft.
  kRouteWhileActive,
  // The MD-11 display: entry PlanStepIndex (1 or more) even without an
  // active waypoint, else the active waypoint, else the aircraft.
  kRouteElseAircraft,
  // The C-17 map page: entry PlanStepIndex (0 or more) while a waypoint is
  // active, else the aircraft (no step centres on the aircraft, not on the
  // active waypoint).
  kStepWhileActive,
  // The P1000's centred format: the active waypoint while one is active
  // (within the plan), else the aircraft.
  kActiveWhileActive,
};

GeoPoint AircraftPosition();
// The map's reference position: the aircraft, or in PLAN the waypoint the
// rule picks (the aircraft when that index lies outside the active plan).
// With `strict_indices` an index outside the active plan, or of a marker
// entry ("DISCO", "THEN", which lie at 0 N 0 E), counts as none before the
// rule picks: such a step is no step (the active waypoint is taken), such
// an active index no active waypoint.
GeoPoint MapReference(bool plan, PlanCentre rule, bool strict_indices = false);

// A position placed on a map: its offset from the map origin in canvas units
// and its distance (NM) and true course from the reference. `ok` is false
// when a non-finite value took part; such a place is never drawn.
struct MapPlace {
  double x = 0.0;
  double y = 0.0;
  double distance = 0.0;
  double course = 0.0;
  bool ok = false;
};

struct MapView {
  gfx::Graphics* g = nullptr;
  CanvasScale scale;   // canvas to device (the plain scale)
  FineGrid grid;       // the fine grid
  double origin_x = 0.0;  // the map origin on the canvas: the aircraft point, or the PLAN centre
  double origin_y = 0.0;
  int radius = 0;         // canvas units that stand for `range`
  double range = 0.0;     // NM
  double pixels_per_nm = 0.0;  // radius / range; 0 when the range gives no scale
  bool plan = false;
  GeoPoint reference;
  double rotation = 0.0;  // degrees, the map's up direction (0 = north up)

  // A surface to draw on and a scale to project with.
  bool Usable() const { return g != nullptr && scale.usable && pixels_per_nm > 0.0; }
  // Writes the shared MapPixelsPerNm, as each layer does before it projects
  // (the shared marker and pattern routines overwrite it with their own).
  void SetMapScale() const;

  // World transforms; each resets the previous one. The ...At forms put the
  // origin on an absolute canvas point and turn by `turn` degrees.
  void UseFineGrid() const;
  void UseFineGridAt(double canvas_x, double canvas_y, double turn) const;
  void UsePlain() const;
  void UsePlainAt(double canvas_x, double canvas_y, double turn) const;

  // Canvas coordinates on the fine grid, truncated.
  int X(double canvas_x) const { return gfx::TruncToPixel(canvas_x * grid.gx); }
  int Y(double canvas_y) const { return gfx::TruncToPixel(canvas_y * grid.gy); }
  // A canvas size on the fine grid, unrounded (pens, fonts, symbol scales).
  double FineX(double canvas) const { return canvas * grid.gx; }
  double FineY(double canvas) const { return canvas * grid.gy; }
  // A pen width of `canvas` units on the fine grid (as wide on the device as
  // on the plain scale).
  double FineWidth(double canvas) const { return canvas * std::sqrt(grid.gx * grid.gy); }

  // Places a position measured from the reference with the map's rotation
  // (or another one), as BearingOffsetToScreen does about (0, 0).
  MapPlace Place(double latitude, double longitude) const { return Place(latitude, longitude, rotation); }
  MapPlace Place(double latitude, double longitude, double turn) const;
  // The same from another reference position.
  MapPlace PlaceFrom(const GeoPoint& from, double latitude, double longitude, double turn) const;
  // The same from a memo's place (its reference and up direction those of
  // this view).
  MapPlace PlaceOf(const display::GeoMemo::Place& place) const;
  // Integer places as BearingOffsetToScreenInt gives them (each offset
  // truncated toward 0).
  gfx::Point PlaceInt(const MapPlace& place) const;
};

// The display families' fixed parameters: what their shared layers differ
// by besides the per-frame geometry.
struct MapFamily {
  Canvas canvas;
  PlanCentre plan_centre;
  // The near and map lists are rebuilt about the aircraft (B737), or about
  // the map's reference position, the PLAN centre in PLAN (MD-11).
  bool lists_follow_reference;
  // The fine grid's factor F (1, or 16 for a sixteenth of a pixel).
  int grid_factor = 1;
  // PLAN indices outside the active plan count as none (MapReference).
  bool strict_indices = false;
};

inline constexpr MapFamily kB737MapFamily{{244.0f, 302.0f}, PlanCentre::kRouteWhileActive, false};
inline constexpr MapFamily kMd11MapFamily{{240.0f, 258.0f}, PlanCentre::kRouteElseAircraft, true};

// The view of a display family for one draw: the element's size, the map
// origin, radius and range, whether it is in PLAN. The reference and
// rotation follow from the family's rule.
MapView MakeMapView(const MapFamily& family, gfx::Graphics& g, int width, int height, double origin_x,
                    double origin_y, int radius, double range, bool plan);

}  // namespace ovi::nd
