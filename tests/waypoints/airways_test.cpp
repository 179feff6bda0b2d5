// Airways: the fix list of the navigator's AIRWAY page, the CDU route
// page's VIA entry, and segments spliced into the routes in either
// direction, near the 200-waypoint limit, with hold references following.
#include "src/navdb/airways.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "src/flightplan/state.h"
#include "src/host/module_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "src/navdb/waypoint_entry.h"
#include "tests/waypoints/support.h"

namespace ovi::navdb {
namespace {

using test::BuildPlan;
using test::Idents;
using Strings = std::vector<std::string>;

EntryState& E() { return entry_state; }
flightplan::State& F() { return flightplan::flightplan_state; }

Strings Listed() {
  Strings out;
  for (int i = 1; i <= E().WaypointCandidateCount; ++i) out.push_back(E().WaypointCandidateList[i].ident);
  return out;
}

// The moves the route hook was told about, as (pending, new, old).
struct Move {
  bool pending;
  int new_index;
  int old_index;
  bool operator==(const Move&) const = default;
};
std::vector<Move> moves;
void RecordMove(bool pending, int new_index, int old_index) { moves.push_back({pending, new_index, old_index}); }

class AirwayTest : public test::SampleRegionTest {
 protected:
  void SetUp() override {
    SampleRegionTest::SetUp();
    moves.clear();
    SetRouteEntryMovedHook(RecordMove);
  }
  void TearDown() override { SetRouteEntryMovedHook(nullptr); }

  void Active(const Strings& idents) { F().ActiveFlightPlanLastIndex = BuildPlan(F().ActiveFlightPlan, idents); }
  void Pending(const Strings& idents) { F().PendingFlightPlanLastIndex = BuildPlan(F().PendingFlightPlan, idents); }
  Strings ActiveIdents() { return Idents(F().ActiveFlightPlan, F().ActiveFlightPlanLastIndex); }
  Strings PendingIdents() { return Idents(F().PendingFlightPlan, F().PendingFlightPlanLastIndex); }
};

const Strings kV23 = {"BTG", "COUGA", "TOLLE", "OLM", "NISQU", "ALDER", "SEA",
                      "ALKIA", "MALAY", "PAE", "ARLIN", "BOWRY", "SAMMI", "BLI"};

TEST_F(AirwayTest, ListsTheAirwayInFileOrderFromTheEditedWaypoint) {
  Active({"KSEA", "SEA", "BLI", "KBLI"});
  F().EditWaypointIndex = 1;
  ListAirwayFixes("#V23");
  EXPECT_EQ(Listed(), kV23);
  EXPECT_EQ(E().AirwayStartIndex, 7);
  EXPECT_EQ(E().SelectedAirwayIndex, 7);
  EXPECT_EQ(E().AirwayPageState, 7);
  EXPECT_EQ(E().AirwayListPage, 1);
  EXPECT_EQ(E().AirwayListPageCount, 1);
  EXPECT_EQ(E().AirwayTitleText, "V23");
  // A VOR on the airway keeps its kind and frequency; other fixes are
  // intersections.
  EXPECT_EQ(E().WaypointCandidateList[7].kind, "V");
  EXPECT_EQ(E().WaypointCandidateList[7].frequency_text, "116.80");
  EXPECT_EQ(E().WaypointCandidateList[2].kind, "I");
  EXPECT_NEAR(E().WaypointCandidateList[2].latitude, 46.1556, 1e-9);

  // Without "#", with blanks, and for the edited waypoint off the airway.
  F().EditWaypointIndex = 0;  // KSEA, an airport
  ListAirwayFixes("  V23  ");
  EXPECT_EQ(E().WaypointCandidateCount, 14);
  EXPECT_EQ(E().AirwayStartIndex, 0);
  EXPECT_EQ(E().SelectedAirwayIndex, 0);
  EXPECT_EQ(E().AirwayPageState, 0);
  EXPECT_EQ(E().AirwayListPage, 1);
  EXPECT_EQ(E().AirwayTitleText, "V23 (N/A)");
}

TEST_F(AirwayTest, TheNavigatorsViewChoosesTheRouteAndNearnessTheFix) {
  Active({"KSEA", "SEA", "KBLI"});
  Pending({"KPDX", "BTG", "KSEA"});
  F().EditWaypointIndex = 1;
  E().PendingPlanOpen = 1;
  ListAirwayFixes("#J5");
  EXPECT_EQ(E().AirwayStartIndex, 9);  // BTG of the pending plan
  E().PendingPlanOpen = 0;
  ListAirwayFixes("#J5");
  EXPECT_EQ(E().AirwayStartIndex, 4);  // SEA of the active plan

  // A waypoint of the same ident far from the airway's fix is not on it.
  F().ActiveFlightPlan[1].latitude += 1.0;
  ListAirwayFixes("#J5");
  EXPECT_EQ(E().AirwayStartIndex, 0);
  EXPECT_EQ(E().AirwayTitleText, "J5 (N/A)");
  // No edited waypoint, or one past the route.
  for (int k : {999, 3, -1}) {
    F().EditWaypointIndex = k;
    ListAirwayFixes("#J5");
    EXPECT_EQ(E().AirwayStartIndex, 0);
    EXPECT_EQ(E().WaypointCandidateCount, 11);
  }
}

TEST_F(AirwayTest, UnknownAndMalformedAirwaysGiveAnEmptyList) {
  Active({"KSEA", "SEA", "KBLI"});
  F().EditWaypointIndex = 1;
  for (const std::string& name :
       {std::string("#Q999"), std::string(""), std::string("#"), std::string("##V23"), std::string("v23"),
        std::string("\xff\x01"), std::string(5000, 'V'), std::string("#V23 J5")}) {
    E().WaypointEntryText = "ELN";  // leave candidates behind
    ResolveWaypointEntry(kAllTables);
    ListAirwayFixes(name);
    EXPECT_EQ(E().WaypointCandidateCount, 0) << name.substr(0, 20);
    EXPECT_EQ(E().AirwayStartIndex, 0);
    EXPECT_EQ(E().AirwayListPage, 1);
    EXPECT_EQ(E().AirwayListPageCount, 1);
    EXPECT_LE(E().AirwayTitleText.size(), 40u);
  }
  ListAirwayFixes("#Q999");
  EXPECT_EQ(E().AirwayTitleText, "Q999 (N/A)");
  EXPECT_EQ(InsertAirwayLegs(), 0);
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "SEA", "KBLI"}));
}

TEST_F(AirwayTest, LongAirwaysArePagedBySixteenAndStopAt250) {
  ResetModuleState();
  test::ScratchFolder data(test::ScratchFolder::Navdata::kSampleCopy);
  std::string lines;
  for (int i = 1; i <= 20; ++i) {
    const std::string ident = i == 18 ? std::string("SEA") : "LNG" + std::to_string(i);
    const std::string pos = i == 18 ? "47.4353 -122.3097" : std::to_string(40.0 + i * 0.1) + " -110.0";
    lines += "Q20 " + ident + " " + pos + "\n";
  }
  for (int i = 1; i <= 300; ++i) {
    lines += "Q300 FX" + std::to_string(i) + " " + std::to_string(30.0 + i * 0.01) + " -100.0\n";
  }
  data.Write("awys_user.txt", lines);
  LoadNavDatabase();
  Active({"KSEA", "SEA", "KBLI"});
  F().EditWaypointIndex = 1;
  ListAirwayFixes("#Q20");
  EXPECT_EQ(E().WaypointCandidateCount, 20);
  EXPECT_EQ(E().AirwayStartIndex, 18);
  EXPECT_EQ(E().AirwayListPage, 2);
  EXPECT_EQ(E().AirwayListPageCount, 2);
  ListAirwayFixes("#Q300");
  EXPECT_EQ(E().WaypointCandidateCount, 250);
  EXPECT_EQ(E().WaypointCandidateList[250].ident, "FX250");
  EXPECT_EQ(E().AirwayListPageCount, 16);
  EXPECT_EQ(E().WaypointCandidateList.refused(), 0);
}

TEST_F(AirwayTest, ForwardSegmentEndsOnTheNextWaypointWithoutRepeatingIt) {
  Active({"KSEA", "SEA", "BLI", "KBLI"});
  F().ActiveFlightPlan[2].hold_number = 3;
  F().ActiveWaypointIndex = 2;
  F().EditWaypointIndex = 1;
  ListAirwayFixes("#V23");
  E().SelectedAirwayIndex = 14;  // BLI, picked on the AIRWAY page
  EXPECT_EQ(InsertAirwayLegs(), 6);
  EXPECT_EQ(ActiveIdents(),
            (Strings{"KSEA", "SEA", "ALKIA", "MALAY", "PAE", "ARLIN", "BOWRY", "SAMMI", "BLI", "KBLI"}));
  EXPECT_EQ(F().ActiveFlightPlan[10].ident, "******");
  const model::FlightPlanWaypoint& pae = F().ActiveFlightPlan[4];
  EXPECT_EQ(pae.via, "V23");
  EXPECT_EQ(pae.type, "V");
  EXPECT_EQ(pae.frequency_text, "110.60");
  EXPECT_EQ(pae.altitude_constraint, model::kNoValue);
  EXPECT_EQ(pae.hold_number, 0u);
  EXPECT_EQ(F().ActiveFlightPlan[3].type, "I");
  EXPECT_EQ(F().ActiveFlightPlan[8].via, "V23");  // BLI takes the airway
  EXPECT_EQ(F().ActiveFlightPlan[8].hold_number, 3u);
  EXPECT_EQ(F().ActiveFlightPlan[1].via, "");
  EXPECT_EQ(F().ActiveWaypointIndex, 8);  // still BLI
  // The entries moved, top down, in the active plan.
  EXPECT_EQ(moves, (std::vector<Move>{{false, 9, 3}, {false, 8, 2}}));
  EXPECT_TRUE(F().PendingFlightPlanLastIndex == -1);
}

TEST_F(AirwayTest, ReverseSegmentRunsAgainstTheFileOrder) {
  Pending({"KSEA", "SEA", "KPDX"});
  E().PendingPlanOpen = 1;
  F().EditWaypointIndex = 1;
  ListAirwayFixes("#V23");
  E().SelectedAirwayIndex = 2;  // COUGA
  EXPECT_EQ(InsertAirwayLegs(), 5);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "ALDER", "NISQU", "OLM", "TOLLE", "COUGA", "KPDX"}));
  EXPECT_EQ(F().PendingFlightPlan[8].ident, "******");
  EXPECT_EQ(F().PendingFlightPlan[7].via, "");  // KPDX is not on the airway
  EXPECT_EQ(moves, (std::vector<Move>{{true, 7, 2}}));
  EXPECT_EQ(F().ActiveFlightPlanLastIndex, -1);
}

TEST_F(AirwayTest, SegmentsThatCannotBeBuiltChangeNothing) {
  Active({"KSEA", "SEA", "BLI", "KBLI"});
  F().EditWaypointIndex = 1;
  ListAirwayFixes("#V23");
  for (int end : {7, 0, -1, 15, 16, 300}) {  // the start itself, none, past the list
    E().SelectedAirwayIndex = end;
    EXPECT_EQ(InsertAirwayLegs(), 0) << end;
  }
  E().SelectedAirwayIndex = 1;
  for (int k : {999, -1, 4, 200}) {
    F().EditWaypointIndex = k;
    EXPECT_EQ(InsertAirwayLegs(), 0) << k;
  }
  // The route changed under the list: the edited waypoint is no longer
  // the segment's start.
  F().EditWaypointIndex = 2;
  EXPECT_EQ(InsertAirwayLegs(), 0);
  EXPECT_EQ(ActiveIdents(), (Strings{"KSEA", "SEA", "BLI", "KBLI"}));
  EXPECT_TRUE(moves.empty());
}

TEST_F(AirwayTest, ASegmentNearTheLimitIsCutShortAndLosesNothing) {
  Strings idents = {"KSEA"};
  for (int i = 1; i <= 193; ++i) idents.push_back("W" + std::to_string(i));
  idents.push_back("SEA");  // 194
  idents.push_back("KPDX");  // 195
  Pending(idents);
  ASSERT_EQ(F().PendingFlightPlanLastIndex, 195);
  F().PendingFlightPlan[195].hold_number = 2;
  E().PendingPlanOpen = 1;
  F().EditWaypointIndex = 194;
  ListAirwayFixes("#V23");
  ASSERT_EQ(E().AirwayStartIndex, 7);
  E().SelectedAirwayIndex = 1;  // BTG: six legs, room for four
  EXPECT_EQ(InsertAirwayLegs(), 4);
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 199);
  const Strings all = PendingIdents();
  const Strings tail(all.begin() + 193, all.end());
  EXPECT_EQ(tail, (Strings{"W193", "SEA", "ALDER", "NISQU", "OLM", "TOLLE", "KPDX"}));
  EXPECT_EQ(F().PendingFlightPlan[199].hold_number, 2u);
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "******");
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);

  // Full: nothing more goes in.
  F().EditWaypointIndex = 195;  // NISQU, on V23
  ListAirwayFixes("#V23");
  ASSERT_GT(E().AirwayStartIndex, 0);
  E().SelectedAirwayIndex = 14;
  const Strings before = PendingIdents();
  EXPECT_EQ(InsertAirwayLegs(), 0);
  EXPECT_EQ(PendingIdents(), before);
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

TEST_F(AirwayTest, TheExitTakesTheAirwayOnlyWhenTheWholeSegmentFits) {
  Strings idents = {"KSEA"};
  for (int i = 1; i <= 196; ++i) idents.push_back("W" + std::to_string(i));
  idents.push_back("SEA");  // 197
  idents.push_back("PAE");  // 198
  idents.push_back("KPAE");  // 199
  Pending(idents);
  E().PendingPlanOpen = 1;
  F().EditWaypointIndex = 197;
  ListAirwayFixes("#V23");
  E().SelectedAirwayIndex = 10;  // PAE: ALKIA and MALAY between, no room at all
  EXPECT_EQ(InsertAirwayLegs(), 0);
  EXPECT_EQ(F().PendingFlightPlan[198].via, "");
  F().PendingFlightPlanLastIndex = BuildPlan(F().PendingFlightPlan, {"KSEA", "SEA", "ALKIA", "KPAE"});
  F().EditWaypointIndex = 1;
  ListAirwayFixes("#V23");
  E().SelectedAirwayIndex = 8;  // ALKIA, already next: nothing to insert
  EXPECT_EQ(InsertAirwayLegs(), 0);
  EXPECT_EQ(F().PendingFlightPlan[2].via, "V23");
}

// The CDU route page: VIA typed on a row, then possibly the exit fix on the
// "THEN" row that the page inserts.
class RouteViaTest : public AirwayTest {};

TEST_F(RouteViaTest, AnAirwayOnADirectLegBetweenTwoOfItsFixesIsBuiltAtOnce) {
  Pending({"KSEA", "SEA", "GEG", "KGEG"});
  F().EditWaypointIndex = 1;  // the TO of the row before
  ListAirwaysThroughWaypoint("#V2");
  EXPECT_EQ(E().WaypointCandidateCount, 12);
  EXPECT_EQ(E().AirwayListCount, 1);  // SEA is V2's first fix
  EXPECT_EQ(SelectAirwayCandidate(2), 1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "RAVEN", "KACHS", "SUMMA", "ELN", "QUINC", "BEEZR", "EPH",
                                      "SPRAG", "REARD", "MEDLK", "GEG", "KGEG"}));
  EXPECT_EQ(F().PendingFlightPlan[12].via, "V2");
  EXPECT_EQ(F().PendingFlightPlan[5].type, "V");  // the ELN VOR, not the NDB
  EXPECT_EQ(F().PendingFlightPlan[5].frequency_text, "117.90");
  EXPECT_EQ(E().SelectedAirwayIndex, 12);
  EXPECT_EQ(E().AirwayInsertPending, 0);
  EXPECT_EQ(F().PendingFlightPlan[14].ident, "******");

  // DELETE on that VIA: the legs become direct legs again, nothing removed.
  EXPECT_EQ(UpdatePendingViaFields(2), 1);
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 13);
  for (int i = 1; i <= 13; ++i) EXPECT_EQ(F().PendingFlightPlan[i].via, "") << i;
  EXPECT_EQ(UpdatePendingViaFields(2), 0);  // already direct
  EXPECT_EQ(UpdatePendingViaFields(0), 0);
  EXPECT_EQ(UpdatePendingViaFields(13), 0);  // past the rows
}

TEST_F(RouteViaTest, AnExitFixTypedOnTheThenRowSplicesTheSegment) {
  Pending({"KSEA", "SEA", "ALW", "KALW"});
  F().EditWaypointIndex = 1;
  ListAirwaysThroughWaypoint("#J70");
  ASSERT_EQ(E().AirwayListCount, 1);
  EXPECT_EQ(SelectAirwayCandidate(2), 0);  // ALW is not on J70
  EXPECT_EQ(E().AirwayInsertPending, 1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "ALW", "KALW"}));
  // What the route page then inserts: the airway marker before row 2's TO.
  model::FlightPlanTable& p = F().PendingFlightPlan;
  for (int i = 3; i >= 2; --i) p[i + 1] = p[i];
  model::Recreate(p[2]);
  p[2].ident = "THEN";
  p[2].type = "OAWY";
  p[2].via = "J70";
  F().PendingFlightPlanLastIndex = 4;

  // The exit: the entry fix itself and fixes off the airway are refused by
  // the page through these two values.
  EXPECT_EQ(FindWaypointCandidate("SEA"), E().AirwayListCount);
  EXPECT_EQ(FindWaypointCandidate("ALW"), 0);
  E().SelectedAirwayIndex = FindWaypointCandidate("MWH");
  ASSERT_EQ(E().SelectedAirwayIndex, 5);
  E().AirwayInsertPending = 1;
  EXPECT_EQ(InsertAirwayLegs(), 4);
  E().AirwayInsertPending = 0;
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "BUWZO", "STAMP", "MALTA", "MWH", "THEN", "ALW", "KALW"}));
  EXPECT_EQ(F().PendingFlightPlan[5].via, "J70");
  EXPECT_EQ(F().PendingFlightPlan[7].via, "");

  // DELETE on the "THEN" row takes the marker out; the entries after it
  // move down and the hook hears of each.
  F().PendingFlightPlan[7].hold_number = 1;
  moves.clear();
  EXPECT_EQ(UpdatePendingViaFields(3), 1);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "SEA", "BUWZO", "STAMP", "MALTA", "MWH", "ALW", "KALW"}));
  EXPECT_EQ(F().PendingFlightPlan[8].ident, "******");
  EXPECT_EQ(F().PendingFlightPlan[6].hold_number, 1u);
  EXPECT_EQ(moves, (std::vector<Move>{{true, -1, 6}, {true, 6, 7}, {true, 7, 8}}));
}

TEST_F(RouteViaTest, TheExitAlreadyInTheRouteAfterTheMarkerIsNotRepeated) {
  Pending({"KSEA", "SEA", "THEN", "EPH", "KMWH"});
  F().PendingFlightPlan[2].via = "V2";
  F().EditWaypointIndex = 1;
  ListAirwaysThroughWaypoint("#V2");
  E().SelectedAirwayIndex = FindWaypointCandidate("EPH");
  E().AirwayInsertPending = 1;
  EXPECT_EQ(InsertAirwayLegs(), 6);
  EXPECT_EQ(PendingIdents(),
            (Strings{"KSEA", "SEA", "RAVEN", "KACHS", "SUMMA", "ELN", "QUINC", "BEEZR", "THEN", "EPH", "KMWH"}));
  EXPECT_EQ(F().PendingFlightPlan[9].via, "V2");
}

TEST_F(RouteViaTest, AirwaysNotThroughTheEntryFixAreRefused) {
  Pending({"KSEA", "OLM", "GEG", "KGEG"});
  F().EditWaypointIndex = 1;
  ListAirwaysThroughWaypoint("#V2");
  EXPECT_EQ(E().WaypointCandidateCount, 12);
  EXPECT_EQ(E().AirwayListCount, 0);
  EXPECT_EQ(SelectAirwayCandidate(2), 0);
  ListAirwaysThroughWaypoint("#NOPE");
  EXPECT_EQ(E().WaypointCandidateCount, 0);
  EXPECT_EQ(E().AirwayListCount, 0);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "OLM", "GEG", "KGEG"}));
}

TEST_F(RouteViaTest, RowsThatAreNotADirectLegFromTheEntryFixAreLeftToTheMarker) {
  Pending({"KSEA", "SEA", "RAVEN", "KACHS", "DISCO", "GEG", "KGEG"});
  F().PendingFlightPlan[2].via = "V2";
  F().PendingFlightPlan[3].via = "V2";
  // Rows: (SEA DIRECT) (KACHS V2) (DISCO DIRECT) (GEG DIRECT).
  F().EditWaypointIndex = 1;
  ListAirwaysThroughWaypoint("#V2");
  EXPECT_EQ(SelectAirwayCandidate(2), 0);  // an airway row already
  F().EditWaypointIndex = 3;
  ListAirwaysThroughWaypoint("#V2");
  EXPECT_EQ(SelectAirwayCandidate(3), 0);  // a discontinuity
  EXPECT_EQ(SelectAirwayCandidate(9), 0);  // the entry row past the route
  EXPECT_EQ(SelectAirwayCandidate(-1), 0);
  F().EditWaypointIndex = 1;
  EXPECT_EQ(SelectAirwayCandidate(4), 0);  // not the row after the entry fix
  EXPECT_EQ(UpdatePendingViaFields(3), 0);  // DISCO
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 6);
  EXPECT_TRUE(moves.empty());
}

TEST_F(RouteViaTest, AnAirwayBuiltAtOnceNearTheLimitKeepsTheRoute) {
  Strings idents = {"KSEA", "SEA", "GEG"};
  for (int i = 1; i <= 195; ++i) idents.push_back("W" + std::to_string(i));
  idents.push_back("KGEG");  // 198
  Pending(idents);
  F().EditWaypointIndex = 1;
  ListAirwaysThroughWaypoint("#V2");
  EXPECT_EQ(SelectAirwayCandidate(2), 1);
  EXPECT_EQ(F().PendingFlightPlanLastIndex, 199);
  EXPECT_EQ(F().PendingFlightPlan[2].ident, "RAVEN");
  EXPECT_EQ(F().PendingFlightPlan[3].ident, "GEG");
  EXPECT_EQ(F().PendingFlightPlan[3].via, "");  // the airway did not reach it
  EXPECT_EQ(F().PendingFlightPlan[199].ident, "KGEG");
  EXPECT_EQ(F().PendingFlightPlan[200].ident, "******");
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

// Whatever bytes arrive, the lists stay within their slots and the routes
// within theirs.
TEST_F(AirwayTest, ArbitraryTextNeverLeavesTheTables) {
  Pending({"KSEA", "SEA", "THEN", "BLI", "KBLI"});
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  const std::string alphabet = "SEAOLMV23J5#/0123456789. \xff";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(next() % 20);
    for (int i = 0; i < length; ++i) text += alphabet[next() % alphabet.size()];
    E().WaypointEntryText = text;
    ResolveWaypointEntry(static_cast<int>(next() % 6) - 1);
    ASSERT_GE(E().WaypointCandidateCount, 0);
    ASSERT_LE(E().WaypointCandidateCount, kMaxEntryCandidates);
    F().EditWaypointIndex = static_cast<int>(next() % 8) - 1;
    E().PendingPlanOpen = static_cast<int>(next() % 2);
    E().AirwayInsertPending = static_cast<int>(next() % 2);
    if (next() % 2 == 0) {
      ListAirwayFixes(text);
    } else {
      ListAirwaysThroughWaypoint(text);
    }
    E().SelectedAirwayIndex = static_cast<int>(next() % 20) - 2;
    InsertAirwayLegs();
    SelectAirwayCandidate(static_cast<int>(next() % 6));
    UpdatePendingViaFields(static_cast<int>(next() % 6));
    ASSERT_LE(F().PendingFlightPlanLastIndex, kMaxRouteLastIndex);
  }
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
  EXPECT_EQ(F().ActiveFlightPlan.refused(), 0);
  EXPECT_EQ(E().WaypointCandidateList.refused(), 0);
}

}  // namespace
}  // namespace ovi::navdb
