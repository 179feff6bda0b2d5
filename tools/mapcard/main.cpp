#include <cstdio>

#include "platform/gfx/image_io.h"
#include "platform/gfx/startup.h"
#include "tools/mapcard/mapcard.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ovi-mapcard OUT.png\n");
    return 2;
  }
  std::uintptr_t token = 0;
  ovi::gfx::GdiplusStartup(&token);
  ovi::gfx::DeviceContext dc(ovi::mapcard::kMapCardWidth, ovi::mapcard::kMapCardHeight);
  ovi::mapcard::DrawMapCard(dc);
  ovi::gfx::GdiplusShutdown(token);
  if (!ovi::gfx::WritePng(dc, argv[1])) {
    std::fprintf(stderr, "ovi-mapcard: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
