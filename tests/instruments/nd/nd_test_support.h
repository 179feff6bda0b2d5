// Fixture of the navigation-display tests: a clean module with a scripted
// host, and one B737 ND picture drawn on a recording surface. On the
// 244 x 302 surface device pixels are canvas units, so places read as the
// display's own coordinates.
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
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::nd::test {

inline constexpr std::uint32_t kTokenNav1Flags = 46;  // 0x80 localizer, 0x40 glideslope
inline constexpr std::uint32_t kTokenNav1Signal = 49;
inline constexpr std::uint32_t kTokenGlideslopeShown = 852;

class NdTest : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  model::State& model() { return model::model_state; }
  guidance::State& guidance() { return guidance::guidance_state; }
  flightplan::State& plan() { return flightplan::flightplan_state; }

  // Draws one picture of the current state and keeps its record.
  const gfx::Recorder& Draw(int variant = 1, int width = 244, int height = 302) {
    dc = std::make_unique<gfx::DeviceContext>(width, height);
    rec.Clear();
    dc->recorder = &rec;
    const PIXSIZE size{width, height};
    DrawB737NavigationDisplay(nd_state.B737NdDisplay, dc.get(), &size, variant);
    return rec;
  }
  bool Has(const std::string& text) const { return rec.FindText(text); }
  // The first text equal to `text` (the test fails without one).
  gfx::Recorder::TextItem Text(const std::string& text) const {
    gfx::Recorder::TextItem item;
    EXPECT_TRUE(rec.FindText(text, &item)) << "no text \"" << text << "\"";
    return item;
  }
  // The first text equal to `text` in `colour` (the test fails without one).
  gfx::Recorder::TextItem Text(const std::string& text, gfx::ARGB colour) const {
    for (const gfx::Recorder::TextItem& t : rec.Texts())
      if (t.text == text && t.color == colour) return t;
    ADD_FAILURE() << "no text \"" << text << "\"";
    return {};
  }
  // Operations of a kind in one colour (filled 1, outlined 0, both -1).
  std::vector<const gfx::RecordedOp*> Ops(gfx::OpKind kind, gfx::ARGB colour, int filled = -1) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec.Find(kind))
      if (op->color == colour && (filled < 0 || op->filled == (filled == 1))) out.push_back(op);
    return out;
  }
  // The first outline of `count` points in a colour, or null.
  const gfx::RecordedOp* Outline(gfx::ARGB colour, std::size_t count) const {
    for (const gfx::RecordedOp* op : Ops(gfx::OpKind::Lines, colour))
      if (op->points.size() == count) return op;
    return nullptr;
  }
  // An active route of two waypoints, waypoint 1 active.
  void ActiveRoute(double lat0, double lon0, double lat1, double lon1) {
    const double at[2][2] = {{lat0, lon0}, {lat1, lon1}};
    for (int i = 0; i < 2; ++i) {
      plan().ActiveFlightPlan[i].ident = i == 0 ? "AAA" : "BBB";
      plan().ActiveFlightPlan[i].latitude = at[i][0];
      plan().ActiveFlightPlan[i].longitude = at[i][1];
    }
    plan().ActiveFlightPlanLastIndex = 1;
    plan().ActiveWaypointIndex = 1;
  }
  void Radio(double signal, double flags = 0) {
    host.tokens[kTokenNav1Signal] = signal;
    host.tokens[kTokenNav1Flags] = flags;
  }

  testing::FakeHost host;
  std::unique_ptr<gfx::DeviceContext> dc;
  gfx::Recorder rec;
};

// (x, y) turned by `degrees` clockwise on the screen about (ox, oy).
inline gfx::PointF Rotated(double x, double y, double degrees, double ox, double oy) {
  const double r = degrees * M_PI / 180.0;
  return gfx::PointF(static_cast<float>(ox + x * std::cos(r) - y * std::sin(r)),
                     static_cast<float>(oy + x * std::sin(r) + y * std::cos(r)));
}

inline void ExpectAt(gfx::PointF actual, gfx::PointF expected) {
  EXPECT_NEAR(actual.X, expected.X, 0.01);
  EXPECT_NEAR(actual.Y, expected.Y, 0.01);
}
inline void ExpectAt(const gfx::Recorder::TextItem& t, gfx::PointF expected) {
  EXPECT_NEAR(t.x, expected.X, 0.01) << t.text;
  EXPECT_NEAR(t.y, expected.Y, 0.01) << t.text;
}

}  // namespace ovi::nd::test
