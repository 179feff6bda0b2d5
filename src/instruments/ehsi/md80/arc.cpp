// Mode 1: the expanded compass arc about (133, 204) with its half-range
// ring and range figure, the ADF pointer, the course pointer and deviation
// bar, TO/FROM, the radio fields, the wind, the selected heading, the track
// diamond and the aircraft symbol. The arc's pieces are the map modes' too.
#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/md80/radio_fields.h"
#include "src/model/state.h"

namespace ovi::ehsi {

namespace {

using display::FiniteOr;
using display::colour::kBlue;
using display::colour::kGreen;
using display::colour::kMagenta;
using display::colour::kWhite;
using gfx::Point;

constexpr int kArcRadius = 180;
constexpr int kRingRadius = 90;

constexpr CompassLabel kScaleLabels[] = {{0, "00", -13},   {30, "03", -13},  {60, "06", -13},  {90, "09", -13},
                                         {120, "12", -13}, {150, "15", -13}, {180, "18", -12}, {210, "21", -14},
                                         {240, "24", -13}, {270, "27", -13}, {300, "30", -13}, {330, "33", -13}};
constexpr CompassScale kHeadingScale{.step = 5,
                                     .major_every = 10,
                                     .label_every = 30,
                                     .tick_radius = kArcRadius,
                                     .minor_outer = 188,
                                     .major_outer = 196,
                                     .window = 65.0,
                                     .font = display::DaReredBold,
                                     .font_size = 18.0f,
                                     .label_x_one_digit = -13.0f,
                                     .label_x_two_digits = -13.0f,
                                     .label_y = -198.0f,
                                     .upright_radius = 0.0f,
                                     .labels = kScaleLabels};

constexpr Segment kLubberLines[] = {{{0, -180}, {-5, -172}}, {{0, -180}, {5, -172}}, {{-5, -172}, {5, -172}}};
constexpr Shape kLubber{kWhite, 2.0f, kLubberLines, {}};

constexpr Segment kSelectedLine[] = {{{0, 0}, {0, -184}}};
constexpr Shape kSelectedHeadingLine{kGreen, 2.0f, kSelectedLine, {}, {}, true};
// The bug sits on the arc, its notch pointing at the centre line.
constexpr Point kBugOutline[] = {{0, -184},   {6, -190},   {12, -190}, {12, -180},
                                 {-12, -180}, {-12, -190}, {-6, -190}, {0, -184}};
constexpr Shape kBug{kGreen, 2.0f, {}, {}, kBugOutline};

constexpr Point kTrackOutline[] = {{0, -194}, {5, -187}, {0, -180}, {-5, -187}, {0, -194}};
constexpr Shape kTrackDiamond{kMagenta, 2.0f, {}, kTrackOutline};

constexpr Segment kAircraftLines[] = {{{0, -10}, {0, 10}}, {{-10, 0}, {10, 0}}, {{-5, 10}, {5, 10}}};
constexpr Shape kAircraftSymbol{kWhite, 2.0f, kAircraftLines, {}};

// One needle from the half-range ring to the arc with two chevrons.
constexpr Segment kAdfPointerLines[] = {{{0, -90}, {0, -120}},   {{-5, -120}, {5, -120}}, {{-5, -120}, {0, -115}},
                                        {{5, -120}, {0, -115}},  {{0, -120}, {0, -160}},  {{-5, -160}, {5, -160}},
                                        {{-5, -160}, {0, -155}}, {{5, -160}, {0, -155}},  {{0, -160}, {0, -180}}};
constexpr Shape kAdfPointer{kBlue, 2.0f, kAdfPointerLines, {}};

constexpr Point kDots[] = {{-22, -2}, {-42, -2}, {18, -2}, {38, -2}};
constexpr Segment kCourseLines[] = {{{0, -70}, {0, -110}}, {{0, 70}, {0, 110}}};
constexpr CoursePointer kCoursePointer{.dots = kDots,
                                       .dot_diameter = 4,
                                       .arrow = {kMagenta, 2.0f, kCourseLines, {}},
                                       .bar_top = -70,
                                       .bar_bottom = 70,
                                       .bar_per_needle = 0.31496062992125984,
                                       .to_head = {},
                                       .from_head = {}};

// The full rose's scale 6 units lower.
constexpr Point kGlideslopeDots[] = {{250, 84}, {250, 101}, {250, 137}, {250, 152}};
constexpr Point kGlideslopePointer[] = {{250, -2}, {260, -2}, {260, 3}, {250, 3}, {250, -2}};
constexpr Md80RadioFields kFields{.font = display::DaReredBold,
                                  .dme1_at = {0.0f, 4.0f},
                                  .dme2_at = {223.0f, 4.0f},
                                  .dme_label_below = 13.0f,
                                  .glideslope = {.dots = kGlideslopeDots,
                                                 .dot_diameter = 5,
                                                 .centre = {{248, 120}, {260, 120}},
                                                 .per_needle = 0.26771653543307083,
                                                 .offset = 120.0,
                                                 .pointer = kGlideslopePointer}};

const guidance::State& G() { return guidance::guidance_state; }

void DrawToFrom(const RoseFrame& f) {
  f.At();
  const gfx::Font font = display::DaReredBold(13.0f);
  const gfx::SolidBrush white(kWhite);
  // Taken the short way round, as on the full rose.
  const bool to = display::Nav1ToStation();
  display::DrawScreenText(f.g, font, white, 80.0f, -120.0f, to ? "TO" : "FROM");
  display::DrawScreenText(f.g, font, white, to ? 80.0f : 90.0f, -106.0f, "VOR");
}

}  // namespace

void DrawMd80CompassArc(const RoseFrame& f) {
  f.At();
  f.g.DrawArcI(gfx::Pen(kWhite, 2.0f), -kArcRadius, -kArcRadius, 2 * kArcRadius, 2 * kArcRadius, 222.0f, 96.0f);
}

void DrawMd80HalfRangeRing(const RoseFrame& f) {
  f.At();
  const gfx::Pen white(kWhite, 2.0f);
  const float pieces[][2] = {{219.0f, 25.0f}, {248.0f, 50.0f}, {301.0f, 19.0f}};
  for (const auto& p : pieces)
    f.g.DrawArcI(white, -kRingRadius, -kRingRadius, 2 * kRingRadius, 2 * kRingRadius, p[0], p[1]);
  f.g.DrawLineI(white, 0, -94, 0, -86);
}

void DrawMd80Lubber(const RoseFrame& f) {
  f.At();
  DrawShape(f.g, kLubber);
}

void DrawMd80HalfRangeFigure(const RoseFrame& f, float x, float y) {
  f.At();
  const double range = FiniteOr(model::model_state.Md80EhsiMapRange);
  display::DrawMapTextF(f.g, display::MapRank::kRangeFigure, display::DaReredBold(13.0f), gfx::SolidBrush(kWhite), x,
                        y, "%s", display::RingFigure(range * 0.5, 3).c_str());
}

void DrawMd80HeadingScale(const RoseFrame& f) { DrawCompassScale(f, kHeadingScale); }

void DrawMd80SelectedHeading(const RoseFrame& f, bool with_line) {
  const double selected = FiniteOr(G().ApHeadingLockDir);
  f.Toward(selected);
  if (with_line) DrawShape(f.g, kSelectedHeadingLine);
  DrawShape(f.g, kBug);
}

void DrawMd80TrackDiamond(const RoseFrame& f) { DrawShapeToward(f, FiniteOr(G().GroundTrack), kTrackDiamond); }

void DrawMd80AircraftSymbol(const RoseFrame& f) {
  f.At();
  DrawAircraftShape(f.g, kAircraftSymbol);
}

void DrawMd80EhsiArc(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const RoseFrame f = Md80CentredFrame(display, g);
  const RoseFrame canvas = Md80Frame(display, g, 0, 0);

  DrawMd80HalfRangeFigure(f, -85.0f, -54.0f);
  DrawMd80CompassArc(f);
  DrawMd80HalfRangeRing(f);
  DrawMd80Lubber(f);
  DrawMd80HeadingScale(f);
  if (DrawMd80AdfAndCourse(f, kAdfPointer, kCoursePointer, false)) DrawToFrom(f);
  DrawMd80RadioFields(canvas, kFields);
  DrawMd80SelectedHeading(f, true);
  DrawMd80TrackDiamond(f);
  DrawMd80AircraftSymbol(f);
}

}  // namespace ovi::ehsi
