// The sample panels of every aircraft family and the bitmaps they show:
// each panel composes, every window open, with a module that exports all
// their gauges, no gauge lies over another unless its window says it is
// meant to, and no bitmap a gauge names is missing.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "sim/key_table.h"
#include "sim/panel_cfg.h"
#include "tests/sim/test_support.h"

namespace ovi::sim {
namespace {

const std::string kData = std::string(OVI_SOURCE_DIR) + "/data";

// Every bitmap the gauges' element lists name, at the size they give it.
struct Size {
  std::uint32_t id;
  int w, h;
};
const Size kBitmaps[] = {
    {9728, 326, 433},  {9729, 272, 314},  {9735, 501, 386},  {9745, 420, 159},  {9746, 605, 234},
    {9751, 292, 217},  {9752, 550, 433},  {9761, 280, 262},  {9762, 384, 371},  {9764, 384, 371},
    {9778, 500, 169},  {9782, 17, 20},    {9812, 50, 49},    {9814, 50, 49},    {9816, 50, 49},
    {9826, 284, 233},  {9827, 415, 640},  {9828, 415, 640},  {9829, 50, 36},    {9830, 247, 294},
    {9832, 281, 337},  {9833, 281, 337},  {9840, 313, 212},  {9841, 313, 212},  {9842, 15, 97},
    {9986, 246, 241},  {9988, 291, 319},  {9990, 318, 311},  {9992, 392, 394},  {10006, 311, 182},
    {10016, 373, 312}, {10018, 66, 66},   {10020, 66, 66},   {10024, 66, 66},   {10032, 66, 66},
    {10036, 56, 36},   {10038, 56, 36},   {10040, 56, 36},   {10048, 56, 36},   {10050, 66, 66},
    {10052, 66, 66},   {10054, 66, 66},   {10056, 247, 285}, {10064, 322, 368}, {10066, 313, 93},
    {10068, 311, 97},  {10072, 49, 49},   {10080, 392, 214}, {10082, 25, 10},   {10084, 14, 18},
    {10086, 326, 72},  {10088, 36, 36},   {13824, 246, 241}, {13830, 487, 558},
    // Sizes left to us: the B737 knob positions, the lit A300 traffic key,
    // the LNAV and VNAV annunciators (docs/bitmaps.md).
    {9844, 46, 36},    {9846, 46, 36},    {9848, 46, 36},    {9856, 46, 36},    {9858, 46, 36},
    {9860, 46, 36},    {9864, 42, 42},    {9872, 42, 42},    {9874, 42, 42},    {9876, 42, 42},
    {9878, 42, 42},    {10070, 49, 31},   {10090, 64, 48},   {10092, 64, 48},
};

// Pixels of a PNG within (x, y, w, h) bright enough to be a legend's (red
// at 0xA0 or more); -1 when it cannot be read.
int BrightPixels(const std::string& path, int x, int y, int w, int h) {
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  int n = -1;
  if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
    n = 0;
    const int pw = cairo_image_surface_get_width(png), ph = cairo_image_surface_get_height(png);
    const int stride = cairo_image_surface_get_stride(png);
    const unsigned char* data = cairo_image_surface_get_data(png);
    for (int row = std::max(0, y); row < std::min(ph, y + h); ++row)
      for (int col = std::max(0, x); col < std::min(pw, x + w); ++col)
        n += ((reinterpret_cast<const std::uint32_t*>(data + row * stride)[col] >> 16) & 0xFF) >= 0xA0;
  }
  cairo_surface_destroy(png);
  return n;
}

// The engage buttons' own pictures are only their lit annunciators, hidden
// while the mode is off: each place of one on a sample panel has its face
// (its legend) in the window's background.
bool IsEngageButton(const PanelGauge& g) { return g.name == "LNAV" || g.name == "VNAV"; }
int HeightOf(const PanelGauge& g) { return g.h > 0 ? g.h : g.w * 48 / 64; }

TEST(SamplePanels, EngageButtonsHaveTheirFacesInTheBackground) {
  int buttons = 0;
  for (const auto& dir : std::filesystem::directory_iterator(kData + "/panels")) {
    if (!dir.is_directory()) continue;
    for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
      if (file.path().extension() != ".cfg") continue;
      SCOPED_TRACE(file.path().string());
      PanelConfig panel;
      std::string error;
      ASSERT_TRUE(LoadPanelConfig(file.path().string(), panel, error)) << error;
      for (const PanelWindow& w : panel.windows) {
        const std::string background = BackgroundPath(panel, w);
        if (!background.empty()) {
          cairo_surface_t* png = cairo_image_surface_create_from_png(background.c_str());
          EXPECT_EQ(cairo_image_surface_get_width(png), w.w) << background;
          EXPECT_EQ(cairo_image_surface_get_height(png), w.h) << background;
          cairo_surface_destroy(png);
        }
        for (const PanelGauge& g : w.gauges) {
          if (!IsEngageButton(g)) continue;
          ++buttons;
          ASSERT_FALSE(background.empty()) << g.name << " has no background under it";
          // The legend: some 40 to 100 pixels of the 64 x 48.
          EXPECT_GT(BrightPixels(background, g.x, g.y, g.w, HeightOf(g)), 20) << g.name;
        }
      }
    }
  }
  EXPECT_EQ(buttons, 23);  // every sample panel has both, the P1000's LNAV alone
}

TEST(SamplePanels, EveryBitmapIsThereAtItsSize) {
  for (const Size& b : kBitmaps) {
    std::string path = std::string(OVI_SOURCE_DIR) + "/resources/" + std::to_string(b.id) + ".png";
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    EXPECT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS) << path;
    EXPECT_EQ(cairo_image_surface_get_width(png), b.w) << b.id;
    EXPECT_EQ(cairo_image_surface_get_height(png), b.h) << b.id;
    cairo_surface_destroy(png);
  }
}

TEST(SamplePanels, EachComposesWithEveryWindowOpenAndNoPlaceholder) {
  test::ScratchDir sim("panels");
  std::filesystem::copy(kData, sim.path(), std::filesystem::copy_options::recursive);
  test::WriteFile(sim / "scenarios/panel-sample.txt",
                  "show 4011\nshow 4012\nshow 4010\nshow 4031\nshow 4004\nrun 1\nsnapshot windows\n");
  int panels = 0;
  for (const auto& dir : std::filesystem::directory_iterator(sim / "panels")) {
    if (!dir.is_directory()) continue;
    std::string family = dir.path().filename().string();
    SCOPED_TRACE(family);
    PanelConfig panel;
    std::string error;
    ASSERT_TRUE(LoadPanelConfig((dir.path() / "panel.cfg").string(), panel, error)) << error;
    test::RunResult r = test::RunSim({"--sim-folder", sim.path(), "--module", PREVIEW_MODULE_PATH, "--panel",
                                      (dir.path() / "panel.cfg").string(), "--scenario",
                                      sim / ("scenarios/panel-" + family + ".txt"), "--out", sim / ("out/" + family)});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.err.find("overlaps gauge"), std::string::npos) << r.err;
    EXPECT_EQ(r.err, "");  // every gauge exported, nothing skipped, none over another
    EXPECT_EQ(r.out.find("bitmaps missing"), std::string::npos) << r.out;
    for (const PanelWindow& w : panel.windows) {
      char name[32];
      std::snprintf(name, sizeof name, "window%02d.png", w.number);
      const std::string picture = sim / ("out/" + family + "/snapshots/windows/" + name);
      EXPECT_TRUE(std::filesystem::exists(picture)) << name;
      // Engaged nowhere, the buttons show their faces.
      for (const PanelGauge& g : w.gauges) {
        if (IsEngageButton(g)) {
          EXPECT_GT(BrightPixels(picture, g.x, g.y, g.w, HeightOf(g)), 20) << g.name;
        }
      }
    }
    ++panels;
  }
  EXPECT_EQ(panels, 11);

}

TEST(SamplePanels, TheKeyTableNamesGaugesThereAre) {
  test::RunResult list = test::RunSim({"--list-gauges", "--module", PREVIEW_MODULE_PATH});
  ASSERT_EQ(list.exit_code, 0) << list.err;
  std::vector<std::string> names = test::Lines(list.out);
  std::set<std::string> known(names.begin(), names.end());
  KeyTable keys;
  std::string error;
  ASSERT_TRUE(LoadKeyTable(kData + "/panels/keys.txt", keys, error)) << error;
  for (const KeySection& s : keys.sections)
    for (const std::string& g : s.gauges) EXPECT_EQ(known.count(g), 1u) << g;
}

}  // namespace
}  // namespace ovi::sim
