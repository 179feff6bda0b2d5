// The --out folder holds the outputs of one run. Each output is listed in
// the folder's manifest before it is written; the next run into the folder
// removes what the manifest lists, and refuses a folder that holds any other
// file. So no picture of an earlier run passes for this run's, and no file
// ovi-sim did not write is ever removed.
#pragma once

#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace ovi::sim {

// The manifest's name in the folder.
inline constexpr char kOutputManifest[] = "ovi-sim-outputs.txt";

class OutFolder {
 public:
  // Makes `dir` ready for this run's outputs: created when missing; the
  // files and folders an earlier run listed removed; the manifest started.
  // False with `error` when `dir` is no folder, holds a file no run wrote
  // (then nothing is removed), or cannot be written.
  bool Prepare(const std::string& dir, std::string& error);

  // Lists `path` as this run's before it is written (a folder: before it is
  // made). A path outside the folder is not listed.
  void Note(const std::string& path, bool folder = false);

 private:
  std::string dir_;
  std::set<std::string> noted_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> manifest_{nullptr, std::fclose};
};

}  // namespace ovi::sim
