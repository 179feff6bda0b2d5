// The top of climb and descent on every map that draws them through the
// shared markers, each drawn at its design size and at twice its width and
// one and a half times its height: every mark lies on the route's line,
// halfway along the leg it is placed on, as the display draws that leg.
// The aircraft is south and west of zero, the maps turned 20 degrees; the
// legs run north-east, across both axes of the screen.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/efs/efs50/efs50.h"
#include "src/instruments/efs/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/instruments/ehsi/state.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi {
namespace {

using gfx::OpKind;
namespace colour = display::colour;

model::State& M() { return model::model_state; }
guidance::State& G() { return guidance::guidance_state; }
flightplan::State& F() { return flightplan::flightplan_state; }

constexpr double kLat = -10.0, kLon = -20.0;

// A position `east` and `north` NM from the aircraft (one degree of
// latitude is 60 NM on the module's sphere).
struct Geo {
  double lat, lon;
};
Geo Offset(double east, double north) {
  return {kLat + north / 60.0, kLon + east / (60.0 * std::cos(kLat * M_PI / 180.0))};
}
Geo Halfway(const Geo& a, const Geo& b) { return {(a.lat + b.lat) / 2.0, (a.lon + b.lon) / 2.0}; }

// How a display marks a point: "T/C" 8 canvas units right of and 7 above
// it; a bar across it (its midpoint); a "T" standing on it (its stem's
// foot); a circle about it.
enum class Mark { kText, kBar, kTee, kCircle };

struct Display {
  const char* name;
  int width, height;          // design size
  double canvas_w, canvas_h;  // what the text marks' offsets are units of
  Mark mark;
  gfx::ARGB route;  // the colour of the legs beyond the active waypoint
  void (*set)();
  void (*draw)(gfx::DeviceContext*, const PIXSIZE*);
};

const Display kDisplays[] = {
    {"B737 ND", 244, 302, 244, 302, Mark::kText, colour::kMagenta,
     [] { M().HWB737NDMode = 5, M().NdRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { nd::DrawB737NavigationDisplay(nd::nd_state.B737NdDisplay, dc, s, 1); }},
    {"MD-11 ND", 240, 258, 240, 258, Mark::kBar, colour::kMagenta,
     [] { M().HWMD11NDMode = nd::kMd11NdModeMap, M().Md11NdRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { nd::DrawMd11NavigationDisplay(nd::nd_state.Md11NdDisplay, dc, s, 1); }},
    {"DU-1000", 318, 311, 318, 310, Mark::kTee, colour::kWhite,
     [] { M().DU1000EHSIMode = 3, M().Du1000EhsiRange = 60; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { ehsi::DrawDu1000Ehsi(ehsi::ehsi_state.Du1000Display, dc, s, 1); }},
    {"Pro Line 4", 247, 285, 247, 285, Mark::kTee, colour::kWhite,
     [] { M().PROLINE4MFDMode = 3, M().Proline4MapRadius = 140, M().Proline4MapRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { ehsi::DrawProline4Mfd(ehsi::ehsi_state.Proline4Display, dc, s, 1); }},
    {"MD-80", 266, 232, 266, 232, Mark::kText, colour::kWhite,
     [] { M().MD80EHSIMode = 3, M().Md80EhsiMapRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { ehsi::DrawMd80Ehsi(ehsi::ehsi_state.Md80Display, dc, s, 1); }},
    {"EFS 50", 280, 262, 266, 230, Mark::kCircle, colour::kWhite,
     [] { M().EFS50HsiMode = 5, M().EFS50NavMode = 2, M().Efs50EhsiRange = 20, M().ShowTodBodIndicators = 1; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { efs::DrawEfs50Ehsi(efs::efs_state.Efs50EhsiDisplay, dc, s, 1); }},
    {"P1000", 272, 314, 272, 314, Mark::kCircle, colour::kWhite,
     [] { M().P1000MapFormat = p1000::kArcFormat, M().P1000MapRange = 25; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { p1000::DrawP1000Mfd(efs::efs_state.P1000MfdDisplay, dc, s, 1); }},
    {"C-17 map page", 492, 482, 246, 241, Mark::kText, colour::kMagenta,
     [] { M().C17MfdPage = 6, M().C17MfdMapRange = 40; },
     [](gfx::DeviceContext* dc, const PIXSIZE* s) { c17::DrawC17Mfd(c17::c17_state.C17MfdDisplay, dc, s, 5); }},
};

class MarksOnRouteTest : public ::testing::TestWithParam<Display> {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    G().DisplayPower = 1;
    G().PlaneLatitude = kLat;
    G().PlaneLongitude = kLon;
    G().MapHeading = G().AircraftHeading = 20.0;
    G().DestinationDistance = 60.0;
    G().VnavEngaged = 1;  // the circles of the P1000 and the EFS 50 need it
    G().AircraftAltitude = G().NextConstraintAltitude = 20000.0;
    M().CruiseAlt = 30000;
    const Geo at[] = {Offset(0, -10), Offset(4, 6), Offset(10, 14), Offset(16, 24), Offset(26, 30)};
    for (int i = 0; i < 5; ++i) {
      model::FlightPlanWaypoint& w = F().ActiveFlightPlan[i];
      w.ident = "WPT" + std::to_string(i);
      w.type = "WPT";
      w.latitude = at[i].lat;
      w.longitude = at[i].lon;
      w.value3 = -1.0;  // no inbound course
      wpt[i] = at[i];
    }
    F().ActiveFlightPlanLastIndex = 4;
    F().ActiveWaypointIndex = 1;
    G().NextConstraintLat = wpt[4].lat;
    G().NextConstraintLon = wpt[4].lon;
    GetParam().set();
  }

  // One picture with the top of climb and descent at `toc` and `tod`.
  gfx::Recorder Draw(int width, int height, const Geo& toc, const Geo& tod) {
    G().TocLatitude = toc.lat, G().TocLongitude = toc.lon;
    G().TodLatitude = tod.lat, G().TodLongitude = tod.lon;
    G().DisplayRefreshCounter = 0;  // the P1000 repaints in full
    gfx::DeviceContext dc(width, height);
    gfx::Recorder rec;
    dc.recorder = &rec;
    const PIXSIZE size{width, height};
    GetParam().draw(&dc, &size);
    return rec;
  }

  // The points the display marks in `rec`, in drawing order (TOC, TOD):
  // its operations that differ from those of `other`, the same picture
  // with the marks elsewhere, as far as they show (the C-17's page 6 lays
  // its layers a second time under a clip that hides them).
  std::vector<gfx::PointF> Marks(const gfx::Recorder& rec, const gfx::Recorder& other, int width, int height) const {
    std::vector<const gfx::RecordedOp*> moved;
    EXPECT_EQ(rec.Size(), other.Size());
    for (std::size_t i = 0; i < rec.Size() && i < other.Size(); ++i) {
      const gfx::RecordedOp &a = rec.Ops()[i], &b = other.Ops()[i];
      if (a.points.size() != b.points.size() || a.kind != b.kind || !a.visible) continue;
      bool same = true;
      for (std::size_t k = 0; k < a.points.size(); ++k)
        same = same && a.points[k].X == b.points[k].X && a.points[k].Y == b.points[k].Y;
      if (!same) moved.push_back(&a);
    }
    std::vector<gfx::PointF> out;
    const Display& d = GetParam();
    switch (d.mark) {
      case Mark::kText:
        for (const gfx::RecordedOp* op : moved)
          if (op->kind == OpKind::Text)
            out.push_back({static_cast<float>(op->points[0].X - 8.0 * width / d.canvas_w),
                           static_cast<float>(op->points[0].Y + 7.0 * height / d.canvas_h)});
        break;
      case Mark::kBar:
      case Mark::kTee:
        for (std::size_t k = 0; k + 1 < moved.size(); k += 2) {
          const gfx::RecordedOp& first = *moved[k];
          const gfx::RecordedOp& second = *moved[k + 1];
          if (d.mark == Mark::kBar)
            out.push_back({(first.points[0].X + first.points[1].X) / 2, (first.points[0].Y + first.points[1].Y) / 2});
          else
            out.push_back(second.points[1]);
        }
        break;
      case Mark::kCircle:
        for (const gfx::RecordedOp* op : moved)
          if (op->kind == OpKind::Ellipse) out.push_back(op->points[0]);
        break;
    }
    return out;
  }

  // Whether `p` lies within `tolerance` pixels of a leg of the route's
  // colour (at least `min_length` long), between 40 and 60 per cent of
  // its way.
  static bool HalfwayAlongALeg(const gfx::Recorder& rec, gfx::ARGB colour, gfx::PointF p, double tolerance,
                               double min_length) {
    for (const gfx::RecordedOp* op : rec.Find(OpKind::Line)) {
      if (op->color != colour) continue;
      const double ax = op->points[0].X, ay = op->points[0].Y;
      const double dx = op->points[1].X - ax, dy = op->points[1].Y - ay;
      const double length = std::hypot(dx, dy);
      if (length < min_length) continue;
      const double t = ((p.X - ax) * dx + (p.Y - ay) * dy) / (length * length);
      const double off = std::fabs((p.X - ax) * dy - (p.Y - ay) * dx) / length;
      if (t >= 0.4 && t <= 0.6 && off <= tolerance) return true;
    }
    return false;
  }

  testing::FakeHost host;
  Geo wpt[5];
};

TEST_P(MarksOnRouteTest, TheTopOfClimbAndDescentLieOnTheirLegsAtEverySize) {
  const Display& d = GetParam();
  const Geo leg23 = Halfway(wpt[2], wpt[3]), leg34 = Halfway(wpt[3], wpt[4]);
  for (const auto& [width, height] : {std::pair{d.width, d.height}, {2 * d.width, 3 * d.height / 2}}) {
    const gfx::Recorder a = Draw(width, height, leg23, leg34);
    const gfx::Recorder b = Draw(width, height, leg34, leg23);
    const double scale = std::min(width / static_cast<double>(d.width), height / static_cast<double>(d.height));
    for (const gfx::Recorder* rec : {&a, &b}) {
      const std::vector<gfx::PointF> marks = Marks(*rec, rec == &a ? b : a, width, height);
      ASSERT_EQ(marks.size(), 2u) << d.name << " at " << width << " x " << height;
      for (const gfx::PointF& p : marks)
        EXPECT_TRUE(HalfwayAlongALeg(*rec, d.route, p, 2.0, 20.0 * scale))
            << d.name << " at " << width << " x " << height << ": mark at (" << p.X << ", " << p.Y << ")";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMap, MarksOnRouteTest, ::testing::ValuesIn(kDisplays),
                         [](const ::testing::TestParamInfo<Display>& param) {
                           std::string name = param.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace ovi
