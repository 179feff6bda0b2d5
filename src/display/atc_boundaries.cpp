// The ATC boundary outlines and their labels.
#include <array>
#include <string_view>

#include "src/display/labels.h"
#include "src/display/map_inputs.h"
#include "src/display/map_overlays.h"
#include "src/display/map_projection.h"
#include "src/navdb/navdb.h"
#include "src/navdb/state.h"

namespace ovi::display {

namespace {

constexpr gfx::ARGB kBoundaryColour = 0xFF979700;
// A boundary whose first point lies farther is not drawn at all: far-away
// outlines are never projected point by point.
constexpr double kBoundaryReachNm = 1000.0;
// The wide oceanic regions, whose first point may lie far from the part
// that is in view.
constexpr double kOceanicReachNm = 5000.0;
constexpr std::string_view kOceanicBoundaries[] = {"YM00142", "YB00001", "NZ00084"};

bool IsOceanic(std::string_view name) {
  for (std::string_view o : kOceanicBoundaries)
    if (name == o) return true;
  return false;
}

bool InReach(std::string_view name, double distance) {
  if (distance <= kBoundaryReachNm) return true;
  return IsOceanic(name) && distance < kOceanicReachNm;
}

}  // namespace

void DrawAtcBoundaries(gfx::Graphics& g, int radius, int cx, int cy, double range, double rotation) {
  if (!SetMapScale(radius, range)) return;
  navdb::State& nav = navdb::navdb_state;
  if (nav.AtcBoundaryPointCount == 0) navdb::LoadAtcBoundaries();

  MapFrame frame = AircraftMapFrame();
  frame.up = rotation;
  gfx::Pen pen(kBoundaryColour, 1.0f);
  gfx::SolidBrush brush(kBoundaryColour);
  gfx::Font font("DA Rered", 14, gfx::FontStyleBold, gfx::Unit::Pixel);
  std::array<gfx::Point, model::kMaxBoundaryPoints> outline;

  const navdb::State& table = nav;
  for (int b = 1; b <= table.AtcBoundaryCount; ++b) {
    const model::AtcBoundary* boundary = table.AtcBoundaryTable.At(b);
    if (boundary == nullptr) break;
    const int count = std::min(boundary->point_count, model::kMaxBoundaryPoints);
    int placed = 0;
    bool skipped = false;
    for (int p = 1; p <= count; ++p) {
      const model::AtcBoundary::Point& pt = boundary->points[p];
      double distance, bearing;
      navdb::ComputeDistanceAndBearing(frame.from_lat, frame.from_lon, pt.latitude, pt.longitude, distance,
                                       bearing);
      if (p == 1 && !InReach(std::string_view(boundary->name), distance)) {
        skipped = true;
        break;
      }
      gfx::Point& o = outline[static_cast<std::size_t>(placed++)];
      navdb::BearingOffsetToScreenInt(frame.up, bearing, cx, cy, distance * frame.pixels_per_nm, o.X, o.Y);
    }
    if (skipped) continue;
    // The outline stays open: the file closes it where it means to.
    if (placed >= 2) g.DrawLinesI(pen, outline.data(), placed);
    int lx, ly;
    PlotPositionInt(frame, cx, cy, boundary->label_latitude, boundary->label_longitude, lx, ly);
    const std::string label = FitLabel(std::string_view(boundary->label), kAtcLabelField);
    if (!label.empty())
      g.DrawString(label, font, gfx::PointF(static_cast<gfx::REAL>(lx - 15), static_cast<gfx::REAL>(ly)), brush);
  }
}

}  // namespace ovi::display
