#include "tests/flightplan/route_support.h"

#include <algorithm>

#include "src/host/module_state.h"
#include "src/model/fixed_table.h"

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
void MakeActive(const Strings& idents) { F().ActiveFlightPlanLastIndex = MakePlan(F().ActiveFlightPlan, idents); }

Strings Idents(const model::FlightPlanTable& plan, int last) {
  Strings out;
  for (int i = 0; i <= last; ++i) out.push_back(plan[i].ident);
  return out;
}

Strings PendingIdents() { return Idents(F().PendingFlightPlan, F().PendingFlightPlanLastIndex); }
Strings ActiveIdents() { return Idents(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex); }

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

void RouteTest::SetUp() { ResetModuleState(); }

}  // namespace ovi::flightplan::test
