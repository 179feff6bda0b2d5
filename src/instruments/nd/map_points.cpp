// Navaids, airports and intersections around the map centre on the map
// modes of the navigation displays, the C-17 map and the EHSIs: one walker
// over the map lists, members that differ only by the data of their table
// row.
#include <cmath>
#include <iterator>
#include <string_view>

#include "src/display/map_labels.h"
#include "src/display/map_symbols.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/map_points.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/state.h"
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

constexpr PointMark Text(const char* text, double size, double dx, double dy) {
  return PointMark{.shape = PointMark::kText, .dx = dx, .dy = dy, .text = text, .text_size = size};
}

using navdb::NearKind;
using model::State;

constexpr double kLimitRounding = 1e-6;  // NM

// The EHSIs' rows: points within twice the range and 50 NM, labels of at
// most 7 characters of Arial bold sized by the horizontal factor.
constexpr PointLayerMember EhsiMember(PointLayerMember row) {
  row.margin = 50.0;
  row.label_chars = 7;
  row.label_size_by_width = true;
  return row;
}

// The DU-1000's rows: EHSI rows whose labels are magenta, 12 units high,
// their corner 4 right of and 14 above the point.
constexpr PointLayerMember Du1000Member(PointLayerMember row) {
  row.label_dx = 4;
  row.label_dy = -14;
  row.label_colour = colour::kMagenta;
  row.label_size = 12.0;
  return EhsiMember(row);
}

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
    // The EHSIs shift each point by their (ox, oy) before the mark and the
    // label: the marks' offsets are -(ox, oy) and the labels' (lx - ox,
    // -ly - oy).
    Du1000Member({.name = "du1000 navaids",
                  .kind = NearKind::kNavaids,
                  .vor = Symbol(76, 3, -3, -4),
                  .other = Symbol(3, 4, -3, -4),
                  .vor_switch = &State::Du1000ShowNavaids,
                  .ndb_switch = &State::Du1000ShowAux,
                  .switches = {&State::Du1000ShowNavaids, &State::Du1000ShowAux}}),
    // The star, 17 units high, stands 3 units left of and 4 above the
    // shifted point.
    Du1000Member({.name = "du1000 airports",
                  .kind = NearKind::kAirports,
                  .vor = Text("*", 17.0, -6, -8),
                  .other = Text("*", 17.0, -6, -8),
                  .switches = {&State::Du1000ShowAirports},
                  .max_range = 120.0}),
    Du1000Member({.name = "du1000 airway points",
                  .kind = NearKind::kAirwayPoints,
                  .vor = Symbol(21, 4, -3, -4),
                  .other = Symbol(21, 4, -3, -4),
                  .switches = {&State::Du1000ShowIntersections},
                  .max_range = 60.0}),
    EhsiMember({.name = "proline4 navaids",
                .kind = NearKind::kNavaids,
                .vor = Symbol(1, 1, -3, -4),
                .other = Symbol(2, 1, -3, -4),
                .label_dx = 4,
                .label_dy = -8,
                .label_colour = colour::kBlue,
                .vor_switch = &State::Proline4ShowVors,
                .ndb_switch = &State::Proline4ShowNdbs,
                .switches = {&State::Proline4ShowVors, &State::Proline4ShowNdbs},
                .max_range = 160.0}),
    // A ring 10 units across with its box's corner on the shifted point,
    // its pen 4 units of the fine grid.
    EhsiMember({.name = "proline4 airports",
                .kind = NearKind::kAirports,
                .vor = Circle(10, 2, 1, 4, false),
                .other = Circle(10, 2, 1, 4, false),
                .label_dx = 9,
                .label_dy = -6,
                .label_colour = colour::kBlue,
                .switches = {&State::Proline4ShowAirports},
                .max_range = 80.0}),
    EhsiMember({.name = "proline4 intersections",
                .kind = NearKind::kAirwayPoints,
                .vor = Symbol(3, 1, -3, -4),
                .other = Symbol(3, 1, -3, -4),
                .label_dx = 4,
                .label_dy = -8,
                .label_colour = colour::kBlue,
                .switches = {&State::Proline4ShowIntersections},
                .max_range = 40.0}),
    // Every kind but "V" is an NDB here: two rings of 10 and 6 about the
    // centre of the larger one's box (cornered on the shifted point), with
    // a 1-unit pen.
    EhsiMember({.name = "md80 navaids",
                .kind = NearKind::kNavaids,
                .vor = Symbol(1, 1, -2, -3),
                .other = Circle(10, 3, 2, 1, true, 6),
                .label_dx = 6,
                .label_dy = -10,
                .label_colour = colour::kBlue,
                .switches = {&State::Md80EhsiShowNavaids},
                .max_range = 160.0}),
    // The label 7 right of the shifted x and 10 above the point itself.
    EhsiMember({.name = "md80 airports",
                .kind = NearKind::kAirports,
                .vor = Circle(8, 0, 0, 1, true),
                .other = Circle(8, 0, 0, 1, true),
                .label_dx = 3,
                .label_dy = -10,
                .label_colour = colour::kBlue,
                .switches = {&State::Md80EhsiShowAirports},
                .max_range = 160.0}),
    EhsiMember({.name = "md80 intersections",
                .kind = NearKind::kAirwayPoints,
                .vor = Symbol(3, 1, -1, -1),
                .other = Symbol(3, 1, -1, -1),
                .label_dx = 6,
                .label_dy = -11,
                .label_colour = colour::kBlue,
                .switches = {&State::Md80EhsiShowIntersections},
                .max_range = 80.0}),
    // The P1000's navaid idents are whole; its airport ring hangs below and
    // right of the point (the corner of its box on the point), its pen 4
    // units of its half-pixel frame.
    {"p1000 navaids", NearKind::kNavaids, 50.0, Symbol(1, 3, 0, 0), Symbol(2, 3, 0, 0), 7, -10, colour::kLightGreen,
     static_cast<int>(model::kRecordIdentLength)},
    {"p1000 airports", NearKind::kAirports, 10.0, Circle(10, 5, 5, 4, false), Circle(10, 5, 5, 4, false), 2, -15,
     colour::kBlue, 5},
};
static_assert(std::size(kMembers) == kP1000AirportLayer + 1);

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

bool PointLayerShown(const PointLayerMember& m, double range) {
  const model::State& s = model::model_state;
  bool on = false;
  for (LayerSwitch sw : m.switches) on = on || (sw != nullptr && s.*sw == 1);
  return on && (m.max_range <= 0.0 || range <= m.max_range);
}

namespace {

// Whether the member draws a point of this kind: navaid rows with their own
// switches draw a "V" and an "N" each by its switch and no other kind.
bool KindShown(const PointLayerMember& m, bool vor, std::string_view kind) {
  if (m.vor_switch == nullptr && m.ndb_switch == nullptr) return true;
  const model::State& s = model::model_state;
  if (vor) return m.vor_switch != nullptr && s.*m.vor_switch == 1;
  return kind == "N" && m.ndb_switch != nullptr && s.*m.ndb_switch == 1;
}

}  // namespace

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
  const double label_size = m.label_size_by_width ? v.FineX(m.label_size) : v.FineY(m.label_size);
  const gfx::Font font = ArialBold(static_cast<float>(label_size));
  const gfx::SolidBrush label(m.label_colour);
  auto pen_for = [&](const PointMark& mark) {
    return gfx::Pen(m.circle_colour,
                    static_cast<gfx::REAL>(mark.pen_in_canvas_units ? v.FineWidth(mark.pen_width) : mark.pen_width));
  };
  const gfx::Pen vor_pen = pen_for(m.vor), other_pen = pen_for(m.other);
  // The entries' places are kept while the reference moves less than the
  // map can show (GeoMemo; a member from outside the table works them out
  // afresh).
  display::GeoMemo* places = nullptr;
  for (std::size_t k = 0; k < std::size(kMembers); ++k) {
    if (&kMembers[k] != &m) continue;
    if (nd_state.PointPlaces.size() < std::size(kMembers)) nd_state.PointPlaces.resize(std::size(kMembers));
    places = &nd_state.PointPlaces[k];
  }
  if (places != nullptr) places->Begin(v.reference.latitude, v.reference.longitude, v.rotation, v.pixels_per_nm);
  const gfx::Font vor_text = ArialBold(static_cast<float>(v.FineX(m.vor.text_size)));
  const gfx::Font other_text = ArialBold(static_cast<float>(v.FineX(m.other.text_size)));
  // Rings, symbols and star marks move with every turn of the map.
  const display::MarkSnap snap(*v.g);

  for (int i = 1; i <= points.count; ++i) {
    const model::NavDbRecord* r = points.list.At(i);
    if (r == nullptr) break;
    const bool vor = r->kind == "V";
    if (!KindShown(m, vor, std::string_view(r->kind))) continue;
    const MapPlace p = places != nullptr ? v.PlaceOf(places->At(static_cast<std::size_t>(i), r->latitude, r->longitude))
                                         : v.Place(r->latitude, r->longitude);
    if (!p.ok || p.distance > limit) continue;
    const PointMark& mark = vor ? m.vor : m.other;
    const double mx = p.x + mark.dx, my = p.y + mark.dy;
    if (mark.shape == PointMark::kSymbol) {
      display::DrawMapSymbol(*v.g, v.X(mx), v.Y(my), mark.code, -99, v.grid.gx, v.grid.gy, mark.style, v.range);
    } else if (mark.shape == PointMark::kText) {
      // The star is its place's own symbol: the names of other places keep
      // clear of it.
      display::DrawMapSymbolText(*v.g, mark.text != nullptr ? mark.text : "", vor ? vor_text : other_text,
                                 gfx::PointF(static_cast<gfx::REAL>(v.X(mx)), static_cast<gfx::REAL>(v.Y(my))), label,
                                 gfx::PointF(static_cast<gfx::REAL>(v.X(p.x)), static_cast<gfx::REAL>(v.Y(p.y))));
    } else {
      const gfx::Pen& pen = vor ? vor_pen : other_pen;
      DrawCircle(v, pen, mx, my, mark.diameter);
      if (mark.inner_diameter > 0.0) DrawCircle(v, pen, mx, my, mark.inner_diameter);
    }
    // A place another layer has named (the route above all) keeps its mark
    // and leaves the name to it.
    const std::string_view ident = std::string_view(r->ident).substr(0, static_cast<std::size_t>(m.label_chars));
    const double label_dx = m.label_dx + m.label_dx_per_char * static_cast<double>(r->ident.size());
    const gfx::PointF at(static_cast<gfx::REAL>(v.X(p.x + label_dx)), static_cast<gfx::REAL>(v.Y(p.y + m.label_dy)));
    display::WriteMapLabel(*v.g, r->ident, v.X(p.x), v.Y(p.y), display::MapText{ident, font, at}, label);
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
