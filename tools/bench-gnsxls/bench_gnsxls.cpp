// GNS-XLS frames as the panel draws them many times a second, on the raster
// backend, one core, at the screen element's design size (292 x 217): the
// active flight plan, DIRECT (a route sub-page and the closest airports),
// DATABASE WPT (opened from DIRECT, all its lines), AIRWAY (a full page
// with a segment), SAVE (the name open), PILOT ENTERED WPT and OFFSET WPT
// (fields open), DEPARTURE, ARRIVAL and APCH each with a full list (twelve
// rows, one highlighted, the markers) and with its preview (eight legs,
// SELECT? on its block), and the data pages (NAVIGATION, VNAV, VNAV DATA,
// HOLDING PATTERN, PLAN: below), each after one untimed frame; typical
// (median) and worst frame in microseconds of the thread's processor time.
// Apart, the closest airport list rebuilt (map list, nine nearest, sort) on
// the world-sized synthetic set, the near list built once: never the
// database.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/gfx/device_context.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/closest_airports.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/screen.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/entry_state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "tools/bench/frame_times.h"
#include "tools/bench/world_set.h"
#include "tools/usage.h"

namespace {

using namespace ovi;
using gnsxls::gnsxls_state;

constexpr int kWidth = 292;
constexpr int kHeight = 217;
constexpr int kClosestPage = 70;  // DIRECT's closest airports

void PutCandidate(int n, const std::string& ident, const char* kind, double lat, double lon) {
  navdb::EntryState& e = navdb::entry_state;
  model::NavDbRecord& r = e.WaypointCandidateList[n];
  r.ident = ident;
  r.kind = kind;
  r.latitude = lat;
  r.longitude = lon;
  r.frequency_text = "116.80";
  e.WaypointCandidateCount = std::max(e.WaypointCandidateCount, n);
}

// A route of 30 waypoints flown to its third, and the state of `page` as
// the pilot leaves it: a choice or a field open on every page that has one.
void SetUpPage(int page) {
  ResetModuleState();
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i <= 30; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.ident = i == 0 ? "KSEA" : i == 30 ? "KPDX" : "WPT" + std::to_string(i);
    w.latitude = 47.5 - 0.06 * i;
    w.longitude = -122.3 - 0.02 * i;
    w.type = i == 0 || i == 30 ? "APT" : "INT";
    w.flyover = i % 7 == 0 ? 1 : 0;
  }
  fp.ActiveFlightPlan[31].ident = "******";
  fp.ActiveFlightPlanLastIndex = 30;
  fp.ActiveWaypointIndex = 3;
  fp.RouteState = 3;
  guidance::State& g = guidance::guidance_state;
  g.DisplayPower = 1;
  g.PlaneLatitude = 47.45;
  g.PlaneLongitude = -122.3;
  g.MagneticVariation = 16.0;
  g.GroundSpeedKnots = 280.0;
  g.TrueAirspeedEstimate = 290.0;
  g.LnavEngaged = 1;
  gnsxls::State& s = gnsxls_state;
  s.GnsXlsFplView = gnsxls::kViewActive;
  s.GnsXlsPage = gnsxls::kPageFlightPlan;
  for (int i = 1; i <= 20; ++i) PutCandidate(i, "FIX" + std::to_string(i), "V", 47.0 + 0.1 * i, -122.0);
  s.GnsXlsLineState[2] = 1;
  s.GnsXlsEntryActive = 1;
  s.NavigatorScratchpad = "WPT3  ";
  if (page == gnsxls::kPageDirect || page == kClosestPage) {
    gnsxls::PressDirect();
    if (page == kClosestPage) {
      s.GnsDirectPage = 3;
      for (int i = 1; i <= gnsxls::kClosestAirportCount; ++i) {
        model::NavDbRecord& a = s.ClosestAirportList[i];
        a.ident = "K" + std::to_string(100 + i);
        a.distance = 10.0 * (10 - i);
        a.bearing = 40.0 * i;
      }
      s.ClosestListLatitude = g.PlaneLatitude;
      s.ClosestListLongitude = g.PlaneLongitude;
      s.GnsXlsLineState[2] = 2;
    }
    return;
  }
  s.GnsXlsPage = page;
  navdb::EntryState& e = navdb::entry_state;
  switch (page) {
    case gnsxls::kPageDatabaseWaypoint:
      s.GnsXlsReturnPage = gnsxls::kPageDirect;
      s.GnsXlsLineState[10] = 2;
      s.NavigatorScratchpad = "RIGHT ";
      break;
    case gnsxls::kPageAirway:
      e.AirwayTitleText = "V23";
      e.AirwayStartIndex = 3;
      e.SelectedAirwayIndex = e.AirwayPageState = 14;
      break;
    case gnsxls::kPageSaveFlightPlan:
      s.GnsSaveFileName = "KSEAKPDX";
      s.GnsXlsLineState[2] = 2;
      s.NavigatorScratchpad = "KSEAKPDX  ";
      break;
    case gnsxls::kPagePilotWaypoint:
      s.GnsPilotWaypointName = "MYWPT";
      s.GnsPilotWaypointText2 = "N 47 27.50";
      s.GnsPilotWaypointText = "W122 1    ";
      s.GnsPilotWaypointStep = 2;
      s.GnsXlsLineState[8] = 1;
      break;
    case gnsxls::kPageOffsetWaypoint:
      s.GnsOffsetCandidateIdent = "FIX1";
      s.GnsOffsetBearingText = "180.0";
      s.GnsOffsetDistanceText = s.GnsOffsetDistanceEdit = "  10.0";
      s.GnsXlsLineState[8] = 2;
      break;
    default:
      break;
  }
}

// Arg: the page (70: DIRECT's closest airports).
void BM_Page(benchmark::State& state) {
  SetUpPage(static_cast<int>(state.range(0)));
  gfx::DeviceContext dc(kWidth, kHeight);
  gnsxls::DrawGnsxlsScreen(gnsxls_state.GnsXlsDisplay, &dc, kWidth, kHeight);
  bench::TimeFrames(state, [&] {
    gnsxls::DrawGnsxlsScreen(gnsxls_state.GnsXlsDisplay, &dc, kWidth, kHeight);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_Page)
    ->ArgName("page")
    ->Args({gnsxls::kPageFlightPlan})
    ->Args({gnsxls::kPageDirect})
    ->Args({kClosestPage})
    ->Args({gnsxls::kPageDatabaseWaypoint})
    ->Args({gnsxls::kPageAirway})
    ->Args({gnsxls::kPageSaveFlightPlan})
    ->Args({gnsxls::kPagePilotWaypoint})
    ->Args({gnsxls::kPageOffsetWaypoint})
    ->Unit(benchmark::kMicrosecond);

// Args: the page (10, 11, 12) and what it shows (0 a full list, 1 the
// preview). The route and the aircraft are those of the other pages.
void BM_ProcedurePage(benchmark::State& state) {
  SetUpPage(gnsxls::kPageFlightPlan);
  const int page = static_cast<int>(state.range(0));
  const bool preview = state.range(1) == 1;
  gnsxls::State& s = gnsxls_state;
  model::State& m = model::model_state;
  navdb::ProcedureState& p = navdb::procedure_state;
  model::AirportProcedureSet& origin = p.AirportProcedureSets[1];
  model::AirportProcedureSet& dest = p.AirportProcedureSets[2];
  for (int i = 1; i <= 12; ++i) {
    const std::string name = "PROC" + std::to_string(10 + i);
    origin.SidNameList[i].name = dest.StarNameList[i].name = dest.ApproachTransitionList[i].name = name;
  }
  origin.SidNameListCount = dest.StarListCount = dest.ApproachTransitionListCount = 12;
  for (int i = 1; i <= 8; ++i) {
    for (model::ProcedureListEntry* row : {&p.SidList[i], &p.StarList[i], &p.ApproachList[i]}) {
      row->fix_ident = "FIX" + std::to_string(i);
      row->role = i == 1 ? "IAF" : i == 7 ? "FAF" : "";
    }
  }
  p.SidLegCount = p.StarLegCount = p.ApproachLegCount = 8;
  m.RteOriginIdent = "KSEA";
  m.PendingDestinationIdent = m.DestinationAirportIdent = "KPDX";
  s.GnsXlsLineState[2] = 0;
  s.GnsXlsEntryActive = 0;
  s.GnsXlsPage = page;
  s.GnsActiveFieldCode = 5;
  if (preview) {
    s.GnsDepartureSelection = s.GnsArrivalSelection = s.GnsApproachSelection = 1;
    s.GnsXlsLineState[5] = 1;
  } else {
    s.GnsXlsLineState[7] = page == gnsxls::kPageDeparture ? 1 : 2;
  }
  gfx::DeviceContext dc(kWidth, kHeight);
  gnsxls::DrawGnsxlsScreen(gnsxls_state.GnsXlsDisplay, &dc, kWidth, kHeight);
  bench::TimeFrames(state, [&] {
    gnsxls::DrawGnsxlsScreen(gnsxls_state.GnsXlsDisplay, &dc, kWidth, kHeight);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_ProcedurePage)
    ->ArgNames({"page", "preview"})
    ->ArgsProduct({{gnsxls::kPageDeparture, gnsxls::kPageArrival, gnsxls::kPageApproach}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The data pages with a 40-waypoint route flown to its third entry: the
// four NAVIGATION sub-pages (sub-page 2 with both wind arrows), the VNAV
// summary and its route sub-pages with both markers pending, VNAV DATA,
// HOLDING PATTERN and the six PLAN sub-pages. Arg: page x 10 + sub-page.
void SetUpDataPage(int page, int sub_page) {
  ResetModuleState();
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i <= 40; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.ident = i == 0 ? "KSEA" : i == 40 ? "KPDX" : "WPT" + std::to_string(i);
    w.latitude = 47.5 - 0.05 * i;
    w.longitude = -122.3 - 0.01 * i;
    w.altitude_constraint = i % 5 == 0 ? 10000.0 : model::kNoValue;
  }
  fp.ActiveFlightPlan[41].ident = "******";
  fp.ActiveFlightPlanLastIndex = 40;
  fp.ActiveWaypointIndex = 3;
  model::HoldingPattern& h = fp.HoldTable[1];
  h.active_index = 5;
  for (int k = 0; k < 5; ++k) h.corners[k] = {47.2 - 0.05 * k, -122.35, ""};
  guidance::State& g = guidance::guidance_state;
  g.DisplayPower = 1;
  g.PlaneLatitude = 47.40;
  g.PlaneLongitude = -122.31;
  g.MagneticVariation = 16.0;
  g.GroundSpeedKnots = 280.0;
  g.TrueAirspeedEstimate = 290.0;
  g.EteMinutes = 0.5;
  g.HeadwindComponent = 12.0;
  g.CrosswindComponent = -8.0;
  g.WindSpeed = 14.0;
  g.TocLatitude = 47.1;
  g.TocLongitude = -122.34;
  g.DistanceTodToLastWaypoint = 60.0;
  g.NextConstraintIndex = 5;
  g.VerticalSpeedFpm = 1800.0;
  g.ActiveWaypointDistance = 4.0;
  g.DestinationDistance = 118.0;
  model::model_state.CruiseAlt = 35000;
  gnsxls::State& s = gnsxls_state;
  s.GnsXlsPage = page;
  s.GnsNavSubPage = s.GnsVnavSubPage = s.GnsPlanSubPage = sub_page;
}

void BM_DataPage(benchmark::State& state) {
  const int arg = static_cast<int>(state.range(0));
  SetUpDataPage(arg / 10, arg % 10);
  gfx::DeviceContext dc(kWidth, kHeight);
  gnsxls::DrawGnsxlsScreen(gnsxls_state.GnsXlsDisplay, &dc, kWidth, kHeight);
  bench::TimeFrames(state, [&] {
    gnsxls::DrawGnsxlsScreen(gnsxls_state.GnsXlsDisplay, &dc, kWidth, kHeight);
    benchmark::DoNotOptimize(dc.pixels.data());
  });
}
BENCHMARK(BM_DataPage)
    ->ArgName("page_sub")
    ->Args({91})->Args({92})->Args({93})->Args({94})
    ->Args({151})->Args({152})->Args({153})->Args({156})
    ->Args({161})->Args({181})
    ->Args({191})->Args({192})->Args({193})->Args({194})->Args({195})->Args({196})
    ->Unit(benchmark::kMicrosecond);

// Rebuilds at points circling 150 NM around the dense centre the near list
// was built over: what the DIRECT page does every 50 NM of flight.
void BM_ClosestRebuild(benchmark::State& state) {
  static const bench::WorldSet world("bench-gnsxls");
  ResetModuleState();
  host::host_state.SimulatorFolder = world.Folder();
  navdb::LoadNavDatabase();
  const double clat = 39.0, clon = -95.0;
  navdb::FilterNearAirports(clat, clon);
  guidance::State& g = guidance::guidance_state;
  double angle = 0.0, entries = 0.0;
  bench::TimeFrames(state, [&] {
    navdb::ProjectPosition(clat, clon, angle, 150.0, g.PlaneLatitude, g.PlaneLongitude);
    angle = std::fmod(angle + 7.0, 360.0);
    gnsxls::RebuildClosestAirports();
    entries += navdb::navdb_state.MapAirportCount;
  });
  state.counters["map_airports"] = entries / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}
BENCHMARK(BM_ClosestRebuild)->Unit(benchmark::kMicrosecond);

}  // namespace

OVI_BENCHMARK_MAIN("usage: bench-gnsxls [benchmark options]\n"
                   "Times GNS-XLS frames at 292 x 217: the flight plan, DIRECT, DATABASE WPT,\n"
                   "AIRWAY, SAVE, the waypoint entry pages, the procedure pages with their\n"
                   "lists and previews, and the data pages; apart, the closest-airport list\n"
                   "rebuilt on a world-sized set. Each case reports the median and the\n"
                   "slowest frame in microseconds of processor time.\n"
                   "The benchmark options (--benchmark_filter=REGEX picks cases):\n")
