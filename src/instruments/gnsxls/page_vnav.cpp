// VNAV (page 15) and VNAV DATA (page 16). VNAV's first sub-page sums up the
// vertical phase and its target; the later ones list the route with the top
// of climb and the top of descent placed among its waypoints. VNAV DATA
// takes the cruise altitude, the transition level and the default
// flight-path angle, which ENT stores (enter_key.cpp). Everything is worked
// out afresh from the live state every frame; nothing of the layout is kept.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/state.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/guidance/vertical_plan.h"
#include "src/instruments/gnsxls/clock_text.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"
#include "src/instruments/gnsxls/vnav_layout.h"
#include "src/model/state.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& Fp() { return flightplan::flightplan_state; }

constexpr int kRowsPerSubPage = 7;
constexpr float kRowY0 = 80.0f, kRowStep = 40.0f;
// Times to the top of climb or descent are worked out above this ground speed.
constexpr double kTimeMinSpeed = 50.0;

bool ActiveWaypointExists() {
  const int a = Fp().ActiveWaypointIndex;
  return a != model::kNoWaypoint && a >= 0 && a <= Fp().ActiveFlightPlanLastIndex;
}

const model::FlightPlanWaypoint* Entry(int i) {
  return i >= 0 && i <= Fp().ActiveFlightPlanLastIndex ? &Fp().ActiveFlightPlan[i] : nullptr;
}

// The live values both sub-page kinds read. Every distance is along the
// route from the aircraft, as the vertical profile measures it, so the
// summary's ranges and the route list's order agree.
struct Vertical {
  bool active = false;
  const char* phase = "INVALID";
  std::vector<double> ahead;   // to each entry from the active one (DistancesAlongRoute)
  double to_toc = 0.0;         // to the top of climb
  double to_tod = 0.0;         // to the top of descent
  double to_constraint = 0.0;  // to the next constraint's waypoint
};

Vertical Read() {
  const guidance::State& g = G();
  const std::int32_t cruise = guidance::PlannedCruiseAltitude();
  Vertical v;
  v.active = ActiveWaypointExists();
  if (!v.active) return v;
  if (g.TocPassed == 0 && cruise > 0) {
    v.phase = "CLIMB";
  } else if (g.TodPassed == 0 && cruise > 0) {
    v.phase = "CRUISE";
  } else if (g.TodPassed == 1 && cruise > 0) {
    v.phase = "DESCENT";
  }
  v.ahead = guidance::DistancesAlongRoute();
  v.to_toc = g.ClimbSideDistance;
  v.to_tod = g.CruiseSideDistance;
  // A constraint index the route ahead no longer has is as far as can be.
  const int k = g.NextConstraintIndex - Fp().ActiveWaypointIndex;
  v.to_constraint = k >= 0 && k < static_cast<int>(v.ahead.size()) ? v.ahead[static_cast<std::size_t>(k)] : HUGE_VAL;
  return v;
}

void PhaseLine(GnsPage& page, const Vertical& v, float altitude_x) {
  page.Text(30, 40, std::string_view(v.phase) == "INVALID" ? kYellow : kGreen, v.phase);
  page.Text(altitude_x, 40, kBlue, ScreenText("%5.0f", G().AircraftAltitude));
}

void DataPrompt(GnsPage& page) {
  page.Text(0, 330, kWhite, "<");
  if (LineState(5) == 1) {
    page.OnBlock(30, 360, "DATA?", 5);
  } else {
    page.Text(30, 360, kWhite, "DATA");
  }
}

// Minutes to go over the ground, as every other page times them; false at
// the page's limit speed or below.
bool MinutesToGo(double distance, double& minutes) {
  const double speed = G().GroundSpeedKnots;
  return speed > kTimeMinSpeed && GnsMinutesToGo(distance, speed, minutes);
}

std::string TimeToGo(double distance) {
  double minutes = 0.0;
  return MinutesToGo(distance, minutes) ? GnsDurationText(minutes) : std::string();
}

// The constraint's altitude, "-----" for a waypoint without one.
std::string ConstraintAltitude() {
  const model::FlightPlanWaypoint* c = Entry(G().NextConstraintIndex);
  if (c == nullptr || c->altitude_constraint == model::kNoValue) return "-----";
  return ScreenText("%5.0f", G().NextConstraintAltitude);
}

std::string ConstraintLabel() {
  const model::FlightPlanWaypoint* c = Entry(G().NextConstraintIndex);
  return ScreenText("TO %s", c != nullptr ? c->ident.c_str() : "------");
}

void Summary(GnsPage& page, const Vertical& v) {
  const guidance::State& g = G();
  const std::int32_t cruise = guidance::PlannedCruiseAltitude();
  PhaseLine(page, v, 380);
  std::string label = "TO ------", value = "-----";
  bool to_marker = false;
  double distance = 0.0;
  if (v.active) {
    if (g.TocPassed == 0 && cruise > 0 && v.to_toc < v.to_constraint) {
      label = "TO #TOC";
      value = ScreenText("%5d", static_cast<int>(cruise));
      to_marker = true;
      distance = v.to_toc;
    } else if (g.TocPassed == 1 && g.TodPassed == 0 && cruise > 0) {
      // To the top of descent itself: the descent's span flown since it
      // is 0 until it is passed.
      label = "TO #TOD";
      value = ScreenText("%5d", static_cast<int>(cruise));
      to_marker = true;
      distance = v.to_tod;
    } else {
      label = ConstraintLabel();
      value = ConstraintAltitude();
    }
  }
  page.Text(30, 80, kMagenta, label);
  page.Text(380, 80, kBlue, value);
  if (to_marker) {
    page.Text(30, 120, kGreen, "RANGE (NM)");
    page.Text(370, 120, kGreen, ScreenText("%5.1f", distance));
    page.Text(30, 160, kBlue, "ETE");
    const std::string ete = TimeToGo(distance);
    page.Text(380, 160, kBlue, ete.empty() ? "-----" : ete);
  } else {
    // The altitude the present vertical speed reaches at the constraint;
    // while the top of climb comes first the climb ends there. A descent
    // levels at the constraint (the autopilot's target), and nothing flies
    // below sea level: carried on down, a steep descent far out read
    // thousands of feet below it.
    page.Text(30, 120, kBlue, "EST CROSSING");
    std::string crossing = "-----";
    if (v.active && g.GroundSpeedKnots > 0.0) {
      const bool toc_first = g.TocPassed == 0 && v.to_toc < v.to_constraint;
      const double minutes = toc_first ? 0.0 : g.NextConstraintDistance / (g.GroundSpeedKnots / 60.0);
      double altitude = g.AircraftAltitude + g.VerticalSpeedFpm * minutes;
      if (g.VerticalSpeedFpm < 0.0)
        altitude = std::max(altitude, std::min(g.AircraftAltitude, g.NextConstraintAltitude));
      altitude = std::max(altitude, 0.0);
      if (std::isfinite(altitude)) crossing = ScreenText("%5.0f", std::clamp(altitude, -99999.0, 999999.0));
    }
    page.Text(380, 120, kBlue, crossing);
  }
  if (v.active) {
    page.Text(30, 200, kGreen, "REQUIRED FPM");
    page.Text(400, 200, kGreen, ScreenText("%4.0f", std::min(std::fabs(g.VnavRequiredVerticalSpeed), 99999.0)));
  }
  const double vs = g.VerticalSpeedFpm;
  page.Text(30, 240, kGreen, ScreenText("ACTUAL   FPM %s", vs > 0.0 ? "UP" : vs < 0.0 ? "DN" : ""));
  page.Text(400, 240, kGreen, ScreenText("%4.0f", std::min(std::fabs(vs), 99999.0)));
  if (v.active && std::string_view(v.phase) != "INVALID") {
    page.Text(30, 320, kGreen, "CRUISE ALT");
    page.Text(340, 320, kGreen, ScreenText("%6d", static_cast<int>(cruise)));
  }
}

void RouteList(GnsPage& page, const Vertical& v, int sub_page) {
  PhaseLine(page, v, 340);
  if (!v.active) return;
  const guidance::State& g = G();
  const std::int32_t cruise = guidance::PlannedCruiseAltitude();
  // The route ahead, and the markers where the plan puts them: all along
  // the route from the aircraft, as the vertical profile measures them.
  const VnavMarkers m{g.TocPassed == 0, g.TodPassed == 0, v.to_toc, v.to_tod};
  const VnavRows rows = LayVnavRows(sub_page, Fp().ActiveWaypointIndex, v.ahead, m);
  for (int r = 0; r < kRowsPerSubPage; ++r) {
    const float y = kRowY0 + kRowStep * static_cast<float>(r);
    const VnavRow& row = rows[static_cast<std::size_t>(r)];
    switch (row.kind) {
      case VnavRow::kToc:
        page.Text(30, y, kMagenta, "#TOC");
        page.Text(320, y, kBlue, ScreenText("%5d", static_cast<int>(cruise)));
        break;
      case VnavRow::kTod:
        page.Text(30, y, g.TocPassed == 1 ? kMagenta : kBlue, "#TOD");
        page.Text(320, y, kBlue, ScreenText("%5d", static_cast<int>(cruise)));
        break;
      case VnavRow::kWaypoint: {
        const model::FlightPlanWaypoint& wp = Fp().ActiveFlightPlan[row.entry];
        page.Text(30, y, kGreen, wp.ident);
        page.Text(320, y, kBlue,
                  wp.altitude_constraint == model::kNoValue ? "------" : ScreenText("%5.0f", wp.altitude_constraint));
        break;
      }
      default:
        break;
    }
  }
}

// ---- VNAV DATA ----------------------------------------------------------------------

void OpenEntry(int line, int state, std::string text) {
  State& s = S();
  flightplan::ResetGnsSelectionState();
  s.NavigatorScratchpad = std::move(text);
  SetLineState(line, state);
  s.ScratchpadClearPending = 1;
  s.GnsXlsEntryActive = 1;
}

void VnavDataLineKey(int key) {
  const model::State& m = model::model_state;
  const std::int32_t before = LineState(key);
  if (key == 7) {
    if (before == 0) {
      OpenEntry(7, 1, ScreenText("%6d", static_cast<int>(m.CruiseAlt)));
    } else if (before == 1) {
      OpenEntry(7, 2, ScreenText("%6d", static_cast<int>(m.TransAlt)));
    } else {
      SetLineState(7, 0);
    }
  } else if (key == 8) {
    if (before == 0) {
      // Digit, point, digit without the point: 3.0 is proposed as "30".
      const std::string fpa = ScreenText("%1.1f", std::clamp(m.FPA, 0.0, 9.9));
      OpenEntry(8, 1, fpa.size() >= 3 ? std::string{fpa[0], fpa[2]} : fpa);
    } else {
      SetLineState(8, 0);
    }
  }
}

// The angle as typed: two digits around the point. One digit reads as the
// whole degrees ENT takes it for ("3" is 3.0), so it shows "3. ".
std::string AngleBeingTyped() {
  std::string& e = S().NavigatorScratchpad;
  if (e.size() > 2) e.resize(2);
  std::string digits = e;
  while (!digits.empty() && digits.back() == ' ') digits.pop_back();
  if (digits.empty()) return " . ";
  if (digits.size() == 1) return digits + ". ";
  return std::string{digits[0], '.', digits[1]};
}

}  // namespace

void DrawGnsxlsVnavPages(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey == 5) {
    const bool select = LineState(5) == 0;
    flightplan::ResetGnsSelectionState();
    SetLineState(5, select ? 1 : 0);
  }
  const Vertical v = Read();
  const guidance::State& gs = G();
  s.GnsVnavPageCount = VnavPageCount(v.active, Fp().ActiveFlightPlanLastIndex, Fp().ActiveWaypointIndex,
                                     gs.TocPassed == 0, gs.TodPassed == 0);
  s.GnsVnavSubPage = std::clamp(s.GnsVnavSubPage, 1, s.GnsVnavPageCount);
  page.Text(90, kTitleY, kWhite,
            ScreenText("VNAV   %d/%d", static_cast<int>(s.GnsVnavSubPage), static_cast<int>(s.GnsVnavPageCount)));
  if (s.GnsVnavSubPage == 1) {
    Summary(page, v);
  } else {
    RouteList(page, v, s.GnsVnavSubPage);
  }
  DataPrompt(page);
}

void DrawGnsxlsVnavDataPage(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey == 7 || s.GnsXlsLineSelectKey == 8) VnavDataLineKey(s.GnsXlsLineSelectKey);
  const model::State& m = model::model_state;
  const guidance::State& gs = G();
  page.Text(90, kTitleY, kWhite, "VNAV  DATA 1/1");

  page.Text(30, 80, kBlue, "CRUISE ALT");
  if (LineState(7) == 1) {
    page.OnBlock(340, 80, s.NavigatorScratchpad);
  } else {
    page.Text(340, 80, kBlue,
              m.CruiseAlt == 0 ? "------" : ScreenText("%6d", static_cast<int>(guidance::PlannedCruiseAltitude())));
  }
  page.Text(30, 120, kBlue, "TRANS LEVEL");
  if (LineState(7) == 2) {
    page.OnBlock(340, 120, s.NavigatorScratchpad);
  } else {
    page.Text(340, 120, kBlue, ScreenText("%6d", static_cast<int>(m.TransAlt)));
  }
  page.Text(30, 160, kGreen, "DEFAULT FPA");
  if (LineState(8) == 1) {
    page.OnBlock(400, 160, AngleBeingTyped());
  } else {
    page.Text(400, 160, kGreen, m.FPA > 0.0 ? ScreenText("%2.1f", std::min(m.FPA, 99.9)) : "---");
  }
  page.Text(30, 240, kBlue, "PRESEL ALT");
  page.Text(360, 240, kBlue, ScreenText("%4.0f", std::clamp(gs.PreselectAltitude, -99999.0, 999999.0)));

  // The top of climb as VNAV's summary and list measure it.
  const Vertical v = Read();
  page.Text(30, 280, kGreen, "RANGE (NM)");
  page.Text(360, 280, kGreen, v.active ? ScreenText("%4.1f", v.to_toc) : "-----");
  page.Text(30, 320, kBlue, "ETE");
  std::string ete;
  double minutes = 0.0;
  if (v.active && MinutesToGo(v.to_toc, minutes)) {
    ete = s.GnsFplDataColumnChoice == kColumnEta ? GnsArrivalText(minutes) : GnsDurationText(minutes);
  }
  page.Text(360, 320, kBlue, ete.empty() ? "------" : ete);
}

}  // namespace ovi::gnsxls
