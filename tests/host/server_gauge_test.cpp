// The SERVER gauge against a scripted host: what it registers and removes,
// the custom key events, the polled command variables, the exports, and
// what it does when the host lacks a service.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "src/flightplan/state.h"
#include "src/host/gps_route.h"
#include "src/host/server_gauge.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::host {
namespace {

model::State& M() { return model::model_state; }

class ServerGaugeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  void TearDown() override { ResetModuleState(); }
  void Service(std::int32_t s) { server_callback(&server_gauge, s, 0); }
  void Key(std::uint32_t id, std::uint32_t value = 0) { FakeHost::TriggerKeyEvent(id, value); }
  using FakeHost = testing::FakeHost;
  FakeHost host;
};

TEST_F(ServerGaugeTest, ConnectRegistersAndDisconnectRemoves) {
  Service(PANEL_SERVICE_CONNECT_TO_WINDOW);
  for (const char* name : {"ovi_lnav", "ovi_vnav", "ovi_nd_mode", "ovi_nd_range", "ovi_server_active",
                           "ovi_lnav_hdg_set", "ovi_nd_apt", "ovi_nd_nav", "ovi_nd_int", "ovi_nd_tcas",
                           "ovi_lnav_clicked", "ovi_vnav_clicked", "ovi_nd_range_clicked", "ovi_nd_mode_clicked",
                           "ovi_nd_apt_clicked", "ovi_nd_nav_clicked", "ovi_nd_int_clicked", "ovi_nd_tcas_clicked",
                           "ovi_nd_bdry_clicked", "ovi_gps_rte_clicked"}) {
    EXPECT_FALSE(std::isnan(host.Named(name))) << name;
  }
  // The state variables start as the displays are.
  EXPECT_EQ(host.Named("ovi_server_active"), 1.0);
  EXPECT_EQ(host.Named("ovi_nd_apt"), 1.0);
  EXPECT_EQ(host.Named("ovi_nd_nav"), 1.0);
  EXPECT_EQ(host.Named("ovi_nd_int"), 0.0);
  EXPECT_EQ(host.Named("ovi_nd_range"), 40.0);
  EXPECT_EQ(host.Named("ovi_nd_mode"), 5.0);

  struct Expected {
    const char* name;
    std::uint32_t type;
    void* storage;
  } exports[] = {
      {"ovi_act_wpt_pos", VAR_TYPE_U32, &host_state.NavigationSnapshot.ActWptPos},
      {"ovi_act_wpt_dist", VAR_TYPE_FLOAT64, &host_state.NavigationSnapshot.ActWptDist},
      {"ovi_fpln_wpt_cnt", VAR_TYPE_U32, &host_state.NavigationSnapshot.FplnWptCnt},
      {"ovi_act_wpt_trk", VAR_TYPE_FLOAT64, &host_state.NavigationSnapshot.ActWptTrk},
      {"ovi_act_wpt_brg", VAR_TYPE_FLOAT64, &host_state.NavigationSnapshot.ActWptBrg},
      {"ovi_xtk_err_dir", VAR_TYPE_U32, &host_state.NavigationSnapshot.XtkErrDir},
      {"ovi_xtk_err_dist", VAR_TYPE_FLOAT64, &host_state.NavigationSnapshot.XtkErrDist},
      {"ovi_lnav_mode", VAR_TYPE_U32, &host_state.NavigationSnapshot.LnavMode},
      {"ovi_vnav_mode", VAR_TYPE_U32, &host_state.NavigationSnapshot.VnavMode},
      {"ovi_active", VAR_TYPE_U32, &host_state.OviActive},
      {"ovi_act_wpt_id", VAR_TYPE_TEXT, host_state.ActWptIdent},
      {"Ovi_FlightPlan", VAR_TYPE_TEXT, host_state.FlightPlanText},
  };
  ASSERT_EQ(host.registered.size(), std::size(exports));
  for (const Expected& e : exports) {
    auto it = host.registered.find(e.name);
    ASSERT_NE(it, host.registered.end()) << e.name;
    EXPECT_EQ(it->second.first, e.storage) << e.name;
    EXPECT_EQ(it->second.second, e.type) << e.name;
  }
  ASSERT_EQ(host.key_handlers.size(), 1u);
  EXPECT_EQ(host.key_handlers[0].first, &HandlePanelKeyEvent);

  Service(PANEL_SERVICE_DISCONNECT);
  EXPECT_TRUE(host.registered.empty());
  EXPECT_TRUE(host.key_handlers.empty());
  EXPECT_EQ(host.Named("ovi_server_active"), 0.0);
  for (std::int32_t id : host.ids_used) EXPECT_GE(id, 0);
}

TEST_F(ServerGaugeTest, CustomKeyEventsDriveTheDisplays) {
  Service(PANEL_SERVICE_CONNECT_TO_WINDOW);
  Key(kEventToggleAirports);
  Key(kEventToggleNavaids);
  Key(kEventToggleIntersections);
  Key(kEventToggleTcas);
  Key(kEventToggleBoundaries);
  Key(kEventRangeIncrement);
  Key(kEventRangeIncrement);
  Key(kEventRangeDecrement);
  Key(kEventNdMode);
  Key(kEventNdMode, 0xFFFFFFFFu);  // -1: down
  Key(kEventNdMode, 1);
  Key(0x11010);                    // not ours
  Key(0x10311);
  EXPECT_EQ(M().NdShowAirports, 0);
  EXPECT_EQ(M().NdShowNavaids, 0);
  EXPECT_EQ(M().NdShowIntersections, 1);
  EXPECT_EQ(M().NdShowTraffic, 1);
  EXPECT_EQ(M().EFS50HsiMode, 8);
  EXPECT_EQ(M().ShowAtcBoundaries, 1);
  EXPECT_EQ(M().NdRange, 80);
  EXPECT_EQ(M().Md11NdRange, 160);
  EXPECT_EQ(M().HWB737NDMode, 6);
  EXPECT_EQ(host.Named("ovi_nd_apt"), 0.0);
  EXPECT_EQ(host.Named("ovi_nd_int"), 1.0);
  EXPECT_EQ(host.Named("ovi_nd_tcas"), 1.0);
  // Range and mode are published at the next pre-update.
  EXPECT_EQ(host.Named("ovi_nd_range"), 40.0);
  Service(PANEL_SERVICE_PRE_UPDATE);
  EXPECT_EQ(host.Named("ovi_nd_range"), 80.0);
  EXPECT_EQ(host.Named("ovi_nd_mode"), 6.0);

  Key(kEventToggleLnav);
  Key(kEventToggleVnav);
  EXPECT_EQ(host.Named("ovi_lnav"), 0.0);  // no active waypoint: nothing engages
  EXPECT_EQ(host.Named("ovi_vnav"), 0.0);

  Service(PANEL_SERVICE_DISCONNECT);
  Key(kEventToggleAirports);  // no longer handled
  EXPECT_EQ(M().NdShowAirports, 0);
}

TEST_F(ServerGaugeTest, CommandVariablesActOnceAndAreCleared) {
  Service(PANEL_SERVICE_CONNECT_TO_WINDOW);
  host.SetNamed("ovi_nd_range_clicked", 1);
  host.SetNamed("ovi_nd_apt_clicked", 1);
  host.SetNamed("ovi_nd_bdry_clicked", 3);
  host.SetNamed("ovi_nd_mode_clicked", -1);
  host.SetNamed("ovi_nd_tcas_clicked", std::nan(""));  // not a number: cleared, nothing done
  Service(PANEL_SERVICE_PRE_UPDATE);
  EXPECT_EQ(M().NdRange, 80);
  EXPECT_EQ(M().NdShowAirports, 0);
  EXPECT_EQ(M().ShowAtcBoundaries, 1);
  EXPECT_EQ(M().HWB737NDMode, 4);
  EXPECT_EQ(M().NdShowTraffic, 0);
  for (const char* name : {"ovi_nd_range_clicked", "ovi_nd_apt_clicked", "ovi_nd_bdry_clicked",
                           "ovi_nd_mode_clicked", "ovi_nd_tcas_clicked"})
    EXPECT_EQ(host.Named(name), 0.0) << name;
  EXPECT_EQ(host.Named("ovi_nd_range"), 80.0);
  EXPECT_EQ(host.Named("ovi_nd_apt"), 0.0);

  Service(PANEL_SERVICE_PRE_UPDATE);  // nothing pending: nothing changes
  EXPECT_EQ(M().NdRange, 80);
  host.SetNamed("ovi_nd_range_clicked", -2);
  Service(PANEL_SERVICE_PRE_UPDATE);
  EXPECT_EQ(M().NdRange, 40);

  host.SetNamed("ovi_gps_rte_clicked", 1);  // no GPS route in this host
  Service(PANEL_SERVICE_PRE_UPDATE);
  EXPECT_EQ(M().PanelMessage, "NO ACTIVE GPS RTE");
}

TEST_F(ServerGaugeTest, ExportsFollowTheActiveRoute) {
  flightplan::State& fp = flightplan::flightplan_state;
  const char* idents[] = {"LSZH", "ZUE", "DISCO", "TRA", "LFSB"};
  for (int i = 0; i < 5; ++i) fp.ActiveFlightPlan[i].ident = idents[i];
  fp.ActiveFlightPlanLastIndex = 4;
  fp.ActiveWaypointIndex = 1;
  Service(PANEL_SERVICE_CONNECT_TO_WINDOW);
  EXPECT_STREQ(host_state.ActWptIdent, "ZUE");
  EXPECT_STREQ(host_state.FlightPlanText, "LSZH ZUE DISCO TRA LFSB");

  fp.ActiveFlightPlan[1].ident = std::string(40, 'W');  // clipped to the field
  fp.ActiveWaypointIndex = model::kNoWaypoint;
  Service(PANEL_SERVICE_PRE_UPDATE);
  EXPECT_STREQ(host_state.ActWptIdent, "");
  fp.ActiveWaypointIndex = 1;
  Service(PANEL_SERVICE_PRE_UPDATE);
  EXPECT_EQ(std::string(host_state.ActWptIdent), std::string(kActWptIdentSize - 1, 'W'));

  // A full route of long idents: only whole idents, always terminated.
  for (int i = 0; i <= model::kMaxFlightPlanWaypoints; ++i) fp.ActiveFlightPlan[i].ident = "WAYPOINT" + std::to_string(i);
  fp.ActiveFlightPlanLastIndex = 500;  // beyond the table: read as its last entry
  Service(PANEL_SERVICE_PRE_UPDATE);
  std::string text = host_state.FlightPlanText;
  EXPECT_LT(text.size(), kFlightPlanTextSize);
  EXPECT_EQ(text.substr(0, 20), "WAYPOINT0 WAYPOINT1 ");
  // Whole idents in route order, none cut.
  std::size_t at = 0;
  int n = 0;
  while (at < text.size()) {
    std::size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    EXPECT_EQ(text.substr(at, end - at), "WAYPOINT" + std::to_string(n));
    ++n;
    at = end + 1;
  }
  EXPECT_GT(n, 100);
  EXPECT_LT(n, model::kMaxFlightPlanWaypoints + 1);

  fp.ActiveFlightPlanLastIndex = -1;
  Service(PANEL_SERVICE_PRE_UPDATE);
  EXPECT_STREQ(host_state.FlightPlanText, "");
}

TEST_F(ServerGaugeTest, PostInitialiseReadsTheTitleAndTheHost) {
  host.calculator_text = "Boeing 737-800 ovi";
  Service(PANEL_SERVICE_POST_INITIALIZE);
  EXPECT_EQ(host_state.AircraftTitle, "Boeing 737-800 ovi");
  ASSERT_FALSE(host.calculator_calls.empty());
  EXPECT_EQ(host.calculator_calls[0], "(A:TITLE, String)");
  std::string long_title(1000, 't');
  host.calculator_text = long_title.c_str();
  Service(PANEL_SERVICE_POST_INITIALIZE);
  EXPECT_EQ(host_state.AircraftTitle.size(), 255u);
  host.calculator_text = nullptr;
  Service(PANEL_SERVICE_POST_INITIALIZE);
  EXPECT_EQ(host_state.AircraftTitle, "");
}

TEST_F(ServerGaugeTest, LnavHeadingIsTruncatedLikeThePerTickUpdates) {
  // The same heading the per-tick update sends as its whole part: never
  // rounded up to the next degree.
  EXPECT_EQ(WholeLnavHeading(123.7), 123);
  EXPECT_EQ(WholeLnavHeading(123.2), 123);
  EXPECT_EQ(WholeLnavHeading(359.9), 359);
  EXPECT_EQ(WholeLnavHeading(360.4), 360);
  EXPECT_EQ(WholeLnavHeading(0.7), 360);
  EXPECT_EQ(WholeLnavHeading(-0.5), 359);
  EXPECT_EQ(WholeLnavHeading(725.5), 5);
  EXPECT_EQ(WholeLnavHeading(std::nan("")), 360);
}

TEST_F(ServerGaugeTest, WithoutNamedVariablesNothingIsWrittenOrCalled) {
  // A host that lacks the named-variable services, then no host at all.
  host.panels.register_named_variable = nullptr;
  host.panels.check_named_variable = nullptr;
  for (std::int32_t s : {2, 3, 4, 5, 14, 6, 10, 15}) Service(s);
  EXPECT_TRUE(host.ids_used.empty());
  host_state.Panels = nullptr;
  for (std::int32_t s : {2, 3, 4, 5, 14, 6, 10, 15}) Service(s);
  HandlePanelKeyEvent(kEventToggleAirports, 0, nullptr);
  EXPECT_EQ(M().NdShowAirports, 0);
}

}  // namespace
}  // namespace ovi::host
