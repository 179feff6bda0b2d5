// Navaids, airports and intersections around the aircraft on the map modes.
#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

void DrawNdNavaids(const B737NdFrame& /*frame*/) {}
void DrawNdAirports(const B737NdFrame& /*frame*/) {}
void DrawNdIntersections(const B737NdFrame& /*frame*/) {}

}  // namespace ovi::nd
