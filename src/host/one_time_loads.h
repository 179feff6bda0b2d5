// The one-time loads a gauge runs at pre-initialise. The loaders belong to
// the data model, the navigation database and flight planning; the skeleton
// reaches them only through this table, so a test can hand it fakes.
#pragma once

#include <string>

namespace ovi::host {

struct OneTimeLoads {
  int (*config_loaded)();              // ConfigLoaded
  void (*load_configuration)();        // LoadConfiguration
  int (*airport_count)();              // AirportCount
  void (*load_nav_database)();         // LoadNavDatabase
  std::string& (*aircraft_config_name)();  // AircraftConfigName
  void (*load_aircraft_config)();      // LoadAircraftConfig
  int (*flight_plan_library_count)();  // FlightPlanLibraryCount
  void (*scan_flight_plan_folder)();   // ScanFlightPlanFolder
};

// The module's real loaders.
const OneTimeLoads& DefaultOneTimeLoads();

// Each step on its own, as the default table does it.
int ConfigLoadedFlag();
void RunLoadConfiguration();
int NavDatabaseAirportCount();
void RunLoadNavDatabase();
std::string& AircraftConfigNameRef();
void RunLoadAircraftConfig();
int FlightPlanLibraryCountValue();
void RunScanFlightPlanFolder();

}  // namespace ovi::host
