// The B737 ND gauges and the EFIS control panel as the host calls them:
// variants by parameter and windows, bit 31, the window key, the aircraft
// name rules, the knob images and every click area.
#include <map>

#include "src/instruments/nd/b737_efis_panel.h"
#include "src/instruments/nd/gauges.h"
#include "src/host/panel_services.h"
#include "src/navdb/state.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {
namespace {

constexpr std::uint32_t kTokenDisplayPower = 773;
constexpr std::uint32_t kMainWindow = 0;

GAUGEHDR* const kNdGauges[] = {&hw_b737_nd_gauge, &hw_b737_nd_br_gauge, &hw_b737_nd_nb_gauge};
GAUGEHDR* const kPanels[] = {&hw_b737_efis_cntr_gauge, &hw_b737_efis_cntr_br_gauge};

class GaugesTest : public NdTest {
 public:
  void SetUp() override {
    NdTest::SetUp();
    host.tokens[kTokenDisplayPower] = 1.0;
    // The one-time loads have been done by an earlier gauge.
    model().ConfigLoaded = 1;
    navdb::navdb_state.AirportCount = 1;
    plan().FlightPlanLibraryCount = 1;
  }

  // One pre-draw of a gauge with `parameter`, its screen on a recording
  // surface that already holds a picture. What the draw left: "kept" (the
  // old picture untouched), "blank" (cleared to transparent) or "drawn".
  std::string PreDraw(GAUGEHDR* gauge, const char* parameter) {
    ELEMENT_HEADER* screen = host::NextElement(host::FirstElement(gauge));
    gfx::DeviceContext surface(247, 294);
    surface.recorder = &rec;
    rec.Clear();
    screen->image.dc = &surface;
    screen->image.size = {247, 294};
    screen->image_flags |= IMAGE_ON_SCREEN;
    gauge->parameters = parameter;
    host.tokens[1] += 1.0;  // a new tick
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_DRAW, 0);
    screen->image.dc = nullptr;
    EXPECT_EQ(screen->image_flags & IMAGE_ON_SCREEN, 0u);
    EXPECT_EQ(screen->image_flags, 0x24u);
    if (rec.Size() == 0) return "kept";
    if (rec.Size() == 1 && rec.Ops()[0].kind == gfx::OpKind::Clear) return "blank";
    return rec.FindText("HDG") ? "drawn" : "other";
  }

  void Windows(bool main, bool popup) {
    host.visible_windows.clear();
    if (main) host.visible_windows.insert(kMainWindow);
    if (popup) host.visible_windows.insert(kB737NdWindow);
  }

  // Clicks the panel at (x, y) of the gauge: the first child area holding
  // the point, its position relative to the parent's.
  std::int32_t Click(GAUGEHDR* gauge, int x, int y, int* cursor = nullptr) {
    const MOUSERECT* parent = nullptr;
    for (const MOUSERECT* m = gauge->mouse_rect; m->rect_type != MOUSE_RECT_EOL; ++m) {
      if (m->rect_type == MOUSE_RECT_PARENT) {
        parent = m;
        continue;
      }
      const int left = parent->position.x + m->position.x, top = parent->position.y + m->position.y;
      if (x < left || y < top || x >= left + m->size.x || y >= top + m->size.y) continue;
      EXPECT_EQ(m->event_flags, MOUSE_LEFTSINGLE);
      if (cursor != nullptr) *cursor = m->cursor;
      PIXPOINT p{x - left, y - top};
      return m->handler(&p, MOUSE_LEFTSINGLE);
    }
    ADD_FAILURE() << "no area at " << x << "," << y;
    return -1;
  }
};

TEST_F(GaugesTest, VariantByParameterAndWindows) {
  struct Case {
    const char* parameter;
    bool main, popup;
    const char* result;
  } cases[] = {
      {"VC", true, false, "kept"},        {"VC", false, false, "drawn"},   {"VC", true, true, "blank"},
      {"VC", false, true, "blank"},       {"WN", true, true, "drawn"},     {"WN", true, false, "drawn"},
      {"VC2", true, true, "drawn"},       {"VC2", false, false, "drawn"},  {"", true, true, "blank"},
      {"B737-800", true, true, "blank"},  {"B737-800", true, false, "drawn"},
      {"vc", true, false, "drawn"},       {"VC ", true, false, "drawn"},   {"WN ", false, true, "blank"},
  };
  for (GAUGEHDR* gauge : kNdGauges) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << gauge->gauge_name << " \"" << c.parameter << "\" main " << c.main
                                        << " popup " << c.popup);
      Windows(c.main, c.popup);
      EXPECT_EQ(PreDraw(gauge, c.parameter), c.result);
    }
  }
}

TEST_F(GaugesTest, OnScreenBitIsClearedAtEveryPreDrawEvenWithoutSurface) {
  Windows(true, false);
  for (GAUGEHDR* gauge : kNdGauges) {
    SCOPED_TRACE(gauge->gauge_name);
    EXPECT_EQ(PreDraw(gauge, "VC"), "kept");  // bit checked inside
    ELEMENT_HEADER* screen = host::NextElement(host::FirstElement(gauge));
    screen->image_flags |= IMAGE_ON_SCREEN;
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_DRAW, 0);  // no device context
    EXPECT_EQ(screen->image_flags, 0x24u);
  }
}

TEST_F(GaugesTest, ElementsAndAreasAsThePanelPlacesThem) {
  struct Case {
    GAUGEHDR* gauge;
    std::uint32_t background;
    PIXPOINT screen_at, area_at;
  } cases[] = {{&hw_b737_nd_gauge, 9832, {18, 25}, {75, 100}},
               {&hw_b737_nd_br_gauge, 9833, {18, 25}, {75, 100}},
               {&hw_b737_nd_nb_gauge, 9830, {0, 0}, {60, 75}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gauge->gauge_name);
    ELEMENT_HEADER* bg = host::FirstElement(c.gauge);
    EXPECT_EQ(bg->resource_id, c.background);
    ELEMENT_HEADER* screen = host::NextElement(bg);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->resource_id, 9830u);
    EXPECT_EQ(screen->position.x, c.screen_at.x);
    EXPECT_EQ(screen->position.y, c.screen_at.y);
    EXPECT_EQ(screen->image_size.x, 247);
    EXPECT_EQ(screen->image_size.y, 294);
    EXPECT_EQ(host::NextElement(screen), nullptr);
    EXPECT_EQ(c.gauge->mouse_rect[0].position.x, c.area_at.x);
    EXPECT_EQ(c.gauge->mouse_rect[0].position.y, c.area_at.y);
    // The whole area toggles the pop-up and passes the host's result back.
    host.toggles.clear();
    host.toggle_result = 7;
    int cursor = 0;
    EXPECT_EQ(Click(c.gauge, c.area_at.x, c.area_at.y, &cursor), 7);
    EXPECT_EQ(Click(c.gauge, c.area_at.x + 99, c.area_at.y + 99), 7);
    EXPECT_EQ(cursor, CURSOR_HAND);
    EXPECT_EQ(host.toggles, (std::vector<std::uint32_t>{4011, 4011}));
  }
  EXPECT_EQ(host::NextElement(host::FirstElement(&hw_b737_nd_nb_gauge))->image_flags & ~IMAGE_ON_SCREEN, 0x24u);
  EXPECT_EQ(host::FirstElement(&hw_b737_nd_nb_gauge)->image_flags, 0x1u);
}

TEST_F(GaugesTest, AircraftNameRuleOfEachGauge) {
  struct Case {
    GAUGEHDR* gauge;
    const char* parameter;
    const char* name;
  } cases[] = {
      {&hw_b737_nd_gauge, "VC2", ""},           {&hw_b737_nd_br_gauge, "VC", ""},
      {&hw_b737_nd_nb_gauge, "WN", ""},         {&hw_b737_nd_gauge, "B737-800", "B737-800"},
      {&hw_b737_efis_cntr_gauge, "VC2", "VC2"}, {&hw_b737_efis_cntr_br_gauge, "VC2", "VC2"},
      {&hw_b737_efis_cntr_gauge, "WN", ""},     {&hw_b737_efis_cntr_br_gauge, "VC", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.gauge->gauge_name << " " << c.parameter);
    model().AircraftConfigName.clear();
    c.gauge->parameters = c.parameter;
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
    EXPECT_EQ(model().AircraftConfigName, c.name);
  }
  // After "VC" an aircraft name can still be taken; once taken it stays.
  ASSERT_EQ(model().AircraftConfigName, "");
  hw_b737_nd_br_gauge.parameters = "B737-800";
  hw_b737_nd_br_gauge.gauge_callback(&hw_b737_nd_br_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  hw_b737_efis_cntr_gauge.parameters = "A320";
  hw_b737_efis_cntr_gauge.gauge_callback(&hw_b737_efis_cntr_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(model().AircraftConfigName, "B737-800");
}

TEST_F(GaugesTest, KnobImagesFollowModeAndRange) {
  const double ranges[] = {0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320};
  for (GAUGEHDR* panel : kPanels) {
    const bool br = panel == &hw_b737_efis_cntr_br_gauge;
    ELEMENT_HEADER* bg = host::FirstElement(panel);
    for (int mode = 1; mode <= 7; ++mode) {
      for (double range : ranges) {
        SCOPED_TRACE(::testing::Message() << panel->gauge_name << " mode " << mode << " range " << range);
        model().HWB737NDMode = mode;
        model().NdRange = range;
        panel->gauge_callback(panel, PANEL_SERVICE_PRE_UPDATE, 0);
        std::vector<int> shown;
        for (int n = 1; n <= kKnobImages; ++n) {
          ELEMENT_HEADER* e = host::NthElement(bg, n);
          ASSERT_NE(e, nullptr);
          EXPECT_EQ(e->image_flags & 0x3u, 0x3u);
          if ((e->image_flags & IMAGE_HIDDEN) == 0) shown.push_back(n);
        }
        std::vector<int> expected;
        if (mode <= 6) expected.push_back(mode);
        if (range == 10 || (br && range < 10)) expected.push_back(7);
        if (range == 40) expected.push_back(8);
        if (range == 80) expected.push_back(9);
        if (range == 160) expected.push_back(10);
        if (range == 320) expected.push_back(11);
        EXPECT_EQ(shown, expected);
      }
    }
    EXPECT_EQ(host::NthElement(bg, kKnobImages + 1), nullptr);
  }
}

TEST_F(GaugesTest, KnobImagesAreSmallBitmapsAtTheirPlaces) {
  const std::uint32_t bitmaps[] = {9844, 9846, 9848, 9856, 9858, 9860, 9864, 9872, 9874, 9876, 9878};
  const PIXPOINT places[] = {{149, 40}, {148, 39}, {148, 38}, {150, 39}, {148, 40}, {148, 40},
                             {242, 35}, {244, 37}, {244, 36}, {243, 35}, {245, 36}};
  for (GAUGEHDR* panel : kPanels) {
    ELEMENT_HEADER* bg = host::FirstElement(panel);
    EXPECT_EQ(bg->resource_id, panel == &hw_b737_efis_cntr_gauge ? 9840u : 9841u);
    for (int n = 1; n <= kKnobImages; ++n) {
      const ELEMENT_HEADER* e = host::NthElement(bg, n);
      EXPECT_EQ(e->resource_id, bitmaps[n - 1]);
      EXPECT_EQ(e->position.x, places[n - 1].x);
      EXPECT_EQ(e->position.y, places[n - 1].y);
    }
  }
}

TEST_F(GaugesTest, OnLabelsFollowTheirSwitches) {
  ELEMENT_HEADER** children = host::FirstElement(&hw_b737_efis_cntr_gauge)->next_element;
  std::int32_t* switches[] = {&model().NdShowNavaids, &model().NdShowAirports, &model().NdShowIntersections};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    ELEMENT_HEADER* label = children[i + 1];
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->element_type, ELEMENT_TYPE_STRING);
    char text[3] = "xx";
    label->string.text = text;
    label->string.value = 7.9;
    *switches[i] = 1;
    EXPECT_EQ(label->string.update(label), 7.0);
    EXPECT_STREQ(text, "ON");
    EXPECT_EQ(label->image_flags & IMAGE_HIDDEN, 0u);
    *switches[i] = 0;
    label->string.value = -2.5;
    EXPECT_EQ(label->string.update(label), -2.0);
    EXPECT_NE(label->image_flags & IMAGE_HIDDEN, 0u);
    *switches[i] = 2;  // only 1 shows the label
    EXPECT_EQ(label->string.update(label), -2.0);
    EXPECT_NE(label->image_flags & IMAGE_HIDDEN, 0u);
    label->string.text = nullptr;
    *switches[i] = 1;
    label->string.update(label);  // no buffer yet: nothing written
    EXPECT_EQ(label->image_flags & IMAGE_HIDDEN, 0u);
  }
  EXPECT_EQ(children[4], nullptr);
}

TEST_F(GaugesTest, EveryClickAreaOfBothPanels) {
  for (GAUGEHDR* panel : kPanels) {
    SCOPED_TRACE(panel->gauge_name);
    ResetModuleState();
    host.Bind();
    model().MinMapRange = 10.0;
    int cursor = 0;

    model().HWB737NDMode = 1;
    EXPECT_EQ(Click(panel, 145, 35, &cursor), 0);
    EXPECT_EQ(cursor, CURSOR_DOWNARROW);
    EXPECT_EQ(model().HWB737NDMode, 1);  // stays at its lower end
    for (int up = 2; up <= 8; ++up) Click(panel, 197, 78, &cursor);
    EXPECT_EQ(cursor, CURSOR_UPARROW);
    EXPECT_EQ(model().HWB737NDMode, 7);  // and at its upper end

    model().NdRange = 20.0;
    Click(panel, 238, 35, &cursor);
    EXPECT_EQ(cursor, CURSOR_DOWNARROW);
    EXPECT_EQ(model().NdRange, 10.0);
    Click(panel, 263, 78);
    EXPECT_EQ(model().NdRange, 10.0);  // MinMapRange 10
    model().MinMapRange = 0.5;
    for (double r : {5.0, 2.5, 1.0, 0.5, 0.5}) {
      Click(panel, 250, 70);
      EXPECT_EQ(model().NdRange, r);
    }
    for (double r : {1.0, 2.5, 5.0, 10.0, 20.0, 40.0, 80.0, 160.0, 320.0, 320.0}) {
      Click(panel, 290, 40, &cursor);
      EXPECT_EQ(model().NdRange, r);
    }
    EXPECT_EQ(cursor, CURSOR_UPARROW);

    struct Key {
      int x, y;
      std::int32_t* value;
      const char* named;
    } keys[] = {
        {260, 190, &model().NdShowIntersections, "ovi_nd_int"},
        {200, 190, &model().NdShowAirports, "ovi_nd_apt"},
        {160, 190, &model().NdShowNavaids, "ovi_nd_nav"},
        {130, 190, &model().EfisAuxFlag, nullptr},
        {230, 190, &model().ShowAtcBoundaries, nullptr},
        {263, 55, &model().NdShowTraffic, "ovi_nd_tcas"},  // the range knob's centre
        {260, 120, &model().NdRangeRingsShown, nullptr},
    };
    for (const Key& k : keys) {
      SCOPED_TRACE(::testing::Message() << k.x << "," << k.y);
      host.SetNamed("ovi_nd_int", -1);
      host.SetNamed("ovi_nd_apt", -1);
      host.SetNamed("ovi_nd_nav", -1);
      host.SetNamed("ovi_nd_tcas", -1);
      const std::int32_t before = *k.value;
      EXPECT_EQ(Click(panel, k.x, k.y, &cursor), 0);
      EXPECT_EQ(cursor, CURSOR_HAND);
      EXPECT_EQ(*k.value, 1 - before);
      if (k.named != nullptr) {
        EXPECT_EQ(host.Named(k.named), *k.value);
      }
      Click(panel, k.x, k.y);
      EXPECT_EQ(*k.value, before);
    }
    EXPECT_EQ(model().Md80EhsiShowBoundaries, model().ShowAtcBoundaries);
  }
}

}  // namespace
}  // namespace ovi::nd::test
