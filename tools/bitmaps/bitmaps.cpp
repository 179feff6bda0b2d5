// Draws the background bitmaps of the panel buttons: a dark bezel with a
// lit legend, the look of the cockpit's push buttons.
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/gfx/graphics.h"
#include "platform/gfx/image_io.h"
#include "platform/gfx/startup.h"

using namespace ovi::gfx;

namespace {

struct Button {
  std::uint32_t id;
  int width, height;
  const char* line1;
  const char* line2;
};

// Sizes are those the gauges' element lists declare.
constexpr Button kButtons[] = {
    {10072, 49, 49, "BDRY", nullptr},
    {9812, 50, 49, "MFD", "OPEN"},
    {9814, 50, 49, "CNTR", "OPEN"},
    {9816, 50, 49, "TCAS", "OPEN"},
};

bool DrawButton(const Button& b, const std::string& dir) {
  DeviceContext dc(b.width, b.height);
  {
    Graphics g(&dc);
    g.SetSmoothingMode(SmoothingMode::AntiAlias);
    g.Clear(Color(255, 28, 30, 34));
    Pen bezel(Color(255, 90, 94, 100), 2.0f);
    g.DrawRectangle(bezel, 2.0f, 2.0f, b.width - 4.0f, b.height - 4.0f);
    SolidBrush face(Color(255, 44, 47, 52));
    g.FillRectangle(face, 5.0f, 5.0f, b.width - 10.0f, b.height - 10.0f);
    Font font("Arial", b.line2 ? 10.0f : 11.0f, FontStyleBold, Unit::Pixel);
    SolidBrush legend(Color(255, 235, 235, 225));
    StringFormat centred;
    centred.SetAlignment(StringAlignment::Center);
    centred.SetLineAlignment(StringAlignment::Center);
    if (b.line2 == nullptr) {
      g.DrawString(b.line1, font, RectF(0, 0, static_cast<REAL>(b.width), static_cast<REAL>(b.height)), &centred,
                   legend);
    } else {
      REAL half = b.height / 2.0f;
      g.DrawString(b.line1, font, RectF(0, 4, static_cast<REAL>(b.width), half - 4), &centred, legend);
      g.DrawString(b.line2, font, RectF(0, half, static_cast<REAL>(b.width), half - 4), &centred, legend);
    }
  }
  return WritePng(dc, dir + "/" + std::to_string(b.id) + ".png");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ovi-bitmaps OUTDIR\n");
    return 2;
  }
  std::uintptr_t token = 0;
  GdiplusStartup(&token);
  int failed = 0;
  for (const Button& b : kButtons) {
    if (!DrawButton(b, argv[1])) {
      std::fprintf(stderr, "ovi-bitmaps: cannot write %s/%u.png\n", argv[1], b.id);
      ++failed;
    }
  }
  GdiplusShutdown(token);
  return failed == 0 ? 0 : 1;
}
