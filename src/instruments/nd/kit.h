// The drawing kit of the navigation displays. Every display of the module
// (the B737 and MD-11 NDs here, and the EHSIs, EFS 50, P1000 and C-17 maps
// that follow their shape) draws on a fixed logical canvas scaled to its
// element at every frame, with the family's palette and fonts, and calls its
// layers from a table of (condition, routine). docs/displays.md describes how
// a display is put together from these pieces.
#pragma once

#include <cstddef>
#include <span>

#include "platform/gfx/graphics.h"

namespace ovi::nd {

// --- Palette (ARGB) ---------------------------------------------------------
namespace colour {
inline constexpr gfx::ARGB kGreen = 0xFF00FA00;
inline constexpr gfx::ARGB kWhite = 0xFFDEE6E9;
inline constexpr gfx::ARGB kMagenta = 0xFFFF13D5;
inline constexpr gfx::ARGB kBlue = 0xFF02A7EB;
inline constexpr gfx::ARGB kCyan = 0xFF00E6E9;
inline constexpr gfx::ARGB kLightGreen = 0xFF5BE5A7;
inline constexpr gfx::ARGB kAmber = 0xFFE9B73E;
inline constexpr gfx::ARGB kYellow = 0xFFFFFF00;
inline constexpr gfx::ARGB kRed = 0xFFFF0000;
inline constexpr gfx::ARGB kBlack = 0xFF000000;
// What a display shows while it is switched off or blanked.
inline constexpr gfx::ARGB kTransparent = 0x00000000;
}  // namespace colour

// Opaque background from the three colour keys of an aircraft file; only
// the low 8 bits of each count.
gfx::ARGB BackgroundColour(int red, int green, int blue);

// --- Canvas and scale -------------------------------------------------------
// The logical canvas a display is drawn on, in canvas units; x to the right,
// y downwards, origin top left.
struct Canvas {
  float width;
  float height;
};

// Canvas units to device pixels, in single precision as the displays
// compute it. `usable` is false for a surface without pixels.
struct CanvasScale {
  float sx = 1.0f;
  float sy = 1.0f;
  bool usable = false;
};
CanvasScale ScaleToSurface(const Canvas& canvas, int width, int height);

// The fine grid the map layers project on: the world transform is scaled by
// (W / (W + H), H / (W + H)) and canvas coordinates are multiplied by
// gx = (W + H) / canvas width and gy = (W + H) / canvas height before they
// are truncated for the integer calls, so a truncated point lands on a
// device pixel rather than on a whole canvas unit.
struct FineGrid {
  double gx = 1.0;
  double gy = 1.0;
  float wx = 1.0f;  // W / (W + H)
  float wy = 1.0f;  // H / (W + H)
};
FineGrid FineGridFor(const Canvas& canvas, int width, int height);

// Reset the transform and scale to the canvas; then, for UseOrigin, move the
// origin to (x, y) and rotate by `rotation` degrees (clockwise on screen).
// A rotation that is not a finite number counts as 0.
void UseCanvas(gfx::Graphics& g, const CanvasScale& scale);
void UseOrigin(gfx::Graphics& g, const CanvasScale& scale, float x, float y, double rotation = 0.0);

// `value` when it is a finite number, else `fallback`: every per-tick value
// goes through this before it reaches a transform or an integer conversion.
double FiniteOr(double value, double fallback = 0.0);

// --- Fonts ------------------------------------------------------------------
// Sizes are canvas units (pixel unit under the canvas scale).
gfx::Font ArialBold(float size);
gfx::Font DaReredBold(float size);

// --- Screen texts -------------------------------------------------------------
// Texts are formatted printf-style into a narrow buffer and drawn as at most
// kScreenTextChars characters (the wide buffer the displays convert into),
// placed by the top-left corner of their layout box.
inline constexpr std::size_t kScreenTextBuffer = 140;
inline constexpr std::size_t kScreenTextChars = 99;

void DrawScreenText(gfx::Graphics& g, const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y,
                    const char* text);
void DrawScreenTextF(gfx::Graphics& g, const gfx::Font& font, const gfx::SolidBrush& brush, float x, float y,
                     const char* format, ...) __attribute__((format(printf, 6, 7)));
// Number of characters the text of `format` has (as drawn, at most
// kScreenTextChars).
std::size_t ScreenTextLength(const char* format, ...) __attribute__((format(printf, 1, 2)));

// --- Layer tables -------------------------------------------------------------
// One layer of a display: drawn in table order whenever its condition holds.
// Conditions read the shared state and the frame only; they draw nothing, so
// a table can be checked without a surface.
template <typename Frame>
struct Layer {
  const char* name;
  bool (*condition)(const Frame& frame);
  void (*draw)(const Frame& frame);
};

template <typename Frame>
void DrawLayers(std::span<const Layer<Frame>> layers, const Frame& frame) {
  for (const Layer<Frame>& layer : layers) {
    if (layer.condition(frame)) layer.draw(frame);
  }
}

}  // namespace ovi::nd
