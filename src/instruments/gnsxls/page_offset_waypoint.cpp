// OFFSET WPT (page 21): a waypoint at a bearing and distance from a
// database place. Line key 8 opens the bearing, then the distance; digits
// fill the open field from the right over its point, CLR takes the last one
// back; ENT commits each field (enter_route.cpp), and in the frame after
// that ENT the page works out the position it shows.
#include <algorithm>
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/procedure_splice.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/field_typing.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/offset_position.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }

constexpr float kLabelX = 30.0f;
constexpr float kValueX = 300.0f;
constexpr float kIdentY = 80.0f;
constexpr float kFromX = 100.0f;
constexpr float kFromY = 120.0f;
constexpr float kBearingX = 360.0f;
constexpr float kBearingY = 160.0f;
constexpr float kDistanceX = 340.0f;
constexpr float kDistanceY = 200.0f;
constexpr float kPosLabelX = 100.0f;
constexpr float kPosX = 180.0f;
constexpr float kLatitudeY = 240.0f;
constexpr float kLongitudeY = 280.0f;
constexpr float kPromptY = 320.0f;
constexpr float kFlyoverY = 360.0f;

// The field line 8's state opens: 1 the bearing, 2 the distance. The typed
// copy is the one named Edit for the bearing but Text for the distance.
struct Field {
  std::string State::*typed;
  std::string State::*shown;
  const char* empty;
  const char* blank;  // the template a first digit starts
  std::span<const int> digits;
};
const Field kBearing = {&State::GnsOffsetBearingEdit, &State::GnsOffsetBearingText, kNoBearing, "   . ",
                        kBearingDigits};
const Field kDistance = {&State::GnsOffsetDistanceText, &State::GnsOffsetDistanceEdit, kNoDistance, "    . ",
                         kDistanceDigits};

const Field* OpenField() {
  switch (LineState(8)) {
    case 1:
      return &kBearing;
    case 2:
      return &kDistance;
    default:
      return nullptr;
  }
}

void LineKey(int key) {
  State& s = S();
  const std::int32_t state = LineState(key);
  flightplan::ResetGnsSelectionState();
  if (key == 10) {
    if (state == 0) {
      SetLineState(10, 1);
      s.NavigatorScratchpad = s.GnsWaypointEntryText;
    }
    return;
  }
  s.NavigatorScratchpad.clear();
  const std::int32_t next = state == 0 ? 1 : state == 1 ? 2 : 0;
  SetLineState(8, next);
  if (next == 0) {
    s.GnsXlsEntryActive = 0;
    return;
  }
  // The field opens on the value shown.
  const Field& f = next == 1 ? kBearing : kDistance;
  s.*f.typed = s.*f.shown;
  s.GnsXlsEntryActive = 1;
  s.GnsOffsetFirstDigit = 1;
}

// Digits only: the first one after the field was opened (or into an empty
// field) starts it afresh, later ones shift in over the point.
void Type(const Field& f, char c) {
  State& s = S();
  if (c < '0' || c > '9') return;
  std::string& field = s.*f.typed;
  if (s.GnsOffsetFirstDigit == 1 || field == f.empty) {
    field = f.blank;
    s.GnsOffsetFirstDigit = 0;
  }
  ShiftDigitIn(field, f.digits, c);
}

void Clear(const Field& f) {
  std::string& field = S().*f.typed;
  if (field != f.empty) ShiftDigitOut(field, f.digits);
}

void DrawField(GnsPage& page, float x, float y, const Field& f, bool open) {
  const State& s = S();
  if (open) {
    page.OnBlock(x, y, s.*f.typed);
  } else {
    page.Text(x, y, kGreen, s.*f.shown);
  }
}

}  // namespace

void DrawGnsxlsOffsetWaypointPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey == 8 || s.GnsXlsLineSelectKey == 10) LineKey(s.GnsXlsLineSelectKey);
  if (const Field* f = OpenField(); f != nullptr && LineState(10) == 0) {
    if (s.GnsXlsClearPressed == 1) Clear(*f);
    char c = 0;
    if (NextTypedCharacter(c)) Type(*f, c);
  }
  // ENT acts at once but its outcome is drawn a frame later: the position
  // follows the fields ENT has just committed.
  if (s.GnsXlsEnterPressed == 1 && s.GnsOffsetBearingText != kNoBearing && s.GnsOffsetDistanceText != kNoDistance)
    ComputeOffsetPosition();

  page.Text(75, kTitleY, kWhite,
            ScreenText("OFFSET WPT    %d/%d", s.GnsOffsetCandidateIndex, navdb::entry_state.WaypointCandidateCount));
  page.Text(kLabelX, kIdentY, kGreen, "WAYPOINT");
  page.Text(kValueX, kIdentY, kGreen, s.GnsOffsetCandidateIdent + "*");
  if (const model::NavDbRecord* ref = OffsetReference()) {
    const guidance::State& gs = guidance::guidance_state;
    double distance = 0.0, course = 0.0;
    navdb::ComputeDistanceAndBearing(gs.PlaneLatitude, gs.PlaneLongitude, ref->latitude, ref->longitude, distance,
                                     course);
    page.Text(kFromX, kFromY, kGreen,
              ScreenText("(BRG %03.0f/DIS %-5.0f)", GnsMagneticBearing(course), std::min(distance, 99999.0)));
  }
  page.Text(kLabelX, kBearingY, kGreen, "RAD");
  DrawField(page, kBearingX, kBearingY, kBearing, LineState(8) == 1);
  page.Text(kLabelX, kDistanceY, kGreen, "DIS");
  DrawField(page, kDistanceX, kDistanceY, kDistance, LineState(8) == 2);
  page.Text(kPosLabelX, kLatitudeY, kGreen, "POS");
  page.Text(kPosX, kLatitudeY, kGreen, s.GnsOffsetWaypointText);
  page.Text(kPosX, kLongitudeY, kGreen, s.GnsOffsetWaypointText2);
  if (s.GnsOffsetBearingText != kNoBearing && s.GnsOffsetDistanceText != kNoDistance && LineState(8) == 0)
    page.Text(kLabelX, kPromptY, kWhite, "OK? ENTER");
  page.ChoiceLine(kFlyoverY, kWhite, "FLYOVER:", LineState(10) == 1, s.GnsWaypointEntryText);
}

}  // namespace ovi::gnsxls
