// What the GNS-XLS keys, pages and ENT key share beyond drawing: which view
// page 1 shows, the entry text as a name or a number, and stepping a
// sub-page or cursor with wrap-around.
#pragma once

#include <cstdint>
#include <string>

namespace ovi::gnsxls {

// Page 1 shows the active flight plan.
bool ShowsActiveView();
// Page 1 shows the stored flight plan list or a plan opened from it.
bool ShowsStoredView();

// The entry line taken as a name or a choice: the blanks that pad it to its
// field are not part of it.
std::string EntryText();

// The entry line taken as a number: true, with the value, only when the
// trimmed text is wholly a number in plain decimal notation; an empty or
// blank line, or one with anything else in it, gives false and the value
// is not touched.
bool EntryNumber(double& value);
// The same for a text of a page's own field.
bool FieldNumber(const std::string& text, double& value);

// Steps a 1-based index by +1 or -1 within 1..count, wrapping at both ends
// (a count below 1 counts as 1). True when it wrapped.
bool StepWithin(std::int32_t& index, std::int32_t count, int delta);

}  // namespace ovi::gnsxls
