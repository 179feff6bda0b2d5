#include "platform/gfx/glyph_runs.h"

#include <cairo.h>

#include <cstring>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace ovi::gfx::detail {

namespace {

struct Glyph {
  unsigned long index;
  double x_advance, y_advance;
};

struct Run {
  std::string key;
  std::vector<Glyph> glyphs;
};

struct Store {
  std::mutex mu;
  std::list<Run> lru;  // most recently used first
  std::unordered_map<std::string_view, std::list<Run>::iterator> index;
};

Store& Runs() {
  // Never destroyed: gauges may still draw while the process exits.
  static Store* store = new Store;
  return *store;
}

template <typename T>
void Append(std::string& key, const T& v) {
  char bytes[sizeof v];
  std::memcpy(bytes, &v, sizeof v);
  key.append(bytes, sizeof v);
}

// Cairo's own shaping of the text in the scaled font, kept as glyphs and
// advances; false when it fails.
bool Shape(cairo_scaled_font_t* sf, std::string_view utf8, std::vector<Glyph>& out) {
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  const cairo_status_t status = cairo_scaled_font_text_to_glyphs(sf, 0.0, 0.0, utf8.data(), static_cast<int>(utf8.size()),
                                                                 &glyphs, &count, nullptr, nullptr, nullptr);
  if (status != CAIRO_STATUS_SUCCESS) {
    cairo_glyph_free(glyphs);
    return false;
  }
  out.clear();
  for (int i = 0; i < count; ++i) {
    // One glyph's extents at the origin give its advance as the shaping
    // summed it.
    cairo_glyph_t one{glyphs[i].index, 0.0, 0.0};
    cairo_text_extents_t ext;
    cairo_scaled_font_glyph_extents(sf, &one, 1, &ext);
    out.push_back(Glyph{glyphs[i].index, ext.x_advance, ext.y_advance});
  }
  cairo_glyph_free(glyphs);
  return cairo_scaled_font_status(sf) == CAIRO_STATUS_SUCCESS;
}

thread_local std::string key_scratch;
thread_local std::vector<cairo_glyph_t> placed;

}  // namespace

bool ShowKeptText(cairo_t* cr, cairo_scaled_font_t* sf, cairo_font_face_t* face, double em, int hint,
                  std::string_view utf8) {
  cairo_matrix_t ctm;
  cairo_get_matrix(cr, &ctm);
  std::string& key = key_scratch;
  key.clear();
  Append(key, face);
  Append(key, em);
  Append(key, ctm.xx), Append(key, ctm.yx), Append(key, ctm.xy), Append(key, ctm.yy);
  Append(key, hint);
  key.append(utf8);
  // The glyphs go where cairo_show_text puts them: from the current point
  // (as Cairo reads it back), each advance added to the last position.
  double x, y;
  cairo_get_current_point(cr, &x, &y);
  {
    Store& s = Runs();
    std::lock_guard<std::mutex> lock(s.mu);
    auto found = s.index.find(std::string_view(key));
    if (found == s.index.end()) {
      std::vector<Glyph> glyphs;
      if (!Shape(sf, utf8, glyphs)) return false;
      s.lru.push_front(Run{key, std::move(glyphs)});
      found = s.index.emplace(std::string_view(s.lru.front().key), s.lru.begin()).first;
      while (s.lru.size() > kMaxGlyphRuns) {
        s.index.erase(std::string_view(s.lru.back().key));
        s.lru.pop_back();
      }
    } else {
      s.lru.splice(s.lru.begin(), s.lru, found->second);
    }
    placed.clear();
    for (const Glyph& g : found->second->glyphs) {
      placed.push_back(cairo_glyph_t{g.index, x, y});
      x += g.x_advance;
      y += g.y_advance;
    }
  }
  if (!placed.empty()) cairo_show_glyphs(cr, placed.data(), static_cast<int>(placed.size()));
  return true;
}

std::size_t GlyphRunsKept() {
  Store& s = Runs();
  std::lock_guard<std::mutex> lock(s.mu);
  return s.lru.size();
}

void ForgetGlyphRuns() {
  Store& s = Runs();
  std::lock_guard<std::mutex> lock(s.mu);
  s.index.clear();
  s.lru.clear();
}

}  // namespace ovi::gfx::detail
