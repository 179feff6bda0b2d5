// Pages not built yet: each leaves the screen cleared. The page table
// already names them, so building one is writing its body in its own file
// and taking it out of here.
#include "src/instruments/gnsxls/pages.h"

namespace ovi::gnsxls {

void DrawGnsxlsNavigationPages(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsVnavPages(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsVnavDataPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsHoldingPage(display::GaugeDisplay&, gfx::Graphics&) {}
void DrawGnsxlsFuelPages(display::GaugeDisplay&, gfx::Graphics&) {}

}  // namespace ovi::gnsxls
