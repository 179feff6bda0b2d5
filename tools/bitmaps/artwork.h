// Every gauge bitmap the module's element lists name: id, size, what it
// shows, and how it is drawn (docs/bitmaps.md lists them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim/key_table.h"
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

// Draws one bitmap into `dir`/<id>.png; false when it cannot be written.
bool WriteArtwork(const Artwork& art, const sim::KeyTable& keys, const std::string& dir);

}  // namespace ovi::bitmaps
