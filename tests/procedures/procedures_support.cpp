#include "tests/procedures/procedures_support.h"

#include <fstream>
#include <random>

#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/model/state.h"

namespace ovi::navdb::test {

namespace fs = std::filesystem;

void ProceduresTest::SetUp() { ResetModuleState(); }

void UseSampleData() { host::host_state.SimulatorFolder = std::string(OVI_SOURCE_DIR) + "/data"; }

ProcScratchFolder::ProcScratchFolder() {
  std::random_device rd;
  root_ = fs::temp_directory_path() / ("ovi_proc_" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(root_ / "ovi" / "navdata");
  host::host_state.SimulatorFolder = root_.string();
}

ProcScratchFolder::~ProcScratchFolder() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void ProcScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream f(root_ / "ovi" / "navdata" / name, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ProcScratchFolder::Remove(const std::string& name) const {
  std::error_code ec;
  fs::remove(root_ / "ovi" / "navdata" / name, ec);
}

std::string StatusLog() {
  std::string out;
  const model::State& m = model::model_state;
  for (int i = 1; i <= m.StatusMessageCount; ++i) {
    out += m.StatusMessageLog[i];
    out += '\n';
  }
  return out;
}

}  // namespace ovi::navdb::test
