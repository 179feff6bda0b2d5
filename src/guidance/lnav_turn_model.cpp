#include "src/guidance/lnav_turn_model.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "src/guidance/lateral.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
// Steps of the model: while it turns, once settled, and the least share of
// one a step cut short at an event keeps.
constexpr double kTurningStep = 0.5, kSettledStep = 2.0, kLeastStepShare = 0.05;  // s
// The longest step in a turn at the greatest rate, and flying straight
// (heading and bank within a hundredth of a degree) at the point steered
// at; while the heading is caught, a step turns the track by no more than
// a degree.
constexpr double kLongestTurnStep = 8.0, kStraightStep = 8.0;  // s
constexpr double kStraightWithin = 0.01;                        // degrees
constexpr double kTrackPerStep = 1.0;                           // degrees
// The heading hold the corners are flown with.
constexpr double kMaxBank = 25.0;       // degrees
constexpr double kStandardRate = 3.0;   // degrees a second
constexpr double kRollRate = 6.0;       // degrees a second
constexpr double kHeadingGain = 0.4;    // degrees a second of turn per degree to turn
constexpr double kGravity = 9.80665;    // m/s^2
constexpr double kMetresPerSecondPerKnot = 0.514444;
// Back on a leg: nearer it than this and along it within the angle. What
// is left to fly of the intercept then is under a hundredth of a mile.
constexpr double kOnLegOffset = 0.2;  // NM
constexpr double kOnLegAngle = 4.0;   // degrees
constexpr int kMaxSteps = 2000;  // a corner takes about two hundred
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

// LNAV flying the route on from a state (RunLnavTurnModel), in a frame of
// the distances and courses from the entry it flies to (NM east and north),
// until the aircraft is on a leg again. Steps of half a second while it
// turns, of two once it has settled; a step that would carry it past a
// point where LNAV changes its mind (the look-ahead distance, straight at
// the waypoint, the waypoint passed) ends there, so that the path moves
// with the aircraft's state and not with the steps.
class Model {
 public:
  Model(const Route& r, double speed) : r_(r), speed_(speed) {
    v_ = speed * kMetresPerSecondPerKnot;
    max_bank_ = std::min(kMaxBank, BankFor(kStandardRate));
    max_rate_ = RateOf(max_bank_);
  }

  RunEnd Run(const Flyer& a, int target, double from_lat, double from_lon, bool tracking,
             const std::vector<int>& passed, bool on_leg, const CornerSpans* corners) {
    RunEnd end;
    SetTrack(a.track);
    bank_ = a.bank;
    rate_ = RateOf(bank_);
    x_ = y_ = 0.0;
    w_ = target;
    Aim(target, from_lat, from_lon, tracking, a.lat, a.lon);
    for (int p : passed) Track(end, p, 0.0);
    const int last = static_cast<int>(r_.placed.size()) - 1;
    bool pass_now = false;
    double last_along = 0.0, last_step = 0.0;
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
      if (stop_at_corner && w_ == target && w_ != last && !on_leg && !pass_now && Passes(d)) {
        end.to_go = -along;
        break;
      }
      if (w_ != last && !on_leg && (pass_now || Passes(d))) {
        pass_now = false;
        last_along = 0.0;
        Track(end, w_, end.flown);
        double lat = 0.0, lon = 0.0;
        Position(lat, lon);
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
      const bool back_on_leg = offset <= kOnLegOffset && std::fabs(Wrap180(track_ - course_in_)) <= kOnLegAngle;
      if (back_on_leg && !on_leg && corners != nullptr && step < kMaxSteps) {
        const double here = w.route + along;
        const double corner_end = EndOfCornerAt(*corners, here);
        const double passing = w_ == last ? w.route : w.route - w.switch_distance;
        if (corner_end > here) {
          // Straight along the leg, where nothing changes, to the corner's
          // end or to where the next waypoint is passed.
          const double next = std::min(corner_end, passing);
          end.flown += std::max(next - here, 0.0);
          if (corner_end <= passing) {
            end.to_go = w.route - corner_end;
            break;
          }
          x_ = (next - w.route) * ux_;
          y_ = (next - w.route) * uy_;
          SetTrack(course_in_);
          bank_ = rate_ = 0.0;
          pass_now = true;
          last_along = 0.0;
          continue;
        }
      }
      if (on_leg || back_on_leg || step == kMaxSteps) {
        end.to_go = -along;
        break;
      }
      if (offset >= kLnavStraightAtWaypointOffset) tracking_ = false;
      // The point steered at: LNAV's look-ahead point (the leg's length less
      // the distance to the entry, and the look-ahead, from the leg's
      // start), else the entry itself.
      double aim_x = 0.0, aim_y = 0.0;
      if (tracking_) {
        const double ahead = offset > 0.0 && offset <= kLnavNearOffset ? kLnavNearLookAhead : kLnavFarLookAhead;
        aim_x = (ahead - d) * ux_;
        aim_y = (ahead - d) * uy_;
      }
      const double err = Off(aim_x - x_, aim_y - y_);
      const Command c = CommandFor(err);
      const double s = Step(end, d, offset, c, StepFor(err, c, aim_x - x_, aim_y - y_));
      end.flown += s;
      last_step = s;
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

  // The end of the corner a route distance lies within, else the distance itself.
  static double EndOfCornerAt(const CornerSpans& corners, double route) {
    for (const auto& [from, to] : corners)
      if (route > from && route < to - 1e-9) return to;
    return route;
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
    const double roll_out = rate_ * (std::fabs(bank_) / kRollRate) / 2.0;
    const double rate = std::clamp((err - roll_out) * kHeadingGain, -kStandardRate, kStandardRate);
    const double bank = std::fabs(rate) >= max_rate_ ? std::copysign(max_bank_, rate) : BankFor(rate);
    const bool at_limit = std::fabs(bank) >= max_bank_ || std::fabs(rate) >= kStandardRate;
    return {rate, bank, std::fabs(bank - bank_) >= 1.0, at_limit && bank == bank_};
  }

  // How long the next step may be. Half a second while the bank moves by a
  // degree or more; while the heading is still being caught, as long as
  // turns the track a degree, from half a second to two; two seconds once
  // it is nearly held, or longer flying straight at what it steers at. In a
  // turn at the greatest rate the rate stays until the heading wanted comes
  // within the roll-out, and the arc flown meanwhile is exact: one step to
  // well short of that, the heading wanted moving at most as fast as the
  // aircraft can move it (two speeds over the distance to the point).
  double StepFor(double err, const Command& c, double aim_east, double aim_north) const {
    if (c.rolling) return kTurningStep;
    if (c.steady_at_limit) {
      const double to_aim = std::sqrt(aim_east * aim_east + aim_north * aim_north);
      const double roll_out = std::fabs(rate_) * (std::fabs(bank_) / kRollRate) / 2.0;
      const double margin = std::fabs(err) - roll_out - std::fabs(rate_) / kHeadingGain;
      const double drift = 2.0 * speed_ / 3600.0 / std::max(to_aim, 1e-3) / kDegToRad;
      return std::clamp(margin / (std::fabs(rate_) + drift), kTurningStep, kLongestTurnStep);
    }
    if (std::fabs(err) > kTrackPerStep || std::fabs(rate_) * kSettledStep > kTrackPerStep)
      return std::clamp(kTrackPerStep / std::fabs(rate_), kTurningStep, kSettledStep);
    if (std::fabs(err) < kStraightWithin && std::fabs(bank_) < kStraightWithin) return kStraightStep;
    return kSettledStep;
  }

  // Flies one step of up to `dt` at the command: the turn over it (the
  // bank rolled toward the command), then along the chord of the arc, the
  // track halfway through. The step ends early where the look-ahead
  // distance changes, LNAV turns straight at the waypoint, or the waypoint
  // is passed, so that the path moves with the aircraft's state and not
  // with the steps. The entries passed follow their nearest point along
  // it. Returns the NM flown.
  double Step(RunEnd& end, double d, double offset, const Command& c, double dt) {
    const double track = track_, bank = bank_, rate = rate_;
    double s = 0.0, dx = 0.0, dy = 0.0, sin_end = 0.0, cos_end = 0.0;
    for (int pass = 0; pass < 2; ++pass) {
      track_ = track;
      bank_ = bank;
      rate_ = rate;
      Turn(c, dt);
      s = speed_ * dt / 3600.0;
      // Half the turn, and the chord of the arc: its length less by the
      // factor sin(h)/h (a series for the small turns of most steps).
      const double half = rate_ * dt / 2.0 * kDegToRad, h2 = half * half;
      double sin_half = 0.0, cos_half = 0.0, chord = s;
      if (std::fabs(half) < 0.05) {
        const double sinc = 1.0 - h2 / 6.0 * (1.0 - h2 / 20.0);
        sin_half = half * sinc;
        cos_half = 1.0 - h2 / 2.0 * (1.0 - h2 / 12.0 * (1.0 - h2 / 30.0));
        chord = s * sinc;
      } else {
        sin_half = std::sin(half);
        cos_half = std::cos(half);
        chord = s * sin_half / half;
      }
      const double sin_mid = sin_track_ * cos_half + cos_track_ * sin_half;
      const double cos_mid = cos_track_ * cos_half - sin_track_ * sin_half;
      dx = chord * sin_mid;
      dy = chord * cos_mid;
      sin_end = sin_mid * cos_half + cos_mid * sin_half;
      cos_end = cos_mid * cos_half - sin_mid * sin_half;
      if (pass == 1) break;
      const double nx = x_ + dx, ny = y_ + dy;
      const double next_offset = std::fabs(nx * uy_ - ny * ux_);
      double share = 1.0;
      auto cut = [&share](double before, double after, double at) {
        if ((before - at) * (after - at) < 0.0) share = std::min(share, (before - at) / (before - after));
      };
      if (tracking_) {
        cut(offset, next_offset, kLnavNearOffset);
        cut(offset, next_offset, kLnavStraightAtWaypointOffset);
      }
      if (w_ + 1 < static_cast<int>(r_.placed.size())) {
        const double sw = r_.placed[static_cast<std::size_t>(w_)].switch_distance, next2 = nx * nx + ny * ny;
        if ((d - sw) * (next2 - sw * sw) < 0.0) cut(d, std::sqrt(next2), sw);
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
    x_ += dx;
    y_ += dy;
    sin_track_ = sin_end;
    cos_track_ = cos_end;
    return s;
  }

  void SetTrack(double track) {
    track_ = track;
    sin_track_ = std::sin(track * kDegToRad);
    cos_track_ = std::cos(track * kDegToRad);
  }

  // Aims at placed entry `target` on the leg from (from_lat, from_lon), the
  // aircraft at (lat, lon).
  void Aim(int target, double from_lat, double from_lon, bool tracking, double lat, double lon) {
    w_ = target;
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    // The leg's course where it arrives; from its start when that is not
    // the entry before (LNAV engaged off the route).
    course_in_ = w.course_in;
    if (w_ == 0 || from_lat != r_.placed[static_cast<std::size_t>(w_ - 1)].lat ||
        from_lon != r_.placed[static_cast<std::size_t>(w_ - 1)].lon) {
      if (Distance(from_lat, from_lon, w.lat, w.lon) > 0.0)
        course_in_ = Wrap360(navdb::TrueCourse(w.lat, w.lon, from_lat, from_lon) + 180.0);
    }
    ux_ = std::sin(course_in_ * kDegToRad);
    uy_ = std::cos(course_in_ * kDegToRad);
    const double leg_course = w_ > 0 ? navdb::TrueCourse(from_lat, from_lon, w.lat, w.lon) : course_in_;
    leg_x_ = std::sin(leg_course * kDegToRad);
    leg_y_ = std::cos(leg_course * kDegToRad);
    tracking_ = tracking;
    Local(lat, lon, x_, y_);
    for (Tracked& t : tracked_) {
      const Placed& p = r_.placed[static_cast<std::size_t>(t.entry)];
      Local(p.lat, p.lon, t.x, t.y);
    }
  }

  // A place in the frame about the entry aimed at: its distance and course
  // from the entry, so that every great circle through the entry, its legs
  // among them, is a straight line.
  void Local(double lat, double lon, double& x, double& y) const {
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    double d = 0.0, c = 0.0;
    navdb::ComputeDistanceAndBearing(w.lat, w.lon, lat, lon, d, c);
    x = d * std::sin(c * kDegToRad);
    y = d * std::cos(c * kDegToRad);
  }

  void Position(double& lat, double& lon) const {
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    navdb::ProjectPosition(w.lat, w.lon, std::atan2(x_, y_) / kDegToRad, std::sqrt(x_ * x_ + y_ * y_), lat, lon);
  }

  // LNAV passes the entry within its switch distance, or abeam it (behind,
  // within kLnavAbeamWithin) while it is not one of the last two: the
  // bearing to it more than kLnavAbeamDegrees off the leg's course, in
  // LNAV's whole degrees.
  bool Passes(double d) const {
    const Placed& w = r_.placed[static_cast<std::size_t>(w_)];
    if (d < w.switch_distance) return true;
    return d < kLnavAbeamWithin && w.index < r_.last_index - 1 &&
           -(x_ * leg_x_ + y_ * leg_y_) <= kCosAbeam * d;
  }

  double RateOf(double bank) const { return std::tan(bank * kDegToRad) * kGravity / v_ / kDegToRad; }
  double BankFor(double rate) const { return Atan(rate * kDegToRad * v_ / kGravity) / kDegToRad; }

  // Degrees from the track to the direction (east, north), right positive.
  double Off(double east, double north) const {
    const double across = east * cos_track_ - north * sin_track_, along = north * cos_track_ + east * sin_track_;
    if (along > 0.0 && std::fabs(across) < kSeriesWithin * along) return Atan(across / along) / kDegToRad;
    return std::atan2(across, along) / kDegToRad;
  }

  // The heading hold over `dt`: the bank rolled toward the command at the
  // roll rate, the turn at the rate it gives.
  void Turn(const Command& c, double dt) {
    const double roll = kRollRate * dt;
    if (std::fabs(c.bank - bank_) <= roll) {
      // The command's own rate, unless the bank limit holds it.
      rate_ = std::fabs(c.bank) >= max_bank_ ? std::copysign(max_rate_, c.bank) : c.rate;
      bank_ = c.bank;
    } else {
      bank_ += std::copysign(roll, c.bank - bank_);
      rate_ = RateOf(bank_);
    }
    track_ = Wrap360(track_ + rate_ * dt);
  }

  const Route& r_;
  double speed_ = 0.0, v_ = 0.0, max_bank_ = 0.0, max_rate_ = 0.0;
  int w_ = 0;
  double ux_ = 0.0, uy_ = 1.0, course_in_ = 0.0, leg_x_ = 0.0, leg_y_ = 1.0;
  bool tracking_ = true;
  // rate_: of the turn, degrees a second; the track's sine and cosine
  // turned with it.
  double x_ = 0.0, y_ = 0.0, track_ = 0.0, bank_ = 0.0, rate_ = 0.0, sin_track_ = 0.0, cos_track_ = 1.0;
  std::vector<Tracked> tracked_;
};

}  // namespace

RunEnd RunLnavTurnModel(const FlownRoute& r, double speed, const Flyer& a, int target, double from_lat,
                        double from_lon, bool tracking, const std::vector<int>& passed, bool on_leg,
                        const CornerSpans* corners) {
  Model model(r, speed);
  return model.Run(a, target, from_lat, from_lon, tracking, passed, on_leg, corners);
}

}  // namespace ovi::guidance
