// One table of a pilot's rules, held by every flight flown in ovi-sim: the
// rows of the table of flights, the generated flights of a campaign and a
// flight replayed by hand. Each rule reports what a pilot would object to,
// with its times and figures (docs/flight-rules.md gives the rules and
// their margins).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/flights/flight_record.h"

namespace ovi::flights {

struct Margins {
  // T/C, T/D and destination distances: within 1 NM of the distance flown,
  // or this share of it where that is more (the campaign's 3 %; the table
  // keeps 1 NM).
  double pages_fraction = 0.0;
};

// Rule name -> what a pilot objects to, one line each.
using Problems = std::map<std::string, std::vector<std::string>>;

// Every rule, in the order they are reported.
const std::vector<std::string>& RuleNames();

Problems CheckFlight(const FlightRecord& flight, const Margins& margins);

}  // namespace ovi::flights
