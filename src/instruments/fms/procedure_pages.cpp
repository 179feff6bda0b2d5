#include "src/instruments/fms/procedure_pages.h"

#include "src/instruments/fms/state.h"
#include "src/model/records.h"
#include "src/model/state.h"
#include "src/navdb/procedures.h"

namespace ovi::fms {

void OpenDeparturesPage() {
  State& s = fms_state;
  s.FmsPage = kPageDepartures;
  model::model_state.FmsSubPageTable.DeparturesSubPage = 1;
  if (s.FmsDepSidState == 1) s.FmsDepSidState = 2;
  s.FmsDepTransChosen = 0;
  s.FmsDepRunwayChosen = 0;
  navdb::ListSids(model::kNoneText, model::kNoneText);
  navdb::ListSidRunways(model::kNoneText);
}

void OpenArrivalsPage() {
  State& s = fms_state;
  s.FmsPage = kPageArrivals;
  model::model_state.FmsSubPageTable.ArrivalsSubPage = 1;
  if (s.FmsArrStarState == 1) s.FmsArrStarState = 2;
  s.FmsArrApproachState = 0;
  navdb::ListStars(model::kNoneText, model::kNoneText);
  navdb::ListStarRunways(model::kNoneText);
  s.FmsArrRunwayChosen = 0;
  s.FmsArrTransChosen = 0;
  s.FmsArrApproachTransChosen = 0;
}

}  // namespace ovi::fms
