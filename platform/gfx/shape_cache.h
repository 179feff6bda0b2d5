// The coverage of strokes drawn before, kept for the next time the same
// stroke is drawn. A map frame draws the same small shapes (rings, symbol
// outlines, legs) at the same places frame after frame; rasterising one
// costs far more than compositing what it covered. Coverage depends only on
// the stroke's points on the fixed-point grid measured from their origin
// pixel, the pen and the linear part of the transform (thin_stroke.h), so
// the key is exactly that, and a kept coverage paints the pixels drawing
// afresh gives. The colour is not part of the key: it is applied when the
// coverage is painted.
//
// One cache serves the process (nothing is kept per device context),
// guarded by a mutex like the font faces; bounded in entries and bytes,
// the least recently used entry goes first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gfx/thin_stroke.h"

namespace ovi::gfx::detail {

// What identifies a stroke's coverage, as 32-bit words, and its hash.
struct ShapeKey {
  std::vector<std::uint32_t> words;
  std::uint64_t hash = 0;

  void Clear() {
    words.clear();
    hash = 0;
  }
  void Add(std::uint32_t w) { words.push_back(w); }
  void Add(double v);
  // Fixes the hash once every word is in.
  void Seal();
};

class ShapeCache {
 public:
  static constexpr std::size_t kMaxEntries = 8192;
  static constexpr std::size_t kMaxBytes = std::size_t{8} << 20;
  // A stroke whose key and coverage together take more is never kept.
  static constexpr std::size_t kMaxEntryBytes = std::size_t{256} << 10;

  // Paints the coverage kept for `key` onto the pixels (the figure's origin
  // at (ox, oy)) when there is one and it holds for the box [bx0, bx1) x
  // [by0, by1) (pixels from the origin), only where `clip` lets it through
  // when there is one; false, painting nothing, otherwise.
  bool Paint(const ShapeKey& key, int bx0, int by0, int bx1, int by1, std::uint32_t* pixels, int stride, int ox,
             int oy, std::uint32_t argb, const ClipPixels* clip = nullptr);
  // Keeps a copy of `coverage` under `key` (for any box when it does not
  // depend on its box, Coverage::inside, else for its own box only).
  void Keep(const ShapeKey& key, const Coverage& coverage);

  struct Size {
    std::size_t entries = 0;
    std::size_t bytes = 0;
  };
  Size Used() const;
  void Clear();

  ShapeCache();
  ~ShapeCache();
  ShapeCache(const ShapeCache&) = delete;
  ShapeCache& operator=(const ShapeCache&) = delete;

 private:
  struct State;
  State* state_;
};

// The process's cache.
ShapeCache& Shapes();

}  // namespace ovi::gfx::detail
