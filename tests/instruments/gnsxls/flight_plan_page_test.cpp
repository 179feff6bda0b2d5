// FLIGHT PLAN (page 1): the list, stored plan and active views as drawn
// (places, colours, blocks, markers), the line-key table in every view, and
// the data column.
#include "src/flightplan/execute.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/instruments/fms/keypad.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::F;
using flightplan::test::G;
using flightplan::test::LongRoute;
using flightplan::test::MakeActive;
using flightplan::test::MakePending;
using Block = Frame::Block;
using Blocks = std::vector<Block>;
using FlightPlanPageTest = GnsTest;

Frame Press(int key) {
  PressLineKey(key);
  return DrawFrame();
}

void ShowStoredPlan(const Strings& idents) {
  MakePending(idents);
  S().GnsXlsFplView = kViewStored;
  navdb::entry_state.PendingPlanOpen = 1;
  S().GnsStoredPlanIndex = 3;
}

// Ten plans and "NEXT FPL": two pages. Page 1 shows eight; page 2 plans 9
// and 10, and the closing entry only while it is chosen. A line whose lower
// row is past the end gives up its second press.
TEST_F(FlightPlanPageTest, TheListEightPlansAPage) {
  MakeLibrary(10);
  Press(8);
  Frame f = Press(8);  // row 4
  f.Expect("FLIGHT PLAN LIST 1/2", 45, 0, kWhite);
  f.Expect("O1", 30, 80, kGreen);
  f.Expect("D1", 220, 80, kGreen);
  f.Expect("1", 395, 80, kGreen);
  f.Expect("O8", 30, 360, kGreen);
  f.Expect("4", 395, 200, kBlack);
  f.Expect(">", 460, 178, kWhite);
  EXPECT_EQ(f.Blocks(), (Blocks{{400, 200, 1}}));
  EXPECT_FALSE(f.Shows("O9"));

  PressNextPage();
  Press(7);
  Press(7);  // row 2: plan 10
  f = Press(8);  // row 3: the closing entry
  EXPECT_EQ(F().SelectedFlightPlanIndex, 9);
  f.Expect("FLIGHT PLAN LIST 2/2", 45, 0, kWhite);
  f.Expect("O10", 30, 120, kGreen);
  f.Expect("NEXT FPL", 30, 160, kGreen);
  f.Expect("11", 395, 160, kBlack);
  EXPECT_EQ(f.Blocks(), (Blocks{{400, 120, 2}, {400, 160, 2}}));
  f = Press(8);  // row 4 is not there
  EXPECT_EQ(LineStates()[7], 0);
  EXPECT_EQ(LineStates()[6], 2);
  EXPECT_FALSE(f.Shows("NEXT FPL"));
}

// ---- the line-key table ----------------------------------------------------

enum class View { kActive, kList, kStored };
// Expected: next state, whether the other lines were reset, the entry after
// ('O' open: active and typing replaces, 'K' kept, 'C' closed).
struct Rule {
  int line, state, next;
  bool reset;
  char entry;
};

// The page's key table, for a view with every row.
constexpr Rule kRules[] = {
    {1, 0, 1, true, 'O'},  {1, 1, 0, true, 'C'},  {1, 2, 2, false, 'K'}, {2, 0, 1, true, 'O'},
    {2, 1, 2, true, 'O'},  {2, 2, 0, true, 'C'},  {3, 0, 1, true, 'O'},  {3, 1, 2, true, 'O'},
    {3, 2, 0, true, 'C'},  {4, 0, 1, true, 'O'},  {4, 1, 2, true, 'C'},  {4, 2, 0, true, 'C'},
    {5, 0, 1, true, 'K'},  {5, 1, 2, true, 'K'},  {5, 2, 0, true, 'C'},  {6, 0, 1, false, 'K'},
    {6, 1, 2, false, 'K'}, {6, 2, 0, true, 'K'},  {7, 0, 1, false, 'K'}, {7, 1, 2, false, 'K'},
    {7, 2, 0, false, 'K'}, {8, 0, 1, false, 'K'}, {8, 1, 2, false, 'K'}, {8, 2, 0, false, 'K'},
    {9, 0, 1, true, 'K'},  {9, 1, 2, true, 'K'},  {9, 2, 0, true, 'K'},  {10, 0, 1, true, 'C'},
    {10, 1, 2, true, 'C'}, {10, 2, 0, true, 'C'},
};

TEST_F(FlightPlanPageTest, TheLineKeyTableInEveryView) {
  for (View view : {View::kActive, View::kList, View::kStored}) {
    for (const Rule& r : kRules) {
      ResetModuleState();
      MakeLibrary(9);
      if (view == View::kActive) {
        MakeActive({"KSEA", "A", "B", "C", "D", "KPDX"});
        F().ActiveWaypointIndex = 1;
        S().GnsXlsFplView = kViewActive;
      } else if (view == View::kStored) {
        ShowStoredPlan({"KSEA", "A", "B", "C", "D", "KPDX"});
      }
      const int witness = r.line == 3 ? 2 : 3;
      S().GnsXlsLineState[witness] = 1;
      S().GnsXlsLineState[r.line] = r.state;
      S().GnsXlsEntryActive = 1;
      S().GnsFplDataColumn = kColumnDis;
      S().GnsFplDataColumnChoice = kColumnAlt;
      Press(r.line);
      // The list labels lines 7 to 10 alone: the others do nothing there.
      const bool inert = view == View::kList && r.line < 7;
      // The active view asks SAVE FPL? at once and starts the column choice
      // from the column shown.
      const int next = inert ? r.state : r.line == 9 && r.state == 0 && view == View::kActive ? 2 : r.next;
      const bool column = r.line == 10 && r.state < 2 && view == View::kActive;
      const std::string where =
          "view " + std::to_string(static_cast<int>(view)) + " line " + std::to_string(r.line) + "/" + std::to_string(r.state);
      EXPECT_EQ(LineStates()[static_cast<std::size_t>(r.line - 1)], next) << where;
      EXPECT_EQ(LineStates()[static_cast<std::size_t>(witness - 1)], r.reset && !inert ? 0 : 1) << where;
      EXPECT_EQ(S().GnsXlsEntryActive, r.entry == 'C' && !inert ? 0 : 1) << where;
      EXPECT_EQ(S().ScratchpadClearPending, r.entry == 'O' && !inert ? 1 : 0) << where;
      EXPECT_EQ(S().GnsFplDataColumnChoice, column ? kColumnDis : kColumnAlt) << where;
    }
  }
}

// ---- every line key over an executed route ------------------------------------

// KSEA OLM KPDX executed and flown to OLM, page 1 in `view` (the stored
// plan opened over it is the same route).
class PageOneKeysTest : public GnsTest {
 protected:
  void Show(View view) {
    ResetModuleState();
    host::host_state.SimulatorFolder = data_.root().string();
    navdb::LoadNavDatabase();
    host_.Bind();
    G().GroundSpeedKnots = 250.0;  // airborne: no new flight starts
    MakeActive({"KSEA", "OLM", "KPDX"});
    F().ActiveWaypointIndex = 1;
    F().RouteState = 3;
    flightplan::CopyActiveToPendingPlan();
    S().GnsXlsFplView = view == View::kActive ? kViewActive : kViewStored;
    if (view == View::kStored) {
      ShowStoredPlan({"KSEA", "OLM", "KPDX"});
      F().RouteState = 4;
    }
    // The arrival and approach chosen before, whole: ENT confirms them.
    model::State& m = model::model_state;
    m.OriginAirportIdent = m.PendingOriginIdent = "KSEA";
    m.DestinationAirportIdent = m.PlanFinalWaypointIdent = "KPDX";
    m.SelectedStar = m.GnsSelectedStarTransition = "JAYPE3";
    m.PendingStarTransition = m.StarTransitionNone = "UBG";
    m.SelectedArrivalRunway = m.PlanSelectionText1 = "10R";
    m.PlanSelectionText3 = m.GnsSelectedApproachVia = "ILS";
    m.GnsSelectedApproach = m.ApproachNone = "LAVAA";
    DrawFrame();
  }
  SampleDataCopy data_;
  ovi::testing::FakeHost host_;
};

struct Routes {
  Strings active, pending;
  int state;
  bool operator==(const Routes&) const = default;
};
Routes RoutesNow() {
  return {flightplan::test::ActiveIdents(), flightplan::test::PendingIdents(), F().RouteState};
}
// Route state 3 says the pending route is the flown one's copy: anything
// else went into a route no view shows, which the next edit copies over.
bool NothingLost() { return F().RouteState != 3 || RoutesNow().pending == RoutesNow().active; }

// Every line key of page 1 in each view, pressed once and twice, then
// ENT until the page it led to is done. A key the view leaves unlabelled
// (the plan list's 1 to 6) does nothing; a procedure armed reaches the
// route the view shows; the procedure pages' unlabelled keys 1 and 2 do
// nothing either. On the list, LSK5 used to arm ARRIVE? and the ENTs
// spliced the arrival into the pending route while the route state stayed
// 3 (LSK4 twice a departure the same).
TEST_F(PageOneKeysTest, EveryLineKeyReachesTheRouteShownOrDoesNothing) {
  for (View view : {View::kList, View::kStored, View::kActive}) {
    for (int key = 1; key <= 10; ++key) {
      for (int presses = 1; presses <= 2; ++presses) {
        const std::string where = "view " + std::to_string(static_cast<int>(view)) + " key " +
                                  std::to_string(key) + " x" + std::to_string(presses);
        SCOPED_TRACE(where);
        Show(view);
        const Routes before = RoutesNow();
        for (int p = 0; p < presses; ++p) Key(key);
        const bool unlabelled = view == View::kList && key < 7;
        if (unlabelled) {
          EXPECT_EQ(LineStates(), std::vector<int>(10, 0));
          EXPECT_EQ(S().GnsXlsEntryActive, 0);
        }
        const bool armed = LineState(4) == 2 || LineState(5) != 0;
        for (int ent = 0; ent < 12; ++ent) {
          Ent();
          DrawFrame();  // acts on a key the ENT posted,
          DrawFrame();  // then shows the list it opened
          ASSERT_TRUE(NothingLost()) << "ENT " << ent;
          const std::int32_t page = S().GnsXlsPage;
          if (page == kPageDeparture || page == kPageArrival || page == kPageApproach) {
            const std::vector<int> lines = LineStates();
            Key(1);
            Key(2);
            EXPECT_EQ(LineStates(), lines);
            EXPECT_EQ(S().GnsXlsPage, page);
          }
        }
        if (unlabelled) {
          EXPECT_EQ(RoutesNow(), before);
          EXPECT_EQ(S().GnsXlsPage, kPageFlightPlan);
        } else if (armed) {
          const Routes after = RoutesNow();
          EXPECT_NE(view == View::kActive ? after.active : after.pending,
                    view == View::kActive ? before.active : before.pending);
        }
      }
    }
  }
}

// A plan another unit's ERASE or EXEC closes while its ARRIVAL is open: the
// arrival confirmed has no plan to go into and is refused, nothing spliced
// or recorded, back on the plan list.
TEST_F(PageOneKeysTest, AProcedureForAPlanClosedMeanwhileIsRefused) {
  for (void (*other_unit)() : {flightplan::ResetRouteData, fms::PressExec}) {
    Show(View::kStored);
    Key(5);
    Ent();
    DrawFrame();
    ASSERT_EQ(S().GnsXlsPage, kPageArrival);
    other_unit();
    ASSERT_EQ(navdb::entry_state.PendingPlanOpen, 0);
    const Routes closed = RoutesNow();
    const std::string star = model::model_state.GnsSelectedStarTransition;
    for (int ent = 0; ent < 8 && S().GnsXlsPage != kPageFlightPlan; ++ent) {
      Ent();
      DrawFrame();
    }
    EXPECT_EQ(RoutesNow(), closed);
    EXPECT_EQ(model::model_state.GnsSelectedStarTransition, star);
    EXPECT_TRUE(DrawFrame().Shows(ScreenText("FLIGHT PLAN LIST 1/%d", F().GnsFplListPageCount)));
  }
}

// Line 4 goes straight to DEPART? (entry closed, typing no longer pending)
// where the page has no sixth row: an active view of fewer than 5 rows, a
// stored plan page whose sixth row is past the end marker.
TEST_F(FlightPlanPageTest, LineFourOnAViewWithoutASixthRow) {
  struct Case {
    bool active;
    Strings idents;
    int from, next;  // active waypoint, or stored plan page
  } cases[] = {
      {true, {"KSEA", "A", "KPDX"}, 1, 2},            // KSEA A KPDX ******: 4 rows
      {true, {"KSEA", "A", "B", "KPDX"}, 1, 1},       // 5 rows
      {true, {"KSEA", "A", "B", "C", "KPDX"}, 3, 2},  // from B: B C KPDX ******
      {false, {"KSEA", "A", "B", "KPDX"}, 1, 2},      // entry 5 is past the marker at 4
      {false, {"KSEA", "A", "B", "C", "KPDX"}, 1, 1}, // entry 5 is the marker
      {false, LongRoute(9), 2, 2},                    // page 2: entry 11 is past 10
  };
  for (const Case& c : cases) {
    ResetModuleState();
    if (c.active) {
      MakeActive(c.idents);
      F().ActiveWaypointIndex = c.from;
      S().GnsXlsFplView = kViewActive;
    } else {
      ShowStoredPlan(c.idents);
      S().GnsStoredPlanPage = c.from;
    }
    S().ScratchpadClearPending = 1;
    Press(4);
    EXPECT_EQ(LineStates()[3], c.next) << c.idents.size();
    EXPECT_EQ(S().GnsXlsEntryActive + S().ScratchpadClearPending, c.next == 1 ? 2 : 0);
  }
}

// ---- stored plan view --------------------------------------------------------

TEST_F(FlightPlanPageTest, AStoredPlanWithItsProcedureLegs) {
  ShowStoredPlan({"KSEA", "SUMMA", "A", "B", "C", "KPDX"});
  model::FlightPlanTable& p = F().PendingFlightPlan;
  p[1].procedure_tag = "SID";
  p[2].procedure_tag = "DCT";
  p[3].procedure_tag = "SIDSTAR";
  p[4].procedure_tag = "APPR";
  p[4].text2 = "FAF";
  Frame f = DrawFrame();
  f.Expect("FLIGHT PLAN 3  1/2", 30, 0, kWhite);  // 6 entries and the marker's row
  f.Expect("KSEA", 96, 40, kGreen);
  f.Expect("-", 240, 40, kGreen);
  f.Expect("KPDX", 280, 40, kGreen);
  EXPECT_EQ(f.TextsAt(116), (Strings{"SUMMA", "B", "C"}));
  EXPECT_EQ(f.TextsAt(96), (Strings{"KSEA", "A", "KPDX"}));
  f.Expect("FAF", 30, 200, kWhite);
  f.Expect("DEPART", 32, 280, kWhite);
  f.Expect("ARRIVE", 32, 320, kWhite);
  f.Expect("APPROACH", 32, 360, kWhite);
  f.Expect("SELECT", 320, 320, kWhite);
  f.Expect("ERASE", 340, 360, kWhite);
  EXPECT_TRUE(f.Blocks().empty());
  PressNextPage();
  EXPECT_EQ(DrawFrame().Texts(), (Strings{"FLIGHT PLAN 3  2/2", "******", "DEPART", "ARRIVE", "APPROACH", "SELECT", "ERASE"}));

  // The legends waiting for confirmation stand on a block.
  struct Case {
    int line, state;
    const char* legend;
    Block block;
  } cases[] = {{4, 2, "DEPART?", {32, 280, 7}},
               {5, 1, "ARRIVE?", {32, 320, 7}},
               {5, 2, "APPROACH?", {32, 360, 9}},
               {10, 1, "SELECT?", {320, 320, 7}}};
  for (const Case& c : cases) {
    S().GnsXlsLineState[4] = S().GnsXlsLineState[5] = S().GnsXlsLineState[10] = 0;
    S().GnsXlsLineState[c.line] = c.state;
    f = DrawFrame();
    f.Expect(c.legend, static_cast<float>(c.block.x), static_cast<float>(c.block.y), kBlack);
    EXPECT_EQ(f.Blocks(), Blocks{c.block}) << c.legend;
  }
}

TEST_F(FlightPlanPageTest, ChoosingARowOfAStoredPlan) {
  ShowStoredPlan({"KSEA", "SUMMA", "A", "KPDX"});
  F().PendingFlightPlan[1].procedure_tag = "SID";
  Frame f = Press(2);  // row 2: entry 1
  EXPECT_EQ(S().NavigatorScratchpad, "SUMMA ");
  EXPECT_EQ(F().EditWaypointIndex, 1);
  EXPECT_EQ(f.Blocks(), (Blocks{{116, 80, 6}}));
  f.Expect("SUMMA ", 116, 80, kBlack);
  f.Expect("<", 0, 98, kWhite);
  EXPECT_FALSE(f.Shows("SUMMA"));
  // CLR asked "DELETE?"; without a key the row stays the edit position.
  S().GnsDeleteRequested = 1;
  F().EditWaypointIndex = 7;
  DrawFrame().Expect("DELETE?", 230, 80, kGreen);
  EXPECT_EQ(F().EditWaypointIndex, 1);
  // A line key drops the question; the second press takes row 3, the third none.
  Press(2).Expect("A     ", 96, 120, kBlack);
  EXPECT_EQ(S().GnsDeleteRequested, 0);
  f = Press(2);
  EXPECT_TRUE(f.Blocks().empty());
  f.Expect("SUMMA", 116, 80, kGreen);
}

// ---- active view ---------------------------------------------------------------

// The aircraft at 45N 122W flies at 250 kt (240 kt true) to waypoints due
// north of it, 62, 122, 182, 258 and 334 NM away (a degree is 60 NM); A
// lies behind, B (2) is active, 122 NM ahead.
void ShowActiveRoute() {
  MakeActive({"KSEA", "A", "B", "C", "D", "KPDX"});
  const double nm[] = {0, 62, 122, 182, 258, 334};
  for (int i = 0; i <= 5; ++i) {
    F().ActiveFlightPlan[i].latitude = 45.0 + nm[i] / 60.0;
    F().ActiveFlightPlan[i].longitude = -122.0;
  }
  F().ActiveWaypointIndex = 2;
  S().GnsXlsFplView = kViewActive;
  G().PlaneLatitude = 45.0;
  G().PlaneLongitude = -122.0;
  G().ActiveWaypointDistance = 122.0;
  G().GroundSpeedKnots = 250.0;
  G().TrueAirspeedEstimate = 240.0;
  S().GnsLoadedPlanFlagA = 1;
}

TEST_F(FlightPlanPageTest, TheActiveViewFromTheWaypointBeforeTheActiveOne) {
  ShowActiveRoute();
  G().LnavEngaged = 1;
  G().ActiveWaypointDistance = 30.0;
  G().ActiveLegLength = 60.0;
  F().ActiveFlightPlan[3].flyover = 1;
  Frame f = DrawFrame();
  f.Expect("ACTIVE FPL   1/1", 90, 0, kWhite);  // 5 - 2 + 3 = 6 rows
  f.Expect("FR", 30, 40, kYellow);
  f.Expect("TO ", 30, 80, kMagenta);
  f.Expect("F", 240, 120, kMagenta);
  EXPECT_EQ(f.TextsAt(96), (Strings{"A", "B", "C", "D", "KPDX", "******"}));
  f.Expect("SAVE FPL", 280, 280, kWhite);
  f.Expect("ETE", 380, 320, kWhite);
  f.Expect("LOAD ATC RTE", 200, 360, kWhite);
  // A row chosen: its ident into the entry line, on a block.
  f = Press(3);  // row 4: D
  EXPECT_EQ(S().GnsSelectedWaypointIndex * 10 + F().EditWaypointIndex, 44);
  f.Expect("D     ", 96, 160, kBlack);
  f.Expect("<", 0, 178, kWhite);

  // Without LNAV no TO or FR; page 2 of 7 rows from the origin.
  G().LnavEngaged = 0;
  F().ActiveWaypointIndex = 1;
  S().GnsActivePlanPage = 2;
  f = DrawFrame();
  f.Expect("ACTIVE FPL   2/2", 90, 0, kWhite);
  EXPECT_EQ(f.TextsAt(96), (Strings{"******"}));
  // No active waypoint: no rows.
  F().ActiveWaypointIndex = model::kNoWaypoint;
  EXPECT_EQ(DrawFrame().Texts(),
            (Strings{"ACTIVE FPL   1/1", "DEPART", "ARRIVE", "APPROACH", "SAVE FPL", "ETE", "LOAD ATC RTE"}));
}

// "FR" goes within the leg once the aircraft is more than 10 degrees off it,
// the angle taken across 360.
TEST_F(FlightPlanPageTest, FromLeavesWhenTheAircraftIsOffTheLeg) {
  struct Case {
    double distance, bearing, track;
    bool from;
  } cases[] = {{30, 355, 5, true}, {30, 5, 355, true},  {30, 20, 5, false},
               {30, 349, 0.5, false}, {60, 20, 5, false}, {61, 120, 5, true}};
  for (const Case& c : cases) {
    ShowActiveRoute();
    G().LnavEngaged = 1;
    G().ActiveLegLength = 60.0;
    G().ActiveWaypointDistance = c.distance;
    G().BearingToActiveWaypoint = c.bearing;
    G().DesiredTrack = c.track;
    EXPECT_EQ(DrawFrame().Shows("FR"), c.from) << c.bearing << " " << c.track;
  }
}

TEST_F(FlightPlanPageTest, TheDataColumn) {
  struct Case {
    std::int32_t column;
    int local;
    double ground_speed, tas;
    Strings shown;  // rows A B C D KPDX; the marker's row has none
  } cases[] = {
      // At 225 kt over the ground (3.75 NM a minute): 32.53, 48.53, 68.8 and
      // 89.07 minutes to the nearest minute, hours before them; A is behind.
      {kColumnEte, 0, 225, 400, {"------", "00:33", "00:49", "01:09", "01:29"}},
      // 122 NM in 59.6 minutes: one hour, never "00:60".
      {kColumnEte, 0, 122 * 60 / 59.6, 400, {"------", "01:00", "01:29", "02:06", "02:43"}},
      // 23:43 UTC: 122 NM in 16.6 minutes is 23:59.6, the next day's 00:00.
      {kColumnEta, 0, 122 * 60 / 16.6, 400, {"------", "00:00", "00:08", "00:18", "00:28"}},
      // The local clock, hour and minute: 05:50.
      {kColumnEta, 1, 225, 400, {"------", "06:23", "06:39", "06:59", "07:19"}},
      // The active waypoint B from the aircraft, the others from the one before.
      {kColumnDis, 0, 0, 0, {"  62", " 122", "  60", "  76", "  76"}},
      {kColumnAlt, 0, 0, 0, {"-----", "-----", "12000", "-----", "-----"}},
      // On the ground (50 kt or less); the true airspeed is not what times
      // a waypoint.
      {kColumnEte, 0, 50, 240, Strings(5, "------")},
      {kColumnEte, 0, 225, 0, {"------", "00:33", "00:49", "01:09", "01:29"}},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    ShowActiveRoute();
    G().GroundSpeedKnots = c.ground_speed;
    G().TrueAirspeedEstimate = c.tas;
    F().ActiveFlightPlan[3].altitude_constraint = 12000.0;
    G().ZuluHour = 23.0;
    G().ZuluMinute = 43.0;
    G().LocalClockHour = 5.0;
    G().ClockMinute = 50.0;
    model::model_state.DispETALocalTime = c.local;
    S().GnsFplDataColumn = S().GnsFplDataColumnChoice = c.column;
    Frame f = DrawFrame();
    EXPECT_EQ(f.TextsAt(300), c.shown) << c.column << " " << c.local;
    f.Expect(c.shown[0], 300, 40, kBlue);
  }
  // Across 180 on the equator, then south: the aircraft at 179E is 1.5
  // degrees (90 NM) from B at 179.5W; C lies a degree (60 NM) south of B.
  ResetModuleState();
  MakeActive({"A", "B", "C"});
  const double at[][2] = {{0.0, 179.5}, {0.0, -179.5}, {-1.0, -179.5}};
  for (int i = 0; i <= 2; ++i) {
    F().ActiveFlightPlan[i].latitude = at[i][0];
    F().ActiveFlightPlan[i].longitude = at[i][1];
  }
  F().ActiveWaypointIndex = 1;
  S().GnsXlsFplView = kViewActive;
  S().GnsFplDataColumn = S().GnsFplDataColumnChoice = kColumnDis;
  G().PlaneLatitude = 0.0;
  G().PlaneLongitude = 179.0;
  EXPECT_EQ(DrawFrame().TextsAt(300), (Strings{"  90", "  60"}));
}

// From waypoint 1 the first row is the origin: "---" in its data place, or
// the destination beside it while the plan came from this page. A column
// being chosen shows its name with "?", on a block while line 10 is in its
// first state.
TEST_F(FlightPlanPageTest, TheOriginRowAndTheLegendsOfTheActiveView) {
  ShowActiveRoute();
  F().ActiveWaypointIndex = 1;
  Frame f = DrawFrame();
  f.Expect("---", 300, 40, kBlue);
  EXPECT_FALSE(f.Shows("-"));
  S().GnsLoadedPlanFlagA = 0;
  S().GnsFplDataColumnChoice = kColumnDis;
  S().GnsXlsLineState[10] = 1;
  f = DrawFrame();
  f.Expect("-", 240, 40, kGreen);
  f.Expect("KPDX", 280, 40, kGreen);
  EXPECT_FALSE(f.Shows("---"));
  f.Expect("DIS?", 380, 320, kBlack);
  EXPECT_EQ(f.Blocks(), (Blocks{{380, 320, 4}}));
  S().GnsXlsLineState[10] = 2;
  f = DrawFrame();
  f.Expect("DIS?", 380, 320, kWhite);
  f.Expect("LOAD ATC RTE?", 200, 360, kBlack);
  // SAVE FPL? at the first press of line 9, only between two airports.
  F().ActiveFlightPlan[5].type = "APT";
  Press(9).Expect("SAVE FPL?", 280, 280, kBlack);
  Press(9).Expect("SAVE FPL", 280, 280, kWhite);
  F().ActiveFlightPlan[5].type = "INT";
  Press(9).Expect("SAVE FPL", 280, 280, kWhite);
  EXPECT_EQ(LineStates()[8], 2);
}

// Every frame puts the end marker after the last waypoint, never past the
// table of a full route.
TEST_F(FlightPlanPageTest, TheEndMarkerIsKeptInsideTheRoute) {
  ShowStoredPlan({"KSEA", "A", "KPDX"});
  F().PendingFlightPlan[3].ident = "STALE";
  DrawFrame();
  EXPECT_EQ(F().PendingFlightPlan[3].ident, "******");
  ShowStoredPlan(LongRoute(200));
  S().GnsStoredPlanPage = 40;  // beyond the last page: the last page
  Frame f = DrawFrame();
  f.Expect("FLIGHT PLAN 3  34/34", 30, 0, kWhite);  // 202 rows
  EXPECT_EQ(f.TextsAt(96), (Strings{"W198", "W199", "KPDX"}));
  EXPECT_EQ(F().PendingFlightPlan.refused(), 0);
}

}  // namespace
}  // namespace ovi::gnsxls::test
