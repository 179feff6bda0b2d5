#include "src/display/map_labels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace ovi::display {

namespace {

// A box in device pixels.
struct Box {
  double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
  double Height() const { return y1 - y0; }
  bool Usable() const {
    return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1) && x0 <= x1 && y0 <= y1;
  }
  gfx::RectF Rect() const {
    return gfx::RectF(static_cast<gfx::REAL>(x0), static_cast<gfx::REAL>(y0), static_cast<gfx::REAL>(x1 - x0),
                      static_cast<gfx::REAL>(y1 - y0));
  }
};

// The device box of the world rectangle (x0, y0)-(x1, y1) under `m`.
Box DeviceBox(const gfx::Matrix& m, double x0, double y0, double x1, double y1) {
  Box b{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (const double x : {x0, x1})
    for (const double y : {y0, y1}) {
      double dx, dy;
      m.Apply(x, y, &dx, &dy);
      b.x0 = std::fmin(b.x0, dx), b.x1 = std::fmax(b.x1, dx);
      b.y0 = std::fmin(b.y0, dy), b.y1 = std::fmax(b.y1, dy);
    }
  return b;
}

// Whether two ink boxes meet: overlapping, standing over each other with
// less than a clear gap between the lines, or running into each other
// along a line. Two `names` also stand over each other where one is on the
// next line just past the other's end.
bool Meet(const Box& a, const Box& b, bool names = false) {
  const double h = std::fmin(a.Height(), b.Height());
  const double xgap = std::fmax(a.x0, b.x0) - std::fmin(a.x1, b.x1);
  const double ygap = std::fmax(a.y0, b.y0) - std::fmin(a.y1, b.y1);
  const bool stacked = xgap < 0.0 || (names && ygap > -0.5 * h && xgap < kStackGap * h);
  return (stacked && ygap < std::fmax(kLineGapPixels, kLineGap * h)) || (ygap < 0.0 && xgap < kWordGap * h);
}

// Whether two boxes share some of their area.
bool Overlap(const Box& a, const Box& b) { return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1; }

// What stands in the picture: a text placed, a fixed text, a box claimed.
struct Entry {
  Box box;
  MapRank rank;
  std::uint64_t hash;  // of the name; 0 for none
  double px, py;       // the place named, device pixels
  double reach;        // device pixels within which a place of the name is this one
  double tx, ty;       // where the text starts
  int next;            // the name bucket's next entry, -1 at its end
  std::uint64_t text = 0;  // of the text written; 0 for a box
  Box written;             // where it was written to stand
  int next_text = -1;      // the text bucket's next entry
  // A place's symbol, which the names of other places keep clear of: the
  // place's own text symbol (met as texts meet), or a square about a named
  // place (met by overlapping). (px, py) is the place marked, not a number
  // for a symbol of no place.
  bool symbol = false;
  bool text_symbol = false;
};

// Where the entries lie: each listed in every cell of kCell pixels its box
// reaches.
struct CellNode {
  int cx, cy;
  int entry;
  int next;
};

constexpr std::size_t kBuckets = 256;
constexpr std::size_t kCellBuckets = 512;
constexpr double kCell = 32.0;
constexpr std::size_t kMostPlaces = 4;

// A text held back until the picture ends, with what draws it.
struct Held {
  std::string text;
  std::optional<gfx::Font> font;
  gfx::ARGB colour = 0;
  gfx::Matrix m;
  gfx::ClipState clip;
  gfx::TextRenderingHint hint = gfx::TextRenderingHint::SystemDefault;
  gfx::PointF at;
  bool formatted = false;
  gfx::StringFormat format;
  MapRank rank = MapRank::kName;
  double order = 0.0;
  std::array<gfx::PointF, kMostPlaces> others{};
  std::size_t other_count = 0;
  bool slide = false, whole_pixels = false, whole = false;
  std::uint64_t hash = 0;  // of the name
  std::uint64_t text_hash = 0;
  double px = 0.0, py = 0.0, reach = 0.0;
  // The ink about the layout point, world units; none for a text of blanks.
  bool inked = false;
  double ix0 = 0.0, iy0 = 0.0, ix1 = 0.0, iy1 = 0.0;
  bool drawn = false;
  gfx::PointF place;

  Box InkAt(gfx::PointF p) const { return DeviceBox(m, p.X + ix0, p.Y + iy0, p.X + ix1, p.Y + iy1); }
};

struct Picture {
  gfx::Graphics* g = nullptr;
  gfx::TextWatcher* kept_watcher = nullptr;
  std::vector<Entry> entries;
  std::array<int, kBuckets> heads{};       // by name
  std::array<int, kBuckets> text_heads{};  // by text
  std::vector<CellNode> cells;
  std::array<int, kCellBuckets> cell_heads{};
  std::vector<Held> held;
  std::size_t held_count = 0;
  std::vector<std::size_t> order;
  double width = 0.0, height = 0.0;  // the surface
};

// Drawing runs on one thread; a picture of another thread's Graphics is
// that thread's own.
thread_local Picture picture;

std::uint64_t Hash(std::string_view name) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) { return (h ^ v) * 1099511628211ull; }

gfx::Matrix Transform(const gfx::Graphics& g) {
  gfx::Matrix m;
  g.GetTransform(&m);
  return m;
}

std::size_t CellBucket(int cx, int cy) {
  return (static_cast<std::size_t>(cx) * 73856093u ^ static_cast<std::size_t>(cy) * 19349663u) % kCellBuckets;
}

// The cells a device box covers, kept to the surface and a margin beside
// it so that a box of any size lists a bounded number; none for a box that
// is not a number.
// Calls `visit`; whether it asks the walk to end (a visitor that returns
// true does).
template <class Visit, class... Args>
bool Visited(Visit& visit, Args&&... args) {
  if constexpr (std::is_void_v<std::invoke_result_t<Visit&, Args...>>) {
    visit(std::forward<Args>(args)...);
    return false;
  } else {
    return visit(std::forward<Args>(args)...);
  }
}

template <class Visit>
void ForEachCell(double x0, double y0, double x1, double y1, Visit&& visit) {
  constexpr double kMargin = 2.0 * kCell;
  x0 = std::fmax(x0, -kMargin), y0 = std::fmax(y0, -kMargin);
  x1 = std::fmin(x1, picture.width + kMargin), y1 = std::fmin(y1, picture.height + kMargin);
  if (!(x0 <= x1 && y0 <= y1)) return;
  const int cx0 = static_cast<int>(std::floor(x0 / kCell)), cx1 = static_cast<int>(std::floor(x1 / kCell));
  const int cy0 = static_cast<int>(std::floor(y0 / kCell)), cy1 = static_cast<int>(std::floor(y1 / kCell));
  for (int cy = cy0; cy <= cy1; ++cy)
    for (int cx = cx0; cx <= cx1; ++cx)
      if (Visited(visit, cx, cy)) return;
}

// Every entry listed in the cells about `b`, grown by what Meet reaches
// (for `names`, as names meet; an entry in several of them as often),
// until `visit` returns true where it returns a bool.
template <class Visit>
void ForEachEntryAbout(const Box& b, Visit&& visit, bool names = false) {
  const double h = b.Height();
  const double across = std::fmax(0.0, (names ? std::fmax(kWordGap, kStackGap) : kWordGap) * h) + 1.0;
  const double down = std::fmax(kLineGapPixels, kLineGap * h) + 1.0;
  ForEachCell(b.x0 - across, b.y0 - down, b.x1 + across, b.y1 + down, [&](int cx, int cy) {
    for (int i = picture.cell_heads[CellBucket(cx, cy)]; i >= 0; i = picture.cells[static_cast<std::size_t>(i)].next) {
      const CellNode& n = picture.cells[static_cast<std::size_t>(i)];
      if (n.cx == cx && n.cy == cy && Visited(visit, picture.entries[static_cast<std::size_t>(n.entry)])) return true;
    }
    return false;
  });
}

void Add(const Entry& e) {
  const int index = static_cast<int>(picture.entries.size());
  Entry& added = picture.entries.emplace_back(e);
  added.next = -1;
  if (e.hash != 0) {
    int& head = picture.heads[e.hash % kBuckets];
    added.next = head;
    head = index;
  }
  added.next_text = -1;
  if (e.text != 0) {
    int& head = picture.text_heads[e.text % kBuckets];
    added.next_text = head;
    head = index;
  }
  ForEachCell(e.box.x0, e.box.y0, e.box.x1, e.box.y1, [&](int cx, int cy) {
    int& first = picture.cell_heads[CellBucket(cx, cy)];
    picture.cells.push_back(CellNode{cx, cy, index, first});
    first = static_cast<int>(picture.cells.size() - 1);
  });
}

void AddBox(const Box& b, MapRank rank) {
  if (b.Usable()) Add(Entry{b, rank, 0, 0.0, 0.0, 0.0, b.x0, b.y0, -1, 0, b});
}

void AddSymbol(const Box& b, double px, double py, double reach, bool text) {
  if (!b.Usable()) return;
  Entry e{b, MapRank::kFixed, 0, px, py, reach, b.x0, b.y0, -1, 0, b};
  e.symbol = true;
  e.text_symbol = text;
  Add(e);
}

// Every text drawn straight on the picture's graphics is a readout's or the
// compass card's: fixed.
class FixedTexts final : public gfx::TextWatcher {
 public:
  void TextDrawn(const gfx::Graphics& g, const gfx::RectF& ink) override {
    if (picture.g != &g) return;
    AddBox(Box{ink.X, ink.Y, static_cast<double>(ink.X) + ink.Width, static_cast<double>(ink.Y) + ink.Height},
           MapRank::kFixed);
  }
};
thread_local FixedTexts fixed_texts;

// The ink of the texts measured, about their layout point in world units,
// by text, face, size, transform, hinting and format: a picture writes
// mostly the texts it wrote the frame before, and a text measured once is
// not measured again. A slot keeps the last text whose key fell on it; the
// table (256 KB) is made at the thread's first measure.
struct Measured {
  std::uint64_t key = 0;
  bool inked = false;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
constexpr std::size_t kMeasuredSlots = 16384;
thread_local std::vector<Measured> measured;

const Measured& Measure(gfx::Graphics& g, std::string_view text, const gfx::Font& font, const gfx::Matrix& m,
                        const gfx::StringFormat* format) {
  std::uint64_t key = Hash(text);
  key = Mix(key, reinterpret_cast<std::uintptr_t>(font.Face()));
  for (const double v : {font.EmWorld(), m.a, m.b, m.c, m.d}) key = Mix(key, std::bit_cast<std::uint64_t>(v));
  key = Mix(key, static_cast<std::uint64_t>(g.GetTextRenderingHint()) + 1);
  if (format != nullptr)
    key = Mix(key, (static_cast<std::uint64_t>(format->GetAlignment()) << 8 |
                    static_cast<std::uint64_t>(format->GetLineAlignment()) << 16 |
                    static_cast<std::uint64_t>(format->GetFormatFlags()) << 24) + 1);
  if (measured.empty()) measured.resize(kMeasuredSlots);
  Measured& slot = measured[key % kMeasuredSlots];
  if (slot.key != key) {
    gfx::RectF layout, ink;
    const bool ok = g.MeasureStringInk(text, font, gfx::PointF(0, 0), format, &layout, &ink) == gfx::Ok;
    slot = Measured{key, ok && ink.Width > 0 && ink.Height > 0, ink.X, ink.Y, ink.X + ink.Width, ink.Y + ink.Height};
  }
  return slot;
}

Held& NextHeld() {
  if (picture.held_count == picture.held.size()) picture.held.emplace_back();
  return picture.held[picture.held_count++];
}

void Hold(gfx::Graphics& g, MapRank rank, const MapText& text, const gfx::SolidBrush& brush, const MapTextWay& way,
          std::string_view name, double x, double y, double reach) {
  Held& h = NextHeld();
  h.text.assign(text.shown);
  h.font.emplace(text.font);
  h.colour = brush.GetColor().argb;
  h.m = Transform(g);
  h.clip = g.GetClipState();
  h.hint = g.GetTextRenderingHint();
  h.at = text.at;
  h.formatted = way.format != nullptr;
  if (h.formatted) h.format = *way.format;
  h.rank = rank;
  h.order = way.order;
  h.other_count = std::min(way.other_places.size(), kMostPlaces);
  std::copy_n(way.other_places.begin(), h.other_count, h.others.begin());
  h.slide = way.slide, h.whole_pixels = way.whole_pixels, h.whole = way.whole;
  h.hash = name.empty() ? 0 : Hash(name);
  h.text_hash = Hash(text.shown) | 1;
  if (h.hash != 0) {
    h.m.Apply(x, y, &h.px, &h.py);
    h.reach = std::fmax(kSameLabelPixels, reach * std::sqrt(std::fabs(h.m.Determinant())));
  }
  const Measured& ink = Measure(g, text.shown, text.font, h.m, way.format);
  h.inked = ink.inked;
  h.ix0 = ink.x0, h.iy0 = ink.y0, h.ix1 = ink.x1, h.iy1 = ink.y1;
  h.drawn = false;
}

// --- Placing the held texts ----------------------------------------------

bool Blocked(const Box& b) {
  bool blocked = false;
  ForEachEntryAbout(b, [&](const Entry& e) { return blocked = !e.symbol && Meet(b, e.box); });
  return blocked;
}

// Whether the held text at `b` meets a text placed or a box claimed; a name
// (one with a place) also where it meets the names placed as names meet, or
// stands on the symbol of another place: one further from its own than the
// reach of either (the route's waypoint on the airport it names is one
// place).
bool Blocked(const Held& h, const Box& b) {
  if (h.hash == 0) return Blocked(b);
  bool blocked = false;
  ForEachEntryAbout(
      b,
      [&](const Entry& e) {
        if (!e.symbol) {
          blocked = Meet(b, e.box, e.hash != 0);
        } else if (e.text_symbol ? Meet(b, e.box) : Overlap(b, e.box)) {
          // A symbol of no place is no name's own.
          const double dx = e.px - h.px, dy = e.py - h.py, reach = std::fmax(e.reach, h.reach);
          blocked = !(dx * dx + dy * dy <= reach * reach);
        }
        return blocked;
      },
      true);
  return blocked;
}

// Whether the picture names the held text's place already: the same name
// at the same place, or starting where its text starts.
bool NamedAlready(const Held& h, double tx, double ty) {
  for (int i = picture.heads[h.hash % kBuckets]; i >= 0; i = picture.entries[static_cast<std::size_t>(i)].next) {
    const Entry& e = picture.entries[static_cast<std::size_t>(i)];
    if (e.hash != h.hash) continue;
    if (std::hypot(e.px - h.px, e.py - h.py) <= std::fmax(e.reach, h.reach) ||
        std::hypot(e.tx - tx, e.ty - ty) <= kSameLabelPixels)
      return true;
  }
  return false;
}

// Whether the clip lets the held text show as it must, where the clip
// shows `shown` of it.
bool ShowsAs(const Held& h, gfx::Shown shown) {
  return h.whole ? shown == gfx::Shown::kWhole : shown != gfx::Shown::kHidden;
}

void Accept(Held& h, gfx::PointF p, const Box& b) {
  h.drawn = true;
  h.place = p;
  double tx, ty;
  h.m.Apply(p.X, p.Y, &tx, &ty);
  Add(Entry{b, h.rank, h.hash, h.px, h.py, h.reach, tx, ty, -1, h.text_hash, h.InkAt(h.at)});
}

// Whether the same text was written for the same place before (and stands,
// there or at its other place): a layer that writes it again (a fix's
// label for each of its rows) writes it once.
bool WrittenAlready(const Held& h, const Box& b) {
  constexpr double kSame = 0.5;
  for (int i = picture.text_heads[h.text_hash % kBuckets]; i >= 0;
       i = picture.entries[static_cast<std::size_t>(i)].next_text) {
    const Entry& e = picture.entries[static_cast<std::size_t>(i)];
    if (e.text == h.text_hash && std::fabs(e.written.x0 - b.x0) < kSame && std::fabs(e.written.y0 - b.y0) < kSame &&
        std::fabs(e.written.x1 - b.x1) < kSame && std::fabs(e.written.y1 - b.y1) < kSame)
      return true;
  }
  return false;
}

bool TryPlace(const gfx::Graphics& g, Held& h, gfx::PointF p) {
  const Box b = h.InkAt(p);
  if (!b.Usable() || !ShowsAs(h, g.ClipShows(b.Rect(), h.clip)) || Blocked(h, b)) return false;
  Accept(h, p, b);
  return true;
}

// A mark's label moved up or down (its own units) to the nearest place
// within `reach` of its heights that meets nothing placed (and, with
// `spare_lower`, leaves the held texts of lower rank where they stand) and,
// moved, covers no place's symbol (AddPlaceSymbols, DrawMapSymbolText); its
// candidate places are just above and just below each box in its column.
bool Slide(const gfx::Graphics& g, Held& h, double reach, bool spare_lower, gfx::Shown own_shown) {
  gfx::Matrix inverse = h.m;
  if (inverse.Invert() != gfx::Ok || !inverse.Finite()) return false;
  const double hh = h.iy1 - h.iy0;
  // Device pixels a unit of the label's own height is.
  const double scale = std::hypot(h.m.c, h.m.d);
  if (!(hh > 0.0) || !(scale > 0.0)) return false;
  const Box own = h.InkAt(h.at);
  const double gap = std::fmax(kLineGapPixels / scale, kLineGap * hh) * 1.01;
  const double x0 = h.at.X + h.ix0 - kWordGap * hh, x1 = h.at.X + h.ix1 + kWordGap * hh;
  const double y0 = h.at.Y + h.iy0;
  // The moves that put the label just clear of a box in its column.
  constexpr std::size_t kMost = 64;
  std::array<double, kMost> moves;
  std::size_t n = 0;
  moves[n++] = 0.0;
  auto consider = [&](const Box& device) {
    const Box w = DeviceBox(inverse, device.x0, device.y0, device.x1, device.y1);
    if (w.x1 <= x0 || w.x0 >= x1 || n + 2 > kMost) return;
    double up = w.y0 - gap - hh - y0, down = w.y1 + gap - y0;
    if (h.whole_pixels) up = std::floor(up), down = std::ceil(down);
    moves[n++] = up;
    moves[n++] = down;
  };
  const double band = (reach + 1.0) * (own.y1 - own.y0);
  const Box about{own.x0 - band, own.y0 - band, own.x1 + band, own.y1 + band};
  // The labels of its rank placed in its column: one written wholly above
  // another stays above it where that one stands, and one written below
  // stays below (a top of descent beyond the top of climb it follows is
  // not moved to the near side of it).
  std::array<const Entry*, kMost> marks;
  std::size_t mark_count = 0;
  // The symbols of the places about it, whether their names stand or not.
  std::array<Box, kMost> lower, symbols;
  std::size_t lower_count = 0, symbol_count = 0;
  ForEachEntryAbout(about, [&](const Entry& e) {
    consider(e.box);
    if (e.symbol) {
      if (symbol_count < kMost) symbols[symbol_count++] = e.box;
    } else if (e.rank == h.rank && e.text != 0 && e.box.x1 > own.x0 && e.box.x0 < own.x1 && mark_count < kMost) {
      marks[mark_count++] = &e;
    }
  });
  // The texts of lower rank about it, where they stand.
  for (std::size_t i = 0; i < picture.held_count && spare_lower && lower_count < kMost; ++i) {
    const Held& o = picture.held[i];
    if (o.rank <= h.rank || !o.inked) continue;
    const Box b = o.InkAt(o.at);
    if (b.x1 < about.x0 || b.x0 > about.x1 || b.y1 < about.y0 || b.y0 > about.y1) continue;
    lower[lower_count++] = b;
    consider(b);
  }
  std::sort(moves.begin(), moves.begin() + static_cast<std::ptrdiff_t>(n), [](double a, double b) {
    return std::fabs(a) != std::fabs(b) ? std::fabs(a) < std::fabs(b) : a < b;
  });
  // A label in sight does not move out of sight, not even in part.
  const bool in_sight = own_shown == gfx::Shown::kWhole;
  for (std::size_t k = 0; k < n; ++k) {
    const double dy = moves[k];
    if (std::fabs(dy) > reach * hh) break;
    const gfx::PointF p(h.at.X, static_cast<gfx::REAL>(h.at.Y + dy));
    const Box b = h.InkAt(p);
    if (!b.Usable()) continue;
    const gfx::Shown shown = dy == 0.0 ? own_shown : g.ClipShows(b.Rect(), h.clip);
    if (!ShowsAs(h, shown) || (in_sight && shown != gfx::Shown::kWhole) || Blocked(b)) continue;
    bool spares = true;
    for (std::size_t i = 0; i < lower_count && spares; ++i) spares = !Meet(b, lower[i]);
    // Moved, it does not land on a symbol: there it could not be read.
    for (std::size_t i = 0; i < symbol_count && spares && dy != 0.0; ++i) spares = !Overlap(b, symbols[i]);
    for (std::size_t i = 0; i < mark_count && spares; ++i) {
      const Box &stands = marks[i]->box, &written = marks[i]->written;
      spares = !(own.y1 <= written.y0 && b.y0 >= stands.y1) && !(own.y0 >= written.y1 && b.y1 <= stands.y0);
    }
    if (!spares) continue;
    Accept(h, p, b);
    return true;
  }
  return false;
}

void Place(const gfx::Graphics& g, Held& h) {
  if (!h.inked) {
    h.drawn = true;  // blanks: nothing to weigh
    h.place = h.at;
    return;
  }
  const Box natural = h.InkAt(h.at);
  const gfx::Shown shown = natural.Usable() ? g.ClipShows(natural.Rect(), h.clip) : gfx::Shown::kHidden;
  // A text out of sight is drawn where it was written and names nothing.
  if (shown == gfx::Shown::kHidden) {
    h.drawn = true;
    h.place = h.at;
    return;
  }
  if (WrittenAlready(h, natural)) return;
  if (h.hash != 0) {
    double tx, ty;
    h.m.Apply(h.at.X, h.at.Y, &tx, &ty);
    if (NamedAlready(h, tx, ty)) return;
  }
  if (h.slide) {
    if (Slide(g, h, kMarkLabelReach, true, shown) || Slide(g, h, kMarkLabelFurthest, false, shown)) return;
  } else if (ShowsAs(h, shown) && !Blocked(h, natural)) {
    Accept(h, h.at, natural);
    return;
  }
  for (std::size_t k = 0; k < h.other_count; ++k)
    if (TryPlace(g, h, h.others[k])) return;
}

// The symbol of each place the picture names, whether its name stands or
// not: a square about the place as tall as its name's letters (the engine
// is told no symbol's outline; the marks' symbols are about that size).
void AddPlaceSymbols() {
  for (std::size_t i = 0; i < picture.held_count; ++i) {
    const Held& o = picture.held[i];
    if (o.hash == 0 || !o.inked) continue;
    const double half = 0.5 * o.InkAt(o.at).Height();
    AddSymbol(Box{o.px - half, o.py - half, o.px + half, o.py + half}, o.px, o.py, o.reach, false);
  }
}

// Places the held texts by rank, then draws those placed in the order they
// were written, each under the transform and clip it was written with.
void PlaceAndDraw(gfx::Graphics& g) {
  AddPlaceSymbols();
  std::vector<std::size_t>& order = picture.order;
  order.resize(picture.held_count);
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  // Ties in the order written; sorted in place (a stable sort would take a
  // buffer every picture).
  std::sort(order.begin(), order.end(), [](std::size_t a, std::size_t b) {
    const Held &ha = picture.held[a], &hb = picture.held[b];
    if (ha.rank != hb.rank) return ha.rank < hb.rank;
    if (ha.order != hb.order) return ha.order < hb.order;
    return a < b;
  });
  for (const std::size_t i : order) Place(g, picture.held[i]);


  gfx::Matrix kept_m;
  g.GetTransform(&kept_m);
  const gfx::ClipState kept_clip = g.GetClipState();
  const gfx::TextRenderingHint kept_hint = g.GetTextRenderingHint();
  gfx::ClipState current = kept_clip;
  for (std::size_t i = 0; i < picture.held_count; ++i) {
    const Held& h = picture.held[i];
    if (!h.drawn) continue;
    if (!(h.clip == current)) {
      g.SetClipState(h.clip);
      current = h.clip;
    }
    g.SetTransform(h.m);
    g.SetTextRenderingHint(h.hint);
    g.DrawString(h.text, *h.font, h.place, h.formatted ? &h.format : nullptr, gfx::SolidBrush(h.colour));
  }
  if (!(current == kept_clip)) g.SetClipState(kept_clip);
  g.SetTransform(kept_m);
  g.SetTextRenderingHint(kept_hint);
}

}  // namespace

MapPicture::MapPicture(gfx::Graphics& g) : g_(g), opened_(picture.g == nullptr) {
  if (!opened_) return;
  picture.g = &g;
  picture.entries.clear();
  picture.heads.fill(-1);
  picture.text_heads.fill(-1);
  picture.cells.clear();
  picture.cell_heads.fill(-1);
  picture.held_count = 0;
  const gfx::DeviceContext* dc = g.GetDeviceContext();
  picture.width = dc != nullptr ? dc->width : 0.0;
  picture.height = dc != nullptr ? dc->height : 0.0;
  picture.kept_watcher = g.GetTextWatcher();
  g.SetTextWatcher(&fixed_texts);
}

MapPicture::~MapPicture() {
  if (!opened_) return;
  g_.SetTextWatcher(picture.kept_watcher);
  PlaceAndDraw(g_);
  // The texts' fonts go with the picture; their slots stay for the next.
  for (std::size_t i = 0; i < picture.held_count; ++i) picture.held[i].font.reset();
  picture.held_count = 0;
  picture.g = nullptr;
}

// Whether a text written on the picture's graphics may show: the box it can
// reach at the most (as wide as a glyph of two ems a letter on either side
// of its layout point, two ems above and below it) meets the clip's bounds.
// One that cannot is drawn at once, as it would be where it was written:
// the many names of a large map that lie beyond its edge are not held.
bool MayShow(const gfx::Graphics& g, const MapText& text) {
  const double reach = 2.0 * text.font.EmWorld() * static_cast<double>(text.shown.size() + 1);
  const double rise = 2.0 * text.font.EmWorld();
  const Box b = DeviceBox(Transform(g), text.at.X - reach, text.at.Y - rise, text.at.X + reach, text.at.Y + rise);
  return !b.Usable() || g.MayShow(b.Rect());
}

void WriteMapText(gfx::Graphics& g, MapRank rank, const MapText& text, const gfx::SolidBrush& brush,
                  const MapTextWay& way) {
  if (picture.g != &g || !MayShow(g, text)) {
    g.DrawString(text.shown, text.font, text.at, way.format, brush);
    return;
  }
  Hold(g, rank, text, brush, way, {}, 0.0, 0.0, 0.0);
}

void WriteMapLabel(gfx::Graphics& g, std::string_view name, double x, double y, const MapText& text,
                   const gfx::SolidBrush& brush, bool route, double reach) {
  if (picture.g != &g || !MayShow(g, text)) {
    g.DrawString(text.shown, text.font, text.at, brush);
    return;
  }
  Hold(g, route ? MapRank::kRouteName : MapRank::kName, text, brush, {}, name, x, y, reach);
}

void ClaimMapBox(const gfx::Graphics& g, MapRank rank, const gfx::RectF& box) {
  if (picture.g != &g) return;
  AddBox(DeviceBox(Transform(g), box.X, box.Y, static_cast<double>(box.X) + box.Width,
                   static_cast<double>(box.Y) + box.Height),
         rank);
}

void KeepMapClear(gfx::Graphics& g, const gfx::RectF& box) {
  ClaimMapBox(g, MapRank::kFixed, box);
  g.SetClip(box, gfx::CombineMode::Exclude);
}

void DrawMapSymbolText(gfx::Graphics& g, std::string_view text, const gfx::Font& font, gfx::PointF at,
                       const gfx::SolidBrush& brush, std::optional<gfx::PointF> place) {
  if (picture.g == &g) {
    const gfx::Matrix m = Transform(g);
    const Measured& ink = Measure(g, text, font, m, nullptr);
    const Box b = DeviceBox(m, at.X + ink.x0, at.Y + ink.y0, at.X + ink.x1, at.Y + ink.y1);
    // One its clip hides wholly (a star past the map's edge) hides nothing.
    if (ink.inked && b.Usable() && g.ClipShows(b.Rect()) != gfx::Shown::kHidden) {
      double px = NAN, py = NAN;
      if (place) m.Apply(place->X, place->Y, &px, &py);
      AddSymbol(b, px, py, kSameLabelPixels, true);
    }
  }
  gfx::TextWatcher* const watcher = g.GetTextWatcher();
  g.SetTextWatcher(nullptr);
  g.DrawString(text, font, at, brush);
  g.SetTextWatcher(watcher);
}

}  // namespace ovi::display
