// The record types every subsystem shares. Field order follows the order in
// which the route files, lists and pages use them.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "src/model/bounded_table.h"
#include "src/model/fixed_table.h"
#include "src/model/record_text.h"

namespace ovi::model {

// Sentinels used throughout.
constexpr double kNoValue = -999.0;     // no altitude / speed / value
constexpr int kNoWaypoint = 999;        // no active / edited waypoint
inline constexpr const char* kNoneText = "------";
inline bool IsNone(const std::string& text) { return text == kNoneText; }

// Capacities.
constexpr int kMaxFlightPlanWaypoints = 200;  // highest last index a route-file reader fills
constexpr int kMaxActivePlanWaypoints = 200;  // highest last index of the active plan
constexpr int kFlightPlanSlots = 201;         // indices 0..200
constexpr int kMaxLibraryPlans = 300;
constexpr int kFlightPlanLibrarySlots = 304;
constexpr int kHoldTableSlots = 11;
constexpr int kMaxHolds = 8;
constexpr int kMaxStatusMessages = 400;
constexpr int kMaxProcedureLegs = 300;
constexpr int kMaxRunways = 22;
constexpr int kMaxBoundaryPoints = 800;

// The largest file of each kind read, in bytes: a larger one is refused
// whole, with its name, before a byte of it is read.
// A navigation data or procedure file (a world's worth is tens of MB).
constexpr std::int64_t kMaxNavDataFileBytes = std::int64_t{512} << 20;
// ovi.cfg, an aircraft file, a performance file (hand-written, kilobytes).
constexpr std::int64_t kMaxSettingsFileBytes = std::int64_t{16} << 20;
// A route file, a simulator .PLN plan, temp.rte.
constexpr std::int64_t kMaxPlanFileBytes = std::int64_t{16} << 20;
// fpl.log read back, and Flight.log, which a record is added to.
constexpr std::int64_t kMaxFlightLogBytes = std::int64_t{16} << 20;

// Capacities of one airport's procedure set. The procedure tables carry no
// spare slots; the name lists have a few.
constexpr int kMaxSids = 40;
constexpr int kMaxStars = 40;
constexpr int kMaxApproaches = 60;
constexpr int kMaxApproachTransitions = 80;
constexpr int kMaxSidTransitions = 100;
constexpr int kMaxStarTransitions = 100;
constexpr int kMaxApproachTransitionListEntries = 140;
constexpr int kNameListSpare = 4;

// One waypoint of a route.
struct FlightPlanWaypoint {
  std::string ident;            // or a marker: "DISCO", "THEN", "******", ...
  double latitude = 0.0;        // degrees, north positive
  double longitude = 0.0;       // degrees, east positive
  std::string type;             // "APT", "VOR", "NDB", "INT", "WPT", "OAWY", ""
  std::string via;              // airway name, "DIRECT", ""
  std::string procedure_tag;    // "SID", "STAR", "SIDSTAR", "APPR", "APCH", ""
  std::string text1;            // free text, unused by the route operations
  std::string text2;            // approach leg role: "IAF", "FAF", "ARC", "HP", "MAP"
  std::string time_over_text;   // "%02.0f:%02.0f" when passed; entry 0 = takeoff time
  double altitude_constraint = kNoValue;  // feet
  double speed_constraint = kNoValue;     // knots
  double value3 = -1.0;                   // intercept course, degrees magnetic; <= -1 none
  std::int32_t flyover = 0;               // 1 = fly-over
  std::uint32_t constraint_flag = 0;      // 0 none, 1 honoured, 2 speed only, 3 altitude and speed
  std::uint32_t hold_number = 0;          // HoldTable entry, 0 none
  // Navaid frequency token for VOR / NDB; the CDU and navigator pages call
  // it the "procedure name" (they write a candidate's frequency or extra
  // token into it and show it beside a VOR or NDB).
  std::string frequency_text;
  std::int32_t screen_x = 0;              // eighths of a pixel, where a route layer last drew it
  std::int32_t screen_y = 0;

  bool operator==(const FlightPlanWaypoint&) const = default;
};

// A crossing altitude (with its speed) the plan flies at the entry: the
// pilot's (flag 1) or a published procedure's (flag 3). Shown on RTE LEGS
// as a constraint, a procedure's was once passed by, and the aircraft
// crossed an approach's 6,000 ft at 15,000.
inline bool IsConstraint(const FlightPlanWaypoint& w) { return w.constraint_flag == 1 || w.constraint_flag == 3; }

using FlightPlanTable = FixedTable<FlightPlanWaypoint, kFlightPlanSlots>;

struct FlightPlanLibraryEntry {
  std::string name;  // file name
  std::string origin_ident;
  std::string destination_ident;
  std::int32_t last_index = -1;
  FlightPlanTable waypoints;
};

// Text sizes of the navigation records (bytes): idents and the tokens of
// the navigation files are at most 10 bytes, kinds at most 4.
constexpr std::size_t kRecordIdentLength = 10;
constexpr std::size_t kRecordTokenLength = 10;
constexpr std::size_t kRecordKindLength = 4;

// The one record of the navigation database: 80 bytes, no heap memory, so
// the world-sized tables are compact and copy as plain bytes.
struct NavDbRecord {
  FixedText<kRecordIdentLength> ident;
  InternedText name;           // at most kMaxInternedText bytes
  double latitude = 0.0;
  double longitude = 0.0;
  FixedText<kRecordKindLength> kind;             // "APT", "I", "V", "N", "O", "WPT"
  FixedText<kRecordTokenLength> frequency_text;  // navaids: the frequency token; others: extra token
  FixedText<kRecordTokenLength> airport_text;    // airports: third token of the airport line (elevation, feet)
  double distance = 0.0;       // NM, when listed by nearness (9999.0 = empty place)
  double bearing = 0.0;        // degrees
};
static_assert(sizeof(NavDbRecord) <= 80 && std::is_trivially_copyable_v<NavDbRecord>);

struct RunwayRecord {
  std::string number_text;         // "09L", "27R", "18"
  double latitude = 0.0;           // threshold
  double longitude = 0.0;
  std::int32_t length = 0;         // feet
  double heading = 0.0;            // degrees magnetic
  double approach_course = 0.0;    // equal to the heading as loaded when none is given
  std::int32_t right_pattern = 0;  // 1 = right-hand traffic pattern
  std::string frequency_text;      // ILS frequency
  std::string extra_text1;
  std::string extra_text2;
};

struct ProcedureLeg {
  std::string transition;     // "---" or empty = common part
  std::string fix_ident;
  std::string role;           // "IAF", "IAF*", "FAF", "MAP", "ARC", "HP", other
  std::string altitude_text;  // integer feet or a placeholder
  std::string filter_text;    // holds the runway "to" text; empty = any
  double latitude = 0.0;
  double longitude = 0.0;
  std::string approach_name;  // the text after the position
  std::string ninth_text;     // "*" = left out of the CDU transition lists
  std::int32_t flyover = 0;
};

struct ProcedureRecord {
  std::string name;
  std::string runway;  // SIDs / STARs: comma-separated runways, empty = all
  std::string type;    // approach type (approaches and approach transitions)
  std::int32_t leg_count = 0;
  // 1-based. Most procedures have a dozen legs of the 300 allowed: only the
  // legs written take memory.
  GrowingTable<ProcedureLeg, kMaxProcedureLegs + 1> legs;
};

struct ProcedureListEntry {
  std::string text1;
  std::string fix_ident;      // 2nd
  std::string role;           // 3rd
  std::string altitude_text;  // 4th (approach rows)
  std::string text5;
  std::string via_text;       // 6th (SID rows, empty in row 1)
  double latitude = 0.0;
  double longitude = 0.0;
  std::int32_t flyover = 0;
};

struct NameIndexEntry {
  std::string name;
  std::int32_t number = 0;
};

struct RouteViaToEntry {
  std::string to;   // ident, "THEN" or "DISCO"
  std::string via;  // airway or "DIRECT"
};

struct HoldPoint {
  double latitude = 0.0;
  double longitude = 0.0;
  std::string name;  // the fix, "Xwind", "Dwind", "Base", "Final"
};

struct HoldingPattern {
  std::string name;                    // fix ident
  std::int32_t active_index = 0;       // index in the active plan, 0 none
  std::int32_t pending_index = 0;      // index in the pending plan
  std::int32_t turn_side = 1;          // 1 right, 2 left
  double leg_length = 0.0;             // NM
  double leg_time = 1.0;               // minutes
  double inbound_course = 0.0;         // degrees magnetic
  std::int32_t time_based = 1;         // 1 time, 2 distance
  HoldPoint corners[5];
};

struct AtcBoundary {
  std::string name;
  std::string label;  // at most 3 characters shown
  std::int32_t point_count = 0;
  double label_latitude = 0.0;
  double label_longitude = 0.0;
  struct Point {
    double latitude = 0.0;
    double longitude = 0.0;
  };
  // 1-based. Outlines hold a few hundred points of the 800 allowed, and the
  // table is loaded on the frame that first draws it: only the points
  // written take memory.
  BoundedTable<Point> points{kMaxBoundaryPoints};
};

struct FixInfoRecord {
  std::string ident;  // empty = unused
  double latitude = 0.0;
  double longitude = 0.0;
  std::string kind;
  struct RadialDistance {
    double radial = 0.0;    // degrees magnetic; 0 none, an entered 000 is stored as 360
    double distance = 0.0;  // NM; 0 none
  };
  RadialDistance rows[3];
};

// The runways and terminal procedures of one airport. Two sets exist: 1 is
// the origin (departure lists), 2 the destination (arrival lists); each set
// carries every member, the lists of the other side stay empty. The
// procedure tables take memory for the records loaded, not for their
// capacity, so a set is small until an airport is loaded into it and
// re-creating it costs what it held.
struct AirportProcedureSet {
  std::string AirportIdent;       // from the airport line; set 2: DestinationSetAirportIdent
  double AirportLatitude = 0.0;   // set 2: DestinationAirportLatitude
  double AirportLongitude = 0.0;  // set 2: DestinationAirportLongitude
  std::int32_t RunwayCount = 0;   // set 2: DestinationRunwayCount
  FixedTable<RunwayRecord, kMaxRunways + 1> Runways;  // same index as AirportRunwayTable
  // SelectedDepartureRunwayIndex (set 1) / SelectedArrivalRunwayIndex (set 2); 0 none.
  std::int32_t SelectedRunwayIndex = 0;

  GrowingTable<ProcedureRecord, kMaxSids + 1> SidTable;
  std::int32_t SidCount = 0;
  GrowingTable<ProcedureRecord, kMaxStars + 1> StarTable;
  std::int32_t StarCount = 0;
  GrowingTable<ProcedureRecord, kMaxApproaches + 1> ApproachTable;
  std::int32_t ApproachCount = 0;
  // type = approach type (the third text of the record).
  GrowingTable<ProcedureRecord, kMaxApproachTransitions + 1> ApproachTransitionTable;
  std::int32_t ApproachTransitionCount = 0;

  // Departure lists (set 1).
  FixedTable<NameIndexEntry, kMaxRunways + 1 + kNameListSpare> DepartureRunwayNameList;
  std::int32_t DepartureRunwayListCount = 0;
  FixedTable<NameIndexEntry, kMaxSids + 1 + kNameListSpare> SidNameList;
  std::int32_t SidNameListCount = 0;
  FixedTable<NameIndexEntry, kMaxSidTransitions + 1 + kNameListSpare> SidTransitionList;
  std::int32_t SidTransitionListCount = 0;

  // Arrival lists (set 2).
  FixedTable<NameIndexEntry, kMaxRunways + 1 + kNameListSpare> ArrivalRunwayNameList;
  std::int32_t ArrivalRunwayListCount = 0;
  FixedTable<NameIndexEntry, kMaxStars + 1 + kNameListSpare> StarNameList;
  std::int32_t StarListCount = 0;
  FixedTable<NameIndexEntry, kMaxStarTransitions + 1 + kNameListSpare> StarTransitionList;
  std::int32_t StarTransitionListCount = 0;
  FixedTable<NameIndexEntry, kMaxApproachTransitionListEntries + 1 + kNameListSpare>
      ApproachTransitionList;
  std::int32_t ApproachTransitionListCount = 0;
  // via = approach name, to = its runway.
  FixedTable<RouteViaToEntry, kMaxApproaches + 1 + kNameListSpare> ArrivalNameList;
  std::int32_t ArrivalNameListCount = 0;
};

// Sub-page indices and counts of the CDU pages, in this order; every index
// starts at 1, and each count at 1 unless its page has a fixed number.
struct FmsSubPageTable {
  std::int32_t RteSubPage = 1;
  std::int32_t RteSubPageCount = 1;
  std::int32_t LegsSubPage = 1;
  std::int32_t LegsSubPageCount = 1;
  std::int32_t RteHoldSubPage = 1;
  std::int32_t RteHoldSubPageCount = 1;
  std::int32_t ProgressSubPage = 1;
  std::int32_t ProgressSubPageCount = 3;
  std::int32_t PerfInitSubPage = 1;
  std::int32_t PerfInitSubPageCount = 2;
  std::int32_t NavStatusSubPage = 1;
  std::int32_t NavStatusSubPageCount = 2;
  std::int32_t FixInfoSubPage = 1;
  std::int32_t FixInfoSubPageCount = 2;
  std::int32_t PosSubPage = 1;
  std::int32_t PosSubPageCount = 3;
  std::int32_t RefNavDataKind = 1;
  std::int32_t DeparturesSubPage = 1;
  std::int32_t ArrivalsSubPage = 1;
  std::int32_t DeparturesSubPageCount = 1;
  std::int32_t ArrivalsSubPageCount = 1;
};

// Exported to other gauges as one memory block, in this order.
struct NavigationSnapshot {
  std::uint32_t ActWptPos = 0;
  double ActWptDist = 0.0;
  std::uint32_t FplnWptCnt = 0;
  double ActWptTrk = 0.0;
  double ActWptBrg = 0.0;
  std::uint32_t XtkErrDir = 0;
  double XtkErrDist = 0.0;
  std::uint32_t LnavMode = 0;
  std::uint32_t VnavMode = 0;
};

// Per-instrument drawing size: every draw entry copies the element's pixel
// size into width and height; the instrument draws on a fixed logical canvas.
struct GaugeDisplay {
  std::int32_t default_width = 134;
  std::int32_t default_height = 97;
  std::int32_t width = 134;
  std::int32_t height = 97;
};

}  // namespace ovi::model
