// Reading the stand-in's own text inputs: bounded paths, whole files.
#pragma once

#include <string>

namespace ovi::sim {

// Reads a whole file; false with "PATH: cannot open file" (or "no such
// file", "a folder, not a file", "path too long") when it cannot. Files larger than 64 MiB are refused, and so is a
// file that is not plain text (saved as UTF-16, or no text); a UTF-8
// byte-order mark is dropped.
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
