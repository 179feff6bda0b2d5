#include "tests/instruments/gnsxls/mcu_support.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/device_context.h"
#include "src/host/module_state.h"
#include "src/instruments/gnsxls/mcu/kit.h"
#include "src/instruments/gnsxls/mcu/screen.h"

namespace ovi::mcu::test {

namespace {

int Round(float v) { return static_cast<int>(std::lround(v)); }

}  // namespace

void Frame::Expect(std::string_view text, float x, float y, gfx::ARGB colour) const {
  gfx::Recorder::TextItem t;
  ASSERT_TRUE(rec.FindText(text, &t)) << "no text \"" << text << "\"";
  EXPECT_NEAR(t.x / sx, x, 0.01) << text;
  EXPECT_NEAR(t.y / sy, y, 0.01) << text;
  EXPECT_EQ(t.color, colour) << text;
  EXPECT_EQ(t.font_family, "Courier New") << text;
  EXPECT_FLOAT_EQ(t.font_size, 14.0f) << text;
  EXPECT_EQ(t.font_style, gfx::FontStyleBold) << text;
}

std::vector<std::string> Frame::Texts() const {
  std::vector<std::string> out;
  for (const auto& t : rec.Texts()) out.push_back(t.text);
  return out;
}

std::vector<std::string> Frame::TextsAt(float y) const {
  std::vector<std::string> out;
  for (const auto& t : rec.Texts())
    if (std::fabs(t.y / sy - y) < 0.01f) out.push_back(t.text);
  return out;
}

std::vector<std::vector<int>> Frame::Boxes() const {
  std::vector<std::vector<int>> out;
  for (const gfx::RecordedOp* op : rec.Find(gfx::OpKind::Lines)) {
    if (op->color != kGreen || op->pen_width != 2.0f || op->points.size() != 5) continue;
    const gfx::PointF& a = op->points[0];
    const gfx::PointF& c = op->points[2];
    out.push_back({Round(a.X / sx), Round(a.Y / sy), Round((c.X - a.X) / sx), Round((c.Y - a.Y) / sy)});
  }
  return out;
}

std::vector<std::vector<int>> Frame::Underlines() const {
  std::vector<std::vector<int>> out;
  for (const gfx::RecordedOp* op : rec.Find(gfx::OpKind::Line)) {
    if (op->color != kMagenta || op->pen_width != 2.0f) continue;
    out.push_back({Round(op->points[0].X / sx), Round(op->points[1].X / sx), Round(op->points[0].Y / sy)});
  }
  return out;
}

Frame DrawFrame(int width, int height) {
  Frame f;
  f.sx = static_cast<float>(width) / kCanvasWidth;
  f.sy = static_cast<float>(height) / kCanvasHeight;
  gfx::DeviceContext dc(width, height);
  dc.recorder = &f.rec;
  DrawMcuScreen(M().McuDisplay, &dc, width, height);
  return f;
}

Frame Repaint() {
  S().McuRedrawRequest = 1;
  return DrawFrame();
}

void MakeLibrary(int plans) {
  for (int i = 1; i <= plans; ++i) {
    model::FlightPlanLibraryEntry& e = F().FlightPlanLibrary[i];
    e.name = "P" + std::to_string(i) + ".RTE";
    e.last_index = 1;
  }
  F().FlightPlanLibrary[plans + 1].name = "NEW FPL";
  F().FlightPlanLibraryCount = plans + 1;
}

void McuTest::SetUp() {
  ResetModuleState();
  host.Bind();
  G().DisplayPower = 1;
  G().DisplayRefreshCounter = 5;
}

}  // namespace ovi::mcu::test
