#include "src/host/gps_route.h"

#include <cmath>
#include <cstring>

#include "src/host/subsystem_links.h"
#include "src/host/state.h"
#include "src/util/bytes.h"
#include "src/model/records.h"
#include "src/model/state.h"

namespace ovi::host {

namespace {

const std::uint8_t* GpsBlock() {
  PANELS* panels = Panels();
  if (panels == nullptr || panels->initialize_var_by_name == nullptr) return nullptr;
  MODULE_VAR var{};
  panels->initialize_var_by_name(&var, kGpsDataVariable);
  return static_cast<const std::uint8_t*>(var.var_ptr);
}

}  // namespace

int LoadFlightPlannerRoute(std::int32_t caller_page) {
  std::vector<GpsRouteWaypoint>& route = host_state.GpsRoute;
  route.clear();
  if (const std::uint8_t* block = GpsBlock()) {
    const std::uint32_t bytes = util::LoadUnaligned<std::uint32_t>(block, 0);
    std::uint64_t count = util::LoadUnaligned<std::uint32_t>(block, 4);
    const std::uint64_t room = bytes >= kGpsHeaderSize ? (bytes - kGpsHeaderSize) / kGpsEntrySize : 0;
    if (count > room) count = room;
    for (std::uint64_t i = 0; i < count && route.size() < static_cast<std::size_t>(model::kFlightPlanSlots); ++i) {
      const std::uint8_t* e = block + kGpsHeaderSize + i * kGpsEntrySize;
      GpsRouteWaypoint w;
      w.ident.assign(reinterpret_cast<const char*>(e), strnlen(reinterpret_cast<const char*>(e), kGpsIdentSize));
      w.latitude = util::LoadUnaligned<double>(e, kGpsIdentSize);
      w.longitude = util::LoadUnaligned<double>(e, kGpsIdentSize + 8);
      if (w.ident.empty() || !std::isfinite(w.latitude) || !std::isfinite(w.longitude) || std::fabs(w.latitude) > 90.0 ||
          std::fabs(w.longitude) > 180.0)
        continue;
      route.push_back(std::move(w));
    }
  }
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
