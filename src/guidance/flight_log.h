// The flight's phases from loading at the gate to the end of the flight,
// the text log \ovi\FlightLog\fpl.log written along them, and the record
// of each flight appended to \ovi\FlightLog\Flight.log at its end.
// docs/flight-log.md gives both formats.
#pragma once

#include <cstdint>

namespace ovi::guidance {

// Flight phases (FlightPhase); kNoFlightLog before a log was started,
// kFlightLogRestart asks the next call to start one.
constexpr std::int32_t kNoFlightLog = 999;
constexpr std::int32_t kFlightLogRestart = -1;
constexpr std::int32_t kPhaseInitLoad = 0;
constexpr std::int32_t kPhaseTakeoff = 3;
constexpr std::int32_t kPhaseLanding = 8;
constexpr std::int32_t kPhaseEndFlight = 10;
constexpr std::int32_t kPhaseFlightEnded = 11;

// Modes of UpdateFlightLog.
constexpr std::int32_t kLogTick = 0;
constexpr std::int32_t kLogWaypointSequenced = 1;
constexpr std::int32_t kLogInitialise = 3;

// FSUIPC offsets the log reads.
constexpr std::uint32_t kOffsetZeroFuelWeight = 0x3BFC;  // pounds x 256
constexpr std::uint32_t kOffsetPayloadCount = 0x13FC;
constexpr std::uint32_t kOffsetPayloadStations = 0x1400;  // a double every 48 bytes
constexpr std::uint32_t kPayloadStationStride = 48;
constexpr int kMaxPayloadStations = 61;

// Mode 0 each tick, 1 when the active waypoint was sequenced (a line naming
// it), 3 at initialisation (the weights only, once). Reads the weights
// through FSUIPC while FlightLogState is 0, follows the phases and writes the
// due lines; at the end of the flight writes the flight's record.
void UpdateFlightLog(std::int32_t mode);

// Fuel on board (tokens 386 x 306); lowers ReserveFuel to it.
double GetFuelFlowWeight();

// Condenses fpl.log into one record appended to Flight.log.
void WriteFlightSummary();

// The Segment column of a phase ("InitLoad" .. "End_Flight").
const char* FlightPhaseText(std::int32_t phase);

}  // namespace ovi::guidance
