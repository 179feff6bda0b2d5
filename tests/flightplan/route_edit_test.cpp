// The route edit cycle and the primitive edits of the pending route: whole
// plans checked after each edit, with holds and the tracked index riding
// along, at the 200-entry limit and with bad ranges.
#include "src/flightplan/route_edit.h"

#include <gtest/gtest.h>

#include "src/flightplan/holds.h"
#include "src/host/module_state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "tests/flightplan/route_support.h"

namespace ovi::flightplan::test {
namespace {

model::State& M() { return model::model_state; }

void SetCandidate(const std::string& ident, const std::string& kind, const std::string& frequency) {
  model::NavDbRecord& c = navdb::entry_state.WaypointCandidateList[1];
  c.ident = ident;
  c.kind = kind;
  c.frequency_text = frequency;
  c.latitude = -33.9461;  // south and east: the candidate's own position is kept
  c.longitude = 151.1772;
}

using RouteStateTest = RouteTest;

TEST_F(RouteStateTest, StepsThroughTheCycle) {
  const std::pair<int, int> steps[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 3}, {7, 7}, {-1, -1}};
  for (auto [from, to] : steps) {
    F().RouteState = from;
    StepRouteState();
    EXPECT_EQ(F().RouteState, to) << from;
  }
}

TEST_F(RouteStateTest, TheFirstStepOnTheGroundStartsANewFlight) {
  M().ResvFuel = 1234.0;
  G().GroundSpeedKnots = 4.9;
  StepRouteState();
  // The log restarted at once: InitLoad, and PushBack above 2 kt.
  EXPECT_EQ(G().FlightPhase, 1);
  EXPECT_EQ(G().FlightLogState, 1);
  // Taken from ResvFuel, then lowered to the fuel on board: none without a
  // simulator.
  EXPECT_EQ(M().ReserveFuel, 0.0);
  EXPECT_EQ(G().LastClockSecond, -99.0);
  EXPECT_EQ(G().ElapsedFlightSeconds, 0.0);

  // At 5 kt, or on any later step, the flight goes on.
  ResetModuleState();
  M().ResvFuel = 1234.0;
  G().GroundSpeedKnots = 5.0;
  StepRouteState();
  EXPECT_EQ(F().RouteState, 1);
  EXPECT_EQ(G().FlightPhase, 999);
  EXPECT_EQ(M().ReserveFuel, 0.0);
  EXPECT_EQ(G().ElapsedFlightSeconds, -99.0);
  G().GroundSpeedKnots = 0.0;
  F().RouteState = 3;
  StepRouteState();
  EXPECT_EQ(G().FlightPhase, 999);
}

using ViaToTest = RouteTest;

TEST_F(ViaToTest, RowsFollowDirectLegsAirwaysAndMarkers) {
  MakePending({"KSEA", "A", "B", "C", "D", "KPDX"});
  const char* vias[] = {"", "J1", "J1", "", "J2", ""};
  for (int i = 0; i <= 5; ++i) F().PendingFlightPlan[i].via = vias[i];
  BuildRouteViaToList();
  ASSERT_EQ(F().RouteViaToCount, 3);
  EXPECT_EQ(F().RouteViaToList[1].to, "B");
  EXPECT_EQ(F().RouteViaToList[1].via, "J1");
  EXPECT_EQ(F().RouteViaToList[2].to, "C");
  EXPECT_EQ(F().RouteViaToList[2].via, "DIRECT");
  EXPECT_EQ(F().RouteViaToList[3].to, "D");
  EXPECT_EQ(F().RouteViaToList[3].via, "J2");

  // The row ends: row n's TO found from index n on; rows at or past the
  // last index, and rows without a match, give the last index.
  EXPECT_EQ(FindNextViaToWaypoint(1), 2);
  EXPECT_EQ(FindNextViaToWaypoint(2), 3);
  EXPECT_EQ(FindNextViaToWaypoint(3), 4);
  EXPECT_EQ(FindNextViaToWaypoint(4), 5);
  EXPECT_EQ(FindNextViaToWaypoint(5), 5);
  EXPECT_EQ(FindNextViaToWaypoint(0), 5);
  EXPECT_EQ(FindNextViaToWaypoint(-3), 5);

  // A "THEN" on the same airway opens a row of its own.
  MakePending({"KSEA", "A", "B", "THEN", "E", "KPDX"});
  const char* vias2[] = {"", "J1", "J1", "J1", "", ""};
  for (int i = 0; i <= 5; ++i) F().PendingFlightPlan[i].via = vias2[i];
  BuildRouteViaToList();
  ASSERT_EQ(F().RouteViaToCount, 3);
  EXPECT_EQ(F().RouteViaToList[2].to, "THEN");
  EXPECT_EQ(F().RouteViaToList[2].via, "J1");
  EXPECT_EQ(F().RouteViaToList[3].to, "E");

  // Origin and destination only: no rows, the stale ones emptied.
  MakePending({"KSEA", "KPDX"});
  BuildRouteViaToList();
  EXPECT_EQ(F().RouteViaToCount, 0);
  for (int r = 1; r <= 3; ++r) {
    EXPECT_EQ(F().RouteViaToList[r].to, "") << r;
    EXPECT_EQ(F().RouteViaToList[r].via, "") << r;
  }
}

// Route files write "DIRECT" as the via of a direct leg: such a leg ends its
// own row like one with no via, it never extends the row before it.
TEST_F(ViaToTest, EveryDirectLegEndsARowOfItsOwn) {
  MakePending({"KSEA", "A", "B", "C", "D", "E", "F", "KPDX"});
  const char* vias[] = {"", "DIRECT", "DIRECT", "J1", "J1", "", "DIRECT", "DIRECT"};
  for (int i = 0; i <= 7; ++i) F().PendingFlightPlan[i].via = vias[i];
  BuildRouteViaToList();
  const std::pair<const char*, const char*> rows[] = {{"A", "DIRECT"}, {"B", "DIRECT"}, {"D", "J1"}, {"E", "DIRECT"},
                                                      {"F", "DIRECT"}};
  ASSERT_EQ(F().RouteViaToCount, 5);
  for (int r = 1; r <= 5; ++r) {
    EXPECT_EQ(F().RouteViaToList[r].to, rows[r - 1].first) << r;
    EXPECT_EQ(F().RouteViaToList[r].via, rows[r - 1].second) << r;
  }
  const int ends[] = {1, 2, 4, 5, 6};
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(FindNextViaToWaypoint(r), ends[r - 1]) << r;
}

// An airway row of three entries puts later rows two entries behind their
// row numbers: the second discontinuity's row ends at that discontinuity,
// not at the first one, which lies at the row's own number.
TEST_F(ViaToTest, ARowEndsAtItsOwnEntryWhenAnEarlierRowEndsAtTheSameIdent) {
  MakePending({"KSEA", "SEA", "ALKIA", "PAE", "X", "DISCO", "Y", "DISCO", "KBLI"});
  for (int i = 1; i <= 3; ++i) F().PendingFlightPlan[i].via = "V23";
  BuildRouteViaToList();
  ASSERT_EQ(F().RouteViaToCount, 5);
  EXPECT_EQ(F().RouteViaToList[5].to, "DISCO");
  const int ends[] = {3, 4, 5, 6, 7};
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(FindNextViaToWaypoint(r), ends[r - 1]) << r;

  // Rows left from before an edit are still found by their TO text.
  F().RouteViaToList[5].to = "Y";
  EXPECT_EQ(FindNextViaToWaypoint(5), 6);
  F().RouteViaToList[5].to = "NONE";
  EXPECT_EQ(FindNextViaToWaypoint(5), 8);
}

// A route of 201 entries lists 199 rows; a shorter route built after it
// leaves none of them standing.
TEST_F(ViaToTest, AFullRouteListsEveryWaypointAndAShorterOneClearsTheRest) {
  MakePending(LongRoute(200));
  BuildRouteViaToList();
  ASSERT_EQ(F().RouteViaToCount, 199);
  EXPECT_EQ(F().RouteViaToList[199].to, "W199");
  EXPECT_EQ(F().RouteViaToList[199].via, "DIRECT");
  EXPECT_EQ(FindNextViaToWaypoint(199), 199);
  EXPECT_EQ(FindNextViaToWaypoint(200), 200);
  MakePending(LongRoute(3));
  BuildRouteViaToList();
  EXPECT_EQ(F().RouteViaToCount, 2);
  EXPECT_EQ(F().RouteViaToList[2].to, "W2");
  for (int r : {3, 100, 199}) {
    EXPECT_EQ(F().RouteViaToList[r].to, "") << r;
    EXPECT_EQ(F().RouteViaToList[r].via, "") << r;
  }
  EXPECT_EQ(F().RouteViaToList.refused(), 0);
}

using CandidateTest = RouteTest;

TEST_F(CandidateTest, ADiscontinuityFollowsAWaypointThatDoesNotEndTheRoute) {
  struct Case {
    int position;
    Strings idents;
  };
  const Case cases[] = {
      {0, {"KSEA", "X", "DISCO", "A", "B", "C", "KPDX"}},
      {1, {"KSEA", "X", "DISCO", "A", "B", "C", "KPDX"}},
      {3, {"KSEA", "A", "B", "X", "DISCO", "C", "KPDX"}},
      {4, {"KSEA", "A", "B", "C", "X", "KPDX"}},  // just before the last: no "DISCO"
      {5, {"KSEA", "A", "B", "C", "KPDX", "X"}},  // behind the last
  };
  for (const Case& c : cases) {
    MakePending({"KSEA", "A", "B", "C", "KPDX"});
    SetCandidate("X", "V", "113.40");
    EXPECT_TRUE(InsertCandidateIntoPending(c.position));
    EXPECT_EQ(PendingIdents(), c.idents) << c.position;
    EXPECT_EQ(F().PendingFlightPlan[F().PendingFlightPlanLastIndex + 1].ident, "******");
  }
  // The last case's waypoint: the candidate's data, nothing else.
  const model::FlightPlanWaypoint& x = F().PendingFlightPlan[5];
  EXPECT_EQ(x.type, "VOR");
  EXPECT_EQ(x.frequency_text, "113.40");
  EXPECT_DOUBLE_EQ(x.latitude, -33.9461);
  EXPECT_DOUBLE_EQ(x.longitude, 151.1772);
  EXPECT_EQ(x.altitude_constraint, model::kNoValue);
  EXPECT_EQ(x.value3, -1.0);
  EXPECT_EQ(x.via, "");

  // Beyond the end of the route, or into an empty one: refused.
  MakePending({"KSEA", "A", "KPDX"});
  F().RouteState = 0;
  EXPECT_FALSE(InsertCandidateIntoPending(4));
  F().PendingFlightPlanLastIndex = -1;
  EXPECT_FALSE(InsertCandidateIntoPending(1));
  EXPECT_EQ(F().RouteState, 0);
}

TEST_F(CandidateTest, NavaidKindsBecomeRouteTypes) {
  const std::pair<const char*, const char*> kinds[] = {{"V", "VOR"}, {"N", "NDB"}, {"I", "I"}, {"APT", "APT"}};
  for (auto [kind, type] : kinds) {
    MakePending({"KSEA", "KPDX"});
    SetCandidate("ELN", kind, "362");
    ASSERT_TRUE(InsertCandidateIntoPending(1));
    EXPECT_EQ(F().PendingFlightPlan[1].type, type) << kind;
    EXPECT_EQ(F().PendingFlightPlan[1].frequency_text, "362");
  }
}

TEST_F(CandidateTest, HoldsTheTrackedIndexAndTheStateFollow) {
  MakePending({"KSEA", "A", "B", "C", "KPDX"});
  F().PendingFlightPlan[3].hold_number = 1;
  F().HoldCount = 1;
  F().HoldTable[1].active_index = 3;
  F().HoldTable[1].pending_index = 3;
  F().PendingActiveWaypointIndex = 3;
  F().RouteState = 3;
  SetCandidate("X", "I", "");
  ASSERT_TRUE(InsertCandidateIntoPending(1));
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "X", "DISCO", "A", "B", "C", "KPDX"}));
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{3, 5}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 6), (std::vector<unsigned>{0, 0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 5);
  EXPECT_EQ(F().RouteState, 4);
  // A further edit keeps the modification open.
  ASSERT_TRUE(InsertCandidateIntoPending(1));
  EXPECT_EQ(F().RouteState, 4);
}

TEST_F(CandidateTest, AnInsertThatDoesNotFitIsRefusedWhole) {
  Strings idents{"KSEA"};
  for (int i = 1; i < 199; ++i) idents.push_back("W" + std::to_string(i));
  idents.push_back("KPDX");
  MakePending(idents);
  ASSERT_EQ(F().PendingFlightPlanLastIndex, 199);
  SetCandidate("X", "I", "");
  EXPECT_FALSE(InsertCandidateIntoPending(1));  // the waypoint and its "DISCO" need two slots
  EXPECT_EQ(PendingIdents(), idents);
  EXPECT_EQ(F().RouteState, 0);
  EXPECT_TRUE(InsertCandidateIntoPending(199));  // no "DISCO": one slot, the last
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 200);
  EXPECT_EQ(F().PendingFlightPlan[199].ident, "X");
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "KPDX");
  EXPECT_FALSE(InsertCandidateIntoPending(200));
  EXPECT_FALSE(InsertAirwayViaPending(5));
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

// Two free slots take a waypoint with its discontinuity; the destination,
// its hold and the tracked index end in the last slot.
TEST_F(CandidateTest, TheLastTwoSlotsTakeAWaypointAndItsDiscontinuity) {
  MakePending(LongRoute(198));
  PutPendingHold(1, 198);
  F().PendingActiveWaypointIndex = 198;
  SetCandidate("X", "N", "362");
  ASSERT_TRUE(InsertCandidateIntoPending(1));
  ASSERT_EQ(F().PendingFlightPlanLastIndex, 200);
  const model::FlightPlanTable& p = F().PendingFlightPlan;
  EXPECT_EQ(p[1].ident, "X");
  EXPECT_EQ(p[1].type, "NDB");
  const model::FlightPlanWaypoint& disco = p[2];
  EXPECT_EQ(disco.ident, "DISCO");
  EXPECT_EQ(disco.type, "");
  EXPECT_EQ(disco.latitude, 0.0);
  EXPECT_EQ(disco.longitude, 0.0);
  EXPECT_EQ(disco.altitude_constraint, model::kNoValue);
  EXPECT_EQ(disco.value3, -1.0);
  EXPECT_EQ(disco.hold_number, 0u);
  EXPECT_EQ(p[3].ident, "W1");
  EXPECT_EQ(p[199].ident, "W197");
  EXPECT_EQ(p[200].ident, "KPDX");
  EXPECT_EQ(p[200].hold_number, 1u);
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{198, 200}}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 200);
  EXPECT_EQ(F().RouteState, 1);
  // Full: not even an appended waypoint or an airway marker fits.
  EXPECT_FALSE(InsertCandidateIntoPending(201));
  EXPECT_FALSE(InsertAirwayViaPending(200));
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 200);
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);

  // The origin alone: position 0 appends at 1, with nothing to follow.
  MakePending({"KSEA"});
  F().RouteState = 3;
  ASSERT_TRUE(InsertCandidateIntoPending(0));
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "X"}));
  EXPECT_EQ(F().PendingFlightPlan[2].ident, "******");
  EXPECT_EQ(F().RouteState, 4);
}

TEST_F(CandidateTest, AnAirwayMarkerTakesTheScratchpadsAirway) {
  MakePending({"KSEA", "A", "B", "C", "KPDX"});
  F().PendingFlightPlan[2].hold_number = 1;
  F().HoldCount = 1;
  F().HoldTable[1].pending_index = 2;
  F().RouteState = 3;
  M().FmsScratchpad = "J70";
  ASSERT_TRUE(InsertAirwayViaPending(2));
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "THEN", "B", "C", "KPDX"}));
  const model::FlightPlanWaypoint& then = F().PendingFlightPlan[2];
  EXPECT_EQ(then.type, "OAWY");
  EXPECT_EQ(then.via, "J70");
  EXPECT_EQ(then.hold_number, 0u);
  EXPECT_EQ(F().PendingFlightPlan[3].hold_number, 1u);
  EXPECT_EQ(F().HoldTable[1].pending_index, 3);
  EXPECT_EQ(M().FmsScratchpad, "");
  EXPECT_EQ(F().RouteState, 3);  // the route page steps it
  EXPECT_FALSE(InsertAirwayViaPending(0));
  EXPECT_FALSE(InsertAirwayViaPending(8));
}

using RemoveTest = RouteTest;

TEST_F(RemoveTest, CompactingDropsTheMarkersAndKeepsTheRest) {
  MakePending({"THEN", "THEN"});
  CompactPendingPlan();
  EXPECT_EQ(F().PendingFlightPlanLastIndex, -1);
  EXPECT_EQ(F().PendingFlightPlan[0].ident, "******");

  MakePending({"KSEA", "THEN", "A", "THEN", "B", "KPDX"});
  F().PendingFlightPlan[4].hold_number = 1;
  F().HoldCount = 1;
  F().HoldTable[1].pending_index = 4;
  F().PendingActiveWaypointIndex = 3;  // on a marker: it moves to the entry after it
  CompactPendingPlan();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B", "KPDX"}));
  EXPECT_EQ(F().HoldTable[1].pending_index, 2);
  EXPECT_EQ(F().PendingFlightPlan[2].hold_number, 1u);
  EXPECT_EQ(F().PendingActiveWaypointIndex, 2);
}

TEST_F(RemoveTest, RemovedWaypointsTakeTheirHoldsAlong) {
  MakePending({"KSEA", "A", "B", "C", "D", "KPDX"});
  F().PendingFlightPlan[2].hold_number = 1;
  F().PendingFlightPlan[4].hold_number = 2;
  F().HoldCount = 2;
  F().HoldTable[1].active_index = F().HoldTable[1].pending_index = 2;
  F().HoldTable[2].active_index = F().HoldTable[2].pending_index = 4;
  F().PendingActiveWaypointIndex = 4;
  F().RouteState = 3;
  M().FmsScratchpad = "D";
  ASSERT_TRUE(RemovePendingWaypoints(2, 4));
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "D", "KPDX"}));
  // B's hold waits for EXEC to leave the table; D's follows D.
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{2, -1}, {4, 2}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 3), (std::vector<unsigned>{0, 0, 2, 0}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 2);
  EXPECT_EQ(F().RouteState, 4);
  EXPECT_EQ(M().FmsScratchpad, "");
  ASSERT_EQ(F().RouteViaToCount, 2);
  EXPECT_EQ(F().RouteViaToList[2].to, "D");
  EXPECT_EQ(F().PendingFlightPlan[4].ident, "******");
}

TEST_F(RemoveTest, CompactingMovesEachEntryDownByTheMarkersBeforeIt) {
  MakePending({"KSEA", "THEN", "A", "THEN", "B", "THEN"});
  PutHold(1, 2, 2);  // A
  PutHold(2, 3, 3);  // on a marker
  PutHold(3, 4, 4);  // B
  for (int i : {2, 3, 4}) F().PendingFlightPlan[i].hold_number = static_cast<unsigned>(i - 1);
  F().PendingActiveWaypointIndex = 5;  // on the closing marker: nothing follows, it ends on B
  CompactPendingPlan();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B"}));
  EXPECT_EQ(F().PendingFlightPlan[3].ident, "******");
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{2, 1}, {3, -1}, {4, 2}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 2), (std::vector<unsigned>{0, 1, 3}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 2);
  EXPECT_EQ(F().RouteState, 0);  // the route page steps it
}

TEST_F(RemoveTest, RemovingTheDestinationLeavesTheTrackedIndexOnTheNewLast) {
  MakePending({"KSEA", "A", "B", "KPDX"});
  PutPendingHold(1, 2);
  PutPendingHold(2, 3);
  F().PendingActiveWaypointIndex = 3;
  ASSERT_TRUE(RemovePendingWaypoints(3, 4));
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B"}));
  EXPECT_EQ(F().PendingFlightPlan[3].ident, "******");
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{2, 2}, {3, -1}}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 2);
  EXPECT_EQ(F().RouteState, 1);
  EXPECT_EQ(G().FlightPhase, 0);  // the first edit on the ground starts a flight: the log at InitLoad
  ASSERT_EQ(F().RouteViaToCount, 1);
  EXPECT_EQ(F().RouteViaToList[1].to, "A");
}

TEST_F(RemoveTest, RangesOutsideTheRouteAreRefused) {
  struct Case {
    int first, next;
    bool done;
    Strings idents;
  };
  const Case cases[] = {
      {0, 2, false, {"KSEA", "A", "B", "C", "KPDX"}},  // the origin stays
      {3, 2, false, {"KSEA", "A", "B", "C", "KPDX"}},
      {5, 5, false, {"KSEA", "A", "B", "C", "KPDX"}},
      {2, 7, false, {"KSEA", "A", "B", "C", "KPDX"}},
      {3, 3, true, {"KSEA", "A", "B", "C", "KPDX"}},  // nothing between
      {3, 5, true, {"KSEA", "A", "B"}},               // to the end
      {1, 4, true, {"KSEA", "KPDX"}},
  };
  for (const Case& c : cases) {
    MakePending({"KSEA", "A", "B", "C", "KPDX"});
    F().PendingActiveWaypointIndex = 4;
    EXPECT_EQ(RemovePendingWaypoints(c.first, c.next), c.done) << c.first << " " << c.next;
    EXPECT_EQ(PendingIdents(), c.idents) << c.first << " " << c.next;
    EXPECT_LE(F().PendingActiveWaypointIndex, F().PendingFlightPlanLastIndex);
  }
}

using ClearTest = RouteTest;

TEST_F(ClearTest, ClearingBlanksEveryEntryButKeepsTheCounts) {
  MakeActive({"KSEA", "A", "KPDX"});
  model::FlightPlanWaypoint& a = F().ActiveFlightPlan[1];
  a.text1 = "kept";
  a.via = "V23";
  a.procedure_tag = "SID";
  a.frequency_text = "116.80";
  a.text2 = "IAF";
  a.time_over_text = "12:00";
  a.altitude_constraint = 5000.0;
  a.speed_constraint = 250.0;
  a.value3 = 90.0;
  a.flyover = 1;
  a.constraint_flag = 1;
  a.hold_number = 1;
  F().RouteViaToCount = 1;
  F().RouteViaToList[1] = {"A", "V23"};
  F().HoldCount = 1;
  F().HoldTable[1].active_index = 1;
  G().VerticalProfileValid = 1;
  ClearActivePlanFields();
  model::FlightPlanWaypoint blank;  // all blank but the free text; value 3 -999 here
  blank.text1 = "kept";
  blank.value3 = model::kNoValue;
  EXPECT_TRUE(a == blank);
  EXPECT_EQ(F().ActiveFlightPlanLastIndex, 2);
  EXPECT_EQ(F().RouteViaToCount, 1);
  EXPECT_EQ(F().RouteViaToList[1].to, "");
  EXPECT_EQ(F().HoldCount, 0);
  EXPECT_EQ(F().HoldTable[1].active_index, 0);
  EXPECT_EQ(G().VerticalProfileValid, 0);

  MakePending({"KSEA", "A"});
  F().HoldCount = 1;
  ClearPendingPlanFields();
  EXPECT_EQ(PendingIdents(), (Strings{"", ""}));
  EXPECT_EQ(F().HoldCount, 1);  // the pending variant keeps the holds
}

TEST_F(ClearTest, CopyingTheActiveRouteStartsAModification) {
  MakeActive({"KSEA", "A", "B", "KPDX"});
  F().ActiveFlightPlan[2].hold_number = 1;
  F().ActiveFlightPlan[2].altitude_constraint = 9000.0;
  F().HoldCount = 1;
  F().HoldTable[1].active_index = 2;
  F().ActiveWaypointIndex = 2;
  G().NextConstraintIndex = 3;
  MakePending({"OLD", "X", "Y", "Z", "W", "V"});
  CopyActiveToPendingPlan();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B", "KPDX"}));
  EXPECT_EQ(F().PendingFlightPlan[2].altitude_constraint, 9000.0);
  EXPECT_EQ(F().PendingFlightPlan[2].hold_number, 1u);
  EXPECT_EQ(F().PendingFlightPlan[4].ident, "******");
  EXPECT_EQ(F().EditWaypointIndex, 2);
  EXPECT_EQ(F().PendingActiveWaypointIndex, 3);
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{2, 2}}));
  // An index left from a longer route names the last entry, never one past
  // the route that EXEC would carry back.
  G().NextConstraintIndex = 10;
  CopyActiveToPendingPlan();
  EXPECT_EQ(F().PendingActiveWaypointIndex, 3);
}

TEST_F(ClearTest, CopyingAFullOrAnEmptyActiveRoute) {
  MakeActive(LongRoute(200));
  MakePending({"OLD"});
  PutHold(1, 5, -1);  // detached by an erased edit: attached again
  CopyActiveToPendingPlan();
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 200);
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "KPDX");
  EXPECT_EQ(HoldIndices(), (std::vector<std::pair<int, int>>{{5, 5}}));
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);

  F().ActiveFlightPlanLastIndex = -1;
  CopyActiveToPendingPlan();
  EXPECT_EQ(F().PendingFlightPlanLastIndex, -1);
  EXPECT_EQ(F().PendingFlightPlan[0].ident, "******");
}

TEST_F(ClearTest, FixInfoEntriesClearOneOrBoth) {
  for (int e = 1; e <= 2; ++e) {
    model::FixInfoRecord& r = F().FixInfoTable[e];
    r.ident = "SEA";
    r.kind = "V";
    r.latitude = -1.5;
    r.longitude = -179.5;
    r.rows[2] = {360.0, 25.0};
  }
  ClearFixInfoEntries(2);
  EXPECT_EQ(F().FixInfoTable[1].ident, "SEA");
  EXPECT_EQ(F().FixInfoTable[1].rows[2].radial, 360.0);
  EXPECT_EQ(F().FixInfoTable[2].ident, "");
  EXPECT_EQ(F().FixInfoTable[2].kind, "V");
  EXPECT_EQ(F().FixInfoTable[2].latitude, 0.0);
  EXPECT_EQ(F().FixInfoTable[2].rows[2].distance, 0.0);
  ClearFixInfoEntries(0);
  EXPECT_EQ(F().FixInfoTable[1].ident, "");
  EXPECT_EQ(F().FixInfoTable[1].longitude, 0.0);
  EXPECT_EQ(F().FixInfoTable[1].kind, "V");
}

}  // namespace
}  // namespace ovi::flightplan::test
