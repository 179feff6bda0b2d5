// Loading, executing and erasing routes against ovi-sim's FSUIPC server and
// key-event log, with the sample navigation data in a scratch simulator
// folder. Values are worked by hand from the sample data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/os/os.h"
#include "sim/simulator.h"
#include "src/flightplan/execute.h"
#include "src/flightplan/fuel.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/load.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/climb_model.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/state.h"
#include "src/host/gps_route.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/fms/route_legs_edit.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/entry_state.h"
#include "tests/flightplan/route_support.h"
#include "tests/flightplan/test_support.h"

namespace ovi::flightplan {
namespace {

namespace fs = std::filesystem;
using Events = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// KSEA (433 ft) - OLM (VOR 113.40) - KPDX (31 ft), 4500 lb of fuel planned.
const char* kRoute =
    "CruiseAlt=12000\n"
    "TripFuel=2000\n"
    "ResvFuel=500\n"
    "[FlightPlan]\n"
    "KSEA             47.44900  -122.30930  APT ---\n"
    "OLM              46.97130  -122.90220  VOR ---    DIRECT\n"
    "KPDX             45.58870  -122.59750  APT ---    DIRECT\n";

class RouteExecutionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    folder = std::make_unique<test::ScratchSim>();
    fs::create_directories(folder->root() / "ovi" / "FlightLog");
    navdb::LoadNavDatabase();
    host::host_state.Panels = sim.panels();
    model::State& m = model::model_state;
    m.StatusMessageCount = 0;
    m.AircraftConfigName = "B737-800";
    m.LoadedSpeedSchedule = {240, 250, 280};
    m.ClimbIas = 200;
    m.CruiseSpeed = 200;
    m.DescentSpeed = 200;
    guidance::State& g = G();
    g.MagneticVariation = 15.5;
    At(47.449, -122.3093, 0.0);
    folder->WritePlan("TEST.RTE", kRoute);
    sim.tokens().Pin(323, 1.0);
  }
  void TearDown() override {
    ResetModuleState();
    folder.reset();
  }
  static guidance::State& G() { return guidance::guidance_state; }
  static State& S() { return flightplan_state; }
  static model::State& M() { return model::model_state; }
  static void At(double lat, double lon, double gs) {
    G().PlaneLatitude = lat;
    G().PlaneLongitude = lon;
    G().GroundSpeedKnots = gs;
  }
  void Request(const char* file, std::int32_t request = 1) {
    S().RequestedFlightPlanFile = file;
    G().FlightPlanLoadRequest = request;
    LoadRequestedFlightPlan(request);
  }
  Events Sent() {
    Events out;
    const auto& all = sim.key_events();
    for (std::size_t i = seen_; i < all.size(); ++i) {
      if (all[i].source == "module") out.emplace_back(all[i].id, all[i].value);
    }
    seen_ = all.size();
    return out;
  }
  std::vector<std::string> FplLog() {
    std::vector<std::string> lines;
    std::string text = test::ReadBytes(folder->root() / "ovi" / "FlightLog" / "fpl.log");
    for (std::size_t at = 0; at < text.size();) {
      std::size_t nl = text.find('\n', at);
      if (nl == std::string::npos) nl = text.size();
      lines.push_back(text.substr(at, nl - at));
      at = nl + 1;
    }
    return lines;
  }
  // A pending route along the equator, executed as a new route.
  static void Pending(const std::vector<std::pair<double, double>>& points) {
    State& s = S();
    int i = 0;
    for (const auto& [lat, lon] : points) {
      model::FlightPlanWaypoint& w = s.PendingFlightPlan[i];
      w = model::FlightPlanWaypoint{};
      w.ident = "P" + std::to_string(i);
      w.latitude = lat;
      w.longitude = lon;
      w.type = "WPT";
      ++i;
    }
    s.PendingFlightPlanLastIndex = i - 1;
  }

  sim::Simulator sim;
  std::unique_ptr<test::ScratchSim> folder;
  std::size_t seen_ = 0;
};

TEST_F(RouteExecutionTest, RequestLoadOnTheGround) {
  model::State& m = M();
  m.LoadFuelonFlightPlanLoad = 1;
  m.SetUTCTimeOnFPLoad = 1;
  m.SetMCPCrzAltOnFlightPlanLoad = 1;
  m.SetWptBaro = 1;
  m.LnavSetEnRouteFreqs = 1;
  // Three holds of an earlier route.
  for (int k = 1; k <= 3; ++k) S().HoldTable[k].active_index = k;
  S().HoldCount = 3;
  const os::SystemTime before = os::GetSystemTime();
  Request("TEST.RTE");

  const State& s = S();
  EXPECT_EQ(s.RouteState, 3);
  EXPECT_EQ(s.ActiveFlightPlanLastIndex, 2);
  EXPECT_EQ(s.PendingFlightPlanLastIndex, 2);
  EXPECT_EQ(s.PendingFlightPlan[3].ident, "******");
  EXPECT_EQ(s.ActiveWaypointIndex, 1);
  EXPECT_EQ(s.ActiveFlightPlan[1].frequency_text, "113.40");
  EXPECT_EQ(s.HoldCount, 0);
  EXPECT_EQ(s.McuFlightPlanLoaded, 1);
  EXPECT_EQ(G().FlightPlanLoadRequest, 0);
  EXPECT_EQ(G().LnavLegTracking, 0);
  // Parked at KSEA: the origin shows on the MCU and the destination's
  // details wait until 8 NM out.
  EXPECT_EQ(m.McuEntryText, "KSEA");
  EXPECT_EQ(gnsxls::gnsxls_state.McuPageEntered, 1);
  EXPECT_EQ(G().DestinationDetailsState, 1);
  EXPECT_EQ(m.OriginAirportIdent, "KSEA");
  EXPECT_EQ(m.DestinationAirportIdent, "KPDX");
  EXPECT_EQ(m.CruiseAlt, 12000);
  // The airports' elevations are the ends of the climb and the descent.
  EXPECT_EQ(s.ActiveFlightPlan[0].altitude_constraint, 433.0);
  EXPECT_EQ(s.ActiveFlightPlan[2].altitude_constraint, 31.0);
  EXPECT_EQ(m.ClimbIas, 250);  // below 50 kt the speeds start from the aircraft's
  EXPECT_EQ(m.CruiseSpeed, 280);
  EXPECT_EQ(m.DescentSpeed, 240);
  EXPECT_LE(m.StatusMessageCount, 2);

  // Key events: the altimeter at EXEC, UTC hour and minute, the cruise
  // altitude, OLM tuned (course 220.35 true - 15.5 = 204, 113.40 as BCD),
  // the altimeter again.
  const Events sent = Sent();
  ASSERT_EQ(sent.size(), 7u);
  EXPECT_EQ(sent[0], (std::pair<std::uint32_t, std::uint32_t>{kEventBarometricSetting, 0}));
  EXPECT_EQ(sent[1].first, kEventZuluHour);
  EXPECT_EQ(sent[2].first, kEventZuluMinute);
  const os::SystemTime after = os::GetSystemTime();
  EXPECT_TRUE(sent[1].second == static_cast<std::uint32_t>(before.hour) ||
              sent[1].second == static_cast<std::uint32_t>(after.hour));
  EXPECT_TRUE(sent[2].second == static_cast<std::uint32_t>(before.minute) ||
              sent[2].second == static_cast<std::uint32_t>(after.minute));
  EXPECT_EQ(sent[3], (std::pair<std::uint32_t, std::uint32_t>{kEventAutopilotAltitude, 12000}));
  EXPECT_EQ(sent[4], (std::pair<std::uint32_t, std::uint32_t>{guidance::kEventVorCourse, 204}));
  EXPECT_EQ(sent[5], (std::pair<std::uint32_t, std::uint32_t>{guidance::kEventNavFrequency, 0x11340}));
  EXPECT_EQ(sent[6], (std::pair<std::uint32_t, std::uint32_t>{kEventBarometricSetting, 0}));

  // 2500 lb into mains of 2 x 2000 gal at 6.7 lb: 2500 / 26800 of full.
  EXPECT_EQ(sim.fsuipc().ReadU32(kTankLeftMain), 782519u);
  EXPECT_EQ(sim.fsuipc().ReadU32(kTankRightMain), 782519u);
  EXPECT_EQ(sim.fsuipc().ReadU32(kTankCentre), 0u);
  EXPECT_EQ(sim.fsuipc().ReadU32(kTankLeftAux), 0u);

  // The flight log starts afresh.
  const std::vector<std::string> log = FplLog();
  ASSERT_GE(log.size(), 7u);
  EXPECT_EQ(log[0], "FlightPlan=KSEA-KPDX");
  EXPECT_EQ(log[1], "Aircraft=B737-800");
  EXPECT_EQ(log[4], "; TIME   Segment  Waypoint   GSP   TAS       V/S    ALT    FF     FOB       ZFW     PLD  IAS");
  EXPECT_EQ(log[6].substr(0, 30), "00:00:00 InitLoad      ---    ");
  EXPECT_EQ(G().FlightPhase, 0);
}

TEST_F(RouteExecutionTest, RequestLoadAirborne) {
  model::State& m = M();
  m.LoadFuelonFlightPlanLoad = 1;
  m.SetUTCTimeOnFPLoad = 1;
  m.SetMCPCrzAltOnFlightPlanLoad = 1;
  m.LnavSetEnRouteFreqs = 1;
  At(46.0, -122.7, 250.0);
  G().FlightPhase = 5;
  const std::uint32_t tank = sim.fsuipc().ReadU32(kTankLeftMain);
  Request("TEST.RTE");
  EXPECT_EQ(S().RouteState, 3);
  // Far from KSEA: the destination shows, its details are loaded.
  EXPECT_EQ(m.McuEntryText, "KPDX");
  EXPECT_EQ(G().DestinationDetailsState, 2);
  // No UTC, fuel, autopilot altitude or log restart; speeds kept.
  EXPECT_EQ(m.ClimbIas, 200);
  EXPECT_EQ(G().FlightPhase, 5);
  EXPECT_EQ(sim.fsuipc().ReadU32(kTankLeftMain), tank);
  // OLM, 59 NM away, on the course of the leg to it.
  EXPECT_EQ(Sent(), (Events{{guidance::kEventVorCourse, 204}, {guidance::kEventNavFrequency, 0x11340}}));

  // Request 3 shows the near end on the keyboard entry line instead.
  m.McuEntryText = "KEEP";
  Request("TEST.RTE", 3);
  EXPECT_EQ(m.McuEntryText, "KEEP");
  EXPECT_EQ(gnsxls::gnsxls_state.KeyboardInputStatus, "KPDX");
  EXPECT_EQ(gnsxls::gnsxls_state.KeyboardEntryLoadFlag, 1);
  EXPECT_EQ(S().McuFlightPlanLoaded, 3);
}

TEST_F(RouteExecutionTest, ALoadThatFailsKeepsTheRouteBeingFlown) {
  Request("TEST.RTE");
  const model::FlightPlanWaypoint olm = S().ActiveFlightPlan[1];
  M().SetWptBaro = 1;
  Sent();
  for (const char* file : {"MISSING.RTE", "MISSING.PLN", "EMPTY.RTE"}) {
    SCOPED_TRACE(file);
    folder->WritePlan("EMPTY.RTE", "CruiseAlt=35000\n[FlightPlan]\n; no waypoint\n");
    M().McuEntryText.clear();
    Request(file);
    EXPECT_EQ(M().McuEntryText, "Unable to load FP");
    EXPECT_EQ(S().ActiveFlightPlanLastIndex, 2);
    EXPECT_EQ(S().PendingFlightPlanLastIndex, 2);
    EXPECT_EQ(S().ActiveFlightPlan[1].ident, olm.ident);
    EXPECT_EQ(S().RouteState, 3);
    EXPECT_EQ(M().CruiseAlt, 12000);
    EXPECT_EQ(G().FlightPlanLoadRequest, 0);
  }
  EXPECT_EQ(Sent(), Events{});

  // A route with a single waypoint is loaded but neither executed nor
  // given a destination.
  folder->WritePlan("ONE.RTE", "[FlightPlan]\nKSEA 47.449 -122.3093 APT ---\n");
  Request("ONE.RTE");
  EXPECT_EQ(S().ActiveFlightPlanLastIndex, 0);
  EXPECT_EQ(M().OriginAirportIdent, "KSEA");
}

// A plan loaded after a longer route: the pending route's tracked index
// names an entry of the new plan (its destination), whichever loader, and
// the next EXEC carries no index past its end.
TEST_F(RouteExecutionTest, ALoadLeavesNoIndexPastTheNewRoute) {
  for (const int road : {0, 1, 2}) {
    SCOPED_TRACE(road);
    test::MakeActive(test::LongRoute(10));
    test::MakePending(test::LongRoute(10));
    S().RouteState = 3;
    S().PendingActiveWaypointIndex = 10;
    G().NextConstraintIndex = 10;
    if (road == 0) {
      Request("TEST.RTE");  // the MCU's request: loaded and executed
    } else {
      ASSERT_TRUE(LoadSelectedFlightPlan(road == 1 ? "TEST.RTE" : "NEXT FPL", 0));
    }
    EXPECT_EQ(S().PendingActiveWaypointIndex, road == 2 ? 0 : 2);
    if (road == 1) {
      ExecutePendingRoute();
      EXPECT_LE(G().NextConstraintIndex, 2);
    }
  }
}

TEST_F(RouteExecutionTest, FuelOfExactlyFiveLoadsNothing) {
  M().LoadFuelonFlightPlanLoad = 1;
  const std::string route = kRoute;
  folder->WritePlan("FIVE.RTE", "TripFuel=5\n" + route.substr(route.find("[FlightPlan]")));
  Request("FIVE.RTE");
  EXPECT_EQ(S().RouteState, 3);
  // The left main holds the aircraft's own 1500 of 2000 gal, not 5 lb.
  EXPECT_EQ(sim.fsuipc().ReadU32(kTankLeftMain), 6291456u);
}

TEST_F(RouteExecutionTest, SelectedLoadsByPageAndRouteState) {
  struct Case {
    int state;
    const char* pending_destination;
    const char* destination;
  };
  // The CDU's STORED FLIGHT PLANS page: 0 (stepped to 1) and 1 set the
  // destination too, 2 only the pending one, 3 the destination.
  const Case cases[] = {{0, "KPDX", "KPDX"}, {1, "KPDX", "KPDX"}, {2, "KPDX", "------"}, {3, "------", "KPDX"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    SetUp();
    fms::fms_state.FmsPage = 1;
    S().RouteState = c.state;
    LoadSelectedFlightPlan("test.rte", 0);
    EXPECT_EQ(S().PendingFlightPlanLastIndex, 2);
    EXPECT_EQ(M().PendingDestinationIdent, c.pending_destination);
    EXPECT_EQ(M().DestinationAirportIdent, c.destination);
    EXPECT_EQ(M().PlanFinalWaypointIdent, "KPDX");
    EXPECT_EQ(M().PendingOriginIdent, "KSEA");
    EXPECT_EQ(M().FileCruiseAlt, 12000);
    EXPECT_EQ(M().PlannedFuel, 2500.0);
    EXPECT_EQ(S().ActiveFlightPlanLastIndex, -1);  // the active route is not touched
  }
  EXPECT_EQ(S().RouteState, 3);

  // "NEXT FPL": the empty placeholder.
  LoadSelectedFlightPlan("NEXT FPL", 0);
  EXPECT_EQ(S().PendingFlightPlanLastIndex, -1);
  EXPECT_EQ(S().PendingFlightPlan[0].ident, "******");
  EXPECT_EQ(S().EditWaypointIndex, 0);

  // A plan that cannot be loaded leaves the route being edited.
  LoadSelectedFlightPlan("test.rte", 0);
  LoadSelectedFlightPlan("GONE.RTE", 0);
  EXPECT_EQ(S().PendingFlightPlanLastIndex, 2);
  EXPECT_EQ(M().McuEntryText, "Unable to load FP");
}

TEST_F(RouteExecutionTest, ExecSmallRoutesCommitOnlySelections) {
  M().PendingDepartureRunway = "16L";
  M().RouteSid = "SEA4";
  Pending({{0, 0}});
  S().RouteState = 2;
  ExecutePendingRoute();
  EXPECT_EQ(S().ActiveFlightPlanLastIndex, -1);
  EXPECT_EQ(S().RouteState, 2);
  EXPECT_EQ(M().RouteDepartureRunway, "16L");
  EXPECT_EQ(M().PendingDepartureRunway, "------");
  EXPECT_EQ(fms::fms_state.FmsDepRunwayChosen, 1);
  EXPECT_EQ(S().SavedRouteDepartureRunway, "16L");
  EXPECT_EQ(S().SavedRouteSid, "SEA4");
}

// A modification that cut the route short of the waypoint being flown to
// leaves the new last waypoint active, on the route.
TEST_F(RouteExecutionTest, ExecOfAShortenedRouteKeepsTheActiveWaypointOnIt) {
  Pending({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}});
  S().RouteState = 2;
  ExecutePendingRoute();
  S().ActiveWaypointIndex = 4;
  Pending({{0, 0}, {0, -1}, {-1, -1}});
  S().RouteState = 4;
  ExecutePendingRoute();
  EXPECT_EQ(S().ActiveFlightPlanLastIndex, 2);
  EXPECT_EQ(S().ActiveWaypointIndex, 2);
  EXPECT_EQ(G().ActiveWaypointLat, -1.0);
  EXPECT_EQ(G().ActiveWaypointLon, -1.0);
  EXPECT_EQ(G().NextConstraintIndex, 2);
  EXPECT_EQ(S().ActiveFlightPlan.refused(), 0);
}

TEST_F(RouteExecutionTest, ExecCruiseAltitudeByDirectionAndBand) {
  struct Case {
    double lon0, lon1;
    int max_cruise, expected;
  };
  // 600 NM at the default 2000 ft/min and 350 kt: MaxCruise comes first.
  const Case cases[] = {{0, 10, 35000, 35000}, {10, 0, 35000, 34000}, {0, 10, 45000, 45000}, {10, 0, 45000, 43000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    SetUp();
    M().MaxCruise = c.max_cruise;
    G().AircraftAltitude = 0.0;
    At(0.0, c.lon0, 0.0);
    Pending({{0, c.lon0}, {0, (c.lon0 + c.lon1) / 2}, {0, c.lon1}});
    S().RouteState = 2;
    ExecutePendingRoute();
    EXPECT_EQ(S().RouteState, 3);
    EXPECT_EQ(M().CruiseAlt, c.expected);
    // Climb at 2000 ft/min as VNAV flies it, at the 200-kt climb speed
    // whose true airspeed grows with the altitude (no performance tables):
    // 78 NM to FL350, where the file's mean 350 kt in still air gave 102.
    const double climb = guidance::ClimbModel(guidance::ClimbRateFlown()).Distance(0.0, c.expected);
    ASSERT_GT(climb, c.expected / 2000.0 * 200.0 / 60.0);
    ASSERT_LT(climb, c.expected / 2000.0 * 350.0 / 60.0);
    EXPECT_NEAR(G().TocLongitude, c.lon0 + (c.lon1 > c.lon0 ? 1 : -1) * climb / 60.0, 1e-6);
    // Descent at 2000 ft/min and 380 kt to the last waypoint at 0 ft.
    const double descent = c.expected / 2000.0 * 380.0 / 60.0;
    EXPECT_NEAR(G().TodLongitude, c.lon1 - (c.lon1 > c.lon0 ? 1 : -1) * descent / 60.0, 1e-6);
    EXPECT_EQ(S().ActiveFlightPlan[1].altitude_constraint, c.expected);  // mid-route at cruise
    EXPECT_EQ(S().ActiveFlightPlan[1].speed_constraint, M().CruiseSpeed);
    EXPECT_EQ(G().NextConstraintIndex, 2);
    EXPECT_NEAR(G().NextConstraintLon, G().TocLongitude, 1e-9);
    EXPECT_EQ(G().NextConstraintAltitude, c.expected);
  }
}

TEST_F(RouteExecutionTest, ExecOfAModificationWithVnavRearmsIt) {
  for (int state : {2, 4}) {
    SCOPED_TRACE(state);
    SetUp();
    Pending({{0, 0}, {0, 1}, {0, 2}});
    G().VnavEngaged = 1;
    G().VnavAltitudeSet = 1;
    G().VnavSpeedSet = 1;
    G().VnavLastSetAltitude = 12000;
    M().VnavSetSpd = 2;
    S().RouteState = state;
    ExecutePendingRoute();
    EXPECT_EQ(G().VnavSpdRestPending, state == 4 ? 1 : 0);
    EXPECT_EQ(G().VnavAltitudeSet, state == 4 ? 0 : 1);
    EXPECT_EQ(G().VnavLastSetAltitude, state == 4 ? -999 : 12000);
    EXPECT_EQ(M().VnavSetSpd, state == 4 ? 1 : 2);
  }
}

TEST_F(RouteExecutionTest, ExecReloadsOnlyWhatChanged) {
  Request("TEST.RTE");
  navdb::procedure_state.AirportProcedureSets[2].AirportIdent = "MARK";
  navdb::procedure_state.AirportProcedureSets[1].AirportIdent = "MARK";
  // A modification of the middle: same ends, no procedures reloaded, holds kept.
  CopyActiveToPendingPlan();
  AddHoldAtWaypoint(1, 0);
  S().RouteState = 4;
  ExecutePendingRoute();
  EXPECT_EQ(navdb::procedure_state.AirportProcedureSets[2].AirportIdent, "MARK");
  EXPECT_EQ(navdb::procedure_state.AirportProcedureSets[1].AirportIdent, "MARK");
  EXPECT_EQ(S().HoldCount, 1);
  EXPECT_EQ(S().ActiveFlightPlan[1].hold_number, 1u);

  // A new origin: its procedures load and every hold goes.
  CopyActiveToPendingPlan();
  S().PendingFlightPlan[0].ident = "KBFI";
  S().PendingFlightPlan[0].latitude = 47.53;
  S().PendingFlightPlan[0].longitude = -122.302;
  S().RouteState = 4;
  ExecutePendingRoute();
  EXPECT_EQ(M().OriginAirportIdent, "KBFI");
  EXPECT_EQ(navdb::procedure_state.AirportProcedureSets[1].AirportIdent, "KBFI");
  EXPECT_EQ(S().HoldCount, 0);
  EXPECT_EQ(M().RouteSid, "------");
}

// A modification that ends the route at another airport, executed after a
// request load (which leaves the pending destination equal to the
// destination): the new airport becomes the destination with its details,
// and the pending destination is used up.
TEST_F(RouteExecutionTest, ExecOfANewLastAirportLoadsItsDetails) {
  Request("TEST.RTE");
  ASSERT_EQ(M().PendingDestinationIdent, "KPDX");
  ASSERT_EQ(navdb::navdb_state.DestinationDetailRecord.ident, "KPDX");
  CopyActiveToPendingPlan();
  model::FlightPlanWaypoint& end = S().PendingFlightPlan[2];
  end.ident = "KBFI";
  end.latitude = 47.53;
  end.longitude = -122.302;
  S().RouteState = 4;
  ExecutePendingRoute();
  EXPECT_EQ(M().DestinationAirportIdent, "KBFI");
  EXPECT_EQ(navdb::navdb_state.DestinationDetailRecord.ident, "KBFI");
  EXPECT_EQ(navdb::procedure_state.AirportProcedureSets[2].AirportIdent, "KBFI");
  EXPECT_EQ(M().PendingDestinationIdent, "");
  EXPECT_EQ(M().SelectedStar, "------");
}

TEST_F(RouteExecutionTest, EraseRestoresWhatTheModificationChanged) {
  Request("TEST.RTE");
  M().SelectedStar = "LAVAA2";
  ExecutePendingRoute();  // saves the selections
  EXPECT_EQ(S().SavedSelectedStar, "LAVAA2");

  // A modification: a new STAR, a hold, a cruise altitude and a speed.
  CopyActiveToPendingPlan();
  S().RouteState = 4;
  M().SelectedStar = "OTHER";
  AddHoldAtWaypoint(1, 0);
  M().CruiseAltEntry = 12000;
  M().CruiseAlt = 20000;
  M().ClimbIasEntry = 250.7;
  M().ClimbIas = 300;
  S().PendingFlightPlan[1].ident = "EDITED";
  navdb::entry_state.PendingPlanOpen = 1;  // the navigator's stored-plan view goes with it
  ResetRouteData();
  EXPECT_EQ(S().RouteState, 3);
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 0);
  EXPECT_EQ(M().SelectedStar, "LAVAA2");
  EXPECT_EQ(S().HoldCount, 0);
  EXPECT_EQ(M().CruiseAlt, 12000);
  EXPECT_EQ(M().ClimbIas, 250);
  EXPECT_EQ(M().ClimbIasEntry, 0.0);
  EXPECT_EQ(S().PendingFlightPlan[1].ident, "OLM");
  EXPECT_EQ(M().RteOriginIdent, "");

  // Nothing saved: the cruise altitude stays.
  M().CruiseAlt = 22000;
  ResetRouteData();
  EXPECT_EQ(M().CruiseAlt, 22000);
}

// ERASE after a modification added a hold between two executed ones: the
// added hold goes, the executed ones stay with their waypoints.
TEST_F(RouteExecutionTest, EraseDropsOnlyTheHoldTheModificationAdded) {
  Pending({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}});
  S().RouteState = 2;
  ExecutePendingRoute();
  for (int waypoint : {1, 3}) {
    AddHoldAtWaypoint(waypoint, 0);
    S().RouteState = 4;
    ExecutePendingRoute();
  }
  ASSERT_EQ(S().HoldCount, 2);
  ASSERT_EQ(S().ActiveFlightPlan[3].hold_number, 2u);

  AddHoldAtWaypoint(2, 0);
  S().RouteState = 4;
  ASSERT_EQ(S().HoldCount, 3);
  ResetRouteData();
  const State& s = S();
  EXPECT_EQ(s.RouteState, 3);
  ASSERT_EQ(s.HoldCount, 2);
  EXPECT_EQ(s.HoldTable[1].active_index, 1);
  EXPECT_EQ(s.HoldTable[2].active_index, 3);
  EXPECT_EQ(s.ActiveFlightPlan[1].hold_number, 1u);
  EXPECT_EQ(s.ActiveFlightPlan[2].hold_number, 0u);
  EXPECT_EQ(s.ActiveFlightPlan[3].hold_number, 2u);
  EXPECT_EQ(s.PendingFlightPlan[2].hold_number, 0u);
  EXPECT_EQ(s.PendingFlightPlan[3].hold_number, 2u);
}

// The holds through EXEC and ERASE: a hold on the destination comes back
// with ERASE; holds on entries past the old end of the flown route show
// their numbers after EXEC; a hold marked for deletion goes at EXEC, not
// another one flown at the same index.
TEST_F(RouteExecutionTest, ExecAndEraseKeepEveryHoldOnItsWaypoint) {
  Pending({{0, 0}, {0, 1}, {0, 2}, {0, 3}});
  S().RouteState = 2;
  ExecutePendingRoute();
  BeginRouteModification();
  ASSERT_TRUE(AddHoldAtWaypoint(3, 1));  // P3, the destination
  ExecutePendingRoute();
  BeginRouteModification();
  ASSERT_TRUE(RemovePendingWaypoints(1, 2));
  ResetRouteData();
  EXPECT_EQ(test::HoldBreach(), "");
  ASSERT_EQ(S().HoldCount, 1);
  EXPECT_EQ(S().HoldTable[1].active_index, 3);
  EXPECT_EQ(S().ActiveFlightPlan[3].hold_number, 1u);

  // A new route behind an origin alone: holds on P2 and P4, P2's leg
  // deleted (a discontinuity takes its place), executed.
  ResetModuleState();
  Pending({{0, 0}, {0, 1}});
  S().ActiveFlightPlan[0] = S().PendingFlightPlan[0];
  S().ActiveFlightPlanLastIndex = 1;
  Pending({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
  S().RouteState = 1;
  ASSERT_TRUE(AddHoldAtWaypoint(2, 1));
  ASSERT_TRUE(AddHoldAtWaypoint(4, 1));
  fms::DeleteRouteLegEntry(2, 0);
  S().RouteState = 2;
  ExecutePendingRoute();
  EXPECT_EQ(test::HoldBreach(), "");
  ASSERT_EQ(S().HoldCount, 1);
  EXPECT_EQ(S().HoldTable[1].name, "P4");
  EXPECT_EQ(S().ActiveFlightPlan[4].hold_number, 1u);
  BeginRouteModification();
  ASSERT_TRUE(RemovePendingWaypoints(1, 2));
  ResetRouteData();
  EXPECT_EQ(S().HoldCount, 1);
  EXPECT_EQ(test::HoldBreach(), "");

  // P4's hold flown at 4; an entry at 1 moves it to 6 in the modification,
  // a new hold on P2 (now at 4) shares its flown index and is marked for
  // deletion as the RTE LEGS page marks it.
  BeginRouteModification();
  model::NavDbRecord& x = navdb::entry_state.WaypointCandidateList[1];
  x = model::NavDbRecord{};
  x.ident = "X";
  x.kind = "I";
  ASSERT_TRUE(InsertCandidateIntoPending(1));
  ASSERT_TRUE(AddHoldAtWaypoint(4, 1));
  ASSERT_EQ(S().PendingFlightPlan[4].ident, "DISCO");
  ASSERT_EQ(S().HoldCount, 2);
  const unsigned marked = S().PendingFlightPlan[4].hold_number;
  fms::fms_state.FmsHoldWaypointIndex = S().HoldTable[static_cast<int>(marked)].active_index;
  DeleteHold(4, 2);
  ExecutePendingRoute();
  EXPECT_EQ(test::HoldBreach(), "");
  ASSERT_EQ(S().HoldCount, 1);
  EXPECT_EQ(S().HoldTable[1].name, "P4");
  EXPECT_EQ(S().HoldTable[1].active_index, 6);
}

// EXEC with DIR INTC selected flies the leg from the aircraft as the
// magnetic course to the active waypoint: true less the 15 degrees east,
// 360 added below 0.5.
TEST_F(RouteExecutionTest, ExecWithDirectInterceptTakesTheMagneticCourse) {
  for (const auto& [course, magnetic] : {std::pair{90.0, 75.0}, std::pair{10.0, 355.0}}) {
    SCOPED_TRACE(course);
    // The waypoint gone to 30 NM away on `course`; the one flown to before
    // it elsewhere (a direct-to further along the route): the course is
    // the new one's.
    double lat = 0.0, lon = 0.0;
    navdb::ProjectPosition(0.0, 0.0, course, 30.0, lat, lon);
    Pending({{0, 0}, {lat, lon}, {0, 2}});
    S().RouteState = 2;
    At(0.0, 0.0, 250.0);
    G().MagneticVariation = 15.0;
    G().ActiveWaypointLat = -0.5;
    G().ActiveWaypointLon = -0.5;
    fms::fms_state.FmsHoldFixSelect = 1;
    ExecutePendingRoute();
    EXPECT_NEAR(G().LnavInitialCourse, magnetic, 1e-6);
    EXPECT_EQ(G().ActiveLegFromEngagePosition, 1);
    EXPECT_EQ(fms::fms_state.FmsHoldFixSelect, 0);
  }
}

// A cruise speed entered in a modification and executed is the cruise
// speed: a later modification's ERASE has nothing of it to put back.
TEST_F(RouteExecutionTest, AnExecutedCruiseSpeedOutlivesTheNextErase) {
  Pending({{0, 0}, {0, 1}, {0, 2}});
  S().RouteState = 2;
  ExecutePendingRoute();
  M().CruiseIasEntry = M().CruiseSpeed;  // 200, saved as the page does
  M().CruiseSpeed = 300;
  S().RouteState = 4;
  ExecutePendingRoute();
  EXPECT_EQ(M().CruiseIasEntry, 0.0);
  S().RouteState = 4;
  ResetRouteData();
  EXPECT_EQ(M().CruiseSpeed, 300);
}

// Every copy into a route ends it with the end marker, whatever the longer
// route before left in the slot after its last entry.
TEST_F(RouteExecutionTest, CopiedRoutesEndWithTheEndMarker) {
  Pending({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
  S().RouteState = 2;
  ExecutePendingRoute();
  Pending({{0, 0}, {0, 1}, {0, 2}});
  S().RouteState = 4;
  ExecutePendingRoute();
  EXPECT_EQ(S().ActiveFlightPlan[3].ident, "******");
  // The navigator's direct-to copy counts its end marker as its last entry
  // (and the plan it opened is closed): EXEC by another unit flies no marker.
  Pending({{0, 0}, {0, 1}, {0, 2}, {0, 0}});
  S().PendingFlightPlan[3].ident = "******";
  navdb::entry_state.PendingPlanOpen = 1;
  S().RouteState = 4;
  ExecutePendingRoute();
  EXPECT_EQ(S().ActiveFlightPlanLastIndex, 2);
  EXPECT_EQ(S().ActiveFlightPlan[3].ident, "******");
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 0);
  Pending({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
  LoadSelectedFlightPlan("TEST.RTE", 0);
  EXPECT_EQ(S().PendingFlightPlanLastIndex, 2);
  EXPECT_EQ(S().PendingFlightPlan[3].ident, "******");
  EXPECT_EQ(S().PendingFlightPlan[3].latitude, 0.0);
}

// A request load of a route that crosses 180 degrees south of the equator,
// made 6 NM from its origin on the other side of the meridian: the origin
// counts as near (7 NM at most).
TEST_F(RouteExecutionTest, RequestLoadNearAnOriginAcross180) {
  folder->WritePlan("DATELINE.RTE",
                    "CruiseAlt=11000\n"
                    "[FlightPlan]\n"
                    "NFFN             -17.75000  179.95000  APT ---\n"
                    "MID              -17.75000 -179.50000  WPT ---    DIRECT\n"
                    "NFTF             -21.24000 -175.15000  APT ---    DIRECT\n");
  // 0.1 degrees of longitude at 17.75 S: 6 x cos(17.75) = 5.71 NM.
  At(-17.75, -179.95, 0.0);
  Request("DATELINE.RTE");
  EXPECT_EQ(S().RouteState, 3);
  EXPECT_EQ(M().McuEntryText, "NFFN");
  EXPECT_EQ(G().DestinationDetailsState, 1);
  EXPECT_EQ(M().DestinationAirportIdent, "NFTF");
  EXPECT_EQ(G().ActiveWaypointLon, -179.5);
  EXPECT_EQ(M().CruiseAlt, 11000);

  // 0.3 degrees away (17.1 NM): the destination shows.
  At(-17.75, -179.75, 0.0);
  Request("DATELINE.RTE");
  EXPECT_EQ(M().McuEntryText, "NFTF");
  EXPECT_EQ(G().DestinationDetailsState, 2);
}

// A plan that fills the route tables to their last entry (index 200)
// loads whole; the end mark of the pending route has no slot left.
TEST_F(RouteExecutionTest, RequestLoadOfAFullRoute) {
  std::string plan = "[FlightPlan]\n";
  for (int i = 0; i <= model::kMaxFlightPlanWaypoints; ++i) {
    plan += "W" + std::to_string(i) + " 0.00000 " + std::to_string(i * 0.01) + " WPT ---    DIRECT\n";
  }
  folder->WritePlan("FULL.RTE", plan);
  const int refused_active = S().ActiveFlightPlan.refused();
  const int refused_pending = S().PendingFlightPlan.refused();
  Request("FULL.RTE");
  const State& s = S();
  EXPECT_EQ(s.RouteState, 3);
  EXPECT_EQ(s.ActiveFlightPlanLastIndex, model::kMaxFlightPlanWaypoints);
  EXPECT_EQ(s.PendingFlightPlanLastIndex, model::kMaxFlightPlanWaypoints);
  EXPECT_EQ(s.ActiveFlightPlan[200].ident, "W200");
  EXPECT_EQ(M().DestinationAirportIdent, "W200");
  EXPECT_EQ(G().NextConstraintIndex, 200);
  EXPECT_EQ(s.ActiveFlightPlan.refused(), refused_active);
  EXPECT_EQ(s.PendingFlightPlan.refused(), refused_pending);
}

TEST_F(RouteExecutionTest, GpsPlannersRouteIsTypedAndExecuted) {
  sim.gps().SetRoute({{"KSEA", 47.449, -122.3093, 433},
                      {"OLM", 46.97, -122.90, 0},
                      {"CHINS", 47.16, -122.305, 0},
                      {"KPDX", 45.5887, -122.5975, 31}});
  EXPECT_EQ(host::LoadFlightPlannerRoute(0), 4);
  const State& s = S();
  EXPECT_EQ(s.RouteState, 3);
  EXPECT_EQ(s.ActiveFlightPlanLastIndex, 3);
  EXPECT_EQ(s.ActiveFlightPlan[0].type, "APT");
  EXPECT_EQ(s.ActiveFlightPlan[1].type, "VOR");
  EXPECT_EQ(s.ActiveFlightPlan[1].frequency_text, "113.40");
  EXPECT_EQ(s.ActiveFlightPlan[2].type, "WPT");  // five letters: navaids only
  EXPECT_EQ(s.ActiveFlightPlan[3].type, "APT");
  EXPECT_EQ(M().DestinationAirportIdent, "KPDX");
  EXPECT_EQ(M().PanelMessage, "ACTIVE FSPLANNER RTE LOADED");
}

// The planner's altitudes are no constraints: every point loads with none.
// Its end's, where the data knows no airport there and it is a field's
// elevation, is where the descent ends, with a runway's crossing height;
// ended above the origin's ground instead, VNAV aimed 500 ft below a field
// at 1925 ft. An end the data knows keeps the data's elevation; one given
// no field's ends above the origin's ground, as before.
TEST_F(RouteExecutionTest, GpsPlannersEndElevationEndsTheDescentWhereTheDataKnowsNone) {
  struct Case {
    const char* end;
    double lat, lon, altitude, ends_at;
  };
  const double none = model::kNoValue, origin = 433.0 + 200.0;  // KSEA's ground and the crossing height
  for (const Case& c : {Case{"KPDX", 45.5887, -122.5975, 999.0, 31.0},  // known: the data's elevation
                        Case{"DEST", 45.5887, -122.5975, 1925.0, 2125.0},
                        Case{"DEST", 45.5887, -122.5975, NAN, origin},
                        Case{"DEST", 45.5887, -122.5975, 0.0, 200.0},  // a field at sea level
                        Case{"DEST", -33.39, -70.79, 1555.0, 1755.0},   // south and west of zero
                        Case{"DEST", -17.76, 179.9, 60.0, 260.0},       // across 180 from the west
                        Case{"DEST", 31.2, 35.4, -1266.0, -1066.0},     // a field below the sea
                        Case{"DEST", 31.2, 35.4, -1501.0, origin},      // no field's
                        Case{"DEST", 45.5887, -122.5975, 15000.0, 15200.0},
                        Case{"DEST", 45.5887, -122.5975, 15001.0, origin},  // a cruise altitude
                        Case{"DEST", 45.5887, -122.5975, none, origin},
                        Case{"DEST", 45.5887, -122.5975, INFINITY, origin},
                        // The planner's end has no ident: the route ends at
                        // WPT1, whose 12000 ft is no field's.
                        Case{"", 45.5887, -122.5975, 1925.0, origin}}) {
    SCOPED_TRACE(testing::Message() << c.end << " " << c.lat << " " << c.lon << " " << c.altitude);
    SetUp();
    sim.gps().SetRoute({{"KSEA", 47.449, -122.3093, 433},
                        {"OLM", 46.97, -122.90, 9000},
                        {"WPT1", c.lat + 0.5, c.lon < 0 ? c.lon + 0.5 : c.lon - 0.5, 12000},
                        {c.end, c.lat, c.lon, c.altitude}});
    const int last = *c.end == '\0' ? 2 : 3;
    ASSERT_EQ(host::LoadFlightPlannerRoute(0), last + 1);
    const State& s = S();
    ASSERT_EQ(s.ActiveFlightPlanLastIndex, last);
    EXPECT_EQ(s.ActiveFlightPlan[last].type, std::string(c.end) == "KPDX" ? "APT" : "");
    EXPECT_EQ(s.ActiveFlightPlan[last].altitude_constraint, c.ends_at);
    for (int i = 0; i <= last; ++i) EXPECT_FALSE(model::IsConstraint(s.ActiveFlightPlan[i])) << i;
  }
}

}  // namespace
}  // namespace ovi::flightplan
