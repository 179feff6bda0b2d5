#include "src/instruments/gnsxls/offset_position.h"

#include "src/guidance/state.h"
#include "src/instruments/gnsxls/field_typing.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/instruments/gnsxls/state.h"
#include "src/navdb/entry_state.h"
#include "src/navdb/navdb.h"

namespace ovi::gnsxls {

namespace {

constexpr int kBearingPoint = 3;
constexpr int kDistancePoint = 4;
constexpr double kMaxBearing = 360.0;

}  // namespace

const model::NavDbRecord* OffsetReference() {
  const navdb::EntryState& e = navdb::entry_state;
  const int n = gnsxls_state.GnsOffsetCandidateIndex;
  if (n < 1 || n > e.WaypointCandidateCount) return nullptr;
  return &e.WaypointCandidateList[n];
}

bool ComputeOffsetPosition() {
  State& s = gnsxls_state;
  const model::NavDbRecord* ref = OffsetReference();
  double bearing = 0.0, distance = 0.0;
  if (ref == nullptr || !FieldValue(s.GnsOffsetBearingText, kBearingDigits, kBearingPoint, bearing) ||
      !FieldValue(s.GnsOffsetDistanceEdit, kDistanceDigits, kDistancePoint, distance) || bearing > kMaxBearing)
    return false;
  double lat = 0.0, lon = 0.0;
  navdb::ProjectPosition(ref->latitude, ref->longitude, bearing + guidance::guidance_state.MagneticVariation,
                         distance, lat, lon);
  s.GnsOffsetBearing = bearing;
  s.GnsOffsetDistance = distance;
  s.GnsOffsetLatitude = lat;
  s.GnsOffsetLongitude = lon;
  s.GnsOffsetWaypointText = GnsLatitudeText(lat);
  s.GnsOffsetWaypointText2 = GnsLongitudeText(lon, LongitudePad::kZero);
  return true;
}

void ClearOffsetFields() {
  State& s = gnsxls_state;
  s.GnsOffsetBearing = -1.0;
  s.GnsOffsetDistance = -1.0;
  s.GnsOffsetBearingText = s.GnsOffsetBearingEdit = kNoBearing;
  s.GnsOffsetDistanceText = s.GnsOffsetDistanceEdit = kNoDistance;
  s.GnsOffsetWaypointText = s.GnsOffsetWaypointText2 = "----------";
  s.GnsOffsetFirstDigit = 0;
}

}  // namespace ovi::gnsxls
