// The navigator's route edits: where an insertion or a deletion lands in
// the view being edited, what moves with the entries, the procedures a
// touched waypoint releases, and the end-airport stores that follow an
// edit. ENT's route shares (enter_route.cpp, enter_direct.cpp) and the
// procedure pages use them. docs/gnsxls.md ("Route editing") gives the rules.
#pragma once

#include <cstdint>
#include <string>

#include "src/flightplan/plan_ops.h"
#include "src/model/records.h"
#include "src/navdb/airways.h"

namespace ovi::gnsxls {

// Highest last index an insertion may leave: the slot after the last
// waypoint always keeps the end marker.
constexpr int kMaxEditLastIndex = navdb::kMaxRouteLastIndex;

// Which page an inserted waypoint comes from: DATABASE WPT keeps an active
// waypoint at 1 where it is, so an insertion at 1 becomes the waypoint flown
// to; the pilot and offset pages move it like any other entry.
enum class InsertFrom { kDatabase, kCreated };

// The route of the flight plan view: the flown one (active view) or the
// stored plan opened from the list (pending).
bool EditsFlownRoute();
flightplan::PlanRef EditedRoute(InsertFrom from = InsertFrom::kCreated);
// The route the view edits is there to edit: the flown one, or a plan
// opened from the list. The list itself has none, and neither has the
// stored view once another unit's EXEC or ERASE closed its plan: the
// pending route is then the flown route's copy (route state 3), which no
// view shows and the next edit on any unit copies over.
bool EditedRouteOpen();

// A new route entry filled as an insertion fills what its page does not
// name: no via, tag, texts or constraints, no hold; fly-over by the
// flyover choice ("YES"), which then goes back to "NO".
model::FlightPlanWaypoint NewRouteEntry(const std::string& ident, double latitude, double longitude,
                                        const std::string& type, const std::string& frequency_text);

// The flyover choice as ENT commits it from the entry line: "YES" only
// for "YES", anything else "NO".
void TakeFlyoverChoiceFromEntry();

// The procedures the waypoint at k belongs to are released from entries
// 1..last: a SID (also "SIDSTAR"), then a STAR (also "SIDSTAR"), then an
// approach, each pass testing the tag at k after the one before.
void ReleaseProcedureTags(const flightplan::PlanRef& plan, int k);

// Puts `entry` at k (0..last + 1) of the edited route: later entries move
// up with their holds and tracked indices, the end marker follows. False,
// nothing changed, when k is outside that range or the route is full.
bool InsertIntoEditedRoute(int k, const model::FlightPlanWaypoint& entry, InsertFrom from);

// Removes the waypoint at k (1..last; the origin stays) after releasing its
// procedures: later entries move down with their holds and tracked
// indices; a hold on it goes. In the flown route the active waypoint
// follows (on the removed one: the next), and a route left without a leg
// has none. False, nothing changed, for any other k.
bool DeleteFromEditedRoute(int k);

// The navigator edits the flown route in place (it has no EXEC). Each such
// edit starts as every modification does (flightplan::BeginRouteModification)
// and, while no change of another route computer waits for EXEC, ends
// with the pending route a copy of the new flown one, so that every hold
// stands on the same waypoint in both. The entry cursor is kept.
void BeginFlownRouteEdit();
void EndFlownRouteEdit();

// Both routes, their holds and the route state as one number. A unit that
// works on a copy of the flown route (the direct-to's working copy) takes
// it as it copies and commits only while both routes still give it: an
// EXEC, an ERASE or an edit by another unit in between is never undone by a
// copy taken before it.
std::uint64_t RoutesStamp();

// The direct-to's list, as DIRECT shows it and ENT flies it: the working
// copy with the typed target confirmed waiting at its index. The target
// goes into the pending route only as ENT flies it: until then the pending
// route stays the flown route's copy (with its end marker counted), as
// route state 3 tells every other unit and the hold table. Entries past
// the last index read as the copy's.
int DirectListLast();
const model::FlightPlanWaypoint& DirectListEntry(int i);
// A target waiting on a working copy that is no longer as stamped (another
// unit's edit, EXEC or ERASE) is dropped with it: DIRECT then lists the
// pending route as it now is.
void DropStaleDirectTarget();

// The end-airport stores that follow an edit of the flown route: a new
// origin airport at entry 0 (loaded as origin, its departure choices
// cleared); a new destination airport as the last entry (loaded as
// destination, its arrival choices cleared, with its details when asked).
void FollowFlownOrigin();
void FollowFlownDestination(bool with_details);
// The same for the opened stored plan: its origin airport (loaded, its
// departure choices cleared) and a new destination airport.
void FollowStoredOrigin();
void FollowStoredDestination();

}  // namespace ovi::gnsxls
