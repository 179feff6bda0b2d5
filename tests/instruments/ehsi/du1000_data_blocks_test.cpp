// The DU-1000's text fields: dashes at their limits, the radio and course
// fields by mode, the active waypoint with its distance placed by length,
// the range ring values and the wind with its arrow.
#include <vector>

#include "src/display/kit.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

TEST_F(Du1000Test, SpeedsAndTheirDashes) {
  struct Case {
    double gs, tas;
    const char *gs_text, *tas_text;
  } cases[] = {
      {0.5, 0.0, "---", "---"}, {1.0, -3.0, "  1", "---"}, {999.6, 0.4, "1000", "  0"}, {-2.0, 250.0, "---", "250"},
  };
  for (const Case& c : cases) {
    guidance().GroundSpeedKnots = c.gs;
    guidance().TrueAirspeedEstimate = c.tas;
    Draw(3);
    const std::vector<gfx::Recorder::TextItem> texts = rec.Texts();
    auto at = [&](double x, double y) -> std::string {
      for (const auto& t : texts)
        if (std::fabs(t.x - x * sx) < 0.01 && std::fabs(t.y - y * sy) < 0.01) return t.text;
      return "(none)";
    };
    EXPECT_EQ(at(40, 0), c.gs_text) << c.gs;
    EXPECT_EQ(at(40, 15), c.tas_text) << c.tas;
    EXPECT_EQ(Text("GS").font_size, 12.0f);
    EXPECT_EQ(Text("TAS").color, colour::kGreen);
  }
}

TEST_F(Du1000Test, RadioAndCourseFieldsByMode) {
  guidance().SelectedCourse = 5.4;
  struct Case {
    int mode;
    double flags;
    std::vector<const char*> shown, hidden;
  } cases[] = {
      {0, 0x00, {"VOR", "CRS", "005\xC2\xB0"}, {"G/S", "110.90"}},
      {0, 0xC0, {"ILS", "G/S", "110.90"}, {"VOR"}},
      {0, 0x80, {"LOC", "110.90"}, {"G/S"}},
      {1, 0x00, {"CRS", "005\xC2\xB0"}, {}},
      {3, 0xC0, {}, {"ILS", "CRS", "110.90"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.mode << " " << c.flags);
    Radio(1.0, c.flags, 0x1090);
    Draw(c.mode);
    for (const char* s : c.shown) EXPECT_TRUE(Has(s)) << s;
    for (const char* s : c.hidden) EXPECT_FALSE(Has(s)) << s;
  }
  Radio(1.0, 0xC0, 0x1090);
  Draw(0);
  ExpectAt(Text("ILS"), At(150, 0));
  ExpectAt(Text("G/S"), At(290, 45));
  ExpectAt(Text("110.90"), At(140, 15));
  ExpectAt(Text("005\xC2\xB0"), At(280, 0));
  EXPECT_EQ(Text("G/S").color, colour::kBlue);
  Radio(0.0, 0xC0, 0x1090);
  Draw(0);
  EXPECT_FALSE(Has("ILS"));
}

// The distance ends near the right edge: 5.8 units further left for each
// character beyond two.
TEST_F(Du1000Test, ActiveWaypointFieldsInModeThree) {
  plan().ActiveFlightPlan[0].ident = "KSEA";
  plan().ActiveFlightPlan[1].ident = "OLMPIAVOR";
  plan().ActiveFlightPlanLastIndex = 1;
  plan().ActiveWaypointIndex = 1;
  guidance().BearingToActiveWaypoint = 207.0;
  struct Case {
    double distance;
    const char* text;
    double x;
  } cases[] = {{0.4, "0NM", 278.2}, {12.0, "12NM", 272.4}, {123.4, "123NM", 266.6}, {-7.0, "-7NM", 272.4}};
  for (const Case& c : cases) {
    guidance().ActiveWaypointDistance = c.distance;
    Draw(3);
    ExpectAt(Text(c.text), At(c.x, 24));
  }
  ExpectAt(Text("OLMPIAV"), At(255, 0));  // cut to its field
  ExpectAt(Text("207\xC2\xB0"), At(270, 12));
  EXPECT_EQ(Text("207\xC2\xB0").font_size, 12.0f);

  for (int index : {2, -1}) {  // outside the route: no ident
    plan().ActiveWaypointIndex = index;
    Draw(3);
    EXPECT_FALSE(Has("KSEA"));
    EXPECT_TRUE(Has("207\xC2\xB0"));
  }
  plan().ActiveWaypointIndex = 999;
  Draw(3);
  EXPECT_FALSE(Has("207\xC2\xB0"));
  EXPECT_TRUE(Has(" 40"));  // the range values and the wind remain
  EXPECT_TRUE(Has("---/---"));
}

TEST_F(Du1000Test, RangeRingValues) {
  struct Case {
    double range;
    const char *outer, *inner;
  } cases[] = {{60.0, " 40", " 20"}, {240.0, "160", " 80"}, {0.05, "  0", "  0"}};
  for (const Case& c : cases) {
    model().Du1000EhsiRange = c.range;
    for (int mode : {1, 3}) {
      Draw(mode);
      const auto texts = rec.Texts();
      int outer = 0, inner = 0;
      for (const auto& t : texts) {
        outer += t.text == c.outer && std::fabs(t.x - 12 * sx) < 0.01 && std::fabs(t.y - 162 * sy) < 0.01;
        inner += t.text == c.inner && std::fabs(t.x - 68 * sx) < 0.01 && std::fabs(t.y - 217 * sy) < 0.01;
      }
      EXPECT_EQ(outer, 1) << c.range << " mode " << mode;
      EXPECT_EQ(inner, 1) << c.range << " mode " << mode;
    }
  }
  Draw(0);
  EXPECT_FALSE(Has(" 40"));
}

// The arrow points where the wind blows to, turned by the heading.
TEST_F(Du1000Test, WindTextAndArrow) {
  struct Case {
    double direction, speed, heading;
    const char* text;
    double turn;  // of the arrow; NAN: none
  } cases[] = {
      {90, 0.9, 0, "---/---", NAN},
      {90, 12, 0, "090/12 ", 270},
      {90, 1.0, 90, "090/1  ", 180},
      {200, 25, 0, "200/25 ", 20},     // 380 is above 360: 20
      {180, 25, 10, "180/25 ", 350},   // 360 stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    guidance().WindDirectionMagnetic = c.direction;
    guidance().WindSpeed = c.speed;
    guidance().AircraftHeading = c.heading;
    Draw(1);
    ExpectAt(Text(c.text), At(0, 295));
    const auto heads = Ops(OpKind::Polygon, colour::kGreen, 1);
    ASSERT_EQ(heads.size(), std::isnan(c.turn) ? 0u : 1u);
    if (std::isnan(c.turn)) continue;
    ExpectAt(heads[0]->points[0], At(0, -8, 20, 285, c.turn));
    EXPECT_TRUE(HasLine(colour::kGreen, At(0, 8, 20, 285, c.turn), At(0, -8, 20, 285, c.turn)));
  }
}

}  // namespace
}  // namespace ovi::ehsi::test
