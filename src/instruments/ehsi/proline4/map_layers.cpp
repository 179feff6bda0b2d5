// The map contents of both map pages: north up about the PLAN centre on the
// map page (mode 2, radius 70 about (123, 155), clipped below the data
// window), heading up about the aircraft on the arc map page (mode 3,
// radius 140 about (123, 220), clipped to its outer ring), the layers in
// the order of their table.
#include <iterator>
#include <span>

#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/map.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/instruments/nd/shared_layers.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::ehsi {

namespace {

const model::State& M() { return model::model_state; }

constexpr double kTrafficRange = 160.0;
// The racetrack's turns are three quarters of a leg wide, as on the
// DU-1000.
constexpr double kHoldTurnWidth = 0.75;
constexpr int kAltitudeArcBox = 90;

// The map page's area below the data window, its top-left corner cut on a
// diagonal; centre-relative.
constexpr gfx::PointF kMapPageClip[] = {{-80, -80}, {123, -80}, {123, 138}, {-123, 138}, {-123, -40}};

bool ArcMap(const EhsiMap& m) { return m.mode == 3; }

void Route(const EhsiMap& m) { DrawEhsiRoute(m, kProline4RouteStyle); }

void Markers(const EhsiMap& m) { DrawEhsiMarkers(m, display::kDisplayDu1000Map); }
void Traffic(const EhsiMap& m) { DrawEhsiTraffic(m, display::kDisplayProLine4); }

void Aircraft(const EhsiMap& m) { DrawPlanAircraft(m, kProline4AircraftSymbol); }

constexpr display::Layer<EhsiMap> kLayers[] = {
    {"navaids", [](const EhsiMap& m) { return EhsiPointsShown(m, nd::kProline4NavaidLayer); }, DrawProline4Navaids},
    {"airports", [](const EhsiMap& m) { return EhsiPointsShown(m, nd::kProline4AirportLayer); },
     DrawProline4Airports},
    {"intersections", [](const EhsiMap& m) { return EhsiPointsShown(m, nd::kProline4IntersectionLayer); },
     DrawProline4Intersections},
    {"route", [](const EhsiMap&) { return ActiveRouteIndex() >= 0; }, Route},
    {"markers", ArcMap, Markers},
    {"approach pattern",
     [](const EhsiMap& m) { return ArcMap(m) && navdb::navdb_state.SelectedRunwayBase != -999; },
     DrawEhsiApproachPattern},
    {"hold", [](const EhsiMap&) { return nd::FirstHold() != nullptr; }, DrawProline4HoldingPattern},
    {"traffic",
     [](const EhsiMap& m) { return ArcMap(m) && M().NdShowTraffic == 1 && m.view.range <= kTrafficRange; },
     Traffic},
    {"atc boundaries", [](const EhsiMap& m) { return M().ShowAtcBoundaries == 1 && m.variant != 3; },
     DrawProline4AtcBoundaries},
    {"aircraft", [](const EhsiMap& m) { return m.mode == 2; }, Aircraft},
    {"altitude arc", [](const EhsiMap& m) { return ArcMap(m) && AltitudeRangeArcWanted(); },
     DrawProline4AltitudeRangeArc},
};

// The wind's text and arrow at the upper left, and on the arc map the
// selected heading's readout beside them while the bug moves, stand inside
// the map's clip: kept clear of the map.
void KeepProline4ReadoutsClear(const display::GaugeDisplay& display, gfx::Graphics& g, bool arc) {
  gfx::Matrix kept;
  g.GetTransform(&kept);
  display::UseCanvas(g, display::ScaleToSurface(kProline4Canvas, display.width, display.height));
  display::KeepMapClear(g, gfx::RectF(0.0f, 57.0f, 58.0f, 14.0f));
  if (display::FiniteOr(guidance::guidance_state.WindSpeed) >= 1.0) display::KeepMapClear(g, gfx::RectF(8.0f, 78.0f, 24.0f, 24.0f));
  if (arc && guidance::guidance_state.HeadingBugDisplayTicks > 0) display::KeepMapClear(g, gfx::RectF(45.0f, 60.0f, 46.0f, 12.0f));
  g.SetTransform(kept);
}

}  // namespace

std::span<const display::Layer<EhsiMap>> Proline4MapLayerTable() { return kLayers; }

EhsiMap Proline4Map(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const int mode = M().PROLINE4MFDMode;
  const bool plan = mode == 2;
  return MakeEhsiMap(kProline4MapFamily, display, g, kProline4CentreX, plan ? kProline4MapY : kProline4ArcMapY,
                     M().Proline4MapRadius, M().Proline4MapRange, plan, mode, variant);
}

void DrawProline4Navaids(const EhsiMap& m) { DrawEhsiPoints(m, nd::kProline4NavaidLayer); }
void DrawProline4Airports(const EhsiMap& m) { DrawEhsiPoints(m, nd::kProline4AirportLayer); }
void DrawProline4Intersections(const EhsiMap& m) { DrawEhsiPoints(m, nd::kProline4IntersectionLayer); }
void DrawProline4HoldingPattern(const EhsiMap& m) { DrawEhsiHold(m, kHoldTurnWidth); }
void DrawProline4AtcBoundaries(const EhsiMap& m) { DrawEhsiAtcBoundaries(m); }

void DrawProline4AltitudeRangeArc(const EhsiMap& m) {
  const nd::MapView& v = m.view;
  display::UseOrigin(*v.g, v.scale, kProline4CentreX, kProline4ArcMapY);
  DrawAltitudeRangeArc(*v.g, v.radius, v.range, kAltitudeArcBox);
}

void DrawProline4MapLayers(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const EhsiMap map = Proline4Map(display, g, variant);
  const nd::MapView& v = map.view;
  // A range that gives no scale draws no map contents.
  if (!v.Usable()) return;
  v.UsePlain();
  gfx::GraphicsPath clip;
  if (map.Plan()) {
    clip.AddPolygon(kMapPageClip, static_cast<int>(std::size(kMapPageClip)));
  } else {
    clip.AddEllipse(-140.0f, -140.0f, 280.0f, 280.0f);
  }
  g.SetClip(clip);
  KeepProline4ReadoutsClear(display, g, !map.Plan());
  v.SetMapScale();
  const display::MapPicture picture(g);
  display::DrawLayers<EhsiMap>(kLayers, map);
  g.ResetClip();
}

}  // namespace ovi::ehsi
