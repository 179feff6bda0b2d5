// DATABASE WPT, PILOT ENTERED WPT and OFFSET WPT: the position text, the
// digit fields as typed and taken back, each page as drawn per candidate
// kind or field state, and what ENT commits on them.
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/instruments/gnsxls/field_typing.h"
#include "src/instruments/gnsxls/keypad.h"
#include "src/instruments/gnsxls/kit.h"
#include "src/navdb/entry_state.h"
#include "tests/instruments/gnsxls/gnsxls_support.h"

namespace ovi::gnsxls::test {
namespace {

using flightplan::test::F;
using flightplan::test::G;
using flightplan::test::MakeActive;
using Block = Frame::Block;
using Blocks = std::vector<Block>;
using WaypointPagesTest = GnsTest;

// Worked from degrees: 47.449 is 47 26' 56.4"; 122.3093 is 122 18' 33.5".
TEST(GnsPositionText, EachHemisphereAndBothLongitudePaddings) {
  struct Case {
    double value;
    bool latitude;
    const char* zero_pad;
    const char* blank_pad;
  } cases[] = {
      {47.449, true, "N 47 26.56", "N 47 26.56"},
      {-33.9, true, "S 33 54.00", "S 33 54.00"},
      {0.0, true, "N 00 00.00", "N 00 00.00"},
      {-122.3093, false, "W122 18.33", "W122 18.33"},
      {-87.5, false, "W087 30.00", "W 87 30.00"},
      {5.25, false, "E005 15.00", "E 05 15.00"},
      {179.0 + 59.0 / 60 + 59.0 / 3600, false, "E179 59.59", "E179 59.59"},
      {-180.0, false, "W180 00.00", "W180 00.00"},
      {0.0, false, "W000 00.00", "W 00 00.00"},
  };
  for (const Case& c : cases) {
    if (c.latitude) {
      EXPECT_EQ(GnsLatitudeText(c.value), c.zero_pad) << c.value;
    } else {
      EXPECT_EQ(GnsLongitudeText(c.value, LongitudePad::kZero), c.zero_pad) << c.value;
      EXPECT_EQ(GnsLongitudeText(c.value, LongitudePad::kBlank), c.blank_pad) << c.value;
    }
  }
}

// North reads 360, never 000; a west variation past north reads 010.
TEST(GnsPositionText, MagneticBearings) {
  struct Case {
    double course, variation, bearing;
  } cases[] = {{10.0, 15.0, 355.0}, {15.3, 15.0, 360.3}, {15.5, 15.0, 0.5}, {350.0, -20.0, 10.0}, {360.0, 0.0, 360.0}};
  for (const Case& c : cases) {
    guidance::guidance_state.MagneticVariation = c.variation;
    EXPECT_NEAR(GnsMagneticBearing(c.course), c.bearing, 1e-9) << c.course << " " << c.variation;
  }
}

// Digits enter at the right over the fixed places; CLR moves them back.
TEST(GnsDigitFields, IntakeAndClear) {
  struct Case {
    const char* start;
    std::span<const int> places;
    const char* keys;  // '<' is CLR
    const char* result;
  } cases[] = {
      {"N      .  ", kLatitudeDigits, "472750", "N 47 27.50"},
      {"N      .  ", kLatitudeDigits, "472750<", "N  4 72.75"},
      {"W      .  ", kLongitudeDigits, "1221833", "W122 18.33"},
      {"   . ", kBearingDigits, "4", "   .4"},
      {"   . ", kBearingDigits, "45", "  4.5"},
      {"   . ", kBearingDigits, "45<", "   .4"},
      {"    . ", kDistanceDigits, "123456", "2345.6"},  // the first digit drops out
  };
  for (const Case& c : cases) {
    std::string field = c.start;
    for (const char* k = c.keys; *k != '\0'; ++k) {
      if (*k == '<') {
        ShiftDigitOut(field, c.places);
      } else {
        ShiftDigitIn(field, c.places, *k);
      }
    }
    EXPECT_EQ(field, c.result) << c.keys;
  }
  double v = 0.0;
  EXPECT_TRUE(FieldValue("  4.5", kBearingDigits, 3, v));
  EXPECT_DOUBLE_EQ(v, 4.5);
  EXPECT_FALSE(FieldValue("   . ", kBearingDigits, 3, v));
  EXPECT_FALSE(FieldValue("-----", kBearingDigits, 3, v));
}

// Page 8 for each kind of candidate and return page.
TEST_F(WaypointPagesTest, DatabaseWaypointPerKindAndReturnPage) {
  struct Case {
    const char* kind;
    std::int32_t return_page;
    const char* type_word;
    bool lines;      // frequency and flyover
    bool direction;  // the turn choice
  } cases[] = {
      {"APT", kPageFlightPlan, "APT", false, false}, {"V", kPageFlightPlan, "VOR", true, false},
      {"N", kPageDirect, "NDB", true, true},         {"I", kPageDirect, "INT", true, true},
      {"O", kPageFlightPlan, "OOCTA", true, false},  {"WPT", kPageFlightPlan, "", true, false},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    PutCandidate(1, "X", "I", 1.0, 1.0);
    PutCandidate(2, "SEA", c.kind, 47.449, -122.3093, "116.80");
    S().GnsXlsPage = kPageDatabaseWaypoint;
    S().GnsXlsReturnPage = c.return_page;
    S().SelectedCandidateIndex = S().GnsDatabaseWaypointPage = 2;
    const Frame f = DrawFrame();
    f.Expect("DATABASE WPT 2/2", 75, 0, kWhite);
    f.Expect("SEA", 300, 80, kGreen);
    if (*c.type_word != '\0') f.Expect(c.type_word, 300, 120, kGreen);
    f.Expect("N 47 26.56", 200, 160, kGreen);
    f.Expect("W122 18.33", 200, 200, kGreen);
    EXPECT_EQ(f.Shows("116.80") && f.Shows("FLYOVER:") && f.Shows("NO"), c.lines) << c.kind;
    EXPECT_EQ(f.Shows("DIRECTION:") && f.Shows("DEFAULT"), c.direction) << c.kind;
    // Key 10: the flyover choice, then the direction (from DIRECT only).
    std::vector<int> states;
    for (int press = 0; press < 3; ++press) {
      Key(10);
      states.push_back(LineStates()[9]);
    }
    EXPECT_EQ(states, c.direction ? (std::vector<int>{1, 2, 0}) : (std::vector<int>{1, 0, 1})) << c.kind;
  }
  // The choice waits on a block with "?" until ENT takes it.
  S().GnsXlsReturnPage = kPageDirect;
  S().GnsXlsLineState[10] = 0;
  Key(10);
  Key(10);
  PressClear();
  const Frame f = DrawFrame();
  f.Expect("LEFT?", 320, 360, kBlack);
  EXPECT_EQ(f.Blocks(), (Blocks{{320, 360, 5}}));
}

// ENT commits the choice the entry line shows, on all three pages.
TEST_F(WaypointPagesTest, FlyoverChoiceCommitsWhatIsShown) {
  for (std::int32_t page : {kPageDatabaseWaypoint, kPagePilotWaypoint, kPageOffsetWaypoint}) {
    for (int clears : {0, 1, 2}) {
      ResetModuleState();
      S().GnsXlsPage = page;
      Key(10);
      for (int i = 0; i < clears; ++i) PressClear();
      Ent();
      EXPECT_EQ(S().GnsWaypointEntryText, clears == 1 ? "YES" : "NO") << page << " " << clears;
      EXPECT_EQ(LineStates()[9], 0);
    }
  }
}

void OpenPilotPage() {
  S().GnsXlsPage = kPagePilotWaypoint;
  S().GnsPilotWaypointName = "MYWPT";
  S().GnsXlsLineState[8] = 1;
  S().GnsXlsEntryActive = 1;
  S().ScratchpadClearPending = 1;
  S().NavigatorScratchpad = "MYWPT";
}

// The fields as typed: either may come first, a letter never restarts a
// field, the name left in the entry line is not typing.
TEST_F(WaypointPagesTest, PilotWaypointFieldsAsTyped) {
  OpenPilotPage();
  Frame f = DrawFrame();
  f.Expect("PILOT ENTERED WPT", 75, 0, kWhite);
  f.Expect("MYWPT", 300, 80, kGreen);
  EXPECT_EQ(f.Blocks(), (Blocks{{200, 176, 10}, {200, 206, 10}}));
  EXPECT_EQ(f.rec.Find(gfx::OpKind::Line).size(), 0u);  // no field typed yet
  Type("E17");
  EXPECT_EQ(S().GnsPilotWaypointText, "E      .17");
  Type("N4WS7");  // the latitude opens; letters on open fields are dropped
  EXPECT_EQ(S().GnsPilotWaypointText2, "N      .47");
  EXPECT_EQ(S().GnsPilotWaypointText, "E      .17");
  f = DrawFrame();
  const auto lines = f.rec.Find(gfx::OpKind::Line);
  ASSERT_EQ(lines.size(), 1u);  // the typing mark under the latitude
  EXPECT_NEAR(lines[0]->points[0].Y / f.sy, 206.0, 0.01);
  EXPECT_EQ(lines[0]->color, kMagenta);
  Type("2750");
  Type("9");  // the field is full
  EXPECT_EQ(S().GnsPilotWaypointText2, "N 47 27.50");
  S().GnsPilotLatitudeEntered = true;
  PressClear();
  DrawFrame();
  EXPECT_EQ(S().GnsPilotWaypointText2, "N  4 72.75");
  EXPECT_FALSE(S().GnsPilotLatitudeEntered);
  // Key 8 again ends the entry: both fields empty, nothing entered.
  Key(8);
  EXPECT_EQ(S().GnsPilotWaypointText2 + S().GnsPilotWaypointText, "--------------------");
  EXPECT_EQ(S().GnsXlsEntryActive + S().GnsPilotWaypointStep, 0);
}

// ENT takes a complete field as degrees, minutes and seconds; the equator
// and the zero meridian are places like any other.
TEST_F(WaypointPagesTest, PilotWaypointConversionAndInsertion) {
  struct Case {
    const char* latitude;
    const char* longitude;
    bool inserted;
    double lat, lon;
  } cases[] = {
      {"S 47 30.00", "E000 00.00", true, -47.5, 0.0},
      {"N 00 00.00", "W122 18.33", true, 0.0, -(122.0 + 18.0 / 60 + 33.0 / 3600)},
      {"N 47 27.30", "E179 59.59", true, 47.0 + 27.0 / 60 + 30.0 / 3600, 179.0 + 59.0 / 60 + 59.0 / 3600},
      {"N  4 72.75", "W122 18.33", false, 0, 0},  // not complete
      {"N 47 60.00", "W122 18.33", false, 0, 0},  // 60 minutes
      {"N 91 00.00", "W122 18.33", false, 0, 0},
      {"N 47 00.00", "W180 00.01", false, 0, 0},
  };
  for (const Case& c : cases) {
    ResetModuleState();
    MakeActive({"KSEA", "A", "B"});
    S().GnsXlsFplView = kViewActive;
    F().EditWaypointIndex = 2;
    OpenPilotPage();
    S().GnsPilotWaypointText2 = c.latitude;
    S().GnsPilotWaypointText = c.longitude;
    S().GnsPilotWaypointStep = 1;
    Ent();
    Ent();
    EXPECT_EQ(S().GnsXlsPage, c.inserted ? kPageFlightPlan : kPagePilotWaypoint) << c.latitude;
    if (!c.inserted) {
      EXPECT_EQ(F().ActiveFlightPlanLastIndex, 2) << c.latitude;
      continue;
    }
    EXPECT_EQ(flightplan::test::ActiveIdents(), (Strings{"KSEA", "A", "MYWPT", "B"}));
    const model::FlightPlanWaypoint& w = F().ActiveFlightPlan[2];
    EXPECT_NEAR(w.latitude, c.lat, 1e-9);
    EXPECT_NEAR(w.longitude, c.lon, 1e-9);
    EXPECT_EQ(w.type, "WPT");
    EXPECT_EQ(F().EditWaypointIndex, 3);
    EXPECT_EQ(S().NavigatorScratchpad, "MYWPT");
  }
}

// A field that would read as no position takes not the digit that
// completes it: the page says "INVALID POSITION" and the field stays as it
// was. ENT on a typed field that is no position says the same; on one not
// yet opened it says nothing. South and west are the same limits, and 90
// and 180 themselves are places.
TEST_F(WaypointPagesTest, PilotWaypointRefusesWhatIsNoPosition) {
  struct Case {
    const char* keys;
    const char* field;    // as typing left it
    bool refused_typing;  // the last digit was refused
    bool entered;         // ENT then takes it
    double value;
  } cases[] = {
      {"N950000", "N  9 50.00", true, false, 0},
      {"S950000", "S  9 50.00", true, false, 0},
      {"N900001", "N  9 00.00", true, false, 0},
      {"S900100", "S  9 00.10", true, false, 0},
      {"N476000", "N  4 76.00", true, false, 0},  // 60 minutes
      {"S470060", "S  4 70.06", true, false, 0},  // 60 seconds
      {"E1850000", "E 18 50.00", true, false, 0},
      {"W1800001", "W 18 00.00", true, false, 0},
      {"W9990000", "W 99 90.00", true, false, 0},
      {"N4727", "N    47.27", false, false, 0},  // not complete: ENT says so
      {"N900000", "N 90 00.00", false, true, 90.0},
      {"S900000", "S 90 00.00", false, true, -90.0},
      {"N895959", "N 89 59.59", false, true, 89.0 + 59.0 / 60 + 59.0 / 3600},
      {"E1800000", "E180 00.00", false, true, 180.0},
      {"W1800000", "W180 00.00", false, true, -180.0},
      {"W1795959", "W179 59.59", false, true, -(179.0 + 59.0 / 60 + 59.0 / 3600)},
      {"S000000", "S 00 00.00", false, true, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    ResetModuleState();
    OpenPilotPage();
    Type(c.keys);
    const bool latitude = c.keys[0] == 'N' || c.keys[0] == 'S';
    const std::string& field = latitude ? S().GnsPilotWaypointText2 : S().GnsPilotWaypointText;
    EXPECT_EQ(field, c.field);
    Frame f = DrawFrame();
    if (c.refused_typing) {
      f.Expect("INVALID POSITION", 30, 260, kYellow);
    } else {
      EXPECT_FALSE(f.Shows("INVALID POSITION"));
    }
    Ent();
    f = DrawFrame();
    EXPECT_EQ(latitude ? S().GnsPilotLatitudeEntered : S().GnsPilotLongitudeEntered, c.entered);
    EXPECT_EQ(f.Shows("INVALID POSITION"), !c.entered);
    EXPECT_EQ(field, c.field);  // ENT changes no field
    if (c.entered) {
      EXPECT_DOUBLE_EQ(latitude ? S().GnsPilotLatitude : S().GnsPilotLongitude, c.value);
    }
  }
  // The word goes with the next key that acts on the fields; the pilot
  // mends the field and goes on. ENT on the longitude not yet opened says
  // nothing.
  ResetModuleState();
  OpenPilotPage();
  Type("N950000");
  PressClear();
  EXPECT_FALSE(DrawFrame().Shows("INVALID POSITION"));
  EXPECT_EQ(S().GnsPilotWaypointText2, "N    95.00");
  Type("0");
  EXPECT_FALSE(DrawFrame().Shows("INVALID POSITION"));
  Type("0");
  EXPECT_EQ(S().GnsPilotWaypointText2, "N  9 50.00");
  EXPECT_TRUE(DrawFrame().Shows("INVALID POSITION"));
  Type("N");  // a letter on an open field is dropped: the word stays
  EXPECT_TRUE(DrawFrame().Shows("INVALID POSITION"));
  Key(8);  // ends the entry
  EXPECT_FALSE(DrawFrame().Shows("INVALID POSITION"));
  Key(8);
  Type("S452000");
  Ent();
  EXPECT_EQ(S().GnsPilotWaypointStep, 2);
  Ent();
  EXPECT_FALSE(DrawFrame().Shows("INVALID POSITION"));
  EXPECT_EQ(S().GnsXlsPage, kPagePilotWaypoint);
}

void OpenOffsetPage() {
  PutCandidate(1, "OLM", "V", 0.0, 179.5);
  S().GnsXlsPage = kPageOffsetWaypoint;
  S().GnsOffsetCandidateIdent = "OLM";
  S().GnsOffsetCandidateIndex = 1;
}

// The fields on their blocks, the prompt only with both in, and the
// position worked out in the frame after ENT: 60 NM east of 179.5 E on the
// equator is 179.5 W; the bearing typed is magnetic (80 + 10 E = 090 true).
TEST_F(WaypointPagesTest, OffsetWaypointFieldsAndPosition) {
  G().MagneticVariation = 10.0;
  OpenOffsetPage();
  Frame f = DrawFrame();
  f.Expect("OFFSET WPT    1/1", 75, 0, kWhite);
  f.Expect("OLM*", 300, 80, kGreen);
  f.Expect("-----", 360, 160, kGreen);
  EXPECT_FALSE(f.Shows("OK? ENTER"));
  Ent();  // nothing entered: nothing worked out
  EXPECT_EQ(DrawFrame().TextsAt(180), (Strings{"----------", "----------"}));
  Key(8);
  Type("8A00");  // a letter is dropped
  f = DrawFrame();
  f.Expect(" 80.0", 360, 160, kBlack);
  EXPECT_EQ(f.Blocks(), (Blocks{{360, 160, 5}}));
  Ent();  // the bearing taken, the distance open
  Type("600");
  f = DrawFrame();
  f.Expect("  60.0", 340, 200, kBlack);
  Ent();  // the distance taken
  f = DrawFrame();
  f.Expect("OK? ENTER", 30, 320, kWhite);
  f.Expect("N 00 00.00", 180, 240, kGreen);
  f.Expect("W179 30.00", 180, 280, kGreen);
  EXPECT_NEAR(S().GnsOffsetLongitude, -179.5, 1e-6);
}

}  // namespace
}  // namespace ovi::gnsxls::test
