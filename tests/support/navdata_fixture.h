// Fixture helpers of the navigation-data tests: the sample simulator folder,
// scratch folders with hand-written navigation files, the status log.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace ovi::navdb::test {

// Resets the whole module state before each test.
class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

// Points SimulatorFolder at the repository's sample data folder.
void UseSampleData();

// Resets the module and loads the sample region's navigation database.
class SampleRegionTest : public ModuleTest {
 protected:
  void SetUp() override;
};

// A fresh simulator folder with an ovi/navdata subfolder, empty or holding
// a copy of the sample navigation files; removed with the object.
class ScratchFolder {
 public:
  enum class Navdata { kEmpty, kSampleCopy };
  explicit ScratchFolder(Navdata navdata = Navdata::kEmpty);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Writes ovi/navdata/<name> with exactly these bytes.
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path navdata() const { return root_ / "ovi" / "navdata"; }
  std::filesystem::path root_;
};

// Status messages currently in the log, each followed by '\n'.
std::string StatusLog();

}  // namespace ovi::navdb::test
