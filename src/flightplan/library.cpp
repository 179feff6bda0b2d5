#include "src/flightplan/library.h"

#include <algorithm>
#include <string>

#include "platform/os/os.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
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

}  // namespace

void ScanFlightPlanFolder() {
  State& s = flightplan_state;
  s.FlightPlanLibraryCount = 0;

  // The listing is taken whole before any file is read: reading a .PLN
  // rewrites temp.rte in the same folder.
  const std::vector<std::string> names = os::ListFiles(FlightPlanReadFolder(), "");
  for (const std::string& name : names) {
    if (!EndsWithIgnoreCase(name, ".PLN") && !EndsWithIgnoreCase(name, ".RTE")) continue;
    if (util::EqualsIgnoreCase(name, "temp.rte")) continue;
    if (s.FlightPlanLibraryCount >= model::kMaxLibraryPlans) break;

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

  const int closing = ++s.FlightPlanLibraryCount;
  model::FlightPlanLibraryEntry& end = s.FlightPlanLibrary[closing];
  end.name = "NEW FPL";
  end.origin_ident = "NEXT FPL";
  end.destination_ident.clear();
  end.last_index = -1;

  s.GnsFplListPageCount = (s.FlightPlanLibraryCount + 7) / 8;
  if (s.SelectedFlightPlanIndex == 0) s.SelectedFlightPlanIndex = 1;
}

}  // namespace ovi::flightplan
