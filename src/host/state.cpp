#include "src/host/state.h"

#include "platform/os/os.h"

namespace ovi::host {

State host_state;

void EnsureSimulatorFolder() {
  if (!host_state.SimulatorFolder.empty()) return;
  char buf[os::kMaxPath];
  if (os::GetCurrentDirectoryA(sizeof buf, buf) != 0) host_state.SimulatorFolder = buf;
}

std::string DataPath(const char* literal) { return host_state.SimulatorFolder + literal; }

}  // namespace ovi::host
