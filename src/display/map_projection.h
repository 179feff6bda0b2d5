// Placing a position on a map: distance and bearing from the map's
// reference position, turned by the map's up direction, scaled by its
// pixels per NM. Internal to the overlays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "src/navdb/navdb.h"

namespace ovi::display {

struct MapFrame {
  double from_lat = 0.0, from_lon = 0.0;  // the reference position
  double up = 0.0;                        // degrees, the map's up direction
  double pixels_per_nm = 0.0;
};

inline void PlotPosition(const MapFrame& m, double cx, double cy, double lat, double lon, double& x, double& y) {
  double distance, bearing;
  navdb::ComputeDistanceAndBearing(m.from_lat, m.from_lon, lat, lon, distance, bearing);
  navdb::BearingOffsetToScreen(m.up, bearing, cx, cy, distance * m.pixels_per_nm, x, y);
}

inline void PlotPositionInt(const MapFrame& m, int cx, int cy, double lat, double lon, int& x, int& y) {
  double distance, bearing;
  navdb::ComputeDistanceAndBearing(m.from_lat, m.from_lon, lat, lon, distance, bearing);
  navdb::BearingOffsetToScreenInt(m.up, bearing, cx, cy, distance * m.pixels_per_nm, x, y);
}

// Great-circle places of fixed positions (boundary points, database entries)
// from a reference position, kept per slot: the distance and course while
// neither the reference nor the slot's position changes, the screen angle's
// sine and cosine while the map's up direction does not change either. The
// values are the ones ComputeDistanceAndBearing and BearingOffsetToScreen
// work out from scratch (the same sums, navdb::GreatCircleFrom), so a place
// from the memo lands on the same pixel. Each slot checks the position it
// holds, so a list that was rebuilt or reloaded only costs fresh sums; the
// up direction is compared bit for bit. Slots are numbered by the caller
// (an entry's place in its list or table) and the memo grows to the highest
// one used.
//
// The reference may move a little before the places are worked out again:
// given the map's scale, a reference whose move shifts no place by more
// than kKeptPixels (the move itself, plus the turn of north it brings times
// the farthest a drawn place lies, a quarter of the earth round) keeps the places of
// the reference they were worked out from. Without a scale the reference is
// compared bit for bit.
class GeoMemo {
 public:
  struct Place {
    double distance = 0.0;  // NM
    double course = 0.0;    // degrees true, (0, 360]
    double sin = 0.0;       // of the screen angle (course - up, the shorter way round)
    double cos = 1.0;
  };
  // How far (pixels of the map's scale) a kept place may lie from the one
  // worked out afresh.
  static constexpr double kKeptPixels = 0.05;
  // Begins a picture: the reference position, the map's up direction and
  // its scale (pixels per NM; 0 keeps places only for the very same
  // reference).
  void Begin(double from_lat, double from_lon, double up, double pixels_per_nm = 0.0);
  const Place& At(std::size_t slot, double latitude, double longitude);
  // The distance and course alone, without the screen angle (its sine and
  // cosine are those of an earlier picture, or none): for a caller that
  // decides from them whether to place the point at all, and then asks At.
  const Place& Course(std::size_t slot, double latitude, double longitude);
  std::size_t Slots() const { return slot_count_; }

  // An offset along the place's screen angle, as BearingOffsetToScreen
  // and BearingOffsetToScreenInt give it for `length` (pixels).
  static void Offset(const Place& p, double base_x, double base_y, double length, double& x, double& y) {
    x = base_x + length * p.sin;
    y = base_y - length * p.cos;
  }
  static void OffsetInt(const Place& p, int base_x, int base_y, double length, int& x, int& y) {
    x = base_x + navdb::TruncateOffset(length * p.sin);
    y = base_y - navdb::TruncateOffset(length * p.cos);
  }

 private:
  struct Slot {
    double latitude = 0.0, longitude = 0.0;
    navdb::LatitudeTrig trig;
    std::uint64_t reference = 0, up = 0;  // the generations the place was worked out for; 0: never
    Place place;
  };
  Slot& Refer(std::size_t slot, double latitude, double longitude);

  // Slots live in blocks made when first used: a table whose far entries
  // are never placed (the points after the first of a boundary out of
  // reach) costs nothing for them, and growing never moves the slots
  // already worked out. Blocks are small because a boundary of a few
  // hundred points whose first one is out of reach places that one alone,
  // and every fresh page costs its first writing on the frame that fills it.
  static constexpr std::size_t kBlockSlots = 32;
  std::vector<std::unique_ptr<Slot[]>> blocks_;
  std::size_t slot_count_ = 0;
  std::uint64_t reference_ = 0, up_ = 0;
  double from_lat_ = 0.0, from_lon_ = 0.0, up_degrees_ = 0.0;
  navdb::LatitudeTrig from_trig_;
};

namespace detail {
// Places are kept (GeoMemo) unless this is off: every place is then worked
// out afresh, for tests and benchmarks.
void UseGeoMemo(bool on);
}  // namespace detail

// MapPixelsPerNm for a radius and range, or false when the range gives no
// usable scale (the overlay then draws nothing).
bool SetMapScale(double radius, double range);

}  // namespace ovi::display
