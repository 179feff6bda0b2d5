#include "tools/bitmaps/painter.h"

#include <algorithm>
#include <cmath>

namespace ovi::bitmaps {

using namespace gfx;

namespace {

struct FinishColours {
  ARGB face, light, dark, key, key_light, key_dark;
};

FinishColours ColoursOf(Finish f) {
  switch (f) {
    case Finish::kTan: return {0xFF8C7C60u, 0xFFAE9E80u, 0xFF5A4E3Au, 0xFF3A352Cu, 0xFF5E5646u, 0xFF1E1B16u};
    case Finish::kBlack: return {0xFF222427u, 0xFF3A3D42u, 0xFF111214u, 0xFF34373Cu, 0xFF565A60u, 0xFF141517u};
    case Finish::kGrey: break;
  }
  return {0xFF3E4146u, 0xFF5E6268u, 0xFF222427u, 0xFF2C2E32u, 0xFF54585Eu, 0xFF141517u};
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (true) {
    std::size_t bar = text.find('|', at);
    out.emplace_back(text.substr(at, bar == std::string_view::npos ? std::string_view::npos : bar - at));
    if (bar == std::string_view::npos) break;
    at = bar + 1;
  }
  return out;
}

}  // namespace

void Painter::Panel(Finish finish) {
  finish_ = finish;
  FinishColours c = ColoursOf(finish);
  g_.SetSmoothingMode(SmoothingMode::AntiAlias);
  g_.SetTextRenderingHint(TextRenderingHint::AntiAlias);
  g_.Clear(Color(c.face));
  Pen light(Color(c.light), 2), dark(Color(c.dark), 2);
  g_.DrawLine(light, 1, 1, w_ - 1.0f, 1);
  g_.DrawLine(light, 1, 1, 1, h_ - 1.0f);
  g_.DrawLine(dark, w_ - 1.0f, 1, w_ - 1.0f, h_ - 1.0f);
  g_.DrawLine(dark, 1, h_ - 1.0f, w_ - 1.0f, h_ - 1.0f);
  if (w_ < 120 || h_ < 90) return;
  SolidBrush head{Color(c.light)};
  Pen slot(Color(c.dark), 1);
  for (float x : {7.0f, w_ - 7.0f}) {
    for (float y : {7.0f, h_ - 7.0f}) {
      g_.FillEllipse(head, x - 3, y - 3, 6, 6);
      g_.DrawLine(slot, x - 2, y - 2, x + 2, y + 2);
    }
  }
}

void Painter::Black() {
  g_.SetSmoothingMode(SmoothingMode::AntiAlias);
  g_.Clear(Color(0xFF000000u));
}

void Painter::Transparent(Finish finish) {
  finish_ = finish;
  g_.SetSmoothingMode(SmoothingMode::AntiAlias);
  g_.SetTextRenderingHint(TextRenderingHint::AntiAlias);
  g_.Clear(Color(0x00000000u));
}

void Painter::Opening(float x, float y, float w, float h) {
  FinishColours c = ColoursOf(finish_);
  SolidBrush rim{Color(c.dark)}, black{Color(0xFF000000u)};
  g_.FillRectangle(rim, x - 3, y - 3, w + 6, h + 6);
  Pen light(Color(c.light), 1);
  g_.DrawLine(light, x - 3, y + h + 3, x + w + 3, y + h + 3);
  g_.DrawLine(light, x + w + 3, y - 3, x + w + 3, y + h + 3);
  g_.FillRectangle(black, x, y, w, h);
}

void Painter::Key(float x, float y, float w, float h, std::string_view legend, bool lit, Place place) {
  FinishColours c = ColoursOf(finish_);
  SolidBrush shadow{Color(c.key_dark)}, face{Color(c.key)};
  g_.FillRectangle(shadow, x, y, w, h);
  g_.FillRectangle(face, x + 1, y + 1, w - 2.5f, h - 2.5f);
  Pen highlight(Color(c.key_light), 1);
  g_.DrawLine(highlight, x + 1.5f, y + 1.5f, x + w - 2, y + 1.5f);
  g_.DrawLine(highlight, x + 1.5f, y + 1.5f, x + 1.5f, y + h - 2);
  float top = y, height = h, left = x, width = w;
  if (lit) {
    SolidBrush bar{Color(kLitGreen)};
    g_.FillRectangle(bar, x + w * 0.2f, y + 3, w * 0.6f, std::max(2.0f, h * 0.1f));
    top = y + 3 + std::max(2.0f, h * 0.1f);
    height = y + h - top;
  }
  switch (place) {
    case Place::kLow:
      top = y + h * 0.45f;
      height = h * 0.55f;
      break;
    case Place::kHigh:
      height = h * 0.5f;
      break;
    case Place::kRight:
      left = x + w * 0.3f;
      width = w * 0.7f;
      break;
    case Place::kMiddle:
      break;
  }
  if (legend.empty()) return;
  std::vector<std::string> lines = Lines(legend);
  float size = std::min(height * 0.8f / static_cast<float>(lines.size()), 11.0f);
  std::size_t longest = 0;
  for (const auto& l : lines) longest = std::max(longest, l.size());
  size = std::min(size, (width - 4) / (0.62f * static_cast<float>(std::max<std::size_t>(longest, 1))));
  size = std::max(size, 5.0f);
  Text(left, top, width, height, legend, size, lit ? kLitGreen : kLegend);
}

void Painter::KeysOf(const std::string& gauge, float dx, float dy, Place place) {
  const std::vector<sim::NamedKey>* keys = keys_.KeysOf(gauge);
  if (keys == nullptr) return;
  for (const sim::NamedKey& k : *keys) {
    if (!k.drawn) continue;
    Key(k.x + dx, k.y + dy, static_cast<float>(k.w), static_cast<float>(k.h), k.label, false, place);
  }
}

std::string Painter::LegendOf(const std::string& gauge, const std::string& key) const {
  const sim::NamedKey* k = keys_.Find(gauge, key);
  return k != nullptr ? k->label : "";
}

float Painter::PositionAngle(int i, int n) { return n <= 1 ? 0.0f : -135.0f + 270.0f * i / (n - 1); }

void Painter::Knob(float cx, float cy, float r, float angle) {
  SolidBrush skirt{Color(0xFF18191Bu)}, body{Color(0xFF3A3C40u)}, top{Color(0xFF4C4F54u)};
  g_.FillEllipse(skirt, cx - r, cy - r, 2 * r, 2 * r);
  g_.FillEllipse(body, cx - r * 0.86f, cy - r * 0.86f, 1.72f * r, 1.72f * r);
  g_.FillEllipse(top, cx - r * 0.62f, cy - r * 0.62f, 1.24f * r, 1.24f * r);
  Pen grip(Color(0xFF222427u), std::max(1.0f, r * 0.06f));
  for (int i = 0; i < 16; ++i) {
    double a = i * M_PI / 8;
    g_.DrawLine(grip, cx + static_cast<float>(std::sin(a)) * r * 0.68f, cy - static_cast<float>(std::cos(a)) * r * 0.68f,
                cx + static_cast<float>(std::sin(a)) * r * 0.84f, cy - static_cast<float>(std::cos(a)) * r * 0.84f);
  }
  double a = angle * M_PI / 180.0;
  Pen pointer(Color(kLitWhite), std::max(1.5f, r * 0.12f));
  g_.DrawLine(pointer, cx + static_cast<float>(std::sin(a)) * r * 0.2f, cy - static_cast<float>(std::cos(a)) * r * 0.2f,
              cx + static_cast<float>(std::sin(a)) * r * 0.95f, cy - static_cast<float>(std::cos(a)) * r * 0.95f);
}

void Painter::Dial(float cx, float cy, float r, const std::vector<float>& angles,
                   const std::vector<std::string>& labels, float size) {
  Pen tick(Color(kLegend), 1);
  for (std::size_t i = 0; i < angles.size() && i < labels.size(); ++i) {
    double a = angles[i] * M_PI / 180.0;
    float s = static_cast<float>(std::sin(a)), c = static_cast<float>(std::cos(a));
    g_.DrawLine(tick, cx + s * (r + 1), cy - c * (r + 1), cx + s * (r + 4), cy - c * (r + 4));
    float lx = cx + s * (r + 4 + size * 1.3f), ly = cy - c * (r + 4 + size * 0.9f);
    float bw = size * 0.7f * static_cast<float>(labels[i].size()) + 4;
    Text(lx - bw / 2, ly - size * 0.7f, bw, size * 1.4f, labels[i], size, kLegend);
  }
}

void Painter::Lamp(float x, float y, float w, float h, ARGB lit) {
  SolidBrush rim{Color(0xFF101010u)}, glow{Color(lit)};
  g_.FillRectangle(rim, x, y, w, h);
  g_.FillRectangle(glow, x + 1, y + 1, w - 2, h - 2);
}

void Painter::Ball(float cx, float cy, float r, ARGB colour) {
  SolidBrush body{Color(colour)}, shine{Color(0x60FFFFFFu)};
  g_.FillEllipse(body, cx - r, cy - r, 2 * r, 2 * r);
  g_.FillEllipse(shine, cx - r / 2, cy - r / 2, r / 2, r / 2);
}

void Painter::LampOff(float x, float y, float w, float h) {
  SolidBrush rim{Color(0xFF101010u)}, glass{Color(0xFF2A2C2Au)};
  g_.FillRectangle(rim, x, y, w, h);
  g_.FillRectangle(glass, x + 1, y + 1, w - 2, h - 2);
}

void Painter::Text(float x, float y, float w, float h, std::string_view text, float size, ARGB colour, bool bold) {
  std::vector<std::string> lines = Lines(text);
  Font font("Arial", size, bold ? FontStyleBold : FontStyleRegular, Unit::Pixel);
  SolidBrush brush{Color(colour)};
  StringFormat centred;
  centred.SetAlignment(StringAlignment::Center);
  centred.SetLineAlignment(StringAlignment::Center);
  centred.SetFormatFlags(StringFormatFlagsNoWrap | StringFormatFlagsNoClip);
  float line_h = h / static_cast<float>(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    g_.DrawString(lines[i], font, RectF(x, y + line_h * static_cast<float>(i), w, line_h), &centred, brush);
}

void Painter::Vertical(float x, float y, float w, float h, std::string_view text, float size, ARGB colour) {
  std::string stacked;
  for (char ch : text) {
    if (!stacked.empty()) stacked += '|';
    stacked += ch;
  }
  Text(x, y, w, h, stacked, size, colour);
}

void Painter::Rocker(float x, float y, float w, float h, bool vertical) {
  FinishColours c = ColoursOf(finish_);
  SolidBrush dark{Color(c.key_dark)}, face{Color(c.key)};
  g_.FillRectangle(dark, x, y, w, h);
  g_.FillRectangle(face, x + 1.5f, y + 1.5f, w - 3, h - 3);
  Pen split(Color(c.key_dark), 1);
  SolidBrush arrow{Color(kLegend)};
  if (vertical) {
    g_.DrawLine(split, x + 2, y + h / 2, x + w - 2, y + h / 2);
    PointF up[] = {{x + w / 2, y + h * 0.12f}, {x + w * 0.25f, y + h * 0.32f}, {x + w * 0.75f, y + h * 0.32f}};
    PointF down[] = {{x + w / 2, y + h * 0.88f}, {x + w * 0.25f, y + h * 0.68f}, {x + w * 0.75f, y + h * 0.68f}};
    g_.FillPolygon(arrow, up, 3);
    g_.FillPolygon(arrow, down, 3);
  } else {
    g_.DrawLine(split, x + w / 2, y + 2, x + w / 2, y + h - 2);
    PointF left[] = {{x + w * 0.12f, y + h / 2}, {x + w * 0.32f, y + h * 0.25f}, {x + w * 0.32f, y + h * 0.75f}};
    PointF right[] = {{x + w * 0.88f, y + h / 2}, {x + w * 0.68f, y + h * 0.25f}, {x + w * 0.68f, y + h * 0.75f}};
    g_.FillPolygon(arrow, left, 3);
    g_.FillPolygon(arrow, right, 3);
  }
}

void Painter::ArrowKey(float x, float y, float w, float h, int direction) {
  Key(x, y, w, h, "");
  float cx = x + w / 2, cy = y + h / 2, r = std::min(w, h) * 0.28f;
  PointF tri[3];
  for (int i = 0; i < 3; ++i) {
    double a = (direction * 90 + i * 120) * M_PI / 180.0;
    tri[i] = PointF(cx + static_cast<float>(std::sin(a)) * r, cy - static_cast<float>(std::cos(a)) * r);
  }
  SolidBrush arrow{Color(kLegend)};
  g_.FillPolygon(arrow, tri, 3);
}

void Painter::Frame(float x, float y, float w, float h, ARGB colour, float width) {
  Pen pen(Color(colour), width);
  g_.DrawRectangle(pen, x, y, w, h);
}

}  // namespace ovi::bitmaps
