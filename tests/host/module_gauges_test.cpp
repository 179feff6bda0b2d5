// The built module, loaded as the host loads it: its table lists the
// gauges of this folder and each answers every service.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/panel/panel.h"

namespace {

PANELS panels{};

TEST(ModuleGauges, SubsystemGaugesAreExportedAndAnswerEveryService) {
  void* module = ::dlopen(OVI_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << ::dlerror();
  auto* linkage = static_cast<GAUGESLINKAGE*>(::dlsym(module, "Linkage"));
  auto* imports = static_cast<IMPORT_TABLE*>(::dlsym(module, "ImportTable"));
  ASSERT_NE(linkage, nullptr);
  ASSERT_NE(imports, nullptr);
  imports->panels_entry.panels = &panels;
  linkage->module_init();

  std::vector<std::string> names;
  for (GAUGEHDR** g = linkage->gauge_table; *g != nullptr; ++g) {
    GAUGEHDR* gauge = *g;
    names.emplace_back(gauge->gauge_name);
    EXPECT_EQ(gauge->gauge_header_version, GAUGE_HEADER_VERSION);
    for (std::int32_t service : {2, 3, 4, 5, 14, 6, 10, 7, 11, 15, 12, 13}) {
      gauge->gauge_callback(gauge, service, 0);
    }
    if (gauge->mouse_rect != nullptr) {
      for (MOUSERECT* m = gauge->mouse_rect; m->rect_type != MOUSE_RECT_EOL; ++m) {
        PIXPOINT p{0, 0};
        if (m->handler != nullptr) {
          EXPECT_EQ(m->handler(&p, m->event_flags), 0);
        }
      }
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"SERVER", "BDRY", "P1000_MFD_OPEN", "P1000_MFD_CNTR_OPEN",
                                              "EFS50_TCAS_OPEN", "HW_B737_ND", "HW_B737_ND_BR", "HW_B737_ND_NB",
                                              "HW_B737_EFIS_CNTR", "HW_B737_EFIS_CNTR_BR", "HW_MD11_ND", "HW_MD11_ND_NB",
                                              "MD11_EFIS_CTRL", "A300_EFIS_CTRL", "LNAV", "VNAV",
                                              "SMITHS_FMS", "SMITHS_FMS_BR", "GNSXLS", "GNSXLS_LM", "MCU", "MCU_LM",
                                              "EFS50_EHSI_CNTR", "EFS50_EHSI_CNTR_LM", "C17_MFD", "C17_MFCP",
                                              "PROLINE4_MFD_CTRL", "PROLINE4_AUX_CTRL", "MD80_EHSI_CTRL",
                                              "P1000_MFD_CNTR", "P1000_MFD_NB_CNTR", "DU_1000_EHSI",
                                              "DU_1000_EHSI_NB", "PROLINE4_MFD", "PROLINE4_MFD_NB", "MD80_EHSI_NB",
                                              "EFS50_EADI", "EFS50_EADI_NB", "EFS50_EHSI", "EFS50_EHSI_NB", "EFS50_TCAS",
                                              "B777_PFD_NB", "A320_EADI_NB", "P1000_MFD", "P1000_MFD_NB"}));
  // The status log's two exports beside the host's: the texts 1..count, no other.
  auto* count = reinterpret_cast<int (*)()>(::dlsym(module, "OviStatusMessageCount"));
  auto* text = reinterpret_cast<const char* (*)(int)>(::dlsym(module, "OviStatusMessage"));
  ASSERT_NE(count, nullptr);
  ASSERT_NE(text, nullptr);
  for (int i = 1; i <= count(); ++i) EXPECT_NE(text(i), nullptr) << i;
  EXPECT_EQ(text(0), nullptr);
  EXPECT_EQ(text(count() + 1), nullptr);
  linkage->module_deinit();
  ::dlclose(module);
}

}  // namespace
