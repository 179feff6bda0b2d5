// The frame of the B737 navigation display: canvas, background, outline
// clip, the map geometry of each mode and the order of the layers.
#include <array>
#include <cmath>

#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/instruments/nd/nd_picture.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::nd {

void B737NdFrame::UseCanvas() const { nd::UseCanvas(g, scale); }

void B737NdFrame::UseOrigin(float x, float y, double rotation) const { nd::UseOrigin(g, scale, x, y, rotation); }

void B737NdFrame::UseMapOrigin() const {
  UseOrigin(static_cast<float>(center_x), static_cast<float>(center_y));
}

void B737NdFrame::SetMapScale() const {
  if (pixels_per_nm > 0.0 && std::isfinite(pixels_per_nm)) display::display_state.MapPixelsPerNm = pixels_per_nm;
}

namespace {

// The traffic symbols' style of the B737 family.
constexpr std::int32_t kB737TrafficStyle = 0;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& F() { return flightplan::flightplan_state; }

bool MapModeBelowPlan(const B737NdFrame& f) { return f.mode < kB737NdModePlan; }

// --- The shared overlays, called with the frame's geometry ------------------
void DrawRunwaysLayer(const B737NdFrame& f) {
  f.UseCanvas();
  display::DrawAirportRunways(f.g, f.radius, f.center_x, f.center_y, f.range);
}

bool HoldAttached(const B737NdFrame& f) {
  return F().HoldTable[1].active_index > 0 && MapModeBelowPlan(f);
}
void DrawHoldLayer(const B737NdFrame& f) {
  DrawNdHoldingPattern(f, f.radius, f.center_x, f.center_y, f.range);
}

bool FixInfoSet(const B737NdFrame& /*f*/) {
  return !F().FixInfoTable[1].ident.empty() || !F().FixInfoTable[2].ident.empty();
}

bool TunedStationReceived(const B737NdFrame& f) {
  return host::GetNav1Signal() > 0.0 && G().Nav1DmeDistance > 0.0 && host::IsNav1Localizer() == 0 &&
         MapModeBelowPlan(f);
}

bool AltitudeArcArmed(const B737NdFrame& f) {
  return G().ApMaster == 1.0 && G().ApAltitudeLock == 1.0 && G().ApAltitudeLockVar < G().AircraftAltitude &&
         G().VerticalSpeedFpm < -200.0 && MapModeBelowPlan(f);
}

bool PendingRouteShown(const B737NdFrame& /*f*/) {
  return F().RouteState == 1 || F().RouteState == 2 || F().RouteState == 4;
}

const std::array<B737NdLayer, 12> kMapLayers = {{
    {"atc boundaries",
     [](const B737NdFrame& f) { return M().ShowAtcBoundaries == 1 && MapModeBelowPlan(f) && f.variant != 3; },
     DrawNdAtcBoundaries},
    {"runways",
     [](const B737NdFrame& f) {
       return navdb::navdb_state.AirportRunwayCount > 0 && MapModeBelowPlan(f) && f.range <= 2.5;
     },
     DrawRunwaysLayer},
    {"route", [](const B737NdFrame&) { return true; }, DrawNdRoute},
    {"fix info", FixInfoSet, DrawFixInfoOverlay},
    {"tuned station", TunedStationReceived, DrawTunedStationCourseLine},
    {"navaids", [](const B737NdFrame& f) { return M().NdShowNavaids == 1 && f.range <= 160.0; }, DrawNdNavaids},
    {"airports", [](const B737NdFrame& f) { return M().NdShowAirports == 1 && f.range <= 160.0; }, DrawNdAirports},
    {"intersections",
     [](const B737NdFrame& f) { return M().NdShowIntersections == 1 && f.range <= 40.0 && f.variant != 3; },
     DrawNdIntersections},
    {"holding pattern", HoldAttached, DrawHoldLayer},
    {"pending route", PendingRouteShown, DrawNdPendingRoute},
    {"trend vector", MapModeBelowPlan, DrawNdTrendVector},
    {"altitude arc", AltitudeArcArmed, DrawAltitudeRangeArc},
}};

void DrawTrafficLayer(const B737NdFrame& f) {
  f.UseCanvas();
  f.g.RotateTransform(0.0f);
  display::DrawProviderTraffic(f.g, f.radius, f.range, f.center_x, f.center_y, kB737TrafficStyle);
}

// The display's outline: the top edge is an arc of radius 175 about
// (123, 207); the corners above it stay background.
void ClipToOutline(gfx::Graphics& g) {
  gfx::GraphicsPath outline;
  outline.AddArc(-52.0f, 32.0f, 350.0f, 350.0f, 225.0f, 89.0f);
  const gfx::PointF rest[] = {{244.0f, 79.0f}, {244.0f, 302.0f}, {0.0f, 302.0f}, {0.0f, 81.0f}};
  outline.AddLines(rest, 4);
  outline.CloseFigure();
  g.SetClip(outline);
}

}  // namespace

std::span<const B737NdLayer> B737NdMapLayers() { return kMapLayers; }

B737NdFrame MakeB737NdFrame(gfx::Graphics& g, display::GaugeDisplay& display, int variant) {
  B737NdFrame f{.g = g, .display = display, .scale = {}, .grid = {}};
  f.variant = variant;
  f.mode = M().HWB737NDMode;
  f.range = FiniteOr(M().NdRange);
  f.scale = ScaleToSurface(kB737NdCanvas, display.width, display.height);
  f.grid = FineGridFor(kB737NdCanvas, display.width, display.height);
  f.background = BackgroundColour(M().HWB737NDBkgrdColorRed, M().HWB737NDBkgrdColorGreen,
                                  M().HWB737NDBkgrdColorBlue);
  if (f.mode >= 3 && f.mode <= kB737NdModePlan) {
    const bool centred = f.mode >= 6;
    nd_state.NdCenterY = centred ? kCentredCenterY : kArcCenterY;
    nd_state.NdArcRadius = centred ? kCentredRadius : kArcRadius;
  }
  f.center_y = nd_state.NdCenterY;
  f.radius = nd_state.NdArcRadius;
  f.pixels_per_nm = f.range > 0.0 ? f.radius / f.range : 0.0;
  f.map_heading = f.Plan() ? 0.0 : FiniteOr(G().MapHeading);
  const GeoPoint reference = MapReference(f.Plan(), kB737MapFamily.plan_centre);
  f.ref_latitude = reference.latitude;
  f.ref_longitude = reference.longitude;
  return f;
}

void DrawB737NavigationDisplay(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size,
                               int variant) {
  DrawNdPicture(display, dc, size, variant, kB737NdCanvas, false, MakeB737NdFrame, [](const B737NdFrame& f) {
    gfx::Graphics& g = f.g;
    ClipToOutline(g);
    const display::MapPicture picture(g);
    if (f.mode == 1 || f.mode == 2) {
      DrawFullCompassRose(f);
    } else if (f.mode >= 3 && f.mode <= kB737NdModePlan) {
      KeepNdReadoutsClear(f);
      if (f.mode >= 5) DrawLayers(B737NdMapLayers(), f);
      if (M().NdShowTraffic == 1 && MapModeBelowPlan(f)) DrawTrafficLayer(f);
      g.ResetClip();
      DrawExpandedCompassArc(f);
    }
    g.ResetClip();
    DrawNdDataBlocks(f);
  });
}

}  // namespace ovi::nd
