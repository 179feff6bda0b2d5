#include "src/flightplan/execution_hooks.h"

#include "src/flightplan/fuel.h"
#include "src/guidance/flight_log.h"

namespace ovi::flightplan {

void LoadPlannedFuelHook(double quantity) { LoadFuelIntoTanks(quantity); }

void RestartFlightLogHook() { guidance::UpdateFlightLog(guidance::kLogTick); }

}  // namespace ovi::flightplan
