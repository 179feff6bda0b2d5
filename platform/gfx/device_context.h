// A device context: the picture surface of one gauge element, owned by the
// host. The module draws into it through Graphics; the host reads the pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace ovi::gfx {

class Recorder;

// Largest side a device context may have; larger requests make an empty one.
inline constexpr int kMaxSurfaceSide = 16384;

struct DeviceContext {
  // A width or height that is not positive, or above kMaxSurfaceSide, gives
  // an empty (0 x 0) surface on which every drawing call is refused.
  DeviceContext(int width, int height);

  int width = 0;
  int height = 0;
  int stride = 0;                    // bytes per row
  std::vector<std::uint32_t> pixels;  // premultiplied ARGB32, row-major
  Recorder* recorder = nullptr;       // optional, not owned

  // True when the fields describe the pixel buffer (a host may have changed
  // them): nothing draws into a context for which this is false.
  bool Consistent() const;
  bool Empty() const { return width <= 0 || height <= 0; }
};

}  // namespace ovi::gfx
