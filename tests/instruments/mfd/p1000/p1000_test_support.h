// Fixture of the P1000 tests: a clean module with a scripted host and the
// display drawn on a recording surface of its canvas size (272 x 314), so
// device pixels are canvas units and places read as the display's own
// coordinates. The surface is kept between pictures, as the host keeps it.
//
// Positions are worked on the module's sphere, where a degree of latitude
// is exactly 60 NM: a point d / 60 degrees north of another lies d NM away
// on course 360.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
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

class P1000Test : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    // South and west of zero, a full repaint unless a test says otherwise.
    Aircraft(-10.0, -20.0, 0.0);
    guidance().DisplayRefreshCounter = 0;
  }
  static model::State& model() { return model::model_state; }
  static guidance::State& guidance() { return guidance::guidance_state; }
  static flightplan::State& plan() { return flightplan::flightplan_state; }

  void Aircraft(double lat, double lon, double heading) {
    guidance().PlaneLatitude = lat_ = lat;
    guidance().PlaneLongitude = lon_ = lon;
    guidance().AircraftHeading = guidance().MapHeading = heading;
  }
  double North(double nm) const { return lat_ + nm / 60.0; }
  double Lon() const { return lon_; }
  // Entry i of the active plan, `nm` north of the aircraft; the last index
  // follows the highest entry set.
  model::FlightPlanWaypoint& Waypoint(int i, const std::string& ident, double nm_north) {
    model::FlightPlanWaypoint& w = plan().ActiveFlightPlan[i];
    w.ident = ident;
    w.latitude = North(nm_north);
    w.longitude = lon_;
    plan().ActiveFlightPlanLastIndex = std::max(plan().ActiveFlightPlanLastIndex, i);
    return w;
  }

  // One picture of the current state on the kept surface.
  const gfx::Recorder& Draw(int variant = 1) {
    if (!dc) dc = std::make_unique<gfx::DeviceContext>(272, 314);
    rec.Clear();
    dc->recorder = &rec;
    const PIXSIZE size{272, 314};
    DrawP1000Mfd(efs::efs_state.P1000MfdDisplay, dc.get(), &size, variant);
    return rec;
  }
  std::vector<const gfx::RecordedOp*> Ops(gfx::OpKind kind, gfx::ARGB colour, int filled = -1) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec.Find(kind))
      if (op->color == colour && (filled < 0 || op->filled == (filled == 1))) out.push_back(op);
    return out;
  }
  gfx::Recorder::TextItem Text(const std::string& text) const {
    gfx::Recorder::TextItem item;
    EXPECT_TRUE(rec.FindText(text, &item)) << "no text \"" << text << "\"";
    return item;
  }
  // The texts drawn, in order, of one colour.
  std::vector<std::string> Texts(gfx::ARGB colour) const {
    std::vector<std::string> out;
    for (const gfx::Recorder::TextItem& t : rec.Texts())
      if (t.color == colour) out.push_back(t.text);
    return out;
  }

  testing::FakeHost host;
  std::unique_ptr<gfx::DeviceContext> dc;
  gfx::Recorder rec;

 private:
  double lat_ = 0.0, lon_ = 0.0;
};

inline void ExpectNear(double x, double y, double ex, double ey, double tolerance = 0.6) {
  EXPECT_NEAR(x, ex, tolerance);
  EXPECT_NEAR(y, ey, tolerance);
}

}  // namespace ovi::p1000::test
