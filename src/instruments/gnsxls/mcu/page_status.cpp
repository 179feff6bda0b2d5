// Status (page 5): the waypoint flown to, the destination, the elapsed time
// and the modes. The bearing line has a band repaint of its own once a
// second; the rest is drawn on full repaints.
#include <algorithm>
#include <cmath>
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/mcu/pages.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::mcu {

namespace {

using gnsxls::ScreenText;
using host::TruncateToInt32;

constexpr float kModeLineY = 62.0f;
constexpr float kVnavX = 105.0f;
constexpr float kHoldX = 145.0f;
// The flyover mark follows the ident: 56 + 8 per character.
constexpr float kFlyoverX = 56.0f;
constexpr float kFlyoverStep = 8.0f;
// With a navaid's frequency beside the ident the mark would cover it; it
// goes to the right end of the distance line instead.
constexpr float kFlyoverBesideDistanceX = 200.0f;
// The band the bearing line's own repaint blackens first.
constexpr float kBandY = 24.0f, kBandWidth = 250.0f, kBandHeight = 14.0f;
constexpr double kElapsedNotStarted = -99.0;

const flightplan::State& Fp() { return flightplan::flightplan_state; }
const guidance::State& G() { return guidance::guidance_state; }

std::string Cut(const std::string& text, std::size_t n) { return text.substr(0, n); }

bool IsNavaidType(const std::string& type) { return type == "VOR" || type == "NDB"; }

void DrawToLine(McuPage& page) {
  const model::FlightPlanWaypoint* w = ActiveWaypointEntry();
  const int act = w != nullptr ? Fp().ActiveWaypointIndex : 0;
  // An empty route counts its last index as 0, not -1.
  const int last = std::max(Fp().ActiveFlightPlanLastIndex, 0);
  const std::string ident = w != nullptr ? w->ident : "";
  if (w != nullptr && act == Fp().ActiveFlightPlanLastIndex) {
    page.Text(0, kRowY[0], kAmber,
              ScreenText("TO:   %-5s %-6s %d/%d", Cut(ident, 5).c_str(),
                         Cut(AirportElevationText(ident), 6).c_str(), act, last));
    return;
  }
  const bool navaid = w != nullptr && IsNavaidType(w->type) && !w->frequency_text.empty();
  if (navaid) {
    page.Text(0, kRowY[0], kAmber,
              ScreenText("TO:   %-7s%-8s%d/%d", ident.c_str(), w->frequency_text.c_str(), act, last));
  } else {
    page.Text(0, kRowY[0], kAmber, ScreenText("TO:   %-15s%d/%d", ident.c_str(), act, last));
  }
  if (w == nullptr || w->flyover != 1) return;
  if (navaid) {
    page.Text(kFlyoverBesideDistanceX, kRowY[1], kMagenta, "(FO)");
  } else {
    page.Text(kFlyoverX + kFlyoverStep * static_cast<float>(ident.size()), kRowY[0], kMagenta, "(FO)");
  }
}

void ElapsedTime(int& hours, int& minutes, int& seconds) {
  hours = minutes = seconds = 0;
  const double elapsed = G().ElapsedFlightSeconds;
  if (elapsed == kElapsedNotStarted || ActiveWaypointEntry() == nullptr) return;
  const int s = std::max(TruncateToInt32(elapsed), 0);
  hours = s / 3600;
  minutes = (s % 3600) / 60;
  seconds = s % 60;
}

void DrawBearingLine(McuPage& page) {
  guidance::State& g = guidance::guidance_state;
  gnsxls::State& s = gnsxls::gnsxls_state;
  if (s.McuStatusRedraw == 1) {
    const gfx::SolidBrush black{gfx::Color(kBlack)};
    page.graphics().FillRectangle(black, 0.0f, kBandY, kBandWidth, kBandHeight);
    s.McuStatusRedraw = 0;
  }
  int h = 0, m = 0, sec = 0;
  ElapsedTime(h, m, sec);
  page.Text(0, kRowY[2], kGreen,
            ScreenText("BRG:  %03.0f%s       [%02d:%02d:%02d]", g.BearingToActiveWaypoint, kDegree, h, m, sec));
}

// Where the first hold stands (0 when there is none on the route).
int FirstHoldWaypoint() {
  const flightplan::State& fp = Fp();
  if (fp.HoldCount < 1) return 0;
  const int i = fp.HoldTable[1].active_index;
  return i >= 1 && i <= fp.ActiveFlightPlanLastIndex ? i : 0;
}

// The heading offset of a direct-to with a forced turn.
double DirectTurnValue() {
  const guidance::State& g = G();
  double v = 0.0;
  if (g.HoldTurnDirection == 1) {
    v = g.AircraftHeading - g.BearingToActiveWaypoint;
    if (v < 0.0) v += 360.0;
  } else {
    v = g.AircraftHeading + g.BearingToActiveWaypoint;
    if (v >= 360.0) v -= 360.0;
  }
  return v;
}

void DrawModeLine(McuPage& page, const model::FlightPlanWaypoint* w) {
  const guidance::State& g = G();
  if (g.LnavEngaged == 1) page.Text(0, kModeLineY, kAmber, ScreenText("LNAV(%s)", w != nullptr ? w->ident.c_str() : ""));
  if (g.VnavEngaged == 1) page.Text(kVnavX, kModeLineY, kAmber, "VNAV");
  const int held = FirstHoldWaypoint();
  if (held >= 1) {
    if (Fp().RouteState < 4)
      page.Text(kHoldX, kModeLineY, kAmber, ScreenText("HOLD(%s) ", Fp().ActiveFlightPlan[held].ident.c_str()));
  } else if (g.HoldTurnDirection != 0 && g.LnavEngaged == 1) {
    // Without the blank after "DCTTO" the text ends at the screen's edge.
    page.Text(kHoldX, kModeLineY, kAmber, ScreenText("DCTTO(%3.0fD)", DirectTurnValue()));
  }
}

}  // namespace

void DrawMcuStatusPage(McuFrame& frame) {
  McuPage page(frame.g);
  const guidance::State& g = G();
  const gnsxls::State& s = gnsxls::gnsxls_state;
  const model::FlightPlanWaypoint* w = ActiveWaypointEntry();
  if (frame.full) {
    DrawToLine(page);
    if (w != nullptr) page.Text(0, kRowY[1], kGreen, ScreenText("DIST: %-4.1f NM", g.ActiveWaypointDistance));
  }
  if (frame.full || s.McuStatusRedraw == 1) DrawBearingLine(page);
  if (!frame.full) return;
  page.Text(0, kRowY[3], kGreen,
            ScreenText("ETE:  %02d:%02d (%02d:%02d)", TruncateToInt32(g.ActiveWaypointEteHours),
                       TruncateToInt32(g.EteMinutes), TruncateToInt32(g.RealEteHours),
                       TruncateToInt32(g.RealEteMinutes)));
  if (w != nullptr) {
    const model::FlightPlanWaypoint& end = Fp().ActiveFlightPlan[Fp().ActiveFlightPlanLastIndex];
    // Along the route whether LNAV flies it or not, as the time beside it
    // and every other page: the straight distance with LNAV off disagreed
    // with its own time.
    const double distance = g.DestinationDistance;
    page.Text(0, kRowY[4], kAmber,
              ScreenText("%s:%4.0f/%03.0f%s %02d:%02d(%02d:%02d)", end.ident.c_str(), distance, g.DestinationCourse,
                         kDegree, TruncateToInt32(g.DestinationEteHours), TruncateToInt32(g.TodEteMinutes),
                         TruncateToInt32(g.RealTodEteHours), TruncateToInt32(g.RealTodEteMinutes)));
  }
  DrawModeLine(page, w);
}

}  // namespace ovi::mcu
