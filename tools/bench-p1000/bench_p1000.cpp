// One frame of the P1000 MFD as its gauge draws it many times a second (the
// per-tick update returns at once within a tick, so the pre-draw is the
// draw entry): the arc format at 25 NM on the design-size surface (272 x
// 314) with every layer on: a 40-waypoint route with the leg from its
// start, a hold, both FIX INFO fixes with three rows each, the
// bottom-of-descent arc, airports, navaids, ATC boundaries, the top of
// climb and descent and a dozen traffic targets in the TCAS window. Each
// run reports the median (typical) and the slowest frame in microseconds of
// the thread's processor time.
//
// Arguments: world (0 the sample database, 1 ovi-navgen's world-sized set
// with the route through its densest region), partial (0 full repaints, 1
// partial frames), centred (1: the centred format about an active waypoint
// 300 NM from the aircraft: the near lists stay about the aircraft, so no
// frame rebuilds them). The first frame builds the near and map lists
// ("rebuild_us"); "rebuilds" counts the list builds of the timed frames.
#include <benchmark/benchmark.h>


#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/model/state.h"
#include "src/navdb/state.h"
#include "tools/bench/frame_times.h"
#include "tools/bench/map_scene.h"
#include "tools/bench/traffic_scene.h"
#include "tools/usage.h"

namespace {

using namespace ovi;
void LookupVar(MODULE_VAR* var) { var->value.n = 0.0; }
PANELS& Panels() { return bench::TrafficPanels(LookupVar); }

// The scene (tools/bench/map_scene.h) with the P1000's own: the leg from
// its start, a descent to a lower selected altitude, the data fields'
// values, every layer on at 25 NM, a dozen targets; in the centred format
// the active waypoint lies 300 NM south of the aircraft.
void SetUpScene(bool world, bool centred) {
  ResetModuleState();
  host::host_state.Panels = &Panels();
  const bench::SceneCentre centre = bench::LoadSceneData(world, "bench-p1000");
  bench::SetUpMapScene(centre);
  flightplan::State& fp = flightplan::flightplan_state;
  if (centred) fp.ActiveFlightPlan[5].latitude = centre.latitude - 4.5;

  guidance::State& g = guidance::guidance_state;
  g.ApHeadingLockDir = 175.0;
  g.PrevGroundSpeed = g.GroundSpeedKnots;
  g.TrueAirspeedEstimate = g.PreviousTrueAirspeedEstimate = 300.0;
  g.WindSpeed = 35.0;
  g.WindDirectionMagnetic = 250.0;
  g.ApMaster = g.ApAltitudeLock = 1.0;
  g.ApAltitudeLockVar = 11000.0;
  g.VerticalSpeedFpm = -1800.0;
  g.DestinationDistance = 200.0;
  g.ActiveWaypointDistance = g.SavedActiveWaypointDistance = 26.0;

  model::State& m = model::model_state;
  m.P1000MapRange = 25.0;
  m.P1000MapFormat = centred ? p1000::kCentredFormat : p1000::kArcFormat;
  m.P1000ShowAirports = m.P1000ShowNavaids = 1;
  m.ShowAtcBoundaries = 1;
  m.NdShowTraffic = 1;
  m.DispPrevWpt = 1;
  m.DrawBodArcOnP1000MFD = 1;

  bench::ProvideTraffic();
}

int ListBuilds() {
  static navdb::LatLon last[6];
  const auto& centres = navdb::navdb_state.NearListCenters;
  int changed = 0;
  for (std::size_t i = 0; i < centres.size(); ++i) {
    changed += centres[i].latitude != last[i].latitude || centres[i].longitude != last[i].longitude;
    last[i] = centres[i];
  }
  return changed;
}

void BM_P1000Frame(benchmark::State& state) {
  const bool partial = state.range(1) == 1;
  SetUpScene(state.range(0) == 1, state.range(2) == 1);
  gfx::DeviceContext dc(272, 314);
  const PIXSIZE size{272, 314};
  display::GaugeDisplay& display = efs::efs_state.P1000MfdDisplay;
  guidance::guidance_state.DisplayRefreshCounter = 0;
  // The first frame loads the boundary file and builds the lists; the panel
  // pays that once.
  const double start = bench::ThreadMicroseconds();
  p1000::DrawP1000Mfd(display, &dc, &size, 1);
  state.counters["rebuild_us"] = bench::ThreadMicroseconds() - start;
  ListBuilds();
  int rebuilds = 0;
  guidance::guidance_state.DisplayRefreshCounter = partial ? 50 : 0;
  bench::TimeFrames(state, [&] {
    p1000::DrawP1000Mfd(display, &dc, &size, 1);
    benchmark::DoNotOptimize(dc.pixels.data());
    rebuilds += ListBuilds();
  });
  state.counters["rebuilds"] = rebuilds;
  state.counters["map_navaids"] = navdb::navdb_state.MapNavaidCount;
  state.counters["map_airports"] = navdb::navdb_state.MapAirportCount;
}
BENCHMARK(BM_P1000Frame)
    ->ArgNames({"world", "partial", "centred"})
    ->ArgsProduct({{0, 1}, {0, 1}, {0}})
    ->Args({0, 1, 1})
    ->Args({1, 1, 1})
    ->Unit(benchmark::kMicrosecond);

// The partial arc frame without one part of the scene (args: the part, the
// world set): what that part costs is the difference to BM_P1000Frame.
// Parts: 1 airports, 2 navaids, 3 FIX INFO fixes, 4 ATC boundaries, 5 the
// traffic window, 6 the route (and its data box), 7 the hold and the arc.
void BM_P1000FrameWithout(benchmark::State& state) {
  SetUpScene(state.range(1) == 1, false);
  model::State& m = model::model_state;
  flightplan::State& fp = flightplan::flightplan_state;
  switch (state.range(0)) {
    case 1: m.P1000ShowAirports = 0; break;
    case 2: m.P1000ShowNavaids = 0; break;
    case 3: fp.FixInfoTable[1].ident.clear(), fp.FixInfoTable[2].ident.clear(); break;
    case 4: m.ShowAtcBoundaries = 0; break;
    case 5: m.NdShowTraffic = 0; break;
    case 6: fp.ActiveWaypointIndex = model::kNoWaypoint; break;
    case 7: fp.HoldCount = 0, m.DrawBodArcOnP1000MFD = 0; break;
    default: break;
  }
  gfx::DeviceContext dc(272, 314);
  const PIXSIZE size{272, 314};
  display::GaugeDisplay& display = efs::efs_state.P1000MfdDisplay;
  guidance::guidance_state.DisplayRefreshCounter = 0;
  p1000::DrawP1000Mfd(display, &dc, &size, 1);
  guidance::guidance_state.DisplayRefreshCounter = 50;
  bench::TimeFrames(state, [&] {
    p1000::DrawP1000Mfd(display, &dc, &size, 1);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_P1000FrameWithout)
    ->ArgNames({"part", "world"})
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 7}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

OVI_BENCHMARK_MAIN("usage: bench-p1000 [benchmark options]\n"
                   "Times the P1000 MFD's frame at 272 x 314 with every layer on (arguments:\n"
                   "world 0 the sample data or 1 a world-sized set, partial 1 for partial\n"
                   "frames, centred 1 for the centred format), and without each part in turn.\n"
                   "Each case reports the median and the slowest frame in microseconds of\n"
                   "processor time.\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
