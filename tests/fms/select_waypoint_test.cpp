// SELECT WAYPOINT on the recording surface: six candidates a sub-page and
// the paging (PREV steps forward), what each row shows, the three pages a
// candidate goes back to, the hold-fix pass-through, and
// TakeWaypointCandidate.
#include <string>

#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/select_waypoint.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "tests/fms/cdu_support.h"
#include "tests/flightplan/route_support.h"

namespace ovi::fms::test {
namespace {

using flightplan::test::MakePending;
using flightplan::test::PendingIdents;
using flightplan::test::Strings;

navdb::EntryState& E() { return navdb::entry_state; }
model::State& M() { return model::model_state; }

// Candidates C1, C2, ... (kind I) at 1-degree steps south-west of 10S 10W.
void Candidates(int count) {
  for (int i = 1; i <= count; ++i) {
    model::NavDbRecord& c = E().WaypointCandidateList[i];
    c = model::NavDbRecord{};
    c.ident = "C" + std::to_string(i);
    c.latitude = -10.0 - i;
    c.longitude = -10.0 - i;
    c.kind = "I";
  }
  E().WaypointCandidateCount = count;
}

class SelectWaypointTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    Candidates(8);
    OpenSelectWaypoint(2, kPageRteLegs);
  }
  Frame PressKey(int key) {
    PressLineKey(key);
    return DrawFrame();
  }
};

TEST_F(SelectWaypointTest, SixCandidatesASubPageAndPrevStepsForward) {
  struct Case {
    int candidates, count;
  };
  for (Case c : {Case{0, 1}, Case{6, 1}, Case{7, 2}, Case{250, 42}}) {
    Candidates(c.candidates);
    DrawFrame();
    EXPECT_EQ(fms_state.FmsSelectPageCount, c.count) << c.candidates;
  }
  Candidates(8);
  fms_state.FmsPrevPageKey = 1;
  Frame f = DrawFrame();
  f.ExpectText(" 2/ 2", 220, 0);
  f.ExpectText("C7      INT        ", 40, 33);
  f.ExpectText("C8      INT        ", 40, 66);
  EXPECT_FALSE(f.Find("C9      INT        "));
  // A row without a candidate takes nothing.
  PressKey(kL3);
  EXPECT_EQ(fms_state.FmsPage, kPageSelectWaypoint);
  fms_state.FmsNextPageKey = 1;
  DrawFrame().ExpectText("C1      INT        ", 40, 33);
  fms_state.FmsNextPageKey = 1;  // back from 1: the last
  DrawFrame().ExpectText(" 2/ 2", 220, 0);
  // Past the fifth sub-page the same rule goes on to the list's end.
  Candidates(250);
  fms_state.FmsSelectPageIndex = 42;
  f = DrawFrame();
  f.ExpectText("C247    INT        ", 40, 33);
  f.ExpectText("C250    INT        ", 40, 132);
}

TEST_F(SelectWaypointTest, WhatARowShows) {
  model::NavDbRecord& c = E().WaypointCandidateList[1];
  c.ident = "ELN";
  c.kind = "N";
  c.frequency_text = "362";
  c.latitude = -33.5;
  c.longitude = 151.25;
  E().WaypointCandidateList[2].kind = "V";
  E().WaypointCandidateList[3].kind = "APT";
  const Frame f = DrawFrame();
  f.ExpectText("SELECT WAYPOINT", 40, 0);
  f.ExpectText("ELN     NDB     362", 40, 33);
  f.ExpectText("S33:30:00    E151:15:00  ", 55, 48);
  f.ExpectText("C2      VOR        ", 40, 66);
  f.ExpectText("C3      INT        ", 40, 99);  // an airport
}

TEST_F(SelectWaypointTest, TheChoiceGoesBackToThePageThatAsked) {
  // RTE LEGS: the candidate of the row at the remembered plan index, with
  // the discontinuity rule.
  MakePending({"KSEA", "SEA", "OLM", "BTG", "KPDX"});
  PressKey(kR3);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "C3", "DISCO", "OLM", "BTG", "KPDX"}));
  EXPECT_EQ(fms_state.FmsPage, kPageRteLegs);
  // L6 and R6 take row 6.
  OpenSelectWaypoint(5, kPageRteLegs);
  PressKey(kL6);
  EXPECT_EQ(flightplan::flightplan_state.PendingFlightPlan[5].ident, "C6");

  // RTE: row 2's TO entry (OLM); the entry row below the rows: in front of
  // the destination.
  MakePending({"KSEA", "SEA", "OLM", "KPDX"});
  flightplan::BuildRouteViaToList();
  Candidates(8);
  OpenSelectWaypoint(2, kPageRoute);
  M().FmsScratchpad = "C";
  PressKey(kL2);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "C2", "DISCO", "OLM", "KPDX"}));
  EXPECT_EQ(fms_state.FmsPage, kPageRoute);
  EXPECT_TRUE(M().FmsScratchpad.empty());
  EXPECT_EQ(flightplan::flightplan_state.RouteViaToList[2].to, "C2");
  MakePending({"KSEA", "SEA", "KPDX"});
  flightplan::BuildRouteViaToList();
  Candidates(8);  // the choice was copied over candidate 1
  OpenSelectWaypoint(2, kPageRoute);
  PressKey(kR1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "C1", "KPDX"}));

  // REF NAV DATA.
  OpenSelectWaypoint(0, kPageRefNavData);
  PressKey(kL4);
  EXPECT_EQ(fms_state.ResolvedWaypointIdent, "C4");
  EXPECT_EQ(fms_state.FmsPage, kPageRefNavData);

  // A row the plan no longer has: refused where the choice lands.
  MakePending({"KSEA", "KPDX"});
  OpenSelectWaypoint(9, kPageRteLegs);
  PressKey(kL1);
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
  EXPECT_EQ(fms_state.FmsPage, kPageRteLegs);
}

TEST_F(SelectWaypointTest, AHoldFixPassesThrough) {
  OpenSelectWaypoint(0, kPageRteLegs);
  fms_state.FmsHoldFixSelect = 0;
  M().FmsScratchpad = "ELN";
  PressKey(kL2);  // not waited for: the key is not taken
  EXPECT_EQ(fms_state.FmsPage, kPageRteLegs);
  EXPECT_EQ(M().FmsScratchpad.str(), "HOLD AT ELN");
  EXPECT_EQ(fms_state.FmsHoldFixCandidate, 1);
  // In HOLD AT selection RTE LEGS has put "HOLD AT " in front already.
  OpenSelectWaypoint(0, kPageRteLegs);
  fms_state.FmsHoldFixSelect = 2;
  DrawFrame();
  EXPECT_EQ(M().FmsScratchpad.str(), "HOLD AT ELN");
}

TEST_F(SelectWaypointTest, TakeWaypointCandidateByKind) {
  struct Case {
    const char* kind;
    int ref_nav_kind;
  };
  model::NavDbRecord& c = E().WaypointCandidateList[2];
  c.airport_text = "2380";
  for (Case k : {Case{"I", 2}, Case{"N", 3}, Case{"V", 3}, Case{"APT", 4}, Case{"O", 4}}) {
    SCOPED_TRACE(k.kind);
    fms_state.SelectedAirportLongName = fms_state.SelectedWaypointName = "KEPT";
    c.kind = k.kind;
    TakeWaypointCandidate(2);
    EXPECT_EQ(M().FmsSubPageTable.RefNavDataKind, k.ref_nav_kind);  // "O" leaves it
    EXPECT_EQ(fms_state.ResolvedWaypointIdent, "C2");
    EXPECT_EQ(fms_state.SelectedWaypointAptText, "2380");
    EXPECT_EQ(fms_state.SelectedAirportLongName, std::string(k.kind) == "APT" ? "" : "KEPT");
  }
  for (int n : {0, 9, -1}) {
    TakeWaypointCandidate(n);
    EXPECT_EQ(fms_state.ResolvedWaypointIdent, "C2") << n;
  }
}

}  // namespace
}  // namespace ovi::fms::test
