// Tagged airport values of \ovi\navdata\ovi_apts.txt (format in
// docs/navigation-data.md), looked up for the REF NAV DATA page.
#pragma once

#include <string>

namespace ovi::fms {

// Finds the value tagged `tag` on the line of airport `ident` (exact
// match of the line's first word; words 6 to 25 may be tags, TAG_VALUE)
// and puts it into SelectedAirportLongName; a later line of the same
// airport overwrites an earlier one. Found: the scratchpad is emptied; not
// found: "NOT FOUND IN DATABASE". A file that does not open changes
// nothing (one that is refused, not a regular file or too large, says so
// in the status log). Only the first 1699 characters of a line count; the
// rest of a longer line is never read as a line of its own.
void LookupAirportName(const std::string& ident, const std::string& tag);

}  // namespace ovi::fms
