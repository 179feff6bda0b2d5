#include "src/instruments/fms/arrival_time.h"

#include <algorithm>
#include <cmath>

#include "src/guidance/state.h"

namespace ovi::fms {

namespace {

bool Arrival(double distance, double ground_speed, bool local_hour, bool with_seconds, bool nearest_minute,
             ArrivalTime& out) {
  const guidance::State& s = guidance::guidance_state;
  if (!(ground_speed > 0.0) || !std::isfinite(ground_speed)) return false;
  const double to_go = distance / ground_speed * 60.0;
  // Hour and minute of one clock: a zone half an hour off UTC would
  // otherwise show the local hour with the UTC minute.
  double clock = local_hour ? s.LocalClockHour * 60.0 + s.ClockMinute : s.ZuluHour * 60.0 + s.ZuluMinute;
  if (with_seconds) clock += s.ClockSecond / 60.0;
  const double at = clock + to_go;
  // Beyond a few years ahead no hour means anything; nothing that far
  // reaches the integer conversion.
  if (!std::isfinite(at) || at < 0.0 || at > 1e9) return false;
  const double whole_minutes = std::floor(nearest_minute ? at + 0.5 : at);
  out.minute = static_cast<int>(std::fmod(whole_minutes, 60.0));
  out.hour = static_cast<int>(std::fmod(std::floor(whole_minutes / 60.0), 24.0));
  out.tenth = std::clamp(static_cast<int>((at - whole_minutes) * 10.0), 0, 9);
  return true;
}

}  // namespace

bool ArrivalTimeAhead(double distance, double ground_speed, bool local_hour, ArrivalTime& out, bool nearest_minute) {
  return Arrival(distance, ground_speed, local_hour, false, nearest_minute, out);
}

bool ArrivalTimeAheadToTheTenth(double distance, double ground_speed, bool local_hour, ArrivalTime& out) {
  return Arrival(distance, ground_speed, local_hour, true, false, out);
}

int MinuteTenths(double second) {
  if (!std::isfinite(second) || second <= 0.0) return 0;
  if (second >= 60.0) return 9;
  return static_cast<int>(second / 60.0 * 10.0);
}

}  // namespace ovi::fms
