// C17_MFD and C17_MFCP as the host calls them: the mode mailboxes (each
// kind of value, both page cycles, which gauge serves which mailbox), the
// debug log's lines, the mailboxes' registration, display numbers with their
// forced pages, and the keys of both gauges through the stand-in's mouse
// routing.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/gfx/recorder.h"
#include "sim/mouse.h"
#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/navdb/state.h"
#include "src/host/debug_log.h"
#include "src/instruments/efs/display_gauges.h"
#include "tests/instruments/mfd/c17/c17_test_support.h"
#include "tests/support/panel_clicks.h"

namespace ovi::c17::test {
namespace {

using GaugeTest = C17Test;

TEST_F(GaugeTest, EachKindOfMailboxValue) {
  struct Case {
    double value;
    std::int32_t page_before;
    std::int32_t page_after;
    bool hidden_after;
    double mailbox_after;
  } cases[] = {
      {2.7, 1, 3, true, 2.7},      // read as 2: compass arc, element hidden, value kept
      {2.0, 3, 3, false, 2.0},     // already there: not hidden again
      {-1.0, 1, 12, false, 10.0},  // any other value: configuration
      {-1.9, 3, 12, false, 10.0},  // leaving page 3 shows the element again
      {10.9, 1, 1, false, 10.9},   // read as 10: idle
      {0.0, 9, 1, false, 10.0},
      {0.99, 12, 1, false, 10.0},
      {1e12, 1, 12, false, 10.0},  // beyond 32 bits: saturated, not idle
      {-INFINITY, 1, 12, false, 10.0},
      {3.0, 9, 10, false, 10.0},   {3.0, 10, 11, false, 10.0}, {3.0, 11, 9, false, 10.0},
      {3.0, 1, 9, false, 10.0},
  };
  for (const Case& c : cases) {
    Slot(1).page = c.page_before;
    c17_mfd_gauge.elements_list[0]->image_flags = c.page_before == 3 && c.value != 2.0 ? 0x26 | IMAGE_HIDDEN : 0x26;
    host.SetNamed("MFDX1 mode", c.value);
    PreUpdate("PFD");
    EXPECT_EQ(Slot(1).page, c.page_after) << c.value;
    EXPECT_EQ(Hidden(), c.hidden_after) << c.value;
    EXPECT_EQ(host.Named("MFDX1 mode"), c.mailbox_after) << c.value;
  }
  EXPECT_EQ(host::host_state.MfdxModeValue, 3);
  // Not a number: nothing happens and nothing is written back.
  Slot(1).page = 4;
  host.SetNamed("MFDX1 mode", std::nan(""));
  PreUpdate("PFD");
  EXPECT_EQ(Slot(1).page, 4);
  EXPECT_TRUE(std::isnan(host.Named("MFDX1 mode")));
}

// The navigation-page cycle of mailbox value 1 steps the slot's remembered
// page while the slot shows a navigation page; otherwise the remembered
// page is shown as it is.
TEST_F(GaugeTest, MailboxNavigationCycleFromEachPage) {
  struct Case {
    std::int32_t page, memory, page_after, memory_after;
  } cases[] = {
      {0, 0, 3, 3}, {3, 3, 6, 6}, {4, 4, 6, 6}, {5, 5, 6, 6}, {6, 6, 0, 0}, {4, 0, 3, 3},
      {3, 1, 1, 1}, {6, 2, 2, 2}, {5, 9, 9, 9}, {0, -1, -1, -1},
      {12, 0, 0, 0}, {1, 6, 6, 6}, {9, 3, 3, 3}, {2, 0, 0, 0},
  };
  for (const Case& c : cases) {
    Slot(3) = {c.page, c.memory, 9};
    host.SetNamed("MFDx3 mode", 1);
    PreUpdate("3");
    EXPECT_EQ(Slot(3).page, c.page_after) << c.page << "/" << c.memory;
    EXPECT_EQ(Slot(3).nav_page_memory, c.memory_after) << c.page << "/" << c.memory;
  }
  // From the configuration page with nothing remembered: HSI, then the arc.
  Slot(4) = {12, 0, 9};
  for (std::int32_t expected : {0, 3}) {
    host.SetNamed("MFDx4 mode", 1);
    PreUpdate("4");
    EXPECT_EQ(Slot(4).page, expected);
  }
  EXPECT_EQ(Slot(4).engine_page_memory, 9);
}

TEST_F(GaugeTest, WhichGaugeServesWhichMailbox) {
  struct Case {
    const char* parameter;
    int served;  // 0 = none
  } cases[] = {{"PFD", 1}, {"MFD", 1}, {"ENG_VC", 1}, {"CFG_WN", 1}, {"0", 1}, {"1", 1}, {"2", 2},
               {"2x", 2},  {"3", 3},   {"4_WN", 4},   {"5", 0},      {"9", 0}, {"", 0},  {" 2", 1}};
  const char* names[] = {"MFDX1 mode", "MFDx2 mode", "MFDx3 mode", "MFDx4 mode"};
  for (const Case& c : cases) {
    for (const char* name : names) host.SetNamed(name, 0.0);
    PreUpdate(c.parameter);
    for (int n = 1; n <= 4; ++n)
      EXPECT_EQ(host.Named(names[n - 1]), n == c.served ? 10.0 : 0.0) << '"' << c.parameter << "\" box " << n;
  }
  // A mailbox the host cannot find is not served and nothing is written.
  host.named.clear();
  host.SetNamed("MFDX2 mode", 0.0);  // only under the registered spelling
  Slot(2).page = 9;
  c17_state.as_mfdx2_mode = 4;
  PreUpdate("2");
  EXPECT_EQ(Slot(2).page, 9);
  EXPECT_EQ(c17_state.as_mfdx2_mode, 4);
  EXPECT_EQ(host.Named("MFDX2 mode"), 0.0);
}

std::string ReadAll(const std::string& path) {
  std::string text;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

TEST_F(GaugeTest, LogLinesInOrderAndNoneBeforeTheFirstPreInitialise) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("ovi_c17_log_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  host::host_state.SimulatorFolder = folder.string();
  model::model_state.ConfigLoaded = 1;
  navdb::navdb_state.AirportCount = 1;
  flightplan::flightplan_state.FlightPlanLibraryCount = 1;
  efs::efs50_eadi_callback(&efs::efs50_eadi_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  EXPECT_EQ(host::host_state.LogFile, nullptr);
  c17_mfd_gauge.parameters = "PFD";
  c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  ASSERT_NE(host::host_state.LogFile, nullptr);
  efs::efs50_eadi_callback(&efs::efs50_eadi_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  host.SetNamed("MFDx2 mode", 0.0);
  PreUpdate("PFD");  // mailbox 1 absent
  PreUpdate("2");
  PreUpdate("");
  c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);  // opened once: not emptied again
  host::CloseLogFile();
  EXPECT_EQ(ReadAll((folder / "ovi1.log").string()),
            "efs50_eadi_callback \n"
            "PANEL_SERVICE_PRE_UPDATE:\n"
            "PANEL_SERVICE_PRE_UPDATE-2: Param=PFD\n"
            "PANEL_SERVICE_PRE_UPDATE-3: iparam=0\n"
            "PANEL_SERVICE_PRE_UPDATE-4: iparam=1\n"
            "PANEL_SERVICE_PRE_UPDATE:\n"
            "PANEL_SERVICE_PRE_UPDATE-2: Param=2\n"
            "PANEL_SERVICE_PRE_UPDATE-3: iparam=2\n"
            "PANEL_SERVICE_PRE_UPDATE-4: iparam=2\n"
            "ProcessMFDX2()-1: as_mfdx2_mode=1\n"
            "ProcessMFDX2()-2: as_mfdx2_mode=0\n"
            "PANEL_SERVICE_PRE_UPDATE:\n"
            "PANEL_SERVICE_PRE_UPDATE-2: Param=\n");
  std::filesystem::remove_all(folder);
}

std::vector<std::string> registered, unregistered;

TEST_F(GaugeTest, MailboxesAndDrawingLayerLastUntilTheLastDisplayDisconnects) {
  registered.clear();
  unregistered.clear();
  host.panels.register_named_variable = [](const char* name) {
    registered.emplace_back(name);
    return 0;
  };
  host.panels.unregister_var_by_name = [](const char* name) { unregistered.emplace_back(name); };
  const std::vector<std::string> names = {"MFDX1 mode", "MFDX2 mode", "MFDX3 mode", "MFDX4 mode"};
  for (int i = 0; i < 3; ++i) c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW, 0);
  EXPECT_EQ(registered, names);
  EXPECT_NE(display::display_state.GdiplusToken, 0u);
  for (int i = 0; i < 2; ++i) c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_TRUE(unregistered.empty());
  EXPECT_NE(display::display_state.GdiplusToken, 0u);
  c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_DISCONNECT, 0);
  EXPECT_EQ(unregistered, names);
  EXPECT_EQ(display::display_state.GdiplusToken, 0u);
  c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_DISCONNECT, 0);  // one too many: nothing more
  EXPECT_EQ(unregistered.size(), 4u);
  c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_CONNECT_TO_WINDOW, 0);
  EXPECT_EQ(registered.size(), 8u);
}

TEST_F(GaugeTest, DisplayNumbersAndForcedPages) {
  struct Case {
    const char* parameter;
    bool main, popup;
    int number;
    int slot;            // slot whose page is looked at (its page starts at 9, or 5 where noted)
    std::int32_t start;  // its page before
    std::int32_t page;   // after
  } cases[] = {
      {"PFD", true, false, 1, 1, 9, 1},      {"PFD", true, true, 0, 1, 9, 1},
      {"PFD_WN", true, true, 1, 1, 9, 1},    {"PFD_VC", true, false, 0, 1, 9, 1},
      {"PFD_VC", false, false, 1, 1, 9, 1},  {"MFD", false, true, 2, 2, 9, 3},
      {"MFD_VC", false, false, 2, 2, 5, 5},  {"MFD_WN", false, false, 2, 2, 4, 4},
      {"ENG", false, false, 3, 3, 12, 9},    {"CFG_WN", false, false, 4, 4, 1, 12},
      {"2", false, true, 2, 2, 9, 9},        {"1", false, true, 0, 1, 9, 9},
      {"1WN", false, true, 1, 1, 9, 9},      {"3VC", true, false, 0, 3, 9, 9},
      {"7", true, true, 7, 1, 9, 9},         {"pfd", false, false, 0, 1, 9, 9},
      {"PFD ", false, false, 0, 1, 9, 9},    {"", false, false, 0, 1, 9, 9},
  };
  for (const Case& c : cases) {
    host.visible_windows.clear();
    if (c.main) host.visible_windows.insert(0);
    if (c.popup) host.visible_windows.insert(4025);
    Slot(c.slot).page = c.start;
    c17_mfd_gauge.parameters = c.parameter;
    EXPECT_EQ(C17DisplayNumber(&c17_mfd_gauge), c.number) << '"' << c.parameter << '"' << c.main << c.popup;
    EXPECT_EQ(Slot(c.slot).page, c.page) << '"' << c.parameter << '"';
  }
}

// The pre-draw through the callback: the display number reaches the draw
// entry whatever it is (0 clears), a page is forced only when there is a
// surface to draw on, and bit 31 is cleared in every case.
TEST_F(GaugeTest, PreDrawForcesItsPageAndDrawsItsNumber) {
  struct Case {
    const char* parameter;
    bool main_shown, surface;
    int slot;
    std::int32_t slot_before, slot_after;
    std::int32_t working_after;  // the working copy starts on page 5
    const char* frame;           // "page", "clear" or "none"
  } cases[] = {
      {"ENG", false, true, 3, 12, 9, 9, "page"},
      {"PFD_VC", true, true, 1, 9, 1, 5, "clear"},  // number 0: no slot loaded
      {"CFG", false, false, 4, 1, 1, 5, "none"},    // no surface: nothing forced
      {"MFD", false, true, 2, 6, 3, 3, "page"},
      {"7", false, true, 1, 9, 9, 5, "page"},
  };
  for (const Case& c : cases) {
    host.visible_windows.clear();
    if (c.main_shown) host.visible_windows.insert(0);
    Slot(c.slot).page = c.slot_before;
    Working() = 5;
    gfx::DeviceContext surface(246, 241);
    gfx::Recorder rec;
    surface.recorder = &rec;
    ELEMENT_HEADER* screen = c17_mfd_gauge.elements_list[0];
    screen->image = {{246, 241}, c.surface ? &surface : nullptr};
    screen->image_flags = 0x26 | IMAGE_ON_SCREEN;
    c17_mfd_gauge.parameters = c.parameter;
    c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_PRE_DRAW, 0);
    screen->image = {};
    EXPECT_EQ(screen->image_flags, 0x26u) << c.parameter;
    EXPECT_EQ(Slot(c.slot).page, c.slot_after) << c.parameter;
    EXPECT_EQ(Working(), c.working_after) << c.parameter;
    const std::string frame = rec.Size() == 0                                           ? "none"
                              : rec.Size() == 1 && rec.Ops()[0].kind == gfx::OpKind::Clear ? "clear"
                                                                                         : "page";
    EXPECT_EQ(frame, c.frame) << c.parameter;
  }
}

// The page keys below the picture change the working copy only.
TEST_F(GaugeTest, DisplayKeysBelowThePicture) {
  testing::PanelClicks mfd(c17_mfd_gauge, "C17_MFD");
  struct Case {
    const char* key;
    std::int32_t page, nav_memory, engine_memory;
    std::int32_t page_after, nav_after, engine_after;
  } cases[] = {
      {"FLT", 12, 0, 9, 1, 0, 9},  {"CFG", 1, 0, 9, 12, 0, 9},  {"BLANK", 4, 0, 9, 4, 0, 9},
      {"NAV", 0, 6, 9, 3, 3, 9},   {"NAV", 3, 0, 9, 6, 6, 9},   {"NAV", 5, 0, 9, 6, 6, 9},
      {"NAV", 6, 6, 9, 0, 0, 9},   {"NAV", 1, 3, 9, 1, 3, 9},   {"NAV", 2, 3, 9, 2, 3, 9},
      {"NAV", 9, 6, 9, 6, 6, 9},   {"NAV", 13, 3, 9, 3, 3, 9},  {"ENG", 9, 0, 11, 10, 0, 10},
      {"ENG", 11, 0, 9, 9, 0, 9},  {"ENG", 10, 0, 9, 11, 0, 11}, {"ENG", 3, 0, 11, 11, 0, 11},
      {"ENG", 12, 0, 10, 10, 0, 10},
  };
  for (const Case& c : cases) {
    Working() = c.page;
    c17_state.PageState.C17NavPageMemory = c.nav_memory;
    c17_state.PageState.C17EnginePageMemory = c.engine_memory;
    EXPECT_EQ(mfd.Press(c.key), 0);
    EXPECT_EQ(Working(), c.page_after) << c.key << " from " << c.page;
    EXPECT_EQ(c17_state.PageState.C17NavPageMemory, c.nav_after) << c.key << " from " << c.page;
    EXPECT_EQ(c17_state.PageState.C17EnginePageMemory, c.engine_after) << c.key << " from " << c.page;
  }
  const std::int32_t slot_pages[] = {1, 3, 9, 10};
  for (int n = 1; n <= 4; ++n) EXPECT_EQ(Slot(n).page, slot_pages[n - 1]);
  host.toggle_result = 5;
  EXPECT_EQ(mfd.Press("SCREEN"), 5);
  EXPECT_EQ(host.toggles, (std::vector<std::uint32_t>{4025}));
}

TEST_F(GaugeTest, ControlPanelKeys) {
  testing::PanelClicks mfcp(c17_mfcp_gauge, "C17_MFCP");
  auto pages = [&] {
    return std::vector<std::int32_t>{Working(), Slot(1).page, Slot(2).page, Slot(3).page, Slot(4).page};
  };
  Working() = 3;
  Slot(1).page = 3;
  Slot(2).page = 5;
  Slot(3).page = 9;
  Slot(4).page = 4;
  mfcp.Press("VIEW_UP_L");
  EXPECT_EQ(pages(), (std::vector<std::int32_t>{4, 4, 5, 9, 5}));
  mfcp.Press("VIEW_UP_R");
  EXPECT_EQ(pages(), (std::vector<std::int32_t>{5, 5, 5, 9, 5}));
  // One press steps each compass view one down: 5 to 4, not to 3.
  mfcp.Press("VIEW_DOWN_L");
  EXPECT_EQ(pages(), (std::vector<std::int32_t>{4, 4, 4, 9, 4}));
  mfcp.Press({"VIEW_DOWN_R", "VIEW_DOWN_L"});
  EXPECT_EQ(pages(), (std::vector<std::int32_t>{3, 3, 3, 9, 3}));
  Slot(2).page = 6;
  mfcp.Press("VIEW_DOWN_R");
  EXPECT_EQ(pages(), (std::vector<std::int32_t>{3, 3, 6, 9, 3}));

  for (std::int32_t expected : {0, 1}) {
    mfcp.Press({"MAP_LAYERS", "CRS_DEV"});
    EXPECT_EQ(c17_state.C17ShowMapLayers, expected);
    EXPECT_EQ(c17_state.C17ShowCourseDeviation, expected);
  }
  mfcp.Press({"NAV", "ARPT"});
  EXPECT_EQ(model::model_state.Proline4ShowVors, 0);
  EXPECT_EQ(model::model_state.Proline4ShowAirports, 0);
  mfcp.Press("RANGE_DOWN");
  EXPECT_EQ(model::model_state.C17MfdMapRange, 40.0);
  mfcp.Press({"RANGE_UP", "RANGE_UP"});
  EXPECT_EQ(model::model_state.C17MfdMapRange, 160.0);

  // The range key's halves: 41 pixels each, the right one 42 into the
  // parent, so the column between them takes no click.
  std::string problem;
  const std::vector<sim::MouseArea> areas = sim::ReadMouseList(c17_mfcp_gauge.mouse_rect, problem);
  const sim::MouseArea* down = mfcp.AreaOf("RANGE_DOWN");
  const sim::MouseArea* up = mfcp.AreaOf("RANGE_UP");
  struct Edge {
    int x, y;
    const sim::MouseArea* area;
  } edges[] = {{66, 426, down}, {106, 507, down}, {107, 460, nullptr}, {108, 426, up},
               {148, 507, up},  {149, 460, nullptr}, {100, 508, nullptr}, {65, 460, nullptr}};
  for (const Edge& e : edges) {
    const sim::MouseArea* a = sim::FindClickArea(areas, e.x, e.y, MOUSE_LEFTSINGLE);
    EXPECT_EQ(a != nullptr ? a->handler : nullptr, e.area != nullptr ? e.area->handler : nullptr) << e.x << "," << e.y;
  }
}

}  // namespace
}  // namespace ovi::c17::test
