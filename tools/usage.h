// The command-line rules every tool keeps: --help (or -h) prints the usage
// on standard output and ends the tool with 0; an argument that starts with
// '-' and is not one of the tool's options ends it with the usage on
// standard error and 2, so a mistyped option never becomes the name of a
// file the tool writes; so does an option given twice, of which one would
// be dropped without a word.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace ovi::tools {

// An option given twice (its name up to any '=', so that a library's
// "--name=value" options count too): the usage on standard error and 2.
// -1 when there is none.
inline int RefuseRepeatedOptions(int argc, char** argv, const char* tool, const char* usage) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (a[0] != '-') continue;
    const std::size_t name = std::strcspn(a, "=");
    for (int j = 1; j < i; ++j) {
      if (std::strncmp(a, argv[j], name) != 0 || (argv[j][name] != '\0' && argv[j][name] != '=')) continue;
      std::fprintf(stderr, "%s: option '%.*s' given twice\n%s", tool, static_cast<int>(std::min<std::size_t>(name, 80)),
                   a, usage);
      return 2;
    }
  }
  return -1;
}

// The program's name as it was run: argv[0] without its folders.
inline const char* ProgramName(const char* argv0) {
  const char* slash = std::strrchr(argv0, '/');
  return slash != nullptr ? slash + 1 : argv0;
}

// -1 when the tool should go on; otherwise the exit code it ends with.
inline int CheckOptions(int argc, char** argv, const char* tool, const char* usage,
                        std::initializer_list<const char*> options) {
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
      std::fputs(usage, stdout);
      return 0;
    }
  }
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (a[0] != '-') continue;
    bool known = false;
    for (const char* o : options) known = known || std::strcmp(a, o) == 0;
    if (!known) {
      std::fprintf(stderr, "%s: unknown option '%.80s'\n%s", tool, a, usage);
      return 2;
    }
  }
  return RefuseRepeatedOptions(argc, argv, tool, usage);
}

// For a tool whose other options a library reads and answers --help for
// (the benchmarks): prints the tool's own usage first and makes -h the
// library's --help. True when help was asked for.
inline bool PrintUsageBeforeLibraryHelp(int argc, char** argv, const char* usage) {
  bool asked = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") != 0 && std::strcmp(argv[i], "-h") != 0) continue;
    if (!asked) std::fputs(usage, stdout);
    asked = true;
    argv[i] = const_cast<char*>("--help");
  }
  return asked;
}

// A benchmark's options before the library reads them: for --help or -h
// the tool's usage (the library then adds its options and ends the run),
// else an option given twice refused as CheckOptions refuses it. -1 when
// the benchmark should go on; otherwise the exit code it ends with.
inline int CheckBenchmarkOptions(int argc, char** argv, const char* usage) {
  if (PrintUsageBeforeLibraryHelp(argc, argv, usage)) return -1;
  return RefuseRepeatedOptions(argc, argv, ProgramName(argv[0]), usage);
}

}  // namespace ovi::tools

// The main of a benchmark whose only options are the library's: --help and
// -h print `usage` (what it measures, its cases' arguments), then the
// library's options, and end with 0; an option given twice ends it with 2.
// The including file has included <benchmark/benchmark.h>.
#define OVI_BENCHMARK_MAIN(usage)                                                            \
  int main(int argc, char** argv) {                                                          \
    if (int rc = ::ovi::tools::CheckBenchmarkOptions(argc, argv, usage); rc >= 0) return rc; \
    ::benchmark::Initialize(&argc, argv);                                                    \
    if (::benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;                      \
    ::benchmark::RunSpecifiedBenchmarks();                                                   \
    ::benchmark::Shutdown();                                                                 \
    return 0;                                                                                \
  }
