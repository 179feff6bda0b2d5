#include "src/instruments/nd/route_marks.h"

#include <algorithm>

#include "src/display/map_labels.h"
#include "src/display/map_symbols.h"
#include "src/navdb/navdb.h"

namespace ovi::nd {

namespace {

constexpr double kLabelDx = 7.0, kLabelDy = -7.0;  // ident beside its point
constexpr double kStarDy = -6.0;                   // the star's top vertex above the point
constexpr double kCourseLineNm = 200.0;

}  // namespace

bool IsRouteMarker(std::string_view ident) { return ident == "DISCO" || ident == "THEN"; }

GeoPoint Along(const GeoPoint& from, double course, double distance) {
  GeoPoint to;
  navdb::ProjectPosition(from.latitude, from.longitude, course, distance, to.latitude, to.longitude);
  return to;
}

std::optional<gfx::Point> CourseLineEnd(const MapView& v, const model::FlightPlanWaypoint& wpt, const MapPlace& p,
                                        double variation) {
  const GeoPoint at{wpt.latitude, wpt.longitude};
  const GeoPoint far = Along(at, wpt.value3 + variation, kCourseLineNm);
  const MapPlace end = v.PlaceFrom(at, far.latitude, far.longitude, v.rotation);
  if (!end.ok) return std::nullopt;
  return gfx::Point(v.X(p.x + end.x), v.Y(p.y + end.y));
}

std::optional<std::pair<gfx::Point, gfx::Point>> ActiveLeg(const MapView& v, const RouteStop& stop,
                                                           double variation) {
  if (stop.wpt.value3 <= -1.0) {
    if (!stop.from) return std::nullopt;
    return std::pair(*stop.from, stop.here);
  }
  const auto end = CourseLineEnd(v, stop.wpt, stop.place, variation);
  if (!end) return std::nullopt;
  return std::pair(stop.here, *end);
}

RouteMarks::RouteMarks(const MapView& view, const RouteLabelStyle& style)
    : v_(view),
      font_(style.arial ? ArialBold(static_cast<float>(view.FineY(style.size)))
                        : DaReredBold(static_cast<float>(view.FineY(style.size)))),
      max_chars_(std::min(style.max_chars, kScreenTextChars)) {}

gfx::Point RouteMarks::Grid(const MapPlace& p) const { return gfx::Point(v_.X(p.x), v_.Y(p.y)); }

void RouteMarks::Ident(std::string_view ident, const gfx::SolidBrush& brush, const MapPlace& p) const {
  Label(ident, brush, p, kLabelDx, kLabelDy, max_chars_);
}

display::MapText RouteMarks::IdentText(std::string_view ident, const MapPlace& p) const {
  return Text(ident, p, kLabelDx, kLabelDy, max_chars_);
}

display::MapText RouteMarks::Text(std::string_view text, const MapPlace& p, double dx, double dy,
                                  std::size_t max_chars) const {
  return display::MapText{text.substr(0, std::min(max_chars, max_chars_)), font_,
                          gfx::PointF(static_cast<gfx::REAL>(v_.X(p.x + dx)), static_cast<gfx::REAL>(v_.Y(p.y + dy)))};
}

void RouteMarks::Label(std::string_view text, const gfx::SolidBrush& brush, const MapPlace& p, double dx, double dy,
                       std::size_t max_chars, double reach) const {
  display::WriteMapLabel(*v_.g, text, v_.X(p.x), v_.Y(p.y), Text(text, p, dx, dy, max_chars), brush, true,
                         v_.FineWidth(reach));
}

void RouteMarks::Star(const MapPlace& p, std::uint32_t style, double range) const {
  display::DrawMapSymbol(*v_.g, v_.X(p.x), v_.Y(p.y + kStarDy), display::kSymbolWaypointStar, -99, v_.grid.gx,
                         v_.grid.gy, style, range);
}

}  // namespace ovi::nd
