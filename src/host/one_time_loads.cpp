// Where the gauges' one-time loads meet their loaders.
//
// The configuration (model: LoadConfiguration, ConfigLoaded,
// LoadAircraftConfig, AircraftConfigName), the navigation database (navdb:
// LoadNavDatabase, AirportCount) and the flight-plan library (flightplan:
// ScanFlightPlanFolder, FlightPlanLibraryCount) are connected here and
// nowhere else.
#include "src/host/one_time_loads.h"

#include "src/flightplan/library.h"
#include "src/flightplan/state.h"
#include "src/model/config.h"
#include "src/model/state.h"
#include "src/navdb/navdb.h"

namespace ovi::host {

int ConfigLoadedFlag() { return model::model_state.ConfigLoaded; }
void RunLoadConfiguration() { model::LoadConfiguration(); }
int NavDatabaseAirportCount() { return navdb::navdb_state.AirportCount; }
void RunLoadNavDatabase() {
  navdb::LoadNavDatabase();
  navdb::PrepareAtcBoundaries();
}
std::string& AircraftConfigNameRef() { return model::model_state.AircraftConfigName; }
void RunLoadAircraftConfig() {
  model::LoadAircraftConfig();
  flightplan::ReportAircraftPlansFolder();
}
int FlightPlanLibraryCountValue() { return flightplan::flightplan_state.FlightPlanLibraryCount; }
void RunScanFlightPlanFolder() { flightplan::ScanFlightPlanFolder(); }

const OneTimeLoads& DefaultOneTimeLoads() {
  static const OneTimeLoads loads{
      ConfigLoadedFlag,        RunLoadConfiguration,  NavDatabaseAirportCount,
      RunLoadNavDatabase,      AircraftConfigNameRef, RunLoadAircraftConfig,
      FlightPlanLibraryCountValue, RunScanFlightPlanFolder,
  };
  return loads;
}

}  // namespace ovi::host
