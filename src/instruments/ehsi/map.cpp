// The EHSI maps' shared pieces: the view of a picture, the walker's
// members on it, the route, the hold, the boundaries, the altitude range
// arc and the aircraft on a north-up map.
#include "src/instruments/ehsi/map.h"

#include <cmath>
#include <string>
#include <string_view>

#include "src/display/labels.h"
#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/nd/route_marks.h"
#include "src/instruments/nd/shared_layers.h"
#include "src/model/records.h"

namespace ovi::ehsi {

namespace {

using display::FiniteOr;

constexpr double kLineWidth = 2.0;  // canvas units

const flightplan::State& F() { return flightplan::flightplan_state; }
const guidance::State& G() { return guidance::guidance_state; }

// Which of a style's marks an entry takes (the order of `marks` below).
enum RouteClass { kOther, kActive, kActiveNavaid, kActiveAirport, kBeforeActive };

RouteClass ClassOf(int index, int active, std::string_view type) {
  if (index == active) {
    if (type == "VOR" || type == "NDB") return kActiveNavaid;
    if (type == "APT") return kActiveAirport;
    return kActive;
  }
  return index == active - 1 ? kBeforeActive : kOther;
}

// The route's idents: Arial bold of the style's size on the fine grid, at
// the style's offset from the point, as much as the screen's text field
// shows.
gfx::Font RouteFont(const nd::MapView& v, const RouteStyle& style) {
  return display::ArialBold(static_cast<float>(v.FineX(style.font_size)));
}
display::MapText IdentText(const nd::MapView& v, const RouteStyle& style, const gfx::Font& font,
                           std::string_view ident, const nd::MapPlace& p) {
  return display::MapText{ident.substr(0, display::kScreenTextChars), font,
                          gfx::PointF(static_cast<gfx::REAL>(v.X(p.x + style.label_dx)),
                                      static_cast<gfx::REAL>(v.Y(p.y + style.label_dy)))};
}

}  // namespace

EhsiMap MakeEhsiMap(const nd::MapFamily& family, const display::GaugeDisplay& display, gfx::Graphics& g, double cx,
                    double cy, int radius, double range, bool plan, int mode, int variant) {
  EhsiMap m;
  m.view = nd::MakeMapView(family, g, display.width, display.height, cx, cy, radius, range, plan);
  if (!(m.view.range > 0.0)) m.view.pixels_per_nm = 0.0;
  m.family = &family;
  m.mode = mode;
  m.variant = variant;
  return m;
}

int ActiveRouteIndex() {
  const int active = F().ActiveWaypointIndex;
  if (active < 0 || active > F().ActiveFlightPlanLastIndex || F().ActiveFlightPlan.At(active) == nullptr) return -1;
  return active;
}

void DrawEhsiPoints(const EhsiMap& map, nd::PointLayerIndex member) {
  nd::DrawPointLayer(map.view, *map.family, nd::PointLayerMembers()[static_cast<std::size_t>(member)]);
}

bool EhsiPointsShown(const EhsiMap& map, nd::PointLayerIndex member) {
  return nd::PointLayerShown(nd::PointLayerMembers()[static_cast<std::size_t>(member)], map.view.range);
}

void DrawEhsiRoute(const EhsiMap& map, const RouteStyle& style) {
  const nd::MapView& v = map.view;
  const int active = ActiveRouteIndex();
  if (!v.Usable() || active < 0) return;
  v.UseFineGrid();
  v.SetMapScale();
  gfx::Graphics& g = *v.g;
  const gfx::Pen line(style.line, static_cast<gfx::REAL>(v.FineX(kLineWidth)));
  const gfx::Font font = RouteFont(v, style);
  const RouteMark* marks[] = {&style.other, &style.active, &style.active_navaid, &style.active_airport,
                              &style.before_active};
  const gfx::SolidBrush brushes[] = {gfx::SolidBrush(marks[0]->label), gfx::SolidBrush(marks[1]->label),
                                     gfx::SolidBrush(marks[2]->label), gfx::SolidBrush(marks[3]->label),
                                     gfx::SolidBrush(marks[4]->label)};

  gfx::Point previous;
  bool have_previous = false;
  for (int i = 0; i <= F().ActiveFlightPlanLastIndex; ++i) {
    const model::FlightPlanWaypoint* wpt = F().ActiveFlightPlan.At(i);
    if (wpt == nullptr) break;
    // A marker keeps the place route editing gave it (0 N 0 E), which is no
    // place on the route: the line breaks there instead of running to it.
    if (nd::IsRouteMarker(wpt->ident)) {
      have_previous = false;
      continue;
    }
    const nd::MapPlace p = v.Place(wpt->latitude, wpt->longitude);
    if (!p.ok) {
      have_previous = false;
      continue;
    }
    const gfx::Point here(v.X(p.x), v.Y(p.y));
    if (have_previous) g.DrawLineI(line, previous.X, previous.Y, here.X, here.Y);
    const RouteClass which = ClassOf(i, active, wpt->type);
    const RouteMark& mark = *marks[which];
    display::WriteMapLabel(g, wpt->ident, here.X, here.Y, IdentText(v, style, font, wpt->ident, p), brushes[which],
                           true);
    display::DrawMapSymbol(g, v.X(p.x), v.Y(p.y + style.symbol_dy), mark.code, -99, v.grid.gx, v.grid.gy, mark.style,
                           v.range);
    previous = here;
    have_previous = true;
  }
}

void DrawEhsiHold(const EhsiMap& map, double turn_width) {
  nd::DrawHoldOnMap(map.view, map.view.FineX(kLineWidth), nd::HoldStyle{.turn_width = turn_width});
}

void DrawEhsiAtcBoundaries(const EhsiMap& map) {
  const nd::MapView& v = map.view;
  if (!v.Usable()) return;
  double cx = v.origin_x, cy = v.origin_y;
  if (v.plan) {
    // The outlines are placed from the aircraft: on a map centred on a
    // waypoint they start from the aircraft's place there.
    const nd::GeoPoint aircraft = nd::AircraftPosition();
    const nd::MapPlace p = v.Place(aircraft.latitude, aircraft.longitude);
    if (!p.ok) return;
    cx += p.x;
    cy += p.y;
  }
  v.UsePlainAt(cx, cy, 0.0);
  display::DrawAtcBoundaries(*v.g, v.radius, 0, 0, v.range, v.rotation);
}

bool AltitudeRangeArcWanted() {
  const guidance::State& s = G();
  return s.ApMaster == 1.0 && s.ApAltitudeLock == 1.0 && s.ApAltitudeLockVar < s.AircraftAltitude &&
         s.VerticalSpeedFpm < -200.0;
}

std::optional<double> DrawAltitudeRangeArc(gfx::Graphics& g, double radius, double range, int box) {
  const guidance::State& s = G();
  if (!std::isfinite(range) || !(range > 0.0)) return std::nullopt;
  const double pixels_per_nm = radius / range;
  const double ahead = (s.AircraftAltitude - s.ApAltitudeLockVar) / s.VerticalSpeedFpm * s.GroundSpeedKnots / 60.0 *
                       pixels_per_nm;
  if (!std::isfinite(pixels_per_nm) || !std::isfinite(ahead)) return std::nullopt;
  display::display_state.MapPixelsPerNm = pixels_per_nm;
  g.DrawArcI(gfx::Pen(display::colour::kGreen, 2.0f), -box / 2, gfx::TruncToPixel(ahead), box, box, 220.0f, 100.0f);
  return ahead;
}

void DrawEhsiMarkers(const EhsiMap& map, std::int32_t kind) {
  const nd::MapView& v = map.view;
  v.UseFineGrid();
  display::DrawTodTocMarkers(*v.g, v.radius, v.range, 0.0, 0.0, kind, map.Kx(), map.Ky(), v.reference.latitude,
                             v.reference.longitude, v.rotation);
}

void DrawEhsiApproachPattern(const EhsiMap& map) {
  const nd::MapView& v = map.view;
  v.UseFineGrid();
  display::DrawApproachPattern(*v.g, v.radius, 0, 0, v.range, map.Kx(), map.Ky());
}

void DrawEhsiTraffic(const EhsiMap& map, std::int32_t kind) {
  const nd::MapView& v = map.view;
  v.UsePlain();
  display::DrawProviderTraffic(*v.g, v.radius, v.range, 0, 0, kind);
}

void DrawEhsiAirportRunways(const EhsiMap& map) {
  const nd::MapView& v = map.view;
  v.UsePlain();
  display::DrawAirportRunways(*v.g, v.radius, 0, 0, v.range);
}

void DrawPlanAircraft(const EhsiMap& map, const Shape& symbol) {
  const nd::MapView& v = map.view;
  if (!v.Usable()) return;
  const nd::GeoPoint aircraft = nd::AircraftPosition();
  const nd::MapPlace p = v.Place(aircraft.latitude, aircraft.longitude, 0.0);
  if (!p.ok) return;
  // North up, the symbol takes the true heading the heading-up maps turn
  // by: the magnetic one would stand off its own track by the variation.
  const gfx::Point at = v.PlaceInt(p);
  v.UsePlainAt(v.origin_x + at.X, v.origin_y + at.Y, FiniteOr(G().MapHeading));
  DrawAircraftShape(*v.g, symbol);
}

}  // namespace ovi::ehsi
