// The flight-plan library: every stored plan of the flight-plan folder,
// read in full so the list pages can show origin, destination and
// waypoints without reopening files.
#pragma once

namespace ovi::flightplan {

// Rebuilds FlightPlanLibrary from the .RTE and .PLN files of the flight-plan
// folder (in the order the folder lists them, temp.rte left out) keeping
// the plans of at least two waypoints, at most kMaxLibraryPlans, then the
// closing "NEW FPL" entry. Sets FlightPlanLibraryCount and
// GnsFplListPageCount; SelectedFlightPlanIndex becomes 1 when it was 0.
void ScanFlightPlanFolder();

}  // namespace ovi::flightplan
