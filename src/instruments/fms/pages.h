// The page routines of the CDU, one per page number. Each draws its page on
// the frame's surface and, in the same call, acts on the keys the keypad
// recorded since the last frame. DrawFmsCdu calls the one of FmsPage.
#pragma once

#include "platform/gfx/graphics.h"
#include "src/display/lifetime.h"
#include "src/instruments/page_screen.h"

namespace ovi::fms {

using instruments::PageRoutine;

// The routine of a page number; null for a number without a page.
PageRoutine PageRoutineOf(int page);

void FmsPageStoredFlightPlans(display::GaugeDisplay& display, gfx::Graphics& g);  // 1
void FmsPagePerfInit(display::GaugeDisplay& display, gfx::Graphics& g);           // 3
void FmsPageRouteLegs(display::GaugeDisplay& display, gfx::Graphics& g);          // 6
void FmsPageSelectWaypoint(display::GaugeDisplay& display, gfx::Graphics& g);     // 9
void FmsPageDepartures(display::GaugeDisplay& display, gfx::Graphics& g);         // 10
void FmsPageArrivals(display::GaugeDisplay& display, gfx::Graphics& g);           // 11
void FmsPageApproachRef(display::GaugeDisplay& display, gfx::Graphics& g);        // 12
void FmsPageRoute(display::GaugeDisplay& display, gfx::Graphics& g);              // 22
void FmsPageInitRefIndex(display::GaugeDisplay& display, gfx::Graphics& g);       // 23
void FmsPageDepArrIndex(display::GaugeDisplay& display, gfx::Graphics& g);        // 24
void FmsPageIdent(display::GaugeDisplay& display, gfx::Graphics& g);              // 25
void FmsPagePosition(display::GaugeDisplay& display, gfx::Graphics& g);           // 26
void FmsPageTakeoffRef(display::GaugeDisplay& display, gfx::Graphics& g);         // 27
void FmsPageRefNavData(display::GaugeDisplay& display, gfx::Graphics& g);         // 28
void FmsPageTempNavSummary(display::GaugeDisplay& display, gfx::Graphics& g);     // 29
void FmsPageNavStatus(display::GaugeDisplay& display, gfx::Graphics& g);          // 31
void FmsPageProgress(display::GaugeDisplay& display, gfx::Graphics& g);           // 33
void FmsPageEconClimb(display::GaugeDisplay& display, gfx::Graphics& g);          // 34
void FmsPageEconCruise(display::GaugeDisplay& display, gfx::Graphics& g);         // 35
void FmsPageEconPathDescent(display::GaugeDisplay& display, gfx::Graphics& g);    // 36
void FmsPageFixInfo(display::GaugeDisplay& display, gfx::Graphics& g);            // 37
void FmsPageDescentForecasts(display::GaugeDisplay& display, gfx::Graphics& g);   // 38
void FmsPageRouteHold(display::GaugeDisplay& display, gfx::Graphics& g);          // 39

}  // namespace ovi::fms
