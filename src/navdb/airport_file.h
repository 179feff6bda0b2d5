// One airport of the airport files with its runways, read without touching
// the tables the displays draw: the airport details and the procedure sets
// both start from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "src/model/records.h"
#include "src/navdb/text_file.h"

namespace ovi::navdb {

struct AirportData {
  model::NavDbRecord record;
  model::RunwayRecord runways[model::kMaxRunways];
  int runway_count = 0;
  // The runway lines of this airport that were refused (malformed, over-long
  // or past kMaxRunways), in the name of the file read; posting them is the
  // caller's choice.
  BadLineReport bad_runway_lines;
  std::string report_key;  // the file and the airport line's number
  // The runway numbers those lines named: the procedures that name them are
  // the airport file's fault, not their own.
  std::vector<std::string> refused_runways;
};

// "A IDENT ELEVATION LAT LON [NAME]" into a fresh record; false when the
// line is no valid airport line.
bool ParseAirportLine(std::string_view line, model::NavDbRecord& r);

// "1".."36" with an optional L, R or C.
bool IsRunwayNumber(std::string_view s);

// The airport and the runway lines after it: at the position the navigation
// loader recorded, else (before the database is loaded, or when the file
// changed since) the first airport line of that ident in apts_user.txt,
// then apts.txt. false when neither holds it.
bool ReadAirport(const std::string& ident, AirportData& a);

// Posts the airport's bad runway lines, in the name of the airport file,
// the first time they are met in a module run.
void PostBadRunwayLines(const AirportData& a);

}  // namespace ovi::navdb
