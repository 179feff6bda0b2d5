// PROGRESS (page 33): sub-page 1 the waypoint passed, the active, next and
// last waypoints with distance, arrival time and fuel predicted there, the
// fuel and the wind; sub-page 2 RTA PROGRESS, a frame with its LIMITS
// prompt; sub-page 3 wind components, temperatures, cross-track and vertical
// deviation, track and true airspeed. It takes no entries.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/fms/arrival_time.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/nav_status.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/progress.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::fms {

namespace {

constexpr double kKilogramsPerPound = 0.45359237;
constexpr double kTimeGroundSpeed = 75.0;  // kt: rows 2 and 3 time and fuel from above it
constexpr double kTimeBlendedSpeed = 60.0;  // kt: row 4 from above it
constexpr double kDescentStretch = 100.0;   // NM flown at the reduced descent speed
constexpr double kDescentSpeedShare = 0.8;
constexpr float kCourseFontPx = 15.0f;

std::int32_t& SubPage() { return model::model_state.FmsSubPageTable.ProgressSubPage; }
std::int32_t SubPageCount() { return model::model_state.FmsSubPageTable.ProgressSubPageCount; }

bool InKilograms() { return model::model_state.WeightUnit == "KGS"; }

// Distances are right-aligned on x 122 by their length.
void DrawDistance(CduPage& page, float y, double distance) {
  const std::string text = ScreenText("%.0f", distance);
  page.Large(122.0f - 10.0f * static_cast<float>(text.size()), y, text);
}

// The time `distance` ahead at `speed`, without the minute's tenths, and the
// fuel left there; the burn is scaled by `burn_share` (row 4's blended speed).
void DrawTimeAndFuel(CduPage& page, float y, double distance, double speed, double burn_share) {
  const bool local = model::model_state.DispETALocalTime == 1;
  ArrivalTime eta;
  if (ArrivalTimeAhead(distance, speed, local, eta)) {
    page.Large(160, y, ScreenText(local ? "%02d%02dL" : "%02d%02dZ", eta.hour, eta.minute));
  }
  const double fuel = PredictedFuel(distance, speed, burn_share, host::GetTotalFuelFlow(), guidance::GetFuelFlowWeight(),
                                    InKilograms());
  if (std::isfinite(fuel)) page.Large(227, y, ScreenText("%3.1f", fuel));
}

void DrawCourse(CduPage& page, const gfx::Font& font, float y, double course) {
  page.Text(30, y, font, ScreenText("%03.0f \xB0", course));
}

const model::FlightPlanWaypoint* PlanEntry(int index) {
  const flightplan::State& f = flightplan::flightplan_state;
  if (index < 0 || index > f.ActiveFlightPlanLastIndex) return nullptr;
  return f.ActiveFlightPlan.At(index);
}

std::string IdentText(int index) {
  const model::FlightPlanWaypoint* w = PlanEntry(index);
  return w == nullptr ? std::string() : ScreenText("%-5.5s", w->ident.c_str());
}

// Row 1: the waypoint last passed, once the route is past its first
// waypoint (the origin is left without a passage record).
void DrawPassedRow(CduPage& page) {
  const guidance::State& g = guidance::guidance_state;
  const int active = flightplan::flightplan_state.ActiveWaypointIndex;
  if (!(active > 1 && active != model::kNoWaypoint)) return;
  page.Large(0, 33, ScreenText("%-5.5s", g.LastWaypointIdent.c_str()));
  const std::string altitude = g.LastWaypointAltitude < model::model_state.TransAlt
                                   ? ScreenText("%5.0f", g.LastWaypointAltitude)
                                   : ScreenText("FL%3.0f", g.LastWaypointAltitude * 0.01);
  page.Large(122.0f - 10.0f * static_cast<float>(altitude.size()), 33, altitude);
  page.Large(160, 33, ScreenText("%.8s", g.LastWaypointTimeText.c_str()));
  page.Large(227, 33, ScreenText("%3.1f", g.LastWaypointFuel * 0.001));
}

// Rows 2 to 4: the active, the next and the last waypoint. Distances run
// along the route (`RouteAhead`): the destination measured straight from the
// next waypoint came out closer than the waypoints before it.
void DrawRouteRows(CduPage& page, const gfx::Font& course_font) {
  const flightplan::State& f = flightplan::flightplan_state;
  const guidance::State& g = guidance::guidance_state;
  const int active = f.ActiveWaypointIndex;
  const int last = f.ActiveFlightPlanLastIndex;
  const bool timed = active != model::kNoWaypoint && active >= 0 && active <= last;
  const double speed = g.GroundSpeedKnots;
  const guidance::RouteAhead ahead;

  DrawCourse(page, course_font, 53, g.BearingToActiveWaypoint);
  page.Large(0, 66, IdentText(active));
  DrawDistance(page, 66, g.ActiveWaypointDistance);
  if (timed && speed > kTimeGroundSpeed) DrawTimeAndFuel(page, 66, g.ActiveWaypointDistance, speed, 1.0);

  // Row 3 only while the next waypoint is not the last: row 4 shows that. A
  // discontinuity there stands nowhere: its marker without figures.
  if (timed && active + 1 < last) {
    page.Large(0, 99, IdentText(active + 1));
    const double to_go = ahead.To(active + 1);
    if (std::isfinite(to_go)) {
      const model::FlightPlanWaypoint& from = f.ActiveFlightPlan[active];
      const model::FlightPlanWaypoint& to = f.ActiveFlightPlan[active + 1];
      double leg = 0.0, course = 0.0;
      navdb::ComputeDistanceAndBearing(from.latitude, from.longitude, to.latitude, to.longitude, leg, course);
      DrawDistance(page, 99, to_go);
      // Turned magnetic, a course can leave 0..360; shown as RTE LEGS shows it.
      DrawCourse(page, course_font, 86, CourseShown(course - g.MagneticVariation));
      if (speed > kTimeGroundSpeed) DrawTimeAndFuel(page, 99, to_go, speed, 1.0);
    }
  }

  // Without a waypoint being flown to there is no route ahead: the last
  // waypoint straight from the aircraft.
  page.Large(0, 131, IdentText(last));
  double to_last = ahead.To(last);
  if (!timed) {
    const model::FlightPlanWaypoint& destination = f.ActiveFlightPlan[last];
    double course = 0.0;
    navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, destination.latitude, destination.longitude,
                                     to_last, course);
  }
  if (!std::isfinite(to_last)) return;
  DrawDistance(page, 131, to_last);
  const double blended = BlendedArrivalSpeed(to_last, speed, model::model_state.DescentSpeed);
  if (timed && blended > kTimeBlendedSpeed) {
    // The slower end of the flight burns for longer, in proportion.
    DrawTimeAndFuel(page, 131, to_last, blended, blended < speed ? blended / speed : 1.0);
  }
}

void OpenNavStatus() {
  OpenPage(kPageNavStatus);
  model::model_state.FmsSubPageTable.NavStatusSubPage = 1;
  RefreshClosestStations();
}

constexpr KeyAction kProgressKeys[] = {
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
    {kR6, OpenNavStatus},
};

constexpr KeyAction kRtaKeys[] = {
    {kL6,
     [] {
       OpenPage(kPagePerfInit);
       model::model_state.FmsSubPageTable.PerfInitSubPage = 2;
     }},
};

constexpr KeyAction kWindKeys[] = {
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
};

void DrawProgress(CduPage& page) {
  const guidance::State& g = guidance::guidance_state;
  gfx::Font course_font("Arial", kCourseFontPx, gfx::FontStyleRegular, gfx::Unit::Pixel);
  RunKeyAction(kProgressKeys);
  page.Large(63, kTitleY, "PROGRESS");
  page.Small(12, 22, "F R O M          A L T              A T A     F U E L");
  DrawPassedRow(page);
  page.Small(92, 55, "D T G              E T A     F U E L");
  if (flightplan::flightplan_state.ActiveFlightPlanLastIndex > 0) DrawRouteRows(page, course_font);
  page.Small(180, 151, "F U E L    Q T Y");
  page.Large(200, 166,
             ScreenText("%3.1f", guidance::GetFuelFlowWeight() * (InKilograms() ? kKilogramsPerPound : 1.0) * 0.001));
  page.Small(12, 188, "W I N D         I R S  (   )");
  page.Large(0, 198, ScreenText("%03.0f\xB0 / %3.0f", g.WindDirectionMagnetic, g.WindSpeed));
  page.Large(140, kPromptY, "NAV  STATUS >");
}

void DrawRtaProgress(CduPage& page) {
  RunKeyAction(kRtaKeys);
  page.Large(55, kTitleY, "RTA  PROGRESS");
  page.Small(12, 22, "R T A    W P T");
  // No separate six dashes at (0, 184): they are the start of this line
  // and would only be drawn twice on the same place.
  page.Large(0, 184, "- - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(0, kPromptY, "< LIMITS");
}

// Vertical deviation from the descent path, once past the top of descent:
// the one the ND and ECON PATH DES show.
void DrawVerticalDeviation(CduPage& page) {
  const guidance::State& g = guidance::guidance_state;
  const flightplan::State& f = flightplan::flightplan_state;
  // A constraint index left from an earlier route draws nothing.
  if (g.NextConstraintIndex < 0 || g.NextConstraintIndex > f.ActiveFlightPlanLastIndex) return;
  const double above = DeviationFromPath();
  // Both labels at 190: at 200 the letters ran off the screen's edge.
  if (above > 0.0) {
    page.Small(190, 88, "V E R T  D E V");
    page.Large(200, 99, ScreenText("%5.0f HI", above));
  } else if (above < 0.0) {
    page.Small(190, 88, "V E R T  D E V");
    // LO stands in the small font where HI uses the large one, as the
    // instrument shows it.
    page.Small(200, 99, ScreenText("%5.0f LO", -above));
  }
}

// A temperature as "%.0f" prints it, but one that rounds to 0 from below
// is 0, not "-0".
double WholeDegrees(double celsius) { return std::nearbyint(celsius) == 0.0 ? 0.0 : celsius; }

void DrawWindAndDeviations(CduPage& page) {
  const guidance::State& g = guidance::guidance_state;
  RunKeyAction(kWindKeys);
  page.Large(110, kTitleY, "PROGRESS");
  const WindComponents w = WindComponentsShown(g.HeadwindComponent, g.CrosswindComponent);
  page.Small(12, 22, g.HeadwindComponent < 0.0 ? "T A I L W I N D                 C R O S S W I N D"
                                               : "H E A D W I N D                 C R O S S W I N D");
  page.Large(0, 33, ScreenText("%2d KT                             %s %3d KT", w.along, w.side, w.across));
  page.Small(12, 55, "W I N D                         S A T / I S A    D E V");
  page.Large(0, 66, ScreenText("%03.0f\xB0 / %3.0f", g.WindDirectionMagnetic, g.WindSpeed));
  page.Large(160, 66,
             ScreenText("%2.0f\xB0"
                        "c /%-2d\xB0"
                        "c",
                        WholeDegrees(g.StaticAirTemp), IsaDeviation(g.StaticAirTemp, g.AircraftAltitude)));
  page.Small(12, 88, "X T K   E R R O R");
  if (g.TodPassed == 1) DrawVerticalDeviation(page);
  page.Large(0, 99, ScreenText("%s %3.2f NM", g.CrossTrackSide == 1 ? "L" : "R", g.CrossTrackDistance));
  page.Small(12, 121, "G P S - L    T R K                             T A S");
  // The true track: wrapped as every course the pages show.
  page.Large(0, 133, ScreenText("%03.0f\xB0T", CourseShown(g.DesiredTrack + g.MagneticVariation)));
  page.Large(200, 133, ScreenText("%3.0f KT", g.TrueAirspeedEstimate));
}

}  // namespace

double BlendedArrivalSpeed(double distance, double ground_speed, double descent_speed) {
  if (!(distance > kDescentStretch)) return ground_speed;
  return ((distance - kDescentStretch) * ground_speed + descent_speed * kDescentSpeedShare * kDescentStretch) / distance;
}

double PredictedFuel(double distance, double speed, double burn_share, double fuel_flow, double fuel_on_board,
                     bool kilograms) {
  if (!(speed > 0.0)) return fuel_on_board;
  const double minutes = distance / speed * 60.0;
  const double burned = fuel_flow * minutes / 60.0 * burn_share;
  return (fuel_on_board - burned) * (kilograms ? kKilogramsPerPound : 1.0) * 0.001;
}

WindComponents WindComponentsShown(double headwind, double crosswind) {
  WindComponents w;
  // Wide enough that the saturated ends of the truncation have a magnitude;
  // a value that is not a number (nor finite) counts as calm.
  const std::int64_t along = std::isfinite(headwind) ? host::TruncateToInt32(headwind) : 0;
  const std::int64_t across = std::isfinite(crosswind) ? host::TruncateToInt32(crosswind) : 0;
  w.along = static_cast<int>(std::min<std::int64_t>(std::llabs(along), INT32_MAX));
  w.across = static_cast<int>(std::min<std::int64_t>(std::llabs(across), INT32_MAX));
  w.side = across > 0 ? "L" : across < 0 ? "R" : "";
  return w;
}

double DeviationFromPath() {
  const guidance::State& g = guidance::guidance_state;
  if (!(g.DistanceSinceTod < g.DistanceTodToConstraint)) return NAN;
  const double above = g.AircraftAltitude - g.VnavPathAltitude;
  return std::isfinite(above) ? above : NAN;
}

int IsaDeviation(double static_air_temp, double altitude) {
  const double deviation = static_air_temp - (15.0 - altitude * 0.001 * 1.98);
  return std::isfinite(deviation) ? host::TruncateToInt32(deviation) : 0;
}

void FmsPageProgress(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  StepSubPage(SubPage(), SubPageCount());
  page.Small(230, 5, ScreenText("%d / %d", SubPage(), SubPageCount()));
  switch (SubPage()) {
    case 1: DrawProgress(page); break;
    case 2: DrawRtaProgress(page); break;
    case 3: DrawWindAndDeviations(page); break;
    default: break;
  }
  page.ScratchpadLine();
}

}  // namespace ovi::fms
