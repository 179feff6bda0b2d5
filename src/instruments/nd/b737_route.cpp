// The active route on the map modes: legs, waypoints, runway centre lines,
// half range rings, the TOC/TOD markers and the approach pattern.
#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

void DrawNdRoute(const B737NdFrame& /*frame*/) {}

}  // namespace ovi::nd
