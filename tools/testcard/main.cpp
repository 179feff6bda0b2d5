#include <cstdio>

#include "platform/gfx/image_io.h"
#include "platform/gfx/startup.h"
#include "tools/testcard/testcard.h"
#include "tools/usage.h"

namespace {

const char kUsage[] =
    "usage: ovi-testcard OUT.png\n"
    "Draws every operation of the drawing layer on one picture, OUT.png.\n";

}  // namespace

int main(int argc, char** argv) {
  if (int rc = ovi::tools::CheckOptions(argc, argv, "ovi-testcard", kUsage, {}); rc >= 0) return rc;
  if (argc != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::uintptr_t token = 0;
  ovi::gfx::GdiplusStartup(&token);
  ovi::gfx::DeviceContext dc(ovi::gfx::kTestCardWidth, ovi::gfx::kTestCardHeight);
  ovi::gfx::DrawTestCard(dc);
  ovi::gfx::GdiplusShutdown(token);
  if (!ovi::gfx::WritePng(dc, argv[1])) {
    std::fprintf(stderr, "ovi-testcard: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
