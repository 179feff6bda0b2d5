// The demo's C-17 scenario in ovi-sim: its snapshots, what the displays
// show in them, the mailboxes left idle and the debug log beside the run.
#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sim/test_support.h"

namespace ovi::c17::test {
namespace {

// Pixels of a PNG with any of the bits of `mask` set (0xFFFFFF: neither
// transparent nor black; 0xFF000000: not transparent); -1 when it cannot be
// read.
int LitPixels(const std::string& path, std::uint32_t mask = 0xFFFFFF) {
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  int lit = -1;
  if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
    lit = 0;
    const int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
    const int stride = cairo_image_surface_get_stride(png);
    const unsigned char* data = cairo_image_surface_get_data(png);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) lit += (reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] & mask) != 0;
  }
  cairo_surface_destroy(png);
  return lit;
}

// Pixels of a PNG of exactly one opaque colour.
int PixelsOf(const std::string& path, std::uint32_t argb) {
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  int n = -1;
  if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
    n = 0;
    const int w = cairo_image_surface_get_width(png), h = cairo_image_surface_get_height(png);
    const int stride = cairo_image_surface_get_stride(png);
    const unsigned char* data = cairo_image_surface_get_data(png);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) n += reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] == argb;
  }
  cairo_surface_destroy(png);
  return n;
}

// The texts of a text record drawn at canvas height `y`, left to right as
// drawn.
std::vector<std::string> TextsAtHeight(const std::string& record, double y) {
  std::vector<std::string> texts;
  for (const std::string& line : sim::test::Lines(record)) {
    if (line.empty() || line[0] == ';') continue;
    std::istringstream f(line);
    double element, x, top, w, h, cx, cy;
    if (!(f >> element >> x >> top >> w >> h >> cx >> cy) || cy != y) continue;
    const std::size_t end = line.rfind('"'), start = line.rfind('"', end - 1);
    texts.push_back(line.substr(start + 1, end - start - 1));
  }
  return texts;
}

TEST(C17Scenario, RunsToItsSnapshots) {
  sim::test::ScratchDir sim("c17_scenario");
  sim::test::CopySampleSimulator(sim);
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/c17/panel.cfg",
                                              "--scenario", sim / "scenarios/c17.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("(0 on no rectangle)"), std::string::npos) << r.out;  // the keys below the picture too
  auto lit = [&](const char* snapshot, const char* gauge, std::uint32_t mask = 0xFFFFFF) {
    return LitPixels(sim / ("out/snapshots/" + std::string(snapshot) + "/" + gauge + ".png"), mask);
  };
  constexpr std::uint32_t kOpaque = 0xFF000000;
  const char* display2 = "window00_gauge02_C17_MFD";
  EXPECT_GT(lit("c17-start", display2), 0);   // the compass arc
  // Page 4 (its arcs and heading box) in place of page 3's compass.
  EXPECT_NE(lit("c17-compass", display2), lit("c17-start", display2));
  EXPECT_EQ(lit("c17-mailbox", display2), 0);  // hidden while mailbox 2 holds 2
  // While the pop-up is open its copy draws the flight page (its background
  // so far) and the panel's copy is cleared.
  EXPECT_EQ(lit("c17-popup", "window01_gauge00_C17_MFD", kOpaque), 492 * 482);
  EXPECT_EQ(lit("c17-popup", "window00_gauge01_C17_MFD", kOpaque), 0);
  EXPECT_EQ(lit("c17-start", "window00_gauge01_C17_MFD", kOpaque), 246 * 241);
  for (const char* display : {"window00_gauge01_C17_MFD", display2, "window00_gauge03_C17_MFD"})
    EXPECT_EQ(lit("c17-off", display, kOpaque), 0) << display;
  const std::string vars = sim::test::ReadFile(sim / "out/variables.txt");
  EXPECT_NE(vars.find("MFDX2 mode = 10\n"), std::string::npos) << vars;
  EXPECT_NE(vars.find("MFDX1 mode = 10\n"), std::string::npos) << vars;
  const std::string log = sim::test::ReadFile(sim / "ovi1.log");
  EXPECT_NE(log.find("PANEL_SERVICE_PRE_UPDATE-2: Param=PFD_WN\n"), std::string::npos);
  // 1 was served and reset to 10 before 2 was read.
  EXPECT_NE(log.find("ProcessMFDX2()-1: as_mfdx2_mode=10\nProcessMFDX2()-2: as_mfdx2_mode=2\n"), std::string::npos);
  // Nothing of the panel's first installs: the log opens at the first C-17
  // display's pre-initialise, after the SERVER's.
  EXPECT_NE(log.rfind("server_callback \n", 0), 0u);
}

// The engine scenario checks its own texts as it runs (the timers the
// update counted, the flaps positions, the pages the keys and mailbox 3
// chose): a text not shown fails the run.
TEST(C17Scenario, EnginePagesThroughAShortFlight) {
  sim::test::ScratchDir sim("c17_eng_scenario");
  sim::test::CopySampleSimulator(sim);
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/c17/panel.cfg",
                                              "--scenario", sim / "scenarios/c17-eng.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find(" text checks, 0 failed"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(0 on no rectangle)"), std::string::npos) << r.out;
  for (const char* snapshot : {"c17-eng-idle", "c17-eng-takeoff", "c17-eng-maxthr-over", "c17-eng-maxthr-rem",
                               "c17-eng-egt", "c17-eng-reverse", "c17-cfg-takeoff", "c17-cfg-gear-transit",
                               "c17-cfg-landing"})
    EXPECT_GT(LitPixels(sim / ("out/snapshots/" + std::string(snapshot) + "/window00_gauge03_C17_MFD.png")), 0) << snapshot;
  EXPECT_GT(LitPixels(sim / "out/snapshots/c17-engdet/window03_gauge00_C17_MFD.png"), 0);
  // The engine details after landing, the engines back at idle (26 % N1):
  // N2 and the exhaust temperature at idle too, not at take-off's.
  const std::string details = sim::test::ReadFile(sim / "out/snapshots/c17-engdet/window03_gauge00_C17_MFD.txt");
  EXPECT_EQ(TextsAtHeight(details, 105.0), (std::vector<std::string>{"26.0", "26.0", "26.0", "26.0"}));
  const std::vector<std::string> n2 = TextsAtHeight(details, 160.0), egt = TextsAtHeight(details, 215.0);
  ASSERT_EQ(n2.size(), 4u);
  ASSERT_EQ(egt.size(), 4u);
  for (int e = 0; e < 4; ++e) {
    EXPECT_GT(std::stod(n2[e]), 55.0) << e;
    EXPECT_LT(std::stod(n2[e]), 70.0) << e;
    EXPECT_LT(std::stod(egt[e]), 500.0) << e;
  }
  EXPECT_GT(LitPixels(sim / "out/snapshots/c17-oil/window02_gauge00_C17_MFD.png"), 0);
  // Mailbox 3 was served (looked up as "MFDx3 mode") and left idle.
  const std::string vars = sim::test::ReadFile(sim / "out/variables.txt");
  EXPECT_NE(vars.find("MFDX3 mode = 10\n"), std::string::npos) << vars;
}

// The navigation scenario checks its texts as it runs (the sources, the
// fixes, the range header, the pages display 5's NAV key chose). Here: the
// fixes entered before the route went with its EXEC, and STEP moved the map
// page's centre.
TEST(C17Scenario, NavigationPagesThroughTheCduAndTheControlPanel) {
  sim::test::ScratchDir sim("c17_nav_scenario");
  sim::test::CopySampleSimulator(sim);
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/c17/panel.cfg",
                                              "--scenario", sim / "scenarios/c17-nav.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  EXPECT_NE(r.out.find(" text checks, 0 failed"), std::string::npos) << r.out;
  auto record = [&](const char* snapshot, const char* gauge) {
    return sim::test::ReadFile(sim / ("out/snapshots/" + std::string(snapshot) + "/" + gauge + ".txt"));
  };
  const char* display2 = "window00_gauge02_C17_MFD";
  EXPECT_NE(record("c17-fixinfo", display2).find("\"15.0\""), std::string::npos);
  EXPECT_EQ(record("c17-arc3", display2).find("\"15.0\""), std::string::npos);
  // The same route ident stands elsewhere once the centre moved a leg on.
  auto line_of = [](const std::string& text, const char* ident) {
    const std::size_t at = text.find(std::string("\"") + ident + "\"");
    if (at == std::string::npos) return std::string();
    return text.substr(text.rfind('\n', at) + 1, at - text.rfind('\n', at) - 1);
  };
  const char* display5 = "window03_gauge00_C17_MFD";
  const std::string before = line_of(record("c17-nav-key", display5), "OLM");
  const std::string after = line_of(record("c17-map-step", display5), "OLM");
  EXPECT_FALSE(before.empty());
  EXPECT_FALSE(after.empty());
  EXPECT_NE(before, after);
  for (const char* snapshot : {"c17-hsi-vor", "c17-hsi-ils", "c17-arc3", "c17-arc4", "c17-arc5", "c17-map",
                               "c17-map-320", "c17-layers-off", "c17-fixinfo-hold", "c17-descent"})
    EXPECT_GT(LitPixels(sim / ("out/snapshots/" + std::string(snapshot) + "/" + display2 + ".png")), 0) << snapshot;
  // The descent adds the altitude range arc (green, 2 wide, 100 degrees of
  // a 75-unit circle: some 130 units long, drawn at the canvas's own size)
  // to the picture before it.
  auto green = [&](const char* snapshot) {
    return PixelsOf(sim / ("out/snapshots/" + std::string(snapshot) + "/" + display2 + ".png"), 0xFF00FA00u);
  };
  EXPECT_GT(green("c17-descent") - green("c17-fixinfo-hold"), 100) << green("c17-descent") << " " << green("c17-fixinfo-hold");
}

}  // namespace
}  // namespace ovi::c17::test
