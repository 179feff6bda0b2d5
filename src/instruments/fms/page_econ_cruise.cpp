// ECON CRZ (page 35): cruise altitude, cruise speed / Mach, the wind, and
// the pause at the top of descent.
#include <string>
#include <string_view>

#include "src/flightplan/state.h"
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

void EnterCruiseSpeed() {
  model::State& m = M();
  const bool mach = Scratchpad().find('/') != std::string::npos;
  const bool first_edit = !m.CruiseMachSaved, entered_before = m.CruiseMachEntered;
  if (!EnterSpeedMach({&m.CruiseSpeed, &m.CruiseMach, &m.CruiseIasEntry, &m.CruiseIasSaved, &m.CruiseMachEntry,
                       &m.CruiseMachSaved}) ||
      !mach)
    return;
  if (first_edit) m.CruiseMachEnteredEntry = entered_before;
  m.CruiseMachEntered = m.CruiseMach > 0.0;
}

// Arming again clears the record of a pause already sent, so that the
// next top of descent pauses once more.
void TogglePauseAtTod() {
  model::State& m = M();
  if (m.ArmPauseAtTod != 1) return;
  if (m.PauseAtTod == 0) {
    m.PauseAtTod = 1;
    guidance::guidance_state.PauseAtTodDone = 0;
  } else {
    m.PauseAtTod = 0;
  }
}

constexpr KeyAction kKeys[] = {
    {kL1, [] { if (!Scratchpad().empty()) EnterCruiseAltitude(false); }},
    {kL2, [] { if (!Scratchpad().empty()) EnterCruiseSpeed(); }},
    {kL6, EraseIfModified},
    {kR6, TogglePauseAtTod},
};

}  // namespace

void FmsPageEconCruise(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  RunKeyAction(kKeys);
  const model::State& m = M();
  const guidance::State& gs = guidance::guidance_state;
  page.Large(63, kTitleY, "ECON  CRZ");
  page.Small(230, kTitleY, "1 / 1");
  page.Small(12, 22, "C R Z    A L T    O P T / M A X");
  DrawCruiseAltitudeField(page);
  page.Small(12, 55, "T G T    S P D");
  // The Mach cruised at the plan's level: no more than the aircraft's data.
  page.Large(5, 66, ScreenText("%3d / %0.2f", m.CruiseSpeed,
                               guidance::PhaseMachAt(model::PerformanceSegment::kCruise, m.CruiseSpeed, m.CruiseMach,
                                                     guidance::PlannedCruiseAltitude())));
  page.Small(12, 88, "T U R B    N 1                  A C T U A L    W I N D");
  if (gs.WindSpeed > 0.0) {
    page.Large(180, 99, ScreenText("%03.0f\xB0 / %3.0f", gs.WindDirectionMagnetic, gs.WindSpeed));
  } else {
    page.Large(180, 99, "---\xB0 / ---");
  }
  page.Small(0, 165, "- - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(0, kPromptY, flightplan::flightplan_state.RouteState == 4 ? "< ERASE" : "< LRC");
  if (m.ArmPauseAtTod == 1) {
    // At 95 the OFF prompt's ">" left the screen: it ends where the ON
    // prompt's does, so the ">" stays by its key.
    constexpr std::string_view kOn = "Pause at TOD (ON) >";
    constexpr std::string_view kOff = "Pause at TOD (OFF)  >";
    if (m.PauseAtTod == 1) {
      page.Large(95, kPromptY, kOn);
    } else {
      page.Large(95 + page.TextWidth(FontSize::kLarge, kOn) - page.TextWidth(FontSize::kLarge, kOff), kPromptY, kOff);
    }
  }
  page.ScratchpadLine();
}

}  // namespace ovi::fms
