// The route being edited, dashed over the active one until it is executed.
#include "src/instruments/nd/b737_nd.h"

namespace ovi::nd {

void DrawNdPendingRoute(const B737NdFrame& /*frame*/) {}

}  // namespace ovi::nd
