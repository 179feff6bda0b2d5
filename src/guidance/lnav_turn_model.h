// A small model of the module's own LNAV law (the switch distance, the
// look-ahead point on the leg joined no steeper than LNAV joins, straight
// at the waypoint where joining makes no sense, the heading that corrects
// for the wind; lateral.h gives its numbers and rules) and of the heading
// hold LNAV takes an autopilot to have (lateral.h), flown in the air mass
// of a wind. The path flown (flown_path.*) flies every corner of the route
// with it, and the aircraft's own way onto its leg. docs/guidance.md gives
// the rules.
#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "src/guidance/flown_path.h"

namespace ovi::guidance {

// The aircraft of the model: where it is, its true track over the ground
// and its bank (right wing down positive); and its true heading where it
// is known (else it is the heading that flies the track in the wind).
struct Flyer {
  double lat, lon, track, bank;
  double heading = NAN;
  bool direct_to = false;  // flying a direct-to from where it was begun
  // The switch distance the entry before the one it flies to was passed
  // at, where known.
  double passed_at = NAN;
};

// Where a run of the model ended.
struct RunEnd {
  int target = -1;      // position in `placed` of the entry the leg leads to
  double to_go = 0.0;   // along that leg still to fly (more than the leg: behind its start)
  double flown = 0.0;
  bool at_last = false;  // the last entry reached before the aircraft was on its leg
  std::vector<std::pair<int, double>> abeam;  // position in `placed`, flown to the nearest point
  std::vector<std::pair<int, double>> passed;  // position in `placed`, flown to where LNAV passes it
  // The run's first mile (kRecordedNm), in the frame about the entry it
  // first flew to: NM east and north of it, and NM flown; and the degrees
  // that frame's north lay clockwise of true north at the start.
  std::vector<PathPoint> start;
  double turned = 0.0;
  // A run on its leg from the start, short of where the entry is passed:
  // the leg's course in the frame and the entry's switch distance (NaN
  // course: any other run).
  struct OnLeg {
    double course = NAN, switch_distance = 0.0;
  } on_leg;
  // Asked for: every step's end and true track, the straight stretches
  // along a leg taken as one step.
  std::vector<TrackFlown> tracks;
};

// How much of its start a run records.
constexpr double kRecordedNm = 1.0;


// Farther than this off its leg (or short of its start) the aircraft joins
// the leg, flying at the active waypoint from where it is: LNAV takes a
// leg within 3.5 NM with its look-ahead point, and on a long leg holds a
// couple of miles off its great circle.
constexpr double kJoiningOffLegNm = 5.0;

// A place (lat, lon) in the frame about placed entry `entry` of `r`: NM
// east and north of it, as the model's runs record their starts.
void PlaceInFrame(const FlownRoute& r, int entry, double lat, double lon, double& x, double& y);

// LNAV flying route `r` on in `air` from `a`, on the leg from
// (from_lat, from_lon) to placed entry `target`, the entries `passed`
// behind, until the aircraft is on a leg again; `tracking` as LNAV's leg
// tracking. `on_leg` takes the aircraft as on that leg already, as far
// along it as it is. Back on a leg within one of the `corners` the run goes
// on along the leg to the corner's end: only there do the two paths meet
// again. `tracks` records the way each step is flown.
RunEnd RunLnavTurnModel(const FlownRoute& r, const ModelAir& air, const Flyer& a, int target, double from_lat,
                        double from_lon, bool tracking, const std::vector<int>& passed, bool on_leg = false,
                        const CornerSpans* corners = nullptr, bool tracks = false);

// Where LNAV passes placed entry k of `r` (NM from it), flying its leg in
// `air`: its switch distance at the ground speed along the leg, the entry
// before passed at `before_passed_at` where known.
double ModelSwitchDistance(const FlownRoute& r, int k, const ModelAir& air, double before_passed_at = NAN);

// Within [-180, 180], and within [0, 360), for angles a few turns at most
// from them.
inline double Wrap180(double a) {
  if (!(std::fabs(a) <= 720.0)) return std::isfinite(a) ? std::remainder(a, 360.0) : 0.0;
  while (a > 180.0) a -= 360.0;
  while (a < -180.0) a += 360.0;
  return a;
}
inline double Wrap360(double a) {
  a = Wrap180(a);
  return a < 0.0 ? a + 360.0 : a;
}

}  // namespace ovi::guidance
