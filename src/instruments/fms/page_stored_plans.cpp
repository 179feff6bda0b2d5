// STORED FLIGHT PLANS (page 1): the flight-plan library, six plans a
// sub-page; a left key loads its plan into the pending route and shows it
// on RTE.
#include <algorithm>

#include "src/flightplan/load.h"
#include "src/flightplan/route_edit.h"
#include "src/flightplan/state.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"

namespace ovi::fms {

namespace {

constexpr int kPlansPerSubPage = 6;

int LibraryCount() {
  return std::clamp(flightplan::flightplan_state.FlightPlanLibraryCount, 0, model::kFlightPlanLibrarySlots - 1);
}

// The library entry on row 1..6 of the sub-page shown; 0 when the row is empty.
int EntryOnRow(int row) {
  const int entry = kPlansPerSubPage * (fms_state.StoredPlansPageIndex - 1) + row;
  return entry >= 1 && entry <= LibraryCount() ? entry : 0;
}

void ShowOnRoutePage() {
  OpenPage(kPageRoute);
  model::model_state.FmsSubPageTable.RteSubPage = 1;
}

void LoadPlanOfRow(int key) {
  const int entry = EntryOnRow(key == kL6 ? kPlansPerSubPage : RowOfKey(key));
  if (entry == 0) return;
  flightplan::State& fp = flightplan::flightplan_state;
  // A plan that cannot be loaded leaves everything as it was; the page
  // says so where the pilot looks.
  if (!flightplan::LoadSelectedFlightPlan(fp.FlightPlanLibrary[entry].name, 0)) {
    return RefuseEntry(flightplan::kUnableToLoadText);
  }
  // The RTE rows show the plan just loaded, whichever row it came from; a
  // plan of its two ends alone has none, and none of the last route stay.
  flightplan::BuildRouteViaToList();
  ShowOnRoutePage();
  if (key == kL6) {
    fp.RouteState = 1;
    return;
  }
  // The step activates a route being entered (the load made a new one so)
  // and makes a loaded plan over the executed route a modification. From 2
  // or 4 it would claim an execution that never happened: those stay.
  if (fp.RouteState != 2 && fp.RouteState != 4) flightplan::StepRouteState();
}

}  // namespace

void FmsPageStoredFlightPlans(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = fms_state;
  CduPage page(display, g);
  // An empty library still has one (empty) sub-page.
  s.StoredPlansPageCount = std::max(1, (LibraryCount() + kPlansPerSubPage - 1) / kPlansPerSubPage);
  s.StoredPlansPageIndex = std::clamp(s.StoredPlansPageIndex, 1, s.StoredPlansPageCount);
  StepSubPage(s.StoredPlansPageIndex, s.StoredPlansPageCount);
  page.Large(10, kTitleY, "STORED FLIGHT PLANS");
  page.Small(225, 0, ScreenText("%2d / %2d", s.StoredPlansPageIndex, s.StoredPlansPageCount));
  const int key = LineSelectKey();
  if (IsLeftKey(key) || key == kL6) LoadPlanOfRow(key);
  for (int row = 1; row <= kPlansPerSubPage; ++row) {
    if (const int entry = EntryOnRow(row)) {
      page.Large(0, 33.0f * static_cast<float>(row), flightplan::flightplan_state.FlightPlanLibrary[entry].name);
    }
  }
  page.ScratchpadLine();
}

}  // namespace ovi::fms
