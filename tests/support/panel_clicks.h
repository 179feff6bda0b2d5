// Clicks a gauge's named keys (data/panels/keys.txt) in process, through
// the stand-in's own mouse routing: the gauge's mouse list read as the host
// reads it, and the first area that takes the click. Module state stays
// visible to the test, unlike in a run of ovi-sim.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/panel/panel.h"
#include "sim/key_table.h"
#include "sim/mouse.h"

namespace ovi::testing {

class PanelClicks {
 public:
  PanelClicks(const GAUGEHDR& gauge, std::string key_section) : section_(std::move(key_section)) {
    std::string problem;
    areas_ = sim::ReadMouseList(gauge.mouse_rect, problem);
    EXPECT_TRUE(problem.empty()) << problem;
    EXPECT_TRUE(sim::LoadKeyTable(std::string(OVI_SOURCE_DIR) + "/data/panels/keys.txt", keys_, problem))
        << problem;
  }

  // The area a left click in the middle of the named key reaches (the test
  // fails when none does).
  const sim::MouseArea* AreaOf(const std::string& key) const {
    const sim::NamedKey* k = keys_.Find(section_, key);
    EXPECT_NE(k, nullptr) << section_ << " has no key " << key;
    if (k == nullptr) return nullptr;
    const sim::MouseArea* a = sim::FindClickArea(areas_, k->CentreX(), k->CentreY(), MOUSE_LEFTSINGLE);
    EXPECT_NE(a, nullptr) << key << " reaches no rectangle";
    return a;
  }
  // Presses the keys in turn; the last handler's result.
  std::int32_t Press(std::initializer_list<const char*> keys) {
    std::int32_t result = -1;
    for (const char* key : keys) {
      const sim::MouseArea* a = AreaOf(key);
      PIXPOINT p{0, 0};
      if (a != nullptr) result = a->handler(&p, MOUSE_LEFTSINGLE);
    }
    return result;
  }
  std::int32_t Press(const char* key) { return Press({key}); }
  const std::vector<sim::NamedKey>& Keys() const { return *keys_.KeysOf(section_); }

 private:
  std::string section_;
  sim::KeyTable keys_;
  std::vector<sim::MouseArea> areas_;
};

}  // namespace ovi::testing
