// The C-17 pages, the map layers and the page-4 heading readout are built
// one by one; until then each draws nothing over the background, and the
// draw entry around them is complete.
#include "src/instruments/mfd/c17/c17_mfd.h"

namespace ovi::c17 {

void DrawC17HsiPage(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}
void DrawC17PrimaryFlightPage(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}
void DrawC17NavPage3(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}
void DrawC17NavPage4(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}
void DrawC17NavPage5(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}
void DrawC17MapPage(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}
void DrawC17MapLayers(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}
void DrawC17HeadingBox(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}

}  // namespace ovi::c17
