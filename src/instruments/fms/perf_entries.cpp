#include "src/instruments/fms/perf_entries.h"

#include <cmath>
#include <cstdlib>

#include "src/flightplan/execute.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/fms/arrival_time.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

model::State& M() { return model::model_state; }

constexpr double kPoundsPerKilogram = 2.20462262;
constexpr double kKilogramsPerPound = 0.45359237;

bool InKilograms() { return M().WeightUnit == "KGS"; }

// The length of the leading number (sign, digits, one point, digits), 0
// when the text does not begin with one. `whole`: stop at the point.
std::size_t LeadingNumberLength(std::string_view text, bool whole) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point && !whole) {
      point = true;
    } else {
      break;
    }
  }
  return digits > 0 ? i : 0;
}

double ReadLeading(std::string_view text, bool whole) {
  std::size_t n = LeadingNumberLength(text, whole);
  if (n == 0) return 0.0;
  double v = std::strtod(std::string(text.substr(0, n)).c_str(), nullptr);
  return std::isfinite(v) ? v : 0.0;
}

}  // namespace

double LeadingDecimal(std::string_view text) { return ReadLeading(text, false); }

double LeadingInteger(std::string_view text) { return ReadLeading(text, true); }

bool ReadsAsTypedZero(std::string_view text, double value) { return value != 0.0 || text == "0"; }

void SaveEntryCopy(double& copy, bool& saved, double value) {
  if (saved) return;
  copy = value;
  saved = true;
}

void SaveEntryCopy(std::int32_t& copy, bool& saved, std::int32_t value) {
  if (saved) return;
  copy = value;
  saved = true;
}

// An entry that changes the executed route's values starts a modification
// as every road does: the pending route becomes the flown one's copy first
// (it may hold another unit's working copy, which EXEC must not take).
void StepIfExecuted() {
  if (flightplan::flightplan_state.RouteState != 3) return;
  flightplan::BeginRouteModification();
  flightplan::StepRouteState();
}

bool EnterCruiseAltitude(bool keep_stripped_text) {
  std::string text = Scratchpad();
  if (text.rfind("FL", 0) == 0) {
    text.erase(0, 2);
    if (keep_stripped_text) M().FmsScratchpad = text;
  }
  const double v = LeadingDecimal(text);
  // Whole feet (or flight levels) are stored: a fraction below 1 would be
  // stored as 0, which is "not set".
  if (!(v >= 1.0 && v < 99999.0)) {
    RefuseEntry(kInvalidEntry);
    return false;
  }
  model::State& m = M();
  SaveEntryCopy(m.CruiseAltEntry, m.CruiseAltSaved, m.CruiseAlt);
  auto feet = static_cast<std::int32_t>(v);
  m.CruiseAlt = feet < 1000 ? feet * 100 : feet;
  StepIfExecuted();
  AcceptEntry();
  return true;
}

bool EnterSpeedMach(const SpeedMachTargets& t) {
  const std::string& text = Scratchpad();
  const std::size_t slash = text.find('/');
  const bool has_speed = slash != 0;
  const bool has_mach = slash != std::string::npos;
  const double ias = has_speed ? LeadingInteger(std::string_view(text).substr(0, slash)) : 0.0;
  // A Mach part that is not a number (or is empty) reads Mach 0 and is
  // taken: the pages have always done so.
  const double mach = has_mach ? LeadingDecimal(std::string_view(text).substr(slash + 1)) : 0.0;
  if ((has_speed && !(ias >= 50.0 && ias <= 500.0)) || (has_mach && !(mach >= 0.0 && mach <= 4.0))) {
    RefuseEntry(kInvalidEntry);
    return false;
  }
  if (has_speed) {
    SaveEntryCopy(*t.ias_copy, *t.ias_saved, *t.ias);
    *t.ias = static_cast<std::int32_t>(ias);
  }
  if (has_mach) {
    SaveEntryCopy(*t.mach_copy, *t.mach_saved, *t.mach);
    *t.mach = mach;
  }
  AcceptEntry();
  StepIfExecuted();
  return true;
}

bool EnterSpeedRestriction(double& speed, double& altitude) {
  const std::string& text = Scratchpad();
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos || slash < 3) {
    RefuseEntry(kInvalidEntry);
    return false;
  }
  const std::string_view before = std::string_view(text).substr(0, slash);
  const double s = LeadingDecimal(before);
  const double a = LeadingDecimal(std::string_view(text).substr(slash + 1));
  // The upper bounds keep what guidance commands within the autopilot's
  // reach and the page's three- and five-digit fields.
  if (!(s >= 50.0 && s <= 999.0) || !(a >= 1000.0 && a <= 99999.0)) {
    RefuseEntry(kInvalidEntry);
    return false;
  }
  speed = LeadingInteger(before);
  altitude = a;
  AcceptEntry();
  return true;
}

double ShownWeight(double pounds) { return (InKilograms() ? pounds * kKilogramsPerPound : pounds) * 0.001; }

double EnteredWeight(double thousands) {
  const double pounds = thousands * 1000.0;
  return InKilograms() ? pounds * kPoundsPerKilogram : pounds;
}

std::string AltitudeText(std::int32_t feet) {
  if (feet > M().TransAlt) return ScreenText("FL%03d", feet / 100);
  return ScreenText("%5d", feet);
}

std::string ArrivalText(double time_distance, double shown_distance, const char* distance_format) {
  const guidance::State& g = guidance::guidance_state;
  const bool local = M().DispETALocalTime == 1;
  ArrivalTime eta;
  // The tenth is the arrival's own, not the clock's second: the time holds
  // still while nothing changes.
  if (!ArrivalTimeAheadToTheTenth(time_distance, g.GroundSpeedKnots, local, eta)) return {};
  std::string text = ScreenText("%02d%02d.%1d%s", eta.hour, eta.minute, eta.tenth, local ? "L" : "Z");
  if (!std::isfinite(shown_distance)) shown_distance = 0.0;
  // A format of this file's callers, never a typed text.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  return text + ScreenText(distance_format, shown_distance);
#pragma GCC diagnostic pop
}

void EraseIfModified() {
  if (flightplan::flightplan_state.RouteState == 4) flightplan::ResetRouteData();
}

void OpenRtaProgress() {
  OpenPage(kPageProgress);
  M().FmsSubPageTable.ProgressSubPage = 2;
}

// The level in force: the entry, or the lower level the route has room
// for (the plan flies it, and every page shows the one level).
void DrawCruiseAltitudeField(CduPage& page) {
  if (M().CruiseAlt == 0) {
    page.EntryBoxes(5, 38, 5);
  } else {
    page.Large(5, 33, AltitudeText(guidance::PlannedCruiseAltitude()));
  }
}

const model::FlightPlanWaypoint* NextConstraintWaypoint() {
  const flightplan::State& s = flightplan::flightplan_state;
  const int index = guidance::guidance_state.NextConstraintIndex;
  if (s.ActiveWaypointIndex == model::kNoWaypoint) return nullptr;
  if (index < 0 || index > s.ActiveFlightPlanLastIndex || index > model::kMaxActivePlanWaypoints) return nullptr;
  return &s.ActiveFlightPlan[index];
}

}  // namespace ovi::fms
