// The map layers: nearby navaids and airports with their lists' upkeep, the
// hold, the bottom-of-descent arc, the FIX INFO fixes and the traffic
// window. Arc format at 12.5 NM: 4.24 units a NM about (134, 148).
#include "src/display/map_symbols.h"
#include "src/display/state.h"
#include "tests/instruments/mfd/p1000/p1000_test_support.h"

namespace ovi::p1000::test {
namespace {

constexpr double kPerNm = 53.0 / 12.5;

class LayersTest : public P1000Test {
 public:
  // One record in its map list, the lists counted as built `centre_nm`
  // north of the aircraft.
  static void OnlyPoint(bool airport, const std::string& ident, const std::string& kind, double nm,
                        double centre_nm = 0.0) {
    navdb::State& s = navdb::navdb_state;
    model::NavDbRecord r;
    r.ident = ident;
    r.kind = kind;
    r.latitude = North(nm);
    r.longitude = -20.0;
    s.MapAirportCount = s.MapNavaidCount = 0;
    (airport ? s.MapAirportList[s.MapAirportCount = 1] : s.MapNavaidList[s.MapNavaidCount = 1]) = r;
    for (navdb::LatLon& c : s.NearListCenters) c = navdb::LatLon{North(centre_nm), -20.0};
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
  // Twice the range and 10 NM for airports, 50 NM for navaids.
  for (const auto& [airport, nm, drawn] : {std::tuple{true, 35.0, 1}, {true, 35.1, 0}, {false, 75.0, 1}, {false, 75.1, 0}}) {
    OnlyPoint(airport, "X", "V", nm);
    Draw();
    EXPECT_EQ(rec.CountText("X"), drawn) << airport << " " << nm;
  }
  // A VOR-type navaid is symbol 1 (a 19-point outline), any other kind 2.
  for (const auto& [kind, points] : {std::pair{"V", 19u}, {"N", 7u}}) {
    OnlyPoint(false, "LONGIDENT1", kind, 10.0);
    Draw();
    EXPECT_EQ(Outlines(points, colour::kGreen), 1u) << kind;
    ExpectText("LONGIDENT1", 141, 148 - 10 * kPerNm - 10);
  }
  // The airport's ring hangs below and right of its point; five letters.
  OnlyPoint(true, "KABCD1", "A", 10.0);
  Draw();
  ASSERT_EQ(Ops(OpKind::Ellipse, colour::kBlue).size(), 1u);
  ExpectNear(Ops(OpKind::Ellipse, colour::kBlue)[0]->points[0], 139, 148 - 10 * kPerNm + 5);
  ExpectText("KABCD", 136, 148 - 10 * kPerNm - 15);
}

TEST_F(LayersTest, ListsKeptAboutTheAircraftAt50And200Nm) {
  const auto& centres = navdb::navdb_state.NearListCenters;
  for (const auto& [built_nm, map, near] : {std::tuple{49.9, false, false}, {50.1, true, false}, {199.9, true, false},
                                            {200.1, true, true}}) {
    OnlyPoint(false, "X", "V", 10.0, built_nm);
    Draw();
    EXPECT_EQ(centres[navdb::kMapNavaidsCenter].latitude == North(0.0), map) << built_nm;
    EXPECT_EQ(centres[navdb::kNearNavaidsCenter].latitude == North(0.0), near) << built_nm;
  }
  // Centred on an active waypoint 300 NM north the lists stay about the
  // aircraft; the point 5 NM south of it is placed from it, 6 units a NM.
  Waypoint(0, "FAR", 300.0);
  plan().ActiveWaypointIndex = 0;
  model().P1000MapFormat = kCentredFormat;
  OnlyPoint(false, "X", "V", 295.0);
  Draw();
  EXPECT_EQ(centres[navdb::kMapNavaidsCenter].latitude, North(0.0));
  ExpectText("X", 141, 136);
}

TEST_F(LayersTest, HoldOnEitherSideAndTheDescentArc) {
  plan().HoldCount = 1;
  model::HoldingPattern& h = plan().HoldTable[1];
  h.active_index = 1;
  h.corners[0].latitude = North(5.0);
  h.corners[0].longitude = -20.0;
  h.leg_length = 8.0;  // L = 33.92 units
  h.inbound_course = 360.0;
  const double fix_y = 148 - 5 * kPerNm;
  for (const auto& [side, x] : {std::pair{1, 150}, {2, 118}}) {
    h.turn_side = side;
    Draw();
    const auto legs = Ops(OpKind::Line, colour::kLightGreen);
    ASSERT_EQ(legs.size(), 3u);
    ExpectNear(legs[1]->points[0], x, fix_y - 6);  // outbound: -0.2 L
    ExpectNear(legs[1]->points[1], x, fix_y + 27);  // to 0.8 L
    // The far turn's box starts at 0.66 L (22) on either side.
    EXPECT_NEAR(Ops(OpKind::Arc, colour::kLightGreen).at(1)->points[2].Y, fix_y + 22 + 4, 0.6) << side;
  }
  // 4000 ft at 1500 ft/min and 300 kt: 13.33 NM, the arc's apex 56 ahead.
  plan().HoldCount = 0;
  model().DrawBodArcOnP1000MFD = 1;
  guidance().ApMaster = guidance().ApAltitudeLock = 1.0;
  guidance().AircraftAltitude = 14000.0;
  guidance().ApAltitudeLockVar = 10000.0;
  guidance().VerticalSpeedFpm = -1500.0;
  guidance().GroundSpeedKnots = 300.0;
  Draw();
  ASSERT_EQ(Ops(OpKind::Arc, colour::kLightGreen).size(), 1u);
  ExpectNear(Ops(OpKind::Arc, colour::kLightGreen)[0]->points[2], 134 - 53 + 52.5, 148 - 56 + 52.5);
}

TEST_F(LayersTest, FixInfoLabelsRadialsAndLimits) {
  model::FixInfoRecord& fix = plan().FixInfoTable[1];
  fix.ident = "FIX";
  auto place = [&](double north, double east) {
    fix.latitude = North(north);
    fix.longitude = -20.0 + east / 60.0 / std::cos(fix.latitude * M_PI / 180.0);
  };
  // F (0, -50): a 5 NM ring (r 21) wholly above the centre is labelled
  // below, clear of the aircraft; F (0, -42): 12 NM (r 50) right; 30 NM
  // east (F.x 127) with 1 NM above, with 60 NM (r 254) left. Places from
  // the map centre.
  for (const auto& [north, east, nm, label, x, y] :
       {std::tuple{12.0, 0.0, 5.0, "5.0", -6.0, -28.0}, {10.0, 0.0, 12.0, "12.0", 53.0, -49.0},
        {0.0, 30.0, 1.0, "1.0", 121.0, -13.0}, {0.0, 30.0, 60.0, "60.0", -145.0, -7.0}}) {
    place(north, east);
    fix.rows[0] = {0.0, nm};
    Draw();
    ExpectText(label, 134 + x, 148 + y, 1.0);
  }
  // Radials: 090 right of the fix, 270 left, 360 shown 000; the ring's
  // label once for its three rows; a row without a distance draws nothing
  // at all.
  place(12.0, 0.0);
  fix.rows[0] = {90.0, 5.0};
  fix.rows[1] = {270.0, 5.0};
  fix.rows[2] = {360.0, 5.0};
  Draw();
  ExpectText("090", 159, 98);
  ExpectText("270", 99, 98);
  EXPECT_EQ(rec.CountText("5.0"), 1);
  EXPECT_EQ(rec.CountText("000"), 2);  // and the selected altitude
  EXPECT_EQ(Outlines(4, display::kMapGrey), 3u);  // the fix's triangle, once a row
  fix.rows[1].distance = 0.0;
  Draw();
  EXPECT_FALSE(rec.FindText("270"));
  EXPECT_EQ(Outlines(4, display::kMapGrey), 2u);
  // A navaid fix is the green symbol 1; beyond 380 NM nothing is drawn.
  fix.kind = "V";
  model().P1000MapRange = 160.0;
  for (const auto& [nm, symbols] : {std::pair{379.999, 2u}, {380.001, 0u}}) {
    place(nm, 0.0);
    Draw();
    EXPECT_EQ(Outlines(19, colour::kGreen), symbols) << nm;
  }
}

TEST_F(LayersTest, TrafficWindowOnlyWhileTrafficIsShownInIt) {
  model().P1000MFDBkgrdColorRed = 1;
  model().NdShowTraffic = 1;
  model().DrawTcasWindowOnP1000MFD = 0;
  Draw();
  EXPECT_EQ(rec.CountText("TCAS"), 1);  // the soft key's legend only
  const std::size_t fills = Ops(OpKind::Rectangle, 0xFF010000, 1).size();
  model().DrawTcasWindowOnP1000MFD = 1;
  Draw();
  EXPECT_EQ(rec.Texts().back().text, "TCAS");  // drawn last, after the window's range
  ExpectNear({rec.Texts().back().x, rec.Texts().back().y}, 41, 175);
  EXPECT_TRUE(rec.FindText("12.5"));
  int rings = 0;
  for (const gfx::RecordedOp* op : Ops(OpKind::Ellipse, colour::kWhite))
    rings += std::abs(op->points[0].X - 132) < 0.01 && std::abs(op->points[0].Y - 242) < 0.01;
  EXPECT_EQ(rings, 2);
  EXPECT_EQ(Ops(OpKind::Rectangle, 0xFF010000, 1).size(), fills + 2);  // the window's edges
}

// The window plots traffic at its own range, whatever the map's: a target
// 5 NM ahead at 10 NM is 30.5 units above the own aircraft at (131, 238)
// (radius 61), its label 9 left of and 8 below its point.
TEST_F(LayersTest, TrafficWindowPlotsAtItsOwnRange) {
  model().NdShowTraffic = 1;
  model().DrawTcasWindowOnP1000MFD = 1;
  display::State& d = display::display_state;
  d.TrafficPlotCount = 1;
  d.TrafficPlotTable[1] = display::TrafficPlotEntry{.bearing = 0.0, .range = 5.0, .relative_altitude = 5.0};
  for (double map_range : {12.5, 50.0, 2.5}) {
    model().P1000MapRange = map_range;
    model().P1000TcasRange = 10.0;
    Draw();
    ExpectText("+5", 131 - 9, 207 + 8, 1.0);
  }
  model().P1000TcasRange = 20.0;  // 8 NM: 24.4 units
  d.TrafficPlotTable[1].range = 8.0;
  Draw();
  ExpectText("+5", 131 - 9, 213 + 8, 1.0);
}

}  // namespace
}  // namespace ovi::p1000::test
