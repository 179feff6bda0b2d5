// The tagged airport values of ovi_apts.txt: which words are tags, how a
// value ends, which line wins, what bad lines do.
#include <optional>
#include <string>

#include "src/instruments/fms/airport_names.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"

namespace ovi::fms::test {
namespace {

class AirportNamesTest : public CduTest {
 protected:
  void SetUp() override {
    CduTest::SetUp();
    folder_.emplace();  // after the reset, which empties SimulatorFolder
    model::model_state.FmsScratchpad = "TYPED";
  }
  // Looks the tag up; the value found, or "?" with the message when none.
  std::string Lookup(const std::string& ident, const std::string& tag) {
    fms_state.SelectedAirportLongName = "?";
    model::model_state.PanelMessage.clear();
    LookupAirportName(ident, tag);
    return fms_state.SelectedAirportLongName;
  }
  std::optional<navdb::test::ScratchFolder> folder_;
};

TEST_F(AirportNamesTest, WordRules) {
  folder_->Write("ovi_apts.txt",
                "; comment line\n"
                "KSEA 433 47.4490 -122.3093 K1 16L_110.30 34R_111.70_X NAME_SEATTLE-TACOMA _U_V A__B\n"
                "KSEAX 1 2 3 4 NAME_WRONG\n"
                "KBFI CITY_SEATTLE 1 2 3 W6 W7 W8 W9 W10 W11 W12 W13 W14 W15 W16 W17 W18 W19 W20 W21 W22 "
                "W23 W24 LAST_25 LATE_26\n");
  struct Case {
    const char* ident;
    const char* tag;
    const char* value;  // null = not found
  };
  const Case cases[] = {
      {"KSEA", "16L", "110.30"},
      {"KSEA", "34R", "111.70"},          // a second underscore ends the value
      {"KSEA", "NAME", "SEATTLE-TACOMA"},
      {"KSEA", "_U", "V"},                // an underscore in front belongs to the tag
      {"KSEA", "A", "B"},
      {"KSEA", "K1", nullptr},            // words 2 to 5 are never tags
      {"KSEA", "name", nullptr},          // tags match exactly
      {"KSEA", "16", nullptr},
      {"KSE", "NAME", nullptr},           // idents match exactly
      {"ksea", "NAME", nullptr},
      {"KBFI", "CITY", nullptr},          // the second word is no tag
      {"KBFI", "LAST", "25"},             // the 25th word is the last read
      {"KBFI", "LATE", nullptr},
      {"KXXX", "NAME", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ident << " " << c.tag);
    model::model_state.FmsScratchpad = "TYPED";
    std::string got = Lookup(c.ident, c.tag);
    if (c.value != nullptr) {
      EXPECT_EQ(got, c.value);
      EXPECT_TRUE(model::model_state.FmsScratchpad.empty());
      EXPECT_EQ(model::model_state.PanelMessage, "");
    } else {
      EXPECT_EQ(got, "?");
      EXPECT_EQ(model::model_state.FmsScratchpad, "TYPED");
      EXPECT_EQ(model::model_state.PanelMessage, "NOT FOUND IN DATABASE");
    }
  }
}

TEST_F(AirportNamesTest, ALaterLineOfTheAirportWins) {
  folder_->Write("ovi_apts.txt",
                "KPDX 31 45.5 -122.5 K1 NAME_PORTLAND\n"
                "KPDX 31 45.5 -122.5 K1 CITY_PORTLAND\n"
                "KPDX 31 45.5 -122.5 K1 NAME_PORTLAND-INTL\n");
  EXPECT_EQ(Lookup("KPDX", "NAME"), "PORTLAND-INTL");
}

TEST_F(AirportNamesTest, OverlongLinesAreCutAndTheirRestIsNoLine) {
  // The line's tag stands beyond character 1699; the rest of the line
  // starts like an airport line of its own.
  std::string line = "KGEG 2376 47.6 -117.5 K1 " + std::string(1700, 'x') + " KGEG 1 2 3 4 NAME_HIDDEN\n";
  folder_->Write("ovi_apts.txt", line + "KGEG 2376 47.6 -117.5 K1 " + std::string(3000, ' ') + "NAME_FAR\n" +
                                    "KGEG 2376 47.6 -117.5 K1 CITY_SPOKANE\n");
  EXPECT_EQ(Lookup("KGEG", "NAME"), "?");
  EXPECT_EQ(model::model_state.PanelMessage, "NOT FOUND IN DATABASE");
  EXPECT_EQ(Lookup("KGEG", "CITY"), "SPOKANE");
}

TEST_F(AirportNamesTest, ManyWordsAndBinaryBytesAreHarmless) {
  std::string many = "KOLM 209 46.9 -122.9 K1";
  for (int i = 0; i < 500; ++i) many += " W" + std::to_string(i) + "_" + std::to_string(i);
  folder_->Write("ovi_apts.txt", many + "\n" + std::string("\0\xff\x01_\n", 5) + "KOLM 1 2 3 4 NAME_OLYMPIA\n");
  EXPECT_EQ(Lookup("KOLM", "W10"), "10");
  EXPECT_EQ(Lookup("KOLM", "W300"), "?");
  EXPECT_EQ(Lookup("KOLM", "NAME"), "OLYMPIA");
}

TEST_F(AirportNamesTest, AMissingFileChangesNothing) {
  EXPECT_EQ(Lookup("KSEA", "NAME"), "?");
  EXPECT_EQ(model::model_state.PanelMessage, "");
  EXPECT_EQ(model::model_state.FmsScratchpad, "TYPED");
}

TEST_F(AirportNamesTest, TheSampleFileNamesTheSampleAirports) {
  navdb::test::UseSampleData();
  EXPECT_EQ(Lookup("KSEA", "NAME"), "SEATTLE-TACOMA-INTL");
  EXPECT_EQ(Lookup("KSEA", "16L"), "110.30");
}

}  // namespace
}  // namespace ovi::fms::test
