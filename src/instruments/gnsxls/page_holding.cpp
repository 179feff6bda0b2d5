// HOLDING PATTERN (page 18): hold 1 as the HOLD key attached it, and the
// editors of its inbound course, turn, leg time, leg distance and exit
// mode. The page never writes the hold: ENT stores the field being edited
// (enter_key.cpp). Each frame acts on the line key, then on the word or
// CLR typed, then draws.
//
// Typing reaches the page through the entry line: line keys 7 and 9 open
// it on their text fields (nothing else would), the page takes one typed
// word a frame out of it and drops all but a single digit.
#include <string>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/field_typing.h"
#include "src/instruments/gnsxls/hold_typing.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }

constexpr float kLabelX = 30.0f;
constexpr float kValueX = 360.0f;
// The parentheses of the leg that does not govern stand one or two cells
// left, so that the number stays in place.
constexpr float kLegTimeParenX = 350.0f;
constexpr float kLegDistanceParenX = 340.0f;
constexpr float kCourseY = 120.0f, kTurnY = 200.0f, kTimeY = 240.0f, kDistanceY = 280.0f, kExitY = 320.0f;

const model::HoldingPattern& Hold() { return flightplan::flightplan_state.HoldTable[1]; }

// A hold exists at an entry the plan still has.
bool HoldShown() {
  const int i = Hold().active_index;
  return i >= 1 && i <= flightplan::flightplan_state.ActiveFlightPlanLastIndex;
}

void OpenTextField(int line, int state, std::string& field, const std::string& value) {
  State& s = S();
  flightplan::ResetGnsSelectionState();
  SetLineState(line, state);
  field = value;
  s.NavigatorScratchpad.clear();
  s.ScratchpadClearPending = 0;
  s.GnsXlsEntryActive = 1;
  s.GnsHoldEntryFresh = 1;
}

void LineKey(int key) {
  State& s = S();
  const model::HoldingPattern& hold = Hold();
  const std::int32_t before = LineState(key);
  switch (key) {
    case 7:
      if (before == 0) {
        OpenTextField(7, 1, s.GnsHoldCourseEntry, ScreenText("%03.0f", hold.inbound_course));
      } else {
        flightplan::ResetGnsSelectionState();
      }
      break;
    case 8:
      if (before == 0) {
        flightplan::ResetGnsSelectionState();
        SetLineState(8, 1);
        s.GnsHoldTurnChoice = hold.turn_side;
      } else {
        SetLineState(8, 0);
      }
      break;
    case 9:
      if (before == 0) {
        OpenTextField(9, 1, s.GnsHoldLegTimeEntry, ScreenText("%1.1f", hold.leg_time));
      } else if (before == 1) {
        OpenTextField(9, 2, s.GnsHoldLegDistanceEntry, ScreenText("%2.1f", hold.leg_length));
      } else {
        SetLineState(9, 0);
      }
      break;
    case 10:
      if (before == 0) {
        flightplan::ResetGnsSelectionState();
        SetLineState(10, 1);
        s.GnsHoldExitModeChoice = guidance::guidance_state.HoldState;
      } else {
        SetLineState(10, 0);
      }
      break;
    default:
      break;
  }
}

// The text field being typed, if any.
std::string* EditedField(HoldField& kind) {
  State& s = S();
  if (LineState(7) == 1) {
    kind = HoldField::kCourse;
    return &s.GnsHoldCourseEntry;
  }
  if (LineState(9) == 1) {
    kind = HoldField::kLegTime;
    return &s.GnsHoldLegTimeEntry;
  }
  if (LineState(9) == 2) {
    kind = HoldField::kLegDistance;
    return &s.GnsHoldLegDistanceEntry;
  }
  return nullptr;
}

void TakeTyping() {
  State& s = S();
  HoldField kind = HoldField::kCourse;
  std::string* field = EditedField(kind);
  // The entry line is this page's while it is shown: closed with no field open.
  if (field == nullptr) s.GnsXlsEntryActive = 0;
  const bool clear = s.GnsXlsClearPressed == 1;
  if (s.NavigatorScratchpad.empty() && !clear) return;
  char digit = 0;
  const bool typed = TakeTypedDigit(s.NavigatorScratchpad, digit);
  if (field == nullptr || (!typed && !clear)) return;
  if (s.GnsHoldEntryFresh == 1) {
    *field = HoldFieldTemplate(kind);
    s.GnsHoldEntryFresh = 0;
  }
  if (typed) {
    HoldFieldDigit(*field, kind, digit);
  } else {
    HoldFieldClear(*field, kind);
  }
}

void DrawField(GnsPage& page, float y, int cells, const std::string& text) { page.OnBlock(kValueX, y, text, cells); }

}  // namespace

void DrawGnsxlsHoldingPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey >= 7 && s.GnsXlsLineSelectKey <= 10) LineKey(s.GnsXlsLineSelectKey);
  TakeTyping();

  const model::HoldingPattern& hold = Hold();
  const bool shown = HoldShown();
  const std::int32_t hold_state = guidance::guidance_state.HoldState;
  page.Text(90, kTitleY, kWhite, "HOLDING PATTERN 1/1");
  page.Text(kLabelX, 40, kGreen,
            shown ? ScreenText("AT %s", flightplan::flightplan_state.ActiveFlightPlan[hold.active_index].ident.c_str())
                  : "AT ---");
  if (shown) page.Text(150, 80, kGreen, "DIRECT ENTRY");

  page.Text(kLabelX, kCourseY, kGreen, "INBOUND CRS");
  if (LineState(7) == 1) {
    DrawField(page, kCourseY, 3, s.GnsHoldCourseEntry);
  } else {
    page.Text(kValueX, kCourseY, kGreen, ScreenText("%03.0f", hold.inbound_course));
  }

  page.Text(kLabelX, kTurnY, kGreen, "TURN DIR");
  if (LineState(8) == 1) {
    DrawField(page, kTurnY, 5, s.GnsHoldTurnChoice == 2 ? "LEFT" : "RIGHT");
  } else {
    page.Text(kValueX, kTurnY, kGreen, hold.turn_side == 1 ? "RIGHT" : hold.turn_side == 2 ? "LEFT" : "");
  }

  page.Text(kLabelX, kTimeY, kBlue, "LEG TIME");
  if (LineState(9) == 1) {
    DrawField(page, kTimeY, 3, s.GnsHoldLegTimeEntry);
  } else if (!shown) {
    page.Text(kValueX, kTimeY, kBlue, "----");
  } else if (hold.time_based == 1) {
    page.Text(kValueX, kTimeY, kBlue, ScreenText("%-1.1f", hold.leg_time));
  } else {
    page.Text(kLegTimeParenX, kTimeY, kBlue, ScreenText("(%-1.1f)", hold.leg_time));
  }

  page.Text(kLabelX, kDistanceY, kGreen, "LEG DIST");
  if (LineState(9) == 2) {
    DrawField(page, kDistanceY, 4, s.GnsHoldLegDistanceEntry);
  } else if (!shown) {
    page.Text(kValueX, kDistanceY, kGreen, "----");
  } else if (s.GnsHoldLegMode == 2) {
    page.Text(kValueX, kDistanceY, kGreen, ScreenText("%-2.1f", hold.leg_length));
  } else {
    page.Text(kLegDistanceParenX, kDistanceY, kGreen, ScreenText("(%-2.1f)", hold.leg_length));
  }

  page.Text(kLabelX, kExitY, kGreen, "EXIT MODE");
  if (LineState(10) == 1) {
    const std::int32_t c = s.GnsHoldExitModeChoice;
    DrawField(page, kExitY, 6, c == 1 ? "MANUAL" : c == 2 ? "AUTO" : "");
  } else {
    page.Text(kValueX, kExitY, kGreen, hold_state == 1 ? "MANUAL" : "AUTO");
  }
}

}  // namespace ovi::gnsxls
