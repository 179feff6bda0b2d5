#include "platform/gfx/image_io.h"

#include <cairo.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gfx/graphics.h"
#include "platform/os/files.h"

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

namespace {

// The rows of a premultiplied ARGB32 picture as 8-bit RGBA, colours
// unpremultiplied the way Cairo's own PNG writer does, so that both writers
// read back to the same pixels. libpng reports errors by a long jump: only
// plain data lives in this frame.
bool WriteFastRows(png_structp png, png_infop info, std::FILE* file, const DeviceContext& dc, unsigned char* row,
                   png_text* text) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(dc.width), static_cast<png_uint_32>(dc.height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (text != nullptr) png_set_text(png, info, text, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  for (int y = 0; y < dc.height; ++y) {
    const std::uint32_t* px = &dc.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(dc.width)];
    unsigned char* out = row;
    for (int x = 0; x < dc.width; ++x, out += 4) {
      const std::uint32_t p = px[x];
      const std::uint32_t a = p >> 24;
      if (a == 255) {  // most pixels: nothing to divide
        out[0] = static_cast<unsigned char>(p >> 16);
        out[1] = static_cast<unsigned char>(p >> 8);
        out[2] = static_cast<unsigned char>(p);
        out[3] = 255;
        continue;
      }
      if (a == 0) {
        out[0] = out[1] = out[2] = out[3] = 0;
        continue;
      }
      out[0] = static_cast<unsigned char>((((p >> 16) & 0xFF) * 255 + a / 2) / a);
      out[1] = static_cast<unsigned char>((((p >> 8) & 0xFF) * 255 + a / 2) / a);
      out[2] = static_cast<unsigned char>(((p & 0xFF) * 255 + a / 2) / a);
      out[3] = static_cast<unsigned char>(a);
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

// A picture written over an earlier one replaces it only once whole.
bool WritePngFast(const DeviceContext& dc, os::FileReplacement& out, std::string_view software) {
  std::vector<unsigned char> row(static_cast<std::size_t>(dc.width) * 4);
  std::string key = "Software", value(software);
  png_text text{};
  text.compression = PNG_TEXT_COMPRESSION_NONE;
  text.key = key.data();
  text.text = value.data();
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool ok = info != nullptr && WriteFastRows(png, info, out.file(), dc, row.data(), software.empty() ? nullptr : &text);
  png_destroy_write_struct(&png, &info);
  return ok;
}

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<std::FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                                   : CAIRO_STATUS_WRITE_ERROR;
}

cairo_status_t WriteToString(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr std::size_t kIhdrEnd = 8 + 4 + 4 + 13 + 4;  // the signature, then IHDR's length, type, data, CRC

std::uint32_t Crc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

void AppendBigEndian(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// A tEXt chunk "Software" put right after the header of the PNG bytes
// Cairo wrote, which has no way to add one; the pixels stay as they were.
bool AddSoftwareText(std::string& png, std::string_view software) {
  if (png.size() < kIhdrEnd || png.compare(0, 8, kPngSignature, 8) != 0 || png.compare(12, 4, "IHDR") != 0)
    return false;
  std::string body = "tEXtSoftware";
  body += '\0';
  body += software;
  std::string chunk;
  AppendBigEndian(chunk, static_cast<std::uint32_t>(body.size() - 4));
  chunk += body;
  AppendBigEndian(chunk, Crc32(body));
  png.insert(kIhdrEnd, chunk);
  return true;
}

}  // namespace

bool WritePng(const DeviceContext& dc, const std::string& path, PngSpeed speed, std::string_view software,
              os::FileProblem* problem) {
  detail::SettleClippedDrawing(dc);
  if (!Drawable(dc)) return false;
  os::FileReplacement out(path, os::FileReplacement::Sync::kToSystem);
  auto done = [&](bool ok) {
    if (!ok && problem != nullptr) *problem = out.problem();
    return ok;
  };
  if (out.file() == nullptr) return done(false);
  if (speed == PngSpeed::kFast) return done(WritePngFast(dc, out, software) && out.Commit());
  cairo_surface_t* s = SurfaceOf(dc);
  if (s == nullptr) return false;
  cairo_status_t st = CAIRO_STATUS_SUCCESS;
  if (software.empty()) {
    st = cairo_surface_write_to_png_stream(s, WriteToFile, out.file());
  } else {
    std::string png;
    st = cairo_surface_write_to_png_stream(s, WriteToString, &png);
    if (st == CAIRO_STATUS_SUCCESS && (!AddSoftwareText(png, software) || !out.Write(png)))
      st = CAIRO_STATUS_WRITE_ERROR;
  }
  cairo_surface_destroy(s);
  return done(st == CAIRO_STATUS_SUCCESS && out.Commit());
}

std::string PngSoftware(const std::string& path) {
  std::FILE* f = os::OpenRegularFile(path, kMaxPictureFileBytes);
  if (f == nullptr) return "";
  std::string software;
  unsigned char head[8];
  bool png = std::fread(head, 1, 8, f) == 8 && std::memcmp(head, kPngSignature, 8) == 0;
  // The chunks ahead of the pixels; a text chunk of this size or larger is
  // no program's name.
  constexpr std::uint32_t kMaxText = 4096;
  while (png && std::fread(head, 1, 8, f) == 8) {
    const std::uint32_t length = static_cast<std::uint32_t>(head[0]) << 24 | static_cast<std::uint32_t>(head[1]) << 16 |
                                 static_cast<std::uint32_t>(head[2]) << 8 | head[3];
    const std::string_view type(reinterpret_cast<const char*>(head + 4), 4);
    if (type == "IDAT" || type == "IEND" || length > 0x7FFFFFFFu) break;
    if (type == "tEXt" && length < kMaxText) {
      std::string text(length, '\0');
      if (std::fread(text.data(), 1, length, f) != length) break;
      if (text.compare(0, 9, std::string_view("Software\0", 9)) == 0) {
        software = text.substr(9);
        break;
      }
      if (std::fseek(f, 4, SEEK_CUR) != 0) break;
    } else if (std::fseek(f, static_cast<long>(length) + 4, SEEK_CUR) != 0) {
      break;
    }
  }
  std::fclose(f);
  return software;
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

namespace {

bool PngSize(const std::string& path, int& width, int& height, std::string* why) {
  // The signature, then the IHDR chunk: length, type, width, height.
  unsigned char head[24];
  os::FileProblem problem;
  std::FILE* f = os::OpenRegularFile(path, kMaxPictureFileBytes, &problem);
  if (f == nullptr) {
    if (why != nullptr && !problem.missing()) *why = problem.text;
    return false;
  }
  const bool read = std::fread(head, 1, sizeof head, f) == sizeof head;
  std::fclose(f);
  if (!read || std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0) return false;
  auto big_endian = [&](int at) {
    return static_cast<std::uint32_t>(head[at]) << 24 | static_cast<std::uint32_t>(head[at + 1]) << 16 |
           static_cast<std::uint32_t>(head[at + 2]) << 8 | head[at + 3];
  };
  const std::uint32_t w = big_endian(16), h = big_endian(20);
  if (w > 0x7FFFFFFFu || h > 0x7FFFFFFFu) return false;  // not a PNG's size
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

}  // namespace

bool ReadPngSize(const std::string& path, int& width, int& height) { return PngSize(path, width, height, nullptr); }

bool PaintPictureFile(DeviceContext& dc, const std::string& path, std::string* why) {
  if (why != nullptr) why->clear();
  if (!Drawable(dc)) return false;
  int w = 0, h = 0;
  if (!PngSize(path, w, h, why) || w > kMaxPictureSide || h > kMaxPictureSide) return false;
  Bitmap bmp(path);
  if (bmp.GetLastStatus() != Ok || bmp.GetWidth() <= 0 || bmp.GetHeight() <= 0) return false;
  Recorder* rec = dc.recorder;
  dc.recorder = nullptr;
  {
    Graphics g(&dc);
    g.SetPixelOffsetMode(PixelOffsetMode::Half);
    g.DrawImage(bmp, 0, 0, static_cast<REAL>(dc.width), static_cast<REAL>(dc.height));
  }
  dc.recorder = rec;
  return true;
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
