// Mode 1: 120 degrees of heading on an arc about (123, 200) with the two
// range rings and their labels, the boxed heading, both bearing pointers,
// the course pointer with its TO/FROM head, the heading bug, the track
// marker and the aircraft symbol, under the header line and the
// navigation-source block.
#include "src/display/kit.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/model/state.h"

namespace ovi::ehsi {

namespace {

using display::colour::kBlue;
using display::colour::kMagenta;
using display::colour::kWhite;
using gfx::Point;

constexpr int kOuterRing = 140;
constexpr int kInnerRing = 70;

constexpr CompassScale kArcScale{.step = 5,
                                 .major_every = 10,
                                 .label_every = 30,
                                 .tick_radius = 140,
                                 .minor_outer = 144,
                                 .major_outer = 148,
                                 .window = 60.0,
                                 .font = display::DaReredBold,
                                 .font_size = 12.0f,
                                 .label_x_one_digit = -5.0f,
                                 .label_x_two_digits = -8.0f,
                                 .label_y = -160.0f,
                                 .upright_radius = 0.0f};

constexpr Point kDots[] = {{-28, -3}, {-53, -3}, {22, -3}, {47, -3}};
constexpr Segment kCourseArrow[] = {{{0, -140}, {6, -126}}, {{0, -140}, {-6, -126}}, {{-6, -126}, {6, -126}},
                                    {{0, -60}, {0, -126}},  {{0, 60}, {0, 140}}};
constexpr Point kTo[] = {{0, -58}, {6, -50}, {-6, -50}, {0, -58}};
constexpr Point kFrom[] = {{0, 58}, {6, 50}, {-6, 50}, {0, 58}};

constexpr Segment kFirstIcon[] = {{{-80, 53}, {-80, 63}}, {{-80, 56}, {-78, 59}}, {{-80, 56}, {-82, 59}}};
constexpr Segment kFirstNeedle[] = {
    {{0, -60}, {0, -139}}, {{0, -110}, {-8, -100}}, {{0, -110}, {8, -100}}, {{0, 60}, {0, 139}}};
constexpr Segment kSecondIcon[] = {{{-80, 68}, {-80, 71}}, {{-80, 71}, {-78, 74}}, {{-80, 71}, {-82, 74}},
                                   {{-81, 73}, {-81, 78}}, {{-79, 73}, {-79, 78}}};
constexpr Segment kSecondNeedle[] = {{{0, -110}, {0, -139}}, {{0, -110}, {-8, -100}}, {{0, -110}, {8, -100}},
                                     {{-4, -104}, {-4, -60}}, {{4, -104}, {4, -60}},  {{0, 100}, {0, 139}},
                                     {{0, 100}, {-8, 110}},   {{0, 100}, {8, 110}},   {{-4, 104}, {-4, 60}},
                                     {{4, 104}, {4, 60}}};

constexpr Point kBug[] = {{0, -140},  {10, -140},  {10, -145}, {5, -145}, {0, -140},
                          {-5, -145}, {-10, -145}, {-10, -140}, {0, -140}};
constexpr Segment kBugLine[] = {{{0, 0}, {0, -140}}};

constexpr Proline4HsiPage kPage{
    .centre_y = kProline4ArcY,
    .header = Proline4HsiHeader(display::DaReredBold),
    .source = {.font = display::DaReredBold, .dashed_ttg_font = display::CourierNewBold},
    .readout_box_y = 42.0f,
    .readout_text_y = 40.0f,
    .bearings_first = true,
    .course = Proline4HsiCourse(kDots, kCourseArrow, 60, kTo, kFrom),
    // 50 units, the outer dot, for a full needle of 127. Written as that
    // ratio: the rounded 0.39370078740157477 truncates 127 needle units to
    // 49.
    .bar_per_needle = 50.0 / 127.0,
    .first = Proline4BearingPointer(kMagenta, 50.0f, kFirstIcon, kFirstNeedle),
    .second = Proline4BearingPointer(kBlue, 65.0f, kSecondIcon, kSecondNeedle),
    .legend_font = display::DaReredBold,
    // Under the time to go at the block's margin, rather than across it:
    // the scale's labels reach up beside the block at any heading.
    .bug_readout_at = {0.0f, 52.0f},
    .bug_readout_font = display::DaReredBold,
    .bug = kBug,
    .bug_line = kBugLine,
    .track_corner = {-3, -145},
};

// The rings stand for the range and half of it; the inner one leaves a gap
// (190 to 200 degrees) for the half-range label, and twelve ticks fixed to
// the screen cross it.
void DrawRangeRings(const RoseFrame& f) {
  f.At();
  const gfx::Pen white(kWhite, 2.0f);
  f.g.DrawArcI(white, -kOuterRing, -kOuterRing, 2 * kOuterRing, 2 * kOuterRing, 180.0f, 180.0f);
  f.g.DrawArcI(white, -kInnerRing, -kInnerRing, 2 * kInnerRing, 2 * kInnerRing, 200.0f, 350.0f);
  const double range = display::FiniteOr(model::model_state.Proline4MapRange);
  const gfx::Font font = display::DaReredBold(12.0f);
  const gfx::SolidBrush brush(kWhite);
  display::DrawMapTextF(f.g, display::MapRank::kRangeFigure, font, brush, -125.0f, -65.0f, "%-3.1f", range);
  if (range == 5.0) {
    display::DrawMapTextF(f.g, display::MapRank::kRangeFigure, font, brush, -85.0f, -25.0f, "%3.1f", range / 2.0);
  } else {
    display::DrawMapTextF(f.g, display::MapRank::kRangeFigure, font, brush, -85.0f, -25.0f, "%3.0f", range / 2.0);
  }
  for (int a = 0; a < 360; a += 30) {
    f.At(a);
    f.g.DrawLineI(white, 0, -67, 0, -73);
  }
}

}  // namespace

void DrawProline4HsiArc(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const RoseFrame f = StartProline4HsiPage(display, g, kPage);
  DrawRangeRings(f);
  DrawCompassScale(f, kArcScale);
  FinishProline4HsiPage(f, kPage);
}

}  // namespace ovi::ehsi
