// What the rules share: the flight read once, and the questions every rule
// asks of it (where the aircraft was at a time, whether VNAV flew, what a
// page showed for a waypoint, where a waypoint is).
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/flights/flight_record.h"
#include "tools/flights/flight_rules.h"

namespace ovi::flights {

class RuleKit {
 public:
  RuleKit(const FlightRecord& f, const Margins& m, Problems& problems) : f_(f), m_(m), problems_(problems) {}

  template <typename... A>
  void Object(const std::string& rule, const char* format, A... args) {
    char text[320];
    std::snprintf(text, sizeof text, format, args...);
    problems_[rule].emplace_back(text);
  }

  // The first sample at or after `t` (the last one past the end).
  const Sample& At(double t) const;
  // The first flight record event that names `what` ("passed BTG").
  double EventTime(const std::string& what) const;
  // VNAV engaged at `t`; with `or_last`, also once it went off as the last
  // waypoint was made active (the autopilot goes on down its last rate).
  bool VnavOn(double t, bool or_last = false) const;
  bool LnavOn(double t) const;
  // The route as last recorded.
  const std::vector<std::string>& Route() const;
  // A waypoint's position: the GPS planner's, else the navigation data's
  // nearest `near` (any, without it).
  bool Where(const std::string& ident, Position& p, const Position* near = nullptr) const;
  // The sample nearest a waypoint after `from`, while it draws nearer
  // (within 5 NM), or null; not in the racetrack of a hold at another fix.
  const Sample* Abeam(const std::string& ident, double from) const;
  // Where the next waypoint of the route is looked for from, the aircraft
  // having crossed `ident` at `t`: its hold's exit where `ident` is the
  // fix of a hold flown from there, else `t`.
  double NextCrossingFrom(const std::string& ident, double t) const;
  // The route's waypoint `ident`, looked for from `from`: the sample
  // nearest it (null where the aircraft never came within reach of it);
  // returns where the waypoint after it is looked for from. A waypoint the
  // aircraft never came near (LNAV passed a reversal's waypoint 7 NM short
  // of it, its lead taking the whole leg) is crossed, in the route's order,
  // where LNAV passed it: the waypoints after it are not looked for from
  // the one before, on the leg into the turn that may run close by them.
  double CrossInOrder(const std::string& ident, double from, const Sample*& nearest) const;
  // LNAV goes off as the last waypoint is passed, early by the turn it
  // anticipates: the aircraft flies on along its last track on the
  // autopilot's last commands, not the route, and comes nearest the
  // waypoint (at `nearest`) later and elsewhere. Where it was passed more
  // than 2 NM before it, the sample there and `short_of` that distance;
  // else null.
  const Sample* PassedEarlyWithoutLnav(const std::string& ident, const Sample& nearest, double& short_of) const;
  // The plan's altitude at a waypoint as RTE LEGS last showed it before
  // `t` (a constraint with its speed), NaN when none did; read no earlier
  // than `since`.
  double Planned(const std::string& ident, double t, bool& constraint, double* speed = nullptr,
                 double since = -HUGE_VAL) const;
  // The first time from `t` on when the aircraft has started down.
  // `level_at_t`: the level flown at `t` counts though left within the half
  // minute (a page read just before a step down).
  double DescentStart(double t, bool level_at_t = false) const;
  // Where the climb from `t` on ends: 150 ft below the top it reaches
  // before it turns down; where it turns down within half a minute of
  // that, where the autopilot is sent down or the aircraft comes within
  // 150 ft of `level` (the page's cruise level, NaN: unknown), the first.
  double ClimbEnd(double t, double level = NAN) const;
  // The plan changed (the pilot's edit, a direct-to, a new wind) after
  // `from` and no later than `to`.
  bool ChangedBetween(double from, double to) const;
  // The last such change no later than `t`; -infinity where none was.
  double LastChangeBy(double t) const;
  // At `s` the aircraft is still on its way to `level`, a level the plan
  // took since it last changed: not yet within 300 ft of it since the
  // change, moving toward it at 1,000 ft/min or more (the autopilot's
  // first 20 s aside), and levelling there later.
  bool OnTheWayToLevel(const Sample& s, double level) const;
  // The hold of `;@ hold`, when it was flown: from the aircraft's first
  // pass over its fix to the fix passed on the way out, a minute or more.
  // False when none. `as_steered`: however short, and ended by a direct-to
  // too (the window of the hold's steering).
  bool HoldFlown(double& from, double& to, bool as_steered = false) const;
  // VNAV first engaged (NaN: never).
  double FirstVnav() const;

  const FlightRecord& f_;
  const Margins& m_;

 private:
  // HoldFlown's window, worked out once (NaN: no hold flown).
  void HoldWindow(double& from, double& to) const;
  mutable bool hold_window_known_ = false;
  mutable double hold_from_ = NAN, hold_to_ = NAN;
  Problems& problems_;
  std::vector<std::string> no_route_;
};

const Text* FindText(const std::vector<Text>& texts, const std::string& s);
// The number after the last '/' of the text at `y` right of `x` (the CDU's
// "0951.3Z / 12.3", "0951.3Z/25 NM"), or of the whole text; NaN when none.
double NumberAt(const std::vector<Text>& texts, double x, double y);
// "FL260" or "26000" as feet; NaN for anything else.
double AltitudeText(const std::string& s);
// A RTE LEGS row's "spd / alt": "  250 /  4900", "  290 / FL240",
// "- - - - / 13000A". False when it shows no altitude.
bool LegsRow(const std::string& row, double& speed, double& altitude, bool& constraint);

// The legs RTE LEGS lists in a reading (none when it shows another page):
// each ident with the row beside it that shows an altitude.
struct LegsLine {
  std::string ident;
  double speed = NAN, altitude = NAN;
  bool constraint = false;
};
std::vector<LegsLine> LegsLines(const Reading& r);

// The cruise levels a reading shows, by page: ECON CLB's and ECON CRZ's
// CRZ ALT, the GNS-XLS VNAV page's CRUISE ALT.
struct Shown {
  std::string page;
  double feet = 0.0;
};
std::vector<Shown> CruiseLevels(const Reading& r);

// The last cruise level the pages showed by `t` (the lowest where they
// differed) lies more than 300 ft below `feet`: the pilot's own level caps
// the aircraft under a constraint above it (10,000 ft entered in the climb
// under 14000A at the next waypoint; RTE LEGS marks every constraint
// entered "A").
bool CappedByCruiseLevel(const RuleKit& k, double feet, double t);

// The rules, by family.
void CheckVertical(RuleKit& k);
void CheckCommands(RuleKit& k);
void CheckSpeeds(RuleKit& k);
void CheckPages(RuleKit& k);
void CheckLateral(RuleKit& k);

}  // namespace ovi::flights
