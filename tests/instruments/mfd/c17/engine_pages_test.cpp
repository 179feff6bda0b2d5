// The C-17 engine pages on a recording surface: the header pages 9 and 10
// share, page 9's EPR from N1, bars, scale, temperature lines and lever
// chevrons, page 10's dials and readouts, page 11's oil dials and fuel used.
#include <cmath>

#include "src/guidance/state.h"
#include "src/instruments/mfd/c17/engine_pages.h"
#include "tests/instruments/mfd/c17/c17_test_support.h"

namespace ovi::c17::test {
namespace {

constexpr gfx::ARGB G = 0xFF00FA00, W = 0xFFDEE6E9, C = 0xFF18C2E7, Y = 0xFFFFFF00, R = 0xFFFF0000;

// Tokens of engines 1 to 4.
constexpr std::uint32_t kN1[] = {626, 645, 664, 683}, kN2[] = {625, 644, 663, 682}, kEgt[] = {567, 577, 587, 597},
                        kLever[] = {128, 163, 198, 233}, kFuelFlow[] = {638, 657, 676, 695},
                        kOilPressure[] = {562, 572, 582, 592}, kOilTemp[] = {561, 571, 581, 591},
                        kOilQuantity[] = {149, 184, 219, 254};

class EnginePageTest : public C17PageTest {
 public:
  void SetUp() override {
    C17PageTest::SetUp();
    host.tokens[342] = 300.0;
    for (int n = 0; n < 4; ++n) host.tokens[kEgt[n]] = RankineToken(400.0);
  }
  guidance::State& Update() { return guidance::guidance_state; }
  // The needle of the dial about (cx, cy) is the last line from its centre;
  // true when it is `colour` and ends 25 units out at A degrees of its arc.
  bool NeedleIs(double cx, double cy, gfx::ARGB colour, double a = -1) const {
    auto lines = LinesFrom(cx, cy);
    if (lines.empty() || lines.back()->color != colour) return false;
    const double rad = (135.0 + a) * M_PI / 180.0;
    return a < 0 || Near(lines.back()->points[1], At(cx + 25 * std::cos(rad), cy + 25 * std::sin(rad)));
  }
};

TEST_F(EnginePageTest, HeaderTimeLineReverseMarksAndRating) {
  struct Case {
    double timer;
    const char* text;
  } cases[] = {
      {0, ""}, {-4, ""}, {NAN, ""}, {1, "MAX THR TIME OVER 00:01"}, {59, "MAX THR TIME OVER 00:59"},
      {60, "MAX THR TIME OVER 01:00"}, {59.7, "MAX THR TIME OVER 00:59"}, {900, "MAX THR TIME OVER 15:00"},
      {901, "MAX THR TIME REM 04:59"}, {1140, "MAX THR TIME REM 01:00"}, {1200, "MAX THR TIME REM 00:00"},
      {1200.5, "MAX THR TIME REM 00:00"}, {1500, "MAX THR TIME REM 00:00"}, {1e300, "MAX THR TIME REM 00:00"},
  };
  const double levers[] = {0, -1, 16383, -16384};
  for (int n = 0; n < 4; ++n) host.tokens[kLever[n]] = levers[n];
  for (auto [page, row_y] : {std::pair{9, 10}, std::pair{10, 15}}) {
    for (const Case& c : cases) {
      Update().MaxThrustTimer = c.timer;
      DrawPage(page);
      gfx::ARGB colour = 0;
      EXPECT_EQ(TextAt(0, 0, &colour), c.text) << page << " " << c.timer;
      EXPECT_TRUE(*c.text == '\0' || colour == C);
    }
    // Reverse marks over engines 2 and 4 only: two arcs and "REV" each.
    auto arcs = rec_.Find(gfx::OpKind::Arc);
    std::erase_if(arcs, [](const gfx::RecordedOp* a) { return a->color != C; });
    ASSERT_EQ(arcs.size(), 4u) << page;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(arcs[i]->start_angle, i % 2 == 0 ? 210.0f : 30.0f);
      EXPECT_EQ(arcs[i]->sweep_angle, 120.0f);
      EXPECT_TRUE(Near(arcs[i]->points[2], At(i < 2 ? 64 : 224, row_y + 10))) << page << " " << i;
    }
    EXPECT_EQ(rec_.CountText("REV"), 2);
    EXPECT_EQ(TextAt(52, row_y + 5), "REV");
    EXPECT_EQ(TextAt(212, row_y + 5), "REV");
    EXPECT_EQ(TextAt(0, 43), "RATING  1.22 MCT");
  }
}

TEST_F(EnginePageTest, EprWalksTheSegmentsOfTheN1Band) {
  struct Case {
    double n1, token342, epr;
  } cases[] = {
      // Reference 300: the band is 40 to 104 %; p is the place in it.
      {40, 300, 0.85}, {-20, 300, 0.85}, {104, 300, 1.85}, {130, 300, 1.85},
      {42.5, 300, 0.9 + 0.1 * 1.40625 / 10.9},                           // p 3.90625
      {41.6, 300, 0.9}, {48.576, 300, 1.0}, {102.848, 300, 1.8},          // p 2.5, 13.4, 98.2: segment edges
      {40.8, 300, 0.875}, {72, 300, 1.3 + 0.1 * 5.9 / 14.6}, {103.424, 300, 1.825},  // p 1.25, 50, 99.1
      // 15913 away from the reference: a = 1 (24 to 100.5 %) or -1 (56 to 107.5 %).
      {24, 16213, 0.85}, {100.5, 16213, 1.85}, {62.25, 16213, 1.3 + 0.1 * 5.9 / 14.6},
      {56, -15613, 0.85}, {107.5, -15613, 1.85}, {NAN, 300, 0.85},
  };
  for (const Case& c : cases) EXPECT_NEAR(EprFromN1(c.n1, c.token342), c.epr, 1e-9) << c.n1 << " " << c.token342;
  // A band of no width (a = -5.12) or a huge reference still lands on the scale.
  for (double token342 : {300.0 - 5.12 * 15913.0, 1e300, -1e300}) {
    for (double n1 : {0.0, 50.0, 121.92, 200.0}) {
      const double epr = EprFromN1(n1, token342);
      EXPECT_TRUE(epr >= 0.85 && epr <= 1.85 + 1e-12) << token342 << " " << n1;
    }
  }
  EXPECT_EQ(EprBarEmpty(1.22), 75);  // trunc(trunc(63.000...) x 1.2)
}

TEST_F(EnginePageTest, ReadoutsBarsScaleAndChevrons) {
  const double n1[] = {42.5, 104, 30, 72}, levers[] = {0, 16383, -8192, -16384},
               flows[] = {1000.4, 2000, 3000, 4000.3};
  for (int n = 0; n < 4; ++n) {
    host.tokens[kN1[n]] = n1[n];
    host.tokens[kLever[n]] = levers[n];
    host.tokens[kFuelFlow[n]] = flows[n];
  }
  DrawPage(9);
  const char *epr[] = {"0.91", "1.85", "0.85", "1.34"}, *n1_text[] = {"42.5", "104.0", "30.0", "72.0"};
  const double epr_x[] = {20, 65, 155, 195}, n1_x[] = {20, 70, 155, 195}, bar_x[] = {39, 79, 159, 199};
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(TextAt(epr_x[n], 191), epr[n]) << n;
    EXPECT_EQ(TextAt(n1_x[n], 211), n1_text[n]) << n;
    EXPECT_TRUE(HasRect(bar_x[n], 61, 6, 120, W, false)) << n;
  }
  EXPECT_EQ(TextAt(107, 26), "10001");  // the total flow
  // 12 units a 0.1 down from y 61: 0.9129 leaves trunc(trunc(93.7) x 1.2) =
  // 111 empty, 1.85 none, 0.85 all (no fill), 1.3404 60.
  EXPECT_EQ(rec_.Count(gfx::OpKind::Rectangle, G, 1), 3);
  EXPECT_TRUE(HasRect(39, 172, 6, 9, G));
  EXPECT_TRUE(HasRect(79, 61, 6, 120, G));
  EXPECT_TRUE(HasRect(199, 121, 6, 60, G));
  // The scale: 1.8 down to 1.0 at x 113, " .9" (just below 0.9) at 116.
  const char* labels[] = {"1.8", "1.7", "1.6", "1.5", "1.4", "1.3", "1.2", "1.1", "1.0", " .9"};
  for (int row = 0; row < 10; ++row) EXPECT_EQ(TextAt(row < 9 ? 113 : 116, 62 + 12 * row), labels[row]) << row;
  // Chevrons at y 59 (lever 0), -59 (full either way) and
  // trunc(59 - 8192 x 118 / 16383) = 0 below the origin (122, 121).
  const int chevron_y[] = {59, -59, 0, -59}, a[] = {-84, -44, 44, 84}, b[] = {-89, -49, 49, 89};
  for (int n = 0; n < 4; ++n) {
    EXPECT_TRUE(HasLine(122 + a[n], 121 + chevron_y[n], 122 + b[n], 116 + chevron_y[n], C, 2)) << n;
    EXPECT_TRUE(HasLine(122 + a[n], 121 + chevron_y[n], 122 + b[n], 126 + chevron_y[n], C, 2)) << n;
  }
  host.tokens[kFuelFlow[0]] = 1e300;  // stays within six digits
  DrawPage(9);
  EXPECT_EQ(TextAt(107, 26), "999999");
}

TEST_F(EnginePageTest, TemperatureLimitLineAndTimeLine) {
  struct Limit {
    int engine;
    double egt;
    const char* text;
    gfx::ARGB colour;
  } limits[] = {
      // The 625 text goes with the 655 test, the 655 text with the 625 test.
      {0, 660, "MAX EGT 625°C", Y}, {3, 655.1, "MAX EGT 625°C", Y}, {1, 655, "MAX EGT 655°C", R},
      {2, 625.1, "MAX EGT 655°C", R}, {0, 625, "", 0}, {2, 600, "", 0},
  };
  for (const Limit& c : limits) {
    for (int n = 0; n < 4; ++n) host.tokens[kEgt[n]] = RankineToken(n == c.engine ? c.egt : 600.0);
    DrawPage(9);
    gfx::ARGB colour = 0;
    EXPECT_EQ(TextAt(167, 33, &colour), c.text) << c.engine << " " << c.egt;
    EXPECT_EQ(colour, c.colour);
  }
  struct Time {
    double timer, after;
    const char* text;
    gfx::ARGB colour;
  } times[] = {
      {0, 0, "", 0}, {-3, -3, "", 0}, {1, 300, "TIME REM 05:00", G}, {300, 300, "TIME REM 05:00", G},
      {300.5, 300.5, "TIME REM 05:00", Y}, {301, 301, "TIME REM 05:01", Y}, {3700, 3700, "TIME REM 01:40", Y},
  };
  for (const Time& c : times) {
    Update().EngineTempLimitTimer = c.timer;
    DrawPage(9);
    EXPECT_EQ(Update().EngineTempLimitTimer, c.after) << c.timer;
    gfx::ARGB colour = 0;
    EXPECT_EQ(TextAt(162, 43, &colour), c.text) << c.timer;  // both colours at y 43
    EXPECT_EQ(colour, c.colour);
  }
  Update().EngineTempLimitTimer = 5;  // page 10 only reads the header's timer
  DrawPage(10);
  EXPECT_EQ(Update().EngineTempLimitTimer, 5);
}

TEST_F(EnginePageTest, DetailDialsColoursClampsAndMarks) {
  struct Case {
    int dial;  // 0 N1, 1 N2, 2 EGT, in engine 3's column
    double value;
    gfx::ARGB colour;
  } cases[] = {
      {0, 14.9, Y}, {0, 15.0, G}, {0, 100.5, G}, {0, 100.6, R}, {1, 14.9, Y}, {1, 15.0, G}, {1, 100.5, G},
      {1, 100.6, R}, {2, 625, G}, {2, 625.1, Y}, {2, 655, Y}, {2, 655.1, R},
  };
  for (const Case& c : cases) {
    host.tokens[kN1[2]] = c.dial == 0 ? c.value : 50.0;
    host.tokens[kN2[2]] = c.dial == 1 ? c.value : 50.0;
    host.tokens[kEgt[2]] = RankineToken(c.dial == 2 ? c.value : 400.0);
    DrawPage(10);
    gfx::ARGB text = 0;
    EXPECT_FALSE(TextAt(153, 105 + 55 * c.dial, &text).empty());
    EXPECT_EQ(text, c.colour) << c.dial << " " << c.value;
    EXPECT_TRUE(NeedleIs(163, 95 + 55 * c.dial, c.colour)) << c.dial << " " << c.value;
  }
  // Beyond the scale A 180, below it 0; half of 760 or of 110 is A 90.
  host.tokens[kN1[0]] = 121.0;
  host.tokens[kN2[0]] = -5.0;
  host.tokens[kEgt[0]] = RankineToken(380.0);
  host.tokens[kN1[1]] = 55.0;
  DrawPage(10);
  EXPECT_TRUE(NeedleIs(32, 95, R, 180));
  EXPECT_TRUE(NeedleIs(32, 150, Y, 0));
  EXPECT_TRUE(NeedleIs(32, 205, G, 90));
  EXPECT_TRUE(NeedleIs(87, 95, G, 90));
  // Ticks from 25 to 30 units at 180 + rotation: N1 yellow 160 and red 299,
  // N2 yellow 224, EGT yellow 283 and red 290 (engine 4's column).
  for (auto [cy, at, colour] : {std::tuple{95, 160, Y}, {95, 299, R}, {150, 224, Y}, {150, 299, R}, {205, 283, Y},
                                {205, 290, R}}) {
    const double cx = std::cos(at * M_PI / 180), sy = std::sin(at * M_PI / 180);
    EXPECT_TRUE(HasLine(218 + 25 * cx, cy + 25 * sy, 218 + 30 * cx, cy + 30 * sy, colour, 2)) << cy << " " << at;
  }
}

TEST_F(EnginePageTest, DetailFuelFlowCutToTensAndEpr) {
  const double flows[] = {12345.7, 9.9, -15, 1e300}, x[] = {22, 77, 153, 208};
  const char* shown[] = {"12340", "   0", " -10", "999990"};
  for (int n = 0; n < 4; ++n) host.tokens[kFuelFlow[n]] = flows[n];
  host.tokens[652] = 600.0;  // engine 2's EPR source; engine 1's is 0
  DrawPage(10);
  for (int n = 0; n < 4; ++n) EXPECT_EQ(TextAt(x[n], 226), shown[n]) << n;
  EXPECT_EQ(TextAt(22, 55), "1.00");
  EXPECT_EQ(TextAt(77, 55), "1.64");  // 1 + 0.318 x 600 / 300 = 1.636
  EXPECT_DOUBLE_EQ(*DetailEpr(0, 300, 300), 1.32);
  EXPECT_DOUBLE_EQ(*DetailEpr(2, 600, 300), 1.63);
  EXPECT_DOUBLE_EQ(*DetailEpr(3, -150, 300), 0.8415);
  host.tokens[342] = 0.0;  // no reference, no ratio
  DrawPage(10);
  for (double tx : x) EXPECT_EQ(TextAt(tx, 55), "-.--") << tx;
  EXPECT_FALSE(DetailEpr(1, 1e300, 1e-300).has_value());
}

TEST_F(EnginePageTest, OilTextAndNeedleBandsClampsAndFuelUsed) {
  struct Case {
    int dial;  // 0 pressure, 1 temperature, 2 quantity, in engine 2's column
    double value;
    gfx::ARGB text, needle;
  } cases[] = {
      // No host value reads exactly 163, 177 or 177.5: those rows are the
      // closest readings below.
      {0, 70, G, G}, {0, 69.9, R, R}, {1, 38.99, Y, Y}, {1, 39.01, G, G}, {1, 163, G, G}, {1, 163.2, G, Y},
      {1, 163.5, G, Y}, {1, 163.6, Y, Y}, {1, 177, Y, Y}, {1, 177.2, Y, R}, {1, 177.5, Y, R}, {1, 177.6, R, R},
      {2, 3.99, Y, Y}, {2, 4, G, G},
  };
  for (const Case& c : cases) {
    host.tokens[kOilPressure[1]] = (c.dial == 0 ? c.value : 80.0) * 144.0;
    host.tokens[kOilTemp[1]] = RankineToken(c.dial == 1 ? c.value : 80.0);
    host.tokens[kOilQuantity[1]] = c.dial == 2 ? c.value : 20.0;
    DrawPage(11);
    gfx::ARGB text = 0;
    EXPECT_FALSE(TextAt(77, 75 + 55 * c.dial, &text).empty());
    EXPECT_EQ(text, c.text) << c.dial << " " << c.value;
    EXPECT_TRUE(NeedleIs(87, 65 + 55 * c.dial, c.needle)) << c.dial << " " << c.value;
  }
  host.tokens[kOilPressure[3]] = 300.0 * 144.0;  // 216 degrees: stops at 180
  host.tokens[kOilTemp[3]] = RankineToken(-40.0);
  host.tokens[kOilQuantity[3]] = 11.5;  // half of 23 quarts
  Update().Engine1FuelUsed = 1234.4;
  Update().Engine4FuelUsed = 1e300;
  DrawPage(11);
  EXPECT_TRUE(NeedleIs(218, 65, G, 180));
  EXPECT_TRUE(NeedleIs(218, 120, Y, 0));
  EXPECT_TRUE(NeedleIs(218, 175, G, 90));
  gfx::ARGB colour = 0;
  EXPECT_EQ(TextAt(17, 216, &colour), " 1234");
  EXPECT_EQ(colour, C);
  EXPECT_EQ(TextAt(72, 216), "    0");
  EXPECT_EQ(TextAt(203, 216), "999999");
}

TEST_F(EnginePageTest, EachPageScalesWithItsSurface) {
  for (auto [page, x, y, text] : {std::tuple{9, 112.f, 191.f, "EPR"}, {10, 113.f, 50.f, "EPR"},
                                  {11, 97.f, 20.f, "ENGINE OIL"}, {12, 92.f, 153.f, "FLAPS UP"}}) {
    for (int factor : {1, 2}) {
      DrawPage(page, 246 * factor, 241 * factor);
      gfx::Recorder::TextItem item;
      ASSERT_TRUE(rec_.FindText(text, &item)) << page;
      EXPECT_TRUE(Near({item.x, item.y}, {x * factor, y * factor})) << page << " " << factor;
    }
  }
}

}  // namespace
}  // namespace ovi::c17::test
