// The GNS-XLS keys: the page keys, previous and next per page, direct-to,
// HOLD, the CLR rules and the character keys.
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::F;
using flightplan::test::G;
using flightplan::test::MakeActive;
using flightplan::test::MakePending;
using KeypadTest = GnsTest;

struct Place {
  std::int32_t page, view, active_page, list_page;
  bool operator==(const Place&) const = default;
};
Place Now() { return {S().GnsXlsPage, S().GnsXlsFplView, S().GnsActivePlanPage, S().GnsPlanListPage}; }

// Two active pages and two list pages: A1 A2 L1 L2 A1; one of each: A1 L1 A1.
TEST_F(KeypadTest, FplWalksTheActivePagesThenTheListPages) {
  for (int pages : {1, 2}) {
    S() = State{};
    S().GnsXlsFplView = kViewActive;
    S().GnsActivePlanPageCount = pages;
    F().GnsFplListPageCount = pages;
    std::vector<Place> seen;
    for (int i = 0; i < 2 * pages + 1; ++i) {
      seen.push_back(Now());
      PressFpl();
    }
    std::vector<Place> expected = {{1, kViewActive, 1, 1}};
    if (pages == 2) expected.push_back({1, kViewActive, 2, 1});
    expected.push_back({1, kViewStored, 1, 1});
    if (pages == 2) expected.push_back({1, kViewStored, 1, 2});
    expected.push_back({1, kViewActive, 1, 0});
    EXPECT_EQ(seen, expected) << pages;
  }
}

TEST_F(KeypadTest, FplFromAnotherPageOrAnOpenPlanAndWhatItResets) {
  S().GnsXlsPage = kPageNavigation;
  S().GnsXlsFplView = kViewStored;
  S().GnsXlsLineState[3] = 2;
  S().GnsFplDataColumn = kColumnDis;
  S().GnsFplDataColumnChoice = kColumnAlt;
  PressFpl();
  EXPECT_EQ(Now(), (Place{1, kViewActive, 1, 1}));
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  EXPECT_EQ(S().GnsFplDataColumnChoice, kColumnDis);

  // A stored plan open: back to the list, page 1.
  S().GnsXlsFplView = kViewStored;
  S().GnsPlanListPage = 3;
  navdb::entry_state.PendingPlanOpen = 1;
  F().GnsFplListPageCount = 4;
  PressFpl();
  EXPECT_EQ(Now(), (Place{1, kViewStored, 1, 1}));
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 0);
}

// NAV, VNAV and PLAN open their page at sub-page 1 and step it on their own
// page; none touches the line states or the entry.
TEST_F(KeypadTest, PageKeysStepTheirOwnPageAndLeaveTheLines) {
  struct Case {
    void (*press)();
    std::int32_t page;
    std::int32_t State::*sub_page;
    int count;
  } cases[] = {{PressNav, kPageNavigation, &State::GnsNavSubPage, 4},
               {PressVnav, kPageVnav, &State::GnsVnavSubPage, 3},
               {PressPlan, kPagePlan, &State::GnsPlanSubPage, 6}};
  for (const Case& c : cases) {
    S() = State{};
    S().GnsVnavPageCount = 3;
    S().GnsXlsLineState[6] = 1;
    S().GnsXlsEntryActive = 1;
    S().GnsXlsFplView = kViewStored;
    c.press();
    EXPECT_EQ(S().GnsXlsPage, c.page);
    std::vector<int> subs;
    for (int i = 0; i < c.count + 1; ++i) {
      subs.push_back(S().*c.sub_page);
      c.press();
    }
    EXPECT_EQ(subs.front(), 1);
    EXPECT_EQ(subs.back(), 1) << c.page;  // wrapped after the count
    EXPECT_EQ(subs[static_cast<std::size_t>(c.count - 1)], c.count);
    EXPECT_EQ(LineStates()[5], 1);
    EXPECT_EQ(S().GnsXlsEntryActive, 1);
  }
  // VNAV with an entry open on the active view: the blank page 17.
  S().GnsXlsPage = kPageFlightPlan;
  S().GnsXlsFplView = kViewActive;
  PressVnav();
  EXPECT_EQ(S().GnsXlsPage, kPageVnavBlank);
}

TEST_F(KeypadTest, PreviousAndNextStepEachPagesOwnIndex) {
  struct Case {
    std::int32_t page;
    std::int32_t State::*index;
    int count;
  } cases[] = {{kPageNavigation, &State::GnsNavSubPage, 4}, {kPagePlan, &State::GnsPlanSubPage, 6},
               {kPageVnav, &State::GnsVnavSubPage, 2},      {kPageDirect, &State::GnsDirectPage, 3},
               {kPageDeparture, &State::GnsDeparturePage, 2}, {kPageArrival, &State::GnsArrivalPage, 5}};
  for (const Case& c : cases) {
    S() = State{};
    S().GnsXlsPage = c.page;
    S().GnsVnavPageCount = 2;
    S().GnsDirectPageCount = 3;
    S().GnsDeparturePageCount = 2;
    S().GnsArrivalPageCount = 5;
    S().GnsXlsLineState[7] = 1;
    PressPrevPage();
    EXPECT_EQ(S().*c.index, c.count) << c.page;  // 1 back to the count
    PressNextPage();
    EXPECT_EQ(S().*c.index, 1) << c.page;  // the count on to 1
    PressNextPage();
    EXPECT_EQ(S().*c.index, 2) << c.page;
    EXPECT_EQ(LineStates()[6], 1) << c.page;
  }
  // A page with one sub-page stays on it; a count of 0 counts as 1.
  S().GnsXlsPage = kPageDirect;
  S().GnsDirectPageCount = 0;
  PressNextPage();
  EXPECT_EQ(S().GnsDirectPage, 1);
}

TEST_F(KeypadTest, PreviousAndNextOnTheCandidateAndAirwayLists) {
  navdb::EntryState& e = navdb::entry_state;
  e.WaypointCandidateCount = 3;
  e.WaypointCandidateList[1].ident = "OLM";
  e.WaypointCandidateList[2].ident = "OLMPA";
  e.WaypointCandidateList[3].ident = "OLY";
  S().GnsXlsPage = kPageDatabaseWaypoint;
  PressPrevPage();
  EXPECT_EQ(S().SelectedCandidateIndex, 3);
  EXPECT_EQ(S().GnsDatabaseWaypointPage, 3);
  PressPrevPage();
  EXPECT_EQ(S().SelectedCandidateIndex, 2);
  EXPECT_EQ(S().GnsDatabaseWaypointPage, 2);

  S().GnsXlsPage = kPageOffsetWaypoint;
  PressNextPage();
  EXPECT_EQ(S().GnsOffsetCandidateIndex, 2);
  EXPECT_EQ(S().GnsOffsetCandidateIdent, "OLMPA");
  PressNextPage();
  PressNextPage();
  EXPECT_EQ(S().GnsOffsetCandidateIdent, "OLM");

  S().GnsXlsPage = kPageAirway;
  e.AirwayListPageCount = 2;
  S().GnsXlsLineState[8] = 1;
  PressPrevPage();
  EXPECT_EQ(e.AirwayListPage, 2);
  EXPECT_EQ(LineStates()[7], 0);  // the airway list resets the lines
}

TEST_F(KeypadTest, PreviousAndNextOnTheFlightPlanViews) {
  // Active view: lines reset, the entry closed, the page stepped.
  S().GnsXlsFplView = kViewActive;
  S().GnsActivePlanPageCount = 3;
  S().GnsXlsLineState[2] = 1;
  S().GnsXlsEntryActive = 1;
  PressPrevPage();
  EXPECT_EQ(S().GnsActivePlanPage, 3);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  EXPECT_EQ(S().GnsXlsEntryActive, 0);

  // List: NEXT resets and, wrapping to page 1, points the cursor at plan 1;
  // PREV does neither.
  S().GnsXlsFplView = kViewStored;
  F().GnsFplListPageCount = 2;
  F().SelectedFlightPlanIndex = 9;
  S().GnsXlsLineState[7] = 1;
  PressPrevPage();
  EXPECT_EQ(S().GnsPlanListPage, 2);
  EXPECT_EQ(LineStates()[6], 1);
  EXPECT_EQ(F().SelectedFlightPlanIndex, 9);
  PressNextPage();
  EXPECT_EQ(S().GnsPlanListPage, 1);
  EXPECT_EQ(LineStates()[6], 0);
  EXPECT_EQ(F().SelectedFlightPlanIndex, 1);

  // An open plan steps its own pages.
  navdb::entry_state.PendingPlanOpen = 1;
  S().GnsStoredPlanPageCount = 2;
  PressNextPage();
  EXPECT_EQ(S().GnsStoredPlanPage, 2);
  EXPECT_EQ(S().GnsPlanListPage, 1);
}

TEST_F(KeypadTest, DirectToWithoutAnActiveWaypointDoesNothing) {
  MakeActive({"A", "B", "C", "D"});
  F().ActiveWaypointIndex = model::kNoWaypoint;
  S().GnsXlsLineState[2] = 1;
  PressDirect();
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  EXPECT_EQ(LineStates()[1], 1);
  EXPECT_EQ(S().GnsXlsDirectPressed, 0);
  EXPECT_EQ(F().PendingFlightPlanLastIndex, -1);
}

// Route A B C D flying to C: the working copy is A B C D "******", counted
// to the marker, the target C in the entry line.
TEST_F(KeypadTest, DirectToMakesTheWorkingCopyOnce) {
  MakeActive({"A", "B", "C", "D"});
  F().ActiveWaypointIndex = 2;
  S().TurnDirectionText = "LEFT";
  S().GnsXlsLineState[9] = 2;
  PressDirect();
  EXPECT_EQ(flightplan::test::PendingIdents(), (Strings{"A", "B", "C", "D", "******"}));
  EXPECT_EQ(F().EditWaypointIndex, 2);
  EXPECT_EQ(S().NavigatorScratchpad, "C     ");
  EXPECT_EQ(S().GnsXlsEntryActive, 1);
  EXPECT_EQ(S().ScratchpadClearPending, 1);
  EXPECT_EQ(S().GnsXlsPage, kPageDirect);
  EXPECT_EQ(S().GnsDirectPage, 1);
  EXPECT_EQ(S().GnsWaypointEntryText, "NO");
  EXPECT_EQ(S().TurnDirectionText, "DEFAULT");
  EXPECT_EQ(S().GnsXlsDirectPressed, 1);
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));

  // On page 7 it only steps the page.
  S().GnsDirectPageCount = 2;
  F().PendingFlightPlan[1].ident = "EDITED";
  PressDirect();
  EXPECT_EQ(S().GnsDirectPage, 2);
  EXPECT_EQ(F().PendingFlightPlan[1].ident, "EDITED");
}

TEST_F(KeypadTest, DirectToWorkingCopyStaysInsideTheRoute) {
  // Origin alone: the marker in entry 0.
  MakeActive({"A"});
  F().ActiveWaypointIndex = 1;
  PressDirect();
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 0);
  EXPECT_EQ(F().PendingFlightPlan[0].ident, "******");
  EXPECT_EQ(S().NavigatorScratchpad, "******");

  // A full route: entries 0..200, no slot after them to touch.
  MakeActive(flightplan::test::LongRoute(200));
  F().ActiveWaypointIndex = 5;
  S().GnsXlsPage = kPageFlightPlan;
  PressDirect();
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 200);
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "KPDX");
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
  EXPECT_EQ(F().ActiveFlightPlan.refused(), 0);
}

// A waypoint north of its predecessor is flown to on true 000: magnetic
// 000 - 15 = 345 (not -15); south of it, true 180: 180 + 20 = 200.
TEST_F(KeypadTest, HoldAtTheSelectedWaypoint) {
  struct Case {
    double prev_lat, prev_lon, magvar, course;
  } cases[] = {{46.0, -122.0, 15.0, 345.0}, {48.0, -122.0, -20.0, 200.0}};
  for (const Case& c : cases) {
    ResetModuleState();
    MakeActive({"KSEA", "A", "B", "C", "KPDX"});
    F().ActiveFlightPlan[1].latitude = c.prev_lat;
    F().ActiveFlightPlan[1].longitude = c.prev_lon;
    F().ActiveFlightPlan[2].latitude = 47.0;
    F().ActiveFlightPlan[2].longitude = -122.0;
    F().ActiveFlightPlan[4].hold_number = 1;  // the hold it replaces
    G().MagneticVariation = c.magvar;
    model::model_state.HoldLegMins = 1.5;
    S().GnsXlsFplView = kViewActive;
    S().GnsXlsLineState[2] = 2;
    S().GnsSelectedWaypointIndex = 2;
    S().NavigatorScratchpad = "B     ";
    PressHold();
    const model::HoldingPattern& h = F().HoldTable[1];
    EXPECT_EQ(F().HoldCount, 1);
    EXPECT_EQ(h.active_index, 2);
    EXPECT_NEAR(h.inbound_course, c.course, 1e-6);
    EXPECT_EQ(h.corners[0].name, "Fix");
    EXPECT_DOUBLE_EQ(h.corners[0].latitude, 47.0);
    EXPECT_DOUBLE_EQ(h.leg_time, 1.5);
    EXPECT_EQ(h.time_based, 1);
    EXPECT_EQ(h.turn_side, 1);
    EXPECT_EQ(flightplan::test::HoldNumbers(F().ActiveFlightPlan, 4), (std::vector<unsigned>{0, 0, 1, 0, 0}));
    EXPECT_EQ(G().HoldState, 1);
    EXPECT_EQ(G().ActiveHoldIndex, 0);
    EXPECT_EQ(G().HoldSegmentCounter, 0u);
    EXPECT_EQ(S().GnsXlsPage, kPageHolding);
    EXPECT_EQ(S().NavigatorScratchpad, "");
  }
}

// Outside the active view, without a row chosen on lines 2 to 4, on the
// first row, or with an index that is not a waypoint after the origin, the
// key only opens the holding page.
TEST_F(KeypadTest, HoldWithoutASelectedWaypointOnlyOpensThePage) {
  struct Case {
    std::int32_t view;
    int line, state, index;
  } cases[] = {{kViewStored, 2, 1, 2}, {kViewActive, 0, 0, 2}, {kViewActive, 1, 1, 2}, {kViewActive, 4, 2, 2},
               {kViewActive, 2, 1, 0},  {kViewActive, 3, 1, 4},  {kViewActive, 3, 2, -1}, {kViewActive, 2, 1, 999}};
  for (const Case& c : cases) {
    ResetModuleState();
    MakeActive({"KSEA", "A", "B", "KPDX"});  // 4 = the end marker's row
    S().GnsXlsFplView = c.view;
    S().GnsXlsLineState[c.line] = c.state;
    S().GnsSelectedWaypointIndex = c.index;
    PressHold();
    EXPECT_EQ(F().HoldCount, 0) << c.line << " " << c.index;
    EXPECT_EQ(S().GnsXlsPage, kPageHolding);
  }
}

struct ClearCase {
  const char* what;
  std::int32_t page, return_page;
  int line, state;
  std::string entry;
  std::string entry_after;
};

// The entry-line rules of CLR, the first that matches.
TEST_F(KeypadTest, ClearCyclesChoicesOrDeletesACharacter) {
  const ClearCase cases[] = {
      {"turn side", kPageDatabaseWaypoint, kPageDirect, 10, 2, "DEFAULT", "LEFT"},
      {"turn side", kPageDatabaseWaypoint, kPageDirect, 10, 2, "LEFT", "RIGHT"},
      {"turn side", kPageDatabaseWaypoint, kPageDirect, 10, 2, "RIGHT ", "DEFAULT"},
      {"other return page", kPageDatabaseWaypoint, kPageFlightPlan, 10, 2, "LEFT", "LEFT"},
      {"flyover", kPageDatabaseWaypoint, kPageFlightPlan, 10, 1, "NO    ", "YES"},
      {"flyover", kPagePilotWaypoint, kPageFlightPlan, 10, 1, "YES", "NO"},
      {"flyover", kPageOffsetWaypoint, kPageFlightPlan, 10, 1, "X", "NO"},
      {"nothing chosen", kPageOffsetWaypoint, kPageFlightPlan, 0, 0, "ABC", "ABC"},
      {"nav page", kPageNavigation, kPageFlightPlan, 7, 1, "ALT?", "ETA?"},
      {"nav page", kPageNavigation, kPageFlightPlan, 7, 1, "ETA?", "ALT?"},
      {"approach from page 1", kPageApproach, kPageFlightPlan, 6, 1, "KPDX  ", "KPD   "},
      {"approach from elsewhere", kPageApproach, kPageArrival, 6, 1, "KPDX", "KPD   "},
      {"any page", kPagePlan, kPageFlightPlan, 7, 1, "5000  ", "500   "},
  };
  for (const ClearCase& c : cases) {
    ResetModuleState();
    S().GnsXlsPage = c.page;
    S().GnsXlsReturnPage = c.return_page;
    if (c.line > 0) S().GnsXlsLineState[c.line] = c.state;
    S().GnsXlsEntryActive = 1;
    S().NavigatorScratchpad = c.entry;
    PressClear();
    EXPECT_EQ(S().NavigatorScratchpad, c.entry_after) << c.what << " " << c.entry;
    EXPECT_EQ(S().GnsXlsClearPressed, 1);
  }
}

TEST_F(KeypadTest, ClearRulesOfThePageStates) {
  // Holding page: both choices toggle; nothing is deleted.
  S().GnsXlsPage = kPageHolding;
  S().GnsXlsLineState[8] = 1;
  S().GnsXlsLineState[10] = 1;
  S().GnsHoldTurnChoice = 2;
  S().GnsHoldExitModeChoice = 0;
  S().GnsXlsEntryActive = 1;
  S().NavigatorScratchpad = "7     ";
  PressClear();
  EXPECT_EQ(S().GnsHoldTurnChoice, 1);
  EXPECT_EQ(S().GnsHoldExitModeChoice, 1);
  EXPECT_EQ(S().NavigatorScratchpad, "7     ");

  // APCH opened from page 1 with nothing typed goes back there.
  S() = State{};
  S().GnsXlsPage = kPageApproach;
  S().GnsXlsReturnPage = kPageFlightPlan;
  PressClear();
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);

  // AIRWAY goes back to the page it came from, entry closed and emptied.
  S().GnsXlsPage = kPageAirway;
  S().GnsXlsReturnPage = kPageDirect;
  S().GnsXlsEntryActive = 1;
  S().NavigatorScratchpad = "#V23  ";
  PressClear();
  EXPECT_EQ(S().GnsXlsPage, kPageDirect);
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
  EXPECT_EQ(S().NavigatorScratchpad, "");

  // NAV page mode choice: 0 becomes MAN? with LNAV on, AUTO? without; then
  // it alternates.
  for (int lnav : {1, 0}) {
    S() = State{};
    S().GnsXlsPage = kPageNavigation;
    S().GnsXlsLineState[10] = 1;
    G().LnavEngaged = lnav;
    PressClear();
    EXPECT_EQ(S().GnsNavModeChoice, lnav == 1 ? 2 : 1);
    PressClear();
    EXPECT_EQ(S().GnsNavModeChoice, lnav == 1 ? 1 : 2);
  }
}

TEST_F(KeypadTest, ClearOnTheFlightPlanViews) {
  // Data column choice, entry closed: ETE DIS ALT, ALT back to ETE.
  S().GnsXlsFplView = kViewActive;
  S().GnsXlsLineState[10] = 1;
  S().GnsFplDataColumnChoice = kColumnAlt;
  PressClear();
  EXPECT_EQ(S().GnsFplDataColumnChoice, kColumnEte);

  // A waypoint chosen, nothing typed: "DELETE?" asked.
  MakeActive({"KSEA", "A", "KPDX"});
  S().GnsXlsLineState[10] = 0;
  S().GnsXlsEntryActive = 1;
  S().ScratchpadClearPending = 1;
  S().NavigatorScratchpad = "A     ";
  F().EditWaypointIndex = 1;
  PressClear();
  EXPECT_EQ(S().GnsDeleteRequested, 1);
  EXPECT_EQ(S().NavigatorScratchpad, "A     ");

  // Once typed, CLR deletes the last character; on the end marker's row
  // or with no row, CLR empties the untouched field as a key would.
  struct Case {
    int edit, clear_pending;
    const char* after;
  } cases[] = {{1, 0, "A     "}, {3, 1, "      "}, {999, 1, "      "}};
  for (const Case& c : cases) {
    S().GnsDeleteRequested = 0;
    S().ScratchpadClearPending = c.clear_pending;
    S().NavigatorScratchpad = "AB    ";
    F().EditWaypointIndex = c.edit;
    PressClear();
    EXPECT_EQ(S().GnsDeleteRequested, 0) << c.edit;
    EXPECT_EQ(S().NavigatorScratchpad, c.after) << c.edit;
  }

  // The stored view asks only while a plan is open.
  for (int open : {0, 1}) {
    S().GnsXlsFplView = kViewStored;
    MakePending({"KSEA", "B", "KPDX"});
    navdb::entry_state.PendingPlanOpen = open;
    S().GnsDeleteRequested = 0;
    S().ScratchpadClearPending = 1;
    S().NavigatorScratchpad = "B     ";
    F().EditWaypointIndex = 1;
    PressClear();
    EXPECT_EQ(S().GnsDeleteRequested, open);
    EXPECT_EQ(S().NavigatorScratchpad, open == 1 ? "B     " : "      ");
  }
}

TEST_F(KeypadTest, CharacterKeysTypeOnlyIntoAnOpenEntry) {
  S().NavigatorScratchpad = "ABC";
  TypeCharacter('D');
  EXPECT_EQ(S().NavigatorScratchpad, "ABC");

  S().GnsXlsEntryActive = 1;
  S().ScratchpadClearPending = 1;
  for (char c : std::string("K*1#PDXQ")) TypeCharacter(c);
  EXPECT_EQ(S().NavigatorScratchpad, "K*1#PD");  // six characters; the line was replaced
  S().GnsXlsPage = kPageSaveFlightPlan;
  for (char c : std::string("XQRSTU")) TypeCharacter(c);
  EXPECT_EQ(S().NavigatorScratchpad, "K*1#PDXQRS");
}

}  // namespace
}  // namespace ovi::gnsxls::test
