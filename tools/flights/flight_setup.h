// What a flight needs to be flown in ovi-sim and read by the rules: the
// light panel, the markers turned into the commands that read the pages,
// and a folder that replays the flight by hand.
#pragma once

#include <string>

namespace ovi::flights {

// The light panel: the SERVER and the engage buttons in view, the CDU
// (window 4012) and the GNS-XLS (window 4004) in closed windows, opened
// only while they are read.
std::string LightPanel(const std::string& aircraft);

// A scenario with its `;@ legs` and `;@ pages` markers followed by the
// commands that read those pages (the marker lines stay, as comments).
std::string ExpandMarkers(const std::string& scenario);

// Where the sample data, the module and ovi-sim are.
struct Paths {
  std::string source;  // the source tree: data/, data/panels/keys.txt
  std::string module;  // ovi1.gau
  std::string sim;     // ovi-sim
};

// A flight's folder: `sim/` (the sample simulator folder with the module,
// and `aircraft_text` as ovi/Aircraft/AIRCRAFT.cfg where not empty),
// `panel.cfg`, `keys.txt` and `scenario.txt` (expanded). The folder keeps
// ovi-sim's rules for --out: a missing one is made; one an earlier flight
// wrote loses what that flight wrote; one that holds any file ovi-flights
// did not write is refused untouched. False with `error` then, when a file
// cannot be written, or when the aircraft has no file (neither in the
// sample data nor given).
bool PrepareFlight(const Paths& paths, const std::string& dir, const std::string& aircraft,
                   const std::string& aircraft_text, const std::string& scenario, std::string& error);

// Flies a prepared folder into `dir/out`; ovi-sim's own output goes to
// `dir/ovi-sim.log`. What the flight writes is listed with the folder's
// files. ovi-sim's exit code; -1 when it could not be run, or (with
// `error` saying why) when `dir` is no folder PrepareFlight wrote or holds
// an ovi-sim.log of someone else's.
int FlyFlight(const Paths& paths, const std::string& dir, std::string* error = nullptr);

// Removes a flight's folder: what PrepareFlight and FlyFlight listed in it,
// then the folder where nothing else stays. False with `error`, and nothing
// removed, where it holds a file ovi-flights did not write.
bool RemoveFlight(const std::string& dir, std::string& error);

// The command that flies the folder again by hand.
std::string ReplayCommand(const Paths& paths, const std::string& dir);

}  // namespace ovi::flights
