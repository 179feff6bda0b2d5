// ovi-navgen [--size quarter|half|full|PERCENT] OUTDIR [SEED]: a synthetic
// world-sized navigation data set (or a share of it) under
// OUTDIR/ovi/navdata, for benchmarks and stress tests.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/navgen/navgen.h"

namespace {

// 1..100, or 0 when the text names no size.
int ParseSize(const std::string& s) {
  if (s == "quarter") return 25;
  if (s == "half") return 50;
  if (s == "full") return 100;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (end == s.c_str() || *end != '\0' || v < 1 || v > 100) return 0;
  return static_cast<int>(v);
}

int Usage() {
  std::fprintf(stderr, "usage: ovi-navgen [--size quarter|half|full|PERCENT] OUTDIR [SEED]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int percent = 100;
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--size") == 0) {
    if (argc < 3 || (percent = ParseSize(argv[2])) == 0) return Usage();
    first = 3;
  }
  const int rest = argc - first;
  if (rest != 1 && rest != 2) return Usage();
  const char* dir = argv[first];
  const std::uint32_t seed = rest == 2 ? static_cast<std::uint32_t>(std::strtoul(argv[first + 1], nullptr, 10)) : 1u;
  ovi::navgen::WorldStats st;
  if (!ovi::navgen::WriteSyntheticWorld(dir, ovi::navgen::ScaledWorld(percent), seed, &st)) {
    std::fprintf(stderr, "ovi-navgen: cannot write under %s\n", dir);
    return 1;
  }
  std::printf("%d navaids, %d airports (%d runway lines), %d intersections, %d airway lines, %d boundaries\n",
              st.navaids, st.airports, st.runway_lines, st.intersections, st.airway_lines, st.boundaries);
  return 0;
}
