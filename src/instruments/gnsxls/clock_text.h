// Times on the GNS-XLS data pages, "%02.0f:%02.0f" as whole hours and the
// remaining minutes. Every page's time goes through these so that one rule
// holds everywhere: the minutes are taken to the whole minute before the
// split (59.6 minutes read 01:00, never 00:60), and a clock wraps at 24 h.
#pragma once

#include <string>

namespace ovi::gnsxls {

// The longest time to go shown; beyond it the field would outgrow its place.
inline constexpr double kMaxShownMinutes = 99.0 * 60.0 + 59.0;

// A clock time `hours` h and `minutes` min after midnight, hours wrapping
// modulo 24 (either may be negative or past its range). Empty when either
// is not a number.
std::string GnsClockText(double hours, double minutes);

// The clock `minutes_ahead` after the local clock (LocalClockHour,
// ClockMinute): an arrival time.
std::string GnsArrivalText(double minutes_ahead);

// A time to go: whole hours and minutes, no wrap, at most 99:59. Empty when
// not a number or negative.
std::string GnsDurationText(double minutes);

// A time to go to the tenth of a minute, "%02.0f:%s%2.1f" ("01:05.3",
// "00:12.0"); a minute that reads 60.0 at a tenth carries into the hour.
// Empty when not a number or negative.
std::string GnsDurationTenthsText(double hours, double minutes);

// Minutes to cover `distance` NM at `speed` knots; false (and nothing
// worked out) for a speed of 0 or less or a value that is not a number.
bool GnsMinutesToGo(double distance, double speed, double& minutes);

}  // namespace ovi::gnsxls
