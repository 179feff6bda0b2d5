#include "src/host/subsystem_links.h"

#include "src/guidance/engage_buttons.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"

namespace ovi::host {

void ToggleLnavLink() { guidance::ToggleLnav(); }

void ToggleVnavLink() { guidance::ToggleVnav(); }

bool LnavCommandedHeadingLink(double& heading) {
  const guidance::State& g = guidance::guidance_state;
  heading = g.LnavEngaged == 1 ? g.LnavCommandedHeading : 0.0;
  return g.LnavEngaged == 1;
}

// WIRING POINT (flight planning): copy the points into PendingFlightPlan
// (altitude constraints -999), ResolveGpsRouteWaypoints, StepRouteState,
// ExecutePendingRoute. Until then the route stays in host_state.GpsRoute.
void TakeOverGpsRoute(const std::vector<GpsRouteWaypoint>& /*route*/) {}

}  // namespace ovi::host
