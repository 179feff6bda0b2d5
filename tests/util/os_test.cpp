#include "platform/os/os.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

class OsPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("ovi_os_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "Ovi" / "NavData");
    std::ofstream(root / "Ovi" / "NavData" / "NAVS.TXT") << "x\n";
  }
  void TearDown() override { fs::remove_all(root); }
  fs::path root;
};

TEST_F(OsPaths, BackslashPathsMatchComponentsIgnoringCase) {
  std::string p = root.string() + "\\ovi\\navdata\\navs.txt";
  std::FILE* f = ovi::os::OpenFile(p, "r");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  auto listed = ovi::os::ListFiles(root.string() + "\\ovi\\navdata", ".txt");
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0], "NAVS.TXT");
}

TEST_F(OsPaths, OverlongPathIsAMissingFile) {
  std::string p = root.string() + "\\ovi\\" + std::string(300, 'a');
  EXPECT_FALSE(ovi::os::MapPath(p).has_value());
  EXPECT_EQ(ovi::os::OpenFile(p, "w"), nullptr);
  EXPECT_EQ(ovi::os::OpenFile(root.string() + "\\ovi", "r"), nullptr);  // a folder
  EXPECT_TRUE(ovi::os::ListFiles(root.string() + "\\nothere", ".rte").empty());
}
