// The runways of the airport loaded last, with their designators, and the
// parking arrow at the smallest ranges.
#include <cmath>
#include <cstdlib>
#include <string>

#include "src/display/labels.h"
#include "src/display/map_labels.h"
#include "src/display/map_inputs.h"
#include "src/display/map_overlays.h"
#include "src/display/map_projection.h"
#include "src/navdb/state.h"
#include "src/util/text.h"

namespace ovi::display {

namespace {

constexpr gfx::ARGB kRunwayYellow = 0xFFFFFF00;
constexpr gfx::ARGB kRunwayRed = 0xFFC90101;
constexpr gfx::ARGB kParkingAmber = 0xFFE9B73E;
constexpr double kNmPerFoot = 0.00016458196181698485;
constexpr double kParkingMarkRange = 0.5;
// Designators from 01 to 18 have their opposite end listed as n + 18.
constexpr int kLastLowDesignator = 18;
// "09L": two digits and a side letter.
constexpr int kRunwayLabelField = 3;

// The designator at the other end: "%02d%s" of n + 18 with the side letter
// swapped; empty from 19 on (those runways show one label only).
std::string OppositeDesignator(std::string_view number) {
  const int n = static_cast<int>(std::strtol(std::string(number).c_str(), nullptr, 10));
  if (n > kLastLowDesignator) return {};
  const char* suffix = "";
  if (number.find('L') != std::string_view::npos)
    suffix = "R";
  else if (number.find('R') != std::string_view::npos)
    suffix = "L";
  else if (number.find('C') != std::string_view::npos)
    suffix = "C";
  return util::Format("%02d%s", n + kLastLowDesignator, suffix);
}

void DrawParkingMark(gfx::Graphics& g, const MapFrame& frame, int cx, int cy) {
  const navdb::State& nav = navdb::navdb_state;
  int px, py;
  PlotPositionInt(frame, cx, cy, nav.ParkingLatitude, nav.ParkingLongitude, px, py);
  // Against the heading on a map turned by MapHeading; a map turned
  // otherwise turns the arrow by the difference.
  const double turn = nav.ParkingHeading - AircraftHeading() + (MapHeading() - frame.up);
  if (!std::isfinite(turn)) return;
  g.TranslateTransform(static_cast<gfx::REAL>(px), static_cast<gfx::REAL>(py));
  g.RotateTransform(static_cast<gfx::REAL>(turn));
  gfx::Font font("Arial", 14, gfx::FontStyleBold, gfx::Unit::Pixel);
  gfx::SolidBrush amber(kParkingAmber);
  DrawMapSymbolText(g, "P", font, gfx::PointF(3, 0), amber);
  gfx::Pen pen(kParkingAmber, 2);
  g.DrawLineI(pen, 0, 0, 4, 3);
  g.DrawLineI(pen, 0, 0, -4, 3);
  g.DrawLineI(pen, 0, 0, 0, 12);
}

}  // namespace

void DrawAirportRunways(gfx::Graphics& g, int radius, int cx, int cy, double range) {
  DrawAirportRunways(g, radius, cx, cy, range, MapHeading());
}

void DrawAirportRunways(gfx::Graphics& g, int radius, int cx, int cy, double range, double rotation) {
  if (!SetMapScale(radius, range)) return;
  navdb::State& nav = navdb::navdb_state;
  const MapFrame frame = AircraftMapFrame(rotation);
  const int selected = SelectedRunwayIndex();
  const double variation = MagneticVariation();

  gfx::Pen yellow_pen(kRunwayYellow, 2), red_pen(kRunwayRed, 2);
  gfx::SolidBrush yellow(kRunwayYellow), red(kRunwayRed);
  gfx::Font font("Arial", 10, gfx::FontStyleRegular, gfx::Unit::Pixel);
  // A runway end the map names already (the route's runway label) keeps
  // that name.
  auto text = [&](const std::string& s, int x, int y, const gfx::SolidBrush& brush) {
    if (!s.empty())
      WriteMapLabel(g, s, x, y, MapText{s, font, gfx::PointF(static_cast<gfx::REAL>(x), static_cast<gfx::REAL>(y))},
                    brush);
  };

  // Designators already drawn, each followed by a blank.
  std::string handled = " ";
  const int count = nav.AirportRunwayCount;
  for (int i = 1; i <= count; ++i) {
    model::RunwayRecord* rwy = nav.AirportRunwayTable.At(i);
    if (rwy == nullptr) break;
    const std::string number(rwy->number_text);
    if (handled.find(" " + number + " ") != std::string::npos) continue;

    int tx, ty, ex, ey;
    PlotPositionInt(frame, cx, cy, rwy->latitude, rwy->longitude, tx, ty);
    double end_lat, end_lon;
    navdb::ProjectPosition(rwy->latitude, rwy->longitude, rwy->heading + variation, rwy->length * kNmPerFoot,
                           end_lat, end_lon);
    PlotPositionInt(frame, cx, cy, end_lat, end_lon, ex, ey);
    handled += number + " ";

    const std::string opposite = OppositeDesignator(number);
    int partner = 0;
    if (!opposite.empty()) {
      handled += opposite + " ";
      for (int j = i + 1; j <= count && partner == 0; ++j) {
        model::RunwayRecord* other = nav.AirportRunwayTable.At(j);
        if (other == nullptr || other->number_text != opposite) continue;
        partner = j;
        if (other->latitude != end_lat) other->latitude = end_lat;
        if (other->longitude != end_lon) other->longitude = end_lon;
      }
    }

    const bool highlighted = selected != 0 && (i == selected || partner == selected);
    g.DrawLineI(highlighted ? yellow_pen : red_pen, tx, ty, ex, ey);
    const std::string label = FitLabel(number, kRunwayLabelField);
    if (!highlighted) {
      text(label, tx, ty, red);
      text(opposite, ex, ey, red);
    } else if (i == selected) {
      text(label, tx, ty, yellow);
      text(opposite, ex, ey, red);
    } else {
      text(label, tx, ty, red);
      text(opposite, ex, ey, yellow);
    }
  }

  if (range > kParkingMarkRange || nav.ParkingLatitude == 0.0) return;
  gfx::Matrix caller;
  g.GetTransform(&caller);
  DrawParkingMark(g, frame, cx, cy);
  g.SetTransform(caller);
}

}  // namespace ovi::display
