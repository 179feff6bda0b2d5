// The precedence of a map picture's texts: each rank over the ranks below
// it, the rule of two texts that meet, one name for one place, a mark's
// label moving the shorter way, other places, traffic tags, areas kept
// clear, and what a picture keeps of each text (transform, clip). On a
// 200-pixel surface moved by 50 pixels, texts of Arial bold 10.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/gfx/device_context.h"
#include "platform/gfx/graphics.h"
#include "src/display/map_labels.h"

namespace ovi::display {
namespace {

struct Surface {
  Surface() : dc(200, 200), g((dc.recorder = &rec, &dc)) { g.TranslateTransform(50, 50); }
  // The texts drawn, by what they say.
  std::vector<gfx::Recorder::TextItem> Drawn(const std::string& text) const {
    std::vector<gfx::Recorder::TextItem> out;
    for (const auto& t : rec.Texts())
      if (t.text == text) out.push_back(t);
    return out;
  }
  // Whether some of `text` shows.
  bool Shows(const std::string& text) const {
    for (const auto& t : Drawn(text))
      if (t.shown != gfx::Shown::kHidden) return true;
    return false;
  }
  // The ink of `text` laid out at (x, y), picture units.
  gfx::RectF Ink(const std::string& text, float x, float y) {
    gfx::RectF layout, ink;
    g.MeasureStringInk(text, font, gfx::PointF(x, y), nullptr, &layout, &ink);
    return ink;
  }
  void Write(MapRank rank, const std::string& text, float x, float y, const MapTextWay& way = {}) {
    WriteMapText(g, rank, MapText{text, font, gfx::PointF(x, y)}, white, way);
  }
  gfx::Recorder rec;
  gfx::DeviceContext dc;
  gfx::Graphics g;
  gfx::Font font{"Arial", 10.0f, gfx::FontStyleBold, gfx::Unit::Pixel};
  gfx::SolidBrush white{0xFFFFFFFF};
};

constexpr MapRank kRanks[] = {MapRank::kFixed,   MapRank::kMark,     MapRank::kRangeFigure, MapRank::kTraffic,
                              MapRank::kRouteName, MapRank::kName, MapRank::kGridLabel,   MapRank::kFixInfo};

// Written first at the lower rank, then at the higher one on the same
// place: the higher stands and the lower is left out; a fixed text is one
// drawn straight on the graphics. Far apart, both stand.
TEST(MapTextsTest, EachRankStandsOverTheRanksBelow) {
  for (std::size_t i = 0; i + 1 < std::size(kRanks); ++i) {
    for (const bool apart : {false, true}) {
      Surface s;
      {
        const MapPicture picture(s.g);
        s.Write(kRanks[i + 1], "LOW", 10, 10);
        if (kRanks[i] == MapRank::kFixed)
          s.g.DrawString("HIGH", s.font, gfx::PointF(12, apart ? 60 : 12), s.white);
        else
          s.Write(kRanks[i], "HIGH", 12, apart ? 60 : 12);
      }
      EXPECT_TRUE(s.Shows("HIGH")) << i;
      EXPECT_EQ(s.Shows("LOW"), apart) << i;
    }
  }
}

// Two texts of one rank: the second is left out where their ink overlaps,
// where it stands over or under the first with less than a clear gap, or
// runs into it along the line with less than a word's space ("OLM043"). Two
// names (of places far off) also where the second is on the next line just
// past the first's end with no gap between the lines ("YKM" on "PSC").
TEST(MapTextsTest, TwoTextsMeetByTheirInk) {
  struct Case {
    const char* what;
    double dx, dy;  // the second's ink from the first's: across from its right edge, down from its bottom
    bool both;
    bool names = false;
  } cases[] = {
      {"on it", -20, -8, false},       {"a line below, a clear gap", -25, 3, true},
      {"below, touching", -25, 0.5, false}, {"beside, no space", 1, -7, false},
      {"beside, a space", 4, -7, true},  {"far off", 40, 40, true},
      {"the next line just past its end, no gap", 3, -0.5, true},
      {"names: the next line just past its end, no gap", 3, -0.5, false, true},
      {"names: the next line just past its end, the lines touching", 3, 0.5, false, true},
      {"names: the next line just past its end, a clear gap", 3, 2, true, true},
      {"names: the next line half a height past its end", 4.5, -0.5, true, true},
      {"names: the same line, a space", 4, -7, true, true},
  };
  for (const Case& c : cases) {
    Surface s;
    const gfx::RectF first = s.Ink("OLM", 0, 0);
    const gfx::RectF second = s.Ink("043", 0, 0);
    // The second's layout point so that its ink lands (dx, dy) off the
    // first's right and bottom edges.
    const double x = first.X + first.Width + c.dx - second.X;
    const double y = first.Y + first.Height + c.dy - second.Y;
    {
      const MapPicture picture(s.g);
      auto write = [&](const char* text, float tx, float ty, double place_x) {
        if (c.names)
          WriteMapLabel(s.g, text, place_x, -45, MapText{text, s.font, gfx::PointF(tx, ty)}, s.white);
        else
          s.Write(MapRank::kName, text, tx, ty);
      };
      write("OLM", 0, 0, -45);
      write("043", static_cast<float>(x), static_cast<float>(y), 140);
    }
    EXPECT_TRUE(s.Shows("OLM")) << c.what;
    EXPECT_EQ(s.Shows("043"), c.both) << c.what;
  }
}

// A name keeps clear of the symbol of another place: a symbol drawn as a
// text (an airport's star, a ring's star of no place) met as a text is,
// and a square about each place the picture names (as tall as its name's
// letters), whether that name stands or not; the route's name too. Its
// own place's symbol, a place within 8 pixels of its own, and a star the
// clip hides do not count. "KSEA" is written at (0, 0) for the place
// (100, 100) unless a case gives it another.
TEST(MapTextsTest, ANameKeepsClearOfOtherPlacesSymbols) {
  const gfx::PointF here(5, 5), far(100, 100);
  struct Case {
    const char* what;
    std::function<void(Surface&)> before;
    gfx::PointF place;
    bool route;
    bool stands;
  } cases[] = {
      {"another place's star under it",
       [&](Surface& s) { DrawMapSymbolText(s.g, "*", s.font, gfx::PointF(2, 0), s.white, here); }, far, false,
       false},
      {"its own place's star under it",
       [&](Surface& s) { DrawMapSymbolText(s.g, "*", s.font, gfx::PointF(2, 0), s.white, here); }, here, false,
       true},
      {"a ring's star under it", [](Surface& s) { DrawMapSymbolText(s.g, "*", s.font, gfx::PointF(2, 0), s.white); },
       far, false, false},
      {"the route's name, another place's star under it",
       [&](Surface& s) { DrawMapSymbolText(s.g, "*", s.font, gfx::PointF(2, 0), s.white, here); }, far, true, false},
      {"another place's star just past its end",
       [](Surface& s) { DrawMapSymbolText(s.g, "*", s.font, gfx::PointF(s.Ink("KSEA", 0, 0).Width + 1, 0), s.white); },
       far, false, false},
      {"another place's star well clear of it",
       [](Surface& s) { DrawMapSymbolText(s.g, "*", s.font, gfx::PointF(60, 0), s.white); }, far, false, true},
      {"a star the clip hides",
       [](Surface& s) {
         s.g.SetClip(gfx::RectF(-50, 40, 100, 100));
         DrawMapSymbolText(s.g, "*", s.font, gfx::PointF(2, 0), s.white);
         s.g.ResetClip();
       },
       far, false, true},
      {"another named place under it, its name left out by a readout",
       [](Surface& s) {
         s.g.DrawString("TAS", s.font, gfx::PointF(-40, 100), s.white);
         WriteMapLabel(s.g, "RNT", 10, 5, MapText{"RNT", s.font, gfx::PointF(-40, 100)}, s.white);
       },
       far, false, false},
      {"the route's name, another named place under it",
       [](Surface& s) { WriteMapLabel(s.g, "RNT", 10, 5, MapText{"RNT", s.font, gfx::PointF(-40, 100)}, s.white); },
       far, true, false},
      {"another named place within 8 pixels of its own",
       [](Surface& s) { WriteMapLabel(s.g, "RNT", 10, 5, MapText{"RNT", s.font, gfx::PointF(-40, 100)}, s.white); },
       gfx::PointF(14, 10), false, true},
      {"another named place well below it",
       [](Surface& s) { WriteMapLabel(s.g, "RNT", 10, 30, MapText{"RNT", s.font, gfx::PointF(-40, 100)}, s.white); },
       far, false, true},
  };
  for (const Case& c : cases) {
    Surface s;
    {
      const MapPicture picture(s.g);
      c.before(s);
      WriteMapLabel(s.g, "KSEA", c.place.X, c.place.Y, MapText{"KSEA", s.font, gfx::PointF(0, 0)}, s.white, c.route);
    }
    EXPECT_EQ(s.Shows("KSEA"), c.stands) << c.what;
  }
}

// One name for one place: the route's name stands even when the layer's is
// written first; the same name within 8 pixels of the place or of the
// text's start is the same; a layer that knows its place only roughly
// gives its reach.
TEST(MapTextsTest, ANameIsWrittenOncePerPlaceTheRoutesFirst) {
  Surface s;
  gfx::DeviceContext other_dc(200, 200);
  gfx::Graphics other(&other_dc);
  const gfx::SolidBrush magenta(0xFFFF00FF);
  auto label = [&](const char* name, double x, double y, float tx, float ty, bool route, double reach = 0.0) {
    WriteMapLabel(s.g, name, x, y, MapText{name, s.font, gfx::PointF(tx, ty)}, route ? magenta : s.white, route, reach);
  };
  {
    const MapPicture picture(s.g);
    label("OLM", 0, 0, 5, -5, false);        // the navaid's
    label("OLM", 2, 1, 7, -15, true);        // the route's, 2.2 pixels off: it stands
    label("OLM", 8, 1, 60, 60, false);       // 6 pixels from the route's place: the same
    label("OLM", 11, 1, 60, 80, false);      // 9 pixels: another
    label("TUN", -40, 80, -30, 100, true, 15);
    label("TUN", -28, 80, -30, 120, false);  // 12 pixels off, within the route's reach of 15
    label("TUN", -29, -40, -30, -40, false);  // 120 off
    WriteMapLabel(other, "OLM", 0, 0, MapText{"OLM", s.font, gfx::PointF(5, -5)}, s.white);  // no picture there
    const MapPicture inner(s.g);              // joins
  }
  const auto olm = s.Drawn("OLM");
  ASSERT_EQ(olm.size(), 2u);
  EXPECT_EQ(olm[0].color, 0xFFFF00FF);
  EXPECT_FLOAT_EQ(olm[1].y, 130.0f);
  EXPECT_EQ(s.Drawn("TUN").size(), 2u);
  // A new picture starts empty.
  s.rec.Clear();
  {
    const MapPicture picture(s.g);
    label("OLM", 0, 0, 5, -5, false);
  }
  EXPECT_EQ(s.Drawn("OLM").size(), 1u);
}

// A mark's label on a text of higher or equal rank moves up or down, the
// shorter way, to the nearest place clear of it: first where it also
// leaves the names where they stand (within one and a half of its heights),
// else within three of its heights, names giving way; nowhere free, it is
// left out. A label in sight does not move out of it; T/C and T/D move by
// whole pixels.
TEST(MapTextsTest, AMarksLabelMovesTheShorterWay) {
  struct Case {
    const char* what;
    std::vector<float> fixed_tops;  // fixed texts at these layout tops, at x 0
    std::vector<float> name_tops;   // names at these tops
    bool whole_pixels;
    bool drawn;
    int direction;  // -1 up, 0 stays, +1 down
    std::vector<float> symbol_tops = {};  // named places at these tops, their names far off
    std::vector<float> star_tops = {};    // stars of no place written at these tops, at x 4
  } cases[] = {
      {"nothing there", {}, {}, false, true, 0},
      {"a readout a little below", {5}, {}, false, true, -1},
      {"a readout a little above", {-5}, {}, false, true, 1},
      {"on whole pixels", {5}, {}, true, true, -1},
      {"a name where it stands, a little higher", {}, {-1}, false, true, 1},
      {"names all about: it stands, they give way", {}, {-11, 0, 11}, false, true, 0},
      {"readouts all about", {-26, -13, 0, 13, 26}, {}, false, false, 0},
      {"a readout a little below, a place's symbol where it would go: down", {5}, {}, false, true, 1, {-1}},
      {"a readout a little below, a star where it would go: above the star", {5}, {}, false, true, -1, {}, {-5}},
  };
  for (const Case& c : cases) {
    Surface s;
    {
      const MapPicture picture(s.g);
      for (float top : c.fixed_tops) s.g.DrawString("TAS", s.font, gfx::PointF(0, top), s.white);
      for (float top : c.name_tops) s.Write(MapRank::kName, "NAME", 0, top);
      for (float top : c.symbol_tops)
        WriteMapLabel(s.g, "OLM", 8, top, MapText{"OLM", s.font, gfx::PointF(120, 100)}, s.white);
      for (float top : c.star_tops) DrawMapSymbolText(s.g, "*", s.font, gfx::PointF(4, top), s.white);
      s.Write(MapRank::kMark, "T/C", 2, 0, MapTextWay{.slide = true, .whole_pixels = c.whole_pixels});
    }
    const auto tc = s.Drawn("T/C");
    ASSERT_EQ(tc.size(), c.drawn ? 1u : 0u) << c.what;
    if (!c.drawn) {
      continue;
    }
    const double moved = tc[0].y - 50.0;
    EXPECT_EQ(moved < -0.01 ? -1 : moved > 0.01 ? 1 : 0, c.direction) << c.what << " moved " << moved;
    if (c.whole_pixels) {
      EXPECT_DOUBLE_EQ(moved, std::round(moved)) << c.what;
    }
    for (float top : c.symbol_tops) {
      const gfx::RectF& ink = tc[0].ink;
      const double y = 50.0 + top;
      EXPECT_FALSE(ink.Y <= y && y <= ink.Y + ink.Height) << c.what << ": on the symbol";
    }
    for (float top : c.star_tops) {
      const gfx::RectF star = s.Ink("*", 4, top + 50), &ink = tc[0].ink;
      EXPECT_FALSE(ink.Y < star.Y + star.Height && star.Y < ink.Y + ink.Height) << c.what << ": on the star";
    }
  }
  // At the surface's top edge a label with a readout under it moves down,
  // not out of sight.
  Surface s;
  {
    const MapPicture picture(s.g);
    s.g.DrawString("TAS", s.font, gfx::PointF(0, -45), s.white);
    s.Write(MapRank::kMark, "T/C", 2, -49, MapTextWay{.slide = true});
  }
  ASSERT_EQ(s.Drawn("T/C").size(), 1u);
  EXPECT_GT(s.Drawn("T/C")[0].y, 1.0f);
}

// A mark's label written wholly below another mark's label stays below it,
// and one written above stays above, even where the only place free within
// its reach lies on the other side: there it is left out. Readouts fill its
// own side from its place on; the other mark's label stands 12 pixels off.
TEST(MapTextsTest, AMarksLabelKeepsItsSideOfAnother) {
  struct Case {
    const char* what;
    float other_top;                // the label placed first ("T/C")
    std::vector<float> fixed_tops;  // readouts, at x 0
    bool drawn;
  } cases[] = {
      {"written below, readouts under it: left out", -12, {0, 12, 24}, false},
      {"written above, readouts over it: left out", 12, {0, -12, -24}, false},
      {"written below, room under it: moves down", -12, {0}, true},
      {"written above, room over it: moves up", 12, {0}, true},
  };
  for (const Case& c : cases) {
    Surface s;
    {
      const MapPicture picture(s.g);
      for (float top : c.fixed_tops) s.g.DrawString("TAS", s.font, gfx::PointF(0, top), s.white);
      s.Write(MapRank::kMark, "T/C", 2, c.other_top, MapTextWay{.slide = true});
      s.Write(MapRank::kMark, "T/D", 2, 0, MapTextWay{.slide = true});
    }
    ASSERT_EQ(s.Drawn("T/C").size(), 1u) << c.what;
    const auto td = s.Drawn("T/D");
    ASSERT_EQ(td.size(), c.drawn ? 1u : 0u) << c.what << (td.empty() ? "" : " at " + std::to_string(td[0].y - 50));
    if (!c.drawn) continue;
    // Still on its side of the first.
    const gfx::RectF tc = s.Drawn("T/C")[0].ink;
    if (c.other_top < 0) {
      EXPECT_GE(td[0].ink.Y, tc.Y + tc.Height) << c.what;
    } else {
      EXPECT_LE(td[0].ink.Y + td[0].ink.Height, tc.Y) << c.what;
    }
  }
}

// A text with other places takes the first free one; traffic tags stand by
// threat, then by nearness, and only whole; areas kept clear take the map's
// texts and symbols; a text out of sight is not drawn; each text is drawn
// under the transform and clip it was written with.
TEST(MapTextsTest, OtherPlacesTrafficAreasAndWhatATextKeeps) {
  Surface s;
  const gfx::PointF others[] = {gfx::PointF(0, 0), gfx::PointF(0, 40)};
  {
    const MapPicture picture(s.g);
    s.Write(MapRank::kName, "PWT", 0, 0);
    s.Write(MapRank::kFixInfo, "15.0", 1, 1, MapTextWay{.other_places = others});  // under PWT, then at (0, 40)
    s.Write(MapRank::kTraffic, "+3", 60, 0, MapTextWay{.order = 2e6 + 1});   // near, no threat
    s.Write(MapRank::kTraffic, "-8", 61, 1, MapTextWay{.order = 0.0 + 30});  // far, a resolution advisory
    s.Write(MapRank::kTraffic, "+1", 60, 30, MapTextWay{.order = 2e6 + 5});
    s.Write(MapRank::kTraffic, "-2", 100, 145, MapTextWay{.whole = true});  // cut by the surface's edge
    KeepMapClear(s.g, gfx::RectF(-40, 80, 40, 20));
    s.Write(MapRank::kName, "ELN", -35, 85);
    s.g.FillRectangle(s.white, -40, 80, 40, 20);  // the map's symbols stay off the area too
    s.Write(MapRank::kName, "FAR", 300, 0);
    s.g.SetClip(gfx::RectF(0, 60, 100, 100));
    s.g.TranslateTransform(0, 60);
    s.Write(MapRank::kName, "CUT", -8, 0);
    s.g.ResetClip();
    s.g.ResetTransform();
  }
  ASSERT_EQ(s.Drawn("15.0").size(), 1u);
  EXPECT_FLOAT_EQ(s.Drawn("15.0")[0].y, 90.0f);
  EXPECT_TRUE(s.Shows("-8"));
  EXPECT_FALSE(s.Shows("+3"));
  EXPECT_TRUE(s.Shows("+1"));
  EXPECT_FALSE(s.Shows("-2"));
  EXPECT_FALSE(s.Shows("ELN"));
  EXPECT_NE(s.dc.pixels[static_cast<std::size_t>(140) * 200 + 30], 0xFFFFFFFFu);
  EXPECT_FALSE(s.Shows("FAR"));
  ASSERT_EQ(s.Drawn("CUT").size(), 1u);
  EXPECT_EQ(s.Drawn("CUT")[0].shown, gfx::Shown::kPart);
  EXPECT_FLOAT_EQ(s.Drawn("CUT")[0].y, 110.0f);
}

}  // namespace
}  // namespace ovi::display
