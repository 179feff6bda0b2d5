// The first hold of the active route as a racetrack on its fix.
#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

void DrawNdHoldingPattern(const B737NdFrame& /*frame*/, int /*radius*/, int /*center_x*/, int /*center_y*/,
                          double /*range*/) {}

}  // namespace ovi::nd
