// The pages against the flight and against each other: every distance to
// the T/C, the T/D and the destination the distance then flown, every
// waypoint's altitude the one crossed, one cruise level and one altitude for
// a waypoint on every page, no negative crossing estimate.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "tools/flights/rule_kit.h"

namespace ovi::flights {

namespace {

// Every distance to the T/C (where the climb ends), to the T/D (where the
// aircraft starts down) and to the destination (against the last one read,
// over the route flown between them) within 1 NM of the distance then
// flown, or the campaign's share of it; a row's own bound for one reading,
// which must then be needed.
void CheckDistances(RuleKit& k) {
  const FlightRecord& f = k.f_;
  double hold_from = 0.0, hold_left = 0.0;
  if (!k.HoldFlown(hold_from, hold_left)) hold_left = 0.0;
  // Read while LNAV flies the route: once it is off (at the last
  // waypoint, as configured) the aircraft no longer flies what the pages
  // count.
  std::pair<double, double> last{NAN, NAN};  // the last destination distance read: time, NM
  for (const Reading& r : f.readings)
    if (FindText(r.cdu, "PROGRESS") != nullptr && !std::isnan(NumberAt(r.cdu, 1.0, 131.0)) && k.LnavOn(r.t))
      last = {r.t, NumberAt(r.cdu, 1.0, 131.0)};
  std::map<std::string, bool> bound_needed;
  for (const Bound& b : f.bounds)
    if (b.check == "pages") bound_needed[b.what] = false;
  const double engaged = k.FirstVnav();
  for (const Reading& r : f.readings) {
    // At the gate the distances count the pilot's take-off, not the plan's.
    if (!(r.t >= engaged) || !k.LnavOn(r.t)) continue;
    const Sample& now = k.At(r.t);
    // `step`: the page's own resolution, which the comparison allows for.
    auto compare = [&](const std::string& what, double shown, double when, double step = 0.0) {
      // Holds are not counted ahead: a reading before a hold's exit is not
      // held to the distance flown round it. Nor is a reading before the plan
      // changed (the pilot's edit, a direct-to, a new wind).
      if (std::isnan(shown) || std::isnan(when) || r.t < hold_left) return;
      // Nor a point the aircraft comes to after LNAV went off at the last
      // waypoint: from there it flies no route the pages counted (a T/C past
      // its sequencing is reached flying straight on instead of round the
      // turn), and a T/D on the leg to the destination is flown where the
      // pilot engages VNAV again, which went off with LNAV.
      if (!k.LnavOn(when)) return;
      // A change soon after the point compared may be what made it there
      // (a lower level entered ends the climb).
      if (k.ChangedBetween(r.t, when + 30.0)) return;
      const double flown = k.At(when).flown - now.flown;
      const double usual = std::max(1.0, k.m_.pages_fraction * std::fabs(flown)) + step;
      double bound = usual;
      for (const Bound& b : f.bounds)
        if (b.check == "pages" && b.what == what) bound = b.nm + step;
      const double off = std::fabs(shown - flown);
      if (off > usual && bound_needed.count(what) != 0) bound_needed[what] = true;
      if (off > bound)
        k.Object("pages", "%s at %.1f s: %.1f NM shown, %.1f flown", what.c_str(), r.t, shown, flown);
    };
    // The level the page counts the climb to, where it shows one.
    double level = NAN;
    for (const Shown& shown : CruiseLevels(r))
      if (!(shown.feet >= level)) level = shown.feet;
    // The time and distance stand under the label, starting left of it.
    if (const Text* l = FindText(r.cdu, "T O   T / C"))
      compare("ECON CLB T/C", NumberAt(r.cdu, 100.0, l->y + 11.0), k.ClimbEnd(r.t, level));
    if (FindText(r.gns, "TO #TOC") != nullptr)
      compare("GNS-XLS TO #TOC", NumberAt(r.gns, 300.0, 120.0), k.ClimbEnd(r.t, level));
    if (const Text* l = FindText(r.cdu, "T O   T / D"))
      compare("ECON DES T/D", NumberAt(r.cdu, 150.0, l->y + 11.0), k.DescentStart(r.t, true));
    // LNAV goes off as the last waypoint is made active, and the flight ends
    // as the scenario flies it: each reading against the last one, over the
    // route flown between them. PROGRESS shows whole miles: the difference
    // of two readings is up to one more.
    if (FindText(r.cdu, "PROGRESS") != nullptr && r.t < last.first)
      compare("PROGRESS destination", NumberAt(r.cdu, 1.0, 131.0) - last.second, last.first, 1.0);
    if (FindText(r.gns, "TO #TOD") != nullptr)
      compare("GNS-XLS TO #TOD", NumberAt(r.gns, 300.0, 120.0), k.DescentStart(r.t, true));
  }
  for (const auto& [what, needed] : bound_needed)
    if (!needed) k.Object("pages", "%s within the usual bound: its own bound is no longer needed", what.c_str());
}

// The waypoints RTE LEGS lists with their altitudes, where it shows the
// executed route ("ACT"; a modification shows the route being edited).
std::vector<std::pair<std::string, double>> LegsAltitudes(const Reading& r) {
  std::vector<std::pair<std::string, double>> listed;
  if (FindText(r.cdu, "ACT") != nullptr)
    for (const LegsLine& line : LegsLines(r)) listed.push_back({line.ident, line.altitude});
  return listed;
}

// The navigator's VNAV sub-page a reading shows ("VNAV   2/4": 2), 0 for
// another page (VNAV DATA's "VNAV  DATA 1/1" among them).
int VnavSubPage(const Reading& r) {
  for (const Text& t : r.gns) {
    if (t.s.rfind("VNAV ", 0) != 0) continue;
    const std::size_t digits = t.s.find_first_not_of(' ', 4);
    if (digits == std::string::npos || !std::isdigit(static_cast<unsigned char>(t.s[digits]))) return 0;
    char* end = nullptr;
    const long page = std::strtol(t.s.c_str() + digits, &end, 10);
    return *end == '/' ? static_cast<int>(page) : 0;
  }
  return 0;
}

// The waypoints the navigator's VNAV route list shows with their altitudes
// (its sub-pages after the summary; the T/C and T/D rows and the phase
// line aside).
std::vector<std::pair<std::string, double>> NavigatorAltitudes(const Reading& r) {
  std::vector<std::pair<std::string, double>> listed;
  if (VnavSubPage(r) < 2) return listed;
  for (const Text& name : r.gns) {
    if (std::fabs(name.x - 30.0) > 0.5 || name.s.empty() || name.s[0] == '#' || name.s == "CLIMB" ||
        name.s == "CRUISE" || name.s == "DESCENT")
      continue;
    for (const Text& v : r.gns) {
      const double feet = AltitudeText(v.s);
      if (std::fabs(v.y - name.y) < 0.5 && std::fabs(v.x - 320.0) < 0.5 && !std::isnan(feet))
        listed.push_back({name.s, feet});
    }
  }
  return listed;
}

// The navigator's TO line (its VNAV summary): the waypoint VNAV flies to
// next and its target there. False for the T/C and T/D ("TO #TOC"), for no
// target ("TO ------") and for a waypoint shown without one ("-----").
bool ToLine(const Reading& r, std::string& ident, double& feet) {
  if (VnavSubPage(r) != 1) return false;
  for (const Text& label : r.gns) {
    if (std::fabs(label.x - 30.0) > 0.5 || label.s.rfind("TO ", 0) != 0) continue;
    ident = label.s.substr(3);
    if (ident.empty() || ident[0] == '#' || ident[0] == '-') return false;
    for (const Text& v : r.gns)
      if (std::fabs(v.y - label.y) < 0.5 && v.x > label.x + 100.0 && !std::isnan(AltitudeText(v.s))) {
        feet = AltitudeText(v.s);
        return true;
      }
    return false;
  }
  return false;
}

// The waypoints a reading lists with their altitudes: RTE LEGS and the
// navigator's VNAV route list.
std::vector<std::pair<std::string, double>> ListedAltitudes(const Reading& r) {
  std::vector<std::pair<std::string, double>> listed = LegsAltitudes(r);
  for (const auto& l : NavigatorAltitudes(r)) listed.push_back(l);
  return listed;
}

// The active waypoint changed after `from` and by `to`: a waypoint passed,
// or a route taken with another one active. Passing a constrained
// waypoint in the descent re-plans the level from it, and the pages read
// either side of that moment show the levels before and after.
bool ActiveChangedBetween(const FlightRecord& f, double from, double to) {
  for (const std::string& e : f.events) {
    const double t = std::atof(e.c_str());
    if (t > from && t <= to && e.find(" passed ") < e.find(" at ")) return true;
  }
  for (std::size_t i = 1; i < f.routes.size(); ++i)
    if (f.routes[i].t > from && f.routes[i].t <= to && f.routes[i].active != f.routes[i - 1].active) return true;
  return false;
}

// A waypoint's altitude as two pages read at one look show it, the worst
// apart of a flight's looks.
struct Apart {
  double legs = 0.0, other = 0.0, t = 0.0;
};

// RTE LEGS drops the tens and units (22951 ft is 22900, FL229 above the
// transition); the navigator shows whole feet. Two figures agree where the
// navigator's, its tens and units dropped, lies within a hundred of RTE
// LEGS's: the plan may be worked out again between two readings of a look
// (a second apart, a wind or a corner moving a prediction by a few feet
// across a hundred), and a pilot reads no fault into 100 ft.
bool SameAltitude(double legs, double navigator) {
  return std::fabs(std::floor(navigator / 100.0) * 100.0 - legs) <= 100.0;
}

// What one look's readings show for each waypoint: a figure, or none where
// the page shows the ident with two (a route through a waypoint twice).
struct Figures {
  std::map<std::string, double> feet;
  std::set<std::string> twice;
  void Add(const std::string& ident, double value) {
    const auto [at, fresh] = feet.emplace(ident, value);
    if (!fresh && at->second != value) twice.insert(ident);
  }
  bool Find(const std::string& ident, double& value) const {
    const auto at = feet.find(ident);
    if (at == feet.end() || twice.count(ident) != 0) return false;
    value = at->second;
    return true;
  }
};

// The look of readings `from` to `end` (not included): RTE LEGS's altitude
// for each waypoint against the navigator's VNAV list and its TO line.
// Both show the route's one altitude of the waypoint (the constraint where
// one was entered or published, else the prediction), so they differ only
// by their formats. The TO line shows VNAV's target: a waypoint's altitude,
// or the cruise level where the climb ends at the level before a waypoint
// at or above it (the pilot's level under a constraint above it, which
// RTE LEGS shows as entered).
void CompareWaypoints(const FlightRecord& f, std::size_t from, std::size_t end,
                      std::map<std::pair<std::string, std::string>, Apart>& apart) {
  Figures legs, listed;
  struct Target {
    std::string ident;
    double feet = 0.0, level = NAN;
  };
  std::vector<Target> targets;
  for (std::size_t j = from; j < end; ++j) {
    const Reading& r = f.readings[j];
    for (const auto& [ident, feet] : LegsAltitudes(r)) legs.Add(ident, feet);
    for (const auto& [ident, feet] : NavigatorAltitudes(r)) listed.Add(ident, feet);
    Target to;
    if (!ToLine(r, to.ident, to.feet)) continue;
    for (const Shown& s : CruiseLevels(r))
      if (s.page == "GNS-XLS CRUISE ALT") to.level = s.feet;
    targets.push_back(to);
  }
  const double t = f.readings[from].t;
  auto note = [&](const std::string& ident, const std::string& page, double shown, double other) {
    if (SameAltitude(shown, other)) return;
    Apart& worst = apart[{ident, page}];
    if (std::fabs(other - shown) > std::fabs(worst.other - worst.legs)) worst = {shown, other, t};
  };
  for (const auto& [ident, unused] : legs.feet) {
    double shown = 0.0, other = 0.0;
    if (legs.Find(ident, shown) && listed.Find(ident, other)) note(ident, "the GNS-XLS VNAV list", shown, other);
  }
  for (const Target& to : targets) {
    double shown = 0.0;
    if (!legs.Find(to.ident, shown)) continue;
    // The level and the target are the same whole feet on the summary.
    if (std::fabs(to.feet - to.level) < 1.0 && shown >= to.level - 100.0) continue;
    note(to.ident, "the GNS-XLS TO line", shown, to.feet);
  }
}

// Every altitude RTE LEGS or the navigator's VNAV list shows for a
// waypoint ahead is the one the aircraft crosses it at, within 500 ft,
// where VNAV flies it there and nothing changed the plan meanwhile
// (readings before VNAV first engaged are the gate's, before the pilot's
// take-off); the pages read at one look show one cruise level, and one
// altitude for each waypoint.
// Seconds after a change of the plan (a new wind above all) in which the
// pages may still show the plan before it: the module reads the air six
// passes in eighteen and works the plan out again on the pass that reads
// it, and a page read 0.2 s after the wind was set showed the plan before.
constexpr double kTakingInSeconds = 1.0;

void CheckAgreement(RuleKit& k) {
  const FlightRecord& f = k.f_;
  const double engaged = k.FirstVnav();
  // A waypoint is crossed in the route's order: not before the one that
  // precedes it. A hairpin's inbound leg runs close by the waypoint after the
  // turn (KRATR2: BEAVR lies half a mile off the leg into LAVAA), and the
  // nearest point to it was read on that leg, 1,700 ft above where the
  // aircraft passed it after the turn.
  std::map<std::string, double> not_before;
  double crossed = 0.0;
  const std::vector<std::string>& route = k.Route();
  for (std::size_t i = 1; i < route.size(); ++i) {
    not_before.emplace(route[i], crossed);
    const Sample* unused = nullptr;
    crossed = k.CrossInOrder(route[i], crossed, unused);
  }
  double hold_from = 0.0, hold_left = -1.0;
  if (!k.HoldFlown(hold_from, hold_left)) hold_left = -1.0;
  // The worst difference by waypoint and page.
  struct Worst {
    double off = 0.0, shown = 0.0, read = 0.0;
    const Sample* s = nullptr;
  };
  std::map<std::pair<std::string, std::string>, Worst> worst;
  for (const Reading& r : f.readings) {
    if (std::isnan(engaged) || r.t < engaged || k.ChangedBetween(r.t - kTakingInSeconds, r.t)) continue;
    const std::string page = r.cdu.empty() ? "the GNS-XLS VNAV list" : "RTE LEGS";
    for (const auto& [ident, shown] : ListedAltitudes(r)) {
      const auto order = not_before.find(ident);
      const Sample* s = k.Abeam(ident, order == not_before.end() ? r.t : std::max(r.t, order->second));
      if (s == nullptr || !k.VnavOn(s->t) || s->approach || k.ChangedBetween(r.t, s->t)) continue;
      // Nor a waypoint LNAV passed early as it went off there: the
      // aircraft comes nearest it flying straight on, on no route the pages
      // counted (the path rule holds a descent's waypoint to the plan where
      // LNAV passed it).
      double short_of = 0.0;
      if (k.PassedEarlyWithoutLnav(ident, *s, short_of) != nullptr) continue;
      if (hold_left > 0.0 && r.t < hold_left && s->t > hold_from) continue;
      bool constraint = false;
      k.Planned(ident, s->t, constraint);
      if (!constraint && k.OnTheWayToLevel(*s, shown)) continue;
      const double off = s->alt - shown;
      if (constraint && off < 0.0 && CappedByCruiseLevel(k, shown, s->t)) continue;
      Worst& w = worst[{ident, page}];
      if (std::fabs(off) > std::fabs(w.off)) w = {off, shown, r.t, s};
    }
  }
  for (const auto& [key, w] : worst) {
    if (std::fabs(w.off) <= 500.0) continue;
    k.Object("agree", "%s crossed at %.0f ft at %.0f s, %s showed %.0f at %.1f s", key.first.c_str(), w.s->alt, w.s->t,
             key.second.c_str(), w.shown, w.read);
  }
  // Readings within a few seconds of each other are one look at the pages,
  // ended where the plan or the active waypoint changed between two.
  std::set<std::string> told;
  std::map<std::pair<std::string, std::string>, Apart> apart;
  for (std::size_t i = 0; i < f.readings.size(); ++i) {
    if (k.ChangedBetween(f.readings[i].t - kTakingInSeconds, f.readings[i].t)) continue;
    std::size_t end = i + 1;
    while (end < f.readings.size() && f.readings[end].t < f.readings[i].t + 3.0 &&
           !k.ChangedBetween(f.readings[i].t, f.readings[end].t) &&
           !ActiveChangedBetween(f, f.readings[i].t, f.readings[end].t))
      ++end;
    std::vector<Shown> all;
    for (std::size_t j = i; j < end; ++j)
      for (const Shown& s : CruiseLevels(f.readings[j])) all.push_back(s);
    for (const Shown& a : all) {
      for (const Shown& b : all) {
        // ECON's flight levels drop the tens: FL229 is the navigator's 22951.
        if (std::floor(a.feet / 100.0) == std::floor(b.feet / 100.0) || told.count(a.page + b.page) != 0) continue;
        told.insert(a.page + b.page);
        told.insert(b.page + a.page);
        k.Object("agree", "cruise level %.0f on %s, %.0f on %s at %.1f s", a.feet, a.page.c_str(), b.feet,
                 b.page.c_str(), f.readings[i].t);
      }
    }
    CompareWaypoints(f, i, end, apart);
  }
  for (const auto& [key, a] : apart)
    k.Object("agree", "%s at %.0f on RTE LEGS, %.0f on %s at %.1f s", key.first.c_str(), a.legs, a.other,
             key.second.c_str(), a.t);
}

// The navigator's EST CROSSING is an altitude: never negative.
void CheckCrossing(RuleKit& k) {
  for (const Reading& r : k.f_.readings) {
    const Text* l = FindText(r.gns, "EST CROSSING");
    if (l == nullptr) continue;
    for (const Text& v : r.gns) {
      if (std::fabs(v.y - l->y) > 0.5 || v.x <= l->x) continue;
      const double feet = std::atof(v.s.c_str());
      if (feet < 0.0) return k.Object("crossing", "EST CROSSING %s at %.1f s", v.s.c_str(), r.t);
    }
  }
}

}  // namespace

void CheckPages(RuleKit& k) {
  CheckDistances(k);
  CheckAgreement(k);
  CheckCrossing(k);
}

}  // namespace ovi::flights
