#include "src/instruments/fms/route_legs_edit.h"

#include "src/flightplan/holds.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/model/state.h"

namespace ovi::fms {

void DeleteRouteLegEntry(int row, int remove_outright) {
  const flightplan::PlanRef p = flightplan::PendingPlan();
  const int last = flightplan::LastIndex(p);
  model::model_state.PanelMessage.clear();
  if (last > 1) {
    if (row < 1 || row > last) return;
    flightplan::DeleteHold(row, 0);
    if (row > 1 && row < last - 1 && remove_outright == 0) {
      flightplan::DropHoldsOn(p, row, row);
      model::FlightPlanWaypoint& w = p.plan[row];
      flightplan::BlankEntry(w);
      w.ident = "DISCO";
      w.latitude = 0.0;
      w.longitude = 0.0;
    } else {
      flightplan::RemoveEntries(p, row, row + 1);
      flightplan::WriteEndMarker(p);
    }
  }
  if (flightplan::flightplan_state.RouteState == 3) flightplan::StepRouteState();
}

}  // namespace ovi::fms
