// Loading a stored flight plan: the MCU's request load (into both routes,
// executed at once, with the start-of-flight actions) and the CDU's and
// navigator's selected load (into the pending route, for editing).
// docs/route-execution.md gives the steps and the decisions taken on them.
#pragma once

#include <cstdint>
#include <string>

namespace ovi::flightplan {

// Simulator events the request load sends.
constexpr std::uint32_t kEventZuluHour = 66075;
constexpr std::uint32_t kEventZuluMinute = 66076;
constexpr std::uint32_t kEventAutopilotAltitude = 66124;

// Pilot-facing text of a plan that cannot be loaded.
inline constexpr const char* kUnableToLoadText = "Unable to load FP";

// Serves FlightPlanLoadRequest (1 from the MCU, or 3) for
// RequestedFlightPlanFile. A file that cannot be opened, converted or that
// holds no waypoint leaves both routes, the cruise altitude and the reserve
// as they were and shows "Unable to load FP" on the MCU entry line; the
// request is cleared either way.
void LoadRequestedFlightPlan(std::int32_t request);

// Loads the named library plan (or "NEXT FPL", the empty placeholder)
// into PendingFlightPlan; key switch 0 also takes its key lines and sets
// origin and destination. A plan that cannot be loaded (missing, without a
// waypoint, a damaged .PLN) changes nothing (routes, route state, the file
// values FileCruiseAlt, ResvFuel and PlannedFuel), shows "Unable to load
// FP" on the MCU entry line, logs the file and the reason and gives false;
// the CDU and navigator pages show their own failure then. A loaded plan
// replaces the route being edited: every hold is detached from it.
bool LoadSelectedFlightPlan(std::string name, std::int32_t key_switch);

}  // namespace ovi::flightplan
