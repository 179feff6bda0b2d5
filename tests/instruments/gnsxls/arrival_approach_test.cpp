// ARRIVAL (page 11) and APCH (page 12) with the ENT steps that drive them,
// over the sample region: Portland (STARs KRATR2 of YKM and PDT, JAYPE3 of
// UBG and HQM on 10L/10R; ILS 10R of UBG and LAVAA, RNAV 28L of WHAMY and
// KRATR, VOR 21 of BTG and KRATR) and Bellingham (SAMMI1, one leg on BVS;
// ILS 16 of BLI and SAMMI).
#include <string>
#include <vector>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/state.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::ActiveIdents;
using flightplan::test::MakeActive;
using flightplan::test::MakePending;
using flightplan::test::PendingIdents;

model::State& M() { return model::model_state; }
model::AirportProcedureSet& Dest() { return navdb::procedure_state.AirportProcedureSets[2]; }
using Lines = std::vector<int>;

class ArrivalApproachTest : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    // Confirmations write the flight log into the data folder: a copy.
    host::host_state.SimulatorFolder = data_.root().string();
    navdb::LoadNavDatabase();
  }
  SampleDataCopy data_;
  static void At(const char* airport, std::int32_t page) {
    ASSERT_EQ(navdb::LoadAirportProcedures(airport, 2), 1);
    M().PendingDestinationIdent = M().DestinationAirportIdent = airport;
    S().GnsXlsPage = page;
  }
  static void Typed(const std::string& text) { S().NavigatorScratchpad = text + "     "; }
};

// n names "N1".."Nn" in a list and its count.
template <typename List>
void Fill(List& list, std::int32_t& count, int n) {
  for (int i = 1; i <= n; ++i) list[i].name = "N" + std::to_string(i);
  count = n;
}

TEST_F(ArrivalApproachTest, ArrivalKeysOpenTransitionsThenStarsAndKeepThePage) {
  At("KPDX", kPageArrival);
  M().GnsArrivalSelectionText = "KRATR2";
  Frame f = Key(7);  // KRATR2's transitions, sorted, the first chosen
  f.Expect("TRANSITION", 53, 80, kYellow);
  f.Expect("PDT  ?", 30, 160, kBlack);
  f.Expect("YKM  ", 30, 200, kGreen);
  EXPECT_EQ(S().NavigatorScratchpad, "PDT");
  EXPECT_EQ(f.TextsAt(0), (Strings{">"}));         // two rows: key 3
  EXPECT_EQ(f.TextsAt(460), (Strings{"<", "<"}));  // keys 6 and 7
  f = Key(7);  // the STARs; the field code stays
  f.Expect("STAR", 53, 120, kYellow);
  EXPECT_EQ(f.TextsAt(30), (Strings{"KRATR2?", "JAYPE3"}));
  EXPECT_EQ(navdb::procedure_state.SelectedStarIndex, 1);
  // Key 6 opens the entry, then the runway list on the page shown before.
  S().GnsArrivalPage = 2;
  Key(6);
  f = Key(6);
  EXPECT_EQ(LineStates()[5], 2);
  EXPECT_EQ(S().GnsArrivalPage, 2);
  f.Expect("RUNWAY", 53, 40, kYellow);
  // Without a destination key 7 changes nothing, and the open runway list
  // leaves its row green.
  M().PendingDestinationIdent = "------";
  S().GnsArrivalPage = 3;
  const Lines before = LineStates();
  f = Key(7);
  EXPECT_EQ(LineStates(), before);
  EXPECT_EQ(S().GnsArrivalPage, 3);
  f.Expect("RUNWAY", 53, 40, kGreen);
  EXPECT_EQ(f.TextsAt(460), (Strings{"<"}));
}

TEST_F(ArrivalApproachTest, PageCountsByStateAndTheLastValueOtherwise) {
  struct Case {
    const char* name;
    std::int32_t page;
    int line, state, selection, count, expected;
  };
  const Case cases[] = {
      {"arrival entry", kPageArrival, 6, 1, 0, 30, 1},  {"arrival preview", kPageArrival, 0, 0, 1, 9, 2},
      {"arrival runways", kPageArrival, 6, 2, 0, 13, 2}, {"arrival stars", kPageArrival, 7, 2, 0, 12, 1},
      {"arrival none", kPageArrival, 0, 0, 0, 40, 5},    {"apch types", kPageApproach, 7, 1, 0, 25, 3},
      {"apch preview", kPageApproach, 0, 0, 1, 17, 3},   {"apch empty", kPageApproach, 7, 2, 0, 0, 1},
      {"apch none", kPageApproach, 0, 0, 0, 40, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    At("KPDX", c.page);
    S().GnsArrivalPageCount = S().GnsApproachPageCount = 5;
    model::AirportProcedureSet& d = Dest();
    Fill(d.ArrivalRunwayNameList, d.ArrivalRunwayListCount, c.count);
    Fill(d.StarNameList, d.StarListCount, c.count);
    for (int i = 1; i <= c.count; ++i) d.ApproachTransitionTable[i].type = "T";
    d.ApproachTransitionCount = c.count;
    d.ApproachTransitionListCount = c.count;
    navdb::procedure_state.StarLegCount = navdb::procedure_state.ApproachLegCount = c.count;
    (c.page == kPageArrival ? S().GnsArrivalSelection : S().GnsApproachSelection) = c.selection;
    if (c.line > 0) SetLineState(c.line, c.state);
    DrawFrame();
    EXPECT_EQ(c.page == kPageArrival ? S().GnsArrivalPageCount : S().GnsApproachPageCount, c.expected);
  }
}

TEST_F(ArrivalApproachTest, ApproachKeysListsMarkersAndPreview) {
  S().GnsXlsPage = kPageApproach;
  Frame f = Key(6);  // the entry opens with no clear-pending
  EXPECT_EQ(LineStates()[5], 1);
  EXPECT_EQ(S().GnsXlsEntryActive, 1);
  EXPECT_EQ(S().ScratchpadClearPending, 0);
  f.Expect("ENTER AIRPORT ID", 53, 360, kWhite);
  Key(6);  // the runway list even without a destination
  EXPECT_EQ(LineStates()[5], 2);
  S().GnsAirportNotFound = 1;
  Key(7);  // the flown route has no destination: only the flag goes
  EXPECT_EQ(S().GnsAirportNotFound, 0);
  EXPECT_EQ(LineStates()[5], 2);

  At("KPDX", kPageApproach);
  model::AirportProcedureSet& d = Dest();
  Fill(d.ArrivalRunwayNameList, d.ArrivalRunwayListCount, 12);
  d.RunwayCount = 13;  // pages counted over the airport's runways
  f = DrawFrame();
  f.Expect("1/2", 360, 0, kWhite);
  f.Expect("RWN1 ", 30, 160, kGreen);
  f.Expect("RWN12", 292, 360, kGreen);
  EXPECT_EQ(f.TextsAt(0), Strings{});
  PressNextPage();  // not paged
  EXPECT_EQ(S().GnsApproachPage, 1);
  // The transition list's markers point the other way.
  SetLineState(6, 0);
  SetLineState(7, 2);
  Fill(d.ApproachTransitionList, d.ApproachTransitionListCount, 7);
  f = DrawFrame();
  EXPECT_EQ(f.TextsAt(0), (Strings{"<", "<", "<"}));
  EXPECT_EQ(f.TextsAt(460), (Strings{">", ">", ">"}));
  // The preview: role "%-3s" in white, the fix 80 units on in green.
  SetLineState(7, 0);
  navdb::ProcedureState& p = navdb::procedure_state;
  p.ApproachList[1].role = "IAF";
  p.ApproachList[1].fix_ident = "UBG";
  p.ApproachList[2].role = "";
  p.ApproachList[2].fix_ident = "BEAVR";
  p.ApproachLegCount = 2;
  S().GnsApproachSelection = 1;
  f = DrawFrame();
  f.Expect("WPTS OF APPROACH:", 53, 160, kWhite);
  f.Expect("IAF", 30, 200, kWhite);
  f.Expect("UBG", 110, 200, kGreen);
  f.Expect("   ", 30, 240, kWhite);
  f.Expect("BEAVR", 110, 240, kGreen);
}

// ---- ENT --------------------------------------------------------------------------

TEST_F(ArrivalApproachTest, ArrivalEachItemFirstFillsInWhatIsUnique) {
  struct Case {
    const char *name, *airport;
    int line, state;
    const char *typed, *star, *transition, *runway;
    Lines lines;
  };
  const Case cases[] = {
      {"star one leg", "KBLI", 7, 2, "SAMMI1", "SAMMI1", "BVS", "------", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}},
      {"star several", "KPDX", 7, 2, "JAYPE3", "JAYPE3", "------", "------", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
      {"transition unique", "KPDX", 7, 1, "UBG", "JAYPE3", "UBG", "------", {0, 0, 1, 0, 0, 2, 0, 0, 0, 0}},
      {"transition none", "KPDX", 7, 1, "ZZZ", "------", "ZZZ", "------", {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}},
      // The runway ends the press at the list it opens.
      {"runway", "KPDX", 6, 2, "10R", "------", "------", "10R", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    At(c.airport, kPageArrival);
    SetLineState(c.line, c.state);
    Typed(c.typed);
    Ent();
    EXPECT_EQ((Strings{M().GnsArrivalSelectionText, M().RouteStarTransition, M().SelectedApproachTo}),
              (Strings{c.star, c.transition, c.runway}));
    EXPECT_EQ(LineStates(), c.lines);
    EXPECT_EQ(S().GnsArrivalSelection, 0);
  }
  // The last item: the preview of UBG JAYPE BEAVR asks to confirm.
  M().GnsArrivalSelectionText = "JAYPE3";
  M().RouteStarTransition = "UBG";
  SetLineState(6, 2);
  Typed("10R");
  Ent();
  EXPECT_EQ(S().GnsArrivalSelection, 1);
  EXPECT_EQ(LineStates(), (Lines{0, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(DrawFrame().TextsAt(30), (Strings{"UBG", "JAYPE", "BEAVR", "SELECT?"}));
}

TEST_F(ArrivalApproachTest, ApproachEachItemFirstFillsInWhatIsUnique) {
  struct Case {
    const char* name;
    int line, state;
    const char *typed, *approach, *transition, *runway;
    Lines lines;
    int selection;
  };
  const char* none = "------";
  const Case cases[] = {
      {"runway one approach", 6, 2, "10R", "ILS", none, "10R", {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}, 0},
      {"runway no approach", 6, 2, "03", none, none, "03", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, 0},
      {"type", 7, 1, "RNAV", "RNAV", none, none, {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, 0},
      {"transition unique", 7, 2, "UBG", "ILS", "UBG", none, {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, 0},
      {"transition shared", 7, 2, "KRATR", none, "KRATR", none, {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    At("KPDX", kPageApproach);
    SetLineState(c.line, c.state);
    Typed(c.typed);
    Ent();
    EXPECT_EQ((Strings{M().SelectedApproach, M().SelectedApproachTransition, M().SelectedApproachTo}),
              (Strings{c.approach, c.transition, c.runway}));
    EXPECT_EQ(LineStates(), c.lines);
  }
  // A type with the runway known and several transitions: the transitions.
  SetUp();
  At("KPDX", kPageApproach);
  M().SelectedApproachTo = "28L";
  SetLineState(7, 1);
  Typed("RNAV");
  Ent();
  EXPECT_EQ(LineStates(), (Lines{0, 0, 0, 0, 0, 0, 2, 0, 0, 0}));
  EXPECT_EQ(Dest().ApproachTransitionListCount, 2);  // WHAMY KRATR
  // The last item resolves the approach: LAVAA BEAVR DUCKZ RW10R BTG.
  M().SelectedApproach = "ILS";
  M().SelectedApproachTransition = "LAVAA";
  SetLineState(6, 2);
  Typed("10R");
  Ent();
  EXPECT_EQ(S().GnsApproachSelection, 1);
  EXPECT_EQ(navdb::procedure_state.ApproachLegCount, 5);
}

TEST_F(ArrivalApproachTest, OpeningsFromPageOneOnBothViews) {
  struct Case {
    const char* name;
    bool active;
    int line5;
    const char *dest, *star, *transition, *runway;
    Lines lines;      // after the opening
    Lines settled;    // after the frame that acts on the posted key
  };
  const Case cases[] = {
      {"arr no destination", true, 1, "------", "JAYPE3", "UBG", "10R", {0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
       {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}},
      {"arr no star", false, 1, "KPDX", "------", "UBG", "10R", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0},
       {0, 0, 0, 0, 0, 0, 2, 0, 0, 0}},
      {"arr no transition", true, 1, "KPDX", "JAYPE3", "------", "10R", {0, 0, 0, 0, 0, 0, 2, 0, 0, 0},
       {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
      {"arr no runway", false, 1, "KPDX", "JAYPE3", "UBG", "------", {0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
       {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}},
      {"apch", true, 2, "KPDX", "ILS", "UBG", "10R", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}},
      {"apch no destination", false, 2, "------", "ILS", "UBG", "10R", {0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
       {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const bool arrival = c.line5 == 1;
    S().GnsXlsFplView = c.active ? kViewActive : kViewStored;
    // The other view's stores hold another choice, never read.
    for (std::string* t : {&M().DestinationAirportIdent, &M().PlanFinalWaypointIdent, &M().SelectedStar,
                           &M().GnsSelectedStarTransition, &M().PendingStarTransition, &M().StarTransitionNone,
                           &M().SelectedArrivalRunway, &M().PlanSelectionText1, &M().PlanSelectionText3,
                           &M().GnsSelectedApproachVia, &M().GnsSelectedApproach, &M().ApproachNone})
      *t = "X";
    (c.active ? M().DestinationAirportIdent : M().PlanFinalWaypointIdent) = c.dest;
    if (arrival) {
      (c.active ? M().SelectedStar : M().GnsSelectedStarTransition) = c.star;
      (c.active ? M().PendingStarTransition : M().StarTransitionNone) = c.transition;
    } else {
      (c.active ? M().PlanSelectionText3 : M().GnsSelectedApproachVia) = c.star;
      (c.active ? M().GnsSelectedApproach : M().ApproachNone) = c.transition;
    }
    (c.active ? M().SelectedArrivalRunway : M().PlanSelectionText1) = c.runway;
    SetLineState(5, c.line5);
    Ent();
    EXPECT_EQ(S().GnsXlsPage, arrival ? kPageArrival : kPageApproach);
    EXPECT_EQ(M().PendingDestinationIdent, c.dest);
    EXPECT_EQ(LineStates(), c.lines);
    DrawFrame();
    EXPECT_EQ(LineStates(), c.settled);
    // Nothing known is cleared on the way to the missing item.
    const Strings items = arrival ? Strings{M().GnsArrivalSelectionText, M().RouteStarTransition}
                                  : Strings{M().SelectedApproach, M().SelectedApproachTransition};
    EXPECT_EQ(items, (Strings{c.star, c.transition}));
    if (std::string(c.dest) == "------") {
      EXPECT_EQ(S().GnsXlsEntryActive, 1);
    }
  }
}

TEST_F(ArrivalApproachTest, AirportTypedFoundOrNot) {
  At("KPDX", kPageApproach);
  SetLineState(6, 1);
  Typed("KXYZ");
  Ent();  // APCH gives its destination up
  EXPECT_EQ(M().PendingDestinationIdent, "------");
  EXPECT_EQ(LineStates()[5], 0);
  EXPECT_EQ(S().GnsXlsEntryActive, 0);
  DrawFrame().Expect("AIRPORT NOT FOUND", 53, 340, kYellow);
  for (const std::int32_t page : {kPageArrival, kPageApproach}) {
    SCOPED_TRACE(page);
    At("KPDX", page);
    SetLineState(6, 1);
    Typed("KBLI");
    Ent();
    EXPECT_EQ(S().GnsXlsPage, kPageDatabaseWaypoint);
    EXPECT_EQ(S().GnsXlsReturnPage, page);
    EXPECT_EQ(M().PendingDestinationIdent, "KBLI");
    Ent();  // confirmed: the new airport's first list
    EXPECT_EQ(S().GnsXlsPage, page);
    Frame f = DrawFrame();
    if (page == kPageArrival) {
      EXPECT_EQ(LineStates(), (Lines{0, 0, 1, 0, 0, 0, 2, 0, 0, 0}));
      f.Expect("SAMMI1?", 30, 160, kBlack);
    } else {
      EXPECT_EQ(LineStates()[5], 2);
      f.Expect("RW16 ", 30, 160, kGreen);
    }
  }
}

// Confirmations against the splices made directly, with each view's stores.
TEST_F(ArrivalApproachTest, ConfirmationsSpliceIntoEitherRouteAndRecordTheChoice) {
  for (const bool active : {true, false}) {
    SCOPED_TRACE(active ? "active" : "stored");
    const Strings route = {"KSEA", "OLM", "BTG", "KPDX"};
    auto prepare = [&] {
      SetUp();
      At("KPDX", kPageArrival);
      active ? MakeActive(route) : MakePending(route);
      navdb::entry_state.PendingPlanOpen = active ? 0 : 1;  // the plan opened from the list
      (active ? flightplan::flightplan_state.ActiveFlightPlan : flightplan::flightplan_state.PendingFlightPlan)[3]
          .type = "APT";
      flightplan::flightplan_state.ActiveWaypointIndex = 2;
      S().GnsXlsFplView = active ? kViewActive : kViewStored;
      M().GnsArrivalSelectionText = "JAYPE3";
      M().RouteStarTransition = "UBG";
      M().SelectedApproachTo = "10R";
      M().SelectedApproach = "ILS";
      M().SelectedApproachTransition = "LAVAA";
      navdb::FindStarIndex("JAYPE3");
      navdb::SelectStarEntry();
      flightplan::SelectApproachTransition();
    };
    prepare();
    active ? flightplan::InsertStarIntoActivePlan() : flightplan::InsertStarIntoPendingPlan();
    active ? flightplan::InsertApproachIntoActivePlan() : flightplan::InsertApproachIntoPendingPlan(0);
    const Strings expected = active ? ActiveIdents() : PendingIdents();

    prepare();
    S().GnsArrivalSelection = 1;
    SetLineState(5, 1);
    Ent();
    EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
    S().GnsXlsPage = kPageApproach;
    Ent();  // the resolved approach, no SELECT? needed
    EXPECT_EQ(active ? ActiveIdents() : PendingIdents(), expected);
    // The flown route's approach returns to page 1 at the same waypoint;
    // the stored plan's stays on APCH.
    EXPECT_EQ(S().GnsXlsPage, active ? kPageFlightPlan : kPageApproach);
    EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
    const Strings stores = active ? Strings{M().SelectedStar, M().PendingStarTransition, M().SelectedArrivalRunway,
                                            M().DestinationAirportIdent, M().PlanSelectionText3,
                                            M().GnsSelectedApproach}
                                  : Strings{M().GnsSelectedStarTransition, M().StarTransitionNone,
                                            M().PlanSelectionText1, M().PlanFinalWaypointIdent,
                                            M().GnsSelectedApproachVia, M().ApproachNone};
    EXPECT_EQ(stores, (Strings{"JAYPE3", "UBG", "10R", "KPDX", "ILS", "LAVAA"}));
    if (!active) {
      EXPECT_EQ(M().SelectedStar, "------");  // the flown route's choice is its own
    }
  }
}

}  // namespace
}  // namespace ovi::gnsxls::test
