#include "src/instruments/gnsxls/kit.h"

#include <cstdarg>
#include <cstdio>

#include "src/instruments/gnsxls/state.h"

namespace ovi::gnsxls {

namespace {

// The drawing layer refuses a scale of 0 and would leave the transform as
// it was; an empty surface draws nothing anyway, so any positive factor does.
float ScaleFactor(int pixels, float logical) { return pixels > 0 ? static_cast<float>(pixels) / logical : 1.0f; }

std::string_view Bounded(std::string_view text) { return text.substr(0, kMaxScreenText); }

bool IsLine(int line) { return line >= 1 && line <= kGnsLineCount; }

}  // namespace

std::int32_t LineState(int line) { return IsLine(line) ? gnsxls_state.GnsXlsLineState[line] : 0; }

void SetLineState(int line, std::int32_t state) {
  if (IsLine(line)) gnsxls_state.GnsXlsLineState[line] = state;
}

std::string ScreenText(const char* format, ...) {
  char text[140];
  va_list ap;
  va_start(ap, format);
  const int n = std::vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  if (n < 0) return {};
  return std::string(Bounded(text));
}

void DrawGnsxlsCursorBlock(int x, int y, gfx::Graphics& g, int w) {
  gfx::SolidBrush yellow(kYellow);
  const int right = x + kCellWidth * w;
  const int bottom = y + kCellHeight;
  const gfx::Point corners[] = {{x, y}, {right, y}, {right, bottom}, {x, bottom}, {x, y}};
  g.FillPolygonI(yellow, corners);
}

GnsPage::GnsPage(const display::GaugeDisplay& display, gfx::Graphics& g)
    : g_(g),
      font_("Courier New", kFontPx, gfx::FontStyleBold, gfx::Unit::Pixel),
      palette_{gfx::SolidBrush(kWhite), gfx::SolidBrush(kYellow), gfx::SolidBrush(kGreen),
               gfx::SolidBrush(kMagenta), gfx::SolidBrush(kBlue), gfx::SolidBrush(kBlack)} {
  g_.ResetTransform();
  g_.ScaleTransform(ScaleFactor(display.width, kCanvasWidth), ScaleFactor(display.height, kCanvasHeight));
}

const gfx::SolidBrush& GnsPage::Brush(gfx::ARGB colour) {
  for (const gfx::SolidBrush& b : palette_)
    if (b.GetColor().GetValue() == colour) return b;
  other_.SetColor(gfx::Color(colour));
  return other_;
}

void GnsPage::Text(float x, float y, gfx::ARGB colour, std::string_view text) {
  if (text.empty()) return;
  g_.DrawString(Bounded(text), font_, gfx::PointF(x, y), Brush(colour));
}

void GnsPage::OnBlock(float x, float y, std::string_view text, int cells) {
  text = Bounded(text);
  DrawGnsxlsCursorBlock(static_cast<int>(x), static_cast<int>(y), g_,
                        cells >= 0 ? cells : static_cast<int>(text.size()));
  Text(x, y, kBlack, text);
}

void GnsPage::Legend(float x, float y, std::string_view legend, bool question, bool block) {
  std::string text(Bounded(legend));
  if (question) text += '?';
  if (block) {
    OnBlock(x, y, text);
  } else {
    Text(x, y, kWhite, text);
  }
}

void GnsPage::Marker(int key, std::string_view text) {
  if (key >= 1 && key <= kGnsLineCount) markers_[static_cast<std::size_t>(key)] = std::string(Bounded(text));
}

void GnsPage::DrawMarkers() {
  for (int key = 1; key <= kGnsLineCount; ++key) {
    const bool left = key <= 5;
    const float y = kMarkerY[static_cast<std::size_t>(left ? key - 1 : key - 6)];
    Text(left ? kLeftMarkerX : kRightMarkerX, y, kWhite, markers_[static_cast<std::size_t>(key)]);
  }
}

}  // namespace ovi::gnsxls
