// The P1000 MFD: its soft-key menu's page and the VNAV page's values and
// selections, which only the P1000's own keys change. What the per-tick
// update writes as well (the menu's open flag and heartbeat, the map format
// and geometry) stays in model_state beside the ranges and layer switches,
// so that every value has one owner.
#pragma once

#include <array>
#include <cstdint>

#include "src/model/records.h"

namespace ovi::p1000 {

// Pages of the open soft-key menu.
inline constexpr std::int32_t kMainMenuPage = 1;
inline constexpr std::int32_t kVnavPage = 2;

struct State {
  // Page the menu shows while open; never reset, so the menu reopens where
  // it was left.
  std::int32_t P1000MenuPage = kMainMenuPage;
  // The VNAV page's distance field: 0 not selected, 1 selected as "TO", 2
  // as "FM".
  std::int32_t P1000VnavDistanceSelect = 0;
  std::int32_t P1000VnavAltitudeSelect = 0;  // 1 = ST EL selected
  std::int32_t P1000VnavAngleSelect = 0;     // 1 = VANG selected
  double P1000VnavDistance = 0.0;            // NM, 0 = not set
  double P1000VnavTargetAltitude = 0.0;      // feet, 0 = not set
  double P1000VnavVerticalSpeed = 0.0;       // feet per minute, 0 = not set

  // The active-plan entries the route layer placed in the frame being drawn:
  // their ScreenX / ScreenY are this frame's, every other entry's are stale.
  std::array<bool, model::kFlightPlanSlots> RoutePlaced{};

  // The surfaces that hold a whole picture (painted in full since they were
  // last cleared): a partial frame elsewhere would leave the frame lines and
  // legends out until the next full repaint. Compared by address only.
  std::array<const void*, 4> WholeSurfaces{};
};

extern State p1000_state;

}  // namespace ovi::p1000
