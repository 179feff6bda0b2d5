// The path LNAV flies (FlownPath): kept between ticks, yet never older than
// the route, the hold, the direct-to or the speeds it was worked out from;
// and where the aircraft stands on it.
#include "src/guidance/flown_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "src/flightplan/execute.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/route_ahead.h"
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
  static void Lay(const std::vector<std::pair<double, double>>& legs) {
    double lat = -20.0, lon = 179.6;
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
  }
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

}  // namespace
}  // namespace ovi::guidance
