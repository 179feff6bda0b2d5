// A long seeded random sequence of the navigator's route actions over the
// sample region: stored plans opened and activated, waypoints of every page
// inserted and deleted in both views, holds built, airway segments,
// direct-tos of every kind. After every step the holds stand whole, the
// end markers follow the last waypoints and the tracked indices name
// waypoints of their routes.
#include <array>
#include <memory>
#include <random>

#include "src/flightplan/library.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/flight_plan_page.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/navdb/airways.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/waypoint_entry.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

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
  }

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  std::mt19937 rng_{31};
  std::unique_ptr<SampleDataCopy> data_;
};

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
  return "";
}

TEST_F(EditSequence, HoldsIndicesAndEndMarkersAfterEveryStep) {
  const char* kFixes[] = {"OLM", "TOLLE", "NISQU", "SEA", "KPDX", "BTG", "PAE"};
  for (int step = 0; step < 350; ++step) {
    const int action = step == 0 ? 0 : Pick(0, 11);
    bool working_copy = false;
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
      default: {  // a direct-to: a waypoint, a typed target, a closest airport
        S().GnsXlsPage = kPageFlightPlan;
        PressDirect();
        if (S().GnsXlsPage != kPageDirect) break;
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
  }
}

}  // namespace
}  // namespace ovi::gnsxls::test
