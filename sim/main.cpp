#include <cstdio>
#include <exception>

#include "sim/run.h"

int main(int argc, char** argv) {
  try {
    return ovi::sim::RunCommandLine(argc, argv, stdout, stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ovi-sim: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "ovi-sim: unexpected failure\n");
  }
  return 1;
}
