// The P1000's keys pressed by name through the stand-in's mouse routing:
// soft keys by menu state and page, the SET knob on the VNAV page, both
// vertical-speed formulas, the range keys on both ladders, MAP/PLAN, the
// controller's TCAS, APT and VOR keys against the soft keys, and the
// menu's heartbeat; the controller gauges' rows.
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

class ControlsTest : public P1000Test {
 public:
  void SetUp() override {
    P1000Test::SetUp();
    model().DescentSpeed = 250;  // 321.25 kt true at 15000 ft: 5.354166... NM a minute
    guidance().AircraftAltitude = 15000.0;
  }
  static State& P() { return p1000_state; }
  // Presses keys and checks that each forced a full repaint.
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

constexpr double kMilesPerMinute = 321.25 / 60.0;

TEST_F(ControlsTest, SoftKeysToggleLayersWithTheMenuClosed) {
  Press(bezel, {"SOFT1", "SOFT2", "SOFT3", "SOFT4", "SOFT5"});
  EXPECT_EQ(model().P1000ShowAirports, 1);  // both start off
  EXPECT_EQ(model().P1000ShowNavaids, 1);
  EXPECT_EQ(model().NdShowAirports, 0);     // every family's switch flips
  EXPECT_EQ(model().P1000ShowIntersections, 1);
  EXPECT_EQ(model().NdShowIntersections, 0);  // the bezel's key is the P1000's own
  EXPECT_EQ(model().NdShowTraffic, 1);
  EXPECT_EQ(model().EFS50HsiMode, 8);
  EXPECT_EQ(model().ShowAtcBoundaries, 1);
  Press(strip, {"SOFT3"});  // the key strip's third key flips every family's
  EXPECT_EQ(model().P1000ShowIntersections, 0);
  EXPECT_EQ(model().NdShowIntersections, 1);
}

TEST_F(ControlsTest, SoftKeysDriveTheMenuPages) {
  model().P1000MenuOpen = 1;
  model().FPA = 3.0;
  Press(bezel, {"SOFT1", "SOFT3", "SOFT4", "SOFT5"});  // main page: nothing
  EXPECT_EQ(P().P1000MenuPage, kMainMenuPage);
  EXPECT_EQ(model().P1000ShowAirports + model().NdShowTraffic + model().ShowAtcBoundaries, 0);
  Press(bezel, {"SOFT2"});
  EXPECT_EQ(P().P1000MenuPage, kVnavPage);
  EXPECT_NEAR(P().P1000VnavVerticalSpeed, 300.0 * kMilesPerMinute, 1e-9);
  struct Step {
    const char* key;
    std::int32_t distance, altitude, angle;
  };
  for (const Step& s : {Step{"SOFT2", 1, 0, 0}, {"SOFT2", 2, 0, 0}, {"SOFT2", 1, 0, 0}, {"SOFT3", 0, 1, 0},
                        {"SOFT4", 0, 0, 1}, {"SOFT2", 1, 0, 0}, {"SOFT4", 0, 0, 1}, {"SOFT1", 0, 0, 1}}) {
    Press(bezel, {s.key});
    EXPECT_EQ(P().P1000VnavDistanceSelect, s.distance) << s.key;
    EXPECT_EQ(P().P1000VnavAltitudeSelect, s.altitude) << s.key;
    EXPECT_EQ(P().P1000VnavAngleSelect, s.angle) << s.key;
  }
  EXPECT_EQ(P().P1000VnavDistanceSelect + P().P1000VnavAltitudeSelect, 0);
  EXPECT_EQ(P().P1000MenuPage, kMainMenuPage);  // RTN; VANG stays selected
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
  Press(bezel, {"SET_UP"});
  Press(strip, {"SET_DOWN", "SET_DOWN", "SET_UP"});
  EXPECT_EQ(P().P1000VnavDistance, 1.0);  // 1, 0, stays 0, 1
  P().P1000VnavDistance = 20.0;
  Press(bezel, {"SET_UP", "SET_DOWN"});  // both set: the altitude over the distance
  EXPECT_NEAR(P().P1000VnavVerticalSpeed, (5000.0 - 15000.0) * kMilesPerMinute / 20.0, 1e-9);
  // VANG: within 0 to 6 degrees, and it clears the altitude and distance.
  P().P1000VnavDistanceSelect = 0;
  P().P1000VnavAngleSelect = 1;
  model().FPA = 5.95;
  Press(bezel, {"SET_UP"});
  EXPECT_EQ(model().FPA, 6.0);
  EXPECT_EQ(P().P1000VnavTargetAltitude + P().P1000VnavDistance, 0.0);
  EXPECT_NEAR(P().P1000VnavVerticalSpeed, 600.0 * kMilesPerMinute, 1e-9);
  model().FPA = 0.05;
  Press(bezel, {"SET_DOWN"});
  EXPECT_EQ(model().FPA, 0.0);
  // Off the VNAV page the knob only repaints; no descent speed, no speed.
  P().P1000MenuPage = kMainMenuPage;
  Press(bezel, {"SET_UP"});
  EXPECT_EQ(model().FPA, 0.0);
  model().DescentSpeed = 0;
  P().P1000VnavTargetAltitude = 5000.0, P().P1000VnavDistance = 20.0;
  ComputeP1000VnavVerticalSpeed();
  EXPECT_EQ(P().P1000VnavVerticalSpeed, 0.0);
}

TEST_F(ControlsTest, RangeKeysOnBothLaddersWithAndWithoutTheMenu) {
  struct Case {
    const char* key;
    bool traffic_window;
    double from, to;
  };
  // The ladders themselves are the range commands' (tests/host).
  for (const Case& c : {Case{"RNG_INC", false, 160, 0.5}, {"RNG_DEC", false, 12.5, 5}, {"RNG_INC", true, 40, 5},
                        {"RNG_DEC", true, 5, 40}}) {
    model().NdShowTraffic = c.traffic_window;
    model().P1000MenuOpen = 1;  // the rocker does not look at the menu
    double& range = c.traffic_window ? model().P1000TcasRange : model().P1000MapRange;
    range = c.from;
    controller.Press(c.key);
    EXPECT_EQ(range, c.to) << c.key << " from " << c.from;
  }
  // The bezel's knob steps the map only while the menu is closed.
  model().NdShowTraffic = 0;
  model().P1000MapRange = 12.5;
  bezel.Press("RANGE_UP");
  EXPECT_EQ(model().P1000MapRange, 12.5);
  model().P1000MenuOpen = 0;
  bezel.Press({"RANGE_UP", "RANGE_UP", "RANGE_DOWN"});
  EXPECT_EQ(model().P1000MapRange, 25.0);
}

TEST_F(ControlsTest, ControllerKeysAgainstTheSoftKeys) {
  // MAP/PLAN: the centred format, then back with the arc's geometry at once.
  Press(controller, {"MAP_PLAN"});
  EXPECT_EQ(model().P1000MapFormat, kCentredFormat);
  model().P1000MapGeometry = {134, 116, 75};
  Press(controller, {"MAP_PLAN"});
  EXPECT_EQ(model().P1000MapFormat, kArcFormat);
  EXPECT_EQ(model().P1000MapGeometry.centre_y, 148);
  EXPECT_EQ(model().P1000MapGeometry.radius, 53);
  // TCAS: only the P1000's traffic, no repaint forced to switch it on.
  guidance().DisplayRefreshCounter = 5;
  controller.Press("TCAS");
  EXPECT_EQ(model().NdShowTraffic, 1);
  EXPECT_EQ(model().EFS50HsiMode, 1);
  EXPECT_EQ(guidance().DisplayRefreshCounter, 5);
  Press(controller, {"TCAS"});
  EXPECT_EQ(model().NdShowTraffic, 0);
  // APT and VOR: the P1000's switches only.
  controller.Press({"APT", "VOR"});
  EXPECT_EQ(model().P1000ShowAirports + model().P1000ShowNavaids, 2);
  EXPECT_EQ(model().NdShowAirports + model().NdShowNavaids, 2);
}

TEST_F(ControlsTest, ControllerFramesAreTheMenusHeartbeat) {
  guidance().DisplayRefreshCounter = 5;
  p1000_mfd_cntr_gauge.gauge_callback(&p1000_mfd_cntr_gauge, PANEL_SERVICE_PRE_DRAW, 0);
  EXPECT_EQ(model().P1000MenuOpen, 1);
  EXPECT_EQ(model().P1000MenuActivityCount, 1);
  EXPECT_EQ(guidance().DisplayRefreshCounter, 999);
  model().P1000MenuActivityCount = 29999;
  for (const std::int32_t count : {30000, 1, 2}) {
    p1000_mfd_cntr_gauge.gauge_callback(&p1000_mfd_cntr_gauge, PANEL_SERVICE_PRE_DRAW, 0);
    EXPECT_EQ(model().P1000MenuActivityCount, count);
  }
  // The key strip keeps no heartbeat: with it alone the menu never opens.
  model().P1000MenuOpen = 0;
  p1000_mfd_nb_cntr_gauge.gauge_callback(&p1000_mfd_nb_cntr_gauge, PANEL_SERVICE_PRE_DRAW, 0);
  EXPECT_EQ(model().P1000MenuOpen, 0);
}

TEST_F(ControlsTest, ControllerRowsLogAndLoadOnlyTheirShare) {
  const sim::test::ScratchDir folder("p1000_controller_log");
  host::host_state.SimulatorFolder = folder.path();
  ASSERT_TRUE(host::OpenLogFile());
  for (GAUGEHDR* g : {&p1000_mfd_cntr_gauge, &p1000_mfd_nb_cntr_gauge}) {
    model().AircraftConfigName.clear();
    g->parameters = "VC";
    g->gauge_callback(g, PANEL_SERVICE_PRE_INITIALIZE, 0);
    EXPECT_EQ(model().AircraftConfigName, "VC") << g->gauge_name;  // any parameter names the aircraft
    EXPECT_EQ(model().ConfigLoaded, 1);
    EXPECT_EQ(navdb::navdb_state.AirportCount, 0);
    g->parameters = "";
  }
  host::CloseLogFile();
  EXPECT_EQ(sim::test::ReadFile(folder / "ovi1.log"), "p1000_mfd_cntr_callback \n");
}

}  // namespace
}  // namespace ovi::p1000::test
