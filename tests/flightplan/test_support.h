// Fixture helpers: a throw-away simulator folder holding ovi/flightplans and
// a copy of the sample navigation data, files read back as bytes.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/navdata_fixture.h"

namespace ovi::flightplan::test {

// A fresh simulator folder with an empty ovi/flightplans and the sample
// ovi/navdata; made the simulator folder.
class ScratchSim {
 public:
  ScratchSim();
  ~ScratchSim();
  ScratchSim(const ScratchSim&) = delete;
  ScratchSim& operator=(const ScratchSim&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path plans() const { return root_ / "ovi" / "flightplans"; }
  // Writes ovi/flightplans/<name> with exactly these bytes.
  void WritePlan(const std::string& name, const std::string& bytes) const;
  // Copies every sample flight plan of data/ovi/flightplans.
  void CopySamplePlans() const;
  void Activate() const;

 private:
  std::filesystem::path root_;
};

// Resets the module, makes a scratch simulator folder and loads the sample
// navigation data into it.
class FlightPlanTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  ScratchSim* sim = nullptr;
};

std::string ReadBytes(const std::filesystem::path& p);
std::string SampleBytes(const std::string& plan_name);    // data/ovi/flightplans/<name>
std::string ExpectedBytes(const std::string& name);       // tests/data/flightplans/<name>
using navdb::test::StatusLog;  // status messages in the log, each followed by '\n'

}  // namespace ovi::flightplan::test
