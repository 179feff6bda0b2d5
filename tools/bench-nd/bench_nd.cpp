// One frame of the B737 navigation display as the panel draws it many times
// a second: MAP mode on the design-size surface (247 x 294), the sample
// navigation database loaded, the sample route active, ATC boundaries on
// and a dozen traffic targets from a provider. Besides the mean, each run
// reports the median (typical) and the slowest frame in microseconds of the
// thread's processor time, after one frame that loads what is loaded once.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gfx/graphics.h"
#include "sim/traffic_provider.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/host/traffic_link.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

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
void LookupVar(MODULE_VAR* var) { var->value.n = 0.0; }

PANELS& Panels() {
  static PANELS panels = [] {
    PANELS p{};
    p.initialize_var_by_name = InitializeVarByName;
    p.lookup_var = LookupVar;
    return p;
  }();
  return panels;
}

// The world of the frame: over Olympia on the sample route to Portland,
// in a right turn, descending towards a lower selected altitude.
void SetUpWorld(double range) {
  ResetModuleState();
  host::host_state.Panels = &Panels();
  host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data";
  navdb::LoadNavDatabase();
  if (navdb::navdb_state.AirportCount == 0) {
    std::fprintf(stderr, "bench-nd: the sample navigation data did not load\n");
    std::exit(1);
  }
  flightplan::State& fp = flightplan::flightplan_state;
  std::FILE* f = std::fopen(OVI_SOURCE_DIR "/data/ovi/flightplans/KSEA-KPDX.rte", "r");
  if (f == nullptr) {
    std::fprintf(stderr, "bench-nd: the sample route is missing\n");
    std::exit(1);
  }
  flightplan::RouteReadRequest req;
  req.target = {&fp.ActiveFlightPlan, &fp.ActiveFlightPlanLastIndex};
  req.key_lines = flightplan::RouteKeyLines::kRequestLoad;
  req.on_stored = [&](int index) { fp.ActiveFlightPlanLastIndex = index; };
  flightplan::ReadRouteFile(f, req);
  std::fclose(f);
  fp.ActiveWaypointIndex = 5;
  fp.RouteState = 3;

  guidance::State& g = guidance::guidance_state;
  g.PlaneLatitude = 46.98;
  g.PlaneLongitude = -122.90;
  g.AircraftHeading = g.MapHeading = 170.0;
  g.GroundSpeedKnots = 320.0;
  g.TrueAirspeedEstimate = 300.0;
  g.BankAttitude = -18.0;
  g.AircraftAltitude = 16000.0;
  g.ApMaster = g.ApAltitudeLock = 1.0;
  g.ApAltitudeLockVar = 11000.0;
  g.VerticalSpeedFpm = -1800.0;
  g.WindSpeed = 35.0;
  g.WindDirectionMagnetic = 250.0;
  g.ActiveWaypointDistance = 26.0;
  g.EteMinutes = 4.9;

  model::State& m = model::model_state;
  m.HWB737NDMode = 5;
  m.NdRange = range;
  m.ShowAtcBoundaries = 1;
  m.NdShowTraffic = 1;
  m.NdShowNavaids = m.NdShowAirports = m.NdShowIntersections = 1;

  std::vector<sim::TrafficTargetSpec> targets;
  for (int i = 0; i < 12; ++i) {
    targets.push_back({-2000.0 + 400.0 * i, 2.0 + 1.5 * i, 30.0 * i, "v-^"[i % 3], "OPTR"[i % 4]});
  }
  Provider().SetTargets(targets);
  sim::TrafficProvider::Current() = &Provider();
}

// The frame's own processor time: on a busy machine wall-clock worst frames
// measure the other processes.
double ThreadMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

void BM_B737NdMapFrame(benchmark::State& state) {
  SetUpWorld(static_cast<double>(state.range(0)));
  gfx::DeviceContext dc(247, 294);
  const PIXSIZE size{247, 294};
  // The first frame loads the boundary file; the panel pays that once.
  nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
  std::vector<double> frames;
  for (auto _ : state) {
    const double start = ThreadMicroseconds();
    nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
    frames.push_back(ThreadMicroseconds() - start);
    benchmark::DoNotOptimize(dc.pixels.data());
  }
  std::sort(frames.begin(), frames.end());
  if (!frames.empty()) {
    state.counters["typical_us"] = frames[frames.size() / 2];
    state.counters["worst_us"] = frames.back();
  }
}
BENCHMARK(BM_B737NdMapFrame)->Arg(160)->Arg(40)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
