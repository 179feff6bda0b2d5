#include "src/display/map_projection.h"

#include <cstring>

namespace ovi::display {

namespace {

bool memo_setting = true;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

namespace detail {
void UseGeoMemo(bool on) { memo_setting = on; }
}  // namespace detail

void GeoMemo::Begin(double from_lat, double from_lon, double up) {
  if (reference_ == 0 || !memo_setting || !SameBits(from_lat, from_lat_) || !SameBits(from_lon, from_lon_)) {
    ++reference_;
    from_lat_ = from_lat, from_lon_ = from_lon;
    from_trig_ = navdb::LatitudeTrigOf(from_lat);
  }
  if (up_ == 0 || !memo_setting || !SameBits(up, up_degrees_)) {
    ++up_;
    up_degrees_ = up;
  }
}

const GeoMemo::Place& GeoMemo::At(std::size_t slot, double latitude, double longitude) {
  if (slot >= slots_.size()) slots_.resize(slot + 1);
  Slot& s = slots_[slot];
  if (s.reference == 0 || !memo_setting || !SameBits(s.latitude, latitude) || !SameBits(s.longitude, longitude)) {
    s.latitude = latitude, s.longitude = longitude;
    s.trig = navdb::LatitudeTrigOf(latitude);
    s.reference = s.up = 0;
  }
  if (s.reference != reference_) {
    navdb::GreatCircleFrom(from_trig_, from_lon_, s.trig, longitude, s.place.distance, s.place.course);
    s.reference = reference_;
    s.up = 0;
  }
  if (s.up != up_) {
    navdb::ScreenAngle(up_degrees_, s.place.course, s.place.sin, s.place.cos);
    s.up = up_;
  }
  return s.place;
}

}  // namespace ovi::display
