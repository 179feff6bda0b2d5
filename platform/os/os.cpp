#include "platform/os/os.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <ctime>

namespace ovi::os {

std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buf) {
  if (buf == nullptr || size == 0) return 0;
  char tmp[4096];
  if (::getcwd(tmp, sizeof tmp) == nullptr) return 0;
  std::size_t n = std::strlen(tmp);
  if (n + 1 > size) return 0;
  std::memcpy(buf, tmp, n + 1);
  return static_cast<std::uint32_t>(n);
}

namespace {

bool Exists(const std::string& p) {
  struct stat st{};
  return ::stat(p.c_str(), &st) == 0;
}

// Finds `name` in `dir` ignoring case; returns the name as it is on disk.
std::optional<std::string> FindIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "/" : dir.c_str());
  if (d == nullptr) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

std::optional<std::string> MapPath(std::string_view windows_path) {
  if (windows_path.empty() || windows_path.size() >= kMaxPath) return std::nullopt;
  if (windows_path.find('\0') != std::string_view::npos) return std::nullopt;
  std::string p(windows_path);
  std::replace(p.begin(), p.end(), '\\', '/');
  // A drive letter means nothing here.
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) p.erase(0, 2);
  if (p.empty()) return std::nullopt;

  std::string out = p[0] == '/' ? "" : ".";
  std::size_t i = 0;
  while (i < p.size()) {
    std::size_t j = p.find('/', i);
    if (j == std::string::npos) j = p.size();
    std::string comp = p.substr(i, j - i);
    i = j + 1;
    if (comp.empty() || comp == ".") continue;
    std::string candidate = out + "/" + comp;
    if (comp != ".." && !Exists(candidate)) {
      if (auto real = FindIgnoringCase(out.empty() ? "/" : out, comp)) candidate = out + "/" + *real;
    }
    out = std::move(candidate);
  }
  if (out.empty()) out = "/";
  return out;
}

namespace {

bool Mapped(std::string_view windows_path, std::string& path, FileProblem* problem) {
  auto p = MapPath(windows_path);
  if (p) {
    path = std::move(*p);
    return true;
  }
  if (problem != nullptr) *problem = {FileProblem::Kind::kMissing, "no such file"};
  return false;
}

}  // namespace

std::FILE* OpenFile(std::string_view windows_path, const char* mode) {
  std::string path;
  if (mode == nullptr || !Mapped(windows_path, path, nullptr)) return nullptr;
  if (mode[0] == 'r' && std::strchr(mode, '+') == nullptr) return OpenRegularFile(path, kMaxReadBytes);
  int flags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (std::strchr(mode, '+') != nullptr ? O_RDWR : O_WRONLY);
  if (mode[0] != 'r') flags |= O_CREAT;
  if (mode[0] == 'a') flags |= O_APPEND;
  // Non-blocking, and truncated only once it is known to be a file: a named
  // pipe would otherwise wait for a reader.
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return nullptr;
  struct stat st{};
  if (detail::FStat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (mode[0] == 'w' && ::ftruncate(fd, 0) != 0) ||
      ::fcntl(fd, F_SETFL, flags & ~(O_NONBLOCK | O_CREAT)) != 0) {
    ::close(fd);
    return nullptr;
  }
  // Written through the one writer, whose tests can fill the disk.
  std::FILE* f = (flags & O_RDWR) != 0 ? ::fdopen(fd, mode) : detail::OpenWritingStream(fd, mode);
  if (f == nullptr) ::close(fd);
  return f;
}

std::FILE* OpenFileForReading(std::string_view windows_path, std::int64_t max_bytes, FileProblem* problem) {
  std::string path;
  return Mapped(windows_path, path, problem) ? OpenRegularFile(path, max_bytes, problem) : nullptr;
}

bool ReadWholeFile(std::string_view windows_path, std::int64_t max_bytes, std::string& data, FileProblem* problem) {
  std::string path;
  data.clear();
  return Mapped(windows_path, path, problem) && ReadRegularFile(path, max_bytes, data, problem);
}

bool SaveFile(std::string_view windows_path, std::string_view data, FileProblem* problem) {
  std::string path;
  return Mapped(windows_path, path, problem) && ReplaceFile(path, data, problem);
}

bool SaveScratchFile(std::string_view windows_path, std::string_view data, FileProblem* problem) {
  std::string path;
  return Mapped(windows_path, path, problem) &&
         ReplaceFile(path, data, problem, FileReplacement::Sync::kToSystem);
}

bool AppendFile(std::string_view windows_path, std::string_view data, FileProblem* problem) {
  std::string path;
  return Mapped(windows_path, path, problem) && AppendToFile(path, data, problem);
}

std::vector<std::string> ListFiles(std::string_view windows_folder, std::string_view extension,
                                   std::vector<UnlistedFile>* unlisted) {
  std::vector<std::string> names;
  auto dir = MapPath(windows_folder);
  if (!dir) return names;
  DIR* d = ::opendir(dir->c_str());
  if (d == nullptr) return names;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n.size() < extension.size()) continue;
    if (::strcasecmp(n.c_str() + n.size() - extension.size(), std::string(extension).c_str()) != 0)
      continue;
    if (n == "." || n == "..") continue;
    FileProblem problem;
    if (!IsRegularFile(*dir + "/" + n, &problem)) {
      if (unlisted != nullptr) unlisted->push_back({std::move(n), std::move(problem.text)});
      continue;
    }
    names.push_back(std::move(n));
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  if (unlisted != nullptr) {
    std::sort(unlisted->begin(), unlisted->end(),
              [](const UnlistedFile& a, const UnlistedFile& b) { return a.name < b.name; });
  }
  return names;
}

bool IsFolder(std::string_view windows_path) {
  auto p = MapPath(windows_path);
  struct stat st{};
  return p && ::stat(p->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

SystemTime ClockTime(bool local) {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  std::tm tm{};
  if (local) ::localtime_r(&t, &tm);
  else ::gmtime_r(&t, &tm);
  int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_wday, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms};
}

}  // namespace

SystemTime GetSystemTime() { return ClockTime(false); }

SystemTime GetLocalTime() { return ClockTime(true); }

}  // namespace ovi::os
