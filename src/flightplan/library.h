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

// After the aircraft file was read: when the plan list was made before it,
// from another folder than the aircraft's FlightPlansFolder, says so (and
// whether that folder is missing): the list and every reading keep the
// folder the list was made from. A list made after the aircraft reports a
// missing folder itself.
void ReportAircraftPlansFolder();

}  // namespace ovi::flightplan
