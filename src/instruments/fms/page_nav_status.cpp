// NAV STATUS and NAV OPTIONS (page 31, sub-pages 1 and 2): the stations the
// two navigation radios have tuned and the eight closest stations; the
// inhibit and update options, placeholders only. No scratchpad line.
#include <array>
#include <cstdint>
#include <string>

#include "src/flightplan/nearest_navaids.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/nav_status.h"
#include "src/instruments/fms/pages.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::fms {

namespace {

constexpr int kStationsShown = 8;
constexpr double kEmptyPlace = 9999.0;  // FindNearestNavaids' distance of an empty place
constexpr float kColumnFontPx = 14.0f;
constexpr float kStationLineY[] = {80.0f, 100.0f, 120.0f, 140.0f};

std::int32_t& SubPage() { return model::model_state.FmsSubPageTable.NavStatusSubPage; }
std::int32_t SubPageCount() { return model::model_state.FmsSubPageTable.NavStatusSubPageCount; }

// A frequency in MHz from the radio's binary-coded-decimal word: its digits
// read as a decimal number, in hundredths above 100 MHz (0x1090 is 110.90).
double RadioFrequency(std::uint32_t bcd) {
  return host::ConvertDigitsBase(static_cast<std::int32_t>(bcd & 0xFFFFu), 16, 10) * 0.01 + 100.0;
}

std::string RadioIdent(std::string ident, double signal) { return signal > 0.0 ? ident : std::string(); }

struct Station {
  std::string ident;
  std::string frequency;
};

// The closest filled places, nearest first: FindNearestNavaids keeps them
// farthest first, empty places leading, so they are read from the end.
std::array<Station, kStationsShown> ClosestStations() {
  std::array<Station, kStationsShown> shown;
  const auto& list = flightplan::flightplan_state.ClosestNavaidList;
  int n = 0;
  for (int i = flightplan::kClosestNavaidCount; i >= 1 && n < kStationsShown; --i) {
    const model::NavDbRecord& place = list[i];
    if (!(place.distance < kEmptyPlace) || place.ident.empty()) continue;
    shown[n++] = {std::string(place.ident), std::string(place.frequency_text)};
  }
  return shown;
}

void DrawNavStatus(CduPage& page, const gfx::Font& column) {
  page.Large(63, kTitleY, "NAV  STATUS");
  page.Small(30, 22, "V O R - L                       V O R - R");
  page.Text(0, 44, column,
            ScreenText("%-5.5s %-3.2f       %-5.5s %-3.2f",
                       RadioIdent(host::ReadNav1StationIdent(), host::GetNav1Signal()).c_str(),
                       RadioFrequency(host::ReadNav1ActiveFrequencyBcd()),
                       RadioIdent(host::ReadNav2StationIdent(), host::GetNav2Signal()).c_str(),
                       RadioFrequency(host::ReadNav2ActiveFrequencyBcd())));
  page.Small(30, 66, "D M E - L                        D M E - R");
  const std::array<Station, kStationsShown> stations = ClosestStations();
  for (int line = 0; line < kStationsShown / 2; ++line) {
    const Station& left = stations[2 * line];
    const Station& right = stations[2 * line + 1];
    page.Text(0, kStationLineY[line], column,
              ScreenText("%-5.5s %6.6s       %-5.5s %6.6s", left.ident.c_str(), left.frequency.c_str(),
                         right.ident.c_str(), right.frequency.c_str()));
  }
  page.Small(160, 175, "I R S    ( L )");
  page.Large(160, kPromptY, "POS  SHIFT >");
}

void DrawNavOptions(CduPage& page) {
  page.Large(63, kTitleY, "NAV  OPTIONS");
  page.Small(80, 22, "D M E    I N H I B I T");
  page.Large(0, 33, "- - - -");
  page.Large(220, 33, "- - - -");
  page.Small(80, 55, "V O R    I N H I B I T");
  page.Large(0, 66, "- - - -");
  page.Large(220, 66, "- - - -");
  page.Small(12, 88, "D M E    U P D A T E");
  page.Large(0, 99, "<ON/OFF");
  page.Small(12, 121, "V O R    U P D A T E");
  page.Large(0, 133, "<ON/OFF");
}

void OpenPosShift() {
  OpenPage(kPagePosition);
  model::model_state.FmsSubPageTable.PosSubPage = 3;
}

constexpr KeyAction kStatusKeys[] = {
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
    {kR6, OpenPosShift},
};

constexpr KeyAction kOptionsKeys[] = {
    {kL6, [] { OpenPage(kPageInitRefIndex); }},
};

}  // namespace

void RefreshClosestStations() {
  const guidance::State& g = guidance::guidance_state;
  navdb::FilterNearNavaids(g.PlaneLatitude, g.PlaneLongitude);
  navdb::FilterMapNavaids(g.PlaneLatitude, g.PlaneLongitude);
  flightplan::FindNearestNavaids();
}

void FmsPageNavStatus(display::GaugeDisplay& display, gfx::Graphics& g) {
  CduPage page(display, g);
  const State& s = fms_state;
  // Only NEXT PAGE wrapping back to the first sub-page brings the list up to
  // date (PREV is tested first and wins a frame with both).
  const bool refresh = s.FmsPrevPageKey != 1 && s.FmsNextPageKey == 1 && SubPage() >= SubPageCount();
  StepSubPage(SubPage(), SubPageCount());
  if (refresh) RefreshClosestStations();
  page.Small(220, 5, ScreenText("%d / %d", SubPage(), SubPageCount()));
  gfx::Font column("Courier New", kColumnFontPx, gfx::FontStyleBold, gfx::Unit::Pixel);
  if (SubPage() == 1) {
    RunKeyAction(kStatusKeys);
    DrawNavStatus(page, column);
  } else {
    RunKeyAction(kOptionsKeys);
    if (SubPage() == 2) DrawNavOptions(page);
  }
  page.Large(0, kPromptY, "< INDEX");
}

}  // namespace ovi::fms
