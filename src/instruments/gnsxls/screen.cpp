#include "src/instruments/gnsxls/screen.h"

#include "platform/gfx/graphics.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"
#include "src/instruments/page_screen.h"

namespace ovi::gnsxls {

namespace {

constexpr auto kPages = instruments::MakePageTable<kLastPage + 1>({
    {kPageFlightPlan, DrawGnsxlsFlightPlanPages},
    {kPageDirect, DrawGnsxlsDirectPage},
    {kPageDatabaseWaypoint, DrawGnsxlsDatabaseWaypointPage},
    {kPageNavigation, DrawGnsxlsNavigationPages},
    {kPageDeparture, DrawGnsxlsDeparturePage},
    {kPageArrival, DrawGnsxlsArrivalPage},
    {kPageApproach, DrawGnsxlsApproachPage},
    {kPageAirway, DrawGnsxlsAirwayPage},
    {kPageSaveFlightPlan, DrawGnsxlsSaveFlightPlanPage},
    {kPageVnav, DrawGnsxlsVnavPages},
    {kPageVnavData, DrawGnsxlsVnavDataPage},
    {kPageHolding, DrawGnsxlsHoldingPage},
    {kPagePlan, DrawGnsxlsFuelPages},
    {kPagePilotWaypoint, DrawGnsxlsPilotWaypointPage},
    {kPageOffsetWaypoint, DrawGnsxlsOffsetWaypointPage},
});

}  // namespace

PageRoutine PageRoutineOf(int page) { return instruments::PageRoutineIn(kPages, page); }

void DrawGnsxlsScreen(display::GaugeDisplay& display, gfx::DeviceContext* dc, int width, int height) {
  if (dc == nullptr) return;
  gfx::Graphics g(dc);
  instruments::StartPageScreen(display, g, width, height);
  if (guidance::guidance_state.DisplayPower == 0) return;
  State& s = gnsxls_state;
  s.GnsXlsCarriedLineKey = 0;
  if (PageRoutine page = PageRoutineOf(s.GnsXlsPage)) page(display, g);
  s.GnsXlsEnterPressed = 0;
  s.GnsXlsClearPressed = 0;
  s.GnsXlsDirectPressed = 0;
  s.GnsXlsLineSelectKey = s.GnsXlsCarriedLineKey;
}

}  // namespace ovi::gnsxls
