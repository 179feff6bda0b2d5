// ovi-bitmaps: draws every gauge bitmap into a folder, the keys of each
// bezel at the rectangles of the key table.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/gfx/startup.h"
#include "sim/key_table.h"
#include "tools/bitmaps/artwork.h"

int main(int argc, char** argv) {
  if (argc != 4 || std::strcmp(argv[1], "--keys") != 0) {
    std::fprintf(stderr, "usage: ovi-bitmaps --keys KEYS_FILE OUTDIR\n");
    return 2;
  }
  ovi::sim::KeyTable keys;
  std::string error;
  if (!ovi::sim::LoadKeyTable(argv[2], keys, error)) {
    std::fprintf(stderr, "ovi-bitmaps: %s\n", error.c_str());
    return 1;
  }
  std::uintptr_t token = 0;
  ovi::gfx::GdiplusStartup(&token);
  int failed = 0;
  for (const auto& art : ovi::bitmaps::AllArtwork()) {
    if (!ovi::bitmaps::WriteArtwork(art, keys, argv[3])) {
      std::fprintf(stderr, "ovi-bitmaps: cannot write %s/%u.png\n", argv[3], art.id);
      ++failed;
    }
  }
  ovi::gfx::GdiplusShutdown(token);
  return failed == 0 ? 0 : 1;
}
