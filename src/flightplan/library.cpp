#include "src/flightplan/library.h"

#include <algorithm>
#include <string>

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
  model::AddStatusMessage(setting + "'" + folder + "': no such folder, no plan listed");
}

}  // namespace

void ScanFlightPlanFolder() {
  State& s = flightplan_state;
  s.FlightPlanLibraryCount = 0;

  // The listing is taken whole before any file is read.
  const std::string folder = FlightPlanFolderInForce();
  s.FlightPlanListFolder = folder;
  const std::vector<std::string> names = os::ListFiles(folder, "");
  if (names.empty() && !os::IsFolder(folder)) ReportMissingFolder(folder);
  int left_out = 0;
  for (const std::string& name : names) {
    if (!IsPlanFileName(name)) continue;
    // The list holds 300 plans; the files beyond are counted, not read.
    if (s.FlightPlanLibraryCount >= model::kMaxLibraryPlans) {
      ++left_out;
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
      continue;
    }
    entry.origin_ident = s.ScratchFlightPlan[0].ident;
    entry.destination_ident = s.ScratchFlightPlan[last].ident;
    entry.last_index = last;
    for (int i = 0; i <= last; ++i) CopyForLibrary(s.ScratchFlightPlan[i], entry.waypoints[i]);
  }

  if (left_out > 0) {
    model::AddStatusMessage(util::Format("%s: %d plan %s left out, the list holds %d", folder.c_str(), left_out,
                                         left_out == 1 ? "file" : "files", model::kMaxLibraryPlans));
  }

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
  model::AddStatusMessage(AircraftFolderSetting() + "'" + aircraft + "': " + why + ", plans are read from '" + listed +
                          "', listed before the aircraft was named");
}

}  // namespace ovi::flightplan
