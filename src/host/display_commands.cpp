#include "src/host/display_commands.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/model/state.h"

namespace ovi::host {

namespace {

model::State& M() { return model::model_state; }

// --- Modes -----------------------------------------------------------------

void StepB737Mode(int delta) { M().HWB737NDMode = std::clamp(M().HWB737NDMode + delta, 1, 7); }

// DU-1000 and MD-80 share one cycle: rose 0, arc 1, arc map 3, plan 2.
std::int32_t CycleUp(std::int32_t mode) {
  switch (mode) {
    case 0: return 1;
    case 1: return 3;
    case 3: return 2;
    default: return mode;
  }
}
std::int32_t CycleDown(std::int32_t mode) {
  switch (mode) {
    case 1: return 0;
    case 2: return 3;
    case 3: return 1;
    default: return mode;
  }
}

// The Pro Line 4 map pages draw on a radius of their own: 70 on the map
// page, 140 on the arc map page.
void SetProline4Mode(std::int32_t mode) {
  M().PROLINE4MFDMode = mode;
  if (mode == 2) M().Proline4MapRadius = 70;
  if (mode == 3) M().Proline4MapRadius = 140;
}
void StepProline4Up() {
  switch (M().PROLINE4MFDMode) {
    case 0: SetProline4Mode(3); break;
    case 1: SetProline4Mode(2); break;
    case 2: SetProline4Mode(0); break;
    case 3: SetProline4Mode(1); break;
    default: break;
  }
}
void StepProline4Down() {
  switch (M().PROLINE4MFDMode) {
    case 0: SetProline4Mode(2); break;
    case 1: SetProline4Mode(3); break;
    case 2: SetProline4Mode(1); break;
    case 3: SetProline4Mode(0); break;
    default: break;
  }
}

// --- Ranges ------------------------------------------------------------------

constexpr std::array<double, 10> kNdLadder = {0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320};
constexpr std::array<double, 11> kMd11Ladder = {0.5, 1, 2.5, 5, 10, 20, 40, 80, 160, 320, 640};
constexpr std::array<double, 13> kDu1000Ladder = {0.05, 0.125, 0.25, 0.5, 1, 2.5, 5, 10, 15, 30, 60, 120, 240};
constexpr std::array<double, 7> kProline4Ladder = {5, 10, 20, 40, 80, 160, 320};
constexpr std::array<double, 9> kP1000Ladder = {0.5, 1, 2.5, 5, 12.5, 25, 40, 80, 160};

// Index of the rung equal to `value`, or -1 (off the ladder).
int Rung(std::span<const double> ladder, double value) {
  for (std::size_t i = 0; i < ladder.size(); ++i)
    if (ladder[i] == value) return static_cast<int>(i);
  return -1;
}

// One rung up, staying at the top.
void UpStaying(std::span<const double> ladder, double& range) {
  int i = Rung(ladder, range);
  if (i >= 0 && i + 1 < static_cast<int>(ladder.size())) range = ladder[i + 1];
}

// One rung up or down, wrapping at the ends.
void StepWrapping(std::span<const double> ladder, double& range, int delta) {
  int i = Rung(ladder, range);
  if (i < 0) return;
  int n = static_cast<int>(ladder.size());
  range = ladder[(i + delta + n) % n];
}

// One rung down when `allowed` accepts the new value; the bottom stays.
template <typename Allowed>
void DownIf(std::span<const double> ladder, double& range, Allowed allowed) {
  int i = Rung(ladder, range);
  if (i <= 0) return;
  double next = ladder[i - 1];
  if (allowed(next)) range = next;
}

// The B737 and MD-80 rule: down to 10 always; 5, 2.5 and 1 only while
// MinMapRange is not above them; 0.5 only when MinMapRange is exactly 0.5.
void DownNd(double& range) {
  const double min = M().MinMapRange;
  DownIf(kNdLadder, range, [min](double next) { return next >= 10.0 || (next >= 1.0 ? min <= next : min == 0.5); });
}

std::int32_t Flipped(std::int32_t v) { return v == 0 ? 1 : 0; }

}  // namespace

// Wrapping at both ends, and a value off the ladder restarts at the end it
// wraps to (0.5 up, 160 down); the traffic window's range is kept within
// 5..40, wrapping to the other end.
void StepP1000Range(int delta) {
  const bool tcas = M().NdShowTraffic == 1 && M().DrawTcasWindowOnP1000MFD == 1;
  double& range = tcas ? M().P1000TcasRange : M().P1000MapRange;
  if (Rung(kP1000Ladder, range) < 0) {
    range = delta > 0 ? kP1000Ladder.front() : kP1000Ladder.back();
  } else {
    StepWrapping(kP1000Ladder, range, delta);
  }
  if (!tcas) return;
  if (delta > 0 && range > 40.0) range = 5.0;
  if (delta < 0 && range < 5.0) range = 40.0;
}

namespace {

// The range commands step the P1000's range only while its soft-key menu
// is closed.
void StepP1000(int delta) {
  if (M().P1000MenuOpen == 0) StepP1000Range(delta);
}

}  // namespace

void IncrementNdMode(std::int32_t display_id) {
  bool all = display_id == kDisplayAll;
  if (all || display_id == kDisplayB737Nd) StepB737Mode(+1);
  if (all || display_id == kDisplayDu1000) M().DU1000EHSIMode = CycleUp(M().DU1000EHSIMode);
  if (all || display_id == kDisplayProline4) StepProline4Up();
  if (all || display_id == kDisplayMd80) M().MD80EHSIMode = CycleUp(M().MD80EHSIMode);
}

void DecrementNdMode(std::int32_t display_id) {
  bool all = display_id == kDisplayAll;
  if (all || display_id == kDisplayB737Nd) StepB737Mode(-1);
  if (all || display_id == kDisplayDu1000) M().DU1000EHSIMode = CycleDown(M().DU1000EHSIMode);
  if (all || display_id == kDisplayProline4) StepProline4Down();
  if (all || display_id == kDisplayMd80) M().MD80EHSIMode = CycleDown(M().MD80EHSIMode);
}

void IncrementNdRange() {
  UpStaying(kNdLadder, M().NdRange);
  UpStaying(kMd11Ladder, M().Md11NdRange);
  UpStaying(kDu1000Ladder, M().Du1000EhsiRange);
  StepWrapping(kProline4Ladder, M().Proline4MapRange, +1);
  UpStaying(kNdLadder, M().Md80EhsiMapRange);
  UpStaying(kNdLadder, M().C17MfdMapRange);
  StepP1000(+1);
}

void DecrementNdRange() {
  const double min = M().MinMapRange;
  DownNd(M().NdRange);
  DownIf(kMd11Ladder, M().Md11NdRange, [min](double next) { return next >= 10.0 || min <= next; });
  DownIf(kDu1000Ladder, M().Du1000EhsiRange, [min](double next) { return next >= 15.0 || min <= next; });
  StepWrapping(kProline4Ladder, M().Proline4MapRange, -1);
  DownNd(M().Md80EhsiMapRange);
  DownIf(kNdLadder, M().C17MfdMapRange,
         [min](double next) { return next >= 5.0 || (next >= 1.0 ? min <= next : min == 0.5); });
  StepP1000(-1);
}

void ToggleNdAirports() {
  model::State& m = M();
  m.NdShowAirports = Flipped(m.NdShowAirports);
  m.Md11NdShowAirports = Flipped(m.Md11NdShowAirports);
  m.Du1000ShowAirports = Flipped(m.Du1000ShowAirports);
  m.Proline4ShowAirports = Flipped(m.Proline4ShowAirports);
  m.Md80EhsiShowAirports = Flipped(m.Md80EhsiShowAirports);
  m.P1000ShowAirports = Flipped(m.P1000ShowAirports);
  SetNamedValueIfPresent("ovi_nd_apt", m.NdShowAirports);
}

void ToggleNdNavaids() {
  model::State& m = M();
  m.NdShowNavaids = Flipped(m.NdShowNavaids);
  m.Md11NdShowNavaids = Flipped(m.Md11NdShowNavaids);
  m.Du1000ShowNavaids = Flipped(m.Du1000ShowNavaids);
  m.Proline4ShowVors = Flipped(m.Proline4ShowVors);
  m.Md80EhsiShowNavaids = Flipped(m.Md80EhsiShowNavaids);
  m.P1000ShowNavaids = Flipped(m.P1000ShowNavaids);
  SetNamedValueIfPresent("ovi_nd_nav", m.NdShowNavaids);
}

void ToggleNdIntersections() {
  model::State& m = M();
  m.NdShowIntersections = Flipped(m.NdShowIntersections);
  m.Md11NdShowIntersections = Flipped(m.Md11NdShowIntersections);
  m.Du1000ShowIntersections = Flipped(m.Du1000ShowIntersections);
  m.Proline4ShowIntersections = Flipped(m.Proline4ShowIntersections);
  m.Md80EhsiShowIntersections = Flipped(m.Md80EhsiShowIntersections);
  m.P1000ShowIntersections = Flipped(m.P1000ShowIntersections);
  SetNamedValueIfPresent("ovi_nd_int", m.NdShowIntersections);
}

void ToggleNdTcas() {
  model::State& m = M();
  m.NdShowTraffic = Flipped(m.NdShowTraffic);
  if (m.EFS50HsiMode != 8) {
    m.Efs50SavedHsiMode = m.EFS50HsiMode;
    m.EFS50HsiMode = 8;
  } else {
    m.EFS50HsiMode = m.Efs50SavedHsiMode;
  }
  SetNamedValueIfPresent("ovi_nd_tcas", m.NdShowTraffic);
}

void ToggleNdBoundaries() {
  model::State& m = M();
  m.ShowAtcBoundaries = m.ShowAtcBoundaries == 1 ? 0 : 1;
  m.Md80EhsiShowBoundaries = m.ShowAtcBoundaries;
}

void ToggleEfisAuxFlag() { M().EfisAuxFlag = Flipped(M().EfisAuxFlag); }

void SendEfisKeyEventUp() { SendKeyEvent(kEventEfisCourseUp, 0); }
void SendEfisKeyEventDown() { SendKeyEvent(kEventEfisCourseDown, 0); }

void SendBoundedIncrementKey() {
  if (GetDecisionHeightFeet() < 990.0) SendKeyEvent(kEventDecisionHeightUp, 0);
}

void SendBoundedDecrementKey() {
  if (GetDecisionHeightFeet() > 0.0) SendKeyEvent(kEventDecisionHeightDown, 0);
}

}  // namespace ovi::host
