// The ENT key: its shared steps, each dispatch row with its ending, the
// data entries with their edge entries, the save, and the activation of a
// stored plan as the whole state it leaves.
#include <filesystem>

#include <unistd.h>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/enter_key.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::F;
using flightplan::test::G;
using flightplan::test::MakeActive;
using flightplan::test::MakePending;
using EnterKeyTest = GnsTest;

model::State& M() { return model::model_state; }

void Enter() { EXPECT_EQ(GnsXlsEnterKey(nullptr, 0), 0); }

void OnPage(std::int32_t page, const std::string& entry, int line = 0, int state = 0) {
  S().GnsXlsPage = page;
  S().NavigatorScratchpad = entry;
  if (line > 0) S().GnsXlsLineState[line] = state;
}

// Each row: the page it leaves shown and whether the line states end reset
// (line 3 in state 1 is the witness). Pages without a row only raise the
// flags.
TEST_F(EnterKeyTest, EachRowEndsAsItSays) {
  struct Case {
    const char* what;
    std::int32_t page;
    void (*setup)();
    std::int32_t page_after;
    bool reset;
  } cases[] = {
      {"NAV", kPageNavigation, [] {}, kPageNavigation, false},
      {"blank", kPageVnavBlank, [] {}, kPageVnavBlank, false},
      {"PLAN, other sub-page", kPagePlan, [] { S().GnsPlanSubPage = 2; }, kPagePlan, true},
      {"VNAV line 5", kPageVnav, [] { S().GnsXlsLineState[5] = 1; }, kPageVnavData, true},
      {"VNAV otherwise", kPageVnav, [] {}, kPageVnav, false},
      {"VNAV DATA", kPageVnavData, [] {}, kPageVnavData, true},
      {"HOLDING", kPageHolding, [] {}, kPageHolding, true},
      {"SAVE, name open", kPageSaveFlightPlan, [] { S().GnsXlsEntryActive = 1; }, kPageSaveFlightPlan, false},
      {"DATABASE WPT flyover", kPageDatabaseWaypoint, [] { S().GnsXlsLineState[10] = 1; }, 8, true},
      {"DATABASE WPT back to 1", kPageDatabaseWaypoint, [] { S().GnsXlsReturnPage = 1; }, 8, false},
      // No segment chosen: the page stays for a choice (or CLR).
      {"AIRWAY, nothing chosen", kPageAirway, [] { S().GnsXlsReturnPage = kPageDirect; }, kPageAirway, false},
      {"FPL DEPART?", kPageFlightPlan, [] { S().GnsXlsLineState[4] = 2; }, kPageDeparture, true},
      {"FPL nothing open", kPageFlightPlan, [] {}, kPageFlightPlan, false},
      {"FPL list, entry open", kPageFlightPlan, [] { S().GnsXlsEntryActive = 1; }, kPageFlightPlan, false},
      {"FPL column", kPageFlightPlan, [] { S().GnsXlsFplView = kViewActive, S().GnsXlsLineState[10] = 1; },
       kPageFlightPlan, true},
      {"FPL ATC route", kPageFlightPlan, [] { S().GnsXlsFplView = kViewActive, S().GnsXlsLineState[10] = 2; },
       kPageFlightPlan, true},
      {"DEPARTURE", kPageDeparture, [] {}, kPageDeparture, false},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    OnPage(c.page, "", 3, 1);
    S().GnsXlsLineSelectKey = 4;
    c.setup();
    Enter();
    EXPECT_EQ(S().GnsXlsPage, c.page_after) << c.what;
    EXPECT_EQ(LineStates()[2], c.reset ? 0 : 1) << c.what;
    EXPECT_EQ(S().GnsXlsEnterPressed, 1);
    EXPECT_EQ(S().GnsXlsLineSelectKey, 0);
    EXPECT_EQ(G().DisplayRefreshCounter, 999);
  }
}

TEST_F(EnterKeyTest, ThePageOneRowsOfTheActiveView) {
  S().GnsXlsFplView = kViewActive;
  S().GnsXlsLineState[10] = 1;
  S().GnsFplDataColumnChoice = kColumnAlt;
  Enter();
  EXPECT_EQ(S().GnsFplDataColumn, kColumnAlt);
  S().GnsXlsLineState[10] = 2;
  Enter();
  EXPECT_EQ(M().PanelMessage, "NO ACTIVE GPS RTE");  // the simulator's route asked for: none here
  // SAVE FPL? proposes the name of the route's ends; not for a route of the
  // two airports alone, nor one that ends elsewhere: ENT goes on to the
  // entry rows there.
  struct Case {
    Strings idents;
    int airport;
    std::int32_t page;
  } cases[] = {{{"KSEA", "KPDX"}, 1, kPageFlightPlan},
               {{"KSEA", "A", "B"}, 1, kPageFlightPlan},
               {{"KSEA", "A", "KPDX"}, 2, kPageSaveFlightPlan}};
  for (const Case& c : cases) {
    MakeActive(c.idents);
    F().ActiveFlightPlan[c.airport].type = "APT";
    OnPage(kPageFlightPlan, "", 9, 2);
    S().GnsXlsEntryActive = 1;
    Enter();
    EXPECT_EQ(S().GnsXlsPage, c.page) << c.idents.size();
  }
  EXPECT_EQ(S().GnsSaveFileName, "KSEAKPDX");
  EXPECT_EQ(S().NavigatorScratchpad, "KSEAKPDX");
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
}

// The number entries: an empty, blank or non-numeric entry changes nothing.
TEST_F(EnterKeyTest, NumberEntries) {
  struct Case {
    std::int32_t page;
    int line, state;
    const char* entry;
    double expected;
    double (*read)();
  } cases[] = {
      {kPagePlan, 7, 1, "5000  ", 5000.0, [] { return M().ReserveFuel; }},
      {kPagePlan, 7, 1, "0", 0.0, [] { return M().ReserveFuel; }},
      {kPagePlan, 7, 1, "", 1234.0, [] { return M().ReserveFuel; }},
      {kPagePlan, 7, 1, "ABC", 1234.0, [] { return M().ReserveFuel; }},
      {kPagePlan, 7, 1, "12AB", 1234.0, [] { return M().ReserveFuel; }},
      {kPagePlan, 7, 1, "1E3", 1234.0, [] { return M().ReserveFuel; }},
      {kPagePlan, 7, 2, "5000", 1234.0, [] { return M().ReserveFuel; }},
      {kPageVnavData, 7, 1, "35000 ", 35000.0, [] { return static_cast<double>(M().CruiseAlt); }},
      {kPageVnavData, 7, 1, "FL350", 1234.0, [] { return static_cast<double>(M().CruiseAlt); }},
      {kPageVnavData, 7, 1, "      ", 1234.0, [] { return static_cast<double>(M().CruiseAlt); }},
      {kPageVnavData, 7, 2, "9000", 9000.0, [] { return static_cast<double>(M().TransAlt); }},
      {kPageVnavData, 7, 2, "9000", 1234.0, [] { return static_cast<double>(M().CruiseAlt); }},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    M().ReserveFuel = 1234.0;
    M().CruiseAlt = 1234;
    OnPage(c.page, c.entry, c.line, c.state);
    Enter();
    EXPECT_DOUBLE_EQ(c.read(), c.expected) << c.page << " \"" << c.entry << "\"";
  }
  // Kilograms are taken as pounds x 2.20462262; only on the fuel status sub-page.
  M().WeightUnit = "KGS";
  OnPage(kPagePlan, "5000", 7, 1);
  Enter();
  EXPECT_DOUBLE_EQ(M().ReserveFuel, 5000.0 * 2.20462262);
  S().GnsPlanSubPage = 3;
  OnPage(kPagePlan, "100", 7, 1);
  Enter();
  EXPECT_DOUBLE_EQ(M().ReserveFuel, 5000.0 * 2.20462262);
}

// Climb 300 and descent 280 kt indicated are 385.5 and 359.8 kt true at
// 15000 ft; a rate is that ground distance a minute x angle x 100, to the
// nearest 100 ft/min (the climb's rounding in whole numbers).
TEST_F(EnterKeyTest, FlightPathAngleAndItsRates) {
  struct Case {
    const char* entry;
    double fpa;
    int climb;
    double descent;
  } cases[] = {
      {"25", 2.5, 1600, 1500.0},      // 1606.25 -> 1600; 1499.17 -> 1500
      {"3     ", 3.0, 1900, 1800.0},  // 1927.5 -> 1900; 1799 -> 1800
      {"05", 0.5, 300, 300.0},
      {"70", 6.0, 3900, 3600.0},  // capped at 6.0: 3855 -> 3900; 3598 -> 3600
      {"00", 0.0, 1111, 2222.0},  // stored, the rates kept
      {"", 3.3, 1111, 2222.0},    {"      ", 3.3, 1111, 2222.0},
      {"A5", 3.3, 1111, 2222.0},  {"2X", 3.3, 1111, 2222.0},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    M().ClimbIas = 300;
    M().DescentSpeed = 280;
    M().FPA = 3.3;
    M().ClimbRate = 1111;
    M().DescentRate = 2222.0;
    OnPage(kPageVnavData, c.entry, 8, 1);
    Enter();
    EXPECT_DOUBLE_EQ(M().FPA, c.fpa) << c.entry;
    EXPECT_EQ(M().ClimbRate, c.climb) << c.entry;
    EXPECT_DOUBLE_EQ(M().DescentRate, c.descent) << c.entry;
  }
}

TEST_F(EnterKeyTest, HoldingPatternEntries) {
  struct Case {
    int line, state;
    const char* field;  // the course, leg time or leg distance being typed
    double inbound, leg_time, leg_length;
    int time_based;
  } cases[] = {
      {7, 1, "090", 90.0, 1.0, 4.0, 1},  {7, 1, "360", 0.0, 1.0, 4.0, 1},    {7, 1, "   ", 123.0, 1.0, 4.0, 1},
      {7, 1, "400", 123.0, 1.0, 4.0, 1}, {9, 1, "1.5", 123.0, 1.5, 4.0, 1},  {9, 1, " . ", 123.0, 1.0, 4.0, 1},
      {9, 1, "0.0", 123.0, 1.0, 4.0, 1}, {9, 2, "12.5", 123.0, 1.0, 12.5, 2}, {9, 2, "  . ", 123.0, 1.0, 4.0, 1},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    model::HoldingPattern& h = F().HoldTable[1];
    h.inbound_course = 123.0;
    h.leg_time = 1.0;
    h.leg_length = 4.0;
    S().GnsHoldCourseEntry = S().GnsHoldLegTimeEntry = S().GnsHoldLegDistanceEntry = c.field;
    OnPage(kPageHolding, "", c.line, c.state);
    Enter();
    EXPECT_DOUBLE_EQ(h.inbound_course, c.inbound) << c.field;
    EXPECT_DOUBLE_EQ(h.leg_time, c.leg_time) << c.field;
    EXPECT_DOUBLE_EQ(h.leg_length, c.leg_length) << c.field;
    EXPECT_EQ(h.time_based, c.time_based) << c.field;
    EXPECT_EQ(S().GnsHoldLegMode, c.time_based) << c.field;
  }
  // The turn side and the exit mode as chosen with CLR.
  S().GnsHoldTurnChoice = 2;
  OnPage(kPageHolding, "", 8, 1);
  Enter();
  EXPECT_EQ(F().HoldTable[1].turn_side, 2);
  S().GnsHoldExitModeChoice = 2;
  OnPage(kPageHolding, "", 10, 1);
  Enter();
  EXPECT_EQ(G().HoldState, 2);
}

TEST_F(EnterKeyTest, DatabaseWaypointChoicesAreTakenWithoutTheirBlanks) {
  OnPage(kPageDatabaseWaypoint, "YES   ", 10, 1);
  Enter();
  EXPECT_EQ(S().GnsWaypointEntryText, "YES");
  S().GnsXlsReturnPage = kPageDirect;
  OnPage(kPageDatabaseWaypoint, "LEFT  ", 10, 2);
  Enter();
  EXPECT_EQ(S().TurnDirectionText, "LEFT");
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
}

// ---- on a copy of the sample folder: files are written there -----------------

class SampleCopyTest : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    static int run = 0;
    root_ = std::filesystem::temp_directory_path() /
            ("ovi_gns_sample_" + std::to_string(::getpid()) + "_" + std::to_string(++run));
    std::filesystem::create_directories(root_);
    std::filesystem::copy(std::filesystem::path(OVI_SOURCE_DIR) / "data" / "ovi", root_ / "ovi",
                          std::filesystem::copy_options::recursive);
    host::host_state.SimulatorFolder = root_.string();
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::filesystem::path Plans() const { return root_ / "ovi" / "flightplans"; }
  std::filesystem::path root_;
};

// The field accepts a name (an emptied one keeps the old name); the closed
// field writes it. A name that is not a plain file name, or a write that
// fails, is never shown as done: the page stays.
TEST_F(SampleCopyTest, SaveActiveFpl) {
  MakeActive({"KSEA", "A", "KPDX"});
  S().GnsSaveFileName = "KSEAKPDX";
  OnPage(kPageSaveFlightPlan, "          ", 2, 2);
  S().GnsXlsEntryActive = 1;
  Enter();
  EXPECT_EQ(S().NavigatorScratchpad, "KSEAKPDX");
  OnPage(kPageSaveFlightPlan, "MYPLAN    ", 2, 2);
  S().GnsXlsEntryActive = 1;
  Enter();
  EXPECT_EQ(S().GnsSaveFileName, "MYPLAN");
  EXPECT_EQ(S().GnsXlsEntryActive + LineStates()[1], 0);
  EXPECT_FALSE(std::filesystem::exists(Plans() / "MYPLAN.RTE"));
  for (const char* entry : {"", "MY*PLAN", "#1", "COM1"}) {
    OnPage(kPageSaveFlightPlan, entry);
    Enter();
    EXPECT_EQ(S().GnsXlsPage, kPageSaveFlightPlan) << entry;
  }
  S().GnsFplDataColumn = kColumnDis;
  OnPage(kPageSaveFlightPlan, "MYPLAN    ");
  Enter();
  EXPECT_TRUE(std::filesystem::exists(Plans() / "MYPLAN.RTE"));
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  EXPECT_EQ(S().GnsFplDataColumnChoice, kColumnDis);
  std::filesystem::remove_all(Plans());
  OnPage(kPageSaveFlightPlan, "MYPLAN");
  Enter();
  EXPECT_EQ(S().GnsXlsPage, kPageSaveFlightPlan);
}

// ---- activation -------------------------------------------------------------------

class ActivationTest : public SampleCopyTest {
 protected:
  void SetUp() override {
    SampleCopyTest::SetUp();
    navdb::LoadNavDatabase();
    ASSERT_GT(navdb::navdb_state.AirportCount, 0);
    model::State& m = M();
    m.RouteSid = "SUMMA1";
    m.PlanSelectionText1 = "16L";
    m.GnsSelectedApproachVia = "I16R";
    m.ReserveFuel = 4000.0;
    m.LoadedSpeedSchedule = {240, 250, 280};
    m.FileCruiseAlt = 31000;
    m.CruiseAlt = 12000;
    G().NextConstraintAltitude = 1500.0;
    G().TakeoffTimeText = "14:05";
    G().FlightLogState = 2;
    G().LnavLegTracking = 1;
    G().ActiveHoldIndex = 1;
    F().HoldTable[1].active_index = 3;
    F().HoldCount = 1;
    navdb::navdb_state.SelectedRunwayBase = 4;
    MakeActive({"KSEA", "A", "KPDX"});
    F().ActiveWaypointIndex = 2;
    F().RouteState = 4;
  }
  // ENT with SELECT? shown; the next frame activates.
  void Activate() {
    S().GnsXlsFplView = kViewStored;
    navdb::entry_state.PendingPlanOpen = 1;
    OnPage(kPageFlightPlan, "", 10, 1);
    S().GnsXlsLineState[2] = 1;
    Enter();
    DrawFrame();
  }
};

TEST_F(ActivationTest, APlanBetweenTwoAirports) {
  MakePending({"KSEA", "SEA", "OLM", "KPDX"});
  model::FlightPlanTable& p = F().PendingFlightPlan;
  p[3].type = "APT";
  p[1].altitude_constraint = 9000.0;
  p[1].constraint_flag = 1;
  p[1].speed_constraint = 250.0;
  p[1].time_over_text = "12:00";
  p[2].hold_number = 1;
  Activate();
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"KSEA", "SEA", "OLM", "KPDX"}));
  EXPECT_EQ(F().ActiveFlightPlan[4].ident, "******");
  const model::FlightPlanWaypoint& sea = F().ActiveFlightPlan[1];
  EXPECT_EQ(sea.altitude_constraint, model::kNoValue);
  EXPECT_EQ(sea.constraint_flag + sea.time_over_text.size(), 0u);
  EXPECT_EQ(sea.speed_constraint, 250.0);
  // The flown route's hold stands on no waypoint of the new route: it goes,
  // and no waypoint shows its number.
  EXPECT_EQ(F().ActiveFlightPlan[2].hold_number, 0u);
  EXPECT_EQ(F().HoldCount, 0);
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_EQ(G().ActiveWaypointLat, sea.latitude);
  EXPECT_EQ(G().ActiveWaypointDistance, 999.0);
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(M().DescentSpeed * 1000 + M().CruiseSpeed, 240280);
  EXPECT_EQ(navdb::navdb_state.SelectedRunwayBase, -999);
  EXPECT_EQ(G().LnavLegTracking + G().ActiveHoldIndex + F().HoldTable[1].active_index, 0);
  EXPECT_EQ(G().TakeoffTimeText, "-----");
  EXPECT_EQ(M().ReserveFuel, 0.0);
  // The route's ends and their data; every other selection cleared.
  EXPECT_EQ(M().OriginAirportIdent + M().DestinationAirportIdent, "KSEAKPDX");
  EXPECT_EQ(M().RouteSid + M().PlanSelectionText1 + M().GnsSelectedApproachVia, "------------------");
  EXPECT_EQ(G().NextConstraintIndex, 3);
  EXPECT_EQ(G().NextConstraintLat, F().ActiveFlightPlan[3].latitude);
  EXPECT_EQ(F().ActiveFlightPlan[3].altitude_constraint, 1500.0);
  EXPECT_EQ(M().CruiseAlt, 31000);
  EXPECT_EQ(G().DestinationDetailsState, 1);
  EXPECT_EQ(M().McuAirportIdent + " " + M().McuAirportElevationText, "KSEA 433");
  EXPECT_EQ(G().ElapsedFlightSeconds, 0.0);  // on the ground: a new flight log
  EXPECT_EQ(G().LastClockSecond, -99.0);
  EXPECT_EQ(S().GnsXlsFplView, kViewActive);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  EXPECT_TRUE(DrawFrame().Shows("ACTIVE FPL   1/1"));
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 0);
}

TEST_F(ActivationTest, APlanWithoutAirportEnds) {
  MakePending({"SEA", "OLM", "BTG"});
  F().PendingFlightPlan[0].type = "VOR";
  M().DestinationAirportIdent = "KPDX";
  Activate();
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"SEA", "OLM", "BTG"}));
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_EQ(M().OriginAirportIdent + M().DestinationAirportIdent, "------------");
  EXPECT_EQ(G().NextConstraintIndex, 0);
  EXPECT_EQ(M().CruiseAlt, 12000);
  EXPECT_EQ(G().ElapsedFlightSeconds, -99.0);  // no airport, no new log
  EXPECT_EQ(G().FlightLogState, 0);
  EXPECT_EQ(S().GnsXlsFplView, kViewActive);
}

// The holds of the route flown before go; a hold the opened plan carries
// (as another route computer left it on the pending route) comes along,
// numbered first again.
TEST_F(ActivationTest, OnlyTheHoldsThePlanCarriesComeAlong) {
  MakePending({"KSEA", "SEA", "OLM", "KPDX"});
  F().HoldCount = 2;
  F().HoldTable[2].active_index = 2;
  F().HoldTable[2].pending_index = 2;
  F().PendingFlightPlan[2].hold_number = 2;
  F().ActiveFlightPlan[3].hold_number = 1;
  Activate();
  EXPECT_EQ(F().HoldCount, 1);
  EXPECT_EQ(F().HoldTable[1].active_index, 2);
  EXPECT_EQ(flightplan::test::HoldNumbers(F().ActiveFlightPlan, 3), (std::vector<unsigned>{0, 0, 1, 0}));
  EXPECT_EQ(flightplan::test::HoldBreach(), "");
}

// One waypoint: copied, but there is no leg to fly; the stored view stays.
// An empty plan changes nothing but the line states.
TEST_F(ActivationTest, APlanOfOneWaypointOrNone) {
  MakePending({"KBFI"});
  Activate();
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"KBFI"}));
  EXPECT_EQ(F().ActiveFlightPlan[1].ident, "******");
  EXPECT_EQ(F().ActiveWaypointIndex, model::kNoWaypoint);
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(M().RouteSid, "SUMMA1");
  EXPECT_EQ(S().GnsXlsFplView, kViewStored);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  EXPECT_EQ(F().ActiveFlightPlan.refused(), 0);

  MakeActive({"KSEA", "A", "KPDX"});
  F().ActiveWaypointIndex = 2;
  F().RouteState = 4;
  MakePending({});
  Activate();
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"KSEA", "A", "KPDX"}));
  EXPECT_EQ(F().ActiveWaypointIndex * 10 + F().RouteState, 24);
  EXPECT_EQ(M().ReserveFuel, 0.0);  // the one-waypoint plan's
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
}

}  // namespace
}  // namespace ovi::gnsxls::test
