// The arc of modes 4 to 7 about the aircraft at (129, 190): range ring
// (5, 6), heading pointer, selected-heading marker, the compass card within
// 55 degrees of the heading, bearing pointers, the course arrow (4, 7), the
// map overlays and the radio course line (5, 6), the deviation scale with
// its TO/FROM flag, the aircraft. The bearing pointers, the course arrow
// and the map are cut to the arc's outline.
#include <cmath>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/efs50/ehsi.h"
#include "src/model/state.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using ehsi::CompassLabel;
using ehsi::CompassScale;
using ehsi::CoursePointer;
using ehsi::RoseFrame;
using ehsi::Segment;
using ehsi::Shape;
using gfx::Point;
namespace c = efs50_colour;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }

constexpr int kMapRadius = 95;

// Ticks every 5 degrees within 55 of the heading, ending at the rim (180);
// labels every 30.
constexpr auto kArcLabels = Efs50CardLabels(-9.0f);
constexpr CompassScale kArcCard{.step = 5,
                                .major_every = 10,
                                .label_every = 30,
                                .tick_radius = 180,
                                .minor_outer = 175,
                                .major_outer = 170,
                                .window = 55.0,
                                .font = display::ArialBold,
                                .font_size = 12.0f,
                                .label_x_one_digit = -9.0f,
                                .label_x_two_digits = -9.0f,
                                .label_y = -170.0f,
                                .upright_radius = 0.0f,
                                .labels = kArcLabels};

constexpr Point kHeadingBugFill[] = {{0, -180},  {6, -186},  {12, -186}, {12, -180},
                                     {-12, -180}, {-12, -186}, {-6, -186}, {0, -180}};
constexpr ehsi::HeadingMarker kHeadingBug = Efs50HeadingBug(kHeadingBugFill);

constexpr Point kHeadingTriangle[] = {{0, -180}, {6, -192}, {-6, -192}};
constexpr Point kHeadingFrame[] = {{-16, -190}, {-16, -175}, {16, -175}, {16, -190}};
constexpr Point kHeadingFrameTriangle[] = {{-5, -175}, {0, -167}, {5, -175}};
constexpr Efs50HeadingPointer kHeadingPointer{kHeadingTriangle, kHeadingFrame, kHeadingFrameTriangle, std::nullopt};

constexpr Segment kPointer2Lines[] = {{{3, -167}, {3, -124}}, {{-3, -167}, {-3, -124}}};
constexpr Point kPointer2Head[] = {{0, -175}, {5, -167}, {-5, -167}};
constexpr Point kPointer2Tail[] = {{-3, 170}, {-3, 132}, {0, 124}, {3, 132}, {3, 170}};
constexpr Segment kPointer1Line[] = {{{0, -124}, {0, -180}}};
constexpr Point kPointer1Head[] = {{0, -180}, {5, -170}, {-5, -170}};
constexpr Point kPointer1TailFill[] = {{1, 130},  {1, 145},  {3, 150},  {1, 150},  {1, 175},  {-1, 175},
                                   {-1, 150}, {-3, 150}, {-1, 145}, {-1, 130}, {1, 130}};
constexpr Efs50BearingPointerShapes kBearingPointers =
    Efs50BearingPointers(kPointer2Lines, kPointer2Tail, kPointer2Head, kPointer1Line, kPointer1Head, kPointer1TailFill);

constexpr Point kArrowHead[] = {{0, -170}, {1, -162}, {4, -154},   {1, -153}, {1, -35},
                                {-1, -35}, {-1, -153}, {-4, -154}, {-1, -162}, {0, -170}};
constexpr Point kArrowTail[] = {{0, 35}, {1, 35}, {1, 155}, {0, 165}, {-1, 155}, {-1, 35}, {0, 35}};

// The deviation scale under the aircraft: about 49 units at full scale on
// the radio (100/259 a needle unit) and on the flight plan (500/51 a NM).
constexpr Point kDeviationDots[] = {{-29, -4}, {-49, -4}, {23, -4}, {43, -4}};
constexpr Point kDeviationBar[] = {{0, -30}, {1, -30}, {1, 30}, {-1, 30}, {-1, -30}, {0, -30}};
constexpr Point kToFlag[] = {{0, -25}, {7, -15}, {-7, -15}};
constexpr Point kFromFlag[] = {{0, 35}, {7, 25}, {-7, 25}};
constexpr CoursePointer DeviationScale(gfx::ARGB colour, double per_unit) {
  return CoursePointer{.dots = kDeviationDots,
                       .dot_diameter = 7,
                       .arrow = {colour, 2.0f, {}, {}},
                       .bar_top = -30,
                       .bar_bottom = 30,
                       .bar_per_needle = per_unit,
                       .to_head = {c::kWhite, 1.0f, {}, {}, kToFlag},
                       .from_head = {c::kWhite, 1.0f, {}, {}, kFromFlag},
                       .heads_follow_bar = false,
                       .bar = kDeviationBar};
}
constexpr CoursePointer kRadioDeviation = DeviationScale(c::kGreen, 100.0 / 259.0);
constexpr CoursePointer kFlightPlanDeviation = DeviationScale(c::kBlue, 500.0 / 51.0);
constexpr double kCourseLinePerNeedle = 100.0 / 114.0;

bool MapMode(int mode) { return mode == 5 || mode == 6; }

// The arc's outline: the rim from 223 degrees over 92, down both sides to
// 70 units above the aircraft and in to 10 below it.
void ClipToArc(const RoseFrame& f, gfx::GraphicsPath& outline) {
  f.At();
  outline.AddArc(-180.0f, -180.0f, 360.0f, 360.0f, 223.0f, 92.0f);
  outline.AddLine(128.0f, -126.0f, 128.0f, -70.0f);
  outline.AddLine(128.0f, -70.0f, 0.0f, 10.0f);
  outline.AddLine(0.0f, 10.0f, -128.0f, -70.0f);
  outline.AddLine(-128.0f, -70.0f, -128.0f, -126.0f);
  outline.CloseFigure();
  f.g.SetClip(outline);
}

void DrawRangeRing(const RoseFrame& f) {
  f.At();
  gfx::GraphicsPath wedge;
  const gfx::PointF corners[] = {{-130.0f, -30.0f}, {130.0f, -30.0f}, {0.0f, -130.0f}};
  wedge.AddPolygon(corners, 3);
  f.g.SetClip(wedge);
  f.g.DrawEllipseI(Efs50RangeRingPen(), -kMapRadius, -kMapRadius, 2 * kMapRadius, 2 * kMapRadius);
  f.g.ResetClip();
  DrawEfs50RangeLabel(f.g, 75.0f, -35.0f);
}

// The heading's digits stand above the cut.
void DrawHeadingReadout(const RoseFrame& f, const gfx::GraphicsPath& outline) {
  if (M().EhsiStaticHdgPointer != 1) return;
  f.At();
  f.g.ResetClip();
  f.g.FillRectangleI(gfx::SolidBrush(c::kBlack), -15, -191, 30, 15);
  display::DrawScreenTextF(f.g, display::ArialBold(15.0f), gfx::SolidBrush(c::kGreen), -16.0f, -191.0f, "%03.0f",
                           f.heading);
  f.g.SetClip(outline);
}

// The course the arrow and the deviation scale turn to: the selected course
// on the radio, the desired track on the flight plan while a waypoint is
// active; none otherwise.
std::optional<double> Course() {
  const guidance::State& s = G();
  const int nav_mode = M().EFS50NavMode;
  if (nav_mode == 1) return FiniteOr(s.SelectedCourse);
  if (nav_mode == 2 && Efs50WaypointActive()) return FiniteOr(s.DesiredTrack);
  return std::nullopt;
}

void DrawCourseArrow(const RoseFrame& f) {
  const std::optional<double> course = Course();
  if (!course) return;
  const gfx::ARGB colour = M().EFS50NavMode == 1 ? c::kGreen : c::kBlue;
  const Shape head{colour, 2.0f, {}, kArrowHead};
  const Shape tail{colour, 2.0f, {}, kArrowTail};
  ehsi::DrawShapeToward(f, *course, head);
  ehsi::DrawShape(f.g, tail);
}

void DrawMap(const RoseFrame& f, int variant) {
  f.At();
  DrawEfs50MapOverlays(f.g, kMapRadius, 0, 0, variant);
  if (M().EFS50NavMode != 1) return;
  f.Toward(FiniteOr(G().SelectedCourse));
  const int d = gfx::TruncToPixel(FiniteOr(G().Nav1CdiNeedle) * kCourseLinePerNeedle);
  const Point line[] = {{d, -170}, {d + 1, -170}, {d + 1, 170}, {d - 1, 170}, {d - 1, -170}, {d, -170}};
  f.g.FillPolygonI(gfx::SolidBrush(c::kGreen), line);
}

void DrawDeviationScale(const RoseFrame& f, int mode) {
  const model::State& m = M();
  const guidance::State& s = G();
  const bool arrow_mode = !MapMode(mode);
  if (m.EFS50NavMode == 1) {
    const double course = arrow_mode ? FiniteOr(s.SelectedCourse) : f.heading;
    ehsi::DrawCoursePointer(f, kRadioDeviation, course, s.Nav1CdiNeedle,
                            arrow_mode ? Efs50ToFrom(false) : ehsi::ToFrom::kNone);
    return;
  }
  if (m.EFS50NavMode != 2 || !Efs50WaypointActive()) return;
  const std::optional<double> xtk = Efs50CourseCrossTrack();
  const double course = arrow_mode ? FiniteOr(s.DesiredTrack) : f.heading;
  ehsi::DrawCoursePointer(f, kFlightPlanDeviation, course, xtk, arrow_mode ? Efs50ToFrom(false) : ehsi::ToFrom::kNone);
}

}  // namespace

void DrawEfs50ArcRose(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const RoseFrame f = Efs50RoseFrame(display, g, kEfs50ArcCentreY);
  if (!f.scale.usable) return;
  const int mode = M().EFS50HsiMode;
  const bool map = MapMode(mode);

  if (map) DrawRangeRing(f);
  DrawEfs50HeadingPointer(f, kHeadingPointer);
  ehsi::DrawSelectedHeading(f, kHeadingBug, FiniteOr(G().ApHeadingLockDir));
  gfx::GraphicsPath outline;
  ClipToArc(f, outline);
  ehsi::DrawCompassScale(f, kArcCard);
  DrawHeadingReadout(f, outline);
  DrawEfs50BearingPointers(f, kBearingPointers);
  if (!map) DrawCourseArrow(f);
  if (map) DrawMap(f, variant);
  g.ResetClip();
  DrawDeviationScale(f, mode);
  f.At();
  DrawEfs50Aircraft(g, c::kAmber);
}

}  // namespace ovi::efs
