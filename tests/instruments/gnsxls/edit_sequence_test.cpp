// A long seeded random sequence of the navigator's route actions over the
// sample region: stored plans opened and activated, waypoints of every page
// inserted and deleted in both views, holds built, airway segments,
// direct-tos of every kind, procedures spliced; with them the other units
// at work on the same routes: the CDU's edits, EXEC and ERASE (also while a
// direct-to is being set up: before it, between a target's typing and
// ENT, after), its cruise and transition altitudes, the
// MCU's plan loads, HOLD, direct-to and crossing altitude. After every step
// the holds stand whole, the end markers follow the last waypoints, the
// tracked indices name entries of their routes, and an entry refused
// changed nothing.
#include <array>
#include <optional>
#include <memory>
#include <random>

#include "src/flightplan/execute.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/library.h"
#include "src/flightplan/load.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/keypad.h"
#include "src/instruments/fms/state.h"
#include "src/instruments/fms/perf_entries.h"
#include "src/instruments/gnsxls/flight_plan_page.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/mcu/keys.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/navdb/airways.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "src/navdb/waypoint_entry.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"
#include "tests/instruments/gnsxls/mcu_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::F;
using flightplan::test::G;
using flightplan::test::HoldBreach;

class EditSequence : public GnsTest {
 protected:
  void SetUp() override {
    GnsTest::SetUp();
    data_ = std::make_unique<SampleDataCopy>();
    navdb::LoadNavDatabase();
    flightplan::ScanFlightPlanFolder();
    ASSERT_GT(F().FlightPlanLibraryCount, 3);
    host_.Bind();
    G().DisplayPower = 1;
    // Airborne: no new flight starts at each route.
    G().GroundSpeedKnots = 250.0;
  }

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  std::mt19937 rng_{31};
  std::unique_ptr<SampleDataCopy> data_;
  ovi::testing::FakeHost host_;
};

model::State& M() { return model::model_state; }

// What an entry that is refused must leave as it was: both routes, the
// route state, the holds, the tracked indices and the altitudes.
struct Stored {
  Strings active, pending;
  std::vector<std::pair<int, int>> holds;
  std::vector<int> numbers;
  bool operator==(const Stored&) const = default;
};

Stored Now() {
  Stored n{flightplan::test::ActiveIdents(), flightplan::test::PendingIdents(), flightplan::test::HoldIndices(), {}};
  n.numbers = {F().RouteState, F().ActiveWaypointIndex, F().PendingActiveWaypointIndex, G().NextConstraintIndex,
               navdb::entry_state.PendingPlanOpen, M().CruiseAlt, M().TransAlt};
  return n;
}

// What must hold after every step; empty when it does.
std::string Breach(bool working_copy) {
  if (std::string h = HoldBreach(); !h.empty()) return h;
  const int active_last = F().ActiveFlightPlanLastIndex;
  if (active_last > kMaxEditLastIndex) return "active route too long";
  if (active_last >= 0 && F().ActiveFlightPlan[active_last + 1].ident != "******") return "active end marker";
  const int awi = F().ActiveWaypointIndex;
  // (A plan loaded with no route yet names waypoint 1 before it has one.)
  if (active_last >= 1 && awi != model::kNoWaypoint && (awi < 1 || awi > active_last))
    return "active waypoint " + std::to_string(awi);
  const int pending_last = F().PendingFlightPlanLastIndex;
  // The direct-to's working copy counts its end marker as its last entry
  // (and stays the pending route until something replaces it).
  const bool marked = F().PendingFlightPlan[pending_last].ident == "******" ||
                      (!working_copy && F().PendingFlightPlan[pending_last + 1].ident == "******");
  if (pending_last >= 0 && pending_last < flightplan::kMaxPlanLastIndex && !marked) return "pending end marker";
  const int tracked = G().NextConstraintIndex;
  if (tracked < 0 || tracked > std::max(active_last, 0)) return "next constraint index " + std::to_string(tracked);
  // The pending route's copy of it names an entry of the pending route.
  const int pending_tracked = F().PendingActiveWaypointIndex;
  if (pending_tracked < 0 || pending_tracked > std::max(pending_last, 0))
    return "pending constraint index " + std::to_string(pending_tracked);
  if (M().CruiseAlt < 0 || M().TransAlt < 1) return "altitudes";
  return "";
}

// The CDU's edits of the pending route, as its pages make them: each opens
// the modification first and steps the route state after.
void CduEdit(int kind, int where, int count) {
  flightplan::BeginRouteModification();
  const int last = F().PendingFlightPlanLastIndex;
  if (last < 1) return;
  const int i = 1 + where % last;
  switch (kind) {
    case 0:
      navdb::entry_state.WaypointCandidateList[1] = navdb::navdb_state.NavaidTable[1 + where % 5];
      navdb::entry_state.WaypointCandidateCount = 1;
      if (last < 60) flightplan::InsertCandidateIntoPending(i);
      break;
    case 1:
      flightplan::RemovePendingWaypoints(i, std::min(i + count, last + 1));
      break;
    case 2:
      flightplan::AddHoldAtWaypoint(i, 1);
      break;
    default:
      if (F().PendingFlightPlan[i].hold_number != 0) flightplan::DeleteHold(i, 2);
      break;
  }
  if (F().RouteState == 3) flightplan::StepRouteState();
}

TEST_F(EditSequence, HoldsIndicesAndEndMarkersAfterEveryStep) {
  const char* kFixes[] = {"OLM", "TOLLE", "NISQU", "SEA", "KPDX", "BTG", "PAE"};
  const char* kAltitudes[] = {".7", "FL.5", "0.99", "350", "FL240", "12000", "1", "X", ""};
  int refused = 0, interleaved = 0, typed_between = 0;
  for (int step = 0; step < 800; ++step) {
    const int action = step == 0 ? 0 : Pick(0, 21);
    bool working_copy = false;
    // Set when the step's entry was refused: it must change nothing.
    std::optional<Stored> unchanged;
    const Stored before = Now();
    S().GnsXlsEnterPressed = 0;
    switch (action) {
      case 0:  // a stored plan opened and activated
      case 1: {
        S().GnsXlsPage = kPageFlightPlan;
        S().GnsXlsFplView = kViewStored;
        OpenLibraryPlan(Pick(1, F().FlightPlanLibraryCount));
        if (action == 0) ActivateStoredPlan();
        break;
      }
      case 2:  // back to the active view
        S().GnsXlsPage = kPageFlightPlan;
        S().GnsXlsFplView = kViewActive;
        break;
      case 3:  // DATABASE WPT, PILOT or OFFSET back to page 1, at any index
      case 4: {
        navdb::entry_state.WaypointEntryText = kFixes[Pick(0, 6)];
        navdb::ResolveWaypointEntry(0);
        S().GnsXlsPage = std::array{kPageDatabaseWaypoint, kPagePilotWaypoint, kPageOffsetWaypoint}[Pick(0, 2)];
        S().GnsXlsReturnPage = kPageFlightPlan;
        S().SelectedCandidateIndex = S().GnsOffsetCandidateIndex = 1;
        S().GnsOffsetCandidateIdent = navdb::entry_state.WaypointEntryText;
        S().GnsPilotWaypointName = "PW" + std::to_string(step);
        S().GnsPilotLatitudeEntered = S().GnsPilotLongitudeEntered = true;
        S().GnsPilotLatitude = Pick(-80, 80);
        S().GnsOffsetBearingText = "  9.0";
        S().GnsOffsetDistanceText = S().GnsOffsetDistanceEdit = "  12.0";
        F().EditWaypointIndex = Pick(-1, std::max(F().ActiveFlightPlanLastIndex, 0) + 2);
        Ent();
        break;
      }
      case 5: {  // a row chosen on page 1, CLR, ENT
        S().GnsXlsPage = kPageFlightPlan;
        flightplan::ResetGnsSelectionState();
        DrawFrame();
        Key(Pick(1, 4));
        if (Pick(0, 1) == 1) Key(Pick(1, 4));
        PressClear();
        DrawFrame();
        Ent();
        break;
      }
      case 6: {  // HOLD at a row of the active view
        S().GnsXlsPage = kPageFlightPlan;
        S().GnsXlsFplView = kViewActive;
        flightplan::ResetGnsSelectionState();
        DrawFrame();
        Key(Pick(2, 4));
        PressHold();
        break;
      }
      case 7: {  // an airway segment from a waypoint of the route
        const flightplan::PlanRef route = EditedRoute();
        F().EditWaypointIndex = Pick(0, std::max(flightplan::LastIndex(route), 0));
        navdb::ListAirwayFixes(std::array{"V23", "J5", "V2"}[Pick(0, 2)]);
        S().GnsXlsPage = kPageAirway;
        navdb::entry_state.SelectedAirwayIndex = Pick(0, navdb::entry_state.WaypointCandidateCount + 1);
        Ent();
        break;
      }
      case 11: {  // holds the executed route carries (as the CDU leaves them), up to four
        const int last = F().ActiveFlightPlanLastIndex;
        if (F().RouteState != 3 || last < 1) break;
        F().HoldCount = 0;
        for (int i = 0; i <= last; ++i) F().ActiveFlightPlan[i].hold_number = 0;
        for (int i = Pick(1, last), k = 1; i <= last && k <= 4; i += Pick(1, 3), ++k)
          flightplan::test::PutActiveHold(k, i);
        flightplan::CopyActiveToPendingPlan();
        break;
      }
      case 12:  // a CDU edit of the pending route
      case 13:
        CduEdit(Pick(0, 3), Pick(0, 200), Pick(1, 4));
        break;
      case 14:  // CDU EXEC or ERASE
        if (Pick(0, 2) != 0) {
          fms::PressExec();
        } else if (F().RouteState == 4) {
          flightplan::ResetRouteData();
        }
        break;
      case 15: {  // a cruise altitude typed on the CDU
        M().FmsScratchpad = kAltitudes[Pick(0, 8)];
        M().PanelMessage.clear();
        fms::EnterCruiseAltitude(false);
        if (M().PanelMessage == "INVALID ENTRY") {
          unchanged = before;
          ++refused;
        }
        M().FmsScratchpad.clear();
        break;
      }
      case 16: {  // the MCU's FPLN/ENTER: a plan of the list loaded and flown
        F().RequestedFlightPlanFile = F().FlightPlanLibrary[Pick(1, F().FlightPlanLibraryCount - 1)].name;
        M().McuEntryText.clear();
        flightplan::LoadRequestedFlightPlan(1);
        if (M().McuEntryText == "Unable to load FP") unchanged = before;
        break;
      }
      case 17: {  // the MCU's HOLD with LNAV engaged, flown or left
        G().LnavEngaged = 1;
        mcu::McuHoldKey();
        G().LnavEngaged = 0;
        break;
      }
      case 18: {  // the MCU's direct-to a fix typed, or its crossing altitude on LEGS
        if (Pick(0, 1) == 0) {
          mcu::McuDirectToKey();
          M().McuEntryText = kFixes[Pick(0, 6)];
          mcu::test::Repaint();
          mcu::McuEnterKey();
          mcu::test::Repaint();
        } else {
          mcu::McuLegsKey();
          S().McuLegsCursor = Pick(1, std::max(F().ActiveFlightPlanLastIndex, 1));
          mcu::McuCrossingKey();
          M().McuKeyboardEntry = std::to_string(Pick(1, 30) * 1000);
          mcu::McuEnterKey();
          mcu::test::Repaint();
        }
        mcu::mcu_state.McuPage = mcu::kPageStatus;
        break;
      }
      case 19: {  // a departure, arrival or approach confirmed on either view
        // The stored view while a plan is open there.
        const bool flown = navdb::entry_state.PendingPlanOpen != 1 || Pick(0, 1) == 1;
        S().GnsXlsFplView = flown ? kViewActive : kViewStored;
        const flightplan::PlanRef route = EditedRoute();
        const int last = flightplan::LastIndex(route);
        // Long routes are not grown further (a splice may fill the table).
        if (last < 1 || last > 150) break;
        if (Pick(0, 1) == 0 && route.plan[0].ident == "KSEA") {
          navdb::LoadAirportProcedures("KSEA", 1);
          M().RteOriginIdent = "KSEA";
          M().GnsDepartureSelectionText = Pick(0, 1) == 0 ? "SUMMA2" : "HAROB6";
          M().RouteSidTransition = std::array{"ELN", "YKM", "BLI"}[Pick(0, 2)];
          M().SelectedDepartureRunway = "16C";
          navdb::SelectSidEntry();
          S().GnsXlsPage = kPageDeparture;
          S().GnsDepartureSelection = 1;
        } else if (route.plan[last].ident == "KPDX") {
          navdb::LoadAirportProcedures("KPDX", 2);
          M().PendingDestinationIdent = M().DestinationAirportIdent = "KPDX";
          M().GnsArrivalSelectionText = "JAYPE3";
          M().RouteStarTransition = "UBG";
          M().SelectedApproachTo = "10R";
          M().SelectedApproach = "ILS";
          M().SelectedApproachTransition = "LAVAA";
          navdb::FindStarIndex("JAYPE3");
          navdb::SelectStarEntry();
          flightplan::SelectApproachTransition();
          S().GnsXlsPage = kPageArrival;
          S().GnsArrivalSelection = 1;
        } else {
          break;
        }
        SetLineState(5, 1);
        const bool arrival = S().GnsXlsPage == kPageArrival;
        Ent();
        if (arrival && Pick(0, 1) == 0) {  // and its approach
          S().GnsXlsPage = kPageApproach;
          Ent();
        }
        S().GnsXlsPage = kPageFlightPlan;
        break;
      }
      case 20: {  // the CDU edits and executes while a direct-to is being set up
        // A CDU change waiting for EXEC, which the direct-to key gives up.
        if (Pick(0, 1) == 0) CduEdit(Pick(0, 3), Pick(0, 200), Pick(1, 4));
        S().GnsXlsPage = kPageFlightPlan;
        PressDirect();
        if (S().GnsXlsPage != kPageDirect) break;
        DrawFrame();
        Key(Pick(1, 10));
        // The CDU's turn: before a target is typed, between the typing and
        // ENT, or once the target is confirmed.
        const int cdu_turn = Pick(0, 2);
        auto cdu = [&] {
          if (Pick(0, 1) == 0) CduEdit(Pick(0, 3), Pick(0, 200), Pick(1, 4));
          if (Pick(0, 3) != 0) fms::PressExec();
          ++interleaved;
          // A working copy the CDU has changed under it is not committed.
          if (S().GnsDirectCopyStamp != RoutesStamp()) unchanged = Now();
        };
        // ENT while the direct-to's pages show (a stale copy sends it back to page 1).
        auto ent = [] {
          if (S().GnsXlsPage != kPageDirect && S().GnsXlsPage != kPageDatabaseWaypoint) return;
          Ent();
          DrawFrame();
        };
        if (cdu_turn == 0) cdu();
        if (cdu_turn != 0 || Pick(0, 1) == 0) {  // a target typed and confirmed
          Type(kFixes[Pick(0, 6)]);
          if (cdu_turn == 1) cdu();
          ent();
          ent();
          // The order of the CDU's EXEC between typing and ENT, the target confirmed.
          if (cdu_turn == 1 && S().GnsXlsPage == kPageDirect && S().GnsDirectEntryStep == 1) ++typed_between;
        }
        if (cdu_turn == 2) cdu();
        // Flown, or left waiting on DIRECT.
        if (Pick(0, 2) != 0) ent();
        // (A copy the CDU replaced is no working copy, whatever the page.)
        working_copy = (S().GnsXlsPage == kPageDirect || S().GnsXlsPage == kPageDatabaseWaypoint) &&
                       S().GnsDirectCopyStamp == RoutesStamp();
        break;
      }
      default: {  // a direct-to: a waypoint, a typed target, a closest airport
        S().GnsXlsPage = kPageFlightPlan;
        const bool can = F().ActiveWaypointIndex >= 1 && F().ActiveWaypointIndex <= F().ActiveFlightPlanLastIndex;
        PressDirect();
        if (S().GnsXlsPage != kPageDirect) {
          // Without a waypoint flown to the key does nothing.
          if (!can) unchanged = before;
          break;
        }
        working_copy = true;
        DrawFrame();
        const int kind = Pick(0, 3);
        if (kind == 1) Key(Pick(1, 10));
        if (kind == 2) {  // typed, confirmed on DATABASE WPT, back on DIRECT
          Type(kFixes[Pick(0, 6)]);
          Ent();
          DrawFrame();
          Ent();
          DrawFrame();
        }
        if (kind == 3) {
          PressPrevPage();
          DrawFrame();
          Key(Pick(1, 5));
        }
        Ent();
        working_copy = S().GnsXlsPage == kPageDirect || S().GnsXlsPage == kPageDatabaseWaypoint;
        break;
      }
    }
    DrawFrame();
    ASSERT_EQ(Breach(working_copy), "") << "step " << step << ", action " << action << ", route state "
                                        << F().RouteState;
    if (unchanged) {
      ASSERT_TRUE(Now() == *unchanged) << "step " << step << ", action " << action << " refused";
    }
  }
  EXPECT_GT(refused, 10);
  EXPECT_GT(interleaved, 10);
  EXPECT_GT(typed_between, 5) << typed_between;
}

}  // namespace
}  // namespace ovi::gnsxls::test
