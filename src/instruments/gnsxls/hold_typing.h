// The text fields of the HOLDING PATTERN page: digits enter at the right,
// CLR takes the last one back; a digit into a full field and CLR on an
// empty one change nothing.
#pragma once

#include <string>

namespace ovi::gnsxls {

enum class HoldField {
  kCourse,       // "090"
  kLegTime,      // "1.5"
  kLegDistance,  // "12.5"
};

// The blank field: "   ", " . ", "  . ".
const char* HoldFieldTemplate(HoldField kind);

void HoldFieldDigit(std::string& field, HoldField kind, char digit);
void HoldFieldClear(std::string& field, HoldField kind);

// Takes the first blank-separated word of the entry line, which is then
// empty; true when that word is a single digit (in `digit`). Anything else
// typed is dropped.
bool TakeTypedDigit(std::string& entry_line, char& digit);

}  // namespace ovi::gnsxls
