// What the performance pages (PERF INIT and LIMITS, TAKEOFF REF, APPROACH
// REF, the ECON pages) share: reading numbers as they read them, the entries
// several of them take, the entry copies EXEC and ERASE act on, weights in
// the configured unit and the arrival texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "src/model/records.h"

namespace ovi::fms {

class CduPage;

// ---- numbers as the pages read them ----------------------------------------

// The leading number of a text: an optional sign, digits, at most one
// point and digits, at least one digit; nothing else is looked at. A text
// that does not begin with a number reads 0. The scratchpad holds at most
// 24 characters, so the value is always finite.
double LeadingDecimal(std::string_view text);
// The same, the digits before any point only (a whole number).
double LeadingInteger(std::string_view text);
// A value that reads 0 counts only when the text is exactly "0".
bool ReadsAsTypedZero(std::string_view text, double value);

// ---- entry copies (EXEC clears them, ERASE puts them back) ----------------

// Saves `value` into its copy unless the pending modification saved one
// already: ERASE goes back to the value from before the first edit.
void SaveEntryCopy(double& copy, bool& saved, double value);
void SaveEntryCopy(std::int32_t& copy, bool& saved, std::int32_t value);

// An accepted edit of a value EXEC acts on: an executed route becomes a
// modified one (RouteState 3 to 4); other states stay.
void StepIfExecuted();

// ---- shared entries ----------------------------------------------------------
// Each works on the scratchpad: an accepted entry empties it, a refused one
// shows "INVALID ENTRY" and keeps it.

// The cruise altitude: "FL350", "350" and "35000" all give 35000 ft; a
// value from 0 to 999 is a flight level. Accepted above 0 and below 99999.
// `keep_stripped_text`: PERF INIT removes the "FL" from the scratchpad
// itself before it reads the rest.
bool EnterCruiseAltitude(bool keep_stripped_text);

// A speed and Mach pair of an ECON page and its copies.
struct SpeedMachTargets {
  std::int32_t* ias;
  double* mach;
  double* ias_copy;
  bool* ias_saved;
  double* mach_copy;
  bool* mach_saved;
};
// "250", "/.78" or "250/.78": a speed of 50 to 500 kt, a Mach of 0 to 4.
bool EnterSpeedMach(const SpeedMachTargets& t);

// "250/10000": a speed of at least 50 kt (at most 999) before a "/" at
// position 3 or later, an altitude of at least 1000 ft (at most 99999)
// after it. Stores the speed's whole knots and the altitude.
bool EnterSpeedRestriction(double& speed, double& altitude);

// ---- shown values ------------------------------------------------------------

// Pounds as the pages show weights: thousands of the configured unit.
double ShownWeight(double pounds);
// Thousands of the configured unit, entered, as pounds.
double EnteredWeight(double thousands);

// An altitude as "FL350" above the transition altitude, else "%5d".
std::string AltitudeText(std::int32_t feet);

// The arrival text of the ECON pages: the clock `time_distance` NM ahead at
// the ground speed, "HHMM.tZ" (t the tenth of the arrival minute; "L" on
// local time), followed by
// `distance_format` of `shown_distance`. Empty when no time can be given.
std::string ArrivalText(double time_distance, double shown_distance, const char* distance_format);

// ---- what the ECON pages share -----------------------------------------------

// L6 "< ERASE": throws the pending modification away (RouteState 4 only).
void EraseIfModified();
// R6 "RTA >": PROGRESS on its RTA sub-page.
void OpenRtaProgress();
// The cruise altitude at (5, 33), or five entry boxes while it is not set.
void DrawCruiseAltitudeField(CduPage& page);
// The waypoint of NextConstraintIndex in the active route, or null with no
// active waypoint or an index the route no longer has.
const model::FlightPlanWaypoint* NextConstraintWaypoint();

}  // namespace ovi::fms
