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

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/graphics.h"
#include "sim/traffic_provider.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/host/traffic_link.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tools/bench/frame_times.h"
#include "tools/navgen/navgen.h"

namespace {

using namespace ovi;
namespace fs = std::filesystem;

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

// ovi-navgen's world, written on first use into a temporary folder that is
// removed at exit.
class World {
 public:
  World() : dir_(fs::temp_directory_path() / "ovi_bench_p1000_world") {
    if (!navgen::WriteSyntheticWorld(dir_.string(), navgen::WorldSize{}, 1, nullptr)) {
      std::fprintf(stderr, "bench-p1000: cannot write the world data set under %s\n", dir_.string().c_str());
      std::exit(1);
    }
  }
  ~World() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Folder() const { return dir_.string(); }

 private:
  fs::path dir_;
};

// The scene about (lat, lon): a 40-waypoint route zigzagging south through
// it with the aircraft on its 5th leg, a hold at waypoint 6, fixes at
// waypoints 5 and 7, a descent to a lower selected altitude.
void SetUpScene(bool world, bool centred) {
  static World* world_data = nullptr;
  ResetModuleState();
  host::host_state.Panels = &Panels();
  if (world) {
    if (world_data == nullptr) world_data = new World;
    host::host_state.SimulatorFolder = world_data->Folder();
  } else {
    host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data";
  }
  navdb::LoadNavDatabase();
  if (navdb::navdb_state.AirportCount == 0) {
    std::fprintf(stderr, "bench-p1000: the navigation data did not load\n");
    std::exit(1);
  }
  // Europe's cluster is the densest of the world set; the sample region is
  // about Seattle.
  const double lat = world ? 49.0 : 47.4, lon = world ? 8.0 : -122.3;

  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i < 40; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.ident = "WP" + std::to_string(i);
    w.latitude = lat + 1.0 - i * 0.1;
    w.longitude = lon + (i % 2 == 0 ? -0.15 : 0.15);
    w.type = "WPT";
  }
  fp.ActiveFlightPlanLastIndex = 39;
  fp.ActiveWaypointIndex = 5;
  if (centred) fp.ActiveFlightPlan[5].latitude = lat - 4.5;  // 300 NM south of the aircraft
  model::HoldingPattern& hold = fp.HoldTable[1];
  hold.name = fp.ActiveFlightPlan[6].ident;
  hold.active_index = 6;
  hold.leg_length = 5.0;
  hold.inbound_course = 170.0;
  hold.corners[0].latitude = fp.ActiveFlightPlan[6].latitude;
  hold.corners[0].longitude = fp.ActiveFlightPlan[6].longitude;
  fp.HoldCount = 1;
  for (int n = 1; n <= 2; ++n) {
    model::FixInfoRecord& fix = fp.FixInfoTable[n];
    const model::FlightPlanWaypoint& at = fp.ActiveFlightPlan[3 + 2 * n];
    fix.ident = at.ident;
    fix.kind = "V";
    fix.latitude = at.latitude;
    fix.longitude = at.longitude;
    fix.rows[0] = {90.0, 25.0};
    fix.rows[1] = {180.0, 10.0};
    fix.rows[2] = {270.0, 40.0};
  }

  guidance::State& g = guidance::guidance_state;
  g.PlaneLatitude = lat + 0.52;
  g.PlaneLongitude = lon;
  g.AircraftHeading = g.MapHeading = 170.0;
  g.ApHeadingLockDir = 175.0;
  g.GroundSpeedKnots = g.PrevGroundSpeed = 320.0;
  g.TrueAirspeedEstimate = g.PreviousTrueAirspeedEstimate = 300.0;
  g.WindSpeed = 35.0;
  g.WindDirectionMagnetic = 250.0;
  g.AircraftAltitude = 16000.0;
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

  std::vector<sim::TrafficTargetSpec> targets;
  for (int i = 0; i < 12; ++i)
    targets.push_back({-2000.0 + 400.0 * i, 2.0 + 1.5 * i, 30.0 * i, "v-^"[i % 3], "OPTR"[i % 4]});
  Provider().SetTargets(targets);
  sim::TrafficProvider::Current() = &Provider();
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

BENCHMARK_MAIN();
