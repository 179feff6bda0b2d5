// Simulator and panel interface: the host binding and the globals every
// gauge callback shares.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/panel/panel.h"
#include "src/model/records.h"

namespace ovi::host {

constexpr int kSimHostFs2004 = 9;
constexpr int kSimHostFsx = 10;

// The one variable record every simulator-variable reader works on, and the
// state the smoothing reader keeps between calls.
struct SimVarReaderState {
  MODULE_VAR Var{};
  // Last result of ReadSmoothedToken61 (knots); 0 until the first call.
  double SmoothedToken61 = 0.0;
};

// The FSUIPC link: the server window and the caller's request area while a
// link is open.
struct FsuipcLinkState {
  bool Open = false;
  std::uintptr_t Window = 0;
  std::uint8_t* Area = nullptr;
  std::uint32_t AreaSize = 0;  // usable bytes (at most kFsuipcMaxArea)
  std::uint32_t Used = 0;      // bytes of queued records
};

// One point of the simulator GPS flight planner's route, as read.
struct GpsRouteWaypoint {
  std::string ident;
  double latitude = 0.0;
  double longitude = 0.0;
  double altitude = NAN;  // feet; read for the planner's last point only
};

constexpr std::size_t kActWptIdentSize = 16;
constexpr std::size_t kFlightPlanTextSize = 2048;

struct State {
  State() = default;
  // The debug log is closed when the state goes, which is at module unload
  // (and whenever tests re-create the state).
  ~State() {
    if (LogFile != nullptr) std::fclose(LogFile);
  }
  State(const State&) = delete;
  State& operator=(const State&) = delete;

  // The host's panel services, bound when the module is loaded.
  PANELS* Panels = nullptr;
  // The simulator's folder (at most 259 characters); every data path is this
  // folder followed by a literal such as "\ovi\ovi.cfg". Empty until filled.
  std::string SimulatorFolder;
  // The debug log, or null while no gauge has opened it.
  std::FILE* LogFile = nullptr;
  // The element being drawn; meaningful only inside one pre-draw call.
  ELEMENT_HEADER* CurrentGaugeElement = nullptr;
  // 9 = FS2004 (default), 10 = FSX / ESP.
  int SimHostVersion = kSimHostFs2004;
  SimVarReaderState SimVarReader;

  // The aircraft title the host reports at post-initialise (nothing reads it
  // yet; kept for the log and the tests).
  std::string AircraftTitle;

  // --- SERVER gauge exports (memory-backed panel variables) --------------
  // Filled by the per-tick update; the SERVER publishes their addresses.
  model::NavigationSnapshot NavigationSnapshot;
  std::uint32_t OviActive = 0;
  // The active waypoint's ident and the active route's idents (blank
  // separated), NUL-terminated; the SERVER refreshes them at pre-update.
  char ActWptIdent[kActWptIdentSize] = {};
  char FlightPlanText[kFlightPlanTextSize] = {};
  // 1 between the SERVER's connect and disconnect.
  std::int32_t ServerConnected = 0;
  // The LNAV heading last sent as a key event; -1 = none sent.
  std::int32_t LastLnavHeadingSent = -1;

  // The last integer value read from the named variable "MFDX1 mode" (the
  // C-17 MFD's first mode mailbox).
  std::int32_t MfdxModeValue = 0;

  // --- Traffic provider link ----------------------------------------------
  // The provider's list block last returned (pointer-sized: it is a pointer).
  void* TrafficProviderHandle = nullptr;
  std::uint32_t TrafficProviderResult = 0;

  // --- FSUIPC client --------------------------------------------------------
  FsuipcLinkState FsuipcLink;

  // --- Simulator GPS route ---------------------------------------------------
  // The route LoadFlightPlannerRoute read last (at most kFlightPlanSlots
  // points), for flight planning to type and execute.
  std::vector<GpsRouteWaypoint> GpsRoute;
};

extern State host_state;

// The panel services, or null before the host bound them.
inline PANELS* Panels() { return host_state.Panels; }

// Fills SimulatorFolder from the current folder while it is empty.
void EnsureSimulatorFolder();

// SimulatorFolder + a Windows-style literal ("\ovi\ovi.cfg").
std::string DataPath(const char* literal);

}  // namespace ovi::host
