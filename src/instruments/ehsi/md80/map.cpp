// The plan (mode 2) and map (mode 3) modes: the arc's pieces over a map
// clipped to the arc's circle, heading up about the aircraft at (133, 204)
// or north up about the PLAN centre 70 units higher, with the distance and
// arrival time to the active waypoint above the arc.
#include <cmath>
#include <span>

#include "src/display/kit.h"
#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/ehsi/map.h"
#include "src/instruments/ehsi/md80/md80.h"
#include "src/instruments/ehsi/md80/radio_fields.h"
#include "src/instruments/ehsi/state.h"
#include "src/instruments/nd/shared_layers.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::ehsi {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;
using display::FiniteOr;
using display::colour::kWhite;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }

constexpr int kMapRadius = 180;
constexpr int kPlanCentreRise = 70;
constexpr double kTimesShownAbove = 30.0;  // kt
constexpr double kAirportRunwaysRange = 2.5;
// The racetrack works with half-widths: its turns are half a leg wide.
constexpr double kHoldTurnWidth = 0.5;
constexpr int kAltitudeArcBox = 150;

constexpr Segment kAircraftLines[] = {{{0, 0}, {10, 20}}, {{10, 20}, {-10, 20}}, {{-10, 20}, {0, 0}}};
constexpr Shape kAircraftTriangle{kWhite, 2.0f, kAircraftLines, {}};
constexpr Segment kNorthArrowLines[] = {{{120, 10}, {120, 30}}, {{120, 10}, {117, 15}}, {{120, 10}, {123, 15}}};
constexpr Shape kNorthArrow{kWhite, 1.0f, kNorthArrowLines, {}};

// The map mode's wind: its speed at (5, 170), the arrow about (10, 150).
constexpr Md80RadioFields kMapFields{.font = display::DaReredBold,
                                     .dme1_at = {},
                                     .dme2_at = {},
                                     .dme_label_below = 0.0f,
                                     .glideslope = {},
                                     .wind_text_at = {5.0f, 170.0f},
                                     .wind_arrow_at = {10.0f, 150.0f}};

bool MapMode(const EhsiMap& m) { return m.mode == 3; }

void Markers(const EhsiMap& m) { DrawEhsiMarkers(m, display::kDisplayB737); }
void Traffic(const EhsiMap& m) { DrawEhsiTraffic(m, display::kDisplayMd11); }

constexpr display::Layer<EhsiMap> kLayers[] = {
    {"markers", MapMode, Markers},
    {"navaids", [](const EhsiMap& m) { return MapMode(m) && EhsiPointsShown(m, nd::kMd80NavaidLayer); },
     DrawMd80EhsiNavaids},
    {"airports", [](const EhsiMap& m) { return MapMode(m) && EhsiPointsShown(m, nd::kMd80AirportLayer); },
     DrawMd80EhsiAirports},
    {"intersections", [](const EhsiMap& m) { return MapMode(m) && EhsiPointsShown(m, nd::kMd80IntersectionLayer); },
     DrawMd80EhsiIntersections},
    {"route", [](const EhsiMap&) { return ActiveRouteIndex() >= 0; }, DrawMd80EhsiRoute},
    {"approach pattern",
     [](const EhsiMap& m) { return MapMode(m) && navdb::navdb_state.SelectedRunwayBase != -999; },
     DrawEhsiApproachPattern},
    {"hold", [](const EhsiMap&) { return nd::FirstHold() != nullptr; }, DrawMd80EhsiHoldingPattern},
    {"traffic", [](const EhsiMap& m) { return MapMode(m) && M().NdShowTraffic == 1; }, Traffic},
    {"altitude arc", [](const EhsiMap& m) { return MapMode(m) && AltitudeRangeArcWanted(); },
     DrawMd80EhsiAltitudeRangeArc},
    {"airport runways",
     [](const EhsiMap& m) {
       return MapMode(m) && navdb::navdb_state.AirportRunwayCount > 0 && m.view.range <= kAirportRunwaysRange;
     },
     DrawEhsiAirportRunways},
    {"atc boundaries", [](const EhsiMap& m) { return MapMode(m) && M().ShowAtcBoundaries == 1 && m.variant != 3; },
     DrawMd80EhsiAtcBoundaries},
};

// Distance to the active waypoint, and its arrival time above 30 kt.
void DrawDistanceAndArrival(const RoseFrame& f) {
  f.At();
  const gfx::Font font = display::DaReredBold(13.0f);
  const gfx::SolidBrush white(kWhite);
  const double distance = FiniteOr(G().ActiveWaypointDistance);
  if (distance < 100.0)
    DrawScreenTextF(f.g, font, white, -133.0f, -200.0f, "%-3.1fNM", distance);
  else
    DrawScreenTextF(f.g, font, white, -133.0f, -200.0f, "%-3.0fNM", distance);
  DrawScreenText(f.g, font, white, -133.0f, -187.0f, "DTW");
  if (!(G().GroundSpeedKnots > kTimesShownAbove)) return;
  const Md80Clock eta = Md80ArrivalOver(distance, G().GroundSpeedKnots);
  DrawScreenTextF(f.g, font, white, 85.0f, -200.0f, "%02d%02dZ", eta.hours, eta.minutes);
  DrawScreenText(f.g, font, white, 90.0f, -187.0f, "ETA");
}

// The plan ring: two half circles 70 units across about centres 15 units
// apart, with half the range written on both sides, though the map puts
// half the range 90 units out: kept as the display has always drawn it.
void DrawPlanRing(const RoseFrame& f) {
  f.At();
  const gfx::Pen white(kWhite, 2.0f);
  f.g.DrawArcI(white, -70, -75, 140, 140, 180.0f, 180.0f);
  DrawMd80HalfRangeFigure(f, -85.0f, -5.0f);
  DrawMd80HalfRangeFigure(f, 55.0f, -5.0f);
  f.At();
  f.g.DrawArcI(white, -70, -60, 140, 140, 0.0f, 180.0f);
}

}  // namespace

Md80Clock Md80ArrivalOver(double distance, double ground_speed) {
  Md80Clock c;
  distance = FiniteOr(distance);
  ground_speed = FiniteOr(ground_speed);
  const double minutes = ground_speed > 0.0 ? std::fmax(0.0, distance / ground_speed * 60.0) : 0.0;
  // Whole minutes of the clock before the hour is carried and wrapped, so
  // neither 60 minutes nor hour 24 is ever written.
  double total = std::round(FiniteOr(G().ZuluHour) * 60.0 + FiniteOr(G().ZuluMinute) + FiniteOr(minutes));
  total = std::fmod(total, 24.0 * 60.0);
  if (total < 0.0) total += 24.0 * 60.0;
  c.hours = static_cast<int>(total / 60.0);
  c.minutes = static_cast<int>(total - c.hours * 60.0);
  return c;
}

std::span<const display::Layer<EhsiMap>> Md80MapLayerTable() { return kLayers; }

EhsiMap Md80Map(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  const int mode = M().MD80EHSIMode;
  return MakeEhsiMap(kMd80MapFamily, display, g, ehsi_state.Md80EhsiCentreX, ehsi_state.Md80EhsiCentreY, kMapRadius,
                     M().Md80EhsiMapRange, mode == 2, mode, variant);
}

void DrawMd80EhsiNavaids(const EhsiMap& m) { DrawEhsiPoints(m, nd::kMd80NavaidLayer); }
void DrawMd80EhsiAirports(const EhsiMap& m) { DrawEhsiPoints(m, nd::kMd80AirportLayer); }
void DrawMd80EhsiIntersections(const EhsiMap& m) { DrawEhsiPoints(m, nd::kMd80IntersectionLayer); }
void DrawMd80EhsiRoute(const EhsiMap& m) { DrawEhsiRoute(m, kMd80RouteStyle); }
void DrawMd80EhsiHoldingPattern(const EhsiMap& m) { DrawEhsiHold(m, kHoldTurnWidth); }
void DrawMd80EhsiAtcBoundaries(const EhsiMap& m) { DrawEhsiAtcBoundaries(m); }

void DrawMd80EhsiAltitudeRangeArc(const EhsiMap& m) {
  const nd::MapView& v = m.view;
  v.UsePlain();
  DrawAltitudeRangeArc(*v.g, v.radius, v.range, kAltitudeArcBox);
}

void DrawMd80EhsiMap(const display::GaugeDisplay& display, gfx::Graphics& g, int variant) {
  State& s = ehsi_state;
  const int mode = M().MD80EHSIMode;
  const RoseFrame f = Md80CentredFrame(display, g);

  if (ActiveRouteIndex() >= 0) DrawDistanceAndArrival(f);
  DrawMd80CompassArc(f);
  if (mode == 3) {
    DrawMd80HalfRangeRing(f);
    DrawMd80HalfRangeFigure(f, -75.0f, -48.0f);
  }
  DrawMd80Lubber(f);
  DrawMd80HeadingScale(f);
  DrawMd80SelectedHeading(f, mode == 3);
  DrawMd80TrackDiamond(f);

  f.At();
  gfx::GraphicsPath circle;
  circle.AddEllipse(-static_cast<float>(kMapRadius), -static_cast<float>(kMapRadius), 2.0f * kMapRadius,
                    2.0f * kMapRadius);
  g.SetClip(circle);
  // The map mode's wind, its speed and arrow at the left, inside the circle.
  if (mode == 3 && FiniteOr(G().WindSpeed) >= 1.0) {
    Md80Frame(display, g, 0, 0).At();
    display::KeepMapClear(g, gfx::RectF(0.0f, 138.0f, 24.0f, 46.0f));
    f.At();
  }
  if (mode == 2) {
    // The plan's centre stays 70 units higher for the rest of the frame;
    // the frame sets it back before the next one.
    s.Md80EhsiCentreY -= kPlanCentreRise;
    DrawPlanRing(Md80CentredFrame(display, g));
  }
  const EhsiMap map = Md80Map(display, g, variant);
  // A range that gives no scale draws no map contents.
  if (map.view.Usable()) {
    map.view.SetMapScale();
    const display::MapPicture picture(g);
    display::DrawLayers<EhsiMap>(kLayers, map);
  }
  g.ResetClip();

  const RoseFrame centre = Md80CentredFrame(display, g);
  centre.At();
  if (mode == 2) {
    DrawScreenText(g, display::DaReredBold(13.0f), gfx::SolidBrush(kWhite), 113.0f, -5.0f, "N");
    DrawShape(g, kNorthArrow);
    return;
  }
  DrawAircraftShape(g, kAircraftTriangle);
  DrawMd80Wind(Md80Frame(display, g, 0, 0), kMapFields);
}

}  // namespace ovi::ehsi
