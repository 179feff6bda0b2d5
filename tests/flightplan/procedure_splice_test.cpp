// SID, STAR and approach splices on the active and the pending plan: whole
// plans after each splice (idents, types, tags, constraints), replacing an
// earlier procedure, merging repeated fixes, holds and tracked indices that
// follow their waypoints, and splices at the 200-entry limit.
#include "src/flightplan/procedure_splice.h"

#include <random>

#include <gtest/gtest.h>

#include "src/instruments/gnsxls/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/state.h"
#include "tests/flightplan/route_support.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::flightplan::test {
namespace {

using Pairs = std::vector<std::pair<int, int>>;

navdb::ProcedureState& P() { return navdb::procedure_state; }

// The plan as "IDENT TYPE TAG" lines, entries 0..last.
Strings Lines(const model::FlightPlanTable& plan, int last) {
  Strings out;
  for (int i = 0; i <= last; ++i) out.push_back(plan[i].ident + " " + plan[i].type + " " + plan[i].procedure_tag);
  return out;
}
Strings PendingLines() { return Lines(F().PendingFlightPlan, F().PendingFlightPlanLastIndex); }
Strings ActiveLines() { return Lines(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex); }

model::ProcedureListEntry Row(const std::string& fix, double lat, double lon, const std::string& via = "",
                              const std::string& role = "", const std::string& altitude = "-") {
  model::ProcedureListEntry r;
  r.fix_ident = fix;
  r.latitude = lat;
  r.longitude = lon;
  r.via_text = via;
  r.role = role;
  r.altitude_text = altitude;
  return r;
}

void SetSid(const std::vector<model::ProcedureListEntry>& rows) {
  P().SidLegCount = static_cast<int>(rows.size());
  for (int r = 1; r <= P().SidLegCount; ++r) P().SidList[r] = rows[static_cast<std::size_t>(r - 1)];
}
void SetStar(const std::vector<model::ProcedureListEntry>& rows) {
  P().StarLegCount = static_cast<int>(rows.size());
  for (int r = 1; r <= P().StarLegCount; ++r) P().StarList[r] = rows[static_cast<std::size_t>(r - 1)];
}
void SetApproach(const std::vector<model::ProcedureListEntry>& rows) {
  P().ApproachLegCount = static_cast<int>(rows.size());
  for (int r = 1; r <= P().ApproachLegCount; ++r) P().ApproachList[r] = rows[static_cast<std::size_t>(r - 1)];
}

void Tag(model::FlightPlanTable& plan, int i, const char* tag, const char* type = "INT") {
  plan[i].procedure_tag = tag;
  plan[i].type = type;
}

class SpliceTest : public RouteTest {
 protected:
  void SetUp() override {
    RouteTest::SetUp();
    folder_ = std::make_unique<navdb::test::ScratchFolder>();
    folder_->Write("navs.txt",
                   "SEA   47.4353 -122.3097 V 354 116.80 SEATTLE VORTAC\n"
                   "ELN   47.0242 -120.4572 N 1770 362 ELLENSBURG NDB\n"
                   "ELN   47.0245 -120.4535 V 1760 117.90 ELLENSBURG VORTAC\n"
                   "BF    47.5300 -122.3000 N 10 338 BOEING NDB\n");
    navdb::LoadNavDatabase();
    ASSERT_EQ(navdb::navdb_state.NavaidCount, 4);
    model::AirportProcedureSet& origin = P().AirportProcedureSets[1];
    origin.AirportIdent = "KSEA";
    origin.AirportLatitude = 47.449;
    origin.AirportLongitude = -122.3093;
    model::AirportProcedureSet& dest = P().AirportProcedureSets[2];
    dest.AirportIdent = "KPDX";
    dest.AirportLatitude = 45.5887;
    dest.AirportLongitude = -122.5975;
  }
  std::unique_ptr<navdb::test::ScratchFolder> folder_;
};

// ---- SID --------------------------------------------------------------------

using SidTest = SpliceTest;

TEST_F(SidTest, AnOriginAloneReceivesTheLegsTypedAsNavaids) {
  MakePending({"KSEA"});
  F().EditWaypointIndex = 0;
  gnsxls::gnsxls_state.GnsDepartureSelection = 1;
  SetSid({Row("SEA", 47.4353, -122.3097), Row("FOURT", 47.35, -122.306, "SEA4"),
          Row("ELN", 47.0245, -120.4535, "SEA4"), Row("BF", 47.53, -122.30, "SEA4")});
  InsertSidIntoPendingPlan();
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "SEA VOR SID", "FOURT  SID", "ELN VOR SID", "BF NDB SID"}));
  const model::FlightPlanTable& p = F().PendingFlightPlan;
  EXPECT_EQ(p[1].frequency_text, "116.80");
  EXPECT_EQ(p[2].frequency_text, "");
  EXPECT_EQ(p[3].frequency_text, "117.90");  // the VOR of a station listed as NDB and VOR
  EXPECT_EQ(p[4].frequency_text, "338");
  EXPECT_EQ(p[1].via, "");
  EXPECT_EQ(p[2].via, "SEA4");
  EXPECT_EQ(p[2].altitude_constraint, model::kNoValue);
  EXPECT_EQ(p[2].value3, -1.0);
  EXPECT_DOUBLE_EQ(p[0].latitude, 47.449);
  EXPECT_EQ(p[5].ident, "******");
  EXPECT_EQ(gnsxls::gnsxls_state.GnsDepartureSelection, 0);
}

TEST_F(SidTest, ANewPlanKeepsOnlyTheOrigin) {
  MakePending({"KSEA", "A", "B", "KPDX"});
  F().EditWaypointIndex = model::kNoWaypoint;
  SetSid({Row("N1", 47.3, -122.3)});
  InsertSidIntoPendingPlan();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "N1"}));
}

TEST_F(SidTest, ANewDepartureReplacesTheOldOneAndTheRouteKeepsItsHolds) {
  MakePending({"KSEA", "S1", "S2", "A", "B", "KPDX"});
  Tag(F().PendingFlightPlan, 1, "SID");
  Tag(F().PendingFlightPlan, 2, "SID");
  F().EditWaypointIndex = 1;
  F().HoldCount = 2;
  F().HoldTable[1].active_index = F().HoldTable[1].pending_index = 2;
  F().HoldTable[2].active_index = F().HoldTable[2].pending_index = 4;
  F().PendingFlightPlan[2].hold_number = 1;
  F().PendingFlightPlan[4].hold_number = 2;
  F().PendingActiveWaypointIndex = 4;
  SetSid({Row("N1", 47.3, -122.3), Row("N2", 47.2, -122.3), Row("N3", 47.1, -122.3)});
  InsertSidIntoPendingPlan();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "N1", "N2", "N3", "A", "B", "KPDX"}));
  // S2's hold lost its waypoint (it leaves the table at EXEC); B's follows B.
  EXPECT_EQ(HoldIndices(), (Pairs{{2, -1}, {4, 5}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 6), (std::vector<unsigned>{0, 0, 0, 0, 0, 2, 0}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 5);
}

TEST_F(SidTest, WithoutAnEnRoutePartTheLegsAreOverwrittenInPlace) {
  MakePending({"KSEA", "S1", "S2", "S3"});
  for (int i = 1; i <= 3; ++i) Tag(F().PendingFlightPlan, i, "SID");
  F().EditWaypointIndex = 1;
  SetSid({Row("N1", 47.3, -122.3), Row("N2", 47.2, -122.3)});
  InsertSidIntoPendingPlan();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "N1", "N2", "S3"}));

  // A SID without legs only drops the old departure and rewrites the origin.
  MakePending({"XXXX", "S1", "A", "KPDX"});
  Tag(F().PendingFlightPlan, 1, "SID");
  P().SidLegCount = 0;
  InsertSidIntoPendingPlan();
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "A INT ", "KPDX INT "}));
}

TEST_F(SidTest, ARepeatedFixLeavesTheEnRouteEntryOnce) {
  MakePending({"KSEA", "A", "X", "X", "X", "KPDX"});
  model::FlightPlanWaypoint& a = F().PendingFlightPlan[1];
  a.via = "J1";
  a.altitude_constraint = 5000.0;
  a.constraint_flag = 1;
  F().EditWaypointIndex = 1;
  SetSid({Row("N1", 47.3, -122.3, ""), Row("A", 47.2, -122.3, "SEA4")});
  InsertSidIntoPendingPlan();
  // A: the SID's copy goes, the route's own entry stays; of X X X one goes.
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "N1  SID", "A INT ", "X INT ", "X INT ", "KPDX INT "}));
  EXPECT_EQ(F().PendingFlightPlan[2].via, "J1");
  EXPECT_EQ(F().PendingFlightPlan[2].altitude_constraint, 5000.0);
  EXPECT_EQ(F().PendingFlightPlan[2].constraint_flag, 1u);
}

TEST_F(SidTest, TheActivePlanFliesToTheRouteWhileItsIndicesFollow) {
  MakeActive({"KSEA", "S1", "A", "B", "KPDX"});
  Tag(F().ActiveFlightPlan, 1, "SID");
  F().ActiveFlightPlan[0].type = "";  // the origin as a plain entry: details are asked for
  F().ActiveFlightPlan[0].flyover = 1;
  F().ActiveWaypointIndex = 3;
  G().NextConstraintIndex = 3;
  G().ActiveLegFromEngagePosition = 1;
  F().HoldCount = 1;
  F().HoldTable[1].active_index = 3;
  F().ActiveFlightPlan[3].hold_number = 1;
  SetSid({Row("N1", 47.3, -122.3), Row("N2", 47.2, -122.3)});
  InsertSidIntoActivePlan();
  EXPECT_EQ(ActiveLines(), (Strings{"KSEA APT ", "N1  SID", "N2  SID", "A INT ", "B INT ", "KPDX INT "}));
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  // The active position is A's, where the route stood before the legs.
  EXPECT_DOUBLE_EQ(G().ActiveWaypointLat, 46.8);
  EXPECT_EQ(G().ActiveLegFromEngagePosition, 0);
  EXPECT_EQ(G().NextConstraintIndex, 4);
  EXPECT_EQ(HoldIndices(), (Pairs{{4, 0}}));
  EXPECT_EQ(F().ActiveFlightPlan[4].hold_number, 1u);
  EXPECT_EQ(F().ActiveFlightPlan[0].flyover, 0);
}

TEST_F(SidTest, LegsStopAtTheLastSlot) {
  MakePending(LongRoute(199));
  F().EditWaypointIndex = 1;
  SetSid({Row("N1", 47.3, -122.3), Row("N2", 47.2, -122.3), Row("N3", 47.1, -122.3)});
  InsertSidIntoPendingPlan();
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 200);
  EXPECT_EQ(F().PendingFlightPlan[1].ident, "N1");
  EXPECT_EQ(F().PendingFlightPlan[2].ident, "W1");
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "KPDX");
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

// The old departure goes, the legs go in, then the repeated en-route fix
// X X merges: the next constraint (on A, before the pair) and the hold (on
// the first X) stay with their waypoints. The origin as next constraint
// stays the origin.
TEST_F(SidTest, ActiveMergesLeaveTheNextConstraintOnItsWaypoint) {
  for (const int next_constraint : {2, 0}) {
    SpliceTest::SetUp();  // afresh for each case
    MakeActive({"KSEA", "S1", "A", "X", "X", "KPDX"});
    Tag(F().ActiveFlightPlan, 1, "SID");
    PutActiveHold(1, 3);
    F().ActiveWaypointIndex = 2;
    G().NextConstraintIndex = next_constraint;
    SetSid({Row("N1", 47.3, -122.3), Row("N2", 47.2, -122.3)});
    InsertSidIntoActivePlan();
    EXPECT_EQ(ActiveLines(), (Strings{"KSEA APT ", "N1  SID", "N2  SID", "A INT ", "X INT ", "KPDX INT "}));
    EXPECT_EQ(G().NextConstraintIndex, next_constraint == 2 ? 3 : 0);
    EXPECT_EQ(HoldIndices(), (Pairs{{4, 0}}));
    EXPECT_EQ(F().ActiveFlightPlan[4].hold_number, 1u);  // the surviving X shows the hold
    EXPECT_EQ(F().ActiveWaypointIndex, 1);
    EXPECT_DOUBLE_EQ(G().ActiveWaypointLat, 46.8);  // A's, where entry 1 stood before the legs
  }
}

// A departure put in front of an arrival that starts at its last fix: the
// SID's copy goes and the arrival's entry survives with its own tag.
TEST_F(SidTest, ADepartureEndingOnTheFirstArrivalFixLeavesTheArrivalEntry) {
  MakePending({"KSEA", "R1", "R2", "KPDX"});
  Tag(F().PendingFlightPlan, 1, "STAR");
  Tag(F().PendingFlightPlan, 2, "STAR");
  Tag(F().PendingFlightPlan, 3, "", "APT");
  F().EditWaypointIndex = 1;
  SetSid({Row("D1", 47.3, -122.3), Row("R1", 47.2, -122.3, "SEA4")});
  InsertSidIntoPendingPlan();
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "D1  SID", "R1 INT STAR", "R2 INT STAR", "KPDX APT "}));
}

// A full route with a departure of two legs takes two of four new legs:
// the en-route part, its hold and the tracked index all stay.
TEST_F(SidTest, AReplacementAtTheLimitTakesOnlyTheLegsThatFit) {
  MakePending(LongRoute(200));
  Tag(F().PendingFlightPlan, 1, "SID");
  Tag(F().PendingFlightPlan, 2, "SID");
  PutPendingHold(1, 200);
  F().PendingActiveWaypointIndex = 3;
  F().EditWaypointIndex = 1;
  SetSid({Row("N1", 47.3, -122.3), Row("N2", 47.2, -122.3), Row("N3", 47.1, -122.3), Row("N4", 47.0, -122.3)});
  InsertSidIntoPendingPlan();
  ASSERT_EQ(F().PendingFlightPlanLastIndex, 200);
  const model::FlightPlanTable& p = F().PendingFlightPlan;
  EXPECT_EQ(p[1].ident, "N1");
  EXPECT_EQ(p[2].ident, "N2");
  EXPECT_EQ(p[3].ident, "W3");
  EXPECT_EQ(p[199].ident, "W199");
  EXPECT_EQ(p[200].ident, "KPDX");
  EXPECT_EQ(p[200].hold_number, 1u);
  EXPECT_EQ(HoldIndices(), (Pairs{{200, 200}}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 3);
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

// ---- STAR -------------------------------------------------------------------

using StarTest = SpliceTest;

TEST_F(StarTest, TheLegsGoBetweenTheRouteAndTheDestination) {
  MakePending({"KSEA", "A", "B", "KPDX"});
  Tag(F().PendingFlightPlan, 3, "", "APT");
  F().PendingFlightPlan[3].latitude = 0.0;
  gnsxls::gnsxls_state.GnsArrivalSelection = 1;
  SetStar({Row("ELN", 47.0245, -120.4535), Row("R2", 45.7, -122.6, "LAVAA2")});
  InsertStarIntoPendingPlan();
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "A INT ", "B INT ", "ELN VOR STAR", "R2  STAR", "KPDX APT "}));
  const model::FlightPlanWaypoint& dest = F().PendingFlightPlan[5];
  EXPECT_DOUBLE_EQ(dest.latitude, 45.5887);  // written from the destination set
  EXPECT_EQ(dest.procedure_tag, "");
  EXPECT_EQ(F().PendingFlightPlan[4].via, "LAVAA2");
  EXPECT_EQ(gnsxls::gnsxls_state.GnsArrivalSelection, 0);
}

TEST_F(StarTest, ASecondStarRebuildsEverythingBehindTheRoute) {
  MakePending({"KSEA", "A", "R1", "R2", "P1", "KPDX"});
  Tag(F().PendingFlightPlan, 2, "STAR");
  Tag(F().PendingFlightPlan, 3, "STAR");
  Tag(F().PendingFlightPlan, 4, "APPR");
  Tag(F().PendingFlightPlan, 5, "", "APT");
  F().HoldCount = 1;
  F().HoldTable[1].pending_index = 4;  // on the approach, which goes
  F().PendingFlightPlan[5].altitude_constraint = 31.0;
  F().PendingActiveWaypointIndex = 5;  // on the destination: it stays there
  SetStar({Row("Q1", 45.9, -122.6), Row("Q2", 45.8, -122.6)});
  InsertStarIntoPendingPlan();
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "A INT ", "Q1  STAR", "Q2  STAR", "KPDX APT "}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 4);
  EXPECT_EQ(F().PendingFlightPlan[4].altitude_constraint, 31.0);
  EXPECT_EQ(HoldIndices(), (Pairs{{0, -1}}));

  // Without legs the arrival is only dropped.
  P().StarLegCount = 0;
  InsertStarIntoPendingPlan();
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "KPDX"}));
}

TEST_F(StarTest, AnApproachRightBehindTheRouteStaysAndMovesUp) {
  MakeActive({"KSEA", "A", "B", "P1", "P2", "KPDX"});
  Tag(F().ActiveFlightPlan, 3, "APPR");
  Tag(F().ActiveFlightPlan, 4, "APPR");
  Tag(F().ActiveFlightPlan, 5, "", "APT");
  F().ActiveFlightPlan[4].hold_number = 1;
  F().HoldCount = 1;
  F().HoldTable[1].active_index = 4;
  F().ActiveWaypointIndex = 4;
  G().NextConstraintIndex = 5;
  G().ActiveLegFromEngagePosition = 1;
  SetStar({Row("R1", 45.9, -122.6), Row("R2", 45.8, -122.6)});
  InsertStarIntoActivePlan();
  EXPECT_EQ(ActiveLines(),
            (Strings{"KSEA APT ", "A INT ", "B INT ", "R1  STAR", "R2  STAR", "P1 INT APPR", "P2 INT APPR", "KPDX APT "}));
  // The aircraft is turned back to the anchor B, which does not move.
  EXPECT_EQ(F().ActiveWaypointIndex, 2);
  EXPECT_DOUBLE_EQ(G().ActiveWaypointLat, 46.8);
  EXPECT_EQ(G().ActiveLegFromEngagePosition, 0);
  EXPECT_EQ(G().NextConstraintIndex, 7);
  EXPECT_EQ(HoldIndices(), (Pairs{{6, 0}}));
  EXPECT_EQ(F().ActiveFlightPlan[6].hold_number, 1u);
}

TEST_F(StarTest, AnActivePlanWithoutAnAnchorIsRebuiltFromTheFirstEntry) {
  MakeActive({"KSEA", "KPDX"});
  Tag(F().ActiveFlightPlan, 1, "", "APT");
  F().ActiveWaypointIndex = 1;
  G().NextConstraintIndex = 1;
  SetStar({Row("R1", 45.9, -122.6), Row("R2", 45.8, -122.6)});
  InsertStarIntoActivePlan();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "R1", "R2", "KPDX"}));
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_EQ(G().NextConstraintIndex, 3);  // ends on the destination

  // No active waypoint: the anchor becomes the active waypoint.
  MakeActive({"KSEA", "A", "B", "KPDX"});
  Tag(F().ActiveFlightPlan, 3, "", "APT");
  F().ActiveWaypointIndex = model::kNoWaypoint;
  InsertStarIntoActivePlan();
  EXPECT_EQ(F().ActiveWaypointIndex, 2);
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "A", "B", "R1", "R2", "KPDX"}));
}

// Without an anchor the arrival is rebuilt under the active waypoint: the
// waypoint at its index is a new one (flown to from its own position), or,
// past the new end, the destination.
TEST_F(StarTest, WithoutAnAnchorTheActiveWaypointIsReadFromItsRebuiltEntry) {
  MakeActive({"KSEA", "KPDX"});
  Tag(F().ActiveFlightPlan, 1, "", "APT");
  F().ActiveWaypointIndex = 1;
  G().ActiveWaypointLat = 46.9;  // the old destination's place
  G().ActiveWaypointLon = -122.2;
  G().ActiveLegFromEngagePosition = 1;
  SetStar({Row("R1", 45.9, -122.6), Row("R2", 45.8, -122.6)});
  InsertStarIntoActivePlan();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "R1", "R2", "KPDX"}));
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_DOUBLE_EQ(G().ActiveWaypointLat, 45.9);
  EXPECT_DOUBLE_EQ(G().ActiveWaypointLon, -122.6);
  EXPECT_EQ(G().ActiveLegFromEngagePosition, 0);

  MakeActive({"KSEA", "R1", "R2", "R3", "KPDX"});
  for (int i = 1; i <= 3; ++i) Tag(F().ActiveFlightPlan, i, "STAR");
  Tag(F().ActiveFlightPlan, 4, "", "APT");
  F().ActiveWaypointIndex = 4;
  P().StarLegCount = 0;
  InsertStarIntoActivePlan();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "KPDX"}));
  EXPECT_EQ(F().ActiveWaypointIndex, 1);
  EXPECT_DOUBLE_EQ(G().ActiveWaypointLat, 45.5887);
  EXPECT_DOUBLE_EQ(G().ActiveWaypointLon, -122.5975);

  // No active waypoint: none is made up.
  MakeActive({"KSEA", "KPDX"});
  Tag(F().ActiveFlightPlan, 1, "", "APT");
  F().ActiveWaypointIndex = model::kNoWaypoint;
  InsertStarIntoActivePlan();
  EXPECT_EQ(F().ActiveWaypointIndex, model::kNoWaypoint);
}

TEST_F(StarTest, AStarJoiningTheDepartureMergesIntoSidStar) {
  MakePending({"KSEA", "D1", "R1", "KPDX"});
  Tag(F().PendingFlightPlan, 1, "SID");
  Tag(F().PendingFlightPlan, 2, "SID");
  Tag(F().PendingFlightPlan, 3, "", "APT");
  SetStar({Row("R1", 45.9, -122.6), Row("R2", 45.8, -122.6)});
  InsertStarIntoPendingPlan();
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "D1 INT SID", "R1  SIDSTAR", "R2  STAR", "KPDX APT "}));
}

TEST_F(StarTest, LegsStopOneSlotShortOfTheLimitForTheDestination) {
  MakePending(LongRoute(199));
  Tag(F().PendingFlightPlan, 199, "", "APT");
  SetStar({Row("R1", 45.9, -122.6), Row("R2", 45.8, -122.6), Row("R3", 45.7, -122.6)});
  InsertStarIntoPendingPlan();
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 200);
  EXPECT_EQ(F().PendingFlightPlan[198].ident, "W198");
  EXPECT_EQ(F().PendingFlightPlan[199].ident, "R1");
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "KPDX");
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

// The last en-route fix B is also the first STAR fix: B's entry goes, the
// STAR's survives in its place with B's hold and the tracked index; the
// hold on the old arrival is detached.
TEST_F(StarTest, TheAnchorRepeatedAsTheFirstStarFixGivesWayToIt) {
  MakePending({"KSEA", "A", "B", "R9", "KPDX"});
  Tag(F().PendingFlightPlan, 3, "STAR");
  Tag(F().PendingFlightPlan, 4, "", "APT");
  PutPendingHold(1, 2);
  PutPendingHold(2, 3);
  F().PendingActiveWaypointIndex = 2;
  SetStar({Row("B", 46.8, -122.4), Row("R1", 45.9, -122.6, "ARR1"), Row("R2", 45.8, -122.6, "ARR1")});
  InsertStarIntoPendingPlan();
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "A INT ", "B  STAR", "R1  STAR", "R2  STAR", "KPDX APT "}));
  EXPECT_EQ(HoldIndices(), (Pairs{{2, 2}, {3, -1}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 5), (std::vector<unsigned>{0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 2);
  EXPECT_EQ(F().PendingFlightPlan[3].via, "ARR1");
}

// Rebuilding the active arrival: a next constraint on the anchor or behind
// it ends on the new destination, one before the anchor stays; the hold of
// the dropped STAR leg leaves the table, the one before the anchor stays.
TEST_F(StarTest, TheActiveRebuildMovesTheNextConstraintFromTheAnchorOn) {
  const std::pair<int, int> cases[] = {{2, 5}, {4, 5}, {1, 1}};
  for (auto [before, after] : cases) {
    SpliceTest::SetUp();  // afresh for each case
    MakeActive({"KSEA", "A", "B", "R9", "P1", "KPDX"});
    Tag(F().ActiveFlightPlan, 3, "STAR");
    Tag(F().ActiveFlightPlan, 4, "APPR");
    Tag(F().ActiveFlightPlan, 5, "", "APT");
    PutActiveHold(1, 1);
    PutActiveHold(2, 3);
    F().ActiveWaypointIndex = 1;
    G().NextConstraintIndex = before;
    SetStar({Row("Q1", 45.9, -122.6), Row("Q2", 45.8, -122.6)});
    InsertStarIntoActivePlan();
    EXPECT_EQ(ActiveLines(), (Strings{"KSEA APT ", "A INT ", "B INT ", "Q1  STAR", "Q2  STAR", "KPDX APT "})) << before;
    EXPECT_EQ(G().NextConstraintIndex, after) << before;
    EXPECT_EQ(F().ActiveWaypointIndex, 1);
    EXPECT_EQ(HoldIndices(), (Pairs{{1, 0}}));
    EXPECT_EQ(HoldNumbers(F().ActiveFlightPlan, 5), (std::vector<unsigned>{0, 1, 0, 0, 0, 0}));
  }
}

// The pending approach behind the route moves up by three legs with its
// holds; the destination, rewritten in place, keeps its hold and the
// tracked index.
TEST_F(StarTest, PendingLegsBeforeAnApproachMoveItsHoldsAndTheTrackedIndex) {
  MakePending({"KSEA", "A", "P1", "P2", "KPDX"});
  Tag(F().PendingFlightPlan, 2, "APPR");
  Tag(F().PendingFlightPlan, 3, "APPR");
  Tag(F().PendingFlightPlan, 4, "", "APT");
  PutPendingHold(1, 3);
  PutPendingHold(2, 4);
  F().PendingActiveWaypointIndex = 4;
  SetStar({Row("R1", 46.0, -122.6), Row("R2", 45.9, -122.6, "ARR1"), Row("R3", 45.8, -122.6, "ARR1")});
  InsertStarIntoPendingPlan();
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "A INT ", "R1  STAR", "R2  STAR", "R3  STAR", "P1 INT APPR",
                                     "P2 INT APPR", "KPDX APT "}));
  EXPECT_EQ(HoldIndices(), (Pairs{{3, 6}, {4, 7}}));
  EXPECT_EQ(HoldNumbers(F().PendingFlightPlan, 7), (std::vector<unsigned>{0, 0, 0, 0, 0, 0, 1, 2}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 7);
  EXPECT_DOUBLE_EQ(F().PendingFlightPlan[7].latitude, 45.5887);
}

// ---- Approach ---------------------------------------------------------------

using ApproachTest = SpliceTest;

const std::vector<model::ProcedureListEntry> kApproach = {
    Row("IAF1", 45.9, -122.7, "", "IAF", "-"),      // speed only
    Row("CF", 45.8, -122.7, "", "", "99"),          // under 100 ft: no altitude
    Row("BF", 47.53, -122.30, "", "FAF", "2000"),   // an NDB as the final fix
    Row("MAPX", 45.6, -122.6, "", "MAP", "400"),    // not inserted, nor what follows
    Row("AFTER", 45.5, -122.6, "", "HP", "5000"),
};

TEST_F(ApproachTest, ThePendingApproachCarriesItsConstraints) {
  MakePending({"KSEA", "A", "IAF1", "KPDX"});
  Tag(F().PendingFlightPlan, 3, "", "APT");
  F().RouteState = 3;
  F().PendingActiveWaypointIndex = 3;  // beyond the cut-back point: ends on the destination
  SetApproach(kApproach);
  InsertApproachIntoPendingPlan(1);
  // The route's own IAF1 gives way to the approach's; no "DISCO".
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "A INT ", "IAF1  APPR", "CF  APPR", "BF NDB APPR", "KPDX APT "}));
  const model::FlightPlanTable& p = F().PendingFlightPlan;
  struct Expect {
    double speed, altitude;
    unsigned flag;
    const char* role;
  };
  const Expect expected[] = {{190.0, model::kNoValue, 0, "IAF"}, {180.0, model::kNoValue, 0, ""}, {170.0, 2000.0, 3, "FAF"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(p[2 + i].speed_constraint, expected[i].speed) << i;
    EXPECT_EQ(p[2 + i].altitude_constraint, expected[i].altitude) << i;
    EXPECT_EQ(p[2 + i].constraint_flag, expected[i].flag) << i;
    EXPECT_EQ(p[2 + i].text2, expected[i].role) << i;
  }
  EXPECT_EQ(p[4].frequency_text, "338");
  EXPECT_EQ(p[5].altitude_constraint, model::kNoValue);
  EXPECT_EQ(p[5].value3, model::kNoValue);
  EXPECT_EQ(F().RouteState, 4);
  EXPECT_EQ(F().PendingActiveWaypointIndex, 5);

  // Again: one copy.
  InsertApproachIntoPendingPlan(1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "IAF1", "CF", "BF", "KPDX"}));
}

TEST_F(ApproachTest, ADiscontinuityJoinsARouteThatEndsElsewhere) {
  MakePending({"KSEA", "A", "B", "DISCO"});
  F().PendingActiveWaypointIndex = 2;
  SetApproach(kApproach);
  InsertApproachIntoPendingPlan(1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B", "DISCO", "IAF1", "CF", "BF", "KPDX"}));
  const model::FlightPlanWaypoint& d = F().PendingFlightPlan[3];
  EXPECT_DOUBLE_EQ(d.latitude, 45.9);  // the first leg's place and constraints
  EXPECT_EQ(d.speed_constraint, 190.0);
  EXPECT_EQ(d.type, "");
  EXPECT_EQ(F().PendingActiveWaypointIndex, 2);  // before the cut-back point: kept
  EXPECT_EQ(F().RouteState, 1);

  // From the navigator (no discontinuity) the route simply goes on.
  MakePending({"KSEA", "A", "B", "KPDX"});
  Tag(F().PendingFlightPlan, 3, "", "APT");
  InsertApproachIntoPendingPlan(0);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B", "IAF1", "CF", "BF", "KPDX"}));

  // Origin and destination only: cut to the origin, no discontinuity.
  MakePending({"KSEA", "KPDX"});
  Tag(F().PendingFlightPlan, 1, "", "APT");
  InsertApproachIntoPendingPlan(1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "IAF1", "CF", "BF", "KPDX"}));
}

TEST_F(ApproachTest, TheActiveApproachEndsAtTheAirportElevation) {
  MakeActive({"KSEA", "A", "P1", "P2", "KPDX"});
  Tag(F().ActiveFlightPlan, 2, "APPR");
  Tag(F().ActiveFlightPlan, 3, "APPR");
  Tag(F().ActiveFlightPlan, 4, "", "APT");
  F().HoldCount = 1;
  F().HoldTable[1].active_index = 3;  // on a leg that is cut back
  G().NextConstraintIndex = 1;        // on the cut-back point: it walks to the end
  navdb::navdb_state.AirportDetailsElevationText = "31";
  SetApproach(kApproach);
  InsertApproachIntoActivePlan();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "A", "IAF1", "CF", "BF", "KPDX"}));
  const model::FlightPlanTable& a = F().ActiveFlightPlan;
  EXPECT_EQ(a[2].speed_constraint, model::kNoValue);
  EXPECT_EQ(a[4].altitude_constraint, model::kNoValue);
  EXPECT_EQ(a[5].altitude_constraint, 31.0);
  EXPECT_EQ(a[5].value3, -1.0);
  EXPECT_EQ(G().NextConstraintIndex, 5);
  EXPECT_EQ(F().HoldCount, 0);

  // An approach that starts at its missed-approach point only restores the
  // destination; an unknown elevation reads 0.
  navdb::navdb_state.AirportDetailsElevationText = "";
  SetApproach({kApproach[3]});
  InsertApproachIntoActivePlan();
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "A", "KPDX"}));
  EXPECT_EQ(F().ActiveFlightPlan[2].altitude_constraint, 0.0);
}

// A route that fills every slot and ends without an airport has no room for
// legs or a destination: it stays as it is.
TEST_F(SpliceTest, AFullRouteTakesNoArrivalAndLosesNothing) {
  const Strings full = LongRoute(200);
  MakeActive(full);
  SetStar({Row("R1", 45.9, -122.6)});
  InsertStarIntoActivePlan();
  EXPECT_EQ(ActiveIdents(), full);
  SetApproach(kApproach);
  InsertApproachIntoActivePlan();
  EXPECT_EQ(ActiveIdents(), full);
  Tag(F().ActiveFlightPlan, 199, "APPR");
  InsertStarIntoActivePlan();  // before an approach: no room either
  EXPECT_EQ(ActiveIdents(), full);
  EXPECT_EQ(F().ActiveFlightPlan.refused(), 0);
}

// The route's copy of the first approach fix gives way (its hold is
// detached, like the one on the old approach); the tracked index on it now
// names the approach's own fix. 100 ft is the least altitude kept.
TEST_F(ApproachTest, TheRoutesCopyOfTheFirstFixGivesWayWithItsHold) {
  MakePending({"KSEA", "A", "IAF1", "P9", "KPDX"});
  Tag(F().PendingFlightPlan, 3, "APPR");
  Tag(F().PendingFlightPlan, 4, "", "APT");
  PutPendingHold(1, 2);
  PutPendingHold(2, 3);
  F().PendingActiveWaypointIndex = 2;
  F().RouteState = 3;
  SetApproach({Row("IAF1", 45.9, -122.7, "", "IAF", "3000"), Row("CF", 45.8, -122.7, "", "", "100"),
               Row("MAPX", 45.6, -122.6, "", "MAP", "400")});
  InsertApproachIntoPendingPlan(1);
  EXPECT_EQ(PendingLines(), (Strings{"KSEA APT ", "A INT ", "IAF1  APPR", "CF  APPR", "KPDX APT "}));
  const model::FlightPlanTable& p = F().PendingFlightPlan;
  EXPECT_EQ(p[2].speed_constraint, 190.0);
  EXPECT_EQ(p[2].altitude_constraint, 3000.0);
  EXPECT_EQ(p[2].constraint_flag, 3u);
  EXPECT_EQ(p[3].speed_constraint, 180.0);
  EXPECT_EQ(p[3].altitude_constraint, 100.0);
  EXPECT_EQ(p[3].constraint_flag, 3u);
  EXPECT_EQ(p[4].speed_constraint, model::kNoValue);
  EXPECT_EQ(p[4].constraint_flag, 0u);
  EXPECT_EQ(HoldIndices(), (Pairs{{2, -1}, {3, -1}}));
  EXPECT_EQ(HoldNumbers(p, 4), (std::vector<unsigned>{0, 0, 0, 0, 0}));
  EXPECT_EQ(F().PendingActiveWaypointIndex, 2);
  EXPECT_EQ(F().RouteState, 4);
}

// The active next constraint before the cut-back point stays; one on a
// dropped approach leg ends on the new destination.
TEST_F(ApproachTest, TheActiveNextConstraintStaysBeforeTheCutBackPoint) {
  const std::pair<int, int> cases[] = {{1, 1}, {3, 6}};
  for (auto [before, after] : cases) {
    MakeActive({"KSEA", "A", "B", "P1", "KPDX"});
    Tag(F().ActiveFlightPlan, 3, "APPR");
    Tag(F().ActiveFlightPlan, 4, "", "APT");
    G().NextConstraintIndex = before;
    SetApproach(kApproach);
    InsertApproachIntoActivePlan();
    EXPECT_EQ(ActiveLines(), (Strings{"KSEA APT ", "A INT ", "B INT ", "IAF1  APPR", "CF  APPR", "BF NDB APPR",
                                      "KPDX APT "}))
        << before;
    EXPECT_EQ(G().NextConstraintIndex, after) << before;
  }
}

// Three slots behind a route that ends away from the approach: the
// discontinuity, one leg and the destination.
TEST_F(ApproachTest, NearTheLimitTheDiscontinuityTakesTheFirstLegsPlace) {
  MakePending(LongRoute(197));  // its last entry is not an airport
  SetApproach(kApproach);
  InsertApproachIntoPendingPlan(1);
  ASSERT_EQ(F().PendingFlightPlanLastIndex, 200);
  const model::FlightPlanTable& p = F().PendingFlightPlan;
  EXPECT_EQ(p[197].ident, "KPDX");
  EXPECT_EQ(p[198].ident, "DISCO");
  EXPECT_DOUBLE_EQ(p[198].latitude, 45.9);
  EXPECT_EQ(p[198].speed_constraint, 190.0);
  EXPECT_EQ(p[199].ident, "IAF1");
  EXPECT_EQ(p[200].ident, "KPDX");
  EXPECT_EQ(p[200].type, "APT");
  EXPECT_EQ(F().RouteState, 1);
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

// A second approach after one joined by a discontinuity: the discontinuity
// and the route's copy of the new approach's first fix give way to that
// fix's approach leg. The pending index on either now names that leg (on
// the old approach, the destination as before); left at the cut-back
// point, it named the leg after it, and past the route's end where the
// approach has no leg before its missed-approach point.
TEST_F(ApproachTest, ASecondApproachMovesTheIndexFromWhatItRemoves) {
  const auto with_b_first = std::vector<model::ProcedureListEntry>{
      Row("B", 46.8, -122.4, "", "IAF", "5000"), Row("C2", 46.0, -122.6, "", "FAF", "2000"), kApproach[3]};
  const auto b_only = std::vector<model::ProcedureListEntry>{Row("B", 46.8, -122.4, "", "MAP", "400")};
  struct Case {
    const char* name;
    std::vector<model::ProcedureListEntry> second;
    int tracked, after;
    Strings route;
  } const kCases[] = {
      {"on the discontinuity", with_b_first, 3, 2, {"KSEA", "A", "B", "C2", "KPDX"}},
      {"on the route's copy of the fix", with_b_first, 2, 2, {"KSEA", "A", "B", "C2", "KPDX"}},
      {"before them", with_b_first, 1, 1, {"KSEA", "A", "B", "C2", "KPDX"}},
      {"on the old approach", with_b_first, 5, 4, {"KSEA", "A", "B", "C2", "KPDX"}},
      {"on the discontinuity, no leg before the MAP", b_only, 3, 2, {"KSEA", "A", "KPDX"}},
      {"on the route's copy, no leg before the MAP", b_only, 2, 2, {"KSEA", "A", "KPDX"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    MakePending({"KSEA", "A", "B"});
    F().RouteState = 3;
    SetApproach(kApproach);
    InsertApproachIntoPendingPlan(1);
    ASSERT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B", "DISCO", "IAF1", "CF", "BF", "KPDX"}));
    F().PendingActiveWaypointIndex = c.tracked;
    SetApproach(c.second);
    InsertApproachIntoPendingPlan(1);
    EXPECT_EQ(PendingIdents(), c.route);
    EXPECT_EQ(F().PendingActiveWaypointIndex, c.after);
  }
}

// Splices one after another in a seeded random order (departures,
// arrivals, approaches with and without a discontinuity, over procedures
// drawn from a few fixes that repeat, the route now and then laid anew):
// after every one the pending index names the entry it named before, where
// that entry is still in the plan, and never lies past the plan's end.
TEST_F(SpliceTest, ThePendingIndexFollowsItsEntryThroughAnySequenceOfSplices) {
  const char* const kFixes[] = {"A", "B", "C"};
  const char* const kRoles[] = {"IAF", "FAF", "MAP"};
  for (const unsigned seed : {1u, 7u, 13u, 79u, 2024u}) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto rows = [&](bool approach) {
      std::vector<model::ProcedureListEntry> out(static_cast<std::size_t>(pick(4)));
      for (model::ProcedureListEntry& r : out) {
        const int f = pick(3);
        r = Row(kFixes[f], 46.0 + 0.1 * f, -122.5, "P1", approach ? kRoles[pick(3)] : "", "3000");
      }
      return out;
    };
    F().ActiveWaypointIndex = F().EditWaypointIndex = 1;
    for (int step = 0; step < 1000; ++step) {
      SCOPED_TRACE(step);
      if (step % 40 == 0) {
        Strings route{"KSEA"};
        for (int n = pick(5); n > 0; --n) route.push_back(kFixes[pick(3)]);
        if (pick(2) == 0) route.push_back("KPDX");
        MakePending(route);
        if (route.back() == "KPDX") Tag(F().PendingFlightPlan, F().PendingFlightPlanLastIndex, "", "APT");
        F().RouteState = 3;
      }
      model::FlightPlanTable& p = F().PendingFlightPlan;
      if (step % 40 == 0 || pick(2) == 0) F().PendingActiveWaypointIndex = pick(F().PendingFlightPlanLastIndex + 1);
      // Each entry marked, to be found again wherever it moves.
      for (int i = 0; i <= F().PendingFlightPlanLastIndex; ++i) p[i].text1 = std::to_string(step * 1000 + i);
      const std::string named = p[F().PendingActiveWaypointIndex].text1;
      switch (pick(4)) {
        case 0:
          SetSid(rows(false));
          InsertSidIntoPendingPlan();
          break;
        case 1:
          SetStar(rows(false));
          InsertStarIntoPendingPlan();
          break;
        default:
          SetApproach(rows(true));
          InsertApproachIntoPendingPlan(pick(2));
          break;
      }
      const int last = F().PendingFlightPlanLastIndex, tracked = F().PendingActiveWaypointIndex;
      ASSERT_GE(tracked, 0);
      ASSERT_LE(tracked, last) << ::testing::PrintToString(PendingIdents());
      for (int i = 0; i <= last; ++i) {
        if (p[i].text1 == named) {
          ASSERT_EQ(tracked, i) << ::testing::PrintToString(PendingIdents());
        }
      }
    }
  }
}

TEST_F(ApproachTest, LegsStopOneSlotShortOfTheLimitForTheDestination) {
  MakePending(LongRoute(199));
  Tag(F().PendingFlightPlan, 199, "", "APT");
  SetApproach(kApproach);
  InsertApproachIntoPendingPlan(0);
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 200);
  EXPECT_EQ(F().PendingFlightPlan[199].ident, "IAF1");
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "KPDX");
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

}  // namespace
}  // namespace ovi::flightplan::test
