#pragma once

namespace ovi {

// Re-creates the state of every subsystem as at module load. Tests call it in
// SetUp so that no test depends on another.
void ResetModuleState();

}  // namespace ovi
