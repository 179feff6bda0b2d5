#include "platform/gfx/device_context.h"

namespace ovi::gfx {

namespace {
bool SideOk(int v) { return v > 0 && v <= kMaxSurfaceSide; }
}  // namespace

DeviceContext::DeviceContext(int w, int h) {
  if (!SideOk(w) || !SideOk(h)) return;
  width = w;
  height = h;
  stride = w * 4;
  pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0xFF000000u);
}

bool DeviceContext::Consistent() const {
  if (width == 0 && height == 0) return stride >= 0;
  if (!SideOk(width) || !SideOk(height)) return false;
  if (stride != width * 4) return false;
  return pixels.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace ovi::gfx
