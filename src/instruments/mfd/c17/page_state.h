// Everything that changes the C-17 displays' page state: the mode mailboxes
// (served at pre-update), the display number and forced pages of a
// pre-draw, the C17_MFD page keys (the working copy only) and the
// C17_MFCP keys (the working copy and every slot).
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"
#include "src/instruments/mfd/c17/state.h"

namespace ovi::c17 {

inline constexpr std::uint32_t kC17MfdWindow = 4025;

// The working copy's page (the shared C17MfdPage).
std::int32_t& WorkingPage();
// Slot n (1 to 4) into the working copy and back, all three fields.
void LoadSlot(int display);
void SaveSlot(int display);

// The decimal value of the parameter's first character taken alone; 0 for
// an empty parameter or one that does not begin with a digit.
int LeadingDigit(const char* parameter);

// Serve mailbox n ("MFDX1 mode" ... ) for the calling gauge, whose first
// element a value of 2 hides and any other value shows again.
void ProcessMFDX1(GAUGEHDR* gauge);
void ProcessMFDX2(GAUGEHDR* gauge);
void ProcessMFDX3(GAUGEHDR* gauge);
void ProcessMFDX4(GAUGEHDR* gauge);

// The display number a C17_MFD gauge draws with at this pre-draw: from the
// parameter's first digit, or from one of the twelve slot names ("PFD",
// "MFD_VC", ...), which also force their slot's page; 0 for a "VC" copy
// while the main panel is shown, and for display 1 while the pop-up window
// is open, unless it is the pop-up's own copy ("WN").
int C17DisplayNumber(GAUGEHDR* gauge);

// C17_MFD keys: they change the working copy only.
std::int32_t SelectC17FlightPage(PIXPOINT* relative, std::uint32_t flags);
std::int32_t CycleC17NavPage(PIXPOINT* relative, std::uint32_t flags);
std::int32_t C17NoOpKey(PIXPOINT* relative, std::uint32_t flags);
std::int32_t CycleC17EnginePage(PIXPOINT* relative, std::uint32_t flags);
std::int32_t SelectC17ConfigPage(PIXPOINT* relative, std::uint32_t flags);

// C17_MFCP keys. The compass views step the working copy, then slots 1 to
// 4: down 5 -> 4 -> 3, up 3 -> 4 -> 5; other pages stay.
std::int32_t C17CompassViewDown(PIXPOINT* relative, std::uint32_t flags);
std::int32_t C17CompassViewUp(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleC17MapLayers(PIXPOINT* relative, std::uint32_t flags);
std::int32_t ToggleC17CourseDeviation(PIXPOINT* relative, std::uint32_t flags);

}  // namespace ovi::c17
