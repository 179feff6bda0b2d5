// A busy map around a large airport, shared by the map test card and the
// map-overlay benchmark: runways, approach pattern, ATC boundaries, provider
// traffic, a route with its vertical plan, and navaid positions.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/graphics.h"

namespace ovi::mapcard {

// The airport the aircraft flies to (south of the equator, east of 150).
constexpr double kAirportLat = -33.95;
constexpr double kAirportLon = 151.18;

struct Navaid {
  double lat, lon;
  std::uint32_t code;
  std::uint32_t style;
};

// Module state for the scene: aircraft, runways (a large airport, 16R
// selected), boundaries (`boundaries` outlines of `points_each` points),
// the route and its vertical plan, and provider traffic lists.
class Scene {
 public:
  Scene(int boundaries, int points_each, int navaids);
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // Puts the runway table back as loaded (the runways overlay completes it
  // while drawing).
  void ResetRunways() const;
  // Makes list `i` (0..kTrafficLists-1) the provider's, as a new list.
  void PublishTraffic(int i);
  const std::vector<Navaid>& navaids() const { return navaids_; }

  static constexpr int kTrafficLists = 4;
  static constexpr int kTargetsPerList = 5;

 private:
  struct Entry {
    float alt;
    std::uint32_t codes;
    std::uint8_t active, pad[3];
    float range, bearing;
  };
  struct alignas(8) Block {
    std::uint8_t bytes[48 + 8 * kTargetsPerList];
  };
  std::vector<Navaid> navaids_;
  Entry entries_[kTrafficLists][kTargetsPerList];
  Block blocks_[kTrafficLists];
  std::uint16_t sequence_ = 0;
};

// Moves the aircraft onto the route `nm` north of the airport, 24000 ft,
// heading south, between the waypoints it lies between.
void ScenePlaneOnRoute(double nm);

// The map frame every overlay draws into: black, a circular clip of
// `radius` about (cx, cy), smoothed lines and text.
void BeginMap(gfx::Graphics& g, int cx, int cy, int radius);

// Everything at once, as a busy 512 x 512 map display draws it: every
// symbol code, the navaids, boundaries, four traffic lists, runways, the
// approach pattern and the vertical-path markers, at `range` NM.
void DrawBusyMap(gfx::Graphics& g, Scene& scene, double range);

}  // namespace ovi::mapcard
