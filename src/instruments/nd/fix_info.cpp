// The two FIX INFO reference fixes with their radials and distance rings.
#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

void DrawFixInfoOverlay(const B737NdFrame& /*frame*/) {}

}  // namespace ovi::nd
