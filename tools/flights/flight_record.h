// What a flight flown in ovi-sim left behind, read once for the rules: the
// scenario with its markers (docs/flight-rules.md), the aircraft's track,
// the module's key events, the flight record, the pages read on the way,
// the aircraft file's limits and the positions of the route's waypoints.
#pragma once

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace ovi::flights {

constexpr double kNoValue = -1e9;

struct Position {
  double lat = 0.0, lon = 0.0;
};

// One second of the stand-in's track.txt.
struct Sample {
  double t = 0.0, lat = 0.0, lon = 0.0, alt = 0.0, ias = 0.0, mach = 0.0, gs = 0.0, vs = 0.0, track = 0.0;
  double ap_alt = 0.0, ap_vs = 0.0, ap_speed = 0.0, ap_mach = 0.0;
  bool alt_lock = false, mach_hold = false, approach = false, on_ground = false;
  double flown = 0.0;  // NM over the ground since the start
};

// A key event the module sent.
struct Command {
  double t = 0.0;
  std::string id;
  long long value = 0;
};

struct Text {
  double x = 0.0, y = 0.0;
  std::string s;
};

// The CDU's and the GNS-XLS's texts at one snapshot.
struct Reading {
  double t = 0.0;
  std::vector<Text> cdu, gns;
};

// A constraint the pilot typed (`;@ constraint SPEED/ALTITUDE[A|B]`): the
// page's row that shows its figures names the waypoint.
struct TypedConstraint {
  double t = 0.0;
  double speed = 0.0, altitude = 0.0;  // 0: none
  char kind = ' ';                     // 'A' at or above, 'B' at or below, ' ' at
};

// A reading's own bound (`;@ bound CHECK WHAT NM`): the row's one reading
// that cannot meet the table's bound yet.
struct Bound {
  std::string check, what;
  double nm = 0.0;
};

// The route as the flight record shows it from `t` on.
struct RouteRecord {
  double t = 0.0;
  std::vector<std::string> idents;
  std::string active;
};

struct FlightRecord {
  // From the scenario.
  std::string aircraft = "B737-800";
  std::map<std::string, Position> gps_where;     // `gps_wpt` points
  std::string gps_end;                           // the last `gps_wpt` point
  double gps_end_elevation = NAN;                // and its altitude, feet (NaN: none given)
  std::string hold_fix;                          // `;@ hold FIX [UNTIL [if-flown]]`
  double hold_until = 1e9;
  bool hold_required = true;                     // not "if-flown"
  bool lands = false;
  std::vector<double> replanned;                 // `;@ replanned`
  std::vector<double> directs;                   // `;@ direct`
  std::vector<double> wind_changes;              // `set wind_*` after the start
  std::vector<TypedConstraint> typed;
  std::vector<Bound> bounds;
  // From the aircraft file (the module's defaults where it names none).
  double climb_limit_speed = 250.0, climb_limit_altitude = 10000.0;
  double descent_limit_speed = 240.0, descent_limit_altitude = 10000.0;
  // From the navigation data: waypoints, airports (with their elevation),
  // procedure fixes.
  std::multimap<std::string, Position> nav_where;
  std::map<std::string, double> airport_elevation;
  std::set<std::string> flyover;  // procedure fixes flown over (not points of the GPS planner)
  // From ovi-sim's outputs.
  std::vector<Sample> track;
  std::vector<Command> commands;
  std::vector<std::string> events;
  std::vector<RouteRecord> routes;
  std::vector<Reading> readings;
};

// Reads a flight: `scenario` the scenario flown, `out` ovi-sim's --out
// folder, `sim` the simulator folder (ovi/Aircraft, ovi/navdata). False
// with `error` when a record is missing.
bool ReadFlight(const std::string& sim, const std::string& scenario, const std::string& out, FlightRecord& flight,
                std::string& error);

// The navigation data's points (`nav_where`, `airport_elevation`,
// `flyover`) from a folder like ovi/navdata.
void ReadNavigationData(const std::string& folder, FlightRecord& flight);

// Great-circle distance (NM) and initial course (degrees true).
double DistanceNm(const Position& a, const Position& b);
double CourseDeg(const Position& a, const Position& b);
// The point `nm` along the great circle leaving `from` on `course`.
Position Travel(const Position& from, double course, double nm);

// The files' own words.
std::vector<std::string> Lines(const std::string& text);
std::string ReadText(const std::string& path);
// A text record: "element x y w h canvas_x canvas_y colour size style "font" "text"".
std::vector<Text> ReadTextRecord(const std::string& path);

}  // namespace ovi::flights
