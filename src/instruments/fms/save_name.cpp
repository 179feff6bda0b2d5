#include "src/instruments/fms/save_name.h"

#include <cctype>
#include <string>

#include "src/util/text.h"

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

// temp.rte is the module's scratch file: every .PLN load rewrites it and
// the plan list never shows it, so a route saved under that name would be
// lost without a word.
bool IsScratchRouteName(std::string_view name) {
  const std::size_t dot = name.find('.');
  const std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
  return util::EqualsIgnoreCase(name.substr(0, dot), "TEMP") && (ext.empty() || util::EqualsIgnoreCase(ext, ".RTE"));
}

// A .PLN file is the simulator's own flight plan, which the plan list
// reads as such: a route file written under its name would overwrite the
// user's plan with one no reader takes.
bool IsSimulatorPlanName(std::string_view name) {
  const std::size_t dot = name.find('.');
  return dot != std::string_view::npos && util::EqualsIgnoreCase(name.substr(dot), ".PLN");
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
  return dots <= 1 && !IsDeviceName(name.substr(0, name.find('.'))) && !IsScratchRouteName(name) &&
         !IsSimulatorPlanName(name);
}

}  // namespace ovi::fms
