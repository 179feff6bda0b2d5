#include "tests/flightplan/route_support.h"

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
