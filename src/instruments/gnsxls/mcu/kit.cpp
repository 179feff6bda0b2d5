#include "src/instruments/gnsxls/mcu/kit.h"

#include "src/flightplan/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"

namespace ovi::mcu {

namespace {

constexpr float kBoxPenWidth = 2.0f;
constexpr float kUnderlinePenWidth = 2.0f;

}  // namespace

McuPage::McuPage(gfx::Graphics& g)
    : g_(g),
      font_("Courier New", kFontPx, gfx::FontStyleBold, gfx::Unit::Pixel),
      box_pen_(gfx::Color(kGreen), kBoxPenWidth),
      underline_pen_(gfx::Color(kMagenta), kUnderlinePenWidth) {}

void McuPage::Text(float x, float y, gfx::ARGB colour, std::string_view ansi) {
  if (ansi.empty()) return;
  const gfx::SolidBrush* brush = &other_;
  if (colour == kGreen) {
    brush = &green_;
  } else if (colour == kAmber) {
    brush = &amber_;
  } else if (colour == kMagenta) {
    brush = &magenta_;
  } else {
    other_.SetColor(gfx::Color(colour));
  }
  g_.DrawString(ansi, font_, gfx::PointF(x, y), *brush);
}

void McuPage::CursorBox(int x, int y, int w, int h) {
  const gfx::Point corners[] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}};
  g_.DrawLinesI(box_pen_, corners);
}

void McuPage::Underline(int x1, int x2, int y) { g_.DrawLineI(underline_pen_, x1, y, x2, y); }

void McuPage::EntryLine(std::string_view text) {
  std::string line(kPrompt);
  line += text;
  Text(0.0f, kEntryLineY, kGreen, line);
}

const model::FlightPlanWaypoint* ActiveWaypointEntry() {
  const flightplan::State& fp = flightplan::flightplan_state;
  const int act = fp.ActiveWaypointIndex;
  if (act == model::kNoWaypoint || act < 0 || act > fp.ActiveFlightPlanLastIndex) return nullptr;
  return fp.ActiveFlightPlan.At(act);
}

std::string AirportElevationText(const std::string& ident) {
  const navdb::State& nav = navdb::navdb_state;
  if (!ident.empty() && nav.AirportDetailRecord.ident == ident) return nav.AirportDetailsElevationText;
  const int i = navdb::FindAirport(ident);
  if (i >= 1) return std::string(nav.AirportTable[i].airport_text.view());
  return nav.AirportDetailsElevationText;
}

}  // namespace ovi::mcu
