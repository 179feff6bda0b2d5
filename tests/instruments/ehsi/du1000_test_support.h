// Fixture of the DU-1000 EHSI tests: a clean module with a scripted host,
// and one picture drawn on a recording surface of the design size
// (318 x 311) or any other. Expected places are canvas points, turned about
// a rose centre where the Parts turn them, then scaled to the surface.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/state.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::ehsi::test {

inline constexpr std::uint32_t kTokenNav1Frequency = 24;
inline constexpr std::uint32_t kTokenNav1Flags = 46;  // 0x80 localizer, 0x40 glideslope
inline constexpr std::uint32_t kTokenNav1Signal = 49;
inline constexpr double kRoseX = 159, kRoseY = 155, kArcY = 272;

class Du1000Test : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  model::State& model() { return model::model_state; }
  guidance::State& guidance() { return guidance::guidance_state; }
  flightplan::State& plan() { return flightplan::flightplan_state; }

  // Draws one picture in `mode` and keeps its record.
  const gfx::Recorder& Draw(int mode, int variant = 1, int width = 318, int height = 311) {
    model().DU1000EHSIMode = mode;
    dc = std::make_unique<gfx::DeviceContext>(width, height);
    rec.Clear();
    dc->recorder = &rec;
    sx = width / 318.0;
    sy = height / 310.0;
    const PIXSIZE size{width, height};
    DrawDu1000Ehsi(ehsi_state.Du1000Display, dc.get(), &size, variant);
    return rec;
  }
  // The device point of canvas point (x, y) about (ox, oy), turned by
  // `degrees` clockwise.
  gfx::PointF At(double x, double y, double ox = 0, double oy = 0, double degrees = 0) const {
    const double r = degrees * M_PI / 180.0;
    return gfx::PointF(static_cast<float>((ox + x * std::cos(r) - y * std::sin(r)) * sx),
                       static_cast<float>((oy + x * std::sin(r) + y * std::cos(r)) * sy));
  }
  bool Has(const std::string& text) const { return rec.FindText(text); }
  gfx::Recorder::TextItem Text(const std::string& text) const {
    gfx::Recorder::TextItem item;
    EXPECT_TRUE(rec.FindText(text, &item)) << "no text \"" << text << "\"";
    return item;
  }
  std::vector<const gfx::RecordedOp*> Ops(gfx::OpKind kind, gfx::ARGB colour, int filled = -1) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec.Find(kind))
      if (op->color == colour && (filled < 0 || op->filled == (filled == 1))) out.push_back(op);
    return out;
  }
  // Whether a line of `colour` (and of pen `width`, when given) runs from
  // `a` to `b`.
  bool HasLine(gfx::ARGB colour, gfx::PointF a, gfx::PointF b, float width = 0.0f) const {
    for (const gfx::RecordedOp* op : Ops(gfx::OpKind::Line, colour))
      if ((width == 0.0f || op->pen_width == width) && Near(op->points[0], a) && Near(op->points[1], b)) return true;
    return false;
  }
  // The first outline of `colour` with `count` points, or null.
  const gfx::RecordedOp* Outline(gfx::ARGB colour, std::size_t count) const {
    for (const gfx::RecordedOp* op : Ops(gfx::OpKind::Lines, colour))
      if (op->points.size() == count) return op;
    return nullptr;
  }
  // Ellipses of `colour` whose box is `diameter` canvas units wide.
  int CountCircles(gfx::ARGB colour, double diameter) const {
    int n = 0;
    for (const gfx::RecordedOp* op : Ops(gfx::OpKind::Ellipse, colour))
      n += std::fabs(op->bounds.Width - op->device_pen_width - diameter * sx) < 0.05 ? 1 : 0;
    return n;
  }
  static bool Near(gfx::PointF a, gfx::PointF b) { return std::fabs(a.X - b.X) < 0.01 && std::fabs(a.Y - b.Y) < 0.01; }
  void Radio(double signal, double flags = 0, double frequency_word = 0) {
    host.tokens[kTokenNav1Signal] = signal;
    host.tokens[kTokenNav1Flags] = flags;
    host.tokens[kTokenNav1Frequency] = frequency_word;
  }

  testing::FakeHost host;
  std::unique_ptr<gfx::DeviceContext> dc;
  gfx::Recorder rec;
  double sx = 1.0, sy = 1.0;
};

inline void ExpectAt(gfx::PointF actual, gfx::PointF expected) {
  EXPECT_NEAR(actual.X, expected.X, 0.01);
  EXPECT_NEAR(actual.Y, expected.Y, 0.01);
}
inline void ExpectAt(const gfx::Recorder::TextItem& t, gfx::PointF expected) {
  EXPECT_NEAR(t.x, expected.X, 0.01) << t.text;
  EXPECT_NEAR(t.y, expected.Y, 0.01) << t.text;
}

}  // namespace ovi::ehsi::test
