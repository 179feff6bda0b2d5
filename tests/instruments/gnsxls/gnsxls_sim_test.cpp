// The GNS-XLS gauges in the simulator stand-in: every named key lands on
// its rectangle, two navigators consume a key once, and the demo's scenario
// activates a stored plan through the keys, which the SERVER gauge then
// exports.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "sim/key_table.h"
#include "sim/panel_cfg.h"
#include "sim/simulator.h"
#include "tests/sim/test_support.h"

namespace ovi::gnsxls::test {
namespace {

namespace fs = std::filesystem;

// Both navigators at their design size: a panel pixel is a design pixel.
const char kBothNavigators[] = R"([Window00]
size_mm=1200,500
gauge00=ovi1!GNSXLS, 0, 0, 550, 433
gauge01=ovi1!GNSXLS_LM, 600, 0, 550, 433
)";

class GnsSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int run = 0;
    root_ = fs::temp_directory_path() / ("ovi_gns_sim_" + std::to_string(::getpid()) + "_" + std::to_string(++run));
    fs::remove_all(root_);
    fs::create_directories(root_ / "GAUGES");
    fs::copy(fs::path(OVI_SOURCE_DIR) / "data" / "ovi", root_ / "ovi", fs::copy_options::recursive);
    fs::copy_file(OVI_MODULE_PATH, root_ / "GAUGES" / "ovi1.gau");
    previous_ = fs::current_path();
    fs::current_path(root_);
    std::string error;
    ASSERT_TRUE(sim::LoadKeyTable(std::string(OVI_SOURCE_DIR) + "/data/panels/keys.txt", keys_, error)) << error;
    ASSERT_TRUE(sim_.Load((root_ / "GAUGES" / "ovi1.gau").string(), error)) << error;
    sim::PanelConfig panel;
    ASSERT_TRUE(sim::ParsePanelConfig(kBothNavigators, "panel.cfg", panel, error)) << error;
    std::vector<std::string> warnings;
    sim_.SetResources(std::string(OVI_SOURCE_DIR) + "/resources");
    sim_.Install(panel, warnings);
    sim_.Connect();
    EXPECT_TRUE(warnings.empty()) << warnings.front();
  }
  void TearDown() override {
    sim_.Disconnect();
    fs::current_path(previous_);
    fs::remove_all(root_);
  }
  sim::ClickResult Press(int g, const std::string& key) {
    const sim::NamedKey* k = keys_.Find("GNSXLS", key);
    EXPECT_NE(k, nullptr) << key;
    if (k == nullptr) return {};
    return sim_.Click(g, k->CentreX(), k->CentreY(), MOUSE_LEFTSINGLE, 0.0);
  }
  bool Shows(int g, const std::string& text) const {
    auto texts = sim_.Texts(g);
    return std::any_of(texts.begin(), texts.end(), [&](const sim::TextEntry& t) { return t.text == text; });
  }

  fs::path root_, previous_;
  sim::KeyTable keys_;
  sim::Simulator sim_;
};

// 5 page keys, 10 line keys, 3 side keys, ENT, CLR, 27 letter keys, 11
// digit keys and, on GNSXLS only, the window rectangle.
TEST_F(GnsSimTest, EveryNamedKeyLandsOnItsRectangle) {
  const auto* keys = keys_.KeysOf("GNSXLS");
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->size(), 59u);
  for (const sim::NamedKey& k : *keys) {
    const bool window = k.name == "WINDOW";
    EXPECT_TRUE(sim_.Click(0, k.CentreX(), k.CentreY(), MOUSE_LEFTSINGLE, 0.0).hit) << k.name;
    EXPECT_EQ(sim_.Click(1, k.CentreX(), k.CentreY(), MOUSE_LEFTSINGLE, 0.0).hit, !window) << k.name;
  }
  EXPECT_TRUE(sim_.IsWindowVisible(4004) == false);  // the window key was pressed twice
}

TEST_F(GnsSimTest, TwoNavigatorsConsumeAKeyOnce) {
  sim_.RunTicks(1);
  ASSERT_TRUE(Shows(0, "FLIGHT PLAN LIST 1/1"));
  Press(1, "LSK7");  // on the second navigator; the first draws first
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, ">"));
  EXPECT_TRUE(Shows(1, ">"));
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, ">"));  // line 7 took the key once: still the first row
  Press(0, "ENT");
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(1, "FLIGHT PLAN 1  1/2"));
  EXPECT_TRUE(Shows(0, "FLIGHT PLAN LIST 1/1"));  // drawn before the plan was opened
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "FLIGHT PLAN 1  1/2"));
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The demo's scenario: a plan of the list opened and activated by the keys
// becomes the route the SERVER gauge exports; every snapshot is written.
TEST(GnsScenario, AStoredPlanActivatedOnTheKeysBecomesTheActiveRoute) {
  sim::test::ScratchDir sim("gnsxls");
  fs::copy(std::string(OVI_SOURCE_DIR) + "/data", sim.path(), fs::copy_options::recursive);
  fs::create_directories(sim / "GAUGES");
  fs::copy_file(OVI_MODULE_PATH, sim / "GAUGES/ovi1.gau");
  sim::test::RunResult r = sim::test::RunSim({"--sim-folder", sim.path(), "--panel", sim / "panels/sample/panel.cfg",
                                              "--scenario", sim / "scenarios/gnsxls.txt", "--out", sim / "out"});
  ASSERT_EQ(r.exit_code, 0) << r.err << r.out;  // every expect_text held
  const std::string vars = sim::test::ReadFile(sim / "out/variables.txt");
  EXPECT_TRUE(Has(vars, "registered ovi_fpln_wpt_cnt 0x1 = 10\n")) << vars;
  EXPECT_TRUE(Has(vars, "registered ovi_act_wpt_id 0x4 = \"FOURT\"\n")) << vars;
  const std::string last = sim::test::ReadFile(sim / "out/snapshots/final/window00_gauge08_GNSXLS.txt");
  for (const char* text : {"\"ACTIVE FPL   1/2\"", "\"KSEA\"", "\"KPDX\"", "\"FOURT\"", "\"TOLLE\"", "\"ALT\""})
    EXPECT_TRUE(Has(last, text)) << text << last;
  for (const char* snap : {"gns-list", "gns-list-row", "gns-stored", "gns-select", "gns-active-ete", "gns-active-eta",
                           "gns-active-dis", "gns-active-alt", "gns-save-prompt", "gns-power-off", "gns-popup"}) {
    EXPECT_TRUE(fs::exists(sim / (std::string("out/snapshots/") + snap + "/window00_gauge08_GNSXLS.png"))) << snap;
  }
  EXPECT_TRUE(fs::exists(sim / "out/snapshots/gns-popup/window05_gauge00_GNSXLS_LM.png"));
  EXPECT_FALSE(Has(sim::test::ReadFile(sim / "out/snapshots/gns-power-off/window00_gauge08_GNSXLS.txt"), "\"ACTIVE"));
}

}  // namespace
}  // namespace ovi::gnsxls::test
