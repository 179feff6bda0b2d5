// Plain value types of the drawing layer: status codes, colours, points,
// rectangles and the mode enumerations. Numeric values follow the ones the
// gauges were written against (smoothing mode 2 is high quality, text hint 4
// is anti-alias, ...), so code can be read side by side with its description.
#pragma once

#include <cmath>
#include <cstdint>

namespace ovi::gfx {

using REAL = float;
using ARGB = std::uint32_t;

// The status word every call returns. Failed calls draw nothing.
enum Status : int {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
};

const char* StatusName(Status s);

struct Color {
  ARGB argb = 0xFF000000u;
  constexpr Color() = default;
  constexpr Color(ARGB value) : argb(value) {}  // NOLINT: implicit like the original
  constexpr Color(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
      : argb((ARGB{a} << 24) | (ARGB{r} << 16) | (ARGB{g} << 8) | ARGB{b}) {}
  constexpr Color(std::uint8_t r, std::uint8_t g, std::uint8_t b) : Color(255, r, g, b) {}
  constexpr std::uint8_t GetA() const { return static_cast<std::uint8_t>(argb >> 24); }
  constexpr std::uint8_t GetR() const { return static_cast<std::uint8_t>(argb >> 16); }
  constexpr std::uint8_t GetG() const { return static_cast<std::uint8_t>(argb >> 8); }
  constexpr std::uint8_t GetB() const { return static_cast<std::uint8_t>(argb); }
  constexpr ARGB GetValue() const { return argb; }
};

struct PointF {
  REAL X = 0, Y = 0;
  constexpr PointF() = default;
  constexpr PointF(REAL x, REAL y) : X(x), Y(y) {}
};

struct Point {
  int X = 0, Y = 0;
  constexpr Point() = default;
  constexpr Point(int x, int y) : X(x), Y(y) {}
};

// A computed coordinate or size as the integer drawing calls (...I) take it:
// truncated toward zero, as the gauges' own conversions do. NaN gives 0 and
// values beyond +-1e9 stop there, so the conversion is never undefined
// (nothing that far off lies on any surface).
inline int TruncToPixel(double v) {
  if (std::isnan(v)) return 0;
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<int>(v);
}

struct SizeF {
  REAL Width = 0, Height = 0;
};

struct RectF {
  REAL X = 0, Y = 0, Width = 0, Height = 0;
  constexpr RectF() = default;
  constexpr RectF(REAL x, REAL y, REAL w, REAL h) : X(x), Y(y), Width(w), Height(h) {}
  constexpr REAL GetLeft() const { return X; }
  constexpr REAL GetTop() const { return Y; }
  constexpr REAL GetRight() const { return X + Width; }
  constexpr REAL GetBottom() const { return Y + Height; }
};

struct Rect {
  int X = 0, Y = 0, Width = 0, Height = 0;
  constexpr Rect() = default;
  constexpr Rect(int x, int y, int w, int h) : X(x), Y(y), Width(w), Height(h) {}
};

enum class SmoothingMode : int { Default = 0, HighSpeed = 1, HighQuality = 2, None = 3, AntiAlias = 4 };
enum class PixelOffsetMode : int { Default = 0, HighSpeed = 1, HighQuality = 2, None = 3, Half = 4 };
enum class TextRenderingHint : int {
  SystemDefault = 0,
  SingleBitPerPixelGridFit = 1,
  SingleBitPerPixel = 2,
  AntiAliasGridFit = 3,
  AntiAlias = 4,
  ClearTypeGridFit = 5,
};
enum class FillMode : int { Alternate = 0, Winding = 1 };
enum class MatrixOrder : int { Prepend = 0, Append = 1 };
enum class CombineMode : int { Replace = 0, Intersect = 1, Union = 2, Xor = 3, Exclude = 4, Complement = 5 };
enum class DashStyle : int { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };
enum class LineCap : int { Flat = 0, Square = 1, Round = 2, Triangle = 3 };
enum class LineJoin : int { Miter = 0, Bevel = 1, Round = 2, MiterClipped = 3 };
enum class Unit : int { World = 0, Display = 1, Pixel = 2, Point = 3, Inch = 4, Document = 5, Millimeter = 6 };
enum class StringAlignment : int { Near = 0, Center = 1, Far = 2 };

// Font style bits (may be or-ed).
enum FontStyle : int {
  FontStyleRegular = 0,
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleBoldItalic = 3,
  FontStyleUnderline = 4,
  FontStyleStrikeout = 8,
};

// String format flags used by the gauges.
enum StringFormatFlags : int {
  StringFormatFlagsNoWrap = 0x1000,
  StringFormatFlagsNoClip = 0x4000,
};

}  // namespace ovi::gfx
