// What every layer that draws a route shares: its waypoints' marks (the
// ident beside the point, the star above it) on one grid and one offset, so
// that a waypoint the active and the pending route share prints once; and
// the line through the entries, broken at the in-band markers ("DISCO",
// "THEN") that route editing leaves at 0 N 0 E, which is no place on any
// route.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/gfx/graphics.h"
#include "src/display/map_labels.h"
#include "src/model/records.h"
#include "src/instruments/nd/map_view.h"

namespace ovi::nd {

// "DISCO" or "THEN": an entry that holds no place of its own.
bool IsRouteMarker(std::string_view ident);

// The font a display labels its route with, and how many characters of an
// ident it shows.
struct RouteLabelStyle {
  bool arial = false;  // Arial bold, else DA Rered bold
  float size = 12.0f;  // canvas units
  std::size_t max_chars = kScreenTextChars;
};
inline constexpr RouteLabelStyle kB737RouteLabels{};
inline constexpr RouteLabelStyle kMd11RouteLabels{.arial = true, .size = 10.0f, .max_chars = 49};

// The marks of a route's waypoints on the view's fine grid: the ident with
// its top-left corner 7 right of and 7 above the point, the waypoint star's
// top 6 above it, scaled by the grid factors. The caller has set the
// fine-grid transform (MapView::UseFineGrid). A text names its point once
// in a map picture (display/map_labels.h): where the picture has written
// it already, it is left out.
class RouteMarks {
 public:
  explicit RouteMarks(const MapView& view, const RouteLabelStyle& style = kB737RouteLabels);
  gfx::Point Grid(const MapPlace& p) const;
  void Ident(std::string_view ident, const gfx::SolidBrush& brush, const MapPlace& p) const;
  // The text Ident writes for `ident` at `p`.
  display::MapText IdentText(std::string_view ident, const MapPlace& p) const;
  // A text of at most `max_chars` with its top-left corner at the canvas
  // offset (dx, dy) from the point; a place of the same name within `reach`
  // canvas units is the point's own (display::WriteMapLabel).
  void Label(std::string_view text, const gfx::SolidBrush& brush, const MapPlace& p, double dx, double dy,
             std::size_t max_chars, double reach = 0.0) const;
  void Star(const MapPlace& p, std::uint32_t style, double range) const;

 private:
  display::MapText Text(std::string_view text, const MapPlace& p, double dx, double dy, std::size_t max_chars) const;

  const MapView& v_;
  gfx::Font font_;
  std::size_t max_chars_;
};

// The point `distance` NM from `from` along the true `course`.
GeoPoint Along(const GeoPoint& from, double course, double distance);

// The far end of the course line of a waypoint with an inbound course
// (`wpt.value3`, magnetic) drawn at `p`: 200 NM along the course plus
// `variation`, measured from the waypoint's own point so that the line lies
// on the course; none where the place is not a number.
std::optional<gfx::Point> CourseLineEnd(const MapView& v, const model::FlightPlanWaypoint& wpt, const MapPlace& p,
                                        double variation);

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

// One waypoint a route walk reaches: entry `index` at `place`, at `here` on
// the grid; its leg starts at `from` (none after a break in the line).
struct RouteStop {
  int index;
  const model::FlightPlanWaypoint& wpt;
  const MapPlace& place;
  gfx::Point here;
  const std::optional<gfx::Point>& from;
};

// Walks entries `first`..`last` of `plan` as one route line from the map
// origin: markers and places that are not a number break the line and are
// not drawn; `draw` draws each waypoint the walk reaches.
template <class Plan, class Draw>
void WalkRoute(const MapView& v, const RouteMarks& marks, const Plan& plan, int first, int last, Draw&& draw) {
  RouteLine line(gfx::Point(0, 0));
  for (int i = first; i <= last; ++i) {
    const model::FlightPlanWaypoint* wpt = plan.At(i);
    if (wpt == nullptr) break;
    const MapPlace p = v.Place(wpt->latitude, wpt->longitude);
    if (IsRouteMarker(wpt->ident) || !p.ok) {
      line.Break();
      continue;
    }
    const gfx::Point here = marks.Grid(p);
    draw(RouteStop{i, *wpt, p, here, line.From()});
    line.Reach(here);
  }
}

// The active waypoint's leg: from where its leg starts when it has no
// inbound course, else its course line; none where neither can be drawn.
std::optional<std::pair<gfx::Point, gfx::Point>> ActiveLeg(const MapView& v, const RouteStop& stop,
                                                           double variation);

}  // namespace ovi::nd
