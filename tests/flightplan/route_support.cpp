#include "tests/flightplan/route_support.h"

#include <algorithm>

#include "src/guidance/flown_path.h"
#include "src/host/module_state.h"
#include "src/model/fixed_table.h"
#include "src/navdb/navdb.h"

namespace ovi::flightplan::test {

int MakePlan(model::FlightPlanTable& plan, const Strings& idents, double base_lat, double base_lon) {
  plan.Clear();
  int i = 0;
  for (const std::string& ident : idents) {
    model::FlightPlanWaypoint& w = plan[i];
    w.ident = ident;
    w.latitude = base_lat - 0.1 * i;
    w.longitude = base_lon - 0.2 * i;
    w.type = i == 0 ? "APT" : "INT";
    ++i;
  }
  if (i < model::kFlightPlanSlots) plan[i].ident = "******";
  return i - 1;
}

void MakePending(const Strings& idents) { F().PendingFlightPlanLastIndex = MakePlan(F().PendingFlightPlan, idents); }
void MakeActive(const Strings& idents) {
  F().ActiveFlightPlanLastIndex = MakePlan(F().ActiveFlightPlan, idents);
  ActiveRouteChanged();
}

Strings Idents(const model::FlightPlanTable& plan, int last) {
  Strings out;
  for (int i = 0; i <= last; ++i) out.push_back(plan[i].ident);
  return out;
}

Strings PendingIdents() { return Idents(F().PendingFlightPlan, F().PendingFlightPlanLastIndex); }
Strings ActiveIdents() { return Idents(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex); }

double KeptPathLength() {
  const int last = F().ActiveFlightPlanLastIndex;
  return guidance::FlownPath::Current().RouteTo(last);
}

double FlownRouteLength() {
  double sum = 0.0;
  for (int i = 1; i <= F().ActiveFlightPlanLastIndex; ++i) {
    const model::FlightPlanWaypoint &a = F().ActiveFlightPlan[i - 1], &b = F().ActiveFlightPlan[i];
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(a.latitude, a.longitude, b.latitude, b.longitude, d, c);
    sum += d;
  }
  return sum;
}

Strings LongRoute(int last) {
  Strings idents{"KSEA"};
  for (int i = 1; i < last; ++i) idents.push_back("W" + std::to_string(i));
  idents.push_back("KPDX");
  return idents;
}

void PutHold(int k, int active, int pending) {
  F().HoldCount = std::max(F().HoldCount, k);
  F().HoldTable[k].active_index = active;
  F().HoldTable[k].pending_index = pending;
}

void PutPendingHold(int k, int index) {
  PutHold(k, index, index);
  F().PendingFlightPlan[index].hold_number = static_cast<unsigned>(k);
}

void PutActiveHold(int k, int index) {
  PutHold(k, index, 0);
  F().ActiveFlightPlan[index].hold_number = static_cast<unsigned>(k);
}

std::vector<std::pair<int, int>> HoldIndices() {
  std::vector<std::pair<int, int>> out;
  for (int k = 1; k <= F().HoldCount; ++k) out.emplace_back(F().HoldTable[k].active_index, F().HoldTable[k].pending_index);
  return out;
}

std::vector<unsigned> HoldNumbers(const model::FlightPlanTable& plan, int last) {
  std::vector<unsigned> out;
  for (int i = 0; i <= last; ++i) out.push_back(plan[i].hold_number);
  return out;
}

std::string HoldBreach() {
  const State& s = F();
  const int count = s.HoldCount;
  if (count < 0 || count > model::kMaxHolds) return "hold count " + std::to_string(count);
  const int pending_last = std::min(s.PendingFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  const int active_last = std::min(s.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  auto pending_slot = [&](int k) {
    const model::HoldingPattern& h = s.HoldTable[k];
    return h.pending_index > 0 ? h.pending_index : h.pending_index == 0 ? h.active_index : -1;
  };
  auto executed = [&](int k) {
    const int a = s.HoldTable[k].active_index;
    return a >= 1 && a <= active_last && s.ActiveFlightPlan[a].hold_number == static_cast<unsigned>(k);
  };
  for (int k = 1; k <= count; ++k) {
    const model::HoldingPattern& h = s.HoldTable[k];
    const std::string name = "hold " + std::to_string(k) + " (" + h.name + ")";
    if (h.pending_index < -1) return name + ": pending index " + std::to_string(h.pending_index);
    if (k > 1 && s.HoldTable[k - 1].active_index > h.active_index) return name + ": out of route order";
    const int slot = pending_slot(k);
    if (slot != -1) {
      if (slot < 1 || slot > pending_last) return name + ": pending slot " + std::to_string(slot) + " outside the route";
      if (s.PendingFlightPlan[slot].hold_number != static_cast<unsigned>(k)) {
        return name + ": pending waypoint " + std::to_string(slot) + " shows " +
               std::to_string(s.PendingFlightPlan[slot].hold_number);
      }
    }
    if (s.RouteState == 3 && (!executed(k) || slot != h.active_index)) return name + ": not of the executed route";
  }
  for (int i = 0; i <= pending_last; ++i) {
    const unsigned n = s.PendingFlightPlan[i].hold_number;
    if (n != 0 && (n > static_cast<unsigned>(count) || pending_slot(static_cast<int>(n)) != i))
      return "pending waypoint " + std::to_string(i) + " shows hold " + std::to_string(n);
  }
  for (int i = 0; i <= active_last; ++i) {
    const unsigned n = s.ActiveFlightPlan[i].hold_number;
    if (n != 0 && (n > static_cast<unsigned>(count) || s.HoldTable[static_cast<int>(n)].active_index != i))
      return "active waypoint " + std::to_string(i) + " shows hold " + std::to_string(n);
  }
  return "";
}

void RouteTest::SetUp() { ResetModuleState(); }

}  // namespace ovi::flightplan::test
