// The five EHSI gauges as the host calls them: their rows (elements, click
// areas, log lines, post-install hooks), the variant each form gives for
// every parameter and window state, pre-draw on a surface, the aircraft
// name, the shared drawing layer and the exported list.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "src/display/state.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/host/traffic_link.h"
#include "src/instruments/ehsi/gauges.h"
#include "src/navdb/state.h"
#include "tests/instruments/ehsi/du1000_test_support.h"

namespace ovi::ehsi::test {
namespace {

struct RowData {
  const char* name;
  std::uint32_t root;
  PIXSIZE root_size;
  std::uint32_t screen;
  PIXPOINT screen_at;
  PIXSIZE screen_size;
  PIXPOINT area;
  std::uint32_t window;
  const char* log_line;
  bool flight_log;
  bool draws;
};
const RowData kRowData[] = {
    {"DU_1000_EHSI", 9992, {392, 394}, 9990, {37, 39}, {318, 311}, {130, 130}, 4017,
     "FSAPI du_1000_ehsi_callback \n", true, true},
    {"DU_1000_EHSI_NB", 9990, {318, 311}, 9990, {0, 0}, {318, 311}, {130, 130}, 4017,
     "FSAPI du_1000_ehsi_nb_callback \n", true, true},
    {"PROLINE4_MFD", 10064, {322, 368}, 10056, {38, 40}, {247, 285}, {102, 147}, 4018, "proline4_mfd_callback \n",
     false, false},
    {"PROLINE4_MFD_NB", 10056, {247, 285}, 10056, {0, 0}, {247, 285}, {102, 147}, 4018,
     "proline4_mfd_nb_callback \n", false, false},
    {"MD80_EHSI_NB", 9990, {318, 311}, 9990, {0, 0}, {318, 311}, {130, 130}, 4024, "FSAPI md80_ehsi_callback \n",
     true, false},
};

class GaugesTest : public Du1000Test {
 public:
  void SetUp() override {
    Du1000Test::SetUp();
    host.tokens[773] = 1.0;  // display power
    // The one-time loads were done by an earlier gauge.
    model().ConfigLoaded = 1;
    navdb::navdb_state.AirportCount = 1;
    plan().FlightPlanLibraryCount = 1;
  }
  void Windows(bool main, std::uint32_t popup) {
    host.visible_windows.clear();
    if (main) host.visible_windows.insert(0);
    if (popup != 0) host.visible_windows.insert(popup);
  }
  // One pre-draw of `gauge` on a recording surface: "kept" (nothing drawn),
  // "blank" or "drawn"; the screen's bit 31 is cleared whatever happens.
  std::string PreDraw(GAUGEHDR* gauge, const char* parameter, bool with_surface = true) {
    ELEMENT_HEADER* screen = host::NextElement(host::FirstElement(gauge));
    gfx::DeviceContext surface(318, 311);
    surface.recorder = &rec;
    rec.Clear();
    screen->image = {{318, 311}, with_surface ? &surface : nullptr};
    screen->image_flags |= IMAGE_ON_SCREEN;
    gauge->parameters = parameter;
    host.tokens[1] += 1.0;  // a new tick
    gauge->gauge_callback(gauge, PANEL_SERVICE_PRE_DRAW, 0);
    screen->image.dc = nullptr;
    EXPECT_EQ(screen->image_flags, 0x24u);
    if (rec.Size() == 0) return "kept";
    if (rec.Size() == 1 && rec.Ops()[0].kind == gfx::OpKind::Clear) return "blank";
    return rec.FindText("GS") ? "drawn" : "other";
  }
};

TEST_F(GaugesTest, RowsOfTheFiveGauges) {
  ASSERT_EQ(EhsiGaugeRows().size(), 5u);
  host.toggle_result = 7;
  for (std::size_t i = 0; i < 5; ++i) {
    const RowData& d = kRowData[i];
    GAUGEHDR* g = EhsiGaugeRows()[i].gauge;
    SCOPED_TRACE(d.name);
    EXPECT_STREQ(g->gauge_name, d.name);
    EXPECT_EQ(g->gauge_header_version, 0x320u);
    EXPECT_EQ(g->design_size.x, 312);
    EXPECT_EQ(g->design_size.y, 0);
    const ELEMENT_HEADER* root = host::FirstElement(g);
    EXPECT_EQ(root->resource_id, d.root);
    EXPECT_EQ(root->image_size.x, d.root_size.x);
    EXPECT_EQ(root->image_size.y, d.root_size.y);
    const ELEMENT_HEADER* screen = host::NextElement(root);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->resource_id, d.screen);
    EXPECT_EQ(screen->position.x, d.screen_at.x);
    EXPECT_EQ(screen->position.y, d.screen_at.y);
    EXPECT_EQ(screen->image_size.x, d.screen_size.x);
    EXPECT_EQ(screen->image_size.y, d.screen_size.y);
    EXPECT_EQ(screen->image_flags, 0x24u);

    const MOUSERECT* m = g->mouse_rect;
    EXPECT_EQ(m[0].rect_type, MOUSE_RECT_PARENT);
    EXPECT_EQ(m[0].position.x, d.area.x);
    EXPECT_EQ(m[0].position.y, d.area.y);
    EXPECT_EQ(m[1].rect_type, MOUSE_RECT_CHILD);
    EXPECT_EQ(m[1].position.x, 0);
    EXPECT_EQ(m[1].size.x, 100);
    EXPECT_EQ(m[1].size.y, 100);
    EXPECT_EQ(m[1].cursor, CURSOR_HAND);
    EXPECT_EQ(m[1].event_flags, MOUSE_LEFTSINGLE);
    EXPECT_EQ(m[2].rect_type, MOUSE_RECT_EOL);
    PIXPOINT p{50, 50};
    host.toggles.clear();
    EXPECT_EQ(m[1].handler(&p, MOUSE_LEFTSINGLE), 7);
    EXPECT_EQ(host.toggles, std::vector<std::uint32_t>{d.window});
    EXPECT_EQ(EhsiGaugeRows()[i].form->draw != nullptr, d.draws);
  }
  std::vector<std::string> exported;
  for (GAUGEHDR* g : ExportedEhsiGauges()) exported.emplace_back(g->gauge_name);
  EXPECT_EQ(exported, (std::vector<std::string>{"DU_1000_EHSI", "DU_1000_EHSI_NB"}));
}

// Every call writes the log line; post-install hooks the traffic provider
// and, on the DU-1000 and MD-80 gauges, starts the flight log; pre-install
// takes the folder; connect and disconnect start and stop the drawing layer.
TEST_F(GaugesTest, ServicesLogLinesAndHooks) {
  static int provider_block = 0;
  auto entry = +[](const char*, std::uint32_t* result) -> void* {
    *result = 0;
    return &provider_block;
  };
  void* p;
  std::memcpy(&p, &entry, sizeof p);
  for (std::size_t i = 0; i < 5; ++i) {
    const RowData& d = kRowData[i];
    GAUGEHDR* g = EhsiGaugeRows()[i].gauge;
    SCOPED_TRACE(d.name);
    ResetModuleState();
    host.Bind();
    host.registered[host::kTrafficProviderVariable] = {p, VAR_TYPE_FUNCTION};
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    host::host_state.LogFile = log;
    for (std::int32_t service : {PANEL_SERVICE_PRE_INSTALL, PANEL_SERVICE_POST_INSTALL,
                                 PANEL_SERVICE_CONNECT_TO_WINDOW, PANEL_SERVICE_PRE_UPDATE})
      g->gauge_callback(g, service, 0);
    EXPECT_FALSE(host::host_state.SimulatorFolder.empty());
    EXPECT_EQ(host::host_state.TrafficProviderHandle, &provider_block);
    EXPECT_EQ(guidance().FlightLogInitialized, d.flight_log ? 1 : 0);
    EXPECT_NE(display::display_state.GdiplusToken, 0u);
    g->gauge_callback(g, PANEL_SERVICE_DISCONNECT, 0);
    EXPECT_EQ(display::display_state.GdiplusToken, 0u);
    std::fflush(log);
    std::rewind(log);
    char text[512] = {};
    const std::size_t n = std::fread(text, 1, sizeof text - 1, log);
    std::string expected;
    for (int k = 0; k < 5; ++k) expected += d.log_line;
    EXPECT_EQ(std::string(text, n), expected);
  }
}

// The variant of each parameter with the main panel (M) and the display's
// own pop-up window (W) shown or not; a "VC2" copy of the Pro Line 4 draws
// reduced whatever the windows.
TEST_F(GaugesTest, VariantTableOfEachForm) {
  for (std::size_t i = 0; i < 5; ++i) {
    const host::GaugeForm& form = *EhsiGaugeRows()[i].form;
    const bool proline4 = kRowData[i].window == 4018;
    for (bool main : {false, true}) {
      for (bool popup : {false, true}) {
        Windows(main, popup ? kRowData[i].window : 0);
        struct Case {
          const char* parameter;
          int variant;
        } cases[] = {
            {"VC", popup ? 2 : (main ? 0 : 1)},
            {"VC2", popup || proline4 ? 3 : 1},
            {"WN", 1},
            {"B747-400", popup ? 2 : 1},
            {"", popup ? 2 : 1},
        };
        for (const Case& c : cases) {
          const int variant = host::ComputeDisplayVariant(form.display_form, c.parameter, form.window_ident);
          EXPECT_EQ(variant, c.variant) << kRowData[i].name << " \"" << c.parameter << "\" M " << main << " W "
                                        << popup;
          EXPECT_EQ(host::PassesDrawGate(form.display_form, variant), variant != 0);
        }
      }
    }
  }
}

TEST_F(GaugesTest, PreDrawOnTheScreen) {
  struct Case {
    bool main;
    std::uint32_t popup;
    const char* parameter;
    const char* result;
  } cases[] = {
      {true, 0, "VC", "kept"},        {false, 0, "VC", "drawn"},      {true, 4017, "VC", "blank"},
      {true, 4017, "WN", "drawn"},    {true, 4017, "VC2", "drawn"},   {true, 4017, "A300", "blank"},
      {true, 4024, "A300", "drawn"},  {true, 0, "vc", "drawn"},
  };
  for (GAUGEHDR* g : {&du_1000_ehsi_gauge, &du_1000_ehsi_nb_gauge}) {
    for (const Case& c : cases) {
      Windows(c.main, c.popup);
      EXPECT_EQ(PreDraw(g, c.parameter), c.result) << g->gauge_name << " \"" << c.parameter << "\"";
    }
    EXPECT_EQ(PreDraw(g, "WN", false), "kept");
  }
  Windows(false, 0);
  for (GAUGEHDR* g : {&proline4_mfd_gauge, &proline4_mfd_nb_gauge, &md80_ehsi_nb_gauge})
    EXPECT_EQ(PreDraw(g, "WN"), "kept") << g->gauge_name;  // no display to draw yet
}

// The first gauge to pre-initialise with "VC" names no aircraft; a later
// one with an aircraft name loads that aircraft's file, and the name stays.
TEST_F(GaugesTest, AircraftNameTakenByTheFirstGaugeWithOne) {
  host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data";
  for (const char* parameter : {"VC", "VC2", "WN"}) {
    for (const EhsiGaugeRow& row : EhsiGaugeRows()) {
      row.gauge->parameters = parameter;
      row.gauge->gauge_callback(row.gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
      EXPECT_EQ(model().AircraftConfigName, "") << row.gauge->gauge_name << " " << parameter;
    }
  }
  md80_ehsi_nb_gauge.parameters = "B747-400";
  md80_ehsi_nb_gauge.gauge_callback(&md80_ehsi_nb_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(model().AircraftConfigName, "B747-400");
  EXPECT_EQ(model().MinMapRange, 5.0);  // from the aircraft's file
  du_1000_ehsi_gauge.parameters = "B737-800";
  du_1000_ehsi_gauge.gauge_callback(&du_1000_ehsi_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(model().AircraftConfigName, "B747-400");
  EXPECT_EQ(model().MinMapRange, 5.0);
}

// Closing the pop-up disconnects its gauge; the main panel's display goes
// on drawing, so the drawing layer stays until the last display goes.
TEST_F(GaugesTest, DrawingLayerStaysUntilTheLastDisplayDisconnects) {
  du_1000_ehsi_gauge.gauge_callback(&du_1000_ehsi_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW, 0);
  const std::uintptr_t token = display::display_state.GdiplusToken;
  ASSERT_NE(token, 0u);
  du_1000_ehsi_nb_gauge.gauge_callback(&du_1000_ehsi_nb_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW, 0);
  EXPECT_EQ(display::display_state.GdiplusToken, token);
  du_1000_ehsi_nb_gauge.gauge_callback(&du_1000_ehsi_nb_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_EQ(display::display_state.GdiplusToken, token);
  du_1000_ehsi_gauge.gauge_callback(&du_1000_ehsi_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_EQ(display::display_state.GdiplusToken, 0u);
}

}  // namespace
}  // namespace ovi::ehsi::test
