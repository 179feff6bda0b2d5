// LNAV flown closed-loop against the stand-in's autopilot: a hand-built
// active route (the sample route's waypoints), heading hold on, LNAV engaged.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/guidance/closed_loop.h"

namespace ovi::guidance {
namespace {

using testing::kSampleRoute;
constexpr int kLast = testing::kSampleRouteLast;

class LnavFlightTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    loop.Bind();
    testing::SetUpSampleFlight(loop);
  }
  void TearDown() override { ResetModuleState(); }

  // Distance (NM) of the aircraft from the great circle of leg i-1 -> i, and
  // how far along it the aircraft is.
  void LegPosition(int i, double& off, double& along, double& to_go, double& length) const {
    const testing::SampleWaypoint &a = kSampleRoute[i - 1], &b = kSampleRoute[i];
    const sim::AircraftState& s = loop_const().aircraft_const();
    double d13 = 0.0, c13 = 0.0, c12 = 0.0;
    navdb::ComputeDistanceAndBearing(a.lat, a.lon, b.lat, b.lon, length, c12);
    navdb::ComputeDistanceAndBearing(a.lat, a.lon, s.latitude, s.longitude, d13, c13);
    const double r = 3440.065, rad = M_PI / 180.0;
    off = std::fabs(std::asin(std::sin(d13 / r) * std::sin((c13 - c12) * rad)) * r);
    along = std::acos(std::cos(d13 / r) / std::cos(off / r)) * r;
    double unused = 0.0;
    navdb::ComputeDistanceAndBearing(s.latitude, s.longitude, b.lat, b.lon, to_go, unused);
  }

  struct Result {
    std::vector<int> sequence;
    double worst_straight_xtk = 0.0;
    int lnav_off_at = -1;
    double time = 0.0;
  };

  // Flies until LNAV goes off (or two hours), tracking the active index and
  // the cross-track error on the straight part of each leg: from 15 NM after
  // its start (the turn onto it and the intercept are done) to 5 NM before
  // its end, on legs of 20 NM or more.
  Result Fly() {
    Result r;
    const flightplan::State& fp = flightplan::flightplan_state;
    r.sequence.push_back(fp.ActiveWaypointIndex);
    for (int t = 0; t < 2 * 3600 * 18; ++t) {
      loop.Tick();
      int active = fp.ActiveWaypointIndex;
      if (active != r.sequence.back()) r.sequence.push_back(active);
      if (guidance_state.LnavEngaged == 0) {
        r.lnav_off_at = active;
        break;
      }
      if (active >= 1 && active <= kLast) {
        double off = 0.0, along = 0.0, to_go = 0.0, length = 0.0;
        LegPosition(active, off, along, to_go, length);
        if (length >= 20.0 && along > 15.0 && to_go > 5.0) r.worst_straight_xtk = std::max(r.worst_straight_xtk, off);
      }
    }
    r.time = loop.time();
    return r;
  }

  testing::ClosedLoop loop;
  const testing::ClosedLoop& loop_const() const { return loop; }
};

TEST_F(LnavFlightTest, SequencesEveryWaypointInOrderAndTracksTheLegs) {
  ToggleLnav();
  ASSERT_EQ(guidance_state.LnavEngaged, 1);
  Result r = Fly();
  std::vector<int> expected;
  for (int i = 1; i <= kLast; ++i) expected.push_back(i);
  EXPECT_EQ(r.sequence, expected);
  // LnavOffAtLastWpt: off as the destination becomes the active waypoint.
  EXPECT_EQ(r.lnav_off_at, kLast);
  // No wind: the heading bug takes whole degrees, so the aircraft may hold
  // up to 1 degree off the look-ahead point: 5 x tan(1) = 0.09 NM.
  EXPECT_LT(r.worst_straight_xtk, 0.1);
  // The waypoints passed carry their time over and the last one is recorded.
  EXPECT_EQ(guidance_state.LastWaypointIdent, "JAYPE");
  EXPECT_FALSE(flightplan::flightplan_state.ActiveFlightPlan[5].time_over_text.empty());
}

TEST_F(LnavFlightTest, CrosswindLeavesAtMostTheLookAheadOffset) {
  // 40 kt from the west on southbound legs at 265 kt true (250 indicated at
  // 3000 ft): the drift is asin(40/265) = 8.7 degrees, held with the 3 NM
  // look-ahead point 3 x tan(8.7) = 0.46 NM off the line, and 1 degree more
  // for the whole-degree heading bug: 3 x tan(9.7) = 0.51 NM.
  loop.aircraft().wind_dir = 270.0;
  loop.aircraft().wind_speed = 40.0;
  ToggleLnav();
  Result r = Fly();
  EXPECT_EQ(r.sequence.size(), static_cast<std::size_t>(kLast));
  EXPECT_EQ(r.lnav_off_at, kLast);
  EXPECT_LT(r.worst_straight_xtk, 0.55);
}

TEST_F(LnavFlightTest, WithoutSequencingTheWaypointIsNotPassedButTimed) {
  model::model_state.SequenceFPlanWpts = 0;
  // LNAV off: the autopilot flies the bug straight over FOURT.
  loop.aircraft().ap_heading = 164.0;
  loop.Run(180.0);
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 1);
  EXPECT_FALSE(flightplan::flightplan_state.ActiveFlightPlan[1].time_over_text.empty());
}

}  // namespace
}  // namespace ovi::guidance
