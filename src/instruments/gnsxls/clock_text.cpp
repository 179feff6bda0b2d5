#include "src/instruments/gnsxls/clock_text.h"

#include <algorithm>
#include <cmath>

#include "src/guidance/state.h"
#include "src/instruments/gnsxls/kit.h"

namespace ovi::gnsxls {

namespace {

constexpr double kMinutesPerDay = 24.0 * 60.0;

std::string HoursMinutes(double whole_minutes) {
  return ScreenText("%02.0f:%02.0f", std::floor(whole_minutes / 60.0), std::fmod(whole_minutes, 60.0));
}

}  // namespace

std::string GnsClockText(double hours, double minutes) {
  if (!std::isfinite(hours) || !std::isfinite(minutes)) return {};
  // Reduced before the sum so that no magnitude loses the minute.
  const double total = std::fmod(std::fmod(hours, 24.0) * 60.0 + std::fmod(minutes, kMinutesPerDay), kMinutesPerDay);
  double whole = std::floor(total + 0.5);
  whole = std::fmod(whole + kMinutesPerDay, kMinutesPerDay);
  return HoursMinutes(whole);
}

std::string GnsArrivalText(double minutes_ahead) {
  const guidance::State& g = guidance::guidance_state;
  if (!std::isfinite(minutes_ahead)) return {};
  return GnsClockText(g.LocalClockHour, g.ClockMinute + std::fmod(minutes_ahead, kMinutesPerDay));
}

std::string GnsDurationText(double minutes) {
  if (!std::isfinite(minutes) || minutes < 0.0) return {};
  return HoursMinutes(std::min(std::floor(minutes + 0.5), kMaxShownMinutes));
}

std::string GnsDurationTenthsText(double hours, double minutes) {
  if (!std::isfinite(hours) || !std::isfinite(minutes)) return {};
  const double tenths = std::floor(std::min(hours * 600.0 + minutes * 10.0, kMaxShownMinutes * 10.0) + 0.5);
  if (tenths < 0.0) return {};
  const double h = std::floor(tenths / 600.0);
  const double m = (tenths - h * 600.0) / 10.0;
  return ScreenText("%02.0f:%s%2.1f", h, m < 10.0 ? "0" : "", m);
}

bool GnsMinutesToGo(double distance, double speed, double& minutes) {
  if (!(speed > 0.0) || !std::isfinite(speed) || !std::isfinite(distance)) return false;
  minutes = distance / speed * 60.0;
  return std::isfinite(minutes);
}

}  // namespace ovi::gnsxls
