#include "src/flightplan/holds.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "src/flightplan/holds_internal.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::flightplan {

namespace {

int HoldCount() { return std::clamp(flightplan_state.HoldCount, 0, model::kMaxHolds); }

// Where the pending route shows hold h: its pending index while a
// modification tracks it, else (after execution the pending route is a
// copy of the active one) its active index; 0 = nowhere.
int PendingSlot(const model::HoldingPattern& h) {
  if (h.pending_index > 0) return h.pending_index;
  if (h.pending_index == 0) return h.active_index;
  return 0;
}

// The waypoint of `plan` at `slot` shows hold number `from`: make it `to`.
// An entry that shows another hold is left alone.
void RenumberWaypoint(model::FlightPlanTable& plan, int last, int slot, int from, int to) {
  if (slot < 1 || slot > last || slot >= model::kFlightPlanSlots) return;
  std::uint32_t& number = plan[slot].hold_number;
  if (number == static_cast<std::uint32_t>(from)) number = static_cast<std::uint32_t>(to);
}

// Hold h changes its table number from `from` to `to` (0 = it leaves the
// table): the waypoints that show it follow, in both routes.
void HoldNumberChanged(const model::HoldingPattern& h, int from, int to) {
  State& s = flightplan_state;
  RenumberWaypoint(s.PendingFlightPlan, s.PendingFlightPlanLastIndex, PendingSlot(h), from, to);
  RenumberWaypoint(s.ActiveFlightPlan, s.ActiveFlightPlanLastIndex, h.active_index, from, to);
}

void SetHoldPageCount() { model::model_state.FmsSubPageTable.RteHoldSubPageCount = flightplan_state.HoldCount; }

// Takes table entry k out; later holds move down one entry.
void RemoveHoldEntry(int k) {
  State& s = flightplan_state;
  guidance::State& g = guidance::guidance_state;
  const int count = HoldCount();
  if (k < 1 || k > count) return;
  HoldNumberChanged(s.HoldTable[k], k, 0);
  for (int j = k + 1; j <= count; ++j) {
    HoldNumberChanged(s.HoldTable[j], j, j - 1);
    s.HoldTable[j - 1] = std::move(s.HoldTable[j]);
  }
  model::Recreate(s.HoldTable[count]);
  s.HoldTable[count].active_index = 0;
  s.HoldCount = count - 1;
  // Only entry 1 is flown: removing a later hold leaves its racetrack alone.
  if (k == 1) {
    if (g.ActiveHoldIndex == 1 && g.HoldSegmentCounter > 0) g.HoldState = guidance::kHoldLeft;
    g.HoldSegmentCounter = 0;
  }
  if (s.HoldCount == 0) g.ActiveHoldIndex = 0;
}

// Steps RouteState the way every edit does: only a new route (0) or an
// executed one (3) starts a change.
bool StepIfUnchanged() {
  const int state = flightplan_state.RouteState;
  if (state != 0 && state != 3) return false;
  StepRouteState();
  return true;
}

// The first hold whose place in the plan is old_index gets new_index; 0 or
// less names no waypoint. In the pending plan a hold not tracked yet
// (pending index 0) stands where it stands in the active one: an edit of the
// executed route's copy moves it like any other.
void RenumberFirstHold(bool pending, int new_index, int old_index) {
  if (old_index <= 0) return;
  State& s = flightplan_state;
  for (int k = 1; k <= HoldCount(); ++k) {
    model::HoldingPattern& h = s.HoldTable[k];
    if (pending ? PendingSlot(h) == old_index : h.active_index == old_index) {
      (pending ? h.pending_index : h.active_index) = new_index;
      return;
    }
  }
}

// The hold the pending route shows on entry `slot`; 0 when none.
int HoldOnPendingSlot(int slot) {
  if (slot < 1) return 0;
  for (int k = 1; k <= HoldCount(); ++k) {
    if (PendingSlot(flightplan_state.HoldTable[k]) == slot) return k;
  }
  return 0;
}

// Bubble sort by active-plan index through the exchange slot; the waypoints
// of both routes follow their holds' numbers. Ties keep their order.
void SortHolds() {
  State& s = flightplan_state;
  for (int j = 1; j < HoldCount();) {
    model::HoldingPattern& a = s.HoldTable[j];
    model::HoldingPattern& b = s.HoldTable[j + 1];
    if (a.active_index <= b.active_index) {
      ++j;
      continue;
    }
    // Both renumberings are decided before either is written.
    HoldNumberChanged(a, j, model::kMaxHolds + 1);
    HoldNumberChanged(b, j + 1, j);
    HoldNumberChanged(a, model::kMaxHolds + 1, j + 1);
    std::swap(a, b);
    j = 1;
  }
}

}  // namespace

bool AddHoldAtWaypoint(int waypoint, int mode) {
  State& s = flightplan_state;
  const int last = std::min(s.PendingFlightPlanLastIndex, model::kFlightPlanSlots - 1);
  if (waypoint < 1 || waypoint > last) return false;
  // One hold a waypoint: a second HOLD AT there shows the hold it has, to be
  // edited, rather than a twin that the renumbering would leave behind.
  if (const int held = HoldOnPendingSlot(waypoint)) {
    fms::fms_state.FmsLegsMarker = 0;
    model::model_state.FmsSubPageTable.RteHoldSubPage = held;
    return true;
  }
  if (HoldCount() >= model::kMaxHolds) return false;
  const model::FlightPlanWaypoint& w = s.PendingFlightPlan[waypoint];
  const model::FlightPlanWaypoint& before = s.PendingFlightPlan[waypoint - 1];

  const int k = HoldCount() + 1;
  s.HoldCount = k;
  model::HoldingPattern& h = s.HoldTable[k];
  model::Recreate(h);
  h.name = w.ident;
  h.active_index = waypoint;
  h.pending_index = waypoint;
  h.corners[0].latitude = w.latitude;
  h.corners[0].longitude = w.longitude;
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(before.latitude, before.longitude, w.latitude, w.longitude, distance, course);
  // Kept unwrapped, as the racetrack and the pages expect it.
  h.inbound_course = course - guidance::guidance_state.MagneticVariation;
  navdb::navdb_state.CalcBearing = h.inbound_course;
  h.turn_side = 1;
  h.time_based = 1;
  h.leg_time = 1.0;
  s.PendingFlightPlan[waypoint].hold_number = static_cast<std::uint32_t>(k);
  guidance::guidance_state.ActiveHoldIndex = 1;
  SortHolds();

  const bool stepped = mode == 1 && s.RouteState == 3 && StepIfUnchanged();
  SetHoldPageCount();
  fms::fms_state.FmsLegsMarker = 0;
  if (stepped) model::model_state.FmsSubPageTable.RteHoldSubPage = s.HoldCount;
  return true;
}

void DeleteHold(int waypoint, int mode) {
  State& s = flightplan_state;
  const bool in_pending = waypoint >= 0 && waypoint <= s.PendingFlightPlanLastIndex && waypoint < model::kFlightPlanSlots;
  if (mode == 0 || mode == 1) {
    for (int k = 1; k <= HoldCount(); ++k) {
      if (s.HoldTable[k].active_index == waypoint) {
        RemoveHoldEntry(k);
        break;
      }
    }
    fms::fms_state.FmsHoldWaypointIndex = 0;
    SetHoldPageCount();
    // The removal has cleared the waypoint that showed the hold. The pending
    // entry at the same index may show another hold, once a modification
    // has moved the entries: only a number no hold stands behind goes.
    if (in_pending) {
      std::uint32_t& number = s.PendingFlightPlan[waypoint].hold_number;
      if (number != 0 && HoldOnPendingSlot(waypoint) != static_cast<int>(number)) number = 0;
    }
  } else if (in_pending) {
    // Marked for deletion: the route being edited shows the hold no more,
    // and EXEC drops it (ERASE brings it back).
    if (const int k = HoldOnPendingSlot(waypoint)) s.HoldTable[k].pending_index = kDetachedHold;
    s.PendingFlightPlan[waypoint].hold_number = 0;
  }
  if (mode >= 1) StepIfUnchanged();
  model::model_state.PanelMessage.clear();
  if (s.HoldCount == 0 && fms::fms_state.FmsPage == fms::kPageRteHold) fms::fms_state.FmsPage = fms::kPageRteLegs;
}

void RenumberHoldPendingIndex(int new_index, int old_index) { RenumberFirstHold(true, new_index, old_index); }

void RenumberHoldActiveIndex(int new_index, int old_index) { RenumberFirstHold(false, new_index, old_index); }

void SaveHoldIndices() {
  State& s = flightplan_state;
  for (int k = 1; k <= HoldCount(); ++k) s.HoldTable[k].pending_index = s.HoldTable[k].active_index;
}

void CarryPendingHolds() {
  State& s = flightplan_state;
  const int last = std::min(s.PendingFlightPlanLastIndex, model::kFlightPlanSlots - 1);
  for (int k = 1; k <= HoldCount(); ++k) {
    model::HoldingPattern& h = s.HoldTable[k];
    const bool carried = h.pending_index >= 1 && h.pending_index <= last &&
                         s.PendingFlightPlan[h.pending_index].hold_number == static_cast<std::uint32_t>(k);
    if (!carried) h.pending_index = kDetachedHold;
  }
  // Numbers no carried hold stands behind go from both routes.
  auto keep_carried = [&](model::FlightPlanTable& plan, int plan_last) {
    for (int i = 0; i <= std::min(plan_last, model::kFlightPlanSlots - 1); ++i) {
      std::uint32_t& number = plan[i].hold_number;
      const int n = static_cast<int>(number);
      if (number != 0 && (n > HoldCount() || s.HoldTable[n].pending_index != i)) number = 0;
    }
  };
  keep_carried(s.ActiveFlightPlan, s.ActiveFlightPlanLastIndex);
  keep_carried(s.PendingFlightPlan, last);
  RestoreHoldIndices();
}

void AbandonFirstHold() {
  State& s = flightplan_state;
  model::HoldingPattern& h = s.HoldTable[1];
  if (HoldCount() >= 1) {
    HoldNumberChanged(h, 1, 0);
    h.pending_index = kDetachedHold;
  }
  h.active_index = 0;
}

void RestoreHoldIndices() {
  State& s = flightplan_state;
  for (int k = 1; k <= HoldCount(); ++k) {
    model::HoldingPattern& h = s.HoldTable[k];
    if (h.pending_index > 0) {
      h.active_index = h.pending_index;
      h.pending_index = 0;
    }
  }
  // Holds whose waypoint the executed modification removed go now, after
  // the others stand on their new waypoints (their numbers move down).
  bool removed = false;
  for (int k = HoldCount(); k >= 1; --k) {
    if (s.HoldTable[k].pending_index == kDetachedHold) {
      RemoveHoldEntry(k);
      removed = true;
    }
  }
  // Holds added in the modification were sorted by their place in the
  // pending route, the others by their old place in the flown one: the
  // first hold along the route must be entry 1 again.
  SortHolds();
  if (removed) SetHoldPageCount();
}

void DetachPendingHolds(int first, int last) {
  for (int k = 1; k <= HoldCount(); ++k) {
    model::HoldingPattern& h = flightplan_state.HoldTable[k];
    const int slot = PendingSlot(h);
    if (slot > 0 && slot >= first && slot <= last) h.pending_index = kDetachedHold;
  }
}

void RemoveActiveHolds(int first, int last) {
  State& s = flightplan_state;
  bool removed = false;
  for (int k = HoldCount(); k >= 1; --k) {
    const int a = s.HoldTable[k].active_index;
    if (a > 0 && a >= first && a <= last) {
      RemoveHoldEntry(k);
      removed = true;
    }
  }
  if (removed) SetHoldPageCount();
}

void ClearHolds() {
  State& s = flightplan_state;
  s.HoldCount = 0;
  s.HoldTable[1].active_index = 0;
}

}  // namespace ovi::flightplan
