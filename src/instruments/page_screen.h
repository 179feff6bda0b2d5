// What the two text navigators, the FMS CDU and the GNS-XLS, share in their
// frame: a table of page routines by page number, and the screen a page is
// drawn on. Each instrument keeps its own pages, keys and flags.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

#include "platform/gfx/graphics.h"
#include "src/display/lifetime.h"

namespace ovi::instruments {

// A page's routine: draws the page and, in the same call, acts on the keys
// recorded since the last frame.
using PageRoutine = void (*)(display::GaugeDisplay& display, gfx::Graphics& g);

// Routines by page number 0..N-1; null where a number has no page.
template <std::size_t N>
using PageTable = std::array<PageRoutine, N>;

struct PageEntry {
  int page;
  PageRoutine routine;
};

template <std::size_t N>
constexpr PageTable<N> MakePageTable(std::initializer_list<PageEntry> entries) {
  PageTable<N> table{};
  for (const PageEntry& e : entries) table[static_cast<std::size_t>(e.page)] = e.routine;
  return table;
}

// The routine of `page`; null for a number without one.
template <std::size_t N>
PageRoutine PageRoutineIn(const PageTable<N>& table, int page) {
  if (page < 0 || static_cast<std::size_t>(page) >= N) return nullptr;
  return table[static_cast<std::size_t>(page)];
}

// The frame's screen: the gauge's size noted for the page, antialiased, and
// cleared to transparent so that the gauge's screen bitmap shows through.
inline void StartPageScreen(display::GaugeDisplay& display, gfx::Graphics& g, int width, int height) {
  display.width = width;
  display.height = height;
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.Clear(gfx::Color(0x00000000u));
}

}  // namespace ovi::instruments
