#include "src/host/subsystem_links.h"

#include "src/host/panel_services.h"

namespace ovi::host {

// WIRING POINT (guidance): ToggleLnav. Until guidance exists no waypoint can
// be active, so a toggle engages nothing and publishes LNAV off.
void ToggleLnavLink() { SetNamedValueIfPresent("ovi_lnav", 0.0); }

// WIRING POINT (guidance): ToggleVnav; as above.
void ToggleVnavLink() { SetNamedValueIfPresent("ovi_vnav", 0.0); }

// WIRING POINT (guidance): LnavEngaged and LnavCommandedHeading.
bool LnavCommandedHeadingLink(double& heading) {
  heading = 0.0;
  return false;
}

// WIRING POINT (flight planning): copy the points into PendingFlightPlan
// (altitude constraints -999), ResolveGpsRouteWaypoints, StepRouteState,
// ExecutePendingRoute. Until then the route stays in host_state.GpsRoute.
void TakeOverGpsRoute(const std::vector<GpsRouteWaypoint>& /*route*/) {}

}  // namespace ovi::host
