#include "src/guidance/date.h"

#include <cmath>

#include "src/guidance/state.h"
#include "src/host/sim_vars.h"

namespace ovi::guidance {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

void FormatSimulatorDate(std::int32_t day_of_year) {
  static const char* const kNames[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  // A fixed list of leap years would put 29 February into the wrong years
  // outside it; the calendar's own rule holds for every year.
  double year = host::GetZuluYear();
  if (std::isfinite(year) && std::fabs(year) < 1e6 && IsLeapYear(static_cast<int>(year))) lengths[1] = 29;
  // Day 0 or less would otherwise land in January as day 0 or below.
  if (day_of_year < 1) return;
  int before = 0;
  for (int m = 0; m < 12; ++m) {
    if (before + lengths[m] >= day_of_year) {
      State& g = guidance_state;
      g.SimulatorMonthName = kNames[m];
      g.SimulatorMonth = m + 1;
      g.SimulatorDayOfMonth = day_of_year - before;
      return;
    }
    before += lengths[m];
  }
}

}  // namespace ovi::guidance
