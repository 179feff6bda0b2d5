// The MD-11 navigation display and the MD-11 and A300 EFIS panels: the
// layer tables, the compass, the route layer, the data blocks and the
// panels' keys and pictures. On the 240 x 258 surface device pixels are
// canvas units.
#include <algorithm>
#include <set>

#include "src/instruments/nd/gauges.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/host/panel_services.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/state.h"
#include "tests/support/panel_clicks.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

using gfx::OpKind;

constexpr std::uint32_t kTokenNav2Signal = 58;

class Md11Test : public NdTest {
 public:
  const gfx::Recorder& Draw11(int variant = 1, int width = 240, int height = 258) {
    dc = std::make_unique<gfx::DeviceContext>(width, height);
    rec.Clear();
    dc->recorder = &rec;
    const PIXSIZE size{width, height};
    DrawMd11NavigationDisplay(nd_state.Md11NdDisplay, dc.get(), &size, variant);
    return rec;
  }
  std::set<std::string> Layers(int mode, double range, int variant = 1) {
    model().HWMD11NDMode = mode;
    model().Md11NdRange = range;
    const Md11NdFrame f = MakeMd11NdFrame(g, nd_state.Md11NdDisplay, variant);
    std::set<std::string> names;
    for (const Md11NdLayer& layer : mode == kMd11NdModePlan ? Md11NdPlanLayers() : Md11NdMapLayers())
      if (layer.condition(f)) names.insert(layer.name);
    return names;
  }
  // A line in a colour between two device points (either way round).
  bool HasLine(gfx::ARGB colour, gfx::PointF a, gfx::PointF b) const {
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Line)) {
      if (op->color != colour) continue;
      auto near = [](gfx::PointF p, gfx::PointF q) { return std::abs(p.X - q.X) < 0.6 && std::abs(p.Y - q.Y) < 0.6; };
      if ((near(op->points[0], a) && near(op->points[1], b)) || (near(op->points[0], b) && near(op->points[1], a)))
        return true;
    }
    return false;
  }
  std::vector<gfx::Recorder::TextItem> Texts(const std::string& text) const {
    std::vector<gfx::Recorder::TextItem> out;
    // The active waypoint's ident in the data blocks at (159, 7) is not the map's.
    for (const auto& t : rec.Texts())
      if (t.text == text && !(t.x == 159.0f && t.y == 7.0f)) out.push_back(t);
    return out;
  }
  // A text with its top-left at canvas point `at`.
  bool TextAt(const std::string& text, gfx::PointF at) const {
    for (const auto& t : rec.Texts())
      if (t.text == text && t.x == at.X && t.y == at.Y) return true;
    return false;
  }
  bool LineFrom(gfx::ARGB colour, gfx::PointF at) const {
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Line))
      for (const gfx::PointF& p : op->points)
        if (op->color == colour && std::abs(p.X - at.X) < 0.6 && std::abs(p.Y - at.Y) < 0.6) return true;
    return false;
  }
  void Waypoint(int i, const char* ident, double lat, double lon) {
    plan().ActiveFlightPlan[i].ident = ident;
    plan().ActiveFlightPlan[i].latitude = lat;
    plan().ActiveFlightPlan[i].longitude = lon;
    plan().ActiveFlightPlan[i].value3 = -1.0;
  }

  gfx::DeviceContext surface{240, 258};
  gfx::Graphics g{&surface};
};

TEST_F(Md11Test, LayerTablesAtEveryRangeBoundaryAndInTheReducedVariant) {
  model().Md11NdShowNavaids = model().Md11NdShowAirports = model().Md11NdShowIntersections = 1;
  model().ShowAtcBoundaries = 1;
  model().NdShowTraffic = 1;
  navdb::navdb_state.AirportRunwayCount = 1;
  const std::set<std::string> always = {"route", "canvas", "traffic", "atc boundaries"};
  struct Case {
    int mode;
    double range;
    int variant;
    std::set<std::string> extra;
  };
  const Case cases[] = {
      {3, 640, 1, {}},
      {3, 320, 1, {"navaids"}},
      {3, 160, 1, {"navaids", "airports"}},
      {3, 80, 1, {"navaids", "airports", "intersections"}},
      {3, 5, 1, {"navaids", "airports", "intersections"}},
      {3, 2.5, 1, {"navaids", "airports", "intersections", "runways"}},
  };
  for (const Case& c : cases) {
    std::set<std::string> expected = always;
    expected.insert(c.extra.begin(), c.extra.end());
    EXPECT_EQ(Layers(c.mode, c.range, c.variant), expected) << c.range;
  }
  // Reduced: no boundaries, the intersections stay.
  EXPECT_EQ(Layers(3, 80, 3), (std::set<std::string>{"route", "canvas", "traffic", "navaids", "airports",
                                                     "intersections"}));
  // PLAN: navaids only to 160, no traffic, arc or runways in its table.
  EXPECT_EQ(Layers(2, 320), (std::set<std::string>{"plan rose", "route", "atc boundaries"}));
  EXPECT_EQ(Layers(2, 2.5, 3),
            (std::set<std::string>{"plan rose", "route", "navaids", "airports", "intersections"}));
}

TEST_F(Md11Test, ModesWithoutMapDrawTheCompassAndDataBlocksOnly) {
  Waypoint(0, "AAA", 47.0, -122.0);
  plan().ActiveFlightPlanLastIndex = 0;
  plan().ActiveWaypointIndex = 0;
  for (int mode : {4, 5, 1}) {
    model().HWMD11NDMode = mode;
    Draw11();
    EXPECT_EQ(rec.CountText("AAA"), 1) << mode;  // the data blocks' active waypoint, not the route's
    EXPECT_TRUE(Has("RNG 80")) << mode;
    // the mode label at (205, 215); a mode 1 has none
    const auto texts = rec.Texts();
    const bool labelled = std::any_of(texts.begin(), texts.end(), [&](const auto& t) {
      return t.x == 205.0f && t.y == 215.0f && (t.text == "VOR" || t.text == "APPR");
    });
    EXPECT_EQ(labelled, mode != 1) << mode;
    EXPECT_EQ(Has("APPR"), mode == 5) << mode;
  }
}

TEST_F(Md11Test, PowerOffAndBlankLeaveTheSurfaceTransparent) {
  for (auto [power, variant] : {std::pair{0, 1}, {1, 2}}) {
    guidance().DisplayPower = power;
    Draw11(variant);
    EXPECT_TRUE(rec.Find(OpKind::Text).empty());
    EXPECT_EQ(dc->pixels[0], 0u);
  }
}

// The 240 x 258 canvas stretches to any surface, each axis on its own:
// the heading box's "HDG" at (82, 9) and PLAN's north arrow letter at (215, 200).
TEST_F(Md11Test, TheCanvasStretchesToAnySurface) {
  for (auto [w, h] : {std::pair{246, 241}, {480, 258}}) {
    model().HWMD11NDMode = 3;
    Draw11(1, w, h);
    const auto hdg = Text("HDG");
    EXPECT_NEAR(hdg.x, 82.0 * w / 240.0, 0.01) << w;
    EXPECT_NEAR(hdg.y, 9.0 * h / 258.0, 0.01) << w;
    model().HWMD11NDMode = 2;
    Draw11(1, w, h);
    const auto north = Text("N");  // the PLAN north arrow's letter at (215, 200)
    EXPECT_NEAR(north.x, 215.0 * w / 240.0, 0.01) << w;
    EXPECT_NEAR(north.y, 200.0 * h / 258.0, 0.01) << w;
  }
}

TEST_F(Md11Test, MapScaleShowsSeventyDegreesEitherSideAcrossNorth) {
  // Heading 10: "29" (r 280) falls out, "30" (r 290) shows, "08" (r 70) shows, "09" does not.
  for (auto [degrees, shown] : {std::pair{290, false}, {300, true}, {355, true}, {0, true}, {80, true},
                                {85, false}, {90, false}}) {
    EXPECT_EQ(Md11ScaleMarkShown(degrees, 10.0), shown) << degrees;
  }
  model().HWMD11NDMode = 3;
  guidance().AircraftHeading = 10.0;
  Draw11();
  for (const char* label : {"30", "35", "00", "08"}) EXPECT_TRUE(Has(label)) << label;
  for (const char* label : {"29", "09", "18"}) EXPECT_FALSE(Has(label)) << label;
}

TEST_F(Md11Test, TrafficRangeMarksOnlyAtTenMiles) {
  model().HWMD11NDMode = 3;
  model().NdShowTraffic = 1;
  for (auto [range, marks] : {std::pair{10.0, 12}, {5.0, 0}, {20.0, 0}}) {
    model().Md11NdRange = range;
    Draw11();
    const auto texts = rec.Find(OpKind::Text);
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](auto* op) { return op->text == "*"; }), marks) << range;
  }
}

TEST_F(Md11Test, BearingPointersFormsAndSourcesByMode) {
  for (auto [turn, long_form] : {std::pair{55.0, true}, {56.0, false}, {305.0, true}, {304.0, false}, {0.0, true},
                                 {180.0, false}}) {
    EXPECT_EQ(Md11LongPointer(turn), long_form) << turn;
  }
  guidance().AircraftHeading = 100.0;
  guidance().HeadingOffsetToken550 = 30.0;  // station 30 right of the nose
  guidance().AdfRelativeBearing = 350.0;
  host.tokens[kTokenNav1Signal] = 1.0;
  nd_state.Md11NdShowVor1Pointer = 1;
  nd_state.Md11NdShowAdf1Pointer = 1;  // only a writer other than the keys sets both
  for (auto [signal, map_left] : {std::pair{1.0, false}, {1.5, true}}) {
    guidance().AdfSignal = signal;
    const Md11Pointers map = Md11BearingPointers(kMd11NdModeMap);
    EXPECT_EQ(map.left, map_left) << signal;  // MAP: the ADF switch first, its signal above 1
    if (map_left) {
      EXPECT_NEAR(map.left_turn, 350.0, 1e-9);
    }
    const Md11Pointers vor = Md11BearingPointers(kMd11NdModeVor);
    EXPECT_TRUE(vor.left);  // other modes: the first radio first
    EXPECT_NEAR(vor.left_turn, 30.0, 1e-9);
  }
  nd_state.Md11NdShowVor1Pointer = 0;
  guidance().AdfSignal = 0.5;
  EXPECT_TRUE(Md11BearingPointers(kMd11NdModeVor).left);  // any ADF signal there
  EXPECT_FALSE(Md11BearingPointers(kMd11NdModeMap).left);
  // The second radio, its bearing wrapped below 360.
  nd_state.Md11NdShowVor2Pointer = 1;
  guidance().SecondBearingPointer = 300.0;
  EXPECT_FALSE(Md11BearingPointers(kMd11NdModeMap).right);
  host.tokens[kTokenNav2Signal] = 1.0;
  EXPECT_TRUE(Md11BearingPointers(kMd11NdModeMap).right);
  EXPECT_NEAR(Md11BearingPointers(kMd11NdModeMap).right_turn, 300.0, 1e-9);
}

TEST_F(Md11Test, DeviationBarByModeAndLocalizerAndToFromAcrossNorth) {
  guidance().AircraftHeading = 10.0;
  guidance().SelectedCourse = 10.0;  // the course pointer straight up
  guidance().Nav1CdiNeedle = 100.0;  // 39 units right
  EXPECT_EQ(Md11DeviationOffset(), 39);
  guidance().Nav1CdiNeedle = -1000.0;  // beyond full scale: held at it
  EXPECT_EQ(Md11DeviationOffset(), -49);
  guidance().Nav1CdiNeedle = 100.0;
  const gfx::PointF top(159, 148), bottom(159, 208);  // (120 + 39, 178 -+ 30)
  struct Case {
    int mode;
    double signal, flags;
    bool bar;
  };
  for (const Case& c : {Case{4, 1, 0, true}, Case{4, 0, 0, false}, Case{5, 1, 0, false}, Case{5, 1, 0x80, true}}) {
    model().HWMD11NDMode = c.mode;
    Radio(c.signal, c.flags);
    Draw11();
    EXPECT_EQ(HasLine(colour::kMagenta, top, bottom), c.bar) << c.mode << " " << c.signal << " " << c.flags;
  }
  // Station at 350 (heading 10 less 20), course 10: 20 degrees apart across
  // north, so TO: the triangle points up at the bar.
  model().HWMD11NDMode = 4;
  Radio(1, 0);
  guidance().HeadingOffsetToken550 = 340.0;
  Draw11();
  const auto white = Ops(OpKind::Polygon, colour::kWhite, 1);
  ASSERT_FALSE(white.empty());
  const auto to = std::find_if(white.begin(), white.end(), [](auto* op) { return op->points.size() == 3; });
  ASSERT_NE(to, white.end());
  ExpectAt((*to)->points[0], gfx::PointF(159, 146));
  guidance().HeadingOffsetToken550 = 160.0;  // station at 170: FROM
  Draw11();
  const auto white2 = Ops(OpKind::Polygon, colour::kWhite, 1);
  const auto from = std::find_if(white2.begin(), white2.end(), [](auto* op) { return op->points.size() == 3; });
  ASSERT_NE(from, white2.end());
  ExpectAt((*from)->points[0], gfx::PointF(159, 210));
}

TEST_F(Md11Test, PlanRosePlacesTheAircraftFromTheCentredWaypoint) {
  model().HWMD11NDMode = 2;
  nd_state.Md11NdMapRadius = 94;
  model().Md11NdRange = 20.0;  // 4.7 units a mile
  guidance().PlaneLatitude = -10.0;  // south of the equator and west of 0
  guidance().PlaneLongitude = -0.05;
  Draw11();
  // No active waypoint: the aircraft at the centre (120, 129), its nose 15 above.
  ExpectAt(Outline(colour::kWhite, 18)->points[0], gfx::PointF(120, 114));
  // The active waypoint 10 NM north of the aircraft: the aircraft 47 units below the centre.
  Waypoint(0, "AAA", -10.0 + 10.0 / 60.0, -0.05);
  plan().ActiveFlightPlanLastIndex = 0;
  plan().ActiveWaypointIndex = 0;
  Draw11();
  const gfx::PointF nose = Outline(colour::kWhite, 18)->points[0];
  EXPECT_NEAR(nose.X, 120, 1.0);
  EXPECT_NEAR(nose.Y, 129 + 47 - 15, 1.0);
}

class Md11RouteTest : public Md11Test {
 public:
  void SetUp() override {
    Md11Test::SetUp();
    model().HWMD11NDMode = 3;
    model().Md11NdRange = 80.0;
    guidance().PlaneLatitude = 0.5;
    guidance().PlaneLongitude = 179.5;  // the route crosses 180
    Waypoint(0, "W0", 0.6, 179.7);
    Waypoint(1, "W1", 0.7, 179.9);
    Waypoint(2, "W2", 0.8, -179.9);
    Waypoint(3, "W3", 0.9, -179.7);
    plan().ActiveFlightPlanLastIndex = 3;
    plan().ActiveWaypointIndex = 3;
  }
  int MagentaLegs() const { return static_cast<int>(Ops(OpKind::Line, colour::kMagenta).size()); }
};

TEST_F(Md11RouteTest, EveryEntryFromTheFirstWithTheActiveOneInMagenta) {
  Draw11();
  EXPECT_EQ(MagentaLegs(), 3);  // 0-1, 1-2, 2-3; none from the aircraft
  EXPECT_EQ(Texts("W3").front().color, colour::kMagenta);
  for (const char* ident : {"W0", "W1", "W2"}) EXPECT_EQ(Text(ident).color, colour::kWhite) << ident;
  // A pending modification draws the route again, dashed, every mark white.
  plan().RouteState = 4;
  Draw11();
  const auto dashed = Ops(OpKind::Line, colour::kMagenta);
  EXPECT_EQ(std::count_if(dashed.begin(), dashed.end(), [](auto* op) { return op->dash == gfx::DashStyle::Dash; }), 3);
  EXPECT_EQ(Texts("W3").back().color, colour::kWhite);
}

TEST_F(Md11RouteTest, MarkersBreakTheLineInBothPasses) {
  plan().ActiveFlightPlan[2].ident = "DISCO";
  plan().ActiveFlightPlan[2].latitude = 0.0;
  plan().ActiveFlightPlan[2].longitude = 0.0;
  plan().RouteState = 4;
  Draw11();
  EXPECT_EQ(MagentaLegs(), 2);  // 0-1 solid and dashed; nothing into or out of the marker
  EXPECT_FALSE(Has("DISCO"));
}

TEST_F(Md11RouteTest, TheActiveLegStartsAtTheOriginForTheFirstEntryAndCourseLinesReplaceIt) {
  plan().ActiveWaypointIndex = 0;
  Draw11();
  EXPECT_EQ(MagentaLegs(), 4);  // origin-0 and the three legs after it
  EXPECT_TRUE(LineFrom(colour::kMagenta, gfx::PointF(120, 178)));
  plan().ActiveFlightPlan[0].value3 = 0.0;  // an inbound course: its line instead of the leg
  Draw11();
  EXPECT_EQ(MagentaLegs(), 4);
  EXPECT_FALSE(LineFrom(colour::kMagenta, gfx::PointF(120, 178)));
}

TEST_F(Md11RouteTest, TheTunedStationStandsInForTheActiveWaypointWithinTwentyMiles) {
  Radio(1, 0);
  host.texts[47] = "W3";
  // W3 lies 0.4 degrees north and 0.8 east of the aircraft near the
  // equator: 24 and 48 NM, 53.67 NM away.
  const double distance = 53.67;
  for (auto [dme, replaced] : {std::pair{distance - 19.0, true}, {distance - 21.0, false}}) {
    guidance().Nav1DmeDistance = dme;
    Draw11();
    const auto w3 = Texts("W3");
    // The tuned station's blue ident is always there; the route's magenta one only when not replaced.
    const bool magenta = std::any_of(w3.begin(), w3.end(), [](auto& t) { return t.color == colour::kMagenta; });
    EXPECT_EQ(magenta, !replaced) << dme;
    EXPECT_TRUE(std::any_of(w3.begin(), w3.end(), [](auto& t) { return t.color == colour::kBlue; }));
  }
  host.tokens[kTokenNav1Flags] = 0x80;  // a localizer is no station
  Draw11();
  const auto w3 = Texts("W3");
  EXPECT_FALSE(std::any_of(w3.begin(), w3.end(), [](auto& t) { return t.color == colour::kBlue; }));
}

// Runways 2 NM long (10560 ft) on the equator just west of 180, heading
// 100 magnetic with a variation of 10 west: both lie along 090 true, so
// every runway line is level with the aircraft (device y 178) and their
// ends are placed with the one mean factor: on the 240 x 258 surface a
// distance d lies 3.75 d x (1 + 240 / 258) / 2 device pixels from x 120
// at 40 NM.
class Md11RunwayTest : public Md11RouteTest {
 public:
  void SetUp() override {
    Md11RouteTest::SetUp();
    model().Md11NdRange = 40.0;
    guidance().PlaneLatitude = 0.0;
    guidance().PlaneLongitude = 179.9;
    guidance().MagneticVariation = -10.0;
    Waypoint(0, "W0", 0.1, 179.9);   // 6 NM north
    Waypoint(3, "W3", -0.1, 179.9);  // 6 NM south
    for (int set : {1, 2}) Runway(set, 179.95, set == 1 ? "10" : "10R");  // threshold 3 NM east
  }
  void Runway(int set, double threshold_lon, const char* number, int index = 1) {
    model::AirportProcedureSet& ps = navdb::procedure_state.AirportProcedureSets[set];
    ps.RunwayCount = 1;
    model::RunwayRecord& r = ps.Runways[1];
    r.number_text = number;
    r.latitude = 0.0;
    r.longitude = threshold_lon;
    r.length = 10560;
    r.heading = r.approach_course = 100.0;
    ps.SelectedRunwayIndex = index;
    navdb::navdb_state.AirportRunwayTable[1] = ps.Runways[1];
    navdb::navdb_state.AirportRunwayTable[1].longitude = 179.95;
    navdb::navdb_state.AirportRunwayCount = 1;
  }
  static float X(double nm) { return static_cast<float>(120.0 + nm * 3.75 * (1.0 + 240.0 / 258.0) / 2.0); }
  // A level line in a colour between two distances east of the aircraft.
  bool LevelLine(gfx::ARGB colour, double from_nm, double to_nm) const {
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Line)) {
      if (op->color != colour || op->points.size() != 2) continue;
      const gfx::PointF a = op->points[0], b = op->points[1];
      if (std::abs(a.Y - 178) < 0.6 && std::abs(b.Y - 178) < 0.6 && std::abs(a.X - X(from_nm)) < 1.0 &&
          std::abs(b.X - X(to_nm)) < 1.0)
        return true;
    }
    return false;
  }
  bool DepartureLine() const { return LevelLine(colour::kBlue, 3.0 + 1.4, 3.0 + 1.4 + 18.0); }  // ahead, from 0.7 L
  bool ArrivalLines() const {
    return LevelLine(colour::kBlue, 3.0 - 0.4, 3.0 - 0.4 - 18.0) && LevelLine(colour::kWhite, 3.0, 5.0);
  }
};

TEST_F(Md11RunwayTest, LinesBelowEightyMilesForThresholdsWithinAHundred) {
  struct Case {
    double range;
    double departure_lon;  // the departure record's own threshold
    int departure_index;
    int runway_table_count;
    bool departure, arrival;
  };
  // 100 NM east of 179.9 is 1.6667 degrees of longitude on the equator.
  for (const Case c : {Case{40.0, 179.95, 1, 1, true, true}, Case{2.5, 179.95, 1, 1, true, true},
                       Case{80.0, 179.95, 1, 1, false, false}, Case{40.0, -178.4348, 1, 1, true, true},
                       Case{40.0, -178.4318, 1, 1, false, true}, Case{40.0, 179.95, 2, 1, false, true},
                       Case{40.0, 179.95, 0, 1, false, true}, Case{40.0, 179.95, 1, 0, false, false}}) {
    SCOPED_TRACE(::testing::Message() << c.range << " NM, threshold at " << c.departure_lon << ", index "
                                      << c.departure_index << ", table " << c.runway_table_count);
    model().Md11NdRange = c.range;
    Runway(1, c.departure_lon, "10", c.departure_index);
    navdb::navdb_state.AirportRunwayCount = c.runway_table_count;
    Draw11();
    if (c.range == 40.0) {  // the hand-worked places hold at 40 NM only
      EXPECT_EQ(DepartureLine(), c.departure);
      EXPECT_EQ(ArrivalLines(), c.arrival);
    } else {  // off the hand-worked places: the two blue lines come and go with the rest
      const std::size_t blue = Ops(OpKind::Line, colour::kBlue).size();
      for (int set : {1, 2}) navdb::procedure_state.AirportProcedureSets[set].SelectedRunwayIndex = 0;
      Draw11();
      EXPECT_EQ(blue - Ops(OpKind::Line, colour::kBlue).size(), c.departure ? 2u : 0u);
      navdb::procedure_state.AirportProcedureSets[2].SelectedRunwayIndex = 1;
    }
  }
}

TEST_F(Md11RunwayTest, NumbersBesideTheFirstAndLastEntriesWithinTheSetsCount) {
  // W0 10 NM north: 37.5 canvas units above the aircraft; the number 7
  // right and 17 below the entry (W3's 10 NM south), clear of the
  // aircraft's own symbol.
  Waypoint(0, "W0", 1.0 / 6.0, 179.9);
  Waypoint(3, "W3", -1.0 / 6.0, 179.9);
  Draw11();
  for (auto [number, y] : {std::pair{"10", 178.0 - 37.5 + 17.0}, {"10R", 178.0 + 37.5 + 17.0}}) {
    const auto texts = Texts(number);
    ASSERT_EQ(texts.size(), 1u) << number;
    EXPECT_EQ(texts[0].color, colour::kWhite);
    EXPECT_NEAR(texts[0].x, 127.0, 1.0) << number;
    EXPECT_NEAR(texts[0].y, y, 1.0) << number;
  }
  // Numbers whatever the runway table holds; none past the set's count.
  navdb::navdb_state.AirportRunwayCount = 0;
  navdb::procedure_state.AirportProcedureSets[2].SelectedRunwayIndex = 2;
  Draw11();
  EXPECT_EQ(Texts("10").size(), 1u);
  EXPECT_TRUE(Texts("10R").empty());
  // Without an active waypoint neither lines nor numbers.
  plan().ActiveWaypointIndex = model::kNoWaypoint;
  Draw11();
  EXPECT_TRUE(Texts("10").empty());
}

TEST_F(Md11Test, DataBlocksByModeAndCondition) {
  // Half range over the ladder, in MAP.
  model().HWMD11NDMode = 3;
  for (auto [range, half] : {std::pair{1.0, "0.5"}, {5.0, "2.5"}, {0.5, "0.25"}, {2.5, "1.2"}, {40.0, "20"}, {640.0, "320"}}) {
    model().Md11NdRange = range;
    Draw11();
    EXPECT_TRUE(Has(half)) << range;
  }
  // PLAN's labels placed from their lengths; no heading box, no RNG.
  model().HWMD11NDMode = 2;
  model().Md11NdRange = 80.0;
  Draw11();
  const auto eighty = Texts("80");
  ASSERT_EQ(eighty.size(), 2u);
  EXPECT_EQ(eighty[0].x, 20.0f);
  EXPECT_EQ(eighty[1].x, 208.0f);
  const auto forty = Texts("40");
  ASSERT_EQ(forty.size(), 2u);
  EXPECT_EQ(forty[0].x, 67.0f);
  EXPECT_EQ(forty[1].x, 161.0f);
  EXPECT_FALSE(Has("HDG"));
  EXPECT_FALSE(Has("RNG 80"));
  EXPECT_TRUE(Has("R/I"));
  EXPECT_TRUE(Has("--:--"));  // the flight not started
}

// The active waypoint's time needs more than 30 kt; the elapsed clock is
// hours and the minutes within the hour.
TEST_F(Md11Test, WaypointTimeAndElapsedClockAtTheirEdges) {
  model().HWMD11NDMode = kMd11NdModeMap;
  ActiveRoute(47.0, -122.0, 47.2, -122.0);
  guidance().ActiveWaypointDistance = 12.0;
  guidance().EteMinutes = 24.5;
  for (auto [speed, text] : {std::pair{30.0, "12.0NM"}, {30.001, "12.0NM/24.5"}, {0.0, "12.0NM"}}) {
    guidance().GroundSpeedKnots = speed;
    Draw11();
    EXPECT_TRUE(Has(text)) << speed;
    EXPECT_EQ(Has("12.0NM/24.5"), speed > 30.0) << speed;
  }
  for (auto [seconds, text] : {std::pair{59.0, "00:00"}, {3599.0, "00:59"}, {3600.0, "01:00"},
                               {3 * 3600.0 + 25 * 60.0 + 10.0, "03:25"}, {26 * 3600.0 + 60.0, "26:01"}}) {
    guidance().ElapsedFlightSeconds = seconds;
    Draw11();
    EXPECT_TRUE(TextAt(text, {210.0f, 38.0f})) << seconds;
  }
}

// The radio block names the VOR in VOR and the localizer in APPR.
TEST_F(Md11Test, RadioBlockNamesTheVorOrTheLocalizerByMode) {
  for (auto [mode, label] : {std::pair{kMd11NdModeVor, "VOR1"}, {kMd11NdModeAppr, "LOC1"}}) {
    model().HWMD11NDMode = mode;
    Draw11();
    EXPECT_TRUE(TextAt(label, {0.0f, 215.0f})) << mode;
    EXPECT_FALSE(Has(mode == kMd11NdModeVor ? "LOC1" : "VOR1")) << mode;
  }
}

TEST_F(Md11Test, PointerBlocksWithAndWithoutDmeOrSignal) {
  model().HWMD11NDMode = 3;
  guidance().AircraftHeading = 200.0;
  guidance().HeadingOffsetToken550 = 170.0;  // 370: shown as 010
  host.texts[47] = "OLM";
  nd_state.Md11NdShowVor1Pointer = 1;
  Draw11();
  EXPECT_FALSE(Has("010° / ---  OLM"));  // no signal: the block stays empty
  Radio(1, 0);
  Draw11();
  EXPECT_TRUE(Has("010° / ---  OLM"));
  guidance().Nav1DmeDistance = 19.2;
  Draw11();
  EXPECT_TRUE(Has("010° / 19.2NM  OLM"));
  // ADF: relative 350 at heading 200 is 190, the ident cut to its field.
  nd_state.Md11NdShowVor1Pointer = 0;
  nd_state.Md11NdShowAdf1Pointer = 1;
  guidance().AdfSignal = 1.0;
  guidance().AdfRelativeBearing = 350.0;
  host.texts[19] = "LONGNAME";
  Draw11();
  EXPECT_TRUE(Has("190° / LONGNA"));
  // NAV2 with and without DME.
  nd_state.Md11NdShowVor2Pointer = 1;
  host.tokens[kTokenNav2Signal] = 1.0;
  host.texts[56] = "SEA";
  guidance().SecondBearingPointer = 170.0;
  Draw11();
  EXPECT_TRUE(Has("010° / ---  SEA"));
  guidance().Nav2DmeDistance = 5.0;
  Draw11();
  EXPECT_TRUE(Has("SEA 010° / 5.0NM"));
}

TEST_F(Md11Test, Md11PanelKeysSetModesRadiiAndExclusivePointers) {
  nd_state.Md11NdMapRadius = 150;
  SelectMd11NdPlanMode(nullptr, 0);
  EXPECT_EQ(model().HWMD11NDMode, 2);
  EXPECT_EQ(nd_state.Md11NdMapRadius, 94);
  SelectMd11NdVorMode(nullptr, 0);
  SelectMd11NdApprMode(nullptr, 0);
  EXPECT_EQ(model().HWMD11NDMode, 5);
  EXPECT_EQ(nd_state.Md11NdMapRadius, 94);  // VOR and APPR keep PLAN's
  SelectMd11NdMapMode(nullptr, 0);
  EXPECT_EQ(nd_state.Md11NdMapRadius, 150);
  EXPECT_EQ(Md11MapRadiusForMode(2, 150), 94);  // a configured PLAN starts under PLAN's rings
  EXPECT_EQ(Md11MapRadiusForMode(4, 94), 94);

  ToggleMd11NdVor1Pointer(nullptr, 0);
  ToggleMd11NdAdf1Pointer(nullptr, 0);
  EXPECT_EQ(nd_state.Md11NdShowVor1Pointer, 0);
  EXPECT_EQ(nd_state.Md11NdShowAdf1Pointer, 1);
  ToggleMd11NdAdf1Pointer(nullptr, 0);
  EXPECT_EQ(nd_state.Md11NdShowAdf1Pointer, 0);
  EXPECT_EQ(nd_state.Md11NdShowVor1Pointer, 0);
  // Each of the two takes the other off, whichever is on first.
  ToggleMd11NdAdf1Pointer(nullptr, 0);
  ToggleMd11NdVor1Pointer(nullptr, 0);
  EXPECT_EQ(nd_state.Md11NdShowVor1Pointer, 1);
  EXPECT_EQ(nd_state.Md11NdShowAdf1Pointer, 0);
  ToggleMd11NdAdf1Pointer(nullptr, 0);
  EXPECT_EQ(nd_state.Md11NdShowVor1Pointer, 0);
  EXPECT_EQ(nd_state.Md11NdShowAdf1Pointer, 1);
  ToggleMd11NdAdf1Pointer(nullptr, 0);
  ToggleMd11NdVor2Pointer(nullptr, 0);
  EXPECT_EQ(nd_state.Md11NdShowVor2Pointer, 1);
  const model::State before = model();
  EXPECT_EQ(Md11SpareKey(nullptr, 0), 0);
  EXPECT_EQ(model().HWMD11NDMode, before.HWMD11NDMode);
}

TEST_F(Md11Test, A300PicturesFollowTheDu1000Family) {
  struct Case {
    double range;
    int mode;
    std::set<int> shown;
  };
  for (const Case& c : {Case{0.05, 0, {1, 5}}, Case{15, 1, {1, 6}}, Case{30, 2, {2, 7}}, Case{60, 3, {}},
                        Case{120, 3, {3}}, Case{240, 0, {4, 5}}}) {
    model().Du1000EhsiRange = c.range;
    model().DU1000EHSIMode = c.mode;
    model().Du1000ShowIntersections = model().Du1000ShowNavaids = model().Du1000ShowAux = 0;
    model().Du1000ShowAirports = model().NdShowTraffic = 0;
    for (int n = 1; n <= kA300Pictures; ++n)
      EXPECT_EQ(A300PictureShown(n), c.shown.count(n) == 1) << c.range << " " << c.mode << " " << n;
  }
  model().Du1000ShowAirports = 1;
  model().NdShowTraffic = 1;
  EXPECT_TRUE(A300PictureShown(11));
  EXPECT_TRUE(A300PictureShown(12));
  ToggleDu1000ShowAux(nullptr, 0);
  EXPECT_TRUE(A300PictureShown(10));
}

// Both panels pressed by their named keys through the stand-in's mouse
// routing: the range ladders' ends with MinMapRange, the A300's pictures
// following the MD-11 panel's layer keys at the next pre-update, and the
// course knob's halves sending their key events again while held.
TEST_F(Md11Test, NamedKeysOfBothPanels) {
  testing::PanelClicks md11{md11_efis_ctrl_gauge, "MD11_EFIS_CTRL"};
  testing::PanelClicks a300{a300_efis_ctrl_gauge, "A300_EFIS_CTRL"};
  for (const sim::NamedKey& k : md11.Keys()) {
    const sim::MouseArea* a = md11.AreaOf(k.name);
    ASSERT_NE(a, nullptr) << k.name;
    EXPECT_EQ(a->cursor, CURSOR_HAND) << k.name;
  }
  // MD-11 ladder 0.5 ... 640; A300 0.05 ... 240; below 10 (A300: 15) only
  // to rungs of at least MinMapRange (0.7: the MD-11 stops at 1, the A300 at 1).
  for (auto [minimum, md11_bottom, a300_bottom] : {std::tuple{5.0, 5.0, 5.0}, {0.7, 1.0, 1.0}, {0.5, 0.5, 0.5}}) {
    model().MinMapRange = minimum;
    model().Md11NdRange = 80.0;
    for (int i = 0; i < 12; ++i) md11.Press("RANGE_DOWN");
    EXPECT_EQ(model().Md11NdRange, md11_bottom) << minimum;
    for (int i = 0; i < 14; ++i) a300.Press("RANGE_DOWN");
    EXPECT_EQ(model().Du1000EhsiRange, a300_bottom) << minimum;
  }
  for (int i = 0; i < 14; ++i) md11.Press("RANGE_UP");
  EXPECT_EQ(model().Md11NdRange, 640.0);
  for (int i = 0; i < 15; ++i) a300.Press("RANGE_UP");
  EXPECT_EQ(model().Du1000EhsiRange, 240.0);

  auto shown = [](int n) {
    return (host::NthElement(host::FirstElement(&a300_efis_ctrl_gauge), n)->image_flags & IMAGE_HIDDEN) == 0;
  };
  struct Lamp {
    const char* key;
    int picture;
  };
  for (const Lamp& l : {Lamp{"INT", 8}, Lamp{"NAV", 9}, Lamp{"ARPT", 11}, Lamp{"TCAS", 12}}) {
    for (int press = 0; press < 2; ++press) {
      a300_efis_ctrl_gauge.gauge_callback(&a300_efis_ctrl_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
      const bool was = shown(l.picture);
      md11.Press(l.key);
      a300_efis_ctrl_gauge.gauge_callback(&a300_efis_ctrl_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
      EXPECT_EQ(shown(l.picture), !was) << l.key;
      EXPECT_FALSE(shown(10)) << l.key;  // the MD-11 panel has no AUX key
    }
  }

  for (auto [key, event] : {std::pair{"CRS_DOWN", 0x1007Eu}, {"CRS_UP", 0x1007Fu}}) {
    const sim::MouseArea* a = a300.AreaOf(key);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->flags, MOUSE_LEFTSINGLE_REPEAT) << key;
    EXPECT_EQ(a->cursor, key[4] == 'D' ? CURSOR_DOWNARROW : CURSOR_UPARROW) << key;
    host.key_events.clear();
    for (int held = 0; held < 3; ++held) a300.Press(key);
    EXPECT_EQ(host.key_events, (std::vector<std::pair<std::uint32_t, std::uint32_t>>(3, {event, 0}))) << key;
  }
}

}  // namespace
}  // namespace ovi::nd::test
