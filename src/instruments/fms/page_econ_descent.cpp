// ECON PATH DES (page 36): the next constraint, the top of descent ahead
// (cruise) or the constrained waypoint ahead (descent) with its arrival
// time, the descent speed / Mach and restriction, the deviation from the
// descent path and the path angle, vertical bearing and speed wanted.
#include <cmath>
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/perf_entries.h"
#include "src/instruments/fms/progress.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }

void EnterDescentSpeed() {
  model::State& m = M();
  EnterSpeedMach({&m.DescentSpeed, &m.DescentMach, &m.DescentIasEntry, &m.DescentIasSaved, &m.DescentMachEntry,
                  &m.DescentMachSaved});
}

// L1 (the E/D altitude) takes no entry.
constexpr KeyAction kKeys[] = {
    {kL2, [] { if (!Scratchpad().empty()) EnterDescentSpeed(); }},
    {kL3, [] { if (!Scratchpad().empty()) EnterSpeedRestriction(M().DescSpdRest, M().DescAltRest); }},
    {kL6, EraseIfModified},
    {kR6, OpenRtaProgress},
};

// This page aligns its right column on x 265, not the kit's 272.
void RightAligned(CduPage& page, float y, const std::string& text) {
  page.Large(265.0f - 9.0f * static_cast<float>(text.size()), y, text);
}

// Row 2 right: the top of descent ahead in cruise, the constrained
// waypoint ahead in descent.
void DrawDescentTarget(CduPage& page, const model::FlightPlanWaypoint* w) {
  const guidance::State& g = G();
  const bool speed_known = g.GroundSpeedKnots > 60.0;
  if (g.TocPassed == 1 && g.TodPassed == 0) {
    page.Small(200, 55, "T O   T / D");
    // Before the top of descent the profile's distances since it are 0;
    // the time and distance to it are those the profile works to in
    // cruise.
    const double to_tod = g.NextConstraintDistance;
    if (speed_known) RightAligned(page, 66, ArrivalText(to_tod, to_tod, "/%-.0f NM"));
  } else if (g.TodPassed == 1 && w != nullptr) {
    page.Small(190, 55, ScreenText("T O  %6s", w->ident.c_str()));
    // DistanceSinceTod is, in descent, the distance still to fly to the
    // constraint: the time is taken over it as well.
    const double to_go = g.DistanceSinceTod;
    if (speed_known) RightAligned(page, 66, ArrivalText(to_go, to_go, "/%.0f NM"));
  }
}

// Above or below the path while short of the constraint, stepped down to
// 50 ft above 1000, 10 ft from 200, 5 ft below. Before the top of descent
// there is no path yet (its altitude is not worked out): the empty form.
std::string VerticalDeviation() {
  if (G().TodPassed != 1) return "----  --";
  const double above = DeviationFromPath();
  if (!(above != 0.0) || !std::isfinite(above)) return "----  --";
  double dev = std::fabs(above);
  const double step = dev > 1000.0 ? 50.0 : dev >= 200.0 ? 10.0 : 5.0;
  dev = std::trunc(dev / step) * step;
  return ScreenText("%5.0f %s", dev, above > 0.0 ? "HI" : "LO");
}

void DrawPathValues(CduPage& page, bool waypoint) {
  const guidance::State& g = G();
  if (!(g.VerticalSpeedFpm < 200.0) || !waypoint || g.TocPassed != 1 || g.TodPassed != 1 ||
      !(g.GroundSpeedKnots > 50.0)) {
    return;
  }
  const double nm_per_minute = g.GroundSpeedKnots / 60.0;
  const double fpa = std::fabs(std::trunc(g.VerticalSpeedFpm)) / nm_per_minute * 0.01;
  const double bearing = std::fabs(std::trunc(g.VnavRequiredVerticalSpeed)) / nm_per_minute * 0.01;
  page.Large(130, 133, ScreenText("%2.1f   %2.1f     %4.0f", fpa, bearing, g.VnavRequiredVerticalSpeed));
}

}  // namespace

void FmsPageEconPathDescent(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  RunKeyAction(kKeys);
  const model::State& m = M();
  // A stale constraint index draws as no active waypoint.
  const model::FlightPlanWaypoint* w = NextConstraintWaypoint();
  page.Large(63, kTitleY, "ECON  PATH  DES");
  page.Small(230, 5, "1 / 1");
  page.Small(12, 22, "E / D    A L T");
  if (w != nullptr) {
    page.Large(0, 33, ScreenText("%5.0f", w->altitude_constraint));
    page.Small(190, 22, ScreenText("A T  %6s", w->ident.c_str()));
    page.Large(200, 33, ScreenText("%5.0f", w->altitude_constraint));
  }
  DrawDescentTarget(page, w);
  page.Small(12, 55, "T G T    S P D");
  // The descent is flown at DescentSpeed (VNAV leaves Mach hold at the top
  // of descent) below its crossover; a Mach shows where the descent holds
  // one from the plan's level, the pilot's or the aircraft data's.
  const double mach = guidance::PhaseMachAt(model::PerformanceSegment::kDescent, m.DescentSpeed, m.DescentMach,
                                            guidance::PlannedCruiseAltitude());
  page.Large(5, 66, mach > 0.0 ? ScreenText("%3d / %0.2f", m.DescentSpeed, mach)
                               : ScreenText("%3d / -.--", m.DescentSpeed));
  page.Small(12, 88, "S P D / R E S T");
  if (m.DescAltRest > 1000.0 && m.DescSpdRest > 50.0) {
    page.Large(5, 99, ScreenText("%3.0f / %-5.0f", m.DescSpdRest, m.DescAltRest));
  }
  page.Small(180, 88, "W P T / A L T");
  if (w == nullptr) {
    page.Small(160, 99, "- - - - - - / - - - - - -");
  } else {
    RightAligned(page, 99, ScreenText("%6s/%5.0f", w->ident.c_str(), w->altitude_constraint));
  }
  page.Small(12, 121, "V E R T  D E V");
  page.Large(5, 133, VerticalDeviation());
  page.Small(130, 121, "F P A  V / B        V / S");
  DrawPathValues(page, w != nullptr);
  page.Small(0, 151, "- - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(190, 165, "SPEED >");
  if (flightplan::flightplan_state.RouteState == 4) page.Large(0, kPromptY, "< ERASE");
  page.Large(220, kPromptY, "RTA >");
  page.ScratchpadLine();
}

}  // namespace ovi::fms
