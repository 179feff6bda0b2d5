// Route files: the exact bytes the writer produces, reading them back, the
// readers' key lines, navaid completion, limits, damaged lines and folders.
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/os/files.h"
#include "platform/os/os.h"
#include "src/flightplan/library.h"
#include "src/flightplan/load.h"
#include "src/flightplan/route_file.h"
#include "src/flightplan/state.h"
#include "src/model/state.h"
#include "src/util/text.h"
#include "tests/flightplan/test_support.h"

namespace ovi::flightplan {
namespace {

namespace fs = std::filesystem;
using test::FlightPlanTest;

State& fpl() { return flightplan_state; }
model::State& model() { return model::model_state; }

struct Row {
  const char* ident;
  double lat, lon;
  const char* type;
  const char* freq;
  const char* via;
  const char* tag;
};

// The route behind tests/data/flightplans/saved_route.rte.
const Row kSavedRoute[] = {
    {"KSEA", 47.449, -122.3093, "APT", "", "", "SID"},  // tag without via: not written
    {"FOURT", 47.35, -122.306, "INT", "", "SEA4", "SID"},
    {"OLM", 46.9713, -122.9022, "VOR", "113.40", "DIRECT", ""},
    {"THEN", 0.0, 0.0, "OAWY", "", "V23", ""},
    {"DISCO", 0.0, 0.0, "", "", "", ""},
    {"USR1", 33.434167, -112.011667, "WPT", "", "", ""},
    {"VERYLONGIDENTIF1", 45.5, -122.5, "INT", "", "LONGAIRWY9", "SIDSTAR"},  // fills the ident and via columns
    {"CLS", 46.627, -122.983, "NDB", "470", "DIRECT", "STAR"},
    {"KPDX", 45.5887, -122.5975, "APT", "", "DIRECT", "APCH"},
};

void FillActive(const Row* rows, int count) {
  for (int i = 0; i < count; ++i) {
    model::FlightPlanWaypoint& wp = fpl().ActiveFlightPlan[i];
    wp.ident = rows[i].ident;
    wp.latitude = rows[i].lat;
    wp.longitude = rows[i].lon;
    wp.type = rows[i].type;
    wp.frequency_text = rows[i].freq;
    wp.via = rows[i].via;
    wp.procedure_tag = rows[i].tag;
  }
  fpl().ActiveFlightPlanLastIndex = count - 1;
}

double Rounded5(double v) { return std::stod(util::Format("%.5f", v)); }

std::string Header() { return "[FlightPlan]\n"; }
std::string Line(const char* ident, double lat, double lon, const char* type, const char* freq = "---",
                 const char* via = "", const char* tag = "") {
  return util::Format("%-16s %-2.5f  %-3.5f  %-3s %-6s %-7s %s\n", ident, lat, lon, type, freq, via, tag);
}

TEST_F(FlightPlanTest, SavedRouteMatchesTheHandMadeFileByteForByte) {
  constexpr int n = static_cast<int>(std::size(kSavedRoute));
  FillActive(kSavedRoute, n);
  model().CruiseAlt = 35000;
  ASSERT_EQ(SaveFlightPlanFile("SAVED.RTE"), 1);
  EXPECT_EQ(test::ReadBytes(sim->plans() / "SAVED.RTE"), test::ExpectedBytes("saved_route.rte"));
  // Unknown types are written as WPT and the active route itself says so.
  EXPECT_EQ(fpl().ActiveFlightPlan[3].type, "WPT");
  EXPECT_EQ(fpl().ActiveFlightPlan[4].type, "WPT");
  EXPECT_EQ(fpl().ActiveFlightPlan[0].type, "APT");
}

// Column widths worked out by hand, independent of the writer's format
// text: minimum widths padded with blanks, longer texts whole, negative
// zero and rounding up to 180 as printf gives them.
TEST_F(FlightPlanTest, HandMadeRouteHasTheExactColumns) {
  const Row rows[] = {
      {"EGLL", 51.4775, -0.461389, "APT", "", "", "SID"},
      {"BPK", 51.749722, -0.106667, "vor", "117.50", "UL10", ""},  // type compared exactly
      {"ABCDEFGHIJKLMNOP", -12.3456789, 130.0000049, "NDB", "1234.567", "DIRECT7X", "APCH"},
      {"DISCO", 0.0, 0.0, "", "", "", ""},
      {"X", -0.000001, 179.999996, "INT", "", "V23", "STAR"},
  };
  FillActive(rows, 5);
  model().SaveFPLCruiseAlt = 1;
  model().CruiseAlt = 0;
  ASSERT_EQ(SaveFlightPlanFile("HAND.RTE"), 1);
  const std::string sp12(12, ' ');
  EXPECT_EQ(test::ReadBytes(sim->plans() / "HAND.RTE"),
            "CruiseAlt=0\n"
            "[FlightPlan]\n"
            "EGLL" + std::string(13, ' ') + "51.47750  -0.46139  APT ---" + sp12 + "\n" +
            "BPK" + std::string(14, ' ') + "51.74972  -0.10667  WPT 117.50 UL10    \n" +
            "ABCDEFGHIJKLMNOP -12.34568  130.00000  NDB 1234.567 DIRECT7X APCH\n" +
            "DISCO" + std::string(12, ' ') + "0.00000  0.00000  WPT ---" + sp12 + "\n" +
            "X" + std::string(16, ' ') + "-0.00000  180.00000  INT ---    V23     STAR\n");
  EXPECT_EQ(fpl().ActiveFlightPlan[1].type, "WPT");
  EXPECT_EQ(fpl().ActiveFlightPlan[3].type, "WPT");
}

TEST_F(FlightPlanTest, RouteWrittenAndReadBackIsIdentical) {
  constexpr int n = static_cast<int>(std::size(kSavedRoute));
  FillActive(kSavedRoute, n);
  ASSERT_EQ(SaveFlightPlanFile("ROUNDTRIP.RTE"), 1);
  ReadFlightPlanFile("roundtrip.rte", 1);
  ASSERT_EQ(fpl().ScratchFlightPlanLastIndex, n - 1);
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    const model::FlightPlanWaypoint& a = fpl().ActiveFlightPlan[i];
    const model::FlightPlanWaypoint& b = fpl().ScratchFlightPlan[i];
    EXPECT_EQ(b.ident, a.ident);
    EXPECT_DOUBLE_EQ(b.latitude, Rounded5(a.latitude));
    EXPECT_DOUBLE_EQ(b.longitude, Rounded5(a.longitude));
    EXPECT_EQ(b.type, a.type);
    EXPECT_EQ(b.via, a.via);
    // A tag without a via is not written, so it reads back empty.
    EXPECT_EQ(b.procedure_tag, a.via.empty() ? "" : a.procedure_tag);
    EXPECT_DOUBLE_EQ(b.altitude_constraint, -999.0);
    EXPECT_DOUBLE_EQ(b.speed_constraint, -999.0);
    EXPECT_DOUBLE_EQ(b.value3, -1.0);
    EXPECT_EQ(b.hold_number, 0u);
    EXPECT_EQ(b.frequency_text, a.frequency_text);
  }
  EXPECT_DOUBLE_EQ(fpl().ScratchFlightPlan[5].latitude, 33.43417);
  EXPECT_DOUBLE_EQ(fpl().ScratchFlightPlan[5].longitude, -112.01167);
}

// A damaged file's bytes in a text column (a NUL, other control bytes) are
// read as they stand, and a save writes every column whole, so that each
// reads back as it was loaded, in its own column. Printed as C strings, a
// frequency holding a NUL ended there, the via moved into its column, and
// the route SAVE called saved read back as another one. The ident goes out
// as the ident rule writes it, the type as the writer names it.
TEST_F(FlightPlanTest, EveryTextColumnReadsBackAsLoadedWhateverBytesItHolds) {
  using namespace std::string_literals;
  const std::string odd[] = {"\0"s,       "12\0"s "3", "\0"s "117.90", "\x01"s, "A\x1f"s "B",
                             "\x7f"s,     "\x0b\x0c"s, "\x1b[2J"s,     std::string(7, '\0')};
  const char* const kColumns[] = {"ident", "lat", "lon", "type", "frequency", "via", "tag"};
  for (const int column : {0, 3, 4, 5, 6}) {
    for (const std::string& text : odd) {
      SCOPED_TRACE(::testing::Message() << kColumns[column] << " " << ::testing::PrintToString(text));
      std::string fields[] = {"W1", "47.1", "-122.1", "VOR", "113.40", "V23", "STAR"};
      fields[column] = column == 0 ? "W" + text : text;
      std::string line;
      for (const std::string& f : fields) line += f + " ";
      sim->WritePlan("IN.RTE", Header() + Line("KSEA", 47.449, -122.3093, "APT") + line + "\n" +
                                   Line("KPDX", 45.5887, -122.5975, "APT"));
      ReadFlightPlanFile("IN.RTE", 1);
      ASSERT_EQ(fpl().ScratchFlightPlanLastIndex, 2);
      const model::FlightPlanWaypoint loaded = fpl().ScratchFlightPlan[1];
      ASSERT_EQ(column == 0 ? loaded.ident : column == 3 ? loaded.type
                                         : column == 4   ? loaded.frequency_text
                                         : column == 5   ? loaded.via
                                                         : loaded.procedure_tag,
                fields[column]);
      for (int i = 0; i <= 2; ++i) fpl().ActiveFlightPlan[i] = fpl().ScratchFlightPlan[i];
      fpl().ActiveFlightPlanLastIndex = 2;
      ASSERT_EQ(SaveFlightPlanFile("OUT.RTE"), 1);
      const model::FlightPlanWaypoint saved = fpl().ActiveFlightPlan[1];
      ReadFlightPlanFile("OUT.RTE", 1);
      ASSERT_EQ(fpl().ScratchFlightPlanLastIndex, 2);
      const model::FlightPlanWaypoint& back = fpl().ScratchFlightPlan[1];
      EXPECT_EQ(back.ident, RouteFileIdent(loaded.ident));
      EXPECT_DOUBLE_EQ(back.latitude, 47.1);
      EXPECT_DOUBLE_EQ(back.longitude, -122.1);
      EXPECT_EQ(back.type, saved.type);
      EXPECT_EQ(back.frequency_text, loaded.frequency_text);
      EXPECT_EQ(back.via, loaded.via);
      EXPECT_EQ(back.procedure_tag, loaded.procedure_tag);
      EXPECT_EQ(fpl().ScratchFlightPlan[2].ident, "KPDX");
    }
  }
}

TEST_F(FlightPlanTest, CruiseAltLineFollowsTheOptionAndEmptyRouteIsHeaderOnly) {
  model().SaveFPLCruiseAlt = 0;
  model().CruiseAlt = 31000;
  ASSERT_EQ(SaveFlightPlanFile("EMPTY.RTE"), 1);
  EXPECT_EQ(test::ReadBytes(sim->plans() / "EMPTY.RTE"), Header());
  model().SaveFPLCruiseAlt = 1;
  ASSERT_EQ(SaveFlightPlanFile("EMPTY.RTE"), 1);
  EXPECT_EQ(test::ReadBytes(sim->plans() / "EMPTY.RTE"), "CruiseAlt=31000\n" + Header());
}

TEST_F(FlightPlanTest, WriterUsesModuleFolderButNeverTheAircraftFolder) {
  const fs::path module_dir = sim->root() / "module plans";
  const fs::path aircraft_dir = sim->root() / "aircraft plans";
  fs::create_directories(module_dir);
  fs::create_directories(aircraft_dir);
  FillActive(kSavedRoute, 2);
  model().AircraftFlightPlansFolder = aircraft_dir.string();
  ASSERT_EQ(SaveFlightPlanFile("A.RTE"), 1);
  EXPECT_TRUE(fs::exists(sim->plans() / "A.RTE"));
  model().FlightPlansFolder = module_dir.string();
  ASSERT_EQ(SaveFlightPlanFile("B.RTE"), 1);
  EXPECT_TRUE(fs::exists(module_dir / "B.RTE"));
  EXPECT_FALSE(fs::exists(aircraft_dir / "A.RTE"));
  EXPECT_FALSE(fs::exists(aircraft_dir / "B.RTE"));
  // Readers try the aircraft folder first.
  EXPECT_EQ(FlightPlanReadPath("X.RTE"), aircraft_dir.string() + "\\X.RTE");
  model().AircraftFlightPlansFolder.clear();
  EXPECT_EQ(FlightPlanReadPath("X.RTE"), module_dir.string() + "\\X.RTE");
  model().FlightPlansFolder.clear();
  EXPECT_EQ(FlightPlanReadPath("X.RTE"), sim->root().string() + "\\ovi\\flightplans\\X.RTE");
}

TEST_F(FlightPlanTest, WriterReportsAFileItCannotCreate) {
  FillActive(kSavedRoute, 2);
  model().FlightPlansFolder = (sim->root() / "no such folder").string();
  EXPECT_EQ(SaveFlightPlanFile("A.RTE"), 0);
  model().FlightPlansFolder = std::string(300, 'x');
  EXPECT_EQ(SaveFlightPlanFile("A.RTE"), 0);
  model().FlightPlansFolder.clear();
  // The pilot's entry names a file of the folder, never a path elsewhere.
  fs::create_directories(sim->plans() / "sub");
  for (const char* name : {"../OUT.RTE", "..\\OUT.RTE", "sub/IN.RTE", "C:OUT.RTE"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(SaveFlightPlanFile(name), 0);
  }
  EXPECT_FALSE(fs::exists(sim->root() / "ovi" / "OUT.RTE"));
  EXPECT_FALSE(fs::exists(sim->plans() / "sub" / "IN.RTE"));
  EXPECT_EQ(SaveFlightPlanFile("..RTE"), 1);  // dots alone are a plain name
  // A route the readers would refuse is not reported as saved.
  fpl().ActiveFlightPlan[1].ident = std::string(17, 'L');
  EXPECT_EQ(SaveFlightPlanFile("LONGID.RTE"), 0);
  EXPECT_FALSE(fs::exists(sim->plans() / "LONGID.RTE"));
  // A full disk: the save is refused and leaves no file behind.
  FillActive(kSavedRoute, 2);
  os::LimitDiskSpaceForTesting(0);
  EXPECT_EQ(SaveFlightPlanFile("FULL.RTE"), 0);
  os::LimitDiskSpaceForTesting(-1);
  EXPECT_FALSE(fs::exists(sim->plans() / "FULL.RTE"));
  EXPECT_EQ(SaveFlightPlanFile("FULL.RTE"), 1);
}

TEST_F(FlightPlanTest, ReaderCompletesNavaidIdentsByTypeAndFrequency) {
  sim->WritePlan("NAV.RTE", Header() + Line("KSEA", 47.449, -122.3093, "APT") +
                                Line("SEA", 47.4353, -122.3097, "VOR") +           // freq filled
                                Line("PWT", 47.4903, -122.7647, "INT") +           // INT that is an NDB
                                Line("OLM", 46.9713, -122.9022, "WPT") +           // keeps WPT, gets freq
                                Line("ELN", 47.0242, -120.4572, "NDB") +           // the NDB of the pair
                                Line("ELN", 47.0245, -120.4535, "VOR") +           // the VOR of the pair
                                Line("PAE", 47.9198, -122.2774, "VOR", "999.99") +  // own freq kept
                                Line("SEA", 12.0, -122.3, "VOR") +                 // other latitude: none
                                Line("KPDX", 45.5887, -122.5975, "APT"));
  ReadFlightPlanFile("NAV.RTE", 1);
  const auto& p = fpl().ScratchFlightPlan;
  ASSERT_EQ(fpl().ScratchFlightPlanLastIndex, 8);
  EXPECT_EQ(p[0].frequency_text, "");
  EXPECT_EQ(p[1].frequency_text, "116.80");
  EXPECT_EQ(p[2].type, "NDB");
  EXPECT_EQ(p[2].frequency_text, "378");
  EXPECT_EQ(p[3].type, "WPT");
  EXPECT_EQ(p[3].frequency_text, "113.40");
  EXPECT_EQ(p[4].frequency_text, "362");
  EXPECT_EQ(p[5].frequency_text, "117.90");
  EXPECT_EQ(p[6].frequency_text, "999.99");
  EXPECT_EQ(p[7].frequency_text, "");
  EXPECT_EQ(p[8].ident, "KPDX");
}

// A route that does not fit is refused whole, as a .PLN plan is: 250
// waypoints loaded as the first 201 would lose the destination.
TEST_F(FlightPlanTest, ReaderRefusesMoreWaypointsThanARouteHoldsAndTakesHeaderInAnyCase) {
  for (int count : {201, 202, 250}) {
    SCOPED_TRACE(count);
    std::string text = "[flightplan]\n";
    for (int i = 0; i < count; ++i) text += Line(util::Format("W%03d", i).c_str(), 47.0, -122.0, "WPT");
    sim->WritePlan("LONG.RTE", text);
    model().StatusMessageCount = 0;
    ReadFlightPlanFile("LONG.RTE", 1);
    EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, count == 201 ? 200 : -1);
    EXPECT_EQ(fpl().ScratchFlightPlan[200].ident, "W200");
    EXPECT_EQ(fpl().ScratchFlightPlan.refused(), 0);
    EXPECT_EQ(test::StatusLog(),
              count == 201 ? "" : util::Format("LONG.RTE: %d waypoints, more than a route holds (201)\n", count));
  }

  sim->WritePlan("UP.RTE", "[FLIGHTPLAN]\n" + Line("A", 1, 2, "WPT") + Line("B", 3, 4, "WPT"));
  ReadFlightPlanFile("UP.RTE", 1);
  EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, 1);

  // No header: no waypoint, and the log names what is missing.
  const std::pair<std::string, std::string> refused[] = {
      {Line("A", 1, 2, "WPT") + Line("B", 3, 4, "WPT"), "NOHDR.RTE: the [FlightPlan] header is missing\n"},
      {" \n\n", "NOHDR.RTE: empty\n"},
  };
  for (const auto& [text, said] : refused) {
    sim->WritePlan("NOHDR.RTE", text);
    model().StatusMessageCount = 0;
    ReadFlightPlanFile("NOHDR.RTE", 1);
    EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, -1);
    EXPECT_EQ(test::StatusLog(), said);
  }
}

// A via names an airway or a procedure (at most 10 characters in the
// navigation data) or is DIRECT: a plan holding a longer one is refused
// whole by every reader, a stored plan's as the MCU's and the plan list's,
// and the writer never writes one (drawn whole on RTE, a 300-character via
// ran across the page).
TEST_F(FlightPlanTest, AViaLongerThanAnyAirwayNameRefusesThePlan) {
  for (std::size_t length : {10u, 11u, 300u}) {
    SCOPED_TRACE(length);
    const std::string via(length, 'V');
    const bool taken = length == kMaxRouteViaLength;
    sim->WritePlan("VIA.RTE", Header() + Line("KSEA", 47.4, -122.3, "APT") +
                                  Line("OLM", 47.0, -122.9, "VOR", "---", via.c_str()) +
                                  Line("KPDX", 45.5, -122.6, "APT", "---", "DIRECT"));
    const std::string why = taken ? "" : util::Format(": line 3 has a via of %zu characters, longer than 10\n", length);
    model().StatusMessageCount = 0;
    fpl().PendingFlightPlanLastIndex = -1;
    EXPECT_EQ(LoadSelectedFlightPlan("VIA.RTE", 0), taken);
    EXPECT_EQ(fpl().PendingFlightPlan[1].via == via, taken);
    fpl().ActiveFlightPlanLastIndex = -1;
    fpl().RequestedFlightPlanFile = "VIA.RTE";
    LoadRequestedFlightPlan(1);
    EXPECT_EQ(fpl().ActiveFlightPlanLastIndex, taken ? 2 : -1);
    ScanFlightPlanFolder();
    EXPECT_EQ(fpl().FlightPlanLibraryCount, taken ? 2 : 1);  // and the closing entry
    std::string refusals;  // the loads also log the airports they set
    std::istringstream log(test::StatusLog());
    for (std::string l; std::getline(log, l);)
      if (l.starts_with("VIA.RTE")) refusals += l + "\n";
    EXPECT_EQ(refusals, taken ? "" : "VIA.RTE" + why + "VIA.RTE" + why);
    // The list says it in its one text for the folder.
    EXPECT_EQ(model::CountStatusMessages(util::Format("1 plan file left out: VIA.RTE (line 3 has a via of %zu", length)),
              taken ? 0 : 1);
    fpl().ActiveFlightPlan[1].via = via;
    fpl().ActiveFlightPlanLastIndex = 2;
    EXPECT_EQ(SaveFlightPlanFile("OUT.RTE"), taken ? 1 : 0);
    EXPECT_EQ(fs::exists(sim->plans() / "OUT.RTE"), taken);
    fs::remove(sim->plans() / "OUT.RTE");
  }
}

TEST_F(FlightPlanTest, ShortBlankAndOverlongLinesNeverDuplicateOrSplitWaypoints) {
  // A waypoint line longer than any fixed buffer: its via after 300 blanks.
  const std::string long_line = "LONG 47.2 -122.2 WPT --- " + std::string(300, ' ') + "QQQQQQQQQQ\n";
  // A comment longer than any fixed buffer whose tail looks like a waypoint.
  const std::string long_comment = ";" + std::string(160, ' ') + "FAKE 47.0 -122.0 INT";
  sim->WritePlan("DAMAGED.RTE", Header() + Line("KSEA", 47.449, -122.3093, "APT") + "\n" + "   \t \n" +
                                    "STRAY\n" + "A 47.1\n" + "B 47.1 -122.1\n" + "C north west INT\n" +
                                    "D 47.1 -122.1 INT ---\r\n" + long_comment + "\n" +
                                    long_line +
                                    "E 95.0 -122.0 INT\n" +
                                    Line("KPDX", 45.5887, -122.5975, "APT"));
  ReadFlightPlanFile("DAMAGED.RTE", 1);
  const auto& p = fpl().ScratchFlightPlan;
  ASSERT_EQ(fpl().ScratchFlightPlanLastIndex, 3);
  EXPECT_EQ(p[0].ident, "KSEA");
  EXPECT_EQ(p[1].ident, "D");  // four columns are enough; CRLF is a line end
  EXPECT_EQ(p[1].type, "INT");
  EXPECT_EQ(p[2].via, "QQQQQQQQQQ");
  EXPECT_EQ(p[3].ident, "KPDX");
  // The first bad line by its number (blank lines count), and the others.
  EXPECT_EQ(test::StatusLog(), "DAMAGED.RTE: bad line 5 and 4 more skipped\n");
}

TEST_F(FlightPlanTest, KeyLinesAreReadAsEachLoaderTakesThem) {
  const std::string text = "CruiseAlt = 33000\nTripFuel=12000.5\nResvFuel=3000\n; Fuel=1\n" + Header() +
                           Line("KSEA", 47.449, -122.3093, "APT") + Line("KPDX", 45.5887, -122.5975, "APT");
  sim->WritePlan("KEYS.RTE", text);

  std::string seen;
  auto read = [&](RouteKeyLines kind, model::FlightPlanTable& t, int& last, RouteTableRef mirror = {}) {
    std::FILE* f = os::OpenFile(FlightPlanReadPath("KEYS.RTE"), "r");
    EXPECT_NE(f, nullptr);
    RouteReadRequest req;
    req.target = {&t, &last};
    req.mirror = mirror;
    req.key_lines = kind;
    req.on_stored = [&](int i) { seen += t[i].ident + ";"; };
    RouteReadResult r = ReadRouteFile(f, req);
    std::fclose(f);
    return r;
  };

  // The request load fills the active and the pending route at once.
  RouteReadResult r = read(RouteKeyLines::kRequestLoad, fpl().ActiveFlightPlan, fpl().ActiveFlightPlanLastIndex,
                           {&fpl().PendingFlightPlan, &fpl().PendingFlightPlanLastIndex});
  EXPECT_EQ(model().CruiseAlt, 33000);
  EXPECT_DOUBLE_EQ(model().ReserveFuel, 3000.0);
  EXPECT_DOUBLE_EQ(r.load_fuel_total, 15000.5);
  EXPECT_EQ(r.stored, 2);
  EXPECT_EQ(seen, "KSEA;KPDX;");
  EXPECT_EQ(fpl().PendingFlightPlanLastIndex, 1);
  EXPECT_EQ(fpl().PendingFlightPlan[1].ident, "KPDX");

  int last = -1;
  r = read(RouteKeyLines::kSelectedLoad, fpl().PendingFlightPlan, last);
  EXPECT_EQ(model().FileCruiseAlt, 33000);
  EXPECT_DOUBLE_EQ(model().ResvFuel, 3000.0);
  EXPECT_DOUBLE_EQ(model().PlannedFuel, 15000.5);
  EXPECT_EQ(last, 1);

  // A fuel line sets the total; a value that is no number changes nothing.
  sim->WritePlan("KEYS.RTE", "TripFuel=100\nfuel 9000\nCruiseAlt=high\n" + Header());
  model().CruiseAlt = 1234;
  last = -1;
  r = read(RouteKeyLines::kRequestLoad, fpl().ScratchFlightPlan, last);
  EXPECT_DOUBLE_EQ(r.load_fuel_total, 9000.0);
  EXPECT_EQ(model().CruiseAlt, 1234);
  model().PlannedFuel = 0.0;
  sim->WritePlan("KEYS.RTE", "TripFuel=100\nFuel=7000\nFuelX=5\n" + Header());
  r = read(RouteKeyLines::kSelectedLoad, fpl().ScratchFlightPlan, last);
  EXPECT_DOUBLE_EQ(model().PlannedFuel, 7000.0);

  // A key line inside the section is still taken, and is no waypoint.
  sim->WritePlan("KEYS.RTE", Header() + Line("KSEA", 47.449, -122.3093, "APT") + "cruisealt = 29000\n" +
                                 Line("KPDX", 45.5887, -122.5975, "APT"));
  last = -1;
  model().StatusMessageCount = 0;
  read(RouteKeyLines::kRequestLoad, fpl().ScratchFlightPlan, last);
  EXPECT_EQ(model().CruiseAlt, 29000);
  EXPECT_EQ(last, 1);
  EXPECT_EQ(fpl().ScratchFlightPlan[1].ident, "KPDX");
  EXPECT_EQ(test::StatusLog(), "");

  // The library reader takes no key line and clears what a selection set.
  model().FileCruiseAlt = 5;
  model().ResvFuel = 5.0;
  sim->WritePlan("KEYS.RTE", text);
  ReadFlightPlanFile("KEYS.RTE", 1);
  EXPECT_EQ(model().FileCruiseAlt, 0);
  EXPECT_DOUBLE_EQ(model().ResvFuel, 0.0);
  EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, 1);
}

TEST_F(FlightPlanTest, MissingFilesLongPathsAndTheNextFplPlaceholder) {
  fpl().ScratchFlightPlanLastIndex = 5;
  ReadFlightPlanFile("NOPE.RTE", 1);
  EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, -1);

  // A folder and name beyond the path limit are a missing file.
  fpl().ScratchFlightPlanLastIndex = 5;
  ReadFlightPlanFile(std::string(400, 'N') + ".RTE", 1);
  EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, -1);

  fpl().ScratchFlightPlan[0].type = "APT";
  fpl().ScratchFlightPlan[1].ident = "X";
  fpl().ScratchFlightPlan[1].via = "J5";
  fpl().ScratchFlightPlanLastIndex = 1;
  ReadFlightPlanFile("NEXT FPL", 1);
  EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, -1);
  EXPECT_EQ(fpl().ScratchFlightPlan[0].ident, "******");
  EXPECT_EQ(fpl().ScratchFlightPlan[0].type, "");
  EXPECT_DOUBLE_EQ(fpl().ScratchFlightPlan[0].altitude_constraint, -999.0);
  EXPECT_EQ(fpl().ScratchFlightPlan[1].ident, "");
  EXPECT_EQ(fpl().ScratchFlightPlan[1].via, "");
  EXPECT_EQ(fpl().EditWaypointIndex, 0);
}

}  // namespace
}  // namespace ovi::flightplan
