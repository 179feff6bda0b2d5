// PLAN (page 19): fuel, trip, time and weight figures in six sub-pages,
// worked out every frame from the simulator and the active route. The one
// entry is the reserve fuel: line key 7 opens it on any sub-page, ENT
// takes it (enter_key.cpp).
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "src/flightplan/procedure_splice.h"
#include "src/flightplan/state.h"
#include "src/guidance/date.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/gnsxls/clock_text.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/pages.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"

namespace ovi::gnsxls {

namespace {

State& S() { return gnsxls_state; }
guidance::State& G() { return guidance::guidance_state; }

constexpr int kSubPages = 6;
constexpr double kKilogramsPerPound = 0.45359237;

// Below these ground speeds a field shows its placeholder: each field keeps
// its own limit.
constexpr double kEnduranceMinSpeed = 50.0;  // HOURS, RANGE, NM/LB, ETE, ETA, leg and plan fuel
constexpr double kTripMinSpeed = 20.0;       // TRIP PLAN's GS and its route time
constexpr double kFuelPlanMinSpeed = 0.0;    // FUEL PLAN's GS

// The two fuel-flow variables of each engine.
struct EngineTokens {
  std::uint32_t first, second;
};
constexpr std::array<EngineTokens, 4> kEngineTokens = {{{421, 638}, {460, 657}, {499, 676}, {538, 695}}};

// What every sub-page reads, once a frame.
struct Figures {
  double fob = 0.0;   // pounds
  double flow = 0.0;  // pounds per hour, all engines
  double gs = 0.0;
  bool active = false;  // an active waypoint exists
};

Figures Read() {
  Figures f;
  // Reading the fuel on board also lowers the reserve to it whenever the
  // reserve is larger: every frame of this page keeps the reserve at or
  // below the fuel on board.
  f.fob = guidance::GetFuelFlowWeight();
  f.flow = host::GetTotalFuelFlow();
  f.gs = G().GroundSpeedKnots;
  const flightplan::State& fp = flightplan::flightplan_state;
  f.active = fp.ActiveWaypointIndex != model::kNoWaypoint && fp.ActiveWaypointIndex >= 0 &&
             fp.ActiveWaypointIndex <= fp.ActiveFlightPlanLastIndex;
  return f;
}

bool Kilograms() { return model::model_state.WeightUnit == "KGS"; }
double Shown(double pounds) { return Kilograms() ? pounds * kKilogramsPerPound : pounds; }

// A figure through "%N.0f"; the placeholder for one that is not a number.
std::string Figure(const char* format, double value, const char* placeholder) {
  return std::isfinite(value) ? ScreenText(format, value) : std::string(placeholder);
}

const std::string& EntryIdent(int i) { return flightplan::flightplan_state.ActiveFlightPlan[i].ident; }

// Miles per unit of fuel, three figures in five characters ending where
// RANGE ends: an airliner's 0.038 and a light aircraft's 2.50 both read.
constexpr float kMilesPerFuelX = 360.0f;
std::string MilesPerFuelText(double miles) {
  if (!std::isfinite(miles) || miles < 0.0) return "-----";
  if (miles < 9.9995) return ScreenText("%5.3f", miles);
  if (miles < 99.995) return ScreenText("%5.2f", miles);
  if (miles < 999.95) return ScreenText("%5.1f", miles);
  return "-----";
}

// ---- line key 7: the reserve ----------------------------------------------------

// The figure is proposed in the unit the page shows, so that ENT on it
// unchanged keeps the reserve (enter_key.cpp converts a kilogram entry).
void LineKey7() {
  State& s = S();
  const bool open = LineState(7) == 0;
  flightplan::ResetGnsSelectionState();
  if (!open) return;
  s.NavigatorScratchpad = Figure("%6.0f", Shown(model::model_state.ReserveFuel), "     0");
  s.GnsReserveProposal = s.NavigatorScratchpad;
  SetLineState(7, 1);
  s.ScratchpadClearPending = 1;
  s.GnsXlsEntryActive = 1;
}

// ---- the sub-pages ----------------------------------------------------------------

void FuelStatus(GnsPage& page, const Figures& f) {
  page.Text(90, 40, kWhite, "FUEL STATUS");
  page.Text(380, 40, kGreen, Kilograms() ? "KG" : "LB");
  page.Text(30, 80, kGreen, "REMAINING");
  page.Text(340, 80, kGreen, Figure("%6.0f", Shown(f.fob), "------"));
  page.Text(30, 120, kGreen, "RESERVE");
  if (LineState(7) == 1) {
    page.OnBlock(340, 120, S().NavigatorScratchpad, 6);
  } else {
    page.Text(340, 120, kGreen, Figure("%6.0f", Shown(model::model_state.ReserveFuel), "------"));
  }
  page.Text(30, 160, kGreen, "FLOW");
  page.Text(340, 160, kGreen, Figure("%6.0f", Shown(f.flow), "------"));
  // Endurance in hours; without a flow there is none to show.
  const bool moving = f.gs > kEnduranceMinSpeed;
  const double hours = f.flow > 0.0 ? f.fob / f.flow : NAN;
  page.Text(90, 280, kBlue, "HOURS");
  const std::string endurance = moving ? GnsDurationText(hours * 60.0) : std::string();
  page.Text(360, 280, kBlue, endurance.empty() ? "-----" : endurance);
  page.Text(90, 320, kGreen, "RANGE");
  page.Text(360, 320, kGreen, moving ? Figure("%5.0f", hours * f.gs, "-----") : "-----");
  // Miles per unit of fuel, in the unit the page shows (the flow over the
  // ground speed read pounds per mile under this label).
  page.Text(90, 360, kGreen, Kilograms() ? "NM/KG" : "NM/LB");
  page.Text(kMilesPerFuelX, 360, kGreen, moving ? MilesPerFuelText(f.gs / Shown(f.flow)) : "-----");
  page.Text(470, 98, kWhite, ">");
}

void DirectAndTo(GnsPage& page, const Figures& f) {
  page.Text(30, 80, kYellow, "DIRECT");
  page.Text(340, 80, kGreen, f.active ? ScreenText("%6s", EntryIdent(0).c_str()) : "------");
  const int active = flightplan::flightplan_state.ActiveWaypointIndex;
  page.Text(30, 120, kMagenta, f.active ? ScreenText("TO %6s", EntryIdent(active).c_str()) : "TO ------");
  page.Text(340, 120, kGreen, f.active ? ScreenText("%6s", EntryIdent(0).c_str()) : "------");
}

void TripPlan(GnsPage& page, const Figures& f) {
  const guidance::State& g = G();
  page.Text(90, 40, kWhite, "TRIP PLAN");
  DirectAndTo(page, f);
  page.Text(30, 160, kGreen, "GS");
  page.Text(400, 160, kGreen, f.gs > kTripMinSpeed ? Figure("%3.0f", f.gs, "---") : "---");
  page.Text(30, 200, kGreen, "DIS/DTK");
  page.Text(280, 200, kGreen,
            g.ActiveWaypointDistance > 0.0 ? ScreenText("%4.1f/%03.0f", g.ActiveWaypointDistance, g.DesiredTrack)
                                           : "------/---");
  page.Text(30, 240, kBlue, "ETE");
  const std::string ete = f.gs > kEnduranceMinSpeed
                              ? GnsDurationText(g.ActiveWaypointEteHours * 60.0 + g.EteMinutes)
                              : std::string();
  page.Text(360, 240, kBlue, ete.empty() ? "-----" : ete);
  page.Text(30, 280, kGreen, "FPL");
  const bool route_left = g.DestinationDistance > 0.0;
  page.Text(240, 280, kGreen, route_left ? Figure("%5.0f/", g.DestinationDistance, "-----/") : "-----/");
  const std::string to_go = route_left && f.gs > kTripMinSpeed
                                ? GnsDurationText(g.DestinationEteHours * 60.0 + g.TodEteMinutes)
                                : std::string();
  page.Text(360, 280, kBlue, to_go.empty() ? "-----" : to_go);
  const int last = flightplan::flightplan_state.ActiveFlightPlanLastIndex;
  page.Text(30, 320, kBlue, f.active ? ScreenText("ETA @ %s", EntryIdent(last).c_str()) : "ETA @ ----");
  const std::string eta = f.gs > kEnduranceMinSpeed
                              ? GnsClockText(g.DestinationEteHours + g.LocalClockHour, g.TodEteMinutes + g.ClockMinute)
                              : std::string();
  page.Text(360, 340, kBlue, eta.empty() ? "------" : eta);
}

void FuelPlan(GnsPage& page, const Figures& f) {
  const guidance::State& g = G();
  page.Text(120, 40, kWhite, "FUEL PLAN");
  DirectAndTo(page, f);
  page.Text(30, 160, kGreen, "GS");
  page.Text(400, 160, kGreen, f.gs > kFuelPlanMinSpeed ? Figure("%3.0f", f.gs, "---") : "---");
  page.Text(30, 200, kGreen, "FLOW");
  page.Text(380, 200, kGreen, Figure("%4.0f", f.flow, "----"));
  const bool moving = f.gs > kEnduranceMinSpeed;
  page.Text(30, 240, kGreen, "LEG FUEL");
  page.Text(360, 240, kGreen, moving ? Figure("%5.0f", f.flow * g.ActiveWaypointDistance / f.gs, "-----") : "-----");
  page.Text(30, 280, kGreen, "FPL FUEL");
  page.Text(360, 280, kGreen, moving ? Figure("%5.0f", f.flow * g.DestinationDistance / f.gs, "-----") : "-----");
}

// Each engine by its own variables; the total (GetTotalFuelFlow) chooses
// the same way engine by engine, so TOTAL is the sum of the rows.
void FuelFlow(GnsPage& page, const Figures& f) {
  page.Text(30, 40, kWhite, "FUEL FLOW");
  for (std::size_t n = 0; n < kEngineTokens.size(); ++n) {
    const double first = host::ReadSimVar(kEngineTokens[n].first);
    const double second = host::ReadSimVar(kEngineTokens[n].second);
    if (!(first > 0.0) && !(second > 0.0)) continue;
    const float y = 160.0f + 40.0f * static_cast<float>(n);
    page.Text(30, y, kGreen, ScreenText("ENGINE   %d", static_cast<int>(n) + 1));
    page.Text(380, y, kGreen, Figure("%4.0f", first > 0.0 ? first : second, "----"));
  }
  page.Text(30, 360, kGreen, "TOTAL");
  page.Text(380, 360, kGreen, Figure("%4.0f", f.flow, "----"));
}

// The shared takeoff and landing texts read "-----" from the first frame
// of this sub-page on while they are empty: other pages show them so.
void DateAndTimes(GnsPage& page) {
  guidance::State& g = G();
  guidance::FormatSimulatorDate(host::TruncateToInt32(host::GetZuluDay()));
  page.Text(30, 80, kBlue, "DATE");
  page.Text(280, 80, kBlue,
            ScreenText("%02d %s %02.0f", static_cast<int>(g.SimulatorDayOfMonth), g.SimulatorMonthName.c_str(),
                       std::fmod(host::GetZuluYear() - 2000.0, 100.0)));
  page.Text(30, 120, kBlue, "GMT");
  page.Text(280, 120, kBlue, GnsClockText(host::GetZuluHour(), host::GetZuluMinute()));
  if (g.TakeoffTimeText.empty()) g.TakeoffTimeText = "-----";
  if (g.LandingTimeText.empty()) g.LandingTimeText = "-----";
  page.Text(30, 200, kBlue, "TAKEOFF");
  page.Text(380, 200, kBlue, g.TakeoffTimeText);
  page.Text(30, 240, kBlue, "LAND");
  page.Text(380, 240, kBlue, g.LandingTimeText);
  page.Text(30, 320, kBlue, "FLIGHT TIME");
  // Minutes since takeoff within one day: a flight across midnight UTC
  // reads the time flown, not a negative one.
  const std::string flown = g.TakeoffTimeText == "-----"
                                ? std::string()
                                : GnsClockText(0.0, (g.ZuluHour * 60.0 + g.ZuluMinute) -
                                                        (g.TakeoffZuluHour * 60.0 + g.TakeoffZuluMinute));
  page.Text(380, 320, kBlue, flown.empty() ? "-----" : flown);
}

void AircraftWeight(GnsPage& page, const Figures& f) {
  const guidance::State& g = G();
  page.Text(120, 80, kWhite, "AIRCRAFT WEIGHT");
  page.Text(30, 160, kGreen, "BASIC OP WT");
  page.Text(340, 160, kGreen, Figure("%6.0f", g.GrossWeight, "------"));
  page.Text(30, 200, kGreen, "PAYLOAD");
  page.Text(340, 200, kGreen, Figure("%6.0f", g.PayloadWeight, "------"));
  page.Text(30, 240, kGreen, "FUEL ON BOARD");
  page.Text(340, 240, kGreen, Figure("%6.0f", f.fob, "------"));
  page.Text(30, 320, kGreen, "FUEL USED");
  page.Text(360, 320, kGreen, f.fob > g.FuelUsed ? "-----" : Figure("%5.0f", g.FuelUsed - f.fob, "-----"));
  page.Text(30, 360, kGreen, "GROSS WEIGHT");
  page.Text(340, 360, kGreen, Figure("%6.0f", f.fob + g.GrossWeight, "------"));
}

}  // namespace

void DrawGnsxlsFuelPages(display::GaugeDisplay& display, gfx::Graphics& g) {
  State& s = S();
  GnsPage page(display, g);
  if (s.GnsXlsLineSelectKey == 7) LineKey7();
  page.Text(150, kTitleY, kWhite, ScreenText("PLAN %d/%d", static_cast<int>(s.GnsPlanSubPage), kSubPages));
  if (s.GnsPlanSubPage < 1 || s.GnsPlanSubPage > kSubPages) return;
  const Figures f = Read();
  switch (s.GnsPlanSubPage) {
    case 1:
      FuelStatus(page, f);
      break;
    case 2:
      TripPlan(page, f);
      break;
    case 3:
      FuelPlan(page, f);
      break;
    case 4:
      FuelFlow(page, f);
      break;
    case 5:
      DateAndTimes(page);
      break;
    default:
      AircraftWeight(page, f);
      break;
  }
}

}  // namespace ovi::gnsxls
