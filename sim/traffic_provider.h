// Two add-ons of the simulator the module talks to through registered panel
// variables:
//
// - a traffic provider: it registers its entry point under
//   "ovi_traffic_provider" (type 0x26); called with the module's access token
//   and a result slot it returns its traffic list block (layout in
//   docs/named-variables.md), filled from the scenario's `traffic` targets;
// - the GPS module: its route block "FS2002 GPS DATA", filled from the
//   scenario's `gps_wpt` points.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace ovi::sim {

inline constexpr const char kTrafficProviderName[] = "ovi_traffic_provider";
inline constexpr const char kTrafficAccessToken[] = "Lm3pQx7RtZ2vWb8kNc4YhJ5dGs0aEf9uTy1oPi6rXw4=";
inline constexpr const char kGpsDataName[] = "FS2002 GPS DATA";
// The registered-variable type of a plain data block.
constexpr std::uint32_t kVarTypeBlock = 0x20;
// Result codes the provider writes into the caller's slot.
constexpr std::uint32_t kProviderOk = 0;
constexpr std::uint32_t kProviderBadToken = 2;

constexpr int kMaxTrafficTargets = 64;
// More than a route of the module holds (201), so that the module's own
// limit shows; a scenario that names more is refused.
constexpr int kMaxGpsWaypoints = 1000;

struct TrafficTargetSetting {
  double relative_altitude_ft = 0.0;
  double range_nm = 0.0;
  double bearing_deg = 0.0;  // relative to the aircraft's heading
  char trend = '-';          // 'v', '-', '^'
  char threat = 'O';         // 'O', 'P', 'T', 'R'
};

class TrafficProvider {
 public:
  TrafficProvider();
  // Replaces the list (a new sequence number): of more than
  // kMaxTrafficTargets targets the nearest, in the order given. Returns the
  // number left out.
  int SetTargets(const std::vector<TrafficTargetSetting>& targets);
  const std::vector<TrafficTargetSetting>& targets() const { return targets_; }
  // The block the entry point returns.
  void* block() { return block_.data(); }
  std::uint16_t sequence() const { return sequence_; }
  int calls() const { return calls_; }

  // The entry point (registered as a type 0x26 variable).
  static void* Entry(const char* token, std::uint32_t* result);
  // The provider Entry serves (the simulator's own).
  static TrafficProvider*& Current();

 private:
  void Rebuild();
  std::vector<TrafficTargetSetting> targets_;
  // Fixed storage: the module keeps the block's address for its lifetime.
  std::array<std::uint64_t, (48 + kMaxTrafficTargets * 8) / 8> block_{};
  std::array<std::uint32_t, kMaxTrafficTargets * 5> entries_{};  // 20-byte entries
  std::uint16_t sequence_ = 0;
  int calls_ = 0;
};

struct GpsWaypointSetting {
  std::string ident;  // at most 15 characters
  double latitude = 0.0, longitude = 0.0;
  double altitude = NAN;  // feet; NaN when the point is given none
};

class GpsModule {
 public:
  GpsModule();
  // At most kMaxGpsWaypoints points (a scenario naming more is refused).
  void SetRoute(const std::vector<GpsWaypointSetting>& route);
  const std::vector<GpsWaypointSetting>& route() const { return route_; }
  void* block() { return block_.data(); }

 private:
  std::vector<GpsWaypointSetting> route_;
  std::array<std::uint64_t, (16 + kMaxGpsWaypoints * 40 + 7) / 8> block_{};
};

}  // namespace ovi::sim
