// What the flight looked like from outside the module: the waypoints the
// active-waypoint export passed through, the LNAV and VNAV modes, the fuel
// and the time, for the run's summary and its flight record; and the
// stand-in's own aircraft once a simulated second, for its track record.
#pragma once

#include <string>
#include <vector>

#include "sim/simulator.h"

namespace ovi::sim {

class FlightWatch {
 public:
  explicit FlightWatch(Simulator& sim);
  // After every tick.
  void Observe();
  // The summary lines (without the "ovi-sim: " prefix); none when the module
  // never had a route.
  std::vector<std::string> Summary() const;
  // One line per event: "time event details", times in simulated seconds.
  bool WriteRecord(const std::string& path) const;
  // One line a simulated second: where the aircraft was, how it flew and
  // what its autopilot was set to (docs/simulator.md).
  bool WriteTrack(const std::string& path) const;

 private:
  std::string Where() const;
  void Event(const std::string& what);

  Simulator& sim_;
  double start_fuel_ = 0.0;  // pounds
  std::string route_;
  std::string active_;
  std::vector<std::string> passed_;
  std::vector<std::string> events_;
  std::vector<std::string> track_;
  long long tracked_second_ = -1;
  int lnav_ = 0, vnav_ = 0;
  std::string lnav_off_;  // where LNAV went off last
};

}  // namespace ovi::sim
