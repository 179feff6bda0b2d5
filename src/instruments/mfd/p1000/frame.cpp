// The P1000 MFD's draw entry: power and blanking, full or partial repaint,
// the map format and its geometry, the clip outlines, the rose and heading
// bug, the map layers in their order, the data fields and the traffic
// window.
#include <algorithm>
#include <cmath>

#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/gauge_skeleton.h"
#include "src/instruments/mfd/p1000/p1000_mfd.h"
#include "src/instruments/mfd/p1000/state.h"
#include "src/instruments/nd/shared_layers.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::p1000 {

namespace {

using display::FiniteOr;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& F() { return flightplan::flightplan_state; }

constexpr double kAirportsUpTo = 80.0;         // NM
constexpr double kRunwaysUpTo = 2.5;           // NM
constexpr double kMarkersBeyond = 8.0;         // NM to the destination
constexpr double kDescentBelowFpm = -200.0;

// The map area a partial frame erases: everything else on the surface (data
// fields, legends) stays from earlier frames.
constexpr gfx::Point kEraseUpper[] = {
    {0, 85},    {14, 85},   {50, 30},   {115, 12},  {115, 0},   {155, 0},  {155, 12}, {220, 39}, {270, 100},
    {210, 120}, {210, 175}, {135, 225}, {65, 180},  {55, 120},  {50, 105}, {50, 105}, {50, 105}, {0, 85},
};
constexpr gfx::Point kEraseLower[] = {
    {0, 125},  {23, 95},   {50, 105},  {55, 120},  {65, 180},  {135, 225}, {210, 175}, {210, 120}, {250, 90},
    {268, 98}, {268, 185}, {220, 185}, {220, 270}, {41, 270},  {41, 185},  {0, 185},   {0, 125},
};

void EraseMapArea(const P1000Frame& f) {
  const gfx::SolidBrush black(display::colour::kBlack);
  f.g.FillPolygonI(black, kEraseUpper, static_cast<int>(std::size(kEraseUpper)), gfx::FillMode::Alternate);
  f.g.FillPolygonI(black, kEraseLower, static_cast<int>(std::size(kEraseLower)), gfx::FillMode::Alternate);
}

// A full repaint paints the background and then the map area as every
// partial frame leaves it, so a background colour of the aircraft's own
// never flashes over the map once a cycle.
void Repaint(const P1000Frame& f) {
  if (f.full_repaint) display::FillCanvas(f.g, f.scale, kP1000Canvas, f.background);
  f.UseCanvas();
  EraseMapArea(f);
}

bool MenuClosed() { return M().P1000MenuOpen == 0; }
bool RouteActive() { return F().ActiveWaypointIndex != model::kNoWaypoint; }
bool MarkersShown(const P1000Frame&) { return G().DestinationDistance > kMarkersBeyond && RouteActive(); }
bool FixInfoEntered() {
  for (int n = 1; n <= 2; ++n) {
    const model::FixInfoRecord* fix = F().FixInfoTable.At(n);
    if (fix != nullptr && !fix->ident.empty()) return true;
  }
  return false;
}

// The overlays that place from the aircraft draw about the aircraft's point
// on the map, turned with the map.
int AircraftX(const P1000Frame& f) { return gfx::TruncToPixel(f.aircraft_x); }
int AircraftY(const P1000Frame& f) { return gfx::TruncToPixel(f.aircraft_y); }

void DrawBoundaries(const P1000Frame& f) {
  f.UseCanvas();
  display::DrawAtcBoundaries(f.g, f.radius, AircraftX(f), AircraftY(f), f.range, f.heading);
}
void DrawApproach(const P1000Frame& f) {
  f.UseCanvas();
  display::DrawApproachPattern(f.g, f.radius, AircraftX(f), AircraftY(f), f.range, 1.0, 1.0, f.heading);
}
void DrawRunways(const P1000Frame& f) {
  f.UseCanvas();
  display::DrawAirportRunways(f.g, f.radius, AircraftX(f), AircraftY(f), f.range, f.heading);
}
void DrawMarkers(const P1000Frame& f) {
  f.UseCanvas();
  display::DrawTodTocMarkers(f.g, f.radius, f.range, f.centre_x, f.centre_y, display::kDisplayP1000, 1.0, 1.0,
                             f.reference.latitude, f.reference.longitude, f.heading);
}
void DrawTraffic(const P1000Frame& f) {
  f.UseCanvas();
  display::DrawProviderTraffic(f.g, f.radius, f.range, AircraftX(f), AircraftY(f), display::kDisplayP1000,
                               f.heading);
}

// The waypoint labels under the map clip, the data box above it unclipped;
// then the canvas scale and the map clip again for the layers after it.
void DrawWaypointData(const P1000Frame& f) {
  f.UseCanvas();
  f.g.ResetClip();
  SetP1000MapClip(f.g, kMapClip);
  DrawP1000WaypointData(f);
  f.UseCanvas();
  SetP1000MapClip(f.g, kMapClip);
}

bool Descending(const P1000Frame& f) {
  const guidance::State& s = G();
  return M().DrawBodArcOnP1000MFD == 1 && s.ApMaster == 1.0 && s.ApAltitudeLock == 1.0 &&
         s.ApAltitudeLockVar < s.AircraftAltitude && s.VerticalSpeedFpm < kDescentBelowFpm && f.format == kArcFormat;
}

using display::Layer;
constexpr Layer<P1000Frame> kLayers[] = {
    {"navaids", [](const P1000Frame&) { return M().P1000ShowNavaids == 1; }, DrawP1000NearbyNavaids},
    {"airports", [](const P1000Frame& f) { return M().P1000ShowAirports == 1 && f.range <= kAirportsUpTo; },
     DrawP1000NearbyAirports},
    {"atc boundaries",
     [](const P1000Frame& f) {
       return MenuClosed() && M().ShowAtcBoundaries == 1 && f.variant != host::kVariantReduced;
     },
     DrawBoundaries},
    {"approach pattern",
     [](const P1000Frame&) { return MenuClosed() && navdb::navdb_state.SelectedRunwayBase != -999; }, DrawApproach},
    {"runways",
     [](const P1000Frame& f) {
       return MenuClosed() && navdb::navdb_state.AirportRunwayCount > 0 && f.range <= kRunwaysUpTo;
     },
     DrawRunways},
    {"route", [](const P1000Frame&) { return RouteActive(); }, DrawP1000RouteLegs},
    {"fix info", [](const P1000Frame&) { return FixInfoEntered(); }, DrawP1000CourseOverlay},
    {"waypoint data", [](const P1000Frame&) { return RouteActive(); }, DrawWaypointData},
    {"hold", [](const P1000Frame& f) { return nd::FirstHold() != nullptr && f.format == kArcFormat; },
     DrawP1000HoldingPattern},
    {"bod arc", Descending, DrawP1000BodArc},
    {"top of climb and descent", MarkersShown, DrawMarkers},
    {"traffic on the map",
     [](const P1000Frame&) { return M().DrawTcasWindowOnP1000MFD == 0 && M().NdShowTraffic == 1; }, DrawTraffic},
};

bool TcasWindowShown() { return M().NdShowTraffic == 1 && M().DrawTcasWindowOnP1000MFD == 1; }

// A surface shown again (a pop-up opened, the power back, the panel's copy
// after the pop-up closed) starts with a full picture.
bool HoldsWholePicture(const gfx::DeviceContext* dc) {
  const auto& whole = p1000_state.WholeSurfaces;
  return std::find(whole.begin(), whole.end(), dc) != whole.end();
}
void RememberWhole(const gfx::DeviceContext* dc) {
  auto& surfaces = p1000_state.WholeSurfaces;
  if (HoldsWholePicture(dc)) return;
  auto free = std::find(surfaces.begin(), surfaces.end(), nullptr);
  if (free == surfaces.end()) {
    // More surfaces than places: the oldest gives way (and repaints in full).
    std::rotate(surfaces.begin(), surfaces.begin() + 1, surfaces.end());
    free = surfaces.end() - 1;
  }
  *free = dc;
}
void ForgetWhole(const gfx::DeviceContext* dc) {
  for (const void*& surface : p1000_state.WholeSurfaces)
    if (surface == dc) surface = nullptr;
}

// The map outlines, in canvas units. The rose's sides pass just outside
// the compass arc where its ticks stop (65 degrees) and then below the
// labels there, which reach some 7 degrees further round at their outer
// corners: a side straight from (26, 85) to (65, 109), or from (243, 90)
// to (205, 112), ran through the labels at 60 degrees ("30" read "0").
// What the sides take in lies within the map area every frame erases.
constexpr gfx::Point kRoseOutlineTop[] = {{0, 0},    {267, 0},   {267, 90},  {267, 98},
                                          {246, 98}, {239, 117}, {208, 131}, {205, 172}};
constexpr gfx::Point kRoseOutlineMiddle[] = {{135, 215}};
constexpr gfx::Point kRoseOutlineBottom[] = {{73, 172}, {60, 131}, {29, 117}, {22, 98}, {23, 94}, {0, 85}};
// The top of the arc format's map follows a circle of about 121 units
// around the aircraft.
constexpr gfx::Point kArcMapCurve[] = {{27, 90},  {41, 70},  {56, 56},  {83, 38},  {103, 31}, {134, 27},
                                       {165, 31}, {185, 38}, {212, 56}, {227, 70}, {240, 90}};
constexpr gfx::Point kArcMapSide[] = {{268, 130}, {268, 185}, {222, 185}, {220, 185}};
constexpr gfx::Point kArcMapFoot[] = {{220, 271}, {41, 271}};
constexpr gfx::Point kArcMapFootOverWindow[] = {{220, 171}, {41, 171}};
constexpr gfx::Point kArcMapLeft[] = {{41, 185}, {0, 185}, {0, 130}, {27, 90}};
constexpr gfx::Point kCentredMapTop[] = {{0, 10}, {210, 10}, {210, 60}, {268, 60}};
constexpr gfx::Point kCentredMapFoot[] = {{268, 185}, {0, 185}};
constexpr gfx::Point kCentredMapFootOverWindow[] = {{268, 171}, {0, 171}};

template <std::size_t N>
void AddLines(gfx::GraphicsPath& path, const gfx::Point (&points)[N]) {
  path.AddLinesI(points, static_cast<int>(N));
}

}  // namespace

nd::MapView P1000Frame::View(const display::FineGrid& grid) const {
  nd::MapView v = nd::MakeMapView(kP1000MapFamily, g, display.width, display.height, centre_x, centre_y, radius,
                                  range, Centred());
  v.grid = grid;
  return v;
}

void SetP1000MapClip(gfx::Graphics& g, int mode) {
  if (mode != kRoseClip && mode != kMapClip) return;
  const bool window = TcasWindowShown();
  gfx::GraphicsPath path;
  if (mode == kRoseClip) {
    AddLines(path, kRoseOutlineTop);
    if (!window) AddLines(path, kRoseOutlineMiddle);
    AddLines(path, kRoseOutlineBottom);
  } else if (M().P1000MapFormat == kCentredFormat) {
    AddLines(path, kCentredMapTop);
    if (window)
      AddLines(path, kCentredMapFootOverWindow);
    else
      AddLines(path, kCentredMapFoot);
  } else {
    path.AddCurveI(kArcMapCurve, static_cast<int>(std::size(kArcMapCurve)));
    AddLines(path, kArcMapSide);
    if (window)
      AddLines(path, kArcMapFootOverWindow);
    else
      AddLines(path, kArcMapFoot);
    AddLines(path, kArcMapLeft);
  }
  path.CloseFigure();
  g.SetClip(path, gfx::CombineMode::Replace);
}

std::span<const display::Layer<P1000Frame>> P1000MapLayers() { return kLayers; }

void DrawP1000Mfd(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  if (dc == nullptr) return;
  display.width = size != nullptr ? size->x : dc->width;
  display.height = size != nullptr ? size->y : dc->height;
  // Places of an earlier frame are never read again.
  p1000_state.RoutePlaced.fill(false);

  gfx::Graphics g(dc);
  g.SetTextRenderingHint(gfx::TextRenderingHint::AntiAlias);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  if (G().DisplayPower == 0 || variant == host::kVariantBlank) {
    g.Clear(display::colour::kTransparent);
    ForgetWhole(dc);
    return;
  }
  const display::CanvasScale scale = display::ScaleToSurface(kP1000Canvas, display.width, display.height);
  if (!scale.usable) return;

  model::State& m = model::model_state;
  P1000Frame f{.display = display, .g = g, .variant = variant, .scale = scale, .reference = {}};
  f.background = display::BackgroundColour(m.P1000MFDBkgrdColorRed, m.P1000MFDBkgrdColorGreen,
                                            m.P1000MFDBkgrdColorBlue);
  f.full_repaint = G().DisplayRefreshCounter < 2 || !HoldsWholePicture(dc);
  RememberWhole(dc);
  Repaint(f);

  f.format = m.P1000MapFormat;
  if (f.Centred()) {
    m.P1000MapGeometry.centre_y = kCentredCentreY;
    m.P1000MapGeometry.radius = kCentredRadius;
  }
  f.centre_x = m.P1000MapGeometry.centre_x;
  f.centre_y = m.P1000MapGeometry.centre_y;
  f.radius = m.P1000MapGeometry.radius;
  f.range = m.P1000MapRange;
  f.tcas_window = TcasWindowShown();
  f.heading = f.Centred() ? 0.0 : FiniteOr(G().MapHeading);
  f.reference = nd::MapReference(f.Centred(), kP1000MapFamily.plan_centre);
  f.aircraft_x = f.centre_x;
  f.aircraft_y = f.centre_y;
  if (f.Centred()) {
    const nd::MapView v = f.View(display::CanvasGridFor(scale));
    const nd::GeoPoint aircraft = nd::AircraftPosition();
    const nd::MapPlace p = v.Place(aircraft.latitude, aircraft.longitude);
    if (p.ok) {
      f.aircraft_x += p.x;
      f.aircraft_y += p.y;
    }
  }

  f.UseCanvas();
  const display::MapPicture picture(g);
  SetP1000MapClip(g, f.format == kArcFormat ? kRoseClip : kMapClip);
  DrawP1000CompassRose(f);
  if (f.format == kArcFormat) {
    DrawP1000HeadingSelectLine(f);
    f.UseCanvas();
    g.ResetClip();
    SetP1000MapClip(g, kMapClip);
  }
  display::DrawLayers(P1000MapLayers(), f);

  f.UseCanvas();
  g.ResetClip();
  DrawP1000DataFields(f);
  g.ResetClip();
  if (f.tcas_window) DrawP1000TcasWindow(f);
}

}  // namespace ovi::p1000
