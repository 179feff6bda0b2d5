// The map page (6) and the map layers of pages 3 to 6: the layer table at
// and beside each boundary, page 6's centre, grid and aircraft symbol, the
// navaid and airport members, FIX INFO and the hold. Distances are worked
// on the module's sphere, where a degree of latitude is 60 NM: a point d /
// 60 degrees north of another lies d NM away on course 360.
#include <cmath>
#include <string>

#include "src/display/labels.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/nav_pages.h"
#include "src/model/state.h"
#include "src/navdb/internal.h"
#include "src/navdb/state.h"
#include "tests/instruments/mfd/c17/c17_test_support.h"

namespace ovi::c17::test {
namespace {

constexpr gfx::ARGB kGreen = 0xFF00FA00, kWhite = 0xFFDEE6E9, kMagenta = 0xFFFF13D5, kSkyBlue = 0xFF18C2E7;

guidance::State& G() { return guidance::guidance_state; }
model::State& M() { return model::model_state; }
flightplan::State& F() { return flightplan::flightplan_state; }

class MapTest : public C17PageTest {
 public:
  void SetUp() override {
    C17PageTest::SetUp();
    // South and west of zero.
    G().PlaneLatitude = lat = -10.0;
    G().PlaneLongitude = lon = -20.0;
    M().C17MfdMapRange = 40;
    M().Proline4ShowVors = M().Proline4ShowNdbs = M().Proline4ShowAirports = 0;
    for (navdb::LatLon& c : navdb::navdb_state.NearListCenters) c = navdb::LatLon{lat, lon};
  }
  void Route(int points, int active) {
    for (int i = 0; i < points; ++i) {
      model::FlightPlanWaypoint& w = F().ActiveFlightPlan[i];
      w.ident = "WP" + std::to_string(i);
      w.latitude = lat + (i + 1) * 0.5;  // 30 NM apart, north
      w.longitude = lon;
    }
    F().ActiveFlightPlanLastIndex = points - 1;
    F().ActiveWaypointIndex = active;
  }
  void Draw(std::int32_t page) {
    DrawPage(page);
    ox = 122;
    oy = c17_state.C17MfdOriginY;
  }
  bool LayerOn(std::int32_t page, const char* name) {
    gfx::DeviceContext dc(492, 482);
    gfx::Graphics g(&dc);
    c17_state.C17MfdDisplay.width = 492;
    c17_state.C17MfdDisplay.height = 482;
    const MapLayerFrame frame = MakeMapLayerFrame(c17_state.C17MfdDisplay, g, page);
    for (const display::Layer<MapLayerFrame>& layer : C17MapLayerTable())
      if (std::string(layer.name) == name) return layer.condition(frame);
    ADD_FAILURE() << name;
    return false;
  }
  double lat = 0, lon = 0;
};

TEST_F(MapTest, LayerTableAtEachBoundary) {
  struct Case {
    const char* layer;
    std::int32_t page;
    void (*set)();
    bool on;
  } cases[] = {
      {"navaids", 3, [] { M().Proline4ShowVors = 1, M().C17MfdMapRange = 160; }, true},
      {"navaids", 6, [] { M().Proline4ShowNdbs = 1, M().C17MfdMapRange = 320; }, false},
      {"navaids", 4, [] { M().C17MfdMapRange = 160; }, false},
      {"airports", 5, [] { M().Proline4ShowAirports = 1, M().C17MfdMapRange = 160; }, true},
      {"airports", 5, [] { M().Proline4ShowAirports = 1, M().C17MfdMapRange = 160.0001; }, false},
      {"route", 3, [] { F().ActiveWaypointIndex = 0; }, true},
      {"route", 6, [] { F().ActiveWaypointIndex = 0, c17_state.C17ShowMapLayers = 0; }, false},
      {"route", 6, [] {}, false},
      {"approach pattern", 4, [] { navdb::navdb_state.SelectedRunwayBase = 1; }, true},
      {"approach pattern", 6, [] { navdb::navdb_state.SelectedRunwayBase = 1; }, false},
      {"approach pattern", 3, [] {}, false},
      {"fix info", 3, [] { F().FixInfoTable[2].ident = "SEA"; }, true},
      {"fix info", 3, [] {}, false},
      {"traffic", 6, [] { M().NdShowTraffic = 1; }, true},
      {"runways", 3, [] { navdb::navdb_state.AirportRunwayCount = 1, M().C17MfdMapRange = 2.5; }, true},
      {"runways", 3, [] { navdb::navdb_state.AirportRunwayCount = 1, M().C17MfdMapRange = 5; }, false},
      {"runways", 3, [] { M().C17MfdMapRange = 2.5; }, false},
      {"boundaries", 6, [] { M().ShowAtcBoundaries = 1; }, true},
      {"hold", 3, [] { F().HoldCount = 1, F().HoldTable[1].active_index = 1; }, true},
      {"hold", 3, [] { F().HoldCount = 1, F().HoldTable[1].active_index = 0; }, false},
  };
  for (const Case& c : cases) {
    SetUp();
    c.set();
    EXPECT_EQ(LayerOn(c.page, c.layer), c.on) << c.layer << " on page " << c.page;
  }
  // The altitude arc: each condition failing alone, -200 ft/min exactly.
  auto descending = [] {
    G().ApMaster = 1, G().ApAltitudeLock = 1, G().ApAltitudeLockVar = 5000, G().AircraftAltitude = 10000;
    G().VerticalSpeedFpm = -201;
  };
  void (*fail[])() = {[] {}, [] { G().ApMaster = 0; }, [] { G().ApAltitudeLock = 0; },
                      [] { G().ApAltitudeLockVar = 10000; }, [] { G().VerticalSpeedFpm = -200; }};
  for (int i = 0; i < 5; ++i) {
    descending();
    fail[i]();
    EXPECT_EQ(LayerOn(3, "altitude arc"), i == 0) << i;
  }
}

TEST_F(MapTest, AltitudeArcAheadByTheDescent) {
  G().ApMaster = 1, G().ApAltitudeLock = 1, G().ApAltitudeLockVar = 5000, G().AircraftAltitude = 10000;
  G().VerticalSpeedFpm = -1000, G().GroundSpeedKnots = 240;
  // 5 minutes at 4 NM a minute: 20 NM x 172 / 40 = 86 units ahead.
  Draw(3);
  const auto arcs = rec_.Find(gfx::OpKind::Arc);
  bool found = false;
  for (const gfx::RecordedOp* a : arcs)
    if (a->color == kGreen && a->start_angle == 220 && Near(a->points[2], At(0, -86 + 75))) found = true;
  EXPECT_TRUE(found);
}

TEST_F(MapTest, CentreByPlanStepActiveWaypointOrAircraft) {
  Route(4, 1);
  gfx::DeviceContext dc(492, 482);
  gfx::Graphics g(&dc);
  struct Case {
    int active, step;
    double north;  // NM north of the aircraft; -1: the aircraft
  } cases[] = {{1, 0, 30}, {1, 2, 90}, {1, 3, 120}, {1, 4, -1}, {1, -1, -1}, {999, 2, -1}};
  for (const Case& c : cases) {
    F().ActiveWaypointIndex = c.active;
    F().PlanStepIndex = c.step;
    const nd::MapView v = C17MapView(c17_state.C17MfdDisplay, g, 6);
    EXPECT_DOUBLE_EQ(v.reference.latitude, c.north < 0 ? lat : lat + c.north / 60.0) << c.step;
    EXPECT_EQ(v.rotation, 0.0);
    // Heading up about the aircraft on the compass pages, whatever the step.
    G().MapHeading = 30;
    const nd::MapView v3 = C17MapView(c17_state.C17MfdDisplay, g, 3);
    EXPECT_DOUBLE_EQ(v3.reference.latitude, lat);
    EXPECT_EQ(v3.rotation, 30.0);
    G().MapHeading = 0;
  }
}

TEST_F(MapTest, AircraftSymbolOffCentreAndLayersOff) {
  Route(3, 1);
  F().PlanStepIndex = 0;  // 30 NM north of the aircraft
  M().C17MfdMapRange = 80;  // 1.25 units per NM: the aircraft 37.5 below the origin
  G().AircraftHeading = 0;
  Draw(6);
  // The symbol's cross bar on the fine grid, within a device pixel.
  bool symbol = false;
  for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line))
    symbol = symbol || (l->color == kWhite && std::abs(l->pen_width - 2.0 * 974 / 246) < 1e-4 &&
                        Near(l->points[0], At(-7, 37.5), 1.0) && Near(l->points[1], At(7, 37.5), 1.0));
  EXPECT_TRUE(symbol);
  EXPECT_EQ(rec_.CountText("WP1"), 2);  // magenta, both layer passes (the first one clipped away)
  EXPECT_EQ(TextAt(65, -115), "80 NM");
  c17_state.C17ShowMapLayers = 0;
  Draw(6);
  EXPECT_EQ(rec_.CountText("WP1"), 0);
  EXPECT_EQ(TextAt(65, -115), "80 NM");
  Draw(3);  // the compass pages keep every layer but the route
  EXPECT_EQ(rec_.CountText("WP1"), 0);
}

// At 160 NM (0.625 units a NM) a degree of longitude at 46 N is 26 units,
// less than a label's width (about 33): from E178 (96 left of the centre)
// every other meridian keeps its label, the ones between would meet it;
// W173 (138 right) lies beyond the map area (122 each side). Parallels 45
// to 49 lie within it (89 below the centre to 61 above); 44 (126 below) and
// 50 (98 above) do not. Lines beyond the area get no label.
TEST_F(MapTest, GridAcross180AndNearAPole) {
  G().PlaneLatitude = 47.5;
  G().PlaneLongitude = -178.3;
  M().C17MfdMapRange = 160;
  EXPECT_EQ(C17GridFirstLongitude(-178.3), 177);
  Draw(6);
  for (const char* label : {"E178\xC2\xB0", "E180\xC2\xB0", "W178\xC2\xB0", "W176\xC2\xB0", "N45\xC2\xB0", "N49\xC2\xB0"})
    EXPECT_EQ(rec_.CountText(label), 1) << label;
  for (const char* label : {"E179\xC2\xB0", "W179\xC2\xB0", "W173\xC2\xB0", "W172\xC2\xB0", "N42\xC2\xB0",
                            "N44\xC2\xB0", "N50\xC2\xB0", "N51\xC2\xB0"})
    EXPECT_EQ(rec_.CountText(label), 0) << label;
  // lat0 + 10 would pass the pole: the rows stop at it.
  EXPECT_EQ(C17GridFirstLatitude(88.5), 80);
  EXPECT_EQ(C17GridFirstLatitude(-89.9), -90);
  EXPECT_EQ(C17GridFirstLatitude(-10.5), -15);
  G().PlaneLatitude = 88.5;
  Draw(6);
  EXPECT_EQ(rec_.CountText("N89\xC2\xB0"), 1);
  EXPECT_EQ(rec_.CountText("N90\xC2\xB0"), 0);
  char text[8];
  C17GridLatitudeLabel(-5, text);
  EXPECT_STREQ(text, "S05\xB0");
  C17GridLongitudeLabel(0, text);
  EXPECT_STREQ(text, "E00\xB0");
  M().C17MfdMapRange = 320;
  Draw(6);
  EXPECT_EQ(rec_.CountText("N89\xC2\xB0"), 0);
}

// Every grid label drawn lies wholly inside the map area (122 units either
// side of the origin, 90 above, 120 below), over ranges and places west and
// south of zero and across 180; labels never meet. A parallel whose label
// would hang below the area keeps it, moved up onto the bottom edge: N45 at
// 160 NM about 48.15 N lies 114 units below the centre.
TEST_F(MapTest, GridLabelsLieWhollyInsideTheMapArea) {
  struct Case {
    double lat, lon, range;
  } cases[] = {{47.5, -122.9, 10}, {47.5, -122.9, 40}, {47.5, -122.9, 80}, {47.5, -122.9, 160},
               {-33.9, 151.2, 40}, {-10.0, -20.0, 80},  {47.5, -178.3, 40}, {48.15, -178.3, 160}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lat << " " << c.lon << " " << c.range);
    G().PlaneLatitude = c.lat;
    G().PlaneLongitude = c.lon;
    M().C17MfdMapRange = c.range;
    Draw(6);
    const gfx::PointF top_left = At(-122, -90), bottom_right = At(122, 120);
    std::vector<gfx::RectF> labels;
    for (const gfx::RecordedOp& op : rec_.Ops()) {
      if (op.kind != gfx::OpKind::Text || op.text.find("\xC2\xB0") == std::string::npos || !op.visible) continue;
      const gfx::RectF& b = op.bounds;
      constexpr float e = 0.01f;  // the transform's rounding at an edge
      EXPECT_TRUE(b.X >= top_left.X - e && b.Y >= top_left.Y - e && b.X + b.Width <= bottom_right.X + e &&
                  b.Y + b.Height <= bottom_right.Y + e)
          << op.text << " at (" << b.X << ", " << b.Y << ") " << b.Width << " x " << b.Height;
      for (const gfx::RectF& other : labels) EXPECT_FALSE(display::BoxesMeet(b, other)) << op.text;
      labels.push_back(b);
    }
    EXPECT_FALSE(labels.empty());
  }
  gfx::Recorder::TextItem n45;
  ASSERT_TRUE(rec_.FindText("N45\xC2\xB0", &n45));
  EXPECT_NEAR(n45.y, At(0, 120).Y - 11.49 * 482 / 246, 0.5);  // a 10-unit line sized by the width's factor
}

// Navaids 2 x range + 50 NM out and airports 2 x range + 10 NM, placed by
// kind, labelled from their point 9 units a character to the left.
TEST_F(MapTest, NavaidsAndAirportsAtTheirMargins) {
  M().Proline4ShowVors = M().Proline4ShowAirports = 1;
  M().C17MfdMapRange = 10;  // page 3: 17.2 units per NM
  navdb::State& s = navdb::navdb_state;
  auto point = [&](const char* ident, const char* kind, double nm) {
    model::NavDbRecord r;
    r.ident = ident, r.kind = kind, r.latitude = lat + nm / 60.0, r.longitude = lon;
    return r;
  };
  s.MapNavaidCount = 4;
  s.MapNavaidList[1] = point("VOR", "V", 1);
  s.MapNavaidList[2] = point("NDBAB1234", "N", 2);
  s.MapNavaidList[3] = point("EDGE", "V", 70);
  s.MapNavaidList[4] = point("PAST", "V", 70.01);
  s.MapAirportCount = 3;
  s.MapAirportList[1] = point("KSEAXY", "APT", 4);  // its name clear of NDBAB1's
  s.MapAirportList[2] = point("AEDG", "APT", 30);
  s.MapAirportList[3] = point("APST", "APT", 30.01);
  Draw(3);
  // Drawn at the edge, left out past it (the clip aside: counted as drawn).
  EXPECT_EQ(rec_.CountText("EDGE"), 1);
  EXPECT_EQ(rec_.CountText("PAST"), 0);
  EXPECT_EQ(rec_.CountText("AEDG"), 1);
  EXPECT_EQ(rec_.CountText("APST"), 0);
  // Labels cut to 6 and 5 characters; placed by the whole ident's length.
  gfx::ARGB colour = 0;
  const double grid = 973.0 / 246.0, grid_y = 973.0 / 241.0;
  (void)grid;
  (void)grid_y;
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(rec_.FindText("VOR", &t));
  EXPECT_NEAR(t.x, At(-3 - 27, 0).X, 1.0);
  EXPECT_NEAR(t.y, At(0, -17.2 - 9).Y, 1.0);
  EXPECT_EQ(t.color, kGreen);
  ASSERT_TRUE(rec_.FindText("NDBAB1", &t));
  EXPECT_NEAR(t.x, At(-3 - 81, 0).X, 1.0);
  ASSERT_TRUE(rec_.FindText("KSEAX", &t));
  EXPECT_NEAR(t.x, At(-54, 0).X, 1.0);
  EXPECT_NEAR(t.y, At(0, -68.8 + 2).Y, 1.0);
  EXPECT_EQ(t.color, kSkyBlue);
  (void)colour;
  // A VOR's symbol is the 19-point chain, another navaid's not.
  int vortacs = 0;
  for (const gfx::RecordedOp* op : rec_.Find(gfx::OpKind::Lines)) vortacs += op->points.size() == 19;
  EXPECT_EQ(vortacs, 2);
}

TEST_F(MapTest, NearListsKeptAboutTheAircraftAt50And200Nm) {
  M().Proline4ShowVors = 1;
  navdb::State& s = navdb::navdb_state;
  auto centre = [&](int slot) -> navdb::LatLon& { return s.NearListCenters[static_cast<std::size_t>(slot)]; };
  // The map list's centre just inside 50 NM off: kept; just past it: rebuilt about the
  // aircraft. The near list the same at 200 NM.
  centre(navdb::kMapNavaidsCenter) = navdb::LatLon{lat + 49.99 / 60.0, lon};
  Draw(3);
  EXPECT_DOUBLE_EQ(centre(navdb::kMapNavaidsCenter).latitude, lat + 49.99 / 60.0);
  centre(navdb::kMapNavaidsCenter) = navdb::LatLon{lat + 50.01 / 60.0, lon};
  centre(navdb::kNearNavaidsCenter) = navdb::LatLon{lat - 199.99 / 60.0, lon};
  Draw(3);
  EXPECT_DOUBLE_EQ(centre(navdb::kMapNavaidsCenter).latitude, lat);
  EXPECT_DOUBLE_EQ(centre(navdb::kNearNavaidsCenter).latitude, lat - 199.99 / 60.0);
  centre(navdb::kNearNavaidsCenter) = navdb::LatLon{lat - 200.01 / 60.0, lon};
  Draw(3);
  EXPECT_DOUBLE_EQ(centre(navdb::kNearNavaidsCenter).latitude, lat);
  // A plan-step centre far from the aircraft rebuilds nothing frame after
  // frame: the lists stay about the aircraft.
  Route(12, 1);
  F().PlanStepIndex = 11;  // 360 NM north
  Draw(6);
  EXPECT_DOUBLE_EQ(centre(navdb::kNearNavaidsCenter).latitude, lat);
}

class FixInfoTest : public MapTest {
 public:
  void Fix(int n, const char* kind, double nm_north, double radial, double distance) {
    model::FixInfoRecord& f = F().FixInfoTable[n];
    f.ident = "FIX" + std::to_string(n);
    f.kind = kind;
    f.latitude = lat + nm_north / 60.0;
    f.longitude = lon;
    f.rows[0] = {radial, distance};
  }
  // Dashed green radial lines, by where they end.
  bool RadialTo(double x, double y) const {
    for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line))
      if (l->color == kGreen && l->dash == gfx::DashStyle::Dash && Near(l->points[1], At(x, y), 1.0)) return true;
    return false;
  }
};

TEST_F(FixInfoTest, RadialsRingsAndLabels) {
  M().C17MfdMapRange = 40;  // page 3: 4.3 units per NM
  G().AircraftHeading = G().MapHeading = 0;
  struct Case {
    double radial;
    double heading;
    double end_x, end_y;  // the radial's far end from the fix (10 NM north: y -43)
    const char* label;
  } cases[] = {
      {90, 0, 1548, -43, "090"},     // right of the reference: toward +x
      {270, 0, -1548, -43, "270"},   // (R - H) mod 360 from 180 on: the other side
      {360, 0, 0, -43 - 1548, "000"},
      {180, 0, 0, -43 + 1548, "180"},  // exactly 180: drawn from the left branch
      {10, 350, 0, 0, "010"},        // across north: 20 degrees right of the heading
  };
  for (const Case& c : cases) {
    G().AircraftHeading = G().MapHeading = c.heading;
    Fix(1, "V", 10, c.radial, 0);
    Draw(3);
    // One row with a radial (the readout shows "000" as well at heading 0).
    EXPECT_EQ(rec_.CountText(c.label), std::string(c.label) == "000" ? 2 : 1) << c.radial;
    if (c.heading == 0) {
      EXPECT_TRUE(RadialTo(c.end_x, c.end_y)) << c.radial;
    }
    // A row without a distance draws its ring of no size and "0.0", the
    // label once for the three rows that write it at one place.
    EXPECT_EQ(rec_.CountText("0.0"), 1);
  }
  // A radial of 0 draws no line or label.
  G().AircraftHeading = G().MapHeading = 0;
  Fix(1, "N", 10, 0, 5);
  Draw(3);
  EXPECT_EQ(rec_.CountText("000"), 1);  // the heading readout's
  EXPECT_EQ(rec_.CountText("5.0"), 1);
  // The ring's label under a ring wholly above the reference, right of one
  // reaching down: 10 NM north with 5 NM (21 units) is above (y + a = -22).
  EXPECT_EQ(TextAt(0 - 6, -43 + 21 + 1), "5.0");
}

TEST_F(FixInfoTest, Beyond380NmNothingAndOnTheMapsCentre) {
  M().C17MfdMapRange = 320;
  Fix(1, "V", 380, 90, 20);
  Fix(2, "V", 380.1, 90, 20);
  F().FixInfoTable[1].ident = "NEAR";
  F().FixInfoTable[2].ident = "FAR";
  Draw(3);
  EXPECT_EQ(rec_.CountText("20.0"), 1);
  // On page 6 about a step waypoint 30 NM north, the fix 10 NM north of
  // the aircraft is 20 NM south of the centre (100 / 80 units per NM;
  // placed in whole units, truncated).
  M().C17MfdMapRange = 80;
  Route(2, 0);
  F().PlanStepIndex = 0;
  F().FixInfoTable[2].ident.clear();
  Fix(1, "X", 10, 0, 0);
  Draw(6);
  bool circle = false;
  for (const gfx::RecordedOp* e : rec_.Find(gfx::OpKind::Ellipse))
    if (e->color == kGreen && e->dash == gfx::DashStyle::Solid && Near(e->points[0], At(0, 25), 2.1)) circle = true;
  EXPECT_TRUE(circle);
}

TEST_F(FixInfoTest, RacetrackBothSides) {
  G().AircraftHeading = G().MapHeading = 0;
  Route(2, 1);
  model::HoldingPattern& h = F().HoldTable[1];
  F().HoldCount = 1;
  h.active_index = 1;
  h.corners[0].latitude = lat + 10.0 / 60.0;
  h.corners[0].longitude = lon;
  h.leg_length = 4;  // page 3 at 40 NM: 17.2 units
  h.inbound_course = 0;
  for (int side : {1, 2, 0}) {
    h.turn_side = side;
    Draw(3);
    const double s = side == 1 ? 1 : -1;
    bool outbound = false;
    for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line))
      if (l->color == kMagenta && std::abs(l->points[0].X - At(s * 8.6, 0).X) < 1.0 &&
          std::abs(l->points[0].Y - At(0, -43 - 3.44).Y) < 1.0)
        outbound = true;
    EXPECT_TRUE(outbound) << side;
  }
}

}  // namespace
}  // namespace ovi::c17::test
