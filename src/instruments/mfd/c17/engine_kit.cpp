#include "src/instruments/mfd/c17/engine_kit.h"

#include <algorithm>
#include <cmath>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/mfd/c17/c17_mfd.h"

namespace ovi::c17 {

EnginePageCanvas::EnginePageCanvas(const display::GaugeDisplay& display, gfx::Graphics& graphics)
    : g(graphics),
      scale(display::ScaleToSurface(kC17Canvas, display.width, display.height)),
      label(display::ArialBold(10.0f)),
      small(display::ArialBold(8.0f)) {
  UseCanvas();
}

const gfx::SolidBrush& EnginePageCanvas::Brush(gfx::ARGB colour) const {
  switch (colour) {
    case display::colour::kWhite: return white;
    case kC17Cyan: return cyan;
    case display::colour::kYellow: return yellow;
    case display::colour::kRed: return red;
    default: return green;
  }
}

void EnginePageCanvas::UseCanvas() const { display::UseCanvas(g, scale); }

void EnginePageCanvas::UseOrigin(float x, float y, double rotation) const {
  display::UseOrigin(g, scale, x, y, rotation);
}

MinutesSeconds MinutesAndSeconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0.0) return {};
  const double within_hour = std::fmod(seconds, 3600.0);
  const double minutes = std::floor(within_hour / 60.0);
  // Whole seconds: "%02.0f" of 59.5 would print 60 beside the minutes.
  return {minutes, std::floor(within_hour - 60.0 * minutes)};
}

double Readout(double value) {
  constexpr double kLargest = 999999.0;
  if (std::isnan(value)) return 0.0;
  return std::clamp(value, -kLargest, kLargest);
}

void DrawTexts(const EnginePageCanvas& c, const gfx::Font& font, const gfx::SolidBrush& brush,
               std::span<const PageText> texts) {
  for (const PageText& t : texts) display::DrawScreenText(c.g, font, brush, t.x, t.y, t.text);
}

std::array<double, 4> ThrustLevers() {
  return {host::GetEngine1Token128(), host::GetEngine2Token163(), host::GetEngine3Token198(),
          host::GetEngine4Token233()};
}

void DrawMaxThrustTimeLine(const EnginePageCanvas& c) {
  constexpr double kOverUntil = 900.0;  // then the time left to 1200 s
  constexpr double kLimit = 1200.0;
  const double t = guidance::guidance_state.MaxThrustTimer;
  if (!(t > 0.0)) return;
  if (t <= kOverUntil) {
    const MinutesSeconds over = MinutesAndSeconds(t);
    display::DrawScreenTextF(c.g, c.label, c.cyan, 0.0f, 0.0f, "MAX THR TIME OVER %02.0f:%02.0f", over.minutes,
                             over.seconds);
    return;
  }
  const double remaining = kLimit - t;
  if (remaining < 0.0) {
    display::DrawScreenText(c.g, c.label, c.cyan, 0.0f, 0.0f, "MAX THR TIME REM 00:00");
    return;
  }
  const MinutesSeconds left = MinutesAndSeconds(remaining);
  display::DrawScreenTextF(c.g, c.label, c.cyan, 0.0f, 0.0f, "MAX THR TIME REM %02.0f:%02.0f", left.minutes,
                           left.seconds);
}

void DrawReverseThrustMarks(const EnginePageCanvas& c, const std::array<double, 4>& levers, int row_y) {
  const gfx::Pen pen(kC17Cyan, 2.0f);
  for (std::size_t n = 0; n < levers.size(); ++n) {
    if (!(levers[n] < 0.0)) continue;
    const int x = kReverseMarkX[n];
    // Two arcs leave the circle open at its left and right.
    c.g.DrawArcI(pen, x, row_y, 20, 20, 210.0f, 120.0f);
    c.g.DrawArcI(pen, x, row_y, 20, 20, 30.0f, 120.0f);
    display::DrawScreenText(c.g, c.label, c.cyan, static_cast<float>(x - 2), static_cast<float>(row_y + 5), "REV");
  }
}

void DrawRatingLine(const EnginePageCanvas& c) {
  display::DrawScreenText(c.g, c.label, c.cyan, 0.0f, 43.0f, "RATING  1.22 MCT");
}

gfx::ARGB RuleColour(const ColourRule& rule, double value) {
  for (std::size_t i = 0; i < rule.count && i < rule.bands.size(); ++i) {
    const ColourBand& band = rule.bands[i];
    if (band.below ? value < band.limit : value > band.limit) return band.colour;
  }
  return rule.otherwise;
}

void DrawDialArc(const EnginePageCanvas& c, int left, int top) {
  const gfx::Pen pen(display::colour::kWhite, 2.0f);
  c.g.DrawArcI(pen, left, top, kDialSize, kDialSize, 135.0f, 180.0f);
}

int NeedleAngle(double value, double per_unit) {
  const double angle = value * per_unit * 180.0;
  if (!(angle > 0.0)) return 0;
  if (angle > 180.0) return 180;
  return static_cast<int>(angle);
}

void DrawDialNeedle(const EnginePageCanvas& c, int cx, int cy, std::span<const DialMark> marks, int angle,
                    gfx::ARGB colour) {
  const auto x = static_cast<float>(cx), y = static_cast<float>(cy);
  for (const DialMark& mark : marks) {
    c.UseOrigin(x, y, mark.rotation);
    c.g.DrawLineI(gfx::Pen(mark.colour, 2.0f), -25, 0, -30, 0);
  }
  // The needle's rest (A = 0) lies along the arc's start, 45 degrees below
  // the left of the centre.
  c.UseOrigin(x, y, -45.0 + angle);
  c.g.DrawLineI(gfx::Pen(colour, 2.0f), 0, 0, -25, 0);
}

void DrawDialFace(const EnginePageCanvas& c, const DialRow& row, int left, float text_x, double value) {
  DrawDialArc(c, left, row.top);
  display::DrawScreenTextF(c.g, c.label, c.Brush(RuleColour(row.text, value)), text_x, row.readout_y, row.format,
                           Readout(value));
}

void DrawDialPointer(const EnginePageCanvas& c, const DialRow& row, int left, double value) {
  const std::span<const DialMark> marks(row.marks.data(), std::min(row.mark_count, row.marks.size()));
  DrawDialNeedle(c, left + kDialSize / 2, row.top + kDialSize / 2, marks, NeedleAngle(value, row.per_unit),
                 RuleColour(row.needle, value));
}

void DrawBar(const EnginePageCanvas& c, const gfx::SolidBrush& brush, Growth growth, int base, int from, int across,
             int length) {
  if (length <= 0 || across <= 0) return;
  const double start = growth == Growth::kUp || growth == Growth::kLeft ? static_cast<double>(base) - length : base;
  const int edge = gfx::TruncToPixel(start);
  if (growth == Growth::kUp || growth == Growth::kDown) {
    c.g.FillRectangleI(brush, from, edge, across, length);
  } else {
    c.g.FillRectangleI(brush, edge, from, length, across);
  }
}

}  // namespace ovi::c17
