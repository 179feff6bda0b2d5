// The runways the simulator's AI traffic uses at an airport, asked of the
// active-runway provider through the FSUIPC exchange block 0xD000..0xD010.
#pragma once

#include <cstdint>
#include <string>

namespace ovi::flightplan {

constexpr std::uint32_t kRunwayExchangeRequest = 0xD000;  // 0x4BD9 while asking, 0 when done
constexpr std::uint32_t kRunwayExchangeAirport = 0xD004;  // first four characters of the ident
constexpr std::uint32_t kRunwayExchangeSpare = 0xD008;
constexpr std::uint32_t kRunwayExchangeDepartures = 0xD00C;  // number, designator, number, designator
constexpr std::uint32_t kRunwayExchangeArrivals = 0xD010;
constexpr std::uint32_t kRunwayExchangeRequestCode = 0x4BD9;
constexpr int kRunwayExchangePolls = 30;

// Asks for the airport's runways in use and fills AiDepartureRunway1/2 and
// AiArrivalRunway1/2 ("09L\n") and McuAptPageCount (2 with an answer, else
// 1). The four texts are emptied first, so a failed request never shows
// the runways of an earlier one.
void RequestRunwayData(std::string ident);

// "%02d%s\n" of a runway number and its designator code (1 L, 2 R, 3 C,
// 4 W, anything else no letter).
std::string RunwayText(int number, int designator);

}  // namespace ovi::flightplan
