#include "tests/support/navdata_fixture.h"

#include <fstream>
#include <random>

#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::navdb::test {

namespace fs = std::filesystem;

namespace {
fs::path SampleNavdata() { return fs::path(OVI_SOURCE_DIR) / "data" / "ovi" / "navdata"; }
}  // namespace

void ModuleTest::SetUp() { ResetModuleState(); }

void UseSampleData() { host::host_state.SimulatorFolder = std::string(OVI_SOURCE_DIR) + "/data"; }

void SampleRegionTest::SetUp() {
  ModuleTest::SetUp();
  UseSampleData();
  LoadNavDatabase();
  ASSERT_GT(navdb_state.AirportCount, 0);
}

ScratchFolder::ScratchFolder(Navdata contents) {
  std::random_device rd;
  root_ = fs::temp_directory_path() / ("ovi_navdata_" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(navdata());
  if (contents == Navdata::kSampleCopy) {
    for (const auto& f : fs::directory_iterator(SampleNavdata()))
      fs::copy_file(f.path(), navdata() / f.path().filename());
  }
  host::host_state.SimulatorFolder = root_.string();
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream f(navdata() / name, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
