// The B737 ND gauges and the EFIS control panel as the host calls them:
// variants by parameter and windows, bit 31, the window key, the aircraft
// name rules, the knob images and the "ON" labels.
#include <cstdio>
#include <cstring>

#include "src/display/state.h"
#include "src/host/panel_services.h"
#include "src/host/traffic_link.h"
#include "src/instruments/nd/b737_efis_panel.h"
#include "src/instruments/nd/gauges.h"
#include "src/navdb/state.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

GAUGEHDR* const kNdGauges[] = {&hw_b737_nd_gauge, &hw_b737_nd_br_gauge, &hw_b737_nd_nb_gauge};
GAUGEHDR* const kPanels[] = {&hw_b737_efis_cntr_gauge, &hw_b737_efis_cntr_br_gauge};

class GaugesTest : public NdTest {
 public:
  void SetUp() override {
    NdTest::SetUp();
    host.tokens[773] = 1.0;  // display power
    // The one-time loads were done by an earlier gauge.
    model().ConfigLoaded = 1;
    navdb::navdb_state.AirportCount = 1;
    plan().FlightPlanLibraryCount = 1;
  }
  // One pre-draw of a gauge with `parameter` on a recording surface: what
  // it left there, "kept" (nothing drawn), "blank" or "drawn".
  std::string PreDraw(GAUGEHDR* gauge, const char* parameter, bool with_surface = true) {
    ELEMENT_HEADER* screen = host::NextElement(host::FirstElement(gauge));
    gfx::DeviceContext surface(247, 294);
    surface.recorder = &rec;
    rec.Clear();
    screen->image = {{247, 294}, with_surface ? &surface : nullptr};
    screen->image_flags |= IMAGE_ON_SCREEN;
    gauge->parameters = parameter;
    host.tokens[1] += 1.0;  // a new tick
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_DRAW, 0);
    screen->image.dc = nullptr;
    EXPECT_EQ(screen->image_flags, 0x24u);  // bit 31 cleared whatever happened
    if (rec.Size() == 0) return "kept";
    if (rec.Size() == 1 && rec.Ops()[0].kind == gfx::OpKind::Clear) return "blank";
    return rec.FindText("HDG") ? "drawn" : "other";
  }
};

TEST_F(GaugesTest, VariantByParameterAndWindows) {
  struct Case {
    const char* parameter;
    bool main, popup;
    const char* result;
  } cases[] = {
      {"VC", true, false, "kept"},       {"VC", false, false, "drawn"},   {"VC", true, true, "blank"},
      {"WN", true, true, "drawn"},       {"VC2", true, true, "drawn"},    {"", true, true, "blank"},
      {"B737-800", true, true, "blank"}, {"B737-800", true, false, "drawn"},
      {"vc", true, false, "drawn"},      {"VC ", true, false, "drawn"},   {"WN ", false, true, "blank"},
  };
  for (GAUGEHDR* gauge : kNdGauges) {
    for (const Case& c : cases) {
      host.visible_windows.clear();
      if (c.main) host.visible_windows.insert(0);
      if (c.popup) host.visible_windows.insert(kB737NdWindow);
      EXPECT_EQ(PreDraw(gauge, c.parameter), c.result)
          << gauge->gauge_name << " \"" << c.parameter << "\" " << c.main << c.popup;
    }
    EXPECT_EQ(PreDraw(gauge, "WN", false), "kept");  // no surface: nothing, bit 31 still cleared
  }
}

TEST_F(GaugesTest, TheScreenAreaTogglesThePopUpAndPassesTheHostsResult) {
  host.toggle_result = 7;
  for (GAUGEHDR* gauge : kNdGauges) {
    const MOUSERECT& area = gauge->mouse_rect[1];
    PIXPOINT p{0, 0};
    EXPECT_EQ(area.handler(&p, MOUSE_LEFTSINGLE), 7);
    EXPECT_EQ(gauge->mouse_rect[2].rect_type, MOUSE_RECT_EOL);
  }
  EXPECT_EQ(host.toggles, (std::vector<std::uint32_t>{4011, 4011, 4011}));
}

// The MD-11 displays take their variant from window 4014 (the B737's 4011
// does not count) and their screen area toggles 4014.
TEST_F(GaugesTest, Md11DisplaysFollowTheirOwnWindow) {
  struct Case {
    const char* parameter;
    std::uint32_t window;  // 0: none open besides the main panel
    const char* result;
  } cases[] = {
      {"VC", 0, "kept"},     {"VC", kMd11NdWindow, "blank"},  {"WN", kMd11NdWindow, "drawn"},
      {"VC2", kMd11NdWindow, "drawn"}, {"", kMd11NdWindow, "blank"}, {"", kB737NdWindow, "drawn"},
      {"WN", kB737NdWindow, "drawn"},
  };
  host.toggle_result = 3;
  for (GAUGEHDR* gauge : {&hw_md11_nd_gauge, &hw_md11_nd_nb_gauge}) {
    for (const Case& c : cases) {
      host.visible_windows = {0};
      if (c.window != 0) host.visible_windows.insert(c.window);
      EXPECT_EQ(PreDraw(gauge, c.parameter), c.result) << gauge->gauge_name << " \"" << c.parameter << "\" " << c.window;
    }
    EXPECT_EQ(PreDraw(gauge, "WN", false), "kept");  // bit 31 cleared without a surface too
    PIXPOINT p{0, 0};
    EXPECT_EQ(gauge->mouse_rect[1].handler(&p, MOUSE_LEFTSINGLE), 3);
  }
  EXPECT_EQ(host.toggles, (std::vector<std::uint32_t>{kMd11NdWindow, kMd11NdWindow}));
}

TEST_F(GaugesTest, AircraftNameRuleOfEachGauge) {
  struct Case {
    GAUGEHDR* gauge;
    const char* parameter;
    const char* name;
  } cases[] = {
      {&hw_b737_nd_gauge, "VC2", ""},           {&hw_b737_nd_br_gauge, "VC", ""},
      {&hw_b737_nd_nb_gauge, "WN", ""},         {&hw_b737_efis_cntr_gauge, "VC2", "VC2"},
      {&hw_b737_efis_cntr_br_gauge, "VC2", "VC2"}, {&hw_b737_efis_cntr_gauge, "WN", ""},
  };
  for (const Case& c : cases) {
    model().AircraftConfigName.clear();
    c.gauge->parameters = c.parameter;
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
    EXPECT_EQ(model().AircraftConfigName, c.name) << c.gauge->gauge_name << " " << c.parameter;
  }
  // After "WN" a name can still be taken; once taken it stays.
  hw_b737_nd_br_gauge.parameters = "B737-800";
  hw_b737_nd_br_gauge.gauge_callback(&hw_b737_nd_br_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  hw_b737_efis_cntr_gauge.parameters = "A320";
  hw_b737_efis_cntr_gauge.gauge_callback(&hw_b737_efis_cntr_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(model().AircraftConfigName, "B737-800");
}

TEST_F(GaugesTest, KnobImagesFollowModeAndRange) {
  for (GAUGEHDR* panel : kPanels) {
    const bool br = panel == &hw_b737_efis_cntr_br_gauge;
    ELEMENT_HEADER* bg = host::FirstElement(panel);
    for (int mode = 1; mode <= 7; ++mode) {
      for (double range : {0.5, 1.0, 2.5, 5.0, 10.0, 20.0, 40.0, 80.0, 160.0, 320.0}) {
        model().HWB737NDMode = mode;
        model().NdRange = range;
        panel->gauge_callback(panel, PANEL_SERVICE_PRE_UPDATE, 0);
        std::vector<int> shown, expected;
        for (int n = 1; n <= kKnobImages; ++n)
          if ((host::NthElement(bg, n)->image_flags & IMAGE_HIDDEN) == 0) shown.push_back(n);
        if (mode <= 6) expected.push_back(mode);
        if (range == 10 || (br && range < 10)) expected.push_back(7);
        for (int i = 0; i < 4; ++i)
          if (range == 40.0 * (1 << i)) expected.push_back(8 + i);
        EXPECT_EQ(shown, expected) << panel->gauge_name << " mode " << mode << " range " << range;
      }
    }
  }
}

TEST_F(GaugesTest, OnLabelsFollowTheirSwitches) {
  ELEMENT_HEADER** children = host::FirstElement(&hw_b737_efis_cntr_gauge)->next_element;
  std::int32_t* switches[] = {&model().NdShowNavaids, &model().NdShowAirports, &model().NdShowIntersections};
  for (int i = 0; i < 3; ++i) {
    ELEMENT_HEADER* label = children[i + 1];
    char text[3] = "xx";
    label->string.text = text;
    label->string.value = 7.9;
    *switches[i] = 1;
    EXPECT_EQ(label->string.update(label), 7.0);  // the value, unchanged but truncated
    EXPECT_STREQ(text, "ON");
    EXPECT_EQ(label->image_flags & IMAGE_HIDDEN, 0u);
    for (std::int32_t off : {0, 2}) {  // only 1 shows the label
      *switches[i] = off;
      label->string.value = -2.5;
      EXPECT_EQ(label->string.update(label), -2.0);
      EXPECT_NE(label->image_flags & IMAGE_HIDDEN, 0u);
    }
    label->string.text = nullptr;
  }
}


// What each gauge does at the services other than pre-draw: the displays
// take the folder at pre-install, hook the traffic provider and share the
// drawing layer; the control panels do none of it. Every call writes the
// gauge's own log line while the log is open.
TEST_F(GaugesTest, ServicesOfTheDisplaysAndThePanels) {
  static int provider_block = 0;
  auto entry = +[](const char*, std::uint32_t* result) -> void* {
    *result = 0;
    return &provider_block;
  };
  void* p;
  std::memcpy(&p, &entry, sizeof p);
  host.registered[host::kTrafficProviderVariable] = {p, VAR_TYPE_FUNCTION};
  struct Case {
    GAUGEHDR* gauge;
    const char* log_line;
    bool display;
  } cases[] = {
      {&hw_b737_nd_gauge, "hw_b737_ehsi_callback \n", true},
      {&hw_b737_nd_br_gauge, "hw_b737_ehsi_br_callback \n", true},
      {&hw_b737_nd_nb_gauge, "hw_b737_ehsi_nb_callback \n", true},
      {&hw_b737_efis_cntr_gauge, "hw_b737_ehsi_cntr_callback \n", false},
      {&hw_b737_efis_cntr_br_gauge, "hw_b737_ehsi_cntr_br_callback \n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gauge->gauge_name);
    ResetModuleState();
    host.Bind();
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    host::host_state.LogFile = log;
    for (std::int32_t service : {PANEL_SERVICE_PRE_INSTALL, PANEL_SERVICE_POST_INSTALL,
                                 PANEL_SERVICE_CONNECT_TO_WINDOW, PANEL_SERVICE_POST_INITIALIZE})
      c.gauge->gauge_callback(c.gauge, service, 0);
    EXPECT_EQ(!host::host_state.SimulatorFolder.empty(), c.display);
    EXPECT_EQ(host::host_state.TrafficProviderHandle == &provider_block, c.display);
    EXPECT_EQ(display::display_state.GdiplusToken != 0, c.display);
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_DISCONNECT, 0);
    EXPECT_EQ(display::display_state.GdiplusToken, 0u);

    std::fflush(log);
    std::rewind(log);
    char text[256] = {};
    const std::size_t n = std::fread(text, 1, sizeof text - 1, log);
    std::string expected;
    for (int i = 0; i < 5; ++i) expected += c.log_line;
    EXPECT_EQ(std::string(text, n), expected);
  }
}

// Closing the pop-up display disconnects its gauge; the main panel's display
// still draws, so the drawing layer stays until the last display goes.
TEST_F(GaugesTest, ClosingThePopUpKeepsTheDrawingLayerForTheMainPanel) {
  hw_b737_nd_gauge.gauge_callback(&hw_b737_nd_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW, 0);
  const std::uintptr_t token = display::display_state.GdiplusToken;
  ASSERT_NE(token, 0u);
  hw_b737_nd_nb_gauge.gauge_callback(&hw_b737_nd_nb_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW, 0);
  EXPECT_EQ(display::display_state.GdiplusToken, token);  // started once
  hw_b737_nd_nb_gauge.gauge_callback(&hw_b737_nd_nb_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_EQ(display::display_state.GdiplusToken, token);
  host.visible_windows = {0};
  EXPECT_EQ(PreDraw(&hw_b737_nd_gauge, "B737-800"), "drawn");
  hw_b737_nd_gauge.gauge_callback(&hw_b737_nd_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_EQ(display::display_state.GdiplusToken, 0u);
  hw_b737_nd_gauge.gauge_callback(&hw_b737_nd_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW, 0);
  EXPECT_NE(display::display_state.GdiplusToken, 0u);  // a later connect starts it again
  hw_b737_nd_gauge.gauge_callback(&hw_b737_nd_gauge, PANEL_SERVICE_DISCONNECT, 0);
}

// Every click area of the control panel as its table gives it (place,
// cursor, left single click) and what a click does to the shared state:
// the mode and range at the ends of their ladders, and each layer key on
// every display family and its named variable.
TEST_F(GaugesTest, ControlPanelClickAreas) {
  for (const char* name : {"ovi_nd_apt", "ovi_nd_nav", "ovi_nd_int", "ovi_nd_tcas"}) host.SetNamed(name, 0.0);
  model::State& m = model();
  struct Case {
    PIXPOINT at;
    PIXSIZE size;
    std::int32_t cursor;
    void (*before)(model::State&);
    void (*check)(const model::State&, const testing::FakeHost&);
  } cases[] = {
      // Mode down: 5 -> 4; 1 stays.
      {{145, 35}, {26, 44}, CURSOR_DOWNARROW, [](model::State& s) { s.HWB737NDMode = 5; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.HWB737NDMode, 4); }},
      {{145, 35}, {26, 44}, CURSOR_DOWNARROW, [](model::State& s) { s.HWB737NDMode = 1; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.HWB737NDMode, 1); }},
      // Mode up: 6 -> 7 (PLAN); 7 stays.
      {{172, 35}, {26, 44}, CURSOR_UPARROW, [](model::State& s) { s.HWB737NDMode = 6; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.HWB737NDMode, 7); }},
      {{172, 35}, {26, 44}, CURSOR_UPARROW, [](model::State& s) { s.HWB737NDMode = 7; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.HWB737NDMode, 7); }},
      // Range down: 20 -> 10 whatever the shortest range; 10 stays at the
      // default MinMapRange of 10; 1 -> 0.5 only when MinMapRange is 0.5.
      {{238, 35}, {26, 44}, CURSOR_DOWNARROW, [](model::State& s) { s.NdRange = 20.0, s.MinMapRange = 40.0; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.NdRange, 10.0); }},
      {{238, 35}, {26, 44}, CURSOR_DOWNARROW, [](model::State& s) { s.NdRange = 10.0, s.MinMapRange = 10.0; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.NdRange, 10.0); }},
      {{238, 35}, {26, 44}, CURSOR_DOWNARROW, [](model::State& s) { s.NdRange = 5.0, s.MinMapRange = 2.5; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.NdRange, 2.5); }},
      {{238, 35}, {26, 44}, CURSOR_DOWNARROW, [](model::State& s) { s.NdRange = 1.0, s.MinMapRange = 0.6; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.NdRange, 1.0); }},
      {{238, 35}, {26, 44}, CURSOR_DOWNARROW, [](model::State& s) { s.NdRange = 1.0, s.MinMapRange = 0.5; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.NdRange, 0.5); }},
      // Range up: 160 -> 320; 320 stays; the MD-11's ladder steps too.
      {{265, 35}, {26, 44}, CURSOR_UPARROW, [](model::State& s) { s.NdRange = 160.0, s.Md11NdRange = 320.0; },
       [](const model::State& s, const testing::FakeHost&) {
         EXPECT_EQ(s.NdRange, 320.0);
         EXPECT_EQ(s.Md11NdRange, 640.0);
       }},
      {{265, 35}, {26, 44}, CURSOR_UPARROW, [](model::State& s) { s.NdRange = 320.0; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.NdRange, 320.0); }},
      // The layer keys.
      {{256, 174}, {34, 36}, CURSOR_HAND, [](model::State&) {},
       [](const model::State& s, const testing::FakeHost& h) {
         EXPECT_EQ(s.NdShowIntersections, 1);
         EXPECT_EQ(s.Md11NdShowIntersections, 1);
         EXPECT_EQ(s.Du1000ShowIntersections, 1);
         EXPECT_EQ(h.Named("ovi_nd_int"), 1.0);
       }},
      {{190, 174}, {34, 36}, CURSOR_HAND, [](model::State&) {},
       [](const model::State& s, const testing::FakeHost& h) {
         EXPECT_EQ(s.NdShowAirports, 0);
         EXPECT_EQ(s.Md11NdShowAirports, 0);
         EXPECT_EQ(s.Du1000ShowAirports, 0);
         EXPECT_EQ(h.Named("ovi_nd_apt"), 0.0);
       }},
      {{157, 174}, {34, 36}, CURSOR_HAND, [](model::State& s) { s.NdShowNavaids = 0; },
       [](const model::State& s, const testing::FakeHost& h) {
         EXPECT_EQ(s.NdShowNavaids, 1);
         EXPECT_EQ(s.Md11NdShowNavaids, 0);  // every family flips its own
         EXPECT_EQ(h.Named("ovi_nd_nav"), 1.0);
       }},
      {{122, 174}, {34, 36}, CURSOR_HAND, [](model::State& s) { s.EfisAuxFlag = 1; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.EfisAuxFlag, 0); }},
      {{223, 174}, {34, 36}, CURSOR_HAND, [](model::State&) {},
       [](const model::State& s, const testing::FakeHost&) {
         EXPECT_EQ(s.ShowAtcBoundaries, 1);
         EXPECT_EQ(s.Md80EhsiShowBoundaries, 1);
       }},
      {{256, 48}, {14, 14}, CURSOR_HAND, [](model::State&) {},
       [](const model::State& s, const testing::FakeHost& h) {
         EXPECT_EQ(s.NdShowTraffic, 1);
         EXPECT_EQ(h.Named("ovi_nd_tcas"), 1.0);
       }},
      {{245, 109}, {38, 38}, CURSOR_HAND, [](model::State& s) { s.NdRangeRingsShown = 1; },
       [](const model::State& s, const testing::FakeHost&) { EXPECT_EQ(s.NdRangeRingsShown, 0); }},
  };
  for (GAUGEHDR* panel : kPanels) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << panel->gauge_name << " area at " << c.at.x << "," << c.at.y);
      const MOUSERECT* area = nullptr;
      for (const MOUSERECT* r = panel->mouse_rect; r->rect_type != MOUSE_RECT_EOL; ++r)
        if (r->rect_type == MOUSE_RECT_CHILD && r->position.x == c.at.x && r->position.y == c.at.y &&
            r->size.x == c.size.x && r->size.y == c.size.y)
          area = r;
      ASSERT_NE(area, nullptr);
      EXPECT_EQ(area->cursor, c.cursor);
      EXPECT_EQ(area->event_flags, MOUSE_LEFTSINGLE);
      c.before(m);
      PIXPOINT point{1, 1};
      EXPECT_EQ(area->handler(&point, MOUSE_LEFTSINGLE), 0);
      c.check(m, host);
      ResetModuleState();
      host.Bind();
    }
  }
}

}  // namespace
}  // namespace ovi::nd::test
