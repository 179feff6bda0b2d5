// The map layers: nearby navaids and airports, their lists' upkeep, the
// hold, the bottom-of-descent arc, the FIX INFO fixes and the traffic
// window. Arc format at 12.5 NM: 4.24 units a NM about (134, 148).
#include "src/display/map_symbols.h"
#include "tests/instruments/mfd/p1000/p1000_test_support.h"

namespace ovi::p1000::test {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

constexpr double kPerNm = 53.0 / 12.5;

class LayersTest : public P1000Test {
 public:
  // One record in the map list of its kind, the lists counted as built
  // about `centre_nm` north of the aircraft.
  void OnlyPoint(bool airport, const std::string& ident, const std::string& kind, double nm_north,
                 double centre_nm = 0.0) {
    navdb::State& s = navdb::navdb_state;
    model::NavDbRecord r;
    r.ident = ident;
    r.kind = kind;
    r.latitude = North(nm_north);
    r.longitude = Lon();
    s.MapAirportCount = s.MapNavaidCount = 0;
    if (airport)
      s.MapAirportList[s.MapAirportCount = 1] = r;
    else
      s.MapNavaidList[s.MapNavaidCount = 1] = r;
    for (navdb::LatLon& c : s.NearListCenters) c = navdb::LatLon{North(centre_nm), Lon()};
    model().P1000ShowAirports = airport;
    model().P1000ShowNavaids = !airport;
  }
  std::size_t Outlines(std::size_t points, gfx::ARGB c) const {
    std::size_t n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Lines, c)) n += op->points.size() == points;
    return n;
  }
};

TEST_F(LayersTest, NavaidsAndAirportsWithinTheirMarginsByKind) {
  struct Case {
    bool airport;
    double nm;
    bool drawn;
  };
  // Twice the range and 10 NM for airports, 50 NM for navaids.
  for (const Case& c : {Case{true, 35.0, true}, {true, 35.1, false}, {false, 75.0, true}, {false, 75.1, false}}) {
    OnlyPoint(c.airport, "X", "V", c.nm);
    Draw();
    EXPECT_EQ(rec.CountText("X"), c.drawn ? 1 : 0) << c.airport << " " << c.nm;
  }
  // A VOR-type navaid is symbol 1 (its 19-point outline), any other kind 2.
  for (const auto& [kind, points] : {std::pair{"V", 19u}, {"N", 7u}}) {
    OnlyPoint(false, "LONGIDENT1", kind, 10.0);
    Draw();
    EXPECT_EQ(Outlines(points, colour::kGreen), 1u) << kind;
    ExpectNear(Text("LONGIDENT1").x, Text("LONGIDENT1").y, 134 + 7, 148 - 10 * kPerNm - 10);
  }
  // The airport's ring hangs below and right of its point; five letters.
  OnlyPoint(true, "KABCD1", "A", 10.0);
  Draw();
  const auto rings = Ops(OpKind::Ellipse, colour::kBlue);
  ASSERT_EQ(rings.size(), 1u);
  ExpectNear(rings[0]->points[0].X, rings[0]->points[0].Y, 134 + 5, 148 - 10 * kPerNm + 5);
  ExpectNear(Text("KABCD").x, Text("KABCD").y, 134 + 2, 148 - 10 * kPerNm - 15);
}

TEST_F(LayersTest, ListsKeptAboutTheAircraftAt50And200Nm) {
  const navdb::State& s = navdb::navdb_state;
  struct Case {
    double centre_nm;  // where the lists were built
    bool map_rebuilt, near_rebuilt;
  };
  for (const Case& c : {Case{49.9, false, false}, {50.1, true, false}, {199.9, true, false}, {200.1, true, true}}) {
    OnlyPoint(false, "X", "V", 10.0, c.centre_nm);
    Draw();
    EXPECT_EQ(s.NearListCenters[navdb::kMapNavaidsCenter].latitude == North(0.0), c.map_rebuilt) << c.centre_nm;
    EXPECT_EQ(s.NearListCenters[navdb::kNearNavaidsCenter].latitude == North(0.0), c.near_rebuilt) << c.centre_nm;
  }
  // Centred on an active waypoint 300 NM north: still about the aircraft,
  // so a far centre rebuilds nothing.
  Waypoint(0, "FAR", 300.0);
  plan().ActiveWaypointIndex = 0;
  model().P1000MapFormat = kCentredFormat;
  OnlyPoint(false, "X", "V", 295.0);
  Draw();
  EXPECT_EQ(s.NearListCenters[navdb::kMapNavaidsCenter].latitude, North(0.0));
  // 5 NM south of FAR at the centre (134, 116): 6 units a NM.
  ExpectNear(Text("X").x, Text("X").y, 134 + 7, 116 + 30 - 10);
}

TEST_F(LayersTest, HoldRacetrackOnItsSideAndTheDescentArc) {
  flightplan::State& f = plan();
  f.HoldCount = 1;
  model::HoldingPattern& h = f.HoldTable[1];
  h.active_index = 1;
  h.corners[0].latitude = North(5.0);
  h.corners[0].longitude = Lon();
  h.leg_length = 8.0;  // L = 33.92 units
  h.inbound_course = 360.0;
  const double fix_y = 148 - 5 * kPerNm;
  for (const auto& [side, x] : {std::pair{1, 134 + 16}, {2, 134 - 16}}) {
    h.turn_side = side;
    Draw();
    const auto legs = Ops(OpKind::Line, colour::kLightGreen);
    ASSERT_EQ(legs.size(), 3u);
    ExpectNear(legs[1]->points[0].X, legs[1]->points[0].Y, x, fix_y - 6);  // from -0.2 L
    ExpectNear(legs[1]->points[1].X, legs[1]->points[1].Y, x, fix_y + 27);  // to 0.8 L
    // The turn beyond the fix's leg starts at 0.66 L on either side.
    const auto turns = Ops(OpKind::Arc, colour::kLightGreen);
    ASSERT_EQ(turns.size(), 2u);
    EXPECT_NEAR(turns[1]->points[2].Y, fix_y + 22 + 4, 0.6) << side;
  }
  // 4000 ft to descend at 1500 ft/min and 300 kt: 13.33 NM, the arc's apex
  // 56 units ahead.
  f.HoldCount = 0;
  model().DrawBodArcOnP1000MFD = 1;
  guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
  guidance().AircraftAltitude = 14000.0;
  guidance().ApAltitudeLockVar = 10000.0;
  guidance().VerticalSpeedFpm = -1500.0;
  guidance().GroundSpeedKnots = 300.0;
  Draw();
  const auto arcs = Ops(OpKind::Arc, colour::kLightGreen);
  ASSERT_EQ(arcs.size(), 1u);
  ExpectNear(arcs[0]->points[2].X, arcs[0]->points[2].Y, 134 - 53 + 52.5, 148 - 56 + 52.5);
}

TEST_F(LayersTest, FixInfoLabelsRadialsAndLimits) {
  model::FixInfoRecord& fix = plan().FixInfoTable[1];
  fix.ident = "FIX";
  auto place = [&](double nm_north, double nm_east) {
    fix.latitude = North(nm_north);
    fix.longitude = Lon() + nm_east / 60.0 / std::cos(fix.latitude * M_PI / 180.0);
  };
  struct Ring {
    double north, east, distance;
    const char* label;
    double x, y;  // the label's corner from the map centre
  };
  // F = (0, -42); a 5 NM ring (r 21) lies wholly above the centre: label
  // below it; 12 NM (r 50): right of it; 30 NM east (F.x 127) with 1 NM:
  // above it; with 60 NM (r 254): left of it.
  for (const Ring& r : {Ring{10, 0, 5, "5.0", -6, -20}, {10, 0, 12, "12.0", 53, -49},
                        {0, 30, 1, "1.0", 127 - 6, -4 - 9}, {0, 30, 60, "60.0", 127 - 254 - 18, -7}}) {
    place(r.north, r.east);
    fix.rows[0] = {0.0, r.distance};
    Draw();
    ExpectNear(Text(r.label).x, Text(r.label).y, 134 + r.x, 148 + r.y, 1.0);
  }
  // Radials: 090 to the right of the fix, 270 to its left, 360 shown 000
  // and drawn north; a row without a distance draws nothing at all.
  place(10, 0);
  fix.rows[0] = {90.0, 5.0};
  fix.rows[1] = {270.0, 5.0};
  fix.rows[2] = {360.0, 5.0};
  Draw();
  ExpectNear(Text("090").x, Text("090").y, 134 + 25, 106);
  ExpectNear(Text("270").x, Text("270").y, 134 - 35, 106);
  EXPECT_EQ(rec.CountText("000"), 2);  // and the selected altitude
  EXPECT_EQ(Outlines(4, display::kMapGrey), 3u);  // the fix's triangle, once a row
  fix.rows[1].distance = 0.0;
  Draw();
  EXPECT_FALSE(rec.FindText("270"));
  EXPECT_EQ(Outlines(4, display::kMapGrey), 2u);
  // A navaid fix is the green symbol 1; beyond 380 NM nothing is drawn.
  fix.kind = "V";
  model().P1000MapRange = 160.0;
  for (const auto& [nm, drawn] : {std::pair{379.999, true}, {380.001, false}}) {
    place(nm, 0);
    Draw();
    EXPECT_EQ(Outlines(19, colour::kGreen), drawn ? 2u : 0u) << nm;
  }
}

TEST_F(LayersTest, TrafficWindowOnlyWhileTrafficIsShownInIt) {
  model().P1000MFDBkgrdColorRed = 1;
  const gfx::ARGB background = 0xFF010000;
  model().NdShowTraffic = 1;
  model().DrawTcasWindowOnP1000MFD = 0;
  Draw();
  EXPECT_EQ(rec.CountText("TCAS"), 1);  // the soft key's legend only
  const std::size_t fills = Ops(OpKind::Rectangle, background, 1).size();
  model().DrawTcasWindowOnP1000MFD = 1;
  Draw();
  ASSERT_EQ(rec.CountText("TCAS"), 2);
  const gfx::Recorder::TextItem title = rec.Texts().back();  // drawn last, after the window's range
  EXPECT_EQ(title.text, "TCAS");
  ExpectNear(title.x, title.y, 41, 175);
  EXPECT_TRUE(rec.FindText("12.5"));  // its range label, one decimal
  int rings = 0;
  for (const gfx::RecordedOp* op : Ops(OpKind::Ellipse, colour::kWhite))
    rings += std::abs(op->points[0].X - 132) < 0.01 && std::abs(op->points[0].Y - 242) < 0.01;
  EXPECT_EQ(rings, 2);
  EXPECT_EQ(Ops(OpKind::Rectangle, background, 1).size(), fills + 2);  // the window's edges
}

}  // namespace
}  // namespace ovi::p1000::test
