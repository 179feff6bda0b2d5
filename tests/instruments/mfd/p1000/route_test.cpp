// The route and the active-waypoint data box. Arc format at 12.5 NM: 4.24
// units a NM about (134, 148); centred: 6 units a NM about (134, 116).
// ScreenX / ScreenY are eighths of a device pixel.
#include <array>

#include "tests/instruments/mfd/p1000/p1000_test_support.h"

namespace ovi::p1000::test {
namespace {

class RouteTest : public P1000Test {
 public:
  void SetUp() override {
    P1000Test::SetUp();
    Waypoint(0, "AAA", -5.0);
    Waypoint(1, "BBB", 5.0);
    Waypoint(2, "CCC", 10.0);
    plan().ActiveWaypointIndex = 1;
  }
  // The route's legs of a colour (2 units wide: 16 eighths).
  std::vector<const gfx::RecordedOp*> Legs(gfx::ARGB c) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, c))
      if (op->pen_width == 16.0f) out.push_back(op);
    return out;
  }
  void ExpectLeg(gfx::ARGB c, std::size_t i, double x1, double y1, double x2, double y2) const {
    ASSERT_GT(Legs(c).size(), i);
    ExpectNear(Legs(c)[i]->points[0], x1, y1);
    ExpectNear(Legs(c)[i]->points[1], x2, y2);
  }
};

TEST_F(RouteTest, ArcFormatFromTheAircraftWithItsPlacesForTheLabels) {
  Draw();  // 5 NM: 21.2 units, 169.6 eighths
  EXPECT_EQ(plan().ActiveFlightPlan[1].screen_x, 1072);
  EXPECT_EQ(plan().ActiveFlightPlan[1].screen_y, 1184 - 169);
  EXPECT_EQ(plan().ActiveFlightPlan[2].screen_y, 1184 - 339);
  EXPECT_EQ(Legs(colour::kWhite).size(), 2u);
  ExpectLeg(colour::kWhite, 0, 134, 148, 134, 126.875);
  ExpectLeg(colour::kWhite, 1, 134, 126.875, 134, 105.75);
  ExpectTextIn(colour::kMagenta, "BBB", 141, 120.875);
  EXPECT_EQ(Colour("CCC"), colour::kWhite);
  EXPECT_FALSE(rec.FindText("AAA"));
}

TEST_F(RouteTest, LegFromItsStartOnlyFromFiveNmWithAPreviousWaypoint) {
  model().DispPrevWpt = 1;
  for (const auto& [range, active, shown] : {std::tuple{2.5, 1, 0u}, {5.0, 0, 0u}, {5.0, 1, 1u}}) {
    model().P1000MapRange = range;
    plan().ActiveWaypointIndex = active;
    Draw();
    EXPECT_EQ(Legs(colour::kYellow).size(), shown) << range << " " << active;
    EXPECT_EQ(Texts(colour::kYellow).size(), shown);
  }
  // 10.6 units a NM: AAA to BBB dashed, AAA labelled yellow; from where
  // LNAV was engaged, 2 NM east, the leg starts there, and so does the
  // label, 3 NM south of the aircraft (2 NM east it met the range's box).
  ExpectLeg(colour::kYellow, 0, 134, 201, 134, 95);
  EXPECT_EQ(Legs(colour::kYellow)[0]->dash, gfx::DashStyle::Dash);
  guidance().ActiveLegFromEngagePosition = 1;
  guidance().LegOriginLatitude = North(0.0);
  guidance().LegOriginLongitude = -20.0 + 2.0 / 60.0 / std::cos(10.0 * M_PI / 180.0);
  Draw();
  ExpectLeg(colour::kYellow, 0, 155.2, 148, 134, 95);
  guidance().LegOriginLatitude = North(-3.0);
  guidance().LegOriginLongitude = -20.0;
  Draw();
  ExpectLeg(colour::kYellow, 0, 134, 179.8, 134, 95);
  ExpectText("AAA", 141, 173.8);
}

TEST_F(RouteTest, MarkersBreakTheLineAndStalePlacesAreNeverLabelled) {
  model().DispPrevWpt = 1;
  model().P1000MapRange = 5.0;
  Waypoint(2, "DISCO", 0.0).latitude = 0.0;
  Waypoint(3, "DDD", 15.0);
  Draw();
  EXPECT_EQ(Legs(colour::kWhite).size(), 1u);  // the aircraft to BBB only
  EXPECT_FALSE(rec.FindText("DISCO"));
  EXPECT_TRUE(rec.FindText("DDD"));
  plan().ActiveWaypointIndex = 2;  // the marker: BBB's place is last frame's
  Draw();
  EXPECT_FALSE(rec.FindText("BBB"));
}

TEST_F(RouteTest, CentredFormatNorthUpAboutTheActiveWaypoint) {
  model().P1000MapFormat = kCentredFormat;
  guidance().AircraftHeading = guidance().MapHeading = 90.0;
  Draw();
  EXPECT_EQ(plan().ActiveFlightPlan[1].screen_y, 116 * 8);
  ExpectLeg(colour::kWhite, 0, 134, 176, 134, 116);  // AAA to BBB
  ExpectLeg(colour::kWhite, 1, 134, 116, 134, 86);
  EXPECT_EQ(Colour("AAA"), colour::kWhite);
  // The own aircraft 5 NM south of BBB, turned by its heading (m12 = sin 90).
  bool aircraft = false;
  for (const gfx::RecordedOp& op : rec.Ops())
    aircraft |= std::abs(op.matrix[4] - 134) < 0.01 && std::abs(op.matrix[5] - 146) < 0.01 && op.matrix[1] > 0.999f;
  EXPECT_TRUE(aircraft);
}

TEST_F(RouteTest, DataBoxByTableOnFullFramesAndChangedValues) {
  for (const auto& [nm, text, x] :
       {std::tuple{0.0, "0.0", 218.0f}, {12.34, "12.3", 210.0f}, {123.4, "123.4", 202.0f}, {1234.5, "1234.5", 194.0f},
        {12345.6, "12345.6", 187.0f}, {1e6, "99999.9", 187.0f}, {NAN, "0.0", 218.0f}}) {
    EXPECT_STREQ(P1000DistanceText(nm).text, text);
    EXPECT_EQ(P1000DistanceText(nm).x, x) << text;
  }
  for (const auto& [nm, kt, text, x] :
       {std::tuple{5.0, 60.0, "5", 229.0f}, {45.0, 60.0, "45", 222.0f}, {456.0, 60.0, "456", 214.0f},
        {4567.0, 60.0, "4567", 206.0f}, {12345.0, 60.0, "9999", 206.0f}, {100.0, 25.0, "0", 229.0f},
        {30.0, 25.5, "71", 222.0f}}) {
    EXPECT_STREQ(P1000MinutesText(nm, kt).text, text);
    EXPECT_EQ(P1000MinutesText(nm, kt).x, x) << text;
  }
  plan().ActiveFlightPlan[1].ident = "BBBBBBBBBBB";
  guidance().ActiveWaypointDistance = guidance().SavedActiveWaypointDistance = 12.3;
  Draw();
  EXPECT_TRUE(rec.FindText("FMS") && rec.FindText("MIN") && rec.FindText("BBBBB") && rec.FindText("BBBBBBBBB"));
  ExpectText("12.3", 210, 13);
  guidance().DisplayRefreshCounter = 40;
  Draw();
  EXPECT_FALSE(rec.FindText("FMS") || rec.FindText("12.3") || rec.FindText("BBBBB"));
  guidance().ActiveWaypointDistance = 12.2;
  guidance().MinutesToActiveWaypoint = 1.0;
  Draw();
  EXPECT_TRUE(rec.FindText("12.2") && rec.FindText("0") && !rec.FindText("MIN"));
}

}  // namespace
}  // namespace ovi::p1000::test
