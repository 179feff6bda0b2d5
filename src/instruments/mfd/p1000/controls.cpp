#include "src/instruments/mfd/p1000/controls.h"

#include <algorithm>

#include "src/guidance/state.h"
#include "src/host/display_commands.h"
#include "src/instruments/mfd/p1000/state.h"
#include "src/model/performance.h"
#include "src/model/state.h"

namespace ovi::p1000 {

namespace {

model::State& M() { return model::model_state; }
State& P() { return p1000_state; }

constexpr double kVnavSpeedAltitude = 15000.0;  // feet: where DescentSpeed is taken as true airspeed
constexpr double kDistanceStep = 1.0;           // NM
constexpr double kAltitudeStep = 100.0;         // feet
constexpr double kAngleStep = 0.1;              // degrees
constexpr double kSteepestAngle = 6.0;          // degrees
constexpr std::int32_t kHeartbeatWrap = 29999;

void ForceFullRepaint() { guidance::guidance_state.DisplayRefreshCounter = 999; }

std::int32_t Flipped(std::int32_t v) { return v == 0 ? 1 : 0; }

// Nautical miles a minute at the descent speed.
double DescentMilesPerMinute() {
  return model::IasToTas(M().DescentSpeed, kVnavSpeedAltitude) * (1.0 / 60.0);
}

// --- Soft keys ------------------------------------------------------------------

void ToggleP1000Intersections() { M().P1000ShowIntersections = Flipped(M().P1000ShowIntersections); }

void OpenVnavPage() {
  P().P1000MenuPage = kVnavPage;
  ComputeP1000VnavVerticalSpeed();
}

// RTN leaves a VANG selection in place for the next visit of the page.
void ReturnToMainMenu() {
  P().P1000MenuPage = kMainMenuPage;
  P().P1000VnavDistanceSelect = 0;
  P().P1000VnavAltitudeSelect = 0;
}

// TO, then FM, then TO ...
void SelectDistance() {
  P().P1000VnavAltitudeSelect = 0;
  P().P1000VnavAngleSelect = 0;
  P().P1000VnavDistanceSelect = P().P1000VnavDistanceSelect == 1 ? 2 : 1;
}

void SelectTargetAltitude() {
  P().P1000VnavDistanceSelect = 0;
  P().P1000VnavAltitudeSelect = 1;
  P().P1000VnavAngleSelect = 0;
}

// The path angle replaces a target altitude and distance.
void SelectAngle() {
  P().P1000VnavDistanceSelect = 0;
  P().P1000VnavAltitudeSelect = 0;
  P().P1000VnavAngleSelect = 1;
  P().P1000VnavTargetAltitude = 0.0;
  P().P1000VnavDistance = 0.0;
}

// What a soft key does with the menu closed, on the menu's main page, and
// on its VNAV page (any page but the main one); null: nothing.
struct SoftKeyRow {
  void (*menu_closed)();
  void (*main_page)();
  void (*vnav_page)();
};

constexpr SoftKeyRow kSoftKey1{host::ToggleNdAirports, nullptr, ReturnToMainMenu};
constexpr SoftKeyRow kSoftKey2{host::ToggleNdNavaids, OpenVnavPage, SelectDistance};
constexpr SoftKeyRow kSoftKey3{ToggleP1000Intersections, nullptr, SelectTargetAltitude};
constexpr SoftKeyRow kStripSoftKey3{host::ToggleNdIntersections, nullptr, SelectTargetAltitude};
constexpr SoftKeyRow kSoftKey4{host::ToggleNdTcas, nullptr, SelectAngle};
constexpr SoftKeyRow kSoftKey5{host::ToggleNdBoundaries, nullptr, nullptr};

std::int32_t Press(const SoftKeyRow& key) {
  void (*action)() = M().P1000MenuOpen == 0              ? key.menu_closed
                     : P().P1000MenuPage == kMainMenuPage ? key.main_page
                                                          : key.vnav_page;
  if (action != nullptr) action();
  ForceFullRepaint();
  return 0;
}

// --- SET knob ----------------------------------------------------------------------

// One step of the selected VNAV field (+1 up, -1 down). Distance and target
// altitude never go below 0, the path angle stays within 0 to 6 degrees.
void StepVnavField(int direction) {
  State& p = P();
  if (p.P1000MenuPage == kVnavPage) {
    if (direction > 0) {
      if (p.P1000VnavDistanceSelect > 0) p.P1000VnavDistance += kDistanceStep;
      if (p.P1000VnavAltitudeSelect == 1) p.P1000VnavTargetAltitude += kAltitudeStep;
    } else {
      if (p.P1000VnavDistanceSelect >= 1 && p.P1000VnavDistance > 0.0)
        p.P1000VnavDistance = std::max(0.0, p.P1000VnavDistance - kDistanceStep);
      if (p.P1000VnavAltitudeSelect == 1 && p.P1000VnavTargetAltitude >= kAltitudeStep)
        p.P1000VnavTargetAltitude -= kAltitudeStep;
    }
    if (p.P1000VnavAngleSelect == 1) {
      double& fpa = M().FPA;
      fpa += direction > 0 ? kAngleStep : -kAngleStep;
      if (fpa > kSteepestAngle) fpa = kSteepestAngle;
      if (fpa < 0.0) fpa = 0.0;
      p.P1000VnavTargetAltitude = 0.0;
      p.P1000VnavDistance = 0.0;
    }
    ComputeP1000VnavVerticalSpeed();
  }
  ForceFullRepaint();
}

}  // namespace

void ComputeP1000VnavVerticalSpeed() {
  State& p = P();
  const double miles_per_minute = DescentMilesPerMinute();
  // The distance over the descent's miles a minute is the minutes the
  // descent takes; written as a product, a speed of 0 gives 0, not a
  // division by 0.
  const double climb = p.P1000VnavTargetAltitude - guidance::guidance_state.AircraftAltitude;
  if (p.P1000VnavTargetAltitude > 0.0 && p.P1000VnavDistance > 0.0)
    p.P1000VnavVerticalSpeed = climb * miles_per_minute / p.P1000VnavDistance;
  else
    p.P1000VnavVerticalSpeed = M().FPA * 100.0 * miles_per_minute;
}

void P1000MenuHeartbeat() {
  model::State& m = M();
  if (m.P1000MenuOpen == 0) {
    m.P1000MenuOpen = 1;
    ForceFullRepaint();
    m.P1000MenuActivityCount = 1;
  } else {
    m.P1000MenuActivityCount = m.P1000MenuActivityCount > kHeartbeatWrap ? 1 : m.P1000MenuActivityCount + 1;
  }
}

std::int32_t P1000SoftKey1(PIXPOINT*, std::uint32_t) { return Press(kSoftKey1); }
std::int32_t P1000SoftKey2(PIXPOINT*, std::uint32_t) { return Press(kSoftKey2); }
std::int32_t P1000SoftKey3(PIXPOINT*, std::uint32_t) { return Press(kSoftKey3); }
std::int32_t P1000NbSoftKey3(PIXPOINT*, std::uint32_t) { return Press(kStripSoftKey3); }
std::int32_t P1000SoftKey4(PIXPOINT*, std::uint32_t) { return Press(kSoftKey4); }
std::int32_t P1000SoftKey5(PIXPOINT*, std::uint32_t) { return Press(kSoftKey5); }

std::int32_t P1000SetKnobIncKey(PIXPOINT*, std::uint32_t) {
  StepVnavField(+1);
  return 0;
}
std::int32_t P1000SetKnobDecKey(PIXPOINT*, std::uint32_t) {
  StepVnavField(-1);
  return 0;
}

std::int32_t P1000RangeUpKnobKey(PIXPOINT*, std::uint32_t) {
  host::IncrementNdRange();
  return 0;
}

std::int32_t P1000MapPlanKey(PIXPOINT*, std::uint32_t) {
  model::State& m = M();
  if (m.P1000MapFormat != 0) {
    m.P1000MapFormat = 0;
    m.P1000MapGeometry = model::State::MapGeometry{};
  } else {
    m.P1000MapFormat = 1;
  }
  ForceFullRepaint();
  return 0;
}

// Unlike soft key 4, only the P1000's traffic; switching it on forces no
// repaint.
std::int32_t P1000TcasKey(PIXPOINT*, std::uint32_t) {
  model::State& m = M();
  if (m.NdShowTraffic != 0) {
    m.NdShowTraffic = 0;
    ForceFullRepaint();
  } else {
    m.NdShowTraffic = 1;
  }
  return 0;
}

std::int32_t P1000RangeIncKey(PIXPOINT*, std::uint32_t) {
  host::StepP1000Range(+1);
  return 0;
}
std::int32_t P1000RangeDecKey(PIXPOINT*, std::uint32_t) {
  host::StepP1000Range(-1);
  return 0;
}

// Unlike soft keys 1 and 2, only the P1000's own switches.
std::int32_t P1000AptKey(PIXPOINT*, std::uint32_t) {
  M().P1000ShowAirports = Flipped(M().P1000ShowAirports);
  return 0;
}
std::int32_t P1000VorKey(PIXPOINT*, std::uint32_t) {
  M().P1000ShowNavaids = Flipped(M().P1000ShowNavaids);
  return 0;
}

}  // namespace ovi::p1000
