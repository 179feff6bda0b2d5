// Waypoint passage, switch distances and the LNAV heading output.
#include <gtest/gtest.h>

#include <cmath>

#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/autopilot_commands.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/module_state.h"
#include "src/host/subsystem_links.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/host/fake_panels.h"

namespace ovi::guidance {
namespace {

constexpr std::uint32_t kHeadingBug = 66042;

class SequencingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    // North up the prime meridian to the equator, then east along it: a
    // 90-degree turn at entry 1, and on to entries 2 and 3.
    Entry(0, -1.0, 0.0, "A");
    Entry(1, 0.0, 0.0, "B");
    Entry(2, 0.0, 1.0, "C");
    Entry(3, 0.0, 2.0, "D");
    flightplan::flightplan_state.ActiveFlightPlanLastIndex = 3;
    Activate(1);
  }
  void TearDown() override { ResetModuleState(); }

  static void Entry(int i, double lat, double lon, const char* ident) {
    model::FlightPlanWaypoint& w = flightplan::flightplan_state.ActiveFlightPlan[i];
    w.ident = ident;
    w.latitude = lat;
    w.longitude = lon;
  }
  static void Activate(int i) {
    flightplan::flightplan_state.ActiveWaypointIndex = i;
    guidance_state.ActiveWaypointLat = flightplan::flightplan_state.ActiveFlightPlan[i].latitude;
    guidance_state.ActiveWaypointLon = flightplan::flightplan_state.ActiveFlightPlan[i].longitude;
  }
  static void At(double lat, double lon, double heading) {
    guidance_state.PlaneLatitude = lat;
    guidance_state.PlaneLongitude = lon;
    guidance_state.AircraftHeading = heading;
  }
  testing::FakeHost host;
};

TEST_F(SequencingTest, SwitchDistanceByTagFlyoverTimeAndTurn) {
  model::State& m = model::model_state;
  m.SequenceFPlanWpts = 0;  // measure only
  m.WptChgDist = 3.0;
  m.WptProcChgDist = 2.0;
  m.FlyoverWptChgDist = 1.5;
  State& g = guidance_state;
  g.ActiveWaypointDistance = 12.0;  // within 15 NM: the turn counts
  g.DesiredTrack = 360.0;
  g.NextLegCourse = 90.0;
  struct Case {
    const char* tag;
    int flyover;
    double expected;
  };
  const Case cases[] = {
      {"SID", 0, 2.0 + 2.52},  {"STAR", 0, 2.0 + 2.52}, {"SIDSTAR", 0, 2.0 + 2.52}, {"APCH", 0, 2.0 + 2.52},
      {"APPR", 0, 3.0 + 2.52}, {"sid", 0, 3.0 + 2.52}, {"", 0, 3.0 + 2.52},       {"", 1, 1.5},
      {"APPR", 1, 1.5},        {"SID", 1, 2.0},
  };
  for (const Case& c : cases) {
    flightplan::flightplan_state.ActiveFlightPlan[1].procedure_tag = c.tag;
    flightplan::flightplan_state.ActiveFlightPlan[1].flyover = c.flyover;
    RunWaypointPassage();
    EXPECT_NEAR(g.WaypointSwitchDistance, c.expected, 1e-9) << c.tag << " flyover " << c.flyover;
  }
  // Beyond 15 NM no allowance; 15.0 itself is beyond.
  flightplan::flightplan_state.ActiveFlightPlan[1].procedure_tag = "";
  flightplan::flightplan_state.ActiveFlightPlan[1].flyover = 0;
  g.ActiveWaypointDistance = 15.0;
  RunWaypointPassage();
  EXPECT_EQ(g.WaypointSwitchDistance, 3.0);
  // 30 seconds at 240 kt are 2.0 NM, and the time option overwrites the
  // distance option; a 45-degree turn adds 45 x 0.028.
  m.WptChgSecs = 30.0;
  g.GroundSpeedKnots = 240.0;
  g.ActiveWaypointDistance = 5.0;
  g.NextLegCourse = 45.0;
  RunWaypointPassage();
  EXPECT_NEAR(m.WptChgDist, 2.0, 1e-12);
  EXPECT_NEAR(g.WaypointSwitchDistance, 2.0 + 45 * 0.028, 1e-9);
  m.WptProcChgSecs = 15.0;
  flightplan::flightplan_state.ActiveFlightPlan[1].procedure_tag = "STAR";
  RunWaypointPassage();
  EXPECT_NEAR(g.WaypointSwitchDistance, 1.0 + 45 * 0.028, 1e-9);
}

// A turn is led from the speed it is flown at: where the plan is faster at
// the waypoint than the aircraft as it draws near (climbing, or speeding
// up past a restriction), LNAV leads the turn as if the aircraft flew the
// plan's speed already, in the wind on the leg in; where the plan is
// slower, or gives none, or in the descent, from the aircraft's own.
TEST_F(SequencingTest, ATurnIsLedFromTheSpeedItIsFlownAt) {
  model::State& m = model::model_state;
  m.SequenceFPlanWpts = 0;  // measure only
  m.WptChgDist = 3.0;
  State& g = guidance_state;
  g.MagneticVariation = -12.0;
  model::FlightPlanWaypoint& b = flightplan::flightplan_state.ActiveFlightPlan[1];
  // The aircraft 30 NM short of B, on the leg north into it (true course
  // 0), at `tas` in a wind; B turns 90 degrees right.
  auto lead = [&](double tas, double planned, double wind_from, double wind_speed) {
    b.speed_constraint = planned > 0.0 ? planned : model::kNoValue;
    b.altitude_constraint = planned > 0.0 ? 0 : model::kNoValue;
    g.WindDirection = wind_from;
    g.WindSpeed = wind_speed;
    const double crab = WindCorrectionAngle(0.0, tas, wind_from, wind_speed);
    const double d2r = M_PI / 180.0;
    g.GroundSpeedKnots = tas * std::cos(crab * d2r) - wind_speed * std::cos(wind_from * d2r);
    At(-0.5, 0.0, crab - g.MagneticVariation);
    g.ActiveWaypointDistance = 30.0;
    RunWaypointPassage();
    return g.WaypointSwitchDistance;
  };
  struct Row {
    double tas, planned, wind_from, wind_speed;
    bool faster;  // the plan's speed at B leads the turn
  };
  const Row rows[] = {
      {300.0, 420.0, 0.0, 0.0, true},     {300.0, 420.0, 270.0, 90.0, true},  {250.0, 330.0, 180.0, 120.0, true},
      {250.0, 340.0, 270.0, 60.0, true},   {380.0, 460.0, 45.0, 60.0, true},   {300.0, 301.0, 300.0, 40.0, true},
      {420.0, 300.0, 270.0, 90.0, false}, {300.0, 0.0, 90.0, 50.0, false},    {300.0, 300.0, 0.0, 0.0, false},
  };
  g.ClimbEndIndex = 2;  // B in the climb
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.tas << " kt, planned " << r.planned << ", wind " << r.wind_from << "/"
                                      << r.wind_speed);
    const double led = lead(r.tas, r.planned, r.wind_from, r.wind_speed);
    const double planned = PlannedTrueAirspeed(1);
    if (r.planned > 0.0) {
      ASSERT_TRUE(std::isfinite(planned));
      EXPECT_NEAR(planned, r.planned, 0.01 * r.planned);
    }
    const double own = lead(r.tas, 0.0, r.wind_from, r.wind_speed);
    if (!r.faster) {
      EXPECT_EQ(led, own);
      continue;
    }
    EXPECT_NEAR(led, lead(planned, 0.0, r.wind_from, r.wind_speed), 1e-6);
    if (planned - r.tas > 40.0) {
      EXPECT_GT(led, own + 0.5);
    }
  }
  // In the descent the aircraft slows to the plan's speeds: one slower than
  // the plan flies on slower, and its own speed leads the turn.
  g.ClimbEndIndex = 1;
  EXPECT_EQ(lead(300.0, 420.0, 270.0, 90.0), lead(300.0, 0.0, 270.0, 90.0));
}

TEST_F(SequencingTest, PassingRecordsTheWaypointAndSetsUpTheNextLeg) {
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.ZuluHour = 9.0;
  g.ZuluMinute = 5.0;
  g.GroundSpeedKnots = 250.0;
  g.AircraftAltitude = 12000.0;
  g.WaypointSwitchDistance = 3.0;
  g.ActiveWaypointDistance = 2.9;
  g.ActiveLegFromEngagePosition = 1;
  g.LegOriginLatitude = -1.0;  // a direct-to begun over A
  model::model_state.SetWptBaro = 1;
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
  EXPECT_EQ(flightplan::flightplan_state.ActiveFlightPlan[1].time_over_text, "09:05");
  EXPECT_EQ(g.LastWaypointIdent, "B");
  EXPECT_EQ(g.LastWaypointTimeText, "0905Z");
  EXPECT_EQ(g.LastWaypointAltitude, 12000.0);
  EXPECT_EQ(g.LnavLegTracking, 1);
  EXPECT_EQ(g.ActiveLegFromEngagePosition, 0);
  EXPECT_EQ(g.ActiveWaypointLat, 0.0);
  EXPECT_EQ(g.ActiveWaypointLon, 1.0);
  ASSERT_FALSE(host.key_events.empty());
  EXPECT_EQ(host.key_events.back(), std::make_pair(65584u, 0u));
  // The time over a waypoint stays as first written; at 65 kt none is written.
  flightplan::flightplan_state.ActiveFlightPlan[2].time_over_text = "08:00";
  g.ActiveWaypointDistance = 50.0;
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveFlightPlan[2].time_over_text, "08:00");
  g.GroundSpeedKnots = 65.0;
  g.LnavEngaged = 0;
  model::model_state.SequenceFPlanWpts = 0;
  g.ActiveWaypointDistance = 1.0;
  flightplan::flightplan_state.ActiveFlightPlan[2].time_over_text.clear();
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveFlightPlan[2].time_over_text, "");
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);  // LNAV off, no sequencing
}

// Climbing through B, VNAV takes C's speed (300 kt, above the 280 flown)
// once C is within the 25 NM at which speed restrictions are taken: judged
// at B's passing by C's own distance, not by what was left to B. B passed
// abeam keeps its mark for them.
TEST_F(SequencingTest, AtAPassingTheSpeedsJudgeTheNewWaypointByItsOwnDistance) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  struct Case {
    double c_nm;  // from B, south-west across the meridian
    double b_nm;  // left to B as it is passed; -1: passed abeam
    bool sent;
  };
  const Case cases[] = {{80.0, 5.5, false}, {28.0, 5.5, false}, {20.0, 5.5, true}, {20.0, -1.0, true}, {80.0, -1.0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.c_nm) + " " + std::to_string(c.b_nm));
    host.key_events.clear();
    ForgetSentCommands();  // each case on its own
    double lat = 0.0, lon = 0.0;
    navdb::ProjectPosition(0.0, 0.0, 250.0, c.c_nm, lat, lon);
    Entry(2, lat, lon, "C");
    model::FlightPlanWaypoint& w = flightplan::flightplan_state.ActiveFlightPlan[2];
    w.constraint_flag = 1;
    w.altitude_constraint = 22900.0;
    w.speed_constraint = 300.0;
    flightplan::ActiveRouteChanged();
    Activate(1);
    flightplan::flightplan_state.RouteState = 3;
    m.VnavSetSpd = 1;
    m.ClimbIas = 280;
    g.LnavEngaged = g.VnavEngaged = 1;
    g.TocPassed = g.VerticalProfileValid = 0;
    g.VnavSpeedSet = 1;
    g.AircraftAltitude = 21900.0;
    g.GroundSpeedKnots = 420.0;
    g.WaypointSwitchDistance = 6.0;
    At(-5.5 / 60.0, 0.0, 0.0);
    g.ActiveWaypointDistance = c.b_nm;
    RunWaypointPassage();
    ASSERT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
    double to_c = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, lat, lon, to_c, course);
    // Passed abeam, the mark stays for the speeds.
    EXPECT_DOUBLE_EQ(g.ActiveWaypointDistance, c.b_nm < 0.0 ? c.b_nm : to_c);
    bool sent = false;
    for (const auto& [id, value] : host.key_events) sent = sent || (id == 66037u && value == 300u);
    EXPECT_EQ(sent, c.sent);
  }
}

// The navigator's direct-to puts a "DIRECT" entry where the aircraft was,
// here 30 NM back from the waypoint skipped (the route doubling back 162
// degrees there, a lead of 45 NM at 480 kt). Nothing is turned at it: the
// turn of 117 degrees at the waypoint gone to keeps its whole lead of the
// 19-NM leg, as on a route begun at that place; an ordinary waypoint there
// shares the leg.
TEST_F(SequencingTest, NothingIsTurnedWhereTheNavigatorsDirectToBegan) {
  State& g = guidance_state;
  auto switch_distance = [&](bool from_start, const char* ident) {
    ResetModuleState();
    host.Bind();
    int i = 0;
    if (!from_start) {
      Entry(i++, -1.0, 0.0, "ORIG");
      Entry(i++, 0.0, 0.0, "WP01");
    }
    Entry(i++, -0.5, 0.0, ident);
    Entry(i++, -0.2, 0.1, "WP02");
    Entry(i, -0.7, 0.6, "WP03");
    flightplan::flightplan_state.ActiveFlightPlanLastIndex = i;
    Activate(i - 1);
    model::model_state.SequenceFPlanWpts = 0;  // measure only
    g.GroundSpeedKnots = 480.0;
    g.ActiveWaypointDistance = 12.0;
    At(-0.4, 0.03, 18.0);
    RunWaypointPassage();
    return g.WaypointSwitchDistance;
  };
  const double unshared = switch_distance(true, "DIRECT");
  EXPECT_GT(unshared, 10.0);  // more than half the leg
  EXPECT_EQ(switch_distance(false, "DIRECT"), unshared);
  EXPECT_LT(switch_distance(false, "PLACE"), unshared - 2.0);
}

// A direct-to B begun 4 NM from it, on its first pass, the switch distance
// still the 8 NM the leg flown before led its turn by: B is passed no
// farther out than the leg from where the direct-to was begun, ahead of the
// aircraft or behind it. The route's own leg keeps its lead.
TEST_F(SequencingTest, ADirectTosFirstPassTakesNoSwitchDistanceFromTheLegBefore) {
  struct Case {
    const char* name;
    int direct_to;
    double from_b;  // true bearing from B to the aircraft
    double heading;
    int active;     // after the pass
  } const kCases[] = {
      {"direct to B ahead", 1, 180.0, 0.0, 1},
      {"direct to B behind", 1, 0.0, 0.0, 1},
      {"direct to B behind, west of it", 1, 270.0, 270.0, 1},
      {"the leg into B", 0, 180.0, 0.0, 2},
  };
  State& g = guidance_state;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Activate(1);
    double lat = 0.0, lon = 0.0;
    navdb::ProjectPosition(0.0, 0.0, c.from_b, 4.0, lat, lon);
    At(lat, lon, c.heading);
    g.LegOriginLatitude = lat;
    g.LegOriginLongitude = lon;
    g.ActiveLegFromEngagePosition = c.direct_to;
    g.LnavLegTracking = c.direct_to == 1 ? 0 : 1;
    g.LnavEngaged = 1;
    g.WaypointSwitchDistance = 8.0;
    g.ActiveWaypointDistance = 4.0;
    RunWaypointPassage();
    EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, c.active);
  }
}

// B turns 150 degrees right onto a 14-NM leg to C, which turns 116 more.
// B is passed at 250 kt, at its lead (7.4 NM); at 420 kt the same turn
// would be led by 20 NM, more than the leg. The aircraft is faster by C:
// its turn is led by what B's turn left of the leg (14 - 7.4 NM), not by a
// share in proportion to a lead B was never flown at (4.2 NM).
TEST_F(SequencingTest, TheLegAfterAWaypointIsWhatItsTurnWasPassedAtLeft) {
  double c_lat = 0.0, c_lon = 0.0, d_lat = 0.0, d_lon = 0.0;
  navdb::ProjectPosition(0.0, 0.0, 150.0, 14.0, c_lat, c_lon);
  navdb::ProjectPosition(c_lat, c_lon, 266.0, 30.0, d_lat, d_lon);
  Entry(2, c_lat, c_lon, "C");
  Entry(3, d_lat, d_lon, "D");
  State& g = guidance_state;
  model::model_state.WptChgDist = 3.0;
  g.LnavEngaged = 1;
  g.GroundSpeedKnots = 250.0;
  At(-0.1, 0.0, 0.0);
  g.ActiveWaypointDistance = 6.0;
  RunWaypointPassage();
  const double b_passed_at = g.WaypointSwitchDistance;
  ASSERT_GT(b_passed_at, 6.0);
  g.ActiveWaypointDistance = b_passed_at - 0.1;
  RunWaypointPassage();
  ASSERT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
  EXPECT_EQ(g.PassedSwitch[0], b_passed_at);
  // Measured on the leg to C, 12 NM out, at 420 kt.
  g.LnavEngaged = 0;
  model::model_state.SequenceFPlanWpts = 0;
  g.GroundSpeedKnots = 420.0;
  navdb::ProjectPosition(0.0, 0.0, 150.0, 2.0, g.PlaneLatitude, g.PlaneLongitude);
  g.AircraftHeading = 150.0;
  g.ActiveWaypointDistance = 12.0;
  RunWaypointPassage();
  const double led = g.WaypointSwitchDistance;
  EXPECT_NEAR(led, 14.0 - b_passed_at, 0.01);
  // Not known where B was passed (another waypoint passed last): shared.
  g.PassedSwitch[1] = 1.0;
  RunWaypointPassage();
  EXPECT_LT(g.WaypointSwitchDistance, led - 2.0);
  g.PassedSwitch[1] = 0.0;
  RunWaypointPassage();
  EXPECT_EQ(g.WaypointSwitchDistance, led);
}

// At 480 kt the right angle at B is led by its radius (7.2 NM and the roll
// into it); a hold at B is flown there instead of the turn: B is flown
// over, passed at the fly-over distance (1.5 NM), after the hold's entry
// (within the configured 3 + 90 x 0.028 NM).
TEST_F(SequencingTest, AHoldsFixIsNotLedByTheRoutesTurn) {
  model::model_state.SequenceFPlanWpts = 0;  // measure only
  State& g = guidance_state;
  g.GroundSpeedKnots = 480.0;
  g.ActiveWaypointDistance = 12.0;
  g.DesiredTrack = 360.0;
  g.NextLegCourse = 90.0;
  At(-12.0 / 60.0, 0.0, 0.0);
  RunWaypointPassage();
  EXPECT_GT(g.WaypointSwitchDistance, 7.2);
  flightplan::State& fp = flightplan::flightplan_state;
  fp.HoldTable[1].active_index = 1;
  fp.HoldCount = 1;
  RunWaypointPassage();
  EXPECT_NEAR(g.WaypointSwitchDistance, 1.5, 1e-9);
}

// Passed 4 NM before the right angle at B at 250 kt: the distance to go is
// the path the aircraft flies round the corner, before the sequencing as
// after it: shorter than the legs (4 + 120 NM), longer than straight from
// the aircraft to C and on to D.
TEST_F(SequencingTest, ACornerSequencedEarlyKeepsTheDistanceToGo) {
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.LnavLegTracking = 1;
  g.GroundSpeedKnots = 250.0;
  g.WaypointSwitchDistance = 5.0;
  g.ActiveWaypointDistance = 4.0;
  At(-4.0 / 60.0, 0.0, 0.0);
  UpdateVerticalProfile();
  const double before = g.DestinationDistance;
  RunWaypointPassage();
  ASSERT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
  EXPECT_NEAR(g.DestinationDistance, before, 0.05);
  EXPECT_LT(before, 124.0 - 1.0);
  EXPECT_GT(g.DestinationDistance, std::hypot(4.0, 60.0) + 60.0);
}

TEST_F(SequencingTest, FuelAtTheWaypointPassedInTheWeightUnit) {
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.WaypointSwitchDistance = 3.0;
  host.tokens[386] = 1000.0;  // gallons on board
  host.tokens[306] = 6.7;     // pounds a gallon
  struct Case {
    const char* unit;
    double fuel;
  };
  for (const Case& c : {Case{"LBS", 6700.0}, Case{"KGS", 6700.0 * 0.45359237}}) {
    model::model_state.WeightUnit = c.unit;
    Activate(1);
    g.ActiveWaypointDistance = 1.0;
    RunWaypointPassage();
    EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
    EXPECT_NEAR(g.LastWaypointFuel, c.fuel, 1e-9) << c.unit;
  }
}

TEST_F(SequencingTest, NextLegCourseWithin10MilesAndNotAtTheLast) {
  // B's next leg runs east (090); the last waypoint D has none.
  State& g = guidance_state;
  g.NextLegCourse = 45.0;
  At(-10.5 / 60.0, 0.0, 0.0);  // 10.5 NM short of B
  UpdateLegGeometry();
  EXPECT_EQ(g.NextLegCourse, 45.0);
  At(-9.5 / 60.0, 0.0, 0.0);
  UpdateLegGeometry();
  EXPECT_NEAR(g.NextLegCourse, 90.0, 1e-9);
  // A westerly variation: 090 true is 100 magnetic.
  g.MagneticVariation = -10.0;
  UpdateLegGeometry();
  EXPECT_NEAR(g.NextLegCourse, 100.0, 1e-9);
  g.MagneticVariation = 0.0;
  g.NextLegCourse = 45.0;
  Activate(3);
  At(0.0, 1.9, 90.0);  // 6 NM short of D, the last
  UpdateLegGeometry();
  EXPECT_NEAR(g.ActiveWaypointDistance, 6.0, 1e-6);
  EXPECT_EQ(g.NextLegCourse, 45.0);
}

TEST_F(SequencingTest, TheEndOfTheRouteSwitchesTheModesOff) {
  State& g = guidance_state;
  model::State& m = model::model_state;
  g.LnavEngaged = g.VnavEngaged = 1;
  g.WaypointSwitchDistance = 3.0;
  // Passing the last-but-one: LNAV off as configured; VNAV only after the TOC.
  Activate(2);
  g.ActiveWaypointDistance = 1.0;
  g.TocPassed = 0;
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 3);
  EXPECT_EQ(g.LnavEngaged, 0);
  EXPECT_EQ(g.VnavEngaged, 1);
  g.TocPassed = 1;
  g.LnavEngaged = 1;
  Activate(2);
  g.ActiveWaypointDistance = 1.0;
  RunWaypointPassage();
  EXPECT_EQ(g.VnavEngaged, 0);
  // With the options off both stay on, and the last waypoint is not passed:
  // its pass turns LNAV off instead.
  m.LnavOffAtLastWpt = 0;
  m.VnavOffAtLastWpt = 0;
  g.LnavEngaged = g.VnavEngaged = 1;
  Activate(2);
  g.ActiveWaypointDistance = 1.0;
  RunWaypointPassage();
  EXPECT_EQ(g.LnavEngaged, 1);
  EXPECT_EQ(g.VnavEngaged, 1);
  g.ActiveWaypointDistance = 1.0;
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 3);
  EXPECT_EQ(g.LnavEngaged, 0);
  EXPECT_EQ(g.VnavEngaged, 1);
}

TEST_F(SequencingTest, AbeamSkipsAWaypointBehindButNotTheLastTwo) {
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.ApHeadingLock = 1;
  g.WaypointSwitchDistance = 3.0;
  // Past B, 5 NM from it: B bears 200 off a 000 desired track.
  At(0.1, 3.0 / 60.0, 90.0);
  g.DesiredTrack = 0.0;
  g.NextLegCourse = 0.0;
  g.BearingToActiveWaypoint = 200.0;
  g.ActiveWaypointDistance = 5.0;
  g.TocPassed = 1;
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
  EXPECT_EQ(g.TodRecheckAfterSkip, 1);
  // C is the waypoint before the last: not skipped.
  Activate(2);
  g.DesiredTrack = 90.0;
  g.NextLegCourse = 90.0;
  g.BearingToActiveWaypoint = 250.0;
  g.ActiveWaypointDistance = 5.0;
  g.WaypointSwitchDistance = 3.0;
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
  // Exactly 90 degrees off (abeam) is not behind.
  Activate(1);
  g.DesiredTrack = 0.0;
  g.NextLegCourse = 0.0;
  g.BearingToActiveWaypoint = 270.0;
  g.ActiveWaypointDistance = 5.0;
  g.WaypointSwitchDistance = 3.0;
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 1);
}

// Within its switch distance a waypoint is passed only where it is not
// behind the aircraft's way over the ground (more than 90 whole degrees off
// its track): a hairpin's leg in can run half a mile from the waypoint
// after the turn (KRATR2's leg into LAVAA beside BEAVR), and that one was
// passed the moment the turn's waypoint was, LNAV turning for the one
// after it. Measured across 360, in a wind (the track, not the heading);
// the abeam pass of a waypoint behind its leg stands.
TEST_F(SequencingTest, WithinTheSwitchDistanceOnlyAWaypointNotBehindTheWayIsPassed) {
  State& g = guidance_state;
  struct Case {
    double track, bearing, desired;
    int active_after;
  };
  const Case cases[] = {
      {350.0, 10.0, 10.0, 2},    // ahead, across 360
      {10.0, 100.0, 100.0, 2},   // 90 off: beside, not behind
      {10.0, 101.0, 101.0, 1},   // 91 off: behind
      {350.0, 260.0, 260.0, 2},  // 90 off the other way
      {350.0, 259.0, 259.0, 1},  // 91 off the other way
      {240.0, 350.0, 54.0, 1},   // the hairpin's leg in, its next waypoint to the side and behind
      {54.0, 60.0, 54.0, 2},     // come round onto its leg: passed
      {0.0, 200.0, 0.0, 2},      // behind its own leg too: passed abeam
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "track " << c.track << " bearing " << c.bearing);
    SetUp();
    g.LnavEngaged = 1;
    g.ApHeadingLock = 1;
    // Crabbed 30 degrees into the wind: the heading alone reads otherwise.
    At(0.1, 0.0, c.track + 30.0);
    g.GroundTrack = c.track;
    g.DriftAngle = 30.0;
    g.DesiredTrack = c.desired;
    g.NextLegCourse = c.desired;
    g.BearingToActiveWaypoint = c.bearing;
    g.ActiveWaypointDistance = 0.45;
    g.WaypointSwitchDistance = 0.5;
    RunWaypointPassage();
    EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, c.active_after);
  }
}

// Out of a hold taken from the table while it was flown (EXIT HOLD), the
// fix is passed abeam like any other, though it is the last but one; flown
// to by a direct-to (no leg into it to join again), as far out as a
// racetrack reaches. The last is still flown to. The hold goes through the
// table as the CDU's EXEC takes it out.
TEST_F(SequencingTest, TheFixOfAHoldLeftIsPassedAbeamThoughTheLastButOne) {
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  struct Case {
    int fix;         // the hold's fix, active
    bool hold_left;  // the hold taken out while flown
    bool direct_to;  // the fix flown to by a direct-to
    double desired, bearing, distance;
    int active_after;
  };
  // C (2) is the last but one, D (3) the last. Desired tracks about north,
  // so that "behind" is measured across 360.
  const Case cases[] = {
      {2, true, false, 353.0, 233.0, 7.7, 3},    // 120 degrees off: passed
      {2, true, false, 353.0, 262.0, 9.99, 3},   // 91 off: passed
      {2, true, false, 353.0, 263.0, 7.7, 2},    // exactly 90 off: abeam, not behind
      {2, true, false, 353.0, 233.0, 10.0, 2},   // 10 NM off: outside the window
      {2, true, true, 353.0, 233.0, 10.0, 3},    // after a direct-to: within a racetrack's reach
      {2, true, true, 353.0, 233.0, 29.99, 3},   // as far as a racetrack reaches
      {2, true, true, 353.0, 233.0, 30.0, 2},    // 30 NM off: outside it
      {2, true, false, 353.0, 233.0, 999.0, 2},  // the distance EXEC leaves, not measured yet
      {2, true, true, 353.0, 233.0, 999.0, 2},   // so too after a direct-to
      {2, true, false, 5.0, 350.0, 7.7, 2},      // ahead: flown to
      {2, false, false, 353.0, 233.0, 7.7, 2},   // no hold left: the last but one stays
      {2, false, true, 353.0, 233.0, 12.0, 2},   // nor past 10 NM after a direct-to
      {3, true, false, 353.0, 173.0, 7.7, 3},    // the last stays (LNAV would go off)
      {1, false, false, 353.0, 173.0, 7.7, 2},   // before the last two, as ever
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "fix " << c.fix << " left " << c.hold_left << " direct-to " << c.direct_to
                                      << " bearing " << c.bearing << " at " << c.distance);
    SetUp();
    Activate(c.fix);
    g.LnavEngaged = 1;
    g.ApHeadingLock = 1;
    model::HoldingPattern& h = fp.HoldTable[1];
    h.name = fp.ActiveFlightPlan[c.fix].ident;
    h.active_index = c.fix;
    h.corners[0].latitude = fp.ActiveFlightPlan[c.fix].latitude;
    h.corners[0].longitude = fp.ActiveFlightPlan[c.fix].longitude;
    fp.HoldCount = 1;
    fp.ActiveFlightPlan[c.fix].hold_number = 1;
    g.ActiveHoldIndex = 1;
    g.HoldSegmentCounter = 3;
    flightplan::DeleteHold(c.fix, 0);
    ASSERT_EQ(g.HoldState, kHoldLeft);
    ASSERT_EQ(fp.HoldCount, 0);
    if (!c.hold_left) g.HoldState = 0;  // the fix passed, the next one flown to
    At(0.5, 0.5, c.bearing + 180.0);
    g.ActiveLegFromEngagePosition = c.direct_to ? 1 : 0;
    g.DesiredTrack = c.desired;
    g.NextLegCourse = c.desired;
    g.BearingToActiveWaypoint = c.bearing;
    g.ActiveWaypointDistance = c.distance;
    g.WaypointSwitchDistance = 1.5;
    RunWaypointPassage();
    EXPECT_EQ(fp.ActiveWaypointIndex, c.active_after);
    EXPECT_EQ(g.HoldState, c.active_after != c.fix ? 0 : (c.hold_left ? kHoldLeft : 0));
  }
}

// Ten miles or more off its leg LNAV goes on joining it where it meets it
// before the waypoint is passed (on its steepest intercept it covers as
// much of the leg as it is off it); where it would meet it only at or past
// the waypoint, it flies straight at the waypoint until the next one.
TEST_F(SequencingTest, LegTrackingEndsAtTenMilesOffTheLegWhereJoiningMakesNoSense) {
  // Leg A -> B up the meridian; the aircraft to its east.
  Activate(1);
  State& g = guidance_state;
  g.WaypointSwitchDistance = 3.0;
  auto xtk_at = [&](double lat, double east_nm) {
    At(lat, east_nm / 60.0, 0.0);
    UpdateLegGeometry();
    std::int32_t s1, sx, s3;
    double a1, x, a3;
    ComputeLegDeviation(s1, a1, sx, x, s3, a3, kOwnDeviationMode);
    return x;
  };
  // 12 NM short of B: 10 NM off, it would meet the leg 2 NM short of B,
  // within the switch distance. Find the offsets just below and at or
  // above 10.0 NM.
  double lo = 9.0, hi = 11.0;
  for (int i = 0; i < 200 && hi - lo > 1e-13; ++i) {
    double mid = (lo + hi) / 2.0;
    (xtk_at(-0.2, mid) < 10.0 ? lo : hi) = mid;
  }
  g.LnavLegTracking = 1;
  xtk_at(-0.2, lo);
  SteerLaterally();
  EXPECT_LT(g.CrossTrackDistance, 10.0);
  EXPECT_GT(g.CrossTrackDistance, 9.999);
  EXPECT_EQ(g.LnavLegTracking, 1);
  xtk_at(-0.2, hi);
  SteerLaterally();
  EXPECT_GE(g.CrossTrackDistance, 10.0);
  EXPECT_EQ(g.LnavLegTracking, 0);
  // Once off, back within 10 NM the aircraft still flies straight at B.
  xtk_at(-0.2, 2.0);
  SteerLaterally();
  EXPECT_EQ(g.LnavLegTracking, 0);
  EXPECT_EQ(g.LnavCommandedHeading, g.BearingToActiveWaypoint);
  // Abeam the leg's middle, 30 NM short of B, 10 and 25 NM off: the leg
  // is joined on the steepest intercept, 45 degrees (north-west, 315).
  for (double east : {10.5, 25.0}) {
    SCOPED_TRACE(east);
    g.LnavLegTracking = 1;
    xtk_at(-0.5, east);
    SteerLaterally();
    EXPECT_EQ(g.LnavLegTracking, 1);
    EXPECT_NEAR(g.LnavCommandedHeading, 315.0, 0.01);
  }
  // Past the leg's end, 12 NM off: straight at B.
  g.LnavLegTracking = 1;
  xtk_at(0.05, 12.0);
  SteerLaterally();
  EXPECT_EQ(g.LnavLegTracking, 0);
  EXPECT_EQ(g.LnavCommandedHeading, g.BearingToActiveWaypoint);
}

// A long lead leaves the aircraft far off the new leg as the waypoint is
// passed: while it still turns onto the leg, LNAV goes on joining it, and
// judges the join only once its track is within a few degrees of the
// steepest intercept; east and west of the leg, each side of the limit.
TEST_F(SequencingTest, TheJoinIsJudgedOnlyOnceTheTurnOntoTheLegIsFlown) {
  State& g = guidance_state;
  g.WaypointSwitchDistance = 3.0;
  struct Row {
    double east_nm, track;
    int tracking;
  };
  // Leg A -> B up the meridian (course 0); 12 NM short of B, 12 NM off it
  // would meet the leg only at B.
  const Row rows[] = {
      {12.0, 135.0, 1},  {12.0, 180.0, 1}, {12.0, 270.0, 1}, {12.0, 308.9, 1},
      {12.0, 309.1, 0},  {12.0, 315.0, 0}, {12.0, 0.0, 0},   {-12.0, 225.0, 1},
      {-12.0, 50.9, 0},  {-12.0, 51.0, 1}, {-12.0, 45.0, 0}, {-12.0, 160.0, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.east_nm << " NM east, track " << r.track);
    g.LnavLegTracking = 1;
    g.GroundTrack = r.track;
    At(-0.2, r.east_nm / 60.0, r.track);
    UpdateLegGeometry();
    SteerLaterally();
    EXPECT_GE(g.CrossTrackDistance, kLnavStraightAtWaypointOffset);
    EXPECT_EQ(g.LnavLegTracking, r.tracking);
  }
}

TEST_F(SequencingTest, LookAheadIsThreeMilesUpTo3Point5OffTheLeg) {
  // Leg A -> B up the meridian; the aircraft abeam its middle, to the east.
  // The steering point lies the look-ahead beyond the along-track point,
  // on the leg: its latitude tells the look-ahead (one arc minute a mile).
  State& g = guidance_state;
  g.LnavLegTracking = 1;
  auto look_ahead_at = [&](double east_nm) {
    At(-0.5, east_nm / 60.0, 0.0);
    UpdateLegGeometry();
    SteerLaterally();
    const double along = g.ActiveLegLength - g.ActiveWaypointDistance;
    return (g.LnavLegTargetLatitude - (-1.0 + along / 60.0)) * 60.0;
  };
  double lo = 3.0, hi = 4.0;
  for (int i = 0; i < 200 && hi - lo > 1e-13; ++i) {
    double mid = (lo + hi) / 2.0;
    look_ahead_at(mid);
    (g.CrossTrackDistance <= 3.5 ? lo : hi) = mid;
  }
  EXPECT_NEAR(look_ahead_at(lo), 3.0, 1e-6);
  EXPECT_LE(g.CrossTrackDistance, 3.5);
  EXPECT_NEAR(look_ahead_at(hi), 5.0, 1e-6);
  EXPECT_GT(g.CrossTrackDistance, 3.5);
  EXPECT_NEAR(look_ahead_at(0.5), 3.0, 1e-6);
  EXPECT_NEAR(look_ahead_at(6.0), 5.0, 1e-6);
}

TEST_F(SequencingTest, HeadingIsSentOncePerWholeDegreeWhileHeadingHoldIsOn) {
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.ApHeadingLock = 1;
  g.LnavLegTracking = 0;  // the heading is the bearing to the waypoint
  At(-0.5, 0.0, 0.0);
  auto steer = [&](double bearing) {
    g.BearingToActiveWaypoint = bearing;
    SteerLaterally();
  };
  steer(359.7);
  steer(359.2);
  steer(358.9);
  ASSERT_EQ(host.key_events.size(), 2u);
  EXPECT_EQ(host.key_events[0], std::make_pair(kHeadingBug, 359u));
  EXPECT_EQ(host.key_events[1], std::make_pair(kHeadingBug, 358u));
  // Heading hold off: nothing, and the same heading goes again once it is on.
  g.ApHeadingLock = 0;
  steer(358.5);
  EXPECT_EQ(g.LastSentLnavHeading, 999);
  g.ApHeadingLock = 1;
  steer(358.5);
  ASSERT_EQ(host.key_events.size(), 3u);
  EXPECT_EQ(host.key_events[2], std::make_pair(kHeadingBug, 358u));
  // Flying a hold: the hold sends its own headings.
  g.ActiveHoldIndex = 1;
  g.HoldSegmentCounter = 2;
  steer(100.0);
  EXPECT_EQ(host.key_events.size(), 3u);
  g.HoldSegmentCounter = 0;  // approaching the hold's fix: LNAV steers
  steer(100.0);
  EXPECT_EQ(host.key_events.size(), 4u);
}

TEST_F(SequencingTest, LegTrackingHeadingAroundNorthAndAcross180) {
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.ApHeadingLock = 1;
  g.WaypointSwitchDistance = 3.0;
  // Each leg is 60 NM (one degree on the equator or a meridian, one arc
  // minute a mile); the aircraft is 1 NM off it, 24 NM along it, so 36 NM
  // short of the waypoint: the distance to go is sqrt(36^2 + 1) = 36.014
  // and the steering point lies 60 - 36.014 + 3 = 26.986 NM along the leg
  // (1 NM off: the 3 NM look-ahead), 2.986 NM ahead of the aircraft and
  // 1 NM across: atan(1 / 2.986) = 18.51 degrees off the leg's course.
  struct Case {
    const char* where;
    double lat0, lon0, lat1, lon1, lat, lon, variation, heading;
  };
  constexpr double kOff = 18.51;
  const Case cases[] = {
      // Northbound up the prime meridian, east of the leg: left of north.
      {"north, east of it", -0.4, 0.0, 0.6, 0.0, 0.0, 1.0 / 60.0, 0.0, 360.0 - kOff},
      {"north, west of it", -0.4, 0.0, 0.6, 0.0, 0.0, -1.0 / 60.0, 0.0, kOff},
      // A westerly variation carries a heading right of north further
      // past 360; it is sent as the heading beyond north.
      {"north, west of it, 10 W", -0.4, 0.0, 0.6, 0.0, 0.0, -1.0 / 60.0, -10.0, kOff + 10.0},
      {"north, east of it, 10 W", -0.4, 0.0, 0.6, 0.0, 0.0, 1.0 / 60.0, -10.0, 370.0 - kOff},
      // An easterly one carries a heading just right of north back below 0.
      {"north, west of it, 20 E", -0.4, 0.0, 0.6, 0.0, 0.0, -1.0 / 60.0, 20.0, 360.0 + kOff - 20.0},
      // Eastbound across 180 on the equator, north of the leg.
      {"east across 180", 0.0, 179.5, 0.0, -179.5, 1.0 / 60.0, 179.9, 0.0, 90.0 + kOff},
      // Westbound across 180, south of the leg.
      {"west across 180", 0.0, -179.5, 0.0, 179.5, -1.0 / 60.0, -179.9, 0.0, 270.0 + kOff},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    Entry(0, c.lat0, c.lon0, "A");
    Entry(1, c.lat1, c.lon1, "B");
    Activate(1);
    At(c.lat, c.lon, 0.0);
    g.MagneticVariation = c.variation;
    g.LnavLegTracking = 1;
    g.ActiveLegFromEngagePosition = 0;
    g.LastSentLnavHeading = 999;
    host.key_events.clear();
    UpdateLegGeometry();
    SteerLaterally();
    EXPECT_NEAR(g.CrossTrackDistance, 1.0, 0.01);
    EXPECT_NEAR(g.LnavCommandedHeading, c.heading, 0.02);
    ASSERT_EQ(host.key_events.size(), 1u);
    EXPECT_EQ(host.key_events[0], std::make_pair(kHeadingBug, static_cast<std::uint32_t>(c.heading)));
  }
}

TEST_F(SequencingTest, AForcedTurnSideHoldsTheHeadingUntilItComesRound) {
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.ApHeadingLock = 1;
  g.LnavLegTracking = 0;
  // Right round to the waypoint bearing 000 from a heading of 090, the long
  // way; the navigator's own command turns the aircraft.
  g.HoldTurnDirection = 2;
  gnsxls::gnsxls_state.TurnDirectionText = "RIGHT";
  At(-0.5, 0.0, 90.0);
  g.BearingToActiveWaypoint = 0.0;
  SteerLaterally();
  g.AircraftHeading = 180.0;  // 000 exactly behind, above it by 180: left
  SteerLaterally();
  EXPECT_TRUE(host.key_events.empty());
  EXPECT_EQ(g.HoldTurnDirection, 2);
  g.AircraftHeading = 181.0;  // now 000 lies 179 clockwise: right
  SteerLaterally();
  EXPECT_EQ(g.HoldTurnDirection, 0);
  EXPECT_EQ(gnsxls::gnsxls_state.TurnDirectionText, "DEFAULT");
  EXPECT_TRUE(host.key_events.empty());
  SteerLaterally();  // ordinary output from the next pass
  ASSERT_EQ(host.key_events.size(), 1u);
  EXPECT_EQ(host.key_events[0], std::make_pair(kHeadingBug, 360u));
}

TEST_F(SequencingTest, TheServerSendsTheSameHeadingAsTheUpdate) {
  State& g = guidance_state;
  g.LnavCommandedHeading = 123.4;
  g.HoldHeadingCommand = 250.7;
  double h = -1.0;
  EXPECT_FALSE(host::LnavCommandedHeadingLink(h));  // LNAV off
  g.LnavEngaged = 1;
  ASSERT_TRUE(host::LnavCommandedHeadingLink(h));
  EXPECT_EQ(h, 123.4);
  g.ActiveHoldIndex = 1;  // a hold attached, its fix not reached: LNAV's
  ASSERT_TRUE(host::LnavCommandedHeadingLink(h));
  EXPECT_EQ(h, 123.4);
  g.HoldSegmentCounter = 3;  // flown: the hold's
  ASSERT_TRUE(host::LnavCommandedHeadingLink(h));
  EXPECT_EQ(h, 250.7);
  g.HoldTurnDirection = 1;  // a turn forced to one side: none
  EXPECT_FALSE(host::LnavCommandedHeadingLink(h));
}

}  // namespace
}  // namespace ovi::guidance
