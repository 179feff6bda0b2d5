// The RTE page on the sample region: route ends, company routes, the
// VIA/TO rows with airways, exit fixes, direct cuts and insertions, the
// SELECT WAYPOINT hand-over, the route state's prompts, and the drawing of
// each sub-page in each route state.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "src/flightplan/library.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/keypad.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "tests/fms/cdu_support.h"

namespace ovi::fms::test {
namespace {

using Strings = std::vector<std::string>;

flightplan::State& F() { return flightplan::flightplan_state; }
model::State& M() { return model::model_state; }

Strings Idents(const model::FlightPlanTable& plan, int last) {
  Strings out;
  for (int i = 0; i <= last; ++i) out.push_back(plan[i].ident);
  return out;
}
Strings PendingIdents() { return Idents(F().PendingFlightPlan, F().PendingFlightPlanLastIndex); }
Strings Rows() {
  Strings out;
  for (int r = 1; r <= F().RouteViaToCount; ++r) out.push_back(F().RouteViaToList[r].via + " " + F().RouteViaToList[r].to);
  return out;
}

class RoutePageTest : public SampleCopyTest {
 protected:
  void SetUp() override {
    SampleCopyTest::SetUp();
    fms_state.FmsPage = kPageRoute;
  }
  // Types `text` and presses `key` on the page shown; one frame.
  Frame Enter(const std::string& text, int key) {
    M().FmsScratchpad = text;
    PressLineKey(key);
    return DrawFrame();
  }
  void ShowSubPage(int n) { M().FmsSubPageTable.RteSubPage = n; }
  // KSEA to KPDX entered on the route ends.
  void EnterEnds() {
    ShowSubPage(1);
    Enter("KSEA", kL1);
    Enter("KPDX", kR1);
  }
};

TEST_F(RoutePageTest, OriginStartsANewRoute) {
  // Leftovers of an earlier route.
  F().ActiveFlightPlan[1].ident = "STALE";
  F().ActiveFlightPlan[1].latitude = 10.0;
  F().ActiveFlightPlanLastIndex = -1;
  F().RouteState = 3;
  M().CruiseAlt = 35000;
  M().DestinationAirportIdent = "KLAX";
  guidance::guidance_state.NextConstraintIndex = 10;
  F().PendingActiveWaypointIndex = 10;
  fms_state.FmsDepSidState = fms_state.FmsArrStarState = fms_state.FmsArrTransChosen = 1;
  Enter("KSEA", kL1);
  // The tracked waypoint of the new route is its last entry, not the old
  // route's tenth.
  EXPECT_EQ(guidance::guidance_state.NextConstraintIndex, 1);
  EXPECT_EQ(F().PendingActiveWaypointIndex, 1);
  const model::FlightPlanWaypoint& origin = F().ActiveFlightPlan[0];
  EXPECT_EQ(origin.ident, "KSEA");
  EXPECT_EQ(origin.type, "APT");
  EXPECT_NEAR(origin.latitude, 47.4490, 1e-9);
  EXPECT_NEAR(origin.longitude, -122.3093, 1e-9);
  EXPECT_EQ(origin.altitude_constraint, 433.0);
  EXPECT_EQ(F().ActiveFlightPlanLastIndex, 1);
  // Entry 1 waits for the destination: nothing of the earlier route.
  EXPECT_EQ(F().ActiveFlightPlan[1].ident, "");
  EXPECT_NEAR(F().ActiveFlightPlan[1].latitude, 47.4490, 1e-9);
  EXPECT_EQ(F().ActiveWaypointIndex, model::kNoWaypoint);
  EXPECT_EQ(M().CruiseAlt, 0);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", ""}));
  EXPECT_EQ(M().OriginAirportIdent, "KSEA");
  EXPECT_EQ(M().RteOriginIdent, "KSEA");
  EXPECT_EQ(M().DestinationAirportIdent, "------");
  EXPECT_EQ(M().RouteDepartureRunway, "------");
  EXPECT_EQ(F().RouteState, 0);
  EXPECT_EQ(fms_state.FmsDepSidState + fms_state.FmsArrStarState + fms_state.FmsArrTransChosen, 0);
  EXPECT_TRUE(M().FmsScratchpad.empty());

  Frame f = DrawFrame();
  f.ExpectText(" KSEA", 0, 33);
  f.ExpectText("R U N W A Y", 12, 88, 12);
  f.ExpectText("- - - - -", 0, 104);
  EXPECT_EQ(f.rec.Count(gfx::OpKind::Rectangle), 5);  // the DEST entry boxes
}

TEST_F(RoutePageTest, UnknownAirportsAndRunwaysAreNotInTheDatabase) {
  for (int key : {kL1, kR1}) {
    Enter("KXYZ", key);
    EXPECT_EQ(M().PanelMessage, "NOT IN DATABASE");
    EXPECT_EQ(M().FmsScratchpad, "KXYZ");
    M().PanelMessage.clear();
  }
  Enter("16L", kL3);  // no origin yet: the runway is not taken
  EXPECT_EQ(M().RouteDepartureRunway, "------");
  EXPECT_EQ(M().FmsScratchpad, "16L");
  Enter("KSEA", kL1);
  Enter("99X", kL3);
  EXPECT_EQ(M().PanelMessage, "NOT IN DATABASE");
  EXPECT_EQ(M().FmsScratchpad, "99X");
}

TEST_F(RoutePageTest, DestinationOfANewRoute) {
  F().PendingActiveWaypointIndex = 0;
  fms_state.FmsArrRunwayChosen = fms_state.FmsSelectedApproachIndex = fms_state.FmsArrApproachState = 1;
  guidance::guidance_state.PlaneLatitude = 47.4490;
  guidance::guidance_state.PlaneLongitude = -122.3093;
  EnterEnds();
  const model::FlightPlanWaypoint& dest = F().ActiveFlightPlan[1];
  EXPECT_EQ(dest.ident, "KPDX");
  EXPECT_EQ(dest.type, "APT");
  EXPECT_EQ(dest.altitude_constraint, 31.0);
  EXPECT_EQ(dest.speed_constraint, -999.0);
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_EQ(guidance::guidance_state.NextConstraintIndex, 1);
  EXPECT_NEAR(guidance::guidance_state.ActiveWaypointLat, 45.5887, 1e-9);
  // 1.8603 degrees of latitude (111.6 NM) and 0.2882 of longitude at 46.5
  // degrees (11.9 NM) from KSEA: 112.2 NM.
  EXPECT_NEAR(guidance::guidance_state.ActiveWaypointDistance, 112.2, 0.5);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "KPDX"}));
  EXPECT_EQ(M().DestinationAirportIdent, "KPDX");
  EXPECT_EQ(F().RouteState, 0);
  EXPECT_EQ(fms_state.FmsArrRunwayChosen + fms_state.FmsSelectedApproachIndex + fms_state.FmsArrApproachState, 0);
  DrawFrame().ExpectText(" KPDX", 210, 33);
}

// A destination typed while a route is being entered or is activated
// changes that route's end; the rows and a company route stay.
TEST_F(RoutePageTest, ADestinationKeepsTheRouteBeingEntered) {
  ShowSubPage(1);
  Enter("KSEA", kL1);
  ShowSubPage(2);
  Enter("SEA", kR1);  // before any destination: entry 1 was the blank slot
  ASSERT_EQ(F().RouteState, 1);
  ShowSubPage(1);
  Enter("KPDX", kR1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "KPDX"}));
  EXPECT_EQ(Rows(), (Strings{"DIRECT SEA"}));
  EXPECT_EQ(Idents(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex), (Strings{"KSEA", "KPDX"}));
  EXPECT_EQ(M().DestinationAirportIdent, "KPDX");
  EXPECT_EQ(F().RouteState, 1);

  // A company route, activated, then sent elsewhere: only its end changes.
  flightplan::ScanFlightPlanFolder();
  Enter("KSEA-KPDX", kL2);
  PressLineKey(kR6);
  DrawFrame();
  ASSERT_EQ(F().RouteState, 2);
  const Strings loaded = PendingIdents();
  ASSERT_EQ(loaded.size(), 11u);
  Enter("KBFI", kR1);
  Strings expected = loaded;
  expected.back() = "KBFI";
  EXPECT_EQ(PendingIdents(), expected);
  const model::FlightPlanWaypoint& dest = F().PendingFlightPlan[10];
  EXPECT_EQ(dest.type, "APT");
  EXPECT_NEAR(dest.latitude, 47.5300, 1e-9);
  EXPECT_EQ(dest.altitude_constraint, 21.0);
  EXPECT_EQ(F().RouteState, 2);
  EXPECT_EQ(M().DestinationAirportIdent, "KBFI");
}

TEST_F(RoutePageTest, RunwayChosenFirstThenChanged) {
  EnterEnds();
  Enter("16C", kL3);
  EXPECT_EQ(M().RouteDepartureRunway, "16C");
  EXPECT_EQ(M().SelectedDepartureRunway, "16C");
  EXPECT_EQ(navdb::procedure_state.AirportProcedureSets[1].SelectedRunwayIndex, 3);
  EXPECT_EQ(fms_state.FmsDepRunwayChosen, 1);
  Enter("34R", kL3);  // a route not yet executed takes the new runway
  EXPECT_EQ(M().RouteDepartureRunway, "34R");
  F().RouteState = 3;  // the executed route: the change waits for EXEC
  Enter("16R", kL3);
  EXPECT_EQ(M().RouteDepartureRunway, "34R");
  EXPECT_EQ(M().PendingDepartureRunway, "16R");
  EXPECT_EQ(F().RouteState, 4);
  Frame f = DrawFrame();
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(f.rec.FindText("16R", &t));
  EXPECT_EQ(t.color, kBlack);
}

TEST_F(RoutePageTest, CompanyRoutesByNameOrByTheirEnds) {
  const auto plans = root_ / "ovi" / "flightplans";
  std::ofstream(plans / "BROKEN.RTE") << "KSEA 47.4 -122.3 APT\n";  // no header: left out of the list
  std::ofstream(plans / "GONE.RTE") << std::ifstream(plans / "KBFI-KGEG.RTE").rdbuf();
  flightplan::ScanFlightPlanFolder();
  std::filesystem::remove(plans / "GONE.RTE");  // listed, then gone
  struct Case {
    const char* typed;
    int state_before, state_after;
    const char* first_after_origin;  // null: refused
    const char* refusal = "NOT IN DATABASE";
  };
  const Case cases[] = {
      {"KSEA-KP", 0, 1, "FOURT"},
      {"KSEAKPDX", 2, 1, "FOURT"},   // KSEA to KPDX by its ends
      {"KSEA-KPD", 3, 4, "FOURT"},
      {"KSEA-KPDX", 4, 4, "FOURT"},
      {"KSEAKPD", 0, 0, nullptr},    // characters 5 to 8 are only three here
      {"ZZZZ", 0, 0, nullptr},
      // A plan there but not loadable is no plan the database lacks.
      {"BROKEN", 0, 0, nullptr, "Unable to load FP"},
      {"GONE", 3, 3, nullptr, "Unable to load FP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    F().RouteState = c.state_before;
    M().PanelMessage.clear();
    ShowSubPage(1);
    Enter(c.typed, kL2);
    EXPECT_EQ(F().RouteState, c.state_after);
    if (c.first_after_origin == nullptr) {
      EXPECT_EQ(M().PanelMessage, c.refusal);
      EXPECT_EQ(M().FmsScratchpad, c.typed);
      continue;
    }
    EXPECT_EQ(fms_state.RteCoRouteText, c.typed);
    EXPECT_EQ(F().PendingFlightPlan[1].ident, c.first_after_origin);
    EXPECT_GT(F().RouteViaToCount, 0);
    EXPECT_TRUE(M().FmsScratchpad.empty());
  }
}

// A stored plan of its two ends alone (a direct flight) has no rows; the
// rows of the route shown before it must not stay on the page.
TEST_F(RoutePageTest, ACompanyRouteOfItsEndsAloneLeavesNoEarlierRows) {
  std::ofstream(root_ / "ovi" / "flightplans" / "KSEA-KBFI.rte")
      << "[FlightPlan]\n"
         "KSEA             47.44900  -122.30930  APT ---            \n"
         "KBFI             47.53000  -122.30200  APT ---    DIRECT  \n";
  flightplan::ScanFlightPlanFolder();
  for (int state_before : {0, 3}) {
    SCOPED_TRACE(state_before);
    F().RouteState = state_before;
    F().RouteViaToCount = 2;
    F().RouteViaToList[1] = {"OLM", "DIRECT"};
    F().RouteViaToList[2] = {"BTG", "V23"};
    ShowSubPage(1);
    Enter("KSEA-KBFI", kL2);
    ASSERT_EQ(PendingIdents(), (Strings{"KSEA", "KBFI"}));
    EXPECT_EQ(F().RouteViaToCount, 0);
    ShowSubPage(2);
    Frame rows = DrawFrame();
    EXPECT_FALSE(rows.Find("OLM"));
    EXPECT_FALSE(rows.Find("BTG"));
    rows.ExpectText("- - - - -", 210, 36);  // the entry row comes first
  }
}

TEST_F(RoutePageTest, RowsFromWaypointsAndAnAirwayToItsExit) {
  EnterEnds();
  fms_state.FmsNextPageKey = 1;
  Frame empty = DrawFrame();
  empty.ExpectText(" 2/ 2", 220, 0, 12);
  empty.ExpectText("V I A", 12, 22, 12);
  empty.ExpectText("T O", 220, 22, 12);
  empty.ExpectText("- - - - - -", 0, 36);
  empty.ExpectText("- - - - -", 210, 36);

  Enter("SEA", kR1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "KPDX"}));
  EXPECT_EQ(F().RouteState, 1);
  Enter("V23", kL2);  // the airway from SEA waits for its exit
  EXPECT_EQ(Rows(), (Strings{"DIRECT SEA", "V23 THEN"}));
  Frame waiting = DrawFrame();
  waiting.ExpectText("V23", 0, 69);
  waiting.ExpectText("THEN", 100, 58, 12);
  EXPECT_EQ(waiting.rec.Count(gfx::OpKind::Rectangle), 5);

  Enter("BTG", kR2);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "ALDER", "NISQU", "OLM", "TOLLE", "COUGA", "BTG", "KPDX"}));
  EXPECT_EQ(Rows(), (Strings{"DIRECT SEA", "V23 BTG"}));
  EXPECT_EQ(F().PendingFlightPlan[4].via, "V23");
  EXPECT_TRUE(M().FmsScratchpad.empty());
  Frame f = DrawFrame(564, 490);
  f.ExpectText("DIRECT", 0, 36);
  f.ExpectText("SEA", 190, 36);
  f.ExpectText("V23", 0, 69);
  f.ExpectText("BTG", 190, 69);
  f.ExpectText("- - - - - -", 0, 102);
  f.ExpectText("- - - - - - - - - - - - - - - - - - - - - - - - -", 0, 187);
  f.ExpectText("ACTIVATE >", 160, 202);
}

// Sub-page 3 shows rows 6 to 10: its L1 is row 6, whose entry fix is row
// 5's TO on sub-page 2, so an airway there is no first-row airway.
TEST_F(RoutePageTest, RowsOfTheThirdSubPageFollowOnFromTheSecond) {
  EnterEnds();
  ShowSubPage(2);
  const char* tos[] = {"FOURT", "PARKK", "CHINS", "ALDER", "NISQU"};
  for (int k = 1; k <= 5; ++k) Enter(tos[k - 1], kR1 + k - 1);
  ASSERT_EQ(Rows(), (Strings{"DIRECT FOURT", "DIRECT PARKK", "DIRECT CHINS", "DIRECT ALDER", "DIRECT NISQU"}));
  Frame second = DrawFrame();
  second.ExpectText(" 2/ 3", 220, 0, 12);
  second.ExpectText("NISQU", 190, 168);  // row 5: 36 + 4 x 33
  EXPECT_FALSE(second.Find("- - - - -"));

  fms_state.FmsNextPageKey = 1;
  Frame third = DrawFrame();
  third.ExpectText(" 3/ 3", 220, 0, 12);
  third.ExpectText("- - - - - -", 0, 36);
  third.ExpectText("- - - - -", 210, 36);
  Enter("V23", kL1);
  EXPECT_EQ(M().PanelMessage, "");
  EXPECT_EQ(Rows().back(), "V23 THEN");
  Enter("BTG", kR1);
  EXPECT_EQ(Rows().back(), "V23 BTG");
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "FOURT", "PARKK", "CHINS", "ALDER", "NISQU", "OLM", "TOLLE",
                                      "COUGA", "BTG", "KPDX"}));
  Frame f = DrawFrame();
  f.ExpectText("V23", 0, 36);
  f.ExpectText("BTG", 190, 36);
  f.ExpectText("- - - - - -", 0, 69);  // the entry row follows
  // R1 with an empty scratchpad takes row 6's TO, not plan entry 6 (OLM).
  Enter("", kR1);
  EXPECT_EQ(M().FmsScratchpad, "BTG");
  // Below the entry row (row 8) nothing is taken.
  Enter("SEA", kR3);
  EXPECT_EQ(M().FmsScratchpad, "SEA");
  EXPECT_EQ(Rows().size(), 6u);
}

// Before any origin the route has no place for a row: every row key is
// refused and nothing is written.
TEST_F(RoutePageTest, RowsOfAnEmptyRouteTakeNothing) {
  F().PendingFlightPlanLastIndex = -1;
  F().RouteViaToCount = 0;
  ShowSubPage(2);
  struct Case {
    const char* message_before;
    const char* typed;
    int key;
    const char* message_after;
  };
  const Case cases[] = {
      {"", "SEA", kR1, "INVALID ENTRY"},     {"", "V23", kL1, "INVALID ENTRY"},
      {"DELETE", "", kL1, "INVALID DELETE"}, {"DELETE", "", kR1, "INVALID DELETE"},
      {"", "", kR1, ""},                     {"", "SEA", kR2, ""},  // below the entry row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " on key " + std::to_string(c.key));
    M().PanelMessage = c.message_before;
    Frame f = Enter(c.typed, c.key);
    EXPECT_EQ(M().PanelMessage, c.message_after);
    EXPECT_EQ(M().FmsScratchpad, c.typed);
    EXPECT_EQ(F().PendingFlightPlanLastIndex, -1);
    EXPECT_EQ(F().RouteState, 0);
    EXPECT_EQ(fms_state.FmsPage, kPageRoute);
    f.ExpectText(" 2/ 2", 220, 0, 12);
  }
}

TEST_F(RoutePageTest, AnAirwayEndsAnywhereOnItButAtItsEntry) {
  EnterEnds();
  ShowSubPage(2);
  Enter("SEA", kR1);
  Enter("V23", kL2);
  for (const char* exit : {"SEA", "ELN", "KPDX1"}) {
    SCOPED_TRACE(exit);
    Enter(exit, kR2);
    EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
    EXPECT_TRUE(M().FmsScratchpad.empty());
    EXPECT_EQ(Rows(), (Strings{"DIRECT SEA", "V23 THEN"}));
    M().PanelMessage.clear();
  }
  // The airway's last fix is a fine exit.
  navdb::entry_state.WaypointCandidateCount = 0;  // whatever was looked up since
  Enter("BLI", kR2);
  EXPECT_EQ(M().PanelMessage, "");
  EXPECT_EQ(Rows(), (Strings{"DIRECT SEA", "V23 BLI"}));
}

TEST_F(RoutePageTest, AirwaysThatCannotStartHereAreRefused) {
  EnterEnds();
  ShowSubPage(2);
  Enter("V23", kL1);  // the first row has no fix before it
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
  EXPECT_EQ(M().FmsScratchpad, "V23");
  M().PanelMessage.clear();
  Enter("SEA", kR1);
  // Unknown, longer than any airway's name, not through SEA.
  for (const char* airway : {"V2X", "V23456789012", "V187"}) {
    Enter(airway, kL2);
    EXPECT_EQ(M().PanelMessage, "INVALID ENTRY") << airway;
    M().PanelMessage.clear();
  }
  EXPECT_EQ(Rows(), (Strings{"DIRECT SEA"}));
  PressLineKey(kL4);  // below the entry row: nothing
  M().FmsScratchpad = "V23";
  DrawFrame();
  EXPECT_EQ(M().PanelMessage, "");
  EXPECT_EQ(Rows(), (Strings{"DIRECT SEA"}));
}

TEST_F(RoutePageTest, ToEntriesCutInsertAndRefuse) {
  EnterEnds();
  ShowSubPage(2);
  Enter("SEA", kR1);  // each on the entry row below the rows
  Enter("OLM", kR2);
  Enter("BTG", kR3);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "OLM", "BTG", "KPDX"}));
  Enter("OLM", kR2);  // its own TO
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
  EXPECT_EQ(M().FmsScratchpad, "OLM");
  M().PanelMessage.clear();
  Enter("NISQU", kR2);  // in front of the row's TO, which no longer joins
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "NISQU", "DISCO", "OLM", "BTG", "KPDX"}));
  Enter("BTG", kR2);  // later in the route: a direct leg to it
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "BTG", "KPDX"}));
  EXPECT_EQ(Rows(), (Strings{"DIRECT SEA", "DIRECT BTG"}));
  Enter("XXXXX", kR1);
  EXPECT_EQ(M().PanelMessage, "NOT IN DATABASE");
  EXPECT_EQ(M().FmsScratchpad, "XXXXX");
  M().PanelMessage = "DELETE";
  PressLineKey(kR1);
  DrawFrame();
  EXPECT_EQ(M().PanelMessage, "INVALID DELETE");
  // An empty scratchpad takes the row's TO.
  M().PanelMessage.clear();
  Enter("", kR2);
  EXPECT_EQ(M().FmsScratchpad, "BTG");
}

TEST_F(RoutePageTest, SeveralCandidatesGoToSelectWaypoint) {
  EnterEnds();
  ShowSubPage(2);
  Enter("SEA", kR1);
  Enter("ELN", kR2);
  EXPECT_GE(navdb::entry_state.WaypointCandidateCount, 2);
  EXPECT_EQ(fms_state.FmsPage, kPageSelectWaypoint);
  EXPECT_EQ(fms_state.FmsSelectInsertRow, 2);
  EXPECT_EQ(fms_state.FmsSelectReturnPage, kPageRoute);
  EXPECT_TRUE(M().FmsScratchpad.empty());
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "KPDX"}));
}

TEST_F(RoutePageTest, DeleteOnAViaRowGoesDirect) {
  EnterEnds();
  ShowSubPage(2);
  Enter("SEA", kR1);
  Enter("V23", kL2);
  Enter("OLM", kR2);
  PressLineKey(kR6);  // ACTIVATE, EXEC: the flown route is edited
  DrawFrame();
  PressExec();
  ASSERT_EQ(F().RouteState, 3);
  M().PanelMessage = "DELETE";
  PressLineKey(kL2);
  DrawFrame();
  EXPECT_EQ(M().PanelMessage, "");
  EXPECT_EQ(Rows(), (Strings{"DIRECT SEA", "DIRECT ALDER", "DIRECT NISQU", "DIRECT OLM"}));
  EXPECT_EQ(F().RouteState, 4);
  M().PanelMessage = "DELETE";
  PressLineKey(kL1);  // already direct
  DrawFrame();
  EXPECT_EQ(M().PanelMessage, "INVALID DELETE");
}

TEST_F(RoutePageTest, ActivateExecuteModifyAndErase) {
  EnterEnds();
  PressLineKey(kR6);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPagePerfInit);  // state 0: no prompt, R6 still leads on
  fms_state.FmsPage = kPageRoute;
  ShowSubPage(2);
  Enter("OLM", kR1);
  EXPECT_EQ(F().RouteState, 1);
  PressLineKey(kR6);
  DrawFrame();
  EXPECT_EQ(F().RouteState, 2);
  EXPECT_EQ(fms_state.FmsPage, kPageRoute);
  PressExec();
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(Idents(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex), (Strings{"KSEA", "OLM", "KPDX"}));
  PressRte();
  Frame act = DrawFrame();
  act.ExpectText("ACT", 8, 0);
  EXPECT_FALSE(act.Find("< ERASE"));
  ShowSubPage(2);
  Enter("BTG", kR2);
  EXPECT_EQ(F().RouteState, 4);
  Frame mod = DrawFrame();
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(mod.rec.FindText("MOD", &t));
  EXPECT_EQ(t.color, kBlack);
  mod.ExpectText("< ERASE", 0, 198);
  mod.ExpectText("PERF INIT >", 160, 202);
  PressLineKey(kL6);
  DrawFrame();
  EXPECT_EQ(F().RouteState, 3);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "OLM", "KPDX"}));
}

TEST_F(RoutePageTest, ANewDestinationOnTheActiveRouteDropsTheOldArrival) {
  flightplan::ScanFlightPlanFolder();
  ShowSubPage(1);
  Enter("KSEA-KPDX", kL2);
  PressLineKey(kR6);
  DrawFrame();
  PressExec();
  ASSERT_EQ(F().RouteState, 3);
  M().DestinationAirportIdent = "KPDX";
  PressRte();
  Enter("KBFI", kR1);
  EXPECT_EQ(PendingIdents(),
            (Strings{"KSEA", "FOURT", "PARKK", "CHINS", "OLM", "TOLLE", "COUGA", "BTG", "KBFI"}));
  EXPECT_EQ(F().RouteState, 4);
  EXPECT_EQ(M().PendingDestinationIdent, "KBFI");
  Frame f = DrawFrame();
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(f.rec.FindText("KBFI", &t));
  EXPECT_EQ(t.color, kBlack);
  EXPECT_NEAR(t.x, 210, 0.01);
}

TEST_F(RoutePageTest, SubPageCountFollowsTheRows) {
  struct Case {
    int rows, count;
  };
  for (Case c : {Case{0, 2}, Case{4, 2}, Case{5, 3}, Case{9, 3}, Case{10, 4}}) {
    F().RouteViaToCount = c.rows;
    M().FmsSubPageTable.RteSubPage = 9;  // beyond: the last is shown
    DrawFrame();
    EXPECT_EQ(M().FmsSubPageTable.RteSubPageCount, c.count) << c.rows;
    EXPECT_EQ(M().FmsSubPageTable.RteSubPage, c.count) << c.rows;
  }
}

TEST_F(RoutePageTest, MarkersAndDiscontinuitiesOnTheRows) {
  // The longest via a route holds stays clear of its TO.
  const model::RouteViaToEntry rows[] = {{"SEA", "DIRECT"}, {"DISCO", ""},  {"OLM", "ABCDEFGHIJ"},
                                         {"THEN", "V23"},   {"BTG", "V23"}, {"JUNK", "JUNK"}};
  for (int r = 1; r <= 6; ++r) F().RouteViaToList[r] = rows[r - 1];
  F().RouteViaToCount = 5;
  ShowSubPage(2);
  Frame f = DrawFrame();
  f.ExpectText("SEA", 190, 36);
  f.ExpectText("THEN", 100, 58, 12);
  f.ExpectText("- -   R O U T E    D I S C O N T I N U I T Y  -", 0, 91, 12);
  f.ExpectText("OLM", 190, 102);
  f.ExpectText("V23", 0, 135);
  f.ExpectText("BTG", 190, 168);
  EXPECT_EQ(f.rec.CountText("THEN"), 2);
  EXPECT_EQ(f.rec.CountText("- -   R O U T E    D I S C O N T I N U I T Y  -"), 2);
  EXPECT_EQ(f.rec.Count(gfx::OpKind::Rectangle), 10);
  EXPECT_FALSE(f.Find("JUNK"));  // past the count
  EXPECT_FALSE(f.Find("- - - - -"));  // five rows: no entry row here
  ExpectLegible(f);
  ShowSubPage(3);
  Frame next = DrawFrame();
  next.ExpectText("- - - - -", 210, 36);
  EXPECT_FALSE(next.Find("JUNK"));
}

TEST_F(RoutePageTest, RouteEndsInEveryRouteState) {
  EnterEnds();
  M().RouteDepartureRunway = "16L";
  M().PendingDepartureRunway = "34R";
  for (int state = 0; state <= 4; ++state) {
    SCOPED_TRACE(state);
    F().RouteState = state;
    Frame f = DrawFrame(284, 233);
    f.ExpectText("RTE", 63, 0);
    f.ExpectText(" 1/ 2", 220, 0, 12);
    f.ExpectText("O R I G I N", 12, 22, 12);
    f.ExpectText("D E S T", 220, 22, 12);
    f.ExpectText("C O   R O U T E", 12, 55, 12);
    f.ExpectText("- - - - - -", 0, 66);
    f.ExpectText("- - - - - - - - - - - - - - - - - - - - - - - -", 2, 132);
    EXPECT_EQ(f.Find("ACT"), state == 3);
    EXPECT_EQ(f.Find("MOD"), state == 4);
    EXPECT_EQ(f.Find("< ERASE"), state == 4);
    EXPECT_EQ(f.Find("ACTIVATE >"), state == 1);
    EXPECT_EQ(f.Find("PERF INIT >"), state >= 2);
    gfx::Recorder::TextItem origin, runway;
    ASSERT_TRUE(f.rec.FindText(state == 4 ? "KSEA" : " KSEA", &origin));
    EXPECT_EQ(origin.color, state == 4 ? kBlack : kGreen);
    ASSERT_TRUE(f.rec.FindText(state == 4 ? "34R" : "16L", &runway));
    EXPECT_EQ(runway.color, state == 4 ? kBlack : kGreen);
    f.ExpectText(" KPDX", 210, 33);  // no new destination pending
  }
}

// The copy the RTE key took may since have fallen behind the flown route:
// the navigator's direct-to put its working copy (the flown route with its
// end marker counted as a waypoint) into the pending route, and waypoints
// were passed, their times written. Every edit the page makes, and the
// SELECT WAYPOINT choice it hands over, starts from the flown route as it
// now is: EXEC flies it with the edit and keeps the times.
TEST_F(RoutePageTest, AnEditOfTheFlownRouteStartsFromItAsItNowIs) {
  struct Case {
    const char* what;
    int sub_page, key;
    const char* typed;  // "DELETE": the DELETE key
    Strings after;
  };
  const Strings flown = {"KSEA", "SEA", "ALDER", "NISQU", "OLM", "BTG", "KPDX"};
  const Case cases[] = {
      {"TO on the entry row", 2, kR4, "PAE", {"KSEA", "SEA", "ALDER", "NISQU", "OLM", "BTG", "PAE", "KPDX"}},
      {"TO of a later waypoint", 2, kR2, "BTG", {"KSEA", "SEA", "BTG", "KPDX"}},
      {"TO chosen on SELECT WAYPOINT", 2, kR4, "ELN", {"KSEA", "SEA", "ALDER", "NISQU", "OLM", "BTG", "ELN", "KPDX"}},
      {"airway deleted", 2, kL2, "DELETE", flown},
      {"runway", 1, kL3, "34R", flown},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    EnterEnds();
    Enter("16C", kL3);
    ShowSubPage(2);
    Enter("SEA", kR1);
    Enter("V23", kL2);
    Enter("OLM", kR2);
    Enter("BTG", kR3);
    PressLineKey(kR6);
    DrawFrame();
    PressExec();
    ASSERT_EQ(Idents(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex), flown);
    F().ActiveWaypointIndex = 1;
    PressRte();
    ShowSubPage(c.sub_page);
    DrawFrame();
    gnsxls::gnsxls_state.GnsXlsPage = gnsxls::kPageFlightPlan;
    gnsxls::PressDirect();
    ASSERT_EQ(F().PendingFlightPlanLastIndex, 7);
    auto pass = [](const char* time) {
      F().ActiveFlightPlan[F().ActiveWaypointIndex++].time_over_text = time;
    };
    pass("12:34");
    if (std::string(c.typed) == "DELETE") {
      M().PanelMessage = "DELETE";
      PressLineKey(c.key);
      DrawFrame();
    } else {
      Enter(c.typed, c.key);
    }
    if (fms_state.FmsPage == kPageSelectWaypoint) {
      pass("12:40");
      PressLineKey(kL1);
      DrawFrame();
    }
    EXPECT_EQ(M().PanelMessage, "");
    ASSERT_EQ(F().RouteState, 4);
    PressExec();
    EXPECT_EQ(Idents(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex), c.after);
    for (int i = 1; i < F().ActiveWaypointIndex; ++i) EXPECT_FALSE(F().ActiveFlightPlan[i].time_over_text.empty()) << i;
  }
}

TEST_F(RoutePageTest, TheRteKeyCopiesTheExecutedRouteFirst) {
  EnterEnds();
  ShowSubPage(2);
  Enter("OLM", kR1);
  F().RouteState = 2;
  PressExec();
  F().PendingFlightPlan[1].ident = "EDITED";
  PressRte();
  DrawFrame();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "OLM", "KPDX"}));
  EXPECT_EQ(Rows(), (Strings{"DIRECT OLM"}));
  EXPECT_EQ(fms_state.FmsRteKey, 0);
}

}  // namespace
}  // namespace ovi::fms::test
