// The route being edited, dashed over the active one until it is executed.
#include <string_view>

#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/map_view.h"

namespace ovi::nd {

void DrawNdPendingRoute(const B737NdFrame& f) {
  const MapView v = B737MapView(f);
  if (!v.Usable()) return;
  const flightplan::State& fp = flightplan::flightplan_state;
  v.UsePlain();
  v.SetMapScale();
  if (fp.EditWaypointIndex == model::kNoWaypoint) return;

  // In PLAN the whole pending route is drawn about the frame's PLAN centre,
  // the one every other layer of the picture uses, so that an inserted
  // waypoint lands where the map around it says it is.
  const int first = f.Plan() ? 0 : fp.EditWaypointIndex;
  gfx::Pen pen(fp.RouteState == 4 ? colour::kWhite : colour::kBlue, 2.0f);
  pen.SetDashStyle(gfx::DashStyle::Dash);
  const gfx::SolidBrush white(colour::kWhite);
  const gfx::Font font = DaReredBold(12.0f);

  gfx::Point previous(0, 0);
  for (int i = first < 0 ? 0 : first; i <= fp.PendingFlightPlanLastIndex; ++i) {
    const model::FlightPlanWaypoint* wpt = fp.PendingFlightPlan.At(i);
    if (wpt == nullptr) break;
    const MapPlace p = v.Place(wpt->latitude, wpt->longitude);
    if (!p.ok) continue;
    const gfx::Point here = v.PlaceInt(p);
    const bool marker = wpt->ident == "DISCO" || wpt->ident == "THEN";
    const bool course_at_edit = i == fp.EditWaypointIndex && wpt->value3 > -1.0;
    if (!marker || course_at_edit) f.g.DrawLineI(pen, previous.X, previous.Y, here.X, here.Y);
    // The active route's layer writes this ident in magenta.
    if (i != fp.ActiveWaypointIndex)
      f.g.DrawString(std::string_view(wpt->ident).substr(0, kScreenTextChars), font,
                     gfx::PointF(static_cast<gfx::REAL>(here.X + 7), static_cast<gfx::REAL>(here.Y - 7)), white);
    display::DrawMapSymbol(f.g, here.X, here.Y - 3, display::kSymbolWaypointStar, -99, 1.0, 1.0,
                           display::kStyleDefault, f.range);
    // Markers included: the leg after a "DISCO" starts at its stored place.
    previous = here;
  }
}

}  // namespace ovi::nd
