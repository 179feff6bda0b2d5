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

struct State {
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
};

extern State host_state;

// The panel services, or null before the host bound them.
inline PANELS* Panels() { return host_state.Panels; }

// Fills SimulatorFolder from the current folder while it is empty.
void EnsureSimulatorFolder();

// SimulatorFolder + a Windows-style literal ("\ovi\ovi.cfg").
std::string DataPath(const char* literal);

}  // namespace ovi::host
