// Loading the world-sized data set and rebuilding the near and map lists
// around a moving position.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/navdb/navdb.h"
#include "tools/navgen/navgen.h"

namespace {

namespace fs = std::filesystem;
using namespace ovi;

// The synthetic world, written on first use into a temporary folder that
// is removed at exit.
class World {
 public:
  World() : dir_(fs::temp_directory_path() / "ovi_bench_navdb_world") {
    if (!navgen::WriteSyntheticWorld(dir_.string(), navgen::WorldSize{}, 1, nullptr)) {
      std::fprintf(stderr, "bench-navdb: cannot write the data set under %s\n", dir_.string().c_str());
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

std::string WorldFolder() {
  static World world;
  return world.Folder();
}

void EnsureLoaded() {
  if (navdb::navdb_state.AirportCount == 0) {
    host::host_state.SimulatorFolder = WorldFolder();
    navdb::LoadNavDatabase();
  }
}

void BM_LoadNavDatabase(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();  // dropping the previous tables is not loading
    ResetModuleState();
    host::host_state.SimulatorFolder = WorldFolder();
    state.ResumeTiming();
    navdb::LoadNavDatabase();
    benchmark::DoNotOptimize(navdb::navdb_state.AirportCount);
  }
  const navdb::State& s = navdb::navdb_state;
  state.counters["airports"] = s.AirportCount;
  state.counters["navaids"] = s.NavaidCount;
  state.counters["ints"] = s.IntersectionCount;
  state.counters["awy_lines"] = s.AirwayFixCount;
  state.counters["awy_points"] = s.AirwayPointCount;
}
BENCHMARK(BM_LoadNavDatabase)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadAtcBoundaries(benchmark::State& state) {
  host::host_state.SimulatorFolder = WorldFolder();
  for (auto _ : state) {
    navdb::LoadAtcBoundaries();
    benchmark::DoNotOptimize(navdb::navdb_state.AtcBoundaryPointCount);
  }
}
BENCHMARK(BM_LoadAtcBoundaries)->Unit(benchmark::kMillisecond);

// Near lists: a route across the densest part of the set, 60 NM further
// at each rebuild.
template <void (*Near)(double, double), int navdb::State::*Count>
void BM_NearRebuild(benchmark::State& state) {
  EnsureLoaded();
  double lat = 36.0, lon = -120.0, entries = 0.0;
  for (auto _ : state) {
    navdb::ProjectPosition(lat, lon, 80.0, 60.0, lat, lon);
    if (lon > -70.0) lon = -120.0, lat = 36.0;
    Near(lat, lon);
    entries += navdb::navdb_state.*Count;
  }
  state.counters["entries"] = entries / static_cast<double>(state.iterations());
}
BENCHMARK(BM_NearRebuild<navdb::FilterNearAirports, &navdb::State::NearAirportCount>)
    ->Name("FilterNearAirports")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NearRebuild<navdb::FilterNearNavaids, &navdb::State::NearNavaidCount>)
    ->Name("FilterNearNavaids")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NearRebuild<navdb::FilterNearAirwayPoints, &navdb::State::NearAirwayPointCount>)
    ->Name("FilterNearAirwayPoints")->Unit(benchmark::kMicrosecond);

// Map lists: the near list built once over the dense centre, the map list
// rebuilt at points circling 150 NM around it.
template <void (*Near)(double, double), void (*Map)(double, double), int navdb::State::*Count>
void BM_MapRebuild(benchmark::State& state) {
  EnsureLoaded();
  const double clat = 39.0, clon = -95.0;
  Near(clat, clon);
  double angle = 0.0, entries = 0.0;
  for (auto _ : state) {
    double lat, lon;
    navdb::ProjectPosition(clat, clon, angle, 150.0, lat, lon);
    angle = std::fmod(angle + 7.0, 360.0);
    Map(lat, lon);
    entries += navdb::navdb_state.*Count;
  }
  state.counters["entries"] = entries / static_cast<double>(state.iterations());
}
BENCHMARK(BM_MapRebuild<navdb::FilterNearAirports, navdb::FilterMapAirports, &navdb::State::MapAirportCount>)
    ->Name("FilterMapAirports")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapRebuild<navdb::FilterNearNavaids, navdb::FilterMapNavaids, &navdb::State::MapNavaidCount>)
    ->Name("FilterMapNavaids")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapRebuild<navdb::FilterNearAirwayPoints, navdb::FilterMapAirwayPoints,
                        &navdb::State::MapAirwayPointCount>)
    ->Name("FilterMapAirwayPoints")->Unit(benchmark::kMicrosecond);

void BM_FindNavaid(benchmark::State& state) {
  EnsureLoaded();
  const navdb::State& s = navdb::navdb_state;
  int i = 1;
  for (auto _ : state) {
    const model::NavDbRecord& r = s.NavaidTable[i];
    benchmark::DoNotOptimize(navdb::FindNavaid(r.ident, r.kind, r.latitude, r.longitude));
    i = i % s.NavaidCount + 1;
  }
}
BENCHMARK(BM_FindNavaid);

void BM_LoadAirportDetails(benchmark::State& state) {
  EnsureLoaded();
  const navdb::State& s = navdb::navdb_state;
  int i = 1;
  for (auto _ : state) {
    navdb::LoadAirportDetails(s.AirportTable[i].ident, 0);
    i = (i * 7919) % s.AirportCount + 1;
  }
}
BENCHMARK(BM_LoadAirportDetails)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
