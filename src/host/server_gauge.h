// The SERVER gauge: invisible, it is the module's link to the rest of the
// panel. At post-initialise it reads the aircraft title and detects the
// host; at connect-to-window it registers the module's named panel
// variables, its memory-backed exports and its key-event handler (removed
// again at disconnect); at pre-update it acts on the command variables other
// gauges set and publishes the display state and the LNAV heading.
// docs/named-variables.md lists every variable and event.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"

namespace ovi::host {

extern GAUGEHDR server_gauge;

void server_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t extra);

// The module's custom key events (the host's range for add-on events).
constexpr std::uint32_t kEventToggleLnav = 0x11000;
constexpr std::uint32_t kEventToggleVnav = 0x11001;
constexpr std::uint32_t kEventToggleTcas = 0x11002;
constexpr std::uint32_t kEventToggleAirports = 0x11003;
constexpr std::uint32_t kEventToggleNavaids = 0x11004;
constexpr std::uint32_t kEventToggleIntersections = 0x11005;
constexpr std::uint32_t kEventToggleBoundaries = 0x11006;
constexpr std::uint32_t kEventRangeIncrement = 0x11007;
constexpr std::uint32_t kEventRangeDecrement = 0x11008;
// Value, read as a signed 32-bit number: negative steps every family's mode
// down, anything else up.
constexpr std::uint32_t kEventNdMode = 0x11009;

// The key-event handler the SERVER registers; other ids are ignored.
void HandlePanelKeyEvent(std::uint32_t event_id, std::uint32_t value, void* user);

// The heading the SERVER publishes in ovi_lnav_hdg_set and sends to the
// autopilot heading bug: the LNAV heading truncated to whole degrees, as the
// per-tick update sends it, 1..360 (0 becomes 360).
std::int32_t WholeLnavHeading(double heading);

// The SERVER's services on their own (tests).
void ServerPostInitialise(GAUGEHDR* gauge);
void ServerConnect(GAUGEHDR* gauge);
void ServerDisconnect(GAUGEHDR* gauge);
void ServerPreUpdate(GAUGEHDR* gauge);

// Refreshes the active waypoint's ident and the route text from the active
// flight plan.
void RefreshRouteExports();

}  // namespace ovi::host
