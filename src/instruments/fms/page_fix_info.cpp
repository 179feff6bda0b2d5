// FIX INFO (page 37): two reference fixes, one per sub-page, each with up to
// three radial/distance points; where the aircraft stands from the fix, and
// the time and distance to each point. The navigation displays draw them.
#include <cctype>
#include <string>
#include <string_view>

#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/arrival_time.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/waypoint_entry.h"

namespace ovi::fms {

namespace {

constexpr std::size_t kLongestRowEntry = 12;
constexpr double kLongestDistance = 999.0;  // NM, not itself accepted
constexpr double kEtaGroundSpeed = 75.0;    // kt: times and distances from above it
constexpr float kRowY[3] = {66.0f, 99.0f, 133.0f};

std::int32_t& SubPage() { return model::model_state.FmsSubPageTable.FixInfoSubPage; }
std::int32_t SubPageCount() { return model::model_state.FmsSubPageTable.FixInfoSubPageCount; }

model::FixInfoRecord* CurrentFix() { return flightplan::flightplan_state.FixInfoTable.At(SubPage()); }

void ClearMessage() { model::model_state.PanelMessage.clear(); }

// L1: a new fix from the database (the first candidate, no list to choose
// from), or DELETE empties this one.
void EnterFix() {
  if (DeleteArmed()) {
    flightplan::ClearFixInfoEntries(SubPage());
    ClearMessage();
    return;
  }
  if (Scratchpad().empty()) return;
  model::FixInfoRecord* fix = CurrentFix();
  if (fix == nullptr) return;
  navdb::EntryState& e = navdb::entry_state;
  e.WaypointEntryText = Scratchpad();
  navdb::ResolveWaypointEntry(navdb::kAllTables);
  const model::NavDbRecord* found = e.WaypointCandidateCount >= 1 ? e.WaypointCandidateList.At(1) : nullptr;
  if (found == nullptr) {
    RefuseEntry(kNotInDatabase);
    return;
  }
  fix->ident = std::string(found->ident);
  fix->latitude = found->latitude;
  fix->longitude = found->longitude;
  fix->kind = std::string(found->kind);
  // A place/bearing/distance entry names its place; the fix is the point
  // that far out on that (magnetic) bearing, as the crossing form's point is
  // a computed waypoint named after its first place.
  if (e.PlaceBearingEntry[0] >= 0.0 && e.WaypointEntryExtra > 0) {
    navdb::ProjectPosition(found->latitude, found->longitude,
                           e.PlaceBearingEntry[0] + guidance::guidance_state.MagneticVariation,
                           e.WaypointEntryExtra, fix->latitude, fix->longitude);
    fix->kind = "WPT";
  }
  for (model::FixInfoRecord::RadialDistance& row : fix->rows) row = {};
  AcceptEntry();
}

// The tokens of a row entry: slashes count as blanks, at most two tokens.
struct RowTokens {
  std::string_view token[2];
  int count = 0;
};

RowTokens Tokenize(std::string_view text) {
  RowTokens t;
  std::size_t i = 0;
  auto separator = [](char c) { return c == '/' || c == ' '; };
  while (t.count < 2) {
    while (i < text.size() && separator(text[i])) ++i;
    if (i >= text.size()) break;
    const std::size_t start = i;
    while (i < text.size() && !separator(text[i])) ++i;
    t.token[t.count++] = text.substr(start, i - start);
  }
  return t;
}

// A radial is three digits, 000 to 360.
bool ReadRadial(std::string_view token, double& radial) {
  if (token.size() != 3) return false;
  for (char c : token)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  radial = (token[0] - '0') * 100 + (token[1] - '0') * 10 + (token[2] - '0');
  return radial <= 360.0;
}

// A distance is digits with at most one decimal point; a missing one is 0.
bool ReadDistance(std::string_view token, double& distance) {
  distance = 0.0;
  return token.empty() || ReadPlainNumber(token, distance);
}

// L2-L4: "090" sets the radial, "/25" the distance, "090/25" both; DELETE
// empties the row. Nothing without a fix.
void EnterRow(int row) {
  model::FixInfoRecord* fix = CurrentFix();
  if (fix == nullptr || fix->ident.empty()) return;
  model::FixInfoRecord::RadialDistance& values = fix->rows[row];
  if (DeleteArmed()) {
    values = {};
    ClearMessage();
    return;
  }
  const std::string_view text = Scratchpad();
  if (text.empty()) return;
  if (text.size() > kLongestRowEntry) {
    RefuseEntry(kInvalidEntry);
    return;
  }
  const std::size_t slash = text.find('/');
  const bool radial_only = slash == std::string_view::npos;
  const bool distance_only = slash == 0;
  const RowTokens t = Tokenize(text);
  double radial = 0.0, distance = 0.0;
  bool valid;
  if (distance_only) {
    valid = ReadDistance(t.token[0], distance);
  } else {
    valid = ReadRadial(t.token[0], radial) && (radial_only || ReadDistance(t.token[1], distance));
  }
  if (!radial_only) valid = valid && distance > 0.0 && distance < kLongestDistance;
  if (!valid) {
    RefuseEntry(kInvalidEntry);
    return;
  }
  if (!distance_only) values.radial = radial == 0.0 ? 360.0 : radial;
  if (!radial_only) values.distance = distance;
  AcceptEntry();
}

constexpr KeyAction kKeys[] = {
    {kL1, EnterFix},
    {kL2, [] { EnterRow(0); }},
    {kL3, [] { EnterRow(1); }},
    {kL4, [] { EnterRow(2); }},
};

// Radial and distance of the aircraft from the fix.
void DrawFixLine(CduPage& page, const model::FixInfoRecord& fix) {
  const guidance::State& s = guidance::guidance_state;
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(s.PlaneLatitude, s.PlaneLongitude, fix.latitude, fix.longitude, distance, course);
  double radial = course - s.MagneticVariation;
  if (radial < 0.0) radial += 360.0;
  radial += 180.0;
  if (radial >= 360.0) radial -= 360.0;
  if (radial == 0.0) radial = 360.0;
  page.Large(5, 33, ScreenText("%s", fix.ident.c_str()));
  page.Large(70, 33, ScreenText("%03.0f/%5.1f", radial, distance));
}

void DrawRow(CduPage& page, const model::FixInfoRecord& fix, int row) {
  const guidance::State& s = guidance::guidance_state;
  const model::FixInfoRecord::RadialDistance& values = fix.rows[row];
  const float y = kRowY[row];
  page.Large(5, y, values.radial != 0.0 ? ScreenText("%03.0f", values.radial) : std::string("---"));
  page.Large(70, y, values.distance != 0.0 ? ScreenText("%.1f", values.distance) : std::string("---"));
  if (!(s.GroundSpeedKnots > kEtaGroundSpeed) || !(values.radial > 0.0) || !(values.distance > 0.0)) return;
  double lat = 0.0, lon = 0.0, to_go = 0.0, course = 0.0;
  navdb::ProjectPosition(fix.latitude, fix.longitude, values.radial + s.MagneticVariation, values.distance, lat, lon);
  navdb::ComputeDistanceAndBearing(lat, lon, s.PlaneLatitude, s.PlaneLongitude, to_go, course);
  ArrivalTime eta;
  if (ArrivalTimeAhead(to_go, s.GroundSpeedKnots, false, eta)) page.Large(145, y, ScreenText("%02d%02dZ", eta.hour, eta.minute));
  page.Large(230, y, ScreenText("%3.1f", to_go));
}

}  // namespace

void FmsPageFixInfo(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  page.Large(63, kTitleY, "FIX INFO");
  // This page's PREV PAGE steps forward and NEXT PAGE back; with two fixes
  // either shows the other one.
  StepSubPage(SubPage(), SubPageCount(), PrevPageStep::kForward);
  page.Small(230, 0, ScreenText("%d / %d", SubPage(), SubPageCount()));
  page.Small(12, 22, "F I X         R A D / D I S   F R");
  RunKeyAction(kKeys);
  page.Small(5, 55, "R A D /    D I S    E T A          D T G     A L T");

  const model::FixInfoRecord* fix = CurrentFix();
  if (fix == nullptr || fix->ident.empty()) {
    page.EntryBoxes(5, 38, 5);
  } else {
    DrawFixLine(page, *fix);
    for (int row = 0; row < 3; ++row) DrawRow(page, *fix, row);
  }
  page.ScratchpadLine();
}

}  // namespace ovi::fms
