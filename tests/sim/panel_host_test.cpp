// The host's side of the instruments, driven in-process through the fake
// module's FAKE_CDU: nested and relative mouse rectangles, overlaps, repeats
// and cursors; icons and string elements; the PC keyboard; the text record.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/ipc/keyboard.h"
#include "sim/simulator.h"
#include "tests/sim/fake_module.h"
#include "tests/sim/test_support.h"

namespace ovi::sim {
namespace {

// FAKE_CDU's 300 x 200 design box drawn 600 wide: two panel pixels a design pixel.
const char kPanel[] = R"([Window00]
size_mm=800,600
gauge00=fake_module!FAKE_CDU, 20, 30, 600
)";

std::uint32_t Pixel(const gfx::DeviceContext& dc, int x, int y) { return dc.pixels[y * dc.width + x]; }

class PanelHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The module sits in GAUGES under the simulator folder, the current
    // folder, where its keyboard set-up looks for its own file.
    std::filesystem::create_directories(folder / "GAUGES");
    std::filesystem::create_symlink(FAKE_MODULE_PATH, folder / "GAUGES/fake_module.gau");
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    test::WriteSolidBitmap(folder / "res/9101.png", 30, 20, 0xFF404040u);  // grey bezel
    test::WriteSolidBitmap(folder / "res/9102.png", 2, 1, 0xFFFF0000u);    // red lamp
    Load(folder / "GAUGES/fake_module.gau");
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  void Load(const std::string& path) {
    std::string error;
    ASSERT_TRUE(sim.Load(path, error)) << error;
    auto reset = reinterpret_cast<FakeModuleResetFn>(::dlsym(sim.module().handle, "FakeModuleReset"));
    auto get = reinterpret_cast<FakeModuleRecordFn>(::dlsym(sim.module().handle, "FakeModuleRecord"));
    ASSERT_TRUE(reset && get);
    reset();
    rec = get();
  }

  void Install(const std::string& text = kPanel) {
    PanelConfig panel;
    std::string error;
    ASSERT_TRUE(ParsePanelConfig(text, "panel.cfg", panel, error)) << error;
    sim.SetResources(folder / "res");
    sim.Install(panel, warnings);
    sim.Connect();
  }

  // A click at design pixels of FAKE_CDU (panel pixels are twice as many).
  ClickResult At(double x, double y, double hold = 0.0) { return sim.Click(0, 2 * x, 2 * y, MOUSE_LEFTSINGLE, hold); }

  void Key(const char* name, bool down) { sim.SetKeyboardKey(*FindKeyboardKey(name), down); }
  void Type(const std::string& keys) {
    for (char c : keys) {
      const KeyboardKey* k = KeyForCharacter(c);
      sim.SetKeyboardKey(*k, true);
      sim.RunTicks(1);
      sim.SetKeyboardKey(*k, false);
      sim.RunTicks(1);
    }
  }

  bool Shows(const std::string& text) {
    auto texts = sim.Texts(0);
    return std::any_of(texts.begin(), texts.end(), [&](const TextEntry& t) { return t.text == text; });
  }

  test::ScratchDir folder{"panel_host"};
  std::filesystem::path previous_;
  Simulator sim;
  FakeRecord* rec = nullptr;
  std::vector<std::string> warnings;
};

// A gauge over another in one window is reported at install, unless the
// window says the two are meant to overlap; gauges that only touch, or lie
// in different windows, are not. FAKE_CDU is 300 x 200 design pixels.
TEST_F(PanelHostTest, GaugesOverOneAnotherAreReportedUnlessMeant) {
  struct Case {
    const char* panel;
    std::vector<const char*> reported;  // each as "line: gauge B overlaps gauge A"
  };
  const std::string header = "[Window00]\nsize_mm=2000,2000\n";
  const Case cases[] = {
      {"gauge00=fake_module!FAKE_CDU, 0, 0, 300\ngauge01=fake_module!FAKE_CDU, 299, 199, 300\n",
       {"panel.cfg:4: gauge FAKE_CDU overlaps gauge FAKE_CDU (gauge00, line 3)"}},
      {"gauge00=fake_module!FAKE_CDU, 0, 0, 300\ngauge01=fake_module!FAKE_CDU, 300, 0, 300\n"
       "gauge02=fake_module!FAKE_CDU, 0, 200, 300\n",
       {}},
      {"gauge00=fake_module!FAKE_CDU, 0, 0, 300\ngauge01=fake_module!FAKE_CDU, 100, 50, 30, 20\n"
       "gauge02=fake_module!FAKE_CDU, 250, 150, 300\noverlaps=gauge01:gauge00\n",
       {"panel.cfg:5: gauge FAKE_CDU overlaps gauge FAKE_CDU (gauge00, line 3)"}},
      {"gauge00=fake_module!FAKE_CDU, 0, 0, 300\n[Window01]\nsize_mm=300,200\n"
       "gauge00=fake_module!FAKE_CDU, 0, 0, 300\n",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.panel);
    Simulator fresh;
    std::string error;
    ASSERT_TRUE(fresh.Load(folder / "GAUGES/fake_module.gau", error)) << error;
    PanelConfig panel;
    ASSERT_TRUE(ParsePanelConfig(header + c.panel, "panel.cfg", panel, error)) << error;
    std::vector<std::string> reported;
    fresh.Install(panel, reported);
    ASSERT_EQ(reported.size(), c.reported.size());
    for (std::size_t i = 0; i < reported.size(); ++i)
      EXPECT_EQ(reported[i].rfind(c.reported[i], 0), 0u) << reported[i];
    fresh.Disconnect();
  }
}

TEST_F(PanelHostTest, ChildrenAreRelativeToTheParentsBeforeThem) {
  Install();
  EXPECT_TRUE(warnings.empty());
  // Key A: a child at (0, 0) of its parent at (0, 0) of the block at (100, 100).
  ClickResult r = At(105, 107);
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(r.rect, 3);
  EXPECT_EQ(r.cursor, CURSOR_HAND);
  ASSERT_FALSE(rec->events.empty());
  EXPECT_EQ(rec->events.back(), "cdu A 5 7 0x20000000");  // relative to the child
  // The same child read as if its place were absolute would sit at (0, 0).
  EXPECT_FALSE(At(5, 7).hit);
  // B and C follow in the block; C's child is narrower than its parent.
  At(130, 100);
  At(179.9, 119.9);
  EXPECT_EQ(rec->scratchpad, "ABC");
  EXPECT_FALSE(At(180, 110).hit);   // C's parent, outside its child
  EXPECT_FALSE(At(190, 110).hit);   // right edge of the block: outside
  EXPECT_FALSE(At(129.9, 120).hit);  // bottom edge of A: outside
  // West and north of the gauge's corner nothing is hit; the enclosing
  // parent of 0 x 0 has no handler of its own.
  EXPECT_FALSE(At(-0.5, -0.5).hit);
  EXPECT_FALSE(At(50, 150).hit);
  EXPECT_EQ(sim.CursorAt(0, 100, 300), CURSOR_NONE);
  EXPECT_EQ(rec->scratchpad, "ABC");
}

TEST_F(PanelHostTest, OverlapsGoToTheFirstRectangleInListOrder) {
  Install();
  // The inner knob (217..251) lies inside the outer one (200..268): the outer
  // knob's halves come first in the list and take the clicks.
  At(220, 120);
  At(245, 120);
  EXPECT_EQ(rec->mode, 0);  // one down, one up
  EXPECT_EQ(rec->range, 0);
  EXPECT_EQ(std::count(rec->events.begin(), rec->events.end(), "cdu MODE- 20 20 0x20000000"), 1);
  EXPECT_EQ(sim.CursorAt(0, 2 * 220, 240), CURSOR_DOWNARROW);
  EXPECT_EQ(sim.CursorAt(0, 2 * 245, 240), CURSOR_UPARROW);
  // Only the column between the outer halves (x 234) reaches the inner knob.
  ClickResult r = At(234.5, 120);
  EXPECT_TRUE(r.hit);
  EXPECT_EQ(rec->range, 1);
  EXPECT_EQ(rec->events.back(), "cdu RANGE+ 0 20 0x20000000");
  EXPECT_EQ(r.cursor, CURSOR_UPARROW);
}

TEST_F(PanelHostTest, HeldRepeatingKeyAndCursorOverIt) {
  Install();
  At(100, 100);
  At(100, 100);
  At(100, 100);
  At(100, 100);
  ASSERT_EQ(rec->scratchpad, "AAAA");
  // CLR repeats while held: the press, then after 9 ticks and every 3 more.
  ClickResult r = At(130, 160, 1.0);
  EXPECT_EQ(r.cursor, CURSOR_HAND);
  sim.RunTicks(18);
  EXPECT_EQ(rec->scratchpad, "");
  EXPECT_EQ(std::count_if(rec->events.begin(), rec->events.end(),
                          [](const std::string& e) { return e.rfind("cdu CLR 30 20", 0) == 0; }),
            4);
}

TEST_F(PanelHostTest, IconsShowWhileTheModuleClearsTheirHiddenBit) {
  Install();
  sim.RunTicks(1);
  // The EXEC lamp at (240, 20), 20 x 10 design pixels, over the grey bezel.
  EXPECT_EQ(Pixel(*sim.ComposeGauge(0), 2 * 245, 2 * 25), 0xFF404040u);
  At(100, 100);
  sim.RunTicks(1);
  EXPECT_EQ(Pixel(*sim.ComposeGauge(0), 2 * 245, 2 * 25), 0xFFFF0000u);
  EXPECT_EQ(Pixel(*sim.ComposeGauge(0), 2 * 239, 2 * 25), 0xFF404040u);  // just west of it
  At(130, 160);
  sim.RunTicks(1);
  EXPECT_EQ(Pixel(*sim.ComposeGauge(0), 2 * 245, 2 * 25), 0xFF404040u);
  // The failure record of the screen is kept, not acted on.
  EXPECT_EQ(sim.gauges()[0].elements[1]->failures[0].key, 21);
  EXPECT_TRUE(sim.missing_bitmaps().empty());
}

TEST_F(PanelHostTest, StringElementsUpdateEveryFrameAndDrawTheirText) {
  Install();
  sim.RunTicks(3);
  EXPECT_EQ(rec->label_updates, 3);
  const ELEMENT_HEADER* label = sim.gauges()[0].elements[3];
  EXPECT_EQ(label->string.value, 7.0);  // returned unchanged, truncated
  EXPECT_FALSE(Shows("ON"));
  At(100, 30);  // the screen: keyboard entry on
  sim.RunTicks(1);
  auto texts = sim.Texts(0);
  auto on = std::find_if(texts.begin(), texts.end(), [](const TextEntry& t) { return t.text == "ON"; });
  ASSERT_NE(on, texts.end());
  EXPECT_EQ(on->element, 3);
  EXPECT_EQ(on->colour, 0xFF00FA00u);
  EXPECT_EQ(on->font, "Arial");
  EXPECT_EQ(on->style, 1);  // bold
  // Centred in its 40 x 16 box at (240, 40).
  EXPECT_GT(on->x, 240.0);
  EXPECT_LT(on->x, 260.0);
  EXPECT_GE(on->y, 40.0);
  EXPECT_LT(on->y, 56.0);
  // The label's pixels are its own background and text over the bezel.
  EXPECT_EQ(Pixel(*sim.ComposeGauge(0), 2 * 241, 2 * 41), 0xFF000000u);
  At(100, 30);  // off again: hidden, gone from the record
  sim.RunTicks(1);
  EXPECT_FALSE(Shows("ON"));
  EXPECT_EQ(Pixel(*sim.ComposeGauge(0), 2 * 241, 2 * 41), 0xFF404040u);
}

TEST_F(PanelHostTest, TextRecordHoldsTheLastFrameWithPlaceAndColour) {
  Install();
  At(100, 100);
  At(130, 100);
  sim.RunTicks(1);
  auto texts = sim.Texts(0);
  ASSERT_EQ(texts.size(), 1u);
  const TextEntry& t = texts[0];
  EXPECT_EQ(t.text, "SP AB");
  EXPECT_EQ(t.element, 1);
  EXPECT_EQ(t.colour, 0xFF00FA00u);
  EXPECT_EQ(t.font, "Courier New");
  EXPECT_DOUBLE_EQ(t.size, 14.0);
  // Drawn at (5, 5) of the screen's 200 x 60 canvas; the screen sits at (20, 10).
  EXPECT_NEAR(t.canvas_x, 5.0, 1e-3);
  EXPECT_NEAR(t.canvas_y, 5.0, 1e-3);
  EXPECT_NEAR(t.x, 25.0, 1e-3);
  EXPECT_NEAR(t.y, 15.0, 1e-3);
  std::string line = test::Lines(FormatTextRecord(texts)).at(1);
  EXPECT_EQ(line.substr(0, 12), "1 25.0 15.0 ");
  EXPECT_NE(line.find(" 5.0 5.0 0xFF00FA00 14.0 0 whole \"Courier New\" \"SP AB\""), std::string::npos) << line;

  // A closed window draws nothing: the record keeps what the picture shows.
  sim.SetWindowVisible(0, false);
  rec->scratchpad += "X";
  sim.RunTicks(2);
  EXPECT_TRUE(Shows("SP AB"));
  sim.SetWindowVisible(0, true);
  sim.RunTicks(1);
  EXPECT_TRUE(Shows("SP ABX"));
  EXPECT_FALSE(Shows("SP AB"));
}

TEST_F(PanelHostTest, TypedTextReachesTheModuleAndIsCutToItsField) {
  Install();
  At(100, 30);
  sim.RunTicks(1);
  EXPECT_EQ(rec->keyboard_status, "");
  EXPECT_EQ(ipc::KeyboardHookCount(), 1);
  EXPECT_EQ(ipc::KeyboardDeviceCount(), 1);
  Type("KSEA12345");
  EXPECT_EQ(rec->entry, "KSEA123");  // seven characters: the module's field
  EXPECT_TRUE(Shows("KB KSEA123"));
  // The hook sees the key state with the key already down, and S keeps its
  // toggle bit once pressed: from S on every message is discarded.
  EXPECT_EQ(rec->hook_calls, 18);
  EXPECT_EQ(rec->hook_discards, 16);  // K down and up went through
  // Held Backspace takes one character a frame.
  Key("BACKSPACE", true);
  sim.RunTicks(3);
  Key("BACKSPACE", false);
  EXPECT_EQ(rec->entry, "KSEA");
  // With Shift held nothing is typed and the hook lets every message pass.
  int discards = rec->hook_discards;
  Key("LSHIFT", true);
  Type("G");
  Key("LSHIFT", false);
  EXPECT_EQ(rec->entry, "KSEA");
  EXPECT_EQ(rec->hook_discards, discards + 1);  // only Shift's own release
  // Enter ends the entry: the hook and the device go.
  Key("ENTER", true);
  sim.RunTicks(1);
  Key("ENTER", false);
  EXPECT_EQ(rec->entries_done, 1);
  EXPECT_FALSE(rec->keyboard_entry);
  EXPECT_EQ(ipc::KeyboardHookCount(), 0);
  EXPECT_EQ(ipc::KeyboardDeviceCount(), 0);
}

TEST_F(PanelHostTest, ALostDeviceIsAcquiredAgainAndThatPollTypesNothing) {
  Install();
  At(100, 30);
  sim.RunTicks(1);
  ipc::LoseKeyboardDevices();
  Key("A", true);
  sim.RunTicks(1);
  EXPECT_EQ(rec->lost_polls, 1);
  EXPECT_EQ(rec->entry, "");
  Key("A", false);
  Type("B");
  EXPECT_EQ(rec->entry, "B");
}

TEST_F(PanelHostTest, AModuleOutsideTheGaugesFolderFindsNoKeyboard) {
  sim.~Simulator();
  new (&sim) Simulator();
  // Loaded from elsewhere, while GAUGES under the current folder holds another file.
  std::filesystem::create_directories(folder / "elsewhere");
  std::filesystem::copy_file(FAKE_MODULE_PATH, folder / "elsewhere/fake_module.gau");
  Load(folder / "elsewhere/fake_module.gau");
  Install();
  At(100, 30);
  sim.RunTicks(1);
  EXPECT_EQ(rec->keyboard_status, "input failed");
  Type("A");
  EXPECT_EQ(rec->entry, "");
  EXPECT_EQ(rec->polls, 0);
}

TEST_F(PanelHostTest, MalformedListsStopAtTheirLimitsWithAMessage) {
  Install(R"([Window00]
size_mm=400,400
gauge00=fake_module!FAKE_NO_END, 0, 0, 100, 100
gauge01=fake_module!FAKE_DEEP, 100, 0, 100, 100
gauge02=fake_module!FAKE_STRAY_END, 200, 0, 100, 100
gauge03=fake_module!FAKE_CYCLE, 0, 100, 100, 50
gauge04=fake_module!FAKE_CYCLE, 100, 100, 100, 50
)");
  ASSERT_EQ(warnings.size(), 5u);
  EXPECT_EQ(warnings[0], "panel.cfg:3: gauge FAKE_NO_END: mouse rectangles: no end entry within 1024 entries; the "
                         "rest is ignored");
  EXPECT_EQ(warnings[1], "panel.cfg:4: gauge FAKE_DEEP: mouse rectangles: entry 16 opens a parent deeper than 16 "
                         "levels; the rest is ignored");
  EXPECT_EQ(warnings[2], "panel.cfg:5: gauge FAKE_STRAY_END: mouse rectangles: entry 3 closes a parent that is not "
                         "open; the rest is ignored");
  EXPECT_EQ(warnings[3], "panel.cfg:6: gauge FAKE_CYCLE: element tree: an element links back to an element above "
                         "it (a cycle): that link is not followed");
  // What was read before the fault still works.
  EXPECT_EQ(sim.gauges()[0].mouse.size(), 1024u);
  EXPECT_TRUE(sim.Click(0, 2, 2, MOUSE_LEFTSINGLE, 0).hit);
  EXPECT_FALSE(sim.Click(1, 20, 20, MOUSE_LEFTSINGLE, 0).hit);  // the key lay too deep
  EXPECT_TRUE(sim.Click(2, 15, 15, MOUSE_LEFTSINGLE, 0).hit);
  EXPECT_FALSE(sim.Click(2, 45, 45, MOUSE_LEFTSINGLE, 0).hit);  // after the stray end
  // The second instance's copy of the tree is cut at the same link.
  const GaugeInstance& copy = sim.gauges()[4];
  ASSERT_EQ(sim.gauges()[3].elements.size(), 3u);
  ASSERT_EQ(copy.elements.size(), 3u);
  EXPECT_NE(copy.elements[2], sim.gauges()[3].elements[2]);
  ASSERT_NE(copy.elements[2]->next_element, nullptr);
  EXPECT_EQ(copy.elements[2]->next_element[0], nullptr);
  sim.RunTicks(1);
  EXPECT_TRUE(sim.ComposeWindow(0));
}

TEST_F(PanelHostTest, NamedVariablesCanBeRemovedAndComeBackUnderTheirId) {
  Install();
  PANELS* p = sim.panels();
  std::int32_t a = p->register_named_variable("MFDX2 mode");
  std::int32_t b = p->register_named_variable("other");
  p->set_named_variable_value(a, 2.0);
  p->set_named_variable_value(b, 5.0);
  p->unregister_var_by_name("MFDx2 MODE");  // names ignore case here too
  EXPECT_EQ(p->check_named_variable("MFDX2 mode"), -1);
  EXPECT_EQ(p->get_named_variable_value(a), 0.0);
  p->set_named_variable_value(a, 3.0);  // a stale id writes nothing
  EXPECT_EQ(p->get_named_variable_value(b), 5.0);
  EXPECT_EQ(p->register_named_variable("MFDX2 mode"), a);
  EXPECT_EQ(p->get_named_variable_value(a), 0.0);
  // Removing an absent name, or twice, is harmless; the module's own removal
  // at disconnect takes its variable away.
  p->unregister_var_by_name("absent");
  p->unregister_var_by_name(nullptr);
  EXPECT_EQ(p->check_named_variable("other"), b);
}

}  // namespace
}  // namespace ovi::sim
