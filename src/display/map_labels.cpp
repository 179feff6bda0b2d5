#include "src/display/map_labels.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace ovi::display {

namespace {

struct Entry {
  std::uint64_t hash;
  double x, y;  // the place, device pixels
  double text_x, text_y;
  double reach;  // device pixels within which a place of the name is this one
  bool written;  // else reserved for the route
  int next;      // the bucket's next entry, -1 at its end
};

constexpr std::size_t kBuckets = 256;

struct Picture {
  const gfx::Graphics* g = nullptr;
  std::vector<Entry> entries;
  std::array<int, kBuckets> heads{};
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

gfx::Matrix Transform(const gfx::Graphics& g) {
  gfx::Matrix m;
  g.GetTransform(&m);
  return m;
}

// Whether a text starting at the device point (x, y) can show: within the
// clip's box, or a little left of or above it, where its end may reach in.
// A name out of sight names nothing: another layer's label of the same
// place, in sight, is still written.
constexpr double kReach = 2.0 * kSameLabelPixels;
bool InSight(const gfx::Graphics& g, double x, double y, double beyond = 0.0) {
  const gfx::RectF box = g.GetClipDeviceBounds();
  return x >= box.X - kReach && x <= box.X + box.Width + beyond && y >= box.Y - kReach &&
         y <= box.Y + box.Height + beyond;
}

// Points that are not numbers are near nothing.
bool Near(double ax, double ay, double bx, double by, double reach = kSameLabelPixels) {
  return std::hypot(ax - bx, ay - by) <= reach;
}

void Add(std::uint64_t hash, double x, double y, double text_x, double text_y, double reach, bool written) {
  int& head = picture.heads[hash % kBuckets];
  picture.entries.push_back(Entry{hash, x, y, text_x, text_y, reach, written, head});
  head = static_cast<int>(picture.entries.size() - 1);
}

}  // namespace

MapLabelScope::MapLabelScope(const gfx::Graphics& g) : opened_(picture.g == nullptr) {
  if (!opened_) return;
  picture.g = &g;
  picture.entries.clear();
  picture.heads.fill(-1);
}

MapLabelScope::~MapLabelScope() {
  if (opened_) picture.g = nullptr;
}

void ReserveRouteLabel(const gfx::Graphics& g, std::string_view name, double x, double y) {
  if (picture.g != &g || name.empty()) return;
  double dx, dy;
  Transform(g).Apply(x, y, &dx, &dy);
  // The route's text starts a little right of and above its place.
  if (!InSight(g, dx, dy, kReach)) return;
  Add(Hash(name), dx, dy, NAN, NAN, kSameLabelPixels, false);
}

bool ClaimMapLabel(const gfx::Graphics& g, std::string_view name, double x, double y, double text_x, double text_y,
                   bool route, double reach) {
  if (picture.g != &g || name.empty()) return true;
  const gfx::Matrix m = Transform(g);
  double px, py, tx, ty;
  m.Apply(x, y, &px, &py);
  m.Apply(text_x, text_y, &tx, &ty);
  if (!InSight(g, tx, ty)) return true;
  reach = std::fmax(kSameLabelPixels, reach * std::sqrt(std::fabs(m.Determinant())));
  const std::uint64_t hash = Hash(name);
  for (int i = picture.heads[hash % kBuckets]; i >= 0; i = picture.entries[static_cast<std::size_t>(i)].next) {
    const Entry& e = picture.entries[static_cast<std::size_t>(i)];
    if (e.hash != hash) continue;
    const bool same_place = Near(e.x, e.y, px, py, std::fmax(e.reach, reach));
    if (e.written ? same_place || Near(e.text_x, e.text_y, tx, ty) : !route && same_place) return false;
  }
  Add(hash, px, py, tx, ty, reach, true);
  return true;
}

}  // namespace ovi::display
