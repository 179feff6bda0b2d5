// Guidance and avionics state: what the per-tick update captures from the
// simulator, the active waypoint and leg, the next constraint, the hold
// being flown, the request mailboxes it serves and the flight-log state.
// Flight planning and every display read these; the per-tick update and the
// route operations write them.
#pragma once

#include <cstdint>
#include <string>

#include "src/model/records.h"

namespace ovi::guidance {

struct State {
  // --- Aircraft, captured each tick -------------------------------------
  double PlaneLatitude = 0.0;   // degrees, north positive
  double PlaneLongitude = 0.0;  // degrees, east positive
  // Subtracted from true courses to give magnetic ones.
  double MagneticVariation = 0.0;
  double GroundSpeedKnots = 0.0;
  // Repaint cycle of the MCU and P1000 screens: +1 a tick, back to 0 above
  // 91; a writer stores 999 to have the next tick start a full repaint.
  std::int32_t DisplayRefreshCounter = 0;

  // --- Active waypoint and leg --------------------------------------------
  double ActiveWaypointLat = 0.0;
  double ActiveWaypointLon = 0.0;
  double ActiveWaypointDistance = 0.0;  // NM
  // 1 = the active leg starts where LNAV was engaged (LegOrigin*).
  std::int32_t ActiveLegFromEngagePosition = 0;
  double LegOriginLatitude = 0.0;
  double LegOriginLongitude = 0.0;
  // 1 = LNAV tracks the active leg, 0 = it flies straight at the waypoint.
  std::int32_t LnavLegTracking = 0;
  std::int32_t DirectToActive = 0;  // 1 = the active leg comes from a direct-to

  // --- Vertical plan --------------------------------------------------------
  // Index in ActiveFlightPlan of the next waypoint with an altitude
  // constraint, else the last index; 0 before a route was executed.
  std::int32_t NextConstraintIndex = 0;
  double NextConstraintLat = 0.0;
  double NextConstraintLon = 0.0;
  // 1 once the vertical profile of the active plan is built.
  std::int32_t VerticalProfileValid = 0;
  std::int32_t VnavSpeedSet = 0;

  // --- Holds ---------------------------------------------------------------
  std::int32_t ActiveHoldIndex = 0;  // hold being flown, 0 = none
  // 0 in the hold, 1 manual exit, 2 exit armed, 3 leave; deleting the hold
  // being flown stores 4, which the racetrack treats like 0.
  std::int32_t HoldState = 0;
  std::uint32_t HoldSegmentCounter = 0;  // racetrack corner 1..4, 0 before entry
  // Turn side the navigator's ENT key asks for: 0 default, 1 left, 2 right.
  std::int32_t HoldTurnDirection = 0;

  // --- Mailboxes the per-tick update serves -----------------------------
  // 1 or 3: load RequestedFlightPlanFile on the next tick; 0 none.
  std::int32_t FlightPlanLoadRequest = 0;
  // 1 = load the destination's airport details once the aircraft is more
  // than 8 NM from the origin.
  std::int32_t DestinationDetailsState = 0;
  std::int32_t ArrivalActionsDone = 0;

  // --- Flight log ------------------------------------------------------------
  // 999 no flight log, -1 restart requested, 0..11 the flight phases.
  std::int32_t FlightPhase = 999;
  std::int32_t FlightLogState = 0;
  double LastClockSecond = -99.0;
  double ElapsedFlightSeconds = -99.0;  // -99 = not started
  std::string TakeoffTimeText;
};

extern State guidance_state;

}  // namespace ovi::guidance
