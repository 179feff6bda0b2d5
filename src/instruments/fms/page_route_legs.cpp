// RTE LEGS (page 6): the legs of the route, five rows a sub-page, a held
// waypoint taking a second "HOLD AT" row; and the CDU's editor of them:
// waypoints inserted, deleted or cut out, leg constraints, the direct-to /
// intercept leg (DIR INTC selection), holds (HOLD AT selection), STEP of
// the PLAN map's centre. The active route shows while it is flown
// unchanged (RouteState 3); every edit goes to PendingFlightPlan.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "src/flightplan/execute.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/plan_ops.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/route_legs_edit.h"
#include "src/instruments/fms/select_waypoint.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/waypoint_entry.h"

namespace ovi::fms {

namespace {

constexpr int kRows = 5;
constexpr float kRowPitch = 33.0f;
// "MOD" is three characters wide: a box of two would leave its "D" black on
// black.
constexpr ActModForm kActMod = {10, 8, 10, 3, true};
constexpr std::string_view kHoldAtPrefix = "HOLD AT ";
constexpr std::string_view kDisco = "DISCO";
constexpr const char* kNoConstraint = "- - - - / - - - - - -";
constexpr int kNdPlanMode = 7;  // HWB737NDMode of the B737 display's PLAN map

// Bottom-area modes (FmsHoldFixSelect).
constexpr std::int32_t kDirectIntercept = 1;
constexpr std::int32_t kHoldAt = 2;

// A copied constraint must read back as it stands: a speed the entry takes
// and an altitude in feet (a number below 1000 would read as a flight level).
constexpr double kSlowestCopiedSpeed = 100.0;
constexpr double kFastestCopiedSpeed = 400.0;
constexpr double kLowestCopiedAltitude = 1000.0;
constexpr double kHighestCopiedAltitude = 99000.0;

flightplan::State& Route() { return flightplan::flightplan_state; }
guidance::State& Guidance() { return guidance::guidance_state; }
std::int32_t RouteStateNow() { return flightplan::flightplan_state.RouteState; }
std::int32_t Mode() { return fms_state.FmsHoldFixSelect; }
int PendingLast() { return flightplan::LastIndex(flightplan::PendingPlan()); }

// The plan the page shows: the active route while it is flown unchanged,
// the route being edited otherwise.
struct ShownPlan {
  const model::FlightPlanTable& plan;
  int last;
  bool active;
};

ShownPlan Shown() {
  if (RouteStateNow() == 3) {
    const flightplan::PlanRef p = flightplan::ActivePlan();
    return {p.plan, flightplan::LastIndex(p), true};
  }
  const flightplan::PlanRef p = flightplan::PendingPlan();
  return {p.plan, flightplan::LastIndex(p), false};
}

// A row of the page: the plan index it addresses, and whether it is the
// "HOLD AT" row of that entry.
struct LegRow {
  int index = 0;
  bool hold = false;
};
using LegRows = std::array<LegRow, kRows>;

// Only legs (entries 1 to last - 1) show a hold row; what lies past the
// last entry is never read.
bool CarriesHold(const ShownPlan& s, int i) { return i >= 1 && i <= s.last - 1 && s.plan[i].hold_number > 0; }

// The five rows from the sub-page's first leg: the keys act on these
// indices and the listing draws them, so a key acts on what its row shows.
// Row 1 is the hold row of the entry before the first leg when it holds;
// a held waypoint's row is followed by its hold row, then the next entry.
// Past the listing the rows go on with the indices they would have.
LegRows RowsFrom(const ShownPlan& s, int first) {
  LegRows rows;
  int next = first;
  bool hold_pending = CarriesHold(s, first - 1);
  for (LegRow& row : rows) {
    if (hold_pending) {
      row = {next - 1, true};
      hold_pending = false;
      continue;
    }
    row = {next, false};
    hold_pending = CarriesHold(s, next);
    ++next;
  }
  return rows;
}

// A waypoint index the listing may start from; anything else (no active
// waypoint, an index left behind by a shorter route) starts at leg 1.
int StartOrFirstLeg(int index, int last) { return index >= 1 && index <= last ? index : 1; }

// The first leg of a sub-page: the active (or, while a change is open, the
// edited) waypoint on sub-page 1, and five entries a sub-page after that
// same leg, less one for each hold row those sub-pages show. Later
// sub-pages count from sub-page 1's leg even when a leg was chosen or
// inserted further on (FmsLegsSelectedIndex) or the edited waypoint is not
// the active one: counted from either, the legs between would show on no
// sub-page, and a leg chosen for DIR INTC would leave the page it was
// chosen on.
int FirstLeg(const ShownPlan& s, int sub_page) {
  const flightplan::State& fp = Route();
  const std::int32_t state = RouteStateNow();
  const int active = StartOrFirstLeg(fp.ActiveWaypointIndex, s.last);
  const int page_one =
      state == 4 && fp.EditWaypointIndex > 0 ? StartOrFirstLeg(fp.EditWaypointIndex, s.last) : active;
  if (sub_page <= 1) return page_one;
  int first = kRows * (sub_page - 1) + page_one;
  const int from = state == 3 ? active : 1;
  for (int i = from; i < first && i <= s.last - 1; ++i) {
    if (s.plan[i].hold_number > 0) --first;
  }
  return first;
}

int SubPageCount(const ShownPlan& s) {
  const int entries = std::max(s.last, 0) + std::clamp(Route().HoldCount, 0, model::kMaxHolds);
  return (entries + kRows - 1) / kRows;
}

// Magnetic course from one point to the next, in [0, 360).
double MagneticCourse(double lat1, double lon1, double lat2, double lon2, double* distance = nullptr) {
  double d = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, course);
  if (distance != nullptr) *distance = d;
  course = std::fmod(course - Guidance().MagneticVariation, 360.0);
  return course < 0.0 ? course + 360.0 : course;
}

// ---- line-select keys ---------------------------------------------------------

bool IsLeg(int index) { return index >= 1 && index < PendingLast(); }
model::FlightPlanWaypoint& PendingEntry(int index) { return Route().PendingFlightPlan[index]; }

void Resolve(std::string_view text) {
  navdb::entry_state.WaypointEntryText = std::string(text);
  navdb::ResolveWaypointEntry(navdb::kAllTables);
}
int Candidates() { return navdb::entry_state.WaypointCandidateCount; }

// DELETE on a hold row: the hold goes with the next EXEC (marked by the
// index of its waypoint in the flown route, where EXEC looks for it).
void DeleteHoldOf(int index) {
  const flightplan::State& fp = Route();
  const std::uint32_t n = PendingEntry(index).hold_number;
  const bool listed = n >= 1 && n <= static_cast<std::uint32_t>(std::clamp(fp.HoldCount, 0, model::kMaxHolds));
  fms_state.FmsHoldWaypointIndex = listed ? fp.HoldTable[static_cast<int>(n)].active_index : index;
  flightplan::DeleteHold(index, 2);
}

void CopyLeg(int index) {
  model::model_state.FmsScratchpad = PendingEntry(index).ident;
  if (Mode() == kDirectIntercept) fms_state.FmsDirectLegIndex = index;
  if (Mode() == kHoldAt) fms_state.FmsLegsMarker = index;
}

// "HOLD AT fix" placed on a row: the fix is looked up again from its text,
// so the one inserted is the one the scratchpad names.
void InsertHoldFix(int index, std::string_view fix) {
  State& s = fms_state;
  if (Route().HoldCount >= model::kMaxHolds) return RefuseEntry(kInvalidEntry);
  Resolve(fix);
  if (Candidates() == 0) return RefuseEntry(kNotInDatabase);
  int c = s.FmsHoldInsertFlag == 1 ? 1 : s.FmsHoldFixCandidate;
  if (c < 1 || c > Candidates()) c = 1;
  if (!InsertRouteLegEntry(index, c)) return;
  flightplan::AddHoldAtWaypoint(index, 1);
  s.FmsHoldInsertFlag = s.FmsHoldFixCandidate = 0;
  AcceptEntry();
}

// The ident of a later waypoint cuts the legs from the row up to it.
bool CutTo(int index, const std::string& ident) {
  const flightplan::State& fp = Route();
  for (int j = std::max(index, 1); j <= PendingLast(); ++j) {
    if (fp.PendingFlightPlan[j].ident != ident) continue;
    // The waypoint already stands on this row: nothing to cut.
    if (j == index) {
      RefuseEntry(kInvalidEntry);
    } else {
      flightplan::RemovePendingWaypoints(index, j);
    }
    return true;
  }
  return false;
}

void InsertTyped(int index, const std::string& text) {
  if (index < 1 || index > PendingLast() + 1) return RefuseEntry(kInvalidEntry);
  Resolve(text);
  if (Candidates() == 0) return RefuseEntry(kNotInDatabase);
  if (Candidates() == 1) {
    if (InsertRouteLegEntry(index, 1)) AcceptEntry();
    return;
  }
  OpenSelectWaypoint(index, kPageRteLegs);
  AcceptEntry();
}

// R1-R5 with an empty scratchpad: the leg's constraints, as they would be
// typed, when both are set and the text reads back to them.
void CopyConstraint(int index) {
  if (!IsLeg(index)) return;
  const model::FlightPlanWaypoint& w = PendingEntry(index);
  const double speed = std::round(w.speed_constraint), altitude = std::round(w.altitude_constraint);
  if (speed < kSlowestCopiedSpeed || speed > kFastestCopiedSpeed) return;
  if (altitude < kLowestCopiedAltitude || altitude > kHighestCopiedAltitude) return;
  model::model_state.FmsScratchpad = ScreenText("%.0f/%.0f", speed, altitude);
}

void ActOnRow(int key, const LegRow& row) {
  const std::string text = Scratchpad();
  // The copy the page took when it opened may since have fallen behind the
  // flown route (waypoints passed, their times written) or been taken by
  // another unit's working copy: an edit starts from the flown route as it
  // now is, as every other road does.
  if (DeleteArmed() || !text.empty()) flightplan::BeginRouteModification();
  if (IsRightKey(key)) {
    if (DeleteArmed()) return RefuseEntry(kInvalidDelete);
    if (text.empty()) return CopyConstraint(row.index);
    if (!IsLeg(row.index) || PendingEntry(row.index).ident == kDisco) return RefuseEntry(kInvalidEntry);
    return EnterLegConstraint(row.index);
  }
  if (DeleteArmed()) {
    if (row.hold) return DeleteHoldOf(row.index);
    if (IsLeg(row.index)) return DeleteRouteLegEntry(row.index, 0);
    return RefuseEntry(kInvalidDelete);
  }
  if (text.empty()) {
    if (IsLeg(row.index)) CopyLeg(row.index);
    return;
  }
  if (Mode() == kHoldAt && text.starts_with(kHoldAtPrefix)) {
    return InsertHoldFix(row.index, std::string_view(text).substr(kHoldAtPrefix.size()));
  }
  if (CutTo(row.index, text)) return;
  InsertTyped(row.index, text);
}

// L6 in DIR INTC selection on a leg picked by its row: its intercept course
// may now be entered, starting from the course of the leg itself.
void ChooseDirectLeg() {
  State& s = fms_state;
  const int i = s.FmsDirectLegIndex;
  s.FmsDirectLegIndex = 0;
  if (!IsLeg(i)) return RefuseEntry(kInvalidEntry);
  flightplan::BeginRouteModification();
  if (RouteStateNow() == 3) flightplan::StepRouteState();
  s.FmsLegsSelectedIndex = i;
  s.FmsLegsEntryState = 1;
  model::FlightPlanWaypoint& w = PendingEntry(i);
  if (w.value3 <= -1.0) {
    const model::FlightPlanWaypoint& from = PendingEntry(i - 1);
    w.value3 = MagneticCourse(from.latitude, from.longitude, w.latitude, w.longitude);
  }
  AcceptEntry();
}

// L6 in DIR INTC selection with a typed fix: it goes in front of the active
// waypoint, like a fix typed on that waypoint's row (among several
// candidates the pilot chooses first).
void DirectToTyped(const std::string& text) {
  const int active = Route().ActiveWaypointIndex;
  if (active < 1 || active > PendingLast()) return RefuseEntry(kInvalidEntry);
  InsertTyped(active, text);
}

// RTE HOLD opens on the hold just added.
void ShowHoldOf(int index) {
  const std::uint32_t n = PendingEntry(index).hold_number;
  if (n >= 1) model::model_state.FmsSubPageTable.RteHoldSubPage = static_cast<std::int32_t>(n);
  OpenPage(kPageRteHold);
}

void HoldAtMarkedLeg() {
  const int i = fms_state.FmsLegsMarker;
  if (!flightplan::AddHoldAtWaypoint(i, 1)) return RefuseEntry(kInvalidEntry);
  AcceptEntry();
  ShowHoldOf(i);
}

// L6 in HOLD AT selection with a typed fix: the scratchpad becomes
// "HOLD AT fix", which a leg row then places.
void HoldFixTyped(const std::string& text) {
  State& s = fms_state;
  std::string_view fix(text);
  if (fix.starts_with(kHoldAtPrefix)) fix.remove_prefix(kHoldAtPrefix.size());
  const std::string typed(fix);
  Resolve(typed);
  if (Candidates() == 0) return RefuseEntry(kNotInDatabase);
  s.FmsHoldInsertFlag = Candidates() == 1 ? 1 : 0;
  s.FmsHoldFixCandidate = 1;
  if (Candidates() > 1) OpenSelectWaypoint(0, kPageRteLegs);
  model::model_state.FmsScratchpad = std::string(kHoldAtPrefix) + typed;
}

void ActOnL6() {
  if (RouteStateNow() == 4) return flightplan::ResetRouteData();
  const std::string text = Scratchpad();
  if (text.empty()) return;
  if (Mode() == kDirectIntercept) {
    if (fms_state.FmsDirectLegIndex > 0) return ChooseDirectLeg();
    return DirectToTyped(text);
  }
  if (Mode() == kHoldAt) {
    if (fms_state.FmsLegsMarker > 0) return HoldAtMarkedLeg();
    return HoldFixTyped(text);
  }
}

// INTC CRS: a course of 0 to 360 degrees for the leg chosen.
void EnterInterceptCourse() {
  const std::string text = Scratchpad();
  if (text.empty()) return;
  const int i = fms_state.FmsLegsSelectedIndex;
  double course = 0.0;
  if (i < 1 || i > PendingLast() || !ReadPlainNumber(text, course) || course > 360.0) {
    return RefuseEntry(kInvalidEntry);
  }
  PendingEntry(i).value3 = course;
  AcceptEntry();
}

// PPOS: a hold where the aircraft is, as a new waypoint in front of the
// active one.
void HoldAtPresentPosition() {
  const flightplan::State& fp = Route();
  const std::int32_t state = RouteStateNow();
  const int active = fp.ActiveWaypointIndex;
  const int last = state == 3 ? fp.ActiveFlightPlanLastIndex : fp.PendingFlightPlanLastIndex;
  if (active < 1 || active > last || last + 1 > flightplan::kMaxPlanLastIndex || fp.HoldCount >= model::kMaxHolds) {
    return RefuseEntry(kInvalidEntry);
  }
  navdb::EntryState& e = navdb::entry_state;
  model::NavDbRecord& c = e.WaypointCandidateList[1];
  c = model::NavDbRecord{};
  c.ident = "HOLD PPOS";
  c.latitude = Guidance().PlaneLatitude;
  c.longitude = Guidance().PlaneLongitude;
  c.kind = "I";
  e.WaypointCandidateCount = 1;
  e.PlaceBearingEntry = {-1.0, -1.0};
  e.WaypointEntryExtra = 0;
  if (state == 3) {
    flightplan::CopyActiveToPendingPlan();
    flightplan::StepRouteState();
  }
  if (!InsertRouteLegEntry(active, 1)) return;
  flightplan::AddHoldAtWaypoint(active, 0);
  ShowHoldOf(active);
}

// STEP: the PLAN map's centre moves one leg on, and with it the sub-page
// once it passes the five legs shown.
void Step(int first, int last) {
  std::int32_t& step = Route().PlanStepIndex;
  model::FmsSubPageTable& sub = model::model_state.FmsSubPageTable;
  step += 1;
  if (step > first + kRows - 1) {
    if (sub.LegsSubPage >= sub.LegsSubPageCount) {
      sub.LegsSubPage = 1;
      step = 1;
    } else {
      ++sub.LegsSubPage;
      step = 0;
    }
  }
  if (step >= last) {
    sub.LegsSubPage = 1;
    step = 1;
  }
}

void ActOnR6(int first, int last) {
  if (Mode() == kDirectIntercept) {
    if (fms_state.FmsLegsEntryState == 1) EnterInterceptCourse();
    return;
  }
  if (Mode() == kHoldAt) return HoldAtPresentPosition();
  if (AnyDisplayInPlanMode()) return Step(first, last);
  if (RouteStateNow() == 1) return flightplan::StepRouteState();
  OpenPage(kPageRoute);
}

// ---- drawing ----------------------------------------------------------------

std::string ConstraintAltitudeText(double altitude, const char* suffix) {
  if (model::model_state.TransAlt < altitude) return ScreenText("FL%03.0f%s", altitude / 100.0, suffix);
  return ScreenText("%5.0f%s", altitude, suffix);
}

void DrawConstraint(CduPage& page, const model::FlightPlanWaypoint& w, bool active_plan, float y) {
  double altitude = w.altitude_constraint;
  const double speed = w.speed_constraint;
  const bool has_altitude = std::isfinite(altitude) && altitude > 0.0;
  const bool has_speed = std::isfinite(speed) && speed > 0.0;
  if (active_plan) altitude = std::floor(altitude / 100.0) * 100.0;
  const char* suffix = w.constraint_flag == 1 ? "A" : "";
  if (!has_speed && !has_altitude) {
    page.Large(130, y, kNoConstraint);
  } else if (!has_speed) {
    page.Large(140, y, "- - - - / " + ConstraintAltitudeText(altitude, suffix));
  } else if (!has_altitude) {
    page.Large(145, y, ScreenText("%5.0f / - - - - - -", speed));
  } else {
    page.Large(130, y, ScreenText("%5.0f / ", speed) + ConstraintAltitudeText(altitude, suffix));
  }
}

// Five entry boxes, their left edges at x, x + 9 and then 10 apart (the
// rows' "1, 10, 20, 30, 40").
void DrawBoxes(CduPage& page, float x, float y) {
  page.EntryBoxes(x, y, 1);
  page.EntryBoxes(x + 9.0f, y, 4);
}

void DrawLeg(CduPage& page, const ShownPlan& s, int i, float y) {
  const flightplan::State& fp = Route();
  const guidance::State& g = Guidance();
  const model::FlightPlanWaypoint& w = s.plan[i];
  const model::FlightPlanWaypoint& before = s.plan[i - 1];
  const bool active_leg = s.active && i == fp.ActiveWaypointIndex;
  double distance = 0.0;
  double course = active_leg ? MagneticCourse(g.PlaneLatitude, g.PlaneLongitude, w.latitude, w.longitude, &distance)
                             : MagneticCourse(before.latitude, before.longitude, w.latitude, w.longitude, &distance);
  if ((active_leg || (!s.active && i == 1)) && w.value3 > -1.0) course = w.value3;
  if (before.ident == kDisco) {
    page.Small(7, y - 11, ". .  R O U T E  D I S C O N T I N U I T Y  .");
  } else {
    page.Small(20, y - 11, ScreenText("%03.0f\xB0", CourseShown(course)));
    page.Small(100, y - 11, ScreenText("%5.0f NM", distance));
  }
  const std::string ident = ScreenText("%-5s", w.ident.c_str());
  if (i == fp.ActiveWaypointIndex && RouteStateNow() != 4) {
    page.HighlightedText(0, y, ident, 0, static_cast<int>(y), static_cast<int>(w.ident.size()));
  } else {
    page.Large(0, y, ident);
  }
  // Small, on the row's baseline: in the large font it ran into the
  // constraint at 130.
  if (AnyDisplayInPlanMode() && i == fp.PlanStepIndex) page.Small(80, y + kSmallBaselineDrop, "<CTR>");
  DrawConstraint(page, w, s.active, y);
}

void DrawLegs(CduPage& page, const ShownPlan& s, int first) {
  const LegRows rows = RowsFrom(s, first);
  int used = 0;
  bool ended = false;
  for (const LegRow& row : rows) {
    const float y = kRowPitch * static_cast<float>(used + 1);
    if (row.hold) {
      page.Small(20, y - 11, "H O L D   A T");
      page.Large(0, y, ScreenText("%-5s", s.plan[row.index].ident.c_str()));
      page.Large(130, y, kNoConstraint);
    } else if (row.index >= s.last) {
      ended = true;
      break;
    } else if (s.plan[row.index].ident == kDisco) {
      page.Small(5, y - 14, "T H E N");
      DrawBoxes(page, 1, y);
    } else {
      DrawLeg(page, s, row.index, y);
    }
    ++used;
  }
  // The end of the route, in the first free row of the sub-page it ends on.
  if (ended) page.Large(0, kRowPitch * static_cast<float>(used + 1) - 3.0f, "- - - - - -");
}

void DrawBottom(CduPage& page) {
  const State& s = fms_state;
  const std::int32_t state = RouteStateNow();
  const bool nd_plan = model::model_state.HWB737NDMode >= kNdPlanMode;
  if (Mode() == kDirectIntercept) {
    if (s.FmsLegsEntryState == 1) {
      page.Small(0, 184, ". . . . . . . . . . . . . . . . . . . . . . . I N T C    C R S");
      const flightplan::State& fp = Route();
      const int selected = s.FmsLegsSelectedIndex;
      const int active = fp.ActiveWaypointIndex;
      double course = -1.0;
      if (selected >= 1 && selected <= PendingLast() && fp.PendingFlightPlan[selected].value3 > -1.0) {
        course = fp.PendingFlightPlan[selected].value3;
      } else if (active >= 1 && active <= PendingLast() && fp.PendingFlightPlan[active].value3 > -1.0) {
        course = fp.PendingFlightPlan[active].value3;
      }
      page.Large(215, 193, course > -1.0 ? ScreenText("%03.0f\xB0", course) : std::string("- - -"));
    } else {
      page.Small(0, 184, "D I R E C T    T O                    I N T C    L E G");
      // Five dashes fit between "T O" and "I N T C"; a sixth ran into it.
      page.Large(100, 179, "- - - - -");
      DrawBoxes(page, 1, kPromptY);
      page.Small(165, kPromptY, "T O");
      page.EntryBoxes(200, kPromptY, 5);
    }
  } else if (Mode() == kHoldAt) {
    page.Large(0, 176, "- - - - - - -                  - - - - - - - - - -");
    page.Small(80, 181, "H O L D  A T");
    if (Guidance().HoldSegmentCounter == 0) page.EntryBoxes(5, kPromptY, 5);
    page.Large(190, kPromptY, "PPOS >");
  } else if (state == 4) {
    if (nd_plan) {
      page.Large(0, 174, ". . . . . . . . . . . . . . . . . .");
      page.Small(180, 184, "M A P  C T R");
    } else {
      page.Large(0, 174, ". . . . . . . . . . . . . . . . . . . . . . . .");
    }
  } else {
    page.Small(10, 184, "R N P / A C T U A L");
    if (nd_plan) {
      page.Large(120, 174, ". . . . . .");
      page.Small(180, 184, "M A P  C T R");
    } else {
      page.Large(120, 174, ". . . . . . . . . . . . .");
    }
    // Small like its label: in the large font it runs into "RTE DATA >".
    page.Small(0, kPromptY, "1 . 0 0 / 0 . 0 0 N M");
  }

  // The right prompts name what R6 does, which it does in normal mode only.
  if (Mode() != kDirectIntercept && Mode() != kHoldAt) {
    if (AnyDisplayInPlanMode()) {
      page.Large(190, kPromptY, "STEP >");
    } else if (state == 1) {
      page.Large(170, kPromptY, "ACTIVATE >");
    } else if (state >= 2) {
      page.Large(150, kPromptY, "RTE DATA >");
    }
  }
  if (state == 4) page.Large(0, kPromptY, "< ERASE");
}

}  // namespace

void FmsPageRouteLegs(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = fms_state;
  model::FmsSubPageTable& sub = model::model_state.FmsSubPageTable;
  CduPage page(display, g);

  if ((s.FmsLegsKey == 1 || s.FmsHoldKey == 1) && (RouteStateNow() == 0 || RouteStateNow() == 3)) {
    flightplan::CopyActiveToPendingPlan();
  }
  int key = LineSelectKey();
  // Choosing the direct-to leg, R6 does what L6 does.
  if (Mode() == kDirectIntercept && s.FmsLegsEntryState == 0 && key == kR6) key = kL6;

  const ShownPlan shown = Shown();
  sub.LegsSubPageCount = SubPageCount(shown);
  sub.LegsSubPage = std::clamp(sub.LegsSubPage, 1, std::max(sub.LegsSubPageCount, 1));
  // The first leg stays the one of the sub-page shown when the frame began,
  // whatever PREV or NEXT do below.
  const int first = FirstLeg(shown, sub.LegsSubPage);
  const bool next = fms_state.FmsNextPageKey == 1;
  const bool prev = fms_state.FmsPrevPageKey == 1;
  StepSubPage(sub.LegsSubPage, sub.LegsSubPageCount);

  page.ActModTitle(kActMod);
  page.Large(63, kTitleY, "RTE    LEGS");
  page.Small(220, kTitleY, ScreenText("%2d / %2d", sub.LegsSubPage, sub.LegsSubPageCount));

  // PlanStepIndex has three writers in one frame: the frame's reset (no
  // PLAN map), this sync, and STEP below. With two CDU gauges the sync runs
  // twice a frame; the second finds the keys cleared and keeps the value
  // the first left.
  std::int32_t& plan_step = Route().PlanStepIndex;
  if (AnyDisplayInPlanMode()) {
    if ((next && first < shown.last) || prev || plan_step == 0) plan_step = first;
  } else if (plan_step == 0) {
    plan_step = first;
  }

  if (key == kL6) {
    ActOnL6();
  } else if (key == kR6) {
    ActOnR6(first, shown.last);
  } else if (RowOfKey(key) != 0) {
    ActOnRow(key, RowsFrom(shown, first)[static_cast<std::size_t>(RowOfKey(key) - 1)]);
  }

  // The key may have changed the plan, or which plan shows.
  DrawLegs(page, Shown(), first);
  DrawBottom(page);
  page.ScratchpadLine();
}

}  // namespace ovi::fms
