#include "src/guidance/route_ahead.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "src/flightplan/state.h"
#include "src/guidance/flown_path.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

// Entries that hold no place of their own (route editing leaves them at 0 N 0 E).
bool StandsNowhere(std::string_view ident) { return ident == "DISCO" || ident == "THEN"; }

namespace {

double Between(double lat1, double lon1, double lat2, double lon2) {
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, distance, course);
  return distance;
}

int LastIndex() {
  return std::min(flightplan::flightplan_state.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
}

}  // namespace

RouteAhead::RouteAhead() {
  ahead_.fill(NAN);
  const flightplan::State& f = flightplan::flightplan_state;
  const int last = LastIndex();
  const int active = f.ActiveWaypointIndex;
  if (active < 0 || active > last) return;
  const FlownPath& path = FlownPath::Current();
  for (int i = active; i <= last; ++i) ahead_[static_cast<std::size_t>(i)] = path.Ahead(i);
}

double RouteAhead::To(int index) const {
  if (index < 0 || index > model::kMaxActivePlanWaypoints) return NAN;
  return ahead_[static_cast<std::size_t>(index)];
}

double RouteAhead::LegInto(int index) {
  const flightplan::State& f = flightplan::flightplan_state;
  if (index < 1 || index > LastIndex() || StandsNowhere(f.ActiveFlightPlan[index].ident)) return NAN;
  for (int i = index - 1; i >= 0; --i) {
    const model::FlightPlanWaypoint& from = f.ActiveFlightPlan[i];
    if (StandsNowhere(from.ident)) continue;
    const model::FlightPlanWaypoint& to = f.ActiveFlightPlan[index];
    return Between(from.latitude, from.longitude, to.latitude, to.longitude);
  }
  return NAN;
}

}  // namespace ovi::guidance
