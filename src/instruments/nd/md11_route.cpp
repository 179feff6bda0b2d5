// The active route on the MD-11 map: every entry from the first, the active
// waypoint in magenta, the selected runways' lines at short range, the
// runway numbers beside the first and last entries, the station tuned on
// the first radio, and the shared markers, approach pattern and hold. The
// route is walked by the same WalkRoute and marked by the same RouteMarks
// as the B737's, with the MD-11's labels.
#include <cmath>
#include <string>
#include <string_view>

#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/route_marks.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/state.h"

namespace ovi::nd {

namespace {

constexpr double kLineWidth = 2.0;           // canvas units: every pen of the layer
constexpr double kRunwayRange = 80.0;        // NM: runway lines only below
constexpr double kRunwayLineReach = 100.0;   // NM from the reference to a threshold
constexpr double kRunwayExtension = 18.0;    // NM
constexpr double kRunwaySideOffset = 0.5;    // NM beside the threshold
constexpr double kFeetToNm = 0.0001893939393939394;  // feet / 5280: statute miles, taken as NM
constexpr double kTunedStationMatchNm = 20.0;
constexpr std::size_t kTunedIdentChars = 19;

const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& F() { return flightplan::flightplan_state; }

// One line of a selected runway: it starts `offset` from the threshold T
// (of AirportRunwayTable) along c + `offset_turn`, or at the procedure
// set's own threshold, and runs `length` along c + `run_turn`. Lengths are
// NM plus a multiple of the runway's length L.
struct RunwayLine {
  bool departure;
  bool from_record_threshold;
  double offset_turn, offset_nm, offset_l;
  double run_turn, run_nm, run_l;
  bool blue;  // extended centre line; else white
};
constexpr RunwayLine kRunwayLines[] = {
    {true, false, 0.0, 0.0, 0.7, 0.0, kRunwayExtension, 0.0, true},
    {true, false, -90.0, kRunwaySideOffset, 0.0, 0.0, 0.0, 1.0, false},
    {true, false, 90.0, kRunwaySideOffset, 0.0, 0.0, 0.0, 1.0, false},
    {false, true, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, false},
    {false, false, -180.0, 0.0, 0.2, -180.0, kRunwayExtension, 0.0, true},
    {false, false, -90.0, kRunwaySideOffset, 0.0, 0.0, 0.0, 1.0, false},
    {false, false, 90.0, kRunwaySideOffset, 0.0, 0.0, 0.0, 1.0, false},
};

// The selected runway of a procedure set (1 departure, 2 arrival) and its
// start in AirportRunwayTable, only for an index within both tables.
struct SelectedRunway {
  const model::RunwayRecord* record = nullptr;
  const model::RunwayRecord* table = nullptr;
};
SelectedRunway Selected(int set) {
  const model::AirportProcedureSet& ps = navdb::procedure_state.AirportProcedureSets[set];
  const int index = ps.SelectedRunwayIndex;
  SelectedRunway r;
  if (index < 1 || index > ps.RunwayCount) return r;
  r.record = ps.Runways.At(index);
  if (index <= navdb::navdb_state.AirportRunwayCount) r.table = navdb::navdb_state.AirportRunwayTable.At(index);
  return r;
}

struct TunedStation {
  bool received = false;
  std::string ident;
};
TunedStation ReadTuned() {
  TunedStation t;
  t.received = host::GetNav1Signal() > 0.0 && host::IsNav1Localizer() == 0;
  if (t.received) t.ident = host::ReadNav1StationIdent();
  return t;
}

// While a modification is pending the active route is drawn again over
// itself.
bool SecondPassDrawn() { return F().RouteState == 4 && F().ActiveFlightPlanLastIndex >= 0; }

class Md11RouteLayer {
 public:
  Md11RouteLayer(const MapView& v, gfx::Graphics& g)
      : v_(v),
        g_(g),
        marks_(v, kMd11RouteLabels),
        white_(colour::kWhite),
        magenta_(colour::kMagenta),
        blue_(colour::kBlue),
        leg_pen_(colour::kMagenta, Width()),
        dashed_pen_(colour::kMagenta, Width()),
        white_pen_(colour::kWhite, Width()),
        blue_pen_(colour::kBlue, Width()),
        tuned_(ReadTuned()) {
    dashed_pen_.SetDashStyle(gfx::DashStyle::Dash);
  }

  void RunwayLines();
  void Route();
  void SecondPass();
  void Station();

 private:
  gfx::REAL Width() const { return static_cast<gfx::REAL>(v_.FineWidth(kLineWidth)); }
  gfx::Point Grid(const MapPlace& p) const { return marks_.Grid(p); }
  void Line(const gfx::Pen& pen, const gfx::Point& a, const gfx::Point& b) { g_.DrawLineI(pen, a.X, a.Y, b.X, b.Y); }
  // Runway ends take one mean factor for both axes, as the display has
  // always placed them (the rest of the layer scales x by gx and y by gy).
  bool MeanPoint(const GeoPoint& at, gfx::Point& out) const {
    const MapPlace p = v_.Place(at.latitude, at.longitude);
    if (!p.ok) return false;
    const double mean = (v_.grid.gx + v_.grid.gy) / 2.0;
    out = gfx::Point(gfx::TruncToPixel(p.x * mean), gfx::TruncToPixel(p.y * mean));
    return true;
  }
  bool TunedHere(const model::FlightPlanWaypoint& wpt, const MapPlace& p) const {
    return tuned_.received && wpt.ident == tuned_.ident &&
           std::fabs(p.distance - FiniteOr(G().Nav1DmeDistance)) < kTunedStationMatchNm;
  }

  const MapView& v_;
  gfx::Graphics& g_;
  RouteMarks marks_;
  gfx::SolidBrush white_, magenta_, blue_;
  gfx::Pen leg_pen_, dashed_pen_, white_pen_, blue_pen_;
  TunedStation tuned_;
};

void Md11RouteLayer::RunwayLines() {
  const double variation = FiniteOr(G().MagneticVariation);
  for (int set : {1, 2}) {
    const SelectedRunway rwy = Selected(set);
    if (rwy.record == nullptr || rwy.table == nullptr) continue;
    const MapPlace threshold = v_.Place(rwy.record->latitude, rwy.record->longitude);
    if (!threshold.ok || !(threshold.distance < kRunwayLineReach)) continue;
    const double length = rwy.record->length * kFeetToNm;
    const double c = rwy.record->heading + variation;
    const GeoPoint t{rwy.table->latitude, rwy.table->longitude};
    for (const RunwayLine& line : kRunwayLines) {
      if (line.departure != (set == 1)) continue;
      GeoPoint from = Along(t, c + line.offset_turn, line.offset_nm + line.offset_l * length);
      const GeoPoint to = Along(from, c + line.run_turn, line.run_nm + line.run_l * length);
      if (line.from_record_threshold) from = GeoPoint{rwy.record->latitude, rwy.record->longitude};
      gfx::Point a, b;
      if (MeanPoint(from, a) && MeanPoint(to, b)) Line(line.blue ? blue_pen_ : white_pen_, a, b);
    }
  }
}

void Md11RouteLayer::Route() {
  const flightplan::State& fp = F();
  const double variation = FiniteOr(G().MagneticVariation);
  const SelectedRunway departure = Selected(1), arrival = Selected(2);
  // The second pass writes every ident white at the same places: written
  // here as well they would stand twice.
  const bool idents = !SecondPassDrawn();
  WalkRoute(v_, marks_, fp.ActiveFlightPlan, 0, fp.ActiveFlightPlanLastIndex, [&](const RouteStop& s) {
    if (s.index == fp.ActiveWaypointIndex) {
      if (const auto leg = ActiveLeg(v_, s, variation)) Line(leg_pen_, leg->first, leg->second);
      if (!TunedHere(s.wpt, s.place)) {
        if (idents) marks_.Ident(s.wpt.ident, magenta_, s.place);
        marks_.Star(s.place, display::kStyleMagenta, v_.range);
      }
    } else {
      if (s.index > 0 && s.from) Line(leg_pen_, *s.from, s.here);
      if (idents) marks_.Ident(s.wpt.ident, white_, s.place);
      marks_.Star(s.place, display::kStyleDefault, v_.range);
    }
    if (s.index == 0 && departure.record != nullptr)
      marks_.Label(departure.record->number_text, white_, s.place, 7.0, 17.0, kScreenTextChars);
    if (s.index == fp.ActiveFlightPlanLastIndex && arrival.record != nullptr)
      marks_.Label(arrival.record->number_text, white_, s.place, 7.0, 17.0, kScreenTextChars);
  });
}

// While a modification is pending the active route is drawn again, dashed,
// with every mark white.
void Md11RouteLayer::SecondPass() {
  const flightplan::State& fp = F();
  WalkRoute(v_, marks_, fp.ActiveFlightPlan, 0, fp.ActiveFlightPlanLastIndex, [&](const RouteStop& s) {
    if (s.index > 0 && s.from) Line(dashed_pen_, *s.from, s.here);
    marks_.Ident(s.wpt.ident, white_, s.place);
    marks_.Star(s.place, display::kStyleDefault, v_.range);
  });
}

void Md11RouteLayer::Station() {
  if (!tuned_.received) return;
  const guidance::State& s = G();
  double bearing = std::fmod(FiniteOr(s.AircraftHeading) + FiniteOr(s.HeadingOffsetToken550), 360.0);
  if (bearing < 0.0) bearing += 360.0;
  const double course = bearing + FiniteOr(s.MagneticVariation);
  const double dme = FiniteOr(s.Nav1DmeDistance);
  MapPlace p;
  if (v_.plan) {
    const GeoPoint aircraft = AircraftPosition();
    const GeoPoint station = Along(aircraft, course, dme);
    p = v_.Place(station.latitude, station.longitude);
  } else {
    const double r = dme * v_.pixels_per_nm;
    const double a = (course - v_.rotation) * M_PI / 180.0;
    p.x = r * std::sin(a);
    p.y = -r * std::cos(a);
    p.ok = std::isfinite(p.x) && std::isfinite(p.y);
  }
  if (!p.ok) return;
  display::DrawMapSymbol(g_, v_.X(p.x - 2.0), v_.Y(p.y - 4.0), display::kSymbolVortac, -99, v_.grid.gx, v_.grid.gy,
                         display::kStyleBlue, v_.range);
  // Placed by its DME distance, the station may stand a little off the
  // navaid's own place: the same ident that near is the same station.
  marks_.Label(tuned_.ident, blue_, p, 8.0, -7.0, kTunedIdentChars, kTunedStationMatchNm * v_.pixels_per_nm);
  g_.DrawEllipseI(leg_pen_, v_.X(p.x - 8.0), v_.Y(p.y - 8.0), gfx::TruncToPixel(v_.FineX(16.0)),
                  gfx::TruncToPixel(v_.FineY(16.0)));
}

}  // namespace

void DrawMd11NdRoute(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const MapView v = Md11MapView(display, g);
  if (!v.Usable()) return;
  const flightplan::State& fp = F();
  v.UseFineGrid();
  display::DrawTodTocMarkers(g, v.radius, v.range, 0.0, 0.0, display::kDisplayMd11, v.grid.gx, v.grid.gy,
                             v.reference.latitude, v.reference.longitude, v.rotation);
  // The markers set their own scale: every projection below starts again
  // from this layer's.
  v.SetMapScale();
  Md11RouteLayer layer(v, g);
  if (fp.ActiveWaypointIndex != model::kNoWaypoint) {
    v.UseFineGrid();
    if (v.range < kRunwayRange) layer.RunwayLines();
    v.UseFineGrid();
    layer.Route();
    if (SecondPassDrawn()) layer.SecondPass();
  }
  v.SetMapScale();
  layer.Station();
  v.UseFineGrid();
  if (navdb::navdb_state.SelectedRunwayBase != -999 && !v.plan)
    display::DrawApproachPattern(g, v.radius, 0, 0, v.range, v.grid.gx, v.grid.gy);
  v.SetMapScale();
  v.UseFineGrid();
  if (fp.HoldTable[1].active_index >= 1)
    DrawMd11NdHoldingPattern(display, g, v.radius, 0, 0, v.range, v.grid.gx, v.grid.gy);
}

}  // namespace ovi::nd
