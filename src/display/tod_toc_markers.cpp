// Top of climb, top of descent and next-constraint markers on the maps.
#include <cmath>
#include <optional>
#include <string>

#include "src/display/map_inputs.h"
#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_projection.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/flown_path.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::display {

namespace {

constexpr gfx::ARGB kMarkerColour = kMapGreen;
// The floating top of descent shows only while the constraint lies this far
// below.
constexpr double kFloatingTodMarginFt = 500.0;

struct Geo {
  double lat = 0.0, lon = 0.0;
};

bool IsRouteKind(std::int32_t kind) {
  return kind == kDisplayB737 || kind == kDisplayMd11 || kind == kDisplayDu1000Map;
}

const model::FlightPlanWaypoint* RouteEntry(int index) {
  const flightplan::State& fp = flightplan::flightplan_state;
  if (index < 0 || index > fp.ActiveFlightPlanLastIndex) return nullptr;
  return fp.ActiveFlightPlan.At(index);
}

// Where a descent from the present altitude to the next constraint must
// begin, back along the path LNAV flies from the constraint, as every
// distance of the plan is measured (walked back over the legs, it stood
// the corners' cut earlier); none when the route or the descent values
// give no such point.
std::optional<Geo> FloatingTopOfDescent() {
  const guidance::State& gs = guidance::guidance_state;
  const model::State& ms = model::model_state;
  if (!(ms.PlanDescentRate > 0.0)) return std::nullopt;
  const double dd = ms.DescentTas * (1.0 / 60.0) * ((gs.AircraftAltitude - gs.NextConstraintAltitude) /
                                                    ms.PlanDescentRate);
  if (!std::isfinite(dd)) return std::nullopt;
  const int constraint = gs.NextConstraintIndex;
  const int active = flightplan::flightplan_state.ActiveWaypointIndex;
  // Between the aircraft and the active waypoint (or the constraint, when
  // it is not after the active waypoint): back along the bearing to it.
  const int start = constraint > active ? active : constraint;
  const model::FlightPlanWaypoint* from = RouteEntry(start);
  if (from == nullptr || RouteEntry(constraint) == nullptr) return std::nullopt;
  const guidance::FlownPath& path = guidance::FlownPath::Current();
  const double at = path.EntryOrBefore(constraint);
  const double sum = at - path.EntryOrBefore(start);
  Geo f;
  int leg_start = 0;
  if (dd <= sum) {
    if (!path.PositionFromCoordinate(at - dd, f.lat, f.lon, leg_start)) return std::nullopt;
    return f;
  }
  double back = gs.BearingToActiveWaypoint + 180.0;
  if (back >= 360.0) back -= 360.0;
  navdb::ProjectPosition(from->latitude, from->longitude, back + MagneticVariation(), dd - sum, f.lat, f.lon);
  return f;
}

class MarkerPainter {
 public:
  MarkerPainter(gfx::Graphics& g, const MapFrame& frame, double cx, double cy, std::int32_t kind, double sx,
                double sy)
      : g_(g), frame_(frame), cx_(cx), cy_(cy), kind_(kind), sx_(sx), sy_(sy), pen_(kMarkerColour, 1.0f),
        brush_(kMarkerColour),
        font_("Arial", static_cast<gfx::REAL>(10.0 * sy), gfx::FontStyleRegular, gfx::Unit::Pixel) {}

  // Every kind takes the caller's grid factors, as the caller's own route
  // layer does: a mark placed unscaled on a fine grid stood short of the
  // route, nearer the aircraft the larger the window.
  gfx::PointF Place(const Geo& p) const {
    double x, y;
    PlotPosition(frame_, cx_, cy_, p.lat, p.lon, x, y);
    x *= sx_;
    y *= sy_;
    if (kind_ == kDisplayB737) {
      x = gfx::TruncToPixel(x);
      y = gfx::TruncToPixel(y);
    }
    return gfx::PointF(static_cast<gfx::REAL>(x), static_cast<gfx::REAL>(y));
  }

  void Circle(const gfx::PointF& at) {
    const double d = 8.0 * sy_;
    g_.DrawEllipse(pen_, static_cast<gfx::REAL>(at.X - d / 2), static_cast<gfx::REAL>(at.Y - d / 2),
                   static_cast<gfx::REAL>(d), static_cast<gfx::REAL>(d));
  }
  // A mark's label: where it would meet a text of the map's fixed readouts,
  // compass card or another mark's label (a top of climb and a top of
  // descent a few miles apart), it moves up or down, the shorter way, until
  // it is clear; its mark stays (display/map_labels.h).
  void Text(const std::string& text, double x, double y) {
    WriteMapText(g_, MapRank::kMark,
                 MapText{text, font_, gfx::PointF(static_cast<gfx::REAL>(x), static_cast<gfx::REAL>(y))}, brush_,
                 MapTextWay{.slide = true, .whole_pixels = truncate_});
  }
  double Width(const std::string& text) {
    gfx::RectF box;
    g_.MeasureString(text, font_, gfx::PointF(0, 0), nullptr, &box);
    return box.Width;
  }
  // A circle with its label to the right, vertically centred on it.
  void CircleLabelRight(const gfx::PointF& at, const std::string& text) {
    Circle(at);
    Text(text, at.X + 4.0 * sx_, at.Y - 6.0 * sy_);
  }
  // With VNAV off the label sits left of the circle, with VNAV on below it.
  void CircleLabelBeside(const gfx::PointF& at, const std::string& text, bool vnav) {
    Circle(at);
    if (text.empty()) return;
    if (vnav)
      Text(text, at.X - Width(text) / 2, at.Y + 4.0 * sy_);
    else
      Text(text, at.X - 4.0 * sx_ - Width(text), at.Y - 6.0 * sy_);
  }
  // "T/C" and "T/D", 7 x sy above and 8 x sx right of the point.
  void RouteText(const gfx::PointF& at, const char* text) {
    truncate_ = true;
    Text(text, gfx::TruncToPixel(at.X + 8.0 * sx_), gfx::TruncToPixel(at.Y - 7.0 * sy_));
    truncate_ = false;
  }
  // Small line symbols of the MD-11 and DU-1000 maps: a bar across the
  // route with a stem (MD-11), a "T" standing on the point (DU-1000).
  void LineSymbol(const gfx::PointF& at) {
    const gfx::REAL x = at.X, y = at.Y;
    const auto h8 = static_cast<gfx::REAL>(8.0 * sx_), h4 = static_cast<gfx::REAL>(4.0 * sx_);
    const auto v8 = static_cast<gfx::REAL>(8.0 * sy_), v4 = static_cast<gfx::REAL>(4.0 * sy_);
    if (kind_ == kDisplayMd11) {
      g_.DrawLine(pen_, x - h8, y, x + h8, y);
      g_.DrawLine(pen_, x, y - v4, x, y + v4);
    } else {
      g_.DrawLine(pen_, x - h4, y - v8, x + h4, y - v8);
      g_.DrawLine(pen_, x, y - v8, x, y);
    }
  }

 private:
  gfx::Graphics& g_;
  const MapFrame& frame_;
  double cx_, cy_;
  std::int32_t kind_;
  double sx_, sy_;
  gfx::Pen pen_;
  gfx::SolidBrush brush_;
  gfx::Font font_;
  bool truncate_ = false;  // "T/C" and "T/D" stand and move on whole pixels
};

// The next constraint's label; empty where none is prepared (VNAV engaged
// and the constraint at the cruise level before the top of descent).
std::string ConstraintLabel(bool vnav) {
  const guidance::State& gs = guidance::guidance_state;
  const double altitude = gs.NextConstraintAltitude;
  const bool at_cruise = altitude == guidance::PlannedCruiseAltitude();
  if (gs.TocPassed == 0) {
    if (!at_cruise) return util::Format("[%.0f]", altitude);
    return vnav ? std::string() : std::string("[TOC]");
  }
  if (!at_cruise || gs.TodPassed != 0) return util::Format("[%.0f]", altitude);
  return vnav ? std::string() : std::string("[TOD]");
}

}  // namespace

void DrawTodTocMarkers(gfx::Graphics& g, double radius, double range, double cx, double cy, std::int32_t kind,
                       double sx, double sy, double ref_lat, double ref_lon, double rotation) {
  if (!SetMapScale(radius, range)) return;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(sx) || !std::isfinite(sy) ||
      !std::isfinite(rotation))
    return;
  const guidance::State& gs = guidance::guidance_state;
  const model::State& ms = model::model_state;
  const MapFrame frame{ref_lat, ref_lon, rotation, display_state.MapPixelsPerNm};
  MarkerPainter paint(g, frame, cx, cy, kind, sx, sy);
  const bool vnav = gs.VnavEngaged != 0;

  if (!IsRouteKind(kind) || ms.ShowFloatingTodBodIndicators == 1) {
    if (gs.NextConstraintAltitude < gs.AircraftAltitude - kFloatingTodMarginFt) {
      if (std::optional<Geo> f = FloatingTopOfDescent()) paint.CircleLabelRight(paint.Place(*f), "[TOD]");
    }
    // With VNAV the plan's own marker stands at the top of climb; the
    // constraint is left out only where it is that very point (a shared
    // latitude or longitude alone does not make it one).
    const bool on_toc = gs.NextConstraintLat == gs.TocLatitude && gs.NextConstraintLon == gs.TocLongitude;
    if (!vnav || !on_toc)
      paint.CircleLabelBeside(paint.Place({gs.NextConstraintLat, gs.NextConstraintLon}), ConstraintLabel(vnav),
                              vnav);
  }

  if (!(ms.CruiseAlt > 0)) return;
  const gfx::PointF toc = paint.Place({gs.TocLatitude, gs.TocLongitude});
  const gfx::PointF tod = paint.Place({gs.TodLatitude, gs.TodLongitude});
  const bool show_toc = gs.TocPassed == 0;
  switch (kind) {
    case kDisplayB737:
      if (show_toc) paint.RouteText(toc, "T/C");
      paint.RouteText(tod, "T/D");
      break;
    case kDisplayMd11:
    case kDisplayDu1000Map:
      if (show_toc) paint.LineSymbol(toc);
      paint.LineSymbol(tod);
      break;
    default:
      if (!vnav) break;
      if (show_toc) paint.CircleLabelRight(toc, "[TOC]");
      paint.CircleLabelRight(tod, "[TOD]");
      break;
  }
}

}  // namespace ovi::display
