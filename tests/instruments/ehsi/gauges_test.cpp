// The five EHSI gauges as the host calls them: their rows (elements, click
// areas, log lines, post-install hooks), the variant each form gives, pre-
// draw on a surface, the aircraft name, the shared drawing layer and the
// exported list.
#include <cstdio>
#include <cstring>

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
  const char* elements;  // root, then screen: bitmap size, place and flags
  std::uint32_t window;
  const char* log_line;
  bool flight_log;
};
const RowData kRowData[] = {
    {"DU_1000_EHSI 9992 392x394 | 9990 at 37,39 318x311 0x24 | area 130,130", 4017,
     "FSAPI du_1000_ehsi_callback \n", true},
    {"DU_1000_EHSI_NB 9990 318x311 | 9990 at 0,0 318x311 0x24 | area 130,130", 4017,
     "FSAPI du_1000_ehsi_nb_callback \n", true},
    {"PROLINE4_MFD 10064 322x368 | 10056 at 38,40 247x285 0x24 | area 102,147", 4018, "proline4_mfd_callback \n",
     false},
    {"PROLINE4_MFD_NB 10056 247x285 | 10056 at 0,0 247x285 0x24 | area 102,147", 4018,
     "proline4_mfd_nb_callback \n", false},
    {"MD80_EHSI_NB 9990 318x311 | 9990 at 0,0 318x311 0x24 | area 130,130", 4024, "FSAPI md80_ehsi_callback \n",
     true},
};

std::string Describe(const GAUGEHDR* g) {
  const ELEMENT_HEADER* root = host::FirstElement(g);
  const ELEMENT_HEADER* s = host::NextElement(root);
  const MOUSERECT* m = g->mouse_rect;
  const bool child = m[1].rect_type == MOUSE_RECT_CHILD && m[1].position.x == 0 && m[1].position.y == 0 &&
                     m[1].size.x == 100 && m[1].size.y == 100 && m[1].cursor == CURSOR_HAND &&
                     m[1].event_flags == MOUSE_LEFTSINGLE && m[2].rect_type == MOUSE_RECT_EOL;
  char text[160];
  std::snprintf(text, sizeof text, "%s %u %dx%d | %u at %d,%d %dx%d 0x%X | area %d,%d%s", g->gauge_name,
                root->resource_id, root->image_size.x, root->image_size.y, s->resource_id, s->position.x,
                s->position.y, s->image_size.x, s->image_size.y, s->image_flags, m[0].position.x, m[0].position.y,
                child ? "" : " (child?)");
  return text;
}

class GaugesTest : public Du1000Test {
 public:
  void SetUp() override {
    Du1000Test::SetUp();
    host.tokens[773] = 1.0;  // display power
    M().ConfigLoaded = 1;    // the one-time loads were done by an earlier gauge
    navdb::navdb_state.AirportCount = 1;
    flightplan::flightplan_state.FlightPlanLibraryCount = 1;
  }
  void Windows(bool main, std::uint32_t popup) {
    host.visible_windows.clear();
    if (main) host.visible_windows.insert(0);
    if (popup != 0) host.visible_windows.insert(popup);
  }
  // One pre-draw on a recording surface: "kept", "blank" or "drawn"; the
  // screen's bit 31 is cleared whatever happens.
  std::string PreDraw(GAUGEHDR* g, const char* parameter, bool with_surface = true) {
    ELEMENT_HEADER* screen = host::NextElement(host::FirstElement(g));
    gfx::DeviceContext surface(318, 311);
    surface.recorder = &rec;
    rec.Clear();
    screen->image = {{318, 311}, with_surface ? &surface : nullptr};
    screen->image_flags |= IMAGE_ON_SCREEN;
    g->parameters = parameter;
    host.tokens[1] += 1.0;  // a new tick
    g->gauge_callback(g, PANEL_SERVICE_PRE_DRAW, 0);
    screen->image.dc = nullptr;
    EXPECT_EQ(screen->image_flags, 0x24u);
    if (rec.Size() == 0) return "kept";
    return rec.Count(OpKind::Clear) == static_cast<int>(rec.Size()) ? "blank" : "drawn";
  }
};

// Rows, click areas and the exported list; every call writes the log line,
// post-install hooks the traffic provider and (DU-1000, MD-80) starts the
// flight log, connect and disconnect start and stop the drawing layer.
TEST_F(GaugesTest, RowsServicesAndExports) {
  static int provider_block = 0;
  auto entry = +[](const char*, std::uint32_t* result) -> void* {
    *result = 0;
    return &provider_block;
  };
  void* p;
  std::memcpy(&p, &entry, sizeof p);
  ASSERT_EQ(EhsiGaugeRows().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    const RowData& d = kRowData[i];
    GAUGEHDR* g = EhsiGaugeRows()[i].gauge;
    EXPECT_EQ(Describe(g), d.elements);
    EXPECT_TRUE(g->gauge_header_version == 0x320u && g->design_size.x == 312 && g->design_size.y == 0);
    ResetModuleState();
    host.Bind();
    host.registered[host::kTrafficProviderVariable] = {p, VAR_TYPE_FUNCTION};
    host.toggles.clear();
    host.toggle_result = 7;
    PIXPOINT at{50, 50};
    EXPECT_EQ(g->mouse_rect[1].handler(&at, MOUSE_LEFTSINGLE), 7);
    EXPECT_EQ(host.toggles, std::vector<std::uint32_t>{d.window});

    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    host::host_state.LogFile = log;
    for (std::int32_t service : {PANEL_SERVICE_PRE_INSTALL, PANEL_SERVICE_POST_INSTALL,
                                 PANEL_SERVICE_CONNECT_TO_WINDOW, PANEL_SERVICE_PRE_UPDATE})
      g->gauge_callback(g, service, 0);
    EXPECT_FALSE(host::host_state.SimulatorFolder.empty());
    EXPECT_EQ(host::host_state.TrafficProviderHandle, &provider_block);
    EXPECT_EQ(G().FlightLogInitialized, d.flight_log ? 1 : 0) << g->gauge_name;
    EXPECT_NE(display::display_state.GdiplusToken, 0u);
    g->gauge_callback(g, PANEL_SERVICE_DISCONNECT, 0);
    EXPECT_EQ(display::display_state.GdiplusToken, 0u);
    std::rewind(log);
    char text[512] = {};
    const std::string written(text, std::fread(text, 1, sizeof text - 1, log));
    EXPECT_EQ(written, std::string(d.log_line) + d.log_line + d.log_line + d.log_line + d.log_line);
  }
  ASSERT_EQ(ExportedEhsiGauges().size(), 5u);  // every display draws
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(ExportedEhsiGauges()[i], EhsiGaugeRows()[i].gauge);
}

// The variant of each parameter with the main panel (M) and the display's
// own pop-up (W) shown or not: the EHSI table. A Pro Line 4 "VC2" copy
// draws reduced whatever the windows.
TEST_F(GaugesTest, VariantTableOfEachForm) {
  for (std::size_t i = 0; i < 5; ++i) {
    const host::GaugeForm& form = *EhsiGaugeRows()[i].form;
    const bool proline4 = kRowData[i].window == 4018;
    for (int windows = 0; windows < 4; ++windows) {
      const bool main = windows & 1, popup = windows & 2;
      Windows(main, popup ? kRowData[i].window : 0);
      for (auto [parameter, variant] : {std::pair{"VC", popup ? 2 : (main ? 0 : 1)},
                                        {"VC2", popup || proline4 ? 3 : 1}, {"WN", 1},
                                        {"B747-400", popup ? 2 : 1}, {"", popup ? 2 : 1}}) {
        const int v = host::ComputeDisplayVariant(form.display_form, parameter, form.window_ident);
        EXPECT_TRUE(v == variant && host::PassesDrawGate(form.display_form, v) == (v != 0))
            << i << " \"" << parameter << "\" M " << main << " W " << popup;
      }
    }
  }
}

// Variant 0 keeps the last picture, 2 blanks it; bit 31 is cleared in
// every case, also without a surface or a display to draw.
TEST_F(GaugesTest, PreDrawOnTheScreen) {
  for (std::size_t i = 0; i < 5; ++i) {
    GAUGEHDR* g = EhsiGaugeRows()[i].gauge;
    const std::uint32_t own = kRowData[i].window, other = own == 4017 ? 4024 : 4017;
    for (auto [popup, parameter, result] : {std::tuple{0u, "VC", "kept"}, {own, "VC", "blank"},
                                            {own, "VC2", "drawn"}, {other, "vc", "drawn"}}) {
      Windows(true, popup);
      EXPECT_EQ(PreDraw(g, parameter), result) << g->gauge_name << " \"" << parameter << "\" " << popup;
    }
    EXPECT_EQ(PreDraw(g, "WN", false), "kept");
  }
}

// "VC", "VC2" and "WN" name no aircraft; the first gauge with a name loads
// its file, and the name stays. Closing one display keeps the drawing
// layer for the other.
TEST_F(GaugesTest, AircraftNameAndTheSharedDrawingLayer) {
  host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data";
  for (const char* parameter : {"VC", "VC2", "WN", "B747-400", "B737-800"}) {
    for (const EhsiGaugeRow& row : EhsiGaugeRows()) {
      row.gauge->parameters = parameter;
      row.gauge->gauge_callback(row.gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
      EXPECT_EQ(M().AircraftConfigName, parameter[0] == 'B' ? "B747-400" : "") << parameter;
    }
  }
  EXPECT_EQ(M().MinMapRange, 5.0);  // from the B747-400's file
  std::vector<std::uintptr_t> tokens;
  for (auto [g, service] : {std::pair{&du_1000_ehsi_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW},
                            {&du_1000_ehsi_nb_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW},
                            {&du_1000_ehsi_nb_gauge, PANEL_SERVICE_DISCONNECT},
                            {&du_1000_ehsi_gauge, PANEL_SERVICE_DISCONNECT}}) {
    g->gauge_callback(g, service, 0);
    tokens.push_back(display::display_state.GdiplusToken);
  }
  EXPECT_NE(tokens[0], 0u);
  EXPECT_EQ(tokens, (std::vector<std::uintptr_t>{tokens[0], tokens[0], tokens[0], 0}));
}

}  // namespace
}  // namespace ovi::ehsi::test
