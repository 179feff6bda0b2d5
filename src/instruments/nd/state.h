// Navigation displays: the state the B737 display's frame keeps for its map
// layers. The modes, ranges and layer switches every display family shares
// live with the shared data model (model_state); the per-tick values with
// guidance (guidance_state).
#pragma once

#include <cstdint>
#include <vector>

#include "src/display/lifetime.h"
#include "src/display/map_projection.h"

namespace ovi::nd {

struct State {
  // --- B737 navigation display ----------------------------------------------
  // Map geometry the frame sets at every draw of modes 3 to 7: the aircraft
  // symbol lies at (122, NdCenterY) of the 244 x 302 canvas and NdArcRadius
  // canvas units stand for NdRange.
  std::int32_t NdCenterY = 249;
  std::int32_t NdArcRadius = 215;
  // The display object of the three B737 ND gauges: the surface size of the
  // last draw.
  display::GaugeDisplay B737NdDisplay;

  // --- MD-11 navigation display ---------------------------------------------
  // Map geometry on the 240 x 258 canvas: the map origin (the aircraft
  // point, or the PLAN centre) and the canvas units that stand for
  // Md11NdRange.
  std::int32_t Md11NdCenterX = 120;
  std::int32_t Md11NdCenterY = 178;
  std::int32_t Md11NdMapRadius = 150;
  // The bearing-pointer switches of the MD-11 EFIS panel: the left pointer
  // and block from the first radio or from the ADF (the keys never leave
  // both on), the right one from the second radio. All off until a key is
  // pressed, as the panel's keys start.
  std::int32_t Md11NdShowVor1Pointer = 0;
  std::int32_t Md11NdShowAdf1Pointer = 0;
  std::int32_t Md11NdShowVor2Pointer = 0;
  // The display object of the two MD-11 ND gauges.
  display::GaugeDisplay Md11NdDisplay;

  // --- Shared map layers ------------------------------------------------------
  // The places of the map lists' entries, one memo per row of the point
  // layers' table (PointLayerMembers), one slot per list entry; made at the
  // first draw.
  std::vector<display::GeoMemo> PointPlaces;
};

extern State nd_state;

}  // namespace ovi::nd
