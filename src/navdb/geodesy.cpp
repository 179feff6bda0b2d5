// Great-circle geodesy on a spherical earth and the map-screen offsets.
#include <algorithm>
#include <cmath>
#include <limits>

#include "src/navdb/internal.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

// The initial true course from the latitudes' sines and cosines and the
// difference of longitude (radians), in [0, 360).
double CourseFrom(double sp1, double cp1, double sp2, double cp2, double dl) {
  const double y = std::sin(dl) * cp2;
  const double x = cp1 * sp2 - sp1 * cp2 * std::cos(dl);
  const double crs = std::atan2(y, x) * kRadToDeg;
  if (std::isnan(crs)) return 0.0;
  // crs + 360 lies in [180, 540]: below 360 the remainder is itself, above
  // it the difference, exact (as fmod gives it) without the library call.
  const double c = crs + 360.0;
  return c >= 360.0 ? c - 360.0 : c;
}

}  // namespace

double TrueCourse(double lat1, double lon1, double lat2, double lon2) {
  const double p1 = lat1 * kDegToRad, p2 = lat2 * kDegToRad;
  return CourseFrom(std::sin(p1), std::cos(p1), std::sin(p2), std::cos(p2), (lon2 - lon1) * kDegToRad);
}

LatitudeTrig LatitudeTrigOf(double latitude) {
  const double p = latitude * kDegToRad;
  return LatitudeTrig{std::sin(p), std::cos(p)};
}

void GreatCircleFrom(const LatitudeTrig& from, double from_lon, const LatitudeTrig& to, double to_lon,
                     double& distance, double& course) {
  const double dl = (to_lon - from_lon) * kDegToRad;
  const double sp1 = from.sin, cp1 = from.cos, sp2 = to.sin, cp2 = to.cos;
  const double cdl = std::cos(dl);
  // Rounding can push the cosine just past +-1 for coincident or antipodal
  // points; acos would then give NaN.
  double c = std::clamp(sp1 * sp2 + cp1 * cp2 * cdl, -1.0, 1.0);
  double d = std::acos(c) * kEarthRadiusNm;
  if (std::isnan(d)) d = 0.0;
  double crs = CourseFrom(sp1, cp1, sp2, cp2, dl);
  if (crs < 1.0) crs = 360.0;  // north reads 360, never 0
  distance = d;
  course = crs;
}

void GreatCircle(double lat1, double lon1, double lat2, double lon2, double& distance, double& course) {
  GreatCircleFrom(LatitudeTrigOf(lat1), lon1, LatitudeTrigOf(lat2), lon2, distance, course);
}

void ComputeDistanceAndBearing(double lat1, double lon1, double lat2, double lon2, double& distance,
                               double& course) {
  double d, c;
  GreatCircle(lat1, lon1, lat2, lon2, d, c);
  navdb_state.CalcDistance = d;
  navdb_state.CalcBearing = c;
  distance = d;
  course = c;
}

void ProjectPosition(double lat, double lon, double course, double distance, double& out_lat,
                     double& out_lon) {
  const double p1 = lat * kDegToRad, l1 = lon * kDegToRad;
  const double th = course * kDegToRad;
  const double dr = distance / kEarthRadiusNm;
  const double sp1 = std::sin(p1), cp1 = std::cos(p1);
  const double sdr = std::sin(dr), cdr = std::cos(dr);
  double sp2 = std::clamp(sp1 * cdr + cp1 * sdr * std::cos(th), -1.0, 1.0);
  double p2 = std::asin(sp2);
  double l2 = l1 + std::atan2(std::sin(th) * sdr * cp1, cdr - sp1 * sp2);
  double la = p2 * kRadToDeg;
  double lo = std::fmod(l2 * kRadToDeg + 540.0, 360.0) - 180.0;
  if (!std::isfinite(la) || !std::isfinite(lo)) {
    la = lat;
    lo = lon;
  }
  out_lat = la;
  out_lon = lo;
}

namespace {

// bearing - heading taken the shorter way round, in -180..180.
double ShorterDifference(double heading, double bearing) {
  // Between -360 and 720 the remainder is the difference itself or less
  // 360, exact as fmod gives it; only other differences need the call.
  const double x = bearing - heading;
  double d = x > -360.0 && x < 720.0 ? (x >= 360.0 ? x - 360.0 : x) : std::fmod(x, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d < -180.0) d += 360.0;
  return d;
}

}  // namespace

int TruncateOffset(double v) {
  if (!std::isfinite(v)) return 0;
  constexpr double kLimit = 1.0e9;  // far beyond any screen
  v = std::clamp(v, -kLimit, kLimit);
  return static_cast<int>(v);
}

void ScreenAngle(double heading, double bearing, double& sin_a, double& cos_a) {
  const double a = ShorterDifference(heading, bearing) * kDegToRad;
  sin_a = std::sin(a);
  cos_a = std::cos(a);
}

void BearingOffsetToScreen(double heading, double bearing, double base_x, double base_y, double length,
                           double& out_x, double& out_y) {
  double s, c;
  ScreenAngle(heading, bearing, s, c);
  out_x = base_x + length * s;
  out_y = base_y - length * c;
}

void BearingOffsetToScreenInt(double heading, double bearing, int base_x, int base_y, double length,
                              int& out_x, int& out_y) {
  double s, c;
  ScreenAngle(heading, bearing, s, c);
  out_x = base_x + TruncateOffset(length * s);
  out_y = base_y - TruncateOffset(length * c);
}

namespace {

std::string Dms(const char* hemisphere, double value) {
  double a = std::fabs(value);
  if (!std::isfinite(a)) a = 0.0;
  a = std::min(a, 360.0);
  // Whole seconds, truncated; the small bias keeps 30.0 from reading 29.999.
  long total = static_cast<long>(a * 3600.0 + 1e-7);
  long deg = total / 3600, min = (total / 60) % 60, sec = total % 60;
  return util::Format("%s%s%ld:%s%ld:%s%ld", hemisphere, deg < 10 ? "0" : "", deg, min < 10 ? "0" : "", min,
                      sec < 10 ? "0" : "", sec);
}

}  // namespace

void FormatLatLonDms(double latitude, double longitude_west, int /*degrees_flag*/, std::string& lat_text,
                     std::string& lon_text) {
  lat_text = Dms(latitude >= 0.0 || std::isnan(latitude) ? "N" : "S", latitude);
  lon_text = Dms(longitude_west >= 0.0 || std::isnan(longitude_west) ? "W" : "E", longitude_west);
}

}  // namespace ovi::navdb
