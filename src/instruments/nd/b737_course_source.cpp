#include <algorithm>
#include <cmath>
#include <cstdint>

#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/instruments/nd/b737_compass.h"
#include "src/instruments/nd/kit.h"
#include "src/model/records.h"

namespace ovi::nd {

namespace {
const guidance::State& G() { return guidance::guidance_state; }
}  // namespace

CourseSource RouteCourseSource() {
  CourseSource source;
  if (flightplan::flightplan_state.ActiveWaypointIndex == model::kNoWaypoint) return source;
  std::int32_t side1 = 0, xtk_side = 0, side3 = 0;
  double angle1 = 0.0, xtk = 0.0, angle3 = 0.0;
  guidance::ComputeLegDeviation(side1, angle1, xtk_side, xtk, side3, angle3, 1);
  source.rotation = FiniteOr(G().DesiredTrack) - FiniteOr(G().AircraftHeading);
  if (xtk == guidance::kNoDeviation || !std::isfinite(xtk)) return source;
  if (xtk_side == 1) xtk = -xtk;
  xtk = std::clamp(xtk, -5.0, 5.0);
  source.offset = static_cast<int>(xtk * 250.0 / 33.0);
  return source;
}

CourseSource RadioCourseSource() {
  CourseSource source;
  source.rotation = FiniteOr(G().SelectedCourse) - FiniteOr(G().AircraftHeading);
  const double needle = std::clamp(FiniteOr(G().Nav1CdiNeedle), -127.0, 127.0);
  source.offset = static_cast<int>(needle * 37.0 / 127.0);
  return source;
}

}  // namespace ovi::nd
