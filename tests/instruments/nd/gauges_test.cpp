// The B737 ND gauges and the EFIS control panel as the host calls them:
// variants by parameter and windows, bit 31, the window key, the aircraft
// name rules, the knob images and the "ON" labels.
#include "src/host/panel_services.h"
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

}  // namespace
}  // namespace ovi::nd::test
