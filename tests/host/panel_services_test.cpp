#include "src/host/panel_services.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/host/fake_panels.h"

namespace ovi::host {
namespace {

using testing::FakeHost;

// A chain of three elements, each the child of the one before.
struct Chain {
  ELEMENT_HEADER e[3]{};
  ELEMENT_HEADER* links[3][2]{};
  Chain() {
    for (int i = 0; i < 3; ++i) {
      links[i][0] = i < 2 ? &e[i + 1] : nullptr;
      e[i].next_element = links[i];
      e[i].image_flags = 0x24;
    }
  }
};

TEST(GaugeElementFlags, WalkTheChainByTheFirstChildLink) {
  Chain c;
  SetGaugeElementFlags(&c.e[0], 0, IMAGE_HIDDEN);
  SetGaugeElementFlags(&c.e[0], 2, 0x1);
  EXPECT_EQ(c.e[0].image_flags, 0x24u | IMAGE_HIDDEN);
  EXPECT_EQ(c.e[1].image_flags, 0x24u);
  EXPECT_EQ(c.e[2].image_flags, 0x25u);

  ClearGaugeElementFlags(&c.e[0], 0, IMAGE_HIDDEN);
  ClearGaugeElementFlags(&c.e[0], 1, 0x4);
  EXPECT_EQ(c.e[0].image_flags, 0x24u);
  EXPECT_EQ(c.e[1].image_flags, 0x20u);
  // Starting further down the chain counts from there.
  ClearGaugeElementFlags(&c.e[1], 1, 0x1);
  EXPECT_EQ(c.e[2].image_flags, 0x24u);
}

TEST(GaugeElementFlags, AnElementBeyondTheChainChangesNothing) {
  Chain c;
  c.e[2].next_element = nullptr;  // the last element may have no list at all
  SetGaugeElementFlags(&c.e[0], 3, IMAGE_HIDDEN);
  SetGaugeElementFlags(&c.e[0], 1000, IMAGE_HIDDEN);
  SetGaugeElementFlags(&c.e[0], -1, IMAGE_HIDDEN);
  ClearGaugeElementFlags(&c.e[0], 4, 0xFFFFFFFFu);
  SetGaugeElementFlags(nullptr, 0, IMAGE_HIDDEN);
  for (const auto& e : c.e) EXPECT_EQ(e.image_flags, 0x24u);
}

TEST(GaugeElements, FirstElementAndChildOfAGauge) {
  Chain c;
  ELEMENT_HEADER* list[] = {&c.e[0], nullptr};
  GAUGEHDR g{};
  EXPECT_EQ(FirstElement(&g), nullptr);
  EXPECT_EQ(FirstElement(nullptr), nullptr);
  g.elements_list = list;
  EXPECT_EQ(FirstElement(&g), &c.e[0]);
  EXPECT_EQ(NextElement(FirstElement(&g)), &c.e[1]);
  EXPECT_EQ(NthElement(&c.e[0], 2), &c.e[2]);
  EXPECT_EQ(NthElement(&c.e[0], 3), nullptr);
}

TEST(PanelWindowKeys, EachKeyTogglesItsOwnWindowAndReturnsTheHostResult) {
  ResetModuleState();
  PIXPOINT p{3, 4};
  EXPECT_EQ(PanelWindowToggleKey<4011>(&p, MOUSE_LEFTSINGLE), 0);  // no host yet

  FakeHost host;
  host.Bind();
  host.toggle_result = 7;
  MouseHandler keys[] = {PanelWindowToggleKey<4011>, PanelWindowToggleKey<4001>,
                         TogglePanelWindow4004};
  for (MouseHandler key : keys) EXPECT_EQ(key(&p, MOUSE_LEFTSINGLE), 7);
  EXPECT_EQ(PanelWindowToggleKey<4012>(nullptr, 0), 7);
  EXPECT_EQ(host.toggles, (std::vector<std::uint32_t>{4011, 4001, 4004, 4012}));
  ResetModuleState();
}

TEST(ConvertDigitsBase, RebuildsDigitsWithTheOtherBase) {
  EXPECT_EQ(ConvertDigitsBase(0x1130, 16, 10), 1130);
  EXPECT_EQ(ConvertDigitsBase(350, 10, 16), 0x350);
  EXPECT_EQ(ConvertDigitsBase(0x0950, 16, 10), 950);
  EXPECT_EQ(ConvertDigitsBase(11730, 10, 16), 0x11730);
  EXPECT_EQ(ConvertDigitsBase(0, 16, 10), 0);
  EXPECT_EQ(ConvertDigitsBase(1234, 10, 10), 1234);
  // A hexadecimal digit above 9 keeps its value at its new weight.
  EXPECT_EQ(ConvertDigitsBase(0x1A, 16, 10), 20);
  EXPECT_EQ(ConvertDigitsBase(-350, 10, 16), -0x350);
}

TEST(ConvertDigitsBase, ExtremeInputStaysDefined) {
  EXPECT_EQ(ConvertDigitsBase(350, 1, 16), 0);
  EXPECT_EQ(ConvertDigitsBase(350, 10, 0), 0);
  EXPECT_EQ(ConvertDigitsBase(350, -10, 37), 0);
  // 99999999 decimal rebuilt as hexadecimal does not fit in 31 bits: it wraps.
  EXPECT_EQ(static_cast<std::uint32_t>(ConvertDigitsBase(99999999, 10, 16)), 0x99999999u);
  ConvertDigitsBase(std::numeric_limits<std::int32_t>::min(), 2, 36);
  ConvertDigitsBase(std::numeric_limits<std::int32_t>::max(), 2, 36);
}

}  // namespace
}  // namespace ovi::host
