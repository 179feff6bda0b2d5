// The rocker's editors. On APT and DIRTO the rocker edits the entry text a
// character at a time; on ALT/FL and for the LEGS crossing altitude it steps
// an altitude by thousands or five hundreds.
#pragma once

#include <cstdint>
#include <string>

#include "src/instruments/gnsxls/mcu/kit.h"

namespace ovi::mcu {

// The highest altitude the rocker sets, feet.
constexpr int kMaxRockerAltitude = 99000;

// The next character of the editor's cycle: blank, '0'..'9', 'A'..'Z',
// blank (up), and the reverse (down).
char StepCharacterUp(char c);
char StepCharacterDown(char c);

// The character editor of APT and DIRTO (while McuEntryCursor is not 0):
// acts on McuLineSelectKey (left and right move the cursor, up and down
// step the character under it, after which the entry text is the first
// word of the edited text) and draws the edited text with the cursor's
// underline and the prompt; with `draw_text` false only the prompt.
void RunCharacterEditor(McuPage& page, bool draw_text = true);

// The altitude editor's key (McuLineSelectKey) at McuEntryCursor: left
// picks the thousands (1), right the five hundreds (2); up and down step
// `altitude` at the position picked, within 0..99000.
void StepAltitude(double& altitude);
void StepAltitude(std::int32_t& altitude);

}  // namespace ovi::mcu
