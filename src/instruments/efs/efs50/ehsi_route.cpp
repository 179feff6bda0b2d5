// Two map layers of the EHSI's map modes with the flight plan as the
// source: the active route from the aircraft on, and the first hold's
// racetrack with the hold point being flown to.
#include <cmath>
#include <string_view>

#include "src/display/map_labels.h"
#include "src/display/map_symbols.h"
#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/efs/efs50/ehsi.h"
#include "src/instruments/nd/route_marks.h"
#include "src/model/records.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
namespace c = efs50_colour;

const guidance::State& G() { return guidance::guidance_state; }

// Markers left in the route by editing stand at 0 N 0 E: the route has no
// leg into or out of them, and they get no symbol or ident.
using nd::IsRouteMarker;

const model::FlightPlanWaypoint* RouteEntry(int index) {
  const flightplan::State& f = flightplan::flightplan_state;
  if (index < 0 || index > f.ActiveFlightPlanLastIndex) return nullptr;
  return f.ActiveFlightPlan.At(index);
}

std::uint32_t SymbolFor(std::string_view type) {
  if (type == "VOR" || type == "NDB") return display::kSymbolNdb;
  if (type == "APT") return display::kSymbolAirport;
  return display::kSymbolWaypointStar;
}

class RouteLayer {
 public:
  RouteLayer(gfx::Graphics& g, const display::FineGrid& grid, double pixels_per_nm, double range)
      : g_(g), grid_(grid), pixels_per_nm_(pixels_per_nm), range_(range),
        font_(display::DaReredBold(static_cast<float>(12.0 * grid.gx))),
        white_pen_(c::kWhite, static_cast<float>(2.0 * grid.gx)),
        blue_pen_(c::kBlue, static_cast<float>(2.0 * grid.gx)),
        yellow_pen_(c::kYellow, static_cast<float>(2.0 * grid.gx)),
        white_(c::kWhite), blue_(c::kBlue), yellow_(c::kYellow) {
    yellow_pen_.SetDashStyle(gfx::DashStyle::Dash);
  }

  // The place in canvas units, then on the grid: x by kx, y by ky, so the
  // route lies on the same map as the hold and the markers (one length for
  // both axes squeezed the along-heading part to 230/266).
  gfx::Point Place(double latitude, double longitude) const {
    const guidance::State& s = G();
    double distance = 0.0, bearing = 0.0;
    navdb::ComputeDistanceAndBearing(s.PlaneLatitude, s.PlaneLongitude, latitude, longitude, distance, bearing);
    double x = 0.0, y = 0.0;
    navdb::BearingOffsetToScreen(FiniteOr(s.MapHeading), FiniteOr(bearing), 0.0, 0.0,
                                 FiniteOr(distance) * pixels_per_nm_, x, y);
    return gfx::Point(gfx::TruncToPixel(x * grid_.gx), gfx::TruncToPixel(y * grid_.gy));
  }
  void Symbol(const gfx::Point& p, std::uint32_t code, std::uint32_t style) {
    const double up = code == display::kSymbolWaypointStar ? 6.0 : 3.0;
    display::DrawMapSymbol(g_, p.X, p.Y - up * grid_.gy, code, -99, grid_.gx, grid_.gy, style, range_);
  }
  // The ident of the waypoint at `p`, its text at (x, y).
  void Ident(std::string_view ident, const gfx::SolidBrush& brush, const gfx::Point& p, double x, double y) {
    display::WriteMapLabel(g_, ident, p.X, p.Y,
                           display::MapText{ident.substr(0, display::kScreenTextChars), font_,
                                            gfx::PointF(static_cast<float>(x), static_cast<float>(y))},
                           brush, true);
  }
  void Beside(std::string_view ident, const gfx::SolidBrush& brush, const gfx::Point& p) {
    Ident(ident, brush, p, p.X + 7.0 * grid_.gx, p.Y - 7.0 * grid_.gy);
  }
  void Line(const gfx::Pen& pen, const gfx::Point& a, const gfx::Point& b) { g_.DrawLineI(pen, a.X, a.Y, b.X, b.Y); }

  void PreviousWaypoint();
  void Legs();

 private:
  gfx::Graphics& g_;
  const display::FineGrid& grid_;
  double pixels_per_nm_;
  double range_;
  gfx::Font font_;
  gfx::Pen white_pen_, blue_pen_, yellow_pen_;
  gfx::SolidBrush white_, blue_, yellow_;
};

// The waypoint before the active one, or "DCT" where LNAV was engaged, with
// a dashed line to the active waypoint.
void RouteLayer::PreviousWaypoint() {
  const int active = flightplan::flightplan_state.ActiveWaypointIndex;
  gfx::Point from;
  if (G().ActiveLegFromEngagePosition == 0) {
    const model::FlightPlanWaypoint* previous = RouteEntry(active - 1);
    if (previous == nullptr || IsRouteMarker(previous->ident)) return;
    from = Place(previous->latitude, previous->longitude);
    Beside(previous->ident, yellow_, from);
    Symbol(from, SymbolFor(previous->type), display::kStyleYellow);
  } else {
    from = Place(G().LegOriginLatitude, G().LegOriginLongitude);
    Beside("DCT", yellow_, from);
    Symbol(from, display::kSymbolWaypointStar, display::kStyleYellow);
  }
  const model::FlightPlanWaypoint* to = RouteEntry(active);
  if (to == nullptr || IsRouteMarker(to->ident)) return;
  Line(yellow_pen_, from, Place(to->latitude, to->longitude));
}

void RouteLayer::Legs() {
  const flightplan::State& f = flightplan::flightplan_state;
  const int active = f.ActiveWaypointIndex;
  gfx::Point previous;
  bool joined = false;
  for (int i = active; i <= f.ActiveFlightPlanLastIndex; ++i) {
    const model::FlightPlanWaypoint* wpt = RouteEntry(i);
    if (wpt == nullptr) break;
    if (IsRouteMarker(wpt->ident)) {
      joined = false;
      continue;
    }
    const gfx::Point q = Place(wpt->latitude, wpt->longitude);
    if (i == active) {
      Line(blue_pen_, gfx::Point(0, 0), q);
      // The active waypoint's ident stands 7 frame units off, unscaled, as
      // the display has always placed it.
      Ident(wpt->ident, blue_, q, q.X + 7.0, q.Y - 7.0);
      Symbol(q, SymbolFor(wpt->type), display::kStyleBlue);
    } else {
      if (joined) Line(white_pen_, previous, q);
      Beside(wpt->ident, white_, q);
      Symbol(q, SymbolFor(wpt->type), display::kStyleDefault);
    }
    previous = q;
    joined = true;
  }
}

const model::HoldingPattern* FirstHold() {
  const flightplan::State& f = flightplan::flightplan_state;
  if (f.HoldCount < 1) return nullptr;
  const model::HoldingPattern* hold = f.HoldTable.At(1);
  return hold != nullptr && hold->active_index > 0 ? hold : nullptr;
}

}  // namespace

void DrawEfs50RouteWaypoints(const display::GaugeDisplay& display, gfx::Graphics& g) {
  model::State& m = model::model_state;
  const int mode = m.EFS50HsiMode;
  const bool rose = mode == 2 || mode == 3;
  m.Efs50RoseRadius = rose ? 50.0 : 95.0;
  const double range = m.Efs50EhsiRange;
  if (!std::isfinite(range) || !(range > 0.0) || display.width <= 0 || display.height <= 0) return;
  const double pixels_per_nm = m.Efs50RoseRadius / range;
  display::display_state.MapPixelsPerNm = pixels_per_nm;
  const display::FineGrid grid = display::FineGridFor(kEfs50Canvas, display.width, display.height);
  g.ResetTransform();
  g.ScaleTransform(grid.wx, grid.wy);
  g.TranslateTransform(static_cast<float>(kEfs50CentreX * grid.gx),
                       static_cast<float>((rose ? kEfs50CentreY : kEfs50ArcCentreY) * grid.gy));
  if (rose) {
    gfx::GraphicsPath circle;
    circle.AddEllipse(static_cast<float>(-100.0 * grid.gx), static_cast<float>(-100.0 * grid.gy),
                      static_cast<float>(200.0 * grid.gx), static_cast<float>(200.0 * grid.gy));
    g.SetClip(circle);
  }
  RouteLayer layer(g, grid, pixels_per_nm, range);
  if (m.DispPrevWpt == 1 && flightplan::flightplan_state.ActiveWaypointIndex >= 1 && range >= 5.0)
    layer.PreviousWaypoint();
  layer.Legs();
  g.ResetClip();
}

void DrawEfs50HoldingPattern(const display::GaugeDisplay& display, gfx::Graphics& g, int radius, int cx, int cy,
                             double range) {
  const model::HoldingPattern* hold = FirstHold();
  const display::CanvasScale scale = Efs50Scale(display);
  if (hold == nullptr || !scale.usable || !std::isfinite(range) || !(range > 0.0)) return;
  const guidance::State& s = G();
  const double m = radius / range;
  display::display_state.MapPixelsPerNm = m;
  const double r = FiniteOr(hold->leg_length) * 0.5 * m;
  const double up = FiniteOr(s.MapHeading);
  auto place = [&](double latitude, double longitude) {
    double distance = 0.0, bearing = 0.0;
    navdb::ComputeDistanceAndBearing(s.PlaneLatitude, s.PlaneLongitude, latitude, longitude, distance, bearing);
    int x = 0, y = 0;
    navdb::BearingOffsetToScreenInt(up, FiniteOr(bearing), cx, cy, FiniteOr(distance) * m, x, y);
    return gfx::Point(x, y);
  };
  const gfx::Point fix = place(hold->corners[0].latitude, hold->corners[0].longitude);
  const gfx::Point a = place(s.HoldScratchPointLat, s.HoldScratchPointLon);
  const gfx::Point b = place(s.HoldAbeamPointLat, s.HoldAbeamPointLon);
  const gfx::Point cc = place(s.HoldProjectedLatitude, s.HoldProjectedLongitude);
  const gfx::Point d = place(s.HoldFinalLat, s.HoldFinalLon);
  const gfx::Pen pen(c::kGreen, 2.0f);
  const double turn = FiniteOr(hold->inbound_course) - FiniteOr(s.AircraftHeading);
  const bool right = hold->turn_side == 1;
  const int width = gfx::TruncToPixel(r), height = gfx::TruncToPixel(r / 2.0);

  display::UseCanvas(g, scale);
  g.DrawLineI(pen, fix.X, fix.Y, a.X, a.Y);
  // The turns are half a leg wide while the corners lie 0.75 legs apart, so
  // each starts at its corner and stops short of the other, as the display
  // has always drawn them.
  const gfx::Point first = right ? a : b;
  display::UseOrigin(g, scale, static_cast<float>(first.X), static_cast<float>(first.Y), turn);
  g.DrawArcI(pen, 0, gfx::TruncToPixel(-r / 4.0), width, height, 180.0f, 180.0f);
  display::UseCanvas(g, scale);
  g.DrawLineI(pen, b.X, b.Y, cc.X, cc.Y);
  g.DrawLineI(pen, d.X, d.Y, fix.X, fix.Y);
  const gfx::Point second = right ? d : cc;
  display::UseOrigin(g, scale, static_cast<float>(second.X), static_cast<float>(second.Y), turn);
  g.DrawArcI(pen, 0, gfx::TruncToPixel(-r / 4.0 - 2.0), width, height, 0.0f, 180.0f);

  if (s.LnavEngaged != 1) return;
  display::UseCanvas(g, scale);
  int hx = 0, hy = 0;
  navdb::BearingOffsetToScreenInt(up, FiniteOr(s.HoldPointBearing), cx, cy, FiniteOr(s.HoldPointDistance) * m, hx,
                                  hy);
  g.FillEllipseI(gfx::SolidBrush(s.ActiveHoldIndex == 1 ? c::kAmber : c::kGreen), hx - 4, hy - 5, 8, 8);
}

}  // namespace ovi::efs
