// Edits of PendingFlightPlan on behalf of the CDU pages, on the route
// editing helpers of flight planning (entries move with their holds and
// tracked indices). A row is an index into PendingFlightPlan.
#pragma once

namespace ovi::fms {

// Takes the leg at `row` out of the pending plan. The hold attached there
// is detached from the route being edited (it leaves the table at EXEC and
// comes back with ERASE). With remove_outright 0 a middle leg (row 2 up to last - 2)
// becomes a "DISCO" in place; the first two and last two rows, a "DISCO"
// itself, and any row with remove_outright 1, are removed. A plan of two entries or fewer loses
// nothing, and neither does a row outside 1..last (the origin, row 0, is
// never deleted). The message line is cleared; an executed route (state 3)
// becomes a modification (4), except when the row was outside the plan.
void DeleteRouteLegEntry(int row, int remove_outright);

// Puts WaypointCandidateList entry `candidate` into the pending plan as the
// leg at `row` (1 up to last + 1; last + 1 appends), later entries moving up
// with their holds and the pending active waypoint. A place/bearing entry
// becomes a created point named after its place ("SEA01", "AB01"), a
// "HOLD PPOS" candidate a "WPTnn" point; the candidate list then shows that
// point. A "DISCO" follows the new leg when at least two entries follow it,
// unless one is there already or the leg is a present-position hold point.
// Steps RouteState from 0 or 3; in DIR INTC selection the intercept course
// may then be entered. Refused with "INVALID ENTRY" (false, nothing
// changed) for a row or candidate outside the lists, a leg and its
// discontinuity that do not fit the route's 200 waypoints, or a created
// name that would need a number above 99.
bool InsertRouteLegEntry(int row, int candidate);

// Reads the scratchpad as a leg constraint for pending entry `row`:
// "SPEED/ALTITUDE", "/ALTITUDE", "ALTITUDE", "FLnnn" ('/', 'F' and 'L' read
// as blanks; below 1000 an altitude is a flight level). The altitude must be
// above 0 and at most 99000, else "INVALID ENTRY" and nothing changes; it is
// stored with the constraint flag 1. A speed of 100 to 400 kt is stored, any
// other speed but none gives "INVALID ENTRY" with the altitude kept. Steps
// RouteState from 0 or 3 and empties the scratchpad. A row outside the plan
// is refused like a bad altitude.
void EnterLegConstraint(int row);

// The pending index a waypoint entered on RTE row `row` goes to: the row's
// own TO entry, or the route's last index for the entry row below them.
int RouteRowInsertIndex(int row);

// Before an RTE row edit (and the SELECT WAYPOINT choice it hands over):
// the copy the RTE key took when the page opened may since have fallen
// behind the flown route (waypoints passed, their times written) or been
// taken by another unit's working copy, which EXEC would then fly with the
// edit. In RouteState 3 the edit starts from the flown route as it now is
// (BeginRouteModification), and the rows are built again from it.
void BeginRouteRowEdit();

}  // namespace ovi::fms
