// Fixture helpers of the procedure tests: the sample simulator folder, or a
// scratch folder with hand-written navigation files.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace ovi::navdb::test {

class ProceduresTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

// Points SimulatorFolder at the repository's sample data.
void UseSampleData();

// A fresh simulator folder with an empty ovi/navdata subfolder.
class ProcScratchFolder {
 public:
  ProcScratchFolder();
  ~ProcScratchFolder();
  ProcScratchFolder(const ProcScratchFolder&) = delete;
  ProcScratchFolder& operator=(const ProcScratchFolder&) = delete;
  void Write(const std::string& name, const std::string& bytes) const;
  void Remove(const std::string& name) const;

 private:
  std::filesystem::path root_;
};

// Status texts in the log, one per line.
std::string StatusLog();

}  // namespace ovi::navdb::test
