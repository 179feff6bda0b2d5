// The route and the active-waypoint data box. Arc format: the aircraft at
// (134, 148), 53 units for the range; centred: the active waypoint at
// (134, 116), 75 units. ScreenX / ScreenY are eighths of a device pixel.
#include "tests/instruments/mfd/p1000/p1000_test_support.h"

namespace ovi::p1000::test {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

class RouteTest : public P1000Test {
 public:
  void SetUp() override {
    P1000Test::SetUp();
    Waypoint(0, "AAA", -5.0);
    Waypoint(1, "BBB", 5.0);
    Waypoint(2, "CCC", 10.0);
    plan().ActiveWaypointIndex = 1;
  }
  // The route's legs of a colour (their pen: 2 units, 16 eighths) as (x1,
  // y1, x2, y2).
  std::vector<std::array<float, 4>> Lines(gfx::ARGB c) const {
    std::vector<std::array<float, 4>> out;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, c))
      if (op->pen_width == 16.0f) out.push_back({op->points[0].X, op->points[0].Y, op->points[1].X, op->points[1].Y});
    return out;
  }
};

void ExpectLine(const std::array<float, 4>& l, double x1, double y1, double x2, double y2) {
  ExpectNear(l[0], l[1], x1, y1);
  ExpectNear(l[2], l[3], x2, y2);
}

TEST_F(RouteTest, ArcFormatFromTheAircraftWithItsPlacesForTheLabels) {
  Draw();  // 12.5 NM: 4.24 units a NM, 5 NM is 21.2 units, 169.6 eighths
  const model::FlightPlanWaypoint &b = plan().ActiveFlightPlan[1], &c = plan().ActiveFlightPlan[2];
  EXPECT_EQ(b.screen_x, 1072);
  EXPECT_EQ(b.screen_y, 1184 - 169);
  EXPECT_EQ(c.screen_y, 1184 - 339);
  const auto white = Lines(colour::kWhite);
  ASSERT_EQ(white.size(), 2u);
  ExpectLine(white[0], 134, 148, 134, 126.875);
  ExpectLine(white[1], 134, 126.875, 134, 105.75);
  ExpectNear(Text("BBB").x, Text("BBB").y, 141, 120.875);
  EXPECT_EQ(Text("BBB").color, colour::kMagenta);
  EXPECT_EQ(Text("CCC").color, colour::kWhite);
  EXPECT_FALSE(rec.FindText("AAA"));
  EXPECT_TRUE(Lines(colour::kYellow).empty());
}

TEST_F(RouteTest, LegFromItsStartOnlyFromFiveNmWithAPreviousWaypoint) {
  model().DispPrevWpt = 1;
  struct Case {
    double range;
    int active;
    bool shown;
  };
  for (const Case& c : {Case{2.5, 1, false}, {5.0, 1, true}, {5.0, 0, false}}) {
    model().P1000MapRange = c.range;
    plan().ActiveWaypointIndex = c.active;
    Draw();
    EXPECT_EQ(Lines(colour::kYellow).size(), c.shown ? 1u : 0u) << c.range << " " << c.active;
    EXPECT_EQ(Texts(colour::kYellow).size(), c.shown ? 1u : 0u);
  }
  // 10.6 units a NM at 5 NM: AAA to BBB, dashed, and AAA labelled yellow.
  plan().ActiveWaypointIndex = 1;
  Draw();
  ExpectLine(Lines(colour::kYellow)[0], 134, 148 + 53, 134, 148 - 53);
  EXPECT_EQ(Ops(OpKind::Line, colour::kYellow)[0]->dash, gfx::DashStyle::Dash);
  EXPECT_EQ(Text("AAA").color, colour::kYellow);
  // From where LNAV was engaged, 2 NM east: the previous label goes there.
  guidance().ActiveLegFromEngagePosition = 1;
  guidance().LegOriginLatitude = North(0.0);
  guidance().LegOriginLongitude = Lon() + 2.0 / 60.0 / std::cos(10.0 * M_PI / 180.0);
  Draw();
  ExpectLine(Lines(colour::kYellow)[0], 134 + 21.2, 148, 134, 148 - 53);
  ExpectNear(Text("AAA").x, Text("AAA").y, 134 + 21.2 + 7, 148 - 6);
}

TEST_F(RouteTest, MarkersBreakTheLineAndStalePlacesAreNeverLabelled) {
  model().DispPrevWpt = 1;
  model().P1000MapRange = 5.0;
  Waypoint(2, "DISCO", 0.0).latitude = 0.0;
  Waypoint(3, "DDD", 15.0);
  Draw();
  // Aircraft to BBB, nothing into or out of the marker, DDD unlinked.
  EXPECT_EQ(Lines(colour::kWhite).size(), 1u);
  EXPECT_FALSE(rec.FindText("DISCO"));
  EXPECT_TRUE(rec.FindText("DDD"));
  // BBB's place is last frame's once the marker is active: not labelled.
  plan().ActiveWaypointIndex = 2;
  Draw();
  EXPECT_TRUE(Texts(colour::kYellow).empty());
  EXPECT_FALSE(rec.FindText("BBB"));
}

TEST_F(RouteTest, CentredFormatNorthUpAboutTheActiveWaypoint) {
  model().P1000MapFormat = kCentredFormat;
  Aircraft(-10.0, -20.0, 90.0);  // heading east: the map stays north up
  Draw();                        // 6 units a NM
  const model::FlightPlanWaypoint& b = plan().ActiveFlightPlan[1];
  EXPECT_EQ(b.screen_x, 134 * 8);
  EXPECT_EQ(b.screen_y, 116 * 8);
  const auto white = Lines(colour::kWhite);
  bool aaa_bbb = false, bbb_ccc = false;
  for (const auto& l : white) {
    aaa_bbb |= std::abs(l[1] - 176) < 0.6 && std::abs(l[3] - 116) < 0.6;
    bbb_ccc |= std::abs(l[1] - 116) < 0.6 && std::abs(l[3] - 86) < 0.6;
  }
  EXPECT_TRUE(aaa_bbb && bbb_ccc);
  EXPECT_EQ(Text("AAA").color, colour::kWhite);
  EXPECT_EQ(Text("BBB").color, colour::kMagenta);
  // The own aircraft 5 NM south of BBB, turned by its heading.
  bool aircraft = false;
  for (const gfx::RecordedOp& op : rec.Ops())
    aircraft |= std::abs(op.matrix[4] - 134) < 0.01 && std::abs(op.matrix[5] - 146) < 0.01 &&
                std::abs(op.matrix[1] - 1.0f) < 1e-4;  // m12 = sin 90
  EXPECT_TRUE(aircraft);
}

TEST_F(RouteTest, DataBoxTextsRightAlignedByTable) {
  struct Distance {
    double nm;
    const char* text;
    float x;
  };
  for (const Distance& d : {Distance{0.0, "0.0", 218}, {12.34, "12.3", 210}, {123.4, "123.4", 202},
                            {1234.5, "1234.5", 194}, {12345.6, "12345.6", 187}, {1e6, "99999.9", 187},
                            {NAN, "0.0", 218}}) {
    const BoxText t = P1000DistanceText(d.nm);
    EXPECT_STREQ(t.text, d.text);
    EXPECT_EQ(t.x, d.x) << d.text;
  }
  struct Minutes {
    double nm, kt;
    const char* text;
    float x;
  };
  for (const Minutes& m : {Minutes{5, 60, "5", 229}, {45, 60, "45", 222}, {456, 60, "456", 214},
                           {4567, 60, "4567", 206}, {12345, 60, "9999", 206}, {100, 25, "0", 229},
                           {30, 25.5, "71", 222}}) {
    EXPECT_STREQ(P1000MinutesText(m.nm, m.kt).text, m.text);
    EXPECT_EQ(P1000MinutesText(m.nm, m.kt).x, m.x) << m.text;
  }
}

TEST_F(RouteTest, DataBoxRepaintsOnFullFramesAndChangedValues) {
  plan().ActiveFlightPlan[1].ident = "BBBBBBBBBBB";
  guidance().ActiveWaypointDistance = guidance().SavedActiveWaypointDistance = 12.3;
  Draw();
  EXPECT_TRUE(rec.FindText("FMS") && rec.FindText("NM") && rec.FindText("MIN") && rec.FindText("12.3"));
  EXPECT_TRUE(rec.FindText("BBBBB"));      // the box: five characters
  EXPECT_TRUE(rec.FindText("BBBBBBBBB"));  // the map: nine
  ExpectNear(Text("12.3").x, Text("12.3").y, 210, 13);

  guidance().DisplayRefreshCounter = 40;
  Draw();  // nothing changed
  EXPECT_FALSE(rec.FindText("FMS") || rec.FindText("12.3") || rec.FindText("BBBBB"));
  guidance().ActiveWaypointDistance = 12.2;
  guidance().MinutesToActiveWaypoint = 1.0;
  Draw();
  EXPECT_TRUE(rec.FindText("12.2") && rec.FindText("0"));
  EXPECT_FALSE(rec.FindText("FMS") || rec.FindText("MIN"));
}

}  // namespace
}  // namespace ovi::p1000::test
