// POS INIT, POS REF and POS SHIFT (page 26, sub-pages 1 to 3): the
// aircraft's position, the reference airport, the time and date, ground
// speed and the first radio's station. A display only: no entries.
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/date.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/fms/arrival_time.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

constexpr std::int32_t kPosSubPages = 3;

constexpr KeyAction kKeys[] = {
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
    {kR6, [] { OpenPage(kPageRoute); }},
};

// The tuned station of the first radio while it is received.
std::string Nav1Station() { return host::GetNav1Signal() > 0.0 ? host::ReadNav1StationIdent() : std::string(); }

int DayOfYear() {
  double day = host::GetZuluDay();
  return std::isfinite(day) && day >= 0.0 && day <= 400.0 ? static_cast<int>(day) : 0;
}

void DrawPosInit(CduPage& page) {
  const guidance::State& g = guidance::guidance_state;
  const flightplan::State& fp = flightplan::flightplan_state;
  page.Large(63, kTitleY, "POS   INIT");
  page.Small(170, 22, "L A S T   P O S");
  page.Large(70, 33, LatitudeScreenText(g.PlaneLatitude));
  page.Large(160, 33, LongitudeScreenText(g.PlaneLongitude));
  page.Small(12, 55, "R E F    A I R P O R T");
  page.Large(0, 66,
             fp.ActiveWaypointIndex == model::kNoWaypoint
                 ? std::string("- - - -")
                 : ScreenText("%4s", fp.ActiveFlightPlan[0].ident.c_str()));
  page.Small(12, 88, "G A T E");
  page.Small(140, 121, "S E T   I R S    P O S");
  page.Small(12, 151, "G M T  -  M O N / D V");
  guidance::FormatSimulatorDate(DayOfYear());
  page.Large(0, 166,
             ScreenText("%02.0f%02.0f.%d z  %02d/%02d", host::GetZuluHour(), host::GetZuluMinute(),
                        MinuteTenths(g.LocalClockSecond), g.SimulatorMonth, g.SimulatorDayOfMonth));
  page.Large(2, 184, "- - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(0, kPromptY, "< INDEX");
  page.Large(180, kPromptY, "ROUTE >");
}

void DrawPosRef(CduPage& page) {
  const guidance::State& g = guidance::guidance_state;
  page.Large(63, kTitleY, "POS  REF");
  page.Small(12, 22, "F M C    P O S");
  page.Large(0, 33, LatitudeScreenText(g.PlaneLatitude));
  page.Large(85, 33, LongitudeScreenText(g.PlaneLongitude));
  page.Small(245, 22, "G S");
  std::string speed = ScreenText("%.0f", g.GroundSpeedKnots);
  page.Large(238.0f - 8.0f * static_cast<float>(speed.size()), 33, speed);
  page.Small(245, 38, "K T");
  page.Small(12, 55, "I R S   L");
  page.Small(12, 99, "I R S   R");
  page.Small(12, 151, "R A D I O");
  page.Large(12, 167, Nav1Station());
}

void DrawPosShift(CduPage& page) {
  page.Large(63, kTitleY, "POS  SHIFT");
  page.Small(12, 88, "I R S - L");
  page.Small(200, 88, "I R S - R");
  page.Small(10, 121, "R N P / A C T U A L");
  page.Small(200, 121, "R A D I O");
  page.Large(200, 133, Nav1Station());
  page.Large(0, 135, "1 . 0 0 / 0 . 0 0 N M");
  page.Large(0, 141, ". . . . . . . . . . . . . . . . . . . . . . . .");
  page.Large(0, kPromptY, "<INDEX");
}

}  // namespace

void FmsPagePosition(display::GaugeDisplay& display, gfx::Graphics& g) {
  std::int32_t& sub_page = model::model_state.FmsSubPageTable.PosSubPage;
  CduPage page(display, g);
  StepSubPage(sub_page, kPosSubPages);
  page.Small(220, 5, ScreenText("%d / %d", sub_page, kPosSubPages));
  RunKeyAction(kKeys);
  switch (sub_page) {
    case 2:
      DrawPosRef(page);
      break;
    case 3:
      DrawPosShift(page);
      break;
    default:
      DrawPosInit(page);
      break;
  }
  page.ScratchpadLine();
}

}  // namespace ovi::fms
