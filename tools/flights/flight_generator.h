// Flights generated from a seed: the same seed gives the same scenario on
// any machine, whatever the module does with it (docs/flight-rules.md,
// "The generator").
#pragma once

#include <cstdint>
#include <string>

namespace ovi::flights {

struct GeneratedFlight {
  std::uint32_t seed = 0;
  std::string aircraft;       // the aircraft file's name, without ".cfg"
  std::string aircraft_text;  // its text when generated (a variation), else empty
  std::string scenario;       // with its markers, not yet expanded
  std::string kinds;          // what the generator chose, in a few words
};

// `source`: the source tree, whose data/ the generator reads (the
// navigation data, the aircraft files).
GeneratedFlight GenerateFlight(std::uint32_t seed, const std::string& source);

}  // namespace ovi::flights
