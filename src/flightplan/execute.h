// EXEC and ERASE: making the pending route the one that is flown, and
// throwing an open modification away. docs/route-execution.md gives the
// steps and the decisions taken on them.
#pragma once

#include <cstdint>
#include <string_view>

namespace ovi::flightplan {

// Barometric setting to standard (sent with value 0).
constexpr std::uint32_t kEventBarometricSetting = 0x10030;

// Copies PendingFlightPlan over ActiveFlightPlan (with at least two
// entries), commits and saves the route selections, reloads the origin's
// and destination's airport data when they changed and rebuilds the
// vertical plan. RouteState ends at 3; with fewer than two pending entries
// only the selections are committed.
void ExecutePendingRoute();

// Puts back the selections and performance entries saved before the
// modification, drops the holds it added, and rebuilds the pending route
// from the active one. RouteState 4 becomes 3.
void ResetRouteData();

// A selection text that holds nothing: empty or "------".
bool IsNoSelection(std::string_view text);

}  // namespace ovi::flightplan
