// Calls the route edit cycle makes into route execution (fuel and the
// flight log).
#pragma once

namespace ovi::flightplan {

// Start of a new flight on the ground: load `quantity` of fuel into the
// tanks (the caller has checked the option and the amount).
void LoadPlannedFuelHook(double quantity);

// Start of a new flight: the flight log restarts (FlightPhase is already
// -1, the clocks reset); the log's update runs once with mode 0.
void RestartFlightLogHook();

}  // namespace ovi::flightplan
