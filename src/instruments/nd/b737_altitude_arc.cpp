// Where the aircraft will reach the autopilot altitude: a green arc ahead
// of the aircraft symbol in a descent towards a lower selected altitude.
#include <cmath>

#include "src/guidance/state.h"
#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

void DrawAltitudeRangeArc(const B737NdFrame& f) {
  const guidance::State& g = guidance::guidance_state;
  f.SetMapScale();
  const double vs = FiniteOr(g.VerticalSpeedFpm);
  // Only a descent reaches a lower altitude; the frame's condition makes
  // sure of it, and nothing here divides by a vertical speed of 0.
  if (!(vs < 0.0)) return;
  const double minutes = (FiniteOr(g.AircraftAltitude) - FiniteOr(g.ApAltitudeLockVar)) / vs;
  const int d = gfx::TruncToPixel(minutes * FiniteOr(g.GroundSpeedKnots) / 60.0 * f.pixels_per_nm);
  f.UseMapOrigin();
  f.g.DrawArcI(gfx::Pen(colour::kGreen, 2.0f), -108, d, 217, 217, 240.0f, 60.0f);
}

}  // namespace ovi::nd
