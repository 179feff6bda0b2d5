// What the Pro Line 4's pages draw alike: the header line, the navigation-
// source block with its time to go, the boxed heading readout, the course
// pointer, the bearing pointers, the heading bug, the track marker and the
// aircraft symbol. Each page gives its numbers; these draw them.
#include <algorithm>
#include <cmath>
#include <string>

#include "src/display/kit.h"
#include "src/display/labels.h"
#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/model/records.h"
#include "src/model/state.h"

namespace ovi::ehsi {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;
using display::FiniteOr;
using display::colour::kBlue;
using display::colour::kGreen;
using display::colour::kMagenta;
using display::colour::kWhite;

const guidance::State& G() { return guidance::guidance_state; }
const model::State& M() { return model::model_state; }

// Idents stand in the "%-5s" field of their row: a longer one is cut so
// that the distance keeps its column.
constexpr int kIdentField = 5;

bool WaypointActive() { return flightplan::flightplan_state.ActiveWaypointIndex != model::kNoWaypoint; }

// A relative bearing added to the heading, below 360 for a sum under 720.
double StationBearing(double relative, double heading) {
  double b = FiniteOr(relative) + heading;
  if (b >= 360.0) b -= 360.0;
  return b;
}

}  // namespace

RoseFrame Proline4Frame(const display::GaugeDisplay& display, gfx::Graphics& g, float y) {
  return RoseFrame{g, display::ScaleToSurface(kProline4Canvas, display.width, display.height), kProline4CentreX, y,
                   FiniteOr(G().AircraftHeading)};
}

// --- Header line ------------------------------------------------------------------

double Proline4TotalAirTemperature() {
  const double sat = FiniteOr(G().StaticAirTemp);
  const double tas = FiniteOr(G().TrueAirspeedEstimate);
  return tas > 0.0 ? sat + tas * tas * 0.00013171759747102212 + 0.97 : sat;
}

void DrawProline4Header(gfx::Graphics& g, const display::CanvasScale& scale, const Proline4Header& h,
                        double total_air_temperature) {
  display::UseCanvas(g, scale);
  const gfx::SolidBrush blue(kBlue), green(kGreen), white(kWhite);
  const gfx::Font small = h.font(9.0f);
  DrawScreenText(g, h.wx_font(h.wx_size), blue, 0.0f, 0.0f, "WX");
  const float y = h.y;
  DrawScreenText(g, small, blue, 0.0f, y, "UTC");
  DrawScreenTextF(g, small, white, h.utc_value_x, y, "%2.0f:%02.0f", FiniteOr(G().ZuluHour), FiniteOr(G().ZuluMinute));
  DrawScreenText(g, small, green, 55.0f, y, "TAS");
  DrawScreenTextF(g, small, white, 82.0f, y, "%3.0f", FiniteOr(G().TrueAirspeedEstimate));
  DrawScreenText(g, small, green, 120.0f, y, "GS");
  DrawScreenTextF(g, small, white, 139.0f, y, "%3.0f", FiniteOr(G().GroundSpeedKnots));
  DrawScreenText(g, small, green, 165.0f, y, "SAT");
  DrawScreenTextF(g, small, white, h.sat_value_x, y, "%3.0f", FiniteOr(G().StaticAirTemp));
  DrawScreenText(g, small, green, 205.0f, y, "TAT");
  DrawScreenTextF(g, small, white, h.tat_value_x, y, "%3.0f", FiniteOr(total_air_temperature));
}

// --- Navigation-source block --------------------------------------------------

TimeToGo Proline4TimeToGo(double distance, double ground_speed) {
  TimeToGo t;
  distance = FiniteOr(distance);
  ground_speed = FiniteOr(ground_speed);
  if (!(ground_speed > 30.0)) return t;
  // Whole minutes first, then the hours split off them: rounding the
  // minutes after the hours would let them read 60.
  const double total = std::round(std::max(0.0, distance / ground_speed * 60.0));
  t.known = true;
  t.hours = std::floor(total / 60.0);
  t.minutes = total - t.hours * 60.0;
  return t;
}

namespace {

void DrawTimeToGo(gfx::Graphics& g, const Proline4SourceBlock& block, const gfx::Font& font,
                  const gfx::SolidBrush& white, const TimeToGo& t) {
  if (t.known) {
    DrawScreenTextF(g, font, white, 0.0f, 40.0f, "TTG %02.0f:%02.0f", t.hours, t.minutes);
    return;
  }
  DrawScreenText(g, block.dashed_ttg_font(12.0f), white, 0.0f, 40.0f, "TTG");
  DrawScreenText(g, display::CourierNewBold(12.0f), white, 30.0f, 40.0f, "--:--");
}

}  // namespace

void DrawProline4SourceBlock(gfx::Graphics& g, const display::CanvasScale& scale, const Proline4SourceBlock& block) {
  display::UseCanvas(g, scale);
  const bool nav1 = host::GetNav1Signal() > 0.0;
  const std::string station = nav1 ? display::FitLabel(host::ReadNav1StationIdent(), kIdentField) : std::string();
  const gfx::Font font = block.font(12.0f);
  const gfx::SolidBrush white(kWhite);
  const double gs = G().GroundSpeedKnots;
  if (WaypointActive() && G().LnavEngaged == 1) {
    const double distance = FiniteOr(G().ActiveWaypointDistance);
    DrawScreenTextF(g, font, white, 0.0f, 20.0f, "FMS       CRS %03.0f", FiniteOr(G().DesiredTrack));
    DrawScreenTextF(g, font, white, 0.0f, 30.0f, "%-5s          %3.0fNM", ActiveWaypointIdent(kIdentField).c_str(),
                    distance);
    DrawTimeToGo(g, block, font, white, Proline4TimeToGo(distance, gs));
    return;
  }
  if (!nav1) return;
  DrawScreenTextF(g, font, white, 0.0f, 20.0f, "NAV1       CRS %03.0f", FiniteOr(G().SelectedCourse));
  const double dme = FiniteOr(G().Nav1DmeDistance);
  if (dme > 0.0) {
    DrawScreenTextF(g, font, white, 0.0f, 30.0f, "%-5s         %3.0fNM", station.c_str(), dme);
    DrawTimeToGo(g, block, font, white, Proline4TimeToGo(dme, gs));
  } else {
    DrawScreenTextF(g, font, white, 0.0f, 30.0f, "%-5s         ---", station.c_str());
    DrawTimeToGo(g, block, font, white, TimeToGo{});
  }
}

// --- Heading readout -------------------------------------------------------------

void DrawProline4HeadingReadout(gfx::Graphics& g, const display::CanvasScale& scale, float box_y, float text_y) {
  display::UseCanvas(g, scale);
  const model::State& m = M();
  const gfx::ARGB background =
      display::BackgroundColour(m.PROLINE4MFDBkgrdColorRed, m.PROLINE4MFDBkgrdColorGreen, m.PROLINE4MFDBkgrdColorBlue);
  const int y = static_cast<int>(box_y);
  g.FillRectangleI(gfx::SolidBrush(background), 107, y, 32, 12);
  const gfx::Point box[] = {{107, y + 2},  {107, y + 12}, {118, y + 12}, {123, y + 17},
                            {128, y + 12}, {139, y + 12}, {139, y + 2}};
  g.DrawLinesI(gfx::Pen(kWhite, 2.0f), box);
  DrawScreenTextF(g, display::DaReredBold(13.0f), gfx::SolidBrush(kWhite), 109.0f, text_y, "%03.0f",
                  FiniteOr(G().AircraftHeading));
}

// --- Course pointer ------------------------------------------------------------------

void DrawProline4CoursePointer(const RoseFrame& f, const Proline4HsiPage& page) {
  if (G().LnavEngaged == 1) {
    // Without an active waypoint the bar rests on the track (1e-10 NM).
    double xtk = 1e-10;
    if (WaypointActive()) {
      std::int32_t side1 = 0, xtk_side = 0, side3 = 0;
      double angle1 = 0.0, distance = guidance::kNoDeviation, angle3 = 0.0;
      guidance::ComputeLegDeviation(side1, angle1, xtk_side, distance, side3, angle3, guidance::kOwnDeviationMode);
      // An active index the leg cannot be worked out for gives no distance
      // (-99): the bar rests on the track rather than at full scale.
      xtk = !(distance >= 0.0) ? 0.0 : (xtk_side == 1 ? -distance : distance);
    }
    const double nm = std::clamp(FiniteOr(xtk), -5.0, 5.0);
    DrawCoursePointerAt(f, page.course, FiniteOr(G().DesiredTrack), gfx::TruncToPixel(nm * 10.0), ToFrom::kNone);
    return;
  }
  const bool nav1 = host::GetNav1Signal() > 0.0;
  const int x = nav1 ? gfx::TruncToPixel(FiniteOr(G().Nav1CdiNeedle) * page.bar_per_needle) : 0;
  // The station's side is taken the short way round: one just across north
  // of the course is ahead.
  const ToFrom sense = !nav1 ? ToFrom::kNone : display::Nav1ToStation() ? ToFrom::kTo : ToFrom::kFrom;
  DrawCoursePointerAt(f, page.course, FiniteOr(G().SelectedCourse), x, sense);
}

// --- Bearing pointers -------------------------------------------------------------------

namespace {

// One pointer's source: its legend and, when the source is received, the
// bearing its needle points at.
struct PointerSource {
  const char* legend = nullptr;  // null: the pointer is off
  bool valid = false;
  double bearing = 0.0;
};

PointerSource ReadPointerSource(std::int32_t source, bool second, double heading) {
  PointerSource p;
  if (source == 0) return p;
  const guidance::State& s = G();
  switch (source) {
    case 1:
      p.legend = second ? "VOR2" : "VOR1";
      p.valid = (second ? host::GetNav2Signal() : host::GetNav1Signal()) > 0.0;
      p.bearing = StationBearing(second ? s.SecondBearingPointer : s.HeadingOffsetToken550, heading);
      break;
    case 2:
      p.legend = "ADF";
      p.valid = s.AdfSignal > 1.0;
      p.bearing = FiniteOr(s.AdfRelativeBearing) + 360.0 + heading;
      break;
    case 3:
      p.legend = "FMS";
      p.valid = WaypointActive();
      p.bearing = FiniteOr(s.BearingToActiveWaypoint);
      break;
    default:
      // A source no key sets reads "FMS" and points nowhere.
      p.legend = "FMS";
      break;
  }
  return p;
}

void DrawPointer(const RoseFrame& f, const Proline4HsiPage& page, const Proline4Pointer& style, std::int32_t source,
                 bool second) {
  const PointerSource p = ReadPointerSource(source, second, f.heading);
  if (p.legend == nullptr) return;
  f.At();
  DrawScreenText(f.g, page.legend_font(13.0f), gfx::SolidBrush(style.needle.colour), style.legend_at.X,
                 style.legend_at.Y, p.legend);
  DrawShape(f.g, style.icon);
  if (p.valid) DrawShapeToward(f, p.bearing, style.needle);
}

}  // namespace

void DrawProline4BearingPointers(const RoseFrame& f, const Proline4HsiPage& page) {
  DrawPointer(f, page, page.second, M().Proline4BearingPointer2Source, true);
  DrawPointer(f, page, page.first, M().Proline4BearingPointer1Source, false);
}

// --- Bug, track and aircraft ------------------------------------------------------------

void DrawProline4BugTrackAndAircraft(const RoseFrame& f, const Proline4HsiPage& page) {
  const guidance::State& s = G();
  const bool bug_moved = s.HeadingBugDisplayTicks > 0;
  if (bug_moved) {
    display::UseCanvas(f.g, f.scale);
    DrawScreenTextF(f.g, page.bug_readout_font(9.0f), gfx::SolidBrush(kMagenta), page.bug_readout_at.X,
                    page.bug_readout_at.Y, "HDG %03.0f", FiniteOr(s.ApHeadingLockDir));
  }
  // The bug keeps its true bearing on the full circle, also where that lies
  // off the arc and beyond the canvas.
  const double selected = FiniteOr(s.ApHeadingLockDir);
  DrawShapeToward(f, selected, Shape{kMagenta, 2.0f, {}, page.bug});
  if (bug_moved) DrawShape(f.g, Shape{kMagenta, 1.0f, page.bug_line, {}, {}, true});
  f.Toward(FiniteOr(s.GroundTrack));
  f.g.DrawEllipseI(gfx::Pen(kGreen, 2.0f), page.track_corner.X, page.track_corner.Y, 6, 6);
  f.At();
  DrawAircraftShape(f.g, kProline4AircraftSymbol);
}

// --- The HSI pages' start and finish ------------------------------------------------------

RoseFrame StartProline4HsiPage(const display::GaugeDisplay& display, gfx::Graphics& g, const Proline4HsiPage& page) {
  const RoseFrame f = Proline4Frame(display, g, page.centre_y);
  DrawProline4Header(g, f.scale, page.header, Proline4TotalAirTemperature());
  DrawProline4SourceBlock(g, f.scale, page.source);
  return f;
}

void FinishProline4HsiPage(const RoseFrame& f, const Proline4HsiPage& page) {
  DrawProline4HeadingReadout(f.g, f.scale, page.readout_box_y, page.readout_text_y);
  if (page.bearings_first) {
    DrawProline4BearingPointers(f, page);
    DrawProline4CoursePointer(f, page);
  } else {
    DrawProline4CoursePointer(f, page);
    DrawProline4BearingPointers(f, page);
  }
  DrawProline4BugTrackAndAircraft(f, page);
}

}  // namespace ovi::ehsi
