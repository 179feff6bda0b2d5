// Typing the route taken over from the simulator's GPS flight planner.
#pragma once

namespace ovi::flightplan {

// Classifies every waypoint of PendingFlightPlan against the navigation
// database: the ends become "APT" when an airport has their ident; each
// intermediate point becomes "VOR", "NDB", "INT" or "WPT" by a database
// entry of the same ident less than 5 NM away, navaids with their
// frequency text.
void ResolveGpsRouteWaypoints();

}  // namespace ovi::flightplan
