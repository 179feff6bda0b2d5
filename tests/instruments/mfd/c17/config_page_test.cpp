// The C-17 configuration page (12) on a recording surface: the flaps text,
// each surface's dead band, sense and bar, the spoiler thresholds and
// texts, slats, gear lights and trim pointers. Places are canvas units from
// the page origin (122, 121).
#include "tests/instruments/mfd/c17/c17_test_support.h"

namespace ovi::c17::test {
namespace {

constexpr gfx::ARGB G = 0xFF00FA00, W = 0xFFDEE6E9, R = 0xFFFF0000;

class ConfigPageTest : public C17PageTest {
 public:
  void SetUp() override {
    C17PageTest::SetUp();
    ox = 122;
    oy = 121;
  }
  int Bars() const { return rec_.Count(gfx::OpKind::Rectangle, G, 1); }
  int HingeLines() const {
    int n = 0;
    for (const gfx::RecordedOp* l : rec_.Find(gfx::OpKind::Line)) n += l->color == W && l->pen_width == 2.0f;
    return n;
  }
};

TEST_F(ConfigPageTest, FlapsTextAtEachLimitAndTheFixedLines) {
  for (auto [handle, text] : {std::pair{0.0, "FLAPS UP"}, {4680.0, "FLAPS UP"}, {4681.0, "FLAPS 1/2"},
                              {9361.0, "FLAPS 1/2"}, {9362.0, "FLAPS 3/4"}, {14042.0, "FLAPS 3/4"},
                              {14043.0, "FLAPS FULL"}, {-50.0, "FLAPS UP"}}) {
    host.tokens[328] = handle;
    DrawPage(12);
    EXPECT_EQ(TextAt(-30, 32), text) << handle;
  }
  EXPECT_EQ(TextAt(-20, 42), "INDEX 100");
}

// The gear line in the lights' own terms: DOWN only with all three legs
// above 16300 (all green), UP only with none above 0 (none lit), TRANSIT
// with any light red or the legs at odds.
TEST_F(ConfigPageTest, GearTextSaysWhatTheLightsShow) {
  struct Case {
    double nose, left, right;
    const char* text;
  } cases[] = {
      {16383, 16383, 16383, "GEAR DOWN"},   {16301, 16301, 16301, "GEAR DOWN"},
      {0, 0, 0, "GEAR UP"},                 {-5, 0, -1, "GEAR UP"},
      {16300, 16383, 16383, "GEAR TRANSIT"},  // the nose light exactly at its limit is red
      {16383, 16383, 16300, "GEAR TRANSIT"}, {8000, 10000, 10000, "GEAR TRANSIT"},
      {1, 0, 0, "GEAR TRANSIT"},            {0, 0, 1, "GEAR TRANSIT"},
      {0, 16383, 16383, "GEAR TRANSIT"},    {16383, 0, 16383, "GEAR TRANSIT"},
  };
  for (const Case& c : cases) {
    host.tokens = {{332, c.nose}, {333, c.left}, {334, c.right}};
    DrawPage(12);
    gfx::ARGB colour = 0;
    EXPECT_EQ(TextAt(-26, 62, &colour), c.text) << c.nose << " " << c.left << " " << c.right;
    EXPECT_EQ(colour, W);
  }
}

TEST_F(ConfigPageTest, SurfacesDeadBandsSensesAndBars) {
  struct Box {
    int x, y, w, h;
  };
  struct Case {
    std::uint32_t token;
    double value;
    int bars, lines;
    Box a, b;  // two of the bars (h 0: none)
  } cases[] = {
      // Elevators: +-0.005 is the dead band; trunc(v x 28.01 +- 0.4), up from
      // y -79 or down from -78.
      {782, 0.005, 0, 0, {}, {}}, {782, -0.005, 0, 0, {}, {}}, {782, 0.0051, 0, 12, {}, {}},
      {782, 0.1, 4, 12, {-32, -82, 9, 3}, {22, -82, 9, 3}}, {782, -0.1, 4, 12, {-20, -78, 9, 3}, {10, -78, 9, 3}},
      // Ailerons: +-0.1; trunc(0.2 x 35.65 + 0.4) = 7, the two in opposite senses.
      {784, 0.1, 0, 0, {}, {}}, {784, -0.1, 0, 0, {}, {}}, {784, 0.2, 2, 12, {-85, 0, 25, 7}, {60, -7, 25, 7}},
      {784, -0.2, 2, 12, {-85, -7, 25, 7}, {60, 0, 25, 7}},
      // Flaps: marks once out, bars beyond 10 %, 0.16 a percent.
      {907, 0, 0, 0, {}, {}}, {907, 10, 0, 4, {}, {}}, {907, 10.1, 2, 4, {-52, 0, 13, 1}, {-37, 0, 13, 1}},
      {908, 100, 2, 4, {24, 0, 13, 16}, {39, 0, 13, 16}},
      // Rudder: +-0.03; w = trunc(v x 10.48), right or left of the fin.
      {786, 0.03, 0, 0, {}, {}}, {786, -0.03, 0, 0, {}, {}}, {786, 0.031, 0, 4, {}, {}},
      {786, 0.5, 2, 4, {0, -60, 5, 18}, {0, -39, 5, 18}}, {786, -0.5, 2, 4, {-5, -60, 5, 18}, {-5, -39, 5, 18}},
  };
  for (const Case& c : cases) {
    host.tokens = {{c.token, c.value}};
    DrawPage(12);
    EXPECT_EQ(Bars(), c.bars) << c.token << " " << c.value;
    EXPECT_EQ(HingeLines(), c.lines) << c.token << " " << c.value;
    for (const Box& b : {c.a, c.b}) EXPECT_TRUE(b.h == 0 || HasRect(b.x, b.y, b.w, b.h, G)) << c.token << " " << c.value;
  }
  // The hinge marks follow each surface's sense.
  host.tokens = {{782, -0.1}, {784, 0.2}, {786, -0.5}};
  DrawPage(12);
  EXPECT_TRUE(HasLine(-10, -78, -10, -66, W, 2) && HasLine(10, -78, 10, -66, W, 2));
  EXPECT_TRUE(HasLine(-60, 0, -60, 14, W, 2) && HasLine(60, 0, 60, -14, W, 2) && HasLine(88, -7, 84, -7, W, 2));
  EXPECT_TRUE(HasLine(0, -20, -10, -20, W, 2) && HasLine(-10, -62, -10, -58, W, 2));
}

TEST_F(ConfigPageTest, SpoilerThresholdsAndTexts) {
  struct Case {
    double left, right, on_ground, handle;
    int left_bars, right_bars, lines;
    const char *left_text, *right_text;
  } cases[] = {
      {8000, 0, 0, 0, 4, 0, 4, "", ""},       {500, 8000, 0, 0, 0, 4, 4, "", ""},
      {8000, 8000, 0, 9361, 4, 4, 8, "SPD BR", "SPD BR"}, {8000, 8000, 0, 9362, 4, 4, 8, "DLC", "DLC"},
      {8000, 8000, 1, 16383, 4, 4, 8, "GND", "GND"},
      {16383, 1, 0, 0, 4, 0, 8, "", "SPD BR"},  // a right side of no height still has its marks
      {801, 801, 0, 0, 0, 0, 8, "SPD BR", "SPD BR"}, {800, 800, 0, 0, 0, 0, 4, "", ""},
  };
  for (const Case& c : cases) {
    host.tokens = {{326, c.left}, {327, c.right}, {60, c.on_ground}, {328, c.handle}};
    DrawPage(12);
    int left = 0, right = 0;
    for (const gfx::RecordedOp* r : rec_.Find(gfx::OpKind::Rectangle))
      if (r->filled && r->color == G) ++(r->points[0].X < At(0, 0).X ? left : right);
    EXPECT_EQ(left, c.left_bars) << c.left << "/" << c.right;
    EXPECT_EQ(right, c.right_bars) << c.left << "/" << c.right;
    EXPECT_EQ(HingeLines(), c.lines) << c.left << "/" << c.right;
    EXPECT_EQ(TextAt(-45, -35), c.left_text) << c.left << "/" << c.right;
    EXPECT_EQ(TextAt(20, -35), c.right_text) << c.left << "/" << c.right;
  }
  host.tokens = {{326, 16383}, {327, 16383}};  // trunc(16383 x 0.000549 + 0.4) = 9 up from -3
  DrawPage(12);
  EXPECT_TRUE(HasRect(-54, -12, 9, 9, G) && HasRect(45, -12, 9, 9, G));
}

TEST_F(ConfigPageTest, SlatsGearLightsAndTrimPointers) {
  host.aircraft_vars = {{98, 50}, {99, 100}};  // trunc(50 x 0.06) = 3 of 6, and full
  DrawPage(12);
  for (int x : {-28, -41, -54, -67}) EXPECT_TRUE(HasRect(x, 54, 9, 6, G, false) && HasRect(x, 54, 9, 3, G)) << x;
  for (int x : {21, 34, 47, 60}) EXPECT_TRUE(HasRect(x, 54, 9, 6, G)) << x;
  host.aircraft_vars = {{98, 0}, {99, -5}};
  for (auto [position, colour] : {std::pair{0.0, 0u}, {-5.0, 0u}, {1.0, R}, {16300.0, R}, {16301.0, G}}) {
    host.tokens = {{332, position}, {333, position}};
    DrawPage(12);
    // Beside the background, the lights alone: no slat box either.
    EXPECT_EQ(rec_.Count(gfx::OpKind::Rectangle), colour == 0 ? 1 : 4) << position;
    EXPECT_TRUE(colour == 0 || (HasRect(-4, 72, 8, 10, colour) && HasRect(-12, 88, 8, 12, colour) &&
                                HasRect(-12, 106, 8, 12, colour)))
        << position;
  }
  // Pointers: rudder trunc(v x 114.61) across, stabiliser nose up
  // trunc(-65 - v x 114.59) and nose down at a third of the rate, aileron
  // trunc(-(v x 114.61)) up for right wing down.
  for (auto [token, v, x1, y1, x2, y2] :
       {std::tuple{787u, 0.1, 11, -106, 7, -111}, {787u, -0.1, -11, -106, -15, -111}, {783u, 0.1, 55, -76, 60, -80},
        {783u, -0.1, 55, -61, 60, -65}, {783u, 0.0, 55, -65, 60, -69}, {785u, 0.1, 112, -11, 117, -15},
        {785u, -0.1, 112, 11, 117, 7}}) {
    host.tokens = {{token, v}};
    DrawPage(12);
    EXPECT_TRUE(HasLine(x1, y1, x2, y2, G, 2)) << token << " " << v;
  }
  // Values far off every scale stay numbers on the drawing layer.
  host.tokens = {{787, 1e300}, {783, -1e300}, {785, 1e300}, {786, 1e300}, {784, -1e300}, {782, 1e300}};
  DrawPage(12);
  EXPECT_EQ(TextAt(-30, 32), "FLAPS UP");
}

}  // namespace
}  // namespace ovi::c17::test
