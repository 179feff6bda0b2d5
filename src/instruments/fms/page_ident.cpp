// IDENT (page 25): the aircraft model, engine rating, navigation data and
// program identification; the first page after installation.
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::fms {

namespace {

constexpr KeyAction kKeys[] = {
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
    {kR6,
     [] {
       model::model_state.FmsSubPageTable.PosSubPage = 1;
       OpenPage(kPagePosition);
     }},
};

constexpr float kActiveDatesX = 130.0f;

// NAV DATA names the cycle: "AIRAC" and what follows the two dates of the
// navaid file's line, which the ACTIVE field beside it shows already. The
// whole line ("AIRAC 12-JUN-2024 (16-MAY-2024) 2405") ran over the dates
// and off the screen. Without dates the text stays whole. Either way it
// ends a blank short of the next field: the dates, or the screen's edge.
std::string NavDataField(CduPage& page, const model::State& m) {
  std::string text = m.NavDataCycleText;
  float end = kScreenWidth;
  if (!text.empty() && !m.NavDataActiveDates.empty()) {
    const auto words = util::SplitBlanks(m.NavDataCycleText);
    text = "AIRAC";
    for (std::size_t i = 3; i < words.size(); ++i) (text += ' ') += words[i];
    end = kActiveDatesX;
  }
  // The letters start a sixth of the em in; a blank is 5 units.
  const float room = end - 3.0f - 5.0f;
  while (!text.empty() && page.TextWidth(FontSize::kLarge, text) > room) {
    text.pop_back();
    while (!text.empty() && text.back() == ' ') text.pop_back();
  }
  return text;
}

}  // namespace

void FmsPageIdent(display::GaugeDisplay& display, gfx::Graphics& g) {
  const model::State& m = model::model_state;
  CduPage page(display, g);
  page.Large(63, kTitleY, "IDENT");
  page.Small(220, 3, "1 / 1");
  RunKeyAction(kKeys);

  page.Small(12, 22, "M O D E L");
  page.Large(0, 33, m.ModelId);
  page.RightText(22, FontSize::kSmall, "E N G   R A T I N G");
  if (m.EngThrust >= 1) page.Large(240, 33, ScreenText("%2d K", m.EngThrust));
  page.Small(12, 55, "N A V   D A T A");
  page.Large(0, 66, NavDataField(page, m));
  page.RightText(55, FontSize::kSmall, "A C T I V E");
  page.Large(kActiveDatesX, 66, m.NavDataActiveDates);
  page.Small(12, 121, "O P   P R O G R A M");
  page.Large(0, 136, "296485 - 07 - 11      (V01.8)");
  page.RightText(155, FontSize::kSmall, "S U P P  D A T A");
  page.Large(0, kPromptY, "<INDEX");
  page.RightText(kPromptY, FontSize::kLarge, "POS  INIT>");
  page.ScratchpadLine();
}

}  // namespace ovi::fms
