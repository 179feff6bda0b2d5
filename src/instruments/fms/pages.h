// The page routines of the CDU, one per page number. Each draws its page on
// the frame's surface and, in the same call, acts on the keys the keypad
// recorded since the last frame. DrawFmsCdu calls the one of FmsPage.
#pragma once

#include "platform/gfx/graphics.h"
#include "src/model/records.h"

namespace ovi::fms {

using PageRoutine = void (*)(model::GaugeDisplay& display, gfx::Graphics& g);

// The routine of a page number; null for a number without a page.
PageRoutine PageRoutineOf(int page);

void FmsPageStoredFlightPlans(model::GaugeDisplay& display, gfx::Graphics& g);  // 1
void FmsPagePerfInit(model::GaugeDisplay& display, gfx::Graphics& g);           // 3
void FmsPageRouteLegs(model::GaugeDisplay& display, gfx::Graphics& g);          // 6
void FmsPageSelectWaypoint(model::GaugeDisplay& display, gfx::Graphics& g);     // 9
void FmsPageDepartures(model::GaugeDisplay& display, gfx::Graphics& g);         // 10
void FmsPageArrivals(model::GaugeDisplay& display, gfx::Graphics& g);           // 11
void FmsPageApproachRef(model::GaugeDisplay& display, gfx::Graphics& g);        // 12
void FmsPageRoute(model::GaugeDisplay& display, gfx::Graphics& g);              // 22
void FmsPageInitRefIndex(model::GaugeDisplay& display, gfx::Graphics& g);       // 23
void FmsPageDepArrIndex(model::GaugeDisplay& display, gfx::Graphics& g);        // 24
void FmsPageIdent(model::GaugeDisplay& display, gfx::Graphics& g);              // 25
void FmsPagePosition(model::GaugeDisplay& display, gfx::Graphics& g);           // 26
void FmsPageTakeoffRef(model::GaugeDisplay& display, gfx::Graphics& g);         // 27
void FmsPageRefNavData(model::GaugeDisplay& display, gfx::Graphics& g);         // 28
void FmsPageTempNavSummary(model::GaugeDisplay& display, gfx::Graphics& g);     // 29
void FmsPageNavStatus(model::GaugeDisplay& display, gfx::Graphics& g);          // 31
void FmsPageProgress(model::GaugeDisplay& display, gfx::Graphics& g);           // 33
void FmsPageEconClimb(model::GaugeDisplay& display, gfx::Graphics& g);          // 34
void FmsPageEconCruise(model::GaugeDisplay& display, gfx::Graphics& g);         // 35
void FmsPageEconPathDescent(model::GaugeDisplay& display, gfx::Graphics& g);    // 36
void FmsPageFixInfo(model::GaugeDisplay& display, gfx::Graphics& g);            // 37
void FmsPageDescentForecasts(model::GaugeDisplay& display, gfx::Graphics& g);   // 38
void FmsPageRouteHold(model::GaugeDisplay& display, gfx::Graphics& g);          // 39

}  // namespace ovi::fms
