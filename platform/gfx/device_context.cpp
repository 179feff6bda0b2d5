#include "platform/gfx/device_context.h"

#include <algorithm>

namespace ovi::gfx {

DeviceContext::DeviceContext(int w, int h)
    : width(std::max(0, w)),
      height(std::max(0, h)),
      stride(std::max(0, w) * 4),
      pixels(static_cast<std::size_t>(std::max(0, w)) * static_cast<std::size_t>(std::max(0, h)), 0xFF000000u) {}

}  // namespace ovi::gfx
