#include "sim/text_record.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/graphics.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

std::string Quoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

void AppendTexts(const gfx::Recorder& rec, int element, double origin_x, double origin_y, double per_design_x,
                 double per_design_y, std::vector<TextEntry>& out) {
  if (!(per_design_x > 0.0) || !(per_design_y > 0.0)) return;
  for (const gfx::RecordedOp& op : rec.Ops()) {
    if (op.kind != gfx::OpKind::Text || !op.visible || op.points.empty()) continue;
    TextEntry t;
    t.element = element;
    t.x = origin_x + op.bounds.X / per_design_x;
    t.y = origin_y + op.bounds.Y / per_design_y;
    t.w = op.bounds.Width / per_design_x;
    t.h = op.bounds.Height / per_design_y;
    double dx = op.points[0].X, dy = op.points[0].Y;
    // Back through the world transform the text was drawn under.
    const gfx::REAL* m = op.matrix;
    double det = static_cast<double>(m[0]) * m[3] - static_cast<double>(m[1]) * m[2];
    if (std::fabs(det) > 1e-12) {
      double ux = dx - m[4], uy = dy - m[5];
      t.canvas_x = (m[3] * ux - m[2] * uy) / det;
      t.canvas_y = (-m[1] * ux + m[0] * uy) / det;
    } else {
      t.canvas_x = dx;
      t.canvas_y = dy;
    }
    t.colour = op.color;
    t.font = op.font_family;
    t.size = op.font_size;
    t.style = op.font_style;
    t.shown = op.shown == gfx::Shown::kWhole ? TextShown::kWhole : TextShown::kPart;
    t.text = op.text;
    out.push_back(std::move(t));
  }
}

std::string FormatTextRecord(const std::vector<TextEntry>& texts) {
  std::string s =
      "; element x y w h canvas_x canvas_y colour size style shown \"font\" \"text\" (x y w h: the text's box on "
      "the gauge, design pixels; canvas: the layout point in the units drawn; shown: whole, or part where its clip "
      "or the surface hides some of it; a text hidden wholly is not listed)\n";
  for (const TextEntry& t : texts) {
    s += util::Format("%d %.1f %.1f %.1f %.1f %.1f %.1f 0x%08X %.1f %d %s ", t.element, t.x, t.y, t.w, t.h,
                      t.canvas_x, t.canvas_y, t.colour, t.size, t.style, t.shown == TextShown::kPart ? "part" : "whole");
    s += Quoted(t.font) + " " + Quoted(t.text) + "\n";
  }
  return s;
}

bool TextMatches(std::string_view shown, std::string_view wanted) { return util::Trim(shown) == util::Trim(wanted); }

void DrawStringElement(const ELEMENT_HEADER& e, gfx::DeviceContext& dc, double per_design_y) {
  gfx::Graphics g(&dc);
  g.Clear(gfx::Color(e.string.back_colour));
  const char* text = e.string.text;
  if (text == nullptr || *text == '\0') return;
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  double height = std::clamp(e.string.font_height * per_design_y, 1.0, 1000.0);
  int style = e.string.font_weight >= 700 ? gfx::FontStyleBold : gfx::FontStyleRegular;
  gfx::Font font(e.string.font != nullptr ? e.string.font : "Arial", static_cast<gfx::REAL>(height), style,
                 gfx::Unit::Pixel);
  gfx::StringFormat centred;
  centred.SetAlignment(gfx::StringAlignment::Center);
  centred.SetLineAlignment(gfx::StringAlignment::Center);
  gfx::SolidBrush brush(gfx::Color(e.string.fore_colour));
  g.DrawString(std::string_view(text, strnlen(text, e.string.max_length)), font,
               gfx::RectF(0, 0, static_cast<gfx::REAL>(dc.width), static_cast<gfx::REAL>(dc.height)), &centred,
               brush);
}

}  // namespace ovi::sim
