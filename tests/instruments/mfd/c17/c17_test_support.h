// Fixture of the C-17 tests: a clean module with a scripted host, the
// C17_MFD gauge called as the host calls it, and the four slots' pages.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/device_context.h"
#include "platform/gfx/recorder.h"
#include "src/host/module_state.h"
#include "src/host/panel_services.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/gauges.h"
#include "src/instruments/mfd/c17/page_state.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::c17::test {

class C17Test : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    c17_mfd_gauge.elements_list[0]->image_flags = 0x26;
  }
  void TearDown() override { c17_mfd_gauge.parameters = ""; }

  static C17PageSlot& Slot(int n) { return c17_state.PageState.slots[static_cast<std::size_t>(n)]; }
  static std::int32_t& Working() { return model::model_state.C17MfdPage; }
  static bool Hidden() { return (c17_mfd_gauge.elements_list[0]->image_flags & IMAGE_HIDDEN) != 0; }

  // One pre-update of C17_MFD with `parameter`.
  void PreUpdate(const char* parameter) {
    c17_mfd_gauge.parameters = parameter;
    c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  }

  testing::FakeHost host;
};

// A page drawn by the draw entry from the working copy (display 5) on a
// recording surface twice the canvas (a canvas unit is two device pixels).
// Places are canvas units from (ox, oy): the canvas origin, or the page
// origin for a test that sets them so.
class C17PageTest : public C17Test {
 public:
  const gfx::Recorder& DrawPage(std::int32_t page, int width = 492, int height = 482) {
    Working() = page;
    dc_ = std::make_unique<gfx::DeviceContext>(width, height);
    rec_.Clear();
    dc_->recorder = &rec_;
    const PIXSIZE size{width, height};
    DrawC17Mfd(c17_state.C17MfdDisplay, dc_.get(), &size, 5);
    return rec_;
  }
  gfx::PointF At(double x, double y) const { return {static_cast<float>(2 * (ox + x)), static_cast<float>(2 * (oy + y))}; }
  static bool Near(gfx::PointF a, gfx::PointF b, double tolerance = 0.05) {
    return std::abs(a.X - b.X) <= tolerance && std::abs(a.Y - b.Y) <= tolerance;
  }
  // The text drawn at a place ("" for none) and its colour.
  std::string TextAt(double x, double y, gfx::ARGB* colour = nullptr) const {
    for (const gfx::Recorder::TextItem& t : rec_.Texts()) {
      if (!Near({t.x, t.y}, At(x, y))) continue;
      if (colour != nullptr) *colour = t.color;
      return t.text;
    }
    return {};
  }
  // Lines from a place, in drawing order.
  std::vector<const gfx::RecordedOp*> LinesFrom(double x, double y) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec_.Find(gfx::OpKind::Line))
      if (Near(op->points[0], At(x, y))) out.push_back(op);
    return out;
  }
  bool HasLine(double x1, double y1, double x2, double y2, gfx::ARGB colour, float width) const {
    for (const gfx::RecordedOp* l : LinesFrom(x1, y1))
      if (l->color == colour && l->pen_width == width && Near(l->points[1], At(x2, y2))) return true;
    return false;
  }
  bool HasRect(double x, double y, double w, double h, gfx::ARGB colour, bool filled = true) const {
    for (const gfx::RecordedOp* r : rec_.Find(gfx::OpKind::Rectangle))
      if (r->color == colour && r->filled == filled && Near(r->points[0], At(x, y)) && Near(r->points[2], At(x + w, y + h)))
        return true;
    return false;
  }
  // The raw temperature token (Rankine, read from 491.69) with the highest
  // reading in degrees C not above `celsius`: exactly it where a raw value
  // reads so (625, 655), else just below (39 reads 38.99999999999999 at
  // best).
  static double RankineToken(double celsius) {
    auto reading = [](double raw) { return (raw - 491.69) * 5.0 / 9.0; };
    double raw = celsius * 9.0 / 5.0 + 491.69;
    while (reading(raw) > celsius) raw = std::nextafter(raw, -1e9);
    while (reading(std::nextafter(raw, 1e9)) <= celsius) raw = std::nextafter(raw, 1e9);
    return raw;
  }

  double ox = 0, oy = 0;
  std::unique_ptr<gfx::DeviceContext> dc_;
  gfx::Recorder rec_;
};

}  // namespace ovi::c17::test
