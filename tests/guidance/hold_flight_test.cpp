// A hold flown closed-loop: the sample route with a hold at TOLLE, entered
// at the fix, flown round twice, left once the exit is armed, and the route
// flown on to its end.
#include <gtest/gtest.h>

#include <vector>

#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/navdb/navdb.h"
#include "tests/guidance/closed_loop.h"

namespace ovi::guidance {
namespace {

constexpr int kTolle = 5;

// The variation of the sample (16 E), and as far west: the hold's course
// from Dwind to Base points north, where a westerly variation carries the
// magnetic heading past 360.
class HoldFlight : public ::testing::TestWithParam<double> {};

TEST_P(HoldFlight, EnteredFlownRoundAndLeft) {
  ResetModuleState();
  testing::ClosedLoop loop;
  loop.Bind();
  testing::SetUpSampleFlight(loop);
  loop.aircraft().magvar = GetParam();
  loop.aircraft().ap_heading = 180.0 - GetParam();
  loop.Run(2.0);  // the update reads the variation
  ASSERT_TRUE(flightplan::AddHoldAtWaypoint(kTolle, 0));
  ToggleLnav();

  const State& g = guidance_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  const testing::SampleWaypoint& fix = testing::kSampleRoute[kTolle];
  std::vector<std::uint32_t> corners;
  std::vector<int> sequence{fp.ActiveWaypointIndex};
  double entered = -1.0, farthest = 0.0;
  int circuits = 0;
  bool armed = false;
  for (int t = 0; t < 3 * 3600 * 18 && g.LnavEngaged == 1; ++t) {
    loop.Tick();
    if (fp.ActiveWaypointIndex != sequence.back()) sequence.push_back(fp.ActiveWaypointIndex);
    if (g.ActiveHoldIndex == 1 && g.HoldSegmentCounter > 0) {
      if (entered < 0.0) entered = loop.time();
      if (corners.empty() || corners.back() != g.HoldSegmentCounter) {
        corners.push_back(g.HoldSegmentCounter);
        if (g.HoldSegmentCounter == 1 && corners.size() > 1) ++circuits;
      }
      double d = 0.0, c = 0.0;
      navdb::ComputeDistanceAndBearing(fix.lat, fix.lon, loop.aircraft().latitude, loop.aircraft().longitude, d, c);
      farthest = std::max(farthest, d);
      // Two full circuits, then the navigator's exit key.
      if (circuits == 2 && !armed) {
        guidance_state.HoldState = 2;
        armed = true;
      }
    }
  }
  // Entered at TOLLE while it was the active waypoint, not before.
  ASSERT_GE(entered, 0.0);
  ASSERT_GE(corners.size(), 9u);
  // The corners in their order, round and round: 1 2 3 4 1 2 3 4 1 ...
  for (std::size_t i = 0; i < corners.size(); ++i) EXPECT_EQ(corners[i], i % 4 + 1) << i;
  // Left on reaching Xwind with the exit armed: the hold is gone.
  EXPECT_EQ(circuits, 2);
  EXPECT_EQ(fp.HoldCount, 0);
  EXPECT_EQ(g.ActiveHoldIndex, 0);
  // The racetrack at 265 kt: one-minute legs of 4.4 NM, corners at most
  // 5.3 NM from the fix; with turns of 2.8 NM radius the aircraft stays
  // within 10 NM of it.
  EXPECT_LT(farthest, 10.0);
  // Every waypoint in order, TOLLE held as the active one through the hold,
  // and LNAV off at the end.
  std::vector<int> expected;
  for (int i = 1; i <= testing::kSampleRouteLast; ++i) expected.push_back(i);
  EXPECT_EQ(sequence, expected);
  EXPECT_EQ(fp.ActiveWaypointIndex, testing::kSampleRouteLast);
  // Heading targets came from the hold while it was flown, each one a
  // heading the autopilot takes.
  int hold_headings = 0;
  for (const auto& e : loop.key_events()) {
    if (e.id != 66042) continue;
    EXPECT_LE(e.value, 360u) << "at " << e.time << " s";
    if (e.time >= entered) ++hold_headings;
  }
  EXPECT_GE(hold_headings, 8);
}

INSTANTIATE_TEST_SUITE_P(Variation, HoldFlight, ::testing::Values(16.0, -16.0),
                         [](const ::testing::TestParamInfo<double>& p) { return p.param > 0 ? "East" : "West"; });

}  // namespace
}  // namespace ovi::guidance
