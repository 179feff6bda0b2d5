// ovi-navgen OUTDIR: a synthetic world-sized navigation data set under
// OUTDIR/ovi/navdata, for benchmarks and stress tests.
#include <cstdio>
#include <cstdlib>

#include "tools/navgen/navgen.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: ovi-navgen OUTDIR [SEED]\n");
    return 2;
  }
  const std::uint32_t seed = argc == 3 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1u;
  ovi::navgen::WorldStats st;
  if (!ovi::navgen::WriteSyntheticWorld(argv[1], ovi::navgen::WorldSize{}, seed, &st)) {
    std::fprintf(stderr, "ovi-navgen: cannot write under %s\n", argv[1]);
    return 1;
  }
  std::printf("%d navaids, %d airports (%d runway lines), %d intersections, %d airway lines, %d boundaries\n",
              st.navaids, st.airports, st.runway_lines, st.intersections, st.airway_lines, st.boundaries);
  return 0;
}
