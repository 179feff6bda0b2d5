// The LNAV and VNAV buttons: what engaging prepares, what disengaging
// abandons, the named variables and the annunciators.
#include <gtest/gtest.h>

#include <cmath>

#include "src/flightplan/execute.h"
#include "src/flightplan/state.h"
#include "src/guidance/engage_buttons.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::guidance {
namespace {

// Initial great-circle course, degrees true 0..360.
double InitialCourse(double lat1, double lon1, double lat2, double lon2) {
  const double r = M_PI / 180.0, dl = (lon2 - lon1) * r;
  double c = std::atan2(std::sin(dl) * std::cos(lat2 * r),
                        std::cos(lat1 * r) * std::sin(lat2 * r) - std::sin(lat1 * r) * std::cos(lat2 * r) * std::cos(dl));
  return std::fmod(c / r + 360.0, 360.0);
}

class EngageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    host.RegisterNamedVariable("ovi_lnav");
    host.RegisterNamedVariable("ovi_vnav");
  }
  void TearDown() override { ResetModuleState(); }

  // Aircraft at 47N 122W, the active waypoint 60' north and 60' west of it.
  void ActiveWaypoint() {
    flightplan::State& fp = flightplan::flightplan_state;
    fp.ActiveFlightPlanLastIndex = 2;
    fp.ActiveWaypointIndex = 1;
    State& g = guidance_state;
    g.PlaneLatitude = 47.0;
    g.PlaneLongitude = -122.0;
    g.ActiveWaypointLat = 48.0;
    g.ActiveWaypointLon = -123.0;
  }
  testing::FakeHost host;
};

TEST_F(EngageTest, NoActiveWaypointEngagesNothingButStillPublishes) {
  host.SetNamed("ovi_lnav", 1.0);  // whatever another gauge left there
  host.SetNamed("ovi_vnav", 1.0);
  ToggleVnav();
  EXPECT_EQ(guidance_state.VnavEngaged, 0);
  EXPECT_EQ(host.Named("ovi_vnav"), 0.0);
  EXPECT_EQ(gnsxls::gnsxls_state.McuRedrawRequest, 1);
  gnsxls::gnsxls_state.McuRedrawRequest = 0;
  ToggleLnav();
  EXPECT_EQ(guidance_state.LnavEngaged, 0);
  EXPECT_EQ(guidance_state.ActiveLegFromEngagePosition, 0);
  EXPECT_EQ(host.Named("ovi_lnav"), 0.0);
  EXPECT_EQ(gnsxls::gnsxls_state.McuRedrawRequest, 1);
  EXPECT_EQ(guidance_state.DisplayRefreshCounter, 999);
  EXPECT_TRUE(host.key_events.empty());
}

TEST_F(EngageTest, LnavEngagesFromTheAircraftPosition) {
  ActiveWaypoint();
  guidance_state.MagneticVariation = 16.0;
  model::model_state.HdgHoldOnLnavOn = 1;
  ToggleLnav();
  const State& g = guidance_state;
  EXPECT_EQ(g.LnavEngaged, 1);
  EXPECT_EQ(host.Named("ovi_lnav"), 1.0);
  EXPECT_EQ(g.ActiveLegFromEngagePosition, 1);
  EXPECT_EQ(g.LegOriginLatitude, 47.0);
  EXPECT_EQ(g.LegOriginLongitude, -122.0);
  // About 326 true (north-west), less 16 of variation.
  EXPECT_NEAR(g.LnavInitialCourse, InitialCourse(47.0, -122.0, 48.0, -123.0) - 16.0, 1e-6);
  ASSERT_EQ(host.key_events.size(), 1u);
  EXPECT_EQ(host.key_events[0], std::make_pair(65807u, 0u));  // heading hold on
}

TEST_F(EngageTest, LnavDisengageAbandonsTheHold) {
  ActiveWaypoint();
  ToggleLnav();
  State& g = guidance_state;
  flightplan::State& fp = flightplan::flightplan_state;
  fp.HoldCount = 1;
  fp.HoldTable[1].active_index = 2;
  g.ActiveHoldIndex = 1;
  g.HoldState = 0;
  g.LnavLegTracking = 1;
  ToggleLnav();
  EXPECT_EQ(g.LnavEngaged, 0);
  EXPECT_EQ(g.LnavLegTracking, 0);
  EXPECT_EQ(g.HoldState, 1);
  EXPECT_EQ(fp.HoldTable[1].active_index, 0);
  EXPECT_EQ(g.ActiveHoldIndex, 0);
  EXPECT_EQ(g.ActiveLegFromEngagePosition, 0);
  EXPECT_EQ(host.Named("ovi_lnav"), 0.0);
  // Disengaging works without a waypoint too.
  ToggleLnav();
  fp.ActiveWaypointIndex = model::kNoWaypoint;
  ToggleLnav();
  EXPECT_EQ(g.LnavEngaged, 0);
}

TEST_F(EngageTest, AHoldAbandonedByDisengagingIsGoneWhenLnavComesBack) {
  // Flying a hold at waypoint 1 (the active one), two corners in.
  ActiveWaypoint();
  flightplan::State& fp = flightplan::flightplan_state;
  fp.ActiveFlightPlan[0].latitude = 46.0;
  fp.ActiveFlightPlan[0].longitude = -122.0;
  fp.ActiveFlightPlan[1].latitude = 48.0;
  fp.ActiveFlightPlan[1].longitude = -123.0;
  fp.HoldCount = 1;
  fp.HoldTable[1].active_index = 1;  // pending index 0, as EXEC leaves it: the pending route shows it there too
  fp.ActiveFlightPlan[1].hold_number = 1;
  fp.PendingFlightPlanLastIndex = 2;
  fp.PendingFlightPlan[1].hold_number = 1;
  fp.HoldTable[1].corners[0].latitude = 48.0;
  fp.HoldTable[1].corners[0].longitude = -123.0;
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.ApHeadingLock = 1;
  g.ActiveHoldIndex = 1;
  g.HoldSegmentCounter = 2;
  g.ActiveWaypointDistance = 80.0;
  ToggleLnav();  // off: the hold is abandoned
  RunWaypointPassage();
  EXPECT_EQ(fp.HoldCount, 0);
  // No stale hold number on the waypoint, in either route.
  EXPECT_EQ(fp.ActiveFlightPlan[1].hold_number + fp.PendingFlightPlan[1].hold_number, 0u);
  EXPECT_EQ(g.HoldSegmentCounter, 0u);
  EXPECT_EQ(g.ActiveHoldIndex, 0);
  EXPECT_EQ(fp.ActiveWaypointIndex, 1);
  // On again: LNAV steers to the waypoint from where the aircraft is, the
  // 326 true of the engage course less 16 of variation, and sends it.
  g.MagneticVariation = 16.0;
  host.key_events.clear();
  ToggleLnav();
  UpdateLegGeometry();
  SteerLaterally();
  const double course = InitialCourse(47.0, -122.0, 48.0, -123.0) - 16.0;
  EXPECT_NEAR(g.LnavCommandedHeading, course, 0.01);
  ASSERT_EQ(host.key_events.size(), 1u);
  EXPECT_EQ(host.key_events[0], std::make_pair(66042u, static_cast<std::uint32_t>(course)));
}

// LNAV off in a hold while a change waits for EXEC, in which the hold's
// waypoint moved (a waypoint inserted before it): EXEC before the deletion
// that follows drops the hold, never brings it back onto its waypoint.
TEST_F(EngageTest, AHoldAbandonedWhileAChangeWaitsStaysGoneAtExec) {
  ActiveWaypoint();
  flightplan::State& fp = flightplan::flightplan_state;
  const char* flown[] = {"A", "B", "C"};
  const char* changed[] = {"A", "X", "B", "C"};
  for (int i = 0; i < 3; ++i) fp.ActiveFlightPlan[i].ident = flown[i];
  for (int i = 0; i < 4; ++i) fp.PendingFlightPlan[i].ident = changed[i];
  fp.PendingFlightPlanLastIndex = 3;
  fp.RouteState = 4;
  fp.HoldCount = 1;
  fp.HoldTable[1].active_index = 1;
  fp.HoldTable[1].pending_index = 2;
  fp.ActiveFlightPlan[1].hold_number = fp.PendingFlightPlan[2].hold_number = 1;
  State& g = guidance_state;
  g.LnavEngaged = 1;
  g.ActiveHoldIndex = 1;
  g.HoldSegmentCounter = 2;
  ToggleLnav();
  flightplan::ExecutePendingRoute();
  EXPECT_EQ(fp.ActiveFlightPlanLastIndex, 3);
  EXPECT_EQ(fp.HoldCount, 0);
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(fp.ActiveFlightPlan[i].hold_number, 0u) << i;
}

TEST_F(EngageTest, VnavEngageCommandsAfreshAndReArmsSpeedControl) {
  ActiveWaypoint();
  State& g = guidance_state;
  g.VnavLastSetAltitude = 12000;
  g.VnavLastSetSpeed = 250;
  g.VnavLastSetMach = 78;
  g.VnavSpeedSet = 1;
  g.VnavAltitudeSet = 1;
  model::model_state.VnavSetSpd = 2;  // a manual speed change switched it off
  ToggleVnav();
  EXPECT_EQ(g.VnavEngaged, 1);
  EXPECT_EQ(g.VnavLastSetAltitude, kNoCommand);
  EXPECT_EQ(g.VnavLastSetSpeed, kNoCommand);
  EXPECT_EQ(g.VnavLastSetMach, kNoCommand);
  EXPECT_EQ(g.VnavSpeedSet, 0);
  EXPECT_EQ(g.VnavAltitudeSet, 0);
  EXPECT_EQ(g.VnavSpdRestPending, 1);
  EXPECT_EQ(model::model_state.VnavSetSpd, 1);
  EXPECT_EQ(host.Named("ovi_vnav"), 1.0);
  // Disengaging leaves the speed option alone.
  model::model_state.VnavSetSpd = 2;
  ToggleVnav();
  EXPECT_EQ(g.VnavEngaged, 0);
  EXPECT_EQ(model::model_state.VnavSetSpd, 2);
  EXPECT_EQ(host.Named("ovi_vnav"), 0.0);
}

TEST_F(EngageTest, AnnunciatorShowsExactlyWhileEngagedAndClicksToggle) {
  ActiveWaypoint();
  ELEMENT_HEADER* lamp = lnav_gauge.elements_list[0];
  lamp->image_flags = 0;
  lnav_callback(&lnav_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  EXPECT_EQ(lamp->image_flags & IMAGE_HIDDEN, IMAGE_HIDDEN);
  PIXPOINT p{10, 10};
  EXPECT_EQ(lnav_gauge.mouse_rect[1].handler(&p, MOUSE_LEFTSINGLE), 0);
  EXPECT_EQ(guidance_state.LnavEngaged, 1);
  lnav_callback(&lnav_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  EXPECT_EQ(lamp->image_flags & IMAGE_HIDDEN, 0u);
  // VNAV's lamp follows VNAV only.
  ELEMENT_HEADER* vlamp = vnav_gauge.elements_list[0];
  vnav_callback(&vnav_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  EXPECT_EQ(vlamp->image_flags & IMAGE_HIDDEN, IMAGE_HIDDEN);
  EXPECT_EQ(vnav_gauge.mouse_rect[1].handler(&p, MOUSE_LEFTSINGLE), 0);
  vnav_callback(&vnav_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  EXPECT_EQ(vlamp->image_flags & IMAGE_HIDDEN, 0u);
  EXPECT_EQ(std::string(lnav_gauge.gauge_name), "LNAV");
  EXPECT_EQ(std::string(vnav_gauge.gauge_name), "VNAV");
}

TEST_F(EngageTest, ParameterVc2IsAnAircraftNameForTheButtons) {
  GAUGEHDR g = vnav_gauge;
  char param[] = "VC2";
  g.parameters = param;
  vnav_callback(&g, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(model::model_state.AircraftConfigName, "VC2");
  EXPECT_EQ(model::model_state.ConfigLoaded, 1);
  model::model_state.AircraftConfigName.clear();
  char vc[] = "VC";
  g.parameters = vc;
  lnav_callback(&g, PANEL_SERVICE_PRE_INITIALIZE, 0);
  EXPECT_EQ(model::model_state.AircraftConfigName, "");
}

}  // namespace
}  // namespace ovi::guidance
