// The C-17 engine pages on a recording surface: the header both engine
// pages share (time line, reverse marks, rating), page 9's EPR from N1,
// bars, scale, temperature lines and lever chevrons, page 10's dials and
// readouts, and page 11's oil dials and fuel used.
#include <cmath>
#include <string>
#include <vector>

#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/engine_kit.h"
#include "src/instruments/mfd/c17/engine_pages.h"
#include "tests/instruments/mfd/c17/c17_test_support.h"

namespace ovi::c17::test {
namespace {

constexpr gfx::ARGB kGreen = 0xFF00FA00, kWhite = 0xFFDEE6E9, kCyan = 0xFF18C2E7, kYellow = 0xFFFFFF00,
                    kRed = 0xFFFF0000;

// Tokens of engines 1 to 4.
constexpr std::uint32_t kN1[] = {626, 645, 664, 683};
constexpr std::uint32_t kN2[] = {625, 644, 663, 682};
constexpr std::uint32_t kEgt[] = {567, 577, 587, 597};
constexpr std::uint32_t kLever[] = {128, 163, 198, 233};
constexpr std::uint32_t kEprSource[] = {633, 652, 671, 690};
constexpr std::uint32_t kFuelFlow[] = {638, 657, 676, 695};
constexpr std::uint32_t kOilPressure[] = {562, 572, 582, 592};
constexpr std::uint32_t kOilTemperature[] = {561, 571, 581, 591};
constexpr std::uint32_t kOilQuantity[] = {149, 184, 219, 254};

class EnginePageTest : public C17PageTest {
 public:
  void SetUp() override {
    C17PageTest::SetUp();
    host.tokens[342] = 300.0;
    for (int n = 0; n < 4; ++n) {
      host.tokens[kEgt[n]] = RankineToken(400.0);
      host.tokens[kOilTemperature[n]] = RankineToken(80.0);
    }
  }
  guidance::State& G() { return guidance::guidance_state; }

  // The text drawn at a canvas point, or "" (with its colour).
  std::string TextAt(double x, double y, gfx::ARGB* colour = nullptr) const {
    for (const gfx::Recorder::TextItem& t : rec_.Texts()) {
      if (Near({t.x, t.y}, At(x, y))) {
        if (colour != nullptr) *colour = t.color;
        return t.text;
      }
    }
    return {};
  }
  // Lines that start at a canvas point, in drawing order.
  std::vector<const gfx::RecordedOp*> LinesFrom(double x, double y) const {
    std::vector<const gfx::RecordedOp*> out;
    for (const gfx::RecordedOp* op : rec_.Find(gfx::OpKind::Line))
      if (Near(op->points[0], At(x, y), 0.05)) out.push_back(op);
    return out;
  }
  // The needle of the dial about (cx, cy): the last line from its centre.
  const gfx::RecordedOp* Needle(double cx, double cy) const {
    auto lines = LinesFrom(cx, cy);
    return lines.empty() ? nullptr : lines.back();
  }
  // Where a 25-unit needle at A degrees of its dial ends.
  static gfx::PointF NeedleEnd(double cx, double cy, double a) {
    const double rad = (135.0 + a) * M_PI / 180.0;
    return At(cx + 25.0 * std::cos(rad), cy + 25.0 * std::sin(rad));
  }
};

// --- Header ---------------------------------------------------------------------

TEST_F(EnginePageTest, MaxThrustTimeLineInEachBandAndAtItsLimits) {
  struct Case {
    double timer;
    const char* text;  // "" for none
  } cases[] = {
      {0, ""},
      {-4, ""},
      {NAN, ""},
      {1, "MAX THR TIME OVER 00:01"},
      {59, "MAX THR TIME OVER 00:59"},
      {60, "MAX THR TIME OVER 01:00"},  // seconds carry into minutes
      {59.7, "MAX THR TIME OVER 00:59"},  // never "00:60"
      {899, "MAX THR TIME OVER 14:59"},
      {900, "MAX THR TIME OVER 15:00"},
      {901, "MAX THR TIME REM 04:59"},
      {1140, "MAX THR TIME REM 01:00"},
      {1199, "MAX THR TIME REM 00:01"},
      {1200, "MAX THR TIME REM 00:00"},
      {1200.5, "MAX THR TIME REM 00:00"},
      {1500, "MAX THR TIME REM 00:00"},
      {1e300, "MAX THR TIME REM 00:00"},
  };
  for (std::int32_t page : {9, 10}) {
    for (const Case& c : cases) {
      G().MaxThrustTimer = c.timer;
      DrawPage(page);
      gfx::ARGB colour = 0;
      const std::string text = TextAt(0, 0, &colour);
      EXPECT_EQ(text, c.text) << page << " " << c.timer;
      if (!text.empty()) {
        EXPECT_EQ(colour, kCyan);
      }
    }
  }
}

TEST_F(EnginePageTest, MinutesAndSecondsDropWholeHours) {
  struct Case {
    double seconds, minutes, whole_seconds;
  } cases[] = {
      {3700, 1, 40}, {3600, 0, 0}, {7199, 59, 59}, {3599.9, 59, 59}, {61, 1, 1}, {0, 0, 0}, {-30, 0, 0}, {INFINITY, 0, 0},
  };
  for (const Case& c : cases) {
    const MinutesSeconds ms = MinutesAndSeconds(c.seconds);
    EXPECT_EQ(ms.minutes, c.minutes) << c.seconds;
    EXPECT_EQ(ms.seconds, c.whole_seconds) << c.seconds;
  }
}

TEST_F(EnginePageTest, ReverseMarksByLeverSignOnBothPages) {
  host.tokens[kLever[0]] = 0.0;
  host.tokens[kLever[1]] = -1.0;
  host.tokens[kLever[2]] = 16383.0;
  host.tokens[kLever[3]] = -16384.0;
  struct Case {
    std::int32_t page;
    int row_y;
  } cases[] = {{9, 10}, {10, 15}};
  for (const Case& c : cases) {
    DrawPage(c.page);
    auto arcs = rec_.Find(gfx::OpKind::Arc);
    std::vector<const gfx::RecordedOp*> rev;
    for (const gfx::RecordedOp* a : arcs)
      if (a->color == kCyan) rev.push_back(a);
    ASSERT_EQ(rev.size(), 4u) << c.page;  // engines 2 and 4, two arcs each
    const double corner_x[] = {54, 54, 214, 214};
    const float start[] = {210, 30, 210, 30};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(rev[i]->start_angle, start[i]);
      EXPECT_EQ(rev[i]->sweep_angle, 120.0f);
      EXPECT_EQ(rev[i]->pen_width, 2.0f);
      EXPECT_TRUE(Near(rev[i]->points[2], At(corner_x[i] + 10, c.row_y + 10))) << c.page << " " << i;
    }
    EXPECT_EQ(rec_.CountText("REV"), 2);
    EXPECT_EQ(TextAt(52, c.row_y + 5), "REV");
    EXPECT_EQ(TextAt(212, c.row_y + 5), "REV");
    // The rating line, whatever the engines do.
    gfx::ARGB colour = 0;
    EXPECT_EQ(TextAt(0, 43, &colour), "RATING  1.22 MCT");
    EXPECT_EQ(colour, kCyan);
  }
}

// --- Page 9 ---------------------------------------------------------------------

TEST_F(EnginePageTest, EprWalksTheSegmentsOfTheN1Band) {
  struct Case {
    double n1, token342, epr;
  } cases[] = {
      // Reference 300: the band is 40 to 104 %.
      {40, 300, 0.85},
      {30, 300, 0.85},
      {-20, 300, 0.85},
      {104, 300, 1.85},
      {130, 300, 1.85},
      {42.5, 300, 0.9 + 0.1 * 1.40625 / 10.9},  // p 3.90625: segment 1 whole, into 2
      {41.6, 300, 0.9},                         // p 2.5: the edge of segment 1
      {48.576, 300, 1.0},                       // p 13.4: the edge of segment 2
      {40.8, 300, 0.85 + 0.05 * 1.25 / 2.5},    // p 1.25: inside segment 1
      {72, 300, 1.3 + 0.1 * 5.9 / 14.6},        // p 50: inside segment 6
      {102.848, 300, 1.8},                      // p 98.2: the start of segment 11
      {103.424, 300, 1.825},                    // p 99.1: half of segment 11
      // 15913 above the reference: a = 1, the band is 24 to 100.5 %.
      {24, 16213, 0.85},
      {100.5, 16213, 1.85},
      {62.25, 16213, 1.3 + 0.1 * 5.9 / 14.6},
      // 15913 below: a = -1, the band is 56 to 107.5 %.
      {56, -15613, 0.85},
      {107.5, -15613, 1.85},
      {NAN, 300, 0.85},
  };
  for (const Case& c : cases) EXPECT_NEAR(EprFromN1(c.n1, c.token342), c.epr, 1e-9) << c.n1 << " " << c.token342;
  // Where the band has no width (a = -5.12) or the reference is huge, every
  // engine still lands on the scale.
  for (double token342 : {300.0 - 5.12 * 15913.0, 1e300, -1e300}) {
    for (double n1 : {0.0, 50.0, 121.92, 200.0}) {
      const double epr = EprFromN1(n1, token342);
      EXPECT_TRUE(epr >= 0.85 && epr <= 1.85 + 1e-12) << token342 << " " << n1 << " " << epr;
    }
  }
}

TEST_F(EnginePageTest, ReadoutsBarsAndChevrons) {
  const double n1[] = {42.5, 104, 30, 72};
  const double levers[] = {0, 16383, -8192, -16384};
  for (int n = 0; n < 4; ++n) {
    host.tokens[kN1[n]] = n1[n];
    host.tokens[kLever[n]] = levers[n];
  }
  DrawPage(9);
  const char* epr[] = {"0.91", "1.85", "0.85", "1.34"};
  const char* n1_text[] = {"42.5", "104.0", "30.0", "72.0"};
  const double epr_x[] = {20, 65, 155, 195}, n1_x[] = {20, 70, 155, 195};
  for (int n = 0; n < 4; ++n) {
    gfx::ARGB colour = 0;
    EXPECT_EQ(TextAt(epr_x[n], 191, &colour), epr[n]) << n;
    EXPECT_EQ(colour, kGreen);
    EXPECT_EQ(TextAt(n1_x[n], 211, &colour), n1_text[n]) << n;
    EXPECT_EQ(colour, kGreen);
  }
  // Bars: 12 units per 0.1 below the top (canvas y 61) down to 181. Engine 1
  // at 0.9129: trunc(trunc(93.7) x 1.2) = 111 empty, 9 filled; engine 2
  // full; engine 3 empty (no fill); engine 4 at 1.3404: 50 hundredths, 60.
  const double bar_x[] = {39, 79, 159, 199};
  const double fill_top[] = {61 + 111, 61, -1, 61 + 60};
  auto fills = rec_.Find(gfx::OpKind::Rectangle);
  EXPECT_EQ(rec_.Count(gfx::OpKind::Rectangle, kGreen, 1), 3);
  for (int n = 0; n < 4; ++n) {
    if (fill_top[n] < 0) continue;
    bool found = false;
    for (const gfx::RecordedOp* r : fills)
      found = found || (r->filled && Near(r->points[0], At(bar_x[n], fill_top[n])) && Near(r->points[2], At(bar_x[n] + 6, 181)));
    EXPECT_TRUE(found) << n;
  }
  EXPECT_EQ(EprBarEmpty(1.22), 75);  // trunc(trunc(63.000...) x 1.2)
  EXPECT_EQ(EprBarEmpty(1.85), 0);
  EXPECT_EQ(EprBarEmpty(0.85), 120);
  // The outline of every bar, white, 6 x 120.
  int outlines = 0;
  for (const gfx::RecordedOp* r : fills)
    outlines += !r->filled && r->color == kWhite && Near(r->points[2], {r->points[0].X + 12, r->points[0].Y + 240});
  EXPECT_EQ(outlines, 4);
  // Chevrons: lever 0 at y 59 below the origin (121), full lever at -59,
  // half reverse at trunc(59 - 8192 x 118 / 16383) = 0, full reverse -59.
  const int chevron_y[] = {59, -59, 0, -59};
  const int a[] = {-84, -44, 44, 84}, b[] = {-89, -49, 49, 89};
  for (int n = 0; n < 4; ++n) {
    auto lines = LinesFrom(122 + a[n], 121 + chevron_y[n]);
    std::vector<const gfx::RecordedOp*> cyan;
    for (const gfx::RecordedOp* l : lines)
      if (l->color == kCyan && l->pen_width == 2.0f) cyan.push_back(l);
    ASSERT_EQ(cyan.size(), 2u) << n;
    EXPECT_TRUE(Near(cyan[0]->points[1], At(122 + b[n], 121 + chevron_y[n] - 5))) << n;
    EXPECT_TRUE(Near(cyan[1]->points[1], At(122 + b[n], 121 + chevron_y[n] + 5))) << n;
  }
}

TEST_F(EnginePageTest, ScaleLabelsAndTheirPlaces) {
  DrawPage(9);
  const char* labels[] = {"1.8", "1.7", "1.6", "1.5", "1.4", "1.3", "1.2", "1.1", "1.0", " .9"};
  for (int row = 0; row < 10; ++row) {
    const double y = 121 - 54 + 12 * row - 5;
    gfx::ARGB colour = 0;
    EXPECT_EQ(TextAt(row < 9 ? 113 : 116, y, &colour), labels[row]) << row;
    EXPECT_EQ(colour, kWhite);
  }
  int ticks = 0;
  for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line)) ticks += l->color == kWhite && l->pen_width == 1.0f;
  EXPECT_EQ(ticks, 40);
}

TEST_F(EnginePageTest, FuelFlowTotalInItsBox) {
  const double flows[] = {1000.4, 2000, 3000, 4000.3};
  for (int n = 0; n < 4; ++n) host.tokens[kFuelFlow[n]] = flows[n];
  DrawPage(9);
  gfx::ARGB colour = 0;
  EXPECT_EQ(TextAt(107, 26, &colour), "10001");
  EXPECT_EQ(colour, kGreen);
  EXPECT_EQ(TextAt(107, 10), "FF PPH");
  // A flow beyond any engine's stays within six digits.
  host.tokens[kFuelFlow[0]] = 1e300;
  DrawPage(9);
  EXPECT_EQ(TextAt(107, 26), "999999");
}

TEST_F(EnginePageTest, TemperatureLimitLineTestsEachAlone) {
  struct Case {
    int engine;
    double egt;
    const char* text;
    gfx::ARGB colour;
  } cases[] = {
      // The 625 text goes with the 655 test, the 655 text with the 625 test.
      {0, 660, "MAX EGT 625°C", kYellow}, {3, 655.1, "MAX EGT 625°C", kYellow},
      {1, 655, "MAX EGT 655°C", kRed},    {2, 630, "MAX EGT 655°C", kRed},
      {3, 625.1, "MAX EGT 655°C", kRed},  {0, 625, "", 0},
      {2, 600, "", 0},
  };
  for (const Case& c : cases) {
    for (int n = 0; n < 4; ++n) host.tokens[kEgt[n]] = RankineToken(n == c.engine ? c.egt : 600.0);
    DrawPage(9);
    gfx::ARGB colour = 0;
    EXPECT_EQ(TextAt(167, 33, &colour), c.text) << c.engine << " " << c.egt;
    if (c.colour != 0) {
      EXPECT_EQ(colour, c.colour);
    }
  }
}

TEST_F(EnginePageTest, TemperatureTimeLineWritesTheTimerAndChangesColourPast300) {
  // Both at y 43 (the yellow line moved clear of the limit line above).
  struct Case {
    double timer, after;
    double y;
    const char* text;
    gfx::ARGB colour;
  } cases[] = {
      {0, 0, 43, "", 0},
      {-3, -3, 43, "", 0},
      {1, 300, 43, "TIME REM 05:00", kGreen},
      {300, 300, 43, "TIME REM 05:00", kGreen},
      {300.5, 300.5, 43, "TIME REM 05:00", kYellow},
      {301, 301, 43, "TIME REM 05:01", kYellow},
      {3700, 3700, 43, "TIME REM 01:40", kYellow},
  };
  for (const Case& c : cases) {
    G().EngineTempLimitTimer = c.timer;
    DrawPage(9);
    EXPECT_EQ(G().EngineTempLimitTimer, c.after) << c.timer;
    gfx::ARGB colour = 0;
    EXPECT_EQ(TextAt(162, c.y, &colour), c.text) << c.timer;
    if (c.colour != 0) {
      EXPECT_EQ(colour, c.colour);
    }
  }
  // Page 10 reads the header's timer only.
  G().EngineTempLimitTimer = 5;
  DrawPage(10);
  EXPECT_EQ(G().EngineTempLimitTimer, 5);
}

// --- Page 10 --------------------------------------------------------------------

TEST_F(EnginePageTest, DetailColoursAtEveryLimitForTextAndNeedle) {
  struct Case {
    int dial;  // 0 N1, 1 N2, 2 EGT
    double value;
    gfx::ARGB colour;
  } cases[] = {
      {0, 14.9, kYellow},  {0, 15.0, kGreen},   {0, 100.5, kGreen},  {0, 100.6, kRed},  {0, -3, kYellow},
      {1, 14.9, kYellow},  {1, 15.0, kGreen},   {1, 100.5, kGreen},  {1, 100.6, kRed},
      {2, 625, kGreen},    {2, 625.1, kYellow}, {2, 655, kYellow},   {2, 655.1, kRed},
  };
  const double centre_y[] = {95, 150, 205}, readout_y[] = {105, 160, 215};
  for (const Case& c : cases) {
    // Engine 3's column: text x 153, dial centre x 163.
    host.tokens[kN1[2]] = 50.0;
    host.tokens[kN2[2]] = 50.0;
    host.tokens[kEgt[2]] = RankineToken(400.0);
    if (c.dial == 0) host.tokens[kN1[2]] = c.value;
    if (c.dial == 1) host.tokens[kN2[2]] = c.value;
    if (c.dial == 2) host.tokens[kEgt[2]] = RankineToken(c.value);
    DrawPage(10);
    gfx::ARGB text_colour = 0;
    EXPECT_FALSE(TextAt(153, readout_y[c.dial], &text_colour).empty());
    EXPECT_EQ(text_colour, c.colour) << c.dial << " " << c.value;
    const gfx::RecordedOp* needle = Needle(163, centre_y[c.dial]);
    ASSERT_NE(needle, nullptr);
    EXPECT_EQ(needle->color, c.colour) << c.dial << " " << c.value;
  }
}

TEST_F(EnginePageTest, DetailNeedlesClampAndMarksSitAtTheirRotations) {
  host.tokens[kN1[0]] = 121.0;                  // beyond the scale: A 180
  host.tokens[kN2[0]] = -5.0;                   // below: A 0
  host.tokens[kEgt[0]] = RankineToken(380.0);   // half of 760: A 90
  host.tokens[kN1[1]] = 55.0;                   // half of 110: A 90
  DrawPage(10);
  struct Case {
    double cx, cy, angle;
  } needles[] = {{32, 95, 180}, {32, 150, 0}, {32, 205, 90}, {87, 95, 90}};
  for (const Case& c : needles) {
    const gfx::RecordedOp* needle = Needle(c.cx, c.cy);
    ASSERT_NE(needle, nullptr);
    EXPECT_TRUE(Near(needle->points[1], NeedleEnd(c.cx, c.cy, c.angle), 0.05)) << c.cx << "," << c.cy;
    EXPECT_EQ(needle->pen_width, 2.0f);
  }
  // Marks just outside the arc at 180 + rotation: N1 yellow 160 and red
  // 299, N2 yellow 224, EGT yellow 283 and red 290.
  struct Mark {
    double cy, at;
    gfx::ARGB colour;
  } marks[] = {{95, 160, kYellow}, {95, 299, kRed}, {150, 224, kYellow}, {150, 299, kRed}, {205, 283, kYellow},
               {205, 290, kRed}};
  for (const Mark& m : marks) {
    const double rad = m.at * M_PI / 180.0;
    auto lines = LinesFrom(218 + 25 * std::cos(rad), m.cy + 25 * std::sin(rad));
    ASSERT_EQ(lines.size(), 1u) << m.cy << " " << m.at;
    EXPECT_TRUE(Near(lines[0]->points[1], At(218 + 30 * std::cos(rad), m.cy + 30 * std::sin(rad)), 0.05));
    EXPECT_EQ(lines[0]->color, m.colour);
  }
}

TEST_F(EnginePageTest, DetailFuelFlowCutToTensAndEpr) {
  const double flows[] = {12345.7, 9.9, -15, 1e300};
  const char* shown[] = {"12340", "   0", " -10", "999990"};
  const double x[] = {22, 77, 153, 208};
  for (int n = 0; n < 4; ++n) host.tokens[kFuelFlow[n]] = flows[n];
  host.tokens[kEprSource[0]] = 0.0;
  host.tokens[kEprSource[1]] = 600.0;
  DrawPage(10);
  for (int n = 0; n < 4; ++n) EXPECT_EQ(TextAt(x[n], 226), shown[n]) << n;
  EXPECT_EQ(TextAt(22, 55), "1.00");  // no source: 1
  EXPECT_EQ(TextAt(77, 55), "1.64");  // 1 + 0.318 x 600 / 300 = 1.636
  EXPECT_DOUBLE_EQ(*DetailEpr(0, 300, 300), 1.32);
  EXPECT_DOUBLE_EQ(*DetailEpr(2, 600, 300), 1.63);
  EXPECT_DOUBLE_EQ(*DetailEpr(3, -150, 300), 1.0 - 0.1585);
  // Without a reference there is no ratio: dashes, on every column.
  host.tokens[342] = 0.0;
  DrawPage(10);
  for (double tx : x) EXPECT_EQ(TextAt(tx, 55), "-.--") << tx;
  EXPECT_FALSE(DetailEpr(1, 600, 0).has_value());
  EXPECT_FALSE(DetailEpr(1, 1e300, 1e-300).has_value());
}

// --- Page 11 --------------------------------------------------------------------

TEST_F(EnginePageTest, OilTextAndNeedleBandsAtTheirEdges) {
  struct Case {
    int dial;  // 0 pressure, 1 temperature, 2 quantity
    double value;
    gfx::ARGB text, needle;
  } cases[] = {
      {0, 70, kGreen, kGreen},      {0, 69.9, kRed, kRed},          {0, -1, kRed, kRed},
      // No host value reads exactly 39, 163, 177 or 177.5: the rows at those
      // limits are the closest readings below them.
      {1, 38.99, kYellow, kYellow}, {1, 39.01, kGreen, kGreen},     {1, 163, kGreen, kGreen},
      {1, 163.2, kGreen, kYellow},  {1, 163.5, kGreen, kYellow},    {1, 163.6, kYellow, kYellow},
      {1, 177, kYellow, kYellow},   {1, 177.2, kYellow, kRed},      {1, 177.5, kYellow, kRed},
      {1, 177.6, kRed, kRed},       {2, 3.99, kYellow, kYellow},    {2, 4, kGreen, kGreen},
  };
  const double centre_y[] = {65, 120, 175}, value_y[] = {75, 130, 185};
  for (const Case& c : cases) {
    host.tokens[kOilPressure[1]] = 80.0 * 144.0;
    host.tokens[kOilTemperature[1]] = RankineToken(80.0);
    host.tokens[kOilQuantity[1]] = 20.0;
    if (c.dial == 0) host.tokens[kOilPressure[1]] = c.value * 144.0;
    if (c.dial == 1) host.tokens[kOilTemperature[1]] = RankineToken(c.value);
    if (c.dial == 2) host.tokens[kOilQuantity[1]] = c.value;
    DrawPage(11);
    // Engine 2's column: value x 77, dial centre x 87.
    gfx::ARGB colour = 0;
    EXPECT_FALSE(TextAt(77, value_y[c.dial], &colour).empty());
    EXPECT_EQ(colour, c.text) << c.dial << " " << c.value;
    const gfx::RecordedOp* needle = Needle(87, centre_y[c.dial]);
    ASSERT_NE(needle, nullptr);
    EXPECT_EQ(needle->color, c.needle) << c.dial << " " << c.value;
  }
}

TEST_F(EnginePageTest, OilNeedlesClampAndFuelUsedShows) {
  host.tokens[kOilPressure[3]] = 300.0 * 144.0;  // 216 degrees: stops at 180
  host.tokens[kOilTemperature[3]] = RankineToken(-40.0);
  host.tokens[kOilQuantity[3]] = 11.5;  // half of 23 quarts
  G().Engine1FuelUsed = 1234.4;
  G().Engine4FuelUsed = 1e300;
  DrawPage(11);
  struct Case {
    double cy, angle;
  } needles[] = {{65, 180}, {120, 0}, {175, 90}};
  for (const Case& c : needles) {
    const gfx::RecordedOp* needle = Needle(218, c.cy);
    ASSERT_NE(needle, nullptr);
    EXPECT_TRUE(Near(needle->points[1], NeedleEnd(218, c.cy, c.angle), 0.05)) << c.cy;
  }
  gfx::ARGB colour = 0;
  EXPECT_EQ(TextAt(17, 216, &colour), " 1234");
  EXPECT_EQ(colour, kCyan);
  EXPECT_EQ(TextAt(203, 216), "999999");
  EXPECT_EQ(TextAt(72, 216), "    0");
}

// --- Both sizes -----------------------------------------------------------------

TEST_F(EnginePageTest, EachPageScalesWithItsSurface) {
  G().MaxThrustTimer = 30;
  struct Case {
    std::int32_t page;
    double x, y;
    const char* text;
  } cases[] = {
      {9, 112, 191, "EPR"}, {9, 0, 0, "MAX THR TIME OVER 00:30"}, {10, 113, 50, "EPR"}, {11, 97, 20, "ENGINE OIL"},
  };
  for (const Case& c : cases) {
    for (int factor : {1, 2}) {
      DrawPage(c.page, 246 * factor, 241 * factor);
      gfx::Recorder::TextItem item;
      ASSERT_TRUE(rec_.FindText(c.text, &item)) << c.page;
      EXPECT_FLOAT_EQ(item.x, static_cast<float>(c.x * factor)) << c.page;
      EXPECT_FLOAT_EQ(item.y, static_cast<float>(c.y * factor)) << c.page;
    }
  }
}

}  // namespace
}  // namespace ovi::c17::test
