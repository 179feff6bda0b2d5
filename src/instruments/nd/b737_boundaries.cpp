// The B737 display's wrapper around the shared ATC-boundary drawing: the
// boundaries are projected about the aircraft point of the mode.
#include "src/display/map_overlays.h"
#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

void DrawNdAtcBoundaries(const B737NdFrame& f) {
  f.UseOrigin(static_cast<float>(kB737NdCenterX),
              static_cast<float>(f.mode == 6 || f.Plan() ? kCentredCenterY : kArcCenterY));
  display::DrawAtcBoundaries(f.g, f.radius, 0, 0, f.range, f.map_heading);
}

}  // namespace ovi::nd
