// The demo's MCU scenario in ovi-sim, in a simulator folder whose ovi.cfg
// shows the AI traffic's runways: every expect_text of the scenario holds
// (the plan loaded from FPLN on the status page, the direct routes, the
// crossing altitude on LEGS, a repeating key clicked once), the runway
// chosen tunes the radio, ALT/FL sends the autopilot altitude, the route
// the SERVER exports is the last direct route, and every snapshot is there.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <cairo.h>
#include <gtest/gtest.h>

#include "tests/sim/test_support.h"

namespace ovi::mcu::test {
namespace {

namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(McuScenario, TheMcuFlownOnItsKeysAndThePcKeyboard) {
  sim::test::ScratchDir sim("mcu");
  fs::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), fs::copy_options::recursive);
  fs::create_directories(sim / "GAUGES");
  fs::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  std::string cfg = sim::test::ReadFile(sim / "ovi/ovi.cfg");
  const std::size_t option = cfg.find("McuShowActiveRwys = 0");
  ASSERT_NE(option, std::string::npos);
  cfg.replace(option, 21, "McuShowActiveRwys = 1");
  sim::test::WriteFile(sim / "ovi/ovi.cfg", cfg);
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/proline4/panel.cfg",
                                              "--scenario", sim / "scenarios/mcu.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;  // every expect_text held

  const std::string events = sim::test::ReadFile(sim / "out/key_events.txt");
  EXPECT_TRUE(Has(events, " module 0x100AC 70000 ")) << events;  // 34R's ILS, 111.70 as BCD 0x11170
  EXPECT_TRUE(Has(events, " module 0x100B4 344 ")) << events;    // and its course
  EXPECT_TRUE(Has(events, " module 0x1024C 5500 ")) << events;   // ALT/FL's new altitude
  const std::string vars = sim::test::ReadFile(sim / "out/variables.txt");
  EXPECT_TRUE(Has(vars, "registered ovi_fpln_wpt_cnt 0x1 = 2\n")) << vars;  // DIRECT BTG KPDX
  EXPECT_TRUE(Has(vars, "registered ovi_act_wpt_id 0x4 = \"BTG\"\n")) << vars;
  EXPECT_TRUE(Has(r.out, "keyboard messages, 1 discarded")) << r.out;  // the G of "BTG"

  for (const char* snap : {"mcu-status", "mcu-fpln", "mcu-after-load", "mcu-apt", "mcu-apt-ai", "mcu-dirto-editor",
                           "mcu-dirto-kbd", "mcu-alt", "mcu-legs-cross", "mcu-hold", "mcu-off", "mcu-popup"})
    EXPECT_TRUE(fs::exists(sim / (std::string("out/snapshots/") + snap + "/window00_gauge04_MCU.png"))) << snap;
  EXPECT_TRUE(fs::exists(sim / "out/snapshots/mcu-popup/window02_gauge00_MCU_LM.png"));
  EXPECT_TRUE(fs::exists(sim / "out/snapshots/mcu-vc/window03_gauge00_MCU.png"));
  EXPECT_FALSE(fs::exists(sim / "out/snapshots/mcu-vc/window00.png"));  // the main panel hidden
  EXPECT_FALSE(Has(sim::test::ReadFile(sim / "out/snapshots/mcu-off/window00_gauge04_MCU.txt"), "\"FPLN:\""));
}

// The pixel at (x, y) of a PNG, 0xAARRGGBB.
std::uint32_t Pixel(const std::string& png, int x, int y) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  std::uint32_t argb = 0;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS && x < cairo_image_surface_get_width(s) &&
      y < cairo_image_surface_get_height(s)) {
    cairo_surface_flush(s);
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    std::memcpy(&argb, row + 4 * x, 4);
  }
  cairo_surface_destroy(s);
  return argb;
}

bool LampLit(std::uint32_t argb) { return ((argb >> 8) & 0xFF) > 0xC0 && ((argb >> 16) & 0xFF) < 0x80; }

// MCU_LM shows MCU's lamps: one flag lights the lamp in both, each gauge
// composing it at its own scale (MCU_LM here at half size).
TEST(McuScenario, OneLampLitInBothGaugesEachAtItsOwnScale) {
  sim::test::ScratchDir sim("mcu_lamps");
  fs::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), fs::copy_options::recursive);
  fs::create_directories(sim / "GAUGES");
  fs::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  sim::test::WriteFile(sim / "panels/lamps.cfg",
                       "[Window00]\nident=MAIN_PANEL\nsize_mm=800,400\n"
                       "gauge00=ovi1!MCU, 0, 0, 501\ngauge01=ovi1!MCU_LM, 520, 0, 250\n");
  sim::test::WriteFile(sim / "scenarios/lamps.txt",
                       "set lat 47.43\nset lon -122.31\nat 0.5\nsnapshot dark\npress MCU FPLN ENTER\nrun 0.3\n"
                       "press MCU LNAV\nrun 0.3\nsnapshot lit\n");
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/lamps.cfg",
                                              "--scenario", sim / "scenarios/lamps.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;
  // The LNAV lamp at (220, 228), 17 x 20: its middle and its far corner.
  for (const char* snap : {"dark", "lit"}) {
    const std::string dir = sim / (std::string("out/snapshots/") + snap + "/");
    const bool lit = std::string(snap) == "lit";
    EXPECT_EQ(LampLit(Pixel(dir + "window00_gauge00_MCU.png", 228, 238)), lit) << snap;
    EXPECT_EQ(LampLit(Pixel(dir + "window00_gauge00_MCU.png", 235, 246)), lit) << snap;
    EXPECT_EQ(LampLit(Pixel(dir + "window00_gauge01_MCU_LM.png", 114, 119)), lit) << snap;
    EXPECT_EQ(LampLit(Pixel(dir + "window00_gauge01_MCU_LM.png", 116, 122)), lit) << snap;
  }
}

}  // namespace
}  // namespace ovi::mcu::test
