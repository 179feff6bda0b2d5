// The first hold of the active route as a racetrack on its fix, on both
// navigation displays.
#include <cmath>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/map_view.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/shared_layers.h"
#include "src/navdb/navdb.h"

namespace ovi::nd {

// A deleted hold leaves its entry behind; HoldCount says whether it still
// counts.
const model::HoldingPattern* FirstHold() {
  const flightplan::State& f = flightplan::flightplan_state;
  if (f.HoldCount < 1) return nullptr;
  const model::HoldingPattern* hold = f.HoldTable.At(1);
  if (hold == nullptr || hold->active_index < 1) return nullptr;
  return hold;
}

namespace {

// The racetrack in the frame whose origin is the fix and whose negative y
// points along the inbound course; `l` is the leg length in grid units, the
// same for both axes, `w` the turns' width in leg lengths.
void DrawRacetrack(gfx::Graphics& g, const gfx::Pen& pen, double l, std::int32_t turn_side, double w,
                   double left_far_turn) {
  const double s = turn_side == 1 ? 1.0 : -1.0;
  auto i = [](double v) { return gfx::TruncToPixel(v); };
  const int half = i(w * l);
  const int side = i(w * s * l);
  g.DrawLineI(pen, 0, 0, 0, i(-0.2 * l));
  g.DrawLineI(pen, side, i(-0.2 * l), side, i(0.8 * l));
  g.DrawLineI(pen, 0, i(0.8 * l), 0, 0);
  const int box_x = s > 0.0 ? 0 : -half;
  g.DrawArcI(pen, box_x, i(-0.3 * l), half, i(0.25 * l), 180.0f, 180.0f);
  // The navigation displays start a left-hand pattern's far turn at 0.61 L,
  // not 0.66 L: they have always drawn it so.
  g.DrawArcI(pen, box_x, i((s > 0.0 ? 0.66 : left_far_turn) * l), half, i(0.25 * l), 0.0f, 180.0f);
}

}  // namespace

void DrawHoldOnMap(const MapView& v, double pen_width, const HoldStyle& style) {
  const model::HoldingPattern* hold = FirstHold();
  if (hold == nullptr || !v.Usable()) return;
  v.SetMapScale();
  const MapPlace fix = v.Place(hold->corners[0].latitude, hold->corners[0].longitude);
  if (!fix.ok) return;
  const guidance::State& s = guidance::guidance_state;
  // On a map turned by MapHeading the two headings cancel exactly.
  const double map_turn = FiniteOr(s.MapHeading) - v.rotation;
  v.UseFineGridAt(v.origin_x + fix.x, v.origin_y + fix.y,
                  hold->inbound_course - FiniteOr(s.AircraftHeading) + map_turn);
  const gfx::Pen pen(style.colour, static_cast<gfx::REAL>(pen_width));
  DrawRacetrack(*v.g, pen, FiniteOr(hold->leg_length) * v.pixels_per_nm * v.grid.gy, hold->turn_side,
                FiniteOr(style.turn_width, 0.5), style.left_far_turn);
}

void DrawNdHoldingPattern(const B737NdFrame& f, int radius, int center_x, int center_y, double range) {
  // Always about the aircraft, MapHeading up: the layer is not drawn in PLAN.
  const MapView v = MakeMapView(kB737MapFamily, f.g, f.display.width, f.display.height, center_x, center_y,
                                radius, range, false);
  DrawHoldOnMap(v, v.FineWidth(2.0));
}

void DrawMd11NdHoldingPattern(const display::GaugeDisplay& display, gfx::Graphics& g, int radius, int center_x,
                              int center_y, double range, double gx, double gy) {
  const model::HoldingPattern* hold = FirstHold();
  if (hold == nullptr) return;
  MapView v = Md11MapView(display, g);
  v.radius = radius;
  v.range = FiniteOr(range);
  v.pixels_per_nm = v.range > 0.0 ? radius / v.range : 0.0;
  if (!v.Usable() || !std::isfinite(gx) || !std::isfinite(gy)) return;
  v.SetMapScale();
  MapPlace fix = v.Place(hold->corners[0].latitude, hold->corners[0].longitude);
  if (!fix.ok) return;
  // On the caller's transform: move to the fix and turn the inbound course
  // against the map's up direction.
  g.TranslateTransform(static_cast<gfx::REAL>((center_x + fix.x) * gx), static_cast<gfx::REAL>((center_y + fix.y) * gy));
  const double turn = std::fmod(FiniteOr(hold->inbound_course - v.rotation), 360.0);
  if (turn != 0.0) g.RotateTransform(static_cast<gfx::REAL>(turn));
  const gfx::Pen pen(colour::kMagenta, static_cast<gfx::REAL>(2.0 * std::sqrt(gx * gy)));
  DrawRacetrack(g, pen, FiniteOr(hold->leg_length) * v.pixels_per_nm * gy, hold->turn_side, kNdHold.turn_width,
                kNdHold.left_far_turn);
}

}  // namespace ovi::nd
