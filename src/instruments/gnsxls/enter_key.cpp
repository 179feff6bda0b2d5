#include "src/instruments/gnsxls/enter_key.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/host/gps_route.h"
#include "src/instruments/fms/save_name.h"
#include "src/instruments/gnsxls/enter_shares.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/navigator.h"
#include "src/instruments/gnsxls/route_edits.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/performance.h"
#include "src/model/state.h"
#include "src/navdb/airways.h"
#include "src/navdb/entry_state.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
model::State& M() { return model::model_state; }

constexpr double kPoundsPerKilogram = 2.20462262;
constexpr double kTasReferenceAltitude = 15000.0;
constexpr double kMaxFlightPathAngle = 6.0;

// Whole numbers, truncated toward zero; nothing beyond what an altitude or
// a rate can be reaches the conversion.
std::int32_t Whole(double value) { return static_cast<std::int32_t>(std::clamp(value, -1e9, 1e9)); }

// ---- PLAN: reserve fuel ------------------------------------------------------

bool ReserveLineOpen() { return S().GnsPlanSubPage == 1 && LineState(7) == 1; }

// The page proposes the reserve in the unit it shows: taken back unchanged
// it stays as it was, not its rounded kilograms converted again.
void TakeReserveFuel() {
  double fuel = 0.0;
  if (S().NavigatorScratchpad == S().GnsReserveProposal || !EntryNumber(fuel)) return;
  if (M().WeightUnit == "KGS") fuel *= kPoundsPerKilogram;
  M().ReserveFuel = fuel;
}

// ---- VNAV DATA -----------------------------------------------------------------

// The angle is typed as two digits, "25" for 2.5 degrees; a single digit
// has nothing after the point ("3" for 3.0).
bool FlightPathAngleEntry(double& angle) {
  const std::string& e = S().NavigatorScratchpad;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (e.empty() || !digit(e[0])) return false;
  const char tenth = e.size() > 1 ? e[1] : ' ';
  if (tenth != ' ' && !digit(tenth)) return false;
  angle = (e[0] - '0') + (tenth == ' ' ? 0.0 : (tenth - '0') / 10.0);
  return true;
}

// Ground distance a minute at the true airspeed times the angle, rounded to
// the nearest 100 ft/min.
void RatesForAngle(double fpa) {
  model::State& m = M();
  const double climb_tas = model::IasToTas(m.ClimbIas, kTasReferenceAltitude);
  const double descent_tas = model::IasToTas(m.DescentSpeed, kTasReferenceAltitude);
  const std::int32_t x = Whole(climb_tas / 60.0 * fpa * 100.0);
  m.ClimbRate = ((x + 50) / 100) * 100;
  m.DescentRate = 100.0 * Whole((descent_tas / 60.0 * fpa * 100.0 + 50.0) * 0.01);
}

void TakeVnavData() {
  model::State& m = M();
  double value = 0.0;
  if (LineState(7) == 1 && EntryNumber(value)) {
    m.CruiseAlt = Whole(value);
    // On an executed route the level is taken as the CDU's EXEC takes it:
    // the waypoints planned anew at it, the climb or cruise kept. A new plan
    // left RTE LEGS and this page's list at the old level ahead while VNAV
    // flew the new one.
    if (flightplan::flightplan_state.RouteState >= 3) {
      flightplan::RebuildVerticalPlan();
    } else {
      guidance::ComputeCruiseAltitude(m.CruiseAlt, 0);
    }
  }
  if (LineState(7) == 2 && EntryNumber(value)) m.TransAlt = Whole(value);
  if (LineState(8) == 1 && FlightPathAngleEntry(value)) {
    m.FPA = std::min(value, kMaxFlightPathAngle);
    if (m.FPA > 0.0) RatesForAngle(m.FPA);
  }
}

// ---- HOLDING PATTERN -----------------------------------------------------------

void TakeHoldEntries() {
  State& s = S();
  model::HoldingPattern& hold = flightplan::flightplan_state.HoldTable[1];
  double value = 0.0;
  if (LineState(7) == 1 && FieldNumber(s.GnsHoldCourseEntry, value) && value >= 0.0 && value <= 360.0)
    hold.inbound_course = value == 360.0 ? 0.0 : value;
  if (LineState(8) == 1) hold.turn_side = s.GnsHoldTurnChoice;
  // The leg typed last governs the hold: the racetrack takes its length
  // from the time while the hold is time-based.
  if (LineState(9) == 1 && FieldNumber(s.GnsHoldLegTimeEntry, value) && value > 0.0) {
    hold.leg_time = value;
    hold.time_based = 1;
    s.GnsHoldLegMode = 1;
  }
  if (LineState(9) == 2 && FieldNumber(s.GnsHoldLegDistanceEntry, value) && value > 0.0) {
    hold.leg_length = value;
    hold.time_based = 2;
    s.GnsHoldLegMode = 2;
  }
  if (LineState(10) == 1) guidance::guidance_state.HoldState = s.GnsHoldExitModeChoice;
}

// ---- SAVE ACTIVE FPL ----------------------------------------------------------------

bool NameFieldOpen() { return S().GnsXlsEntryActive == 1; }

// An emptied field keeps the name it had.
void AcceptSaveName() {
  State& s = S();
  s.GnsSaveRefused = 0;
  const std::string name = EntryText();
  if (name.empty()) {
    s.NavigatorScratchpad = s.GnsSaveFileName;
  } else {
    s.GnsSaveFileName = name;
  }
  s.GnsXlsEntryActive = 0;
  SetLineState(2, 0);
}

// Only a plain file name of the flight-plan folder is written; a refused
// name or a failed write leaves the page shown, saying which (SAVE page).
void SaveActivePlan() {
  const std::string file = EntryText() + ".RTE";
  State& s = S();
  if (!fms::IsPlainFileName(file)) {
    s.GnsSaveRefused = kSaveRefusedName;
  } else if (flightplan::SaveFlightPlanFile(file) != 1) {
    s.GnsSaveRefused = kSaveRefusedWrite;
  } else {
    s.GnsSaveRefused = 0;
    BackToFlightPlan();
  }
}

// ---- VNAV, DATABASE WPT choices, AIRWAY -----------------------------------------------

bool Line5First() { return LineState(5) == 1; }

void OpenVnavData() {
  flightplan::ResetGnsSelectionState();
  S().GnsXlsPage = kPageVnavData;
}

bool Line10First() { return LineState(10) == 1; }
bool DirectTurnChoice() { return S().GnsXlsReturnPage == kPageDirect && LineState(10) == 2; }
bool ReturnsToProcedurePage() {
  const std::int32_t r = S().GnsXlsReturnPage;
  return r == kPageDeparture || r == kPageArrival || r == kPageApproach;
}
bool ReturnsToFlightPlan() { return S().GnsXlsReturnPage == kPageFlightPlan; }

void TakeFlyoverChoice() {
  flightplan::ResetGnsSelectionState();
  TakeFlyoverChoiceFromEntry();
}

void TakeTurnChoice() {
  flightplan::ResetGnsSelectionState();
  S().TurnDirectionText = EntryText();
}

// ---- page 1 ---------------------------------------------------------------------------

bool ProcedureLine() { return LineState(4) == 2 || LineState(5) == 1 || LineState(5) == 2; }

bool ColumnChosen() { return ShowsActiveView() && S().GnsXlsEntryActive == 0 && LineState(10) == 1; }

void CommitColumn() { S().GnsFplDataColumn = S().GnsFplDataColumnChoice; }

// A route from an airport to an airport with a waypoint between them.
bool SaveChosen() {
  const flightplan::State& fp = flightplan::flightplan_state;
  const int last = flightplan::LastIndex(flightplan::ActivePlan());
  return ShowsActiveView() && LineState(9) == 2 && last > 1 && fp.ActiveFlightPlan[0].type == "APT" &&
         fp.ActiveFlightPlan[last].type == "APT";
}

void OpenSavePage() {
  State& s = S();
  const flightplan::State& fp = flightplan::flightplan_state;
  const int last = flightplan::LastIndex(flightplan::ActivePlan());
  // The name never outgrows its field: what the page shows is what is saved.
  s.GnsSaveFileName = (fp.ActiveFlightPlan[0].ident + fp.ActiveFlightPlan[last].ident).substr(0, kSaveNameWidth);
  s.NavigatorScratchpad = s.GnsSaveFileName;
  s.GnsSaveRefused = 0;
  flightplan::ResetGnsSelectionState();
  s.GnsXlsEntryActive = 0;
  s.GnsXlsPage = kPageSaveFlightPlan;
}

bool AtcRouteChosen() { return ShowsActiveView() && LineState(10) == 2; }

void LoadAtcRoute() { host::LoadFlightPlannerRoute(host::kGpsCallerNavigator); }

// Nothing typed is open, or the list view has no plan open to edit.
bool NoEntryToTake() {
  return S().GnsXlsEntryActive == 0 || (ShowsStoredView() && navdb::entry_state.PendingPlanOpen != 1);
}

using E = EnterEnding;

constexpr EnterRow kRows[] = {
    {kPageOffsetWaypoint, nullptr, EnterOffsetWaypoint, E::kEnd},
    {kPagePilotWaypoint, nullptr, EnterPilotWaypoint, E::kEnd},
    {kPagePlan, ReserveLineOpen, TakeReserveFuel, E::kReset},
    {kPagePlan, nullptr, nullptr, E::kReset},
    {kPageVnavData, nullptr, TakeVnavData, E::kReset},
    {kPageHolding, nullptr, TakeHoldEntries, E::kReset},
    {kPageSaveFlightPlan, NameFieldOpen, AcceptSaveName, E::kEnd},
    {kPageSaveFlightPlan, nullptr, SaveActivePlan, E::kReset},
    {kPageVnav, Line5First, OpenVnavData, E::kEnd},
    {kPageVnav, nullptr, nullptr, E::kEnd},
    {kPageDirect, nullptr, EnterDirect, E::kEnd},
    {kPageDatabaseWaypoint, Line10First, TakeFlyoverChoice, E::kEnd},
    {kPageDatabaseWaypoint, DirectTurnChoice, TakeTurnChoice, E::kEnd},
    {kPageDatabaseWaypoint, ReturnsToProcedurePage, EnterProcedureAirport, E::kEnd},
    {kPageDatabaseWaypoint, ReturnsToFlightPlan, EnterDatabaseWaypoint, E::kEnd},
    {kPageDatabaseWaypoint, nullptr, EnterDirectTarget, E::kEnd},
    {kPageAirway, nullptr, EnterAirway, E::kEnd},
    {kPageFlightPlan, ProcedureLine, EnterOpenProcedurePage, E::kEnd},
    {kPageFlightPlan, ColumnChosen, CommitColumn, E::kReset},
    {kPageFlightPlan, SaveChosen, OpenSavePage, E::kEnd},
    {kPageFlightPlan, AtcRouteChosen, LoadAtcRoute, E::kReset},
    {kPageFlightPlan, NoEntryToTake, nullptr, E::kEnd},
    {kPageFlightPlan, nullptr, EnterFlightPlanEntry, E::kEnd},
    {kPageDeparture, nullptr, EnterDeparture, E::kEnd},
    {kPageArrival, nullptr, EnterArrival, E::kEnd},
    {kPageApproach, nullptr, EnterApproach, E::kEnd},
};

}  // namespace

std::span<const EnterRow> EnterRows() { return kRows; }

void BackToFlightPlan() {
  S().GnsXlsPage = kPageFlightPlan;
  S().GnsFplDataColumnChoice = S().GnsFplDataColumn;
}

std::int32_t GnsXlsEnterKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  State& s = S();
  s.GnsXlsEnterPressed = 1;
  s.GnsXlsLineSelectKey = 0;
  guidance::guidance_state.DisplayRefreshCounter = 999;
  // The page is read once: a row's action may open another page.
  const std::int32_t page = s.GnsXlsPage;
  for (const EnterRow& row : kRows) {
    if (row.page != page || (row.when != nullptr && !row.when())) continue;
    if (row.act != nullptr) row.act();
    if (row.ending == EnterEnding::kReset) flightplan::ResetGnsSelectionState();
    break;
  }
  return 0;
}

}  // namespace ovi::gnsxls
