#include "platform/gfx/image_io.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace ovi::gfx {

namespace {

cairo_surface_t* SurfaceOf(const DeviceContext& dc) {
  if (dc.width <= 0 || dc.height <= 0) return nullptr;
  return cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(dc.pixels.data())), CAIRO_FORMAT_ARGB32,
      dc.width, dc.height, dc.stride);
}

}  // namespace

bool WritePng(const DeviceContext& dc, const std::string& path) {
  cairo_surface_t* s = SurfaceOf(dc);
  if (s == nullptr) return false;
  cairo_status_t st = cairo_surface_write_to_png(s, path.c_str());
  cairo_surface_destroy(s);
  return st == CAIRO_STATUS_SUCCESS;
}

bool PaintBitmapResource(DeviceContext& dc, const std::string& resources_dir, std::uint32_t id) {
  cairo_surface_t* target = SurfaceOf(dc);
  if (target == nullptr) return false;
  cairo_t* cr = cairo_create(target);
  std::string path = resources_dir + "/" + std::to_string(id) + ".png";
  cairo_surface_t* bmp = cairo_image_surface_create_from_png(path.c_str());
  bool found = cairo_surface_status(bmp) == CAIRO_STATUS_SUCCESS;
  if (found) {
    int bw = cairo_image_surface_get_width(bmp), bh = cairo_image_surface_get_height(bmp);
    cairo_scale(cr, static_cast<double>(dc.width) / bw, static_cast<double>(dc.height) / bh);
    cairo_set_source_surface(cr, bmp, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
  } else {
    cairo_set_source_rgb(cr, 0.16, 0.16, 0.18);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.55, 0.55, 0.6);
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 9.0);
    cairo_move_to(cr, 2.0, 10.0);
    cairo_show_text(cr, std::to_string(id).c_str());
  }
  cairo_surface_destroy(bmp);
  cairo_destroy(cr);
  cairo_surface_flush(target);
  cairo_surface_destroy(target);
  return found;
}

void Blit(const DeviceContext& src, DeviceContext& dst, int x, int y) {
  int x0 = std::max(0, x), y0 = std::max(0, y);
  int x1 = std::min(dst.width, x + src.width), y1 = std::min(dst.height, y + src.height);
  if (x0 >= x1) return;
  for (int row = y0; row < y1; ++row) {
    const std::uint32_t* s = &src.pixels[static_cast<std::size_t>(row - y) * src.width + (x0 - x)];
    std::uint32_t* d = &dst.pixels[static_cast<std::size_t>(row) * dst.width + x0];
    std::memcpy(d, s, static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t));
  }
}

}  // namespace ovi::gfx
