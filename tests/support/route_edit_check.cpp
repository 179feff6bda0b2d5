// Linked into every test binary that runs the module's core: a change of
// the active route that its writer did not count (flightplan::
// ActiveRouteChanged) fails the test that made it, whatever that test is
// about. The path kept between ticks would otherwise outlive the route.
#include <gtest/gtest.h>

#include "src/guidance/flown_path.h"

namespace {

[[maybe_unused]] const bool kChecked = (ovi::guidance::SetUncountedRouteEditHook([] {
  ADD_FAILURE() << "the active route changed without flightplan::ActiveRouteChanged()";
}),
                                        true);

}  // namespace
