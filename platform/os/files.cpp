#include "platform/os/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace ovi::os {

namespace {

std::atomic<std::int64_t> disk_space{-1};

// The file a test had judged a device (JudgeAsDeviceForTesting).
std::atomic<bool> judging_for_test{false};
std::mutex judged_mutex;
dev_t judged_device = 0;
ino_t judged_inode = 0;

void JudgeForTest(struct stat* st) {
  if (!judging_for_test.load(std::memory_order_relaxed)) return;
  const std::lock_guard<std::mutex> lock(judged_mutex);
  if (S_ISREG(st->st_mode) && st->st_dev == judged_device && st->st_ino == judged_inode)
    st->st_mode = (st->st_mode & ~S_IFMT) | S_IFCHR;
}

// write(2) of every byte, through the test's disk limit; false (errno set)
// when not all of them were written.
bool WriteAll(int fd, const char* p, std::size_t n) {
  while (n > 0) {
    std::size_t chunk = n;
    std::int64_t space = disk_space.load();
    while (space >= 0) {
      const auto take = static_cast<std::int64_t>(std::min<std::size_t>(chunk, static_cast<std::size_t>(space)));
      if (disk_space.compare_exchange_weak(space, space - take)) {
        chunk = static_cast<std::size_t>(take);
        break;
      }
    }
    if (chunk == 0) {
      errno = ENOSPC;
      return false;
    }
    const ssize_t done = ::write(fd, p, chunk);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += done;
    n -= static_cast<std::size_t>(done);
  }
  return true;
}

const char* KindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISSOCK(mode)) return "a socket";
  return "a device";
}

void Set(FileProblem* problem, FileProblem::Kind kind, std::string text) {
  if (problem == nullptr) return;
  problem->kind = kind;
  problem->text = std::move(text);
}

void SetNotRegular(FileProblem* problem, mode_t mode) {
  Set(problem, FileProblem::Kind::kNotRegular, std::string("not a regular file (") + KindOf(mode) + ")");
}

void SetFromErrno(FileProblem* problem, int error, const char* missing_text) {
  if (error == ENOENT || error == ENOTDIR)
    Set(problem, FileProblem::Kind::kMissing, missing_text);
  else if (error == ENXIO)
    Set(problem, FileProblem::Kind::kNotRegular, "not a regular file (a named pipe)");
  else
    Set(problem, FileProblem::Kind::kFailed, std::strerror(error));
}

// Up to n bytes of fd from `offset`, never past `end`.
std::int64_t ReadBefore(int fd, std::int64_t end, std::int64_t offset, char* buf, std::size_t n) {
  const std::int64_t left = end - offset;
  if (left <= 0) return 0;
  n = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(n)));
  ssize_t got;
  do {
    got = ::pread(fd, buf, n, static_cast<off_t>(offset));
  } while (got < 0 && errno == EINTR);
  return got;
}

// A regular file's stream that ends where the file ended when it was
// opened.
constexpr std::int64_t kReadBuffer = std::int64_t{1} << 16;
struct ReadCookie {
  int fd;
  std::int64_t pos;
  std::int64_t end;
  std::unique_ptr<char[]> buffer;  // the stream's
};

ssize_t CookieRead(void* c, char* buf, std::size_t size) {
  auto* r = static_cast<ReadCookie*>(c);
  const std::int64_t got = ReadBefore(r->fd, r->end, r->pos, buf, size);
  if (got > 0) r->pos += got;
  return static_cast<ssize_t>(got);
}

int CookieSeek(void* c, off64_t* offset, int whence) {
  auto* r = static_cast<ReadCookie*>(c);
  const std::int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? r->pos : r->end;
  const std::int64_t to = base + *offset;
  if (to < 0) {
    errno = EINVAL;
    return -1;
  }
  r->pos = to;
  *offset = to;
  return 0;
}

int CookieCloseRead(void* c) {
  auto* r = static_cast<ReadCookie*>(c);
  const int rc = ::close(r->fd);
  delete r;
  return rc;
}

// The writers' stream: every byte through WriteAll. The descriptor stays
// the replacement's, which syncs and closes it.
ssize_t CookieWrite(void* c, const char* buf, std::size_t size) {
  auto* sink = static_cast<detail::WriteSink*>(c);
  if (WriteAll(sink->fd, buf, size)) return static_cast<ssize_t>(size);
  if (sink->error == 0) sink->error = errno;
  return 0;  // the stream takes 0 for a failed write, never a negative count
}

int CookieCloseSink(void* c) {
  auto* sink = static_cast<detail::WriteSink*>(c);
  const int rc = ::close(sink->fd);
  delete sink;
  return rc;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A name no other writer uses at the same moment: the process, a counter
// and the clock.
std::string TemporaryName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = target.rfind('/');
  const std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1, 64);
  const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%ld-%u-%llx.tmp", static_cast<long>(::getpid()), counter.fetch_add(1),
                ticks & 0xFFFFFFull);
  return DirectoryOf(target) + "/." + base + suffix;
}

}  // namespace

std::string SizeText(std::int64_t bytes) {
  const std::int64_t mb = std::max<std::int64_t>(1, bytes >> 20);
  return std::to_string(mb) + " MB";
}

bool IsRegularFile(const std::string& path, FileProblem* problem) {
  Set(problem, FileProblem::Kind::kNone, "");
  struct stat st {};
  if (detail::Stat(path.c_str(), &st) != 0) {
    SetFromErrno(problem, errno, "no such file");
    return false;
  }
  if (S_ISREG(st.st_mode)) return true;
  SetNotRegular(problem, st.st_mode);
  return false;
}

namespace {

// The descriptor of a regular file of at most max_bytes (its size in
// `size`), or -1.
int OpenJudged(const std::string& path, std::int64_t max_bytes, std::int64_t& size, FileProblem* problem) {
  Set(problem, FileProblem::Kind::kNone, "");
  // Non-blocking: opening a named pipe would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    SetFromErrno(problem, errno, "no such file");
    return -1;
  }
  // The opened file is judged, not the name: it cannot change in between.
  struct stat st {};
  const bool judged = detail::FStat(fd, &st) == 0;
  if (!judged || !S_ISREG(st.st_mode) || st.st_size > max_bytes) {
    if (!judged)
      Set(problem, FileProblem::Kind::kFailed, std::strerror(errno));
    else if (!S_ISREG(st.st_mode))
      SetNotRegular(problem, st.st_mode);
    else
      Set(problem, FileProblem::Kind::kTooLarge, "larger than " + SizeText(max_bytes));
    ::close(fd);
    return -1;
  }
  size = static_cast<std::int64_t>(st.st_size);
  return fd;
}

}  // namespace

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool RegularFile::Open(const std::string& path, std::int64_t max_bytes, FileProblem* problem) {
  if (fd_ >= 0) ::close(fd_);
  size_ = 0;
  fd_ = OpenJudged(path, max_bytes, size_, problem);
  return fd_ >= 0;
}

std::int64_t RegularFile::ReadAt(std::int64_t offset, char* buf, std::size_t n) const {
  return fd_ >= 0 ? ReadBefore(fd_, size_, offset, buf, n) : -1;
}

std::FILE* OpenRegularFile(const std::string& path, std::int64_t max_bytes, FileProblem* problem) {
  std::int64_t size = 0;
  const int fd = OpenJudged(path, max_bytes, size, problem);
  if (fd < 0) return nullptr;
  // Such a stream reads through its buffer only, of 8 KB unless given one:
  // a reader's large reads took many reads of the file each. A seek fills
  // the buffer from a boundary of its size: 64 KB keeps that small.
  const auto buffer = static_cast<std::size_t>(std::clamp<std::int64_t>(size, 4096, kReadBuffer));
  auto* cookie = new ReadCookie{fd, 0, size, std::unique_ptr<char[]>(new char[buffer])};
  std::FILE* f = ::fopencookie(cookie, "r", cookie_io_functions_t{CookieRead, nullptr, CookieSeek, CookieCloseRead});
  if (f == nullptr) {
    Set(problem, FileProblem::Kind::kFailed, std::strerror(errno));
    CookieCloseRead(cookie);
    return nullptr;
  }
  std::setvbuf(f, cookie->buffer.get(), _IOFBF, buffer);
  return f;
}

bool ReadRegularFile(const std::string& path, std::int64_t max_bytes, std::string& data, FileProblem* problem) {
  data.clear();
  std::FILE* f = OpenRegularFile(path, max_bytes, problem);
  if (f == nullptr) return false;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  const int error = errno;
  std::fclose(f);
  if (failed) {
    data.clear();
    Set(problem, FileProblem::Kind::kFailed, std::strerror(error));
    return false;
  }
  return true;
}

FileReplacement::FileReplacement(const std::string& path, Sync sync) : target_(path), sync_(sync == Sync::kToDisk) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  }
  // What stands there is looked at, never opened: a named pipe would wait.
  const bool exists = detail::Stat(target_.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    SetNotRegular(&problem_, st.st_mode);
    return;
  }
  for (int attempt = 0; attempt < 100 && sink_.fd < 0; ++attempt) {
    temp_ = TemporaryName(target_);
    sink_.fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (sink_.fd < 0 && errno != EEXIST) break;
  }
  if (sink_.fd < 0) {
    SetFromErrno(&problem_, errno, "no such folder");
    temp_.clear();
    return;
  }
  // The file keeps who may read it.
  if (exists) ::fchmod(sink_.fd, st.st_mode & 07777);
  file_ = ::fopencookie(&sink_, "w", cookie_io_functions_t{nullptr, CookieWrite, nullptr, nullptr});
  if (file_ == nullptr) {
    Fail(FileProblem::Kind::kFailed, std::strerror(errno));
    Abandon();
  }
}

FileReplacement::~FileReplacement() {
  if (!committed_) Abandon();
}

void FileReplacement::Fail(FileProblem::Kind kind, std::string text) {
  if (problem_.kind != FileProblem::Kind::kNone) return;  // the first failure says why
  problem_.kind = kind;
  problem_.text = std::move(text);
}

void FileReplacement::Abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (sink_.fd >= 0) ::close(sink_.fd);
  sink_.fd = -1;
  closed_ = true;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool FileReplacement::Write(std::string_view data) {
  if (file_ == nullptr) return false;
  if (std::fwrite(data.data(), 1, data.size(), file_) == data.size()) return true;
  Fail(FileProblem::Kind::kFailed, std::strerror(sink_.error != 0 ? sink_.error : EIO));
  return false;
}

bool FileReplacement::Close() {
  if (closed_) return !temp_.empty();
  if (file_ == nullptr) return false;
  closed_ = true;
  bool ok = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  if (!ok) Fail(FileProblem::Kind::kFailed, std::strerror(sink_.error != 0 ? sink_.error : EIO));
  std::fclose(file_);  // the stream only; its descriptor is closed below
  file_ = nullptr;
  if (ok && sync_ && ::fsync(sink_.fd) != 0) {
    ok = false;
    Fail(FileProblem::Kind::kFailed, std::strerror(errno));
  }
  // A file system may report a failed write only here.
  if (::close(sink_.fd) != 0 && ok) {
    ok = false;
    Fail(FileProblem::Kind::kFailed, std::strerror(errno));
  }
  sink_.fd = -1;
  if (!ok) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  return ok;
}

bool FileReplacement::Commit() {
  if (committed_ || !Close()) return false;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    Fail(FileProblem::Kind::kFailed, std::strerror(errno));
    Abandon();
    return false;
  }
  temp_.clear();
  committed_ = true;
  return true;
}

bool IsTemporaryFor(std::string_view name, std::string_view target_name) {
  // "." NAME "." PID "-" COUNTER "-" CLOCK ".tmp", NAME cut to 64 characters.
  const std::string head = "." + std::string(target_name.substr(0, 64)) + ".";
  constexpr std::string_view kTail = ".tmp";
  if (name.size() <= head.size() + kTail.size() || name.substr(0, head.size()) != head ||
      name.substr(name.size() - kTail.size()) != kTail)
    return false;
  const std::string_view middle = name.substr(head.size(), name.size() - head.size() - kTail.size());
  int dashes = 0;
  bool digits = false;
  for (const char c : middle) {
    if (c == '-') {
      if (!digits) return false;
      ++dashes;
      digits = false;
    } else if (std::isxdigit(static_cast<unsigned char>(c)) && (dashes == 2 || std::isdigit(static_cast<unsigned char>(c)))) {
      digits = true;
    } else {
      return false;
    }
  }
  return dashes == 2 && digits;
}

bool ReplaceFile(const std::string& path, std::string_view data, FileProblem* problem, FileReplacement::Sync sync) {
  FileReplacement out(path, sync);
  const bool ok = out.Write(data) && out.Commit();
  if (!ok && problem != nullptr) *problem = out.problem();
  return ok;
}

bool AppendToFile(const std::string& path, std::string_view data, FileProblem* problem) {
  Set(problem, FileProblem::Kind::kNone, "");
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    SetFromErrno(problem, errno, "no such folder");
    return false;
  }
  struct stat st {};
  if (detail::FStat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    SetNotRegular(problem, st.st_mode);
    ::close(fd);
    return false;
  }
  bool ok = WriteAll(fd, data.data(), data.size());
  int error = errno;
  // A line cut part-way would be read back as a line of its own.
  if (!ok && ::ftruncate(fd, st.st_size) != 0) error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) Set(problem, FileProblem::Kind::kFailed, std::strerror(error));
  return ok;
}

std::int64_t LimitDiskSpaceForTesting(std::int64_t bytes) { return disk_space.exchange(bytes < 0 ? -1 : bytes); }

void JudgeAsDeviceForTesting(const std::string& path) {
  const std::lock_guard<std::mutex> lock(judged_mutex);
  struct stat st {};
  const bool marked = !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  judged_device = marked ? st.st_dev : 0;
  judged_inode = marked ? st.st_ino : 0;
  judging_for_test.store(marked);
}

namespace detail {

int FStat(int fd, struct stat* st) {
  const int rc = ::fstat(fd, st);
  if (rc == 0) JudgeForTest(st);
  return rc;
}

int Stat(const char* path, struct stat* st) {
  const int rc = ::stat(path, st);
  if (rc == 0) JudgeForTest(st);
  return rc;
}

std::FILE* OpenWritingStream(int fd, const char* mode) {
  auto* sink = new WriteSink{fd, 0};
  std::FILE* f = ::fopencookie(sink, mode, cookie_io_functions_t{nullptr, CookieWrite, nullptr, CookieCloseSink});
  if (f == nullptr) delete sink;
  return f;
}

}  // namespace detail

}  // namespace ovi::os
