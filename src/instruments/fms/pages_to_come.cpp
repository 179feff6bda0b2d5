// Pages whose routines are still to be written: each shows a cleared screen
// and lets the frame drop its keys. A page moves into a file of its own when
// it is built.
#include "src/instruments/fms/pages.h"

namespace ovi::fms {

void FmsPageStoredFlightPlans(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageRoute(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPagePosition(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPagePerfInit(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageRouteLegs(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageSelectWaypoint(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageDepartures(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageArrivals(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageApproachRef(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageTakeoffRef(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageRefNavData(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageNavStatus(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageProgress(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageEconClimb(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageEconCruise(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageEconPathDescent(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageFixInfo(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageDescentForecasts(model::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageRouteHold(model::GaugeDisplay&, gfx::Graphics&) {}

}  // namespace ovi::fms
