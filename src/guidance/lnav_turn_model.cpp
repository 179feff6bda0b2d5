#include "src/guidance/lnav_turn_model.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "src/guidance/climb_model.h"
#include "src/guidance/lateral.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
static_assert(kLnavMaxIntercept == 45.0, "the intercept is clamped where across equals along");
// Steps of the model: while it turns, once settled, and the least share of
// one a step cut short at an event keeps.
constexpr double kTurningStep = 0.5, kSettledStep = 2.0, kLeastStepShare = 0.05;  // s
// The longest step in a turn at the greatest rate, and flying straight
// (heading and bank within a hundredth of a degree) along what it steers
// at; while the heading is caught, a step turns the aircraft by no more
// than a degree.
constexpr double kLongestTurnStep = 8.0, kStraightStep = 8.0;  // s
constexpr double kStraightWithin = 0.01;                        // degrees
constexpr double kTrackPerStep = 1.0;                           // degrees
constexpr double kGravity = 9.80665;                            // m/s^2
constexpr double kMetresPerSecondPerKnot = 0.514444;
// The model flies no slower than this through the air.
constexpr double kLeastAirspeed = 100.0;  // kt
// Back on a leg: nearer it than this and along it within the angle. What
// is left to fly of the intercept then is under a hundredth of a mile.
constexpr double kOnLegOffset = 0.2;  // NM
constexpr double kOnLegAngle = 4.0;   // degrees
constexpr int kMaxSteps = 2000;       // a corner takes about two hundred
constexpr std::size_t kWaysReserved = 128;  // steps recorded, most corners
constexpr double kPastThePoint = 1e-9;  // of a step
constexpr double kSwitchSpeedStep = 0.1;  // kt
// Nearer the entry than this its frame's north is taken as north.
constexpr double kFrameTurnFrom = 0.01;  // NM
// LNAV compares whole degrees: it passes a waypoint abeam from the first
// whole degree past its limit.
const double kCosAbeam = std::cos((kLnavAbeamDegrees + 1) * kDegToRad);

// The arctangent; by its series for the small arguments of most steps of
// the model (to a hundred-billionth), else the library's.
constexpr double kSeriesWithin = 0.1;
double Atan(double z) {
  if (!(std::fabs(z) < kSeriesWithin)) return std::atan(z);
  const double z2 = z * z;
  return z * (1.0 - z2 * (1.0 / 3.0 - z2 * (1.0 / 5.0 - z2 * (1.0 / 7.0 - z2 / 9.0))));
}

double Distance(double lat1, double lon1, double lat2, double lon2) {
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(lat1, lon1, lat2, lon2, d, c);
  return d;
}

using Route = FlownRoute;
using Placed = FlownRoute::Entry;

// The wind as LNAV reads it: where from (degrees true) and how strong (kt).
struct Wind {
  double from = 0.0, speed = 0.0;
};
Wind WindOf(const ModelAir& air) {
  const double speed = std::hypot(air.east, air.north);
  return {speed > 0.0 ? Wrap360(std::atan2(-air.east, -air.north) / kDegToRad) : 0.0, speed};
}

// The switch distance of placed entry k at a ground speed and true
// airspeed in a wind, the leg in arriving on `course_in`, the entry before
// passed at `before_passed_at` where known; on a leg from elsewhere than
// the entry before (`leg_in` given) no turn before it is shared with; on a
// direct-to's leg (or the leg from where a navigator's direct-to was
// begun), no more than that leg.
double SwitchDistanceOf(const Route& r, int k, double ground_speed, double tas, const Wind& wind, double course_in,
                        double before_passed_at, double leg_in = -1.0, bool direct_to = false) {
  const auto n = static_cast<int>(r.placed.size());
  const Placed& p = r.placed[static_cast<std::size_t>(k)];
  if (k + 1 >= n) return p.turn.configured;
  WaypointTurn before{};
  if (leg_in < 0.0 && k > 0) {
    before = r.placed[static_cast<std::size_t>(k - 1)].turn;
    before.passed_at = before_passed_at;
  }
  const double in = leg_in < 0.0 ? p.leg : leg_in;
  LeadSpeeds(p.lead_speed, course_in, wind.from, wind.speed, ground_speed, tas);
  const double anticipated =
      AnticipatedSwitchDistance(before, p.turn, r.placed[static_cast<std::size_t>(k + 1)].turn, in,
                                r.placed[static_cast<std::size_t>(k + 1)].leg,
                                LnavTurnRadiusInWind(ground_speed, tas, course_in, p.course_out, wind.from, wind.speed),
                                LnavRollIn(ground_speed, tas));
  const bool from_direct_to = leg_in < 0.0 && k > 0 && r.placed[static_cast<std::size_t>(k - 1)].begins_direct_to;
  return direct_to || from_direct_to ? SwitchDistanceOfDirectTo(anticipated, in) : anticipated;
}

// LNAV flying the route on from a state (RunLnavTurnModel), in a frame of
// the distances and courses from the entry it flies to (NM east and north),
// until the aircraft is on a leg again. Steps of half a second while it
// turns, of two once it has settled; a step that would carry it past a
// point where LNAV changes its mind (the look-ahead distance, straight at
// the waypoint, the waypoint passed) ends there, so that the path moves
// with the aircraft's state and not with the steps.
class Model {
 public:
  Model(const Route& r, const ModelAir& air, bool tracks)
      : r_(r), tas_(std::max(air.tas, kLeastAirspeed)), tracks_(tracks), air_(air) {
    v_ = tas_ * kMetresPerSecondPerKnot;
    max_bank_ = std::min(kLnavBankLimit, BankFor(kLnavStandardRate));
    max_rate_ = RateOf(max_bank_);
  }

  RunEnd Run(const Flyer& a, int target, double from_lat, double from_lon, bool tracking,
             const std::vector<int>& passed, bool on_leg, const CornerSpans* corners) {
    RunEnd end;
    if (tracks_) end.tracks.reserve(kWaysReserved);
    const Wind wind = WindOf(air_);
    SetHeading(std::isfinite(a.heading) ? a.heading
                                        : a.track + WindCorrectionAngle(a.track, tas_, wind.from, wind.speed));
    bank_ = a.bank;
    rate_ = RateOf(bank_);
    direct_to_ = a.direct_to;
    passed_at_ = a.passed_at;
    x_ = y_ = 0.0;
    w_ = target;
    Aim(target, from_lat, from_lon, tracking, a.lat, a.lon);
    for (int p : passed) Track(end, p, 0.0);
    end.start.push_back({x_, y_, 0.0});
    end.turned = turned_;
    const int last = static_cast<int>(r_.placed.size()) - 1;
    bool pass_now = false;
    double last_along = 0.0, last_step = 0.0;
    behind_from_ = NAN;
    // The aircraft's own run (`corners` given), flying straight at its
    // waypoint (LNAV not tracking the leg, as on the first leg) near the
    // leg, ends where the leg's corner begins: it meets the leg only at the
    // waypoint, and the path measures from there. Flown on through the
    // corner, an aircraft a mile or two off a long leg was placed by
    // whether the model came within the leg's 0.2 NM a few miles short of
    // the corner or not, and its place jumped to and fro by the corner's cut
    // (4 NM at a turn of 146 degrees).
    const bool stop_at_corner = corners != nullptr && !tracking && std::fabs(x_ * uy_ - y_ * ux_) <= kJoiningOffLegNm;
    for (int step = 0; step <= kMaxSteps; ++step) {
      const double d = std::sqrt(x_ * x_ + y_ * y_);
      const double along = x_ * ux_ + y_ * uy_;  // below 0 before the entry
      const double offset = std::fabs(x_ * uy_ - y_ * ux_);
      const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
      const double ground_east = tas_ * sin_heading_ + wind_east_, ground_north = tas_ * cos_heading_ + wind_north_;
      const double ground_speed = std::sqrt(ground_east * ground_east + ground_north * ground_north);
      // LNAV works it out on every pass; the model again once the ground
      // speed has moved by a tenth of a knot (turning in a wind).
      if (w_ != switch_for_ || std::fabs(ground_speed - switch_speed_) > kSwitchSpeedStep) {
        switch_ = w_ == last ? 0.0 : SwitchDistanceOf(r_, w_, ground_speed, tas_, wind_, course_in_, passed_at_,
                                                           from_elsewhere_ ? leg_in_ : -1.0,
                                                           from_elsewhere_ && direct_to_ && w_ == target);
        switch_for_ = w_;
        switch_speed_ = ground_speed;
      }
      if (stop_at_corner && w_ == target && w_ != last && !on_leg && !pass_now && Passes(d, ground_east, ground_north)) {
        end.to_go = -along;
        break;
      }
      // An entry missed by more than LNAV passes it at, the aircraft now
      // beyond its abeam point, is taken as passed there: past its end a
      // leg's steering S-turns on along the course without coming back, and
      // the path flown on that way ran hundreds of miles past the route's
      // end (a procedure's last turn, 146 degrees on legs of 6 and 9 NM).
      const bool left_behind = along > 0.0 && behind_from_ < 0.0 && std::isfinite(behind_from_);
      behind_from_ = along;
      if (w_ != last && !on_leg && (pass_now || Passes(d, ground_east, ground_north) || left_behind)) {
        pass_now = false;
        last_along = 0.0;
        behind_from_ = NAN;
        end.passed.emplace_back(w_, end.flown);
        Track(end, w_, end.flown);
        double lat = 0.0, lon = 0.0;
        Position(lat, lon);
        passed_at_ = switch_;
        Aim(w_ + 1, w.lat, w.lon, true, lat, lon);
        continue;
      }
      if (w_ == last && along >= 0.0) {
        // Abeam the last entry within the step just flown, in proportion.
        if (last_along < 0.0 && along > last_along) end.flown -= last_step * along / (along - last_along);
        end.at_last = true;
        Track(end, w_, end.flown);
        end.to_go = 0.0;
        break;
      }
      last_along = along;
      const bool back_on_leg =
          offset <= kOnLegOffset &&
          std::fabs(Wrap180(std::atan2(ground_east, ground_north) / kDegToRad - course_in_)) <= kOnLegAngle;
      if (back_on_leg && !on_leg && corners != nullptr && step < kMaxSteps) {
        const double here = w.route + along;
        double corner_end = here, passing = w.route - switch_;
        for (const CornerSpan& c : *corners) {
          if (here > c.from && here < c.to - 1e-9) corner_end = c.to;
          if (c.placed == w_) passing = c.from;
        }
        if (w_ == last) passing = w.route;
        if (corner_end > here) {
          // Straight along the leg, where nothing changes, to the corner's
          // end or to where the next waypoint is passed; past where the
          // path passes it (LNAV passes it by the distance from it, the
          // path where its corner starts), passed from here.
          if (here < passing) {
            const double next = std::min(corner_end, passing);
            end.flown += next - here;
            if (tracks_) RecordWay(end, ux_, uy_);
            if (corner_end <= passing) {
              end.to_go = w.route - corner_end;
              break;
            }
            x_ = (next - w.route) * ux_;
            y_ = (next - w.route) * uy_;
            SetHeading(course_in_ + WindCorrectionAngle(course_in_, tas_, wind_.from, wind_.speed));
            bank_ = rate_ = 0.0;
          }
          pass_now = true;
          last_along = 0.0;
          continue;
        }
      }
      if (on_leg || back_on_leg || step == kMaxSteps) {
        end.to_go = -along;
        // On its leg from the start, short of where its waypoint is passed:
        // where it stays so, nothing but its place along the leg changes.
        if (back_on_leg && step == 0 && w_ == target && along < 0.0) {
          end.on_leg = {course_in_, switch_};
        }
        break;
      }
      // Far off the leg, where it would meet it only at or past the
      // waypoint, LNAV flies straight at the waypoint; judged once the
      // turn onto the leg is flown.
      if (tracking_ && offset >= kLnavStraightAtWaypointOffset &&
          std::fabs(Wrap180(std::atan2(ground_east, ground_north) / kDegToRad - course_in_)) <= kLnavTurnedOntoLeg &&
          !(-along - offset / std::tan(kLnavMaxIntercept * kDegToRad) > switch_)) {
        tracking_ = false;
      }
      // The track steered: toward LNAV's look-ahead point (the leg's length
      // less the distance to the entry, and the look-ahead, from the leg's
      // start), joining the leg no steeper than LNAV joins; else toward the
      // entry itself.
      double aim_x = -x_, aim_y = -y_, wanted = 0.0;
      if (tracking_) {
        const double ahead = LnavLookAhead(offset, LnavTurnRadius(ground_speed, tas_));
        aim_x = (ahead - d) * ux_ - x_;
        aim_y = (ahead - d) * uy_ - y_;
        // Off the leg's course, clockwise, no steeper than LNAV joins (45
        // degrees: across as far as along).
        const double across = aim_x * uy_ - aim_y * ux_, along_aim = aim_x * ux_ + aim_y * uy_;
        const double off = along_aim > 0.0 && std::fabs(across) <= along_aim ? Atan(across / along_aim) / kDegToRad
                                                                             : std::copysign(kLnavMaxIntercept, across);
        wanted = course_in_ + off;
      } else {
        wanted = std::atan2(aim_x, aim_y) / kDegToRad;
      }
      wanted += WindCorrectionAngle(wanted, tas_, wind_.from, wind_.speed);
      const double err = Wrap180(wanted - heading_);
      const Command c = CommandFor(err);
      const double dt = StepFor(err, c, aim_x, aim_y);
      const double s = Step(end, d, offset, c, dt);
      end.flown += s;
      Gain(dt);
      if (tracks_) RecordWay(end, step_east_, step_north_);
      last_step = s;
      if (w_ == target && end.start.back().flown < kRecordedNm) end.start.push_back({x_, y_, end.flown});
    }
    end.target = w_;
    // On a leg behind its start: the start itself is passed ahead, on the leg.
    if (!end.at_last && w_ > 0) {
      const double leg = r_.placed[static_cast<std::size_t>(w_)].leg;
      if (end.to_go > leg) Record(end, w_ - 1, end.flown + end.to_go - leg);
    }
    return end;
  }

 private:
  struct Tracked {
    int entry;
    double x, y, nearest;
  };

  // The way the step to `end.flown` was flown, (east, north) in the frame,
  // as true directions.
  void RecordWay(RunEnd& end, double east, double north) const {
    const double length = std::sqrt(east * east + north * north);
    if (!(length > 0.0)) return;
    end.tracks.push_back({end.flown, (east * cos_turned_ - north * sin_turned_) / length,
                          (north * cos_turned_ + east * sin_turned_) / length});
  }

  static void Record(RunEnd& end, int p, double flown) {
    for (auto& [entry, at] : end.abeam)
      if (entry == p) at = flown;
  }

  // An entry passed, whose nearest point is looked for from here on.
  void Track(RunEnd& end, int p, double flown) {
    end.abeam.emplace_back(p, flown);
    double x = 0.0, y = 0.0;
    Local(r_.placed[static_cast<std::size_t>(p)].lat, r_.placed[static_cast<std::size_t>(p)].lon, x, y);
    tracked_.push_back({p, x, y, std::hypot(x_ - x, y_ - y)});
  }

  // What the heading hold asks for: the turn rate and the bank for it;
  // whether the bank is still to roll (by a degree or more) and whether the
  // turn is at the greatest rate, the bank there already.
  struct Command {
    double rate, bank;
    bool rolling, steady_at_limit;
  };
  // Toward the heading wanted (`err` degrees off), the short way, leading
  // the roll-out by the heading still turned while the bank comes off.
  Command CommandFor(double err) const {
    const double roll_out = rate_ * (std::fabs(bank_) / kLnavRollRate) / 2.0;
    const double rate = std::clamp((err - roll_out) * kLnavHeadingGain, -kLnavStandardRate, kLnavStandardRate);
    const double bank = std::fabs(rate) >= max_rate_ ? std::copysign(max_bank_, rate) : BankFor(rate);
    const bool at_limit = std::fabs(bank) >= max_bank_ || std::fabs(rate) >= kLnavStandardRate;
    return {rate, bank, std::fabs(bank - bank_) >= 1.0, at_limit && bank == bank_};
  }

  // How long the next step may be. Half a second while the bank moves by a
  // degree or more; while the heading is still being caught, as long as
  // turns the aircraft a degree, from half a second to two; two seconds
  // once it is nearly held, or longer flying straight along what it steers
  // at. In a turn at the greatest rate the rate stays until the heading
  // wanted comes within the roll-out, and the arc flown meanwhile is exact:
  // one step to well short of that, the heading wanted moving at most as
  // fast as the aircraft can move it (two ground speeds over the distance
  // to the point it steers at, and the wind's correction with it).
  double StepFor(double err, const Command& c, double aim_east, double aim_north) const {
    if (c.rolling) return kTurningStep;
    if (c.steady_at_limit) {
      const double to_aim = std::sqrt(aim_east * aim_east + aim_north * aim_north);
      const double roll_out = std::fabs(rate_) * (std::fabs(bank_) / kLnavRollRate) / 2.0;
      const double margin = std::fabs(err) - roll_out - std::fabs(rate_) / kLnavHeadingGain;
      const double fastest = tas_ + wind_.speed;
      const double drift = 2.0 * fastest / 3600.0 / std::max(to_aim, 1e-3) / kDegToRad * fastest / tas_;
      return std::clamp(margin / (std::fabs(rate_) + drift), kTurningStep, kLongestTurnStep);
    }
    if (std::fabs(err) > kTrackPerStep || std::fabs(rate_) * kSettledStep > kTrackPerStep)
      return std::clamp(kTrackPerStep / std::fabs(rate_), kTurningStep, kSettledStep);
    if (std::fabs(err) < kStraightWithin && std::fabs(bank_) < kStraightWithin) return kStraightStep;
    return kSettledStep;
  }

  // Flies one step of up to `dt` at the command: the turn over it (the
  // bank rolled toward the command), then along the chord of the arc
  // through the air, the heading halfway through, and with the wind. The
  // step ends early where the look-ahead distance changes, LNAV turns
  // straight at the waypoint, or the waypoint is passed, so that the path
  // moves with the aircraft's state and not with the steps. The entries
  // passed follow their nearest point along it. Returns the NM flown over
  // the ground.
  double Step(RunEnd& end, double d, double offset, const Command& c, double dt) {
    const double heading = heading_, bank = bank_, rate = rate_;
    double s = 0.0, dx = 0.0, dy = 0.0, sin_end = 0.0, cos_end = 0.0;
    for (int pass = 0; pass < 2; ++pass) {
      heading_ = heading;
      bank_ = bank;
      rate_ = rate;
      Turn(c, dt);
      const double through_air = tas_ * dt / 3600.0;
      // Half the turn, and the chord of the arc: its length less by the
      // factor sin(h)/h (a series for the small turns of most steps).
      const double half = rate_ * dt / 2.0 * kDegToRad, h2 = half * half;
      double sin_half = 0.0, cos_half = 0.0, chord = through_air;
      if (std::fabs(half) < 0.05) {
        const double sinc = 1.0 - h2 / 6.0 * (1.0 - h2 / 20.0);
        sin_half = half * sinc;
        cos_half = 1.0 - h2 / 2.0 * (1.0 - h2 / 12.0 * (1.0 - h2 / 30.0));
        chord = through_air * sinc;
      } else {
        sin_half = std::sin(half);
        cos_half = std::cos(half);
        chord = through_air * sin_half / half;
      }
      const double sin_mid = sin_heading_ * cos_half + cos_heading_ * sin_half;
      const double cos_mid = cos_heading_ * cos_half - sin_heading_ * sin_half;
      dx = chord * sin_mid + wind_east_ * dt / 3600.0;
      dy = chord * cos_mid + wind_north_ * dt / 3600.0;
      // Over the ground at the ground speed halfway through.
      const double ground_east = tas_ * sin_mid + wind_east_, ground_north = tas_ * cos_mid + wind_north_;
      s = std::sqrt(ground_east * ground_east + ground_north * ground_north) * dt / 3600.0;
      sin_end = sin_mid * cos_half + cos_mid * sin_half;
      cos_end = cos_mid * cos_half - sin_mid * sin_half;
      if (pass == 1) break;
      const double nx = x_ + dx, ny = y_ + dy;
      const double next_offset = std::fabs(nx * uy_ - ny * ux_);
      // Cut a hair past the point, so that the next step starts beyond it:
      // on it, the step after would not be cut and stepped over it.
      double share = 1.0;
      auto cut = [&share](double before, double after, double at) {
        if ((before - at) * (after - at) < 0.0)
          share = std::min(share, (before - at) / (before - after) * (1.0 + kPastThePoint));
      };
      if (tracking_) {
        cut(offset, next_offset, kLnavNearOffset);
        cut(offset, next_offset, kLnavStraightAtWaypointOffset);
      }
      if (w_ + 1 < static_cast<int>(r_.placed.size())) {
        const double next2 = nx * nx + ny * ny;
        if ((d - switch_) * (next2 - switch_ * switch_) < 0.0) cut(d, std::sqrt(next2), switch_);
      }
      if (share >= 1.0) break;
      dt *= std::max(share, kLeastStepShare);
    }
    const double len2 = dx * dx + dy * dy;
    for (Tracked& t : tracked_) {
      // Nearest along the chord.
      const double u = len2 > 0.0 ? std::clamp(((t.x - x_) * dx + (t.y - y_) * dy) / len2, 0.0, 1.0) : 0.0;
      const double ex = x_ + u * dx - t.x, ey = y_ + u * dy - t.y;
      const double n = std::sqrt(ex * ex + ey * ey);
      if (n < t.nearest) {
        t.nearest = n;
        Record(end, t.entry, end.flown + u * s);
      }
    }
    step_east_ = dx;
    step_north_ = dy;
    x_ += dx;
    y_ += dy;
    sin_heading_ = sin_end;
    cos_heading_ = cos_end;
    return s;
  }

  void SetHeading(double heading) {
    heading_ = Wrap360(heading);
    sin_heading_ = std::sin(heading_ * kDegToRad);
    cos_heading_ = std::cos(heading_ * kDegToRad);
  }

  // Aims at placed entry `target` on the leg from (from_lat, from_lon), the
  // aircraft at (lat, lon). The heading and the wind turn with the frame:
  // north in a frame about an entry a hundred miles off lies a degree or
  // more from north at the aircraft, and a heading taken as it stood bent
  // the turn's path away by that angle (0.3 NM in a turn of 129 degrees at
  // 476 kt).
  void Aim(int target, double from_lat, double from_lon, bool tracking, double lat, double lon) {
    const double true_heading = heading_ - turned_;
    w_ = target;
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    // The leg's course where it arrives; from its start when that is not
    // the entry before (LNAV engaged off the route, a direct-to).
    course_in_ = w.course_in;
    from_elsewhere_ = w_ == 0 || from_lat != r_.placed[static_cast<std::size_t>(w_ - 1)].lat ||
                      from_lon != r_.placed[static_cast<std::size_t>(w_ - 1)].lon;
    if (from_elsewhere_) {
      leg_in_ = Distance(from_lat, from_lon, w.lat, w.lon);
      if (leg_in_ > 0.0) course_in_ = Wrap360(navdb::TrueCourse(w.lat, w.lon, from_lat, from_lon) + 180.0);
    }
    ux_ = std::sin(course_in_ * kDegToRad);
    uy_ = std::cos(course_in_ * kDegToRad);
    const double leg_course = w_ > 0 ? navdb::TrueCourse(from_lat, from_lon, w.lat, w.lon) : course_in_;
    leg_x_ = std::sin(leg_course * kDegToRad);
    leg_y_ = std::cos(leg_course * kDegToRad);
    tracking_ = tracking;
    // How far the frame's north is turned from north here, clockwise: the
    // great circle from the entry runs straight on through here in the
    // frame, at the course it leaves the entry at.
    const double d = Distance(w.lat, w.lon, lat, lon), from_entry = navdb::TrueCourse(w.lat, w.lon, lat, lon);
    x_ = d * std::sin(from_entry * kDegToRad);
    y_ = d * std::cos(from_entry * kDegToRad);
    turned_ = d > kFrameTurnFrom ? Wrap180(from_entry - navdb::TrueCourse(lat, lon, w.lat, w.lon) - 180.0) : 0.0;
    if (!std::isfinite(turned_)) turned_ = 0.0;
    SetHeading(true_heading + turned_);
    sin_turned_ = std::sin(turned_ * kDegToRad);
    cos_turned_ = std::cos(turned_ * kDegToRad);
    wind_east_ = air_.east * cos_turned_ + air_.north * sin_turned_;
    wind_north_ = air_.north * cos_turned_ - air_.east * sin_turned_;
    wind_ = WindOf({tas_, wind_east_, wind_north_});
    for (Tracked& t : tracked_) {
      const Placed& p = r_.placed[static_cast<std::size_t>(t.entry)];
      Local(p.lat, p.lon, t.x, t.y);
    }
  }

  // A place in the frame about the entry aimed at: its distance and course
  // from the entry, so that every great circle through the entry, its legs
  // among them, is a straight line.
  void Local(double lat, double lon, double& x, double& y) const { PlaceInFrame(r_, w_, lat, lon, x, y); }

  void Position(double& lat, double& lon) const {
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    navdb::ProjectPosition(w.lat, w.lon, std::atan2(x_, y_) / kDegToRad, std::sqrt(x_ * x_ + y_ * y_), lat, lon);
  }

  // LNAV passes the entry within its switch distance, or abeam it (behind,
  // within kLnavAbeamWithin) while it is not one of the last two: the
  // bearing to it more than kLnavAbeamDegrees off the leg's course, in
  // LNAV's whole degrees. Within the switch distance only while the entry
  // is not as far off the aircraft's way over the ground (`ground_east`,
  // `ground_north`), as LNAV: a hairpin's leg in passing the next entry.
  bool Passes(double d, double ground_east, double ground_north) const {
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    if (d < switch_) {
      const double ground = std::sqrt(ground_east * ground_east + ground_north * ground_north);
      if (!(ground > 0.0 && -(x_ * ground_east + y_ * ground_north) <= kCosAbeam * d * ground)) return true;
    }
    return d < kLnavAbeamWithin && w.index < r_.last_index - 1 && -(x_ * leg_x_ + y_ * leg_y_) <= kCosAbeam * d;
  }

  // The airspeed gained over `dt` at climb thrust, up to the speed the
  // aircraft climbs at: turned at 172 kt where it flew accelerating to 237,
  // the aircraft's way back to its route after take-off was 1.1 NM short.
  void Gain(double dt) {
    if (!(air_.gains_to > tas_)) return;
    tas_ = std::min(air_.gains_to, tas_ + ClimbModel::kGainPerSecond * dt);
    v_ = tas_ * kMetresPerSecondPerKnot;
    max_bank_ = std::min(kLnavBankLimit, BankFor(kLnavStandardRate));
    max_rate_ = RateOf(max_bank_);
  }

  double RateOf(double bank) const { return std::tan(bank * kDegToRad) * kGravity / v_ / kDegToRad; }
  double BankFor(double rate) const { return Atan(rate * kDegToRad * v_ / kGravity) / kDegToRad; }

  // The heading hold over `dt`: the bank rolled toward the command at the
  // roll rate, the turn at the rate it gives.
  void Turn(const Command& c, double dt) {
    const double roll = kLnavRollRate * dt;
    if (std::fabs(c.bank - bank_) <= roll) {
      // The command's own rate, unless the bank limit holds it.
      rate_ = std::fabs(c.bank) >= max_bank_ ? std::copysign(max_rate_, c.bank) : c.rate;
      bank_ = c.bank;
    } else {
      bank_ += std::copysign(roll, c.bank - bank_);
      rate_ = RateOf(bank_);
    }
    heading_ = Wrap360(heading_ + rate_ * dt);
  }

  const Route& r_;
  double tas_ = 0.0, v_ = 0.0, max_bank_ = 0.0, max_rate_ = 0.0;
  // Whether the way each step is flown is recorded, and the last step's
  // (NM east and north in the frame).
  bool tracks_ = false;
  double step_east_ = 0.0, step_north_ = 1.0;
  // The air as given (true north), and as the frame has it; the degrees the
  // frame's north is turned from true north where the aircraft was aimed.
  ModelAir air_;
  double wind_east_ = 0.0, wind_north_ = 0.0, turned_ = 0.0, sin_turned_ = 0.0, cos_turned_ = 1.0;
  Wind wind_;
  int w_ = 0;
  double passed_at_ = NAN;  // the switch distance the entry before w_ was passed at
  double ux_ = 0.0, uy_ = 1.0, course_in_ = 0.0, leg_x_ = 0.0, leg_y_ = 1.0;
  // The leg into the entry aimed at starts elsewhere than at the entry
  // before, `leg_in_` NM from it; the entry's switch distance this step.
  bool from_elsewhere_ = false, direct_to_ = false;
  double leg_in_ = 0.0, switch_ = 0.0;
  // The entry and the ground speed the switch distance was worked out for.
  int switch_for_ = -1;
  double switch_speed_ = 0.0;
  double behind_from_ = NAN;  // the last step's distance along from the entry (< 0 short of it; NaN: none yet)
  bool tracking_ = true;
  // heading_: through the air, degrees true; rate_: of the turn, degrees a
  // second; the heading's sine and cosine turned with it.
  double x_ = 0.0, y_ = 0.0, heading_ = 0.0, bank_ = 0.0, rate_ = 0.0, sin_heading_ = 0.0, cos_heading_ = 1.0;
  std::vector<Tracked> tracked_;
};

}  // namespace

void PlaceInFrame(const FlownRoute& r, int entry, double lat, double lon, double& x, double& y) {
  const Placed& w = r.placed[static_cast<std::size_t>(entry)];
  // The course as it is: the geodesy's reads every course under a degree
  // as north.
  const double d = Distance(w.lat, w.lon, lat, lon), c = navdb::TrueCourse(w.lat, w.lon, lat, lon);
  x = d * std::sin(c * kDegToRad);
  y = d * std::cos(c * kDegToRad);
}

RunEnd RunLnavTurnModel(const FlownRoute& r, const ModelAir& air, const Flyer& a, int target, double from_lat,
                        double from_lon, bool tracking, const std::vector<int>& passed, bool on_leg,
                        const CornerSpans* corners, bool tracks) {
  Model model(r, air, tracks);
  return model.Run(a, target, from_lat, from_lon, tracking, passed, on_leg, corners);
}

double ModelSwitchDistance(const FlownRoute& r, int k, const ModelAir& air, double before_passed_at) {
  const Placed& p = r.placed[static_cast<std::size_t>(k)];
  const double tas = std::max(air.tas, kLeastAirspeed);
  // Along the leg into it, its heading into the wind.
  const Wind wind = WindOf(air);
  const double heading = p.course_in + WindCorrectionAngle(p.course_in, tas, wind.from, wind.speed);
  const double ground_speed =
      std::hypot(tas * std::sin(heading * kDegToRad) + air.east, tas * std::cos(heading * kDegToRad) + air.north);
  return SwitchDistanceOf(r, k, ground_speed, tas, wind, p.course_in, before_passed_at);
}

}  // namespace ovi::guidance
