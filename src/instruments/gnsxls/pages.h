// The GNS-XLS page routines: each draws its page and, in the same call, acts
// on the recorded line key, the one-frame flags and the line states. The
// screen calls the routine of GnsXlsPage (PageRoutineOf).
#pragma once

#include "platform/gfx/graphics.h"
#include "src/display/lifetime.h"
#include "src/instruments/page_screen.h"

namespace ovi::gnsxls {

using instruments::PageRoutine;

// The routine of a page number; null for a number without a page.
PageRoutine PageRoutineOf(int page);

void DrawGnsxlsFlightPlanPages(display::GaugeDisplay& display, gfx::Graphics& g);  // 1
void DrawGnsxlsDirectPage(display::GaugeDisplay& display, gfx::Graphics& g);             // 7
void DrawGnsxlsDatabaseWaypointPage(display::GaugeDisplay& display, gfx::Graphics& g);   // 8
void DrawGnsxlsNavigationPages(display::GaugeDisplay& display, gfx::Graphics& g);        // 9
void DrawGnsxlsDeparturePage(display::GaugeDisplay& display, gfx::Graphics& g);          // 10
void DrawGnsxlsArrivalPage(display::GaugeDisplay& display, gfx::Graphics& g);            // 11
void DrawGnsxlsApproachPage(display::GaugeDisplay& display, gfx::Graphics& g);           // 12
void DrawGnsxlsAirwayPage(display::GaugeDisplay& display, gfx::Graphics& g);             // 13
void DrawGnsxlsSaveFlightPlanPage(display::GaugeDisplay& display, gfx::Graphics& g);     // 14
void DrawGnsxlsVnavPages(display::GaugeDisplay& display, gfx::Graphics& g);              // 15
void DrawGnsxlsVnavDataPage(display::GaugeDisplay& display, gfx::Graphics& g);           // 16
void DrawGnsxlsHoldingPage(display::GaugeDisplay& display, gfx::Graphics& g);            // 18
void DrawGnsxlsFuelPages(display::GaugeDisplay& display, gfx::Graphics& g);              // 19
void DrawGnsxlsPilotWaypointPage(display::GaugeDisplay& display, gfx::Graphics& g);      // 20
void DrawGnsxlsOffsetWaypointPage(display::GaugeDisplay& display, gfx::Graphics& g);     // 21

}  // namespace ovi::gnsxls
