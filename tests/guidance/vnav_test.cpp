// VNAV: the top of climb and descent, the vertical-speed rules, the speed
// logic and the read-backs that tell VNAV's own changes from the pilot's.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/guidance/autopilot_commands.h"
#include "src/guidance/avionics_update.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/lateral.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/vnav.h"
#include "src/host/module_state.h"
#include "src/instruments/fms/state.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/host/fake_panels.h"

namespace ovi::guidance {
namespace {

using Events = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

class VnavTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    // The autopilot takes the altitude and speed targets VNAV sends, and
    // the aircraft's airspeed or Mach (tokens 61 and 64) as a hold engages.
    host.key_handlers.emplace_back(
        [](std::uint32_t id, std::uint32_t value, void* user) {
          auto& tokens = static_cast<testing::FakeHost*>(user)->tokens;
          if (id == kEventAltitude) tokens[109] = static_cast<std::int32_t>(value);
          if (id == kEventAirspeed) tokens[116] = value;
          if (id == kEventMach) tokens[118] = value / 100.0;
          if (id == kEventAirspeedHoldOn) tokens[116] = std::round(tokens[61]);
          if (id == kEventMachHoldOn) tokens[118] = std::round(tokens[64] * 100.0) / 100.0;
        },
        &host);
    flightplan::State& fp = flightplan::flightplan_state;
    for (int i = 0; i <= 3; ++i) {
      fp.ActiveFlightPlan[i].ident = "W" + std::to_string(i);
      fp.ActiveFlightPlan[i].latitude = i;
      fp.ActiveFlightPlan[i].longitude = 0.0;
    }
    fp.ActiveFlightPlan[3].type = "APT";
    fp.ActiveFlightPlanLastIndex = 3;
    fp.ActiveWaypointIndex = 1;
    fp.RouteState = 3;
    State& g = guidance_state;
    g.ActiveWaypointLat = 1.0;
    g.ActiveWaypointDistance = 60.0;
    g.NextConstraintIndex = 3;
    g.TodLatitude = 50.0;  // far away unless a test moves it
    g.DestinationDistance = 1000.0;
    g.DistanceTodToLastWaypoint = 100.0;
    g.VnavEngaged = 1;
    g.SmoothedAirspeed = 250.0;
    g.ApAirspeedHoldVar = 250.0;
    model::model_state.CruiseAlt = 20000;
    model::model_state.CruiseMach = 0.78;
  }

  // VNAV sets the speeds, LNAV steers through the autopilot's heading, and
  // the autopilot holds a Mach.
  static void SpeedsByVnavInMachHoldUnderLnav() {
    State& g = guidance_state;
    model::model_state.VnavSetSpd = 1;
    g.LnavEngaged = 1;
    g.ApHeadingLock = 1;
    g.ApMachHold = 1.0;
    g.ApAirspeedHold = 0.0;
  }
  void TearDown() override { ResetModuleState(); }

  void Pass() {
    host.tokens[1] += 1.0;
    UpdateAvionicsState();
  }
  Events Sent(std::uint32_t id) const {
    Events out;
    for (const auto& e : host.key_events)
      if (e.first == id) out.push_back(e);
    return out;
  }
  // Levelled at `level` before a hold's fix ahead, then the hold entered
  // (nothing more sent; the hold flown there) or taken out (`target` sent
  // again), each followed by two more passes of `pass`.
  void LevelThenEnterOrTakeOutTheHold(double level, std::uint32_t target, bool taken_out, Events& sent,
                                      const std::function<void()>& pass) {
    State& g = guidance_state;
    flightplan::State& fp = flightplan::flightplan_state;
    g.AircraftAltitude = level;
    pass();
    if (taken_out) {
      fp.HoldCount = fp.HoldTable[1].active_index = 0;
      sent.push_back({kEventAltitude, target});
    } else {
      g.ActiveHoldIndex = g.HoldSegmentCounter = 1;
    }
    for (int i = 0; i < 2; ++i) pass();
    EXPECT_EQ(Sent(kEventAltitude), sent);
  }
  // The vertical-speed command for a path rate, on a pass of frame 0: the
  // target a minute ahead at the ground speed the plan's climb averages up
  // to it (the one VNAV's path rate is worked out at).
  std::int32_t ClimbCommand(double path_rate, double vs) {
    State& g = guidance_state;
    g.GroundSpeedKnots = 600.0;
    g.AircraftAltitude = 10000.0;
    g.NextConstraintAltitude = 10000.0 + path_rate;
    g.NextConstraintDistance =
        (path_rate > 0.0 ? PlannedClimbGroundSpeed(g.AircraftAltitude, g.NextConstraintAltitude) : 600.0) / 60.0;
    g.VerticalSpeedFpm = vs;
    g.FrameCounter = 0;
    g.VnavAltitudeSet = 1;
    g.VnavLastVerticalSpeedCommand = g.VnavVerticalSpeedCommand = kNoCommand;
    g.VnavVerticalSpeedChangeSign = 0;
    CoupleVnavToAutopilot();
    return g.VnavVerticalSpeedCommand;
  }
  // A climb table from 300 kt true at sea level to 450 at 40000 ft.
  static void ClimbTables() {
    model::State& m = model::model_state;
    m.ClimbPerformanceTable[1] = {};
    m.ClimbPerformanceTable[1].tas = 300.0;
    m.ClimbPerformanceTable[2] = {};
    m.ClimbPerformanceTable[2].altitude = 40000.0;
    m.ClimbPerformanceTable[2].tas = 450.0;
    m.ClimbPerformanceCount = 2;
  }
  testing::FakeHost host;
};

TEST_F(VnavTest, ClimbRateFollowsThePathWithinTheClamps) {
  struct Case {
    double path, vs;
    std::int32_t command;
  };
  const Case cases[] = {
      {2150, 2000, 2100},  // up to 200 above the present rate: whole hundreds
      {2199, 2000, 2100},
      {2200, 2000, 2200},
      {2201, 2000, 2100},  // further above: the present rate + 100
      {4000, 2000, 2100},
      {1890, 2000, 1800},
      {1000, 2000, 1500},  // clamped to MinVnavClimbRate
      {-500, 2000, 1500},
      {3100, 3000, 2500},  // clamped to MaxVnavClimbRate
      {3300, 3000, 2500},
  };
  for (const Case& c : cases) EXPECT_EQ(ClimbCommand(c.path, c.vs), c.command) << c.path << " at " << c.vs;
  // Slow and not accelerating with a speed target above the minimum: the
  // present rate, 100 less while slowing.
  State& g = guidance_state;
  g.SmoothedAirspeed = 184.9;  // MinVnavClimbIas + 5 = 185
  EXPECT_EQ(ClimbCommand(2500, 2050), 2000);
  g.TrendAverage = -0.01;
  EXPECT_EQ(ClimbCommand(2500, 2050), 1900);
  g.TrendAverage = 0.005;  // accelerating enough: the path again
  EXPECT_EQ(ClimbCommand(2150, 2050), 2100);
  g.TrendAverage = 0.0;
  g.ApAirspeedHoldVar = 180.0;  // the target is the minimum: the path
  EXPECT_EQ(ClimbCommand(2150, 2050), 2100);
  // A command stays while the path's rate is no more than 75 ft/min below
  // it: a rate about a whole hundred sent each side of it in turn.
  g.SmoothedAirspeed = 250.0;
  for (const auto& [path, last, command] : {std::tuple{1774.0, 1800, 1800}, std::tuple{1724.0, 1800, 1700},
                                           std::tuple{1899.0, 1800, 1800}, std::tuple{1901.0, 1800, 1900}}) {
    g.VnavVerticalSpeedCommand = last;
    g.VnavVerticalSpeedChangeSign = 0;
    g.VerticalSpeedFpm = last;
    g.NextConstraintAltitude = 10000.0 + path;
    g.NextConstraintDistance = PlannedClimbGroundSpeed(g.AircraftAltitude, g.NextConstraintAltitude) / 60.0;
    CoupleVnavToAutopilot();
    EXPECT_EQ(g.VnavVerticalSpeedCommand, command) << path;
  }
}

TEST_F(VnavTest, ClimbToAConstraintGoesAtThePlansRateAtLeast) {
  // The next constraint is a waypoint of the climb, not the TOC: its path
  // rate is followed down to the rate the predictions climb at, no lower.
  State& g = guidance_state;
  model::State& m = model::model_state;
  g.NextConstraintLat = 1.0;
  g.NextConstraintLon = 0.0;
  g.TocLatitude = 2.0;
  g.TocLongitude = 0.0;
  struct Case {
    std::int32_t climb_rate;
    double path, vs;
    std::int32_t command;
  };
  const Case cases[] = {
      {1600, 1000, 2000, 1600},  // far ahead: the plan's 1,600, not the least 1,500
      {1600, -500, 1600, 1600},  // at its altitude: the autopilot holds it
      {1600, 1650, 1600, 1600},  // the plan's rate, exactly
      {1600, 1750, 1600, 1700},  // steeper: the path
      {1650, 1000, 2000, 1600},  // the plan's rate in the hundreds VNAV sends
      {2000, 1890, 2000, 2000},
      {2000, 2150, 2000, 2100},
      {2650, 1000, 2000, 2500},  // no faster than MaxVnavClimbRate
      {1200, 1000, 2000, 1500},  // no slower than MinVnavClimbRate
  };
  for (const Case& c : cases) {
    m.ClimbRate = c.climb_rate;
    EXPECT_EQ(ClimbCommand(c.path, c.vs), c.command) << c.climb_rate << ": " << c.path << " at " << c.vs;
  }
  // To the TOC the path itself, placed by the plan's climb: its least. A
  // TOC left on the constraint's own waypoint (no room for the climb beyond
  // it before the last leg) is the constraint's altitude, which the
  // predictions reach at the plan's rate and level at: the plan's rate at
  // least, as to any constraint of the climb.
  m.ClimbRate = 1600;
  g.TocLatitude = 1.0;
  flightplan::State& fp = flightplan::flightplan_state;
  struct Toc {
    const char* name;
    int flag, index;
    double latitude;
    std::int32_t command;
  };
  const Toc tocs[] = {
      {"the TOC ahead at the level", 0, 0, 1.0, 1500},
      {"the TOC on W1 without a constraint", 0, 1, 1.0, 1500},
      {"the TOC on W1's constraint", 1, 1, 1.0, 1600},
      {"the TOC on W1's constraint, typed", 3, 1, 1.0, 1600},
      {"the TOC 0.1 NM beyond W1's constraint", 1, 1, 1.0 + 0.1 / 60.0, 1500},
      {"the TOC on the last waypoint", 1, 3, 3.0, 1500},
  };
  for (const Toc& t : tocs) {
    fp.ActiveFlightPlan[1].constraint_flag = t.flag;
    fp.ActiveFlightPlan[3].constraint_flag = t.flag;
    g.TocWaypointIndex = t.index;
    g.TocLatitude = g.NextConstraintLat = t.latitude;
    EXPECT_EQ(ClimbCommand(1000, 2000), t.command) << t.name;
  }
}

TEST_F(VnavTest, ClimbSpeedProtectionAndTheFrameZeroRule) {
  State& g = guidance_state;
  g.SmoothedAirspeed = 154.9;  // below MinVnavIas 155
  EXPECT_EQ(ClimbCommand(2150, 2000), 0);
  EXPECT_EQ(g.VnavBelowMinSpeed, 1);
  g.SmoothedAirspeed = 165.0;  // still within MinVnavIas + 10
  EXPECT_EQ(ClimbCommand(2150, 2000), 0);
  g.SmoothedAirspeed = 165.1;
  EXPECT_EQ(ClimbCommand(2150, 2000), 2100);
  EXPECT_EQ(g.VnavBelowMinSpeed, 0);
  // Only passes of frame 0 send; the same command is not sent again.
  g.SmoothedAirspeed = 250.0;
  host.key_events.clear();
  g.FrameCounter = 5;
  g.VnavLastVerticalSpeedCommand = kNoCommand;
  CoupleVnavToAutopilot();
  EXPECT_TRUE(Sent(kEventVerticalSpeed).empty());
  g.FrameCounter = 0;
  CoupleVnavToAutopilot();
  CoupleVnavToAutopilot();
  ASSERT_EQ(Sent(kEventVerticalSpeed).size(), 1u);
  EXPECT_EQ(Sent(kEventVerticalSpeed)[0].second, 2100u);
  // No ground speed, or no distance: still a whole command within the clamps.
  g.GroundSpeedKnots = 0.0;
  g.VnavLastVerticalSpeedCommand = kNoCommand;
  CoupleVnavToAutopilot();
  EXPECT_EQ(g.VnavVerticalSpeedCommand, 2100);
  g.GroundSpeedKnots = 300.0;
  g.NextConstraintDistance = 0.0;
  g.NextConstraintAltitude = 5000.0;  // below, nowhere to go
  CoupleVnavToAutopilot();
  EXPECT_EQ(g.VnavVerticalSpeedCommand, 1500);
  EXPECT_TRUE(std::isfinite(g.VnavRequiredVerticalSpeed));
}

// A lower level entered in the cruise is stepped down to at the plan's
// descent rate, within VNAV's limits; within the capture band of the level,
// or at it, nothing is sent, whatever the climb sent last. Then, pass by
// pass, the step to the level.
TEST_F(VnavTest, AStepDownToALowerLevelInTheCruiseGoesAtThePlansRate) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  g.TocPassed = 1;
  g.TodPassed = 0;
  g.VnavAltitudeSet = 1;
  g.FrameCounter = 0;
  struct Case {
    const char* name;
    double altitude, plan_rate, max_rate;
    std::int32_t command;  // kNoCommand: nothing sent
  } const kCases[] = {
      {"far above", 28000.0, 2000.0, 3000.0, -2000},
      {"to the nearest hundred", 28000.0, 1849.0, 3000.0, -1800},
      {"no faster than VNAV's greatest", 28000.0, 3600.0, 3000.0, -3000},
      {"no rate in the plan", 28000.0, 0.0, 3000.0, -100},
      {"just outside the band", 20150.5, 2000.0, 3000.0, -2000},
      {"at the band's edge", 20150.0, 2000.0, 3000.0, kNoCommand},
      {"at the level", 20000.0, 2000.0, 3000.0, kNoCommand},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    g.AircraftAltitude = c.altitude;
    m.PlanDescentRate = c.plan_rate;
    m.MaxVnavDescRate = c.max_rate;
    g.VnavVerticalSpeedCommand = g.VnavLastVerticalSpeedCommand = 1000;  // the climb's last
    g.VnavVerticalSpeedChangeSign = 0;
    host.key_events.clear();
    CoupleVnavToAutopilot();
    if (c.command == kNoCommand) {
      EXPECT_TRUE(Sent(kEventVerticalSpeed).empty());
      EXPECT_EQ(g.VnavVerticalSpeedCommand, 1000);
    } else {
      ASSERT_EQ(Sent(kEventVerticalSpeed).size(), 1u);
      EXPECT_EQ(static_cast<std::int32_t>(Sent(kEventVerticalSpeed)[0].second), c.command);
      EXPECT_EQ(g.VnavVerticalSpeedCommand, c.command);
    }
  }
  // Down from 24,000 ft, once a second: one command, until the band.
  m.PlanDescentRate = 2000.0;
  m.MaxVnavDescRate = 3000.0;
  g.VnavVerticalSpeedCommand = g.VnavLastVerticalSpeedCommand = 1000;
  host.key_events.clear();
  for (double altitude = 24000.0; altitude >= 20000.0; altitude -= 2000.0 / 60.0) {
    g.AircraftAltitude = altitude;
    CoupleVnavToAutopilot();
    EXPECT_EQ(g.VnavVerticalSpeedCommand, altitude > 20150.0 ? -2000 : g.VnavVerticalSpeedCommand) << altitude;
  }
  EXPECT_EQ(Sent(kEventVerticalSpeed).size(), 1u);
}

// Above the descent restriction and faster than its speed, the path's rate
// is cut to the one that reaches its altitude as the aircraft has slowed to
// the speed at a knot a second: 550 ft above it at 280 kt, 40 s for 550 ft.
TEST_F(VnavTest, TheDescentAboveTheRestrictionLeavesTimeToSlow) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  m.DescSpdRest = 240.0;
  m.DescAltRest = 10000.0;
  m.MaxVnavDescRate = 3000.0;
  g.TocPassed = g.TodPassed = g.VnavAltitudeSet = 1;
  g.GroundSpeedKnots = 600.0;
  g.FrameCounter = 7;
  g.DistanceTodToConstraint = 40.0;
  g.DescentPathAltitudeSpan = g.DistanceSinceTod = g.NextConstraintDistance = 20.0;
  struct Case {
    double altitude, airspeed;
    std::int32_t command;
  };
  const Case cases[] = {{10550, 280, -900},  {10100, 280, -200},   {12000, 280, -3000}, {11999, 280, -3000},
                        {10550, 245, -3000}, {10550, 250, -3000},  {10550, 260, -1700}, {9950, 280, -3000},
                        {10000, 280, -3000}, {10001, 280, -100}};
  for (const Case& c : cases) {
    // On a path of 3,000 ft/min through the aircraft.
    g.NextConstraintAltitude = c.altitude - 6000.0;
    g.TodAltitude = c.altitude + 6000.0;
    g.VnavPathAltitude = g.AircraftAltitude = c.altitude;
    g.SmoothedAirspeed = c.airspeed;
    g.VnavVerticalSpeedCommand = g.VnavLastVerticalSpeedCommand = kNoCommand;
    g.VnavVerticalSpeedChangeSign = 0;
    CoupleVnavToAutopilot();
    EXPECT_EQ(g.VnavVerticalSpeedCommand, c.command) << c.altitude << " " << c.airspeed;
  }
}

TEST_F(VnavTest, DescentRateIsNegativeClampedAndSentOnAnyPass) {
  State& g = guidance_state;
  g.TocPassed = 1;
  g.TodPassed = 1;
  g.VnavAltitudeSet = 1;
  g.GroundSpeedKnots = 600.0;  // ten miles a minute
  g.FrameCounter = 7;
  // Halfway down a path of 40 NM to the constraint at 0 ft, two minutes away.
  g.DistanceTodToConstraint = 40.0;
  g.DescentPathAltitudeSpan = g.DistanceSinceTod = g.NextConstraintDistance = 20.0;
  g.NextConstraintAltitude = 0.0;
  struct Case {
    double path_rate, above, smoothed;  // ft/min of the path, ft above it, kt
    std::int32_t last, command;
  };
  const Case cases[] = {
      // On the path, its own rate to the nearest hundred, however shallow:
      // a least rate of 1500 took the aircraft below it.
      {2149, 0, 250, kNoCommand, -2100}, {2150, 0, 250, kNoCommand, -2200}, {1000, 0, 250, kNoCommand, -1000},
      {3600, 0, 250, kNoCommand, -3000}, {2150, 0, 154, kNoCommand, 0},
      // Off the path, its deviation taken back over a minute; below it by
      // more than that, the shallowest descent until the path comes down to
      // the aircraft: never level with the target below.
      {2000, 300, 250, kNoCommand, -2300}, {2000, -500, 250, kNoCommand, -1500}, {2000, -3000, 250, kNoCommand, -100},
      // A command stays while the rate is within 75 ft/min of it.
      {2170, 0, 250, -2100, -2100}, {2030, 0, 250, -2100, -2100}, {2180, 0, 250, -2100, -2200},
      {2020, 0, 250, -2100, -2000}};
  for (const Case& c : cases) {
    g.TodAltitude = 4.0 * c.path_rate;
    g.VnavPathAltitude = 2.0 * c.path_rate;
    g.AircraftAltitude = g.VnavPathAltitude + c.above;
    g.SmoothedAirspeed = c.smoothed;
    g.VnavVerticalSpeedCommand = g.VnavLastVerticalSpeedCommand = c.last;
    g.VnavVerticalSpeedChangeSign = 0;
    const std::size_t sent = host.key_events.size();
    CoupleVnavToAutopilot();
    EXPECT_EQ(g.VnavVerticalSpeedCommand, c.command) << c.path_rate << " " << c.above;
    EXPECT_EQ(g.VnavLastVerticalSpeedCommand, c.command);
    if (c.command == c.last) {
      EXPECT_EQ(host.key_events.size(), sent) << c.path_rate;
    } else {
      EXPECT_EQ(static_cast<std::int32_t>(host.key_events.back().second), c.command) << c.path_rate;
    }
  }
  // A command that turns back within five seconds of the last change keeps
  // the last one; a ramp goes on at once, and after five seconds the turn.
  g.SmoothedAirspeed = 250.0;
  g.VnavVerticalSpeedChangeSign = 0;
  for (const auto& [tick, path_rate, command] :
       {std::tuple{100.0, 2000.0, -2000}, std::tuple{101.0, 2200.0, -2200}, std::tuple{102.0, 2400.0, -2400},
        std::tuple{103.0, 2200.0, -2400}, std::tuple{191.0, 2200.0, -2400}, std::tuple{192.0, 2200.0, -2200}}) {
    g.LastTick = tick;
    g.TodAltitude = 4.0 * path_rate;
    g.AircraftAltitude = g.VnavPathAltitude = 2.0 * path_rate;
    CoupleVnavToAutopilot();
    EXPECT_EQ(g.VnavVerticalSpeedCommand, command) << tick;
  }
  // A descent the speed protection levelled goes on at once as the speed
  // comes back, though its last change was a shallowing: from level to
  // down is a new phase, never held back at 0.
  for (const auto& [tick, path_rate, smoothed, command] :
       {std::tuple{300.0, 2000.0, 250.0, -2000}, std::tuple{301.0, 1800.0, 250.0, -1800},
        std::tuple{302.0, 1800.0, 150.0, 0}, std::tuple{303.0, 1800.0, 250.0, -1800}}) {
    g.LastTick = tick;
    g.SmoothedAirspeed = smoothed;
    g.TodAltitude = 4.0 * path_rate;
    g.AircraftAltitude = g.VnavPathAltitude = 2.0 * path_rate;
    CoupleVnavToAutopilot();
    EXPECT_EQ(g.VnavVerticalSpeedCommand, command) << tick;
  }
  // Back to the one before the last once within ten seconds, not twice:
  // -600, -500, -600, -700 and then -600 again only ten seconds after the
  // first return (five after the last change, as a turn back may).
  g.VnavVerticalSpeedCommand = -600;
  g.VnavVerticalSpeedChangeSign = 1;
  g.VnavVerticalSpeedChangeTick = 1000.0;
  for (const auto& [tick, path_rate, command] :
       {std::tuple{1050.0, 500.0, -500}, std::tuple{1140.0, 600.0, -600}, std::tuple{1200.0, 700.0, -700},
        std::tuple{1290.0, 600.0, -700}, std::tuple{1320.0, 600.0, -600}}) {
    g.LastTick = tick;
    g.TodAltitude = 4.0 * path_rate;
    g.AircraftAltitude = g.VnavPathAltitude = 2.0 * path_rate;
    CoupleVnavToAutopilot();
    EXPECT_EQ(g.VnavVerticalSpeedCommand, command) << tick;
  }
  g.TodAltitude = 4.0 * 2200.0;
  g.AircraftAltitude = g.VnavPathAltitude = 2.0 * 2200.0;
  // A climb just stepped up turns into the descent at once: a new phase.
  g.VnavVerticalSpeedCommand = 1500;
  g.VnavVerticalSpeedChangeSign = 1;
  g.VnavVerticalSpeedChangeTick = g.LastTick;
  CoupleVnavToAutopilot();
  EXPECT_EQ(g.VnavVerticalSpeedCommand, -2200);
  // Nothing to fly down to: no command. VNAV off: the rate for the pages only.
  std::size_t sent = host.key_events.size();
  g.SmoothedAirspeed = 250.0;
  g.NextConstraintAltitude = g.AircraftAltitude + 500.0;
  CoupleVnavToAutopilot();
  EXPECT_EQ(host.key_events.size(), sent);
  g.VnavEngaged = 0;
  g.NextConstraintAltitude = 0.0;
  g.TodAltitude = 12000.0;
  g.AircraftAltitude = g.VnavPathAltitude = 6000.0;
  CoupleVnavToAutopilot();
  EXPECT_EQ(host.key_events.size(), sent);
  EXPECT_NEAR(g.VnavRequiredVerticalSpeed, 3000.0, 1e-9);
  g.GroundSpeedKnots = 0.0;  // no time to fly: finite
  CoupleVnavToAutopilot();
  EXPECT_TRUE(std::isfinite(g.VnavRequiredVerticalSpeed));
}

TEST_F(VnavTest, TopOfClimbAt149FeetBelowNotAt150) {
  State& g = guidance_state;
  fms::fms_state.FmsPage = 34;
  model::model_state.CruiseMach = 0.57;  // 56.99999 hundredths in binary: sent as 57
  g.ApAirspeedHold = 1.0;
  g.AircraftAltitude = 19850.0;
  RunVerticalTransitions();
  EXPECT_EQ(g.TocPassed, 0);
  g.AircraftAltitude = 19851.0;
  RunVerticalTransitions();
  EXPECT_EQ(g.TocPassed, 1);
  EXPECT_EQ(g.TodAltitude, 20000.0);
  EXPECT_EQ(fms::fms_state.FmsPage, 35);
  // Mach cruise: airspeed hold off, Mach hold on, the Mach on the next
  // pass; the second finds the autopilot holding it.
  EXPECT_EQ(host.key_events, (Events{{kEventAirspeedHoldOff, 0}, {kEventMachHoldOn, 0}}));
  RunDeferredCommandsAndReadbacks();
  RunDeferredCommandsAndReadbacks();
  RunDeferredCommandsAndReadbacks();
  EXPECT_EQ(Sent(kEventMach), (Events{{kEventMach, 57}}));
  EXPECT_EQ(g.VnavLastSetMach, 57);
  // Engaged again (a step climb), the hold takes the aircraft's Mach and
  // the cruise Mach goes out on the next pass; an autopilot whose Mach hold
  // engages a pass late, taking the aircraft's M0.55 over it, is sent it
  // again on the second.
  host.key_events.clear();
  g.TocPassed = 0;
  g.AircraftAltitude = 19851.0;
  g.ApMachHold = 0.0;
  g.ApAirspeedHold = 1.0;
  RunVerticalTransitions();
  RunDeferredCommandsAndReadbacks();
  host.tokens[118] = 0.55;
  RunDeferredCommandsAndReadbacks();
  RunDeferredCommandsAndReadbacks();
  EXPECT_EQ(Sent(kEventMach), (Events{{kEventMach, 57}, {kEventMach, 57}}));
  // Without Mach cruise: the cruise speed.
  ResetModuleState();
  host.Bind();
  host.key_events.clear();
  model::model_state.CruiseAlt = 20000;
  model::model_state.VnavSetMachCruiseSpd = 0;
  model::model_state.CruiseSpeed = 280;
  flightplan::flightplan_state.RouteState = 3;
  guidance_state.VnavEngaged = 1;
  guidance_state.TodLatitude = 50.0;
  guidance_state.AircraftAltitude = 19900.0;
  RunVerticalTransitions();
  EXPECT_EQ(host.key_events, (Events{{kEventAirspeed, 280}}));
  EXPECT_EQ(guidance_state.VnavLastSetSpeed, 280);
}

TEST_F(VnavTest, TopOfDescentWhereTheAircraftComesToIt) {
  State& g = guidance_state;
  g.TocPassed = 1;
  g.AircraftAltitude = 20000.0;
  fms::fms_state.FmsPage = 35;
  flightplan::flightplan_state.ActiveFlightPlan[3].altitude_constraint = 500.0;
  // A TOD 1.5 NM ahead is not reached yet (it was, and every page had read
  // the distance to it 1.5 NM long); as the distance to go comes below the
  // TOD's, it is.
  g.TodLatitude = 0.025;
  g.DestinationDistance = 101.5;
  RunVerticalTransitions();
  EXPECT_EQ(g.TodPassed, 0);
  g.DestinationDistance = 99.999;
  g.ApMachHold = 1.0;
  RunVerticalTransitions();
  EXPECT_EQ(g.TodPassed, 1);
  EXPECT_EQ(g.VerticalProfileValid, 1);
  EXPECT_EQ(fms::fms_state.FmsPage, 36);
  // The airport at the end is crossed 200 ft above it from here on, as at
  // every waypoint after the top of descent.
  EXPECT_EQ(g.NextConstraintAltitude, 700.0);
  EXPECT_EQ(g.TodReferenceIndex, 1);
  // Passed by the distance to go short of the point it was placed at, the
  // descent and its path start here, at W0: 180 NM to the constraint, not
  // the 178.5 from the point.
  EXPECT_NEAR(g.TodLatitude, 0.0, 1e-9);
  EXPECT_NEAR(g.DistanceTodToConstraint, 180.0, 1e-6);
  // The altitude goes down to the constraint; Mach hold gives way to
  // airspeed hold and the descent speed follows a pass later.
  EXPECT_EQ(host.key_events,
            (Events{{kEventAltitude, 700}, {kEventMachHoldOff, 0}, {kEventAirspeedHoldOn, 0}}));
  EXPECT_EQ(g.VnavAltitudeSet, 1);
  RunDeferredCommandsAndReadbacks();
  EXPECT_EQ(host.key_events.back(), std::make_pair(kEventAirspeed, 220u));
  EXPECT_EQ(g.VnavLastSetSpeed, 220);
}

// The autopilot's speed mode under VNAV, with tables whose true airspeed
// runs from 300 kt at sea level to 450 kt at 40000 ft (every table alike;
// at -30 C, M0.617 at 20000 ft, M0.709 at 35000), climb and descent at 280
// kt, whose Mach is 0.616 at 20000 ft and 0.779 at 35000. A mode changes on
// one pass and its value follows on the next; a mode and value the
// autopilot holds already are not sent again.
TEST_F(VnavTest, TheSpeedModeFollowsThePhaseAndTheCrossover) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  for (auto* table : {&m.ClimbPerformanceTable, &m.CruisePerformanceTable, &m.DescentPerformanceTable}) {
    (*table)[1].altitude = 0.0;
    (*table)[1].tas = 300.0;
    (*table)[2].altitude = 40000.0;
    (*table)[2].tas = 450.0;
  }
  m.ClimbPerformanceCount = m.CruisePerformanceCount = m.DescentPerformanceCount = 2;
  struct Case {
    const char* what;
    int toc, tod;
    double altitude, wanted_speed, wanted_mach, climb_mach;
    bool in_mach;
    Events first, next;
  };
  const Events to_airspeed{{kEventMachHoldOff, 0}, {kEventAirspeedHoldOn, 0}};
  const Events to_mach{{kEventAirspeedHoldOff, 0}, {kEventMachHoldOn, 0}};
  const Case cases[] = {
      {"a step climb from cruise in Mach hold", 0, 0, 20000, 280, 0, 0, true, to_airspeed, {{kEventAirspeed, 280}}},
      {"climb above the crossover", 0, 0, 35000, 280, 0, 0, false, to_mach, {{kEventMach, 70}}},
      {"climb at the pilot's Mach", 0, 0, 35000, 280, 0, 0.65, false, to_mach, {{kEventMach, 65}}},
      {"climb below the crossover", 0, 0, 20000, 280, 0, 0, false, {}, {}},
      // A Mach asked for is flown as it is: the plan works its own out no
      // higher than the tables, and the pilot's is the pilot's.
      {"cruise Mach above the tables", 1, 0, 35000, 0, 0.78, 0, true, {{kEventMach, 78}}, {}},
      {"cruise Mach within them", 1, 0, 35000, 0, 0.68, 0, true, {{kEventMach, 68}}, {}},
      {"descent above the crossover", 1, 1, 35000, 280, 0, 0, true, {{kEventMach, 70}}, {}},
      {"descent below it", 1, 1, 20000, 280, 0, 0, true, to_airspeed, {{kEventAirspeed, 280}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.key_events.clear();
    g.TocPassed = c.toc;
    g.TodPassed = c.tod;
    g.AircraftAltitude = c.altitude;
    g.VnavWantedSpeed = c.wanted_speed;
    g.VnavWantedMach = c.wanted_mach;
    m.ClimbMach = c.climb_mach;
    g.ApMachHold = c.in_mach ? 1.0 : 0.0;
    g.ApAirspeedHold = c.in_mach ? 0.0 : 1.0;
    g.VnavLastSetMach = kNoCommand;
    g.SpeedModeValueOwed = g.SpeedModeCrossed = 0;
    KeepSpeedModeForPhase();
    EXPECT_EQ(host.key_events, c.first);
    host.key_events.clear();
    KeepSpeedModeForPhase();
    EXPECT_EQ(host.key_events, c.next);
    host.key_events.clear();
    KeepSpeedModeForPhase();
    EXPECT_EQ(host.key_events, Events{});
  }
  // The climb takes Mach once 280 kt asks for half a hundredth more than
  // the tables (21700 ft), and keeps it until 280 kt asks for less than
  // them (20250 ft).
  g.TocPassed = 0;
  g.TodPassed = 0;
  m.ClimbMach = 0.0;
  g.VnavWantedSpeed = 280.0;
  g.VnavWantedMach = 0.0;
  g.ApMachHold = 0.0;
  for (const auto& [altitude, mach] : {std::pair{21500.0, 0.0}, std::pair{21900.0, 1.0}, std::pair{21000.0, 1.0},
                                       std::pair{20400.0, 1.0}, std::pair{20100.0, 0.0}, std::pair{21500.0, 0.0}}) {
    g.AircraftAltitude = altitude;
    KeepSpeedModeForPhase();
    EXPECT_EQ(g.ApMachHold, mach) << altitude;
  }
  // The top of descent from FL400 keeps Mach hold: 280 kt would be M0.86.
  host.key_events.clear();
  m.DescentSpeed = 280;
  flightplan::flightplan_state.ActiveFlightPlan[3].altitude_constraint = 500.0;
  g.TocPassed = 1;
  g.AircraftAltitude = 40000.0;
  g.ApMachHold = 1.0;
  g.ApAirspeedHold = 0.0;
  // At the TOD along the path: the distance to go down to the TOD's.
  g.DistanceTodToLastWaypoint = 100.0;
  g.DestinationDistance = 99.0;
  RunVerticalTransitions();
  ASSERT_EQ(g.TodPassed, 1);
  EXPECT_EQ(host.key_events, (Events{{kEventAltitude, 700}}));
  host.key_events.clear();
  KeepSpeedModeForPhase();
  EXPECT_EQ(host.key_events, (Events{{kEventMach, 74}}));
}

// A last waypoint the navigation data does not know as an airport carries
// no altitude (the -999 of "no value"): the descent to it aims at 0 ft, and
// the autopilot is never sent -999 ft.
TEST_F(VnavTest, ADescentToAWaypointWithoutAnAltitudeAimsAtNoMinus999) {
  State& g = guidance_state;
  flightplan::flightplan_state.ActiveFlightPlan[3].type = "WPT";
  flightplan::flightplan_state.ActiveFlightPlan[3].altitude_constraint = model::kNoValue;
  model::model_state.VnavSetAlts = 1;
  g.TocPassed = 1;
  g.AircraftAltitude = 20000.0;
  g.DestinationDistance = 99.0;  // at the TOD along the path
  RunVerticalTransitions();
  ASSERT_EQ(g.TodPassed, 1);
  EXPECT_EQ(g.NextConstraintAltitude, 0.0);
  for (const auto& e : Sent(kEventAltitude)) EXPECT_EQ(static_cast<std::int32_t>(e.second), 0);
}

// VNAV engaged again in the descent to the airport (after the pilot's own
// altitude in a hold took it off) aims at the runway's crossing height, once
// however often it is engaged: the airport's own 31 ft went out first.
TEST_F(VnavTest, EngagedAgainInTheDescentVnavAimsAtTheCrossingHeightOnce) {
  State& g = guidance_state;
  flightplan::flightplan_state.ActiveFlightPlan[3].altitude_constraint = 31.0;
  model::model_state.VnavSetAlts = 1;
  g.TocPassed = g.TodPassed = 1;
  g.AircraftAltitude = 8000.0;
  g.NextConstraintAltitude = 31.0;  // as the airport's entry gives it
  for (int engaged = 0; engaged < 3; ++engaged) {
    SCOPED_TRACE(engaged);
    g.VnavEngaged = 0;
    ToggleVnav();
    host.key_events.clear();
    CoupleVnavToAutopilot();
    EXPECT_EQ(Sent(kEventAltitude), (Events{{kEventAltitude, 231}}));
  }
}

// VNAV engaged after LNAV passed a constrained waypoint while it was off (a
// fix on the runway, passed on the take-off roll) flies to the next
// constraint ahead, not back to that one; a constraint held until the
// aircraft is abeam it, or the active waypoint's own, stays the target. In
// the climb and in the descent, west of Greenwich and south of the equator.
TEST_F(VnavTest, EngagedPastAConstraintPassedWithLnavOffVnavFliesToTheNextAhead) {
  struct Case {
    const char* name;
    int target, held;
    bool ahead_constrained;
    int expected;
  } const kCases[] = {
      {"passed, one ahead", 1, 0, true, 2},
      {"passed, none ahead: the destination", 1, 0, false, 3},
      {"passed but held until abeam", 1, 1, true, 1},
      {"the active waypoint's own", 2, 0, true, 2},
  };
  for (const bool climbing : {true, false}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(std::string(c.name) + (climbing ? ", climbing" : ", descending"));
      SetUp();
      State& g = guidance_state;
      flightplan::State& fp = flightplan::flightplan_state;
      for (int i = 0; i <= 3; ++i) {
        fp.ActiveFlightPlan[i].latitude = -10.0 - 0.5 * i;
        fp.ActiveFlightPlan[i].longitude = -40.0 - 0.5 * i;
      }
      model::FlightPlanWaypoint &passed = fp.ActiveFlightPlan[1], &ahead = fp.ActiveFlightPlan[2];
      passed.constraint_flag = 1;
      passed.altitude_constraint = climbing ? 3200.0 : 12000.0;
      if (c.ahead_constrained) {
        ahead.constraint_flag = 1;
        ahead.altitude_constraint = climbing ? 9000.0 : 6000.0;
      }
      fp.ActiveWaypointIndex = 2;
      g.TocPassed = g.TodPassed = climbing ? 0 : 1;
      g.AircraftAltitude = climbing ? 900.0 : 14000.0;
      g.NextConstraintIndex = c.target;
      g.HeldConstraintIndex = c.held;
      g.VnavEngaged = 0;
      ToggleVnav();
      EXPECT_EQ(g.VnavEngaged, 1);
      EXPECT_EQ(g.NextConstraintIndex, c.expected);
    }
  }
}

// With performance tables the climb is worked out a slice of altitude at a
// time: an altitude the simulator gives as no number, or beyond any level,
// still ends the walk, and the command stays within VNAV's rates.
TEST_F(VnavTest, TheClimbsSlicesEndWhateverTheAltitude) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  ClimbTables();
  g.TocPassed = 0;
  g.GroundSpeedKnots = 300.0;
  g.NextConstraintDistance = 50.0;
  for (double altitude : {-HUGE_VAL, std::nan(""), -1e12, 1e12}) {
    SCOPED_TRACE(altitude);
    g.AircraftAltitude = altitude;
    g.NextConstraintAltitude = 20000.0;
    g.FrameCounter = 0;
    g.VnavClimbGroundSpeed = 0.0;
    g.VnavLastVerticalSpeedCommand = g.VnavVerticalSpeedCommand = kNoCommand;
    CoupleVnavToAutopilot();
    ComputeTopOfClimb(0);
    EXPECT_GE(g.VnavVerticalSpeedCommand, 0);
    EXPECT_LE(g.VnavVerticalSpeedCommand, m.MaxVnavClimbRate);
  }
}

// Each autopilot target goes out when it changes, whichever road asks for
// it: the destination's constraint speed, re-armed on every pass within
// the switch distance (LNAV, off at the last waypoint, sequences it every
// pass), went out on every pass over the pilot's own speed. A hold engaged
// takes the aircraft's value, and VNAV engaged again owes every target.
TEST_F(VnavTest, EachTargetGoesOutWhenItChanges) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveWaypointIndex = 3;
  model::FlightPlanWaypoint& destination = fp.ActiveFlightPlan[3];
  destination.constraint_flag = 1;
  destination.altitude_constraint = 2000.0;
  destination.speed_constraint = 180.0;
  g.VerticalProfileValid = g.TocPassed = g.TodPassed = 1;
  g.AircraftAltitude = 3000.0;
  g.ActiveWaypointDistance = 2.0;
  m.VnavSetSpdOffOnManSpdChg = 0;
  m.DescAltRest = 0.0;  // no restriction speed before the constraint's
  for (int pass = 0; pass < 5; ++pass) {
    g.ConstraintSpeedArmed = 0;  // as the sequencing at the last waypoint leaves it
    RunSpeedRestrictionChecks();
    KeepSpeedModeForPhase();
  }
  EXPECT_EQ(Sent(kEventAirspeed), (Events{{kEventAirspeed, 180}}));
  for (int pass = 0; pass < 2; ++pass) {
    SendAltitudeCommand(2000.0);
    SendVerticalSpeed(-700);
    SendMachCommand(0.78);
  }
  EXPECT_EQ(Sent(kEventAltitude).size(), 1u);
  EXPECT_EQ(Sent(kEventVerticalSpeed).size(), 1u);
  EXPECT_EQ(Sent(kEventMach).size(), 1u);
  // A hold engaged takes the aircraft's value: what was sent is no longer
  // held, and goes out again; a hold that kept it is not sent it twice.
  const struct {
    double held_airspeed, held_mach;
  } kHolds[] = {{250.0, 0.74}, {180.0, 0.78}};
  for (const auto& h : kHolds) {
    host.tokens[61] = h.held_airspeed;
    host.tokens[64] = h.held_mach;
    EngageAirspeedHold();
    EngageMachHold();
    ForgetSentSpeedsNotHeld();
    SendAirspeedCommand(180.0);
    SendMachCommand(0.78);
    EXPECT_EQ(Sent(kEventAirspeed).size(), 2u) << h.held_airspeed;
    EXPECT_EQ(Sent(kEventMach).size(), 2u) << h.held_mach;
  }
  ToggleVnav();
  ToggleVnav();
  SendAltitudeCommand(2000.0);
  SendVerticalSpeed(-700);
  EXPECT_EQ(Sent(kEventAltitude).size(), 2u);
  EXPECT_EQ(Sent(kEventVerticalSpeed).size(), 2u);
}

// A direct-to in the descent past the constraint VNAV flies to (the route
// rebuilt from the new active waypoint on): the next constraint's altitude
// goes out. The autopilot kept the old one, and the aircraft levelled there
// for the rest of the flight. Rebuilt again unchanged, nothing more is sent.
TEST_F(VnavTest, ARouteRebuiltInTheDescentSendsItsNewTarget) {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveFlightPlan[1].constraint_flag = fp.ActiveFlightPlan[2].constraint_flag = 1;
  fp.ActiveFlightPlan[1].altitude_constraint = 5000.0;
  fp.ActiveFlightPlan[2].altitude_constraint = 2000.0;
  g.VerticalProfileValid = g.TocPassed = g.TodPassed = 1;
  g.AircraftAltitude = 6000.0;
  flightplan::RebuildVerticalPlan();
  CoupleVnavToAutopilot();
  fp.ActiveWaypointIndex = 2;
  for (int rebuilt = 0; rebuilt < 2; ++rebuilt) {
    flightplan::RebuildVerticalPlan();
    CoupleVnavToAutopilot();
  }
  EXPECT_EQ(g.TodPassed, 1);
  EXPECT_EQ(Sent(kEventAltitude), (Events{{kEventAltitude, 5000}, {kEventAltitude, 2000}}));
}

// A direct-to in the climb past the constraint VNAV flies to: the route
// moved since the plan, which is made again, and its new target (the level)
// goes out; the autopilot kept the constraint's altitude, and the aircraft
// stayed level there until the descent.
TEST_F(VnavTest, ARouteMovedInTheClimbSendsItsNewTarget) {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  model::State& m = model::model_state;
  m.VnavSetAlts = 1;
  m.ClimbRate = m.DescentRate = 2000;
  m.ClimbTas = m.DescentTas = 360.0;
  fp.ActiveFlightPlan[1].constraint_flag = 1;
  fp.ActiveFlightPlan[1].altitude_constraint = 8000.0;
  g.VerticalProfileValid = 1;
  g.TocPassed = g.TodPassed = 0;
  host.tokens[71] = 0.5 * 10001750.0 / 90.0;  // 0.5 N, on the way to W1
  host.tokens[74] = 5000.0;
  host.tokens[61] = 250.0;
  host.tokens[551] = 300.0 / 0.592484;
  g.AircraftAltitude = 5000.0;
  g.PlaneLatitude = 0.5;
  flightplan::RebuildVerticalPlan();
  Pass();
  EXPECT_EQ(Sent(kEventAltitude), (Events{{kEventAltitude, 8000}}));
  fp.ActiveWaypointIndex = 2;  // direct to W2
  g.ActiveWaypointLat = 2.0;
  flightplan::ActiveRouteChanged();
  Pass();
  EXPECT_EQ(Sent(kEventAltitude), (Events{{kEventAltitude, 8000}, {kEventAltitude, 20000}}));
}

// The climb's restriction below its altitude; where the climb turns into
// the descent below the descent restriction's altitude (a level no higher
// than that altitude, or VNAV flying down to a target below the aircraft),
// the slower of the two, so that the descent begins at its own speed. Each
// boundary exactly: the level at the altitude counts, the aircraft at it
// does not, a target 100 ft below does not.
TEST_F(VnavTest, AClimbTurningIntoTheDescentKeepsTheDescentRestriction) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  m.ClbSpdRest = 250.0;
  m.ClbAltRest = 10000.0;
  m.DescSpdRest = 240.0;
  m.DescAltRest = 11000.0;
  const struct {
    std::int32_t level;
    double altitude, target;
    bool engaged;
    double limit;
  } kCases[] = {
      {20000, 9000.0, 20000.0, true, 250.0},     // climbing on to a high level
      {20000, 10500.0, 20000.0, true, HUGE_VAL},  // above the climb's restriction
      {11000, 9000.0, 11000.0, true, 240.0},     // a level at the descent's altitude
      {11000, 10500.0, 11000.0, true, 240.0},
      {11100, 10500.0, 11100.0, true, HUGE_VAL},
      {11000, 11000.0, 11000.0, true, HUGE_VAL},  // at the altitude: not below it
      {20000, 9000.0, 3700.0, true, 240.0},      // flying down to a constraint
      {20000, 10500.0, 3700.0, true, 240.0},
      {20000, 9000.0, 8900.0, true, 250.0},      // 100 ft below: levelling off
      {20000, 9000.0, 8899.0, true, 240.0},
      {20000, 9000.0, 3700.0, false, 250.0},     // VNAV off flies nothing down
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << c.level << " " << c.altitude << " " << c.target << " " << c.engaged);
    m.CruiseAlt = c.level;
    g.AircraftAltitude = c.altitude;
    g.NextConstraintAltitude = c.target;
    g.VnavEngaged = c.engaged ? 1 : 0;
    EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kClimb, c.altitude), c.limit);
  }
  // Descending and level the restrictions are as they were.
  g.NextConstraintAltitude = 3700.0;
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kDescent, 10500.0), 240.0);
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kCruise, 9000.0), 240.0);
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kCruise, 10500.0), 240.0);
  // Level or descending at the descent restriction's altitude: its speed,
  // the descent going below it at once; 50 ft above it no longer.
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kCruise, 11000.0), 240.0);
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kCruise, 11049.0), 240.0);
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kCruise, 11050.0), HUGE_VAL);
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kDescent, 11000.0), 240.0);
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kDescent, 11050.0), HUGE_VAL);
}

// Climbing or level just above the descent restriction's altitude (less
// than 1,500 ft), the top of descent ahead within 10 NM: the descent's
// speed, slowed to before the descent. A short flight climbed on to 300 kt
// 941 ft above the altitude, turned down at once, and went below it at
// 253 kt. Far from the top of descent, above the band, or with the top of
// descent not worked out (0) or passed, as before.
// A waypoint's speed holds until the aircraft is abeam it, though LNAV
// passed it its switch distance before: the top of descent's Mach, sent
// just after, crossed a 230-kt fix at 278 kt. Northbound and southbound
// across the equator; the edge is the abeam point itself; once let go it
// stays so, though the aircraft's place falls back in a turn.
TEST_F(VnavTest, AWaypointsSpeedHoldsUntilTheAircraftIsAbeamIt) {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  model::State& m = model::model_state;
  struct Case {
    const char* what;
    int active, flag;
    double speed, plane;  // plane: degrees along the route from W0
    double limit;
  } const cases[] = {
      {"passed, 6 NM short of it", 2, 1, 230.0, 0.9, 230.0},
      {"passed, just short of it", 2, 1, 230.0, 0.999, 230.0},
      {"abeam", 2, 1, 230.0, 1.0, HUGE_VAL},
      {"beyond", 2, 1, 230.0, 1.1, HUGE_VAL},
      {"back short of it, its place worked out again in the turn", 2, 1, 230.0, 0.95, HUGE_VAL},
      {"a procedure's speed alone", 2, 2, 230.0, 0.9, HUGE_VAL},
      {"no speed", 2, 1, model::kNoValue, 0.9, HUGE_VAL},
      {"not passed yet: the waypoint before it has none", 1, 1, 230.0, 0.9, HUGE_VAL},
  };
  for (const double way : {1.0, -1.0}) {
    g.SpeedLetGoLatitude = g.SpeedLetGoLongitude = NAN;
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (way > 0 ? ", north" : ", south"));
      for (int i = 0; i <= 3; ++i) fp.ActiveFlightPlan[i].latitude = way * i;
      fp.ActiveRouteEdits += 1;
      fp.ActiveWaypointIndex = c.active;
      fp.ActiveFlightPlan[1].constraint_flag = c.flag;
      fp.ActiveFlightPlan[1].altitude_constraint = 26000.0;
      fp.ActiveFlightPlan[1].speed_constraint = c.speed;
      g.PlaneLatitude = way * c.plane;
      g.PlaneLongitude = 0.0;
      for (const auto phase :
           {model::PerformanceSegment::kClimb, model::PerformanceSegment::kCruise, model::PerformanceSegment::kDescent})
        EXPECT_EQ(RestrictionSpeedLimit(phase, 26300.0), c.limit);
    }
  }
  // Held as an airspeed where the descent's Mach would be sent.
  g.SpeedLetGoLatitude = g.SpeedLetGoLongitude = NAN;
  fp.ActiveWaypointIndex = 2;
  fp.ActiveFlightPlan[1].constraint_flag = 1;
  fp.ActiveFlightPlan[1].speed_constraint = 230.0;
  g.PlaneLatitude = -0.95;
  m.VnavSetSpd = 1;
  g.TocPassed = g.TodPassed = 1;
  g.AircraftAltitude = 26300.0;
  g.VnavWantedMach = 0.72;
  g.VnavWantedSpeed = 0.0;
  host.key_events.clear();
  KeepSpeedModeForPhase();
  EXPECT_EQ(host.key_events, (Events{{kEventAirspeed, 230}}));
  EXPECT_FALSE(g.ApMachHold > 0.0);
}

TEST_F(VnavTest, TheTopOfDescentNearJustAboveTheDescentRestrictionSlows) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  m.ClbSpdRest = 250.0;
  m.ClbAltRest = 10000.0;
  m.DescSpdRest = 240.0;
  m.DescAltRest = 10000.0;
  m.CruiseAlt = 11000;
  g.VnavEngaged = 1;
  g.NextConstraintAltitude = 11000.0;
  const struct {
    model::PerformanceSegment phase;
    double altitude, tod_ahead;
    std::int32_t near_before;  // the top of descent came near already
    double limit;
  } kCases[] = {
      {model::PerformanceSegment::kClimb, 10900.0, 3.0, 0, 240.0},
      {model::PerformanceSegment::kClimb, 10900.0, 9.99, 0, 240.0},
      {model::PerformanceSegment::kClimb, 10900.0, 10.0, 0, HUGE_VAL},  // not near yet
      {model::PerformanceSegment::kClimb, 10900.0, 14.99, 1, 240.0},   // near before: still
      {model::PerformanceSegment::kClimb, 10900.0, 15.0, 1, HUGE_VAL},
      {model::PerformanceSegment::kClimb, 10900.0, 0.0, 0, HUGE_VAL},   // not worked out
      {model::PerformanceSegment::kClimb, 11499.0, 3.0, 0, 240.0},
      {model::PerformanceSegment::kClimb, 11500.0, 3.0, 0, HUGE_VAL},   // room to slow
      {model::PerformanceSegment::kClimb, 9000.0, 3.0, 0, 240.0},       // below both: the slower
      {model::PerformanceSegment::kClimb, 9000.0, 30.0, 0, 250.0},
      {model::PerformanceSegment::kCruise, 11000.0, 3.0, 0, 240.0},
      {model::PerformanceSegment::kCruise, 11000.0, 30.0, 0, HUGE_VAL},
      {model::PerformanceSegment::kCruise, 11500.0, 3.0, 0, HUGE_VAL},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::Message() << static_cast<int>(c.phase) << " " << c.altitude << " " << c.tod_ahead << " "
                                      << c.near_before);
    g.AircraftAltitude = c.altitude;
    g.TopOfDescentNear = c.near_before;
    g.CruiseSideDistance = c.tod_ahead;
    EXPECT_EQ(RestrictionSpeedLimit(c.phase, c.altitude), c.limit);
  }
  // Climbing on to a higher level, past a top of descent placed short of
  // the top of climb: the climb's speed.
  m.CruiseAlt = 23000;
  g.AircraftAltitude = 10900.0;
  g.TopOfDescentNear = 0;
  g.CruiseSideDistance = 3.0;
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kClimb, 10900.0), HUGE_VAL);
  // Unless VNAV already flies down to a target below.
  g.NextConstraintAltitude = 6000.0;
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kClimb, 10900.0), 240.0);
  g.NextConstraintAltitude = 11000.0;
  m.CruiseAlt = 11000;
  // The top of descent passed: the descent's own rule.
  g.TopOfDescentNear = 1;
  g.TodPassed = 1;
  g.CruiseSideDistance = 3.0;
  EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kCruise, 11000.0), HUGE_VAL);
  EXPECT_EQ(g.TopOfDescentNear, 0);
  // Hovering about the distance, pass after pass, the limit holds.
  g.TodPassed = 0;
  for (const double ahead : {9.75, 10.0, 10.15, 9.99, 10.12, 10.0}) {
    g.CruiseSideDistance = ahead;
    EXPECT_EQ(RestrictionSpeedLimit(model::PerformanceSegment::kClimb, 10500.0), 240.0) << ahead;
  }
}

// One cruise level in force: a plan that lowers the level in the climb (a
// direct-to that shortens the route) sends the new level and the climb
// stops there; in cruise the new level goes out too; in the descent the
// level no longer moves.
TEST_F(VnavTest, TheLevelInForceIsSentWhenItMoves) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  m.CruiseAlt = 28000;
  g.AircraftAltitude = 5000.0;
  g.NextConstraintAltitude = 28000.0;
  for (const auto& [toc, tod, limit, sent] :
       {std::tuple{0, 0, 0, -1}, std::tuple{0, 0, 26000, 26000}, std::tuple{1, 0, 24000, 24000},
        std::tuple{1, 1, 22000, -1}}) {
    host.key_events.clear();
    g.TocPassed = toc;
    g.TodPassed = tod;
    g.CruiseAltitudeLimit = limit;
    g.VnavAltitudeSet = 1;
    RunVerticalTransitions();
    CoupleVnavToAutopilot();
    EXPECT_EQ(Sent(kEventAltitude), sent < 0 ? Events{} : (Events{{kEventAltitude, static_cast<std::uint32_t>(sent)}}))
        << limit;
    if (toc == 0) {
      EXPECT_EQ(g.NextConstraintAltitude, PlannedCruiseAltitude()) << limit;
    }
  }
}

// A constraint held past its sequencing is given up as soon as another
// target replaces it (an EXEC): taken up again, it kept its speed over the
// restriction's and the next target waited for an aircraft abeam a
// waypoint VNAV no longer flew to.
TEST_F(VnavTest, AHeldConstraintReplacedByAnExecIsGivenUp) {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  model::FlightPlanWaypoint& held = fp.ActiveFlightPlan[1];
  held.constraint_flag = 1;
  held.altitude_constraint = 9000.0;
  fp.ActiveWaypointIndex = 2;
  g.HeldConstraintIndex = 1;
  g.NextConstraintIndex = 1;
  g.NextConstraintLat = held.latitude;
  g.NextConstraintLon = held.longitude;
  g.TocPassed = g.TodPassed = 1;
  g.AircraftAltitude = 12000.0;
  RunVerticalTransitions();
  EXPECT_EQ(g.HeldConstraintIndex, 1);  // still its target, not yet abeam it
  g.NextConstraintIndex = 3;             // the EXEC's next constraint
  RunVerticalTransitions();
  EXPECT_EQ(g.HeldConstraintIndex, 0);
}

// A new plan (a level entered, EXEC) just after LNAV sequenced a
// constrained waypoint the aircraft has not reached keeps that constraint
// as VNAV's target while the plan keeps the waypoint where it was; a plan
// that put another waypoint there, or nothing held, looks on from the
// active waypoint. The route crosses 180 degrees south of the equator.
TEST_F(VnavTest, AHeldConstraintOutlivesANewPlanThatKeepsIt) {
  struct Case {
    const char* name;
    int held;
    double moved;  // degrees the held entry's longitude moves with the new plan
    int target, still_held;
  } const kCases[] = {
      {"kept through a new level", 1, 0.0, 1, 1},
      {"another waypoint there now", 1, 0.3, 3, 0},
      {"none held", 0, 0.0, 3, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    flightplan::State& fp = flightplan::flightplan_state;
    const double lons[] = {179.0, 179.6, -179.8, -179.2};
    for (int i = 0; i <= 3; ++i) {
      fp.ActiveFlightPlan[i].latitude = -50.0;
      fp.ActiveFlightPlan[i].longitude = lons[i];
    }
    model::FlightPlanWaypoint& w1 = fp.ActiveFlightPlan[1];
    w1.constraint_flag = 1;
    w1.altitude_constraint = 13400.0;
    fp.ActiveWaypointIndex = 2;
    g.ActiveWaypointLat = -50.0;
    g.ActiveWaypointLon = lons[2];
    g.PlaneLatitude = -50.0;
    g.PlaneLongitude = 179.55;  // short of W1, its switch distance passed
    g.AircraftAltitude = 13233.0;
    g.TocPassed = g.TodPassed = 0;
    g.HeldConstraintIndex = c.held;
    g.NextConstraintIndex = 1;
    g.NextConstraintLat = w1.latitude;
    g.NextConstraintLon = w1.longitude;
    g.NextConstraintAltitude = 13400.0;
    w1.longitude += c.moved;
    model::model_state.CruiseAlt = 23900;
    flightplan::RebuildVerticalPlan();
    RunVerticalTransitions();
    EXPECT_EQ(g.NextConstraintIndex, c.target);
    EXPECT_EQ(g.HeldConstraintIndex, c.still_held);
    if (c.still_held != 0) {
      EXPECT_EQ(g.NextConstraintAltitude, 13400.0);
    }
  }
}

// Routes west along a parallel with W1 the constraint: across 180 degrees
// south of the equator and west of Greenwich. The aircraft stands short of
// the top of descent, the top `past_tod` is just beyond it.
struct CruiseStepRoute {
  const char* name;
  double lat, lons[4], aircraft, tod, past_tod;
};
constexpr CruiseStepRoute kCruiseStepRoutes[] = {
    {"across 180 south", -50.0, {179.0, 179.6, -179.8, -179.2}, 179.55, 179.58, 179.585},
    {"west of zero", 12.0, {-3.0, -2.4, -1.8, -1.2}, -2.45, -2.42, -2.415},
};

// Cruising at `level` with W1's constraint `under` feet below it, the top
// of descent short of W1 and the aircraft short of the top, W1 sequenced
// (LNAV's switch distance) and held as the target where it is below.
void CruisingSequencedShortOfTheTop(const CruiseStepRoute& r, double level, double under) {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i <= 3; ++i) {
    fp.ActiveFlightPlan[i].latitude = r.lat;
    fp.ActiveFlightPlan[i].longitude = r.lons[i];
  }
  model::FlightPlanWaypoint& w1 = fp.ActiveFlightPlan[1];
  w1.constraint_flag = 1;
  w1.altitude_constraint = level - under;
  model::model_state.CruiseAlt = static_cast<std::int32_t>(level);
  g.LevelInForce = static_cast<std::int32_t>(level);
  g.AircraftAltitude = level;
  g.TocPassed = 1;
  g.TodPassed = 0;
  g.NextConstraintIndex = 1;
  g.NextConstraintAltitude = level;
  g.TodLatitude = g.NextConstraintLat = r.lat;
  g.TodLongitude = g.NextConstraintLon = r.tod;
  g.VnavAltitudeSet = 1;
  fp.ActiveWaypointIndex = 1;
  g.ActiveWaypointLat = r.lat;
  g.ActiveWaypointLon = r.lons[1];
  g.PlaneLatitude = r.lat;
  g.PlaneLongitude = r.aircraft;
  SelectNextConstraint();
}

// Cruising towards a top of descent placed short of a constrained waypoint
// below the level, the waypoint sequenced first (a wide turn's
// anticipation): the level is held, the constraint kept, until the aircraft
// comes to the top of descent, and the step down to the constraint begins
// there; a constraint at the level re-plans at once (no descent to it). Over 180 degrees south of the equator and west
// of Greenwich.
TEST_F(VnavTest, ACruiseConstraintSequencedBeforeItsTopOfDescentWaitsForIt) {
  // Feet under the level: the constraint is a crossing altitude, whatever
  // the pilot's entry qualified it with.
  const double kUnder[] = {0.0, 499.0, 500.0, 600.0};
  for (const CruiseStepRoute& r : kCruiseStepRoutes) {
    for (const double under : kUnder) {
      SCOPED_TRACE(std::string(r.name) + ", " + std::to_string(under) + " ft under");
      SetUp();
      State& g = guidance_state;
      flightplan::State& fp = flightplan::flightplan_state;
      const double level = 23800.0, constraint = level - under;
      CruisingSequencedShortOfTheTop(r, level, under);
      const bool below = under > 0.0;
      EXPECT_EQ(g.HeldConstraintIndex, below ? 1 : 0);
      EXPECT_EQ(g.NextConstraintIndex, below ? 1 : 3);
      EXPECT_EQ(model::model_state.CruiseAlt, static_cast<std::int32_t>(level));
      fp.ActiveWaypointIndex = 2;
      g.ActiveWaypointLon = r.lons[2];
      RunVerticalTransitions();
      EXPECT_TRUE(Sent(kEventAltitude).empty());
      EXPECT_EQ(g.HeldConstraintIndex, below ? 1 : 0);
      // At the top of descent, still short of the waypoint, the step down
      // to the constraint begins.
      g.PlaneLongitude = r.past_tod;
      UpdateVerticalProfile();
      EXPECT_EQ(g.TodPassed, 0);
      RunVerticalTransitions();
      EXPECT_EQ(g.HeldConstraintIndex, 0);
      EXPECT_EQ(g.NextConstraintIndex, 3);
      EXPECT_EQ(model::model_state.CruiseAlt, static_cast<std::int32_t>(constraint));
    }
  }
}

// The same, the step down due before the top: at the ground speed flown,
// the step at the rate VNAV steps at (2,000 ft/min), built up and eased by
// the capture, needs more than the way left to the point abeam the
// waypoint, and it begins there. 600 ft: 18 s at the rate, 2.5 s lost to
// its build-up at 400 ft/min a second, 3.1 s to the capture from 500 ft to
// go down to 150 ft (15 s times ln(500/150) where the rate takes 15 s);
// 300 ft lies inside the capture: 15 s times ln(300/150). A little slower,
// the constraint waits for its top. Over 180 degrees south of the equator
// and west of Greenwich.
TEST_F(VnavTest, ACruiseConstraintSequencedBeforeItsTopStepsDownWhereTheStepIsDue) {
  struct Step {
    double under, seconds;
  } const kSteps[] = {{600.0, 18.0 + 2.5 + 15.0 * (std::log(500.0 / 150.0) - 1.0)},
                      {300.0, 15.0 * std::log(2.0)}};
  for (const CruiseStepRoute& r : kCruiseStepRoutes) {
    for (const Step& step : kSteps) {
      for (const double share : {1.02, 0.98}) {
        SCOPED_TRACE(::testing::Message() << r.name << ", " << step.under << " ft under, " << share);
        SetUp();
        State& g = guidance_state;
        model::State& m = model::model_state;
        flightplan::State& fp = flightplan::flightplan_state;
        const double level = 23800.0, constraint = level - step.under;
        m.PlanDescentRate = 2000.0;
        m.MaxVnavDescRate = 3000.0;
        CruisingSequencedShortOfTheTop(r, level, step.under);
        ASSERT_EQ(g.HeldConstraintIndex, 1);
        fp.ActiveWaypointIndex = 2;
        g.ActiveWaypointLon = r.lons[2];
        // The aircraft's way onto its leg is flown alike at any speed.
        g.GroundSpeedKnots = 300.0;
        const double to_go = FlownPath::Current().Entry(1) - FlownPath::Current().Aircraft();
        ASSERT_GT(to_go, 1.0);
        g.GroundSpeedKnots = share * to_go / step.seconds * 3600.0;
        ASSERT_NEAR(FlownPath::Current().Entry(1) - FlownPath::Current().Aircraft(), to_go, 1e-9);
        RunVerticalTransitions();
        const bool due = share > 1.0;
        EXPECT_EQ(g.HeldConstraintIndex, due ? 0 : 1);
        EXPECT_EQ(m.CruiseAlt, static_cast<std::int32_t>(due ? constraint : level));
      }
    }
  }
}

// Handing over at the last waypoint in Mach hold, VNAV engages the airspeed
// hold, which takes the aircraft's airspeed (262 kt), and sends the
// restriction's speed: also where that is the airspeed it sent last, still
// the autopilot's airspeed as the hold is engaged. In airspeed hold already
// at the restriction's speed nothing goes out.
TEST_F(VnavTest, HandingOverInMachHoldLeavesTheRestrictionsSpeedHeld) {
  struct Case {
    const char* name;
    bool mach_hold;
    double sent, autopilot;  // the airspeed last sent; the autopilot's airspeed
    Events events;
  } const kCases[] = {
      {"Mach hold, the limit sent last", true, 240.0, 240.0,
       {{kEventMachHoldOff, 0}, {kEventAirspeedHoldOn, 0}, {kEventAirspeed, 240}}},
      {"Mach hold, another airspeed sent last", true, 280.0, 280.0,
       {{kEventMachHoldOff, 0}, {kEventAirspeedHoldOn, 0}, {kEventAirspeed, 240}}},
      {"airspeed hold at the limit", false, 240.0, 240.0, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    model::State& m = model::model_state;
    m.VnavSetSpd = 1;
    m.DescAltRest = 10000.0;
    m.DescSpdRest = 240.0;
    g.AircraftAltitude = 9000.0;
    g.TocPassed = g.TodPassed = 1;
    host.tokens[109] = 5000.0;  // descending to it
    g.SentAltitude = 5000;
    host.tokens[61] = 262.0;  // the aircraft's airspeed
    host.tokens[116] = c.autopilot;
    g.SentAirspeed = static_cast<std::int32_t>(c.sent);
    g.ApMachHold = c.mach_hold ? 1.0 : 0.0;
    g.ApAirspeedHold = c.mach_hold ? 0.0 : 1.0;
    // The simulator acts on the events after the pass: the autopilot's
    // airspeed is still the one before the hold engaged.
    host.key_handlers.clear();
    host.key_events.clear();
    LeaveRestrictionSpeedOnHandOver();
    EXPECT_EQ(host.key_events, c.events);
  }
}

// The descent restriction's speed goes out within its window whenever the
// speed held is faster: in Mach hold that is the Mach's airspeed, whatever
// the airspeed dial (left at 250 kt) reads. Compared with the dial, a
// descent at Mach .78 with the dial at or below 250 kt was slowed only
// 50 ft above 10,000 ft. Each case exactly at the restriction's speed is
// not faster; the airspeed hold as before.
TEST_F(VnavTest, TheDescentRestrictionSlowsAMachHoldWhateverTheDial) {
  const double kAltitude = 10800.0;  // within the window: 2,500 ft/min, 50 kt to lose
  const double at_limit = model::IasToMach(250.0, kAltitude);
  const struct {
    const char* name;
    bool mach_hold;
    double dial, mach;
    bool slowed;
  } kCases[] = {
      {"Mach hold, dial at the restriction", true, 250.0, 0.78, true},
      {"Mach hold, dial below it", true, 210.0, 0.78, true},
      {"Mach hold, dial above it", true, 300.0, 0.78, true},
      {"Mach hold at the restriction's airspeed", true, 300.0, at_limit, false},
      {"Mach hold just above it", true, 250.0, at_limit + 0.005, true},
      {"airspeed hold at the restriction", false, 250.0, 0.78, false},
      {"airspeed hold above it", false, 251.0, 0.78, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    model::State& m = model::model_state;
    m.VnavSetSpd = 1;
    m.DescAltRest = 10000.0;
    m.DescSpdRest = 250.0;
    g.VerticalProfileValid = g.TocPassed = g.TodPassed = 1;
    g.AircraftAltitude = kAltitude;
    g.VerticalSpeedFpm = -2500.0;
    g.SmoothedAirspeed = 300.0;
    g.ApMachHold = c.mach_hold ? 1.0 : 0.0;
    g.ApAirspeedHold = c.mach_hold ? 0.0 : 1.0;
    g.ApAirspeedHoldVar = g.PreviousApAirspeedHoldVar = host.tokens[116] = c.dial;
    g.ApMachHoldVar = host.tokens[118] = c.mach;
    host.key_events.clear();
    RunSpeedRestrictionChecks();
    EXPECT_EQ(g.DescentRestrictionSpeedSet, c.slowed ? 1.0 : 0.0);
    EXPECT_EQ(g.VnavWantedSpeed, c.slowed ? 250.0 : 0.0);
    // Asked for an airspeed, the speed mode leaves the Mach hold.
    KeepSpeedModeForPhase();
    const bool left_mach = !Sent(kEventMachHoldOff).empty();
    EXPECT_EQ(left_mach, c.slowed && c.mach_hold);
  }
}

// A turn is led at the airspeed it begins at: VNAV asks for no more until
// the heading asked of the autopilot is within 3 degrees of the aircraft's,
// while a slowdown goes out at once; right and left, across north and
// south. LNAV moving the heading by 10 degrees along a leg begins no turn.
TEST_F(VnavTest, NoSpeedUpInATurnUntilItEnds) {
  State& g = guidance_state;
  model::model_state.VnavSetSpd = 1;
  g.LnavEngaged = 1;
  g.ApHeadingLock = 1;
  g.AircraftAltitude = 20000.0;
  struct Case {
    const char* what;
    double heading, turn;  // degrees, right above 0
  } const kCases[] = {
      {"right across north", 350.0, 70.0},
      {"left across north", 10.0, -70.0},
      {"right across south", 120.0, 150.0},
      {"left onto north", 80.0, -80.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    g.TurnLedAirspeed = 0.0;
    g.SentAirspeed = 250;
    g.SmoothedAirspeed = 250.4;
    const double side = c.turn > 0.0 ? 1.0 : -1.0, to = c.heading + c.turn;
    auto fly = [&](double heading, double asked_for, double knots) {
      host.key_events.clear();
      g.AircraftHeading = std::fmod(heading + 720.0, 360.0);
      g.ApHeadingLockDir = std::fmod(asked_for + 720.0, 360.0);
      FollowTurnsForSpeed();
      SendAirspeedCommand(knots);
      return host.key_events;
    };
    const Events none;
    EXPECT_EQ(fly(c.heading, c.heading + side * 10.0, 250.0), none);
    EXPECT_EQ(fly(c.heading, to, 280.0), none);
    // Faster halfway round, the turn's speed is still the one it began at.
    g.SmoothedAirspeed = 262.0;
    EXPECT_EQ(fly(c.heading + side * 30.0, to, 230.0), (Events{{kEventAirspeed, 230}}));
    EXPECT_EQ(fly(c.heading + side * 40.0, to, 280.0), (Events{{kEventAirspeed, 250}}));
    EXPECT_EQ(fly(to - side * 3.5, to, 280.0), none);
    EXPECT_EQ(fly(to - side * 3.0, to, 280.0), (Events{{kEventAirspeed, 280}}));
    EXPECT_EQ(fly(to, to - side * 10.0, 290.0), (Events{{kEventAirspeed, 290}}));
  }
}

// The cruise Mach sent at the top of climb three seconds before a turn's
// waypoint: the acceleration is held at the Mach the aircraft has as the
// turn begins, and goes on as the turn ends. One sent 10 s before or more
// is flown on, as is one before a turn that passed no waypoint (LNAV
// engaged); an autopilot already no faster is sent nothing; nor is any
// speed held back without VNAV, nor in a hold's turns (flown at the
// hold's speed).
TEST_F(VnavTest, AnAccelerationUnderWayAsATurnBeginsWaitsForItsEnd) {
  State& g = guidance_state;
  SpeedsByVnavInMachHoldUnderLnav();
  g.TocPassed = 1;
  g.AircraftAltitude = 12000.0;
  g.VnavWantedMach = 0.58;
  g.VnavWantedSpeed = 0.0;
  struct Case {
    const char* what;
    std::int32_t sent;  // Mach x 100
    double ticks_ago;   // since it was sent, 18 a second
    int passed, vnav, hold;  // passed: the turn's waypoint
    Events in_turn, after;
  } const kCases[] = {
      {"accelerating to the cruise Mach", 58, 3 * 18, 1, 1, 0, {{kEventMach, 51}}, {{kEventMach, 58}}},
      {"sent 10 s before the turn less a tick", 58, 10 * 18 - 1, 1, 1, 0, {{kEventMach, 51}}, {{kEventMach, 58}}},
      {"sent 10 s before the turn", 58, 10 * 18, 1, 1, 0, {}, {}},
      {"a turn onto the route", 58, 3 * 18, 0, 1, 0, {}, {}},
      {"at the turn's Mach", 51, 3 * 18, 1, 1, 0, {}, {{kEventMach, 58}}},
      {"VNAV off", 58, 3 * 18, 1, 0, 0, {}, {}},
      {"in a hold", 58, 3 * 18, 1, 1, 1, {}, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    g.LastTick = 5000.0;
    g.SpeedSentTick = g.LastTick + 1.0 - c.ticks_ago;  // from the turn's first pass
    g.WaypointPassedTick = 0.0;
    g.VnavEngaged = c.vnav;
    g.ActiveHoldIndex = g.HoldSegmentCounter = c.hold;
    g.SentMach = c.sent;
    g.SmoothedAirspeed = 252.0;
    g.MachNumber = 0.5051;
    g.AircraftHeading = g.ApHeadingLockDir = 100.0;
    FollowTurnsForSpeed();
    g.ApHeadingLockDir = 217.0;
    g.LastTick += 1.0;
    if (c.passed == 1) g.WaypointPassedTick = g.LastTick;
    host.key_events.clear();
    FollowTurnsForSpeed();
    KeepSpeedModeForPhase();
    KeepSpeedModeForPhase();
    EXPECT_EQ(host.key_events, c.in_turn);
    host.key_events.clear();
    g.AircraftHeading = 214.0;
    FollowTurnsForSpeed();
    KeepSpeedModeForPhase();
    EXPECT_EQ(host.key_events, c.after);
  }
}

// The plan's speed sent as another waypoint becomes active, the turn onto
// its leg begun three seconds later. An EXEC (the route's first, or one
// whose modification removed the waypoint flown to) leads no turn: the
// autopilot keeps the plan's speed through it, as in any turn no waypoint
// led. Held at the turn's, VNAV sent the aircraft's own airspeed in place
// of the plan's. Only LNAV passing a waypoint, whose turn was led at the
// speed before it, holds the acceleration to the turn's end.
TEST_F(VnavTest, TheSpeedSentWithAnExecIsFlownThroughTheTurnOntoTheRoute) {
  struct Case {
    const char* name;
    void (*make_active)();
    int active;
    Events in_turn, after;
  } const kCases[] = {
      {"the route's first EXEC",
       [] {
         flightplan::State& fp = flightplan::flightplan_state;
         fp.ActiveWaypointIndex = model::kNoWaypoint;
         fp.RouteState = 1;
         flightplan::ExecutePendingRoute();
       },
       1, {}, {}},
      {"an EXEC without the waypoint flown to",
       [] {
         flightplan::State& fp = flightplan::flightplan_state;
         fp.ActiveWaypointIndex = 3;
         fp.PendingFlightPlanLastIndex = 2;
         fp.RouteState = 4;
         flightplan::ExecutePendingRoute();
       },
       2, {}, {}},
      {"LNAV passes W1",
       [] {
         guidance_state.WaypointSwitchDistance = 3.0;
         guidance_state.ActiveWaypointDistance = 2.0;
         RunWaypointPassage();
       },
       2, {{kEventAirspeed, 250}}, {{kEventAirspeed, 280}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    flightplan::State& fp = flightplan::flightplan_state;
    for (int i = 0; i <= 3; ++i) fp.PendingFlightPlan[i] = fp.ActiveFlightPlan[i];
    fp.PendingFlightPlanLastIndex = 3;
    model::model_state.VnavSetSpd = 1;
    g.LnavEngaged = 1;
    g.ApHeadingLock = 1;
    g.AircraftAltitude = 12000.0;
    g.ApAirspeedHold = 1.0;
    g.ApMachHold = 0.0;
    g.VnavWantedSpeed = 280.0;
    g.VnavWantedMach = 0.0;
    g.SmoothedAirspeed = 250.0;
    g.LastTick = 5000.0;
    g.AircraftHeading = g.ApHeadingLockDir = 100.0;
    ASSERT_TRUE(SendAirspeedCommand(250.0));
    g.SpeedSentTick = 0.0;  // long before
    FollowTurnsForSpeed();
    g.LastTick += 1.0;
    c.make_active();
    ASSERT_EQ(fp.ActiveWaypointIndex, c.active);
    ASSERT_EQ(fp.RouteState, 3);
    g.VnavWantedSpeed = 280.0;
    g.VnavWantedMach = 0.0;
    g.LastTick += 1.0;
    FollowTurnsForSpeed();
    SendAirspeedCommand(280.0);  // the plan's, as VNAV sends it with the change
    ASSERT_EQ(g.SentAirspeed, 280);
    g.LastTick += 3.0 * 18.0;
    g.ApHeadingLockDir = 160.0;
    host.key_events.clear();
    FollowTurnsForSpeed();
    KeepSpeedModeForPhase();
    EXPECT_EQ(Sent(kEventAirspeed), c.in_turn);
    host.key_events.clear();
    g.LastTick += 30.0 * 18.0;
    g.AircraftHeading = 158.0;
    FollowTurnsForSpeed();
    KeepSpeedModeForPhase();
    EXPECT_EQ(Sent(kEventAirspeed), c.after);
  }
}

// A Mach climb through a turn: the Mach of the turn's airspeed grows as the
// aircraft climbs, and the climb's Mach goes on up with it, no faster than
// that airspeed; level or descending the turn's Mach is the most sent, and
// a slower Mach goes out at once. Held at the turn's first Mach, a B747-400
// lost 16 kt through a climbing turn of 100 s and levelled off miles short
// of the top of climb the pages showed.
TEST_F(VnavTest, AMachClimbGoesOnUpThroughATurn) {
  State& g = guidance_state;
  SpeedsByVnavInMachHoldUnderLnav();
  struct Case {
    const char* what;
    double altitude;  // feet, the turn begun at 17,000 ft
    double asked;     // the Mach VNAV sends
    Events sent;
  } const kCases[] = {
      {"climbed 2,700 ft, the climb's Mach", 19700.0, 0.66, {{kEventMach, 65}}},
      {"climbed 2,700 ft, the turn's airspeed's Mach asked", 19700.0, 0.65, {{kEventMach, 65}}},
      {"climbed 2,700 ft, slower", 19700.0, 0.61, {{kEventMach, 61}}},
      {"climbed 300 ft, within the hundredth", 17300.0, 0.66, {}},
      {"climbed 1,000 ft", 18000.0, 0.66, {{kEventMach, 63}}},
      {"level", 17000.0, 0.66, {}},
      {"descended 3,000 ft", 14000.0, 0.66, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    g.TurnLedAirspeed = 0.0;
    g.SentMach = 62;
    g.AircraftAltitude = 17000.0;
    g.SmoothedAirspeed = 287.7;
    g.MachNumber = 0.6204;
    g.AircraftHeading = g.ApHeadingLockDir = 1.0;
    FollowTurnsForSpeed();
    g.ApHeadingLockDir = 220.0;
    FollowTurnsForSpeed();
    g.AircraftHeading = 330.0;
    g.AircraftAltitude = c.altitude;
    g.SmoothedAirspeed = 280.0;  // slowing as the Mach lags
    host.key_events.clear();
    FollowTurnsForSpeed();
    SendMachCommand(c.asked);
    EXPECT_EQ(host.key_events, c.sent);
  }
}

// A hold flown at a constrained fix meets the constraint: as the hold ends,
// VNAV goes on to the next constraint whether LNAV sequenced the fix in the
// same pass (the navigator's exit at the fix) or sequences it later (the
// CDU's exit, the aircraft flying back to the fix); the aircraft is nowhere
// near abeam the fix by the path here. Held as the target, the aircraft
// stayed at the hold's level to the next waypoint. A constraint at a fix
// where no hold was flown is still held until the aircraft is abeam it.
TEST_F(VnavTest, AHoldFlownAtAConstrainedFixGoesOnToTheNextConstraint) {
  struct Case {
    const char* name;
    int fix;             // the hold's fix
    int active;          // the active waypoint as the hold ends
    bool sequence_later;  // LNAV reaches the fix's switch distance afterwards
    int target, held;    // then
  } const kCases[] = {
      {"sequenced as the hold ends", 1, 2, false, 3, 0},
      {"sequenced after the hold ends", 1, 1, true, 3, 0},
      {"no hold at the constrained fix", 2, 1, true, 1, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    flightplan::State& fp = flightplan::flightplan_state;
    model::FlightPlanWaypoint& constrained = fp.ActiveFlightPlan[1];
    constrained.constraint_flag = 1;
    constrained.altitude_constraint = 9000.0;
    fp.ActiveWaypointIndex = c.active;
    g.NextConstraintIndex = 1;
    g.NextConstraintLat = constrained.latitude;
    g.NextConstraintLon = constrained.longitude;
    g.NextConstraintAltitude = 9000.0;
    g.TocPassed = g.TodPassed = 1;
    g.AircraftAltitude = 9000.0;
    // The hold was flown on the last pass and is no longer.
    g.HoldFlownLastPass = 1;
    g.HoldLevel = 9000.0;
    g.HoldFixLatitude = fp.ActiveFlightPlan[c.fix].latitude;
    g.HoldFixLongitude = fp.ActiveFlightPlan[c.fix].longitude;
    RunVerticalTransitions();
    if (c.sequence_later) SelectNextConstraint();
    EXPECT_EQ(g.NextConstraintIndex, c.target);
    EXPECT_EQ(g.HeldConstraintIndex, c.held);
    if (c.target == 3) {
      EXPECT_EQ(g.NextConstraintLat, fp.ActiveFlightPlan[3].latitude);
    }
  }
}

// A hold left in the climb or in the descent, the autopilot still holding
// the hold's level: the next target's altitude goes out as the hold ends.
// Left there, the aircraft stayed level at the hold's altitude, VNAV
// asking for a climb or a descent it could not fly. West of zero, south
// of the equator.
TEST_F(VnavTest, AHoldLeftInTheClimbOrTheDescentSendsTheNextTargetsAltitude) {
  struct Case {
    const char* name;
    int toc, tod;
    double hold_level, target;
  } const kCases[] = {
      {"in the climb", 0, 0, 9000.0, 14000.0},
      {"in the descent", 1, 1, 14000.0, 9000.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    flightplan::State& fp = flightplan::flightplan_state;
    for (int i = 0; i <= 3; ++i) {
      fp.ActiveFlightPlan[i].latitude = -20.0 - 0.3 * i;
      fp.ActiveFlightPlan[i].longitude = -0.5 + 0.3 * i;
    }
    model::FlightPlanWaypoint& next = fp.ActiveFlightPlan[2];
    next.constraint_flag = 1;
    next.altitude_constraint = c.target;
    fp.ActiveWaypointIndex = 2;
    g.ActiveWaypointLat = next.latitude;
    g.ActiveWaypointLon = next.longitude;
    g.PlaneLatitude = -20.32;
    g.PlaneLongitude = -0.18;
    g.GroundSpeedKnots = 280.0;
    model::model_state.VnavSetAlts = 1;
    model::model_state.CruiseAlt = 20000;
    g.TocPassed = c.toc;
    g.TodPassed = c.tod;
    g.AircraftAltitude = c.hold_level;
    g.NextConstraintIndex = 2;
    g.NextConstraintAltitude = c.target;
    g.NextConstraintLat = next.latitude;
    g.NextConstraintLon = next.longitude;
    g.LevelInForce = PlannedCruiseAltitude();
    // The hold at W1 was flown on the last pass, and the autopilot has its
    // level.
    g.HoldFlownLastPass = 1;
    g.HoldLevel = c.hold_level;
    g.HoldFixLatitude = fp.ActiveFlightPlan[1].latitude;
    g.HoldFixLongitude = fp.ActiveFlightPlan[1].longitude;
    ASSERT_TRUE(SendAltitudeCommand(c.hold_level));
    g.VnavAltitudeSet = 1;
    host.key_events.clear();
    RunVerticalTransitions();
    CoupleVnavToAutopilot();
    EXPECT_EQ(Sent(kEventAltitude), (Events{{kEventAltitude, static_cast<std::uint32_t>(c.target)}}));
  }
}

// Six entries from (`lat`, `lon`), `dlat` and 0.3 degrees of longitude
// apart (the last an airport), with `holds` holds (0 or 1) at W2; the
// aircraft short of W0 on its way to W1 at 400 kt over the ground, VNAV
// sending altitudes under a 30,200-ft level.
void RouteWithAHoldAtW2(double lat, double dlat, double lon, int holds, const std::array<double, 6>& altitudes,
                        const std::array<std::uint32_t, 6>& flags) {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i <= 5; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.type = i == 5 ? "APT" : "";
    w.latitude = lat + dlat * i;
    w.longitude = std::remainder(lon + 0.3 * i, 360.0);
    w.altitude_constraint = altitudes[static_cast<std::size_t>(i)];
    w.constraint_flag = flags[static_cast<std::size_t>(i)];
  }
  fp.ActiveFlightPlanLastIndex = 5;
  fp.HoldCount = holds;
  fp.HoldTable[1].active_index = holds > 0 ? 2 : 0;
  fp.HoldTable[1].corners[0].latitude = fp.ActiveFlightPlan[2].latitude;
  fp.HoldTable[1].corners[0].longitude = fp.ActiveFlightPlan[2].longitude;
  g.ActiveWaypointLat = fp.ActiveFlightPlan[1].latitude;
  g.ActiveWaypointLon = fp.ActiveFlightPlan[1].longitude;
  g.PlaneLatitude = lat - dlat / 3.0;
  g.PlaneLongitude = lon - 0.1;
  g.GroundSpeedKnots = 400.0;
  model::model_state.VnavSetAlts = 1;
  model::model_state.CruiseAlt = 30200;
  g.LevelInForce = PlannedCruiseAltitude();
}

// A hold's fix ahead in the climb keeps the altitude the pages showed
// there while the climb before it is walked again in a new wind: VNAV
// climbs no higher than that figure, and the hold entered there is flown
// at it. Climbing on, the aircraft met the fix 632 ft above the 17,200 ft
// shown and held at 17,800. Not a figure the aircraft is already above,
// nor a fix behind a constraint of the climb or past the top of descent;
// a hold taken out before its fix sends the target again. South of the
// equator, the route crossing the prime meridian.
TEST_F(VnavTest, TheClimbLevelsAtTheAltitudeShownAtAHoldsFixAhead) {
  struct Case {
    const char* name;
    double aircraft;
    int holds, w1_flag, tod_at;  // W1 flag 1: 20,000 ft, the climb's target
    double sent;
  } const kCases[] = {
      {"the fix ahead", 15000.0, 1, 0, 4, 17200.0},
      {"100 ft above its figure", 17300.0, 1, 0, 4, 17200.0},
      {"101 ft above its figure", 17301.0, 1, 0, 4, 30200.0},
      {"no hold", 15000.0, 0, 0, 4, 30200.0},
      {"a constraint of the climb before the fix", 15000.0, 1, 1, 4, 20000.0},
      {"the fix past the top of descent", 15000.0, 1, 0, 1, 30200.0},
  };
  for (const Case& c : kCases) {
    for (const bool taken_out : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (taken_out ? ", taken out" : ", entered"));
      SetUp();
      State& g = guidance_state;
      flightplan::State& fp = flightplan::flightplan_state;
      // The fix's altitude as EXEC wrote it.
      RouteWithAHoldAtW2(-20.0, -0.3, -0.5, c.holds, {10000.0, 13600.0, 17200.0, 20800.0, 24400.0, 28000.0},
                         {0, static_cast<std::uint32_t>(c.w1_flag), 0, 0, 0, 0});
      g.TodLatitude = fp.ActiveFlightPlan[c.tod_at].latitude;
      g.TodLongitude = fp.ActiveFlightPlan[c.tod_at].longitude;
      g.NextConstraintIndex = c.w1_flag == 1 ? 1 : 5;
      g.NextConstraintAltitude = c.w1_flag == 1 ? 20000.0 : 30200.0;
      g.NextConstraintLat = c.w1_flag == 1 ? fp.ActiveFlightPlan[1].latitude : -21.5;
      g.NextConstraintLon = c.w1_flag == 1 ? fp.ActiveFlightPlan[1].longitude : 1.0;
      g.AircraftAltitude = c.aircraft;
      g.VerticalSpeedFpm = 2000.0;
      g.VnavAltitudeSet = 0;
      host.key_events.clear();
      RunVerticalTransitions();
      CoupleVnavToAutopilot();
      Events sent{{kEventAltitude, static_cast<std::uint32_t>(c.sent)}};
      EXPECT_EQ(Sent(kEventAltitude), sent);
      if (c.sent != 17200.0) continue;
      LevelThenEnterOrTakeOutTheHold(17200.0, 30200, taken_out, sent, [] {
        RunVerticalTransitions();
        CoupleVnavToAutopilot();
      });
      if (!taken_out) {
        EXPECT_EQ(g.HoldLevel, 17200.0);
      }
    }
  }
}

// So too in the descent: VNAV's path to the constraint beyond a hold's fix
// may pass the fix below the figure the pages show there, and the aircraft
// let down it entered the racetrack under it (WP04 shown at 13,500 ft,
// held at 10,800). The descent levels at that figure before the hold and
// the hold is flown there. Not a figure the aircraft is already more than
// 100 ft under, one under VNAV's target, nor a fix behind a constraint; a
// hold taken out before its fix sends the target again. North of the
// equator, the route crossing 180 degrees.
TEST_F(VnavTest, TheDescentLevelsAtTheAltitudeShownAtAHoldsFixAhead) {
  struct Case {
    const char* name;
    double aircraft, fix;
    int holds, w1_flag;  // W1 flag 1: 15,000 ft, VNAV's target
    double sent;
  } const kCases[] = {
      {"the fix ahead", 16000.0, 13500.0, 1, 0, 13500.0},
      {"100 ft under its figure", 13400.0, 13500.0, 1, 0, 13500.0},
      {"101 ft under its figure", 13399.0, 13500.0, 1, 0, 5900.0},
      {"no hold", 16000.0, 13500.0, 0, 0, 5900.0},
      {"a constraint before the fix", 16000.0, 13500.0, 1, 1, 15000.0},
      {"the figure under the target", 16000.0, 5000.0, 1, 0, 5900.0},
  };
  for (const Case& c : kCases) {
    for (const bool taken_out : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (taken_out ? ", taken out" : ", entered"));
      SetUp();
      State& g = guidance_state;
      flightplan::State& fp = flightplan::flightplan_state;
      RouteWithAHoldAtW2(20.0, 0.3, 179.5, c.holds, {20000.0, 15000.0, c.fix, 11000.0, 5900.0, 5000.0},
                         {0, static_cast<std::uint32_t>(c.w1_flag), 0, 0, 1, 0});
      g.TocPassed = g.TodPassed = 1;
      g.TodAltitude = 30200.0;
      g.TodLatitude = 19.5;
      g.TodLongitude = 179.0;
      g.NextConstraintIndex = c.w1_flag == 1 ? 1 : 4;
      g.NextConstraintAltitude = c.w1_flag == 1 ? 15000.0 : 5900.0;
      g.NextConstraintLat = fp.ActiveFlightPlan[g.NextConstraintIndex].latitude;
      g.NextConstraintLon = fp.ActiveFlightPlan[g.NextConstraintIndex].longitude;
      g.AircraftAltitude = c.aircraft;
      g.VerticalSpeedFpm = -2000.0;
      g.VnavAltitudeSet = 0;
      host.key_events.clear();
      CoupleVnavToAutopilot();
      Events sent{{kEventAltitude, static_cast<std::uint32_t>(c.sent)}};
      EXPECT_EQ(Sent(kEventAltitude), sent);
      if (c.sent != c.fix) continue;
      LevelThenEnterOrTakeOutTheHold(c.fix, 5900, taken_out, sent, [] { CoupleVnavToAutopilot(); });
    }
  }
}

// A hold left in the descent restarts VNAV's path at the hold's level,
// straight to the next constraint. The pages walked the plan's descent back
// from that constraint, which passed the fix 2,000 ft below the level flown
// there: the waypoints between were shown up to 1,000 ft below the path
// VNAV flew them on. They now show that path, from the fix or from where
// the aircraft leaves the racetrack short of it; a published speed, the
// constraint and a hold left in the climb keep what the plan wrote, and the
// write is no edit the plan has to answer. East across 180, south of the
// equator.
TEST_F(VnavTest, AfterAHoldInTheDescentThePagesShowThePathVnavFlies) {
  struct Case {
    const char* name;
    int descent;       // TodPassed as the hold ends
    int w2_flag;       // W2's constraint flag (0: a prediction)
    double leaves_at;  // the aircraft's longitude as it leaves the racetrack
    double w2, w3;     // shown after the hold
  } const kCases[] = {
      {"in the descent, past the fix", 1, 0, 179.95, 18000.0, 14000.0},
      {"in the descent, 5 NM short of the fix", 1, 0, 179.8, 16900.0, 13400.0},
      {"a published speed at W2", 1, 2, 179.95, 16000.0, 14000.0},
      {"in the climb", 0, 0, 179.95, 16000.0, 12500.0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    State& g = guidance_state;
    flightplan::State& fp = flightplan::flightplan_state;
    const double walked[] = {0.0, 19000.0, 16000.0, 12500.0, 10000.0, 6000.0, 100.0};
    for (int i = 0; i <= 6; ++i) {
      model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
      w.ident = "W" + std::to_string(i);
      w.type = i == 6 ? "APT" : "";
      w.latitude = -30.0;
      w.longitude = std::remainder(179.6 + 0.3 * i, 360.0);
      w.constraint_flag = i == 4 ? 1 : 0;
      w.altitude_constraint = walked[i];
      w.speed_constraint = 280.0;
    }
    fp.ActiveFlightPlan[2].constraint_flag = c.w2_flag;
    fp.ActiveFlightPlanLastIndex = 6;
    const bool past = c.leaves_at > fp.ActiveFlightPlan[1].longitude;
    fp.ActiveWaypointIndex = past ? 2 : 1;
    g.ActiveWaypointLat = -30.0;
    g.ActiveWaypointLon = fp.ActiveFlightPlan[fp.ActiveWaypointIndex].longitude;
    g.PlaneLatitude = -30.0;
    g.PlaneLongitude = c.leaves_at;
    g.GroundSpeedKnots = 300.0;
    g.AircraftAltitude = 22000.0;
    g.TocPassed = 1;
    g.TodPassed = c.descent;
    g.NextConstraintIndex = 4;
    g.NextConstraintAltitude = 10000.0;
    g.NextConstraintLat = -30.0;
    g.NextConstraintLon = fp.ActiveFlightPlan[4].longitude;
    model::model_state.CruiseAlt = 30000;
    g.HoldFlownLastPass = 1;
    g.HoldLevel = 22000.0;
    g.HoldFixLatitude = -30.0;
    g.HoldFixLongitude = fp.ActiveFlightPlan[1].longitude;
    g.PlannedRouteEdits = fp.ActiveRouteEdits = 7;
    RunVerticalTransitions();
    EXPECT_NEAR(fp.ActiveFlightPlan[2].altitude_constraint, c.w2, 100.0);
    EXPECT_NEAR(fp.ActiveFlightPlan[3].altitude_constraint, c.w3, 100.0);
    EXPECT_EQ(fp.ActiveFlightPlan[4].altitude_constraint, 10000.0);
    EXPECT_EQ(fp.ActiveFlightPlan[5].altitude_constraint, 6000.0);  // beyond the target
    EXPECT_EQ(g.PlannedRouteEdits, fp.ActiveRouteEdits);
  }
}

// The climb below the climb restriction's altitude is flown at its speed:
// at the climb speed the top of climb came that much later than flown.
// The climb is planned at the rate VNAV sends for it: a plan at the tables'
// 2,080 ft/min was flown at 2,000 (whole hundreds, cut) and the aircraft
// reached its level 4 % of the climb beyond the top of climb.
TEST_F(VnavTest, TheClimbIsPlannedAtTheRateVnavSends) {
  model::State& m = model::model_state;
  m.MinVnavClimbRate = 1500.0;
  m.MaxVnavClimbRate = 2500.0;
  struct Case {
    std::int32_t climb_rate;
    double flown;
  };
  const Case cases[] = {{2080, 2000.0}, {2000, 2000.0}, {1999, 1900.0}, {2099, 2000.0}, {1873, 1800.0},
                        {1450, 1500.0}, {1500, 1500.0}, {2500, 2500.0}, {2600, 2500.0}, {0, 1500.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.climb_rate);
    m.ClimbRate = c.climb_rate;
    EXPECT_DOUBLE_EQ(ClimbRateFlown(), c.flown);
    // On its path VNAV climbs at the rate the plan is worked out at.
    EXPECT_EQ(ClimbCommand(ClimbRateFlown(), ClimbRateFlown()), static_cast<std::int32_t>(c.flown));
  }
}

// The climb model against a climb flown the way the autopilot flies it, a
// second at a time: at the airspeed (the restriction's below its altitude)
// whose true airspeed grows 2 % a thousand feet, or at the Mach VNAV holds
// instead at the speed of sound of the standard atmosphere, at the rate
// sent, onto the level as the altitude hold captures it (4 ft/min a foot to
// go, no less than 200 ft/min, the vertical speed moving 400 ft/min a
// second), on a straight track in a steady wind; the top of climb passed
// 150 ft below the level. Planned at 1.9 % a thousand feet and its Mach at
// -30 C, the model was 1.5 % short in the airspeed and 3 % long in the Mach.
TEST_F(VnavTest, TheClimbModelFliesTheClimbTheAutopilotFlies) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  ClimbTables();
  m.ClbSpdRest = 250.0;
  m.ClbAltRest = 10000.0;
  flightplan::flightplan_state.ActiveWaypointIndex = -1;  // on the track flown now
  constexpr double kGrowth = 0.02 / 1000.0;               // the aircraft's, a foot up
  auto sound = [](double altitude) { return 38.967854 * std::sqrt(model::IsaTemperatureKelvin(altitude)); };
  struct Case {
    const char* aircraft;
    double climb_ias, climb_mach;  // the pilot's Mach, 0: the tables'
    double track, variation;       // degrees true, east
    double from, to, rate;
    bool tables = true;
  };
  // Without tables the aircraft still flies the climb speed VNAV sends:
  // planned at the file's mean true airspeed in still air, a business jet
  // with 100 kt behind levelled off 10 NM beyond the top of climb.
  const Case aircraft[] = {
      {"crossing over to the tables' Mach", 300.0, 0.0, 45.0, 10.0, 6000.0, 33000.0, 2000.0},
      {"at its airspeed to a pilot's Mach", 250.0, 0.80, 300.0, -12.0, 6000.0, 35000.0, 2500.0},
      {"from above the restriction, west", 280.0, 0.0, 260.0, -3.0, 12000.0, 28000.0, 1500.0},
      {"without tables, at its airspeed", 250.0, 0.0, 135.0, 20.0, 6000.0, 37000.0, 2500.0, false},
      {"without tables, to a pilot's Mach, west", 280.0, 0.74, 200.0, -15.0, 8000.0, 39000.0, 3000.0, false},
      // Measured low down at a steady airspeed: at the module's 1.9 % the
      // climb from 3,400 ft into 108 kt came out 2 % short, every waypoint
      // shown 500-1,200 ft above its crossing.
      {"from low down at the restriction's airspeed, south-west", 280.0, 0.0, 225.0, -8.0, 2500.0, 36000.0, 2500.0},
      {"without tables, from 2,200 ft", 250.0, 0.0, 350.0, 4.0, 2200.0, 39000.0, 2500.0, false},
  };
  for (const Case& c : aircraft) {
    for (double wind_from : {0.0, 90.0, 180.0, 270.0}) {
      SCOPED_TRACE(c.aircraft);
      SCOPED_TRACE(wind_from);
      m.ClimbPerformanceCount = c.tables ? 2 : 0;
      m.ClimbIas = c.climb_ias;
      m.ClimbMach = c.climb_mach;
      const double wind = 60.0;
      auto ground_speed = [&](double tas) {
        const double angle = (wind_from - c.track) * 0.017453292519943295;
        return std::sqrt(tas * tas - std::pow(wind * std::sin(angle), 2.0)) - wind * std::cos(angle);
      };
      // The airspeed the autopilot holds, gained at 1.5 kt a second past
      // the restriction's altitude.
      double ias = c.from < m.ClbAltRest ? std::min(c.climb_ias, m.ClbSpdRest) : c.climb_ias;
      auto true_airspeed = [&](double altitude) {
        const double mach = MachInsteadOf(model::PerformanceSegment::kClimb, ias, altitude);
        return mach > 0.0 ? mach * sound(altitude) : ias * (1.0 + kGrowth * altitude);
      };
      // The climb flown.
      double altitude = c.from, vs = c.rate, flown = 0.0;
      for (int second = 0; second < 7200 && altitude < c.to - 150.0; ++second) {
        double want = std::clamp((c.to - altitude) * 4.0, -c.rate, c.rate);
        if (std::fabs(want) < 200.0) want = 200.0;
        vs = std::clamp(want, vs - 400.0, vs + 400.0);
        flown += ground_speed(true_airspeed(altitude)) / 3600.0;
        altitude += vs / 60.0;
        const double wanted = altitude < m.ClbAltRest ? std::min(c.climb_ias, m.ClbSpdRest) : c.climb_ias;
        ias = std::min(wanted, ias + 1.5);
      }
      ias = c.from < m.ClbAltRest ? std::min(c.climb_ias, m.ClbSpdRest) : c.climb_ias;
      // The aircraft as the module sees it where the climb begins.
      g.AircraftAltitude = c.from;
      g.SmoothedAirspeed = c.from < m.ClbAltRest ? m.ClbSpdRest : c.climb_ias;
      g.GroundSpeedKnots = ground_speed(true_airspeed(c.from));
      g.MagneticVariation = c.variation;
      // Its heading: the air's vector, the ground's less the wind's. Its
      // track as the module works it out, the heading less a drift by the
      // rule of sixty: a degree off the one flown in this wind.
      const double track = c.track * 0.017453292519943295, from = wind_from * 0.017453292519943295;
      const double heading = std::atan2(g.GroundSpeedKnots * std::sin(track) + wind * std::sin(from),
                                        g.GroundSpeedKnots * std::cos(track) + wind * std::cos(from));
      g.AircraftHeading = heading / 0.017453292519943295 - c.variation;
      g.GroundTrack = g.AircraftHeading - wind * std::sin(from - heading) /
                                              ((g.GroundSpeedKnots + wind * std::cos(from - heading)) / 60.0);
      g.WindSpeed = wind;
      g.WindDirection = wind_from;
      g.StaticAirTemp = model::IsaTemperatureKelvin(c.from) - 273.15;
      const ClimbModel climb(c.rate);
      ASSERT_TRUE(climb.Sliced());
      EXPECT_NEAR(climb.Distance(c.from, c.to), flown, 0.005 * flown + 0.2);
    }
  }
}

TEST_F(VnavTest, TheClimbModelKeepsTheRestrictionSpeedBelowItsAltitude) {
  model::State& m = model::model_state;
  ClimbTables();
  m.ClimbIas = 300;
  m.ClbSpdRest = 250.0;
  m.ClbAltRest = 10000.0;
  const ClimbModel climb(2000.0);
  ASSERT_TRUE(climb.Sliced());
  const double below = climb.Distance(0.0, 10000.0), above = climb.Distance(10000.0, 20000.0);
  m.ClbSpdRest = 0.0;  // no restriction
  EXPECT_LT(below, 0.9 * climb.Distance(0.0, 10000.0));
  // Above it the climb speed is gained at 1.5 kt a second: 50 kt in 33 s,
  // the first 1,100 ft of the climb, a few tenths of a mile less.
  const double free = climb.Distance(10000.0, 20000.0);
  EXPECT_LT(above, free - 0.1);
  EXPECT_GT(above, free - 0.3);
}

// An aircraft slower than the climb speed gains it at 1.5 kt a second as
// it climbs (VNAV engaged low down at 160 kt, or the restriction's speed
// left at its altitude): the climb model covers that much less ground, and
// the waypoints are planned as high as they are crossed.
TEST_F(VnavTest, TheClimbModelGainsTheClimbSpeedAsTheAircraftDoes) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  ClimbTables();
  m.ClimbIas = 250.0;
  m.ClbSpdRest = 0.0;
  flightplan::flightplan_state.ActiveWaypointIndex = -1;
  g.AircraftAltitude = 1000.0;
  g.GroundSpeedKnots = 160.0;
  struct Case {
    double ias;           // the aircraft's now
    double short_by_nm;   // of the climb to 6,000 ft at 250 kt
  };
  // From 160 kt: 60 s of gaining at 2,000 ft/min, 2,000 ft of the 5,000,
  // 45 kt short on average, 0.75 NM; from 240 kt 0.01 NM; at or above the
  // climb speed none, and on the ground none.
  for (const Case& c : {Case{160.0, 0.75}, Case{240.0, 0.01}, Case{250.0, 0.0}, Case{260.0, 0.0}, Case{90.0, 0.0}}) {
    SCOPED_TRACE(c.ias);
    g.SmoothedAirspeed = 250.0;
    const double full = ClimbModel(2000.0).Distance(1000.0, 6000.0);
    g.SmoothedAirspeed = c.ias;
    EXPECT_NEAR(full - ClimbModel(2000.0).Distance(1000.0, 6000.0), c.short_by_nm, 0.05);
  }
}

// VNAV engaged holds the aircraft level below its least speed, and once
// held until 10 kt above it, then builds its rate up a hundred a second
// from its least climb rate (or the present one): the miles the climb
// starts late by, at 180 kt over the ground, to 2,000 ft/min. Each edge of
// the speed band, with the hold on and off.
TEST_F(VnavTest, VnavsLateStartCountsTheLevelHeldUntilTenKnotsAboveItsLeastSpeed) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  m.MinVnavIas = 170.0;
  m.MinVnavClimbRate = 1000.0;
  g.GroundSpeedKnots = 180.0;
  struct Case {
    double ias, vs;
    std::int32_t held;  // VnavBelowMinSpeed
    double seconds;
  };
  // The build-up from 1,000 to 2,000 ft/min loses 2.5 s; from 1,500, 0.625.
  const Case cases[] = {
      {165.0, 0.0, 0, 10.0 + 2.5},       // below the least speed: held to 180
      {165.0, 0.0, 1, 10.0 + 2.5},
      {175.0, 0.0, 1, 10.0 / 3.0 + 2.5},  // held on past the least speed
      {175.0, 0.0, 0, 2.5},              // never held: the build-up only
      {180.0, 0.0, 1, 2.5},              // at the band's top: no more to gain
      {181.0, 1500.0, 1, 0.625},         // let go: from the present rate
      {181.0, 2500.0, 0, 0.0},           // climbing at the rate already
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.ias << " kt, " << c.vs << " ft/min, held " << c.held);
    g.SmoothedAirspeed = c.ias;
    g.VerticalSpeedFpm = c.vs;
    g.VnavBelowMinSpeed = c.held;
    EXPECT_NEAR(MilesLostAtVnavOn(2000.0), c.seconds * 180.0 / 3600.0, 1e-9);
  }
}

TEST_F(VnavTest, TopOfDescentFoundByTheProfileStillStartsTheDescent) {
  // In cruise with W2 active, the TOD on the route at 1.5 N (30 NM before
  // W2, so 90 NM before the airport). The aircraft is 3 NM east of the
  // route, 3 NM past the TOD: more than 1.5 NM from the point, but with
  // 27.2 + 60 = 87.2 NM to go the along-route distance has passed it, and
  // the profile says so before the transitions run.
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveWaypointIndex = 2;
  g.ActiveWaypointLat = 2.0;
  g.TocPassed = 1;
  g.TodPassed = 0;
  g.VnavAltitudeSet = 1;  // cruise holds the altitude
  g.TodLatitude = 1.5;
  g.TodLongitude = 0.0;
  fp.ActiveFlightPlan[3].altitude_constraint = 500.0;
  fms::fms_state.FmsPage = 35;
  host.tokens[71] = 1.55 * 10001750.0 / 90.0;
  host.tokens[72] = std::round(3.0 / 60.0 * 281474976710656.0 / 360.0);
  host.tokens[74] = 20000.0;
  host.tokens[61] = 250.0;
  host.tokens[551] = 300.0 / 0.592484;
  Pass();
  EXPECT_EQ(g.TodPassed, 1);
  // The descent as at the TOD itself: down to 200 ft above the airport, the
  // descent speed (27 NM from W2, beyond the 25 NM of speed restrictions),
  // the DES page, the descent planned from W2.
  EXPECT_EQ(Sent(kEventAltitude), (Events{{kEventAltitude, 700}}));
  EXPECT_EQ(Sent(kEventAirspeed), (Events{{kEventAirspeed, 220}}));
  EXPECT_EQ(fms::fms_state.FmsPage, 36);
  EXPECT_EQ(g.TodReferenceIndex, 2);
  EXPECT_EQ(g.TodAltitude, 20000.0);
  // Once: the next pass sends no second altitude.
  Pass();
  EXPECT_EQ(Sent(kEventAltitude).size(), 1u);
}

TEST_F(VnavTest, AWaypointSkippedAbeamTakesATopOfDescentWithin10Miles) {
  // In cruise a waypoint passed abeam may have carried the TOD with it:
  // the next check takes a TOD less than 10 NM away as reached, once.
  State& g = guidance_state;
  g.TocPassed = 1;
  g.AircraftAltitude = 20000.0;
  fms::fms_state.FmsPage = 35;
  g.TodRecheckAfterSkip = 1;
  g.TodLatitude = 10.0 / 60.0 + 1e-9;  // just beyond 10 NM north of (0, 0)
  RunVerticalTransitions();
  EXPECT_EQ(g.TodPassed, 0);
  EXPECT_EQ(g.TodRecheckAfterSkip, 0);
  g.TodRecheckAfterSkip = 1;
  g.TodLatitude = 9.9 / 60.0;
  RunVerticalTransitions();
  EXPECT_EQ(g.TodPassed, 1);
  EXPECT_EQ(g.TodRecheckAfterSkip, 0);
  EXPECT_EQ(fms::fms_state.FmsPage, 36);
  // Without the skip 9.9 NM is just a TOD ahead.
  g.TodPassed = 0;
  g.TodLatitude = 9.9 / 60.0;
  RunVerticalTransitions();
  EXPECT_EQ(g.TodPassed, 0);
}

TEST_F(VnavTest, TopOfDescentOneShots) {
  State& g = guidance_state;
  g.TodPassed = 1;
  model::model_state.Lnav1xAtTod = 1;
  model::model_state.PauseAtTod = 1;
  host.tokens[336] = 4.0;
  Pass();
  Pass();
  host.tokens[336] = 2.0;
  Pass();
  host.tokens[336] = 1.0;
  Pass();
  Pass();
  EXPECT_EQ(Sent(kEventSimRateDown).size(), 3u);
  EXPECT_EQ(g.Lnav1xAtTodDone, 1);
  EXPECT_EQ(Sent(kEventPause).size(), 1u);
  EXPECT_EQ(model::model_state.PauseAtTod, 0);
  EXPECT_EQ(g.PauseAtTodDone, 1);
}

TEST_F(VnavTest, OwnAltitudeCommandIsNotTakenForThePilots) {
  State& g = guidance_state;
  host.tokens[109] = 5000.0;
  g.TocPassed = 0;
  g.VnavAltitudeSet = 1;  // nothing to command yet
  g.NextConstraintDistance = 50.0;
  host.tokens[551] = 300.0 / 0.592484;
  // The command goes out on a pass of frame 3; the next pass (4) reads no
  // air data, so only the autopilot itself can tell what it now holds.
  for (int i = 0; i < 18 && g.FrameCounter != 2; ++i) Pass();
  g.VnavAltitudeSet = 0;
  g.NextConstraintAltitude = 12000.0;
  Pass();
  ASSERT_EQ(g.FrameCounter, 3);
  ASSERT_EQ(Sent(kEventAltitude), (Events{{kEventAltitude, 12000}}));
  for (int i = 0; i < 40; ++i) Pass();
  EXPECT_EQ(g.VnavEngaged, 1);
  EXPECT_EQ(g.VnavLastSetAltitude, 12000);
  // The pilot's own change, held over two reads, switches VNAV off.
  host.tokens[109] = 15000.0;
  for (int i = 0; i < 18; ++i) Pass();
  EXPECT_EQ(g.VnavEngaged, 0);
}

TEST_F(VnavTest, OwnSpeedCommandIsNotTakenForThePilots) {
  State& g = guidance_state;
  host.tokens[116] = 250.0;
  g.VnavAltitudeSet = 1;
  g.VnavSpeedSet = 1;
  g.VnavLastSetSpeed = 250;
  model::FlightPlanWaypoint& w = flightplan::flightplan_state.ActiveFlightPlan[1];
  w.altitude_constraint = 11000.0;
  w.speed_constraint = 280.0;
  w.constraint_flag = 1;
  g.AircraftAltitude = 10500.0;
  host.tokens[71] = 0.7 * 10001750.0 / 90.0;  // 0.7 N: W1's speed taken 18 NM before it
  g.PlaneLatitude = 0.7;
  host.tokens[74] = 10500.0;
  host.tokens[61] = 250.0;
  for (int i = 0; i < 18 && g.FrameCounter != 2; ++i) Pass();
  g.VnavSpeedSet = 0;
  g.VnavSpdRestPending = 1;
  Pass();  // frame 3: 280 goes out; frame 4 reads no air data
  ASSERT_EQ(Sent(kEventAirspeed), (Events{{kEventAirspeed, 280}}));
  for (int i = 0; i < 40; ++i) Pass();
  EXPECT_EQ(model::model_state.VnavSetSpd, 1);
  host.tokens[116] = 300.0;  // the pilot's own
  for (int i = 0; i < 18; ++i) Pass();
  EXPECT_EQ(model::model_state.VnavSetSpd, 2);
}

TEST_F(VnavTest, DeferredSpeedIsReadBackOnTheNextPassNotTheSame) {
  // An autopilot that takes a key event only between two ticks, as a
  // simulator running the panel's events after the panel's pass may.
  static std::vector<std::pair<std::uint32_t, std::uint32_t>> taken;
  taken.clear();
  host.key_handlers.clear();
  host.key_handlers.emplace_back([](std::uint32_t id, std::uint32_t value, void*) { taken.emplace_back(id, value); },
                                 nullptr);
  auto pass = [&] {
    Pass();
    for (const auto& [id, value] : taken)
      if (id == kEventAirspeed) host.tokens[116] = value;
    taken.clear();
  };
  State& g = guidance_state;
  host.tokens[116] = 250.0;
  for (int i = 0; i < 18; ++i) pass();  // the snapshot reads 250
  // Leaving Mach hold at the top of descent: the descent speed follows on
  // the next pass, and speed control is armed with VNAV's last value.
  g.VnavSpeedSet = 1;
  g.VnavLastSetSpeed = 250;
  g.PendingDescentSpeedCommand = 1;
  pass();
  EXPECT_EQ(Sent(kEventAirspeed), (Events{{kEventAirspeed, 220}}));
  for (int i = 0; i < 36; ++i) pass();
  // VNAV's own 220 is not the pilot's change.
  EXPECT_EQ(g.VnavLastSetSpeed, 220);
  EXPECT_EQ(model::model_state.VnavSetSpd, 1);
}

TEST_F(VnavTest, ARestrictionSpeedIsNotTakenForThePilotsInTheSamePass) {
  State& g = guidance_state;
  // Climbing through 10000 ft at the restriction speed, VNAV's 250 read back.
  g.ClimbRestrictionSpeedSet = 1.0;
  g.VnavSpeedSet = 1;
  g.VnavLastSetSpeed = 250;
  g.ApAirspeedHoldVar = g.PreviousApAirspeedHoldVar = 250.0;
  g.AircraftAltitude = 10001.0;
  g.LastTick = 7.0;
  RunSpeedRestrictionChecks();  // the climb speed goes out, then the check runs
  EXPECT_EQ(host.key_events, (Events{{kEventAirspeed, 220}}));
  EXPECT_EQ(model::model_state.VnavSetSpd, 1);
  // The next pass reads it back from the autopilot.
  g.LastTick = 8.0;
  RunDeferredCommandsAndReadbacks();
  EXPECT_EQ(g.VnavLastSetSpeed, 220);
  EXPECT_EQ(g.ApAirspeedHoldVar, 220.0);
  CoupleSpeedToAutopilot();
  EXPECT_EQ(model::model_state.VnavSetSpd, 1);
}

TEST_F(VnavTest, ManualSpeedChangeSwitchesSpeedControlOff) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  g.VnavSpeedSet = 1;
  g.ActiveWaypointDistance = 60.0;
  struct Case {
    int mach_cruise;
    std::int32_t last_speed, last_mach;
    double ap_speed, ap_mach;
    std::int32_t marker;
    int expected;
  };
  const Case cases[] = {
      {1, 250, kNoCommand, 250.0, 0.0, kNoCommand, 1},  // VNAV's own value
      {1, 250, kNoCommand, 270.0, 0.0, kNoCommand, 2},  // the pilot's
      {1, 250, kNoCommand, 270.0, 0.0, 0, 1},           // commanded this very tick
      {1, kNoCommand, kNoCommand, 270.0, 0.0, kNoCommand, 1},  // nothing read back yet
      {0, 250, 78, 270.0, 0.78, kNoCommand, 1},         // Mach against Mach: 78 = 0.78
      {0, 250, 78, 250.0, 0.80, kNoCommand, 2},
  };
  for (const Case& c : cases) {
    m.VnavSetSpd = 1;
    m.VnavSetMachCruiseSpd = c.mach_cruise;
    g.VnavLastSetSpeed = c.last_speed;
    g.VnavLastSetMach = c.last_mach;
    g.ApAirspeedHoldVar = g.PreviousApAirspeedHoldVar = c.ap_speed;
    g.ApMachHoldVar = c.ap_mach;
    g.VnavSpeedReadbackMarker = c.marker;
    g.LastTick = 0.0;
    CoupleSpeedToAutopilot();
    EXPECT_EQ(m.VnavSetSpd, c.expected) << c.mach_cruise << " " << c.ap_speed << " " << c.ap_mach;
  }
  // Still changing (two reads apart): not yet.
  m.VnavSetSpd = 1;
  m.VnavSetMachCruiseSpd = 1;
  g.VnavLastSetSpeed = 250;
  g.ApAirspeedHoldVar = 270.0;
  g.PreviousApAirspeedHoldVar = 260.0;
  CoupleSpeedToAutopilot();
  EXPECT_EQ(m.VnavSetSpd, 1);
}

TEST_F(VnavTest, SpeedsOnlyAtTheTransitionsOfARouteWithoutConstraints) {
  State& g = guidance_state;
  g.VnavSpdRestPending = 1;
  g.LastTick = 42.0;
  CoupleSpeedToAutopilot();
  EXPECT_TRUE(host.key_events.empty());
  EXPECT_EQ(g.VnavSpeedSet, 1);
  EXPECT_EQ(g.VnavSpeedReadbackMarker, 42);
  // A constrained waypoint in the climb, below the restriction altitude: the
  // restriction speed.
  model::FlightPlanWaypoint& w = flightplan::flightplan_state.ActiveFlightPlan[1];
  w.altitude_constraint = 8000.0;
  w.speed_constraint = 280.0;
  w.constraint_flag = 1;
  g.AircraftAltitude = 5000.0;
  g.NextConstraintAltitude = 8000.0;  // climbing to it
  g.ActiveWaypointDistance = 20.0;
  g.VnavSpeedSet = 0;
  CoupleSpeedToAutopilot();
  EXPECT_EQ(host.key_events, (Events{{kEventAirspeed, 250}}));
  EXPECT_EQ(g.ClimbRestrictionSpeedSet, 1.0);
  // Above it, the end of the restriction sends the waypoint's speed.
  g.AircraftAltitude = 10001.0;
  RunSpeedRestrictionChecks();
  EXPECT_EQ(host.key_events.back(), std::make_pair(kEventAirspeed, 280u));
  EXPECT_EQ(g.ClimbRestrictionSpeedSet, 0.0);
  // Beyond the restriction distance and without a pending request: nothing
  // past the top of climb; in the climb, the climb speed (the waypoint
  // passed, its 280 kt is not kept).
  model::model_state.ClimbIas = 290;
  for (const int toc : {1, 0}) {
    host.key_events.clear();
    g.TocPassed = toc;
    g.VnavSpeedSet = 0;
    g.VnavSpdRestPending = 0;
    g.ActiveWaypointDistance = 25.0;
    CoupleSpeedToAutopilot();
    const Events sent = toc == 0 ? Events{{kEventAirspeed, 290}} : Events{};
    EXPECT_EQ(host.key_events, sent) << toc;
    EXPECT_EQ(g.VnavSpeedSet, toc == 0 ? 1 : 0) << toc;
  }
  // A direct-to in the climb to a waypoint without a speed (the
  // destination) after VNAV flew a constraint's 200 kt: the climb speed.
  model::model_state.ClimbIas = 290;
  w.altitude_constraint = w.speed_constraint = model::kNoValue;
  w.constraint_flag = 0;
  g.VnavSpdRestPending = 1;
  g.NextConstraintIndex = 0;
  for (const double wanted : {0.0, 200.0}) {
    host.key_events.clear();
    ForgetSentCommands();
    g.VnavWantedSpeed = wanted;
    g.VnavSpeedSet = 0;
    CoupleSpeedToAutopilot();
    const Events sent = wanted > 0.0 ? Events{{kEventAirspeed, 290}} : Events{};
    EXPECT_EQ(host.key_events, sent) << wanted;
    EXPECT_EQ(g.VnavSpeedSet, 1);
  }
}

TEST_F(VnavTest, ClimbRestrictionEndsAtTheWaypointsSpeedOrTheClimbSpeed) {
  State& g = guidance_state;
  model::model_state.ClimbIas = 290;
  model::FlightPlanWaypoint& w = flightplan::flightplan_state.ActiveFlightPlan[1];
  struct Case {
    const char* what;
    std::uint32_t flag;
    double speed, altitude, distance;
    Events sent;
  };
  const Case cases[] = {
      {"at the restriction altitude: not yet", 1, 280.0, 10000.0, 20.0, {}},
      {"constrained with a speed", 1, 280.0, 10001.0, 20.0, {{kEventAirspeed, 280}}},
      // Its speed is met at the waypoint: farther out, the climb speed (an
      // arrival's 170 kt was flown from 10,000 ft 70 NM before its fix).
      {"constrained with a speed, 60 NM out", 1, 170.0, 10001.0, 60.0, {{kEventAirspeed, 290}}},
      {"constrained with a speed, at 25 NM", 1, 170.0, 10001.0, 25.0, {{kEventAirspeed, 290}}},
      {"constrained with a speed, within 25 NM", 1, 170.0, 10001.0, 24.9, {{kEventAirspeed, 170}}},
      // An altitude-only constraint has no speed to give (-999): the climb
      // speed takes over, as it does for a waypoint without constraint.
      {"constrained, altitude only", 1, model::kNoValue, 10001.0, 20.0, {{kEventAirspeed, 290}}},
      {"not constrained", 0, 300.0, 10001.0, 20.0, {{kEventAirspeed, 290}}},
  };
  for (const Case& c : cases) {
    host.key_events.clear();
    ForgetSentCommands();  // each case on its own
    w.constraint_flag = c.flag;
    w.altitude_constraint = 15000.0;
    w.speed_constraint = c.speed;
    g.ClimbRestrictionSpeedSet = 1.0;
    g.VnavSpeedSet = 1;  // the speed logic itself stays out of it
    g.ConstraintSpeedArmed = 1;
    g.AircraftAltitude = c.altitude;
    g.ActiveWaypointDistance = c.distance;
    RunSpeedRestrictionChecks();
    EXPECT_EQ(host.key_events, c.sent) << c.what;
    EXPECT_EQ(g.ClimbRestrictionSpeedSet, c.sent.empty() ? 1.0 : 0.0) << c.what;
  }
  // Coming within 25 NM of the constraint with no descent planned yet, in
  // the climb or in the cruise (the climb set its own speed farther out):
  // its speed is armed and sent there, not at the waypoint.
  w.constraint_flag = 1;
  w.speed_constraint = 200.0;
  w.altitude_constraint = 15000.0;
  g.ClimbRestrictionSpeedSet = 0.0;
  g.AircraftAltitude = 15000.0;
  g.VerticalProfileValid = 0;
  g.NextConstraintIndex = 1;
  g.PlaneLatitude = 1.0 - 20.0 / 60.0;
  for (const int toc : {0, 1}) {
    for (const double distance : {25.0, 24.9}) {
      host.key_events.clear();
      ForgetSentCommands();
      g.TocPassed = toc;
      g.VnavSpeedSet = 1;
      g.ConstraintSpeedArmed = 0;
      g.ActiveWaypointDistance = distance;
      RunSpeedRestrictionChecks();
      const Events sent = distance < 25.0 ? Events{{kEventAirspeed, 200}} : Events{};
      EXPECT_EQ(Sent(kEventAirspeed), sent) << toc << " " << distance;
    }
  }
}

TEST_F(VnavTest, SpeedTargetByPhaseAndConstraint) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  flightplan::State& fp = flightplan::flightplan_state;
  // W1 active 60 NM ahead (the aircraft at 0 N unless a case moves it), W2
  // the next constraint. Restrictions: 250 kt below 10000 ft in the climb,
  // 240 below 10000 in the descent; climb 290, cruise 300 or M.78, descent 260.
  m.ClimbIas = 290;
  m.CruiseSpeed = 300;
  m.DescentSpeed = 260;
  struct Case {
    const char* what;
    int profile, toc, mach_cruise;
    std::uint32_t active_flag;
    double active_speed, distance, altitude, plane_lat;
    std::uint32_t next_flag;
    double next_speed;
    Events sent;
  };
  const Case cases[] = {
      // Descent planned (profile valid).
      {"descent, constrained, below the restriction", 1, 1, 0, 1, 280, 20, 9000, 0, 0, 0, {{kEventAirspeed, 240}}},
      {"descent, constrained, above it", 1, 1, 0, 1, 280, 20, 12000, 0, 0, 0, {{kEventAirspeed, 280}}},
      {"descent, passed abeam", 1, 1, 0, 1, 280, -1, 12000, 0, 0, 0, {{kEventAirspeed, 260}}},
      // An EXEC far out: the constraint's speed waits for the 25 NM.
      {"descent, constrained, 138 NM out", 1, 1, 0, 1, 190, 138, 18000, 0, 0, 0, {{kEventAirspeed, 260}}},
      {"descent, constrained, at 25 NM", 1, 1, 0, 1, 190, 25, 12000, 0, 0, 0, {{kEventAirspeed, 260}}},
      {"descent, constrained, within 25 NM", 1, 1, 0, 1, 190, 24.9, 12000, 0, 0, 0, {{kEventAirspeed, 190}}},
      {"descent, a procedure's altitude and speed", 1, 1, 0, 3, 200, 20, 12000, 0, 0, 0, {{kEventAirspeed, 200}}},
      {"descent, a procedure's speed alone", 1, 1, 0, 2, 200, 20, 12000, 0, 0, 0, {{kEventAirspeed, 260}}},
      {"descent, free, below the restriction", 1, 1, 0, 0, 280, 20, 9000, 0, 0, 0, {{kEventAirspeed, 240}}},
      {"descent, free, above it", 1, 1, 0, 0, 280, 20, 12000, 0, 0, 0, {{kEventAirspeed, 260}}},
      // Climb.
      {"climb, constrained, above the restriction", 0, 0, 0, 1, 280, 20, 12000, 0, 0, 0, {{kEventAirspeed, 280}}},
      // An EXEC far out in the climb: the climb speed until the 25 NM.
      {"climb, constrained, 60 NM out", 0, 0, 0, 1, 170, 60, 12000, 0, 0, 0, {{kEventAirspeed, 290}}},
      {"climb, constrained, at 25 NM", 0, 0, 0, 1, 170, 25, 12000, 0, 0, 0, {{kEventAirspeed, 290}}},
      {"climb, constrained, within 25 NM", 0, 0, 0, 1, 170, 24.9, 12000, 0, 0, 0, {{kEventAirspeed, 170}}},
      {"climb, next constraint within 25 NM", 0, 0, 0, 0, 280, 20, 12000, 1.8, 1, 230, {{kEventAirspeed, 230}}},
      {"climb, next constraint 26 NM away", 0, 0, 0, 0, 280, 20, 12000, 2.0 - 26.0 / 60.0, 1, 230,
       {{kEventAirspeed, 290}}},
      {"climb, next constraint at 50 kt", 0, 0, 0, 0, 280, 20, 12000, 1.8, 1, 50, {{kEventAirspeed, 290}}},
      {"climb, next constraint below the restriction", 0, 0, 0, 0, 280, 20, 9000, 1.8, 1, 230,
       {{kEventAirspeed, 230}}},
      {"climb, free, below the restriction", 0, 0, 0, 0, 280, 20, 9000, 0, 0, 0, {{kEventAirspeed, 250}}},
      // Cruise without a planned descent.
      {"cruise, free, Mach", 0, 1, 1, 0, 280, 20, 30000, 0, 0, 0, {{kEventMach, 78}}},
      {"cruise, free, airspeed", 0, 1, 0, 0, 280, 20, 30000, 0, 0, 0, {{kEventAirspeed, 300}}},
      {"cruise, constrained, next far", 0, 1, 0, 1, 280, 20, 30000, 0, 1, 230, {{kEventAirspeed, 300}}},
      {"cruise, constrained, next near", 0, 1, 0, 1, 280, 20, 30000, 1.8, 1, 230, {{kEventAirspeed, 280}}},
  };
  for (const Case& c : cases) {
    host.key_events.clear();
    m.CruiseSpeed = 300;  // a constraint's slower speed lowers them
    m.DescentSpeed = 260;
    m.VnavSetMachCruiseSpd = c.mach_cruise;
    g.VerticalProfileValid = c.profile;
    g.TocPassed = c.toc;
    g.VnavSpeedSet = 0;
    g.VnavSpdRestPending = 1;
    g.ClimbRestrictionSpeedSet = 0.0;
    g.ActiveWaypointDistance = c.distance;
    g.AircraftAltitude = c.altitude;
    g.PlaneLatitude = c.plane_lat;
    model::FlightPlanWaypoint& active = fp.ActiveFlightPlan[1];
    active.constraint_flag = c.active_flag;
    active.altitude_constraint = 15000.0;
    active.speed_constraint = c.active_speed;
    model::FlightPlanWaypoint& next = fp.ActiveFlightPlan[2];
    next.constraint_flag = c.next_flag;
    next.altitude_constraint = 16000.0;
    next.speed_constraint = c.next_speed;
    g.NextConstraintIndex = 2;
    g.NextConstraintAltitude = next.altitude_constraint;  // climbing to it
    ForgetSentCommands();  // each case on its own
    CoupleSpeedToAutopilot();
    EXPECT_EQ(host.key_events, c.sent) << c.what;
    EXPECT_EQ(g.VnavSpeedSet, 1) << c.what;
  }
  // A constrained waypoint slower than the descent speed slows the rest of
  // the flight down to it.
  host.key_events.clear();
  g.VerticalProfileValid = 1;
  g.VnavSpeedSet = 0;
  g.AircraftAltitude = 12000.0;
  g.ActiveWaypointDistance = 20.0;
  fp.ActiveFlightPlan[1].constraint_flag = 1;
  fp.ActiveFlightPlan[1].speed_constraint = 210.0;
  CoupleSpeedToAutopilot();
  EXPECT_EQ(host.key_events, (Events{{kEventAirspeed, 210}}));
  EXPECT_EQ(m.DescentSpeed, 210);
  EXPECT_EQ(m.CruiseSpeed, 210);
}

// 240 kt below 10000 ft in the descent, sent where slowing at a knot a second
// at the present vertical speed meets it there: from 280 kt at 2000 ft/min
// 40 s, 1333 ft above it. Once in force it holds, though slowing shrinks
// the window (667 ft at 260 kt): the next waypoint's speed logic keeps it.
// The rate is the faster of the aircraft's and the one the autopilot is
// sent toward an altitude below: steepened to 3,000 ft/min, 2,000 ft.
TEST_F(VnavTest, DescentRestrictionSpeedSentToBeMetAtItsAltitude) {
  State& g = guidance_state;
  g.VerticalProfileValid = g.TocPassed = g.TodPassed = 1;
  g.ApAirspeedHoldVar = g.PreviousApAirspeedHoldVar = 280.0;
  model::FlightPlanWaypoint& w = flightplan::flightplan_state.ActiveFlightPlan[1];
  w.altitude_constraint = 11000.0;
  w.speed_constraint = 280.0;
  g.ActiveWaypointDistance = 20.0;
  model::model_state.DescentSpeed = 260;
  struct Case {
    double altitude, vs, airspeed, in_force;
    bool at_waypoint;    // the speed logic runs, as at a waypoint; else the restriction check alone
    std::uint32_t sent;  // 0 none
    double ap_vs = 0.0, ap_altitude = 0.0;  // the autopilot's vertical speed and altitude
  };
  const Case cases[] = {{11333, -2000, 280, 0, false, 240}, {11334, -2000, 280, 0, false, 0},
                        {10999, -1500, 280, 0, false, 240}, {9999, 2000, 280, 0, false, 240},
                        {10001, 0, 280, 0, false, 0},       {10001, -2000, 240, 0, false, 0},
                        {11000, -2000, 260, 1, true, 240},  {11000, -2000, 260, 0, true, 260},
                        // Steepened, the aircraft still at 367 ft/min; the
                        // dial alone, with the altitude held, is no descent.
                        {11999, -367, 280, 0, false, 240, -3000, 872},
                        {12001, -367, 280, 0, false, 0, -3000, 872},
                        {10550, 0, 280, 0, false, 0, -3000, 10550},
                        {10550, 0, 280, 0, false, 0, -3000, 10451}};
  for (const Case& c : cases) {
    host.key_events.clear();
    ForgetSentCommands();  // each case on its own
    g.AircraftAltitude = c.altitude;
    g.VerticalSpeedFpm = c.vs;
    g.SmoothedAirspeed = c.airspeed;
    g.ApVerticalSpeedVar = c.ap_vs;
    g.ApAltitudeLockVar = c.ap_altitude;
    g.DescentRestrictionSpeedSet = c.in_force;
    g.VnavSpeedSet = c.at_waypoint ? 0 : 1;
    c.at_waypoint ? CoupleSpeedToAutopilot() : RunSpeedRestrictionChecks();
    EXPECT_EQ(host.key_events, (c.sent == 0 ? Events() : Events{{kEventAirspeed, c.sent}})) << c.altitude;
  }
}

TEST_F(VnavTest, DestinationCrossedTwoHundredFeetAboveOnlyWithVnav) {
  State& g = guidance_state;
  model::FlightPlanWaypoint& apt = flightplan::flightplan_state.ActiveFlightPlan[3];
  apt.altitude_constraint = 26.0;
  g.TocPassed = 1;
  g.TodPassed = 1;
  SelectNextConstraint();
  EXPECT_EQ(g.NextConstraintIndex, 3);
  EXPECT_EQ(g.NextConstraintAltitude, 226.0);
  EXPECT_EQ(g.VnavAltitudeSet, 0);
  g.VnavEngaged = 0;
  SelectNextConstraint();
  EXPECT_EQ(g.NextConstraintAltitude, 26.0);
  // A constraint before it is the target, as it is.
  model::FlightPlanWaypoint& w2 = flightplan::flightplan_state.ActiveFlightPlan[2];
  w2.constraint_flag = 1;
  w2.altitude_constraint = 4000.0;
  g.VnavEngaged = 1;
  SelectNextConstraint();
  EXPECT_EQ(g.NextConstraintIndex, 2);
  EXPECT_EQ(g.NextConstraintAltitude, 4000.0);
  // In cruise the target is the top of descent, and the altitude is held.
  g.TodPassed = 0;
  g.TodLatitude = 1.5;
  SelectNextConstraint();
  EXPECT_EQ(g.NextConstraintLat, 1.5);
  EXPECT_EQ(g.VnavAltitudeSet, 1);
}

}  // namespace
}  // namespace ovi::guidance
