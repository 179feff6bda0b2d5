// LoadAtcBoundaries: atc_bdry.txt into AtcBoundaryTable.
#include <utility>

#include "src/host/state.h"
#include "src/model/fixed_table.h"
#include "src/model/state.h"
#include "src/navdb/data_files.h"
#include "src/navdb/navdb.h"
#include "src/navdb/text_file.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

// atc_bdry.txt's bit of ReportedMissingFiles and ReportedEmptyFiles.
constexpr unsigned kAtcFileBit = 16u;

// One reading of the file into a table and its counts.
class BoundaryReading {
 public:
  BoundaryReading(BoundedTable<model::AtcBoundary>& table, int& count, int& points)
      : table_(table), count_(count), points_(points) {
    table_.Clear();
    // Growing the table entry by entry would move every outline read so
    // far, time and again.
    table_.Reserve(kMaxAtcBoundaries);
    count_ = points_ = 0;
  }

  // False when a header finds the table full: the reading ends there.
  bool Line(std::string_view line, BadLineReport& bad) {
    // Nearly every line is a point, read in one pass over its bytes; the
    // reader takes exactly the two-field lines that ParseLatitude and
    // ParseLongitude take.
    double lat, lon;
    FieldReader fields(line);
    if (fields.Latitude(lat) && fields.Longitude(lon) && fields.AtEnd()) {
      if (current_ == nullptr || current_->point_count >= declared_) {
        bad.Count();  // no header, or more points than it announced
        return true;
      }
      model::AtcBoundary::Point& p = current_->points[++current_->point_count];
      p.latitude = lat;
      p.longitude = lon;
      ++points_;
      return true;
    }
    const int n = Tokenize(line, t_, 6);
    int count;
    double label_lat, label_lon;
    if (n != 5 || !IsValidIdent(t_[0]) || !IsValidIdent(t_[1]) || !ParseInteger(t_[2], count) ||
        !ParseLatitude(t_[3], label_lat) || !ParseLongitude(t_[4], label_lon) || count < 0 ||
        count > model::kMaxBoundaryPoints) {
      bad.Count();
      current_ = nullptr;  // the points of a rejected header are rejected too
      return true;
    }
    if (count_ >= kMaxAtcBoundaries) return false;
    current_ = &table_[++count_];
    current_->name = std::string(t_[0]);
    current_->label = std::string(t_[1]);
    current_->label_latitude = label_lat;
    current_->label_longitude = label_lon;
    current_->point_count = 0;
    current_->points.Reserve(count);
    declared_ = count;
    return true;
  }

 private:
  BoundedTable<model::AtcBoundary>& table_;
  int& count_;
  int& points_;
  model::AtcBoundary* current_ = nullptr;
  int declared_ = 0;
  std::string_view t_[6];
};

std::string FullTableMessage(int count) { return util::Format("Bdry '%d' approaching struct_limit", count); }

// The reading made when the database loaded, if the file still has the
// size it had then: into the table, with the messages the reading would
// have posted.
bool TakePreparedBoundaries() {
  State& s = navdb_state;
  PreparedAtcBoundaries& p = s.PreparedBoundaries;
  if (!p.ready) return false;
  const NavTextFile file(host::DataPath(kAtcFiles[0].path));
  const bool same = file.IsOpen() && file.Size() == p.file_size;
  if (same) {
    std::swap(s.AtcBoundaryTable, p.table);
    s.AtcBoundaryCount = p.count;
    s.AtcBoundaryPointCount = p.points;
    if (p.full) model::AddStatusMessage(FullTableMessage(p.count));
    if (!p.any_line && p.bad_lines == 0)
      ReportEmptyOnce(kAtcFiles[0].name, kAtcFiles[0].user, kAtcFileBit, s.ReportedEmptyFiles);
    BadLineReport bad(kAtcFiles[0].name);
    bad.Add(p.first_bad_line, p.bad_lines);
    bad.Post();
  }
  model::Recreate(p);
  return same;
}

}  // namespace

void PrepareAtcBoundaries() {
  PreparedAtcBoundaries& p = navdb_state.PreparedBoundaries;
  model::Recreate(p);
  NavTextFile file(host::DataPath(kAtcFiles[0].path));
  if (!file.IsOpen()) return;  // the first drawing reports it
  p.file_size = file.Size();
  BadLineReport bad;
  BoundaryReading reading(p.table, p.count, p.points);
  ForEachDataLine(file, bad, [&](std::string_view line, std::int64_t) {
    p.any_line = true;
    p.full = !reading.Line(line, bad);
    return !p.full;
  });
  p.bad_lines = bad.count();
  p.first_bad_line = bad.first_line();
  p.ready = true;
}

void LoadAtcBoundaries() {
  if (TakePreparedBoundaries()) return;
  State& s = navdb_state;
  BoundaryReading reading(s.AtcBoundaryTable, s.AtcBoundaryCount, s.AtcBoundaryPointCount);
  LoadDataFiles(kAtcFiles, kAtcFileBit, [&](std::size_t, std::string_view line, std::int64_t, BadLineReport& bad) {
    if (reading.Line(line, bad)) return true;
    model::AddStatusMessage(FullTableMessage(s.AtcBoundaryCount));
    return false;
  });
}

}  // namespace ovi::navdb
