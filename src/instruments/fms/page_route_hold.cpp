// RTE HOLD (page 39): one hold of HoldTable a sub-page, its inbound course
// and turn, leg time and leg distance; NEXT HOLD defines another (RTE LEGS
// in HOLD AT selection), EXIT HOLD removes the one shown with the next EXEC.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "src/flightplan/execute.h"
#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/arrival_time.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::fms {

namespace {

// "MOD" is three characters wide: a box of two would leave its "D" black on
// black.
constexpr ActModForm kActMod = {8, 8, 10, 3, true};
// The page offers NEXT HOLD and EXIT HOLD below this many holds; the table
// takes more, and each of them still shows on a sub-page of its own.
constexpr int kHoldsOffered = 5;
constexpr double kLeastEtaGroundSpeed = 60.0;  // kt: no fix ETA at or below it
constexpr double kNoCourseBeyond = 361.0;
constexpr const char* kNoEta = ". . / . . .";

flightplan::State& Route() { return flightplan::flightplan_state; }
int HoldCount() { return std::clamp(Route().HoldCount, 0, model::kMaxHolds); }

// The hold the sub-page shows and edits: entry n, never past the holds in
// the table; with none, entry 1 (the default hold).
model::HoldingPattern& ShownHold(int sub_page) {
  return Route().HoldTable[std::clamp(sub_page, 1, std::max(HoldCount(), 1))];
}

// "270/L": a course from 0 to below 361 and the turn side's letter.
bool ReadCourseAndTurn(std::string text, double& course, std::int32_t& turn_side) {
  if (text.find('/') == std::string::npos) return false;
  std::replace(text.begin(), text.end(), '/', ' ');
  const std::vector<std::string_view> words = util::SplitBlanks(text);
  if (words.size() < 2 || !ReadPlainNumber(words[0], course) || course >= kNoCourseBeyond) return false;
  const char side = static_cast<char>(std::toupper(static_cast<unsigned char>(words[1][0])));
  if (side == 'L') {
    turn_side = 2;
  } else if (side == 'R') {
    turn_side = 1;
  } else {
    return false;
  }
  return true;
}

void EnterCourseAndTurn(model::HoldingPattern& h) {
  double course = 0.0;
  std::int32_t side = 0;
  if (!ReadCourseAndTurn(Scratchpad(), course, side)) return RefuseEntry(kInvalidEntry);
  h.inbound_course = course;
  h.turn_side = side;
  AcceptEntry();
}

// Leg time (minutes, time_based 1) or leg distance (NM, 2): above 0.
void EnterLeg(model::HoldingPattern& h, double model::HoldingPattern::*field, std::int32_t time_based) {
  double value = 0.0;
  if (!ReadPlainNumber(Scratchpad(), value) || !(value > 0.0)) return RefuseEntry(kInvalidEntry);
  h.*field = value;
  h.time_based = time_based;
  AcceptEntry();
}

// EXIT HOLD: the hold goes with the next EXEC, which finds it by its
// waypoint in the flown route; the route being edited shows it no more.
void ExitHold(const model::HoldingPattern& h) {
  State& s = fms_state;
  s.FmsHoldWaypointIndex = h.active_index;
  const int pending_slot = h.pending_index > 0 ? h.pending_index : (h.pending_index == 0 ? h.active_index : 0);
  flightplan::DeleteHold(pending_slot, 2);
  OpenPage(kPageRteLegs);
  s.FmsHoldFixSelect = 0;
}

void ActOnKey(model::HoldingPattern& h) {
  const int key = LineSelectKey();
  if (key == kL6) {
    if (Route().RouteState == 4) return flightplan::ResetRouteData();
    if (HoldCount() < kHoldsOffered) {
      fms_state.FmsHoldFixSelect = 2;
      OpenPage(kPageRteLegs);
    }
    return;
  }
  if (key == kR6) {
    if (HoldCount() > 0 && HoldCount() < kHoldsOffered) ExitHold(h);
    return;
  }
  if (Scratchpad().empty()) return;
  if (key == kL3) return EnterCourseAndTurn(h);
  if (key == kL4) return EnterLeg(h, &model::HoldingPattern::leg_time, 1);
  if (key == kL5) return EnterLeg(h, &model::HoldingPattern::leg_length, 2);
}

std::string FixEta(const model::HoldingPattern& h, int sub_page) {
  const guidance::State& g = guidance::guidance_state;
  if (Route().ActiveWaypointIndex == model::kNoWaypoint || !(g.GroundSpeedKnots > kLeastEtaGroundSpeed) ||
      HoldCount() < sub_page) {
    return kNoEta;
  }
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, h.corners[0].latitude, h.corners[0].longitude,
                                   distance, course);
  const bool local = model::model_state.DispETALocalTime == 1;
  ArrivalTime eta;
  if (!ArrivalTimeAhead(distance, g.GroundSpeedKnots, local, eta)) return kNoEta;
  return ScreenText("%02d%02d.%1d%s", eta.hour, eta.minute, MinuteTenths(g.ClockSecond), local ? "L" : "Z");
}

void DrawHold(CduPage& page, const model::HoldingPattern& h, int sub_page) {
  page.Small(12, 22, "F I X                            S P D / T G T    A L T");
  page.Large(0, 33, HoldCount() < 1 ? std::string("- - -") : h.name);
  page.Large(135, 33, "- - - \xB0   / - - - - - -");
  page.Small(12, 55, "Q U A D / R A D I A L            F I X    E T A");
  page.Large(0, 66, kNoEta);
  page.Large(180, 66, FixEta(h, sub_page));
  page.Small(12, 88, "I N B D    C R S / D I R        E F C    T I M E");
  page.Large(0, 99, ScreenText(h.turn_side == 1 ? "%03.0f /  R  T U R N" : "%03.0f /  L  T U R N",
                               CourseShown(h.inbound_course)));
  page.Large(160, 99, "- - - -");
  page.Large(230, 99, "Z");
  page.Small(12, 121, "L E G  T I M E");
  page.Small(150, 121, "H O L D    A V A I L");
  page.Large(0, 133, h.time_based == 1 ? ScreenText("%1.1f   M I N", h.leg_time) : std::string("-.-   M I N"));
  page.Small(12, 155, "L E G    D I S T");
  page.Small(150, 155, "B E S T    S P E E D");
  page.Large(0, 166, h.time_based == 2 ? ScreenText("%2.1f - N M", h.leg_length) : std::string("--.-  - N M"));
  page.Large(190, 166, ScreenText("%3d", model::model_state.BestHoldIas));
  page.Large(230, 166, "K T");
  // 24 dashes, the screen's width: 34 ran far past its right edge.
  page.Large(0, 178, "- - - - - - - - - - - - - - - - - - - - - - - -");
}

void DrawPrompts(CduPage& page) {
  const std::int32_t state = Route().RouteState;
  if (state == 4) {
    page.Large(0, kPromptY, "< ERASE");
  } else {
    if (HoldCount() < kHoldsOffered) page.Large(0, kPromptY, "< NEXT HOLD");
    page.Large(150, kPromptY, "EXIT HOLD >");
  }
}

}  // namespace

void FmsPageRouteHold(display::GaugeDisplay& display, gfx::Graphics& g) {
  model::FmsSubPageTable& sub = model::model_state.FmsSubPageTable;
  CduPage page(display, g);
  // The count belongs to the hold editors; a sub-page they left past it
  // shows the last hold.
  sub.RteHoldSubPage = std::clamp(sub.RteHoldSubPage, 1, std::max(sub.RteHoldSubPageCount, 1));
  StepSubPage(sub.RteHoldSubPage, sub.RteHoldSubPageCount);

  page.ActModTitle(kActMod);
  page.Large(63, kTitleY, "RTE        HOLD");
  page.Small(220, 5, ScreenText("%d / %d", sub.RteHoldSubPage, sub.RteHoldSubPageCount));

  model::HoldingPattern& h = ShownHold(sub.RteHoldSubPage);
  ActOnKey(h);
  // EXIT HOLD or ERASE may have changed the table.
  DrawHold(page, ShownHold(sub.RteHoldSubPage), sub.RteHoldSubPage);
  DrawPrompts(page);
  page.ScratchpadLine();
}

}  // namespace ovi::fms
