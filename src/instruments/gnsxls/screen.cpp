#include "src/instruments/gnsxls/screen.h"

#include <array>

#include "platform/gfx/graphics.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

namespace {

using PageTable = std::array<PageRoutine, kLastPage + 1>;

constexpr PageTable MakePageTable() {
  PageTable t{};
  t[kPageFlightPlan] = DrawGnsxlsFlightPlanPages;
  t[kPageDirect] = DrawGnsxlsDirectPage;
  t[kPageDatabaseWaypoint] = DrawGnsxlsDatabaseWaypointPage;
  t[kPageNavigation] = DrawGnsxlsNavigationPages;
  t[kPageDeparture] = DrawGnsxlsDeparturePage;
  t[kPageArrival] = DrawGnsxlsArrivalPage;
  t[kPageApproach] = DrawGnsxlsApproachPage;
  t[kPageAirway] = DrawGnsxlsAirwayPage;
  t[kPageSaveFlightPlan] = DrawGnsxlsSaveFlightPlanPage;
  t[kPageVnav] = DrawGnsxlsVnavPages;
  t[kPageVnavData] = DrawGnsxlsVnavDataPage;
  t[kPageHolding] = DrawGnsxlsHoldingPage;
  t[kPagePlan] = DrawGnsxlsFuelPages;
  t[kPagePilotWaypoint] = DrawGnsxlsPilotWaypointPage;
  t[kPageOffsetWaypoint] = DrawGnsxlsOffsetWaypointPage;
  return t;
}

constexpr PageTable kPages = MakePageTable();

}  // namespace

PageRoutine PageRoutineOf(int page) {
  if (page < 0 || page > kLastPage) return nullptr;
  return kPages[static_cast<std::size_t>(page)];
}

void DrawGnsxlsScreen(display::GaugeDisplay& display, gfx::DeviceContext* dc, int width, int height) {
  if (dc == nullptr) return;
  display.width = width;
  display.height = height;
  gfx::Graphics g(dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.Clear(gfx::Color(0x00000000u));
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
