#include "src/host/subsystem_links.h"

#include <algorithm>
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/gps_route_typing.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"

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

void TakeOverGpsRoute(const std::vector<GpsRouteWaypoint>& route) {
  flightplan::State& s = flightplan::flightplan_state;
  const int count = static_cast<int>(std::min<std::size_t>(route.size(), model::kMaxActivePlanWaypoints + 1));
  if (count < 2) return;
  for (int i = 0; i < count; ++i) {
    model::FlightPlanWaypoint& w = s.PendingFlightPlan[i];
    const std::string kept = std::move(w.text1);
    w = model::FlightPlanWaypoint{};
    w.text1 = kept;
    // The planner's idents may hold blanks or control bytes; the route keeps
    // them as a route file can store them.
    w.ident = flightplan::RouteFileIdent(route[static_cast<std::size_t>(i)].ident);
    w.latitude = route[static_cast<std::size_t>(i)].latitude;
    w.longitude = route[static_cast<std::size_t>(i)].longitude;
  }
  s.PendingFlightPlanLastIndex = count - 1;
  flightplan::ResolveGpsRouteWaypoints();
  flightplan::StepRouteState();
  flightplan::ExecutePendingRoute();
}

}  // namespace ovi::host
