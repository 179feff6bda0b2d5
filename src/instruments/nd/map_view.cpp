#include "src/instruments/nd/map_view.h"

#include <cmath>

#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/route_marks.h"
#include "src/instruments/nd/state.h"
#include "src/model/records.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::nd {

GeoPoint AircraftPosition() {
  const guidance::State& s = guidance::guidance_state;
  return GeoPoint{s.PlaneLatitude, s.PlaneLongitude};
}

GeoPoint MapReference(bool plan, PlanCentre rule, bool strict_indices) {
  const GeoPoint aircraft = AircraftPosition();
  if (!plan) return aircraft;
  const flightplan::State& f = flightplan::flightplan_state;
  bool active = f.ActiveWaypointIndex != model::kNoWaypoint;
  int step = f.PlanStepIndex;
  if (strict_indices) {
    // A marker ("DISCO", "THEN") keeps the place route editing gave it,
    // 0 N 0 E: it is no place to centre a map on.
    const auto within = [&](int i) {
      if (i < 0 || i > f.ActiveFlightPlanLastIndex) return false;
      const model::FlightPlanWaypoint* w = f.ActiveFlightPlan.At(i);
      return w != nullptr && !IsRouteMarker(w->ident);
    };
    active = active && within(f.ActiveWaypointIndex);
    if (!within(step)) step = 0;
  }
  int index;
  if (rule != PlanCentre::kRouteElseAircraft && !active) return aircraft;
  if (rule == PlanCentre::kStepWhileActive) {
    if (step < 0) return aircraft;
    index = step;
  } else if (rule == PlanCentre::kActiveWhileActive)
    index = f.ActiveWaypointIndex;
  else if (step >= 1)
    index = step;
  else if (active)
    index = f.ActiveWaypointIndex;
  else
    return aircraft;
  if (index < 0 || index > f.ActiveFlightPlanLastIndex) return aircraft;
  const model::FlightPlanWaypoint* wpt = f.ActiveFlightPlan.At(index);
  if (wpt == nullptr) return aircraft;
  return GeoPoint{wpt->latitude, wpt->longitude};
}

void MapView::SetMapScale() const {
  if (pixels_per_nm > 0.0 && std::isfinite(pixels_per_nm)) display::display_state.MapPixelsPerNm = pixels_per_nm;
}

void MapView::UseFineGrid() const {
  UseFineGridAt(origin_x, origin_y, 0.0);
}

void MapView::UseFineGridAt(double canvas_x, double canvas_y, double turn) const {
  display::UseFineGrid(*g, grid, canvas_x, canvas_y, turn);
}

void MapView::UsePlain() const { UsePlainAt(origin_x, origin_y, 0.0); }

void MapView::UsePlainAt(double canvas_x, double canvas_y, double turn) const {
  UseOrigin(*g, scale, static_cast<float>(FiniteOr(canvas_x)), static_cast<float>(FiniteOr(canvas_y)), turn);
}

MapPlace MapView::Place(double latitude, double longitude, double turn) const {
  return PlaceFrom(reference, latitude, longitude, turn);
}

MapPlace MapView::PlaceFrom(const GeoPoint& from, double latitude, double longitude, double turn) const {
  MapPlace p;
  navdb::ComputeDistanceAndBearing(from.latitude, from.longitude, latitude, longitude, p.distance, p.course);
  navdb::BearingOffsetToScreen(turn, p.course, 0.0, 0.0, p.distance * pixels_per_nm, p.x, p.y);
  p.ok = std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.distance);
  return p;
}

MapPlace MapView::PlaceOf(const display::GeoMemo::Place& place) const {
  MapPlace p;
  p.distance = place.distance;
  p.course = place.course;
  display::GeoMemo::Offset(place, 0.0, 0.0, p.distance * pixels_per_nm, p.x, p.y);
  p.ok = std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.distance);
  return p;
}

gfx::Point MapView::PlaceInt(const MapPlace& place) const {
  return gfx::Point(gfx::TruncToPixel(place.x), gfx::TruncToPixel(place.y));
}

MapView MakeMapView(const MapFamily& family, gfx::Graphics& g, int width, int height, double origin_x,
                    double origin_y, int radius, double range, bool plan) {
  MapView v;
  v.g = &g;
  v.scale = ScaleToSurface(family.canvas, width, height);
  v.grid = FineGridFor(family.canvas, width, height, family.grid_factor);
  v.origin_x = origin_x;
  v.origin_y = origin_y;
  v.radius = radius;
  v.range = FiniteOr(range);
  v.pixels_per_nm = v.range > 0.0 ? radius / v.range : 0.0;
  if (!std::isfinite(v.pixels_per_nm)) v.pixels_per_nm = 0.0;
  v.plan = plan;
  v.reference = MapReference(plan, family.plan_centre, family.strict_indices);
  v.rotation = plan ? 0.0 : FiniteOr(guidance::guidance_state.MapHeading);
  return v;
}

MapView B737MapView(const B737NdFrame& f) {
  return MakeMapView(kB737MapFamily, f.g, f.display.width, f.display.height, f.center_x, f.center_y, f.radius,
                     f.range, f.Plan());
}

MapView Md11MapView(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const State& s = nd_state;
  const model::State& m = model::model_state;
  return MakeMapView(kMd11MapFamily, g, display.width, display.height, s.Md11NdCenterX, s.Md11NdCenterY,
                     s.Md11NdMapRadius, m.Md11NdRange, m.HWMD11NDMode == kMd11NdModePlan);
}

}  // namespace ovi::nd
