// The autopilot's speed mode under VNAV. The airspeed of a climb, a cruise
// or a descent turns into a Mach number above its crossover: where it would
// ask for more Mach than the pilot's Mach for the phase or the aircraft's
// performance data give at the altitude, that Mach is held instead (Mach
// hold), and the airspeed again below it (airspeed hold). docs/guidance.md.
#pragma once

#include "src/model/performance.h"

namespace ovi::guidance {

// The phase whose speeds are flown now: the climb until the top of climb,
// the descent from the top of descent, the cruise between.
model::PerformanceSegment SpeedPhase();

// The most Mach `phase` holds at `altitude` in place of its airspeed: the
// pilot's Mach for the climb or the descent where one is entered, else what
// the performance data give there, in whole hundredths; HUGE_VAL where
// neither says.
double MachLimit(model::PerformanceSegment phase, double altitude);

// The most airspeed the speed restrictions allow `phase` at `altitude`:
// climbing the climb's below its altitude (and the descent's below its own
// where the climb turns into the descent there), descending the descent's,
// in cruise the slower of those it is below; climbing or in cruise within
// 1,500 ft above the descent's altitude with the top of descent near, the
// descent's too; and the speed of a waypoint LNAV has passed until the
// aircraft is abeam it; HUGE_VAL where none holds.
double RestrictionSpeedLimit(model::PerformanceSegment phase, double altitude);

// Whether `mach` at `altitude` asks for more airspeed than the restriction
// in force allows `phase` there.
bool MachBeyondRestriction(model::PerformanceSegment phase, double mach, double altitude);

// The true airspeed of `ias` at `altitude`, no faster than the Mach `limit`
// (none where it is no positive number).
double TasNoFasterThan(double ias, double altitude, double limit);

// The Mach `phase` holds at `altitude` in place of the airspeed `ias`: its
// MachLimit where `ias` asks for more by over half a hundredth, else 0.
double MachInsteadOf(model::PerformanceSegment phase, double ias, double altitude);

// The Mach a page shows for a phase flown at `level`: the phase's own Mach
// (the pilot's, or the cruise's, which the plan works out no higher than
// MachLimit); without one, MachInsteadOf the phase's airspeed.
double PhaseMachAt(model::PerformanceSegment phase, double ias, double mach, double level);

// Mach hold on in place of airspeed hold, and the other way round; the
// snapshot takes the new modes at once (it is read from the autopilot once
// a second, and a pass before that would send the change again).
void EngageMachHold();
void EngageAirspeedHold();

// Every pass, before any speed is sent: follows the turns LNAV flies (a
// hold's are its own). A turn's lead and radius are worked out at the
// speed flown as it begins; flown faster, it swings wide of the new leg.
// From the pass the heading asked of the autopilot lies over 10 degrees
// from the aircraft's until it is within 3, VNAV asks for no more airspeed
// or Mach than the aircraft had as the turn began, or than the autopilot
// was sent before it (one sent in the 10 s before a waypoint's turn is
// held at the turn's too); the speed wanted goes out as the turn ends.
// Slowing down is never held back.
void FollowTurnsForSpeed();

// The most airspeed and Mach VNAV sends in the turn being flown (the ones
// it began at, to the nearest knot and hundredth; climbing, the Mach as
// the turn's airspeed makes it higher up); HUGE_VAL outside a turn or
// without VNAV.
double TurnSpeedLimit();
double TurnMachLimit();

// Every pass under VNAV, after the speed logic: holds the speed VNAV last
// asked for in the mode the phase and the altitude call for, and sends a
// change of mode or of the Mach held when there is one.
void KeepSpeedModeForPhase();

}  // namespace ovi::guidance
