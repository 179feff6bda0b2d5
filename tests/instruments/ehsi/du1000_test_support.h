// Fixture of the DU-1000 EHSI tests: a clean module with a scripted host and
// one picture drawn on a recording surface of the design size (318 x 311)
// or any other. Expected places are canvas points, turned about a rose
// centre where the display turns them, then scaled to the surface.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/state.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::ehsi::test {

namespace colour = display::colour;
using gfx::OpKind;
inline constexpr double kRoseX = 159, kRoseY = 155, kArcY = 272;

class Du1000Test : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  static model::State& M() { return model::model_state; }
  static guidance::State& G() { return guidance::guidance_state; }

  void Draw(int mode, int variant = 1, int width = 318, int height = 311) {
    M().DU1000EHSIMode = mode;
    dc = std::make_unique<gfx::DeviceContext>(width, height);
    rec.Clear();
    dc->recorder = &rec;
    sx = width / 318.0;
    sy = height / 310.0;
    const PIXSIZE size{width, height};
    DrawDu1000Ehsi(ehsi_state.Du1000Display, dc.get(), &size, variant);
  }
  // The device point of canvas point (x, y) about (ox, oy) turned `degrees`.
  gfx::PointF At(double x, double y, double ox = 0, double oy = 0, double degrees = 0) const {
    const double r = degrees * M_PI / 180.0;
    return gfx::PointF(static_cast<float>((ox + x * std::cos(r) - y * std::sin(r)) * sx),
                       static_cast<float>((oy + x * std::sin(r) + y * std::cos(r)) * sy));
  }
  bool Has(const std::string& text) const { return rec.FindText(text); }
  // Whether `text` is drawn with its layout origin at device point `p`.
  bool TextAt(const std::string& text, gfx::PointF p) const {
    for (const auto& t : rec.Texts())
      if (t.text == text && Near({t.x, t.y}, p)) return true;
    return false;
  }
  // Whether `text` is drawn at `p` in bold `family` of `size` units and colour `c`.
  bool StyledAt(const std::string& text, gfx::PointF p, const char* family, float size, gfx::ARGB c) const {
    for (const auto& t : rec.Texts())
      if (t.text == text && Near({t.x, t.y}, p) && t.font_family == family && t.font_size == size && t.color == c &&
          t.font_style == gfx::FontStyleBold)
        return true;
    return false;
  }
  std::vector<const gfx::RecordedOp*> Ops(OpKind kind, gfx::ARGB c, int filled = -1) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec.Find(kind))
      if (op->color == c && (filled < 0 || op->filled == (filled == 1))) out.push_back(op);
    return out;
  }
  // Whether a line of colour `c` (and pen `width`, when given) runs from a to b.
  bool HasLine(gfx::ARGB c, gfx::PointF a, gfx::PointF b, float width = 0.0f) const {
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, c))
      if ((width == 0.0f || op->pen_width == width) && Near(op->points[0], a) && Near(op->points[1], b)) return true;
    return false;
  }
  // The first point of the first outline of colour `c` with `count` points.
  bool OutlineAt(gfx::ARGB c, std::size_t count, std::size_t point, gfx::PointF p) const {
    for (const gfx::RecordedOp* op : Ops(OpKind::Lines, c))
      if (op->points.size() == count) return Near(op->points[point], p);
    return false;
  }
  // Circles of colour `c` with a box `diameter` canvas units wide.
  int CountCircles(gfx::ARGB c, double diameter) const {
    int n = 0;
    for (const gfx::RecordedOp* op : Ops(OpKind::Ellipse, c))
      n += std::fabs(op->bounds.Width - op->device_pen_width - diameter * sx) < 0.05 ? 1 : 0;
    return n;
  }
  static bool Near(gfx::PointF a, gfx::PointF b) { return std::fabs(a.X - b.X) < 0.01 && std::fabs(a.Y - b.Y) < 0.01; }
  // NAV1's signal (token 49), flags (46: 0x80 localizer, 0x40 glideslope)
  // and frequency word (24).
  void Radio(double signal, double flags = 0, double word = 0) {
    host.tokens[49] = signal;
    host.tokens[46] = flags;
    host.tokens[24] = word;
  }

  testing::FakeHost host;
  std::unique_ptr<gfx::DeviceContext> dc;
  gfx::Recorder rec;
  double sx = 1.0, sy = 1.0;
};

}  // namespace ovi::ehsi::test
