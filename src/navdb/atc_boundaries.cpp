// LoadAtcBoundaries: atc_bdry.txt into AtcBoundaryTable.
#include "src/model/state.h"
#include "src/navdb/data_files.h"
#include "src/navdb/navdb.h"
#include "src/navdb/text_file.h"
#include "src/util/text.h"

namespace ovi::navdb {

void LoadAtcBoundaries() {
  State& s = navdb_state;
  s.AtcBoundaryTable.Clear();
  // Growing the table entry by entry would move every outline loaded so
  // far, time and again, on the frame that first draws the boundaries.
  s.AtcBoundaryTable.Reserve(kMaxAtcBoundaries);
  s.AtcBoundaryCount = 0;
  s.AtcBoundaryPointCount = 0;

  model::AtcBoundary* current = nullptr;
  int declared = 0;
  std::string_view t[6];
  LoadDataFiles(kAtcFiles, 16u, [&](std::size_t, std::string_view line, std::int64_t, BadLineReport& bad) {
    // Nearly every line is a point, read in one pass over its bytes; the
    // reader takes exactly the two-field lines that ParseLatitude and
    // ParseLongitude take.
    double lat, lon;
    FieldReader fields(line);
    if (fields.Latitude(lat) && fields.Longitude(lon) && fields.AtEnd()) {
      if (current == nullptr || current->point_count >= declared) {
        bad.Count();  // no header, or more points than it announced
        return true;
      }
      model::AtcBoundary::Point& p = current->points[++current->point_count];
      p.latitude = lat;
      p.longitude = lon;
      ++s.AtcBoundaryPointCount;
      return true;
    }
    const int n = Tokenize(line, t, 6);
    int count;
    double label_lat, label_lon;
    if (n != 5 || !IsValidIdent(t[0]) || !IsValidIdent(t[1]) || !ParseInteger(t[2], count) ||
        !ParseLatitude(t[3], label_lat) || !ParseLongitude(t[4], label_lon) || count < 0 ||
        count > model::kMaxBoundaryPoints) {
      bad.Count();
      current = nullptr;  // the points of a rejected header are rejected too
      return true;
    }
    if (s.AtcBoundaryCount >= kMaxAtcBoundaries) {
      model::AddStatusMessage(util::Format("Bdry '%d' approaching struct_limit", s.AtcBoundaryCount));
      return false;
    }
    current = &s.AtcBoundaryTable[++s.AtcBoundaryCount];
    current->name = std::string(t[0]);
    current->label = std::string(t[1]);
    current->label_latitude = label_lat;
    current->label_longitude = label_lon;
    current->point_count = 0;
    current->points.Reserve(count);
    declared = count;
    return true;
  });
}

}  // namespace ovi::navdb
