// The ATC boundary outlines and their labels.
#include <algorithm>
#include <array>
#include <cstddef>
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

  // Each point's place is kept while the aircraft moves less than the map
  // can show (GeoMemo); the file's outlines are fixed, so a point's slot is
  // its place in the file.
  GeoMemo& places = display_state.BoundaryPlaces;
  places.Begin(frame.from_lat, frame.from_lon, frame.up, frame.pixels_per_nm);
  std::size_t first_slot = 0;
  const navdb::State& table = nav;
  for (int b = 1; b <= table.AtcBoundaryCount; ++b) {
    const model::AtcBoundary* boundary = table.AtcBoundaryTable.At(b);
    if (boundary == nullptr) break;
    const int count = std::min(boundary->point_count, model::kMaxBoundaryPoints);
    const std::size_t slots = first_slot;
    first_slot += static_cast<std::size_t>(std::max(count, 0));
    int placed = 0;
    bool skipped = false;
    for (int p = 1; p <= count; ++p) {
      const model::AtcBoundary::Point& pt = boundary->points[p];
      const GeoMemo::Place& place = places.At(slots + static_cast<std::size_t>(p - 1), pt.latitude, pt.longitude);
      if (p == 1 && !InReach(std::string_view(boundary->name), place.distance)) {
        skipped = true;
        break;
      }
      gfx::Point& o = outline[static_cast<std::size_t>(placed++)];
      GeoMemo::OffsetInt(place, cx, cy, place.distance * frame.pixels_per_nm, o.X, o.Y);
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
