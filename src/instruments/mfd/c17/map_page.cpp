// Page 6, the north-up map: the heading and range header, the latitude and
// longitude grid under the map area's clip, the map layers, and the
// aircraft symbol where the aircraft is (off the centre while the map is
// centred on a route waypoint).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "src/display/kit.h"
#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/c17_mfd.h"
#include "src/instruments/mfd/c17/engine_kit.h"
#include "src/instruments/mfd/c17/nav_pages.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/model/state.h"

namespace ovi::c17 {

namespace {

using display::FiniteOr;
using display::colour::kSkyBlue;
using display::colour::kWhite;

constexpr HeadingReadout kHeader{-115, 3.0f, 11.0f, false};
constexpr double kGridBelowRange = 320.0;  // NM
constexpr int kGridRows = 10;
constexpr int kGridColumns = 11;
constexpr double kMapTop = -90.0;   // the map area's top edge
constexpr double kMapLeft = -122.0;  // its left edge (the right one as far the other way)
constexpr double kMapBottom = 120.0;

int Wrap(int longitude) {
  if (longitude < -180) return longitude + 360;
  if (longitude > 180) return longitude - 360;
  return longitude;
}

// Meridian and parallel segments a degree long over ten degrees about the
// centre, with each meridian's hemisphere label along the top of the map
// (from the middle row) and each parallel's at the left edge.
void DrawGrid(const nd::MapView& v) {
  const nd::GeoPoint c = v.reference;
  if (!std::isfinite(c.latitude) || !std::isfinite(c.longitude)) return;
  v.UseFineGrid();
  gfx::Pen pen(kWhite, static_cast<gfx::REAL>(2.0 * v.grid.gx));
  pen.SetDashStyle(gfx::DashStyle::Dash);
  const gfx::Font font = display::ArialBold(static_cast<float>(10.0 * v.grid.gx));
  const gfx::SolidBrush white(kWhite);
  gfx::Graphics& g = *v.g;
  auto place = [&](int lat, int lon, gfx::Point& at) {
    const nd::MapPlace p = v.Place(lat, lon);
    at = gfx::Point(v.X(p.x), v.Y(p.y));
    return p.ok;
  };
  const int lat0 = C17GridFirstLatitude(c.latitude);
  const int lon0 = C17GridFirstLongitude(c.longitude);
  char text[8];
  // A label that would run out of the map area moves along its edge back
  // into it, but only for a line that reaches the area; otherwise it is
  // left out (a cut "W125" read "25"). Where it would meet a text of the
  // map, the map's text stands (display/map_labels.h).
  const gfx::RectF area(static_cast<gfx::REAL>(kMapLeft * v.grid.gx), static_cast<gfx::REAL>(kMapTop * v.grid.gy),
                        static_cast<gfx::REAL>(-2.0 * kMapLeft * v.grid.gx),
                        static_cast<gfx::REAL>((kMapBottom - kMapTop) * v.grid.gy));
  auto label = [&](gfx::PointF at, bool line_in_area) {
    gfx::RectF box;
    g.MeasureString(text, font, at, nullptr, &box);
    if (!line_in_area || box.Width > area.Width || box.Height > area.Height) return;
    const gfx::REAL dx = std::clamp(box.X, area.X, area.X + area.Width - box.Width) - box.X;
    const gfx::REAL dy = std::clamp(box.Y, area.Y, area.Y + area.Height - box.Height) - box.Y;
    display::WriteMapText(g, display::MapRank::kGridLabel,
                          display::MapText{text, font, gfx::PointF(at.X + dx, at.Y + dy)}, white);
  };
  auto within = [](double value, double low, double high) { return value >= low && value <= high; };
  for (int row = 1; row <= kGridRows; ++row) {
    const int lat = lat0 + row - 1;
    int lon = lon0;
    gfx::Point p, q, r;
    bool last_ok = false;
    for (int column = 0; column < kGridColumns; ++column) {
      last_ok = place(lat, lon, p);
      if (last_ok && row == 5) {
        C17GridLongitudeLabel(lon, text);
        label(gfx::PointF(static_cast<gfx::REAL>(gfx::TruncToPixel(p.X + v.grid.gx)),
                          static_cast<gfx::REAL>(kMapTop * v.grid.gy)),
              within(p.X, area.X, area.X + area.Width));
      }
      if (last_ok && place(lat + 1, lon, q)) g.DrawLineI(pen, p.X, p.Y, q.X, q.Y);
      lon = Wrap(lon + 1);
      if (last_ok && place(lat, lon, r)) g.DrawLineI(pen, p.X, p.Y, r.X, r.Y);
    }
    if (last_ok) {
      C17GridLatitudeLabel(lat, text);
      label(gfx::PointF(static_cast<gfx::REAL>(kMapLeft * v.grid.gx), static_cast<gfx::REAL>(p.Y)),
            within(p.Y, area.Y, area.Y + area.Height));
    }
  }
}

}  // namespace

int C17GridFirstLatitude(double centre_latitude) {
  const int lat = static_cast<int>(std::clamp(centre_latitude, -90.0, 90.0)) - 5;
  return std::clamp(lat, -90, 90 - kGridRows);
}

int C17GridFirstLongitude(double centre_longitude) {
  const int lon = static_cast<int>(std::clamp(centre_longitude, -180.0, 180.0)) - 5;
  return lon < -180 ? lon + 360 : lon;
}

void C17GridLatitudeLabel(int latitude, char (&text)[8]) {
  std::snprintf(text, sizeof text, "%c%02d\xB0", latitude < 0 ? 'S' : 'N', std::abs(latitude) % 100);
}

void C17GridLongitudeLabel(int longitude, char (&text)[8]) {
  std::snprintf(text, sizeof text, "%c%02d\xB0", longitude >= 0 ? 'E' : 'W', std::abs(longitude) % 1000);
}

void DrawC17MapPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  const display::CanvasScale scale = display::ScaleToSurface(kC17Canvas, display.width, display.height);
  if (!scale.usable) return;
  const State& c = c17_state;
  const nd::MapView view = C17MapView(display, g, 6);
  display::UseOrigin(g, scale, static_cast<float>(c.C17MfdOriginX), static_cast<float>(c.C17MfdOriginY));
  DrawHeadingReadout(g, kHeader);
  // The range as the rings' figures of pages 3 to 5 stand: "%2.0f" read
  // 2.5 NM as " 2".
  display::DrawScreenTextF(g, display::ArialBold(10.0f), gfx::SolidBrush(kSkyBlue), 65.0f, -115.0f, "%s NM",
                           display::RingFigure(Readout(model::model_state.C17MfdMapRange), 2).c_str());

  gfx::GraphicsPath area;
  constexpr int left = static_cast<int>(kMapLeft), top = static_cast<int>(kMapTop), bottom = static_cast<int>(kMapBottom);
  const gfx::Point corners[] = {{left, top}, {-left, top}, {-left, bottom}, {left, bottom}};
  area.AddLinesI(corners, 4);
  area.CloseFigure();
  g.SetClip(area, gfx::CombineMode::Replace);

  if (view.Usable() && model::model_state.C17MfdMapRange < kGridBelowRange) DrawGrid(view);
  if (c.C17ShowMapLayers == 1) DrawC17MapLayers(display, g);

  if (!view.Usable()) return;
  const nd::GeoPoint aircraft = nd::AircraftPosition();
  const nd::MapPlace at = view.Place(aircraft.latitude, aircraft.longitude);
  if (!at.ok) return;
  const guidance::State& s = guidance::guidance_state;
  view.UseFineGridAt(view.origin_x + at.x, view.origin_y + at.y, FiniteOr(s.AircraftHeading));
  const double fx = view.grid.gx, fy = view.grid.gy;
  const gfx::Pen pen(kWhite, static_cast<gfx::REAL>(2.0 * fx));
  auto t = [](double v) { return gfx::TruncToPixel(v); };
  g.DrawLineI(pen, 0, t(-5 * fy), 0, t(15 * fy));
  g.DrawLineI(pen, t(-7 * fx), 0, t(7 * fx), 0);
  g.DrawLineI(pen, t(-4 * fx), t(10 * fy), t(4 * fx), t(10 * fy));
  display::ClaimMapBox(g, display::MapRank::kMark,
                       gfx::RectF(static_cast<gfx::REAL>(-8 * fx), static_cast<gfx::REAL>(-6 * fy),
                                  static_cast<gfx::REAL>(16 * fx), static_cast<gfx::REAL>(22 * fy)));
}

}  // namespace ovi::c17
