#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "src/host/debug_log.h"
#include "src/host/gauge_table.h"
#include "src/host/host_detect.h"
#include "src/host/one_time_loads.h"
#include "src/host/server_gauge.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::host {
namespace {

namespace fs = std::filesystem;

// A fresh simulator folder per test, removed afterwards.
class SimFolder {
 public:
  SimFolder() {
    std::string pattern = (fs::temp_directory_path() / "ovi_host_XXXXXX").string();
    path_ = ::mkdtemp(pattern.data()) ? pattern : "";
  }
  ~SimFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  SimFolder(const SimFolder&) = delete;
  SimFolder& operator=(const SimFolder&) = delete;
  const std::string& path() const { return path_; }
  void Touch(const std::string& name) const { std::ofstream(fs::path(path_) / name) << "x"; }
  std::string Read(const std::string& name) const {
    std::ifstream in(fs::path(path_) / name);
    return {std::istreambuf_iterator<char>(in), {}};
  }

 private:
  std::string path_;
};

class GaugesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    ASSERT_FALSE(folder.path().empty());
    host_state.SimulatorFolder = folder.path();
  }
  void TearDown() override { ResetModuleState(); }
  SimFolder folder;
};

TEST_F(GaugesTest, TheTableListsTheGaugesAndEndsWithNull) {
  GAUGEHDR** table = GaugeTable();
  ASSERT_NE(table[0], nullptr);
  ASSERT_NE(table[1], nullptr);
  EXPECT_STREQ(table[0]->gauge_name, "SERVER");
  EXPECT_STREQ(table[1]->gauge_name, "BDRY");
  for (GAUGEHDR** g = table; *g != nullptr; ++g) {
    EXPECT_EQ((*g)->gauge_header_version, 0x320u);
    EXPECT_NE((*g)->gauge_callback, nullptr);
    ASSERT_NE((*g)->elements_list, nullptr);
  }
}

TEST_F(GaugesTest, ServerLogsEveryCallAndLoadsAtPreInitialise) {
  ASSERT_TRUE(OpenLogFile());
  server_callback(&server_gauge, PANEL_SERVICE_PRE_INSTALL, 0);
  server_callback(&server_gauge, PANEL_SERVICE_PRE_INITIALIZE, 0);
  server_callback(&server_gauge, PANEL_SERVICE_PRE_DRAW, 0);  // nothing to draw
  EXPECT_EQ(ConfigLoadedFlag(), 1);
  EXPECT_EQ(AircraftConfigNameRef(), "");  // the SERVER's parameter is empty
  CloseLogFile();
  EXPECT_EQ(folder.Read("ovi1.log"), "server_callback \nserver_callback \nserver_callback \n");
  server_callback(&server_gauge, PANEL_SERVICE_PRE_UPDATE, 0);  // closed: no line, no crash
}

TEST_F(GaugesTest, ServerDetectsTheHostAtPostInitialise) {
  server_callback(&server_gauge, PANEL_SERVICE_POST_INITIALIZE, 0);
  EXPECT_EQ(host_state.SimHostVersion, kSimHostFs2004);
  folder.Touch("FSX.EXE");
  server_callback(&server_gauge, PANEL_SERVICE_POST_INITIALIZE, 0);
  EXPECT_EQ(host_state.SimHostVersion, kSimHostFsx);
}

TEST_F(GaugesTest, HostDetectionNames) {
  folder.Touch("fs9.exe");
  folder.Touch("fsx.exe.bak");
  folder.Touch("myfsx.exe");
  EXPECT_EQ(DetectSimHost(), kSimHostFs2004);
  folder.Touch("Prepar3D.exe");
  EXPECT_EQ(DetectSimHost(), kSimHostFsx);

  SimFolder esp;
  esp.Touch("esp.EXE");
  host_state.SimulatorFolder = esp.path();
  EXPECT_EQ(DetectSimHost(), kSimHostFsx);
  host_state.SimulatorFolder = esp.path() + "/missing";
  EXPECT_EQ(DetectSimHost(), kSimHostFs2004);
}

TEST_F(GaugesTest, LogFileOpensOnceAndTruncates) {
  folder.Touch("ovi1.log");
  ASSERT_TRUE(OpenLogFile());
  std::FILE* first = host_state.LogFile;
  EXPECT_TRUE(OpenLogFile());
  EXPECT_EQ(host_state.LogFile, first);
  WriteLogLine("a \n");
  WriteLogLine(nullptr);
  CloseLogFile();
  CloseLogFile();
  EXPECT_EQ(folder.Read("ovi1.log"), "a \n");

  host_state.SimulatorFolder = folder.path() + "/no/such/folder";
  EXPECT_FALSE(OpenLogFile());
  EXPECT_EQ(host_state.LogFile, nullptr);
  WriteLogLine("nothing \n");
}

TEST_F(GaugesTest, LogFileIsClosedWhenTheStateGoes) {
  ASSERT_TRUE(OpenLogFile());
  WriteLogLine("kept \n");
  ResetModuleState();  // as at module unload
  EXPECT_EQ(host_state.LogFile, nullptr);
  EXPECT_EQ(folder.Read("ovi1.log"), "kept \n");
}

}  // namespace
}  // namespace ovi::host
