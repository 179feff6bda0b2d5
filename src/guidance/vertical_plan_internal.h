// What the files of the vertical plan share (vertical_plan.cpp and the climb
// model, the predictions and the cruise level it is built from).
#pragma once

#include "src/guidance/flown_path.h"

namespace ovi::guidance {

// a / b, 0 where the quotient is no finite number (b of 0 included): rates,
// airspeeds and distances from configuration files may be 0.
double Ratio(double a, double b);

// What the aircraft flies from entry i-1 to entry i (abeam each, the corners
// cut); a marker stands where the entry before it does.
double FlownLeg(const FlownPath& path, int i);

// The index of the constraint VNAV flies to, within the route.
int ClampedConstraintIndex(int last);

// The point `flown` NM along the path into (lat, lon), and the entry its leg
// starts from; false when the route has no leg.
bool PlaceOnRoute(double flown, double& lat, double& lon, int& leg_start);

}  // namespace ovi::guidance
