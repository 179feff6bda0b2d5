// Texts shaped before, kept for the next time the same text is drawn in the
// same font at the same scale. Map labels repeat frame after frame, and
// laying one out again (cairo_show_text: character to glyph, metrics,
// positions) costs as much as drawing it. A kept run holds each glyph's
// index and advance; showing it places the glyphs from the current point
// exactly as cairo_show_text does (each glyph where the advances summed so
// far put it) and draws them with cairo_show_glyphs, so the pixels are the
// same.
//
// Keyed on the font face, the font matrix, the linear part of the
// transform, the text rendering hint and the text: what decides Cairo's
// scaled font and its glyphs. One store serves the process, guarded by a
// mutex, bounded in entries (the least recently used goes first).
#pragma once

#include <cstddef>
#include <string_view>

typedef struct _cairo cairo_t;
typedef struct _cairo_font_face cairo_font_face_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace ovi::gfx::detail {

inline constexpr std::size_t kMaxGlyphRuns = 4096;

// Shows `utf8` (not empty) at the current point of `cr`, whose font face,
// size and options are set to `face`, `em` and the hint `hint` (its scaled
// font `sf`), from a kept run (shaping and keeping it first when there is
// none). False when Cairo could not shape it; nothing is drawn then.
bool ShowKeptText(cairo_t* cr, cairo_scaled_font_t* sf, cairo_font_face_t* face, double em, int hint,
                  std::string_view utf8);

// Runs kept now; forgets them all.
std::size_t GlyphRunsKept();
void ForgetGlyphRuns();

}  // namespace ovi::gfx::detail
