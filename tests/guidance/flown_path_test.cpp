// The path LNAV flies (FlownPath): kept between ticks, yet never older than
// the route, the hold, the direct-to or the speeds it was worked out from;
// and where the aircraft stands on it.
#include "src/guidance/flown_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "src/flightplan/execute.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/lateral.h"
#include "src/guidance/lnav_turn_model.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/module_state.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/guidance/closed_loop.h"

namespace ovi::guidance {
namespace {

flightplan::State& Fp() { return flightplan::flightplan_state; }

// What the pages and VNAV read of the path.
struct Reading {
  std::vector<double> entry, route;
  double aircraft = NAN;
};

Reading Read(const FlownPath& path) {
  Reading r;
  for (int i = 0; i <= Fp().ActiveFlightPlanLastIndex; ++i) {
    r.entry.push_back(path.Entry(i));
    r.route.push_back(path.RouteTo(i));
  }
  r.aircraft = path.Aircraft();
  return r;
}

// The path worked out from nothing kept, the kept work left as it was.
Reading Afresh() {
  FlownPathMemo kept = std::move(guidance_state.FlownPathCache);
  guidance_state.FlownPathCache = FlownPathMemo{};
  const Reading r = Read(FlownPath::Current());
  guidance_state.FlownPathCache = std::move(kept);
  return r;
}

// A path kept between ticks reads as one worked out afresh: the route to the
// bit; the places within 0.02 NM (a corner ahead may lag a knot behind the
// speed the aircraft's approach gives it).
void ExpectAsAfresh(const Reading& kept, const Reading& fresh) {
  ASSERT_EQ(kept.route.size(), fresh.route.size());
  for (std::size_t i = 0; i < kept.route.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(std::isnan(kept.route[i]), std::isnan(fresh.route[i]));
    if (!std::isnan(fresh.route[i])) {
      EXPECT_EQ(kept.route[i], fresh.route[i]);
    }
    EXPECT_EQ(std::isnan(kept.entry[i]), std::isnan(fresh.entry[i]));
    if (!std::isnan(fresh.entry[i])) {
      EXPECT_NEAR(kept.entry[i], fresh.entry[i], 0.02);
    }
  }
  EXPECT_NEAR(kept.aircraft, fresh.aircraft, 0.02);
}

class FlownPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    loop.Bind();
  }
  void TearDown() override { ResetModuleState(); }

  testing::ClosedLoop loop;
};

// The sample route flown under LNAV with a plan (its corners at the plan's
// speeds), into the turn at BTG; then each change a pilot makes, and on the
// very next tick the path is the one the changed route gives.
TEST_F(FlownPathTest, EveryChangeTakesEffectOnTheNextTick) {
  struct Case {
    const char* name;
    std::function<void()> change;
    bool moves_the_path;
  };
  const Case cases[] = {
      {"a waypoint ahead taken out and executed",
       [] {
         flightplan::BeginRouteModification();
         ASSERT_TRUE(flightplan::RemovePendingWaypoints(Fp().ActiveWaypointIndex + 1, Fp().ActiveWaypointIndex + 2));
         flightplan::ExecutePendingRoute();
       },
       true},
      {"a hold entered and executed",
       [] {
         flightplan::BeginRouteModification();
         ASSERT_TRUE(flightplan::AddHoldAtWaypoint(Fp().ActiveWaypointIndex + 1, 1));
         flightplan::ExecutePendingRoute();
       },
       false},
      {"direct to the waypoint after next",
       [] {
         // The route from where the aircraft is: what every direct-to
         // leaves the flown route as.
         flightplan::BeginRouteModification();
         const int target = Fp().ActiveWaypointIndex + 2;
         ASSERT_TRUE(flightplan::RemovePendingWaypoints(1, target));
         model::FlightPlanWaypoint& from = Fp().PendingFlightPlan[0];
         from.ident = "DIRECT";
         from.latitude = guidance_state.PlaneLatitude;
         from.longitude = guidance_state.PlaneLongitude;
         from.type = "WPT";
         Fp().PendingActiveWaypointIndex = 1;
         Fp().ActiveWaypointIndex = 1;
         flightplan::ExecutePendingRoute();
       },
       true},
      {"a faster cruise speed planned",
       [] {
         model::model_state.CruiseSpeed += 60.0;
         ComputeCruiseAltitude(model::model_state.CruiseAlt, 1);
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    testing::SetUpSampleFlight(loop);
    model::model_state.CruiseSpeed = 250.0;
    model::model_state.CruiseAlt = 12000;
    ComputeCruiseAltitude(12000, 1);
    ToggleLnav();
    ASSERT_EQ(guidance_state.LnavEngaged, 1);
    // Into the turn at BTG (entry 4).
    loop.Run(1800.0, [] { return Fp().ActiveWaypointIndex == 4; });
    ASSERT_EQ(Fp().ActiveWaypointIndex, 4);
    loop.Run(20.0);
    const Reading before = Read(FlownPath::Current());
    c.change();
    loop.Tick();
    const Reading after = Read(FlownPath::Current());
    ExpectAsAfresh(after, Afresh());
    if (c.moves_the_path) {
      EXPECT_NE(after.entry, before.entry);
    }
  }
}

// A route south of the equator across 180 degrees with 12 degrees of
// westerly variation: A, then B, C and D 60 NM apart at 100, 100 and 160
// degrees true (no turn at B).
class AircraftOnThePathTest : public FlownPathTest {
 protected:
  void SetUp() override {
    FlownPathTest::SetUp();
    Lay({{100.0, 60.0}, {100.0, 60.0}, {160.0, 60.0}});
    guidance_state.MagneticVariation = -12.0;
    guidance_state.LnavLegTracking = 1;
  }
  // From A, a leg of each (true course, NM); the aircraft flying to B.
  static void Lay(const std::vector<std::pair<double, double>>& legs, double lat = -20.0, double lon = 179.6) {
    for (std::size_t i = 0; i <= legs.size(); ++i) {
      model::FlightPlanWaypoint& w = Fp().ActiveFlightPlan[static_cast<int>(i)];
      w = model::FlightPlanWaypoint{};
      w.ident = std::string(1, static_cast<char>('A' + i));
      w.latitude = lat;
      w.longitude = lon;
      w.type = "WPT";
      if (i < legs.size()) navdb::ProjectPosition(lat, lon, legs[i].first, legs[i].second, lat, lon);
    }
    Fp().ActiveFlightPlanLastIndex = static_cast<int>(legs.size());
    Fp().ActiveWaypointIndex = 1;
    flightplan::ActiveRouteChanged();
  }
  // The aircraft `along` NM down the leg A-B and `right` NM right of it,
  // tracking `off` degrees right of the leg's course, at `speed` kt; a
  // second of ticks after the last place (the aircraft's own way onto its
  // leg is flown again at most once a second).
  static void Place(double along, double right, double off, double speed) {
    guidance_state.LastTick += 18.0;
    const model::FlightPlanWaypoint &a = Fp().ActiveFlightPlan[0], &b = Fp().ActiveFlightPlan[1];
    const double start = navdb::TrueCourse(a.latitude, a.longitude, b.latitude, b.longitude);
    double lat = 0.0, lon = 0.0, on_lat = 0.0, on_lon = 0.0;
    navdb::ProjectPosition(a.latitude, a.longitude, start, along, lat, lon);
    navdb::ProjectPosition(a.latitude, a.longitude, start, along + 0.01, on_lat, on_lon);
    const double course = navdb::TrueCourse(lat, lon, on_lat, on_lon);  // the leg's, here
    State& g = guidance_state;
    navdb::ProjectPosition(lat, lon, course + 90.0, right, g.PlaneLatitude, g.PlaneLongitude);
    // Ground track magnetic: true less the (westerly, negative) variation.
    g.GroundTrack = course + off - g.MagneticVariation;
    g.GroundSpeedKnots = speed;
    g.BankAttitude = 0.0;
    Crab();
  }
  // The heading (magnetic) that flies the ground track in the wind: the
  // way over the ground less the wind's.
  static void Crab() {
    State& g = guidance_state;
    const double track = (g.GroundTrack + g.MagneticVariation) * kRad, to = (g.WindDirection + 180.0) * kRad;
    const double east = g.GroundSpeedKnots * std::sin(track) - g.WindSpeed * std::sin(to);
    const double north = g.GroundSpeedKnots * std::cos(track) - g.WindSpeed * std::cos(to);
    g.AircraftHeading = std::atan2(east, north) / kRad - g.MagneticVariation;
  }
  // The climb at 250 kt, the speed VNAV's, its true airspeed growing at
  // the module's own rate (no airspeed measured), and that true airspeed.
  static void ClimbAt250() {
    model::State& m = model::model_state;
    m.VnavSetSpd = 1;
    m.ClimbIas = 250.0;
    m.ClbSpdRest = 0.0;
    guidance_state.SmoothedAirspeed = 0.0;
  }
  static double Tas250(double altitude) {
    const double growth = (model::IasToTas(1000.0, 1000.0) - 1000.0) / 1e6;
    return 250.0 * (1.0 + growth * altitude);
  }
  static constexpr double kRad = 0.017453292519943295;
};

// Below 50 kt the aircraft has no track to turn from and is taken as on its
// leg; from 50 kt on (the model flying it at 100 kt at least) it is where
// the intercept it flies brings it, which is longer than the leg it covers.
TEST_F(AircraftOnThePathTest, FromFiftyKnotsTheInterceptIsFlown) {
  Place(20.0, 2.0, 0.0, 0.0);
  const double on_leg = FlownPath::Current().Aircraft();
  EXPECT_NEAR(on_leg, 20.0, 1e-3);
  struct Case {
    double speed;
    bool flown;
  };
  for (const Case& c : {Case{49.9, false}, Case{50.0, true}, Case{80.0, true}, Case{99.9, true}, Case{100.0, true},
                        Case{250.0, true}}) {
    SCOPED_TRACE(c.speed);
    Place(20.0, 2.0, 0.0, c.speed);
    const double at = FlownPath::Current().Aircraft();
    if (c.flown) {
      EXPECT_LT(at, on_leg - 0.02);
    } else {
      EXPECT_EQ(at, on_leg);
    }
  }
}

// A hold's fix is flown to, round the racetrack and out over the fix, as a
// fly-over waypoint is: the path through it is the fly-over's, not the
// corner cut short (by 40 NM and more at a 160-degree turn at 450 kt, which
// put the top of descent that far early), from the tick the hold is
// attached or taken off, counted as a route edit or not (LNAV disengaged
// takes it off uncounted); turns left and right, gentle and sharp.
TEST_F(AircraftOnThePathTest, AHoldsFixIsFlownOverNotCut) {
  for (double turn : {-165.0, -90.0, 30.0, 120.0, 160.0}) {
    SCOPED_TRACE(turn);
    Lay({{100.0, 60.0}, {100.0, 60.0}, {100.0 + turn, 60.0}});
    Place(20.0, 0.0, 0.0, 450.0);
    const double cut = FlownPath::Current().Entry(3);
    Fp().ActiveFlightPlan[2].flyover = 1;
    flightplan::ActiveRouteChanged();
    Place(20.0, 0.0, 0.0, 450.0);
    const double over = FlownPath::Current().Entry(3);
    EXPECT_GT(over, cut + (std::fabs(turn) > 100.0 ? 10.0 : 0.05));
    Fp().ActiveFlightPlan[2].flyover = 0;
    flightplan::ActiveRouteChanged();
    Place(20.0, 0.0, 0.0, 450.0);
    ASSERT_EQ(FlownPath::Current().Entry(3), cut);
    Fp().HoldTable[1].active_index = 2;
    Fp().HoldCount = 1;
    Place(20.0, 0.0, 0.0, 450.0);
    EXPECT_EQ(FlownPath::Current().Entry(3), over);
    Fp().HoldTable[1].active_index = 0;
    Fp().HoldCount = 0;
    Place(20.0, 0.0, 0.0, 450.0);
    EXPECT_EQ(FlownPath::Current().Entry(3), cut);
  }
}

// Past the point nearest the active waypoint and not yet sequenced to the
// next (LNAV sequences on its own tick, and not at all with sequencing
// off): the waypoint is 0 NM ahead, never behind, for the path and for
// every page; the next one is as far as it is.
TEST_F(AircraftOnThePathTest, AWaypointPassedAbeamIsNoDistanceAhead) {
  for (double past : {0.5, 2.0, 5.0}) {
    SCOPED_TRACE(past);
    Place(60.0 + past, 0.0, 0.0, 250.0);
    const FlownPath& path = FlownPath::Current();
    ASSERT_NEAR(path.Aircraft(), 60.0 + past, 1e-3);
    EXPECT_EQ(path.Ahead(1), 0.0);
    EXPECT_EQ(RouteAhead().To(1), 0.0);
    EXPECT_EQ(RouteAhead().To(2), path.Entry(2) - path.Aircraft());
    EXPECT_GT(RouteAhead().To(2), 50.0 - past);
  }
}

// A first leg shorter than the distance B is passed at: the aircraft at A
// turns for C at once, where the path's first corner starts too, and stands
// at 0 NM on it (no corner starts before the route does); from a longer leg
// it is on its leg there.
TEST_F(AircraftOnThePathTest, AtTheFirstWaypointTheAircraftStandsAtTheStart) {
  struct Case {
    double first_leg, turn;
  };
  for (const Case& c : {Case{0.5, 90.0}, Case{1.0, 30.0}, Case{2.0, 90.0}, Case{3.0, 60.0}, Case{6.0, 90.0}}) {
    SCOPED_TRACE(::testing::Message() << c.first_leg << " NM, " << c.turn << " degrees");
    Lay({{100.0, c.first_leg}, {100.0 + c.turn, 60.0}, {100.0, 60.0}});
    Place(0.0, 0.0, 0.0, 250.0);
    const FlownPath& path = FlownPath::Current();
    EXPECT_EQ(path.Entry(0), 0.0);
    EXPECT_NEAR(path.Aircraft(), 0.0, 1e-6);
    EXPECT_GT(path.Entry(3), path.Entry(2) + 50.0);
  }
}

// LNAV not yet tracking its leg (the first leg) flies straight at its
// waypoint: a mile or two off a long leg the aircraft meets the leg only at
// the waypoint, and stands where it is abeam on it until the corner begins.
// Where the model came back within the leg's 0.2 NM near the corner's start
// it once flew on through the corner, and its place jumped by the corner's
// cut (4 NM at 146 degrees) between two offsets 0.01 NM apart.
TEST_F(AircraftOnThePathTest, FlyingStraightAtItsWaypointTheAircraftsPlaceHoldsStill) {
  Lay({{90.0, 200.0}, {236.0, 100.0}});
  guidance_state.LnavLegTracking = 0;
  const model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[1];
  double last = NAN;
  for (double right = -1.9; right <= 1.9; right += 0.01) {
    SCOPED_TRACE(right);
    Place(140.0, right, 0.0, 450.0);
    State& g = guidance_state;
    g.GroundTrack = navdb::TrueCourse(g.PlaneLatitude, g.PlaneLongitude, b.latitude, b.longitude) - g.MagneticVariation;
    const double at = FlownPath::Current().Aircraft();
    EXPECT_NEAR(at, 140.0, 0.05);
    if (!std::isnan(last)) {
      EXPECT_NEAR(at, last, 0.01);
    }
    last = at;
  }
}

// In a wind stronger than the ground speed, with a heading that does not
// agree with the track (turning, or the track's estimate off), the model
// flies the airspeed the aircraft has: its way over the ground less the
// wind's. Taken for the ground speed, 55 kt (flown at the model's least 100
// kt), the aircraft could not hold its leg across the wind, and its place
// ran tens of miles back along the path. Winds from either side, west of
// the leg's course and east of it, across 180 with westerly variation.
TEST_F(AircraftOnThePathTest, InAWindStrongerThanTheGroundSpeedTheAircraftStillFliesItsLeg) {
  for (double from : {-60.0, 60.0, 120.0}) {
    SCOPED_TRACE(from);
    State& g = guidance_state;
    g.WindSpeed = 139.0;
    Place(20.0, 0.3, 0.0, 55.0);
    const model::FlightPlanWaypoint &a = Fp().ActiveFlightPlan[0], &b = Fp().ActiveFlightPlan[1];
    const double course = navdb::TrueCourse(a.latitude, a.longitude, b.latitude, b.longitude);
    g.WindDirection = course + from;
    g.AircraftHeading = g.GroundTrack;  // no crab: disagrees with the track in this wind
    for (int pass = 0; pass < 3; ++pass) {
      Place(20.0 + pass * 0.01, 0.3, 0.0, 55.0);
      g.AircraftHeading = g.GroundTrack;
      EXPECT_NEAR(FlownPath::Current().Aircraft(), 20.0 + pass * 0.01, 0.5);
    }
  }
}

// Slow over the ground into a strong wind, the track the avionics work out
// from the heading less a cross-wind drift is ten degrees off the one
// flown. The aircraft's airspeed is the one along the heading it flies
// (205 kt in 127 kt of wind), not the way over the ground that track makes
// less the wind: worked out from that, 216-231 kt, the turns re-flown from
// the aircraft came out wider and its place slid back along the path. Wind
// from every side, the estimate off either way, south of the equator
// across 180 and north-west of zero, with westerly variation.
TEST_F(AircraftOnThePathTest, SlowIntoAStrongWindTheAirspeedIsTheOneAlongTheHeading) {
  struct Place_ {
    double lat, lon, variation;
  };
  const double tas = 205.0, wind = 127.0;
  State& g = guidance_state;
  for (const Place_ p : {Place_{-20.0, 179.6, -12.0}, Place_{45.5, -0.3, 15.5}}) {
    for (double from = 0.0; from < 360.0; from += 45.0) {
      for (double off : {-10.0, 10.0}) {
        SCOPED_TRACE(::testing::Message() << p.lat << " " << p.lon << " wind from " << from << " off " << off);
        SetUp();
        Lay({{100.0, 60.0}, {100.0, 60.0}, {160.0, 60.0}}, p.lat, p.lon);
        g.MagneticVariation = p.variation;
        const model::FlightPlanWaypoint &a = Fp().ActiveFlightPlan[0], &b = Fp().ActiveFlightPlan[1];
        const double course = navdb::TrueCourse(a.latitude, a.longitude, b.latitude, b.longitude);
        g.WindSpeed = wind;
        g.WindDirection = course + from;
        // Crabbed onto the leg: the heading's angle off the course and the
        // ground speed left.
        const double across = wind * std::sin(from * kRad), along = wind * std::cos(from * kRad);
        const double crab = std::asin(across / tas) / kRad;
        const double ground = tas * std::cos(crab * kRad) - along;
        for (int pass = 0; pass < 3; ++pass) {
          Place(57.0 + pass * 0.02, 0.0, off, ground);
          g.AircraftHeading = course + crab - g.MagneticVariation;
          g.DriftAngle = g.AircraftHeading - g.GroundTrack;  // the avionics' track, from the heading
          FlownPath::Current();
          EXPECT_NEAR(g.FlownPathCache.corners[1].air.tas, tas, 1.0) << "ground speed " << ground;
        }
      }
    }
  }
}

// A corner ahead is modelled at the plan's speed as a true airspeed, no
// faster than the Mach the cruise holds: the cruise's 290 kt at FL400 is
// 530 kt, where the aircraft holds M0.79 (453 kt). The path is the one of a
// plan written at the airspeed that is M0.79 there.
TEST_F(AircraftOnThePathTest, ACornerInTheCruiseIsFlownAtTheCruiseMach) {
  Lay({{90.0, 100.0}, {180.0, 100.0}});
  model::model_state.CruiseAlt = 40000;
  model::model_state.CruiseMach = 0.79;
  double low = 100.0, high = 290.0;  // the airspeed that is M0.79 at FL400
  for (int i = 0; i < 60; ++i) (model::IasToMach((low + high) / 2.0, 40000.0) < 0.79 ? low : high) = (low + high) / 2.0;
  double entry[2] = {};
  for (int k = 0; k < 2; ++k) {
    model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[1];
    b.altitude_constraint = 40000.0;
    b.speed_constraint = k == 0 ? 290.0 : low;
    flightplan::ActiveRouteChanged();
    Place(10.0, 0.0, 0.0, 450.0);
    entry[k] = FlownPath::Current().Entry(2);
  }
  EXPECT_NEAR(entry[0], entry[1], 0.25);  // a knot of rounding apart
}

// The airspeed that is `tas` true at `altitude`.
double AirspeedOfTas(double tas, double altitude) {
  double low = 50.0, high = 600.0;
  for (int i = 0; i < 60; ++i) (model::IasToTas((low + high) / 2.0, altitude) < tas ? low : high) = (low + high) / 2.0;
  return low;
}

// Below the cruise a corner is flown no faster than the Mach of the phase
// its waypoint is in: the climb's up to the entry that ends the climb, the
// descent's from it on, and with no phase known the slower of the two. B,
// a corner of 150 degrees at FL300 planned at 320 kt (M0.83), flown as the
// plan written at the airspeed as fast as that Mach is.
TEST_F(AircraftOnThePathTest, ACornerBelowTheCruiseIsFlownAtItsPhasesMach) {
  Lay({{100.0, 100.0}, {250.0, 100.0}, {100.0, 100.0}});
  model::State& m = model::model_state;
  m.CruiseAlt = 40000;
  auto path_to_d = [&](double speed, std::int32_t climb_end) {
    model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[1];
    b.altitude_constraint = 30000.0;
    b.speed_constraint = speed;
    guidance_state.ClimbEndIndex = climb_end;
    flightplan::ActiveRouteChanged();
    Place(10.0, 0.0, 0.0, 450.0);
    return FlownPath::Current().Entry(3);
  };
  const double climb = 0.60, descent = 0.78;
  m.ClimbMach = m.DescentMach = 0.0;
  const double at_climb_mach = path_to_d(AirspeedOfTas(TasNoFasterThan(320.0, 30000.0, climb), 30000.0), 0);
  const double at_descent_mach = path_to_d(AirspeedOfTas(TasNoFasterThan(320.0, 30000.0, descent), 30000.0), 0);
  ASSERT_GT(std::fabs(at_climb_mach - at_descent_mach), 1.0);
  m.ClimbMach = climb;
  m.DescentMach = descent;
  struct Case {
    std::int32_t climb_end;  // ClimbEndIndex
    double expected;
  };
  for (const Case& c : {Case{1, at_descent_mach}, Case{2, at_climb_mach}, Case{0, at_climb_mach}}) {
    SCOPED_TRACE(c.climb_end);
    EXPECT_NEAR(path_to_d(320.0, c.climb_end), c.expected, 0.25);
  }
}

// The active waypoint moves on with nothing else changing (the aircraft
// where it was, the route as it was): the waypoint just passed is behind,
// no distance ahead, and the path measures from the leg now flown.
TEST_F(AircraftOnThePathTest, TheActiveWaypointMovingOnIsTheNextPath) {
  Place(58.0, 0.0, 0.0, 250.0);
  ASSERT_NEAR(FlownPath::Current().Ahead(1), 2.0, 0.01);
  const double to_c = FlownPath::Current().Ahead(2);
  Fp().ActiveWaypointIndex = 2;
  const FlownPath& path = FlownPath::Current();
  EXPECT_TRUE(std::isnan(path.Ahead(1)));
  EXPECT_TRUE(std::isnan(RouteAhead().To(1)));
  EXPECT_NEAR(path.Ahead(2), to_c, 0.01);
  ExpectAsAfresh(Read(path), Afresh());
}

// Near the corner at the active waypoint its speed moves from the plan's
// to the aircraft's own: the corner is flown again at that speed, as a
// path worked out afresh has it. B, a corner of 90 degrees planned at 250
// kt at 10000 ft (290 kt true), approached at 450 kt.
TEST_F(AircraftOnThePathTest, TheCornerAtTheActiveWaypointFollowsTheAircraftsSpeed) {
  Lay({{100.0, 60.0}, {190.0, 60.0}, {100.0, 60.0}});
  model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[1];
  b.altitude_constraint = 10000.0;
  b.speed_constraint = 250.0;
  flightplan::ActiveRouteChanged();
  Place(10.0, 0.0, 0.0, 450.0);
  const Reading far = Read(FlownPath::Current());
  Place(52.0, 0.0, 0.0, 450.0);
  const Reading near = Read(FlownPath::Current());
  EXPECT_GT(std::fabs(near.entry[3] - far.entry[3]), 0.5);
  ExpectAsAfresh(near, Afresh());
}

// A new wind flies every corner ahead again on the very tick it comes, so
// no page reads a path half in the old air and half in the new (one corner
// a second, PROGRESS read 31 NM to go for the 23 flown); a wind moved by
// less than 5 kt is followed a corner at a time, at most one a tick. Sharp
// corners at B, C and D, winds from every side and across north, and a
// second new wind 12 s after the first.
TEST_F(AircraftOnThePathTest, ANewWindFliesEveryCornerAheadAtOnce) {
  struct Case {
    double from_direction, from_speed, to_direction, to_speed;
    bool at_once;
  };
  const Case cases[] = {
      {250.0, 30.0, 70.0, 110.0, true},   // round to a tail wind
      {350.0, 80.0, 10.0, 80.0, true},    // across north, 28 kt apart
      {180.0, 120.0, 180.0, 60.0, true},  // a southerly halved
      {0.0, 30.0, 0.0, 35.0, true},       // 5 kt more
      {0.0, 30.0, 0.0, 34.0, false},      // 4 kt more
      {90.0, 0.0, 270.0, 4.0, false},     // a breath from calm
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from_direction << "/" << c.from_speed << " to " << c.to_direction << "/"
                                    << c.to_speed);
    SetUp();
    Lay({{100.0, 60.0}, {200.0, 40.0}, {80.0, 40.0}, {330.0, 60.0}});
    State& g = guidance_state;
    g.WindDirection = c.from_direction;
    g.WindSpeed = c.from_speed;
    for (double along = 5.0; along <= 15.0; along += 1.0) {
      Place(along, 0.0, 0.0, 420.0);
      g.AircraftHeading = g.GroundTrack;  // no crab: the airspeed from the way over the ground
      FlownPath::Current();
    }
    ExpectAsAfresh(Read(FlownPath::Current()), Afresh());
    for (int wind = 0; wind < (c.at_once ? 2 : 1); ++wind) {
      SCOPED_TRACE(wind);
      if (wind > 0) {
        for (int s = 0; s < 12; ++s) {
          Place(16.0 + s, 0.0, 0.0, 420.0);
          g.AircraftHeading = g.GroundTrack;
          FlownPath::Current();
        }
      }
      const Reading before = Read(FlownPath::Current());
      const std::vector<FlownCorner> corners = g.FlownPathCache.corners;
      g.LastTick += 1.0;
      g.WindDirection = wind > 0 ? c.from_direction : c.to_direction;
      g.WindSpeed = wind > 0 ? c.from_speed : c.to_speed;
      const FlownPath& path = FlownPath::Current();
      if (c.at_once) {
        EXPECT_NE(Read(path).entry, before.entry);
        ExpectAsAfresh(Read(path), Afresh());
      }
      // Corners ahead (B, C, D) flown again on this tick.
      int flown = 0;
      for (int i = 1; i <= 3; ++i) flown += g.FlownPathCache.corners[i].air == corners[i].air ? 0 : 1;
      EXPECT_EQ(flown, c.at_once ? 3 : std::min(flown, 1));
    }
  }
}

// A discontinuity ("DISCO", whose place reads 0 N 0 E) before the active
// waypoint: the active leg runs from the waypoint before it, and an
// aircraft 3 NM off that leg is on its way along it, not joining it from
// afar: a point of the path ahead of it lies on the leg.
TEST_F(AircraftOnThePathTest, ALegAcrossADiscontinuityIsMeasuredFromTheWaypointBeforeIt) {
  model::FlightPlanTable& plan = Fp().ActiveFlightPlan;
  for (int i = 4; i >= 2; --i) plan[i + 1] = plan[i];
  plan[2] = model::FlightPlanWaypoint{};
  plan[2].ident = "DISCO";
  Fp().ActiveFlightPlanLastIndex = 4;
  Fp().ActiveWaypointIndex = 3;
  flightplan::ActiveRouteChanged();
  const model::FlightPlanWaypoint &b = plan[1], &c = plan[3];
  const double course = navdb::TrueCourse(b.latitude, b.longitude, c.latitude, c.longitude);
  State& g = guidance_state;
  double lat = 0.0, lon = 0.0;
  navdb::ProjectPosition(b.latitude, b.longitude, course, 40.0, lat, lon);
  navdb::ProjectPosition(lat, lon, course + 90.0, 3.0, g.PlaneLatitude, g.PlaneLongitude);
  g.GroundTrack = course - g.MagneticVariation;
  g.GroundSpeedKnots = 250.0;
  g.LastTick += 18.0;
  const FlownPath& path = FlownPath::Current();
  double at_lat = 0.0, at_lon = 0.0;
  int leg_start = -1;
  ASSERT_TRUE(path.PositionFromCoordinate(path.Aircraft() + 8.0, at_lat, at_lon, leg_start));
  EXPECT_EQ(leg_start, 1);
  EXPECT_LT(std::fabs(OffsetFromLeg(b.latitude, b.longitude, c.latitude, c.longitude, at_lat, at_lon).off), 0.05);
}

// The navigator's direct-to C made 40 NM down the 100-NM leg to B puts
// "DIRECT" at the aircraft, behind B: the leg from B back to it was never
// flown, and the path runs from the aircraft along the direct-to's leg and
// on round C to D, in still air and in a wind from any side (flown back
// from B's turn onto that leg, the path ended at C: D read as near as C);
// behind the aircraft it runs back the way the aircraft came, not over the
// waypoints skipped ahead of it.
TEST_F(AircraftOnThePathTest, ADirectToPastTheWaypointAheadRunsOnToTheRoutesEnd) {
  for (const double wind : {-1.0, 10.0, 100.0, 190.0, 280.0}) {
    SCOPED_TRACE(wind);
    Lay({{100.0, 100.0}, {60.0, 200.0}, {160.0, 60.0}});
    State& g = guidance_state;
    g.WindDirection = wind < 0.0 ? 0.0 : wind;
    g.WindSpeed = wind < 0.0 ? 0.0 : 90.0;
    Place(40.0, 0.0, 0.0, 450.0);
    model::FlightPlanTable& plan = Fp().ActiveFlightPlan;
    for (int i = 3; i >= 2; --i) plan[i + 1] = plan[i];
    plan[2] = model::FlightPlanWaypoint{};
    plan[2].ident = "DIRECT";
    plan[2].latitude = g.PlaneLatitude;
    plan[2].longitude = g.PlaneLongitude;
    Fp().ActiveFlightPlanLastIndex = 4;
    Fp().ActiveWaypointIndex = 3;
    flightplan::ActiveRouteChanged();
    g.LastTick += 18.0;
    const FlownPath& path = FlownPath::Current();
    double to_c = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, plan[3].latitude, plan[3].longitude, to_c,
                                     course);
    EXPECT_NEAR(RouteAhead().To(3), to_c, 2.0);
    // Round C's 100-degree turn: a mile or two cut off the 60 NM to D.
    EXPECT_GT(RouteAhead().To(4) - RouteAhead().To(3), 55.0);
    EXPECT_LT(RouteAhead().To(4) - RouteAhead().To(3), 60.0);
    for (int i = 1; i <= 4; ++i) EXPECT_GE(path.Entry(i), path.Entry(i - 1));
    // A point 5 NM back (a top of descent passed) lies behind the aircraft
    // on its way in, and reads as there again.
    double lat = 0.0, lon = 0.0, from_c = 0.0;
    int leg_start = 0;
    ASSERT_TRUE(path.PositionFromCoordinate(path.Aircraft() - 5.0, lat, lon, leg_start));
    navdb::ComputeDistanceAndBearing(lat, lon, plan[3].latitude, plan[3].longitude, from_c, course);
    EXPECT_NEAR(from_c, to_c + 5.0, 0.5);
    EXPECT_NEAR(path.CoordinateFromPosition(4, lat, lon), path.Aircraft() - 5.0, 0.1);
  }
}

// Flying straight at its waypoint far off its leg (a direct-to), the
// aircraft's way is stretched to the path it flies (the corner at the
// waypoint cut, the turn onto the way). A point it has passed on that way
// (a TOD) lies behind it by the straight miles flown since, however the
// way's stretch changes as the waypoint nears: stretched with the rest,
// a TOD passed 16 NM back crept 2.2 NM on, and VNAV's path rose above the
// aircraft. Turns at B both ways, gentle and sharp, in still air and a
// wind, across 180 degrees south of the equator.
TEST_F(AircraftOnThePathTest, APointPassedOnTheWayToTheWaypointStaysBehindByTheMilesFlown) {
  struct Case {
    double course_out;  // B to C, true
    double wind_from;   // negative: still air
    double right;       // NM right of A-B where the point is passed (far off it)
  };
  for (const Case& c : {Case{160.0, -1.0, 25.0}, Case{40.0, -1.0, -25.0}, Case{200.0, 250.0, 30.0},
                        Case{10.0, 80.0, -35.0}}) {
    SCOPED_TRACE(c.course_out);
    Lay({{100.0, 60.0}, {c.course_out, 60.0}, {160.0, 60.0}});
    State& g = guidance_state;
    guidance_state.LnavLegTracking = 0;
    g.WindDirection = c.wind_from < 0.0 ? 0.0 : c.wind_from;
    g.WindSpeed = c.wind_from < 0.0 ? 0.0 : 80.0;
    const model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[1];
    Place(10.0, c.right, 0.0, 420.0);
    const double lat = g.PlaneLatitude, lon = g.PlaneLongitude;
    double straight = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(lat, lon, b.latitude, b.longitude, straight, course);
    // Still joining: more than 5 NM off the leg A-B.
    for (double flown = 2.0; flown < straight * 0.6; flown += 4.0) {
      SCOPED_TRACE(flown);
      g.LastTick += 18.0;
      navdb::ProjectPosition(lat, lon, course, flown, g.PlaneLatitude, g.PlaneLongitude);
      g.GroundTrack = navdb::TrueCourse(g.PlaneLatitude, g.PlaneLongitude, b.latitude, b.longitude) -
                      g.MagneticVariation;
      Crab();
      const FlownPath& path = FlownPath::Current();
      EXPECT_NEAR(path.CoordinateFromPosition(3, lat, lon), path.Aircraft() - flown, 0.1);
    }
  }
}

// A route that turns back (A east to B, down to C, back north-west to D
// past A, up to E): flying straight at B far off A-B, the aircraft's way
// runs on behind it across the leg C-D. A point the plan placed on that
// leg (a TOD ahead) reads where it lies on it, on every pass as the
// aircraft flies on: once a pass lined the way up with it, a TOD 127 NM
// behind read there, 220 NM ahead of its place, and the descent began.
// Points along C-D, in still air and a wind, south of the
// equator across 180 degrees and west of the prime meridian.
TEST_F(AircraftOnThePathTest, APointOnALegAheadBehindTheAircraftsWayIsOnThatLeg) {
  struct Case {
    double route_past_c;  // NM along the legs past C where the point lies
    double wind_from;     // negative: still air
    double lat, lon;      // of A
  };
  for (const Case& c : {Case{45.0, -1.0, -20.0, 179.6}, Case{70.0, 250.0, -20.0, 179.6},
                        Case{30.0, 80.0, -35.0, -0.3}, Case{75.0, -1.0, -35.0, -0.3}}) {
    SCOPED_TRACE(::testing::Message() << c.route_past_c << " NM past C, wind " << c.wind_from << " at " << c.lat
                                      << ", " << c.lon);
    Lay({{90.0, 80.0}, {200.0, 70.0}, {300.0, 90.0}, {20.0, 60.0}}, c.lat, c.lon);
    State& g = guidance_state;
    g.LnavLegTracking = 0;
    g.WindDirection = c.wind_from < 0.0 ? 0.0 : c.wind_from;
    g.WindSpeed = c.wind_from < 0.0 ? 0.0 : 80.0;
    const model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[1];
    const double route = FlownPath::Current().RouteTo(2) + c.route_past_c;
    double lat = 0.0, lon = 0.0;
    int leg_start = -1;
    ASSERT_TRUE(FlownPath::Current().PositionFromRouteDistance(route, lat, lon, leg_start));
    const double back = navdb::TrueCourse(b.latitude, b.longitude, lat, lon);
    // On the great circle from B through the point, 40 NM to 20 NM from B:
    // more than 5 NM off A-B, and straight at B.
    for (double from_b = 40.0; from_b >= 20.0; from_b -= 5.0) {
      SCOPED_TRACE(from_b);
      g.LastTick += 18.0;
      navdb::ProjectPosition(b.latitude, b.longitude, back, from_b, g.PlaneLatitude, g.PlaneLongitude);
      g.GroundTrack = navdb::TrueCourse(g.PlaneLatitude, g.PlaneLongitude, b.latitude, b.longitude) -
                      g.MagneticVariation;
      g.GroundSpeedKnots = 420.0;
      g.BankAttitude = 0.0;
      Crab();
      const FlownPath& path = FlownPath::Current();
      ASSERT_GT(std::fabs(OffsetFromLeg(Fp().ActiveFlightPlan[0].latitude, Fp().ActiveFlightPlan[0].longitude,
                                        b.latitude, b.longitude, g.PlaneLatitude, g.PlaneLongitude)
                              .off),
                5.0);
      EXPECT_NEAR(path.CoordinateFromPosition(4, lat, lon), path.CoordinateFromRouteDistance(route), 0.05);
      EXPECT_GT(path.CoordinateFromPosition(4, lat, lon), path.Aircraft());
    }
  }
}

// Turned away from its leg (right after a direct-to, or a waypoint
// sequenced in a turn), the aircraft flies the turn and the intercept
// first, and from where it meets the leg a mile flown is a mile of the leg.
// A point placed beyond that meeting (a TOC) lies on the leg, the path's
// miles before the waypoint, and reads the same once the aircraft is on
// its leg: spread over the whole way, a top of climb 74 NM ahead of a
// direct-to that turned the aircraft round moved 4 NM on as it joined, and
// VNAV eased its climb to it. Turns away both ways, gentle to a reversal,
// in still air and a wind, on the route's own leg and on one from where a
// direct-to began (off the route), across 180 degrees south of the
// equator with a westerly variation.
TEST_F(AircraftOnThePathTest, APointBeyondWhereTheWayMeetsTheLegLiesOnTheLeg) {
  struct Case {
    double off;        // degrees the track is turned from the leg's course
    double wind_from;  // negative: still air
    bool off_route;    // the leg from where a direct-to began, 6 NM right of A-B
  };
  auto distance = [](double lat1, double lon1, double lat2, double lon2) {
    double d = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, course);
    return d;
  };
  for (const Case& c : {Case{60.0, -1.0, false}, Case{-120.0, -1.0, false}, Case{170.0, 250.0, false},
                        Case{-150.0, 80.0, false}, Case{140.0, -1.0, true}, Case{-100.0, 300.0, true}}) {
    SCOPED_TRACE(::testing::Message() << c.off << " degrees, wind " << c.wind_from << (c.off_route ? ", off" : ""));
    Lay({{100.0, 60.0}, {100.0, 60.0}, {160.0, 60.0}});
    State& g = guidance_state;
    g.WindDirection = c.wind_from < 0.0 ? 0.0 : c.wind_from;
    g.WindSpeed = c.wind_from < 0.0 ? 0.0 : 80.0;
    g.ActiveLegFromEngagePosition = 0;
    const model::FlightPlanWaypoint& b = Fp().ActiveFlightPlan[1];
    double start_lat = Fp().ActiveFlightPlan[0].latitude, start_lon = Fp().ActiveFlightPlan[0].longitude;
    if (c.off_route) {
      Place(5.0, 6.0, 0.0, 420.0);
      start_lat = g.LegOriginLatitude = g.PlaneLatitude;
      start_lon = g.LegOriginLongitude = g.PlaneLongitude;
      g.ActiveLegFromEngagePosition = 1;
    }
    const double course = navdb::TrueCourse(b.latitude, b.longitude, start_lat, start_lon);  // back from B
    const double leg = distance(b.latitude, b.longitude, start_lat, start_lon);
    // Turned away 6 NM beside the leg where it begins (joining it: more than
    // 5 NM off), then on the leg 25 NM on.
    auto on_leg_at = [&](double from_b, double off, double right) {
      g.LastTick += 18.0;
      double lat = 0.0, lon = 0.0;
      navdb::ProjectPosition(b.latitude, b.longitude, course, from_b, lat, lon);
      navdb::ProjectPosition(lat, lon, navdb::TrueCourse(lat, lon, b.latitude, b.longitude) + 90.0, right,
                             g.PlaneLatitude, g.PlaneLongitude);
      g.GroundTrack = course + 180.0 + off - g.MagneticVariation;
      g.GroundSpeedKnots = 420.0;
      g.BankAttitude = 0.0;
      Crab();
    };
    on_leg_at(leg - 0.5, c.off, 6.0);
    const FlownPath& turning = FlownPath::Current();
    // 8 NM before B's entry: past where the way meets the leg, even after a
    // reversal.
    const double at = turning.Entry(1) - 8.0;
    ASSERT_GT(at, turning.Aircraft() + 10.0);
    double lat = 0.0, lon = 0.0;
    int leg_start = 0;
    ASSERT_TRUE(turning.PositionFromCoordinate(at, lat, lon, leg_start));
    EXPECT_NEAR(turning.CoordinateFromPosition(3, lat, lon), at, 0.05);
    EXPECT_LT(std::fabs(OffsetFromLeg(start_lat, start_lon, b.latitude, b.longitude, lat, lon).off), 0.05);
    EXPECT_NEAR(distance(lat, lon, b.latitude, b.longitude), turning.RouteTo(1) - turning.RouteDistanceFromCoordinate(at),
                0.05);
    // On a leg from where a direct-to began the path still counts the
    // route's own leg, a little shorter or longer.
    on_leg_at(leg - 25.0, 0.0, 0.0);
    EXPECT_NEAR(FlownPath::Current().CoordinateFromPosition(3, lat, lon), at, c.off_route ? 0.25 : 0.05);
  }
}

// A point of the path (a TOC or TOD) is looked for on every pass, and its
// walk along the legs kept until the path is built again: over a seeded
// sequence of places, on and off the leg, at speeds that build the path
// again now and then, and of active waypoints, each point, walked back to
// from every entry, reads as when looked for afresh; also the first look
// after the path was built again, whose kept walk was of the path before.
TEST_F(AircraftOnThePathTest, APointOfThePathReadsTheSameKeptOrLookedForAfresh) {
  struct Point {
    int leg;  // from entry leg - 1 to entry leg
    double along, right;
  };
  const std::vector<Point> points{{1, 10.0, 0.0}, {1, 45.0, 0.0}, {2, 20.0, 0.0}, {3, 30.0, 0.0},
                                  {2, 59.0, 0.3}, {3, 5.0, -1.5}, {1, 30.0, 9.0}};
  std::vector<std::pair<double, double>> at;
  for (const Point& p : points) {
    const model::FlightPlanWaypoint &a = Fp().ActiveFlightPlan[p.leg - 1], &b = Fp().ActiveFlightPlan[p.leg];
    double lat = 0.0, lon = 0.0;
    navdb::ProjectPosition(a.latitude, a.longitude, navdb::TrueCourse(a.latitude, a.longitude, b.latitude, b.longitude),
                           p.along, lat, lon);
    double off_lat = lat, off_lon = lon;
    if (p.right != 0.0) {
      navdb::ProjectPosition(lat, lon, navdb::TrueCourse(lat, lon, b.latitude, b.longitude) + 90.0, p.right, off_lat,
                             off_lon);
    }
    at.emplace_back(off_lat, off_lon);
  }
  std::mt19937 random(67);
  std::uniform_real_distribution<double> along(0.0, 58.0), right(-8.0, 8.0), off(-40.0, 40.0), speed(120.0, 480.0);
  double kt = 250.0;
  const std::size_t on_legs = at.size();
  at.resize(on_legs + 2);
  const auto look = [&](const FlownPath& path, std::size_t key) {
    return path.CoordinateFromPosition(1 + static_cast<int>(key / at.size()), at[key % at.size()].first,
                                       at[key % at.size()].second);
  };
  const std::size_t keys = 3 * at.size();
  // Each look at `key` as it was kept, then as worked out afresh once four
  // other points have pushed it out.
  const auto expect_kept_as_afresh = [&](const FlownPath& path, const std::vector<std::size_t>& chosen) {
    std::vector<double> kept;
    for (std::size_t key : chosen) kept.push_back(look(path, key));
    for (std::size_t other = 0; other < 4; ++other) look(path, (chosen.back() + 1 + other) % keys);
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      const double fresh = look(path, chosen[i]);
      EXPECT_EQ(std::isnan(kept[i]), std::isnan(fresh));
      if (!std::isnan(fresh)) {
        EXPECT_EQ(kept[i], fresh) << "from " << 1 + chosen[i] / at.size() << ", point " << chosen[i] % at.size();
      }
    }
  };
  // Looked at last on each place, and first on the next: on the legs beyond
  // the corners, whose coordinates follow the speed.
  const std::vector<std::size_t> last_looked{2 * at.size() + 3, 2 * at.size() + 2, 2 * at.size() + 5, 2 * at.size() + 4};
  int joining = 0;
  for (int step = 0; step < 80; ++step) {
    SCOPED_TRACE(step);
    if (step % 20 == 19) Fp().ActiveWaypointIndex = 1 + (Fp().ActiveWaypointIndex % 3);
    // The speed held for a few places, so the path is not built again at each.
    if (step % 5 == 0) kt = speed(random);
    Place(along(random), right(random), off(random), kt);
    const FlownPath& path = FlownPath::Current();
    if (step > 0) expect_kept_as_afresh(path, last_looked);
    // Two points on the aircraft's way to the active waypoint, where it has
    // one of its own.
    for (std::size_t i = 0; i < 2; ++i) {
      int leg_start = -1;
      auto& [lat, lon] = at[on_legs + i];
      if (!path.PositionFromCoordinate(path.Aircraft() + 2.0 + 3.0 * static_cast<double>(i), lat, lon, leg_start)) {
        lat = lon = 0.0;
      }
    }
    // Off the leg: the aircraft joins it.
    const model::FlightPlanWaypoint &from = Fp().ActiveFlightPlan[Fp().ActiveWaypointIndex - 1],
                                    &to = Fp().ActiveFlightPlan[Fp().ActiveWaypointIndex];
    joining += std::fabs(OffsetFromLeg(from.latitude, from.longitude, to.latitude, to.longitude, at[on_legs].first,
                                       at[on_legs].second)
                             .off) > 0.3;
    for (std::size_t key = 0; key < keys; ++key) expect_kept_as_afresh(path, {key});
    expect_kept_as_afresh(path, last_looked);
  }
  // The sequence did fly its aircraft joining its leg.
  EXPECT_GT(joining, 10);
}

// The wind (kt, from degrees true) the aircraft and the corners ahead fly in.
void SetWind(double speed, double from) {
  guidance_state.WindSpeed = speed;
  guidance_state.WindDirection = from;
}

// The corner at B in coordinates, where the path turns ([from, to)); false
// where it turns nowhere before C.
bool TurnAtB(const FlownPath& path, double& from, double& to) {
  const double end = path.Entry(2);
  from = to = NAN;
  for (double x = 0.0; x < end; x += 0.01) {
    const bool turning = std::isfinite(path.CornerTrack(x));
    if (turning && std::isnan(from)) from = x;
    if (!turning && std::isfinite(from)) {
      to = x;
      break;
    }
  }
  return std::isfinite(to);
}

// A corner at B between two legs, and the wind it is flown in.
struct CornerCase {
  double lat, lon;
  double in, out;  // true courses of the legs into and out of B
  double wind, from;
};

// The tracks of a corner are true tracks over the ground, the path's own:
// walked from where the path starts to turn, they end where it is on the
// next leg again. Right and left, gentle and sharp, in still air and in
// 100 kt from each side, south of the equator across 180 degrees and far
// north across the prime meridian.
TEST_F(AircraftOnThePathTest, ACornersTracksWalkedFromItsStartEndOnTheNextLeg) {
  using Case = CornerCase;
  const Case cases[] = {
      {-20.0, 179.6, 100.0, 190.0, 0.0, 0.0},    {-20.0, 179.6, 100.0, 230.0, 100.0, 41.0},
      {-20.0, 179.6, 100.0, 330.0, 100.0, 200.0}, {-20.0, 179.6, 100.0, 40.0, 100.0, 300.0},
      {72.0, 1.0, 260.0, 130.0, 100.0, 80.0},     {72.0, 1.0, 260.0, 300.0, 100.0, 170.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lat << " " << c.in << "-" << c.out << " wind " << c.wind << "/" << c.from);
    Lay({{c.in, 60.0}, {c.out, 60.0}, {c.in, 60.0}}, c.lat, c.lon);
    SetWind(c.wind, c.from);
    Place(10.0, 0.0, 0.0, 300.0);
    const FlownPath& path = FlownPath::Current();
    double from = 0.0, to = 0.0;
    ASSERT_TRUE(TurnAtB(path, from, to));
    double lat = 0.0, lon = 0.0, end_lat = 0.0, end_lon = 0.0;
    int leg = -1;
    ASSERT_TRUE(path.PositionFromCoordinate(from, lat, lon, leg));
    ASSERT_TRUE(path.PositionFromCoordinate(to, end_lat, end_lon, leg));
    const model::FlightPlanWaypoint &a = Fp().ActiveFlightPlan[0], &b = Fp().ActiveFlightPlan[1];
    const double in = navdb::TrueCourse(b.latitude, b.longitude, a.latitude, a.longitude) + 180.0;
    EXPECT_NEAR(Wrap180(path.CornerTrack(from + 0.005) - in), 0.0, 2.0);
    for (double x = from; x < to; x += 0.005)
      navdb::ProjectPosition(lat, lon, path.CornerTrack(x + 0.0025), std::min(0.005, to - x), lat, lon);
    double off = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(lat, lon, end_lat, end_lon, off, course);
    // Back on its leg, as the model of the turn takes it, within 0.2 NM.
    EXPECT_LT(off, 0.25) << "from " << from << " to " << to;
    EXPECT_TRUE(std::isnan(path.CornerTrack(to + 0.01)));
  }
}

// A hairpin whose leg in runs by the waypoint after the turn, within that
// waypoint's switch distance (KRATR2: the leg into LAVAA passes under half
// a mile from BEAVR, which follows LAVAA's turn of 170 degrees). LNAV does
// not pass C from the leg in, C being behind it, and the model of its
// turns neither: C is passed on the way round, its point beyond B's.
// Passed at once with B, the path ran on from the leg in to D, and C's
// point lay on the leg into B, where the aircraft was half a mile from it
// heading away. North and west of zero, and south across 180 degrees.
TEST_F(AircraftOnThePathTest, AHairpinsLegInPassingTheWaypointAfterItDoesNotPassThatOne) {
  struct Case {
    double lat, lon, back;  // B-C's course this many degrees right of B-A's
  };
  for (const Case& c : {Case{45.7, -122.6, -2.0}, Case{45.7, -122.6, 3.0}, Case{-20.0, 179.95, -2.0}}) {
    SCOPED_TRACE(::testing::Message() << c.lat << " " << c.lon << " " << c.back);
    Lay({{240.0, 16.0}, {60.0 + c.back, 5.5}, {115.0, 10.0}, {115.0, 10.0}}, c.lat, c.lon);
    Place(4.0, 0.0, 0.0, 200.0);
    const FlownPath& path = FlownPath::Current();
    EXPECT_GT(path.Entry(2), path.Entry(1) + 1.0) << path.Entry(1) << " " << path.Entry(2);
  }
}

// The climb meets each leg's wind where the aircraft flies it: through a
// corner on the track the path turns on, from where LNAV passes the
// waypoint. Taken as the leg's up to the point nearest the waypoint, a
// business jet turning 131 degrees onto 96 kt behind levelled off 4 NM
// beyond its T/C. The climb flown second by second along the path, 250 kt
// from 5,000 to 20,000 ft at 2,000 ft/min, the aircraft 35 NM from B. At
// 1,000 ft/min a slice of the climb (500 ft) is 2-3 NM: one that begins
// short of the corner and ends deep in it is flown round it too. Flown on
// the leg in, the wind across it that the turn brings onto the nose was
// met a slice late, and the climb counted 0.13-0.24 NM long.
TEST_F(AircraftOnThePathTest, TheClimbTurnsWithThePath) {
  State& g = guidance_state;
  ClimbAt250();
  const double from_altitude = 5000.0, to_altitude = 20000.0;
  ASSERT_EQ(MachInsteadOf(model::PerformanceSegment::kClimb, 250.0, to_altitude), 0.0);
  auto tas = Tas250;
  struct Case {
    double in, out, wind, from;
    double along = 25.0, rate = 2000.0;  // NM down the leg A-B, ft/min
  };
  const Case cases[] = {
      {100.0, 231.0, 96.0, 41.0},         {100.0, 231.0, 96.0, 221.0},        {100.0, 10.0, 120.0, 190.0},
      {100.0, 10.0, 120.0, 10.0},         {100.0, 160.0, 100.0, 340.0},       {100.0, 330.0, 80.0, 150.0},
      {100.0, 190.0, 100.0, 190.0, 19.5, 1000.0}, {100.0, 190.0, 100.0, 190.0, 20.0, 1000.0},
      {100.0, 10.0, 100.0, 10.0, 19.5, 1000.0},   {100.0, 10.0, 100.0, 10.0, 20.0, 1000.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.in << "-" << c.out << " wind " << c.wind << "/" << c.from << " from "
                                      << c.along << " NM at " << c.rate);
    const double rate = c.rate;
    Lay({{c.in, 60.0}, {c.out, 60.0}, {c.in, 60.0}});
    g.AircraftAltitude = from_altitude;
    // In still air the climb is its true airspeed, and what is left the
    // level-off.
    SetWind(0.0, 0.0);
    Place(c.along, 0.0, 0.0, tas(from_altitude));
    double calm = 0.0;
    const int seconds = static_cast<int>((to_altitude - from_altitude) / rate * 60.0 + 0.5);
    for (int s = 0; s < seconds; ++s) calm += tas(from_altitude + (s + 0.5) * rate / 60.0) / 3600.0;
    const double level_off = (ClimbModel(rate).Distance(from_altitude, to_altitude) - calm) / tas(to_altitude) * 3600.0;
    SetWind(c.wind, c.from);
    Place(c.along, 0.0, 0.0, tas(from_altitude));
    const FlownPath& path = FlownPath::Current();
    double turn_from = 0.0, turn_to = 0.0;
    ASSERT_TRUE(TurnAtB(path, turn_from, turn_to));
    const model::FlightPlanWaypoint &b = Fp().ActiveFlightPlan[1], &cc = Fp().ActiveFlightPlan[2];
    const double first = navdb::TrueCourse(g.PlaneLatitude, g.PlaneLongitude, b.latitude, b.longitude);
    const double second = navdb::TrueCourse(b.latitude, b.longitude, cc.latitude, cc.longitude);
    auto ground_speed = [&](double air, double x) {
      const double turning = path.CornerTrack(x);
      const double track = std::isfinite(turning) ? turning : x < turn_from ? first : second;
      const double angle = (c.from - track) * 0.017453292519943295;
      return std::sqrt(air * air - std::pow(c.wind * std::sin(angle), 2.0)) - c.wind * std::cos(angle);
    };
    const double here = path.Aircraft();
    double flown = 0.0;
    for (int s = 0; s < seconds; ++s)
      flown += ground_speed(tas(from_altitude + (s + 0.5) * rate / 60.0), here + flown) / 3600.0;
    ASSERT_GT(here + flown, turn_from + 2.0);  // the climb turns with the path
    flown += ground_speed(tas(to_altitude), here + flown) * level_off / 3600.0;
    EXPECT_NEAR(ClimbModel(rate).Distance(from_altitude, to_altitude), flown, 0.1);
  }
}

// Off its leg, the aircraft climbs through its own turn onto it on the
// tracks that turn is flown on, and the wind meets it on those: counted on
// the leg's track from the start, a turn from across the leg onto 140 kt
// behind put the T/C 1.4 NM beyond where the climb ended. Right and left of
// the leg, wind behind and ahead, across 180 south of the equator and west
// of zero north of it, with the fixture's 12 degrees of variation.
TEST_F(AircraftOnThePathTest, TheClimbThroughTheAircraftsOwnTurnIsFlownOnItsTracks) {
  State& g = guidance_state;
  ClimbAt250();
  const double from_altitude = 5000.0, to_altitude = 17000.0, rate = 2000.0;
  auto tas = Tas250;
  struct Case {
    double right, off;  // NM right of the leg; the track, degrees right of its course
    double wind, from;  // kt, degrees true (the leg is 100 true)
    double lat = -20.0, lon = 179.6;
  };
  const Case cases[] = {
      {4.0, -90.0, 140.0, 280.0},           {-4.0, 90.0, 140.0, 280.0},           {4.0, -90.0, 140.0, 100.0},
      {-4.0, 90.0, 140.0, 100.0},           {4.0, -90.0, 140.0, 280.0, 48.0, -0.3}, {-4.0, 90.0, 140.0, 100.0, 48.0, -0.3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.right << " NM right, " << c.off << " off, wind " << c.wind << "/" << c.from
                                      << " at " << c.lat << "/" << c.lon);
    Lay({{100.0, 60.0}, {100.0, 60.0}, {160.0, 60.0}}, c.lat, c.lon);
    g.AircraftAltitude = from_altitude;
    SetWind(c.wind, c.from);
    Place(20.0, c.right, c.off, tas(from_altitude));
    const FlownPath& path = FlownPath::Current();
    double own_from = NAN;
    const std::vector<TrackFlown>* own = path.OwnWay(own_from);
    ASSERT_NE(own, nullptr);
    const double here = path.Aircraft();
    ASSERT_NEAR(own_from, here, 1e-6);
    const double course = 100.0;  // the leg's true course, near enough for the ground speed
    auto track_at = [&](double x) {
      const double in = x - own_from;
      for (const TrackFlown& t : *own)
        if (t.flown >= in) return std::atan2(t.east, t.north) / kRad;
      return course;
    };
    // The way starts along the aircraft's track and ends where it is taken
    // for on its leg.
    EXPECT_NEAR(Wrap180(track_at(here) - (course + c.off)), 0.0, 3.0);
    EXPECT_NEAR(Wrap180(track_at(own_from + own->back().flown) - course), 0.0, 5.0);
    auto ground_speed = [&](double air, double track) {
      const double angle = (c.from - track) * kRad;
      return std::sqrt(air * air - std::pow(c.wind * std::sin(angle), 2.0)) - c.wind * std::cos(angle);
    };
    const int seconds = static_cast<int>((to_altitude - from_altitude) / rate * 60.0 + 0.5);
    double flown = 0.0, on_the_leg = 0.0;
    for (int s = 0; s < seconds; ++s) {
      const double air = tas(from_altitude + (s + 0.5) * rate / 60.0);
      flown += ground_speed(air, track_at(here + flown)) / 3600.0;
      on_the_leg += ground_speed(air, course) / 3600.0;
    }
    ASSERT_GT(flown, own->back().flown + 1.0);  // the climb goes on past the turn
    ASSERT_GT(std::fabs(flown - on_the_leg), 0.5);  // the turn's tracks matter here
    EXPECT_NEAR(ClimbModel(rate).Distance(from_altitude, to_altitude, 0.0, false), flown, 0.15);
  }
}

// A T/C the plan placed inside a corner lies on the legs, off the path by
// the corner's cut. Read pass by pass as the aircraft rounds the corner
// past it, still short of its top, the distance to it falls to 0 and stays
// near it: counted straight back to the point on the legs once the
// aircraft's place had passed its coordinate, it rose at once to the cut
// (182: 1.7 NM read 0.2 s before the top). Right and left, in still air
// and in a wind, across 180 south of the equator and west of zero north of
// it, with the fixture's 12 degrees of variation.
TEST_F(AircraftOnThePathTest, ATopOfClimbInsideACornerIsNoFartherBackThanThePath) {
  using Case = CornerCase;
  const Case cases[] = {
      {-20.0, 179.6, 100.0, 230.0, 0.0, 0.0},   {-20.0, 179.6, 100.0, 330.0, 80.0, 200.0},
      {-20.0, 179.6, 100.0, 10.0, 0.0, 0.0},    {45.0, -0.6, 260.0, 130.0, 60.0, 80.0},
      {45.0, -0.6, 260.0, 20.0, 0.0, 0.0},
  };
  State& g = guidance_state;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lat << " " << c.in << "-" << c.out << " wind " << c.wind << "/" << c.from);
    Lay({{c.in, 60.0}, {c.out, 60.0}, {c.in, 60.0}}, c.lat, c.lon);
    SetWind(c.wind, c.from);
    Place(10.0, 0.0, 0.0, 300.0);
    double from = 0.0, to = 0.0;
    ASSERT_TRUE(TurnAtB(FlownPath::Current(), from, to));
    // The T/C on the legs at the coordinate abeam B, mid-corner.
    const double toc = FlownPath::Current().Entry(1);
    int leg = -1;
    ASSERT_TRUE(FlownPath::Current().PositionFromCoordinate(toc, g.TocLatitude, g.TocLongitude, leg));
    g.TocPassed = 0;
    double lat = 0.0, lon = 0.0;
    ASSERT_TRUE(FlownPath::Current().PositionFromCoordinate(from, lat, lon, leg));
    // Round the corner as the path turns, B sequenced, the aircraft on the
    // corner's track; each place a pass.
    Fp().ActiveWaypointIndex = 2;
    double before = NAN, before_here = NAN;
    bool crossed = false;
    for (double x = from; x + 0.02 < to && !crossed; x += 0.02) {
      const double track = FlownPath::Current().CornerTrack(x + 0.01);
      navdb::ProjectPosition(lat, lon, track, 0.02, lat, lon);
      g.LastTick += 18.0;
      g.PlaneLatitude = lat;
      g.PlaneLongitude = lon;
      g.GroundTrack = track - g.MagneticVariation;
      Crab();
      UpdateVerticalProfile();
      const double here = FlownPath::Current().Aircraft();
      if (std::isfinite(before_here) && before_here < toc && here >= toc) {
        crossed = true;
        double straight = 0.0, course = 0.0;
        navdb::ComputeDistanceAndBearing(lat, lon, g.TocLatitude, g.TocLongitude, straight, course);
        ASSERT_GT(straight, 0.5);  // the cut the reading went to
        EXPECT_LT(g.ClimbSideDistance, 0.3) << "at " << here << ", " << before << " the pass before";
        EXPECT_LT(std::fabs(g.ClimbSideDistance - before), 0.3);
      }
      before = g.ClimbSideDistance;
      before_here = here;
    }
    EXPECT_TRUE(crossed);
  }
}


// Above its crossover the climb holds the Mach of its phase, and the
// aircraft's way onto its leg gains no airspeed toward the climb's: counted
// to 320 kt while it held M0.73 at 280 kt, a reversal was flown 70 kt too
// fast, and the distance to go fell 6 NM faster than the aircraft flew
// through the turn. Below the Mach it gains up to the lesser of the
// airspeed and the Mach. Across 180 south, across zero north, south of the
// equator east of zero and north of it west, with and without variation.
TEST_F(AircraftOnThePathTest, AClimbHeldAtItsMachGainsNoAirspeedOnItsWay) {
  model::State& m = model::model_state;
  State& g = guidance_state;
  m.ClimbIas = 320.0;
  m.ClbSpdRest = 0.0;
  m.ClimbMach = 0.73;
  g.AircraftAltitude = 28000.0;
  g.VerticalSpeedFpm = 2500.0;
  g.SmoothedAirspeed = 280.0;
  g.TocPassed = 0;
  struct Case {
    double lat, lon, in, out, variation;
    double mach;  // the aircraft's
    bool gains;
  };
  const Case cases[] = {
      {-20.0, 179.6, 100.0, 250.0, -12.0, 0.73, false}, {45.0, -0.6, 80.0, 290.0, 0.0, 0.735, false},
      {-35.0, 12.0, 350.0, 200.0, 9.0, 0.73, false},    {60.0, -150.0, 200.0, 20.0, 15.0, 0.73, false},
      {-20.0, 179.6, 100.0, 250.0, -12.0, 0.60, true},  {45.0, -0.6, 80.0, 290.0, 0.0, 0.60, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lat << "/" << c.lon << " " << c.in << "-" << c.out << " M" << c.mach);
    Lay({{c.in, 60.0}, {c.out, 60.0}, {c.in, 60.0}}, c.lat, c.lon);
    g.MagneticVariation = c.variation;
    g.MachNumber = c.mach;
    auto to_d = [&](std::int32_t vnav) {
      g.VnavEngaged = vnav;
      g.FlownPathCache = FlownPathMemo{};
      Place(20.0, 4.0, -40.0, 430.0);  // joining the leg from its right
      return FlownPath::Current().Ahead(3);
    };
    const double held = to_d(0), climbing = to_d(1);
    if (c.gains) {
      EXPECT_GT(std::fabs(climbing - held), 0.01);
    } else {
      EXPECT_NEAR(climbing, held, 1e-9);
    }
  }
}

}  // namespace
}  // namespace ovi::guidance
