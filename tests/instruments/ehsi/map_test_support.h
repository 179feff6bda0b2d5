// Fixture of the EHSI map tests: the three maps drawn on recording surfaces,
// an aircraft south and west of zero, hand-built routes and map lists.
// Places are worked on the module's sphere, where one degree of latitude is
// 60 NM: a point d / 60 degrees north of the aircraft lies d NM away on
// course 360, d x radius / range canvas units above the map centre on a map
// turned by MapHeading 0.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "src/flightplan/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/state.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {

enum Which { kDu1000, kProline4, kMd80 };

struct MapGeometry {
  double canvas_w, canvas_h;
  int surface_w, surface_h;  // design size
  double centre_x, centre_y;  // heading-up map
  double units_per_nm;        // at the fixture's ranges
};
// DU-1000 at 60 NM (234 / 60), Pro Line 4 at 40 NM (140 / 40), MD-80 at 20
// NM (180 / 20).
inline constexpr MapGeometry kGeometry[] = {{318, 310, 318, 311, 159, 272, 3.9},
                                            {247, 285, 247, 285, 123, 220, 3.5},
                                            {266, 232, 318, 311, 133, 204, 9.0}};

class EhsiMapTest : public Du1000Test {
 public:
  void SetUp() override {
    Du1000Test::SetUp();
    G().DisplayPower = 1;
    G().PlaneLatitude = kLat;
    G().PlaneLongitude = kLon;
    G().MapHeading = G().AircraftHeading = 0.0;
    M().DU1000EHSIMode = M().PROLINE4MFDMode = M().MD80EHSIMode = 3;
    M().Du1000EhsiRange = 60.0;
    M().Proline4MapRange = 40.0;
    M().Proline4MapRadius = 140;
    M().Md80EhsiMapRange = 20.0;
    M().Du1000ShowNavaids = M().Du1000ShowAirports = M().Proline4ShowVors = M().Proline4ShowAirports = 0;
    M().Md80EhsiShowNavaids = M().Md80EhsiShowAirports = 0;
    for (navdb::LatLon& c : Nav().NearListCenters) c = navdb::LatLon{kLat, kLon};
  }
  static constexpr double kLat = -10.0, kLon = -20.0;
  static navdb::State& Nav() { return navdb::navdb_state; }
  static flightplan::State& Plan() { return flightplan::flightplan_state; }
  static double North(double nm) { return kLat + nm / 60.0; }

  // A recording surface of `which`'s design size (or another) and its
  // display object.
  gfx::Graphics& Surface(Which which, int width = 0, int height = 0) {
    const MapGeometry& m = kGeometry[which];
    g.reset();
    dc = std::make_unique<gfx::DeviceContext>(width > 0 ? width : m.surface_w, height > 0 ? height : m.surface_h);
    rec.Clear();
    dc->recorder = &rec;
    sx = dc->width / m.canvas_w;
    sy = dc->height / m.canvas_h;
    display.width = dc->width;
    display.height = dc->height;
    g = std::make_unique<gfx::Graphics>(dc.get());
    geometry = &m;
    return *g;
  }
  EhsiMap Map(Which which, int variant = 1) {
    switch (which) {
      case kDu1000: return Du1000Map(display, *g, variant);
      case kProline4: return Proline4Map(display, *g, variant);
      default: return Md80Map(display, *g, variant);
    }
  }
  // The device point of a canvas offset from the map centre (or from a
  // centre given).
  gfx::PointF Canvas(double dx, double dy) const { return At(dx, dy, geometry->centre_x, geometry->centre_y); }
  // One record in the map list of its kind, the lists counted as built
  // about the aircraft.
  static void OnlyPoint(navdb::NearKind kind, const std::string& ident, const std::string& record_kind,
                        double lat, double lon = kLon) {
    model::NavDbRecord r;
    r.ident = ident;
    r.kind = record_kind;
    r.latitude = lat;
    r.longitude = lon;
    navdb::State& s = Nav();
    s.MapAirportCount = s.MapNavaidCount = s.MapAirwayPointCount = 0;
    switch (kind) {
      case navdb::NearKind::kAirports: s.MapAirportList[s.MapAirportCount = 1] = r; break;
      case navdb::NearKind::kNavaids: s.MapNavaidList[s.MapNavaidCount = 1] = r; break;
      case navdb::NearKind::kAirwayPoints: s.MapAirwayPointList[s.MapAirwayPointCount = 1] = r; break;
    }
  }
  // Route entry i; the last index follows the highest entry set.
  static model::FlightPlanWaypoint& Entry(int i, const std::string& ident, double lat, double lon = kLon,
                                          const std::string& type = "WPT") {
    model::FlightPlanWaypoint& w = Plan().ActiveFlightPlan[i];
    w.ident = ident;
    w.latitude = lat;
    w.longitude = lon;
    w.type = type;
    if (Plan().ActiveFlightPlanLastIndex < i) Plan().ActiveFlightPlanLastIndex = i;
    return w;
  }
  static bool Near(gfx::PointF a, gfx::PointF b, double tolerance) {
    return std::fabs(a.X - b.X) <= tolerance && std::fabs(a.Y - b.Y) <= tolerance;
  }
  // Texts drawn with `text`.
  std::vector<gfx::Recorder::TextItem> TextsOf(const std::string& text) const {
    std::vector<gfx::Recorder::TextItem> out;
    for (const auto& t : rec.Texts())
      if (t.text == text) out.push_back(t);
    return out;
  }

  display::GaugeDisplay display;
  std::unique_ptr<gfx::Graphics> g;
  const MapGeometry* geometry = &kGeometry[0];
};

}  // namespace ovi::ehsi::test
