// The vertical plan: cruise altitude, TOC and TOD, waypoint predictions and
// the profile. Routes run along the equator or a meridian, where a degree is
// 60 NM, so every value below is worked by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "src/flightplan/execute.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vertical_plan_internal.h"
#include "src/guidance/vnav.h"
#include "src/host/module_state.h"
#include "src/instruments/fms/state.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {
namespace {

struct Point {
  const char* ident;
  double lat, lon;
  const char* type = "WPT";
  std::uint32_t flag = 0;
  double altitude = model::kNoValue;
  double speed = model::kNoValue;
};

class VerticalPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    model::State& m = model::model_state;
    m.FPA = 0.0;
    // An aircraft without performance tables whose speed VNAV leaves to the
    // pilot: its climb is planned at the file's mean true airspeed in still
    // air, so that the rules below can be worked by hand. The climb VNAV
    // flies at its own speed is worked out as flown (vnav_test.cpp).
    m.VnavSetSpd = 0;
    m.ClimbRate = 1500;
    m.ClimbTas = 360.0;  // 6 NM a minute: 250 ft a NM at 1500 ft/min
    m.DescentRate = 2000.0;
    m.DescentTas = 420.0;  // 7 NM a minute: 285.7 ft a NM at 2000 ft/min
    m.MaxCruise = 35000;
    m.ClimbIas = 250;
    m.CruiseSpeed = 290;
    m.DescentSpeed = 270;
    m.ClbSpdRest = 240.0;
    m.ClbAltRest = 10000.0;
    m.DescSpdRest = 240.0;
    m.DescAltRest = 10000.0;
    m.CruiseAlt = 0;
  }
  void TearDown() override { ResetModuleState(); }

  static void Route(const std::vector<Point>& points) {
    flightplan::State& fp = flightplan::flightplan_state;
    int i = 0;
    for (const Point& p : points) {
      model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i++];
      w = model::FlightPlanWaypoint{};
      w.ident = p.ident;
      w.latitude = p.lat;
      w.longitude = p.lon;
      w.type = p.type;
      w.constraint_flag = p.flag;
      w.altitude_constraint = p.altitude;
      w.speed_constraint = p.speed;
    }
    fp.ActiveFlightPlanLastIndex = i - 1;
    flightplan::ActiveRouteChanged();
    guidance_state.NextConstraintIndex = i - 1;
    fp.ActiveWaypointIndex = 1;
    // Planned where it starts, at the first waypoint.
    At(points.front().lat, points.front().lon);
  }
  // Legs of 30, 30, 60, 60, 30 and 30 NM eastbound along the equator; the
  // origin at 50 ft keeps the climb off the 100-ft steps the predictions
  // truncate to.
  static void EquatorRoute(bool constrained = false) {
    Route({{"AAAA", 0, 0.0, "APT", 0, 50.0},
           {"W1", 0, 0.5},
           {"W2", 0, 1.0},
           {"W3", 0, 2.0, "WPT", constrained ? 1u : 0u, constrained ? 9000.0 : model::kNoValue,
            constrained ? 230.0 : model::kNoValue},
           {"W4", 0, 3.0},
           {"W5", 0, 3.5},
           {"BBBB", 0, 4.0, "APT"}});
  }
  // A climb from 5,000 ft at 380 kt to `level` on a route that W1 turns
  // back alongside itself, the leg back 9 NM abreast of the first (north or
  // south of it by `lat_sign`, east or west by `lon_sign`, moved by
  // `lon_shift` degrees), the aircraft on the first leg at `aircraft_lon`
  // (its heading its track where `heading`), 7 degrees west variation, and
  // the TOC VNAV's target.
  static void ClimbOnARouteTurningBack(double lat_sign, double lon_sign, double lon_shift, double aircraft_lon,
                                       std::int32_t level, bool heading) {
    State& g = guidance_state;
    VnavClimbTables();
    auto lon = [&](double l) { return std::remainder(lon_sign * l + lon_shift, 360.0); };
    const double back = 0.15 * lat_sign;
    Route({{"AAAA", 0, lon(0.0), "APT", 0, 50.0},
           {"W1", 0, lon(1.0)},
           {"W2", back, lon(0.2)},
           {"W3", back, lon(-0.5)},
           {"W4", back, lon(-1.5)},
           {"BBBB", back, lon(-2.0), "APT"}});
    At(0.0, lon(aircraft_lon));
    g.MagneticVariation = -7.0;
    g.GroundTrack = (lon_sign > 0 ? 90.0 : 270.0) - g.MagneticVariation;
    if (heading) g.AircraftHeading = g.GroundTrack;
    g.BearingToActiveWaypoint = g.GroundTrack;
    g.GroundSpeedKnots = 380.0;
    g.AircraftAltitude = 5000.0;
    g.TocPassed = 0;
    ComputeCruiseAltitude(level, 1);
    g.NextConstraintLat = g.TocLatitude;
    g.NextConstraintLon = g.TocLongitude;
    g.NextConstraintAltitude = PlannedCruiseAltitude();
  }
  static model::PerformanceRow Row(double altitude, double tas, double vertical_speed) {
    model::PerformanceRow r;
    r.altitude = altitude;
    r.weight = 0.0;
    r.tas = tas;
    r.vertical_speed = vertical_speed;
    r.fuel_flow = 5000.0;
    return r;
  }
  // Climb and descent tables of two rows each, a cruise table of one.
  static void Tables(const model::PerformanceRow& climb0, const model::PerformanceRow& climb1,
                     const model::PerformanceRow& cruise, const model::PerformanceRow& descent0,
                     const model::PerformanceRow& descent1) {
    model::State& m = model::model_state;
    m.ClimbPerformanceTable[1] = climb0;
    m.ClimbPerformanceTable[2] = climb1;
    m.ClimbPerformanceCount = 2;
    m.CruisePerformanceTable[1] = cruise;
    m.CruisePerformanceCount = 1;
    m.DescentPerformanceTable[1] = descent0;
    m.DescentPerformanceTable[2] = descent1;
    m.DescentPerformanceCount = 2;
  }
  static const model::FlightPlanWaypoint& Wp(int i) { return flightplan::flightplan_state.ActiveFlightPlan[i]; }
  static void At(double lat, double lon) {
    guidance_state.PlaneLatitude = lat;
    guidance_state.PlaneLongitude = lon;
  }
  // Tables whose climb VNAV flies at 1,500 ft/min, within 1,000 to 2,500.
  static void VnavClimbTables() {
    model::State& m = model::model_state;
    Tables(Row(0, 360, 1500), Row(40000, 480, 1500), Row(40000, 450, 0), Row(0, 420, 2000), Row(40000, 420, 2000));
    m.ClimbRate = 1500;
    m.MinVnavClimbRate = 1000.0;
    m.MaxVnavClimbRate = 2500.0;
  }
  // The aircraft climbing at 5,000 ft on a true `track` at 300 kt, in calm
  // air, the level FL250 planned.
  static void ClimbingFrom5000(double track, double variation) {
    State& g = guidance_state;
    g.MagneticVariation = variation;
    g.GroundTrack = track - variation;
    g.GroundSpeedKnots = 300.0;
    g.AircraftAltitude = 5000.0;
    g.WindSpeed = 0.0;
    g.TocPassed = g.TodPassed = 0;
    ComputeCruiseAltitude(25000, 1);
  }
  // The TOC placed again from the aircraft toward the TOD set at `level`,
  // the route's end VNAV's target.
  static void PlaceTheTocTowardTheTod(double level) {
    State& g = guidance_state;
    g.TodAltitude = level;
    g.NextConstraintIndex = 3;
    g.TocWindKnown = 0;
    g.NextConstraintLat = g.TocLatitude;
    g.NextConstraintLon = g.TocLongitude;
    g.NextConstraintAltitude = level;
    KeepTopOfClimbInTheWind();
    UpdateVerticalProfile();
  }
  // VNAV, engaged at the climb's airspeed, flies to the TOC placed at the
  // plan's rate.
  static void ExpectVnavClimbsAtThePlansRate() {
    State& g = guidance_state;
    g.VnavEngaged = 1;
    g.FrameCounter = 0;
    g.VerticalSpeedFpm = ClimbRateFlown();
    g.SmoothedAirspeed = 250.0;
    g.VnavVerticalSpeedCommand = kNoCommand;
    CoupleVnavToAutopilot();
    EXPECT_NEAR(g.VnavRequiredVerticalSpeed, ClimbRateFlown(), 40.0);
    g.VnavEngaged = 0;
  }
};

constexpr double kPos = 1e-6;  // degrees
constexpr double kNm = 1e-4;

TEST_F(VerticalPlanTest, CruiseLevelFollowsTheDirectionOfFlight) {
  struct Case {
    const char* name;
    double lat0, lon0, lat1, lon1;
    int max_cruise;
    int expected;
  };
  // 2000 ft/min at 6 NM a minute from 0 ft.
  const Case cases[] = {
      // 600 NM: half 300 - 15; MaxCruise comes first.
      {"east, MaxCruise 35000 kept", 0, 0, 0, 10, 35000, 35000},
      {"west, MaxCruise 35000 to even", 0, 10, 0, 0, 35000, 34000},
      {"east, high band 45000", 0, 0, 0, 10, 45000, 45000},
      {"west, high band 43000", 0, 10, 0, 0, 45000, 43000},
      {"east, high band 49000", 0, 0, 0, 10, 50000, 49000},
      {"west, high band 47000", 0, 10, 0, 0, 50000, 47000},
      // The top of each band, and above the last one.
      {"west, 47000 is in the first band", 0, 10, 0, 0, 47000, 43000},
      {"west, 51000 is in the second band", 0, 10, 0, 0, 51000, 47000},
      {"east, 49000 is in the first band", 0, 0, 0, 10, 49000, 45000},
      {"east, above 57000", 0, 0, 0, 10, 60000, 57000},
      // MaxCruise is the top: under the first band of its direction the
      // level is the highest one below 42000 ft.
      {"west, MaxCruise 42000", 0, 10, 0, 0, 42000, 40000},
      {"west, MaxCruise 43000", 0, 10, 0, 0, 43000, 43000},
      {"east, MaxCruise 42000", 0, 0, 0, 10, 42000, 41000},
      {"east, MaxCruise 44000", 0, 0, 0, 10, 44000, 41000},
      // 60 NM: half 30 NM, reached after 5 minutes at 10000 ft. West, the
      // descent from 10000 ft (35 NM at 2000 ft/min and 7 NM a minute)
      // would start 5 NM before the climb ends: 9000 ft, 27 and 31.5 NM,
      // is the highest level of both on the route.
      {"east, half distance", 0, 0, 0, 1, 35000, 9000},
      {"west, half distance", 0, 1, 0, 0, 35000, 9000},
      // 100 NM: half 50 - 15 = 35 NM, reached after 6 minutes at 12000 ft.
      {"east, 100 NM", 0, 0, 0, 100.0 / 60.0, 35000, 11000},
      // Due north: the course reads 360 and is eastbound.
      {"north", 0, 0, 1, 0, 35000, 9000},
      {"south is westbound", 1, 0, 0, 0, 35000, 9000},
      // Across 180 degrees eastbound, south of the equator: 59.1 NM.
      {"east across 180", -10, 179.5, -10, -179.5, 35000, 9000},
      {"west across 180", -10, -179.5, -10, 179.5, 35000, 9000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    model::model_state.ClimbRate = 2000;
    model::model_state.MaxCruise = c.max_cruise;
    Route({{"A", c.lat0, c.lon0, "APT"}, {"B", c.lat1, c.lon1, "APT"}});
    ComputeCruiseAltitude(0, 0);
    EXPECT_EQ(model::model_state.CruiseAlt, c.expected);
    EXPECT_EQ(guidance_state.PreselectAltitude, c.expected);
    EXPECT_EQ(guidance_state.VerticalProfileValid, 1);
  }
}

TEST_F(VerticalPlanTest, RequestedCeilingAndExistingAltitudes) {
  Route({{"A", 0, 10, "APT"}, {"B", 0, 0, "APT"}});  // westbound
  ComputeCruiseAltitude(33000, 0);  // asked for: no level rule
  EXPECT_EQ(model::model_state.CruiseAlt, 33000);

  // A cruise altitude already set stays; the plan still records its own
  // (600 NM at 1500 ft/min: MaxCruise, even westbound).
  model::model_state.CruiseAlt = 12000;
  ComputeCruiseAltitude(0, 0);
  EXPECT_EQ(model::model_state.CruiseAlt, 12000);
  EXPECT_EQ(guidance_state.PreselectAltitude, 34000);
  // Past the TOC the climb values stay; a mode other than 1 starts anew.
  guidance_state.TocPassed = 1;
  guidance_state.TodPassed = 1;
  ComputeCruiseAltitude(20000, 0);
  EXPECT_EQ(guidance_state.PreselectAltitude, 34000);
  EXPECT_EQ(guidance_state.TocPassed, 0);
  EXPECT_EQ(guidance_state.TodPassed, 0);

  // With performance tables the ceiling is taken as it is (33000, odd on a
  // westbound route) and the path angle is dropped.
  model::State& m = model::model_state;
  m.CruiseAlt = 0;
  m.FPA = 3.0;
  Tables(Row(0, 360, 1500), Row(40000, 360, 1500), Row(33000, 450, 0), Row(0, 420, 2000), Row(40000, 420, 2000));
  ComputeCruiseAltitude(0, 0);
  EXPECT_EQ(m.CruiseAlt, 33000);
  EXPECT_EQ(m.FPA, 0.0);
  EXPECT_EQ(m.PlanDescentRate, 2000.0);
}

TEST_F(VerticalPlanTest, TheCeilingBoundsTheClimbOfAShortRoute) {
  // Climb V/S 3000 - 0.05 x altitude at 6 NM a minute, ceiling 35000
  // (MaxCruise; the table still gives 1250 ft/min there); descent at
  // 2000 ft/min, TAS 300 + 0.004 x altitude.
  model::State& m = model::model_state;
  auto tables = [] {
    Tables(Row(0, 360, 3000), Row(40000, 360, 1000), Row(40000, 450, 0), Row(0, 300, 2000), Row(40000, 460, 2000));
  };
  struct Case {
    const char* name;
    double lon0, lon1;
    int expected;
    double descent_tas;  // mean of the descent from the cruise altitude
  };
  // 100 NM: half 50 - 15 = 35 NM, passed in the 6th minute, each minute
  // at the rate of the altitude it starts from: 3000, 2850, 2707.5,
  // 2572.1, 2443.5 and 2321.3 ft/min reach 15894 ft, 15000 in thousands.
  // 600 NM: the ceiling comes after 17.5 minutes, 105 of 285 NM, and is
  // taken as it is.
  const Case cases[] = {
      {"west 100 NM, even", 100.0 / 60.0, 0, 14000, 328.0},
      {"east 100 NM, odd", 0, 100.0 / 60.0, 15000, 330.0},
      {"west 600 NM, the ceiling", 10, 0, 35000, 370.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    tables();
    Route({{"A", 0, c.lon0, "APT"}, {"B", 0, c.lon1, "APT"}});
    ComputeCruiseAltitude(0, 0);
    EXPECT_EQ(m.CruiseAlt, c.expected);
    // The rates and speeds are those of the climb to it and the descent
    // from it, not to and from the ceiling.
    EXPECT_NEAR(m.DescentTas, c.descent_tas, 1e-9);
    EXPECT_NEAR(m.DescentRate, 2000.0, 1e-9);
    EXPECT_NEAR(m.ClimbTas, 360.0, 1e-9);
  }
  // West 100 NM again: the climb to 14000 ft averages 14000 / (20 ln(3000 /
  // 2300)) = 2634.5 ft/min, 31.9 NM; the descent of 7 minutes at 328 kt is
  // 38.27 NM back from B.
  SetUp();
  tables();
  Route({{"A", 0, 100.0 / 60.0, "APT"}, {"B", 0, 0, "APT"}});
  ComputeCruiseAltitude(0, 0);
  EXPECT_NEAR(m.ClimbRate, 2634.5, 1.0);
  EXPECT_EQ(guidance_state.ClimbDistance, 31);
  EXPECT_NEAR(guidance_state.TodLongitude, 328.0 / 60.0 * 7.0 / 60.0, kPos);
}

// The top of climb never lies after the top of descent. A level the climb
// and the descent both reach on the route is planned as the rules give it
// (requested, MaxCruise search, performance ceiling); one they do not is
// lowered by thousands to the highest that fits, which the plan flies; the
// pilot's entry stays (an empty one takes it). Eastbound along the equator
// from 0 ft to 0 ft: at the fixture's rates a climb takes 250 ft a NM, a
// descent 285.7 ft a NM.
TEST_F(VerticalPlanTest, TheTopOfClimbNeverFollowsTheTopOfDescent) {
  model::State& m = model::model_state;
  struct Case {
    const char* name;
    double nm;
    int requested;
    double descent_rate;
    bool tables;
    int expected;
  };
  const Case cases[] = {
      // 30000 ft: 120 NM of climb and 105 of descent.
      {"requested, 600 NM", 600, 30000, 2000, false, 30000},
      {"requested, 225 NM: they meet", 225, 30000, 2000, false, 30000},
      // 150 NM: 20000 ft climbs 80 NM and descends 70, to the NM.
      {"requested, 150 NM", 150, 30000, 2000, false, 20000},
      {"requested, 149.9 NM", 149.9, 30000, 2000, false, 19000},
      // Half of 150 NM less 15 is reached at 15000 ft (60 + 52.5 NM).
      {"search, 150 NM", 150, 0, 2000, false, 15000},
      // ... but at 1000 ft/min its descent is 105 NM: 13000 ft, 52 + 91.
      {"search, slow descent", 150, 0, 1000, false, 13000},
      // Tables: climb V/S 3000 - 0.05 x altitude at 6 NM a minute, descent
      // at the given rate with TAS 300 + 0.004 x altitude. To the 35000-ft
      // ceiling the climb takes 20 ln 2.4 = 17.51 minutes, 105.1 NM, more
      // than half of 200 NM less 15; at 4000 ft/min the descent, 8.75
      // minutes at 370 kt, 54 NM: the ceiling is reached and kept.
      {"ceiling, 200 NM", 200, 0, 4000, true, 35000},
      // 100 NM at 1000 ft/min: half the route gives 15000 ft (34.5 NM of
      // climb, 82.5 of descent); 13000 ft takes 120 ln(3000 / 2350) = 29.3
      // and 13 minutes at 326 kt = 70.6 NM.
      {"ceiling, 100 NM, slow descent", 100, 0, 1000, true, 13000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    m.DescentRate = c.descent_rate;
    // The tables' 4000 ft/min within VNAV's greatest rate at the fastest
    // airspeed of the descent, so that the plan's rate stands.
    m.MaxVnavDescRate = 8000.0;
    if (c.tables) {
      Tables(Row(0, 360, 3000), Row(40000, 360, 1000), Row(40000, 450, 0), Row(0, 300, c.descent_rate),
             Row(40000, 460, c.descent_rate));
    }
    Route({{"A", 0, 0, "APT"}, {"B", 0, c.nm / 60.0, "APT"}});
    m.CruiseAlt = c.requested;
    ComputeCruiseAltitude(c.requested, 0);
    EXPECT_EQ(m.CruiseAlt, c.requested != 0 ? c.requested : c.expected);
    EXPECT_EQ(PlannedCruiseAltitude(), c.expected);
    EXPECT_EQ(guidance_state.PreselectAltitude, c.expected);
    EXPECT_LE(guidance_state.TocLongitude, guidance_state.TodLongitude + kPos);
  }
  // Past the TOC the level is worked out from the aircraft: at 8000 ft 24 NM
  // from the end the route has room for none above it, and the TOD stands
  // 28 NM (from 8000 ft) back from it.
  SetUp();
  EquatorRoute();
  m.CruiseAlt = 12000;
  guidance_state.TocPassed = 1;
  guidance_state.AircraftAltitude = 8000.0;
  At(0.0, 3.6);
  flightplan::flightplan_state.ActiveWaypointIndex = 6;
  ComputeCruiseAltitude(12000, 1);
  EXPECT_EQ(PlannedCruiseAltitude(), 8000);
  EXPECT_NEAR(guidance_state.TodLongitude, 4.0 - 28.0 / 60.0, kPos);
  // Planned again in the descent, the level the route had room for stays:
  // the pilot's 30000 ft does not come back over a 150-NM route.
  SetUp();
  Route({{"A", 0, 0, "APT"}, {"B", 0, 2.5, "APT"}});
  m.CruiseAlt = 30000;
  ComputeCruiseAltitude(30000, 1);
  ASSERT_EQ(PlannedCruiseAltitude(), 20000);
  guidance_state.TocPassed = guidance_state.TodPassed = 1;
  guidance_state.AircraftAltitude = 15000.0;
  At(0.0, 2.0);
  ComputeCruiseAltitude(30000, 1);
  EXPECT_EQ(PlannedCruiseAltitude(), 20000);
  EXPECT_EQ(m.CruiseAlt, 30000);
  // Where they meet, the top of climb is the top of descent: 80 NM out.
  SetUp();
  Route({{"A", 0, 0, "APT"}, {"B", 0, 2.5, "APT"}});
  ComputeCruiseAltitude(30000, 0);
  EXPECT_NEAR(guidance_state.TocLongitude, 80.0 / 60.0, kPos);
  EXPECT_NEAR(guidance_state.TodLongitude, 80.0 / 60.0, kPos);
  // The ceiling kept: the rates are those of the climb to it.
  SetUp();
  m.MaxVnavDescRate = 8000.0;
  Tables(Row(0, 360, 3000), Row(40000, 360, 1000), Row(40000, 450, 0), Row(0, 300, 4000), Row(40000, 460, 4000));
  Route({{"A", 0, 0, "APT"}, {"B", 0, 200.0 / 60.0, "APT"}});
  ComputeCruiseAltitude(0, 0);
  EXPECT_EQ(guidance_state.ClimbDistance, 105);
  EXPECT_NEAR(m.DescentTas, 370.0, 1e-9);
}

// The level the route has room for counts where a constraint below it
// holds the climb level, and the descent to a constraint the climb tops
// out before: the TOC stands where the climb flown reaches the level, no
// later than the TOD. From 0 ft to 0 ft at the fixture's 250 ft a NM up
// and 285.7 down; east on the equator, west across 180 and south along
// 45W, where a degree is 60 NM.
TEST_F(VerticalPlanTest, TheLevelCountsTheClimbHeldAtAConstraint) {
  struct Fix {
    double nm, constraint = 0.0;  // feet, 0 = none
  };
  struct Case {
    const char* name;
    std::vector<Fix> fixes;  // the last is the destination
    int requested, expected;
    double toc_nm, tod_nm;
  };
  const Case cases[] = {
      // Held at 5000 ft until 60 NM: 21000 ft tops out 64 NM on, at 124,
      // the descent from it 73.5 NM before 200. Without the stretch at
      // 5000 the climb took 84 NM and 26000 ft seemed to fit.
      {"held at a constraint", {{60, 5000}, {150}, {200}}, 30000, 21000, 124, 126.5},
      // 20000 ft: 60 + 60 NM of climb and 70 of descent, to the NM.
      {"held, they meet", {{60, 5000}, {180}, {190}}, 20000, 20000, 120, 120},
      {"held, 0.1 NM short", {{60, 5000}, {180}, {189.9}}, 20000, 19000, 116, 123.4},
      {"held, room enough", {{60, 5000}, {290}, {300}}, 30000, 30000, 160, 195},
      // The climb tops out at W0, 60 NM on, but the descent to W1's 6000 ft
      // starts 48.5 NM on: no cruise before W1, and the cruise follows it.
      // The climb levels at 6000 ft until W1 and climbs on to 15000 ft, 36
      // NM on. Taken for the descent's, the level came down to 13000 ft for
      // a cruise of 3.5 NM, and the plan stayed at 6000 ft from W1 to the
      // descent 120 NM on.
      {"a constraint on the descent from the top, the cruise after it", {{60}, {80, 6000}, {150}, {200}}, 15000, 15000,
       116, 147.5},
      // W0 is cruised at, before the descent to W1 starts 68.5 NM on: W1
      // stays the descent's.
      {"a waypoint cruised at before a descent constraint", {{65}, {100, 6000}, {300}}, 15000, 15000, 60, 68.5},
      // With the descent measured to the end alone 15000 ft seemed to fit
      // where the route after W1 is too short for a cruise: 13000 ft in 52
      // NM, down from it 24.5 NM before W1.
      {"a descent constraint after the top", {{60}, {80, 6000}, {110}}, 15000, 13000, 52, 55.5},
      // No waypoint at the level before W1, and the cruise follows it on
      // the leg after it (none at the level there either): the climb levels
      // at 6000 ft until W1 and climbs on to 15000 ft, 36 NM on, down 52.5
      // NM before B. Taken for the descent's, the plan climbed through it to
      // 13000 ft and descended back to it.
      {"a constraint met before the cruise, the cruise on the leg after it", {{80, 6000}, {150}, {200}},
       15000, 15000, 116, 147.5},
      // The TOD is placed back from the first constraint of the descent: a
      // step after it steeper than the descent (6000 ft in 5 NM) is no
      // reason for a lower level. 17000 ft: 68 NM up, 31.5 down to W1.
      {"a steep step after the first descent constraint", {{100, 8000}, {105, 2000}, {200}}, 30000, 17000, 68, 68.5},
      // 15000 ft would be reached at W1 itself, and the cruise follows W2:
      // held at 5000 until W1, its climb on from there meets the descent.
      {"met as the level is reached", {{60, 5000}, {70}, {140}, {150}}, 15000, 14000, 96, 101},
  };
  struct Way {
    const char* name;
    double lat0, lon0, dlat, dlon;  // degrees a NM
  };
  const Way ways[] = {{"east", 0, 0, 0, 1 / 60.0}, {"west across 180", 0, -179.5, 0, -1 / 60.0},
                      {"south", -1, -45, -1 / 60.0, 0}};
  for (const Way& w : ways) {
    auto lat = [&](double nm) { return w.lat0 + w.dlat * nm; };
    auto lon = [&](double nm) {
      const double l = w.lon0 + w.dlon * nm;
      return l < -180.0 ? l + 360.0 : l;
    };
    auto nm_of = [&](double la, double lo) {
      if (w.dlat != 0) return (la - w.lat0) / w.dlat;
      const double d = lo - w.lon0;
      return (d > 180.0 ? d - 360.0 : d) / w.dlon;
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(w.name) + ", " + c.name);
      SetUp();
      std::vector<Point> route = {{"A", lat(0), lon(0), "APT", 0, 0.0}};
      for (const Fix& f : c.fixes) {
        if (&f == &c.fixes.back()) {
          route.push_back({"B", lat(f.nm), lon(f.nm), "APT", 0, 0.0});
        } else if (f.constraint > 0) {
          route.push_back({"W", lat(f.nm), lon(f.nm), "WPT", 1, f.constraint, 250});
        } else {
          route.push_back({"W", lat(f.nm), lon(f.nm)});
        }
      }
      Route(route);
      model::model_state.CruiseAlt = c.requested;
      flightplan::RebuildVerticalPlan();
      EXPECT_EQ(PlannedCruiseAltitude(), c.expected);
      EXPECT_NEAR(nm_of(guidance_state.TocLatitude, guidance_state.TocLongitude), c.toc_nm, 0.01);
      EXPECT_NEAR(nm_of(guidance_state.TodLatitude, guidance_state.TodLongitude), c.tod_nm, 0.01);
    }
  }
}

TEST_F(VerticalPlanTest, PathAngleGivesTheRates) {
  model::State& m = model::model_state;
  m.FPA = 3.0;
  EquatorRoute();
  ComputeCruiseAltitude(12000, 0);
  // Descent: 7 NM a minute x 3 x 100 = 2100 ft/min (2150 truncated to 100s).
  EXPECT_EQ(m.PlanDescentRate, 2100.0);
  // Climb: 6 x 300 = 1800 ft/min: 12000 ft in 6.67 minutes, 40 NM.
  EXPECT_EQ(guidance_state.ClimbDistance, 40);
  // Where VNAV sets the speed the climb model places the TOC VNAV flies to,
  // at the file's 1500 ft/min whatever the path angle, and the waypoints
  // are where the aircraft crosses them: as without a path angle. At the
  // path angle's 1800 ft/min W1 stood 1,500 ft above the climb flown.
  // Eastbound across 180 degrees, south of the equator, too.
  for (const double lon0 : {0.0, 179.75}) {
    SCOPED_TRACE(lon0);
    const double lat = lon0 == 0.0 ? 0.0 : -30.0;
    auto lon = [lon0](double east) { return lon0 + east > 180.0 ? lon0 + east - 360.0 : lon0 + east; };
    double w1[2] = {0.0, 0.0};
    for (const double fpa : {0.0, 3.0}) {
      SetUp();
      m.VnavSetSpd = 1;
      m.FPA = fpa;
      Route({{"AAAA", lat, lon(0.0), "APT", 0, 50.0},
             {"W1", lat, lon(0.5)},
             {"W2", lat, lon(1.0)},
             {"W3", lat, lon(4.0)},
             {"BBBB", lat, lon(5.0), "APT"}});
      ComputeCruiseAltitude(12000, 1);
      w1[fpa > 0.0 ? 1 : 0] = Wp(1).altitude_constraint;
    }
    EXPECT_GT(w1[0], 6000.0);  // a climb predicted at all
    EXPECT_EQ(w1[1], w1[0]);
  }
  // Where the pilot sets the speed, the TOC the plan places at the path
  // angle's rate stays, and VNAV climbs to it at about that rate: W1 at
  // 50 + 30 x 300 = 9050 -> 9000 ft.
  SetUp();
  m.FPA = 3.0;
  EquatorRoute();
  ComputeCruiseAltitude(12000, 1);
  EXPECT_EQ(Wp(1).altitude_constraint, 9000.0);
}

TEST_F(VerticalPlanTest, TocTodAndPredictionsWithoutConstraints) {
  EquatorRoute();
  ComputeCruiseAltitude(12000, 1);
  const State& g = guidance_state;
  // Climb: 12000 / 1500 x 6 = 48 NM, 18 NM past W1.
  EXPECT_EQ(g.ClimbDistance, 48);
  EXPECT_NEAR(g.TocLatitude, 0.0, kPos);
  EXPECT_NEAR(g.TocLongitude, 0.8, kPos);
  EXPECT_EQ(g.TocWaypointIndex, 1);
  // Descent to BBBB at 0 ft: 7 x 12000 / 2000 = 42 NM, 12 NM before W5.
  EXPECT_NEAR(g.TodLatitude, 0.0, kPos);
  EXPECT_NEAR(g.TodLongitude, 3.3, kPos);
  EXPECT_EQ(model::model_state.CruiseAlt, 12000);
  // An airport without an altitude (and not in the database) stands at 0 ft.
  EXPECT_EQ(Wp(0).altitude_constraint, 50.0);
  EXPECT_EQ(Wp(6).altitude_constraint, 0.0);
  struct Expect {
    double altitude, speed;
  };
  // W1: 50 + 30 NM x 250 = 7550 -> 7500 ft, below 10000 at the restriction's 240 kt;
  // W2 would be 15000: cruise. W5: 30 NM x 285.7 = 8571 -> 8500 ft, 240 kt.
  const Expect want[] = {{7500, 240}, {12000, 290}, {12000, 290}, {12000, 290}, {8500, 240}};
  for (int i = 1; i <= 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Wp(i).altitude_constraint, want[i - 1].altitude);
    EXPECT_EQ(Wp(i).speed_constraint, want[i - 1].speed);
    EXPECT_EQ(Wp(i).constraint_flag, 0u);
  }
}

TEST_F(VerticalPlanTest, PredictionsAroundAConstraint) {
  EquatorRoute(true);  // W3 at 9000 ft and 230 kt
  ComputeCruiseAltitude(12000, 1);
  struct Expect {
    double altitude, speed;
  };
  // Climb: W1 7500/240; W2 capped at W3's 9000. Descent from BBBB: W5 8500
  // at W3's 230 kt, W4 capped at 9000, W3 kept, and W2 at 26100 ft becomes
  // cruise (the descent pass has the last word).
  const Expect want[] = {{7500, 240}, {12000, 290}, {9000, 230}, {9000, 230}, {8500, 230}};
  for (int i = 1; i <= 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Wp(i).altitude_constraint, want[i - 1].altitude);
    EXPECT_EQ(Wp(i).speed_constraint, want[i - 1].speed);
  }
  EXPECT_EQ(Wp(3).constraint_flag, 1u);

  // A two-waypoint route gets no predictions at all.
  SetUp();
  Route({{"A", 0, 0, "APT"}, {"B", 0, 1, "APT"}});
  ComputeCruiseAltitude(12000, 1);
  EXPECT_EQ(Wp(1).speed_constraint, model::kNoValue);
}

// Predictions a pilot can fly: from each waypoint to the next (constraints
// and the route's ends included) the planned altitude changes by no more
// than the climb (250 ft a NM) or the descent (285.7) gives over the leg and
// stays at or below the level; the climb goes on past a climb constraint,
// not past a descent constraint. Northbound along a meridian west of
// Greenwich (60 NM a degree), from 30 ft to 0 ft.
TEST_F(VerticalPlanTest, PredictionsFollowAFlyableProfile) {
  struct Fix {
    double nm, constraint = 0.0;  // from the first waypoint; feet, 0 = none
  };
  struct Case {
    const char* name;
    int requested, planned;
    std::vector<Fix> fixes;                    // the last is the destination
    std::vector<std::pair<int, double>> want;  // waypoint, altitude
  };
  const Case cases[] = {
      // 2250 ft up a 9-NM leg, truncated as it runs (2280 -> 2200, 4450 ->
      // 4400 ...); 2571.4 down, each waypoint cut to the hundred below the
      // line the descent follows (2571 -> 2500, 5143 -> 5100, 7714 -> 7700):
      // cut as it ran, the cuts added up (7500 at W7).
      {"no constraints", 10000, 10000, {{9}, {18}, {27}, {36}, {45}, {54}, {63}, {72}, {81}, {90}},
       {{1, 2200}, {2, 4400}, {4, 8800}, {5, 10000}, {6, 10000}, {7, 7700}, {8, 5100}, {9, 2500}}},
      // Held at the constraint ahead, then on from it: 5000 + 21 x 250.
      {"climb constraint", 20000, 20000, {{10}, {30, 5000}, {51}, {100}, {300}, {350}, {400}}, {{1, 2500}, {3, 10200}}},
      {"climb constraint below the climb", 20000, 20000, {{25}, {30, 5000}, {61}, {300}, {400}}, {{1, 5000}, {3, 12700}}},
      // The demo's route: the climb reaches 30000 ft 120 NM out, between
      // the fifth waypoint and the constraint, which the descent then meets.
      {"descent constraint", 30000, 30000, {{21}, {40}, {61}, {80}, {93}, {228, 11000}, {268}},
       {{1, 5200}, {2, 9900}, {3, 15100}, {4, 19800}, {5, 23000}}},
      // Climb and descent meet at 8000 ft: 32 and 28 NM.
      {"short hop", 30000, 8000, {{10}, {20}, {30}, {40}, {50}, {60}}, {}},
      // Held at 5000 ft to the constraint, the climb goes on from it: 7000
      // ft is reached 8 NM on, 3.5 NM before the descent from it. 9000 ft,
      // whose climb and descent alone fit (36 + 31.5 NM), was never
      // reached: the climb from the constraint met the descent at 7470.
      {"short hop with a constraint", 30000, 7000, {{9}, {18}, {27}, {36, 5000}, {45}, {54}, {63}, {72}},
       {{2, 4400}, {3, 5000}, {5, 7000}, {6, 5100}, {7, 2500}}},
      // The level from 146 NM; the descent levels at 12000 and 6000.
      {"long route", 35000, 35000,
       {{15}, {30, 7000}, {45}, {60, 14000}, {121}, {250}, {400}, {480, 12000}, {500}, {520, 6000}, {540}, {560}},
       {{1, 3700}, {3, 10700}, {5, 29200}, {6, 35000}, {7, 34800}, {9, 11700}, {11, 5700}}},
  };
  auto plan = [this](const Case& c) {
    SetUp();
    std::vector<Point> points{{"ORIG", 44.0, -122.5, "APT", 0, 30.0}};
    for (const Fix& f : c.fixes) {
      const bool constrained = f.constraint > 0.0;
      points.push_back({"W", 44.0 + f.nm / 60.0, -122.5, &f == &c.fixes.back() ? "APT" : "WPT",
                        constrained ? 1u : 0u, constrained ? f.constraint : model::kNoValue});
    }
    Route(points);
    model::model_state.CruiseAlt = c.requested;
    ComputeCruiseAltitude(c.requested, 1);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plan(c);
    ASSERT_EQ(PlannedCruiseAltitude(), c.planned);
    for (std::size_t i = 1; i <= c.fixes.size(); ++i) {
      SCOPED_TRACE(i);
      const double from = Wp(i - 1).altitude_constraint, to = Wp(i).altitude_constraint;
      const double leg = c.fixes[i - 1].nm - (i > 1 ? c.fixes[i - 2].nm : 0.0);
      EXPECT_LE(to - from, 250.0 * leg + 1e-6);
      // Down, each waypoint is the line cut to its hundred.
      EXPECT_LE(from - to, 2000.0 / 7.0 * leg + 100.0);
      EXPECT_LE(to, c.planned);
      if (const double constraint = c.fixes[i - 1].constraint; constraint > 0.0) {
        EXPECT_EQ(to, constraint);
      }
    }
    for (const auto& [i, altitude] : c.want) EXPECT_EQ(Wp(i).altitude_constraint, altitude) << i;
  }

  // Where the climb reaches the level before a descent constraint, that
  // constraint is no target of the climb: the TOC is projected 120 NM on.
  plan(cases[3]);
  State& g = guidance_state;
  g.NextConstraintAltitude = 30000.0;
  EXPECT_EQ(ComputeTopOfClimb(0), 6);
  EXPECT_EQ(g.NextConstraintAltitude, 30000.0);
  EXPECT_NEAR(g.NextConstraintLat, 46.0, kPos);
  EXPECT_EQ(g.TocWaypointIndex, 5);
}

// Constraints a procedure set are never written over. An approach's
// altitude and speed (flag 3) is flown as a pilot's is: the profile is
// anchored there, as RTE LEGS shows it; a speed alone (flag 2) is passed by.
TEST_F(VerticalPlanTest, PredictionsKeepAndFlyPublishedConstraints) {
  Route({{"AAAA", 0, 0.0, "APT", 0, 50.0},
         {"W1", 0, 0.5, "WPT", 3, 3050.0, 200.0},
         {"W2", 0, 1.0},
         {"W3", 0, 2.0},
         {"W4", 0, 3.0, "WPT", 2, model::kNoValue, 180.0},
         {"W5", 0, 3.5, "WPT", 3, 5000.0, 190.0},
         {"BBBB", 0, 4.0, "APT"}});
  ComputeCruiseAltitude(12000, 1);
  EXPECT_EQ(Wp(1).altitude_constraint, 3050.0);
  EXPECT_EQ(Wp(1).speed_constraint, 200.0);
  EXPECT_EQ(Wp(4).altitude_constraint, model::kNoValue);
  EXPECT_EQ(Wp(4).speed_constraint, 180.0);
  EXPECT_EQ(Wp(5).altitude_constraint, 5000.0);
  EXPECT_EQ(Wp(5).speed_constraint, 190.0);
  // The climb goes on from W1's 3050 ft: W2, 30 NM on, at 10500 ft and the
  // climb's 250 kt, W3 cruise at 12000; the descent from W5's 5000 ft
  // passes W4 at 13571, above the cruise.
  EXPECT_EQ(Wp(2).altitude_constraint, 10500.0);
  EXPECT_EQ(Wp(2).speed_constraint, 250.0);
  EXPECT_EQ(Wp(3).altitude_constraint, 12000.0);
  for (int i : {1, 4, 5}) EXPECT_NE(Wp(i).constraint_flag, 1u) << i;
  // VNAV's next target from the origin is W1's published 3050 ft.
  EXPECT_EQ(ComputeTopOfClimb(0), 1);
  EXPECT_EQ(guidance_state.NextConstraintAltitude, 3050.0);
}

// A last waypoint the data does not know (no airport, no altitude) ends
// the descent at the lowest altitude the route knows: its lowest
// constraint, or the first entry's altitude and a runway's crossing
// height. Read as 0 ft, VNAV aimed at sea level 87 NM out. A route that
// knows no altitude at all ends on the ground the aircraft last stood on,
// with the same crossing height; never seen on the ground, nowhere.
TEST_F(VerticalPlanTest, AnEndWithoutAltitudeEndsAtTheLowestTheRouteKnows) {
  struct Case {
    double origin, constraint, ground, end;
  };
  for (const Case& c : {Case{50.0, model::kNoValue, 900.0, 250.0}, Case{5000.0, 3000.0, 900.0, 3000.0},
                        Case{50.0, 9000.0, NAN, 250.0}, Case{model::kNoValue, model::kNoValue, NAN, model::kNoValue},
                        Case{model::kNoValue, model::kNoValue, -120.0, 80.0},
                        Case{model::kNoValue, 4000.0, 900.0, 4000.0}}) {
    SCOPED_TRACE(testing::Message() << c.origin << " " << c.constraint << " " << c.ground);
    guidance_state.LastGroundAltitude = c.ground;
    Route({{"A", 0, 0, "WPT", 0, c.origin},
           {"W1", 0, 0.5},
           {"W2", 0, 1.0, "WPT", c.constraint == model::kNoValue ? 0u : 1u, c.constraint},
           {"B", 0, 3.0}});
    ComputeCruiseAltitude(12000, 1);
    EXPECT_EQ(Wp(3).altitude_constraint, c.end);
  }
}

// Where the climb ends and the descent begins (the restrictions off: the
// climb at 250 kt, the descent at 270). A constraint without a speed takes
// the descent speed only as the descent's (W4, past W2 where the climb
// levels), not as the climb's (W1). A waypoint both reach at the same
// altitude is the descent's: planned at 10000 ft with no active waypoint
// (the climb from the origin), the climb from A's 50 ft gives W1 7550 ->
// 7500 over 30 NM, the descent from B 26.4 NM on 7543 -> 7500. Flying to
// W1 at 8000 ft, the climb from the aircraft stays above the descent.
TEST_F(VerticalPlanTest, ConstraintSpeedsAndWhereTheClimbMeetsTheDescent) {
  model::State& m = model::model_state;
  m.ClbSpdRest = m.DescSpdRest = 0.0;
  Route({{"A", 0, 0, "WPT", 0, 50.0},
         {"W1", 0, 0.5, "WPT", 1, 5000.0},
         {"W2", 0, 1.0},
         {"W3", 0, 2.0},
         {"W4", 0, 3.0, "WPT", 1, 9000.0},
         {"B", 0, 4.0}});
  ComputeCruiseAltitude(12000, 1);
  EXPECT_EQ(Wp(1).speed_constraint, model::kNoValue);
  EXPECT_EQ(Wp(4).speed_constraint, 270.0);

  for (int active : {1, model::kNoWaypoint}) {
    SCOPED_TRACE(active);
    Route({{"A", 0, 0, "WPT", 0, 50.0}, {"W1", 0, 0.5}, {"B", 0, 0.94, "WPT", 0, 0.0}});
    flightplan::flightplan_state.ActiveWaypointIndex = active;
    guidance_state.AircraftAltitude = 8000.0;
    ComputeCruiseAltitude(10000, 1);
    EXPECT_EQ(Wp(1).altitude_constraint, 7500.0);
    EXPECT_EQ(Wp(1).speed_constraint, 270.0);
  }
}

// The descent's speed restriction holds at its altitude itself: at 300 kt
// and 2000 ft/min a NM is 400 ft, so from the destination at 50 ft, 25 NM
// out is 10050 (10000 in hundreds) and 25.25 NM out 10100.
TEST_F(VerticalPlanTest, ADescentWaypointAtTheRestrictionAltitudeTakesItsSpeed) {
  model::model_state.DescentTas = 300.0;
  Route({{"AAAA", 0, 0.0, "APT", 0, 50.0},
         {"W1", 0, 1.0},
         {"W2", 0, 2.0 - 25.25 / 60.0},
         {"W3", 0, 2.0 - 25.0 / 60.0},
         {"BBBB", 0, 2.0, "APT", 0, 50.0}});
  ComputeCruiseAltitude(12000, 1);
  EXPECT_EQ(Wp(3).altitude_constraint, 10000.0);
  EXPECT_EQ(Wp(3).speed_constraint, 240.0);
  EXPECT_EQ(Wp(2).altitude_constraint, 10100.0);
  EXPECT_EQ(Wp(2).speed_constraint, 270.0);
}

// A constraint at or above the level ahead of the top of climb is VNAV's
// target, met at the level, and VNAV climbs faster than the plan's rate
// (250 ft a NM: 48 NM to 12,000 ft) to be at the level there: the top of
// climb stands at its waypoint, or where VNAV's greatest rate (2,500
// ft/min) reaches the level where even that cannot make it. A constraint
// beyond the plan's top, or none, leaves the top where the plan reaches it.
TEST_F(VerticalPlanTest, ATopOfClimbPastAConstraintAboveTheLevelIsAtIt) {
  const double fastest = ClimbModel(2500.0).Distance(0.0, 12000.0);
  ASSERT_LT(fastest, 30.0);
  ASSERT_GT(fastest, 18.0);
  struct Case {
    const char* name;
    double constraint, lon, toc_nm;
    int end;
  } const cases[] = {
      {"above the level, past the greatest rate's top", 13000.0, 0.5, 30.0, 2},
      {"at the level", 12000.0, 0.5, 30.0, 2},
      {"before the greatest rate's top", 13000.0, 0.3, fastest, 2},
      {"beyond the plan's top", 13000.0, 0.9, 48.0, 1},
      {"none", model::kNoValue, 0.5, 48.0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    Route({{"A", 0, 0, "APT"},
           {"W1", 0, c.lon, "WPT", c.constraint == model::kNoValue ? 0u : 1u, c.constraint},
           {"W2", 0, 1.0},
           {"B", 0, 3, "APT"}});
    ComputeCruiseAltitude(12000, 1);
    At(0.0, 0.0);
    EXPECT_EQ(ComputeTopOfClimb(0), c.end);
    EXPECT_NEAR(guidance_state.TocLongitude, c.toc_nm / 60.0, 1e-4);
  }
}

TEST_F(VerticalPlanTest, TopOfClimbFromTheAircraftOrAConstraint) {
  EquatorRoute();
  ComputeCruiseAltitude(12000, 1);
  At(0.0, 0.0);
  // W1 is unconstrained, W2 at cruise: the TOC is projected again, 48 NM on.
  EXPECT_EQ(ComputeTopOfClimb(0), 2);
  EXPECT_NEAR(guidance_state.TocLongitude, 0.8, kPos);
  EXPECT_NEAR(guidance_state.NextConstraintLon, 0.8, kPos);
  EXPECT_EQ(guidance_state.TocWaypointIndex, 1);

  // The aircraft at 6000 ft needs 24 NM, short of W1.
  guidance_state.AircraftAltitude = 6000.0;
  guidance_state.TocWaypointIndex = 77;
  EXPECT_EQ(ComputeTopOfClimb(1), 1);
  EXPECT_NEAR(guidance_state.TocLongitude, 0.4, kPos);
  EXPECT_EQ(guidance_state.TocWaypointIndex, 77);  // offset 1 leaves it

  // A constraint below cruise 30 NM on is the target, and the aircraft
  // levels at it until W1: the TOC lies the climb from its altitude beyond
  // W1 (4 NM a thousand feet), unless the aircraft cannot reach that
  // altitude by W1 and climbs on through it, 48 NM from the ground.
  struct Capped {
    double altitude, toc_nm;
  };
  for (const Capped& c : {Capped{5000, 30 + 28}, Capped{7000, 30 + 20}, Capped{11000, 48}, Capped{11900, 48}}) {
    SCOPED_TRACE(c.altitude);
    SetUp();
    Route({{"A", 0, 0, "APT"}, {"W1", 0, 0.5, "WPT", 1, c.altitude, 200}, {"W2", 0, 1.0}, {"B", 0, 3, "APT"}});
    ComputeCruiseAltitude(12000, 1);
    EXPECT_EQ(ComputeTopOfClimb(0), 1);
    EXPECT_NEAR(guidance_state.TocLongitude, c.toc_nm / 60.0, kPos);
    EXPECT_NEAR(guidance_state.NextConstraintLon, 0.5, kPos);
    EXPECT_EQ(guidance_state.NextConstraintAltitude, c.altitude);
    EXPECT_EQ(guidance_state.TocWaypointIndex, 1);
  }

  flightplan::flightplan_state.ActiveWaypointIndex = model::kNoWaypoint;
  EXPECT_EQ(ComputeTopOfClimb(0), 0);

  // Planned in the air, 45.6 NM out at 4000 ft: the climb distance counts
  // from the origin, the route flown and then the 32 NM still to climb, and
  // the TOC stands ahead of the aircraft.
  SetUp();
  EquatorRoute();
  At(0.0, 0.76);
  flightplan::flightplan_state.ActiveWaypointIndex = 2;
  guidance_state.AircraftAltitude = 4000.0;
  ComputeCruiseAltitude(12000, 1);
  EXPECT_EQ(guidance_state.ClimbDistance, 77);
  EXPECT_NEAR(guidance_state.TocLongitude, 77.6 / 60.0, kPos);
}

// The crossover from the climb to the descent: past the TOC the first
// constraint is the crossover and caps the descent behind it; before the
// TOC, the waypoint where the climb reaches the level, unless the climb
// levels at a constraint there: W3 (120 NM out), met as the climb reaches
// 12000 ft 75 NM out, with the cruise after it (the descent from BBBB
// reaches the level 42 NM out), so the crossover is W4. 10 NM a minute at
// 1600 ft/min: 160 ft a NM.
TEST_F(VerticalPlanTest, CrossoverOfTheClimbAndTheDescent) {
  struct Expect {
    double altitude, speed;
  };
  struct Case {
    int toc_passed, active;
    Expect want[5];
  };
  const Case cases[] = {
      // W1 4850 -> 4800, W2 4800 + 4800 (a hair under 9600 in the sums of
      // the legs' lengths: 9500), both at the restriction's 240 kt (W3's
      // 230 is taken 25 NM before it); W2 descends to W3. Descent from BBBB
      // (0 ft, 285.7 ft a NM): W5 8571 -> 8500 at W3's 230, W4 held at
      // W3's 9000 and 230.
      {1, 1, {{4800, 240}, {9500, 240}, {9000, 230}, {9000, 230}, {8500, 230}}},
      // Before the TOC: W1 and W2 no higher than W3 (W3's 230 is taken only
      // 25 NM before it, and W2 lies 60 NM before it), W4 at the level, W5
      // descending at the restriction's 240.
      {0, 1, {{4800, 240}, {9000, 240}, {9000, 230}, {12000, 290}, {8500, 240}}},
      // Past the TOC and past W3 (a plan made in the cruise): W3 was the
      // climb's, and no crossover caps the cruise at its 9000 ft.
      {1, 4, {{4800, 240}, {9000, 240}, {9000, 230}, {12000, 290}, {8500, 240}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.toc_passed * 10 + c.active);
    SetUp();
    model::model_state.ClimbTas = 600.0;
    model::model_state.ClimbRate = 1600;
    model::model_state.CruiseAlt = 12000;
    EquatorRoute(true);
    flightplan::flightplan_state.ActiveWaypointIndex = c.active;
    guidance_state.TocPassed = c.toc_passed;
    guidance_state.TocLongitude = 99.0;
    ComputeCruiseAltitude(12000, 1);
    for (int i = 1; i <= 5; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(Wp(i).altitude_constraint, c.want[i - 1].altitude);
      EXPECT_EQ(Wp(i).speed_constraint, c.want[i - 1].speed);
    }
    // The TOC moves only before it is passed: 15 NM past W2.
    EXPECT_NEAR(guidance_state.TocLongitude, c.toc_passed == 1 ? 99.0 : 1.25, kPos);
    EXPECT_NEAR(guidance_state.TodLongitude, 3.3, kPos);
  }
  // A climb constraint's speed holds back only the waypoints within 25 NM
  // of it, summed over the legs: W1 (36 NM before W3) keeps the climb's
  // 240, W2 (12 NM) and W2B (24) take W3's 230.
  SetUp();
  model::model_state.ClimbTas = 600.0;
  model::model_state.ClimbRate = 1600;
  model::model_state.CruiseAlt = 12000;
  Route({{"AAAA", 0, 0.0, "APT", 0, 50.0},
         {"W1", 0, 0.4},
         {"W2B", 0, 0.6},
         {"W2", 0, 0.8},
         {"W3", 0, 1.0, "WPT", 1u, 9000.0, 230.0},
         {"W4", 0, 3.0},
         {"BBBB", 0, 4.0, "APT"}});
  flightplan::flightplan_state.ActiveWaypointIndex = 1;
  ComputeCruiseAltitude(12000, 1);
  EXPECT_EQ(Wp(1).speed_constraint, 240);
  EXPECT_EQ(Wp(2).speed_constraint, 230);
  EXPECT_EQ(Wp(3).speed_constraint, 230);
  EXPECT_EQ(Wp(4).speed_constraint, 230);
}

// Constraints ahead below the cruise altitude: the last one before a
// waypoint at cruise is the climb target, and the TOC moves onto one only
// when it lies short of the climb distance. The route crosses 180 degrees.
TEST_F(VerticalPlanTest, TopOfClimbOnConstraintsAcross180) {
  auto lon = [](double east_of_179) {
    const double l = 179.0 + east_of_179;
    return l > 180.0 ? l - 360.0 : l;
  };
  // Legs of 30.6, 30.6, 28.8, 30 and 60 NM.
  Route({{"A", 0, lon(0.0), "APT", 0, 0.0},
         {"W1", 0, lon(0.51), "WPT", 1, 5000, 210},
         {"W2", 0, lon(1.02), "WPT", 1, 8000, 230},
         {"W3", 0, lon(1.5), "WPT", 0, 12000, 290},
         {"W4", 0, lon(2.0), "WPT", 1, 9000, 250},
         {"B", 0, lon(3.0), "APT", 0, 0.0}});
  model::model_state.CruiseAlt = 12000;
  State& g = guidance_state;
  struct Case {
    int climb_distance;
    double toc_lon;
  };
  // W2 (60 NM) is the target whatever the climb distance, and W4 lies
  // beyond W3 at cruise: the aircraft levels at 8000 ft until W2, and the
  // TOC lies the 16 NM of the climb on from there, across 180.
  for (const Case& c : {Case{31, lon(1.02 + 16.0 / 60.0)}, Case{30, lon(1.02 + 16.0 / 60.0)}}) {
    SCOPED_TRACE(c.climb_distance);
    g.ClimbDistance = c.climb_distance;
    g.TocLongitude = 99.0;
    EXPECT_EQ(ComputeTopOfClimb(0), 2);
    EXPECT_NEAR(g.TocLongitude, c.toc_lon, kPos);
    EXPECT_NEAR(g.NextConstraintLon, lon(1.02), kPos);
    EXPECT_EQ(g.NextConstraintAltitude, 8000.0);
    EXPECT_EQ(g.TocWaypointIndex, 2);
  }

  // Flying to W3 at 9000 ft: nothing constrained before cruise, so the TOC
  // is projected from the aircraft, 18 NM short of W3: 6 x 3000 / 1500 =
  // 12 NM on, across 180.
  flightplan::flightplan_state.ActiveWaypointIndex = 3;
  g.AircraftAltitude = 9000.0;
  At(0.0, lon(1.2));
  EXPECT_EQ(ComputeTopOfClimb(0), 3);
  EXPECT_NEAR(g.TocLongitude, lon(1.4), kPos);
  EXPECT_NEAR(g.NextConstraintLon, lon(1.4), kPos);
  EXPECT_EQ(g.TocWaypointIndex, 2);
}

// Which constraints the climb flies to, at EXEC and again as VNAV passes
// the waypoint before one: the same, so that the aircraft levels where the
// TOC shown since EXEC says. Westbound across 180 in still air (250 ft a
// NM up, 285.7 down), level 12000 ft, reached 48 NM out from the ground.
// Legs of 30, 30, 60, 60 and 60 NM (the short route: 30, 30, 60).
TEST_F(VerticalPlanTest, TheClimbsConstraintsAreTheSameAtExecAndAsVnavPassesThem) {
  auto lon = [](double nm_west) {
    const double l = -179.0 - nm_west / 60.0;
    return l < -180.0 ? l + 360.0 : l;
  };
  struct Case {
    const char* what;
    bool short_route;
    int constrained;  // its entry
    double altitude;
    int climb_end;           // ClimbEndIndex
    double target;           // VNAV's altitude at EXEC and after the pass
    double toc_nm;           // at EXEC
    double passing_at;       // the aircraft's altitude passing the entry before
    double toc_after_nm;     // the TOC then
    double next_planned;     // the entry after the constraint, as planned
  };
  const Case cases[] = {
      // Reached before its waypoint (5000 ft 20 NM out): level there until
      // W1, then 28 NM of climb.
      {"before the level", false, 1, 5000, 2, 5000, 30 + 28, 0, 0, 12000},
      // The climb would reach the level 12 NM short of W2, and the cruise
      // follows W2: the aircraft levels at 9000 until W2 and climbs on.
      {"as the level is reached", false, 2, 9000, 3, 9000, 60 + 12, 7500, 60 + 12, 12000},
      // Beyond W2, reached at the level: the descent's, flown from the
      // level; passed W2 still climbing (at 11000), the TOC lies 4 NM on,
      // on W3's leg, and W3 (below the aircraft) is no target.
      {"after the level", false, 3, 9000, 2, 12000, 48, 11000, 64, 9000},
      // As the level is reached, with no waypoint after W2 but the end: the
      // cruise follows on the leg after it, the descent to B beginning 78 NM
      // out, so the climb's, levelled at until W2 (the TOC left on W2, with
      // no room for it beyond before the last leg), and no waypoint where
      // the climb reaches the level. Taken for the descent's, the aircraft
      // climbed through it to the level and turned down to meet it.
      {"with the cruise after it on the last leg", true, 2, 9000, 0, 9000, 60, 7500, 60, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    std::vector<Point> route = {{"A", 0, lon(0), "APT", 0, 0.0}, {"W1", 0, lon(30)}, {"W2", 0, lon(60)},
                                {"W3", 0, lon(120)}};
    if (!c.short_route) {
      route.push_back({"W4", 0, lon(180)});
      route.push_back({"B", 0, lon(240), "APT", 0, 0.0});
    } else {
      route.back() = {"B", 0, lon(120), "APT", 0, 0.0};
    }
    route[c.constrained].flag = 1;
    route[c.constrained].altitude = c.altitude;
    route[c.constrained].speed = 250;
    Route(route);
    model::model_state.CruiseAlt = 12000;
    State& g = guidance_state;
    flightplan::RebuildVerticalPlan();
    EXPECT_EQ(g.ClimbEndIndex, c.climb_end);
    EXPECT_EQ(g.NextConstraintAltitude, c.target);
    EXPECT_NEAR(g.TocLongitude, lon(c.toc_nm), kPos);
    if (c.next_planned >= 0) {
      EXPECT_EQ(Wp(c.constrained + 1).altitude_constraint, c.next_planned);
    }
    if (c.passing_at == 0) continue;
    // LNAV sequences the entry before it: VNAV chooses its next target.
    const int before = c.constrained - 1;
    flightplan::flightplan_state.ActiveWaypointIndex = before;
    At(0, lon(before == 1 ? 30 : 60));
    g.AircraftAltitude = c.passing_at;
    SelectNextConstraint();
    EXPECT_EQ(g.NextConstraintAltitude, c.target);
    EXPECT_NEAR(g.TocLongitude, lon(c.toc_after_nm), kPos);
  }
}

// LNAV sequences a constraint the climb levels at a mile before the
// aircraft is there; VNAV holds it as its target until then. An EXEC in
// those seconds (a speed or a level entered) keeps it where the route
// keeps the constraint and the waypoint flown to, and gives it up where
// the pilot took the constraint off. South along 30W, south of the
// equator: W1 at 60 NM (9000 ft), W2 at 120, B at 240, level 12000.
TEST_F(VerticalPlanTest, AnExecAsTheClimbsConstraintIsSequencedKeepsIt) {
  struct Case {
    const char* name;
    bool constraint_taken_off;
    double target;
    int held;  // after the next pass of VNAV
  };
  for (const Case& c : {Case{"the route kept", false, 9000, 1}, Case{"the constraint taken off", true, 12000, 0}}) {
    SCOPED_TRACE(c.name);
    SetUp();
    auto lat = [](double nm) { return -2.0 - nm / 60.0; };
    Route({{"A", lat(0), -30, "APT", 0, 0.0},
           {"W1", lat(60), -30, "WPT", 1, 9000, 250},
           {"W2", lat(120), -30},
           {"B", lat(240), -30, "APT", 0, 0.0}});
    flightplan::State& fp = flightplan::flightplan_state;
    fp.RouteState = 3;
    model::model_state.CruiseAlt = 12000;
    flightplan::RebuildVerticalPlan();
    State& g = guidance_state;
    ASSERT_EQ(g.NextConstraintIndex, 1);
    // Level at 9000 ft a mile short of W1, which LNAV has sequenced.
    g.AircraftAltitude = 9000.0;
    At(lat(59), -30);
    SelectNextConstraint();
    fp.ActiveWaypointIndex = 2;
    ASSERT_EQ(g.HeldConstraintIndex, 1);
    flightplan::BeginRouteModification();
    flightplan::StepRouteState();
    if (c.constraint_taken_off) fp.PendingFlightPlan[1].constraint_flag = 0;
    flightplan::ExecutePendingRoute();
    RunVerticalTransitions();
    EXPECT_EQ(g.NextConstraintAltitude, c.target);
    EXPECT_EQ(g.HeldConstraintIndex, c.held);
    // Held, the TOC lies the 12 NM of the climb beyond W1; given up, 12 NM
    // on from the aircraft.
    EXPECT_NEAR(g.TocLatitude, lat(c.held == 1 ? 72 : 71), kPos);
    // Abeam W1 the climb goes on to the level.
    At(lat(60.01), -30);
    RunVerticalTransitions();
    EXPECT_EQ(g.NextConstraintAltitude, 12000.0);
    EXPECT_EQ(g.HeldConstraintIndex, 0);
  }
}

// The TOC beyond the climb's constraint is placed again from the aircraft
// as LNAV sequences the constraint, short of its waypoint: from there the
// pages count to it. Placed at the gate from the ground (48 NM by the climb
// from there, the constraint 30 NM out at 9,000 ft, the level 12,000), it
// stood where a climb that never levelled would end: 8-10 NM beyond the top
// an aircraft that climbed faster reached from the constraint. So too where
// that climb meets the descent path of a short route, the TOD moved up to
// 36 NM out (12,000 ft down to B's 50 ft at 120 NM: 142.26 ft a NM): it
// ends there, under the level. 250 ft a NM, the aircraft 2 NM short of W1;
// southbound down the 180th meridian, the route's points on either side.
TEST_F(VerticalPlanTest, ATopOfClimbBeyondAConstraintIsPlacedAgainAsLnavSequencesIt) {
  struct Case {
    double altitude;  // the aircraft's as LNAV sequences W1
    bool short_route; // the TOD moved up to 36 NM out
    bool later;       // W2 a constraint of the climb too, 10,000 ft
    double to_toc;    // NM from the aircraft
    double top;       // where the climb ends
  };
  const Case cases[] = {
      {8500, false, false, 14.0, 12000},  // at 9,000 by W1, 12 NM of climb beyond it
      {9000, false, false, 14.0, 12000},  //
      {6000, false, false, 24.0, 12000},  // through 9,000 only past W1: 24 NM from the aircraft
      {10000, false, false, 14.0, 12000}, // above it (typed below it): down to it, then on from W1
      {8500, true, false, 11.824, 11456}, // the climb from W1 meets the path
      {6000, true, false, 18.197, 10549}, // the climb from the aircraft does
      {8500, false, true, 40.0, 12000},   // beyond W2's 10,000 (60 NM + 8): W2's TOC, left
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.altitude << (c.short_route ? " short" : "") << (c.later ? " later" : ""));
    SetUp();
    auto lat = [](double nm) { return -2.0 - nm / 60.0; };
    Route({{"A", lat(0), 180.0, "APT", 0, 0.0},
           {"W1", lat(30), -180.0, "WPT", 1, 9000},
           {"W2", lat(60), 180.0, "WPT", c.later ? 1u : 0u, c.later ? 10000.0 : model::kNoValue},
           {"W3", lat(90), -180.0},
           {"B", lat(120), 180.0, "APT", 0, 50.0}});
    flightplan::State& fp = flightplan::flightplan_state;
    State& g = guidance_state;
    fp.RouteState = 3;
    model::model_state.CruiseAlt = 12000;
    g.MagneticVariation = 14.0;
    flightplan::RebuildVerticalPlan();
    ASSERT_EQ(g.NextConstraintIndex, 1);
    if (c.short_route) {
      g.TodLatitude = lat(36);
      g.TodLongitude = 180.0;
      g.TodAltitude = 12000.0;
    }
    g.AircraftAltitude = c.altitude;
    At(lat(28), 180.0);
    SelectNextConstraint();
    ASSERT_EQ(g.HeldConstraintIndex, 1);
    EXPECT_EQ(g.NextConstraintAltitude, 9000.0);  // still the target
    UpdateVerticalProfile();
    EXPECT_NEAR(g.ClimbSideDistance, c.to_toc, 0.02);
    EXPECT_NEAR(ClimbTopAltitude(), c.top, 2.0);
    // Placed once, as LNAV sequences it: the passes after leave it.
    const double lat_placed = g.TocLatitude;
    g.AircraftAltitude = 2000.0;
    SelectNextConstraint();
    EXPECT_EQ(g.TocLatitude, lat_placed);
  }
}

// The descent's bottom is the nearest constraint from the end back to the
// TOC's waypoint, not beyond it.
// Climbing to a pilot's constraint above the plan's level (the level
// entered, or the lower one a short route allows), VNAV aims at the level,
// where the pages show it met; one at or below it stands, and past the top
// of climb the constraint's own altitude is the target.
TEST_F(VerticalPlanTest, AClimbsConstraintAboveTheLevelIsFlownToTheLevel) {
  struct Case {
    const char* name;
    std::int32_t entered, limit, toc_passed;
    double constraint, target;
  } const cases[] = {
      {"above the level entered", 28000, 0, 0, 29700.0, 28000.0},
      {"above the route's lower level", 39900, 28000, 0, 29700.0, 28000.0},
      {"at the level", 28000, 0, 0, 28000.0, 28000.0},
      {"below the level", 28000, 0, 0, 27900.0, 27900.0},
      {"past the top of climb", 28000, 0, 1, 29700.0, 29700.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    model::model_state.CruiseAlt = c.entered;
    guidance_state.CruiseAltitudeLimit = c.limit;
    guidance_state.TocPassed = c.toc_passed;
    model::FlightPlanWaypoint w;
    w.latitude = -36.3;
    w.longitude = -0.1;
    w.constraint_flag = 1;
    w.altitude_constraint = c.constraint;
    TargetEntry(w);
    EXPECT_EQ(guidance_state.NextConstraintAltitude, c.target);
    EXPECT_EQ(guidance_state.NextConstraintLon, -0.1);
  }
}

TEST_F(VerticalPlanTest, TopOfDescentLooksNoFurtherBackThanTheToc) {
  Route({{"A", 0, 0.0, "APT", 0, 0.0},
         {"W1", 0, 0.5, "WPT", 0, 6000},
         {"W2", 0, 1.0, "WPT", 0, 12000},
         {"W3", 0, 2.0, "WPT", 1, 9000, 250},
         {"W4", 0, 3.0, "WPT", 0, 10000},
         {"W5", 0, 3.5, "WPT", 0, 8000},
         {"B", 0, 4.0, "APT", 0, 0.0}});
  model::model_state.CruiseAlt = 12000;
  model::model_state.PlanDescentRate = 2000.0;
  State& g = guidance_state;
  struct Case {
    int toc_index;
    double tod_lon;
  };
  // TOC at W3: from B, 7 x 12000 / 2000 = 42 NM back. TOC at W2: from W3
  // at 9000 ft, 7 x 3000 / 2000 = 10.5 NM back.
  for (const Case& c : {Case{3, 3.3}, Case{2, 2.0 - 10.5 / 60.0}}) {
    SCOPED_TRACE(c.toc_index);
    g.TocWaypointIndex = c.toc_index;
    ComputeTopOfDescent(0);
    EXPECT_NEAR(g.TodLatitude, 0.0, kPos);
    EXPECT_NEAR(g.TodLongitude, c.tod_lon, kPos);
    EXPECT_EQ(g.TodAltitude, 12000.0);
  }
}

// A step down to a constraint just under the level lies wholly inside the
// autopilot's capture, which eases the rate from the step's start (no more
// than the feet still to go over a quarter of a minute): its top stands
// where an aircraft starting down there at the plan's rate, so eased, comes
// within 150 ft of the constraint by it. Placed as if the whole step went
// at the plan's rate, a 500-ft step was crossed 310 ft high. A longer step
// is timed by the plan's rate, as before. East and west of zero.
TEST_F(VerticalPlanTest, AShortStepDownAllowsForTheCapture) {
  struct Case {
    double step, plan_rate, greatest_rate;
    bool short_step;
  };
  const Case cases[] = {
      {300.0, 2000.0, 3000.0, true},  {500.0, 2000.0, 3000.0, true},   // 500: where the capture begins
      {501.0, 2000.0, 3000.0, false}, {1000.0, 2000.0, 3000.0, false}, {3000.0, 2000.0, 3000.0, false},
      {300.0, 2000.0, 1500.0, false}, {500.0, 2000.0, 1500.0, false},  // laid within VNAV's greatest
      {150.0, 2000.0, 3000.0, false},                                    // the capture has it at once
  };
  for (const double east : {1.0, -1.0}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << c.step << " ft at " << c.plan_rate << "/" << c.greatest_rate << ", "
                                        << east);
      SetUp();
      Route({{"A", 0, 0.0, "APT", 0, 0.0},
             {"W1", 0, 0.5 * east, "WPT", 0, 6000},
             {"W2", 0, 1.0 * east, "WPT", 0, 12000},
             {"W3", 0, 2.0 * east, "WPT", 1, 12000 - c.step, 250},
             {"W4", 0, 3.0 * east, "WPT", 0, 5000},
             {"W5", 0, 3.5 * east, "WPT", 0, 3000},
             {"B", 0, 4.0 * east, "APT", 0, 0.0}});
      model::State& m = model::model_state;
      m.CruiseAlt = 12000;
      m.PlanDescentRate = c.plan_rate;
      m.MaxVnavDescRate = c.greatest_rate;
      State& g = guidance_state;
      g.TocWaypointIndex = 2;
      ComputeTopOfDescent(0);
      double to_w3 = 0.0, course = 0.0;
      navdb::ComputeDistanceAndBearing(g.TodLatitude, g.TodLongitude, 0.0, 2.0 * east, to_w3, course);
      if (!c.short_step) {
        // 420 kt is the fastest the descent flies here: the path is laid
        // no steeper than VNAV follows at its share of its greatest rate.
        EXPECT_NEAR(to_w3, 7.0 * c.step / std::min(c.plan_rate, kDescentRateShare * c.greatest_rate), 1e-3);
        continue;
      }
      // Down from the top at 420 kt (the descent's true airspeed, still
      // air), the rate eased by the capture.
      const double rate = std::min(c.plan_rate, c.greatest_rate);
      double above = c.step;
      for (double nm = 0.0; nm < to_w3; nm += 420.0 / 3600.0 * 0.01)
        above -= std::min(rate, above * 60.0 / ClimbModel::kCaptureSeconds) / 60.0 * 0.01;
      EXPECT_LE(above, kTopOfClimbCapture + 1.0);
      EXPECT_GT(above, kTopOfClimbCapture - 10.0);
    }
  }
}

// A top of descent inside the constraint's own corner, past the point
// where LNAV sequences the waypoint, is a step down flown at the rate VNAV
// steps at from level flight: the rate built up (an autopilot's 400 ft/min
// a second here) and the last of it eased by the capture. Its top stands
// where such a step at the speed the slope is laid for comes within 150 ft
// of the constraint by the point abeam it. Laid by the slope alone (at the
// fastest airspeed, steeper than the step's rate flies there) a 1,800-ft
// step was crossed 345 ft high. A top on the leg before the corner, in the
// turn at the waypoint before, or a waypoint the route goes straight
// through, keeps the slope: the path is flown there. East and west of zero, turning north and south, across 180
// degrees, with variation.
TEST_F(VerticalPlanTest, AStepDownInsideTheConstraintsCornerAllowsForTheBuildUpAndTheCapture) {
  struct Case {
    double step, plan_rate;
    double turn;       // degrees of W3's turn, north of the route's way
    bool in_corner;    // the slope's top lies inside W3's corner
  };
  const Case cases[] = {
      {1000.0, 2000.0, 90.0, true},  {900.0, 2000.0, 120.0, true}, {800.0, 2600.0, 90.0, true},
      {1200.0, 2600.0, 120.0, true}, {600.0, 2000.0, 60.0, true},
      {6000.0, 2000.0, 90.0, false},  // the top on the leg before the corner
      {1000.0, 2000.0, 0.0, false},   // straight through: no corner
  };
  for (const double lon_shift : {0.0, -3.0, 179.0}) {
    for (const double north : {1.0, -1.0}) {
      for (const double east : {1.0, -1.0}) {
        for (const Case& c : cases) {
          SCOPED_TRACE(::testing::Message() << c.step << " ft at " << c.plan_rate << ", turn " << c.turn
                                            << ", east " << east << ", north " << north << ", shift " << lon_shift);
          SetUp();
          auto lon = [&](double l) { return std::remainder(east * l + lon_shift, 360.0); };
          const double out = c.turn * std::acos(-1.0) / 180.0;
          Route({{"A", 0, lon(0.0), "APT", 0, 0.0},
                 {"W1", 0, lon(0.5), "WPT", 0, 6000},
                 {"W2", 0, lon(1.0), "WPT", 0, 12000},
                 {"W3", 0, lon(2.0), "WPT", 1, 12000 - c.step, 250},
                 {"W4", north * std::sin(out), lon(2.0 + std::cos(out)), "WPT", 0, 5000},
                 {"B", north * 1.5 * std::sin(out), lon(2.0 + 1.5 * std::cos(out)), "APT", 0, 0.0}});
          model::State& m = model::model_state;
          m.CruiseAlt = 12000;
          m.PlanDescentRate = c.plan_rate;
          m.MaxVnavDescRate = 3000.0;
          State& g = guidance_state;
          g.MagneticVariation = -12.0;
          g.TocWaypointIndex = 2;
          ComputeTopOfDescent(0);
          const FlownPath& path = FlownPath::Current();
          const double w3 = path.Entry(3);
          const double tod = path.CoordinateFromPosition(5, g.TodLatitude, g.TodLongitude);
          const double slope = DescentSlope(c.plan_rate);
          double e = 0.0, n = 0.0;
          ASSERT_EQ(path.CornerWay(w3 - c.step / slope, e, n) && path.CornerWay(w3, e, n), c.in_corner);
          if (!c.in_corner) {
            EXPECT_NEAR(w3 - tod, c.step / slope, 1e-3);
            continue;
          }
          // Down from the top at the speed the slope is laid for (420 kt,
          // still air), the rate VNAV steps at built up and eased.
          const double rate = std::round(c.plan_rate / 100.0) * 100.0;
          const double knots = 420.0;
          double above = c.step, vs = 0.0;
          for (double nm = 0.0; nm < w3 - tod; nm += knots / 3600.0 * 0.01) {
            vs = std::min({vs + 400.0 * 0.01, rate, above * 60.0 / ClimbModel::kCaptureSeconds});
            above -= vs / 60.0 * 0.01;
          }
          EXPECT_LE(above, kTopOfClimbCapture + 1.0);
          EXPECT_GT(above, kTopOfClimbCapture - 15.0);
        }
      }
    }
  }
  // A slope's top in the second half of the turn at the waypoint before
  // lies in a corner too, but LNAV sequences the constraint only after the
  // leg between: the path is flown from it, and it stays.
  for (const double east : {1.0, -1.0}) {
    SCOPED_TRACE(east);
    SetUp();
    Route({{"A", 0, 0.0, "APT", 0, 0.0},
           {"W1", 0, 0.5 * east, "WPT", 0, 6000},
           {"W2", 0, 1.0 * east, "WPT", 0, 12000},
           {"W3", 0.25, 1.0 * east, "WPT", 1, 9000, 250},
           {"W4", 0.25, 1.5 * east, "WPT", 0, 5000},
           {"B", 0.25, 2.0 * east, "APT", 0, 0.0}});
    model::State& m = model::model_state;
    m.CruiseAlt = 12000;
    m.PlanDescentRate = 2000.0;
    m.MaxVnavDescRate = 3000.0;
    State& g = guidance_state;
    g.TocWaypointIndex = 2;
    const double w2 = FlownPath::Current().Entry(2), w3 = FlownPath::Current().Entry(3);
    const double step = DescentSlope(2000.0) * (w3 - w2 - 0.5);
    flightplan::flightplan_state.ActiveFlightPlan[3].altitude_constraint = std::round(12000.0 - step);
    flightplan::ActiveRouteChanged();
    ComputeTopOfDescent(0);
    const FlownPath& path = FlownPath::Current();
    ASSERT_NEAR(path.Entry(3), w3, 1e-9);
    const double tod = path.CoordinateFromPosition(5, g.TodLatitude, g.TodLongitude);
    double e = 0.0, n = 0.0;
    ASSERT_TRUE(path.CornerWay(tod, e, n) && path.CornerWay(w3, e, n));
    EXPECT_NEAR(w3 - tod, std::round(step) / DescentSlope(2000.0), 1e-3);
  }
}

// Cruising at `level` east (or west) on the leg into entry `active`, the
// T/C behind, W3's constraint next, the descent at 2,000 ft/min and VNAV's
// greatest 3,000, with 12 degrees west variation.
void CruiseOnTheLegInto(int active, double level, double east, bool vnav_off_at_last) {
  model::State& m = model::model_state;
  m.CruiseAlt = static_cast<std::int32_t>(level);
  m.PlanDescentRate = 2000.0;
  m.MaxVnavDescRate = 3000.0;
  m.VnavOffAtLastWpt = vnav_off_at_last ? 1 : 0;
  State& g = guidance_state;
  g.MagneticVariation = -12.0;
  g.TocWaypointIndex = active - 1;
  flightplan::flightplan_state.ActiveWaypointIndex = active;
  g.TocPassed = 1;
  g.TodPassed = 0;
  g.NextConstraintIndex = 3;
  g.LevelInForce = static_cast<std::int32_t>(level);
  g.AircraftAltitude = level;
  g.GroundTrack = (east > 0.0 ? 90.0 : 270.0) - g.MagneticVariation;
}

// A constraint at the last waypoint but one hands VNAV off as LNAV passes
// it, its switch distance before the aircraft is there: the destination is
// made active and VNAV goes off. A short step whose top the slope puts past
// that point is placed where the step VNAV flies (the rate built up, the
// capture easing the last of it) comes within 150 ft of the constraint by
// it; the level is kept to that top, and there, or sooner where the step is
// due at the ground speed flown, VNAV steps down to the constraint (the
// plan re-planned from it) while the waypoint is still active. Left past
// that point, 500-700 ft steps were crossed at the level. A top the slope
// puts before that point, a constraint with a waypoint after it, or VNAV
// staying on at the last waypoint keep the plan as it was. East and west
// of zero, turning north and south, across 180 degrees, with variation.
TEST_F(VerticalPlanTest, AStepToTheLastWaypointButOneComesBeforeLnavPassesIt) {
  struct Case {
    const char* name;
    double step, turn;  // feet under the level; degrees of W3's turn north
    bool last_but_one, vnav_off, placed;
  };
  const Case cases[] = {
      {"600 ft, straight through", 600.0, 0.0, true, true, true},
      {"700 ft, turning 30", 700.0, 30.0, true, true, true},
      {"600 ft, turning 90", 600.0, 90.0, true, true, true},
      {"1,200 ft, turning 120", 1200.0, 120.0, true, true, true},
      {"8,000 ft: the slope's top before the point", 8000.0, 30.0, true, true, false},
      {"a waypoint after it", 600.0, 30.0, false, true, false},
      {"VNAV on at the last waypoint", 600.0, 30.0, true, false, false},
  };
  // Where the aircraft is when the step is looked at: short of the top
  // (slower, then faster over the ground than the slope is laid for), and
  // just past it.
  struct Moment {
    double past_top, speed_share;
    bool steps;
  };
  const Moment moments[] = {{-0.1, 0.9, false}, {-0.1, 1.25, true}, {0.05, 0.9, true}};
  for (const double lon_shift : {0.0, -3.0, 179.0}) {
    for (const double north : {1.0, -1.0}) {
      for (const double east : {1.0, -1.0}) {
        for (const Case& c : cases) {
          for (const Moment& at : moments) {
            SCOPED_TRACE(::testing::Message() << c.name << ", east " << east << ", north " << north << ", shift "
                                              << lon_shift << ", " << at.past_top << " NM past the top at "
                                              << at.speed_share);
            SetUp();
            auto lon = [&](double l) { return std::remainder(east * l + lon_shift, 360.0); };
            const double out = c.turn * std::acos(-1.0) / 180.0;
            const double level = 24000.0, constraint = level - c.step;
            std::vector<Point> route = {{"A", 0, lon(0.0), "APT", 0, 0.0},
                                        {"W1", 0, lon(0.5), "WPT", 0, 6000},
                                        {"W2", 0, lon(1.0), "WPT", 0, level},
                                        {"W3", 0, lon(2.0), "WPT", 1, constraint}};
            if (!c.last_but_one) route.push_back({"W4", north * 0.5 * std::sin(out), lon(2.0 + 0.5 * std::cos(out))});
            route.push_back({"B", north * std::sin(out), lon(2.0 + std::cos(out)), "APT", 0, 0.0});
            Route(route);
            const int last = static_cast<int>(route.size()) - 1;
            CruiseOnTheLegInto(3, level, east, c.vnav_off);
            const model::State& m = model::model_state;
            State& g = guidance_state;
            At(0.0, lon(1.1));
            const double knots = DescentFastestSpeed();
            g.GroundSpeedKnots = at.speed_share * knots;
            ComputeTopOfDescent(0);
            const FlownPath& path = FlownPath::Current();
            const double w3 = path.Entry(3), passed = path.Passed(3);
            const double tod = path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude);
            ASSERT_TRUE(std::isfinite(passed));
            ASSERT_LT(passed, w3 - 2.9);  // the switch distance: 3 NM and more
            EXPECT_EQ(g.StepBeforeHandOverIndex, c.placed ? 3 : 0);
            if (!c.placed) {
              // The slope's own top: before the point for the long step,
              // past it (the constraint held there, VNAV still on) for the rest.
              EXPECT_EQ(tod < passed, c.step > 5000.0);
              continue;
            }
            // Down from the top at the speed the slope is laid for, the
            // rate VNAV steps at built up at 400 ft/min a second and eased.
            double above = c.step, vs = 0.0;
            for (double nm = 0.0; nm < passed - tod; nm += knots / 3600.0 * 0.01) {
              vs = std::min({vs + 400.0 * 0.01, 2000.0, above * 60.0 / ClimbModel::kCaptureSeconds});
              above -= vs / 60.0 * 0.01;
            }
            EXPECT_LE(above, kTopOfClimbCapture + 1.0);
            EXPECT_GT(above, kTopOfClimbCapture - 15.0);

            double lat = 0.0, lon_at = 0.0;
            int leg = 0;
            ASSERT_TRUE(path.PositionFromCoordinate(tod + at.past_top, lat, lon_at, leg));
            At(lat, lon_at);
            ASSERT_NEAR(FlownPath::Current().Aircraft(), tod + at.past_top, 0.02);
            UpdateVerticalProfile();
            EXPECT_EQ(g.TodPassed, 0);
            RunVerticalTransitions();
            EXPECT_EQ(g.TodPassed, 0);
            EXPECT_EQ(m.CruiseAlt, static_cast<std::int32_t>(at.steps ? constraint : level));
            EXPECT_EQ(g.StepBeforeHandOverIndex, at.steps ? 0 : 3);
          }
        }
      }
    }
  }
}

// The last waypoint but one, a short leg after a wide turn, is passed by
// LNAV inside the turn's corner: the path has no corner of its own there,
// and the step to its constraint was timed by the slope alone. After
// PARKK's 68-degree turn, FOURT's 3000A (7 NM on) was sequenced 0.4 NM
// before that top; VNAV went off with LNAV and the aircraft crossed FOURT
// at 4,000 ft. The top stands where the step, eased as VNAV flies it, is
// within the capture by the point LNAV passes it. East and west of zero,
// turning north and south, across 180 degrees, with variation.
TEST_F(VerticalPlanTest, AStepToAWaypointPassedInsideTheCornerBeforeComesBeforeLnavPassesIt) {
  struct Case {
    double turn, leg, step;  // degrees turned at W2 (toward the pole); NM from W2 to W3; feet
  };
  const Case cases[] = {{50.0, 7.0, 600.0}, {60.0, 7.0, 600.0}};
  for (const double lon_shift : {0.0, -3.0, 179.0}) {
    for (const double north : {1.0, -1.0}) {
      for (const double east : {1.0, -1.0}) {
        for (const Case& c : cases) {
          SCOPED_TRACE(::testing::Message() << c.turn << " degrees, " << c.leg << " NM, " << c.step << " ft, east "
                                            << east << ", north " << north << ", shift " << lon_shift);
          SetUp();
          auto lon = [&](double l) { return std::remainder(east * l + lon_shift, 360.0); };
          const double out = c.turn * std::acos(-1.0) / 180.0, leg = c.leg / 60.0;
          const double level = 5000.0, constraint = level - c.step;
          const std::vector<Point> route = {
              {"A", 0, lon(0.0), "APT", 0, 0.0},
              {"W1", 0, lon(0.5), "WPT", 0, level},
              {"W2", 0, lon(1.0), "WPT", 0, level},
              {"W3", north * leg * std::sin(out), lon(1.0 + leg * std::cos(out)), "WPT", 1, constraint},
              {"B", north * 2.5 * leg * std::sin(out), lon(1.0 + 2.5 * leg * std::cos(out)), "APT", 0, 0.0}};
          Route(route);
          const int last = static_cast<int>(route.size()) - 1;
          CruiseOnTheLegInto(2, level, east, true);
          State& g = guidance_state;
          At(0.0, lon(0.8));
          const double knots = DescentFastestSpeed();
          g.GroundSpeedKnots = knots;
          ComputeTopOfDescent(0);
          const FlownPath& path = FlownPath::Current();
          // The geometry is the one meant: W3 has no corner of its own.
          ASSERT_FALSE(std::isfinite(path.Passed(3)));
          const double w3 = path.Entry(3), passed = path.Sequenced(3);
          ASSERT_TRUE(std::isfinite(passed));
          EXPECT_LT(passed, w3);
          EXPECT_GT(passed, path.Passed(2));
          EXPECT_EQ(g.StepBeforeHandOverIndex, 3);
          const double tod = path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude);
          ASSERT_LT(tod, passed);
          // Down from the top at the speed the slope is laid for, the rate
          // VNAV steps at built up at 400 ft/min a second and eased.
          double above = level - constraint, vs = 0.0;
          for (double nm = 0.0; nm < passed - tod; nm += knots / 3600.0 * 0.01) {
            vs = std::min({vs + 400.0 * 0.01, 2000.0, above * 60.0 / ClimbModel::kCaptureSeconds});
            above -= vs / 60.0 * 0.01;
          }
          EXPECT_LE(above, kTopOfClimbCapture + 1.0);
        }
      }
    }
  }
}

// The descent is laid no steeper than VNAV follows at its share of its
// greatest rate at the fastest it flies: the cruise's or the descent's
// airspeed as a true airspeed at the level, with the wind of the moment
// taken as blowing from behind whichever way it blows (no wind is
// forecast): in still air a descent with 100-150 kt behind asked VNAV for
// its greatest rate and more, and crossed its waypoints high. Laid at the
// descent's mean true airspeed, a descent from FL240 at 300 kt asked for
// 3,300 ft/min of a VNAV that gives 3,000, and the aircraft crossed WP04
// 1,039 ft above the altitude the pages showed. South of the equator, east
// and west.
TEST_F(VerticalPlanTest, TheDescentIsLaidNoSteeperThanVnavFollowsAtItsFastest) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  auto span = [&] {
    const FlownPath& path = FlownPath::Current();
    const int last = flightplan::flightplan_state.ActiveFlightPlanLastIndex;
    return path.EntryOrBefore(last) - path.CoordinateFromPosition(last, g.TodLatitude, g.TodLongitude);
  };
  auto expected_per_nm = [&](double level, double cruise_ias) {
    const double fastest =
        std::max({m.DescentTas, model::IasToTas(cruise_ias, level), model::IasToTas(m.DescentSpeed, level)}) +
        g.WindSpeed;
    return std::min(2500.0 * 60.0 / m.DescentTas, kDescentRateShare * 3000.0 * 60.0 / fastest);
  };
  for (const double east : {1.0, -1.0}) {
    for (const double level : {12000.0, 24000.0, 35000.0}) {
      for (const double wind : {0.0, 150.0, -150.0}) {
        SCOPED_TRACE(::testing::Message() << "FL" << level / 100.0 << ", " << wind << " kt, " << east);
        SetUp();
        std::vector<Point> points{{"A", -30.0, 0.0, "APT", 0, 0.0}};
        for (int k = 1; k <= 8; ++k) points.push_back({"W", -30.0, k * east});
        points.push_back({"B", -30.0, 9.0 * east, "APT", 0, 0.0});
        Route(points);
        m.CruiseAlt = static_cast<std::int32_t>(level);
        m.PlanDescentRate = 2500.0;
        m.MaxVnavDescRate = 3000.0;
        // A wind on the nose (negative here) lays the path as one behind.
        g.WindSpeed = std::fabs(wind);
        g.WindDirection = (east > 0.0) == (wind >= 0.0) ? 270.0 : 90.0;
        g.TocWaypointIndex = 1;
        ComputeTopOfDescent(0);
        const double per_nm = expected_per_nm(level, 290.0);
        EXPECT_NEAR(level / span(), per_nm, 0.5);
        if (level != 35000.0 || wind != 0.0) continue;
        // Laid with the plan and kept: a speed a constraint writes into the
        // plan (250 kt under the 290-kt cruise) leaves the TOD as it was
        // placed, and a descent re-planned from a constraint falls at the
        // slope the TOD was placed for, as the pages walked it back
        // (steepened, the next waypoint was crossed 600 ft above the
        // altitude shown); a new plan lays it at the speeds of its moment.
        const double before = span();
        m.CruiseSpeed = 250;
        UpdateVerticalProfile();
        EXPECT_NEAR(span(), before, 1e-6);
        flightplan::State& fp = flightplan::flightplan_state;
        fp.ActiveFlightPlan[4].altitude_constraint = 20000.0;
        fp.ActiveFlightPlan[4].constraint_flag = 1;
        flightplan::ActiveRouteChanged();
        g.TocPassed = 1;
        fp.ActiveWaypointIndex = 5;
        ComputeTopOfDescent(1, 4);
        EXPECT_NEAR(20000.0 / span(), per_nm, 0.5) << "re-planned from the constraint";
        fp.ActiveWaypointIndex = 1;
        g.TocPassed = 0;
        m.CruiseAlt = static_cast<std::int32_t>(level);
        ComputeTopOfDescent(0);
        EXPECT_NEAR(15000.0 / (span() - 5.0 * 60.0 * std::cos(30.0 * M_PI / 180.0)), expected_per_nm(level, 250.0), 2.0)
            << "a new plan";
      }
    }
  }
}

// A descent constraint too low for the one before it: the waypoint between
// them is shown where VNAV, at its greatest rate from the first, comes down
// to, not on the walk back from the second (a slope no aircraft flies). At
// the descent's 270 kt, 3,000 ft/min from 20,000 ft over 6 NM take 2,900 ft
// at the top's true airspeed and 3,000 at the waypoint's; a wind on the nose
// steepens the fall, one behind flattens it. Northbound on a meridian west
// of Greenwich, and eastbound south of the equator, the leg from the first
// constraint across 180 degrees.
TEST_F(VerticalPlanTest, AWaypointBetweenTwoConstraintsIsShownWhereVnavComesDownTo) {
  State& g = guidance_state;
  struct Way {
    const char* name;
    double lat, lon, north, east;  // the origin; degrees a NM along the route
    double nose;                   // where a wind on the nose blows from
  };
  const double east_nm = 1.0 / (60.0 * std::cos(10.0 * M_PI / 180.0));
  const Way ways[] = {{"north, west of Greenwich", 44.0, -122.5, 1.0 / 60.0, 0.0, 0.0},
                      {"east across 180, south", -10.0, 176.6, 0.0, east_nm, 90.0}};
  for (const Way& w : ways) {
    double shown[3] = {};
    const double winds[3] = {60.0, 0.0, -60.0};  // on the nose, calm, behind
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(::testing::Message() << w.name << ", " << winds[i] << " kt on the nose");
      SetUp();
      auto at = [&w](const char* ident, double nm, const char* type = "WPT", std::uint32_t flag = 0,
                     double altitude = model::kNoValue) {
        return Point{ident, w.lat + nm * w.north, std::remainder(w.lon + nm * w.east, 360.0), type, flag, altitude};
      };
      Route({at("ORIG", 0.0, "APT", 0, 30.0), at("W1", 40.0), at("W2", 80.0), at("W3", 200.0, "WPT", 1, 20000.0),
             at("W4", 206.0), at("W5", 230.0, "WPT", 1, 6000.0), at("DEST", 260.0, "APT", 0, 0.0)});
      g.WindSpeed = std::fabs(winds[i]);
      g.WindDirection = winds[i] >= 0.0 ? w.nose : std::fmod(w.nose + 180.0, 360.0);
      model::model_state.CruiseAlt = 30000;
      ComputeCruiseAltitude(30000, 1);
      ASSERT_EQ(PlannedCruiseAltitude(), 30000);
      const double leg = FlownPath::Current().Entry(4) - FlownPath::Current().Entry(3);
      ASSERT_NEAR(leg, 6.0, 0.05);
      // Between falling at the top's ground speed and at the waypoint's,
      // to the hundred below.
      const double behind = -winds[i];
      const double top_fall = 3000.0 * 60.0 * leg / (model::IasToTas(270.0, 20000.0) + behind);
      const double low_fall = 3000.0 * 60.0 * leg / (model::IasToTas(270.0, 20000.0 - top_fall) + behind);
      shown[i] = Wp(4).altitude_constraint;
      EXPECT_LE(shown[i], 20000.0 - top_fall);
      EXPECT_GE(shown[i], 20000.0 - low_fall - 100.0);
      EXPECT_EQ(Wp(3).altitude_constraint, 20000.0);
      EXPECT_EQ(Wp(5).altitude_constraint, 6000.0);
    }
    EXPECT_LT(shown[0], shown[1]) << w.name;
    EXPECT_LT(shown[1], shown[2]) << w.name;
  }
}

TEST_F(VerticalPlanTest, TopOfDescentReplannedAndBehindTheActiveWaypoint) {
  EquatorRoute();
  ComputeCruiseAltitude(12000, 1);
  State& g = guidance_state;
  g.TocPassed = 1;
  g.AircraftAltitude = 12000.0;
  g.TodLongitude = 99.0;
  flightplan::flightplan_state.ActiveWaypointIndex = 4;
  ComputeTopOfDescent(0);
  EXPECT_NEAR(g.TodLongitude, 3.3, kPos);
  EXPECT_EQ(g.TodAltitude, 12000.0);

  // Flying to the last waypoint along its leg, 42 NM do not fit in the
  // 30 NM leg: the rest lies behind the leg's start along the magnetic
  // bearing turned true, 42 NM before the waypoint (not 12, a leg late),
  // behind the aircraft 24 NM out.
  flightplan::flightplan_state.ActiveWaypointIndex = 6;
  g.BearingToActiveWaypoint = 80.0;
  g.MagneticVariation = 10.0;
  g.TodPassed = 0;  // still in cruise
  At(0.0, 3.6);
  ComputeTopOfDescent(0);
  EXPECT_NEAR(g.TodLatitude, 0.0, kPos);
  EXPECT_NEAR(g.TodLongitude, 3.3, kPos);
  // Sent straight to it from 240 NM out, off the legs (a direct-to), the
  // aircraft has the room: the TOD lies on its way, the whole 42 NM before
  // it, and is found there again once passed.
  At(0.5, 0.0);
  g.TodPassed = 0;  // the TOD above lay behind the aircraft
  ComputeTopOfDescent(0);
  double to_end = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(g.TodLatitude, g.TodLongitude, 0.0, 4.0, to_end, course);
  EXPECT_NEAR(to_end, 42.0, 0.5);
  EXPECT_NEAR(g.TodLatitude / 0.5 + g.TodLongitude / 4.0, 1.0, 1e-3);
  At(0.08, 3.36);
  UpdateVerticalProfile();
  EXPECT_NEAR(g.DistanceTodToLastWaypoint, 42.0, 0.1);
  At(0.0, 0.0);

  // Re-planned from a constrained active waypoint at 9000 ft: 31.5 NM.
  flightplan::flightplan_state.ActiveFlightPlan[4].altitude_constraint = 9000.0;
  flightplan::ActiveRouteChanged();
  flightplan::flightplan_state.ActiveWaypointIndex = 4;
  fms::fms_state.FmsPage = fms::kPageEconClimb;
  g.TodPassed = 1;
  ComputeTopOfDescent(1);
  EXPECT_EQ(model::model_state.CruiseAlt, 9000);
  EXPECT_EQ(g.TodReferenceIndex, 4);
  EXPECT_EQ(g.TodPassed, 0);
  EXPECT_EQ(fms::fms_state.FmsPage, fms::kPageEconCruise);
  EXPECT_NEAR(g.TodLongitude, 3.5 - 1.5 / 60.0, kPos);

  // The descent page turns to cruise only while the profile is not valid.
  fms::fms_state.FmsPage = fms::kPageEconDescent;
  g.VerticalProfileValid = 1;
  ComputeTopOfDescent(1);
  EXPECT_EQ(fms::fms_state.FmsPage, fms::kPageEconDescent);
  g.VerticalProfileValid = 0;
  ComputeTopOfDescent(1);
  EXPECT_EQ(fms::fms_state.FmsPage, fms::kPageEconCruise);

  // A constraint above the plan's level (the route's room capped it at
  // 8000 ft) leaves the level and the entry: the descent starts from 8000
  // ft, 28 NM before B.
  g.CruiseAltitudeLimit = 8000;
  ComputeTopOfDescent(1);
  EXPECT_EQ(model::model_state.CruiseAlt, 9000);
  EXPECT_EQ(g.TodAltitude, 8000.0);
  EXPECT_NEAR(g.TodLongitude, 4.0 - 28.0 / 60.0, kPos);
}

// A descent re-planned at a constraint (the aircraft at its altitude, the
// waypoint being sequenced) lies ahead of the old top of descent, which the
// aircraft has passed: the new top alone says when the descent goes on, at
// its own point, east and west of zero.
TEST_F(VerticalPlanTest, DescentReplannedAtAConstraintWaitsForItsNewTopOfDescent) {
  State& g = guidance_state;
  for (const double east : {1.0, -1.0}) {
    SCOPED_TRACE(east);
    SetUp();
    Route({{"AAAA", 0, 0.0, "APT", 0, 50.0},
           {"W1", 0, 0.5 * east},
           {"W2", 0, 1.0 * east},
           {"W3", 0, 2.0 * east},
           {"W4", 0, 3.0 * east, "WPT", 1u, 9000.0},
           {"W5", 0, 3.5 * east},
           {"BBBB", 0, 4.0 * east, "APT"}});
    ComputeCruiseAltitude(12000, 1);
    g.TocPassed = 1;
    g.AircraftAltitude = 9000.0;
    flightplan::flightplan_state.ActiveWaypointIndex = 4;
    g.NextConstraintIndex = 4;
    // The descent from the level began at 2.5 degrees: that top is behind.
    g.TodLatitude = 0.0;
    g.TodLongitude = 2.5 * east;
    g.TodAltitude = 12000.0;
    g.TodPassed = 1;
    At(0.0, 2.95 * east);
    ComputeTopOfDescent(1, 4);
    EXPECT_EQ(g.TodPassed, 0);
    EXPECT_EQ(g.TodAltitude, 9000.0);
    const double top = 3.5 - 1.5 / 60.0;  // 31.5 NM before BBBB
    EXPECT_NEAR(g.TodLongitude, top * east, kPos);
    // Flown on past W4: level up to the new top, the descent from its point.
    flightplan::flightplan_state.ActiveWaypointIndex = 5;
    g.NextConstraintIndex = 6;
    for (const auto& [lon, passed] : {std::pair{3.1, 0}, std::pair{top - 0.002, 0}, std::pair{top + 0.002, 1}}) {
      SCOPED_TRACE(lon);
      At(0.0, lon * east);
      UpdateVerticalProfile();
      EXPECT_EQ(g.TodPassed, passed);
    }
    // A constraint at W5 above W4's is flown to as the descent stood; one
    // at W4's altitude is the level held to the new top.
    for (const auto& [w5, passed] : {std::pair{9100.0, 1}, std::pair{9000.0, 0}}) {
      SCOPED_TRACE(w5);
      model::FlightPlanWaypoint& w = flightplan::flightplan_state.ActiveFlightPlan[5];
      w.constraint_flag = 1;
      w.altitude_constraint = w5;
      flightplan::ActiveRouteChanged();
      flightplan::flightplan_state.ActiveWaypointIndex = 4;
      g.NextConstraintIndex = 4;
      g.TodLongitude = 2.5 * east;
      g.TodPassed = 1;
      At(0.0, 2.95 * east);
      ComputeTopOfDescent(1, 4);
      EXPECT_EQ(g.TodPassed, passed);
    }
  }
}

// A constraint below the level in the cruise makes its altitude the level
// the aircraft cruises at once it has stepped down to it: a higher level
// entered there is a step climb from it, and the waypoints beyond the climb
// show the new level. Left at the climb's level, the aircraft, 3,000 ft
// under it at the constraint, cruised at no level: the entry started no
// climb, and the walk from the runway took the constraint behind for the
// descent's first, every waypoint after it shown at its altitude.
// Southbound down a meridian west of Greenwich, and eastbound across the
// 180th meridian south of the equator.
TEST_F(VerticalPlanTest, AHigherLevelAfterAStepDownToAConstraintIsAStepClimb) {
  struct Case {
    const char* name;
    double lat0, lon0, dlat, dlon;  // the origin, and degrees a NM
  };
  for (const Case& c : {Case{"south, west", -2.0, -30.0, -1.0 / 60.0, 0.0},
                        Case{"east across 180", -10.0, 179.0, 0.0, 1.0 / 60.0 / std::cos(10.0 * M_PI / 180.0)}}) {
    SCOPED_TRACE(c.name);
    SetUp();
    auto lat = [&](double nm) { return c.lat0 + c.dlat * nm; };
    auto lon = [&](double nm) { return std::remainder(c.lon0 + c.dlon * nm, 360.0); };
    Route({{"A", lat(0), lon(0), "APT", 0, 0.0},
           {"W1", lat(60), lon(60)},
           {"W2", lat(120), lon(120), "WPT", 1, 9000},
           {"W3", lat(180), lon(180)},
           {"W4", lat(240), lon(240)},
           {"W5", lat(300), lon(300)},
           {"B", lat(420), lon(420), "APT", 0, 0.0}});
    flightplan::State& fp = flightplan::flightplan_state;
    model::State& m = model::model_state;
    State& g = guidance_state;
    fp.RouteState = 3;
    m.CruiseAlt = 12000;
    flightplan::RebuildVerticalPlan();
    ASSERT_EQ(g.PreselectAltitude, 12000.0);
    // Stepped down to W2's 9,000 ft, which LNAV has just sequenced.
    g.TocPassed = g.TodPassed = 1;
    g.AircraftAltitude = 9000.0;
    At(lat(121), lon(121));
    fp.ActiveWaypointIndex = 3;
    ComputeTopOfDescent(1, 2);
    ASSERT_EQ(m.CruiseAlt, 9000);
    ASSERT_EQ(g.TodPassed, 0);
    // 11,000 ft entered and executed.
    m.CruiseAlt = 11000;
    flightplan::RebuildVerticalPlan();
    EXPECT_EQ(g.TocPassed, 0);
    EXPECT_EQ(g.PreselectAltitude, 11000.0);
    EXPECT_EQ(g.NextConstraintAltitude, 11000.0);
    // 2,000 ft at 250 ft a NM: the level 8 NM on, before W3.
    for (int k = 3; k <= 5; ++k) {
      SCOPED_TRACE(k);
      EXPECT_EQ(Wp(k).altitude_constraint, 11000.0);
    }
  }
}

TEST_F(VerticalPlanTest, ProfileThroughClimbCruiseAndDescent) {
  EquatorRoute();
  ComputeCruiseAltitude(12000, 1);
  State& g = guidance_state;
  // Climb, 12 NM out on the first leg.
  At(0.0, 0.2);
  UpdateVerticalProfile();
  EXPECT_NEAR(g.DestinationDistance, 228.0, kNm);
  EXPECT_NEAR(g.DirectDistanceToLastWaypoint, 228.0, kNm);
  EXPECT_NEAR(g.DestinationCourse, 90.0, 1e-6);
  EXPECT_NEAR(g.NextConstraintDistance, 36.0, kNm);  // to the TOC
  // In the climb too, along the route to the TOD (42 NM from the end).
  EXPECT_NEAR(g.CruiseSideDistance, 228.0 - 42.0, kNm);

  // Cruise, on the way to W4: the TOD is 48 NM on, 42 NM from the end.
  g.TocPassed = 1;
  flightplan::flightplan_state.ActiveWaypointIndex = 4;
  At(0.0, 2.5);
  UpdateVerticalProfile();
  EXPECT_NEAR(g.NextConstraintDistance, 48.0, kNm);
  EXPECT_NEAR(g.DistanceTodToLastWaypoint, 42.0, kNm);
  EXPECT_NEAR(g.DistanceTodToConstraint, 42.0, kNm);
  EXPECT_NEAR(g.DestinationDistance, 90.0, kNm);
  EXPECT_EQ(g.TodPassed, 0);
  // Still to fly to the constraint (the end): more than the TOD's 42 NM
  // from it, so nothing reads the aircraft as past the TOD.
  EXPECT_NEAR(g.DistanceSinceTod, 90.0, kNm);
  UpdateVerticalProfile();  // sums start afresh on every call
  EXPECT_NEAR(g.NextConstraintDistance, 48.0, kNm);

  // Just past the TOD.
  flightplan::flightplan_state.ActiveWaypointIndex = 5;
  At(0.0, 3.31);
  UpdateVerticalProfile();
  EXPECT_EQ(g.TodPassed, 1);
  EXPECT_EQ(g.NextConstraintAltitude, 0.0);

  // The descent begun 1.5 NM short of the TOD (lon 3.3): nothing flown
  // since it yet, the path still at the TOD's altitude.
  g.TodAltitude = 12000.0;
  At(0.0, 3.275);
  UpdateVerticalProfile();
  EXPECT_EQ(g.DescentPathAltitudeSpan, 0.0);
  EXPECT_EQ(g.VnavPathAltitude, 12000.0);

  // Halfway down, 21 NM from the TOD and from the end.
  flightplan::flightplan_state.ActiveWaypointIndex = 6;
  At(0.0, 3.65);
  UpdateVerticalProfile();
  EXPECT_NEAR(g.DistanceSinceTod, 21.0, kNm);
  EXPECT_NEAR(g.NextConstraintDistance, 21.0, kNm);
  EXPECT_NEAR(g.DescentPathAltitudeSpan, 21.0, kNm);
  EXPECT_NEAR(g.VnavPathAltitude, 6000.0, 0.01);
  // VNAV's target at an airport is 200 ft above it, the path's end is the
  // airport, as the TOD and the predictions have it.
  g.NextConstraintAltitude = 200.0;
  UpdateVerticalProfile();
  EXPECT_NEAR(g.VnavPathAltitude, 6000.0, 0.01);

  // Re-planned there (EXEC), the descent goes on from the aircraft, at its
  // altitude: the TOD walked back from the end at the plan's rate lay 0.7
  // NM ahead of an aircraft 200 ft below that line.
  g.AircraftAltitude = 5800.0;
  ComputeTopOfDescent(0);
  EXPECT_NEAR(g.TodLongitude, 3.65, 1e-3);
  EXPECT_EQ(g.TodAltitude, 5800.0);
  EXPECT_EQ(g.TodPassed, 1);
  EXPECT_NEAR(g.VnavPathAltitude, 5800.0, 1.0);

  // A TOD on the constraint itself: the constraint's altitude is the path.
  g.TodLongitude = 4.0;
  UpdateVerticalProfile();
  EXPECT_EQ(g.VnavPathAltitude, 0.0);
}

// A hold ahead in the descent is flown at its fix's planned altitude: where
// the straight path from the TOD to the end passes the fix above it (the
// path after the fix grew since the plan), the path reaches that altitude
// HoldLevelOffMiles short of the fix and is level from there, and VNAV's
// rate follows the steeper path. A fix planned above the straight path, a
// hold behind the aircraft, or none leave the path straight. The TOD is 42
// NM from the end (lon 3.3), W5 30 NM (lon 3.5); the level-off counted at
// 3,000 ft/min to within 100 ft, 15.2 s at the descent's 420 kt, 1.78 NM.
TEST_F(VerticalPlanTest, AHoldAheadInTheDescentIsReachedAtItsFixsAltitude) {
  const double level_off = 15.0 * (std::log(750.0 / 100.0) - 1.0) * 420.0 / 3600.0;
  const double bent = 4200.0 / (12.0 - level_off), straight = 12000.0 / 42.0;
  struct Case {
    const char* name;
    int hold_at;           // 0: no hold
    double fix_altitude;   // W5's planned altitude
    double lon;            // the aircraft
    int active;
    double path, gradient;
  } const kCases[] = {
      {"fix below the straight path", 5, 7800.0, 3.4, 5, 12000.0 - bent * 6.0, bent},
      {"fix below, short of its level-off", 5, 7800.0, 3.5 - (level_off + 0.05) / 60.0, 5, 7800.0 + bent * 0.05,
       bent},
      {"fix below, past its level-off", 5, 7800.0, 3.5 - (level_off - 0.05) / 60.0, 5, 7800.0, 0.0},
      {"fix below, at the fix", 5, 7800.0, 3.5, 5, 7800.0, 0.0},
      {"fix above the straight path", 5, 9500.0, 3.4, 5, 12000.0 - straight * 6.0, straight},
      {"no hold", 0, 7800.0, 3.4, 5, 12000.0 - straight * 6.0, straight},
      {"the hold's fix behind", 5, 7800.0, 3.6, 6, 12000.0 - straight * 18.0, straight},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    EquatorRoute();
    model::model_state.MaxVnavDescRate = 3000.0;
    ComputeCruiseAltitude(12000, 1);
    State& g = guidance_state;
    flightplan::State& fp = flightplan::flightplan_state;
    ASSERT_NEAR(g.TodLongitude, 3.3, kPos);
    ASSERT_NEAR(DescentFastestSpeed(), 420.0, 1e-6);
    EXPECT_NEAR(HoldLevelOffMiles(), level_off, 1e-6);
    fp.ActiveFlightPlan[5].altitude_constraint = c.fix_altitude;
    if (c.hold_at > 0) {
      fp.HoldCount = 1;
      fp.HoldTable[1].active_index = c.hold_at;
    }
    g.TocPassed = g.TodPassed = 1;
    g.TodAltitude = 12000.0;
    fp.ActiveWaypointIndex = c.active;
    At(0.0, c.lon);
    UpdateVerticalProfile();
    EXPECT_NEAR(g.VnavPathAltitude, c.path, 0.5);
    EXPECT_NEAR(DescentPathGradient(), c.gradient, 0.01);
  }
}

// A hold's fix between the TOD and the end is reached level: the TOD stands
// back from where the plan's slope puts it by the hold's level-off and the
// seconds VNAV's greatest rate takes to build up from level (3,000 ft/min
// at 400 ft/min a second, half of 7.5 s), at the speed the slope is laid
// for, and the path from it reaches the fix's altitude, planned on the
// slope back from the end, the level-off short of the fix. Without a hold
// the TOD stands where the slope puts it. The wind, behind or on the nose,
// lays the slope for the fastest speed over the ground it gives. Southbound
// west of Greenwich and westbound across 180 degrees south of the equator,
// the variation east or west; W8, the fix, 60 NM (a degree of latitude, or
// of longitude over its cosine) before the end.
TEST_F(VerticalPlanTest, TheTopOfDescentBeforeAHoldStandsBackByItsLevelOff) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  struct Case {
    const char* name;
    bool meridian;  // southbound on 150 W; else westbound on 30 S across 180
    double variation, wind, wind_from;
    bool hold;
  } const kCases[] = {
      {"south, 150 kt behind, hold", true, 15.0, 150.0, 0.0, true},
      {"south, 150 kt on the nose, hold", true, -12.0, 150.0, 180.0, true},
      {"south, calm, hold", true, 15.0, 0.0, 0.0, true},
      {"south, 150 kt behind, no hold", true, 15.0, 150.0, 0.0, false},
      {"across 180, 120 kt behind, hold", false, -20.0, 120.0, 90.0, true},
      {"across 180, 120 kt on the nose, hold", false, 9.0, 120.0, 270.0, true},
      {"across 180, 120 kt behind, no hold", false, -20.0, 120.0, 90.0, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const double cos30 = std::cos(30.0 * M_PI / 180.0);
    // The point `nm` along the route from its first waypoint.
    auto along = [&](double nm, double& lat, double& lon) {
      lat = c.meridian ? -nm / 60.0 : -30.0;
      lon = c.meridian ? -150.0 : std::remainder(176.0 - nm / (60.0 * cos30), 360.0);
    };
    std::vector<Point> points;
    for (int k = 0; k <= 9; ++k) {
      double lat = 0.0, lon = 0.0;
      along(k * (c.meridian ? 60.0 : 60.0 * cos30), lat, lon);
      points.push_back({k == 0 ? "A" : k == 9 ? "B" : "W", lat, lon, k == 0 || k == 9 ? "APT" : "WPT", 0, 0.0});
    }
    for (int k = 1; k <= 8; ++k) points[static_cast<std::size_t>(k)].altitude = model::kNoValue;
    Route(points);
    g.MagneticVariation = c.variation;
    m.CruiseAlt = 24000;
    m.PlanDescentRate = 2500.0;
    m.MaxVnavDescRate = 3000.0;
    g.WindSpeed = c.wind;
    g.WindDirection = c.wind_from;
    g.TocWaypointIndex = 1;
    const FlownPath& path = FlownPath::Current();
    const double end_at = path.EntryOrBefore(9), fix_at = path.Entry(8);
    ASSERT_NEAR(end_at - fix_at, c.meridian ? 60.0 : 60.0 * cos30, 0.05);
    flightplan::State& fp = flightplan::flightplan_state;
    const double per_nm = DescentSlope(m.PlanDescentRate);
    const double fix_altitude = per_nm * (end_at - fix_at);
    fp.ActiveFlightPlan[8].altitude_constraint = fix_altitude;
    flightplan::ActiveRouteChanged();
    if (c.hold) {
      fp.HoldCount = 1;
      fp.HoldTable[1].active_index = 8;
    }
    ComputeTopOfDescent(0);
    const double level_off = 15.0 * (std::log(750.0 / 100.0) - 1.0) * DescentFastestSpeed() / 3600.0;
    const double built_up = 3000.0 / 400.0 / 2.0 * DescentFastestSpeed() / 3600.0;
    ASSERT_NEAR(DescentFastestSpeed(), FastestDescentTas(24000.0) + c.wind, 1e-6);
    const double tod_at = path.CoordinateFromPosition(9, g.TodLatitude, g.TodLongitude);
    const double plain = 24000.0 / per_nm;
    EXPECT_NEAR(end_at - tod_at, plain + (c.hold ? level_off + built_up : 0.0), 0.05);
    if (!c.hold) continue;
    ASSERT_LT(tod_at, fix_at - level_off);
    // Down the path past the TOD: at the fix's altitude from the level-off
    // on, above it short of there, and no steeper than the plan's slope.
    // In calm air the fix lies 7 NM past the TOD, too near for the
    // build-up's miles: the straight path to the end passes the level-off
    // below the fix's altitude, and stays (VNAV levels at the fix's
    // altitude early, DescentLevelBeforeHold).
    g.TocPassed = g.TodPassed = 1;
    g.TodAltitude = 24000.0;
    fp.ActiveWaypointIndex = 8;
    const double bent = (24000.0 - fix_altitude) / (fix_at - level_off - tod_at);
    const double straight = 24000.0 / (end_at - tod_at);
    const bool levels = c.wind > 0.0;
    EXPECT_EQ(fix_altitude < 24000.0 - straight * (fix_at - level_off - tod_at), levels);
    for (const double before : {level_off + 1.0, level_off - 0.2, 0.1}) {
      SCOPED_TRACE(::testing::Message() << before << " NM before the fix");
      double lat = 0.0, lon = 0.0;
      along(fix_at - before, lat, lon);
      At(lat, lon);
      UpdateVerticalProfile();
      const double short_of_level = std::max(0.0, before - level_off);
      if (levels) {
        EXPECT_NEAR(g.VnavPathAltitude, fix_altitude + bent * short_of_level, 5.0);
        EXPECT_NEAR(DescentPathGradient(), short_of_level > 0.0 ? bent : 0.0, 0.5);
        EXPECT_LE(bent, per_nm + 0.5);
      } else {
        EXPECT_NEAR(g.VnavPathAltitude, straight * (end_at - fix_at + before), 5.0);
        EXPECT_NEAR(DescentPathGradient(), straight, 0.5);
      }
    }
  }
}

// Re-planned at a constraint, with the next one the very next waypoint and
// nearer than the plan's rate reaches (W4 to W5 is 30 NM): the descent
// starts at W4 itself, where the aircraft is held at W4's altitude, down
// the steeper path the pages show; one that fits starts where the plan's
// rate puts it. The same whether W4 is still active or has just been
// sequenced. With a waypoint between (W5 unconstrained, the next
// constraint the end), the path keeps to the plan's rate the pages show
// W5 on, and starts before W4.
TEST_F(VerticalPlanTest, ADescentReplannedAtAConstraintStartsNoEarlierThanIt) {
  struct Case {
    const char* name;
    double w5;       // W5's altitude (W4 at 11,000 ft); NaN: no constraint
    int active;      // W4 (4) still active, or just sequenced (5)
    double rate;     // the plan's descent rate: 3.5 NM per 1,000 ft at 2,000 ft/min
    double tod_lon;  // back from W5 (lon 3.5) or the end (4.0)
    double gradient;
  } const kCases[] = {
      {"fits, W4 active", 3000.0, 4, 2000.0, 3.5 - 28.0 / 60.0, 8000.0 / 28.0},
      {"fits, W4 just passed", 3000.0, 5, 2000.0, 3.5 - 28.0 / 60.0, 8000.0 / 28.0},
      {"just fits", 2430.0, 5, 2000.0, 3.5 - 29.995 / 60.0, 8570.0 / 29.995},
      {"too near, W4 active", 2000.0, 4, 2000.0, 3.0, 9000.0 / 30.0},
      {"too near, W4 just passed", 2000.0, 5, 2000.0, 3.0, 9000.0 / 30.0},
      {"far too near", 100.0, 5, 2000.0, 3.0, 10900.0 / 30.0},
      {"a waypoint between", NAN, 5, 1000.0, 4.0 - 77.0 / 60.0, 11000.0 / 77.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    EquatorRoute();
    ComputeCruiseAltitude(12000, 1);
    State& g = guidance_state;
    flightplan::State& fp = flightplan::flightplan_state;
    for (const auto& [i, altitude] : {std::pair{4, 11000.0}, std::pair{5, c.w5}}) {
      if (std::isnan(altitude)) continue;
      fp.ActiveFlightPlan[i].altitude_constraint = altitude;
      fp.ActiveFlightPlan[i].constraint_flag = 1;
    }
    flightplan::ActiveRouteChanged();
    model::model_state.PlanDescentRate = c.rate;
    g.TocPassed = g.TodPassed = 1;
    fp.ActiveWaypointIndex = c.active;
    g.NextConstraintIndex = std::isnan(c.w5) ? 6 : 5;
    At(0.0, 2.99);
    ComputeTopOfDescent(1, 4);
    EXPECT_EQ(g.TodAltitude, 11000.0);
    EXPECT_NEAR(g.TodLatitude, 0.0, kPos);
    EXPECT_NEAR(g.TodLongitude, c.tod_lon, 1e-5);
    g.TodPassed = 1;
    UpdateVerticalProfile();
    EXPECT_NEAR(DescentPathGradient(), c.gradient, 0.05);
  }
}

// A route that comes back past itself, as the sample's does past BTG into
// KPDX: the TOD 6 NM before B lies 6 NM from the end, within reach of the
// last leg, and was taken for a point on it (6 NM from it to the end, the
// path held at the TOD's altitude until then). It is on the first leg.
TEST_F(VerticalPlanTest, APointIsFoundOnTheLegItLiesOn) {
  Route({{"A", 0, 0.0}, {"B", 0, 1.0}, {"C", 0.5, 1.0}, {"D", 0.1, 0.9}});
  State& g = guidance_state;
  model::model_state.CruiseAlt = 12000;
  g.TocPassed = g.TodPassed = 1;
  g.TodAltitude = 12000.0;
  g.TodLatitude = 0.0;
  g.TodLongitude = 0.9;
  g.NextConstraintIndex = 3;
  At(0.0, 0.95);
  UpdateVerticalProfile();
  // 60.7 NM along the legs, less the corners LNAV cuts at B and C.
  EXPECT_GT(g.DistanceTodToConstraint, 40.0);
  EXPECT_LT(g.DistanceTodToConstraint, 61.0);
  // 3 NM flown since it, a little less along a path turning for B.
  EXPECT_GT(g.DescentPathAltitudeSpan, 2.0);
  EXPECT_LT(g.DescentPathAltitudeSpan, 3.1);
  EXPECT_LT(g.VnavPathAltitude, 12000.0);
}

TEST_F(VerticalPlanTest, ProfileEdges) {
  State& g = guidance_state;
  // A discontinuity after the active waypoint adds nothing.
  Route({{"A", 0, 0, "APT"}, {"W1", 0, 0.5}, {"DISCO", 0, 0}, {"W2", 0, 1.0}, {"B", 0, 2.0, "APT"}});
  model::model_state.CruiseAlt = 12000;
  g.TocLongitude = 1.5;
  At(0.0, 0.2);
  UpdateVerticalProfile();
  EXPECT_NEAR(g.DestinationDistance, 18.0 + 30.0 + 60.0, kNm);

  // No active waypoint: nothing to go.
  flightplan::flightplan_state.ActiveWaypointIndex = model::kNoWaypoint;
  UpdateVerticalProfile();
  EXPECT_EQ(g.DestinationDistance, 0.0);

  // A cruise altitude of 1000 ft or less decides no phase, and repeated
  // calls do not pile the sums up.
  EquatorRoute();
  model::model_state.CruiseAlt = 1000;
  g.TocPassed = 1;
  g.TodLongitude = 3.3;
  flightplan::flightplan_state.ActiveWaypointIndex = 6;
  At(0.0, 3.9);
  UpdateVerticalProfile();
  UpdateVerticalProfile();
  EXPECT_EQ(g.TodPassed, 0);
  EXPECT_NEAR(g.DistanceTodToLastWaypoint, 42.0, kNm);
}

// A route that turns back: 240 NM out, then home 18 NM abeam the first leg.
// Its last legs pass within their own length of the TOC on the first one,
// where the walk back from the end took the TOC for a point of them (340
// NM to it where 36 were to fly). The TOC 48 NM out (12000 ft at 250 ft a
// NM), the TOD 42 NM from the end; the aircraft 12 NM out. The same route
// south and west of zero, and across 180.
TEST_F(VerticalPlanTest, DistancesToTheTocAndTodAlongARouteThatTurnsBack) {
  struct Case {
    const char* name;
    double lat_sign, lon_sign, lon_shift;
  };
  for (const Case& c : {Case{"north-east of zero", 1, 1, 0}, Case{"south-west of zero", -1, -1, 0},
                        Case{"across 180", 1, 1, 178.5}}) {
    SCOPED_TRACE(c.name);
    SetUp();
    auto lon = [&c](double l) { return std::remainder(c.lon_sign * l + c.lon_shift, 360.0); };
    const double lat = 0.3 * c.lat_sign;
    Route({{"A", 0, lon(0.0), "APT", 0, 0.0},
           {"B", 0, lon(4.0)},
           {"C", lat, lon(3.5)},
           {"D", lat, lon(0.5)},
           {"E", lat, lon(0.0), "APT", 0, 0.0}});
    ComputeCruiseAltitude(12000, 1);
    At(0.0, lon(0.2));
    UpdateVerticalProfile();
    const State& g = guidance_state;
    EXPECT_NEAR(g.ClimbSideDistance, 36.0, 0.01);
    EXPECT_NEAR(g.NextConstraintDistance, 36.0, 0.01);
    EXPECT_NEAR(g.CruiseSideDistance, g.DestinationDistance - 42.0, 0.01);
  }
}

// Far off the route (25 NM north of W1 at 8000 ft, flying to it), the
// climb's 16 NM lie on the way to W1: on the legs the TOC stood on the
// first one, behind the aircraft, or before the route's start (the C-17's
// T/C north of Seattle while the aircraft flew south).
TEST_F(VerticalPlanTest, TheTopOfClimbOfAnAircraftJoiningTheRouteIsOnItsWay) {
  EquatorRoute();
  State& g = guidance_state;
  At(25.0 / 60.0, 0.5);
  g.GroundTrack = 180.0;
  g.GroundSpeedKnots = 300.0;
  g.AircraftAltitude = 8000.0;
  ComputeCruiseAltitude(12000, 1);
  auto distance = [](double lat1, double lon1, double lat2, double lon2) {
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, c);
    return d;
  };
  const double to_toc = distance(g.PlaneLatitude, g.PlaneLongitude, g.TocLatitude, g.TocLongitude);
  EXPECT_NEAR(to_toc + distance(g.TocLatitude, g.TocLongitude, 0.0, 0.5), 25.0, 0.01);
  // Along the path 16 NM: a little more straight, where the path turns at W1.
  EXPECT_NEAR(to_toc, 16.0, 1.0);
  UpdateVerticalProfile();
  EXPECT_NEAR(g.ClimbSideDistance, 16.0, 0.01);
}

TEST_F(VerticalPlanTest, ZeroRatesAndSpeedsStayFinite) {
  model::State& m = model::model_state;
  m.ClimbRate = 0;
  m.ClimbTas = 0.0;
  m.DescentRate = 0.0;
  m.DescentTas = 0.0;
  EquatorRoute(true);
  ComputeCruiseAltitude(0, 1);
  State& g = guidance_state;
  ComputeTopOfClimb(0);
  g.TocPassed = 1;
  ComputeTopOfDescent(0);
  UpdateVerticalProfile();
  for (double v : {g.TocLatitude, g.TocLongitude, g.TodLatitude, g.TodLongitude, g.PreselectAltitude,
                   g.NextConstraintDistance, g.VnavPathAltitude, g.DestinationDistance}) {
    EXPECT_TRUE(std::isfinite(v));
  }
  for (int i = 0; i <= 6; ++i) {
    EXPECT_TRUE(std::isfinite(Wp(i).altitude_constraint)) << i;
    EXPECT_TRUE(std::isfinite(Wp(i).speed_constraint)) << i;
  }
}

// A climb placed from the aircraft (VNAV engaged after a hand-flown
// take-off, a new wind) that reaches the level only past the TOD EXEC
// placed: the TOC stands where the climb meets the descent path, and VNAV
// climbs to that point's altitude at the plan's rate. Placed at the level,
// the T/C counted down to a point the aircraft never reached, and VNAV
// eased toward it until the descent path turned it down short of it.
TEST_F(VerticalPlanTest, ATopOfClimbPastTheDescentStandsWhereTheyMeet) {
  State& g = guidance_state;
  VnavClimbTables();
  // South of the equator, eastbound across 180 degrees.
  Route({{"AAAA", -0.5, 178.5, "APT", 0, 50.0}, {"W1", -0.5, 179.5}, {"W2", -0.5, -179.5}, {"BBBB", -0.5, -178.5, "APT"}});
  const double from = 5000.0;
  struct Case {
    double wind_from, wind;
    double tod_short;  // NM the TOD stands short of the climb's end at the level
    bool meets;
  };
  const Case cases[] = {
      {0.0, 0.0, -5.0, false},   // the TOD beyond the top: the level
      {0.0, 0.0, 0.05, true},    // just short of it: met just under the level
      {0.0, 0.0, 20.0, true},    //
      {270.0, 60.0, 20.0, true}, // 60 kt on the nose
      {90.0, 60.0, 12.0, true},  // 60 kt behind
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tod_short);
    SCOPED_TRACE(c.wind_from);
    At(-0.5, 178.6);
    ClimbingFrom5000(90.0, 12.0);  // a true wind on a magnetic track
    const double level = PlannedCruiseAltitude(), bottom = DescentPathBottom();
    g.WindDirection = c.wind_from;
    g.WindSpeed = c.wind;
    const ClimbModel climb(ClimbRateFlown());
    const double full = climb.Distance(from, level);
    ASSERT_GT(full, 30.0);
    // The TOD the plan placed, moved to where the case puts it.
    const FlownPath& path = FlownPath::Current();
    const double here = path.Aircraft(), tod_at = here + full - c.tod_short;
    const double end = path.EntryOrBefore(3);
    navdb::ProjectPosition(g.PlaneLatitude, g.PlaneLongitude, 90.0, full - c.tod_short, g.TodLatitude, g.TodLongitude);
    ASSERT_NEAR(path.CoordinateFromPosition(3, g.TodLatitude, g.TodLongitude), tod_at, 0.05);
    PlaceTheTocTowardTheTod(level);
    const double toc = g.ClimbSideDistance, top = ClimbTopAltitude();
    if (!c.meets) {
      EXPECT_NEAR(toc, full, 0.01);
      EXPECT_EQ(top, level);
      continue;
    }
    // On the descent path, which the climb reaches there.
    const double at = path.CoordinateFromPosition(3, g.TocLatitude, g.TocLongitude);
    const double descent = level - (level - bottom) * (at - tod_at) / (end - tod_at);
    EXPECT_LT(toc, full);
    EXPECT_GT(at, tod_at - 0.05);
    EXPECT_LT(top, level);
    EXPECT_NEAR(top, descent, 60.0);
    EXPECT_NEAR(climb.After(from, toc, 90.0), top, 60.0);
    // VNAV flies to it at the plan's rate, not steeper to the level there.
    ExpectVnavClimbsAtThePlansRate();
  }
}

// The same where the route turns before the climb meets the descent: the
// meeting point is where the climb flown along the legs, each in its own
// wind, reaches the descent path, so that VNAV, pacing its climb to that
// point, climbs at the rate the pages walk the waypoints at. Worked out on
// the aircraft's track alone, a climb with the wind behind that then turned
// across it met the descent miles beyond, and VNAV climbed slower than the
// pages showed.
TEST_F(VerticalPlanTest, AClimbThatTurnsMeetsTheDescentAlongItsLegs) {
  State& g = guidance_state;
  VnavClimbTables();
  struct Case {
    const char* route;
    double lat, lon;       // the origin
    double first, second;  // the legs' true courses, degrees
    double wind_from, wind;
    double variation;
  };
  const Case cases[] = {
      {"south-west, east then north, 100 kt behind", -20.0, -40.0, 90.0, 0.0, 270.0, 100.0, -21.0},
      {"north-east, south then west, 120 kt behind", 47.0, 8.0, 180.0, 270.0, 0.0, 120.0, 2.0},
      {"across 180, west then back east, 80 kt on the nose", -0.5, -179.6, 270.0, 110.0, 270.0, 80.0, 12.0},
      {"a straight route, 100 kt across", 10.0, 20.0, 45.0, 45.0, 135.0, 100.0, -5.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.route);
    double w1_lat = 0, w1_lon = 0, w2_lat = 0, w2_lon = 0, end_lat = 0, end_lon = 0;
    navdb::ProjectPosition(c.lat, c.lon, c.first, 50.0, w1_lat, w1_lon);
    navdb::ProjectPosition(w1_lat, w1_lon, c.second, 100.0, w2_lat, w2_lon);
    navdb::ProjectPosition(w2_lat, w2_lon, c.second, 60.0, end_lat, end_lon);
    Route({{"AAAA", c.lat, c.lon, "APT", 0, 50.0}, {"W1", w1_lat, w1_lon}, {"W2", w2_lat, w2_lon},
           {"BBBB", end_lat, end_lon, "APT"}});
    double lat = 0, lon = 0;
    navdb::ProjectPosition(c.lat, c.lon, c.first, 2.0, lat, lon);
    At(lat, lon);
    ClimbingFrom5000(c.first, c.variation);
    const double level = PlannedCruiseAltitude();
    g.WindDirection = c.wind_from;
    g.WindSpeed = c.wind;
    // The TOD at W1, 48 NM on: the climb meets the descent beyond it.
    g.TodLatitude = w1_lat;
    g.TodLongitude = w1_lon;
    PlaceTheTocTowardTheTod(level);
    const double top = ClimbTopAltitude();
    ASSERT_LT(top, level);
    const FlownPath& path = FlownPath::Current();
    const ClimbModel climb(ClimbRateFlown());
    EXPECT_NEAR(path.CoordinateFromPosition(3, g.TocLatitude, g.TocLongitude) - path.Aircraft(),
                climb.Distance(g.AircraftAltitude, top, 0.0, false), 0.2);
    ExpectVnavClimbsAtThePlansRate();
  }
}

// The TOC the climb flies to is placed again as the wind the aircraft meets
// changes (a vector change of 5 kt or more), from the aircraft, by the climb
// model: the flight's wind met after take-off left the one placed in the
// surface wind standing until the first waypoint. A TOC on a constraint, one
// passed, or a climb without tables (worked out in still air) stays.
TEST_F(VerticalPlanTest, TheTopOfClimbFollowsAChangeOfWind) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  VnavClimbTables();
  // Westbound along the equator from 2.5 E to 1.5 W: across the meridian,
  // west of zero.
  Route({{"AAAA", 0, 2.5, "APT", 0, 50.0},
         {"W1", 0, 1.5},
         {"W2", 0, 0.5},
         {"W3", 0, -0.5},
         {"W4", 0, -1.5},
         {"BBBB", 0, -2.5, "APT"}});
  auto place_calm = [&]() {
    At(0.0, 2.4);
    g.GroundTrack = 270.0;
    g.MagneticVariation = -7.0;  // a true wind on a magnetic track
    g.GroundTrack -= g.MagneticVariation;
    g.BearingToActiveWaypoint = g.GroundTrack;  // on its way to W1
    g.GroundSpeedKnots = 300.0;
    g.AircraftAltitude = 5000.0;
    g.WindSpeed = 0.0;
    g.WindDirection = 0.0;
    g.TocPassed = 0;
    ComputeCruiseAltitude(25000, 1);
    g.NextConstraintLat = g.TocLatitude;
    g.NextConstraintLon = g.TocLongitude;
    g.NextConstraintAltitude = PlannedCruiseAltitude();
  };
  auto toc_distance = [&]() {
    UpdateVerticalProfile();
    return g.ClimbSideDistance;
  };
  // Placed in still air by the mean climb, then by the model in calm air.
  place_calm();
  ASSERT_EQ(g.TocWindKnown, 0);
  KeepTopOfClimbInTheWind();
  ASSERT_EQ(g.TocWindKnown, 1);
  const double calm = toc_distance();
  EXPECT_NEAR(calm, ClimbModel(ClimbRateFlown()).Distance(5000.0, 25000.0), 0.01);
  ASSERT_GT(calm, 30.0);

  struct Case {
    double from, speed;
    int moves;  // -1 nearer, 0 stays, 1 farther
  };
  const Case cases[] = {
      {270.0, 100.0, -1},  // on the nose
      {90.0, 100.0, 1},    // behind
      {0.0, 100.0, -1},    // across from the north: the drift costs some
      {180.0, 100.0, -1},  // across from the south
      {359.0, 100.0, -1},  // across 360
      {270.0, 4.9, 0},     // below the change that places it again
      {270.0, 5.0, -1},    // at it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    SCOPED_TRACE(c.speed);
    place_calm();
    KeepTopOfClimbInTheWind();
    g.WindDirection = c.from;
    g.WindSpeed = c.speed;
    KeepTopOfClimbInTheWind();
    const double now = toc_distance();
    if (c.moves == 0) {
      EXPECT_NEAR(now, calm, 1e-9);
    } else {
      EXPECT_EQ(now < calm - 0.01 ? -1 : now > calm + 0.01 ? 1 : 0, c.moves);
      EXPECT_NEAR(now, ClimbModel(ClimbRateFlown()).Distance(5000.0, 25000.0), 0.01);
    }
    // Placed once for a wind: the same wind again leaves it.
    const double lat = g.TocLatitude, lon = g.TocLongitude;
    g.AircraftAltitude = 6000.0;
    KeepTopOfClimbInTheWind();
    EXPECT_EQ(g.TocLatitude, lat);
    EXPECT_EQ(g.TocLongitude, lon);
  }

  // VNAV off while the aircraft flew on level at 5,000 ft for 30 NM (the
  // pilot's altitude), then on again: the TOC is placed from the aircraft,
  // the whole climb still ahead of it, in the same wind. Left where it
  // was, the aircraft had 30 NM less for the climb than the pages showed.
  for (const double wind : {0.0, 60.0}) {
    SCOPED_TRACE(wind);
    place_calm();
    g.WindDirection = 90.0;
    g.WindSpeed = wind;
    KeepTopOfClimbInTheWind();
    const double placed = toc_distance();
    g.VnavEngaged = 1;
    ToggleVnav();
    At(0.0, 1.9);
    KeepTopOfClimbInTheWind();
    EXPECT_NEAR(toc_distance(), placed - 30.0, 0.01);  // nothing moves it while VNAV is off
    ToggleVnav();
    ASSERT_EQ(g.VnavEngaged, 1);
    KeepTopOfClimbInTheWind();
    EXPECT_NEAR(toc_distance(), placed, 0.01);
    EXPECT_NEAR(g.TocLongitude, 1.9 - placed / 60.0, 1e-3);
    g.VnavEngaged = 0;
  }

  // Not a TOC VNAV flies to (a constraint ahead is the target), past the
  // TOC, without tables and a speed the pilot sets (worked out in still
  // air), or a TOC on the constraint VNAV flies to (its altitude below the
  // level, 100 ft below at the edge): the wind moves nothing, the target
  // neither. Without tables at the climb speed VNAV sends, the climb is flown
  // in the wind as with them: 100 kt on the nose brings the TOC nearer.
  for (int kind = 0; kind < 5; ++kind) {
    SCOPED_TRACE(kind);
    place_calm();
    KeepTopOfClimbInTheWind();
    if (kind == 0) g.NextConstraintLat = 0.0, g.NextConstraintLon = 0.5;
    if (kind == 1) g.TocPassed = 1;
    if (kind == 2 || kind == 4) m.ClimbPerformanceCount = 0;
    if (kind == 3) g.NextConstraintAltitude = PlannedCruiseAltitude() - 100.0;
    if (kind == 4) m.VnavSetSpd = 1;
    const double before = toc_distance();
    const double lat = g.TocLatitude, lon = g.TocLongitude;
    const double target = g.NextConstraintAltitude, target_lon = g.NextConstraintLon;
    g.WindDirection = 270.0;
    g.WindSpeed = 100.0;
    KeepTopOfClimbInTheWind();
    if (kind < 4) {
      EXPECT_EQ(g.TocLatitude, lat);
      EXPECT_EQ(g.TocLongitude, lon);
      EXPECT_EQ(g.NextConstraintAltitude, target);
      EXPECT_EQ(g.NextConstraintLon, target_lon);
    } else {
      EXPECT_LT(toc_distance(), before - 5.0);
      EXPECT_NEAR(toc_distance(), ClimbModel(ClimbRateFlown()).Distance(5000.0, 25000.0), 0.01);
    }
    m.ClimbPerformanceCount = 2;
    m.VnavSetSpd = 0;
  }

  // A direct-to in the climb (a re-plan of the route in flight): the TOC
  // placed as the aircraft began to turn onto its way is placed again, in
  // calm air, from wherever the aircraft has flown and climbed to, for as
  // long as its track is more than 5 degrees off its way to the active
  // waypoint (across 360 too), and once more as it is on its way (or on the
  // ground); then it stays. Left standing, a 150-degree turn and the
  // rejoining of the course put it 4 NM beyond the aircraft's top. Through
  // a corner of the route (no re-plan) it stays.
  struct Turn {
    double bearing, track, speed;
    int joining;
    bool turning;
  };
  const Turn turns[] = {
      {277.0, 67.0, 300.0, 1, true},    // 150 degrees to the right, across 360
      {277.0, 127.0, 300.0, 1, true},   // 150 to the left
      {358.0, 4.0, 300.0, 1, true},     // 6 degrees, across 360
      {2.0, 356.0, 300.0, 1, true},     // the same the other way
      {358.0, 3.0, 300.0, 1, false},    // 5 degrees: on its way
      {358.0, 2.9, 300.0, 1, false},    // within them
      {277.0, 67.0, 100.0, 1, false},   // on the ground
      {277.0, 67.0, 300.0, 0, true},    // a corner of the route
  };
  for (const Turn& t : turns) {
    SCOPED_TRACE(t.bearing);
    SCOPED_TRACE(t.track);
    SCOPED_TRACE(t.speed);
    SCOPED_TRACE(t.joining);
    place_calm();
    KeepTopOfClimbInTheWind();
    ASSERT_EQ(g.TocWindKnown, 1);
    g.TocJoining = t.joining;
    for (int step = 0; step < 3; ++step) {
      SCOPED_TRACE(step);
      const double placed = toc_distance();
      const double lat = g.TocLatitude, lon = g.TocLongitude;
      // The aircraft flies on 3 NM and climbs 1,000 ft a step (its place on
      // the path counts the turn back onto its way).
      At(0.0, 2.4 - 0.05 * (step + 1));
      g.AircraftAltitude = 6000.0 + 1000.0 * step;
      g.BearingToActiveWaypoint = t.bearing;
      g.GroundTrack = t.track;
      g.GroundSpeedKnots = t.speed;
      KeepTopOfClimbInTheWind();
      if (t.joining == 1 && (t.turning || step == 0)) {
        EXPECT_NEAR(toc_distance(), ClimbModel(ClimbRateFlown()).Distance(g.AircraftAltitude, 25000.0), 0.01);
        EXPECT_LT(toc_distance(), placed);
      } else {
        EXPECT_EQ(g.TocLatitude, lat);
        EXPECT_EQ(g.TocLongitude, lon);
      }
      EXPECT_EQ(g.TocJoining, t.joining == 1 && t.turning ? 1 : 0);
    }
  }
  g.TocJoining = 0;

  // VNAV holds the active waypoint's speed (an arrival's 170 kt, its fix
  // made active by a direct-to in the climb) over the last 25 NM before that
  // waypoint, 54 NM on: the TOC placed by the re-plan comes nearer, at that
  // speed over those 25 NM only (no nearer than they make it) and the climb
  // speed before and beyond them; placed again once the hold has ended,
  // back where it was. So too where the restriction's speed (240 kt) is
  // held below its altitude, or where VNAV sets the speed and holds the
  // climb's now: it takes the waypoint's 25 NM before it. Not where the
  // autopilot holds another speed of its own, the entry has no constraint,
  // VNAV is off, or the waypoint's speed is faster than the climb's
  // (250 kt). A hold begun with no re-plan leaves the TOC where it stands.
  struct Held {
    double constraint, held;
    std::uint32_t flag;
    int vnav;
    double restriction;  // ClimbRestrictionSpeedSet
    bool moves;
    int set_speed = 0;  // VnavSetSpd
  };
  const Held helds[] = {
      {170.0, 170.0, 1, 1, 0.0, true},  {170.0, 170.9, 3, 1, 0.0, true},  {170.0, 171.0, 1, 1, 0.0, false},
      {170.0, 250.0, 1, 1, 0.0, false}, {170.0, 170.0, 0, 1, 0.0, false}, {170.0, 170.0, 1, 0, 0.0, false},
      {260.0, 260.0, 1, 1, 0.0, false}, {249.0, 249.0, 1, 1, 0.0, true},  {170.0, 240.0, 1, 1, 1.0, true},
      {170.0, 240.0, 0, 1, 1.0, false}, {170.0, 240.0, 1, 0, 1.0, false}, {170.0, 250.0, 1, 1, 0.0, true, 1},
      {170.0, 250.0, 0, 1, 0.0, false, 1},
  };
  model::FlightPlanWaypoint& w1 = flightplan::flightplan_state.ActiveFlightPlan[1];
  for (const Held& h : helds) {
    SCOPED_TRACE(h.constraint);
    SCOPED_TRACE(h.held);
    SCOPED_TRACE(static_cast<int>(h.flag));
    SCOPED_TRACE(h.vnav);
    place_calm();
    g.VnavEngaged = h.vnav;
    g.ApAirspeedHoldVar = 250.0;
    KeepTopOfClimbInTheWind();
    const double unheld = toc_distance();
    const double lat = g.TocLatitude, lon = g.TocLongitude;
    w1.constraint_flag = h.flag;
    w1.speed_constraint = h.constraint;
    flightplan::ActiveRouteChanged();
    g.ApAirspeedHoldVar = h.held;
    g.ClimbRestrictionSpeedSet = h.restriction;
    m.VnavSetSpd = h.set_speed;
    KeepTopOfClimbInTheWind();
    EXPECT_EQ(g.TocLatitude, lat);
    EXPECT_EQ(g.TocLongitude, lon);
    g.TocJoining = 1;
    KeepTopOfClimbInTheWind();
    EXPECT_EQ(g.TocJoining, 0);
    if (h.moves) {
      EXPECT_LT(toc_distance(), unheld - (h.constraint < 200.0 ? 5.0 : 0.01));
      // 25 NM at the slower speed take as long as 25 * 250 / 170 at the
      // climb's: the top comes no nearer than that.
      EXPECT_GT(toc_distance(), unheld - 25.0 * (250.0 / h.constraint - 1.0) - 0.5);
      EXPECT_NEAR(toc_distance(), ClimbModel(ClimbRateFlown()).Distance(5000.0, 25000.0), 0.01);
      // Held no more: where it was.
      g.ApAirspeedHoldVar = 250.0;
      g.ClimbRestrictionSpeedSet = 0.0;
      m.VnavSetSpd = 0;
      g.TocJoining = 1;
      KeepTopOfClimbInTheWind();
      EXPECT_NEAR(toc_distance(), unheld, 0.01);
    } else {
      EXPECT_EQ(g.TocLatitude, lat);
      EXPECT_EQ(g.TocLongitude, lon);
    }
    w1.constraint_flag = 0;
    w1.speed_constraint = model::kNoValue;
    flightplan::ActiveRouteChanged();
    g.VnavEngaged = 0;
    g.ClimbRestrictionSpeedSet = 0.0;
    m.VnavSetSpd = 0;
  }
}

// A TOC beyond the constraint VNAV climbs to first is placed again from
// that constraint for a new wind (5 kt or more as a vector), and as before
// its waypoint is passed (held as the target after LNAV sequenced it):
// left where the gate's calm air put it, it stood 2.8 NM beyond the top
// flown into 112 kt. The target stays the constraint; a TOC on the
// constraint's own waypoint stays. West along the equator across 0 E,
// magnetic variation 7 W; a 9,000-ft constraint at W1, 54 NM ahead.
TEST_F(VerticalPlanTest, ATopOfClimbBeyondAConstraintFollowsAChangeOfWind) {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  VnavClimbTables();
  Route({{"AAAA", 0, 2.5, "APT", 0, 50.0},
         {"W1", 0, 1.5, "WPT", 1, 9000.0},
         {"W2", 0, 0.5},
         {"W3", 0, -0.5},
         {"W4", 0, -1.5},
         {"BBBB", 0, -2.5, "APT"}});
  g.MagneticVariation = -7.0;
  auto place_calm = [&](int active) {
    fp.ActiveWaypointIndex = active;
    At(0.0, 2.4);
    g.GroundTrack = g.BearingToActiveWaypoint = 270.0 - g.MagneticVariation;
    g.GroundSpeedKnots = 300.0;
    g.AircraftAltitude = 5000.0;
    g.WindSpeed = 0.0;
    g.WindDirection = 0.0;
    g.TocPassed = 0;
    ComputeCruiseAltitude(25000, 1);
    g.NextConstraintIndex = 1;
    ComputeTopOfClimb(fp.ActiveWaypointIndex == 1 ? 0 : -1);
  };
  auto toc_distance = [&]() {
    UpdateVerticalProfile();
    return g.ClimbSideDistance;
  };
  // Level at 9,000 ft from well before W1, the climb on from there.
  auto beyond = [&]() { return 54.0 + ClimbModel(ClimbRateFlown()).Distance(9000.0, 25000.0, 54.0); };
  place_calm(1);
  ASSERT_EQ(g.NextConstraintAltitude, 9000.0);
  ASSERT_EQ(g.NextConstraintLon, 1.5);
  const double calm = toc_distance();
  EXPECT_NEAR(calm, beyond(), 0.01);
  const struct {
    double from, speed;
    int active;  // 2: W1 sequenced, held as the target
    int moves;   // -1 nearer, 0 stays, 1 farther
  } kCases[] = {
      {270.0, 100.0, 1, -1}, {90.0, 100.0, 1, 1}, {270.0, 4.9, 1, 0}, {270.0, 5.0, 1, -1},
      {359.0, 100.0, 1, -1}, {270.0, 100.0, 2, -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.from << " " << c.speed << " " << c.active);
    place_calm(c.active);
    g.WindDirection = c.from;
    g.WindSpeed = c.speed;
    KeepTopOfClimbInTheWind();
    const double now = toc_distance();
    EXPECT_EQ(now < calm - 0.01 ? -1 : now > calm + 0.01 ? 1 : 0, c.moves);
    if (c.moves != 0) {
      EXPECT_NEAR(now, beyond(), 0.01);
    }
    EXPECT_EQ(g.NextConstraintAltitude, 9000.0);
    EXPECT_EQ(g.NextConstraintLon, 1.5);
  }
  // On the constraint's own waypoint, it stays.
  place_calm(1);
  g.TocLatitude = 0.0;
  g.TocLongitude = 1.5;
  g.WindDirection = 270.0;
  g.WindSpeed = 100.0;
  KeepTopOfClimbInTheWind();
  EXPECT_EQ(g.TocLongitude, 1.5);
}

// The TOC is kept as a point of the path. Past a corner that turns the
// route back alongside itself, the corner flown again in other air (the
// aircraft slower near it) moves the path under the point: it is placed
// again from the aircraft, and the distance to it stays the climb's. Left
// standing, it read the change of the corner's cut beyond the climb's end.
TEST_F(VerticalPlanTest, TheTopOfClimbIsPlacedAgainWhenTheCornersAheadAreFlownAgain) {
  struct Case {
    const char* name;
    double lat_sign, lon_sign, lon_shift;
  };
  for (const Case& c : {Case{"north-east of zero", 1, 1, 0}, Case{"south-west of zero", -1, -1, 0},
                        Case{"across 180", 1, 1, 179.7}}) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    ClimbOnARouteTurningBack(c.lat_sign, c.lon_sign, c.lon_shift, 0.75, 12000, false);
    const double climb = ClimbModel(ClimbRateFlown()).Distance(5000.0, 12000.0);
    KeepTopOfClimbInTheWind();
    ASSERT_EQ(g.TocWindKnown, 1);
    UpdateVerticalProfile();
    EXPECT_NEAR(g.ClimbSideDistance, climb, 0.01);
    // Past the corner, on the leg back.
    ASSERT_GT(g.ClimbSideDistance, FlownPath::Current().Ahead(1));
    ASSERT_LT(g.ClimbSideDistance, FlownPath::Current().Ahead(2));
    const double corner = FlownPath::Current().Entry(2);
    // Each speed in turn: flown in other air, the corner moves the path
    // under the TOC by miles and it is placed again; by less than a mile
    // (310 after 300 kt), or in the same air, it stays where it was.
    for (const double speed : {240.0, 240.0, 300.0, 310.0}) {
      SCOPED_TRACE(speed);
      const double lat = g.TocLatitude, toc_lon = g.TocLongitude, before = FlownPath::Current().Entry(2);
      const bool same = speed == g.GroundSpeedKnots, slight = speed == 310.0;
      g.LastTick += 100.0;
      g.GroundSpeedKnots = speed;
      KeepTopOfClimbInTheWind();
      UpdateVerticalProfile();
      if (slight) {
        EXPECT_GT(std::fabs(FlownPath::Current().Entry(2) - before), 0.01);
        EXPECT_NEAR(g.ClimbSideDistance, climb, 1.0);
      } else {
        EXPECT_NEAR(g.ClimbSideDistance, climb, 0.01);
      }
      if (!same && !slight) {
        EXPECT_GT(std::fabs(FlownPath::Current().Entry(2) - corner), 1.0);
      } else {
        EXPECT_EQ(g.TocLatitude, lat);
        EXPECT_EQ(g.TocLongitude, toc_lon);
      }
    }
  }
}

// The TOD is kept as a point and the descent runs from it straight to its
// end along the path: where the corners between, flown again in other air,
// move the path by miles, it is placed again the descent's own way back
// from its end. Left where it stood, a 168-degree corner flown in a new
// wind of 84 kt cut 26 NM off the way and the descent from it asked for
// 490 ft a NM where the plan's slope gave 190. Climbing from 5,000 ft to
// 20,000 on a route that W1 turns back alongside itself 33 NM before the
// end, the TOD on the first leg; 150 kt come from behind, with 7 degrees
// west variation.
TEST_F(VerticalPlanTest, TheTopOfDescentIsPlacedAgainWhenTheCornersOnItsWayAreFlownAgain) {
  struct Case {
    const char* name;
    double lat_sign, lon_sign, lon_shift;
  };
  for (const Case& c : {Case{"north-east of zero", 1, 1, 0}, Case{"south-west of zero", -1, -1, 0},
                        Case{"across 180", 1, 1, 178.0}}) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    VnavClimbTables();
    auto lon = [&](double l) { return std::remainder(c.lon_sign * l + c.lon_shift, 360.0); };
    const double back = 0.08 * c.lat_sign;
    Route({{"AAAA", 0, lon(0.0), "APT", 0, 50.0},
           {"W1", 0, lon(3.0)},
           {"W2", back, lon(2.95)},
           {"BBBB", back, lon(2.4), "APT", 0, 50.0}});
    At(0.0, lon(0.5));
    g.MagneticVariation = -7.0;
    g.GroundTrack = (c.lon_sign > 0 ? 90.0 : 270.0) - g.MagneticVariation;
    g.BearingToActiveWaypoint = g.GroundTrack;
    g.GroundSpeedKnots = 300.0;
    g.AircraftAltitude = 5000.0;
    g.TocPassed = 0;
    ComputeCruiseAltitude(20000, 1);
    ComputeTopOfDescent(0);
    ASSERT_EQ(g.TodPlacedBottom, 3);
    const double placed = g.TodPlacedSpan;
    auto span = [&] {
      const FlownPath& path = FlownPath::Current();
      return path.Entry(3) - path.CoordinateFromPosition(3, g.TodLatitude, g.TodLongitude);
    };
    ASSERT_NEAR(span(), placed, 0.01);
    // Before W1's corner, which lies on the way down.
    ASSERT_LT(FlownPath::Current().CoordinateFromPosition(3, g.TodLatitude, g.TodLongitude),
              FlownPath::Current().Passed(1));
    const double end = FlownPath::Current().Entry(3);
        // 150 kt from behind into the turn back widens W1's corner by miles.
    g.LastTick += 100.0;
    g.WindSpeed = 150.0;
    g.WindDirection = c.lon_sign > 0 ? 270.0 : 90.0;
    KeepTopOfDescentOnThePath();
    EXPECT_GT(std::fabs(FlownPath::Current().Entry(3) - end), 5.0);
    EXPECT_NEAR(span(), g.TodPlacedSpan, 1.0);
    // Descending, the TOD passed, it stays.
    const double lat = g.TodLatitude, tod_lon = g.TodLongitude;
    g.TodPassed = 1;
    g.LastTick += 100.0;
    g.WindSpeed = 0.0;
    KeepTopOfDescentOnThePath();
    EXPECT_EQ(g.TodLatitude, lat);
    EXPECT_EQ(g.TodLongitude, tod_lon);
  }
}

// A route whose first entry gives no altitude (the simulator's flight plan)
// climbs from the ground the aircraft stood on, and an aircraft less than
// 1,000 ft above that ground engages VNAV on the runway's climb, not in the
// air; the route's own altitude comes first, and without either the climb
// starts at 0 ft. West of zero, north of the equator; 250 ft a NM.
TEST_F(VerticalPlanTest, TheClimbStartsFromTheGroundWhereTheRouteGivesNoAltitude) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  struct Case {
    double origin, ground, start;
  };
  for (const Case& c : {Case{model::kNoValue, 1000.0, 1000.0}, Case{model::kNoValue, NAN, 0.0},
                        Case{model::kNoValue, -120.0, -120.0}, Case{50.0, 1000.0, 50.0}}) {
    SCOPED_TRACE(testing::Message() << c.origin << " " << c.ground);
    g.LastGroundAltitude = c.ground;
    Route({{"ORIG", 10, -1.0, "WPT", 0, c.origin},
           {"W1", 10, -0.5},
           {"W2", 10, 1.0},
           {"W3", 10, 2.0},
           {"DEST", 10, 3.0, "APT"}});
    ComputeCruiseAltitude(12000, 1);
    const double w1 = c.start + FlownPath::Current().Entry(1) * 250.0;
    EXPECT_EQ(Wp(1).altitude_constraint, std::trunc(w1 / 100.0) * 100.0);
  }

  // VNAV on at the climb's speed and rate (nothing lost), 725 ft above the
  // ground and 1,000.1 ft above it: the EXEC's values stand on the
  // runway's climb; in the air the climb is walked from the aircraft.
  m.VnavSetSpd = 1;
  m.MinVnavIas = 155.0;
  m.MinVnavClimbRate = 1000.0;
  m.MaxVnavClimbRate = 2500.0;
  for (const double height : {725.0, 1000.1}) {
    SCOPED_TRACE(height);
    g.LastGroundAltitude = 1000.0;
    Route({{"ORIG", 10, -1.0}, {"W1", 10, -0.5}, {"W2", 10, 0.5}, {"W3", 10, 2.0}, {"DEST", 10, 3.0, "APT"}});
    g.AircraftAltitude = 1000.0;
    g.VnavEngaged = 0;
    g.TocPassed = 0;
    ComputeCruiseAltitude(30000, 1);
    const double exec = Wp(1).altitude_constraint;
    At(10.0, -0.9);
    g.AircraftAltitude = 1000.0 + height;
    g.SmoothedAirspeed = 250.0;
    g.VerticalSpeedFpm = 2000.0;
    g.GroundSpeedKnots = 250.0;
    ToggleVnav();
    ASSERT_EQ(g.VnavEngaged, 1);
    const ClimbModel climb(ClimbRateFlown());
    const double ahead = FlownPath::Current().Ahead(1);
    const double walked = std::trunc(climb.After(g.AircraftAltitude, ahead, 90.0) / 100.0) * 100.0;
    ASSERT_NE(walked, exec);
    EXPECT_EQ(Wp(1).altitude_constraint, height < 1000.0 ? exec : walked);
  }
}

// VNAV engaged in the climb halfway to W1: the climb's waypoints ahead are
// shown as VNAV flies the climb from there (from the aircraft once it is
// 1,000 ft up, held level below VNAV's least speed, its rate built up a
// hundred a second), the rest of the plan as EXEC wrote it. South of the
// equator across 180, with a wind and a magnetic variation.
TEST_F(VerticalPlanTest, VnavOnInTheClimbShowsTheClimbAsVnavFliesIt) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  VnavClimbTables();
  m.MinVnavIas = 155.0;
  Route({{"AAAA", -20, 178.0, "APT", 0, 50.0},
         {"W1", -20, 179.0},
         {"W2", -20, -180.0},
         {"W3", -20, -179.0, "WPT", 1, 28000.0, 280.0},
         {"W4", -20, -178.0},
         {"W5", -20, -177.0},
         {"W6", -20, -175.0},
         {"W7", -20, -174.0},
         {"BBBB", -20, -173.0, "APT"}});
  // Seconds of the climb lost: a build-up from 1,000 to 1,500 ft/min
  // falls 500^2/12000 ft short, 50 s at 1,500 ft/min.
  const double ramp_from_level = 500.0 * 500.0 / 12000.0 / 1500.0 * 60.0;
  struct Case {
    double altitude, airspeed, vs;
    int toc_passed;
    double lost;  // seconds
  };
  const Case cases[] = {
      {3000.0, 250.0, 1500.0, 0, 0.0},                                    // level 30 NM, then at the rate
      {3000.0, 250.0, 0.0, 0, ramp_from_level},                           // from level flight
      {3000.0, 250.0, 1200.0, 0, 300.0 * 300.0 / 12000.0 / 1500.0 * 60.0},                // from a shallower climb
      {3000.0, 155.0, 1500.0, 0, 0.0},                                    // at the least speed: climbs on
      {3000.0, 154.9, 1500.0, 0, 10.1 / 1.5 + ramp_from_level},  // held level to 165 kt
      {500.0, 145.0, 2000.0, 0, 20.0 / 1.5 + ramp_from_level},   // the runway's climb, held
      {1049.9, 250.0, 1000.0, 0, ramp_from_level},                               // the least up to its end
      {500.0, 250.0, 1500.0, 0, 0.0},                                            // nothing lost: the EXEC's
      {3000.0, 145.0, 1500.0, 1, 0.0},                                    // past the TOC: the plan's
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.altitude);
    SCOPED_TRACE(c.airspeed);
    SCOPED_TRACE(c.vs);
    At(-20.0, 178.0);
    g.MagneticVariation = 11.0;
    g.WindDirection = 300.0;
    g.WindSpeed = 40.0;
    g.AircraftAltitude = 50.0;
    g.TocPassed = 0;
    g.VnavEngaged = 0;
    ComputeCruiseAltitude(33000, 1);
    std::vector<model::FlightPlanWaypoint> exec;
    for (int k = 0; k <= 8; ++k) exec.push_back(Wp(k));
    ASSERT_LE(exec[2].altitude_constraint, 28000.0);  // held below the constraint
    ASSERT_LT(exec[7].altitude_constraint, 24000.0);  // the descent's

    At(-20.0, 178.5);
    g.AircraftAltitude = c.altitude;
    g.SmoothedAirspeed = c.airspeed;
    g.VerticalSpeedFpm = c.vs;
    g.GroundSpeedKnots = 200.0;
    g.TocPassed = c.toc_passed;
    ToggleVnav();
    ASSERT_EQ(g.VnavEngaged, 1);
    // The climb model from the aircraft that many miles later, cut to the
    // hundred at each waypoint, no higher than W3's.
    const FlownPath& path = FlownPath::Current();
    const ClimbModel climb(ClimbRateFlown());
    const double first = navdb::TrueCourse(-20.0, 178.0, -20.0, 179.0);
    const double late = c.lost * 200.0 / 3600.0;
    double w1 = std::trunc(climb.After(c.altitude, path.Ahead(1) - late, first) / 100.0) * 100.0;
    double w2 = std::min(
        std::trunc(climb.After(w1, path.Entry(2) - path.Entry(1), navdb::TrueCourse(-20.0, 179.0, -20.0, -180.0)) /
                   100.0) *
            100.0,
        28000.0);
    if (c.altitude < 1050.0) {
      // Below 1,000 ft the runway's climb, reached that many miles later.
      const auto later = [&](double a) {
        return std::trunc((a + 50.0 - late * 500.0 / climb.Distance(a - 500.0, a)) / 100.0) * 100.0;
      };
      w1 = later(exec[1].altitude_constraint);
      w2 = exec[2].altitude_constraint < 28000.0 ? later(exec[2].altitude_constraint) : exec[2].altitude_constraint;
    }
    if (c.toc_passed == 1) {
      EXPECT_EQ(Wp(1).altitude_constraint, exec[1].altitude_constraint);
      EXPECT_EQ(Wp(2).altitude_constraint, exec[2].altitude_constraint);
    } else {
      if (c.altitude > 1050.0) {
        ASSERT_LT(w2, exec[2].altitude_constraint - 500.0);  // the EXEC's from the runway
      }
      EXPECT_EQ(Wp(1).altitude_constraint, w1);
      EXPECT_EQ(Wp(2).altitude_constraint, w2);
    }
    for (int k = 3; k <= 8; ++k) EXPECT_EQ(Wp(k).altitude_constraint, exec[k].altitude_constraint) << k;
    for (int k = 0; k <= 8; ++k) EXPECT_EQ(Wp(k).speed_constraint, exec[k].speed_constraint) << k;
  }
}


// VNAV engaged in the climb above the plan's climb (the pilot climbed
// faster): a waypoint the climb from the aircraft reaches at the level shows
// the level, though the plan's climb from the runway had it thousands of
// feet lower; one the descent has keeps the descent's value, and every speed
// stands. Left at the runway's value, RTE LEGS showed ARLIN 3,500 ft under
// the level the aircraft crossed it at. Southbound west of zero, with a
// magnetic variation; a long route whose level the climb reaches and a
// short one where the climb meets the descent.
TEST_F(VerticalPlanTest, VnavOnAboveThePlansClimbShowsTheLevelAhead) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  Tables(Row(0, 360, 1000), Row(40000, 480, 1000), Row(40000, 450, 0), Row(0, 420, 2000), Row(40000, 420, 2000));
  m.ClimbRate = 1000;
  m.MinVnavClimbRate = 1000.0;
  m.MaxVnavClimbRate = 2500.0;
  m.MinVnavIas = 155.0;
  const std::vector<Point> long_route = {{"AAAA", -10.0, -75.0, "APT", 0, 50.0},
                                         {"W1", -10.5, -75.0},
                                         {"W2", -11.0, -75.0},
                                         {"W3", -12.0, -75.0},
                                         {"W4", -13.0, -75.0},
                                         {"W5", -14.0, -75.0},
                                         {"W6", -14.75, -75.0},
                                         {"W7", -15.5, -75.0},
                                         {"BBBB", -16.5, -75.0, "APT", 0, 50.0}};
  const std::vector<Point> short_route = {{"AAAA", -10.0, -75.0, "APT", 0, 50.0},
                                          {"W1", -10.5, -75.0},
                                          {"W2", -11.0, -75.0},
                                          {"W3", -12.0, -75.0},
                                          {"W4", -13.0, -75.0},
                                          {"W5", -13.5, -75.0},
                                          {"W6", -14.0, -75.0},
                                          {"BBBB", -14.5, -75.0, "APT", 0, 50.0}};
  struct Case {
    const std::vector<Point>* route;
    double altitude;
    int descent_from;  // the first waypoint the plan's descent has
    bool above;        // the climb from the aircraft reaches the level by W3
  };
  const Case cases[] = {
      {&long_route, 8000.0, 6, false},    // below the plan's climb: written lower, the rest stands
      {&long_route, 20000.0, 6, true},    // W3, 23,700 at the runway, at the level
      {&long_route, 24000.0, 6, true},    // W2 too
      {&short_route, 8000.0, 4, false},   // the climb meets the descent at W4
      {&short_route, 20000.0, 4, true},   // W3 at the level; W4 the descent's, below it
      {&short_route, 24000.0, 4, true},   // a level the climb from here meets the descent at
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.route->size() << " " << c.altitude);
    Route(*c.route);
    const int last = static_cast<int>(c.route->size()) - 1;
    g.MagneticVariation = -14.0;
    g.AircraftAltitude = 50.0;
    g.TocPassed = 0;
    g.VnavEngaged = 0;
    ComputeCruiseAltitude(33000, 1);
    const double level = PlannedCruiseAltitude();
    std::vector<model::FlightPlanWaypoint> exec;
    for (int k = 0; k <= last; ++k) exec.push_back(Wp(k));
    ASSERT_LT(exec[3].altitude_constraint, level - 2000.0);  // the runway's climb
    ASSERT_LT(exec[c.descent_from].altitude_constraint, level + 1.0);

    // Halfway to W2 at the climb's rate and above VNAV's least speed:
    // nothing lost, the climb walked from the aircraft.
    At(-10.75, -75.0);
    flightplan::flightplan_state.ActiveWaypointIndex = 2;
    g.AircraftAltitude = c.altitude;
    g.SmoothedAirspeed = 250.0;
    g.VerticalSpeedFpm = 1000.0;
    g.GroundSpeedKnots = 400.0;
    ToggleVnav();
    ASSERT_EQ(g.VnavEngaged, 1);
    const double now = PlannedCruiseAltitude();
    if (c.above) {
      EXPECT_EQ(Wp(3).altitude_constraint, now);
    }
    const FlownPath& path = FlownPath::Current();
    const ClimbModel climb(ClimbRateFlown());
    double walked = c.altitude;
    for (int k = 2; k < last; ++k) {
      const double miles = k == 2 ? path.Ahead(2) : path.Entry(k) - path.Entry(k - 1);
      walked = std::trunc(climb.After(walked, miles, 180.0) / 100.0) * 100.0;
      const double shown = Wp(k).altitude_constraint;
      if (k >= c.descent_from) {
        EXPECT_EQ(shown, exec[k].altitude_constraint) << k;
      } else {
        EXPECT_EQ(shown, std::min(walked, now)) << k;
      }
    }
    for (int k = 0; k <= last; ++k) EXPECT_EQ(Wp(k).speed_constraint, exec[k].speed_constraint) << k;
  }
}

// A new wind places the TOC on corners still flown at the speeds the
// predictions had for the old air; the predictions made for the new wind
// write new altitudes and speeds at the waypoints, and a corner before the
// TOC flown at its new speed moves the path under it. The TOC is placed
// again on that path a tick later, for the first three such rounds after
// each new wind (a waypoint that crosses the TOC and back on each round is
// not followed for ever): left as placed, a T/C read 49.8 NM a second after
// 123 kt came, where 48.3 were flown. W1 turns the route back alongside
// itself; the TOC lies on the leg back.
TEST_F(VerticalPlanTest, TheTopOfClimbIsPlacedAgainOnTheCornersTheNewWindsPredictionsFly) {
  struct Case {
    const char* name;
    double lat_sign, lon_sign, lon_shift, wind_from;
  };
  for (const Case& c : {Case{"north-east of zero", 1, 1, 0, 300.0}, Case{"south-west of zero", -1, -1, 0, 100.0},
                        Case{"across 180", 1, 1, 179.7, 350.0}}) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    ClimbOnARouteTurningBack(c.lat_sign, c.lon_sign, c.lon_shift, 0.55, 14000, true);
    model::FlightPlanWaypoint& w1 = flightplan::flightplan_state.ActiveFlightPlan[1];
    w1.altitude_constraint = 9000.0;
    w1.speed_constraint = 250.0;
    flightplan::ActiveRouteChanged();
    KeepTopOfClimbInTheWind();
    ASSERT_EQ(g.TocWindKnown, 1);
    // The TOC placed from the aircraft on the path as it stands now.
    auto placed_afresh = [&]() {
      const double lat = g.TocLatitude, toc_lon = g.TocLongitude;
      const std::uint64_t reflown = g.TocCornersReflown;
      g.TocWindKnown = 0;
      KeepTopOfClimbInTheWind();
      UpdateVerticalProfile();
      const double d = g.ClimbSideDistance;
      g.TocLatitude = g.NextConstraintLat = lat;
      g.TocLongitude = g.NextConstraintLon = toc_lon;
      g.TocCornersReflown = reflown;
      g.TocWindKnown = 1;
      return d;
    };
    auto tick = [&]() {
      g.LastTick += 1.0;
      KeepTopOfClimbInTheWind();
      UpdateVerticalProfile();
      return g.ClimbSideDistance;
    };
    // A 110-kt wind: the TOC placed in it at once.
    g.WindDirection = c.wind_from;
    g.WindSpeed = 110.0;
    tick();
    ASSERT_NEAR(g.ClimbSideDistance, placed_afresh(), 0.01);
    ASSERT_GT(g.ClimbSideDistance, FlownPath::Current().Ahead(1));
    // The predictions for it: W1 reached higher and faster, then lower,
    // and so on; three rounds followed, the fourth not.
    const double altitudes[] = {13000.0, 7000.0, 13000.0, 7000.0};
    const double speeds[] = {300.0, 250.0, 300.0, 250.0};
    for (int round = 0; round < 4; ++round) {
      SCOPED_TRACE(round);
      const double corner = FlownPath::Current().Entry(2);
      w1.altitude_constraint = altitudes[round];
      w1.speed_constraint = speeds[round];
      flightplan::ActiveRouteChanged();
      const double read = tick();
      ASSERT_GT(std::fabs(FlownPath::Current().Entry(2) - corner), 1.0);
      const double afresh = placed_afresh();
      if (round < kPlanRoundsAfterWind) {
        EXPECT_NEAR(read, afresh, 0.01);
      } else {
        EXPECT_GT(std::fabs(read - afresh), 1.0);
      }
    }
  }
}

}  // namespace
}  // namespace ovi::guidance
