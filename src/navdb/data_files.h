// The navigation files of each kind, user file first, and the loop the
// table loaders share over them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "src/host/state.h"
#include "src/navdb/state.h"
#include "src/navdb/text_file.h"

namespace ovi::navdb {

struct DataFile {
  const char* path;  // under the simulator folder
  const char* name;  // for messages
  bool user;         // a missing user file is normal
};

// Index 0 is the user file, 1 the main file (AirportFileRef::file counts
// the same way).
inline constexpr DataFile kNavFiles[] = {{"\\ovi\\navdata\\navs_user.txt", "navs_user.txt", true},
                                         {"\\ovi\\navdata\\navs.txt", "navs.txt", false}};
inline constexpr DataFile kAptFiles[] = {{"\\ovi\\navdata\\apts_user.txt", "apts_user.txt", true},
                                         {"\\ovi\\navdata\\apts.txt", "apts.txt", false}};
inline constexpr DataFile kIntFiles[] = {{"\\ovi\\navdata\\ints_user.txt", "ints_user.txt", true},
                                         {"\\ovi\\navdata\\ints.txt", "ints.txt", false}};
inline constexpr DataFile kAwyFiles[] = {{"\\ovi\\navdata\\awys_user.txt", "awys_user.txt", true},
                                         {"\\ovi\\navdata\\awys.txt", "awys.txt", false}};
inline constexpr DataFile kAtcFiles[] = {{"\\ovi\\navdata\\atc_bdry.txt", "atc_bdry.txt", false}};

struct EachFile {
  void operator()(std::size_t, NavTextFile&) const {}
};
struct FileDone {
  bool operator()(std::size_t, BadLineReport&) const { return true; }
};

// Reads the files of one kind in order. A missing main file is
// reported once (missing_bit of ReportedMissingFiles), and so is an empty
// one (the same bit of ReportedEmptyFiles); start_file(index,
// file) runs before a file's lines (to size the tables by
// file.EstimateLines()), which go to on_line(index, line, offset, bad);
// end_file(index, bad) runs after them, before the file's bad lines are
// posted. on_line or end_file return false when the table is full, which
// ends the kind.
template <std::size_t N, typename OnLine, typename OnFile = EachFile, typename OnDone = FileDone>
void LoadDataFiles(const DataFile (&files)[N], unsigned missing_bit, OnLine&& on_line, OnFile&& start_file = {},
                   OnDone&& end_file = {}) {
  for (std::size_t f = 0; f < N; ++f) {
    NavTextFile file(host::DataPath(files[f].path));
    if (!file.IsOpen()) {
      ReportUnreadOnce(file, files[f].name, files[f].user, missing_bit, navdb_state.ReportedMissingFiles);
      continue;
    }
    BadLineReport bad(files[f].name);
    start_file(f, file);
    bool any = false;
    bool more = ForEachDataLine(file, bad, [&](std::string_view line, std::int64_t offset) {
      any = true;
      return on_line(f, line, offset, bad);
    });
    more = end_file(f, bad) && more;
    if (!any && bad.count() == 0)
      ReportEmptyOnce(files[f].name, files[f].user, missing_bit, navdb_state.ReportedEmptyFiles);
    bad.Post();
    if (!more) return;
  }
}

}  // namespace ovi::navdb
