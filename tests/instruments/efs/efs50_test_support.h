// Fixture of the EFS 50 EHSI and traffic display tests: a clean module with
// a scripted host and one picture drawn on a recording surface of the
// screen's size (280 x 262) or any other. Expected places are canvas points
// of the 266 x 230 canvas, turned about a rose centre where the display
// turns them, then scaled to the surface.
#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/efs/efs50/ehsi.h"
#include "src/instruments/efs/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "tests/host/fake_panels.h"

namespace ovi::efs::test {

namespace c = efs50_colour;
using gfx::OpKind;
using Pick = std::function<bool(const gfx::RecordedOp&)>;
inline constexpr double kCx = 129, kRoseY = 114, kArcY = 190;

class Efs50Test : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
  }
  static model::State& M() { return model::model_state; }
  static guidance::State& G() { return guidance::guidance_state; }
  static flightplan::State& F() { return flightplan::flightplan_state; }

  void Surface(int width, int height) {
    dc = std::make_unique<gfx::DeviceContext>(width, height);
    rec.Clear();
    dc->recorder = &rec;
    sx = width / 266.0;
    sy = height / 230.0;
    size = PIXSIZE{width, height};
  }
  void Draw(int mode, int variant = 1, int width = 280, int height = 262) {
    M().EFS50HsiMode = mode;
    Surface(width, height);
    DrawEfs50Ehsi(efs_state.Efs50EhsiDisplay, dc.get(), &size, variant);
  }
  void DrawTcas(int variant = 1, int width = 280, int height = 262) {
    Surface(width, height);
    DrawEfs50TcasScreen(efs_state.Efs50TcasDisplay, dc.get(), &size, variant);
  }

  // The device point of canvas point (x, y) about (ox, oy) turned `degrees`.
  gfx::PointF At(double x, double y, double ox = 0, double oy = 0, double degrees = 0) const {
    const double r = degrees * M_PI / 180.0;
    return gfx::PointF(static_cast<float>((ox + x * std::cos(r) - y * std::sin(r)) * sx),
                       static_cast<float>((oy + x * std::sin(r) + y * std::cos(r)) * sy));
  }
  gfx::PointF Rose(double x, double y, double turn = 0) const { return At(x, y, kCx, kRoseY, turn); }
  gfx::PointF Arc(double x, double y, double turn = 0) const { return At(x, y, kCx, kArcY, turn); }

  static bool Near(gfx::PointF a, gfx::PointF b) { return std::fabs(a.X - b.X) < 0.01 && std::fabs(a.Y - b.Y) < 0.01; }
  bool Has(const std::string& text) const { return rec.FindText(text); }
  // `text` with its layout origin at `p`, in bold `family` of `size_units`
  // and `colour` where they are given.
  bool TextAt(const std::string& text, gfx::PointF p, const char* family = nullptr, float size_units = 0,
              gfx::ARGB colour = 0) const {
    for (const auto& t : rec.Texts())
      if (t.text == text && Near({t.x, t.y}, p) && (family == nullptr || t.font_family == family) &&
          (size_units == 0 || t.font_size == size_units) && (colour == 0 || t.color == colour))
        return true;
    return false;
  }
  std::vector<const gfx::RecordedOp*> Ops(OpKind kind, gfx::ARGB colour, int filled = -1) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec.Find(kind))
      if (op->color == colour && (filled < 0 || op->filled == (filled == 1))) out.push_back(op);
    return out;
  }
  // A line of `colour` between a and b (either way round).
  bool HasLine(gfx::ARGB colour, gfx::PointF a, gfx::PointF b, float width = 0) const {
    for (const gfx::RecordedOp* op : Ops(OpKind::Line, colour))
      if ((width == 0 || op->pen_width == width) &&
          ((Near(op->points[0], a) && Near(op->points[1], b)) || (Near(op->points[0], b) && Near(op->points[1], a))))
        return true;
    return false;
  }
  // A shape of `kind` and `colour` whose first point (an ellipse's centre)
  // is `p`.
  bool StartsAt(OpKind kind, gfx::ARGB colour, gfx::PointF p, int filled = -1) const {
    for (const gfx::RecordedOp* op : Ops(kind, colour, filled))
      if (!op->points.empty() && Near(op->points[0], p)) return true;
    return false;
  }
  // Whether the ops `pick` selects (at least one) all lie inside a clip, or
  // all outside every clip.
  bool AllClipped(const Pick& pick, bool clipped) const {
    bool in_clip = false;
    int n = 0;
    for (const gfx::RecordedOp& op : rec.Ops()) {
      if (op.kind == OpKind::Clip || op.kind == OpKind::ResetClip || op.kind == OpKind::ClipState) {
        in_clip = op.kind == OpKind::Clip || (op.kind == OpKind::ClipState && op.bounds.Width > 0);
      } else if (pick(op)) {
        ++n;
        if (in_clip != clipped) return false;
      }
    }
    return n > 0;
  }
  static Pick Colour(OpKind kind, gfx::ARGB colour, std::size_t points = 0) {
    return [=](const gfx::RecordedOp& op) {
      return op.kind == kind && op.color == colour && (points == 0 || op.points.size() == points);
    };
  }

  // NAV1's signal (token 49) and flags (46: 0x80 localizer, 0x40 glideslope).
  void Radio(double signal, double flags = 0) {
    host.tokens[49] = signal;
    host.tokens[46] = flags;
  }
  // A two-waypoint active route on the prime meridian, flown north to entry
  // 1, with the aircraft `east` arc minutes (NM) east of it, halfway.
  void NorthLeg(double east) {
    F().ActiveFlightPlan[0].latitude = F().ActiveFlightPlan[0].longitude = F().ActiveFlightPlan[1].longitude = 0.0;
    F().ActiveFlightPlan[1].latitude = 1.0;
    F().ActiveFlightPlanLastIndex = 1;
    F().ActiveWaypointIndex = 1;
    G().PlaneLatitude = 0.5;
    G().PlaneLongitude = east / 60.0;
    double course = 0.0, bearing = 0.0;
    navdb::ComputeDistanceAndBearing(0.0, 0.0, 1.0, 0.0, G().ActiveLegLength, course);
    G().DesiredTrack = guidance::MagneticCourse(course);
    navdb::ComputeDistanceAndBearing(0.5, east / 60.0, 1.0, 0.0, G().ActiveWaypointDistance, bearing);
  }

  testing::FakeHost host;
  std::unique_ptr<gfx::DeviceContext> dc;
  gfx::Recorder rec;
  PIXSIZE size{280, 262};
  double sx = 1.0, sy = 1.0;
};

}  // namespace ovi::efs::test
