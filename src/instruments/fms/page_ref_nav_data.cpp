// REF NAV DATA (page 28): an ident typed on the key of its kind (waypoint,
// navaid, airport) is looked up and shown: the waypoint's radial and
// distance from the aircraft, the navaid's frequency, the airport's runway
// and elevation; below, the aircraft's own position.
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

#include "src/guidance/state.h"
#include "src/instruments/fms/airport_names.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/select_waypoint.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/waypoint_entry.h"

namespace ovi::fms {

namespace {

constexpr std::int32_t kPrompts = 1;
constexpr std::int32_t kIntersection = 2;
constexpr std::int32_t kNavaid = 3;
constexpr std::int32_t kAirport = 4;
constexpr double kMetresPerFoot = 0.3048;

std::int32_t& Kind() { return model::model_state.FmsSubPageTable.RefNavDataKind; }

// Looks the scratchpad up in one table. One candidate of the kind the key
// asks for is shown; one of another kind is refused, and its text goes (the
// pilot types again on the right key); several go to SELECT WAYPOINT, which
// brings the choice back here. Not found: the text stays to be corrected.
void EnterIdent(navdb::WaypointFilter filter, std::initializer_list<std::string_view> kinds) {
  if (Scratchpad().empty()) return;
  navdb::EntryState& e = navdb::entry_state;
  e.WaypointEntryText = Scratchpad();
  navdb::ResolveWaypointEntry(filter);
  if (e.WaypointCandidateCount < 1) {
    RefuseEntry(kNotInDatabase);
    return;
  }
  if (e.WaypointCandidateCount == 1) {
    bool expected = false;
    for (std::string_view kind : kinds) expected = expected || std::string_view(e.WaypointCandidateList[1].kind) == kind;
    if (expected) {
      TakeWaypointCandidate(1);
    } else {
      model::model_state.PanelMessage = kNotInDatabase;
    }
  } else {
    OpenSelectWaypoint(0, kPageRefNavData);
  }
  AcceptEntry();
}

void EnterWaypoint() { EnterIdent(navdb::kIntersectionsOnly, {"I"}); }
void EnterNavaid() { EnterIdent(navdb::kNavaidsOnly, {"V", "N"}); }
void EnterAirport() { EnterIdent(navdb::kAirportsOnly, {"APT"}); }

// The airport's name enables the elevation in metres; it is not drawn.
void LookUpName() {
  if (Scratchpad().empty()) return;
  LookupAirportName(fms_state.ResolvedWaypointIdent, Scratchpad());
}

void BackToPrompts() {
  Kind() = kPrompts;
  OpenPage(kPageStoredFlightPlans);
}

constexpr KeyAction kPromptKeys[] = {
    {kL1, EnterWaypoint},
    {kR1, EnterNavaid},
    {kL2, EnterAirport},
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
    {kR6,
     [] {
       OpenPage(kPageNavStatus);
       model::model_state.FmsSubPageTable.NavStatusSubPage = 2;
     }},
};
constexpr KeyAction kIntersectionKeys[] = {
    {kL1, EnterWaypoint},
    {kL6, BackToPrompts},
};
constexpr KeyAction kNavaidKeys[] = {
    {kR1, EnterNavaid},
    {kL6, BackToPrompts},
};
constexpr KeyAction kAirportKeys[] = {
    {kL2, EnterAirport},
    {kL1, LookUpName},
    {kL6, BackToPrompts},
};

void RunKindKeys() {
  switch (Kind()) {
    case kPrompts: RunKeyAction(kPromptKeys); break;
    case kIntersection: RunKeyAction(kIntersectionKeys); break;
    case kNavaid: RunKeyAction(kNavaidKeys); break;
    case kAirport: RunKeyAction(kAirportKeys); break;
    default: break;
  }
}

std::string Ident() { return ScreenText("%.5s", fms_state.ResolvedWaypointIdent.c_str()); }

void DrawPrompts(CduPage& page) {
  page.Small(12, 22, "W P T    I D E N T        N A V A I D    I D E N T");
  page.Large(0, 33, "- - - - -");
  page.Small(12, 60, "A I R P O R T    I D E N T");
  page.Large(12, 71, "- - - - -");
  page.Large(120, kPromptY, "NAV    OPTIONS>");
}

void DrawIntersection(CduPage& page) {
  const guidance::State& g = guidance::guidance_state;
  const State& s = fms_state;
  page.Small(12, 22, "W P T    I D E N T");
  page.Large(0, 33, Ident());
  page.Small(12, 122, "M A G    V A R");
  // No variation of its own is kept for a point.
  page.Large(0, 133, "- - -");
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, s.RefNavDataLat, s.RefNavDataLon, distance,
                                   course);
  page.Small(140, 155, "R A D I A L / D I S T");
  // Turned magnetic, a course can leave 0..360; shown as RTE LEGS shows it.
  page.Large(165, 166, ScreenText("%03.0f\xB0/%3.0f", CourseShown(course - g.MagneticVariation), distance));
}

void DrawNavaid(CduPage& page) {
  page.Small(150, 22, "N A V A I D    I D E N T");
  page.Large(220, 33, Ident());
  page.Small(12, 122, "F R E Q");
  page.Large(0, 133, ScreenText("%6.6s", fms_state.SelectedWaypointFreqText.c_str()));
  page.Small(12, 155, "M A G    V A R");
  page.Large(0, 166, "- - -");
}

// The runway has the first row of its own: on the AIRPORT IDENT row the
// two drew over each other. Both elevation lines read the
// airport's elevation text.
void DrawAirport(CduPage& page) {
  const State& s = fms_state;
  page.Small(12, 22, "R U N W A Y");
  page.Large(0, 33, s.SelectedWaypointName.empty() ? std::string("- - - ")
                                                   : ScreenText("%.10s", s.SelectedWaypointName.c_str()));
  page.Small(12, 60, "A I R P O R T    I D E N T");
  page.Large(0, 71, Ident());
  const std::string elevation = ScreenText("%.6s", s.SelectedWaypointAptText.c_str());
  page.Small(150, 133, "E L E V A T I O N");
  // Under its label: at x 0 it stood on MAG VAR's label 11 below.
  page.Large(150, 144, ScreenText("%s FT", elevation.c_str()));
  page.Small(12, 155, "M A G    V A R");
  page.Large(0, 166, "- - -");
  if (!s.SelectedAirportLongName.empty()) {
    const int metres = static_cast<int>(std::atoi(elevation.c_str()) * kMetresPerFoot);
    page.Large(150, 166, ScreenText("%sFT %-5dM", elevation.c_str(), metres));
  }
}

// Where the point shown lies (the aircraft's own position would tell the
// pilot nothing about the point).
void DrawPosition(CduPage& page) {
  const State& s = fms_state;
  page.Small(12, 88, "L A T I T U D E");
  page.Small(150, 88, "L O N G I T U D E");
  page.Large(0, 99, LatitudeScreenText(s.RefNavDataLat));
  page.Large(145, 99, LongitudeScreenText(s.RefNavDataLon));
}

}  // namespace

void FmsPageRefNavData(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  page.Large(63, kTitleY, "REF  NAV  DATA");
  RunKindKeys();
  switch (Kind()) {
    case kPrompts: DrawPrompts(page); break;
    case kIntersection: DrawIntersection(page); break;
    case kNavaid: DrawNavaid(page); break;
    case kAirport: DrawAirport(page); break;
    default: break;
  }
  if (Kind() >= kIntersection && Kind() <= kAirport) DrawPosition(page);
  page.Large(0, 184, "- - - - - - - - - - - - -");
  page.Large(0, kPromptY, "< INDEX");
  page.ScratchpadLine();
}

}  // namespace ovi::fms
