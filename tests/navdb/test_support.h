// Fixture helpers: the sample simulator folder, scratch folders with
// hand-written navigation files.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace ovi::navdb::test {

// Points SimulatorFolder at the repository's sample data folder.
void UseSampleData();

// A fresh folder with an ovi/navdata subfolder, made the simulator folder.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  // Writes ovi/navdata/<name> with exactly these bytes.
  void Write(const std::string& name, const std::string& bytes) const;
  // Copies a sample file into the scratch folder.
  void CopySample(const std::string& name) const;
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

// Resets the whole module state before each test.
class NavdbTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

// Status messages currently in the log, joined by '\n'.
std::string StatusLog();

}  // namespace ovi::navdb::test
