#include "sim/mouse.h"

#include "src/util/text.h"

namespace ovi::sim {

bool MouseArea::Contains(double px, double py) const {
  if (w == 0 && h == 0) return true;
  return px >= x && px < static_cast<double>(x) + w && py >= y && py < static_cast<double>(y) + h;
}

std::vector<MouseArea> ReadMouseList(const MOUSERECT* list, std::string& problem) {
  std::vector<MouseArea> areas;
  problem.clear();
  if (list == nullptr) return areas;
  // Origins of the open parents; the gauge's own top-left is the outermost.
  std::vector<PIXPOINT> origins{{0, 0}};
  for (int i = 0; i < kMaxMouseRects; ++i) {
    const MOUSERECT& r = list[i];
    switch (r.rect_type) {
      case MOUSE_RECT_EOL:
        return areas;
      case MOUSE_RECT_END_PARENT:
        if (origins.size() == 1) {
          problem = util::Format("entry %d closes a parent that is not open; the rest is ignored", i);
          return areas;
        }
        origins.pop_back();
        continue;
      case MOUSE_RECT_PARENT:
      case MOUSE_RECT_CHILD:
        break;
      default:
        problem = util::Format("entry %d has the unknown type %d; the rest is ignored", i, r.rect_type);
        return areas;
    }
    // Sums in 64 bits: a module's wild offsets must not overflow.
    long long ax = static_cast<long long>(origins.back().x) + r.position.x;
    long long ay = static_cast<long long>(origins.back().y) + r.position.y;
    const long long kFar = 1 << 24;
    if (ax < -kFar || ax > kFar || ay < -kFar || ay > kFar || r.size.x < 0 || r.size.y < 0 || r.size.x > kFar ||
        r.size.y > kFar) {
      problem = util::Format("entry %d lies outside any gauge (%lld, %lld, %d x %d); the rest is ignored", i, ax, ay,
                             r.size.x, r.size.y);
      return areas;
    }
    MouseArea a;
    a.entry = i;
    a.parent = r.rect_type == MOUSE_RECT_PARENT;
    a.x = static_cast<int>(ax);
    a.y = static_cast<int>(ay);
    a.w = r.size.x;
    a.h = r.size.y;
    a.cursor = r.cursor;
    a.flags = r.event_flags;
    a.handler = r.handler;
    areas.push_back(a);
    if (a.parent) {
      if (static_cast<int>(origins.size()) > kMaxMouseDepth) {
        problem = util::Format("entry %d opens a parent deeper than %d levels; the rest is ignored", i, kMaxMouseDepth);
        areas.pop_back();
        return areas;
      }
      origins.push_back(PIXPOINT{a.x, a.y});
    }
  }
  problem = util::Format("no end entry within %d entries; the rest is ignored", kMaxMouseRects);
  return areas;
}

const MouseArea* FindClickArea(const std::vector<MouseArea>& areas, double x, double y, std::uint32_t flags) {
  for (const MouseArea& a : areas) {
    if (a.handler == nullptr || !a.Contains(x, y)) continue;
    if ((a.flags & flags & ~MOUSE_REPEAT) == 0) continue;
    return &a;
  }
  return nullptr;
}

std::int32_t FindCursor(const std::vector<MouseArea>& areas, double x, double y) {
  for (const MouseArea& a : areas)
    if (a.cursor != CURSOR_NONE && a.Contains(x, y)) return a.cursor;
  return CURSOR_NONE;
}

}  // namespace ovi::sim
