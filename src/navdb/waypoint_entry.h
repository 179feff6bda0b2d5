// Waypoint entry: turns what the pilot typed (an ident, a place/bearing/
// distance or a place-bearing/place-bearing entry) into candidates from the
// navigation tables. docs/waypoint-entry.md gives the entry syntax. Works on
// entry_state and the loaded tables of navdb_state; nothing throws, and no
// text of any kind can make it read or write outside its tables.
#pragma once

#include <string>

#include "src/navdb/entry_state.h"

namespace ovi::navdb {

// Which tables an ident is looked up in.
enum WaypointFilter : int {
  kAllTables = 0,      // navaids, then intersections, then airports; also the place/bearing forms
  kNavaidsOnly = 1,
  kIntersectionsOnly = 2,
  kAirportsOnly = 3,
};

// Resolves entry_state.WaypointEntryText into WaypointCandidateList
// 1..WaypointCandidateCount (at most 250, in table order). Resets
// WaypointCandidateCount to 0, PlaceBearingEntry to -1.0 and
// WaypointEntryExtra to 0 first; anything that does not resolve leaves them
// so (count 0 = not found).
//   ident                  every record with that ident
//   PLACEbbb/ddd           the place's records as candidates, bbb in
//                          PlaceBearingEntry[0], ddd (whole NM) in WaypointEntryExtra
//   PLACEbbb/PLACEbbb      one candidate at the crossing of the two bearings,
//                          named after the first place, kind "WPT"; both
//                          bearings in PlaceBearingEntry
// The place/bearing forms are read with filter 0 only.
void ResolveWaypointEntry(int filter);

// Copies candidate n over candidate 1 (the chosen one); an n outside
// 1..WaypointCandidateCount changes nothing.
void PromoteWaypointCandidate(int n);

// 1-based index of the first candidate with that ident, 0 when none.
int FindWaypointCandidate(const std::string& name);

// The point where the great circle leaving (lat1, lon1) on true course1
// meets the one leaving (lat2, lon2) on true course2, ahead of both places
// and less than a quarter of the earth's circumference (5400 NM) from each.
// False when there is no such point (the same circle, a crossing behind one
// of them or at one of the places, or too far).
bool CrossTrueBearings(double lat1, double lon1, double course1, double lat2, double lon2, double course2,
                       double& out_lat, double& out_lon);

}  // namespace ovi::navdb
