// A synthetic world-sized data set for a benchmark: written on first use
// into a temporary folder of its own (one a process, so runs from several
// builds at once never regenerate or delete each other's set) and removed
// with the object.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/navgen/navgen.h"

namespace ovi::bench {

class WorldSet {
 public:
  explicit WorldSet(const std::string& tool)
      : dir_(std::filesystem::temp_directory_path() / ("ovi_" + tool + "_world_" + std::to_string(getpid()))) {
    if (!navgen::WriteSyntheticWorld(dir_.string(), navgen::ScaledWorld(100), 1, nullptr)) {
      std::fprintf(stderr, "%s: cannot write the data set under %s\n", tool.c_str(), dir_.string().c_str());
      std::exit(1);
    }
  }
  ~WorldSet() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  WorldSet(const WorldSet&) = delete;
  WorldSet& operator=(const WorldSet&) = delete;

  std::string Folder() const { return dir_.string(); }

 private:
  std::filesystem::path dir_;
};

}  // namespace ovi::bench
