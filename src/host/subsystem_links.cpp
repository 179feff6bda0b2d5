#include "src/host/subsystem_links.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/gps_route_typing.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/panel_services.h"

namespace ovi::host {

namespace {

// No field lies lower than 1,500 ft below the sea nor higher than 15,000 ft
// above it: an altitude beyond (a cruise altitude a planner gives a point)
// is no field's, and -999 is no value.
bool IsFieldElevation(double feet) {
  return std::isfinite(feet) && feet != model::kNoValue && feet >= -1500.0 && feet <= 15000.0;
}

}  // namespace

void ToggleLnavLink() { guidance::ToggleLnav(); }

void ToggleVnavLink() { guidance::ToggleVnav(); }

// The SERVER sends this heading to the autopilot too: while a hold is flown
// it is the hold's own heading, and during a turn forced to one side none,
// so that the SERVER never pulls the heading bug against them.
bool LnavCommandedHeadingLink(double& heading) {
  const guidance::State& g = guidance::guidance_state;
  heading = 0.0;
  if (g.LnavEngaged != 1 || g.HoldTurnDirection != 0) return false;
  heading = g.ActiveHoldIndex == 1 && g.HoldSegmentCounter > 0 ? g.HoldHeadingCommand : g.LnavCommandedHeading;
  return true;
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
  // An end the data knows as an airport takes the data's elevation when the
  // descent is planned. One it does not know would end the descent above the
  // ground the flight started from, below a higher destination; where the
  // planner gives its field's elevation the descent ends above that, as it
  // does above a known airport. No constraint: RTE LEGS shows none there.
  model::FlightPlanWaypoint& end = s.PendingFlightPlan[count - 1];
  const double elevation = route[static_cast<std::size_t>(count - 1)].altitude;
  if (end.type != "APT" && IsFieldElevation(elevation))
    end.altitude_constraint = elevation + guidance::kRunwayCrossingHeight;
  flightplan::StepRouteState();
  flightplan::ExecutePendingRoute();
}

}  // namespace ovi::host
