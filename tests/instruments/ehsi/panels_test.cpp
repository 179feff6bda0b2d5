// The EHSI control panels pressed by name through the stand-in's mouse
// routing: every rectangle and its cursor, the concentric knobs both ways,
// the mode cycles from every mode, the range ladders' ends, the source
// keys, the layer keys' effects on every family, lamps and caps at the
// next pre-update, and the callbacks' services and log lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/mouse.h"
#include "src/flightplan/state.h"
#include "src/host/module_state.h"
#include "src/host/panel_services.h"
#include "src/instruments/ehsi/panels/panels.h"
#include "src/model/state.h"
#include "src/navdb/state.h"
#include "tests/host/fake_panels.h"
#include "tests/support/panel_clicks.h"

namespace ovi::ehsi {
namespace {

model::State& M() { return model::model_state; }

class PanelsTest : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  // Whether icon n of the panel's chain is shown.
  static bool Shown(GAUGEHDR& g, int n) {
    return (host::NthElement(host::FirstElement(&g), n)->image_flags & IMAGE_HIDDEN) == 0;
  }
  static void PreUpdate(GAUGEHDR& g) { g.gauge_callback(&g, PANEL_SERVICE_PRE_UPDATE, 0); }

  testing::FakeHost host;
  testing::PanelClicks pl4{proline4_mfd_ctrl_gauge, "PROLINE4_MFD_CTRL"};
  testing::PanelClicks aux{proline4_aux_ctrl_gauge, "PROLINE4_AUX_CTRL"};
  testing::PanelClicks md80{md80_ehsi_ctrl_gauge, "MD80_EHSI_CTRL"};
};

// Every named key reaches a rectangle of its own with its cursor (knob
// halves the arrows, keys the hand), and every rectangle has a name.
TEST_F(PanelsTest, EveryRectangleHasItsNamedKeyAndCursor) {
  for (auto [panel, gauge, count] : {std::tuple{&pl4, &proline4_mfd_ctrl_gauge, 7},
                                     {&aux, &proline4_aux_ctrl_gauge, 6}, {&md80, &md80_ehsi_ctrl_gauge, 10}}) {
    std::string problem;
    int handlers = 0;
    for (const sim::MouseArea& a : sim::ReadMouseList(gauge->mouse_rect, problem)) handlers += a.handler != nullptr;
    EXPECT_EQ(handlers, count);
    std::vector<const sim::MouseArea*> reached;
    for (const sim::NamedKey& k : panel->Keys()) {
      const sim::MouseArea* a = panel->AreaOf(k.name);
      ASSERT_NE(a, nullptr);
      for (const sim::MouseArea* b : reached) EXPECT_NE(a, b) << k.name;
      reached.push_back(a);
      const bool down = k.name.find("DOWN") != std::string::npos, up = !down && k.name.find("UP") != std::string::npos;
      EXPECT_EQ(a->cursor, down ? CURSOR_DOWNARROW : up ? CURSOR_UPARROW : CURSOR_HAND) << k.name;
      EXPECT_EQ(a->flags, MOUSE_LEFTSINGLE);
      PIXPOINT p{0, 0};
      EXPECT_EQ(a->handler(&p, MOUSE_LEFTSINGLE), 0) << k.name;
    }
    EXPECT_EQ(static_cast<int>(reached.size()), count);
  }
}

// The inner knob (x 137 to 170) takes the range, the ring around it the
// mode, whichever list entry lies over the other; a pixel either side of
// each edge.
TEST_F(PanelsTest, ConcentricKnobsBothWays) {
  std::string problem;
  const std::vector<sim::MouseArea> areas = sim::ReadMouseList(proline4_mfd_ctrl_gauge.mouse_rect, problem);
  struct Case {
    int x;
    int mode;      // after a click from mode 0
    double range;  // after a click from 40
  } cases[] = {{120, 2, 40}, {136, 2, 40}, {137, 0, 20}, {153, 0, 20}, {154, 0, 80},
               {170, 0, 80}, {171, 3, 40}, {188, 3, 40}, {189, 0, 40}};
  for (const Case& c : cases) {
    M().PROLINE4MFDMode = 0;
    M().Proline4MapRange = 40;
    const sim::MouseArea* a = sim::FindClickArea(areas, c.x, 36, MOUSE_LEFTSINGLE);
    PIXPOINT p{0, 0};
    if (a != nullptr) a->handler(&p, MOUSE_LEFTSINGLE);
    EXPECT_TRUE(M().PROLINE4MFDMode == c.mode && M().Proline4MapRange == c.range) << c.x;
  }
}

// Pro Line 4: up 0 -> 3 -> 1 -> 2 -> 0, the radius set entering 3 (140) or
// 2 (70) only; the MD-80 up 0 -> 1 -> 3 -> 2 and down back, stopping at
// its ends. A mode off the cycle stays; the DU-1000 is not touched.
TEST_F(PanelsTest, ModeCyclesFromEveryMode) {
  struct Case {
    int from, up, up_radius, down, down_radius;
  } pl4_cases[] = {{0, 3, 140, 2, 70}, {1, 2, 70, 3, 140}, {2, 0, 99, 1, 99}, {3, 1, 99, 0, 99}, {7, 7, 99, 7, 99}};
  for (const Case& c : pl4_cases) {
    for (bool up : {true, false}) {
      M().PROLINE4MFDMode = c.from;
      M().Proline4MapRadius = 99;
      pl4.Press(up ? "MODE_UP" : "MODE_DOWN");
      EXPECT_EQ(M().PROLINE4MFDMode, up ? c.up : c.down) << c.from << up;
      EXPECT_EQ(M().Proline4MapRadius, up ? c.up_radius : c.down_radius) << c.from << up;
    }
  }
  const int md80_up[] = {1, 3, 2, 2, 5}, md80_down[] = {0, 0, 3, 1, 5};
  for (int from : {0, 1, 2, 3, 5}) {
    M().MD80EHSIMode = from;
    md80.Press("MODE_UP");
    EXPECT_EQ(M().MD80EHSIMode, md80_up[from == 5 ? 4 : from]) << from;
    M().MD80EHSIMode = from;
    md80.Press("MODE_DOWN");
    EXPECT_EQ(M().MD80EHSIMode, md80_down[from == 5 ? 4 : from]) << from;
  }
  EXPECT_EQ(M().DU1000EHSIMode, 3);
  EXPECT_EQ(M().PROLINE4MFDMode, 7);
}

// Either panel's range keys step every display: the Pro Line 4 wraps at
// both ends, the MD-80 stops at 320 and, going down, at MinMapRange.
TEST_F(PanelsTest, RangeLaddersAtBothEnds) {
  M().Proline4MapRange = 320;
  M().Md80EhsiMapRange = 160;
  for (double md80_range : {320.0, 320.0}) {
    pl4.Press("RANGE_UP");
    EXPECT_EQ(M().Md80EhsiMapRange, md80_range);
  }
  EXPECT_EQ(M().Proline4MapRange, 10.0);  // 320 -> 5 -> 10
  md80.Press({"RANGE_DOWN", "RANGE_DOWN"});
  EXPECT_EQ(M().Proline4MapRange, 320.0);  // 10 -> 5 -> 320
  for (auto [minimum, bottom] : {std::pair{10.0, 10.0}, {2.5, 2.5}, {0.5, 0.5}, {0.7, 1.0}}) {
    M().MinMapRange = minimum;
    M().Md80EhsiMapRange = 20;
    for (int i = 0; i < 6; ++i) md80.Press("RANGE_DOWN");
    EXPECT_EQ(M().Md80EhsiMapRange, bottom) << minimum;
  }
}

// Four clicks bring a source back to off; a value outside 0..3 stays.
TEST_F(PanelsTest, BearingPointerSourceKeys) {
  for (const char* key : {"BRG1", "BRG2"}) {
    std::int32_t& source = key[3] == '1' ? M().Proline4BearingPointer1Source : M().Proline4BearingPointer2Source;
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
      pl4.Press(key);
      seen.push_back(source);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 0})) << key;
    for (int off : {4, -1}) {
      source = off;
      pl4.Press(key);
      EXPECT_EQ(source, off);
    }
  }
  EXPECT_EQ(M().Efs50BearingPointer1Source, 0);
}

// The layer keys reach every family through the shared commands (the
// B737's value published); the NDB and ADF keys flip their own switch.
// Lamps follow at the next pre-update, the MD-80's caps always show.
TEST_F(PanelsTest, LayerKeysAndLamps) {
  for (const char* name : {"ovi_nd_tcas", "ovi_nd_int", "ovi_nd_nav", "ovi_nd_apt"}) host.SetNamed(name, -1);
  M().EFS50HsiMode = 3;
  struct Case {
    testing::PanelClicks* panel;
    const char* key;
    std::int32_t* own;
    std::int32_t* other;  // the same layer of another family
    const char* published;
    int lamp;  // icon number on its panel
  } cases[] = {
      {&aux, "TCAS", &M().NdShowTraffic, &M().EFS50HsiMode, "ovi_nd_tcas", 1},
      {&aux, "INT", &M().Proline4ShowIntersections, &M().Md80EhsiShowIntersections, "ovi_nd_int", 2},
      {&aux, "VOR", &M().Proline4ShowVors, &M().Du1000ShowNavaids, "ovi_nd_nav", 3},
      {&aux, "NDB", &M().Proline4ShowNdbs, nullptr, nullptr, 4},
      {&aux, "ARPT", &M().Proline4ShowAirports, &M().NdShowAirports, "ovi_nd_apt", 5},
      {&aux, "BDRY", &M().ShowAtcBoundaries, &M().Md80EhsiShowBoundaries, nullptr, 6},
      {&md80, "NAV", &M().Md80EhsiShowNavaids, &M().Proline4ShowVors, "ovi_nd_nav", 4},
      {&md80, "ARPT", &M().Md80EhsiShowAirports, &M().Du1000ShowAirports, "ovi_nd_apt", 5},
      {&md80, "BDRY", &M().Md80EhsiShowBoundaries, &M().ShowAtcBoundaries, nullptr, 6},
      {&md80, "INT", &M().Md80EhsiShowIntersections, &M().NdShowIntersections, "ovi_nd_int", 7},
      {&md80, "TCAS", &M().NdShowTraffic, &M().EFS50HsiMode, "ovi_nd_tcas", 8},
      {&md80, "ADF", &M().Md80EhsiShowAdf, nullptr, nullptr, 0},
  };
  for (const Case& c : cases) {
    GAUGEHDR& gauge = c.panel == &aux ? proline4_aux_ctrl_gauge : md80_ehsi_ctrl_gauge;
    for (int press = 0; press < 2; ++press) {
      PreUpdate(gauge);
      const std::int32_t was = *c.own;
      const std::int32_t aux_before = M().Du1000ShowAux;
      c.panel->Press(c.key);
      EXPECT_EQ(*c.own, was == 0 ? 1 : 0) << c.key;
      if (c.other == &M().EFS50HsiMode) {
        EXPECT_EQ(M().EFS50HsiMode, *c.own == 1 ? 8 : 3) << c.key;
      } else if (c.other != nullptr) {
        EXPECT_EQ(*c.other, *c.own) << c.key;
      }
      if (c.published != nullptr) {
        EXPECT_EQ(host.Named(c.published), *c.own) << c.key;
      }
      EXPECT_EQ(M().Du1000ShowAux, aux_before);
      if (c.lamp == 0) continue;
      EXPECT_EQ(Shown(gauge, c.lamp), was == 1) << c.key << " before the pre-update";
      PreUpdate(gauge);
      EXPECT_EQ(Shown(gauge, c.lamp), *c.own == 1) << c.key;
    }
  }
  for (int cap : {1, 2, 3}) EXPECT_TRUE(Shown(md80_ehsi_ctrl_gauge, cap));
}

// Log lines at every call (the MD-80's without a blank before the
// newline); the folder at pre-install (not the MD-80's), the loads at
// pre-initialise (the MD-80's only; the layer panel fills the folder).
TEST_F(PanelsTest, CallbackServicesAndLogLines) {
  struct Case {
    GAUGEHDR* gauge;
    const char* log_line;
    bool folder_at_install, folder_at_initialise, loads;
  } cases[] = {{&proline4_mfd_ctrl_gauge, "proline4_mfd_cntr_callback \n", true, false, false},
               {&proline4_aux_ctrl_gauge, "proline4_mfd_displ_callback \n", true, true, false},
               {&md80_ehsi_ctrl_gauge, "md80_ehsi_ctrl_callback\n", false, true, true}};
  for (const Case& c : cases) {
    ResetModuleState();
    host.Bind();
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    host::host_state.LogFile = log;
    navdb::navdb_state.AirportCount = 1;
    flightplan::flightplan_state.FlightPlanLibraryCount = 1;
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_PRE_INSTALL, 0);
    EXPECT_EQ(!host::host_state.SimulatorFolder.empty(), c.folder_at_install) << c.log_line;
    host::host_state.SimulatorFolder.clear();
    c.gauge->parameters = "B747-400";
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
    EXPECT_EQ(!host::host_state.SimulatorFolder.empty(), c.folder_at_initialise) << c.log_line;
    EXPECT_EQ(M().ConfigLoaded, c.loads ? 1 : 0) << c.log_line;
    EXPECT_EQ(M().AircraftConfigName, c.loads ? "B747-400" : "") << c.log_line;
    c.gauge->gauge_callback(c.gauge, PANEL_SERVICE_PRE_DRAW, 0);
    std::rewind(log);
    char text[256] = {};
    const std::string written(text, std::fread(text, 1, sizeof text - 1, log));
    EXPECT_EQ(written, std::string(c.log_line) + c.log_line + c.log_line) << c.log_line;
    std::fclose(log);
    host::host_state.LogFile = nullptr;
    c.gauge->parameters = "";
  }
}

// The first gauge to pre-initialise names the aircraft: "VC2" on the
// MD-80 panel is no name, so a later gauge's name loads its file.
TEST_F(PanelsTest, Md80PanelFirstToPreInitialise) {
  host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data";
  M().ConfigLoaded = 1;
  navdb::navdb_state.AirportCount = 1;
  flightplan::flightplan_state.FlightPlanLibraryCount = 1;
  for (auto [parameter, name] : {std::pair{"VC2", ""}, {"B747-400", "B747-400"}, {"VC", "B747-400"}}) {
    md80_ehsi_ctrl_gauge.parameters = parameter;
    md80_ehsi_ctrl_gauge.gauge_callback(&md80_ehsi_ctrl_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
    EXPECT_EQ(M().AircraftConfigName, name) << parameter;
  }
  EXPECT_EQ(M().MinMapRange, 5.0);  // the B747-400's file
  md80_ehsi_ctrl_gauge.parameters = "";
}

}  // namespace
}  // namespace ovi::ehsi
