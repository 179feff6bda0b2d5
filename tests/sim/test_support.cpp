#include "tests/sim/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/gfx/device_context.h"
#include "platform/gfx/image_io.h"

namespace ovi::sim::test {

ScratchDir::ScratchDir(const std::string& name) {
  path_ = (std::filesystem::temp_directory_path() / ("ovi_sim_" + name + "_" + std::to_string(::getpid()))).string();
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void CopySampleSimulator(const ScratchDir& dir) {
  std::filesystem::copy(std::string(OVI_SOURCE_DIR) + "/data", dir.path(), std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(dir / "GAUGES");
  std::filesystem::copy_file(OVI_MODULE_PATH, dir / "GAUGES/ovi1.gau");
}

void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream f(path, std::ios::binary);
  f << text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string l; std::getline(s, l);) lines.push_back(l);
  return lines;
}

std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string rel = std::filesystem::relative(e.path(), dir).string();
    if (e.is_symlink()) files[rel] = "link to " + std::filesystem::read_symlink(e.path()).string();
    else if (e.is_fifo()) files[rel] = "named pipe";
    else if (e.is_regular_file()) files[rel] = ReadFile(e.path());
  }
  return files;
}

namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

RunResult RunSim(const std::vector<std::string>& args, const std::string& cwd) {
  return RunProgram(OVI_SIM_PATH, args, cwd);
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& cwd) {
  static int counter = 0;
  std::string base = (std::filesystem::temp_directory_path() /
                      ("ovi_sim_run_" + std::to_string(::getpid()) + "_" + std::to_string(++counter)))
                         .string();
  std::string cmd;
  if (!cwd.empty()) cmd = "cd " + Quote(cwd) + " && ";
  cmd += Quote(program);
  for (const auto& a : args) cmd += " " + Quote(a);
  cmd += " >" + Quote(base + ".out") + " 2>" + Quote(base + ".err") + " </dev/null";
  int status = std::system(cmd.c_str());
  RunResult r;
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadFile(base + ".out");
  r.err = ReadFile(base + ".err");
  std::filesystem::remove(base + ".out");
  std::filesystem::remove(base + ".err");
  return r;
}

void WriteSolidBitmap(const std::string& path, int w, int h, unsigned argb) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  gfx::DeviceContext dc(w, h);
  std::fill(dc.pixels.begin(), dc.pixels.end(), argb);
  gfx::WritePng(dc, path);
}

}  // namespace ovi::sim::test
