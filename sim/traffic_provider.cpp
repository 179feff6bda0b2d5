#include "sim/traffic_provider.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace ovi::sim {

namespace {

constexpr std::size_t kListHeader = 48;
constexpr std::size_t kEntryWords = 5;  // 20 bytes
constexpr std::size_t kGpsHeader = 16;
constexpr std::size_t kGpsEntry = 40;

template <typename T>
void Store(void* base, std::size_t offset, T v) {
  std::memcpy(static_cast<std::uint8_t*>(base) + offset, &v, sizeof v);
}

}  // namespace

TrafficProvider::TrafficProvider() { Rebuild(); }

TrafficProvider*& TrafficProvider::Current() {
  static TrafficProvider* current = nullptr;
  return current;
}

int TrafficProvider::SetTargets(const std::vector<TrafficTargetSetting>& targets) {
  const std::size_t room = kMaxTrafficTargets;
  targets_ = targets;
  if (targets.size() > room) {
    // The farthest go; of equals, the later listed.
    std::vector<std::size_t> order(targets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return targets[a].range_nm < targets[b].range_nm; });
    order.resize(room);
    std::sort(order.begin(), order.end());
    targets_.clear();
    for (std::size_t i : order) targets_.push_back(targets[i]);
  }
  ++sequence_;
  Rebuild();
  return static_cast<int>(targets.size() - targets_.size());
}

void TrafficProvider::Rebuild() {
  const std::size_t n = targets_.size();
  entries_.fill(0);
  block_.fill(0);
  for (std::size_t i = 0; i < n; ++i) {
    const TrafficTargetSetting& t = targets_[i];
    void* e = &entries_[i * kEntryWords];
    std::uint32_t trend = t.trend == 'v' ? 0 : t.trend == '^' ? 2 : 1;
    std::uint32_t threat = t.threat == 'P' ? 1 : t.threat == 'T' ? 2 : t.threat == 'R' ? 3 : 0;
    Store<float>(e, 0, static_cast<float>(t.relative_altitude_ft));
    Store<std::uint32_t>(e, 4, (trend << 16) | (threat << 20));
    Store<std::uint8_t>(e, 8, 1);
    Store<float>(e, 12, static_cast<float>(t.range_nm));
    Store<float>(e, 16, static_cast<float>(t.bearing_deg * M_PI / 180.0));
    Store<const void*>(block_.data(), kListHeader + i * sizeof(void*), e);
  }
  Store<std::uint16_t>(block_.data(), 14, sequence_);
  Store<std::uint8_t>(block_.data(), 44, static_cast<std::uint8_t>(n));
}

void* TrafficProvider::Entry(const char* token, std::uint32_t* result) {
  TrafficProvider* p = Current();
  bool ok = p != nullptr && token != nullptr && strnlen(token, 64) == sizeof kTrafficAccessToken - 1 &&
            std::strcmp(token, kTrafficAccessToken) == 0;
  if (result != nullptr) *result = ok ? kProviderOk : kProviderBadToken;
  if (!ok) return nullptr;
  ++p->calls_;
  return p->block();
}

GpsModule::GpsModule() { SetRoute({}); }

void GpsModule::SetRoute(const std::vector<GpsWaypointSetting>& route) {
  route_.assign(route.begin(), route.begin() + std::min<std::size_t>(route.size(), kMaxGpsWaypoints));
  const std::size_t bytes = kGpsHeader + route_.size() * kGpsEntry;
  block_.fill(0);
  void* b = block_.data();
  Store<std::uint32_t>(b, 0, static_cast<std::uint32_t>(bytes));
  Store<std::uint32_t>(b, 4, static_cast<std::uint32_t>(route_.size()));
  Store<std::uint32_t>(b, 8, route_.empty() ? 0u : 1u);  // flying to the second point
  for (std::size_t i = 0; i < route_.size(); ++i) {
    std::size_t at = kGpsHeader + i * kGpsEntry;
    const GpsWaypointSetting& w = route_[i];
    std::memcpy(static_cast<std::uint8_t*>(b) + at, w.ident.data(), std::min<std::size_t>(w.ident.size(), 15));
    Store<double>(b, at + 16, w.latitude);
    Store<double>(b, at + 24, w.longitude);
    Store<double>(b, at + 32, w.altitude);
  }
}

}  // namespace ovi::sim
