// LEGS (page 6): the active route from the legs cursor on, and the crossing
// altitude entry that puts an altitude constraint on the waypoint in the
// first row and executes the route with it.
#include <algorithm>
#include <string>

#include "src/flightplan/execute.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/mcu/entry_editor.h"
#include "src/instruments/gnsxls/mcu/pages.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::mcu {

namespace {

using gnsxls::ScreenText;

constexpr float kFlyoverX = 50.0f;
constexpr float kConstraintX = 155.0f;
constexpr int kBoxWidth = 47;
constexpr int kBoxTop = 13;
constexpr int kBoxBottom = 25;
// The crossing altitude's underlines follow the fix's ident on the entry
// line: 9 units a character from x 131 (thousands) and 140 (five hundreds).
constexpr int kCrossingUnderlineX = 131;
constexpr int kCrossingCharacterStep = 9;
constexpr int kCrossingUnderlineY = 75;
// The destination runway is crossed 200 ft above the airport.
constexpr double kAirportCrossingMargin = 200.0;
constexpr std::size_t kMaxAltitudeDigits = 5;

flightplan::State& Fp() { return flightplan::flightplan_state; }

bool CursorOnRoute() {
  const int i = gnsxls::gnsxls_state.McuLegsCursor;
  return i >= 1 && i <= Fp().ActiveFlightPlanLastIndex;
}

// The crossing altitude typed or stepped: whole feet of at most five digits,
// 0..99000; anything else is no altitude.
bool CrossingAltitude(const std::string& text, double& feet) {
  if (text.empty() || text.size() > kMaxAltitudeDigits) return false;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  const int value = std::stoi(text);
  if (value > kMaxRockerAltitude) return false;
  feet = value;
  return true;
}

// ENTER in crossing entry: the altitude becomes the fix's constraint and
// the route is executed with it. Nothing without an active waypoint, with
// the cursor off the route, or without an altitude.
void CommitCrossingAltitude() {
  flightplan::State& fp = Fp();
  guidance::State& g = guidance::guidance_state;
  model::State& md = model::model_state;
  double feet = 0.0;
  if (ActiveWaypointEntry() == nullptr || !CursorOnRoute() || !CrossingAltitude(md.McuKeyboardEntry, feet)) return;
  // The route is executed with the constraint: a change waiting for EXEC is
  // given up first, as ERASE gives it up (the holds it added go, those it
  // took off come back), rather than copied over with its holds astray.
  flightplan::GiveUpPendingChange();
  const int fix = gnsxls::gnsxls_state.McuLegsCursor;
  for (int i = fp.ActiveWaypointIndex; i <= fix; ++i) fp.ActiveFlightPlan[i].constraint_flag = 0;
  model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[fix];
  g.NextConstraintIndex = fix;
  g.NextConstraintLat = w.latitude;
  g.NextConstraintLon = w.longitude;
  g.NextConstraintAltitude = feet;
  g.TodAltitude = g.AircraftAltitude;
  w.altitude_constraint = feet;
  w.constraint_flag = 1;
  flightplan::ActiveRouteChanged();
  if (g.TocPassed == 1) g.TodPassed = 0;
  if (fix == fp.ActiveFlightPlanLastIndex && w.type == "APT") g.NextConstraintAltitude += kAirportCrossingMargin;

  flightplan::CopyActiveToPendingPlan();
  fp.RouteState = 4;
  flightplan::ExecutePendingRoute();

  md.McuKeyboardEntry.clear();
  md.McuEntryText.clear();
  mcu_state.McuCrossingEntryActive = 0;
  mcu_state.McuPage = kPageStatus;
  // The status page is drawn whole on the next frame.
  g.DisplayRefreshCounter = 999;
}

void DrawLegs(McuPage& page) {
  const flightplan::State& fp = Fp();
  const guidance::State& g = guidance::guidance_state;
  const int first = std::max(gnsxls::gnsxls_state.McuLegsCursor, 1);
  for (int k = 1; k <= kListRows; ++k) {
    const int i = first + k - 1;
    if (i > fp.ActiveFlightPlanLastIndex) break;
    const model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[i];
    double distance = 0.0, course = 0.0;
    if (i == fp.ActiveWaypointIndex) {
      distance = g.ActiveWaypointDistance;
      course = g.BearingToActiveWaypoint;
    } else {
      const model::FlightPlanWaypoint& from = fp.ActiveFlightPlan[i - 1];
      navdb::ComputeDistanceAndBearing(from.latitude, from.longitude, w.latitude, w.longitude, distance, course);
      course -= g.MagneticVariation;
      if (course < 0.5) course += 360.0;
    }
    const float y = kRowY[k];
    page.Text(0, y, kGreen, ScreenText("%-5s   %5.0f %03.0f", w.ident.c_str(), distance, course));
    if (w.flyover == 1) page.Text(kFlyoverX, y, kMagenta, "FO");
    if (i == g.NextConstraintIndex) {
      const double altitude = i == fp.ActiveFlightPlanLastIndex ? w.altitude_constraint : g.NextConstraintAltitude;
      page.Text(kConstraintX, y, kGreen, ScreenText("%5.0f", altitude));
    }
  }
  if (first <= fp.ActiveFlightPlanLastIndex) page.CursorBox(0, kBoxTop, kBoxWidth, kBoxBottom - kBoxTop);
}

void RunCrossingEntry(McuPage& page) {
  State& m = mcu_state;
  model::State& md = model::model_state;
  const std::string ident = CursorOnRoute() ? Fp().ActiveFlightPlan[gnsxls::gnsxls_state.McuLegsCursor].ident : "";
  if (m.McuEntryCursor != 0) {
    StepAltitude(m.McuCrossingAltitude);
    const int x = kCrossingUnderlineX + kCrossingCharacterStep * static_cast<int>(ident.size());
    if (m.McuEntryCursor == 1) page.Underline(x, x + kCrossingCharacterStep, kCrossingUnderlineY);
    if (m.McuEntryCursor == 2)
      page.Underline(x + kCrossingCharacterStep, x + 2 * kCrossingCharacterStep, kCrossingUnderlineY);
  }
  // While the PC keyboard types the altitude, the typed text stands.
  if (gnsxls::gnsxls_state.McuKeyboardEntryActive != 1) md.McuKeyboardEntry = ScreenText("%05d", m.McuCrossingAltitude);
  md.McuEntryText = ScreenText("> Cross %s At %s", ident.c_str(), md.McuKeyboardEntry.c_str());
}

}  // namespace

void DrawMcuLegsPage(McuFrame& frame) {
  McuPage page(frame.g);
  if (gnsxls::gnsxls_state.McuPageEntered == 1 && mcu_state.McuCrossingEntryActive == 1) CommitCrossingAltitude();
  page.Text(0, kRowY[0], kAmber, "LEGS:");
  DrawLegs(page);
  if (mcu_state.McuCrossingEntryActive == 1) RunCrossingEntry(page);
  page.EntryLine(model::model_state.McuEntryText);
}

}  // namespace ovi::mcu
