#include "src/instruments/fms/save_name.h"

#include <cctype>
#include <string>

namespace ovi::fms {

namespace {

// The simulator's file system opens these as devices whatever their
// extension ("COM1.RTE" is the serial port): no route file may be named so.
bool IsDeviceName(std::string_view base) {
  std::string upper;
  for (char c : base) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
         upper[3] <= '9';
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name.size() > kMaxSaveNameLength || name.front() == '.') return false;
  int dots = 0;
  for (char c : name) {
    if (c == '.') {
      ++dots;
    } else if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') {
      return false;
    }
  }
  return dots <= 1 && !IsDeviceName(name.substr(0, name.find('.')));
}

}  // namespace ovi::fms
