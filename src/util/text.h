// Small text helpers shared by every subsystem: bounded printf-style
// formatting (screens keep their "%6.0f" style formats), case-insensitive
// comparison, and splitting of blank-separated lines.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace ovi::util {

// printf-style formatting into a std::string; never overflows.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToUpper(std::string_view s);
std::string_view Trim(std::string_view s);

// Splits on blanks and tabs (and a trailing CR); empty fields are not kept.
std::vector<std::string_view> SplitBlanks(std::string_view line);

// Reads one whole line of any length (without its '\n' or a trailing '\r').
// Returns false at end of file with nothing read.
bool ReadLine(std::FILE* f, std::string& line);

// Parses a whole field as a decimal number ("-122.3", "1e5"); false (and
// out untouched) when the text is not entirely a finite one. A hex float
// ("0x1p3"), which the C library also reads, is no number a user writes.
bool ParseDouble(std::string_view s, double& out);
bool ParseInt(std::string_view s, int& out);

// The readers of hand-written files refuse one that an editor saved as
// UTF-16, or that is no text at all, with one message instead of one
// garbled message a line. They judge the first kPlainTextProbe bytes.
constexpr std::size_t kPlainTextProbe = 4096;

// Why the bytes are not plain text ("UTF-16", "binary data"), or empty when
// they are. A UTF-8 byte-order mark is plain text.
std::string_view NotPlainText(std::string_view head);

// Length of the UTF-8 byte-order mark that starts text (0 or 3).
std::size_t Utf8MarkLength(std::string_view text);

// NotPlainText of a file's first bytes, read from the start of f; a plain
// text file is left positioned just after its byte-order mark, if any.
std::string_view NotPlainTextFile(std::FILE* f);

}  // namespace ovi::util
