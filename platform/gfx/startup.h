// Start-up and shutdown of the drawing layer. Start-up loads the project's
// font configuration and hands out a non-zero token; shutdown takes it back.
// Drawing does not depend on a running instance (a gauge that draws after
// another one's shutdown still draws), so the calls only count instances.
#pragma once

#include <cstdint>

#include "platform/gfx/types.h"

namespace ovi::gfx {

// Stores a fresh non-zero token into *token; InvalidParameter for a null
// pointer.
Status GdiplusStartup(std::uintptr_t* token);
// Takes back a token from GdiplusStartup; an unknown or repeated token is
// refused with InvalidParameter and changes nothing.
Status GdiplusShutdown(std::uintptr_t token);
// Number of tokens handed out and not yet taken back.
int GdiplusInstances();

}  // namespace ovi::gfx
