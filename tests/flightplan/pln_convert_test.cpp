// Conversion of the simulator's .PLN files (key-and-comma and XML forms)
// into temp.rte, and reading converted plans.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "src/flightplan/load.h"
#include "src/flightplan/pln_convert.h"
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

class PlnTest : public FlightPlanTest {
 protected:
  // Converts the given bytes and returns temp.rte as the conversion wrote
  // it; `result` keeps what it returned (a refused plan's readable lines
  // are written all the same).
  std::string Convert(const std::string& bytes, const std::string& name = "T.PLN") {
    sim->WritePlan(name, bytes);
    result = ConvertPlnToRte(name);
    return test::ReadBytes(sim->plans() / "temp.rte");
  }
  int result = 0;
};

std::string Xml(const std::string& waypoints, const std::string& decl = "UTF-8") {
  return "<?xml version=\"1.0\" encoding=\"" + decl +
         "\"?>\n<SimBase.Document Type=\"AceXML\" version=\"1,0\">\n<FlightPlan.FlightPlan>\n"
         "<DepartureID>KSEA</DepartureID>\n" +
         waypoints + "</FlightPlan.FlightPlan>\n</SimBase.Document>\n";
}

std::string XmlWaypoint(const std::string& id, const std::string& type, const std::string& pos) {
  std::string s = "<ATCWaypoint id=\"" + id + "\">\n";
  if (!type.empty()) s += "<ATCWaypointType>" + type + "</ATCWaypointType>\n";
  if (!pos.empty()) s += "<WorldPosition>" + pos + "</WorldPosition>\n";
  return s + "</ATCWaypoint>\n";
}

const char* kDeg = "\xC2\xB0";  // UTF-8 degree sign

TEST_F(PlnTest, SamplePlansOfBothFormsConvertToTheExpectedBytes) {
  sim->CopySamplePlans();
  for (const char* name : {"KOLM-KPDX.PLN", "KPAE-KBLI.PLN", "KYKM-KSEA.PLN", "KEAT-KGEG.pln"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(ConvertPlnToRte(name), 0);
    const std::string stem = fs::path(name).stem().string();
    EXPECT_EQ(test::ReadBytes(sim->plans() / "temp.rte"), test::ExpectedBytes(stem + ".temp.rte"));
  }
}

TEST_F(PlnTest, ConvertedPlansReadWithNavaidsCompleted) {
  sim->CopySamplePlans();
  ReadFlightPlanFile("KYKM-KSEA.PLN", 1);
  const auto& p = fpl().ScratchFlightPlan;
  ASSERT_EQ(fpl().ScratchFlightPlanLastIndex, 7);
  EXPECT_EQ(p[0].ident, "KYKM");
  EXPECT_EQ(p[0].type, "APT");
  EXPECT_EQ(p[1].frequency_text, "116.00");
  EXPECT_EQ(p[4].ident, "WPT01");  // a user waypoint takes the type before it
  EXPECT_EQ(p[4].type, "INT");
  EXPECT_EQ(p[6].frequency_text, "116.80");
  EXPECT_DOUBLE_EQ(p[7].latitude, 47.44889);

  ReadFlightPlanFile("kpae-kbli.pln", 1);
  ASSERT_EQ(fpl().ScratchFlightPlanLastIndex, 7);
  EXPECT_EQ(p[3].ident, "BVS");
  EXPECT_EQ(p[3].type, "NDB");
  EXPECT_EQ(p[3].frequency_text, "350");
}

TEST_F(PlnTest, KeyAndCommaFormWithAndWithoutTheLeadingField) {
  // The value of waypoint.0 does not begin with the departure ident: every
  // waypoint line carries a leading field before its ident.
  EXPECT_EQ(Convert("[flightplan]\n"
                    "departure_id=KSEA, N47* 26.94', W122* 18.56', +000433.00\n"
                    "waypoint.0=, KSEA, , KSEA, A, N47* 26.94', W122* 18.56', +000433.00, \n"
                    "waypoint.1=, SEA, , SEA, V, N47* 26.13', W122* 18.59', +000000.00, \n"),
            "[FlightPlan]\n"
            "KSEA     47.44889 -122.30944  APT\n"
            "SEA      47.43556 -122.30972  VOR\n");
  // The older form, a three-letter departure, an NDB and a fix.
  EXPECT_EQ(Convert("[flightplan]\r\n"
                    "departure_id=S50, N47* 12.00', W122* 30.00', +000100.00\r\n"
                    "waypoint.0=S50, A, N47* 12.00', W122* 30.00', +000100.00, \r\n"
                    "waypoint.1=PWT, N, N47* 29.42', W122* 45.88', +000000.00, \r\n"
                    "waypoint.2=COUGA, I, N46* 9.34', W122* 41.64', +000000.00, V23\r\n"),
            "[FlightPlan]\n"
            "S50      47.20000 -122.50000  APT\n"
            "PWT      47.49028 -122.76472  NDB\n"
            "COUGA    46.15556 -122.69389  INT\n");
}

// Lines worked out by hand from the conversion rules: southern and eastern
// hemispheres, one-digit degrees and minutes, a one-digit fraction,
// lower-case type words, an unchanged 00 fraction.
TEST_F(PlnTest, HandDerivedLinesOfBothForms) {
  EXPECT_EQ(Convert("departure_id=YSSY, S33* 56.77', E151* 0.10', +000021.00\n"
                    "waypoint.0=YSSY, a, S33* 56.77', E151* 0.10', +000021.00,\n"
                    "waypoint.1=BOGUS, S7* 5.5', W12* 5.5', +0,\n"
                    "waypoint.2=SY, n, S7* 50.00', E8* 9.99', +0,\n"),
            "[FlightPlan]\n"
            "YSSY     -33.94611 151.00167  APT\n"
            "BOGUS    -7.08417 -12.08417  INT\n"
            "SY       -7.83333 8.16639  NDB\n");
  EXPECT_EQ(Convert(Xml(XmlWaypoint("ABC", "Intersection",
                                    std::string("S7") + kDeg + " 5' 3.99\",E5" + kDeg + " 3' 7.50\",+0"))),
            "[FlightPlan]\n"
            "ABC      -7.08417 5.05194  INT\n");
}

TEST_F(PlnTest, PositionTextsOfTheKeyAndCommaForm) {
  EXPECT_EQ(NormalizeIniLatitude(" N47* 26.13'"), "N47:26:08");
  EXPECT_EQ(NormalizeIniLatitude("N47* 26.98'"), "N47:26:59");
  EXPECT_EQ(NormalizeIniLatitude("N47* 26.00'"), "N47:26:00");
  EXPECT_EQ(NormalizeIniLatitude("N7* 5.50'"), "N07:05:30");
  EXPECT_EQ(NormalizeIniLatitude("N7* 5.5'"), "N07:05:03");  // one digit is read as hundredths
  EXPECT_EQ(NormalizeIniLongitude(" W122* 18.59'"), "W122:18:35");
  EXPECT_EQ(NormalizeIniLongitude("E8* 5.00'"), "E08:05:00");
  EXPECT_EQ(NormalizeIniLongitude("W12* 5.00'"), "W12:05:00");
  EXPECT_EQ(NormalizeIniLongitude("W122* 5.00'"), "W122:05:00");
  EXPECT_EQ(NormalizeIniLongitude("E151* 10.63'"), "E151:10:38");

  double lat = 0, lon = 0;
  ParseDmsLatLon("S33:56:46", "E151:10:38", lat, lon);
  EXPECT_NEAR(lat, 33.946111, 1e-6);
  EXPECT_NEAR(lon, 151.177222, 1e-6);
  ParseDmsLatLon("N07:05:03", "W08:30:00", lat, lon);
  EXPECT_NEAR(lat, 7.084167, 1e-6);
  EXPECT_NEAR(lon, 8.5, 1e-9);
  // Short texts read as zeros past their end.
  ParseDmsLatLon("N4", "W", lat, lon);
  EXPECT_DOUBLE_EQ(lat, 4.0);
  EXPECT_DOUBLE_EQ(lon, 0.0);

  EXPECT_TRUE(IsDmsLatitude("S33:56:46"));
  EXPECT_FALSE(IsDmsLatitude("N91:00:00"));
  EXPECT_FALSE(IsDmsLatitude("N47:60:00"));
  EXPECT_FALSE(IsDmsLatitude("X47:26:08"));
  EXPECT_FALSE(IsDmsLatitude("N47:26:0"));
  EXPECT_TRUE(IsDmsLongitude("E08:05:00"));
  EXPECT_TRUE(IsDmsLongitude("W122:18:35"));
  EXPECT_FALSE(IsDmsLongitude("W181:00:00"));
  EXPECT_FALSE(IsDmsLongitude("W1222:18:35"));
}

TEST_F(PlnTest, XmlFormPositionsTypesAndIdents) {
  const std::string pos = std::string("S33") + kDeg + " 56' 46.00\",E151" + kDeg + " 10' 38.99\",+000021.00";
  EXPECT_EQ(Convert(Xml(XmlWaypoint("WPT1", "User", pos) +  // first and unknown: "I"
                        XmlWaypoint("YSSY", "Airport", pos) + XmlWaypoint("USR", "User", pos) +
                        XmlWaypoint("SY", "NDB", std::string("N7") + kDeg + " 5' 3.50\",W8" + kDeg + " 0' 0.00\",+0") +
                        XmlWaypoint(" A B ", "VOR", pos) +  // blanks leave the ident
                        XmlWaypoint("", "VOR", pos))),     // no ident: left out
            "[FlightPlan]\n"
            "WPT1     -33.94611 151.17722  I\n"
            "YSSY     -33.94611 151.17722  APT\n"
            "USR      -33.94611 151.17722  APT\n"
            "SY       7.08417 -8.00000  NDB\n"
            "AB       -33.94611 151.17722  VOR\n");
}

TEST_F(PlnTest, XmlFormToleratesByteOrderMarkCrLfAndEitherEncoding) {
  const std::string expected = "[FlightPlan]\nKSEA     47.44889 -122.30917  APT\n";
  std::string utf8 = "\xEF\xBB\xBF" + Xml(XmlWaypoint("KSEA", "Airport",
                                                      std::string("N47") + kDeg + " 26' 56.00\",W122" + kDeg +
                                                          " 18' 33.00\",+000433.00"));
  std::string crlf;
  for (char c : utf8) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  EXPECT_EQ(Convert(crlf), expected);
  const std::string latin = "N47\xB0 26' 56.00\",W122\xB0 18' 33.00\",+000433.00";
  EXPECT_EQ(Convert(Xml(XmlWaypoint("KSEA", "Airport", latin), "Windows-1252")), expected);
  EXPECT_EQ(Convert(Xml(XmlWaypoint("KSEA", "Airport", latin), "ISO-8859-1")), expected);
}

TEST_F(PlnTest, XmlWaypointWithoutOrWithBadPositionIsLeftOut) {
  const std::string good = std::string("N47") + kDeg + " 26' 56.00\",W122" + kDeg + " 18' 33.00\",+0";
  EXPECT_EQ(Convert(Xml(XmlWaypoint("KSEA", "Airport", good) + XmlWaypoint("NOPOS", "Intersection", "") +
                        XmlWaypoint("NOCOMMA", "Intersection", "N47 26") +
                        XmlWaypoint("NOSECS", "Intersection", std::string("N47") + kDeg + " 26',W122" + kDeg + " 18'") +
                        XmlWaypoint("JUNK", "Intersection", "N4x7,W122") +
                        XmlWaypoint("FAR", "Intersection", std::string("N147") + kDeg + " 1' 1\",W1" + kDeg + " 1' 1\"") +
                        XmlWaypoint("LONG", "Intersection", std::string(5000, '7') + "," + std::string(5000, '7')) +
                        XmlWaypoint("SEA", "VOR", good))),
            "[FlightPlan]\n"
            "KSEA     47.44889 -122.30917  APT\n"
            "SEA      47.44889 -122.30917  VOR\n");
}

TEST_F(PlnTest, MixedEmptyAndOverlongFiles) {
  // Key-and-comma lines first, then the XML form from its <DepartureID> line on.
  const std::string pos = std::string("N47") + kDeg + " 26' 56.00\",W122" + kDeg + " 18' 33.00\",+0";
  EXPECT_EQ(Convert("waypoint.0=KSEA, A, N47* 26.94', W122* 18.56', +000433.00,\n" +
                    Xml(XmlWaypoint("SEA", "VOR", pos)) + "waypoint.1=PAE, V, N47* 55.19', W122* 16.64', +0,\n"),
            "[FlightPlan]\n"
            "KSEA     47.44889 -122.30944  APT\n"
            "SEA      47.44889 -122.30917  VOR\n");
  EXPECT_EQ(Convert(""), "[FlightPlan]\n");
  EXPECT_EQ(Convert("[flightplan]\ntitle=nothing\n"), "[FlightPlan]\n");
  // A line far longer than any fixed buffer stays one line.
  EXPECT_EQ(Convert("waypoint.0=PAE, V," + std::string(3000, ' ') + "N47* 55.19', W122* 16.64', +0," +
                    std::string(3000, ' ') + "V23\n"),
            "[FlightPlan]\n"
            "PAE      47.91972 -122.27722  VOR\n");
  // Fields missing: nothing for that line, the rest of the file still counts.
  EXPECT_EQ(Convert("waypoint.1=NOCOMMA\n"
                    "waypoint.2=NOLON, V, N47* 26.13'\n"
                    "waypoint.3=BADLAT, V, N477* 26.13', W122* 18.59', +0,\n"
                    "waypoint.4=, V, N47* 26.13', W122* 18.59', +0,\n"
                    "waypoint.5\n"
                    "waypoint.6=SEA, V, N47* 26.13', W122* 18.59', +0,\n"),
            "[FlightPlan]\n"
            "SEA      47.43556 -122.30972  VOR\n");
  // A document broken further down keeps the waypoints before the break.
  const std::string cut = Xml(XmlWaypoint("SEA", "VOR", pos) + XmlWaypoint("PAE", "VOR", pos));
  EXPECT_EQ(Convert(cut.substr(0, cut.find("<ATCWaypoint id=\"PAE\"") + 30)),
            "[FlightPlan]\n"
            "SEA      47.44889 -122.30917  VOR\n");
}

// Damage anywhere refuses the plan: temp.rte holds what could be read, but
// the plan is not loaded in part.
TEST_F(PlnTest, DamageAnywhereRefusesThePlan) {
  const std::string pos = std::string("N47") + kDeg + " 26' 56.00\",W122" + kDeg + " 18' 33.00\",+0";
  const std::string two = XmlWaypoint("KSEA", "Airport", pos) + XmlWaypoint("SEA", "VOR", pos);
  const std::string expected =
      "[FlightPlan]\n"
      "KSEA     47.44889 -122.30917  APT\n"
      "SEA      47.44889 -122.30917  VOR\n";
  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  };
  const std::string three = Xml(two + XmlWaypoint("PAE", "VOR", pos));
  const Case cases[] = {
      {"a broken element before the waypoints", Xml("<Title>KSEA to KPDX</Titl>\n<Descr<>\n" + two),
       "T.PLN: not well-formed XML"},
      {"a waypoint element that never closes",
       Xml("<ATCWaypoint id=\"BROKEN\">\n<ATCWaypointType>VOR</ATCWaypointType>\n" + two),
       "T.PLN: not well-formed XML (<ATCWaypoint> at byte"},
      {"a file cut inside the last position",
       three.substr(0, three.find("<WorldPosition>", three.find("id=\"PAE\"")) + 25), "T.PLN: cut short at byte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Convert(c.bytes), expected);
    EXPECT_EQ(result, kPlnNotLoaded);
    EXPECT_NE(test::StatusLog().find(c.reason), std::string::npos) << test::StatusLog();
  }
}

TEST_F(PlnTest, PlansOfFewerThanTwoWaypointsAreRefused) {
  const std::string pos = std::string("N47") + kDeg + " 26' 56.00\",W122" + kDeg + " 18' 33.00\",+0";
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"one waypoint", Xml(XmlWaypoint("KSEA", "Airport", pos))},
      {"decimal degrees", Xml(XmlWaypoint("KSEA", "Airport", "47.44889,-122.30917,+433") +
                              XmlWaypoint("KPDX", "Airport", "45.58870,-122.59750,+30"))},
      {"cut before the second closes", Xml(XmlWaypoint("KSEA", "Airport", pos) + "<ATCWaypoint id=\"SEA\">\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    model::model_state.McuEntryText.clear();
    Convert(c.bytes);
    EXPECT_EQ(result, kPlnNotLoaded);
    EXPECT_EQ(model::model_state.McuEntryText, "Unable to load FP");
  }
  // Such a plan leaves the library instead of passing as an empty route.
  fpl().ScratchFlightPlanLastIndex = 5;
  ReadFlightPlanFile("T.PLN", 1);
  EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, 5);
  EXPECT_NE(test::StatusLog().find("T.PLN: fewer than two waypoints"), std::string::npos);
}

// Zurich to Dublin across the Greenwich meridian, 32 waypoints: LSZH, W01 to
// W30 on whole minutes (10' north and 26' west a step, from 47 30 N 8 00 E),
// EIDW. A plan is loaded whole or not at all.
struct Fix {
  std::string ident;
  int lat_minutes;  // north of the equator
  int lon_minutes;  // east positive
  int lat_seconds = 0;
  int lon_seconds = 0;
};

std::vector<Fix> ZurichDublin() {
  std::vector<Fix> fixes{{"LSZH", 47 * 60 + 27, 8 * 60 + 32, 53, 57}};
  for (int i = 1; i <= 30; ++i) {
    fixes.push_back({util::Format("W%02d", i), 47 * 60 + 30 + 10 * i, 8 * 60 - 26 * i});
  }
  fixes.push_back({"EIDW", 53 * 60 + 25, -(6 * 60 + 16), 17, 12});
  return fixes;
}

std::string XmlPlan(const std::vector<Fix>& fixes) {
  std::string waypoints;
  for (std::size_t i = 0; i < fixes.size(); ++i) {
    const Fix& f = fixes[i];
    const int lon = std::abs(f.lon_minutes);
    const std::string pos = util::Format("N%d%s %d' %d.00\",%c%d%s %d' %d.00\",+000000.00", f.lat_minutes / 60, kDeg,
                                         f.lat_minutes % 60, f.lat_seconds, f.lon_minutes < 0 ? 'W' : 'E', lon / 60,
                                         kDeg, lon % 60, f.lon_seconds);
    const bool airport = i == 0 || i + 1 == fixes.size();
    waypoints += XmlWaypoint(f.ident, airport ? "Airport" : "Intersection", pos);
  }
  std::string xml = Xml(waypoints);
  xml.insert(xml.find("<DepartureID>"), "<DestinationID>EIDW</DestinationID>\n");
  return xml;
}

// Hundredths of a minute that come back as the fix's whole seconds.
std::string Fs9Plan(const std::vector<Fix>& fixes, std::size_t count) {
  std::string ini = "[flightplan]\ndeparture_id=LSZH, N47* 27.88', E8* 32.95', +001416.00\n"
                    "destination_id=EIDW, N53* 25.28', W6* 16.20', +000242.00\n";
  for (std::size_t i = 0; i < count; ++i) {
    const Fix& f = fixes[i];
    const int lon = std::abs(f.lon_minutes);
    const bool airport = i == 0 || i + 1 == fixes.size();
    ini += util::Format("waypoint.%zu=%s, %s, N%d* %d.%02d', %c%d* %d.%02d', +000000.00, \n", i, f.ident.c_str(),
                        airport ? "A" : "I", f.lat_minutes / 60, f.lat_minutes % 60,
                        static_cast<int>(f.lat_seconds / 0.6), f.lon_minutes < 0 ? 'W' : 'E', lon / 60, lon % 60,
                        static_cast<int>(f.lon_seconds / 0.6));
  }
  return ini;
}

TEST_F(PlnTest, PlansAreLoadedWholeOrNotAtAll) {
  const std::vector<Fix> fixes = ZurichDublin();
  // Whole, in both forms: 32 waypoints, across the meridian.
  const std::string last = "EIDW     53.42139 -6.27000  APT\n";
  for (const std::string& plan : {XmlPlan(fixes), Fs9Plan(fixes, fixes.size())}) {
    const std::string temp = Convert(plan);
    EXPECT_EQ(result, 0) << test::StatusLog();
    EXPECT_EQ(std::count(temp.begin(), temp.end(), '\n'), 33);
    EXPECT_EQ(temp.substr(0, 48), "[FlightPlan]\nLSZH     47.46472 8.54917  APT\nW01 ");
    EXPECT_NE(temp.find("W18      50.50000 0.20000  INT\nW19      50.66667 -0.23333  INT\n"), std::string::npos);
    EXPECT_EQ(temp.substr(temp.size() - last.size()), last);
  }

  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  };
  const std::string xml = XmlPlan(fixes);
  const std::size_t after_20 = [&] {
    std::size_t at = 0;
    for (int i = 0; i < 20; ++i) at = xml.find("</ATCWaypoint>", at) + 14;
    return at;
  }();
  std::string decimal_destination = xml;
  decimal_destination.replace(decimal_destination.rfind("<WorldPosition>") + 15, 22, "53.42139,-6.27000,+242");
  std::string nul_id = xml;
  nul_id[nul_id.find("id=\"W07\"") + 6] = '\0';
  std::vector<Fix> long_plan = fixes;
  for (int i = 31; long_plan.size() < 250; ++i) long_plan.insert(long_plan.end() - 1, {util::Format("X%03d", i), 50 * 60, 0});
  std::string lost_line = Fs9Plan(fixes, fixes.size());
  lost_line.erase(lost_line.find("waypoint.7="), lost_line.find("waypoint.8=") - lost_line.find("waypoint.7="));
  const Case cases[] = {
      {"XML cut after 20 of 32", xml.substr(0, after_20), "T.PLN: cut short at byte"},
      {"XML cut after 20 of 32, its closing tags added",
       xml.substr(0, after_20) + "</FlightPlan.FlightPlan>\n</SimBase.Document>\n",
       "T.PLN: ends at W19, before its destination EIDW"},
      {"FS9 cut after 20 of 32", Fs9Plan(fixes, 20), "T.PLN: ends at W19, before its destination EIDW"},
      {"FS9 cut inside the 21st line", Fs9Plan(fixes, 21).substr(0, Fs9Plan(fixes, 21).size() - 30),
       "T.PLN: waypoint.20 has no ident or position"},
      {"FS9 line lost", lost_line, "T.PLN: waypoint.8 out of order"},
      {"a decimal destination", decimal_destination,
       "T.PLN: waypoint 32 (EIDW) has no position in degrees, minutes and seconds"},
      {"a damaged element", [&] {
         std::string d = xml;
         d.replace(d.find("<ATCWaypointType>", d.find("id=\"W11\"")), 17, "<ATCWaypointType ");
         return d;
       }(),
       "T.PLN: not well-formed XML"},
      {"a NUL in an id", nul_id, "T.PLN: a NUL byte at byte"},
      {"250 waypoints", XmlPlan(long_plan), "T.PLN: 250 waypoints, more than a route holds (201)"},
      {"28 decimal waypoints", [&] {
         std::string w;
         for (int i = 0; i < 28; ++i) w += XmlWaypoint(util::Format("D%02d", i), "Intersection", "47.5,-122.3,+0");
         return Xml(w);
       }(),
       "T.PLN: waypoint 1 (D00) has no position in degrees, minutes and seconds"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    model::model_state.StatusMessageCount = 0;
    model::model_state.McuEntryText.clear();
    Convert(c.bytes);
    EXPECT_EQ(result, kPlnNotLoaded);
    EXPECT_EQ(model::model_state.McuEntryText, "Unable to load FP");
    EXPECT_NE(test::StatusLog().find(c.reason), std::string::npos) << test::StatusLog();
    // The library only lists plans: the reason in the log, nothing on the
    // MCU entry line, no entry.
    model::model_state.StatusMessageCount = 0;
    model::model_state.McuEntryText.clear();
    fpl().ScratchFlightPlanLastIndex = -1;
    ReadFlightPlanFile("T.PLN", 1);
    EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, -1);
    EXPECT_EQ(model::model_state.McuEntryText, "");
    EXPECT_NE(test::StatusLog().find(c.reason), std::string::npos) << test::StatusLog();
  }
}

// The reason names the first damage in the file, where it is: an element
// left open at its start (not where the parser notices it, at the closing
// tag near the end), a cut file as cut short, and files that are no plan
// of either form for what they are.
TEST_F(PlnTest, TheReasonNamesTheFirstDamageWhereItIs) {
  const std::string xml = XmlPlan(ZurichDublin());
  std::string open_w11 = xml;
  const std::size_t w11 = open_w11.find("<ATCWaypoint id=\"W11\"");
  open_w11.erase(open_w11.find("</ATCWaypoint>", w11), 14);
  // Self-closing elements before it close themselves.
  std::string self_closing = open_w11;
  const std::string empties = "<ATCAirway/>\n<RunwayNumberFP a=\"1/2\" />\n";
  self_closing.insert(self_closing.find("<WorldPosition>", self_closing.find("id=\"W05\"")), empties);
  std::string utf16 = "\xFF\xFE";
  for (char c : xml) utf16 += std::string{c, '\0'};
  const std::string garmin =
      "<?xml version=\"1.0\"?>\n<flight-plan>\n<waypoint-table>\n<waypoint><identifier>KSEA</identifier>"
      "<lat>47.449</lat><lon>-122.309</lon></waypoint>\n</waypoint-table>\n</flight-plan>\n";
  struct Case {
    const char* name;
    std::string bytes;
    std::string reason;
  };
  const Case cases[] = {
      {"a waypoint left open", open_w11,
       util::Format("T.PLN: not well-formed XML (<ATCWaypoint> at byte %zu never closes)\n", w11)},
      {"the same after a byte-order mark", "\xEF\xBB\xBF" + open_w11,
       util::Format("T.PLN: not well-formed XML (<ATCWaypoint> at byte %zu never closes)\n", w11 + 3)},
      {"the same after self-closing elements", self_closing,
       util::Format("T.PLN: not well-formed XML (<ATCWaypoint> at byte %zu never closes)\n", w11 + empties.size())},
      {"cut after a tag", xml.substr(0, 489), "T.PLN: cut short at byte 489\n"},
      {"cut inside a tag", xml.substr(0, w11 + 7), util::Format("T.PLN: cut short at byte %zu\n", w11 + 7)},
      {"UTF-16", utf16, "T.PLN: UTF-16 text (plans are read as UTF-8 or single-byte text)\n"},
      {"another program's plan", garmin,
       "T.PLN: not a simulator flight plan (no <DepartureID>, no waypoint.0 line)\n"},
      {"empty", " \r\n", "T.PLN: empty\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    model::model_state.StatusMessageCount = 0;
    Convert(c.bytes);
    EXPECT_EQ(result, kPlnNotLoaded);
    EXPECT_EQ(test::StatusLog(), c.reason);
  }
  // A closing tag of nothing open is where the parser says.
  model::model_state.StatusMessageCount = 0;
  std::string stray = xml;
  const std::size_t at = stray.find("<ATCWaypoint id=\"W05\"");
  stray.insert(at, "</Stray>");
  Convert(stray);
  EXPECT_EQ(test::StatusLog(), util::Format("T.PLN: not well-formed XML (Start-end tags mismatch at byte %zu)\n", at + 2));
}

// The destination a plan names is an ident like any other: "eidw" is EIDW.
TEST_F(PlnTest, DestinationIsComparedInAnyCase) {
  const std::vector<Fix> fixes = ZurichDublin();
  std::string xml = XmlPlan(fixes);
  xml.replace(xml.find("<DestinationID>EIDW"), 19, "<DestinationID>eidw");
  std::string ini = Fs9Plan(fixes, fixes.size());
  ini.replace(ini.find("destination_id=EIDW"), 19, "destination_id=eidw");
  for (const std::string& plan : {xml, ini}) {
    Convert(plan);
    EXPECT_EQ(result, 0) << test::StatusLog();
  }
  // Cut short, it is still refused.
  Convert(Fs9Plan(fixes, 20).replace(Fs9Plan(fixes, 20).find("destination_id=EIDW"), 19, "destination_id=eidw"));
  EXPECT_EQ(result, kPlnNotLoaded);
}

TEST_F(PlnTest, IdentsReadBackAsWritten) {
  const std::string pos = std::string("N47") + kDeg + " 26' 56.00\",W122" + kDeg + " 18' 33.00\",+0";
  // A NUL inside an ident and one that starts with the comment mark.
  const std::string nul_ident = std::string("A\0B", 3);
  EXPECT_EQ(Convert("waypoint.0=" + nul_ident + ", V, N47* 26.13', W122* 18.59', +0,\n"
                    "waypoint.1=;SEA, V, N47* 26.13', W122* 18.59', +0,\n"),
            "[FlightPlan]\n"
            "A_B      47.43556 -122.30972  VOR\n"
            "_SEA     47.43556 -122.30972  VOR\n");
  EXPECT_EQ(result, 0);
  ReadFlightPlanFile("T.PLN", 1);
  ASSERT_EQ(fpl().ScratchFlightPlanLastIndex, 1);
  EXPECT_EQ(fpl().ScratchFlightPlan[0].ident, "A_B");
  EXPECT_EQ(fpl().ScratchFlightPlan[1].ident, "_SEA");

  // The route writer: what it writes reads back as written.
  State& s = fpl();
  const char* idents[] = {";KSEA", "TAB\tX", "", "NUL"};
  for (int i = 0; i < 4; ++i) {
    s.ActiveFlightPlan[i] = model::FlightPlanWaypoint{};
    s.ActiveFlightPlan[i].ident = idents[i];
    s.ActiveFlightPlan[i].latitude = 47.0 + i;
    s.ActiveFlightPlan[i].longitude = -122.0;
    s.ActiveFlightPlan[i].type = "WPT";
  }
  s.ActiveFlightPlan[3].ident.push_back('\0');
  s.ActiveFlightPlanLastIndex = 3;
  ASSERT_EQ(SaveFlightPlanFile("IDENTS.RTE"), 1);
  ReadFlightPlanFile("IDENTS.RTE", 1);
  ASSERT_EQ(s.ScratchFlightPlanLastIndex, 3);
  const char* read_back[] = {"_KSEA", "TAB_X", "_", "NUL_"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(s.ScratchFlightPlan[i].ident, read_back[i]) << i;
}

// No ident comes near the route file's 16-character column: a plan holding
// a longer one is refused whole, in both .PLN forms and in a route file
// (a 5,000-character ident would run across the displays and go whole
// into the flight log).
TEST_F(PlnTest, AnIdentLongerThanTheIdentColumnRefusesThePlan) {
  const std::string pos = std::string("N47") + kDeg + " 26' 56.00\",W122" + kDeg + " 18' 33.00\",+0";
  const std::string ini = ", A, N47* 26.94', W122* 18.56', +0,\n";
  for (std::size_t length : {16u, 17u, 5000u}) {
    const std::string id(length, 'Q');
    const std::string forms[][3] = {
        {"L.RTE", "[FlightPlan]\nKSEA 47.4 -122.3 APT\n" + id + " 47.0 -122.0 INT\nKPDX 45.5 -122.6 APT\n", "line 3"},
        {"X.PLN", Xml(XmlWaypoint("KSEA", "Airport", pos) + XmlWaypoint(id, "VOR", pos)), "waypoint 2"},
        {"I.PLN", "waypoint.0=KSEA" + ini + "waypoint.1=" + id + ini, "waypoint.1"},
    };
    for (const auto& [file, bytes, where] : forms) {
      SCOPED_TRACE(file + " " + std::to_string(length));
      sim->WritePlan(file, bytes);
      model::model_state.StatusMessageCount = 0;
      fpl().PendingFlightPlanLastIndex = -1;
      EXPECT_EQ(LoadSelectedFlightPlan(file, 1), length == 16);
      EXPECT_EQ(fpl().PendingFlightPlan[1].ident == id, length == 16);
      EXPECT_EQ(test::StatusLog(), length == 16 ? "" : file + ": " + where + " has an ident of " + std::to_string(length) +
                                                          " characters, longer than 16\n");
    }
  }
}

TEST_F(PlnTest, FailuresNeverLeaveAStaleTempRouteReadAsTheConversion) {
  // The .PLN file does not open.
  sim->WritePlan("temp.rte", "[FlightPlan]\nSTALE 1 2 WPT\nSTALE 3 4 WPT\n");
  EXPECT_EQ(ConvertPlnToRte("MISSING.PLN"), kPlnNotLoaded);
  EXPECT_EQ(model::model_state.McuEntryText, "Unable to load FP");
  EXPECT_EQ(test::ReadBytes(sim->plans() / "temp.rte"), "[FlightPlan]\nSTALE 1 2 WPT\nSTALE 3 4 WPT\n");
  fpl().ScratchFlightPlanLastIndex = -1;
  ReadFlightPlanFile("MISSING.PLN", 1);
  EXPECT_EQ(fpl().ScratchFlightPlanLastIndex, -1);

  // temp.rte cannot be written (a folder holds its name) while an old
  // Temp.rte is still there: the plan is not loaded; the library, which
  // reads a plan as converted in memory, still lists it as it is.
  fs::remove(sim->plans() / "temp.rte");
  fs::create_directory(sim->plans() / "temp.rte");
  sim->WritePlan("Temp.rte", "[FlightPlan]\nSTALE 1 2 WPT\nSTALE 3 4 WPT\n");
  sim->CopySamplePlans();
  model::model_state.McuEntryText.clear();
  EXPECT_EQ(ConvertPlnToRte("KYKM-KSEA.PLN"), kPlnNotLoaded);
  EXPECT_EQ(model::model_state.McuEntryText, "Unable to load FP");
  ReadFlightPlanFile("KYKM-KSEA.PLN", 1);
  ASSERT_GE(fpl().ScratchFlightPlanLastIndex, 1);
  EXPECT_EQ(fpl().ScratchFlightPlan[0].ident, "KYKM");
  EXPECT_NE(fpl().ScratchFlightPlan[1].ident, "STALE");

  // A file no flight plan comes near in size is not loaded.
  sim->WritePlan("HUGE.PLN", std::string((16u << 20) + 1, ' '));
  model::model_state.McuEntryText.clear();
  EXPECT_EQ(ConvertPlnToRte("HUGE.PLN"), kPlnNotLoaded);
  EXPECT_EQ(model::model_state.McuEntryText, "Unable to load FP");

  // A folder name beyond the path limit is a missing file.
  model::model_state.FlightPlansFolder = std::string(300, 'f');
  EXPECT_EQ(ConvertPlnToRte("KYKM-KSEA.PLN"), kPlnNotLoaded);
}

}  // namespace
}  // namespace ovi::flightplan
