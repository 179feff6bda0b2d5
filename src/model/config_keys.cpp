// The key table of both configuration files: name, file, target member,
// default, range rule. The defaults here are those of model::State's member
// initialisers (a test keeps the two equal) and of the sample ovi.cfg.
#include "src/model/config.h"
#include "src/util/text.h"

namespace ovi::model {
namespace {

using F = KeyFile;
using C = KeyCheck;

constexpr ConfigKey I(const char* n, F f, int State::*m, const char* d, const char* what,
                      C c = C::kNone, double lo = 0, double hi = 0) {
  return {n, f, m, d, c, lo, hi, what};
}
constexpr ConfigKey D(const char* n, F f, double State::*m, const char* d, const char* what,
                      C c = C::kNone, double lo = 0, double hi = 0) {
  return {n, f, m, d, c, lo, hi, what};
}
constexpr ConfigKey T(const char* n, F f, std::string State::*m, const char* d, const char* what) {
  return {n, f, m, d, C::kNone, 0, 0, what};
}
constexpr ConfigKey Col(const char* n, int State::*m, const char* d, const char* what) {
  return {n, F::kAircraft, m, d, C::kColor, 0, 255, what};
}

#define OVI_COLOR3(P, R_, G_, B_, WHAT)               \
  Col(#P "Red", &State::P##Red, #R_, WHAT " (red)"),   \
  Col(#P "Green", &State::P##Green, #G_, WHAT " (green)"), \
  Col(#P "Blue", &State::P##Blue, #B_, WHAT " (blue)")

const ConfigKey kKeys[] = {
    // --- Module options -------------------------------------------------
    T("FlightPlansFolder", F::kModule, &State::FlightPlansFolder, "",
      "folder of the route files instead of \\ovi\\flightplans (empty = that folder)"),
    I("SaveFPLCruiseAlt", F::kBoth, &State::SaveFPLCruiseAlt, "1",
      "1 = saved route files carry CruiseAlt="),
    I("EadiDualCue", F::kBoth, &State::EadiDualCue, "0",
      "EFS 50 EADI: 0 single-cue flight director, else dual cue; A320 EADI: 99 = chevron symbol"),
    I("EADIHdgTape", F::kBoth, &State::EADIHdgTape, "0", "1 = heading scale on the EADI horizon"),
    I("ExpandEADI", F::kBoth, &State::ExpandEADI, "0", "1 = expanded attitude window"),
    I("ExpandEADILnav", F::kBoth, &State::ExpandEADILnav, "0",
      "1 = expanded attitude window only while LNAV is engaged"),
    I("DrawBodArcOnEFS50EHSI", F::kBoth, &State::DrawBodArcOnEFS50EHSI, "0",
      "1 = bottom-of-descent arc on the EFS 50 EHSI"),
    I("ShowTodBodIndicators", F::kBoth, &State::ShowTodBodIndicators, "1", "1 = TOD and BOD marks"),
    I("EhsiStaticHdgPointer", F::kBoth, &State::EhsiStaticHdgPointer, "1",
      "1 = boxed digital heading at the top of the EFS 50 rose"),
    I("DispFPV", F::kBoth, &State::DispFPV, "0", "1 = flight path vector on the primary flight displays"),
    I("VnavSetSpd", F::kBoth, &State::VnavSetSpd, "1", "1 = VNAV controls the speed"),
    T("WeightUnit", F::kBoth, &State::WeightUnit, "LBS", "KGS = weights in kilograms, else pounds"),
    I("DispC17SpdTrend", F::kBoth, &State::DispC17SpdTrend, "0",
      "1 = speed trend caret on the C-17 primary flight page"),
    D("MinMapRange", F::kBoth, &State::MinMapRange, "10.0",
      "smallest map range (NM) the range-down keys step to", C::kDefault, 0.05, 640),
    D("WptChgDist", F::kBoth, &State::WptChgDist, "3.0", "waypoint switch distance (NM)", C::kDefault,
      0, 100),
    D("WptProcChgDist", F::kBoth, &State::WptProcChgDist, "3.0",
      "waypoint switch distance on procedure legs (NM)", C::kDefault, 0, 100),
    D("FlyoverWptChgDist", F::kBoth, &State::FlyoverWptChgDist, "1.5",
      "switch distance at fly-over waypoints (NM)", C::kDefault, 0, 100),
    D("WptChgSecs", F::kBoth, &State::WptChgSecs, "0",
      "above 0: switch distance = ground speed x these seconds", C::kDefault, 0, 3600),
    D("WptProcChgSecs", F::kBoth, &State::WptProcChgSecs, "0",
      "above 0: procedure switch distance = ground speed x these seconds", C::kDefault, 0, 3600),
    I("LnavOffAtLastWpt", F::kBoth, &State::LnavOffAtLastWpt, "1", "1 = LNAV off at the last waypoint"),
    I("VnavOffAtLastWpt", F::kBoth, &State::VnavOffAtLastWpt, "1", "1 = VNAV off at the last waypoint"),
    I("SequenceFPlanWpts", F::kBoth, &State::SequenceFPlanWpts, "1",
      "1 = waypoints sequence also while LNAV is off"),
    I("LnavSetEnRouteFreqs", F::kBoth, &State::LnavSetEnRouteFreqs, "0",
      "1 = the route's navaids are tuned automatically"),
    I("SetWptBaro", F::kBoth, &State::SetWptBaro, "0",
      "1 = the altimeter setting is sent on load, sequencing and arrival"),
    I("SetUTCTimeOnFPLoad", F::kBoth, &State::SetUTCTimeOnFPLoad, "0",
      "1 = loading a route sets the simulator's UTC time"),
    I("LoadFuelonFlightPlanLoad", F::kBoth, &State::LoadFuelonFlightPlanLoad, "0",
      "1 = loading a route loads its planned fuel"),
    I("SetMCPCrzAltOnFlightPlanLoad", F::kBoth, &State::SetMCPCrzAltOnFlightPlanLoad, "0",
      "1 = loading a route sends its cruise altitude to the autopilot"),
    I("McuShowActiveRwys", F::kBoth, &State::McuShowActiveRwys, "0",
      "1 = the runways in use by AI traffic are requested and shown"),
    I("DispAppPtrnAlts", F::kBoth, &State::DispAppPtrnAlts, "0",
      "1 = altitude labels on the approach pattern"),
    I("TcasVertRange", F::kBoth, &State::TcasVertRange, "140",
      "vertical window of traffic, hundreds of feet above and below", C::kDefault, 1, 1000),
    I("ShowFloatingTodBodIndicators", F::kBoth, &State::ShowFloatingTodBodIndicators, "0",
      "1 = floating TOD and next-constraint marker on the maps"),
    I("VnavSetAlts", F::kBoth, &State::VnavSetAlts, "1", "1 = VNAV sends altitude targets"),
    I("VnavOffOnManAltChg", F::kBoth, &State::VnavOffOnManAltChg, "1",
      "1 = a manual altitude change switches VNAV off"),
    I("VnavSetSpdOffOnManSpdChg", F::kBoth, &State::VnavSetSpdOffOnManSpdChg, "1",
      "1 = a manual speed change switches VNAV speed control off"),
    I("VnavSetMachCruiseSpd", F::kBoth, &State::VnavSetMachCruiseSpd, "1",
      "1 = VNAV flies a Mach number in cruise"),
    D("VnavSetSpdRestDist", F::kBoth, &State::VnavSetSpdRestDist, "25.0",
      "distance (NM) at which speed restrictions are taken", C::kDefault, 0, 500),
    I("SetSpdOffwhenAPMasterSetOff", F::kBoth, &State::SetSpdOffwhenAPMasterSetOff, "1",
      "1 = airspeed hold off when the autopilot master goes off"),
    I("Lnav1xAtTod", F::kBoth, &State::Lnav1xAtTod, "0",
      "1 = simulation rate back to 1x after the top of descent"),
    I("PauseAtTod", F::kBoth, &State::PauseAtTod, "0", "1 = pause once at the top of descent"),
    I("ArmPauseAtTod", F::kBoth, &State::ArmPauseAtTod, "1",
      "1 = the pages offer the pause-at-TOD switch"),
    I("HdgHoldOnLnavOn", F::kBoth, &State::HdgHoldOnLnavOn, "0",
      "1 = heading hold is engaged when LNAV engages"),
    D("SetDestLoadTowerViewDist", F::kBoth, &State::SetDestLoadTowerViewDist, "0",
      "above 0 = tower view moves to the destination when near it", C::kDefault, 0, 10000),
    I("DispPrevWpt", F::kBoth, &State::DispPrevWpt, "0",
      "1 = maps draw the previous waypoint and the leg into the active one"),
    I("DispETALocalTime", F::kBoth, &State::DispETALocalTime, "0",
      "1 = arrival times in local time with the suffix L"),
    I("DecLatLonDisp", F::kBoth, &State::DecLatLonDisp, "0",
      "1 = decimal latitude and longitude on GNS-XLS NAV page 4"),
    I("DisplayMagVarOnGnsxlsNavPage", F::kBoth, &State::DisplayMagVarOnGnsxlsNavPage, "0",
      "1 = magnetic variation on GNS-XLS NAV page 4"),
    I("DrawTcasWindowOnP1000MFD", F::kBoth, &State::DrawTcasWindowOnP1000MFD, "1",
      "1 = P1000 traffic in its own window, 0 = on the map"),
    I("DrawBodArcOnP1000MFD", F::kBoth, &State::DrawBodArcOnP1000MFD, "0",
      "1 = bottom-of-descent arc on the P1000 map"),

    // --- Aircraft display modes and colours -----------------------------
    I("HWB737NDMode", F::kAircraft, &State::HWB737NDMode, "5",
      "B737 ND mode 1..7 (5 MAP, 7 PLAN); brought into 1..7", C::kClamp, 1, 7),
    OVI_COLOR3(HWB737NDBkgrdColor, 0, 0, 0, "B737 ND background"),
    I("HWMD11NDMode", F::kAircraft, &State::HWMD11NDMode, "3",
      "MD-11 ND mode 2 PLAN, 3 MAP, 4 VOR, 5 APPR; any other value becomes 1", C::kMd11Mode, 2, 5),
    OVI_COLOR3(HWMD11NDBkgrdColor, 0, 0, 0, "MD-11 ND background"),
    I("DU1000EHSIMode", F::kAircraft, &State::DU1000EHSIMode, "3",
      "DU-1000 EHSI mode: 0 rose, 1 arc, 2 plan, 3 arc map", C::kDefault, 0, 3),
    OVI_COLOR3(DU1000EHSIBkgrdColor, 0, 0, 0, "DU-1000 EHSI background"),
    I("PROLINE4MFDMode", F::kAircraft, &State::PROLINE4MFDMode, "3",
      "Pro Line 4 MFD mode: 0 rose, 1 arc, 2 map, 3 arc map", C::kDefault, 0, 3),
    OVI_COLOR3(PROLINE4MFDBkgrdColor, 0, 0, 0, "Pro Line 4 MFD background"),
    I("MD80EHSIMode", F::kAircraft, &State::MD80EHSIMode, "3",
      "MD-80 EHSI mode: 0 rose, 1 arc, 2 plan, 3 map", C::kDefault, 0, 3),
    OVI_COLOR3(MD80EHSIBkgrdColor, 0, 0, 0, "MD-80 EHSI background"),
    I("EFS50HsiMode", F::kAircraft, &State::EFS50HsiMode, "1",
      "EFS 50 EHSI mode: 1-3 rose, 4-7 arc, 8 traffic", C::kDefault, 1, 8),
    I("EFS50NavMode", F::kAircraft, &State::EFS50NavMode, "1",
      "EFS 50 navigation source: 1 radio, 2 flight plan", C::kDefault, 1, 2),
    OVI_COLOR3(EFS50EHSIBkgrdColor, 0, 0, 0, "EFS 50 EHSI background"),
    OVI_COLOR3(B777PFDSkyColor, 40, 117, 197, "B777 PFD sky"),
    OVI_COLOR3(B777PFDGrndColor, 120, 102, 28, "B777 PFD ground"),
    OVI_COLOR3(B777PFDTapeColor, 100, 100, 100, "B777 PFD tapes"),
    OVI_COLOR3(B777PFDBkgrdColor, 0, 0, 0, "B777 PFD background"),
    OVI_COLOR3(C17MfdBkgrdColor, 0, 0, 0, "C-17 MFD background"),
    OVI_COLOR3(C17MfdSkyColor, 2, 138, 175, "C-17 MFD sky"),
    OVI_COLOR3(C17MfdGrndColor, 131, 73, 9, "C-17 MFD ground"),
    OVI_COLOR3(A320EADIBkgrdColor, 0, 0, 0, "A320 EADI background"),
    OVI_COLOR3(A320EADISkyColor, 41, 165, 201, "A320 EADI sky"),
    OVI_COLOR3(A320EADIGrndColor, 155, 103, 53, "A320 EADI ground"),
    OVI_COLOR3(A320EADITapeColor, 100, 100, 100, "A320 EADI tapes"),
    OVI_COLOR3(P1000MFDBkgrdColor, 0, 0, 0, "P1000 MFD background"),

    // --- Aircraft speeds, limits and performance ------------------------
    I("V1", F::kAircraft, &State::V1, "0", "V1 (kt), 0 = not set", C::kDefault, 0, 400),
    I("VR", F::kAircraft, &State::VR, "0", "VR (kt), 0 = not set", C::kDefault, 0, 400),
    I("V2", F::kAircraft, &State::V2, "0", "V2 (kt), 0 = not set", C::kDefault, 0, 400),
    I("VREF", F::kAircraft, &State::VREF, "0", "VREF (kt), 0 = not set", C::kDefault, 0, 400),
    I("TOFLAPS", F::kAircraft, &State::TOFLAPS, "0", "take-off flaps, 0 = not selected", C::kDefault,
      0, 100),
    I("LDGFLAPS", F::kAircraft, &State::LDGFLAPS, "0", "landing flaps, 0 = not selected", C::kDefault,
      0, 100),
    I("VREFMIN", F::kAircraft, &State::VREFMIN, "150", "approach VREF, first flap setting (kt)",
      C::kDefault, 0, 400),
    I("VREFMID", F::kAircraft, &State::VREFMID, "145", "approach VREF, second flap setting (kt)",
      C::kDefault, 0, 400),
    I("VREFMAX", F::kAircraft, &State::VREFMAX, "135", "approach VREF, third flap setting (kt)",
      C::kDefault, 0, 400),
    T("APPRFLAPSMIN", F::kAircraft, &State::APPRFLAPSMIN, "15", "first approach flap setting"),
    T("APPRFLAPSMID", F::kAircraft, &State::APPRFLAPSMID, "30", "second approach flap setting"),
    T("APPRFLAPSMAX", F::kAircraft, &State::APPRFLAPSMAX, "40", "third approach flap setting"),
    T("TOFLAPSRANGE", F::kAircraft, &State::TOFLAPSRANGE, ",1,5,10,15,25,",
      "accepted take-off flaps, comma-enclosed"),
    I("EngThrust", F::kAircraft, &State::EngThrust, "0", "engine rating, thousands of pounds",
      C::kDefault, 0, 200),
    I("CostIndex", F::kAircraft, &State::CostIndex, "-1", "cost index, -1 = not set", C::kDefault, -1,
      9999),
    I("TransAlt", F::kAircraft, &State::TransAlt, "18000", "transition altitude (ft)", C::kDefault, 0,
      60000),
    T("ModelId", F::kAircraft, &State::ModelId, "", "aircraft model shown on the IDENT page"),
    I("BestHoldIas", F::kAircraft, &State::BestHoldIas, "210", "best holding speed (kt)", C::kDefault, 0,
      400),
    D("ClimbIasMin", F::kAircraft, &State::ClimbIasMin, "210", "lowest climb speed (kt)", C::kDefault, 0,
      500),
    D("ClimbIasMax", F::kAircraft, &State::ClimbIasMax, "340", "highest climb speed (kt)", C::kDefault,
      0, 500),
    D("CruiseIasMin", F::kAircraft, &State::CruiseIasMin, "210", "lowest cruise speed (kt)",
      C::kDefault, 0, 500),
    D("CruiseIasMax", F::kAircraft, &State::CruiseIasMax, "340", "highest cruise speed (kt)",
      C::kDefault, 0, 500),
    D("DescentIasMin", F::kAircraft, &State::DescentIasMin, "210", "lowest descent speed (kt)",
      C::kDefault, 0, 500),
    D("DescentIasMax", F::kAircraft, &State::DescentIasMax, "340", "highest descent speed (kt)",
      C::kDefault, 0, 500),
    I("ClimbIas", F::kAircraft, &State::ClimbIas, "220", "climb speed target (kt)", C::kDefault, 60,
      500),
    I("CruiseSpeed", F::kAircraft, &State::CruiseSpeed, "250", "cruise speed target (kt)", C::kDefault,
      60, 500),
    I("DescentSpeed", F::kAircraft, &State::DescentSpeed, "220", "descent speed target (kt)",
      C::kDefault, 60, 500),
    D("ClbSpdRest", F::kAircraft, &State::ClbSpdRest, "250", "climb speed restriction (kt), 0 = none",
      C::kDefault, 0, 500),
    D("ClbAltRest", F::kAircraft, &State::ClbAltRest, "10000", "climb speed restriction below (ft)",
      C::kDefault, 0, 60000),
    D("DescSpdRest", F::kAircraft, &State::DescSpdRest, "240",
      "descent speed restriction (kt), 0 = none", C::kDefault, 0, 500),
    D("DescAltRest", F::kAircraft, &State::DescAltRest, "10000", "descent speed restriction below (ft)",
      C::kDefault, 0, 60000),
    D("HoldLegMins", F::kAircraft, &State::HoldLegMins, "1.0", "hold leg time (minutes)", C::kDefault,
      0.1, 60),
    D("FPA", F::kAircraft, &State::FPA, "0", "descent and climb path angle (degrees), 0 = not used",
      C::kDefault, 0, 6),
    I("ClimbRate", F::kAircraft, &State::ClimbRate, "2000", "climb rate (ft/min)", C::kDefault, 100,
      10000),
    D("DescentRate", F::kAircraft, &State::DescentRate, "2000", "descent rate (ft/min)", C::kDefault,
      100, 10000),
    D("ClimbTas", F::kAircraft, &State::ClimbTas, "350", "mean climb true airspeed (kt)", C::kDefault,
      60, 700),
    D("DescentTas", F::kAircraft, &State::DescentTas, "380", "mean descent true airspeed (kt)",
      C::kDefault, 60, 700),
    I("MaxCruise", F::kAircraft, &State::MaxCruise, "37000", "highest cruise altitude (ft)",
      C::kDefault, 1000, 60000),
    D("MinVnavClimbIas", F::kAircraft, &State::MinVnavClimbIas, "180", "lowest VNAV climb speed (kt)",
      C::kDefault, 60, 500),
    D("MinVnavIas", F::kAircraft, &State::MinVnavIas, "155", "lowest VNAV speed (kt)", C::kDefault, 60,
      500),
    D("MaxVnavClimbRate", F::kAircraft, &State::MaxVnavClimbRate, "2500",
      "highest VNAV climb rate (ft/min)", C::kDefault, 100, 10000),
    D("MinVnavClimbRate", F::kAircraft, &State::MinVnavClimbRate, "1500",
      "lowest VNAV climb rate (ft/min)", C::kDefault, 100, 10000),
    D("MaxVnavDescRate", F::kAircraft, &State::MaxVnavDescRate, "3000",
      "highest VNAV descent rate (ft/min)", C::kDefault, 100, 10000),
    D("MinVnavDescRate", F::kAircraft, &State::MinVnavDescRate, "1500",
      "least VNAV descent rate down to a hold's level (ft/min); the descent flies its path's own rate",
      C::kDefault, 100, 10000),
    T("FlightPlansFolder", F::kAircraft, &State::AircraftFlightPlansFolder, "",
      "route-file folder of this aircraft, tried first when reading"),
    T("PerformanceFile", F::kAircraft, &State::PerformanceFile, "",
      "performance data file in \\ovi\\Aircraft\\ (empty = none)"),
    T("ParkingFile", F::kAircraft, &State::ParkingFile, "",
      "parking positions file in \\ovi\\navdata\\ (empty = none)"),
};

#undef OVI_COLOR3

}  // namespace

std::span<const ConfigKey> ConfigKeys() { return kKeys; }

const ConfigKey* FindConfigKey(std::string_view name, KeyFile file) {
  const auto want = static_cast<unsigned>(file);
  for (const ConfigKey& k : kKeys) {
    if ((static_cast<unsigned>(k.file) & want) != 0 && util::EqualsIgnoreCase(k.name, name)) return &k;
  }
  return nullptr;
}

}  // namespace ovi::model
