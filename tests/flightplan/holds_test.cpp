// Holds attached to route waypoints: the sorted table, its two waypoint
// indices through edits, execution and erasure, deletion and its marks.
#include "src/flightplan/holds.h"

#include <gtest/gtest.h>

#include <random>

#include "src/flightplan/execute.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/instruments/fms/route_legs_edit.h"
#include "src/navdb/procedure_state.h"
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

// One waypoint carries one hold: HOLD AT a held waypoint shows its hold for
// editing, and a merge of two held entries of one fix keeps the survivor's.
// A hold that shared a waypoint would stay behind at the next insertion
// while the waypoint shows its number.
TEST_F(HoldTest, AWaypointCarriesOneHold) {
  MakePending(kRoute);
  ASSERT_TRUE(AddHoldAtWaypoint(5, 1));
  F().HoldTable[1].leg_time = 2.0;
  M().FmsSubPageTable.RteHoldSubPage = 0;
  EXPECT_TRUE(AddHoldAtWaypoint(5, 1));
  EXPECT_EQ(F().HoldCount, 1);
  EXPECT_EQ(F().HoldTable[1].leg_time, 2.0);
  EXPECT_EQ(M().FmsSubPageTable.RteHoldSubPage, 1);

  // C and D both named X and both held: merged, D's hold stays on X.
  ASSERT_TRUE(AddHoldAtWaypoint(3, 0));
  ASSERT_TRUE(AddHoldAtWaypoint(4, 0));
  ASSERT_EQ(HoldNumbers(F().PendingFlightPlan, 9), (Numbers{0, 0, 0, 1, 2, 3, 0, 0, 0, 0}));
  F().PendingFlightPlan[3].ident = F().PendingFlightPlan[4].ident = "X";
  MergeIntoNext(PendingPlan(), 3);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B", "X", "E", "F", "G", "H", "KPDX"}));
  EXPECT_EQ(HoldIndices(), (Pairs{{3, -1}, {4, 3}, {5, 4}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 8), (Numbers{0, 0, 0, 2, 3, 0, 0, 0, 0}));
  model::NavDbRecord& y = navdb::entry_state.WaypointCandidateList[1];
  y.ident = "Y";
  y.kind = "I";
  ASSERT_TRUE(InsertCandidateIntoPending(1));  // Y and a DISCO before everything
  EXPECT_EQ(HoldIndices(), (Pairs{{3, -1}, {4, 5}, {5, 6}}));
  EXPECT_EQ(HoldBreach(), "");
}

// Seeded random edits of the flown route as the pages make them (an entry,
// a removal, an airway marker and its compaction, an airway segment, SID,
// STAR and approach splices, a direct-to, holds added and marked, a leg
// deleted), EXEC and ERASE: after every step the holds agree with both
// routes, and ERASE gives back the route and the holds of the last EXEC.
class HoldSequenceTest : public navdb::test::SampleRegionTest {};

struct Flown {
  Strings idents;
  Numbers numbers;
  std::vector<std::pair<std::string, int>> holds;
  bool operator==(const Flown&) const = default;
};

void PrintTo(const Flown& f, std::ostream* os) {
  for (std::size_t i = 0; i < f.idents.size(); ++i) *os << f.idents[i] << (f.numbers[i] ? "#" + std::to_string(f.numbers[i]) : "") << " ";
  *os << "| holds";
  for (const auto& [name, index] : f.holds) *os << " " << name << "@" << index;
}

Flown FlownRoute() {
  Flown f;
  f.idents = ActiveIdents();
  f.numbers = HoldNumbers(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex);
  for (int k = 1; k <= F().HoldCount; ++k) f.holds.emplace_back(F().HoldTable[k].name, F().HoldTable[k].active_index);
  return f;
}

TEST_F(HoldSequenceTest, HoldsStayWholeThroughRandomEdits) {
  navdb::EntryState& e = navdb::entry_state;
  navdb::ProcedureState& ps = navdb::procedure_state;
  e.PendingPlanOpen = 1;
  F().EditWaypointIndex = 0;
  navdb::ListAirwayFixes("#V23");
  std::vector<model::NavDbRecord> fixes;
  for (int i = 1; i <= e.WaypointCandidateCount; ++i) fixes.push_back(e.WaypointCandidateList[i]);
  ASSERT_EQ(fixes.size(), 14u);
  model::AirportProcedureSet& origin = ps.AirportProcedureSets[1];
  origin.AirportIdent = "KSEA";
  origin.AirportLatitude = 47.449;
  origin.AirportLongitude = -122.3093;
  model::AirportProcedureSet& destination = ps.AirportProcedureSets[2];
  destination.AirportIdent = "KPDX";
  destination.AirportLatitude = 45.5887;
  destination.AirportLongitude = -122.5975;
  // Airborne: no new flight starts, and nothing is written.
  G().GroundSpeedKnots = 250.0;
  G().AircraftAltitude = 10000.0;

  // KSEA, OLM, SEA, PAE, KPDX, activated and executed.
  auto put = [](model::FlightPlanWaypoint& w, const std::string& ident, double lat, double lon, const char* type) {
    BlankEntry(w);
    w.ident = ident;
    w.latitude = lat;
    w.longitude = lon;
    w.type = type;
  };
  model::FlightPlanTable& p = F().PendingFlightPlan;
  put(p[0], "KSEA", origin.AirportLatitude, origin.AirportLongitude, "APT");
  for (int i : {3, 6, 9}) put(p[i / 3], fixes[static_cast<std::size_t>(i)].ident, fixes[static_cast<std::size_t>(i)].latitude,
                              fixes[static_cast<std::size_t>(i)].longitude, "I");
  put(p[4], "KPDX", destination.AirportLatitude, destination.AirportLongitude, "APT");
  F().PendingFlightPlanLastIndex = 4;
  M().DestinationAirportIdent = "KPDX";
  M().OriginAirportIdent = "KSEA";
  F().ActiveWaypointIndex = 1;
  F().RouteState = 2;
  ExecutePendingRoute();
  Flown executed = FlownRoute();

  std::mt19937 rng(43);
  auto pick = [&rng](int n) { return n <= 1 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto row = [&](const char* role = "", const char* altitude = "-") {
    const model::NavDbRecord& fix = fixes[static_cast<std::size_t>(pick(14))];
    model::ProcedureListEntry r;
    r.fix_ident = fix.ident;
    r.latitude = fix.latitude;
    r.longitude = fix.longitude;
    r.role = role;
    r.altitude_text = altitude;
    return r;
  };
  int execs = 0, erases = 0;
  for (int step = 0; step < 10000; ++step) {
    const int last = F().PendingFlightPlanLastIndex;
    const int kind = pick(100);
    std::string what;
    // A page opens a modification first; the RTE and LEGS pages already
    // have a copy when they open, so the edit itself sometimes finds one.
    if (kind < 90 && pick(4) != 0) BeginRouteModification();
    if (kind < 18) {
      what = "insert";
      e.WaypointCandidateList[1] = fixes[static_cast<std::size_t>(pick(14))];
      e.WaypointCandidateCount = 1;
      // Long routes are cut back rather than grown.
      if (last < 40) InsertCandidateIntoPending(1 + pick(last + 1));
    } else if (kind < 28) {
      what = "remove";
      const int first = 1 + pick(last);
      RemovePendingWaypoints(first, first + pick(std::min(last + 2 - first, 6)));
    } else if (kind < 34) {
      what = "airway marker";
      M().FmsScratchpad = "V23";
      if (last < 40) InsertAirwayViaPending(1 + pick(last + 1));
    } else if (kind < 38) {
      what = "compact";
      CompactPendingPlan();
    } else if (kind < 46) {
      what = "airway";
      F().EditWaypointIndex = 1 + pick(last);
      navdb::ListAirwayFixes("#V23");
      if (e.AirwayStartIndex > 0 && last < 40) {
        e.SelectedAirwayIndex = 1 + pick(14);
        e.AirwayInsertPending = 1;
        navdb::InsertAirwayLegs();
        e.AirwayInsertPending = 0;
      }
    } else if (kind < 54) {
      what = "SID";
      ps.SidLegCount = 1 + pick(3);
      for (int r = 1; r <= ps.SidLegCount; ++r) ps.SidList[r] = row();
      F().EditWaypointIndex = pick(20) == 0 ? model::kNoWaypoint : 1;
      InsertSidIntoPendingPlan();
    } else if (kind < 61) {
      what = "STAR";
      ps.StarLegCount = 1 + pick(3);
      for (int r = 1; r <= ps.StarLegCount; ++r) ps.StarList[r] = row();
      InsertStarIntoPendingPlan();
    } else if (kind < 67) {
      what = "approach";
      ps.ApproachLegCount = 2;
      ps.ApproachList[1] = row("IAF", "5000");
      ps.ApproachList[2] = row("FAF", "-");
      InsertApproachIntoPendingPlan(pick(2));
    } else if (kind < 77) {
      what = "hold";
      AddHoldAtWaypoint(1 + pick(last), 1);
    } else if (kind < 83) {
      what = "hold marked";
      const int i = 1 + pick(last);
      const unsigned n = i <= last ? F().PendingFlightPlan[i].hold_number : 0;
      if (n != 0) {
        fms::fms_state.FmsHoldWaypointIndex = F().HoldTable[static_cast<int>(n)].active_index;
        DeleteHold(i, 2);
      }
    } else if (kind < 87) {
      what = "direct-to";
      const int active = F().ActiveWaypointIndex;
      if (active >= 1 && active < last) RemovePendingWaypoints(active, active + 1 + pick(last - active));
    } else if (kind < 90) {
      what = "leg deleted";
      fms::DeleteRouteLegEntry(1 + pick(last), pick(2));
    } else if (kind < 96) {
      what = "EXEC";
      if (F().RouteState == 4) {
        ExecutePendingRoute();
        // A route of fewer than two entries is not executed.
        if (F().RouteState == 3) {
          executed = FlownRoute();
          ++execs;
        }
      }
    } else {
      what = "ERASE";
      if (F().RouteState == 4) {
        ResetRouteData();
        ++erases;
        ASSERT_EQ(FlownRoute(), executed) << "step " << step;
        ASSERT_EQ(PendingIdents(), ActiveIdents()) << "step " << step;
      }
    }
    // The pages step the route state after their edit.
    if (kind < 90 && F().RouteState == 3) StepRouteState();
    ASSERT_EQ(HoldBreach(), "") << "step " << step << ", " << what << ", state " << F().RouteState;
  }
  EXPECT_GT(execs, 300);
  EXPECT_GT(erases, 100);
}

}  // namespace
}  // namespace ovi::flightplan::test
