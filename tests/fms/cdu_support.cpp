#include "tests/fms/cdu_support.h"

#include <cmath>

#include "platform/gfx/device_context.h"
#include "src/instruments/fms/cdu.h"
#include "src/instruments/fms/kit.h"
#include "src/instruments/fms/state.h"

namespace ovi::fms::test {

bool Frame::Find(std::string_view text, float* x, float* y) const {
  gfx::Recorder::TextItem t;
  if (!rec.FindText(text, &t)) return false;
  if (x != nullptr) *x = t.x / sx;
  if (y != nullptr) *y = t.y / sy;
  return true;
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

void PressLineKey(int key) { fms_state.FmsLineSelectKey = key; }

}  // namespace ovi::fms::test
