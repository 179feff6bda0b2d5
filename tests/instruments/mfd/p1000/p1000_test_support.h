// Fixture of the P1000 tests: a clean module with a scripted host and the
// display drawn on a recording surface of its canvas size (272 x 314, a
// device pixel a canvas unit), kept between pictures as the host keeps it.
// On the module's sphere a degree of latitude is exactly 60 NM.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/device_context.h"
#include "platform/gfx/recorder.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/instruments/mfd/p1000/state.h"
#include "src/model/state.h"
#include "src/navdb/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::p1000::test {

namespace colour = display::colour;
using gfx::OpKind;

class P1000Test : public ::testing::Test {
 public:
  // South and west of zero, heading north, a full repaint.
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    guidance().PlaneLatitude = -10.0;
    guidance().PlaneLongitude = -20.0;
    guidance().DisplayRefreshCounter = 0;
  }
  static model::State& model() { return model::model_state; }
  static guidance::State& guidance() { return guidance::guidance_state; }
  static flightplan::State& plan() { return flightplan::flightplan_state; }
  static double North(double nm) { return -10.0 + nm / 60.0; }
  // Active-plan entry i, `nm` north of the aircraft.
  static model::FlightPlanWaypoint& Waypoint(int i, const std::string& ident, double nm) {
    model::FlightPlanWaypoint& w = plan().ActiveFlightPlan[i];
    w.ident = ident;
    w.latitude = North(nm);
    w.longitude = -20.0;
    plan().ActiveFlightPlanLastIndex = std::max(plan().ActiveFlightPlanLastIndex, i);
    return w;
  }
  const gfx::Recorder& Draw(int variant = 1) {
    if (!dc) dc = std::make_unique<gfx::DeviceContext>(272, 314);
    rec.Clear();
    dc->recorder = &rec;
    const PIXSIZE size{272, 314};
    DrawP1000Mfd(efs::efs_state.P1000MfdDisplay, dc.get(), &size, variant);
    return rec;
  }
  std::vector<const gfx::RecordedOp*> Ops(OpKind kind, gfx::ARGB c, int filled = -1) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec.Find(kind))
      if (op->color == c && (filled < 0 || op->filled == (filled == 1))) out.push_back(op);
    return out;
  }
  // Where a text starts (the test fails without it).
  void ExpectText(const std::string& text, double x, double y, double tolerance = 0.6) const {
    gfx::Recorder::TextItem item;
    ASSERT_TRUE(rec.FindText(text, &item)) << "no text \"" << text << "\"";
    EXPECT_NEAR(item.x, x, tolerance) << text;
    EXPECT_NEAR(item.y, y, tolerance) << text;
  }
  // The same for the map's text in `colour` (the map's texts are drawn
  // after the data box that may show the same).
  void ExpectTextIn(gfx::ARGB colour, const std::string& text, double x, double y, double tolerance = 0.6) const {
    const std::vector<gfx::Recorder::TextItem> texts = rec.Texts();
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
      const gfx::Recorder::TextItem& item = *it;
      if (item.text != text || item.color != colour) continue;
      EXPECT_NEAR(item.x, x, tolerance) << text;
      EXPECT_NEAR(item.y, y, tolerance) << text;
      return;
    }
    ADD_FAILURE() << "no text \"" << text << "\"";
  }
  gfx::ARGB Colour(const std::string& text) const {
    gfx::Recorder::TextItem item;
    EXPECT_TRUE(rec.FindText(text, &item)) << "no text \"" << text << "\"";
    return item.color;
  }
  std::vector<std::string> Texts(gfx::ARGB c) const {
    std::vector<std::string> out;
    for (const gfx::Recorder::TextItem& t : rec.Texts())
      if (t.color == c) out.push_back(t.text);
    return out;
  }

  testing::FakeHost host;
  std::unique_ptr<gfx::DeviceContext> dc;
  gfx::Recorder rec;
};

inline void ExpectNear(const gfx::PointF& p, double x, double y, double tolerance = 0.6) {
  EXPECT_NEAR(p.X, x, tolerance);
  EXPECT_NEAR(p.Y, y, tolerance);
}

}  // namespace ovi::p1000::test
