#include "sim/out_folder.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "platform/os/files.h"
#include "sim/text_file.h"

namespace ovi::sim {

namespace fs = std::filesystem;

namespace {

// The paths a run listed, relative to the folder; folders end in '/'. Only
// a manifest that is a plain file of its own counts.
std::set<std::string> ListedOutputs(const fs::path& manifest) {
  constexpr std::int64_t kMaxManifest = std::int64_t{64} << 20;
  std::set<std::string> listed;
  std::error_code ec;
  std::string text;
  if (!fs::is_regular_file(fs::symlink_status(manifest, ec)) ||
      !os::ReadRegularFile(manifest.string(), kMaxManifest, text))
    return listed;
  ForEachLine(text, [&](int, const std::string& line) {
    if (!line.empty() && line[0] != ';') listed.insert(line);
    return true;
  });
  return listed;
}

// A file a run listed, or the temporary it was writing one of them into
// when it was stopped.
bool Listed(const std::set<std::string>& listed, const fs::path& rel) {
  if (listed.count(rel.generic_string()) != 0) return true;
  const std::string name = rel.filename().string();
  const fs::path folder = rel.parent_path();
  for (const std::string& l : listed) {
    const fs::path p(l);
    if (p.parent_path() == folder && os::IsTemporaryFor(name, p.filename().string())) return true;
  }
  return false;
}

// A relative path that stays inside the folder.
bool Inside(const fs::path& rel) {
  if (rel.empty() || rel.is_absolute()) return false;
  for (const fs::path& part : rel)
    if (part == "..") return false;
  return true;
}

// What ovi-sim listed in the folder a tool handed it as --out, once the
// tool listed that folder as its own.
class NestedOutputs {
 public:
  NestedOutputs(const fs::path& dir, const std::set<std::string>& listed, const char* sim_out) {
    if (sim_out == nullptr || listed.count(sim_out) == 0) return;
    const fs::path manifest = dir / sim_out / kOutputManifest;
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(manifest, ec))) return;
    folder_ = sim_out;
    listed_ = ListedOutputs(manifest);
  }

  bool Lists(const fs::path& rel) const {
    const std::string r = rel.generic_string();
    if (folder_.empty() || r.compare(0, folder_.size(), folder_) != 0) return false;
    const fs::path inner = r.substr(folder_.size());
    return inner == kOutputManifest || Listed(listed_, inner);
  }

  // Its folders, relative to the tool's folder.
  std::vector<std::string> Folders() const {
    std::vector<std::string> all;
    for (const std::string& l : listed_)
      if (l.back() == '/' && Inside(l)) all.push_back(folder_ + l);
    return all;
  }

 private:
  std::string folder_;
  std::set<std::string> listed_;
};

}  // namespace

bool LiesIn(const std::string& path, const std::string& folder) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
  const fs::path f = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (p.empty() || f.empty()) return false;
  const fs::path rel = p.lexically_relative(f);
  return !rel.empty() && *rel.begin() != "..";
}

bool OutFolder::RemoveListed(std::string& error) {
  const std::string& dir = dir_;
  const std::string tool = writer_.tool;
  std::error_code ec;
  const fs::path manifest = fs::path(dir) / writer_.manifest;
  const std::set<std::string> listed = ListedOutputs(manifest);
  const bool have_manifest = fs::is_regular_file(fs::symlink_status(manifest, ec));
  const NestedOutputs nested(dir, listed, writer_.sim_out);
  // Every file must be listed; the walk stops at the first that is not,
  // so a folder of someone's own costs one look.
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path rel = it->path().lexically_relative(dir);
    std::error_code kind;
    if (it->is_directory(kind) && !it->is_symlink(kind)) continue;
    if (have_manifest && rel == writer_.manifest) continue;
    if (!Listed(listed, rel) && !nested.Lists(rel)) {
      error = dir + ": holds " + rel.generic_string() + ", which " + tool + " did not write; " + writer_.takes;
      return false;
    }
    files.push_back(it->path());
  }
  if (ec) {
    error = dir + ": cannot read the output folder: " + ec.message();
    return false;
  }
  for (const fs::path& f : files) {
    if (!fs::remove(f, ec) && ec) {
      error = f.string() + ": cannot remove an earlier run's output: " + ec.message();
      return false;
    }
  }
  // The earlier run's folders, the deepest first, where nothing else stays.
  std::vector<std::string> folders = nested.Folders();
  for (const std::string& l : listed)
    if (l.back() == '/') folders.push_back(l);
  std::sort(folders.begin(), folders.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (const std::string& f : folders) {
    const fs::path p = fs::path(dir) / f;
    if (Inside(f) && fs::is_directory(fs::symlink_status(p, ec)) && fs::is_empty(p, ec)) fs::remove(p, ec);
  }
  return true;
}

bool OutFolder::Prepare(const std::string& dir, std::string& error) {
  dir_ = dir;
  noted_.clear();
  std::error_code ec;
  const fs::file_status st = fs::status(dir, ec);
  if (!fs::exists(st)) {
    fs::create_directories(dir, ec);
    if (ec) {
      error = dir + ": cannot create the output folder: " + ec.message();
      return false;
    }
  } else if (!fs::is_directory(st)) {
    error = dir + ": not a folder (" + writer_.names + ")";
    return false;
  } else if (!RemoveListed(error)) {
    return false;
  }
  if (!OpenManifest("w", error)) return false;
  if (std::fprintf(manifest_.get(), "; what the last %s run here wrote: the next run into this folder removes it\n",
                   writer_.tool) < 0) {
    error = dir + "/" + writer_.manifest + ": cannot write";
    return false;
  }
  std::fflush(manifest_.get());
  return true;
}

bool OutFolder::Remove(const std::string& dir, std::string& error) {
  manifest_.reset();
  dir_ = dir;
  noted_.clear();
  std::error_code ec;
  const fs::path manifest = fs::path(dir) / writer_.manifest;
  if (!fs::is_directory(fs::symlink_status(dir, ec)) || !fs::is_regular_file(fs::symlink_status(manifest, ec))) {
    error = dir + ": holds no " + writer_.manifest + ", so no " + writer_.tool + " run wrote it";
    return false;
  }
  if (!RemoveListed(error)) return false;
  fs::remove(manifest, ec);
  if (fs::is_empty(dir, ec)) fs::remove(dir, ec);
  return true;
}

bool MakeTemporaryFolder(const std::string& prefix, std::string& dir, std::string& error) {
  std::error_code ec;
  std::string name = (fs::temp_directory_path(ec) / (prefix + "XXXXXX")).string();
  if (ec || ::mkdtemp(name.data()) == nullptr) {
    error = name + ": cannot make a folder: " + (ec ? ec.message() : std::strerror(errno));
    return false;
  }
  dir = name;
  return true;
}

TemporaryOutputs::TemporaryOutputs(const OutputWriter& writer, const std::string& prefix) : folder_(writer) {
  if (MakeTemporaryFolder(prefix, dir_, error_) && !folder_.Prepare(dir_, error_)) dir_.clear();
}

TemporaryOutputs::~TemporaryOutputs() {
  std::string unused;
  if (!dir_.empty()) folder_.Remove(dir_, unused);
}

bool OutFolder::Resume(const std::string& dir, std::string& error) {
  dir_ = dir;
  noted_.clear();
  std::error_code ec;
  const fs::file_status st = fs::status(dir, ec);
  if (!fs::exists(st)) {
    error = dir + ": no such folder";
    return false;
  }
  if (!fs::is_directory(st)) {
    error = dir + ": not a folder (" + writer_.names + ")";
    return false;
  }
  const fs::path manifest = fs::path(dir) / writer_.manifest;
  if (!fs::is_regular_file(fs::symlink_status(manifest, ec))) {
    error = dir + ": holds no " + writer_.manifest + ", so no " + writer_.tool + " run wrote it";
    return false;
  }
  noted_ = ListedOutputs(manifest);
  return OpenManifest("a", error);
}

bool OutFolder::OpenManifest(const char* mode, std::string& error) {
  manifest_.reset(std::fopen((fs::path(dir_) / writer_.manifest).c_str(), mode));
  if (!manifest_) {
    error = dir_ + "/" + writer_.manifest + ": cannot write";
    return false;
  }
  return true;
}

std::string OutFolder::Line(const std::string& path, bool folder) const {
  const fs::path rel = fs::path(path).lexically_normal().lexically_relative(fs::path(dir_).lexically_normal());
  if (!Inside(rel) || rel == ".") return "";
  return rel.generic_string() + (folder ? "/" : "");
}

bool OutFolder::Lists(const std::string& path, bool folder) const {
  const std::string line = Line(path, folder);
  return !line.empty() && noted_.count(line) != 0;
}

void OutFolder::Note(const std::string& path, bool folder) {
  if (!manifest_) return;
  const std::string line = Line(path, folder);
  if (line.empty() || !noted_.insert(line).second) return;
  std::fprintf(manifest_.get(), "%s\n", line.c_str());
  std::fflush(manifest_.get());
}

}  // namespace ovi::sim
