#include "src/host/debug_log.h"

#include <cstdarg>
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

void WriteLogLineF(const char* format, ...) {
  if (host_state.LogFile == nullptr || format == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(host_state.LogFile, format, args);
  va_end(args);
}

}  // namespace ovi::host
