// The module's exported gauge table: every gauge of every subsystem, in the
// order the host lists them.
#pragma once

#include "platform/panel/panel.h"

namespace ovi::host {

// Null-terminated list of the module's gauges.
GAUGEHDR** GaugeTable();

}  // namespace ovi::host
