// Navaids, airports and intersections around the aircraft on the map modes
// of both navigation displays: one walker over the map lists, six members
// that differ only by the data of their table row.
#include <string_view>

#include "src/display/map_symbols.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/map_points.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"

namespace ovi::nd {

namespace {

constexpr PointMark Symbol(std::uint32_t code, std::uint32_t style, double dx, double dy) {
  return PointMark{.shape = PointMark::kSymbol, .code = code, .style = style, .dx = dx, .dy = dy};
}
constexpr PointMark Circle(double diameter, double dx, double dy, double pen, bool pen_in_canvas_units,
                           double inner = 0.0) {
  return PointMark{.shape = PointMark::kCircles,
                   .dx = dx,
                   .dy = dy,
                   .diameter = diameter,
                   .inner_diameter = inner,
                   .pen_width = pen,
                   .pen_in_canvas_units = pen_in_canvas_units};
}

using navdb::NearKind;

constexpr double kLimitRounding = 1e-6;  // NM

// The table of the family, row by row as the displays differ.
constexpr PointLayerMember kMembers[] = {
    {"b737 navaids", NearKind::kNavaids, 50.0, Symbol(1, 3, -3, -4), Symbol(2, 3, -3, -4), 4, -14,
     colour::kGreen, 6},
    // The airport ring's pen is 4 units of the fine grid (under 2 device
    // pixels), not 4 canvas units.
    {"b737 airports", NearKind::kAirports, 10.0, Circle(10, 0, 0, 4, false), Circle(10, 0, 0, 4, false), -3, -20,
     colour::kBlue, 5},
    {"b737 intersections", NearKind::kAirwayPoints, 50.0, Symbol(3, 1, 0, 0), Symbol(3, 1, 0, 0), 7, -10,
     colour::kBlue, 6},
    {"md11 navaids", NearKind::kNavaids, 50.0, Symbol(1, 1, -2, -3), Circle(10, 3, 2, 1, true, 6), 6, -10,
     colour::kBlue, 6},
    {"md11 airports", NearKind::kAirports, 50.0, Circle(8, 0, 0, 1, true), Circle(8, 0, 0, 1, true), 3, -14,
     colour::kBlue, 6},
    {"md11 intersections", NearKind::kAirwayPoints, 50.0, Symbol(3, 1, -1, -1), Symbol(3, 1, -1, -1), 6, -11,
     colour::kBlue, 6},
    // The C-17's labels end left of their mark, 9 units a character of the
    // whole ident before it: the navaid's from the symbol's corner (x - 3,
    // y - 4), the airport's beside its ring's centre, under it.
    {"c17 navaids", NearKind::kNavaids, 50.0, Symbol(1, 3, -3, -4), Symbol(2, 3, -3, -4), -3, -9, colour::kGreen, 6,
     -9.0},
    {"c17 airports", NearKind::kAirports, 10.0, Circle(10, 0, 0, 4, false), Circle(10, 0, 0, 4, false), 0, 2,
     colour::kSkyBlue, 5, -9.0, colour::kSkyBlue},
};

struct MapList {
  const navdb::BoundedTable<model::NavDbRecord>& list;
  int count;
};

MapList MapListOf(NearKind kind) {
  const navdb::State& s = navdb::navdb_state;
  switch (kind) {
    case NearKind::kAirports:
      return {s.MapAirportList, s.MapAirportCount};
    case NearKind::kNavaids:
      return {s.MapNavaidList, s.MapNavaidCount};
    default:
      return {s.MapAirwayPointList, s.MapAirwayPointCount};
  }
}

void DrawCircle(const MapView& v, const gfx::Pen& pen, double cx, double cy, double diameter) {
  v.g->DrawEllipseI(pen, v.X(cx - diameter / 2.0), v.Y(cy - diameter / 2.0), gfx::TruncToPixel(v.FineX(diameter)),
                    gfx::TruncToPixel(v.FineY(diameter)));
}

}  // namespace

std::span<const PointLayerMember> PointLayerMembers() { return kMembers; }

void DrawPointLayer(const MapView& v, const MapFamily& family, const PointLayerMember& m) {
  if (!v.Usable()) return;
  v.UseFineGrid();
  v.SetMapScale();
  // The B737 keeps its lists about the aircraft even in PLAN, where the
  // points are measured from the PLAN centre: far from the aircraft a PLAN
  // picture shows only what lies within the aircraft's lists.
  const GeoPoint about = family.lists_follow_reference ? v.reference : AircraftPosition();
  navdb::KeepNearListsCurrent(m.kind, about.latitude, about.longitude);

  const MapList points = MapListOf(m.kind);
  // A point at the limit is drawn; the great circle's last bits of rounding
  // do not decide it.
  const double limit = 2.0 * v.range + m.margin + kLimitRounding;
  const gfx::Font font = ArialBold(static_cast<float>(v.FineY(10.0)));
  const gfx::SolidBrush label(m.label_colour);
  auto pen_for = [&](const PointMark& mark) {
    return gfx::Pen(m.circle_colour,
                    static_cast<gfx::REAL>(mark.pen_in_canvas_units ? v.FineWidth(mark.pen_width) : mark.pen_width));
  };
  const gfx::Pen vor_pen = pen_for(m.vor), other_pen = pen_for(m.other);

  for (int i = 1; i <= points.count; ++i) {
    const model::NavDbRecord* r = points.list.At(i);
    if (r == nullptr) break;
    const MapPlace p = v.Place(r->latitude, r->longitude);
    if (!p.ok || p.distance > limit) continue;
    const bool vor = r->kind == "V";
    const PointMark& mark = vor ? m.vor : m.other;
    const double mx = p.x + mark.dx, my = p.y + mark.dy;
    if (mark.shape == PointMark::kSymbol) {
      display::DrawMapSymbol(*v.g, v.X(mx), v.Y(my), mark.code, -99, v.grid.gx, v.grid.gy, mark.style, v.range);
    } else {
      const gfx::Pen& pen = vor ? vor_pen : other_pen;
      DrawCircle(v, pen, mx, my, mark.diameter);
      if (mark.inner_diameter > 0.0) DrawCircle(v, pen, mx, my, mark.inner_diameter);
    }
    const std::string_view ident = std::string_view(r->ident).substr(0, static_cast<std::size_t>(m.label_chars));
    const double label_dx = m.label_dx + m.label_dx_per_char * static_cast<double>(r->ident.size());
    v.g->DrawString(ident, font,
                    gfx::PointF(static_cast<gfx::REAL>(v.X(p.x + label_dx)),
                                static_cast<gfx::REAL>(v.Y(p.y + m.label_dy))),
                    label);
  }
}

void DrawNdNavaids(const B737NdFrame& f) { DrawPointLayer(B737MapView(f), kB737MapFamily, kMembers[kB737NavaidLayer]); }
void DrawNdAirports(const B737NdFrame& f) { DrawPointLayer(B737MapView(f), kB737MapFamily, kMembers[kB737AirportLayer]); }
void DrawNdIntersections(const B737NdFrame& f) { DrawPointLayer(B737MapView(f), kB737MapFamily, kMembers[kB737IntersectionLayer]); }

void DrawMd11NdNavaids(const display::GaugeDisplay& d, gfx::Graphics& g) {
  DrawPointLayer(Md11MapView(d, g), kMd11MapFamily, kMembers[kMd11NavaidLayer]);
}
void DrawMd11NdAirports(const display::GaugeDisplay& d, gfx::Graphics& g) {
  DrawPointLayer(Md11MapView(d, g), kMd11MapFamily, kMembers[kMd11AirportLayer]);
}
void DrawMd11NdIntersections(const display::GaugeDisplay& d, gfx::Graphics& g) {
  DrawPointLayer(Md11MapView(d, g), kMd11MapFamily, kMembers[kMd11IntersectionLayer]);
}

}  // namespace ovi::nd
