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
#include "tools/bench/map_scene.h"
#include "tools/bench/traffic_scene.h"
#include "tools/usage.h"

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

PANELS& Panels() { return bench::TrafficPanels(LookupVar); }

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

// The scene (tools/bench/map_scene.h) with every fifth waypoint a VOR and
// the first five with their times over, every layer switch on, descending
// toward a lower selected altitude, the traffic.
void SetUpMapScene(int mode, bool world) {
  SetUpWorld(mode);
  bench::SetUpMapScene(bench::LoadSceneData(world, "bench-ehsi"));
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i < 40; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.type = i % 5 == 0 ? "VOR" : "WPT";
    w.time_over_text = i < 5 ? "10:0" + std::to_string(i) : "";
  }

  guidance::State& g = guidance::guidance_state;
  g.ApAltitudeLockVar = 11000.0;
  g.TocPassed = 1;

  model::State& m = model::model_state;
  m.ShowAtcBoundaries = m.NdShowTraffic = 1;
  m.Du1000ShowNavaids = m.Du1000ShowAux = m.Du1000ShowAirports = m.Du1000ShowIntersections = 1;
  m.Proline4ShowVors = m.Proline4ShowNdbs = m.Proline4ShowAirports = m.Proline4ShowIntersections = 1;
  m.Md80EhsiShowNavaids = m.Md80EhsiShowAirports = m.Md80EhsiShowIntersections = 1;
  m.Proline4MapRadius = mode == 2 ? 70 : 140;
  bench::ProvideTraffic();
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

OVI_BENCHMARK_MAIN("usage: bench-ehsi [benchmark options]\n"
                   "Times EHSI frames: the DU-1000 in its four modes, the Pro Line 4's and the\n"
                   "MD-80's rose and arc, each display's map modes with every layer\n"
                   "(BM_EhsiMapFrame: display, mode, world 0 the sample data or 1 a\n"
                   "world-sized set) and each map layer alone, the EFS 50 EHSI's modes and the\n"
                   "traffic display. Each case reports the median and the slowest frame in\n"
                   "microseconds of processor time.\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
