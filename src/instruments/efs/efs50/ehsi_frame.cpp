// The EFS 50 EHSI's frame: power and blanking, background, the mode table,
// the layer table of one frame, the bottom-of-descent arc and what the
// pieces share about the radios and the active leg.
#include <cmath>
#include <optional>

#include "src/display/map_labels.h"
#include "src/display/map_overlays.h"
#include "src/display/state.h"
#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/efs/efs50/ehsi.h"
#include "src/model/records.h"
#include "src/model/state.h"
#include "src/navdb/state.h"

namespace ovi::efs {

namespace {

using display::FiniteOr;
using display::Layer;

const model::State& M() { return model::model_state; }
const guidance::State& G() { return guidance::guidance_state; }

bool Has(const Efs50EhsiFrame& f, Efs50Rose rose) { return f.row != nullptr && f.row->rose == rose; }
bool MapOverlays(const Efs50EhsiFrame& f) {
  return f.row != nullptr && f.row->map_overlays && M().EFS50NavMode == 2;
}
bool InFullRose(const Efs50EhsiFrame& f) { return Has(f, Efs50Rose::kFull); }
bool InArc(const Efs50EhsiFrame& f) { return Has(f, Efs50Rose::kArc); }
bool BelowTrafficMode(const Efs50EhsiFrame& f) { return f.mode < kEfs50TrafficMode; }
bool RouteShown(const Efs50EhsiFrame& f) { return MapOverlays(f) && Efs50WaypointActive(); }
// A deleted hold leaves its entry behind; the hold count says whether it
// still counts, as on the navigation displays.
bool HoldShown(const Efs50EhsiFrame& f) {
  const flightplan::State& fp = flightplan::flightplan_state;
  const model::HoldingPattern* hold = fp.HoldTable.At(1);
  return MapOverlays(f) && fp.HoldCount >= 1 && hold != nullptr && hold->active_index > 0;
}
bool MarkersShown(const Efs50EhsiFrame& f) {
  return MapOverlays(f) && G().DestinationDistance > 8.0 && M().ShowTodBodIndicators == 1;
}
bool BodArcShown(const Efs50EhsiFrame& f) {
  const guidance::State& s = G();
  return MapOverlays(f) && M().DrawBodArcOnEFS50EHSI == 1 && s.ApMaster == 1.0 && s.ApAltitudeLock == 1.0 &&
         s.ApAltitudeLockVar < s.AircraftAltitude && s.VerticalSpeedFpm < -200.0;
}
bool Always(const Efs50EhsiFrame& /*f*/) { return true; }
bool LowerBoxShown(const Efs50EhsiFrame& f) { return f.row != nullptr && f.row->lower_box; }
bool TrafficShown(const Efs50EhsiFrame& f) { return f.row != nullptr && f.row->traffic; }
bool PointerUnitShown(const Efs50EhsiFrame& f) { return LowerBoxShown(f) && M().Efs50BearingPointer1Source > 0; }

int RadiusInt() { return gfx::TruncToPixel(FiniteOr(M().Efs50RoseRadius)); }
int AircraftY(int mode) {
  return static_cast<int>(mode == 2 || mode == 3 ? kEfs50CentreY : kEfs50ArcCentreY);
}

void FullRose(const Efs50EhsiFrame& f) {
  model::model_state.Efs50RoseRadius = f.row->radius;
  DrawEfs50FullRose(f.display, f.g, f.variant);
}
void ArcRose(const Efs50EhsiFrame& f) {
  model::model_state.Efs50RoseRadius = f.row->radius;
  DrawEfs50ArcRose(f.display, f.g, f.variant);
}
void DataFields(const Efs50EhsiFrame& f) { DrawEfs50DataFields(f.display, f.g); }
void Route(const Efs50EhsiFrame& f) { DrawEfs50RouteWaypoints(f.display, f.g); }
void Hold(const Efs50EhsiFrame& f) {
  DrawEfs50HoldingPattern(f.display, f.g, RadiusInt(), static_cast<int>(kEfs50CentreX),
                          f.mode > 3 ? static_cast<int>(kEfs50ArcCentreY) : static_cast<int>(kEfs50CentreY),
                          M().Efs50EhsiRange);
}
// On the rose the markers are cut to its circle, and the cut stays for the
// bottom-of-descent arc; on the arc they are not cut.
void Markers(const Efs50EhsiFrame& f) {
  const display::CanvasScale scale = Efs50Scale(f.display);
  display::UseCanvas(f.g, scale);
  const int y = AircraftY(f.mode);
  if (y == static_cast<int>(kEfs50CentreY)) {
    gfx::GraphicsPath rose;
    rose.AddEllipse(29.0f, 14.0f, 200.0f, 200.0f);
    f.g.SetClip(rose);
  }
  const guidance::State& s = G();
  display::DrawTodTocMarkers(f.g, RadiusInt(), M().Efs50EhsiRange, kEfs50CentreX, y, display::kDisplayEfs50, 1.0,
                             1.0, s.PlaneLatitude, s.PlaneLongitude, FiniteOr(s.MapHeading));
}
void BodArc(const Efs50EhsiFrame& f) { DrawEfs50BodArc(f.display, f.g); }
void ClipOff(const Efs50EhsiFrame& f) { f.g.ResetClip(); }
void LowerBox(const Efs50EhsiFrame& f) { DrawEfs50RoseLowerBox(f.display, f.g); }
void PointerUnit(const Efs50EhsiFrame& f) { DrawEfs50PointerUnitOverBox(f.display, f.g); }
void Traffic(const Efs50EhsiFrame& f) { DrawEfs50TcasMode(f.display, f.g); }

constexpr Layer<Efs50EhsiFrame> kLayers[] = {
    {"full rose", InFullRose, FullRose},
    {"arc rose", InArc, ArcRose},
    {"data fields", BelowTrafficMode, DataFields},
    {"route", RouteShown, Route},
    {"hold", HoldShown, Hold},
    {"TOD/TOC markers", MarkersShown, Markers},
    {"bottom-of-descent arc", BodArcShown, BodArc},
    {"clip off", Always, ClipOff},
    {"lower box", LowerBoxShown, LowerBox},
    {"bearing pointer 1 unit", PointerUnitShown, PointerUnit},
    {"traffic", TrafficShown, Traffic},
};

}  // namespace

const Efs50EhsiMode* Efs50EhsiModeRow(int mode) {
  for (const Efs50EhsiMode& row : kEfs50EhsiModes)
    if (row.mode == mode) return &row;
  return nullptr;
}

std::span<const Layer<Efs50EhsiFrame>> Efs50EhsiLayers() { return kLayers; }

void DrawEfs50Ehsi(display::GaugeDisplay& display, gfx::DeviceContext* dc, const PIXSIZE* size, int variant) {
  if (dc == nullptr) return;
  gfx::Graphics g(dc);
  g.SetSmoothingMode(gfx::SmoothingMode::HighQuality);
  if (!OpenEfs50Picture(g, display, *dc, size, variant)) return;
  const display::CanvasScale scale = Efs50Scale(display);
  if (!scale.usable) return;
  display::FillCanvas(g, scale, kEfs50Canvas, Efs50EhsiBackground());
  const int mode = M().EFS50HsiMode;
  const Efs50EhsiFrame frame{display, g, variant, mode, Efs50EhsiModeRow(mode)};
  // The texts of a mode with a map or traffic are weighed as one picture.
  std::optional<display::MapPicture> picture;
  if (frame.row != nullptr && (frame.row->map_overlays || frame.row->traffic)) picture.emplace(g);
  display::DrawLayers(Efs50EhsiLayers(), frame);
}

void DrawEfs50BodArc(const display::GaugeDisplay& display, gfx::Graphics& g) {
  const model::State& m = M();
  const guidance::State& s = G();
  display::UseOrigin(g, Efs50Scale(display), kEfs50CentreX, static_cast<float>(AircraftY(m.EFS50HsiMode)));
  const double range = m.Efs50EhsiRange;
  if (!std::isfinite(range) || !(range > 0.0) || !std::isfinite(m.Efs50RoseRadius)) return;
  const double pixels_per_nm = m.Efs50RoseRadius / range;
  display::display_state.MapPixelsPerNm = pixels_per_nm;
  // Minutes to the selected altitude times miles a minute times pixels a
  // mile: negative, ahead, while descending to it.
  const double ahead =
      (s.AircraftAltitude - s.ApAltitudeLockVar) / s.VerticalSpeedFpm * (s.GroundSpeedKnots / 60.0) * pixels_per_nm;
  if (!std::isfinite(ahead)) return;
  g.DrawArcI(gfx::Pen(efs50_colour::kGreen, 2.0f), -45, gfx::TruncToPixel(ahead), 90, 90, 220.0f, 100.0f);
}

gfx::ARGB Efs50EhsiBackground() {
  const model::State& m = M();
  return display::BackgroundColour(m.EFS50EHSIBkgrdColorRed, m.EFS50EHSIBkgrdColorGreen, m.EFS50EHSIBkgrdColorBlue);
}

ehsi::RoseFrame Efs50RoseFrame(const display::GaugeDisplay& display, gfx::Graphics& g, float y) {
  return ehsi::RoseFrame{g, Efs50Scale(display), kEfs50CentreX, y, FiniteOr(G().AircraftHeading)};
}

bool Efs50WaypointActive() { return flightplan::flightplan_state.ActiveWaypointIndex != model::kNoWaypoint; }

std::optional<double> Efs50BearingPointerBearing(int pointer, int source) {
  const guidance::State& s = G();
  const double heading = FiniteOr(s.AircraftHeading);
  switch (source) {
    case 1:
      if (pointer == 1) {
        if (host::GetNav1Signal() > 0.0) return display::Nav1StationBearing();
      } else if (host::GetNav2Signal() > 0.0) {
        double bearing = FiniteOr(s.SecondBearingPointer) + heading;
        if (bearing >= 360.0) bearing -= 360.0;
        return bearing;
      }
      return std::nullopt;
    case 2:
      if (Efs50WaypointActive()) return FiniteOr(s.BearingToActiveWaypoint);
      return std::nullopt;
    case 3:
      if (s.AdfSignal > 1.0) return FiniteOr(s.AdfRelativeBearing) + 360.0 + heading;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

void DrawEfs50BearingPointers(const ehsi::RoseFrame& f, const Efs50BearingPointerShapes& shapes) {
  const model::State& m = M();
  if (m.Efs50BearingPointer2Source > 0)
    if (const std::optional<double> b = Efs50BearingPointerBearing(2, m.Efs50BearingPointer2Source))
      ehsi::DrawShapeToward(f, *b, shapes.pointer2);
  if (m.Efs50BearingPointer1Source > 0)
    if (const std::optional<double> b = Efs50BearingPointerBearing(1, m.Efs50BearingPointer1Source)) {
      ehsi::DrawShapeToward(f, *b, shapes.pointer1);
      ehsi::DrawShape(f.g, shapes.pointer1_tail);
    }
}

bool DrawEfs50HeadingPointer(const ehsi::RoseFrame& f, const Efs50HeadingPointer& pointer) {
  f.At();
  const gfx::SolidBrush white(efs50_colour::kWhite);
  if (M().EhsiStaticHdgPointer == 0) {
    f.g.FillPolygonI(white, pointer.triangle);
    return false;
  }
  if (pointer.cleared) {
    const gfx::Rect& r = *pointer.cleared;
    f.g.FillRectangleI(gfx::SolidBrush(Efs50EhsiBackground()), r.X, r.Y, r.Width, r.Height);
  }
  f.g.DrawLinesI(gfx::Pen(efs50_colour::kWhite, 2.0f), pointer.box);
  f.g.FillPolygonI(white, pointer.notch);
  return true;
}

ehsi::ToFrom Efs50ToFrom(bool track_without_signal) {
  const guidance::State& s = G();
  const bool radio = M().EFS50NavMode == 1;
  double angle;
  if (radio && host::GetNav1Signal() > 0.0)
    angle = display::RelativeAngle(display::Nav1StationBearing(), s.SelectedCourse);
  else if ((!radio || track_without_signal) && Efs50WaypointActive())
    angle = display::RelativeAngle(s.DesiredTrack, s.AircraftHeading);
  else
    return ehsi::ToFrom::kNone;
  return std::fabs(angle) < 90.0 ? ehsi::ToFrom::kTo : ehsi::ToFrom::kFrom;
}

std::optional<double> Efs50CrossTrack() {
  if (!Efs50WaypointActive()) return std::nullopt;
  std::int32_t side1 = 0, side = 0, side3 = 0;
  double angle1 = 0.0, distance = 0.0, angle3 = 0.0;
  guidance::ComputeLegDeviation(side1, angle1, side, distance, side3, angle3, guidance::kOwnDeviationMode);
  // An active index past the route's end has no leg (the distance comes
  // back as the no-deviation mark).
  if (!(distance >= 0.0) || !std::isfinite(distance)) return std::nullopt;
  return side == 1 ? -distance : distance;
}

std::optional<double> Efs50CourseCrossTrack() {
  constexpr double kLimitNm = 5.0;
  std::optional<double> xtk = Efs50CrossTrack();
  if (xtk) xtk = std::fmin(std::fmax(*xtk, -kLimitNm), kLimitNm);
  return xtk;
}

void DrawEfs50MapOverlays(gfx::Graphics& g, int radius, int cx, int cy, int variant) {
  const model::State& m = M();
  const navdb::State& nav = navdb::navdb_state;
  const double range = m.Efs50EhsiRange;
  if (m.ShowAtcBoundaries == 1 && variant != 3)
    display::DrawAtcBoundaries(g, radius, cx, cy, range, FiniteOr(G().MapHeading));
  if (nav.SelectedRunwayBase != -999) display::DrawApproachPattern(g, radius, cx, cy, range, 1.0, 1.0);
  if (nav.AirportRunwayCount > 0 && range <= 2.5) display::DrawAirportRunways(g, radius, cx, cy, range);
}

gfx::Pen Efs50RangeRingPen() {
  gfx::Pen dashed(efs50_colour::kBlue, 2.0f);
  dashed.SetDashStyle(gfx::DashStyle::Dash);
  return dashed;
}

void DrawEfs50RangeLabel(gfx::Graphics& g, float x, float y) {
  display::DrawMapTextF(g, display::MapRank::kRangeFigure, display::ArialBold(10.0f),
                        gfx::SolidBrush(efs50_colour::kBlue), x, y, "%3.1f", FiniteOr(M().Efs50EhsiRange));
}

}  // namespace ovi::efs
