// PILOT ENTERED WPT (page 20): a new waypoint typed as latitude and
// longitude. Line key 8 opens the entry (and, pressed again, ends it and
// empties both fields); a hemisphere letter opens its empty field, digits
// then fill it from the right over its fixed places; CLR takes the last
// digit back. ENT converts a complete field, and with both in, inserts the
// waypoint (enter_route.cpp). A digit that would complete a field as no
// position is refused, and so is ENT on a typed field that is none: the
// page says "INVALID POSITION" and the field stays as it was.
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/procedure_splice.h"
#include "src/instruments/gnsxls/field_typing.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }

constexpr const char* kEmptyField = "----------";
constexpr float kLabelX = 30.0f;
constexpr float kValueX = 300.0f;
constexpr float kNameY = 80.0f;
constexpr float kPosLabelX = 90.0f;
constexpr float kPosLabelY = 180.0f;
constexpr float kFieldX = 200.0f;
constexpr float kLatitudeY = 176.0f;
constexpr float kLongitudeY = 206.0f;
constexpr int kFieldCells = 10;
// The typing mark under the first character of the field being typed.
constexpr float kMarkX1 = 208.0f;
constexpr float kMarkX2 = 228.0f;
constexpr float kMarkWidth = 3.0f;
constexpr float kMarkBelow = 30.0f;
constexpr float kFlyoverY = 320.0f;
// Below the typing mark of the longitude, above FLYOVER.
constexpr float kRefusedY = 260.0f;

// The two fields: which step types each, the letters that open it and its
// digit places.
struct Field {
  std::string State::*text;
  bool State::*entered;
  std::int32_t step;
  char letters[2];
  std::span<const int> digits;
  PositionField kind;
};
const Field kFields[] = {
    {&State::GnsPilotWaypointText2, &State::GnsPilotLatitudeEntered, 1, {'N', 'S'}, kLatitudeDigits,
     kLatitudeField},
    {&State::GnsPilotWaypointText, &State::GnsPilotLongitudeEntered, 2, {'E', 'W'}, kLongitudeDigits,
     kLongitudeField},
};

const Field* FieldOfStep(std::int32_t step) {
  for (const Field& f : kFields)
    if (f.step == step) return &f;
  return nullptr;
}

// Ends the entry: both fields empty, nothing converted.
void EndEntry() {
  State& s = S();
  s.GnsPilotWaypointText2 = kEmptyField;
  s.GnsPilotWaypointText = kEmptyField;
  s.GnsXlsEntryActive = 0;
  s.GnsPilotWaypointStep = 0;
  s.NavigatorScratchpad.clear();
  s.GnsPilotLatitudeEntered = false;
  s.GnsPilotLongitudeEntered = false;
  s.GnsPilotLatitude = 0.0;
  s.GnsPilotLongitude = 0.0;
  s.GnsPilotPositionRefused = false;
}

void LineKey(int key) {
  State& s = S();
  const std::int32_t state = LineState(key);
  s.GnsPilotPositionRefused = false;
  flightplan::ResetGnsSelectionState();
  if (key == 8) {
    if (state == 0) {
      SetLineState(8, 1);
      s.GnsXlsEntryActive = 1;
      s.ScratchpadClearPending = 1;
    } else {
      EndEntry();
    }
  } else if (key == 10 && state == 0) {
    SetLineState(10, 1);
    s.NavigatorScratchpad = s.GnsWaypointEntryText;
  }
}

// A hemisphere letter opens its own field when that is empty (either field
// may come first; a letter never restarts a field being typed); digits go
// into the field of the step while its first digit place is free, and the
// digit that fills that place only when the field then reads as a position
// (N 95 is none: refused and said). Anything else is dropped.
void Type(char c) {
  State& s = S();
  for (const Field& f : kFields) {
    if ((c == f.letters[0] || c == f.letters[1]) && s.*f.text == kEmptyField) {
      std::string field(static_cast<std::size_t>(kFieldCells), ' ');
      field[0] = c;
      field[7] = '.';
      s.*f.text = field;
      s.GnsPilotWaypointStep = f.step;
      s.GnsPilotPositionRefused = false;
      return;
    }
  }
  const Field* f = FieldOfStep(s.GnsPilotWaypointStep);
  if (f == nullptr || c < '0' || c > '9' || s.*f->text == kEmptyField) return;
  std::string& field = s.*f->text;
  if (field[static_cast<std::size_t>(f->digits.front())] != ' ') return;
  std::string typed = field;
  ShiftDigitIn(typed, f->digits, c);
  double value = 0.0;
  s.GnsPilotPositionRefused = PositionFieldComplete(typed, f->kind) && !PositionFieldDegrees(typed, f->kind, value);
  if (!s.GnsPilotPositionRefused) field = typed;
}

// CLR: the field being typed loses its last digit, and its value is no
// longer entered.
void Clear() {
  State& s = S();
  const Field* f = FieldOfStep(s.GnsPilotWaypointStep);
  if (f == nullptr || s.*f->text == kEmptyField) return;
  ShiftDigitOut(s.*f->text, f->digits);
  s.*f->entered = false;
  s.GnsPilotPositionRefused = false;
}

void DrawField(GnsPage& page, float y, const std::string& text, bool open) {
  if (open) {
    page.OnBlock(kFieldX, y, text, kFieldCells);
  } else {
    page.Text(kFieldX, y, kGreen, text);
  }
}

}  // namespace

void DrawGnsxlsPilotWaypointPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey == 8 || s.GnsXlsLineSelectKey == 10) LineKey(s.GnsXlsLineSelectKey);
  // The flyover choice has the entry line while line 10 is chosen.
  if (LineState(10) == 0 && LineState(8) == 1) {
    if (s.GnsXlsClearPressed == 1) Clear();
    char c = 0;
    if (NextTypedCharacter(c)) Type(c);
  }

  const bool open = LineState(8) == 1;
  page.Text(75, kTitleY, kWhite, "PILOT ENTERED WPT");
  page.Text(kLabelX, kNameY, kGreen, "WAYPOINT");
  page.Text(kValueX, kNameY, kGreen, s.GnsPilotWaypointName);
  page.Text(kPosLabelX, kPosLabelY, kGreen, "POS");
  DrawField(page, kLatitudeY, s.GnsPilotWaypointText2, open);
  DrawField(page, kLongitudeY, s.GnsPilotWaypointText, open);
  if (open && s.GnsPilotWaypointStep >= 1 && s.GnsPilotWaypointStep <= 2) {
    const float y = (s.GnsPilotWaypointStep == 1 ? kLatitudeY : kLongitudeY) + kMarkBelow;
    page.Line(kMarkX1, y, kMarkX2, y, kMagenta, kMarkWidth);
  }
  if (s.GnsPilotPositionRefused) page.Text(kLabelX, kRefusedY, kYellow, "INVALID POSITION");
  page.ChoiceLine(kFlyoverY, kWhite, "FLYOVER:", LineState(10) == 1, s.GnsWaypointEntryText);
}

}  // namespace ovi::gnsxls
