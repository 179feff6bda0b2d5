// The attitude displays' frames as the panel draws them many times a
// second: the EFS 50 EADI on its screen (280 x 262), the B777 PFD on its
// own (247 x 294), the A320 EADI (318 x 311) and the C-17 MFD's primary
// flight page (246 x 241), raster backend, one core, every element shown: banked
// and climbing, the flight director on (single and dual cue), the heading
// scale, an ILS with both deviation scales and a marker, the radio
// altitude and decision height, every mode annunciation, the speed limits
// and V-speeds, the flight path vector, the A320's ILS block and mode row
// and the C-17's data fields, stall warning and mode boxes. Each run reports the median
// (typical) and the slowest frame in microseconds of the thread's processor
// time, after one untimed frame.
#include <benchmark/benchmark.h>

#include "platform/gfx/graphics.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/efs/a320/a320_eadi.h"
#include "src/instruments/efs/b777/b777_pfd.h"
#include "src/instruments/efs/efs50/eadi.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/model/state.h"
#include "tools/bench/frame_times.h"
#include "tools/usage.h"

namespace {

using namespace ovi;

// NAV1 receives an ILS (localizer, glideslope) with its ident; the flight
// director is on, the middle marker received, the pitch limit shown; the
// overspeed at 340 kt.
void LookupVar(MODULE_VAR* var) {
  switch (var->id) {
    case 49:
    case 67:
    case 111:
    case 792:
    case 907:
      var->value.n = 1.0;
      break;
    case 46:
      var->value.n = 0xC0;
      break;
    case 354:
      var->value.n = 2.0;
      break;
    case 63:
      var->value.n = 340.0 * 128.0;
      break;
    case 65:
      var->value.n = 1000.0;
      break;
    case 24:
      var->value.n = 0x0950;
      break;
    case 615:
      var->value.n = 200.0;
      break;
    case 47:
      var->value.text = "ISEA";
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

void SetUpWorld(int dual_cue) {
  ResetModuleState();
  host::host_state.Panels = &Panels();
  guidance::State& g = guidance::guidance_state;
  g.PitchAttitude = -6.0;
  g.BankAttitude = -20.0;
  g.FlightDirectorBank = -25.0;
  g.SimToken793Value = -8.0;
  g.AircraftHeading = 355.0;
  g.GroundTrack = 358.0;
  g.ApHeadingLockDir = 10.0;
  g.SmoothedAirspeed = 245.5;
  g.ApAirspeedHoldVar = 250.0;
  g.TrendAverage = 0.05;
  g.AircraftAltitude = 12345.0;
  g.ApAltitudeLockVar = 12000.0;
  g.VerticalSpeedFpm = 1500.0;
  g.RadioAltitudeFeet = 1200.0;
  g.GroundSpeedKnots = 300.0;
  g.DriftAngle = 3.0;
  g.MachNumber = 0.785;
  g.BaroPressureMillibars = 1008.0;
  g.BarometricPressureInHg = 29.77;
  g.Nav1CdiNeedle = -30.0;
  g.Nav1GlideslopeNeedle = 40.0;
  g.Nav1DmeDistance = 12.3;
  g.SelectedCourse = 163.0;
  g.ApMaster = g.ApAltitudeLock = g.ApAirspeedHold = g.ApYawDamper = 1.0;
  g.ApApproachHold = g.AutothrottleArm = 1.0;
  g.ApHeadingLock = 1;
  g.LnavEngaged = g.VnavEngaged = 1;
  model::State& m = model::model_state;
  m.EadiDualCue = dual_cue;
  m.EADIHdgTape = 1;
  m.DispFPV = 1;
  m.V1 = 138;
  m.VR = 145;
  m.V2 = 155;
  m.VREF = 140;
}

template <typename Entry>
void TimeEntry(benchmark::State& state, Entry entry, display::GaugeDisplay& display, int w, int h) {
  SetUpWorld(static_cast<int>(state.range(0)));
  gfx::DeviceContext dc(w, h);
  const PIXSIZE size{w, h};
  entry(display, &dc, &size, 1);
  bench::TimeFrames(state, [&] {
    entry(display, &dc, &size, 1);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}

void BM_Efs50EadiFrame(benchmark::State& state) {
  TimeEntry(state, efs::DrawEfs50Eadi, efs::efs_state.Efs50EadiDisplay, 280, 262);
}
BENCHMARK(BM_Efs50EadiFrame)->ArgName("dual_cue")->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

void BM_B777PfdFrame(benchmark::State& state) {
  TimeEntry(state, efs::DrawB777Pfd, efs::efs_state.B777PfdDisplay, 247, 294);
}
BENCHMARK(BM_B777PfdFrame)->ArgName("dual_cue")->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);

void BM_A320EadiFrame(benchmark::State& state) {
  auto entry = [](display::GaugeDisplay& d, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
    efs::DrawA320Eadi(d, dc, size, variant, 320);
  };
  TimeEntry(state, entry, efs::efs_state.A320EadiDisplay, 318, 311);
}
// 99: the chevron symbol; 0: the wings.
BENCHMARK(BM_A320EadiFrame)->ArgName("dual_cue")->Arg(0)->Arg(99)->Unit(benchmark::kMicrosecond);

void BM_C17PrimaryFlightPage(benchmark::State& state) {
  // Display 1 starts on the primary flight page; the speed trend caret on.
  auto entry = [](display::GaugeDisplay& d, gfx::DeviceContext* dc, const PIXSIZE* size, int) {
    model::model_state.DispC17SpdTrend = 1;
    c17::DrawC17Mfd(d, dc, size, 1);
  };
  TimeEntry(state, entry, c17::c17_state.C17MfdDisplay, 246, 241);
}
BENCHMARK(BM_C17PrimaryFlightPage)->ArgName("dual_cue")->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

OVI_BENCHMARK_MAIN("usage: bench-attitude [benchmark options]\n"
                   "Times the attitude displays' frames on the raster backend, every element\n"
                   "shown: the EFS 50 EADI (single and dual cue), the B777 PFD, the A320 EADI\n"
                   "and the C-17 MFD's primary flight page. Each case reports the median and\n"
                   "the slowest frame in microseconds of processor time.\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
