// Provider traffic: the list walk (the five nearest entries, newest first), the
// sequence-number rule, the limit on provider look-ups, the vertical window,
// labels, symbols and arrows per display kind.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "src/display/map_overlays.h"
#include "src/display/map_symbols.h"
#include "src/display/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/host/traffic_link.h"
#include "src/model/state.h"
#include "tests/display/recording.h"
#include "tests/host/fake_panels.h"

namespace ovi::display {
namespace {

using gfx::OpKind;

// One provider entry as the provider lays it out.
struct Entry {
  float alt;
  std::uint32_t codes;
  std::uint8_t active, pad[3];
  float range, bearing;
};
static_assert(sizeof(Entry) == 20);

constexpr std::uint32_t Codes(int trend, int threat) {
  return (static_cast<std::uint32_t>(threat) << 20) | (static_cast<std::uint32_t>(trend) << 16);
}
constexpr int kDown = 0, kLevel = 1, kUp = 2;
constexpr int kOther = 0, kProximate = 1, kAdvisory = 2, kResolution = 3;

// The provider's list block with room for eight entry pointers.
struct ProviderList {
  alignas(8) std::uint8_t block[48 + 8 * 8] = {};
  std::vector<Entry> entries;
  std::uint16_t sequence = 0;

  void Publish(std::vector<Entry> list, bool null_at_end = false) {
    entries = std::move(list);
    const int count = static_cast<int>(entries.size()) + (null_at_end ? 1 : 0);
    block[44] = static_cast<std::uint8_t>(count);
    for (int i = 0; i < count; ++i) {
      const void* p = i < static_cast<int>(entries.size()) ? &entries[static_cast<std::size_t>(i)] : nullptr;
      std::memcpy(block + 48 + i * 8, &p, 8);
    }
    ++sequence;
    std::memcpy(block + 14, &sequence, 2);
    SetFirstWord(0xDEADBEEF);
  }
  std::uint32_t FirstWord() const {
    std::uint32_t w;
    std::memcpy(&w, block, 4);
    return w;
  }
  void SetFirstWord(std::uint32_t w) { std::memcpy(block, &w, 4); }
};

ProviderList* g_list = nullptr;
int g_calls = 0;
int g_null_answers = 0;  // the provider answers null this many times first

void* ProviderEntry(const char* token, std::uint32_t* result) {
  ++g_calls;
  *result = 0;
  if (std::strcmp(token, host::kTrafficProviderToken) != 0 || g_null_answers-- > 0) return nullptr;
  return g_list->block;
}

class TrafficTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetModuleState();
    fake.Bind();
    g_list = &list;
    g_calls = 0;
    g_null_answers = 0;
  }
  void TearDown() override {
    g_list = nullptr;
    ResetModuleState();
  }
  void RegisterProvider() {
    auto entry = &ProviderEntry;
    void* p;
    std::memcpy(&p, &entry, sizeof p);
    fake.registered[host::kTrafficProviderVariable] = {p, VAR_TYPE_FUNCTION};
  }
  // Range 10 at radius 100: 10 pixels per NM about (150, 150).
  void Draw(std::int32_t kind = kDisplayMd11) {
    r.rec.Clear();
    gfx::Graphics g(&r.dc);
    DrawProviderTraffic(g, 100, 10.0, 150, 150, kind);
  }
  std::vector<double> PlottedAltitudes() const {
    std::vector<double> out;
    for (int i = 1; i <= display_state.TrafficPlotCount; ++i)
      out.push_back(display_state.TrafficPlotTable[i].relative_altitude);
    return out;
  }

  testing::FakeHost fake;
  ProviderList list;
  test::Recording r;
};

// A target straight ahead at 5 NM: map point (150, 100) while MapHeading is 0.
Entry Ahead(float alt_ft, int trend, int threat) { return {alt_ft, Codes(trend, threat), 1, {}, 5.0f, 0.0f}; }

TEST_F(TrafficTest, TheNearestFiveEntriesAreTakenNewestFirst) {
  RegisterProvider();
  std::vector<Entry> seven;
  for (int k = 1; k <= 7; ++k) seven.push_back(Ahead(static_cast<float>(k * 100), kLevel, kOther));
  list.Publish(seven);
  Draw();
  EXPECT_EQ(PlottedAltitudes(), (std::vector<double>{7, 6, 5, 4, 3}));  // all at 5 NM: the newest
  EXPECT_EQ(list.FirstWord(), 0u);  // taken in
  EXPECT_EQ(display_state.TrafficListSequence, list.sequence);
  EXPECT_EQ(model::CountStatusMessages("traffic: 7 targets, the 5 nearest kept, 2 left out"), 1);

  // Of targets at many ranges the nearest five are kept, then drawn in the
  // list's order again (newest first), not nearest first.
  const float ranges[] = {2, 9, 1, 8, 3, 4, 5};
  std::vector<Entry> spread;
  for (int k = 1; k <= 7; ++k) spread.push_back({k * 100.0f, Codes(kLevel, kOther), 1, {}, ranges[k - 1], 0.0f});
  list.Publish(spread);
  Draw();
  EXPECT_EQ(PlottedAltitudes(), (std::vector<double>{7, 6, 5, 3, 1}));

  // Inactive entries, a null pointer and codes out of range are passed
  // over, and make no room for the sound ones before them.
  std::vector<Entry> mixed = {Ahead(100, kLevel, kOther), Ahead(200, kLevel, kOther), Ahead(300, kLevel, kOther),
                              Ahead(400, kLevel, kOther), Ahead(500, 5, kOther), Ahead(600, kLevel, 7)};
  mixed[3].active = 0;
  list.Publish(mixed, /*null_at_end=*/true);
  Draw();
  EXPECT_EQ(PlottedAltitudes(), (std::vector<double>{3, 2, 1}));

  // A near target listed first is drawn before far ones listed after it; a
  // crowd no larger than one said before is not said again.
  std::vector<Entry> crowd(7, Entry{1000, Codes(kLevel, kOther), 1, {}, 9.0f, 0.0f});
  crowd[0] = Ahead(-700, kLevel, kAdvisory);
  list.Publish(crowd);
  Draw();
  EXPECT_EQ(r.rec.CountText("-7"), 1);
  EXPECT_EQ(model::CountStatusMessages("left out"), 1);
  std::vector<Entry> eight(8, Ahead(100, kLevel, kOther));
  list.Publish(eight);
  Draw();
  EXPECT_EQ(model::CountStatusMessages("traffic: 8 targets, the 5 nearest kept, 3 left out"), 1);
}

TEST_F(TrafficTest, TheSameSequenceNumberKeepsThePlotAndTheBlock) {
  RegisterProvider();
  list.Publish({Ahead(1200, kUp, kAdvisory)});
  Draw();
  ASSERT_EQ(display_state.TrafficPlotCount, 1);
  list.SetFirstWord(0x12345678);
  list.entries[0].alt = -500;  // changed in place, no new number
  Draw();
  EXPECT_EQ(list.FirstWord(), 0x12345678u);
  EXPECT_EQ(PlottedAltitudes(), (std::vector<double>{12}));
  EXPECT_TRUE(r.rec.FindText("+12"));  // every frame draws the kept plot
  ++list.sequence;
  std::memcpy(list.block + 14, &list.sequence, 2);
  Draw();
  EXPECT_EQ(list.FirstWord(), 0u);
  EXPECT_EQ(PlottedAltitudes(), (std::vector<double>{-5}));
  EXPECT_EQ(g_calls, 1);  // the block, once found, stays in use
}

TEST_F(TrafficTest, AnAbsentProviderIsAskedTwentyTimesAtMost) {
  for (int i = 0; i < 25; ++i) Draw();
  EXPECT_EQ(display_state.TrafficProviderAttempts, 20);
  EXPECT_EQ(host::host_state.TrafficProviderResult, host::kTrafficProviderAbsent);
  RegisterProvider();
  list.Publish({Ahead(100, kLevel, kOther)});
  Draw();
  EXPECT_EQ(g_calls, 0);
  EXPECT_EQ(r.rec.Size(), 0u);

  // A provider that answers null at first is asked again on later frames.
  ResetModuleState();
  fake.Bind();
  g_null_answers = 3;
  for (int i = 0; i < 4; ++i) Draw();
  EXPECT_EQ(g_calls, 4);
  EXPECT_EQ(display_state.TrafficProviderAttempts, 4);
  EXPECT_EQ(display_state.TrafficPlotCount, 1);
}

TEST_F(TrafficTest, TheVerticalWindowIncludesItsEdges) {
  RegisterProvider();
  list.Publish({Ahead(14000, kLevel, kOther), Ahead(14100, kLevel, kOther), Ahead(-14000, kLevel, kOther),
                Ahead(-14100, kLevel, kOther)});
  Draw();
  EXPECT_EQ(display_state.TrafficPlotCount, 4);
  std::vector<std::string> labels;
  for (const auto& t : r.rec.Texts()) labels.push_back(t.text);
  EXPECT_EQ(labels, (std::vector<std::string>{"-140", "+140"}));

  // A window of 0: level traffic only.
  model::model_state.TcasVertRange = 0;
  list.Publish({Ahead(0, kLevel, kOther), Ahead(30, kLevel, kOther)});
  Draw();
  EXPECT_EQ(r.rec.CountText("+0"), 1);
  EXPECT_EQ(r.rec.Texts().size(), 1u);

  // A label longer than its field is cut.
  model::model_state.TcasVertRange = 99999;
  list.Publish({Ahead(1234500, kLevel, kOther)});
  Draw();
  EXPECT_TRUE(r.rec.FindText("+123"));
}

TEST_F(TrafficTest, BearingsTurnByTheMapHeading) {
  RegisterProvider();
  guidance::guidance_state.MapHeading = 340;
  list.Publish({{1200, Codes(kLevel, kProximate), 1, {}, 5.0f, 0.5f}});
  Draw();
  ASSERT_EQ(display_state.TrafficPlotCount, 1);
  // 0.5 rad = 28.648 degrees; + 340 = 368.648, stored as 8.648.
  EXPECT_NEAR(display_state.TrafficPlotTable[1].bearing, 8.64789, 1e-4);
  EXPECT_DOUBLE_EQ(display_state.TrafficPlotTable[1].range, 5.0);
  EXPECT_EQ(display_state.TrafficPlotTable[1].trend, '-');
  EXPECT_EQ(display_state.TrafficPlotTable[1].threat, 'P');
  // 50 pixels out, 28.648 degrees right of up: (150 + 23.97, 150 - 43.88),
  // each offset truncated.
  auto diamonds = r.rec.Find(OpKind::Polygon);
  ASSERT_EQ(diamonds.size(), 1u);
  EXPECT_FLOAT_EQ(diamonds[0]->points[0].X, 173);
  EXPECT_FLOAT_EQ(diamonds[0]->points[0].Y, 107);
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(r.rec.FindText("+12", &t));
  EXPECT_FLOAT_EQ(t.x, 160);
  EXPECT_FLOAT_EQ(t.y, 119);
}

TEST_F(TrafficTest, SymbolsLabelsAndColoursPerDisplayKind) {
  RegisterProvider();
  constexpr gfx::ARGB kCyan = 0xFF00E6E9, kWhite = 0xFFDEE6E9, kYellow = 0xFFFFFF00, kRedLabel = 0xFFF10101;
  struct Case {
    std::int32_t kind;
    int threat;
    float alt_ft;
    const char* label;
    gfx::ARGB label_colour, symbol_colour;
    OpKind symbol;
    float size;  // symbol height
    float label_dx, label_dy, font;
  };
  for (const Case& c : std::vector<Case>{
           {kDisplayP1000, kOther, 1200, "+12", kCyan, kCyan, OpKind::Lines, 8, -9, 8, 10},
           {kDisplayP1000, kAdvisory, -500, "-5", kYellow, kYellow, OpKind::Ellipse, 8, -9, 8, 10},
           {kDisplayEfs50, kProximate, 30, "+0", kCyan, kCyan, OpKind::Polygon, 12, -13, 12, 12},
           {kDisplayProLine4, kOther, 1200, "+12", kCyan, kCyan, OpKind::Lines, 12, -13, 12, 12},
           {kDisplayMd11, kOther, 1200, "+12", kWhite, kWhite, OpKind::Lines, 12, -13, 12, 12},
           {kDisplayDu1000, kProximate, -500, "-5", kWhite, kWhite, OpKind::Polygon, 12, -13, 12, 12},
           {kDisplayB737, kResolution, 1200, "+12", kRedLabel, kMapRed, OpKind::Ellipse, 12, -13, 12, 12},
       }) {
    list.Publish({Ahead(c.alt_ft, kLevel, c.threat)});
    Draw(c.kind);
    auto texts = r.rec.Texts();
    ASSERT_EQ(texts.size(), 1u) << c.kind;
    EXPECT_EQ(texts[0].text, c.label) << c.kind;
    EXPECT_EQ(texts[0].color, c.label_colour) << c.kind << " threat " << c.threat;
    EXPECT_EQ(texts[0].font_family, "Arial");
    EXPECT_FLOAT_EQ(texts[0].font_size, c.font);
    EXPECT_FLOAT_EQ(texts[0].x, 150 + c.label_dx);
    EXPECT_FLOAT_EQ(texts[0].y, 100 + c.label_dy);
    auto shapes = r.rec.Find(c.symbol);
    ASSERT_EQ(shapes.size(), 1u) << c.kind << " threat " << c.threat;
    EXPECT_EQ(shapes[0]->color, c.symbol_colour) << c.kind;
    EXPECT_NEAR(shapes[0]->bounds.Y + shapes[0]->bounds.Height - (c.symbol == OpKind::Lines ? 0.75 : 0), 100 + c.size,
                0.01)
        << c.kind;
  }
}

TEST_F(TrafficTest, ALevelTargetAfterADescendingOneHasNoArrow) {
  RegisterProvider();
  list.Publish({Ahead(-800, kDown, kAdvisory), {700, Codes(kLevel, kAdvisory), 1, {}, 5.0f, 1.5707964f}});
  Draw();
  ASSERT_EQ(display_state.TrafficPlotCount, 2);
  std::vector<const gfx::RecordedOp*> heads;
  for (const auto* op : r.rec.Find(OpKind::Polygon))
    if (op->points.size() == 3) heads.push_back(op);
  ASSERT_EQ(heads.size(), 1u);
  // The descending target ahead: head tip below, at (x+12, y+8).
  EXPECT_FLOAT_EQ(heads[0]->points[0].X, 162);
  EXPECT_FLOAT_EQ(heads[0]->points[0].Y, 108);
  EXPECT_EQ(heads[0]->color, kMapYellow);
}

}  // namespace
}  // namespace ovi::display
