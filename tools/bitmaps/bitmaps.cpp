// ovi-bitmaps: draws every gauge bitmap into a folder, the keys of each
// bezel at the rectangles of the key table; or the background pictures that
// panel files name, beside them.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/gfx/image_io.h"
#include "platform/gfx/startup.h"
#include "sim/key_table.h"
#include "sim/panel_cfg.h"
#include "tools/bitmaps/artwork.h"
#include "tools/usage.h"

namespace {

const char kUsage[] =
    "usage: ovi-bitmaps --keys KEYS_FILE OUTDIR\n"
    "       ovi-bitmaps --panel PANEL_FILE...\n"
    "--keys draws every gauge bitmap into OUTDIR/<id>.png, the keys of each bezel where\n"
    "the key table puts them; --panel draws the background pictures the panel files name\n"
    "(file=), beside them.\n";

// Each window's background that the panel file names (file=).
int WriteBackgrounds(const std::string& path) {
  ovi::sim::PanelConfig panel;
  std::string error;
  if (!ovi::sim::LoadPanelConfig(path, panel, error)) {
    std::fprintf(stderr, "ovi-bitmaps: %s\n", error.c_str());
    return 1;
  }
  int failed = 0;
  for (const ovi::sim::PanelWindow& w : panel.windows) {
    if (w.background.empty()) continue;
    ovi::gfx::DeviceContext dc(w.w, w.h);
    ovi::bitmaps::DrawPanelBackground(w, dc);
    const std::string out = ovi::sim::BackgroundPath(panel, w);
    if (!ovi::gfx::WritePng(dc, out)) {
      std::fprintf(stderr, "ovi-bitmaps: cannot write %s\n", out.c_str());
      ++failed;
    }
  }
  return failed;
}

}  // namespace

int main(int argc, char** argv) {
  if (int rc = ovi::tools::CheckOptions(argc, argv, "ovi-bitmaps", kUsage, {"--keys", "--panel"}); rc >= 0) return rc;
  const bool panels = argc >= 3 && std::strcmp(argv[1], "--panel") == 0;
  if (!panels && (argc != 4 || std::strcmp(argv[1], "--keys") != 0)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::uintptr_t token = 0;
  ovi::gfx::GdiplusStartup(&token);
  int failed = 0;
  if (panels) {
    for (int i = 2; i < argc; ++i) failed += WriteBackgrounds(argv[i]);
  } else {
    ovi::sim::KeyTable keys;
    std::string error;
    if (!ovi::sim::LoadKeyTable(argv[2], keys, error)) {
      std::fprintf(stderr, "ovi-bitmaps: %s\n", error.c_str());
      ovi::gfx::GdiplusShutdown(token);
      return 1;
    }
    for (const auto& art : ovi::bitmaps::AllArtwork()) {
      if (!ovi::bitmaps::WriteArtwork(art, keys, argv[3])) {
        std::fprintf(stderr, "ovi-bitmaps: cannot write %s/%u.png\n", argv[3], art.id);
        ++failed;
      }
    }
  }
  ovi::gfx::GdiplusShutdown(token);
  return failed == 0 ? 0 : 1;
}
