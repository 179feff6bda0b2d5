// The active route as LNAV flies it. A waypoint is sequenced its switch
// distance (with the turn allowance) before the aircraft reaches it, and
// LNAV then steers at a point on the next leg: the aircraft cuts every
// corner, and flies less than the legs add up to. Every distance that times
// or shapes the flight (the distance to go, to a constraint, to the TOC and
// the TOD, the descent path) is measured along this path, so that what the
// pages show and VNAV works to is what the aircraft will fly.
//
// The corners are flown by a small model of the module's own LNAV law (the
// switch distance, the look-ahead point 3 or 5 NM ahead on the leg, straight
// at the waypoint 10 NM or more off it) and of an autopilot's heading hold
// (at most the standard rate and 25 degrees of bank, rolled into at 6
// degrees a second), in still air at the speed each corner is flown at
// (lnav_turn_model.*). The path is built and kept in flown_path.cpp, and
// points and distances are found on it in flown_path_points.cpp.
// docs/guidance.md gives the rules.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

#include "src/guidance/lateral.h"
#include <utility>
#include <vector>

namespace ovi::guidance {

// A step of a run of the model of LNAV's turns: NM flown to its end and
// the way it was flown over the ground, as the sine and cosine of its true
// track (NM east and north a NM).
struct TrackFlown {
  double flown, east, north;
};
using TracksFlown = std::shared_ptr<const std::vector<TrackFlown>>;

class FlownPath {
 public:
  // The path of the active route for the present state; worked out again
  // only when something it depends on has changed.
  static const FlownPath& Current();

  // Coordinates are NM flown from the route's first entry. An entry's is
  // that of the point of the path nearest it (abeam a waypoint whose corner
  // the aircraft cuts; the last entry itself); NaN for a marker ("DISCO",
  // "THEN"), which stands nowhere, and outside the route.
  double Entry(int index) const;
  // The same, a marker taking the placed entry before it (0 with none).
  double EntryOrBefore(int index) const;
  // The aircraft's coordinate, from where it is, how it turns and the leg
  // LNAV steers it onto; NaN without an active waypoint.
  double Aircraft() const;
  // Where LNAV passes an entry, its switch distance before it: the start of
  // the entry's corner. NaN where the path flies no corner of the entry's
  // own (the first and last entries, a marker, a waypoint passed within
  // the corner of the one before, a direct-to's start).
  double Passed(int index) const;
  // Where LNAV passes an entry, whether at its own corner (Passed) or
  // inside the corner of one before it, which carries the aircraft on past
  // its switch distance before it is on a leg again; NaN for the first and
  // last entries, a marker and a direct-to's start.
  double Sequenced(int index) const;
  // Flown from the aircraft to an entry ahead (the active one included),
  // never below 0; NaN for an entry behind the active one or a marker.
  double Ahead(int index) const;
  // Flown from the aircraft to the point of its own way nearest an entry
  // ahead, where that way onto its leg runs on through the entry's corner
  // before it is on a leg again; Ahead elsewhere. The path's corner is
  // flown from the leg, and a way coming at it from off the leg (after
  // take-off, turning onto the first leg at its first waypoint) passes the
  // waypoint elsewhere: a mile sooner, or later, than the path's corner
  // counted back from where the two meet again.
  double Nearest(int index) const;

  // Between coordinates and route distances (NM along the legs from entry
  // 0, markers crossed straight), each way. Beyond either end of the route
  // the two grow alike.
  double CoordinateFromRouteDistance(double route) const;
  double RouteDistanceFromCoordinate(double flown) const;
  // The route distance of an entry; NaN for a marker.
  double RouteTo(int index) const;
  // The point `route` NM along the legs and the entry its leg starts from;
  // false with fewer than two entries placed. Before the first entry or past
  // the last the point lies on the first or last leg, extended.
  bool PositionFromRouteDistance(double route, double& lat, double& lon, int& leg_start) const;
  // The point at coordinate `flown` and the entry its leg starts from:
  // between the aircraft and the active waypoint on the aircraft's way to
  // it (straight, scaled to the path), wherever the aircraft joins its leg
  // from; elsewhere on the legs (PositionFromRouteDistance). A mark placed
  // on the legs before a waypoint the aircraft flies straight at stood
  // behind it.
  bool PositionFromCoordinate(double flown, double& lat, double& lon, int& leg_start) const;
  // The coordinate of a point of the path (a TOC or TOD) placed by
  // PositionFromCoordinate: on the aircraft's way to the active waypoint
  // (behind the aircraft, only off every leg), else on the leg it lies on,
  // walking back from entry `from`; a point on
  // no leg on the first whose far entry is no farther from it than the leg
  // is long; the route's start when none is.
  double CoordinateFromPosition(int from, double lat, double lon) const;
  // The true track (degrees) the path is flown on at coordinate `flown`
  // within one of the route's corners, as the model of LNAV's turns flew
  // it; NaN on a leg. The aircraft turns from where its waypoint is
  // passed, and meets the new leg's wind there, not at the waypoint.
  double CornerTrack(double flown) const;
  // The same as the sine and cosine of that track; false on a leg.
  bool CornerWay(double flown, double& east, double& north) const;
  // The steps of the aircraft's own turn onto its leg, as the model of
  // LNAV's turns flew it from the aircraft (each the NM flown to its end
  // from coordinate `from`, and the sine and cosine of its true track);
  // null with no such turn.
  const std::vector<TrackFlown>* OwnWay(double& from) const {
    from = own_way_from_;
    return own_way_ == nullptr || own_way_->empty() ? nullptr : own_way_.get();
  }
  // How many times the path was built again for its corners ahead alone,
  // flown in other air (the wind, the speed near them): a point kept on
  // the path (the TOC) stands where it was placed for the corners then.
  std::uint64_t CornersReflown() const { return reflown_; }

 private:
  friend class FlownPathBuilder;
  // The aircraft's way to the active waypoint while it joins its leg, as
  // two straight stretches: to where it meets the leg (the turn and the
  // intercept, flown longer than straight), then along the leg (a mile
  // flown a mile straight). Meeting it only at the waypoint, the first
  // stretch ends there and the second is none.
  struct Way {
    double wp_lat, wp_lon;      // the active waypoint
    double meet_lat, meet_lon;  // where the way meets the leg
    double meet_at;             // its coordinate
    double straight, flown;     // the aircraft to there, straight and flown
    double tail, course;        // route NM from there to the waypoint; the leg's course back from it
  };
  // False when the aircraft is on its leg or the waypoint is not ahead.
  bool Joining(Way& way) const;
  // CoordinateFromPosition's walk back along the legs from entry `from`:
  // the leg nearest the point (stopping at one it lies on) and the
  // coordinate there, and the coordinate on the first leg whose far end is
  // no farther from it than the leg is long.
  struct LegsFound {
    double best, best_at, near;
  };
  LegsFound WalkTheLegs(int from, double lat, double lon) const;
  // Where the leg into placed entry k (from 1) starts on the ground.
  void LegStart(std::size_t k, double& lat, double& lon) const;
  std::vector<double> entry_;  // coordinate by entry index
  std::vector<double> passed_;  // coordinate where LNAV passes it, by entry index
  std::vector<double> sequenced_;  // the same, for one passed within the corner before
  std::vector<double> route_;  // route distance by entry index
  std::vector<int> placed_;    // indices of the placed entries, in order
  // The piecewise-linear map between route distance and coordinate: its
  // corners, both ascending.
  std::vector<double> map_route_, map_flown_;
  // The corners' turns, ascending: each one's coordinates and its steps
  // (NM flown from `from`), shared with the corner as the model flew it.
  struct CornerTurn {
    double from, to;
    TracksFlown steps;
  };
  std::vector<CornerTurn> corner_turns_;
  double aircraft_ = 0.0;
  // Where the aircraft's own way onto its leg meets that leg (its
  // coordinate); NaN on a leg, or meeting it only past the waypoint.
  double joined_ = NAN;
  int active_ = -1;
  // The entries the aircraft's own way passes before it is on a leg again,
  // each with the NM from the aircraft to the point of that way nearest it.
  std::vector<std::pair<int, double>> own_way_nearest_;
  // That way's steps (NM flown from coordinate `own_way_from_`).
  TracksFlown own_way_;
  double own_way_from_ = NAN;
  std::uint64_t reflown_ = 0;
  // The points CoordinateFromPosition walked the legs for since the path
  // was last built: the TOC and TOD are looked for on every pass.
  struct FoundPoint {
    int from;
    double lat, lon;
    LegsFound legs;
  };
  mutable std::array<FoundPoint, 4> found_{};
  mutable std::size_t found_count_ = 0, found_next_ = 0;
  // Joining's answer for the aircraft it was last asked for (its place,
  // position and active waypoint), kept until the path is built again.
  mutable bool joining_known_ = false, joining_ = false;
  mutable std::array<double, 5> joining_key_{};
  mutable Way joining_way_{};
};

// The air the model of LNAV's turns flies in: the true airspeed and the
// wind, as the speeds (kt) it carries the aircraft east and north at.
struct ModelAir {
  double tas = 0.0, east = 0.0, north = 0.0;
  // The true airspeed the aircraft gains up to at climb thrust, from `tas`
  // (its own way onto its leg, climbing slower than VNAV's speed); 0 none.
  double gains_to = 0.0;
  bool operator==(const ModelAir&) const = default;
};

// A corner of the path: the position in FlownRoute::placed of the entry
// it is flown at, and the route distances it spans.
struct CornerSpan {
  int placed;
  double from, to;
};
using CornerSpans = std::vector<CornerSpan>;

// One corner as the model flew it, from the point where its waypoint is
// passed on, through any corner passed before the aircraft is back on a leg.
struct FlownCorner {
  double start = -1.0;  // route distance flown from; < 0 = not worked out
  ModelAir air;
  double planned = 0.0;  // the plan's speed at its waypoint when flown (NaN none)
  double end = 0.0;      // route distance where the aircraft is on a leg again
  int end_leg = -1;      // entry that leg leads to (the last: reached)
  double flown = 0.0;
  std::vector<std::pair<int, double>> abeam;  // entry passed, NM flown to the point nearest it
  std::vector<std::pair<int, double>> passed;  // entry passed, NM flown to where LNAV passes it
  TracksFlown tracks;                         // the turn through it, NM flown from `start`
};

// The placed entries of the active route (markers left out) as the model
// flies them.
struct FlownRoute {
  struct Entry {
    int index;
    double lat, lon;
    double route;      // NM along the legs from entry 0
    double leg;        // length of the leg into it (0 for the first)
    double course_in;  // true course of that leg where it arrives
    WaypointTurn turn;  // at it, as LNAV anticipates it
    double planned_speed;  // true airspeed the plan has there; NaN none
    double cos_lat;        // east-west degrees to NM there, less the 60
    double course_out;     // true course of the leg out where it leaves; that in for the last
    bool begins_direct_to = false;  // where a navigator's direct-to was begun: its leg out is the direct-to's
    double lead_speed = NAN;  // the plan's true airspeed there in the climb or cruise (PlannedTrueAirspeed)
  };
  std::vector<Entry> placed;
  std::vector<int> slot;  // entry index -> position in `placed`, -1 for a marker
  int last_index = -1;    // of the plan, markers included
};

// A point of a run of the model of LNAV's turns: NM east and north of an
// entry, and NM flown to it.
struct PathPoint {
  double x, y, flown;
};

// The aircraft's own way onto its leg as the model last flew it: its first
// mile, about placed entry `frame` (whose north lies `turned` degrees
// clockwise of true north there); the coordinate where the run ended,
// `total` NM from the first point; the tick it was flown at; and what else
// it was flown from (the leg and how LNAV flies it, the wind).
struct KeptIntercept {
  std::vector<PathPoint> points;
  int frame = -1;
  double turned = 0.0, end = 0.0, total = 0.0, tick = 0.0;
  std::array<double, 7> mode{};
  // Or the aircraft on its leg, short of where its waypoint is passed: the
  // leg's course in the frame (NaN: not so) and that switch distance.
  double leg_course = NAN, switch_distance = 0.0;
  // The entries the intercept passes: the NM from its first point to the
  // point of it nearest each (entry indices).
  std::vector<std::pair<int, double>> abeam{};
  // Its steps, NM flown from its first point.
  TracksFlown tracks;
};

// The aircraft's state the coordinate on the path is worked out from.
using FlownPathKey = std::array<double, 13>;

// The TOC is placed in a new wind on corners flown at the speeds the
// predictions had for the old one; the predictions made for the new wind
// move those speeds (a waypoint now reached higher or lower), and the
// corners flown at them moved the path under the TOC by miles (48.6 NM to
// go placed, 49.8 read a second later, 48.3 flown). The path counts as
// flown again for those speeds (FlownPath::CornersReflown), so the TOC is
// placed again on it, this many times after each new wind: a climb ending
// near a sharp turn can move its waypoint across the TOC and back on every
// round.
inline constexpr int kPlanRoundsAfterWind = 3;

// Kept between ticks. The route's geometry until the route (its edit
// count) or a switch distance changes; the path until the geometry, the
// active waypoint or the speed a corner ahead is to be flown at changes (the
// corners already flown keep the speed they were flown at); the aircraft's
// coordinate until the aircraft moves or the path changes.
struct FlownPathMemo {
  std::uint64_t route_edits = 0;      // flightplan ActiveRouteEdits the geometry was taken at
  std::array<double, 3> switching{};  // WptChgDist, WptProcChgDist and FlyoverWptChgDist
  std::uint64_t holds = 0;            // the active entries holds were attached to (`HoldsKey`)
  FlownRoute geometry;
  std::vector<FlownCorner> corners;  // by the entry index of the corner
  std::vector<int> built_from;       // positions in `geometry.placed` of the corners the path was built from
  CornerSpans cuts;                  // the corners the path was built from
  double speed_flown_at = -1e9;  // tick a corner ahead was last flown again at a new speed
  // The wind (kt east and north) every corner ahead was last flown in at
  // once, and the tick a new wind had them flown so.
  double wind_east = 0.0, wind_north = 0.0, wind_flown_at = -1e9;
  // Times since that new wind the predictions' new speeds had corners
  // ahead flown again and counted as reflown (FlownPath::CornersReflown);
  // none counted before the first.
  int plan_rounds = kPlanRoundsAfterWind;
  bool worked_out = false;
  FlownPathKey key{};  // what the aircraft's coordinate was worked out from
  FlownPath path;
  KeptIntercept kept;  // empty: none
  // Tests only: the route's own signature when the geometry was taken.
  bool signed_route = false;
  std::uint64_t signature = 0;
};

// Tests install this: it is called when the active route has changed though
// its edit count has not (a writer that does not count), and the path is
// then worked out again. Null (the default) checks nothing.
using UncountedRouteEditHook = void (*)();
void SetUncountedRouteEditHook(UncountedRouteEditHook hook);

// The true airspeed the plan has at active plan entry `index` (no faster
// than the Mach flown there) where the aircraft climbs or speeds up to it:
// in the climb or at the cruise level; NaN in the descent or where it
// gives none.
double PlannedTrueAirspeed(int index);

}  // namespace ovi::guidance
