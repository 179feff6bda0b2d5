// Arrival times on the CDU and navigator pages: the time a distance ahead
// takes at a speed, added to the clock.
#pragma once

namespace ovi::fms {

struct ArrivalTime {
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int tenth = 0;   // 0..9, the tenth of the minute (ArrivalTimeAheadToTheTenth)
};

// The clock `distance` NM ahead at `ground_speed` knots: minutes to go =
// distance / ground speed x 60, added to the UTC clock (ZuluHour,
// ZuluMinute), or to the local one (LocalClockHour, ClockMinute) when
// `local_hour`. A minute of 60 or more carries into the hour and the
// hour stays within 0..23 however many days ahead; both are truncated to
// whole numbers (to the nearest minute with `nearest_minute`). False (and
// no time) without a positive ground speed or with a distance or clock that
// is not a number.
bool ArrivalTimeAhead(double distance, double ground_speed, bool local_hour, ArrivalTime& out,
                      bool nearest_minute = false);

// As ArrivalTimeAhead, to the tenth of a minute: the clock's second
// (ClockSecond) counts, and `tenth` is the tenth of the minute of arrival.
// A time so shown holds still while the aircraft keeps its ground speed:
// the clock gains what the time to go loses.
bool ArrivalTimeAheadToTheTenth(double distance, double ground_speed, bool local_hour, ArrivalTime& out);

// The tenth of the minute a clock second falls in, 0 to 9 (9 from 54 s on;
// 0 for a second that is not a number or below 0): the digit after a time's
// minutes.
int MinuteTenths(double second);

}  // namespace ovi::fms
