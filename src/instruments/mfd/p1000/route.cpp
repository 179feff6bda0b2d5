// The P1000 map's active route: its legs, where each drawn waypoint landed
// (ScreenX / ScreenY, for the labels of the same frame), the waypoint
// labels and stars, and the active-waypoint data box at the top right.
// Both routines work in eighths of a device pixel from the canvas origin.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string_view>

#include "src/display/map_labels.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/instruments/mfd/p1000/state.h"
#include "src/instruments/nd/route_marks.h"
#include "src/model/state.h"

namespace ovi::p1000 {

namespace {

using display::FiniteOr;
using display::colour::kMagenta;
using display::colour::kWhite;
using display::colour::kYellow;

const guidance::State& G() { return guidance::guidance_state; }
flightplan::State& F() { return flightplan::flightplan_state; }

constexpr double kPreviousLegFromRange = 5.0;  // NM
constexpr std::size_t kRouteIdentChars = 9;
constexpr std::size_t kBoxIdentChars = 5;
constexpr double kLabelDx = 7.0, kLabelDy = -6.0;  // an ident beside its point
constexpr double kStarDy = -5.0;
constexpr double kAircraftSymbolDy = -9.0;
constexpr double kMinutesFromSpeed = 25.0;  // knots

// Markers hold no place of their own (route editing leaves them at 0 N 0 E):
// the line breaks there, as on every route layer.
using nd::IsRouteMarker;

// The active waypoint's index, only while it lies within the plan.
std::optional<int> ActiveIndex() {
  const int i = F().ActiveWaypointIndex;
  if (i < 0 || i > F().ActiveFlightPlanLastIndex || F().ActiveFlightPlan.At(i) == nullptr) return std::nullopt;
  return i;
}

bool PreviousLegShown(const P1000Frame& f, int active) {
  return model::model_state.DispPrevWpt == 1 && active >= 1 && f.range >= kPreviousLegFromRange;
}

// Places in the fine frame: eighths of a device pixel from the canvas
// origin, the map centre truncated, the offset from it truncated.
class FineRoute {
 public:
  explicit FineRoute(const P1000Frame& f) : f_(f), v_(f.View(display::DeviceFractionsFor(f.scale, 8))) {}

  bool Usable() const { return v_.Usable(); }
  const nd::MapView& View() const { return v_; }
  void UseFrame() const { v_.UseFineGridAt(0.0, 0.0, 0.0); }
  gfx::Point Centre() const { return {v_.X(f_.centre_x), v_.Y(f_.centre_y)}; }
  std::optional<gfx::Point> Place(double latitude, double longitude) const {
    const nd::MapPlace p = v_.Place(latitude, longitude);
    if (!p.ok) return std::nullopt;
    return gfx::Point(v_.X(f_.centre_x) + v_.X(p.x), v_.Y(f_.centre_y) + v_.Y(p.y));
  }
  gfx::REAL PenWidth() const { return static_cast<gfx::REAL>(2.0 * v_.grid.gx); }

 private:
  const P1000Frame& f_;
  nd::MapView v_;
};

void Store(int index, const gfx::Point& at) {
  model::FlightPlanWaypoint* w = F().ActiveFlightPlan.At(index);
  if (w == nullptr) return;
  w->screen_x = at.X;
  w->screen_y = at.Y;
  p1000_state.RoutePlaced[static_cast<std::size_t>(index)] = true;
}

// The route's lines as its entries are walked: each drawn waypoint joins
// the one before unless a marker or a place that is not a number came
// between them.
void WalkRoute(const P1000Frame& f, const FineRoute& r, int first, std::optional<gfx::Point> from) {
  const gfx::Pen pen(kWhite, r.PenWidth());
  for (int i = first; i <= F().ActiveFlightPlanLastIndex; ++i) {
    const model::FlightPlanWaypoint* w = F().ActiveFlightPlan.At(i);
    if (w == nullptr) break;
    const std::optional<gfx::Point> at =
        IsRouteMarker(w->ident) ? std::nullopt : r.Place(w->latitude, w->longitude);
    if (!at) {
      from.reset();
      continue;
    }
    if (from) f.g.DrawLineI(pen, from->X, from->Y, at->X, at->Y);
    Store(i, *at);
    from = at;
  }
}

// The leg into the active waypoint from its start: the previous waypoint,
// or where LNAV was engaged. The start's place goes into the previous
// waypoint's record, where its label is drawn.
struct Leg {
  gfx::Point start, end;
};
std::optional<Leg> PreviousLegPlaces(const FineRoute& r, int active) {
  const guidance::State& s = G();
  const model::FlightPlanWaypoint& before = F().ActiveFlightPlan[active - 1];
  const model::FlightPlanWaypoint& to = F().ActiveFlightPlan[active];
  const bool from_engage = s.ActiveLegFromEngagePosition == 1;
  if ((!from_engage && IsRouteMarker(before.ident)) || IsRouteMarker(to.ident)) return std::nullopt;
  const std::optional<gfx::Point> start = from_engage ? r.Place(s.LegOriginLatitude, s.LegOriginLongitude)
                                                      : r.Place(before.latitude, before.longitude);
  const std::optional<gfx::Point> end = r.Place(to.latitude, to.longitude);
  if (!start || !end) return std::nullopt;
  return Leg{*start, *end};
}

void PreviousLeg(const P1000Frame& f, const FineRoute& r, int active) {
  const std::optional<Leg> leg = PreviousLegPlaces(r, active);
  if (!leg) return;
  Store(active - 1, leg->start);
  gfx::Pen dashed(kYellow, r.PenWidth());
  dashed.SetDashStyle(gfx::DashStyle::Dash);
  f.g.DrawLineI(dashed, leg->start.X, leg->start.Y, leg->end.X, leg->end.Y);
}

// A route ident: DA Rered bold 12 on the fine grid, its layout point 7
// units right of and 6 above the waypoint's place (x, y) there.
gfx::Font IdentFont(const FineRoute& r) { return display::DaReredBold(static_cast<float>(12.0 * r.View().grid.gx)); }
display::MapText IdentText(const display::FineGrid& grid, const gfx::Font& font, std::string_view ident, int x,
                           int y) {
  return display::MapText{ident.substr(0, kRouteIdentChars), font,
                          gfx::PointF(static_cast<gfx::REAL>(x + kLabelDx * grid.gx),
                                      static_cast<gfx::REAL>(y + kLabelDy * grid.gy))};
}

void Label(const P1000Frame& f, const FineRoute& r, const gfx::Font& font, int index, gfx::ARGB colour,
           std::uint32_t style) {
  const model::FlightPlanWaypoint& w = F().ActiveFlightPlan[index];
  const display::FineGrid& grid = r.View().grid;
  display::WriteMapLabel(f.g, w.ident, w.screen_x, w.screen_y, IdentText(grid, font, w.ident, w.screen_x, w.screen_y),
                         gfx::SolidBrush(colour), true);
  display::DrawMapSymbol(f.g, w.screen_x, w.screen_y + kStarDy * grid.gy, display::kSymbolWaypointStar, index,
                         grid.gx, grid.gy, style, f.range);
}

// --- The data box ---------------------------------------------------------------

struct AlignedText {
  std::size_t length;
  float x;
};
// Right-aligned by table; a text longer than the table starts where the
// longest does (the values are limited so that none is).
constexpr AlignedText kDistanceX[] = {{3, 218}, {4, 210}, {5, 202}, {6, 194}, {7, 187}};
constexpr AlignedText kMinutesX[] = {{1, 229}, {2, 222}, {3, 214}, {4, 206}};
constexpr double kLongestDistance = 99999.9;  // "%5.1f": 7 characters
constexpr double kLongestMinutes = 9999.0;    // "%4.0f": 4 characters

template <std::size_t N>
BoxText Aligned(const char* format, double value, const AlignedText (&table)[N]) {
  BoxText t{};
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  std::string_view text(buffer);
  text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
  const std::size_t n = std::min(text.size(), sizeof t.text - 1);
  text.copy(t.text, n);
  t.text[n] = '\0';
  t.x = table[0].x;
  for (const AlignedText& row : table)
    if (n >= row.length) t.x = row.x;
  return t;
}

void DrawDataBox(const P1000Frame& f) {
  const guidance::State& s = G();
  f.UseCanvas();
  const gfx::Font font = display::DaReredBold(14.0f);
  const gfx::SolidBrush magenta(kMagenta), white(kWhite), background(f.background);
  if (f.full_repaint) {
    f.g.DrawString("FMS", font, gfx::PointF(220.0f, 0.0f), magenta);
    f.g.DrawString("NM", font, gfx::PointF(241.0f, 13.0f), white);
    f.g.FillRectangleI(background, 220, 29, 55, 14);
    if (const std::optional<int> active = ActiveIndex())
      f.g.DrawString(std::string_view(F().ActiveFlightPlan[*active].ident).substr(0, kBoxIdentChars), font,
                     gfx::PointF(220.0f, 26.0f), magenta);
  }
  if (f.full_repaint || s.SavedActiveWaypointDistance != s.ActiveWaypointDistance) {
    f.g.FillRectangleI(background, 187, 15, 55, 14);
    const BoxText t = P1000DistanceText(s.ActiveWaypointDistance);
    f.g.DrawString(t.text, font, gfx::PointF(t.x, 13.0f), magenta);
  }
  if (f.full_repaint || s.SavedMinutesToActiveWaypoint != s.MinutesToActiveWaypoint) {
    f.g.FillRectangleI(background, 214, 43, 26, 14);
    const BoxText t = P1000MinutesText(s.ActiveWaypointDistance, s.GroundSpeedKnots);
    f.g.DrawString(t.text, font, gfx::PointF(t.x, 39.0f), magenta);
  }
  if (f.full_repaint) f.g.DrawString("MIN", font, gfx::PointF(238.0f, 39.0f), white);
}

}  // namespace

BoxText P1000DistanceText(double distance) {
  return Aligned("%5.1f", std::clamp(FiniteOr(distance), 0.0, kLongestDistance), kDistanceX);
}

BoxText P1000MinutesText(double distance, double ground_speed) {
  double minutes = ground_speed > kMinutesFromSpeed ? distance / ground_speed * 60.0 : 0.0;
  return Aligned("%4.0f", std::clamp(FiniteOr(minutes), 0.0, kLongestMinutes), kMinutesX);
}

void DrawP1000RouteLegs(const P1000Frame& f) {
  const FineRoute r(f);
  const std::optional<int> active = ActiveIndex();
  if (!r.Usable() || !active) return;
  r.View().SetMapScale();
  r.UseFrame();
  if (!f.Centred()) {
    if (PreviousLegShown(f, *active)) PreviousLeg(f, r, *active);
    WalkRoute(f, r, *active, r.Centre());
  } else {
    WalkRoute(f, r, 0, std::nullopt);
    // The own aircraft where it is, turned by its heading.
    f.UseOrigin(f.aircraft_x, f.aircraft_y, FiniteOr(G().AircraftHeading));
    display::DrawMapSymbol(f.g, 0.0, kAircraftSymbolDy, display::kSymbolOwnAircraftLarge, -99, 1.0, 1.0,
                           display::kStyleDefault, f.range);
  }
  f.UseCanvas();
}

void DrawP1000WaypointData(const P1000Frame& f) {
  const FineRoute r(f);
  const std::optional<int> active = ActiveIndex();
  if (r.Usable() && active) {
    r.UseFrame();
    const gfx::Font font = IdentFont(r);
    const auto& placed = p1000_state.RoutePlaced;
    // The previous waypoint where the leg into the active one starts; the
    // centred format labels it with the rest of the route.
    if (!f.Centred() && PreviousLegShown(f, *active) && placed[static_cast<std::size_t>(*active - 1)])
      Label(f, r, font, *active - 1, kYellow, display::kStyleDefault);
    const int last = std::min(F().ActiveFlightPlanLastIndex, model::kFlightPlanSlots - 1);
    for (int i = f.Centred() ? 0 : *active; i <= last; ++i) {
      if (!placed[static_cast<std::size_t>(i)]) continue;
      const bool is_active = i == *active;
      Label(f, r, font, i, is_active ? kMagenta : kWhite, is_active ? display::kStyleMagenta : display::kStyleDefault);
    }
  }
  f.UseCanvas();
  f.g.ResetClip();
  DrawDataBox(f);
  f.UseCanvas();
}

}  // namespace ovi::p1000
