// The DU-1000's text fields: dashes at their limits, the radio and course
// fields by mode, the active waypoint with its distance placed by length,
// the range ring values and the wind with its arrow.
#include <vector>

#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

TEST_F(Du1000Test, SpeedsRangeValuesAndWind) {
  struct Case {
    double gs, tas, range, wind_dir, wind_speed, heading;
    const char *gs_text, *tas_text, *outer, *inner, *wind;
    double turn;  // of the wind arrow; NAN: none
  } cases[] = {
      {0.5, 0.0, 60, 90, 0.9, 0, "---", "---", " 40", " 20", "---/---", NAN},
      {1.0, -3, 240, 90, 12, 0, "  1", "---", "160", " 80", "090/12 ", 270},
      {999.6, 0.4, 0.05, 90, 1.0, 90, "1000", "  0", "0.033", "0.017", "090/1  ", 180},
      {300, 250, 60, 200, 25, 0, "300", "250", " 40", " 20", "200/25 ", 20},  // 380 is above 360
      {300, 250, 60, 180, 25, 10, "300", "250", " 40", " 20", "180/25 ", 350},  // 360 stays
  };
  for (const Case& c : cases) {
    G().GroundSpeedKnots = c.gs;
    G().TrueAirspeedEstimate = c.tas;
    M().Du1000EhsiRange = c.range;
    G().WindDirectionMagnetic = c.wind_dir;
    G().WindSpeed = c.wind_speed;
    G().AircraftHeading = c.heading;
    Draw(1);
    EXPECT_TRUE(TextAt(c.gs_text, At(40, 0)) && TextAt(c.tas_text, At(40, 15))) << c.gs << " " << c.tas;
    EXPECT_TRUE(TextAt(c.outer, At(12, 162)) && TextAt(c.inner, At(68, 217))) << c.range;
    EXPECT_TRUE(TextAt(c.wind, At(0, 295))) << c.wind;
    const auto heads = Ops(OpKind::Polygon, colour::kGreen, 1);
    ASSERT_EQ(heads.size(), std::isnan(c.turn) ? 0u : 1u) << c.wind;
    if (std::isnan(c.turn)) continue;
    EXPECT_TRUE(Near(heads[0]->points[0], At(0, -8, 20, 285, c.turn))) << c.wind;
    EXPECT_TRUE(HasLine(colour::kGreen, At(0, 8, 20, 285, c.turn), At(0, -8, 20, 285, c.turn), 1.0f));
  }
  Draw(0);
  EXPECT_FALSE(Has(" 40"));  // no range values on the full rose
}

// Radio fields in mode 0 only, the course in modes 0 and 1.
TEST_F(Du1000Test, RadioAndCourseFieldsByMode) {
  G().SelectedCourse = 5.4;
  const char* course = "005\xC2\xB0";
  Radio(1.0, 0xC0, 0x1090);
  Draw(0);
  EXPECT_TRUE(TextAt("ILS", At(150, 0)) && TextAt("G/S", At(290, 45)) && TextAt("110.90", At(140, 15)) &&
              TextAt(course, At(280, 0)));
  Radio(1.0, 0x00, 0x1090);
  Draw(0);
  EXPECT_TRUE(TextAt("VOR", At(150, 0)) && !Has("110.90") && !Has("G/S"));
  Draw(1);
  EXPECT_TRUE(TextAt(course, At(280, 0)) && !TextAt("VOR", At(150, 0)));
  Draw(3);
  EXPECT_TRUE(!Has("CRS") && !Has(course));
}

// The distance starts 5.8 units further left for each character beyond two;
// the ident is read within the route only and cut to its field.
TEST_F(Du1000Test, ActiveWaypointFieldsInModeThree) {
  flightplan::State& f = flightplan::flightplan_state;
  f.ActiveFlightPlan[0].ident = "KSEA";
  f.ActiveFlightPlan[1].ident = "OLMPIAVOR";
  f.ActiveFlightPlanLastIndex = 1;
  f.ActiveWaypointIndex = 1;
  G().BearingToActiveWaypoint = 207.0;
  for (auto [distance, text, x] : {std::tuple{0.4, "0NM", 278.2}, {12.0, "12NM", 272.4}, {123.4, "123NM", 266.6}}) {
    G().ActiveWaypointDistance = distance;
    Draw(3);
    EXPECT_TRUE(TextAt(text, At(x, 24))) << text;
  }
  EXPECT_TRUE(TextAt("OLMPIAV", At(255, 0)) && TextAt("207\xC2\xB0", At(270, 12)));
  for (int index : {2, -1, 999}) {
    f.ActiveWaypointIndex = index;
    Draw(3);
    EXPECT_TRUE(!Has("KSEA") && !Has("OLMPIAV")) << index;
    EXPECT_EQ(TextAt("", At(255, 0)) && Has("207\xC2\xB0"), index != 999) << index;
  }
}

}  // namespace
}  // namespace ovi::ehsi::test
