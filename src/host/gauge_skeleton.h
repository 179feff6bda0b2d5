// The one skeleton every gauge callback of the module follows. A gauge
// describes its form once (which services it answers, which one-time loads
// it runs, how it draws) and its callback is one line:
//
//   void hw_b737_ehsi_callback(GAUGEHDR* g, std::int32_t service, std::uint32_t) {
//     host::RunGaugeCallback(kB737NdForm, g, service);
//   }
//
// On every call the log line comes first (while LogFile is open), then the
// service:
//   2  pre-install      SimulatorFolder (when `pre_install`), then
//                       `after_pre_install`
//   3  post-install     `post_install`
//   4  pre-initialise   `before_loads`, the one-time loads in their order,
//                       then `after_loads`
//   5  post-initialise  `post_initialise`
//   6  pre-update       `pre_update`
//   10 pre-draw         `pre_draw`, then the drawing element, the variant and
//                       the draw entry, and bit 31 of the element's flags
//   14 connect          `connect`
//   15 disconnect       `disconnect`
// Every other service does nothing beyond the log line.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"
#include "src/host/one_time_loads.h"

namespace ovi::host {

// Which parameters a gauge sets back to "no aircraft name" when it takes
// its parameter as the aircraft name at pre-initialise.
enum class AircraftNameRule {
  kResetVcVc2Wn,  // the display gauges: "VC", "VC2" and "WN"
  kResetVcWn,     // buttons and most control panels: "VC2" is an aircraft name
  kResetNone,     // every non-empty parameter is an aircraft name
  kNeverTake,     // the gauge never sets the aircraft name
};

// The element a drawing gauge draws into at pre-draw.
enum class DrawElement {
  kNone,          // no drawing element (control panels)
  kFirstChild,    // the first child of the gauge's first element
  kFirstElement,  // the first element itself
};

// How the display variant follows from the parameter and the windows shown.
enum class DisplayForm {
  kAlways,  // variant 1, drawn every frame
  kA,       // blank while the pop-up is open; "VC" skipped on the main panel
  kB,       // as A, and "VC2" with the pop-up open draws reduced (3)
  kC,       // as A, and "VC2" with the pop-up open is not drawn
  kD,       // as A, and "VC2" always draws reduced (3)
};

// Display variants handed to draw entries.
constexpr int kVariantSkip = 0;
constexpr int kVariantFull = 1;
constexpr int kVariantBlank = 2;
constexpr int kVariantReduced = 3;

struct GaugeForm {
  // Written at every call while the log is open; null = the gauge logs nothing.
  const char* log_line = nullptr;

  // Service 2: fill SimulatorFolder, then the gauge's own start state (the
  // CDU's first page, the GNS-XLS pages), which a later install of another
  // gauge of the same instrument must see too.
  bool pre_install = true;
  void (*after_pre_install)(GAUGEHDR* gauge) = nullptr;

  // Service 4: `before_loads` (the C-17 MFD opens the debug log), then the
  // one-time loads, each behind its own flag, in this order: folder,
  // configuration, navigation database, `after_nav_database`, aircraft name,
  // flight-plan library, `after_loads`.
  // A gauge that only fills the folder there turns every load off
  // (configuration, navigation database, aircraft name, flight plans).
  bool pre_initialise = true;
  void (*before_loads)(GAUGEHDR* gauge) = nullptr;
  bool load_configuration = true;
  bool load_nav_database = true;
  void (*after_nav_database)() = nullptr;
  AircraftNameRule aircraft_name = AircraftNameRule::kResetVcVc2Wn;
  bool scan_flight_plans = true;
  void (*after_loads)(GAUGEHDR* gauge) = nullptr;

  void (*post_install)(GAUGEHDR* gauge) = nullptr;
  void (*post_initialise)(GAUGEHDR* gauge) = nullptr;
  void (*pre_update)(GAUGEHDR* gauge) = nullptr;

  // Service 10: `pre_draw` first (the per-tick update for most gauges), then
  // the drawing element. A gauge with DrawElement::kNone stops after
  // `pre_draw`.
  void (*pre_draw)() = nullptr;
  DrawElement draw_element = DrawElement::kNone;
  DisplayForm display_form = DisplayForm::kAlways;
  std::uint32_t window_ident = 0;  // the gauge's pop-up window
  // A gauge with a rule of its own sets this (the C-17 MFD's display
  // number); it replaces display_form, and every value it gives, 0
  // included, reaches `draw`, whose own rules say what it means.
  int (*variant)(GAUGEHDR* gauge) = nullptr;
  void (*draw)(GAUGEHDR* gauge, ELEMENT_HEADER* element, int variant) = nullptr;

  void (*connect)(GAUGEHDR* gauge) = nullptr;
  void (*disconnect)(GAUGEHDR* gauge) = nullptr;
};

// The whole callback: log line, then the service.
void RunGaugeCallback(const GaugeForm& form, GAUGEHDR* gauge, std::int32_t service);

// The pre-initialise service on its own, with the loaders to use.
void RunPreInitialise(const GaugeForm& form, GAUGEHDR* gauge,
                      const OneTimeLoads& loads = DefaultOneTimeLoads());

// The aircraft-name step of pre-initialise: while the name is empty, take
// `parameter` (null counts as empty), set it back to empty by `rule`, and
// load the aircraft file when a name remains.
void TakeAircraftName(const char* parameter, AircraftNameRule rule, const OneTimeLoads& loads);

// The pre-draw service on its own.
void RunPreDraw(const GaugeForm& form, GAUGEHDR* gauge);

// The variant of a display form for a parameter (null counts as empty) and
// the gauge's pop-up window, asking the host which windows are shown.
int ComputeDisplayVariant(DisplayForm form, const char* parameter, std::uint32_t window_ident);
// Whether the form draws with that variant.
bool PassesDrawGate(DisplayForm form, int variant);

}  // namespace ovi::host
