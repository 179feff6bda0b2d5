#include "src/instruments/fms/cdu.h"

#include <array>

#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

using PageTable = std::array<PageRoutine, kLastPage + 1>;

constexpr PageTable MakePageTable() {
  PageTable t{};
  t[kPageStoredFlightPlans] = FmsPageStoredFlightPlans;
  t[kPagePerfInit] = FmsPagePerfInit;
  t[kPageRteLegs] = FmsPageRouteLegs;
  t[kPageSelectWaypoint] = FmsPageSelectWaypoint;
  t[kPageDepartures] = FmsPageDepartures;
  t[kPageArrivals] = FmsPageArrivals;
  t[kPageApproachRef] = FmsPageApproachRef;
  t[kPageRoute] = FmsPageRoute;
  t[kPageInitRefIndex] = FmsPageInitRefIndex;
  t[kPageDepArrIndex] = FmsPageDepArrIndex;
  t[kPageIdent] = FmsPageIdent;
  t[kPagePosition] = FmsPagePosition;
  t[kPageTakeoffRef] = FmsPageTakeoffRef;
  t[kPageRefNavData] = FmsPageRefNavData;
  t[kPageTempNavSummary] = FmsPageTempNavSummary;
  t[kPageNavStatus] = FmsPageNavStatus;
  t[kPageProgress] = FmsPageProgress;
  t[kPageEconClimb] = FmsPageEconClimb;
  t[kPageEconCruise] = FmsPageEconCruise;
  t[kPageEconDescent] = FmsPageEconPathDescent;
  t[kPageFixInfo] = FmsPageFixInfo;
  t[kPageDescentForecasts] = FmsPageDescentForecasts;
  t[kPageRteHold] = FmsPageRouteHold;
  return t;
}

constexpr PageTable kPages = MakePageTable();

void ClearOneShot(std::int32_t& flag) {
  if (flag == 1) flag = 0;
}

}  // namespace

PageRoutine PageRoutineOf(int page) {
  if (page < 0 || page > kLastPage) return nullptr;
  return kPages[static_cast<std::size_t>(page)];
}

void ClearFmsKeyFlags() {
  State& s = fms_state;
  if (s.FmsLineSelectKey > 0) s.FmsLineSelectKey = 0;
  ClearOneShot(s.FmsPrevPageKey);
  ClearOneShot(s.FmsNextPageKey);
  ClearOneShot(s.FmsLegsKey);
  ClearOneShot(s.FmsHoldKey);
  ClearOneShot(s.FmsRteKey);
}

void DrawFmsCdu(display::GaugeDisplay& display, gfx::DeviceContext* dc, int width, int height) {
  if (dc == nullptr) return;
  display.width = width;
  display.height = height;
  {
    gfx::Graphics g(dc);
    g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
    g.Clear(gfx::Color(0x00000000u));
    std::int32_t& plan_step = flightplan::flightplan_state.PlanStepIndex;
    if (plan_step >= 1 && !AnyDisplayInPlanMode()) plan_step = 0;
    if (PageRoutine page = PageRoutineOf(fms_state.FmsPage)) page(display, g);
  }
  ClearFmsKeyFlags();
}

}  // namespace ovi::fms
