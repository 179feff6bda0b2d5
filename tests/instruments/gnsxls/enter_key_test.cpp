// The ENT key: its shared steps, each dispatch row with its ending, the
// data entries with their edge entries, the save, and the activation of a
// stored plan as the whole state it leaves.
#include <filesystem>
#include <fstream>

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

void OnPage(std::int32_t page, const std::string& entry = "") {
  S().GnsXlsPage = page;
  S().NavigatorScratchpad = entry;
}

TEST_F(EnterKeyTest, PagesWithoutARowOnlyRaiseTheFlags) {
  for (std::int32_t page : {kPageNavigation, kPageVnavBlank, 2, 6}) {
    ResetModuleState();
    OnPage(page, "123");
    S().GnsXlsLineState[7] = 1;
    S().GnsXlsLineSelectKey = 4;
    Enter();
    EXPECT_EQ(S().GnsXlsEnterPressed, 1);
    EXPECT_EQ(S().GnsXlsLineSelectKey, 0);
    EXPECT_EQ(G().DisplayRefreshCounter, 999);
    EXPECT_EQ(S().GnsXlsPage, page);
    EXPECT_EQ(LineStates()[6], 1) << page;
  }
}

// Each row: the page it leaves shown and whether the line states end reset
// (line 3 in state 1 is the witness where the row does not use it).
TEST_F(EnterKeyTest, EachRowEndsAsItSays) {
  struct Case {
    const char* what;
    std::int32_t page;
    void (*setup)();
    std::int32_t page_after;
    bool reset;
  } cases[] = {
      {"PLAN, other sub-page", kPagePlan, [] { S().GnsPlanSubPage = 2; }, kPagePlan, true},
      {"VNAV line 5", kPageVnav, [] { S().GnsXlsLineState[5] = 1; }, kPageVnavData, true},
      {"VNAV otherwise", kPageVnav, [] {}, kPageVnav, false},
      {"VNAV DATA", kPageVnavData, [] {}, kPageVnavData, true},
      {"HOLDING", kPageHolding, [] {}, kPageHolding, true},
      {"SAVE, name open", kPageSaveFlightPlan, [] { S().GnsXlsEntryActive = 1; }, kPageSaveFlightPlan, false},
      {"DATABASE WPT flyover", kPageDatabaseWaypoint, [] { S().GnsXlsLineState[10] = 1; }, kPageDatabaseWaypoint,
       true},
      {"DATABASE WPT back to 1", kPageDatabaseWaypoint, [] { S().GnsXlsReturnPage = 1; }, kPageDatabaseWaypoint,
       false},
      {"AIRWAY", kPageAirway, [] { S().GnsXlsReturnPage = kPageDirect; }, kPageFlightPlan, true},
      {"FPL DEPART?", kPageFlightPlan, [] { S().GnsXlsLineState[4] = 2; }, kPageFlightPlan, false},
      {"FPL nothing open", kPageFlightPlan, [] {}, kPageFlightPlan, false},
      {"FPL list, entry open", kPageFlightPlan, [] { S().GnsXlsEntryActive = 1; }, kPageFlightPlan, false},
      {"FPL column", kPageFlightPlan, [] {
         S().GnsXlsFplView = kViewActive;
         S().GnsXlsLineState[10] = 1;
       }, kPageFlightPlan, true},
      {"FPL ATC route", kPageFlightPlan, [] {
         S().GnsXlsFplView = kViewActive;
         S().GnsXlsLineState[10] = 2;
       }, kPageFlightPlan, true},
      {"DEPARTURE", kPageDeparture, [] {}, kPageDeparture, false},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    OnPage(c.page);
    S().GnsXlsLineState[3] = 1;
    c.setup();
    Enter();
    EXPECT_EQ(S().GnsXlsPage, c.page_after) << c.what;
    EXPECT_EQ(LineStates()[2], c.reset ? 0 : 1) << c.what;
  }
}

TEST_F(EnterKeyTest, ThePageOneRowsOfTheActiveView) {
  // The data column chosen is committed.
  S().GnsXlsFplView = kViewActive;
  S().GnsXlsLineState[10] = 1;
  S().GnsFplDataColumnChoice = kColumnAlt;
  Enter();
  EXPECT_EQ(S().GnsFplDataColumn, kColumnAlt);

  // The simulator's route is asked for (there is none here).
  S().GnsXlsLineState[10] = 2;
  Enter();
  EXPECT_EQ(M().PanelMessage, "NO ACTIVE GPS RTE");

  // SAVE FPL? proposes the name of the route's ends.
  MakeActive({"KSEA", "A", "KPDX"});
  F().ActiveFlightPlan[2].type = "APT";
  S().GnsXlsLineState[9] = 2;
  S().GnsXlsEntryActive = 1;
  Enter();
  EXPECT_EQ(S().GnsXlsPage, kPageSaveFlightPlan);
  EXPECT_EQ(S().GnsSaveFileName, "KSEAKPDX");
  EXPECT_EQ(S().NavigatorScratchpad, "KSEAKPDX");
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));

  // Not for a route of the two airports alone, nor one that ends elsewhere:
  // the press goes on to the entry rows.
  for (const Strings& idents : {Strings{"KSEA", "KPDX"}, Strings{"KSEA", "A", "B"}}) {
    MakeActive(idents);
    F().ActiveFlightPlan[1].type = "APT";
    S().GnsXlsPage = kPageFlightPlan;
    S().GnsXlsLineState[9] = 2;
    Enter();
    EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan) << idents.size();
    EXPECT_EQ(LineStates()[8], 2);
  }
}

TEST_F(EnterKeyTest, ReserveFuel) {
  struct Case {
    const char* unit;
    const char* entry;
    double reserve;
  } cases[] = {
      {"LBS", "5000  ", 5000.0}, {"KGS", "5000", 5000.0 * 2.20462262}, {"LBS", "0", 0.0},
      {"LBS", "", 1234.0},       {"LBS", "      ", 1234.0},             {"KGS", "ABC", 1234.0},
      {"LBS", "12AB", 1234.0},   {"LBS", "1E3", 1234.0},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    M().WeightUnit = c.unit;
    M().ReserveFuel = 1234.0;
    OnPage(kPagePlan, c.entry);
    S().GnsXlsLineState[7] = 1;
    Enter();
    EXPECT_DOUBLE_EQ(M().ReserveFuel, c.reserve) << c.unit << " \"" << c.entry << "\"";
    EXPECT_EQ(LineStates()[6], 0);
  }
  // Only on the fuel status sub-page.
  M().ReserveFuel = 1.0;
  OnPage(kPagePlan, "5000");
  S().GnsPlanSubPage = 3;
  S().GnsXlsLineState[7] = 1;
  Enter();
  EXPECT_DOUBLE_EQ(M().ReserveFuel, 1.0);
}

TEST_F(EnterKeyTest, CruiseAndTransitionAltitudes) {
  OnPage(kPageVnavData, "35000 ");
  S().GnsXlsLineState[7] = 1;
  Enter();
  EXPECT_EQ(M().CruiseAlt, 35000);
  for (const char* entry : {"", "FL350", "  "}) {
    OnPage(kPageVnavData, entry);
    S().GnsXlsLineState[7] = 1;
    Enter();
    EXPECT_EQ(M().CruiseAlt, 35000) << entry;
  }
  OnPage(kPageVnavData, "9000");
  S().GnsXlsLineState[7] = 2;
  Enter();
  EXPECT_EQ(M().TransAlt, 9000);
  EXPECT_EQ(M().CruiseAlt, 35000);
}

// Climb 300 and descent 280 kt indicated are 385.5 and 359.8 kt true at
// 15000 ft; a rate is that ground distance a minute x angle x 100, to the
// nearest 100 ft/min (the climb's rounding as whole numbers).
TEST_F(EnterKeyTest, FlightPathAngleAndItsRates) {
  struct Case {
    const char* entry;
    double fpa;
    int climb;
    double descent;
  } cases[] = {
      {"25", 2.5, 1600, 1500.0},  // 1606.25 -> 1600; 1499.17 -> 1500
      {"3     ", 3.0, 1900, 1800.0},  // 1927.5 -> 1900; 1799 -> 1800
      {"05", 0.5, 300, 300.0},
      {"70", 6.0, 3900, 3600.0},  // capped at 6.0: 3855 -> 3900; 3598 -> 3600
      {"00", 0.0, 1111, 2222.0},  // stored, the rates kept
      {"", 3.3, 1111, 2222.0},
      {"      ", 3.3, 1111, 2222.0},
      {"A5", 3.3, 1111, 2222.0},
      {"2X", 3.3, 1111, 2222.0},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    M().ClimbIas = 300;
    M().DescentSpeed = 280;
    M().FPA = 3.3;
    M().ClimbRate = 1111;
    M().DescentRate = 2222.0;
    OnPage(kPageVnavData, c.entry);
    S().GnsXlsLineState[8] = 1;
    Enter();
    EXPECT_DOUBLE_EQ(M().FPA, c.fpa) << c.entry;
    EXPECT_EQ(M().ClimbRate, c.climb) << c.entry;
    EXPECT_DOUBLE_EQ(M().DescentRate, c.descent) << c.entry;
  }
}

TEST_F(EnterKeyTest, HoldingPatternEntries) {
  struct Case {
    int line, state;
    const char* course;
    const char* time;
    const char* distance;
    double inbound, leg_time, leg_length;
    int time_based, leg_mode;
  } cases[] = {
      {7, 1, "090", " . ", "  . ", 90.0, 1.0, 4.0, 1, 1},
      {7, 1, "360", " . ", "  . ", 0.0, 1.0, 4.0, 1, 1},
      {7, 1, "   ", " . ", "  . ", 123.0, 1.0, 4.0, 1, 1},
      {7, 1, "400", " . ", "  . ", 123.0, 1.0, 4.0, 1, 1},
      {9, 1, "090", "1.5", "12.5", 123.0, 1.5, 4.0, 1, 1},
      {9, 1, "090", " . ", "12.5", 123.0, 1.0, 4.0, 1, 1},
      {9, 1, "090", "0.0", "12.5", 123.0, 1.0, 4.0, 1, 1},
      {9, 2, "090", "1.5", "12.5", 123.0, 1.0, 12.5, 2, 2},
      {9, 2, "090", "1.5", "  . ", 123.0, 1.0, 4.0, 1, 1},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    model::HoldingPattern& h = F().HoldTable[1];
    h.inbound_course = 123.0;
    h.leg_time = 1.0;
    h.leg_length = 4.0;
    OnPage(kPageHolding);
    S().GnsHoldCourseEntry = c.course;
    S().GnsHoldLegTimeEntry = c.time;
    S().GnsHoldLegDistanceEntry = c.distance;
    S().GnsXlsLineState[c.line] = c.state;
    Enter();
    const std::string what = std::to_string(c.line) + c.course + c.time + c.distance;
    EXPECT_DOUBLE_EQ(h.inbound_course, c.inbound) << what;
    EXPECT_DOUBLE_EQ(h.leg_time, c.leg_time) << what;
    EXPECT_DOUBLE_EQ(h.leg_length, c.leg_length) << what;
    EXPECT_EQ(h.time_based, c.time_based) << what;
    EXPECT_EQ(S().GnsHoldLegMode, c.leg_mode) << what;
  }
  // The turn side and the exit mode as chosen with CLR.
  OnPage(kPageHolding);
  S().GnsXlsLineState[8] = 1;
  S().GnsHoldTurnChoice = 2;
  Enter();
  EXPECT_EQ(F().HoldTable[1].turn_side, 2);
  S().GnsXlsLineState[10] = 1;
  S().GnsHoldExitModeChoice = 2;
  Enter();
  EXPECT_EQ(G().HoldState, 2);
}

TEST_F(EnterKeyTest, DatabaseWaypointChoicesAreTakenWithoutTheirBlanks) {
  OnPage(kPageDatabaseWaypoint, "YES   ");
  S().GnsXlsLineState[10] = 1;
  Enter();
  EXPECT_EQ(S().GnsWaypointEntryText, "YES");

  OnPage(kPageDatabaseWaypoint, "LEFT  ");
  S().GnsXlsReturnPage = kPageDirect;
  S().GnsXlsLineState[10] = 2;
  Enter();
  EXPECT_EQ(S().TurnDirectionText, "LEFT");
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
}

// ---- SAVE ACTIVE FPL ------------------------------------------------------------

class SaveTest : public EnterKeyTest {
 protected:
  void SetUp() override {
    EnterKeyTest::SetUp();
    static int run = 0;
    root_ = std::filesystem::temp_directory_path() /
            ("ovi_gns_save_" + std::to_string(::getpid()) + "_" + std::to_string(++run));
    std::filesystem::create_directories(root_ / "ovi" / "flightplans");
    host::host_state.SimulatorFolder = root_.string();
    MakeActive({"KSEA", "A", "KPDX"});
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  bool Saved(const std::string& file) const { return std::filesystem::exists(root_ / "ovi" / "flightplans" / file); }
  std::filesystem::path root_;
};

TEST_F(SaveTest, TheNameFieldAcceptsAndThenTheFileIsWritten) {
  S().GnsSaveFileName = "KSEAKPDX";
  OnPage(kPageSaveFlightPlan, "MYPLAN    ");
  S().GnsXlsEntryActive = 1;
  S().GnsXlsLineState[2] = 2;
  Enter();
  EXPECT_EQ(S().GnsSaveFileName, "MYPLAN");
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
  EXPECT_EQ(LineStates()[1], 0);
  EXPECT_FALSE(Saved("MYPLAN.RTE"));

  S().GnsFplDataColumn = kColumnDis;
  Enter();
  EXPECT_TRUE(Saved("MYPLAN.RTE"));
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  EXPECT_EQ(S().GnsFplDataColumnChoice, kColumnDis);
}

TEST_F(SaveTest, AnEmptiedFieldKeepsTheName) {
  S().GnsSaveFileName = "KSEAKPDX";
  OnPage(kPageSaveFlightPlan, "          ");
  S().GnsXlsEntryActive = 1;
  Enter();
  EXPECT_EQ(S().GnsSaveFileName, "KSEAKPDX");
  Enter();
  EXPECT_TRUE(Saved("KSEAKPDX.RTE"));
}

// A name that is not a plain file name, or a write that fails, is never
// shown as done: the page stays.
TEST_F(SaveTest, ARefusedNameOrAFailedWriteStaysOnThePage) {
  for (const char* entry : {"", "  ", "MY*PLAN", "#1", "COM1", "CON"}) {
    OnPage(kPageSaveFlightPlan, entry);
    Enter();
    EXPECT_EQ(S().GnsXlsPage, kPageSaveFlightPlan) << entry;
  }
  EXPECT_TRUE(std::filesystem::is_empty(root_ / "ovi" / "flightplans"));
  std::filesystem::remove_all(root_ / "ovi" / "flightplans");
  OnPage(kPageSaveFlightPlan, "MYPLAN");
  Enter();
  EXPECT_EQ(S().GnsXlsPage, kPageSaveFlightPlan);
}

// ---- activation -------------------------------------------------------------------

// On a copy of the sample folder: a new flight's log is written there.
class ActivationTest : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    static int run = 0;
    root_ = std::filesystem::temp_directory_path() /
            ("ovi_gns_activation_" + std::to_string(::getpid()) + "_" + std::to_string(++run));
    std::filesystem::create_directories(root_);
    std::filesystem::copy(std::filesystem::path(OVI_SOURCE_DIR) / "data" / "ovi", root_ / "ovi",
                          std::filesystem::copy_options::recursive);
    host::host_state.SimulatorFolder = root_.string();
    navdb::LoadNavDatabase();
    ASSERT_GT(navdb::navdb_state.AirportCount, 0);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::filesystem::path root_;

  void Activate() {
    S().GnsXlsPage = kPageFlightPlan;
    S().GnsXlsFplView = kViewStored;
    navdb::entry_state.PendingPlanOpen = 1;
    S().GnsXlsLineState[10] = 1;
    S().GnsXlsLineState[2] = 1;
    Enter();
    DrawFrame();
  }
  void Stale() {
    model::State& m = M();
    m.RouteSid = "SUMMA1";
    m.PlanSelectionText1 = "16L";
    m.GnsSelectedApproachVia = "I16R";
    m.ApproachNone = "CARBY";
    m.ReserveFuel = 4000.0;
    m.LoadedSpeedSchedule = {240, 250, 280};
    m.FileCruiseAlt = 31000;
    G().NextConstraintAltitude = 1500.0;
    G().TakeoffTimeText = "14:05";
    G().FlightLogState = 2;
    G().LnavLegTracking = 1;
    G().ActiveHoldIndex = 1;
    F().HoldTable[1].active_index = 3;
    F().HoldCount = 1;
    navdb::navdb_state.SelectedRunwayBase = 4;
  }
};

TEST_F(ActivationTest, APlanBetweenTwoAirports) {
  MakePending({"KSEA", "SEA", "OLM", "KPDX"});
  F().PendingFlightPlan[3].type = "APT";
  F().PendingFlightPlan[1].altitude_constraint = 9000.0;
  F().PendingFlightPlan[1].constraint_flag = 1;
  F().PendingFlightPlan[1].speed_constraint = 250.0;
  F().PendingFlightPlan[1].time_over_text = "12:00";
  F().PendingFlightPlan[2].frequency_text = "113.40";
  F().PendingFlightPlan[2].hold_number = 1;
  Stale();
  Activate();
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"KSEA", "SEA", "OLM", "KPDX"}));
  EXPECT_EQ(F().ActiveFlightPlan[4].ident, "******");
  const model::FlightPlanWaypoint& sea = F().ActiveFlightPlan[1];
  EXPECT_EQ(sea.altitude_constraint, model::kNoValue);
  EXPECT_EQ(sea.constraint_flag, 0u);
  EXPECT_EQ(sea.speed_constraint, 250.0);
  EXPECT_EQ(sea.time_over_text, "");
  EXPECT_EQ(F().ActiveFlightPlan[2].frequency_text, "113.40");
  EXPECT_EQ(F().ActiveFlightPlan[2].hold_number, 1u);
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_EQ(G().ActiveWaypointLat, sea.latitude);
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(M().DescentSpeed, 240);
  EXPECT_EQ(M().CruiseSpeed, 280);
  EXPECT_EQ(navdb::navdb_state.SelectedRunwayBase, -999);
  EXPECT_EQ(G().LnavLegTracking, 0);
  EXPECT_EQ(G().ActiveHoldIndex, 0);
  EXPECT_EQ(F().HoldTable[1].active_index, 0);
  EXPECT_EQ(G().TakeoffTimeText, "-----");
  EXPECT_EQ(M().ReserveFuel, 0.0);
  // The route's ends and their data; every other selection cleared.
  EXPECT_EQ(M().OriginAirportIdent, "KSEA");
  EXPECT_EQ(M().DestinationAirportIdent, "KPDX");
  for (const std::string* s : {&M().RouteSid, &M().PlanSelectionText1, &M().GnsSelectedApproachVia, &M().ApproachNone})
    EXPECT_EQ(*s, "------");
  EXPECT_EQ(G().NextConstraintIndex, 3);
  EXPECT_EQ(G().NextConstraintLat, F().ActiveFlightPlan[3].latitude);
  EXPECT_EQ(F().ActiveFlightPlan[3].altitude_constraint, 1500.0);
  EXPECT_EQ(M().CruiseAlt, 31000);
  EXPECT_EQ(G().DestinationDetailsState, 1);
  EXPECT_EQ(M().McuAirportIdent, "KSEA");
  EXPECT_EQ(M().McuAirportElevationText, "433");
  EXPECT_EQ(G().ElapsedFlightSeconds, 0.0);  // on the ground: a new flight log
  EXPECT_EQ(G().LastClockSecond, -99.0);
  // The active view, page 1 of 1, the line states reset.
  EXPECT_EQ(S().GnsXlsFplView, kViewActive);
  EXPECT_EQ(S().GnsActivePlanPage, 1);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  Frame f = DrawFrame();
  EXPECT_TRUE(f.Shows("ACTIVE FPL   1/1"));
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 0);
}

TEST_F(ActivationTest, APlanWithoutAirportEnds) {
  MakePending({"SEA", "OLM", "BTG"});
  F().PendingFlightPlan[0].type = "VOR";
  Stale();
  M().DestinationAirportIdent = "KPDX";
  M().CruiseAlt = 12000;
  Activate();
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"SEA", "OLM", "BTG"}));
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_EQ(M().DestinationAirportIdent, "------");
  EXPECT_EQ(M().OriginAirportIdent, "------");
  EXPECT_EQ(G().NextConstraintIndex, 0);
  EXPECT_EQ(M().CruiseAlt, 12000);
  EXPECT_EQ(G().ElapsedFlightSeconds, -99.0);  // no airport, no new log
  EXPECT_EQ(G().FlightLogState, 0);
  EXPECT_EQ(S().GnsXlsFplView, kViewActive);
}

// One waypoint: copied, but there is no leg to fly; the stored view stays.
TEST_F(ActivationTest, APlanOfOneWaypoint) {
  MakeActive({"KSEA", "A", "KPDX"});
  F().ActiveWaypointIndex = 2;
  MakePending({"KBFI"});
  Stale();
  Activate();
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"KBFI"}));
  EXPECT_EQ(F().ActiveFlightPlan[1].ident, "******");
  EXPECT_EQ(F().ActiveWaypointIndex, model::kNoWaypoint);
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(M().RouteSid, "SUMMA1");  // not cleared
  EXPECT_EQ(S().GnsXlsFplView, kViewStored);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  EXPECT_EQ(F().ActiveFlightPlan.refused(), 0);
}

TEST_F(ActivationTest, AnEmptyPlanChangesOnlyTheLines) {
  MakeActive({"KSEA", "A", "KPDX"});
  F().ActiveWaypointIndex = 2;
  F().RouteState = 3;
  MakePending({});
  F().PendingFlightPlanLastIndex = -1;
  Stale();
  Activate();
  EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"KSEA", "A", "KPDX"}));
  EXPECT_EQ(F().ActiveWaypointIndex, 2);
  EXPECT_EQ(M().ReserveFuel, 4000.0);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  EXPECT_EQ(S().GnsXlsFplView, kViewStored);
}

}  // namespace
}  // namespace ovi::gnsxls::test
