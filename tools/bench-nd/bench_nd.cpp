// One frame of the B737 navigation display as the panel draws it many times
// a second: MAP mode on the design-size surface (247 x 294), the sample
// navigation database loaded, the sample route active, ATC boundaries on
// and a dozen traffic targets from a provider. Besides the mean, each run
// reports the median (typical) and the slowest frame in microseconds of the
// thread's processor time, after one frame that loads what is loaded once.
//
// BM_B737NdLayersFrame draws every map layer at once at 160 NM: a
// 40-waypoint active route, a pending modification, two holds, both FIX
// INFO fixes with their rows, NAV1's station, the rings and the traffic, over
// the sample database (arg 0) or ovi-navgen's world-sized set (arg 1) with
// the route through its densest region. The near and map lists are built by
// a frame before the timed ones ("rebuild_us": after a frame that did what
// a panel does once, with nothing kept of that frame's map), so the timed
// frames are the ones between rebuilds. The argument "off" switches speed-ups of the drawing
// layer and the map projection off (SetSpeedUps), so that a run with
// --benchmark_enable_random_interleaving compares both ways in one process.
// BM_B737NdLayer times each map layer of that scene alone (arg: the
// layer's place in the table).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"
#include "platform/gfx/glyph_runs.h"
#include "platform/gfx/shape_cache.h"
#include "sim/traffic_provider.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/display/map_projection.h"
#include "src/display/state.h"
#include "src/host/traffic_link.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tools/bench/frame_times.h"
#include "tools/bench/map_scene.h"
#include "tools/bench/traffic_scene.h"
#include "tools/usage.h"

namespace {

using namespace ovi;

// NAV1 receives a station (token 49, its signal); every other token reads 0.
void LookupVar(MODULE_VAR* var) { var->value.n = var->id == 49 ? 1.0 : 0.0; }
PANELS& Panels() { return bench::TrafficPanels(LookupVar); }
void SetUpTraffic() { bench::ProvideTraffic(); }

using bench::ThreadMicroseconds;

// Times one frame per iteration on `dc`.
void TimeFrames(benchmark::State& state, gfx::DeviceContext& dc, const PIXSIZE& size) {
  bench::TimeFrames(state, [&] {
    nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
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

  SetUpTraffic();
}

void BM_B737NdMapFrame(benchmark::State& state) {
  SetUpWorld(static_cast<double>(state.range(0)));
  gfx::DeviceContext dc(247, 294);
  const PIXSIZE size{247, 294};
  // The first frame loads the boundary file; the panel pays that once.
  nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
  TimeFrames(state, dc, size);
}
BENCHMARK(BM_B737NdMapFrame)->Arg(160)->Arg(40)->Unit(benchmark::kMicrosecond);

// --- Every layer at once ----------------------------------------------------

// The speed-ups whose bit is set in `off` drawn without: 1 the kept stroke
// coverage, 2 the kept great-circle places, 4 the kept glyph runs, 8 the
// stroke converter's leaving out of far-off runs, 16 the marks' stroke snap.
constexpr int kAllSpeedUps = 31;
void SetSpeedUps(int off) {
  gfx::detail::UseShapeCache((off & 1) == 0);
  display::detail::UseGeoMemo((off & 2) == 0);
  gfx::detail::UseGlyphRuns((off & 4) == 0);
  gfx::detail::UseFarRunCulling((off & 8) == 0);
  gfx::detail::UseStrokeSnap((off & 16) == 0);
}

// The scene (tools/bench/map_scene.h) with a pending modification of every
// other entry beyond the 10th, a second hold at waypoint 8, NAV1's station,
// the rings, the traffic.
void SetUpLayersScene(bool world) {
  ResetModuleState();
  host::host_state.Panels = &Panels();
  bench::SetUpMapScene(bench::LoadSceneData(world, "bench-nd"));
  navdb::LoadAtcBoundaries();
  // Nothing kept from a scene before.
  gfx::detail::Shapes().Clear();
  gfx::detail::ForgetGlyphRuns();
  flightplan::State& fp = flightplan::flightplan_state;
  fp.PendingFlightPlan = fp.ActiveFlightPlan;
  fp.PendingFlightPlanLastIndex = 39;
  for (int i = 10; i < 40; i += 2) fp.PendingFlightPlan[i].longitude += 0.1;
  fp.EditWaypointIndex = 10;
  fp.RouteState = 4;
  model::HoldingPattern& second = fp.HoldTable[2];
  second = fp.HoldTable[1];
  second.name = fp.ActiveFlightPlan[8].ident;
  second.active_index = 8;
  second.corners[0].latitude = fp.ActiveFlightPlan[8].latitude;
  second.corners[0].longitude = fp.ActiveFlightPlan[8].longitude;
  fp.HoldCount = 2;

  guidance::State& g = guidance::guidance_state;
  g.DestinationDistance = 200.0;
  g.Nav1DmeDistance = 30.0;
  g.HeadingOffsetToken550 = 10.0;
  g.SelectedCourse = 175.0;

  model::State& m = model::model_state;
  m.HWB737NDMode = 5;
  m.NdRange = 160.0;
  m.ShowAtcBoundaries = 1;
  m.NdShowTraffic = 1;
  m.NdRangeRingsShown = 1;
  m.DispPrevWpt = 1;
  m.NdShowNavaids = m.NdShowAirports = m.NdShowIntersections = 1;

  SetUpTraffic();
}

// The frame that rebuilds the lists, its processor time in microseconds
// (a function of its own, for profilers to single out).
[[gnu::noinline]] double RebuildFrame(gfx::DeviceContext& dc, const PIXSIZE& size) {
  const double start = ThreadMicroseconds();
  nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
  return ThreadMicroseconds() - start;
}

void BM_B737NdLayersFrame(benchmark::State& state) {
  SetUpLayersScene(state.range(0) == 1);
  gfx::detail::UseCairoForAllStrokes(state.range(1) == 1);
  SetSpeedUps(static_cast<int>(state.range(2)));
  gfx::DeviceContext dc(247, 294);
  const PIXSIZE size{247, 294};
  // A first frame does what a panel does once (fonts, the glyphs of the
  // labels). Then the frames that rebuild the near and map lists, as a
  // flight does every 50 NM: once with nothing kept of the map before
  // ("rebuild_cold_us", as in a turn, where nothing on the map stays where
  // it was), once with the aircraft one frame further on (320 kt at 60
  // frames a second, "rebuild_us").
  nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
  gfx::detail::Shapes().Clear();
  nd::nd_state.PointPlaces.clear();
  display::display_state.BoundaryPlaces = display::GeoMemo{};
  navdb::navdb_state.NearListCenters.fill(navdb::LatLon{});
  const double rebuild_cold = RebuildFrame(dc, size);
  guidance::guidance_state.PlaneLatitude -= 320.0 / 3600.0 / 60.0 / 60.0;  // degrees of latitude
  navdb::navdb_state.NearListCenters.fill(navdb::LatLon{});
  const double rebuild = RebuildFrame(dc, size);
  TimeFrames(state, dc, size);
  state.counters["rebuild_us"] = rebuild;
  state.counters["rebuild_cold_us"] = rebuild_cold;
  state.counters["map_navaids"] = navdb::navdb_state.MapNavaidCount;
  state.counters["map_airports"] = navdb::navdb_state.MapAirportCount;
  const gfx::detail::ShapeCache::Size kept = gfx::detail::Shapes().Used();
  state.counters["kept_shapes"] = static_cast<double>(kept.entries);
  state.counters["kept_kib"] = static_cast<double>(kept.bytes) / 1024.0;
  gfx::detail::UseCairoForAllStrokes(false);
  SetSpeedUps(0);
}
// Second argument 1: every stroke rasterised by Cairo, as before the layer
// had its own rasteriser for straight-edged strokes (and without the
// speed-ups); third: the speed-ups off (SetSpeedUps), all of them and each
// alone.
void LayersFrameArgs(benchmark::internal::Benchmark* b) {
  for (int world : {0, 1}) {
    for (int off : {0, 1, 2, 4, 8, 9, 16, kAllSpeedUps}) b->Args({world, 0, off});
    b->Args({world, 1, kAllSpeedUps});
  }
}
BENCHMARK(BM_B737NdLayersFrame)
    ->ArgNames({"world", "cairo_strokes", "off"})
    ->Apply(LayersFrameArgs)
    ->Unit(benchmark::kMicrosecond);

// The same frame in a standard-rate turn: every frame the heading (and
// with it the map) advances by a sixth of a degree, 3 degrees a second at
// 18 frames a second, the aircraft staying where it is. Nothing on the map
// stays where it was, so what the frame reuses is what does not depend on
// the map's rotation. The turn starts after the frames that build the
// lists, as in BM_B737NdLayersFrame. The argument "off" as there.

// One frame of the turn (a function of its own, for profilers to single
// out).
[[gnu::noinline]] void TurnFrame(gfx::DeviceContext& dc, const PIXSIZE& size) {
  guidance::State& g = guidance::guidance_state;
  g.AircraftHeading = g.MapHeading = std::fmod(g.MapHeading + 1.0 / 6.0, 360.0);
  nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
}

void BM_B737NdLayersFrameTurn(benchmark::State& state) {
  SetUpLayersScene(state.range(0) == 1);
  SetSpeedUps(static_cast<int>(state.range(1)));
  gfx::DeviceContext dc(247, 294);
  const PIXSIZE size{247, 294};
  nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
  nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
  bench::TimeFrames(state, [&] {
    TurnFrame(dc, size);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
  const gfx::detail::ShapeCache::Size kept = gfx::detail::Shapes().Used();
  state.counters["kept_shapes"] = static_cast<double>(kept.entries);
  state.counters["kept_kib"] = static_cast<double>(kept.bytes) / 1024.0;
  SetSpeedUps(0);
}
BENCHMARK(BM_B737NdLayersFrameTurn)
    ->ArgNames({"world", "off"})
    ->ArgsProduct({{0, 1}, {0, kAllSpeedUps}})
    ->Unit(benchmark::kMicrosecond);

// The MD-11 display over the same scene: MAP at 160 NM and PLAN (mode 2),
// on its 246 x 241 surface, every layer on, NAV1's station received, the
// bearing pointers shown; world 0 the sample database, 1 the world set.
void BM_Md11NdFrame(benchmark::State& state) {
  SetUpLayersScene(state.range(0) == 1);
  model::State& m = model::model_state;
  const bool plan = state.range(1) == 1;
  m.HWMD11NDMode = plan ? 2 : 3;
  nd::nd_state.Md11NdMapRadius = plan ? 94 : 150;
  m.Md11NdRange = 160.0;
  m.Md11NdShowNavaids = m.Md11NdShowAirports = m.Md11NdShowIntersections = 1;
  nd::nd_state.Md11NdShowVor1Pointer = nd::nd_state.Md11NdShowVor2Pointer = 1;
  gfx::DeviceContext dc(246, 241);
  const PIXSIZE size{246, 241};
  nd::DrawMd11NavigationDisplay(nd::nd_state.Md11NdDisplay, &dc, &size, 1);
  bench::TimeFrames(state, [&] {
    nd::DrawMd11NavigationDisplay(nd::nd_state.Md11NdDisplay, &dc, &size, 1);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_Md11NdFrame)
    ->ArgNames({"world", "plan"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

// How far two pictures of one size differ: the pixels that differ at all,
// those that differ by more than one level, the largest difference of a
// channel.
struct PixelDifference {
  int differ = 0, beyond_one = 0, largest = 0;
};
PixelDifference Compare(const gfx::DeviceContext& a, const gfx::DeviceContext& b) {
  PixelDifference out;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    int d = 0;
    for (int shift = 0; shift < 32; shift += 8)
      d = std::max(d, std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                               static_cast<int>((b.pixels[i] >> shift) & 0xFF)));
    out.differ += d > 0;
    out.beyond_one += d > 1;
    out.largest = std::max(out.largest, d);
  }
  return out;
}

// Not a timing: the frame of every layer drawn once with the layer's own
// stroke converter and once with every stroke through Cairo, and how far
// the two pictures differ (pixels that differ at all, by more than one
// level, the largest difference of a channel). OVI_BENCH_ND_PNG=<prefix>
// writes both pictures. "kept_differ": pixels of the frame drawn with the
// speed-ups (the second frame, from what the first kept) that differ from
// the frame drawn without them, and "kept_largest" the largest difference
// of a channel (the marks' stroke snap moves their edges within the
// tolerance docs/drawing.md gives; any other difference is a fault).
void BM_B737NdStrokePixels(benchmark::State& state) {
  SetUpLayersScene(state.range(0) == 1);
  const PIXSIZE size{247, 294};
  auto picture = [&](bool cairo, int off) {
    gfx::detail::UseCairoForAllStrokes(cairo);
    SetSpeedUps(off);
    gfx::DeviceContext dc(247, 294);
    nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);  // lists built
    nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);
    gfx::detail::UseCairoForAllStrokes(false);
    SetSpeedUps(0);
    return dc;
  };
  PixelDifference own{}, kept{};
  for (auto _ : state) {
    // The converter against Cairo with the marks where they are (the snap
    // off); every speed-up on against none.
    const gfx::DeviceContext ours = picture(false, 16), cairo = picture(true, kAllSpeedUps);
    kept = Compare(picture(false, 0), picture(false, kAllSpeedUps));
    own = Compare(ours, cairo);
    if (const char* prefix = std::getenv("OVI_BENCH_ND_PNG")) {
      const std::string base = std::string(prefix) + (state.range(0) == 1 ? "world" : "sample");
      gfx::WritePng(ours, base + "-own.png");
      gfx::WritePng(cairo, base + "-cairo.png");
    }
  }
  state.counters["pixels_differ"] = own.differ;
  state.counters["beyond_one_level"] = own.beyond_one;
  state.counters["largest_difference"] = own.largest;
  state.counters["kept_differ"] = kept.differ;
  state.counters["kept_largest"] = kept.largest;
}
BENCHMARK(BM_B737NdStrokePixels)->ArgName("world")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Not a timing either: what the marks' stroke snap moves over many views.
// Each map mode with marks (3 expanded arc, traffic only; 5 map; 6 centred
// map; 7 plan) at every range from 10 to 320 NM, the map turned to 48
// headings 7.5 degrees apart (and a fraction, so that none is round), each
// frame drawn with every speed-up on against the same frame with none
// (the snap is the one that moves pixels): "largest" the largest
// difference of a channel, "most_moved" the most pixels that differ in one
// frame, "most_moved_beyond_one" the most that differ by more than one
// level, "frames" the frames compared; the label names the view of the
// largest difference. OVI_BENCH_ND_PNG=<prefix> writes that view's pair of
// frames.
void BM_B737NdSnapPixels(benchmark::State& state) {
  SetUpLayersScene(state.range(0) == 1);
  const PIXSIZE size{247, 294};
  gfx::DeviceContext on(247, 294), none(247, 294), worst_on(1, 1), worst_none(1, 1);
  PixelDifference most{};
  int frames = 0;
  char where[64] = "";
  for (auto _ : state) {
    for (int mode : {3, 5, 6, 7}) {
      for (double range : {10.0, 20.0, 40.0, 80.0, 160.0, 320.0}) {
        model::model_state.HWB737NDMode = mode;
        model::model_state.NdRange = range;
        for (int k = 0; k < 48; ++k) {
          const double heading = 7.5 * k + 0.37;
          guidance::guidance_state.AircraftHeading = guidance::guidance_state.MapHeading = heading;
          SetSpeedUps(kAllSpeedUps);
          nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &none, &size, 1);
          SetSpeedUps(0);
          nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &on, &size, 1);
          const PixelDifference d = Compare(on, none);
          ++frames;
          most.differ = std::max(most.differ, d.differ);
          most.beyond_one = std::max(most.beyond_one, d.beyond_one);
          if (d.largest > most.largest) {
            most.largest = d.largest;
            worst_on = on, worst_none = none;
            std::snprintf(where, sizeof where, "mode %d, %.0f NM, heading %.2f", mode, range, heading);
          }
        }
      }
    }
  }
  if (const char* prefix = std::getenv("OVI_BENCH_ND_PNG")) {
    const std::string base = std::string(prefix) + (state.range(0) == 1 ? "world" : "sample");
    gfx::WritePng(worst_on, base + "-snapped.png");
    gfx::WritePng(worst_none, base + "-unsnapped.png");
  }
  state.SetLabel(std::string("largest at ") + where);
  state.counters["largest"] = most.largest;
  state.counters["most_moved"] = most.differ;
  state.counters["most_moved_beyond_one"] = most.beyond_one;
  state.counters["frames"] = frames;
}
BENCHMARK(BM_B737NdSnapPixels)->ArgName("world")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// One map layer of the scene alone (args: its place in the table, the world
// set, every stroke through Cairo), without the frame's outline clip.
void BM_B737NdLayer(benchmark::State& state) {
  SetUpLayersScene(state.range(1) == 1);
  const auto layers = nd::B737NdMapLayers();
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  if (n >= layers.size()) {
    state.SkipWithError("no such layer");
    return;
  }
  state.SetLabel(layers[n].name);
  gfx::detail::UseCairoForAllStrokes(state.range(2) == 1);
  gfx::DeviceContext dc(247, 294);
  const PIXSIZE size{247, 294};
  nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, &dc, &size, 1);  // lists built
  gfx::Graphics g(&dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const nd::B737NdFrame frame = nd::MakeB737NdFrame(g, nd::nd_state.B737NdDisplay, 1);
  for (auto _ : state) {
    layers[n].draw(frame);
    benchmark::DoNotOptimize(dc.pixels.data());
  }
  gfx::detail::UseCairoForAllStrokes(false);
}
BENCHMARK(BM_B737NdLayer)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 11, 1), {0, 1}, {0, 1}})
    ->ArgNames({"layer", "world", "cairo_strokes"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

OVI_BENCHMARK_MAIN("usage: bench-nd [benchmark options]\n"
                   "Times navigation display frames on the raster backend: a B737 MAP frame\n"
                   "at 247 x 294 (argument: the range), every map layer at 160 NM together\n"
                   "(BM_B737NdLayersFrame, also in a turn) and each alone (BM_B737NdLayer),\n"
                   "and the MD-11's MAP and PLAN frames; the pixel checks compare frames\n"
                   "drawn with and without the drawing layer's speed-ups. Arguments: world\n"
                   "(0 the sample data, 1 a world-sized set), layer (its place), off (the\n"
                   "speed-ups switched off), cairo_strokes, plan. Each case reports the\n"
                   "median and the slowest frame in microseconds of processor time.\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
