// The trend vector's geometry, apart from its drawing so that every case
// (level wings, no ground speed, the range steps) can be checked.
#pragma once

namespace ovi::nd {

// Turn circles wider than this (canvas units) are drawn as straight steps:
// over the few hundred units a surface shows, such an arc departs from its
// tangent by less than a canvas unit, and a circle that size would leave
// the drawing layer's coordinate limits.
inline constexpr double kTrendMaxDiameter = 32768.0;

struct TrendVector {
  int segments = 0;     // 0 nothing, 1 the 30-second step, 2 up to 60 s, 3 up to 90 s
  bool right = false;   // turning right (bank below 0)
  bool straight = false;
  double turn_rate = 0.0;  // degrees per second
  // Arcs: the circle's diameter and each step's start and sweep (degrees).
  int diameter = 0;
  float start[3] = {};
  float sweep[3] = {};
  // Straight steps: from and to, y ahead of the aircraft (negative).
  int line_from[3] = {};
  int line_to[3] = {};
};

TrendVector ComputeTrendVector(double bank_attitude, double ground_speed, double range, double pixels_per_nm);

}  // namespace ovi::nd
