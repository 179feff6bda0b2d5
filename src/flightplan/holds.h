// Holds attached to route waypoints. Each hold keeps two waypoint indices,
// one into ActiveFlightPlan and one into PendingFlightPlan, so that it
// follows its waypoint while the pending route is edited and lands on the
// right active waypoint when the route is executed.
#pragma once

namespace ovi::flightplan {

// Pending-plan index of a hold that stands on no waypoint of the pending
// route (its waypoint was removed from it, or the pending route is another
// plan); RestoreHoldIndices drops such holds.
constexpr int kDetachedHold = -1;

// Appends a hold at pending waypoint `waypoint` (both plan indices = it,
// name and fix position from the waypoint, inbound course from the previous
// waypoint, magnetic, 1 minute right-hand legs flown by time), sets the
// waypoint's hold number and sorts the table by active-plan index. Mode 1
// steps RouteState when it is 3. A waypoint carries one hold: on one that
// has a hold nothing is added, RTE HOLD's sub-page is set to that hold (to
// be edited) and the result is true. Refused (false) when kMaxHolds holds
// exist or the waypoint is not an entry 1..last of the pending plan.
bool AddHoldAtWaypoint(int waypoint, int mode);

// Mode 0 or 1: removes the first hold whose active-plan index is `waypoint`
// (later holds move down, the waypoints showing them follow). Mode 2 marks
// the hold on pending waypoint `waypoint` for deletion: the pending route
// shows it no more (it is detached), EXEC drops it and ERASE keeps a hold of
// the executed route. Every mode clears the hold number of
// pending waypoint `waypoint` where no hold stands behind it; mode 1 or
// more steps RouteState.
void DeleteHold(int waypoint, int mode);

// The first hold standing on pending (active) entry `old_index` moves to
// `new_index`; nothing when none stands there. In the pending route a hold
// not tracked yet (pending index 0) stands on its active index.
void RenumberHoldPendingIndex(int new_index, int old_index);
void RenumberHoldActiveIndex(int new_index, int old_index);

// Start of a modification: every hold's pending-plan index := its
// active-plan index.
void SaveHoldIndices();
// The pending route replaces the flown one without EXEC (the navigator's
// activation of a stored plan; its entries are already copied): a hold
// the pending route carries (its pending index names an entry 1..last that
// shows its number) comes along onto that index; every other hold stands
// on no waypoint of the new route and leaves the table. The flown route
// shows only the numbers of the holds that came along.
void CarryPendingHolds();

// LNAV off abandons the hold being flown (table entry 1): it leaves its
// waypoint in both routes at once (the waypoints stop showing it, its
// active index becomes 0 and it stands on no pending waypoint), so that the
// deletion that follows, which finds it by its active index 0, leaves no
// number behind. EXEC before that deletion drops it.
void AbandonFirstHold();

// After execution: every hold with a pending-plan index above 0 takes it as
// its active-plan index, and the pending-plan index becomes 0; detached
// holds leave the table, and the table is sorted by active index again.
void RestoreHoldIndices();

}  // namespace ovi::flightplan
