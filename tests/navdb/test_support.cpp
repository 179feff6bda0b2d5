#include "tests/navdb/test_support.h"

#include <fstream>
#include <random>

#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/model/state.h"

namespace ovi::navdb::test {

namespace fs = std::filesystem;

void UseSampleData() { host::host_state.SimulatorFolder = std::string(OVI_SOURCE_DIR) + "/data"; }

ScratchFolder::ScratchFolder() {
  std::random_device rd;
  root_ = fs::temp_directory_path() / ("ovi_navdb_" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(root_ / "ovi" / "navdata");
  host::host_state.SimulatorFolder = root_.string();
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream f(root_ / "ovi" / "navdata" / name, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ScratchFolder::CopySample(const std::string& name) const {
  fs::copy_file(fs::path(OVI_SOURCE_DIR) / "data" / "ovi" / "navdata" / name, root_ / "ovi" / "navdata" / name,
                fs::copy_options::overwrite_existing);
}

void NavdbTest::SetUp() { ResetModuleState(); }

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
