#include "src/instruments/fms/route_legs_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "src/flightplan/plan_ops.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::fms {

namespace {

constexpr std::string_view kPresentPositionHold = "HOLD PPOS";
constexpr std::string_view kDisco = "DISCO";
// Created names end in two digits: a 99th point of one place is the last,
// so no name outgrows the five characters the pages give an ident.
constexpr int kLastPointNumber = 99;
constexpr double kLowestFlightLevelAltitude = 1000.0;  // ft: below it an entry is a flight level
constexpr double kHighestConstraint = 99000.0;
constexpr double kSlowestConstraintSpeed = 100.0;
constexpr double kFastestConstraintSpeed = 400.0;

// The number the digits of a created name stand for, read as far as they
// are digits (a name such as "ABC1X" counts 1, "ABCDE" 0).
int NameNumber(std::string_view digits) { return std::atoi(std::string(digits).c_str()); }

// The created point's name from place P over the legs of the plan as it
// stands: "%3s%02d" of P's first three characters, or "%2s%02d" of its first
// two when the plan already names points by two letters of it. The number
// is one above the highest such point, counting again from 1 after P itself.
// The three-letter stem is compared as it is written, so " AB01" made from a
// two-letter place counts towards the next " AB" point.
bool CreatedPointName(const model::FlightPlanTable& plan, int last, const std::string& place, std::string& name) {
  const std::string two = place.substr(0, 2);
  const std::string three = ScreenText("%3s", place.substr(0, 3).c_str());
  int n = 1;
  bool by_two_letters = false;
  for (int i = 1; i <= last - 1; ++i) {
    const std::string& id = plan[i].ident;
    if (id.size() == 2 && id == two) {
      n = 1;
      by_two_letters = true;
    } else if (id.size() == 3 && id == three) {
      n = 1;
    } else if (id.size() == 5 && id.compare(0, 3, three) == 0) {
      n = std::max(n, NameNumber(std::string_view(id).substr(3, 2)) + 1);
    } else if (id.size() == 4 && id.compare(0, 2, two) == 0) {
      n = std::max(n, NameNumber(std::string_view(id).substr(2, 2)) + 1);
      by_two_letters = true;
    }
  }
  if (n > kLastPointNumber) return false;
  name = by_two_letters ? ScreenText("%2s%02d", two.c_str(), n) : ScreenText("%3s%02d", three.c_str(), n);
  return true;
}

// "WPTnn" for a hold at the present position: one above the highest
// "WPTnn" among the legs.
bool PresentPositionPointName(const model::FlightPlanTable& plan, int last, std::string& name) {
  int highest = 0;
  for (int i = 1; i <= last - 1; ++i) {
    const std::string& id = plan[i].ident;
    if (id.size() == 5 && id.compare(0, 3, "WPT") == 0) highest = std::max(highest, NameNumber(std::string_view(id).substr(3, 2)));
  }
  if (highest + 1 > kLastPointNumber) return false;
  name = ScreenText("WPT%02d", highest + 1);
  return true;
}

bool Refused() {
  RefuseEntry(kInvalidEntry);
  return false;
}

// A word of a constraint entry as the decimal number it starts with
// ("0X10" starts with 0, never 16); a word that starts with none, or gives
// no finite number, counts 0.
double ConstraintNumber(std::string_view word) {
  const std::string text(word.substr(0, word.find_first_not_of("+-0123456789.eE")));
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  return end != text.c_str() && std::isfinite(v) ? v : 0.0;
}

}  // namespace

void DeleteRouteLegEntry(int row, int remove_outright) {
  const flightplan::PlanRef p = flightplan::PendingPlan();
  const int last = flightplan::LastIndex(p);
  model::model_state.PanelMessage.clear();
  if (last > 1) {
    if (row < 1 || row > last) return;
    // The entry's hold goes as on every removal from the route being edited:
    // detached, dropped at EXEC, back with ERASE. (Looked up by the flown
    // route's index, it would be another waypoint's hold once entries moved.)
    // A discontinuity deleted closes the gap; a leg deleted leaves one.
    if (row > 1 && row < last - 1 && remove_outright == 0 && p.plan[row].ident != kDisco) {
      flightplan::DropHoldsOn(p, row, row);
      model::FlightPlanWaypoint& w = p.plan[row];
      flightplan::BlankEntry(w);
      w.ident = kDisco;
      w.latitude = 0.0;
      w.longitude = 0.0;
    } else {
      flightplan::RemoveEntries(p, row, row + 1);
      flightplan::WriteEndMarker(p);
    }
  }
  if (flightplan::flightplan_state.RouteState == 3) flightplan::StepRouteState();
}

bool InsertRouteLegEntry(int row, int candidate) {
  flightplan::State& fp = flightplan::flightplan_state;
  navdb::EntryState& e = navdb::entry_state;
  const flightplan::PlanRef p = flightplan::PendingPlan();
  const int last = flightplan::LastIndex(p);
  if (candidate < 1 || candidate > e.WaypointCandidateCount || last < 0 || row < 1 || row > last + 1) {
    return Refused();
  }
  model::NavDbRecord* c = e.WaypointCandidateList.At(candidate);
  if (c == nullptr) return Refused();
  const bool present_position = std::string_view(c->ident) == kPresentPositionHold;
  const bool created = !present_position && (e.WaypointEntryExtra > 0 || e.PlaceBearingEntry[1] >= 0.0);
  const bool disco = row < last && p.plan[row].ident != kDisco && !present_position;
  if (last + 1 + (disco ? 1 : 0) > flightplan::kMaxPlanLastIndex) return Refused();

  // Named over the legs as they stand, before anything moves.
  std::string name;
  if (created && !CreatedPointName(p.plan, last, std::string(c->ident), name)) return Refused();
  if (present_position && !PresentPositionPointName(p.plan, last, name)) return Refused();

  if (fp.EditWaypointIndex == model::kNoWaypoint) fp.EditWaypointIndex = 1;
  if (created) {
    if (e.WaypointEntryExtra > 0) {
      double lat = c->latitude, lon = c->longitude;
      navdb::ProjectPosition(c->latitude, c->longitude,
                             e.PlaceBearingEntry[0] + guidance::guidance_state.MagneticVariation,
                             e.WaypointEntryExtra, lat, lon);
      c->latitude = lat;
      c->longitude = lon;
    }
    c->ident = name;
    c->kind = "WPT";
    e.WaypointEntryExtra = 0;
    e.PlaceBearingEntry = {-1.0, -1.0};
  }
  if (present_position) c->ident = name;

  flightplan::OpenSlots(p, row, 1);
  model::FlightPlanWaypoint& w = p.plan[row];
  flightplan::BlankEntry(w);
  w.ident = std::string(c->ident);
  w.latitude = c->latitude;
  w.longitude = c->longitude;
  w.type = flightplan::RouteTypeOfKind(std::string_view(c->kind));
  w.frequency_text = std::string(c->frequency_text);
  fms_state.FmsLegsSelectedIndex = row;
  if (disco) {
    flightplan::OpenSlots(p, row + 1, 1);
    model::FlightPlanWaypoint& d = p.plan[row + 1];
    flightplan::BlankEntry(d);
    d.ident = kDisco;
  }
  flightplan::WriteEndMarker(p);
  StepFromUnchanged();
  if (fms_state.FmsHoldFixSelect == 1 && fms_state.FmsLegsEntryState == 0) fms_state.FmsLegsEntryState = 1;
  return true;
}

void EnterLegConstraint(int row) {
  std::string text = Scratchpad();
  std::replace_if(text.begin(), text.end(), [](char ch) { return ch == '/' || ch == 'F' || ch == 'L'; }, ' ');
  const std::vector<std::string_view> words = util::SplitBlanks(text);
  double speed = 0.0, altitude = 0.0;
  if (words.size() == 1) {
    altitude = ConstraintNumber(words[0]);
  } else if (words.size() >= 2) {
    speed = ConstraintNumber(words[0]);
    altitude = ConstraintNumber(words[1]);
  }
  if (!(altitude > 0.0 && altitude <= kHighestConstraint)) return RefuseEntry(kInvalidEntry);

  flightplan::BeginRouteModification();
  const flightplan::PlanRef p = flightplan::PendingPlan();
  if (row < 1 || row > flightplan::LastIndex(p)) return RefuseEntry(kInvalidEntry);
  model::FlightPlanWaypoint& w = p.plan[row];
  w.altitude_constraint = altitude < kLowestFlightLevelAltitude ? altitude * 100.0 : altitude;
  w.constraint_flag = 1;
  if (speed >= kSlowestConstraintSpeed && speed <= kFastestConstraintSpeed) {
    w.speed_constraint = speed;
  } else if (speed != 0.0) {
    RefuseEntry(kInvalidEntry);
  }
  StepFromUnchanged();
  AcceptEntry();
}

int RouteRowInsertIndex(int row) {
  const flightplan::State& fp = flightplan::flightplan_state;
  // The entry row below the rows has no TO of its own: its text is empty and
  // would match a blank entry of the plan.
  if (row >= 1 && row <= fp.RouteViaToCount) return flightplan::FindNextViaToWaypoint(row);
  return fp.PendingFlightPlanLastIndex;
}

void BeginRouteRowEdit() {
  if (flightplan::flightplan_state.RouteState != 3) return;
  flightplan::BeginRouteModification();
  flightplan::BuildRouteViaToList();
}

}  // namespace ovi::fms
