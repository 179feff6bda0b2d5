// The selection lists and leg rows built from the sample airports: KSEA as
// origin and destination, KPDX as destination.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "tests/support/navdata_fixture.h"

namespace ovi::navdb {
namespace {

using model::AirportProcedureSet;
using Names = std::vector<std::string>;

template <typename List>
Names NamesOf(const List& list, int count) {
  Names out;
  for (int i = 1; i <= count; ++i) out.push_back(list[i].name);
  return out;
}

class ListsTest : public test::SampleRegionTest {
 protected:
  void SetUp() override {
    SampleRegionTest::SetUp();
    ASSERT_EQ(LoadAirportProcedures("KSEA", 1), 1);
    ASSERT_EQ(LoadAirportProcedures("KSEA", 2), 1);
  }
  AirportProcedureSet& origin = procedure_state.AirportProcedureSets[1];
  AirportProcedureSet& dest = procedure_state.AirportProcedureSets[2];
  model::State& m = model::model_state;

  Names DepartureRunways() { return NamesOf(origin.DepartureRunwayNameList, origin.DepartureRunwayListCount); }
  Names Sids() { return NamesOf(origin.SidNameList, origin.SidNameListCount); }
  Names SidTransitions() { return NamesOf(origin.SidTransitionList, origin.SidTransitionListCount); }
  Names ArrivalRunways() { return NamesOf(dest.ArrivalRunwayNameList, dest.ArrivalRunwayListCount); }
  Names Stars() { return NamesOf(dest.StarNameList, dest.StarListCount); }
  Names StarTransitions() { return NamesOf(dest.StarTransitionList, dest.StarTransitionListCount); }
  Names ApproachTypes() {
    Names out;
    for (int i = 1; i <= dest.ApproachTransitionCount; ++i) out.push_back(dest.ApproachTransitionTable[i].type);
    return out;
  }
  Names SidFixes() {
    Names out;
    for (int i = 1; i <= procedure_state.SidLegCount; ++i) out.push_back(procedure_state.SidList[i].fix_ident);
    return out;
  }
  Names StarFixes() {
    Names out;
    for (int i = 1; i <= procedure_state.StarLegCount; ++i) out.push_back(procedure_state.StarList[i].fix_ident);
    return out;
  }
};

const Names kAllSeaRunways = {"16L", "34R", "16C", "34C", "16R", "34L"};

TEST_F(ListsTest, DepartureRunwaysFollowTheSidsRunwayFields) {
  ListSidRunways("------");
  EXPECT_EQ(DepartureRunways(), kAllSeaRunways);
  EXPECT_EQ(origin.DepartureRunwayNameList[3].number, 3) << "the runway's index in the set";
  ListSidRunways("ELMAA3");
  EXPECT_EQ(DepartureRunways(), (Names{"16L", "16C", "16R"}));
  EXPECT_EQ(origin.DepartureRunwayNameList[4].name, "") << "the longer list's rest is emptied";
  ListSidRunways("SUMMA2");  // two records together serve every runway
  EXPECT_EQ(DepartureRunways(), kAllSeaRunways);
  ListSidRunways("HAROB6");  // names no runway
  EXPECT_EQ(DepartureRunways(), kAllSeaRunways);
  ListSidRunways("NOSUCH");
  EXPECT_EQ(DepartureRunways(), kAllSeaRunways);
}

TEST_F(ListsTest, SidsFitTheRunwayAndTheTransition) {
  ListSids("------", "------");
  EXPECT_EQ(Sids(), (Names{"SUMMA2", "HAROB6", "ELMAA3"})) << "each name once";
  EXPECT_EQ(origin.SidNameList[2].number, 3);
  ListSids("34R", "------");
  EXPECT_EQ(Sids(), (Names{"SUMMA2", "HAROB6"})) << "ELMAA3 serves the 16 runways only";
  ListSids("16C", "------");
  EXPECT_EQ(Sids(), (Names{"SUMMA2", "HAROB6", "ELMAA3"}));
  ListSids("------", "HQM");
  EXPECT_EQ(Sids(), (Names{"ELMAA3"}));
  ListSids("------", "BVS");
  EXPECT_EQ(Sids(), (Names{"HAROB6"})) << "a transition hidden from the CDU lists still counts";
  ListSids("34L", "HQM");
  EXPECT_EQ(Sids(), Names{});
  EXPECT_EQ(origin.SidNameList[1].name, "");
}

TEST_F(ListsTest, SidTransitionsAreSortedDistinctAndModeOneHidesMarkedLegs) {
  ListSidTransitions("HAROB6", "------", 1);
  EXPECT_EQ(SidTransitions(), (Names{"BLI"}));
  ListSidTransitions("HAROB6", "------", 0);
  EXPECT_EQ(SidTransitions(), (Names{"BLI", "BVS"}));
  ListSidTransitions("ELMAA3", "16L", 1);
  EXPECT_EQ(SidTransitions(), (Names{"ELMAA", "HQM"})) << "the common part is no transition";
  ListSidTransitions("ELMAA3", "34R", 1);
  EXPECT_EQ(SidTransitions(), Names{}) << "no ELMAA3 serves 34R";
  ListSidTransitions("SUMMA2", "34C", 1);
  EXPECT_EQ(SidTransitions(), (Names{"ELN", "YKM"}));
  ListSidTransitions("SUMMA2", "------", 1);
  EXPECT_EQ(SidTransitions(), (Names{"ELN", "YKM"})) << "both records, each name once";
  origin.SidTable[3].legs[1].transition = "---";  // a common part written "---" is offered
  ListSidTransitions("HAROB6", "------", 1);
  EXPECT_EQ(SidTransitions(), (Names{"---", "BLI"}));
}

TEST_F(ListsTest, SelectSidEntryTakesTheRunwaysRecordAndTheTransitionsLegs) {
  // The CDU's way: RouteSid, its index, the runway and the transition.
  m.RouteSid = "SUMMA2";
  m.SelectedDepartureRunway = "34C";
  m.RouteSidTransition = "YKM";
  FindSidIndex("SUMMA2");
  EXPECT_EQ(procedure_state.SelectedSidIndex, 1);
  SelectSidEntry();
  EXPECT_EQ(SidFixes(), (Names{"ALKIA", "RAVEN", "SUMMA", "TIETN", "YKM"}));
  const model::ProcedureListEntry& first = procedure_state.SidList[1];
  EXPECT_EQ(first.via_text, "");
  EXPECT_EQ(first.flyover, 1);
  EXPECT_NEAR(first.latitude, 47.5968, 1e-9);
  EXPECT_NEAR(first.longitude, -122.2990, 1e-9);
  EXPECT_EQ(procedure_state.SidList[2].via_text, "SUMMA2");
  EXPECT_EQ(procedure_state.SidList[5].via_text, "SUMMA2");
  EXPECT_EQ(procedure_state.SidList[2].flyover, 0);

  m.SelectedDepartureRunway = "16R";
  m.RouteSidTransition = "------";
  SelectSidEntry();
  EXPECT_EQ(SidFixes(), (Names{"FOURT", "RAVEN", "SUMMA"})) << "the 16 record, common legs only";
  EXPECT_EQ(procedure_state.SidList[4].fix_ident, "") << "rows of the longer selection are emptied";

  // The GNS-XLS's way: its own selection text, while RouteSid still names
  // the active route's SID.
  m.GnsDepartureSelectionText = "ELMAA3";
  m.SelectedDepartureRunway = "16L";
  m.RouteSidTransition = "HQM";
  FindSidIndex("ELMAA3");
  SelectSidEntry();
  EXPECT_EQ(SidFixes(), (Names{"FOURT", "ALDER", "OLM", "SATSP", "ELMAA", "HQM"}));
  EXPECT_EQ(procedure_state.SidList[6].via_text, "ELMAA3");

  m.RouteSidTransition = "BVS";
  m.GnsDepartureSelectionText = "HAROB6";
  FindSidIndex("HAROB6");
  SelectSidEntry();
  EXPECT_EQ(SidFixes(), (Names{"GLASR", "HAROB", "BVS"})) << "a hidden transition can still be flown";

  m.GnsDepartureSelectionText = "NOSUCH";
  SelectSidEntry();
  EXPECT_EQ(procedure_state.SidLegCount, 0);
}

TEST_F(ListsTest, StarListsAndRowsOnTheDestination) {
  ListStarRunways("GLASR3");
  EXPECT_EQ(ArrivalRunways(), (Names{"16L", "16C", "16R"}));
  ListStarRunways("CHINS5");
  EXPECT_EQ(ArrivalRunways(), kAllSeaRunways);
  ListStars("------", "------");
  EXPECT_EQ(Stars(), (Names{"CHINS5", "GLASR3"}));
  ListStars("34R", "------");
  EXPECT_EQ(Stars(), (Names{"CHINS5"}));
  ListStars("------", "BLI");
  EXPECT_EQ(Stars(), (Names{"GLASR3"}));
  ListStarTransitions("GLASR3", "16L", 1);
  EXPECT_EQ(StarTransitions(), (Names{"BLI"}));
  ListStarTransitions("GLASR3", "16L", 0);
  EXPECT_EQ(StarTransitions(), (Names{"BLI", "BVS"}));
  ListStarTransitions("CHINS5", "------", 1);
  EXPECT_EQ(StarTransitions(), (Names{"ELN", "YKM"}));

  FindStarIndex("GLASR3");
  EXPECT_EQ(procedure_state.SelectedStarIndex, 2);
  m.RouteStarTransition = "BLI";
  m.SelectedApproachTo = "16C";
  SelectStarEntry();
  EXPECT_EQ(StarFixes(), (Names{"BLI", "SAMMI", "BOWRY", "ARLIN", "GLASR"}));
  EXPECT_EQ(procedure_state.StarList[1].via_text, "");
  EXPECT_EQ(procedure_state.StarList[2].via_text, "GLASR3");
  EXPECT_NEAR(procedure_state.StarList[5].latitude, 47.9387, 1e-9);

  FindStarIndex("CHINS5");
  m.RouteStarTransition = "ELN";
  SelectStarEntry();
  EXPECT_EQ(StarFixes(), (Names{"ELN", "DGRAS", "MORTN", "CHINS"}));

  procedure_state.SelectedStarIndex = 99;
  SelectStarEntry();
  EXPECT_EQ(procedure_state.StarLegCount, 0);
  EXPECT_EQ(procedure_state.StarList[1].fix_ident, "");
}

TEST_F(ListsTest, ApproachRunwaysAndTypesForTwoApproachTypes) {
  ASSERT_EQ(dest.ArrivalNameListCount, 3);
  EXPECT_EQ(dest.ArrivalNameList[1].via + " " + dest.ArrivalNameList[1].to, "ILS 16C");
  EXPECT_EQ(dest.ArrivalNameList[3].via + " " + dest.ArrivalNameList[3].to, "VOR 16L");

  ListApproachIafs("ILS", "------");
  EXPECT_EQ(ArrivalRunways(), (Names{"16C"}));
  ListApproachIafs("VOR", "------");
  EXPECT_EQ(ArrivalRunways(), (Names{"16L"}));
  ListApproachIafs("------", "------");
  EXPECT_EQ(ArrivalRunways(), (Names{"16L", "34R", "16C"}));
  ListApproachIafs("------", "GLASR");
  EXPECT_EQ(ArrivalRunways(), (Names{"16L", "16C"})) << "both the ILS and the VOR start at GLASR";
  ListApproachIafs("RNAV", "PARKK");
  EXPECT_EQ(ArrivalRunways(), (Names{"34R"})) << "the common part's entry fix names its transition";
  ListApproachIafs("ILS", "CHINS");
  EXPECT_EQ(ArrivalRunways(), Names{});

  ListApproachIafEntries("16C", "------");
  EXPECT_EQ(ApproachTypes(), (Names{"ILS"}));
  EXPECT_EQ(dest.ApproachTransitionTable[1].name, "ILS");
  EXPECT_EQ(dest.ApproachTransitionTable[1].runway, "16C");
  ListApproachIafEntries("------", "GLASR");
  EXPECT_EQ(ApproachTypes(), (Names{"ILS", "VOR"}));
  ListApproachIafEntries("16L", "PAE");
  EXPECT_EQ(ApproachTypes(), (Names{"VOR"}));
  EXPECT_EQ(dest.ApproachTransitionTable[2].name, "") << "the rest is emptied";
  ListApproachIafEntries("------", "------");
  EXPECT_EQ(ApproachTypes(), (Names{"ILS", "RNAV", "VOR"}));
  ListApproachIafEntries("34C", "------");
  EXPECT_EQ(ApproachTypes(), Names{});
}

TEST_F(ListsTest, ApproachListsOfAnotherDestination) {
  ASSERT_EQ(LoadAirportProcedures("KPDX", 2), 1);
  ListApproachIafEntries("21", "KRATR");
  EXPECT_EQ(ApproachTypes(), (Names{"VOR"}));
  ListApproachIafEntries("------", "KRATR");
  EXPECT_EQ(ApproachTypes(), (Names{"RNAV", "VOR"}));
  ListApproachIafs("RNAV", "KRATR");
  EXPECT_EQ(ArrivalRunways(), (Names{"28L"}));
  ListApproachIafs("ILS", "BEAVR");
  EXPECT_EQ(ArrivalRunways(), (Names{"10R"})) << "an IAF* entry fix of the common part";
}

TEST_F(ListsTest, RecordVariantsOfAStarFollowTheRunway) {
  // Two records of one STAR name: the runway picks the record.
  AirportProcedureSet& s = dest;
  model::ProcedureRecord& a = s.StarTable[s.StarCount + 1];
  a.name = "GLASR3";
  a.runway = "34L,34C,34R";
  a.leg_count = 1;
  a.legs[1].transition = "---";
  a.legs[1].fix_ident = "NORTH";
  ++s.StarCount;
  FindStarIndex("GLASR3");
  m.RouteStarTransition = "------";
  m.SelectedApproachTo = "34C";
  SelectStarEntry();
  EXPECT_EQ(StarFixes(), (Names{"NORTH"}));
  m.SelectedApproachTo = "------";
  SelectStarEntry();
  EXPECT_EQ(StarFixes(), (Names{"ARLIN", "GLASR"}));
  ListStarRunways("GLASR3");
  EXPECT_EQ(ArrivalRunways(), kAllSeaRunways);
}

TEST_F(ListsTest, EveryBuilderCopesWithAnEmptySet) {
  ASSERT_EQ(LoadAirportProcedures("KBFI", 1), 1);
  ASSERT_EQ(LoadAirportProcedures("KBFI", 2), 1);
  ListSidRunways("------");
  EXPECT_EQ(DepartureRunways(), (Names{"14L", "32R", "14R", "32L"}));
  ListSids("------", "------");
  ListSidTransitions("X", "------", 1);
  ListStars("------", "------");
  ListStarTransitions("X", "------", 0);
  ListApproachIafs("------", "------");
  ListApproachIafEntries("------", "------");
  FindSidIndex("X");
  SelectSidEntry();
  SelectStarEntry();
  EXPECT_EQ(origin.SidNameListCount + origin.SidTransitionListCount + dest.StarListCount +
                dest.StarTransitionListCount + dest.ArrivalRunwayListCount + dest.ApproachTransitionCount +
                procedure_state.SidLegCount + procedure_state.StarLegCount,
            0);
}

}  // namespace
}  // namespace ovi::navdb
