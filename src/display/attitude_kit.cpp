#include "src/display/attitude_kit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/model/state.h"

namespace ovi::display {

FlightDirectorTargets FlightDirectorTargetsNow(double roll_limit) {
  const guidance::State& s = guidance::guidance_state;
  FlightDirectorTargets t;
  const double roll = std::trunc(FiniteOr(s.BankAttitude) - std::trunc(FiniteOr(s.FlightDirectorBank)));
  t.roll = std::clamp(roll, -roll_limit, roll_limit);
  t.pitch = FiniteOr(s.SimToken793Value) - FiniteOr(s.PitchAttitude);
  if (!std::isfinite(t.pitch)) t.pitch = 0.0;
  return t;
}

double StepToward(double shown, double target, double step) {
  if (!std::isfinite(shown)) shown = 0.0;
  if (std::fabs(target - shown) <= step) return target;
  return shown < target ? shown + step : shown - step;
}

void MoveFlightDirectorBars(const FlightDirectorSteps& steps) {
  const FlightDirectorTargets t = FlightDirectorTargetsNow(steps.roll_limit);
  State& d = display_state;
  d.FdRollBarShown = StepToward(d.FdRollBarShown, t.roll, steps.roll);
  d.FdPitchBarShown = StepToward(d.FdPitchBarShown, t.pitch, steps.pitch);
}

FlightPathVectorPlace PlaceFlightPathVector(const FlightPathVectorScale& scale, double vertical_speed_fpm) {
  FlightPathVectorPlace p;
  const guidance::State& s = guidance::guidance_state;
  const double gs = FiniteOr(s.GroundSpeedKnots);
  if (model::model_state.DispFPV != 1 || !(gs > 60.0)) return p;
  // Truncation saturates far off any surface, so an extreme vertical speed
  // gives a far place rather than an undefined conversion.
  p.y = gfx::TruncToPixel(-scale.per_gradient * FiniteOr(vertical_speed_fpm) / gs);
  p.x = gfx::TruncToPixel(scale.per_drift * FiniteOr(s.DriftAngle));
  p.beyond = p.y < -scale.y_limit || p.y > scale.y_limit || p.x < -scale.x_limit || p.x > scale.x_limit;
  if (p.beyond && scale.pin) {
    p.y = std::clamp(p.y, -scale.y_limit, scale.y_limit);
    p.x = std::clamp(p.x, -scale.x_limit, scale.x_limit);
  }
  p.shown = !p.beyond || s.FrameCounter < 8;
  return p;
}

void DrawFlightPathVector(gfx::Graphics& g, const gfx::Pen& pen, int x, int y) {
  g.DrawEllipseI(pen, x - 6, y - 6, 12, 12);
  g.DrawLineI(pen, x, y - 6, x, y - 12);
  g.DrawLineI(pen, x - 6, y, x - 12, y);
  g.DrawLineI(pen, x + 6, y, x + 12, y);
}

int DigitAt(std::string_view text, std::size_t index) {
  if (index >= text.size()) return 0;
  const char c = text[index];
  return c >= '0' && c <= '9' ? c - '0' : 0;
}

int CycleStep(int position, int steps, int count) {
  if (count <= 0) return 0;
  const int r = (position % count + steps % count) % count;
  return r < 0 ? r + count : r;
}

AltitudeText FiveCharacterAltitude(double feet) {
  AltitudeText r{};
  const double held = std::round(std::clamp(FiniteOr(feet), -9999.0, 99999.0));
  char digits[16];
  const int n = std::clamp(std::snprintf(digits, sizeof digits, held >= 0.0 ? "%02.0f" : "%.0f", held), 0, 5);
  std::memset(r.text, ' ', 5);
  std::memcpy(r.text + 5 - n, digits, static_cast<std::size_t>(n));
  r.text[5] = '\0';
  return r;
}

void DrawDrumColumn(gfx::Graphics& g, const FineGrid& grid, const gfx::Font& font, const gfx::SolidBrush& brush,
                    double x, double y, const DrumColumn& column, int position) {
  const float fx = static_cast<float>(grid.X(x));
  for (int k = -column.neighbours; k <= column.neighbours; ++k) {
    // k places above the shown one: higher values when the drum has them
    // above, lower ones otherwise.
    const int value = CycleStep(position, column.higher_above ? k : -k, column.cycle) * column.value_per_step;
    const float fy = static_cast<float>(grid.Y(y - k * column.pitch));
    DrawScreenTextF(g, font, brush, fx, fy, column.format, value);
  }
}

TapeMarks MarksWithin(double from, double to, int step) {
  TapeMarks m;
  m.step = step > 0 ? step : 1;
  if (!std::isfinite(from) || !std::isfinite(to)) return m;
  constexpr double kBound = 1e9;
  from = std::clamp(from, -kBound, kBound);
  to = std::clamp(to, -kBound, kBound);
  const double first = std::ceil(from / m.step) * m.step;
  if (first > to) return m;
  const double count = std::floor((to - first) / m.step) + 1.0;
  m.first = static_cast<std::int64_t>(first);
  m.count = static_cast<int>(std::min(count, static_cast<double>(kMaxTapeMarks)));
  return m;
}

std::uint64_t ShownAnnunciations(std::span<const Annunciation> table) {
  std::uint64_t shown = 0;
  std::uint32_t fields = 0;
  for (std::size_t i = 0; i < table.size() && i < 64; ++i) {
    const Annunciation& a = table[i];
    const std::uint32_t field = 1u << (static_cast<unsigned>(a.field) & 31u);
    if ((fields & field) != 0 || !a.holds()) continue;
    fields |= field;
    shown |= std::uint64_t{1} << i;
  }
  return shown;
}

void DrawAnnunciations(gfx::Graphics& g, std::span<const Annunciation> table, gfx::Font (*font)(float size)) {
  const std::uint64_t shown = ShownAnnunciations(table);
  for (std::size_t i = 0; i < table.size() && i < 64; ++i) {
    if ((shown >> i & 1u) == 0) continue;
    const Annunciation& a = table[i];
    const gfx::SolidBrush brush(a.colour);
    if (a.value != nullptr) {
      DrawScreenTextF(g, font(a.font_size), brush, a.x, a.y, a.format, FiniteOr(a.value()));
    } else {
      DrawScreenText(g, font(a.font_size), brush, a.x, a.y, a.format);
    }
  }
}

void ClipToCutDisc(gfx::Graphics& g, int top_radius, int bottom_radius, int side, int half_height) {
  gfx::GraphicsPath path;
  path.AddArcI(-top_radius, -top_radius, 2 * top_radius, 2 * top_radius, 210, 120);
  path.AddLineI(side, -half_height, side, half_height);
  path.AddArcI(-bottom_radius, -bottom_radius, 2 * bottom_radius, 2 * bottom_radius, 30, 120);
  path.AddLineI(-side, -half_height, -side, half_height);
  path.CloseFigure();
  g.SetClip(path);
}

double OverspeedReference(double speed) {
  const double overspeed = FiniteOr(host::GetSimToken63()) / 128.0;
  return overspeed + 120.0 < speed ? speed - 70.0 : overspeed;
}

double StallReference() {
  return FiniteOr(host::GetSimToken907() != 0.0 ? host::GetDesignSpeedVs0() : host::GetDesignSpeedVs1());
}

int MarkerBeaconNow() {
  const double marker = host::GetSimToken354();
  if (marker == 1.0) return 1;
  if (marker == 2.0) return 2;
  if (marker == 3.0) return 3;
  return 0;
}

}  // namespace ovi::display
