// What the full rose and the expanded arc of the B737 display share: the
// course and deviation of the route or of the first navigation radio, and
// the TO/FROM sense of the tuned station.
#pragma once

#include "src/display/kit.h"

namespace ovi::nd {

struct CourseSource {
  double rotation = 0.0;  // of the course pointer, degrees from the heading
  int offset = 0;         // of the deviation bar, canvas units (full scale 37)
};

// The active route leg: pointer on DesiredTrack, the cross-track distance
// clamped to 5 NM for full scale. Without an active waypoint the pointer
// stays straight up and the bar centred.
CourseSource RouteCourseSource();
// The first navigation radio: pointer on SelectedCourse, bar from the CDI
// needle (full scale +-127).
CourseSource RadioCourseSource();

// The tuned station's bearing, TO/FROM and angle differences come from the
// display kit.
using display::Nav1StationBearing;
using display::Nav1ToStation;
using display::RelativeAngle;

}  // namespace ovi::nd
