// TAKEOFF REF (page 27): take-off flaps and V speeds, the thrust rating and
// the pre-flight status with prompts to the pages still to be filled in.
#include <string>

#include "src/flightplan/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/perf_entries.h"
#include "src/instruments/fms/procedure_pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

model::State& M() { return model::model_state; }

bool RouteMissing() { return flightplan::flightplan_state.RouteState == 0; }
bool PerfMissing() { return M().ReserveFuel == 0.0 || M().CruiseAlt == 0; }
bool RunwayMissing() { return M().RouteDepartureRunway == model::kNoneText; }

// A whole number from `low` to `high` typed on a field; an empty press on
// a field does nothing (the prompts have keys of their own).
void EnterWhole(std::int32_t& target, double low, double high, bool (*allowed)(const std::string&) = nullptr) {
  const std::string& text = Scratchpad();
  if (text.empty()) return;
  const double n = LeadingInteger(text);
  if (!(n >= low && n <= high) || (allowed != nullptr && !allowed(text))) return RefuseEntry(kInvalidEntry);
  target = static_cast<std::int32_t>(n);
  AcceptEntry();
}

// The flap setting as typed, between commas, must stand in TOFLAPSRANGE:
// "05" is not "5".
bool InFlapRange(const std::string& text) { return M().TOFLAPSRANGE.find("," + text + ",") != std::string::npos; }

// The prompts act under their conditions whether drawn or not: DEPARTURE>
// is drawn while no runway is chosen but acts while an origin is set.
constexpr KeyAction kKeys[] = {
    {kL1, [] { EnterWhole(M().TOFLAPS, 1, 50, InFlapRange); }},
    {kR1, [] { EnterWhole(M().V1, 1, 249); }},
    {kR2, [] { EnterWhole(M().VR, 1, 249); }},
    {kR3, [] { EnterWhole(M().V2, 1, 269); }},
    {kL5,
     [] {
       if (PerfMissing()) OpenPage(kPagePerfInit);
     }},
    {kR4,
     [] {
       if (!RouteMissing()) return;
       OpenPage(kPageRoute);
       M().FmsSubPageTable.RteSubPage = 1;
     }},
    {kR5,
     [] {
       if (M().OriginAirportIdent != model::kNoneText) OpenDeparturesPage();
     }},
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
};

void RightSpeed(CduPage& page, float y, std::int32_t speed) {
  if (speed > 0) page.Large(245, y, ScreenText("%3d", speed));
}

}  // namespace

void FmsPageTakeoffRef(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  page.Large(63, kTitleY, "TAKEOFF  REF");
  page.Small(220, 3, "1 / 1");
  RunKeyAction(kKeys);
  const model::State& m = M();

  page.Small(12, 22, "F L A P S");
  if (m.TOFLAPS > 0) page.Large(20, 33, ScreenText("%d\xB0", m.TOFLAPS));
  page.RightText(22, FontSize::kSmall, "V1");
  RightSpeed(page, 36, m.V1);
  page.Small(12, 55, m.EngThrust > 0 ? ScreenText("%d K   N 1", m.EngThrust) : std::string("- - K   N 1"));
  page.RightText(55, FontSize::kSmall, "V R");
  RightSpeed(page, 68, m.VR);
  page.Small(13, 85, "C G             T R I M      ");
  page.Large(0, 99, "-  -  . - %");
  page.RightText(85, FontSize::kSmall, "V 2");
  RightSpeed(page, 98, m.V2);

  if (!RouteMissing() && !PerfMissing() && !RunwayMissing()) {
    page.Large(0, 116, "- - - - -                                       - - -");
    page.Small(55, 121, "P R E     F L T   C O M P L E T E");
  } else {
    page.Large(0, 116, "- - - - -                                   - - - - -");
    page.Small(55, 121, "P R E     F L T   S T A T U S");
  }
  if (RouteMissing()) page.Large(200, 133, "ROUTE>");
  if (PerfMissing()) page.Large(0, 167, "<PERF  INIT");
  if (RunwayMissing()) page.Large(157, 167, "DEPARTURE>");

  page.Large(2, 184, "- - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(0, kPromptY, "<INDEX");
  page.ScratchpadLine();
}

}  // namespace ovi::fms
