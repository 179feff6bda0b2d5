// ovi-bitmaps: draws every gauge bitmap into a folder, the keys of each
// bezel at the rectangles of the key table; or the background pictures that
// panel files name, beside them.
//
// It keeps ovi-sim's rules for files: OUTDIR is a folder of its outputs as
// ovi-sim's --out is (sim/out_folder.h); a background is written only into
// its panel's folder, never over one of the panel files read nor over a
// file that is not a picture ovi-bitmaps made. What it refuses it names,
// before anything is written.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/image_io.h"
#include "platform/gfx/startup.h"
#include "platform/os/files.h"
#include "sim/key_table.h"
#include "sim/out_folder.h"
#include "sim/panel_cfg.h"
#include "tools/bitmaps/artwork.h"
#include "tools/usage.h"

namespace {

namespace fs = std::filesystem;

const char kUsage[] =
    "usage: ovi-bitmaps --keys KEYS_FILE OUTDIR\n"
    "       ovi-bitmaps --panel PANEL_FILE...\n"
    "--keys draws every gauge bitmap into OUTDIR/<id>.png, the keys of each bezel where\n"
    "the key table puts them; --panel draws the background pictures the panel files name\n"
    "(file=), beside them.\n";

constexpr ovi::sim::OutputWriter kBitmapOutputs{
    "ovi-bitmaps", "ovi-bitmaps-outputs.txt", "OUTDIR names the folder the bitmaps go into",
    "OUTDIR takes a new or empty folder, or one ovi-bitmaps wrote (left as it is)"};

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// A picture to draw: the window and where it goes.
struct Background {
  ovi::sim::PanelWindow window;
  std::string path;
};

// Why the picture may not be written at `out` (empty: it may), named from
// its panel's folder `folder`; `inputs` are the panel files read.
std::string BackgroundRefusal(const std::string& out, const std::string& folder,
                              const std::vector<std::string>& inputs) {
  if (!ovi::sim::LiesIn(out, folder))
    return "lies outside the panel's folder; a background is written only beside its panel";
  for (const std::string& input : inputs)
    if (SameFile(out, input)) return "is a panel file ovi-bitmaps reads; left as it is";
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(out, ec))) return "";
  ovi::os::FileProblem problem;
  if (!ovi::os::IsRegularFile(out, &problem)) return problem.text + "; left as it is";
  if (ovi::gfx::PngSoftware(out) != ovi::bitmaps::kSoftware) return "not a picture ovi-bitmaps made; left as it is";
  return "";
}

// The backgrounds the panel files name (file=), each checked before any is
// drawn: one refused leaves every file as it was.
int WriteBackgrounds(const std::vector<std::string>& panels) {
  std::vector<Background> backgrounds;
  int refused = 0;
  for (const std::string& path : panels) {
    ovi::sim::PanelConfig panel;
    std::string error;
    if (!ovi::sim::LoadPanelConfig(path, panel, error)) {
      std::fprintf(stderr, "ovi-bitmaps: %s\n", error.c_str());
      ++refused;
      continue;
    }
    const std::string folder = fs::absolute(path).parent_path().string();
    for (const ovi::sim::PanelWindow& w : panel.windows) {
      if (w.background.empty()) continue;
      const std::string out = ovi::sim::BackgroundPath(panel, w);
      if (const std::string why = BackgroundRefusal(out, folder, panels); !why.empty()) {
        std::fprintf(stderr, "ovi-bitmaps: %s: %s (file= at %s:%d)\n", out.c_str(), why.c_str(), path.c_str(),
                     w.background_line);
        ++refused;
        continue;
      }
      backgrounds.push_back({w, out});
    }
  }
  if (refused != 0) {
    std::fprintf(stderr, "ovi-bitmaps: nothing written\n");
    return 1;
  }
  int failed = 0;
  for (const Background& b : backgrounds) {
    ovi::gfx::DeviceContext dc(b.window.w, b.window.h);
    ovi::bitmaps::DrawPanelBackground(b.window, dc);
    ovi::os::FileProblem problem;
    if (!ovi::gfx::WritePng(dc, b.path, ovi::gfx::PngSpeed::kSmall, ovi::bitmaps::kSoftware, &problem)) {
      std::fprintf(stderr, "ovi-bitmaps: %s: cannot write%s%s\n", b.path.c_str(), problem.text.empty() ? "" : ": ",
                   problem.text.c_str());
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}

// Every gauge bitmap into `dir`, a folder of ovi-bitmaps' own.
int WriteAllArtwork(const std::string& keys_path, const std::string& dir) {
  ovi::sim::KeyTable keys;
  std::string error;
  if (!ovi::sim::LoadKeyTable(keys_path, keys, error)) {
    std::fprintf(stderr, "ovi-bitmaps: %s\n", error.c_str());
    return 1;
  }
  if (ovi::sim::LiesIn(keys_path, dir)) {
    std::fprintf(stderr, "ovi-bitmaps: %s: lies in %s, which --keys writes; give a key table from outside it\n",
                 keys_path.c_str(), dir.c_str());
    return 1;
  }
  ovi::sim::OutFolder folder(kBitmapOutputs);
  if (!folder.Prepare(dir, error)) {
    std::fprintf(stderr, "ovi-bitmaps: %s\n", error.c_str());
    return 1;
  }
  // What stops one picture stops the rest: one message, with the reason.
  for (const auto& art : ovi::bitmaps::AllArtwork()) {
    const std::string out = dir + "/" + std::to_string(art.id) + ".png";
    folder.Note(out);
    ovi::os::FileProblem problem;
    if (!ovi::bitmaps::WriteArtwork(art, keys, dir, &problem)) {
      std::fprintf(stderr, "ovi-bitmaps: %s: cannot write%s%s; the bitmaps after it not written\n", out.c_str(),
                   problem.text.empty() ? "" : ": ", problem.text.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (int rc = ovi::tools::CheckOptions(argc, argv, "ovi-bitmaps", kUsage, {"--keys", "--panel"}); rc >= 0) return rc;
  const bool panels = argc >= 3 && std::strcmp(argv[1], "--panel") == 0;
  if (!panels && (argc != 4 || std::strcmp(argv[1], "--keys") != 0)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // An empty name would be the current folder, which no one named.
  if (!panels && *argv[3] == '\0') {
    std::fprintf(stderr, "ovi-bitmaps: OUTDIR is empty; name the folder to write into ('.' for the current one)\n%s",
                 kUsage);
    return 2;
  }
  std::uintptr_t token = 0;
  ovi::gfx::GdiplusStartup(&token);
  const int rc = panels ? WriteBackgrounds(std::vector<std::string>(argv + 2, argv + argc))
                        : WriteAllArtwork(argv[2], argv[3]);
  ovi::gfx::GdiplusShutdown(token);
  return rc;
}
