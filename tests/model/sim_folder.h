// A throw-away simulator folder for the loader tests: files are written under
// a fresh temporary folder that becomes SimulatorFolder, and removed after.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "src/host/state.h"
#include "src/host/module_state.h"

namespace ovi::testing {

class SimFolder {
 public:
  SimFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "ovi-model-XXXXXX").string();
    root_ = mkdtemp(tmpl.data());
    Activate();
  }
  // Makes this folder the simulator folder again (after ResetModuleState()).
  void Activate() { host::host_state.SimulatorFolder = root_.string(); }
  ~SimFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  SimFolder(const SimFolder&) = delete;
  SimFolder& operator=(const SimFolder&) = delete;

  // relative uses '/' ("ovi/ovi.cfg").
  void Write(const std::string& relative, const std::string& content) {
    std::filesystem::path p = root_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
  }

 private:
  std::filesystem::path root_;
};

// The sample simulator folder shipped in data/.
inline void UseSampleFolder() { host::host_state.SimulatorFolder = OVI_SOURCE_DIR "/data"; }

}  // namespace ovi::testing
