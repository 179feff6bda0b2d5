#include "src/flightplan/fuel.h"

#include <cmath>

#include "src/host/fsuipc.h"
#include "src/host/sim_vars.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::flightplan {

namespace {

// The host hands over raw values; a negative capacity would make the
// remaining fuel grow as it is "filled".
double Capacity(double gallons, double weight_per_gallon) {
  const double c = gallons * weight_per_gallon;
  return std::isfinite(c) && c > 0.0 ? c : 0.0;
}

// The level of a pair of capacity `capacity` given what is left; takes the
// pair's share from `remaining`. A pair without capacity counts as full and
// takes nothing, so nothing is divided by zero.
std::int32_t FillPair(double capacity, double& remaining) {
  if (!(remaining > 0.0)) return 0;
  if (remaining >= capacity) {
    remaining -= capacity;
    return kFullTankLevel;
  }
  const double level = remaining / capacity * kFullTankLevel;
  remaining = 0.0;
  return static_cast<std::int32_t>(level);
}

}  // namespace

void LoadFuelIntoTanks(double fuel) {
  std::uint8_t area[host::kFsuipcCallerArea];
  std::uint32_t code = 0;
  const bool open = host::FsuipcOpen(0, &code, area, sizeof area) != 0;
  const double per_gallon = host::GetSimToken306();
  const double left_main = Capacity(host::GetSimToken292(), per_gallon);
  const double right_main = Capacity(host::GetSimToken298(), per_gallon);
  const double centre = Capacity(host::GetSimToken290(), per_gallon);
  const double left_aux = Capacity(host::GetSimToken294(), per_gallon);
  const double right_aux = Capacity(host::GetSimToken300(), per_gallon);
  const double left_tip = Capacity(host::GetSimToken296(), per_gallon);
  const double right_tip = Capacity(host::GetSimToken302(), per_gallon);
  if (!open) return;

  if (!std::isfinite(fuel)) fuel = 0.0;
  double remaining = fuel;
  const std::int32_t mains = FillPair(left_main + right_main, remaining);
  const std::int32_t centre_level = FillPair(centre, remaining);
  const std::int32_t aux = FillPair(left_aux + right_aux, remaining);
  const std::int32_t tips = FillPair(left_tip + right_tip, remaining);

  host::FsuipcWrite(kTankLeftMain, 4, &mains, &code);
  host::FsuipcWrite(kTankRightMain, 4, &mains, &code);
  host::FsuipcWrite(kTankCentre, 4, &centre_level, &code);
  host::FsuipcWrite(kTankLeftAux, 4, &aux, &code);
  host::FsuipcWrite(kTankRightAux, 4, &aux, &code);
  host::FsuipcWrite(kTankLeftTip, 4, &tips, &code);
  host::FsuipcWrite(kTankRightTip, 4, &tips, &code);
  host::FsuipcProcess(&code);
  host::FsuipcClose();

  model::AddStatusMessage(util::Format("FUEL '%6.0f' loaded", fuel));
}

}  // namespace ovi::flightplan
