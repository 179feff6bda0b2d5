// The per-tick avionics update, pass after pass, over an active route of
// 10, 50, 100 and 200 waypoints after its first (the benchmark's argument)
// built from the sample database's navaids, LNAV and VNAV engaged, the
// aircraft flying along the route. Reports the mean pass (the
// benchmark's time), and from the thread's own CPU time of each pass (time
// spent descheduled left out) the worst (worst_us) and the 99.9th
// percentile (p999_us).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "src/flightplan/state.h"
#include "src/guidance/avionics_update.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tools/usage.h"

namespace {

using namespace ovi;

// A host that answers every token from a table and ignores the rest.
std::array<double, 1024> g_tokens{};
void LookupVar(MODULE_VAR* var) { var->value.n = var->id < g_tokens.size() ? g_tokens[var->id] : 0.0; }
void TriggerKeyEvent(std::uint32_t, std::uint32_t) {}
std::int32_t CheckNamedVariable(const char*) { return -1; }
PANELS g_panels{};

void SetPosition(double lat, double lon) {
  g_tokens[71] = lat * 10001750.0 / 90.0;
  g_tokens[72] = std::round(lon * 281474976710656.0 / 360.0);
}

// The sample data, the route to entry `last` and the aircraft at its start.
void SetUpFlight(int last) {
  ResetModuleState();
  g_panels.lookup_var = LookupVar;
  g_panels.trigger_key_event = TriggerKeyEvent;
  g_panels.check_named_variable = CheckNamedVariable;
  host::host_state.Panels = &g_panels;
  host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data";
  navdb::LoadNavDatabase();
  const navdb::State& nav = navdb::navdb_state;
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i <= last; ++i) {
    // Navaids in table order, back and forth: legs of every length and turn.
    int n = nav.NavaidCount > 0 ? 1 + (i * 7) % nav.NavaidCount : 0;
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.ident = n > 0 ? std::string(nav.NavaidTable[n].ident) : "W" + std::to_string(i);
    w.latitude = n > 0 ? nav.NavaidTable[n].latitude : 47.0 + 0.1 * i;
    w.longitude = n > 0 ? nav.NavaidTable[n].longitude : -122.0;
    w.type = "VOR";
    if (i % 10 == 0) {
      w.constraint_flag = 1;
      w.altitude_constraint = 10000.0;
      w.speed_constraint = 250.0;
    }
  }
  if (last < model::kMaxActivePlanWaypoints) fp.ActiveFlightPlan[last + 1].ident = "******";
  fp.ActiveFlightPlanLastIndex = last;
  fp.ActiveWaypointIndex = 1;
  fp.RouteState = 3;
  guidance::State& g = guidance::guidance_state;
  g.ActiveWaypointLat = fp.ActiveFlightPlan[1].latitude;
  g.ActiveWaypointLon = fp.ActiveFlightPlan[1].longitude;
  g.ActiveWaypointDistance = 999.0;
  model::model_state.CruiseAlt = 35000;
  guidance::ComputeCruiseAltitude(35000, 1);  // TOC, TOD and the predictions
  g_tokens = {};
  SetPosition(fp.ActiveFlightPlan[0].latitude, fp.ActiveFlightPlan[0].longitude);
  g_tokens[74] = 20000.0;
  g_tokens[61] = 280.0;
  g_tokens[551] = 420.0 / 0.592484;
  g_tokens[106] = 1.0;
  g_tokens[103] = 1.0;
  g_tokens[336] = 1.0;
  guidance::ToggleLnav();
  guidance::ToggleVnav();
}

void BM_UpdateAvionicsState(benchmark::State& state) {
  const int last = static_cast<int>(std::clamp<std::int64_t>(state.range(0), 2, model::kMaxActivePlanWaypoints));
  SetUpFlight(last);
  const flightplan::State& fp = flightplan::flightplan_state;
  double tick = 0.0;
  std::vector<double> passes;
  passes.reserve(1 << 22);
  for (auto _ : state) {
    // The aircraft creeps towards the active waypoint, heading for it, so
    // passes sequence it.
    int active = std::clamp(fp.ActiveWaypointIndex, 1, fp.ActiveFlightPlanLastIndex);
    const model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[active];
    const double lat = g_tokens[71] * 90.0 / 10001750.0, lon = g_tokens[72] * 360.0 / 281474976710656.0;
    SetPosition(lat + (w.latitude - lat) * 0.05, lon + (w.longitude - lon) * 0.05);
    // Heading where it moves (token 81, magnetic; no variation here).
    double d = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(lat, lon, w.latitude, w.longitude, d, course);
    g_tokens[81] = course;
    g_tokens[1] = ++tick;
    g_tokens[5] = std::fmod(std::floor(tick / 18.0), 60.0);
    timespec t0{}, t1{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t0);
    guidance::UpdateAvionicsState();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t1);
    if (passes.size() < passes.capacity()) {
      passes.push_back(static_cast<double>(t1.tv_sec - t0.tv_sec) * 1e6 + static_cast<double>(t1.tv_nsec - t0.tv_nsec) / 1e3);
    }
    if (fp.ActiveWaypointIndex >= fp.ActiveFlightPlanLastIndex) {
      state.PauseTiming();
      SetUpFlight(last);
      state.ResumeTiming();
    }
  }
  if (passes.empty()) return;
  std::sort(passes.begin(), passes.end());
  state.counters["worst_us"] = passes.back();
  state.counters["p999_us"] = passes[passes.size() * 999 / 1000];
}
BENCHMARK(BM_UpdateAvionicsState)->Arg(10)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

OVI_BENCHMARK_MAIN("usage: bench-guidance [benchmark options]\n"
                   "Times the per-tick avionics update over a 200-waypoint route, LNAV and\n"
                   "VNAV engaged: the mean pass, and from each pass's processor time the\n"
                   "worst (worst_us) and the 99.9th percentile (p999_us).\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
