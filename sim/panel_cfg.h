// The panel file: which windows the panel has and which gauges sit where,
// in the simulator's panel.cfg style (see docs/panel-cfg.md).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ovi::sim {

// Longest path the stand-in opens; a longer one is a missing file.
constexpr std::size_t kMaxSimPath = 1024;

constexpr std::int64_t kNoIdent = -1;

struct PanelGauge {
  int number = 0;      // NN of gaugeNN
  int line = 0;        // line in the panel file
  std::string module;  // before '!'
  std::string name;    // gauge name
  int x = 0, y = 0;    // top-left on the window, panel pixels
  int w = 0, h = 0;    // 0 = take the gauge's default size
  std::string parameter;
};

struct PanelWindow {
  int number = 0;  // NN of [WindowNN]
  int line = 0;    // line of the section header
  std::string title;
  std::int64_t ident = kNoIdent;  // 0 = main panel window
  int x = 0, y = 0;               // window_pos, desktop pixels
  int w = 0, h = 0;               // size_mm, panel pixels
  bool visible = true;
  std::vector<PanelGauge> gauges;  // ordered by gauge number
  // Pairs of gauge numbers whose places are meant to overlap (a display
  // over its own controller): the stand-in reports any other overlap.
  std::vector<std::pair<int, int>> overlaps;
  // file=: the picture under the window's gauges, named from the panel
  // file's folder (empty: none), and the line that names it.
  std::string background;
  int background_line = 0;
};

struct PanelConfig {
  std::string path;
  std::vector<PanelWindow> windows;  // ordered by window number
};

// Reads a panel file; false with one message "FILE:LINE: what" (or
// "FILE: what") when the file is missing or malformed.
bool LoadPanelConfig(const std::string& path, PanelConfig& out, std::string& error);
bool ParsePanelConfig(const std::string& text, const std::string& path, PanelConfig& out, std::string& error);

// The path of a window's background picture: its name (a backslash read as '/')
// from the panel file's folder; "" when the window names none.
std::string BackgroundPath(const PanelConfig& panel, const PanelWindow& window);

}  // namespace ovi::sim
