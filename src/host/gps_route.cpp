#include "src/host/gps_route.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "src/host/subsystem_links.h"
#include "src/host/state.h"
#include "src/util/bytes.h"
#include "src/model/records.h"
#include "src/model/state.h"
#include "src/util/text.h"

namespace ovi::host {

namespace {

const std::uint8_t* GpsBlock() {
  PANELS* panels = Panels();
  if (panels == nullptr || panels->initialize_var_by_name == nullptr) return nullptr;
  MODULE_VAR var{};
  panels->initialize_var_by_name(&var, kGpsDataVariable);
  return static_cast<const std::uint8_t*>(var.var_ptr);
}

// One status text for the points a take-over leaves out: those a route
// has no room for, those without a usable ident or position, and those the
// block announces but does not hold.
void ReportLeftOut(std::uint64_t announced, std::uint64_t in_block, std::uint64_t beyond_route, std::uint64_t unusable,
                   std::uint64_t first_unusable) {
  std::string said;
  auto add = [&](const std::string& part) { said += (said.empty() ? "GPS route: " : "; ") + part; };
  const auto n = [](std::uint64_t v) { return static_cast<unsigned long long>(v); };
  if (beyond_route > 0) {
    add(util::Format("%llu points, the last %llu left out (a route holds %d)", n(in_block - unusable), n(beyond_route),
                     model::kFlightPlanSlots));
  }
  if (unusable > 0) {
    add(unusable == 1 ? util::Format("point %llu has no ident or position, left out", n(first_unusable))
                      : util::Format("point %llu and %llu more have no ident or position, left out", n(first_unusable),
                                     n(unusable - 1)));
  }
  if (announced > in_block) {
    add(util::Format("%llu points announced, the block holds %llu", n(announced), n(in_block)));
  }
  if (!said.empty()) model::AddStatusMessage(said);
}

}  // namespace

int LoadFlightPlannerRoute(std::int32_t caller_page) {
  std::vector<GpsRouteWaypoint>& route = host_state.GpsRoute;
  route.clear();
  // What the route leaves out of the planner's is said, never dropped
  // without a word.
  std::uint64_t announced = 0, in_block = 0, beyond_route = 0, unusable = 0, first_unusable = 0;
  if (const std::uint8_t* block = GpsBlock()) {
    const std::uint32_t bytes = util::LoadUnaligned<std::uint32_t>(block, 0);
    announced = util::LoadUnaligned<std::uint32_t>(block, 4);
    const std::uint64_t room = bytes >= kGpsHeaderSize ? (bytes - kGpsHeaderSize) / kGpsEntrySize : 0;
    in_block = std::min(announced, room);
    for (std::uint64_t i = 0; i < in_block; ++i) {
      const std::uint8_t* e = block + kGpsHeaderSize + i * kGpsEntrySize;
      GpsRouteWaypoint w;
      w.ident.assign(reinterpret_cast<const char*>(e), strnlen(reinterpret_cast<const char*>(e), kGpsIdentSize));
      w.latitude = util::LoadUnaligned<double>(e, kGpsIdentSize);
      w.longitude = util::LoadUnaligned<double>(e, kGpsIdentSize + 8);
      // The planner's altitudes are no constraints; only its destination's,
      // the field the flight ends at, is of use, and only that point's.
      if (i + 1 == announced) w.altitude = util::LoadUnaligned<double>(e, kGpsIdentSize + 16);
      if (w.ident.empty() || !std::isfinite(w.latitude) || !std::isfinite(w.longitude) || std::fabs(w.latitude) > 90.0 ||
          std::fabs(w.longitude) > 180.0) {
        if (unusable++ == 0) first_unusable = i + 1;
      } else if (route.size() >= static_cast<std::size_t>(model::kFlightPlanSlots)) {
        ++beyond_route;
      } else {
        route.push_back(std::move(w));
      }
    }
  }
  ReportLeftOut(announced, in_block, beyond_route, unusable, first_unusable);
  if (route.size() < 2) {
    route.clear();
    model::model_state.PanelMessage = "NO ACTIVE GPS RTE";
    return 0;
  }
  TakeOverGpsRoute(route);
  if (caller_page != kGpsCallerNavigator) model::model_state.PanelMessage = "ACTIVE FSPLANNER RTE LOADED";
  return static_cast<int>(route.size());
}

}  // namespace ovi::host
