// The VOR tuned on the first navigation radio with its selected course line.
#include <cmath>

#include "src/display/map_symbols.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/map_view.h"
#include "src/navdb/navdb.h"

namespace ovi::nd {

void DrawTunedStationCourseLine(const B737NdFrame& f) {
  const MapView v = B737MapView(f);
  if (!v.Usable()) return;
  const guidance::State& s = guidance::guidance_state;
  v.UseFineGrid();
  v.SetMapScale();

  // The station lies at its DME distance in the direction the compass
  // points at it, on the map turned by MapHeading (this layer is not drawn
  // in PLAN).
  const double heading = FiniteOr(s.MapHeading);
  double x = 0.0, y = 0.0;
  navdb::BearingOffsetToScreen(heading, heading + FiniteOr(s.HeadingOffsetToken550), 0.0, 0.0,
                               FiniteOr(s.Nav1DmeDistance) * v.pixels_per_nm, x, y);
  display::DrawMapSymbol(f.g, v.X(x), v.Y(y), display::kSymbolVortac, -99, v.grid.gx, v.grid.gy,
                         display::kStyleGreen, f.range);

  const double course = FiniteOr(s.SelectedCourse);
  const double aircraft_heading = FiniteOr(s.AircraftHeading);
  const bool course_left = guidance::TurnDirection(course, aircraft_heading) == 1;
  v.UseFineGridAt(v.origin_x + x, v.origin_y + y, course - aircraft_heading + (course_left ? 90.0 : -90.0));

  gfx::Pen pen(colour::kLightGreen, static_cast<gfx::REAL>(v.FineWidth(1.0)));
  pen.SetDashStyle(gfx::DashStyle::Dash);
  // The line's two ends take different grid factors (gx left, gy right), so
  // it reaches a little farther on one side; the clip cuts it either way.
  f.g.DrawLineI(pen, v.X(-300.0), 0, v.Y(300.0), 0);

  double reciprocal = course + 180.0;
  if (reciprocal >= 360.0) reciprocal -= 360.0;
  const gfx::Font font = ArialBold(static_cast<float>(v.FineY(10.0)));
  const gfx::SolidBrush green(colour::kGreen);
  // Along the line the label places are measured with gy, as the display
  // has always placed them.
  const float ahead = static_cast<float>(v.Y(25.0)), behind = static_cast<float>(v.Y(-50.0));
  const float below = course_left ? 0.0f : static_cast<float>(v.Y(10.0));
  DrawMapTextF(f.g, display::MapRank::kFixInfo, font, green, course_left ? behind : ahead, below, "%03.0f", course);
  DrawMapTextF(f.g, display::MapRank::kFixInfo, font, green, course_left ? ahead : behind, below, "%03.0f",
               reciprocal);
}

}  // namespace ovi::nd
