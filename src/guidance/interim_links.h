// Route execution's routines the per-tick update calls (vertical plan,
// flight log, radio tuning, flight-plan loading). Interim declarations until
// that work is merged; see interim_links.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "src/guidance/radio_tuning.h"
#include "src/guidance/vertical_plan.h"

namespace ovi::guidance {

void UpdateFlightLog(std::int32_t mode);
double GetFuelFlowWeight();

}  // namespace ovi::guidance

namespace ovi::flightplan {
void LoadRequestedFlightPlan(std::int32_t request);
void RequestRunwayData(std::string ident);
}  // namespace ovi::flightplan
