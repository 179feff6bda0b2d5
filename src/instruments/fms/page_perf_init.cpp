// PERF INIT (page 3): for now only its bottom rows. The INIT REF key opens
// this page whenever a route has an active waypoint, and its "< INDEX" is
// then the way to INIT/REF INDEX (SAVE FPL); the fields of PERF INIT and
// PERF LIMITS come with the page itself.
#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"

namespace ovi::fms {

namespace {

bool Modified() { return flightplan::flightplan_state.RouteState == 4; }

}  // namespace

void FmsPagePerfInit(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  if (LineSelectKey() == kL6) {
    if (Modified()) {
      flightplan::ResetRouteData();
    } else {
      OpenPage(kPageInitRefIndex);
    }
  }
  page.Large(0, 184, "- - - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(0, kPromptY, Modified() ? "< ERASE" : "< INDEX");
  page.ScratchpadLine();
}

}  // namespace ovi::fms
