#include "src/flightplan/runway_data.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "src/host/fsuipc.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::flightplan {

std::string RunwayText(int number, int designator) {
  static constexpr const char* kLetters[] = {"", "L", "R", "C", "W"};
  const char* letter = designator >= 1 && designator <= 4 ? kLetters[designator] : "";
  return util::Format("%02d%s\n", number, letter);
}

void RequestRunwayData(std::string ident) {
  model::State& m = model::model_state;
  m.AiDepartureRunway1.clear();
  m.AiDepartureRunway2.clear();
  m.AiArrivalRunway1.clear();
  m.AiArrivalRunway2.clear();
  m.McuAptPageCount = 1;

  // Only the first four characters travel; a shorter ident ends in zero bytes.
  std::array<char, 4> airport{};
  std::memcpy(airport.data(), ident.data(), std::min<std::size_t>(ident.size(), airport.size()));

  std::uint8_t area[host::kFsuipcCallerArea];
  std::uint32_t code = 0;
  if (host::FsuipcOpen(0, &code, area, sizeof area) == 0) return;

  const std::uint32_t asking = kRunwayExchangeRequestCode;
  std::array<std::uint8_t, 4> echo{}, spare{}, departures{}, arrivals{};
  host::FsuipcWrite(kRunwayExchangeAirport, 4, airport.data(), &code);
  host::FsuipcWrite(kRunwayExchangeRequest, 4, &asking, &code);
  host::FsuipcRead(kRunwayExchangeSpare, 4, spare.data(), &code);
  host::FsuipcProcess(&code);

  for (int poll = 0; poll < kRunwayExchangePolls && departures[0] == 0; ++poll) {
    host::FsuipcWrite(kRunwayExchangeAirport, 4, airport.data(), &code);
    host::FsuipcWrite(kRunwayExchangeRequest, 4, &asking, &code);
    host::FsuipcRead(kRunwayExchangeAirport, 4, echo.data(), &code);
    host::FsuipcRead(kRunwayExchangeSpare, 4, spare.data(), &code);
    host::FsuipcRead(kRunwayExchangeDepartures, 4, departures.data(), &code);
    host::FsuipcRead(kRunwayExchangeArrivals, 4, arrivals.data(), &code);
    host::FsuipcProcess(&code);
  }

  if (departures[0] != 0) {
    m.AiDepartureRunway1 = RunwayText(departures[0], departures[1]);
    if (departures[2] != 0) m.AiDepartureRunway2 = RunwayText(departures[2], departures[3]);
    if (arrivals[0] != 0) m.AiArrivalRunway1 = RunwayText(arrivals[0], arrivals[1]);
    if (arrivals[2] != 0) m.AiArrivalRunway2 = RunwayText(arrivals[2], arrivals[3]);
    m.McuAptPageCount = 2;
  }

  const std::uint32_t done = 0;
  host::FsuipcWrite(kRunwayExchangeRequest, 4, &done, &code);
  host::FsuipcProcess(&code);
  host::FsuipcClose();
}

}  // namespace ovi::flightplan
