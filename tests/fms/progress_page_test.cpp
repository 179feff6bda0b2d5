// PROGRESS and RTA PROGRESS: the rows by their conditions, distances placed
// by their length, arrival times and predicted fuel on a hand-built route
// (1 degree of latitude = 60 NM), the blended speed, wind components, the
// vertical deviation and the keys.
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/arrival_time.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/progress.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"
#include "tests/host/fake_panels.h"
#include "tests/support/turning_route.h"

namespace ovi::fms::test {
namespace {

TEST(ProgressFiguresTest, BlendedSpeedAtAndAroundTheHundredMiles) {
  struct Case {
    double distance, ground_speed, descent_speed, expected;
  };
  const Case cases[] = {
      {50.0, 450.0, 250.0, 450.0},
      {100.0, 450.0, 250.0, 450.0},  // 100 NM or closer: the ground speed alone
      {300.0, 450.0, 250.0, (200.0 * 450.0 + 250.0 * 0.8 * 100.0) / 300.0},
      {101.0, 450.0, 250.0, (1.0 * 450.0 + 20000.0) / 101.0},
      {0.0, 0.0, 250.0, 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(BlendedArrivalSpeed(c.distance, c.ground_speed, c.descent_speed), c.expected) << c.distance;
  }
}

TEST(ProgressFiguresTest, PredictedFuelInBothUnits) {
  // 120 NM at 480 kt: 15 minutes at 4000 lb/h burn 1000 lb of 20000.
  EXPECT_DOUBLE_EQ(PredictedFuel(120.0, 480.0, 1.0, 4000.0, 20000.0, false), 19.0);
  EXPECT_DOUBLE_EQ(PredictedFuel(120.0, 480.0, 1.0, 4000.0, 20000.0, true), 19000.0 * 0.45359237 * 0.001);
  EXPECT_DOUBLE_EQ(PredictedFuel(120.0, 480.0, 0.5, 4000.0, 20000.0, false), 19.5);
  // No speed: nothing burned, no division.
  EXPECT_DOUBLE_EQ(PredictedFuel(120.0, 0.0, 1.0, 4000.0, 20000.0, false), 20000.0);
}

TEST(ProgressFiguresTest, WindComponentsEitherSideOfZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double head, cross;
    int along, across;
    const char* side;
  };
  const Case cases[] = {
      {12.9, -7.9, 12, 7, "R"}, {-12.9, 7.9, 12, 7, "L"}, {0.4, 0.9, 0, 0, ""},
      {-0.9, -0.9, 0, 0, ""},   {nan, -inf, 0, 0, ""},     {1e12, -1e12, 2147483647, 2147483647, "R"},
  };
  for (const Case& c : cases) {
    const WindComponents w = WindComponentsShown(c.head, c.cross);
    EXPECT_EQ(w.along, c.along) << c.head;
    EXPECT_EQ(w.across, c.across) << c.cross;
    EXPECT_STREQ(w.side, c.side) << c.cross;
  }
  // Standard at 30000 ft: 15 - 59.4 = -44.4 C.
  EXPECT_EQ(IsaDeviation(-30.0, 30000.0), 14);
  EXPECT_EQ(IsaDeviation(-45.0, 30000.0), 0);  // -0.6 truncates to 0
  EXPECT_EQ(IsaDeviation(-60.0, 30000.0), -15);
  EXPECT_EQ(IsaDeviation(20.0, 0.0), 5);
  EXPECT_EQ(IsaDeviation(nan, 30000.0), 0);
  EXPECT_EQ(IsaDeviation(-30.0, inf), 0);
}

// A route due south along 70 W, south of the equator, 60 NM a leg:
// WP0 30 S, WP1 31 S, ... WP4 34 S; the aircraft at 30.5 S, WP1 active.
class ProgressPageTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    host_.Bind();
    fms_state.FmsPage = kPageProgress;
    flightplan::State& f = flightplan::flightplan_state;
    for (int i = 0; i <= 4; ++i) {
      f.ActiveFlightPlan[i].ident = "WP" + std::to_string(i);
      f.ActiveFlightPlan[i].latitude = -30.0 - i;
      f.ActiveFlightPlan[i].longitude = -70.0;
    }
    f.ActiveFlightPlanLastIndex = 4;
    f.ActiveWaypointIndex = 1;
    guidance::State& g = guidance::guidance_state;
    g.PlaneLatitude = -30.5;
    g.PlaneLongitude = -70.0;
    g.ActiveWaypointDistance = 30.0;
    g.BearingToActiveWaypoint = g.GroundTrack = 190.0;
    g.MagneticVariation = -10.0;
    g.GroundSpeedKnots = 480.0;
    g.ZuluHour = 14.0;
    g.ZuluMinute = 5.0;
    g.WindDirectionMagnetic = 250.0;
    g.WindSpeed = 15.0;
    model::model_state.DescentSpeed = 250;
    host_.tokens[421] = 3000.0;  // lb/h, one engine
    host_.tokens[386] = 3000.0;  // 3000 gallons of 6.7 lb: 20100 lb on board
    host_.tokens[306] = 6.7;
  }
  ovi::testing::FakeHost host_;
};

TEST_F(ProgressPageTest, RowsTimesAndFuelAtTwoSizes) {
  for (auto [w, h] : {std::pair{282, 245}, std::pair{284, 233}}) {
    Frame f = DrawFrame(w, h);
    f.ExpectText("PROGRESS", 63, 0);
    f.ExpectText("1 / 3", 230, 5, 12);
    f.ExpectText("F R O M          A L T              A T A     F U E L", 12, 22, 12);
    EXPECT_FALSE(f.Find("FL"));  // row 1 waits for the second waypoint
    f.ExpectText("D T G              E T A     F U E L", 92, 55, 12);
    // Row 2: 30 NM, 3.75 min at 480 kt, 187.5 lb burned.
    f.ExpectText("190 \xC2\xB0", 30, 53, 15);
    f.ExpectText("WP1  ", 0, 66);
    f.ExpectText("30", 102, 66);
    f.ExpectText("1408Z", 160, 66);
    f.ExpectText("19.9", 227, 66);
    // Row 3: 60 + 30 NM, 11.25 min; the leg's course 180 true is 190 magnetic.
    EXPECT_TRUE(f.FindAt("190 \xC2\xB0", 30, 86));
    f.ExpectText("WP2  ", 0, 99);
    f.ExpectText("90", 102, 99);
    f.ExpectText("1416Z", 160, 99);
    f.ExpectText("19.5", 227, 99);
    // Row 4: 90 + 120 = 210 NM at (110 x 480 + 250 x 0.8 x 100) / 210 kt,
    // 36.35 min; the burn 3000 x 210 / 480 = 1312.5 lb.
    f.ExpectText("WP4  ", 0, 131);
    f.ExpectText("210", 92, 131);
    f.ExpectText("1441Z", 160, 131);
    f.ExpectText("18.8", 227, 131);
    f.ExpectText("F U E L    Q T Y", 180, 151, 12);
    f.ExpectText("20.1", 200, 166);
    f.ExpectText("W I N D         I R S  (   )", 12, 188, 12);
    f.ExpectText("250\xC2\xB0 /  15", 0, 198);
    f.ExpectText("NAV  STATUS >", 140, 198);
    ExpectLegible(f);
  }
}

TEST_F(ProgressPageTest, RowsByTheirConditions) {
  flightplan::State& fp = flightplan::flightplan_state;
  guidance::State& g = guidance::guidance_state;
  // Past the second waypoint: the passage row, its altitude by TransAlt
  // (18000): 17999 in feet, 18000 as a flight level.
  fp.ActiveWaypointIndex = 2;
  g.LastWaypointIdent = "WP1";
  g.LastWaypointAltitude = 17999.0;
  g.LastWaypointTimeText = "1402z";
  g.LastWaypointFuel = 19940.0;
  g.ActiveWaypointDistance = 5.0;
  Frame f = DrawFrame();
  f.ExpectText("WP1  ", 0, 33);
  f.ExpectText("17999", 72, 33);
  f.ExpectText("1402z", 160, 33);
  f.ExpectText("19.9", 227, 33);
  f.ExpectText("5", 112, 66);
  g.LastWaypointAltitude = 18000.0;
  f = DrawFrame();
  f.ExpectText("FL180", 72, 33);
  ExpectLegible(f);

  // The one before the last: no row 3, row 4 through it (at 32.5 S: 30 NM
  // to WP3 and 60 on to WP4, the ground speed alone).
  fp.ActiveWaypointIndex = 3;
  g.PlaneLatitude = -32.5;
  g.ActiveWaypointDistance = 30.0;
  f = DrawFrame();
  EXPECT_FALSE(f.FindAt("WP4  ", 0, 99));
  EXPECT_FALSE(f.FindAt("190 \xC2\xB0", 30, 86));
  f.ExpectText("WP3  ", 0, 66);
  f.ExpectText("WP4  ", 0, 131);
  f.ExpectText("90", 102, 131);
  f.ExpectText("1416Z", 160, 131);

  // No active waypoint: no passage row, no ident, times or fuel on row 2,
  // no row 3; row 4 from the aircraft to the last waypoint.
  fp.ActiveWaypointIndex = model::kNoWaypoint;
  f = DrawFrame();
  EXPECT_FALSE(f.FindAt("WP1  ", 0, 33));
  EXPECT_FALSE(f.Find("WP3  "));
  EXPECT_FALSE(f.Find("1416Z"));
  EXPECT_FALSE(f.Find("1408Z"));
  f.ExpectText("WP4  ", 0, 131);
  f.ExpectText("90", 102, 131);
  ExpectLegible(f);

  // A one-entry route and no route: no rows 2 to 4 at all.
  for (int last : {0, -1}) {
    fp.ActiveFlightPlanLastIndex = last;
    fp.ActiveWaypointIndex = 0;
    f = DrawFrame();
    EXPECT_FALSE(f.Find("WP0  ")) << last;
    EXPECT_FALSE(f.FindAt("5", 112, 66)) << last;
    f.ExpectText("20.1", 200, 166);
  }
}

TEST_F(ProgressPageTest, SpeedGatesCarriesAndUnits) {
  guidance::State& g = guidance::guidance_state;
  // 75 kt: no time on rows 2 and 3; row 4's blended speed
  // (110 x 75 + 20000) / 210 = 134.5 kt still times it: 93.67 minutes,
  // 3000 lb/h burn 4683.6 lb.
  g.GroundSpeedKnots = 75.0;
  Frame f = DrawFrame();
  EXPECT_FALSE(f.FindAt("1408Z", 160, 66));
  EXPECT_FALSE(f.Find("19.9"));
  f.ExpectText("1538Z", 160, 131);
  f.ExpectText("15.4", 227, 131);
  // Under 100 NM to go the blended speed is the ground speed: 60 kt shows no
  // time, 61 does (90 NM: 88.5 min).
  flightplan::flightplan_state.ActiveWaypointIndex = 3;
  g.PlaneLatitude = -32.5;
  g.GroundSpeedKnots = 60.0;
  f = DrawFrame();
  EXPECT_FALSE(f.FindAt("1533Z", 160, 131));
  g.GroundSpeedKnots = 61.0;
  f = DrawFrame();
  f.ExpectText("1533Z", 160, 131);

  // Midnight and the hour carry: 23:58 + 3.75 min; local time "L".
  flightplan::flightplan_state.ActiveWaypointIndex = 1;
  g.PlaneLatitude = -30.5;
  g.GroundSpeedKnots = 480.0;
  g.ZuluHour = 23.0;
  g.ZuluMinute = 58.0;
  f = DrawFrame();
  f.ExpectText("0001Z", 160, 66);
  model::model_state.DispETALocalTime = 1;
  g.LocalClockHour = 9.0;
  g.ClockMinute = 56.25;
  f = DrawFrame();
  f.ExpectText("1000L", 160, 66);
  // Kilograms: 20100 lb on board, 19912.5 lb at WP1.
  model::model_state.WeightUnit = "KGS";
  f = DrawFrame();
  f.ExpectText("9.1", 200, 166);
  f.ExpectText("9.0", 227, 66);
}

// The turning route at 300 kt from 14:05 UTC, 3000 lb/h on 20100 lb: 31 NM
// to ACTV (6.2 min); EQTR and DEST along the path LNAV flies round the right
// angles (`Along`), DEST at the blended speed. 20 NM to EAST: the
// discontinuity next, its marker alone.
TEST_F(ProgressPageTest, DistancesAlongATurningRoute) {
  // A row's distance, arrival and fuel for `d` NM at `v` kt, the burn scaled.
  auto row = [](double d, double v, double share) {
    ArrivalTime t;
    EXPECT_TRUE(ArrivalTimeAhead(d, v, false, t));
    return std::vector<std::string>{ScreenText("%.0f", d), ScreenText("%02d%02dZ", t.hour, t.minute),
                                    ScreenText("%3.1f", PredictedFuel(d, v, share, 3000.0, 20100.0, false))};
  };
  for (const auto& [active, to_active, row3] : {std::tuple{2, 31.0, "EQTR "}, std::tuple{4, 20.0, "DISCO"}}) {
    ovi::test::FlyTurningRoute(to_active, 300.0, active);
    const double dest = ovi::test::Along(7), blended = BlendedArrivalSpeed(dest, 300.0, 250);
    const std::vector<std::string> rows[] = {row(to_active, 300.0, 1.0),
                                             active == 2 ? row(ovi::test::Along(3), 300.0, 1.0)
                                                         : std::vector<std::string>{},
                                             row(dest, blended, blended / 300.0)};
    const Frame f = DrawFrame();
    f.ExpectText(row3, 0, 99);
    for (int r = 0; r < 3; ++r) {
      const float y = r == 0 ? 66 : r == 1 ? 99 : 131;
      if (rows[r].empty()) {  // nothing but the marker on its rows
        for (const auto& t : f.rec.Texts()) EXPECT_FALSE(t.y >= 86 && t.y <= 99 && t.text != row3) << t.text;
        continue;
      }
      f.ExpectText(rows[r][0], 122 - 10 * static_cast<float>(rows[r][0].size()), y);
      f.ExpectText(rows[r][1], 160, y);
      f.ExpectText(rows[r][2], 227, y);
    }
  }
}

TEST_F(ProgressPageTest, CourseWrapsAndDistancesAlignByLength) {
  // North-bound from the equator with a west variation of 15: 360 true is
  // 15 magnetic, never 375.
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i <= 4; ++i) {
    fp.ActiveFlightPlan[i].latitude = -1.0 + 20.0 * i;
    fp.ActiveFlightPlan[i].longitude = 179.5;
  }
  guidance::State& g = guidance::guidance_state;
  g.MagneticVariation = -15.0;
  g.GroundTrack = 15.0;
  g.PlaneLatitude = -1.0;
  g.PlaneLongitude = 179.5;
  g.ActiveWaypointDistance = 1200.0;
  Frame f = DrawFrame();
  f.ExpectText("015 \xC2\xB0", 30, 86, 15);
  f.ExpectText("1200", 82, 66);
  f.ExpectText("2400", 82, 99);
  f.ExpectText("4800", 82, 131);
  ExpectLegible(f);
}

TEST_F(ProgressPageTest, SubPagesWrapAndTheirKeys) {
  std::int32_t& sub = model::model_state.FmsSubPageTable.ProgressSubPage;
  fms_state.FmsPrevPageKey = 1;
  DrawFrame();
  EXPECT_EQ(sub, 3);
  fms_state.FmsNextPageKey = 1;
  DrawFrame();
  EXPECT_EQ(sub, 1);

  sub = 2;
  Frame f = DrawFrame();
  f.ExpectText("RTA  PROGRESS", 55, 0);
  f.ExpectText("2 / 3", 230, 5, 12);
  f.ExpectText("R T A    W P T", 12, 22, 12);
  f.ExpectText("- - - - - - - - - - - - - - - - - - - - - - - -", 0, 184);
  f.ExpectText("< LIMITS", 0, 198);
  ExpectLegible(f);
  PressLineKey(kL6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPagePerfInit);
  EXPECT_EQ(model::model_state.FmsSubPageTable.PerfInitSubPage, 2);

  for (int s : {1, 3}) {
    fms_state.FmsPage = kPageProgress;
    sub = s;
    PressLineKey(kL6);
    DrawFrame();
    EXPECT_EQ(fms_state.FmsPage, kPageInitRefIndex) << s;
  }
  // RTA PROGRESS's L6 does not act on sub-page 1's R6, nor the reverse.
  fms_state.FmsPage = kPageProgress;
  sub = 2;
  PressLineKey(kR6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageProgress);
}

TEST_F(ProgressPageTest, WindTemperatureDeviationsAndTrack) {
  model::model_state.FmsSubPageTable.ProgressSubPage = 3;
  guidance::State& g = guidance::guidance_state;
  g.HeadwindComponent = 12.9;
  g.CrosswindComponent = -7.9;
  g.StaticAirTemp = -30.0;
  g.AircraftAltitude = 30000.0;
  g.CrossTrackSide = 1;
  g.CrossTrackDistance = 0.123;
  g.DesiredTrack = 355.0;
  g.MagneticVariation = 10.0;
  g.TrueAirspeedEstimate = 452.4;
  Frame f = DrawFrame();
  f.ExpectText("PROGRESS", 110, 0);
  f.ExpectText("H E A D W I N D                 C R O S S W I N D", 12, 22, 12);
  f.ExpectText("12 KT                             R   7 KT", 0, 33);
  f.ExpectText("W I N D                         S A T / I S A    D E V", 12, 55, 12);
  f.ExpectText("250\xC2\xB0 /  15", 0, 66);
  f.ExpectText("-30\xC2\xB0" "c /14\xC2\xB0" "c", 160, 66);
  // Just below 0 reads 0, not "-0" (the standard temperature is -44.4).
  g.StaticAirTemp = -0.3;
  DrawFrame().ExpectText(" 0\xC2\xB0" "c /44\xC2\xB0" "c", 160, 66);
  g.StaticAirTemp = -30.0;
  f.ExpectText("X T K   E R R O R", 12, 88, 12);
  f.ExpectText("L 0.12 NM", 0, 99);
  f.ExpectText("G P S - L    T R K                             T A S", 12, 121, 12);
  f.ExpectText("005\xC2\xB0T", 0, 133);  // 355 + 10, wrapped
  f.ExpectText("452 KT", 200, 133);
  EXPECT_FALSE(f.Find("V E R T  D E V"));
  ExpectLegible(f);

  g.HeadwindComponent = -3.2;
  g.CrosswindComponent = 0.7;
  g.CrossTrackSide = 2;
  f = DrawFrame();
  f.ExpectText("T A I L W I N D                 C R O S S W I N D", 12, 22, 12);
  f.ExpectText(" 3 KT                                0 KT", 0, 33);
  f.ExpectText("R 0.12 NM", 0, 99);

  // Past the top of descent, 10 of its 40 NM short of the constraint at
  // WP2 (4000 ft), the path at 11500 ft: 12000 ft is the ND's 500 HI (not
  // measured from the constraint's altitude: 3500 LO), in the large font;
  // under a path at 12600, 600 LO in the small one.
  g.TodPassed = 1;
  g.AircraftAltitude = 12000.0;
  g.NextConstraintAltitude = 4000.0;
  g.NextConstraintIndex = 2;
  g.DistanceTodToConstraint = 40.0;
  g.DistanceSinceTod = 10.0;
  g.VnavPathAltitude = 11500.0;
  f = DrawFrame();
  f.ExpectText("V E R T  D E V", 190, 88, 12);
  f.ExpectText("  500 HI", 200, 99);
  ExpectLegible(f);
  g.VnavPathAltitude = 12600.0;
  f = DrawFrame();
  f.ExpectText("V E R T  D E V", 190, 88, 12);
  f.ExpectText("  600 LO", 200, 99, 12);
  ExpectLegible(f);
  // On the path, a stale constraint index, at the constraint (as the ND,
  // which shows none there), or before the top of descent: nothing.
  struct Case {
    double path;
    int index;
    double to_constraint;
    int passed;
  };
  for (const Case& c : {Case{12000.0, 2, 10.0, 1}, Case{12600.0, 50, 10.0, 1}, Case{12600.0, -1, 10.0, 1},
                        Case{12600.0, 2, 40.0, 1}, Case{12600.0, 2, 10.0, 0}}) {
    g.VnavPathAltitude = c.path;
    g.NextConstraintIndex = c.index;
    g.DistanceSinceTod = c.to_constraint;
    g.TodPassed = c.passed;
    f = DrawFrame();
    EXPECT_FALSE(f.Find("V E R T  D E V")) << c.path << " " << c.index << " " << c.to_constraint << " " << c.passed;
  }
  // Values that are not numbers reach no integer conversion.
  g.HeadwindComponent = std::numeric_limits<double>::quiet_NaN();
  g.CrosswindComponent = std::numeric_limits<double>::infinity();
  g.StaticAirTemp = std::numeric_limits<double>::quiet_NaN();
  g.AircraftAltitude = std::numeric_limits<double>::infinity();
  f = DrawFrame();
  f.ExpectText(" 0 KT                                0 KT", 0, 33);
  f.ExpectText("nan\xC2\xB0" "c /0 \xC2\xB0" "c", 160, 66);
}

}  // namespace
}  // namespace ovi::fms::test
