// RTE LEGS on the recording surface: the listing in each route state (which
// plan shows, the active waypoint, courses and distances, every constraint
// form), hold rows and what their keys take, sub-pages, the PLAN marker and
// STEP, the bottom area of each mode, and the key actions of the normal,
// DIR INTC and HOLD AT selections.
#include <cmath>
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"
#include "tests/flightplan/route_support.h"

namespace ovi::fms::test {
namespace {

using flightplan::test::MakeActive;
using flightplan::test::MakePending;
using flightplan::test::PendingIdents;
using flightplan::test::Strings;

flightplan::State& F() { return flightplan::flightplan_state; }
model::State& M() { return model::model_state; }

class LegsPageTest : public navdb::test::SampleRegionTest {
 protected:
  void SetUp() override {
    SampleRegionTest::SetUp();
    fms_state.FmsPage = kPageRteLegs;
    F().RouteState = 1;
    F().ActiveWaypointIndex = 1;
    // KSEA A B C D E F G KPDX, last index 8.
    MakePending({"KSEA", "A", "B", "C", "D", "E", "F", "G", "KPDX"});
  }
  Frame Press(int key, const std::string& typed = "") {
    M().FmsScratchpad = typed;
    PressLineKey(key);
    return DrawFrame();
  }
  static void Place(model::FlightPlanWaypoint& w, double lat, double lon) {
    w.latitude = lat;
    w.longitude = lon;
  }
};

TEST_F(LegsPageTest, AnEmptyPlanShowsTheEndOfTheRoute) {
  F().PendingFlightPlanLastIndex = -1;
  F().ActiveWaypointIndex = model::kNoWaypoint;
  const Frame f = DrawFrame();
  f.ExpectText("RTE    LEGS", 63, 0);
  f.ExpectText(" 1 /  0", 220, 0, 12);
  f.ExpectText("- - - - - -", 0, 30);
  EXPECT_FALSE(f.Find("ACT"));
  EXPECT_FALSE(f.Find("MOD"));
  // A key on a row of nothing inserts nothing.
  Press(kL1, "OLM");
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
}

TEST_F(LegsPageTest, TheTitleAndWhichPlanShows) {
  MakeActive({"KSEA", "ACT1", "KPDX"});
  struct Case {
    int state;
    const char* first_leg;
    bool act, mod;
  };
  for (const Case& c : {Case{0, "A    ", false, false}, Case{2, "A    ", false, false},
                        Case{3, "ACT1 ", true, false}, Case{4, "A    ", false, true}}) {
    SCOPED_TRACE(c.state);
    F().RouteState = c.state;
    const Frame f = DrawFrame();
    EXPECT_TRUE(f.Find(c.first_leg));
    EXPECT_EQ(f.Find("ACT"), c.act);
    EXPECT_EQ(f.Find("MOD"), c.mod);
    if (c.act) f.ExpectText("ACT", 10, 0);
    if (c.mod) ExpectModBox(f);
  }
}

TEST_F(LegsPageTest, LegRowsCoursesAndTheActiveWaypoint) {
  model::FlightPlanTable& p = F().PendingFlightPlan;
  guidance::guidance_state.MagneticVariation = 0.0;
  MakePending({"KSEA", "N", "S", "E", "KPDX"});
  Place(p[0], 0.0, 179.9);
  Place(p[1], 1.0, 179.9 + std::tan(0.2 * M_PI / 180.0));  // 0.2 degrees east of north: 360
  Place(p[2], 0.0, p[1].longitude);                          // south, 60 NM
  Place(p[3], 0.0, -179.8);                                  // east across 180 degrees
  const Frame f = DrawFrame();
  f.ExpectText("360\xC2\xB0", 20, 22, 12);
  f.ExpectText("   60 NM", 100, 22, 12);
  f.ExpectText("180\xC2\xB0", 20, 55, 12);
  f.ExpectText("090\xC2\xB0", 20, 88, 12);
  f.ExpectText("   18 NM", 100, 88, 12);
  // The active waypoint in black on its box, the others green.
  gfx::Recorder::TextItem n;
  ASSERT_TRUE(f.rec.FindText("N    ", &n));
  EXPECT_EQ(n.color, kBlack);
  f.ExpectText("S    ", 0, 66);
  f.ExpectText("- - - - - -", 0, 129);  // the end after the third leg
  EXPECT_EQ(f.rec.Count(gfx::OpKind::Polygon, kGreen, 1), 1);
}

TEST_F(LegsPageTest, ConstraintForms) {
  struct Case {
    double speed, altitude;
    unsigned flag;
    int state;
    const char* text;
    float x;
  };
  const Case cases[] = {
      {-999, -999, 0, 1, "- - - - / - - - - - -", 130},
      {250, 35000, 1, 1, "  250 / FL350A", 130},
      {-999, 5000, 0, 1, "- - - - /  5000", 140},
      {-999, 18000, 1, 1, "- - - - / 18000A", 140},  // at the transition altitude: feet
      {250, -999, 0, 1, "  250 / - - - - - -", 145},
      {240, 12345, 0, 3, "  240 / 12300", 130},       // the flown route: whole hundreds
      {240, 12345, 0, 1, "  240 / 12345", 130},
  };
  M().TransAlt = 18000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    F().RouteState = c.state;
    model::FlightPlanTable& plan = c.state == 3 ? F().ActiveFlightPlan : F().PendingFlightPlan;
    if (c.state == 3) MakeActive({"KSEA", "A", "KPDX"});
    plan[1].speed_constraint = c.speed;
    plan[1].altitude_constraint = c.altitude;
    plan[1].constraint_flag = c.flag;
    DrawFrame().ExpectText(c.text, c.x, 33);
  }
}

// Holds on A and B: A, HOLD AT A, B, HOLD AT B, C on sub-page 1, D to G and
// the end on sub-page 2 (eight entries and two holds: two sub-pages).
TEST_F(LegsPageTest, HoldRowsTakeRowsOfTheirOwnAndTheirKeysTheHeldWaypoint) {
  F().ActiveWaypointIndex = model::kNoWaypoint;  // nothing highlighted
  flightplan::test::PutPendingHold(1, 1);
  flightplan::test::PutPendingHold(2, 2);
  Frame f = DrawFrame();
  f.ExpectText(" 1 /  2", 220, 0, 12);
  f.ExpectText("A    ", 0, 33);
  f.ExpectText("H O L D   A T", 20, 55, 12);
  f.ExpectText("B    ", 0, 99);
  f.ExpectText("C    ", 0, 165);
  EXPECT_EQ(f.rec.CountText("H O L D   A T"), 2);
  // An empty scratchpad copies the held waypoint of a hold row.
  Press(kL4);
  EXPECT_EQ(M().FmsScratchpad.str(), "B");
  // DELETE on a hold row marks the hold for EXEC; the row goes at once.
  F().RouteState = 3;
  MakeActive({"KSEA", "A", "B", "C", "D", "E", "F", "G", "KPDX"});
  F().HoldTable[2].active_index = 6;  // flown at 6, edited at 2
  M().PanelMessage = "DELETE";
  F().ActiveFlightPlan[1].hold_number = 1;
  F().ActiveFlightPlan[2].hold_number = 2;
  f = Press(kL4);
  EXPECT_EQ(fms_state.FmsHoldWaypointIndex, 6);
  EXPECT_EQ(F().PendingFlightPlan[2].hold_number, 0u);
  EXPECT_EQ(F().RouteState, 4);
  EXPECT_EQ(f.rec.CountText("H O L D   A T"), 1);

  M().FmsSubPageTable.LegsSubPage = 2;
  F().RouteState = 1;
  fms_state.FmsLegsSelectedIndex = 0;
  MakePending({"KSEA", "A", "B", "C", "D", "E", "F", "G", "KPDX"});
  flightplan::test::PutPendingHold(1, 1);
  flightplan::test::PutPendingHold(2, 2);
  f = DrawFrame();
  f.ExpectText(" 2 /  2", 220, 0, 12);
  f.ExpectText("D    ", 0, 33);
  f.ExpectText("G    ", 0, 132);
  f.ExpectText("- - - - - -", 0, 162);
}

// A modification lists from the edited waypoint; NEXT PAGE goes on from
// there, whichever leg was chosen or inserted since and wherever the
// aircraft flies: A to E on sub-page 1, F, G and the end on sub-page 2.
TEST_F(LegsPageTest, ModificationSubPagesFollowOnFromTheEditedWaypoint) {
  struct Case {
    int selected, edited, active;
  };
  for (const Case& c : {Case{3, 1, 1}, Case{7, 1, 1}, Case{0, 1, 5}}) {
    SCOPED_TRACE(testing::Message() << c.selected << " " << c.edited << " " << c.active);
    F().RouteState = 4;
    fms_state.FmsLegsSelectedIndex = c.selected;
    F().EditWaypointIndex = c.edited;
    F().ActiveWaypointIndex = c.active;
    M().FmsSubPageTable.LegsSubPage = 1;
    Frame f = DrawFrame();
    f.ExpectText("A    ", 0, 33);
    f.ExpectText("E    ", 0, 165);
    fms_state.FmsNextPageKey = 1;
    DrawFrame();
    f = DrawFrame();
    f.ExpectText(" 2 /  2", 220, 0, 12);
    f.ExpectText("F    ", 0, 33);
    f.ExpectText("G    ", 0, 66);
    f.ExpectText("- - - - - -", 0, 96);
  }
}

TEST_F(LegsPageTest, LineKeysOnLegRows) {
  // Empty scratchpad: the ident; a later waypoint's ident cuts up to it;
  // the row's own ident is refused; the last entry cannot be deleted.
  Press(kL2);
  EXPECT_EQ(M().FmsScratchpad.str(), "B");
  Press(kL1, "D");
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "D", "E", "F", "G", "KPDX"}));
  EXPECT_TRUE(M().FmsScratchpad.empty());
  Press(kL1, "D");
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
  M().PanelMessage = "DELETE";
  Press(kL5);  // KPDX's place
  EXPECT_EQ(M().PanelMessage, "INVALID DELETE");
  M().PanelMessage = "DELETE";
  Press(kL2);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "D", "DISCO", "F", "G", "KPDX"}));
  // A typed ident: several candidates open SELECT WAYPOINT for the row,
  // none is not in the database.
  M().PanelMessage.clear();
  Press(kL1, "XXXXX");
  EXPECT_EQ(M().PanelMessage, "NOT IN DATABASE");
  EXPECT_EQ(M().FmsScratchpad.str(), "XXXXX");
  Press(kL1, "ELN");
  EXPECT_EQ(fms_state.FmsPage, kPageSelectWaypoint);
  EXPECT_EQ(fms_state.FmsSelectInsertRow, 1);
  EXPECT_EQ(fms_state.FmsSelectReturnPage, kPageRteLegs);
}

// The pending route the page copied when it opened may since have fallen
// behind the flown one (a waypoint passed, its time written) or been taken
// by another unit's working copy: a row edit of the flown route starts from
// the flown route as it now is, so EXEC flies the edit and keeps the rest.
TEST_F(LegsPageTest, ARowEditOfTheFlownRouteStartsFromItAsItNowIs) {
  struct Case {
    const char* what;
    int key;
    const char* typed;
    Strings after;
  };
  const Case cases[] = {
      {"delete", kL2, "", {"KSEA", "A", "B", "DISCO", "D", "E", "F", "G", "KPDX"}},
      {"cut", kL1, "D", {"KSEA", "A", "D", "E", "F", "G", "KPDX"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeActive({"KSEA", "A", "B", "C", "D", "E", "F", "G", "KPDX"});
    F().ActiveWaypointIndex = 2;
    F().RouteState = 3;
    MakePending({"KSEA", "STALE", "KPDX", "******"});
    F().ActiveFlightPlan[1].time_over_text = "12:34";
    M().PanelMessage = *c.typed == '\0' ? "DELETE" : "";
    Press(c.key, c.typed);
    EXPECT_EQ(F().RouteState, 4);
    flightplan::ExecutePendingRoute();
    EXPECT_EQ(flightplan::test::ActiveIdents(), c.after);
    EXPECT_EQ(F().ActiveFlightPlan[1].time_over_text, "12:34");
  }
}

TEST_F(LegsPageTest, AnEmptyScratchpadTakesTheConstraintsAsTheyWouldBeTyped) {
  model::FlightPlanWaypoint& a = F().PendingFlightPlan[1];
  struct Case {
    double speed, altitude;
    const char* copied;
  };
  for (const Case& c : {Case{250, 11000, "250/11000"}, Case{250, 500, ""}, Case{-999, 11000, ""}}) {
    a.speed_constraint = c.speed;
    a.altitude_constraint = c.altitude;
    Press(kR1);
    EXPECT_EQ(M().FmsScratchpad.str(), c.copied) << c.speed << " " << c.altitude;
  }
  // It reads back as the same constraint.
  a.speed_constraint = 250;
  a.altitude_constraint = 11000;
  Press(kR1);
  Press(kR2, M().FmsScratchpad.str());
  EXPECT_EQ(F().PendingFlightPlan[2].speed_constraint, 250.0);
  EXPECT_EQ(F().PendingFlightPlan[2].altitude_constraint, 11000.0);
}

TEST_F(LegsPageTest, NoActiveWaypointListsFromTheFirstLeg) {
  F().ActiveWaypointIndex = model::kNoWaypoint;
  const Frame f = DrawFrame();
  f.ExpectText("A    ", 0, 33);
  EXPECT_EQ(F().PlanStepIndex, 1);
  // Inserting at the active waypoint needs one.
  fms_state.FmsHoldFixSelect = 1;
  Press(kL6, "OLM");
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
  fms_state.FmsHoldFixSelect = 2;
  Press(kR6);
  EXPECT_EQ(PendingIdents(), (Strings{"KSEA", "A", "B", "C", "D", "E", "F", "G", "KPDX"}));
}

TEST_F(LegsPageTest, PlanMarkerAndStep) {
  M().HWB737NDMode = 7;
  Frame f = DrawFrame();
  EXPECT_EQ(F().PlanStepIndex, 1);
  // Small, on the row's baseline, clear of the constraint at 130.
  f.ExpectText("<CTR>", 80, 38, 12);
  f.ExpectText("STEP >", 190, 198);
  ExpectLegible(f);
  // A second CDU in the same frame finds the keys gone and keeps the step.
  Press(kR6);
  DrawFrame().ExpectText("<CTR>", 80, 71, 12);
  EXPECT_EQ(F().PlanStepIndex, 2);
  // Past the sub-page's five legs: the next sub-page, centred on its first.
  F().PlanStepIndex = 5;
  Press(kR6);
  EXPECT_EQ(M().FmsSubPageTable.LegsSubPage, 2);
  EXPECT_EQ(F().PlanStepIndex, 0);
  DrawFrame();
  EXPECT_EQ(F().PlanStepIndex, 6);
  // At the last entry: back to the start.
  F().PlanStepIndex = 7;
  Press(kR6);
  EXPECT_EQ(M().FmsSubPageTable.LegsSubPage, 1);
  EXPECT_EQ(F().PlanStepIndex, 1);
  // No PLAN map: the frame lets go of the step and the page takes its first leg.
  M().HWB737NDMode = 5;
  F().PlanStepIndex = 4;
  f = DrawFrame();
  EXPECT_EQ(F().PlanStepIndex, 1);
  EXPECT_FALSE(f.Find("<CTR>"));
  Press(kR6);  // ACTIVATE
  EXPECT_EQ(F().RouteState, 2);
  Press(kR6);  // RTE DATA
  EXPECT_EQ(fms_state.FmsPage, kPageRoute);
}

TEST_F(LegsPageTest, BottomAreaOfEachMode) {
  struct Case {
    int mode, state, nd_mode;
    std::vector<const char*> texts;
    int boxes;
  };
  const Case cases[] = {
      {0, 1, 5, {"R N P / A C T U A L", ". . . . . . . . . . . . .", "1 . 0 0 / 0 . 0 0 N M", "ACTIVATE >"}, 0},
      {0, 1, 7, {". . . . . .", "M A P  C T R", "STEP >"}, 0},
      {0, 4, 5, {". . . . . . . . . . . . . . . . . . . . . . . .", "< ERASE", "RTE DATA >"}, 0},
      {1, 2, 5, {"D I R E C T    T O                    I N T C    L E G", "- - - - -", "T O"}, 10},
      {2, 1, 7, {"- - - - - - -                  - - - - - - - - - -", "H O L D  A T", "PPOS >"}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " state " << c.state);
    fms_state.FmsHoldFixSelect = c.mode;
    F().RouteState = c.state;
    M().HWB737NDMode = c.nd_mode;
    const Frame f = DrawFrame();
    for (const char* t : c.texts) EXPECT_TRUE(f.Find(t)) << t;
    EXPECT_EQ(f.rec.Count(gfx::OpKind::Rectangle), c.boxes);
    ExpectLegible(f);
    // The right prompts only where R6 does what they say.
    if (c.mode != 0) {
      EXPECT_FALSE(f.Find("STEP >") || f.Find("ACTIVATE >") || f.Find("RTE DATA >"));
    }
  }
  // The RNP line stays clear of the prompt beside it.
  fms_state.FmsHoldFixSelect = 0;
  F().RouteState = 2;
  M().HWB737NDMode = 5;
  const Frame normal = DrawFrame();
  normal.ExpectText("1 . 0 0 / 0 . 0 0 N M", 0, 198, 12);
  normal.ExpectText("RTE DATA >", 150, 198);
  // HOLD AT: no entry boxes once the racetrack is flown.
  fms_state.FmsHoldFixSelect = 2;
  guidance::guidance_state.HoldSegmentCounter = 2;
  EXPECT_EQ(DrawFrame().rec.Count(gfx::OpKind::Rectangle), 0);
}

TEST_F(LegsPageTest, DirectInterceptSelection) {
  F().RouteState = 3;
  MakeActive({"KSEA", "A", "B", "C", "KPDX"});
  Place(F().ActiveFlightPlan[1], 47.0, -122.0);
  Place(F().ActiveFlightPlan[2], 46.0, -122.0);  // B due south of A
  guidance::guidance_state.MagneticVariation = 15.0;
  fms_state.FmsHoldFixSelect = 1;
  fms_state.FmsLegsKey = 1;  // the copy of the flown route to edit
  Press(kL2);
  EXPECT_EQ(fms_state.FmsDirectLegIndex, 2);
  // R6 chooses like L6 until a course may be entered.
  Frame f = Press(kR6, "B");
  EXPECT_EQ(F().RouteState, 4);
  EXPECT_EQ(fms_state.FmsLegsSelectedIndex, 2);
  EXPECT_EQ(fms_state.FmsLegsEntryState, 1);
  EXPECT_EQ(F().PendingFlightPlan[2].value3, 165.0);  // 180 true, 15 east
  EXPECT_EQ(f.rec.CountText("165\xC2\xB0"), 2);  // the INTC CRS and the leg's own course
  for (const char* bad : {"ABC", "361"}) {
    M().PanelMessage.clear();
    Press(kR6, bad);
    EXPECT_EQ(M().PanelMessage, "INVALID ENTRY") << bad;
  }
  // 360 itself is a course, the last one accepted.
  M().PanelMessage.clear();
  Press(kR6, "360");
  EXPECT_EQ(M().PanelMessage, "");
  EXPECT_EQ(F().PendingFlightPlan[2].value3, 360.0);
  Press(kR6, "090");
  EXPECT_EQ(F().PendingFlightPlan[2].value3, 90.0);
  DrawFrame().ExpectText("090\xC2\xB0", 215, 193);
  // ERASE; on a new route a typed fix goes in front of the active waypoint.
  Press(kL6, "OLM");
  EXPECT_EQ(F().RouteState, 3);
  // Back to the flown route in normal mode: B's own course again.
  const Frame erased = DrawFrame();
  EXPECT_TRUE(erased.Find("R N P / A C T U A L"));
  EXPECT_EQ(fms_state.FmsHoldFixSelect, 0);
  erased.ExpectText("165\xC2\xB0", 20, 55, 12);
  F().RouteState = 1;
  fms_state.FmsHoldFixSelect = 1;
  Press(kL6, "OLM");
  EXPECT_EQ(F().PendingFlightPlan[1].ident, "OLM");
  EXPECT_EQ(fms_state.FmsLegsEntryState, 1);
}

TEST_F(LegsPageTest, HoldAtSelection) {
  fms_state.FmsHoldFixSelect = 2;
  // A leg picked by its row: L6 holds there and RTE HOLD shows that hold.
  flightplan::test::PutPendingHold(1, 5);
  Press(kL3);
  EXPECT_EQ(fms_state.FmsLegsMarker, 3);
  Press(kL6, "C");
  EXPECT_EQ(F().HoldCount, 2);
  EXPECT_EQ(F().PendingFlightPlan[3].hold_number, 1u);  // sorted before the hold at E
  EXPECT_EQ(M().FmsSubPageTable.RteHoldSubPage, 1);
  EXPECT_EQ(fms_state.FmsPage, kPageRteHold);
  EXPECT_TRUE(M().FmsScratchpad.empty());

  // A typed fix becomes "HOLD AT fix", which a row then places.
  fms_state.FmsPage = kPageRteLegs;
  Press(kL6, "OLM");
  EXPECT_EQ(M().FmsScratchpad.str(), "HOLD AT OLM");
  EXPECT_EQ(fms_state.FmsHoldInsertFlag, 1);
  Press(kL2, M().FmsScratchpad.str());
  EXPECT_EQ(F().PendingFlightPlan[2].ident, "OLM");
  EXPECT_GT(F().PendingFlightPlan[2].hold_number, 0u);
  EXPECT_EQ(F().HoldCount, 3);
  // Several candidates: SELECT WAYPOINT hands the first back at once.
  Press(kL6, "ELN");
  EXPECT_EQ(fms_state.FmsPage, kPageSelectWaypoint);
  DrawFrame();
  EXPECT_EQ(fms_state.FmsPage, kPageRteLegs);
  EXPECT_EQ(M().FmsScratchpad.str(), "HOLD AT ELN");
  EXPECT_EQ(fms_state.FmsHoldFixCandidate, 1);

  // PPOS: a WPT point at the aircraft in front of the active waypoint.
  guidance::guidance_state.PlaneLatitude = 47.3;
  guidance::guidance_state.PlaneLongitude = -122.5;
  Press(kR6);
  EXPECT_EQ(F().PendingFlightPlan[1].ident, "WPT01");
  EXPECT_EQ(F().PendingFlightPlan[1].latitude, 47.3);
  EXPECT_EQ(F().PendingFlightPlan[2].ident, "A");
  EXPECT_GT(F().PendingFlightPlan[1].hold_number, 0u);
  EXPECT_EQ(fms_state.FmsPage, kPageRteHold);
  // The table is full: no further hold, and no waypoint either.
  fms_state.FmsPage = kPageRteLegs;
  F().HoldCount = model::kMaxHolds;
  const Strings before = PendingIdents();
  Press(kR6);
  EXPECT_EQ(M().PanelMessage, "INVALID ENTRY");
  EXPECT_EQ(PendingIdents(), before);
}

}  // namespace
}  // namespace ovi::fms::test
