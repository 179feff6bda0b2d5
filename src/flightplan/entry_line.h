// The navigator's entry line (NavigatorScratchpad): the one way keypad
// characters reach it.
#pragma once

#include <string>

namespace ovi::flightplan {

// key: one character, "*1" (delete the last character) or empty. pad_only 0
// = a key was pressed; any other value only pads the line with blanks to
// the field width (6, or 10 on the save-flight-plan page). Acts only while
// GnsXlsEntryActive is 1; always clears the CDU's FmsLegsMarker.
void ScratchpadKeyInput(std::string key, int pad_only);

}  // namespace ovi::flightplan
