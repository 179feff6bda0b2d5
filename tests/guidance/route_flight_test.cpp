// A route of about 490 NM flown closed-loop with the B737-800's performance
// tables: KSEA, GEG (a turn of 146 degrees), PSC, PDT, KPDX, 40 kt of wind,
// LNAV and VNAV engaged over Seattle at 3000 ft. The table of flights flies
// the same route in ovi-sim (tests/data/flights/step-climb.txt and
// no-cruise-altitude-490nm.txt).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/flown_path.h"
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

namespace fs = std::filesystem;
using model::PerformanceSegment;

const testing::SampleWaypoint kRoute[] = {{"KSEA", 47.4490, -122.3093, "APT", ""},
                                          {"GEG", 47.5647, -117.6264, "VOR", ""},
                                          {"PSC", 46.2625, -119.1161, "VOR", ""},
                                          {"PDT", 45.6985, -118.9381, "VOR", ""},
                                          {"KPDX", 45.5887, -122.5975, "APT", ""}};
constexpr int kLast = 4;

// NM along the legs from KSEA to a point of the route: on the leg nearest
// it, over every leg.
double RouteDistanceOf(double lat, double lon) {
  double best = HUGE_VAL, at = NAN, before = 0.0;
  for (int i = 1; i <= kLast; ++i) {
    const testing::SampleWaypoint &a = kRoute[i - 1], &b = kRoute[i];
    double leg = 0.0, course_leg = 0.0, to = 0.0, course_to = 0.0;
    navdb::ComputeDistanceAndBearing(a.lat, a.lon, b.lat, b.lon, leg, course_leg);
    navdb::ComputeDistanceAndBearing(a.lat, a.lon, lat, lon, to, course_to);
    const double off = std::fabs(std::sin((course_to - course_leg) * M_PI / 180.0)) * to;
    const double along = std::cos((course_to - course_leg) * M_PI / 180.0) * to;
    if (off < best && along >= -0.1 && along <= leg + 0.1) best = off, at = before + along;
    before += leg;
  }
  return at;
}

// The cruise altitude entered at the gate (0: none, the tables choose) and
// the one entered in cruise at 900 s (0: none).
struct Flight {
  const char* name;
  std::int32_t at_gate, in_cruise;
  std::int32_t level;  // the plan's last level
};

class RouteFlightTest : public ::testing::TestWithParam<Flight> {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("ovi_route_flight_" + std::to_string(::getpid()));
    testing::LoadSampleFolder(loop, folder_, "B737-800");
    guidance_state.GrossWeight = 91300.0;
  }
  void TearDown() override {
    ResetModuleState();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  static void Execute(std::int32_t cruise_altitude) {
    flightplan::BeginRouteModification();
    flightplan::StepRouteState();
    model::model_state.CruiseAlt = cruise_altitude;
    flightplan::ExecutePendingRoute();
  }

  fs::path folder_;
  testing::ClosedLoop loop;
};

// In every climb the aircraft holds the climb speed, and above its
// crossover with the tables' Mach the autopilot holds that Mach; no Mach
// commanded is more than the tables give at the level. The distance to the
// top of climb the pages show (the profile's) is along the path LNAV flies,
// to the point of it abeam the TOC on its own leg. The flight ends a minute
// into the last cruise.
TEST_P(RouteFlightTest, ClimbsHoldTheirSpeedAndTheDistanceToTheTocIsAlongThePath) {
  const Flight& f = GetParam();
  testing::SetUpRouteFlight(loop, kRoute, kLast);
  const State& g = guidance_state;
  sim::AircraftState& a = loop.aircraft();
  a.heading = 80.0;
  a.wind_dir = 250.0;
  a.wind_speed = 40.0;
  a.ap_alt_lock = a.ap_spd_hold = 1.0;
  a.ap_heading = 64.0;
  a.ap_altitude = 3000.0;
  a.ap_speed = 250.0;
  Execute(f.at_gate);
  ToggleLnav();
  ToggleVnav();

  const model::State& m = model::model_state;
  double climb_speed_gap = 0.0, mach_over = -1.0, off_path = 0.0;
  int below_crossover_in_mach = 0, climb_seconds = 0;
  double cruise_since = -1.0;
  for (int t = 0; t < 3000 * 18 && g.LnavEngaged == 1; ++t) {
    if (f.in_cruise != 0 && t == 900 * 18) Execute(f.in_cruise);
    loop.Tick();
    if (t % 18 != 0) continue;
    const PerformanceSegment phase = SpeedPhase();
    // The Mach held, or the airspeed held as a Mach, against the tables' (an
    // airspeed up to their rounding above it).
    // The cruise's Mach is the level's, from the top of climb 150 ft below.
    const double at = phase == PerformanceSegment::kCruise ? std::max<double>(a.altitude, PlannedCruiseAltitude())
                                                            : a.altitude;
    const double limit = MachLimit(phase, at);
    // Mach hold takes the aircraft's Mach as it engages, until the value
    // sent a pass later.
    const bool value_owed = g.PendingMachCommandCount > 0 || g.SpeedModeValueOwed == 1;
    if (!value_owed)
      mach_over = std::max(mach_over, a.ap_mach_hold != 0.0 ? a.ap_mach - limit
                                                            : model::IasToMach(a.ap_speed, a.altitude) - limit - 0.015);
    if (g.TocPassed == 0) {
      const FlownPath& path = FlownPath::Current();
      const double toc = path.CoordinateFromRouteDistance(RouteDistanceOf(g.TocLatitude, g.TocLongitude));
      const double ahead = toc - path.Aircraft();
      if (ahead > 0.0) off_path = std::max(off_path, std::fabs(g.ClimbSideDistance - ahead));
      // Past the climb restriction and the half minute the aircraft takes
      // to gain the 30 kt to the climb speed.
      if (a.altitude > m.ClbAltRest + 1500.0) {
        ++climb_seconds;
        // Below the crossover by more than the tables' rounding.
        if (model::IasToMach(m.ClimbIas, a.altitude) <= MachLimit(PerformanceSegment::kClimb, a.altitude) + 0.005) {
          below_crossover_in_mach += a.ap_mach_hold != 0.0;
          climb_speed_gap = std::max(climb_speed_gap, std::fabs(a.ias - m.ClimbIas));
        }
      }
    } else if (g.TodPassed == 0 && a.altitude == f.level) {
      if (cruise_since < 0.0) cruise_since = loop.time();
      if (loop.time() > cruise_since + 60.0 && (f.in_cruise == 0 || loop.time() > 900.0)) break;
    }
  }
  ASSERT_GT(cruise_since, 0.0) << "never cruised at " << f.level;
  EXPECT_EQ(PlannedCruiseAltitude(), f.level);
  EXPECT_GT(climb_seconds, 300);
  EXPECT_EQ(below_crossover_in_mach, 0);
  EXPECT_LE(climb_speed_gap, 15.0);
  // No Mach above what the tables give at the level, the cruise's included:
  // M0.74 at FL320 and FL410 (290 kt is M0.77 and M0.90 there).
  EXPECT_LE(mach_over, 1e-9);
  EXPECT_EQ(a.ap_mach_hold, 1.0);
  EXPECT_DOUBLE_EQ(a.ap_mach, 0.74);
  EXPECT_DOUBLE_EQ(m.CruiseMach, 0.74);
  EXPECT_LT(off_path, 0.05);
}

INSTANTIATE_TEST_SUITE_P(Route490Nm, RouteFlightTest,
                         ::testing::Values(Flight{"StepClimb", 20000, 32000, 32000},
                                           Flight{"NoCruiseAltitude", 0, 0, 41000}),
                         [](const ::testing::TestParamInfo<Flight>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace ovi::guidance
