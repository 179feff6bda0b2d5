#include <gtest/gtest.h>

#include "sim/host.h"

TEST(ModuleLoad, RealModuleExportsLinkageAndImportTable) {
  ovi::sim::LoadedModule m;
  std::string error;
  ASSERT_TRUE(ovi::sim::LoadModule(OVI_MODULE_PATH, m, error)) << error;
  EXPECT_EQ(m.linkage->module_version, MODULE_VERSION_FS2004);
  ASSERT_NE(m.linkage->gauge_table, nullptr);
  ovi::sim::UnloadModule(m);
}

TEST(ModuleLoad, MissingModuleNamesTheFile) {
  ovi::sim::LoadedModule m;
  std::string error;
  EXPECT_FALSE(ovi::sim::LoadModule("/nonexistent/ovi1.gau", m, error));
  EXPECT_NE(error.find("/nonexistent/ovi1.gau"), std::string::npos);
}
