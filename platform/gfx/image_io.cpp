#include "platform/gfx/image_io.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gfx/graphics.h"

namespace ovi::gfx {

namespace {

bool Drawable(const DeviceContext& dc) { return !dc.Empty() && dc.Consistent(); }

cairo_surface_t* SurfaceOf(const DeviceContext& dc) {
  if (!Drawable(dc)) return nullptr;
  return cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(dc.pixels.data())), CAIRO_FORMAT_ARGB32,
      dc.width, dc.height, dc.stride);
}

}  // namespace

bool WritePng(const DeviceContext& dc, const std::string& path) {
  detail::SettleClippedDrawing(dc);
  cairo_surface_t* s = SurfaceOf(dc);
  if (s == nullptr) return false;
  cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
  cairo_surface_destroy(s);
  return st == CAIRO_STATUS_SUCCESS;
}

bool PaintBitmapResource(DeviceContext& dc, const std::string& resources_dir, std::uint32_t id) {
  if (!Drawable(dc)) return false;
  std::string path = resources_dir + "/" + std::to_string(id) + ".png";
  Bitmap bmp(path);
  bool found = bmp.GetLastStatus() == Ok && bmp.GetWidth() > 0 && bmp.GetHeight() > 0;
  Recorder* rec = dc.recorder;
  dc.recorder = nullptr;  // backgrounds are not gauge drawing
  {
    Graphics g(&dc);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    // A found bitmap replaces the pixels, transparency included.
    g.Clear(found ? Color(0x00000000u) : Color(0xFF28282Eu));
    if (found) {
      g.DrawImage(bmp, 0, 0, static_cast<REAL>(dc.width), static_cast<REAL>(dc.height));
    } else {
      g.SetTextRenderingHint(TextRenderingHint::AntiAlias);
      Font font("Arial", 9, FontStyleRegular, Unit::Pixel);
      SolidBrush brush(Color(0xFF8C8C99u));
      g.DrawString(std::to_string(id), font, PointF(1, 1), brush);
    }
  }
  dc.recorder = rec;
  return found;
}

void Blit(const DeviceContext& src, DeviceContext& dst, int x, int y) {
  if (!Drawable(src) || !Drawable(dst)) return;
  detail::SettleClippedDrawing(src);
  detail::SettleClippedDrawing(dst);
  long long x0 = std::max(0LL, static_cast<long long>(x)), y0 = std::max(0LL, static_cast<long long>(y));
  long long x1 = std::min(static_cast<long long>(dst.width), static_cast<long long>(x) + src.width);
  long long y1 = std::min(static_cast<long long>(dst.height), static_cast<long long>(y) + src.height);
  if (x0 >= x1 || y0 >= y1) return;
  for (long long row = y0; row < y1; ++row) {
    const std::uint32_t* s = &src.pixels[static_cast<std::size_t>(row - y) * src.width + (x0 - x)];
    std::uint32_t* d = &dst.pixels[static_cast<std::size_t>(row) * dst.width + x0];
    std::memcpy(d, s, static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t));
  }
}

}  // namespace ovi::gfx
