// Holds attached to route waypoints. Each hold keeps two waypoint indices,
// one into ActiveFlightPlan and one into PendingFlightPlan, so that it
// follows its waypoint while the pending route is edited and lands on the
// right active waypoint when the route is executed.
#pragma once

namespace ovi::flightplan {

// Appends a hold at pending waypoint `waypoint` (both plan indices = it,
// name and fix position from the waypoint, inbound course from the previous
// waypoint, magnetic, 1 minute right-hand legs flown by time), sets the
// waypoint's hold number and sorts the table by active-plan index. Mode 1
// steps RouteState when it is 2 or more. Refused (false) when kMaxHolds
// holds exist or the waypoint is not an entry 1..last of the pending plan.
bool AddHoldAtWaypoint(int waypoint, int mode);

// Mode 0 or 1: removes the first hold whose active-plan index is `waypoint`
// (later holds move down). Every mode: clears the hold number of pending
// waypoint `waypoint`; mode 1 or more steps RouteState. Mode 2 marks a hold
// for deletion at EXEC without removing it.
void DeleteHold(int waypoint, int mode);

// The first hold whose pending-plan (active-plan) index is `old_index` gets
// `new_index`; nothing when none matches.
void RenumberHoldPendingIndex(int new_index, int old_index);
void RenumberHoldActiveIndex(int new_index, int old_index);

// Start of a modification: every hold's pending-plan index := its
// active-plan index.
void SaveHoldIndices();
// After execution: every hold with a pending-plan index above 0 takes it as
// its active-plan index, and the pending-plan index becomes 0.
void RestoreHoldIndices();

}  // namespace ovi::flightplan
