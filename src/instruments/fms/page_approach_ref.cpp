// APPROACH REF (page 12): gross weight, the three approach flap settings
// with their reference speeds, and the landing flap / VREF pair chosen.
#include <string>

#include "src/guidance/flight_log.h"
#include "src/guidance/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/perf_entries.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

model::State& M() { return model::model_state; }

// A reference speed shows in three places; a larger one is no speed.
constexpr double kMaxSpeed = 999.0;

struct FlapPair {
  std::string model::State::*flaps;
  std::int32_t model::State::*vref;
};
constexpr FlapPair kPairs[] = {
    {&model::State::APPRFLAPSMIN, &model::State::VREFMIN},
    {&model::State::APPRFLAPSMID, &model::State::VREFMID},
    {&model::State::APPRFLAPSMAX, &model::State::VREFMAX},
};

// R1-R3: an empty scratchpad takes the row's speed to be typed elsewhere;
// a negative speed is ignored without a message.
void EnterReferenceSpeed(std::int32_t& speed) {
  const std::string text = Scratchpad();
  if (text.empty()) {
    M().FmsScratchpad = ScreenText("%d", speed);
    return;
  }
  const double n = LeadingInteger(text);
  if (n < 0.0) return;
  if (!ReadsAsTypedZero(text, n) || n > kMaxSpeed) return RefuseEntry(kInvalidEntry);
  speed = static_cast<std::int32_t>(n);
  AcceptEntry();
}

// R4: "flaps/speed" names a whole pair; a text without a "/" after at
// least two characters is ignored.
void SelectLandingPair() {
  const std::string text = Scratchpad();
  const std::size_t slash = text.find('/');
  if (text.empty() || slash == std::string::npos || slash < 2) return;
  const std::string flaps = text.substr(0, slash);
  const double speed = LeadingInteger(std::string_view(text).substr(slash + 1));
  model::State& m = M();
  for (const FlapPair& p : kPairs) {
    if (flaps == m.*p.flaps && speed == static_cast<double>(m.*p.vref)) {
      const double setting = LeadingInteger(flaps);
      m.LDGFLAPS = setting >= -kMaxSpeed && setting <= kMaxSpeed ? static_cast<std::int32_t>(setting) : 0;
      m.VREF = m.*p.vref;
      AcceptEntry();
      return;
    }
  }
  RefuseEntry(kInvalidEntry);
}

constexpr KeyAction kKeys[] = {
    {kR1, [] { EnterReferenceSpeed(M().VREFMIN); }},
    {kR2, [] { EnterReferenceSpeed(M().VREFMID); }},
    {kR3, [] { EnterReferenceSpeed(M().VREFMAX); }},
    {kR4, SelectLandingPair},
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
};

}  // namespace

void FmsPageApproachRef(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  page.Large(63, kTitleY, "APPROACH REF");
  RunKeyAction(kKeys);
  const model::State& m = M();

  page.Small(12, 22, "G R O S S   W T");
  const double gross = guidance::GetFuelFlowWeight() + guidance::guidance_state.GrossWeight;
  page.Large(0, 33, ScreenText("%3.1f", ShownWeight(gross)));
  page.Small(150, 22, "F L A P S");
  page.Small(230, 22, "V R E F");
  float y = 33;
  for (const FlapPair& p : kPairs) {
    page.Large(160, y, ScreenText("%3s\xB0", (m.*p.flaps).c_str()));
    page.Small(223, y + 5, ScreenText("%3d K T", m.*p.vref));
    y += 33;
  }
  page.Small(190, 121, "F L A P / S P D");
  if (m.LDGFLAPS != 0 && m.VREF != 0) {
    page.Large(210, 133, ScreenText("%2d\xB0/%3d", m.LDGFLAPS, m.VREF));
  } else {
    page.Large(215, 133, "- -  - - -");
    page.Small(235, 138, "/");
  }
  page.Small(170, 151, "W I N D    C O R R");
  page.Large(0, 184, "- - - - - - - - - - - - - - - - - - - - - - - - -");
  page.Large(0, kPromptY, "< INDEX");
  page.ScratchpadLine();
}

}  // namespace ovi::fms
