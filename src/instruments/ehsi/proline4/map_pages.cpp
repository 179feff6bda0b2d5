// The map page (mode 2: a north-up map of radius 70 under the flight-plan
// data window) and the arc map page (mode 3: a heading-up map under a
// compass arc about (123, 220)). Both draw the header line, the data window
// and the wind, and hand the map contents to DrawProline4MapLayers in the
// middle of their own drawing.
#include <array>
#include <cmath>

#include "src/display/kit.h"
#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/model/state.h"

namespace ovi::ehsi {

namespace {

using display::DrawScreenText;
using display::DrawMapTextF;
using display::DrawScreenTextF;
using display::FiniteOr;
using display::colour::kMagenta;
using display::colour::kWhite;
using gfx::Point;

const guidance::State& G() { return guidance::guidance_state; }

// The UTC value stands at 21, clear of "UTC" (21 units wide in the 9-unit
// font), on both map pages; SAT and TAT at the arc map page's places.
constexpr Proline4Header kMapHeader{.wx_font = display::ArialBold,
                                    .wx_size = 11.0f,
                                    .font = display::ArialBold,
                                    .utc_value_x = 21.0f,
                                    .sat_value_x = 186.0f,
                                    .tat_value_x = 226.0f,
                                    .y = 9.0f};
constexpr Proline4Header kArcMapHeader{.wx_font = display::ArialBold,
                                       .wx_size = 11.0f,
                                       .font = display::ArialBold,
                                       .utc_value_x = 21.0f,
                                       .sat_value_x = 186.0f,
                                       .tat_value_x = 226.0f,
                                       .y = 10.0f};

constexpr std::array<float, 4> kMapRows{22.0f, 31.0f, 40.0f, 49.0f};
constexpr std::array<float, 4> kArcMapRows{20.0f, 30.0f, 40.0f, 50.0f};

constexpr int kOuterRing = 140;
constexpr int kInnerRing = 70;

// The arc HSI's scale on this page's centre, labelled in DA Rered 11.
constexpr CompassScale kArcMapScale{.step = 5,
                                    .major_every = 10,
                                    .label_every = 30,
                                    .tick_radius = kOuterRing,
                                    .minor_outer = 144,
                                    .major_outer = 148,
                                    .window = 60.0,
                                    .font = display::DaReredBold,
                                    .font_size = 11.0f,
                                    .label_x_one_digit = -5.0f,
                                    .label_x_two_digits = -8.0f,
                                    .label_y = -160.0f,
                                    .upright_radius = 0.0f};

constexpr Point kBug[] = {{0, -140},  {10, -140},  {10, -145}, {5, -145}, {0, -140},
                          {-5, -145}, {-10, -145}, {-10, -140}, {0, -140}};
constexpr Segment kBugLine[] = {{{0, 0}, {0, -140}}};
// Only the bug, track marker and aircraft of the HSI page's table are drawn
// on the arc map page.
constexpr Proline4HsiPage kArcMapPage{
    .centre_y = kProline4ArcMapY,
    .header = kArcMapHeader,
    .source = {},
    .readout_box_y = 0.0f,
    .readout_text_y = 0.0f,
    .bearings_first = false,
    .course = {.dots = {}, .dot_diameter = 0, .arrow = {}, .bar_top = 0, .bar_bottom = 0, .bar_per_needle = 0.0,
               .to_head = {}, .from_head = {}},
    .bar_per_needle = 0.0,
    .first = {},
    .second = {},
    .legend_font = display::DaReredBold,
    .bug_readout_at = {46.0f, 61.0f},
    .bug_readout_font = display::ArialBold,
    .bug = kBug,
    .bug_line = kBugLine,
    .track_corner = {-3, -145},
};

constexpr Segment kWindArrowLines[] = {
    {{0, -10}, {-3, -6}}, {{0, -10}, {3, -6}}, {{0, 0}, {0, -10}}, {{0, 0}, {0, 10}}};
constexpr Shape kWindArrow{kWhite, 2.0f, kWindArrowLines, {}};

// The arrow points where the wind blows to, on the heading-up picture (the
// map page turns it against the heading too).
void DrawWindArrow(const display::CanvasScale& scale, gfx::Graphics& g) {
  const double speed = FiniteOr(G().WindSpeed);
  if (!(speed >= 1.0)) return;
  double to = FiniteOr(G().WindDirectionMagnetic) + 180.0;
  if (to > 360.0) to -= 360.0;
  display::UseOrigin(g, scale, 20.0f, 90.0f, to - FiniteOr(G().AircraftHeading));
  DrawShape(g, kWindArrow);
}

}  // namespace

void DrawProline4MapPage(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const RoseFrame f = Proline4Frame(display, g, kProline4MapY);
  DrawProline4Header(g, f.scale, kMapHeader, host::GetSimToken350());
  DrawProline4DataWindow(g, f.scale, kMapRows);
  const gfx::SolidBrush white(kWhite);
  display::UseCanvas(g, f.scale);
  DrawScreenTextF(g, display::DaReredBold(11.0f), white, 0.0f, 58.0f, "%03.0f / %-2.0f",
                  FiniteOr(G().WindDirectionMagnetic), FiniteOr(G().WindSpeed));

  // The ring is a circle of radius 75 centred 5 units right of and below
  // the map centre (a box 150 wide from (-70, -70)): kept as the page has
  // always drawn it.
  f.At();
  g.DrawEllipseI(gfx::Pen(kWhite, 2.0f), -70, -70, 150, 150);
  const double range = FiniteOr(model::model_state.Proline4MapRange);
  DrawMapTextF(g, display::MapRank::kRangeFigure, display::ArialBold(11.0f), white, range >= 100.0 ? -10.0f : -7.0f,
               -70.0f, "%-3.0f", range);

  DrawProline4MapLayers(display, g, variant);

  display::UseCanvas(g, f.scale);
  DrawScreenText(g, display::ArialBold(13.0f), white, 118.0f, 70.0f, "N");
  DrawWindArrow(f.scale, g);
}

void DrawProline4ArcMapPage(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const RoseFrame f = Proline4Frame(display, g, kProline4ArcMapY);
  DrawProline4Header(g, f.scale, kArcMapHeader, host::GetSimToken350());
  DrawProline4DataWindow(g, f.scale, kArcMapRows);
  const gfx::SolidBrush white(kWhite);
  const gfx::Font rered = display::DaReredBold(11.0f);
  display::UseCanvas(g, f.scale);
  DrawScreenTextF(g, rered, white, 0.0f, 60.0f, "%03.0f/%-2.0f", FiniteOr(G().WindDirectionMagnetic),
                  FiniteOr(G().WindSpeed));

  // Rings of fixed size whatever the radius: the inner one leaves a gap
  // from 190 to 200 degrees for the half-range label.
  f.At();
  const gfx::Pen pen(kWhite, 2.0f);
  g.DrawArcI(pen, -kOuterRing, -kOuterRing, 2 * kOuterRing, 2 * kOuterRing, 360.0f, 360.0f);
  g.DrawArcI(pen, -kInnerRing, -kInnerRing, 2 * kInnerRing, 2 * kInnerRing, 200.0f, 350.0f);
  const model::State& m = model::model_state;
  const double range = FiniteOr(m.Proline4MapRange);
  DrawMapTextF(g, display::MapRank::kRangeFigure, rered, white, -125.0f, -65.0f, "%-3.0f", range);
  if (range == 5.0)
    DrawMapTextF(g, display::MapRank::kRangeFigure, rered, white, -85.0f, -25.0f, "%3.1f", range / 2.0);
  else
    DrawMapTextF(g, display::MapRank::kRangeFigure, rered, white, -85.0f, -25.0f, "%3.0f", range / 2.0);

  // Twelve ticks across the inner ring, none at the bottom three places,
  // and at 20 NM and less short marks 1.5 to 2 NM out at all twelve.
  const double radius = static_cast<double>(m.Proline4MapRadius);
  const bool scale_known = range > 0.0 && std::isfinite(radius / range);
  if (scale_known) display::display_state.MapPixelsPerNm = radius / range;
  const double pixels_per_nm = scale_known ? radius / range : 0.0;
  for (int a = 0; a < 360; a += 30) {
    f.At(a);
    if (a < 150 || a > 210) g.DrawLineI(pen, 0, -68, 0, -72);
    if (scale_known && range <= 20.0)
      g.DrawLineI(pen, 0, -gfx::TruncToPixel(1.5 * pixels_per_nm), 0, -gfx::TruncToPixel(2.0 * pixels_per_nm));
  }
  DrawCompassScale(f, kArcMapScale);

  DrawProline4MapLayers(display, g, variant);

  DrawProline4HeadingReadout(g, f.scale, 62.0f, 61.0f);
  DrawWindArrow(f.scale, g);
  DrawProline4BugTrackAndAircraft(f, kArcMapPage);
}

}  // namespace ovi::ehsi
