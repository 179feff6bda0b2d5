// The link to the external traffic provider: another gauge module that
// publishes an entry point as a memory-backed panel variable of type 0x26.
// Called with the access token and a result slot, the entry returns the
// provider's traffic list block.
//
// List block:  +0 u32 (set to 0 by the reader on each new list), +14 u16
// sequence number, +44 u8 entry count, +48 entry pointers.
// Entry:       +0 f32 relative altitude (ft), +4 u32 codes (bits 16-19
// trend 0 v, 1 -, 2 ^; bits 20-23 threat 0 O, 1 P, 2 T, 3 R; each a signed
// 4-bit field), +8 u8 active flag, +12 f32 range (NM), +16 f32 relative
// bearing (radians).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::host {

// The provider's access token.
inline constexpr const char kTrafficProviderToken[] = "Lm3pQx7RtZ2vWb8kNc4YhJ5dGs0aEf9uTy1oPi6rXw4=";
// The name the provider registers its entry point under.
inline constexpr const char kTrafficProviderVariable[] = "ovi_traffic_provider";
// Result code a missing provider leaves in TrafficProviderResult.
constexpr std::uint32_t kTrafficProviderAbsent = 1;

// The entry point's form.
using TrafficProviderEntry = void* (*)(const char* token, std::uint32_t* result);

// Looks the provider up; when its variable exists with type 0x26 and an
// entry, returns what the entry returns for (token, &TrafficProviderResult);
// otherwise TrafficProviderResult = 1 and null.
void* QueryTrafficProvider(const char* token);

// The post-install step of the display gauges that hook the provider:
// TrafficProviderHandle = QueryTrafficProvider(kTrafficProviderToken). Each
// such gauge overwrites the handle; an absent provider leaves it null.
void HookTrafficProvider(GAUGEHDR* gauge);

// Layout of the provider's block.
constexpr std::size_t kTrafficListSequenceOffset = 14;
constexpr std::size_t kTrafficListCountOffset = 44;
constexpr std::size_t kTrafficListEntriesOffset = 48;
constexpr std::size_t kTrafficEntryCodesOffset = 4;
constexpr std::size_t kTrafficEntryActiveOffset = 8;
constexpr std::size_t kTrafficEntryRangeOffset = 12;
constexpr std::size_t kTrafficEntryBearingOffset = 16;
constexpr std::size_t kTrafficEntrySize = 20;
// Entries the displays take in: the five nearest of the list.
constexpr int kTrafficEntriesTaken = 5;

// One provider entry, decoded.
struct TrafficTarget {
  double relative_altitude_ft = 0.0;
  int trend = 1;   // 0 descending, 1 level, 2 climbing
  int threat = 0;  // 0 other, 1 proximate, 2 traffic advisory, 3 resolution advisory
  double range_nm = 0.0;
  double bearing_rad = 0.0;
};

// The block's sequence number (0 for a null block).
std::uint16_t TrafficListSequence(const void* block);
// Takes in a list: zeroes the block's first word, then decodes every entry
// and keeps the nearest, at most kTrafficEntriesTaken of them and no more
// than `max`, into `out`, in list order from the last pointer backwards.
// Null pointers, inactive entries and entries with a trend or threat code
// out of range or a value that is not a finite number (or a negative
// range) are skipped. Returns the number kept; `left_out`, when given,
// receives the number of sound entries there was no room for.
int TakeTrafficList(void* block, TrafficTarget* out, int max, int* left_out = nullptr);

}  // namespace ovi::host
