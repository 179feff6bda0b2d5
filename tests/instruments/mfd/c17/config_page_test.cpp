// The C-17 configuration page (12) on a recording surface: the flaps text,
// each surface's dead band, sense and bar, the spoiler thresholds and
// texts, slats, gear lights and the trim pointers. Places are canvas units
// from the page origin (122, 121).
#include <string>

#include "tests/instruments/mfd/c17/c17_test_support.h"

namespace ovi::c17::test {
namespace {

constexpr gfx::ARGB kGreen = 0xFF00FA00, kWhite = 0xFFDEE6E9, kRed = 0xFFFF0000;

struct Box {
  int x, y, w, h;
};

class ConfigPageTest : public C17PageTest {
 public:
  // The device point of a point relative to the page origin.
  static gfx::PointF P(double x, double y) { return At(122 + x, 121 + y); }

  int Count(gfx::OpKind kind, gfx::ARGB colour, int filled) const { return rec_.Count(kind, colour, filled); }
  int Bars() const { return Count(gfx::OpKind::Rectangle, kGreen, 1); }
  int ThickWhiteLines() const {
    int n = 0;
    for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line)) n += l->color == kWhite && l->pen_width == 2.0f;
    return n;
  }
  bool HasRect(const Box& b, gfx::ARGB colour, bool filled = true) const {
    for (const gfx::RecordedOp* r : rec_.Find(gfx::OpKind::Rectangle)) {
      if (r->color == colour && r->filled == filled && Near(r->points[0], P(b.x, b.y)) &&
          Near(r->points[2], P(b.x + b.w, b.y + b.h)))
        return true;
    }
    return false;
  }
  bool HasLine(int x1, int y1, int x2, int y2, gfx::ARGB colour, float width) const {
    for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line)) {
      if (l->color == colour && l->pen_width == width && Near(l->points[0], P(x1, y1)) && Near(l->points[1], P(x2, y2)))
        return true;
    }
    return false;
  }
  std::string TextAt(double x, double y) const {
    for (const gfx::Recorder::TextItem& t : rec_.Texts())
      if (Near({t.x, t.y}, P(x, y))) return t.text;
    return {};
  }
};

TEST_F(ConfigPageTest, FlapsTextAtEachLimit) {
  struct Case {
    double handle;
    const char* text;
  } cases[] = {{0, "FLAPS UP"},     {4680, "FLAPS UP"},    {4681, "FLAPS 1/2"},   {9361, "FLAPS 1/2"},
               {9362, "FLAPS 3/4"}, {14042, "FLAPS 3/4"}, {14043, "FLAPS FULL"}, {16383, "FLAPS FULL"},
               {-50, "FLAPS UP"}};
  for (const Case& c : cases) {
    host.tokens[328] = c.handle;
    DrawPage(12);
    EXPECT_EQ(TextAt(-30, 32), c.text) << c.handle;
  }
  // The gear line reads DOWN whatever the gear does.
  EXPECT_EQ(TextAt(-26, 62), "GEAR DOWN");
  EXPECT_EQ(TextAt(-20, 42), "INDEX 100");
}

TEST_F(ConfigPageTest, ElevatorDeadBandSenseAndBars) {
  struct Case {
    double radians;
    int lines;
    Box bar;  // one of the four, h 0: none
    int hinge_far;
  } cases[] = {
      {0.004, 0, {}, 0},  {0.005, 0, {}, 0},  {-0.005, 0, {}, 0},
      {0.0051, 12, {}, -90},                           // outside the band, a bar of no height
      {0.1, 12, {-32, -82, 9, 3}, -90},                // trunc(2.80 + 0.4) = 3 up from -79
      {-0.1, 12, {22, -78, 9, 3}, -66},                // 3 down from -78
  };
  for (const Case& c : cases) {
    host.tokens[782] = c.radians;
    DrawPage(12);
    EXPECT_EQ(ThickWhiteLines(), c.lines) << c.radians;
    EXPECT_EQ(Bars(), c.bar.h > 0 ? 4 : 0) << c.radians;
    if (c.bar.h > 0) {
      EXPECT_TRUE(HasRect(c.bar, kGreen)) << c.radians;
    }
    if (c.lines > 0) {
      EXPECT_TRUE(HasLine(-10, -78, -10, c.hinge_far, kWhite, 2)) << c.radians;
      EXPECT_TRUE(HasLine(10, -78, 10, c.hinge_far, kWhite, 2)) << c.radians;  // the mirror
    }
  }
}

TEST_F(ConfigPageTest, SpoilerThresholdsAndTexts) {
  struct Case {
    double left, right, on_ground, handle;
    int left_bars, right_bars, lines;
    const char *left_text, *right_text;
  } cases[] = {
      {8000, 0, 0, 0, 4, 0, 4, "", ""},
      {500, 8000, 0, 0, 0, 4, 4, "", ""},
      {8000, 8000, 0, 0, 4, 4, 8, "SPD BR", "SPD BR"},
      {8000, 8000, 0, 9361, 4, 4, 8, "SPD BR", "SPD BR"},
      {8000, 8000, 0, 9362, 4, 4, 8, "DLC", "DLC"},
      {8000, 8000, 1, 16383, 4, 4, 8, "GND", "GND"},
      {16383, 1, 0, 0, 4, 0, 8, "", "SPD BR"},  // a right side of no height still has its marks
      {801, 801, 0, 0, 0, 0, 8, "SPD BR", "SPD BR"},
      {800, 800, 0, 0, 0, 0, 4, "", ""},
      {0, 0, 0, 0, 0, 0, 0, "", ""},
  };
  for (const Case& c : cases) {
    host.tokens[326] = c.left;
    host.tokens[327] = c.right;
    host.tokens[60] = c.on_ground;
    host.tokens[328] = c.handle;
    DrawPage(12);
    int left = 0, right = 0;
    for (const gfx::RecordedOp* r : rec_.Find(gfx::OpKind::Rectangle)) {
      if (!r->filled || r->color != kGreen) continue;
      (r->points[0].X < P(0, 0).X ? left : right)++;
    }
    EXPECT_EQ(left, c.left_bars) << c.left << "/" << c.right;
    EXPECT_EQ(right, c.right_bars) << c.left << "/" << c.right;
    EXPECT_EQ(ThickWhiteLines(), c.lines) << c.left << "/" << c.right;
    EXPECT_EQ(TextAt(-45, -35), c.left_text) << c.left << "/" << c.right;
    EXPECT_EQ(TextAt(20, -35), c.right_text) << c.left << "/" << c.right;
  }
  // Full spoilers: trunc(16383 x 0.000549 + 0.4) = 9 up from y -3.
  host.tokens[326] = host.tokens[327] = 16383;
  DrawPage(12);
  EXPECT_TRUE(HasRect({-54, -12, 9, 9}, kGreen));
  EXPECT_TRUE(HasRect({45, -12, 9, 9}, kGreen));
}

TEST_F(ConfigPageTest, AileronsFlapsAndRudderBySense) {
  struct Case {
    std::uint32_t token;
    double value;
    int bars, lines;
    Box first, second;  // bars expected (h 0: none)
  } cases[] = {
      // Ailerons: 0.1 either side is the dead band; 0.2 gives trunc(7.13 + 0.4) = 7.
      {784, 0.1, 0, 0, {}, {}},
      {784, -0.1, 0, 0, {}, {}},
      {784, 0.2, 2, 12, {-85, 0, 25, 7}, {60, -7, 25, 7}},
      {784, -0.2, 2, 12, {-85, -7, 25, 7}, {60, 0, 25, 7}},
      // Left flap: marks once out, bars only beyond 10 %, 0.16 a percent.
      {907, 0, 0, 0, {}, {}},
      {907, 5, 0, 4, {}, {}},
      {907, 10, 0, 4, {}, {}},
      {907, 10.1, 2, 4, {-52, 0, 13, 1}, {-37, 0, 13, 1}},
      {908, 100, 2, 4, {24, 0, 13, 16}, {39, 0, 13, 16}},
      // Rudder: 0.03 either side is the dead band; w = trunc(v x 10.48).
      {786, 0.03, 0, 0, {}, {}},
      {786, -0.03, 0, 0, {}, {}},
      {786, 0.031, 0, 4, {}, {}},
      {786, 0.5, 2, 4, {0, -60, 5, 18}, {0, -39, 5, 18}},
      {786, -0.5, 2, 4, {-5, -60, 5, 18}, {-5, -39, 5, 18}},
  };
  for (const Case& c : cases) {
    host.tokens.erase(784);
    host.tokens.erase(907);
    host.tokens.erase(908);
    host.tokens.erase(786);
    host.tokens[c.token] = c.value;
    DrawPage(12);
    EXPECT_EQ(Bars(), c.bars) << c.token << " " << c.value;
    EXPECT_EQ(ThickWhiteLines(), c.lines) << c.token << " " << c.value;
    if (c.first.h > 0) {
      EXPECT_TRUE(HasRect(c.first, kGreen)) << c.token << " " << c.value;
    }
    if (c.second.h > 0) {
      EXPECT_TRUE(HasRect(c.second, kGreen)) << c.token << " " << c.value;
    }
  }
  // The hinge marks follow each aileron's sense; the rudder's its side.
  host.tokens.erase(786);
  host.tokens[784] = 0.2;
  DrawPage(12);
  EXPECT_TRUE(HasLine(-60, 0, -60, 14, kWhite, 2));
  EXPECT_TRUE(HasLine(60, 0, 60, -14, kWhite, 2));
  EXPECT_TRUE(HasLine(88, -7, 84, -7, kWhite, 2));
  host.tokens[784] = 0;
  host.tokens[786] = -0.5;
  DrawPage(12);
  EXPECT_TRUE(HasLine(0, -20, -10, -20, kWhite, 2));
  EXPECT_TRUE(HasLine(-10, -62, -10, -58, kWhite, 2));
}

TEST_F(ConfigPageTest, SlatsAndGearLights) {
  host.aircraft_vars[98] = 50;   // trunc(50 x 0.06) = 3 of 6
  host.aircraft_vars[99] = 100;  // full
  DrawPage(12);
  for (int x : {-28, -41, -54, -67}) {
    EXPECT_TRUE(HasRect({x, 54, 9, 6}, kGreen, false)) << x;
    EXPECT_TRUE(HasRect({x, 54, 9, 3}, kGreen)) << x;
  }
  for (int x : {21, 34, 47, 60}) EXPECT_TRUE(HasRect({x, 54, 9, 6}, kGreen)) << x;
  host.aircraft_vars[98] = 0;
  host.aircraft_vars[99] = -5;
  DrawPage(12);
  EXPECT_EQ(Count(gfx::OpKind::Rectangle, kGreen, 0), 0);

  struct Case {
    double position;
    gfx::ARGB colour;  // 0: no light
  } cases[] = {{0, 0}, {-5, 0}, {1, kRed}, {16300, kRed}, {16301, kGreen}, {16383, kGreen}};
  for (const Case& c : cases) {
    host.tokens[332] = c.position;
    host.tokens[333] = c.position;
    host.tokens[334] = 0;
    DrawPage(12);
    const int lit = c.colour == 0 ? 0 : 3;  // the nose and both left lights
    EXPECT_EQ(Count(gfx::OpKind::Rectangle, kGreen, 1) + Count(gfx::OpKind::Rectangle, kRed, 1), lit) << c.position;
    if (c.colour != 0) {
      EXPECT_TRUE(HasRect({-4, 72, 8, 10}, c.colour)) << c.position;
      EXPECT_TRUE(HasRect({-12, 88, 8, 12}, c.colour)) << c.position;
      EXPECT_TRUE(HasRect({-12, 106, 8, 12}, c.colour)) << c.position;
    }
    EXPECT_EQ(TextAt(-26, 62), "GEAR DOWN");
  }
}

TEST_F(ConfigPageTest, TrimPointersBothWays) {
  struct Case {
    std::uint32_t token;
    double radians;
    int x1, y1, x2, y2;  // the pointer's first green line
  } cases[] = {
      {787, 0.1, 11, -106, 7, -111},     // rudder: trunc(0.1 x 114.61)
      {787, -0.1, -11, -106, -15, -111},
      {783, 0.1, 55, -76, 60, -80},      // stabiliser nose up: trunc(-65 - 11.46)
      {783, -0.1, 55, -61, 60, -65},     // nose down, a third of the rate: trunc(-65 + 3.82)
      {783, 0, 55, -65, 60, -69},
      {785, 0.1, 112, -11, 117, -15},    // aileron: up for right wing down
      {785, -0.1, 112, 11, 117, 7},
  };
  for (const Case& c : cases) {
    host.tokens[787] = host.tokens[783] = host.tokens[785] = 0;
    host.tokens[c.token] = c.radians;
    DrawPage(12);
    EXPECT_TRUE(HasLine(c.x1, c.y1, c.x2, c.y2, kGreen, 2)) << c.token << " " << c.radians;
  }
  // Values far off the scales stay numbers on the drawing layer.
  host.tokens[787] = host.tokens[783] = host.tokens[785] = host.tokens[786] = host.tokens[784] = 1e300;
  host.tokens[782] = -1e300;
  DrawPage(12);
  EXPECT_EQ(TextAt(-30, 32), "FLAPS UP");
}

TEST_F(ConfigPageTest, ScalesWithItsSurface) {
  for (int factor : {1, 2}) {
    DrawPage(12, 246 * factor, 241 * factor);
    gfx::Recorder::TextItem item;
    ASSERT_TRUE(rec_.FindText("FLAPS UP", &item));
    EXPECT_FLOAT_EQ(item.x, 92.0f * factor);
    EXPECT_FLOAT_EQ(item.y, 153.0f * factor);
  }
}

}  // namespace
}  // namespace ovi::c17::test
