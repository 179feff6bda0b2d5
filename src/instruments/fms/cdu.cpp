#include "src/instruments/fms/cdu.h"

#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/page_screen.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

constexpr auto kPages = instruments::MakePageTable<kLastPage + 1>({
    {kPageStoredFlightPlans, FmsPageStoredFlightPlans},
    {kPagePerfInit, FmsPagePerfInit},
    {kPageRteLegs, FmsPageRouteLegs},
    {kPageSelectWaypoint, FmsPageSelectWaypoint},
    {kPageDepartures, FmsPageDepartures},
    {kPageArrivals, FmsPageArrivals},
    {kPageApproachRef, FmsPageApproachRef},
    {kPageRoute, FmsPageRoute},
    {kPageInitRefIndex, FmsPageInitRefIndex},
    {kPageDepArrIndex, FmsPageDepArrIndex},
    {kPageIdent, FmsPageIdent},
    {kPagePosition, FmsPagePosition},
    {kPageTakeoffRef, FmsPageTakeoffRef},
    {kPageRefNavData, FmsPageRefNavData},
    {kPageTempNavSummary, FmsPageTempNavSummary},
    {kPageNavStatus, FmsPageNavStatus},
    {kPageProgress, FmsPageProgress},
    {kPageEconClimb, FmsPageEconClimb},
    {kPageEconCruise, FmsPageEconCruise},
    {kPageEconDescent, FmsPageEconPathDescent},
    {kPageFixInfo, FmsPageFixInfo},
    {kPageDescentForecasts, FmsPageDescentForecasts},
    {kPageRteHold, FmsPageRouteHold},
});

void ClearOneShot(std::int32_t& flag) {
  if (flag == 1) flag = 0;
}

}  // namespace

PageRoutine PageRoutineOf(int page) { return instruments::PageRoutineIn(kPages, page); }

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
  {
    gfx::Graphics g(dc);
    instruments::StartPageScreen(display, g, width, height);
    std::int32_t& plan_step = flightplan::flightplan_state.PlanStepIndex;
    if (plan_step >= 1 && !AnyDisplayInPlanMode()) plan_step = 0;
    if (PageRoutine page = PageRoutineOf(fms_state.FmsPage)) page(display, g);
  }
  ClearFmsKeyFlags();
}

}  // namespace ovi::fms
