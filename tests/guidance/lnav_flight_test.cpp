// LNAV flown closed-loop against the stand-in's autopilot: a hand-built
// active route (the sample route's waypoints), heading hold on, LNAV engaged.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/lateral.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/fms/state.h"
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

  // A route laid from (lat, lon) on `course` (true), its legs `legs` NM
  // long, turning `turns` degrees at each waypoint between (right
  // positive), made active with its first waypoint ahead; the aircraft 2 NM
  // down its first leg along it at `ias` kt and `altitude` ft in a wind,
  // variation 12 W, the autopilot holding both, LNAV on its leg. Returns
  // the route's places.
  std::vector<std::array<double, 2>> LayRoute(double lat, double lon, double course, double legs,
                                              const std::vector<double>& turns, double ias, double altitude,
                                              double wind_from = 0.0, double wind_speed = 0.0) {
    ResetModuleState();
    loop.Bind();
    testing::SetUpSampleFlight(loop);
    const int last = static_cast<int>(turns.size()) + 1;
    std::vector<std::array<double, 2>> at(static_cast<std::size_t>(last) + 1, std::array<double, 2>{lat, lon});
    for (int i = 1; i <= last; ++i) {
      auto &from = at[static_cast<std::size_t>(i) - 1], &to = at[static_cast<std::size_t>(i)];
      navdb::ProjectPosition(from[0], from[1], course, legs, to[0], to[1]);
      if (i < last) course = navdb::TrueCourse(to[0], to[1], from[0], from[1]) + 180.0 + turns[static_cast<std::size_t>(i) - 1];
    }
    flightplan::State& fp = flightplan::flightplan_state;
    for (int i = 0; i <= last; ++i) {
      model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
      w = {};
      w.ident = "T" + std::to_string(i);
      w.latitude = at[static_cast<std::size_t>(i)][0];
      w.longitude = at[static_cast<std::size_t>(i)][1];
      w.type = "INT";
      fp.PendingFlightPlan[i] = w;
    }
    fp.ActiveFlightPlanLastIndex = fp.PendingFlightPlanLastIndex = last;
    flightplan::ActiveRouteChanged();
    fp.ActiveWaypointIndex = 1;
    State& g = guidance_state;
    g.ActiveWaypointLat = at[1][0];
    g.ActiveWaypointLon = at[1][1];
    g.LnavLegTracking = 1;
    sim::AircraftState& a = loop.aircraft();
    navdb::ProjectPosition(at[0][0], at[0][1], navdb::TrueCourse(at[0][0], at[0][1], at[1][0], at[1][1]), 2.0,
                           a.latitude, a.longitude);
    a.heading = navdb::TrueCourse(a.latitude, a.longitude, at[1][0], at[1][1]);
    a.magvar = -12.0;
    a.ap_heading = a.heading + 12.0;
    a.altitude = a.ap_altitude = altitude;
    a.ap_alt_lock = 1.0;
    a.ias = a.ap_speed = ias;
    a.ap_spd_hold = 1.0;
    a.wind_dir = wind_from;
    a.wind_speed = wind_speed;
    // Crabbed into the wind already.
    a.heading += WindCorrectionAngle(a.heading, sim::TrueAirspeedOf(a), wind_from, wind_speed);
    a.ap_heading = a.heading + 12.0;
    loop.Run(2.0);
    return at;
  }

  // NM right of the great circle from `a` to `b` (negative: left), and the
  // true course of that great circle abeam the aircraft.
  double RightOf(const std::array<double, 2>& a, const std::array<double, 2>& b, double* course = nullptr) const {
    const sim::AircraftState& s = loop_const().aircraft_const();
    const LegOffset at = OffsetFromLeg(a[0], a[1], b[0], b[1], s.latitude, s.longitude);
    if (course != nullptr) {
      double lat = 0.0, lon = 0.0;
      navdb::ProjectPosition(a[0], a[1], navdb::TrueCourse(a[0], a[1], b[0], b[1]), at.along, lat, lon);
      *course = navdb::TrueCourse(lat, lon, b[0], b[1]);
    }
    return at.off;
  }

  testing::ClosedLoop loop;
  const testing::ClosedLoop& loop_const() const { return loop; }
};

// Degrees from b to a, within -180..180.
double Turned(double a, double b) { return std::remainder(a - b, 360.0); }

// The track the aircraft flies over the ground (true).
double TrackOf(const sim::AircraftState& a) {
  double gs = 0.0, track = 0.0;
  sim::GroundVectorOf(a, gs, track);
  return track;
}

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

TEST_F(LnavFlightTest, ACrosswindIsCorrectedForOnEveryLeg) {
  // 40 kt from the west on southbound legs at 265 kt true (250 indicated at
  // 3000 ft): a drift of asin(40/265) = 8.7 degrees. The heading corrected
  // for it holds the legs as in still air (0.05 NM); steered at the
  // look-ahead point alone, the aircraft held it 3 x tan(8.7) = 0.46 NM off
  // the line.
  loop.aircraft().wind_dir = 270.0;
  loop.aircraft().wind_speed = 40.0;
  ToggleLnav();
  Result r = Fly();
  EXPECT_EQ(r.sequence.size(), static_cast<std::size_t>(kLast));
  EXPECT_EQ(r.lnav_off_at, kLast);
  EXPECT_LT(r.worst_straight_xtk, 0.1);
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
// kt in still air: on every tick the distance to go and the distance flown
// add up to the distance to go at the start, within 0.05 NM on the
// straight legs before the first corner and 0.09 NM through all six; and
// each waypoint is passed abeam within 0.1 NM of where its distance said. A
// corner modelled as rolling out twice as early is out by 0.14 NM. In 100
// kt of wind from either side the corners are flown in the air mass, the
// wind's drift through them modelled: within 0.25 and 0.3 NM (in still air
// the model took 0.44 NM off a corner there).
TEST_F(LnavFlightTest, TheDistanceToGoIsTheDistanceFlown) {
  const std::vector<double> turns = {30.0, -60.0, 90.0, -120.0, 45.0, -100.0, 0.0};  // right positive, at T1..T7
  constexpr int kLast = 8;
  struct Case {
    double ias, wind_from, wind_speed, straight, through, abeam;
  };
  for (const Case& c : {Case{210.0, 0.0, 0.0, 0.05, 0.09, 0.1}, Case{300.0, 0.0, 0.0, 0.05, 0.09, 0.1},
                        Case{300.0, 0.0, 100.0, 0.05, 0.25, 0.3}, Case{300.0, 270.0, 100.0, 0.05, 0.25, 0.3}}) {
    SCOPED_TRACE(::testing::Message() << c.ias << " kt, wind " << c.wind_from << "/" << c.wind_speed);
    const auto at = LayRoute(-20.0, 179.2, 100.0, 25.0, turns, c.ias, 10000.0, c.wind_from, c.wind_speed);
    sim::AircraftState& a = loop.aircraft();
    const flightplan::State& fp = flightplan::flightplan_state;
    const State& g = guidance_state;
    ToggleLnav();
    // The corners flown again in the wind, one a second.
    loop.Run(c.wind_speed > 0.0 ? 10.0 : 0.0);
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
      double d = 0.0, course = 0.0;
      navdb::ComputeDistanceAndBearing(plat, plon, a.latitude, a.longitude, d, course);
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
        navdb::ComputeDistanceAndBearing(a.latitude, a.longitude, at[i][0], at[i][1], d, course);
        if (d < nearest[i]) {
          nearest[i] = d;
          at_nearest[i] = flown;
        }
      }
    }
    EXPECT_EQ(fp.ActiveWaypointIndex, kLast);
    EXPECT_LE(worst_straight, c.straight);
    EXPECT_LE(worst, c.through);
    // The last corner before the last waypoint is left as LNAV goes off.
    for (int i = 1; i < kLast - 1; ++i) EXPECT_NEAR(at_nearest[i], ahead[i], c.abeam) << i;
  }
}

// The wind corrected for, from its drift over the ground: every leg, once
// the aircraft has it (within 0.1 NM) to 5 NM short of its end, within 0.3
// NM of its line in winds to 150 kt from every side (held at the look-ahead
// point without it, 110 kt took the aircraft a mile off). Legs of 60 NM
// turning 60 and 90 degrees, 290 kt true.
TEST_F(LnavFlightTest, EveryLegIsHeldInAnyWindToOneHundredFiftyKnots) {
  for (double from : {0.0, 90.0, 225.0, 300.0}) {
    SCOPED_TRACE(from);
    const auto at = LayRoute(-20.0, 179.2, 100.0, 60.0, {60.0, -90.0}, 250.0, 10000.0, from, 150.0);
    const flightplan::State& fp = flightplan::flightplan_state;
    ToggleLnav();
    double worst = 0.0;
    int leg = fp.ActiveWaypointIndex, captured = 0;
    loop.Run(3600.0, [&] {
      if (fp.ActiveWaypointIndex != leg) leg = fp.ActiveWaypointIndex;
      const auto &a = at[static_cast<std::size_t>(leg) - 1], &b = at[static_cast<std::size_t>(leg)];
      const sim::AircraftState& s = loop_const().aircraft_const();
      double d = 0.0, course = 0.0;
      navdb::ComputeDistanceAndBearing(s.latitude, s.longitude, b[0], b[1], d, course);
      const double off = std::fabs(RightOf(a, b));
      if (off < 0.1) captured = leg;
      if (captured == leg && d > 5.0) worst = std::max(worst, off);
      return guidance_state.LnavEngaged == 0;
    });
    EXPECT_EQ(fp.ActiveWaypointIndex, 3);
    EXPECT_EQ(captured, 2);  // every leg, the last one flown too
    EXPECT_LT(worst, 0.3);
  }
}

// A turn at speed: at FL400, 460 kt true, 120 kt behind the aircraft on its
// first leg, turns of 120 degrees right and 155 left. Each is anticipated
// from its radius at the ground speed (the first about 25 NM out): the
// aircraft rolls out on the new leg with one turn, its track never more
// than 10 degrees past the new course, within 1 NM of the leg a minute
// after and 0.3 NM once it has it. Anticipated by the switch distance and
// allowance alone it overshot by 12 NM and flew on 10 NM off.
TEST_F(LnavFlightTest, ATurnAtSpeedRollsOutOnTheNewLegWithOneTurn) {
  const auto at = LayRoute(30.0, -40.0, 90.0, 150.0, {120.0, -155.0}, 250.0, 40000.0, 270.0, 120.0);
  const flightplan::State& fp = flightplan::flightplan_state;
  ToggleLnav();
  double leg_from = loop.time(), past = 0.0, off_after_minute = 0.0, off_after_capture = 0.0;
  int leg = fp.ActiveWaypointIndex;
  loop.Run(3 * 3600.0, [&] {
    if (fp.ActiveWaypointIndex != leg) leg = fp.ActiveWaypointIndex, leg_from = loop.time();
    if (leg == 1) return false;
    const auto &a = at[static_cast<std::size_t>(leg) - 1], &b = at[static_cast<std::size_t>(leg)];
    const sim::AircraftState& s = loop_const().aircraft_const();
    double course = 0.0, d = 0.0, unused = 0.0;
    const double off = std::fabs(RightOf(a, b, &course));
    navdb::ComputeDistanceAndBearing(s.latitude, s.longitude, b[0], b[1], d, unused);
    const double side = Turned(navdb::TrueCourse(a[0], a[1], b[0], b[1]),
                               navdb::TrueCourse(at[static_cast<std::size_t>(leg) - 2][0],
                                                 at[static_cast<std::size_t>(leg) - 2][1], a[0], a[1])) > 0.0
                            ? 1.0
                            : -1.0;
    if (loop.time() < leg_from + 300.0) past = std::max(past, side * Turned(TrackOf(s), course));
    if (d > 30.0 && loop.time() > leg_from + 240.0) off_after_minute = std::max(off_after_minute, off);
    if (d > 30.0 && loop.time() > leg_from + 420.0) off_after_capture = std::max(off_after_capture, off);
    return guidance_state.LnavEngaged == 0;
  });
  EXPECT_EQ(fp.ActiveWaypointIndex, 3);
  EXPECT_LE(past, 10.0);
  EXPECT_LT(off_after_minute, 1.0);
  EXPECT_LT(off_after_capture, 0.3);
}

// LNAV engaged 25 NM off a long leg, heading along it: the leg is joined
// on an intercept of 45 degrees (whole degrees of heading and the wind's
// correction aside), and flown, not left for a line straight at its
// waypoint; with the waypoint close, LNAV flies straight at it.
TEST_F(LnavFlightTest, ALegLeftFarBehindIsJoinedAtFortyFiveDegrees) {
  const auto at = LayRoute(47.0, -122.0, 180.0, 200.0, {0.0}, 250.0, 10000.0, 250.0, 40.0);
  sim::AircraftState& a = loop.aircraft();
  navdb::ProjectPosition(47.0, -122.0, 180.0, 40.0, a.latitude, a.longitude);
  navdb::ProjectPosition(a.latitude, a.longitude, 90.0, 25.0, a.latitude, a.longitude);
  loop.Run(2.0);
  ToggleLnav();
  double steepest = 0.0, off_at_end = 0.0;
  loop.Run(3600.0, [&] {
    double course = 0.0;
    const double off = RightOf(at[0], at[1], &course);
    if (std::fabs(off) > 1.0) steepest = std::max(steepest, std::fabs(Turned(TrackOf(loop_const().aircraft_const()), course)));
    off_at_end = std::fabs(off);
    EXPECT_EQ(guidance_state.LnavLegTracking, 1);
    return flightplan::flightplan_state.ActiveWaypointIndex != 1;
  });
  EXPECT_GT(steepest, 40.0);
  EXPECT_LT(steepest, 47.0);
  EXPECT_LT(off_at_end, 0.3);
  // Close to the waypoint and far off, straight at it.
  LayRoute(47.0, -122.0, 180.0, 200.0, {0.0}, 250.0, 10000.0);
  navdb::ProjectPosition(47.0, -122.0, 180.0, 195.0, a.latitude, a.longitude);
  navdb::ProjectPosition(a.latitude, a.longitude, 90.0, 25.0, a.latitude, a.longitude);
  loop.Run(2.0);
  ToggleLnav();
  loop.Run(5.0);
  EXPECT_EQ(guidance_state.LnavLegTracking, 0);
  EXPECT_NEAR(guidance_state.LnavCommandedHeading, guidance_state.BearingToActiveWaypoint, 1e-9);
}

// A direct-to (DIR INTC and EXEC on the CDU) in 150 kt of wind across it:
// LNAV flies the line from where it was begun, corrected for the drift,
// not a curve at the waypoint (its track once 14 to 28 degrees off the
// line), and keeps it until the waypoint.
TEST_F(LnavFlightTest, ADirectToFliesTheLineFromWhereItWasBegun) {
  const auto at = LayRoute(47.0, -122.0, 0.0, 120.0, {0.0}, 250.0, 10000.0, 90.0, 150.0);
  sim::AircraftState& a = loop.aircraft();
  navdb::ProjectPosition(47.0, -122.0, 90.0, 30.0, a.latitude, a.longitude);
  a.heading = navdb::TrueCourse(a.latitude, a.longitude, at[1][0], at[1][1]);
  loop.Run(2.0);
  ToggleLnav();
  const std::array<double, 2> begun{a.latitude, a.longitude};
  fms::fms_state.FmsHoldFixSelect = 1;  // DIR INTC, the active waypoint
  flightplan::ExecutePendingRoute();
  double worst = 0.0, worst_settled = 0.0;
  const double from = loop.time();
  loop.Run(3600.0, [&] {
    const double off = std::fabs(RightOf(begun, at[1]));
    worst = std::max(worst, off);
    if (loop.time() > from + 60.0) worst_settled = std::max(worst_settled, off);
    return flightplan::flightplan_state.ActiveWaypointIndex != 1;
  });
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
  EXPECT_LT(worst, 1.0);
  EXPECT_LT(worst_settled, 0.3);
}

// A direct-to the active waypoint 4 NM behind, the route doubling back 160
// degrees there: the turn's lead (some 30 NM at this speed) is more than
// the way back, and the waypoint was passed at once, never flown to. Passed
// no farther out than the leg from where the direct-to was begun (and that
// worked out on the pass that decides), the aircraft comes round to it
// first.
TEST_F(LnavFlightTest, ADirectToAWaypointBehindFliesBackToIt) {
  const auto at = LayRoute(-33.0, -70.5, 0.0, 40.0, {0.0}, 280.0, 10000.0);
  sim::AircraftState& a = loop.aircraft();
  navdb::ProjectPosition(at[1][0], at[1][1], 20.0, 4.0, a.latitude, a.longitude);
  a.heading = 20.0;
  loop.Run(2.0);
  ToggleLnav();
  // Passed by the way there: made active again, the aircraft beyond it.
  flightplan::flightplan_state.ActiveWaypointIndex = 1;
  guidance_state.ActiveWaypointLat = at[1][0];
  guidance_state.ActiveWaypointLon = at[1][1];
  fms::fms_state.FmsHoldFixSelect = 1;
  flightplan::ExecutePendingRoute();
  const double from = loop.time();
  double passed_off = 180.0, passed_at = -1.0;
  loop.Run(900.0, [&] {
    if (flightplan::flightplan_state.ActiveWaypointIndex == 1) return false;
    double d = 0.0, bearing = 0.0;
    navdb::ComputeDistanceAndBearing(a.latitude, a.longitude, at[1][0], at[1][1], d, bearing);
    passed_off = std::fabs(Turned(TrackOf(loop_const().aircraft_const()), bearing));
    passed_at = loop.time() - from;
    return true;
  });
  // Closing on it when it is passed.
  EXPECT_GT(passed_at, 60.0);
  EXPECT_LT(passed_off, 90.0);
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
