// The ovi-sim command line.
#pragma once

#include <cstdio>

namespace ovi::sim {

// Runs the stand-in as the command line asks; returns the process exit code
// (0 done, 1 bad input, 2 bad usage). Messages go to `err`, the summary and
// the gauge list to `out`.
int RunCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace ovi::sim
