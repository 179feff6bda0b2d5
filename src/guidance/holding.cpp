#include "src/guidance/holding.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr std::uint32_t kEventHeadingBug = 66042;
constexpr int kCorners = 4;

// Previous corner of the racetrack: 4 before 1.
std::int32_t PreviousCorner(std::uint32_t counter) { return counter <= 1 ? kCorners : static_cast<std::int32_t>(counter) - 1; }

void MeasureCurrentCorner(const model::HoldingPattern& hold) {
  State& g = guidance_state;
  const std::uint32_t k = g.HoldSegmentCounter <= kCorners ? g.HoldSegmentCounter : 0;
  const model::HoldPoint& to = hold.corners[k];
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, to.latitude, to.longitude, g.HoldPointDistance,
                                   g.HoldPointBearing);
  if (k > 0) {
    const model::HoldPoint& from = hold.corners[g.HoldPreviousPoint];
    navdb::ComputeDistanceAndBearing(from.latitude, from.longitude, to.latitude, to.longitude, g.HoldSegmentLength,
                                     g.HoldSegmentCourse);
  }
}

void Advance(const model::HoldingPattern& hold) {
  State& g = guidance_state;
  g.HoldSegmentCounter = g.HoldSegmentCounter >= kCorners ? 1 : g.HoldSegmentCounter + 1;
  g.HoldPreviousPoint = PreviousCorner(g.HoldSegmentCounter);
  MeasureCurrentCorner(hold);
}

void Enter(const model::HoldingPattern& hold) {
  State& g = guidance_state;
  g.ActiveHoldIndex = 1;
  g.HoldState = 0;
  // Between two holds LNAV has moved the heading bug; the hold's first
  // heading must reach the autopilot even when it repeats the last one.
  g.LastHoldHeadingSent = -1.0;
  Advance(hold);
}

// The hold is deleted; the corner counter starts again at 0 so that the
// next hold along the route is entered at its own fix (a counter left at 1
// would take that hold's first corner as passed and leave it at once).
void Leave(std::int32_t active_index) {
  State& g = guidance_state;
  g.ActiveHoldIndex = 0;
  flightplan::DeleteHold(active_index, 0);
  g.HoldSegmentCounter = 0;
  g.HoldPreviousPoint = kCorners;
}

// The smaller angle between two courses, 0..180.
double AngleBetween(double a, double b) {
  double d = std::fmod(std::fabs(a - b), 360.0);
  return d > 180.0 ? 360.0 - d : d;
}

double Reduce(double course) { return course >= 360.0 ? course - 360.0 : course; }
double Raise(double course) { return course < 0.0 ? course + 360.0 : course; }

}  // namespace

bool HoldBeingFlown() {
  const State& g = guidance_state;
  return g.ActiveHoldIndex != 0 && g.HoldSegmentCounter != 0;
}

bool HoldAtActiveEntry(int index) {
  const flightplan::State& f = flightplan::flightplan_state;
  const int count = std::min<int>(f.HoldCount, model::kMaxHolds);
  for (int k = 1; k <= count; ++k)
    if (index > 0 && f.HoldTable[k].active_index == index) return true;
  return false;
}

void ComputeHoldingPattern() {
  State& g = guidance_state;
  model::HoldingPattern& hold = flightplan::flightplan_state.HoldTable[1];

  // Racetrack geometry, every call.
  double c = g.MagneticVariation + hold.inbound_course;
  if (c == 360.0) c = 0.0;
  const double s = g.GroundSpeedKnots <= 150.0 ? 150.0 : g.GroundSpeedKnots;
  if (hold.time_based == 1) hold.leg_length = s * (1.0 / 60.0) * hold.leg_time;
  const double leg = hold.leg_length;
  const double d = leg + 0.5 * leg;
  double c1, c2, c3;
  if (hold.turn_side == 1) {
    c1 = Reduce(c + 90.0);
    c2 = Reduce(c1 + 90.0);
    c3 = Reduce(c2 + 90.0);
  } else {
    c1 = Raise(c - 90.0);
    c2 = Raise(c1 - 90.0);
    c3 = Raise(c2 - 90.0);
  }
  const model::HoldPoint& fix = hold.corners[0];
  navdb::ProjectPosition(fix.latitude, fix.longitude, c, 0.2 * d, g.HoldScratchPointLat, g.HoldScratchPointLon);
  navdb::ProjectPosition(g.HoldScratchPointLat, g.HoldScratchPointLon, c1, 0.5 * d, g.HoldAbeamPointLat,
                         g.HoldAbeamPointLon);
  navdb::ProjectPosition(g.HoldAbeamPointLat, g.HoldAbeamPointLon, c2, 0.75 * d, g.HoldProjectedLatitude,
                         g.HoldProjectedLongitude);
  navdb::ProjectPosition(g.HoldProjectedLatitude, g.HoldProjectedLongitude, c3, 0.5 * d, g.HoldFinalLat,
                         g.HoldFinalLon);
  if (g.LnavEngaged != 1) return;

  const struct {
    const char* name;
    double lat, lon;
  } corners[kCorners] = {
      {"Xwind", g.HoldScratchPointLat, g.HoldScratchPointLon},
      {"Dwind", g.HoldAbeamPointLat, g.HoldAbeamPointLon},
      {"Base", g.HoldProjectedLatitude, g.HoldProjectedLongitude},
      {"Final", g.HoldFinalLat, g.HoldFinalLon},
  };
  for (int i = 0; i < kCorners; ++i) {
    hold.corners[i + 1].name = corners[i].name;
    hold.corners[i + 1].latitude = corners[i].lat;
    hold.corners[i + 1].longitude = corners[i].lon;
  }

  // Point sequencing.
  if (g.HoldSegmentCounter > kCorners) g.HoldSegmentCounter = 0;
  g.HoldPreviousPoint = PreviousCorner(g.HoldSegmentCounter);
  MeasureCurrentCorner(hold);
  double to_go = g.HoldPointDistance;
  if (g.HoldSegmentCounter > 0) {
    // Behind the aircraft, or so far off that it was missed: passed.
    if (to_go > 2.5 * g.HoldSegmentLength || AngleBetween(g.HoldPointBearing, g.HoldSegmentCourse) > 90.0) {
      to_go = 0.0;
    }
  }
  const std::int32_t active_index = hold.active_index;
  // Entered at its own fix only: near the fix while LNAV still flies to a
  // waypoint before it (a procedure's legs folding back past the fix), the
  // aircraft held there and never passed that waypoint.
  const bool at_its_fix = active_index == flightplan::flightplan_state.ActiveWaypointIndex;
  if (to_go <= 0.25 * d) {
    if (g.HoldSegmentCounter == 0) {
      if (at_its_fix) Enter(hold);
    } else if (g.HoldState == 2 && g.HoldSegmentCounter == 1) {
      g.HoldState = 3;
      Leave(active_index);
    } else if (g.HoldState == 3) {
      Leave(active_index);
    } else {
      Advance(hold);
    }
  } else if (g.HoldSegmentCounter == 0 && at_its_fix) {
    // At the configured distance, not the lead of the route's turn at the
    // fix: the hold is flown there instead, and a lead of 20 NM (a turn of
    // 160 degrees at speed) left the leg that far before the fix.
    const model::FlightPlanWaypoint& hold_fix = flightplan::flightplan_state.ActiveFlightPlan[active_index];
    if (to_go <= std::min(g.WaypointSwitchDistance, ConfiguredSwitchDistance(hold_fix))) Enter(hold);
  }

  // Kept within [0.5, 360.5): a westerly variation would otherwise carry a
  // course near north past 360 (355 true becomes 365), a heading the
  // autopilot's heading bug does not take.
  double command = std::fmod(g.HoldPointBearing - g.MagneticVariation - 0.5, 360.0);
  g.HoldHeadingCommand = (command < 0.0 ? command + 360.0 : command) + 0.5;
  if (g.ActiveHoldIndex == 1 && g.HoldSegmentCounter > 0 && std::isfinite(g.HoldHeadingCommand) &&
      std::trunc(g.HoldHeadingCommand) != std::trunc(g.LastHoldHeadingSent)) {
    host::SendKeyEvent(kEventHeadingBug, static_cast<std::uint32_t>(std::trunc(g.HoldHeadingCommand)));
    g.LastHoldHeadingSent = g.HoldHeadingCommand;
  }
}

}  // namespace ovi::guidance
