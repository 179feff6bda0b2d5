// The per-tick update on a scripted host: the tick gate, the snapshot and
// its derived values, times en route, the mailboxes and the counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/guidance/avionics_update.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::guidance {
namespace {

class UpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  void TearDown() override { ResetModuleState(); }

  void GroundSpeed(double knots) { host.tokens[551] = knots / 0.592484; }
  void Position(double lat, double lon) {
    host.tokens[71] = lat * 10001750.0 / 90.0;
    host.tokens[72] = std::round(lon * 281474976710656.0 / 360.0);
  }
  // One new tick and one call.
  void Pass() {
    host.tokens[1] += 1.0;
    UpdateAvionicsState();
  }
  // Passes until FrameCounter is `frame` after the pass.
  void PassTo(int frame) {
    for (int i = 0; i < 18; ++i) {
      Pass();
      if (guidance_state.FrameCounter == frame) return;
    }
    FAIL() << "frame " << frame << " never came";
  }
  void ActiveRoute() {
    flightplan::State& fp = flightplan::flightplan_state;
    fp.ActiveFlightPlan[0].latitude = 0.0;
    fp.ActiveFlightPlan[0].longitude = 0.0;
    fp.ActiveFlightPlan[1].latitude = 1.0;
    fp.ActiveFlightPlan[1].longitude = 0.0;
    fp.ActiveFlightPlan[2].latitude = 2.0;
    fp.ActiveFlightPlan[2].longitude = 0.0;
    fp.ActiveFlightPlanLastIndex = 2;
    fp.ActiveWaypointIndex = 1;
    guidance_state.ActiveWaypointLat = 1.0;
    guidance_state.ActiveWaypointDistance = 999.0;
  }
  testing::FakeHost host;
};

TEST_F(UpdateTest, ThirtyCallsInOneTickMakeOnePass) {
  host.tokens[1] = 100.0;
  host.tokens[61] = 200.0;
  for (int call = 0; call < 30; ++call) {
    host.tokens[74] = 1000.0 + call;  // the every-call values follow every call
    UpdateAvionicsState();
    EXPECT_EQ(guidance_state.AircraftAltitude, 1000.0 + call);
  }
  EXPECT_EQ(guidance_state.FrameCounter, 1);
  EXPECT_EQ(guidance_state.StartupTickCount, 1);
  // One smoothing step a call, and one more for the trend's sample.
  EXPECT_NEAR(guidance_state.SmoothedAirspeed, 200.0 * (1.0 - std::pow(0.7, 31)), 1e-9);
  Pass();
  EXPECT_EQ(guidance_state.FrameCounter, 2);
}

TEST_F(UpdateTest, CountersWrapAndRestart) {
  for (int i = 0; i < 18; ++i) Pass();
  EXPECT_EQ(guidance_state.FrameCounter, 0);  // 18 values, 0..17
  guidance_state.FrameCounter = 999;          // the MCU restarts the cycle
  Pass();
  EXPECT_EQ(guidance_state.FrameCounter, 0);
  EXPECT_EQ(guidance_state.StartupTickCount, 10);
  // The repaint counter stays 0 through the first five passes.
  ResetModuleState();
  host.Bind();
  for (int i = 1; i <= 5; ++i) {
    Pass();
    EXPECT_EQ(guidance_state.DisplayRefreshCounter, 0) << i;
  }
  Pass();
  EXPECT_EQ(guidance_state.DisplayRefreshCounter, 1);
  guidance_state.DisplayRefreshCounter = 91;
  Pass();
  EXPECT_EQ(guidance_state.DisplayRefreshCounter, 0);
  // A move of the heading bug shows for 54 passes and restarts the repaint.
  guidance_state.DisplayRefreshCounter = 40;
  host.tokens[107] = 90.0;
  Pass();
  EXPECT_EQ(guidance_state.HeadingBugDisplayTicks, 54);
  EXPECT_EQ(guidance_state.DisplayRefreshCounter, 41);
  Pass();  // the change between the two previous reads
  EXPECT_EQ(guidance_state.DisplayRefreshCounter, 0);
  EXPECT_EQ(guidance_state.HeadingBugDisplayTicks, 53);
}

TEST_F(UpdateTest, BankDeadBandIsStrict) {
  struct Case {
    double bank, stored;
  };
  for (Case c : {Case{0.03, 0.0}, Case{-0.03, 0.0}, Case{0.035, 0.035}, Case{-0.035, -0.035}, Case{12.0, 12.0}}) {
    host.tokens[80] = c.bank;
    Pass();
    EXPECT_EQ(guidance_state.BankAttitude, c.stored) << c.bank;
  }
}

TEST_F(UpdateTest, OncePerSimulatorSecondNotPerPass) {
  guidance_state.FlightPhase = 3;
  guidance_state.ElapsedFlightSeconds = 0.0;
  host.tokens[5] = 10.0;
  for (int i = 0; i < 18; ++i) Pass();
  EXPECT_EQ(guidance_state.ElapsedFlightSeconds, 1.0);
  // At 16x several seconds pass between two passes: still one.
  host.tokens[5] = 14.0;
  Pass();
  Pass();
  EXPECT_EQ(guidance_state.ElapsedFlightSeconds, 2.0);
  EXPECT_EQ(gnsxls::gnsxls_state.McuStatusRedraw, 1);
  // Phase 11 and beyond stop the flight clock.
  guidance_state.FlightPhase = 11;
  host.tokens[5] = 15.0;
  Pass();
  EXPECT_EQ(guidance_state.ElapsedFlightSeconds, 2.0);
  // Engines above 99 % and above 645 C count seconds; below, back to 0.
  host.tokens[664] = 99.5;
  host.tokens[587] = 700.0 * 9.0 / 5.0 + 491.69;
  for (double s : {16.0, 17.0, 18.0}) {
    host.tokens[5] = s;
    Pass();
  }
  EXPECT_EQ(guidance_state.MaxThrustTimer, 3.0);
  EXPECT_EQ(guidance_state.EngineTempLimitTimer, 3.0);
  host.tokens[664] = 99.0;
  host.tokens[5] = 19.0;
  Pass();
  EXPECT_EQ(guidance_state.MaxThrustTimer, 0.0);
  EXPECT_EQ(guidance_state.EngineTempLimitTimer, 4.0);
}

TEST_F(UpdateTest, EachEngineCountsItsFuelUsedOncePerPass) {
  // Engine 1 reports through its first variable, the others through their
  // second while the first reads 0; engine 4 not at all.
  host.tokens[421] = 6480.0;
  host.tokens[657] = 12960.0;
  host.tokens[460] = -1.0;
  host.tokens[676] = 648.0;
  for (int i = 0; i < 18; ++i) Pass();
  UpdateAvionicsState();  // the same tick again: nothing more
  // Pounds an hour over 64800 each pass: one second of flow.
  EXPECT_NEAR(guidance_state.Engine1FuelUsed, 1.8, 1e-12);
  EXPECT_NEAR(guidance_state.Engine2FuelUsed, 3.6, 1e-12);
  EXPECT_NEAR(guidance_state.Engine3FuelUsed, 0.18, 1e-12);
  EXPECT_EQ(guidance_state.Engine4FuelUsed, 0.0);
}

TEST_F(UpdateTest, PerformanceWeightIsZeroFuelWeightAndFuelOnBoard) {
  model::State& m = model::model_state;
  host.tokens[386] = 5000.0;  // gallons
  host.tokens[306] = 6.7;     // pounds a gallon
  // Without a zero-fuel weight the tables keep their heaviest weight.
  PassTo(0);
  EXPECT_EQ(m.PerformanceWeight, 0.0);
  guidance_state.GrossWeight = 91300.0;
  PassTo(0);
  EXPECT_DOUBLE_EQ(m.PerformanceWeight, 91300.0 + 33500.0);
  // Fuel burnt shows at the next frame 0, not before.
  host.tokens[386] = 4000.0;
  PassTo(5);
  EXPECT_DOUBLE_EQ(m.PerformanceWeight, 124800.0);
  PassTo(0);
  EXPECT_DOUBLE_EQ(m.PerformanceWeight, 91300.0 + 26800.0);
}

// The barometric setting is read at frame 0 in hectopascals and kept in
// inches of mercury too: 33.86 hPa an inch.
TEST_F(UpdateTest, BarometricSettingInBothUnits) {
  host.tokens[75] = 990.0;
  PassTo(0);
  EXPECT_EQ(guidance_state.BaroPressureMillibars, 990.0);
  EXPECT_NEAR(guidance_state.BarometricPressureInHg, 990.0 / 33.8639, 0.005);
}

TEST_F(UpdateTest, WindAirspeedAndDriftAtTheAirDataFrames) {
  // 30 kt from 090 on a map heading of 000: all crosswind.
  host.tokens[343] = 30.0;
  host.tokens[344] = 90.0;
  host.tokens[86] = 0.0;
  host.tokens[81] = 10.0;
  host.tokens[82] = 20.0;  // variation
  GroundSpeed(300.0);
  PassTo(0);  // the variation is read at frame 0
  PassTo(2);
  const State& g = guidance_state;
  EXPECT_NEAR(g.HeadwindComponent, 0.0, 1e-9);
  EXPECT_NEAR(g.CrosswindComponent, 30.0, 1e-9);
  EXPECT_NEAR(g.TrueAirspeedEstimate, 300.0, 1e-9);
  EXPECT_NEAR(g.DriftAngle, 30.0 / 5.0, 1e-9);
  EXPECT_NEAR(g.GroundTrack, 10.0 - 6.0 + 360.0 - 360.0, 1e-9);
  EXPECT_NEAR(g.WindDirectionMagnetic, 70.0, 1e-9);
  // Headwind from ahead raises the estimate.
  host.tokens[344] = 0.0;
  PassTo(3);
  EXPECT_NEAR(g.TrueAirspeedEstimate, 330.0, 1e-9);
  EXPECT_NEAR(g.WindDirectionMagnetic, 340.0, 1e-9);
  // 25 kt exactly: no estimate, no drift, the track is the heading.
  GroundSpeed(25.0);
  host.tokens[344] = 90.0;
  PassTo(6);
  EXPECT_EQ(g.TrueAirspeedEstimate, 0.0);
  EXPECT_EQ(g.DriftAngle, 0.0);
  EXPECT_EQ(g.GroundTrack, 10.0);
  // A drift to the left of a heading near north wraps.
  host.tokens[81] = 2.0;
  GroundSpeed(300.0);
  PassTo(9);
  EXPECT_NEAR(g.GroundTrack, 2.0 - 6.0 + 360.0, 1e-9);
  // And one to the right of it, with the wind from the left: 358 + 6 is
  // 4, not 364.
  host.tokens[81] = 358.0;
  host.tokens[86] = 358.0;
  host.tokens[344] = 268.0;
  PassTo(12);
  EXPECT_NEAR(g.DriftAngle, -6.0, 1e-9);
  EXPECT_NEAR(g.GroundTrack, 4.0, 1e-9);
  host.tokens[86] = 0.0;
  // The Mach number and the autopilot settings come from their tokens.
  host.tokens[64] = 0.78 / 3.2 * 65536.0;
  host.tokens[116] = 280.0;
  PassTo(15);
  EXPECT_NEAR(g.MachNumber, 0.78, 1e-12);
  EXPECT_EQ(g.ApAirspeedHoldVar, 280.0);
}

TEST_F(UpdateTest, TimesEnRouteSplitHoursAndStayFinite) {
  ActiveRoute();
  // 60 NM to the active waypoint and 90 NM on to the last: 150 NM to go
  // along the route, which the vertical profile measures.
  flightplan::flightplan_state.ActiveFlightPlan[2].latitude = 2.5;
  Position(0.0, 0.0);
  GroundSpeed(120.0);
  host.tokens[336] = 2.0;
  PassTo(0);
  PassTo(0);  // the distance of the first pass is in place
  const State& g = guidance_state;
  // 60 NM at 120 kt: 30 minutes; 150 NM: 75 minutes = 1 h 15 min.
  EXPECT_NEAR(g.MinutesToActiveWaypoint, 30.0, 1e-6);
  EXPECT_EQ(g.ActiveWaypointEteHours, 0.0);
  EXPECT_NEAR(g.EteMinutes, g.MinutesToActiveWaypoint, 1e-9);
  EXPECT_EQ(g.EteMinuteTenths, std::trunc((g.EteMinutes - std::trunc(g.EteMinutes)) * 10.0));
  EXPECT_NEAR(g.RealMinutesToActiveWaypoint, g.MinutesToActiveWaypoint / 2.0, 1e-9);
  EXPECT_EQ(g.DestinationEteHours, 1.0);
  EXPECT_NEAR(g.TodEteMinutes, 15.0, 1e-9);
  EXPECT_EQ(g.RealTodEteHours, 0.0);
  EXPECT_NEAR(g.RealTodEteMinutes, 37.5, 1e-9);
  // A rate of 0: real time counts as simulated; nothing infinite.
  host.tokens[336] = 0.0;
  PassTo(0);
  EXPECT_NEAR(g.RealMinutesToActiveWaypoint, g.MinutesToActiveWaypoint, 1e-9);
  // 25 kt or less: every hour and minute 0, the minutes-to values kept.
  double kept = g.MinutesToActiveWaypoint;
  GroundSpeed(25.0);
  PassTo(0);
  EXPECT_EQ(g.MinutesToActiveWaypoint, kept);
  EXPECT_EQ(g.EteMinutes, 0.0);
  EXPECT_EQ(g.TodEteMinutes, 0.0);
  EXPECT_EQ(g.RealTodEteHours, 0.0);
  // No ground speed at all: still nothing infinite.
  GroundSpeed(0.0);
  PassTo(0);
  EXPECT_TRUE(std::isfinite(g.MinutesToActiveWaypoint));
  EXPECT_TRUE(std::isfinite(g.DriftAngle));
}

// EXEC off the 18-pass cycle of the times: the next pass times the new
// route (its first waypoint 20 NM east, its last 40 NM on); a pass that
// changes neither waypoint keeps the cycle.
TEST_F(UpdateTest, TimesFollowAnExecutedRouteAtOnce) {
  ActiveRoute();
  GroundSpeed(120.0);
  PassTo(1);
  flightplan::State& fp = flightplan::flightplan_state;
  fp.PendingFlightPlan = fp.ActiveFlightPlan;
  fp.PendingFlightPlan[1].latitude = fp.PendingFlightPlan[2].latitude = 0.0;
  fp.PendingFlightPlan[1].longitude = 1.0 / 3.0;
  fp.PendingFlightPlan[2].longitude = 1.0;
  fp.PendingFlightPlanLastIndex = 2;
  fp.RouteState = 4;
  flightplan::ExecutePendingRoute();
  host.tokens[81] = 90.0;  // heading east along it
  Pass();
  const State& g = guidance_state;
  EXPECT_NEAR(g.EteMinutes, 10.0, 1e-6);     // 20 NM at 120 kt
  EXPECT_NEAR(g.TodEteMinutes, 30.0, 1e-6);  // 60 NM
  GroundSpeed(60.0);
  Pass();
  EXPECT_NEAR(g.EteMinutes, 10.0, 1e-6);
  PassTo(0);
  EXPECT_NEAR(g.EteMinutes, 20.0, 1e-6);
}

TEST_F(UpdateTest, SnapshotForTheServerAndNothingWithoutAWaypoint) {
  host.RegisterNamedVariable("ovi_lnav");
  guidance_state.FlightPhase = 999;
  guidance_state.RadioTuneRequest = 1;
  guidance_state.VnavSpdRestPending = 1;
  guidance_state.FlightPlanLoadRequest = 3;
  host.tokens[103] = 1.0;
  Pass();
  const model::NavigationSnapshot& s = host::host_state.NavigationSnapshot;
  // No active waypoint: no snapshot, no guidance; the mailboxes still served.
  EXPECT_EQ(host::host_state.OviActive, 0u);
  EXPECT_EQ(s.ActWptPos, 0u);
  EXPECT_EQ(guidance_state.RadioTuneRequest, 0);
  EXPECT_EQ(guidance_state.VnavSpdRestPending, 0);
  EXPECT_EQ(guidance_state.FlightPlanLoadRequest, 0);
  EXPECT_EQ(guidance_state.ApMaster, 1.0);  // the master watch ran

  ActiveRoute();
  Position(0.5, 0.0);
  guidance_state.LnavEngaged = 1;
  Pass();
  EXPECT_EQ(host::host_state.OviActive, 1u);
  EXPECT_EQ(s.ActWptPos, 1u);
  EXPECT_EQ(s.FplnWptCnt, 2u);
  EXPECT_NEAR(s.ActWptDist, 30.0, 1e-6);  // one arc minute is one mile
  EXPECT_EQ(s.ActWptTrk, 0.0);  // true north, no variation: 360 - 0 wraps to 0
  EXPECT_EQ(s.LnavMode, 1u);
  EXPECT_EQ(s.VnavMode, 0u);
}

// The largest latitude north of (0, 0) still within `nm` of it, and the
// next one beyond.
void LatitudesAround(double nm, double& within, double& beyond) {
  within = 0.0;
  beyond = 1.0;
  for (int i = 0; i < 200 && beyond - within > 1e-15; ++i) {
    double mid = (within + beyond) / 2.0, d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(0.0, 0.0, mid, 0.0, d, c);
    (d <= nm ? within : beyond) = mid;
  }
}

TEST_F(UpdateTest, ArrivalActionsOnceWithin25MilesOfTheLastWaypoint) {
  // A route whose last waypoint lies north of the aircraft at (0, 0), its
  // origin far south, so only the arrival counts.
  ActiveRoute();
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveFlightPlan[0].latitude = -5.0;
  model::model_state.SetWptBaro = 1;
  Position(0.0, 0.0);
  double within = 0.0, beyond = 0.0;
  LatitudesAround(25.0, within, beyond);
  auto baro_events = [&] {
    int n = 0;
    for (const auto& e : host.key_events) n += e.first == 65584u;
    return n;
  };
  fp.ActiveFlightPlan[2].latitude = beyond;
  flightplan::ActiveRouteChanged();
  Pass();
  EXPECT_EQ(guidance_state.ArrivalActionsDone, 0);
  EXPECT_EQ(baro_events(), 0);
  fp.ActiveFlightPlan[2].latitude = within;  // exactly 25 NM counts
  flightplan::ActiveRouteChanged();
  Pass();
  EXPECT_EQ(guidance_state.ArrivalActionsDone, 1);
  EXPECT_EQ(baro_events(), 1);
  Pass();  // once a flight
  EXPECT_EQ(baro_events(), 1);
  // A new route sets it back; then it fires again near that route's end.
  guidance_state.ArrivalActionsDone = 0;
  Pass();
  EXPECT_EQ(baro_events(), 2);
}

TEST_F(UpdateTest, DestinationDetailsBeyond8MilesFromTheOriginOnly) {
  ActiveRoute();
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveFlightPlan[2].ident = "DEST";
  fp.ActiveFlightPlan[2].type = "VOR";
  double within = 0.0, beyond = 0.0;
  LatitudesAround(8.0, within, beyond);
  guidance_state.DestinationDetailsState = 1;
  gnsxls::gnsxls_state.McuRunwayScroll = 3;
  navdb::navdb_state.SelectedRunwayBase = 2;
  // The aircraft at (0, 0), the origin south of it. A route that ends at a
  // navaid has no airport details to load.
  Position(0.0, 0.0);
  fp.ActiveFlightPlan[0].latitude = -1.0;
  Pass();
  EXPECT_EQ(guidance_state.DestinationDetailsState, 1);
  fp.ActiveFlightPlan[2].type = "APT";
  fp.ActiveFlightPlan[0].latitude = -within;  // 8 NM from the origin: not yet
  flightplan::ActiveRouteChanged();
  Pass();
  EXPECT_EQ(guidance_state.DestinationDetailsState, 1);
  EXPECT_EQ(gnsxls::gnsxls_state.McuRunwayScroll, 3);
  fp.ActiveFlightPlan[0].latitude = -beyond;
  flightplan::ActiveRouteChanged();
  Pass();
  EXPECT_EQ(guidance_state.DestinationDetailsState, 2);
  EXPECT_EQ(gnsxls::gnsxls_state.McuRunwayScroll, -999);
  EXPECT_EQ(navdb::navdb_state.SelectedRunwayBase, -999);
}

TEST_F(UpdateTest, P1000MenuClosesOnThe11thIdleCheck) {
  model::State& m = model::model_state;
  m.P1000MenuOpen = 1;
  m.P1000MapFormat = 1;
  m.P1000MapGeometry.centre_x = 10;
  // The menu is checked at frames 0 and 9; every check without a soft key
  // since the previous one is idle.
  auto next_check = [&] {
    do {
      Pass();
    } while (guidance_state.FrameCounter != 0 && guidance_state.FrameCounter != 9);
  };
  for (int check = 1; check <= 10; ++check) {
    next_check();
    ASSERT_EQ(m.P1000MenuOpen, 1) << check;
  }
  next_check();  // the 11th
  EXPECT_EQ(m.P1000MenuOpen, 0);
  EXPECT_EQ(m.P1000MapFormat, 0);
  EXPECT_EQ(m.P1000MapGeometry.centre_x, 134);
  EXPECT_EQ(m.P1000MapGeometry.centre_y, 148);
  EXPECT_EQ(m.P1000MapGeometry.radius, 53);
  EXPECT_EQ(guidance_state.DisplayRefreshCounter, 999);
  // A soft key in between starts the count again.
  m.P1000MenuOpen = 1;
  for (int check = 1; check <= 8; ++check) next_check();
  ++m.P1000MenuActivityCount;
  next_check();  // sees the key
  for (int check = 1; check <= 10; ++check) next_check();
  EXPECT_EQ(m.P1000MenuOpen, 1);
  next_check();
  EXPECT_EQ(m.P1000MenuOpen, 0);
}

// A route changed around EXEC (the MCU's direct-to writes the flown route
// itself) is planned again on the next pass: its TOC stood on the route it
// replaced. A pass on the same route leaves the plan alone.
TEST_F(UpdateTest, ARouteThatMovedIsPlannedAgainOnTheNextPass) {
  ActiveRoute();
  flightplan::State& fp = flightplan::flightplan_state;
  fp.RouteState = 3;
  Position(0.0, 0.0);
  Pass();
  model::model_state.CruiseAlt = 12000;
  flightplan::RebuildVerticalPlan();
  EXPECT_EQ(guidance_state.TocLongitude, 0.0);  // on the meridian
  guidance_state.TocLongitude = 0.25;           // no plan moves it back
  Pass();
  EXPECT_EQ(guidance_state.TocLongitude, 0.25);
  // Direct from the aircraft to a point north-east, then the destination.
  fp.ActiveFlightPlan[0].latitude = fp.ActiveFlightPlan[0].longitude = 0.0;
  fp.ActiveFlightPlan[1].latitude = fp.ActiveFlightPlan[1].longitude = 1.0;
  flightplan::ActiveRouteChanged();
  EXPECT_TRUE(RouteMovedSincePlan());
  Pass();
  EXPECT_FALSE(RouteMovedSincePlan());
  EXPECT_NEAR(guidance_state.TocLatitude, guidance_state.TocLongitude, 1e-3);  // on the new first leg
  EXPECT_GT(guidance_state.TocLongitude, 0.1);
}

// A top of descent the profile passed since the transitions last ran (as
// it does right after the top of climb, when the climb ended past the TOD)
// is the transitions' to take: the descent's altitude goes out once. Looked
// for only since the pass began, it was lost and the aircraft stayed up.
TEST_F(UpdateTest, ATopOfDescentPassedBetweenTheTransitionsIsTaken) {
  ActiveRoute();
  Position(0.5, 0.0);
  model::model_state.CruiseAlt = 20000;
  model::model_state.VnavSetAlts = 1;
  flightplan::flightplan_state.ActiveFlightPlan[2].altitude_constraint = 500.0;
  State& g = guidance_state;
  g.NextConstraintIndex = 2;
  g.VnavEngaged = 1;
  g.TocPassed = g.TodPassed = 1;
  g.TodPassedByTransitions = 0;
  Pass();
  ASSERT_FALSE(host.key_events.empty());
  EXPECT_EQ(host.key_events[0], std::make_pair(66124u, 500u));
  EXPECT_EQ(g.TodPassedByTransitions, 1);
  Pass();
  const auto altitudes = [&] {
    const auto& e = host.key_events;
    return std::count_if(e.begin(), e.end(), [](const auto& k) { return k.first == 66124u; });
  };
  EXPECT_EQ(altitudes(), 1);
}

TEST_F(UpdateTest, MasterOffWithSpeedHoldSendsSpeedOff) {
  model::model_state.SetSpdOffwhenAPMasterSetOff = 1;
  host.tokens[103] = 1.0;
  host.tokens[115] = 1.0;
  PassTo(2);  // airspeed hold read
  host.tokens[103] = 0.0;
  Pass();
  ASSERT_EQ(host.key_events.size(), 1u);
  EXPECT_EQ(host.key_events[0], std::make_pair(65859u, 0u));
  Pass();  // once: the master stays off
  EXPECT_EQ(host.key_events.size(), 1u);
}

}  // namespace
}  // namespace ovi::guidance
