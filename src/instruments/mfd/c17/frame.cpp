// The C-17 MFD's draw entry: slot and working copy, power and blanking,
// background, page geometry and scale, the page routine, and over the
// compass pages the map layers inside the page's outline, the aircraft
// symbol and page 4's arcs and heading readout.
#include <cmath>
#include <optional>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/nav_pages.h"
#include "src/instruments/mfd/c17/page_state.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/model/state.h"

namespace ovi::c17 {

namespace {

struct PageGeometry {
  std::int32_t page;
  std::int32_t radius;
  std::int32_t origin_y;
  bool sets_origin_x;  // the HSI and engine pages place x as well (always 122)
};

constexpr PageGeometry kGeometry[] = {
    {0, 124, 121, true},   {1, 100, 110, false},  {3, 172, 200, false}, {4, 172, 132, false},
    {5, 172, 35, false},   {6, 100, 120, false},  {9, 100, 121, true},  {10, 100, 121, true},
    {11, 100, 121, true},  {12, 100, 121, true},
};
constexpr std::int32_t kOriginX = 122;

bool IsCompassPage(std::int32_t page) { return page >= 3 && page <= 5; }
bool IsMapLayerPage(std::int32_t page) { return page >= 3 && page <= 6; }

// The outline the map layers of a compass page are clipped to, in canvas
// units from the page origin; each figure closes back to its start. The
// map page's is empty: it lays its own layers.
void BuildClipOutline(std::int32_t page, gfx::GraphicsPath& path) {
  switch (page) {
    case 3: {
      path.AddArcI(-172, -172, 344, 344, 225, 91);
      const gfx::Point points[] = {{122, -122}, {122, -90}, {108, -90}, {108, 5}, {-122, 5}, {-122, -122}};
      path.AddLinesI(points, 6);
      path.CloseFigure();
      break;
    }
    case 4: {
      path.AddArcI(-124, -124, 248, 248, 190, 141);
      const gfx::Point points[] = {{108, -60}, {108, 60}, {60, 60},   {60, 95},
                                   {-80, 95},  {-80, 60}, {-122, 60}, {-122, -22}};
      path.AddLinesI(points, 8);
      path.CloseFigure();
      break;
    }
    case 5:
      path.AddLineI(-122, -3, 107, -3);
      path.AddLineI(107, -3, 107, 175);
      path.AddLineI(107, 175, -122, 175);
      path.AddLineI(-122, 175, -122, -5);
      path.CloseFigure();
      break;
    default:
      break;
  }
}

const display::Segment kAircraftSymbol[] = {
    {{0, -5}, {0, 15}},
    {{-7, 0}, {7, 0}},
    {{-4, 10}, {4, 10}},
};

void DrawPage(display::GaugeDisplay& display, gfx::Graphics& g, const display::CanvasScale& scale) {
  const model::State& m = model::model_state;
  const State& s = c17_state;
  display::FillCanvas(g, scale, kC17Canvas,
                      display::BackgroundColour(m.C17MfdBkgrdColorRed, m.C17MfdBkgrdColorGreen,
                                                m.C17MfdBkgrdColorBlue));
  const std::int32_t page = WorkingPage();
  SetC17PageGeometry(page);

  gfx::Pen pen(display::colour::kWhite, 2);
  gfx::Pen second_pen(display::colour::kWhite, 2);
  gfx::GraphicsPath outline;
  BuildClipOutline(page, outline);

  // The texts of a page with a map are weighed as one picture.
  std::optional<display::MapPicture> picture;
  if (IsMapLayerPage(page)) picture.emplace(g);
  if (PageRoutine routine = C17PageRoutine(page); routine != nullptr) routine(display, g);

  const auto x = static_cast<float>(s.C17MfdOriginX), y = static_cast<float>(s.C17MfdOriginY);
  if (IsMapLayerPage(page)) {
    display::UseOrigin(g, scale, x, y);
    g.SetClip(outline, gfx::CombineMode::Replace);
    KeepC17ReadoutsClear(g, page);
    DrawC17MapLayers(display, g);
    g.ResetClip();
    display::UseOrigin(g, scale, x, y);
  }
  if (IsCompassPage(page)) {
    display::DrawSegments(g, pen, kAircraftSymbol);
    ClaimC17Aircraft(g);
  }
  if (page == 4) {
    g.DrawArcI(pen, -124, -124, 248, 248, 211, 120);
    g.DrawArcI(second_pen, -124, -124, 248, 248, 200, 11);
    g.DrawArcI(second_pen, -62, -62, 124, 124, 202, 350);
    // Once, after the layers, so the readout stays over the map.
    DrawC17HeadingBox(display, g);
  }
}

}  // namespace

void SetC17PageGeometry(std::int32_t page) {
  State& s = c17_state;
  for (const PageGeometry& row : kGeometry) {
    if (row.page != page) continue;
    s.C17MfdMapRadius = row.radius;
    s.C17MfdOriginY = row.origin_y;
    if (row.sets_origin_x) s.C17MfdOriginX = kOriginX;
    break;
  }
  const double range = model::model_state.C17MfdMapRange;
  display::display_state.MapPixelsPerNm =
      std::isfinite(range) && range > 0.0 ? static_cast<double>(s.C17MfdMapRadius) / range : 0.0;
}

PageRoutine C17PageRoutine(std::int32_t page) {
  switch (page) {
    case 0: return DrawC17HsiPage;
    case 1: return DrawC17PrimaryFlightPage;
    case 3: return DrawC17NavPage3;
    case 4: return DrawC17NavPage4;
    case 5: return DrawC17NavPage5;
    case 6: return DrawC17MapPage;
    case 9: return DrawC17EnginePage;
    case 10: return DrawC17EngineDetailPage;
    case 11: return DrawC17EngineOilPage;
    case 12: return DrawC17ConfigPage;
    default: return nullptr;
  }
}

void DrawC17Mfd(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int number) {
  LoadSlot(number);
  if (dc == nullptr) return;
  display.width = size != nullptr ? size->x : dc->width;
  display.height = size != nullptr ? size->y : dc->height;

  gfx::Graphics g(dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  // Off or blank: the slot keeps what a mailbox set meanwhile.
  if (guidance::guidance_state.DisplayPower == 0 || number == 0) {
    g.Clear(display::colour::kTransparent);
    return;
  }
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const display::CanvasScale scale = display::ScaleToSurface(kC17Canvas, display.width, display.height);
  if (scale.usable) DrawPage(display, g, scale);
  SaveSlot(number);
}

}  // namespace ovi::c17
