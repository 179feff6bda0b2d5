// Operations of the navigation database: loading, look-ups, geodesy, near
// and map lists, airport details. Everything works on navdb_state; nothing
// throws.
#pragma once

#include <string>

#include "src/navdb/state.h"

namespace ovi::navdb {

// ---- loading ----

// Loads navs, apts, ints and awys (each _user file first, see
// docs/navigation-data.md) into the tables and sets AirportCount. Replaces
// whatever was loaded before. Bad lines are skipped and reported once per
// file in the status message log; a full table stops its loader with its
// status text.
void LoadNavDatabase();

// Reads atc_bdry.txt into AtcBoundaryTable and sets AtcBoundaryPointCount.
// After PrepareAtcBoundaries it takes the reading made then, as long as the
// file has kept its size.
void LoadAtcBoundaries();
// Reads atc_bdry.txt aside when the database loads, so that the frame that
// first draws the boundaries does not: nothing of the navigation state a
// reader sees changes, and no message is posted until LoadAtcBoundaries.
void PrepareAtcBoundaries();

// ---- look-ups ----

// 1-based NavaidTable index of the navaid with this ident whose kind fits
// the type text and whose latitude has the same whole degrees (truncated);
// 0 when none. Type "VOR"/"V" fits kind "V", "NDB"/"N" fits "N", an empty
// type fits "V" only, any other type ("INT", "WPT", ...) fits both.
int FindNavaid(const std::string& ident, const std::string& type, double latitude, double longitude);

// 1-based AirportTable index of the airport with this ident (exact), 0 when
// none or not loaded.
int FindAirport(const std::string& ident);

// ---- geodesy ----

// Great-circle distance (NM) and initial true course (degrees) from point
// 1 to point 2; a course whose integer part is 0 is returned as 360 (so
// coincident points give 360). Also left in CalcDistance / CalcBearing.
void ComputeDistanceAndBearing(double lat1, double lon1, double lat2, double lon2, double& distance,
                               double& course);

// The initial true course from point 1 to point 2 as it is, in [0, 360):
// what is flown along a leg (the course above, shown, reads 360 for
// anything under 1 degree).
double TrueCourse(double lat1, double lon1, double lat2, double lon2);

// The same from many points to many others: the sine and cosine of each
// latitude worked out once (LatitudeTrigOf), then the same sums as
// ComputeDistanceAndBearing, so the same results to the last bit. Leaves the
// shared result variables alone.
struct LatitudeTrig {
  double sin = 0.0;
  double cos = 1.0;
};
LatitudeTrig LatitudeTrigOf(double latitude);
void GreatCircleFrom(const LatitudeTrig& from, double from_lon, const LatitudeTrig& to, double to_lon,
                     double& distance, double& course);

// The point reached from (lat, lon) on the given true course after the
// given distance (NM) on a spherical earth; longitude in -180..180.
void ProjectPosition(double lat, double lon, double course, double distance, double& out_lat,
                     double& out_lon);

// Screen point at `length` from the base in the direction bearing - heading
// (clockwise from up, y growing downwards).
void BearingOffsetToScreen(double heading, double bearing, double base_x, double base_y, double length,
                           double& out_x, double& out_y);
// The same with integer base and results, each offset truncated toward 0.
void BearingOffsetToScreenInt(double heading, double bearing, int base_x, int base_y, double length,
                              int& out_x, int& out_y);
// Their parts, for callers that keep the angle: the sine and cosine of
// bearing - heading (taken the shorter way round); an offset as the
// integer forms truncate it (0 for a value that is not a number).
void ScreenAngle(double heading, double bearing, double& sin_a, double& cos_a);
int TruncateOffset(double v);

// "N47:26:56" / "W122:18:33": hemisphere letter ("N" for latitude >= 0,
// "W" for a west-positive longitude >= 0), degrees, minutes and whole
// seconds, each below 10 preceded by "0". The longitude is given west
// positive. Only the degrees-minutes-seconds form exists; the flag is kept
// for the callers' signature.
void FormatLatLonDms(double latitude, double longitude_west, int degrees_flag, std::string& lat_text,
                     std::string& lon_text);

// ---- near and map lists ----

// Near lists: the entries of the table within 600 NM of the position, in
// table order (at most 3000; when more qualify the 3000 nearest are kept).
// Each entry carries its distance and true course from the position.
void FilterNearAirports(double latitude, double longitude);
void FilterNearNavaids(double latitude, double longitude);
void FilterNearAirwayPoints(double latitude, double longitude);
// Map lists, from their near list: airports within 180 NM (at most 1000),
// navaids within 320 NM (at most 1000), airway points within 200 NM (at
// most 3000), in near-list order.
void FilterMapAirports(double latitude, double longitude);
void FilterMapNavaids(double latitude, double longitude);
void FilterMapAirwayPoints(double latitude, double longitude);

enum class NearKind { kAirports, kNavaids, kAirwayPoints };
// The map layers' upkeep: rebuilds the near list of that kind about the
// position when it lies more than 200 NM from the list's centre (or the
// list was never built), then the map list when more than 50 NM from its
// centre.
void KeepNearListsCurrent(NearKind kind, double latitude, double longitude);

// ---- airport details ----

// Loads the airport (apts_user.txt before apts.txt) into AirportDetailRecord,
// its runways into AirportRunwayTable with their traffic-pattern side from
// apt_additional_info.txt, and the texts; posts "APT '%s' Set". Modes 1 and
// 2 (destination) also load the parking position and make the airport the
// tower-view target. An unknown airport changes nothing.
void LoadAirportDetails(std::string ident, int mode);

// Places the simulator's tower view at the destination airport through
// FSUIPC and posts "TWR Pos '%s' set" once the server took the write;
// nothing without a destination airport or without a server.
void SetTowerViewPosition();

}  // namespace ovi::navdb
