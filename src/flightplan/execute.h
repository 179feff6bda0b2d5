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

// A change waiting for EXEC (route states 1, 2 and 4) given up as ERASE gives
// it up: the holds it added go, those it took off come back, the pending
// route is the flown one's copy, and the route state says so (3). For a
// unit that replaces the pending route with a copy of the flown one.
void GiveUpPendingChange();

// The vertical plan of the flown route worked out again as EXEC works it
// out: cruise altitude, TOC, TOD and predictions, the next constraint and
// VNAV's target; the constraint VNAV holds past its sequencing stays the
// target where the plan keeps it, unless `keep_held_constraint` is false
// (a direct-to).
void RebuildVerticalPlan(bool keep_held_constraint = true);

// Removes every hold of HoldTable (a new origin, a new route).
void DeleteEveryHold();

// A selection text that holds nothing: empty or "------".
bool IsNoSelection(std::string_view text);

}  // namespace ovi::flightplan
