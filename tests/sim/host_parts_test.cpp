// The stand-in's readers on their own: mouse-rectangle lists, element
// trees, the key table and the duration statistics of --timing.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <vector>

#include "sim/elements.h"
#include "sim/key_table.h"
#include "sim/mouse.h"
#include "sim/timing.h"

namespace ovi::sim {
namespace {

std::int32_t Handler(PIXPOINT*, std::uint32_t) { return 0; }

MOUSERECT Parent(int x, int y, int w, int h) { return {MOUSE_RECT_PARENT, {x, y}, {w, h}, CURSOR_NONE, 0, nullptr}; }
MOUSERECT Child(int x, int y, int w, int h, std::uint32_t flags = MOUSE_LEFTSINGLE) {
  return {MOUSE_RECT_CHILD, {x, y}, {w, h}, CURSOR_HAND, flags, Handler};
}
MOUSERECT End() { return {MOUSE_RECT_END_PARENT, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr}; }
MOUSERECT Eol() { return {MOUSE_RECT_EOL, {0, 0}, {0, 0}, CURSOR_NONE, 0, nullptr}; }

TEST(MouseList, PlacesAddUpThroughNestedParentsWestAndSouthOfZero) {
  std::vector<MOUSERECT> list = {Child(1, 2, 3, 4),  // before any parent: the gauge's own corner
                                 Parent(-10, -20, 50, 50), Child(5, 5, 10, 10), Parent(30, 40, 8, 8),
                                 Child(1, 1, 2, 2), End(), Child(0, 0, 1, 1), End(), Child(7, 7, 1, 1), Eol()};
  std::string problem;
  auto areas = ReadMouseList(list.data(), problem);
  EXPECT_EQ(problem, "");
  ASSERT_EQ(areas.size(), 7u);
  auto at = [&](int i) { return std::make_pair(areas[i].x, areas[i].y); };
  EXPECT_EQ(at(0), std::make_pair(1, 2));
  EXPECT_EQ(at(1), std::make_pair(-10, -20));
  EXPECT_EQ(at(2), std::make_pair(-5, -15));
  EXPECT_EQ(at(4), std::make_pair(21, 21));   // -10 + 30 + 1, -20 + 40 + 1
  EXPECT_EQ(at(5), std::make_pair(-10, -20));  // back in the first parent
  EXPECT_EQ(at(6), std::make_pair(7, 7));      // back on the gauge
  EXPECT_EQ(areas[4].entry, 4);
  // Edges: left and top inside, right and bottom outside.
  EXPECT_EQ(FindClickArea(areas, -5, -15, MOUSE_LEFTSINGLE), &areas[2]);
  EXPECT_EQ(FindClickArea(areas, 4.999, -5.001, MOUSE_LEFTSINGLE), &areas[2]);
  EXPECT_EQ(FindClickArea(areas, -5.001, -15, MOUSE_LEFTSINGLE), nullptr);
  EXPECT_EQ(FindClickArea(areas, 5, -10, MOUSE_LEFTSINGLE), nullptr);
  // The button must be one the rectangle takes; the repeat bit alone is none.
  EXPECT_EQ(FindClickArea(areas, 22, 22, MOUSE_REPEAT), nullptr);
  EXPECT_EQ(FindClickArea(areas, 22, 22, MOUSE_LEFTSINGLE_REPEAT), &areas[4]);
  EXPECT_EQ(FindCursor(areas, 20, 20), CURSOR_NONE);  // inside parents only: they name none
  EXPECT_EQ(FindCursor(areas, 0, -10), CURSOR_HAND);
}

TEST(MouseList, AParentWithAHandlerAndAWholeGaugeBox) {
  std::vector<MOUSERECT> list = {{MOUSE_RECT_PARENT, {0, 0}, {0, 0}, CURSOR_NORMAL, MOUSE_LEFTSINGLE, Handler},
                                 Child(10, 10, 5, 5), Eol()};
  std::string problem;
  auto areas = ReadMouseList(list.data(), problem);
  ASSERT_EQ(areas.size(), 2u);
  // The 0 x 0 parent covers the whole gauge, even far out, and comes first.
  EXPECT_EQ(FindClickArea(areas, 12, 12, MOUSE_LEFTSINGLE), &areas[0]);
  EXPECT_EQ(FindClickArea(areas, -3000, 9000, MOUSE_LEFTSINGLE), &areas[0]);
  EXPECT_EQ(FindCursor(areas, 12, 12), CURSOR_NORMAL);
  EXPECT_TRUE(ReadMouseList(nullptr, problem).empty());
  EXPECT_EQ(problem, "");
}

TEST(MouseList, LimitsAtTheirExactEdges) {
  std::string problem;
  // Sixteen parents deep is allowed; the key inside them is read.
  std::vector<MOUSERECT> deep(16, Parent(2, 3, 100, 100));
  deep.push_back(Child(0, 0, 1, 1));
  deep.push_back(Eol());
  auto areas = ReadMouseList(deep.data(), problem);
  EXPECT_EQ(problem, "");
  ASSERT_EQ(areas.size(), 17u);
  EXPECT_EQ(areas.back().x, 32);
  EXPECT_EQ(areas.back().y, 48);
  deep.insert(deep.begin(), Parent(0, 0, 1, 1));
  EXPECT_EQ(ReadMouseList(deep.data(), problem).size(), 16u);
  EXPECT_EQ(problem, "entry 16 opens a parent deeper than 16 levels; the rest is ignored");

  // The end entry as the last of 1024 entries is in reach; one further is not.
  std::vector<MOUSERECT> long_list(kMaxMouseRects - 1, Child(0, 0, 1, 1));
  long_list.push_back(Eol());
  EXPECT_EQ(ReadMouseList(long_list.data(), problem).size(), 1023u);
  EXPECT_EQ(problem, "");
  long_list.back() = Child(0, 0, 1, 1);
  long_list.push_back(Eol());
  EXPECT_EQ(ReadMouseList(long_list.data(), problem).size(), 1024u);
  EXPECT_EQ(problem, "no end entry within 1024 entries; the rest is ignored");

  std::vector<MOUSERECT> odd = {Child(0, 0, 1, 1), {7, {0, 0}, {1, 1}, 0, 0, nullptr}, Child(0, 0, 1, 1), Eol()};
  EXPECT_EQ(ReadMouseList(odd.data(), problem).size(), 1u);
  EXPECT_EQ(problem, "entry 1 has the unknown type 7; the rest is ignored");
  std::vector<MOUSERECT> wild = {Parent(2000000000, 0, 1, 1), Child(2000000000, 0, 1, 1), Eol()};
  EXPECT_EQ(ReadMouseList(wild.data(), problem).size(), 0u);
  EXPECT_NE(problem.find("entry 0 lies outside any gauge"), std::string::npos) << problem;
  std::vector<MOUSERECT> negative = {Child(0, 0, -1, 5), Eol()};
  EXPECT_EQ(ReadMouseList(negative.data(), problem).size(), 0u);
  EXPECT_NE(problem.find("entry 0"), std::string::npos);
}

ELEMENT_HEADER Element(int id) { return ELEMENT_HEADER{.resource_id = static_cast<std::uint32_t>(id)}; }

TEST(ElementTree, ListsAndDepthAtTheirLimits) {
  std::vector<std::string> problems;
  // 65 elements in one list: 64 are read.
  std::deque<ELEMENT_HEADER> pool;
  std::vector<ELEMENT_HEADER*> top;
  for (int i = 0; i < 65; ++i) top.push_back(&pool.emplace_back(Element(i)));
  top.push_back(nullptr);
  ElementTree t = ReadElementTree(top.data(), problems);
  EXPECT_EQ(t.nodes.size(), 64u);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], "an element list has more than 64 entries (or no end): the rest is left out");
  top.erase(top.begin() + 64);  // exactly 64: no message
  problems.clear();
  EXPECT_EQ(ReadElementTree(top.data(), problems).nodes.size(), 64u);
  EXPECT_TRUE(problems.empty());

  // A chain of 17 elements (levels 0 to 16) is read whole; an 18th is not.
  std::deque<ELEMENT_HEADER> chain;
  std::deque<std::vector<ELEMENT_HEADER*>> lists;
  for (int i = 0; i < 18; ++i) chain.push_back(Element(i));
  for (int i = 0; i < 17; ++i) {
    lists.push_back({&chain[i + 1], nullptr});
    chain[i].next_element = lists.back().data();
  }
  ELEMENT_HEADER* head[] = {&chain[0], nullptr};
  problems.clear();
  t = ReadElementTree(head, problems);
  EXPECT_EQ(t.nodes.size(), 17u);
  EXPECT_EQ(problems, (std::vector<std::string>{"elements nested deeper than 16 levels are left out"}));
  chain[16].next_element = nullptr;
  problems.clear();
  EXPECT_EQ(ReadElementTree(head, problems).nodes.size(), 17u);
  EXPECT_TRUE(problems.empty());
}

TEST(ElementTree, ASharedElementIsReadOnceAndCopiedOnce) {
  // Two children of the root share one lamp, as MCU_LM shares MCU's.
  ELEMENT_HEADER lamp = Element(3);
  ELEMENT_HEADER* lamp_list[] = {&lamp, nullptr};
  ELEMENT_HEADER a = Element(1), b = Element(2);
  a.next_element = lamp_list;
  b.next_element = lamp_list;
  ELEMENT_HEADER* kids[] = {&a, &b, nullptr};
  ELEMENT_HEADER root = Element(0);
  root.next_element = kids;
  ELEMENT_HEADER* top[] = {&root, nullptr};
  std::vector<std::string> problems;
  ElementTree t = ReadElementTree(top, problems);
  EXPECT_TRUE(problems.empty());
  ASSERT_EQ(t.nodes.size(), 4u);
  EXPECT_EQ(t.children[1], t.children[3]);  // a's and b's list name the same node
  std::deque<ELEMENT_HEADER> elements;
  std::deque<std::vector<ELEMENT_HEADER*>> lists;
  ELEMENT_HEADER** copy = CopyElementTree(t, elements, lists);
  ASSERT_NE(copy[0], &root);
  ELEMENT_HEADER* ca = copy[0]->next_element[0];
  ELEMENT_HEADER* cb = copy[0]->next_element[1];
  EXPECT_EQ(copy[0]->next_element[2], nullptr);
  EXPECT_EQ(ca->next_element[0], cb->next_element[0]);
  EXPECT_NE(ca->next_element[0], &lamp);
  EXPECT_EQ(ca->next_element[0]->resource_id, 3u);
  EXPECT_EQ(copy[1], nullptr);
}

TEST(ElementTree, ElementsBeyondTheBudgetAreLeftOut) {
  std::deque<ELEMENT_HEADER> pool;
  std::deque<std::vector<ELEMENT_HEADER*>> lists;
  std::vector<ELEMENT_HEADER*> top;
  for (int i = 0; i < 60; ++i) {  // 60 parents with 4 children each: 300 elements
    ELEMENT_HEADER& p = pool.emplace_back(Element(i));
    lists.emplace_back();
    for (int k = 0; k < 4; ++k) lists.back().push_back(&pool.emplace_back(Element(1000 + k)));
    lists.back().push_back(nullptr);
    p.next_element = lists.back().data();
    top.push_back(&p);
  }
  top.push_back(nullptr);
  std::vector<std::string> problems;
  EXPECT_EQ(ReadElementTree(top.data(), problems).nodes.size(), 256u);
  EXPECT_EQ(problems, (std::vector<std::string>{"more than 256 elements: the rest is left out"}));
}

TEST(KeyTable, SectionsShareKeysAndLabelsComeFromNames) {
  const char text[] = R"(; the table
[SMITHS_FMS SMITHS_FMS_BR]
INIT_REF 51 298 44 30 key "INIT|REF"
+/-      130 582 34 34      ; a key named by its legend
SCREEN   160 100 92 92 area
SP       212 582 34 34 key ""   ; a blank key
[MCU]
ROCKER_UP 371 224 32 32 "UP \"1\""
)";
  KeyTable t;
  std::string error;
  ASSERT_TRUE(ParseKeyTable(text, "keys.txt", t, error)) << error;
  ASSERT_EQ(t.sections.size(), 2u);
  const NamedKey* k = t.Find("smiths_fms_br", "init_ref");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->label, "INIT|REF");
  EXPECT_DOUBLE_EQ(k->CentreX(), 73.0);
  EXPECT_DOUBLE_EQ(k->CentreY(), 313.0);
  EXPECT_EQ(t.Find("SMITHS_FMS", "+/-")->label, "+/-");
  EXPECT_TRUE(t.Find("SMITHS_FMS", "+/-")->drawn);
  EXPECT_FALSE(t.Find("SMITHS_FMS", "SCREEN")->drawn);
  EXPECT_EQ(t.Find("SMITHS_FMS", "SP")->label, "");
  EXPECT_EQ(t.Find("MCU", "ROCKER_UP")->label, "UP \"1\"");
  EXPECT_EQ(t.Find("MCU", "INIT_REF"), nullptr);
  EXPECT_EQ(t.Find("GNSXLS", "A"), nullptr);
  EXPECT_EQ(t.KeysOf("GNSXLS"), nullptr);
  EXPECT_EQ(t.Find("MCU", "ROCKER_UP")->line, 8);
}

TEST(KeyTable, BadLinesNameFileAndLine) {
  struct Case {
    const char* text;
    const char* what;
  } cases[] = {
      {"A 1 2 3 4\n", "keys.txt:1: a key before the first [GAUGE] section"},
      {"[G\n", "keys.txt:1: a section header ends with ']'"},
      {"[]\n", "keys.txt:1: a section names at least one gauge"},
      {"[G]\n[H g]\n", "keys.txt:2: gauge g has keys in an earlier section"},
      {"[G]\nA 1 2 3\n", "keys.txt:2: usage"},
      {"[G]\nA 1 2 0 4\n", "keys.txt:2: a key is at least 1 x 1"},
      {"[G]\nA 1 x 3 4\n", "keys.txt:2: bad number 'x'"},
      {"[G]\nA 1 99999 3 4\n", "keys.txt:2: bad number '99999'"},
      {"[G]\nA 1 2 3 4\na 5 6 7 8\n", "keys.txt:3: key a is named twice"},
      {"[G]\nA 1 2 3 4 \"open\n", "keys.txt:2: a quote is not closed"},
      {"[G]\nA 1 2 3 4 \"x\" more\n", "keys.txt:2: unexpected 'more'"},
      {"[G]\nA 1 2 3 4 \"0123456789012345678901234567890123\"\n", "keys.txt:2: label longer than 32"},
  };
  for (const Case& c : cases) {
    KeyTable t;
    std::string error;
    EXPECT_FALSE(ParseKeyTable(c.text, "keys.txt", t, error)) << c.text;
    EXPECT_EQ(error.rfind(c.what, 0), 0u) << c.text << " -> " << error;
  }
}

TEST(Timing, TypicalIsTheMedianWithinItsBinAndWorstIsExact) {
  DurationStats none;
  EXPECT_EQ(none.Typical(), 0.0);
  EXPECT_EQ(none.worst(), 0.0);
  DurationStats d;
  for (int ms = 1; ms <= 1001; ++ms) d.Add(ms * 1e-3);
  EXPECT_EQ(d.count(), 1001u);
  EXPECT_DOUBLE_EQ(d.worst(), 1.001);
  EXPECT_NEAR(d.total(), 501.501, 1e-9);
  EXPECT_NEAR(d.Typical(), 0.501, 0.501 * 0.02);
  // Nonsense durations count as nothing; a single sample is its own median.
  DurationStats odd;
  odd.Add(std::nan(""));
  odd.Add(-1.0);
  EXPECT_EQ(odd.worst(), 0.0);
  DurationStats one;
  one.Add(0.004);
  EXPECT_NEAR(one.Typical(), 0.004, 0.004 * 0.02);
  EXPECT_LE(one.Typical(), one.worst());
}

}  // namespace
}  // namespace ovi::sim
