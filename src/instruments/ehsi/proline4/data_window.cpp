// The flight-plan data window of both map pages: the previous, active, next
// and destination waypoints with distance, time en route, arrival time and,
// on the destination's row, the fuel predicted there. The pages differ only
// in where the four rows stand.
#include <cmath>
#include <string>
#include <string_view>

#include "src/display/kit.h"
#include "src/display/labels.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/route_ahead.h"
#include "src/guidance/state.h"
#include "src/host/sim_vars.h"
#include "src/instruments/ehsi/proline4/proline4.h"
#include "src/model/records.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::ehsi {

namespace {

using display::DrawScreenText;
using display::DrawScreenTextF;
using display::FiniteOr;
using display::colour::kBlue;
using display::colour::kMagenta;
using display::colour::kWhite;

const guidance::State& G() { return guidance::guidance_state; }
const flightplan::State& F() { return flightplan::flightplan_state; }

constexpr int kIdentField = 6;            // "%-6s"
constexpr int kPassageField = 5;          // "HH:MM", as the passage is stored
constexpr double kCharacterWidth = 6.4;   // canvas units per character of a right-aligned number
constexpr double kTimesShownAbove = 30.0;  // kt
constexpr double kDescentStretchNm = 100.0;
constexpr double kDescentSpeedShare = 0.85;
constexpr double kKilogramsPerPound = 0.45359237;
constexpr double kFuelColumn = 225.0;

// A route entry within 0..last, or null: an index outside the route (the
// entry before the first, an active or stepped index past the last) counts
// as none.
const model::FlightPlanWaypoint* RouteEntry(int index) {
  if (index < 0 || index > F().ActiveFlightPlanLastIndex) return nullptr;
  return F().ActiveFlightPlan.At(index);
}

class DataWindow {
 public:
  explicit DataWindow(gfx::Graphics& g)
      : g_(g),
        arial_(display::ArialBold(11.0f)),
        rered_(display::DaReredBold(11.0f)),
        courier_(display::CourierNewBold(12.0f)),
        blue_(kBlue),
        magenta_(kMagenta),
        white_(kWhite),
        kilograms_(model::model_state.WeightUnit == "KGS") {}

  void PreviousRow(float y);
  void ActiveRow(float y);
  void NextRow(float y);
  void DestinationRow(float y);

 private:
  void Text(const gfx::Font& font, const gfx::SolidBrush& brush, double x, float y, const char* text) {
    DrawScreenText(g_, font, brush, static_cast<float>(x), y, text);
  }
  void Ident(const gfx::SolidBrush& brush, float y, const std::string& ident) {
    DrawScreenTextF(g_, arial_, brush, 0.0f, y, "%-6s", display::FitLabel(ident, kIdentField).c_str());
  }
  // "%.0f" with its last character starting at `right`.
  void RightAligned(const gfx::SolidBrush& brush, float y, double right, const char* format, double value) {
    const double n = static_cast<double>(display::ScreenTextLength(format, value));
    DrawScreenTextF(g_, rered_, brush, static_cast<float>(right - (n - 1.0) * kCharacterWidth), y, format, value);
  }
  void Distance(const gfx::SolidBrush& brush, float y, double nm) {
    RightAligned(brush, y, 73.0, "%.0f", FiniteOr(nm));
    Text(arial_, brush, 80.0, y, "NM");
  }
  void Times(const gfx::SolidBrush& brush, float y, double distance);
  // A row of dashes only: `format` of "-----" in Courier New, "NM" beside it.
  void Placeholder(const gfx::SolidBrush& brush, float y, const char* format) {
    DrawScreenTextF(g_, courier_, brush, 0.0f, y, format, "-----");
    Text(arial_, brush, 81.0, y, "NM");
  }
  const char* Unit() const { return kilograms_ ? "KG" : "LB"; }
  void Fuel(const gfx::SolidBrush& brush, float y, double remaining_nm);
  void RightOfColumn(const gfx::SolidBrush& brush, float y, const std::string& text);

  gfx::Graphics& g_;
  gfx::Font arial_, rered_, courier_;
  gfx::SolidBrush blue_, magenta_, white_;
  bool kilograms_;
};

void DataWindow::Times(const gfx::SolidBrush& brush, float y, double distance) {
  const Proline4WindowTimes t = Proline4TimesOver(distance, G().GroundSpeedKnots);
  RightAligned(brush, y, 113.0, "%.0f", t.ete_hours);
  Text(courier_, brush, 119.0, y, ":");
  DrawScreenTextF(g_, rered_, brush, 127.0f, y, "%02.0f", t.ete_minutes);
  DrawScreenTextF(g_, rered_, brush, 150.0f, y, "%02.0f", t.eta_hours);
  Text(courier_, brush, 164.0, y, ":");
  DrawScreenTextF(g_, rered_, brush, 171.0f, y, "%02d", t.eta_minutes);
}

void DataWindow::PreviousRow(float y) {
  const int active = ActiveRouteIndex();
  if (active < 0) {
    Placeholder(blue_, y, "%-8s---    -:--");
    return;
  }
  const model::FlightPlanWaypoint* previous = RouteEntry(active - 1);
  if (previous == nullptr || previous->time_over_text.empty()) {
    Text(courier_, blue_, 0.0, y, "-----");
    Distance(blue_, y, 0.0);
    Text(courier_, blue_, 97.0, y, "  -:--");
    return;
  }
  double distance = 0.0, course = 0.0;
  navdb::ComputeDistanceAndBearing(G().PlaneLatitude, G().PlaneLongitude, previous->latitude, previous->longitude,
                                   distance, course);
  Ident(blue_, y, previous->ident);
  Distance(blue_, y, distance);
  Text(courier_, blue_, 97.0, y, "  -:--");
  const std::string passage = display::FitLabel(previous->time_over_text, kPassageField);
  DrawScreenText(g_, arial_, blue_, 150.0f, y, passage.c_str());
}

void DataWindow::ActiveRow(float y) {
  const int active = ActiveRouteIndex();
  if (active < 0) {
    Placeholder(magenta_, y, "%-8s---    -:-- --:--");
    return;
  }
  const double distance = FiniteOr(G().ActiveWaypointDistance);
  Ident(magenta_, y, F().ActiveFlightPlan[active].ident);
  Distance(magenta_, y, distance);
  if (G().GroundSpeedKnots > kTimesShownAbove)
    Times(magenta_, y, distance);
  else
    Text(courier_, magenta_, 97.0, y, "  -:-- --:--");
}

// A discontinuity after the active waypoint stands nowhere: the row's
// dashed form, as with no next waypoint.
void DataWindow::NextRow(float y) {
  const int active = ActiveRouteIndex();
  const double distance = active < 0 ? NAN : guidance::RouteAhead().To(active + 1);
  if (active < 0 || F().ActiveFlightPlanLastIndex - active < 2 || !std::isfinite(distance)) {
    Placeholder(white_, y, "%-8s---    -:-- --:--");
    return;
  }
  const model::FlightPlanWaypoint& next = F().ActiveFlightPlan[active + 1];
  Ident(white_, y, next.ident);
  Distance(white_, y, distance);
  if (G().GroundSpeedKnots > kTimesShownAbove)
    Times(white_, y, distance);
  else
    Text(courier_, white_, 97.0, y, "  -:-- --:--");
}

// The fuel left at the destination: the burn over `remaining_nm` at the
// ground speed, the last 100 NM at 85 % of the descent speed; shown once
// the top of climb is passed.
void DataWindow::Fuel(const gfx::SolidBrush& brush, float y, double remaining_nm) {
  std::string text;
  if (G().TocPassed != 1) {
    text = util::Format("---%s", Unit());
  } else {
    double remaining = Proline4DestinationFuel(remaining_nm, G().GroundSpeedKnots, host::GetTotalFuelFlow(),
                                               guidance::GetFuelFlowWeight(),
                                               static_cast<double>(model::model_state.DescentSpeed));
    if (kilograms_) remaining *= kKilogramsPerPound;
    text = util::Format("%.0f%s", remaining, Unit());
  }
  RightOfColumn(brush, y, text);
}

// From x 225, or further left so that the text ends at the canvas's edge:
// from 225 only 22 units remain, less than "---LB" needs.
void DataWindow::RightOfColumn(const gfx::SolidBrush& brush, float y, const std::string& text) {
  gfx::RectF box;
  g_.MeasureString(text, arial_, gfx::PointF(0.0f, 0.0f), nullptr, &box);
  const double x = std::fmin(kFuelColumn, kProline4Canvas.width - box.Width);
  DrawScreenText(g_, arial_, brush, static_cast<float>(x), y, text.c_str());
}

void DataWindow::DestinationRow(float y) {
  const int active = ActiveRouteIndex();
  if (active < 0) {
    Placeholder(white_, y, "%-8s---    -:-- --:-- ----");
    RightOfColumn(white_, y, Unit());
    return;
  }
  const int last = F().ActiveFlightPlanLastIndex;
  const model::FlightPlanWaypoint& destination = F().ActiveFlightPlan[last];
  // Along the remaining legs: straight from the next waypoint the
  // destination could read closer than the waypoints before it.
  const double distance = FiniteOr(guidance::RouteAhead().To(last));
  Ident(white_, y, destination.ident);
  Distance(white_, y, distance);
  if (G().GroundSpeedKnots > kTimesShownAbove) {
    Times(white_, y, distance);
    // The fuel burned over the whole distance to go: from the next waypoint
    // on, the legs before it burned nothing, and the prediction jumped as
    // the last leg became active.
    Fuel(white_, y, distance);
  } else {
    Text(courier_, white_, 97.0, y, "  -:-- --:-- ----");
    RightOfColumn(white_, y, Unit());
  }
}

}  // namespace

Proline4WindowTimes Proline4TimesOver(double distance, double ground_speed) {
  Proline4WindowTimes t;
  const guidance::State& s = G();
  distance = FiniteOr(distance);
  ground_speed = FiniteOr(ground_speed);
  double minutes = ground_speed > 0.0 ? std::fmax(0.0, distance / ground_speed * 60.0) : 0.0;
  if (!std::isfinite(minutes)) minutes = 0.0;
  double hours = 0.0;
  if (minutes / 60.0 >= 1.0) {
    hours = std::trunc(minutes / 60.0);
    minutes -= hours * 60.0;
  }
  // The time en route shows its minutes rounded as "%02.0f" rounds them (a
  // half to even); what rounds to 60 carries into the hour rather than
  // reading 60.
  t.ete_hours = hours;
  t.ete_minutes = std::nearbyint(minutes);
  if (t.ete_minutes >= 60.0) {
    t.ete_hours += 1.0;
    t.ete_minutes -= 60.0;
  }
  // The arrival time adds the unrounded minutes and shows them truncated,
  // so it may read a minute short of the time en route's rounding: kept as
  // the window has always shown it.
  double eta_hours = hours + FiniteOr(s.ZuluHour);
  double eta_minutes = minutes + FiniteOr(s.ZuluMinute);
  if (eta_minutes >= 60.0) {
    eta_minutes -= 60.0;
    eta_hours += 1.0;
  }
  eta_hours = std::fmod(eta_hours, 24.0);
  if (eta_hours < 0.0) eta_hours += 24.0;
  t.eta_hours = eta_hours;
  t.eta_minutes = static_cast<int>(std::fmin(59.0, std::fmax(0.0, std::trunc(eta_minutes))));
  return t;
}

double Proline4DestinationFuel(double remaining_nm, double ground_speed, double fuel_flow, double fuel_weight,
                               double descent_speed) {
  const double f = std::fmax(0.0, FiniteOr(remaining_nm));
  const double gs = FiniteOr(ground_speed);
  if (!(gs > 0.0)) return FiniteOr(fuel_weight);
  double mean = gs;
  if (f > kDescentStretchNm)
    mean = (FiniteOr(descent_speed) * kDescentSpeedShare * kDescentStretchNm + (f - kDescentStretchNm) * gs) / f;
  double burn = mean > 0.0 ? FiniteOr(fuel_flow) * (f / mean) : 0.0;
  if (mean < gs) burn *= mean / gs;
  return FiniteOr(FiniteOr(fuel_weight) - burn);
}

void DrawProline4DataWindow(gfx::Graphics& g, const display::CanvasScale& scale, const std::array<float, 4>& rows) {
  display::UseCanvas(g, scale);
  DataWindow w(g);
  w.PreviousRow(rows[0]);
  w.ActiveRow(rows[1]);
  w.NextRow(rows[2]);
  w.DestinationRow(rows[3]);
}

}  // namespace ovi::ehsi
