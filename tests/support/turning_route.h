// A route flown after a direct-to, with a hold (at EAST) and a discontinuity
// ahead, south of the equator and across 180 degrees; each leg a degree of a
// meridian or of the equator, 60 NM, and two right angles (at EQTR and at
// EAST). Straight from the aircraft DEST lies about 67 NM away, closer than
// the waypoints before it; along the legs EQTR is 60 NM beyond ACTV, EAST
// 120, SOUTH 180, DEST 240, and LNAV cuts each right angle: every page
// reads the path it flies (`Along`).
#pragma once

#include "src/flightplan/state.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/navdb/navdb.h"

namespace ovi::test {

// The aircraft `to_active` NM short of entry `active` (2 ACTV, 3 EQTR, 4
// EAST) on the leg into it, flying it at `ground_speed`, the variation 16
// degrees east.
inline void FlyTurningRoute(double to_active, double ground_speed, int active = 2) {
  struct Entry {
    const char* ident;
    double latitude, longitude;
  };
  static constexpr Entry kEntries[] = {{"ORIG", -3, 179.5},  {"DIRECT", -2, 179.5}, {"ACTV", -1, 179.5},
                                       {"EQTR", 0, 179.5},   {"EAST", 0, -179.5},   {"DISCO", 0, 0},
                                       {"SOUTH", -1, -179.5}, {"DEST", -2, -179.5},  {"******", 0, 0}};
  flightplan::State& f = flightplan::flightplan_state;
  for (int i = 0; i <= 8; ++i) f.ActiveFlightPlan[i] = {};
  for (int i = 0; i <= 8; ++i) {
    f.ActiveFlightPlan[i].ident = kEntries[i].ident;
    f.ActiveFlightPlan[i].latitude = kEntries[i].latitude;
    f.ActiveFlightPlan[i].longitude = kEntries[i].longitude;
  }
  f.ActiveFlightPlanLastIndex = 7;
  f.ActiveWaypointIndex = active;
  f.HoldCount = 1;
  f.HoldTable[1].active_index = 4;
  f.ActiveFlightPlan[4].hold_number = 1;
  guidance::State& g = guidance::guidance_state;
  const Entry &to = kEntries[active], &from = kEntries[active - 1];
  const double course = navdb::TrueCourse(from.latitude, from.longitude, to.latitude, to.longitude);
  navdb::ProjectPosition(to.latitude, to.longitude, course + 180.0, to_active, g.PlaneLatitude, g.PlaneLongitude);
  g.ActiveWaypointLat = to.latitude;
  g.ActiveWaypointLon = to.longitude;
  g.ActiveWaypointDistance = to_active;
  g.MagneticVariation = 16.0;
  g.AircraftHeading = g.GroundTrack = course - 16.0 < 0.0 ? course + 344.0 : course - 16.0;
  g.GroundSpeedKnots = g.TrueAirspeedEstimate = ground_speed;
}

// NM from the aircraft to entry `index` along the path LNAV flies.
inline double Along(int index) { return guidance::RouteAhead().To(index); }

}  // namespace ovi::test
