#include "src/flightplan/plan_ops.h"

#include <algorithm>

#include "src/flightplan/holds_internal.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/navdb/navdb.h"

namespace ovi::flightplan {

namespace {

// The indices of the plan that name an entry and must stay on it.
struct Tracked {
  int* slots[2] = {nullptr, nullptr};
  bool active_waypoint[2] = {false, false};
};

Tracked TrackedIndices(const PlanRef& p) {
  Tracked t;
  if (p.pending) {
    t.slots[0] = &flightplan_state.PendingActiveWaypointIndex;
  } else {
    t.slots[0] = &guidance::guidance_state.NextConstraintIndex;
    if (p.moves_active_waypoint) {
      t.slots[1] = &flightplan_state.ActiveWaypointIndex;
      t.active_waypoint[1] = true;
    }
  }
  return t;
}

// The active waypoint moved: the leg now starts at the previous waypoint
// again, and its position is read from its new slot.
void ActiveWaypointMoved(const PlanRef& p) {
  guidance::State& g = guidance::guidance_state;
  if (g.ActiveLegFromEngagePosition == 1) g.ActiveLegFromEngagePosition = 0;
  const model::FlightPlanWaypoint& w = p.plan[flightplan_state.ActiveWaypointIndex];
  g.ActiveWaypointLat = w.latitude;
  g.ActiveWaypointLon = w.longitude;
}

}  // namespace

PlanRef PendingPlan() {
  State& s = flightplan_state;
  return {s.PendingFlightPlan, s.PendingFlightPlanLastIndex, true, false};
}

PlanRef ActivePlan(bool moves_active_waypoint) {
  State& s = flightplan_state;
  return {s.ActiveFlightPlan, s.ActiveFlightPlanLastIndex, false, moves_active_waypoint};
}

int LastIndex(const PlanRef& p) {
  if (p.last < 0) return -1;
  return std::min(p.last, kMaxPlanLastIndex);
}

void EntryMoved(const PlanRef& p, int to, int from) {
  if (to < 0) {
    DropHoldsOn(p, from, from);
    return;
  }
  if (p.pending) {
    RenumberHoldPendingIndex(to, from);
  } else {
    RenumberHoldActiveIndex(to, from);
  }
  const Tracked t = TrackedIndices(p);
  for (int k = 0; k < 2; ++k) {
    if (t.slots[k] == nullptr || *t.slots[k] != from) continue;
    *t.slots[k] = to;
    if (t.active_waypoint[k]) ActiveWaypointMoved(p);
  }
}

void OpenSlots(const PlanRef& p, int at, int n) {
  if (n <= 0 || at < 0) return;
  const int last = LastIndex(p);
  if (last + n > kMaxPlanLastIndex) return;
  for (int i = last; i >= at; --i) {
    p.plan[i + n] = std::move(p.plan[i]);
    BlankEntry(p.plan[i]);
    EntryMoved(p, i + n, i);
  }
  p.last = std::max(last, at - 1) + n;
  if (!p.pending) ActiveRouteChanged();
}

void RemoveEntries(const PlanRef& p, int first, int next) {
  const int last = LastIndex(p);
  next = std::min(next, last + 1);
  if (first < 0 || first >= next) return;
  DropHoldsOn(p, first, next - 1);
  const Tracked t = TrackedIndices(p);
  bool moved_active_waypoint = false;
  for (int k = 0; k < 2; ++k) {
    if (t.slots[k] != nullptr && *t.slots[k] >= first && *t.slots[k] < next) {
      *t.slots[k] = first;
      moved_active_waypoint = moved_active_waypoint || t.active_waypoint[k];
    }
  }
  for (int i = next; i <= last; ++i) {
    p.plan[first + (i - next)] = std::move(p.plan[i]);
    EntryMoved(p, first + (i - next), i);
  }
  p.last = last - (next - first);
  for (int k = 0; k < 2; ++k) {
    if (t.slots[k] != nullptr && *t.slots[k] > p.last && *t.slots[k] == first) *t.slots[k] = std::max(p.last, 0);
  }
  if (!p.pending) ActiveRouteChanged();
  if (moved_active_waypoint) ActiveWaypointMoved(p);
}

void MergeIntoNext(const PlanRef& p, int b) {
  const int last = LastIndex(p);
  if (b < 0 || b >= last) return;
  model::FlightPlanWaypoint& survivor = p.plan[b + 1];
  // One waypoint, one hold: the survivor keeps its own, and the dropped
  // entry's goes as on any removal.
  if (survivor.hold_number == 0) {
    survivor.hold_number = p.plan[b].hold_number;
  } else if (p.plan[b].hold_number != 0) {
    DropHoldsOn(p, b, b);
  }
  for (int i = b + 1; i <= last; ++i) {
    p.plan[i - 1] = std::move(p.plan[i]);
    EntryMoved(p, i - 1, i);
  }
  p.last = last - 1;
  if (!p.pending) ActiveRouteChanged();
}

void DropHoldsOn(const PlanRef& p, int first, int last) {
  if (first > last) return;
  if (p.pending) {
    DetachPendingHolds(first, last);
  } else {
    RemoveActiveHolds(first, last);
  }
}

void WriteEndMarker(const PlanRef& p) {
  const int slot = LastIndex(p) + 1;
  if (slot < 0 || slot > kMaxPlanLastIndex) return;
  BlankEntry(p.plan[slot]);
  p.plan[slot].ident = "******";
  // Every edit of a route ends here.
  if (!p.pending) ActiveRouteChanged();
}

void BlankEntry(model::FlightPlanWaypoint& w) { model::Recreate(w); }

void TypeProcedureFix(model::FlightPlanWaypoint& w) {
  // A procedure fix may be a VOR or an NDB; a VOR of the same ident wins,
  // as co-located stations are tuned on the navigation radio.
  int n = navdb::FindNavaid(w.ident, "VOR", w.latitude, w.longitude);
  if (n <= 0) n = navdb::FindNavaid(w.ident, "NDB", w.latitude, w.longitude);
  if (n <= 0) return;
  const model::NavDbRecord& rec = navdb::navdb_state.NavaidTable[n];
  w.frequency_text = std::string(rec.frequency_text);
  if (rec.kind == "V") {
    w.type = "VOR";
  } else if (rec.kind == "N") {
    w.type = "NDB";
  } else {
    w.type = std::string(rec.kind);
  }
}

}  // namespace ovi::flightplan
