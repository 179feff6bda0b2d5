// TEMP NAV SUMMARY (page 29): a title and the way back to the index. No
// scratchpad line: what was typed stays for the next page that shows it.
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"

namespace ovi::fms {

namespace {

constexpr KeyAction kKeys[] = {
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
};

}  // namespace

void FmsPageTempNavSummary(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  page.Large(12, kTitleY, "TEMP  NAV  SUMMARY");
  page.Small(230, 3, "1 / 1");
  RunKeyAction(kKeys);
  page.Large(0, kPromptY, "< INDEX");
}

}  // namespace ovi::fms
