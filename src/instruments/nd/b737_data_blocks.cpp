// The data blocks of the B737 display: the text fields and small symbols
// drawn over compass and map, last in every frame, without the clip.
#include <algorithm>
#include <cmath>
#include <span>

#include "src/display/map_labels.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/nd/b737_data_blocks.h"
#include "src/instruments/nd/b737_nd.h"
#include "src/model/state.h"

namespace ovi::nd {

namespace {

using gfx::Point;

const guidance::State& G() { return guidance::guidance_state; }
const model::State& M() { return model::model_state; }

bool ActiveWaypoint() { return flightplan::flightplan_state.ActiveWaypointIndex != model::kNoWaypoint; }

// The texts that follow another one start 6.5 canvas units per character of
// it to the right (the rule of the ETA's "Z").
constexpr float kFollowPerChar = 6.5f;

struct Fonts {
  gfx::Font label = ArialBold(9.0f);
  gfx::Font value = ArialBold(12.0f);
  gfx::Font heading = ArialBold(15.0f);
};

struct Brushes {
  gfx::SolidBrush white{colour::kWhite};
  gfx::SolidBrush green{colour::kGreen};
  gfx::SolidBrush blue{colour::kBlue};
};

void DrawDistanceFields(const B737NdFrame& f, const Fonts& fonts, const Brushes& b) {
  const int mode = f.mode;
  if (mode == 2 || mode == 4) {
    DrawScreenText(f.g, fonts.label, b.white, 5.0f, 10.0f, "DME");
    const double dme = FiniteOr(G().Nav1DmeDistance);
    if (host::GetNav1Signal() > 0.0 && dme > 0.0) {
      DrawScreenTextF(f.g, fonts.value, b.white, 30.0f, 8.0f, "%.1f", dme);
    } else {
      DrawScreenText(f.g, fonts.value, b.white, 30.0f, 8.0f, "- - -");
    }
    return;
  }
  if (ActiveWaypoint()) {
    const double distance = FiniteOr(G().ActiveWaypointDistance);
    DrawScreenTextF(f.g, fonts.value, b.white, 10.0f, 8.0f, "%.1f", distance);
    const float nm_x = 10.0f + kFollowPerChar * static_cast<float>(ScreenTextLength("%.1f", distance));
    DrawScreenText(f.g, fonts.label, b.white, nm_x, 10.0f, "NM");
  }
  DrawScreenText(f.g, fonts.label, b.white, 10.0f, 23.0f, "TAS");
  const double tas = FiniteOr(G().TrueAirspeedEstimate);
  if (tas > 100.0) {
    DrawScreenTextF(f.g, fonts.value, b.white, kTasValueX, 20.0f, "%3.0f", tas);
  } else {
    DrawScreenText(f.g, fonts.value, b.white, kTasValueX, 20.0f, "- - -");
  }
}

void DrawTrafficStatus(const B737NdFrame& f, const Fonts& fonts, const Brushes& b) {
  if (f.mode < 3 || f.mode > 6) return;
  const float y = f.mode == 6 ? 33.0f : 95.0f;
  const gfx::SolidBrush mask(f.background);
  if (M().NdShowTraffic == 1) {
    f.g.FillRectangle(mask, 10.0f, y, 20.0f, 10.0f);
    DrawScreenText(f.g, fonts.label, b.green, 10.0f, y, "TFC");
  } else {
    f.g.FillRectangle(mask, 10.0f, y, 30.0f, 20.0f);
    DrawScreenText(f.g, fonts.label, b.white, 10.0f, y, "TCAS");
    DrawScreenText(f.g, fonts.label, b.white, 10.0f, y + kOffRowStep, "OFF");
  }
}

// Heading box with its pointer, and the heading readout on its row.
void DrawHeadingRow(const B737NdFrame& f, const Fonts& fonts, const Brushes& b) {
  const int y0 = f.mode == 1 || f.mode == 2 ? 30 : 5;
  const gfx::Pen white1(colour::kWhite, 1.0f);
  const Point box[] = {{107, y0},      {107, y0 + 15}, {115, y0 + 15}, {122, y0 + 26},
                       {129, y0 + 15}, {137, y0 + 15}, {137, y0}};
  f.g.DrawLinesI(white1, box);
  if (f.mode == 1 || f.mode == 2) f.g.DrawLineI(white1, 137, y0, 107, y0);

  const float digits_y = static_cast<float>(y0) + kHeadingDigitsDy;
  const float labels_y = static_cast<float>(y0) + kHeadingLabelsDy;
  int heading = static_cast<int>(std::clamp(FiniteOr(G().AircraftHeading), -360.0, 720.0));
  if (heading == 0) heading = 360;
  DrawScreenText(f.g, fonts.label, b.green, 83.0f, labels_y, "HDG");
  DrawScreenTextF(f.g, fonts.heading, b.white, 107.0f, digits_y, "%03.0f", static_cast<double>(heading));
  DrawScreenText(f.g, fonts.label, b.green, 140.0f, labels_y, "M");
}

void DrawTimeAndSpeed(const B737NdFrame& f, const Fonts& fonts, const Brushes& b) {
  if (ActiveWaypoint()) {
    const EtaText eta = FormatEta(G().ActiveWaypointEteHours, G().EteMinutes, G().EteMinuteTenths, G().ZuluHour,
                                  G().ZuluMinute);
    DrawScreenText(f.g, fonts.value, b.white, 190.0f, 8.0f, eta.text);
    DrawScreenText(f.g, fonts.label, b.white, 190.0f + kFollowPerChar * static_cast<float>(eta.length), 10.0f,
                   "Z");
  }
  DrawScreenText(f.g, fonts.label, b.white, 190.0f, 20.0f, "GS");
  DrawScreenTextF(f.g, fonts.value, b.white, kGsValueX, 18.0f, "%.0f", FiniteOr(G().GroundSpeedKnots));
}

void DrawSources(const B737NdFrame& f, const Fonts& fonts, const Brushes& b) {
  if (f.mode == 1 || f.mode == 3) {
    DrawScreenText(f.g, fonts.value, b.green, 10.0f, 285.0f, "NAV");
    return;
  }
  if (f.mode != 2 && f.mode != 4) return;
  const bool ils = host::IsNav1Localizer() != 0 && host::IsNav1GlideslopeAvailable() != 0;
  DrawScreenText(f.g, fonts.value, b.green, 10.0f, 285.0f, ils ? "ILS 1" : "VOR 1");
  if (host::GetNav1Signal() > 0.0) {
    DrawScreenTextF(f.g, fonts.value, b.green, 190.0f, 285.0f, "%3.2f", Nav1FrequencyMhz());
  } else {
    DrawScreenText(f.g, fonts.value, b.green, 190.0f, 285.0f, "------");
  }
  if (G().AdfSignal > 1.0) {
    DrawScreenText(f.g, fonts.value, b.blue, 10.0f, 270.0f, "ADF 1");
    DrawScreenTextF(f.g, fonts.value, b.blue, 190.0f, 270.0f, "%04.1f", AdfFrequencyKhz());
  }
}

// Wind text and, with a wind of 1 kt or more, the arrow the wind blows along.
void DrawWind(const B737NdFrame& f, const Fonts& fonts, const Brushes& b) {
  if (f.mode < 1 || f.mode > 6) return;
  const double speed = FiniteOr(G().WindSpeed);
  if (!(speed >= 1.0)) {
    DrawScreenText(f.g, fonts.value, b.white, 10.0f, 255.0f, "---\xB0/---");
    return;
  }
  const double direction = FiniteOr(G().WindDirectionMagnetic);
  DrawScreenTextF(f.g, fonts.value, b.white, 10.0f, 255.0f, "%03.0f\xB0/%2.0f", direction, speed);
  double towards = direction + 180.0;
  if (towards >= 360.0) towards -= 360.0;
  f.UseOrigin(15.0f, 247.0f, towards - FiniteOr(G().AircraftHeading));
  f.g.DrawLineI(gfx::Pen(colour::kWhite, 2.0f), 0, 5, 0, -4);
  const Point head[] = {{0, -8}, {3, -3}, {-3, -3}};
  f.g.FillPolygonI(b.white, head);
  f.UseCanvas();
}

void DrawSelectedHeading(const B737NdFrame& f) {
  const gfx::Pen magenta2(colour::kMagenta, 2.0f);
  gfx::Pen dashed(colour::kMagenta, 2.0f);
  dashed.SetDashStyle(gfx::DashStyle::Dash);
  const double bug = FiniteOr(G().ApHeadingLockDir) - FiniteOr(G().AircraftHeading);
  const int mode = f.mode;
  if (mode == 1 || mode == 2 || mode == 6) {
    const int inner = mode == 6 ? -99 : -79;
    const int outer = mode == 6 ? -107 : -87;
    f.UseOrigin(kB737NdCenterX, mode == 6 ? kCentredCenterY : kRoseCenterY, bug);
    display::ClaimMapBox(f.g, display::MapRank::kFixed, gfx::RectF(-11.0f, outer - 1.0f, 22.0f, inner - outer + 2.0f));
    f.g.DrawLineI(magenta2, -10, inner, 10, inner);
    f.g.DrawLineI(magenta2, -10, outer, 10, outer);
    f.g.DrawLineI(magenta2, -10, inner, -10, outer);
    f.g.DrawLineI(magenta2, 0, inner, 0, outer);
    f.g.DrawLineI(magenta2, 10, inner, 10, outer);
    f.g.DrawLineI(dashed, 0, 0, 0, outer);
  } else if (mode >= 3 && mode <= 7) {
    static constexpr Point kMarker[] = {{0, -218},  {-7, -226}, {-10, -226}, {-10, -218},
                                        {10, -218}, {10, -226}, {6, -226},   {0, -218}};
    f.UseOrigin(kB737NdCenterX, kArcCenterY, bug);
    display::ClaimMapBox(f.g, display::MapRank::kFixed, gfx::RectF(-11.0f, -227.0f, 22.0f, 10.0f));
    f.g.DrawLinesI(magenta2, kMarker);
    if (mode != kB737NdModePlan) f.g.DrawLineI(dashed, 0, 0, 0, -218);
  }
  if (mode == 1 || mode == 2) {
    static constexpr Point kTopTriangle[] = {{0, -80}, {7, -70}, {-7, -70}, {0, -80}};
    f.UseOrigin(kB737NdCenterX, kRoseCenterY);
    f.g.DrawLinesI(gfx::Pen(colour::kWhite, 2.0f), kTopTriangle);
  }
  f.UseCanvas();
}

// PLAN is drawn north up: an "N" with an arrow pointing to the top.
void DrawNorthMark(const B737NdFrame& f) {
  if (f.mode != kB737NdModePlan) return;
  const gfx::SolidBrush green(colour::kGreen);
  DrawScreenText(f.g, ArialBold(12.0f), green, 100.0f, 50.0f, "N");
  f.g.DrawLineI(gfx::Pen(colour::kGreen, 2.0f), 106, 78, 106, 69);
  static constexpr Point kHead[] = {{106, 64}, {110, 71}, {102, 71}};
  f.g.FillPolygonI(green, kHead);
}

}  // namespace

EtaText FormatEta(double ete_hours, double ete_minutes, double ete_tenths, double zulu_hour, double zulu_minute) {
  auto whole = [](double v, double hi) { return static_cast<int>(std::clamp(FiniteOr(v), 0.0, hi)); };
  int hours = whole(ete_hours, 1e6) + whole(zulu_hour, 23.0);
  int minutes = whole(ete_minutes, 59.0) + whole(zulu_minute, 59.0);
  if (minutes >= 60) {
    minutes -= 60;
    hours += 1;
  }
  hours %= 24;
  const int tenths = whole(ete_tenths, 9.0);
  EtaText eta;
  eta.length = ScreenTextLength("%02d%02d.%1d", hours, minutes, tenths);
  std::snprintf(eta.text, sizeof eta.text, "%02d%02d.%1d", hours, minutes, tenths);
  return eta;
}

int VerticalDeviationPointerY(double path_altitude, double altitude, double since_tod, double tod_to_constraint,
                              int* number, int* number_y) {
  *number = -1;
  path_altitude = FiniteOr(path_altitude);
  altitude = FiniteOr(altitude);
  if (!(FiniteOr(since_tod) < FiniteOr(tod_to_constraint)) || path_altitude == altitude) return kDeviationCentreY;
  const bool above = path_altitude < altitude;
  const double dev = above ? altitude - path_altitude : path_altitude - altitude;
  if (dev < 400.0) {
    // The pointer's place is truncated, not its offset: 300 ft below the
    // path is 203.5, drawn at 203.
    const double offset = dev * 0.0025 * 30.0;
    return static_cast<int>(above ? kDeviationCentreY + offset : kDeviationCentreY - offset);
  }
  *number = static_cast<int>(std::min(dev, 9999.0));
  *number_y = above ? 265 : 185;
  return above ? 258 : 194;
}

void DrawVerticalDeviationScale(const B737NdFrame& f, double path_altitude, double altitude, double since_tod,
                                double tod_to_constraint) {
  f.UseCanvas();
  f.g.FillRectangle(gfx::SolidBrush(f.background), 218.0f, 185.0f, 25.0f, 90.0f);
  int number = -1, number_y = 0;
  const int y = VerticalDeviationPointerY(path_altitude, altitude, since_tod, tod_to_constraint, &number, &number_y);
  if (number >= 0) {
    DrawScreenTextF(f.g, ArialBold(9.0f), gfx::SolidBrush(colour::kWhite), 220.0f, static_cast<float>(number_y),
                    "%4d", number);
  }
  const gfx::Pen white1(colour::kWhite, 1.0f);
  f.g.DrawLineI(white1, 230, 200, 230, 260);
  f.g.DrawLineI(white1, 225, 200, 230, 200);
  f.g.DrawLineI(white1, 220, 230, 230, 230);
  f.g.DrawLineI(white1, 225, 260, 230, 260);
  const Point pointer[] = {{218, y}, {224, y}, {228, y + 4}, {224, y + 8}, {218, y + 8}, {218, y}};
  f.g.DrawLinesI(gfx::Pen(colour::kWhite, 2.0f), pointer);
}

void KeepNdReadoutsClear(const B737NdFrame& f) {
  f.UseCanvas();
  const int mode = f.mode;
  auto clear = [&](float x, float y, float w, float h) { display::KeepMapClear(f.g, gfx::RectF(x, y, w, h)); };
  if (mode >= 3 && mode <= 6) {
    const float y = mode == 6 ? 33.0f : 95.0f;
    if (M().NdShowTraffic == 1)
      clear(10.0f, y, 20.0f, 10.0f);
    else
      clear(10.0f, y, 30.0f, 20.0f);
  }
  if ((mode == 3 || mode == 5 || mode == 6) && G().VerticalProfileValid == 1 && ActiveWaypoint())
    clear(218.0f, 185.0f, 25.0f, 90.0f);
  if (mode == 3) clear(10.0f, 285.0f, 30.0f, 14.0f);
  if (mode == 4) {
    clear(10.0f, 285.0f, 40.0f, 14.0f);
    clear(190.0f, 285.0f, 45.0f, 14.0f);
    if (G().AdfSignal > 1.0) {
      clear(10.0f, 270.0f, 40.0f, 14.0f);
      clear(190.0f, 270.0f, 40.0f, 14.0f);
    }
  }
  // The wind's text and its arrow.
  if (mode <= 6) {
    clear(10.0f, 255.0f, 56.0f, 14.0f);
    if (FiniteOr(G().WindSpeed) >= 1.0) clear(7.0f, 239.0f, 16.0f, 16.0f);
  }
  if (mode == kB737NdModePlan) clear(98.0f, 49.0f, 14.0f, 30.0f);
}

void DrawNdDataBlocks(const B737NdFrame& f) {
  const Fonts fonts;
  const Brushes brushes;
  f.UseCanvas();
  DrawDistanceFields(f, fonts, brushes);
  DrawTrafficStatus(f, fonts, brushes);
  const int mode = f.mode;
  if ((mode == 1 || mode == 3 || mode == 5 || mode == 6) && G().VerticalProfileValid == 1 && ActiveWaypoint()) {
    DrawVerticalDeviationScale(f, G().VnavPathAltitude, G().AircraftAltitude, G().DistanceSinceTod,
                               G().DistanceTodToConstraint);
    f.UseCanvas();
  }
  DrawHeadingRow(f, fonts, brushes);
  DrawTimeAndSpeed(f, fonts, brushes);
  DrawSources(f, fonts, brushes);
  DrawWind(f, fonts, brushes);
  DrawSelectedHeading(f);
  DrawNorthMark(f);
}

}  // namespace ovi::nd
