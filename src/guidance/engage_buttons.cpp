#include "src/guidance/engage_buttons.h"

#include "src/flightplan/holds.h"
#include "src/flightplan/state.h"
#include "src/guidance/autopilot_commands.h"
#include "src/guidance/profile_predictions.h"
#include "src/guidance/radio_tuning.h"
#include "src/guidance/state.h"
#include "src/guidance/vnav.h"
#include "src/host/gauge_skeleton.h"
#include "src/host/panel_services.h"
#include "src/instruments/gnsxls/state.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::guidance {

namespace {

constexpr std::uint32_t kEventHeadingHold = 65807;  // the autopilot heading hold, value 0

bool HasActiveWaypoint() { return flightplan::flightplan_state.ActiveWaypointIndex != model::kNoWaypoint; }

// The annunciator is the first element: shown exactly while the mode is on.
void ShowAnnunciator(GAUGEHDR* gauge, std::int32_t engaged) {
  ELEMENT_HEADER* lamp = host::FirstElement(gauge);
  if (engaged != 0) {
    host::ClearGaugeElementFlags(lamp, 0, IMAGE_HIDDEN);
  } else {
    host::SetGaugeElementFlags(lamp, 0, IMAGE_HIDDEN);
  }
}

void LnavPreUpdate(GAUGEHDR* gauge) { ShowAnnunciator(gauge, guidance_state.LnavEngaged); }
void VnavPreUpdate(GAUGEHDR* gauge) { ShowAnnunciator(gauge, guidance_state.VnavEngaged); }

// The buttons load only what they need themselves: the configuration and
// the aircraft file ("VC2" is an aircraft name to them).
constexpr host::GaugeForm ButtonForm(const char* log_line, void (*pre_update)(GAUGEHDR*)) {
  host::GaugeForm f;
  f.log_line = log_line;
  f.pre_install = false;
  f.load_nav_database = false;
  f.aircraft_name = host::AircraftNameRule::kResetVcWn;
  f.scan_flight_plans = false;
  f.pre_update = pre_update;
  return f;
}

constexpr host::GaugeForm kLnavForm = ButtonForm("lnav_callback \n", LnavPreUpdate);
constexpr host::GaugeForm kVnavForm = ButtonForm("vnav_callback \n", VnavPreUpdate);

ELEMENT_HEADER lnav_lamp = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kLnavLitBitmap,
                          .image_size = kEngageButtonSize, .image_flags = IMAGE_HIDDEN};
ELEMENT_HEADER* lnav_elements[] = {&lnav_lamp, nullptr};
ELEMENT_HEADER vnav_lamp = {.element_type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = kVnavLitBitmap,
                          .image_size = kEngageButtonSize, .image_flags = IMAGE_HIDDEN};
ELEMENT_HEADER* vnav_elements[] = {&vnav_lamp, nullptr};

MOUSERECT lnav_mouse[] = {
    {MOUSE_RECT_PARENT, {0, 0}, kEngageButtonSize, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, kEngageButtonSize, CURSOR_HAND, MOUSE_LEFTSINGLE, LnavButtonClick},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};
MOUSERECT vnav_mouse[] = {
    {MOUSE_RECT_PARENT, {0, 0}, kEngageButtonSize, CURSOR_NONE, 0, nullptr},
    {MOUSE_RECT_CHILD, {0, 0}, kEngageButtonSize, CURSOR_HAND, MOUSE_LEFTSINGLE, VnavButtonClick},
    {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr},
};

}  // namespace

void ToggleLnav() {
  State& g = guidance_state;
  const model::State& m = model::model_state;
  if (g.LnavEngaged == 0) {
    if (HasActiveWaypoint()) {
      g.LnavEngaged = 1;
      if (m.HdgHoldOnLnavOn == 1) host::SendKeyEvent(kEventHeadingHold, 0);
      if (m.LnavSetEnRouteFreqs == 1) TuneEnRouteNavaids(2);
      g.LegOriginLatitude = g.PlaneLatitude;
      g.LegOriginLongitude = g.PlaneLongitude;
      g.ActiveLegFromEngagePosition = 1;
      // Engaged anywhere, LNAV joins the active leg (where it can meet it
      // before the waypoint; else it flies straight at the waypoint).
      g.LnavLegTracking = 1;
      double distance = 0.0, course = 0.0;
      navdb::ComputeDistanceAndBearing(g.PlaneLatitude, g.PlaneLongitude, g.ActiveWaypointLat, g.ActiveWaypointLon,
                                       distance, course);
      double c = course - g.MagneticVariation;
      g.LnavInitialCourse = c < 0.5 ? c + 360.0 : c;
    }
  } else {
    // Disengaging abandons the hold as well.
    g.LnavEngaged = 0;
    g.LnavLegTracking = 0;
    g.HoldState = 1;
    // The hold leaves its waypoints here, in both routes: the deletion that
    // follows no longer knows which waypoints they were.
    flightplan::AbandonFirstHold();
    g.ActiveHoldIndex = 0;
    g.ActiveLegFromEngagePosition = 0;
  }
  gnsxls::gnsxls_state.McuRedrawRequest = 1;
  g.DisplayRefreshCounter = 999;
  host::SetNamedValueIfPresent("ovi_lnav", g.LnavEngaged);
}

void ToggleVnav() {
  State& g = guidance_state;
  if (g.VnavEngaged == 0) {
    if (HasActiveWaypoint()) {
      g.VnavEngaged = 1;
      g.VnavLastSetAltitude = kNoCommand;
      g.VnavLastSetSpeed = kNoCommand;
      g.VnavLastSetMach = kNoCommand;
      // The pilot flew the autopilot meanwhile: whatever VNAV asks for goes out.
      ForgetSentCommands();
      g.VnavSpeedSet = 0;
      g.VnavAltitudeSet = 0;
      g.VnavSpdRestPending = 1;
      // Nothing asked for yet: the autopilot keeps the pilot's speed until
      // the speed logic sends one.
      g.VnavWantedSpeed = g.VnavWantedMach = 0.0;
      g.SpeedModeValueOwed = g.SpeedModeCrossed = 0;
      // A manual speed change switched speed control off; engaging re-arms it.
      if (model::model_state.VnavSetSpd == 2) model::model_state.VnavSetSpd = 1;
      // The pilot's climb (or level) left the aircraft elsewhere than the
      // plan's: the TOC VNAV flies to is placed again from the aircraft,
      // as for a new wind. Left where it was, VNAV flew to it at its rate
      // limits and the aircraft topped out miles from the T/C shown.
      g.TocWindKnown = 0;
      DropTargetBehind();
      // The waypoints to the top likewise: RTE LEGS showed the climb from
      // the runway, and the aircraft, held level below VNAV's least speed,
      // crossed them 500 ft below.
      PredictTheClimbFromTheAircraft();
    }
  } else {
    g.VnavEngaged = 0;
  }
  gnsxls::gnsxls_state.McuRedrawRequest = 1;
  host::SetNamedValueIfPresent("ovi_vnav", g.VnavEngaged);
}

std::int32_t LnavButtonClick(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  ToggleLnav();
  return 0;
}

std::int32_t VnavButtonClick(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  ToggleVnav();
  return 0;
}

void lnav_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kLnavForm, gauge, service);
}

void vnav_callback(GAUGEHDR* gauge, std::int32_t service, std::uint32_t /*extra*/) {
  host::RunGaugeCallback(kVnavForm, gauge, service);
}

GAUGEHDR lnav_gauge = {
    GAUGE_HEADER_VERSION, "LNAV", lnav_elements, lnav_callback, 0, "", lnav_mouse, kEngageButtonSize, nullptr,
};
GAUGEHDR vnav_gauge = {
    GAUGE_HEADER_VERSION, "VNAV", vnav_elements, vnav_callback, 0, "", vnav_mouse, kEngageButtonSize, nullptr,
};

}  // namespace ovi::guidance
