// The CDU keypad: what each key does when pressed. A key only records what
// the page shown next will act on (FmsPage, the line-select key, the
// one-frame flags, the scratchpad and the message line); EXEC alone acts at
// once. The gauges' mouse handlers call these, one each.
#pragma once

#include <cstdint>

namespace ovi::fms {

// 1-5 = L1-L5, 6-10 = R1-R5, 11 = L6, 12 = R6.
void PressLineSelect(std::int32_t key);
void PressPrevPage();
void PressNextPage();

void PressInitRef();
void PressRte();
void PressClimb();
void PressCruise();
void PressDescent();
void PressDirIntc();
void PressLegs();
void PressDepArr();
void PressHold();
void PressProgress();
void PressFix();
void PressExec();

// A letter, a digit, "." or "/": appended below 24 characters; the letters
// G to Z also go to the navigator's entry line (ScratchpadKeyInput).
void TypeCharacter(char c);
void PressSign();    // +/-
void PressSpace();   // the blank key
void PressClear();   // CLR
void PressDelete();  // DEL

}  // namespace ovi::fms
