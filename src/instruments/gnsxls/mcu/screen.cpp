#include "src/instruments/gnsxls/mcu/screen.h"

#include <array>

#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/mcu/pages.h"
#include "src/instruments/gnsxls/mcu/state.h"
#include "src/instruments/gnsxls/state.h"

namespace ovi::mcu {

namespace {

// The area a full repaint blackens: beyond the canvas on both sides, so no
// edge of the previous picture stays whatever the scale rounds to.
constexpr float kFullWidth = 250.0f;
constexpr float kFullHeight = 85.0f;

// The entry line's band while the PC keyboard types into the MCU.
constexpr gfx::PointF kKeyboardBandCorners[] = {{0, 61}, {236, 61}, {236, 74}, {0, 74}};

constexpr int kLastPage = kPageAltitude;
using PageTable = std::array<PageEntry, kLastPage + 1>;

constexpr PageTable MakePageTable() {
  PageTable t{};
  t[kPageFlightPlan] = {DrawMcuFlightPlanPage, false};
  t[kPageAirport] = {DrawMcuAirportPage, false};
  t[kPageStatus] = {DrawMcuStatusPage, true};
  t[kPageLegs] = {DrawMcuLegsPage, false};
  t[kPageDirectTo] = {DrawMcuDirectToPage, false};
  t[kPageAltitude] = {DrawMcuAltitudePage, false};
  return t;
}

constexpr PageTable kPages = MakePageTable();

// The drawing layer refuses a scale of 0; an empty surface draws nothing
// anyway, so any positive factor does.
float ScaleFactor(int pixels, float logical) { return pixels > 0 ? static_cast<float>(pixels) / logical : 1.0f; }

void EndFrameEvents() {
  State& m = mcu_state;
  gnsxls::gnsxls_state.McuPageEntered = 0;
  m.McuUpPressed = 0;
  m.McuDownPressed = 0;
  m.McuFlightPlanRescan = 0;
  m.McuPageUpPressed = 0;
  m.McuPageDownPressed = 0;
  m.McuLineSelectKey = 0;
}

}  // namespace

PageEntry PageEntryOf(int page) {
  if (page < 0 || page > kLastPage) return {};
  return kPages[static_cast<std::size_t>(page)];
}

bool StatusValuesChanged() {
  const guidance::State& g = guidance::guidance_state;
  return g.SavedDesiredTrack != g.DesiredTrack || g.SavedActiveWaypointDistance != g.ActiveWaypointDistance ||
         g.SavedMinutesToActiveWaypoint != g.MinutesToActiveWaypoint ||
         g.SavedRealMinutesToActiveWaypoint != g.RealMinutesToActiveWaypoint ||
         g.PrevTodEteMinutes != g.TodEteMinutes;
}

void DrawMcuScreen(display::GaugeDisplay& display, gfx::DeviceContext* dc, int width, int height) {
  if (dc == nullptr) return;
  display.width = width;
  display.height = height;
  gfx::Graphics g(dc);
  const guidance::State& guidance = guidance::guidance_state;
  if (guidance.DisplayPower == 0) {
    g.Clear(gfx::Color(display::colour::kTransparent));
    return;
  }
  State& m = mcu_state;
  gnsxls::State& s = gnsxls::gnsxls_state;
  std::int32_t& loaded = flightplan::flightplan_state.McuFlightPlanLoaded;

  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  const gfx::SolidBrush band{gfx::Color(kKeyboardBand)};
  const gfx::Pen band_pen{gfx::Color(kKeyboardBand), 1.0f};
  const gfx::SolidBrush black{gfx::Color(kBlack)};
  g.ScaleTransform(ScaleFactor(width, kCanvasWidth), ScaleFactor(height, kCanvasHeight));

  if (m.McuPage == kPageStatus && StatusValuesChanged()) s.McuRedrawRequest = 1;
  const bool full = guidance.DisplayRefreshCounter == 0 || s.McuRedrawRequest == 1;
  if (full) {
    g.FillRectangle(black, 0.0f, 0.0f, kFullWidth, kFullHeight);
    if (s.McuKeyboardEntryActive == 1) {
      g.FillPolygon(band, kKeyboardBandCorners);
      g.DrawPolygon(band_pen, kKeyboardBandCorners);
    }
  }

  // A plan just loaded: the APT page takes the airport the loader left in
  // the entry text, and the status page follows. The frame's repaint was
  // decided before the load was seen; the APT page runs all the same (it
  // draws nothing while the load is pending).
  if (loaded == 1) {
    m.McuPage = kPageAirport;
    s.McuPageEntered = 1;
    s.McuRedrawRequest = 1;
  }
  const PageEntry page = PageEntryOf(m.McuPage);
  if (page.draw != nullptr) {
    McuFrame frame{g, full || s.McuRedrawRequest == 1};
    if (frame.full || (page.band_repaint && s.McuStatusRedraw == 1)) page.draw(frame);
  }
  if (loaded == 1) m.McuPage = kPageStatus;

  EndFrameEvents();
  if (loaded != 0) {
    // The next frame repaints again, with the status page.
    loaded = 0;
  } else {
    s.McuRedrawRequest = 0;
  }
}

}  // namespace ovi::mcu
