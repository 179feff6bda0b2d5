// DEPARTURES and ARRIVALS on the recording surface, over the sample data and
// four SIDs of the user's at Seattle: each column state with its rows and
// markers, empty lists, sub-page counts and the rows of later sub-pages, the
// choices spliced into the pending route, and the bottom keys.
#include <memory>
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/procedure_pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/procedures.h"
#include "tests/fms/cdu_support.h"
#include "tests/flightplan/route_support.h"

namespace ovi::fms::test {
namespace {

using flightplan::test::PendingIdents;
using flightplan::test::Strings;

model::State& M() { return model::model_state; }
flightplan::State& F() { return flightplan::flightplan_state; }
model::FmsSubPageTable& Sub() { return model::model_state.FmsSubPageTable; }

// Seattle's SIDs: these four first (the user's file is read first), then
// SUMMA2, HAROB6 and ELMAA3; S4 has nine transitions, S1 serves 16L only.
constexpr const char* kUserSids =
    "A KSEA\n"
    "P S1 16L\n"
    "L - FOURT - 3000 47.3500 -122.3060\n"
    "P S2\n"
    "L - FOURT - 3000 47.3500 -122.3060\n"
    "P S3\n"
    "L - FOURT - 3000 47.3500 -122.3060\n"
    "P S4\n"
    "L - FOURT - 3000 47.3500 -122.3060\n"
    "L T1 OLM - - 46.9713 -122.9022\n"
    "L T2 OLM - - 46.9713 -122.9022\n"
    "L T3 OLM - - 46.9713 -122.9022\n"
    "L T4 OLM - - 46.9713 -122.9022\n"
    "L T5 OLM - - 46.9713 -122.9022\n"
    "L T6 BTG - - 45.7476 -122.5922\n"
    "L T7 OLM - - 46.9713 -122.9022\n"
    "L T8 OLM - - 46.9713 -122.9022\n"
    "L T9 OLM - - 46.9713 -122.9022\n";

class ProcedurePageTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    folder_ = std::make_unique<navdb::test::ScratchFolder>(navdb::test::ScratchFolder::Navdata::kSampleCopy);
    folder_->Write("sids_user.txt", kUserSids);
    navdb::LoadNavDatabase();
    Route({"KSEA", "KPDX"});
    F().RouteState = 1;
  }
  // A route being entered: airports at both ends, edits from leg 1.
  static void Route(const Strings& idents) {
    flightplan::test::MakePending(idents);
    F().PendingFlightPlan[F().PendingFlightPlanLastIndex].type = "APT";
    F().EditWaypointIndex = 1;
  }
  void Departures(const char* origin) {
    ASSERT_EQ(navdb::LoadAirportProcedures(origin, 1), 1);
    M().OriginAirportIdent = origin;
    OpenDeparturesPage();
  }
  void Arrivals(const char* destination) {
    ASSERT_EQ(navdb::LoadAirportProcedures(destination, 2), 1);
    M().DestinationAirportIdent = destination;
    OpenArrivalsPage();
  }
  Frame Press(int key) {
    PressLineKey(key);
    return DrawFrame();
  }
  std::unique_ptr<navdb::test::ScratchFolder> folder_;
};

TEST_F(ProcedurePageTest, DeparturesListsAndPages) {
  Departures("KSEA");
  Frame f = DrawFrame();
  f.ExpectText("KSEA DEPARTURES", 25, 0);
  f.ExpectText(" 1 /  2", 230, 0, 12);  // seven SIDs, six runways
  f.ExpectText("SUMMA2", 0, 165);
  f.ExpectText("16R", 240, 165);
  f.ExpectText("<INDEX", 0, 198);
  f.ExpectText("ROUTE>", 200, 198);
  ExpectLegible(f);
  fms_state.FmsNextPageKey = 1;
  f = DrawFrame();
  f.ExpectText("ELMAA3", 0, 66);
  f.ExpectText("34L", 240, 33);
  fms_state.FmsNextPageKey = 1;
  DrawFrame().ExpectText(" 1 /  2", 230, 0, 12);

  // No SIDs: the runways still take their keys.
  Departures("KBFI");
  f = DrawFrame();
  f.ExpectText("- N O N E -", 0, 33);
  f.ExpectText(" 1 /  1", 230, 0, 12);
  f = Press(kR3);
  EXPECT_EQ(M().RouteDepartureRunway, "14R");
  f.ExpectText("14R", 240, 33);
  EXPECT_FALSE(f.Find("14L"));
}

TEST_F(ProcedurePageTest, ASidItsTransitionsAndARunway) {
  Departures("KSEA");
  // HAROB6 on sub-page 2: sub-page 1 shows it with its transition, and the
  // route takes its legs at once.
  Sub().DeparturesSubPage = 2;
  Frame f = Press(kL1);
  EXPECT_EQ(M().RouteSid, "HAROB6");
  EXPECT_EQ(fms_state.FmsDepSidState, 1);
  EXPECT_EQ(Sub().DeparturesSubPage, 1);
  f.ExpectText("HAROB6", 0, 33);
  EXPECT_TRUE(f.FindAt("<SEL>", 93, 33));
  f.ExpectText("T R A N S", 10, 53, 12);
  f.ExpectText("BLI  ", 0, 66);  // BVS is not offered
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "GLASR", "HAROB", "KPDX"}));
  EXPECT_EQ(F().RouteState, 1);

  // S4: transitions 1 to 4 under it, 5 to 9 on sub-page 2.
  Departures("KSEA");
  f = Press(kL4);
  f.ExpectText("T4   ", 0, 165);
  fms_state.FmsNextPageKey = 1;
  f = DrawFrame();
  f.ExpectText("T R A N S", 10, 19, 12);
  f.ExpectText("T5   ", 0, 33);
  f.ExpectText("T9   ", 0, 165);
  // The runway key of sub-page 2 takes the runway its row shows.
  f.ExpectText("34L", 240, 33);
  Press(kR1);
  EXPECT_EQ(M().RouteDepartureRunway, "34L");
  EXPECT_EQ(navdb::procedure_state.AirportProcedureSets[1].SelectedRunwayIndex, 6);
  // T6, the transition on row 2 of sub-page 2, alone under the SID.
  Sub().DeparturesSubPage = 2;
  f = Press(kL2);
  EXPECT_EQ(M().SelectedSidTransition, "T6");
  EXPECT_EQ(fms_state.FmsDepTransChosen, 1);
  f.ExpectText("T6   ", 0, 66);
  EXPECT_TRUE(f.FindAt("<SEL>", 93, 66));
  EXPECT_FALSE(f.Find("T1   "));
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "FOURT", "BTG", "KPDX"}));
}

TEST_F(ProcedurePageTest, ARunwayAfterTheSidAppliesItAgain) {
  Departures("KSEA");
  Press(kL1);  // S1, 16L only
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "FOURT", "KPDX"}));
  // Its runway list is 16L alone; choosing it keeps S1.
  Frame f = Press(kR1);
  EXPECT_EQ(M().RouteDepartureRunway, "16L");
  EXPECT_TRUE(f.FindAt("<SEL>", 153, 33));
  EXPECT_EQ(M().RouteSid, "S1");
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "FOURT", "KPDX"}));
  // A runway first: only the SIDs that serve it.
  M().RouteSid = model::kNoneText;
  fms_state.FmsDepSidState = 0;
  Departures("KSEA");
  f = Press(kR2);
  EXPECT_EQ(M().RouteDepartureRunway, "34R");
  f.ExpectText("S2    ", 0, 33);
  EXPECT_EQ(navdb::procedure_state.AirportProcedureSets[1].SidNameListCount, 5);  // not S1, not ELMAA3
  // On the flown route a runway is a modification.
  F().RouteState = 3;
  Departures("KSEA");
  EXPECT_TRUE(DrawFrame().FindAt("<ACT>", 153, 66));
  Press(kR2);
  EXPECT_EQ(F().RouteState, 4);
  const Frame erase = DrawFrame();
  erase.ExpectText("<ERASE", 0, 198);
  EXPECT_TRUE(erase.Find("<SEL>"));
  f = Press(kL6);
  EXPECT_EQ(F().RouteState, 3);
  // ERASE lists every runway again, none chosen.
  EXPECT_EQ(fms_state.FmsDepRunwayChosen, 0);
  f.ExpectText("16L", 240, 33);
  f.ExpectText("34R", 240, 66);
  Press(kL6);
  EXPECT_EQ(fms_state.FmsPage, kPageDepArrIndex);
}

TEST_F(ProcedurePageTest, ArrivalsApproachesThenRunways) {
  Arrivals("KSEA");
  Frame f = DrawFrame();
  f.ExpectText("KSEA ARRIVALS", 40, 0);
  f.ExpectText(" 1 /  2", 220, 0, 12);  // three approaches and six runways
  f.ExpectText("A P P R O A C H E S", 160, 19, 12);
  f.ExpectText(" VOR 16L", 190, 99);
  f.ExpectText("R U N W A Y S", 190, 118, 12);
  f.ExpectText("16L", 240, 132);
  f.ExpectText("ROUTE>", 200, 198);
  // ARRIVALS draws DEPARTURES' 24 dashes: 26 ran past the screen's edge.
  f.ExpectText("- - - - - - - - - - - - - - - - - - - - - - - -", 2, 184);
  ExpectLegible(f);
  fms_state.FmsNextPageKey = 1;
  f = DrawFrame();
  f.ExpectText("R U N W A Y S", 190, 19, 12);
  f.ExpectText("16C", 240, 33);
  EXPECT_FALSE(f.Find("A P P R O A C H E S"));
  // A runway row: that runway alone.
  f = Press(kR2);
  EXPECT_EQ(M().SelectedArrivalRunway, "34C");
  EXPECT_EQ(fms_state.FmsArrRunwayChosen, 1);
  EXPECT_TRUE(f.FindAt("<SEL>", 153, 33));
  EXPECT_FALSE(f.Find(" ILS 16C"));

  // No procedures at all: "- N O N E -" rows, the runways after the
  // approaches' row.
  Arrivals("KBFI");
  f = DrawFrame();
  f.ExpectText("- N O N E -", 0, 33);  // no STAR; the approaches' one stands at (200, 33)
  EXPECT_EQ(f.rec.CountText("- N O N E -"), 2);
  f.ExpectText("R U N W A Y S", 190, 52, 12);
  f.ExpectText("14L", 240, 66);
  Press(kR2);
  EXPECT_EQ(M().SelectedArrivalRunway, "14L");
  Arrivals("KBFI");
  Press(kR1);  // the row of no approach
  EXPECT_EQ(fms_state.FmsArrRunwayChosen, 0);
}

TEST_F(ProcedurePageTest, AStarAndAnApproachWithTheirTransitions) {
  Route({"KPDX", "KSEA"});
  Arrivals("KSEA");
  Frame f = Press(kL1);
  EXPECT_EQ(M().SelectedStar, "CHINS5");
  EXPECT_EQ(fms_state.FmsArrStarState, 1);
  EXPECT_TRUE(f.FindAt("<SEL>", 93, 33));
  f.ExpectText("T R A N S", 10, 55, 12);
  f.ExpectText("YKM  ", 0, 99);
  // The STAR transition: FmsArrApproachState says it is chosen.
  f = Press(kL3);
  EXPECT_EQ(M().PendingStarTransition, "YKM");
  EXPECT_EQ(fms_state.FmsArrApproachState, 1);
  f.ExpectText("YKM  ", 0, 66);
  EXPECT_TRUE(f.FindAt("<SEL>", 93, 66));
  EXPECT_EQ(PendingIdents(), (Strings{"KPDX", "YKM", "PACKW", "MORTN", "CHINS", "KSEA"}));

  // The approach: FmsArrTransChosen says it is chosen.
  f = Press(kR2);
  EXPECT_EQ(M().SelectedApproach, "RNAV");
  EXPECT_EQ(M().SelectedApproachTo, "34R");
  EXPECT_EQ(fms_state.FmsArrTransChosen, 1);
  f.ExpectText("RNAV 34R", 190, 33);
  EXPECT_TRUE(f.FindAt("<SEL>", 135, 33));
  // The STAR's marker and the approach's share row 1, the small font
  // keeps them apart.
  EXPECT_TRUE(f.FindAt("<SEL>", 93, 33));
  for (const gfx::Recorder::TextItem& t : f.rec.Texts()) {
    if (t.text == "<SEL>") {
      EXPECT_FLOAT_EQ(t.font_size, 12.0f) << t.x;
    }
  }
  EXPECT_TRUE(f.FindAt("T R A N S", 220, 52));
  f.ExpectText("CHINS", 210, 66);
  f.ExpectText("  OLM", 210, 99);
  f = Press(kR3);
  EXPECT_EQ(M().SelectedApproachTransition, "OLM");
  EXPECT_EQ(fms_state.FmsSelectedApproachIndex, 2);
  EXPECT_EQ(fms_state.FmsArrApproachTransChosen, 1);
  f.ExpectText("  OLM", 210, 66);
  EXPECT_TRUE(f.FindAt("<SEL>", 135, 66));
  EXPECT_FALSE(f.Find("CHINS"));
  f.ExpectText(" 1 /  1", 220, 0, 12);
}

// A SID chosen on the flown route opens a modification like any other road:
// the hold on a leg of the SID it replaces goes at EXEC, the hold on the
// route behind it stays on its waypoint.
TEST_F(ProcedurePageTest, ASidChosenOnTheFlownRouteKeepsTheHoldsOnTheirWaypoints) {
  guidance::guidance_state.GroundSpeedKnots = 250.0;
  Route({"KSEA", "FOURT", "OLM", "BTG", "KPDX"});
  F().PendingFlightPlan[1].procedure_tag = "SID";
  F().PendingFlightPlan[1].via = "S1";
  ASSERT_TRUE(flightplan::AddHoldAtWaypoint(1, 0));
  ASSERT_TRUE(flightplan::AddHoldAtWaypoint(2, 0));
  M().OriginAirportIdent = "KSEA";  // a new origin would drop every hold
  F().RouteState = 2;
  flightplan::ExecutePendingRoute();
  ASSERT_EQ(F().RouteState, 3);
  ASSERT_EQ(F().HoldCount, 2);

  Departures("KSEA");
  Press(kL5);  // SUMMA2
  ASSERT_EQ(M().RouteSid, "SUMMA2");
  EXPECT_EQ(F().RouteState, 4);
  const Strings route = PendingIdents();
  ASSERT_EQ(route.front(), "KSEA");
  ASSERT_EQ(route[route.size() - 3], "OLM");
  flightplan::ExecutePendingRoute();
  EXPECT_EQ(flightplan::test::HoldBreach(), "");
  ASSERT_EQ(F().HoldCount, 1);
  EXPECT_EQ(F().HoldTable[1].name, "OLM");
  EXPECT_EQ(F().HoldTable[1].active_index, static_cast<int>(route.size()) - 3);
}

}  // namespace
}  // namespace ovi::fms::test
