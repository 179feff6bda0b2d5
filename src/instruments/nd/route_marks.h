// What every layer that draws a route shares: its waypoints' marks (the
// ident beside the point, the star above it) on one grid and one offset, so
// that a waypoint the active and the pending route share prints once; and
// the line through the entries, broken at the in-band markers ("DISCO",
// "THEN") that route editing leaves at 0 N 0 E, which is no place on any
// route.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/gfx/graphics.h"
#include "src/instruments/nd/map_view.h"

namespace ovi::nd {

// "DISCO" or "THEN": an entry that holds no place of its own.
bool IsRouteMarker(std::string_view ident);

// The marks of a route's waypoints on the view's fine grid: the ident in
// DA Rered bold 12 with its top-left corner 7 right of and 7 above the
// point, the waypoint star's top 6 above it, scaled by the grid factors.
// The caller has set the fine-grid transform (MapView::UseFineGrid).
class RouteMarks {
 public:
  explicit RouteMarks(const MapView& view);
  gfx::Point Grid(const MapPlace& p) const;
  void Ident(std::string_view ident, const gfx::SolidBrush& brush, const MapPlace& p) const;
  void Star(const MapPlace& p, std::uint32_t style, double range) const;

 private:
  const MapView& v_;
  gfx::Font font_;
};

// The line through a route's entries as they are walked in order: each
// drawn waypoint joins the one before, unless a marker or a place that is
// not a number came between them; there the line breaks and starts again
// at the next waypoint.
class RouteLine {
 public:
  // The first waypoint's leg starts at `start` (the map origin).
  explicit RouteLine(gfx::Point start) : previous_(start) {}
  // Breaks the line.
  void Break() { previous_.reset(); }
  // Where the leg into the next waypoint starts; none after a break.
  const std::optional<gfx::Point>& From() const { return previous_; }
  // The next leg starts at `here`.
  void Reach(gfx::Point here) { previous_ = here; }

 private:
  std::optional<gfx::Point> previous_;
};

}  // namespace ovi::nd
