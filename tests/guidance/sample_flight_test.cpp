// The sample flight closed-loop: the stored route KSEA-KPDX loaded through
// the request mailbox as the MCU's flight-plan page posts it, a take-off by
// hand, LNAV and VNAV engaged with their buttons, and the autopilot of the
// stand-in flying it to Portland.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "src/flightplan/execute.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/vertical_plan.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/one_time_loads.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/guidance/closed_loop.h"

namespace ovi::guidance {
namespace {

namespace fs = std::filesystem;

double Distance(double lat1, double lon1, double lat2, double lon2) {
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, c);
  return d;
}

// The stored route asks for its cruise altitude; without that line the
// module chooses one from the B737-800's performance tables at the weight
// the crew entered (the zero-fuel weight; the fuel is the aircraft's).
struct Flight {
  const char* name;
  bool route_asks_for_altitude;
};

class SampleFlightTest : public ::testing::TestWithParam<Flight> {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("ovi_sample_flight_" + std::to_string(::getpid()));
    testing::LoadSampleFolder(loop, folder_, "B737-800");
    if (!GetParam().route_asks_for_altitude) {
      const fs::path route = folder_ / "ovi/flightplans/KSEA-KPDX.rte";
      std::string text = Read("ovi/flightplans/KSEA-KPDX.rte");
      text.erase(0, text.find('\n') + 1);  // the CruiseAlt line
      std::ofstream(route, std::ios::trunc) << text;
      guidance_state.GrossWeight = 91300.0;
    }
    host::RunScanFlightPlanFolder();
  }
  void TearDown() override {
    ResetModuleState();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  std::string Read(const std::string& rel) const {
    std::ifstream in(folder_ / rel);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path folder_;
  testing::ClosedLoop loop;
};

TEST_P(SampleFlightTest, FliesTheStoredRouteToPortland) {
  sim::AircraftState& a = loop.aircraft();
  testing::LineUpAtSeattle(loop);

  // The MCU's flight-plan page posts the load.
  flightplan::flightplan_state.RequestedFlightPlanFile = "KSEA-KPDX.rte";
  guidance_state.FlightPlanLoadRequest = 1;
  loop.Run(2.0);
  const flightplan::State& fp = flightplan::flightplan_state;
  ASSERT_EQ(fp.ActiveFlightPlanLastIndex, 10);
  ASSERT_EQ(fp.ActiveFlightPlan[10].ident, "KPDX");
  ASSERT_EQ(fp.ActiveWaypointIndex, 1);
  ASSERT_GE(fp.RouteState, 3);
  if (GetParam().route_asks_for_altitude) {
    EXPECT_EQ(model::model_state.CruiseAlt, 16000);
  } else {
    // 153 NM southbound: even thousands, and the climb may take half the
    // route less 15 NM, far below the 41000-ft ceiling of the tables at
    // 124800 lb.
    EXPECT_GE(model::model_state.CruiseAlt, 18000);
    EXPECT_LE(model::model_state.CruiseAlt, 30000);
    EXPECT_EQ(model::model_state.CruiseAlt % 2000, 0);
    EXPECT_LE(guidance_state.ClimbDistance, 62);
  }
  const double toc_lat = guidance_state.TocLatitude, toc_lon = guidance_state.TocLongitude;

  // Take-off by hand, the autopilot on; then the engage buttons.
  testing::TakeOffByHand(loop);
  ToggleLnav();
  ToggleVnav();
  ASSERT_EQ(guidance_state.LnavEngaged, 1);
  ASSERT_EQ(guidance_state.VnavEngaged, 1);

  const State& g = guidance_state;
  std::vector<int> sequence{fp.ActiveWaypointIndex};
  double toc_error = -1.0, tod_error = -1.0;
  int toc_passed = g.TocPassed, tod_passed = g.TodPassed;
  // Through the descent, from one tick to the next: the largest change of
  // the deviation from the path, and of VNAV's vertical speed after its
  // first command.
  double deviation_step = 0.0, last_deviation = NAN;
  int command_step = 0, commands = 0;
  // Under VNAV in the descent, below the restriction altitude: the most the
  // aircraft flies above the restriction speed.
  const model::State& m = model::model_state;
  double over_restriction = -HUGE_VAL;
  // The aircraft against the plan's path at BTG, LAVAA and JAYPE (7 to 9):
  // where each is passed, and abeam it while LNAV flies (none measured:
  // far off).
  double gap_passed[11], gap_abeam[11], nearest[11];
  for (double* v : {gap_passed, gap_abeam, nearest}) std::fill(v, v + 11, 1e9);
  for (int t = 0; t < 2 * 3600 * 18 && g.LnavEngaged == 1; ++t) {
    const std::int32_t last_command = g.VnavVerticalSpeedCommand;
    loop.Tick();
    if (g.TodPassed == 1 && tod_passed == 1) {
      const double deviation = g.AircraftAltitude - g.VnavPathAltitude;
      for (int k = 7; k <= 9; ++k) {
        const model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[k];
        const double d = Distance(a.latitude, a.longitude, w.latitude, w.longitude);
        if (d < nearest[k]) nearest[k] = d, gap_abeam[k] = std::fabs(deviation);
        if (fp.ActiveWaypointIndex == k + 1 && sequence.back() == k) gap_passed[k] = std::fabs(deviation);
      }
      if (!std::isnan(last_deviation)) deviation_step = std::max(deviation_step, std::fabs(deviation - last_deviation));
      last_deviation = deviation;
      if (g.VnavVerticalSpeedCommand != last_command && ++commands > 1)
        command_step = std::max(command_step, std::abs(g.VnavVerticalSpeedCommand - last_command));
      if (g.VnavEngaged == 1 && a.altitude < m.DescAltRest)
        over_restriction = std::max(over_restriction, a.ias - m.DescSpdRest);
    }
    if (fp.ActiveWaypointIndex != sequence.back()) sequence.push_back(fp.ActiveWaypointIndex);
    if (g.TocPassed != toc_passed) {
      toc_passed = g.TocPassed;
      toc_error = Distance(a.latitude, a.longitude, toc_lat, toc_lon);
    }
    if (g.TodPassed != tod_passed && g.TodPassed == 1) {
      tod_passed = 1;
      tod_error = Distance(a.latitude, a.longitude, g.TodLatitude, g.TodLongitude);
    }
  }
  std::vector<int> expected;
  for (int i = 1; i <= 10; ++i) expected.push_back(i);
  EXPECT_EQ(sequence, expected);
  EXPECT_EQ(g.LnavEngaged, 0);
  EXPECT_EQ(fp.ActiveWaypointIndex, 10);
  // The top of climb within 5 NM of where route execution placed it (VNAV
  // steers the climb rate to it, within 1500..2500 ft/min); the top of
  // descent within 1.5 NM of its point, the distance at which VNAV takes it.
  EXPECT_GE(toc_error, 0.0);
  EXPECT_LT(toc_error, 5.0);
  EXPECT_GE(tod_error, 0.0);
  EXPECT_LE(tod_error, 1.5);
  // BTG, LAVAA and JAYPE are sequenced in the descent 4 to 5.5 NM before the
  // aircraft reaches them. From tick to tick (0.005 NM at 300 kt) the path
  // and the aircraft move a few feet, VNAV's rate one step of 100 at most.
  EXPECT_GE(commands, 2);
  EXPECT_LT(deviation_step, 25.0);
  EXPECT_LE(command_step, 100);
  // Slowed before the restriction altitude, not a thousand feet below it.
  EXPECT_GT(over_restriction, -HUGE_VAL);  // the descent went below it under VNAV
  EXPECT_LE(over_restriction, 5.0);
  // On its path: within 300 ft of it at each descent waypoint.
  for (int k = 7; k <= 9; ++k) {
    EXPECT_LT(gap_passed[k], 300.0) << fp.ActiveFlightPlan[k].ident;
    EXPECT_LT(gap_abeam[k], 300.0) << fp.ActiveFlightPlan[k].ident;
  }
  // The flight log recorded it: the route, then a line for each waypoint
  // passed, in order.
  std::string log = Read("ovi/FlightLog/fpl.log");
  EXPECT_EQ(log.rfind("FlightPlan=KSEA-KPDX\n", 0), 0u) << log;
  std::size_t at = 0;
  for (int i = 1; i < 10; ++i) {
    at = log.find(" " + fp.ActiveFlightPlan[i].ident + " ", at);
    ASSERT_NE(at, std::string::npos) << fp.ActiveFlightPlan[i].ident << "\n" << log;
  }
}

// A step climb: 30000 ft asked for on the sample route, which has room for
// 25000 only at the default rates, climbed from 3000 ft over KSEA (144 NM
// flown by LNAV; 153 along its straight legs). Past the top of climb, after
// TOLLE, the route extended south from BTG to about 600 NM and 36000 ft
// entered, one modification: the plan and VNAV climb to it, COUGA on the
// climb.
TEST(StepClimbFlightTest, ARouteGivenRoomIsClimbedTo) {
  ResetModuleState();
  testing::ClosedLoop loop;
  loop.Bind();
  testing::SetUpSampleFlight(loop);
  sim::AircraftState& a = loop.aircraft();
  a.ap_alt_lock = a.ap_spd_hold = 1.0;
  a.ap_altitude = 3000.0;
  a.ap_speed = 250.0;
  flightplan::State& fp = flightplan::flightplan_state;
  const State& g = guidance_state;
  flightplan::BeginRouteModification();
  flightplan::StepRouteState();
  model::model_state.CruiseAlt = 30000;
  flightplan::ExecutePendingRoute();
  EXPECT_EQ(PlannedCruiseAltitude(), 25000);
  ToggleLnav();
  ToggleVnav();
  loop.Run(3600.0, [&] { return g.TocPassed == 1; });
  ASSERT_EQ(g.TodPassed, 0);

  flightplan::BeginRouteModification();
  flightplan::StepRouteState();
  model::model_state.CruiseAlt = 36000;
  const testing::SampleWaypoint south[] = {{"FAR", 40.0, -122.5, "WPT", ""}, {"KSFO", 37.619, -122.375, "APT", ""}};
  for (int i : {8, 9}) {
    model::FlightPlanWaypoint& w = fp.PendingFlightPlan[i] = {};
    w.ident = south[i - 8].ident;
    w.latitude = south[i - 8].lat;
    w.longitude = south[i - 8].lon;
    w.type = south[i - 8].type;
  }
  fp.PendingFlightPlanLastIndex = 9;
  flightplan::ExecutePendingRoute();
  EXPECT_EQ(PlannedCruiseAltitude(), 36000);
  EXPECT_EQ(g.TocPassed, 0);
  // The waypoint ahead is predicted on the climb from where the aircraft
  // is, not on the climb from Seattle (which had it below the aircraft).
  const double next = fp.ActiveFlightPlan[fp.ActiveWaypointIndex].altitude_constraint;
  EXPECT_GT(next, g.AircraftAltitude);
  EXPECT_LT(next, 36000.0);
  loop.Run(1200.0, [&] { return g.TocPassed == 1 && a.vs == 0.0; });
  EXPECT_EQ(g.TodPassed, 0);
  EXPECT_EQ(a.ap_altitude, 36000.0);
  EXPECT_EQ(a.altitude, 36000.0);
  ResetModuleState();
}

INSTANTIATE_TEST_SUITE_P(CruiseAltitude, SampleFlightTest,
                         ::testing::Values(Flight{"Asked", true}, Flight{"FromPerformanceTables", false}),
                         [](const ::testing::TestParamInfo<Flight>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace ovi::guidance
