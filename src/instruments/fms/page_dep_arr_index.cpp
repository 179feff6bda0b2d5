// DEP / ARR INDEX (page 24): the way to the DEPARTURES page of the origin
// and the ARRIVALS page of the destination, each offered once it is set.
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/procedure_pages.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

bool IsSet(const std::string& airport) { return airport != model::kNoneText; }

constexpr KeyAction kKeys[] = {
    {kL1,
     [] {
       if (IsSet(model::model_state.OriginAirportIdent)) OpenDeparturesPage();
     }},
    {kR2,
     [] {
       if (IsSet(model::model_state.DestinationAirportIdent)) OpenArrivalsPage();
     }},
};

}  // namespace

void FmsPageDepArrIndex(display::GaugeDisplay& display, gfx::Graphics& g) {
  const model::State& m = model::model_state;
  CduPage page(display, g);
  page.Large(63, kTitleY, "DEP / ARR  INDEX");
  // The counter stands clear of the title's "INDEX", where DEPARTURES has
  // its own; at 220 the two read as "INDEX1 / 1".
  page.Small(230, 5, "1 / 1");
  page.Large(0, 33, "< DEP");
  page.Large(90, 33, m.OriginAirportIdent);
  page.Large(90, 66, m.DestinationAirportIdent);
  page.Large(220, 66, "ARR >");
  // Labels in the small font, as every label over a prompt: in the large
  // one they stood on the prompts 14 units below.
  page.Small(0, 184, "DEP");
  page.Small(90, 184, "OTHER");
  page.Small(220, 184, "ARR");
  page.Large(0, kPromptY, "< - - - -");
  page.Large(220, kPromptY, "- - - - >");
  RunKeyAction(kKeys);
  page.ScratchpadLine();
}

}  // namespace ovi::fms
