// Distances along the active route from the aircraft, as every page and data
// window shows them, so that a list of waypoints reads distances and times
// that only grow from one row to the next.
#pragma once

#include <array>
#include <string_view>

#include "src/model/records.h"

namespace ovi::guidance {

// A marker entry ("DISCO", "THEN"): no place of its own, and no distance.
bool StandsNowhere(std::string_view ident);

// Along the path LNAV flies (`FlownPath`): the corners it cuts are not
// counted, and a waypoint's distance is to the point abeam it. A marker
// entry ("DISCO", "THEN") stands nowhere: the route is measured straight
// across it, from the waypoint before it to the one after. A hold on the
// way is not counted.
class RouteAhead {
 public:
  RouteAhead();
  // NM from the aircraft to entry `index` (never less than to the entry
  // before it); NaN for an entry that is not ahead (before the active
  // waypoint, a marker, outside the route, or no active waypoint at all).
  double To(int index) const;
  // Length of the leg into entry `index` of the active route, from the
  // placed entry before it (markers passed over); NaN for a marker, the
  // origin and an index outside the route.
  static double LegInto(int index);

 private:
  std::array<double, model::kMaxActivePlanWaypoints + 1> ahead_{};
};

}  // namespace ovi::guidance
