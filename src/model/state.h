// Shared data model: the option globals of the module and aircraft files,
// the display settings every display family shares, the performance values
// and tables, the route-selection texts and the status message log. One
// instance, re-created by ResetModuleState().
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "src/model/records.h"
#include "src/util/capped_text.h"

namespace ovi::model {

// One row of a performance table (all in feet, pounds, knots, ft/min and
// pounds per hour once loaded). Descent rows carry no weight (0).
struct PerformanceRow {
  double altitude = 0.0;
  double weight = 0.0;
  double tas = 0.0;
  double vertical_speed = 0.0;  // climb and descent: positive ft/min
  double fuel_flow = 0.0;
};
constexpr int kMaxPerformanceRows = 200;
using PerformanceTable = FixedTable<PerformanceRow, kMaxPerformanceRows + 1>;

constexpr std::size_t kScratchpadCapacity = 24;

struct State {
  // --- Loading -----------------------------------------------------------
  std::int32_t ConfigLoaded = 0;
  std::string AircraftConfigName;

  // --- Module options (ovi.cfg; most may also be given per aircraft) -----
  std::string FlightPlansFolder;
  std::int32_t SaveFPLCruiseAlt = 1;
  std::int32_t EadiDualCue = 0;
  std::int32_t EADIHdgTape = 0;
  std::int32_t ExpandEADI = 0;
  std::int32_t ExpandEADILnav = 0;
  std::int32_t DrawBodArcOnEFS50EHSI = 0;
  std::int32_t ShowTodBodIndicators = 1;
  std::int32_t EhsiStaticHdgPointer = 1;
  std::int32_t DispFPV = 0;
  std::int32_t VnavSetSpd = 1;
  std::string WeightUnit = "LBS";
  std::int32_t DispC17SpdTrend = 0;
  double MinMapRange = 10.0;
  double WptChgDist = 3.0;
  double WptProcChgDist = 3.0;
  double FlyoverWptChgDist = 1.5;
  double WptChgSecs = 0.0;
  double WptProcChgSecs = 0.0;
  std::int32_t LnavOffAtLastWpt = 1;
  std::int32_t VnavOffAtLastWpt = 1;
  std::int32_t SequenceFPlanWpts = 1;
  std::int32_t LnavSetEnRouteFreqs = 0;
  std::int32_t SetWptBaro = 0;
  std::int32_t SetUTCTimeOnFPLoad = 0;
  std::int32_t LoadFuelonFlightPlanLoad = 0;
  std::int32_t SetMCPCrzAltOnFlightPlanLoad = 0;
  std::int32_t McuShowActiveRwys = 0;
  std::int32_t DispAppPtrnAlts = 0;
  std::int32_t TcasVertRange = 140;  // hundreds of feet
  std::int32_t ShowFloatingTodBodIndicators = 0;
  std::int32_t VnavSetAlts = 1;
  std::int32_t VnavOffOnManAltChg = 1;
  std::int32_t VnavSetSpdOffOnManSpdChg = 1;
  std::int32_t VnavSetMachCruiseSpd = 1;
  double VnavSetSpdRestDist = 25.0;
  std::int32_t SetSpdOffwhenAPMasterSetOff = 1;
  std::int32_t Lnav1xAtTod = 0;
  std::int32_t PauseAtTod = 0;
  std::int32_t ArmPauseAtTod = 1;
  std::int32_t HdgHoldOnLnavOn = 0;
  double SetDestLoadTowerViewDist = 0.0;  // above 0 = on
  std::int32_t DispPrevWpt = 0;
  std::int32_t DispETALocalTime = 0;
  std::int32_t DecLatLonDisp = 0;
  std::int32_t DisplayMagVarOnGnsxlsNavPage = 0;
  std::int32_t DrawTcasWindowOnP1000MFD = 1;
  std::int32_t DrawBodArcOnP1000MFD = 0;

  // --- Per-aircraft display modes and colours ----------------------------
  std::int32_t HWB737NDMode = 5;  // 1..7, 7 = PLAN
  std::int32_t HWB737NDBkgrdColorRed = 0, HWB737NDBkgrdColorGreen = 0, HWB737NDBkgrdColorBlue = 0;
  std::int32_t HWMD11NDMode = 3;  // 2 PLAN, 3 MAP, 4 VOR, 5 APPR, 1 = any other value
  std::int32_t HWMD11NDBkgrdColorRed = 0, HWMD11NDBkgrdColorGreen = 0, HWMD11NDBkgrdColorBlue = 0;
  std::int32_t DU1000EHSIMode = 3;  // 0 rose, 1 arc, 2 PLAN, 3 arc map
  std::int32_t DU1000EHSIBkgrdColorRed = 0, DU1000EHSIBkgrdColorGreen = 0, DU1000EHSIBkgrdColorBlue = 0;
  std::int32_t PROLINE4MFDMode = 3;
  std::int32_t PROLINE4MFDBkgrdColorRed = 0, PROLINE4MFDBkgrdColorGreen = 0,
               PROLINE4MFDBkgrdColorBlue = 0;
  std::int32_t MD80EHSIMode = 3;
  std::int32_t MD80EHSIBkgrdColorRed = 0, MD80EHSIBkgrdColorGreen = 0, MD80EHSIBkgrdColorBlue = 0;
  std::int32_t EFS50HsiMode = 1;  // 1..8
  std::int32_t EFS50NavMode = 1;  // 1..2
  std::int32_t EFS50EHSIBkgrdColorRed = 0, EFS50EHSIBkgrdColorGreen = 0, EFS50EHSIBkgrdColorBlue = 0;
  std::int32_t B777PFDSkyColorRed = 40, B777PFDSkyColorGreen = 117, B777PFDSkyColorBlue = 197;
  std::int32_t B777PFDGrndColorRed = 120, B777PFDGrndColorGreen = 102, B777PFDGrndColorBlue = 28;
  std::int32_t B777PFDTapeColorRed = 100, B777PFDTapeColorGreen = 100, B777PFDTapeColorBlue = 100;
  std::int32_t B777PFDBkgrdColorRed = 0, B777PFDBkgrdColorGreen = 0, B777PFDBkgrdColorBlue = 0;
  std::int32_t C17MfdBkgrdColorRed = 0, C17MfdBkgrdColorGreen = 0, C17MfdBkgrdColorBlue = 0;
  std::int32_t C17MfdSkyColorRed = 2, C17MfdSkyColorGreen = 138, C17MfdSkyColorBlue = 175;
  std::int32_t C17MfdGrndColorRed = 131, C17MfdGrndColorGreen = 73, C17MfdGrndColorBlue = 9;
  std::int32_t A320EADIBkgrdColorRed = 0, A320EADIBkgrdColorGreen = 0, A320EADIBkgrdColorBlue = 0;
  std::int32_t A320EADISkyColorRed = 41, A320EADISkyColorGreen = 165, A320EADISkyColorBlue = 201;
  std::int32_t A320EADIGrndColorRed = 155, A320EADIGrndColorGreen = 103, A320EADIGrndColorBlue = 53;
  std::int32_t A320EADITapeColorRed = 100, A320EADITapeColorGreen = 100, A320EADITapeColorBlue = 100;
  std::int32_t P1000MFDBkgrdColorRed = 0, P1000MFDBkgrdColorGreen = 0, P1000MFDBkgrdColorBlue = 0;

  // --- Display ranges, radii and layer switches (every display family) ---
  // Only the range commands and the control panels change these; they are
  // not configuration keys.
  double NdRange = 40.0;
  double Md11NdRange = 80.0;
  double Du1000EhsiRange = 60.0;
  double Proline4MapRange = 40.0;
  std::int32_t Proline4MapRadius = 140;  // 70 in mode 2
  double Md80EhsiMapRange = 20.0;
  std::int32_t Md80EhsiMapRadius = 180;
  double C17MfdMapRange = 80.0;
  double P1000MapRange = 12.5;
  double P1000TcasRange = 12.5;
  double Efs50EhsiRange = 12.5;
  double Efs50TcasRange = 5.0;
  double Efs50RoseRadius = 50.0;
  std::int32_t NdShowAirports = 1;
  std::int32_t NdShowNavaids = 1;
  std::int32_t NdShowIntersections = 0;
  std::int32_t NdShowTraffic = 0;
  std::int32_t ShowAtcBoundaries = 0;
  std::int32_t EfisAuxFlag = 0;
  std::int32_t NdRangeRingsShown = 0;
  std::int32_t Md11NdShowAirports = 1;
  std::int32_t Md11NdShowNavaids = 1;
  std::int32_t Md11NdShowIntersections = 0;
  std::int32_t Du1000ShowAirports = 1;
  std::int32_t Du1000ShowNavaids = 1;
  std::int32_t Du1000ShowIntersections = 0;
  std::int32_t Du1000ShowAux = 0;
  std::int32_t Proline4ShowVors = 1;
  std::int32_t Proline4ShowNdbs = 0;
  std::int32_t Proline4ShowAirports = 1;
  std::int32_t Proline4ShowIntersections = 0;
  std::int32_t Md80EhsiShowNavaids = 1;
  std::int32_t Md80EhsiShowAirports = 1;
  std::int32_t Md80EhsiShowIntersections = 0;
  std::int32_t Md80EhsiShowBoundaries = 0;
  std::int32_t Md80EhsiShowAdf = 0;
  // The P1000 starts with its airport and navaid layers off.
  std::int32_t P1000ShowAirports = 0;
  std::int32_t P1000ShowNavaids = 0;
  std::int32_t P1000ShowIntersections = 0;
  std::int32_t Efs50BearingPointer1Source = 0;
  std::int32_t Efs50BearingPointer2Source = 0;
  std::int32_t Proline4BearingPointer1Source = 0;
  std::int32_t Proline4BearingPointer2Source = 0;
  std::int32_t Efs50SavedHsiMode = 1;
  std::array<std::int32_t, 3> Du1000SymbolCodes = {74, 75, 76};
  std::int32_t C17MfdPage = 1;  // 6 = PLAN page
  std::int32_t P1000MenuOpen = 0;  // 1 while the P1000 soft-key menu is open
  // Heartbeat of the P1000 controller (P1000_MFD_CNTR), bumped at each of
  // its frames; the per-tick update closes the menu after 11 checks without
  // a change.
  std::int32_t P1000MenuActivityCount = 0;
  std::int32_t P1000MapFormat = 0;  // 0 arc, 1 centred
  struct MapGeometry {
    std::int32_t centre_x = 134, centre_y = 148, radius = 53;
  };
  MapGeometry P1000MapGeometry;

  // --- Per-aircraft speeds, limits and performance values ----------------
  std::int32_t V1 = 0, VR = 0, V2 = 0, VREF = 0;
  std::int32_t TOFLAPS = 0, LDGFLAPS = 0;
  std::int32_t VREFMIN = 150, VREFMID = 145, VREFMAX = 135;
  std::string APPRFLAPSMIN = "15", APPRFLAPSMID = "30", APPRFLAPSMAX = "40";
  std::string TOFLAPSRANGE = ",1,5,10,15,25,";
  std::int32_t EngThrust = 0;  // thousands of pounds
  std::int32_t CostIndex = -1;
  std::int32_t SavedCostIndex = -1;
  std::int32_t TransAlt = 18000;
  std::string ModelId;
  std::int32_t BestHoldIas = 210;
  double ClimbIasMin = 210.0, ClimbIasMax = 340.0;
  double CruiseIasMin = 210.0, CruiseIasMax = 340.0;
  double DescentIasMin = 210.0, DescentIasMax = 340.0;
  std::array<double, 6> MinSpeedTable{};  // Mach: CLB min/max, CRZ min/max, DES min/max
  std::int32_t ClimbIas = 220;
  std::int32_t CruiseSpeed = 250;
  std::int32_t DescentSpeed = 220;
  // {descent, climb, cruise} as the aircraft file gave them; also known as
  // the default speed schedule.
  std::array<std::int32_t, 3> LoadedSpeedSchedule = {220, 220, 250};
  double ClbSpdRest = 250.0, ClbAltRest = 10000.0;
  double DescSpdRest = 240.0, DescAltRest = 10000.0;
  double HoldLegMins = 1.0;
  double FPA = 0.0;  // degrees; 0 = not used
  std::int32_t ClimbRate = 2000;  // ft/min
  double DescentRate = 2000.0;    // ft/min
  double ClimbTas = 350.0;
  double CruiseTas = 0.0;  // from the performance tables; 0 = not known
  double DescentTas = 380.0;
  std::int32_t MaxCruise = 37000;
  double MinVnavClimbIas = 180.0, MinVnavIas = 155.0;
  double MaxVnavClimbRate = 2500.0, MinVnavClimbRate = 1500.0;
  double MaxVnavDescRate = 3000.0, MinVnavDescRate = 1500.0;
  std::string AircraftFlightPlansFolder;
  std::string PerformanceFile;  // file in \ovi\Aircraft\ named by the aircraft file
  std::string ParkingFile;      // parking positions file in \ovi\navdata\ (empty = none)

  std::int32_t CruiseAlt = 0;  // feet, 0 = not set
  std::int32_t CruiseAltEntry = 0;
  std::int32_t FileCruiseAlt = 0;
  double ClimbMach = 0.0, CruiseMach = 0.0, DescentMach = 0.0;
  double ClimbIasEntry = 0.0, ClimbMachEntry = 0.0;
  double CruiseIasEntry = 0.0, CruiseMachEntry = 0.0;
  double DescentIasEntry = 0.0, DescentMachEntry = 0.0;
  // Set beside each entry copy above (and SavedCostIndex) while it holds
  // the value from before the pending modification: 0 and -1 are values a
  // pilot can have had, so the copy alone cannot tell ERASE that something
  // was saved. EXEC and ERASE clear them with the copies.
  bool CruiseAltSaved = false, CostIndexSaved = false;
  bool ClimbIasSaved = false, ClimbMachSaved = false;
  bool CruiseIasSaved = false, CruiseMachSaved = false;
  bool DescentIasSaved = false, DescentMachSaved = false;
  double TopOfClimbOat = -30.0;  // degrees C; -999 = not set
  double PlannedFuel = 0.0, ResvFuel = 0.0, ReserveFuel = 0.0;
  double PlanDescentRate = 0.0;
  std::string NavDataCycleText;
  std::string NavDataActiveDates;

  // Performance tables (rows sorted by altitude, then weight).
  PerformanceTable ClimbPerformanceTable;
  std::int32_t ClimbPerformanceCount = 0;
  PerformanceTable CruisePerformanceTable;
  std::int32_t CruisePerformanceCount = 0;
  PerformanceTable DescentPerformanceTable;
  std::int32_t DescentPerformanceCount = 0;
  // Aircraft weight (pounds) the performance routines use; the per-tick
  // update keeps it. 0 = not known: the heaviest tabulated weight is used.
  double PerformanceWeight = 0.0;

  // --- Route ends and selections ("------" = none) -----------------------
  std::string OriginAirportIdent = kNoneText;
  std::string PendingOriginIdent = kNoneText;
  std::string RteOriginIdent = kNoneText;
  std::string DestinationAirportIdent = kNoneText;
  std::string PendingDestinationIdent = kNoneText;
  std::string PlanFinalWaypointIdent = kNoneText;
  std::string RouteSid = kNoneText;
  std::string SelectedSidTransition = kNoneText;
  std::string RouteSidTransition = kNoneText;
  std::string RouteDepartureRunway = kNoneText;
  std::string PendingDepartureRunway = kNoneText;
  std::string SelectedDepartureRunway = kNoneText;
  std::string GnsSelectedSidTransition = kNoneText;
  std::string GnsDepartureSelectionText = kNoneText;
  std::string PlanSelectionText1 = kNoneText;
  std::string PlanSelectionText2 = kNoneText;
  std::string PlanSelectionText3 = kNoneText;
  std::string SelectedStar = kNoneText;
  std::string PendingStarTransition = kNoneText;
  std::string RouteStarTransition = kNoneText;
  std::string SelectedArrivalRunway = kNoneText;
  std::string GnsSelectedStarTransition = kNoneText;
  std::string GnsArrivalSelectionText = kNoneText;
  std::string StarTransitionNone = kNoneText;
  std::string SelectedApproach = kNoneText;
  std::string SelectedApproachTransition = kNoneText;
  std::string SelectedApproachTo = kNoneText;
  // The navigator's approach choice of the active route (transition) and
  // of a stored plan opened on it (approach, transition).
  std::string GnsSelectedApproach = kNoneText;
  std::string GnsSelectedApproachVia = kNoneText;
  std::string ApproachNone = kNoneText;

  // --- Texts the pages fill (constructed empty) ---------------------------
  std::string McuEntryText;
  std::string McuKeyboardEntry;
  std::string McuAirportIdent;
  std::string McuAirportElevationText;
  std::int32_t McuAptPageCount = 1;
  std::string AiDepartureRunway1, AiDepartureRunway2;
  std::string AiArrivalRunway1, AiArrivalRunway2;
  // The CDU scratchpad: whoever writes it, it never passes 24 characters.
  util::CappedText<kScratchpadCapacity> FmsScratchpad;
  std::string PanelMessage;

  model::FmsSubPageTable FmsSubPageTable;

  // Short status texts the loaders append; nothing reads them back but the
  // tests and the simulator stand-in's summary. 1-based.
  FixedTable<std::string, kMaxStatusMessages + 1> StatusMessageLog;
  int StatusMessageCount = 0;
  // Texts a full log had no room for; its last text says how many.
  int StatusMessagesDropped = 0;
};

extern State model_state;

// Increments the count first and stores at the new index. The last place
// of the log is kept for "status log full, <n> texts dropped": once the
// texts before it are taken, every further text is counted there, never
// lost without a word.
void AddStatusMessage(std::string text);

// Number of status texts that contain the given text (tests, summaries).
int CountStatusMessages(std::string_view containing);

// While one lives, the status texts added go to it instead of the log: a
// reader of many files (the plan list) says in one text what they had to
// say, and a folder of 450 damaged plans leaves the log room for the
// reason of a later failure. Captures nest; the innermost takes the texts.
class StatusTextCapture {
 public:
  StatusTextCapture();
  ~StatusTextCapture();
  StatusTextCapture(const StatusTextCapture&) = delete;
  StatusTextCapture& operator=(const StatusTextCapture&) = delete;
  // The texts taken since the last call.
  std::vector<std::string> Take() { return std::exchange(texts_, {}); }

 private:
  friend void AddStatusMessage(std::string text);
  StatusTextCapture* outer_;
  std::vector<std::string> texts_;
};

}  // namespace ovi::model
