// DEPARTURES (page 10) and ARRIVALS (page 11): opening them fresh, the
// choices they splice into the pending route at once, and what the two
// pages share.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "src/instruments/fms/kit.h"
#include "src/model/records.h"

namespace ovi::fms {

// DEPARTURES (page 10) on its first sub-page, every SID of the origin listed
// again: a chosen SID (state 1) shows its list anew (2); the chosen
// transition and runway are forgotten.
void OpenDeparturesPage();

// ARRIVALS (page 11) on its first sub-page, every STAR of the destination
// listed again: a chosen STAR (state 1) shows its list anew (2); the STAR
// transition, approach, approach transition and runway are forgotten.
void OpenArrivalsPage();

// The SID (STAR) of SidNameList (StarNameList) entry `index` when keep is 0,
// the one already chosen when keep is 1, with the chosen runway and
// transition: its transitions and runways listed for it, its legs spliced
// into the pending route, the RTE rows rebuilt; RouteState steps from 0 or
// 3. An index outside the list with keep 0 changes nothing.
void ApplyDepartureSelection(int index, int keep);
void ApplyArrivalSelection(int index, int keep);

// The runway of DepartureRunwayNameList (ArrivalRunwayNameList) entry
// `index`: chosen, the SID (STAR) chosen before it applied again for it,
// the SIDs (STARs) of that runway listed; an executed route becomes a
// modification. An index outside the list changes nothing.
void SelectDepartureItem(int index);
void SelectArrivalItem(int index);

// ---- what the two pages share ------------------------------------------------

inline constexpr int kProcedureRows = 5;

// What a row shows, so that its key acts on just that.
enum class ProcedureItem { kNothing, kProcedure, kTransition, kRunway };

// One row of a column: what it shows and the list entry its key takes.
struct ProcedureRow {
  ProcedureItem item = ProcedureItem::kNothing;
  int index = 0;  // 1-based index into the item's list; 0: the key does nothing
  std::string text;
  float x = 0.0f;
  bool marked = false;  // the chosen item: "<ACT>" or "<SEL>" beside it
  float marker_x = 0.0f;
};
using ProcedureColumn = std::array<ProcedureRow, kProcedureRows>;

// First list index of sub-page p: 5 (p - 1) + 1, every sub-page on.
inline int FirstProcedureIndex(int sub_page) { return kProcedureRows * (sub_page - 1) + 1; }

// Entry `index` of a 1-based name list, read only within its count.
template <typename List>
const model::NameIndexEntry* Listed(const List& list, int count, int index) {
  if (index < 1 || index > count) return nullptr;
  return list.At(index);
}

// The index of `name` in the list, 0 when it is not listed.
template <typename List>
int ListIndexOf(const List& list, int count, const std::string& name) {
  for (int i = 1; i <= count; ++i) {
    const model::NameIndexEntry* e = Listed(list, count, i);
    if (e != nullptr && e->name == name) return i;
  }
  return 0;
}

// A list column (SIDs or STARs on the left, runways on the right): five
// names a sub-page, the chosen one marked; once chosen, only it, on the
// first row of sub-page 1.
template <typename List>
ProcedureColumn ListColumn(const List& list, int count, const std::string& chosen_name, bool chosen, int sub_page,
                           ProcedureItem item, const char* format, float x, float marker_x) {
  ProcedureColumn column;
  if (chosen) {
    if (sub_page == 1) column[0] = {item, ListIndexOf(list, count, chosen_name), ScreenText(format, chosen_name.c_str()), x, true, marker_x};
    return column;
  }
  for (int r = 0; r < kProcedureRows; ++r) {
    const int i = FirstProcedureIndex(sub_page) + r;
    const model::NameIndexEntry* e = Listed(list, count, i);
    if (e == nullptr) break;
    column[static_cast<std::size_t>(r)] = {item, i, ScreenText(format, e->name.c_str()), x, e->name == chosen_name, marker_x};
  }
  return column;
}

// The first transition a sub-page lists (1 on the first, 5 (p - 1) later).
inline int FirstTransitionIndex(int sub_page) { return sub_page == 1 ? 1 : kProcedureRows * (sub_page - 1); }

// Where a column draws a chosen procedure and its transitions.
struct TransitionLayout {
  float procedure_x;
  float transition_x;
  float marker_x;
  const char* transition_format;
};
inline constexpr TransitionLayout kLeftTransitions = {0.0f, 0.0f, 93.0f, "%-5s"};

// A column once a procedure is chosen: its text on row 1 of sub-page 1, its
// transitions on rows 2 to 5 (transitions 1 to 4), then five a sub-page
// from transition 5 (p - 1), `marked` marked; a chosen transition alone on
// row 2 of sub-page 1.
template <typename List>
ProcedureColumn TransitionColumn(const std::string& procedure_text, const List& transitions, int count,
                                 const std::string& chosen_transition, bool transition_chosen, int marked, int sub_page,
                                 const TransitionLayout& at) {
  ProcedureColumn column;
  if (sub_page == 1) column[0] = {ProcedureItem::kNothing, 0, procedure_text, at.procedure_x, true, at.marker_x};
  if (transition_chosen) {
    if (sub_page == 1) {
      column[1] = {ProcedureItem::kTransition, ListIndexOf(transitions, count, chosen_transition),
                   ScreenText(at.transition_format, chosen_transition.c_str()), at.transition_x, true, at.marker_x};
    }
    return column;
  }
  const int first_row = sub_page == 1 ? 1 : 0;
  for (int r = first_row; r < kProcedureRows; ++r) {
    const int t = FirstTransitionIndex(sub_page) + r - first_row;
    const model::NameIndexEntry* e = Listed(transitions, count, t);
    if (e == nullptr) break;
    column[static_cast<std::size_t>(r)] = {ProcedureItem::kTransition, t, ScreenText(at.transition_format, e->name.c_str()),
                                           at.transition_x, t == marked, at.marker_x};
  }
  return column;
}

// One frame's sub-page of either page: counted (`recount`), stepped by
// PREV / NEXT, the key acted on (`act`) on the sub-page shown, counted again
// (a choice changes the lists). Returns the sub-page to draw.
int RunProcedureSubPages(std::int32_t& sub_page, std::int32_t& count, std::int32_t (*recount)(), void (*act)(int));

// Sub-pages for the longer column, five rows each; always at least one.
std::int32_t ProcedureSubPageCount(int rows);

// Draws the rows that show something, data at 33, 66, ... 165.
void DrawProcedureColumn(CduPage& page, const ProcedureColumn& column);

// The dashed line, "<ERASE" (RouteState 4) or "<INDEX", "ROUTE>", and the
// scratchpad line.
void DrawProcedureBottom(CduPage& page);

// L6: ERASE while a change waits for EXEC, else DEP / ARR INDEX; R6: RTE.
void ActOnProcedureBottom(int key);

}  // namespace ovi::fms
