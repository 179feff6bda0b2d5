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

  // The stored flight plans of the flight-plan folder, 1-based: at most
  // kMaxLibraryPlans plans and the closing "NEW FPL" entry. About 20 MB:
  // this is the only instance, and entries are never copied whole.
  model::FixedTable<model::FlightPlanLibraryEntry, model::kFlightPlanLibrarySlots> FlightPlanLibrary;
  int FlightPlanLibraryCount = 0;  // last used slot; 0 = not built yet
  int SelectedFlightPlanIndex = 0;  // 1-based cursor of the list pages
  int GnsFplListPageCount = 0;      // eight-entry pages of the GNS-XLS list
};

extern State flightplan_state;

}  // namespace ovi::flightplan
