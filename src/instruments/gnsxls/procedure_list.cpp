#include "src/instruments/gnsxls/procedure_list.h"

#include <algorithm>

#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/procedures.h"

namespace ovi::gnsxls {

int ProcedureFirstEntry(std::int32_t page, int per_page) { return per_page * (page - 1) + 1; }

std::int32_t ProcedurePageCount(int count, int per_page) {
  return std::max(1, (count + per_page - 1) / per_page);
}

namespace {

std::string Padded(const std::string& text, int width) {
  std::string out = text;
  if (static_cast<int>(out.size()) < width) out.append(static_cast<std::size_t>(width) - out.size(), ' ');
  return out;
}

}  // namespace

int DrawProcedureList(GnsPage& page, const ListOnShow& list, std::int32_t page_number, int per_page,
                      std::int32_t field_code, int* highlighted) {
  *highlighted = 0;
  const ListLayout& l = *list.layout;
  const int first = ProcedureFirstEntry(page_number, per_page);
  // A page number the list no longer reaches draws nothing rather than
  // reading past the count.
  if (first < 1) return 0;
  const int chosen = field_code > 0 ? first + field_code - 1 : 0;
  int rows = 0;
  for (int i = first; i < first + per_page && i <= list.count; ++i, ++rows) {
    const bool left = rows < l.rows_per_column;
    const float x = left ? l.left_x : l.right_x;
    const float y = l.first_y + l.pitch * static_cast<float>(left ? rows : rows - l.rows_per_column);
    const std::string stored = list.text(i);
    if (list.role) {
      page.Text(x, y, kWhite, Padded(list.role(i), 3));
      page.Text(x + kRoleWidth, y, kGreen, stored);
    } else if (i == chosen) {
      page.OnBlock(x, y, std::string(l.prefix) + Padded(stored, l.highlight_width) + "?");
      *highlighted = i;
    } else {
      page.Text(x, y, kGreen, std::string(l.prefix) + Padded(stored, l.width));
    }
  }
  return rows;
}

model::AirportProcedureSet& DestinationProcedures() { return navdb::procedure_state.AirportProcedureSets[2]; }

int DrawListOnShow(GnsPage& page, const ListOnShow& list, bool shown, bool preview, std::int32_t page_number,
                   int* highlighted) {
  *highlighted = 0;
  if (!shown) return 0;
  State& s = gnsxls_state;
  const int rows = DrawProcedureList(page, list, page_number, ProcedureRowsPerPage(preview),
                                     preview ? 0 : s.GnsActiveFieldCode, highlighted);
  if (*highlighted > 0) s.NavigatorScratchpad = list.text(*highlighted);
  return rows;
}

void ClearLines(unsigned lines) {
  for (int line = 1; line <= 10; ++line)
    if ((lines & (1u << line)) != 0) SetLineState(line, 0);
}

void PressListKey(const ListKey& k, bool confirms) {
  State& s = gnsxls_state;
  switch (LineState(k.key)) {
    case 0:
      SetLineState(k.key, 1);
      s.GnsActiveFieldCode = k.upper;
      break;
    case 1:
      if (confirms) {
        SetLineState(k.key, 0);
      } else {
        SetLineState(k.key, 2);
        s.GnsActiveFieldCode = k.lower;
      }
      break;
    default:
      SetLineState(k.key, 0);
      s.GnsActiveFieldCode = 0;
      break;
  }
  ClearLines(k.clears);
}

void PressProcedureLineKey(int key, void (*key6)(), void (*key7)(), std::span<const ListKey> list_keys,
                           bool choice_waits) {
  if (key == 6) return key6();
  if (key == 7) return key7();
  for (const ListKey& k : list_keys)
    if (k.key == key) PressListKey(k, (key == 5 || key == 10) && choice_waits);
}

void ListKeyMarkers(GnsPage& page, int rows, std::string_view left, std::string_view right) {
  constexpr int kKeys[] = {3, 4, 5, 8, 9, 10};
  for (int n = 0; n < 6; ++n)
    if (rows >= 2 * n + 1) page.Marker(kKeys[n], kKeys[n] <= 5 ? left : right);
}

namespace {

constexpr float kTitleX = 32.0f;
constexpr float kAirportX = 230.0f;
constexpr int kAirportBlockX = 232;
constexpr float kPageNumberX = 360.0f;
constexpr float kLabelX = 53.0f;
constexpr float kValueX = 292.0f;
constexpr float kFirstRowY = 40.0f;
constexpr float kRowPitch = 40.0f;
constexpr float kPreviewHeaderY = 160.0f;
constexpr float kNotFoundY = 340.0f;
constexpr float kPromptY = 360.0f;
constexpr float kSelectX = 30.0f;
constexpr float kEraseX = 320.0f;
constexpr float kLegendY = 360.0f;

}  // namespace

std::string RunwayChoiceText(const std::string& runway) {
  return runway == model::kNoneText ? runway : "RW" + runway;
}

void DrawProcedureFrame(GnsPage& page, const ProcedureFrame& f) {
  const State& s = gnsxls_state;
  page.Text(kTitleX, kTitleY, kWhite, f.title);
  if (LineState(6) == 1) {
    if (!s.NavigatorScratchpad.empty())
      DrawGnsxlsCursorBlock(kAirportBlockX, 0, page.graphics(), static_cast<int>(s.NavigatorScratchpad.size()));
    page.Text(kAirportX, kTitleY, kBlack, s.NavigatorScratchpad);
  } else {
    page.Text(kAirportX, kTitleY, f.airport_colour, f.airport);
  }
  page.Text(kPageNumberX, kTitleY, kWhite, ScreenText("%d/%d", f.page, f.page_count));
  for (int r = 0; r < 3; ++r) {
    const gfx::ARGB colour = f.rows[r].open ? kYellow : kGreen;
    const float y = kFirstRowY + kRowPitch * static_cast<float>(r);
    page.Text(kLabelX, y, colour, f.rows[r].label);
    page.Text(kValueX, y, colour, f.rows[r].value);
  }
  if (f.preview_header != nullptr) {
    page.Text(kLabelX, kPreviewHeaderY, kWhite, f.preview_header);
    page.Legend(kSelectX, kLegendY, "SELECT", LineState(5) != 0, LineState(5) != 0);
    page.Legend(kEraseX, kLegendY, "ERASE", LineState(10) != 0, LineState(10) != 0);
  }
  const bool no_airport = f.airport == model::kNoneText;
  // An unknown ident typed over a known airport is said too: the entry
  // stays open and would otherwise look as if ENT had not been pressed
  // (not over the preview, whose SELECT stands in its place).
  if (s.GnsAirportNotFound == 1 && (no_airport || (LineState(6) == 1 && f.preview_header == nullptr)))
    page.Text(kLabelX, kNotFoundY, kYellow, "AIRPORT NOT FOUND");
  if (no_airport) page.Text(kLabelX, kPromptY, kWhite, "ENTER AIRPORT ID");
}

}  // namespace ovi::gnsxls
