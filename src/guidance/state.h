// Guidance and avionics state: what the per-tick update captures from the
// simulator, the active waypoint and leg, the next constraint, the hold
// being flown, the request mailboxes it serves and the flight-log state.
// Flight planning and every display read these; the per-tick update and the
// route operations write them.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "src/guidance/flown_path.h"
#include "src/model/records.h"

namespace ovi::guidance {

// No command sent, no value read back.
constexpr std::int32_t kNoCommand = -999;
// HoldState once the hold being flown has been taken out of the table (EXIT
// HOLD, a route edit), until the next waypoint is passed: the hold's fix,
// flown already, is passed once it lies behind.
constexpr std::int32_t kHoldLeft = 4;

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
  // The active route as LNAV flies it (FlownPath): the corners flown so
  // far and the path last worked out.
  FlownPathMemo FlownPathCache;

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
  // being flown stores kHoldLeft, which the racetrack treats like 0.
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

  // =========================================================================
  // Per-tick update: the simulator snapshot, its derived values and the
  // counters that spread the reads over the passes.
  // =========================================================================
  // Tick counter value at the last pass; a pass runs only when it changes.
  double LastTick = -1.0;
  // 0..17, one step a pass; a writer stores 999 to restart the cycle at 0.
  std::int32_t FrameCounter = 0;
  std::int32_t StartupTickCount = 0;  // +1 a pass up to 10
  // 54 after a pass on which the heading selector moved, then counts down.
  std::int32_t HeadingBugDisplayTicks = 0;

  // Read on every call, before the tick gate.
  double SmoothedAirspeed = 0.0;  // knots
  double AircraftAltitude = 0.0;  // feet
  // Read on every pass; the previous value is kept where the pages need it.
  double AircraftHeading = 0.0;  // degrees magnetic
  double PreviousAircraftHeading = 0.0;
  double MapHeading = 0.0;  // degrees; rotation of every map
  double PitchAttitude = 0.0;
  double PreviousPitchAttitude = 0.0;
  double BankAttitude = 0.0;  // |bank| under 0.035 degrees is stored as 0
  double PreviousBankAttitude = 0.0;
  double SimToken793Value = 0.0;
  double PreviousSimToken793Value = 0.0;
  double FlightDirectorBank = 0.0;
  double PreviousFlightDirectorBank = 0.0;
  double ApHeadingLockDir = 0.0;  // heading selector, degrees
  double PreviousApHeadingLockDir = 0.0;
  double LocalClockSecond = 0.0;
  // Pounds of fuel each engine has used since load: every pass adds the
  // hourly flow over 64800 (18 passes a second). The C-17 oil page shows them.
  double Engine1FuelUsed = 0.0, Engine2FuelUsed = 0.0, Engine3FuelUsed = 0.0, Engine4FuelUsed = 0.0;
  double SimulationRate = 1.0;
  double ApMaster = 0.0;  // read at the very end of the pass

  // Read at FrameCounter 0.
  double LocalClockHour = 0.0, ClockMinute = 0.0, ClockSecond = 0.0;
  double ZuluHour = 0.0, ZuluMinute = 0.0;
  std::int32_t DisplayPower = 1;  // every display clears to black while 0
  double StaticAirTemp = 0.0;     // degrees C
  double ApAltitudeLock = 0.0, ApNav1Lock = 0.0, ApYawDamper = 0.0, ApApproachHold = 0.0, ApMachHold = 0.0;
  std::int32_t ApHeadingLock = 0;
  double AutothrottleArm = 0.0;
  double PreviousMagneticVariation = 0.0;
  // The altimeter setting, read at FrameCounter 0: hectopascals, and the
  // same in inches of mercury.
  double BaroPressureMillibars = 1013.25;
  double BarometricPressureInHg = 29.92;

  // Radio reads (FrameCounter 3, 4, 8, 12).
  double Nav1GlideslopeNeedle = 0.0, PreviousNav1GlideslopeNeedle = 0.0;
  double AdfSignal = 0.0, AdfRelativeBearing = 0.0, HeadingOffsetToken550 = 0.0, SecondBearingPointer = 0.0;
  double Nav1DmeDistance = 0.0, Nav1HasDme = 0.0, Nav2DmeDistance = 0.0;
  // Air-data reads (FrameCounter 2, 3, 6, 9, 12, 15).
  double VerticalSpeedFpm = 0.0, PreviousVerticalSpeedFpm = 0.0;
  double ApAltitudeLockVar = 0.0, PreviousApAltitudeLockVar = 0.0;  // feet
  double ApAirspeedHold = 0.0;
  double MachNumber = 0.0, PreviousMachNumber = 0.0;
  double WindSpeed = 0.0;      // knots
  double WindDirection = 0.0;  // degrees true
  double ApVerticalSpeedVar = 0.0, PreviousApVerticalSpeedVar = 0.0;  // ft/min
  double ApAirspeedHoldVar = 0.0, PreviousApAirspeedHoldVar = 0.0;    // knots
  double ApMachHoldVar = 0.0;                                        // Mach
  // Radio altitude and course (FrameCounter 1, 3, 5, 7, 9, 11, 15).
  double RadioAltitudeFeet = 0.0, SelectedCourse = 0.0, Nav1CdiNeedle = 0.0;
  // The aircraft's altitude when it last stood on the ground (the airport
  // it left): where a route that knows no altitude of its own ends. NaN
  // until the aircraft is seen on the ground.
  double LastGroundAltitude = NAN;

  // Derived from the air-data reads.
  double PreviousTrueAirspeedEstimate = 0.0;
  double HeadwindComponent = 0.0, CrosswindComponent = 0.0;
  double TrueAirspeedEstimate = 0.0;  // ground speed + headwind above 25 kt, else 0
  double DriftAngle = 0.0;            // 0 while there is no airspeed estimate
  double WindDirectionMagnetic = 0.0;
  double PrevGroundSpeed = 0.0;
  double GroundTrack = 0.0;

  // Seconds with an engine above 99 % and with an engine above 645 C.
  double MaxThrustTimer = 0.0;
  double EngineTempLimitTimer = 0.0;
  // P1000 menu time-out: the activity count seen at the last check and the
  // checks it has stayed the same.
  std::int32_t P1000MenuSeenActivity = 0;
  std::int32_t P1000MenuIdleChecks = 0;

  // Airspeed trend: 16 smoothed airspeeds, newest first, and the rise per
  // pass over the 15 passes they span.
  double TrendHistory[16] = {};
  double TrendAverage = 0.0;

  // Times en route (hours and minutes 0 at 25 kt or less).
  double MinutesToActiveWaypoint = 0.0, SavedMinutesToActiveWaypoint = 0.0;
  double RealMinutesToActiveWaypoint = 0.0, SavedRealMinutesToActiveWaypoint = 0.0;
  double ActiveWaypointEteHours = 0.0, EteMinutes = 0.0, EteMinuteTenths = 0.0;
  double RealEteHours = 0.0, RealEteMinutes = 0.0;
  double MinutesToDestination = 0.0, RealMinutesToDestination = 0.0;
  double DestinationEteHours = 0.0, TodEteMinutes = 0.0, PrevTodEteMinutes = 0.0;
  double RealTodEteHours = 0.0, RealTodEteMinutes = 0.0;
  // The active waypoint and the last one the times were worked out for
  // (index, latitude, longitude); -1 before the first time.
  double TimedRoute[6] = {-1.0, 0.0, 0.0, -1.0, 0.0, 0.0};

  // > 0: tune the radios with this mode on the next pass (MCU airport page).
  std::int32_t RadioTuneRequest = 0;

  // =========================================================================
  // Lateral guidance: the active leg, the deviation from it and the heading
  // LNAV commands.
  // =========================================================================
  std::int32_t LnavEngaged = 0;
  std::int32_t VnavEngaged = 0;
  double BearingToActiveWaypoint = 0.0;  // degrees magnetic
  double DesiredTrack = 0.0, SavedDesiredTrack = 0.0;
  double SavedActiveWaypointDistance = 0.0;
  double ActiveLegLength = 0.0;
  double NextLegCourse = 0.0;
  double WaypointSwitchDistance = 3.0;
  // The switch distance the last waypoint was passed at, and where that
  // waypoint stands (latitude, longitude): what its turn took of the leg
  // after it.
  double PassedSwitch[3] = {NAN, NAN, NAN};
  double LnavInitialCourse = 0.0;  // degrees magnetic, engage position to the waypoint
  double LnavLegTargetLatitude = 0.0, LnavLegTargetLongitude = 0.0;
  double LnavCommandedHeading = 0.0;  // degrees magnetic
  std::int32_t LastSentLnavHeading = 999;  // 999 = none sent
  // 1 = right of the leg (steer left), 2 = left; -99.0 = no deviation.
  std::int32_t CrossTrackSide = 0;
  double CrossTrackDistance = 0.0;
  std::int32_t LegBearingSide = 0;
  double LegBearingOffset = 0.0;
  std::int32_t LegDeviationOutput = 0;
  double LegBearingOffset2 = 0.0;
  // The waypoint last passed (FMS PROGRESS page).
  std::string LastWaypointIdent;
  std::string LastWaypointTimeText;
  double LastWaypointAltitude = 0.0;
  double LastWaypointFuel = 0.0;

  // =========================================================================
  // Vertical plan of the active route: cruise altitude, top of climb and top
  // of descent, and the profile distances built from them. Route execution
  // builds it, the per-tick update refreshes it, pages and maps show it.
  // =========================================================================
  double PreselectAltitude = 0.0;  // feet, the cruise altitude the plan chose
  // Feet: the highest level the route has room for when it has none for
  // CruiseAlt, 0 when it has; the plan flies no higher (PlannedCruiseAltitude).
  std::int32_t CruiseAltitudeLimit = 0;
  std::int32_t ClimbDistance = 0;  // NM from the first waypoint to the TOC, truncated
  double TocLatitude = 0.0, TocLongitude = 0.0;
  std::int32_t TocWaypointIndex = 0;  // waypoint on or before the TOC
  // The wind (knots toward north and east) the climb model last placed the
  // TOC in; TocWindKnown 0 where the TOC was placed otherwise since.
  std::int32_t TocWindKnown = 0;
  double TocWindNorth = 0.0, TocWindEast = 0.0;
  // The count of the path's corners flown again in other air
  // (FlownPath::CornersReflown) the climb model last placed the TOC at.
  std::uint64_t TocCornersReflown = 0;
  // The coordinate along the path the TOC was placed at.
  double TocPlacedAt = 0.0;
  // Where the climb meets the descent path short of the level: the feet it
  // reaches there and the TOC it was placed for (0 feet where it does not).
  double TocMeetingAltitude = 0.0, TocMeetingLatitude = 0.0, TocMeetingLongitude = 0.0;
  // 1 from a re-plan of the route in flight (a direct-to) until the
  // aircraft is on its way to the active waypoint: the TOC is placed again
  // meanwhile.
  std::int32_t TocJoining = 0;
  // What the predictions were last worked out for (the plan VNAV flies:
  // PredictThePlanFlown); empty until they are.
  std::array<double, 19> PredictedFor{};
  bool PredictedForKnown = false;
  double PredictedAtTick = 0.0;  // the pass they were worked out at
  // First waypoint of the predictions past the climb: where the climb reaches
  // the level, or the descent's first constraint; 0 = none.
  std::int32_t ClimbEndIndex = 0;
  double TodLatitude = 0.0, TodLongitude = 0.0;
  double TodAltitude = 0.0;  // feet the descent starts from
  // The descent ComputeTopOfDescent mode 0 last placed on the path: the
  // entry it comes down to (-1: none, or placed otherwise since), the NM
  // along the path from the TOD to it then, and the count of corners flown
  // again (FlownPath::CornersReflown) it was placed at.
  std::int32_t TodPlacedBottom = -1;
  double TodPlacedSpan = 0.0;
  std::uint64_t TodCornersReflown = 0;
  // Active waypoint the descent was last re-planned from.
  std::int32_t TodReferenceIndex = 0;
  // The descent's fastest true airspeed as it was laid (PlanDescentSlope;
  // 0: not yet laid).
  double DescentFastestTas = 0.0;
  double NextConstraintAltitude = 0.0;  // feet
  std::int32_t TocPassed = 0, TodPassed = 0;
  // Profile (NM unless said otherwise).
  double DestinationCourse = 0.0;    // degrees true, aircraft to the last waypoint
  double DestinationDistance = 0.0;  // along the route, "DISCO" left out
  double NextConstraintDistance = 0.0;  // to the next constraint or TOC (climb), TOD (cruise)
  double DistanceTodToLastWaypoint = 0.0;
  double DistanceTodToConstraint = 0.0;
  double DistanceSinceTod = 0.0;         // descent: aircraft to the next constraint
  double DescentPathAltitudeSpan = 0.0;  // descent: flown since the TOD
  double VnavPathAltitude = 0.0;         // feet, descent path at the aircraft
  double DirectDistanceToLastWaypoint = 0.0;
  // Along the route from the aircraft to the TOC (while climbing) and to the
  // TOD (until it is passed, in the climb too): the profile's working sums,
  // by which the pages place the two markers among the waypoints.
  double ClimbSideDistance = 0.0;
  double CruiseSideDistance = 0.0;
  // The flown route's edit count the plan was last worked out at (0 = none
  // yet): a route edited since is planned again, so that no mark stands on
  // a route that is gone.
  std::uint64_t PlannedRouteEdits = 0;

  // =========================================================================
  // Flight log (fpl.log) and the flight summary.
  // =========================================================================
  std::int32_t FlightLogInitialized = 0;  // 1 once an initialising call read the weights
  double LastLogLineSeconds = 0.0;        // flight timer at the last line
  double LastLogLineVerticalSpeed = 0.0;  // ft/min at the last line
  // 1 once this log said that a line could not be written (a full disk):
  // said once a log, not once a line.
  std::int32_t FlightLogWriteFailureReported = 0;
  double EndFlightStartSeconds = 0.0;     // flight timer when the aircraft came to rest
  double FuelUsed = 0.0;       // fuel on board when the log started
  double GrossWeight = 0.0;    // zero-fuel weight, pounds
  double PayloadWeight = 0.0;  // sum of the payload stations, pounds
  double TakeoffZuluHour = 0.0, TakeoffZuluMinute = 0.0;
  std::string LandingTimeText;
  std::uint32_t FsuipcOpenResult = 0;


  // =========================================================================
  // VNAV coupling: the targets commanded to the autopilot and the latches
  // that keep each command to one per segment.
  // =========================================================================
  std::int32_t VnavAltitudeSet = 0;
  // As last commanded or read back one pass later; kNoCommand = none.
  std::int32_t VnavLastSetAltitude = kNoCommand;  // feet
  std::int32_t VnavLastSetSpeed = kNoCommand;     // knots
  std::int32_t VnavLastSetMach = kNoCommand;      // Mach x 100
  // Tick of the last altitude or speed command; kNoCommand = none.
  std::int32_t VnavAltitudeReadbackMarker = kNoCommand;
  std::int32_t VnavSpeedReadbackMarker = kNoCommand;
  double VnavRequiredVerticalSpeed = 0.0;  // ft/min to reach the segment target
  std::int32_t VnavVerticalSpeedCommand = 0;
  // The vertical speed, altitude, airspeed and Mach each sender last sent
  // (autopilot_commands.h); kNoCommand = none.
  std::int32_t VnavLastVerticalSpeedCommand = kNoCommand;
  std::int32_t SentAltitude = kNoCommand, SentAirspeed = kNoCommand, SentMach = kNoCommand;
  // The cruise level in force on the last pass (PlannedCruiseAltitude).
  std::int32_t LevelInForce = 0;
  // Tick and direction (1 up, -1 down) of the last change of the command.
  double VnavVerticalSpeedChangeTick = -1e9;
  std::int32_t VnavVerticalSpeedChangeSign = 0;
  // The command before the last one and the tick it was sent at, and the
  // tick of the last command that went back to the one before it.
  std::int32_t VnavVerticalSpeedBeforeLast = kNoCommand;
  double VnavVerticalSpeedBeforeLastTick = -1e9, VnavVerticalSpeedReturnTick = -1e9;
  std::int32_t VnavBelowMinSpeed = 0;  // climb speed protection active
  std::int32_t PendingMachCommandCount = 0;
  std::int32_t PendingDescentSpeedCommand = 0;
  // The speed VNAV last asked for: an airspeed (knots) or a Mach, the other
  // 0; the autopilot holds it in the mode its phase and altitude call for
  // (speed_mode.h), the value following one pass after a change of mode.
  double VnavWantedSpeed = 0.0, VnavWantedMach = 0.0;
  std::int32_t SpeedModeValueOwed = 0;
  // Knots over the ground VNAV works the climb's rate out at (the plan's
  // climb from here, docs/vertical-plan.md), once a second.
  double VnavClimbGroundSpeed = 0.0;
  // The phase (model::PerformanceSegment + 1) whose airspeed is held as a
  // Mach past its crossover; 0 none.
  std::int32_t SpeedModeCrossed = 0;
  // The airspeed (knots), the Mach and the altitude (feet) the turn LNAV
  // is flying was led at; 0 outside a turn (speed_mode.h).
  double TurnLedAirspeed = 0.0, TurnLedMach = 0.0, TurnLedAltitude = 0.0;
  // Tick an airspeed or Mach command last went out, and the tick LNAV last
  // passed a waypoint (an EXEC or the pilot making another waypoint active
  // passes none).
  double SpeedSentTick = -1e9, WaypointPassedTick = -1e9;
  double ClimbRestrictionSpeedSet = 0.0;  // 1.0 while a restriction speed is in force
  double DescentRestrictionSpeedSet = 0.0;
  std::int32_t ConstraintSpeedArmed = 0;
  // Set by engaging VNAV and by EXEC: apply the speed logic on the next pass
  // whatever the distance; cleared at the end of every pass.
  std::int32_t VnavSpdRestPending = 0;
  std::int32_t TodRecheckAfterSkip = 0;
  // 1 once the top of descent came near, just above the descent
  // restriction's altitude (speed_mode.cpp), until it is passed or far again.
  std::int32_t TopOfDescentNear = 0;
  // Where the waypoint whose speed was let go as the aircraft came abeam it
  // stands (latitude, longitude): the aircraft's place along a turn's path
  // is worked out again as the turn is flown, and it came abeam and fell
  // back again, the speed going 240, 280, 240 kt.
  double SpeedLetGoLatitude = NAN, SpeedLetGoLongitude = NAN;
  // TodPassed as the vertical transitions last left it.
  std::int32_t TodPassedByTransitions = 0;
  // A constrained waypoint LNAV sequenced before the aircraft reached it:
  // VNAV keeps it as its target until the aircraft is abeam it; 0 = none.
  std::int32_t HeldConstraintIndex = 0;
  // The constraint at the last waypoint but one whose top of descent the
  // plan placed for a step done by the point where LNAV passes it (VNAV
  // goes off there as the destination is made active): the level is kept
  // to that top, and the step flown from it; 0 = none.
  std::int32_t StepBeforeHandOverIndex = 0;
  // 1 while a hold was flown on the last pass; the level (feet) VNAV flies
  // it at and its fix, taken as the hold is entered.
  std::int32_t HoldFlownLastPass = 0;
  double HoldLevel = 0.0;
  double HoldFixLatitude = 0.0, HoldFixLongitude = 0.0;
  // 1 from a hold's end until its fix, still ahead then, is sequenced: the
  // racetrack was flown at the fix's altitude, so a constraint there is met.
  std::int32_t HoldFixMet = 0;
  // 1 while the altitude last sent in the climb or the descent is the
  // level before a hold ahead (ClimbLevelBeforeHold,
  // DescentLevelBeforeHold), not VNAV's target.
  std::int32_t ClimbLevelledForHold = 0;
  std::int32_t Lnav1xAtTodDone = 0;
  std::int32_t PauseAtTodDone = 0;

  // =========================================================================
  // Holding racetrack (hold 1 of HoldTable).
  // =========================================================================
  std::int32_t HoldPreviousPoint = 4;
  double HoldPointDistance = 0.0, HoldPointBearing = 0.0;  // NM, degrees true
  double HoldSegmentLength = 0.0, HoldSegmentCourse = 0.0;
  double HoldHeadingCommand = 0.0;  // degrees magnetic, in [0.5, 360.5)
  double LastHoldHeadingSent = 0.0;
  // The four corners as last computed, also while LNAV is off.
  double HoldScratchPointLat = 0.0, HoldScratchPointLon = 0.0;      // "Xwind"
  double HoldAbeamPointLat = 0.0, HoldAbeamPointLon = 0.0;          // "Dwind"
  double HoldProjectedLatitude = 0.0, HoldProjectedLongitude = 0.0;  // "Base"
  double HoldFinalLat = 0.0, HoldFinalLon = 0.0;                    // "Final"

  // =========================================================================
  // Simulator date (FMS position and GNS-XLS fuel pages).
  // =========================================================================
  std::string SimulatorMonthName;
  std::int32_t SimulatorMonth = 0;
  std::int32_t SimulatorDayOfMonth = 0;
};

extern State guidance_state;

}  // namespace ovi::guidance
