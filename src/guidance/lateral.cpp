#include "src/guidance/lateral.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

// Side of `first` relative to `second`: 1 when it lies clockwise within 180
// degrees. Raw comparisons, as every deviation pair is built.
std::int32_t ClockwiseSide(double first, double second, double& angle) {
  if (first > second) {
    angle = first - second;
    return angle <= 180.0 ? 1 : 2;
  }
  angle = second - first;
  return angle <= 180.0 ? 2 : 1;
}

// The active entry of the active plan, or null.
const model::FlightPlanWaypoint* ActiveEntry() {
  const flightplan::State& fp = flightplan::flightplan_state;
  int i = fp.ActiveWaypointIndex;
  if (i == model::kNoWaypoint || i < 0 || i > fp.ActiveFlightPlanLastIndex) return nullptr;
  return fp.ActiveFlightPlan.At(i);
}

}  // namespace

std::int32_t TurnDirection(double target, double current) {
  if (target >= current) return target - current <= 180.0 ? 2 : 1;
  return current - target > 180.0 ? 2 : 1;
}

std::int32_t TurnDirectionAndAngle(double from, double to, std::int32_t& direction, std::int32_t& angle) {
  double a = 0.0;
  if (to >= from) {
    double d = to - from;
    direction = d <= 180.0 ? 2 : 1;
    a = d <= 180.0 ? d : 360.0 - d;
  } else {
    double d = from - to;
    direction = d > 180.0 ? 2 : 1;
    a = d > 180.0 ? 360.0 - d : d;
  }
  angle = std::isfinite(a) ? static_cast<std::int32_t>(std::clamp(a, -360.0, 360.0)) : 0;
  return direction;
}

std::int32_t HeadingDifference(double a, double b) {
  // Headings a turn of the world apart (a course of 362) are the same.
  double d = std::fmod(std::fabs(a - b), 360.0);
  if (!std::isfinite(d)) return 0;
  if (d > 180.0) d = 360.0 - d;
  return static_cast<std::int32_t>(d);
}

double MagneticCourse(double true_course) {
  double c = true_course - guidance_state.MagneticVariation;
  if (c < 0.5) {
    c += 360.0;
  } else if (c >= 360.0) {
    c -= 360.0;
  }
  return c;
}

bool ActiveLegStart(double& lat, double& lon) {
  const State& g = guidance_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  if (ActiveEntry() == nullptr) return false;
  if (g.ActiveLegFromEngagePosition == 1) {
    lat = g.LegOriginLatitude;
    lon = g.LegOriginLongitude;
  } else if (fp.ActiveWaypointIndex >= 1) {
    const model::FlightPlanWaypoint& prev = fp.ActiveFlightPlan[fp.ActiveWaypointIndex - 1];
    lat = prev.latitude;
    lon = prev.longitude;
  } else {
    lat = g.PlaneLatitude;
    lon = g.PlaneLongitude;
  }
  return true;
}

void ComputeLegDeviation(std::int32_t& side1, double& angle1, std::int32_t& xtk_side, double& xtk_distance,
                         std::int32_t& side3, double& angle3, std::int32_t mode) {
  const State& g = guidance_state;
  const model::FlightPlanWaypoint* active = ActiveEntry();
  double start_lat = 0.0, start_lon = 0.0;
  if (active == nullptr || !ActiveLegStart(start_lat, start_lon)) {
    xtk_distance = kNoDeviation;
    return;
  }
  double unused = 0.0, p = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, active->latitude, active->longitude, unused, p);
  navdb::ComputeDistanceAndBearing(start_lat, start_lon, active->latitude, active->longitude, unused, c);
  const double cm = MagneticCourse(c);

  double along_lat = 0.0, along_lon = 0.0;
  navdb::ProjectPosition(start_lat, start_lon, g.DesiredTrack + g.MagneticVariation,
                         g.ActiveLegLength - g.ActiveWaypointDistance, along_lat, along_lon);
  double x = 0.0, q = 0.0;
  navdb::ComputeDistanceAndBearing(along_lat, along_lon, g.PlaneLatitude, g.PlaneLongitude, x, q);
  x = std::min(x, mode == kOwnDeviationMode ? 125.0 : 5.0);

  side3 = ClockwiseSide(g.AircraftHeading, cm, angle3);
  side1 = ClockwiseSide(p, c, angle1);
  double ignored = 0.0;
  xtk_side = ClockwiseSide(q, c, ignored);
  xtk_distance = x;
}

}  // namespace ovi::guidance
