// Page 10, the engine details: per engine an EPR readout, N1, N2 and EGT
// dials with their readouts and limit marks, and the fuel flow, under the
// engine pages' header; the units stand between engines 2 and 3.
#include <array>
#include <cmath>
#include <cstddef>

#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/engine_kit.h"
#include "src/instruments/mfd/c17/engine_pages.h"

namespace ovi::c17 {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;
using display::colour::kGreen;
using display::colour::kRed;
using display::colour::kYellow;

// N1 and N2 are tested low first, EGT high first.
constexpr ColourRule kSpoolColours{{{{true, 15.0, kYellow}, {false, 100.5, kRed}}}, 2, kGreen};
constexpr ColourRule kEgtColours{{{{false, 655.0, kRed}, {false, 625.0, kYellow}}}, 2, kGreen};

constexpr DialRow kDials[] = {
    {70, 105.0f, "%2.1f", 1.0 / 110.0, {{{-20.0f, kYellow}, {119.0f, kRed}}}, 2, kSpoolColours, kSpoolColours},
    {125, 160.0f, "%2.1f", 1.0 / 110.0, {{{44.0f, kYellow}, {119.0f, kRed}}}, 2, kSpoolColours, kSpoolColours},
    {180, 215.0f, "%3.0f", 1.0 / 760.0, {{{103.0f, kYellow}, {110.0f, kRed}}}, 2, kEgtColours, kEgtColours},
};

constexpr std::array<float, 4> kTextX = {22, 77, 153, 208};
constexpr std::array<int, 4> kDialLeft = {7, 62, 138, 193};

struct Engine {
  double epr_source, n1, n2, egt, fuel_flow;
};

std::array<Engine, 4> ReadEngines() {
  return {{
      {host::GetEngine1Token633(), host::GetEngine1Token626(), host::GetEngine1Token625(),
       host::GetEngine1TempToken567C(), host::GetEngine1FuelFlow()},
      {host::GetEngine2Token652(), host::GetEngine2Token645(), host::GetEngine2Token644(),
       host::GetEngine2TempToken577C(), host::GetEngine2FuelFlow()},
      {host::GetEngine3Token671(), host::GetEngine3Token664(), host::GetEngine3Token663(),
       host::GetEngine3TempToken587C(), host::GetEngine3FuelFlow()},
      {host::GetEngine4Token690(), host::GetEngine4Token683(), host::GetEngine4Token682(),
       host::GetEngine4TempToken597C(), host::GetEngine4FuelFlow()},
  }};
}

void DrawUnitLabels(const EnginePageCanvas& c) {
  DrawScreenText(c.g, c.label, c.white, 113.0f, 50.0f, "EPR");
  static constexpr PageText kUnits[] = {
      {117, 80, "N1"},  {119, 90, "%"},   {113, 100, "RPM"}, {117, 135, "N2"},         {119, 145, "%"},
      {113, 155, "RPM"}, {113, 180, "EGT"}, {118, 190, "\xB0" "C"}, {117, 223, "FF"}, {113, 230, "PPH"},
  };
  DrawTexts(c, c.small, c.white, kUnits);
}

}  // namespace

std::optional<double> DetailEpr(int engine, double source, double token342) {
  if (engine < 0 || engine >= static_cast<int>(kDetailEprFactors.size()) || token342 == 0.0) return std::nullopt;
  const double epr = 1.0 + kDetailEprFactors[static_cast<std::size_t>(engine)] * source / token342;
  if (!std::isfinite(epr)) return std::nullopt;
  return epr;
}

int FuelFlowTens(double pounds_per_hour) { return static_cast<int>(Readout(pounds_per_hour)) / 10 * 10; }

void DrawC17EngineDetailPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  const EnginePageCanvas c(display, g);
  const std::array<Engine, 4> engines = ReadEngines();

  DrawMaxThrustTimeLine(c);
  DrawReverseThrustMarks(c, ThrustLevers(), 15);
  DrawRatingLine(c);
  DrawUnitLabels(c);
  for (std::size_t n = 0; n < engines.size(); ++n) {
    const Engine& e = engines[n];
    const float x = kTextX[n];
    const int left = kDialLeft[n];
    // Token 342 is read once per engine, as the display always has.
    const std::optional<double> epr = DetailEpr(static_cast<int>(n), e.epr_source, host::GetSimToken342());
    if (epr.has_value()) {
      DrawScreenTextF(g, c.label, c.green, x, 55.0f, "%1.2f", Readout(*epr));
    } else {
      // Without a reference there is no ratio to show.
      DrawScreenText(g, c.label, c.green, x, 55.0f, "-.--");
    }
    const double values[] = {e.n1, e.n2, e.egt};
    for (std::size_t d = 0; d < 3; ++d) DrawDialFace(c, kDials[d], left, x, values[d]);
    DrawScreenTextF(g, c.label, c.green, x, 226.0f, "%4d", FuelFlowTens(e.fuel_flow));
    for (std::size_t d = 0; d < 3; ++d) DrawDialPointer(c, kDials[d], left, values[d]);
    c.UseCanvas();
  }
}

}  // namespace ovi::c17
