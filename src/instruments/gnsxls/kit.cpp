#include "src/instruments/gnsxls/kit.h"

#include <cstdarg>
#include <cstdio>

#include "src/guidance/state.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

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

namespace {

// "N47:26:56" -> the hemisphere letter and its three numbers as texts.
struct DmsParts {
  char hemisphere = ' ';
  std::string degrees, minutes, seconds;
};

DmsParts SplitDms(const std::string& dms) {
  DmsParts p;
  if (dms.empty()) return p;
  p.hemisphere = dms[0];
  const std::size_t a = dms.find(':'), b = dms.find(':', a == std::string::npos ? a : a + 1);
  if (a == std::string::npos || b == std::string::npos) return p;
  p.degrees = dms.substr(1, a - 1);
  p.minutes = dms.substr(a + 1, b - a - 1);
  p.seconds = dms.substr(b + 1);
  return p;
}

// Writes `text` right-aligned to end at place `end` (inclusive) of the
// template; what does not fit is cut from the left.
void PutRight(std::string& out, std::size_t end, std::string_view text, std::size_t width) {
  if (text.size() > width) text = text.substr(text.size() - width);
  out.replace(end + 1 - text.size(), text.size(), text);
}

std::string PositionText(const DmsParts& p, std::size_t degree_places, char pad) {
  std::string out = "       .  ";
  out[0] = p.hemisphere;
  std::string degrees = p.degrees;
  if (degrees.size() < degree_places && pad != ' ') degrees.insert(0, degree_places - degrees.size(), pad);
  PutRight(out, 3, degrees, degree_places);
  PutRight(out, 6, p.minutes, 2);
  PutRight(out, 9, p.seconds, 2);
  return out;
}

}  // namespace

std::string GnsLatitudeText(double latitude) {
  std::string lat, lon;
  navdb::FormatLatLonDms(latitude, 0.0, 1, lat, lon);
  return PositionText(SplitDms(lat), 2, ' ');
}

std::string GnsLongitudeText(double longitude, LongitudePad pad) {
  std::string lat, lon;
  navdb::FormatLatLonDms(0.0, -longitude, 1, lat, lon);
  return PositionText(SplitDms(lon), 3, pad == LongitudePad::kZero ? '0' : ' ');
}

double GnsMagneticBearing(double true_course) {
  double bearing = true_course - guidance::guidance_state.MagneticVariation;
  if (bearing < 0.5) bearing += 360.0;
  // A west variation takes a course past north the other way: 350 true with
  // 20 W is 010, never 370 (which would also turn the aircraft the wrong way).
  if (bearing >= 360.5) bearing -= 360.0;
  return bearing;
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

void GnsPage::Choice(float x, float y, std::string_view text) {
  std::string shown(util::Trim(Bounded(text)));
  shown += '?';
  OnBlock(x, y, shown);
}

void GnsPage::ChoiceLine(float y, gfx::ARGB label_colour, std::string_view label, bool choosing,
                         std::string_view stored) {
  constexpr float kLabelX = 30.0f;
  constexpr float kChoiceX = 320.0f;
  Text(kLabelX, y, label_colour, label);
  if (choosing) {
    Choice(kChoiceX, y, gnsxls_state.NavigatorScratchpad);
  } else {
    Text(kChoiceX, y, kGreen, stored);
  }
}

void GnsPage::Line(float x1, float y1, float x2, float y2, gfx::ARGB colour, float width) {
  gfx::Pen pen(gfx::Color(colour), width);
  g_.DrawLine(pen, x1, y1, x2, y2);
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
