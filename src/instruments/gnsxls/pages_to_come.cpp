// Pages not built yet: each leaves the screen cleared. The page table
// already names them, so building one is writing its body in its own file
// and taking it out of here.
#include "src/instruments/gnsxls/pages.h"

namespace ovi::gnsxls {

void DrawGnsxlsDirectPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsDatabaseWaypointPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsNavigationPages(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsDeparturePage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsArrivalPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsApproachPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsAirwayPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsSaveFlightPlanPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsHoldingPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsPilotWaypointPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsOffsetWaypointPage(display::GaugeDisplay&, gfx::Graphics&) {}

}  // namespace ovi::gnsxls
