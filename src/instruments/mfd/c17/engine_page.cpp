// Page 9, the engines: EPR worked out from N1 as bars on one scale with
// their readouts, N1, the thrust lever marks, total fuel flow, the
// exhaust-temperature limit line and its time, under the engine pages'
// header.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/engine_kit.h"
#include "src/instruments/mfd/c17/engine_pages.h"
#include "src/instruments/mfd/c17/state.h"

namespace ovi::c17 {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;

// Each segment's share of the N1 band (percent, 100 in all) and the EPR a
// full segment adds: 0.85 at the band's foot, 1.85 at its top.
struct EprSegment {
  double width;
  double increment;
};
constexpr EprSegment kEprSegments[] = {
    {2.5, 0.05}, {10.9, 0.1}, {8.8, 0.1},  {10.8, 0.1}, {11.1, 0.1}, {14.6, 0.1},
    {11.8, 0.1}, {12.4, 0.1}, {7.5, 0.1},  {7.8, 0.1},  {1.8, 0.05},
};
constexpr double kEprFoot = 0.85;
constexpr double kEprTop = 1.85;

// Engines 1 to 4, left to right.
constexpr std::array<int, 4> kBarX = {-83, -43, 37, 77};
constexpr std::array<float, 4> kEprReadoutX = {20, 65, 155, 195};
constexpr std::array<float, 4> kN1ReadoutX = {20, 70, 155, 195};
// The lever chevron's point touches its bar (A) and opens away from it (B).
constexpr std::array<std::array<int, 2>, 4> kChevronX = {{{-84, -89}, {-44, -49}, {44, 49}, {84, 89}}};
constexpr std::array<std::array<int, 2>, 4> kScaleTicks = {{{-37, -27}, {-77, -67}, {37, 30}, {77, 70}}};

constexpr int kBarTop = -60;
constexpr int kBarHeight = 120;

std::array<double, 4> EngineN1() {
  return {host::GetEngine1Token626(), host::GetEngine2Token645(), host::GetEngine3Token664(),
          host::GetEngine4Token683()};
}

std::array<double, 4> EngineEgt() {
  return {host::GetEngine1TempToken567C(), host::GetEngine2TempToken577C(), host::GetEngine3TempToken587C(),
          host::GetEngine4TempToken597C()};
}

bool AnyAbove(const std::array<double, 4>& values, double limit) {
  for (double v : values)
    if (v > limit) return true;
  return false;
}

// The temperature limit line: the yellow text goes with the higher test
// and reads 625, the red one with the lower test and reads 655. Both pairs
// are as the display has always shown them.
void DrawEgtLimitLine(const EnginePageCanvas& c, const std::array<double, 4>& egt) {
  if (AnyAbove(egt, 655.0)) {
    DrawScreenTextF(c.g, c.label, c.yellow, 167.0f, 33.0f, "MAX EGT %03.0f\xB0" "C", 625.0);
  } else if (AnyAbove(egt, 625.0)) {
    DrawScreenTextF(c.g, c.label, c.red, 167.0f, 33.0f, "MAX EGT %03.0f\xB0" "C", 655.0);
  }
}

// The temperature time line. The page itself starts the count at 300 s the
// first time it sees the timer running, so the time shown counts up from
// 05:00: kept as the display has always done it.
void DrawEgtTimeLine(const EnginePageCanvas& c) {
  constexpr double kStart = 300.0;
  double& timer = guidance::guidance_state.EngineTempLimitTimer;
  if (!(timer > 0.0)) return;
  if (timer <= kStart) {
    timer = kStart;
    DrawScreenTextF(c.g, c.label, c.green, 162.0f, 43.0f, "TIME REM %02.0f:%02.0f", 5.0, 0.0);
    return;
  }
  // At y 43 like the green line: 40 would run into the limit line above.
  const MinutesSeconds shown = MinutesAndSeconds(timer);
  DrawScreenTextF(c.g, c.label, c.yellow, 162.0f, 43.0f, "TIME REM %02.0f:%02.0f", shown.minutes, shown.seconds);
}

// The scale's labels: "%1.1f" with a leading zero shown as a blank.
void DrawScaleLabel(const EnginePageCanvas& c, double value, int y) {
  char text[display::kScreenTextBuffer];
  std::snprintf(text, sizeof text, "%1.1f", value);
  if (text[0] == '0') text[0] = ' ';
  const float x = value > 0.9 ? -9.0f : -6.0f;
  DrawScreenText(c.g, c.label, c.white, x, static_cast<float>(y - 5), text);
}

void DrawScale(const EnginePageCanvas& c) {
  const gfx::Pen pen(display::colour::kWhite, 1.0f);
  // Ten rows from 1.8 down, 0.1 subtracted row by row (so the last value is
  // just below 0.9 and takes the narrower place).
  double value = 1.8;
  for (int row = 0; row < 10; ++row) {
    const int y = -54 + 12 * row;
    for (const auto& tick : kScaleTicks) c.g.DrawLineI(pen, tick[0], y, tick[1], y);
    DrawScaleLabel(c, value, y);
    value -= 0.1;
  }
}

void DrawLeverMarks(const EnginePageCanvas& c, const std::array<double, 4>& levers) {
  const gfx::Pen pen(kC17Cyan, 2.0f);
  for (std::size_t n = 0; n < levers.size(); ++n) {
    // Reverse lever positions show their magnitude.
    const double lever = std::fabs(static_cast<double>(gfx::TruncToPixel(levers[n])));
    const int y = gfx::TruncToPixel(59.0 - lever * 118.0 / 16383.0);
    const int a = kChevronX[n][0], b = kChevronX[n][1];
    c.g.DrawLineI(pen, a, y, b, y - 5);
    c.g.DrawLineI(pen, a, y, b, y + 5);
  }
}

}  // namespace

double EprFromN1(double n1, double token342) {
  const double a = (token342 - 300.0) * 6.284170175328348e-05;
  const double lo = 40.0 - 16.0 * a;
  const double hi = 104.0 - 3.5 * a;
  const double span = hi - lo;
  double p = 0.0;
  if (span == 0.0) {
    // A band of no width: an engine at or above it is at the top.
    p = n1 >= hi ? 100.0 : 0.0;
  } else {
    p = 100.0 - 100.0 * (hi - n1) / span;
  }
  if (!(p >= 0.0)) p = 0.0;  // below the band, or no number at all
  if (p > 100.0) p = 100.0;

  double epr = kEprFoot;
  for (const EprSegment& segment : kEprSegments) {
    if (p < segment.width) {
      epr += segment.increment * p / segment.width;
      break;
    }
    epr += segment.increment;
    p -= segment.width;
    if (p == 0.0) break;
  }
  return epr;
}

int EprBarEmpty(double epr) {
  // 12 units per 0.1 below the top, in whole hundredths.
  const int hundredths = gfx::TruncToPixel((kEprTop - epr) * 100.0);
  return gfx::TruncToPixel(hundredths * 1.2);
}

void DrawC17EnginePage(display::GaugeDisplay& display, gfx::Graphics& g) {
  const EnginePageCanvas c(display, g);
  const double token342 = host::GetSimToken342();
  const std::array<double, 4> n1 = EngineN1();
  std::array<double, 4> epr{};
  for (std::size_t n = 0; n < n1.size(); ++n) epr[n] = EprFromN1(n1[n], token342);
  const std::array<double, 4> egt = EngineEgt();
  const std::array<double, 4> levers = ThrustLevers();

  DrawMaxThrustTimeLine(c);
  DrawReverseThrustMarks(c, levers, 10);
  DrawScreenText(g, c.label, c.white, 107.0f, 10.0f, "FF PPH");
  g.DrawRectangleI(gfx::Pen(display::colour::kWhite, 1.0f), 107, 25, 35, 12);
  DrawScreenTextF(g, c.label, c.green, 107.0f, 26.0f, "%5.0f", Readout(host::GetTotalFuelFlow()));
  DrawEgtLimitLine(c, egt);
  DrawEgtTimeLine(c);
  DrawRatingLine(c);
  for (std::size_t n = 0; n < epr.size(); ++n) {
    DrawScreenTextF(g, c.label, c.green, kEprReadoutX[n], 191.0f, "%1.2f", epr[n]);
  }
  DrawScreenText(g, c.label, c.white, 112.0f, 191.0f, "EPR");
  for (std::size_t n = 0; n < n1.size(); ++n) {
    DrawScreenTextF(g, c.label, c.green, kN1ReadoutX[n], 211.0f, "%2.1f", Readout(n1[n]));
  }
  DrawScreenText(g, c.label, c.white, 112.0f, 206.0f, "N1");
  DrawScreenText(g, c.label, c.white, 102.0f, 221.0f, "%RPM");

  const State& s = c17_state;
  c.UseOrigin(static_cast<float>(s.C17MfdOriginX), static_cast<float>(s.C17MfdOriginY));
  const gfx::Pen outline(display::colour::kWhite, 1.0f);
  for (std::size_t n = 0; n < epr.size(); ++n) {
    const int empty = EprBarEmpty(epr[n]);
    DrawBar(c, c.green, Growth::kUp, kBarTop + kBarHeight, kBarX[n], 6, kBarHeight - empty);
    g.DrawRectangleI(outline, kBarX[n], kBarTop, 6, kBarHeight);
  }
  DrawScale(c);
  DrawLeverMarks(c, levers);
}

}  // namespace ovi::c17
