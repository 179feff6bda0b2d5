#include "tools/mapcard/scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"
#include "src/util/text.h"

namespace ovi::mapcard {

namespace {

constexpr double kVariation = 12.5;  // degrees east

struct Geo {
  double lat, lon;
};

Geo Project(Geo from, double course_true, double nm) {
  Geo to;
  navdb::ProjectPosition(from.lat, from.lon, course_true, nm, to.lat, to.lon);
  return to;
}

// A deterministic sequence in [0, 1).
struct Sequence {
  std::uint32_t seed = 20240607;
  double Next() {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
  }
};

struct RunwayPair {
  const char* low;
  const char* high;
  double north_nm, east_nm;  // low threshold from the airport reference
  double heading;            // magnetic, low end
  int length_ft;
  int right_pattern;
};

constexpr RunwayPair kRunways[] = {
    {"16R", "34L", 1.6, -0.6, 155, 12999, 1}, {"16L", "34R", 1.0, 0.5, 155, 8300, 0},
    {"07", "25", -0.4, -1.2, 66, 8000, 0},    {"04C", "22C", -1.4, 0.4, 40, 6000, 0},
    {"09L", "27R", 0.3, -1.5, 90, 5200, 0},   {"18", "36", 0.8, 1.6, 180, 4500, 0},
};

// The route's waypoints, NM north of the airport.
constexpr double kRouteNm[] = {120, 60, 12, 4, 0};

Geo FromAirport(double north_nm, double east_nm) {
  return Project(Project({kAirportLat, kAirportLon}, 0, north_nm), 90, east_nm);
}

}  // namespace

void Scene::ResetRunways() const {
  navdb::State& n = navdb::navdb_state;
  n.AirportRunwayCount = 0;
  for (const RunwayPair& p : kRunways) {
    const Geo t = FromAirport(p.north_nm, p.east_nm);
    const Geo e = Project(t, p.heading + kVariation, p.length_ft / 6076.0);
    for (int end = 0; end < 2; ++end) {
      model::RunwayRecord& r = n.AirportRunwayTable[++n.AirportRunwayCount];
      r.number_text = end == 0 ? p.low : p.high;
      r.latitude = end == 0 ? t.lat : e.lat;
      r.longitude = end == 0 ? t.lon : e.lon;
      r.heading = end == 0 ? p.heading : std::fmod(p.heading + 180.0, 360.0);
      r.approach_course = r.heading;
      r.length = p.length_ft;
      r.right_pattern = p.right_pattern;
    }
  }
  n.SelectedRunwayBase = 1;
  n.SelectedRunwayOffset = 1;
}

Scene::Scene(int boundaries, int points_each, int navaids) {
  ResetModuleState();
  guidance::State& gs = guidance::guidance_state;
  model::State& ms = model::model_state;
  // Inbound from the north, 15 NM out.
  ScenePlaneOnRoute(15);
  const Geo plane{gs.PlaneLatitude, gs.PlaneLongitude};
  gs.MagneticVariation = kVariation;
  gs.MapHeading = 168;
  gs.AircraftHeading = 168;

  ResetRunways();
  navdb::State& n = navdb::navdb_state;
  n.AirportDetailsElevationText = "21";
  ms.DispAppPtrnAlts = 1;
  const Geo parking = FromAirport(0.1, 0.15);
  n.ParkingLatitude = parking.lat;
  n.ParkingLongitude = parking.lon;
  n.ParkingHeading = 250;

  // Boundaries: rings of points about centres scattered within 250 NM; the
  // last point repeats the first where the file closes an outline.
  Sequence seq;
  for (int b = 1; b <= boundaries; ++b) {
    model::AtcBoundary& a = n.AtcBoundaryTable[b];
    const Geo centre = Project(plane, seq.Next() * 360.0, 20.0 + seq.Next() * 230.0);
    const double radius = 30.0 + seq.Next() * 90.0;
    a.name = util::Format("YBB%04d", b);
    a.label = util::Format("B%02d", b % 100);
    a.label_latitude = centre.lat;
    a.label_longitude = centre.lon;
    const int count = std::min(points_each, model::kMaxBoundaryPoints);
    for (int p = 1; p <= count; ++p) {
      const double angle = p == count ? 0.0 : 360.0 * (p - 1) / (count - 1);
      const Geo pt = Project(centre, angle, radius * (0.85 + 0.15 * seq.Next()));
      a.points[p] = {pt.lat, pt.lon};
    }
    a.point_count = count;
    n.AtcBoundaryPointCount += count;
  }
  n.AtcBoundaryCount = boundaries;

  // The route: north of the airport down to it, the aircraft between
  // waypoints 1 and 2; the next constraint at waypoint 3.
  flightplan::State& fp = flightplan::flightplan_state;
  for (int i = 0; i < 5; ++i) {
    const Geo w = FromAirport(kRouteNm[i], kRouteNm[i] > 10 ? -3 : 0);
    fp.ActiveFlightPlan[i].latitude = w.lat;
    fp.ActiveFlightPlan[i].longitude = w.lon;
  }
  fp.ActiveFlightPlanLastIndex = 4;
  gs.NextConstraintIndex = 3;
  gs.NextConstraintAltitude = 3000;
  gs.NextConstraintLat = fp.ActiveFlightPlan[3].latitude;
  gs.NextConstraintLon = fp.ActiveFlightPlan[3].longitude;
  gs.BearingToActiveWaypoint = 180 - kVariation;
  const Geo toc = FromAirport(95, -3), tod = FromAirport(25, -3);
  gs.TocLatitude = toc.lat;
  gs.TocLongitude = toc.lon;
  gs.TodLatitude = tod.lat;
  gs.TodLongitude = tod.lon;
  gs.VnavEngaged = 1;
  ms.CruiseAlt = 36000;
  ms.DescentTas = 300;
  ms.PlanDescentRate = 2000;
  ms.ShowFloatingTodBodIndicators = 1;

  // Navaids about the aircraft.
  constexpr std::uint32_t kCodes[] = {1, 2, 3, 4, 5, 20, 21};
  constexpr std::uint32_t kStyles[] = {0, 1, 3, 4, 5};
  for (int i = 0; i < navaids; ++i) {
    const Geo p = Project(plane, seq.Next() * 360.0, seq.Next() * 45.0);
    navaids_.push_back({p.lat, p.lon, kCodes[i % 7], kStyles[i % 5]});
  }

  // Traffic: every threat and trend, within 10 NM.
  for (int l = 0; l < kTrafficLists; ++l) {
    for (int k = 0; k < kTargetsPerList; ++k) {
      const int i = l * kTargetsPerList + k;
      Entry& e = entries_[l][k];
      e.alt = static_cast<float>((i % 9 - 4) * 900 + 100);
      e.codes = (static_cast<std::uint32_t>(i % 4) << 20) | (static_cast<std::uint32_t>(i % 3) << 16);
      e.active = 1;
      std::memset(e.pad, 0, sizeof e.pad);
      e.range = static_cast<float>(2.0 + (i * 37 % 80) / 10.0);
      e.bearing = static_cast<float>(i * 0.31);
    }
    std::memset(blocks_[l].bytes, 0, sizeof blocks_[l].bytes);
  }
}

Scene::~Scene() {
  display::display_state.TrafficListPointer = nullptr;
  ResetModuleState();
}

void Scene::PublishTraffic(int i) {
  if (i < 0 || i >= kTrafficLists) return;
  std::uint8_t* b = blocks_[i].bytes;
  b[44] = kTargetsPerList;
  for (int k = 0; k < kTargetsPerList; ++k) {
    const void* p = &entries_[i][k];
    std::memcpy(b + 48 + k * 8, &p, sizeof p);
  }
  ++sequence_;
  std::memcpy(b + 14, &sequence_, sizeof sequence_);
  display::display_state.TrafficListPointer = b;
}

void ScenePlaneOnRoute(double nm) {
  const Geo plane = FromAirport(nm, -3);
  guidance::State& gs = guidance::guidance_state;
  gs.PlaneLatitude = plane.lat;
  gs.PlaneLongitude = plane.lon;
  gs.AircraftAltitude = 24000;
  int active = 4;
  for (int i = 4; i >= 0; --i)
    if (kRouteNm[i] < nm) active = i;
  flightplan::flightplan_state.ActiveWaypointIndex = active;
}

void BeginMap(gfx::Graphics& g, int cx, int cy, int radius) {
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  gfx::GraphicsPath circle;
  circle.AddEllipseI(cx - radius, cy - radius, 2 * radius, 2 * radius);
  g.SetClip(circle);
  g.Clear(gfx::Color(0xFF000000));
}

void DrawBusyMap(gfx::Graphics& g, Scene& scene, double range) {
  constexpr int kCx = 256, kCy = 256, kRadius = 240;
  BeginMap(g, kCx, kCy, kRadius);
  const guidance::State& gs = guidance::guidance_state;
  display::DrawAtcBoundaries(g, kRadius, kCx, kCy, range, gs.MapHeading);
  scene.ResetRunways();
  display::DrawAirportRunways(g, kRadius, kCx, kCy, range);
  display::DrawApproachPattern(g, kRadius, kCx, kCy, range, 1.0, 1.0);
  const double ppn = kRadius / range;
  for (const Navaid& v : scene.navaids()) {
    double d, brg, x, y;
    navdb::ComputeDistanceAndBearing(gs.PlaneLatitude, gs.PlaneLongitude, v.lat, v.lon, d, brg);
    navdb::BearingOffsetToScreen(gs.MapHeading, brg, kCx, kCy, d * ppn, x, y);
    display::DrawMapSymbol(g, x, y, v.code, -99, 1.0, 1.0, v.style, range);
  }
  // One of every symbol code along the bottom of the map.
  constexpr std::uint32_t kEvery[] = {1, 2, 3, 4, 5, 11, 12, 20, 21, 30, 31, 40, 50,
                                      60, 61, 62, 63, 70, 71, 72, 73, 74, 75, 76};
  int i = 0;
  for (std::uint32_t code : kEvery) {
    display::DrawMapSymbol(g, 80 + (i % 12) * 30, 380 + (i / 12) * 40, code, 1 + i % 2, 1.0, 1.0, i % 6, range);
    ++i;
  }
  for (int l = 0; l < Scene::kTrafficLists; ++l) {
    scene.PublishTraffic(l);
    display::DrawProviderTraffic(g, kRadius, range, kCx, kCy, l == 0 ? display::kDisplayP1000 : display::kDisplayMd11);
  }
  display::DrawTodTocMarkers(g, kRadius, range, kCx, kCy, display::kDisplayP1000, 1.0, 1.0, gs.PlaneLatitude,
                             gs.PlaneLongitude, gs.MapHeading);
}

}  // namespace ovi::mapcard
