// The flight log and the flight summary: phases driven through the
// snapshot values, weights and fuel from ovi-sim's FSUIPC server and
// tokens, files written into a scratch simulator folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/os/os.h"
#include "sim/simulator.h"
#include "src/flightplan/state.h"
#include "src/guidance/flight_log.h"
#include "src/guidance/lateral.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/state.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::guidance {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream s(text);
  for (std::string l; std::getline(s, l);) out.push_back(l);
  return out;
}

class FlightLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    host::host_state.Panels = sim.panels();
    std::random_device rd;
    root = fs::temp_directory_path() / ("ovi_log_" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(root / "ovi" / "FlightLog");
    host::host_state.SimulatorFolder = root.string();
    model::model_state.AircraftConfigName = "B737-800";
    model::model_state.OriginAirportIdent = "KSEA";
    model::model_state.DestinationAirportIdent = "KPDX";
    // Fuel on board 6000 gal at 5 lb, 2 x 2600 lb/h; 91300 lb without fuel,
    // one payload station of 12000 lb.
    Fob(6000);
    sim.tokens().Pin(638, 2600);
    sim.tokens().Pin(657, 2600);
    sim.tokens().Pin(323, 1.0);  // engines running: the flight ends by time
    sim.aircraft().zero_fuel_weight = 91300;
    sim.aircraft().payload = 12000;
    flightplan::State& fp = flightplan::flightplan_state;
    fp.ActiveFlightPlan[0].ident = "KSEA";
    fp.ActiveFlightPlan[0].latitude = 47.449;
    fp.ActiveFlightPlan[0].longitude = -122.309;
    fp.ActiveFlightPlan[1].ident = "OLM";
    fp.ActiveFlightPlan[1].latitude = 46.9713;
    fp.ActiveFlightPlan[1].longitude = -122.9022;
    fp.ActiveFlightPlan[2].ident = "KPDX";
    fp.ActiveFlightPlan[2].latitude = 45.5887;
    fp.ActiveFlightPlan[2].longitude = -122.5975;
    fp.ActiveFlightPlanLastIndex = 2;
    fp.ActiveWaypointIndex = 1;
    State& g = guidance_state;
    g.PlaneLatitude = 47.449;
    g.PlaneLongitude = -122.309;
    g.FlightPhase = kFlightLogRestart;
    g.ElapsedFlightSeconds = 0.0;
  }
  void TearDown() override {
    ResetModuleState();
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  void Fob(double gallons) {
    sim.tokens().Pin(386, gallons);
    sim.tokens().Pin(306, 5.0);
  }
  // One call of the log at a time of the flight with these snapshot values.
  void At(double t, double gs, double vs, double alt, double tas, double ias = 0.0, double ra = 0.0,
          std::int32_t mode = kLogTick) {
    State& g = guidance_state;
    g.ElapsedFlightSeconds = t;
    g.GroundSpeedKnots = gs;
    g.VerticalSpeedFpm = vs;
    g.AircraftAltitude = alt;
    g.TrueAirspeedEstimate = tas;
    g.SmoothedAirspeed = ias;
    g.RadioAltitudeFeet = ra;
    UpdateFlightLog(mode);
  }
  std::string FplLog() { return Read(root / "ovi" / "FlightLog" / "fpl.log"); }
  std::vector<std::string> Segments() {
    std::vector<std::string> out;
    for (const std::string& l : Lines(FplLog())) {
      const auto f = util::SplitBlanks(l);
      if (f.size() >= 11 && l[0] != ';') out.emplace_back(f[1]);
    }
    return out;
  }
  sim::Simulator sim;
  fs::path root;
};

TEST_F(FlightLogTest, AFlightThroughEveryPhase) {
  State& g = guidance_state;
  At(0, 0, 0, 433, 0);
  // The header and the first line, as the columns are laid out.
  const std::vector<std::string> head = Lines(FplLog());
  ASSERT_EQ(head.size(), 7u);
  EXPECT_EQ(head[0], "FlightPlan=KSEA-KPDX");
  EXPECT_EQ(head[1], "Aircraft=B737-800");
  EXPECT_EQ(head[2], ";--------------------------------------------------------------------------");
  EXPECT_EQ(head[3], head[2]);
  EXPECT_EQ(head[4], "; TIME   Segment  Waypoint   GSP   TAS       V/S    ALT    FF     FOB       ZFW     PLD  IAS");
  EXPECT_EQ(head[5], head[2]);
  EXPECT_EQ(head[6], "00:00:00 InitLoad      ---     0      0       0     433   5200   30000    91300   12000 0  ");
  EXPECT_EQ(g.GrossWeight, 91300.0);
  EXPECT_EQ(g.PayloadWeight, 12000.0);
  EXPECT_EQ(g.FuelUsed, 30000.0);

  At(60, 5, 0, 433, 0);    // PushBack
  At(120, 15, 0, 433, 0);  // Taxi
  sim.aircraft().zulu_seconds = 12 * 3600 + 34 * 60 + 20;
  sim.RefreshTokens();
  At(300, 80, 0, 433, 80, 150, 100);  // Takeoff
  EXPECT_EQ(g.TakeoffTimeText, "12:34");
  EXPECT_EQ(flightplan::flightplan_state.ActiveFlightPlan[0].time_over_text, "12:34");
  At(310, 200, 2500, 5000, 280, 250);  // Climb, band 5000, weight 133300 -> 130000
  At(320, 210, 2400, 7400, 300, 250);  // periodic, band 5000
  Fob(4000);                           // 20000 lb: weight 123300 -> 120000
  sim.tokens().Pin(638, 2400);
  sim.tokens().Pin(657, 2400);
  At(330, 220, 2200, 7600, 320, 250);  // periodic, band 10000
  sim.tokens().Pin(638, 2000);
  sim.tokens().Pin(657, 2000);
  At(340, 380, 0, 12000, 400, 280);  // Cruise
  sim.tokens().Pin(638, 1900);
  sim.tokens().Pin(657, 1900);
  At(401, 380, 0, 12000, 410, 280);      // periodic after 61 s
  At(410, 380, -1000, 11950, 405, 280);  // the last line climbed level: no descent yet
  sim.tokens().Pin(638, 1000);
  sim.tokens().Pin(657, 1000);
  At(462, 380, -1000, 11800, 405, 280);  // periodic cruise line, descending
  sim.tokens().Pin(638, 750);
  sim.tokens().Pin(657, 750);
  At(490, 350, -1500, 9000, 380, 270);  // Descent
  sim.tokens().Pin(638, 700);
  sim.tokens().Pin(657, 700);
  At(500, 300, -1600, 6000, 300, 250);  // periodic, band 5000
  g.PlaneLatitude = 45.7;
  g.PlaneLongitude = -122.6;
  At(510, 200, -800, 3000, 200, 180);  // Approach, within 20 NM of KPDX
  flightplan::flightplan_state.ActiveWaypointIndex = 2;
  At(512, 190, -800, 2800, 190, 170, 2800, kLogWaypointSequenced);
  g.ZuluHour = 13;
  g.ZuluMinute = 5;
  Fob(3600);                           // 18000 lb at the end
  At(520, 50, 0, 30, 50, 50);          // Landing
  EXPECT_EQ(g.LandingTimeText, "13:05");
  At(530, 30, 0, 30, 0, 30);   // Arr_Taxi
  At(600, 3, 0, 30, 0, 0);     // End_Flight
  At(650, 12, 0, 30, 0, 0);    // moving again: back to taxi without a line
  EXPECT_EQ(g.FlightPhase, 9);
  At(660, 3, 0, 30, 0, 0);     // End_Flight again
  At(780, 0, 0, 30, 0, 0);     // 120 s, not more: still phase 10
  EXPECT_EQ(g.FlightPhase, kPhaseEndFlight);
  At(790, 0, 0, 30, 0, 0);     // the flight has ended
  EXPECT_EQ(g.FlightPhase, kPhaseFlightEnded);

  EXPECT_EQ(Segments(), (std::vector<std::string>{"InitLoad", "PushBack", "Taxi", "Takeoff", "Climb", "Climb",
                                                  "Climb", "Cruise", "Cruise", "Cruise", "Descent", "Descent",
                                                  "Approach", "Approach", "Landing", "Arr_Taxi", "End_Flight",
                                                  "End_Flight", "End_Flight"}));
  const std::vector<std::string> lines = Lines(FplLog());
  EXPECT_EQ(lines[19], "00:08:32 Approach     KPDX   190    190    -800    2800   1400   20000    91300   12000 170");
  EXPECT_EQ(lines.back(), "00:13:10 End_Flight    ---     0      0       0      30   1400   18000    91300   12000 0  ");

  // The record, built by hand from the lines above.
  const os::SystemTime today = os::GetLocalTime();
  std::string expected = Read(fs::path(OVI_TEST_DATA) / "flightlog" / "Flight.log");
  const std::string date = util::Format("Date=%d/%02d/%02d", today.year, today.month, today.day);
  expected.replace(expected.find("Date=DATE"), 9, date);
  EXPECT_EQ(Read(root / "ovi" / "FlightLog" / "Flight.log"), expected);

  // The log has ended: neither ticks nor a sequenced waypoint add to it.
  const std::string ended = FplLog();
  At(800, 20, 0, 30, 0, 0);
  At(801, 20, 0, 30, 0, 0, 0, kLogWaypointSequenced);
  EXPECT_EQ(FplLog(), ended);
}

// Each phase change at its exact limit (no change) and just past it.
TEST_F(FlightLogTest, PhaseLimits) {
  struct Case {
    const char* name;
    int from;
    double gs, vs, ra, seconds, last_line_vs, east_nm;
    int to;
  };
  const Case cases[] = {
      {"pushback at 2 kt", 0, 2.0, 0, 0, 0, 0, 0, 0},
      {"pushback above 2 kt", 0, 2.1, 0, 0, 0, 0, 0, 1},
      {"taxi at 10 kt", 1, 10.0, 0, 0, 0, 0, 0, 1},
      {"taxi above 10 kt", 1, 10.1, 0, 0, 0, 0, 0, 2},
      {"takeoff at 60 kt", 2, 60.0, 0, 100, 0, 0, 0, 2},
      {"takeoff at 50 ft", 2, 61.0, 0, 50, 0, 0, 0, 2},
      {"takeoff", 2, 61.0, 0, 51, 0, 0, 0, 3},
      {"climb at 400 ft/min", 3, 150, 400, 500, 0, 0, 0, 3},
      {"climb", 3, 150, 401, 500, 0, 0, 0, 4},
      {"cruise at 50 ft/min", 4, 300, 50, 0, 0, 0, 0, 4},
      {"cruise at -50 ft/min", 4, 300, -50, 0, 0, 0, 0, 4},
      {"cruise", 4, 300, -49, 0, 0, 0, 0, 5},
      {"descent 20 s after the last line", 5, 300, -401, 0, 20.0, -401, 0, 5},
      {"descent, the last line level", 5, 300, -401, 0, 21.0, -400, 0, 5},
      {"descent at -400 ft/min", 5, 300, -400, 0, 21.0, -401, 0, 5},
      {"descent", 5, 300, -401, 0, 20.5, -401, 0, 6},
      {"approach 20.01 NM out", 6, 250, -800, 0, 0, 0, 20.01, 6},
      {"approach 19.99 NM out", 6, 250, -800, 0, 0, 0, 19.99, 7},
      {"landing at 60 kt", 7, 60.0, 0, 0, 0, 0, 0, 7},
      {"landing", 7, 59.9, 0, 0, 0, 0, 0, 8},
      {"arrival taxi at 40 kt", 8, 40.0, 0, 0, 0, 0, 0, 8},
      {"arrival taxi", 8, 39.9, 0, 0, 0, 0, 0, 9},
      {"end at 5 kt", 9, 5.0, 0, 0, 0, 0, 0, 9},
      {"end", 9, 4.9, 0, 0, 0, 0, 0, 10},
      {"stopped 120 s at 10 kt", 10, 10.0, 0, 0, 120.0, 0, 0, 10},
      {"stopped more than 120 s", 10, 10.0, 0, 0, 120.5, 0, 0, 11},
      {"moving again", 10, 10.1, 0, 0, 120.5, 0, 0, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    State& g = guidance_state;
    g.FlightLogState = 1;
    g.FlightPhase = c.from;
    g.EndFlightStartSeconds = 0.0;
    g.LastLogLineSeconds = 0.0;
    g.LastLogLineVerticalSpeed = c.last_line_vs;
    // The last waypoint on the equator, the aircraft east of it.
    flightplan::flightplan_state.ActiveFlightPlan[2].latitude = 0.0;
    flightplan::flightplan_state.ActiveFlightPlan[2].longitude = 0.0;
    g.PlaneLatitude = 0.0;
    g.PlaneLongitude = c.east_nm > 0 ? c.east_nm / 60.0 : 5.0;
    At(c.seconds, c.gs, c.vs, 5000, 300, 250, c.ra);
    EXPECT_EQ(g.FlightPhase, c.to);
  }
}

// A new log after a finished flight starts the file afresh.
TEST_F(FlightLogTest, ARestartAfterTheEndTruncatesTheLog) {
  State& g = guidance_state;
  g.FlightLogState = 1;
  g.FlightPhase = kPhaseEndFlight;
  g.EndFlightStartSeconds = 0.0;
  At(200, 0, 0, 30, 0);
  ASSERT_EQ(g.FlightPhase, kPhaseFlightEnded);
  ASSERT_TRUE(fs::exists(root / "ovi" / "FlightLog" / "Flight.log"));

  Fob(5000);
  g.FlightPhase = kFlightLogRestart;
  At(0, 0, 0, 31, 0);
  EXPECT_EQ(g.FlightPhase, kPhaseInitLoad);
  EXPECT_EQ(g.FuelUsed, 25000.0);
  const std::vector<std::string> lines = Lines(FplLog());
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "FlightPlan=KSEA-KPDX");
  EXPECT_EQ(lines[6].substr(0, 17), "00:00:00 InitLoad");
}

TEST_F(FlightLogTest, RestartAlreadyRollingWritesTakeoffWithoutHeader) {
  At(0, 70, 0, 500, 70, 0, 100);
  EXPECT_EQ(guidance_state.FlightPhase, kPhaseTakeoff);
  const std::vector<std::string> lines = Lines(FplLog());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(util::SplitBlanks(lines[0])[1], "Takeoff");
}

TEST_F(FlightLogTest, EndFlightByTheSimulatorsFlagAndWaypointLinesOnlyWhileLogging) {
  State& g = guidance_state;
  // No log started: a sequenced waypoint writes nothing.
  g.FlightPhase = kNoFlightLog;
  At(0, 0, 0, 0, 0, 0, 0, kLogWaypointSequenced);
  EXPECT_FALSE(fs::exists(root / "ovi" / "FlightLog" / "fpl.log"));

  // At rest after landing, token 323 at 0 ends the flight at once.
  g.FlightPhase = 9;
  At(10, 3, 0, 0, 0);
  EXPECT_EQ(g.FlightPhase, kPhaseEndFlight);
  sim.tokens().Pin(323, 0.0);
  At(11, 0, 0, 0, 0);
  EXPECT_EQ(g.FlightPhase, kPhaseFlightEnded);
  EXPECT_TRUE(fs::exists(root / "ovi" / "FlightLog" / "Flight.log"));

  // Without an aircraft name there is no record.
  fs::remove(root / "ovi" / "FlightLog" / "Flight.log");
  model::model_state.AircraftConfigName.clear();
  WriteFlightSummary();
  EXPECT_FALSE(fs::exists(root / "ovi" / "FlightLog" / "Flight.log"));
}

// The line a sequenced waypoint forces names the waypoint passed, with the
// time, altitude and fuel at its passage: OLM, passed 1 h 05 min into the
// flight at 16000 ft, while KPDX becomes the active waypoint.
TEST_F(FlightLogTest, AWaypointLineNamesTheWaypointPassed) {
  State& g = guidance_state;
  At(0, 0, 0, 433, 0);
  g.FlightPhase = 5;  // Cruise
  g.LnavEngaged = 1;
  g.WaypointSwitchDistance = 3.0;
  g.ActiveWaypointDistance = 2.0;
  g.ElapsedFlightSeconds = 3900.0;
  g.GroundSpeedKnots = 300.0;
  g.TrueAirspeedEstimate = 420.0;
  g.VerticalSpeedFpm = 0.0;
  g.AircraftAltitude = 16000.0;
  RunWaypointPassage();
  EXPECT_EQ(flightplan::flightplan_state.ActiveWaypointIndex, 2);
  EXPECT_EQ(Lines(FplLog()).back(),
            "01:05:00 Cruise        OLM   300    420       0   16000   5200   30000    91300   12000 0  ");
}

TEST_F(FlightLogTest, WeightsOnceInBatchesAndWithoutServer) {
  std::vector<double> stations;
  for (int i = 1; i <= 70; ++i) stations.push_back(i);
  sim.fsuipc().SetPayloadStations(stations);
  const int before = sim.fsuipc().batches();
  UpdateFlightLog(kLogInitialise);
  State& g = guidance_state;
  // Stations 1..61 only: 61 x 62 / 2. The count and weight, then the
  // stations in two batches of a 1024-byte area.
  EXPECT_EQ(g.PayloadWeight, 1891.0);
  EXPECT_EQ(g.GrossWeight, 91300.0);
  EXPECT_EQ(sim.fsuipc().batches(), before + 3);
  EXPECT_EQ(g.FlightLogInitialized, 1);
  EXPECT_EQ(g.FlightLogState, 0);  // initialisation reads again at the first tick
  EXPECT_EQ(g.FlightPhase, kFlightLogRestart);

  // No server: the weights stay and the log goes on.
  sim.fsuipc().Stop();
  At(0, 0, 0, 433, 0);
  EXPECT_EQ(g.PayloadWeight, 1891.0);
  EXPECT_EQ(g.FlightLogState, 1);
  EXPECT_EQ(Segments(), std::vector<std::string>{"InitLoad"});
  // Read once: the next calls do not ask again.
  sim.fsuipc().Start();
  const int now = sim.fsuipc().batches();
  At(1, 0, 0, 433, 0);
  EXPECT_EQ(sim.fsuipc().batches(), now);
}

TEST_F(FlightLogTest, FuelOnBoardLowersTheReserve) {
  model::model_state.ReserveFuel = 40000.0;
  EXPECT_EQ(GetFuelFlowWeight(), 30000.0);
  EXPECT_EQ(model::model_state.ReserveFuel, 30000.0);
  model::model_state.ReserveFuel = 20000.0;
  GetFuelFlowWeight();
  EXPECT_EQ(model::model_state.ReserveFuel, 20000.0);
}

TEST_F(FlightLogTest, SummaryBandsAndOddLines) {
  // Hand-written log: header lines, a comment, a short line, a line with a
  // word for a number, bands at their edges, and a tenth altitude band.
  std::string log =
      "FlightPlan=KSEA-KPDX\n"
      "Aircraft=B737-800\n"
      "; TIME   Segment ...\n"
      "00:00:00 InitLoad ---  0 0 0 433 0 20000 70000 5400 0\n"
      "00:01:00 Climb ---  200 250 2000 4000 3000 20000 70000 5400 0\n"  // band 5000, weight 95400 -> 95000
      "00:01:10 Climb ---  200 260 2000 7400 3000 20000 70000 5600 0\n"  // band 5000, weight 95600 -> 100000
      "00:01:20 Climb ---\n"
      "00:01:30 Climb --- 200 x 2000 7600 3000 20000 70000 5400 0\n";
  // Cruise bands 10000 .. 50000 and one more: nine rows, the tenth dropped.
  for (int alt = 10000; alt <= 55000; alt += 5000) {
    log += util::Format("00:02:00 Cruise --- 400 400 0 %d 2000 20000 70000 5000 0\n", alt);
  }
  log += "00:30:00 Descent --- 300 300 -1234.5 8000 1000 20000 70000 5000 0\n";
  log += "00:45:00 End_Flight --- 0 0 0 0 0 15000 70000 5000 0\n";
  std::ofstream(root / "ovi" / "FlightLog" / "fpl.log") << log;
  WriteFlightSummary();
  const std::vector<std::string> rec = Lines(Read(root / "ovi" / "FlightLog" / "Flight.log"));
  ASSERT_EQ(rec.size(), 9u);
  EXPECT_EQ(rec[0], "[KSEA-KPDX]");
  EXPECT_EQ(rec[2], "FlightTime=00:45");
  EXPECT_EQ(rec[4], "FuelUsed=5000");
  EXPECT_EQ(rec[5], "Climb=5000_255_2000_95000_3000 5000_255_2000_100000_3000 ");
  EXPECT_EQ(rec[6],
            "Cruise=10000_400_95000_2000 15000_400_95000_2000 20000_400_95000_2000 25000_400_95000_2000 "
            "30000_400_95000_2000 35000_400_95000_2000 40000_400_95000_2000 45000_400_95000_2000 "
            "50000_400_95000_2000 ");
  EXPECT_EQ(rec[7], "Descent=10000_300_1234_1000 ");
  EXPECT_EQ(rec[8], "");

  // No fpl.log: the head lines alone.
  fs::remove(root / "ovi" / "FlightLog" / "fpl.log");
  fs::remove(root / "ovi" / "FlightLog" / "Flight.log");
  WriteFlightSummary();
  const std::vector<std::string> bare = Lines(Read(root / "ovi" / "FlightLog" / "Flight.log"));
  ASSERT_EQ(bare.size(), 6u);
  EXPECT_EQ(bare[2], "FlightTime=");
  EXPECT_EQ(bare[4], "FuelUsed=0");
}

}  // namespace
}  // namespace ovi::guidance
