// The map contents of modes 2 and 3: heading up about the aircraft under the
// arc (mode 3, clipped to the compass circle) or north up about a route
// waypoint under the centred map rose (mode 2, no clip), with the layers in
// the order of their table.
#include <iterator>
#include <span>
#include <string>

#include "src/display/labels.h"
#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/du1000/du1000.h"
#include "src/instruments/ehsi/map.h"
#include "src/instruments/ehsi/state.h"
#include "src/instruments/nd/shared_layers.h"
#include "src/model/state.h"
#include "src/navdb/procedure_state.h"
#include "src/navdb/state.h"

namespace ovi::ehsi {

namespace {

using display::FiniteOr;
using display::colour::kWhite;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }

constexpr double kRunwayReachNm = 100.0;
constexpr double kRunwayLinesBelowRange = 60.0;
constexpr int kRunwayNumberField = 4;
constexpr double kAirportRunwaysRange = 2.5;
// The racetrack's turns are three quarters of a leg wide.
constexpr double kHoldTurnWidth = 0.75;

bool ArcMap(const EhsiMap& m) { return m.mode != 2; }
bool CentredMap(const EhsiMap& m) { return m.mode == 2; }

void Route(const EhsiMap& m) { DrawEhsiRoute(m, kDu1000RouteStyle); }
void DepartureRunway(const EhsiMap& m) { DrawDu1000SelectedRunways(m, 1); }
void ArrivalRunway(const EhsiMap& m) { DrawDu1000SelectedRunways(m, 2); }

// The markers on the route's fine grid; traffic and the airport's runways
// on the canvas units about the arc centre, the frame the 234-unit radius
// they are given belongs to.
void Markers(const EhsiMap& m) { DrawEhsiMarkers(m, display::kDisplayDu1000Map); }
void Traffic(const EhsiMap& m) { DrawEhsiTraffic(m, display::kDisplayDu1000); }

void Aircraft(const EhsiMap& m) { DrawPlanAircraft(m, kDu1000AircraftSymbol); }

bool AnyFixInfo() {
  const flightplan::State& f = flightplan::flightplan_state;
  for (int n = 1; n <= 2; ++n)
    if (const model::FixInfoRecord* fix = f.FixInfoTable.At(n); fix != nullptr && !fix->ident.empty()) return true;
  return false;
}

int SelectedRunway(int which) {
  return navdb::procedure_state.AirportProcedureSets[which].SelectedRunwayIndex;
}

constexpr display::Layer<EhsiMap> kLayers[] = {
    {"navaids", [](const EhsiMap& m) { return EhsiPointsShown(m, nd::kDu1000NavaidLayer); }, DrawDu1000Navaids},
    {"airports", [](const EhsiMap& m) { return EhsiPointsShown(m, nd::kDu1000AirportLayer); }, DrawDu1000Airports},
    {"airway points", [](const EhsiMap& m) { return EhsiPointsShown(m, nd::kDu1000AirwayPointLayer); },
     DrawDu1000AirwayPoints},
    {"departure runway", [](const EhsiMap&) { return SelectedRunway(1) > 0; }, DepartureRunway},
    {"arrival runway", [](const EhsiMap&) { return SelectedRunway(2) > 0; }, ArrivalRunway},
    {"route", [](const EhsiMap&) { return ActiveRouteIndex() >= 0; }, Route},
    {"hold", [](const EhsiMap&) { return nd::FirstHold() != nullptr; }, DrawDu1000Hold},
    {"fix info", [](const EhsiMap& m) { return ArcMap(m) && AnyFixInfo(); }, DrawDu1000FixInfo},
    {"markers", ArcMap, Markers},
    {"approach pattern",
     [](const EhsiMap& m) { return ArcMap(m) && navdb::navdb_state.SelectedRunwayBase != -999; },
     DrawEhsiApproachPattern},
    {"traffic", [](const EhsiMap& m) { return ArcMap(m) && M().NdShowTraffic == 1; }, Traffic},
    {"atc boundaries", [](const EhsiMap& m) { return ArcMap(m) && M().ShowAtcBoundaries == 1 && m.variant != 3; },
     DrawDu1000AtcBoundaries},
    {"airport runways",
     [](const EhsiMap& m) {
       return ArcMap(m) && navdb::navdb_state.AirportRunwayCount > 0 && m.view.range <= kAirportRunwaysRange;
     },
     DrawEhsiAirportRunways},
    {"aircraft", CentredMap, Aircraft},
};

}  // namespace

std::span<const display::Layer<EhsiMap>> Du1000MapLayerTable() { return kLayers; }

EhsiMap Du1000Map(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const int mode = M().DU1000EHSIMode;
  const bool plan = mode == 2;
  return MakeEhsiMap(kDu1000MapFamily, display, g, kDu1000RoseX, plan ? kDu1000RoseY : kDu1000ArcY,
                     ehsi_state.Du1000MapRadius, M().Du1000EhsiRange, plan, mode, variant);
}

void DrawDu1000Navaids(const EhsiMap& m) { DrawEhsiPoints(m, nd::kDu1000NavaidLayer); }
void DrawDu1000Airports(const EhsiMap& m) { DrawEhsiPoints(m, nd::kDu1000AirportLayer); }
void DrawDu1000AirwayPoints(const EhsiMap& m) { DrawEhsiPoints(m, nd::kDu1000AirwayPointLayer); }

void DrawDu1000Hold(const EhsiMap& m) { DrawEhsiHold(m, kHoldTurnWidth); }

void DrawDu1000FixInfo(const EhsiMap& m) { nd::DrawFixInfoOnMap(m.view, nd::kDu1000FixInfo); }

void DrawDu1000AtcBoundaries(const EhsiMap& m) { DrawEhsiAtcBoundaries(m); }

// Number, heading, threshold and the 100 NM reach all come from the
// procedure set's runway record; its index must lie within both that set's
// runways and the airport runway table, whose entries share the index.
void DrawDu1000SelectedRunways(const EhsiMap& m, int which) {
  const nd::MapView& v = m.view;
  if (!v.Usable() || (which != 1 && which != 2)) return;
  const model::AirportProcedureSet& set = navdb::procedure_state.AirportProcedureSets[which];
  const int index = set.SelectedRunwayIndex;
  if (index < 1 || index > set.RunwayCount || index > navdb::navdb_state.AirportRunwayCount) return;
  const model::RunwayRecord* runway = set.Runways.At(index);
  if (runway == nullptr) return;
  const nd::MapPlace p = v.Place(runway->latitude, runway->longitude);
  if (!p.ok || !(p.distance < kRunwayReachNm)) return;

  gfx::Graphics& g = *v.g;
  v.UseFineGrid();
  v.SetMapScale();
  const gfx::Font font = display::ArialBold(static_cast<float>(v.FineX(15.0)));
  const gfx::SolidBrush white(kWhite);
  const std::string number = display::FitLabel(runway->number_text, kRunwayNumberField);
  const gfx::PointF text(static_cast<gfx::REAL>(v.X(p.x) + v.FineX(8.0)), static_cast<gfx::REAL>(v.Y(p.y)));
  display::WriteMapLabel(g, runway->number_text, v.X(p.x), v.Y(p.y), display::MapText{number, font, text}, white);
  // The runway's magnetic heading turned against the aircraft's on the arc
  // map; north up it takes the variation (the true heading's difference).
  const double turn = FiniteOr(runway->heading) - FiniteOr(G().AircraftHeading) + FiniteOr(G().MapHeading) -
                      v.rotation;
  v.UseFineGridAt(v.origin_x + p.x, v.origin_y + p.y, turn);
  const gfx::Pen pen(kWhite, static_cast<gfx::REAL>(v.FineY(2.0)));
  if (v.range < kRunwayLinesBelowRange) {
    g.DrawLineI(pen, v.X(-4.0), 0, v.X(-4.0), v.Y(-40.0));
    g.DrawLineI(pen, v.X(4.0), 0, v.X(4.0), v.Y(-40.0));
    return;
  }
  const gfx::Point outline[] = {{0, 0},
                                {0, v.Y(5.0)},
                                {v.X(4.0), v.Y(5.0)},
                                {v.X(4.0), v.Y(-10.0)},
                                {v.X(-4.0), v.Y(-10.0)},
                                {v.X(-4.0), v.Y(5.0)},
                                {0, v.Y(5.0)}};
  g.DrawLinesI(pen, outline);
}

void DrawDu1000MapLayers(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const EhsiMap map = Du1000Map(display, g, variant);
  const nd::MapView& v = map.view;
  // A range that gives no scale draws no map contents.
  if (!v.Usable()) return;
  if (!map.Plan()) {
    v.UsePlain();
    const float r = static_cast<float>(v.radius);
    gfx::GraphicsPath compass;
    compass.AddEllipse(-r, -r, 2.0f * r, 2.0f * r);
    g.SetClip(compass);
    // The wind readout in the lower left corner stands inside the circle.
    display::UseCanvas(g, display::ScaleToSurface(kDu1000Canvas, display.width, display.height));
    display::KeepMapClear(g, gfx::RectF(0.0f, 276.0f, 58.0f, 34.0f));
  }
  v.SetMapScale();
  const display::MapPicture picture(g);
  display::DrawLayers<EhsiMap>(kLayers, map);
  g.ResetClip();
}

}  // namespace ovi::ehsi
