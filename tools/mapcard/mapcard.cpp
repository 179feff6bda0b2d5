#include "tools/mapcard/mapcard.h"

#include <string>

#include "platform/gfx/graphics.h"
#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/guidance/state.h"
#include "src/model/state.h"
#include "src/navdb/state.h"
#include "src/util/text.h"
#include "tools/mapcard/scene.h"

namespace ovi::mapcard {

namespace {

using display::DrawMapSymbol;

constexpr gfx::ARGB kCaption = 0xFF8C8C96;
constexpr gfx::ARGB kFrame = 0xFF3C3C46;
constexpr gfx::ARGB kBackground = 0xFF101014;

void Caption(gfx::Graphics& g, const std::string& text, float x, float y, float size = 11) {
  gfx::Font font("Arial", size, gfx::FontStyleRegular, gfx::Unit::Pixel);
  gfx::SolidBrush brush(kCaption);
  g.DrawString(text, font, gfx::PointF(x, y), brush);
}

// One cell of the symbol sheet: the symbol at (x, y) and its caption below.
struct Cell {
  std::uint32_t code;
  std::int32_t trend;
  double scale;
  std::uint32_t style;
  double value;
  const char* note;
};

void DrawSymbolSheet(gfx::Graphics& g) {
  Caption(g, "Map symbols: code / style (trend), scalable ones at scale 2", 16, 10, 14);
  const std::vector<std::vector<Cell>> rows = {
      {{1, 0, 2, 0, 0, ""}, {1, 0, 2, 1, 0, ""}, {1, 0, 2, 3, 0, ""}, {2, 0, 2, 1, 0, ""}, {2, 0, 2, 3, 0, ""},
       {3, 0, 2, 0, 0, ""}, {3, 0, 2, 1, 0, ""}, {3, 0, 2, 4, 0, ""}},
      {{4, 0, 2, 0, 0, ""}, {4, 0, 2, 1, 0, ""}, {4, 0, 2, 5, 0, ""}, {5, 0, 2, 0, 0, ""}, {5, 0, 2, 1, 0, ""},
       {5, 0, 2, 5, 0, ""}, {11, 0, 1, 0, 0, ""}, {12, 0, 1, 0, 0, ""}},
      {{20, 0, 2, 0, 0, ""}, {20, 0, 2, 1, 0, ""}, {20, 0, 2, 3, 0, ""}, {20, 0, 2, 4, 0, ""}, {20, 0, 2, 5, 0, ""},
       {21, 0, 2, 0, 0, ""}, {21, 0, 2, 4, 0, ""}, {50, 0, 1, 0, 0, "arc"}},
      {{30, 0, 1, 0, 12.5, "12.5"}, {30, 0, 1, 0, 40, "40"}, {31, 0, 1, 0, 0, "TCAS"}, {40, 0, 1, 0, 0, "hdg 0"},
       {40, 0, 1, 0, 5, "hdg 5"}, {74, 0, 2, 0, 0, ""}, {74, 0, 2, 3, 0, ""}, {75, 0, 2, 0, 0, ""}},
      {{76, 0, 2, 0, 0, ""}, {60, 1, 1, 0, 0, ""}, {60, 2, 1, 2, 0, ""}, {61, 0, 1, 0, 0, ""}, {61, 1, 1, 2, 0, ""},
       {62, 1, 1, 5, 0, ""}, {62, 2, 1, 5, 0, ""}, {63, 1, 1, 5, 0, ""}},
      {{63, 2, 1, 5, 0, ""}, {70, 1, 1, 0, 0, ""}, {70, 2, 1, 2, 0, ""}, {71, 2, 1, 0, 0, ""}, {71, 1, 1, 2, 0, ""},
       {72, 1, 1, 5, 0, ""}, {73, 2, 1, 5, 0, ""}, {73, 0, 1, 5, 0, ""}},
  };
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const Cell& cell = rows[r][c];
      const double x = 40 + static_cast<double>(c) * 60, y = 60 + static_cast<double>(r) * 110;
      // The heading box prints the aircraft heading; the large aircraft
      // symbol turns yellow on the P1000's centred map.
      if (cell.code == 40) guidance::guidance_state.AircraftHeading = cell.value;
      gfx::Graphics cellg(g.GetDeviceContext());
      cellg.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
      cellg.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
      const double left = cell.code == 30 || cell.code == 31 || cell.code == 40 ? x - 14 : x;
      DrawMapSymbol(cellg, left, y, cell.code, cell.trend, cell.scale, cell.scale, cell.style, cell.value);
      std::string caption = util::Format("%u/%u", cell.code, cell.style);
      if (cell.trend != 0) caption += cell.trend == 1 ? " ^" : " v";
      Caption(g, caption, static_cast<float>(x - 14), static_cast<float>(y + 44));
      if (*cell.note != '\0') Caption(g, cell.note, static_cast<float>(x - 14), static_cast<float>(y + 57));
    }
  }
  model::model_state.P1000MapFormat = 1;
  DrawMapSymbol(g, 40 + 8 * 60 - 30, 60 + 2 * 110 + 60, 50, 0, 1, 1, 0, 0);
  Caption(g, "50 centred", 40 + 8 * 60 - 50, 60 + 2 * 110 + 92);
  model::model_state.P1000MapFormat = 0;
}

// A map panel: frame, title, range ring and the own-aircraft symbol; the
// caller's overlay draws inside the clip.
struct Panel {
  int x, y, size;
  int cx() const { return x + size / 2; }
  int cy() const { return y + size / 2; }
  int radius() const { return size / 2 - 10; }
};

template <typename Draw>
void DrawPanel(gfx::DeviceContext& dc, const Panel& p, const std::string& title, Draw&& draw) {
  {
    gfx::Graphics g(&dc);
    gfx::Pen frame(kFrame, 1);
    g.DrawRectangleI(frame, p.x, p.y, p.size, p.size);
    Caption(g, title, static_cast<float>(p.x + 4), static_cast<float>(p.y + p.size + 4), 12);
  }
  gfx::Graphics g(&dc);
  BeginMap(g, p.cx(), p.cy(), p.radius());
  gfx::Pen ring(kFrame, 1);
  g.DrawEllipseI(ring, p.cx() - p.radius(), p.cy() - p.radius(), 2 * p.radius(), 2 * p.radius());
  draw(g);
  g.ResetClip();
  DrawMapSymbol(g, p.cx(), p.cy() - 12, display::kSymbolOwnAircraftLarge, 0, 1, 1, 0, 0);
}

}  // namespace

void DrawMapCard(gfx::DeviceContext& dc) {
  {
    gfx::Graphics g(&dc);
    g.Clear(gfx::Color(kBackground));
    g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
    Scene scene(0, 0, 0);
    DrawSymbolSheet(g);
  }
  Scene scene(12, 48, 0);
  guidance::State& gs = guidance::guidance_state;
  constexpr int kSize = 320, kStep = 350, kRow = 360;
  auto at = [](int col, int row) { return Panel{540 + col * kStep, 40 + row * kRow, kSize}; };
  const int r = at(0, 0).radius();

  // Runways north up, seen from the airport's reference point.
  const double plane_lat = gs.PlaneLatitude, plane_lon = gs.PlaneLongitude, heading = gs.MapHeading;
  gs.PlaneLatitude = kAirportLat;
  gs.PlaneLongitude = kAirportLon;
  gs.MapHeading = 0;
  for (auto [col, range] : {std::pair{0, 2.5}, {1, 0.5}}) {
    const Panel p = at(col, 0);
    DrawPanel(dc, p, util::Format("Runways, 16R selected, north up, %.1f NM", range), [&](gfx::Graphics& g) {
      scene.ResetRunways();
      display::DrawAirportRunways(g, r, p.cx(), p.cy(), range);
    });
  }
  gs.PlaneLatitude = plane_lat;
  gs.PlaneLongitude = plane_lon;
  gs.MapHeading = heading;

  const Panel pattern = at(2, 0);
  DrawPanel(dc, pattern, "Approach pattern 16R (right), 15 NM out, 20 NM", [&](gfx::Graphics& g) {
    scene.ResetRunways();
    display::DrawAirportRunways(g, r, pattern.cx(), pattern.cy(), 20);
    display::DrawApproachPattern(g, r, pattern.cx(), pattern.cy(), 20, 1, 1);
  });
  const Panel boundaries = at(0, 1);
  DrawPanel(dc, boundaries, "ATC boundaries, 160 NM", [&](gfx::Graphics& g) {
    display::DrawAtcBoundaries(g, r, boundaries.cx(), boundaries.cy(), 160, gs.MapHeading);
  });
  const Panel traffic = at(1, 1);
  DrawPanel(dc, traffic, "Traffic: MD-11 (large), P1000 (small), 10 NM", [&](gfx::Graphics& g) {
    scene.PublishTraffic(0);
    display::DrawProviderTraffic(g, r, 10, traffic.cx(), traffic.cy(), display::kDisplayMd11);
    scene.PublishTraffic(1);
    display::DrawProviderTraffic(g, r, 10, traffic.cx(), traffic.cy(), display::kDisplayP1000);
  });

  // The vertical path seen 110 NM out, before the top of climb at 95 NM:
  // the floating top of descent 52.5 NM before the 3000 ft constraint.
  ScenePlaneOnRoute(110);
  struct Markers {
    int col, row;
    std::int32_t kind;
    int vnav;
    const char* title;
  };
  for (const Markers& m : {Markers{2, 1, display::kDisplayP1000, 1, "Markers: P1000, VNAV on, 160 NM"},
                           Markers{0, 2, display::kDisplayB737, 0, "Markers: B737 (floating option on), 160 NM"},
                           Markers{1, 2, display::kDisplayMd11, 0, "Markers: MD-11 (floating option on), 160 NM"},
                           Markers{2, 2, display::kDisplayEfs50, 0, "Markers: EFS 50, VNAV off, 160 NM"}}) {
    const Panel p = at(m.col, m.row);
    gs.VnavEngaged = m.vnav;
    DrawPanel(dc, p, m.title, [&](gfx::Graphics& g) {
      display::DrawTodTocMarkers(g, r, 160, p.cx(), p.cy(), m.kind, 1, 1, gs.PlaneLatitude, gs.PlaneLongitude,
                                 gs.MapHeading);
    });
  }
}

}  // namespace ovi::mapcard
