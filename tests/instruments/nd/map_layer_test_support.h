// Fixture of the map-layer tests: hand-built routes and fixes about an
// aircraft, and finders for what the layers draw. On the 244 x 302 surface
// a canvas unit is a device pixel; the fine grid lands within half a pixel
// of the canvas point (one grid unit is under half a device pixel).
//
// Distances are worked on the module's sphere, where one degree of latitude
// is exactly 60 NM: a point d / 60 degrees north of another lies d NM away
// on course 360.
#pragma once

#include <string>
#include <vector>

#include "src/navdb/state.h"
#include "tests/instruments/nd/nd_test_support.h"

namespace ovi::nd::test {

// Within half a device pixel of the canvas point, and a little for the
// float transform.
inline constexpr double kGridTolerance = 0.75;

// The first radio's flags: a localizer is tuned.
inline constexpr double kLocalizer = 0x80;

class MapLayerTest : public NdTest {
 public:
  void SetUp() override {
    NdTest::SetUp();
    // South and west of zero.
    Aircraft(-10.0, -20.0, 0.0);
    model().HWB737NDMode = 5;
    model().NdRange = 40.0;
    model().NdShowNavaids = model().NdShowAirports = model().NdShowIntersections = 0;
  }

  void Aircraft(double lat, double lon, double map_heading) {
    guidance().PlaneLatitude = aircraft_lat = lat;
    guidance().PlaneLongitude = aircraft_lon = lon;
    guidance().MapHeading = guidance().AircraftHeading = map_heading;
  }
  double North(double nm) const { return aircraft_lat + nm / 60.0; }

  // Entry i of the active plan; the last index follows the highest entry set.
  model::FlightPlanWaypoint& Active(int i, const std::string& ident, double lat, double lon) {
    model::FlightPlanWaypoint& w = plan().ActiveFlightPlan[i];
    w.ident = ident;
    w.latitude = lat;
    w.longitude = lon;
    if (plan().ActiveFlightPlanLastIndex < i) plan().ActiveFlightPlanLastIndex = i;
    return w;
  }
  model::FlightPlanWaypoint& Pending(int i, const std::string& ident, double lat, double lon) {
    model::FlightPlanWaypoint& w = plan().PendingFlightPlan[i];
    w.ident = ident;
    w.latitude = lat;
    w.longitude = lon;
    if (plan().PendingFlightPlanLastIndex < i) plan().PendingFlightPlanLastIndex = i;
    return w;
  }

  // Outlines of `points` points in a colour (map symbols: 9 = waypoint star,
  // 19 = VOR with blocks, 7 = VOR hexagon, 4 = triangle), by their first
  // point (the symbol's reference point).
  std::vector<gfx::PointF> Symbols(int points, gfx::ARGB colour) const {
    std::vector<gfx::PointF> out;
    for (const gfx::RecordedOp* op : rec.Find(gfx::OpKind::Lines))
      if (op->color == colour && static_cast<int>(op->points.size()) == points) out.push_back(op->points[0]);
    return out;
  }
  // Straight lines of a colour.
  std::vector<const gfx::RecordedOp*> Lines(gfx::ARGB colour) const { return Ops(gfx::OpKind::Line, colour); }
  // Straight lines of a colour drawn on the fine grid (the map layers' own,
  // not the compass's course line).
  std::vector<const gfx::RecordedOp*> GridLines(gfx::ARGB colour) const { return GridOps(gfx::OpKind::Line, colour); }
  std::vector<const gfx::RecordedOp*> GridOps(gfx::OpKind kind, gfx::ARGB colour) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : Ops(kind, colour))
      if (op->matrix[0] < 0.9f) out.push_back(op);
    return out;
  }
  // The line of a colour between two device points (either way round).
  const gfx::RecordedOp* LineBetween(gfx::ARGB colour, double x1, double y1, double x2, double y2,
                                     double tolerance = kGridTolerance) const {
    auto near = [&](const gfx::PointF& p, double x, double y) {
      return std::abs(p.X - x) <= tolerance && std::abs(p.Y - y) <= tolerance;
    };
    for (const gfx::RecordedOp* op : Lines(colour)) {
      const gfx::PointF &a = op->points[0], &b = op->points[1];
      if ((near(a, x1, y1) && near(b, x2, y2)) || (near(a, x2, y2) && near(b, x1, y1))) return op;
    }
    return nullptr;
  }

  double aircraft_lat = 0.0;
  double aircraft_lon = 0.0;
};

inline double XOf(const gfx::PointF& p) { return p.X; }
inline double YOf(const gfx::PointF& p) { return p.Y; }
inline double XOf(const gfx::Recorder::TextItem& t) { return t.x; }
inline double YOf(const gfx::Recorder::TextItem& t) { return t.y; }

// A point or a text's layout origin within the grid's tolerance of (x, y).
#define EXPECT_AT(item, x, y)                                                      \
  do {                                                                             \
    EXPECT_NEAR(::ovi::nd::test::XOf(item), (x), ::ovi::nd::test::kGridTolerance); \
    EXPECT_NEAR(::ovi::nd::test::YOf(item), (y), ::ovi::nd::test::kGridTolerance); \
  } while (0)

}  // namespace ovi::nd::test
