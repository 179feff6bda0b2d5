// PNG output, bitmap resources, blits, and the test card.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>

#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"
#include "tests/gfx/pixels.h"
#include "tools/testcard/testcard.h"

namespace ovi::gfx {
namespace {

using testing::Px;

std::string TempDir(const char* name) {
  std::string d = ::testing::TempDir() + "/ovi_gfx_" + name;
  std::filesystem::create_directories(d);
  return d;
}

TEST(Png, WrittenFileReadsBackPixelForPixel) {
  DeviceContext dc(7, 5);
  for (std::size_t i = 0; i < dc.pixels.size(); ++i) dc.pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x010305);
  dc.pixels[3] = 0x00000000;  // transparent survives
  std::string path = TempDir("png") + "/out.png";
  ASSERT_TRUE(WritePng(dc, path));
  Bitmap back(path);
  ASSERT_EQ(back.GetLastStatus(), Ok);
  ASSERT_EQ(back.GetWidth(), 7);
  ASSERT_EQ(back.GetHeight(), 5);
  DeviceContext copy(7, 5);
  {
    Graphics g(&copy);
    g.Clear(Color(0));
    g.DrawImage(back, 0, 0);
  }
  EXPECT_EQ(copy.pixels, dc.pixels);
  EXPECT_FALSE(WritePng(dc, "/nonexistent-dir/x.png"));
  EXPECT_EQ(Bitmap("/nonexistent-dir/x.png").GetLastStatus(), FileNotFound);
}

TEST(Png, FastWritingReadsBackAsTheUsualWriting) {
  // Premultiplied colours at every kind of alpha: none, the smallest, half,
  // nearly and fully opaque; the fast writer's unpremultiplying must round
  // as the usual one does.
  DeviceContext dc(6, 4);
  const std::uint32_t alphas[] = {0, 1, 128, 254, 255, 255};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      const std::uint32_t a = alphas[x];
      const std::uint32_t r = a * static_cast<std::uint32_t>(y + 1) / 4, g = a / 3, b = a * static_cast<std::uint32_t>(3 - y) / 4;
      dc.pixels[static_cast<std::size_t>(y) * 6 + static_cast<std::size_t>(x)] = a << 24 | r << 16 | g << 8 | b;
    }
  const std::string dir = TempDir("png_fast");
  ASSERT_TRUE(WritePng(dc, dir + "/small.png", PngSpeed::kSmall));
  ASSERT_TRUE(WritePng(dc, dir + "/fast.png", PngSpeed::kFast));
  auto read_back = [](const std::string& path) {
    Bitmap bmp(path);
    DeviceContext out(6, 4);
    EXPECT_EQ(bmp.GetLastStatus(), Ok) << path;
    Graphics g(&out);
    g.Clear(Color(0));
    g.DrawImage(bmp, 0, 0);
    return out.pixels;
  };
  // A picture that names the program that made it reads back the same.
  ASSERT_TRUE(WritePng(dc, dir + "/small_named.png", PngSpeed::kSmall, "a tool"));
  ASSERT_TRUE(WritePng(dc, dir + "/fast_named.png", PngSpeed::kFast, "a tool"));
  const std::vector<std::uint32_t> small = read_back(dir + "/small.png");
  EXPECT_EQ(read_back(dir + "/fast.png"), small);
  for (const char* name : {"small_named.png", "fast_named.png"}) {
    EXPECT_EQ(read_back(dir + "/" + name), small) << name;
    EXPECT_EQ(PngSoftware(dir + "/" + name), "a tool") << name;
  }
  for (const char* name : {"small.png", "fast.png", "missing.png"}) EXPECT_EQ(PngSoftware(dir + "/" + name), "") << name;
  EXPECT_EQ(small[4], dc.pixels[4]);  // opaque pixels come back exactly
  EXPECT_EQ(small[0], 0u);
  EXPECT_FALSE(WritePng(dc, "/nonexistent-dir/x.png", PngSpeed::kFast));
  EXPECT_FALSE(WritePng(DeviceContext(0, 0), dir + "/empty.png", PngSpeed::kFast));
  EXPECT_FALSE(std::filesystem::exists(dir + "/empty.png"));
}

TEST(BitmapResource, PresentBitmapIsScaledToTheSurface) {
  std::string dir = TempDir("res");
  DeviceContext art(2, 2);
  art.pixels = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x00000000u};
  ASSERT_TRUE(WritePng(art, dir + "/10072.png"));
  DeviceContext dc(4, 4);
  Recorder rec;
  dc.recorder = &rec;
  EXPECT_TRUE(PaintBitmapResource(dc, dir, 10072));
  EXPECT_EQ(Px(dc, 0, 0) & 0xFF000000u, 0xFF000000u);
  EXPECT_GT(testing::Red(Px(dc, 0, 0)), 200);
  EXPECT_GT(testing::Green(Px(dc, 3, 0)), 200);
  EXPECT_GT(testing::Blue(Px(dc, 0, 3)), 200);
  EXPECT_LT(testing::Alpha(Px(dc, 3, 3)), 60);  // transparency kept
  EXPECT_EQ(rec.Size(), 0u);                     // backgrounds are not recorded
  EXPECT_EQ(dc.recorder, &rec);
}

TEST(BitmapResource, MissingBitmapPaintsANeutralFillWithItsId) {
  DeviceContext dc(60, 20);
  EXPECT_FALSE(PaintBitmapResource(dc, TempDir("empty"), 9844));
  EXPECT_FALSE(PaintBitmapResource(dc, "/nonexistent-dir", 9844));
  EXPECT_EQ(Px(dc, 59, 19), 0xFF28282Eu);
  int brighter = 0;
  for (auto p : dc.pixels)
    if (testing::Red(p) > 0x50) ++brighter;
  EXPECT_GT(brighter, 10);  // the id written small
  DeviceContext zero(0, 0);
  EXPECT_FALSE(PaintBitmapResource(zero, "/nonexistent-dir", 1));
}

TEST(BlitTest, CopiesClippedToTheTarget) {
  DeviceContext src(3, 3), dst(5, 5);
  for (auto& p : src.pixels) p = 0xFFFF0000u;
  Blit(src, dst, -1, -1);
  EXPECT_EQ(Px(dst, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Px(dst, 1, 1), 0xFFFF0000u);
  EXPECT_EQ(Px(dst, 2, 2), 0xFF000000u);
  Blit(src, dst, 4, 4);
  EXPECT_EQ(Px(dst, 4, 4), 0xFFFF0000u);
  EXPECT_EQ(Px(dst, 3, 4), 0xFF000000u);
  DeviceContext before = dst;
  Blit(src, dst, INT_MAX, INT_MAX);
  Blit(src, dst, INT_MIN, INT_MIN);
  Blit(src, dst, INT_MAX - 1, 0);
  EXPECT_EQ(dst.pixels, before.pixels);
}

TEST(TestCard, DrawsFillModesAndClipWhereExpected) {
  DeviceContext dc(kTestCardWidth, kTestCardHeight);
  DrawTestCard(dc);
  const std::uint32_t background = 0xFF101018u;
  EXPECT_EQ(Px(dc, 400, 190), background);   // alternate star: hollow centre
  EXPECT_EQ(Px(dc, 520, 190), 0xFF00FA00u);  // winding star: filled centre
  EXPECT_EQ(Px(dc, 260, 275), background);   // inside the circle, below the intersected clip
  EXPECT_NE(Px(dc, 260, 200), background);   // stripes inside both
  EXPECT_EQ(Px(dc, 185, 150), background);   // outside the circle
  std::string path = TempDir("card") + "/card.png";
  EXPECT_TRUE(WritePng(dc, path));
}

}  // namespace
}  // namespace ovi::gfx
