// Navigation database: the airport, navaid, intersection and airway tables
// loaded from \ovi\navdata\, the near and map lists built from them, the
// airport-details tables and the shared results of the geodesy routines.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "src/model/records.h"
#include "src/navdb/bounded_table.h"

namespace ovi::navdb {

// Capacities (highest usable index) large enough for a whole-world data set.
constexpr int kMaxAirports = 65000;
constexpr int kMaxNavaids = 25000;
constexpr int kMaxIntersections = 400000;
constexpr int kMaxAirwayPoints = 400000;  // distinct fixes named by the airway files
constexpr int kMaxAirwayFixes = 600000;   // airway file lines
constexpr int kMaxNearListEntries = 3000;
constexpr int kMaxMapAirports = 1000;
constexpr int kMaxMapNavaids = 1000;
constexpr int kMaxMapAirwayPoints = 3000;
constexpr int kMaxAtcBoundaries = 400;

// Radii of the near and map lists, NM.
constexpr double kNearListRadius = 600.0;
constexpr double kMapAirportRadius = 180.0;
constexpr double kMapNavaidRadius = 320.0;
constexpr double kMapAirwayPointRadius = 200.0;
// A map layer rebuilds a near list once its position moved this far from
// the list's centre, a map list after the smaller distance.
constexpr double kNearListRebuildDistance = 200.0;
constexpr double kMapListRebuildDistance = 50.0;

constexpr double kEarthRadiusNm = 3437.7467707849396;
constexpr double kNoCenter = -999.0;

// One line of an airway file: the airway's name and the fix it passes,
// as an index into AirwayPointTable. Lines stay in file order.
struct AirwayFix {
  model::FixedText<model::kRecordIdentLength> airway;
  std::int32_t point = 0;
};

// Index of NavaidTable by the first character of the ident: the table
// indices whose ident starts with byte c are order[start[c] .. start[c+1]-1],
// in table order.
struct NavaidFirstCharIndex {
  std::array<std::int32_t, 257> start{};
  std::vector<std::int32_t> order;
};

// Unit vectors of a table's positions, kept beside it so the near filters
// can reject far entries with three multiplications instead of a
// great-circle computation. Index 0 unused, like the table.
struct PositionVectors {
  std::vector<float> x, y, z;
};

// Where an airport's line sits in the airport files, so the details loader
// can seek to it instead of scanning the whole file.
struct AirportFileRef {
  std::int8_t file = -1;  // 0 = apts_user.txt, 1 = apts.txt, -1 unknown
  std::int64_t offset = 0;
  std::int64_t line = 0;  // the airport line's number, for the runway lines' reports
};

struct LatLon {
  double latitude = kNoCenter;
  double longitude = kNoCenter;
};

// Indices into NearListCenters.
enum NearListSlot : int {
  kNearAirportsCenter = 0,
  kMapAirportsCenter = 1,
  kNearAirwayPointsCenter = 2,
  kMapAirwayPointsCenter = 3,
  kNearNavaidsCenter = 4,
  kMapNavaidsCenter = 5,
};

// What SetTowerViewPosition last wrote through FSUIPC, and how many of its
// writes the server took.
struct TowerViewRequest {
  std::int64_t latitude = 0;   // FS units: degrees * 10001750 / 90 * 2^32
  std::int64_t longitude = 0;  // degrees * 2^64 / 360
  std::int64_t altitude = 0;   // metres * 2^32
  int writes = 0;
};

// A reading of atc_bdry.txt kept for the first drawing of the boundaries.
struct PreparedAtcBoundaries {
  bool ready = false;
  std::int64_t file_size = 0;  // the file as it was read
  BoundedTable<model::AtcBoundary> table{kMaxAtcBoundaries};
  int count = 0;
  int points = 0;
  bool full = false;  // a header found the table full
  int bad_lines = 0;
  std::int64_t first_bad_line = 0;
  bool any_line = false;  // the file held a data line
};

struct State {
  // ---- loaded tables (1-based; the count is the last index used) ----
  BoundedTable<model::NavDbRecord> AirportTable{kMaxAirports};
  int AirportCount = 0;  // 0 = database not loaded
  std::vector<AirportFileRef> AirportFileRefs;  // parallel to AirportTable

  BoundedTable<model::NavDbRecord> NavaidTable{kMaxNavaids};
  int NavaidCount = 0;
  NavaidFirstCharIndex NavaidIndex;

  BoundedTable<model::NavDbRecord> IntersectionTable{kMaxIntersections};
  int IntersectionCount = 0;

  // Distinct fixes of the airway files (kind "I"), what the maps draw as
  // intersections, and the airway lines that name them.
  BoundedTable<model::NavDbRecord> AirwayPointTable{kMaxAirwayPoints};
  int AirwayPointCount = 0;
  BoundedTable<AirwayFix> AirwayFixTable{kMaxAirwayFixes};
  int AirwayFixCount = 0;

  PositionVectors AirportVectors, NavaidVectors, AirwayPointVectors;

  // ---- near and map lists (1-based) ----
  BoundedTable<model::NavDbRecord> NearAirportList{kMaxNearListEntries};
  int NearAirportCount = 0;
  BoundedTable<model::NavDbRecord> NearNavaidList{kMaxNearListEntries};
  int NearNavaidCount = 0;
  BoundedTable<model::NavDbRecord> NearAirwayPointList{kMaxNearListEntries};
  int NearAirwayPointCount = 0;
  BoundedTable<model::NavDbRecord> MapAirportList{kMaxMapAirports};
  int MapAirportCount = 0;
  BoundedTable<model::NavDbRecord> MapNavaidList{kMaxMapNavaids};
  int MapNavaidCount = 0;
  BoundedTable<model::NavDbRecord> MapAirwayPointList{kMaxMapAirwayPoints};
  int MapAirwayPointCount = 0;
  // Near airports, map airports, near airway points, map airway points,
  // near navaids, map navaids; -999 before the first build.
  std::array<LatLon, 6> NearListCenters{};

  // ---- ATC boundaries ----
  BoundedTable<model::AtcBoundary> AtcBoundaryTable{kMaxAtcBoundaries};
  int AtcBoundaryCount = 0;
  int AtcBoundaryPointCount = 0;  // 0 until loaded
  // atc_bdry.txt as read when the database loaded (PrepareAtcBoundaries),
  // until the first drawing takes it.
  PreparedAtcBoundaries PreparedBoundaries;

  // ---- airport details (the airport loaded last) ----
  model::FixedTable<model::RunwayRecord, model::kMaxRunways + 1> AirportRunwayTable;
  int AirportRunwayCount = 0;  // 0 = none loaded
  model::NavDbRecord AirportDetailRecord;
  std::string AirportElevationText;
  std::string AirportDetailText;
  std::string AirportDetailsElevationText;
  // The selected runway is AirportRunwayTable[SelectedRunwayBase + SelectedRunwayOffset - 1].
  int SelectedRunwayBase = -999;
  int SelectedRunwayOffset = 1;

  // The airport last loaded for a destination mode: the tower view target.
  model::NavDbRecord DestinationDetailRecord;

  // Parking position of the destination from the parking file; latitude 0 = none.
  double ParkingLatitude = 0.0;
  double ParkingLongitude = 0.0;
  double ParkingHeading = 0.0;

  TowerViewRequest LastTowerViewRequest;

  // Main navigation files already reported missing (bits: navs 1, apts 2,
  // ints 4, awys 8, atc_bdry 16), so a retried load does not repeat it; the
  // same bits shifted by 8 for their user files, and apt_additional_info 32
  // and the parking file 64 (shifted: they are never reported missing),
  // for a file refused (ReportUnreadOnce).
  unsigned ReportedMissingFiles = 0;
  // The same for a main file that held no data line.
  unsigned ReportedEmptyFiles = 0;
  // Airports whose bad runway lines were reported ("<file>:<airport line>"):
  // the details and the procedures of one airport read them time and
  // again, and the status log holds 400 texts.
  std::vector<std::string> ReportedRunwayLines;

  // ---- shared results of ComputeDistanceAndBearing ----
  double CalcDistance = 0.0;
  double CalcBearing = 0.0;
  // Some displays name the distance result ScratchDistance: one variable.
  double& ScratchDistance = CalcDistance;
};

extern State navdb_state;

}  // namespace ovi::navdb
