#include "src/guidance/autopilot_commands.h"

#include <algorithm>
#include <cmath>

#include "src/guidance/speed_mode.h"
#include "src/guidance/state.h"
#include "src/guidance/vnav.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"

namespace ovi::guidance {

namespace {

State& G() { return guidance_state; }

std::int32_t CurrentTick() {
  double t = G().LastTick;
  return std::isfinite(t) ? static_cast<std::int32_t>(std::fmod(t, 2147483647.0)) : 0;
}

// Truncation of a finite value into 32 bits.
std::int32_t Whole(double v) { return static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)); }

// Sends `value` unless it is what `sent` holds; remembers it.
bool SendChange(std::uint32_t event, std::int32_t value, std::int32_t& sent) {
  if (value == sent) return false;
  host::SendKeyEvent(event, static_cast<std::uint32_t>(value));
  sent = value;
  return true;
}

}  // namespace

std::int32_t MachHundredths(double mach) {
  double v = mach * 100.0 + 1e-6;
  return std::isfinite(v) ? static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)) : 0;
}

bool SendAltitudeCommand(double feet) {
  return std::isfinite(feet) && SendChange(kEventAltitude, Whole(feet), G().SentAltitude);
}

bool SendVerticalSpeed(std::int32_t fpm) { return SendChange(kEventVerticalSpeed, fpm, G().VnavLastVerticalSpeedCommand); }

// Every speed command is read back on the next pass, wherever it was sent
// from: without that, the manual-change check that follows a restriction
// speed or the top-of-climb speed in the same pass takes VNAV's own new
// value for the pilot's and switches speed control off. In a turn LNAV
// flies, no faster than the turn was led at, or than the autopilot was
// sent before it (FollowTurnsForSpeed).
bool SendAirspeedCommand(double knots) {
  State& g = G();
  if (const double turn = TurnSpeedLimit(); std::isfinite(turn))
    knots = std::min(knots, std::max(turn, static_cast<double>(g.SentAirspeed)));
  if (!(knots > 0.0) || !std::isfinite(knots) || !SendChange(kEventAirspeed, Whole(knots), g.SentAirspeed))
    return false;
  g.VnavLastSetSpeed = g.SentAirspeed;
  g.VnavSpeedReadbackMarker = CurrentTick();
  g.SpeedSentTick = g.LastTick;
  return true;
}

bool SendMachCommand(double mach) {
  State& g = G();
  // 0.57 is 57, not 56.99999.
  if (!(mach > 0.0) || !std::isfinite(mach)) return false;
  std::int32_t hundredths = MachHundredths(mach);
  if (const double turn = TurnMachLimit(); std::isfinite(turn))
    hundredths = std::min(hundredths, std::max(MachHundredths(turn), g.SentMach));
  if (!SendChange(kEventMach, hundredths, g.SentMach)) return false;
  g.VnavLastSetMach = g.SentMach;
  g.VnavSpeedReadbackMarker = CurrentTick();
  g.SpeedSentTick = g.LastTick;
  return true;
}

void ForgetSentSpeedsNotHeld() {
  State& g = G();
  if (g.SentAirspeed != kNoCommand && Whole(host::GetAutopilotAirspeedHoldVar()) != g.SentAirspeed)
    g.SentAirspeed = kNoCommand;
  if (g.SentMach != kNoCommand && MachHundredths(host::GetAutopilotMachHoldVar()) != g.SentMach) g.SentMach = kNoCommand;
}

void ForgetSentCommands() {
  State& g = G();
  g.SentAltitude = g.SentAirspeed = g.SentMach = g.VnavLastVerticalSpeedCommand = kNoCommand;
}

}  // namespace ovi::guidance
