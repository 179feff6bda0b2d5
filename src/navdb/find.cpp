// Look-ups by ident in the loaded tables.
#include <cmath>

#include "src/navdb/navdb.h"

namespace ovi::navdb {

namespace {

bool KindFitsType(const std::string& kind, const std::string& type) {
  if (type.empty()) return kind == "V";
  if (type == "VOR" || type == "V") return kind == "V";
  if (type == "NDB" || type == "N") return kind == "N";
  return true;  // a fix typed otherwise may still be a navaid
}

}  // namespace

int FindNavaid(const std::string& ident, const std::string& type, double latitude, double longitude) {
  (void)longitude;  // only the latitude's whole degrees take part
  const State& s = navdb_state;
  if (ident.empty() || !std::isfinite(latitude)) return 0;
  const double whole = std::trunc(latitude);
  const unsigned char c = static_cast<unsigned char>(ident[0]);
  const NavaidFirstCharIndex& idx = s.NavaidIndex;
  if (idx.order.empty()) return 0;
  for (std::int32_t k = idx.start[c]; k < idx.start[static_cast<std::size_t>(c) + 1]; ++k) {
    if (k < 0 || static_cast<std::size_t>(k) >= idx.order.size()) break;
    const int i = idx.order[static_cast<std::size_t>(k)];
    const model::NavDbRecord& r = s.NavaidTable[i];
    if (r.ident == ident && KindFitsType(r.kind, type) && std::trunc(r.latitude) == whole) return i;
  }
  return 0;
}

int FindAirport(const std::string& ident) {
  const State& s = navdb_state;
  if (ident.empty()) return 0;
  for (int i = 1; i <= s.AirportCount; ++i) {
    if (s.AirportTable[i].ident == ident) return i;
  }
  return 0;
}

}  // namespace ovi::navdb
