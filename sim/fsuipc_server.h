// The FSUIPC server stand-in: a window of class "UIPCMAIN" in the process's
// window registry (platform/ipc) that answers the module's request batches
// over a 64 KB offset-addressed memory. Offsets it keeps in step with the
// aircraft: the seven tank levels (0x0B74 .. 0x0BA4, 8388608 = full; a
// write fills the tank), the zero-fuel weight (0x3BFC, pounds x 256), the
// payload stations (0x13FC count, 0x1400 + 48 n weight as a double), and the
// active-runway exchange at 0xD000 .. 0xD010 (answered from the runways the
// scenario gives with `ai_runways`).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/aircraft.h"

namespace ovi::sim {

// Runways in use at one airport: up to two departure and two arrival
// runways as (number, designator code: 1 L, 2 R, 3 C, 4 W, 0 none).
struct AiRunways {
  std::array<std::uint8_t, 4> departures{};
  std::array<std::uint8_t, 4> arrivals{};
};

// "09L" -> number 9, code 1; false for anything else than 1..36 and one of
// L, R, C, W or nothing.
bool ParseRunway(const std::string& text, std::uint8_t& number, std::uint8_t& code);

class FsuipcServer {
 public:
  explicit FsuipcServer(AircraftState& aircraft);
  ~FsuipcServer();
  FsuipcServer(const FsuipcServer&) = delete;
  FsuipcServer& operator=(const FsuipcServer&) = delete;

  // Registers / removes the server window. False when the class is taken.
  bool Start();
  void Stop();
  bool running() const { return window_ != 0; }

  void SetAiRunways(const std::string& airport, const AiRunways& runways);
  // Payload stations (pounds) served instead of the aircraft's one station;
  // an empty list goes back to the aircraft's.
  void SetPayloadStations(const std::vector<double>& stations) { payload_stations_ = stations; }
  int batches() const { return batches_; }
  int refused() const { return refused_; }

  // The memory as the module would read it (tests).
  std::uint32_t ReadU32(std::uint32_t offset) const;

  // One message as the window receives it.
  std::intptr_t Handle(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);

 private:
  bool Process(std::uint8_t* area, std::size_t length);
  void LoadFromAircraft();
  void AnswerRunwayRequest();

  AircraftState& aircraft_;
  std::vector<std::uint8_t> memory_;
  std::uintptr_t window_ = 0;
  std::map<std::string, AiRunways> runways_;  // by upper-case ident
  std::vector<double> payload_stations_;
  int batches_ = 0;
  int refused_ = 0;
};

}  // namespace ovi::sim
