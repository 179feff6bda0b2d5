// The SERVER gauge: invisible, it serves the module's link to the rest of
// the panel (host detection now; named panel variables, key events and their
// polling are its further duties).
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::host {

extern GAUGEHDR server_gauge;

void server_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

}  // namespace ovi::host
