// Where the SERVER gauge reaches subsystems that are built on top of this
// one (guidance, flight planning). Each link is one function in
// subsystem_links.cpp; until its subsystem exists it does the least that
// keeps the host's side correct.
#pragma once

#include <vector>

#include "src/host/state.h"

namespace ovi::host {

// The LNAV and VNAV toggles (the LNAV / VNAV buttons' routines).
void ToggleLnavLink();
void ToggleVnavLink();
// The heading LNAV commands while LNAV is engaged (the hold's heading while
// a hold is flown); false while it is not, or while a turn is forced to one
// side.
bool LnavCommandedHeadingLink(double& heading);
// Types and executes the route read from the simulator's GPS planner.
void TakeOverGpsRoute(const std::vector<GpsRouteWaypoint>& route);

}  // namespace ovi::host
