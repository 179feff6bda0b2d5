#include "src/guidance/flight_log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/os/os.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/fsuipc.h"
#include "src/host/sim_vars.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"
#include "src/util/text.h"

namespace ovi::guidance {

namespace {

constexpr const char* kFplLogPath = "\\ovi\\FlightLog\\fpl.log";
constexpr const char* kDashes = ";--------------------------------------------------------------------------\n";
constexpr const char* kColumns =
    "; TIME   Segment  Waypoint   GSP   TAS       V/S    ALT    FF     FOB       ZFW     PLD  IAS\n";

// Zero-fuel weight and the payload stations, in as many batches as the
// request area needs; a station whose batch fails counts 0. Without a
// link the weights keep their values.
void ReadWeights() {
  State& g = guidance_state;
  std::uint8_t area[host::kFsuipcCallerArea];
  if (host::FsuipcOpen(0, &g.FsuipcOpenResult, area, sizeof area) == 0) return;
  std::uint32_t code = 0;
  std::uint32_t zero_fuel = 0, count = 0;
  host::FsuipcRead(kOffsetZeroFuelWeight, 4, &zero_fuel, &code);
  host::FsuipcRead(kOffsetPayloadCount, 4, &count, &code);
  if (host::FsuipcProcess(&code) != 0) {
    const int stations = static_cast<int>(std::min<std::uint32_t>(count, kMaxPayloadStations));
    double weight[kMaxPayloadStations] = {};
    int queued = 0;
    for (int n = 0; n < stations; ++n) {
      const std::uint32_t offset = kOffsetPayloadStations + kPayloadStationStride * static_cast<std::uint32_t>(n);
      if (host::FsuipcRead(offset, 8, &weight[n], &code) != 0) {
        ++queued;
        continue;
      }
      // The area is full: send what it holds and start the next batch.
      if (code != host::kFsuipcAreaSize || queued == 0) break;
      host::FsuipcProcess(&code);
      queued = 0;
      if (host::FsuipcRead(offset, 8, &weight[n], &code) == 0) break;
      ++queued;
    }
    if (queued > 0) host::FsuipcProcess(&code);
    g.GrossWeight = zero_fuel / 256.0;
    double payload = 0.0;
    for (double w : weight) {
      if (std::isfinite(w)) payload += w;
    }
    g.PayloadWeight = payload;
  }
  host::FsuipcClose();
}

std::string TimeText(double hour, double minute) { return util::Format("%02.0f:%02.0f", hour, minute); }

// A text that reads back as one field of the log.
std::string LogField(const std::string& text) {
  if (text.empty()) return "---";
  std::string out = text;
  for (char& c : out) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) c = '_';
  }
  return out;
}

const model::FlightPlanWaypoint* ActiveEntry(int i) {
  const flightplan::State& fp = flightplan::flightplan_state;
  if (i < 0 || i > std::min(fp.ActiveFlightPlanLastIndex, model::kMaxActivePlanWaypoints)) return nullptr;
  return &fp.ActiveFlightPlan[i];
}

void WriteLine(const std::string& waypoint) {
  State& g = guidance_state;
  const std::string path = host::host_state.SimulatorFolder + kFplLogPath;
  const bool header = g.FlightPhase == kPhaseInitLoad;
  const int t = std::max(0, host::TruncateToInt32(g.ElapsedFlightSeconds));
  std::string out;
  if (header) {
    const flightplan::State& fp = flightplan::flightplan_state;
    const model::FlightPlanWaypoint* first = ActiveEntry(0);
    const model::FlightPlanWaypoint* last = ActiveEntry(fp.ActiveFlightPlanLastIndex);
    out += util::Format("FlightPlan=%s-%s\n", first ? first->ident.c_str() : "", last ? last->ident.c_str() : "");
    out += util::Format("Aircraft=%s\n", model::model_state.AircraftConfigName.c_str());
    out += kDashes;
    out += kDashes;
    out += kColumns;
    out += kDashes;
    g.FlightLogWriteFailureReported = 0;
  }
  const std::string line = util::Format(
      "%02d:%02d:%02d %-10s %6s %5.0f  %5.0f   %5.0f  %6.0f  %5.0f %7.0f  %7.0f %7.0f %-3.0f\n", t / 3600,
      (t % 3600) / 60, (t % 3600) % 60, FlightPhaseText(g.FlightPhase), waypoint.c_str(), g.GroundSpeedKnots,
      g.TrueAirspeedEstimate, g.VerticalSpeedFpm, g.AircraftAltitude, host::GetTotalFuelFlow(), GetFuelFlowWeight(),
      g.GrossWeight, g.PayloadWeight, g.SmoothedAirspeed);
  out += line;
  // A new log replaces the last one only once its header is whole; a line
  // is added whole or not at all. Without the FlightLog folder no log is
  // kept, without a word.
  os::FileProblem problem;
  const bool written = header ? os::SaveFile(path, out, &problem) : os::AppendFile(path, out, &problem);
  if (written) {
    model::AddStatusMessage(line);
  } else if (!problem.missing() && g.FlightLogWriteFailureReported == 0) {
    g.FlightLogWriteFailureReported = 1;
    model::AddStatusMessage("fpl.log: line not written (" + problem.text + ")");
  }
  if ((written || !problem.missing()) && g.FlightPhase == kPhaseFlightEnded) WriteFlightSummary();
  g.LastLogLineSeconds = g.ElapsedFlightSeconds;
  g.LastLogLineVerticalSpeed = g.VerticalSpeedFpm;
}

void EnterPhase(std::int32_t phase) {
  State& g = guidance_state;
  g.FlightPhase = phase;
  if (phase == kPhaseTakeoff) {
    g.TakeoffZuluHour = host::GetZuluHour();
    g.TakeoffZuluMinute = host::GetZuluMinute();
    g.TakeoffTimeText = TimeText(g.TakeoffZuluHour, g.TakeoffZuluMinute);
    flightplan::flightplan_state.ActiveFlightPlan[0].time_over_text = g.TakeoffTimeText;
  } else if (phase == kPhaseLanding) {
    g.LandingTimeText = TimeText(g.ZuluHour, g.ZuluMinute);
  } else if (phase == kPhaseEndFlight) {
    g.EndFlightStartSeconds = g.ElapsedFlightSeconds;
  }
}

double DistanceToLastWaypoint() {
  const State& g = guidance_state;
  const model::FlightPlanWaypoint* last = ActiveEntry(flightplan::flightplan_state.ActiveFlightPlanLastIndex);
  if (last == nullptr) return -1.0;
  double d = 0.0, c = 0.0;
  navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, last->latitude, last->longitude, d, c);
  return d;
}

// The phase the current one moves on to, or the same phase.
std::int32_t NextPhase(std::int32_t phase) {
  const State& g = guidance_state;
  const double gs = g.GroundSpeedKnots, vs = g.VerticalSpeedFpm;
  switch (phase) {
    case 0: return gs > 2.0 ? 1 : 0;
    case 1: return gs > 10.0 ? 2 : 1;
    case 2: return gs > 60.0 && g.RadioAltitudeFeet > 50.0 ? 3 : 2;
    case 3: return vs > 400.0 ? 4 : 3;
    case 4: return vs > -50.0 && vs < 50.0 ? 5 : 4;
    case 5:
      return vs < -400.0 && g.LastLogLineVerticalSpeed < -400.0 &&
                     g.ElapsedFlightSeconds - g.LastLogLineSeconds > 20.0
                 ? 6
                 : 5;
    case 6: {
      const double d = DistanceToLastWaypoint();
      return d >= 0.0 && d < 20.0 ? 7 : 6;
    }
    case 7: return gs < 60.0 ? 8 : 7;
    case 8: return gs < 40.0 ? 9 : 8;  // at rest already: on to 10 through 9 in the same call
    case 9: return gs < 5.0 ? 10 : 9;
    case 10:
      if (gs > 10.0) return 9;
      return g.ElapsedFlightSeconds - g.EndFlightStartSeconds > 120.0 || host::GetSimToken323() == 0.0 ? 11 : 10;
    default: return phase;
  }
}

}  // namespace

const char* FlightPhaseText(std::int32_t phase) {
  static constexpr const char* kTexts[] = {"InitLoad", "PushBack", "Taxi",     "Takeoff",  "Climb",
                                           "Cruise",   "Descent",  "Approach", "Landing", "Arr_Taxi"};
  if (phase >= 0 && phase <= 9) return kTexts[phase];
  return "End_Flight";
}

double GetFuelFlowWeight() {
  const double fuel = host::GetSimToken386() * host::GetSimToken306();
  model::State& m = model::model_state;
  if (fuel < m.ReserveFuel) m.ReserveFuel = fuel;
  return fuel;
}

void UpdateFlightLog(std::int32_t mode) {
  State& g = guidance_state;
  if (g.FlightLogState == 0) {
    GetFuelFlowWeight();
    host::GetTotalFuelFlow();
    ReadWeights();
    GetFuelFlowWeight();
    host::GetTotalFuelFlow();
    if (mode == kLogInitialise) {
      g.FlightLogInitialized = 1;
      return;
    }
    g.FlightLogState = 1;
  }

  bool due = false;
  if (g.FlightPhase == kFlightLogRestart) {
    g.FlightPhase = kPhaseInitLoad;
    g.FuelUsed = GetFuelFlowWeight();
    due = true;
  }
  // Before a log was started and after it ended there is nothing to write
  // to: a waypoint line would land in a closed log, after its record.
  if (g.FlightPhase < kPhaseInitLoad || g.FlightPhase > kPhaseEndFlight) return;

  for (;;) {
    const std::int32_t next = NextPhase(g.FlightPhase);
    if (next == g.FlightPhase) break;
    if (g.FlightPhase == kPhaseEndFlight && next == 9) {
      // Moving again after coming to rest: back to taxi, quietly.
      g.FlightPhase = next;
      break;
    }
    EnterPhase(next);
    due = true;
  }

  const double since = g.ElapsedFlightSeconds - g.LastLogLineSeconds;
  switch (g.FlightPhase) {
    case 4: due = due || (g.VerticalSpeedFpm > 400.0 && since > 5.0); break;
    case 5: due = due || since > 60.0; break;
    case 6: due = due || (g.VerticalSpeedFpm < -400.0 && since > 5.0); break;
    case 7: due = due || since > 5.0; break;
    default: break;
  }

  if (mode == kLogWaypointSequenced) {
    const model::FlightPlanWaypoint* active = ActiveEntry(flightplan::flightplan_state.ActiveWaypointIndex);
    WriteLine(LogField(active != nullptr ? active->ident : std::string()));
  } else if (due) {
    WriteLine("---");
  }
}

}  // namespace ovi::guidance
