#include "src/instruments/fms/save_name.h"

#include <cctype>

namespace ovi::fms {

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name.size() > kMaxSaveNameLength || name.front() == '.') return false;
  int dots = 0;
  for (char c : name) {
    if (c == '.') {
      ++dots;
    } else if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') {
      return false;
    }
  }
  return dots <= 1;
}

}  // namespace ovi::fms
