// Page 0, the HSI of the first navigation radio: a heading-up rose with the
// course pointer and its deviation bar, the glideslope scale, the selected
// heading, the track, the ADF and both radio bearing pointers, framed by the
// heading, course, DME, source and ground-speed fields.
#include <string>
#include <string_view>

#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/ehsi/kit.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/engine_kit.h"
#include "src/instruments/mfd/c17/nav_pages.h"
#include "src/instruments/mfd/c17/state.h"

namespace ovi::c17 {

namespace {

using display::FiniteOr;
using display::Segment;
using display::colour::kGreen;
using display::colour::kMagenta;
using display::colour::kSkyBlue;
using display::colour::kWhite;
using ehsi::Shape;
using gfx::Point;

constexpr auto kRoseLabels = C17RoseLabels(-10.0f, -7.0f);
constexpr ehsi::CompassScale kRose{.step = 5,
                                   .major_every = 30,
                                   .label_every = 30,
                                   .tick_radius = 85,
                                   .minor_outer = 90,
                                   .major_outer = 90,
                                   .window = 0.0,
                                   .font = display::ArialBold,
                                   .font_size = 14.0f,
                                   .label_x_one_digit = -10.0f,
                                   .label_x_two_digits = -10.0f,
                                   .label_y = -7.0f,
                                   .upright_radius = 70.0f,
                                   .labels = kRoseLabels,
                                   .major_inner = 80};

constexpr Segment kAircraftSymbol[] = {{{0, -10}, {0, 15}}, {{-10, 0}, {10, 0}}, {{-5, 10}, {5, 10}}};
constexpr Segment kHeadingBox[] = {{{-12, -118}, {-12, -103}}, {{-12, -103}, {12, -103}},
                                   {{12, -103}, {12, -118}},   {{12, -118}, {-12, -118}}};

constexpr Point kDeviationDots[] = {{-53, -3}, {-28, -3}, {22, -3}, {47, -3}};
constexpr Segment kCourseArrow[] = {{{0, -30}, {0, -90}}, {{0, 30}, {0, 90}}};
constexpr ehsi::CoursePointer kCoursePointer{.dots = kDeviationDots,
                                             .dot_diameter = 6,
                                             .arrow = {kMagenta, 2.0f, kCourseArrow, {}},
                                             .bar_top = -30,
                                             .bar_bottom = 30,
                                             .bar_per_needle = kNeedleToDeviation,
                                             .to_head = {},
                                             .from_head = {}};
constexpr Point kCourseArrowhead[] = {{0, -55}, {5, -50}, {-5, -50}};
constexpr Segment kCourseMarkLines[] = {{{0, -90}, {0, -100}}, {{-5, -95}, {5, -95}}};
constexpr Shape kCourseMark{kSkyBlue, 2.0f, kCourseMarkLines, {}};

constexpr Point kGlideslopeDots[] = {{113, 5}, {113, -15}, {113, 45}, {113, 65}};
constexpr Point kGlideslopeCentre[] = {{111, 23}, {111, 27}, {119, 27}, {119, 23}, {111, 23}};
constexpr Point kGlideslopeDiamond[] = {{115, -5}, {110, 0}, {115, 5}, {120, 0}};
constexpr ehsi::GlideslopeScale kGlideslope{.dots = kGlideslopeDots,
                                            .dot_diameter = 4,
                                            .centre = {},
                                            .per_needle = kNeedleToGlideslope,
                                            .offset = 29.0,
                                            .pointer = kGlideslopeDiamond,
                                            .line_width = 1.0f,
                                            .centre_outline = kGlideslopeCentre,
                                            .pointer_filled = true};

constexpr Segment kHeadingMarkerLines[] = {{{0, -90}, {-5, -90}}, {{-5, -90}, {-5, -95}}, {{-5, -95}, {0, -95}},
                                           {{0, -95}, {0, -90}},  {{0, -90}, {5, -90}},   {{5, -90}, {5, -95}},
                                           {{5, -95}, {0, -95}}};
constexpr Shape kHeadingMarker{kSkyBlue, 2.0f, kHeadingMarkerLines, {}};

constexpr Segment kTrackDiamondLines[] = {
    {{0, -90}, {-4, -94}}, {{-4, -94}, {0, -98}}, {{0, -98}, {4, -94}}, {{4, -94}, {0, -90}}};
constexpr Shape kTrackDiamond{kGreen, 2.0f, kTrackDiamondLines, {}};

constexpr Point kAdfHead[] = {{0, -90}, {5, -82}, {-5, -82}};
constexpr Segment kAdfLines[] = {{{0, -60}, {0, -90}}, {{0, 60}, {0, 90}}, {{0, 81}, {8, 87}}, {{0, 81}, {-8, 87}}};
constexpr Shape kAdfPointer{kSkyBlue, 2.0f, kAdfLines, {}};

constexpr Point kVorHead[] = {{-2, -30}, {-2, -50}, {-5, -50}, {0, -55}, {0, -90},
                              {0, -55},  {5, -50},  {2, -50},  {2, -30}};
constexpr Point kVorTail[] = {{-2, 30}, {-2, 50}, {0, 55}, {0, 90}, {0, 55}, {2, 50}, {2, 30}};
constexpr Shape kVorPointer[] = {{kSkyBlue, 2.0f, {}, kVorHead}, {kSkyBlue, 2.0f, {}, kVorTail}};

constexpr Point kNav2Head[] = {{0, -60},  {-6, -60}, {-6, -65}, {-3, -65}, {-3, -85}, {0, -90},
                               {3, -85},  {3, -65},  {6, -65},  {6, -60},  {0, -60}};
constexpr Point kNav2Tail[] = {{0, 60},  {3, 65},  {3, 80},   {8, 85},   {8, 90}, {0, 85},
                               {-8, 90}, {-8, 85}, {-3, 80}, {-3, 65}, {0, 60}};
constexpr Segment kNav2Shafts[] = {{{0, -60}, {0, -90}}, {{0, 60}, {0, 90}}};
constexpr Segment kNav2Feathers[] = {{{0, 81}, {8, 88}}, {{0, 81}, {-8, 88}}};
constexpr Shape kNav2Pointer[] = {{kGreen, 2.0f, {}, kNav2Head},
                                  {kGreen, 1.0f, std::span<const Segment>(kNav2Shafts, 1), {}},
                                  {kGreen, 2.0f, {}, kNav2Tail},
                                  {kGreen, 1.0f, std::span<const Segment>(kNav2Shafts + 1, 1), {}},
                                  {kGreen, 2.0f, kNav2Feathers, {}}};

// The station ident's field: from x 90 to the canvas's right edge in the
// 9-unit font.
constexpr std::size_t kStationIdentChars = 5;

struct HsiPage {
  gfx::Graphics& g;
  ehsi::RoseFrame rose;
  gfx::Font small = display::ArialBold(9.0f);
  gfx::Font medium = display::ArialBold(11.0f);
  gfx::Font large = display::ArialBold(14.0f);
  gfx::SolidBrush green{kGreen};
  gfx::SolidBrush white{kWhite};
  gfx::Pen white1{kWhite, 1.0f};
  gfx::Pen white2{kWhite, 2.0f};

  void Text(const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y, const char* text) {
    display::DrawScreenText(g, font, brush, x, y, text);
  }
  void Fields();
  void SourceBlock();
  void Rose();
  void Pointers();
};

void HsiPage::Fields() {
  const guidance::State& s = guidance::guidance_state;
  if (host::GetNav1Signal() > 0.0) {
    display::DrawScreenTextF(g, small, green, -120, -118, "%3.1f", Readout(s.Nav1DmeDistance));
    g.DrawRectangleI(white1, -120, -118, 25, 10);
    Text(small, white, -120, -106, "DIST");
  }
  display::DrawScreenTextF(g, large, green, -14, -118, "%03.0f", Readout(s.AircraftHeading));
  display::DrawSegments(g, white1, kHeadingBox);
  Text(medium, white, 15, -118, "M");
  display::DrawScreenTextF(g, small, green, 93, -118, "%03.0f", Readout(s.SelectedCourse));
  g.DrawRectangleI(white1, 90, -118, 25, 10);
  Text(small, white, 90, -106, "CRS");
  if (host::GetNav1Signal() > 0.0) SourceBlock();
  display::DrawScreenTextF(g, small, green, -120, 110, "GS %3.0f", Readout(s.GroundSpeedKnots));
}

void HsiPage::SourceBlock() {
  const guidance::State& s = guidance::guidance_state;
  Text(small, green, 80, 80, Nav1SourceText());
  display::DrawScreenTextF(g, small, green, 80, 90, "C %03.0f", Readout(s.SelectedCourse));
  display::DrawScreenTextF(g, small, green, 80, 100, "D %.1f", Readout(host::GetNav1DmeDistance()));
  // The radio may have lost the station since the block began.
  const std::string ident = host::GetNav1Signal() > 0.0 ? host::ReadNav1StationIdent() : std::string();
  g.DrawString(std::string_view(ident).substr(0, kStationIdentChars), small, gfx::PointF(90.0f, 110.0f), green);
  // Taken the short way round: a station just across north of the course
  // is ahead of it, not behind.
  Text(small, green, -120, 80, display::Nav1ToStation() ? "TO" : "FROM");
  g.DrawRectangleI(white1, -120, 80, 35, 10);
}

void HsiPage::Rose() {
  rose.At();
  display::DrawSegments(g, white2, kAircraftSymbol);
  ehsi::DrawCompassScale(rose, kRose);
  for (int mark = 0; mark < 360; mark += 45) {
    rose.At(mark);
    g.DrawLineI(white2, 0, -92, 0, -102);
  }
  rose.At();
  g.DrawEllipseI(white2, -90, -90, 180, 180);
}

void HsiPage::Pointers() {
  const guidance::State& s = guidance::guidance_state;
  const double course = FiniteOr(s.SelectedCourse);
  ehsi::DrawCoursePointer(rose, kCoursePointer, course, s.Nav1CdiNeedle, ehsi::ToFrom::kNone);
  g.FillPolygonI(gfx::SolidBrush(kMagenta), kCourseArrowhead);
  ehsi::DrawShape(g, kCourseMark);
  if (host::IsNav1GlideslopeAvailable() != 0) ehsi::DrawGlideslopeScale(rose, kGlideslope, s.Nav1GlideslopeNeedle);
  ehsi::DrawShapeToward(rose, FiniteOr(s.ApHeadingLockDir), kHeadingMarker);
  ehsi::DrawShapeToward(rose, FiniteOr(s.GroundTrack), kTrackDiamond);
  if (s.AdfSignal > 0.0) {
    rose.At(FiniteOr(s.AdfRelativeBearing) + 360.0);
    g.FillPolygonI(gfx::SolidBrush(kSkyBlue), kAdfHead);
    ehsi::DrawShape(g, kAdfPointer);
  }
  if (host::GetNav1Signal() > 0.0 && host::IsNav1Localizer() == 0) {
    rose.Toward(display::Nav1StationBearing());
    for (const Shape& shape : kVorPointer) ehsi::DrawShape(g, shape);
  }
  if (host::GetNav2Signal() > 0.0) {
    double bearing = FiniteOr(s.SecondBearingPointer) + rose.heading;
    if (bearing >= 360.0) bearing -= 360.0;
    rose.Toward(bearing);
    for (const Shape& shape : kNav2Pointer) ehsi::DrawShape(g, shape);
  }
}

}  // namespace

const char* Nav1SourceText() {
  if (host::IsNav1GlideslopeAvailable() != 0) return "ILS-1";
  if (host::IsNav1Localizer() != 0) return "LOC-1";
  return "VOR-1";
}

void DrawC17HsiPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = display::ScaleToSurface(kC17Canvas, display.width, display.height);
  if (!scale.usable) return;
  const State& c = c17_state;
  HsiPage page{g,
               ehsi::RoseFrame{g, scale, static_cast<float>(c.C17MfdOriginX), static_cast<float>(c.C17MfdOriginY),
                               FiniteOr(guidance::guidance_state.AircraftHeading)}};
  page.rose.At();
  page.Fields();
  page.Rose();
  page.Pointers();
  display::UseCanvas(g, scale);
}

}  // namespace ovi::c17
