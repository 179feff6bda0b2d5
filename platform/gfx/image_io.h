// PNG files and background bitmaps of device contexts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/gfx/device_context.h"

namespace ovi::os {
struct FileProblem;
}  // namespace ovi::os

namespace ovi::gfx {

// How WritePng weighs file size against time. kSmall: the PNG library's
// usual filtering and compression. kFast: no filtering and the fastest
// compression, several times quicker for files a little larger (pictures
// written while a flight runs). Both read back to the same pixels.
enum class PngSpeed { kSmall, kFast };

// Writes the device context's pixels as a PNG file (8-bit RGBA, colours
// unpremultiplied); false when it cannot, with `problem` (when given)
// saying why where the file could not be written. `software`, when not
// empty, is written into the file as its "Software" text: the program that
// made it, so that a tool tells its own pictures from others' before it
// writes over one (PngSoftware).
bool WritePng(const DeviceContext& dc, const std::string& path, PngSpeed speed = PngSpeed::kSmall,
              std::string_view software = {}, os::FileProblem* problem = nullptr);

// The "Software" text a PNG file carries ahead of its pixels; empty when
// it carries none, or is no PNG file or none that can be read.
std::string PngSoftware(const std::string& path);

// Paints bitmap resource `id` (resources_dir/<id>.png) into the device
// context, scaled to its size. A missing or unreadable bitmap paints a dark
// neutral fill with the id written small, so missing art shows and nothing
// fails. Returns false when the bitmap was missing.
bool PaintBitmapResource(DeviceContext& dc, const std::string& resources_dir, std::uint32_t id);

// Longest side of a picture file PaintPictureFile decodes: a larger one is
// refused from its header, before its pixels would take gigabytes.
constexpr int kMaxPictureSide = 16384;

// Largest picture file read, in bytes: only a regular file is read (a
// named pipe or a device is refused at once, platform/os/files.h), and one
// larger than this is refused before a byte of it is read.
constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{256} << 20;

// The width and height in a PNG file's header; false when the file does
// not start as a PNG.
bool ReadPngSize(const std::string& path, int& width, int& height);

// Paints the picture file at `path` (PNG) into the device context, scaled
// to its size, over what is there (a panel window's background); false,
// painting nothing, when the file cannot be read or is larger than
// kMaxPictureSide on a side. `why`, when given, receives the reason a file
// that is there was refused unread ("not a regular file (a named pipe)",
// "larger than 256 MB"); it stays empty otherwise.
bool PaintPictureFile(DeviceContext& dc, const std::string& path, std::string* why = nullptr);

// Copies `src` into `dst` at (x, y), clipped to `dst` (composes panel windows).
void Blit(const DeviceContext& src, DeviceContext& dst, int x, int y);

}  // namespace ovi::gfx
