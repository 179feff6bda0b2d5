// LoadAirportDetails (the runways and texts of one airport), the parking
// position of the destination and the tower view.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/internal.h"
#include "src/navdb/navdb.h"
#include "src/navdb/text_file.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

using model::NavDbRecord;
using model::RunwayRecord;

struct AirportFile {
  const char* path;
  const char* name;
};
constexpr AirportFile kAirportFiles[2] = {{"\\ovi\\navdata\\apts_user.txt", "apts_user.txt"},
                                          {"\\ovi\\navdata\\apts.txt", "apts.txt"}};

// The airport line's fields, when the line is a valid airport line.
bool ParseAirportLine(std::string_view line, NavDbRecord& r) {
  std::string_view t[6];
  const int n = Tokenize(line, t, 6);
  double lat, lon;
  int elevation;
  if (n < 5 || t[0] != "A" || !IsValidIdent(t[1]) || !ParseInteger(t[2], elevation) ||
      t[2].size() > kMaxIdentLength || !ParseLatitude(t[3], lat) || !ParseLongitude(t[4], lon))
    return false;
  r = NavDbRecord{};
  r.ident = std::string(t[1]);
  r.latitude = lat;
  r.longitude = lon;
  r.kind = "APT";
  r.airport_text = std::string(t[2]);
  r.name = n >= 6 ? CleanName(RestOfLine(line, t[5])) : std::string();
  return true;
}

bool IsRunwayNumber(std::string_view s) {
  if (s.empty() || s.size() > 3) return false;
  std::size_t digits = 0;
  while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9') ++digits;
  if (digits == 0 || digits > 2) return false;
  if (digits < s.size()) {
    if (s.size() - digits != 1) return false;
    char c = s[digits];
    if (c != 'L' && c != 'R' && c != 'C') return false;
  }
  int n = 0;
  for (std::size_t i = 0; i < digits; ++i) n = n * 10 + (s[i] - '0');
  return n >= 1 && n <= 36;
}

bool ParseRunwayLine(std::string_view line, RunwayRecord& r) {
  std::string_view t[10];
  const int n = Tokenize(line, t, 10);
  double lat, lon, heading, course, freq = 0.0;
  int length;
  if (n < 6 || n > 9 || t[0] != "R" || !IsRunwayNumber(t[1]) || !ParseLatitude(t[2], lat) ||
      !ParseLongitude(t[3], lon) || !ParseInteger(t[4], length) || length < 1 || length > 50000 ||
      !ParseNumber(t[5], heading) || heading < 0.0 || heading > 360.0)
    return false;
  course = heading;
  if (n >= 7 && t[6] != "-") {
    if (!ParseNumber(t[6], course) || course < 0.0 || course > 360.0) return false;
  }
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
    long hundredths = std::lround(freq * 100.0);
    r.frequency_text = util::Format("%ld %02ld", hundredths / 100, hundredths % 100);
    r.extra_text2 = std::string(t[7]);
  }
  if (n >= 9) r.extra_text1 = std::string(t[8]);
  return true;
}

struct LoadedAirport {
  NavDbRecord record;
  RunwayRecord runways[model::kMaxRunways];
  int runway_count = 0;
};

// Reads the runway lines that follow an airport line (the reader stands
// just after it) up to the next airport line.
void ReadRunways(NavTextFile& file, LoadedAirport& a, BadLineReport& bad) {
  std::string_view line;
  std::int64_t offset;
  bool too_long;
  while (file.Next(line, offset, too_long)) {
    if (too_long) {
      bad.Count();
      continue;
    }
    if (IsCommentOrBlank(line)) continue;
    std::string_view t[1];
    if (Tokenize(line, t, 1) == 1 && t[0] == "A") return;
    RunwayRecord r;
    if (a.runway_count >= model::kMaxRunways || !ParseRunwayLine(line, r)) {
      bad.Count();
      continue;
    }
    a.runways[a.runway_count++] = r;
  }
}

// Reads the airport at a recorded file position; false when the file no
// longer holds it there.
bool ReadAirportAt(const AirportFileRef& ref, const std::string& ident, LoadedAirport& a) {
  if (ref.file < 0 || ref.file > 1) return false;
  NavTextFile file(host::DataPath(kAirportFiles[ref.file].path));
  if (!file.IsOpen() || !file.Seek(ref.offset)) return false;
  std::string_view line;
  std::int64_t offset;
  bool too_long;
  if (!file.Next(line, offset, too_long) || too_long) return false;
  if (!ParseAirportLine(line, a.record) || a.record.ident != ident) return false;
  BadLineReport bad(kAirportFiles[ref.file].name);
  ReadRunways(file, a, bad);
  bad.Post();
  return true;
}

// Scans the user file, then the main file, for the airport.
bool ScanForAirport(const std::string& ident, LoadedAirport& a) {
  for (const AirportFile& f : kAirportFiles) {
    NavTextFile file(host::DataPath(f.path));
    if (!file.IsOpen()) continue;
    std::string_view line;
    std::int64_t offset;
    bool too_long;
    std::string_view t[2];
    while (file.Next(line, offset, too_long)) {
      if (too_long || IsCommentOrBlank(line)) continue;
      if (Tokenize(line, t, 2) != 2 || t[0] != "A" || t[1] != ident) continue;
      if (!ParseAirportLine(line, a.record)) continue;
      BadLineReport bad(f.name);
      ReadRunways(file, a, bad);
      bad.Post();
      return true;
    }
  }
  return false;
}

// Right-hand traffic patterns from apt_additional_info.txt.
void LoadPatternSides(const std::string& ident, LoadedAirport& a) {
  NavTextFile file(host::DataPath("\\ovi\\navdata\\apt_additional_info.txt"));
  if (!file.IsOpen()) return;
  BadLineReport bad("apt_additional_info.txt");
  std::string_view line;
  std::int64_t offset;
  bool too_long;
  std::string_view t[4];
  while (file.Next(line, offset, too_long)) {
    if (too_long) {
      bad.Count();
      continue;
    }
    if (IsCommentOrBlank(line)) continue;
    const int n = Tokenize(line, t, 4);
    if (n != 3 || !IsValidIdent(t[0]) || !IsRunwayNumber(t[1]) || (t[2] != "R" && t[2] != "L")) {
      bad.Count();
      continue;
    }
    if (t[0] != ident) continue;
    for (int i = 0; i < a.runway_count; ++i) {
      if (a.runways[i].number_text == t[1]) a.runways[i].right_pattern = t[2] == "R" ? 1 : 0;
    }
  }
  bad.Post();
}

// The parking position for the airport from the file ParkingFile names;
// latitude 0 when there is none.
void LoadParking(const std::string& ident) {
  State& s = navdb_state;
  s.ParkingLatitude = s.ParkingLongitude = s.ParkingHeading = 0.0;
  if (s.ParkingFile.empty() || s.ParkingFile.size() > 64) return;
  NavTextFile file(host::DataPath("\\ovi\\navdata\\") + s.ParkingFile);
  if (!file.IsOpen()) return;
  std::string_view line;
  std::int64_t offset;
  bool too_long;
  std::string_view t[5];
  while (file.Next(line, offset, too_long)) {
    if (too_long || IsCommentOrBlank(line)) continue;
    const int n = Tokenize(line, t, 5);
    double lat, lon, heading;
    if (n < 4 || t[0] != ident || !ParseLatitude(t[1], lat) || !ParseLongitude(t[2], lon) ||
        !ParseNumber(t[3], heading) || lat == 0.0)
      continue;
    s.ParkingLatitude = lat;
    s.ParkingLongitude = lon;
    s.ParkingHeading = std::fmod(heading, 360.0);
    return;
  }
}

}  // namespace

void LoadAirportDetails(std::string ident, int mode) {
  State& s = navdb_state;
  if (!IsValidIdent(ident)) return;
  LoadedAirport a;
  bool found = false;
  const int index = FindAirport(ident);
  if (index > 0 && static_cast<std::size_t>(index) < s.AirportFileRefs.size())
    found = ReadAirportAt(s.AirportFileRefs[static_cast<std::size_t>(index)], ident, a);
  if (!found) found = ScanForAirport(ident, a);
  if (!found) return;
  LoadPatternSides(ident, a);

  for (int i = 1; i <= model::kMaxRunways; ++i) s.AirportRunwayTable[i] = RunwayRecord{};
  for (int i = 0; i < a.runway_count; ++i) s.AirportRunwayTable[i + 1] = a.runways[i];
  s.AirportRunwayCount = a.runway_count;
  s.AirportDetailRecord = a.record;
  s.AirportElevationText = a.record.airport_text;
  s.AirportDetailsElevationText = a.record.airport_text;
  s.AirportDetailText = a.record.ident;

  if (mode == 1 || mode == 2) {
    LoadParking(a.record.ident);
    s.DestinationDetailRecord = a.record;
  }
  model::AddStatusMessage(util::Format("APT '%s' Set", a.record.ident.c_str()));
}

// ---- tower view ----

namespace {

// Where the tower view stands: above the airport reference point.
constexpr double kTowerEyeHeightFeet = 150.0;
constexpr double kFeetToMetres = 0.3048;

// FSUIPC offsets of the tower position (8 bytes each): 0x0D50 latitude
// (degrees * 10001750 / 90 * 2^32), 0x0D58 longitude (degrees * 2^64 / 360),
// 0x0D60 altitude (metres * 2^32). The FSUIPC client is not part of the
// module yet: this is the one place that will write them; for now it keeps
// the request for inspection.
bool WriteTowerPositionToFsuipc(const TowerViewRequest& request) {
  TowerViewRequest& last = navdb_state.LastTowerViewRequest;
  const int writes = last.writes;
  last = request;
  last.writes = writes + 1;
  return true;
}

}  // namespace

void SetTowerViewPosition() {
  const State& s = navdb_state;
  const NavDbRecord& dest = s.DestinationDetailRecord;
  if (dest.ident.empty()) return;
  int elevation = 0;
  util::ParseInt(dest.airport_text, elevation);
  TowerViewRequest r;
  r.latitude = static_cast<std::int64_t>(std::llround(dest.latitude * 10001750.0 / 90.0 * 4294967296.0));
  // 180 east is 180 west; keep the product inside 64 bits.
  double lon = dest.longitude >= 180.0 ? dest.longitude - 360.0 : dest.longitude;
  lon = std::clamp(lon, -180.0, 179.9999999);
  r.longitude = static_cast<std::int64_t>(std::llround(lon / 360.0 * 18446744073709551616.0));
  r.altitude = static_cast<std::int64_t>(
      std::llround((elevation + kTowerEyeHeightFeet) * kFeetToMetres * 4294967296.0));
  if (WriteTowerPositionToFsuipc(r))
    model::AddStatusMessage(util::Format("TWR Pos '%s' set", dest.ident.c_str()));
}

}  // namespace ovi::navdb
