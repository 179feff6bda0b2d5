#include <gtest/gtest.h>

#include <random>

#include "sim/scenario.h"

namespace ovi::sim {
namespace {

TEST(Scenario, ParsesEveryCommand) {
  const char text[] = R"(; a short flight
set lat 47.5          ; trailing comments are fine
set zulu 12:30:00
token 0x305 1.5
text 47 ZUE VOR
var MFDX1 mode 10
at 2
key 0x101F4 -1500
key 66042
click HW_B737_ND#2 10.5 20 hold 1.5 flags 0x80000000
click SERVER 1 2
show MAIN_PANEL
hide 4012
toggle 4012
run 3.5
snapshot climb-1
snapshot
)";
  Scenario s;
  std::string error;
  ASSERT_TRUE(ParseScenario(text, "s.txt", s, error)) << error;
  ASSERT_EQ(s.actions.size(), 16u);
  EXPECT_DOUBLE_EQ(s.duration, 5.5);

  const auto& a = s.actions;
  EXPECT_EQ(a[0].kind, ActionKind::kSet);
  EXPECT_EQ(a[0].name, "lat");
  EXPECT_EQ(a[0].text, "47.5");
  EXPECT_EQ(a[0].line, 2);
  EXPECT_EQ(a[2].kind, ActionKind::kToken);
  EXPECT_EQ(a[2].id, 0x305u);
  EXPECT_DOUBLE_EQ(a[2].number, 1.5);
  EXPECT_EQ(a[3].kind, ActionKind::kText);
  EXPECT_EQ(a[3].text, "ZUE VOR");
  EXPECT_EQ(a[4].kind, ActionKind::kVar);
  EXPECT_EQ(a[4].name, "MFDX1 mode");  // names may hold blanks
  EXPECT_DOUBLE_EQ(a[4].number, 10.0);
  EXPECT_EQ(a[5].kind, ActionKind::kAt);
  EXPECT_DOUBLE_EQ(a[5].seconds, 2.0);
  EXPECT_EQ(a[6].kind, ActionKind::kKey);
  EXPECT_EQ(a[6].id, 0x101F4u);
  EXPECT_EQ(a[6].value, static_cast<std::uint32_t>(-1500));  // two's complement, as descents are sent
  EXPECT_EQ(a[7].value, 0u);
  EXPECT_EQ(a[8].kind, ActionKind::kClick);
  EXPECT_EQ(a[8].name, "HW_B737_ND");
  EXPECT_EQ(a[8].occurrence, 2);
  EXPECT_DOUBLE_EQ(a[8].x, 10.5);
  EXPECT_DOUBLE_EQ(a[8].seconds, 1.5);
  EXPECT_EQ(a[8].flags, 0x80000000u);
  EXPECT_EQ(a[9].flags, 0x20000000u);  // left single click by default
  EXPECT_EQ(a[9].occurrence, 1);
  EXPECT_EQ(a[10].kind, ActionKind::kShow);
  EXPECT_EQ(a[10].ident, 0u);
  EXPECT_EQ(a[11].kind, ActionKind::kHide);
  EXPECT_EQ(a[12].kind, ActionKind::kToggle);
  EXPECT_EQ(a[12].ident, 4012u);
  EXPECT_EQ(a[13].kind, ActionKind::kRun);
  EXPECT_EQ(a[14].text, "climb-1");
  EXPECT_EQ(a[15].text, "");
}

TEST(Scenario, KeyActionsTakeTheirFramesOfSimulatedTime) {
  const char text[] = R"(at 1
press SMITHS_FMS#2 INIT_REF L1 +/- .
type "ks ea.1-/"
type hello world   ; words joined by one blank
keypress G shift ctrl
keypress backspace hold 0.5
expect_text SMITHS_FMS "ACT RTE  1/1"   ; blanks kept inside quotes
expect_text MCU "A;B"   ; a ';' inside quotes is text
at 5
)";
  Scenario s;
  std::string error;
  ASSERT_TRUE(ParseScenario(text, "s.txt", s, error)) << error;
  const auto& a = s.actions;
  ASSERT_EQ(a.size(), 9u) << error;
  EXPECT_EQ(a[1].kind, ActionKind::kPress);
  EXPECT_EQ(a[1].name, "SMITHS_FMS");
  EXPECT_EQ(a[1].occurrence, 2);
  EXPECT_EQ(a[1].keys, (std::vector<std::string>{"INIT_REF", "L1", "+/-", "."}));
  EXPECT_EQ(a[1].ticks, 4);
  EXPECT_EQ(a[2].kind, ActionKind::kType);
  EXPECT_EQ(a[2].text, "ks ea.1-/");
  EXPECT_EQ(a[2].ticks, 18);
  EXPECT_EQ(a[3].text, "hello world");
  EXPECT_EQ(a[4].kind, ActionKind::kKeypress);
  EXPECT_EQ(a[4].name, "G");
  EXPECT_EQ(a[4].keys, (std::vector<std::string>{"shift", "ctrl"}));
  EXPECT_EQ(a[4].ticks, 2);   // one frame down, one up
  EXPECT_EQ(a[5].ticks, 10);  // half a second down (9 frames), one up
  EXPECT_EQ(a[6].kind, ActionKind::kExpectText);
  EXPECT_EQ(a[6].text, "ACT RTE  1/1");
  EXPECT_EQ(a[7].text, "A;B");
  EXPECT_EQ(a[8].kind, ActionKind::kAt);
  EXPECT_DOUBLE_EQ(s.duration, 5.0);
  Scenario late;
  // 1 s, then 4 + 18 + 22 + 2 + 10 frames: 1 + 56/18 s, past 4.
  EXPECT_FALSE(ParseScenario(std::string(text).replace(std::string(text).find("at 5"), 4, "at 4"), "t", late, error));
  EXPECT_NE(error.find("t:9: time 4 is before the current time"), std::string::npos) << error;
}

TEST(Scenario, BadLinesNameFileAndLine) {
  auto words = [](int n, const std::string& word) {
    std::string s;
    for (int i = 0; i < n; ++i) s += " " + word;
    return s;
  };
  struct Case {
    std::string text;
    const char* where;
    const char* what;
  } cases[] = {
      {"fly 10\n", "s:1:", "unknown command"},
      {"run\n", "s:1:", "usage"},
      {"run -1\n", "s:1:", "bad duration"},
      {"run nan\n", "s:1:", "bad duration"},
      {"at 10\nat 5\n", "s:2:", "before the current time"},
      {"run 50000\nrun 50000\n", "s:2:", "86400"},
      {"\n\nset wings 2\n", "s:3:", "unknown aircraft field"},
      {"set lat 91\n", "s:1:", "bad value"},
      {"set zulu 25:00:00\n", "s:1:", "bad value"},
      {"set date 2023-02-29\n", "s:1:", "bad value"},
      {"token x 1\n", "s:1:", "bad token id"},
      {"token 0x1FFFFFFFF 1\n", "s:1:", "bad token id"},
      {"token 71 inf\n", "s:1:", "bad token value"},
      {"var only_name\n", "s:1:", "usage"},
      {"key 0x10000 abc\n", "s:1:", "bad key event value"},
      {"key 1 -99999999999\n", "s:1:", "bad key event value"},
      {"click G 1\n", "s:1:", "usage"},
      {"click G#0 1 2\n", "s:1:", "occurrence"},
      {"click G 1 2 hold\n", "s:1:", "needs a value"},
      {"click G 1 2 hold -1\n", "s:1:", "hold"},
      {"click G 1 2 push 1\n", "s:1:", "unknown click option"},
      {"click G 1 2 flags 0\n", "s:1:", "flags"},
      {"show left\n", "s:1:", "bad window ident"},
      {"snapshot ../x\n", "s:1:", "bad snapshot label"},
      {"snapshot a b\n", "s:1:", "a snapshot label is one word, without blanks"},
      {"var" + words(15, "w") + " 1\n", "s:1:", "a variable name of 15 words; at most 14"},
      {"press G" + words(65, "A") + "\n", "s:1:", "65 keys to press; at most 64 a line"},
      {"run 1 2\n", "s:1:", "too many words (usage: run SECONDS)"},
      {"press G\n", "s:1:", "usage"},
      {"press #2 A\n", "s:1:", "bad gauge name"},
      {"type\n", "s:1:", "no text"},
      {"type \"abc\n", "s:1:", "quote is not closed"},
      {"type a+b\n", "s:1:", "no key types '+'"},
      {"type " + std::string(65, 'a') + "\n", "s:1:", "more than 64"},
      {"keypress F13\n", "s:1:", "unknown key"},
      {"keypress A meta\n", "s:1:", "unknown keypress option"},
      {"keypress A hold\n", "s:1:", "bad hold time"},
      {"keypress A hold 61\n", "s:1:", "bad hold time"},
      {"expect_text G\n", "s:1:", "usage"},
  };
  for (const Case& c : cases) {
    Scenario s;
    std::string error;
    EXPECT_FALSE(ParseScenario(c.text, "s", s, error)) << c.text;
    EXPECT_EQ(error.rfind(c.where, 0), 0u) << c.text << " -> " << error;
    EXPECT_NE(error.find(c.what), std::string::npos) << c.text << " -> " << error;
  }
}

TEST(Scenario, MissingFileAndAnyBytes) {
  Scenario s;
  std::string error;
  EXPECT_FALSE(LoadScenario("/nonexistent/s.txt", s, error));
  EXPECT_EQ(error, "/nonexistent/s.txt: no such file");

  std::mt19937 rng(11);
  const std::string words[] = {"at ", "run ", "set ", "lat ", "click ", "key ", "var ", "1", "-", "0x", "#", ";",
                               "\n", " hold ", "snapshot", "1e308 ", "\t"};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int n = rng() % 30;
    for (int i = 0; i < n; ++i)
      text += rng() % 5 == 0 ? std::string(1, static_cast<char>(rng() % 256)) : words[rng() % 17];
    if (!ParseScenario(text, "fuzz", s, error)) {
      EXPECT_EQ(error.rfind("fuzz:", 0), 0u);
    }
  }
}

}  // namespace
}  // namespace ovi::sim
