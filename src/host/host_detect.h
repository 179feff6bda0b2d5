// Which simulator the module runs in. The FS2004 host is the default; an
// FSX or ESP host is recognised by its executable in the simulator's folder
// and changes how a few simulator variables are read.
#pragma once

namespace ovi::host {

// Executable names (compared without regard to case) that mark an FSX or
// ESP host when one of them lies in the simulator's folder.
inline constexpr const char* kFsxHostExecutables[] = {"fsx.exe", "esp.exe", "Prepar3D.exe"};

// Sets host_state.SimHostVersion to 10 when the simulator's folder holds one
// of those executables, else to 9, and returns it.
int DetectSimHost();

}  // namespace ovi::host
