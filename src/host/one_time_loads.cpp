// Where the gauges' one-time loads meet their loaders.
//
// WIRING POINT: the configuration (model: LoadConfiguration, ConfigLoaded,
// LoadAircraftConfig, AircraftConfigName), the navigation database (navdb:
// LoadNavDatabase, AirportCount) and the flight-plan library (flightplan:
// ScanFlightPlanFolder, FlightPlanLibraryCount) are connected here and
// nowhere else. Until a loader is in, its step keeps its own flag and
// loads nothing.
#include "src/host/one_time_loads.h"

#include "src/flightplan/library.h"
#include "src/flightplan/state.h"
#include "src/model/config.h"
#include "src/model/fixed_table.h"
#include "src/model/state.h"

namespace ovi::host {

namespace {

struct LoadStandIns {
  int AirportCount = 0;
};

LoadStandIns stand_ins;

}  // namespace

int ConfigLoadedFlag() { return model::model_state.ConfigLoaded; }
void RunLoadConfiguration() { model::LoadConfiguration(); }
int NavDatabaseAirportCount() { return stand_ins.AirportCount; }
void RunLoadNavDatabase() {}
std::string& AircraftConfigNameRef() { return model::model_state.AircraftConfigName; }
void RunLoadAircraftConfig() { model::LoadAircraftConfig(); }
int FlightPlanLibraryCountValue() { return flightplan::flightplan_state.FlightPlanLibraryCount; }
void RunScanFlightPlanFolder() { flightplan::ScanFlightPlanFolder(); }

void ResetOneTimeLoads() { model::Recreate(stand_ins); }

const OneTimeLoads& DefaultOneTimeLoads() {
  static const OneTimeLoads loads{
      ConfigLoadedFlag,        RunLoadConfiguration,  NavDatabaseAirportCount,
      RunLoadNavDatabase,      AircraftConfigNameRef, RunLoadAircraftConfig,
      FlightPlanLibraryCountValue, RunScanFlightPlanFolder,
  };
  return loads;
}

}  // namespace ovi::host
