// The map page (mode 2, map with the flight-plan data window) and the arc
// map page (mode 3): the frame already hands them the picture with its
// variant; their drawing follows with the map work.
#include "src/instruments/ehsi/proline4/proline4.h"

namespace ovi::ehsi {

void DrawProline4MapPage(const display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/, int /*variant*/) {}

void DrawProline4ArcMapPage(const display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/, int /*variant*/) {}

}  // namespace ovi::ehsi
