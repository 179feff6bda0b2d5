#include "src/display/kit.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"

namespace ovi::display {

gfx::ARGB BackgroundColour(int red, int green, int blue) {
  auto low8 = [](int v) { return static_cast<gfx::ARGB>(static_cast<unsigned>(v) & 0xFFu); };
  return 0xFF000000u + (low8(red) << 16) + (low8(green) << 8) + low8(blue);
}

CanvasScale ScaleToSurface(const Canvas& canvas, int width, int height) {
  CanvasScale s;
  if (width <= 0 || height <= 0 || !(canvas.width > 0.0f) || !(canvas.height > 0.0f)) return s;
  s.sx = static_cast<float>(width) / canvas.width;
  s.sy = static_cast<float>(height) / canvas.height;
  s.usable = true;
  return s;
}

FineGrid FineGridFor(const Canvas& canvas, int width, int height, int factor) {
  FineGrid grid;
  if (width <= 0 || height <= 0 || factor <= 0 || !(canvas.width > 0.0f) || !(canvas.height > 0.0f)) return grid;
  const double sum = factor * (static_cast<double>(width) + static_cast<double>(height));
  grid.gx = sum / canvas.width;
  grid.gy = sum / canvas.height;
  grid.wx = static_cast<float>(width / sum);
  grid.wy = static_cast<float>(height / sum);
  return grid;
}

void UseFineGrid(gfx::Graphics& g, const FineGrid& grid, double x, double y, double turn) {
  g.ResetTransform();
  g.ScaleTransform(grid.wx, grid.wy);
  g.TranslateTransform(static_cast<gfx::REAL>(FiniteOr(x) * grid.gx), static_cast<gfx::REAL>(FiniteOr(y) * grid.gy));
  turn = std::fmod(FiniteOr(turn), 360.0);
  if (turn != 0.0) g.RotateTransform(static_cast<gfx::REAL>(turn));
}

FineGrid DeviceFractionsFor(const CanvasScale& scale, int factor) {
  FineGrid grid;
  if (!scale.usable || factor < 1) return grid;
  grid.gx = static_cast<double>(factor) * scale.sx;
  grid.gy = static_cast<double>(factor) * scale.sy;
  grid.wx = grid.wy = 1.0f / static_cast<float>(factor);
  return grid;
}

FineGrid CanvasGridFor(const CanvasScale& scale) {
  FineGrid grid;
  if (!scale.usable) return grid;
  grid.wx = scale.sx;
  grid.wy = scale.sy;
  return grid;
}

void UseCanvas(gfx::Graphics& g, const CanvasScale& scale) {
  g.ResetTransform();
  g.ScaleTransform(scale.sx, scale.sy);
}

void UseOrigin(gfx::Graphics& g, const CanvasScale& scale, float x, float y, double rotation) {
  UseCanvas(g, scale);
  g.TranslateTransform(x, y);
  rotation = std::fmod(FiniteOr(rotation), 360.0);
  if (rotation != 0.0) g.RotateTransform(static_cast<float>(rotation));
}

void FillCanvas(gfx::Graphics& g, const CanvasScale& scale, const Canvas& canvas, gfx::ARGB colour) {
  UseCanvas(g, scale);
  // With pixel centres on whole coordinates a smoothed fill would cover the
  // outermost rows and columns by half and let the last frame show there.
  g.SetPixelOffsetMode(gfx::PixelOffsetMode::Half);
  g.FillRectangle(gfx::SolidBrush(colour), 0.0f, 0.0f, canvas.width, canvas.height);
  g.SetPixelOffsetMode(gfx::PixelOffsetMode::Default);
}

double FiniteOr(double value, double fallback) { return std::isfinite(value) ? value : fallback; }

double RelativeAngle(double a, double b) {
  double d = std::fmod(FiniteOr(a) - FiniteOr(b), 360.0);
  if (d > 180.0) d -= 360.0;
  if (d <= -180.0) d += 360.0;
  return d;
}

gfx::Font ArialBold(float size) { return gfx::Font("Arial", size, gfx::FontStyleBold, gfx::Unit::Pixel); }
gfx::Font DaReredBold(float size) { return gfx::Font("DA Rered", size, gfx::FontStyleBold, gfx::Unit::Pixel); }
gfx::Font CourierNewBold(float size) {
  return gfx::Font("Courier New", size, gfx::FontStyleBold, gfx::Unit::Pixel);
}
gfx::Font TahomaBold(float size) { return gfx::Font("Tahoma", size, gfx::FontStyleBold, gfx::Unit::Pixel); }

namespace {

std::string_view FormatInto(char (&buffer)[kScreenTextBuffer], const char* format, std::va_list args) {
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (n < 0) return {};
  std::size_t length = static_cast<std::size_t>(n);
  if (length > kScreenTextChars) length = kScreenTextChars;
  return std::string_view(buffer, length);
}

}  // namespace

void DrawScreenText(gfx::Graphics& g, const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y,
                    const char* text) {
  DrawScreenTextF(g, font, brush, x, y, "%s", text != nullptr ? text : "");
}

void DrawScreenTextF(gfx::Graphics& g, const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y,
                     const char* format, ...) {
  char buffer[kScreenTextBuffer];
  std::va_list args;
  va_start(args, format);
  std::string_view text = FormatInto(buffer, format, args);
  va_end(args);
  g.DrawString(text, font, gfx::PointF(x, y), brush);
}

void DrawMapTextF(gfx::Graphics& g, MapRank rank, const gfx::Font& font, const gfx::SolidBrush& brush, float x,
                  float y, const char* format, ...) {
  char buffer[kScreenTextBuffer];
  std::va_list args;
  va_start(args, format);
  std::string_view text = FormatInto(buffer, format, args);
  va_end(args);
  WriteMapText(g, rank, MapText{text, font, gfx::PointF(x, y)}, brush);
}

std::size_t ScreenTextLength(const char* format, ...) {
  char buffer[kScreenTextBuffer];
  std::va_list args;
  va_start(args, format);
  std::string_view text = FormatInto(buffer, format, args);
  va_end(args);
  return text.size();
}

std::string RingFigure(double nm, int width) {
  nm = FiniteOr(nm);
  int decimals = 0;
  if (std::fabs(nm - std::round(nm)) > 1e-6) {
    const double magnitude = std::fabs(nm);
    decimals = magnitude >= 1.0 ? 1 : std::clamp(1 - static_cast<int>(std::floor(std::log10(magnitude))), 1, 3);
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, nm);
  std::string figure(buffer);
  // A tenth that rounds to a whole one ("2.0") reads whole, two figures
  // that end in 0 ("0.50") one.
  if (decimals > 0) {
    figure.erase(figure.find_last_not_of('0') + 1);
    if (figure.back() == '.') figure.pop_back();
  }
  if (figure.size() < static_cast<std::size_t>(std::max(width, 0)))
    figure.insert(0, static_cast<std::size_t>(width) - figure.size(), ' ');
  return figure;
}

void DrawSegments(gfx::Graphics& g, const gfx::Pen& pen, std::span<const Segment> segments, int dx, int dy) {
  for (const Segment& s : segments) g.DrawLineI(pen, s[0].X + dx, s[0].Y + dy, s[1].X + dx, s[1].Y + dy);
}

void DrawCircles(gfx::Graphics& g, const gfx::Pen& pen, std::span<const gfx::Point> corners, int diameter) {
  for (const gfx::Point& p : corners) g.DrawEllipseI(pen, p.X, p.Y, diameter, diameter);
}

void DrawPolylineAt(gfx::Graphics& g, const gfx::Pen& pen, std::span<const gfx::Point> points, int dx, int dy) {
  constexpr std::size_t kMaxPoints = 16;
  gfx::Point moved[kMaxPoints];
  const std::size_t n = points.size() < kMaxPoints ? points.size() : kMaxPoints;
  for (std::size_t i = 0; i < n; ++i) moved[i] = gfx::Point(points[i].X + dx, points[i].Y + dy);
  g.DrawLinesI(pen, std::span<const gfx::Point>(moved, n));
}

namespace {

// A BCD word read as its decimal digits; the sign bit is no digit.
double DecimalDigits(std::uint32_t word) {
  return host::ConvertDigitsBase(static_cast<std::int32_t>(word & 0x7FFFFFFFu), 16, 10);
}

}  // namespace

double Nav1FrequencyMhz() { return DecimalDigits(host::ReadNav1ActiveFrequencyBcd()) * 0.01 + 100.0; }

double AdfFrequencyKhz() { return DecimalDigits(host::ReadToken16FrequencyBcd()); }

double Nav1StationBearing() {
  const guidance::State& s = guidance::guidance_state;
  double bearing = FiniteOr(s.HeadingOffsetToken550) + FiniteOr(s.AircraftHeading);
  if (bearing >= 360.0) bearing -= 360.0;
  return bearing;
}

bool Nav1ToStation() {
  return std::fabs(RelativeAngle(Nav1StationBearing(), guidance::guidance_state.SelectedCourse)) < 90.0;
}

}  // namespace ovi::display
