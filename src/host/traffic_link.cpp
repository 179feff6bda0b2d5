#include "src/host/traffic_link.h"

#include <cmath>
#include <cstring>

#include "src/host/state.h"
#include "src/util/bytes.h"

namespace ovi::host {

namespace {

// A signed 4-bit field.
int Nibble(std::uint32_t codes, int shift) {
  int v = static_cast<int>((codes >> shift) & 0xFu);
  return v >= 8 ? v - 16 : v;
}

}  // namespace

void* QueryTrafficProvider(const char* token) {
  PANELS* panels = Panels();
  MODULE_VAR var{};
  if (panels != nullptr && panels->initialize_var_by_name != nullptr)
    panels->initialize_var_by_name(&var, kTrafficProviderVariable);
  if (var.var_type != VAR_TYPE_FUNCTION || var.value.ptr == nullptr) {
    host_state.TrafficProviderResult = kTrafficProviderAbsent;
    return nullptr;
  }
  TrafficProviderEntry entry;
  std::memcpy(&entry, &var.value.ptr, sizeof entry);
  return entry(token, &host_state.TrafficProviderResult);
}

void HookTrafficProvider(GAUGEHDR* /*gauge*/) {
  host_state.TrafficProviderHandle = QueryTrafficProvider(kTrafficProviderToken);
}

std::uint16_t TrafficListSequence(const void* block) {
  if (block == nullptr) return 0;
  return util::LoadUnaligned<std::uint16_t>(static_cast<const std::uint8_t*>(block), kTrafficListSequenceOffset);
}

int TakeTrafficList(void* block, TrafficTarget* out, int max) {
  if (block == nullptr) return 0;
  auto* b = static_cast<std::uint8_t*>(block);
  std::memset(b, 0, sizeof(std::uint32_t));
  const int count = b[kTrafficListCountOffset];
  int taken = 0;
  for (int i = count - 1; i >= 0 && i >= count - kTrafficEntriesTaken && taken < max; --i) {
    const void* pointer = util::LoadUnaligned<const void*>(b, kTrafficListEntriesOffset + static_cast<std::size_t>(i) * sizeof(void*));
    if (pointer == nullptr) continue;
    const auto* e = static_cast<const std::uint8_t*>(pointer);
    if (e[kTrafficEntryActiveOffset] == 0) continue;
    const std::uint32_t codes = util::LoadUnaligned<std::uint32_t>(e, kTrafficEntryCodesOffset);
    TrafficTarget t;
    t.relative_altitude_ft = util::LoadUnaligned<float>(e, 0);
    t.trend = Nibble(codes, 16);
    t.threat = Nibble(codes, 20);
    t.range_nm = util::LoadUnaligned<float>(e, kTrafficEntryRangeOffset);
    t.bearing_rad = util::LoadUnaligned<float>(e, kTrafficEntryBearingOffset);
    if (t.trend < 0 || t.trend > 2 || t.threat < 0 || t.threat > 3) continue;
    if (!std::isfinite(t.relative_altitude_ft) || !std::isfinite(t.range_nm) || !std::isfinite(t.bearing_rad) ||
        t.range_nm < 0.0)
      continue;
    if (out != nullptr) out[taken] = t;
    ++taken;
  }
  return taken;
}

}  // namespace ovi::host
