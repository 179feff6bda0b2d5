// LNAV flown closed-loop against the stand-in's autopilot: a hand-built
// active route (the sample route's waypoints), heading hold on, LNAV engaged.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/route_ahead.h"
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

// A leg of true course 0.5: with no variation its magnetic course is 0.5,
// with 0.3 east it is 0.2, which reads 360.2 (a course whose whole degrees
// are 0 is shown as 360). Either way the leg is held as the others are.
TEST_F(LnavFlightTest, ALegJustEastOfNorthIsHeldLikeAnyOther) {
  for (double variation : {0.0, 0.3}) {
    SCOPED_TRACE(variation);
    ResetModuleState();
    loop.Bind();
    testing::SetUpSampleFlight(loop);
    double lat[3] = {47.0, 0.0, 0.0}, lon[3] = {-122.0, 0.0, 0.0};
    for (int i = 1; i < 3; ++i) navdb::ProjectPosition(lat[i - 1], lon[i - 1], 0.5, 40.0, lat[i], lon[i]);
    flightplan::State& fp = flightplan::flightplan_state;
    for (int i = 0; i < 3; ++i) {
      for (model::FlightPlanWaypoint* w : {&fp.ActiveFlightPlan[i], &fp.PendingFlightPlan[i]}) {
        w->ident = "N" + std::to_string(i);
        w->latitude = lat[i];
        w->longitude = lon[i];
        w->type = "INT";
        w->procedure_tag.clear();
      }
    }
    fp.ActiveFlightPlanLastIndex = fp.PendingFlightPlanLastIndex = 2;
    flightplan::ActiveRouteChanged();
    guidance_state.ActiveWaypointLat = lat[1];
    guidance_state.ActiveWaypointLon = lon[1];
    guidance_state.LnavLegTracking = 1;  // as a route load leaves it
    sim::AircraftState& a = loop.aircraft();
    a.latitude = lat[0];
    a.longitude = lon[0];
    a.heading = 0.5;
    a.magvar = variation;
    a.ap_heading = 360.0;
    loop.Run(2.0);
    ToggleLnav();
    ASSERT_EQ(guidance_state.LnavEngaged, 1);
    // Off the leg's great circle, from its pole: the course of the geodesy
    // would read 360 here as well.
    auto unit = [](double la, double lo) {
      const double rad = M_PI / 180.0;
      return std::array<double, 3>{std::cos(la * rad) * std::cos(lo * rad), std::cos(la * rad) * std::sin(lo * rad),
                                   std::sin(la * rad)};
    };
    const std::array<double, 3> u = unit(lat[0], lon[0]), v = unit(lat[1], lon[1]);
    std::array<double, 3> pole = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double norm = std::sqrt(pole[0] * pole[0] + pole[1] * pole[1] + pole[2] * pole[2]);
    double worst = 0.0;
    loop.Run(3600.0, [&] {
      const sim::AircraftState& s = loop.aircraft_const();
      const std::array<double, 3> p = unit(s.latitude, s.longitude);
      const double off = std::fabs(std::asin((pole[0] * p[0] + pole[1] * p[1] + pole[2] * p[2]) / norm)) * 3440.065;
      double from = 0.0, to_go = 0.0, unused = 0.0;
      navdb::ComputeDistanceAndBearing(lat[0], lon[0], s.latitude, s.longitude, from, unused);
      navdb::ComputeDistanceAndBearing(s.latitude, s.longitude, lat[1], lon[1], to_go, unused);
      if (from > 15.0 && to_go > 5.0) worst = std::max(worst, off);
      return fp.ActiveWaypointIndex != 1;
    });
    EXPECT_EQ(fp.ActiveWaypointIndex, 2);
    EXPECT_LT(worst, 0.1);
  }
}

// Corners of 30 to 120 degrees either way, south of the equator, across
// 180 degrees, with 12 degrees of westerly variation, flown at 210 and 300
// kt: on every tick the distance to go and the distance flown add up to the
// distance to go at the start, within 0.05 NM on the straight legs before
// the first corner and 0.09 NM through all six; and each waypoint is passed
// abeam within 0.1 NM of where its distance said. A corner modelled as
// rolling out twice as early is out by 0.14 NM.
TEST_F(LnavFlightTest, TheDistanceToGoIsTheDistanceFlown) {
  const double turns[] = {30.0, -60.0, 90.0, -120.0, 45.0, -100.0, 0.0};  // right positive, at T1..T7
  constexpr int kLast = 8;
  for (double ias : {210.0, 300.0}) {
    SCOPED_TRACE(ias);
    ResetModuleState();
    loop.Bind();
    testing::SetUpSampleFlight(loop);
    double lat[kLast + 1] = {-20.0}, lon[kLast + 1] = {179.2}, course = 100.0;
    for (int i = 1; i <= kLast; ++i) {
      navdb::ProjectPosition(lat[i - 1], lon[i - 1], course, 25.0, lat[i], lon[i]);
      if (i < kLast) course = navdb::TrueCourse(lat[i], lon[i], lat[i - 1], lon[i - 1]) + 180.0 + turns[i - 1];
    }
    flightplan::State& fp = flightplan::flightplan_state;
    for (int i = 0; i <= kLast; ++i) {
      model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
      w = {};
      w.ident = "T" + std::to_string(i);
      w.latitude = lat[i];
      w.longitude = lon[i];
      w.type = "INT";
    }
    fp.ActiveFlightPlanLastIndex = kLast;
    flightplan::ActiveRouteChanged();
    fp.ActiveWaypointIndex = 1;
    State& g = guidance_state;
    g.ActiveWaypointLat = lat[1];
    g.ActiveWaypointLon = lon[1];
    g.LnavLegTracking = 1;
    sim::AircraftState& a = loop.aircraft();
    navdb::ProjectPosition(lat[0], lon[0], navdb::TrueCourse(lat[0], lon[0], lat[1], lon[1]), 2.0, a.latitude,
                           a.longitude);
    a.heading = navdb::TrueCourse(a.latitude, a.longitude, lat[1], lon[1]);
    a.magvar = -12.0;
    a.ap_heading = a.heading + 12.0;
    a.altitude = a.ap_altitude = 10000.0;
    a.ap_alt_lock = 1.0;
    a.ias = a.ap_speed = ias;
    a.ap_spd_hold = 1.0;
    loop.Run(2.0);
    ToggleLnav();
    const double start = g.DestinationDistance;
    double ahead[kLast + 1], nearest[kLast + 1];
    for (int i = 0; i <= kLast; ++i) {
      ahead[i] = RouteAhead().To(i);
      nearest[i] = 1e9;
    }
    double flown = 0.0, worst_straight = 0.0, worst = 0.0, at_nearest[kLast + 1] = {};
    double plat = a.latitude, plon = a.longitude;
    int corners = 0;
    for (const double until = loop.time() + 3600.0; g.LnavEngaged == 1 && loop.time() < until;) {
      loop.Tick();
      double d = 0.0, c = 0.0;
      navdb::ComputeDistanceAndBearing(plat, plon, a.latitude, a.longitude, d, c);
      flown += d;
      plat = a.latitude;
      plon = a.longitude;
      corners = std::max(corners, fp.ActiveWaypointIndex - 1);
      if (g.LnavEngaged == 1) {
        const double off = std::fabs(g.DestinationDistance + flown - start);
        worst = std::max(worst, off);
        if (corners == 0) worst_straight = std::max(worst_straight, off);
      }
      for (int i = 1; i < kLast; ++i) {
        navdb::ComputeDistanceAndBearing(a.latitude, a.longitude, lat[i], lon[i], d, c);
        if (d < nearest[i]) {
          nearest[i] = d;
          at_nearest[i] = flown;
        }
      }
    }
    EXPECT_EQ(fp.ActiveWaypointIndex, kLast);
    EXPECT_LE(worst_straight, 0.05);
    EXPECT_LE(worst, 0.09);
    // The last corner before the last waypoint is left as LNAV goes off.
    for (int i = 1; i < kLast - 1; ++i) EXPECT_NEAR(at_nearest[i], ahead[i], 0.1) << i;
  }
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
