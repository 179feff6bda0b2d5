// Map labels keep to their fields: a text longer than its field is cut to
// it, never drawn past it.
#pragma once

#include <string>
#include <string_view>

namespace ovi::display {

// The first `width` characters of `text` (all of it when shorter).
inline std::string FitLabel(std::string_view text, int width) {
  if (width <= 0) return {};
  return std::string(text.substr(0, static_cast<std::size_t>(width)));
}

}  // namespace ovi::display
