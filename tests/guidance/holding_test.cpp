// The holding racetrack: its corners, entry, the corner cycle, the exit and
// the heading targets it sends.
#include <gtest/gtest.h>

#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/holding.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/navdb/navdb.h"
#include "tests/host/fake_panels.h"

namespace ovi::guidance {
namespace {

constexpr std::uint32_t kHeadingBug = 66042;

class HoldingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    // A hold at waypoint 2, fix on the equator at 10 E, inbound north,
    // right turns, one-minute legs.
    AddHold(1, 2, 0.0, 10.0);
    flightplan::flightplan_state.HoldCount = 1;
    flightplan::flightplan_state.ActiveWaypointIndex = 2;
    State& g = guidance_state;
    g.LnavEngaged = 1;
    g.GroundSpeedKnots = 120.0;
    g.WaypointSwitchDistance = 3.0;
    At(-0.5, 10.0);  // 30 NM south of the fix
  }
  void TearDown() override { ResetModuleState(); }

  static void AddHold(int entry, int waypoint, double lat, double lon) {
    model::HoldingPattern& h = flightplan::flightplan_state.HoldTable[entry];
    h.name = "FIX" + std::to_string(waypoint);
    h.active_index = waypoint;
    h.turn_side = 1;
    h.leg_time = 1.0;
    h.time_based = 1;
    h.inbound_course = 0.0;
    h.corners[0].latitude = lat;
    h.corners[0].longitude = lon;
  }
  static void At(double lat, double lon) {
    guidance_state.PlaneLatitude = lat;
    guidance_state.PlaneLongitude = lon;
  }
  // In the hold, flying to Xwind from 2 NM south of it: the bearing to it
  // is 360 true. The variation turns it into the heading wanted; the
  // inbound course takes it back out, so the racetrack stays where it is.
  static void InHoldSouthOfXwind() {
    At(0.0, 10.0);
    ComputeHoldingPattern();  // in: to Xwind
    ASSERT_EQ(guidance_state.ActiveHoldIndex, 1);
    const model::HoldPoint xwind = flightplan::flightplan_state.HoldTable[1].corners[1];
    At(xwind.latitude - 2.0 / 60.0, xwind.longitude);
  }
  static void RunWithVariation(double variation) {
    guidance_state.MagneticVariation = variation;
    flightplan::flightplan_state.HoldTable[1].inbound_course = -variation;
    ComputeHoldingPattern();
  }
  // Puts the aircraft on corner k of hold 1 and runs one tick.
  static void ReachCorner(int k) {
    const model::HoldPoint& p = flightplan::flightplan_state.HoldTable[1].corners[k];
    At(p.latitude, p.longitude);
    ComputeHoldingPattern();
  }
  static void ExpectLeg(double lat1, double lon1, double lat2, double lon2, double nm, double course) {
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, c);
    EXPECT_NEAR(d, nm, 1e-6);
    EXPECT_NEAR(std::remainder(c - course, 360.0), 0.0, 1e-6);
  }
  testing::FakeHost host;
};

TEST_F(HoldingTest, LegLengthHasA150KnotFloor) {
  struct Case {
    double gs, leg;
  };
  for (const Case& c : {Case{120.0, 2.5}, Case{150.0, 2.5}, Case{240.0, 4.0}, Case{0.0, 2.5}}) {
    guidance_state.GroundSpeedKnots = c.gs;
    ComputeHoldingPattern();
    EXPECT_DOUBLE_EQ(flightplan::flightplan_state.HoldTable[1].leg_length, c.leg) << c.gs;
  }
  // A distance hold keeps its own length.
  model::HoldingPattern& h = flightplan::flightplan_state.HoldTable[1];
  h.time_based = 2;
  h.leg_length = 6.0;
  ComputeHoldingPattern();
  EXPECT_EQ(h.leg_length, 6.0);
}

TEST_F(HoldingTest, CornersFollowTheInboundCourseAndTurnSide) {
  // Leg 2.5 NM, D = 3.75: Xwind 0.75 beyond the fix, Dwind 1.875 to the
  // turn side, Base 2.8125 back, Final 1.875 across.
  ComputeHoldingPattern();
  const State& g = guidance_state;
  ExpectLeg(0.0, 10.0, g.HoldScratchPointLat, g.HoldScratchPointLon, 0.75, 0.0);
  ExpectLeg(g.HoldScratchPointLat, g.HoldScratchPointLon, g.HoldAbeamPointLat, g.HoldAbeamPointLon, 1.875, 90.0);
  ExpectLeg(g.HoldAbeamPointLat, g.HoldAbeamPointLon, g.HoldProjectedLatitude, g.HoldProjectedLongitude, 2.8125, 180.0);
  ExpectLeg(g.HoldProjectedLatitude, g.HoldProjectedLongitude, g.HoldFinalLat, g.HoldFinalLon, 1.875, 270.0);
  const model::HoldingPattern& h = flightplan::flightplan_state.HoldTable[1];
  EXPECT_EQ(h.corners[1].name, "Xwind");
  EXPECT_EQ(h.corners[4].name, "Final");
  EXPECT_EQ(h.corners[3].latitude, g.HoldProjectedLatitude);

  // Left turns: Dwind to the west.
  flightplan::flightplan_state.HoldTable[1].turn_side = 2;
  ComputeHoldingPattern();
  ExpectLeg(g.HoldScratchPointLat, g.HoldScratchPointLon, g.HoldAbeamPointLat, g.HoldAbeamPointLon, 1.875, 270.0);

  // Inbound 359 with variation +3 is 362, passed on unchanged: the same as 2.
  flightplan::flightplan_state.HoldTable[1].turn_side = 1;
  flightplan::flightplan_state.HoldTable[1].inbound_course = 359.0;
  guidance_state.MagneticVariation = 3.0;
  ComputeHoldingPattern();
  ExpectLeg(0.0, 10.0, g.HoldScratchPointLat, g.HoldScratchPointLon, 0.75, 2.0);
  ExpectLeg(g.HoldScratchPointLat, g.HoldScratchPointLon, g.HoldAbeamPointLat, g.HoldAbeamPointLon, 1.875, 92.0);
  // Inbound 360 with no variation is north.
  flightplan::flightplan_state.HoldTable[1].inbound_course = 360.0;
  guidance_state.MagneticVariation = 0.0;
  ComputeHoldingPattern();
  ExpectLeg(0.0, 10.0, g.HoldScratchPointLat, g.HoldScratchPointLon, 0.75, 0.0);
}

TEST_F(HoldingTest, WithLnavOffOnlyTheScratchCornersMove) {
  guidance_state.LnavEngaged = 0;
  At(0.0, 10.0);  // on the fix
  ComputeHoldingPattern();
  const State& g = guidance_state;
  EXPECT_NE(g.HoldScratchPointLat, 0.0);
  const model::HoldingPattern& h = flightplan::flightplan_state.HoldTable[1];
  EXPECT_EQ(h.corners[1].latitude, 0.0);
  EXPECT_EQ(h.corners[1].name, "");
  EXPECT_EQ(g.HoldSegmentCounter, 0u);
  EXPECT_EQ(g.ActiveHoldIndex, 0);
  EXPECT_TRUE(host.key_events.empty());
}

TEST_F(HoldingTest, EntersAtTheFixAndCyclesTheCorners) {
  ComputeHoldingPattern();  // 30 NM out: approaching
  EXPECT_EQ(guidance_state.ActiveHoldIndex, 0);
  // Within the switch distance (3 NM), though beyond 0.25 D (0.94 NM): in.
  At(-2.9 / 60.0, 10.0);
  ComputeHoldingPattern();
  const State& g = guidance_state;
  EXPECT_EQ(g.ActiveHoldIndex, 1);
  EXPECT_EQ(g.HoldState, 0);
  EXPECT_EQ(g.HoldSegmentCounter, 1u);
  EXPECT_EQ(g.HoldPreviousPoint, 4);
  // Heading to Xwind, due north of the aircraft: 360.
  ASSERT_EQ(host.key_events.size(), 1u);
  EXPECT_EQ(host.key_events[0], std::make_pair(kHeadingBug, 360u));
  for (std::uint32_t expected : {2u, 3u, 4u, 1u, 2u}) {
    ReachCorner(static_cast<int>(g.HoldSegmentCounter));
    EXPECT_EQ(g.HoldSegmentCounter, expected);
    EXPECT_EQ(g.HoldPreviousPoint, expected == 1 ? 4 : static_cast<int>(expected) - 1);
  }
  // From Xwind to Dwind the heading is east: 90.
  EXPECT_EQ(host.key_events.back(), std::make_pair(kHeadingBug, 90u));
  EXPECT_EQ(flightplan::flightplan_state.HoldCount, 1);
}

// LNAV leads the route's turn at the fix by its radius (20 NM for a turn
// of 160 degrees at speed), but the hold is flown there instead: entered at
// the configured distance (3 NM), not at the lead, west of zero and south
// of it as anywhere.
TEST_F(HoldingTest, EnteredAtTheConfiguredDistanceNotTheTurnsLead) {
  State& g = guidance_state;
  for (const double lon : {10.0, -10.0}) {
    SetUp();
    AddHold(1, 2, -20.0, lon);
    g.WaypointSwitchDistance = 20.0;
    for (const double nm : {19.0, 10.0, 3.1}) {
      At(-20.0 - nm / 60.0, lon);
      ComputeHoldingPattern();
      EXPECT_EQ(g.HoldSegmentCounter, 0u) << lon << " " << nm;
    }
    At(-20.0 - 2.9 / 60.0, lon);
    ComputeHoldingPattern();
    EXPECT_EQ(g.ActiveHoldIndex, 1) << lon;
    EXPECT_EQ(g.HoldSegmentCounter, 1u) << lon;
  }
}

// Near its fix while LNAV still flies to the waypoint before it (legs that
// fold back past the fix), at the fix itself and within the switch
// distance: not entered until the fix is the active waypoint.
TEST_F(HoldingTest, EnteredOnlyWithItsFixActive) {
  flightplan::flightplan_state.ActiveWaypointIndex = 1;
  const State& g = guidance_state;
  for (const double nm : {2.9, 0.5, 0.0}) {
    At(-nm / 60.0, 10.0);
    ComputeHoldingPattern();
    EXPECT_EQ(g.ActiveHoldIndex, 0) << nm;
    EXPECT_EQ(g.HoldSegmentCounter, 0u) << nm;
  }
  EXPECT_TRUE(host.key_events.empty());
  flightplan::flightplan_state.ActiveWaypointIndex = 2;
  ComputeHoldingPattern();
  EXPECT_EQ(g.ActiveHoldIndex, 1);
  EXPECT_EQ(g.HoldSegmentCounter, 1u);
}

TEST_F(HoldingTest, ArmedExitLeavesAtXwindAndTheNextHoldIsEnteredAfresh) {
  // A second hold further along the route, 1 degree north.
  AddHold(2, 5, 1.0, 10.0);
  flightplan::flightplan_state.HoldCount = 2;
  At(0.0, 10.0);
  ComputeHoldingPattern();  // in, flying to Xwind
  State& g = guidance_state;
  ReachCorner(1);
  ReachCorner(2);  // to Base
  g.HoldState = 2;
  ReachCorner(3);  // to Final: armed, not yet
  EXPECT_EQ(g.HoldSegmentCounter, 4u);
  ReachCorner(4);  // to Xwind
  EXPECT_EQ(g.HoldSegmentCounter, 1u);
  EXPECT_EQ(flightplan::flightplan_state.HoldCount, 2);
  ReachCorner(1);  // Xwind reached with the exit armed: out
  EXPECT_EQ(g.HoldState, 3);
  EXPECT_EQ(g.ActiveHoldIndex, 0);
  EXPECT_EQ(g.HoldSegmentCounter, 0u);
  ASSERT_EQ(flightplan::flightplan_state.HoldCount, 1);
  EXPECT_EQ(flightplan::flightplan_state.HoldTable[1].active_index, 5);
  // The next hold, far ahead, is approached, not left at once.
  for (int i = 0; i < 3; ++i) ComputeHoldingPattern();
  EXPECT_EQ(flightplan::flightplan_state.HoldCount, 1);
  EXPECT_EQ(g.ActiveHoldIndex, 0);
  // And entered at its fix, LNAV flying to it.
  flightplan::flightplan_state.ActiveWaypointIndex = 5;
  At(1.0, 10.0);
  std::size_t sent = host.key_events.size();
  ComputeHoldingPattern();
  EXPECT_EQ(g.ActiveHoldIndex, 1);
  EXPECT_EQ(g.HoldState, 0);
  EXPECT_EQ(host.key_events.size(), sent + 1);
}

TEST_F(HoldingTest, ExitNowLeavesAtTheNextCorner) {
  At(0.0, 10.0);
  ComputeHoldingPattern();
  ReachCorner(1);
  ReachCorner(2);
  guidance_state.HoldState = 3;
  ReachCorner(3);
  EXPECT_EQ(guidance_state.ActiveHoldIndex, 0);
  EXPECT_EQ(flightplan::flightplan_state.HoldCount, 0);
}

TEST_F(HoldingTest, HeadingIsSentOncePerWholeDegree) {
  InHoldSouthOfXwind();
  auto run = RunWithVariation;
  host.key_events.clear();
  run(360.0 - 123.9);  // 123.9
  run(360.0 - 123.2);  // 123.2: the same whole degree
  ASSERT_EQ(host.key_events.size(), 1u);
  EXPECT_EQ(host.key_events[0], std::make_pair(kHeadingBug, 123u));
  run(359.7);  // 0.3 becomes 360.3, sent as 360
  ASSERT_EQ(host.key_events.size(), 2u);
  EXPECT_EQ(host.key_events[1], std::make_pair(kHeadingBug, 360u));
  EXPECT_NEAR(guidance_state.HoldHeadingCommand, 360.3, 1e-6);
  EXPECT_EQ(guidance_state.HoldSegmentCounter, 1u);
}

TEST_F(HoldingTest, WesterlyVariationKeepsTheHeadingWithinACircle) {
  // A westerly variation is added to true courses.
  InHoldSouthOfXwind();
  struct Case {
    double variation, command;
    std::uint32_t sent;
  };
  // 360 + 5 = 365 is 5 past north; 360.3 still lies below 360.5 and is
  // sent as 360; 360.6 is 0.6, sent as 0.
  const Case cases[] = {{-5.0, 5.0, 5u}, {-0.3, 360.3, 360u}, {-0.6, 0.6, 0u}, {-170.0, 170.0, 170u}};
  for (const Case& c : cases) {
    host.key_events.clear();
    RunWithVariation(c.variation);
    EXPECT_NEAR(guidance_state.HoldHeadingCommand, c.command, 1e-6) << c.variation;
    ASSERT_EQ(host.key_events.size(), 1u) << c.variation;
    EXPECT_EQ(host.key_events[0], std::make_pair(kHeadingBug, c.sent)) << c.variation;
  }
}

TEST_F(HoldingTest, ZeroLegLengthStepsOneCornerPerCall) {
  model::HoldingPattern& h = flightplan::flightplan_state.HoldTable[1];
  h.time_based = 2;
  h.leg_length = 0.0;
  At(0.0, 10.0);
  ComputeHoldingPattern();
  EXPECT_EQ(guidance_state.HoldSegmentCounter, 1u);
  ComputeHoldingPattern();
  EXPECT_EQ(guidance_state.HoldSegmentCounter, 2u);
  ComputeHoldingPattern();
  EXPECT_EQ(guidance_state.HoldSegmentCounter, 3u);
}

}  // namespace
}  // namespace ovi::guidance
