// DES FORECASTS (page 38): a fixed form of labels and empty fields; it
// takes no entry and draws no scratchpad line (the text stays for the
// next page).
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"

namespace ovi::fms {

void FmsPageDescentForecasts(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  page.Large(63, kTitleY, "DES  FORECASTS");
  page.Small(230, kTitleY, "1 / 1");
  page.Small(12, 22, "T R A N S    L V L               T A I    O N / O F F");
  page.Large(150, 33, "- - - - - / - - - - -");
  page.Small(12, 55, "C A B I N    R A T E          I S A   D E V / Q N H");
  page.Large(135, 77, "- - - \xB0   / - - - - - -");
  page.Small(180, 81, "C");
  page.Small(12, 99, "A L T");
  page.Large(45, 93, "- - - - -");
  page.Small(100, 99, "W I N D");
  page.Large(145, 93, "- - - -");
  page.Small(195, 99, "D I R / S P D");
  for (float y : {111.0f, 133.0f, 155.0f}) {
    page.Large(0, y, "- - - - -                   - - - \xB0 / - - -");
    page.Small(245, y + 5, "K T");
  }
}

}  // namespace ovi::fms
