// The predictions follow the plan VNAV flies: worked out again as EXEC
// works them out whenever that plan moves, with the descent VNAV flies first
// on its own path from the top of descent it keeps, a hold's fix at the
// level the pages showed. Routes run straight along the equator, west
// across 180 or south along 45W, where a NM is a sixtieth of a degree and
// the path is the legs themselves, so every altitude is worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/profile_predictions.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vnav.h"
#include "src/host/module_state.h"
#include "src/model/state.h"

namespace ovi::guidance {
namespace {

struct Way {
  const char* name;
  double lat0, lon0, dlat, dlon;  // degrees a NM
  double track;                   // degrees true
  double Lat(double nm) const { return lat0 + dlat * nm; }
  double Lon(double nm) const { return std::remainder(lon0 + dlon * nm, 360.0); }
};
constexpr Way kWays[] = {{"east", 0.0, 0.0, 0.0, 1 / 60.0, 90.0},
                         {"west across 180", 0.0, -179.0, 0.0, -1 / 60.0, 270.0},
                         {"south", -1.0, -45.0, -1 / 60.0, 0.0, 180.0}};

// A, W1..W6 and B at these NM; W5 at 10,000 ft entered by the pilot.
constexpr double kAt[] = {0.0, 40.0, 80.0, 110.0, 130.0, 150.0, 200.0, 240.0};
constexpr int kConstraint = 5, kLast = 7;

class PlanFlownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    model::State& m = model::model_state;
    // No tables, the speed left to the pilot: the climb at the file's mean
    // true airspeed in still air, the descent 285.7 ft a NM.
    m.FPA = 0.0;
    m.VnavSetSpd = 0;
    m.ClimbRate = 1500;
    m.ClimbTas = 360.0;
    m.DescentRate = 2000.0;
    m.DescentTas = 420.0;
    m.MaxCruise = 35000;
    m.ClimbIas = 250;
    m.CruiseSpeed = 290;
    m.DescentSpeed = 270;
    m.CruiseAlt = 20000;
  }
  void TearDown() override { ResetModuleState(); }

  // The route executed on the ground, then the aircraft cruising at the
  // level `nm` along it with W3 active.
  void Cruising(const Way& w, double nm) {
    flightplan::State& fp = flightplan::flightplan_state;
    for (int i = 0; i <= kLast; ++i) {
      model::FlightPlanWaypoint& e = fp.ActiveFlightPlan[i];
      e = model::FlightPlanWaypoint{};
      e.ident = i == 0 ? "A" : i == kLast ? "B" : "W" + std::to_string(i);
      e.type = i == 0 || i == kLast ? "APT" : "WPT";
      e.latitude = w.Lat(kAt[i]);
      e.longitude = w.Lon(kAt[i]);
      e.altitude_constraint = i == 0 || i == kLast ? 0.0 : model::kNoValue;
      e.speed_constraint = model::kNoValue;
    }
    fp.ActiveFlightPlan[kConstraint].constraint_flag = 1;
    fp.ActiveFlightPlan[kConstraint].altitude_constraint = 10000.0;
    fp.ActiveFlightPlanLastIndex = kLast;
    fp.ActiveWaypointIndex = 1;
    fp.RouteState = 3;
    flightplan::ActiveRouteChanged();
    State& g = guidance_state;
    g.PlaneLatitude = w.Lat(0.0);
    g.PlaneLongitude = w.Lon(0.0);
    flightplan::RebuildVerticalPlan();
    fp.ActiveWaypointIndex = 3;
    g.ActiveWaypointLat = w.Lat(kAt[3]);
    g.ActiveWaypointLon = w.Lon(kAt[3]);
    g.PlaneLatitude = w.Lat(nm);
    g.PlaneLongitude = w.Lon(nm);
    g.AircraftAltitude = 20000.0;
    g.GroundSpeedKnots = 400.0;
    g.TocPassed = 1;
    g.TodPassed = 0;
    g.NextConstraintIndex = kConstraint;
  }
  // The climb planned on the runway at 1,050 ft (the route's first entry
  // there too).
  static void PlannedOnTheRunway(const Way& w) {
    flightplan::State& fp = flightplan::flightplan_state;
    fp.ActiveFlightPlan[0].altitude_constraint = 1050.0;
    flightplan::ActiveRouteChanged();
    State& g = guidance_state;
    g.PlaneLatitude = w.Lat(0.0);
    g.PlaneLongitude = w.Lon(0.0);
    g.TocPassed = 0;
    g.AircraftAltitude = 1050.0;
    g.GroundSpeedKnots = 0.0;
    fp.ActiveWaypointIndex = 1;
    flightplan::RebuildVerticalPlan();
  }
  // Then the aircraft 10 NM out at 1,550 ft on the first leg, climbing at
  // 1,500 ft/min; the caller sets its speeds.
  static void TenNmOut(const Way& w) {
    State& g = guidance_state;
    g.PlaneLatitude = w.Lat(10.0);
    g.PlaneLongitude = w.Lon(10.0);
    g.ActiveWaypointLat = w.Lat(kAt[1]);
    g.ActiveWaypointLon = w.Lon(kAt[1]);
    g.AircraftAltitude = 1550.0;
    g.AircraftHeading = g.GroundTrack = w.track;
    g.VerticalSpeedFpm = 1500.0;
  }
  static void TopOfDescent(const Way& w, double nm, double feet) {
    guidance_state.TodLatitude = w.Lat(nm);
    guidance_state.TodLongitude = w.Lon(nm);
    guidance_state.TodAltitude = feet;
  }
  static double Shown(int i) { return flightplan::flightplan_state.ActiveFlightPlan[i].altitude_constraint; }
};

// The walk back from W5 at the plan's rate puts its top at 115 NM; the top
// VNAV keeps as a point stands elsewhere once the corners before it or
// between it and W5 were flown again, and VNAV flies straight from it.
TEST_F(PlanFlownTest, TheWaypointsBeforeTheConstraintLieOnThePathFromTheTopVnavKeeps) {
  struct Case {
    const char* name;
    int descending;
    double aircraft_nm, tod_nm, top;
    int hold_at;      // 0 none
    double w3, w4;    // shown
  } const kCases[] = {
      // Cruising: before the top at the level, on the line from it after.
      {"the top where the walk puts it", 0, 90.0, 115.0, 20000.0, 0, 20000.0, 15700.0},
      {"the top kept 15 NM on", 0, 90.0, 130.0, 20000.0, 0, 20000.0, 20000.0},
      {"the top kept 15 NM short", 0, 90.0, 100.0, 20000.0, 0, 18000.0, 14000.0},
      // Descending from where the aircraft was re-planned, above the walk.
      {"in the descent from the aircraft", 1, 90.0, 90.0, 21000.0, 0, 17300.0, 13600.0},
      // A hold at W3 keeps the level its fix showed; the path falls to it.
      {"a hold at W3 planned below the path", 0, 90.0, 100.0, 20000.0, 3, 17000.0, 13500.0},
  };
  for (const Way& w : kWays) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(w.name) + ", " + c.name);
      SetUp();
      Cruising(w, c.aircraft_nm);
      State& g = guidance_state;
      g.TodPassed = c.descending;
      TopOfDescent(w, c.tod_nm, c.top);
      if (c.hold_at > 0) {
        flightplan::flightplan_state.HoldCount = 1;
        flightplan::flightplan_state.HoldTable[1].active_index = c.hold_at;
        flightplan::flightplan_state.ActiveFlightPlan[c.hold_at].altitude_constraint = 17000.0;
        flightplan::ActiveRouteChanged();
        g.PlannedRouteEdits = flightplan::flightplan_state.ActiveRouteEdits;
      }
      PredictThePlanFlown();
      EXPECT_EQ(Shown(3), c.w3);
      EXPECT_EQ(Shown(4), c.w4);
      EXPECT_EQ(Shown(kConstraint), 10000.0);
      // Beyond the constraint, the walk from the end: no higher than W5.
      EXPECT_EQ(Shown(6), 10000.0);
      EXPECT_EQ(g.PlannedRouteEdits, flightplan::flightplan_state.ActiveRouteEdits);
    }
  }
}

// A lower level entered in the cruise: VNAV steps down to it from the
// aircraft at its greatest 2,000 ft/min and the cruise's 276 kt (about 410
// kt true on the way down, 290 ft a NM), whatever its ground speed before
// the step, and W3, 20 NM on, is shown where the step crosses it; the level
// where the step ends before it, or where VNAV does not fly it. A Mach
// VNAV still asks for (M0.80, about 490 kt, 245 ft a NM) is flown until it
// takes up the cruise's: at W3 where it set its speed for the leg, else 10
// NM before it. W4 lies past the top of descent.
TEST_F(PlanFlownTest, AStepDownInTheCruiseIsShownAtTheWaypointsOnItsWay) {
  struct Case {
    const char* name;
    double altitude;
    int vnav;
    double mach;  // VNAV asks for
    int speed_set;
    double w3, within;
  } const kCases[] = {
      {"8,000 ft above", 28000.0, 1, 0.0, 0, 22200.0, 200.0},
      {"M0.80 to W3", 28000.0, 1, 0.80, 1, 23100.0, 200.0},
      {"M0.80 to 10 NM before W3", 28000.0, 1, 0.80, 0, 22650.0, 200.0},
      {"5,500 ft above: down before W3", 25500.0, 1, 0.0, 0, 20000.0, 0.0},
      {"within the autopilot's capture", 20150.0, 1, 0.0, 0, 20000.0, 0.0},
      {"VNAV off", 28000.0, 0, 0.0, 0, 20000.0, 0.0},
  };
  for (const Way& w : kWays) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(w.name) + ", " + c.name);
      SetUp();
      Cruising(w, 90.0);
      TopOfDescent(w, 115.0, 20000.0);
      model::State& m = model::model_state;
      m.MaxVnavDescRate = 2000.0;
      m.CruiseSpeed = 276;
      m.VnavSetMachCruiseSpd = 0;
      m.VnavSetSpdRestDist = 10.0;
      State& g = guidance_state;
      g.AircraftAltitude = c.altitude;
      g.AircraftHeading = g.GroundTrack = w.track;
      g.GroundSpeedKnots = 480.0;
      g.VnavEngaged = c.vnav;
      g.VnavWantedMach = c.mach;
      g.VnavSpeedSet = c.speed_set;
      PredictThePlanFlown();
      EXPECT_NEAR(Shown(3), c.w3, c.within);
      EXPECT_EQ(std::fmod(Shown(3), 100.0), 0.0);
      EXPECT_EQ(Shown(4), 15700.0);
      EXPECT_EQ(Shown(kConstraint), 10000.0);
    }
  }
}

// Written once as the plan's own write: worked out again for the same plan,
// nothing is written and no edit counted; a plan that only moved waits a
// few seconds, a new target or phase does not, nor a hold flown at all.
TEST_F(PlanFlownTest, WorkedOutAgainWhenThePlanMovesAndOnlyThen) {
  for (const Way& w : kWays) {
    SCOPED_TRACE(w.name);
    SetUp();
    Cruising(w, 90.0);
    State& g = guidance_state;
    TopOfDescent(w, 115.0, 20000.0);
    g.LastTick = 1000.0;
    PredictThePlanFlown();
    const std::uint64_t edits = flightplan::flightplan_state.ActiveRouteEdits;
    PredictThePlanFlown();
    EXPECT_EQ(flightplan::flightplan_state.ActiveRouteEdits, edits);
    EXPECT_FALSE(PlanMovedSincePredicted());
    // The top 1 NM on: followed 5 s after the last work, not before.
    TopOfDescent(w, 116.0, 20000.0);
    g.LastTick = 1089.0;
    EXPECT_FALSE(PlanMovedSincePredicted());
    g.LastTick = 1090.0;
    EXPECT_TRUE(PlanMovedSincePredicted());
    // A tenth of a mile is no move.
    TopOfDescent(w, 115.1, 20000.0);
    EXPECT_FALSE(PlanMovedSincePredicted());
    // Another target or phase at once.
    g.LastTick = 1001.0;
    g.NextConstraintIndex = kLast;
    EXPECT_TRUE(PlanMovedSincePredicted());
    g.NextConstraintIndex = kConstraint;
    g.TodPassed = 1;
    EXPECT_TRUE(PlanMovedSincePredicted());
    // A hold flown keeps the plan it was entered on.
    g.ActiveHoldIndex = 1;
    g.HoldSegmentCounter = 1;
    EXPECT_FALSE(PlanMovedSincePredicted());
  }
}

// The climb from the aircraft once VNAV flies it, however low: W1 40 NM
// out at 250 ft a NM from the aircraft 10 NM out at 1,550 ft, on its leg,
// 500 ft above a runway 1,050 ft up, is 9,000 ft; EXEC's climb from the
// runway, 11,000, stands while the pilot still flies the climb. Flying is
// told by the airspeed as well as the ground speed: into a strong wind the
// aircraft makes under 100 kt over the ground low down.
TEST_F(PlanFlownTest, OnceVnavFliesTheClimbItIsWalkedFromTheAircraft) {
  struct Case {
    const char* name;
    int vnav;
    double ground_speed, airspeed, shown;
  } const kCases[] = {
      {"VNAV off", 0, 250.0, 250.0, 11000.0},
      {"VNAV on", 1, 250.0, 250.0, 9000.0},
      {"VNAV on into 150 kt", 1, 75.0, 175.0, 9000.0},
      {"VNAV on with 150 kt behind", 1, 250.0, 95.0, 9000.0},
      {"VNAV on, not yet flying", 1, 95.0, 95.0, 11000.0},
      {"VNAV off into 150 kt", 0, 75.0, 175.0, 11000.0},
  };
  for (const Way& w : kWays) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(w.name) + ", " + c.name);
      SetUp();
      model::model_state.MinVnavIas = 0.0;
      model::model_state.MinVnavClimbRate = 0.0;
      Cruising(w, 10.0);
      PlannedOnTheRunway(w);
      ASSERT_EQ(Shown(1), 11000.0);
      TenNmOut(w);
      State& g = guidance_state;
      g.GroundSpeedKnots = c.ground_speed;
      g.SmoothedAirspeed = c.airspeed;
      g.VnavEngaged = c.vnav;
      PredictThePlanFlown();
      EXPECT_EQ(Shown(1), c.shown);
    }
  }
}

// Where the climb at the plan's rate from the aircraft (250 ft a NM, 1,500
// ft/min at 360 kt) falls short of the constraint ahead, VNAV climbs to it
// at the rate that meets it there, and the waypoints before it show that
// climb: from 1,550 ft 10 NM out, W2's 23,000 ft 70 NM on asks for 1,839
// ft/min, sent as 1,800, or as the 1,900 already sent while the rate stays
// within its band. W1, 30 NM on, is 10,550 ft at 1,800 and 11,050 at
// 1,900; at the plan's rate it was 9,050 ft. 25,000 ft asks for 2,010,
// no more than VNAV's greatest rate.
TEST_F(PlanFlownTest, TheClimbToAConstraintBeyondThePlansRateIsShownAtTheRateThatMeetsIt) {
  struct Case {
    const char* name;
    double w2;
    std::int32_t sent;
    double greatest, w1;
  } const kCases[] = {
      {"nothing sent yet", 23000.0, kNoCommand, 2500.0, 10500.0},
      {"1,900 sent", 23000.0, 1900, 2500.0, 11000.0},
      {"1,600 sent, out of its band", 23000.0, 1600, 2500.0, 10500.0},
      {"2,500 sent, out of its band", 23000.0, 2500, 2500.0, 10500.0},
      {"met at the plan's rate", 19000.0, 1500, 2500.0, 9000.0},
      {"within 100 ft of the plan's", 19100.0, 1500, 2500.0, 9000.0},
      {"at VNAV's greatest rate", 25000.0, kNoCommand, 2500.0, 11500.0},
      {"beyond VNAV's greatest rate", 25000.0, kNoCommand, 1900.0, 11000.0},
  };
  for (const Way& w : kWays) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(w.name) + ", " + c.name);
      SetUp();
      model::State& m = model::model_state;
      m.MinVnavIas = 0.0;
      m.MinVnavClimbRate = 0.0;
      m.CruiseAlt = 40000;
      m.MaxVnavClimbRate = c.greatest;
      Cruising(w, 10.0);
      flightplan::State& fp = flightplan::flightplan_state;
      fp.ActiveFlightPlan[2].constraint_flag = 1;
      fp.ActiveFlightPlan[2].altitude_constraint = c.w2;
      PlannedOnTheRunway(w);
      TenNmOut(w);
      State& g = guidance_state;
      g.GroundSpeedKnots = g.SmoothedAirspeed = 250.0;
      g.VnavEngaged = 1;
      g.VnavVerticalSpeedCommand = c.sent;
      PredictThePlanFlown();
      EXPECT_EQ(Shown(1), c.w1);
      EXPECT_EQ(Shown(2), c.w2);
    }
  }
}

// A constraint below the level that the climb reaches the level before, on
// the leg into it, with the cruise after it again, is the climb's only
// while VNAV's top of descent lies beyond it: VNAV's climb ends at that top.
// At 1,500 ft/min and 640 kt (140.6 ft a NM from 1,050 ft) the climb
// reaches FL200 135 NM out, past W4 (130); W5's 18,000 at 150 is met on the
// way down from a top 7 NM before it (285.7 ft a NM), and the descent from
// B reaches the level again before W5. Taken as the climb's with VNAV's top
// placed for it, the pages showed W4 held at 18,000 while VNAV climbed on
// through it to the level and turned down to W5.
TEST_F(PlanFlownTest, AConstraintBeyondVnavsTopOfDescentIsTheDescents) {
  struct Case {
    double tod_nm;
    double w4;
  };
  const Case cases[] = {
      {143.0, 19200.0},  // placed for W5: the descent's, climbed to the level before it
      {205.0, 18000.0},  // placed for B: levelled at in the climb
  };
  for (const Way& w : kWays) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(w.name) + ", the top of descent at " + std::to_string(c.tod_nm));
      SetUp();
      model::model_state.ClimbTas = 640.0;
      Cruising(w, 0.0);
      flightplan::flightplan_state.ActiveFlightPlan[kConstraint].altitude_constraint = 18000.0;
      PlannedOnTheRunway(w);
      ASSERT_EQ(PlannedCruiseAltitude(), 20000);
      TopOfDescent(w, c.tod_nm, 20000.0);
      PredictAltitudesAndSpeeds(kLast, 1500.0);
      EXPECT_EQ(Shown(4), c.w4);
      EXPECT_EQ(Shown(kConstraint), 18000.0);
    }
  }
}

}  // namespace
}  // namespace ovi::guidance
