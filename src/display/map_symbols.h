// The map symbol painter: the one place where the shapes and colours of the
// small map symbols are defined. Every map display and the traffic overlay
// call DrawMapSymbol; none draws these shapes itself.
#pragma once

#include <cstdint>

#include "platform/gfx/graphics.h"
#include "src/display/kit.h"

namespace ovi::display {

// The colours of the map symbols: the displays' palette, with a grey and a
// darker red of their own (ARGB).
inline constexpr gfx::ARGB kMapWhite = colour::kWhite;
inline constexpr gfx::ARGB kMapMagenta = colour::kMagenta;
inline constexpr gfx::ARGB kMapCyan = colour::kCyan;
inline constexpr gfx::ARGB kMapGreen = colour::kGreen;
inline constexpr gfx::ARGB kMapGrey = 0xFFC0C0C0;
inline constexpr gfx::ARGB kMapYellow = colour::kYellow;
inline constexpr gfx::ARGB kMapBlue = colour::kBlue;
inline constexpr gfx::ARGB kMapRed = 0xFFC90101;
inline constexpr gfx::ARGB kMapBlack = colour::kBlack;

// Symbol codes.
enum MapSymbolCode : std::uint32_t {
  kSymbolVortac = 1,          // hexagon with three blocks
  kSymbolVorDme = 2,          // hexagon
  kSymbolIntersection = 3,    // triangle
  kSymbolNdb = 4,             // circle with two side lobes and a stem
  kSymbolAirport = 5,         // circle with four blocks
  kSymbolOwnAircraftSmall = 11,
  kSymbolOwnAircraftSwept = 12,
  kSymbolWaypointStar = 20,
  kSymbolWaypointDiamond = 21,
  kSymbolRangeLabel = 30,     // prints `value`
  kSymbolTcasRangeLabel = 31, // prints P1000TcasRange
  kSymbolHeadingBox = 40,     // prints AircraftHeading
  kSymbolOwnAircraftLarge = 50,
  kSymbolTrafficOther = 60,   // 60..63 small traffic symbols
  kSymbolTrafficProximate = 61,
  kSymbolTrafficAdvisory = 62,
  kSymbolTrafficResolution = 63,
  kSymbolTrafficOtherLarge = 70,  // 70..73 one and a half times larger
  kSymbolTrafficProximateLarge = 71,
  kSymbolTrafficAdvisoryLarge = 72,
  kSymbolTrafficResolutionLarge = 73,
  kSymbolDu1000Circle = 74,   // the codes of Du1000SymbolCodes
  kSymbolDu1000CircleTicks = 75,
  kSymbolDu1000CircleCross = 76,
};

// Colour styles (what each means depends on the symbol).
enum MapSymbolStyle : std::uint32_t {
  kStyleDefault = 0,  // white on most symbols
  kStyleBlue = 1,
  kStyleCyan = 2,     // traffic symbols: anything but 0 is cyan
  kStyleGreen = 3,
  kStyleMagenta = 4,
  kStyleYellow = 5,
};

// Vertical trend of the traffic symbols (60..63, 70..73).
constexpr std::int32_t kTrendClimbing = 1;
constexpr std::int32_t kTrendDescending = 2;

// Draws one symbol with its reference point at (x, y) in the graphics'
// current world coordinates (the caller has already rotated, scaled and
// clipped):
//   code   which symbol (MapSymbolCode); any other code draws nothing
//   trend  traffic symbols only: kTrendClimbing or kTrendDescending draws
//          the arrow right of the symbol, anything else none
//   sx, sy horizontal and vertical scale of the scalable symbols (1..5,
//          20, 21, 74..76); sx is also the base pen width
//   style  colour style (MapSymbolStyle; per symbol)
//   value  code 30 only: the range to print
// Every coordinate and size is computed in floating point and truncated
// toward zero to whole pixels. Codes 30, 31 and 40 print at most
// kSymbolLabelField characters. Returns the status of the last drawing
// operation that failed (Ok when all succeeded; InvalidParameter, drawing
// nothing, for a point or scale that is not a finite number); no caller
// needs it.
gfx::Status DrawMapSymbol(gfx::Graphics& g, double x, double y, std::uint32_t code, std::int32_t trend, double sx,
                          double sy, std::uint32_t style, double value);

// Marks placed on a map move, every one of them, while the map turns or
// the aircraft flies: their strokes are drawn on an eighth of a device
// pixel (gfx::Graphics::SetStrokeSnap), so that each paints the coverage
// kept for its sub-pixel phase instead of being rasterised anew
// (docs/drawing.md, "Kept between frames").
inline constexpr int kMarkSnap = 8;

// The marks' stroke snap for a scope; the caller's is put back at its end.
class MarkSnap {
 public:
  explicit MarkSnap(gfx::Graphics& g) : g_(g), before_(g.GetStrokeSnap()) { g_.SetStrokeSnap(kMarkSnap); }
  ~MarkSnap() { g_.SetStrokeSnap(before_); }
  MarkSnap(const MarkSnap&) = delete;
  MarkSnap& operator=(const MarkSnap&) = delete;

 private:
  gfx::Graphics& g_;
  int before_;
};

// Longest text a range label or the heading readout prints.
constexpr int kSymbolLabelField = 4;

}  // namespace ovi::display
