#include "sim/flight_watch.h"

#include <cmath>

#include "platform/os/files.h"
#include "src/util/text.h"

namespace ovi::sim {

namespace {

double FuelPounds(const AircraftState& a) {
  return (a.fuel_left + a.fuel_right + a.fuel_centre) * a.fuel_weight_per_gallon;
}

std::string Clock(double seconds) {
  auto s = static_cast<long>(seconds);
  return util::Format("%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
}

}  // namespace

FlightWatch::FlightWatch(Simulator& sim) : sim_(sim), start_fuel_(FuelPounds(sim.aircraft())) {}

std::string FlightWatch::Where() const {
  const AircraftState& a = sim_.aircraft();
  return util::Format("%c%07.4f %c%08.4f %.0f ft", a.latitude < 0 ? 'S' : 'N', std::fabs(a.latitude),
                      a.longitude < 0 ? 'W' : 'E', std::fabs(a.longitude), a.altitude);
}

void FlightWatch::Event(const std::string& what) {
  events_.push_back(util::Format("%.1f ", sim_.time()) + what + " at " + Where());
}

void FlightWatch::Observe() {
  const long long second = static_cast<long long>(std::floor(sim_.time()));
  if (second > tracked_second_) {
    tracked_second_ = second;
    const AircraftState& a = sim_.aircraft();
    double gs = 0.0, track = 0.0;
    GroundVectorOf(a, gs, track);
    track_.push_back(util::Format("%.1f %.6f %.6f %.1f %.1f %.3f %.1f %.0f %.1f %.0f %.0f %.0f %.2f %d%d%d%d %d",
                                  sim_.time(), a.latitude, a.longitude, a.altitude, a.ias, MachOf(a), gs, a.vs, track,
                                  a.ap_altitude, a.ap_vs, a.ap_speed, a.ap_mach, a.ap_alt_lock != 0.0,
                                  a.ap_spd_hold != 0.0, a.ap_mach_hold != 0.0, a.ap_approach != 0.0,
                                  OnGround(a) ? 1 : 0));
  }
  std::string route, active;
  sim_.RegisteredText("Ovi_FlightPlan", route);
  sim_.RegisteredText("ovi_act_wpt_id", active);
  if (route != route_) {
    route_ = route;
    if (!route.empty()) Event("route " + route);
    // A new route: nothing passed yet. The waypoint it is flown to says
    // which leg is flown (a direct-to cuts the route ahead of it).
    if (!route.empty() && !active.empty()) Event("active " + active);
    active_ = active;
  } else if (active != active_) {
    if (!active_.empty() && !active.empty()) {
      passed_.push_back(active_);
      Event("passed " + active_);
    }
    active_ = active;
  }
  double lnav = 0.0, vnav = 0.0;
  sim_.RegisteredNumber("ovi_lnav_mode", lnav);
  sim_.RegisteredNumber("ovi_vnav_mode", vnav);
  if (static_cast<int>(lnav) != lnav_) {
    lnav_ = static_cast<int>(lnav);
    Event(lnav_ != 0 ? "LNAV on" : "LNAV off, active " + active);
    if (lnav_ == 0) lnav_off_ = Clock(sim_.time()) + " with " + active + " active, " + Where();
  }
  if (static_cast<int>(vnav) != vnav_) {
    vnav_ = static_cast<int>(vnav);
    Event(vnav_ != 0 ? "VNAV on" : "VNAV off");
  }
}

std::vector<std::string> FlightWatch::Summary() const {
  std::vector<std::string> lines;
  if (route_.empty() && passed_.empty()) return lines;
  std::string passed;
  for (const auto& p : passed_) passed += " " + p;
  lines.push_back(util::Format("flight: route %s; %zu waypoints passed:", route_.c_str(), passed_.size()) + passed);
  lines.push_back("flight: " + Clock(sim_.time()) + " flown, " +
                  util::Format("%.0f lb of fuel used", start_fuel_ - FuelPounds(sim_.aircraft())) +
                  (lnav_off_.empty() ? std::string(", LNAV never disengaged") : ", LNAV disengaged at " + lnav_off_));
  return lines;
}

bool FlightWatch::WriteTrack(const std::string& path) const {
  os::FileReplacement out(path, os::FileReplacement::Sync::kToSystem);
  out.Write("; time lat lon altitude ias mach gs vs track ap_altitude ap_vs ap_speed ap_mach holds on_ground\n");
  for (const auto& t : track_) out.Write(t + "\n");
  return out.Commit();
}

bool FlightWatch::WriteRecord(const std::string& path) const {
  os::FileReplacement out(path, os::FileReplacement::Sync::kToSystem);
  for (const auto& e : events_) out.Write(e + "\n");
  return out.Commit();
}

}  // namespace ovi::sim
