#include "src/guidance/radio_tuning.h"

#include <cmath>
#include <string>

#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::guidance {

namespace {

// Leading decimal digits, as the C library reads an integer; more digits
// than a radio can take give 0 rather than an overflow.
std::int32_t LeadingDigits(std::string_view text) {
  constexpr std::size_t kMaxDigits = 8;
  std::int32_t value = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (i == kMaxDigits) return 0;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// The first two blank-separated words run together.
std::string FirstTwoWordsJoined(std::string_view text) {
  const auto words = util::SplitBlanks(text);
  std::string joined;
  for (std::size_t i = 0; i < words.size() && i < 2; ++i) joined += words[i];
  return joined;
}

void SendBcd(std::uint32_t event, std::int32_t digits) {
  if (digits == 0) return;
  host::SendKeyEvent(event, static_cast<std::uint32_t>(host::ConvertDigitsBase(digits, 10, 16)));
}

// A magnetic course in whole degrees 1..360 from a true course; 0 when it
// is not a finite number (nothing is sent then).
std::uint32_t MagneticCourse(double true_course) {
  double course = true_course - guidance_state.MagneticVariation;
  if (course < 0.5) course += 360.0;
  // The geodesy reads north as 360, so with a variation west of it the
  // course can pass 360; the radio takes 1..360.
  if (course >= 361.0) course -= 360.0;
  if (!std::isfinite(course) || course < 0.0) return 0;
  return static_cast<std::uint32_t>(course);
}

void SendCourse(double true_course) {
  const std::uint32_t course = MagneticCourse(true_course);
  if (course != 0) host::SendKeyEvent(kEventVorCourse, course);
}

double LegCourse(const model::FlightPlanWaypoint& from, const model::FlightPlanWaypoint& to) {
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(from.latitude, from.longitude, to.latitude, to.longitude, d, c);
  return c;
}

void TuneRunwayIls() {
  const navdb::State& nav = navdb::navdb_state;
  // Before a runway is chosen the base holds -999: no runway, no tuning.
  const long long index = static_cast<long long>(nav.SelectedRunwayBase) + nav.SelectedRunwayOffset - 1;
  if (index < 1 || index > nav.AirportRunwayCount) return;
  const model::RunwayRecord& runway = nav.AirportRunwayTable[static_cast<int>(index)];
  const std::string_view text(runway.frequency_text);
  const std::int32_t digits = LeadingDigits(FirstTwoWordsJoined(text.substr(0, 6)));
  const double heading = std::isfinite(runway.heading) ? std::trunc(runway.heading) : 0.0;
  if (heading > 0.0 && heading <= 360.0)
    host::SendKeyEvent(kEventVorCourse, static_cast<std::uint32_t>(heading));
  SendBcd(kEventNavFrequency, digits);
}

void TuneRoute() {
  const flightplan::State& fp = flightplan::flightplan_state;
  const int last = std::min(fp.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints);
  const int active = fp.ActiveWaypointIndex;
  if (active < 0 || active > last) return;

  int found = -1;
  for (int i = active; i <= last - 1; ++i) {
    if (!fp.ActiveFlightPlan[i].frequency_text.empty()) {
      found = i;
      break;
    }
  }
  if (found > 0) {
    const model::FlightPlanWaypoint& w = fp.ActiveFlightPlan[found];
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(guidance_state.PlaneLatitude, guidance_state.PlaneLongitude, w.latitude,
                                     w.longitude, d, c);
    if (d <= kTuningRange) {
      SendCourse(LegCourse(fp.ActiveFlightPlan[found - 1], w));
      if (w.type == "NDB") SendBcd(kEventAdfFrequency, LeadingDigits(w.frequency_text));
      else SendBcd(kEventNavFrequency, NavFrequencyDigits(w.frequency_text));
      return;
    }
  }
  if (active > 0 && !fp.ActiveFlightPlan[active - 1].frequency_text.empty())
    SendCourse(LegCourse(fp.ActiveFlightPlan[active - 1], fp.ActiveFlightPlan[active]));
}

}  // namespace

std::int32_t NavFrequencyDigits(std::string_view text) {
  std::string t(text);
  if (t.size() >= 4) t[3] = ' ';
  return LeadingDigits(FirstTwoWordsJoined(t));
}

void TuneEnRouteNavaids(std::int32_t mode) {
  if (mode == kTuneRunwayIls) TuneRunwayIls();
  else if (mode == kTuneRoute) TuneRoute();
}

}  // namespace ovi::guidance
