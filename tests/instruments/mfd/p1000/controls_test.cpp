// The P1000's keys pressed by name through the stand-in's mouse routing,
// the menu's heartbeat, and the controller gauges' rows.
#include "src/host/debug_log.h"
#include "src/host/state.h"
#include "src/instruments/efs/display_gauges.h"
#include "src/instruments/mfd/p1000/controls.h"
#include "src/instruments/mfd/p1000/gauges.h"
#include "tests/instruments/mfd/p1000/p1000_test_support.h"
#include "tests/sim/test_support.h"
#include "tests/support/panel_clicks.h"

namespace ovi::p1000::test {
namespace {

// DescentSpeed 250 is 321.25 kt true at 15000 ft.
constexpr double kMilesPerMinute = 321.25 / 60.0;

class ControlsTest : public P1000Test {
 public:
  void SetUp() override {
    P1000Test::SetUp();
    model().DescentSpeed = 250;
    model().FPA = 3.0;
    guidance().AircraftAltitude = 15000.0;
  }
  static State& P() { return p1000_state; }
  // Presses keys, each of which must force a full repaint.
  void Press(testing::PanelClicks& gauge, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
      guidance().DisplayRefreshCounter = 5;
      gauge.Press(key);
      EXPECT_EQ(guidance().DisplayRefreshCounter, 999) << key;
    }
  }
  testing::PanelClicks bezel{efs::p1000_mfd_gauge, "P1000_MFD"};
  testing::PanelClicks strip{p1000_mfd_nb_cntr_gauge, "P1000_MFD_NB_CNTR"};
  testing::PanelClicks controller{p1000_mfd_cntr_gauge, "P1000_MFD_CNTR"};
};

TEST_F(ControlsTest, SoftKeysByMenuStateAndPage) {
  Press(bezel, {"SOFT1", "SOFT2", "SOFT3", "SOFT4", "SOFT5"});  // menu closed: layers
  EXPECT_EQ(model().P1000ShowAirports + model().P1000ShowNavaids + model().P1000ShowIntersections, 3);
  EXPECT_EQ(model().NdShowAirports + model().NdShowIntersections, 0);  // the bezel's 3 is the P1000's own
  EXPECT_EQ(model().EFS50HsiMode, 8);
  EXPECT_EQ(model().ShowAtcBoundaries, 1);
  Press(strip, {"SOFT3"});  // the strip's 3 flips every family's
  EXPECT_EQ(model().NdShowIntersections + model().P1000ShowIntersections, 1);

  ResetModuleState();
  model().P1000MenuOpen = 1;
  Press(bezel, {"SOFT1", "SOFT3", "SOFT4", "SOFT5"});  // main page: nothing
  EXPECT_EQ(model().P1000ShowAirports + model().NdShowTraffic + model().ShowAtcBoundaries, 0);
  model().FPA = 3.0;
  model().DescentSpeed = 250;
  Press(bezel, {"SOFT2"});
  EXPECT_EQ(P().P1000MenuPage, kVnavPage);
  EXPECT_NEAR(P().P1000VnavVerticalSpeed, 300.0 * kMilesPerMinute, 1e-9);
  // Selections after each key as three digits: distance (0, 1 TO, 2 FM),
  // altitude, angle. RTN keeps VANG.
  for (const auto& [key, distance, altitude, angle] :
       {std::tuple{"SOFT2", 1, 0, 0}, {"SOFT2", 2, 0, 0}, {"SOFT2", 1, 0, 0}, {"SOFT3", 0, 1, 0}, {"SOFT4", 0, 0, 1},
        {"SOFT2", 1, 0, 0}, {"SOFT4", 0, 0, 1}, {"SOFT1", 0, 0, 1}}) {
    Press(bezel, {key});
    EXPECT_EQ(P().P1000VnavDistanceSelect * 100 + P().P1000VnavAltitudeSelect * 10 + P().P1000VnavAngleSelect,
              distance * 100 + altitude * 10 + angle) << key;
  }
  EXPECT_EQ(P().P1000MenuPage, kMainMenuPage);
}

TEST_F(ControlsTest, SetKnobStepsTheSelectedFieldWithinItsFloors) {
  P().P1000MenuPage = kVnavPage;  // the menu closed: the knob still steps
  P().P1000VnavAltitudeSelect = 1;
  Press(bezel, {"SET_UP", "SET_UP", "SET_DOWN"});
  EXPECT_EQ(P().P1000VnavTargetAltitude, 100.0);
  P().P1000VnavTargetAltitude = 50.0;
  Press(bezel, {"SET_DOWN"});
  EXPECT_EQ(P().P1000VnavTargetAltitude, 50.0);
  P().P1000VnavTargetAltitude = 5000.0;
  P().P1000VnavAltitudeSelect = 0;
  P().P1000VnavDistanceSelect = 2;
  Press(strip, {"SET_UP", "SET_DOWN", "SET_DOWN", "SET_UP"});
  EXPECT_EQ(P().P1000VnavDistance, 1.0);  // 1, 0, stays 0, 1
  P().P1000VnavDistance = 20.0;
  Press(bezel, {"SET_UP", "SET_DOWN"});  // both set: the altitude over the distance
  EXPECT_NEAR(P().P1000VnavVerticalSpeed, -10000.0 * kMilesPerMinute / 20.0, 1e-9);
  // VANG stays within 0 to 6 degrees and clears the altitude and distance.
  P().P1000VnavDistanceSelect = 0;
  P().P1000VnavAngleSelect = 1;
  for (const auto& [from, key, to] : {std::tuple{5.95, "SET_UP", 6.0}, {0.05, "SET_DOWN", 0.0}}) {
    model().FPA = from;
    Press(bezel, {key});
    EXPECT_EQ(model().FPA, to);
    EXPECT_NEAR(P().P1000VnavVerticalSpeed, to * 100.0 * kMilesPerMinute, 1e-9);
  }
  EXPECT_EQ(P().P1000VnavTargetAltitude + P().P1000VnavDistance, 0.0);
  P().P1000MenuPage = kMainMenuPage;  // off the VNAV page: only the repaint
  Press(bezel, {"SET_UP"});
  EXPECT_EQ(model().FPA, 0.0);
  model().DescentSpeed = 0;  // no descent speed, no vertical speed
  P().P1000VnavTargetAltitude = 5000.0, P().P1000VnavDistance = 20.0;
  ComputeP1000VnavVerticalSpeed();
  EXPECT_EQ(P().P1000VnavVerticalSpeed, 0.0);
}

TEST_F(ControlsTest, RangeKeysWithAndWithoutTheMenu) {
  // The rocker does not look at the menu (the ladders are the range
  // commands', tests/host).
  model().P1000MenuOpen = 1;
  for (const auto& [key, window, from, to] : {std::tuple{"RNG_INC", 0, 160.0, 0.5}, {"RNG_DEC", 0, 12.5, 5.0},
                                              {"RNG_INC", 1, 40.0, 5.0}, {"RNG_DEC", 1, 5.0, 40.0}}) {
    model().NdShowTraffic = window;
    double& range = window == 1 ? model().P1000TcasRange : model().P1000MapRange;
    range = from;
    controller.Press(key);
    EXPECT_EQ(range, to) << key << " from " << from;
  }
  model().NdShowTraffic = 0;
  model().P1000MapRange = 12.5;
  bezel.Press("RANGE_UP");  // the knob only with the menu closed
  EXPECT_EQ(model().P1000MapRange, 12.5);
  model().P1000MenuOpen = 0;
  bezel.Press({"RANGE_UP", "RANGE_UP", "RANGE_DOWN"});
  EXPECT_EQ(model().P1000MapRange, 25.0);
}

TEST_F(ControlsTest, ControllerKeysAgainstTheSoftKeys) {
  Press(controller, {"MAP_PLAN"});
  EXPECT_EQ(model().P1000MapFormat, kCentredFormat);
  model().P1000MapGeometry = {134, 116, 75};
  Press(controller, {"MAP_PLAN"});  // back with the arc's geometry at once
  EXPECT_EQ(model().P1000MapFormat, kArcFormat);
  EXPECT_EQ(model().P1000MapGeometry.centre_y, 148);
  EXPECT_EQ(model().P1000MapGeometry.radius, 53);
  // TCAS: only the P1000's traffic, and switching it on forces no repaint.
  guidance().DisplayRefreshCounter = 5;
  controller.Press("TCAS");
  EXPECT_EQ(model().NdShowTraffic, 1);
  EXPECT_EQ(model().EFS50HsiMode, 1);
  EXPECT_EQ(guidance().DisplayRefreshCounter, 5);
  Press(controller, {"TCAS"});
  EXPECT_EQ(model().NdShowTraffic, 0);
  controller.Press({"APT", "VOR"});  // the P1000's switches only
  EXPECT_EQ(model().P1000ShowAirports + model().P1000ShowNavaids, 2);
  EXPECT_EQ(model().NdShowAirports + model().NdShowNavaids, 2);
}

TEST_F(ControlsTest, ControllerFramesAreTheMenusHeartbeat) {
  auto frame = [](GAUGEHDR& g) { g.gauge_callback(&g, PANEL_SERVICE_PRE_DRAW, 0); };
  guidance().DisplayRefreshCounter = 5;
  frame(p1000_mfd_cntr_gauge);
  EXPECT_EQ(model().P1000MenuOpen, 1);
  EXPECT_EQ(model().P1000MenuActivityCount, 1);
  EXPECT_EQ(guidance().DisplayRefreshCounter, 999);
  model().P1000MenuActivityCount = 29999;
  for (const std::int32_t count : {30000, 1, 2}) {
    frame(p1000_mfd_cntr_gauge);
    EXPECT_EQ(model().P1000MenuActivityCount, count);
  }
  model().P1000MenuOpen = 0;
  frame(p1000_mfd_nb_cntr_gauge);  // no heartbeat: the menu stays closed
  EXPECT_EQ(model().P1000MenuOpen, 0);
}

TEST_F(ControlsTest, ControllerRowsLogAndLoadOnlyTheirShare) {
  const sim::test::ScratchDir folder("p1000_controller_log");
  host::host_state.SimulatorFolder = folder.path();
  ASSERT_TRUE(host::OpenLogFile());
  for (GAUGEHDR* g : {&p1000_mfd_cntr_gauge, &p1000_mfd_nb_cntr_gauge}) {
    model().AircraftConfigName.clear();
    g->parameters = "VC";  // any parameter names the aircraft
    g->gauge_callback(g, PANEL_SERVICE_PRE_INITIALIZE, 0);
    EXPECT_EQ(model().AircraftConfigName, "VC") << g->gauge_name;
    EXPECT_EQ(model().ConfigLoaded, 1);
    EXPECT_EQ(navdb::navdb_state.AirportCount, 0);  // no navigation database
    g->parameters = "";
  }
  host::CloseLogFile();
  EXPECT_EQ(sim::test::ReadFile(folder / "ovi1.log"), "p1000_mfd_cntr_callback \n");
}

}  // namespace
}  // namespace ovi::p1000::test
