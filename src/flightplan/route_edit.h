// The route edit cycle and the primitive edits of PendingFlightPlan that the
// CDU, navigator and MCU pages and the procedure splices call. Every edit
// goes to the pending plan; only route execution copies it over the active
// one. docs/route-editing.md gives the rules.
#pragma once

#include <string>
#include <string_view>

namespace ovi::flightplan {

// One step of RouteState: 0->1, 1->2, 2->3, 3->4, 4->3, anything else kept.
// The step from 0 also starts a new flight while the ground speed is below
// 5 kt (planned fuel loaded when so configured, flight log restarted).
void StepRouteState();

// RouteViaToList / RouteViaToCount from PendingFlightPlan entries 1..last-1:
// a row per direct entry, per change of airway and per "THEN" marker; stale
// rows beyond the new count are emptied.
void BuildRouteViaToList();

// Index of the pending waypoint that ends RTE row `row`: the first entry from
// index `row` up to last-1 whose ident equals the row's TO text; the last
// index when there is none, when that match is entry 0, or when the row lies
// at or beyond the last index.
int FindNextViaToWaypoint(int row);

// The route type a database kind is written as: "V" is a "VOR", "N" an
// "NDB"; any other kind ("APT", "I", "WPT") stays as it is.
std::string RouteTypeOfKind(std::string_view kind);

// Inserts WaypointCandidateList entry 1 at `position` (0 is taken as 1) and a
// "DISCO" right after it unless it lands on the last or last-but-one place;
// later entries move up with their holds and the pending active waypoint.
// Refused (nothing changes, result false) when the plan lacks the room:
// position beyond last+1, or the last index would pass 200. Steps
// RouteState from 0 or 3.
bool InsertCandidateIntoPending(int position);

// Inserts the airway marker "THEN" (type "OAWY", via = FmsScratchpad) at
// `position` and empties the scratchpad. Refused like the candidate insert.
bool InsertAirwayViaPending(int position);

// Removes every "THEN" entry and closes the gaps; holds and the pending
// active waypoint follow their entries.
void CompactPendingPlan();

// Removes entries first..next-1 (next beyond the last index cuts the plan
// back to `first`). Holds attached to removed entries are dropped, later
// holds and the pending active waypoint move with their entries. Refused
// (false) unless 1 <= first <= next and first <= last. Then steps RouteState
// from 0 or 3, empties the CDU scratchpad and rebuilds the VIA/TO rows.
bool RemovePendingWaypoints(int first, int next);

// Blanks every pending (active) entry 0..last and both texts of RouteViaToList
// rows 0..count; the last indices and the row count stay. The active variant
// also drops every hold and marks the vertical profile invalid.
void ClearPendingPlanFields();
void ClearActivePlanFields();

// PendingFlightPlan := ActiveFlightPlan (every field, entries 0..last);
// EditWaypointIndex := ActiveWaypointIndex; PendingActiveWaypointIndex :=
// NextConstraintIndex (within the route); SaveHoldIndices.
void CopyActiveToPendingPlan();

// Every road into a modification of the executed route starts here, before
// its first edit: in RouteState 3 the pending route becomes a fresh copy of
// the active one (CopyActiveToPendingPlan), so that the holds and the
// tracked waypoint follow their entries through the edit and EXEC or ERASE
// finds them. Nothing in any other state; the edit's own step then turns
// 3 into 4.
void BeginRouteModification();

// Clears FIX INFO entry `entry` (1 or 2), or both when `entry` <= 0: ident,
// position and the three radial/distance rows; the kind text stays.
void ClearFixInfoEntries(int entry);

}  // namespace ovi::flightplan
