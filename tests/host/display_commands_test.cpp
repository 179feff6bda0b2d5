// The shared display commands: every family's range ladder and mode cycle,
// the MinMapRange rules, the layer toggles and the key events they send.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "src/host/display_commands.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::host {
namespace {

model::State& M() { return model::model_state; }

class DisplayCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModuleState(); }
  void TearDown() override { ResetModuleState(); }
};

// Walks a range up from `from`, one IncrementNdRange a step, and returns the
// values seen (the first included).
std::vector<double> WalkUp(double& range, double from, int steps) {
  range = from;
  std::vector<double> seen{range};
  for (int i = 0; i < steps; ++i) {
    IncrementNdRange();
    seen.push_back(range);
  }
  return seen;
}

std::vector<double> WalkDown(double& range, double from, int steps) {
  range = from;
  std::vector<double> seen{range};
  for (int i = 0; i < steps; ++i) {
    DecrementNdRange();
    seen.push_back(range);
  }
  return seen;
}

using V = std::vector<double>;

TEST_F(DisplayCommandsTest, LaddersUpStayOrWrapAtTheTop) {
  EXPECT_EQ(WalkUp(M().NdRange, 0.5, 10), (V{0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320, 320}));
  EXPECT_EQ(WalkUp(M().Md11NdRange, 0.5, 11), (V{0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320, 640, 640}));
  EXPECT_EQ(WalkUp(M().Du1000EhsiRange, 0.05, 13),
            (V{0.05, 0.125, 0.25, 0.5, 1, 2.5, 5, 10, 15, 30, 60, 120, 240, 240}));
  EXPECT_EQ(WalkUp(M().Proline4MapRange, 5, 8), (V{5, 10, 20, 40, 80, 160, 320, 5, 10}));
  EXPECT_EQ(WalkUp(M().Md80EhsiMapRange, 0.5, 10), (V{0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320, 320}));
  EXPECT_EQ(WalkUp(M().C17MfdMapRange, 0.5, 10), (V{0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320, 320}));
  EXPECT_EQ(WalkUp(M().P1000MapRange, 0.5, 10), (V{0.5, 1, 2.5, 5, 12.5, 25, 40, 80, 160, 0.5, 1}));
}

TEST_F(DisplayCommandsTest, LaddersDownWithTheSmallestRangeAllowed) {
  M().MinMapRange = 0.5;
  EXPECT_EQ(WalkDown(M().NdRange, 320, 10), (V{320, 160, 80, 40, 20, 10, 5, 2.5, 1, 0.5, 0.5}));
  EXPECT_EQ(WalkDown(M().Md11NdRange, 640, 11), (V{640, 320, 160, 80, 40, 20, 10, 5, 2.5, 1, 0.5, 0.5}));
  EXPECT_EQ(WalkDown(M().Md80EhsiMapRange, 320, 10), (V{320, 160, 80, 40, 20, 10, 5, 2.5, 1, 0.5, 0.5}));
  EXPECT_EQ(WalkDown(M().C17MfdMapRange, 320, 10), (V{320, 160, 80, 40, 20, 10, 5, 2.5, 1, 0.5, 0.5}));
  EXPECT_EQ(WalkDown(M().Proline4MapRange, 320, 8), (V{320, 160, 80, 40, 20, 10, 5, 320, 160}));
  EXPECT_EQ(WalkDown(M().P1000MapRange, 160, 10), (V{160, 80, 40, 25, 12.5, 5, 2.5, 1, 0.5, 160, 80}));
  M().MinMapRange = 0.05;
  EXPECT_EQ(WalkDown(M().Du1000EhsiRange, 240, 13),
            (V{240, 120, 60, 30, 15, 10, 5, 2.5, 1, 0.5, 0.25, 0.125, 0.05, 0.05}));
}

TEST_F(DisplayCommandsTest, MinMapRangeStopsEachFamilyByItsOwnRule) {
  // The default 10 NM: nothing below 10 (C-17 goes to 5 regardless; the
  // DU-1000 stops at 15, its last rung above).
  EXPECT_EQ(WalkDown(M().NdRange, 20, 3), (V{20, 10, 10, 10}));
  EXPECT_EQ(WalkDown(M().Md11NdRange, 20, 2), (V{20, 10, 10}));
  EXPECT_EQ(WalkDown(M().Md80EhsiMapRange, 20, 2), (V{20, 10, 10}));
  EXPECT_EQ(WalkDown(M().C17MfdMapRange, 10, 2), (V{10, 5, 5}));
  EXPECT_EQ(WalkDown(M().Du1000EhsiRange, 30, 3), (V{30, 15, 10, 10}));

  // 2.5: down to 2.5 and no further.
  M().MinMapRange = 2.5;
  EXPECT_EQ(WalkDown(M().NdRange, 10, 3), (V{10, 5, 2.5, 2.5}));
  EXPECT_EQ(WalkDown(M().C17MfdMapRange, 5, 2), (V{5, 2.5, 2.5}));
  EXPECT_EQ(WalkDown(M().Du1000EhsiRange, 5, 2), (V{5, 2.5, 2.5}));

  // Below 0.5 but not 0.5: the B737, MD-80 and C-17 rules want exactly 0.5
  // for their last step, the MD-11 and DU-1000 only "not smaller".
  M().MinMapRange = 0.25;
  EXPECT_EQ(WalkDown(M().NdRange, 1, 1), (V{1, 1}));
  EXPECT_EQ(WalkDown(M().Md80EhsiMapRange, 1, 1), (V{1, 1}));
  EXPECT_EQ(WalkDown(M().C17MfdMapRange, 1, 1), (V{1, 1}));
  EXPECT_EQ(WalkDown(M().Md11NdRange, 1, 1), (V{1, 0.5}));
  EXPECT_EQ(WalkDown(M().Du1000EhsiRange, 1, 3), (V{1, 0.5, 0.25, 0.25}));
  // A MinMapRange between rungs: 10 -> 5 refused at 6.
  M().MinMapRange = 6;
  EXPECT_EQ(WalkDown(M().NdRange, 10, 1), (V{10, 10}));
}

TEST_F(DisplayCommandsTest, ValuesOffTheLadderStay) {
  M().MinMapRange = 0.5;
  for (double off : {0.0, 3.0, 7.5, 640.0, -1.0, 1e9, std::nan("")}) {
    M().NdRange = off;
    M().Md80EhsiMapRange = off;
    M().C17MfdMapRange = off;
    M().Proline4MapRange = off;
    IncrementNdRange();
    DecrementNdRange();
    for (double v : {M().NdRange, M().Md80EhsiMapRange, M().C17MfdMapRange, M().Proline4MapRange}) {
      if (std::isnan(off)) {
        EXPECT_TRUE(std::isnan(v));
      } else {
        EXPECT_EQ(v, off);
      }
    }
  }
  M().Md11NdRange = 1280;
  M().Du1000EhsiRange = 20;
  IncrementNdRange();
  EXPECT_EQ(M().Md11NdRange, 1280);
  EXPECT_EQ(M().Du1000EhsiRange, 20);
}

TEST_F(DisplayCommandsTest, P1000RangeOffTheLadderRestartsAtTheEndItWrapsTo) {
  // The knob walks the P1000's ranges like its controller's RNG rocker.
  for (double off : {0.0, 3.0, 320.0, std::nan("")}) {
    M().P1000MapRange = off;
    IncrementNdRange();
    EXPECT_EQ(M().P1000MapRange, 0.5) << off;
    M().P1000MapRange = off;
    DecrementNdRange();
    EXPECT_EQ(M().P1000MapRange, 160) << off;
  }
  M().NdShowTraffic = 1;
  M().DrawTcasWindowOnP1000MFD = 1;
  M().P1000TcasRange = 7;
  IncrementNdRange();
  EXPECT_EQ(M().P1000TcasRange, 0.5);
  M().P1000TcasRange = 7;
  DecrementNdRange();
  EXPECT_EQ(M().P1000TcasRange, 160);
}

TEST_F(DisplayCommandsTest, P1000StepsItsTrafficWindowWithinFiveToForty) {
  M().NdShowTraffic = 1;
  M().DrawTcasWindowOnP1000MFD = 1;
  M().P1000MapRange = 40;
  EXPECT_EQ(WalkUp(M().P1000TcasRange, 12.5, 4), (V{12.5, 25, 40, 5, 12.5}));
  EXPECT_EQ(WalkDown(M().P1000TcasRange, 12.5, 4), (V{12.5, 5, 40, 25, 12.5}));
  EXPECT_EQ(M().P1000MapRange, 40);  // untouched while the traffic window takes the steps

  M().DrawTcasWindowOnP1000MFD = 0;  // traffic on the map: the map range steps
  IncrementNdRange();
  EXPECT_EQ(M().P1000MapRange, 80);
  EXPECT_EQ(M().P1000TcasRange, 12.5);

  M().P1000MenuOpen = 1;  // an open soft-key menu takes the knob
  IncrementNdRange();
  DecrementNdRange();
  EXPECT_EQ(M().P1000MapRange, 80);
}

TEST_F(DisplayCommandsTest, ModesCycleEachFamily) {
  auto b737 = [](int from, bool up) {
    M().HWB737NDMode = from;
    up ? IncrementNdMode(kDisplayB737Nd) : DecrementNdMode(kDisplayB737Nd);
    return M().HWB737NDMode;
  };
  EXPECT_EQ(b737(5, true), 6);
  EXPECT_EQ(b737(7, true), 7);
  EXPECT_EQ(b737(1, false), 1);
  EXPECT_EQ(b737(2, false), 1);
  EXPECT_EQ(b737(0, true), 1);   // off the scale: brought back within 1..7
  EXPECT_EQ(b737(12, false), 7);

  const int up[4] = {1, 3, 2, 2};  // 0->1, 1->3, 2 stays, 3->2
  const int down[4] = {0, 0, 3, 1};
  for (int from = 0; from < 4; ++from) {
    M().DU1000EHSIMode = from;
    M().MD80EHSIMode = from;
    IncrementNdMode(kDisplayDu1000);
    IncrementNdMode(kDisplayMd80);
    EXPECT_EQ(M().DU1000EHSIMode, up[from]);
    EXPECT_EQ(M().MD80EHSIMode, up[from]);
    M().DU1000EHSIMode = from;
    DecrementNdMode(kDisplayDu1000);
    EXPECT_EQ(M().DU1000EHSIMode, down[from]);
  }
  M().DU1000EHSIMode = 9;
  IncrementNdMode(kDisplayDu1000);
  EXPECT_EQ(M().DU1000EHSIMode, 9);

  struct Step {
    int from;
    bool up;
    int to;
    int radius;
  } steps[] = {{0, true, 3, 140}, {1, true, 2, 70}, {2, true, 0, 70},  {3, true, 1, 140},
               {0, false, 2, 70}, {1, false, 3, 140}, {2, false, 1, 70}, {3, false, 0, 140}};
  for (const Step& s : steps) {
    M().PROLINE4MFDMode = s.from;
    M().Proline4MapRadius = s.from == 2 ? 70 : 140;
    s.up ? IncrementNdMode(kDisplayProline4) : DecrementNdMode(kDisplayProline4);
    EXPECT_EQ(M().PROLINE4MFDMode, s.to) << s.from << (s.up ? " up" : " down");
    EXPECT_EQ(M().Proline4MapRadius, s.radius) << s.from << (s.up ? " up" : " down");
  }
}

TEST_F(DisplayCommandsTest, ModeIdZeroStepsEveryFamilyAndOtherIdsNone) {
  IncrementNdMode(kDisplayAll);
  EXPECT_EQ(M().HWB737NDMode, 6);
  EXPECT_EQ(M().DU1000EHSIMode, 2);
  EXPECT_EQ(M().PROLINE4MFDMode, 1);
  EXPECT_EQ(M().MD80EHSIMode, 2);
  DecrementNdMode(kDisplayAll);
  EXPECT_EQ(M().HWB737NDMode, 5);
  EXPECT_EQ(M().DU1000EHSIMode, 3);
  EXPECT_EQ(M().PROLINE4MFDMode, 3);
  EXPECT_EQ(M().MD80EHSIMode, 3);
  for (int id : {1, 9, 13, -1}) IncrementNdMode(id);
  EXPECT_EQ(M().HWB737NDMode, 5);
  EXPECT_EQ(M().HWMD11NDMode, 3);
}

TEST_F(DisplayCommandsTest, LayerTogglesFlipEveryFamilyAndPublishTheB737Value) {
  testing::FakeHost host;
  host.Bind();
  host.SetNamed("ovi_nd_apt", 7);
  host.SetNamed("ovi_nd_int", 7);
  host.SetNamed("ovi_nd_tcas", 7);
  M().Proline4ShowAirports = 5;  // any other value than 0 flips to 0

  ToggleNdAirports();
  EXPECT_EQ(M().NdShowAirports, 0);
  EXPECT_EQ(M().Md11NdShowAirports, 0);
  EXPECT_EQ(M().Du1000ShowAirports, 0);
  EXPECT_EQ(M().Proline4ShowAirports, 0);
  EXPECT_EQ(M().Md80EhsiShowAirports, 0);
  EXPECT_EQ(M().P1000ShowAirports, 1);  // the P1000 starts with it off
  EXPECT_EQ(host.Named("ovi_nd_apt"), 0.0);

  ToggleNdNavaids();  // "ovi_nd_nav" does not exist: not created, never set
  EXPECT_EQ(M().NdShowNavaids, 0);
  EXPECT_EQ(M().Proline4ShowVors, 0);
  EXPECT_EQ(M().Du1000ShowAux, 0);    // NDB layers are not navaids here
  EXPECT_EQ(M().Proline4ShowNdbs, 0);
  EXPECT_EQ(M().P1000ShowNavaids, 1);
  EXPECT_TRUE(std::isnan(host.Named("ovi_nd_nav")));

  ToggleNdIntersections();
  EXPECT_EQ(M().NdShowIntersections, 1);
  EXPECT_EQ(M().Md11NdShowIntersections, 1);
  EXPECT_EQ(M().Du1000ShowIntersections, 1);
  EXPECT_EQ(M().Proline4ShowIntersections, 1);
  EXPECT_EQ(M().Md80EhsiShowIntersections, 1);
  EXPECT_EQ(M().P1000ShowIntersections, 1);
  EXPECT_EQ(host.Named("ovi_nd_int"), 1.0);

  M().EFS50HsiMode = 3;
  ToggleNdTcas();
  EXPECT_EQ(M().NdShowTraffic, 1);
  EXPECT_EQ(M().EFS50HsiMode, 8);
  EXPECT_EQ(M().Efs50SavedHsiMode, 3);
  EXPECT_EQ(host.Named("ovi_nd_tcas"), 1.0);
  ToggleNdTcas();
  EXPECT_EQ(M().NdShowTraffic, 0);
  EXPECT_EQ(M().EFS50HsiMode, 3);
  EXPECT_EQ(host.Named("ovi_nd_tcas"), 0.0);

  M().ShowAtcBoundaries = 4;  // not 1: becomes 1
  ToggleNdBoundaries();
  EXPECT_EQ(M().ShowAtcBoundaries, 1);
  EXPECT_EQ(M().Md80EhsiShowBoundaries, 1);
  ToggleNdBoundaries();
  EXPECT_EQ(M().ShowAtcBoundaries, 0);
  EXPECT_EQ(M().Md80EhsiShowBoundaries, 0);

  ToggleEfisAuxFlag();
  EXPECT_EQ(M().EfisAuxFlag, 1);
  ToggleEfisAuxFlag();
  EXPECT_EQ(M().EfisAuxFlag, 0);

  for (std::int32_t id : host.ids_used) EXPECT_GE(id, 0);  // -1 never reaches the host
}

TEST_F(DisplayCommandsTest, TogglesWorkWithoutAHost) {
  ToggleNdAirports();
  ToggleNdTcas();
  SendEfisKeyEventUp();
  SendBoundedIncrementKey();
  EXPECT_EQ(M().NdShowAirports, 0);
  EXPECT_EQ(M().NdShowTraffic, 1);
}

TEST_F(DisplayCommandsTest, KeyEventsAndTheDecisionHeightBounds) {
  testing::FakeHost host;
  host.Bind();
  SendEfisKeyEventUp();
  SendEfisKeyEventDown();
  host.tokens[615] = 989.9;
  SendBoundedIncrementKey();
  host.tokens[615] = 990.0;
  SendBoundedIncrementKey();  // at the top: nothing
  host.tokens[615] = 0.0;
  SendBoundedDecrementKey();  // at the bottom: nothing
  host.tokens[615] = 0.5;
  SendBoundedDecrementKey();
  using E = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  EXPECT_EQ(host.key_events, (E{{0x1007F, 0}, {0x1007E, 0}, {0x10311, 0}, {0x10312, 0}}));
}

}  // namespace
}  // namespace ovi::host
