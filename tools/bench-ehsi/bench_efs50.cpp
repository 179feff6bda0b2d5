// EFS 50 EHSI and traffic display frames at the screen's size (280 x 262)
// on the raster backend, one core: each mode with every field and pointer
// it has (both bearing pointers on their radios, the course and deviation,
// the wind, the glideslope in mode 1, the selected heading beyond the arc);
// the map modes on the flight plan with a 40-waypoint route, a hold and a
// dozen provider targets (the traffic link plots the last five); the
// traffic display with the same targets. Median (typical) and slowest frame
// in microseconds of the thread's processor time, after one untimed frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gfx/graphics.h"
#include "sim/traffic_provider.h"
#include "src/flightplan/state.h"
#include "src/guidance/holding.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/host/traffic_link.h"
#include "src/instruments/efs/efs50/efs50.h"
#include "src/instruments/efs/state.h"
#include "src/model/state.h"
#include "tools/bench/frame_times.h"

namespace {

using namespace ovi;

sim::TrafficProvider& Provider() {
  static sim::TrafficProvider provider;
  return provider;
}

void InitializeVarByName(MODULE_VAR* var, const char* name) {
  *var = MODULE_VAR{};
  if (std::string(name) != host::kTrafficProviderVariable) return;
  var->var_type = VAR_TYPE_FUNCTION;
  auto entry = &sim::TrafficProvider::Entry;
  static_assert(sizeof entry == sizeof var->value.ptr);
  std::memcpy(&var->value.ptr, &entry, sizeof entry);
}

// NAV1 receives an ILS (localizer and glideslope, token 852 on), NAV2 a
// station.
void LookupVar(MODULE_VAR* var) {
  switch (var->id) {
    case 49:
    case 58:
    case 852:
      var->value.n = 1.0;
      break;
    case 46:
      var->value.n = 0xC0;
      break;
    default:
      var->value.n = 0.0;
  }
}

PANELS& Panels() {
  static PANELS panels = [] {
    PANELS p{};
    p.initialize_var_by_name = InitializeVarByName;
    p.lookup_var = LookupVar;
    return p;
  }();
  return panels;
}

// Over the sample region southbound, a 40-waypoint route zigzagging south
// with the aircraft on its 5th leg, a hold at the 6th waypoint, a dozen
// targets around.
void SetUpWorld(int mode, bool flight_plan) {
  ResetModuleState();
  host::host_state.Panels = &Panels();
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i < 40; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.ident = "WP" + std::to_string(i);
    w.latitude = 48.4 - i * 0.1;
    w.longitude = -122.3 + (i % 2 == 0 ? -0.15 : 0.15);
    w.type = i % 5 == 0 ? "VOR" : "WPT";
  }
  fp.ActiveFlightPlanLastIndex = 39;
  fp.ActiveWaypointIndex = 5;
  model::HoldingPattern& hold = fp.HoldTable[1];
  hold.name = fp.ActiveFlightPlan[6].ident;
  hold.active_index = 6;
  hold.leg_length = 5.0;
  hold.inbound_course = 170.0;
  hold.corners[0].latitude = fp.ActiveFlightPlan[6].latitude;
  hold.corners[0].longitude = fp.ActiveFlightPlan[6].longitude;
  fp.HoldCount = 1;

  guidance::State& g = guidance::guidance_state;
  g.PlaneLatitude = 47.95;
  g.PlaneLongitude = -122.3;
  g.AircraftHeading = g.MapHeading = 170.0;
  g.ApHeadingLockDir = 240.0;
  g.SelectedCourse = 175.0;
  g.DesiredTrack = 160.0;
  g.HeadingOffsetToken550 = 15.0;
  g.SecondBearingPointer = 300.0;
  g.Nav1CdiNeedle = -30.0;
  g.Nav1GlideslopeNeedle = 40.0;
  g.Nav1DmeDistance = 18.4;
  g.Nav1HasDme = 250.0;
  g.Nav2DmeDistance = 22.5;
  g.GroundSpeedKnots = 300.0;
  g.WindSpeed = 25.0;
  g.WindDirectionMagnetic = 255.0;
  g.BearingToActiveWaypoint = 160.0;
  g.ActiveWaypointDistance = 8.0;
  g.DestinationDistance = 120.0;
  g.LnavEngaged = 1;
  g.ApMaster = g.ApAltitudeLock = 1.0;
  g.ApAltitudeLockVar = 5000.0;
  g.AircraftAltitude = 9000.0;
  g.VerticalSpeedFpm = -1800.0;
  guidance::ComputeHoldingPattern();

  model::State& m = model::model_state;
  m.EFS50HsiMode = mode;
  m.EFS50NavMode = flight_plan ? 2 : 1;
  m.Efs50BearingPointer1Source = 1;
  m.Efs50BearingPointer2Source = 1;
  m.DispPrevWpt = 1;
  m.DrawBodArcOnEFS50EHSI = 1;
  m.Efs50EhsiRange = 25.0;
  m.Efs50TcasRange = 10.0;

  std::vector<sim::TrafficTargetSetting> targets;
  for (int i = 0; i < 12; ++i)
    targets.push_back({-2000.0 + 400.0 * i, 1.0 + 0.7 * i, 30.0 * i, "v-^"[i % 3], "OPTR"[i % 4]});
  Provider().SetTargets(targets);
  sim::TrafficProvider::Current() = &Provider();
}

template <typename Draw>
void TimeFrames(benchmark::State& state, gfx::DeviceContext& dc, Draw draw) {
  draw();
  bench::TimeFrames(state, [&] {
    draw();
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}

// Modes 1 to 8 on the radio (flight plan 0) or the flight plan (1).
void BM_Efs50EhsiFrame(benchmark::State& state) {
  SetUpWorld(static_cast<int>(state.range(0)), state.range(1) == 1);
  gfx::DeviceContext dc(280, 262);
  const PIXSIZE size{280, 262};
  TimeFrames(state, dc, [&] { efs::DrawEfs50Ehsi(efs::efs_state.Efs50EhsiDisplay, &dc, &size, 1); });
}
BENCHMARK(BM_Efs50EhsiFrame)
    ->ArgNames({"mode", "fms"})
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 7, 8}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_Efs50TcasScreen(benchmark::State& state) {
  SetUpWorld(1, false);
  gfx::DeviceContext dc(280, 262);
  const PIXSIZE size{280, 262};
  TimeFrames(state, dc, [&] { efs::DrawEfs50TcasScreen(efs::efs_state.Efs50TcasDisplay, &dc, &size, 1); });
}
BENCHMARK(BM_Efs50TcasScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
