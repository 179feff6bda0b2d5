// NAVIGATION (page 9): live navigation data in four sub-pages. The FROM,
// TO and NEXT waypoints (or the hold being flown) head sub-pages 1 to 3;
// then distance, times, track, speed and wind (1), wind components, the
// arrival and the fuel at the destination, track errors (2), drift,
// variation, airspeed, heading, bearing and track (3); sub-page 4 holds the
// position and the pause-at-top-of-descent switch. The page changes no
// route: only its line selections, the LNAV mode choice shown and the pause
// switch. The choices of lines 7 ("ALT?"/"ETA?") and 10 ("AUTO?"/"MAN?")
// are shown only: ENT has no action here, and nothing else commits them.
#include <cmath>
#include <cstdlib>
#include <string>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/gnsxls/clock_text.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& Fp() { return flightplan::flightplan_state; }

constexpr int kSubPages = 4;
// Times, the ground speed and the NEXT line need more than this ground
// speed; the true airspeed more than its own.
constexpr double kNavMinSpeed = 60.0;
constexpr double kTasMinSpeed = 40.0;
constexpr float kTimeX = 360.0f;
constexpr float kIdentX = 90.0f;
// The hold's HOLDING and EXIT HOLD lines stand on the NEXT line's row, which
// the hold never uses: where they were written they overlapped the AT line.
constexpr float kHoldLineY = 120.0f;
constexpr float kWindArrowPen = 3.0f;

bool Active() {
  const int a = Fp().ActiveWaypointIndex;
  return a != model::kNoWaypoint && a >= 0 && a <= Fp().ActiveFlightPlanLastIndex;
}

const model::FlightPlanWaypoint* Entry(int i) {
  return i >= 0 && i <= Fp().ActiveFlightPlanLastIndex ? &Fp().ActiveFlightPlan[i] : nullptr;
}

const char* Side(std::int32_t side) { return side == 1 ? "L" : "R"; }

std::string OrPlaceholder(std::string text, const char* placeholder) {
  return text.empty() ? std::string(placeholder) : text;
}

// Arrival clock `distance` NM ahead at `speed`; empty when it cannot be
// worked out.
std::string ArrivalAhead(double distance, double speed) {
  double minutes = 0.0;
  return GnsMinutesToGo(distance, speed, minutes) ? GnsArrivalText(minutes) : std::string();
}

bool HoldFlown() {
  const guidance::State& g = G();
  return g.ActiveHoldIndex == 1 && g.HoldSegmentCounter > 0;
}

bool NextLineShown() {
  const guidance::State& g = G();
  return g.GroundSpeedKnots > kNavMinSpeed && Active() && g.EteMinutes < 1.0 && g.DirectToActive == 0 &&
         Fp().ActiveWaypointIndex < Fp().ActiveFlightPlanLastIndex && g.HoldSegmentCounter == 0;
}

// ---- line keys --------------------------------------------------------------------

void LineKey(int key) {
  State& s = S();
  if (key == 7) {
    if (LineState(7) == 0) {
      flightplan::ResetGnsSelectionState();
      SetLineState(7, 1);
      s.NavigatorScratchpad.clear();
    } else {
      SetLineState(7, 0);
    }
  } else if (key == 10) {
    if (LineState(10) == 0) {
      flightplan::ResetGnsSelectionState();
      SetLineState(10, 1);
      if (s.GnsNavSubPage == 1) s.GnsNavModeChoice = 0;
    } else {
      SetLineState(10, 0);
    }
  } else if (key == 5 && s.GnsNavSubPage == 4 && model::model_state.ArmPauseAtTod == 1) {
    std::int32_t& pause = model::model_state.PauseAtTod;
    if (pause != 0) {
      pause = 0;
    } else {
      pause = 1;
      guidance::guidance_state.PauseAtTodDone = 0;
    }
  }
}

// ---- header of sub-pages 1 to 3 ------------------------------------------------------------

// Minutes from the aircraft round the racetrack's remaining corners back to
// the fix, the running sum kept in whole miles as the racetrack counts it.
std::string TimeToLeaveHold() {
  const guidance::State& g = G();
  const model::HoldingPattern& hold = Fp().HoldTable[1];
  const std::uint32_t k = g.HoldSegmentCounter;
  if (k > 4) return {};
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, hold.corners[k].latitude,
                                   hold.corners[k].longitude, distance, course);
  double sum = std::trunc(std::fmin(distance, 1e6));
  for (std::uint32_t p = k; p <= 4; ++p) {
    const model::HoldPoint& from = hold.corners[p];
    const model::HoldPoint& to = hold.corners[p == 4 ? 0 : p + 1];
    navdb::ComputeDistanceAndBearing(from.latitude, from.longitude, to.latitude, to.longitude, distance, course);
    sum = std::trunc(sum + std::fmin(distance, 1e6));
  }
  double minutes = 0.0;
  return GnsMinutesToGo(sum, g.GroundSpeedKnots, minutes) ? GnsDurationText(minutes) : std::string();
}

void RouteHeader(GnsPage& page) {
  const guidance::State& g = G();
  const int a = Fp().ActiveWaypointIndex;
  const model::FlightPlanWaypoint* from = g.DirectToActive == 0 && Active() && a > 0 ? Entry(a - 1) : nullptr;
  page.Text(30, 40, kYellow, "FR");
  page.Text(kIdentX, 40, kYellow, from != nullptr ? from->ident : "------");
  page.Text(kTimeX, 40, kBlue, from != nullptr && !from->time_over_text.empty() ? from->time_over_text : "-----");
  page.Text(30, 80, kMagenta, "TO");
  page.Text(kIdentX, 80, kMagenta, Active() ? Fp().ActiveFlightPlan[a].ident : "------");
}

void HoldHeader(GnsPage& page) {
  const model::HoldingPattern& hold = Fp().HoldTable[1];
  page.Text(30, 40, kYellow, hold.turn_side == 1 ? "HOLD RIGHT" : "HOLD LEFT");
  page.Text(30, 80, kMagenta, "AT");
  const model::FlightPlanWaypoint* fix = Entry(hold.active_index);
  page.Text(kIdentX, 80, kMagenta, fix != nullptr ? fix->ident : "------");
  if (G().HoldState != 2) {
    page.Text(140, kHoldLineY, kGreen, "HOLDING");
  } else {
    page.Text(30, kHoldLineY, kBlue, "EXIT HOLD");
    page.Text(kTimeX, kHoldLineY, kBlue, OrPlaceholder(TimeToLeaveHold(), "-----"));
  }
}

std::string ToLineTime() {
  const guidance::State& g = G();
  if (S().GnsNavTimeFieldMode == 2) {
    return g.NextConstraintIndex == Fp().ActiveWaypointIndex ? ScreenText("%5.0fA", g.NextConstraintAltitude)
                                                             : "-----";
  }
  if (!Active() || !(g.GroundSpeedKnots > kNavMinSpeed)) return "-----";
  return OrPlaceholder(GnsClockText(g.ActiveWaypointEteHours + g.LocalClockHour, g.EteMinutes + g.ClockMinute),
                       "-----");
}

void Header(GnsPage& page, bool sub_page_1) {
  const State& s = S();
  if (HoldFlown()) {
    HoldHeader(page);
  } else {
    RouteHeader(page);
  }
  const std::string time = ToLineTime();
  if (LineState(7) == 1) {
    const std::string& e = s.NavigatorScratchpad;
    page.OnBlock(kTimeX, 80, e == "ALT?" || e == "ETA?" ? e : time, 5);
  } else {
    page.Text(kTimeX, 80, kBlue, time);
  }
  if (!NextLineShown()) return;
  const int a = Fp().ActiveWaypointIndex;
  const model::FlightPlanWaypoint& to = Fp().ActiveFlightPlan[a];
  const model::FlightPlanWaypoint& next = Fp().ActiveFlightPlan[a + 1];
  // Along the route at the ground speed, as the TO line's time: straight at
  // the true airspeed the next waypoint could come before the active one.
  const double distance = guidance::RouteAhead().To(a + 1);
  page.Text(30, 120, kYellow, "NX");
  page.Text(kIdentX, 120, kYellow, next.ident);
  page.Text(kTimeX, 120, kBlue, OrPlaceholder(ArrivalAhead(distance, G().GroundSpeedKnots), "-----"));
  // A discontinuity stands nowhere: no distance or course to it.
  if (!sub_page_1 || !std::isfinite(distance)) return;
  double leg = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(to.latitude, to.longitude, next.latitude, next.longitude, leg, course);
  page.Text(160, 160, kGreen, ScreenText("(%.0f)", std::fmin(distance, 99999.0)));
  page.Text(160, 240, kGreen, ScreenText("(%.0f)", GnsMagneticBearing(course)));
}

// ---- sub-pages ------------------------------------------------------------------------------

void SubPage1(GnsPage& page) {
  const State& s = S();
  const guidance::State& g = G();
  const bool moving = g.GroundSpeedKnots > kNavMinSpeed;
  page.Text(30, 160, kGreen, "DIS");
  page.Text(320, 160, kGreen, Active() ? ScreenText("%7.1f", std::fmin(g.ActiveWaypointDistance, 99999.9)) : "-------");
  page.Text(30, 200, kBlue, "ETE");
  page.Text(320, 200, kBlue,
            moving && Active() ? OrPlaceholder(GnsDurationTenthsText(g.ActiveWaypointEteHours, g.EteMinutes), "-------")
                               : "-------");
  const bool hold = g.ActiveHoldIndex != 0;
  page.Text(30, 240, kGreen, hold ? "INBOUND CRS" : "DTK");
  page.Text(400, 240, kGreen,
            hold ? ScreenText("%03.0f", Fp().HoldTable[1].inbound_course)
                 : Active() ? ScreenText("%03.0f", g.DesiredTrack) : "---");
  page.Text(30, 280, kGreen, "GS");
  page.Text(400, 280, kGreen, moving ? ScreenText("%3.0f", g.GroundSpeedKnots) : "---");
  page.Text(30, 320, kGreen, "WIND");
  page.Text(360, 320, kGreen,
            g.WindSpeed > 0.0 ? ScreenText("%03.0f/%-3.0f", g.WindDirectionMagnetic, g.WindSpeed) : "---/---");
  const char* mode = g.LnavEngaged == 1 ? "-AUTO-" : "-MAN-";
  if (LineState(10) == 1) {
    const std::int32_t c = s.GnsNavModeChoice;
    page.OnBlock(160, 360, c == 1 ? "AUTO?" : c == 2 ? "MAN?" : mode, 5);
  } else {
    page.Text(160, 360, kWhite, mode);
  }
}

// An arrow: head at the origin pointing to negative y, a shaft of 24
// units, placed at (x, y) and turned clockwise by `degrees`.
void WindArrow(GnsPage& page, float x, float y, float degrees) {
  static constexpr gfx::PointF kArrow[] = {{0, 0}, {9, 9}, {0, 0}, {-9, 9}, {0, 0}, {0, 24}};
  gfx::Graphics& g = page.graphics();
  gfx::Matrix saved;
  g.GetTransform(&saved);
  g.TranslateTransform(x, y);
  g.RotateTransform(degrees);
  const gfx::Pen pen(gfx::Color(kGreen), kWindArrowPen);
  g.DrawLines(pen, kArrow);
  g.SetTransform(saved);
}

// Whole knots; a component that is not a number is none.
int WholeKnots(double knots) { return std::isfinite(knots) ? static_cast<int>(std::fmax(-999.0, std::fmin(knots, 999.0))) : 0; }

// Fuel left at the last waypoint at the present ground speed and flow; none
// without an active waypoint or at the NAVIGATION page's lowest speed.
void PredictFuelAtDestination(double distance_to_last) {
  const guidance::State& g = G();
  if (!Active() || !(g.GroundSpeedKnots > kNavMinSpeed) || !std::isfinite(distance_to_last)) return;
  double fuel = guidance::GetFuelFlowWeight() - distance_to_last / g.GroundSpeedKnots * host::GetTotalFuelFlow();
  if (!std::isfinite(fuel)) return;
  S().GnsFuelAtDestination = fuel < 0.0 ? -1.0 : fuel;
}

void SubPage2(GnsPage& page) {
  const guidance::State& g = G();
  const int headwind = WholeKnots(g.HeadwindComponent);
  const int crosswind = WholeKnots(g.CrosswindComponent);
  page.Text(30, 160, kGreen, "WIND");
  page.Text(170, 160, kGreen, headwind != 0 ? ScreenText("%3d", std::abs(headwind)) : "---");
  page.Text(370, 160, kGreen, crosswind != 0 ? ScreenText("%3d", std::abs(crosswind)) : "---");
  if (headwind != 0) {
    if (g.HeadwindComponent < 0.0) {
      WindArrow(page, 160, 163, 0);
    } else {
      WindArrow(page, 160, 187, 180);
    }
  }
  if (crosswind != 0) {
    if (crosswind < 0) {
      WindArrow(page, 390, 176, 90);
    } else {
      WindArrow(page, 440, 176, 270);
    }
  }
  const bool active = Active();
  const model::FlightPlanWaypoint* last = active ? Entry(Fp().ActiveFlightPlanLastIndex) : nullptr;
  const char* ident = last != nullptr ? last->ident.c_str() : "";
  const bool moving = g.GroundSpeedKnots > kNavMinSpeed;
  const double to_last = last != nullptr ? guidance::RouteAhead().To(Fp().ActiveFlightPlanLastIndex) : NAN;
  page.Text(30, 200, kBlue, ScreenText("ETA-%s", ident));
  page.Text(kTimeX, 200, kBlue,
            last != nullptr && moving ? OrPlaceholder(ArrivalAhead(to_last, g.GroundSpeedKnots), "-----") : "-----");
  PredictFuelAtDestination(to_last);
  page.Text(30, 240, kGreen, ScreenText("FUEL-%s", ident));
  page.Text(kTimeX, 240, kGreen,
            last != nullptr && moving ? ScreenText("%5.0f", std::fmin(S().GnsFuelAtDestination, 99999.0)) : "-----");
  page.Text(30, 280, kGreen, "TKE");
  page.Text(340, 280, kGreen, ScreenText("%s %03.0f", Side(g.LegBearingSide), g.LegBearingOffset));
  page.Text(30, 320, kGreen, "XTK   TRMNL");
  page.Text(340, 320, kGreen,
            active ? ScreenText("%s %2.2f", Side(g.CrossTrackSide), std::fmin(g.CrossTrackDistance, 9999.0)) : "-------");
  page.Text(30, 360, kGreen, "SXTK");
}

void SubPage3(GnsPage& page) {
  const guidance::State& g = G();
  const bool active = Active();
  page.Text(30, 160, kGreen, "DRIFT");
  page.Text(360, 160, kGreen,
            active ? ScreenText("%s %03.0f", Side(g.LegDeviationOutput), g.LegBearingOffset2) : "  ---");
  const int variation = std::isfinite(g.MagneticVariation) ? static_cast<int>(std::fmax(-180.0, std::fmin(g.MagneticVariation, 180.0))) : 0;
  page.Text(30, 200, kGreen, "VAR");
  // East is positive, as everywhere in the module (the page turns the wind's
  // true direction magnetic by it).
  page.Text(360, 200, kGreen, ScreenText("%s %3d", variation > 0 ? "E" : "W", std::abs(variation)));
  page.Text(30, 240, kGreen, "TAS");
  page.Text(400, 240, kGreen, g.TrueAirspeedEstimate > kTasMinSpeed ? ScreenText("%3.0f", g.TrueAirspeedEstimate) : "---");
  page.Text(30, 280, kGreen, "HDG");
  page.Text(400, 280, kGreen, ScreenText("%03.0f", g.AircraftHeading));
  page.Text(30, 320, kGreen, "BRG");
  page.Text(400, 320, kGreen, active ? ScreenText("%03.0f", g.BearingToActiveWaypoint) : "---");
  page.Text(30, 360, kGreen, "TK");
  page.Text(400, 360, kGreen, active ? ScreenText("%03.0f", g.DesiredTrack) : "---");
}

void SubPage4(GnsPage& page) {
  const guidance::State& g = G();
  const model::State& m = model::model_state;
  page.Text(90, 80, kGreen, "IDENT    ------");
  page.Text(100, 120, kGreen, "POS");
  page.Text(200, 120, kGreen, GnsLatitudeText(g.PlaneLatitude));
  page.Text(200, 160, kGreen, GnsLongitudeText(g.PlaneLongitude, LongitudePad::kBlank));
  if (m.DecLatLonDisp == 1) {
    page.Text(200, 200, kGreen, ScreenText("(%.6f)", g.PlaneLatitude));
    page.Text(200, 240, kGreen, ScreenText("(%.6f)", g.PlaneLongitude));
  }
  page.Text(30, 280, kGreen, "VPU");
  page.Text(150, 280, kYellow, "----");
  page.Text(30, 320, kGreen, "GPS");
  page.Text(150, 320, kYellow, "----");
  if (m.DisplayMagVarOnGnsxlsNavPage == 1) page.Text(240, 320, kYellow, ScreenText("MV(%3.1f)", g.MagneticVariation));
  if (m.ArmPauseAtTod == 1)
    page.Text(30, 360, kGreen, m.PauseAtTod != 0 ? "PAUSE AT TOD (ON)" : "PAUSE AT TOD (OFF)");
}

}  // namespace

void DrawGnsxlsNavigationPages(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  const int key = s.GnsXlsLineSelectKey;
  if (key == 5 || key == 7 || key == 10) LineKey(key);
  page.Text(90, kTitleY, kWhite, ScreenText("NAVIGATION   %d/%d", static_cast<int>(s.GnsNavSubPage), kSubPages));
  switch (s.GnsNavSubPage) {
    case 1:
      Header(page, true);
      SubPage1(page);
      break;
    case 2:
      Header(page, false);
      SubPage2(page);
      break;
    case 3:
      Header(page, false);
      SubPage3(page);
      break;
    case 4:
      SubPage4(page);
      break;
    default:
      break;
  }
}

}  // namespace ovi::gnsxls
