// The stand-in's autopilot and the key events the module sends to it. Rates
// and limits are those of a transport aircraft: standard-rate turns with at
// most 25 degrees of bank, altitude captured at the selected vertical speed,
// speed changed at 1.5 kt a second.
#include <gtest/gtest.h>

#include <cmath>

#include "sim/aircraft.h"
#include "sim/simulator.h"

namespace ovi::sim {
namespace {

constexpr double kDt = 1.0 / 18.0;

void Fly(AircraftState& a, double seconds) {
  for (int i = 0, n = static_cast<int>(std::lround(seconds * 18.0)); i < n; ++i) AdvanceAircraft(a, kDt);
}

AircraftState Airborne(double altitude, double ias, double heading) {
  AircraftState a;
  a.ground_elevation = 0.0;
  a.altitude = altitude;
  a.ias = ias;
  a.heading = heading;
  a.ap_master = 1.0;
  return a;
}

TEST(Autopilot, HeadingHoldTurnsTheShortWayWithinBankAndRateLimits) {
  struct Case {
    double from, bug, magvar, ias, altitude;
  };
  // 250 kt at 10000 ft is 300 kt true: 25 degrees of bank give 1.7 deg/s, so
  // 90 degrees take about 55 s. 130 kt at 1000 ft (133 kt true) turns at the
  // standard rate with about 20 degrees of bank.
  const Case cases[] = {
      {0.0, 90.0, 0.0, 250.0, 10000.0},     // right
      {350.0, 10.0, 0.0, 250.0, 10000.0},   // right across north
      {10.0, 300.0, 0.0, 250.0, 10000.0},   // left across north
      {200.0, 90.0, 16.0, 130.0, 1000.0},   // the bug is magnetic: true 106
      {90.0, 270.0, -10.0, 130.0, 1000.0},  // exactly opposite: either way, once
  };
  for (const Case& c : cases) {
    AircraftState a = Airborne(c.altitude, c.ias, c.from);
    a.magvar = c.magvar;
    a.ap_hdg_lock = 1.0;
    a.ap_heading = c.bug;
    const double target = std::fmod(c.bug + c.magvar + 360.0, 360.0);
    double start_error = std::remainder(target - c.from, 360.0);
    double max_bank = 0.0, max_rate = 0.0, previous = a.heading;
    double overshoot = 0.0;
    for (int i = 0; i < 150 * 18; ++i) {
      AdvanceAircraft(a, kDt);
      max_bank = std::max(max_bank, std::fabs(a.bank));
      max_rate = std::max(max_rate, std::fabs(std::remainder(a.heading - previous, 360.0)) / kDt);
      previous = a.heading;
      double err = std::remainder(target - a.heading, 360.0);
      if (std::fabs(start_error) < 179.0 && err * start_error < 0.0) overshoot = std::max(overshoot, std::fabs(err));
    }
    SCOPED_TRACE(testing::Message() << c.from << " -> " << c.bug);
    EXPECT_NEAR(std::remainder(a.heading - target, 360.0), 0.0, 0.2);
    EXPECT_NEAR(a.bank, 0.0, 0.2);
    EXPECT_LE(max_bank, 25.0 + 1e-9);
    EXPECT_LE(max_rate, 3.0 + 1e-6);
    EXPECT_LT(overshoot, 1.5);
    // The heading token is magnetic.
    TokenTable t;
    t.WriteFrom(a, 1);
    EXPECT_NEAR(std::remainder(t.Number(81) - c.bug, 360.0), 0.0, 0.2);
  }
}

TEST(Autopilot, AltitudeCaptureAtTheSelectedVerticalSpeed) {
  struct Case {
    double from, target, selected;
  };
  const Case cases[] = {{5000.0, 10000.0, 2000.0}, {10000.0, 5000.0, -1500.0}, {10000.0, 5000.0, 1500.0},
                        {3000.0, 3100.0, 2500.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " -> " << c.target << " at " << c.selected);
    AircraftState a = Airborne(c.from, 250.0, 0.0);
    a.ap_alt_lock = 1.0;
    a.ap_altitude = c.target;
    a.ap_vs = c.selected;
    double peak_rate = 0.0, beyond = 0.0;
    for (int i = 0; i < 400 * 18; ++i) {
      AdvanceAircraft(a, kDt);
      peak_rate = std::max(peak_rate, std::fabs(a.vs));
      beyond = std::max(beyond, (a.altitude - c.target) * (c.target > c.from ? 1.0 : -1.0));
    }
    EXPECT_EQ(a.altitude, c.target);
    EXPECT_EQ(a.vs, 0.0);
    EXPECT_LE(peak_rate, std::fabs(c.selected) + 1e-9);
    EXPECT_LE(beyond, 0.0);  // never through the target
    if (std::fabs(c.target - c.from) > 1000.0) {
      EXPECT_EQ(peak_rate, std::fabs(c.selected));
    }
  }
  // Halfway through a 5000 ft climb at 2000 ft/min the rate is the selected one.
  AircraftState a = Airborne(5000.0, 250.0, 0.0);
  a.ap_alt_lock = 1.0;
  a.ap_altitude = 10000.0;
  a.ap_vs = 2000.0;
  Fly(a, 75.0);
  EXPECT_EQ(a.vs, 2000.0);
  EXPECT_NEAR(a.altitude, 5000.0 + 2000.0 * 75.0 / 60.0 - 2000.0 * 5.0 / 60.0 / 2.0, 20.0);
  // A selected rate of 0 holds the altitude where it is.
  a.ap_vs = 0.0;
  Fly(a, 30.0);
  double level = a.altitude;
  Fly(a, 30.0);
  EXPECT_EQ(a.altitude, level);
}

TEST(Autopilot, SpeedAndMachHoldAccelerateAtAPlausibleRate) {
  AircraftState a = Airborne(10000.0, 200.0, 0.0);
  a.n1 = 60.0;
  a.ap_spd_hold = 1.0;
  a.ap_speed = 250.0;
  Fly(a, 20.0);
  EXPECT_NEAR(a.ias, 230.0, 0.1);
  EXPECT_GT(a.n1, 60.0);  // more thrust while accelerating
  Fly(a, 20.0);
  EXPECT_EQ(a.ias, 250.0);

  // Mach 0.78 at 35000 ft: SAT -54.3 C, sound 576.4 kt, true 449.6 kt, and
  // this aircraft flies 1.7 times its indicated speed there: 264.5 kt.
  AircraftState m = Airborne(35000.0, 250.0, 0.0);
  m.ap_mach_hold = 1.0;
  m.ap_mach = 0.78;
  m.ap_spd_hold = 1.0;  // Mach wins over airspeed
  m.ap_speed = 300.0;
  Fly(m, 60.0);
  EXPECT_NEAR(m.ias, 264.5, 0.2);
  EXPECT_NEAR(MachOf(m), 0.78, 1e-9);
  // Without a hold the speed stays what it was.
  m.ap_mach_hold = 0.0;
  m.ap_spd_hold = 0.0;
  m.ias = 280.0;
  Fly(m, 10.0);
  EXPECT_EQ(m.ias, 280.0);
}

TEST(Autopilot, GroundSpeedTrackAndFuelFollowTheModel) {
  // 300 kt true east with 50 kt from the north: 304.1 kt on 099.5.
  AircraftState a = Airborne(10000.0, 250.0, 90.0);
  a.ap_master = 0.0;
  a.wind_dir = 0.0;
  a.wind_speed = 50.0;
  double gs = 0.0, track = 0.0;
  GroundVectorOf(a, gs, track);
  EXPECT_NEAR(gs, std::sqrt(300.0 * 300.0 + 50.0 * 50.0), 1e-9);
  EXPECT_NEAR(track, 90.0 + std::atan(50.0 / 300.0) * 180.0 / M_PI, 1e-9);
  TokenTable t;
  t.WriteFrom(a, 1);
  EXPECT_NEAR(t.Number(551) * 0.592484, gs, 1e-9);
  // A set ground speed wins, along the heading.
  a.gs = 200.0;
  GroundVectorOf(a, gs, track);
  EXPECT_EQ(gs, 200.0);
  EXPECT_EQ(track, 90.0);
  // On the ground there is no wind.
  AircraftState g;
  g.altitude = g.ground_elevation = 0.0;
  g.ias = 100.0;
  g.wind_speed = 30.0;
  EXPECT_EQ(GroundSpeedOf(g), 100.0);

  // Fuel follows N1 and altitude while no flow is set.
  AircraftState f;
  EXPECT_EQ(FuelFlowOf(f), 0.0);
  f.n1 = 85.0;
  double low = FuelFlowOf(f);
  f.altitude = 35000.0;
  double high = FuelFlowOf(f);
  EXPECT_GT(low, high);
  EXPECT_GT(high, 1000.0);
  double fuel = f.fuel_left + f.fuel_right + f.fuel_centre;
  f.ground_elevation = 0.0;
  Fly(f, 3600.0);
  EXPECT_NEAR((fuel - (f.fuel_left + f.fuel_right + f.fuel_centre)) * f.fuel_weight_per_gallon, 2.0 * high, 1e-6);
}

// NM to go to the runway's threshold along its course, and NM right of its
// centre line, on the flat earth of a few miles (a degree of latitude is
// 60 NM, of longitude 60 cos(latitude)).
void Offsets(const AircraftState& a, double& to_go, double& right) {
  const double north = (a.latitude - a.runway_lat) * 60.0;
  const double east = std::remainder(a.longitude - a.runway_lon, 360.0) * 60.0 * std::cos(a.runway_lat * M_PI / 180.0);
  const double c = a.runway_course * M_PI / 180.0;
  to_go = -(north * std::cos(c) + east * std::sin(c));
  right = east * std::cos(c) - north * std::sin(c);
}

// The approach hold: from off the centre line, high or level, it joins the
// final course and the 3-degree path, touches down softly between 500 and
// 3000 ft past the threshold on the centre line, brakes to 15 kt on the
// runway, turns off to the right (course + 90) and stops, engines at idle.
TEST(Autopilot, ApproachHoldLandsTaxisOffAndStops) {
  struct Case {
    const char* what;
    double lat, lon, course, length;  // the runway
    double start_lat, start_lon, altitude, heading, ias;
    double wind_dir, wind_speed, magvar;
  };
  const Case cases[] = {
      // Portland 10R from where LNAV lets go in the sample flight: 9.6 NM
      // out, 3.4 NM south of the centre line, 4400 ft above the path, a
      // 10 kt tailwind component.
      {"10R at Portland", 45.59242, -122.60851, 115.2, 11000, 45.6097, -122.8490, 7513, 156, 220, 250, 15, 16},
      // South of zero and across 180 degrees: threshold at E179.99 on
      // course 270, the final from the west longitudes, 10 NM out, a
      // crosswind from the left.
      {"south, across 180", -10.0, 179.99, 270.0, 9000, -10.02, -179.84, 3500, 270, 150, 200, 20, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AircraftState a = Airborne(c.altitude, c.ias, c.heading);
    a.ground_elevation = 31.0;
    a.latitude = c.start_lat;
    a.longitude = c.start_lon;
    a.wind_dir = c.wind_dir;
    a.wind_speed = c.wind_speed;
    a.magvar = c.magvar;
    a.n1 = 60.0;
    a.ap_hdg_lock = a.ap_alt_lock = 1.0;  // they wait while the approach flies
    a.ap_heading = c.heading;
    a.ap_altitude = c.altitude;
    a.ap_spd_hold = 1.0;
    a.ap_speed = 140.0;
    a.ap_approach = 1.0;
    a.runway_lat = c.lat;
    a.runway_lon = c.lon;
    a.runway_course = c.course;
    a.runway_length = c.length;
    int ticks = 0;
    double to_go = 0.0, right = 0.0, touchdown_rate = 0.0;
    // On final the flight director commands what the approach flies: each
    // step the bank moves toward the commanded bank, never away.
    int away_from_command = 0;
    for (; !OnGround(a) && ticks < 900 * 18; ++ticks) {
      touchdown_rate = a.vs;
      const double bank = a.bank;
      AdvanceAircraft(a, kDt);
      if (a.approach == AircraftState::Approach::kFinal &&
          std::fabs(a.bank - a.fd_bank) > std::fabs(bank - a.fd_bank) + 1e-9)
        ++away_from_command;
    }
    EXPECT_EQ(away_from_command, 0);
    ASSERT_TRUE(OnGround(a));
    Offsets(a, to_go, right);
    EXPECT_LT(to_go * 6076.12, -500.0);
    EXPECT_GT(to_go * 6076.12, -3000.0);
    EXPECT_LT(std::fabs(right * 6076.12), 60.0);
    EXPECT_GE(touchdown_rate, -250.0);
    // The rollout: on the centre line, down to taxi speed within the runway.
    while (a.ias > 15.0 && ticks < 1200 * 18) {
      AdvanceAircraft(a, kDt);
      ++ticks;
    }
    Offsets(a, to_go, right);
    EXPECT_LT(std::fabs(right * 6076.12), 60.0);
    EXPECT_GT(-to_go * 6076.12, 0.0);
    EXPECT_LT(-to_go * 6076.12, c.length);
    EXPECT_EQ(a.ap_spd_hold, 0.0);
    // Off to the right, a taxi, a stop.
    Fly(a, 120.0);
    EXPECT_EQ(a.ias, 0.0);
    EXPECT_NEAR(std::remainder(a.heading - c.course - 90.0, 360.0), 0.0, 1e-6);
    EXPECT_NEAR(a.n1, 22.0, 1e-9);
    Offsets(a, to_go, right);
    EXPECT_GT(right * 6076.12, 400.0);  // clear of the runway
    EXPECT_NEAR(a.altitude, 31.0, 1e-9);
    EXPECT_EQ(a.fd_bank, 0.0);
    EXPECT_EQ(a.fd_pitch, a.pitch);
  }
  // Without a runway the approach hold does nothing; the heading hold flies.
  AircraftState a = Airborne(3000.0, 200.0, 0.0);
  a.ap_approach = a.ap_hdg_lock = 1.0;
  a.ap_heading = 90.0;
  AdvanceAircraft(a, kDt);
  EXPECT_GT(a.fd_bank, 0.0);  // right wing down, the short way to 090
  Fly(a, 60.0);
  EXPECT_NEAR(a.heading, 90.0, 1.0);
  EXPECT_EQ(a.approach, AircraftState::Approach::kNone);
}

TEST(KeyEvents, EachEventActsOnItsSetting) {
  struct Case {
    std::uint32_t id, value;
    const char* field;
    double expected;
  };
  const Case cases[] = {
      {0x101FA, 275, "ap_heading", 275.0},
      {0x101FA, 360, "ap_heading", 0.0},
      {0x10157, 0, "ap_heading", 1.0},
      {0x10158, 0, "ap_heading", 359.0},
      {0x1024C, 35000, "ap_altitude", 35000.0},
      {0x101F4, static_cast<std::uint32_t>(-1800), "ap_vs", -1800.0},
      {0x101F5, 280, "ap_speed", 280.0},
      {0x101F6, 78, "ap_mach", 0.78},
      {0x100AC, 0x11370, "nav1", 113.70},
      {0x100AC, 0x1130, "nav1", 111.30},
      {0x100B2, 0x350, "adf", 350.0},
      {0x100B4, 359, "course", 359.0},
      {0x100B4, 360, "course", 0.0},
      {0x1007F, 0, "course", 1.0},
      {0x1007E, 0, "course", 359.0},
      {0x1010F, 0, "ap_hdg_lock", 1.0},
      {0x10163, 0, "ap_spd_hold", 1.0},
      {0x1017B, 0, "ap_mach_hold", 1.0},
      {0x10311, 0, "decision_height", 210.0},
      {0x10312, 0, "decision_height", 190.0},
      {0x100FE, 0, "sim_rate", 2.0},
      {0x10030, 0, "qnh", 1013.25},
      {0x10019, 0, "paused", 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.id << " " << c.value);
    AircraftState a;
    a.sim_rate = 4.0;
    a.qnh = 990.0;
    ASSERT_TRUE(ApplyKeyEvent(a, c.id, c.value));
    double v = 0.0;
    const std::pair<const char*, double> fields[] = {
        {"ap_heading", a.ap_heading}, {"ap_altitude", a.ap_altitude},   {"ap_vs", a.ap_vs},
        {"ap_speed", a.ap_speed},     {"ap_mach", a.ap_mach},           {"nav1", a.nav1},
        {"adf", a.adf},               {"course", a.course},             {"ap_hdg_lock", a.ap_hdg_lock},
        {"ap_spd_hold", a.ap_spd_hold}, {"ap_mach_hold", a.ap_mach_hold}, {"decision_height", a.decision_height},
        {"sim_rate", a.sim_rate},     {"qnh", a.qnh},                   {"paused", a.paused},
    };
    for (const auto& f : fields)
      if (std::string(f.first) == c.field) v = f.second;
    EXPECT_NEAR(v, c.expected, 1e-9);
  }
}

TEST(KeyEvents, HoldSwitchesClockAndRefusals) {
  AircraftState a;
  a.ias = 262.0;
  a.altitude = 30000.0;
  a.ap_spd_hold = 1.0;
  a.ap_speed = 280.0;
  // Airspeed hold off, Mach hold on: the Mach target starts at the present Mach.
  ASSERT_TRUE(ApplyKeyEvent(a, 0x1022E, 0));
  ASSERT_TRUE(ApplyKeyEvent(a, 0x1017B, 0));
  EXPECT_EQ(a.ap_spd_hold, 0.0);
  EXPECT_NEAR(a.ap_mach, std::round(MachOf(a) * 100.0) / 100.0, 1e-12);
  // Mach hold off, airspeed hold on: the target starts at the present speed.
  a.ap_speed = 0.0;
  ASSERT_TRUE(ApplyKeyEvent(a, 0x1023E, 0));
  ASSERT_TRUE(ApplyKeyEvent(a, 0x10163, 0));
  EXPECT_EQ(a.ap_mach_hold, 0.0);
  EXPECT_EQ(a.ap_speed, 262.0);
  ASSERT_TRUE(ApplyKeyEvent(a, 0x10143, 0));
  EXPECT_EQ(a.ap_spd_hold, 0.0);

  // UTC hour and minute keep the rest of the clock.
  ASSERT_TRUE(SetAircraftField(a, "zulu", "12:34:56"));
  ASSERT_TRUE(ApplyKeyEvent(a, 0x1021B, 7));
  ASSERT_TRUE(ApplyKeyEvent(a, 0x1021C, 5));
  EXPECT_EQ(a.zulu_seconds, 7 * 3600.0 + 5 * 60.0 + 56.0);

  // Simulation rate halves down to a quarter.
  a.sim_rate = 1.0;
  for (int i = 0; i < 4; ++i) ApplyKeyEvent(a, 0x100FE, 0);
  EXPECT_EQ(a.sim_rate, 0.25);

  // Out-of-range values change nothing.
  AircraftState before;
  const std::pair<std::uint32_t, std::uint32_t> bad[] = {
      {0x101FA, 361},    {0x1024C, 200000},     {0x101F4, 30000}, {0x101F5, 1000},  {0x101F6, 501},
      {0x100AC, 0x1A00}, {0x100AC, 0x12000},    {0x100B2, 0x99},  {0x100B2, 0x1A0}, {0x100B4, 400},
      {0x1021B, 24},     {0x1021C, 60},         {0x12345, 0},
  };
  for (const auto& [id, value] : bad) {
    AircraftState b;
    EXPECT_FALSE(ApplyKeyEvent(b, id, value)) << std::hex << id << " " << value;
    EXPECT_EQ(b.ap_heading, before.ap_heading);
    EXPECT_EQ(b.ap_altitude, before.ap_altitude);
    EXPECT_EQ(b.nav1, before.nav1);
    EXPECT_EQ(b.adf, before.adf);
    EXPECT_EQ(b.zulu_seconds, before.zulu_seconds);
  }

  // Paused, nothing moves; the same event resumes.
  AircraftState p = Airborne(5000.0, 250.0, 45.0);
  ApplyKeyEvent(p, 0x10019, 0);
  double lat = p.latitude, clock = p.zulu_seconds;
  Fly(p, 10.0);
  EXPECT_EQ(p.latitude, lat);
  EXPECT_EQ(p.zulu_seconds, clock);
  ApplyKeyEvent(p, 0x10019, 0);
  Fly(p, 10.0);
  EXPECT_GT(p.latitude, lat);
}

TEST(KeyEvents, TheSimulatorAppliesEventsAndTheTokensShowThemNextTick) {
  Simulator sim;
  sim.SendKeyEvent(0x1024C, 12000, "module");
  sim.SendKeyEvent(0x101FA, 123, "module");
  sim.SendKeyEvent(0x101F6, 80, "scenario");
  EXPECT_EQ(sim.tokens().Number(109), 0.0);
  sim.RunTicks(1);
  EXPECT_EQ(sim.tokens().Number(109), 12000.0);
  EXPECT_EQ(sim.tokens().Number(107), 123.0);
  EXPECT_EQ(sim.tokens().Number(118), 0.8);
  ASSERT_EQ(sim.key_events().size(), 3u);
}

}  // namespace
}  // namespace ovi::sim
