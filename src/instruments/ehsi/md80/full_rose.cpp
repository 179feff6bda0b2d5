// Mode 0: the compass card with its bug, index and fixed marks, the ADF
// pointer, the course pointer with deviation bar and TO/FROM head, the
// boxed heading and the aircraft symbol, with the radio fields and the wind
// around them.
#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/md80/radio_fields.h"
#include "src/instruments/ehsi/state.h"

namespace ovi::ehsi {

namespace {

using display::FiniteOr;
using display::colour::kBlue;
using display::colour::kGreen;
using display::colour::kMagenta;
using display::colour::kWhite;
using gfx::Point;

// The card turns about a point 2 units above the aircraft symbol
// (Md80EhsiCentreY, 116), as the MD-80 has always drawn it.
constexpr int kCardCentreY = 114;

constexpr Point kGlideslopeDots[] = {{250, 78}, {250, 95}, {250, 131}, {250, 146}};
constexpr Point kGlideslopePointer[] = {{250, -2}, {260, -2}, {260, 3}, {250, 3}, {250, -2}};
constexpr Md80RadioFields kFields{
    .font = display::ArialBold,
    .dme1_at = {0.0f, 0.0f},
    .dme2_at = {225.0f, 0.0f},
    .dme_label_below = 15.0f,
    // 34 units either side of 114 for a full needle of 127.
    .glideslope = {.dots = kGlideslopeDots,
                   .dot_diameter = 5,
                   .centre = {{248, 114}, {260, 114}},
                   .per_needle = 0.26771653543307083,
                   .offset = 114.0,
                   .pointer = kGlideslopePointer},
};

constexpr CompassLabel kCardLabels[] = {{0, "N", -8},    {30, "3", -8},   {60, "6", -8},   {90, "E", -8},
                                        {120, "12", -8}, {150, "15", -8}, {180, "S", -8},  {210, "21", -8},
                                        {240, "24", -8}, {270, "W", -7},  {300, "30", -8}, {330, "33", -8}};
constexpr CompassScale kCard{.step = 5,
                             .major_every = 10,
                             .label_every = 30,
                             .tick_radius = 80,
                             .minor_outer = 75,
                             .major_outer = 70,
                             .window = 0.0,
                             .font = display::ArialBold,
                             .font_size = 12.0f,
                             .label_x_one_digit = -8.0f,
                             .label_x_two_digits = -8.0f,
                             .label_y = -65.0f,
                             .upright_radius = 0.0f,
                             .labels = kCardLabels};

// A bar between radii 80 and 90 with a V notch in its outer edge.
constexpr Point kBugOutline[] = {{0, -84},   {6, -90},   {12, -90}, {12, -80},
                                 {-12, -80}, {-12, -90}, {-6, -90}, {0, -84}};
constexpr Shape kBug{kGreen, 2.0f, {}, {}, kBugOutline};

constexpr Point kIndexOutline[] = {{0, -90}, {5, -83}, {0, -76}, {-5, -83}, {0, -90}};
constexpr Shape kIndex{kMagenta, 2.0f, {}, kIndexOutline};

constexpr Segment kFixedMarkLines[] = {{{0, -82}, {0, -91}}};
constexpr Shape kFixedMark{kWhite, 2.0f, kFixedMarkLines, {}};

constexpr Segment kAdfPointerLines[] = {{{0, -70}, {0, -50}}, {{0, -50}, {-6, -40}}, {{0, -50}, {6, -40}},
                                        {{-6, -40}, {6, -40}}, {{0, -40}, {0, -30}},  {{0, 70}, {0, 50}},
                                        {{0, 40}, {-6, 50}},   {{0, 40}, {6, 50}},    {{-6, 50}, {6, 50}},
                                        {{0, 20}, {0, 40}}};
constexpr Shape kAdfPointer{kBlue, 2.0f, kAdfPointerLines, {}};

constexpr Point kDots[] = {{-22, -2}, {-42, -2}, {18, -2}, {38, -2}};
constexpr Point kArrowHead[] = {{0, -50}, {6, -38}, {-6, -38}};
constexpr Segment kCourseLines[] = {{{0, -20}, {0, -70}}, {{0, 20}, {0, 70}}};
constexpr Point kTo[] = {{0, -32}, {6, -20}, {-6, -20}};
constexpr Point kFrom[] = {{0, 32}, {6, 20}, {-6, 20}};
constexpr CoursePointer kCoursePointer{.dots = kDots,
                                       .dot_diameter = 4,
                                       .arrow = {kMagenta, 2.0f, kCourseLines, {}, kArrowHead},
                                       .bar_top = -20,
                                       .bar_bottom = 20,
                                       // 40 units, the outer dot, for a full needle.
                                       .bar_per_needle = 0.31496062992125984,
                                       .to_head = {kWhite, 2.0f, {}, {}, kTo},
                                       .from_head = {kWhite, 2.0f, {}, {}, kFrom}};

// The boxed heading about the rose's x, open where its notch points down.
constexpr Segment kReadoutBoxLines[] = {{{-14, 5}, {14, 5}},   {{-14, 5}, {-14, 20}}, {{14, 5}, {14, 20}},
                                        {{-14, 20}, {-5, 20}}, {{5, 20}, {14, 20}}};
constexpr Point kReadoutNotch[] = {{-5, 20}, {0, 25}, {5, 20}};
constexpr Shape kReadoutBox{kWhite, 2.0f, kReadoutBoxLines, kReadoutNotch};

const guidance::State& G() { return guidance::guidance_state; }

}  // namespace

void DrawMd80EhsiFullRose(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const int cx = ehsi_state.Md80EhsiCentreX;
  const RoseFrame canvas = Md80Frame(display, g, 0, 0);
  const RoseFrame card = Md80Frame(display, g, cx, kCardCentreY);
  const double heading = card.heading;

  DrawMd80RadioFields(canvas, kFields);

  DrawShapeToward(card, FiniteOr(G().ApHeadingLockDir), kBug);
  card.At();
  DrawShape(g, kIndex);
  DrawCompassScale(card, kCard);
  for (int b = 0; b < 360; b += 45) {
    card.At(b);
    DrawShape(g, kFixedMark);
  }
  DrawMd80AdfAndCourse(card, kAdfPointer, kCoursePointer, true);

  const RoseFrame top = Md80Frame(display, g, cx, 0);
  top.At();
  display::DrawScreenTextF(g, display::ArialBold(15.0f), gfx::SolidBrush(kWhite), -15.0f, 5.0f, "%03.0f", heading);
  DrawShape(g, kReadoutBox);
  DrawMd80AircraftSymbol(Md80CentredFrame(display, g));
}

}  // namespace ovi::ehsi
