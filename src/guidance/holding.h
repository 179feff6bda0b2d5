// The holding racetrack: flies hold 1 of HoldTable (the first along the
// route) once per tick while a hold is attached to the active route.
#pragma once

namespace ovi::guidance {

// Builds the racetrack of hold 1 ("Xwind", "Dwind", "Base", "Final" after
// the fix), and with LNAV engaged enters the hold at the fix, steps from
// corner to corner, leaves it when an exit was armed, and sends the bearing
// to the corner being flown to as the autopilot heading target.
void ComputeHoldingPattern();

// Hold 1 is being flown: entered and not yet left.
bool HoldBeingFlown();

// A hold of the table is attached to entry `index` of the active route: the
// aircraft flies to its fix, round the racetrack and out over the fix, so
// no turn is cut there.
bool HoldAtActiveEntry(int index);

}  // namespace ovi::guidance
