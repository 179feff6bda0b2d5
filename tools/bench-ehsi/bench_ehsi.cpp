// EHSI frames as the panel draws them many times a second, on the raster
// backend, one core: the DU-1000 at its design size (318 x 311) in its four
// modes, the Pro Line 4 MFD's HSI rose and arc (modes 0 and 1, 247 x 285)
// and the MD-80's full rose and arc (modes 0 and 1 on its 318 x 311
// screen), each with every pointer it has shown: an ILS received with its
// glideslope and DME, NAV2, the ADF, both bearing pointers, the heading bug
// just moved, a descent to a lower selected altitude (the altitude range
// arc of mode 3), an active waypoint and the wind. Each run reports the
// median (typical) and the slowest frame in microseconds of the thread's
// processor time, after one untimed frame. The map contents of the map
// modes are not drawn yet.
#include <benchmark/benchmark.h>

#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/instruments/ehsi/state.h"
#include "src/model/state.h"
#include "tools/bench/frame_times.h"

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

PANELS& Panels() {
  static PANELS panels = [] {
    PANELS p{};
    p.lookup_var = LookupVar;
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

}  // namespace

BENCHMARK_MAIN();
