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

inline constexpr std::uint32_t kTokenNav1Flags = 46;
inline constexpr std::uint32_t kTokenNav1Signal = 49;
inline constexpr std::uint32_t kTokenStationOffset = 550;
inline constexpr std::uint32_t kTokenGlideslopeShown = 852;
inline constexpr std::uint32_t kTokenNav1Frequency = 24;
inline constexpr std::uint32_t kTokenAdfFrequency = 16;
inline constexpr double kLocalizer = 0x80;
inline constexpr double kGlideslope = 0x40;

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

  // The first text equal to `text`; fails the test when there is none.
  gfx::Recorder::TextItem Text(const std::string& text) const {
    gfx::Recorder::TextItem item;
    EXPECT_TRUE(rec.FindText(text, &item)) << "no text \"" << text << "\"";
    return item;
  }
  bool Has(const std::string& text) const { return rec.FindText(text); }

  // Operations of a kind in one colour (filled 1, outlined 0, both -1).
  std::vector<const gfx::RecordedOp*> Ops(gfx::OpKind kind, gfx::ARGB colour, int filled = -1) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec.Find(kind)) {
      if (op->color != colour) continue;
      if (filled >= 0 && op->filled != (filled == 1)) continue;
      out.push_back(op);
    }
    return out;
  }

  // An active route of two waypoints with waypoint 1 active.
  void ActiveRoute(double lat0, double lon0, double lat1, double lon1) {
    plan().ActiveFlightPlan[0].ident = "AAA";
    plan().ActiveFlightPlan[0].latitude = lat0;
    plan().ActiveFlightPlan[0].longitude = lon0;
    plan().ActiveFlightPlan[1].ident = "BBB";
    plan().ActiveFlightPlan[1].latitude = lat1;
    plan().ActiveFlightPlan[1].longitude = lon1;
    plan().ActiveFlightPlanLastIndex = 1;
    plan().ActiveWaypointIndex = 1;
  }

  testing::FakeHost host;
  std::unique_ptr<gfx::DeviceContext> dc;
  gfx::Recorder rec;
};

// A point rotated by `degrees` clockwise on the screen about `origin`.
inline gfx::PointF Rotated(double x, double y, double degrees, double ox, double oy) {
  const double r = degrees * M_PI / 180.0;
  return gfx::PointF(static_cast<float>(ox + x * std::cos(r) - y * std::sin(r)),
                     static_cast<float>(oy + x * std::sin(r) + y * std::cos(r)));
}

}  // namespace ovi::nd::test
