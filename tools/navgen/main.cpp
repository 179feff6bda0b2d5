// ovi-navgen [--size quarter|half|full|PERCENT] [--overwrite] OUTDIR [SEED]:
// a synthetic world-sized navigation data set (or a share of it) under
// OUTDIR/ovi/navdata, for benchmarks and stress tests.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/navgen/navgen.h"
#include "tools/usage.h"

namespace {

const char kUsage[] =
    "usage: ovi-navgen [--size quarter|half|full|PERCENT] [--overwrite] OUTDIR [SEED]\n"
    "Writes a synthetic world-sized navigation data set (or that share of it) into\n"
    "OUTDIR/ovi/navdata. A folder that already holds navigation data is left alone\n"
    "unless --overwrite is given. SEED (default 1) picks another world of the same size.\n";

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

// A whole number 0..4294967295 written in digits: taken as 0, a mistyped
// seed would quietly give the same world as every other mistake.
bool ParseSeed(const char* s, std::uint32_t& out) {
  if (*s < '0' || *s > '9') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(s, &end, 10);
  if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(v);
  return true;
}

// The rule broken, then the usage.
int Usage(const char* why) {
  std::fprintf(stderr, "ovi-navgen: %s\n%s", why, kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (int rc = ovi::tools::CheckOptions(argc, argv, "ovi-navgen", kUsage, {"--size", "--overwrite"}); rc >= 0)
    return rc;
  int percent = 100;
  bool overwrite = false;
  std::vector<const char*> operands;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--size") == 0) {
      if (i + 1 >= argc || (percent = ParseSize(argv[++i])) == 0)
        return Usage("--size takes quarter, half, full or a whole percentage from 1 to 100");
    } else if (std::strcmp(argv[i], "--overwrite") == 0) {
      overwrite = true;
    } else {
      operands.push_back(argv[i]);
    }
  }
  if (operands.empty()) return Usage("OUTDIR, the folder to write into, is needed");
  if (operands.size() > 2) return Usage("more than OUTDIR and SEED given");
  const char* dir = operands[0];
  // An empty name would be the current folder, which no one named.
  if (*dir == '\0') return Usage("OUTDIR is empty; name the folder to write into ('.' for the current one)");
  std::uint32_t seed = 1;
  if (operands.size() == 2 && !ParseSeed(operands[1], seed)) {
    std::fprintf(stderr, "ovi-navgen: SEED '%.40s' is not a whole number from 0 to 4294967295\n", operands[1]);
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (const auto existing = ovi::navgen::ExistingWorldFiles(dir); !existing.empty() && !overwrite) {
    std::string names;
    for (const std::string& n : existing) names += (names.empty() ? "" : ", ") + n;
    std::fprintf(stderr, "ovi-navgen: %s/ovi/navdata already holds navigation data (%s): left as it is; "
                 "--overwrite replaces it\n", dir, names.c_str());
    return 1;
  }
  ovi::navgen::WorldStats st;
  std::string error;
  if (!ovi::navgen::WriteSyntheticWorld(dir, ovi::navgen::ScaledWorld(percent), seed, &st, &error)) {
    std::fprintf(stderr, "ovi-navgen: cannot write under %s: %s\n", dir, error.c_str());
    return 1;
  }
  std::printf("%d navaids, %d airports (%d runway lines), %d intersections, %d airway lines, %d boundaries\n",
              st.navaids, st.airports, st.runway_lines, st.intersections, st.airway_lines, st.boundaries);
  return 0;
}
