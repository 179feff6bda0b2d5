#include "src/host/traffic_link.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

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

int TakeTrafficList(void* block, TrafficTarget* out, int max, int* left_out) {
  if (left_out != nullptr) *left_out = 0;
  if (block == nullptr) return 0;
  auto* b = static_cast<std::uint8_t*>(block);
  std::memset(b, 0, sizeof(std::uint32_t));
  const int count = b[kTrafficListCountOffset];
  // Every sound entry, from the last pointer backwards. Taking only the
  // last few hid a near target listed early behind far ones listed after
  // it: a full table keeps the ones a pilot must see.
  TrafficTarget sound[256];
  int found = 0;
  for (int i = count - 1; i >= 0; --i) {
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
    sound[found++] = t;
  }
  const int room = std::max(0, std::min(max, kTrafficEntriesTaken));
  const int taken = std::min(found, room);
  if (left_out != nullptr) *left_out = found - taken;
  if (out == nullptr) return taken;
  if (found > taken) {
    // The nearest `taken` (of equals, the later in the list), then back
    // into the order above.
    int order[256];
    std::iota(order, order + found, 0);
    std::stable_sort(order, order + found, [&](int a, int c) { return sound[a].range_nm < sound[c].range_nm; });
    std::sort(order, order + taken);
    for (int k = 0; k < taken; ++k) out[k] = sound[order[k]];
  } else {
    std::copy(sound, sound + taken, out);
  }
  return taken;
}

}  // namespace ovi::host
