#include "tests/flightplan/test_support.h"

#include <fstream>
#include <random>
#include <sstream>

#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::flightplan::test {

namespace fs = std::filesystem;

ScratchSim::ScratchSim() {
  std::random_device rd;
  root_ = fs::temp_directory_path() / ("ovi_fpl_" + std::to_string(rd()) + std::to_string(rd()));
  fs::create_directories(plans());
  fs::copy(fs::path(OVI_SOURCE_DIR) / "data" / "ovi" / "navdata", root_ / "ovi" / "navdata",
           fs::copy_options::recursive);
  Activate();
}

ScratchSim::~ScratchSim() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void ScratchSim::Activate() const { host::host_state.SimulatorFolder = root_.string(); }

void ScratchSim::WritePlan(const std::string& name, const std::string& bytes) const {
  std::ofstream f(plans() / name, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ScratchSim::CopySamplePlans() const {
  for (const auto& e : fs::directory_iterator(fs::path(OVI_SOURCE_DIR) / "data" / "ovi" / "flightplans")) {
    fs::copy_file(e.path(), plans() / e.path().filename(), fs::copy_options::overwrite_existing);
  }
}

void FlightPlanTest::SetUp() {
  ResetModuleState();
  sim = new ScratchSim();
  navdb::LoadNavDatabase();
  model::model_state.StatusMessageCount = 0;
}

void FlightPlanTest::TearDown() {
  delete sim;
  sim = nullptr;
}

std::string ReadBytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string SampleBytes(const std::string& plan_name) {
  return ReadBytes(fs::path(OVI_SOURCE_DIR) / "data" / "ovi" / "flightplans" / plan_name);
}

std::string ExpectedBytes(const std::string& name) {
  return ReadBytes(fs::path(OVI_TEST_DATA) / "flightplans" / name);
}

}  // namespace ovi::flightplan::test
