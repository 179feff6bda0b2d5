// The CDU gauges in the simulator stand-in, clicked through their named
// keys: when a key acts, that it acts once, what waits while no CDU is
// drawn, EXEC at once, the lamps at the next pre-update, CLR held, the
// screen square's window, and the performance pages' entries, prompts and
// page keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "sim/key_table.h"
#include "sim/panel_cfg.h"
#include "sim/simulator.h"
#include "src/instruments/fms/gauges.h"

namespace ovi::fms::test {
namespace {

namespace fs = std::filesystem;

// Both CDUs at their design size: a panel pixel is a design pixel.
const char kBothCdus[] = R"([Window00]
size_mm=1024,768
gauge00=ovi1!SMITHS_FMS, 0, 0, 415, 640, B737-800

[Window01]
ident=4012
size_mm=415,640
visible=0
gauge00=ovi1!SMITHS_FMS_BR, 0, 0, 415, 640
)";

const char kPopUpCduOnly[] = R"([Window00]
size_mm=200,100

[Window01]
ident=4012
size_mm=415,640
visible=1
gauge00=ovi1!SMITHS_FMS_BR, 0, 0, 415, 640
)";

class CduSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int run = 0;
    root_ = fs::temp_directory_path() / ("ovi_cdu_sim_" + std::to_string(::getpid()) + "_" + std::to_string(++run));
    fs::remove_all(root_);
    fs::create_directories(root_ / "GAUGES");
    fs::copy(fs::path(OVI_SOURCE_DIR) / "data" / "ovi", root_ / "ovi", fs::copy_options::recursive);
    // A copy, not a link: each case loads a module of its own, with fresh state.
    fs::copy_file(OVI_MODULE_PATH, root_ / "GAUGES" / "ovi1.gau");
    previous_ = fs::current_path();
    fs::current_path(root_);
    std::string error;
    ASSERT_TRUE(sim::LoadKeyTable(std::string(OVI_SOURCE_DIR) + "/data/panels/keys.txt", keys_, error)) << error;
    ASSERT_TRUE(sim_.Load((root_ / "GAUGES" / "ovi1.gau").string(), error)) << error;
  }
  void TearDown() override {
    sim_.Disconnect();
    fs::current_path(previous_);
    fs::remove_all(root_);
  }

  void Install(const char* panel_text) {
    sim::PanelConfig panel;
    std::string error;
    ASSERT_TRUE(sim::ParsePanelConfig(panel_text, "panel.cfg", panel, error)) << error;
    std::vector<std::string> warnings;
    sim_.SetResources(std::string(OVI_SOURCE_DIR) + "/resources");
    sim_.Install(panel, warnings);
    sim_.Connect();
    EXPECT_TRUE(warnings.empty()) << warnings.front();
  }

  // Presses a named key of gauge g (held for `hold` seconds); no frame runs.
  sim::ClickResult Press(int g, const std::string& key, double hold = 0.0) {
    const sim::NamedKey* k = keys_.Find("SMITHS_FMS", key);
    EXPECT_NE(k, nullptr) << key;
    if (k == nullptr) return {};
    return sim_.Click(g, k->CentreX(), k->CentreY(), MOUSE_LEFTSINGLE, hold);
  }
  // Types characters on the keypad of gauge g, one frame after each.
  void Type(int g, const std::string& text) {
    for (char c : text) {
      Press(g, std::string(1, c));
      sim_.RunTicks(1);
    }
  }
  bool Shows(int g, const std::string& text) const {
    auto texts = sim_.Texts(g);
    return std::any_of(texts.begin(), texts.end(), [&](const sim::TextEntry& t) { return t.text == text; });
  }
  // `text` drawn with its layout point on row `y` of the logical screen.
  bool ShowsOnRow(int g, const std::string& text, double y) const {
    auto texts = sim_.Texts(g);
    return std::any_of(texts.begin(), texts.end(),
                       [&](const sim::TextEntry& t) { return t.text == text && std::fabs(t.canvas_y - y) < 0.01; });
  }
  // Presses keys of gauge g, one frame after each.
  void PressEach(int g, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
      Press(g, key);
      sim_.RunTicks(1);
    }
  }
  // Without a route INIT REF opens POS INIT, whose < INDEX leads to <PERF;
  // the page a line key opens shows a frame later.
  void OpenPerfInit(int g) {
    PressEach(g, {"INIT_REF", "L6", "L3"});
    sim_.RunTicks(1);
  }
  bool Lit(int g, int element) const {
    return (sim_.gauges()[static_cast<std::size_t>(g)].elements[static_cast<std::size_t>(element)]->image_flags &
            IMAGE_HIDDEN) == 0;
  }

  fs::path root_, previous_;
  sim::KeyTable keys_;
  sim::Simulator sim_;
};

TEST_F(CduSimTest, EveryNamedKeyLandsOnARectangle) {
  Install(kBothCdus);
  const auto* keys = keys_.KeysOf("SMITHS_FMS");
  ASSERT_NE(keys, nullptr);
  // 14 mode keys, 12 line keys, 26 letters, 9 digits, . 0 +/- SP DEL / CLR
  // and the screen square.
  EXPECT_EQ(keys->size(), 69u);
  for (const sim::NamedKey& k : *keys) {
    EXPECT_TRUE(sim_.Click(0, k.CentreX(), k.CentreY(), MOUSE_LEFTSINGLE, 0.0).hit) << k.name;
  }
}

TEST_F(CduSimTest, ALineKeyActsOnceOneFrameLaterOnThePageShown) {
  Install(kBothCdus);
  sim_.RunTicks(1);
  ASSERT_TRUE(Shows(0, "IDENT"));
  // R6 on IDENT opens POS INIT, and R6 on POS INIT would open RTE.
  Press(0, "R6");
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "IDENT"));  // the frame acted on the page it showed
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "POS   INIT"));
  sim_.RunTicks(3);
  EXPECT_TRUE(Shows(0, "POS   INIT"));  // the new page never saw the key
}

TEST_F(CduSimTest, TwoCdusConsumeAKeyOnce) {
  Install(kBothCdus);
  sim_.SetWindowVisible(4012, true);
  sim_.RunTicks(1);
  Press(1, "R6");  // on the pop-up's keypad
  sim_.RunTicks(1);
  // The main CDU drew first and took the key; the pop-up drew POS INIT
  // without it.
  EXPECT_TRUE(Shows(0, "IDENT"));
  EXPECT_TRUE(Shows(1, "POS   INIT"));
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "POS   INIT"));
  EXPECT_TRUE(Shows(1, "POS   INIT"));
}

TEST_F(CduSimTest, KeysWaitWhileNoCduIsDrawn) {
  Install(kPopUpCduOnly);
  sim_.RunTicks(1);
  ASSERT_TRUE(Shows(0, "IDENT"));
  Press(0, "R6");
  sim_.SetWindowVisible(4012, false);
  sim_.RunTicks(10);
  sim_.SetWindowVisible(4012, true);
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "IDENT"));  // the first frame drawn takes the key
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "POS   INIT"));
}

TEST_F(CduSimTest, HeldClearRepeatsAndTheMessageLampFollows) {
  Install(kBothCdus);
  Type(0, "KSEA");
  EXPECT_TRUE(Shows(0, "KSEA"));
  EXPECT_FALSE(Lit(0, kMessageLampElement));
  Press(0, "DEL");
  EXPECT_FALSE(Lit(0, kMessageLampElement));  // until the next pre-update
  sim_.RunTicks(1);
  EXPECT_TRUE(Lit(0, kMessageLampElement));
  EXPECT_TRUE(Shows(0, "DELETE"));
  Press(0, "CLR");  // the message goes first
  sim_.RunTicks(1);
  EXPECT_FALSE(Lit(0, kMessageLampElement));
  EXPECT_TRUE(Shows(0, "KSEA"));
  Press(0, "CLR", 1.0);  // held: one character at each repeat
  sim_.RunTicks(18);
  for (const char* left : {"KSEA", "KSE", "KS", "K"}) EXPECT_FALSE(Shows(0, left)) << left;
}

TEST_F(CduSimTest, ExecActsAtOnceAndItsLampFollows) {
  Install(kBothCdus);
  sim_.RunTicks(1);
  Press(0, "RTE");
  sim_.RunTicks(1);
  Type(0, "KSEA");
  Press(0, "L1");
  sim_.RunTicks(1);
  Type(0, "KPDX");
  Press(0, "R1");
  sim_.RunTicks(1);
  Press(0, "NEXT_PAGE");
  sim_.RunTicks(1);
  Type(0, "OLM");
  Press(0, "R1");
  sim_.RunTicks(1);
  ASSERT_TRUE(Shows(0, "OLM"));
  sim_.RunTicks(1);
  ASSERT_TRUE(Shows(0, "ACTIVATE >"));
  Press(0, "R6");
  sim_.RunTicks(1);  // the page activates in this frame's drawing, after its pre-update
  EXPECT_FALSE(Lit(0, kExecLampElement));
  sim_.RunTicks(1);
  EXPECT_TRUE(Lit(0, kExecLampElement));
  EXPECT_TRUE(Shows(0, "PERF INIT >"));
  Press(0, "EXEC");
  sim_.RunTicks(1);  // executed when pressed: this frame's pre-update already sees it
  EXPECT_FALSE(Lit(0, kExecLampElement));
  EXPECT_TRUE(Shows(0, "ACT"));
}

TEST_F(CduSimTest, TheScreenSquareTogglesThePopUp) {
  Install(kBothCdus);
  EXPECT_FALSE(sim_.IsWindowVisible(4012));
  Press(0, "SCREEN");
  EXPECT_TRUE(sim_.IsWindowVisible(4012));
  Press(0, "SCREEN");
  EXPECT_FALSE(sim_.IsWindowVisible(4012));
}

TEST_F(CduSimTest, PerformanceEntriesActOnTheFrameAfterTheirKey) {
  Install(kBothCdus);
  sim_.RunTicks(1);
  OpenPerfInit(0);
  ASSERT_TRUE(Shows(0, "PERF  INIT"));
  Type(0, "350");
  Press(0, "R1");
  EXPECT_TRUE(Shows(0, "350"));  // nothing acts between frames
  sim_.RunTicks(1);
  // The page shown took the entry before drawing: the cruise altitude is
  // there in the same frame, the scratchpad empty.
  EXPECT_TRUE(Shows(0, "FL350"));
  EXPECT_FALSE(Shows(0, "350"));
  // PREV and NEXT in one frame: NEXT alone acts (both would come back).
  Press(0, "PREV_PAGE");
  Press(0, "NEXT_PAGE");
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "PERF  LIMITS"));
  PressEach(0, {"PREV_PAGE"});
  ASSERT_TRUE(Shows(0, "PERF  INIT"));
  // A prompt changes the page: the new one shows on the frame after.
  Press(0, "R6");
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "PERF  INIT"));
  sim_.RunTicks(1);
  EXPECT_TRUE(Shows(0, "TAKEOFF  REF"));
}

// Both CDUs run the page each frame: what a page changes without a key
// (the reserve lowered to the fuel on board) and what a key toggles happen
// once.
TEST_F(CduSimTest, TwoCdusChangeNothingTwice) {
  Install(kBothCdus);
  sim_.SetWindowVisible(4012, true);
  sim_.RunTicks(1);
  OpenPerfInit(1);
  // 40 000 lb of reserve; 5000 gallons of 6.7 lb on board: 33 500 lb.
  Type(1, "40");
  PressEach(1, {"L4"});
  sim_.RunTicks(1);
  for (int g : {0, 1}) EXPECT_TRUE(ShowsOnRow(g, "33.5", 133)) << g;
  // Arming the pause at the top of descent: ON after one press.
  PressEach(1, {"CRZ", "R6"});
  sim_.RunTicks(1);
  for (int g : {0, 1}) EXPECT_TRUE(Shows(g, "Pause at TOD (ON) >")) << g;
}

}  // namespace
}  // namespace ovi::fms::test
