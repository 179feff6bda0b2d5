// A route being flown after a direct-to, with a hold and a discontinuity
// ahead, for the pages that show distances and times to the waypoints
// ahead. South of the equator and across 180 degrees, every leg a whole
// degree of a meridian or of the equator (60 NM):
//
//   0 ORIG   3 S 179.5 E     origin, passed
//   1 DIRECT 2 S 179.5 E     where the direct-to began, passed
//   2 ACTV   1 S 179.5 E     active, `to_active` NM north of the aircraft
//   3 EQTR   0   179.5 E     60 NM north
//   4 EAST   0   179.5 W     60 NM east across 180; hold 1 stands here
//   5 DISCO                  a discontinuity: no place of its own
//   6 SOUTH  1 S 179.5 W     60 NM south of EAST
//   7 DEST   2 S 179.5 W     60 NM south
//
// Straight from the aircraft DEST lies about 67 NM away, SOUTH about 60:
// closer than the waypoints before them.
#pragma once

#include <cmath>
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"

namespace ovi::test {

struct TurningRoute {
  static constexpr int kActive = 2;
  static constexpr int kLast = 7;
  static constexpr int kDisco = 5;
  static constexpr int kHeld = 4;

  // NM along the route from the aircraft to entry i, by the legs above, the
  // aircraft `to_active` NM before entry `active`; NaN for the entries
  // behind and for the discontinuity.
  static double Ahead(int i, double to_active, int active = kActive) {
    static constexpr double kFromActv[] = {0, 0, 0, 60, 120, 0, 180, 240};
    if (i < active || i > kLast || i == kDisco) return NAN;
    return to_active + kFromActv[i] - kFromActv[active];
  }

  // The route above in the active plan, the aircraft `to_active` NM south of
  // entry `active` (a waypoint) flying north at `ground_speed`.
  static void Fly(double to_active, double ground_speed, int active = kActive) {
    struct Entry {
      const char* ident;
      double latitude, longitude;
    };
    static constexpr Entry kEntries[] = {{"ORIG", -3, 179.5}, {"DIRECT", -2, 179.5}, {"ACTV", -1, 179.5},
                                         {"EQTR", 0, 179.5},  {"EAST", 0, -179.5},   {"DISCO", 0, 0},
                                         {"SOUTH", -1, -179.5}, {"DEST", -2, -179.5}};
    flightplan::State& f = flightplan::flightplan_state;
    f.ActiveFlightPlan.Clear();
    for (int i = 0; i <= kLast; ++i) {
      model::FlightPlanWaypoint& w = f.ActiveFlightPlan[i];
      w.ident = kEntries[i].ident;
      w.latitude = kEntries[i].latitude;
      w.longitude = kEntries[i].longitude;
      w.type = i == 0 || i == kLast ? "APT" : "INT";
      w.via = "DIRECT";
    }
    f.ActiveFlightPlan[kLast + 1].ident = "******";
    f.ActiveFlightPlanLastIndex = kLast;
    f.ActiveWaypointIndex = active;
    // Hold 1 at EAST, a racetrack of 4 NM legs to its south.
    f.HoldCount = 1;
    f.HoldTable[1].name = "EAST";
    f.HoldTable[1].active_index = kHeld;
    f.HoldTable[1].leg_length = 4.0;
    for (int k = 0; k < 5; ++k) f.HoldTable[1].corners[k] = {-0.05 * k, -179.5, ""};
    f.ActiveFlightPlan[kHeld].hold_number = 1;

    guidance::State& g = guidance::guidance_state;
    g.PlaneLatitude = kEntries[active].latitude - to_active / 60.0;
    g.PlaneLongitude = kEntries[active].longitude;
    g.ActiveWaypointLat = kEntries[active].latitude;
    g.ActiveWaypointLon = kEntries[active].longitude;
    g.ActiveWaypointDistance = to_active;
    g.BearingToActiveWaypoint = 344.0;  // 360 true with 16 degrees east
    g.DesiredTrack = 344.0;
    g.MagneticVariation = 16.0;
    g.GroundSpeedKnots = ground_speed;
    g.TrueAirspeedEstimate = ground_speed;
    g.DirectToActive = 0;
  }
};

}  // namespace ovi::test
