// LoadAirportProcedures: the airport's own line and runways from the airport
// files, then its blocks of sids(_user).txt, stars(_user).txt and apps.txt.
// Layout and bad-input rules: docs/procedure-data.md.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "src/host/state.h"
#include "src/model/state.h"
#include "src/navdb/airport_file.h"
#include "src/navdb/navdb.h"
#include "src/navdb/procedures.h"
#include "src/navdb/text_file.h"
#include "src/util/text.h"

namespace ovi::navdb {

namespace {

using model::AirportProcedureSet;
using model::ProcedureLeg;
using model::ProcedureRecord;

constexpr char kNoAltitude[] = "-";
constexpr char kCommonPart[] = "---";

// ---- procedure files ------------------------------------------------------

enum class ProcKind { kSid, kStar, kApproach };

struct ProcFile {
  const char* path;
  const char* name;
  bool user;             // a missing user file is normal
  unsigned missing_bit;  // ProcedureState::ReportedMissingFiles
};

bool IsKnownRole(std::string_view role) {
  return role == "IAF" || role == "IAF*" || role == "FAF" || role == "MAP" || role == "ARC" || role == "HP" ||
         role == "IF";
}

// Whole feet 0..99999 written as digits only.
bool IsAltitudeText(std::string_view s) {
  if (s.empty() || s.size() > 5) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// False for a line whose first token is certainly not "A".
bool MayBeAirportLine(std::string_view line) {
  const std::size_t i = line.find_first_not_of(" \t\r");
  if (i == std::string_view::npos || line[i] != 'A') return false;
  return i + 1 == line.size() || line[i + 1] == ' ' || line[i + 1] == '\t' || line[i + 1] == '\r';
}

bool AirportHasRunway(const AirportProcedureSet& set, std::string_view number) {
  for (int i = 1; i <= set.RunwayCount; ++i)
    if (set.Runways[i].number_text == number) return true;
  return false;
}

// Parses one airport's blocks of one file into a procedure table. The
// table's slots 1..count hold what was kept; the slot being filled is
// committed only once it has a leg.
template <std::size_t Slots>
class BlockReader {
 public:
  BlockReader(ProcKind kind, AirportProcedureSet& set, model::GrowingTable<ProcedureRecord, Slots>& table,
              std::int32_t& count, std::vector<std::string>& user_names, bool user_file,
              const std::vector<std::string>& refused_runways, BadLineReport& bad)
      : kind_(kind),
        set_(set),
        table_(table),
        count_(count),
        user_names_(user_names),
        user_file_(user_file),
        refused_runways_(refused_runways),
        bad_(bad) {}

  // Counts the bad lines of the airport's blocks into the report.
  void Read(NavTextFile& file) {
    std::string_view line;
    std::int64_t offset;
    bool too_long;
    std::string_view t[12];
    while (file.Next(line, offset, too_long)) {
      bad_.At(file.line());
      if (too_long) {
        if (in_block_) bad_.Count();
        continue;
      }
      // Outside the airport's blocks only an airport line matters: the files
      // hold every airport, and a plan load reads them inside a frame.
      if (!in_block_ && !MayBeAirportLine(line)) continue;
      if (IsCommentOrBlank(line)) continue;
      const int n = Tokenize(line, t, 12);
      if (t[0] == "A") {
        if (n < 2) {
          if (in_block_) bad_.Count();
          continue;
        }
        Finish();
        in_block_ = t[1] == set_.AirportIdent;
        continue;
      }
      if (!in_block_) continue;
      if (t[0] == "P") {
        Finish();
        StartRecord(t, n);
      } else if (t[0] == "L") {
        AddLeg(t, n);
      } else {
        bad_.Count();
      }
    }
    Finish();
  }

 private:
  static constexpr int kCapacity = static_cast<int>(Slots) - 1;

  ProcedureRecord& Slot() { return table_[count_ + 1]; }

  void Finish() {
    if (!open_) return;
    open_ = false;
    ProcedureRecord& r = Slot();
    if (r.leg_count == 0) {
      CountAt(record_line_);  // a record without legs: its P line
      model::Recreate(r);
      return;
    }
    ++count_;
    if (user_file_) user_names_.push_back(r.name);
  }

  // "P NAME [RUNWAYS]"
  void StartRecord(const std::string_view* t, int n) {
    skip_legs_ = true;
    silent_skip_ = false;
    record_line_ = bad_.line();
    if (n < 2 || n > 3 || !IsValidIdent(t[1])) {
      bad_.Count();
      return;
    }
    const std::string name(t[1]);
    if (!user_file_) {
      for (const std::string& u : user_names_) {
        if (u == name) {  // the user file's procedure of that name replaces this one
          silent_skip_ = true;
          return;
        }
      }
    }
    if (count_ >= kCapacity) {
      bad_.Count();
      return;
    }
    std::string runway;
    if (n == 3) {
      const RunwayField field = CheckRunwayField(t[2], runway);
      // A runway whose own line was refused is the airport file's fault,
      // reported there; the record is left out with it.
      silent_skip_ = field == RunwayField::kRunwayLineRefused;
      if (field != RunwayField::kTaken) {
        if (!silent_skip_) bad_.Count();
        return;
      }
    }
    if (kind_ == ProcKind::kApproach && SharesTypeWithEarlier(name, runway)) {
      bad_.Count();
      return;
    }
    ProcedureRecord& r = Slot();
    model::Recreate(r);
    r.name = name;
    r.runway = runway;
    if (kind_ == ProcKind::kApproach) r.type = name;  // an approach is named by its type ("ILS")
    open_ = true;
    skip_legs_ = false;
  }

  // An approach is chosen by its type and its runway, and a leg is taken
  // when its runway text holds the chosen runway (an empty one serves any).
  // A second approach of one type whose runway could be taken for the
  // other's would have its legs mixed into the other's route, so it is
  // refused: same type and the same runway, one runway holding the other, or
  // either serving every runway.
  bool SharesTypeWithEarlier(const std::string& name, const std::string& runway) const {
    for (int i = 1; i <= count_; ++i) {
      const ProcedureRecord& other = table_[i];
      if (other.name != name) continue;
      if (runway.empty() || other.runway.empty() || runway.find(other.runway) != std::string::npos ||
          other.runway.find(runway) != std::string::npos)
        return true;
    }
    return false;
  }

  enum class RunwayField { kTaken, kBad, kRunwayLineRefused };

  bool RunwayLineRefused(std::string_view number) const {
    return std::find(refused_runways_.begin(), refused_runways_.end(), number) != refused_runways_.end();
  }

  // Keeps the runways the airport has. kTaken when some are left; else the
  // record serves no runway of this airport: kRunwayLineRefused when every
  // runway it named lost its own line in the airport file, kBad otherwise.
  RunwayField CheckRunwayField(std::string_view field, std::string& out) {
    bool dropped = false;        // a runway the airport does not have
    bool line_refused = false;   // a runway whose line the airport file refused
    int named = 0;
    std::size_t start = 0;
    while (start <= field.size()) {
      std::size_t comma = field.find(',', start);
      if (comma == std::string_view::npos) comma = field.size();
      const std::string_view item = field.substr(start, comma - start);
      start = comma + 1;
      if (item.empty()) continue;
      ++named;
      const bool known = set_.RunwayCount == 0 ? IsRunwayNumber(item) : AirportHasRunway(set_, item);
      if (!known) {
        (RunwayLineRefused(item) ? line_refused : dropped) = true;
        continue;
      }
      if (!out.empty()) out += ',';
      out += item;
    }
    // An approach leads to one runway.
    if (kind_ == ProcKind::kApproach && (named > 1 || field.find(',') != std::string_view::npos))
      return RunwayField::kBad;
    // Nothing named (",,") or no runway of this airport.
    if (out.empty()) return line_refused && !dropped ? RunwayField::kRunwayLineRefused : RunwayField::kBad;
    if (dropped) bad_.Count();  // corrected: the unknown runways are left out
    return RunwayField::kTaken;
  }

  // "L TRANSITION FIX ROLE ALTITUDE LAT LON [FO] [*]"
  void AddLeg(const std::string_view* t, int n) {
    if (!open_ || skip_legs_) {
      if (!silent_skip_) bad_.Count();
      return;
    }
    ProcedureRecord& r = Slot();
    double lat, lon;
    if (n < 7 || n > 9 || r.leg_count >= model::kMaxProcedureLegs || !IsValidIdent(t[1]) ||
        !IsValidIdent(t[2]) || !ParseLatitude(t[5], lat) || !ParseLongitude(t[6], lon)) {
      bad_.Count();
      return;
    }
    bool corrected = false;
    ProcedureLeg& leg = r.legs[r.leg_count + 1];
    leg = ProcedureLeg{};
    // An approach's common part is always "---": the approach-transition
    // list offers an entry fix of it under that name, and names such a fix
    // after its ident once another transition starts there, which an empty
    // name would defeat.
    if (t[1] != "-")
      leg.transition = std::string(t[1]);
    else if (kind_ == ProcKind::kApproach)
      leg.transition = kCommonPart;
    leg.fix_ident = std::string(t[2]);
    if (t[3] != "-") {
      if (IsKnownRole(t[3]))
        leg.role = std::string(t[3]);
      else
        corrected = true;
    }
    if (t[4] != "-" && IsAltitudeText(t[4])) {
      leg.altitude_text = std::string(t[4]);
    } else {
      leg.altitude_text = kNoAltitude;
      if (t[4] != "-") corrected = true;
    }
    leg.latitude = lat;
    leg.longitude = lon;
    for (int i = 7; i < n; ++i) {
      if (t[i] == "FO")
        leg.flyover = 1;
      else if (t[i] == "*")
        leg.ninth_text = "*";
      else
        corrected = true;
    }
    if (kind_ == ProcKind::kApproach) {
      leg.filter_text = r.runway;
      leg.approach_name = r.name;
    }
    ++r.leg_count;
    if (corrected) bad_.Count();
  }

  void CountAt(std::int64_t line) {
    const std::int64_t now = bad_.line();
    bad_.At(line);
    bad_.Count();
    bad_.At(now);
  }

  ProcKind kind_;
  AirportProcedureSet& set_;
  model::GrowingTable<ProcedureRecord, Slots>& table_;
  std::int32_t& count_;
  std::vector<std::string>& user_names_;
  bool user_file_;

  bool in_block_ = false;
  bool open_ = false;         // a record is being filled in Slot()
  bool skip_legs_ = false;    // the current P line was refused
  bool silent_skip_ = false;  // ... because the user file replaces it, or its runway's line was refused
  const std::vector<std::string>& refused_runways_;
  BadLineReport& bad_;
  std::int64_t record_line_ = 0;  // the P line of the record being read
};

template <std::size_t Slots>
void LoadProcedureFile(const ProcFile& f, ProcKind kind, const AirportData& airport, AirportProcedureSet& set,
                       model::GrowingTable<ProcedureRecord, Slots>& table, std::int32_t& count,
                       std::vector<std::string>& user_names) {
  NavTextFile file(host::DataPath(f.path));
  if (!file.IsOpen()) {
    ReportUnreadOnce(file, f.name, f.user, f.missing_bit, procedure_state.ReportedMissingFiles);
    return;
  }
  BadLineReport bad(f.name);
  BlockReader<Slots> reader(kind, set, table, count, user_names, f.user, airport.refused_runways, bad);
  reader.Read(file);
  bad.Post("for " + set.AirportIdent);
}

constexpr ProcFile kSidUser = {"\\ovi\\navdata\\sids_user.txt", "sids_user.txt", true, 1};
constexpr ProcFile kSidMain = {"\\ovi\\navdata\\sids.txt", "sids.txt", false, 1};
constexpr ProcFile kStarUser = {"\\ovi\\navdata\\stars_user.txt", "stars_user.txt", true, 2};
constexpr ProcFile kStarMain = {"\\ovi\\navdata\\stars.txt", "stars.txt", false, 2};
constexpr ProcFile kApproaches = {"\\ovi\\navdata\\apps.txt", "apps.txt", false, 4};

void BuildArrivalNames(AirportProcedureSet& set);

}  // namespace

int LoadAirportProcedures(std::string ident, int which) {
  if (which != 1 && which != 2) return 0;
  if (!IsValidIdent(ident)) return 0;
  // Read here rather than through LoadAirportDetails, which would replace
  // the runway table and texts of the airport the displays show. A runway
  // line refused there leaves the runway out of the lists: the airport
  // file is blamed for it, here as by the details loader.
  AirportData a;
  if (!ReadAirport(ident, a)) return 0;
  PostBadRunwayLines(a);

  ProcedureState& p = procedure_state;
  AirportProcedureSet& set = p.AirportProcedureSets[which];
  // A selection index points into the old airport's tables.
  if (set.AirportIdent != a.record.ident) (which == 1 ? p.SelectedSidIndex : p.SelectedStarIndex) = 0;
  model::Recreate(set);
  set.AirportIdent = a.record.ident;
  set.AirportLatitude = a.record.latitude;
  set.AirportLongitude = a.record.longitude;
  set.RunwayCount = a.runway_count;
  for (int i = 0; i < a.runway_count; ++i) set.Runways[i + 1] = a.runways[i];

  std::vector<std::string> user_names;
  LoadProcedureFile(kSidUser, ProcKind::kSid, a, set, set.SidTable, set.SidCount, user_names);
  LoadProcedureFile(kSidMain, ProcKind::kSid, a, set, set.SidTable, set.SidCount, user_names);
  user_names.clear();
  LoadProcedureFile(kStarUser, ProcKind::kStar, a, set, set.StarTable, set.StarCount, user_names);
  LoadProcedureFile(kStarMain, ProcKind::kStar, a, set, set.StarTable, set.StarCount, user_names);
  user_names.clear();
  LoadProcedureFile(kApproaches, ProcKind::kApproach, a, set, set.ApproachTable, set.ApproachCount, user_names);
  BuildArrivalNames(set);

  navdb_state.AirportElevationText = a.record.airport_text;
  return 1;
}

namespace {

void BuildArrivalNames(AirportProcedureSet& set) {
  using List = decltype(set.ArrivalNameList);
  constexpr int kCapacity = List::kSlots - 1 - model::kNameListSpare;
  const int old = set.ArrivalNameListCount;
  set.ArrivalNameListCount = 0;
  for (int a = 1; a <= set.ApproachCount && set.ArrivalNameListCount < kCapacity; ++a) {
    model::RouteViaToEntry& e = set.ArrivalNameList[++set.ArrivalNameListCount];
    e.via = set.ApproachTable[a].name;
    e.to = set.ApproachTable[a].runway;
  }
  for (int i = set.ArrivalNameListCount + 1; i <= old && i < List::kSlots; ++i) set.ArrivalNameList[i] = {};
}

}  // namespace

void BuildArrivalNameList() { BuildArrivalNames(procedure_state.AirportProcedureSets[2]); }

}  // namespace ovi::navdb
