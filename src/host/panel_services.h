// Small services every gauge uses on top of the host's panel interface:
// element addressing and flags, pop-up window keys, and the digit-base
// conversion of radio frequencies.
#pragma once

#include <cstdint>

#include "platform/panel/panel.h"
#include "src/host/state.h"

namespace ovi::host {

// The gauge's first element, or null.
ELEMENT_HEADER* FirstElement(const GAUGEHDR* gauge);
// The element drawn under `element` (its next_element[0]), or null.
ELEMENT_HEADER* NextElement(const ELEMENT_HEADER* element);
// The n-th element of the chain starting at `first` (0 = `first` itself), or
// null when the chain ends first or n is negative.
ELEMENT_HEADER* NthElement(ELEMENT_HEADER* first, std::int32_t n);

// OR / clear `bits` in the image flags of the n-th element of the chain;
// nothing when there is no such element. IMAGE_HIDDEN hides its bitmap.
void SetGaugeElementFlags(ELEMENT_HEADER* first, std::int32_t n, std::uint32_t bits);
void ClearGaugeElementFlags(ELEMENT_HEADER* first, std::int32_t n, std::uint32_t bits);

// Asks the host whether a panel window is shown (ident 0 = the main panel);
// false without a host.
bool IsPanelWindowVisible(std::uint32_t window_ident);
// Shows a hidden panel window or hides a shown one; the host's result (0
// without a host).
std::int32_t TogglePanelWindow(std::uint32_t window_ident);

// Sets an existing named panel variable; a name the host does not know
// (no SERVER gauge on the panel) is left alone, and no call is made with an
// invalid id. False when nothing was written.
bool SetNamedValueIfPresent(const char* name, double value);
// The value of an existing named panel variable; false when it is absent.
bool GetNamedValue(const char* name, double& value);
// Sends one simulator key event; nothing without a host.
void SendKeyEvent(std::uint32_t event_id, std::uint32_t value);

// The family of mouse handlers that toggle one fixed panel window and pass
// the host's result back; position and flags are ignored. Take the address of
// PanelWindowToggleKey<4011> for a gauge's rectangle.
template <std::uint32_t WindowIdent>
std::int32_t PanelWindowToggleKey(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  return TogglePanelWindow(WindowIdent);
}

// A key's mouse handler that does one thing: calls `Press` with the fixed
// arguments given (KeyHandler<PressLineKey, 3>, KeyHandler<TypeCharacter,
// 'A'>); position and flags are ignored; returns 0.
template <auto Press, auto... Args>
std::int32_t KeyHandler(PIXPOINT* /*relative*/, std::uint32_t /*flags*/) {
  Press(Args...);
  return 0;
}

// The extra rectangle of the GNS-XLS gauge.
std::int32_t TogglePanelWindow4004(PIXPOINT* relative, std::uint32_t flags);

// Reads `value`'s digits in `from_base` and rebuilds them with the weights of
// `to_base`: (0x1130, 16, 10) gives 1130, (350, 10, 16) gives 0x350. The sign
// is kept; a result beyond 32 bits wraps; bases outside 2..36 give 0.
std::int32_t ConvertDigitsBase(std::int32_t value, std::int32_t from_base, std::int32_t to_base);

}  // namespace ovi::host
