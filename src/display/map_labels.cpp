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

void ToDevice(const gfx::Graphics& g, double x, double y, double& dx, double& dy) {
  gfx::Matrix m;
  g.GetTransform(&m);
  m.Apply(x, y, &dx, &dy);
}

// Points that are not numbers are near nothing.
bool Near(double ax, double ay, double bx, double by) {
  return std::hypot(ax - bx, ay - by) <= kSameLabelPixels;
}

void Add(std::uint64_t hash, double x, double y, double text_x, double text_y, bool written) {
  int& head = picture.heads[hash % kBuckets];
  picture.entries.push_back(Entry{hash, x, y, text_x, text_y, written, head});
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
  ToDevice(g, x, y, dx, dy);
  Add(Hash(name), dx, dy, NAN, NAN, false);
}

bool ClaimMapLabel(const gfx::Graphics& g, std::string_view name, double x, double y, double text_x, double text_y,
                   bool route) {
  if (picture.g != &g || name.empty()) return true;
  double px, py, tx, ty;
  ToDevice(g, x, y, px, py);
  ToDevice(g, text_x, text_y, tx, ty);
  const std::uint64_t hash = Hash(name);
  for (int i = picture.heads[hash % kBuckets]; i >= 0; i = picture.entries[static_cast<std::size_t>(i)].next) {
    const Entry& e = picture.entries[static_cast<std::size_t>(i)];
    if (e.hash != hash) continue;
    if (e.written ? Near(e.x, e.y, px, py) || Near(e.text_x, e.text_y, tx, ty) : !route && Near(e.x, e.y, px, py))
      return false;
  }
  Add(hash, px, py, tx, ty, true);
  return true;
}

}  // namespace ovi::display
