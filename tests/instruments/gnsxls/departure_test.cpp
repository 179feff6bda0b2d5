// DEPARTURE (page 10) and the ENT steps that drive it: the page's rows,
// lists on first and later pages, highlight and markers, the list-key
// cycles; the openings from page 1 at each missing item, the airport typed
// and confirmed, each item accepted first with its fill-in, and the choice
// confirmed into either route.
#include <memory>
#include <string>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::ActiveIdents;
using flightplan::test::MakeActive;
using flightplan::test::MakePending;
using flightplan::test::PendingIdents;

model::State& M() { return model::model_state; }
model::AirportProcedureSet& Origin() { return navdb::procedure_state.AirportProcedureSets[1]; }

// Seattle's SIDs of the user's file, read before the sample's SUMMA2
// (transitions ELN, YKM), HAROB6 (BLI, BVS) and ELMAA3 (ELMAA, HQM): ONE
// has one leg on a transition (ELN, which SUMMA2 has too); TWO two legs on
// BLI; UNIQ the transition QQQ no other SID has, and only runway 34R.
constexpr const char* kUserSids =
    "A KSEA\n"
    "P ONE 16L,16C\n"
    "L - FOURT - 3000 47.3500 -122.3060\n"
    "L ELN ELN - - 47.0245 -120.4535\n"
    "P TWO\n"
    "L - FOURT - 3000 47.3500 -122.3060\n"
    "L BLI SAMMI - - 48.6891 -122.5039\n"
    "L BLI BLI - - 48.9454 -122.5809\n"
    "P UNIQ 34R\n"
    "L - ALKIA - 3000 47.5968 -122.2990\n"
    "L QQQ HQM - - 46.9473 -124.1496\n";

class DepartureTest : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    folder_ = std::make_unique<navdb::test::ScratchFolder>(navdb::test::ScratchFolder::Navdata::kSampleCopy);
    folder_->Write("sids_user.txt", kUserSids);
    navdb::LoadNavDatabase();
  }
  // DEPARTURE at Seattle with nothing chosen yet.
  static void AtSeattle() {
    ASSERT_EQ(navdb::LoadAirportProcedures("KSEA", 1), 1);
    M().RteOriginIdent = "KSEA";
    S().GnsXlsPage = kPageDeparture;
  }
  // Every piece of state back to its start, the database loaded again.
  void Fresh() { SetUp(); }
  static void Typed(const std::string& text) { S().NavigatorScratchpad = text + "     "; }
  std::unique_ptr<navdb::test::ScratchFolder> folder_;
};

// n runways "R1".."Rn" on the origin's list, the list open.
void Runways(int n) {
  for (int i = 1; i <= n; ++i) Origin().DepartureRunwayNameList[i].name = "R" + std::to_string(i);
  Origin().DepartureRunwayListCount = n;
  SetLineState(6, 2);
}

TEST_F(DepartureTest, NoAirportPromptsAndSaysWhenNotFound) {
  S().GnsXlsPage = kPageDeparture;
  Frame f = DrawFrame();
  f.Expect("DEPARTURE", 32, 0, kWhite);
  f.Expect("------", 230, 0, kYellow);
  f.Expect("1/1", 360, 0, kWhite);
  f.Expect("RUNWAY", 53, 40, kGreen);
  EXPECT_EQ(f.TextsAt(292), (Strings{"------", "------", "------"}));  // no "RW" before the none
  f.Expect("ENTER AIRPORT ID", 53, 360, kWhite);
  EXPECT_FALSE(f.Shows("AIRPORT NOT FOUND"));
  EXPECT_EQ(f.TextsAt(460), (Strings{">"}));  // key 6 only: no airport, no key 7
  // Key 6 opens the entry with the airport text; an unknown ident typed is
  // not found and nothing else changes.
  f = Key(6);
  EXPECT_EQ(LineStates()[5], 1);
  EXPECT_EQ(S().GnsXlsEntryActive, 1);
  EXPECT_EQ(S().ScratchpadClearPending, 1);
  Typed("XXXX");
  Ent();
  EXPECT_EQ(S().GnsAirportNotFound, 1);
  EXPECT_EQ(S().GnsXlsPage, kPageDeparture);
  EXPECT_EQ(M().RteOriginIdent, "------");
  f = DrawFrame();
  f.Expect("AIRPORT NOT FOUND", 53, 340, kYellow);
  // The entry stands black on a block exactly as long as the typed text
  // (the entry line's padding included, as typed).
  S().NavigatorScratchpad = "KSE";
  f = DrawFrame();
  f.Expect("KSE", 230, 0, kBlack);
  EXPECT_EQ(f.Blocks(), (std::vector<Frame::Block>{{232, 0, 3}}));
  S().NavigatorScratchpad.clear();
  EXPECT_TRUE(DrawFrame().Blocks().empty());
  // Key 6 again without an airport closes the entry.
  Key(6);
  EXPECT_EQ(LineStates()[5], 0);
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
}

TEST_F(DepartureTest, AirportFoundIsConfirmedOnDatabasePageThenListsEverySid) {
  S().GnsXlsPage = kPageDeparture;
  Key(6);
  Typed("KSEA");
  Ent();
  EXPECT_EQ(S().GnsXlsPage, kPageDatabaseWaypoint);
  EXPECT_EQ(S().GnsXlsReturnPage, kPageDeparture);
  EXPECT_EQ(M().RteOriginIdent, "KSEA");
  EXPECT_EQ(S().GnsAirportNotFound, 0);
  EXPECT_TRUE(DrawFrame().Shows("KSEA"));
  Ent();
  EXPECT_EQ(S().GnsXlsPage, kPageDeparture);
  EXPECT_EQ(LineStates(), (std::vector<int>{0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(S().GnsActiveFieldCode, 1);
  EXPECT_EQ(Origin().SidNameListCount, 6);  // ONE TWO UNIQ SUMMA2 HAROB6 ELMAA3
  Frame f = DrawFrame();
  f.Expect("SID", 53, 80, kYellow);
  f.Expect("ONE   ?", 40, 160, kBlack);  // padded to six, then "?"
  f.Expect("TWO", 40, 200, kGreen);      // as stored
  f.Expect("ELMAA3", 40, 360, kGreen);
  EXPECT_EQ(S().NavigatorScratchpad, "ONE");
  EXPECT_EQ(navdb::procedure_state.SelectedSidIndex, 1);
  EXPECT_EQ(f.TextsAt(0), Strings{});  // the SID list sets no list markers
}

TEST_F(DepartureTest, RunwayListPagesOfTwelveInTwoColumns) {
  AtSeattle();
  Runways(13);
  Frame f = DrawFrame();
  f.Expect("1/2", 360, 0, kWhite);
  f.Expect("RUNWAY", 53, 40, kYellow);
  f.Expect("RWR1 ", 30, 160, kGreen);
  f.Expect("RWR6 ", 30, 360, kGreen);
  f.Expect("RWR7 ", 292, 160, kGreen);
  f.Expect("RWR12", 292, 360, kGreen);
  EXPECT_FALSE(f.Shows("RWR13"));
  PressNextPage();
  f = Key(3);  // the 13th alone, first row, highlighted by key 3
  f.Expect("2/2", 360, 0, kWhite);
  f.Expect("RWR13?", 30, 160, kBlack);
  EXPECT_EQ(f.Blocks(), (std::vector<Frame::Block>{{30, 160, 6}}));
  EXPECT_EQ(S().NavigatorScratchpad, "R13");  // without "RW" or "?"
  // Key 4 on page 2 names entry 15, which the list has not: no highlight,
  // the entry line keeps what it held.
  f = Key(4);
  EXPECT_EQ(S().GnsActiveFieldCode, 3);
  EXPECT_TRUE(f.Blocks().empty());
  EXPECT_EQ(S().NavigatorScratchpad, "R13");
  // An empty list: "1/1", no rows.
  Runways(0);
  S().GnsDeparturePage = 1;
  f = DrawFrame();
  f.Expect("1/1", 360, 0, kWhite);
  EXPECT_TRUE(f.TextsAt(30).empty());
}

TEST_F(DepartureTest, ListKeysCycleTheirTwoRows) {
  AtSeattle();
  struct Case {
    int key, upper, lower;
    std::vector<int> others;  // lines it clears
  };
  const Case cases[] = {{3, 1, 2, {1, 2, 4, 5}}, {4, 3, 4, {1, 2, 3, 5}}, {5, 5, 6, {1, 2, 3, 4}},
                        {8, 7, 8, {1, 2, 3, 4, 5}}, {9, 9, 10, {1, 2, 3, 4, 5}}, {10, 11, 12, {1, 2, 3, 4, 5}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    for (int l : c.others) SetLineState(l, 1);
    Key(c.key);
    EXPECT_EQ(LineStates()[c.key - 1], 1);
    EXPECT_EQ(S().GnsActiveFieldCode, c.upper);
    for (int l : c.others) EXPECT_EQ(LineStates()[l - 1], 0);
    Key(c.key);
    EXPECT_EQ(LineStates()[c.key - 1], 2);
    EXPECT_EQ(S().GnsActiveFieldCode, c.lower);
    Key(c.key);
    EXPECT_EQ(LineStates()[c.key - 1], 0);
    EXPECT_EQ(S().GnsActiveFieldCode, 0);
  }
  // Keys 1 and 2 change nothing.
  SetLineState(7, 1);
  Key(1);
  Key(2);
  EXPECT_EQ(LineStates(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
}

TEST_F(DepartureTest, PreviewSelectAndEraseToggle) {
  AtSeattle();
  M().SelectedDepartureRunway = "16L";
  M().GnsDepartureSelectionText = "SUMMA2";
  M().RouteSidTransition = "YKM";
  navdb::SelectSidEntry();  // FOURT RAVEN SUMMA TIETN YKM
  S().GnsDepartureSelection = 1;
  Frame f = DrawFrame();
  f.Expect("WAYPOINTS OF SID:", 53, 160, kWhite);
  f.Expect("FOURT", 30, 200, kGreen);
  f.Expect("TIETN", 30, 320, kGreen);
  EXPECT_EQ(f.TextsAt(292), (Strings{"RW16L", "SUMMA2", "YKM", "YKM"}));  // the rows, then the preview
  f.Expect("RW16L", 292, 40, kGreen);
  f.Expect("SELECT", 30, 360, kWhite);
  f.Expect("ERASE", 320, 360, kWhite);
  f.Expect("1/1", 360, 0, kWhite);
  // Key 5 toggles "SELECT?" and never reaches state 2; key 10 likewise.
  f = Key(5);
  f.Expect("SELECT?", 30, 360, kBlack);
  EXPECT_EQ(S().GnsActiveFieldCode, 5);
  f = Key(5);
  f.Expect("SELECT", 30, 360, kWhite);
  EXPECT_EQ(LineStates()[4], 0);
  EXPECT_EQ(S().GnsActiveFieldCode, 5);
  f = Key(10);
  f.Expect("ERASE?", 320, 360, kBlack);
  Key(10);
  EXPECT_EQ(LineStates()[9], 0);
  // Nine legs make two preview pages of eight.
  navdb::procedure_state.SidLegCount = 9;
  EXPECT_TRUE(DrawFrame().Shows("1/2"));
}

TEST_F(DepartureTest, TransitionMarkersFollowTheRowsDrawn) {
  AtSeattle();
  struct Case {
    int rows;
    Strings left, right;
  };
  const Case cases[] = {{0, {}, {">", ">"}},
                        {1, {">"}, {">", ">"}},
                        {2, {">"}, {">", ">"}},
                        {5, {">", ">", ">"}, {">", ">"}},
                        {7, {">", ">", ">"}, {">", ">", "<"}},
                        {12, {">", ">", ">"}, {">", ">", "<", "<", "<"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    for (int i = 1; i <= c.rows; ++i) Origin().SidTransitionList[i].name = "T" + std::to_string(i);
    Origin().SidTransitionListCount = c.rows;
    SetLineState(7, 2);
    Frame f = DrawFrame();
    EXPECT_EQ(f.TextsAt(0), c.left);
    EXPECT_EQ(f.TextsAt(460), c.right);
  }
  Frame f = DrawFrame();
  f.Expect("T1   ", 40, 160, kGreen);  // padded to five
}

TEST_F(DepartureTest, KeySevenTogglesSidAndTransitionLists) {
  S().GnsXlsPage = kPageDeparture;
  S().GnsDeparturePage = 3;
  SetLineState(6, 2);
  Key(7);  // no airport: only the clears and the page
  EXPECT_EQ(LineStates(), (std::vector<int>(10, 0)));
  EXPECT_EQ(S().GnsDeparturePage, 1);
  AtSeattle();
  M().SelectedDepartureRunway = "34R";
  M().GnsDepartureSelectionText = "UNIQ";
  Key(7);
  EXPECT_EQ(LineStates()[6], 1);
  EXPECT_EQ(M().GnsDepartureSelectionText, "------");
  EXPECT_EQ(Origin().SidNameListCount, 4);  // 34R: TWO UNIQ SUMMA2 HAROB6
  M().GnsDepartureSelectionText = "SUMMA2";
  M().RouteSidTransition = "ELN";
  Frame f = Key(7);
  EXPECT_EQ(LineStates()[6], 2);
  EXPECT_EQ(M().RouteSidTransition, "------");
  EXPECT_EQ(Origin().SidTransitionListCount, 2);  // ELN YKM
  f.Expect("TRANSITION", 53, 120, kYellow);
  // The field code of the SID list's opening stays: the first row is chosen.
  EXPECT_EQ(f.TextsAt(40), (Strings{"ELN  ?", "YKM  "}));
}

// ---- ENT --------------------------------------------------------------------------

TEST_F(DepartureTest, EachItemFirstFillsInWhatIsUnique) {
  struct Case {
    const char* name;
    int line, state;  // the line open
    const char* typed;
    const char *sid, *transition, *runway;     // afterwards
    std::vector<int> lines;                    // afterwards
  };
  const Case cases[] = {
      // A SID with one leg on a transition takes it; then the runway list.
      {"sid one leg", 7, 1, "ONE", "ONE", "ELN", "------", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}},
      // Two legs on a transition: the pilot chooses it.
      {"sid two legs", 7, 1, "TWO", "TWO", "------", "------", {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}},
      // No leg on a transition at all (HAROB6 has BLI and BVS: two).
      {"sid many", 7, 1, "HAROB6", "HAROB6", "------", "------", {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}},
      // A transition of one SID only fills the SID in; then the runway list.
      {"transition unique", 7, 2, "QQQ", "UNIQ", "QQQ", "------", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}},
      // ELN of ONE and SUMMA2: the SID list, its first row on the cursor.
      {"transition shared", 7, 2, "ELN", "------", "ELN", "------", {0, 0, 1, 0, 0, 0, 1, 0, 0, 0}},
      // A transition of none: the SID list without a cursor row.
      {"transition none", 7, 2, "ZZZ", "------", "ZZZ", "------", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
      // The runway first: the SID list.
      {"runway", 6, 2, "16L", "------", "------", "16L", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    AtSeattle();
    M().GnsDepartureSelectionText = M().RouteSidTransition = M().SelectedDepartureRunway = "------";
    SetLineState(c.line, c.state);
    Typed(c.typed);
    Ent();
    EXPECT_EQ(M().GnsDepartureSelectionText, c.sid);
    EXPECT_EQ(M().RouteSidTransition, c.transition);
    EXPECT_EQ(M().SelectedDepartureRunway, c.runway);
    EXPECT_EQ(LineStates(), c.lines);
    EXPECT_EQ(S().GnsDepartureSelection, 0);
  }
}

TEST_F(DepartureTest, LastItemAsksToConfirm) {
  AtSeattle();
  M().GnsDepartureSelectionText = "ONE";
  M().RouteSidTransition = "ELN";
  SetLineState(6, 2);
  Typed("16C");
  Ent();
  EXPECT_EQ(S().GnsDepartureSelection, 1);
  EXPECT_EQ(LineStates()[4], 1);
  EXPECT_EQ(navdb::procedure_state.SidLegCount, 2);  // FOURT ELN
  Frame f = DrawFrame();
  f.Expect("SELECT?", 30, 360, kBlack);
  EXPECT_EQ(f.TextsAt(30), (Strings{"FOURT", "ELN", "SELECT?"}));
}

TEST_F(DepartureTest, OpeningsFromPageOneAtTheFirstMissingItem) {
  struct Case {
    const char* name;
    bool active;
    const char *origin, *sid, *transition, *runway;
    std::vector<int> lines;
    int posted, selection;
  };
  const Case cases[] = {
      {"no origin", true, "------", "ONE", "ELN", "16L", {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, 0, 0},
      {"no sid", true, "KSEA", "------", "ELN", "16L", {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, 7, 0},
      {"no transition", false, "KSEA", "ONE", "------", "16L", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, 7, 0},
      {"no runway", false, "KSEA", "ONE", "ELN", "------", {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, 6, 0},
      {"complete", true, "KSEA", "ONE", "ELN", "16L", std::vector<int>(10, 0), 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    S().GnsXlsPage = kPageFlightPlan;
    S().GnsXlsFplView = c.active ? kViewActive : kViewStored;
    // The origin of the view's store; the other view's holds another.
    M().OriginAirportIdent = M().PendingOriginIdent = "KPDX";
    (c.active ? M().OriginAirportIdent : M().PendingOriginIdent) = c.origin;
    // The stores of the other view hold another choice, never read.
    M().RouteSid = M().PlanSelectionText2 = "X";
    M().SelectedSidTransition = M().GnsSelectedSidTransition = "X";
    M().RouteDepartureRunway = M().PendingDepartureRunway = "X";
    (c.active ? M().RouteSid : M().PlanSelectionText2) = c.sid;
    (c.active ? M().SelectedSidTransition : M().GnsSelectedSidTransition) = c.transition;
    (c.active ? M().RouteDepartureRunway : M().PendingDepartureRunway) = c.runway;
    S().GnsAirportNotFound = 1;
    SetLineState(4, 2);
    Ent();
    EXPECT_EQ(S().GnsXlsPage, kPageDeparture);
    EXPECT_EQ(S().GnsAirportNotFound, 0);
    EXPECT_EQ(M().RteOriginIdent, c.origin);
    EXPECT_EQ(S().NavigatorScratchpad, c.origin);
    EXPECT_EQ(M().GnsDepartureSelectionText, c.sid);
    EXPECT_EQ(M().RouteSidTransition, c.transition);
    EXPECT_EQ(M().SelectedDepartureRunway, c.runway);
    EXPECT_EQ(LineStates(), c.lines);
    EXPECT_EQ(S().GnsXlsLineSelectKey, c.posted);
    EXPECT_EQ(S().GnsDepartureSelection, c.selection);
    EXPECT_EQ(S().GnsDeparturePage, 1);
  }
}

TEST_F(DepartureTest, PostedKeyOpensTheListOnTheNextFrame) {
  ASSERT_EQ(navdb::LoadAirportProcedures("KPDX", 1), 1);
  S().GnsXlsPage = kPageFlightPlan;
  S().GnsXlsFplView = kViewStored;
  M().PendingOriginIdent = "KSEA";
  M().PlanSelectionText2 = "------";
  M().GnsSelectedSidTransition = "ELN";
  M().PendingDepartureRunway = "16L";
  SetLineState(4, 2);
  Ent();
  DrawFrame();  // the posted key becomes the line key
  Frame f = DrawFrame();
  // Line 7 was set to 2, so key 7 opened the SID list: on 16L with ELN.
  EXPECT_EQ(LineStates()[6], 1);
  EXPECT_EQ(Origin().AirportIdent, "KSEA");  // loaded for the origin shown
  EXPECT_EQ(Origin().SidNameListCount, 2);  // ONE SUMMA2
  f.Expect("ONE   ?", 40, 160, kBlack);
}

// The choice of ONE / ELN / 16C confirmed into route `view`, against the
// splice of the same choice made directly.
TEST_F(DepartureTest, ConfirmationSplicesIntoEitherRouteAndRecordsTheChoice) {
  for (const bool active : {true, false}) {
    SCOPED_TRACE(active ? "active" : "stored");
    const Strings route = {"KSEA", "OLM", "KPDX"};
    // Flying to OLM, or editing the stored route from its first leg.
    auto prepare = [&] {
      AtSeattle();
      active ? MakeActive(route) : MakePending(route);
      navdb::entry_state.PendingPlanOpen = active ? 0 : 1;  // the plan opened from the list
      flightplan::flightplan_state.ActiveWaypointIndex = 2;
      flightplan::flightplan_state.EditWaypointIndex = 1;
      M().GnsDepartureSelectionText = "ONE";
      M().RouteSidTransition = "ELN";
      M().SelectedDepartureRunway = "16C";
    };
    // Expected: the splice made directly.
    Fresh();
    prepare();
    navdb::SelectSidEntry();
    active ? flightplan::InsertSidIntoActivePlan() : flightplan::InsertSidIntoPendingPlan();
    const Strings expected = active ? ActiveIdents() : PendingIdents();
    EXPECT_EQ(expected.size(), route.size() + 2u);  // FOURT ELN behind the origin

    Fresh();
    prepare();
    S().GnsXlsFplView = active ? kViewActive : kViewStored;
    navdb::SelectSidEntry();
    S().GnsDepartureSelection = 1;
    SetLineState(5, 1);
    Ent();
    EXPECT_EQ(active ? ActiveIdents() : PendingIdents(), expected);
    EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
    EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
    EXPECT_EQ(S().GnsDeparturePage, 0);
    const Strings stores = active ? Strings{M().RouteSid, M().SelectedSidTransition, M().RouteDepartureRunway,
                                            M().OriginAirportIdent}
                                  : Strings{M().PlanSelectionText2, M().GnsSelectedSidTransition,
                                            M().PendingDepartureRunway, M().PendingOriginIdent};
    EXPECT_EQ(stores, (Strings{"ONE", "ELN", "16C", "KSEA"}));
    // The flown route restarts at waypoint 1; the stored one leaves it be.
    EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, active ? 1 : 2);
    if (active) {
      EXPECT_DOUBLE_EQ(guidance::guidance_state.ActiveWaypointLat, 47.35);
      EXPECT_DOUBLE_EQ(guidance::guidance_state.ActiveWaypointLon, -122.306);
    }
  }
}

}  // namespace
}  // namespace ovi::gnsxls::test
