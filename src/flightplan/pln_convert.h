// The simulator's own flight plans (.PLN, in the older key-and-comma form
// or in XML) converted into the module's temporary route file temp.rte,
// which the route readers then read like any route file.
#pragma once

#include <string>
#include <string_view>

namespace ovi::flightplan {

// Result of ConvertPlnToRte when the plan could not be converted.
constexpr int kPlnNotLoaded = -99;

// Converts the named .PLN file of the flight-plan folder into temp.rte in
// the same folder. A plan is converted whole or not at all: the result is 0
// when temp.rte holds every waypoint of the plan, kPlnNotLoaded when the
// file does not open, is larger than 16 MB, temp.rte cannot be written, or
// the plan is damaged (XML that is not well-formed, a waypoint without a
// usable ident or position, a waypoint line lost, a plan that ends before
// the destination it names, more waypoints than a route holds, fewer than
// two). A refused plan leaves "<name>: <reason>" in the status log and,
// with show_failure, "Unable to load FP" on the MCU entry line (a load
// shows it; the library scan, which only lists plans, does not).
int ConvertPlnToRte(const std::string& name, bool show_failure = true);
// The same conversion into `route`, the text temp.rte would hold, leaving
// temp.rte as it is: for a plan only read, not loaded (the library scan).
int ConvertPln(const std::string& name, std::string& route, bool show_failure = true);

// Decimal degrees of "Hdd:mm:ss" (latitude) and "Hdd:mm:ss" or
// "Hddd:mm:ss" (longitude), H the hemisphere letter, which is not applied.
// Each field is read up to its first non-digit; characters past the end of
// a text read as non-digits.
void ParseDmsLatLon(std::string_view lat_text, std::string_view lon_text, double& latitude,
                    double& longitude);

// The key-and-comma form's position texts ("N47* 26.13'") brought into the
// Hdd:mm:ss form (hundredths of a minute become whole seconds). The result
// is not checked; see IsDmsLatitude / IsDmsLongitude.
std::string NormalizeIniLatitude(std::string_view text);
std::string NormalizeIniLongitude(std::string_view text);

// True for a text of the exact form ParseDmsLatLon reads, with minutes and
// seconds below 60 and degrees within 90 (latitude) or 180 (longitude).
bool IsDmsLatitude(std::string_view text);
bool IsDmsLongitude(std::string_view text);

}  // namespace ovi::flightplan
