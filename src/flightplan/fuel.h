// Putting a planned fuel quantity into the aircraft's tanks through FSUIPC.
#pragma once

#include <cstdint>

namespace ovi::flightplan {

// FSUIPC tank-level offsets; a level is 32 bits, kFullTankLevel = full.
constexpr std::uint32_t kTankCentre = 0x0B74;
constexpr std::uint32_t kTankLeftMain = 0x0B7C;
constexpr std::uint32_t kTankLeftAux = 0x0B84;
constexpr std::uint32_t kTankLeftTip = 0x0B8C;
constexpr std::uint32_t kTankRightMain = 0x0B94;
constexpr std::uint32_t kTankRightAux = 0x0B9C;
constexpr std::uint32_t kTankRightTip = 0x0BA4;
constexpr std::int32_t kFullTankLevel = 8388608;

// Fills the tanks pair by pair (mains, centre, auxiliaries, tips) with the
// quantity, in the weight unit of the aircraft, and posts "FUEL '%6.0f'
// loaded". Nothing at all without an FSUIPC link. A quantity that is not a
// finite number counts as none: every tank is written empty.
void LoadFuelIntoTanks(double fuel);

}  // namespace ovi::flightplan
