// Strokes and texts drawn from what the layer kept of them before must give
// the pixels drawing them afresh gives, wherever they land (whole-pixel
// moves, the surface's edges, under a clip), and what is kept stays
// bounded however many distinct shapes and texts are drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gfx/graphics.h"
#include "platform/gfx/hash_index.h"
#include "platform/gfx/shape_cache.h"

namespace ovi::gfx {
namespace {

// Every keeping switch set one way for a scope, back on at its end.
struct Kept {
  explicit Kept(bool on) {
    detail::UseShapeCache(on);
    detail::UseGlyphRuns(on);
    detail::UseFarRunCulling(on);
  }
  ~Kept() {
    detail::UseShapeCache(true);
    detail::UseGlyphRuns(true);
    detail::UseFarRunCulling(true);
  }
};

void Forget() {
  detail::Shapes().Clear();
  detail::ForgetGlyphRuns();
}

using Scene = std::function<void(Graphics&)>;

// The pixels once the Graphics is gone (a clip's outside put back).
std::vector<std::uint32_t> Picture(const Scene& scene, int w = 160, int h = 140) {
  DeviceContext dc(w, h);
  {
    Graphics g(&dc);
    scene(g);
  }
  return dc.pixels;
}

// The scene drawn afresh, then twice with keeping on from nothing kept: the
// first fills the stores, the second paints from them; all three alike.
void ExpectSamePixels(const Scene& scene, const char* what) {
  std::vector<std::uint32_t> fresh;
  {
    Kept off(false);
    fresh = Picture(scene);
  }
  Forget();
  const std::vector<std::uint32_t> keeping = Picture(scene);
  EXPECT_GT(detail::Shapes().Used().entries + detail::GlyphStoresUsed().runs, 0u) << what << ": nothing kept";
  const std::vector<std::uint32_t> kept = Picture(scene);
  int first = 0, second = 0;
  for (std::size_t i = 0; i < fresh.size(); ++i) {
    first += keeping[i] != fresh[i];
    second += kept[i] != fresh[i];
  }
  EXPECT_EQ(first, 0) << what << ": pixels differ while keeping";
  EXPECT_EQ(second, 0) << what << ": pixels differ from what was kept";
}

constexpr ARGB kColours[] = {0xFFFF13D5, 0xFFDEE6E9, 0xFF00FA00, 0xFF00FFFF, 0x80FFFFFF};

// Rings and symbol outlines as the map draws them: whole-pixel boxes and
// points, a few pens, each shape again a whole number of pixels away (some
// reaching over the surface's edges) and in another colour.
void RandomShapes(Graphics& g, unsigned seed, int count) {
  std::mt19937 rng(seed);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const float widths[] = {1.0f, 1.5f, 2.0f, 3.0f};
  for (int i = 0; i < count; ++i) {
    g.SetSmoothingMode(pick(0, 3) == 0 ? SmoothingMode::None : SmoothingMode::AntiAlias);
    Pen pen(kColours[pick(0, 4)], widths[pick(0, 3)]);
    const int x = pick(-12, 150), y = pick(-12, 130), w = pick(1, 14), h = pick(1, 14);
    for (int again = 0; again < 3; ++again) {
      const int dx = again * pick(-40, 40), dy = again * pick(-40, 40);
      if (again == 2) pen.SetColor(kColours[pick(0, 4)]);
      switch (i % 3) {
        case 0: g.DrawEllipseI(pen, x + dx, y + dy, w, w); break;
        case 1: g.DrawEllipseI(pen, x + dx, y + dy, w, h); break;
        default: {
          const Point star[] = {{x + dx, y + dy},         {x + dx + 2, y + dy + h}, {x + dx + w, y + dy + h + 2},
                                {x + dx + 2, y + dy + h + 4}, {x + dx, y + dy + 2 * h}, {x + dx, y + dy}};
          g.DrawLinesI(pen, star, 6);
        }
      }
    }
  }
}

TEST(KeptDrawing, SeededRandomRingsAndSymbolsGiveFreshPixels) {
  for (unsigned seed : {1u, 2u, 3u, 44u}) {
    ExpectSamePixels([seed](Graphics& g) { RandomShapes(g, seed, 60); }, "plain");
    // The map layers' grid: points between pixels in every phase, so only a
    // shape at the same phase may reuse a coverage.
    ExpectSamePixels(
        [seed](Graphics& g) {
          g.ScaleTransform(247.0f / 541.0f, 294.0f / 541.0f);
          g.TranslateTransform(3.0f, 5.0f);
          RandomShapes(g, seed, 60);
        },
        "fine grid");
    ExpectSamePixels(
        [seed](Graphics& g) {
          GraphicsPath round;
          round.AddEllipse(10.0f, 8.0f, 140.0f, 120.0f);
          g.SetClip(round);
          RandomShapes(g, seed, 40);
          g.SetClip(Rect(30, 20, 90, 70));
          RandomShapes(g, seed + 100, 40);
        },
        "clipped");
  }
}

// With the stroke snap on, the marks on the map's fine grid (every
// sub-pixel place, over the surface's edges, under a clip) still paint
// what drawing them afresh gives, snapped the same way.
TEST(KeptDrawing, SnappedShapesGiveFreshPixels) {
  for (unsigned seed : {5u, 52u}) {
    ExpectSamePixels(
        [seed](Graphics& g) {
          g.SetStrokeSnap(8);
          g.ScaleTransform(247.0f / 541.0f, 294.0f / 541.0f);
          g.TranslateTransform(3.0f, 5.0f);
          RandomShapes(g, seed, 80);
          GraphicsPath round;
          round.AddEllipse(30.0f, 20.0f, 200.0f, 180.0f);
          g.SetClip(round);
          RandomShapes(g, seed + 7, 40);
        },
        "snapped");
  }
}

// A snapped stroke is the same stroke moved as a whole to the nearest
// 1/n pixel: a ring drawn at a fractional place with the snap on gives the
// pixels of the ring drawn without it at that place rounded to 1/8 (the
// ring's first point, its right-most one, leads). Switched off, the snap
// changes nothing.
TEST(KeptDrawing, SnapMovesAStrokeToTheNearestEighthOfAPixel) {
  std::mt19937 rng(8);
  auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  for (int i = 0; i < 40; ++i) {
    // West and north of the origin too (the ring reaching off the surface).
    const double x = real(-6.0, 60.0), y = real(-6.0, 40.0);
    auto ring = [&](int snap, double at_x, double at_y) {
      return Picture([&](Graphics& g) {
        g.SetPixelOffsetMode(PixelOffsetMode::Half);  // world units are device pixels
        g.SetSmoothingMode(SmoothingMode::AntiAlias);
        g.SetStrokeSnap(snap);
        g.DrawEllipse(Pen(kColours[i % 5], 1.5f), static_cast<REAL>(at_x), static_cast<REAL>(at_y), 10.0f, 10.0f);
      });
    };
    const double sx = std::nearbyint(static_cast<float>(x) * 8.0) / 8.0;
    const double sy = std::nearbyint(static_cast<float>(y) * 8.0) / 8.0;
    EXPECT_EQ(ring(8, x, y), ring(0, sx, sy)) << x << ", " << y;
    {
      detail::UseStrokeSnap(false);
      EXPECT_EQ(ring(8, x, y), ring(0, x, y)) << "switched off: " << x << ", " << y;
      detail::UseStrokeSnap(true);
    }
  }
  DeviceContext dc(8, 8);
  Graphics g(&dc);
  for (int bad : {-8, 3, 12, 512}) {
    EXPECT_EQ(g.SetStrokeSnap(bad), InvalidParameter) << bad;
    EXPECT_EQ(g.GetLastStatus(), InvalidParameter);
  }
  EXPECT_EQ(g.GetStrokeSnap(), 0);
  for (int good : {1, 2, 256, 0}) EXPECT_EQ(g.SetStrokeSnap(good), Ok) << good;
}

// What the snap may do to a mark's pixels (docs/drawing.md, "Kept between
// frames"): moved by up to 1/16 pixel each way, a mark drawn alone
// changes no channel by more than this many levels.
constexpr int kSnapLevels = 40;

// Marks of the shapes the maps draw (rings, ellipses, star outlines,
// triangles with sharp corners; pens of 1 to 4 units) on the map's fine
// grid at every sub-pixel phase, some reaching over the surface's edges,
// each drawn alone with the snap and without.
TEST(KeptDrawing, ASnappedMarkStaysWithinTheSnapTolerance) {
  std::mt19937 rng(40);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const float widths[] = {1.0f, 1.5f, 2.0f, 3.0f, 4.0f};
  int largest = 0;
  for (int i = 0; i < 1600; ++i) {
    const Pen pen(kColours[i % 4], widths[pick(0, 4)]);
    const float fx = static_cast<float>(pick(0, 255)) / 256, fy = static_cast<float>(pick(0, 255)) / 256;
    const int x = pick(-8, 60), y = pick(-8, 50), w = pick(3, 30), h = pick(3, 30);
    auto mark = [&](bool snap) {
      detail::UseStrokeSnap(snap);
      auto pixels = Picture(
          [&](Graphics& g) {
            g.SetSmoothingMode(SmoothingMode::HighQuality);
            g.SetStrokeSnap(8);
            g.ScaleTransform(247.0f / 541.0f, 294.0f / 541.0f);
            g.TranslateTransform(fx, fy);
            const Point star[] = {{x, y},         {x + 2, y + h}, {x + w, y + h + 2},
                                  {x + 2, y + h + 4}, {x, y + 2 * h}, {x, y}};
            const Point triangle[] = {{x, y}, {x + w, y + h}, {x - w / 2, y + h}, {x, y}};
            switch (i % 4) {
              case 0: g.DrawEllipseI(pen, x, y, w, w); break;
              case 1: g.DrawEllipseI(pen, x, y, w, h); break;
              case 2: g.DrawLinesI(pen, star, 6); break;
              default: g.DrawLinesI(pen, triangle, 4);
            }
          },
          40, 36);
      detail::UseStrokeSnap(true);
      return pixels;
    };
    const std::vector<std::uint32_t> snapped = mark(true), placed = mark(false);
    for (std::size_t k = 0; k < snapped.size(); ++k)
      for (int shift = 0; shift < 32; shift += 8)
        largest = std::max(largest, std::abs(static_cast<int>((snapped[k] >> shift) & 0xFF) -
                                             static_cast<int>((placed[k] >> shift) & 0xFF)));
    ASSERT_LE(largest, kSnapLevels) << "mark " << i;
  }
  // The marks did move.
  EXPECT_GT(largest, 0);
}

TEST(KeptDrawing, LabelsGiveFreshPixels) {
  const char* labels[] = {"KSEA", "OLM", "BTG", "WP17", "N47W122", "HQM", "-/+", "EDDF"};
  ExpectSamePixels(
      [&](Graphics& g) {
        std::mt19937 rng(7);
        auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
        for (int i = 0; i < 80; ++i) {
          g.SetTextRenderingHint(i % 4 == 0 ? TextRenderingHint::AntiAlias : TextRenderingHint::SystemDefault);
          const Font font("Arial", static_cast<float>(8 + i % 3 * 2), i % 2 ? FontStyleBold : FontStyleRegular,
                          Unit::Pixel);
          const SolidBrush brush(kColours[i % 5]);
          // Fractional places, some over the edges.
          const PointF at(static_cast<float>(real(-20.0, 150.0)), static_cast<float>(real(-8.0, 135.0)));
          g.DrawString(labels[i % 8], font, at, brush);
        }
      },
      "labels");
  // Large and turned glyphs, each kept from its own drawing on a surface
  // sized by its ink.
  ExpectSamePixels(
      [&](Graphics& g) {
        for (int i = 0; i < 12; ++i) {
          g.ResetTransform();
          g.TranslateTransform(static_cast<REAL>(10 + i * 12), static_cast<REAL>(20 + i * 9));
          g.RotateTransform(static_cast<REAL>(i * 37 % 360));
          const Font font(i % 2 ? "Arial" : "Courier New", static_cast<float>(6 + i * 7), FontStyleBold, Unit::Pixel);
          g.DrawString(labels[i % 4], font, PointF(0.0f, 0.0f), SolidBrush(kColours[i % 5]));
        }
      },
      "large and turned labels");
}

// The store of stroke coverage: a coverage painted again is guarded
// against the shapes drawn once after it (a turning map draws new outlines
// every frame), one never painted again is not; a coverage cut by its box
// and one that holds for any box are kept side by side under one key.
TEST(KeptDrawing, CoveragePaintedAgainOutlivesShapesDrawnOnce) {
  auto key = [](std::uint32_t n) {
    detail::ShapeKey k;
    k.Add(n);
    k.Add(n * 7 + 1);
    k.Seal();
    return k;
  };
  // A pixel at the origin of a shape three pixels across: held for any box
  // that holds the shape, or for the one-pixel box it was cut by.
  auto coverage = [](bool inside) {
    detail::Coverage c;
    c.spans.push_back({0, 0, 1, 0});
    c.alpha.push_back(255);
    c.x0 = 0, c.y0 = 0, c.x1 = 3 * 256, c.y1 = 3 * 256;
    c.box_x0 = 0, c.box_y0 = 0, c.box_x1 = inside ? 8 : 1, c.box_y1 = inside ? 8 : 1;
    c.inside = inside;
    if (!inside) c.alpha[0] = 128;
    return c;
  };
  std::vector<std::uint32_t> pixels(64, 0xFF000000u);
  detail::ShapeCache cache;
  auto painted = [&](std::uint32_t n, int box_side = 8) {
    return cache.Paint(key(n), 0, 0, box_side, box_side, pixels.data(), 8, 0, 0, 0xFFFFFFFFu);
  };
  cache.Keep(key(1), coverage(true));
  cache.Keep(key(2), coverage(true));
  EXPECT_TRUE(painted(1));  // painted again: guarded
  for (std::uint32_t n = 100; n < 100 + 3 * detail::ShapeCache::kMaxEntries; ++n) cache.Keep(key(n), coverage(true));
  EXPECT_EQ(cache.Used().entries, detail::ShapeCache::kMaxEntries);
  EXPECT_TRUE(painted(1));
  EXPECT_FALSE(painted(2));

  cache.Keep(key(3), coverage(true));
  cache.Keep(key(3), coverage(false));
  pixels[0] = 0xFF000000u;
  EXPECT_TRUE(painted(3, 1));  // the box that cut it: the cut coverage
  EXPECT_EQ(pixels[0], 0xFF808080u);
  EXPECT_TRUE(painted(3, 8));  // a box that holds the whole: the other
  EXPECT_EQ(pixels[0], 0xFFFFFFFFu);
  EXPECT_FALSE(painted(3, 2));  // another cut: neither
  cache.Clear();
  EXPECT_EQ(cache.Used().entries, 0u);
  EXPECT_FALSE(painted(1));
}

// Strokes Cairo rasterises and glyphs, made on surfaces only a little larger
// than what they cover: wide pens with long miters at sharp turns, caps,
// dashes, figures along the pixel axes, large slanted text, all under a
// turned and stretched transform and by the surface's edges.
// The stores' index after every step of a seeded sequence of keeping,
// finding and forgetting, against a plain map: hashes crowded onto a few
// home slots (long runs, runs wrapping past the table's end, holes
// filled from behind), the table as full as the stores fill it, and 0.
TEST(KeptDrawing, HashIndexFindsWhatAPlainMapFinds) {
  constexpr std::size_t kMost = 64;
  detail::HashIndex<int> index(kMost);
  std::unordered_map<std::uint64_t, int*> plain;
  std::vector<int> values(1000);
  std::mt19937_64 rng(52);
  // Home slots (the low bits) from a handful near the table's end and its
  // start; the high bits tell the hashes apart.
  auto hash = [&] {
    const std::uint64_t home = std::uniform_int_distribution<int>(0, 5)(rng) + (rng() % 2 ? 124 : 0);
    return rng() % 50 == 0 ? 0 : home | (rng() % 40) << 32;
  };
  for (int step = 0; step < 20000; ++step) {
    const std::uint64_t h = hash();
    if (plain.count(h) != 0) {
      if (rng() % 2 == 0) {
        index.Erase(h);
        plain.erase(h);
      }
    } else if (plain.size() < kMost + 1) {
      int* v = &values[static_cast<std::size_t>(step) % values.size()];
      index.Insert(h, v);
      plain[h] = v;
    }
    if (rng() % 500 == 0) {
      index.Clear();
      plain.clear();
    }
    for (std::uint64_t home : {0, 1, 2, 3, 4, 5, 124, 125, 126, 127, 128, 129}) {
      for (std::uint64_t high = 0; high < 40; ++high) {
        const std::uint64_t probe = home == 0 && high == 0 ? 0 : home | high << 32;
        const auto found = plain.find(probe);
        ASSERT_EQ(index.Find(probe), found == plain.end() ? nullptr : found->second) << "step " << step;
      }
    }
  }
}

TEST(KeptDrawing, WidePensAndLargeTextGiveFreshPixels) {
  for (unsigned seed : {5u, 6u, 77u}) {
    ExpectSamePixels(
        [seed](Graphics& g) {
          std::mt19937 rng(seed);
          auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
          if (seed != 5) {
            g.TranslateTransform(80.0f, 70.0f);
            g.RotateTransform(static_cast<float>(seed * 37 % 360));
            g.ScaleTransform(1.3f, 0.6f);
            g.TranslateTransform(-80.0f, -70.0f);
          }
          g.SetSmoothingMode(SmoothingMode::AntiAlias);
          const float widths[] = {1.0f, 2.0f, 4.5f, 9.0f, 14.0f, 40.0f};
          for (int i = 0; i < 60; ++i) {
            Pen pen(kColours[pick(0, 4)], widths[pick(0, 5)]);
            pen.SetLineCap(static_cast<LineCap>(pick(0, 3)), static_cast<LineCap>(pick(0, 3)));
            pen.SetLineJoin(static_cast<LineJoin>(pick(0, 3)));
            pen.SetDashStyle(static_cast<DashStyle>(pick(0, 1) * pick(0, 3)));
            const float x = static_cast<float>(pick(-30, 180)), y = static_cast<float>(pick(-30, 160));
            const PointF zigzag[] = {{x, y}, {x + 30, y + 2}, {x, y + 5}, {x + 25, y + 9}};
            if (i % 3 == 0) g.DrawLines(pen, zigzag, 4);
            if (i % 3 == 1) g.DrawRectangle(pen, x, y, static_cast<float>(pick(0, 60)), static_cast<float>(pick(1, 40)));
            if (i % 3 == 2) g.DrawArc(pen, x, y, static_cast<float>(pick(1, 90)), 30.0f, 20.0f, static_cast<float>(pick(1, 300)));
          }
          for (int i = 0; i < 8; ++i)
            g.DrawString(i % 2 ? "Wg|jQ" : "fj@(_)", Font(i % 3 ? "Arial" : "Courier New", 14.0f + 9 * i,
                                                          static_cast<FontStyle>(i % 4), Unit::Pixel),
                         PointF(-10.0f + 17 * i + 0.3f, 10.0f + 11 * i), SolidBrush(kColours[i % 5]));
        },
        "wide pens and large text");
  }
}

TEST(KeptDrawing, StoresStayBoundedOverManyDistinctShapesAndTexts) {
  Forget();
  DeviceContext dc(40, 40);
  {
    Graphics g(&dc);
    g.SetSmoothingMode(SmoothingMode::AntiAlias);
    Pen pen(kColours[0], 1.0f);
    // 10,000 distinct small rings: a hundred phases within the pixel each
    // way (1/100 pixel apart, over the grid's 1/256).
    for (int i = 0; i < 10000; ++i)
      g.DrawEllipse(pen, 5.0f + static_cast<float>(i % 100) / 100.0f, 5.0f + static_cast<float>(i / 100) / 100.0f,
                    6.0f, 5.0f);
    // More distinct texts than the runs kept.
    const Font font("Arial", 10, FontStyleBold, Unit::Pixel);
    const SolidBrush brush(kColours[1]);
    for (int i = 0; i < 5000; ++i) g.DrawString(std::to_string(i), font, PointF(3.0f, 3.0f), brush);
  }
  const detail::ShapeCache::Size used = detail::Shapes().Used();
  // Small rings: the count, not the bytes, is what bounds them.
  EXPECT_EQ(used.entries, detail::ShapeCache::kMaxEntries);
  EXPECT_LE(used.bytes, detail::ShapeCache::kMaxBytes);
  const detail::GlyphStoreSize glyphs = detail::GlyphStoresUsed();
  EXPECT_EQ(glyphs.runs, detail::kMaxGlyphRuns);
  EXPECT_LE(glyphs.images, detail::kMaxGlyphImages);
  // What is left after the evictions still paints the pixels drawn afresh.
  ExpectSamePixels(
      [](Graphics& g) {
        Pen pen(kColours[2], 2.0f);
        for (int w = 90; w <= 100; ++w) g.DrawEllipseI(pen, 30, 20, w, 100 - w / 2);
      },
      "after eviction");
  Forget();
  EXPECT_EQ(detail::Shapes().Used().entries, 0u);
  EXPECT_EQ(detail::GlyphStoresUsed().runs, 0u);
}

}  // namespace
}  // namespace ovi::gfx
