// The nine VORs of the map near list nearest to the aircraft.
#pragma once

namespace ovi::flightplan {

// Rebuilds ClosestNavaidList entries 1..9 from MapNavaidList: the nearest
// VORs with frequency, distance and magnetic bearing, ordered by decreasing
// distance (empty places, distance 9999, first).
void FindNearestNavaids();

}  // namespace ovi::flightplan
