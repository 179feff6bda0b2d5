// Texts shaped before and glyphs rasterised before, kept for the next time.
// Map labels repeat frame after frame; laying one out again (character to
// glyph, metrics, positions) and handing it to Cairo's glyph compositor
// costs far more than painting what its glyphs cover.
//
// A kept run holds each glyph's index and advance as Cairo's own shaping
// gives them; its advances summed are the text's advance, and the glyphs
// are placed from the current point exactly as cairo_show_text places them
// (each where the advances summed so far put it). A kept glyph image holds
// the coverage Cairo's glyph cache holds for that glyph: drawn alone, OVER,
// in opaque white, onto a clear alpha surface at a whole pixel. Painting a
// text then does what Cairo's image compositor does with the same glyphs:
// each glyph at its device position rounded half up to a whole pixel, in
// the source colour IN its coverage OVER the pixels (pixman's rounding);
// where glyph boxes meet, the coverages are first added into one mask
// (saturating) and that is painted once. The pixels are Cairo's.
//
// Keyed on the font face, the font size, the linear part of the transform
// and the text rendering hint (what decides Cairo's scaled font), plus the
// text or the glyph index. One store of each serves the process, guarded
// by a mutex, bounded in entries (the least recently used goes first).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

typedef struct _cairo_font_face cairo_font_face_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace ovi::gfx::detail {

inline constexpr std::size_t kMaxGlyphRuns = 4096;
inline constexpr std::size_t kMaxGlyphImages = 4096;

// What decides a scaled font: face, size (em, user units), the linear part
// of the user-to-device transform, the text rendering hint.
struct TextFont {
  cairo_font_face_t* face = nullptr;
  double em = 0.0;
  double xx = 1.0, yx = 0.0, xy = 0.0, yy = 1.0;
  int hint = 0;
};

struct RunGlyph {
  unsigned long index;
  double x_advance, y_advance;  // user units
};

// The scaled font of a TextFont, worked out only when something must be
// shaped or rasterised (null when Cairo fails).
using ScaledFontSource = std::function<cairo_scaled_font_t*()>;

// The glyphs of `utf8` in `font` into `out`, from the kept run (shaping and
// keeping it first when there is none). False when Cairo could not shape it.
bool KeptRun(const TextFont& font, std::string_view utf8, const ScaledFontSource& scaled,
             std::vector<RunGlyph>& out);

// The box of a run's ink about its first glyph's place, as
// cairo_scaled_font_glyph_extents gives it for the run's glyphs placed from
// the origin: worked out once and kept with the run. False when Cairo could
// not shape the text or the run has no ink.
struct RunInk {
  double x_bearing = 0.0, y_bearing = 0.0, width = 0.0, height = 0.0;
};
bool KeptRunInk(const TextFont& font, std::string_view utf8, const ScaledFontSource& scaled, RunInk& out);

// The advance of a run, summed as Cairo sums it.
double RunAdvance(const std::vector<RunGlyph>& run);

// A glyph at its device position (already transformed by the current
// transform; the layer rounds it to a whole pixel as Cairo does).
struct PlacedGlyph {
  unsigned long index;
  double x, y;
};

// Paints the glyphs OVER the ARGB32 pixels in `argb`, within the box
// [x0, x1) x [y0, y1) and, with a `clip`, only where it lets them through.
// False, painting nothing, when a glyph image could not be made (the caller
// then draws with Cairo).
struct ClipPixels;
bool PaintKeptGlyphs(const TextFont& font, const std::vector<PlacedGlyph>& glyphs, const ScaledFontSource& scaled,
                     std::uint32_t* pixels, int stride, int x0, int y0, int x1, int y1, std::uint32_t argb,
                     const ClipPixels* clip = nullptr);

// Entries kept now; forgets them all.
struct GlyphStoreSize {
  std::size_t runs = 0;
  std::size_t images = 0;
};
GlyphStoreSize GlyphStoresUsed();
void ForgetGlyphRuns();

}  // namespace ovi::gfx::detail
