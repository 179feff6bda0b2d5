#include "platform/gfx/recorder.h"

namespace ovi::gfx {

const char* OpKindName(OpKind kind) {
  switch (kind) {
    case OpKind::Clear: return "Clear";
    case OpKind::Line: return "Line";
    case OpKind::Lines: return "Lines";
    case OpKind::Rectangle: return "Rectangle";
    case OpKind::Polygon: return "Polygon";
    case OpKind::Ellipse: return "Ellipse";
    case OpKind::Arc: return "Arc";
    case OpKind::Pie: return "Pie";
    case OpKind::Curve: return "Curve";
    case OpKind::Path: return "Path";
    case OpKind::Text: return "Text";
    case OpKind::Image: return "Image";
    case OpKind::Clip: return "Clip";
    case OpKind::ResetClip: return "ResetClip";
    case OpKind::ClipState: return "ClipState";
  }
  return "?";
}

std::vector<Recorder::TextItem> Recorder::Texts() const {
  std::vector<TextItem> out;
  for (const auto& op : ops_) {
    if (op.kind != OpKind::Text) continue;
    TextItem t;
    t.text = op.text;
    if (!op.points.empty()) t.x = op.points[0].X, t.y = op.points[0].Y;
    t.color = op.color;
    t.font_family = op.font_family;
    t.font_size = op.font_size;
    t.font_style = op.font_style;
    t.visible = op.visible;
    t.ink = op.ink;
    t.shown = op.shown;
    out.push_back(std::move(t));
  }
  return out;
}

bool Recorder::FindText(std::string_view text, TextItem* out) const {
  for (auto& t : Texts()) {
    if (t.text == text) {
      if (out != nullptr) *out = t;
      return true;
    }
  }
  return false;
}

bool Recorder::FindTextContaining(std::string_view part, TextItem* out) const {
  for (auto& t : Texts()) {
    if (t.text.find(part) != std::string::npos) {
      if (out != nullptr) *out = t;
      return true;
    }
  }
  return false;
}

int Recorder::CountText(std::string_view text) const {
  int n = 0;
  for (const auto& op : ops_)
    if (op.kind == OpKind::Text && op.text == text) ++n;
  return n;
}

int Recorder::Count(OpKind kind) const {
  int n = 0;
  for (const auto& op : ops_)
    if (op.kind == kind) ++n;
  return n;
}

int Recorder::Count(OpKind kind, ARGB color, int filled) const {
  int n = 0;
  for (const auto& op : ops_)
    if (op.kind == kind && op.color == color && (filled < 0 || op.filled == (filled != 0))) ++n;
  return n;
}

std::vector<const RecordedOp*> Recorder::Find(OpKind kind) const {
  std::vector<const RecordedOp*> out;
  for (const auto& op : ops_)
    if (op.kind == kind) out.push_back(&op);
  return out;
}

}  // namespace ovi::gfx
