#include "src/instruments/gnsxls/mcu/keys.h"

#include <algorithm>
#include <cmath>

#include "src/flightplan/holds.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/runway_data.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/instruments/gnsxls/mcu/gauges.h"
#include "src/instruments/gnsxls/mcu/entry_editor.h"
#include "src/instruments/gnsxls/mcu/keyboard.h"
#include "src/instruments/gnsxls/mcu/kit.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"

namespace ovi::mcu {

namespace {

constexpr std::int32_t kLeaveHold = 3;

State& M() { return mcu_state; }
gnsxls::State& S() { return gnsxls::gnsxls_state; }
flightplan::State& Fp() { return flightplan::flightplan_state; }
guidance::State& G() { return guidance::guidance_state; }

void Repaint() {
  S().McuRedrawRequest = 1;
  G().DisplayRefreshCounter = 999;
}

void LeaveKeyboardEntry() {
  if (S().McuKeyboardEntryActive == 1) McuLeaveKeyboardEntry();
}

// The hold the HOLD key flies, at the waypoint flown to. The pending route
// is brought level with the active one first unless a change waits for
// EXEC; a waiting change that holds another waypoint at that index gets no
// hold, which would stand at the wrong fix.
void BuildHoldAtActiveWaypoint() {
  flightplan::State& fp = Fp();
  const int act = fp.ActiveWaypointIndex;
  if (ActiveWaypointEntry() == nullptr || act < 1) return;
  // As every modification starts; a route flown without one (state 0) is
  // copied as well.
  if (fp.RouteState == 0) flightplan::CopyActiveToPendingPlan();
  flightplan::BeginRouteModification();
  const model::FlightPlanWaypoint& active = fp.ActiveFlightPlan[act];
  const model::FlightPlanWaypoint& pending = fp.PendingFlightPlan[act];
  if (act > fp.PendingFlightPlanLastIndex || pending.ident != active.ident || pending.latitude != active.latitude ||
      pending.longitude != active.longitude)
    return;
  if (!flightplan::AddHoldAtWaypoint(act, 0)) return;
  fp.ActiveFlightPlan[act].hold_number = fp.PendingFlightPlan[act].hold_number;
}

// The legs cursor back on the route before it steps: the route may have
// become shorter under it.
void KeepLegsCursorOnRoute() {
  std::int32_t& cursor = S().McuLegsCursor;
  const int last = Fp().ActiveFlightPlanLastIndex;
  if (last >= 1) cursor = std::clamp(cursor, 1, last);
}

}  // namespace

void SetUpActiveWaypoint() {
  const flightplan::State& fp = Fp();
  guidance::State& g = G();
  const model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[fp.ActiveWaypointIndex];
  g.ActiveWaypointLat = w.latitude;
  g.ActiveWaypointLon = w.longitude;
  if (g.ActiveLegFromEngagePosition != 1) return;
  g.LegOriginLatitude = g.PlaneLatitude;
  g.LegOriginLongitude = g.PlaneLongitude;
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, w.latitude, w.longitude, distance, course);
  course -= g.MagneticVariation;
  if (course < 0.5) course += 360.0;
  g.LnavInitialCourse = course;
}

void StepActiveWaypoint(int delta) {
  flightplan::State& fp = Fp();
  if (ActiveWaypointEntry() == nullptr) return;
  const int last = fp.ActiveFlightPlanLastIndex;
  if (last < 1) {
    // Nothing after the origin: no waypoint to step to.
    if (delta > 0) G().ActiveLegFromEngagePosition = 0;
    return;
  }
  int next = fp.ActiveWaypointIndex + delta;
  if (next < 1) next = last;
  if (next > last) next = 1;
  fp.ActiveWaypointIndex = next;
  SetUpActiveWaypoint();
}

void ToggleKeyboardEntry() {
  gnsxls::State& s = S();
  model::State& md = model::model_state;
  if (s.McuKeyboardEntryActive != 1) {
    s.McuKeyboardEntryActive = 1;
    InstallKeyboardHook(1);
    InitKeyboardInput();
    // A crossing altitude is typed from an empty text, not after the
    // rocker's digits.
    if (M().McuCrossingEntryActive == 1 && M().McuPage == kPageLegs) md.McuKeyboardEntry.clear();
  } else {
    McuLeaveKeyboardEntry();
    md.McuEntryText.clear();
    md.McuKeyboardEntry.clear();
  }
  Repaint();
  M().McuEntryCursor = 0;
}

void RequestAirportRunways() {
  model::State& md = model::model_state;
  if (md.McuAirportIdent.empty() || md.McuShowActiveRwys != 1) return;
  flightplan::RequestRunwayData(md.McuAirportIdent);
  // No answer this time: the sub-page of AI runways is gone.
  if (M().McuAptSubPage > md.McuAptPageCount) M().McuAptSubPage = 1;
}

std::int32_t McuScreenArea() {
  const std::int32_t result = host::TogglePanelWindow(kMcuWindow);
  Repaint();
  return result;
}

void McuStatusKey() {
  LeaveKeyboardEntry();
  M().McuPage = kPageStatus;
  Repaint();
  M().McuEntryCursor = 0;
}

void McuFplnKey() {
  LeaveKeyboardEntry();
  M().McuFlightPlanRescan = 1;
  M().McuPage = kPageFlightPlan;
  Repaint();
  M().McuEntryCursor = 0;
}

void McuDirectToKey() {
  M().McuPage = kPageDirectTo;
  model::model_state.McuEntryText.clear();
  M().McuDirectToSearchText.clear();
  navdb::entry_state.WaypointCandidateCount = 0;
  Repaint();
  M().McuEntryCursor = 0;
}

void McuHoldKey() {
  guidance::State& g = G();
  if (g.LnavEngaged == 1) {
    if (g.ActiveHoldIndex == 0) {
      if (Fp().HoldCount == 0) BuildHoldAtActiveWaypoint();
      // Hold 1 is flown only when there is one.
      if (Fp().HoldCount >= 1) g.ActiveHoldIndex = 1;
    } else {
      g.HoldState = kLeaveHold;
      g.ActiveHoldIndex = 0;
    }
  }
  M().McuEntryCursor = 0;
}

void McuCrossingKey() {
  State& m = M();
  m.McuPage = kPageLegs;
  m.McuCrossingEntryActive = 1;
  m.McuCrossingAltitude = 0;
  // The altitude starts afresh, also for the PC keyboard when it types on.
  model::model_state.McuKeyboardEntry.clear();
  m.McuEntryCursor = 0;
  Repaint();
}

void McuLegsKey() {
  LeaveKeyboardEntry();
  State& m = M();
  m.McuPage = kPageLegs;
  Repaint();
  m.McuEntryCursor = 0;
  m.McuCrossingEntryActive = 0;
  model::model_state.McuKeyboardEntry.clear();
  model::model_state.McuEntryText.clear();
  const int act = Fp().ActiveWaypointIndex;
  if (act > 0 && act != model::kNoWaypoint) S().McuLegsCursor = act;
}

void McuUpKey() {
  M().McuUpPressed = 1;
  if (M().McuPage == kPageStatus) {
    StepActiveWaypoint(-1);
  } else if (M().McuPage == kPageLegs) {
    KeepLegsCursorOnRoute();
    if (S().McuLegsCursor > 1) --S().McuLegsCursor;
  }
  Repaint();
  M().McuEntryCursor = 0;
}

void McuDownKey() {
  M().McuDownPressed = 1;
  if (M().McuPage == kPageStatus) {
    StepActiveWaypoint(+1);
  } else if (M().McuPage == kPageLegs) {
    KeepLegsCursorOnRoute();
    if (S().McuLegsCursor < Fp().ActiveFlightPlanLastIndex) ++S().McuLegsCursor;
  }
  Repaint();
  M().McuEntryCursor = 0;
}

void McuAltitudeKey() {
  State& m = M();
  m.McuPage = kPageAltitude;
  Repaint();
  m.McuEntryCursor = 1;
  // Whole thousands of the autopilot's altitude, within what the rocker sets.
  const double thousands = std::trunc(G().ApAltitudeLockVar / 1000.0) * 1000.0;
  m.McuNewAltitude = std::isfinite(thousands) ? std::clamp(thousands, 0.0, double{kMaxRockerAltitude}) : 0.0;
}

void McuAirportKey() {
  State& m = M();
  if (m.McuPage == kPageAirport) {
    if (++m.McuAptSubPage > model::model_state.McuAptPageCount) m.McuAptSubPage = 1;
  } else {
    LeaveKeyboardEntry();
    m.McuPage = kPageAirport;
    m.McuAptSubPage = 1;
  }
  Repaint();
  m.McuEntryCursor = 0;
  RequestAirportRunways();
}

void McuKeyboardKey() {
  if (TakesText(M().McuPage)) ToggleKeyboardEntry();
}

void McuLineSelect(std::int32_t key) {
  State& m = M();
  m.McuLineSelectKey = key;
  Repaint();
  if (TakesText(M().McuPage) && m.McuEntryCursor == 0 && S().McuKeyboardEntryActive != 1) m.McuEntryCursor = 1;
}

void McuEnterKey() {
  State& m = M();
  S().McuPageEntered = 1;
  Repaint();
  if (S().McuKeyboardEntryActive == 1) {
    McuLeaveKeyboardEntry();
    model::model_state.McuEntryText.clear();
    m.McuDirectToSearchText.clear();
  }
  // On LEGS the leg in the first row becomes the active one; a cursor off
  // the route or a route without an active waypoint changes nothing.
  if (m.McuPage == kPageLegs && m.McuCrossingEntryActive == 0 && ActiveWaypointEntry() != nullptr) {
    const int leg = S().McuLegsCursor;
    if (leg >= 1 && leg <= Fp().ActiveFlightPlanLastIndex) {
      Fp().ActiveWaypointIndex = leg;
      SetUpActiveWaypoint();
    }
  }
  if (m.McuPage != kPageAltitude) m.McuEntryCursor = 0;
}

}  // namespace ovi::mcu
