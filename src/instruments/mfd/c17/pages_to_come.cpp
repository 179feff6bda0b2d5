// The C-17 primary flight page is built later; until then it draws nothing
// over the background, and the draw entry around it is complete.
#include "src/instruments/mfd/c17/c17_mfd.h"

namespace ovi::c17 {

void DrawC17PrimaryFlightPage(display::GaugeDisplay& /*display*/, gfx::Graphics& /*g*/) {}

}  // namespace ovi::c17
