// Reading the stand-in's own text inputs: bounded paths, whole files.
#pragma once

#include <string>

namespace ovi::sim {

// Reads a whole file; false with "PATH: no such file" (or "path too long",
// "not a regular file (a named pipe)", "larger than 64 MB", the system's
// reason) when it cannot: a named pipe, a device or a folder is refused at
// once, and so is a larger file, and one that is not plain text (saved as
// UTF-16, or no text). A UTF-8 byte-order mark is dropped.
bool ReadTextFile(const std::string& path, std::string& text, std::string& error);

// Splits text into lines (without '\n' or a trailing '\r').
template <typename F>
void ForEachLine(const std::string& text, F&& f) {
  std::size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!f(++number, line)) return;
    start = end + 1;
  }
}

}  // namespace ovi::sim
