// The heading-up arc of modes 1 and 3 about (159, 272): compass arc and
// range arcs, the scale within 55 degrees of the heading, the altitude range
// arc (mode 3), the radio information (mode 1), the selected heading, the
// lubber mark and the track diamond.
#include <cmath>
#include <optional>

#include "src/display/kit.h"
#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/map.h"
#include "src/instruments/ehsi/state.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::ehsi {

namespace {

using display::colour::kBlue;
using display::colour::kGreen;
using display::colour::kTan;
using display::colour::kWhite;
using gfx::Point;

constexpr CompassScale kArcScale{.step = 5,
                                 .major_every = 10,
                                 .label_every = 10,
                                 .tick_radius = 234,
                                 .minor_outer = 238,
                                 .major_outer = 242,
                                 .window = 55.0,
                                 .font = display::DaReredBold,
                                 .font_size = 15.0f,
                                 .label_x_one_digit = -6.0f,
                                 .label_x_two_digits = -10.0f,
                                 .label_y = -258.0f,
                                 .upright_radius = 0.0f};

// Range arcs of two thirds and one third of the range, centred straight up.
constexpr int kOuterRangeRadius = 156;
constexpr int kInnerRangeRadius = 78;

constexpr Point kGlideslopeDots[] = {{130, -130}, {130, -110}, {130, -70}, {130, -50}};
constexpr Point kGlideslopeDiamond[] = {{132, -5}, {137, 0}, {132, 5}, {127, 0}, {132, -5}};
constexpr GlideslopeScale kGlideslope{.dots = kGlideslopeDots,
                                      .dot_diameter = 4,
                                      .centre = {{130, -90}, {140, -90}},
                                      .per_needle = 45.0 / 127.0,
                                      .offset = -90.0,
                                      .pointer = kGlideslopeDiamond};

// The bar keeps the full rose's 80 units per full needle, so a full needle
// lies 20 units beyond the outer dot.
constexpr Point kDeviationDots[] = {{-32, -2}, {-62, -2}, {28, -2}, {58, -2}};
constexpr Segment kCourseArrow[] = {{{0, -200}, {0, -235}}, {{0, -30}, {0, -77}}, {{-10, -50}, {10, -50}}};
// No TO/FROM head on the arc.
constexpr CoursePointer kCoursePointer = Du1000CoursePointer(kDeviationDots, kCourseArrow, {}, {});

constexpr Segment kHeadingMarkerLine[] = {{{0, -234}, {0, -260}}};
constexpr HeadingMarker kHeadingMarker{.line = {kBlue, 3.0f, kHeadingMarkerLine, {}},
                                       .readout_beyond = 41.0,
                                       .readout_turn = 40.0,
                                       .readout_at = {-10.0f, -230.0f},
                                       .font = display::DaReredBold,
                                       .font_size = 15.0f,
                                       .screen_width = kDu1000Canvas.width};

constexpr Point kLubberOutline[] = {{0, -233}, {8, -223}, {-8, -223}, {0, -233}};
constexpr Shape kLubber{kTan, 2.0f, {}, kLubberOutline};

constexpr Point kTrackOutline[] = {{0, -234}, {3, -239}, {0, -244}, {-3, -239}, {0, -234}};
constexpr Shape kTrackDiamond{kGreen, 2.0f, {}, kTrackOutline};

const guidance::State& G() { return guidance::guidance_state; }

// The selected altitude is reached ahead while the autopilot descends to
// it: an arc of the inner ring's size touching that point. The scale is
// 233 units for the range and is left in MapPixelsPerNm, the distance in
// units in CalcDistance.
void DrawDu1000AltitudeRangeArc(gfx::Graphics& g, int mode) {
  if (mode != 3 || !AltitudeRangeArcWanted()) return;
  if (const std::optional<double> ahead =
          DrawAltitudeRangeArc(g, 233.0, model::model_state.Du1000EhsiRange, 2 * kInnerRangeRadius))
    navdb::navdb_state.CalcDistance = *ahead;
}

// Mode 1: the source the first radio receives, its frequency when it is a
// localizer, its glideslope and the course pointer.
void DrawRadioInformation(const RoseFrame& f) {
  const Nav1Source source = ReadNav1Source();
  if (source != Nav1Source::kNone) {
    f.At();
    const gfx::Font value = display::DaReredBold(15.0f);
    const gfx::SolidBrush blue(kBlue);
    display::DrawScreenText(f.g, value, blue, -10.0f, -195.0f, Nav1SourceLabel(source));
    if (source == Nav1Source::kIls)
      display::DrawScreenText(f.g, display::DaReredBold(12.0f), gfx::SolidBrush(kWhite), 125.0f, -155.0f, "G/S");
    if (source == Nav1Source::kIls || source == Nav1Source::kLoc)
      display::DrawScreenTextF(f.g, value, blue, -20.0f, -180.0f, "%3.2f", display::Nav1FrequencyMhz());
  }
  if (source != Nav1Source::kNone && host::IsNav1GlideslopeAvailable() != 0)
    DrawGlideslopeScale(f, kGlideslope, G().Nav1GlideslopeNeedle);
  DrawCoursePointer(f, kCoursePointer, display::FiniteOr(G().SelectedCourse), G().Nav1CdiNeedle, ToFrom::kNone);
}

}  // namespace

void DrawDu1000ArcRose(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const RoseFrame f = Du1000RoseFrame(display, g, kDu1000RoseX, kDu1000ArcY);
  const int mode = model::model_state.DU1000EHSIMode;
  const int radius = ehsi_state.Du1000MapRadius;
  const gfx::Pen white(kWhite, 2.0f);

  f.At();
  DrawAircraftShape(g, kDu1000AircraftSymbol);
  g.DrawEllipseI(white, -radius, -radius, 2 * radius, 2 * radius);
  g.DrawArcI(white, -kOuterRangeRadius, -kOuterRangeRadius, 2 * kOuterRangeRadius, 2 * kOuterRangeRadius, 220.0f,
             100.0f);
  g.DrawArcI(white, -kInnerRangeRadius, -kInnerRangeRadius, 2 * kInnerRangeRadius, 2 * kInnerRangeRadius, 215.0f,
             110.0f);
  DrawCompassScale(f, kArcScale);

  f.At();
  gfx::GraphicsPath compass;
  compass.AddEllipse(static_cast<float>(-radius), static_cast<float>(-radius), 2.0f * radius, 2.0f * radius);
  g.SetClip(compass);
  DrawDu1000AltitudeRangeArc(g, mode);
  g.ResetClip();

  if (mode == 1) DrawRadioInformation(f);
  DrawSelectedHeading(f, kHeadingMarker, G().ApHeadingLockDir);
  f.At();
  DrawShape(g, kLubber);
  DrawShapeToward(f, display::FiniteOr(G().GroundTrack), kTrackDiamond);
}

}  // namespace ovi::ehsi
