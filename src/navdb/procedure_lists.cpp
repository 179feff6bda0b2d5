// The selection lists of the departure, arrival and approach pages and the
// leg rows of a chosen SID or STAR, built from the procedure sets.
#include <algorithm>
#include <string>
#include <vector>

#include "src/model/state.h"
#include "src/navdb/procedures.h"

namespace ovi::navdb {

namespace {

using model::AirportProcedureSet;
using model::NameIndexEntry;
using model::ProcedureLeg;
using model::ProcedureListEntry;
using model::ProcedureRecord;

constexpr char kCommonPart[] = "---";

bool IsAny(const std::string& filter) { return filter == model::kNoneText; }

bool IsCommonPart(const std::string& transition) { return transition.empty() || transition == kCommonPart; }

// True when the item is one of the comma-separated elements of the field.
bool FieldHas(const std::string& field, const std::string& item) {
  std::size_t start = 0;
  while (start <= field.size()) {
    std::size_t comma = field.find(',', start);
    if (comma == std::string::npos) comma = field.size();
    if (field.compare(start, comma - start, item) == 0) return true;
    start = comma + 1;
  }
  return false;
}

bool FitsRunway(const ProcedureRecord& r, const std::string& runway) {
  return IsAny(runway) || r.runway.empty() || FieldHas(r.runway, runway);
}

bool HasTransition(const ProcedureRecord& r, const std::string& transition) {
  for (int l = 1; l <= r.leg_count; ++l)
    if (r.legs[l].transition == transition) return true;
  return false;
}

// A name list's usable entries: its slots less slot 0 and the spare.
template <typename List>
constexpr int NameListCapacity() {
  return List::kSlots - 1 - model::kNameListSpare;
}

template <typename List>
void Append(List& list, std::int32_t& count, const std::string& name, int number) {
  if (count >= NameListCapacity<List>()) return;
  NameIndexEntry& e = list[++count];
  e.name = name;
  e.number = number;
}

template <typename List>
bool Listed(const List& list, std::int32_t count, const std::string& name) {
  for (int i = 1; i <= count; ++i)
    if (list[i].name == name) return true;
  return false;
}

// Empties the entries a shorter rebuild left behind.
template <typename List>
void ClearFrom(List& list, int first, int old_count) {
  for (int i = first; i <= old_count && i < List::kSlots; ++i) list[i] = NameIndexEntry{};
}

template <typename Table, typename List>
void ListRunways(const AirportProcedureSet& set, const Table& table, int count, const std::string& name, List& list,
                 std::int32_t& list_count) {
  bool named = false;
  bool all = false;
  for (int i = 1; i <= count; ++i) {
    if (table[i].name != name) continue;
    named = true;
    if (table[i].runway.empty()) all = true;
  }
  const int old = list_count;
  list_count = 0;
  for (int r = 1; r <= set.RunwayCount; ++r) {
    const std::string& number = set.Runways[r].number_text;
    bool allowed = !named || all;
    for (int i = 1; !allowed && i <= count; ++i)
      allowed = table[i].name == name && FieldHas(table[i].runway, number);
    if (allowed) Append(list, list_count, number, r);
  }
  ClearFrom(list, list_count + 1, old);
}

template <typename Table, typename List>
void ListNames(const Table& table, int count, const std::string& runway, const std::string& transition, List& list,
               std::int32_t& list_count) {
  const int old = list_count;
  list_count = 0;
  for (int i = 1; i <= count; ++i) {
    const ProcedureRecord& r = table[i];
    if (!FitsRunway(r, runway)) continue;
    if (!IsAny(transition) && !HasTransition(r, transition)) continue;
    if (!Listed(list, list_count, r.name)) Append(list, list_count, r.name, i);
  }
  ClearFrom(list, list_count + 1, old);
}

template <typename Table, typename List>
void ListTransitions(const Table& table, int count, const std::string& name, const std::string& runway, int mode,
                     List& list, std::int32_t& list_count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) {
    const ProcedureRecord& r = table[i];
    if (r.name != name || !FitsRunway(r, runway)) continue;
    for (int l = 1; l <= r.leg_count; ++l) {
      const ProcedureLeg& leg = r.legs[l];
      if (leg.transition.empty()) continue;
      if (mode == 1 && leg.ninth_text == "*") continue;
      if (std::find(names.begin(), names.end(), leg.transition) == names.end()) names.push_back(leg.transition);
    }
  }
  std::sort(names.begin(), names.end());
  const int old = list_count;
  list_count = 0;
  for (const std::string& n : names) Append(list, list_count, n, 0);
  ClearFrom(list, list_count + 1, old);
}

template <typename Table>
int FindIndex(const Table& table, int count, const std::string& name) {
  for (int i = 1; i <= count; ++i)
    if (table[i].name == name) return i;
  return 0;
}

// The record of that name for the runway: the preferred one when it fits,
// else the first of the name that fits, else the preferred one.
template <typename Table>
int ChooseRecord(const Table& table, int count, const std::string& name, const std::string& runway, int preferred) {
  if (preferred >= 1 && preferred <= count && FitsRunway(table[preferred], runway)) return preferred;
  for (int i = 1; i <= count; ++i)
    if (table[i].name == name && FitsRunway(table[i], runway)) return i;
  return preferred >= 1 && preferred <= count ? preferred : 0;
}

// Rows of the common legs and the legs of the transition, in leg order; the
// first row has no via, the others carry the procedure's name.
template <typename Rows>
void FillRows(const ProcedureRecord* r, const std::string& transition, Rows& rows, std::int32_t& row_count) {
  const int old = row_count;
  row_count = 0;
  if (r != nullptr) {
    for (int l = 1; l <= r->leg_count && row_count < Rows::kSlots - 1; ++l) {
      const ProcedureLeg& leg = r->legs[l];
      if (!IsCommonPart(leg.transition) && (IsAny(transition) || leg.transition != transition)) continue;
      ProcedureListEntry& row = rows[++row_count];
      row = ProcedureListEntry{};
      row.fix_ident = leg.fix_ident;
      row.role = leg.role;
      row.altitude_text = leg.altitude_text;
      row.via_text = row_count == 1 ? std::string() : r->name;
      row.latitude = leg.latitude;
      row.longitude = leg.longitude;
      row.flyover = leg.flyover;
    }
  }
  for (int i = row_count + 1; i <= old && i < Rows::kSlots; ++i) rows[i] = ProcedureListEntry{};
}

bool FilterFits(const std::string& filter, const std::string& to) {
  return IsAny(to) || filter.empty() || filter.find(to) != std::string::npos;
}

bool IsEntryFix(const ProcedureLeg& leg) { return leg.role.compare(0, 3, "IAF") == 0; }

// A transition is named by its legs; the entry fix of the common part also
// by its ident (the approach lists name such a transition after its fix).
bool TransitionFits(const ProcedureLeg& leg, const std::string& transition) {
  return IsAny(transition) || leg.transition == transition ||
         (IsCommonPart(leg.transition) && leg.fix_ident == transition);
}

bool EntersApproach(const ProcedureRecord& a, const std::string& name, const std::string& to,
                    const std::string& transition) {
  for (int l = 1; l <= a.leg_count; ++l) {
    const ProcedureLeg& leg = a.legs[l];
    if (!IsEntryFix(leg)) continue;
    if (!IsAny(name) && leg.approach_name != name) continue;
    if (FilterFits(leg.filter_text, to) && TransitionFits(leg, transition)) return true;
  }
  return false;
}

AirportProcedureSet& Origin() { return procedure_state.AirportProcedureSets[1]; }
AirportProcedureSet& Destination() { return procedure_state.AirportProcedureSets[2]; }

}  // namespace

// ---- departures ----

void ListSidRunways(std::string sid_name) {
  AirportProcedureSet& s = Origin();
  ListRunways(s, s.SidTable, s.SidCount, sid_name, s.DepartureRunwayNameList, s.DepartureRunwayListCount);
}

void ListSids(std::string runway, std::string transition) {
  AirportProcedureSet& s = Origin();
  ListNames(s.SidTable, s.SidCount, runway, transition, s.SidNameList, s.SidNameListCount);
}

void ListSidTransitions(std::string sid_name, std::string runway, int mode) {
  AirportProcedureSet& s = Origin();
  ListTransitions(s.SidTable, s.SidCount, sid_name, runway, mode, s.SidTransitionList, s.SidTransitionListCount);
}

void FindSidIndex(std::string sid_name) {
  const AirportProcedureSet& s = Origin();
  procedure_state.SelectedSidIndex = FindIndex(s.SidTable, s.SidCount, sid_name);
}

void SelectSidEntry() {
  ProcedureState& p = procedure_state;
  const model::State& m = model::model_state;
  const AirportProcedureSet& s = Origin();
  // The GNS-XLS names its choice in GnsDepartureSelectionText, the CDU in
  // RouteSid; both leave SelectedSidIndex on the SID they chose, which
  // settles a panel that carries both.
  const ProcedureRecord* indexed =
      p.SelectedSidIndex >= 1 && p.SelectedSidIndex <= s.SidCount ? &s.SidTable[p.SelectedSidIndex] : nullptr;
  std::string name;
  if (indexed != nullptr && indexed->name == m.GnsDepartureSelectionText)
    name = m.GnsDepartureSelectionText;
  else if (indexed != nullptr && indexed->name == m.RouteSid)
    name = m.RouteSid;
  else
    name = IsAny(m.GnsDepartureSelectionText) ? m.RouteSid : m.GnsDepartureSelectionText;
  const int preferred =
      indexed != nullptr && indexed->name == name ? p.SelectedSidIndex : FindIndex(s.SidTable, s.SidCount, name);
  const int chosen =
      preferred == 0 ? 0 : ChooseRecord(s.SidTable, s.SidCount, name, m.SelectedDepartureRunway, preferred);
  FillRows(chosen > 0 ? &s.SidTable[chosen] : nullptr, m.RouteSidTransition, p.SidList, p.SidLegCount);
}

// ---- arrivals ----

void ListStarRunways(std::string star_name) {
  AirportProcedureSet& s = Destination();
  ListRunways(s, s.StarTable, s.StarCount, star_name, s.ArrivalRunwayNameList, s.ArrivalRunwayListCount);
}

void ListStars(std::string runway, std::string transition) {
  AirportProcedureSet& s = Destination();
  ListNames(s.StarTable, s.StarCount, runway, transition, s.StarNameList, s.StarListCount);
}

void ListStarTransitions(std::string star_name, std::string runway, int mode) {
  AirportProcedureSet& s = Destination();
  ListTransitions(s.StarTable, s.StarCount, star_name, runway, mode, s.StarTransitionList,
                  s.StarTransitionListCount);
}

void FindStarIndex(std::string star_name) {
  const AirportProcedureSet& s = Destination();
  procedure_state.SelectedStarIndex = FindIndex(s.StarTable, s.StarCount, star_name);
}

void SelectStarEntry() {
  ProcedureState& p = procedure_state;
  const model::State& m = model::model_state;
  const AirportProcedureSet& s = Destination();
  const int index = p.SelectedStarIndex;
  int chosen = 0;
  if (index >= 1 && index <= s.StarCount)
    chosen = ChooseRecord(s.StarTable, s.StarCount, s.StarTable[index].name, m.SelectedApproachTo, index);
  FillRows(chosen > 0 ? &s.StarTable[chosen] : nullptr, m.RouteStarTransition, p.StarList, p.StarLegCount);
}

// ---- approaches ----

void ListApproachIafs(std::string approach, std::string transition) {
  AirportProcedureSet& s = Destination();
  const int old = s.ArrivalRunwayListCount;
  s.ArrivalRunwayListCount = 0;
  for (int r = 1; r <= s.RunwayCount; ++r) {
    const std::string& number = s.Runways[r].number_text;
    bool fits = false;
    for (int a = 1; !fits && a <= s.ApproachCount; ++a)
      fits = EntersApproach(s.ApproachTable[a], approach, number, transition);
    if (fits) Append(s.ArrivalRunwayNameList, s.ArrivalRunwayListCount, number, r);
  }
  ClearFrom(s.ArrivalRunwayNameList, s.ArrivalRunwayListCount + 1, old);
}

void ListApproachIafEntries(std::string runway, std::string transition) {
  AirportProcedureSet& s = Destination();
  constexpr int kCapacity = decltype(s.ApproachTransitionTable)::kSlots - 1;
  const int old = s.ApproachTransitionCount;
  s.ApproachTransitionCount = 0;
  for (int a = 1; a <= s.ApproachCount && s.ApproachTransitionCount < kCapacity; ++a) {
    const ProcedureRecord& approach = s.ApproachTable[a];
    if (!EntersApproach(approach, model::kNoneText, runway, transition)) continue;
    bool listed = false;
    for (int i = 1; !listed && i <= s.ApproachTransitionCount; ++i)
      listed = s.ApproachTransitionTable[i].name == approach.name;
    if (listed) continue;
    // The record names the approach; its legs stay in ApproachTable.
    ProcedureRecord& e = s.ApproachTransitionTable[++s.ApproachTransitionCount];
    e.name = approach.name;
    e.runway = approach.runway;
    e.type = approach.type;
    e.leg_count = 0;
  }
  for (int i = s.ApproachTransitionCount + 1; i <= old && i <= kCapacity; ++i) {
    ProcedureRecord& e = s.ApproachTransitionTable[i];
    e.name.clear();
    e.runway.clear();
    e.type.clear();
    e.leg_count = 0;
  }
}

}  // namespace ovi::navdb
