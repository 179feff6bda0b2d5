// Mode 0: the heading-up full compass rose about (123, 170) with fixed
// index marks, the boxed heading, the course pointer with its TO/FROM head,
// both bearing pointers, the heading bug, the track marker and the aircraft
// symbol, under the header line and the navigation-source block.
#include "src/display/kit.h"
#include "src/instruments/ehsi/proline4/proline4.h"

namespace ovi::ehsi {

namespace {

using display::colour::kBlue;
using display::colour::kMagenta;
using display::colour::kWhite;
using gfx::Point;

// 1-unit ticks every 5 degrees, a longer one over them every 10, labels
// every 30 turning with the card.
constexpr CompassScale kCard{.step = 5,
                             .major_every = 10,
                             .label_every = 30,
                             .tick_radius = 98,
                             .minor_outer = 92,
                             .major_outer = 88,
                             .window = 0.0,
                             .font = display::DaReredBold,
                             .font_size = 14.0f,
                             .label_x_one_digit = -5.0f,
                             .label_x_two_digits = -8.0f,
                             .label_y = -86.0f,
                             .upright_radius = 0.0f,
                             .tick_width = 1.0f,
                             .long_over_short = true};

// Index marks fixed to the screen: triangles at the diagonals, lines at
// the wings and the tail, nothing at the nose.
constexpr Point kIndexTriangle[] = {{0, -102}, {-5, -107}, {5, -107}, {0, -102}};
constexpr Shape kDiagonalIndex{kWhite, 2.0f, {}, {}, kIndexTriangle};
constexpr Segment kIndexLineLines[] = {{{0, -102}, {0, -114}}};
constexpr Shape kIndexLine{kWhite, 2.0f, kIndexLineLines, {}};

constexpr Point kDots[] = {{-63, -3}, {-33, -3}, {27, -3}, {57, -3}};
constexpr Segment kCourseArrow[] = {{{0, -100}, {6, -86}}, {{0, -100}, {-6, -86}}, {{-6, -86}, {6, -86}},
                                    {{0, -40}, {0, -86}},  {{0, 40}, {0, 86}}};
constexpr Point kTo[] = {{0, -48}, {6, -40}, {-6, -40}, {0, -48}};
constexpr Point kFrom[] = {{0, 48}, {6, 40}, {-6, 40}, {0, 48}};

constexpr Segment kFirstIcon[] = {{{-80, 83}, {-80, 93}}, {{-80, 86}, {-78, 89}}, {{-80, 86}, {-82, 89}}};
constexpr Segment kFirstNeedle[] = {
    {{0, -40}, {0, -90}}, {{0, -70}, {-8, -60}}, {{0, -70}, {8, -60}}, {{0, 40}, {0, 90}}};
constexpr Segment kSecondIcon[] = {{{-80, 98}, {-80, 101}},  {{-80, 101}, {-78, 104}}, {{-80, 101}, {-82, 104}},
                                   {{-81, 103}, {-81, 108}}, {{-79, 104}, {-79, 108}}};
constexpr Segment kSecondNeedle[] = {
    {{0, -70}, {0, -90}}, {{0, -70}, {-8, -60}}, {{0, -70}, {8, -60}}, {{-4, -64}, {-4, -40}}, {{4, -64}, {4, -40}},
    {{0, 60}, {0, 90}},   {{0, 60}, {-8, 70}},   {{0, 60}, {8, 70}},   {{-4, 64}, {-4, 40}},   {{4, 64}, {4, 40}}};

constexpr Point kBug[] = {{0, -100},  {10, -100},  {10, -105}, {5, -105}, {0, -100},
                          {-5, -105}, {-10, -105}, {-10, -100}, {0, -100}};
constexpr Segment kBugLine[] = {{{0, 0}, {0, -100}}};

constexpr Proline4HsiPage kPage{
    .centre_y = kProline4RoseY,
    .header = Proline4HsiHeader(display::ArialBold),
    .source = {.font = display::ArialBold, .dashed_ttg_font = display::ArialBold},
    .readout_box_y = 52.0f,
    .readout_text_y = 51.0f,
    .bearings_first = false,
    .course = Proline4HsiCourse(kDots, kCourseArrow, 40, kTo, kFrom),
    // 60 units, the outer dot, for a full needle of 127.
    .bar_per_needle = 0.472441,
    .first = Proline4BearingPointer(kMagenta, 80.0f, kFirstIcon, kFirstNeedle),
    .second = Proline4BearingPointer(kBlue, 95.0f, kSecondIcon, kSecondNeedle),
    .legend_font = display::ArialBold,
    .bug_readout_at = {50.0f, 50.0f},
    .bug_readout_font = display::ArialBold,
    .bug = kBug,
    .bug_line = kBugLine,
    .track_corner = {-3, -98},
};

}  // namespace

void DrawProline4HsiRose(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const RoseFrame f = StartProline4HsiPage(display, g, kPage);
  for (int a = 45; a < 360; a += 45) {
    f.At(a);
    DrawShape(g, a % 90 != 0 ? kDiagonalIndex : kIndexLine);
  }
  DrawCompassScale(f, kCard);
  FinishProline4HsiPage(f, kPage);
}

}  // namespace ovi::ehsi
