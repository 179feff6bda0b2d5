// The route of the simulator's own GPS flight planner, read from the
// simulator's GPS module variable "FS2002 GPS DATA" (a block the host
// publishes as a registered variable; layout in docs/named-variables.md).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ovi::host {

inline constexpr const char kGpsDataVariable[] = "FS2002 GPS DATA";

// Block layout.
constexpr std::size_t kGpsHeaderSize = 16;  // u32 block bytes, u32 count, u32 active index, u32 reserved
constexpr std::size_t kGpsIdentSize = 16;
constexpr std::size_t kGpsEntrySize = 40;   // char ident[16], f64 latitude, f64 longitude, f64 altitude

// The caller page that takes the route without the page message.
constexpr std::int32_t kGpsCallerNavigator = 7;

// Reads the GPS route into host_state.GpsRoute and hands it to flight
// planning. PanelMessage: "NO ACTIVE GPS RTE" when there is no route (no
// variable, fewer than two usable points); otherwise "ACTIVE FSPLANNER RTE
// LOADED" unless `caller_page` is 7. Points with an empty ident or a
// position that is not a finite latitude / longitude are skipped, and so
// are the points past a route's 201; the status log says how many (one
// text, "GPS route: ..."). Returns the number of points read.
int LoadFlightPlannerRoute(std::int32_t caller_page);

}  // namespace ovi::host
