// The ATC boundary outlines and their labels.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "src/display/labels.h"
#include "src/display/map_inputs.h"
#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_projection.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"

namespace ovi::display {

namespace {

constexpr gfx::ARGB kBoundaryColour = 0xFF979700;
// A boundary whose first point lies farther is not drawn at all: far-away
// outlines are never projected point by point.
constexpr double kBoundaryReachNm = 1000.0;
// The wide oceanic regions, whose first point may lie far from the part
// that is in view.
constexpr double kOceanicReachNm = 5000.0;
constexpr std::string_view kOceanicBoundaries[] = {"YM00142", "YB00001", "NZ00084"};

bool IsOceanic(std::string_view name) {
  for (std::string_view o : kOceanicBoundaries)
    if (name == o) return true;
  return false;
}

bool InReach(std::string_view name, double distance) {
  if (distance <= kBoundaryReachNm) return true;
  return IsOceanic(name) && distance < kOceanicReachNm;
}

// How far (drawing units) the drawn area reaches from the map origin: the
// farthest corner of the clip's device box (the surface's when there is
// none) widened by a few pixels for the pen and its smoothing. Infinite
// when the transform cannot be turned back.
double DrawnReach(gfx::Graphics& g, int cx, int cy) {
  gfx::Matrix m;
  if (g.GetTransform(&m) != gfx::Ok || m.Invert() != gfx::Ok) return HUGE_VAL;
  const gfx::RectF box = g.GetClipDeviceBounds();
  constexpr gfx::REAL kPad = 4.0f;
  const gfx::REAL x0 = box.X - kPad, y0 = box.Y - kPad, x1 = box.X + box.Width + kPad, y1 = box.Y + box.Height + kPad;
  gfx::PointF corners[] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  if (m.TransformPoints(corners, 4) != gfx::Ok) return HUGE_VAL;
  double reach = 0.0;
  for (const gfx::PointF& c : corners) reach = std::max(reach, std::hypot(double{c.X} - cx, double{c.Y} - cy));
  return std::isfinite(reach) ? reach : HUGE_VAL;
}

// Whether the outline stays farther from the map origin than `sight` (NM)
// all along, from its places' distances and courses alone (no screen
// angle, so a turning map decides it without turning the places). A
// straight piece between places d1 and d2 from the origin whose directions
// lie a apart (under a half turn) comes no nearer than min(d1, d2) cos(a/2),
// and cos x is at least 1 - x^2 / 2.
bool OutOfSight(GeoMemo& places, std::size_t first_slot, const model::AtcBoundary& boundary, int count,
                double sight) {
  if (count < 2 || !std::isfinite(sight)) return false;
  double last_distance = 0.0, last_course = 0.0;
  for (int p = 1; p <= count; ++p) {
    const model::AtcBoundary::Point& pt = boundary.points[p];
    const GeoMemo::Place& place =
        places.Course(first_slot + static_cast<std::size_t>(p - 1), pt.latitude, pt.longitude);
    if (!(place.distance > sight)) return false;
    if (p > 1) {
      double apart = std::fabs(place.course - last_course);
      if (apart > 180.0) apart = 360.0 - apart;
      if (!(apart < 180.0)) return false;
      const double half = apart * (M_PI / 360.0);
      if (!(std::min(place.distance, last_distance) * (1.0 - half * half / 2.0) > sight)) return false;
    }
    last_distance = place.distance, last_course = place.course;
  }
  return true;
}

// Whether no piece of the outline can come within `sight` (NM) of the
// reference (`from`, `from_lon`), without placing any of its points: they
// all lie within r of the middle of their box of latitudes and longitudes,
// so at least d - r from the reference (d the middle's distance) and at
// most asin(sin r / sin d) (angles on the sphere) off the middle's
// direction, and a straight piece between two such points comes no nearer
// than (d - r) times the cosine of that. r is the distance to the box's
// farthest corner: along a parallel the distance from a point grows with
// the longitudes' difference, along a meridian it has one least value, so
// over a box short of the middle's antipode it is greatest at a corner.
bool FarOutOfSight(const model::AtcBoundary& boundary, int count, const navdb::LatitudeTrig& from, double from_lon,
                   double sight) {
  if (count < 2 || !std::isfinite(sight)) return false;
  const model::AtcBoundary::Point& first = boundary.points[1];
  // Longitudes counted from the first point's, the short way round.
  double lat0 = first.latitude, lat1 = first.latitude, east0 = 0.0, east1 = 0.0;
  for (int p = 2; p <= count; ++p) {
    const model::AtcBoundary::Point& pt = boundary.points[p];
    double east = pt.longitude - first.longitude;
    if (east > 180.0) east -= 360.0;
    if (east < -180.0) east += 360.0;
    lat0 = std::min(lat0, pt.latitude), lat1 = std::max(lat1, pt.latitude);
    east0 = std::min(east0, east), east1 = std::max(east1, east);
  }
  if (!(east1 - east0 < 180.0)) return false;
  const double mid_lon = first.longitude + 0.5 * (east0 + east1);
  const navdb::LatitudeTrig mid = navdb::LatitudeTrigOf(0.5 * (lat0 + lat1));
  double spread = 0.0, distance = 0.0, course = 0.0;
  for (double lat : {lat0, lat1}) {
    const navdb::LatitudeTrig corner = navdb::LatitudeTrigOf(lat);
    for (double east : {east0, east1}) {
      navdb::GreatCircleFrom(mid, mid_lon, corner, first.longitude + east, distance, course);
      spread = std::max(spread, distance);
    }
  }
  navdb::GreatCircleFrom(from, from_lon, mid, mid_lon, distance, course);
  const double d = distance / navdb::kEarthRadiusNm, r = spread / navdb::kEarthRadiusNm;
  if (!(d > r) || !(d + r < M_PI)) return false;
  const double off = std::sin(r) / std::sin(d);
  if (!(off < 1.0)) return false;
  return (distance - spread) * std::sqrt(1.0 - off * off) > sight;
}

}  // namespace

void DrawAtcBoundaries(gfx::Graphics& g, int radius, int cx, int cy, double range, double rotation) {
  if (!SetMapScale(radius, range)) return;
  navdb::State& nav = navdb::navdb_state;
  if (nav.AtcBoundaryPointCount == 0) navdb::LoadAtcBoundaries();

  MapFrame frame = AircraftMapFrame();
  frame.up = rotation;
  gfx::Pen pen(kBoundaryColour, 1.0f);
  gfx::SolidBrush brush(kBoundaryColour);
  gfx::Font font("DA Rered", 14, gfx::FontStyleBold, gfx::Unit::Pixel);
  std::array<gfx::Point, model::kMaxBoundaryPoints> outline;

  // Each point's place is kept while the aircraft moves less than the map
  // can show (GeoMemo); the file's outlines are fixed, so a point's slot is
  // its place in the file.
  GeoMemo& places = display_state.BoundaryPlaces;
  places.Begin(frame.from_lat, frame.from_lon, frame.up, frame.pixels_per_nm);
  // An outline that stays out of the drawn area changes no pixel: it is not
  // placed or drawn. The margin takes the truncated points (up to a unit
  // nearer each way) and the kept places' tolerance.
  constexpr double kSightMargin = 2.0;
  const double sight = (DrawnReach(g, cx, cy) + kSightMargin) / frame.pixels_per_nm;
  const navdb::LatitudeTrig from = navdb::LatitudeTrigOf(frame.from_lat);
  std::size_t first_slot = 0;
  const navdb::State& table = nav;
  for (int b = 1; b <= table.AtcBoundaryCount; ++b) {
    const model::AtcBoundary* boundary = table.AtcBoundaryTable.At(b);
    if (boundary == nullptr) break;
    const int count = std::min(boundary->point_count, model::kMaxBoundaryPoints);
    const std::size_t slots = first_slot;
    first_slot += static_cast<std::size_t>(std::max(count, 0));
    if (count >= 1) {
      const model::AtcBoundary::Point& pt = boundary->points[1];
      if (!InReach(std::string_view(boundary->name), places.Course(slots, pt.latitude, pt.longitude).distance))
        continue;
    }
    int placed = 0;
    if (!FarOutOfSight(*boundary, count, from, frame.from_lon, sight) &&
        !OutOfSight(places, slots, *boundary, count, sight)) {
      for (int p = 1; p <= count; ++p) {
        const model::AtcBoundary::Point& pt = boundary->points[p];
        const GeoMemo::Place& place = places.At(slots + static_cast<std::size_t>(p - 1), pt.latitude, pt.longitude);
        gfx::Point& o = outline[static_cast<std::size_t>(placed++)];
        GeoMemo::OffsetInt(place, cx, cy, place.distance * frame.pixels_per_nm, o.X, o.Y);
      }
    }
    // The outline stays open: the file closes it where it means to.
    if (placed >= 2) g.DrawLinesI(pen, outline.data(), placed);
    int lx, ly;
    PlotPositionInt(frame, cx, cy, boundary->label_latitude, boundary->label_longitude, lx, ly);
    const std::string label = FitLabel(std::string_view(boundary->label), kAtcLabelField);
    if (!label.empty())
      WriteMapText(g, MapRank::kGridLabel,
                   MapText{label, font, gfx::PointF(static_cast<gfx::REAL>(lx - 15), static_cast<gfx::REAL>(ly))}, brush);
  }
}

}  // namespace ovi::display
