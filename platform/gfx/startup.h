// Start-up and shutdown of the drawing layer. Start-up loads the project's
// font configuration and hands out a non-zero token; shutdown takes it back.
// Drawing does not depend on a running instance (a gauge that draws after
// another one's shutdown still draws), so the calls only count instances.
#pragma once

#include <cstdint>

#include "platform/gfx/types.h"

namespace ovi::gfx {

// What a module hands to start-up. Only version 1 exists; the debug callback
// is never called (nothing here reports through it).
struct GdiplusStartupInput {
  std::uint32_t GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  bool SuppressBackgroundThread = false;
  bool SuppressExternalCodecs = false;
};
// Filled in only for a caller that suppresses the background thread (it then
// owns the notification hooks; here they do nothing).
struct GdiplusStartupOutput {
  Status (*NotificationHook)(std::uintptr_t* token) = nullptr;
  void (*NotificationUnhook)(std::uintptr_t token) = nullptr;
};

// Stores a fresh non-zero token into *token; InvalidParameter for a null
// pointer.
Status GdiplusStartup(std::uintptr_t* token);
// The same with the start-up input: UnsupportedGdiplusVersion for a version
// other than 1, InvalidParameter for a null input, or a null output when the
// background thread is suppressed. A refused start-up leaves *token as it was.
Status GdiplusStartup(std::uintptr_t* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
// Takes back a token from GdiplusStartup; an unknown or repeated token is
// refused with InvalidParameter and changes nothing.
Status GdiplusShutdown(std::uintptr_t token);
// Number of tokens handed out and not yet taken back.
int GdiplusInstances();

}  // namespace ovi::gfx
