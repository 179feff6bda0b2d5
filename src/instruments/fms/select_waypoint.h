// SELECT WAYPOINT (page 9): the hand-over from a page whose typed ident
// resolved to several candidates, and the take-over REF NAV DATA uses.
#pragma once

#include <cstdint>

namespace ovi::fms {

// Shows the candidates of WaypointCandidateList from their first sub-page;
// the one chosen goes to `row` (RTE LEGS: a plan index, RTE: a route row,
// 0: the hold-fix pass-through) and the CDU returns to `return_page`.
void OpenSelectWaypoint(std::int32_t row, std::int32_t return_page);

// Copies candidate n into the point REF NAV DATA shows (ResolvedWaypointIdent,
// RefNavDataLat/Lon, SelectedWaypointType, ...FreqText, ...AptText) and sets
// RefNavDataKind: 2 intersection ("I"), 3 navaid ("N", "V"), 4 airport
// ("APT", which also empties SelectedWaypointName and
// SelectedAirportLongName); other kinds leave the kind. n outside the list:
// nothing.
void TakeWaypointCandidate(int n);

}  // namespace ovi::fms
