// The MCU screen as the panel draws it many times a second, on the raster
// backend at the design size of its screen element (420 x 159): a whole
// repaint of each page (its argument: the page number) over the sample
// data (the sample route active with LNAV, VNAV and a hold; KSEA's runways
// on APT; the two "ELN" candidates on DIRTO; the stored plans on FPLN), and
// the status page's bearing band alone. Each run reports the median
// (typical) and slowest frame in microseconds of the thread's processor
// time.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/gfx/device_context.h"
#include "src/flightplan/load.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/mcu/screen.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tools/bench/frame_times.h"
#include "tools/usage.h"

namespace {

using namespace ovi;

constexpr int kWidth = 420;
constexpr int kHeight = 159;

// The sample world once: navigation data, a list of stored plans, KSEA-KPDX
// loaded in flight (nothing written into the sample folder: no plan
// converted, no flight log started) and flown with LNAV, VNAV and a hold
// at its third waypoint.
void PrepareScene() {
  ResetModuleState();
  host::host_state.SimulatorFolder = std::string(OVI_SOURCE_DIR) + "/data";
  navdb::LoadNavDatabase();
  flightplan::State& library = flightplan::flightplan_state;
  for (const char* name : {"KBFI-KGEG.RTE", "KEAT-KGEG.pln", "KOLM-KPDX.PLN", "KPAE-KBLI.PLN", "KSEA-KPDX.rte",
                           "KSEA-KSEA-LONG.rte", "KYKM-KSEA.PLN", "NEW FPL"})
    library.FlightPlanLibrary[++library.FlightPlanLibraryCount].name = name;
  guidance::State& g = guidance::guidance_state;
  g.PlaneLatitude = 47.43;
  g.PlaneLongitude = -122.31;
  g.GroundSpeedKnots = 250.0;
  flightplan::flightplan_state.RequestedFlightPlanFile = "KSEA-KPDX.rte";
  flightplan::LoadRequestedFlightPlan(1);
  flightplan::flightplan_state.McuFlightPlanLoaded = 0;
  g.LnavEngaged = g.VnavEngaged = 1;
  flightplan::State& fp = flightplan::flightplan_state;
  fp.HoldCount = 1;
  fp.HoldTable[1].active_index = 3;
  g.ElapsedFlightSeconds = 1234.0;
  g.ActiveWaypointDistance = 6.2;
  g.BearingToActiveWaypoint = 178.0;
  navdb::LoadAirportDetails("KSEA", 1);
  model::model_state.McuAirportIdent = "KSEA";
  model::model_state.McuAirportElevationText = "433";
}

void Frame(gfx::DeviceContext& dc) { mcu::DrawMcuScreen(mcu::mcu_state.McuDisplay, &dc, kWidth, kHeight); }

void BM_McuPage(benchmark::State& state) {
  PrepareScene();
  gfx::DeviceContext dc(kWidth, kHeight);
  mcu::State& m = mcu::mcu_state;
  m.McuPage = static_cast<std::int32_t>(state.range(0));
  if (m.McuPage == mcu::kPageDirectTo) {
    model::model_state.McuEntryText = "ELN";
    gnsxls::gnsxls_state.McuRedrawRequest = 1;
    Frame(dc);  // the search, once
  }
  if (m.McuPage == mcu::kPageLegs) gnsxls::gnsxls_state.McuLegsCursor = 1;
  bench::TimeFrames(state, [&] {
    gnsxls::gnsxls_state.McuRedrawRequest = 1;
    Frame(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_McuPage)->ArgName("page")->Arg(1)->Arg(2)->Arg(5)->Arg(6)->Arg(7)->Arg(19)->Unit(benchmark::kMicrosecond);

void BM_McuBearingBand(benchmark::State& state) {
  PrepareScene();
  gfx::DeviceContext dc(kWidth, kHeight);
  mcu::mcu_state.McuPage = mcu::kPageStatus;
  guidance::guidance_state.DisplayRefreshCounter = 5;
  bench::TimeFrames(state, [&] {
    gnsxls::gnsxls_state.McuStatusRedraw = 1;
    Frame(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_McuBearingBand)->Unit(benchmark::kMicrosecond);

}  // namespace

OVI_BENCHMARK_MAIN("usage: bench-mcu [benchmark options]\n"
                   "Times MCU screens at 420 x 159: a whole repaint of each page (argument:\n"
                   "the page number) over the sample data, and the status page's bearing band\n"
                   "alone. Each case reports the median and the slowest frame in\n"
                   "microseconds of processor time.\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
