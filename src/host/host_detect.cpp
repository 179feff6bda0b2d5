#include "src/host/host_detect.h"

#include "platform/os/os.h"
#include "src/host/state.h"
#include "src/util/text.h"

namespace ovi::host {

int DetectSimHost() {
  EnsureSimulatorFolder();
  int version = kSimHostFs2004;
  if (!host_state.SimulatorFolder.empty()) {
    for (const std::string& file : os::ListFiles(host_state.SimulatorFolder, ".exe")) {
      for (const char* name : kFsxHostExecutables) {
        if (util::EqualsIgnoreCase(file, name)) version = kSimHostFsx;
      }
    }
  }
  host_state.SimHostVersion = version;
  return version;
}

}  // namespace ovi::host
