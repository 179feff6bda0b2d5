// The EFS 50 control panel's sixteen rectangles pressed by name through the
// stand-in's mouse routing: the mode keys from every mode, both range
// ladders on and off their rungs, the traffic mode and back, the pointer
// cycles, the knobs' key events and the decision-height limits.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/mouse.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/efs/control_panel.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"
#include "tests/support/panel_clicks.h"

namespace ovi::efs {
namespace {

model::State& M() { return model::model_state; }

class ControlPanelTest : public ::testing::TestWithParam<GAUGEHDR*> {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  testing::FakeHost host;
  testing::PanelClicks panel{*GetParam(), "EFS50_EHSI_CNTR"};
};

TEST_P(ControlPanelTest, ModeKeysFromEveryMode) {
  //                        mode: 0  1  2  3  4  5  6  7  8  9
  const int after_hsi[] = {1, 2, 3, 1, 1, 1, 1, 1, 1, 1};
  const int after_arc[] = {4, 4, 4, 4, 5, 6, 7, 4, 4, 4};
  for (int mode = 0; mode <= 9; ++mode) {
    M().EFS50HsiMode = mode;
    EXPECT_EQ(panel.Press("HSI"), 0);
    EXPECT_EQ(M().EFS50HsiMode, after_hsi[mode]) << mode;
    M().EFS50HsiMode = mode;
    panel.Press("ARC");
    EXPECT_EQ(M().EFS50HsiMode, after_arc[mode]) << mode;
  }
  EXPECT_EQ(M().NdShowTraffic, 0);  // neither key touches the traffic layer
  for (int nav : {1, 2, 0, 7}) {
    M().EFS50NavMode = nav;
    panel.Press("NAV");
    EXPECT_EQ(M().EFS50NavMode, nav == 1 ? 2 : 1);
  }
}

std::vector<double> Walk(testing::PanelClicks& panel, const char* key, double& range, double start, int n) {
  range = start;
  std::vector<double> seen{range};
  for (int i = 0; i < n; ++i) {
    panel.Press(key);
    seen.push_back(range);
  }
  return seen;
}

TEST_P(ControlPanelTest, RangeLaddersWrapAndLeaveTheOtherRangeAlone) {
  using V = std::vector<double>;
  double& ehsi = M().Efs50EhsiRange;
  double& tcas = M().Efs50TcasRange;
  M().EFS50HsiMode = 4;
  EXPECT_EQ(Walk(panel, "RNG_UP", ehsi, 0.5, 9), (V{0.5, 1, 2.5, 5, 12.5, 25, 40, 80, 160, 0.5}));
  EXPECT_EQ(Walk(panel, "RNG_DOWN", ehsi, 160, 9), (V{160, 80, 40, 25, 12.5, 5, 2.5, 1, 0.5, 160}));
  EXPECT_EQ(tcas, 5.0);
  // Off the ladder (a rung of another display, a value just beside one):
  // up gives the bottom, down the top.
  EXPECT_EQ(Walk(panel, "RNG_UP", ehsi, 10, 1), (V{10, 0.5}));
  EXPECT_EQ(Walk(panel, "RNG_DOWN", ehsi, std::nextafter(12.5, 13.0), 1).back(), 160);
  M().EFS50HsiMode = 8;
  EXPECT_EQ(Walk(panel, "RNG_UP", tcas, 2, 5), (V{2, 5, 10, 20, 40, 2}));
  EXPECT_EQ(Walk(panel, "RNG_DOWN", tcas, 40, 5), (V{40, 20, 10, 5, 2, 40}));
  EXPECT_EQ(Walk(panel, "RNG_UP", tcas, 12.5, 1), (V{12.5, 2}));
  EXPECT_EQ(Walk(panel, "RNG_DOWN", tcas, 0, 1), (V{0, 40}));
  EXPECT_EQ(ehsi, 160.0);  // kept for when the mode changes back
}

TEST_P(ControlPanelTest, TrafficModeAndBackThroughTheModeKeys) {
  M().EFS50HsiMode = 3;
  panel.Press("TCAS");
  EXPECT_EQ(M().EFS50HsiMode, 8);
  EXPECT_EQ(M().NdShowTraffic, 1);
  panel.Press("HSI");  // leaves the traffic layer on
  EXPECT_EQ(M().EFS50HsiMode, 1);
  EXPECT_EQ(M().NdShowTraffic, 1);
  panel.Press("TCAS");  // layer off, traffic mode again, mode 1 saved
  EXPECT_EQ(M().EFS50HsiMode, 8);
  EXPECT_EQ(M().NdShowTraffic, 0);
  EXPECT_EQ(M().Efs50SavedHsiMode, 1);
  panel.Press("TCAS");
  EXPECT_EQ(M().EFS50HsiMode, 1);
}

TEST_P(ControlPanelTest, BearingPointersCycleThroughOff) {
  std::vector<int> one, two;
  for (int i = 0; i < 4; ++i) {
    panel.Press({"BRG1", "BRG2", "BRG2"});
    one.push_back(M().Efs50BearingPointer1Source);
    two.push_back(M().Efs50BearingPointer2Source);
  }
  EXPECT_EQ(one, (std::vector<int>{1, 2, 3, 0}));
  EXPECT_EQ(two, (std::vector<int>{2, 0, 2, 0}));
  M().Efs50BearingPointer1Source = 7;  // above the cycle: off
  panel.Press("BRG1");
  EXPECT_EQ(M().Efs50BearingPointer1Source, 0);
}

TEST_P(ControlPanelTest, KnobsSendTheirKeyEventsWithinTheDecisionHeightLimits) {
  using Events = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  panel.Press({"CRS_DOWN", "CRS_UP", "HDG_DOWN", "HDG_UP"});
  EXPECT_EQ(host.key_events, (Events{{0x1007E, 0}, {0x1007F, 0}, {0x10158, 0}, {0x10157, 0}}));
  struct Case {
    double dh;
    const char* key;
    bool sent;
  } cases[] = {{989.9, "DH_UP", true}, {990, "DH_UP", false}, {2000, "DH_UP", false},
               {0.1, "DH_DOWN", true}, {0, "DH_DOWN", false}, {-5, "DH_DOWN", false}};
  for (const Case& c : cases) {
    host.key_events.clear();
    host.tokens[615] = c.dh;
    panel.Press(c.key);
    EXPECT_EQ(host.key_events.size(), c.sent ? 1u : 0u) << c.key << " at " << c.dh;
    if (c.sent) {
      EXPECT_EQ(host.key_events[0].first, c.key[3] == 'U' ? 0x10311u : 0x10312u);
    }
  }
  // Knob halves repeat while held; buttons do not.
  for (const char* knob : {"CRS_DOWN", "CRS_UP", "DH_UP", "DH_DOWN", "HDG_DOWN", "HDG_UP"})
    EXPECT_EQ(panel.AreaOf(knob)->flags, MOUSE_LEFTSINGLE_REPEAT) << knob;
  EXPECT_EQ(panel.AreaOf("TCAS")->flags, MOUSE_LEFTSINGLE);
}

TEST_P(ControlPanelTest, LnavAndBoundaryKeys) {
  guidance::guidance_state.LnavEngaged = 1;
  host.SetNamed("ovi_lnav", 1);
  panel.Press("LNAV");
  EXPECT_EQ(guidance::guidance_state.LnavEngaged, 0u);
  EXPECT_EQ(host.Named("ovi_lnav"), 0.0);
  panel.Press("LNAV");  // nothing to fly to: stays off
  EXPECT_EQ(guidance::guidance_state.LnavEngaged, 0u);
  for (int expected : {1, 0}) {
    panel.Press("BDRY");
    EXPECT_EQ(M().ShowAtcBoundaries, expected);
    EXPECT_EQ(M().Md80EhsiShowBoundaries, expected);
  }
}

// The knobs' halves meet without a gap and end where their rectangles end:
// a click one pixel either side of each edge.
TEST_P(ControlPanelTest, KnobHalvesMeetAtTheirEdges) {
  std::string problem;
  const std::vector<sim::MouseArea> areas = sim::ReadMouseList(GetParam()->mouse_rect, problem);
  ASSERT_TRUE(problem.empty()) << problem;
  struct Case {
    int x, y;
    MouseHandler handler;  // null: no key there
  } cases[] = {
      {54, 100, Efs50CourseDecKey}, {80, 154, Efs50CourseDecKey}, {81, 100, Efs50CourseIncKey},
      {107, 154, Efs50CourseIncKey}, {108, 120, nullptr},          {60, 155, nullptr},
      {60, 18, Efs50DhIncKey},      {77, 57, Efs50DhIncKey},       {78, 18, Efs50DhDecKey},
      {95, 57, Efs50DhDecKey},      {96, 30, nullptr},             {70, 58, nullptr},
      {384, 106, Efs50HeadingDecKey}, {410, 159, Efs50HeadingDecKey}, {411, 106, Efs50HeadingIncKey},
      {437, 159, Efs50HeadingIncKey}, {438, 130, nullptr},          {400, 160, nullptr},
  };
  for (const Case& c : cases) {
    const sim::MouseArea* a = sim::FindClickArea(areas, c.x, c.y, MOUSE_LEFTSINGLE);
    EXPECT_EQ(a != nullptr ? a->handler : nullptr, c.handler) << c.x << "," << c.y;
  }
}

INSTANTIATE_TEST_SUITE_P(BothPanels, ControlPanelTest,
                         ::testing::Values(&efs50_ehsi_cntr_gauge, &efs50_ehsi_cntr_lm_gauge),
                         [](const auto& p) { return std::string(p.param->gauge_name); });

TEST(ControlPanelGauges, DifferOnlyInLuminousFlagAndLogLine) {
  EXPECT_EQ(efs50_ehsi_cntr_gauge.mouse_rect, efs50_ehsi_cntr_lm_gauge.mouse_rect);
  EXPECT_EQ(efs50_ehsi_cntr_gauge.elements_list[0]->image_flags, 0u);
  EXPECT_EQ(efs50_ehsi_cntr_lm_gauge.elements_list[0]->image_flags, IMAGE_LUMINOUS);
  ResetModuleState();
  testing::FakeHost host;
  host.Bind();
  std::FILE* log = std::tmpfile();
  host::host_state.LogFile = log;
  efs50_ehsi_cntr_gauge.gauge_callback(&efs50_ehsi_cntr_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  efs50_ehsi_cntr_lm_gauge.gauge_callback(&efs50_ehsi_cntr_lm_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  std::fflush(log);
  std::rewind(log);
  char text[128] = {};
  EXPECT_GT(std::fread(text, 1, sizeof text - 1, log), 0u);
  EXPECT_STREQ(text, "efs50_ehsi_cntr_callback \nefs50_ehsi_cntr_lm_callback \n");
}

}  // namespace
}  // namespace ovi::efs
