#include "src/instruments/nd/route_marks.h"

#include "src/display/map_symbols.h"

namespace ovi::nd {

namespace {

constexpr double kLabelDx = 7.0, kLabelDy = -7.0;  // ident beside its point
constexpr double kStarDy = -6.0;                   // the star's top vertex above the point

}  // namespace

bool IsRouteMarker(std::string_view ident) { return ident == "DISCO" || ident == "THEN"; }

RouteMarks::RouteMarks(const MapView& view) : v_(view), font_(DaReredBold(static_cast<float>(view.FineY(12.0)))) {}

gfx::Point RouteMarks::Grid(const MapPlace& p) const { return gfx::Point(v_.X(p.x), v_.Y(p.y)); }

void RouteMarks::Ident(std::string_view ident, const gfx::SolidBrush& brush, const MapPlace& p) const {
  v_.g->DrawString(ident.substr(0, kScreenTextChars), font_,
                   gfx::PointF(static_cast<gfx::REAL>(v_.X(p.x + kLabelDx)), static_cast<gfx::REAL>(v_.Y(p.y + kLabelDy))),
                   brush);
}

void RouteMarks::Star(const MapPlace& p, std::uint32_t style, double range) const {
  display::DrawMapSymbol(*v_.g, v_.X(p.x), v_.Y(p.y + kStarDy), display::kSymbolWaypointStar, -99, v_.grid.gx,
                         v_.grid.gy, style, range);
}

}  // namespace ovi::nd
