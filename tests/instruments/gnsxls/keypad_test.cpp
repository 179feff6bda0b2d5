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
using KeypadTest = GnsTest;

// Two active pages and two list pages: A1 A2 L1 L2 A1; one of each: A1 L1
// A1. From another page FPL opens active page 1; from an open stored plan,
// the list.
TEST_F(KeypadTest, FplWalksTheActivePagesThenTheListPages) {
  auto place = [] { return std::vector<int>{S().GnsXlsFplView, S().GnsActivePlanPage, S().GnsPlanListPage}; };
  for (int pages : {1, 2}) {
    S() = State{};
    S().GnsXlsFplView = kViewActive;
    S().GnsActivePlanPageCount = pages;
    F().GnsFplListPageCount = pages;
    std::vector<std::vector<int>> seen;
    for (int i = 0; i < 2 * pages + 1; ++i, PressFpl()) seen.push_back(place());
    std::vector<std::vector<int>> expected = {{kViewActive, 1, 1}};
    if (pages == 2) expected.push_back({kViewActive, 2, 1});
    expected.push_back({kViewStored, 1, 1});
    if (pages == 2) expected.push_back({kViewStored, 1, 2});
    expected.push_back({kViewActive, 1, 0});
    EXPECT_EQ(seen, expected) << pages;
  }
  S().GnsXlsPage = kPageNavigation;
  S().GnsXlsLineState[3] = 2;
  S().GnsFplDataColumnChoice = kColumnAlt;
  PressFpl();
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  EXPECT_EQ(place(), (std::vector<int>{kViewActive, 1, 1}));
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  EXPECT_EQ(S().GnsFplDataColumnChoice, kColumnEte);
  S().GnsXlsFplView = kViewStored;
  S().GnsPlanListPage = 3;
  navdb::entry_state.PendingPlanOpen = 1;
  PressFpl();
  EXPECT_EQ(place(), (std::vector<int>{kViewStored, 1, 1}));
  EXPECT_EQ(navdb::entry_state.PendingPlanOpen, 0);
}

// Each page's own index: PREV from 1 wraps to the count, NEXT from the count
// wraps to 1; NAV, VNAV and PLAN step their page like NEXT. None of these
// touches the lines, except on the airway list.
TEST_F(KeypadTest, PageKeysAndPreviousNextStepEachPagesOwnIndex) {
  struct Case {
    std::int32_t page;
    std::int32_t State::*index;
    int count;
    void (*page_key)();
  } cases[] = {{kPageNavigation, &State::GnsNavSubPage, 4, PressNav}, {kPagePlan, &State::GnsPlanSubPage, 6, PressPlan},
               {kPageVnav, &State::GnsVnavSubPage, 2, PressVnav},     {kPageDirect, &State::GnsDirectPage, 3, nullptr},
               {kPageDeparture, &State::GnsDeparturePage, 2, nullptr}, {kPageArrival, &State::GnsArrivalPage, 5, nullptr}};
  for (const Case& c : cases) {
    S() = State{};
    S().GnsVnavPageCount = 2;
    S().GnsDirectPageCount = 3;
    S().GnsDeparturePageCount = 2;
    S().GnsArrivalPageCount = 5;
    S().GnsXlsLineState[7] = 1;
    S().GnsXlsEntryActive = 1;
    if (c.page_key != nullptr) {
      c.page_key();  // from page 1 of the list view
      EXPECT_EQ(S().GnsXlsPage, c.page);
      EXPECT_EQ(S().*c.index, 1);
      for (int i = 1; i < c.count; ++i) c.page_key();
      EXPECT_EQ(S().*c.index, c.count) << c.page;
      c.page_key();
      EXPECT_EQ(S().*c.index, 1) << c.page;
    }
    S().GnsXlsPage = c.page;
    PressPrevPage();
    EXPECT_EQ(S().*c.index, c.count) << c.page;
    PressNextPage();
    PressNextPage();
    EXPECT_EQ(S().*c.index, 2) << c.page;
    EXPECT_EQ(LineStates()[6], 1) << c.page;
    EXPECT_EQ(S().GnsXlsEntryActive, 1) << c.page;
  }
  // The candidate lists and the airway list (which resets the lines).
  navdb::EntryState& e = navdb::entry_state;
  e.WaypointCandidateCount = 3;
  e.WaypointCandidateList[2].ident = "OLMPA";
  S().GnsXlsPage = kPageDatabaseWaypoint;
  PressPrevPage();
  EXPECT_EQ(S().SelectedCandidateIndex, 3);
  EXPECT_EQ(S().GnsDatabaseWaypointPage, 3);
  S().GnsXlsPage = kPageOffsetWaypoint;
  PressNextPage();
  EXPECT_EQ(S().GnsOffsetCandidateIdent, "OLMPA");
  S().GnsXlsPage = kPageAirway;
  e.AirwayListPageCount = 2;
  PressPrevPage();
  EXPECT_EQ(e.AirwayListPage, 2);
  EXPECT_EQ(LineStates()[6], 0);
  // VNAV with an entry open on the active view: the blank page 17.
  S().GnsXlsPage = kPageFlightPlan;
  S().GnsXlsFplView = kViewActive;
  PressVnav();
  EXPECT_EQ(S().GnsXlsPage, kPageVnavBlank);
}

TEST_F(KeypadTest, PreviousAndNextOnTheFlightPlanViews) {
  // Active view: lines reset, the entry closed, the page stepped.
  S().GnsXlsFplView = kViewActive;
  S().GnsActivePlanPageCount = 3;
  S().GnsXlsLineState[2] = 1;
  S().GnsXlsEntryActive = 1;
  PressPrevPage();
  EXPECT_EQ(S().GnsActivePlanPage, 3);
  EXPECT_EQ(LineStates()[1], 0);
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
  // List: NEXT resets and, wrapping to page 1, points the cursor at plan 1;
  // PREV does neither. An open plan steps its own pages.
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
  navdb::entry_state.PendingPlanOpen = 1;
  S().GnsStoredPlanPageCount = 2;
  PressNextPage();
  EXPECT_EQ(S().GnsStoredPlanPage, 2);
}

// Route A B C D flying to C: the working copy is A B C D "******", counted
// to the marker, the target C in the entry line; on page 7 the key only
// steps the page; without an active waypoint it does nothing at all.
TEST_F(KeypadTest, DirectToMakesTheWorkingCopyOnce) {
  MakeActive({"A", "B", "C", "D"});
  F().ActiveWaypointIndex = model::kNoWaypoint;
  PressDirect();
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  EXPECT_EQ(F().PendingFlightPlanLastIndex, -1);

  F().ActiveWaypointIndex = 2;
  S().TurnDirectionText = "LEFT";
  S().GnsXlsLineState[9] = 2;
  PressDirect();
  EXPECT_EQ(flightplan::test::PendingIdents(), (Strings{"A", "B", "C", "D", "******"}));
  EXPECT_EQ(F().EditWaypointIndex, 2);
  EXPECT_EQ(S().NavigatorScratchpad, "C     ");
  EXPECT_EQ(S().GnsXlsEntryActive + S().ScratchpadClearPending + S().GnsXlsDirectPressed, 3);
  EXPECT_EQ(S().GnsXlsPage, kPageDirect);
  EXPECT_EQ(S().GnsWaypointEntryText, "NO");
  EXPECT_EQ(S().TurnDirectionText, "DEFAULT");
  EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
  S().GnsDirectPageCount = 2;
  F().PendingFlightPlan[1].ident = "EDITED";
  PressDirect();
  EXPECT_EQ(S().GnsDirectPage, 2);
  EXPECT_EQ(F().PendingFlightPlan[1].ident, "EDITED");

  // The origin alone has no waypoint to fly to (the index left from the
  // route before names none): nothing. A full route: entries 0..200, no
  // slot after them touched.
  MakeActive({"A"});
  S().GnsXlsPage = kPageFlightPlan;
  PressDirect();
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  EXPECT_EQ(F().PendingFlightPlan[1].ident, "EDITED");
  MakeActive(flightplan::test::LongRoute(200));
  S().GnsXlsPage = kPageFlightPlan;
  PressDirect();
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 200);
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "KPDX");
  EXPECT_EQ(F().PendingFlightPlan.refused() + F().ActiveFlightPlan.refused(), 0);
}

// A waypoint north of its predecessor is flown to on true 360: magnetic
// 360 - 15 = 345; south of it, true 180: 180 + 20 = 200. Outside the active
// view, on the first row, on line 4's second state, on the origin, the end
// marker's row or an index the plan lacks, HOLD only opens its page.
TEST_F(KeypadTest, HoldAtTheSelectedWaypointOnly) {
  struct Case {
    std::int32_t view;
    int line, state, index;
    double prev_lat, magvar, course;  // course 0: no hold
  } cases[] = {
      {kViewActive, 2, 2, 2, 46.0, 15.0, 345.0}, {kViewActive, 4, 1, 2, 48.0, -20.0, 200.0},
      {kViewStored, 2, 1, 2, 46.0, 0.0, 0.0},    {kViewActive, 1, 1, 2, 46.0, 0.0, 0.0},
      {kViewActive, 4, 2, 2, 46.0, 0.0, 0.0},    {kViewActive, 2, 1, 0, 46.0, 0.0, 0.0},
      {kViewActive, 3, 1, 5, 46.0, 0.0, 0.0},    {kViewActive, 3, 2, 999, 46.0, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    MakeActive({"KSEA", "A", "B", "C", "KPDX"});  // 5 = the end marker's row
    F().ActiveFlightPlan[1].latitude = c.prev_lat;
    F().ActiveFlightPlan[1].longitude = -122.0;
    F().ActiveFlightPlan[2].latitude = 47.0;
    F().ActiveFlightPlan[2].longitude = -122.0;
    F().ActiveFlightPlan[4].hold_number = 1;  // the hold it replaces
    G().MagneticVariation = c.magvar;
    model::model_state.HoldLegMins = 1.5;
    S().GnsXlsFplView = c.view;
    S().GnsXlsLineState[c.line] = c.state;
    S().GnsSelectedWaypointIndex = c.index;
    S().NavigatorScratchpad = "B     ";
    PressHold();
    EXPECT_EQ(S().GnsXlsPage, kPageHolding);
    EXPECT_EQ(S().NavigatorScratchpad, "");
    const std::string what = std::to_string(c.line) + "/" + std::to_string(c.index);
    if (c.course == 0.0) {
      EXPECT_EQ(F().HoldCount, 0) << what;
      continue;
    }
    const model::HoldingPattern& h = F().HoldTable[1];
    EXPECT_EQ(F().HoldCount, 1);
    EXPECT_EQ(h.active_index, 2);
    EXPECT_NEAR(h.inbound_course, c.course, 1e-6) << what;
    EXPECT_EQ(h.corners[0].name, "Fix");
    EXPECT_DOUBLE_EQ(h.corners[0].latitude, 47.0);
    EXPECT_DOUBLE_EQ(h.leg_time, 1.5);
    EXPECT_EQ(h.time_based * 10 + h.turn_side, 11);
    EXPECT_EQ(flightplan::test::HoldNumbers(F().ActiveFlightPlan, 4), (std::vector<unsigned>{0, 0, 1, 0, 0}));
    EXPECT_EQ(G().HoldState, 1);
    EXPECT_EQ(G().ActiveHoldIndex, 0);
    EXPECT_EQ(G().HoldSegmentCounter, 0u);
  }
}

// KSEA A KPDX flown to KPDX (2): rows A, KPDX, the end marker. Line 2 picks
// KPDX; line 3 then picks row 4, which the page does not have: HOLD must not
// take the waypoint chosen before.
TEST_F(KeypadTest, HoldAfterChoosingARowThePageLacksBuildsNothing) {
  for (const int second_key : {0, 3}) {
    ResetModuleState();
    MakeActive({"KSEA", "A", "KPDX"});
    F().ActiveWaypointIndex = 2;
    S().GnsXlsFplView = kViewActive;
    PressLineKey(2);
    DrawFrame();
    if (second_key != 0) {
      PressLineKey(second_key);
      DrawFrame();
    }
    PressHold();
    EXPECT_EQ(F().HoldCount, second_key == 0 ? 1 : 0) << second_key;
    EXPECT_EQ(F().ActiveFlightPlan[2].hold_number, second_key == 0 ? 1u : 0u) << second_key;
  }
}

// The CLR rules, the first that matches; the entry line after the press.
TEST_F(KeypadTest, ClearByItsRules) {
  struct Case {
    const char* what;
    std::int32_t page, return_page, view;
    int line, state, edit, clear_pending;
    std::string entry, after;
    std::int32_t page_after;
    int delete_requested;
  } cases[] = {
      {"turn side", 8, kPageDirect, 0, 10, 2, 0, 0, "DEFAULT", "LEFT", 8, 0},
      {"turn side", 8, kPageDirect, 0, 10, 2, 0, 0, "LEFT", "RIGHT", 8, 0},
      {"turn side", 8, kPageDirect, 0, 10, 2, 0, 0, "RIGHT ", "DEFAULT", 8, 0},
      {"other return page", 8, 1, 0, 10, 2, 0, 0, "LEFT", "LEFT", 8, 0},
      {"flyover", 8, 1, 0, 10, 1, 0, 0, "NO    ", "YES", 8, 0},
      {"flyover", 20, 1, 0, 10, 1, 0, 0, "YES", "NO", 20, 0},
      {"flyover", 21, 1, 0, 10, 1, 0, 0, "X", "NO", 21, 0},
      {"nothing chosen", 21, 1, 0, 0, 0, 0, 0, "ABC", "ABC", 21, 0},
      {"nav page", 9, 1, 0, 7, 1, 0, 0, "ALT?", "ETA?", 9, 0},
      {"nav page", 9, 1, 0, 7, 1, 0, 0, "ETA?", "ALT?", 9, 0},
      {"approach typed", 12, 1, 0, 6, 1, 0, 0, "KPDX  ", "KPD   ", 12, 0},
      {"approach from elsewhere", 12, 11, 0, 6, 1, 0, 0, "KPDX", "KPD   ", 12, 0},
      {"airway", 13, kPageDirect, 0, 0, 0, 0, 0, "#V23  ", "", kPageDirect, 0},
      {"any page", 19, 1, 0, 7, 1, 0, 0, "5000  ", "500   ", 19, 0},
      {"waypoint untouched", 1, 1, kViewActive, 0, 0, 1, 1, "A     ", "A     ", 1, 1},
      {"waypoint typed", 1, 1, kViewActive, 0, 0, 1, 0, "AB    ", "A     ", 1, 0},
      {"end marker's row", 1, 1, kViewActive, 0, 0, 3, 1, "AB    ", "      ", 1, 0},
      {"no row", 1, 1, kViewActive, 0, 0, 999, 1, "AB    ", "      ", 1, 0},
      {"list", 1, 1, kViewStored, 0, 0, 1, 1, "A     ", "      ", 1, 0},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    MakeActive({"KSEA", "A", "KPDX"});
    S().GnsXlsPage = c.page;
    S().GnsXlsReturnPage = c.return_page;
    S().GnsXlsFplView = c.view;
    if (c.line > 0) S().GnsXlsLineState[c.line] = c.state;
    F().EditWaypointIndex = c.edit;
    S().ScratchpadClearPending = c.clear_pending;
    S().GnsXlsEntryActive = 1;
    S().NavigatorScratchpad = c.entry;
    PressClear();
    EXPECT_EQ(S().NavigatorScratchpad, c.after) << c.what << " \"" << c.entry << "\"";
    EXPECT_EQ(S().GnsXlsPage, c.page_after) << c.what;
    EXPECT_EQ(S().GnsDeleteRequested, c.delete_requested) << c.what;
    EXPECT_EQ(S().GnsXlsClearPressed, 1);
  }
}

TEST_F(KeypadTest, ClearChoicesOfThePageStates) {
  // Holding page: both choices toggle; nothing is deleted.
  S().GnsXlsPage = kPageHolding;
  S().GnsXlsLineState[8] = 1;
  S().GnsXlsLineState[10] = 1;
  S().GnsHoldTurnChoice = 2;
  S().GnsHoldExitModeChoice = 0;
  S().GnsXlsEntryActive = 1;
  S().NavigatorScratchpad = "7     ";
  PressClear();
  EXPECT_EQ(S().GnsHoldTurnChoice * 10 + S().GnsHoldExitModeChoice, 11);
  EXPECT_EQ(S().NavigatorScratchpad, "7     ");
  // APCH from page 1, nothing typed: back there.
  S() = State{};
  S().GnsXlsPage = kPageApproach;
  PressClear();
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
  // The data column, entry closed: ALT back to ETE.
  S().GnsXlsFplView = kViewActive;
  S().GnsXlsLineState[10] = 1;
  S().GnsFplDataColumnChoice = kColumnAlt;
  PressClear();
  EXPECT_EQ(S().GnsFplDataColumnChoice, kColumnEte);
  // NAV mode choice: 0 becomes MAN? with LNAV on, AUTO? without, then alternates.
  for (int lnav : {1, 0}) {
    S().GnsXlsPage = kPageNavigation;
    S().GnsNavModeChoice = 0;
    G().LnavEngaged = lnav;
    PressClear();
    EXPECT_EQ(S().GnsNavModeChoice, lnav == 1 ? 2 : 1);
    PressClear();
    EXPECT_EQ(S().GnsNavModeChoice, lnav == 1 ? 1 : 2);
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
