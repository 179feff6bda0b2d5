// Route execution's routines the per-tick update calls (vertical plan,
// flight log, radio tuning, flight-plan loading). Interim declarations until
// that work is merged; see interim_links.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "src/flightplan/runway_data.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/vertical_plan.h"

namespace ovi::flightplan {
void LoadRequestedFlightPlan(std::int32_t request);
}  // namespace ovi::flightplan
