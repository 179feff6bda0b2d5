// The approach and traffic pattern of the selected destination runway.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "src/display/map_inputs.h"
#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_projection.h"
#include "src/display/state.h"
#include "src/model/state.h"
#include "src/navdb/state.h"
#include "src/util/text.h"

namespace ovi::display {

namespace {

constexpr gfx::ARGB kPatternColour = 0xFF5BE5A7;
constexpr double kInterceptPointNm = 14.0;
constexpr double kCentrelineNm = 60.0;
constexpr double kInterceptLegNm = 15.0;
constexpr double kInterceptAngle = 30.0;
constexpr double kCrosswindTurnNm = 3.0;
constexpr double kCrosswindLegNm = 5.0;
constexpr double kDownwindLegNm = 8.0;
constexpr double kBaseLegNm = 5.0;
constexpr double kAltitudeLabelRange = 20.0;
constexpr int kInterceptHeightFt = 3000;
constexpr int kPatternHeightFt = 1500;

// A course turned half round: above 360 wraps, exactly 360 reads 0.
double Reciprocal(double course) {
  double r = course + 180.0;
  if (r > 360.0) r -= 360.0;
  if (r == 360.0) r = 0.0;
  return r;
}
double TurnLeft(double course, double by) {
  double c = course - by;
  return c < 0.0 ? c + 360.0 : c;
}
double TurnRight(double course, double by) {
  double c = course + by;
  return c > 360.0 ? c - 360.0 : c;
}

struct Geo {
  double lat = 0.0, lon = 0.0;
};

// `course` is magnetic; the variation makes it true before projecting.
Geo Project(const Geo& from, double course, double distance) {
  Geo to;
  navdb::ProjectPosition(from.lat, from.lon, course + MagneticVariation(), distance, to.lat, to.lon);
  return to;
}

// The leading integer of the elevation text; an empty or unreadable text
// counts as 0, and nothing beyond any airport's reach is believed.
int ElevationFeet(const std::string& text) {
  const long feet = std::strtol(text.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp(feet, -2000L, 30000L));
}

std::string AltitudeLabel(int elevation, int height) {
  // Whole hundreds, truncated, with "00" appended.
  const long hundreds = (static_cast<long>(elevation) + height) / 100;
  return util::Format("%ld00", hundreds);
}

}  // namespace

void DrawApproachPattern(gfx::Graphics& g, int radius, int cx, int cy, double range, double sx, double sy) {
  DrawApproachPattern(g, radius, cx, cy, range, sx, sy, MapHeading());
}

void DrawApproachPattern(gfx::Graphics& g, int radius, int cx, int cy, double range, double sx, double sy,
                         double rotation) {
  if (!SetMapScale(radius, range) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  const model::RunwayRecord* rwy = SelectedRunway();
  if (rwy == nullptr) return;

  const MapFrame frame = AircraftMapFrame(rotation);
  auto plot = [&](const Geo& p) {
    double x, y;
    PlotPosition(frame, cx, cy, p.lat, p.lon, x, y);
    return gfx::Point(gfx::TruncToPixel(x * sx), gfx::TruncToPixel(y * sy));
  };

  const double r = Reciprocal(rwy->approach_course);
  const double h_rev = Reciprocal(rwy->heading);
  const Geo t{rwy->latitude, rwy->longitude};
  const Geo b = Project(t, r, kInterceptPointNm);
  const Geo c = Project(t, r, kCentrelineNm);
  const Geo d = Project(b, TurnLeft(r, kInterceptAngle), kInterceptLegNm);
  const Geo e = Project(b, TurnRight(r, kInterceptAngle), kInterceptLegNm);

  const bool right = rwy->right_pattern != 0;
  auto side = [&](double course) { return right ? TurnRight(course, 90.0) : TurnLeft(course, 90.0); };
  const Geo f = Project(t, rwy->heading, kCrosswindTurnNm);
  const Geo gp = Project(f, side(rwy->heading), kCrosswindLegNm);
  const Geo h = Project(gp, h_rev, kDownwindLegNm);
  const Geo i = Project(h, side(h_rev), kBaseLegNm);

  gfx::Pen pen(kPatternColour, static_cast<gfx::REAL>(2.0 * sx));
  const gfx::Point pt = plot(t), pb = plot(b), pc = plot(c), pd = plot(d), pe = plot(e);
  g.DrawLineI(pen, pt.X, pt.Y, pc.X, pc.Y);
  g.DrawLineI(pen, pb.X, pb.Y, pd.X, pd.Y);
  g.DrawLineI(pen, pb.X, pb.Y, pe.X, pe.Y);
  const gfx::Point pf = plot(f), pg = plot(gp), ph = plot(h), pi = plot(i);
  g.DrawLineI(pen, pf.X, pf.Y, pg.X, pg.Y);
  g.DrawLineI(pen, pg.X, pg.Y, ph.X, ph.Y);
  g.DrawLineI(pen, ph.X, ph.Y, pi.X, pi.Y);

  if (model::model_state.DispAppPtrnAlts != 1 || range > kAltitudeLabelRange) return;
  const int elevation = ElevationFeet(navdb::navdb_state.AirportDetailsElevationText);
  gfx::Font font("Arial", static_cast<gfx::REAL>(12.0 * sy), gfx::FontStyleRegular, gfx::Unit::Pixel);
  gfx::SolidBrush brush(kPatternColour);
  auto label = [&](const gfx::Point& at, int height) {
    WriteMapText(g, MapRank::kName,
                 MapText{AltitudeLabel(elevation, height), font,
                         gfx::PointF(static_cast<gfx::REAL>(at.X), static_cast<gfx::REAL>(gfx::TruncToPixel(at.Y + 7.0 * sy)))},
                 brush);
  };
  label(pb, kInterceptHeightFt);
  label(pg, kPatternHeightFt);
}

}  // namespace ovi::display
