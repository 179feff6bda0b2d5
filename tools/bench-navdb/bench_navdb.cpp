// Loading the world-sized data set (and its quarter and half) beside the
// floor any loader has to pay, a plain read of the same files split into
// fields; rebuilding the near and map lists around a moving position;
// loading a large airport's procedures. After the table: each load's time
// over its floor, each set's time per megabyte against the full set's, and
// the resident memory the loaded full set takes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "src/navdb/text_file.h"
#include "sim/out_folder.h"
#include "tools/bench/world_set.h"
#include "tools/usage.h"

namespace {

namespace fs = std::filesystem;
using namespace ovi;

// The four files LoadNavDatabase reads (the user files are absent).
constexpr const char* kLoadedFiles[] = {"navs.txt", "apts.txt", "ints.txt", "awys.txt"};

// A synthetic world of `percent` of the full size, written on first use into
// a temporary folder of its own that is removed at exit.
class World : public bench::WorldSet {
 public:
  explicit World(int percent) : WorldSet("bench-navdb", percent) {
    for (const char* f : kLoadedFiles) bytes_ += static_cast<double>(fs::file_size(File(f)));
  }
  double Bytes() const { return bytes_; }

 private:
  double bytes_ = 0;
};

const World& WorldOf(int percent) {
  static std::map<int, std::unique_ptr<World>> worlds;
  auto& w = worlds[percent];
  if (!w) w = std::make_unique<World>(percent);
  return *w;
}

std::string WorldFolder() { return WorldOf(100).Folder(); }

void EnsureLoaded() {
  if (navdb::navdb_state.AirportCount == 0 || host::host_state.SimulatorFolder != WorldFolder()) {
    ResetModuleState();
    host::host_state.SimulatorFolder = WorldFolder();
    navdb::LoadNavDatabase();
  }
}

// Arg: the share of the world in percent.
void BM_LoadNavDatabase(benchmark::State& state) {
  const World& world = WorldOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();  // dropping the previous tables is not loading
    ResetModuleState();
    host::host_state.SimulatorFolder = world.Folder();
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
  state.counters["MB"] = world.Bytes() / 1e6;
  ResetModuleState();
}
BENCHMARK(BM_LoadNavDatabase)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

// The floor: the same files read whole and split into lines and fields,
// nothing converted or kept.
void BM_ReadAndSplit(benchmark::State& state) {
  const World& world = WorldOf(static_cast<int>(state.range(0)));
  std::vector<char> buf;
  std::string_view fields[16];
  for (auto _ : state) {
    long long n = 0;
    for (const char* name : kLoadedFiles) {
      std::FILE* f = std::fopen(world.File(name).c_str(), "rb");
      if (f == nullptr) continue;
      std::fseek(f, 0, SEEK_END);
      buf.resize(static_cast<std::size_t>(std::ftell(f)));
      std::rewind(f);
      buf.resize(std::fread(buf.data(), 1, buf.size(), f));
      std::fclose(f);
      std::string_view rest(buf.data(), buf.size());
      while (!rest.empty()) {
        std::size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        n += navdb::Tokenize(line, fields, 16);
      }
    }
    benchmark::DoNotOptimize(n);
  }
  state.counters["MB"] = world.Bytes() / 1e6;
}
BENCHMARK(BM_ReadAndSplit)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

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

// Procedure files of `airports` airports: KP0001.. with a few procedures of
// ten legs each, and after them KBIG with its tables full (40 SIDs, 40 STARs,
// 60 approaches of 12 legs), the airport a plan load reads. Written on first
// use into a temporary folder of its own, removed at exit.
class ProcedureFiles {
 public:
  explicit ProcedureFiles(int airports)
      : out_(bench::kBenchOutputs, "ovi_bench_navdb_procedures_" + std::to_string(airports) + "_") {
    if (out_.Folder().empty()) {
      std::fprintf(stderr, "bench-navdb: %s\n", out_.Error().c_str());
      std::exit(1);
    }
    const fs::path nav = fs::path(out_.Folder()) / "ovi" / "navdata";
    out_.Note(nav.parent_path().string(), true);
    out_.Note(nav.string(), true);
    for (const char* name : {"apts.txt", "sids.txt", "stars.txt", "apps.txt"}) out_.Note((nav / name).string());
    fs::create_directories(nav);
    std::ofstream apts(nav / "apts.txt"), sids(nav / "sids.txt"), stars(nav / "stars.txt"), apps(nav / "apps.txt");
    auto leg = [](std::ofstream& f, const std::string& transition, int n, int role) {
      static const char* kRoles[] = {"-", "IAF", "FAF", "MAP"};
      f << "L " << transition << " FX" << n << " " << kRoles[role] << " " << 3000 + 100 * n << " 45." << 1000 + n
        << " -120." << 1000 + n << "\n";
    };
    for (int a = 1; a <= airports; ++a) {
      const bool big = a == airports;
      char ident[16];
      std::snprintf(ident, sizeof ident, "KP%04d", a);
      const std::string id = big ? "KBIG" : ident;
      apts << "A " << id << " 500 45.0000 -120.0000 FIELD " << a << "\n";
      for (int r = 1; r <= 10; ++r)
        apts << "R " << (r < 10 ? "0" : "") << r << " 45.0000 -120.0000 8000 " << r * 10 << ".0 - - ASP\n";
      const int procedures = big ? model::kMaxSids : 4;
      for (std::ofstream* f : {&sids, &stars}) {
        *f << "A " << id << "\n";
        for (int p = 1; p <= procedures; ++p) {
          *f << "P PROC" << p << "\n";
          for (int l = 1; l <= (big ? 12 : 10); ++l) leg(*f, l <= 6 ? "-" : "T" + std::to_string(l % 3), l, 0);
        }
      }
      apps << "A " << id << "\n";
      static const char* kTypes[] = {"ILS", "RNAV", "VOR", "LOC", "NDB", "GPS"};
      for (int p = 0; p < (big ? model::kMaxApproaches : 3); ++p) {
        const int runway = p / 6 + 1;
        apps << "P " << kTypes[p % 6] << " " << (runway < 10 ? "0" : "") << runway << "\n";
        for (int l = 1; l <= (big ? 12 : 10); ++l)
          leg(apps, l <= 2 ? "T" + std::to_string(l) : "---", l, l <= 2 ? 1 : l == 8 ? 2 : l == 10 ? 3 : 0);
      }
    }
  }
  std::string Folder() const { return out_.Folder(); }

 private:
  sim::TemporaryOutputs out_;
};

// A plan load reads both ends: KBIG into the origin and the destination set
// in turn. Arg: the airports the procedure files hold.
void BM_LoadAirportProcedures(benchmark::State& state) {
  const ProcedureFiles files(static_cast<int>(state.range(0)));
  ResetModuleState();
  host::host_state.SimulatorFolder = files.Folder();
  int which = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(navdb::LoadAirportProcedures("KBIG", which));
    which = 3 - which;
  }
  const model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[1];
  state.counters["sids"] = set.SidCount;
  state.counters["apps"] = set.ApproachCount;
  ResetModuleState();
}
BENCHMARK(BM_LoadAirportProcedures)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4096;
}

// Resident memory the loaded full set adds to the process (its first load,
// before any other).
double LoadedWorldResidentMB() {
  const std::string folder = WorldFolder();
  ResetModuleState();
  const long before = ResidentBytes();
  host::host_state.SimulatorFolder = folder;
  navdb::LoadNavDatabase();
  const long after = ResidentBytes();
  ResetModuleState();
  return static_cast<double>(after - before) / 1e6;
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter(double resident_mb, OutputOptions opts) : ConsoleReporter(opts), resident_mb_(resident_mb) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions, the median stands for the benchmark.
    for (const Run& r : runs) {
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (!(r.run_type == Run::RT_Iteration && r.iterations > 0) && !median) continue;
      auto mb = r.counters.find("MB");
      times_[r.run_name.str()] = {r.GetAdjustedRealTime(), mb != r.counters.end() ? mb->second.value : 0.0};
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nload / read-and-split floor, and time per MB against the full set's:\n");
    const auto full = times_.find("BM_LoadNavDatabase/100");
    for (int pct : {25, 50, 100}) {
      auto load = times_.find("BM_LoadNavDatabase/" + std::to_string(pct));
      auto floor = times_.find("BM_ReadAndSplit/" + std::to_string(pct));
      if (load == times_.end()) continue;
      std::printf("  %3d%% (%5.1f MB)", pct, load->second.mb);
      if (floor != times_.end() && floor->second.time > 0) std::printf("  load/floor %5.2f", load->second.time / floor->second.time);
      if (full != times_.end() && full->second.time > 0 && load->second.mb > 0 && full->second.mb > 0)
        std::printf("  per MB vs full %5.2f",
                    (load->second.time / load->second.mb) / (full->second.time / full->second.mb));
      std::printf("\n");
    }
    std::printf("resident memory of the loaded full set: %.1f MB\n", resident_mb_);
  }

 private:
  struct Timing {
    double time, mb;
  };
  std::map<std::string, Timing> times_;
  double resident_mb_;
};

}  // namespace

int main(int argc, char** argv) {
  const int rc = ovi::tools::CheckBenchmarkOptions(
      argc, argv,
      "usage: bench-navdb [benchmark options]\n"
      "Times loading the world-sized navigation data set (and its quarter and\n"
      "half) against a plain read of the same files split into fields, the near\n"
      "and map lists rebuilt around a moving position, and a large airport's\n"
      "procedures loaded; then each load's time over its floor, each set's time\n"
      "per megabyte and the resident memory of the loaded full set.\n"
      "The benchmark options (--benchmark_filter=REGEX picks cases):\n");
  if (rc >= 0) return rc;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const double resident_mb = LoadedWorldResidentMB();
  RatioReporter reporter(resident_mb, isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                              : benchmark::ConsoleReporter::OO_Tabular);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
