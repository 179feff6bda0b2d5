// The autopilot's commands (sent once a change, never flickering, no
// vertical speed 0 toward a target below) and the speeds flown (the ones
// VNAV asks for, within the speed restrictions).
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "tools/flights/rule_kit.h"

namespace ovi::flights {

namespace {

constexpr const char* kAltitude = "0x1024C";
constexpr const char* kVerticalSpeed = "0x101F4";
constexpr const char* kAirspeed = "0x101F5";
constexpr const char* kMach = "0x101F6";
constexpr const char* kMachHoldOn = "0x1017B";
constexpr const char* kAirspeedHoldOn = "0x10163";
// LNAV's heading goes out from the tick and from the SERVER, by design.
constexpr const char* kHeading = "0x101FA";

// The autopilot's own value of what a command sets, as the track shows it.
double HeldBy(const Sample& s, const std::string& id) {
  if (id == kAltitude) return s.ap_alt;
  if (id == kVerticalSpeed) return s.ap_vs;
  if (id == kAirspeed) return s.ap_speed;
  if (id == kMach) return std::round(s.ap_mach * 100.0);
  return NAN;
}

// No command (altitude, vertical speed, speed, Mach) sent as A, B, A, B
// within 10 s; none sent four times in a row unchanged within 10 s, nor
// twice while the autopilot already held it and nothing else set it.
void CheckSends(RuleKit& k) {
  std::map<std::string, std::vector<const Command*>> by_id;
  for (const Command& c : k.f_.commands)
    if (c.id != kHeading) by_id[c.id].push_back(&c);
  for (const auto& [id, list] : by_id) {
    std::vector<double> returns, repeats;
    for (std::size_t i = 1; i < list.size(); ++i) {
      if (list[i]->value == list[i - 1]->value) repeats.push_back(list[i]->t);
      if (i >= 2 && list[i]->value == list[i - 2]->value && list[i]->value != list[i - 1]->value &&
          list[i]->t - list[i - 2]->t < 10.0)
        returns.push_back(list[i]->t);
    }
    for (const auto& [times, name, most] :
         {std::tuple{&returns, "flicker", 1}, std::tuple{&repeats, "repeat", 3}}) {
      for (std::size_t i = static_cast<std::size_t>(most); i < times->size(); ++i) {
        if ((*times)[i] - (*times)[i - static_cast<std::size_t>(most)] >= 10.0) continue;
        k.Object(name, "%s: %zu sends at %.1f s", id.c_str(), static_cast<std::size_t>(most) + 1, (*times)[i]);
        break;
      }
    }
    // Twice: the second send changes nothing the autopilot holds. Save a
    // speed sent again after its hold was engaged at or after the first:
    // an autopilot takes the aircraft's airspeed or Mach as the hold
    // engages, within the second the track does not show.
    const char* engage = id == kMach ? kMachHoldOn : id == kAirspeed ? kAirspeedHoldOn : "";
    for (std::size_t i = 1; i < list.size(); ++i) {
      const Command& a = *list[i - 1];
      const Command& b = *list[i];
      if (a.value != b.value || b.t - a.t >= 10.0 || !k.VnavOn(a.t) || !k.VnavOn(b.t)) continue;
      bool engaged = false;
      for (const Command& c : k.f_.commands)
        engaged = engaged || (c.id == engage && c.t >= a.t - 1e-6 && c.t <= b.t + 1e-6);
      if (engaged) continue;
      bool moved = false;
      for (const Sample& s : k.f_.track) {
        if (s.t <= a.t) continue;
        if (s.t > b.t) break;
        moved = moved || std::fabs(HeldBy(s, id) - static_cast<double>(a.value)) > 0.5;
      }
      if (moved) continue;
      k.Object("repeat", "%s: %lld sent again at %.1f s (sent at %.1f s, held since)", id.c_str(), b.value, b.t, a.t);
      break;
    }
  }
}

// No vertical speed 0 sent while VNAV descends toward a target more than
// 300 ft below: the tick's commands taken together, in the descent (the
// aircraft descending, or 1,000 ft below the highest it has flown). Level
// in cruise with the descent's target set ahead of the top of descent is
// no descent.
void CheckLevelOffs(RuleKit& k) {
  const auto& commands = k.f_.commands;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (commands[i].id != kVerticalSpeed || commands[i].value != 0 || !k.VnavOn(commands[i].t)) continue;
    double target = NAN;
    for (std::size_t j = 0; j < commands.size() && commands[j].t <= commands[i].t + 0.01; ++j)
      if (commands[j].id == kAltitude) target = static_cast<double>(commands[j].value);
    const Sample& s = k.At(commands[i].t);
    double top = -1e9;
    for (const Sample& before : k.f_.track)
      if (before.t <= s.t) top = std::max(top, before.alt);
    const bool descending = k.At(commands[i].t - 5.0).vs < -300.0 || s.alt < top - 1000.0;
    // The approach hold flies the glide path whatever VNAV sends.
    if (std::isnan(target) || target > s.alt - 300.0 || s.approach || !descending) continue;
    k.Object("vs0", "vertical speed 0 sent at %.1f s with altitude %.0f asked, the aircraft at %.0f ft", commands[i].t,
             target, s.alt);
    break;
  }
}

// Climbing and descending under VNAV the speed VNAV last asked for, within
// 15 kt once the autopilot had time to reach it. Below a speed
// restriction's altitude, in any phase VNAV flies, never more than 5 kt
// above it (the climb's restriction climbing, the descent's descending,
// the faster of the two level below both), nor asked for more.
void CheckSpeedsFlown(RuleKit& k) {
  const FlightRecord& f = k.f_;
  // The speed restriction in force at a sample: 0 for none.
  auto limit = [&](const Sample& s) {
    const bool climb = f.climb_limit_speed > 0.0 && s.alt < f.climb_limit_altitude;
    const bool descent = f.descent_limit_speed > 0.0 && s.alt < f.descent_limit_altitude;
    if (s.vs > 300.0) return climb ? f.climb_limit_speed : 0.0;
    if (s.vs < -300.0) return descent ? f.descent_limit_speed : 0.0;
    // Level, in either phase: below both altitudes, the faster.
    return climb && descent ? std::max(f.climb_limit_speed, f.descent_limit_speed) : 0.0;
  };
  // The last airspeed and Mach asked for, and when the one held is met
  // after either or the mode last changed: the autopilot holds the one its
  // mode holds (above the descent's crossover the descent keeps its Mach
  // while the airspeed it asks for waits below it).
  double knots = NAN, mach = NAN, settled = 0.0, worst = 0.0, worst_t = 0.0, over = 0.0, over_t = 0.0, over_limit = 0.0;
  double asked_over = 0.0, asked_t = 0.0, asked = 0.0, asked_limit = 0.0;
  bool mode = false;
  std::size_t next = 0;
  // VNAV engaged again faster than a restriction in force (the pilot
  // flew through its altitude with VNAV off) is held to it once the
  // autopilot's 1.5 kt a second could have slowed the aircraft there:
  // engaged 0.7 s above 10,000 ft at 280 kt and 1,900 ft/min down, no
  // VNAV meets 240 kt below it.
  double engaged = NAN, slowing_from = 0.0;
  bool was_on = false;
  for (const Sample& s : f.track) {
    const bool on = k.VnavOn(s.t);
    if (on && !was_on) engaged = s.t, slowing_from = s.ias;
    was_on = on;
    bool changed = s.mach_hold != mode;
    for (; next < f.commands.size() && f.commands[next].t <= s.t; ++next) {
      const Command& c = f.commands[next];
      if (c.id != kAirspeed && c.id != kMach) continue;
      if (c.id == kMach) mach = c.value / 100.0;
      if (c.id == kAirspeed) knots = static_cast<double>(c.value);
      changed = true;
      // What the command asks for, as an airspeed here.
      const double as_knots = c.id == kAirspeed ? knots : s.ias * mach / std::max(s.mach, 0.01);
      const double l = limit(s);
      const bool holds = c.id == kAirspeed ? !s.mach_hold : s.mach_hold;
      // Climbing out, the next speed goes out as the restriction's altitude
      // comes.
      const bool leaving = s.vs > 300.0 && s.alt > f.climb_limit_altitude - 500.0;
      if (k.VnavOn(c.t) && holds && l > 0.0 && !leaving && !s.approach && as_knots - l > asked_over)
        asked_over = as_knots - l, asked_t = c.t, asked = as_knots, asked_limit = l;
    }
    mode = s.mach_hold;
    const double target = s.mach_hold ? mach : knots;
    // In knots now.
    const double off = s.mach_hold ? s.ias * (target / std::max(s.mach, 0.01) - 1.0) : target - s.ias;
    // The autopilot's 1.5 kt a second to it.
    if (changed && std::isfinite(off)) settled = s.t + 20.0 + std::fabs(off) / 1.5;
    // The restriction also holds the autopilot flying VNAV's last
    // commands once VNAV went off at the last waypoint.
    if (!k.VnavOn(s.t, true) || s.on_ground || s.approach) continue;
    if (const double l = limit(s);
        l > 0.0 && s.ias - l > over && !(on && s.t < engaged + (slowing_from - l) / 1.5))
      over = s.ias - l, over_t = s.t, over_limit = l;
    if (!on || std::fabs(s.vs) < 300.0 || std::isnan(target) || s.t < settled) continue;
    if (std::fabs(off) > std::fabs(worst)) worst = off, worst_t = s.t;
  }
  if (std::fabs(worst) > 15.0) k.Object("speed", "%.0f kt off the speed asked for at %.0f s", worst, worst_t);
  if (over > 5.0) {
    const Sample& s = k.At(over_t);
    k.Object("limit", "%.0f kt at %.0f ft at %.0f s, the restriction %.0f kt%s", s.ias, s.alt, over_t, over_limit,
             k.VnavOn(over_t) ? "" : " (VNAV off at the last waypoint, the autopilot on its last commands)");
  }
  if (asked_over > 5.0) {
    const Sample& s = k.At(asked_t);
    k.Object("limit", "%.0f kt asked at %.1f s at %.0f ft, the restriction %.0f kt", asked, asked_t, s.alt,
             asked_limit);
  }
}

}  // namespace

void CheckCommands(RuleKit& k) {
  CheckSends(k);
  CheckLevelOffs(k);
}

void CheckSpeeds(RuleKit& k) { CheckSpeedsFlown(k); }

}  // namespace ovi::flights
