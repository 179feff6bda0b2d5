// The CDU screen as the panel draws it many times a second, on the raster
// backend at 284 x 233: PROGRESS's three sub-pages on a 40-waypoint route,
// NAV STATUS with its eight stations, NAV OPTIONS, and REF NAV DATA in each
// of its views (argument: the kind), and the performance pages (PERF INIT
// and PERF LIMITS, TAKEOFF REF, APPROACH REF, ECON CLB / CRZ / PATH DES,
// DES FORECASTS) filled, in MOD, each in the flight phase that shows its
// fullest drawing (argument: the page, then the sub-page). Apart, the frame that brings the
// closest stations up to date (NEXT PAGE back to NAV STATUS), on the sample
// data and on a synthetic world-sized data set: a cost of a key, not of
// every frame. Each run reports the median (typical) and slowest frame in
// microseconds of the thread's processor time.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/gfx/device_context.h"
#include "src/flightplan/nearest_navaids.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/fms/cdu.h"
#include "src/instruments/fms/nav_status.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tools/bench/frame_times.h"
#include "tools/bench/world_set.h"
#include "tools/usage.h"

namespace {

using namespace ovi;

constexpr int kWidth = 284;
constexpr int kHeight = 233;

// A 40-waypoint route south from Seattle, the aircraft between its second
// and third waypoints, past the top of descent.
void PrepareScene(const std::string& folder) {
  ResetModuleState();
  host::host_state.SimulatorFolder = folder;
  navdb::LoadNavDatabase();
  flightplan::State& f = flightplan::flightplan_state;
  for (int i = 0; i < 40; ++i) {
    model::FlightPlanWaypoint& w = f.ActiveFlightPlan[i];
    w.ident = "WP" + std::to_string(i);
    w.latitude = 47.45 - 0.1 * i;
    w.longitude = -122.3 + 0.02 * i;
  }
  f.ActiveFlightPlanLastIndex = 39;
  f.ActiveWaypointIndex = 2;
  guidance::State& g = guidance::guidance_state;
  g.PlaneLatitude = 47.30;
  g.PlaneLongitude = -122.27;
  g.GroundSpeedKnots = 420.0;
  g.ActiveWaypointDistance = 3.2;
  g.LastWaypointIdent = "WP1";
  g.LastWaypointAltitude = 24000.0;
  g.LastWaypointTimeText = "1402z";
  g.TodPassed = 1;
  g.TodLatitude = 47.4;
  g.TodLongitude = -122.3;
  g.NextConstraintIndex = 10;
  g.AircraftAltitude = 20000.0;
  g.VnavPathAltitude = 15000.0;
  fms::RefreshClosestStations();
  fms::fms_state.ResolvedWaypointIdent = "KSEA";
  fms::fms_state.SelectedWaypointAptText = "433";
  fms::fms_state.SelectedAirportLongName = "SEATTLE-TACOMA-INTL";
}

void Frame(gfx::DeviceContext& dc) { fms::DrawFmsCdu(fms::fms_state.FmsDisplay, &dc, kWidth, kHeight); }

void BM_Progress(benchmark::State& state) {
  PrepareScene(std::string(OVI_SOURCE_DIR) + "/data");
  gfx::DeviceContext dc(kWidth, kHeight);
  fms::fms_state.FmsPage = fms::kPageProgress;
  model::model_state.FmsSubPageTable.ProgressSubPage = static_cast<std::int32_t>(state.range(0));
  bench::TimeFrames(state, [&] {
    Frame(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_Progress)->ArgName("sub_page")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_NavStatus(benchmark::State& state) {
  PrepareScene(std::string(OVI_SOURCE_DIR) + "/data");
  gfx::DeviceContext dc(kWidth, kHeight);
  fms::fms_state.FmsPage = fms::kPageNavStatus;
  model::model_state.FmsSubPageTable.NavStatusSubPage = static_cast<std::int32_t>(state.range(0));
  bench::TimeFrames(state, [&] {
    Frame(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_NavStatus)->ArgName("sub_page")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_RefNavData(benchmark::State& state) {
  PrepareScene(std::string(OVI_SOURCE_DIR) + "/data");
  gfx::DeviceContext dc(kWidth, kHeight);
  fms::fms_state.FmsPage = fms::kPageRefNavData;
  model::model_state.FmsSubPageTable.RefNavDataKind = static_cast<std::int32_t>(state.range(0));
  bench::TimeFrames(state, [&] {
    Frame(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_RefNavData)->ArgName("kind")->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

// Every performance value set and a modification pending: each line of the
// pages has its text. The route's vertical plan: a constraint on every
// fifth waypoint, the climb before the tenth.
void FillPerformance(std::int32_t page) {
  model::State& m = model::model_state;
  flightplan::State& f = flightplan::flightplan_state;
  for (int i = 0; i <= f.ActiveFlightPlanLastIndex; ++i) {
    model::FlightPlanWaypoint& w = f.ActiveFlightPlan[i];
    w.altitude_constraint = i % 5 == 0 ? 11000.0 + 100.0 * i : -999.0;
    w.constraint_flag = i % 5 == 0 ? 3 : 0;
    w.speed_constraint = i % 5 == 0 ? 250.0 : -999.0;
  }
  f.RouteState = 4;
  m.CruiseAlt = 35000;
  m.CostIndex = 80;
  m.ReserveFuel = 5000;
  m.ClbSpdRest = m.DescSpdRest = 250.0;
  m.ClbAltRest = m.DescAltRest = 10000.0;
  m.TOFLAPS = 5;
  m.V1 = 145;
  m.VR = 150;
  m.V2 = 155;
  m.LDGFLAPS = 30;
  m.VREF = 145;
  m.PauseAtTod = 1;
  guidance::State& g = guidance::guidance_state;
  g.GrossWeight = 120500.0;
  g.WindSpeed = 25.0;
  g.WindDirectionMagnetic = 250.0;
  g.TocLatitude = 46.5;
  g.TocLongitude = -122.2;
  g.NextConstraintDistance = 60.0;
  g.DistanceSinceTod = 12.0;
  g.DistanceTodToConstraint = 40.0;
  g.VerticalSpeedFpm = -1800.0;
  g.VnavRequiredVerticalSpeed = -1900.0;
  g.TocPassed = page == fms::kPageEconClimb ? 0 : 1;
  g.TodPassed = page == fms::kPageEconClimb || page == fms::kPageEconCruise ? 0 : 1;
  fms::fms_state.CruiseWindDirection = 270;
  fms::fms_state.CruiseWindSpeed = 45;
}

void BM_PerformancePages(benchmark::State& state) {
  PrepareScene(std::string(OVI_SOURCE_DIR) + "/data");
  const auto page = static_cast<std::int32_t>(state.range(0));
  FillPerformance(page);
  gfx::DeviceContext dc(kWidth, kHeight);
  fms::fms_state.FmsPage = page;
  model::model_state.FmsSubPageTable.PerfInitSubPage = static_cast<std::int32_t>(state.range(1));
  bench::TimeFrames(state, [&] {
    Frame(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_PerformancePages)
    ->ArgNames({"page", "sub_page"})
    ->Args({fms::kPagePerfInit, 1})
    ->Args({fms::kPagePerfInit, 2})
    ->Args({fms::kPageTakeoffRef, 1})
    ->Args({fms::kPageApproachRef, 1})
    ->Args({fms::kPageEconClimb, 1})
    ->Args({fms::kPageEconCruise, 1})
    ->Args({fms::kPageEconDescent, 1})
    ->Args({fms::kPageDescentForecasts, 1})
    ->Unit(benchmark::kMicrosecond);

// The frame of NEXT PAGE from NAV OPTIONS: the lists filtered and the
// closest stations found again, then NAV STATUS drawn.
void RefreshFrames(benchmark::State& state, const std::string& folder) {
  PrepareScene(folder);
  gfx::DeviceContext dc(kWidth, kHeight);
  fms::fms_state.FmsPage = fms::kPageNavStatus;
  bench::TimeFrames(state, [&] {
    model::model_state.FmsSubPageTable.NavStatusSubPage = 2;
    fms::fms_state.FmsNextPageKey = 1;
    Frame(dc);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}

void BM_NavStatusRefreshSample(benchmark::State& state) { RefreshFrames(state, std::string(OVI_SOURCE_DIR) + "/data"); }
BENCHMARK(BM_NavStatusRefreshSample)->Unit(benchmark::kMicrosecond);

void BM_NavStatusRefreshWorld(benchmark::State& state) {
  static const bench::WorldSet world("bench-cdu");
  RefreshFrames(state, world.Folder());
}
BENCHMARK(BM_NavStatusRefreshWorld)->Unit(benchmark::kMicrosecond);

}  // namespace

OVI_BENCHMARK_MAIN("usage: bench-cdu [benchmark options]\n"
                   "Times CDU frames at 284 x 233: PROGRESS, NAV STATUS, NAV OPTIONS, REF NAV\n"
                   "DATA (argument: the view) and the performance pages (arguments: the page,\n"
                   "then the sub-page); apart, the closest-station refresh over the sample\n"
                   "data and a world-sized set (the cases named World). Each case reports the\n"
                   "median and the slowest frame in microseconds of processor time.\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
