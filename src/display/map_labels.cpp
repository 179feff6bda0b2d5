#include "src/display/map_labels.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace ovi::display {

namespace {

// A text's box in device pixels, and where its text starts (its layout
// point: the box's corner on an upright map).
struct Box {
  double x0, y0, x1, y1;
  double tx, ty;
  double Height() const { return y1 - y0; }
  double Area() const { return (x1 - x0) * (y1 - y0); }
};

enum class Kind : std::uint8_t { kWritten, kReserved, kMark };

struct Entry {
  std::uint64_t hash;  // of the name
  double x, y;         // the place, device pixels
  Box box;
  double reach;  // device pixels within which a place of the name is this one
  Kind kind;
  int next;  // the name bucket's next entry, -1 at its end
};

// Where the texts lie: each entry is listed in every cell of kCell pixels
// its box reaches.
struct CellNode {
  int cx, cy;
  int entry;
  int next;
};

constexpr std::size_t kBuckets = 256;
constexpr std::size_t kCellBuckets = 512;
constexpr double kCell = 32.0;

// A mark's label placed before the layers drew: its box as the mark put
// it, and its top.
struct PlacedMark {
  gfx::RectF natural;
  double top;
};

struct Picture {
  const gfx::Graphics* g = nullptr;
  std::vector<PlacedMark> placed;
  std::size_t next_placed = 0;  // the drawing call's next label
  std::vector<Entry> entries;
  std::array<int, kBuckets> heads{};
  std::vector<CellNode> cells;
  std::array<int, kCellBuckets> cell_heads{};
  double tallest = 0.0;  // the tallest text box recorded
};

// Drawing runs on one thread; a picture of another thread's Graphics is
// that thread's own.
thread_local Picture picture;
// The graphics whose marks' drawing is held back: their labels are placed.
thread_local const gfx::Graphics* held_back = nullptr;

std::uint64_t Hash(std::string_view name) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

gfx::Matrix Transform(const gfx::Graphics& g) {
  gfx::Matrix m;
  g.GetTransform(&m);
  return m;
}

// The box of `r` under `m`: the bounds of its corners, and its layout point.
Box Apply(const gfx::Matrix& m, const gfx::RectF& r) {
  Box b{INFINITY, INFINITY, -INFINITY, -INFINITY, 0.0, 0.0};
  for (const double x : {static_cast<double>(r.X), static_cast<double>(r.X) + r.Width})
    for (const double y : {static_cast<double>(r.Y), static_cast<double>(r.Y) + r.Height}) {
      double dx, dy;
      m.Apply(x, y, &dx, &dy);
      b.x0 = std::fmin(b.x0, dx), b.x1 = std::fmax(b.x1, dx);
      b.y0 = std::fmin(b.y0, dy), b.y1 = std::fmax(b.y1, dy);
    }
  m.Apply(r.X, r.Y, &b.tx, &b.ty);
  return b;
}

// Whether a text starting at the device point (x, y) can show: within the
// clip's box, or a little left of or above it, where its end may reach in.
// A name out of sight names nothing: another layer's label of the same
// place, in sight, is still written.
constexpr double kReach = 2.0 * kSameLabelPixels;
bool InSight(const gfx::Graphics& g, double x, double y) {
  const gfx::RectF box = g.GetClipDeviceBounds();
  return x >= box.X - kReach && x <= box.X + box.Width && y >= box.Y - kReach && y <= box.Y + box.Height;
}

// The sizes of the texts measured, by text, face, size, transform and
// hinting: a picture writes mostly the names it wrote the frame before, and
// a name measured once is not measured again. A slot keeps the last text
// whose key fell on it; the table (256 KB) is made at the thread's first
// measure, a busy map's names (some 2,000) falling on slots of their own.
struct Measured {
  std::uint64_t key = 0;
  gfx::REAL width = 0, height = 0;
};
constexpr std::size_t kMeasuredSlots = 16384;
thread_local std::vector<Measured> measured;

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) { return (h ^ v) * 1099511628211ull; }

// The box `text` takes in g's present transform (its layout point and its
// size), as Graphics::MeasureString gives it.
gfx::RectF Measure(gfx::Graphics& g, const MapText& text) {
  const gfx::Matrix m = Transform(g);
  std::uint64_t key = Hash(text.shown);
  key = Mix(key, reinterpret_cast<std::uintptr_t>(text.font.Face()));
  for (const double v : {text.font.EmWorld(), m.a, m.b, m.c, m.d}) key = Mix(key, std::bit_cast<std::uint64_t>(v));
  key = Mix(key, static_cast<std::uint64_t>(g.GetTextRenderingHint()) + 1);
  if (measured.empty()) measured.resize(kMeasuredSlots);
  Measured& slot = measured[key % kMeasuredSlots];
  if (slot.key != key) {
    gfx::RectF box;
    g.MeasureString(text.shown, text.font, gfx::PointF(0, 0), nullptr, &box);
    slot = Measured{key, box.Width, box.Height};
  }
  return gfx::RectF(text.at.X, text.at.Y, slot.width, slot.height);
}

// The same for a text's layout point in g's present transform: a text that
// starts out of sight is not measured.
bool StartsInSight(const gfx::Graphics& g, gfx::PointF at) {
  double x, y;
  Transform(g).Apply(at.X, at.Y, &x, &y);
  return InSight(g, x, y);
}

// Points that are not numbers are near nothing.
bool Near(double ax, double ay, double bx, double by, double reach = kSameLabelPixels) {
  return std::hypot(ax - bx, ay - by) <= reach;
}

double Overlap(double a0, double a1, double b0, double b1) { return std::fmin(a1, b1) - std::fmax(a0, b0); }

// Two names read as one word: one starts next to the other, or covers most
// of it.
bool ReadAsOne(const Box& a, const Box& b) {
  const double line = std::fmax(a.Height(), b.Height());
  if (std::fabs(a.tx - b.tx) <= std::fmax(kStartNearAcrossPixels, kStartNearAcross * line) &&
      std::fabs(a.ty - b.ty) <= std::fmax(kStartNearDownPixels, kStartNearDown * line))
    return true;
  const double w = Overlap(a.x0, a.x1, b.x0, b.x1), h = Overlap(a.y0, a.y1, b.y0, b.y1);
  const double smaller = std::fmin(a.Area(), b.Area());
  return w > 0.0 && h > 0.0 && smaller > 0.0 && w * h > kMostOfLabel * smaller;
}

// Boxes that share more than a rounding of the transforms.
constexpr double kTouch = 0.01;
bool Meet(const Box& a, const Box& b) {
  return Overlap(a.x0, a.x1, b.x0, b.x1) > kTouch && Overlap(a.y0, a.y1, b.y0, b.y1) > kTouch;
}

std::size_t CellBucket(int cx, int cy) {
  return (static_cast<std::size_t>(cx) * 73856093u ^ static_cast<std::size_t>(cy) * 19349663u) % kCellBuckets;
}

// The cells a device box covers, kept to the picture's clip (and the reach
// beside it) so that a box of any size lists a bounded number; none for a
// box that is not a number.
template <class Visit>
void ForEachCell(const gfx::Graphics& g, double x0, double y0, double x1, double y1, Visit&& visit) {
  const gfx::RectF clip = g.GetClipDeviceBounds();
  x0 = std::fmax(x0, clip.X - 2 * kReach), y0 = std::fmax(y0, clip.Y - 2 * kReach);
  x1 = std::fmin(x1, clip.X + clip.Width + 2 * kReach), y1 = std::fmin(y1, clip.Y + clip.Height + 2 * kReach);
  if (!(x0 <= x1 && y0 <= y1)) return;
  const int cx0 = static_cast<int>(std::floor(x0 / kCell)), cx1 = static_cast<int>(std::floor(x1 / kCell));
  const int cy0 = static_cast<int>(std::floor(y0 / kCell)), cy1 = static_cast<int>(std::floor(y1 / kCell));
  for (int cy = cy0; cy <= cy1; ++cy)
    for (int cx = cx0; cx <= cx1; ++cx) visit(cx, cy);
}

// Every entry listed in the cells the device rectangle covers (an entry in
// several of them as often).
template <class Visit>
void ForEachEntryAbout(const gfx::Graphics& g, double x0, double y0, double x1, double y1, Visit&& visit) {
  ForEachCell(g, x0, y0, x1, y1, [&](int cx, int cy) {
    for (int i = picture.cell_heads[CellBucket(cx, cy)]; i >= 0; i = picture.cells[static_cast<std::size_t>(i)].next) {
      const CellNode& n = picture.cells[static_cast<std::size_t>(i)];
      if (n.cx == cx && n.cy == cy) visit(picture.entries[static_cast<std::size_t>(n.entry)]);
    }
  });
}

void Add(const gfx::Graphics& g, std::uint64_t hash, double x, double y, const Box& box, double reach, Kind kind) {
  const int index = static_cast<int>(picture.entries.size());
  // A mark's label names no place: it is found by where it lies only.
  int* head = kind == Kind::kMark ? nullptr : &picture.heads[hash % kBuckets];
  picture.entries.push_back(Entry{hash, x, y, box, reach, kind, head != nullptr ? *head : -1});
  if (head != nullptr) *head = index;
  picture.tallest = std::fmax(picture.tallest, box.Height());
  ForEachCell(g, box.x0, box.y0, box.x1, box.y1, [&](int cx, int cy) {
    int& first = picture.cell_heads[CellBucket(cx, cy)];
    picture.cells.push_back(CellNode{cx, cy, index, first});
    first = static_cast<int>(picture.cells.size() - 1);
  });
}

// Whether `box` may be written: it reads as one with no name written (nor,
// for a layer other than the route, reserved) and meets no mark's label.
bool ClearOfOtherNames(const gfx::Graphics& g, const Box& box, bool route) {
  const double line = std::fmax(box.Height(), picture.tallest);
  const double across = std::fmax(kStartNearAcrossPixels, kStartNearAcross * line);
  const double down = std::fmax(kStartNearDownPixels, kStartNearDown * line);
  bool clear = true;
  ForEachEntryAbout(g, std::fmin(box.x0, box.tx - across), std::fmin(box.y0, box.ty - down),
                    std::fmax(box.x1, box.tx + across), std::fmax(box.y1, box.ty + down), [&](const Entry& e) {
                      if (!clear) return;
                      if (e.kind == Kind::kMark)
                        clear = !Meet(box, e.box);
                      else if (e.kind == Kind::kWritten || !route)
                        clear = !ReadAsOne(box, e.box);
                    });
  return clear;
}

// What a mark's label must keep clear of in its column: the top and bottom
// of a box in the mark's own units.
struct Span {
  double y0, y1;
  bool hard;  // cannot give way
};

// The top for a mark's label (PlaceMarkLabel) before it is recorded.
double ClearTop(const gfx::Graphics& g, const gfx::RectF& box, std::span<const gfx::RectF> written,
                bool whole_pixels) {
  const double top = box.Y, h = box.Height, x0 = box.X, x1 = static_cast<double>(box.X) + box.Width;
  const double eps = 1e-3 * h;
  // What lies in the label's column within its furthest reach.
  constexpr std::size_t kMost = 48;
  std::array<Span, kMost> spans;
  std::size_t n = 0;
  auto consider = [&](double sx0, double sy0, double sx1, double sy1, bool hard) {
    if (n < kMost && Overlap(x0, x1, sx0, sx1) > eps && sy1 > sy0) spans[n++] = Span{sy0, sy1, hard};
  };
  for (const gfx::RectF& w : written)
    consider(w.X, w.Y, static_cast<double>(w.X) + w.Width, static_cast<double>(w.Y) + w.Height, true);
  gfx::Matrix inverse = Transform(g);
  const bool invertible = inverse.Invert() == gfx::Ok && inverse.Finite();
  // A label in sight stays in sight: it does not move past the top or the
  // bottom of the clip's box.
  if (invertible) {
    const gfx::RectF clip = g.GetClipDeviceBounds();
    const Box inside = Apply(inverse, clip);
    if (inside.y0 <= top && top + h <= inside.y1) {
      consider(x0, -INFINITY, x1, inside.y0, true);
      consider(x0, inside.y1, x1, INFINITY, true);
    }
  }
  if (picture.g == &g && invertible) {
    const double reach = kMarkLabelFurthest * h;
    const Box band = Apply(Transform(g), gfx::RectF(box.X, static_cast<gfx::REAL>(top - reach), box.Width,
                                                    static_cast<gfx::REAL>(h + 2 * reach)));
    // An entry listed in several cells is considered as often: harmless.
    ForEachEntryAbout(g, band.x0, band.y0, band.x1, band.y1, [&](const Entry& e) {
      const Box w = Apply(inverse, gfx::RectF(static_cast<gfx::REAL>(e.box.x0), static_cast<gfx::REAL>(e.box.y0),
                                              static_cast<gfx::REAL>(e.box.x1 - e.box.x0),
                                              static_cast<gfx::REAL>(e.box.y1 - e.box.y0)));
      consider(w.x0, w.y0, w.x1, w.y1, e.kind != Kind::kReserved);
    });
  }
  auto clear = [&](double y, bool hard_only) {
    for (std::size_t i = 0; i < n; ++i)
      if ((spans[i].hard || !hard_only) && y < spans[i].y1 - eps && spans[i].y0 < y + h - eps) return false;
    return true;
  };
  if (clear(top, false)) return top;
  // The nearest place, up or down, that is clear (the shorter way; up
  // where both are as near).
  auto nearest = [&](double reach, bool hard_only, double* best) {
    bool found = false;
    auto take = [&](double y) {
      if (std::fabs(y - top) > reach || (found && std::fabs(y - top) >= std::fabs(*best - top)) || !clear(y, hard_only))
        return;
      *best = y;
      found = true;
    };
    take(top);
    for (std::size_t i = 0; i < n; ++i) {
      take(whole_pixels ? std::floor(spans[i].y0 - h) : spans[i].y0 - h);
      take(whole_pixels ? std::ceil(spans[i].y1) : spans[i].y1);
    }
    return found;
  };
  double best = top;
  if (nearest(kMarkLabelReach * h, false, &best) || nearest(kMarkLabelFurthest * h, true, &best)) return best;
  return top;
}

// Whether two boxes are one: the label the drawing call writes is the one
// placed before the layers drew.
bool Same(const gfx::RectF& a, const gfx::RectF& b) {
  constexpr double kSame = 1e-3;
  return std::fabs(a.X - b.X) < kSame && std::fabs(a.Y - b.Y) < kSame && std::fabs(a.Width - b.Width) < kSame &&
         std::fabs(a.Height - b.Height) < kSame;
}

}  // namespace

MapLabelScope::MapLabelScope(const gfx::Graphics& g) : opened_(picture.g == nullptr) {
  if (!opened_) return;
  picture.g = &g;
  picture.entries.clear();
  picture.heads.fill(-1);
  picture.cells.clear();
  picture.cell_heads.fill(-1);
  picture.tallest = 0.0;
  picture.placed.clear();
  picture.next_placed = 0;
}

MapLabelScope::~MapLabelScope() {
  if (opened_) picture.g = nullptr;
}

void ReserveRouteLabel(const gfx::Graphics& g, std::string_view name, double x, double y, const gfx::RectF& text) {
  if (picture.g != &g || name.empty()) return;
  const gfx::Matrix m = Transform(g);
  const Box box = Apply(m, text);
  if (!InSight(g, box.tx, box.ty)) return;
  double px, py;
  m.Apply(x, y, &px, &py);
  Add(g, Hash(name), px, py, box, kSameLabelPixels, Kind::kReserved);
}

void ReserveRouteLabel(gfx::Graphics& g, std::string_view name, double x, double y, const MapText& text) {
  if (picture.g != &g || name.empty() || !StartsInSight(g, text.at)) return;
  ReserveRouteLabel(std::as_const(g), name, x, y, Measure(g, text));
}

bool ClaimMapLabel(const gfx::Graphics& g, std::string_view name, double x, double y, const gfx::RectF& text,
                   bool route, double reach) {
  if (picture.g != &g || name.empty()) return true;
  const gfx::Matrix m = Transform(g);
  const Box box = Apply(m, text);
  if (!InSight(g, box.tx, box.ty)) return true;
  double px, py;
  m.Apply(x, y, &px, &py);
  reach = std::fmax(kSameLabelPixels, reach * std::sqrt(std::fabs(m.Determinant())));
  const std::uint64_t hash = Hash(name);
  for (int i = picture.heads[hash % kBuckets]; i >= 0; i = picture.entries[static_cast<std::size_t>(i)].next) {
    const Entry& e = picture.entries[static_cast<std::size_t>(i)];
    if (e.hash != hash) continue;
    const bool same_place = Near(e.x, e.y, px, py, std::fmax(e.reach, reach));
    if (e.kind == Kind::kWritten ? same_place || Near(e.box.tx, e.box.ty, box.tx, box.ty) : !route && same_place)
      return false;
  }
  if (!ClearOfOtherNames(g, box, route)) return false;
  Add(g, hash, px, py, box, reach, Kind::kWritten);
  return true;
}

bool WriteMapLabel(gfx::Graphics& g, std::string_view name, double x, double y, const MapText& text,
                   const gfx::SolidBrush& brush, bool route, double reach) {
  if (picture.g == &g && !name.empty() && StartsInSight(g, text.at) &&
      !ClaimMapLabel(g, name, x, y, Measure(g, text), route, reach))
    return false;
  g.DrawString(text.shown, text.font, text.at, brush);
  return true;
}

double PlaceMarkLabel(const gfx::Graphics& g, const gfx::RectF& box, std::span<const gfx::RectF> written,
                      bool whole_pixels) {
  const bool open = picture.g == &g, holding = held_back == &g;
  if (open && !holding && picture.next_placed < picture.placed.size() &&
      Same(picture.placed[picture.next_placed].natural, box))
    return picture.placed[picture.next_placed++].top;
  const double top = ClearTop(g, box, written, whole_pixels);
  if (!open) return top;
  gfx::RectF at = box;
  at.Y = static_cast<gfx::REAL>(top);
  const Box b = Apply(Transform(g), at);
  if (std::isfinite(b.x0) && std::isfinite(b.y0) && std::isfinite(b.x1) && std::isfinite(b.y1))
    Add(g, 0, b.tx, b.ty, b, 0.0, Kind::kMark);
  if (holding) picture.placed.push_back(PlacedMark{box, top});
  return top;
}

MarkDrawingHeldBack::MarkDrawingHeldBack(gfx::Graphics& g) : g_(g), held_(held_back == nullptr) {
  g.GetTransform(&kept_);
  if (held_) held_back = &g;
}

MarkDrawingHeldBack::~MarkDrawingHeldBack() {
  if (held_) held_back = nullptr;
  g_.SetTransform(kept_);
}

bool MarksHeldBack(const gfx::Graphics& g) { return held_back == &g; }

}  // namespace ovi::display
