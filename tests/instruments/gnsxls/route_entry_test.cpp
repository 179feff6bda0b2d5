// Route editing from page 1: how a typed entry is read, the procedures a
// touched waypoint releases, insertions and deletions on both views as the
// whole plans they leave, the entry cursor, and the end airports that
// follow. Holds are checked whole after every edit.
#include <memory>

#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::ActiveIdents;
using flightplan::test::F;
using flightplan::test::G;
using flightplan::test::HoldBreach;
using flightplan::test::HoldIndices;
using flightplan::test::HoldNumbers;
using flightplan::test::MakeActive;
using flightplan::test::MakePending;
using flightplan::test::PendingIdents;
using flightplan::test::PutActiveHold;
using flightplan::test::PutPendingHold;
using RouteEntryTest = GnsTest;
using Pairs = std::vector<std::pair<int, int>>;
using Numbers = std::vector<unsigned>;

model::State& M() { return model::model_state; }

// An executed route KSEA W1 .. flown to `active`, the pending route its copy.
void FlyRoute(const Strings& idents, int active) {
  MakeActive(idents);
  F().ActiveWaypointIndex = active;
  if (active >= 0 && active < static_cast<int>(idents.size())) G().ActiveWaypointLat = F().ActiveFlightPlan[active].latitude;
  F().RouteState = 3;
  S().GnsXlsFplView = kViewActive;
  S().GnsXlsPage = kPageFlightPlan;
  flightplan::ResetGnsSelectionState();
}

void OpenStored(const Strings& idents) {
  MakePending(idents);
  S().GnsXlsFplView = kViewStored;
  navdb::entry_state.PendingPlanOpen = 1;
  S().GnsXlsPage = kPageFlightPlan;
  flightplan::ResetGnsSelectionState();
}

// Presses the line key of the row showing entry `i` of the view: rows
// 1..6 are line 1, line 2 (twice), line 3 (twice), line 4.
void ChooseRow(int row) {
  static constexpr int kLine[] = {0, 1, 2, 2, 3, 3, 4};
  for (int press = row % 2 == 1 && row > 1 ? 2 : 1; press > 0; --press) Key(kLine[row]);
}

class SampleRegion : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    data_ = std::make_unique<SampleDataCopy>();
    navdb::LoadNavDatabase();
    ASSERT_GT(navdb::navdb_state.AirportCount, 0);
  }
  std::unique_ptr<SampleDataCopy> data_;
};

// The entry is read in its order; an entry at a row the page does not
// show, or a marker's text, does nothing.
TEST_F(SampleRegion, TypedEntriesOpenTheirPages) {
  struct Case {
    const char* entry;
    std::int32_t page;
  } cases[] = {{"#V23", kPageAirway}, {"OLM*", kPageOffsetWaypoint}, {"*", kPageFlightPlan},
               {"OLM", kPageDatabaseWaypoint}, {"MYWPT", kPagePilotWaypoint}, {"", kPagePilotWaypoint},
               {"******", kPageFlightPlan}};
  for (const Case& c : cases) {
    FlyRoute({"KSEA", "OLM", "TOLLE"}, 1);
    F().ActiveFlightPlan[1].latitude = 46.9713;
    F().ActiveFlightPlan[1].longitude = -122.9022;
    S().GnsOffsetLatitude = 12.0;
    S().GnsOffsetBearingText = "  9.0";
    ChooseRow(2);  // OLM
    S().NavigatorScratchpad = c.entry;
    Ent();
    EXPECT_EQ(S().GnsXlsPage, c.page) << c.entry;
    if (c.page != kPageFlightPlan) {
      EXPECT_EQ(S().GnsXlsReturnPage, kPageFlightPlan);
    }
  }
  // A row the page does not show: the cursor of the row before stays.
  FlyRoute({"KSEA", "OLM", "TOLLE"}, 1);
  ChooseRow(5);  // an empty row: the cursor stays where it was
  S().NavigatorScratchpad = "OLM";
  F().EditWaypointIndex = 1;
  Ent();
  EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
}

TEST_F(SampleRegion, WhatEachTypedEntryLeaves) {
  FlyRoute({"KSEA", "OLM", "TOLLE"}, 1);
  F().ActiveFlightPlan[1].latitude = 46.9713;
  F().ActiveFlightPlan[1].longitude = -122.9022;
  ChooseRow(2);
  S().NavigatorScratchpad = "#V23  ";
  Ent();
  const navdb::EntryState& e = navdb::entry_state;
  EXPECT_EQ(e.AirwayTitleText, "V23");
  EXPECT_EQ(e.AirwayStartIndex, 4);  // BTG COUGA TOLLE OLM ..
  // An offset opens with nothing of an earlier one.
  S().GnsXlsPage = kPageFlightPlan;
  S().GnsOffsetBearingText = "  9.0";
  S().GnsOffsetDistanceText = "   4.0";
  S().NavigatorScratchpad = "OLM*";
  Ent();
  EXPECT_EQ(S().GnsOffsetCandidateIdent + S().GnsOffsetBearingText + S().GnsOffsetDistanceText, "OLM-----------");
  EXPECT_EQ(S().GnsOffsetWaypointText, "----------");
  // An unknown name defines a pilot waypoint, its latitude open for typing.
  S().GnsXlsPage = kPageFlightPlan;
  S().NavigatorScratchpad = "      ";
  Ent();
  EXPECT_EQ(S().GnsPilotWaypointName, "TMP00");
  EXPECT_EQ(LineStates()[7], 1);
  EXPECT_EQ(S().GnsXlsEntryActive + S().ScratchpadClearPending, 2);
}

// Worked pass by pass: SID first, then STAR, then the approach.
TEST_F(RouteEntryTest, ProcedureTagsReleased) {
  struct Case {
    int k;
    Strings after;
  } cases[] = {
      {1, {"", "", "", "STAR", "STAR", "APPR"}},      // SID: SIDSTAR keeps its arrival
      {3, {"", "", "", "", "", "APPR"}},              // SIDSTAR: both go
      {4, {"", "SID", "SID", "SID", "", "APPR"}},      // STAR: SIDSTAR keeps its departure
      {5, {"", "SID", "SID", "SIDSTAR", "STAR", ""}},  // APPR
      {0, {"SID", "SID", "SID", "SIDSTAR", "STAR", "APPR"}},  // the origin: nothing
  };
  for (const Case& c : cases) {
    MakePending({"KSEA", "A", "B", "C", "D", "E"});
    const Strings tags = {"SID", "SID", "SID", "SIDSTAR", "STAR", "APPR"};
    for (int i = 0; i < 6; ++i) F().PendingFlightPlan[i].procedure_tag = tags[static_cast<std::size_t>(i)];
    ReleaseProcedureTags(flightplan::PendingPlan(), c.k);
    Strings after;
    for (int i = 0; i < 6; ++i) after.push_back(F().PendingFlightPlan[i].procedure_tag);
    Strings expected = c.after;
    if (c.k != 0) expected[0] = "SID";  // entry 0 is never touched
    EXPECT_EQ(after, expected) << c.k;
  }
}

// An insertion as the whole plan it leaves: entries, fields of the new
// one, the indices that follow their waypoints, the end marker, the holds.
TEST_F(RouteEntryTest, InsertionsOnBothViews) {
  struct Case {
    const char* what;
    bool stored;
    std::int32_t page;
    int k, active;
    Strings idents;
    int active_after;
    Pairs holds;
    Numbers numbers;
  } cases[] = {
      {"DATABASE WPT before the active waypoint", false, kPageDatabaseWaypoint, 2, 3,
       {"KSEA", "W1", "X", "W2", "W3", "W4"}, 4, {{4, 4}}, {0, 0, 0, 0, 1, 0}},
      {"DATABASE WPT at an active waypoint 1", false, kPageDatabaseWaypoint, 1, 1,
       {"KSEA", "X", "W1", "W2", "W3", "W4"}, 1, {{4, 4}}, {0, 0, 0, 0, 1, 0}},
      {"PILOT at an active waypoint 1", false, kPagePilotWaypoint, 1, 1,
       {"KSEA", "X", "W1", "W2", "W3", "W4"}, 2, {{4, 4}}, {0, 0, 0, 0, 1, 0}},
      {"appended", false, kPageDatabaseWaypoint, 5, 3, {"KSEA", "W1", "W2", "W3", "W4", "X"}, 3, {{3, 3}},
       {0, 0, 0, 1, 0, 0}},
      {"the stored plan", true, kPageDatabaseWaypoint, 2, 3, {"KSEA", "W1", "X", "W2", "W3", "W4"}, 3, {{3, 4}},
       {0, 0, 0, 0, 1, 0}},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    const Strings route = {"KSEA", "W1", "W2", "W3", "W4"};
    FlyRoute(route, c.active);
    G().NextConstraintIndex = 4;
    PutActiveHold(1, 3);
    flightplan::CopyActiveToPendingPlan();
    if (c.stored) {
      // A plan opened over the executed route is a change of it.
      S().GnsXlsFplView = kViewStored;
      navdb::entry_state.PendingPlanOpen = 1;
      F().PendingActiveWaypointIndex = 4;
      F().RouteState = 4;
    }
    PutCandidate(1, "X", "V", -1.0, -1.0, "113.40");
    S().GnsXlsPage = c.page;
    S().GnsXlsReturnPage = kPageFlightPlan;
    S().GnsWaypointEntryText = "YES";
    S().GnsPilotWaypointName = "X";
    S().GnsPilotWaypointText2 = "S 01 00.00";
    S().GnsPilotWaypointText = "W001 00.00";
    S().GnsPilotLatitudeEntered = S().GnsPilotLongitudeEntered = true;
    S().GnsPilotLatitude = S().GnsPilotLongitude = -1.0;
    F().EditWaypointIndex = c.k;
    Ent();
    const flightplan::PlanRef plan = c.stored ? flightplan::PendingPlan() : flightplan::ActivePlan();
    const int last = flightplan::LastIndex(plan);
    EXPECT_EQ(flightplan::test::Idents(plan.plan, last), c.idents) << c.what;
    EXPECT_EQ(plan.plan[last + 1].ident, "******") << c.what;
    const model::FlightPlanWaypoint& x = plan.plan[c.k];
    EXPECT_EQ(x.type, c.page == kPageDatabaseWaypoint ? "VOR" : "WPT") << c.what;
    EXPECT_EQ(x.frequency_text, c.page == kPageDatabaseWaypoint ? "113.40" : "") << c.what;
    EXPECT_EQ(x.flyover, 1) << c.what;
    EXPECT_EQ(x.altitude_constraint, model::kNoValue);
    EXPECT_EQ(x.via + x.procedure_tag + x.text1 + x.text2, "");
    EXPECT_EQ(S().GnsWaypointEntryText, "NO") << c.what;
    EXPECT_EQ(HoldIndices(), c.holds) << c.what;
    EXPECT_EQ(HoldNumbers(plan.plan, last), c.numbers) << c.what;
    EXPECT_EQ(HoldBreach(), "") << c.what;
    if (c.stored) {
      EXPECT_EQ(F().PendingActiveWaypointIndex, 5) << c.what;
      EXPECT_EQ(ActiveIdents(), route);
    } else {
      EXPECT_EQ(F().ActiveWaypointIndex, c.active_after) << c.what;
      EXPECT_EQ(G().ActiveWaypointLat, F().ActiveFlightPlan[c.active_after].latitude) << c.what;
      EXPECT_EQ(G().NextConstraintIndex, c.k <= 4 ? 5 : 4) << c.what;
      EXPECT_EQ(PendingIdents(), c.idents) << c.what;  // the pending route follows the flown one
    }
    EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan) << c.what;
  }
}

// No insertion passes the route limit or lands outside the route: the
// route and the page stay as they were.
TEST_F(RouteEntryTest, InsertionsRefused) {
  struct Case {
    int last, k;
  } cases[] = {{kMaxEditLastIndex, 5}, {10, 12}, {10, -1}};
  for (const Case& c : cases) {
    for (std::int32_t page : {kPageDatabaseWaypoint, kPagePilotWaypoint, kPageOffsetWaypoint}) {
      ResetModuleState();
      FlyRoute(flightplan::test::LongRoute(c.last), 1);
      PutCandidate(1, "X", "V", -1.0, -1.0);
      S().GnsXlsPage = page;
      S().GnsXlsReturnPage = kPageFlightPlan;
      S().GnsPilotLatitudeEntered = S().GnsPilotLongitudeEntered = true;
      S().GnsOffsetBearingText = "  9.0";
      S().GnsOffsetDistanceText = S().GnsOffsetDistanceEdit = "   4.0";
      S().GnsOffsetCandidateIndex = 1;
      F().EditWaypointIndex = c.k;
      Ent();
      EXPECT_EQ(F().ActiveFlightPlanLastIndex, c.last) << page << " " << c.k;
      EXPECT_EQ(S().GnsXlsPage, page) << c.k;
    }
  }
}

// CLR then ENT on a chosen row: later entries, the active waypoint and
// holds move down; a hold on the waypoint deleted goes.
TEST_F(RouteEntryTest, DeletionsOnBothViews) {
  struct Case {
    const char* what;
    Strings route;
    int active, row, k;
    Strings idents;
    int active_after;
    Pairs holds;
  } cases[] = {
      {"after the active waypoint", {"KSEA", "W1", "W2", "W3", "W4"}, 1, 4, 3, {"KSEA", "W1", "W2", "W4"}, 1, {{2, 2}}},
      {"before the active waypoint", {"KSEA", "W1", "W2", "W3", "W4"}, 3, 1, 2, {"KSEA", "W1", "W3", "W4"}, 2, {}},
      {"the active waypoint", {"KSEA", "W1", "W2", "W3", "W4"}, 3, 2, 3, {"KSEA", "W1", "W2", "W4"}, 3, {{2, 2}}},
      {"the last, flown to", {"KSEA", "W1", "W2", "W3", "W4"}, 4, 2, 4, {"KSEA", "W1", "W2", "W3"}, 3, {{2, 2}}},
      {"the only leg", {"KSEA", "W1"}, 1, 2, 1, {"KSEA"}, model::kNoWaypoint, {}},
      {"the origin: refused", {"KSEA", "W1", "W2", "W3", "W4"}, 1, 1, 0, {"KSEA", "W1", "W2", "W3", "W4"}, 1,
       {{2, 2}}},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    FlyRoute(c.route, c.active);
    if (c.route.size() > 2) PutActiveHold(1, 2);
    flightplan::CopyActiveToPendingPlan();
    ChooseRow(c.row);
    ASSERT_EQ(F().EditWaypointIndex, c.k) << c.what;
    PressClear();
    DrawFrame();
    Ent();
    EXPECT_EQ(ActiveIdents(), c.idents) << c.what;
    EXPECT_EQ(F().ActiveWaypointIndex, c.active_after) << c.what;
    if (c.active_after != model::kNoWaypoint) {
      EXPECT_EQ(G().ActiveWaypointLat, F().ActiveFlightPlan[c.active_after].latitude) << c.what;
    }
    EXPECT_EQ(HoldIndices(), c.holds) << c.what;
    EXPECT_EQ(HoldBreach(), "") << c.what;
    EXPECT_EQ(F().ActiveFlightPlan[F().ActiveFlightPlanLastIndex + 1].ident, "******");
  }
  // The stored plan: its tracked waypoint follows.
  ResetModuleState();
  OpenStored({"KSEA", "W1", "W2", "W3"});
  F().PendingActiveWaypointIndex = 3;
  ChooseRow(3);
  PressClear();
  DrawFrame();
  Ent();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "W1", "W3"}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 2);
  EXPECT_EQ(S().NavigatorScratchpad, "W3    ");
}

// After DATABASE WPT the cursor stands on the row after the new waypoint,
// from the sixth row on the first of the next page; where the active
// waypoint moved with the insertion, the rows moved too.
TEST_F(RouteEntryTest, TheEntryCursorMovesOn) {
  struct Case {
    bool stored;
    int row;
    std::vector<int> lines;  // line states 1..4 after
    std::int32_t page;
  } cases[] = {
      {true, 1, {0, 1, 0, 0}, 1}, {true, 2, {0, 2, 0, 0}, 1}, {true, 3, {0, 0, 1, 0}, 1},
      {true, 4, {0, 0, 2, 0}, 1}, {true, 5, {0, 0, 0, 1}, 1}, {true, 6, {1, 0, 0, 0}, 2},
      {false, 2, {0, 1, 0, 0}, 1},  // inserted before the active waypoint 3 (row 2)
  };
  for (const Case& c : cases) {
    ResetModuleState();
    const Strings route = flightplan::test::LongRoute(9);
    if (c.stored) {
      OpenStored(route);
    } else {
      FlyRoute(route, 3);
    }
    ChooseRow(c.row);
    PutCandidate(1, "X", "I", -1.0, -1.0);
    S().GnsXlsPage = kPageDatabaseWaypoint;
    S().GnsXlsReturnPage = kPageFlightPlan;
    Ent();
    const std::vector<int> states = LineStates();
    EXPECT_EQ(std::vector<int>(states.begin(), states.begin() + 4), c.lines) << c.row;
    EXPECT_EQ(c.stored ? S().GnsStoredPlanPage : S().GnsActivePlanPage, c.page) << c.row;
    EXPECT_EQ(S().GnsXlsEntryActive + S().ScratchpadClearPending, 2);
    const Frame f = DrawFrame();  // the next identifier goes in after the new waypoint
    EXPECT_EQ(F().EditWaypointIndex, (c.stored ? 0 : 2) + c.row);
    EXPECT_TRUE(f.Shows(S().NavigatorScratchpad)) << c.row;
  }
}

// PILOT and OFFSET: the next entry goes in after the new waypoint; one
// appended is the route's last and the cursor stays on it (a step would
// stand on the end marker's row).
TEST_F(RouteEntryTest, PilotAndOffsetCursorAfterTheNewWaypoint) {
  for (const std::int32_t page : {kPagePilotWaypoint, kPageOffsetWaypoint}) {
    for (const int k : {2, 5}) {
      SCOPED_TRACE(std::to_string(page) + " at " + std::to_string(k));
      ResetModuleState();
      FlyRoute({"KSEA", "W1", "W2", "W3", "W4"}, 1);
      PutCandidate(1, "OLM", "V", 46.9713, -122.9022);
      S().GnsOffsetCandidateIndex = 1;
      S().GnsOffsetCandidateIdent = "OLM";
      S().GnsOffsetBearingText = "  9.0";
      S().GnsOffsetDistanceText = S().GnsOffsetDistanceEdit = "  12.0";
      S().GnsPilotWaypointName = "PW";
      S().GnsPilotLatitudeEntered = S().GnsPilotLongitudeEntered = true;
      S().GnsXlsPage = page;
      S().GnsXlsReturnPage = kPageFlightPlan;
      F().EditWaypointIndex = k;
      Ent();
      ASSERT_EQ(F().ActiveFlightPlanLastIndex, 5);
      EXPECT_EQ(F().ActiveFlightPlan[k].ident, page == kPagePilotWaypoint ? "PW" : "OLM*");
      EXPECT_EQ(F().EditWaypointIndex, k == 5 ? 5 : k + 1);
    }
  }
}

// An airport that becomes the origin or the destination is loaded there
// and its choices start afresh; the same airport again changes nothing.
TEST_F(SampleRegion, EndAirportsFollowTheEdits) {
  PutCandidate(1, "KPDX", "APT", 45.5887, -122.5975);
  PutCandidate(2, "KSEA", "APT", 47.449, -122.3093);
  auto insert = [](int candidate, int k) {
    S().SelectedCandidateIndex = candidate;
    S().GnsXlsPage = kPageDatabaseWaypoint;
    S().GnsXlsReturnPage = kPageFlightPlan;
    F().EditWaypointIndex = k;
    Ent();
  };
  FlyRoute({"SEA", "OLM"}, 1);
  F().ActiveFlightPlan[0].type = "VOR";
  M().SelectedStar = M().RouteSid = "X";
  insert(1, 2);
  EXPECT_EQ(M().DestinationAirportIdent + M().SelectedStar + M().RouteSid, "KPDX------X");
  EXPECT_EQ(navdb::navdb_state.AirportDetailRecord.ident, "KPDX");
  EXPECT_EQ(G().DestinationDetailsState, 2);
  M().SelectedStar = "Y";
  insert(1, 3);  // KPDX again, the last again
  EXPECT_EQ(M().SelectedStar, "Y");
  insert(2, 0);
  EXPECT_EQ(M().OriginAirportIdent + M().RouteSid, "KSEA------");
  // The stored plan: an origin airport inserted at 0, a destination at the end.
  OpenStored({"SEA", "OLM"});
  F().PendingFlightPlan[0].type = "VOR";
  S().GnsDepartureSelection = 1;
  insert(2, 0);
  EXPECT_EQ(M().PendingOriginIdent, "KSEA");
  EXPECT_EQ(S().GnsDepartureSelection, 0);
  M().PlanSelectionText1 = "X";
  insert(1, 3);
  EXPECT_EQ(M().PlanFinalWaypointIdent + M().PlanSelectionText1, "KPDX------");
  // A delete that leaves an airport last makes it the destination.
  FlyRoute({"KSEA", "OLM", "KPDX", "W1"}, 1);
  F().ActiveFlightPlan[2].type = "APT";
  M().DestinationAirportIdent = "KBFI";
  ChooseRow(4);
  PressClear();
  DrawFrame();
  Ent();
  EXPECT_EQ(M().DestinationAirportIdent, "KPDX");
  // A fix appended after the airport is no destination: the arrival chosen
  // for KPDX stays.
  PutCandidate(1, "OLM", "V", 46.9713, -122.9022);
  M().SelectedStar = "JAYPE3";
  M().SelectedArrivalRunway = "10R";
  insert(1, 3);
  ASSERT_EQ(F().ActiveFlightPlan[3].ident, "OLM");
  EXPECT_EQ(M().DestinationAirportIdent + M().SelectedStar + M().SelectedArrivalRunway, "KPDXJAYPE310R");
}

}  // namespace
}  // namespace ovi::gnsxls::test
