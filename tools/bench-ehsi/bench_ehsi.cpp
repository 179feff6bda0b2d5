// EHSI frames as the panel draws them many times a second, on the raster
// backend, one core: the DU-1000 at its design size (318 x 311) in its four
// modes, the Pro Line 4 MFD's HSI rose and arc (modes 0 and 1, 247 x 285)
// and the MD-80's full rose and arc (modes 0 and 1 on its 318 x 311
// screen), each with every pointer it has shown: an ILS received with its
// glideslope and DME, NAV2, the ADF, both bearing pointers, the heading bug
// just moved, a descent to a lower selected altitude (the altitude range
// arc of mode 3), an active waypoint and the wind. Each run reports the
// median (typical) and the slowest frame in microseconds of the thread's
// processor time, after one untimed frame.
//
// BM_EhsiMapFrame draws the map modes of each display (display 0 DU-1000,
// 1 Pro Line 4, 2 MD-80; mode 2 north up, 3 heading up) at its design size
// with every layer on: a 40-waypoint route, a hold, both FIX INFO fixes
// with three rows, the ATC boundaries and a dozen traffic targets, over the
// sample database (world 0) or ovi-navgen's world-sized set (world 1) with
// the route through its densest region. The first frame builds the near
// and map lists ("rebuild_us"); the timed frames are those between
// rebuilds.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/instruments/ehsi/state.h"
#include "sim/traffic_provider.h"
#include "src/host/traffic_link.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tools/bench/frame_times.h"
#include "tools/navgen/navgen.h"

namespace {

using namespace ovi;

// NAV1 receives an ILS on 109.90 (localizer and glideslope), NAV2 a
// station; every other token reads 0.
void LookupVar(MODULE_VAR* var) {
  static const char kIdent[] = "ISEA";
  switch (var->id) {
    case 47:
      var->value.text = kIdent;
      break;
    case 49:
    case 58:
      var->value.n = 1.0;
      break;
    case 46:
      var->value.n = 0xC0;
      break;
    case 24:
      var->value.n = 0x0990;
      break;
    default:
      var->value.n = 0.0;
  }
}

sim::TrafficProvider& Provider() {
  static sim::TrafficProvider provider;
  return provider;
}

// The traffic provider's link is the one variable the module asks for.
void InitializeVarByName(MODULE_VAR* var, const char* name) {
  *var = MODULE_VAR{};
  if (std::string(name) != host::kTrafficProviderVariable) return;
  var->var_type = VAR_TYPE_FUNCTION;
  auto entry = &sim::TrafficProvider::Entry;
  static_assert(sizeof entry == sizeof var->value.ptr);
  std::memcpy(&var->value.ptr, &entry, sizeof entry);
}

PANELS& Panels() {
  static PANELS panels = [] {
    PANELS p{};
    p.lookup_var = LookupVar;
    p.initialize_var_by_name = InitializeVarByName;
    return p;
  }();
  return panels;
}

void SetUpWorld(int mode) {
  ResetModuleState();
  host::host_state.Panels = &Panels();
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveFlightPlan[0].ident = "KSEA";
  fp.ActiveFlightPlan[1].ident = "OLM";
  fp.ActiveFlightPlanLastIndex = 1;
  fp.ActiveWaypointIndex = 1;

  guidance::State& g = guidance::guidance_state;
  g.AircraftHeading = 350.0;
  g.GroundTrack = 355.0;
  g.ApHeadingLockDir = 20.0;
  g.SelectedCourse = 10.0;
  g.HeadingOffsetToken550 = 15.0;
  g.Nav1CdiNeedle = -30.0;
  g.Nav1GlideslopeNeedle = 40.0;
  g.AdfSignal = 2.0;
  g.AdfRelativeBearing = 240.0;
  g.GroundSpeedKnots = 300.0;
  g.TrueAirspeedEstimate = 290.0;
  g.WindSpeed = 25.0;
  g.WindDirectionMagnetic = 255.0;
  g.BearingToActiveWaypoint = 207.0;
  g.ActiveWaypointDistance = 28.0;
  g.ApMaster = g.ApAltitudeLock = 1.0;
  g.ApAltitudeLockVar = 5000.0;
  g.AircraftAltitude = 9000.0;
  g.VerticalSpeedFpm = -1800.0;
  g.SecondBearingPointer = 170.0;
  g.Nav1DmeDistance = 12.4;
  g.Nav2DmeDistance = 31.0;
  g.HeadingBugDisplayTicks = 54;
  g.DesiredTrack = 205.0;
  g.StaticAirTemp = -12.0;

  model::State& m = model::model_state;
  m.DU1000EHSIMode = m.PROLINE4MFDMode = m.MD80EHSIMode = mode;
  m.Du1000EhsiRange = 60.0;
  m.Proline4BearingPointer1Source = 1;
  m.Proline4BearingPointer2Source = 2;
  m.Md80EhsiShowAdf = 1;
}

void BM_Du1000Frame(benchmark::State& state) {
  SetUpWorld(static_cast<int>(state.range(0)));
  gfx::DeviceContext dc(318, 311);
  const PIXSIZE size{318, 311};
  ehsi::DrawDu1000Ehsi(ehsi::ehsi_state.Du1000Display, &dc, &size, 1);
  bench::TimeFrames(state, [&] {
    ehsi::DrawDu1000Ehsi(ehsi::ehsi_state.Du1000Display, &dc, &size, 1);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_Du1000Frame)->ArgName("mode")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

template <void (*Draw)(display::GaugeDisplay&, gfx::DeviceContext*, const PIXSIZE*, int)>
void TimeDisplay(benchmark::State& state, display::GaugeDisplay& display, PIXSIZE size) {
  SetUpWorld(static_cast<int>(state.range(0)));
  gfx::DeviceContext dc(size.x, size.y);
  Draw(display, &dc, &size, 1);
  bench::TimeFrames(state, [&] {
    Draw(display, &dc, &size, 1);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}

void BM_Proline4Frame(benchmark::State& state) {
  TimeDisplay<ehsi::DrawProline4Mfd>(state, ehsi::ehsi_state.Proline4Display, {247, 285});
}
BENCHMARK(BM_Proline4Frame)->ArgName("mode")->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

void BM_Md80Frame(benchmark::State& state) {
  TimeDisplay<ehsi::DrawMd80Ehsi>(state, ehsi::ehsi_state.Md80Display, {318, 311});
}
BENCHMARK(BM_Md80Frame)->ArgName("mode")->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

// --- The map modes with every layer ---------------------------------------------

namespace fs = std::filesystem;

// ovi-navgen's world, written on first use into a temporary folder that is
// removed at exit.
class World {
 public:
  World() : dir_(fs::temp_directory_path() / "ovi_bench_ehsi_world") {
    if (!navgen::WriteSyntheticWorld(dir_.string(), navgen::WorldSize{}, 1, nullptr)) {
      std::fprintf(stderr, "bench-ehsi: cannot write the world data set under %s\n", dir_.string().c_str());
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

// About (lat, lon): a 40-waypoint route zigzagging south through it with the
// aircraft on its 5th leg, a hold at waypoint 6, fixes at waypoints 5 and 7,
// a dozen targets; every layer switch on, descending toward a lower
// selected altitude.
void SetUpMapScene(int mode, bool world) {
  static World* world_data = nullptr;
  SetUpWorld(mode);
  if (world) {
    if (world_data == nullptr) world_data = new World;
    host::host_state.SimulatorFolder = world_data->Folder();
  } else {
    host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data";
  }
  navdb::LoadNavDatabase();
  // Europe's cluster is the densest of the world set; the sample region is
  // about Seattle.
  const double lat = world ? 49.0 : 47.4, lon = world ? 8.0 : -122.3;

  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i < 40; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.ident = "WP" + std::to_string(i);
    w.latitude = lat + 1.0 - i * 0.1;
    w.longitude = lon + (i % 2 == 0 ? -0.15 : 0.15);
    w.type = i % 5 == 0 ? "VOR" : "WPT";
    w.time_over_text = i < 5 ? "10:0" + std::to_string(i) : "";
  }
  fp.ActiveFlightPlanLastIndex = 39;
  fp.ActiveWaypointIndex = 5;
  model::HoldingPattern& hold = fp.HoldTable[1];
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
  g.GroundSpeedKnots = 320.0;
  g.AircraftAltitude = 16000.0;
  g.ApAltitudeLockVar = 11000.0;
  g.TocPassed = 1;

  model::State& m = model::model_state;
  m.ShowAtcBoundaries = m.NdShowTraffic = 1;
  m.Du1000ShowNavaids = m.Du1000ShowAux = m.Du1000ShowAirports = m.Du1000ShowIntersections = 1;
  m.Proline4ShowVors = m.Proline4ShowNdbs = m.Proline4ShowAirports = m.Proline4ShowIntersections = 1;
  m.Md80EhsiShowNavaids = m.Md80EhsiShowAirports = m.Md80EhsiShowIntersections = 1;
  m.Proline4MapRadius = mode == 2 ? 70 : 140;

  std::vector<sim::TrafficTargetSpec> targets;
  for (int i = 0; i < 12; ++i)
    targets.push_back({-2000.0 + 400.0 * i, 2.0 + 1.5 * i, 30.0 * i, "v-^"[i % 3], "OPTR"[i % 4]});
  Provider().SetTargets(targets);
  sim::TrafficProvider::Current() = &Provider();
}

void BM_EhsiMapFrame(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  SetUpMapScene(static_cast<int>(state.range(1)), state.range(2) == 1);
  struct Display {
    void (*draw)(display::GaugeDisplay&, gfx::DeviceContext*, const PIXSIZE*, int);
    display::GaugeDisplay* object;
    PIXSIZE size;
  } const displays[] = {{ehsi::DrawDu1000Ehsi, &ehsi::ehsi_state.Du1000Display, {318, 311}},
                        {ehsi::DrawProline4Mfd, &ehsi::ehsi_state.Proline4Display, {247, 285}},
                        {ehsi::DrawMd80Ehsi, &ehsi::ehsi_state.Md80Display, {318, 311}}};
  const Display& d = displays[which];
  gfx::DeviceContext dc(d.size.x, d.size.y);
  const double rebuild_start = bench::ThreadMicroseconds();
  d.draw(*d.object, &dc, &d.size, 1);
  const double rebuild = bench::ThreadMicroseconds() - rebuild_start;
  bench::TimeFrames(state, [&] {
    d.draw(*d.object, &dc, &d.size, 1);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
  state.counters["rebuild_us"] = rebuild;
  state.counters["map_navaids"] = navdb::navdb_state.MapNavaidCount;
  state.counters["map_airports"] = navdb::navdb_state.MapAirportCount;
  state.counters["map_airway_points"] = navdb::navdb_state.MapAirwayPointCount;
}
BENCHMARK(BM_EhsiMapFrame)
    ->ArgNames({"display", "mode", "world"})
    ->ArgsProduct({{0, 1, 2}, {2, 3}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// One layer of a map's table alone in that scene (args: display, mode, the
// layer's place in the table, the world set), without the map's clip.
void BM_EhsiMapLayer(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  SetUpMapScene(static_cast<int>(state.range(1)), state.range(3) == 1);
  const auto layers = which == 0   ? ehsi::Du1000MapLayerTable()
                      : which == 1 ? ehsi::Proline4MapLayerTable()
                                   : ehsi::Md80MapLayerTable();
  const std::size_t n = static_cast<std::size_t>(state.range(2));
  if (n >= layers.size()) {
    state.SkipWithError("no such layer");
    return;
  }
  state.SetLabel(layers[n].name);
  display::GaugeDisplay& object = which == 0   ? ehsi::ehsi_state.Du1000Display
                                  : which == 1 ? ehsi::ehsi_state.Proline4Display
                                               : ehsi::ehsi_state.Md80Display;
  const PIXSIZE size = which == 1 ? PIXSIZE{247, 285} : PIXSIZE{318, 311};
  gfx::DeviceContext dc(size.x, size.y);
  object.width = size.x;
  object.height = size.y;
  gfx::Graphics g(&dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const ehsi::EhsiMap map = which == 0   ? ehsi::Du1000Map(object, g, 1)
                            : which == 1 ? ehsi::Proline4Map(object, g, 1)
                                         : ehsi::Md80Map(object, g, 1);
  layers[n].draw(map);  // lists built
  bench::TimeFrames(state, [&] {
    layers[n].draw(map);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_EhsiMapLayer)
    ->ArgNames({"display", "mode", "layer", "world"})
    ->ArgsProduct({{0, 1, 2}, {2, 3}, benchmark::CreateDenseRange(0, 13, 1), {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
