// The angle helpers and the leg deviation the displays share.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/navdb/navdb.h"
#include "tests/support/turning_route.h"

namespace ovi::guidance {
namespace {

TEST(TurnHelpers, TurnDirectionAtEveryBoundary) {
  struct Case {
    double target, current;
    int side;
  };
  const Case cases[] = {
      {90, 0, 2},  {0, 90, 1},    {10, 350, 2},  {350, 10, 1},  {180, 0, 2},  // current 180 below: right
      {0, 180, 1},                                                           // current 180 above: left
      {45, 45, 2}, {181, 0, 1},   {0, 181, 2},   {359.9, 0, 1}, {0.1, 359.9, 2},
  };
  for (const Case& c : cases) EXPECT_EQ(TurnDirection(c.target, c.current), c.side) << c.target << " from " << c.current;
}

TEST(TurnHelpers, TurnDirectionAndAngleTruncatesTheAngle) {
  struct Case {
    double from, to;
    int side, angle;
  };
  const Case cases[] = {
      {0, 90, 2, 90},     {90, 0, 1, 90},    {350, 10, 2, 20},  {10, 350, 1, 20}, {0, 180, 2, 180},
      {180, 0, 1, 180},   {45, 45, 2, 0},    {0, 200.7, 1, 159}, {200.7, 0, 2, 159}, {10.2, 20.9, 2, 10},
  };
  for (const Case& c : cases) {
    std::int32_t side = 0, angle = -1;
    EXPECT_EQ(TurnDirectionAndAngle(c.from, c.to, side, angle), c.side) << c.from << " to " << c.to;
    EXPECT_EQ(side, c.side);
    EXPECT_EQ(angle, c.angle) << c.from << " to " << c.to;
  }
}

TEST(TurnHelpers, HeadingDifferenceFoldsAndTruncates) {
  struct Case {
    double a, b;
    int diff;
  };
  const Case cases[] = {{10, 350, 20}, {350, 10, 20}, {0, 180, 180}, {0, 180.5, 179}, {90.9, 0, 90},
                        {362, 2, 0},   {0, 0, 0},     {359.5, 0.2, 0}};
  for (const Case& c : cases) EXPECT_EQ(HeadingDifference(c.a, c.b), c.diff) << c.a << " " << c.b;
  EXPECT_EQ(HeadingDifference(std::nan(""), 3.0), 0);
}

// The turns LNAV asks the heading hold for: the standard rate up to the
// airspeed where 25 degrees of bank give it (169.8 kt), slower above; the
// radius over the ground at the ground speed.
TEST(LnavTurns, RateRadiusAndTheWindsCorrection) {
  EXPECT_EQ(LnavTurnRate(169.0), 3.0);
  EXPECT_LT(LnavTurnRate(171.0), 3.0);
  EXPECT_GT(LnavTurnRate(171.0), 2.97);
  // tan 25 x g / v at 480 kt: 0.01852 rad/s; 480 kt over it: 7.20 NM.
  EXPECT_NEAR(LnavTurnRadius(480.0, 480.0), 7.20, 0.01);
  EXPECT_NEAR(LnavTurnRadius(600.0, 480.0), 9.00, 0.01);  // 120 kt behind: the same rate, farther over the ground
  struct Wind {
    double track, tas, from, speed, correction;
  };
  const Wind winds[] = {
      {0.0, 300.0, 90.0, 150.0, 30.0},  {0.0, 300.0, 270.0, 150.0, -30.0}, {0.0, 300.0, 0.0, 150.0, 0.0},
      {350.0, 300.0, 80.0, 150.0, 30.0}, {10.0, 300.0, 280.0, 150.0, -30.0}, {0.0, 0.0, 90.0, 150.0, 0.0},
      {0.0, 100.0, 90.0, 150.0, 90.0},  // more wind across than airspeed: straight into it
  };
  for (const Wind& w : winds) {
    SCOPED_TRACE(::testing::Message() << w.track << " at " << w.tas << ", wind " << w.from << "/" << w.speed);
    EXPECT_NEAR(WindCorrectionAngle(w.track, w.tas, w.from, w.speed), w.correction, 1e-9);
  }
  // The airspeed the wind leaves the ground speed at, on the heading flown.
  EXPECT_NEAR(TrueAirspeedInWind(450.0, 0.0, 180.0, 50.0), 400.0, 1e-9);
  EXPECT_NEAR(TrueAirspeedInWind(350.0, 0.0, 0.0, 50.0), 400.0, 1e-9);
  EXPECT_NEAR(TrueAirspeedInWind(300.0 * std::cos(30.0 * M_PI / 180.0), 30.0, 90.0, 150.0), 300.0, 1e-9);
  EXPECT_EQ(TrueAirspeedInWind(250.0, 0.0, 90.0, 0.0), 250.0);
  // No steeper to the leg than 45 degrees, across north as anywhere.
  EXPECT_EQ(InterceptTrack(30.0, 10.0), 30.0);
  EXPECT_EQ(InterceptTrack(90.0, 10.0), 55.0);
  EXPECT_EQ(InterceptTrack(300.0, 10.0), 325.0);
  EXPECT_EQ(InterceptTrack(200.0, 170.0), 200.0);
}

// A turn in a wind is led by the radius that puts it on the leg out: flown
// from that lead at LNAV's rate through the air (integrated in small
// steps, the wind carrying it), from the heading that holds the leg in to
// the one that holds the leg out, it ends on the leg out. Left and right,
// across north, from head wind to tail wind and back, in winds to 150 kt.
TEST(LnavTurns, ATurnInTheWindIsLedOntoTheLegOut) {
  struct Turn {
    double in, out, tas, from, speed;
  };
  const Turn turns[] = {
      {327.0, 88.0, 440.0, 279.0, 96.0},  {88.0, 304.0, 310.0, 181.0, 86.0}, {10.0, 280.0, 250.0, 90.0, 150.0},
      {350.0, 60.0, 480.0, 0.0, 120.0},   {200.0, 40.0, 480.0, 20.0, 150.0}, {90.0, 180.0, 160.0, 135.0, 60.0},
      {270.0, 100.0, 300.0, 300.0, 40.0}, {45.0, 200.0, 420.0, 225.0, 140.0}, {120.0, 122.0, 300.0, 90.0, 80.0},
      // The heading turning more than 180 degrees for the track's 150,
      // left and right, and 165 with the heading's turn short of 180.
      {160.0, 10.0, 460.0, 248.0, 130.0}, {200.0, 350.0, 460.0, 112.0, 130.0}, {0.0, 165.0, 300.0, 90.0, 100.0},
  };
  const double d2r = M_PI / 180.0;
  for (const Turn& t : turns) {
    SCOPED_TRACE(::testing::Message() << t.in << " to " << t.out << " at " << t.tas << ", wind " << t.from << "/"
                                      << t.speed);
    const double h1 = t.in + WindCorrectionAngle(t.in, t.tas, t.from, t.speed);
    const double h2 = t.out + WindCorrectionAngle(t.out, t.tas, t.from, t.speed);
    const double ground_in = t.tas * std::cos((h1 - t.in) * d2r) - t.speed * std::cos((t.from - t.in) * d2r);
    const double radius = LnavTurnRadiusInWind(ground_in, t.tas, t.in, t.out, t.from, t.speed);
    const double turn = std::remainder(t.out - t.in, 360.0);
    const double lead = radius * std::tan(std::fabs(turn) / 2.0 * d2r);
    // From `lead` NM before the waypoint (at 0, 0) on the leg in.
    double x = -lead * std::sin(t.in * d2r), y = -lead * std::cos(t.in * d2r), heading = h1;
    const double rate = LnavTurnRate(t.tas), dt = 0.01, to_turn = turn + std::remainder(h2 - h1 - turn, 360.0);
    const int steps = static_cast<int>(std::lround(std::fabs(to_turn) / rate / dt));
    for (int i = 0; i < steps; ++i) {
      const double mid = heading + std::copysign(rate * dt / 2.0, to_turn);
      x += (t.tas * std::sin(mid * d2r) - t.speed * std::sin(t.from * d2r)) / 3600.0 * dt;
      y += (t.tas * std::cos(mid * d2r) - t.speed * std::cos(t.from * d2r)) / 3600.0 * dt;
      heading += std::copysign(rate * dt, to_turn);
    }
    const double off_leg_out = x * std::cos(t.out * d2r) - y * std::sin(t.out * d2r);
    EXPECT_NEAR(off_leg_out, 0.0, 0.02);
  }
  // No wind, or a turn near a reversal: the radius at the ground speed.
  EXPECT_EQ(LnavTurnRadiusInWind(480.0, 480.0, 0.0, 90.0, 0.0, 0.0), LnavTurnRadius(480.0, 480.0));
  EXPECT_EQ(LnavTurnRadiusInWind(530.0, 480.0, 0.0, 175.0, 0.0, 50.0), LnavTurnRadius(530.0, 480.0));
  // A flight's turn that rolled out 1.6 NM beyond its leg out when led at
  // the radius of the 370 kt it was begun at: 121 degrees right at 440 kt
  // through the air, 96 kt from 279, the ground speed 535 kt by the end.
  const double led = LnavTurnRadiusInWind(370.0, 440.0, 327.0, 88.0, 279.0, 96.0);
  EXPECT_GT(led, 1.2 * LnavTurnRadius(370.0, 440.0)) << led;
}

// Where LNAV passes a waypoint: no nearer than its configured distance and
// allowance or the lead of its turn at its radius, whichever is more; no
// farther than its legs allow, shared with the turns at their other ends
// (what each needs to roll out on the leg first, the rest in proportion to
// what each wants beyond it; where even the needs do not fit, in proportion
// to them, the table below gives the rest); at least half a mile.
TEST(LnavTurns, SwitchDistanceAnticipatesTheTurnWithinItsLegs) {
  const WaypointTurn none{};
  struct Case {
    const char* what;
    WaypointTurn before, at, after;
    double leg_in, leg_out, radius, roll_in, expected;
  };
  const Case cases[] = {
      {"still air: the configured distance and allowance", none, {5.52, 90.0}, none, 60.0, 60.0, 0.0, 0.0, 5.52},
      // 7.2 x tan 60 + 0.5
      {"at speed: the turn's lead", none, {6.36, 120.0}, none, 100.0, 100.0, 7.2, 0.5, 7.2 * std::sqrt(3.0) + 0.5},
      {"flown over: its own distance", none, {1.5, 120.0, true}, none, 100.0, 100.0, 7.2, 0.5, 1.5},
      // JAYPE of the JAYPE3 arrival at 240 kt: LAVAA wants 3.25 (its lead
      // 0.246) of the 6.1 NM leg in, JAYPE 7.09 (its lead 4.556): JAYPE
      // gets 4.556 + (6.1 - 4.802) x 2.534 / (2.534 + 3.004); of the 8.7 NM
      // leg out, where BEAVR wants 5.94 (lead 1.899), more.
      {"short legs, shared", {3.25, 9.0}, {7.09, 146.0}, {5.94, 105.0}, 6.1, 8.7, 1.35, 0.14, 5.1496},
      {"the leads do not fit: in proportion to them", {3.0, 90.0}, {3.0, 90.0}, none, 4.0, 60.0, 3.0, 0.0, 2.0},
      {"no nearer than half a mile", {3.0, 90.0}, {3.0, 90.0}, none, 0.2, 60.0, 3.0, 0.0, 0.5},
      {"nothing turned at the leg's start: not shared", none, {5.52, 90.0}, none, 1.0, 60.0, 0.0, 0.0, 5.52},
      {"nothing turned at the route's end: not shared", none, {5.52, 90.0}, none, 60.0, 1.0, 0.0, 0.0, 5.52},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NEAR(AnticipatedSwitchDistance(c.before, c.at, c.after, c.leg_in, c.leg_out, c.radius, c.roll_in),
                c.expected, 1e-3);
  }
}

// A leg too short for the leads of the turns at both its ends. A turn
// keeps its whole lead, up to half the leg, beside the turn after it; a
// lesser turn before a reversal (whose lead runs past the leg however it
// is shared, and which loses only the sine of its few degrees short of 180
// for each mile it starts late) rolls out on its leg. The turn before is
// behind the aircraft: the leg it took is what it was passed at, where
// known, else its share in proportion.
TEST(LnavTurns, AShortLegLeavesTheLesserTurnItsLead) {
  const WaypointTurn none{};
  const double r = 2.0;  // NM, no roll-in
  auto lead = [&](double turn) { return r * std::tan(turn / 2.0 * M_PI / 180.0); };
  struct Case {
    const char* what;
    double turn_here, turn_there;
    bool there_after;  // the other turn is the one after (else the one before)
    double leg, passed_at, expected;
  };
  const double l43 = lead(43.0), l174 = lead(174.0), l146 = lead(146.0), l105 = lead(105.0);
  const double l116 = lead(116.0), l152 = lead(152.0);
  const Case cases[] = {
      // BTG of the KRATR2 arrival: 43 degrees, 16 NM before LAVAA's 174.
      {"lesser turn before a reversal: its whole lead", 43.0, 174.0, true, 15.94, NAN, l43},
      {"the reversal after it: its share in proportion", 174.0, 43.0, false, 15.94, NAN,
       15.94 * l174 / (l174 + l43)},
      // JAYPE of JAYPE3 before BEAVR: the greater turn is not cut for the lesser.
      {"greater turn before a lesser: in proportion", 146.0, 105.0, true, 8.72, NAN, 8.72 * l146 / (l146 + l105)},
      {"lesser turn after a greater: in proportion", 105.0, 146.0, false, 8.72, NAN, 8.72 * l105 / (l146 + l105)},
      {"the lesser turn's lead up to half the leg", 105.0, 146.0, true, 8.72, NAN, std::min(l105, 4.36)},
      {"both leads past half the leg: half of it", 146.0, 152.0, true, 12.0, NAN, 6.0},
      // Where the leads just fit, each has its own; just short of that the
      // lesser keeps its lead and the greater gives up its share of the
      // shortfall.
      {"the leads just fit: the lesser", 105.0, 146.0, true, l105 + l146, NAN, l105},
      {"the leads just fit: the greater", 146.0, 105.0, true, l105 + l146, NAN, l146},
      {"a hundredth short: the lesser keeps its lead", 105.0, 146.0, true, l105 + l146 - 0.01, NAN, l105},
      {"a hundredth short: the greater in proportion", 146.0, 105.0, true, l105 + l146 - 0.01, NAN,
       (l105 + l146 - 0.01) * l146 / (l105 + l146)},
      // A turn before flown slower than the aircraft flies now, its lead at
      // today's radius more than the leg leaves: what it took of the leg
      // is what it was passed at.
      {"the turn before passed at 5 NM: the whole lead", 116.0, 152.0, false, 10.0, 5.0, l116},
      {"the turn before unknown: in proportion", 116.0, 152.0, false, 10.0, NAN, 10.0 * l116 / (l116 + l152)},
      {"the turn before took the whole leg: in proportion", 116.0, 152.0, false, 10.0, 9.8,
       10.0 * l116 / (l116 + l152)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Configured distances under every lead here: the leads decide.
    const WaypointTurn here{0.5, c.turn_here};
    WaypointTurn there{0.5, c.turn_there};
    there.passed_at = c.passed_at;
    const double got = c.there_after ? AnticipatedSwitchDistance(none, here, there, 100.0, c.leg, r, 0.0)
                                     : AnticipatedSwitchDistance(there, here, none, c.leg, 100.0, r, 0.0);
    EXPECT_NEAR(got, c.expected, 1e-9);
  }
}

class DeviationTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModuleState(); }

  // A two-waypoint active route flown from entry 0 to entry 1, and the
  // aircraft at (lat, lon) heading `heading` (magnetic).
  void Leg(double lat0, double lon0, double lat1, double lon1, double lat, double lon, double heading) {
    flightplan::State& fp = flightplan::flightplan_state;
    fp.ActiveFlightPlan[0].latitude = lat0;
    fp.ActiveFlightPlan[0].longitude = lon0;
    fp.ActiveFlightPlan[1].latitude = lat1;
    fp.ActiveFlightPlan[1].longitude = lon1;
    fp.ActiveFlightPlanLastIndex = 1;
    fp.ActiveWaypointIndex = 1;
    State& g = guidance_state;
    g.PlaneLatitude = lat;
    g.PlaneLongitude = lon;
    g.AircraftHeading = heading;
    double course = 0.0, brg = 0.0;
    navdb::ComputeDistanceAndBearing(lat0, lon0, lat1, lon1, g.ActiveLegLength, course);
    g.DesiredTrack = MagneticCourse(course);
    navdb::ComputeDistanceAndBearing(lat, lon, lat1, lon1, g.ActiveWaypointDistance, brg);
  }

  struct Out {
    std::int32_t side1 = -5, xtk_side = -5, side3 = -5;
    double angle1 = -5, xtk = -5, angle3 = -5;
  };
  Out Run(std::int32_t mode) {
    Out o;
    ComputeLegDeviation(o.side1, o.angle1, o.xtk_side, o.xtk, o.side3, o.angle3, mode);
    return o;
  }
};

// One minute of arc is one nautical mile on the module's sphere.
constexpr double kNmPerArcMinute = 1.0;

TEST_F(DeviationTest, SidesAndDistanceEverywhereOnTheGlobe) {
  struct Case {
    const char* where;
    double lat0, lon0, lat1, lon1, lat, lon, heading;
    int xtk_side;
    double xtk;
  };
  const Case cases[] = {
      // Northbound on the prime meridian, 2' east of it: right of the leg.
      {"equator east", 0.0, 0.0, 1.0, 0.0, 0.5, 2.0 / 60.0, 10.0, 1, 2.0},
      {"equator west", 0.0, 0.0, 1.0, 0.0, 0.5, -2.0 / 60.0, 350.0, 2, 2.0},
      // Southbound west and south of zero: west of the leg is its right.
      {"south west", -33.0, -70.0, -34.0, -70.0, -33.5, -70.0 - 3.0 / 60.0 / std::cos(33.5 * M_PI / 180.0), 180.0, 1,
       3.0},
      // Eastbound across 180 degrees, north of the leg: its left.
      {"date line", 0.0, 179.5, 0.0, -179.5, 1.0 / 60.0, 179.9, 90.0, 2, 1.0},
      {"date line south", 0.0, 179.5, 0.0, -179.5, -1.0 / 60.0, -179.9, 90.0, 1, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    Leg(c.lat0, c.lon0, c.lat1, c.lon1, c.lat, c.lon, c.heading);
    Out o = Run(kOwnDeviationMode);
    EXPECT_EQ(o.xtk_side, c.xtk_side);
    EXPECT_NEAR(o.xtk, c.xtk * kNmPerArcMinute, 0.01);
  }
}

TEST_F(DeviationTest, BearingAndHeadingPairsAreNotFolded) {
  // Northbound leg: true north reads 360, and 360 - 0 variation is 0 in
  // magnetic. Aircraft 2' east heading 010: 10 above the leg, side 1; the
  // waypoint bears 356.2, 3.8 below the leg's 360: side 2.
  Leg(0.0, 0.0, 1.0, 0.0, 0.5, 2.0 / 60.0, 10.0);
  Out o = Run(kOwnDeviationMode);
  EXPECT_EQ(o.side3, 1);
  EXPECT_NEAR(o.angle3, 10.0, 1e-9);
  EXPECT_EQ(o.side1, 2);
  EXPECT_NEAR(o.angle1, std::atan(2.0 / 30.0) * 180.0 / M_PI, 0.01);
  // Heading 350: 350 above the leg's 0, more than 180: side 2, not folded.
  guidance_state.AircraftHeading = 350.0;
  o = Run(kOwnDeviationMode);
  EXPECT_EQ(o.side3, 2);
  EXPECT_NEAR(o.angle3, 350.0, 1e-9);
  // With variation 10 E the leg shows 350; a heading of 350 lies on it.
  guidance_state.MagneticVariation = 10.0;
  o = Run(kOwnDeviationMode);
  EXPECT_EQ(o.side3, 2);
  EXPECT_NEAR(o.angle3, 0.0, 1e-9);
}

TEST_F(DeviationTest, DisplaysSeeAtMostFiveMilesAndNothingWithoutAWaypoint) {
  // The along-track point lies the distance to go short of the waypoint, so
  // abeam at 10 NM it is sqrt(30^2 + 10^2) - 30 = 1.62 NM short of abeam.
  Leg(0.0, 0.0, 1.0, 0.0, 0.5, 10.0 / 60.0, 0.0);
  EXPECT_NEAR(Run(kOwnDeviationMode).xtk, std::hypot(10.0, std::hypot(30.0, 10.0) - 30.0) * kNmPerArcMinute, 0.01);
  EXPECT_EQ(Run(1).xtk, 5.0);
  EXPECT_EQ(Run(0).xtk, 5.0);
  Leg(0.0, 0.0, 3.0, 0.0, 1.5, 130.0 / 60.0, 0.0);
  EXPECT_EQ(Run(kOwnDeviationMode).xtk, 125.0);

  // No active waypoint: only the distance, -99.
  flightplan::flightplan_state.ActiveWaypointIndex = model::kNoWaypoint;
  Out o = Run(kOwnDeviationMode);
  EXPECT_EQ(o.xtk, kNoDeviation);
  EXPECT_EQ(o.side1, -5);
  EXPECT_EQ(o.angle3, -5);
  // An index past the end of the route counts as none.
  flightplan::flightplan_state.ActiveWaypointIndex = 2;
  EXPECT_EQ(Run(kOwnDeviationMode).xtk, kNoDeviation);
}

// Both markers stand nowhere (route editing leaves them at 0 N 0 E): with
// "THEN" where the turning route has its "DISCO", the route ahead is the
// same, crossed straight from EAST to SOUTH, and the marker has no distance.
TEST(RouteAheadTest, ThenStandsNowhereAsDiscoDoes) {
  auto ahead = [](const char* marker) {
    ResetModuleState();
    ovi::test::FlyTurningRoute(31, 300);
    flightplan::flightplan_state.ActiveFlightPlan[5].ident = marker;
    const RouteAhead route;
    std::vector<double> to;
    for (int i = 2; i <= 7; ++i) to.push_back(route.To(i));
    EXPECT_TRUE(std::isnan(to[3])) << marker;
    to.erase(to.begin() + 3);
    return to;
  };
  EXPECT_EQ(ahead("THEN"), ahead("DISCO"));
  ResetModuleState();
}

}  // namespace
}  // namespace ovi::guidance
