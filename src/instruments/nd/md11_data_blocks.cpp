// The MD-11 display's texts and annunciations, drawn last in every mode with
// the clip removed: speeds, active waypoint, heading box, range labels,
// bearing-pointer blocks, layer and mode annunciations, clock and wind.
// Which block a mode shows is data (kBlocks); each block reads the state.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/flightplan/state.h"
#include "src/instruments/nd/md11_nd.h"
#include "src/instruments/nd/state.h"
#include "src/model/state.h"

namespace ovi::nd {

namespace {

using gfx::Point;

const guidance::State& G() { return guidance::guidance_state; }
const model::State& M() { return model::model_state; }

// Station idents and the active waypoint's ident show at most this many
// characters: the fields they stand in hold no more.
constexpr std::size_t kIdentChars = 6;

std::string Cut(std::string text) {
  if (text.size() > kIdentChars) text.resize(kIdentChars);
  return text;
}

double Below360(double degrees) {
  double d = std::fmod(FiniteOr(degrees), 360.0);
  if (d < 0.0) d += 360.0;
  return d;
}

struct Blocks {
  const Md11NdFrame& f;
  gfx::SolidBrush white{colour::kWhite};
  gfx::SolidBrush magenta{colour::kMagenta};
  gfx::SolidBrush blue{colour::kBlue};
  gfx::SolidBrush green{colour::kGreen};
  gfx::Font arial7 = ArialBold(7.0f);
  gfx::Font arial8 = ArialBold(8.0f);
  gfx::Font arial9 = ArialBold(9.0f);
  gfx::Font arial10 = ArialBold(10.0f);
  int cx = f.center_x;

  void Text(const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y, const char* text) const {
    DrawScreenText(f.g, font, brush, x, y, text);
  }
  // A range ring's figure, weighed with the map's texts.
  void Figure(float x, float y, const std::string& text) const { Figure(x, y, text, arial9); }
  void Figure(float x, float y, const std::string& text, const gfx::Font& font) const {
    DrawMapTextF(f.g, display::MapRank::kRangeFigure, font, white, x, y, "%s", text.c_str());
  }
};

void Speeds(const Blocks& b) {
  b.Text(b.arial9, b.white, 10.0f, 0.0f, "GS");
  DrawScreenTextF(b.f.g, b.arial10, b.white, 30.0f, 0.0f, "%3.0f", FiniteOr(G().GroundSpeedKnots));
  b.Text(b.arial9, b.white, 5.0f, 10.0f, "TAS");
  DrawScreenTextF(b.f.g, b.arial10, b.white, 30.0f, 10.0f, "%3.0f", FiniteOr(G().TrueAirspeedEstimate));
}

void ActiveWaypoint(const Blocks& b) {
  const flightplan::State& fp = flightplan::flightplan_state;
  if (fp.ActiveWaypointIndex == model::kNoWaypoint) return;
  const model::FlightPlanWaypoint* wpt = fp.ActiveFlightPlan.At(fp.ActiveWaypointIndex);
  b.Text(b.arial9, b.magenta, 159.0f, 7.0f, Cut(wpt != nullptr ? wpt->ident : std::string()).c_str());
  const double distance = FiniteOr(G().ActiveWaypointDistance);
  char text[kScreenTextBuffer];
  if (FiniteOr(G().GroundSpeedKnots) <= 30.0) {
    std::snprintf(text, sizeof text, "%2.1fNM", distance);
  } else {
    std::snprintf(text, sizeof text, "%2.1fNM/%2.1f", distance, FiniteOr(G().EteMinutes));
  }
  // From x 194 a long distance and time would run off the right edge: such
  // a text ends at the edge instead.
  gfx::RectF box;
  b.f.g.MeasureString(text, b.arial8, gfx::PointF(0.0f, 0.0f), nullptr, &box);
  const float x = std::min(194.0f, kMd11NdCanvas.width - box.Width);
  b.Text(b.arial8, b.magenta, x, 9.0f, text);
}

// The half range, as its ring stands.
std::string HalfRange(double range) { return display::RingFigure(range * 0.5, 2); }

void PlanLabels(const Blocks& b) {
  const gfx::Pen white1(colour::kWhite, 1.0f);
  b.Text(b.arial9, b.white, 215.0f, 200.0f, "N");
  b.f.g.DrawLineI(white1, 220, 210, 220, 230);
  b.f.g.DrawLineI(white1, 220, 210, 217, 215);
  b.f.g.DrawLineI(white1, 220, 210, 223, 215);

  const std::string range = display::RingFigure(b.f.range);
  const std::string half = HalfRange(b.f.range);
  const float nr = static_cast<float>(range.size()), nh = static_cast<float>(half.size());
  b.Figure(2.0f * (12.0f - nr), 125.0f, range);
  b.Figure(71.0f - 2.0f * nh, 125.0f, half);
  b.f.g.FillRectangle(gfx::SolidBrush(b.f.background), 166.0f - 2.0f * nh, 125.0f, 6.0f * nh, 10.0f);
  b.Figure(165.0f - 2.0f * nh, 125.0f, half);
  b.Figure(212.0f - 2.0f * nr, 125.0f, range);
}

void HeadingBox(const Blocks& b) {
  const int cx = b.cx;
  b.Text(b.arial8, b.white, cx - 38.0f, 9.0f, "HDG");
  DrawScreenTextF(b.f.g, DaReredBold(15.0f), b.white, cx - 16.0f, 5.0f, "%03.0f", FiniteOr(G().AircraftHeading));
  const Segment box[] = {{{cx - 14, 5}, {cx + 14, 5}},  {{cx - 14, 5}, {cx - 14, 20}}, {{cx + 14, 5}, {cx + 14, 20}},
                         {{cx - 14, 20}, {cx - 5, 20}}, {{cx + 14, 20}, {cx + 5, 20}}, {{cx - 5, 20}, {cx, 25}},
                         {{cx + 5, 20}, {cx, 25}}};
  DrawSegments(b.f.g, gfx::Pen(colour::kWhite, 1.0f), box);
  b.Text(b.arial8, b.white, cx + 15.0f, 9.0f, "MAG");
}

void BottomLine(const Blocks& b) {
  const gfx::Pen white1(colour::kWhite, 1.0f);
  b.f.g.DrawLineI(white1, 0, 246, 87, 246);
  b.f.g.DrawLineI(white1, 150, 246, 240, 246);
}

void RangeLabels(const Blocks& b) {
  if (b.f.mode == kMd11NdModeMap) {
    const std::string half = HalfRange(b.f.range);
    const bool wide = b.f.range * 0.5 >= 10.0;
    b.f.g.FillRectangle(gfx::SolidBrush(b.f.background), 115.0f, 248.0f, wide ? 11.0f : 10.0f, 10.0f);
    b.Figure(static_cast<float>(b.cx - (wide ? 6 : 4)), 248.0f, half);
    return;
  }
  const std::string range = display::RingFigure(b.f.range);
  b.Figure(220.0f, 60.0f, range, b.arial10);
  b.Figure(b.f.range >= 100.0 ? 4.0f : 8.0f, 60.0f, range, b.arial10);
}

void LeftPointerBlock(const Blocks& b) {
  const guidance::State& s = G();
  const State& nd = nd_state;
  const double heading = FiniteOr(s.AircraftHeading);
  char text[kScreenTextBuffer];
  text[0] = '\0';
  if (nd.Md11NdShowVor1Pointer == 1) {
    if (host::GetNav1Signal() > 0.0) {
      const std::string ident = Cut(host::ReadNav1StationIdent());
      const double bearing = display::Nav1StationBearing();
      const double dme = FiniteOr(s.Nav1DmeDistance);
      if (dme > 0.0) {
        std::snprintf(text, sizeof text, "%03.0f\xB0 / %2.1fNM  %s", bearing, dme, ident.c_str());
      } else {
        std::snprintf(text, sizeof text, "%03.0f\xB0 / ---  %s", bearing, ident.c_str());
      }
    }
  } else if (nd.Md11NdShowAdf1Pointer == 1 && FiniteOr(s.AdfSignal) > 0.0) {
    const std::string ident = Cut(host::ReadAdfStationIdent());
    // The relative bearing and the heading each run to 360: the sum is
    // brought back below 360 whole.
    const double bearing = Below360(FiniteOr(s.AdfRelativeBearing) + heading);
    std::snprintf(text, sizeof text, "%03.0f\xB0 / %s", bearing, ident.c_str());
  }
  if (text[0] == '\0') return;
  b.Text(b.arial8, b.blue, 0.0f, 248.0f, text);
  const Segment arrow[] = {{{80, 252}, {100, 252}}, {{80, 252}, {84, 249}}, {{80, 252}, {84, 255}}};
  DrawSegments(b.f.g, gfx::Pen(colour::kBlue, 1.0f), arrow);
}

void RightPointerBlock(const Blocks& b) {
  const guidance::State& s = G();
  if (nd_state.Md11NdShowVor2Pointer != 1 || !(host::GetNav2Signal() > 0.0)) return;
  const std::string ident = Cut(host::ReadNav2StationIdent());
  double bearing = FiniteOr(s.SecondBearingPointer) + FiniteOr(s.AircraftHeading);
  if (bearing >= 360.0) bearing -= 360.0;
  const double dme = FiniteOr(s.Nav2DmeDistance);
  const float x = static_cast<float>(b.cx + 45);
  if (dme > 0.0) {
    DrawScreenTextF(b.f.g, b.arial8, b.green, x, 248.0f, "%s %03.0f\xB0 / %2.1fNM", ident.c_str(), bearing, dme);
  } else {
    DrawScreenTextF(b.f.g, b.arial8, b.green, x, 248.0f, "%03.0f\xB0 / ---  %s", bearing, ident.c_str());
  }
  const Segment arrow[] = {{{143, 251}, {163, 251}}, {{143, 253}, {163, 253}}, {{160, 249}, {164, 252}},
                           {{160, 255}, {164, 252}}};
  DrawSegments(b.f.g, gfx::Pen(colour::kGreen, 1.0f), arrow);
}

void Annunciations(const Blocks& b) {
  const gfx::Pen white2(colour::kWhite, 2.0f);
  b.f.g.DrawLineI(white2, 205, 190, 240, 190);
  b.f.g.DrawLineI(white2, 205, 190, 205, 246);
  // The range as its rings' figures stand ("%2.0f" read 2.5 NM as " 2").
  // A figure wider than the field (0.25, from an aircraft file) would run
  // off the right edge: its ink ends at the edge instead.
  const std::string range = "RNG " + display::RingFigure(b.f.range, 2);
  gfx::RectF layout, ink;
  b.f.g.MeasureStringInk(range, b.arial8, gfx::PointF(205.0f, 205.0f), nullptr, &layout, &ink);
  b.Text(b.arial8, b.white, 205.0f - std::max(0.0f, ink.X + ink.Width - kMd11NdCanvas.width), 205.0f, range.c_str());
  const int mode = b.f.mode;
  if (mode == kMd11NdModeVor || mode == kMd11NdModeAppr) {
    b.Text(b.arial8, b.magenta, 0.0f, 215.0f, mode == kMd11NdModeVor ? "VOR1" : "LOC1");
    DrawScreenTextF(b.f.g, b.arial8, b.magenta, 0.0f, 225.0f, "%3.2f", display::Nav1FrequencyMhz());
    const double dme = FiniteOr(G().Nav1DmeDistance);
    if (dme > 0.0) DrawScreenTextF(b.f.g, b.arial8, b.magenta, 0.0f, 235.0f, "%3.1fNM", dme);
  } else {
    if (M().Md11NdShowIntersections == 1) b.Text(b.arial8, b.white, 0.0f, 205.0f, "WPT");
    if (M().Md11NdShowNavaids == 1) {
      b.Text(b.arial8, b.white, 0.0f, 215.0f, "VOR");
      b.Text(b.arial8, b.white, 0.0f, 225.0f, "NDB");
    }
    if (M().Md11NdShowAirports == 1) b.Text(b.arial8, b.white, 0.0f, 235.0f, "ARPT");
  }
  // A mode value outside the panel's keys (only an aircraft file can give
  // one) has no name to show.
  const char* label = mode == kMd11NdModeMap ? "MAP" : mode == kMd11NdModeVor ? "VOR" : mode == kMd11NdModeAppr ? "APPR" : nullptr;
  if (label != nullptr) b.Text(b.arial8, b.white, 205.0f, 215.0f, label);
}

void LeftBox(const Blocks& b) {
  const gfx::Pen white2(colour::kWhite, 2.0f);
  b.f.g.DrawLineI(white2, 0, 190, 35, 190);
  b.f.g.DrawLineI(white2, 35, 190, 35, 246);
  if (b.f.Plan()) b.f.g.DrawLineI(white2, 35, 200, 35, 258);
  if (M().NdShowTraffic == 1) b.Text(b.arial8, b.white, 0.0f, 195.0f, "TRFC");
  b.Text(b.arial8, b.magenta, 40.0f, 225.0f, G().LnavEngaged == 1 ? "G/I" : "R/I");
  b.Text(b.arial8, b.magenta, 40.0f, 235.0f, "NAV");
}

void Clock(const Blocks& b) {
  const guidance::State& s = G();
  DrawScreenTextF(b.f.g, b.arial7, b.white, 210.0f, 30.0f, "%02d:%02d",
                  std::clamp(gfx::TruncToPixel(FiniteOr(s.ZuluHour)), 0, 99),
                  std::clamp(gfx::TruncToPixel(FiniteOr(s.ZuluMinute)), 0, 99));
  const double elapsed = FiniteOr(s.ElapsedFlightSeconds, -99.0);
  if (elapsed >= 0.0 && flightplan::flightplan_state.ActiveWaypointIndex != model::kNoWaypoint) {
    const int seconds = static_cast<int>(std::min(elapsed, 99.0 * 3600.0 + 59.0 * 60.0));
    DrawScreenTextF(b.f.g, b.arial7, b.blue, 210.0f, 38.0f, "%02d:%02d", seconds / 3600, seconds % 3600 / 60);
  } else {
    b.Text(b.arial7, b.blue, 210.0f, 38.0f, "--:--");
  }
  const gfx::Pen white1(colour::kWhite, 1.0f);
  b.f.g.DrawEllipseI(white1, 205, 23, 30, 30);
  for (int a = 0; a < 360; a += 30) {
    b.f.UseOrigin(220.0f, 38.0f, a);
    b.f.g.DrawLineI(white1, 0, -12, 0, -15);
  }
  b.f.UseCanvas();
}

void Wind(const Blocks& b) {
  const guidance::State& s = G();
  const double speed = FiniteOr(s.WindSpeed);
  if (speed >= 1.0) {
    DrawScreenTextF(b.f.g, b.arial9, b.white, 0.0f, 40.0f, "%03.0f\xB0/%2.0f", FiniteOr(s.WindDirectionMagnetic), speed);
    double towards = std::trunc(FiniteOr(s.WindDirectionMagnetic)) + 180.0;
    if (towards > 360.0) towards -= 360.0;
    b.f.UseOrigin(15.0f, 30.0f, towards - FiniteOr(s.AircraftHeading));
    const Segment arrow[] = {{{0, 10}, {0, -10}}, {{0, -10}, {2, -5}}, {{0, -10}, {-2, -5}}};
    DrawSegments(b.f.g, gfx::Pen(colour::kWhite, 1.0f), arrow);
    b.f.UseCanvas();
  } else {
    b.Text(b.arial9, b.white, 0.0f, 40.0f, "---\xB0/---");
  }
}

enum class Shown { kAll, kPlan, kNotPlan };
struct Block {
  const char* name;
  Shown shown;
  void (*draw)(const Blocks& b);
};
constexpr Block kBlocks[] = {
    {"speeds", Shown::kAll, Speeds},
    {"active waypoint", Shown::kAll, ActiveWaypoint},
    {"plan labels", Shown::kPlan, PlanLabels},
    {"heading box", Shown::kNotPlan, HeadingBox},
    {"bottom line", Shown::kNotPlan, BottomLine},
    {"range labels", Shown::kNotPlan, RangeLabels},
    {"left pointer", Shown::kNotPlan, LeftPointerBlock},
    {"right pointer", Shown::kNotPlan, RightPointerBlock},
    {"annunciations", Shown::kNotPlan, Annunciations},
    {"left box", Shown::kAll, LeftBox},
    {"clock", Shown::kAll, Clock},
    {"wind", Shown::kAll, Wind},
};

}  // namespace

void DrawMd11NdDataBlocks(const Md11NdFrame& f) {
  f.UseCanvas();
  const Blocks b{.f = f};
  for (const Block& block : kBlocks) {
    if (block.shown == Shown::kAll || (block.shown == Shown::kPlan) == f.Plan()) block.draw(b);
  }
}

}  // namespace ovi::nd
