// The few operating-system services the module uses (current folder, files
// named by Windows-style paths, folder listing, UTC time). The module builds
// every path as the simulator folder plus a literal such as
// "\ovi\navdata\navs.txt"; MapPath turns that into a path of this system.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/files.h"

namespace ovi::os {

// Longest path the module handles, terminator included. A longer path is a
// missing file, never a truncated one.
constexpr std::size_t kMaxPath = 260;

// Fills buf with the process's current folder; returns the length written,
// or 0 when it does not fit in size characters (terminator included).
std::uint32_t GetCurrentDirectoryA(std::uint32_t size, char* buf);

// Maps a Windows-style path ("C:\sim\ovi\ovi.cfg" or "/sim\ovi\ovi.cfg") onto
// the real file system: backslashes become separators, and each component
// that does not exist as written is matched case-insensitively against its
// folder. Returns the mapped path even when the last component does not exist
// yet (so files can be created); nullopt when the path is longer than
// kMaxPath - 1 characters, empty, or holds a NUL.
std::optional<std::string> MapPath(std::string_view windows_path);

// fopen through MapPath; null when the path cannot be mapped or opened.
// Only a regular file (or, to write, a new one) is opened: a named pipe, a
// device or a folder is refused at once (files.h). A file opened to read is
// read up to kMaxReadBytes; the readers use OpenFileForReading with the
// limit of their kind.
std::FILE* OpenFile(std::string_view windows_path, const char* mode);
constexpr std::int64_t kMaxReadBytes = std::int64_t{1} << 30;

// OpenRegularFile through MapPath; a path that cannot be mapped is a
// missing file.
std::FILE* OpenFileForReading(std::string_view windows_path, std::int64_t max_bytes,
                              FileProblem* problem = nullptr);
bool ReadWholeFile(std::string_view windows_path, std::int64_t max_bytes, std::string& data,
                   FileProblem* problem = nullptr);

// ReplaceFile and AppendToFile through MapPath: a file written over is
// replaced only once the new one is whole, a failed append leaves the file
// as it was.
bool SaveFile(std::string_view windows_path, std::string_view data, FileProblem* problem = nullptr);
// The same for a scratch file the module writes again whenever it needs
// it: handed to the system, not synced to the disk.
bool SaveScratchFile(std::string_view windows_path, std::string_view data, FileProblem* problem = nullptr);
bool AppendFile(std::string_view windows_path, std::string_view data, FileProblem* problem = nullptr);

// Names (not paths) of the regular files in a folder whose names end with the
// given extension, compared case-insensitively (".rte"); sorted by name as
// the folder lists them here (byte order). Empty when the folder is missing.
// `unlisted`, when given, gets the other entries of such names (a named
// pipe, a device, a folder, a link to nothing), sorted alike, with why.
struct UnlistedFile {
  std::string name;
  std::string why;  // "not a regular file (a named pipe)", "no such file"
};
std::vector<std::string> ListFiles(std::string_view windows_folder, std::string_view extension,
                                   std::vector<UnlistedFile>* unlisted = nullptr);

// True when the path names a folder that exists (through MapPath).
bool IsFolder(std::string_view windows_path);

struct SystemTime {
  int year, month, day_of_week, day, hour, minute, second, milliseconds;
};
SystemTime GetSystemTime();
// The computer's local date and time, in the same form.
SystemTime GetLocalTime();

}  // namespace ovi::os
