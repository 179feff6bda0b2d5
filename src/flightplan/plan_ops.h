// The entry-moving helpers every route edit and procedure splice shares:
// a plan is a table with its last index and the indices that follow its
// entries (hold references and the tracked waypoint indices). What differs
// between the active and the pending plan is the data of PlanRef.
#pragma once

#include <string>

#include "src/model/records.h"

namespace ovi::flightplan {

// Highest last index of a route: 201 slots, indices 0..200.
constexpr int kMaxPlanLastIndex = model::kMaxActivePlanWaypoints;

struct PlanRef {
  model::FlightPlanTable& plan;
  int& last;
  bool pending;
  // Active plan only: ActiveWaypointIndex follows moved entries too (and
  // the active waypoint's position is read again from its new slot).
  bool moves_active_waypoint = false;
};

PlanRef PendingPlan();
PlanRef ActivePlan(bool moves_active_waypoint = false);

// The last index clamped to the table; -1 for an empty (or corrupt) plan.
int LastIndex(const PlanRef& p);

// Entry `from` has moved to `to`: the first hold on `from` (pending or
// active index, by plan) and the tracked indices follow it. to -1: the entry
// was removed: holds on it are dropped (see DropHoldsOn).
void EntryMoved(const PlanRef& p, int to, int from);

// Opens n free slots at `at` (entries at..last move up, top down, with their
// bookkeeping); the last index grows by n. The caller checks the room.
void OpenSlots(const PlanRef& p, int at, int n);

// Removes entries first..next-1: their holds are dropped, later entries
// move down (ascending) with their bookkeeping, a tracked index inside the
// removed range moves to `first` (clamped to the new last index).
void RemoveEntries(const PlanRef& p, int first, int next);

// Drops entry b in favour of entry b + 1 (the same fix): b + 1 moves into
// b's place and keeps its own fields; it takes b's hold (and number) when it
// has none, else b's hold goes as on a removal. Tracked indices on b stay
// with the survivor.
void MergeIntoNext(const PlanRef& p, int b);

// Holds attached to entries first..last of the plan no longer have a
// waypoint: in the active plan they leave the table, in the pending plan
// they are detached (their pending index -1) and leave the table when the
// route is executed, so that erasing the modification keeps them.
void DropHoldsOn(const PlanRef& p, int first, int last);

// "******" in the slot after the last entry, when the table has one.
void WriteEndMarker(const PlanRef& p);

// A blank entry: every text empty, constraints -999, value 3 -1.0.
void BlankEntry(model::FlightPlanWaypoint& w);

// Navaid completion of a procedure fix: on a database navaid of that ident
// (and latitude band), the type becomes "VOR" or "NDB" and the frequency
// text the navaid's.
void TypeProcedureFix(model::FlightPlanWaypoint& w);

}  // namespace ovi::flightplan
