// The map symbols: shapes, colours, pen widths and texts of every code, with
// coordinates truncated toward zero.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "src/display/map_symbols.h"
#include "src/guidance/state.h"
#include "src/host/module_state.h"
#include "src/model/state.h"
#include "tests/display/recording.h"

namespace ovi::display {
namespace {

using gfx::OpKind;
using test::Points;
using test::Px;

class MapSymbolTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetModuleState(); }

  // Draws one symbol with the world origin moved to (100, 100), so
  // symbols placed west and north of the origin still land on the surface.
  void Draw(double x, double y, std::uint32_t code, std::int32_t trend, double sx, double sy, std::uint32_t style,
            double value = 0.0) {
    r.rec.Clear();
    gfx::Graphics g(&r.dc);
    g.TranslateTransform(100, 100);
    EXPECT_EQ(DrawMapSymbol(g, x, y, code, trend, sx, sy, style, value), gfx::Ok);
  }
  std::vector<const gfx::RecordedOp*> Ops(OpKind kind) const { return r.rec.Find(kind); }

  test::Recording r;
};

TEST_F(MapSymbolTest, CoordinatesAreTruncatedTowardZeroWestAndNorthOfTheOrigin) {
  // Hexagon at (-10.6, -20.4), scales 2.5 x 1.5: -10.6 + 4 * 2.5 = -0.6 reads
  // 0 (flooring would give -1), -20.4 + 4 * 1.5 = -14.4 reads -14.
  Draw(-10.6, -20.4, kSymbolVorDme, 0, 2.5, 1.5, kStyleDefault);
  auto lines = Ops(OpKind::Lines);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->color, kMapGreen);  // every style but 1 is green
  EXPECT_FLOAT_EQ(lines[0]->pen_width, 2.5f);
  EXPECT_EQ(Points(*lines[0]), (std::vector<Px>{{90, 80}, {100, 80}, {104, 86}, {100, 92}, {90, 92}, {85, 86},
                                                 {90, 80}}));
  Draw(0, 0, kSymbolVorDme, 0, 1, 1, kStyleBlue);
  EXPECT_EQ(Ops(OpKind::Lines)[0]->color, kMapBlue);
}

TEST_F(MapSymbolTest, VortacIsOneNineteenPointOutlineDrawnAtHalfPixelOffset) {
  for (auto [style, colour] : {std::pair{0u, kMapWhite}, {1u, kMapBlue}, {3u, kMapGreen}, {7u, kMapGreen}}) {
    Draw(10, 10, kSymbolVortac, 0, 1, 1, style);
    auto lines = Ops(OpKind::Lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->color, colour) << style;
    std::vector<Px> p = Points(*lines[0]);
    ASSERT_EQ(p.size(), 19u);
    EXPECT_EQ(p.front(), p.back());
    // Out round the upper-right block from (x+4, y) to (x+6, y+4), back
    // along the hexagon's edge.
    EXPECT_EQ(std::vector<Px>(p.begin(), p.begin() + 7),
              (std::vector<Px>{{110, 110}, {114, 110}, {116, 108}, {118, 112}, {116, 114}, {114, 110}, {116, 114}}));
  }
  // The painter leaves the caller's pixel offset as it was.
  gfx::Graphics g(&r.dc);
  DrawMapSymbol(g, 10, 10, kSymbolVortac, 0, 1, 1, 0, 0);
  EXPECT_EQ(g.GetPixelOffsetMode(), gfx::PixelOffsetMode::Default);
}

TEST_F(MapSymbolTest, StyleColoursOfTheOutlinedSymbols) {
  struct Case {
    std::uint32_t code, style;
    gfx::ARGB colour;
  };
  for (const Case& c : std::vector<Case>{{kSymbolIntersection, 1, kMapBlue},
                                         {kSymbolIntersection, 4, kMapMagenta},
                                         {kSymbolIntersection, 0, kMapGrey},
                                         {kSymbolIntersection, 5, kMapGrey},
                                         {kSymbolWaypointStar, 3, kMapGreen},
                                         {kSymbolWaypointStar, 4, kMapMagenta},
                                         {kSymbolWaypointStar, 1, kMapBlue},
                                         {kSymbolWaypointStar, 5, kMapYellow},
                                         {kSymbolWaypointStar, 2, kMapWhite},
                                         {kSymbolWaypointDiamond, 4, kMapMagenta},
                                         {kSymbolWaypointDiamond, 3, kMapWhite},
                                         {kSymbolNdb, 1, kMapBlue},
                                         {kSymbolNdb, 5, kMapYellow},
                                         {kSymbolNdb, 4, kMapWhite},
                                         {kSymbolAirport, 5, kMapYellow},
                                         {kSymbolAirport, 0, kMapWhite}}) {
    Draw(0, 0, c.code, 0, 1, 1, c.style);
    ASSERT_FALSE(Ops(OpKind::Lines).empty()) << c.code;
    for (const auto& op : r.rec.Ops()) EXPECT_EQ(op.color, c.colour) << c.code << " style " << c.style;
  }
}

TEST_F(MapSymbolTest, ScaleDoublesWidthAndPenWidth) {
  Draw(0, 0, kSymbolIntersection, 0, 1, 1, 0);
  EXPECT_EQ(Points(*Ops(OpKind::Lines)[0]), (std::vector<Px>{{100, 100}, {103, 105}, {97, 105}, {100, 100}}));
  EXPECT_FLOAT_EQ(Ops(OpKind::Lines)[0]->pen_width, 1.0f);
  Draw(0, 0, kSymbolIntersection, 0, 2, 1, 0);
  EXPECT_EQ(Points(*Ops(OpKind::Lines)[0]), (std::vector<Px>{{100, 100}, {106, 105}, {94, 105}, {100, 100}}));
  EXPECT_FLOAT_EQ(Ops(OpKind::Lines)[0]->pen_width, 2.0f);

  // Star at scale 2 x 3: (x+5sx, y+6sy) and the bottom tip (x, y+11sy).
  Draw(0, 0, kSymbolWaypointStar, 0, 2, 3, 0);
  std::vector<Px> star = Points(*Ops(OpKind::Lines)[0]);
  ASSERT_EQ(star.size(), 9u);
  EXPECT_EQ(star[2], (Px{110, 118}));
  EXPECT_EQ(star[4], (Px{100, 133}));
}

TEST_F(MapSymbolTest, NdbAndAirportCircleLobesAndBlocks) {
  Draw(10, 10, kSymbolNdb, 0, 2, 2, 0);
  // Circle box from x-3sx = 4, top 10, 10 by 10: centre (9, 15).
  auto ellipses = Ops(OpKind::Ellipse);
  ASSERT_EQ(ellipses.size(), 1u);
  EXPECT_EQ(Points(*ellipses[0])[0], (Px{109, 115}));
  auto lines = Ops(OpKind::Lines);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Points(*lines[0]), (std::vector<Px>{{110, 110}, {116, 104}, {120, 110}, {114, 114}, {110, 110}}));
  EXPECT_EQ(Points(*lines[1])[2], (Px{98, 110}));  // mirror lobe tip at x-6sx
  // Stem box x-2sx..x+sx by y+5sy..y+8sy.
  auto rects = Ops(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(Points(*rects[0])[0], (Px{106, 120}));
  EXPECT_EQ(Points(*rects[0])[2], (Px{112, 126}));

  Draw(10, 10, kSymbolAirport, 0, 1, 1, 0);
  EXPECT_EQ(Ops(OpKind::Ellipse).size(), 1u);
  auto blocks = Ops(OpKind::Lines);
  ASSERT_EQ(blocks.size(), 4u);
  for (const auto* b : blocks) EXPECT_EQ(b->points.size(), 6u);
  EXPECT_EQ(Points(*blocks[0])[2], (Px{112, 106}));   // top block (x+2sx, y-4sy)
  EXPECT_EQ(Points(*blocks[2])[3], (Px{108, 119}));   // bottom block (x-2sx, y+9sy)
}

TEST_F(MapSymbolTest, OwnAircraftSymbolsKeepTheirSizeAndFollowTheMapFormat) {
  Draw(50, 50, kSymbolOwnAircraftSmall, 0, 3, 3, 0);
  auto fills = Ops(OpKind::Polygon);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_TRUE(fills[0]->filled);
  EXPECT_EQ(fills[0]->color, kMapWhite);
  auto outline = Ops(OpKind::Lines);
  ASSERT_EQ(outline.size(), 1u);
  EXPECT_FLOAT_EQ(outline[0]->pen_width, 3.0f);
  std::vector<Px> p = Points(*outline[0]);
  ASSERT_EQ(p.size(), 18u);
  EXPECT_EQ(p[3], (Px{155, 154}));  // (x+5, y+4): not scaled

  Draw(50, 50, kSymbolOwnAircraftSwept, 0, 1.5, 1, 0);
  ASSERT_EQ(Ops(OpKind::Lines).size(), 1u);
  EXPECT_FLOAT_EQ(Ops(OpKind::Lines)[0]->pen_width, 3.0f);
  EXPECT_EQ(Ops(OpKind::Lines)[0]->points.size(), 18u);

  Draw(50, 50, kSymbolOwnAircraftLarge, 0, 1, 1, 0);
  auto large = Ops(OpKind::Lines);
  ASSERT_EQ(large.size(), 1u);
  EXPECT_EQ(large[0]->color, kMapWhite);
  EXPECT_FLOAT_EQ(large[0]->pen_width, 2.0f);
  p = Points(*large[0]);
  ASSERT_EQ(p.size(), 21u);
  EXPECT_EQ(p[15], (Px{148, 164}));  // (x-1.5, y+14) truncated
  model::model_state.P1000MapFormat = 1;
  Draw(50, 50, kSymbolOwnAircraftLarge, 0, 1, 1, 0);
  EXPECT_EQ(Ops(OpKind::Lines)[0]->color, kMapYellow);
}

TEST_F(MapSymbolTest, RangeLabelsPrintTheirValueInTheirField) {
  struct Case {
    double value;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{
           {12.5, "12.5"}, {2.5, "2.5"}, {0.5, "0.5"}, {40, " 40"}, {160, "160"}, {1.0, "  1"}, {12345, "1234"}}) {
    Draw(20, 30, kSymbolRangeLabel, 0, 1, 1, 0, c.value);
    auto box = Ops(OpKind::Rectangle);
    ASSERT_EQ(box.size(), 1u);
    EXPECT_TRUE(box[0]->filled);
    EXPECT_EQ(box[0]->color, kMapBlack);
    EXPECT_EQ(Points(*box[0])[0], (Px{120, 130}));
    EXPECT_EQ(Points(*box[0])[2], (Px{147, 146}));
    auto texts = r.rec.Texts();
    ASSERT_EQ(texts.size(), 1u) << c.value;
    EXPECT_EQ(texts[0].text, c.text);
    EXPECT_FLOAT_EQ(texts[0].x, 118);
    EXPECT_FLOAT_EQ(texts[0].y, 132);
    EXPECT_EQ(texts[0].color, kMapWhite);
    EXPECT_EQ(texts[0].font_family, "DA Rered");
    EXPECT_FLOAT_EQ(texts[0].font_size, 13);
    EXPECT_EQ(texts[0].font_style, gfx::FontStyleBold);
  }

  // The TCAS window's label prints P1000TcasRange, not the value.
  for (auto [range, text] : {std::pair{12.5, "12.5"}, {5.0, "  5"}, {40.0, " 40"}}) {
    model::model_state.P1000TcasRange = range;
    Draw(20, 30, kSymbolTcasRangeLabel, 0, 1, 1, 0, 99);
    EXPECT_EQ(Points(*Ops(OpKind::Rectangle)[0])[2], (Px{135, 140}));
    auto texts = r.rec.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, text);
    EXPECT_FLOAT_EQ(texts[0].x, 119);
    EXPECT_FLOAT_EQ(texts[0].font_size, 12);
  }
}

TEST_F(MapSymbolTest, HeadingReadoutShowsThreeDigitsAndNeverZero) {
  struct Case {
    double heading;
    const char* text;
  };
  for (const Case& c : std::vector<Case>{{0, "360"}, {5, "005"}, {0.4, "360"}, {359.6, "360"}, {123.4, "123"},
                                         {359.4, "359"}}) {
    guidance::guidance_state.AircraftHeading = c.heading;
    Draw(10, 10, kSymbolHeadingBox, 0, 1, 1, 0);
    auto texts = r.rec.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, c.text) << c.heading;
    EXPECT_EQ(texts[0].color, kMapGreen);
    EXPECT_EQ(texts[0].font_family, "Arial");
    EXPECT_FLOAT_EQ(texts[0].font_size, 17);
    EXPECT_FLOAT_EQ(texts[0].x, 108);
    EXPECT_FLOAT_EQ(texts[0].y, 108);
  }
  auto box = Ops(OpKind::Lines);
  ASSERT_EQ(box.size(), 1u);
  EXPECT_FLOAT_EQ(box[0]->pen_width, 2.0f);
  EXPECT_EQ(Points(*box[0]), (std::vector<Px>{{140, 110}, {140, 125}, {132, 125}, {125, 130}, {117, 125},
                                               {110, 125}, {110, 110}}));
  // A heading that is not a number prints nothing; the box is still drawn.
  guidance::guidance_state.AircraftHeading = std::nan("");
  Draw(10, 10, kSymbolHeadingBox, 0, 1, 1, 0);
  EXPECT_TRUE(r.rec.Texts().empty());
  EXPECT_EQ(Ops(OpKind::Lines).size(), 1u);
}

TEST_F(MapSymbolTest, TrafficSymbolsAndTheirColours) {
  // Small diamond, hollow: white 1.5 for style 0, cyan 1.5 otherwise.
  Draw(50, 50, kSymbolTrafficOther, 0, 2, 2, 0);
  auto d = Ops(OpKind::Lines);
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]->color, kMapWhite);
  EXPECT_FLOAT_EQ(d[0]->pen_width, 1.5f);
  EXPECT_EQ(Points(*d[0]), (std::vector<Px>{{150, 150}, {154, 154}, {150, 158}, {146, 154}, {150, 150}}));
  Draw(50, 50, kSymbolTrafficOtherLarge, 0, 1, 1, 2);
  EXPECT_EQ(Ops(OpKind::Lines)[0]->color, kMapCyan);
  EXPECT_EQ(Points(*Ops(OpKind::Lines)[0])[2], (Px{150, 162}));

  Draw(50, 50, kSymbolTrafficProximate, 0, 1, 1, 2);
  ASSERT_EQ(Ops(OpKind::Polygon).size(), 1u);
  EXPECT_TRUE(Ops(OpKind::Polygon)[0]->filled);
  EXPECT_EQ(Ops(OpKind::Polygon)[0]->color, kMapCyan);

  // Circles: 8 by 8 from (x-4, y), 12 by 12 from (x-6, y).
  struct Case {
    std::uint32_t code;
    gfx::ARGB colour;
    float size;
  };
  for (const Case& c : std::vector<Case>{{kSymbolTrafficAdvisory, kMapYellow, 8},
                                         {kSymbolTrafficResolution, kMapRed, 8},
                                         {kSymbolTrafficAdvisoryLarge, kMapYellow, 12},
                                         {kSymbolTrafficResolutionLarge, kMapRed, 12}}) {
    Draw(50, 50, c.code, 0, 1, 1, 0);
    auto e = Ops(OpKind::Ellipse);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_TRUE(e[0]->filled);
    EXPECT_EQ(e[0]->color, c.colour);
    EXPECT_FLOAT_EQ(e[0]->bounds.Width, c.size);
    EXPECT_FLOAT_EQ(e[0]->bounds.X, 150 - c.size / 2);
    EXPECT_FLOAT_EQ(e[0]->bounds.Y, 150);
  }
}

TEST_F(MapSymbolTest, TrendArrowsRightOfTheTrafficSymbol) {
  // Trend 0 and 3 draw no arrow.
  for (std::int32_t trend : {0, 3, -1}) {
    Draw(50, 50, kSymbolTrafficAdvisory, trend, 1, 1, 0);
    EXPECT_EQ(Ops(OpKind::Polygon).size(), 0u) << trend;
    EXPECT_EQ(Ops(OpKind::Line).size(), 0u) << trend;
  }
  struct Case {
    std::uint32_t code, style;
    std::int32_t trend;
    std::vector<Px> head;
    Px stem_from, stem_to;
    gfx::ARGB colour;
    float stem_width;  // sx is 2 below
  };
  for (const Case& c : std::vector<Case>{
           {kSymbolTrafficOther, 0, 1, {{158, 150}, {162, 154}, {154, 154}}, {158, 150}, {158, 158}, kMapWhite, 2},
           {kSymbolTrafficProximate, 2, 2, {{158, 158}, {162, 154}, {154, 154}}, {158, 158}, {158, 150}, kMapCyan, 1},
           {kSymbolTrafficAdvisory, 0, 2, {{158, 158}, {162, 154}, {154, 154}}, {158, 158}, {158, 150}, kMapYellow, 2},
           {kSymbolTrafficResolution, 0, 1, {{158, 150}, {162, 154}, {154, 154}}, {158, 150}, {158, 158}, kMapRed, 1},
           {kSymbolTrafficOtherLarge, 5, 1, {{162, 150}, {167, 155}, {157, 155}}, {162, 150}, {162, 160}, kMapCyan, 1},
           {kSymbolTrafficAdvisoryLarge, 0, 2, {{162, 158}, {167, 153}, {157, 153}}, {162, 158}, {162, 148},
            kMapYellow, 2},
       }) {
    Draw(50, 50, c.code, c.trend, 2, 2, c.style);
    std::vector<const gfx::RecordedOp*> heads;
    for (const auto* op : Ops(OpKind::Polygon))
      if (op->points.size() == 3) heads.push_back(op);
    ASSERT_EQ(heads.size(), 1u) << c.code;
    EXPECT_EQ(Points(*heads[0]), c.head) << c.code;
    EXPECT_EQ(heads[0]->color, c.colour) << c.code;
    auto stem = Ops(OpKind::Line);
    ASSERT_EQ(stem.size(), 1u);
    EXPECT_EQ(Points(*stem[0]), (std::vector<Px>{c.stem_from, c.stem_to})) << c.code;
    EXPECT_EQ(stem[0]->color, c.colour);
    EXPECT_FLOAT_EQ(stem[0]->pen_width, c.stem_width) << c.code;
  }
}

TEST_F(MapSymbolTest, Du1000CircleSymbols) {
  Draw(50, 50, kSymbolDu1000Circle, 0, 2, 2, kStyleGreen);
  ASSERT_EQ(Ops(OpKind::Ellipse).size(), 1u);
  EXPECT_EQ(Ops(OpKind::Ellipse)[0]->color, kMapGreen);
  EXPECT_FLOAT_EQ(Ops(OpKind::Ellipse)[0]->pen_width, 4.0f);
  EXPECT_EQ(Points(*Ops(OpKind::Ellipse)[0])[0], (Px{150, 162}));  // box (42, 54) 16 x 16
  EXPECT_TRUE(Ops(OpKind::Line).empty());
  Draw(50, 50, kSymbolDu1000Circle, 0, 2, 2, 0);
  EXPECT_EQ(Ops(OpKind::Ellipse)[0]->color, kMapWhite);

  Draw(50, 50, kSymbolDu1000CircleTicks, 0, 2, 2, 0);
  auto ticks = Ops(OpKind::Line);
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(Points(*ticks[0]), (std::vector<Px>{{134, 162}, {142, 162}}));
  EXPECT_EQ(Points(*ticks[1]), (std::vector<Px>{{158, 162}, {166, 162}}));
  EXPECT_EQ(ticks[0]->color, kMapBlue);

  Draw(50, 50, kSymbolDu1000CircleCross, 0, 2, 2, 0);
  auto cross = Ops(OpKind::Line);
  ASSERT_EQ(cross.size(), 4u);
  EXPECT_EQ(Points(*cross[2]), (std::vector<Px>{{150, 166}, {150, 174}}));
  EXPECT_EQ(Points(*cross[3]), (std::vector<Px>{{150, 154}, {150, 146}}));
  for (const auto& op : r.rec.Ops()) EXPECT_EQ(op.color, kMapMagenta);
}

TEST_F(MapSymbolTest, UnknownCodesAndPointsThatAreNoNumbersDrawNothing) {
  for (std::uint32_t code : {0u, 6u, 13u, 22u, 32u, 64u, 77u, 0xFFFFFFFFu}) {
    Draw(50, 50, code, 1, 1, 1, 0, 12.5);
    EXPECT_EQ(r.rec.Size(), 0u) << code;
  }
  gfx::Graphics g(&r.dc);
  r.rec.Clear();
  const double nan = std::nan("");
  EXPECT_EQ(DrawMapSymbol(g, nan, 50, kSymbolVortac, 0, 1, 1, 0, 0), gfx::InvalidParameter);
  EXPECT_EQ(DrawMapSymbol(g, 50, 50, kSymbolAirport, 0, 1, INFINITY, 0, 0), gfx::InvalidParameter);
  EXPECT_EQ(r.rec.Size(), 0u);
}

}  // namespace
}  // namespace ovi::display
