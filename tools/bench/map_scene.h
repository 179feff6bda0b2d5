// What the map benchmarks share: the navigation data of the sample (about
// Seattle) or of ovi-navgen's world-sized set (written on first use into a
// temporary folder removed at exit; the scene lies in its densest cluster),
// and the scene of every map layer about it: a 40-waypoint route zigzagging
// south with the aircraft on its 5th leg, a hold at waypoint 6 and both FIX
// INFO fixes (waypoints 5 and 7) with three rows each.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tools/bench/world_set.h"

namespace ovi::bench {

struct SceneCentre {
  double latitude;
  double longitude;
};

// Into the reset module (its panel table bound): the sample's data, or the
// world set's for `tool` ("bench-nd"); the scene's centre.
inline SceneCentre LoadSceneData(bool world, const char* tool) {
  if (world) {
    static const WorldSet data(tool);
    host::host_state.SimulatorFolder = data.Folder();
  } else {
    host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data";
  }
  navdb::LoadNavDatabase();
  if (navdb::navdb_state.AirportCount == 0) {
    std::fprintf(stderr, "%s: the navigation data did not load\n", tool);
    std::exit(1);
  }
  return world ? SceneCentre{49.0, 8.0} : SceneCentre{47.4, -122.3};
}

// The route, the hold, the fixes and the aircraft (heading 170 at 320 kt
// and 16000 ft, 0.52 degrees north of the centre).
inline void SetUpMapScene(const SceneCentre& c) {
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i < 40; ++i) {
    model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    w.ident = "WP" + std::to_string(i);
    w.latitude = c.latitude + 1.0 - i * 0.1;
    w.longitude = c.longitude + (i % 2 == 0 ? -0.15 : 0.15);
    w.type = "WPT";
  }
  fp.ActiveFlightPlanLastIndex = 39;
  fp.ActiveWaypointIndex = 5;
  model::HoldingPattern& hold = fp.HoldTable[1];
  hold.name = fp.ActiveFlightPlan[6].ident;
  hold.active_index = 6;
  hold.leg_length = 5.0;
  hold.inbound_course = 170.0;
  hold.corners[0].latitude = fp.ActiveFlightPlan[6].latitude;
  hold.corners[0].longitude = fp.ActiveFlightPlan[6].longitude;
  fp.HoldCount = 1;
  for (int n = 1; n <= 2; ++n) {
    model::FixInfoRecord& fix = fp.FixInfoTable[n];
    const model::FlightPlanWaypoint& at = fp.ActiveFlightPlan[3 + 2 * n];
    fix.ident = at.ident;
    fix.kind = "V";
    fix.latitude = at.latitude;
    fix.longitude = at.longitude;
    fix.rows[0] = {90.0, 25.0};
    fix.rows[1] = {180.0, 10.0};
    fix.rows[2] = {270.0, 40.0};
  }
  guidance::State& g = guidance::guidance_state;
  g.PlaneLatitude = c.latitude + 0.52;
  g.PlaneLongitude = c.longitude;
  g.AircraftHeading = g.MapHeading = 170.0;
  g.GroundSpeedKnots = 320.0;
  g.AircraftAltitude = 16000.0;
}

}  // namespace ovi::bench
