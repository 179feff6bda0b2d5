// The trend vector: the path the aircraft will fly in the next 30, 60 and
// 90 seconds at its present bank and ground speed, drawn as arcs of the
// turn circle with a gap of 3 seconds at every 30-second step.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "src/guidance/state.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/b737_trend_vector.h"

namespace ovi::nd {

TrendVector ComputeTrendVector(double bank_attitude, double ground_speed, double range, double pixels_per_nm) {
  TrendVector t;
  bank_attitude = FiniteOr(bank_attitude);
  ground_speed = FiniteOr(ground_speed);
  if (!(ground_speed > 0.0) || !(pixels_per_nm > 0.0)) return t;  // not moving: no path to show
  t.segments = range > 20.0 ? 3 : range >= 20.0 ? 2 : 1;
  t.right = bank_attitude < 0.0;

  // Level wings, or a bank so slight that the circle would leave any
  // surface: the path ahead is straight, drawn as the same three steps.
  const int bank = std::abs(static_cast<int>(std::clamp(bank_attitude, -89.0, 89.0)));
  double diameter = 0.0;
  if (bank > 0) {
    const double radius_ft = ground_speed * ground_speed / (11.23 * std::tan(bank * 0.01745));
    t.turn_rate = ground_speed * 96.7 / radius_ft;
    diameter = std::trunc(2.0 * radius_ft * 0.00016457925313934926 * pixels_per_nm);
  }
  if (bank == 0 || !(diameter <= kTrendMaxDiameter)) {
    t.straight = true;
    const double units_per_second = ground_speed / 3600.0 * pixels_per_nm;
    const double seconds[3][2] = {{0, 30}, {33, 60}, {63, 90}};
    for (int i = 0; i < 3; ++i) {
      t.line_from[i] = -gfx::TruncToPixel(seconds[i][0] * units_per_second);
      t.line_to[i] = -gfx::TruncToPixel(seconds[i][1] * units_per_second);
    }
    return t;
  }
  t.diameter = static_cast<int>(diameter);
  if (t.diameter <= 0) {
    t.segments = 0;  // a turn tighter than a canvas unit: nothing to see
    return t;
  }
  const double r = t.turn_rate;
  const double starts[3] = {0.0, 33.0 * r, 63.0 * r};
  const double sweeps[3] = {30.0 * r, 27.0 * r, 27.0 * r};
  for (int i = 0; i < 3; ++i) {
    t.start[i] = static_cast<float>(t.right ? 180.0 + starts[i] : -starts[i]);
    t.sweep[i] = static_cast<float>(t.right ? sweeps[i] : -sweeps[i]);
  }
  return t;
}

void DrawNdTrendVector(const B737NdFrame& f) {
  const guidance::State& g = guidance::guidance_state;
  f.SetMapScale();
  const TrendVector t = ComputeTrendVector(g.BankAttitude, g.GroundSpeedKnots, f.range, f.pixels_per_nm);
  if (t.segments == 0) return;
  const gfx::Pen white2(colour::kWhite, 2.0f);
  f.UseMapOrigin();
  for (int i = 0; i < t.segments; ++i) {
    if (t.straight) {
      f.g.DrawLineI(white2, 0, t.line_from[i], 0, t.line_to[i]);
    } else {
      const int x = t.right ? 0 : -t.diameter;
      f.g.DrawArcI(white2, x, -t.diameter / 2, t.diameter, t.diameter, t.start[i], t.sweep[i]);
    }
  }
}

}  // namespace ovi::nd
