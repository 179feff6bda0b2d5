#include "src/navdb/airport_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "src/navdb/data_files.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

using model::RunwayRecord;

bool ParseRunwayLine(std::string_view line, RunwayRecord& r) {
  std::string_view t[10];
  const int n = Tokenize(line, t, 10);
  double lat, lon, heading, freq = 0.0;
  int length;
  if (n < 6 || n > 9 || t[0] != "R" || !IsRunwayNumber(t[1]) || !ParseLatitude(t[2], lat) ||
      !ParseLongitude(t[3], lon) || !ParseInteger(t[4], length) || length < 1 || length > 50000 ||
      !ParseNumber(t[5], heading) || heading < 0.0 || heading > 360.0)
    return false;
  double course = heading;
  if (n >= 7 && t[6] != "-" && (!ParseNumber(t[6], course) || course < 0.0 || course > 360.0)) return false;
  const bool has_ils = n >= 8 && t[7] != "-";
  if (has_ils && (!ParseNumber(t[7], freq) || freq < 100.0 || freq >= 1000.0 || t[7].size() > 6)) return false;
  if (n >= 9 && t[8].size() > 3) return false;
  r = RunwayRecord{};
  r.number_text = std::string(t[1]);
  r.latitude = lat;
  r.longitude = lon;
  r.length = length;
  r.heading = heading;
  r.approach_course = course;
  if (has_ils) {
    // "110 30": the decimal point as a blank, two decimals, as the radio
    // tuning reads it.
    const long hundredths = std::lround(freq * 100.0);
    r.frequency_text = util::Format("%ld %02ld", hundredths / 100, hundredths % 100);
    r.extra_text2 = std::string(t[7]);
  }
  if (n >= 9) r.extra_text1 = std::string(t[8]);
  return true;
}

// The runway lines that follow the airport line (the reader stands just
// after it), up to the next airport line.
void ReadRunways(NavTextFile& file, std::size_t f, AirportData& a) {
  a.bad_runway_lines = BadLineReport(kAptFiles[f].name);
  a.report_key = util::Format("%s:%lld", kAptFiles[f].name, static_cast<long long>(file.line()));
  ForEachDataLine(file, a.bad_runway_lines, [&](std::string_view line, std::int64_t) {
    std::string_view t[2];
    const int n = Tokenize(line, t, 2);
    if (n >= 1 && t[0] == "A") return false;
    RunwayRecord r;
    if (a.runway_count >= model::kMaxRunways || !ParseRunwayLine(line, r)) {
      a.bad_runway_lines.Count();
      if (n == 2 && IsRunwayNumber(t[1])) a.refused_runways.emplace_back(t[1]);
      return true;
    }
    a.runways[a.runway_count++] = std::move(r);
    return true;
  });
}

bool ReadAirportAt(const AirportFileRef& ref, const std::string& ident, AirportData& a) {
  if (ref.file < 0 || ref.file > 1) return false;
  const auto f = static_cast<std::size_t>(ref.file);
  NavTextFile file(host::DataPath(kAptFiles[f].path));
  if (!file.IsOpen() || !file.Seek(ref.offset, ref.line)) return false;
  std::string_view line;
  std::int64_t offset;
  bool too_long;
  if (!file.Next(line, offset, too_long) || too_long) return false;
  if (!ParseAirportLine(line, a.record) || a.record.ident != ident) return false;
  ReadRunways(file, f, a);
  return true;
}

bool ScanForAirport(const std::string& ident, AirportData& a) {
  for (std::size_t f = 0; f < std::size(kAptFiles); ++f) {
    NavTextFile file(host::DataPath(kAptFiles[f].path));
    if (!file.IsOpen()) continue;
    BadLineReport unreported;
    bool found = false;
    ForEachDataLine(file, unreported, [&](std::string_view line, std::int64_t) {
      std::string_view t[2];
      found = Tokenize(line, t, 2) == 2 && t[0] == "A" && t[1] == ident && ParseAirportLine(line, a.record);
      return !found;
    });
    if (found) {
      ReadRunways(file, f, a);
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseAirportLine(std::string_view line, model::NavDbRecord& r) {
  FieldReader fields(line);
  std::string_view ident, elevation_text;
  double lat, lon;
  int elevation;
  if (fields.Text() != "A" || !fields.Ident(ident) || !fields.Integer(elevation, &elevation_text) ||
      elevation_text.size() > kMaxIdentLength || !fields.Latitude(lat) || !fields.Longitude(lon))
    return false;
  r = model::NavDbRecord{};
  r.ident = ident;
  r.latitude = lat;
  r.longitude = lon;
  r.kind = "APT";
  r.airport_text = elevation_text;
  char name[kMaxNameLength];
  r.name = CleanName(fields.Rest(), name);
  return true;
}

bool IsRunwayNumber(std::string_view s) {
  if (s.empty() || s.size() > 3) return false;
  std::size_t digits = 0;
  while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9') ++digits;
  if (digits == 0 || digits > 2) return false;
  if (digits < s.size()) {
    if (s.size() - digits != 1) return false;
    const char c = s[digits];
    if (c != 'L' && c != 'R' && c != 'C') return false;
  }
  int n = 0;
  for (std::size_t i = 0; i < digits; ++i) n = n * 10 + (s[i] - '0');
  return n >= 1 && n <= 36;
}

bool ReadAirport(const std::string& ident, AirportData& a) {
  const State& s = navdb_state;
  const int index = FindAirport(ident);
  if (index > 0 && static_cast<std::size_t>(index) < s.AirportFileRefs.size() &&
      ReadAirportAt(s.AirportFileRefs[static_cast<std::size_t>(index)], ident, a))
    return true;
  a = AirportData{};
  return ScanForAirport(ident, a);
}

void PostBadRunwayLines(const AirportData& a) {
  if (a.bad_runway_lines.count() == 0) return;
  std::vector<std::string>& reported = navdb_state.ReportedRunwayLines;
  if (std::find(reported.begin(), reported.end(), a.report_key) != reported.end()) return;
  reported.push_back(a.report_key);
  a.bad_runway_lines.Post();
}

}  // namespace ovi::navdb
