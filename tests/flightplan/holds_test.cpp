// Holds attached to route waypoints: the sorted table, its two waypoint
// indices through edits, execution and erasure, deletion and its marks.
#include "src/flightplan/holds.h"

#include <gtest/gtest.h>

#include "src/flightplan/route_edit.h"
#include "src/host/module_state.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/airways.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/state.h"
#include "tests/flightplan/route_support.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::flightplan::test {
namespace {

using Pairs = std::vector<std::pair<int, int>>;
using Numbers = std::vector<unsigned>;

model::State& M() { return model::model_state; }
fms::State& Fms() { return fms::fms_state; }

const Strings kRoute = {"KSEA", "A", "B", "C", "D", "E", "F", "G", "H", "KPDX"};

using HoldTest = RouteTest;

TEST_F(HoldTest, TheTableStaysInRouteOrderWithTheWaypointsNumbered) {
  MakePending(kRoute);
  // C (3) lies due north of B (2), south of the equator, by the date line.
  F().PendingFlightPlan[2].latitude = -10.0;
  F().PendingFlightPlan[2].longitude = 179.9;
  F().PendingFlightPlan[3].latitude = -9.0;
  F().PendingFlightPlan[3].longitude = 179.9;
  G().MagneticVariation = -15.0;
  ASSERT_TRUE(AddHoldAtWaypoint(5, 0));
  ASSERT_TRUE(AddHoldAtWaypoint(8, 0));
  ASSERT_TRUE(AddHoldAtWaypoint(3, 0));
  EXPECT_EQ(HoldIndices(), (Pairs{{3, 3}, {5, 5}, {8, 8}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 9), (Numbers{0, 0, 0, 1, 0, 2, 0, 0, 3, 0}));
  const model::HoldingPattern& h = F().HoldTable[1];
  EXPECT_EQ(h.name, "C");
  EXPECT_EQ(h.corners[0].latitude, -9.0);
  EXPECT_EQ(h.corners[0].longitude, 179.9);
  // Due north is 360; less a westerly variation it is kept unwrapped.
  EXPECT_NEAR(h.inbound_course, 375.0, 1e-6);
  EXPECT_EQ(h.turn_side, 1);
  EXPECT_EQ(h.time_based, 1);
  EXPECT_EQ(h.leg_time, 1.0);
  EXPECT_EQ(F().HoldTable[3].name, "H");
  EXPECT_EQ(G().ActiveHoldIndex, 1);
  EXPECT_EQ(M().FmsSubPageTable.RteHoldSubPageCount, 3);
}

TEST_F(HoldTest, AtMostEightHoldsOnWaypointsOfTheRoute) {
  MakePending(kRoute);
  for (int w = 1; w <= 8; ++w) ASSERT_TRUE(AddHoldAtWaypoint(w, 0)) << w;
  EXPECT_FALSE(AddHoldAtWaypoint(9, 0));
  EXPECT_EQ(F().HoldCount, 8);
  EXPECT_EQ(F().PendingFlightPlan[9].hold_number, 0u);
  EXPECT_EQ(F().HoldTable.refused(), 0);
  ResetModuleState();
  MakePending(kRoute);
  EXPECT_FALSE(AddHoldAtWaypoint(0, 0));   // the origin
  EXPECT_FALSE(AddHoldAtWaypoint(10, 0));  // past the last waypoint
  EXPECT_TRUE(AddHoldAtWaypoint(9, 0));    // the last one
}

TEST_F(HoldTest, OnlyAnExecutedRouteIsSteppedByANewHold) {
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 4}};
  for (auto [from, to] : cases) {
    ResetModuleState();
    MakePending(kRoute);
    F().RouteState = from;
    M().FmsSubPageTable.RteHoldSubPage = 7;
    ASSERT_TRUE(AddHoldAtWaypoint(4, 1));
    EXPECT_EQ(F().RouteState, to) << from;
    EXPECT_EQ(M().FmsSubPageTable.RteHoldSubPage, from == 3 ? 1 : 7) << from;
  }
  F().RouteState = 3;
  ASSERT_TRUE(AddHoldAtWaypoint(5, 0));
  EXPECT_EQ(F().RouteState, 3);
}

TEST_F(HoldTest, TwoHoldsOnOneWaypointMoveAndGoOneAtATime) {
  MakePending(kRoute);
  PutHold(1, 4, 4);
  PutHold(2, 4, 4);
  RenumberHoldActiveIndex(6, 4);
  RenumberHoldPendingIndex(7, 4);
  EXPECT_EQ(HoldIndices(), (Pairs{{6, 7}, {4, 4}}));
  RenumberHoldActiveIndex(1, 9);  // no hold there: nothing
  RenumberHoldPendingIndex(1, 0);  // 0 is no waypoint
  EXPECT_EQ(HoldIndices(), (Pairs{{6, 7}, {4, 4}}));
  PutHold(1, 4, 4);
  DeleteHold(4, 0);
  EXPECT_EQ(HoldIndices(), (Pairs{{4, 4}}));
}

TEST_F(HoldTest, DeletingMovesLaterHoldsAndTheirWaypointsDown) {
  MakePending(kRoute);
  for (int w : {3, 5, 8}) ASSERT_TRUE(AddHoldAtWaypoint(w, 0));
  F().RouteState = 3;
  Fms().FmsHoldWaypointIndex = 3;
  M().PanelMessage = "HOLD AT C";
  DeleteHold(3, 0);
  EXPECT_EQ(HoldIndices(), (Pairs{{5, 5}, {8, 8}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 9), (Numbers{0, 0, 0, 0, 0, 1, 0, 0, 2, 0}));
  EXPECT_EQ(F().RouteState, 3);  // mode 0 does not step
  EXPECT_EQ(Fms().FmsHoldWaypointIndex, 0);
  EXPECT_EQ(M().PanelMessage, "");
  EXPECT_EQ(M().FmsSubPageTable.RteHoldSubPageCount, 2);

  // Mode 2 marks the hold for EXEC: the table keeps it.
  DeleteHold(8, 2);
  EXPECT_EQ(F().HoldCount, 2);
  EXPECT_EQ(F().PendingFlightPlan[8].hold_number, 0u);
  EXPECT_EQ(F().RouteState, 4);
  DeleteHold(8, 2);
  EXPECT_EQ(F().RouteState, 4);  // a second edit keeps the modification open

  // The last hold leaves RTE HOLD for RTE LEGS.
  Fms().FmsPage = fms::kPageRteHold;
  DeleteHold(5, 1);
  DeleteHold(8, 0);
  EXPECT_EQ(F().HoldCount, 0);
  EXPECT_EQ(G().ActiveHoldIndex, 0);
  EXPECT_EQ(Fms().FmsPage, fms::kPageRteLegs);
}

TEST_F(HoldTest, OnlyTheHoldBeingFlownLosesItsRacetrack) {
  MakePending(kRoute);
  for (int w : {3, 5}) ASSERT_TRUE(AddHoldAtWaypoint(w, 0));
  G().HoldSegmentCounter = 2;
  DeleteHold(5, 0);
  EXPECT_EQ(G().HoldSegmentCounter, 2u);
  EXPECT_EQ(G().HoldState, 0);
  EXPECT_EQ(G().ActiveHoldIndex, 1);
  DeleteHold(3, 0);
  EXPECT_EQ(G().HoldState, 4);
  EXPECT_EQ(G().HoldSegmentCounter, 0u);
  EXPECT_EQ(G().ActiveHoldIndex, 0);
}

TEST_F(HoldTest, SaveAndRestoreMoveTheLiveIndex) {
  PutHold(1, 4, 0);
  PutHold(2, 6, 7);
  RestoreHoldIndices();
  EXPECT_EQ(HoldIndices(), (Pairs{{4, 0}, {7, 0}}));
  SaveHoldIndices();
  EXPECT_EQ(HoldIndices(), (Pairs{{4, 4}, {7, 7}}));
}

// A modification of the executed route: the hold rides along with its
// waypoint, and leaves only when a modification that removed it is executed.
TEST_F(HoldTest, AHoldFollowsItsWaypointThroughAModification) {
  MakeActive({"KSEA", "A", "B", "C", "KPDX"});
  PutActiveHold(1, 2);
  PutActiveHold(2, 3);
  F().ActiveWaypointIndex = 1;
  F().RouteState = 3;

  CopyActiveToPendingPlan();
  model::NavDbRecord& x = navdb::entry_state.WaypointCandidateList[1];
  x.ident = "X";
  x.kind = "I";
  ASSERT_TRUE(InsertCandidateIntoPending(1));
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "X", "DISCO", "A", "B", "C", "KPDX"}));
  EXPECT_EQ(HoldIndices(), (Pairs{{2, 4}, {3, 5}}));
  ASSERT_TRUE(RemovePendingWaypoints(2, 5));  // DISCO, A, B
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "X", "C", "KPDX"}));
  EXPECT_EQ(HoldIndices(), (Pairs{{2, -1}, {3, 2}}));
  EXPECT_EQ(F().RouteState, 4);

  // Erased: the active route was never touched and both holds come back.
  CopyActiveToPendingPlan();
  EXPECT_EQ(HoldIndices(), (Pairs{{2, 2}, {3, 3}}));

  // Done again and executed: B's hold goes, C's stands on C's new place.
  ASSERT_TRUE(RemovePendingWaypoints(1, 3));  // A, B
  for (int i = 0; i <= F().PendingFlightPlanLastIndex; ++i) F().ActiveFlightPlan[i] = F().PendingFlightPlan[i];
  F().ActiveFlightPlanLastIndex = F().PendingFlightPlanLastIndex;
  RestoreHoldIndices();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "C", "KPDX"}));
  EXPECT_EQ(HoldIndices(), (Pairs{{1, 0}}));
  EXPECT_EQ(F().HoldTable[1].name, "");  // put in by hand above
  EXPECT_EQ(HoldNumbers(F().ActiveFlightPlan, 2), (Numbers{0, 1, 0}));
}

// Due east along the equator across 180 degrees: 90 true; an easterly
// variation larger than that leaves the inbound course below 0.
TEST_F(HoldTest, TheInboundCourseIsKeptUnwrappedBelowZero) {
  MakePending({"KSEA", "WEST", "EAST", "KPDX"});
  F().PendingFlightPlan[1].latitude = 0.0;
  F().PendingFlightPlan[1].longitude = 179.9;
  F().PendingFlightPlan[2].latitude = 0.0;
  F().PendingFlightPlan[2].longitude = -179.9;
  G().MagneticVariation = 95.0;
  ASSERT_TRUE(AddHoldAtWaypoint(2, 0));
  const model::HoldingPattern& h = F().HoldTable[1];
  EXPECT_EQ(h.name, "EAST");
  EXPECT_NEAR(h.inbound_course, -5.0, 1e-9);
  EXPECT_EQ(h.corners[0].longitude, -179.9);
}

// Eight holds added from the end of the route backwards sort into route
// order; the exchange slot stays empty, a ninth is refused, and a deletion
// makes room again with the later waypoints renumbered.
TEST_F(HoldTest, EightHoldsAddedBackwardsEndInRouteOrder) {
  MakePending(kRoute);
  for (int w = 8; w >= 1; --w) ASSERT_TRUE(AddHoldAtWaypoint(w, 0)) << w;
  Pairs in_order;
  for (int w = 1; w <= 8; ++w) in_order.emplace_back(w, w);
  EXPECT_EQ(HoldIndices(), in_order);
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 9), (Numbers{0, 1, 2, 3, 4, 5, 6, 7, 8, 0}));
  EXPECT_EQ(F().HoldTable[8].name, "H");
  EXPECT_EQ(F().HoldTable[9].name, "");
  EXPECT_EQ(F().HoldTable[9].active_index, 0);
  EXPECT_FALSE(AddHoldAtWaypoint(9, 0));

  DeleteHold(4, 0);
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 9), (Numbers{0, 1, 2, 3, 0, 4, 5, 6, 7, 0}));
  EXPECT_EQ(F().HoldTable[4].name, "E");
  ASSERT_TRUE(AddHoldAtWaypoint(9, 0));
  EXPECT_EQ(F().HoldTable[8].name, "KPDX");
  EXPECT_EQ(F().PendingFlightPlan[9].hold_number, 8u);
  EXPECT_FALSE(AddHoldAtWaypoint(4, 0));
  EXPECT_EQ(M().FmsSubPageTable.RteHoldSubPageCount, 8);
  EXPECT_EQ(F().HoldTable.refused(), 0);
}

// A hold added while the pending route has moved against the active one
// sorts by its active index; both routes keep showing each hold's number.
TEST_F(HoldTest, AHoldAddedToAModifiedRouteSortsWithTheHoldsItMoved) {
  MakeActive(kRoute);
  PutActiveHold(1, 4);
  F().HoldTable[1].name = "D";
  F().RouteState = 3;
  CopyActiveToPendingPlan();
  model::NavDbRecord& x = navdb::entry_state.WaypointCandidateList[1];
  x.ident = "X";
  x.kind = "I";
  ASSERT_TRUE(InsertCandidateIntoPending(1));  // X, DISCO: D moves to 6
  ASSERT_TRUE(AddHoldAtWaypoint(3, 1));        // A
  EXPECT_EQ(HoldIndices(), (Pairs{{3, 3}, {4, 6}}));
  EXPECT_EQ(F().HoldTable[1].name, "A");
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 11), (Numbers{0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0, 0}));
  EXPECT_EQ(F().ActiveFlightPlan[4].hold_number, 2u);
  EXPECT_EQ(F().RouteState, 4);

  // Executed: both holds stand on their pending waypoints.
  for (int i = 0; i <= 11; ++i) F().ActiveFlightPlan[i] = F().PendingFlightPlan[i];
  F().ActiveFlightPlanLastIndex = 11;
  RestoreHoldIndices();
  EXPECT_EQ(HoldIndices(), (Pairs{{3, 0}, {6, 0}}));
  EXPECT_EQ(HoldNumbers(F().ActiveFlightPlan, 11), (Numbers{0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0, 0}));
}

// The middle one of three holds loses its waypoint in a modification: at
// EXEC it leaves the table and the hold after it takes its number.
TEST_F(HoldTest, ExecutingARemovalDropsTheMiddleHoldAndRenumbersTheNext) {
  MakePending(kRoute);
  for (int w : {2, 4, 6}) ASSERT_TRUE(AddHoldAtWaypoint(w, 0));
  for (int i = 0; i <= 9; ++i) F().ActiveFlightPlan[i] = F().PendingFlightPlan[i];
  F().ActiveFlightPlanLastIndex = 9;
  RestoreHoldIndices();
  F().RouteState = 3;

  CopyActiveToPendingPlan();
  ASSERT_TRUE(RemovePendingWaypoints(4, 5));  // D
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B", "C", "E", "F", "G", "H", "KPDX"}));
  EXPECT_EQ(HoldIndices(), (Pairs{{2, 2}, {4, -1}, {6, 5}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 8), (Numbers{0, 0, 1, 0, 0, 3, 0, 0, 0}));

  for (int i = 0; i <= 8; ++i) F().ActiveFlightPlan[i] = F().PendingFlightPlan[i];
  F().ActiveFlightPlanLastIndex = 8;
  RestoreHoldIndices();
  EXPECT_EQ(HoldIndices(), (Pairs{{2, 0}, {5, 0}}));
  EXPECT_EQ(F().HoldTable[2].name, "F");
  EXPECT_EQ(HoldNumbers(F().ActiveFlightPlan, 8), (Numbers{0, 0, 1, 0, 0, 2, 0, 0, 0}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 8), (Numbers{0, 0, 1, 0, 0, 2, 0, 0, 0}));
  EXPECT_EQ(M().FmsSubPageTable.RteHoldSubPageCount, 2);
}

class AirwayHoldTest : public navdb::test::SampleRegionTest {};

TEST_F(AirwayHoldTest, AnAirwaySegmentMovesHoldsAndTheTrackedIndex) {
  MakePending({"KSEA", "SEA", "BLI", "KBLI"});
  for (int i : {1, 2}) {  // the airway's own VORs, where the database has them
    model::FlightPlanWaypoint& w = F().PendingFlightPlan[i];
    const navdb::State& db = navdb::navdb_state;
    for (int n = 1; n <= db.NavaidCount; ++n) {
      if (db.NavaidTable[n].ident != w.ident) continue;
      w.latitude = db.NavaidTable[n].latitude;
      w.longitude = db.NavaidTable[n].longitude;
    }
  }
  PutHold(1, 2, 2);
  F().PendingFlightPlan[2].hold_number = 1;
  F().PendingActiveWaypointIndex = 2;
  navdb::entry_state.PendingPlanOpen = 1;
  F().EditWaypointIndex = 1;
  navdb::ListAirwayFixes("#V23");
  navdb::entry_state.SelectedAirwayIndex = 10;  // PAE
  ASSERT_EQ(navdb::InsertAirwayLegs(), 3);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "ALKIA", "MALAY", "PAE", "BLI", "KBLI"}));
  EXPECT_EQ(HoldIndices(), (Pairs{{2, 5}}));
  EXPECT_EQ(F().PendingFlightPlan[5].hold_number, 1u);
  EXPECT_EQ(F().PendingActiveWaypointIndex, 5);
}

}  // namespace
}  // namespace ovi::flightplan::test
