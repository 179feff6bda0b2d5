// The VOR tuned on the first navigation radio with its selected course line.
#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

void DrawTunedStationCourseLine(const B737NdFrame& /*frame*/) {}

}  // namespace ovi::nd
