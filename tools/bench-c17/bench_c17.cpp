// The C17_MFD gauge's pre-draw as the panel calls it many times a second:
// the skeleton, the display number and the draw entry on the raster
// backend at the design size 246 x 241, one page kind per case (its
// argument: the page). Each run reports the median (typical) and slowest
// frame in microseconds of the thread's processor time.
#include <benchmark/benchmark.h>

#include "platform/gfx/device_context.h"
#include "src/host/module_state.h"
#include "src/instruments/mfd/c17/gauges.h"
#include "src/model/state.h"
#include "tools/bench/frame_times.h"

namespace {

using namespace ovi;

void BM_C17MfdPreDraw(benchmark::State& state) {
  ResetModuleState();
  GAUGEHDR& gauge = c17::c17_mfd_gauge;
  ELEMENT_HEADER* screen = gauge.elements_list[0];
  gfx::DeviceContext dc(246, 241);
  screen->image = {{246, 241}, &dc};
  // Display 5 draws the working copy, which holds the page under test.
  gauge.parameters = "5";
  model::model_state.C17MfdPage = static_cast<std::int32_t>(state.range(0));
  bench::TimeFrames(state, [&] {
    c17::c17_mfd_callback(&gauge, PANEL_SERVICE_PRE_DRAW, 0);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
  screen->image = {};
}
BENCHMARK(BM_C17MfdPreDraw)
    ->ArgName("page")
    ->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(5)->Arg(6)->Arg(9)->Arg(10)->Arg(11)->Arg(12)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
