#include "src/host/debug_log.h"

#include <cstdio>

#include "platform/os/os.h"
#include "src/host/state.h"

namespace ovi::host {

bool OpenLogFile() {
  if (host_state.LogFile != nullptr) return true;
  EnsureSimulatorFolder();
  // Without the folder the path would name the root of the drive.
  if (host_state.SimulatorFolder.empty()) return false;
  host_state.LogFile = os::OpenFile(DataPath("\\ovi1.log"), "w");
  return host_state.LogFile != nullptr;
}

void CloseLogFile() {
  if (host_state.LogFile == nullptr) return;
  std::fclose(host_state.LogFile);
  host_state.LogFile = nullptr;
}

void WriteLogLine(const char* line) {
  if (host_state.LogFile == nullptr || line == nullptr) return;
  std::fputs(line, host_state.LogFile);
}

}  // namespace ovi::host
