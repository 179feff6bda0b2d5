// The route being edited, dashed over the active one until it is executed.
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/map_view.h"
#include "src/instruments/nd/route_marks.h"

namespace ovi::nd {

namespace {

// The first entry drawn: in PLAN the whole pending route is drawn about the
// frame's PLAN centre, the one every other layer of the picture uses, so
// that an inserted waypoint lands where the map around it says it is.
int FirstDrawn(const B737NdFrame& f) {
  const int first = f.Plan() ? 0 : flightplan::flightplan_state.EditWaypointIndex;
  return first < 0 ? 0 : first;
}

}  // namespace

void DrawNdPendingRoute(const B737NdFrame& f) {
  const MapView v = B737MapView(f);
  if (!v.Usable()) return;
  const flightplan::State& fp = flightplan::flightplan_state;
  v.SetMapScale();
  if (fp.EditWaypointIndex == model::kNoWaypoint) return;

  // On the active route's grid, with its marks: where the modified route
  // runs on the active one, a shared waypoint's ident and star land on the
  // active route's own and print once.
  v.UseFineGrid();
  const RouteMarks marks(v);
  gfx::Pen pen(fp.RouteState == 4 ? colour::kWhite : colour::kBlue, static_cast<gfx::REAL>(v.FineWidth(2.0)));
  pen.SetDashStyle(gfx::DashStyle::Dash);
  const gfx::SolidBrush white(colour::kWhite);

  // Every insertion in mid-route leaves a "DISCO": the line breaks there as
  // the active route's does, rather than running to its 0 N 0 E and back.
  WalkRoute(v, marks, fp.PendingFlightPlan, FirstDrawn(f), fp.PendingFlightPlanLastIndex,
            [&](const RouteStop& s) {
              if (s.from) f.g.DrawLineI(pen, s.from->X, s.from->Y, s.here.X, s.here.Y);
              // The active route's layer writes this ident in magenta.
              if (s.index != fp.ActiveWaypointIndex) marks.Ident(s.wpt.ident, white, s.place);
              marks.Star(s.place, display::kStyleDefault, f.range);
            });
}

}  // namespace ovi::nd
