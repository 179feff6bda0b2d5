// The DU-1000's text fields around the rose, drawn last in every mode but 2:
// speeds, the radio, the selected course, the active waypoint, the range
// ring values and the wind with its arrow.
#include <string>

#include "src/display/kit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/model/records.h"
#include "src/model/state.h"

namespace ovi::ehsi {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;
using display::FiniteOr;
using display::colour::kBlue;
using display::colour::kGreen;

// The active waypoint's ident keeps to the field from x 255 to the canvas's
// right edge: seven characters of the 12-unit font.
constexpr int kWaypointIdentField = 7;

struct Fonts {
  gfx::Font label = display::ArialBold(12.0f);
  gfx::Font value = display::ArialBold(15.0f);
};

struct Brushes {
  gfx::SolidBrush green{kGreen};
  gfx::SolidBrush blue{kBlue};
};

void DrawSpeeds(gfx::Graphics& g, const Fonts& fonts, const Brushes& b) {
  const guidance::State& s = guidance::guidance_state;
  DrawScreenText(g, fonts.label, b.green, 10.0f, 0.0f, "GS");
  const double gs = FiniteOr(s.GroundSpeedKnots);
  if (gs < 1.0) {
    DrawScreenText(g, fonts.value, b.green, 40.0f, 0.0f, "---");
  } else {
    DrawScreenTextF(g, fonts.value, b.green, 40.0f, 0.0f, "%3.0f", gs);
  }
  DrawScreenText(g, fonts.label, b.green, 10.0f, 15.0f, "TAS");
  const double tas = FiniteOr(s.TrueAirspeedEstimate);
  if (tas <= 0.0) {
    DrawScreenText(g, fonts.value, b.green, 40.0f, 15.0f, "---");
  } else {
    DrawScreenTextF(g, fonts.value, b.green, 40.0f, 15.0f, "%3.0f", tas);
  }
}

void DrawRadio(gfx::Graphics& g, const Fonts& fonts, const Brushes& b) {
  const Nav1Source source = ReadNav1Source();
  if (source == Nav1Source::kNone) return;
  DrawScreenText(g, fonts.value, b.blue, 150.0f, 0.0f, Nav1SourceLabel(source));
  if (source == Nav1Source::kIls) DrawScreenText(g, fonts.label, b.blue, 290.0f, 45.0f, "G/S");
  if (source == Nav1Source::kIls || source == Nav1Source::kLoc)
    DrawScreenTextF(g, fonts.value, b.blue, 140.0f, 15.0f, "%3.2f", display::Nav1FrequencyMhz());
}

void DrawActiveWaypoint(gfx::Graphics& g, const Fonts& fonts, const Brushes& b) {
  const guidance::State& s = guidance::guidance_state;
  DrawScreenText(g, fonts.label, b.green, 255.0f, 0.0f, ActiveWaypointIdent(kWaypointIdentField).c_str());
  DrawScreenTextF(g, fonts.label, b.green, 270.0f, 12.0f, "%03.0f\xB0", FiniteOr(s.BearingToActiveWaypoint));
  // Each character beyond two starts the distance 5.8 units further left,
  // so the text ends near the canvas's right edge.
  const double distance = FiniteOr(s.ActiveWaypointDistance);
  const auto n = static_cast<float>(display::ScreenTextLength("%.0fNM", distance));
  DrawScreenTextF(g, fonts.label, b.green, 284.0f - (n - 2.0f) * 5.8f, 24.0f, "%.0fNM", distance);
}

void DrawRangeValues(gfx::Graphics& g, const Fonts& fonts, const Brushes& b) {
  const double range = FiniteOr(model::model_state.Du1000EhsiRange);
  display::DrawMapTextF(g, display::MapRank::kRangeFigure, fonts.value, b.blue, 12.0f, 162.0f, "%s",
                        display::RingFigure(range * 2.0 / 3.0, 3).c_str());
  display::DrawMapTextF(g, display::MapRank::kRangeFigure, fonts.value, b.blue, 68.0f, 217.0f, "%s",
                        display::RingFigure(range / 3.0, 3).c_str());
}

// The arrow points where the wind blows to, turned by the heading.
void DrawWind(gfx::Graphics& g, const display::CanvasScale& scale, const Fonts& fonts, const Brushes& b) {
  const guidance::State& s = guidance::guidance_state;
  const double speed = FiniteOr(s.WindSpeed);
  const double direction = FiniteOr(s.WindDirectionMagnetic);
  if (speed < 1.0) {
    DrawScreenText(g, fonts.label, b.green, 0.0f, 295.0f, "---/---");
    return;
  }
  DrawScreenTextF(g, fonts.label, b.green, 0.0f, 295.0f, "%03.0f/%-3.0f", direction, speed);
  int angle = gfx::TruncToPixel(direction + 180.0);
  if (angle > 360) angle -= 360;
  display::UseOrigin(g, scale, 20.0f, 285.0f, angle - FiniteOr(s.AircraftHeading));
  static constexpr gfx::Point kHead[] = {{0, -8}, {3, -5}, {-3, -5}, {0, -8}};
  g.FillPolygonI(b.green, kHead);
  g.DrawLineI(gfx::Pen(kGreen, 1.0f), 0, 8, 0, -8);
}

}  // namespace

void DrawDu1000DataBlocks(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = display::ScaleToSurface(kDu1000Canvas, display.width, display.height);
  const int mode = model::model_state.DU1000EHSIMode;
  const Fonts fonts;
  const Brushes b;
  display::UseCanvas(g, scale);
  DrawSpeeds(g, fonts, b);
  if (mode == 0) DrawRadio(g, fonts, b);
  if (mode == 0 || mode == 1) {
    DrawScreenText(g, fonts.label, b.blue, 250.0f, 3.0f, "CRS");
    DrawScreenTextF(g, fonts.value, b.blue, 280.0f, 0.0f, "%03.0f\xB0",
                    FiniteOr(guidance::guidance_state.SelectedCourse));
  }
  if (mode == 3 && flightplan::flightplan_state.ActiveWaypointIndex != model::kNoWaypoint)
    DrawActiveWaypoint(g, fonts, b);
  if (mode == 1 || mode == 3) DrawRangeValues(g, fonts, b);
  DrawWind(g, scale, fonts, b);
  display::UseCanvas(g, scale);
}

}  // namespace ovi::ehsi
