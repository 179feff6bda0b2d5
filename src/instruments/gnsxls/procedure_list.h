// What DEPARTURE, ARRIVAL and APCH share: pick lists of twelve entries a
// page in two columns of six (a preview of eight legs in two columns of
// four), the entry highlighted by the active field code and copied into the
// entry line, and the list keys that step a line through its two rows. The
// pages differ only by the data they pass in.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>

#include "src/instruments/gnsxls/kit.h"
#include "src/model/records.h"

namespace ovi::gnsxls {

inline constexpr int kProcedureListRows = 12;
inline constexpr int kProcedurePreviewRows = 8;

// The first entry of a 1-based page of `per_page` entries. Lists longer
// than a handful of pages keep the same rule: nothing caps the page.
int ProcedureFirstEntry(std::int32_t page, int per_page);
// ceil(count / per_page), at least 1.
std::int32_t ProcedurePageCount(int count, int per_page);

// How one list is drawn: `prefix` then the entry's text padded to `width`
// characters (0: as stored); the highlighted entry adds "?" on a block.
struct ListLayout {
  float left_x, right_x;
  float first_y, pitch;
  int rows_per_column;
  const char* prefix;
  int width;
  int highlight_width;
};
// What the three procedure pages share: the runway list and the preview of
// legs.
inline constexpr ListLayout kRunwayListLayout{30.0f, 292.0f, 160.0f, 40.0f, 6, "RW", 3, 3};
inline constexpr ListLayout kPreviewLayout{30.0f, 292.0f, 200.0f, 40.0f, 4, "", 0, 0};
// ARRIVAL's and APCH's lists of names (STARs, approach types) and of
// transitions.
inline constexpr ListLayout kArrivalNameListLayout{30.0f, 292.0f, 160.0f, 40.0f, 6, "", 0, 6};
inline constexpr ListLayout kArrivalTransitionListLayout{30.0f, 292.0f, 160.0f, 40.0f, 6, "", 5, 5};

// The destination's procedures, which ARRIVAL and APCH list.
model::AirportProcedureSet& DestinationProcedures();

// One list on show: its count and each entry's stored text (1..count).
// `role`, when given, is drawn "%-3s" in white before each row, the text
// then standing kRoleWidth further right (the approach's legs).
struct ListOnShow {
  const ListLayout* layout;
  int count;
  std::function<std::string(int)> text;
  std::function<std::string(int)> role = nullptr;
};
inline constexpr float kRoleWidth = 80.0f;

// Draws the rows of `page` (within the list's count) and returns how many
// it drew. The entry of `field_code` on this page, when it exists, is drawn
// highlighted and its number returned in `*highlighted` (0: none).
int DrawProcedureList(GnsPage& page, const ListOnShow& list, std::int32_t page_number, int per_page,
                      std::int32_t field_code, int* highlighted);

// The entries a page of the list holds: the preview's legs by eight, a
// list's entries by twelve.
inline int ProcedureRowsPerPage(bool preview) { return preview ? kProcedurePreviewRows : kProcedureListRows; }

// The list a procedure page shows, when it shows one (`shown`): its rows on
// page `page_number`, the entry of the active field code highlighted (none
// on the preview) and put on the entry line. Returns the rows drawn, and
// the highlighted entry's number in `*highlighted` (0: none).
int DrawListOnShow(GnsPage& page, const ListOnShow& list, bool shown, bool preview, std::int32_t page_number,
                   int* highlighted);

// A list key (3, 4, 5, 8, 9, 10): its line steps 0 -> 1 -> 2 -> 0 with the
// field codes `upper`, `lower`, 0; a key that confirms (5 and 10 while a
// choice waits) goes from 1 straight back to 0 with the code unchanged.
// `clears` are the other lines it closes (bit n = line n).
struct ListKey {
  int key;
  int upper, lower;
  unsigned clears;
};
void PressListKey(const ListKey& k, bool confirms);

// Bits of lines for ListKey::clears.
constexpr unsigned Lines(std::initializer_list<int> lines) {
  unsigned bits = 0;
  for (int l : lines) bits |= 1u << l;
  return bits;
}
void ClearLines(unsigned lines);

// The list keys of ARRIVAL and APCH: each closes the other five list lines
// only (DEPARTURE's close the lines above them too).
inline constexpr unsigned kListLines = Lines({3, 4, 5, 8, 9, 10});
inline constexpr ListKey kKeysClosingListLines[] = {
    {3, 1, 2, kListLines & ~Lines({3})},  {4, 3, 4, kListLines & ~Lines({4})},
    {5, 5, 6, kListLines & ~Lines({5})},  {8, 7, 8, kListLines & ~Lines({8})},
    {9, 9, 10, kListLines & ~Lines({9})}, {10, 11, 12, kListLines & ~Lines({10})},
};

// The line key of a frame on a procedure page: 6 and 7 by the page's own
// routines, the list keys by their table; 5 and 10 confirm while a choice
// waits. Keys 1 and 2 do nothing.
void PressProcedureLineKey(int key, void (*key6)(), void (*key7)(), std::span<const ListKey> list_keys,
                           bool choice_waits);

// The marker of each list key shown while a list of `rows` drawn rows is
// open: key 3 from the first row, 4 from the third, 5 from the fifth, 8
// from the seventh, 9 from the ninth, 10 from the eleventh; `left` and
// `right` are the texts of the two columns' keys.
void ListKeyMarkers(GnsPage& page, int rows, std::string_view left, std::string_view right);

// ---- the frame the three pages share ----------------------------------------

// One of the three rows of choices: label at x 53, value at x 292, yellow
// while its list is open.
struct ChoiceRow {
  const char* label;
  std::string value;
  bool open;
};

struct ProcedureFrame {
  const char* title;
  const std::string& airport;  // "------" when none
  gfx::ARGB airport_colour;
  std::int32_t page, page_count;
  ChoiceRow rows[3];
  const char* preview_header;  // shown with SELECT and ERASE; null: no preview
};

// Title, the airport (the entry on its block while line 6 is 1), the page
// number, the three rows, the preview's header and legends, and the airport
// prompt with "AIRPORT NOT FOUND" while no airport is known.
void DrawProcedureFrame(GnsPage& page, const ProcedureFrame& f);

// A runway choice as its row shows it: "RW16L", or the none text alone.
std::string RunwayChoiceText(const std::string& runway);

}  // namespace ovi::gnsxls
