// Helpers shared by the stand-in's tests: scratch folders, files, and runs
// of the ovi-sim executable.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace ovi::sim::test {

// A fresh folder under the system's temporary folder, removed on scope exit.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name);
  ~ScratchDir();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

 private:
  std::string path_;
};

// Copies the sample simulator folder (data/) into `dir`, with the built
// module in its GAUGES folder.
void CopySampleSimulator(const ScratchDir& dir);

void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
std::vector<std::string> Lines(const std::string& text);

// Every file under `dir` with its bytes (a named pipe or a link as its kind).
std::map<std::string, std::string> Snapshot(const std::string& dir);

struct RunResult {
  int exit_code = -1;
  std::string out, err;
};

// Runs ovi-sim with the arguments (each quoted for the shell).
RunResult RunSim(const std::vector<std::string>& args, const std::string& cwd = "");
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& cwd = "");

// Writes solid-colour bitmaps resources/<id>.png (ARGB) for the background
// elements of the fake module.
void WriteSolidBitmap(const std::string& path, int w, int h, unsigned argb);

}  // namespace ovi::sim::test
