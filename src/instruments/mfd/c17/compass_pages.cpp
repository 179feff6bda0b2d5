// Pages 3, 4 and 5, the heading-up compass pages drawn under the map
// layers: one routine over the pages' table (compass, range arcs and
// labels, heading readout, the first radio's lateral and glideslope
// scales, ground speed, selected-heading marker), and page 4's heading
// readout, drawn over the layers.
#include <array>
#include <iterator>

#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/engine_kit.h"
#include "src/instruments/mfd/c17/nav_pages.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/model/state.h"

namespace ovi::c17 {

namespace {

using display::FiniteOr;
using display::colour::kBlack;
using display::colour::kGreen;
using display::colour::kMagenta;
using display::colour::kWhite;
using gfx::Point;

constexpr auto kRoseLabels = C17RoseLabels(-7.0f, -7.0f);

constexpr ehsi::CompassScale ArcScale(int outer, int label_radius, double window) {
  return ehsi::CompassScale{.step = 5,
                            .major_every = 10,
                            .label_every = 30,
                            .tick_radius = outer - 4,
                            .minor_outer = outer,
                            .major_outer = outer,
                            .window = window,
                            .font = display::ArialBold,
                            .font_size = 12.0f,
                            .label_x_one_digit = -7.0f,
                            .label_x_two_digits = -7.0f,
                            .label_y = 0.0f,
                            .upright_radius = static_cast<float>(label_radius),
                            .labels = kRoseLabels,
                            .major_inner = outer - 8};
}
constexpr ehsi::CompassScale kPage3Scale = ArcScale(172, 162, 55.0);
constexpr ehsi::CompassScale kPage4Scale = ArcScale(124, 112, 60.0);

// Glideslope scale about its centre y: the zero bar from y - 2, dots 40 and
// 20 units either side (their boxes' corners 2 units up), the pointer
// moved by the whole units of its deflection.
struct GlideslopeTables {
  std::array<Point, 4> dots;
  std::array<Point, 5> bar;
};
constexpr GlideslopeTables GlideslopeAbout(int c) {
  return {{{{113, c - 40}, {113, c - 20}, {113, c + 20}, {113, c + 40}}},
          {{{111, c - 2}, {111, c + 2}, {119, c + 2}, {119, c - 2}, {111, c - 2}}}};
}
constexpr Point kGlideslopeDiamond[] = {{115, -5}, {110, 0}, {115, 5}, {120, 0}, {115, -5}};
constexpr GlideslopeTables kGlideslope3 = GlideslopeAbout(-45), kGlideslope4 = GlideslopeAbout(15),
                           kGlideslope5 = GlideslopeAbout(80);
constexpr ehsi::GlideslopeScale Glideslope(const GlideslopeTables& t, int c) {
  return ehsi::GlideslopeScale{.dots = t.dots,
                               .dot_diameter = 4,
                               .centre = {},
                               .per_needle = kNeedleToGlideslope,
                               .offset = static_cast<double>(c),
                               .pointer = kGlideslopeDiamond,
                               .line_width = 1.0f,
                               .centre_outline = t.bar,
                               .pointer_filled = false,
                               .offset_after_trunc = true};
}
constexpr ehsi::GlideslopeScale kGlideslopeScale3 = Glideslope(kGlideslope3, -45),
                                kGlideslopeScale4 = Glideslope(kGlideslope4, 15),
                                kGlideslopeScale5 = Glideslope(kGlideslope5, 80);

constexpr RangeArc kArcs3[] = {{43, 180, 180}, {86, 180, 180}, {129, 220, 100}};
constexpr RangeArc kArcs5[] = {{172, 51, 81}, {43, 0, 180}, {86, 0, 180}, {129, 40, 110}};
constexpr RangeLabel kLabels3[] = {{0.25, -50, 0}, {0.5, -92, 0}, {0.25 * 3, -105, -83}};
constexpr RangeLabel kLabels4[] = {{0.5, -66, -22}, {1.0, -120, -42}};
constexpr RangeLabel kLabels5[] = {{0.25, -50, -10}, {0.5, -92, -10}, {0.25 * 3, -117, 55}};
constexpr HeadingReadout kReadout3{-195, 3.0f, 11.0f, false};
constexpr HeadingReadout kReadout5{-30, 3.0f, 11.0f, false};
constexpr HeadingReadout kHeadingBox{-115, 2.0f, 9.0f, true};

constexpr CompassPage kPages[] = {
    {3, 172, kArcs3, &kPage3Scale, &kReadout3, kLabels3, true, 29, &kGlideslopeScale3, {-122, 30}, 172},
    {4, 0, {}, &kPage4Scale, nullptr, kLabels4, false, 97, &kGlideslopeScale4, {-122, 95}, 124},
    {5, 0, kArcs5, nullptr, &kReadout5, kLabels5, false, 191, &kGlideslopeScale5, {-122, 190}, 0},
};

// About the zero bar's top.
constexpr Point kLateralDots[] = {{-27, 2}, {-52, 2}, {23, 2}, {48, 2}};
constexpr Point kLateralBar[] = {{-2, 0}, {-2, 8}, {2, 8}, {2, 0}, {-2, 0}};
constexpr Point kLateralDiamond[] = {{0, -1}, {-5, 4}, {0, 9}, {5, 4}, {0, -1}};

const display::Segment kReadoutBox[] = {
    {{-12, 0}, {-12, 15}}, {{-12, 15}, {12, 15}}, {{12, 15}, {12, 0}}, {{12, 0}, {-12, 0}}};

void DrawCompassPage(display::GaugeDisplay& display, gfx::Graphics& g, const CompassPage& p) {
  const display::CanvasScale scale = display::ScaleToSurface(kC17Canvas, display.width, display.height);
  if (!scale.usable) return;
  const State& c = c17_state;
  const guidance::State& s = guidance::guidance_state;
  const ehsi::RoseFrame f{g, scale, static_cast<float>(c.C17MfdOriginX), static_cast<float>(c.C17MfdOriginY),
                          FiniteOr(s.AircraftHeading)};
  f.At();
  const gfx::Pen white1(kWhite, 1.0f), white2(kWhite, 2.0f), magenta2(kMagenta, 2.0f);
  gfx::Pen dashed(kWhite, 2.0f), magenta_dashed(kMagenta, 2.0f);
  dashed.SetDashStyle(gfx::DashStyle::Dash);
  magenta_dashed.SetDashStyle(gfx::DashStyle::Dash);

  if (p.compass_circle > 0)
    g.DrawEllipseI(white2, -p.compass_circle, -p.compass_circle, 2 * p.compass_circle, 2 * p.compass_circle);
  for (const RangeArc& a : p.arcs) g.DrawArcI(dashed, -a.radius, -a.radius, 2 * a.radius, 2 * a.radius, a.start, a.sweep);
  if (p.scale != nullptr) {
    ehsi::DrawCompassScale(f, *p.scale);
    f.At();
  }
  if (p.readout != nullptr) DrawHeadingReadout(g, *p.readout);

  const gfx::Font small = display::ArialBold(8.0f);
  const gfx::SolidBrush white(kWhite);
  const double range = Readout(model::model_state.C17MfdMapRange);
  for (const RangeLabel& l : p.range_labels)
    display::DrawMapTextF(g, display::MapRank::kRangeFigure, small, white, l.x, l.y, "%s",
                          display::RingFigure(range * l.factor, 2).c_str());

  const bool signal = host::GetNav1Signal() > 0.0;
  if (!p.lateral_needs_switch || (c.C17ShowCourseDeviation == 1 && signal)) {
    display::DrawPolylineAt(g, white1, kLateralBar, 0, p.lateral_y);
    Point dots[std::size(kLateralDots)];
    for (std::size_t i = 0; i < std::size(kLateralDots); ++i)
      dots[i] = Point(kLateralDots[i].X, kLateralDots[i].Y + p.lateral_y);
    display::DrawCircles(g, white1, dots, 4);
    if (signal) {
      const int x = gfx::TruncToPixel(FiniteOr(s.Nav1CdiNeedle) * kNeedleToDeviation);
      display::DrawPolylineAt(g, magenta2, kLateralDiamond, x, p.lateral_y);
    }
  }
  ehsi::DrawGlideslopeScale(f, *p.glideslope, s.Nav1GlideslopeNeedle, host::IsNav1GlideslopeAvailable() != 0);
  display::DrawScreenTextF(g, display::ArialBold(9.0f), gfx::SolidBrush(kGreen), p.ground_speed.X, p.ground_speed.Y,
                           "GS %.0f", Readout(s.GroundSpeedKnots));
  if (p.marker_radius > 0) {
    const int r = p.marker_radius;
    f.Toward(FiniteOr(s.ApHeadingLockDir));
    g.DrawRectangleI(magenta2, -5, -(r + 5), 10, 5);
    g.DrawLineI(magenta_dashed, 0, -r, 0, -(r + 5));
    g.DrawLineI(magenta_dashed, 0, 0, 0, -r);
  }
  display::UseCanvas(g, scale);
}

}  // namespace

void DrawHeadingReadout(gfx::Graphics& g, const HeadingReadout& r) {
  if (r.black_fill) g.FillRectangleI(gfx::SolidBrush(kBlack), -12, r.y, 24, 15);
  display::DrawScreenTextF(g, display::ArialBold(14.0f), gfx::SolidBrush(kGreen), -14.0f, static_cast<float>(r.y),
                           "%03.0f", Readout(guidance::guidance_state.AircraftHeading));
  display::DrawSegments(g, gfx::Pen(kWhite, 1.0f), kReadoutBox, 0, r.y);
  display::DrawScreenText(g, display::ArialBold(r.m_size), gfx::SolidBrush(kWhite), 15.0f,
                          static_cast<float>(r.y) + r.m_dy, "M");
}

const CompassPage* C17CompassPage(std::int32_t page) {
  for (const CompassPage& p : kPages)
    if (p.page == page) return &p;
  return nullptr;
}

void KeepC17ReadoutsClear(gfx::Graphics& g, std::int32_t page) {
  const CompassPage* p = C17CompassPage(page);
  if (p == nullptr) return;
  // The ground speed, and the heading readout where it stands over the map
  // area (its digits, box and "M").
  display::KeepMapClear(g, gfx::RectF(p->ground_speed.X, p->ground_speed.Y, 45.0f, 11.0f));
  const HeadingReadout* readout = p->readout != nullptr ? p->readout : &kHeadingBox;
  display::KeepMapClear(g, gfx::RectF(-15.0f, static_cast<float>(readout->y) - 1.0f, 42.0f, 17.0f));
}

void ClaimC17Aircraft(const gfx::Graphics& g) {
  display::ClaimMapBox(g, display::MapRank::kMark, gfx::RectF(-8.0f, -6.0f, 16.0f, 22.0f));
}

void DrawC17NavPage3(display::GaugeDisplay& display, gfx::Graphics& g) { DrawCompassPage(display, g, kPages[0]); }
void DrawC17NavPage4(display::GaugeDisplay& display, gfx::Graphics& g) { DrawCompassPage(display, g, kPages[1]); }
void DrawC17NavPage5(display::GaugeDisplay& display, gfx::Graphics& g) { DrawCompassPage(display, g, kPages[2]); }

void DrawC17HeadingBox(display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = display::ScaleToSurface(kC17Canvas, display.width, display.height);
  if (!scale.usable) return;
  const State& c = c17_state;
  display::UseOrigin(g, scale, static_cast<float>(c.C17MfdOriginX), static_cast<float>(c.C17MfdOriginY));
  DrawHeadingReadout(g, kHeadingBox);
}

}  // namespace ovi::c17
