// Airways in the route: listing an airway's fixes for the pilot to pick the
// end of a segment, and splicing that segment into the route being edited.
// Two pages use it: the navigator's AIRWAY page (ListAirwayFixes, then
// InsertAirwayLegs) and the CDU route page (ListAirwaysThroughWaypoint,
// SelectAirwayCandidate, then InsertAirwayLegs with AirwayInsertPending 1
// once the exit fix is typed on the "THEN" row; UpdatePendingViaFields for
// DELETE on a VIA row). docs/waypoint-entry.md describes the rules.
#pragma once

#include <string>
#include <vector>

#include "src/navdb/entry_state.h"

namespace ovi::navdb {

// A route keeps at most this many waypoints (indices 0..199) so that the
// slot after its last waypoint, 200 at most, holds the end marker.
constexpr int kMaxRouteLastIndex = 199;
inline constexpr const char* kRouteEndMarker = "******";

// Told about every route entry an airway edit moves, from the top down, so
// that indices kept elsewhere (the hold table's plan indices, the pending
// active waypoint) follow their waypoints. pending_plan: the entry is in
// PendingFlightPlan, else in ActiveFlightPlan. new_index -1 = the entry was
// removed. Flight planning installs it; nullptr = nobody to tell.
using RouteEntryMoved = void (*)(bool pending_plan, int new_index, int old_index);
void SetRouteEntryMovedHook(RouteEntryMoved hook);

// The rows of the CDU route page as they are built from PendingFlightPlan:
// entries 1..last-1, a new row for every direct entry (no via, or
// "DIRECT"), every change of airway and every "THEN" marker; further
// entries of the same airway extend the row to its exit. A row's legs are
// the entries from + 1 .. to.
struct RouteRow {
  int from = 0;
  int to = 0;
};
std::vector<RouteRow> PendingRouteRows();

// Empties the candidate list and fills it with the fixes of the airway (a
// leading "#" and surrounding blanks dropped), in airway-file order, at
// most 250. The route waypoint at EditWaypointIndex (of PendingFlightPlan
// while PendingPlanOpen is 1, else of ActiveFlightPlan) is looked up among
// them: its index goes into AirwayStartIndex, SelectedAirwayIndex and
// AirwayPageState (0 when it is not on the airway), AirwayListPage is the
// page of 16 holding it, AirwayListPageCount the number of pages (at least
// 1), AirwayTitleText the airway's name with " (N/A)" when the waypoint is
// not on it. An unknown airway gives an empty list.
void ListAirwayFixes(const std::string& airway);

// The CDU route page's VIA entry ("#" + airway): lists the airway's fixes
// like ListAirwayFixes, against the waypoint at EditWaypointIndex of
// PendingFlightPlan, and sets AirwayListCount to that waypoint's index in
// the list: 0 when the airway does not pass through it, so the page refuses
// the airway, and an exit fix equal to that index is the entry fix itself,
// which the page refuses too.
void ListAirwaysThroughWaypoint(const std::string& text);

// The CDU route page's VIA entry on RTE row `row` (1-based, rows as the
// route page builds them from PendingFlightPlan). When the row is a direct
// leg from the listed entry fix (at EditWaypointIndex) to a waypoint that
// also lies on the airway, the airway's fixes between the two are inserted
// and the leg takes the airway: result 1. Otherwise nothing changes,
// AirwayInsertPending becomes 1 and the result is 0: the page then inserts
// the "THEN" marker that waits for the exit fix.
int SelectAirwayCandidate(int row);

// DELETE on the VIA of RTE row `row`: the row's legs go back to direct
// legs (their via fields are emptied; no waypoint is removed); on a "THEN"
// row the marker itself is taken out. 0 when the row does not exist, is a
// discontinuity or is already direct.
int UpdatePendingViaFields(int row);

// Splices an airway segment into the route after the waypoint at
// EditWaypointIndex. With AirwayInsertPending 1 (the CDU route page): into
// PendingFlightPlan, from that waypoint's place on the listed airway to
// SelectedAirwayIndex. Otherwise (the navigator): into PendingFlightPlan
// while PendingPlanOpen is 1, else ActiveFlightPlan, from AirwayStartIndex
// to SelectedAirwayIndex. Either direction along the airway. An exit fix
// that is already the next waypoint is not repeated: that waypoint takes
// the airway. Entries after the splice move up (the hook is told; the active
// waypoint moves with its entry); the route never passes 200 waypoints: a
// segment that does not fit is cut short, nothing in the route is lost; the
// end marker follows the last waypoint. Returns the number of legs inserted.
int InsertAirwayLegs();

}  // namespace ovi::navdb
