#include "src/display/map_projection.h"

#include <cmath>
#include <cstring>

namespace ovi::display {

namespace {

bool memo_setting = true;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

constexpr double kRadians = M_PI / 180.0;
// The farthest a drawn place lies: a quarter of the earth round (the point
// layers stop at twice the range, a boundary is drawn only when its first
// point is within reach). Within it a move of the reference shifts a place
// across the map by no more than the move itself.
constexpr double kFarthestNm = 5400.0;

// How far (NM) a place seen from (lat0, lon0) may move on the map when seen
// from (lat1, lon1): the move itself, and the turn of the local north along
// it (the longitudes' difference times the sine of the latitude) at the
// farthest a place lies.
double Drift(double lat0, double lon0, double lat1, double lon1) {
  double dlon = std::fmod(lon1 - lon0, 360.0);
  if (dlon > 180.0) dlon -= 360.0;
  if (dlon < -180.0) dlon += 360.0;
  const double mid = 0.5 * (lat0 + lat1) * kRadians;
  const double move = 60.0 * std::hypot(lat1 - lat0, dlon * std::cos(mid));
  const double turn = std::fabs(dlon * kRadians * std::sin(mid));
  return move + kFarthestNm * turn;
}

}  // namespace

namespace detail {
void UseGeoMemo(bool on) { memo_setting = on; }
}  // namespace detail

void GeoMemo::Begin(double from_lat, double from_lon, double up, double pixels_per_nm) {
  const bool same = SameBits(from_lat, from_lat_) && SameBits(from_lon, from_lon_);
  // Written so that a scale or position that is not a number keeps nothing.
  const bool near = pixels_per_nm > 0.0 &&
                    Drift(from_lat_, from_lon_, from_lat, from_lon) * pixels_per_nm <= kKeptPixels;
  if (reference_ == 0 || !memo_setting || !(same || near)) {
    ++reference_;
    from_lat_ = from_lat, from_lon_ = from_lon;
    from_trig_ = navdb::LatitudeTrigOf(from_lat);
  }
  if (up_ == 0 || !memo_setting || !SameBits(up, up_degrees_)) {
    ++up_;
    up_degrees_ = up;
  }
}

GeoMemo::Slot& GeoMemo::Refer(std::size_t slot, double latitude, double longitude) {
  const std::size_t block = slot / kBlockSlots;
  if (block >= blocks_.size()) blocks_.resize(block + 1);
  std::unique_ptr<Slot[]>& slots = blocks_[block];
  if (slots == nullptr) slots = std::make_unique<Slot[]>(kBlockSlots);
  if (slot >= slot_count_) slot_count_ = slot + 1;
  Slot& s = slots[slot % kBlockSlots];
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
  return s;
}

const GeoMemo::Place& GeoMemo::Course(std::size_t slot, double latitude, double longitude) {
  return Refer(slot, latitude, longitude).place;
}

const GeoMemo::Place& GeoMemo::At(std::size_t slot, double latitude, double longitude) {
  Slot& s = Refer(slot, latitude, longitude);
  if (s.up != up_) {
    navdb::ScreenAngle(up_degrees_, s.place.course, s.place.sin, s.place.cos);
    s.up = up_;
  }
  return s.place;
}

}  // namespace ovi::display
