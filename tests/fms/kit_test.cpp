// The CDU frame and its kit: the frame's order and key lifetime, the PLAN
// centre release, sub-page stepping, bounded text, right alignment, the
// scaled screen, highlight and entry boxes, the scratchpad line.
#include <string>
#include <vector>

#include "platform/gfx/device_context.h"
#include "platform/gfx/graphics.h"
#include "src/flightplan/state.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/instruments/fms/cdu.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/model/state.h"
#include "tests/fms/cdu_support.h"

namespace ovi::fms::test {
namespace {

using gfx::OpKind;

TEST_F(CduTest, WithoutDeviceContextNothingRunsAndKeysWait) {
  fms_state.FmsPage = kPageIdent;
  PressLineKey(kL6);
  fms_state.FmsNextPageKey = 1;
  DrawFmsCdu(fms_state.FmsDisplay, nullptr, 282, 245);
  EXPECT_EQ(fms_state.FmsPage, kPageIdent);
  EXPECT_EQ(fms_state.FmsLineSelectKey, kL6);
  EXPECT_EQ(fms_state.FmsNextPageKey, 1);

  Frame f = DrawFrame();  // the next drawn frame takes the key
  EXPECT_TRUE(f.Find("IDENT"));
  EXPECT_EQ(fms_state.FmsPage, kPageInitRefIndex);
  EXPECT_EQ(fms_state.FmsLineSelectKey, 0);
}

// Unlike the map displays, the CDU has no power switch of its own: it draws
// and takes its keys whatever the display power holds.
TEST_F(CduTest, TheCduDrawsWithTheDisplaysPoweredOff) {
  guidance::guidance_state.DisplayPower = 0;
  fms_state.FmsPage = kPageIdent;
  PressLineKey(kL6);
  Frame f = DrawFrame();
  f.ExpectText("IDENT", 63, 0);
  EXPECT_EQ(fms_state.FmsPage, kPageInitRefIndex);
}

TEST_F(CduTest, FrameClearsToTransparentAndNumbersWithoutPageDrawNothing) {
  for (int page : {0, 2, 4, 5, 7, 8, 13, 21, 30, 32, 40, -1, 1000}) {
    SCOPED_TRACE(page);
    fms_state.FmsPage = page;
    PressLineKey(kR6);
    fms_state.FmsPrevPageKey = 1;
    Frame f = DrawFrame();
    ASSERT_GE(f.rec.Size(), 1u);
    EXPECT_EQ(f.rec.Ops()[0].kind, OpKind::Clear);
    EXPECT_EQ(f.rec.Ops()[0].color, 0x00000000u);
    EXPECT_EQ(f.rec.Size(), 1u);
    EXPECT_EQ(fms_state.FmsLineSelectKey, 0);
    EXPECT_EQ(fms_state.FmsPrevPageKey, 0);
    EXPECT_EQ(fms_state.FmsPage, page);
  }
}

TEST_F(CduTest, KeyFlagsDropOnlyTheirSetValues) {
  struct Case {
    std::int32_t line, flag, line_after, flag_after;
  };
  for (Case c : {Case{12, 1, 0, 0}, Case{1, 1, 0, 0}, Case{0, 0, 0, 0}, Case{-3, 2, -3, 2}, Case{5, -1, 0, -1}}) {
    SCOPED_TRACE(c.line);
    State& s = fms_state;
    s.FmsLineSelectKey = c.line;
    s.FmsPrevPageKey = s.FmsNextPageKey = s.FmsRteKey = s.FmsLegsKey = s.FmsHoldKey = c.flag;
    ClearFmsKeyFlags();
    EXPECT_EQ(s.FmsLineSelectKey, c.line_after);
    for (std::int32_t f : {s.FmsPrevPageKey, s.FmsNextPageKey, s.FmsRteKey, s.FmsLegsKey, s.FmsHoldKey})
      EXPECT_EQ(f, c.flag_after);
  }
}

TEST_F(CduTest, PlanCentreIsReleasedOnceNoDisplayShowsPlan) {
  struct Case {
    const char* what;
    void (*set)(model::State&);
    bool keeps;
  };
  const Case cases[] = {
      {"none in PLAN", [](model::State&) {}, false},
      {"B737 mode 7", [](model::State& m) { m.HWB737NDMode = 7; }, true},
      {"B737 mode 6", [](model::State& m) { m.HWB737NDMode = 6; }, false},
      {"DU-1000 mode 2", [](model::State& m) { m.DU1000EHSIMode = 2; }, true},
      {"MD-11 mode 2", [](model::State& m) { m.HWMD11NDMode = 2; }, true},
      {"MD-80 mode 2", [](model::State& m) { m.MD80EHSIMode = 2; }, true},
      {"C-17 page 6", [](model::State& m) { m.C17MfdPage = 6; }, true},
      {"C-17 page 5", [](model::State& m) { m.C17MfdPage = 5; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetModuleState();
    model::State& m = model::model_state;
    m.HWB737NDMode = 5;
    m.DU1000EHSIMode = 3;
    m.HWMD11NDMode = 3;
    m.MD80EHSIMode = 3;
    m.C17MfdPage = 1;
    c.set(m);
    flightplan::flightplan_state.PlanStepIndex = 4;
    DrawFrame();
    EXPECT_EQ(flightplan::flightplan_state.PlanStepIndex, c.keeps ? 4 : 0);
  }
}

TEST_F(CduTest, SubPagesWrapAndPrevWinsOverNext) {
  struct Case {
    std::int32_t index, count, prev, next;
    PrevPageStep step;
    std::int32_t after;
  };
  const Case cases[] = {
      {1, 3, 1, 0, PrevPageStep::kBack, 3},     // PREV on the first shows the last
      {3, 3, 0, 1, PrevPageStep::kBack, 1},     // NEXT on the last shows the first
      {2, 3, 1, 1, PrevPageStep::kBack, 1},     // only PREV acts
      {2, 3, 0, 0, PrevPageStep::kBack, 2},
      {1, 2, 1, 0, PrevPageStep::kForward, 2},  // the selection list: PREV steps forward
      {2, 2, 1, 0, PrevPageStep::kForward, 1},
      {1, 2, 0, 1, PrevPageStep::kForward, 2},
      {1, 0, 0, 1, PrevPageStep::kBack, 1},     // no count: one sub-page
      {5, 2, 0, 1, PrevPageStep::kBack, 1},     // an index beyond a shrunk count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.index << " of " << c.count);
    fms_state.FmsPrevPageKey = c.prev;
    fms_state.FmsNextPageKey = c.next;
    std::int32_t index = c.index;
    StepSubPage(index, c.count, c.step);
    EXPECT_EQ(index, c.after);
  }
}

TEST_F(CduTest, ScreenTextIsBoundedAndKeepsTheDegreeSign) {
  EXPECT_EQ(ScreenText("%03.0f\xB0/%3.0f", 5.0, 12.0), "005\xB0/ 12");
  EXPECT_EQ(ScreenText("%2d K", 5), " 5 K");
  std::string long_text(300, 'X');
  EXPECT_EQ(ScreenText("%s", long_text.c_str()), std::string(99, 'X'));

  gfx::DeviceContext dc(282, 245);
  gfx::Recorder rec;
  dc.recorder = &rec;
  gfx::Graphics g(&dc);
  display::GaugeDisplay display{134, 97, 282, 245};
  CduPage page(display, g);
  page.Large(0, 33, ScreenText("%03.0f\xB0", 90.0));
  page.Large(0, 66, long_text);
  EXPECT_TRUE(rec.FindText("090\xC2\xB0"));
  EXPECT_TRUE(rec.FindText(std::string(99, 'X')));
}

TEST_F(CduTest, RightAlignmentCountsCharacters) {
  EXPECT_FLOAT_EQ(RightAlignedX(FontSize::kLarge, 10), 182.0f);  // "POS  INIT>"
  EXPECT_FLOAT_EQ(RightAlignedX(FontSize::kSmall, 11), 211.5f);  // "A C T I V E"
  EXPECT_FLOAT_EQ(RightAlignedX(FontSize::kLarge, 0), 272.0f);
}

// The kit's drawing on a surface of the given size, recorded.
struct KitDrawing {
  KitDrawing(int w, int h) : dc(w, h), display{134, 97, w, h} { dc.recorder = &rec; }
  gfx::DeviceContext dc;
  gfx::Recorder rec;
  display::GaugeDisplay display;
};

TEST_F(CduTest, HighlightBoxIsFourteenPerCharacterAndTwentyHigh) {
  for (auto [w, h] : {std::pair{282, 245}, std::pair{564, 490}}) {
    KitDrawing d(w, h);
    gfx::Graphics g(&d.dc);
    CduPage page(d.display, g);
    page.HighlightedText(18, 0, "MOD", 20, 0, 3);
    auto polygons = d.rec.Find(OpKind::Polygon);
    ASSERT_EQ(polygons.size(), 1u);
    const gfx::RecordedOp& box = *polygons[0];
    EXPECT_TRUE(box.filled);
    EXPECT_EQ(box.color, kGreen);
    const float s = static_cast<float>(w) / 282.0f;
    const float corners[][2] = {{20, 0}, {62, 0}, {62, 20}, {20, 20}};
    ASSERT_GE(box.points.size(), 4u);
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(box.points[i].X, corners[i][0] * s, 0.01);
      EXPECT_NEAR(box.points[i].Y, corners[i][1] * s, 0.01);
    }
    gfx::Recorder::TextItem t;
    ASSERT_TRUE(d.rec.FindText("MOD", &t));
    EXPECT_EQ(t.color, kBlack);
    EXPECT_NEAR(t.x, 18 * s, 0.01);
  }
}

// The route state in the titles of RTE (and PERF INIT), RTE LEGS and RTE
// HOLD: where "ACT" stands, where "MOD" and its box stand, how wide the box
// is, and whether a state above 4 still reads "MOD".
TEST_F(CduTest, ActModTitleFollowsEachPagesForm) {
  struct Case {
    const char* page;
    ActModForm form;
    int state;
    const char* word;  // null: no word
    float word_x;
    float box_right;  // 0: no box
  };
  const ActModForm rte = {8, 8, 10, 3, false};
  const ActModForm legs = {10, 8, 10, 3, true};
  const ActModForm hold = {8, 8, 10, 3, true};
  const Case cases[] = {
      {"RTE", rte, 2, nullptr, 0, 0},     {"RTE", rte, 3, "ACT", 8, 0},
      {"RTE", rte, 4, "MOD", 8, 52},      {"RTE", rte, 5, nullptr, 0, 0},
      {"LEGS", legs, 0, nullptr, 0, 0},   {"LEGS", legs, 3, "ACT", 10, 0},
      {"LEGS", legs, 4, "MOD", 8, 52},    {"LEGS", legs, 5, "MOD", 8, 52},
      {"HOLD", hold, 3, "ACT", 8, 0},     {"HOLD", hold, 4, "MOD", 8, 52},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.page) + " state " + std::to_string(c.state));
    flightplan::flightplan_state.RouteState = c.state;
    KitDrawing d(564, 490);
    gfx::Graphics g(&d.dc);
    CduPage page(d.display, g);
    page.ActModTitle(c.form);
    const auto texts = d.rec.Texts();
    const auto boxes = d.rec.Find(OpKind::Polygon);
    if (c.word == nullptr) {
      EXPECT_TRUE(texts.empty());
      EXPECT_TRUE(boxes.empty());
      continue;
    }
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, c.word);
    EXPECT_NEAR(texts[0].x, c.word_x * 2, 0.01);
    EXPECT_NEAR(texts[0].y, 0, 0.01);
    EXPECT_EQ(texts[0].color, c.box_right > 0 ? kBlack : kGreen);
    ASSERT_EQ(boxes.size(), c.box_right > 0 ? 1u : 0u);
    if (c.box_right > 0) {
      EXPECT_NEAR(boxes[0]->points[0].X, 20, 0.01);  // x 10, doubled
      EXPECT_NEAR(boxes[0]->points[1].X, c.box_right * 2, 0.01);
      EXPECT_NEAR(boxes[0]->points[2].Y, 40, 0.01);
    }
  }
}

TEST_F(CduTest, EntryBoxesAreOutlinesTenApart) {
  KitDrawing d(282, 245);
  gfx::Graphics g(&d.dc);
  CduPage page(d.display, g);
  page.EntryBoxes(220, 38, 5);
  auto boxes = d.rec.Find(OpKind::Rectangle);
  ASSERT_EQ(boxes.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_FALSE(boxes[i]->filled);
    EXPECT_EQ(boxes[i]->color, kGreen);
    EXPECT_NEAR(boxes[i]->points[0].X, 220 + 10 * i, 0.01);  // top-left
    EXPECT_NEAR(boxes[i]->points[0].Y, 38, 0.01);
    EXPECT_NEAR(boxes[i]->points[2].X, 225 + 10 * i, 0.01);  // bottom-right
    EXPECT_NEAR(boxes[i]->points[2].Y, 48, 0.01);
  }
}

TEST_F(CduTest, ScratchpadLineShowsTheMessageFirst) {
  model::model_state.FmsScratchpad = "KSEA";
  auto line = [] {
    KitDrawing d(282, 245);
    gfx::Graphics g(&d.dc);
    CduPage page(d.display, g);
    page.ScratchpadLine();
    auto texts = d.rec.Texts();
    EXPECT_EQ(texts.size(), 1u);
    if (texts.empty()) return std::string();
    EXPECT_NEAR(texts[0].y, 227, 0.01);
    EXPECT_NEAR(texts[0].x, 0, 0.01);
    return texts[0].text;
  };
  EXPECT_EQ(line(), "KSEA");
  model::model_state.PanelMessage = "INVALID ENTRY";
  EXPECT_EQ(line(), "INVALID ENTRY");
  model::model_state.PanelMessage.clear();
  EXPECT_EQ(line(), "KSEA");
}

// A line wider than the screen in the large font is drawn small, on the
// same baseline (5 lower). Widths in Arial's thousandths of the em, times
// 18, plus the 3 before the first letter, against 282: "MY PLAN.RTE Unable
// to Save" 13783 (251), sixteen W 15104 (275), seventeen 16048 (292),
// "ACTIVE FSPLANNER RTE LOADED" 16559 (301).
TEST_F(CduTest, ALineWiderThanTheScreenIsDrawnSmall) {
  struct Case {
    std::string line;
    bool small;
  };
  const Case cases[] = {
      {"INVALID ENTRY", false},
      {"MY PLAN.RTE Unable to Save", false},
      {std::string(16, 'W'), false},
      {std::string(17, 'W'), true},
      {"ACTIVE FSPLANNER RTE LOADED", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    fms_state.FmsPage = kPageIdent;
    model::model_state.PanelMessage = c.line;
    Frame f = DrawFrame();
    f.ExpectText(c.line, 0, c.small ? 232 : 227, c.small ? 12 : 18);
    ExpectLegible(f);
  }
}

// The check every page meets: texts on one line a blank apart, lines a
// unit apart, everything on the screen.
TEST(CduLegibility, SeesTextsThatTouchAndTextsOffTheScreen) {
  struct Case {
    const char* what;
    std::vector<ScreenItem> items;
    std::size_t faults;
  };
  auto large = [](const char* t, float x, float y) { return ScreenItem{t, "Arial", 18, 0, x, y, false}; };
  auto small = [](const char* t, float x, float y) { return ScreenItem{t, "Arial", 12, 0, x, y, false}; };
  const Case cases[] = {
      {"label over data", {small("M O D E L", 12, 22), large("737-800", 0, 33)}, 0},
      {"title into counter", {large("DEP / ARR  INDEX", 63, 0), small("1 / 1", 220, 5)}, 1},
      {"marker into constraint", {large("<CTR>", 80, 33), large("  250 /  1800", 130, 33)}, 1},
      {"a box into the title", {ScreenItem{"MOD", "Arial", 18, 0, 18, 0, true}, large("RTE", 63, 0)}, 1},
      {"label in the gap of dashes",
       {large("- - - - - - -                  - - - - - - - - - -", 0, 176), small("H O L D  A T", 80, 181)}, 0},
      {"past the right edge", {large("ROUTE>", 210, 198)}, 1},
      {"past the left edge", {large("KSEA", -6, 33)}, 1},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> faults = LegibilityFaults(c.items);
    EXPECT_EQ(faults.size(), c.faults) << c.what << (faults.empty() ? "" : ": " + faults.front());
  }
}

TEST_F(CduTest, ScratchpadNeverPassesTwentyFourCharacters) {
  model::State& m = model::model_state;
  m.FmsScratchpad = std::string(30, 'A');
  EXPECT_EQ(m.FmsScratchpad.size(), 24u);
  EXPECT_FALSE(m.FmsScratchpad.push_back('B'));
  m.FmsScratchpad = nullptr;
  EXPECT_TRUE(m.FmsScratchpad.empty());
}

}  // namespace
}  // namespace ovi::fms::test
