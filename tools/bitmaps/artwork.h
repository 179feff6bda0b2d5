// Every gauge bitmap the module's element lists name: id, size, what it
// shows, and how it is drawn (docs/bitmaps.md lists them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/os/files.h"
#include "sim/key_table.h"
#include "sim/panel_cfg.h"
#include "tools/bitmaps/painter.h"

namespace ovi::bitmaps {

struct Artwork {
  std::uint32_t id;
  int width, height;
  std::string what;
  std::function<void(Painter&)> draw;
};

// The bitmaps, in id order. Keys are drawn from the key table.
std::vector<Artwork> AllArtwork();

// The "Software" text of every picture ovi-bitmaps writes: a picture it
// finds in a file's place is written over only when it carries this.
inline constexpr char kSoftware[] = "ovi-bitmaps";

// Draws one bitmap into `dir`/<id>.png; false when it cannot be written,
// with `problem` (when given) saying why.
bool WriteArtwork(const Artwork& art, const sim::KeyTable& keys, const std::string& dir,
                  os::FileProblem* problem = nullptr);

// The face a panel's background shows under a gauge whose own picture is
// only its lit state (the LNAV and VNAV buttons), at the gauge's design
// size; null for other gauges.
const Artwork* FaceUnder(const std::string& gauge);

// A panel window's background at the window's size: black, with the face
// of each such gauge of the window drawn at the gauge's place and size.
void DrawPanelBackground(const sim::PanelWindow& window, gfx::DeviceContext& dc);

}  // namespace ovi::bitmaps
