// Flight planning: the routes (active, pending, scratch), the flight-plan
// library and the route-editing state.
#pragma once

#include <string>

#include "src/model/records.h"

namespace ovi::flightplan {

struct State {
  // Entry 0 is the origin; at most kMaxFlightPlanWaypoints is the last index;
  // the slot after the last waypoint holds "******". Last index -1 = empty.
  model::FlightPlanTable ActiveFlightPlan;
  int ActiveFlightPlanLastIndex = -1;
  model::FlightPlanTable PendingFlightPlan;
  int PendingFlightPlanLastIndex = -1;
  model::FlightPlanTable ScratchFlightPlan;
  int ScratchFlightPlanLastIndex = -1;

  int ActiveWaypointIndex = model::kNoWaypoint;
  int EditWaypointIndex = model::kNoWaypoint;
};

extern State flightplan_state;

}  // namespace ovi::flightplan
