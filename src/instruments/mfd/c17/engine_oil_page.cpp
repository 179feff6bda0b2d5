// Page 11, engine oil and fuel used: per engine three dials (oil pressure,
// temperature, quantity) with their coloured values, and the fuel the
// engine has used since the module loaded; the labels stand between
// engines 2 and 3.
#include <array>
#include <cstddef>

#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/engine_kit.h"

namespace ovi::c17 {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;
using display::colour::kGreen;
using display::colour::kRed;
using display::colour::kYellow;

constexpr ColourRule kPressureColours{{{{true, 70.0, kRed}}}, 1, kGreen};
// The temperature's value and needle change colour at different limits
// (163.5 and 177.5 for the value, 163 and 177 for the needle), as the
// display has always drawn them.
constexpr ColourRule kTemperatureText{{{{true, 39.0, kYellow}, {false, 177.5, kRed}, {false, 163.5, kYellow}}},
                                      3, kGreen};
constexpr ColourRule kTemperatureNeedle{{{{true, 39.0, kYellow}, {false, 177.0, kRed}, {false, 163.0, kYellow}}},
                                        3, kGreen};
constexpr ColourRule kQuantityColours{{{{true, 4.0, kYellow}}}, 1, kGreen};

constexpr DialRow kDials[] = {
    {40, 75.0f, "%3.0f", 0.004, {{{0.0f, kRed}}}, 1, kPressureColours, kPressureColours},
    {95, 130.0f, "%2.0f", 0.005, {{{0.0f, kYellow}, {101.0f, kYellow}, {114.0f, kRed}}}, 3, kTemperatureText,
     kTemperatureNeedle},
    // 23 quarts fill the dial.
    {150, 185.0f, "%3.0f", 0.043478260869565216, {{{0.0f, kYellow}}}, 1, kQuantityColours, kQuantityColours},
};

constexpr std::array<int, 4> kDialLeft = {7, 62, 138, 193};
constexpr std::array<float, 4> kValueX = {22, 77, 153, 208};
constexpr std::array<float, 4> kFuelUsedX = {17, 72, 148, 203};

struct Engine {
  double pressure, temperature, quantity, fuel_used;
};

std::array<Engine, 4> ReadEngines() {
  const guidance::State& s = guidance::guidance_state;
  return {{
      {host::GetEngine1PressureToken562Psi(), host::GetEngine1TempToken561C(), host::GetEngine1Token149(),
       s.Engine1FuelUsed},
      {host::GetEngine2PressureToken572Psi(), host::GetEngine2TempToken571C(), host::GetEngine2Token184(),
       s.Engine2FuelUsed},
      {host::GetEngine3PressureToken582Psi(), host::GetEngine3TempToken581C(), host::GetEngine3Token219(),
       s.Engine3FuelUsed},
      {host::GetEngine4PressureToken592Psi(), host::GetEngine4TempToken591C(), host::GetEngine4Token254(),
       s.Engine4FuelUsed},
  }};
}

void DrawLabels(const EnginePageCanvas& c) {
  DrawScreenText(c.g, c.label, c.white, 97.0f, 20.0f, "ENGINE OIL");
  static constexpr PageText kLabels[] = {
      {107, 50, "PRESS"}, {113, 60, "PSI"},  {111, 105, "TEMP"}, {118, 115, "\xB0" "C"},
      {113, 160, "QTY"},  {113, 170, "QTS"}, {111, 211, "FUEL"}, {111, 221, "USED"},
  };
  DrawTexts(c, c.small, c.white, kLabels);
}

}  // namespace

void DrawC17EngineOilPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  const EnginePageCanvas c(display, g);
  const std::array<Engine, 4> engines = ReadEngines();
  DrawLabels(c);
  for (std::size_t n = 0; n < engines.size(); ++n) {
    const Engine& e = engines[n];
    const double values[] = {e.pressure, e.temperature, e.quantity};
    for (std::size_t d = 0; d < 3; ++d) DrawDialFace(c, kDials[d], kDialLeft[n], kValueX[n], values[d]);
    DrawScreenTextF(g, c.label, c.cyan, kFuelUsedX[n], 216.0f, "%5.0f", Readout(e.fuel_used));
    for (std::size_t d = 0; d < 3; ++d) DrawDialPointer(c, kDials[d], kDialLeft[n], values[d]);
    c.UseCanvas();
  }
}

}  // namespace ovi::c17
