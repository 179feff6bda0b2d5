// Route files: the module's own text format for stored routes (see
// docs/route-files.md), the folder they live in, the writer, and the one
// reading procedure every route loader shares.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "src/model/records.h"

namespace ovi::flightplan {

// ---- folders ----

// SimulatorFolder + "\ovi\flightplans": the folder no setting names.
std::string DefaultFlightPlanFolder();

// The folder the settings name for flight-plan files, without a trailing
// backslash: the aircraft's AircraftFlightPlansFolder, else the module's
// FlightPlansFolder, else SimulatorFolder + "\ovi\flightplans".
std::string FlightPlanFolderInForce();

// The folder every flight-plan file is read from (route files, .PLN files,
// temp.rte): the one the plan list was made from, else the one in force.
// An aircraft named after the list was made (a panel whose SERVER gauge
// comes first) would otherwise have plans listed from one folder and read
// from another.
std::string FlightPlanReadFolder();
std::string FlightPlanReadPath(std::string_view name);

// The folder route files are saved in: FlightPlansFolder, else
// SimulatorFolder + "\ovi\flightplans". The aircraft's folder is not used.
std::string FlightPlanWriteFolder();
std::string FlightPlanWritePath(std::string_view name);

// The route file's ident column: no ident the module keeps is longer, and
// a plan holding a longer one is refused whole.
constexpr std::size_t kMaxRouteIdentLength = 16;
// The via column names an airway or a procedure, whose names navigation
// data keeps to 10 characters, or "DIRECT": a plan holding a longer via is
// refused whole as well.
constexpr std::size_t kMaxRouteViaLength = model::kRecordIdentLength;
// The key lines' values a route file may hold: a cruise altitude in feet
// (the CDU's CRZ ALT takes no more) and fuel in the weight unit, as the
// pages show it in six digits. A value outside is reported at its line and
// not taken: CruiseAlt=1e300 was CRZ ALT 1.
constexpr double kMaxRouteCruiseAltitude = 99999.0;
constexpr double kMaxRouteFuel = 999999.0;

// ---- writing ----

// The ident as a route file holds it and reads it back: every blank,
// control byte or NUL becomes '_', and so does a leading ';', which the
// reader takes for a comment. An empty ident stays empty.
std::string RouteFileIdent(std::string_view ident);

// Writes ActiveFlightPlan entries 0..ActiveFlightPlanLastIndex into the
// named file of the writing folder (preceded by "CruiseAlt=" while
// SaveFPLCruiseAlt is 1). An entry whose type is none of APT, VOR, NDB, INT
// is written, and left in the active route, as "WPT". Idents are written
// as RouteFileIdent gives them ("_" for none). Returns 1 when the
// whole file was written, 0 when it could not be created or written, the
// name holds a folder separator or drive colon, or an ident is longer than
// kMaxRouteIdentLength or a via longer than kMaxRouteViaLength (the
// readers would refuse the file). The file takes the place of one of that
// name only once it is whole: a failed write keeps the old file as it was,
// and says why in the status log ("<name>: not saved (<why>)").
int SaveFlightPlanFile(const std::string& name);

// ---- reading ----

// A route table and its last index.
struct RouteTableRef {
  model::FlightPlanTable* table = nullptr;
  int* last_index = nullptr;
};

// Which key lines a reader takes (the readers differ here).
enum class RouteKeyLines {
  kNone,          // waypoints only (library reader)
  kRequestLoad,   // on the upper-cased line; CruiseAlt, ReserveFuel, load fuel total
  kSelectedLoad,  // on the line as read; FileCruiseAlt, ResvFuel, PlannedFuel
};

struct RouteReadRequest {
  RouteTableRef target;
  // A second table that receives every waypoint line as well (the request
  // load fills the active and the pending route at once); table null = none.
  RouteTableRef mirror;
  RouteKeyLines key_lines = RouteKeyLines::kNone;
  // Called with the index of each entry just stored and completed.
  std::function<void(int)> on_stored;
  // File name used in the status text about skipped lines.
  std::string label;
};

struct RouteReadResult {
  double load_fuel_total = 0.0;  // kRequestLoad: TripFuel + ResvFuel, or the Fuel line
  int stored = 0;                // waypoint lines stored
  int skipped = 0;               // lines inside the section that were not waypoints
  // Why the file cannot be loaded whole (empty when it can): no
  // "[FlightPlan]" header, nothing in it, more waypoints than a route holds,
  // an ident longer than kMaxRouteIdentLength or a via longer than
  // kMaxRouteViaLength.
  std::string refused;
};

// Opens a file of the reading folder for a route reader: null, with
// "<label>: cannot be opened" (or why it is refused: not a regular file,
// larger than model::kMaxPlanFileBytes) in the status log, when it cannot.
std::FILE* OpenRouteFile(std::string_view name, const std::string& label);

// Reads an open route file line by line into req.target (and the mirror):
// key lines, the "[FlightPlan]" header, one waypoint per line, idents of
// navaids completed with their frequency and type. Waypoint lines lacking
// a column or with a position that is not a number are skipped, not
// stored, and reported in one status text per file naming the first by its
// line number ("<label>: bad line 7 and 3 more skipped"). An empty file, one
// without the header, one of more waypoints than kFlightPlanSlots, or one
// holding an ident longer than kMaxRouteIdentLength or a via longer than
// kMaxRouteViaLength, is refused: `refused` says why, so does the status
// log ("<label>: <reason>"), and the target holds only part of it, which
// the caller must not use. The caller sets the last indices and closes the
// file.
RouteReadResult ReadRouteFile(std::FILE* f, const RouteReadRequest& req);

// Fills in the frequency text and, for an "INT" or untyped entry, the type
// of a waypoint that FindNavaid knows as a navaid. Nothing for an airport
// or an entry that already has a frequency text.
void CompleteNavaidIdent(model::FlightPlanWaypoint& wp);

// The empty plan that "NEXT FPL" stands for: the type, frequency, text 2,
// procedure tag and via of entries 0..last are cleared, last index -1,
// entry 0 the "******" placeholder, entry 1 without ident.
void PreparePlaceholderPlan(model::FlightPlanTable& table, int& last_index);

// The file a selected or library load reads for a library name, into
// `name`: the name upper-cased, a .PLN file converted first and temp.rte
// read in its place. False when the conversion failed: nothing to read
// (show_failure as for ConvertPlnToRte).
bool ResolveLibraryFileName(std::string& name, bool show_failure = true);

// The library's reader: reads one file of the flight-plan folder into
// ScratchFlightPlan (a .PLN file through temp.rte), without key lines.
// "NEXT FPL" gives the empty placeholder plan instead. Clears FileCruiseAlt
// and ResvFuel first. The key switch is kept for the callers' signature.
void ReadFlightPlanFile(std::string name, int key_switch);

}  // namespace ovi::flightplan
