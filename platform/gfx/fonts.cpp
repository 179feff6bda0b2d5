#include "platform/gfx/fonts.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/gfx/types.h"

#ifndef OVI_GFX_FONTS_CONF
#define OVI_GFX_FONTS_CONF ""
#endif

// Sanitizer builds: fontconfig itself loses a little memory while it reads
// some system configurations (a <rejectfont> pattern is never freed); that
// is not ours to mend. Its frames carry no frame pointers, so the leak
// reports end inside the library: leak checking skips allocations made there.
#if defined(__SANITIZE_ADDRESS__)
#define OVI_GFX_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OVI_GFX_ASAN 1
#endif
#endif
#ifdef OVI_GFX_ASAN
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace ovi::gfx::detail {

namespace {

// Process-lifetime font state. Faces are keyed by family and style only; they
// never refer to a device context, so they stay valid whatever surfaces come
// and go. The state is intentionally never torn down (faces may be referenced
// by cairo's own scaled-font cache until exit).
struct FontState {
  std::mutex mu;
  bool configured = false;
  bool loaded = false;
  FcConfig* config = nullptr;
  std::string path;
  std::unordered_map<std::string, std::unique_ptr<FaceEntry>> faces;
};

FontState& State() {
  static FontState* s = new FontState();
  return *s;
}

bool FileExists(const std::string& p) {
  struct stat st{};
  return !p.empty() && stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void ConfigureLocked(FontState& s) {
  if (s.configured) return;
  s.configured = true;
  const char* env = std::getenv("OVI_FONTS_CONF");
  s.path = (env != nullptr && *env != '\0') ? env : OVI_GFX_FONTS_CONF;
  s.config = FcInitLoadConfigAndFonts();
  if (s.config != nullptr && FileExists(s.path)) {
    s.loaded = FcConfigParseAndLoad(s.config, reinterpret_cast<const FcChar8*>(s.path.c_str()), FcTrue) == FcTrue;
  }
}

std::string Key(std::string_view family, int style) {
  std::string k;
  k.reserve(family.size() + 2);
  for (char c : family) k.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  k.push_back('\0');
  k.push_back(static_cast<char>('0' + (style & 3)));
  return k;
}

void MeasureMetrics(FaceEntry& e) {
  cairo_matrix_t fm, ctm;
  cairo_matrix_init_scale(&fm, 1000.0, 1000.0);
  cairo_matrix_init_identity(&ctm);
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
  cairo_scaled_font_t* sf = cairo_scaled_font_create(e.face, &fm, &ctm, o);
  if (cairo_scaled_font_status(sf) == CAIRO_STATUS_SUCCESS) {
    cairo_font_extents_t ext;
    cairo_scaled_font_extents(sf, &ext);
    if (ext.ascent > 0 && ext.height > 0) {
      e.ascent = ext.ascent / 1000.0;
      e.descent = ext.descent / 1000.0;
      e.line_spacing = ext.height / 1000.0;
    }
  }
  cairo_scaled_font_destroy(sf);
  cairo_font_options_destroy(o);
}

std::unique_ptr<FaceEntry> Resolve(FontState& s, std::string_view family, int style) {
  auto e = std::make_unique<FaceEntry>();
  FcPattern* pat = FcPatternCreate();
  std::string fam(family);
  if (fam.empty()) fam = "sans-serif";
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(fam.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, (style & FontStyleBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, (style & FontStyleItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(s.config, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = s.config != nullptr ? FcFontMatch(s.config, pat, &result) : nullptr;
  FcPatternDestroy(pat);
  FcChar8* file = nullptr;
  if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    // Only what names the face and its synthetic styling: rendering options
    // (antialiasing, hinting) come from the layer, not from the system.
    FcPattern* minimal = FcPatternCreate();
    FcPatternAddString(minimal, FC_FILE, file);
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternAddInteger(minimal, FC_INDEX, index);
    FcBool embolden = FcFalse;
    if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch) {
      FcPatternAddBool(minimal, FC_EMBOLDEN, embolden);
    }
    FcMatrix* m = nullptr;
    if (FcPatternGetMatrix(match, FC_MATRIX, 0, &m) == FcResultMatch && m != nullptr) {
      FcPatternAddMatrix(minimal, FC_MATRIX, m);
    }
    FcChar8* rf = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &rf) == FcResultMatch) e->resolved_family = reinterpret_cast<char*>(rf);
    e->file = reinterpret_cast<char*>(file);
    e->face = cairo_ft_font_face_create_for_pattern(minimal);
    FcPatternDestroy(minimal);
  }
  if (match != nullptr) FcPatternDestroy(match);
  if (e->face == nullptr || cairo_font_face_status(e->face) != CAIRO_STATUS_SUCCESS) {
    if (e->face != nullptr) cairo_font_face_destroy(e->face);
    e->face = cairo_toy_font_face_create("sans-serif",
                                         (style & FontStyleItalic) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                         (style & FontStyleBold) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    e->resolved_family = "sans-serif";
  }
  MeasureMetrics(*e);
  return e;
}

}  // namespace

bool EnsureFontConfig() {
  FontState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  ConfigureLocked(s);
  return s.loaded;
}

std::string FontConfigPath() {
  FontState& s = State();
  std::lock_guard<std::mutex> lock(s.mu);
  ConfigureLocked(s);
  return s.path;
}

const FaceEntry* LookupFace(std::string_view family, int style) {
  FontState& s = State();
  std::string key = Key(family, style);
  std::lock_guard<std::mutex> lock(s.mu);
  auto it = s.faces.find(key);
  if (it != s.faces.end()) return it->second.get();
  ConfigureLocked(s);
  auto entry = Resolve(s, family, style);
  const FaceEntry* p = entry.get();
  s.faces.emplace(std::move(key), std::move(entry));
  return p;
}

const cairo_font_options_t* FontOptionsFor(int hint) {
  static cairo_font_options_t* const* table = [] {
    static cairo_font_options_t* t[6];
    for (int i = 0; i < 6; ++i) {
      t[i] = cairo_font_options_create();
      cairo_font_options_set_hint_metrics(t[i], CAIRO_HINT_METRICS_OFF);
      bool aliased = i == 1 || i == 2;
      cairo_font_options_set_antialias(t[i], aliased ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
      bool grid = i == 0 || i == 1 || i == 3 || i == 5;
      cairo_font_options_set_hint_style(t[i], grid ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_NONE);
    }
    return t;
  }();
  if (hint < 0 || hint > 5) hint = 4;
  return table[hint];
}

}  // namespace ovi::gfx::detail
