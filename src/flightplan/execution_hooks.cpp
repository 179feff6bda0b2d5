#include "src/flightplan/execution_hooks.h"

namespace ovi::flightplan {

void LoadPlannedFuelHook(double /*quantity*/) {}

void RestartFlightLogHook() {}

}  // namespace ovi::flightplan
