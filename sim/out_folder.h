// A folder of outputs holds what one tool wrote into it. Each output is
// listed in the folder's manifest before it is written; the next run into
// the folder removes what the manifest lists, and refuses a folder that
// holds any other file. So no picture of an earlier run passes for this
// run's, and no file the tool did not write is ever removed. ovi-sim keeps
// these rules for --out; the tools that write folders (ovi-flights) keep
// them too, each with a manifest of its own.
#pragma once

#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace ovi::sim {

// The manifest's name in ovi-sim's --out folder.
inline constexpr char kOutputManifest[] = "ovi-sim-outputs.txt";

// The tool that writes a folder, as its manifest and refusals name it.
struct OutputWriter {
  const char* tool;      // "ovi-sim"
  const char* manifest;  // the manifest's name in the folder
  const char* names;     // what the folder's name stands for, said when it is no folder
  const char* takes;     // which folders the tool takes, said when one is refused
  // The folder in it ("out/") the tool hands to ovi-sim as --out, whose
  // outputs (as ovi-sim's own manifest there lists them) are the tool's
  // too, also when the tool was stopped before it could list them; or none.
  const char* sim_out = nullptr;
};

inline constexpr OutputWriter kSimOutputs{
    "ovi-sim", kOutputManifest, "--out names the folder the outputs go into",
    "--out takes a new or empty folder, or one an earlier run wrote (left as it is)"};

// True when `path` (its links followed) is `folder` or lies in it: an
// input a tool would write over when it writes the folder.
bool LiesIn(const std::string& path, const std::string& folder);

class OutFolder {
 public:
  explicit OutFolder(const OutputWriter& writer = kSimOutputs) : writer_(writer) {}

  // Makes `dir` ready for this run's outputs: created when missing; the
  // files and folders an earlier run listed removed; the manifest started.
  // False with `error` when `dir` is no folder, holds a file no run wrote
  // (then nothing is removed), or cannot be written.
  bool Prepare(const std::string& dir, std::string& error);

  // Takes up a folder an earlier run made ready, its outputs kept, so that
  // more are listed beside them. False with `error` when `dir` is no
  // folder or holds no manifest of this tool's (no run of it wrote there).
  bool Resume(const std::string& dir, std::string& error);

  // True when `path` is listed as an output, by this run or the earlier
  // one taken up (a folder: listed as a folder).
  bool Lists(const std::string& path, bool folder = false) const;

  // Lists `path` as this run's before it is written (a folder: before it is
  // made). A path outside the folder is not listed.
  void Note(const std::string& path, bool folder = false);

  // Removes what the runs that wrote `dir` listed, their manifest, and the
  // folder itself where nothing else stays in it. False with `error`, and
  // nothing removed, when `dir` holds no manifest of this tool's or a file
  // no run listed.
  bool Remove(const std::string& dir, std::string& error);

 private:
  bool OpenManifest(const char* mode, std::string& error);
  // Removes what the manifest in `dir_` lists (ovi-sim's nested outputs
  // too), the folders deepest first where nothing else stays; refuses,
  // removing nothing, when the folder holds a file it does not list.
  bool RemoveListed(std::string& error);
  // `path` relative to the folder, as the manifest lists it; empty when it
  // is outside the folder or the folder itself.
  std::string Line(const std::string& path, bool folder) const;

  OutputWriter writer_;
  std::string dir_;
  std::set<std::string> noted_;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> manifest_{nullptr, std::fclose};
};

// Makes a new folder of its own in the temporary folder, named `prefix`
// and six letters (mkdtemp): no one else's file is in it.
bool MakeTemporaryFolder(const std::string& prefix, std::string& dir, std::string& error);

// A tool's scratch folder for one run: made new in the temporary folder,
// and removed with the object, the files noted in it and nothing else.
class TemporaryOutputs {
 public:
  TemporaryOutputs(const OutputWriter& writer, const std::string& prefix);
  ~TemporaryOutputs();
  TemporaryOutputs(const TemporaryOutputs&) = delete;
  TemporaryOutputs& operator=(const TemporaryOutputs&) = delete;

  // The folder; empty, with Error() saying why, where none could be made.
  const std::string& Folder() const { return dir_; }
  const std::string& Error() const { return error_; }
  // Lists `path` before it is written (a folder: before it is made).
  void Note(const std::string& path, bool folder = false) { folder_.Note(path, folder); }

 private:
  OutFolder folder_;
  std::string dir_, error_;
};

}  // namespace ovi::sim
