// Files read so that nothing waits on them, and written so that a write
// that fails destroys nothing. Every reader and writer of the module, the
// stand-in and the tools goes through here (the module through os.h, which
// maps its Windows-style paths onto these).
//
// Reading: only a regular file is read. A named pipe would wait for a
// writer forever and a device such as /dev/zero never ends, so either is
// refused at once, before a byte is read, and so is a folder or a socket.
// Each kind of file has a size it never exceeds; a larger one is refused
// whole, and a file that grows while it is read is read as it was opened.
//
// Writing over a file: the new contents go to a temporary file beside it,
// which takes the file's place only once every byte was written, flushed and
// closed without an error. A failed write (a full disk) leaves the old file
// byte for byte as it was and no temporary behind.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace ovi::os {

// Why a file was not read or written.
struct FileProblem {
  enum class Kind { kNone, kMissing, kNotRegular, kTooLarge, kFailed };
  Kind kind = Kind::kNone;
  // For a status text after the file's name: "no such file", "no such
  // folder", "not a regular file (a named pipe)", "larger than 16 MB", or
  // the system's reason ("No space left on device").
  std::string text;

  bool missing() const { return kind == Kind::kMissing; }
};

// "16 MB" for a limit of 16 * 2^20 bytes (whole megabytes, at least 1).
std::string SizeText(std::int64_t bytes);

// True when `path` (a link followed) is a regular file, as the readers
// judge it; otherwise false with `problem` saying what stands there ("no
// such file", "not a regular file (a named pipe)").
bool IsRegularFile(const std::string& path, FileProblem* problem = nullptr);

// A file opened for reading under the rules above and read at offsets into
// the reader's own buffer, for a reader that keeps a window of its own (the
// navigation loaders): no stream's buffer, no copy out of it.
class RegularFile {
 public:
  RegularFile() = default;
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // False (with `problem` filled in, when given) when the file is missing,
  // refused, or cannot be opened.
  bool Open(const std::string& path, std::int64_t max_bytes, FileProblem* problem = nullptr);
  bool IsOpen() const { return fd_ >= 0; }
  // The size when opened; nothing past it is read.
  std::int64_t size() const { return size_; }
  // Up to n bytes from `offset` into buf: the count read, 0 at the end, -1
  // on an error.
  std::int64_t ReadAt(std::int64_t offset, char* buf, std::size_t n) const;

 private:
  int fd_ = -1;
  std::int64_t size_ = 0;
};

// Opens a file for reading under the rules above; nullptr (with `problem`
// filled in, when given) when it is missing, refused, or cannot be opened.
// The stream holds at most the file's size when opened.
std::FILE* OpenRegularFile(const std::string& path, std::int64_t max_bytes, FileProblem* problem = nullptr);

// The whole file, under the same rules; false (data empty) when it cannot
// be read whole.
bool ReadRegularFile(const std::string& path, std::int64_t max_bytes, std::string& data,
                     FileProblem* problem = nullptr);

namespace detail {
// Where a replacement's stream writes, and the first write's failure.
struct WriteSink {
  int fd = -1;
  int error = 0;
};
}  // namespace detail

// Writes a file in place of the one at `path` (or a new one). Write through
// file() (or Write), then Commit. Without a successful Commit the temporary
// is removed when the replacement goes, and the old file stays. A file that
// exists and is no regular file (a named pipe, a device) is not replaced.
// A link is followed: the file it names is replaced, the link stays.
class FileReplacement {
 public:
  // kToDisk: the temporary is synced to the disk before it takes the file's
  // place (a user's files); kToSystem: handed to the system only (outputs
  // written again by every run, many of them while a flight runs).
  enum class Sync { kToDisk, kToSystem };

  explicit FileReplacement(const std::string& path, Sync sync = Sync::kToDisk);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The stream to write through; nullptr when the temporary could not be
  // made (problem() says why).
  std::FILE* file() const { return file_; }
  bool Write(std::string_view data);
  // Flushes, syncs and closes the temporary; false when any write failed.
  // Lets a writer of several files finish them all before it commits any.
  bool Close();
  // Close, then the temporary takes the file's place. False when anything
  // failed: the old file is then as it was and the temporary gone.
  bool Commit();
  const FileProblem& problem() const { return problem_; }

 private:
  void Fail(FileProblem::Kind kind, std::string text);
  void Abandon();

  std::string target_;
  std::string temp_;
  detail::WriteSink sink_;
  std::FILE* file_ = nullptr;
  bool sync_ = true;
  bool closed_ = false;
  bool committed_ = false;
  FileProblem problem_;
};

// True when `name` (a file name, no folder) is one FileReplacement gives the
// temporary it writes for a file named `target_name`: a process that ended
// mid-write (killed) leaves it behind.
bool IsTemporaryFor(std::string_view name, std::string_view target_name);

// The whole file replaced by `data` (FileReplacement, synced to the disk
// unless `sync` says otherwise).
bool ReplaceFile(const std::string& path, std::string_view data, FileProblem* problem = nullptr,
                 FileReplacement::Sync sync = FileReplacement::Sync::kToDisk);

// Appends `data` to a regular file (made when missing). All or nothing: a
// write that fails part-way is cut off again, so the file is as it was.
bool AppendToFile(const std::string& path, std::string_view data, FileProblem* problem = nullptr);

// For tests: the disk takes `bytes` more bytes of what these writers write,
// then every write fails as it does on a full disk ("No space left on
// device"), part-way through a write when the space ends there. A negative
// value (the start) lifts the limit. Returns the space that was left (-1:
// none was set), so that a test can measure what a writer writes.
// os::OpenFile's writing streams go through the same limit.
std::int64_t LimitDiskSpaceForTesting(std::int64_t bytes);

// For tests: every reader and writer here judges the regular file at `path`
// (one the test made in its own folder) a device, for as long as it is that
// file; an empty path ends it. So a test hands them a device without
// handing them a real one, which a faulty writer would replace.
void JudgeAsDeviceForTesting(const std::string& path);

namespace detail {
// A stream writing to `fd` through the limit above; closing it closes fd.
std::FILE* OpenWritingStream(int fd, const char* mode);
// fstat and stat (a link followed) as the readers and writers judge a file
// (JudgeAsDeviceForTesting).
int FStat(int fd, struct stat* st);
int Stat(const char* path, struct stat* st);
}  // namespace detail

}  // namespace ovi::os
