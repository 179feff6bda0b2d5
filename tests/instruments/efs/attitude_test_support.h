// Fixture of the attitude display tests: a clean module with a scripted
// host, one picture drawn through a display's draw entry on a recording
// surface of any size, and the recorded texts and shapes looked up by their
// device places.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/graphics.h"
#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/efs/display_gauges.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::efs::test {

using gfx::OpKind;
using gfx::PointF;

class AttitudeTest : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  static model::State& M() { return model::model_state; }
  static guidance::State& G() { return guidance::guidance_state; }
  static display::State& D() { return display::display_state; }

  void Draw(DrawEntry entry, display::GaugeDisplay& display, int width, int height, int variant = 1) {
    dc = std::make_unique<gfx::DeviceContext>(width, height);
    rec.Clear();
    dc->recorder = &rec;
    const PIXSIZE size{width, height};
    entry(display, dc.get(), &size, variant);
  }

  std::vector<gfx::Recorder::TextItem> TextsEqual(const std::string& text) const {
    std::vector<gfx::Recorder::TextItem> out;
    for (const auto& t : rec.Texts())
      if (t.text == text) out.push_back(t);
    return out;
  }
  bool Has(const std::string& text) const { return rec.FindText(text); }
  // Whether `text` is drawn with its top-left at device point `p` (in
  // colour `c` and bold Arial of `size` world units, when given).
  bool TextAt(const std::string& text, PointF p, gfx::ARGB c = 0, float size = 0) const {
    for (const auto& t : rec.Texts())
      if (t.text == text && Near({t.x, t.y}, p) && (c == 0 || t.color == c) &&
          (size == 0 || std::fabs(t.font_size - size) < 1e-3f))
        return true;
    return false;
  }
  std::vector<const gfx::RecordedOp*> Ops(OpKind kind, gfx::ARGB c, int filled = -1) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec.Find(kind))
      if (op->color == c && (filled < 0 || op->filled == (filled == 1))) out.push_back(op);
    return out;
  }
  // Whether a line of colour `c` runs from a to b (either way round).
  bool HasLine(gfx::ARGB c, PointF a, PointF b) const {
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, c))
      if ((Near(op->points[0], a) && Near(op->points[1], b)) || (Near(op->points[0], b) && Near(op->points[1], a)))
        return true;
    return false;
  }
  // Whether some outline or polygon of colour `c` starts at `p`.
  bool ShapeStartsAt(OpKind kind, gfx::ARGB c, PointF p) const {
    for (const gfx::RecordedOp* op : Ops(kind, c))
      if (!op->points.empty() && Near(op->points[0], p)) return true;
    return false;
  }
  static bool Near(PointF a, PointF b, double tolerance = 0.01) {
    return std::fabs(a.X - b.X) < tolerance && std::fabs(a.Y - b.Y) < tolerance;
  }

  // The first radio: signal (token 49) and flags (46: 0x80 localizer, 0x40
  // glideslope, 0x08 the EFS 50's localizer-scale switch).
  void Radio(double signal, double flags) {
    host.tokens[49] = signal;
    host.tokens[46] = flags;
  }

  testing::FakeHost host;
  std::unique_ptr<gfx::DeviceContext> dc;
  gfx::Recorder rec;
};

}  // namespace ovi::efs::test
