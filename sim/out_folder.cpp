#include "sim/out_folder.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "platform/os/files.h"
#include "sim/text_file.h"

namespace ovi::sim {

namespace fs = std::filesystem;

namespace {

// The paths an earlier run listed, relative to the folder; folders end in
// '/'. Only a manifest that is a plain file of its own counts.
std::set<std::string> ListedOutputs(const fs::path& manifest) {
  std::set<std::string> listed;
  std::error_code ec;
  std::string text, error;
  if (!fs::is_regular_file(fs::symlink_status(manifest, ec)) || !ReadTextFile(manifest.string(), text, error))
    return listed;
  ForEachLine(text, [&](int, const std::string& line) {
    if (!line.empty() && line[0] != ';') listed.insert(line);
    return true;
  });
  return listed;
}

// A file an earlier run listed, or the temporary it was writing one of them
// into when it was stopped.
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

}  // namespace

bool OutFolder::Prepare(const std::string& dir, std::string& error) {
  dir_ = dir;
  std::error_code ec;
  const fs::file_status st = fs::status(dir, ec);
  if (!fs::exists(st)) {
    fs::create_directories(dir, ec);
    if (ec) {
      error = dir + ": cannot create the output folder: " + ec.message();
      return false;
    }
  } else if (!fs::is_directory(st)) {
    error = dir + ": not a folder (--out names the folder the outputs go into)";
    return false;
  } else {
    const fs::path manifest = fs::path(dir) / kOutputManifest;
    const std::set<std::string> listed = ListedOutputs(manifest);
    const bool have_manifest = fs::is_regular_file(fs::symlink_status(manifest, ec));
    // Every file must be listed; the walk stops at the first that is not,
    // so a folder of someone's own costs one look.
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path rel = it->path().lexically_relative(dir);
      std::error_code kind;
      if (it->is_directory(kind) && !it->is_symlink(kind)) continue;
      if (have_manifest && rel == kOutputManifest) continue;
      if (!Listed(listed, rel)) {
        error = dir + ": holds " + rel.generic_string() +
                ", which ovi-sim did not write; --out takes a new or empty folder, or one an earlier run "
                "wrote (left as it is)";
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
    std::vector<std::string> folders;
    for (const std::string& l : listed)
      if (l.back() == '/') folders.push_back(l);
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& f : folders) {
      const fs::path p = fs::path(dir) / f;
      if (Inside(f) && fs::is_directory(fs::symlink_status(p, ec)) && fs::is_empty(p, ec)) fs::remove(p, ec);
    }
  }
  manifest_.reset(std::fopen((fs::path(dir) / kOutputManifest).c_str(), "w"));
  if (!manifest_ || std::fputs("; what the last ovi-sim run here wrote: the next run into this folder removes it\n",
                               manifest_.get()) < 0) {
    error = dir + "/" + kOutputManifest + ": cannot write";
    return false;
  }
  std::fflush(manifest_.get());
  return true;
}

void OutFolder::Note(const std::string& path, bool folder) {
  if (!manifest_) return;
  const fs::path rel = fs::path(path).lexically_normal().lexically_relative(fs::path(dir_).lexically_normal());
  const std::string line = rel.generic_string() + (folder ? "/" : "");
  if (!Inside(rel) || rel == "." || !noted_.insert(line).second) return;
  std::fprintf(manifest_.get(), "%s\n", line.c_str());
  std::fflush(manifest_.get());
}

}  // namespace ovi::sim
