// A device context: the picture surface of one gauge element, owned by the
// host. The module draws into it through Graphics; the host reads the pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace ovi::gfx {

class Recorder;

struct DeviceContext {
  DeviceContext(int width, int height);

  int width = 0;
  int height = 0;
  int stride = 0;                    // bytes per row
  std::vector<std::uint32_t> pixels;  // premultiplied ARGB32, row-major
  Recorder* recorder = nullptr;       // optional, not owned
};

}  // namespace ovi::gfx
