// The full compass rose of mode 0: card, bearing pointers, course pointer
// with deviation bar and TO/FROM head, selected heading, glideslope scale.
#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/ehsi/du1000/du1000.h"

namespace ovi::ehsi {

namespace {

using display::colour::kBlue;
using display::colour::kGreen;
using display::colour::kMagenta;
using display::colour::kTan;
using display::colour::kWhite;
using gfx::Point;

constexpr CompassScale kCard{.step = 10,
                             .major_every = 30,
                             .label_every = 30,
                             .tick_radius = 100,
                             .minor_outer = 105,
                             .major_outer = 110,
                             .window = 0.0,
                             .font = display::ArialBold,
                             .font_size = 15.0f,
                             .label_x_one_digit = -6.0f,
                             .label_x_two_digits = -9.0f,
                             .label_y = -8.0f,
                             .upright_radius = 123.0f};

constexpr Segment kNav1PointerLines[] = {
    {{0, -100}, {0, -68}}, {{0, -78}, {-9, -68}}, {{0, -78}, {9, -68}}, {{0, 60}, {0, 100}}};
constexpr Shape kNav1Pointer{kMagenta, 2.0f, kNav1PointerLines, {}};

constexpr Segment kAdfPointerLines[] = {{{0, -100}, {0, -80}}, {{0, -80}, {-10, -70}}, {{-10, -70}, {-10, -60}},
                                        {{0, -80}, {10, -70}},  {{10, -70}, {10, -60}},  {{0, 60}, {0, 100}}};
constexpr Shape kAdfPointer{kGreen, 2.0f, kAdfPointerLines, {}};

constexpr Point kDeviationDots[] = {{-42, -2}, {-82, -2}, {38, -2}, {78, -2}};
constexpr Segment kCourseArrow[] = {{{0, -30}, {0, -100}}, {{-10, -80}, {10, -80}}, {{0, 30}, {0, 100}}};
constexpr Segment kToHead[] = {{{-5, -25}, {0, -30}}, {{5, -25}, {0, -30}}};
constexpr Segment kFromHead[] = {{{-5, 25}, {0, 30}}, {{5, 25}, {0, 30}}};
constexpr CoursePointer kCoursePointer = Du1000CoursePointer(kDeviationDots, kCourseArrow, kToHead, kFromHead);

constexpr Segment kHeadingMarkerLine[] = {{{0, -100}, {0, -126}}};
constexpr HeadingMarker kHeadingMarker{.line = {kBlue, 3.0f, kHeadingMarkerLine, {}},
                                       .readout_beyond = 0.0,
                                       .readout_turn = 0.0,
                                       .readout_at = {},
                                       .font = display::ArialBold,
                                       .font_size = 15.0f};

constexpr Point kLubberOutline[] = {{0, -100}, {6, -92}, {-6, -92}, {0, -100}};
constexpr Shape kLubber{kTan, 2.0f, {}, kLubberOutline};

constexpr Point kGlideslopeDots[] = {{143, -80}, {143, -40}, {143, 40}, {143, 80}};
constexpr Point kGlideslopeDiamond[] = {{145, -8}, {150, 0}, {145, 8}, {140, 0}, {145, -8}};
constexpr GlideslopeScale kGlideslope{.dots = kGlideslopeDots,
                                      .dot_diameter = 4,
                                      .centre = {{140, 0}, {150, 0}},
                                      .per_needle = 80.0 / 127.0,
                                      .offset = 0.0,
                                      .pointer = kGlideslopeDiamond};

constexpr Point kTrackOutline[] = {{0, -100}, {3, -105}, {0, -110}, {-3, -105}, {0, -100}};
constexpr Shape kTrackDiamond{kGreen, 2.0f, {}, kTrackOutline};

}  // namespace

RoseFrame Du1000RoseFrame(const display::GaugeDisplay& display, gfx::Graphics& g, float x, float y) {
  return RoseFrame{g, display::ScaleToSurface(kDu1000Canvas, display.width, display.height), x, y,
                   display::FiniteOr(guidance::guidance_state.AircraftHeading)};
}

void DrawDu1000FullRose(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const guidance::State& s = guidance::guidance_state;
  const RoseFrame f = Du1000RoseFrame(display, g, kDu1000RoseX, kDu1000RoseY);
  const double heading = f.heading;
  using display::FiniteOr;

  f.At();
  g.DrawEllipseI(gfx::Pen(kWhite, 2.0f), -100, -100, 200, 200);
  DrawCompassScale(f, kCard);
  if (host::GetNav1Signal() > 0.0) DrawShapeToward(f, FiniteOr(s.HeadingOffsetToken550) + heading, kNav1Pointer);
  if (s.AdfSignal > 1.0) DrawShapeToward(f, FiniteOr(s.AdfRelativeBearing) + 360.0 + heading, kAdfPointer);
  // The station's side of the course is taken the short way round, so a
  // station just across north of the course reads TO.
  DrawCoursePointer(f, kCoursePointer, FiniteOr(s.SelectedCourse), s.Nav1CdiNeedle,
                    display::Nav1ToStation() ? ToFrom::kTo : ToFrom::kFrom);
  DrawSelectedHeading(f, kHeadingMarker, s.ApHeadingLockDir);
  f.At();
  DrawShape(g, kLubber);
  if (host::IsNav1GlideslopeAvailable() != 0) DrawGlideslopeScale(f, kGlideslope, s.Nav1GlideslopeNeedle);
  f.At();
  DrawShape(g, kDu1000AircraftSymbol);
  DrawShapeToward(f, FiniteOr(s.GroundTrack), kTrackDiamond);
}

}  // namespace ovi::ehsi
