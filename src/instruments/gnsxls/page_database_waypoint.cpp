// DATABASE WPT (page 8): the database place an entry resolved to, one
// candidate a sub-page, before ENT puts it into the route (or makes it the
// direct-to target, or the airport of a procedure page). Line key 10 picks
// the flyover choice, and, opened from DIRECT, then the turn direction;
// CLR steps the choice shown, ENT commits it.
#include <string>

#include "src/flightplan/entry_line.h"
#include "src/flightplan/procedure_splice.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/entry_state.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }

constexpr float kLabelX = 30.0f;
constexpr float kValueX = 300.0f;
constexpr float kIdentY = 80.0f;
constexpr float kTypeY = 120.0f;
constexpr float kPosLabelX = 100.0f;
constexpr float kPosX = 200.0f;
constexpr float kLatitudeY = 160.0f;
constexpr float kLongitudeY = 200.0f;
constexpr float kFreqY = 240.0f;
constexpr float kFlyoverY = 320.0f;
constexpr float kDirectionY = 360.0f;

// The type word of a candidate's kind; other kinds (a created crossing
// point) show none.
struct TypeWord {
  const char* kind;
  const char* word;
};
constexpr TypeWord kTypeWords[] = {{"APT", "APT"}, {"N", "NDB"}, {"V", "VOR"}, {"I", "INT"}, {"O", "OOCTA"}};

const char* TypeWordOf(std::string_view kind) {
  for (const TypeWord& t : kTypeWords)
    if (kind == t.kind) return t.word;
  return "";
}

bool FromDirect() { return S().GnsXlsReturnPage == kPageDirect; }

// Key 10: the flyover choice, then (from DIRECT) the direction, then none.
void LineKey10() {
  State& s = S();
  const std::int32_t state = LineState(10);
  flightplan::ResetGnsSelectionState();
  if (state == 0) {
    SetLineState(10, 1);
    s.NavigatorScratchpad = s.GnsWaypointEntryText;
  } else if (state == 1 && FromDirect()) {
    SetLineState(10, 2);
    s.NavigatorScratchpad = s.TurnDirectionText;
  }
}

}  // namespace

void DrawGnsxlsDatabaseWaypointPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey == 10) LineKey10();

  const navdb::EntryState& e = navdb::entry_state;
  page.Text(75, kTitleY, kWhite,
            ScreenText("DATABASE WPT %d/%d", s.GnsDatabaseWaypointPage, e.WaypointCandidateCount));
  page.Text(kLabelX, kIdentY, kGreen, "WAYPOINT");
  page.Text(kPosLabelX, kLatitudeY, kGreen, "POS");
  const int n = s.SelectedCandidateIndex;
  if (n < 1 || n > e.WaypointCandidateCount) return;
  const model::NavDbRecord& c = e.WaypointCandidateList[n];
  page.Text(kValueX, kIdentY, kGreen, c.ident.view());
  page.Text(kValueX, kTypeY, kGreen, TypeWordOf(c.kind.view()));
  page.Text(kPosX, kLatitudeY, kGreen, GnsLatitudeText(c.latitude));
  page.Text(kPosX, kLongitudeY, kGreen, GnsLongitudeText(c.longitude, LongitudePad::kZero));
  // An airport has no frequency and is never flown over or turned to.
  if (c.kind == "APT") return;
  page.Text(kLabelX, kFreqY, kGreen, "FREQ");
  page.Text(kValueX, kFreqY, kGreen, c.frequency_text.view());
  page.ChoiceLine(kFlyoverY, kGreen, "FLYOVER:", LineState(10) == 1, s.GnsWaypointEntryText);
  if (!FromDirect()) return;
  page.ChoiceLine(kDirectionY, kWhite, "DIRECTION:", LineState(10) == 2, s.TurnDirectionText);
}

}  // namespace ovi::gnsxls
