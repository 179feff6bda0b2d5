// Flight planning: the routes (active, pending, scratch), the flight-plan
// library and the route-editing state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "src/model/records.h"

namespace ovi::flightplan {

constexpr int kClosestNavaidCount = 9;
constexpr int kClosestNavaidSlots = kClosestNavaidCount + 1;

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
  // Moves with every change of an active entry's place, ident, fly-over,
  // procedure tag, planned altitude or speed, or of the last index (see
  // ActiveRouteChanged): what guidance works out from the route is kept
  // until it moves.
  std::uint64_t ActiveRouteEdits = 0;

  // --- Route editing ---------------------------------------------------------
  // 0 no route, 1 a route being entered, 2 activated (EXEC armed), 3 executed
  // and active, 4 the active route modified (EXEC armed, ERASE offered).
  std::int32_t RouteState = 0;
  // Index inside PendingFlightPlan of the waypoint NextConstraintIndex names
  // in the active plan; it follows its entry through every edit.
  std::int32_t PendingActiveWaypointIndex = 0;
  // Plan index of the waypoint at the centre of PLAN mode; 0 = none stepped.
  std::int32_t PlanStepIndex = 0;
  // Rows of the CDU route page, 1..RouteViaToCount; row 0 is never filled.
  model::FixedTable<model::RouteViaToEntry, model::kFlightPlanSlots> RouteViaToList;
  std::int32_t RouteViaToCount = 0;
  // The two FIX INFO reference fixes, entries 1 and 2.
  model::FixedTable<model::FixInfoRecord, 3> FixInfoTable;

  // --- Holds -----------------------------------------------------------------
  // Entries 1..HoldCount, sorted by the active-plan index of their
  // waypoints; at most kMaxHolds, entry 9 is the sort's exchange slot.
  model::FixedTable<model::HoldingPattern, model::kHoldTableSlots> HoldTable;
  std::int32_t HoldCount = 0;

  // --- Nearest VORs (entries 1..9, the farthest first) ----------------------
  model::FixedTable<model::NavDbRecord, kClosestNavaidSlots> ClosestNavaidList;

  // --- Flight-plan load request (served by the per-tick update) -------------
  std::string RequestedFlightPlanFile;  // file name, at most 259 characters
  std::int32_t McuFlightPlanLoaded = 0;  // echo of the request served

  // --- Route execution: the selections as the last EXEC committed them,
  // which ERASE puts back ("------" = none) --------------------------------
  std::string SavedRouteSid = model::kNoneText;
  std::string SavedSidTransition = model::kNoneText;
  std::string SavedRouteDepartureRunway = model::kNoneText;
  std::string SavedSelectedStar = model::kNoneText;
  std::string SavedPendingStarTransition = model::kNoneText;
  std::string SavedSelectedArrivalRunway = model::kNoneText;
  std::int32_t SavedArrivalNameListSelection = 0;
  std::int32_t SavedFmsSelectedApproachIndex = 0;

  // The stored flight plans of the flight-plan folder, 1-based: at most
  // kMaxLibraryPlans plans and the closing "NEW FPL" entry. About 20 MB:
  // this is the only instance, and entries are never copied whole.
  model::FixedTable<model::FlightPlanLibraryEntry, model::kFlightPlanLibrarySlots> FlightPlanLibrary;
  int FlightPlanLibraryCount = 0;  // last used slot; 0 = not built yet
  // The folder the list was made from (empty until it is made): plans are
  // read from the folder they were listed in.
  std::string FlightPlanListFolder;
  // The plan files of that folder the list left out (damaged, a named
  // pipe, a folder): a name typed for one of them is a plan that cannot be
  // loaded, not one the database lacks.
  std::vector<std::string> UnlistedPlanNames;
  int SelectedFlightPlanIndex = 0;  // 1-based cursor of the list pages
  int GnsFplListPageCount = 0;      // eight-entry pages of the GNS-XLS list
};

extern State flightplan_state;

// Called by every writer of ActiveFlightPlan once its entries are written.
// A cached result that outlived its route would steer by a route that is no
// longer there: a writer that changes any of the fields above and does not
// count is a fault (the tests check the count against the route itself).
inline void ActiveRouteChanged() { ++flightplan_state.ActiveRouteEdits; }

}  // namespace ovi::flightplan
