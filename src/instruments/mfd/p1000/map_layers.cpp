// The P1000 map's database and fix layers: nearby navaids and airports as
// members of the navigation displays' point walker, the hold and the FIX
// INFO fixes as their shared routines with the P1000's data, and the
// bottom-of-descent arc.
#include <cmath>

#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/instruments/nd/map_points.h"
#include "src/instruments/nd/shared_layers.h"

namespace ovi::p1000 {

namespace {

// Light green, and the far turn of a left-hand pattern where the right-hand
// one's is.
constexpr nd::HoldStyle kP1000Hold{.colour = display::colour::kLightGreen, .left_far_turn = 0.66};

// The arc's box: 105 units across, its apex at the top.
constexpr int kBodArcLeft = -53;
constexpr int kBodArcSize = 105;

void DrawPoints(const P1000Frame& f, nd::PointLayerIndex member) {
  // Halves of a device pixel place the symbols finer than the canvas.
  nd::DrawPointLayer(f.View(display::DeviceFractionsFor(f.scale, 2)), kP1000MapFamily,
                     nd::PointLayerMembers()[member]);
  f.UseCanvas();
}

}  // namespace

void DrawP1000NearbyNavaids(const P1000Frame& f) { DrawPoints(f, nd::kP1000NavaidLayer); }

void DrawP1000NearbyAirports(const P1000Frame& f) { DrawPoints(f, nd::kP1000AirportLayer); }

void DrawP1000HoldingPattern(const P1000Frame& f) {
  nd::DrawHoldOnMap(f.View(display::CanvasGridFor(f.scale)), 2.0, kP1000Hold);
  f.UseCanvas();
}

void DrawP1000CourseOverlay(const P1000Frame& f) {
  nd::DrawFixInfoOnMap(f.View(display::CanvasGridFor(f.scale)), nd::kP1000FixInfo);
  f.UseCanvas();
}

// Where the descent reaches the selected altitude: an arc whose apex lies
// that far ahead of the aircraft.
void DrawP1000BodArc(const P1000Frame& f) {
  const nd::MapView v = f.View(display::CanvasGridFor(f.scale));
  if (!v.Usable()) return;
  v.SetMapScale();
  const guidance::State& s = guidance::guidance_state;
  if (!(s.VerticalSpeedFpm < 0.0)) return;
  const double ahead =
      (s.AircraftAltitude - s.ApAltitudeLockVar) / s.VerticalSpeedFpm * (s.GroundSpeedKnots / 60.0) * v.pixels_per_nm;
  if (!std::isfinite(ahead)) return;
  f.UseOrigin(f.centre_x, f.centre_y);
  f.g.DrawArcI(gfx::Pen(display::colour::kLightGreen, 2.0f), kBodArcLeft, gfx::TruncToPixel(ahead), kBodArcSize,
               kBodArcSize, 220.0f, 100.0f);
  f.UseCanvas();
}

}  // namespace ovi::p1000
