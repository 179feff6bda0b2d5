// The frame of the MD-11 navigation display: canvas, background, the map
// geometry of each mode, the layer tables of MAP and PLAN, and the two small
// layers of its own (altitude range arc, ATC boundaries).
#include <array>
#include <cmath>

#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/nd_picture.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::nd {

void Md11NdFrame::UseCanvas() const { nd::UseCanvas(g, scale); }

void Md11NdFrame::UseOrigin(float x, float y, double rotation) const { nd::UseOrigin(g, scale, x, y, rotation); }

double Md11NdFrame::PixelsPerNm() const {
  const double ppn = range > 0.0 ? radius / range : 0.0;
  return std::isfinite(ppn) ? ppn : 0.0;
}

int Md11MapRadiusForMode(int mode, int current) {
  if (mode == kMd11NdModePlan) return kMd11PlanRadius;
  if (mode == kMd11NdModeMap) return kMd11MapRadius;
  return current;
}

namespace {

// The traffic symbols' style of the MD-11 family.
constexpr std::int32_t kMd11TrafficStyle = display::kDisplayMd11;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& F() { return flightplan::flightplan_state; }

bool Always(const Md11NdFrame&) { return true; }
bool FixInfoSet(const Md11NdFrame&) {
  return !F().FixInfoTable[1].ident.empty() || !F().FixInfoTable[2].ident.empty();
}
bool BoundariesShown(const Md11NdFrame& f) { return M().ShowAtcBoundaries == 1 && f.variant != 3; }
bool AltitudeArcArmed(const Md11NdFrame&) {
  return G().ApMaster == 1.0 && G().ApAltitudeLock == 1.0 && G().ApAltitudeLockVar < G().AircraftAltitude &&
         G().VerticalSpeedFpm < -200.0;
}

// The layers that take the display object and the graphics.
template <void (*Draw)(const display::GaugeDisplay&, gfx::Graphics&)>
void Shared(const Md11NdFrame& f) {
  Draw(f.display, f.g);
}

void Recanvas(const Md11NdFrame& f) { f.UseCanvas(); }
void Traffic(const Md11NdFrame& f) {
  display::DrawProviderTraffic(f.g, f.radius, f.range, f.center_x, f.center_y, kMd11TrafficStyle);
}
void Runways(const Md11NdFrame& f) {
  f.UseCanvas();
  display::DrawAirportRunways(f.g, f.radius, f.center_x, f.center_y, f.range);
}

const std::array<Md11NdLayer, 10> kMapLayers = {{
    {"route", Always, Shared<DrawMd11NdRoute>},
    {"fix info", FixInfoSet, Shared<DrawMd11NdFixInfo>},
    {"navaids", [](const Md11NdFrame& f) { return M().Md11NdShowNavaids == 1 && f.range <= 320.0; },
     Shared<DrawMd11NdNavaids>},
    {"airports", [](const Md11NdFrame& f) { return M().Md11NdShowAirports == 1 && f.range <= 160.0; },
     Shared<DrawMd11NdAirports>},
    {"intersections", [](const Md11NdFrame& f) { return M().Md11NdShowIntersections == 1 && f.range <= 80.0; },
     Shared<DrawMd11NdIntersections>},
    {"canvas", Always, Recanvas},
    {"traffic", [](const Md11NdFrame&) { return M().NdShowTraffic == 1; }, Traffic},
    {"altitude arc", AltitudeArcArmed, DrawMd11NdAltitudeRangeArc},
    {"runways",
     [](const Md11NdFrame& f) { return navdb::navdb_state.AirportRunwayCount > 0 && f.range <= 2.5; }, Runways},
    {"atc boundaries", BoundariesShown, DrawMd11NdAtcBoundaries},
}};

const std::array<Md11NdLayer, 7> kPlanLayers = {{
    {"plan rose", Always, DrawMd11NdPlanRose},
    {"route", Always, Shared<DrawMd11NdRoute>},
    {"fix info", FixInfoSet, Shared<DrawMd11NdFixInfo>},
    {"navaids", [](const Md11NdFrame& f) { return M().Md11NdShowNavaids == 1 && f.range <= 160.0; },
     Shared<DrawMd11NdNavaids>},
    {"airports", [](const Md11NdFrame& f) { return M().Md11NdShowAirports == 1 && f.range <= 160.0; },
     Shared<DrawMd11NdAirports>},
    {"intersections", [](const Md11NdFrame& f) { return M().Md11NdShowIntersections == 1 && f.range <= 80.0; },
     Shared<DrawMd11NdIntersections>},
    {"atc boundaries", BoundariesShown, DrawMd11NdAtcBoundaries},
}};

}  // namespace

std::span<const Md11NdLayer> Md11NdMapLayers() { return kMapLayers; }
std::span<const Md11NdLayer> Md11NdPlanLayers() { return kPlanLayers; }

void DrawMd11NdAltitudeRangeArc(const Md11NdFrame& f) {
  const double vs = FiniteOr(G().VerticalSpeedFpm);
  const double ppn = f.PixelsPerNm();
  if (!(vs < 0.0) || ppn <= 0.0) return;
  f.UseOrigin(static_cast<float>(f.center_x), static_cast<float>(f.center_y));
  display::display_state.MapPixelsPerNm = ppn;
  const double ahead = (FiniteOr(G().AircraftAltitude) - FiniteOr(G().ApAltitudeLockVar)) / vs *
                       (FiniteOr(G().GroundSpeedKnots) / 60.0) * ppn;
  const gfx::Pen green(colour::kGreen, 2.0f);
  f.g.DrawArcI(green, -75, gfx::TruncToPixel(ahead), 150, 150, 220.0f, 100.0f);
}

void DrawMd11NdAtcBoundaries(const Md11NdFrame& f) {
  f.UseOrigin(static_cast<float>(f.center_x), static_cast<float>(f.center_y));
  display::DrawAtcBoundaries(f.g, f.radius, 0, 0, f.range, f.Plan() ? 0.0 : FiniteOr(G().MapHeading));
}

Md11NdFrame MakeMd11NdFrame(gfx::Graphics& g, display::GaugeDisplay& display, int variant) {
  Md11NdFrame f{.g = g, .display = display, .scale = {}};
  f.variant = variant;
  f.mode = M().HWMD11NDMode;
  f.range = FiniteOr(M().Md11NdRange);
  f.scale = ScaleToSurface(kMd11NdCanvas, display.width, display.height);
  f.background = BackgroundColour(M().HWMD11NDBkgrdColorRed, M().HWMD11NDBkgrdColorGreen,
                                  M().HWMD11NDBkgrdColorBlue);
  nd_state.Md11NdCenterY = f.Plan() ? kMd11PlanCenterY : kMd11ArcCenterY;
  f.center_x = nd_state.Md11NdCenterX;
  f.center_y = nd_state.Md11NdCenterY;
  f.radius = nd_state.Md11NdMapRadius;
  return f;
}

void DrawMd11NavigationDisplay(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size,
                               int variant) {
  DrawNdPicture(display, dc, size, variant, kMd11NdCanvas, true, MakeMd11NdFrame, [](const Md11NdFrame& f) {
    const display::MapPicture picture(f.g);
    if (f.Plan()) {
      DrawLayers(Md11NdPlanLayers(), f);
    } else {
      DrawMd11NdCompassArc(f);
      if (f.mode == kMd11NdModeMap) DrawLayers(Md11NdMapLayers(), f);
    }
    // The compass routines leave their clip set: the data blocks use the
    // corners it keeps free.
    f.g.ResetClip();
    DrawMd11NdDataBlocks(f);
  });
}

}  // namespace ovi::nd
