// The C17_MFD gauge's pre-draw as the panel calls it many times a second:
// the skeleton, the display number and the draw entry on the raster
// backend at the design size 246 x 241, one page kind per case (its
// argument: the page). Each run reports the median (typical) and slowest
// frame in microseconds of the thread's processor time. The engine and
// configuration pages see every element they have: take-off thrust with
// two engines in reverse, both time lines and the temperature limit line,
// spoilers, flaps and slats out, the gear in transit, trims and
// deflections.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/gfx/device_context.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/flightplan/state.h"
#include "src/instruments/mfd/c17/gauges.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tools/bench/frame_times.h"
#include "tools/bench/map_scene.h"
#include "tools/usage.h"

namespace {

using namespace ovi;

double Rankine(double celsius) { return celsius * 9.0 / 5.0 + 491.69; }

const std::map<std::uint32_t, double>& Tokens() {
  static const std::map<std::uint32_t, double> tokens = {
      {342, 300},   {626, 100.4}, {645, 99.6},  {664, 100.9}, {683, 99.8}, {625, 97},   {644, 96},
      {663, 98},    {682, 97},    {567, Rankine(640)},        {577, Rankine(660)},      {587, Rankine(610)},
      {597, Rankine(600)},        {128, 16383}, {163, -8192}, {198, 16383}, {233, -16384}, {633, 300},
      {652, 298},   {671, 303},   {690, 299},   {638, 9100},  {657, 9050},  {676, 9200},  {695, 9010},
      {562, 11520}, {572, 9936},  {582, 12240}, {592, 10800}, {561, Rankine(90)},        {571, Rankine(170)},
      {581, Rankine(180)},        {591, Rankine(30)},        {149, 19},    {184, 3},     {219, 20},
      {254, 22},    {328, 10922}, {907, 66},    {908, 66},    {787, 0.05},  {783, 0.06},  {785, -0.04},
      {782, 0.1},   {784, 0.2},   {786, -0.3},  {326, 9000},  {327, 9000},  {332, 8000},  {333, 16383},
      {334, 12000},
  };
  return tokens;
}
void LookupVar(MODULE_VAR* var) {
  const auto it = Tokens().find(var->id);
  var->value.n = it != Tokens().end() ? it->second : 0.0;
}
double AircraftVarget(std::uint32_t /*simvar*/, std::int32_t /*units*/, std::int32_t /*index*/) { return 70.0; }
std::int32_t UnitsEnum(const char* /*name*/) { return 1; }

PANELS& Panels() {
  static PANELS panels = [] {
    PANELS p{};
    p.lookup_var = LookupVar;
    p.aircraft_varget = AircraftVarget;
    p.get_units_enum = UnitsEnum;
    return p;
  }();
  return panels;
}

void BM_C17MfdPreDraw(benchmark::State& state) {
  ResetModuleState();
  host::host_state.Panels = &Panels();
  guidance::guidance_state.MaxThrustTimer = 950;
  guidance::guidance_state.EngineTempLimitTimer = 320;
  guidance::guidance_state.Engine1FuelUsed = 12345;
  GAUGEHDR& gauge = c17::c17_mfd_gauge;
  ELEMENT_HEADER* screen = gauge.elements_list[0];
  gfx::DeviceContext dc(246, 241);
  screen->image = {{246, 241}, &dc};
  // Display 5 draws the working copy, which holds the page under test.
  gauge.parameters = "5";
  model::model_state.C17MfdPage = static_cast<std::int32_t>(state.range(0));
  bench::TimeFrames(state, [&] {
    c17::c17_mfd_callback(&gauge, PANEL_SERVICE_PRE_DRAW, 0);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
  screen->image = {};
}
BENCHMARK(BM_C17MfdPreDraw)
    ->ArgName("page")
    ->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(5)->Arg(6)->Arg(9)->Arg(10)->Arg(11)->Arg(12)
    ->Unit(benchmark::kMicrosecond);

// --- Pages 3 to 6 with every map layer --------------------------------------

// The scene (tools/bench/map_scene.h) with the boundaries, the runways of
// Seattle's airport, the plan step at the active waypoint and a descent to a
// lower selected altitude.
void SetUpLayersScene(bool world, double range) {
  ResetModuleState();
  host::host_state.Panels = &Panels();
  bench::SetUpMapScene(bench::LoadSceneData(world, "bench-c17"));
  if (!world) navdb::LoadAirportDetails("KSEA", 1);
  flightplan::flightplan_state.PlanStepIndex = 5;
  guidance::State& g = guidance::guidance_state;
  g.DisplayPower = 1;
  g.ApMaster = g.ApAltitudeLock = 1.0;
  g.ApAltitudeLockVar = 11000.0;
  g.VerticalSpeedFpm = -1800.0;
  model::State& m = model::model_state;
  m.C17MfdMapRange = range;
  m.ShowAtcBoundaries = 1;
  m.Proline4ShowVors = m.Proline4ShowNdbs = m.Proline4ShowAirports = 1;
}

// Arguments: the page, the data (0 the sample, 1 the world set), the range.
void BM_C17MfdMapLayers(benchmark::State& state) {
  SetUpLayersScene(state.range(1) == 1, static_cast<double>(state.range(2)) / 10.0);
  GAUGEHDR& gauge = c17::c17_mfd_gauge;
  ELEMENT_HEADER* screen = gauge.elements_list[0];
  gfx::DeviceContext dc(246, 241);
  screen->image = {{246, 241}, &dc};
  gauge.parameters = "5";
  model::model_state.C17MfdPage = static_cast<std::int32_t>(state.range(0));
  // The first frame builds the near and map lists and loads the boundaries.
  c17::c17_mfd_callback(&gauge, PANEL_SERVICE_PRE_DRAW, 0);
  bench::TimeFrames(state, [&] {
    c17::c17_mfd_callback(&gauge, PANEL_SERVICE_PRE_DRAW, 0);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
  state.counters["map_navaids"] = navdb::navdb_state.MapNavaidCount;
  state.counters["map_airports"] = navdb::navdb_state.MapAirportCount;
  screen->image = {};
}
BENCHMARK(BM_C17MfdMapLayers)
    ->ArgNames({"page", "world", "range_x10"})
    ->ArgsProduct({{3, 4, 5, 6}, {0, 1}, {1600, 25}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

OVI_BENCHMARK_MAIN("usage: bench-c17 [benchmark options]\n"
                   "Times the C17_MFD gauge's pre-draw at 246 x 241, one page kind per case\n"
                   "(argument: the page), the engine and configuration pages with every\n"
                   "element they have. Each case reports the median and the slowest frame in\n"
                   "microseconds of processor time.\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
