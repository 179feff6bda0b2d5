// The active route on the map modes: legs, waypoints, runway centre lines,
// half range rings, the TOC/TOD markers and the approach pattern.
#include <string_view>

#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/map_view.h"
#include "src/instruments/nd/route_marks.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/state.h"

namespace ovi::nd {

namespace {

constexpr double kLineWidth = 2.0;          // canvas units: every pen of the layer
constexpr double kOriginMarkRange = 80.0;   // NM: the origin mark from here up, runway lines below
constexpr double kRunwayLineReach = 100.0;  // NM from the reference to a runway threshold
constexpr double kRunwayExtension = 18.0;   // NM beyond either end
constexpr double kRunwaySideOffset = 0.5;   // NM beside the threshold
constexpr double kFeetToNm = 0.0001893939393939394;  // feet / 5280: statute miles, taken as NM
constexpr double kPreviousWaypointRange = 5.0;
constexpr double kMarkerDestinationDistance = 8.0;

const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& F() { return flightplan::flightplan_state; }

class RouteLayer {
 public:
  RouteLayer(const B737NdFrame& f, const MapView& v)
      : f_(f),
        v_(v),
        g_(f.g),
        marks_(v),
        white_(colour::kWhite),
        yellow_(colour::kYellow),
        magenta_(colour::kMagenta),
        leg_pen_(colour::kMagenta, Width()),
        prev_pen_(colour::kYellow, Width()),
        runway_pen_(colour::kWhite, Width()),
        origin_pen_(colour::kWhite, Width()) {
    prev_pen_.SetDashStyle(gfx::DashStyle::Dash);
    runway_pen_.SetDashStyle(gfx::DashStyle::Dash);
  }

  void OriginMark();
  void RunwayCentreLines(int set, bool departure);
  void PreviousWaypoint();
  void Route();

 private:
  gfx::REAL Width() const { return static_cast<gfx::REAL>(v_.FineWidth(kLineWidth)); }
  gfx::Point Grid(const MapPlace& p) const { return marks_.Grid(p); }
  void Line(const gfx::Pen& pen, const gfx::Point& a, const gfx::Point& b) { g_.DrawLineI(pen, a.X, a.Y, b.X, b.Y); }
  void Ident(std::string_view ident, const gfx::SolidBrush& brush, const MapPlace& p) { marks_.Ident(ident, brush, p); }
  void Star(const MapPlace& p, std::uint32_t style) { marks_.Star(p, style, f_.range); }
  // A line between two positions, each placed as the route's points.
  void GeoLine(const gfx::Pen& pen, const GeoPoint& a, const GeoPoint& b) {
    const MapPlace pa = v_.Place(a.latitude, a.longitude), pb = v_.Place(b.latitude, b.longitude);
    if (pa.ok && pb.ok) Line(pen, Grid(pa), Grid(pb));
  }

  const B737NdFrame& f_;
  const MapView& v_;
  gfx::Graphics& g_;
  RouteMarks marks_;
  gfx::SolidBrush white_, yellow_, magenta_;
  gfx::Pen leg_pen_, prev_pen_, runway_pen_, origin_pen_;
};

void RouteLayer::OriginMark() {
  const model::FlightPlanWaypoint* origin = F().ActiveFlightPlan.At(0);
  if (origin == nullptr || F().ActiveFlightPlanLastIndex < 0) return;
  const MapPlace p = v_.Place(origin->latitude, origin->longitude);
  if (!p.ok) return;
  Ident(origin->ident, white_, p);
  // Both sides of the ring take gx: it is 10 canvas units wide and
  // 10 x 302 / 244 high, slightly taller than round, as the display has
  // always drawn it.
  const int size = gfx::TruncToPixel(v_.FineX(10.0));
  g_.DrawEllipseI(origin_pen_, v_.X(p.x - 5.0), v_.Y(p.y - 5.0), size, size);
}

// Departure (set 1) or arrival (set 2) runway of the procedure sets. The
// lines start from AirportRunwayTable's entry of the same index, so the
// index must lie within both tables.
void RouteLayer::RunwayCentreLines(int set, bool departure) {
  const model::AirportProcedureSet& ps = navdb::procedure_state.AirportProcedureSets[set];
  const int index = ps.SelectedRunwayIndex;
  const navdb::State& db = navdb::navdb_state;
  if (index < 1 || index > ps.RunwayCount || index > db.AirportRunwayCount) return;
  const model::RunwayRecord* rwy = ps.Runways.At(index);
  const model::RunwayRecord* table = db.AirportRunwayTable.At(index);
  if (rwy == nullptr || table == nullptr) return;
  const MapPlace threshold = v_.Place(rwy->latitude, rwy->longitude);
  if (!threshold.ok || !(threshold.distance < kRunwayLineReach)) return;

  const double length = rwy->length * kFeetToNm;
  const double c = rwy->heading + FiniteOr(G().MagneticVariation);
  const GeoPoint t{table->latitude, table->longitude};
  const GeoPoint ahead = Along(t, c, 0.7 * length);
  const GeoPoint behind = Along(t, c - 180.0, 0.2 * length);
  const GeoPoint left = Along(t, c - 90.0, kRunwaySideOffset);
  const GeoPoint right = Along(t, c + 90.0, kRunwaySideOffset);
  if (!departure) GeoLine(runway_pen_, GeoPoint{rwy->latitude, rwy->longitude}, Along(t, c, length));
  GeoLine(runway_pen_, ahead, Along(ahead, c, kRunwayExtension));
  // The departure's reciprocal extension is yellow: the side the aircraft
  // must not take off towards.
  GeoLine(departure ? prev_pen_ : runway_pen_, behind, Along(behind, c - 180.0, kRunwayExtension));
  GeoLine(runway_pen_, left, Along(left, c, length));
  GeoLine(runway_pen_, right, Along(right, c, length));
}

void RouteLayer::PreviousWaypoint() {
  const int active = F().ActiveWaypointIndex;
  const model::FlightPlanWaypoint* to = F().ActiveFlightPlan.At(active);
  if (to == nullptr) return;
  GeoPoint from;
  std::string_view label;
  if (G().ActiveLegFromEngagePosition != 0) {
    from = GeoPoint{G().LegOriginLatitude, G().LegOriginLongitude};
    label = "DCT";
  } else {
    const model::FlightPlanWaypoint* before = F().ActiveFlightPlan.At(active - 1);
    if (before == nullptr) return;
    from = GeoPoint{before->latitude, before->longitude};
    label = before->ident;
  }
  const MapPlace p = v_.Place(from.latitude, from.longitude);
  const MapPlace q = v_.Place(to->latitude, to->longitude);
  if (!p.ok) return;
  Ident(label, yellow_, p);
  Star(p, display::kStyleDefault);
  if (q.ok) Line(prev_pen_, Grid(p), Grid(q));
}

void RouteLayer::Route() {
  const flightplan::State& fp = F();
  const double variation = FiniteOr(G().MagneticVariation);
  WalkRoute(v_, marks_, fp.ActiveFlightPlan, v_.plan ? 0 : fp.ActiveWaypointIndex, fp.ActiveFlightPlanLastIndex,
            [&](const RouteStop& s) {
              if (s.index == fp.ActiveWaypointIndex) {
                if (const auto leg = ActiveLeg(v_, s, variation)) Line(leg_pen_, leg->first, leg->second);
                Ident(s.wpt.ident, magenta_, s.place);
                Star(s.place, display::kStyleMagenta);
              } else {
                if (s.index > 0 && s.from) Line(leg_pen_, *s.from, s.here);
                Ident(s.wpt.ident, white_, s.place);
                Star(s.place, display::kStyleDefault);
              }
            });
}

// The top of climb and descent, placed from the aircraft on the fine grid,
// while the destination is far enough and the map is not the plan.
bool MarksShown(const B737NdFrame& f) { return G().DestinationDistance > kMarkerDestinationDistance && !f.Plan(); }
void DrawMarks(const B737NdFrame& f, const MapView& v) {
  v.UseFineGrid();
  const GeoPoint aircraft = AircraftPosition();
  display::DrawTodTocMarkers(f.g, f.radius, f.range, 0.0, 0.0, display::kDisplayB737, v.grid.gx, v.grid.gy,
                             aircraft.latitude, aircraft.longitude, FiniteOr(G().MapHeading));
}

void DrawHalfRangeRings(const MapView& v) {
  v.UsePlain();
  const gfx::Pen pen(colour::kWhite, static_cast<gfx::REAL>(kLineWidth));
  v.g->DrawArcI(pen, -54, -54, 108, 108, 180.0f, 180.0f);
  v.g->DrawArcI(pen, -108, -108, 217, 217, 180.0f, 180.0f);
  v.g->DrawArcI(pen, -162, -162, 325, 325, 180.0f, 180.0f);
}

}  // namespace

void DrawNdRoute(const B737NdFrame& f) {
  const MapView v = B737MapView(f);
  if (!v.Usable()) return;
  const model::State& m = model::model_state;
  const flightplan::State& fp = F();
  if (f.mode == 5 && m.NdRangeRingsShown == 1) DrawHalfRangeRings(v);
  v.SetMapScale();

  if (fp.ActiveWaypointIndex != model::kNoWaypoint) {
    RouteLayer layer(f, v);
    v.UseFineGrid();
    if (f.range >= kOriginMarkRange) {
      layer.OriginMark();
    } else {
      layer.RunwayCentreLines(1, true);
      layer.RunwayCentreLines(2, false);
    }
    v.UseFineGrid();
    if (m.DispPrevWpt == 1 && fp.ActiveWaypointIndex >= 1 && f.range >= kPreviousWaypointRange && !f.Plan())
      layer.PreviousWaypoint();
    layer.Route();
    if (MarksShown(f)) DrawMarks(f, v);
  }
  if (navdb::navdb_state.SelectedRunwayBase != -999 && !f.Plan()) {
    v.UseFineGrid();
    display::DrawApproachPattern(f.g, f.radius, 0, 0, f.range, v.grid.gx, v.grid.gy);
  }
}

}  // namespace ovi::nd
