// A synthetic world-sized data set for a benchmark: written on first use
// into a temporary folder of its own (made new for the process, so runs
// from several builds at once never regenerate or delete each other's set)
// and removed with the object: the files it wrote, and nothing else.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "sim/out_folder.h"
#include "tools/navgen/navgen.h"

namespace ovi::bench {

// What a benchmark writes into its temporary folders.
inline constexpr sim::OutputWriter kBenchOutputs{"the benchmark", "ovi-bench-outputs.txt",
                                                 "a benchmark's data folder", "a folder the benchmark made"};

class WorldSet {
 public:
  // The world at `percent` of its full size (1..100).
  explicit WorldSet(const std::string& tool, int percent = 100)
      : out_(kBenchOutputs, "ovi_" + tool + "_world_" + std::to_string(percent) + "_") {
    std::string error = out_.Error();
    if (!out_.Folder().empty()) {
      out_.Note(Folder() + "/ovi", true);
      out_.Note(Folder() + "/ovi/navdata", true);
      for (const std::string& f : navgen::WorldFiles()) out_.Note(Folder() + "/" + f);
      if (navgen::WriteSyntheticWorld(Folder(), navgen::ScaledWorld(percent), 1, nullptr, &error)) return;
    }
    std::fprintf(stderr, "%s: cannot write the data set: %s\n", tool.c_str(), error.c_str());
    std::exit(1);
  }

  std::string Folder() const { return out_.Folder(); }
  std::filesystem::path File(const char* name) const {
    return std::filesystem::path(Folder()) / "ovi" / "navdata" / name;
  }

 private:
  sim::TemporaryOutputs out_;
};

}  // namespace ovi::bench
