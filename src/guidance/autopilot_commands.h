// The autopilot's targets as VNAV commands them: one sender a target
// (altitude, vertical speed, airspeed, Mach), each remembering what it sent
// last, so that a command goes out when its value changes and at no other
// time, whichever road of the per-tick update asks for it. docs/guidance.md.
#pragma once

#include <cstdint>

namespace ovi::guidance {

// Mach as the autopilot holds it, in hundredths (0.78 -> 78), immune to the
// last bit of a binary fraction.
std::int32_t MachHundredths(double mach);

// Each sends its target unless it is the one it sent last; a target that is
// no number (or no speed at all) is never sent. Airspeed and Mach commands
// are read back on the next pass, and in a turn are no faster than the
// aircraft as it began (speed_mode.h). Each says whether it sent.
bool SendAltitudeCommand(double feet);
bool SendVerticalSpeed(std::int32_t fpm);
bool SendAirspeedCommand(double knots);
bool SendMachCommand(double mach);

// What the autopilot holds is no longer what was sent: the pilot flies it
// while VNAV is off.
void ForgetSentCommands();
// After a speed hold engages: an autopilot that took the aircraft's value
// as it engaged no longer holds the airspeed or Mach sent, which goes out
// again; one that kept it is not sent it twice.
void ForgetSentSpeedsNotHeld();

}  // namespace ovi::guidance
