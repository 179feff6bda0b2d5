// What the files of the vertical plan share (vertical_plan.cpp and the climb
// model, the predictions and the cruise level it is built from).
#pragma once

namespace ovi::guidance {

// a / b, 0 where the quotient is no finite number (b of 0 included): rates,
// airspeeds and distances from configuration files may be 0.
double Ratio(double a, double b);

}  // namespace ovi::guidance
