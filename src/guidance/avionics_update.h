// The per-tick avionics update: the one routine that turns the simulator's
// state into the module's shared avionics state. Every drawing gauge calls
// it at pre-draw (the C-17 MFD also at pre-update); it does its work once
// per change of the simulator's tick counter.
#pragma once

namespace ovi::guidance {

// One pass per tick: the simulator snapshot, the derived air data, waypoint
// sequencing and lateral steering, VNAV, times en route, the mailboxes, the
// flight log and the counters that spread slow work over 18 passes. A
// second call in the same tick only refreshes ground speed, airspeed and
// altitude.
void UpdateAvionicsState();

// The block of active-waypoint values the SERVER gauge exports.
void SnapshotNavigationState();

// The airspeed trend: 16 smoothed airspeeds, newest first, and the rise per
// pass between the newest and the oldest.
void UpdateTrendAverage();

}  // namespace ovi::guidance
