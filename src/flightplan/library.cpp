#include "src/flightplan/library.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/os/os.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::flightplan {

namespace {

bool EndsWithIgnoreCase(const std::string& name, std::string_view ext) {
  return name.size() >= ext.size() && util::EqualsIgnoreCase(std::string_view(name).substr(name.size() - ext.size()), ext);
}

// The fields the list pages use; text1, the hold number and the screen
// position stay as they were in the slot.
void CopyForLibrary(const model::FlightPlanWaypoint& from, model::FlightPlanWaypoint& to) {
  to.ident = from.ident;
  to.latitude = from.latitude;
  to.longitude = from.longitude;
  to.type = from.type;
  to.via = from.via;
  to.procedure_tag = from.procedure_tag;
  to.text2 = from.text2;
  to.time_over_text = from.time_over_text;
  to.altitude_constraint = from.altitude_constraint;
  to.speed_constraint = from.speed_constraint;
  to.value3 = from.value3;
  to.flyover = from.flyover;
  to.constraint_flag = from.constraint_flag;
  to.frequency_text = from.frequency_text;
}

bool IsPlanFileName(const std::string& name) {
  return (EndsWithIgnoreCase(name, ".PLN") || EndsWithIgnoreCase(name, ".RTE")) &&
         !util::EqualsIgnoreCase(name, "temp.rte");
}

// A folder as a status text shows it. One a setting names stays as the user
// wrote it; the default one is the simulator folder with the module's
// "\ovi\flightplans" after it ("/sim\ovi\flightplans" here), shown as the
// platform layer maps it: the path the user can open.
std::string ShownFolder(const std::string& folder) {
  if (folder != DefaultFlightPlanFolder()) return folder;
  return os::MapPath(folder).value_or(folder);
}

std::string AircraftFolderSetting() {
  return "Aircraft\\" + model::model_state.AircraftConfigName + ".cfg: FlightPlansFolder ";
}

// A folder that cannot be listed gives an empty list: say which folder, and
// which setting named it, so that the user can put it right.
void ReportMissingFolder(const std::string& folder) {
  const model::State& m = model::model_state;
  std::string setting;
  if (!m.AircraftFlightPlansFolder.empty()) {
    setting = AircraftFolderSetting();
  } else if (!m.FlightPlansFolder.empty()) {
    setting = "ovi.cfg: FlightPlansFolder ";
  }
  model::AddStatusMessage(setting + "'" + ShownFolder(folder) + "': no such folder, no plan listed");
}

// What the scan has to say of the files it read, said once: a folder of 450
// damaged plans gave 450 texts, filled the status log and cost the reason
// of a later failure its place.
class ScanReport {
 public:
  // The plans named first in each clause.
  static constexpr std::size_t kNamed = 3;

  // A file left out, with the last of its texts (the refusal) or `why`.
  void LeftOut(const std::string& name, const std::vector<std::string>& texts) {
    Note(left_out_, name, texts.empty() ? std::string() : texts.back());
  }
  // A file listed, with the texts its reading added (bad lines skipped).
  void Listed(const std::string& name, const std::vector<std::string>& texts) {
    if (!texts.empty()) Note(remarked_, name, texts.front());
  }
  void BeyondTheList() { ++beyond_; }

  void Post(const std::string& folder) const {
    std::string text;
    auto clause = [&text](const std::string& c) { text += (text.empty() ? "" : "; ") + c; };
    if (left_out_.count > 0) {
      clause(util::Format("%d plan %s left out: ", left_out_.count, left_out_.count == 1 ? "file" : "files") +
             left_out_.Named());
    }
    if (remarked_.count > 0) clause(util::Format("%d listed with lines skipped: ", remarked_.count) + remarked_.Named());
    if (beyond_ > 0) {
      clause(util::Format("%d plan %s left out, the list holds %d", beyond_, beyond_ == 1 ? "file" : "files",
                          model::kMaxLibraryPlans));
    }
    if (!text.empty()) model::AddStatusMessage(ShownFolder(folder) + ": " + text);
  }

 private:
  struct Clause {
    int count = 0;
    std::vector<std::string> named;
    std::string Named() const {
      std::string t;
      for (const std::string& n : named) t += (t.empty() ? "" : ", ") + n;
      if (count > static_cast<int>(named.size())) t += util::Format(" and %d more", count - static_cast<int>(named.size()));
      return t;
    }
  };

  // "NAME (why)", the file's own name taken off the front of its text.
  static void Note(Clause& c, const std::string& name, std::string why) {
    if (c.count++ >= static_cast<int>(kNamed)) return;
    if (why.size() > name.size() + 2 && util::EqualsIgnoreCase(std::string_view(why).substr(0, name.size()), name) &&
        why.compare(name.size(), 2, ": ") == 0) {
      why.erase(0, name.size() + 2);
    }
    c.named.push_back(why.empty() ? name : name + " (" + why + ")");
  }

  Clause left_out_, remarked_;
  int beyond_ = 0;
};

// Reads each plan file of `names` into the list; what the readings say
// goes into the report, not the log.
void ReadPlans(const std::vector<std::string>& names, ScanReport& report) {
  State& s = flightplan_state;
  model::StatusTextCapture capture;
  for (const std::string& name : names) {
    if (!IsPlanFileName(name)) continue;
    // The list holds 300 plans; the files beyond are counted, not read.
    if (s.FlightPlanLibraryCount >= model::kMaxLibraryPlans) {
      report.BeyondTheList();
      continue;
    }

    const int slot = ++s.FlightPlanLibraryCount;
    model::FlightPlanLibraryEntry& entry = s.FlightPlanLibrary[slot];
    entry.name = name;
    s.ScratchFlightPlanLastIndex = -1;
    ReadFlightPlanFile(name, 1);
    const int last = std::min(s.ScratchFlightPlanLastIndex, model::kMaxFlightPlanWaypoints);
    if (last < 1) {
      --s.FlightPlanLibraryCount;  // the next file takes the slot
      report.LeftOut(name, capture.Take());
      s.UnlistedPlanNames.push_back(name);
      continue;
    }
    report.Listed(name, capture.Take());
    entry.origin_ident = s.ScratchFlightPlan[0].ident;
    entry.destination_ident = s.ScratchFlightPlan[last].ident;
    entry.last_index = last;
    for (int i = 0; i <= last; ++i) CopyForLibrary(s.ScratchFlightPlan[i], entry.waypoints[i]);
  }
}

}  // namespace

void ScanFlightPlanFolder() {
  State& s = flightplan_state;
  s.FlightPlanLibraryCount = 0;

  // The listing is taken whole before any file is read.
  const std::string folder = FlightPlanFolderInForce();
  s.FlightPlanListFolder = folder;
  std::vector<os::UnlistedFile> unlisted;
  const std::vector<std::string> names = os::ListFiles(folder, "", &unlisted);
  if (names.empty() && unlisted.empty() && !os::IsFolder(folder)) ReportMissingFolder(folder);
  ScanReport report;
  s.UnlistedPlanNames.clear();
  // A named pipe, a device or a folder among the plans is never read.
  for (const os::UnlistedFile& u : unlisted) {
    if (!IsPlanFileName(u.name)) continue;
    report.LeftOut(u.name, {u.why});
    s.UnlistedPlanNames.push_back(u.name);
  }
  ReadPlans(names, report);
  report.Post(folder);

  const int closing = ++s.FlightPlanLibraryCount;
  model::FlightPlanLibraryEntry& end = s.FlightPlanLibrary[closing];
  end.name = "NEW FPL";
  end.origin_ident = "NEXT FPL";
  end.destination_ident.clear();
  end.last_index = -1;

  s.GnsFplListPageCount = (s.FlightPlanLibraryCount + 7) / 8;
  if (s.SelectedFlightPlanIndex == 0) s.SelectedFlightPlanIndex = 1;
}

void ReportAircraftPlansFolder() {
  const std::string& listed = flightplan_state.FlightPlanListFolder;
  const std::string& aircraft = model::model_state.AircraftFlightPlansFolder;
  if (listed.empty() || aircraft.empty() || aircraft == listed) return;
  const char* why = os::IsFolder(aircraft) ? "not used" : "no such folder";
  model::AddStatusMessage(AircraftFolderSetting() + "'" + aircraft + "': " + why + ", plans are read from '" +
                          ShownFolder(listed) + "', listed before the aircraft was named");
}

}  // namespace ovi::flightplan
