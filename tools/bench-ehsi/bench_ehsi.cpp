// DU-1000 EHSI frames as the panel draws them many times a second: the
// design-size surface (318 x 311) on the raster backend, one core, each of
// the four modes with every pointer it has shown: an ILS received with its
// glideslope, the ADF, the heading bug, a descent to a lower selected
// altitude (the altitude range arc of mode 3), an active waypoint and the
// wind. Each run reports the median (typical) and the slowest frame in
// microseconds of the thread's processor time, after one untimed frame.
// The map contents of modes 2 and 3 are not drawn yet.
#include <benchmark/benchmark.h>

#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/state.h"
#include "src/model/state.h"
#include "tools/bench/frame_times.h"

namespace {

using namespace ovi;

// NAV1 receives an ILS on 109.90 (localizer and glideslope); every other
// token reads 0.
void LookupVar(MODULE_VAR* var) {
  switch (var->id) {
    case 49:
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

  model::model_state.DU1000EHSIMode = mode;
  model::model_state.Du1000EhsiRange = 60.0;
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

}  // namespace

BENCHMARK_MAIN();
