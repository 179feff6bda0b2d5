// Distances along the active route (RouteAhead): passed entries and markers
// have none, a discontinuity is crossed straight, a hold is not counted, and
// down the route they only grow.
#include <gtest/gtest.h>

#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "tests/support/turning_route.h"

namespace ovi::guidance {
namespace {

using ovi::test::TurningRoute;

class RouteAheadTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModuleState(); }
  void TearDown() override { ResetModuleState(); }
};

TEST_F(RouteAheadTest, AlongTheTurningRouteAndOnlyGrowing) {
  for (int active : {2, 3}) {
    for (double to_active : {31.0, 0.4}) {
      TurningRoute::Fly(to_active, 300.0, active);
      const RouteAhead ahead;
      double before = -1.0;
      for (int i = -1; i <= TurningRoute::kLast + 2; ++i) {
        const double expected = TurningRoute::Ahead(i, to_active, active);
        if (std::isnan(expected)) {
          EXPECT_TRUE(std::isnan(ahead.To(i))) << i;
          continue;
        }
        EXPECT_NEAR(ahead.To(i), expected, 1e-6) << i << " " << to_active;
        EXPECT_GT(ahead.To(i), before) << i;
        before = ahead.To(i);
      }
    }
  }
}

TEST_F(RouteAheadTest, LegsAcrossTheMarker) {
  TurningRoute::Fly(31.0, 300.0);
  // The legs before and after the active waypoint alike; the one after the
  // discontinuity from the waypoint before it.
  const double legs[] = {NAN, 60, 60, 60, 60, NAN, 60, 60};
  for (int i = 0; i <= TurningRoute::kLast; ++i) {
    if (std::isnan(legs[i])) {
      EXPECT_TRUE(std::isnan(RouteAhead::LegInto(i))) << i;
    } else {
      EXPECT_NEAR(RouteAhead::LegInto(i), legs[i], 1e-6) << i;
    }
  }
  EXPECT_TRUE(std::isnan(RouteAhead::LegInto(TurningRoute::kLast + 1)));  // the end marker's row
  // A route opening with a marker has no leg into the entry after it.
  flightplan::flightplan_state.ActiveFlightPlan[0].ident = "THEN";
  flightplan::flightplan_state.ActiveFlightPlan[1].ident = "THEN";
  EXPECT_TRUE(std::isnan(RouteAhead::LegInto(2)));
}

TEST_F(RouteAheadTest, NothingAheadWithoutAWaypointFlownTo) {
  flightplan::State& f = flightplan::flightplan_state;
  for (int active : {model::kNoWaypoint, TurningRoute::kLast + 1, -1}) {
    TurningRoute::Fly(31.0, 300.0);
    f.ActiveWaypointIndex = active;
    const RouteAhead ahead;
    for (int i = 0; i <= TurningRoute::kLast; ++i) EXPECT_TRUE(std::isnan(ahead.To(i))) << active << " " << i;
  }
  // The last waypoint flown to: the distance to it alone.
  TurningRoute::Fly(31.0, 300.0);
  f.ActiveWaypointIndex = TurningRoute::kLast;
  guidance_state.ActiveWaypointDistance = 12.0;
  EXPECT_DOUBLE_EQ(RouteAhead().To(TurningRoute::kLast), 12.0);
  // A discontinuity flown to: the route goes on from the aircraft, here
  // over EAST.
  f.ActiveWaypointIndex = TurningRoute::kDisco;
  guidance_state.PlaneLatitude = 0.0;
  guidance_state.PlaneLongitude = -179.5;
  const RouteAhead from_disco;
  EXPECT_TRUE(std::isnan(from_disco.To(TurningRoute::kDisco)));
  EXPECT_NEAR(from_disco.To(6), 60.0, 1e-6);
  EXPECT_NEAR(from_disco.To(7), 120.0, 1e-6);
}

}  // namespace
}  // namespace ovi::guidance
