#include "src/instruments/nd/kit.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string_view>

namespace ovi::nd {

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

FineGrid FineGridFor(const Canvas& canvas, int width, int height) {
  FineGrid grid;
  const double sum = static_cast<double>(width) + static_cast<double>(height);
  if (width <= 0 || height <= 0 || !(canvas.width > 0.0f) || !(canvas.height > 0.0f)) return grid;
  grid.gx = sum / canvas.width;
  grid.gy = sum / canvas.height;
  grid.wx = static_cast<float>(width / sum);
  grid.wy = static_cast<float>(height / sum);
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

double FiniteOr(double value, double fallback) { return std::isfinite(value) ? value : fallback; }

gfx::Font ArialBold(float size) { return gfx::Font("Arial", size, gfx::FontStyleBold, gfx::Unit::Pixel); }
gfx::Font DaReredBold(float size) { return gfx::Font("DA Rered", size, gfx::FontStyleBold, gfx::Unit::Pixel); }

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

std::size_t ScreenTextLength(const char* format, ...) {
  char buffer[kScreenTextBuffer];
  std::va_list args;
  va_start(args, format);
  std::string_view text = FormatInto(buffer, format, args);
  va_end(args);
  return text.size();
}

}  // namespace ovi::nd
