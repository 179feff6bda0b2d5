// LoadAirportDetails (the runways and texts of one airport), the parking
// position of the destination and the tower view.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "src/host/fsuipc.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/airport_file.h"
#include "src/navdb/internal.h"
#include "src/navdb/navdb.h"
#include "src/navdb/text_file.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

using model::NavDbRecord;
using model::RunwayRecord;

// Right-hand traffic patterns from apt_additional_info.txt.
void LoadPatternSides(const std::string& ident, AirportData& a) {
  NavTextFile file(host::DataPath("\\ovi\\navdata\\apt_additional_info.txt"));
  if (!file.IsOpen()) {
    ReportUnreadOnce(file, "apt_additional_info.txt", true, 32u, navdb_state.ReportedMissingFiles);
    return;
  }
  BadLineReport bad("apt_additional_info.txt");
  ForEachDataLine(file, bad, [&](std::string_view line, std::int64_t) {
    std::string_view t[4];
    const int n = Tokenize(line, t, 4);
    if (n != 3 || !IsValidIdent(t[0]) || !IsRunwayNumber(t[1]) || (t[2] != "R" && t[2] != "L")) {
      bad.Count();
      return true;
    }
    if (t[0] != ident) return true;
    for (int i = 0; i < a.runway_count; ++i) {
      if (a.runways[i].number_text == t[1]) a.runways[i].right_pattern = t[2] == "R" ? 1 : 0;
    }
    return true;
  });
  bad.Post();
}

// The parking position for the airport from the file ParkingFile names;
// latitude 0 when there is none.
void LoadParking(const std::string& ident) {
  State& s = navdb_state;
  s.ParkingLatitude = s.ParkingLongitude = s.ParkingHeading = 0.0;
  const std::string& name = model::model_state.ParkingFile;
  // A bare file name only: the option must not reach outside the folder
  // (the aircraft file's reader says so when it is read).
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos || name.find("..") != std::string::npos)
    return;
  NavTextFile file(host::DataPath("\\ovi\\navdata\\") + name);
  if (!file.IsOpen()) {
    // Named by the aircraft file, so a missing one is said too (once).
    ReportUnreadOnce(file, name.c_str(), false, 64u, s.ReportedMissingFiles);
    return;
  }
  BadLineReport unreported;
  ForEachDataLine(file, unreported, [&](std::string_view line, std::int64_t) {
    std::string_view t[5];
    const int n = Tokenize(line, t, 5);
    double lat, lon, heading;
    if (n < 4 || t[0] != ident || !ParseLatitude(t[1], lat) || !ParseLongitude(t[2], lon) ||
        !ParseNumber(t[3], heading) || lat == 0.0)
      return true;
    s.ParkingLatitude = lat;
    s.ParkingLongitude = lon;
    s.ParkingHeading = std::fmod(heading, 360.0);
    return false;
  });
}

}  // namespace

void LoadAirportDetails(std::string ident, int mode) {
  State& s = navdb_state;
  if (!IsValidIdent(ident)) return;
  AirportData a;
  if (!ReadAirport(ident, a)) return;
  PostBadRunwayLines(a);
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
// 0x0D60 altitude (metres * 2^32).
constexpr std::uint32_t kTowerLatitudeOffset = 0x0D50;
constexpr std::uint32_t kTowerLongitudeOffset = 0x0D58;
constexpr std::uint32_t kTowerAltitudeOffset = 0x0D60;

// One batch of the three writes; true only when the server took it. A link
// some other caller holds open is left alone.
bool WriteTowerPositionToFsuipc(const TowerViewRequest& request) {
  std::uint8_t area[host::kFsuipcCallerArea] = {};
  std::uint32_t code = 0;
  if (host::FsuipcOpen(0, &code, area, sizeof area) == 0) return false;
  const bool sent = host::FsuipcWrite(kTowerLatitudeOffset, 8, &request.latitude, &code) != 0 &&
                    host::FsuipcWrite(kTowerLongitudeOffset, 8, &request.longitude, &code) != 0 &&
                    host::FsuipcWrite(kTowerAltitudeOffset, 8, &request.altitude, &code) != 0 &&
                    host::FsuipcProcess(&code) != 0;
  host::FsuipcClose();
  if (!sent) return false;
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
