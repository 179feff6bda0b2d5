// Pages whose routines are still to be written: each shows a cleared screen
// and lets the frame drop its keys. A page moves into a file of its own when
// it is built.
#include "src/instruments/fms/pages.h"

namespace ovi::fms {

void FmsPageApproachRef(display::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageTakeoffRef(display::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageEconClimb(display::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageEconCruise(display::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageEconPathDescent(display::GaugeDisplay&, gfx::Graphics&) {}
void FmsPageDescentForecasts(display::GaugeDisplay&, gfx::Graphics&) {}

}  // namespace ovi::fms
