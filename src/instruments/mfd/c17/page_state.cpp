#include "src/instruments/mfd/c17/page_state.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "src/host/debug_log.h"
#include "src/host/panel_services.h"
#include "src/host/sim_vars.h"
#include "src/host/state.h"
#include "src/model/state.h"

namespace ovi::c17 {

namespace {

C17MfdPageState& Pages() { return c17_state.PageState; }

bool IsNavPage(std::int32_t page) { return page == 0 || (page >= 3 && page <= 6); }

// The navigation pages in their cycle: HSI, compass arc, map; the other
// compass views step on to the map.
std::int32_t NextNavPage(std::int32_t page) {
  if (page == 0) return 3;
  if (page >= 3 && page <= 5) return 6;
  return 0;
}

// --- Mailboxes ------------------------------------------------------------------

constexpr std::int32_t kIdle = 10;
constexpr std::int32_t kHideOnCompassArc = 2;

struct Mailbox {
  const char* lookup_name;
  std::int32_t* last_value;
};

Mailbox MailboxOf(int display) {
  switch (display) {
    case 1: return {"MFDX1 mode", &host::host_state.MfdxModeValue};
    case 2: return {"MFDx2 mode", &c17_state.as_mfdx2_mode};
    case 3: return {"MFDx3 mode", &c17_state.Mfdx3ModeValue};
    default: return {"MFDx4 mode", &c17_state.Mfdx4ModeValue};
  }
}

// A command value as an integer: truncated toward zero, saturated at the
// ends of 32 bits (infinities too); a value that is not a number asks for
// nothing.
std::int32_t CommandOf(double value) {
  return std::isnan(value) ? kIdle : host::TruncateToInt32(std::clamp(value, -4e9, 4e9));
}

void ServeMailbox(int display, GAUGEHDR* gauge) {
  Mailbox box = MailboxOf(display);
  if (display == 2) host::WriteLogLineF("ProcessMFDX2()-1: as_mfdx2_mode=%d\n", *box.last_value);
  PANELS* panels = host::Panels();
  if (panels == nullptr || panels->check_named_variable == nullptr || panels->get_named_variable_value == nullptr)
    return;
  // A mailbox the host does not know is not served: nothing read, nothing
  // written back.
  const std::int32_t id = panels->check_named_variable(box.lookup_name);
  if (id < 0) return;
  const std::int32_t v = CommandOf(panels->get_named_variable_value(id));
  *box.last_value = v;
  if (display == 2) host::WriteLogLineF("ProcessMFDX2()-2: as_mfdx2_mode=%d\n", v);

  C17PageSlot& slot = Pages().slots[static_cast<std::size_t>(display)];
  ELEMENT_HEADER* element = host::FirstElement(gauge);
  if (v == kHideOnCompassArc) {
    // Kept in the mailbox: applied again at every pre-update while it stays.
    if (slot.page != 3) {
      host::SetGaugeElementFlags(element, 0, IMAGE_HIDDEN);
      slot.page = 3;
    }
    return;
  }
  if (v == kIdle) return;
  if (slot.page == 3) host::ClearGaugeElementFlags(element, 0, IMAGE_HIDDEN);
  switch (v) {
    case 0:
      slot.page = 1;
      break;
    case 1:
      // A remembered page off the cycle is shown as it is and kept.
      if (IsNavPage(slot.page) && IsNavPage(slot.nav_page_memory)) {
        slot.nav_page_memory = NextNavPage(slot.nav_page_memory);
      }
      slot.page = slot.nav_page_memory;
      break;
    case 3:
      slot.page = slot.page == 9 ? 10 : (slot.page == 10 ? 11 : 9);
      break;
    default:
      slot.page = 12;
      break;
  }
  if (panels->set_named_variable_value != nullptr) panels->set_named_variable_value(id, kIdle);
}

// --- Display numbers --------------------------------------------------------------

enum class Forcing { kAlways, kUnlessCompass };

struct SlotName {
  const char* parameter;
  int display;
  std::int32_t page;
  Forcing forcing;
};

constexpr SlotName kSlotNames[] = {
    {"PFD", 1, 1, Forcing::kAlways},         {"PFD_VC", 1, 1, Forcing::kAlways},
    {"PFD_WN", 1, 1, Forcing::kAlways},      {"MFD", 2, 3, Forcing::kUnlessCompass},
    {"MFD_VC", 2, 3, Forcing::kUnlessCompass}, {"MFD_WN", 2, 3, Forcing::kUnlessCompass},
    {"ENG", 3, 9, Forcing::kAlways},         {"ENG_VC", 3, 9, Forcing::kAlways},
    {"ENG_WN", 3, 9, Forcing::kAlways},      {"CFG", 4, 12, Forcing::kAlways},
    {"CFG_VC", 4, 12, Forcing::kAlways},     {"CFG_WN", 4, 12, Forcing::kAlways},
};

void StepCompassViews(std::int32_t from_a, std::int32_t to_a, std::int32_t from_b, std::int32_t to_b) {
  auto step = [&](std::int32_t& page) {
    if (page == from_a) {
      page = to_a;
    } else if (page == from_b) {
      page = to_b;
    }
  };
  step(WorkingPage());
  for (int n = 1; n <= kC17Displays; ++n) step(Pages().slots[static_cast<std::size_t>(n)].page);
}

std::int32_t Flipped(std::int32_t v) { return v == 0 ? 1 : 0; }

}  // namespace

std::int32_t& WorkingPage() { return model::model_state.C17MfdPage; }

void LoadSlot(int display) {
  if (display < 1 || display > kC17Displays) return;
  const C17PageSlot& slot = Pages().slots[static_cast<std::size_t>(display)];
  WorkingPage() = slot.page;
  Pages().C17NavPageMemory = slot.nav_page_memory;
  Pages().C17EnginePageMemory = slot.engine_page_memory;
}

void SaveSlot(int display) {
  if (display < 1 || display > kC17Displays) return;
  C17PageSlot& slot = Pages().slots[static_cast<std::size_t>(display)];
  slot.page = WorkingPage();
  slot.nav_page_memory = Pages().C17NavPageMemory;
  slot.engine_page_memory = Pages().C17EnginePageMemory;
}

int LeadingDigit(const char* parameter) {
  if (parameter == nullptr || parameter[0] < '0' || parameter[0] > '9') return 0;
  return parameter[0] - '0';
}

void ProcessMFDX1(GAUGEHDR* gauge) { ServeMailbox(1, gauge); }
void ProcessMFDX2(GAUGEHDR* gauge) { ServeMailbox(2, gauge); }
void ProcessMFDX3(GAUGEHDR* gauge) { ServeMailbox(3, gauge); }
void ProcessMFDX4(GAUGEHDR* gauge) { ServeMailbox(4, gauge); }

int C17DisplayNumber(GAUGEHDR* gauge) {
  const char* p = gauge != nullptr && gauge->parameters != nullptr ? gauge->parameters : "";
  int n = LeadingDigit(p);
  for (const SlotName& name : kSlotNames) {
    if (std::strcmp(p, name.parameter) != 0) continue;
    n = name.display;
    std::int32_t& page = Pages().slots[static_cast<std::size_t>(n)].page;
    if (name.forcing == Forcing::kAlways || page < 3 || page > 5) page = name.page;
    break;
  }
  if (host::IsPanelWindowVisible(0) && std::strstr(p, "VC") != nullptr) return 0;
  if (n == 1 && host::IsPanelWindowVisible(kC17MfdWindow) && std::strstr(p, "WN") == nullptr) return 0;
  return n;
}

std::int32_t SelectC17FlightPage(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  WorkingPage() = 1;
  return 0;
}

std::int32_t CycleC17NavPage(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  std::int32_t& page = WorkingPage();
  if (IsNavPage(page)) {
    page = NextNavPage(page);
    Pages().C17NavPageMemory = page;
  } else if (page != 1 && page != 2) {
    page = Pages().C17NavPageMemory;
  }
  return 0;
}

std::int32_t C17NoOpKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) { return 0; }

std::int32_t CycleC17EnginePage(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  std::int32_t& page = WorkingPage();
  if (page >= 9 && page <= 11) {
    page = page == 11 ? 9 : page + 1;
    Pages().C17EnginePageMemory = page;
  } else {
    page = Pages().C17EnginePageMemory;
  }
  return 0;
}

std::int32_t SelectC17ConfigPage(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  WorkingPage() = 12;
  return 0;
}

std::int32_t C17CompassViewDown(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  StepCompassViews(4, 3, 5, 4);
  return 0;
}

std::int32_t C17CompassViewUp(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  StepCompassViews(3, 4, 4, 5);
  return 0;
}

std::int32_t ToggleC17MapLayers(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  c17_state.C17ShowMapLayers = Flipped(c17_state.C17ShowMapLayers);
  return 0;
}

std::int32_t ToggleC17CourseDeviation(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  c17_state.C17ShowCourseDeviation = Flipped(c17_state.C17ShowCourseDeviation);
  return 0;
}

}  // namespace ovi::c17
