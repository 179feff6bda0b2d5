// Simulator and panel interface: the host binding and the globals every
// gauge callback shares.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/panel/panel.h"

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
};

extern State host_state;

// The panel services, or null before the host bound them.
inline PANELS* Panels() { return host_state.Panels; }

// Fills SimulatorFolder from the current folder while it is empty.
void EnsureSimulatorFolder();

// SimulatorFolder + a Windows-style literal ("\ovi\ovi.cfg").
std::string DataPath(const char* literal);

}  // namespace ovi::host
