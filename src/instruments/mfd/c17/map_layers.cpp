// The map contents of pages 3 to 6 as a table of layers with their
// conditions: navaids, airports, the active route, the approach pattern,
// the hold, the top of climb and descent, the FIX INFO fixes, traffic, the
// altitude range arc, runways and ATC boundaries. The navaid, airport, hold
// and FIX INFO layers are the navigation displays' members with the
// C-17's data.
#include <algorithm>
#include <cmath>

#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/nav_pages.h"
#include "src/instruments/mfd/c17/page_state.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/instruments/nd/map_points.h"
#include "src/instruments/nd/route_marks.h"
#include "src/instruments/nd/shared_layers.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::c17 {

namespace {

using display::FiniteOr;
using display::colour::kGreen;
using display::colour::kMagenta;
using display::colour::kWhite;

constexpr int kPage4CompassRadius = 124;
constexpr double kPointLayersUpTo = 160.0;  // NM
constexpr double kRunwaysUpTo = 2.5;        // NM
constexpr double kArcBelowFpm = -200.0;
constexpr double kLabelDx = 7.0, kLabelDy = -7.0;  // a route ident beside its point
constexpr double kStarDy = -6.0;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& F() { return flightplan::flightplan_state; }

// A route ident: Arial bold 10 on the fine grid, its layout point 7 units
// right of and 7 above the point's grid place.
gfx::Font IdentFont(const nd::MapView& v) { return display::ArialBold(static_cast<float>(10.0 * v.grid.gy)); }
display::MapText IdentText(const nd::MapView& v, const gfx::Font& font, std::string_view ident, gfx::Point at) {
  return display::MapText{ident, font,
                          gfx::PointF(static_cast<float>(at.X + kLabelDx * v.grid.gx),
                                      static_cast<float>(at.Y + kLabelDy * v.grid.gy))};
}

// The active route: every leg magenta, the active waypoint's ident and
// star magenta, the others white. A marker breaks the line: no leg into
// it, no star, no leg out of it (its place means nothing).
void DrawRoute(const MapLayerFrame& f) {
  const nd::MapView& v = f.view;
  v.UseFineGrid();
  v.SetMapScale();
  const gfx::Pen leg(kMagenta, static_cast<gfx::REAL>(2.0 * v.grid.gy));
  const gfx::Font font = IdentFont(v);
  const gfx::SolidBrush white(kWhite), magenta(kMagenta);
  const flightplan::State& fp = F();
  gfx::Point prev;
  bool have_prev = false;
  for (int i = 0; i <= fp.ActiveFlightPlanLastIndex; ++i) {
    const model::FlightPlanWaypoint* w = fp.ActiveFlightPlan.At(i);
    if (w == nullptr) break;
    const nd::MapPlace p = nd::IsRouteMarker(w->ident) ? nd::MapPlace{} : v.Place(w->latitude, w->longitude);
    if (!p.ok) {
      have_prev = false;
      continue;
    }
    const gfx::Point at(v.X(p.x), v.Y(p.y));
    const bool active = i == fp.ActiveWaypointIndex;
    if (have_prev) f.g.DrawLineI(leg, prev.X, prev.Y, at.X, at.Y);
    display::WriteMapLabel(f.g, w->ident, at.X, at.Y, IdentText(v, font, w->ident, at), active ? magenta : white,
                           true);
    display::DrawMapSymbol(f.g, at.X, at.Y + kStarDy * v.grid.gy, display::kSymbolWaypointStar, -99, v.grid.gx,
                           v.grid.gy, active ? display::kStyleMagenta : display::kStyleDefault, v.range);
    prev = at;
    have_prev = true;
  }
}

void DrawApproach(const MapLayerFrame& f) {
  f.view.UseFineGrid();
  display::DrawApproachPattern(f.g, f.view.radius, 0, 0, f.view.range, f.view.grid.gx, f.view.grid.gy);
}

void DrawMarkers(const MapLayerFrame& f) {
  const nd::MapView& v = f.view;
  v.UseFineGrid();
  display::DrawTodTocMarkers(f.g, v.radius, v.range, 0, 0, display::kDisplayB737, v.grid.gx, v.grid.gy,
                             v.reference.latitude, v.reference.longitude, v.rotation);
}

void DrawTraffic(const MapLayerFrame& f) {
  f.view.UsePlain();
  display::DrawProviderTraffic(f.g, f.view.radius, f.view.range, f.aircraft_x, f.aircraft_y, display::kDisplayMd11);
}

void DrawRunways(const MapLayerFrame& f) {
  f.view.UsePlain();
  display::DrawAirportRunways(f.g, f.view.radius, f.aircraft_x, f.aircraft_y, f.view.range);
}

void DrawBoundaries(const MapLayerFrame& f) {
  f.view.UsePlain();
  display::DrawAtcBoundaries(f.g, f.view.radius, f.aircraft_x, f.aircraft_y, f.view.range, f.view.rotation);
}

double Range() { return M().C17MfdMapRange; }

bool RouteShown() { return F().ActiveWaypointIndex != model::kNoWaypoint && c17_state.C17ShowMapLayers == 1; }

using display::Layer;
constexpr Layer<MapLayerFrame> kLayers[] = {
    {"navaids", [](const MapLayerFrame&) { return (M().Proline4ShowVors == 1 || M().Proline4ShowNdbs == 1) && Range() <= kPointLayersUpTo; },
     [](const MapLayerFrame& f) { DrawC17Navaids(f.view); }},
    {"airports", [](const MapLayerFrame&) { return M().Proline4ShowAirports == 1 && Range() <= kPointLayersUpTo; },
     [](const MapLayerFrame& f) { DrawC17Airports(f.view); }},
    {"route", [](const MapLayerFrame&) { return RouteShown(); }, DrawRoute},
    {"approach pattern", [](const MapLayerFrame& f) { return navdb::navdb_state.SelectedRunwayBase != -999 && f.page != 6; },
     DrawApproach},
    {"hold", [](const MapLayerFrame&) { return nd::FirstHold() != nullptr; },
     [](const MapLayerFrame& f) { DrawC17HoldingPattern(f.view); }},
    {"top of climb and descent", [](const MapLayerFrame&) { return true; }, DrawMarkers},
    {"fix info", [](const MapLayerFrame&) {
       const model::FixInfoRecord *a = F().FixInfoTable.At(1), *b = F().FixInfoTable.At(2);
       return (a != nullptr && !a->ident.empty()) || (b != nullptr && !b->ident.empty());
     },
     [](const MapLayerFrame& f) { DrawC17FixInfo(f.view); }},
    {"traffic", [](const MapLayerFrame&) { return M().NdShowTraffic == 1; }, DrawTraffic},
    {"altitude arc", [](const MapLayerFrame&) {
       const guidance::State& s = G();
       return s.ApMaster == 1.0 && s.ApAltitudeLock == 1.0 && s.ApAltitudeLockVar < s.AircraftAltitude &&
              s.VerticalSpeedFpm < kArcBelowFpm;
     },
     DrawC17AltitudeRangeArc},
    {"runways", [](const MapLayerFrame&) { return navdb::navdb_state.AirportRunwayCount > 0 && Range() <= kRunwaysUpTo; },
     DrawRunways},
    {"boundaries", [](const MapLayerFrame&) { return M().ShowAtcBoundaries == 1; }, DrawBoundaries},
};

}  // namespace

int C17LayerRadius(std::int32_t page) { return page == 4 ? kPage4CompassRadius : c17_state.C17MfdMapRadius; }

nd::MapView C17MapView(const display::GaugeDisplay& display, gfx::Graphics& g, std::int32_t page) {
  const State& c = c17_state;
  return nd::MakeMapView(kC17MapFamily, g, display.width, display.height, c.C17MfdOriginX, c.C17MfdOriginY,
                         C17LayerRadius(page), M().C17MfdMapRange, page == 6);
}

MapLayerFrame MakeMapLayerFrame(const display::GaugeDisplay& display, gfx::Graphics& g, std::int32_t page) {
  MapLayerFrame f{display, g, page, C17MapView(display, g, page)};
  if (page == 6) {
    const nd::GeoPoint aircraft = nd::AircraftPosition();
    const nd::MapPlace p = f.view.Place(aircraft.latitude, aircraft.longitude);
    if (p.ok) {
      f.aircraft_x = gfx::TruncToPixel(p.x);
      f.aircraft_y = gfx::TruncToPixel(p.y);
    }
  }
  return f;
}

std::span<const display::Layer<MapLayerFrame>> C17MapLayerTable() { return kLayers; }

void DrawC17Navaids(const nd::MapView& view) {
  nd::DrawPointLayer(view, kC17MapFamily, nd::PointLayerMembers()[nd::kC17NavaidLayer]);
}

void DrawC17Airports(const nd::MapView& view) {
  nd::DrawPointLayer(view, kC17MapFamily, nd::PointLayerMembers()[nd::kC17AirportLayer]);
}

void DrawC17HoldingPattern(const nd::MapView& view) { nd::DrawHoldOnMap(view, 2.0 * view.grid.gx); }

void DrawC17FixInfo(const nd::MapView& view) { nd::DrawFixInfoOnMap(view, nd::kC17FixInfo); }

// Where the descent reaches the selected altitude: an arc whose apex lies
// that far ahead of the aircraft, in the heading's direction.
void DrawC17AltitudeRangeArc(const MapLayerFrame& f) {
  const nd::MapView& v = f.view;
  if (!v.Usable()) return;
  v.SetMapScale();
  const guidance::State& s = G();
  if (!(s.VerticalSpeedFpm < 0.0)) return;
  const double ahead = (s.AircraftAltitude - s.ApAltitudeLockVar) / s.VerticalSpeedFpm *
                       (s.GroundSpeedKnots * 0.016666666666666666) * v.pixels_per_nm;
  if (!std::isfinite(ahead)) return;
  // North up, the aircraft's own place and heading (page 6) are the arc's.
  if (f.page == 6)
    v.UsePlainAt(v.origin_x + f.aircraft_x, v.origin_y + f.aircraft_y, FiniteOr(s.AircraftHeading));
  else
    v.UsePlain();
  f.g.DrawArcI(gfx::Pen(kGreen, 2.0f), -75, gfx::TruncToPixel(ahead), 150, 150, 220.0f, 100.0f);
}

void DrawC17MapLayers(display::GaugeDisplay& display, gfx::Graphics& g) {
  const MapLayerFrame frame = MakeMapLayerFrame(display, g, WorkingPage());
  if (!frame.view.Usable()) return;
  const display::MapPicture picture(g);
  display::DrawLayers(C17MapLayerTable(), frame);
}

}  // namespace ovi::c17
