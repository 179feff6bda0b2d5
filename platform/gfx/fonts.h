// Internal: font faces through fontconfig and FreeType, cached by family and
// style for the life of the process (faces hold no device context).
#pragma once

#include <string>
#include <string_view>

typedef struct _cairo_font_face cairo_font_face_t;
typedef struct _cairo_font_options cairo_font_options_t;

namespace ovi::gfx::detail {

struct FaceEntry {
  cairo_font_face_t* face = nullptr;
  std::string resolved_family;  // the installed family that serves the request
  std::string file;
  // Metrics per em: cell ascent and descent, line spacing.
  double ascent = 0.905, descent = 0.212, line_spacing = 1.149;
};

// The face for `family` (any case) and the bold/italic bits of `style`. Never
// null: an unknown family is served by the default sans face.
const FaceEntry* LookupFace(std::string_view family, int style);

// Loads the project's font configuration once (also done lazily by LookupFace).
// Returns false when the configuration file could not be read (the system
// configuration is then used alone).
bool EnsureFontConfig();
// The configuration file in use.
std::string FontConfigPath();

// Shared font options per text rendering hint value (0..5).
const cairo_font_options_t* FontOptionsFor(int hint);

}  // namespace ovi::gfx::detail
