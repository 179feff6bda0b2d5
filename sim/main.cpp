#include <cstdio>
#include <cstring>
#include <string>

#include "sim/host.h"

int main(int argc, char** argv) {
  std::string module = "GAUGES/ovi1.gau";
  bool list = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--list-gauges") == 0) list = true;
    else if (std::strcmp(argv[i], "--module") == 0 && i + 1 < argc) module = argv[++i];
  }
  ovi::sim::LoadedModule m;
  std::string error;
  if (!ovi::sim::LoadModule(module, m, error)) {
    std::fprintf(stderr, "ovi-sim: %s\n", error.c_str());
    return 2;
  }
  if (list) {
    for (const auto& n : ovi::sim::GaugeNames(m)) std::printf("%s\n", n.c_str());
  }
  ovi::sim::UnloadModule(m);
  return 0;
}
