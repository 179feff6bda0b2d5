// The names SAVE FPL accepts for a route file: a plain file name of the
// flight-plan folder, never a path.
#pragma once

#include <cstddef>
#include <string_view>

namespace ovi::fms {

// A typed name (24 characters) with ".RTE" appended.
inline constexpr std::size_t kMaxSaveNameLength = 28;

// Letters, digits, '-' and '_', at most one '.' and not in front; not empty
// and at most kMaxSaveNameLength characters; not a device name (CON, PRN,
// AUX, NUL, COM1-COM9, LPT1-LPT9, any case, with or without extension);
// not TEMP or TEMP.RTE in any case, the scratch file of the .PLN loads;
// no .PLN extension, the simulator's plans the plan list reads.
bool IsPlainFileName(std::string_view name);

}  // namespace ovi::fms
