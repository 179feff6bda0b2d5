#include "platform/gfx/glyph_runs.h"

#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/gfx/hash_index.h"
#include "platform/gfx/thin_stroke.h"

namespace ovi::gfx::detail {

namespace {

// A hash of a key's bytes, eight at a time.
std::uint64_t HashBytes(std::string_view bytes) {
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ bytes.size();
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, bytes.data() + i, sizeof w);
    h = (h ^ w) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
  h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 29);
}

// A least-recently-used store of values under byte-string keys, found
// through their hashes (HashIndex: a look-up reads a slot or two instead
// of walking nodes over the heap).
template <typename Value>
class Store {
 public:
  explicit Store(std::size_t limit) : limit_(limit), index_(limit + 1) {}
  // The value under `key`, made by `make` (false: nothing kept) when there
  // is none; null when it could not be made. Valid while the lock is held.
  template <typename Make>
  const Value* Find(const std::string& key, Make make) {
    const std::uint64_t hash = HashBytes(key);
    Entry* found = index_.Find(hash);
    if (found != nullptr && found->key == key) {
      lru_.splice(lru_.begin(), lru_, found->self);
      return &found->value;
    }
    Value v;
    if (!make(v)) return nullptr;
    // Another key of the same hash gives way.
    if (found != nullptr) Erase(found->self);
    lru_.push_front(Entry{key, hash, std::move(v), {}});
    lru_.front().self = lru_.begin();
    index_.Insert(hash, &lru_.front());
    while (lru_.size() > limit_) Erase(std::prev(lru_.end()));
    return &lru_.front().value;
  }
  std::size_t Size() const { return lru_.size(); }
  void Clear() {
    index_.Clear();
    lru_.clear();
  }
  std::mutex mu;

 private:
  struct Entry {
    std::string key;
    std::uint64_t hash;
    Value value;
    typename std::list<Entry>::iterator self;  // its own place in the list
  };
  void Erase(typename std::list<Entry>::iterator it) {
    index_.Erase(it->hash);
    lru_.erase(it);
  }
  std::size_t limit_;
  std::list<Entry> lru_;  // most recently used first
  HashIndex<Entry> index_;
};

// A glyph's coverage as Cairo's glyph cache holds it: w x h values whose
// top-left pixel lies (dx, dy) from the glyph's rounded position; and the
// box of its ink in device space, 1/256 pixel from that position, as Cairo
// works it out to decide whether glyphs overlap (`exact` false when the
// box could round otherwise than Cairo rounds it).
struct GlyphImage {
  int dx = 0, dy = 0, w = 0, h = 0;
  std::vector<std::uint8_t> alpha;
  std::int64_t ink_x0 = 0, ink_y0 = 0, ink_x1 = 0, ink_y1 = 0;
  bool exact = true;
};

// A run and, once asked for, the box of its ink.
struct KeptGlyphRun {
  std::vector<RunGlyph> glyphs;
  mutable bool ink_known = false;
  mutable bool inked = false;
  mutable RunInk ink;
};

Store<KeptGlyphRun>& Runs() {
  // Never destroyed: gauges may still draw while the process exits.
  static auto* store = new Store<KeptGlyphRun>(kMaxGlyphRuns);
  return *store;
}

// The glyph images of one font, kept together: a text looks its font up
// once and each glyph by its index.
struct FontGlyphs {
  std::unordered_map<unsigned long, GlyphImage> glyphs;
};

class ImageStore {
 public:
  // The images of the font under `key` (a font's key bytes), kept as most
  // recently used; fonts used least recently go while more than
  // kMaxGlyphImages glyphs are kept.
  FontGlyphs& Font(const std::string& key) {
    auto found = index_.find(std::string_view(key));
    if (found != index_.end()) {
      lru_.splice(lru_.begin(), lru_, found->second);
      return found->second->second;
    }
    lru_.emplace_front(key, FontGlyphs{});
    index_.emplace(std::string_view(lru_.front().first), lru_.begin());
    return lru_.front().second;
  }
  // Counts a glyph just kept in `font` (the most recently used) and makes
  // room.
  void Kept() {
    ++count_;
    while (count_ > kMaxGlyphImages && lru_.size() > 1) {
      count_ -= lru_.back().second.glyphs.size();
      index_.erase(std::string_view(lru_.back().first));
      lru_.pop_back();
    }
  }
  std::size_t Size() const { return count_; }
  void Clear() {
    index_.clear();
    lru_.clear();
    count_ = 0;
  }
  std::mutex mu;

 private:
  std::list<std::pair<std::string, FontGlyphs>> lru_;
  std::unordered_map<std::string_view, std::list<std::pair<std::string, FontGlyphs>>::iterator> index_;
  std::size_t count_ = 0;
};

ImageStore& Images() {
  static auto* store = new ImageStore;
  return *store;
}

template <typename T>
void Append(std::string& key, const T& v) {
  char bytes[sizeof v];
  std::memcpy(bytes, &v, sizeof v);
  key.append(bytes, sizeof v);
}

void FontKey(std::string& key, const TextFont& f) {
  key.clear();
  Append(key, f.face);
  Append(key, f.em);
  Append(key, f.xx), Append(key, f.yx), Append(key, f.xy), Append(key, f.yy);
  Append(key, f.hint);
}

// Cairo's own shaping of the text, kept as glyphs and advances.
bool Shape(cairo_scaled_font_t* sf, std::string_view utf8, std::vector<RunGlyph>& out) {
  if (sf == nullptr) return false;
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  const cairo_status_t status = cairo_scaled_font_text_to_glyphs(
      sf, 0.0, 0.0, utf8.data(), static_cast<int>(utf8.size()), &glyphs, &count, nullptr, nullptr, nullptr);
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
    out.push_back(RunGlyph{glyphs[i].index, ext.x_advance, ext.y_advance});
  }
  cairo_glyph_free(glyphs);
  return cairo_scaled_font_status(sf) == CAIRO_STATUS_SUCCESS;
}

// The glyph's ink box in device space on Cairo's fixed-point grid: the
// corners of its ink extents in font space (the user extents over the font
// size) through the font size and the transform, rounded to 1/256 pixel.
// A corner within a hair of a rounding boundary may round otherwise in
// Cairo's own sums: then the box is not exact.
void InkBox(cairo_scaled_font_t* sf, const TextFont& f, unsigned long index, GlyphImage& out) {
  const cairo_glyph_t glyph{index, 0.0, 0.0};
  cairo_text_extents_t ext;
  cairo_scaled_font_glyph_extents(sf, &glyph, 1, &ext);
  const double sxx = f.em * f.xx, syx = f.em * f.yx, sxy = f.em * f.xy, syy = f.em * f.yy;
  double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
  for (double hm : {0.0, 1.0})
    for (double wm : {0.0, 1.0}) {
      const double fx = (ext.x_bearing + ext.width * wm) / f.em, fy = (ext.y_bearing + ext.height * hm) / f.em;
      const double x = sxx * fx + sxy * fy, y = syx * fx + syy * fy;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  out.exact = true;
  auto fixed = [&](double v) {
    const double u = v * 256.0, r = std::floor(u + 0.5);
    if (!std::isfinite(u) || std::fabs(std::fabs(u - std::floor(u)) - 0.5) < 1e-6) out.exact = false;
    return static_cast<std::int64_t>(std::isfinite(r) ? r : 0.0);
  };
  out.ink_x0 = fixed(x0), out.ink_y0 = fixed(y0), out.ink_x1 = fixed(x1), out.ink_y1 = fixed(y1);
}

// The glyph drawn alone by Cairo, OVER in opaque white onto a clear alpha
// surface of w x h pixels with its origin on the whole pixel (ox, oy); the
// box of what it covers. `cut` when that touches the surface's border (the
// surface may have cut the glyph).
bool RasteriseOn(cairo_scaled_font_t* sf, const TextFont& f, unsigned long index, int w, int h, int ox, int oy,
                 GlyphImage& out, bool& cut) {
  cut = false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_matrix_t m;
  cairo_matrix_init(&m, f.xx, f.yx, f.xy, f.yy, ox, oy);
  cairo_set_matrix(cr, &m);
  cairo_set_scaled_font(cr, sf);
  cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 1.0);
  const cairo_glyph_t glyph{index, 0.0, 0.0};
  cairo_show_glyphs(cr, &glyph, 1);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  if (!ok || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  int x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (data[y * stride + x] != 0) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
  if (x1 >= 0 && (x0 == 0 || y0 == 0 || x1 == w - 1 || y1 == h - 1)) {
    cut = true;
    cairo_surface_destroy(surface);
    return true;
  }
  out.dx = out.dy = out.w = out.h = 0;
  out.alpha.clear();
  if (x1 >= 0) {
    out.dx = x0 - ox, out.dy = y0 - oy, out.w = x1 - x0 + 1, out.h = y1 - y0 + 1;
    out.alpha.resize(static_cast<std::size_t>(out.w) * out.h);
    for (int y = 0; y < out.h; ++y)
      std::memcpy(&out.alpha[static_cast<std::size_t>(y) * out.w], data + (y0 + y) * stride + x0,
                  static_cast<std::size_t>(out.w));
  }
  cairo_surface_destroy(surface);
  return true;
}

// The glyph as Cairo draws it, first on a surface a few pixels larger than
// its ink box (most glyphs: a first frame rasterises hundreds, and clearing
// and scanning a surface many times the glyph's size cost more than Cairo's
// drawing), then on squares large enough for any glyph of the font, larger
// each time the glyph reaches the border. The coverage does not depend on
// the surface: the glyph's origin is on a whole pixel either way.
bool Rasterise(cairo_scaled_font_t* sf, const TextFont& f, unsigned long index, GlyphImage& out) {
  if (sf == nullptr) return false;
  out = GlyphImage{};
  InkBox(sf, f, index, out);
  bool cut = true;
  const double ix0 = std::floor(static_cast<double>(out.ink_x0) / 256.0);
  const double iy0 = std::floor(static_cast<double>(out.ink_y0) / 256.0);
  const double ix1 = std::ceil(static_cast<double>(out.ink_x1) / 256.0);
  const double iy1 = std::ceil(static_cast<double>(out.ink_y1) / 256.0);
  constexpr int kMargin = 4;  // hinting and antialiasing reach past the ink box
  if (ix1 - ix0 <= 4096 && iy1 - iy0 <= 4096 && std::fabs(ix0) <= 4096 && std::fabs(iy0) <= 4096) {
    const int w = static_cast<int>(ix1 - ix0) + 2 * kMargin, h = static_cast<int>(iy1 - iy0) + 2 * kMargin;
    if (!RasteriseOn(sf, f, index, w, h, kMargin - static_cast<int>(ix0), kMargin - static_cast<int>(iy0), out, cut))
      return false;
  }
  const double scale = std::sqrt(std::fabs(f.xx * f.yy - f.yx * f.xy)) + std::hypot(f.xx, f.yx) + std::hypot(f.xy, f.yy);
  for (int side = std::max(16, static_cast<int>(std::ceil(f.em * scale)) * 4 + 8); cut && side <= 8192; side *= 2)
    if (!RasteriseOn(sf, f, index, side, side, side / 2, side / 2, out, cut)) return false;
  return !cut;
}

// Cairo's rounding of a glyph position: half up.
int RoundHalfUp(double v) {
  const double f = std::floor(v);
  return static_cast<int>(v - f >= 0.5 ? f + 1.0 : f);
}

struct Placed {
  const GlyphImage* image;
  int x, y;  // the image's top-left pixel
};

thread_local std::string key_scratch;
thread_local std::vector<Placed> placed_scratch;
thread_local std::vector<std::uint8_t> mask_scratch;

// The kept run of `utf8` in `font`, shaped and kept first where there is
// none; null when Cairo could not shape it. The store's lock is held.
const KeptGlyphRun* FindRun(Store<KeptGlyphRun>& store, const TextFont& font, std::string_view utf8,
                            const ScaledFontSource& scaled) {
  std::string& key = key_scratch;
  FontKey(key, font);
  key.append(utf8);
  return store.Find(key, [&](KeptGlyphRun& v) { return Shape(scaled(), utf8, v.glyphs); });
}

}  // namespace

bool KeptRun(const TextFont& font, std::string_view utf8, const ScaledFontSource& scaled,
             std::vector<RunGlyph>& out) {
  auto& store = Runs();
  std::lock_guard<std::mutex> lock(store.mu);
  const KeptGlyphRun* run = FindRun(store, font, utf8, scaled);
  if (run == nullptr) return false;
  out = run->glyphs;
  return true;
}

bool KeptRunInk(const TextFont& font, std::string_view utf8, const ScaledFontSource& scaled, RunInk& out) {
  auto& store = Runs();
  std::lock_guard<std::mutex> lock(store.mu);
  const KeptGlyphRun* run = FindRun(store, font, utf8, scaled);
  if (run == nullptr) return false;
  if (!run->ink_known) {
    cairo_scaled_font_t* sf = scaled();
    if (sf == nullptr) return false;
    std::vector<cairo_glyph_t> glyphs;
    glyphs.reserve(run->glyphs.size());
    double x = 0.0, y = 0.0;
    for (const RunGlyph& g : run->glyphs) {
      glyphs.push_back(cairo_glyph_t{g.index, x, y});
      x += g.x_advance;
      y += g.y_advance;
    }
    cairo_text_extents_t ext{};
    cairo_scaled_font_glyph_extents(sf, glyphs.data(), static_cast<int>(glyphs.size()), &ext);
    if (cairo_scaled_font_status(sf) != CAIRO_STATUS_SUCCESS) return false;
    run->ink = RunInk{ext.x_bearing, ext.y_bearing, ext.width, ext.height};
    run->inked = ext.width > 0.0 && ext.height > 0.0;
    run->ink_known = true;
  }
  out = run->ink;
  return run->inked;
}

double RunAdvance(const std::vector<RunGlyph>& run) {
  double x = 0.0;
  for (const RunGlyph& g : run) x += g.x_advance;
  return x;
}

bool PaintKeptGlyphs(const TextFont& font, const std::vector<PlacedGlyph>& glyphs, const ScaledFontSource& scaled,
                     std::uint32_t* pixels, int stride, int x0, int y0, int x1, int y1, std::uint32_t argb,
                     const ClipPixels* clip) {
  if (x0 >= x1 || y0 >= y1) return true;
  std::string& key = key_scratch;
  auto& store = Images();
  std::lock_guard<std::mutex> lock(store.mu);
  std::vector<Placed>& placed = placed_scratch;
  placed.clear();
  // Cairo gathers the glyphs in one mask when one's ink box meets the
  // union of those before it (boxes on the fixed-point grid, empty ones
  // meeting nothing but widening the union).
  std::int64_t bx0 = INT64_MAX, by0 = INT64_MAX, bx1 = INT64_MIN, by1 = INT64_MIN;
  bool overlap = false;
  // The union of the images, where the mask is gathered.
  int ux0 = INT_MAX, uy0 = INT_MAX, ux1 = INT_MIN, uy1 = INT_MIN;
  FontKey(key, font);
  FontGlyphs& kept = store.Font(key);
  for (const PlacedGlyph& g : glyphs) {
    auto found = kept.glyphs.find(g.index);
    if (found == kept.glyphs.end()) {
      GlyphImage made;
      if (!Rasterise(scaled(), font, g.index, made)) return false;
      found = kept.glyphs.emplace(g.index, std::move(made)).first;
      store.Kept();
    }
    const GlyphImage* image = &found->second;
    if (!image->exact) return false;
    const int rx = RoundHalfUp(g.x), ry = RoundHalfUp(g.y);
    const std::int64_t x0i = std::int64_t{rx} * 256 + image->ink_x0, x1i = std::int64_t{rx} * 256 + image->ink_x1;
    const std::int64_t y0i = std::int64_t{ry} * 256 + image->ink_y0, y1i = std::int64_t{ry} * 256 + image->ink_y1;
    if (!overlap && x0i != x1i && y0i != y1i) overlap = x1i > bx0 && x0i < bx1 && y1i > by0 && y0i < by1;
    bx0 = std::min(bx0, x0i), bx1 = std::max(bx1, x1i), by0 = std::min(by0, y0i), by1 = std::max(by1, y1i);
    if (image->w == 0) continue;
    const Placed p{image, rx + image->dx, ry + image->dy};
    ux0 = std::min(ux0, p.x), uy0 = std::min(uy0, p.y);
    ux1 = std::max(ux1, p.x + image->w), uy1 = std::max(uy1, p.y + image->h);
    placed.push_back(p);
  }
  if (placed.empty()) return true;
  if (glyphs.size() == 1) overlap = false;
  const OverPainter painter(argb);
  auto paint = [&](const std::uint8_t* alpha, int ax, int ay, int w, int h) {
    const int cx0 = std::max(ax, x0), cy0 = std::max(ay, y0), cx1 = std::min(ax + w, x1), cy1 = std::min(ay + h, y1);
    for (int y = cy0; y < cy1; ++y) {
      std::uint32_t* line = pixels + static_cast<std::ptrdiff_t>(y) * stride;
      const std::uint8_t* row = alpha + static_cast<std::ptrdiff_t>(y - ay) * w;
      if (clip != nullptr) {
        clip->ForEachInside(stride, y, cx0, cx1, [&](int a, int b) { painter.Run(line + a, row + (a - ax), b - a); });
        continue;
      }
      painter.Run(line + cx0, row + (cx0 - ax), cx1 - cx0);
    }
  };
  if (!overlap) {
    for (const Placed& p : placed) paint(p.image->alpha.data(), p.x, p.y, p.image->w, p.image->h);
    return true;
  }
  // Overlapping glyphs: their coverage added (saturating) into one mask over
  // the union of their boxes, painted once.
  const int w = ux1 - ux0, h = uy1 - uy0;
  std::vector<std::uint8_t>& mask = mask_scratch;
  mask.assign(static_cast<std::size_t>(w) * h, 0);
  for (const Placed& p : placed) {
    for (int y = 0; y < p.image->h; ++y) {
      std::uint8_t* row = &mask[static_cast<std::size_t>(p.y - uy0 + y) * w + (p.x - ux0)];
      const std::uint8_t* a = &p.image->alpha[static_cast<std::size_t>(y) * p.image->w];
      for (int x = 0; x < p.image->w; ++x) row[x] = static_cast<std::uint8_t>(std::min(255, row[x] + a[x]));
    }
  }
  paint(mask.data(), ux0, uy0, w, h);
  return true;
}

GlyphStoreSize GlyphStoresUsed() {
  GlyphStoreSize size;
  {
    auto& s = Runs();
    std::lock_guard<std::mutex> lock(s.mu);
    size.runs = s.Size();
  }
  auto& s = Images();
  std::lock_guard<std::mutex> lock(s.mu);
  size.images = s.Size();
  return size;
}

void ForgetGlyphRuns() {
  {
    auto& s = Runs();
    std::lock_guard<std::mutex> lock(s.mu);
    s.Clear();
  }
  auto& s = Images();
  std::lock_guard<std::mutex> lock(s.mu);
  s.Clear();
}

}  // namespace ovi::gfx::detail
