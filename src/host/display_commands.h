// The display-control commands every map display family shares: modes,
// ranges, layer switches and a few key events. Control-panel keys of the
// instruments, the SERVER gauge's key events and its polled command
// variables all end here. The settings themselves live in model_state.
#pragma once

#include <cstdint>

namespace ovi::host {

// Display ids of the mode commands.
constexpr std::int32_t kDisplayAll = 0;
constexpr std::int32_t kDisplayB737Nd = 8;
constexpr std::int32_t kDisplayDu1000 = 10;
constexpr std::int32_t kDisplayProline4 = 11;
constexpr std::int32_t kDisplayMd80 = 12;

// Steps the mode of the family named by the id (kDisplayAll: every family
// below); any other id does nothing.
//   B737 ND (8):        HWB737NDMode up / down within 1..7
//   DU-1000 (10), MD-80 (12):  up 0->1->3->2 (2 stays), down 2->3->1->0 (0 stays)
//   Pro Line 4 (11):    up 0->3, 1->2, 2->0, 3->1; down 0->2, 1->3, 2->1, 3->0;
//                       entering 2 sets Proline4MapRadius 70, entering 3 sets 140
// Values off these cycles stay. No named variable is written.
void IncrementNdMode(std::int32_t display_id);
void DecrementNdMode(std::int32_t display_id);

// One rung up / down every family's range ladder, by exact comparison (a
// value off its ladder stays); the ladders and the MinMapRange rules are in
// docs/host.md.
void IncrementNdRange();
void DecrementNdRange();
// One rung of the P1000's range as its controller's rocker steps it (up for
// a positive delta): P1000TcasRange while traffic is shown in its own
// window, else P1000MapRange; whether the menu is open or not.
void StepP1000Range(int delta);

// Flip one layer of every family (0 -> 1, anything else -> 0) and publish
// the B737 family's new value in ovi_nd_apt / ovi_nd_nav / ovi_nd_int.
void ToggleNdAirports();
void ToggleNdNavaids();
void ToggleNdIntersections();
// NdShowTraffic flips; the EFS 50 EHSI goes to its traffic mode 8 (saving
// the mode it leaves) or back to the saved mode; ovi_nd_tcas follows.
void ToggleNdTcas();
// ShowAtcBoundaries 1 -> 0, anything else -> 1; Md80EhsiShowBoundaries follows.
void ToggleNdBoundaries();
// EfisAuxFlag 0 -> 1, anything else -> 0.
void ToggleEfisAuxFlag();

// Simulator key events of the EFIS course knob and the decision-height knob.
constexpr std::uint32_t kEventEfisCourseDown = 0x1007E;
constexpr std::uint32_t kEventEfisCourseUp = 0x1007F;
constexpr std::uint32_t kEventDecisionHeightUp = 0x10311;
constexpr std::uint32_t kEventDecisionHeightDown = 0x10312;
void SendEfisKeyEventUp();
void SendEfisKeyEventDown();
// Up while the decision height is below 990 ft; down while it is above 0.
void SendBoundedIncrementKey();
void SendBoundedDecrementKey();

}  // namespace ovi::host
