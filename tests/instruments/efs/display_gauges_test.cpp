// The nine display gauges as the host calls them, each through its own
// callback with a recording draw entry: log lines, post-install hooks, the
// P1000's repaint at pre-initialise, variants by parameter and windows, the
// drawing element and bit 31; the aircraft-name rule of every gauge form,
// the inclinometer ball, the window keys and the exported list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/gfx/recorder.h"
#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/debug_log.h"
#include "src/host/module_state.h"
#include "src/host/panel_services.h"
#include "src/instruments/efs/control_panel.h"
#include "src/instruments/efs/display_gauges.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/mfd/c17/gauges.h"
#include "src/model/state.h"
#include "src/navdb/state.h"
#include "src/flightplan/state.h"
#include "tests/host/fake_panels.h"
#include "tests/support/panel_clicks.h"

namespace ovi::efs {
namespace {

struct DrawCall {
  display::GaugeDisplay* record;
  gfx::DeviceContext* dc;
  const PIXSIZE* size;
  int variant;
  int model;
};
std::vector<DrawCall> draws;

void Record(display::GaugeDisplay& d, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  draws.push_back({&d, dc, size, variant, 0});
}
void RecordWithModel(display::GaugeDisplay& d, gfx::DeviceContext* dc, const PIXSIZE* size, int variant, int model) {
  draws.push_back({&d, dc, size, variant, model});
}

struct RowCase {
  GAUGEHDR* gauge;
  const char* log_line;
  char form;
  std::uint32_t window;
  bool draws_on_first_element;
  bool hooks_traffic;
  bool starts_flight_log;
  display::GaugeDisplay* record;
};

const std::vector<RowCase>& Rows() {
  State& s = efs_state;
  static const std::vector<RowCase> rows = {
      {&efs50_eadi_gauge, "efs50_eadi_callback \n", 'A', 4005, false, false, false, &s.Efs50EadiDisplay},
      {&efs50_eadi_nb_gauge, "efs50_eadi_nb_callback \n", 'A', 4005, false, false, false, &s.Efs50EadiDisplay},
      {&efs50_ehsi_gauge, "efs50_ehsi_callback \n", 'B', 4008, false, true, true, &s.Efs50EhsiDisplay},
      {&efs50_ehsi_nb_gauge, "efs50_ehsi_nb_callback \n", 'B', 4008, false, true, false, &s.Efs50EhsiDisplay},
      {&efs50_tcas_gauge, "efs50_tcas_callback \n", 'A', 4010, false, true, false, &s.Efs50TcasDisplay},
      {&b777_pfd_nb_gauge, "FSAPI d100_callback (B777_PFD) \n", 'C', 4023, false, false, false, &s.B777PfdDisplay},
      {&a320_eadi_nb_gauge, "FSAPI a320_eadi_callback \n", 'B', 4022, false, true, true, &s.A320EadiDisplay},
      {&p1000_mfd_gauge, "p1000_mfd_callback \n", 'D', 4002, false, true, false, &s.P1000MfdDisplay},
      {&p1000_mfd_nb_gauge, "", 'D', 4002, true, true, false, &s.P1000MfdDisplay},
  };
  return rows;
}

class DisplayGaugesTest : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    saved_ = display_draw_entries;
    display_draw_entries = {Record, Record, Record, Record, RecordWithModel, Record};
    draws.clear();
    model::model_state.ConfigLoaded = 1;
    navdb::navdb_state.AirportCount = 1;
    flightplan::flightplan_state.FlightPlanLibraryCount = 1;
  }
  void TearDown() override { display_draw_entries = saved_; }

  static ELEMENT_HEADER* DrawingElement(const RowCase& row) {
    ELEMENT_HEADER* first = host::FirstElement(row.gauge);
    return row.draws_on_first_element ? first : host::NextElement(first);
  }
  // One pre-draw with `parameter`: the variant drawn with, or -1 when the
  // entry was not called.
  int PreDraw(const RowCase& row, const char* parameter) {
    ELEMENT_HEADER* e = DrawingElement(row);
    e->image = {{280, 262}, &surface_};
    e->image_flags |= IMAGE_ON_SCREEN;
    row.gauge->parameters = parameter;
    draws.clear();
    row.gauge->gauge_callback(row.gauge, PANEL_SERVICE_PRE_DRAW, 0);
    EXPECT_EQ(e->image_flags & IMAGE_ON_SCREEN, 0u) << row.gauge->gauge_name;
    const int variant = draws.empty() ? -1 : draws.back().variant;
    if (!draws.empty()) {
      EXPECT_EQ(draws.back().record, row.record);
      EXPECT_EQ(draws.back().dc, &surface_);
      EXPECT_EQ(draws.back().size, &e->image.size);
      EXPECT_EQ(draws.back().model, row.gauge == &a320_eadi_nb_gauge ? 320 : 0);
    }
    e->image = {};
    return variant;
  }

  testing::FakeHost host;
  gfx::DeviceContext surface_{280, 262};
  DisplayDrawEntries saved_;
};

TEST_F(DisplayGaugesTest, EachRowLogsHooksAndPreparesItsInstrument) {
  for (const RowCase& row : Rows()) {
    ResetModuleState();
    host.Bind();
    std::FILE* log = std::tmpfile();
    host::host_state.LogFile = log;  // closed with the state
    row.gauge->parameters = "";
    for (std::int32_t service : {PANEL_SERVICE_PRE_INSTALL, PANEL_SERVICE_POST_INSTALL, PANEL_SERVICE_PRE_INITIALIZE,
                                 PANEL_SERVICE_POST_INITIALIZE, PANEL_SERVICE_PRE_UPDATE}) {
      row.gauge->gauge_callback(row.gauge, service, 0);
    }
    const char* name = row.gauge->gauge_name;
    EXPECT_EQ(host::host_state.TrafficProviderResult, row.hooks_traffic ? 1u : 0u) << name;
    EXPECT_EQ(guidance::guidance_state.FlightLogInitialized, row.starts_flight_log ? 1 : 0) << name;
    const int repaint = row.form == 'D' ? 999 : 0;
    EXPECT_EQ(guidance::guidance_state.DisplayRefreshCounter, repaint) << name;
    EXPECT_EQ(guidance::guidance_state.StartupTickCount, repaint) << name;
    std::fflush(log);
    std::string text(static_cast<std::size_t>(std::ftell(log)), '\0');
    std::rewind(log);
    ASSERT_EQ(std::fread(text.data(), 1, text.size(), log), text.size());
    EXPECT_EQ(text, std::string(row.log_line) + row.log_line + row.log_line + row.log_line + row.log_line) << name;
  }
}

// Rows of the display gauges' window table: the variant each form draws with, for the
// pop-up and main windows (both shown, main only, pop-up only, neither);
// -1 = the entry is not called.
TEST_F(DisplayGaugesTest, VariantsAndDrawGateAcrossTheWindowTable) {
  struct Expect {
    const char* parameter;
    int a[4], b[4], c[4], d[4];
  } table[] = {
      {"VC", {2, -1, 2, 1}, {2, -1, 2, 1}, {2, -1, 2, 1}, {2, -1, 2, 1}},
      {"WN", {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}},
      {"VC2", {2, 1, 2, 1}, {3, 1, 3, 1}, {-1, 1, -1, 1}, {3, 3, 3, 3}},
      {"", {2, 1, 2, 1}, {2, 1, 2, 1}, {2, 1, 2, 1}, {2, 1, 2, 1}},
      {"vc2", {2, 1, 2, 1}, {2, 1, 2, 1}, {2, 1, 2, 1}, {2, 1, 2, 1}},
  };
  const bool main_shown[4] = {true, true, false, false}, popup_shown[4] = {true, false, true, false};
  for (const RowCase& row : Rows()) {
    for (const Expect& e : table) {
      const int* expected = row.form == 'A' ? e.a : row.form == 'B' ? e.b : row.form == 'C' ? e.c : e.d;
      for (int w = 0; w < 4; ++w) {
        host.visible_windows.clear();
        if (main_shown[w]) host.visible_windows.insert(0);
        if (popup_shown[w]) host.visible_windows.insert(row.window);
        EXPECT_EQ(PreDraw(row, e.parameter), expected[w])
            << row.gauge->gauge_name << " \"" << e.parameter << "\" windows " << w;
      }
    }
  }
}

TEST_F(DisplayGaugesTest, WithoutSurfaceOrElementNothingIsDrawn) {
  for (const RowCase& row : Rows()) {
    ELEMENT_HEADER* e = DrawingElement(row);
    e->image_flags |= IMAGE_ON_SCREEN;
    row.gauge->gauge_callback(row.gauge, PANEL_SERVICE_PRE_DRAW, 0);
    EXPECT_EQ(e->image_flags & IMAGE_ON_SCREEN, 0u) << row.gauge->gauge_name;  // cleared all the same
    EXPECT_EQ(host::host_state.CurrentGaugeElement, e);
  }
  EXPECT_TRUE(draws.empty());
}

// Elements of each gauge as the host reads the chain: bitmap, position,
// size and flags, each the child of the one before.
TEST_F(DisplayGaugesTest, ElementChains) {
  struct Element {
    std::uint32_t bitmap;
    int x, y, w, h;
    std::uint32_t flags;
  };
  struct Chain {
    GAUGEHDR* gauge;
    std::vector<Element> elements;
  } chains[] = {
      {&efs50_eadi_gauge, {{9762, 0, 0, 384, 371, 0x1}, {9761, 51, 42, 280, 262, 0x24}, {10084, 185, 335, 14, 18, 0x3}}},
      {&efs50_eadi_nb_gauge, {{9761, 0, 0, 280, 262, 0x1}, {9761, 0, 0, 280, 262, 0x24}}},
      {&efs50_ehsi_gauge, {{9764, 0, 0, 384, 371, 0x0}, {9761, 51, 42, 280, 262, 0x24}}},
      {&efs50_ehsi_nb_gauge, {{9761, 0, 0, 280, 262, 0x1}, {9761, 0, 0, 280, 262, 0x24}}},
      {&efs50_tcas_gauge, {{9764, 0, 0, 384, 371, 0x1}, {9761, 51, 42, 280, 262, 0x24}}},
      {&b777_pfd_nb_gauge, {{9830, 0, 0, 247, 294, 0x1}, {9830, 0, 0, 247, 294, 0x24}}},
      {&a320_eadi_nb_gauge, {{9990, 0, 0, 318, 311, 0x0}, {9990, 0, 0, 318, 311, 0x24}}},
      {&p1000_mfd_gauge, {{9728, 0, 0, 326, 433, 0x0}, {9729, 28, 33, 272, 314, 0x24}}},
      {&p1000_mfd_nb_gauge, {{9729, 0, 0, 272, 314, 0x24}}},
  };
  for (const Chain& c : chains) {
    ELEMENT_HEADER* e = host::FirstElement(c.gauge);
    for (const Element& want : c.elements) {
      ASSERT_NE(e, nullptr) << c.gauge->gauge_name;
      EXPECT_EQ(e->resource_id, want.bitmap);
      EXPECT_EQ(e->position.x, want.x);
      EXPECT_EQ(e->position.y, want.y);
      EXPECT_EQ(e->image_size.x, want.w);
      EXPECT_EQ(e->image_size.y, want.h);
      EXPECT_EQ(e->image_flags, want.flags) << c.gauge->gauge_name << " " << want.bitmap;
      e = host::NextElement(e);
    }
    EXPECT_EQ(e, nullptr) << c.gauge->gauge_name;
    EXPECT_EQ(c.gauge->design_size.x, 312);
    EXPECT_EQ(c.gauge->design_size.y, 0);
  }
}

TEST_F(DisplayGaugesTest, InclinometerBallFollowsTheSlipBothWays) {
  ELEMENT_HEADER* ball = host::NthElement(host::FirstElement(&efs50_eadi_gauge), 2);
  ASSERT_NE(ball, nullptr);
  EXPECT_EQ(ball->element_type, ELEMENT_TYPE_SLIDER);
  for (double slip : {100.0, -100.0}) {
    MODULE_VAR var{};
    var.id = 69;
    var.value.n = slip;
    // 28 pixels to the side of rest and 2.5 higher, whichever side.
    EXPECT_DOUBLE_EQ(slip * ball->slider_x.scale, slip > 0 ? 28.0 : -28.0);
    EXPECT_DOUBLE_EQ(ball->slider_y.callback(&var) * ball->slider_y.scale, -2.5);
  }
  EXPECT_EQ(ball->slider_x.token, 69u);
  EXPECT_EQ(ball->slider_y.token, 69u);
  EXPECT_EQ(ball->slider_x.callback, nullptr);
  MODULE_VAR bad{};
  bad.value.n = std::nan("");
  EXPECT_EQ(Efs50InclinometerBallRise(&bad), 0.0);
}

TEST_F(DisplayGaugesTest, WindowKeysToggleEachPopUp) {
  host.toggle_result = 7;
  for (const RowCase& row : Rows()) {
    if (row.gauge == &efs50_tcas_gauge) {
      EXPECT_EQ(row.gauge->mouse_rect, nullptr);  // opened by its own button
      continue;
    }
    testing::PanelClicks clicks(*row.gauge, row.gauge->gauge_name);
    EXPECT_EQ(clicks.Press("SCREEN"), 7) << row.gauge->gauge_name;
    EXPECT_EQ(host.toggles.back(), row.window);
  }
  EXPECT_EQ(host.toggles.size(), 8u);
}

// A row is exported from the moment its instrument draws.
TEST_F(DisplayGaugesTest, ExportedListFollowsTheDrawEntries) {
  EXPECT_EQ(ExportedDisplayGauges().size(), 9u);
  display_draw_entries = {};
  EXPECT_TRUE(ExportedDisplayGauges().empty());
  display_draw_entries.efs50_ehsi = Record;
  display_draw_entries.a320_eadi = RecordWithModel;
  std::vector<std::string> names;
  for (GAUGEHDR* g : ExportedDisplayGauges()) names.emplace_back(g->gauge_name);
  EXPECT_EQ(names, (std::vector<std::string>{"EFS50_EHSI", "EFS50_EHSI_NB", "A320_EADI_NB"}));
  EXPECT_EQ(DisplayGauges().size(), 9u);
}

// The module's own pictures: the EADI's two gauges and the PFD are
// exported; a "VC2" PFD copy leaves its surface alone while the pop-up is
// open, where the "WN" copy draws.
TEST_F(DisplayGaugesTest, AttitudeDisplaysExportedAndTheVc2PfdUndrawnUnderItsPopUp) {
  display_draw_entries = saved_;
  std::vector<std::string> names;
  for (GAUGEHDR* g : ExportedDisplayGauges()) names.emplace_back(g->gauge_name);
  for (const char* name : {"EFS50_EADI", "EFS50_EADI_NB", "B777_PFD_NB", "A320_EADI_NB"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
  }
  gfx::Recorder rec;
  surface_.recorder = &rec;
  host.visible_windows = {0, 4023};
  const RowCase& pfd = Rows()[5];
  for (auto [parameter, drawn] : {std::pair{"VC2", false}, {"WN", true}}) {
    rec.Clear();
    PreDraw(pfd, parameter);
    EXPECT_EQ(rec.Size() > 1, drawn) << parameter;
  }
  surface_.recorder = nullptr;
}

// Which forms fill the simulator's folder at pre-install and start the
// drawing layer at connect: the display gauges both, the EFS 50 control
// panel neither, the C-17 control panel only the folder.
TEST_F(DisplayGaugesTest, PreInstallAndConnectOfEveryForm) {
  struct Case {
    GAUGEHDR* gauge;
    bool fills_folder, starts_drawing;
  } cases[] = {
      {&efs50_eadi_gauge, true, true},         {&a320_eadi_nb_gauge, true, true},
      {&p1000_mfd_nb_gauge, true, true},       {&c17::c17_mfd_gauge, true, true},
      {&efs50_ehsi_cntr_gauge, false, false},  {&efs50_ehsi_cntr_lm_gauge, false, false},
      {&c17::c17_mfcp_gauge, true, false},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    host.Bind();
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_PRE_INSTALL, 0);
    EXPECT_EQ(!host::host_state.SimulatorFolder.empty(), c.fills_folder) << c.gauge->gauge_name;
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_CONNECT_TO_WINDOW, 0);
    EXPECT_EQ(display::display_state.GdiplusToken != 0, c.starts_drawing) << c.gauge->gauge_name;
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_DISCONNECT, 0);
    EXPECT_EQ(display::display_state.GdiplusToken, 0u) << c.gauge->gauge_name;
  }
}

// Which parameters each gauge form takes as the aircraft name (the first
// name taken stays for the life of the module).
TEST_F(DisplayGaugesTest, AircraftNameRuleOfEveryForm) {
  struct Case {
    GAUGEHDR* gauge;
    const char* parameter;
    const char* name;
  } cases[] = {
      {&efs50_eadi_gauge, "VC", ""},        {&efs50_ehsi_gauge, "VC2", ""},
      {&p1000_mfd_nb_gauge, "WN", ""},      {&b777_pfd_nb_gauge, "B777", "B777"},
      {&efs50_ehsi_cntr_gauge, "VC2", "VC2"}, {&efs50_ehsi_cntr_lm_gauge, "WN", ""},
      {&efs50_ehsi_cntr_lm_gauge, "VC", ""}, {&c17::c17_mfcp_gauge, "VC2", ""},
      {&c17::c17_mfcp_gauge, "C17", "C17"}, {&c17::c17_mfd_gauge, "C17", ""},
  };
  for (const Case& c : cases) {
    model::model_state.AircraftConfigName.clear();
    c.gauge->parameters = c.parameter;
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
    EXPECT_EQ(model::model_state.AircraftConfigName, c.name) << c.gauge->gauge_name << " " << c.parameter;
  }
  host::CloseLogFile();  // the C-17 display opened it
}

}  // namespace
}  // namespace ovi::efs
