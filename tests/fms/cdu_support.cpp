#include "tests/fms/cdu_support.h"

#include <cmath>
#include <string>

#include <unistd.h>

#include "platform/gfx/device_context.h"
#include "src/instruments/fms/cdu.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"
#include "src/host/state.h"
#include "src/navdb/navdb.h"

namespace ovi::fms::test {

bool Frame::Find(std::string_view text, float* x, float* y) const {
  gfx::Recorder::TextItem t;
  if (!rec.FindText(text, &t)) return false;
  if (x != nullptr) *x = t.x / sx;
  if (y != nullptr) *y = t.y / sy;
  return true;
}

bool Frame::FindAt(std::string_view text, float x, float y) const {
  for (const gfx::Recorder::TextItem& t : rec.Texts()) {
    if (t.text == text && std::fabs(t.x - x * sx) < 0.01f && std::fabs(t.y - y * sy) < 0.01f) return true;
  }
  return false;
}

void Frame::ExpectText(std::string_view text, float x, float y, float px) const {
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(rec.FindText(text, &t)) << "no text \"" << text << "\"";
  EXPECT_NEAR(t.x, x * sx, 0.01) << text;
  EXPECT_NEAR(t.y, y * sy, 0.01) << text;
  EXPECT_EQ(t.color, kGreen) << text;
  EXPECT_EQ(t.font_family, "Arial") << text;
  EXPECT_FLOAT_EQ(t.font_size, px) << text;
}

Frame DrawFrame(int width, int height) {
  Frame f;
  f.sx = static_cast<float>(width) / kScreenWidth;
  f.sy = static_cast<float>(height) / kScreenHeight;
  gfx::DeviceContext dc(width, height);
  dc.recorder = &f.rec;
  DrawFmsCdu(fms_state.FmsDisplay, &dc, width, height);
  return f;
}

void ExpectModBox(const Frame& f) {
  const auto boxes = f.rec.Find(gfx::OpKind::Polygon);
  ASSERT_EQ(boxes.size(), 1u);
  ASSERT_GE(boxes[0]->points.size(), 3u);
  EXPECT_NEAR(boxes[0]->points[0].X / f.sx, 10.0f, 0.01f);
  EXPECT_NEAR(boxes[0]->points[1].X / f.sx, 52.0f, 0.01f);
  EXPECT_NEAR(boxes[0]->points[2].Y / f.sy, 20.0f, 0.01f);
}

void ExpectLegible(const Frame& f) {
  for (const std::string& fault : LegibilityFaults(ScreenItemsOf(f.rec, f.sx, f.sy))) ADD_FAILURE() << fault;
}

void PressLineKey(int key) { fms_state.FmsLineSelectKey = key; }

void SampleCopyTest::SetUp() {
  CduTest::SetUp();
  namespace fs = std::filesystem;
  static int run = 0;
  root_ = fs::temp_directory_path() / ("ovi_cdu_sample_" + std::to_string(::getpid()) + "_" + std::to_string(++run));
  fs::remove_all(root_);
  fs::create_directories(root_);
  fs::copy(fs::path(OVI_SOURCE_DIR) / "data" / "ovi", root_ / "ovi", fs::copy_options::recursive);
  host::host_state.SimulatorFolder = root_.string();
  navdb::LoadNavDatabase();
  ASSERT_GT(navdb::navdb_state.AirportCount, 0);
}

void SampleCopyTest::TearDown() {
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

}  // namespace ovi::fms::test
