// Whether a CDU page can be read: no two of its texts touch, and none leaves
// the logical 282 x 245 screen. Each text is drawn alone, four times larger,
// and its inked pixels compared with the others', so a label standing in the
// gap of a dashed line is fine while two texts without a clear pixel between
// them are not. A text drawn black on a highlight box counts as its whole
// layout box (the box is what meets its neighbours).
//
// Every page test can ask it of a frame (ExpectLegible in cdu_support.h);
// the scenario tests ask it of every CDU picture a run wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/recorder.h"

namespace ovi::fms::test {

// One text of a page, placed on the logical screen.
struct ScreenItem {
  std::string text;  // UTF-8, as recorded
  std::string font;
  float size = 0.0f;  // em in logical units
  int style = 0;
  float x = 0.0f;  // layout origin (top-left corner of the layout box)
  float y = 0.0f;
  bool boxed = false;  // black, on a highlight box
};

// The texts of a recording made on a surface scaled by (sx, sy) device
// pixels per logical unit.
std::vector<ScreenItem> ScreenItemsOf(const gfx::Recorder& rec, float sx, float sy);
// The screen's texts (element 1) of one ovi-sim text record of a CDU gauge.
std::vector<ScreenItem> ScreenItemsOfRecord(const std::string& record);

// One line per fault: two texts that touch, a text that leaves the screen.
// Empty when the page is legible.
std::vector<std::string> LegibilityFaults(const std::vector<ScreenItem>& items);

// Fails the test for every fault of every CDU text record
// (`*_SMITHS_FMS*.txt`) under OUT/snapshots, named by its snapshot.
void ExpectLegibleCduSnapshots(const std::filesystem::path& out);

}  // namespace ovi::fms::test
