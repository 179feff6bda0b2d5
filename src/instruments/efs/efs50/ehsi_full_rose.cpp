// The full compass rose of modes 1 to 3 about (129, 114): the map overlays
// cut to the rose (2, 3), the card, the index marks, the heading bug, the
// vertical deviation scale, the course pointer and bearing pointers (1),
// the range ring, sector and tuned VOR station (2, 3), the heading pointer
// and the aircraft.
#include <cmath>

#include "src/display/map_symbols.h"
#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/efs50/ehsi.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using ehsi::CompassLabel;
using ehsi::CompassScale;
using ehsi::CoursePointer;
using ehsi::GlideslopeScale;
using ehsi::RoseFrame;
using ehsi::Segment;
using ehsi::Shape;
using gfx::Point;
namespace c = efs50_colour;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }

// The card: every 5 degrees a tick ending at radius 100, the cardinal
// letters and the numbers every 30.
constexpr auto kCardLabels = Efs50CardLabels(-8.0f);
constexpr CompassScale Card(int minor_inner, int major_inner, float label_y) {
  return CompassScale{.step = 5,
                      .major_every = 10,
                      .label_every = 30,
                      .tick_radius = 100,
                      .minor_outer = minor_inner,
                      .major_outer = major_inner,
                      .window = 0.0,
                      .font = display::DaReredBold,
                      .font_size = 13.0f,
                      .label_x_one_digit = -8.0f,
                      .label_x_two_digits = -8.0f,
                      .label_y = label_y,
                      .upright_radius = 0.0f,
                      .labels = kCardLabels};
}
constexpr CompassScale kHsiCard = Card(90, 85, -80.0f);
constexpr CompassScale kMapCard = Card(95, 90, -90.0f);

constexpr Point kHeadingBugFill[] = {{0, -102},  {6, -109},  {12, -109}, {12, -102},
                                     {-12, -102}, {-12, -109}, {-6, -109}, {0, -102}};
constexpr ehsi::HeadingMarker kHeadingBug = Efs50HeadingBug(kHeadingBugFill);

// The vertical deviation scale right of the rose: a bracket, four dots, a
// centre mark and the pointer with its two letters.
constexpr Segment kScaleBracket[] = {{{90, -60}, {100, -60}}, {{90, -60}, {90, 60}}, {{90, 60}, {100, 60}}};
constexpr Point kScaleDots[] = {{95, -56}, {95, 49}};
constexpr Point kScaleSmallDots[] = {{96, -28}, {96, 25}};
constexpr Point kScaleCentreMark[] = {{99, -5}, {103, 0}, {99, 5}};
constexpr Point kScalePointerBox[] = {{105, 0}, {115, 0}, {115, 20}, {105, 20}, {105, 0}};
constexpr Point kScalePointerHead[] = {{105, 5}, {95, 10}, {105, 15}};
constexpr GlideslopeScale VerticalScale(double per_unit) {
  return GlideslopeScale{.dots = kScaleDots,
                         .dot_diameter = 7,
                         .centre = {},
                         .per_needle = per_unit,
                         .offset = -10.0,
                         .pointer = {},
                         .centre_outline = kScaleCentreMark,
                         .frame = kScaleBracket,
                         .small_dots = kScaleSmallDots,
                         .small_dot_diameter = 5,
                         .pointer_shape = {c::kGreen, 1.0f, {}, kScalePointerBox, kScalePointerHead}};
}
constexpr GlideslopeScale kGlideslopeScale = VerticalScale(57.0 / 127.0);
constexpr GlideslopeScale kVnavScale = VerticalScale(0.057);  // per foot off the path
constexpr double kVnavScaleLimitFt = 1000.0;

// The course pointer of mode 1: green on the radio, blue on the flight plan
// (10 units a NM of cross-track, at most 5 NM).
constexpr Point kDeviationDots[] = {{-53, -3}, {-28, -3}, {22, -3}, {47, -3}};
constexpr Point kCourseHead[] = {{0, -85}, {1, -77},  {4, -69},  {1, -68},   {1, -24},
                                 {-1, -24}, {-1, -68}, {-4, -69}, {-1, -77}, {0, -85}};
constexpr Point kCourseTail[] = {{0, 24}, {1, 24}, {1, 70}, {0, 80}, {-1, 70}, {-1, 24}, {0, 24}};
constexpr Point kDeviationBar[] = {{0, -20}, {1, -20}, {1, 20}, {-1, 20}, {-1, -20}, {0, -20}};
constexpr Point kToFlag[] = {{0, -25}, {7, -15}, {-7, -15}};
constexpr Point kFromFlag[] = {{0, 39}, {7, 29}, {-7, 29}};
constexpr CoursePointer CourseArrow(gfx::ARGB colour, double per_unit) {
  return CoursePointer{.dots = kDeviationDots,
                       .dot_diameter = 7,
                       .arrow = {colour, 2.0f, {}, kCourseHead},
                       .bar_top = -20,
                       .bar_bottom = 20,
                       .bar_per_needle = per_unit,
                       .to_head = {c::kWhite, 1.0f, {}, {}, kToFlag},
                       .from_head = {c::kWhite, 1.0f, {}, {}, kFromFlag},
                       .heads_follow_bar = false,
                       .tail = {colour, 2.0f, {}, kCourseTail},
                       .bar = kDeviationBar};
}
constexpr CoursePointer kRadioCourse = CourseArrow(c::kGreen, 50.0 / 127.0);
constexpr CoursePointer kFlightPlanCourse = CourseArrow(c::kBlue, 10.0);

// Bearing pointer 2 (double line, magenta) and 1 (single line, blue).
constexpr Segment kPointer2Lines[] = {{{3, -82}, {3, -24}}, {{-3, -82}, {-3, -24}}};
constexpr Point kPointer2Head[] = {{0, -90}, {5, -82}, {-5, -82}};
constexpr Point kPointer2Tail[] = {{-3, 90}, {-3, 32}, {0, 24}, {3, 32}, {3, 90}};
constexpr Segment kPointer1Line[] = {{{0, -30}, {0, -85}}};
constexpr Point kPointer1Head[] = {{0, -95}, {5, -85}, {-5, -85}};
constexpr Point kPointer1TailFill[] = {{1, 40}, {1, 55}, {3, 60}, {1, 60},   {1, 95},
                                   {-1, 95}, {-1, 60}, {-3, 60}, {-1, 55}, {-1, 40}};
constexpr Efs50BearingPointerShapes kBearingPointers =
    Efs50BearingPointers(kPointer2Lines, kPointer2Tail, kPointer2Head, kPointer1Line, kPointer1Head, kPointer1TailFill);

// The heading pointer: a triangle, or a box with the heading's digits.
constexpr Point kHeadingTriangle[] = {{0, -103}, {6, -112}, {-6, -112}};
constexpr Point kHeadingBoxOutline[] = {{-16, -112}, {-16, -99}, {16, -99}, {16, -112}};
constexpr Point kHeadingBoxTriangle[] = {{-6, -99}, {0, -89}, {6, -99}};
constexpr Efs50HeadingPointer kHeadingPointer{kHeadingTriangle, kHeadingBoxOutline, kHeadingBoxTriangle,
                                              gfx::Rect(-16, -114, 32, 15)};

bool MapMode(int mode) { return mode == 2 || mode == 3; }

// Map overlays of modes 2 and 3 on the canvas, cut to the rose's circle.
void DrawMapOverlays(const RoseFrame& f, int variant) {
  const int radius = gfx::TruncToPixel(FiniteOr(M().Efs50RoseRadius));
  const int cx = static_cast<int>(kEfs50CentreX), cy = static_cast<int>(kEfs50CentreY);
  display::UseCanvas(f.g, f.scale);
  gfx::GraphicsPath rose;
  rose.AddEllipse(29.0f, 14.0f, 200.0f, 200.0f);
  f.g.SetClip(rose);
  DrawEfs50MapOverlays(f.g, radius, cx, cy, variant);
  f.g.ResetClip();
}

// The glideslope on the radio, or the VNAV path once past the top of
// descent on the flight plan; never both.
void DrawVerticalScale(const RoseFrame& f) {
  const guidance::State& s = G();
  const model::State& m = M();
  const bool glideslope = host::IsNav1GlideslopeAvailable() != 0;
  const GlideslopeScale* scale = nullptr;
  double value = 0.0;
  gfx::ARGB ground = c::kBlack;
  const char* letters[2] = {"G", "S"};
  if (glideslope && host::GetSimToken852() > 0.0 && m.EFS50NavMode == 1) {
    scale = &kGlideslopeScale;
    value = s.Nav1GlideslopeNeedle;
    ground = Efs50EhsiBackground();
  } else if (!glideslope && s.DestinationDistance > 4.0 && m.EFS50NavMode == 2 && s.TodPassed == 1 &&
             Efs50WaypointActive()) {
    scale = &kVnavScale;
    value = std::fmin(std::fmax(FiniteOr(s.AircraftAltitude - s.VnavPathAltitude), -kVnavScaleLimitFt),
                      kVnavScaleLimitFt);
    letters[0] = "V";
    letters[1] = "N";
  }
  if (scale == nullptr) return;
  f.At();
  f.g.FillRectangleI(gfx::SolidBrush(ground), 89, -61, 40, 122);
  DrawGlideslopeScale(f, *scale, value);
  f.At();
  const int y = ehsi::GlideslopePointerY(*scale, value);
  const gfx::Font font = display::ArialBold(8.0f);
  const gfx::SolidBrush green(c::kGreen);
  display::DrawScreenText(f.g, font, green, 106.0f, static_cast<float>(y), letters[0]);
  display::DrawScreenText(f.g, font, green, 106.0f, static_cast<float>(y) + 10.0f, letters[1]);
}

void DrawCourse(const RoseFrame& f) {
  const guidance::State& s = G();
  const int nav_mode = M().EFS50NavMode;
  const ehsi::ToFrom sense = Efs50ToFrom(false);
  if (nav_mode == 1) {
    std::optional<double> needle;
    if (host::GetNav1Signal() > 0.0) needle = s.Nav1CdiNeedle;
    ehsi::DrawCoursePointer(f, kRadioCourse, FiniteOr(s.SelectedCourse), needle, sense);
  } else if (nav_mode == 2 && Efs50WaypointActive()) {
    ehsi::DrawCoursePointer(f, kFlightPlanCourse, FiniteOr(s.DesiredTrack), Efs50CourseCrossTrack(), sense);
  }
}

// Where the tuned VOR lies, 40 units a range from the centre (not the
// map's 50), with the selected radial through it.
void DrawTunedStation(const RoseFrame& f) {
  const guidance::State& s = G();
  const double range = M().Efs50EhsiRange;
  if (!std::isfinite(range) || !(range > 0.0)) return;
  display::UseCanvas(f.g, f.scale);
  gfx::GraphicsPath rose;
  rose.AddEllipse(29.0f, 14.0f, 200.0f, 200.0f);
  f.g.SetClip(rose);
  const double pixels_per_nm = 40.0 / range;
  display::display_state.MapPixelsPerNm = pixels_per_nm;
  const double relative = FiniteOr(s.HeadingOffsetToken550);
  double bearing;
  if (relative > 180.0) {
    bearing = relative - 360.0 + f.heading;
    if (bearing < 0.0) bearing += 360.0;
  } else {
    bearing = relative + f.heading;
    if (bearing > 359.0) bearing -= 360.0;
  }
  int x = 0, y = 0;
  navdb::BearingOffsetToScreenInt(FiniteOr(s.MapHeading), bearing + FiniteOr(s.MagneticVariation),
                                  static_cast<int>(kEfs50CentreX), static_cast<int>(kEfs50CentreY),
                                  FiniteOr(s.Nav1DmeDistance) * pixels_per_nm, x, y);
  display::DrawMapSymbol(f.g, x, y, display::kSymbolNdb, -99, 1.0, 1.0, display::kStyleDefault, range);
  const double course = FiniteOr(s.SelectedCourse);
  display::UseOrigin(f.g, f.scale, static_cast<float>(x), static_cast<float>(y), course - f.heading);
  const gfx::Pen ahead(c::kWhite, 1.0f), behind(c::kGreen, 1.0f);
  // The line toward the top of the rose is drawn last, over the other.
  if (std::fabs(display::RelativeAngle(course, f.heading)) >= 90.0) {
    f.g.DrawLineI(behind, 0, 0, 0, 100);
    f.g.DrawLineI(ahead, 0, 0, 0, -100);
  } else {
    f.g.DrawLineI(ahead, 0, 0, 0, -100);
    f.g.DrawLineI(behind, 0, 0, 0, 100);
  }
  f.g.ResetClip();
}

void DrawRangeRing(const RoseFrame& f, int mode) {
  const gfx::Pen dashed = Efs50RangeRingPen();
  if (mode == 3) {
    for (double side : {60.0, -60.0}) {
      f.At(side);
      f.g.DrawLineI(dashed, 0, 0, 0, -95);
    }
  }
  f.At();
  f.g.DrawEllipseI(dashed, -50, -50, 100, 100);
  DrawEfs50RangeLabel(f.g, 50.0f, -4.0f);
}

// The heading pointer, and in its box the heading's digits.
void DrawHeadingPointer(const RoseFrame& f) {
  if (!DrawEfs50HeadingPointer(f, kHeadingPointer)) return;
  display::DrawScreenTextF(f.g, display::ArialBold(15.0f), gfx::SolidBrush(c::kGreen), -15.0f, -114.0f, "%03.0f",
                           f.heading);
}

}  // namespace

void DrawEfs50FullRose(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const RoseFrame f = Efs50RoseFrame(display, g, kEfs50CentreY);
  if (!f.scale.usable) return;
  const model::State& m = M();
  const int mode = m.EFS50HsiMode;
  const bool map = MapMode(mode);

  if (map) DrawMapOverlays(f, variant);
  ehsi::DrawCompassScale(f, map ? kMapCard : kHsiCard);
  const gfx::Pen white(c::kWhite, 2.0f);
  for (int a = 45; a < 360; a += 45) {
    f.At(a);
    g.DrawLineI(white, 0, -102, 0, -111);
  }
  ehsi::DrawSelectedHeading(f, kHeadingBug, FiniteOr(G().ApHeadingLockDir));
  DrawVerticalScale(f);
  if (mode == 1) {
    DrawCourse(f);
    DrawEfs50BearingPointers(f, kBearingPointers);
  }
  if (map) {
    DrawRangeRing(f, mode);
    if (m.EFS50NavMode == 1 && host::GetNav1Signal() > 0.0 && host::IsNav1Localizer() == 0) DrawTunedStation(f);
    const double range = m.Efs50EhsiRange;
    if (std::isfinite(range) && range > 0.0 && std::isfinite(m.Efs50RoseRadius))
      display::display_state.MapPixelsPerNm = m.Efs50RoseRadius / range;
  }
  DrawHeadingPointer(f);
  f.At();
  DrawEfs50Aircraft(g, c::kAmber);
}

}  // namespace ovi::efs
