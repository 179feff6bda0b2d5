// Where the gauges' one-time loads meet their loaders.
//
// WIRING POINT: the configuration (model: LoadConfiguration, ConfigLoaded,
// LoadAircraftConfig, AircraftConfigName), the navigation database (navdb:
// LoadNavDatabase, AirportCount) and the flight-plan library (flightplan:
// ScanFlightPlanFolder, FlightPlanLibraryCount) are connected here and
// nowhere else. Until they are, each step keeps its own flag: the
// configuration step marks itself loaded, the others load nothing.
#include "src/host/one_time_loads.h"

#include "src/model/fixed_table.h"

namespace ovi::host {

namespace {

struct LoadStandIns {
  int ConfigLoaded = 0;
  int AirportCount = 0;
  std::string AircraftConfigName;
  int FlightPlanLibraryCount = 0;
};

LoadStandIns stand_ins;

}  // namespace

int ConfigLoadedFlag() { return stand_ins.ConfigLoaded; }
void RunLoadConfiguration() { stand_ins.ConfigLoaded = 1; }
int NavDatabaseAirportCount() { return stand_ins.AirportCount; }
void RunLoadNavDatabase() {}
std::string& AircraftConfigNameRef() { return stand_ins.AircraftConfigName; }
void RunLoadAircraftConfig() {}
int FlightPlanLibraryCountValue() { return stand_ins.FlightPlanLibraryCount; }
void RunScanFlightPlanFolder() {}

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
