// A control panel's background with its pictures chained one under the
// other (icon n is the element reached by n first-child links, as
// SetGaugeElementFlags and ClearGaugeElementFlags count them), each
// transparent, erased and hidden until the panel's update shows it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::host {

inline constexpr std::uint32_t kIconFlags = 0x40000003;

struct Icon {
  std::uint32_t bitmap;
  PIXPOINT at;
  PIXSIZE size;
};

template <std::size_t N>
struct IconChain {
  ELEMENT_HEADER background;
  ELEMENT_HEADER icons[N];
  ELEMENT_HEADER* links[N][2];
  ELEMENT_HEADER* list[2];

  IconChain(std::uint32_t bitmap, PIXSIZE size, const Icon (&places)[N]) {
    background = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = bitmap, .image_size = size};
    for (std::size_t i = 0; i < N; ++i) {
      icons[i] = {.element_type = ELEMENT_TYPE_ICON, .resource_id = places[i].bitmap, .position = places[i].at,
                  .image_size = places[i].size, .image_flags = kIconFlags};
      links[i][0] = &icons[i];
      links[i][1] = nullptr;
    }
    background.next_element = links[0];
    for (std::size_t i = 0; i + 1 < N; ++i) icons[i].next_element = links[i + 1];
    list[0] = &background;
    list[1] = nullptr;
  }
};

}  // namespace ovi::host
