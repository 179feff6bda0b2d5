// PNG files and background bitmaps of device contexts.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gfx/device_context.h"

namespace ovi::gfx {

// Writes the device context's pixels as a PNG file; false when it cannot.
bool WritePng(const DeviceContext& dc, const std::string& path);

// Paints bitmap resource `id` (resources_dir/<id>.png) into the device
// context, scaled to its size. A missing or unreadable bitmap paints a dark
// neutral fill with the id written small, so missing art shows and nothing
// fails. Returns false when the bitmap was missing.
bool PaintBitmapResource(DeviceContext& dc, const std::string& resources_dir, std::uint32_t id);

// Copies `src` into `dst` at (x, y), clipped to `dst` (composes panel windows).
void Blit(const DeviceContext& src, DeviceContext& dst, int x, int y);

}  // namespace ovi::gfx
