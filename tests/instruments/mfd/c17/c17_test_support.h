// Fixture of the C-17 tests: a clean module with a scripted host, the
// C17_MFD gauge called as the host calls it, and the four slots' pages.
#pragma once

#include <gtest/gtest.h>

#include "src/host/module_state.h"
#include "src/host/panel_services.h"
#include "src/instruments/mfd/c17/gauges.h"
#include "src/instruments/mfd/c17/page_state.h"
#include "src/instruments/mfd/c17/state.h"
#include "src/model/state.h"
#include "tests/host/fake_panels.h"

namespace ovi::c17::test {

class C17Test : public ::testing::Test {
 public:
  void SetUp() override {
    ResetModuleState();
    host.Bind();
    c17_mfd_gauge.elements_list[0]->image_flags = 0x26;
  }
  void TearDown() override { c17_mfd_gauge.parameters = ""; }

  static C17PageSlot& Slot(int n) { return c17_state.PageState.slots[static_cast<std::size_t>(n)]; }
  static std::int32_t& Working() { return model::model_state.C17MfdPage; }
  static bool Hidden() { return (c17_mfd_gauge.elements_list[0]->image_flags & IMAGE_HIDDEN) != 0; }

  // One pre-update of C17_MFD with `parameter`.
  void PreUpdate(const char* parameter) {
    c17_mfd_gauge.parameters = parameter;
    c17_mfd_callback(&c17_mfd_gauge, PANEL_SERVICE_PRE_UPDATE, 0);
  }

  testing::FakeHost host;
};

}  // namespace ovi::c17::test
