// The approach leg rows and the transition list of the arrival pages, and
// the GNS-XLS selection reset.
#include <algorithm>
#include <string>
#include <string_view>

#include "src/flightplan/procedure_splice.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/procedure_state.h"

namespace ovi::flightplan {

namespace {

constexpr std::string_view kNone = "------";
constexpr std::string_view kCommonPart = "---";

// The roles the leg rows carry; any other role (among them "IAF*") is shown
// as none.
bool ShownRole(std::string_view role) {
  return role == "IAF" || role == "MAP" || role == "FAF" || role == "ARC" || role == "HP";
}

bool FilterServes(const std::string& filter, const std::string& to) {
  return filter.empty() || filter.find(to) != std::string::npos;
}

int ApproachCount(const model::AirportProcedureSet& set) {
  return std::clamp(set.ApproachCount, 0, model::kMaxApproaches);
}

int LegCount(const model::ProcedureRecord& approach) {
  return std::clamp(approach.leg_count, 0, model::kMaxProcedureLegs);
}

}  // namespace

void SelectApproachTransition() {
  navdb::ProcedureState& ps = navdb::procedure_state;
  const model::State& m = model::model_state;
  const model::AirportProcedureSet& set = ps.AirportProcedureSets[2];
  ps.ApproachLegCount = 0;
  for (int a = 1; a <= ApproachCount(set); ++a) {
    const model::ProcedureRecord& approach = set.ApproachTable[a];
    for (int l = 1; l <= LegCount(approach); ++l) {
      const model::ProcedureLeg& leg = approach.legs[l];
      if (leg.approach_name != m.SelectedApproach || !FilterServes(leg.filter_text, m.SelectedApproachTo)) continue;
      const std::string& t = leg.transition;
      if (t != m.SelectedApproachTransition && t != "IAF*" && t != kCommonPart && t != "MAP" && t != "FAF" &&
          !t.empty()) {
        continue;
      }
      if (ps.ApproachLegCount >= navdb::kMaxApproachLegRows) break;
      model::ProcedureListEntry& row = ps.ApproachList[++ps.ApproachLegCount];
      row = model::ProcedureListEntry{};
      row.fix_ident = leg.fix_ident;
      row.role = ShownRole(leg.role) ? leg.role : std::string();
      row.altitude_text = leg.altitude_text;
      row.latitude = leg.latitude;
      row.longitude = leg.longitude;
      row.flyover = leg.flyover;
    }
  }
  gnsxls::gnsxls_state.GnsApproachSelection = 1;
  gnsxls::gnsxls_state.GnsActiveFieldCode = 1;
}

void BuildTransitionList() {
  navdb::ProcedureState& ps = navdb::procedure_state;
  const model::State& m = model::model_state;
  model::AirportProcedureSet& set = ps.AirportProcedureSets[2];
  set.ApproachTransitionListCount = 0;
  for (int a = 1; a <= ApproachCount(set); ++a) {
    model::ProcedureRecord& approach = set.ApproachTable[a];
    for (int l = 1; l <= LegCount(approach); ++l) {
      model::ProcedureLeg& leg = approach.legs[l];
      if (leg.role.compare(0, 3, "IAF") != 0) continue;
      if (leg.approach_name != m.SelectedApproach && m.SelectedApproach != kNone) continue;
      if (m.SelectedApproachTo != kNone && !FilterServes(leg.filter_text, m.SelectedApproachTo)) continue;
      bool listed = false;
      for (int e = 1; e <= set.ApproachTransitionListCount && !listed; ++e) {
        const std::string& name = set.ApproachTransitionList[e].name;
        if (leg.transition == kCommonPart) {
          // The common part entered at a fix that names a transition belongs
          // to that transition from now on.
          if (name == leg.fix_ident) {
            leg.transition = leg.fix_ident;
            listed = true;
          }
        } else {
          listed = name == leg.transition;
        }
      }
      if (listed || set.ApproachTransitionListCount >= model::kMaxApproachTransitionListEntries) continue;
      set.ApproachTransitionList[++set.ApproachTransitionListCount].name = leg.transition;
    }
  }
}

void ResetGnsSelectionState() {
  gnsxls::State& g = gnsxls::gnsxls_state;
  for (int line = 1; line <= gnsxls::kGnsLineCount; ++line) g.GnsXlsLineState[line] = 0;
  g.GnsActiveFieldCode = 0;
}

}  // namespace ovi::flightplan
