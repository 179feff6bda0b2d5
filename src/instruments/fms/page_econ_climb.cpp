// ECON CLB (page 34): cruise altitude, the next constraint or the top of
// climb ahead with its arrival time, the climb speed / Mach and the climb
// speed restriction.
#include "src/flightplan/state.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/perf_entries.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

model::State& M() { return model::model_state; }

void EnterClimbSpeed() {
  model::State& m = M();
  EnterSpeedMach({&m.ClimbIas, &m.ClimbMach, &m.ClimbIasEntry, &m.ClimbIasSaved, &m.ClimbMachEntry,
                  &m.ClimbMachSaved});
}

constexpr KeyAction kKeys[] = {
    {kL1, [] { if (!Scratchpad().empty()) EnterCruiseAltitude(false); }},
    {kL2, [] { if (!Scratchpad().empty()) EnterClimbSpeed(); }},
    {kL3, [] { if (!Scratchpad().empty()) EnterSpeedRestriction(M().ClbSpdRest, M().ClbAltRest); }},
    {kL6, EraseIfModified},
    {kR6, OpenRtaProgress},
};

// The next constraint while it comes before the top of climb, else the
// top of climb. Both along the path LNAV flies, as every page measures:
// straight from the aircraft, a route that turns back put the constraint
// nearer than it is flown. A top of climb on the constraint's own waypoint
// (no room to climb on before the last leg) is that constraint, the
// altitude VNAV levels at there, as the navigator shows it: read as the
// T/C, the page counted down to a climb the aircraft had already ended,
// level at the constraint, and flipped to the constraint's lines and back
// as the waypoint's point fell either side of its corner.
void DrawClimbTarget(CduPage& page) {
  const guidance::State& g = guidance::guidance_state;
  const model::FlightPlanWaypoint* w = NextConstraintWaypoint();
  if (g.TocPassed != 0 || !(g.GroundSpeedKnots > 60.0) || w == nullptr) return;
  const double to_constraint = guidance::RouteAhead().To(g.NextConstraintIndex);
  const double to_toc = g.ClimbSideDistance;
  if (to_constraint <= to_toc) {
    page.Small(200, 22, ScreenText("A T  %6s", w->ident.c_str()));
    page.Large(200, 33, ScreenText("%-5.2f", w->altitude_constraint));
    page.Small(200, 55, ScreenText("T O   %6s", w->ident.c_str()));
    page.RightText(66, FontSize::kLarge, ArrivalText(to_constraint, to_constraint, "/%.0f NM"));
  } else {
    page.Small(200, 55, "T O   T / C");
    page.RightText(66, FontSize::kLarge, ArrivalText(to_toc, to_toc, " / %.1f"));
  }
}

}  // namespace

void FmsPageEconClimb(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  RunKeyAction(kKeys);
  const model::State& m = M();
  page.Large(63, kTitleY, "ECON  CLB");
  page.Small(220, 5, "1 / 1");
  page.Small(12, 22, "C R Z    A L T");
  DrawCruiseAltitudeField(page);
  DrawClimbTarget(page);
  page.Small(12, 55, "T G T    S P D");
  // The Mach the climb holds at the plan's level: the pilot's, or where
  // the climb speed would ask for more, no more than the aircraft's data.
  const double mach = guidance::PhaseMachAt(model::PerformanceSegment::kClimb, m.ClimbIas, m.ClimbMach,
                                            guidance::PlannedCruiseAltitude());
  page.Large(5, 66, ScreenText("%3d / %.2f", m.ClimbIas, mach));
  page.Small(12, 88, "S P D / R E S T");
  if (m.ClbAltRest > 1000.0 && m.ClbSpdRest > 50.0) {
    page.Large(5, 99, ScreenText("%3.0f / %-5.0f", m.ClbSpdRest, m.ClbAltRest));
  }
  page.Large(12, 121, "- - - - - - - - - - - - - - - -");
  page.Large(140, 151, "- - - - - - - - - - - -");
  if (flightplan::flightplan_state.RouteState == 4) {
    page.Large(0, kPromptY, "< ERASE");
  } else {
    page.Large(0, 165, "< MAX   RATE");
    page.Large(0, kPromptY, "< MAX   ANGLE");
  }
  page.Large(220, kPromptY, "RTA >");
  page.ScratchpadLine();
}

}  // namespace ovi::fms
