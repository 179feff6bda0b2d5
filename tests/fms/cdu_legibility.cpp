#include "tests/fms/cdu_legibility.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "platform/gfx/device_context.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/objects.h"

namespace ovi::fms::test {

namespace {

constexpr float kWidth = 282.0f, kHeight = 245.0f;
constexpr int kZoom = 4;  // k-pixels per logical unit
// The clear gap two texts need between their inked pixels: one logical unit
// between lines, and a blank of the smaller font between texts on one line
// (less reads as one word: "MODRTE", "INDEX1/1").
constexpr int kLineGap = kZoom;
constexpr float kBlankEm = 0.278f;  // Arial's blank
constexpr std::uint32_t kInkAlpha = 128;
constexpr gfx::ARGB kBoxed = 0xFF000000u;  // the kit's black on a highlight box
constexpr int kScreenElement = 1;          // the CDU screen in a gauge's text record

// A text's inked k-pixels, in screen k-pixel coordinates.
struct Ink {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // bounds, x1 and y1 past the end; empty when x0 == x1
  std::vector<std::uint8_t> on;        // (x1 - x0) x (y1 - y0), row-major
  bool At(int x, int y) const {
    return x >= x0 && x < x1 && y >= y0 && y < y1 && on[static_cast<std::size_t>((y - y0) * (x1 - x0) + (x - x0))];
  }
};

std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    std::uint32_t cp = c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra > 0) cp = c & (0x3F >> extra);
    for (int n = 0; n < extra && i + 1 < utf8.size(); ++n) cp = (cp << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
    ++i;
    if (cp < 0x10000) out += static_cast<char16_t>(cp);
  }
  return out;
}

// Draws the text alone kZoom times larger and keeps the pixels of at least
// half coverage. A boxed text reaches across its whole layout box, over the
// rows its letters take: its neighbours on the line meet the box, not the
// letters, and the rows above and below keep their usual gap.
Ink Render(const ScreenItem& item) {
  const double zx = static_cast<double>(item.x) * kZoom, zy = static_cast<double>(item.y) * kZoom;
  const double fx = zx - std::floor(zx), fy = zy - std::floor(zy);
  constexpr int kMargin = 4;
  const gfx::Font font(item.font, item.size * kZoom, item.style, gfx::Unit::Pixel);
  const std::u16string text = Utf16(item.text);
  gfx::RectF box;
  {
    gfx::DeviceContext probe(1, 1);
    gfx::Graphics g(&probe);
    g.MeasureString(text, font, gfx::RectF(0, 0, 0, 0), nullptr, &box);
  }
  Ink ink;
  const int w = static_cast<int>(std::ceil(box.Width)) + 2 * kMargin + 1;
  const int h = static_cast<int>(std::ceil(box.Height)) + 2 * kMargin + 1;
  if (text.empty() || w > gfx::kMaxSurfaceSide || h > gfx::kMaxSurfaceSide) return ink;
  gfx::DeviceContext dc(w, h);
  {
    gfx::Graphics g(&dc);
    g.Clear(gfx::Color(0x00000000u));
    g.DrawString(text, font,
                 gfx::RectF(static_cast<gfx::REAL>(fx + kMargin), static_cast<gfx::REAL>(fy + kMargin), 0, 0), nullptr,
                 gfx::SolidBrush(0xFFFFFFFFu));
  }
  std::vector<std::uint8_t> on(static_cast<std::size_t>(w * h), 0);
  int x0 = w, y0 = h, x1 = 0, y1 = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if ((dc.pixels[static_cast<std::size_t>(y * w + x)] >> 24) < kInkAlpha) continue;
      on[static_cast<std::size_t>(y * w + x)] = 1;
      x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
    }
  if (x0 >= x1) return ink;
  if (item.boxed) {
    x0 = static_cast<int>(std::floor(fx)) + kMargin;
    x1 = std::min(w, static_cast<int>(std::ceil(fx + box.Width)) + kMargin);
    for (int y = y0; y < y1; ++y) std::fill(on.begin() + y * w + x0, on.begin() + y * w + x1, 1);
  }
  const int left = static_cast<int>(std::floor(zx)) - kMargin, top = static_cast<int>(std::floor(zy)) - kMargin;
  ink.x0 = left + x0, ink.y0 = top + y0, ink.x1 = left + x1, ink.y1 = top + y1;
  for (int y = y0; y < y1; ++y) ink.on.insert(ink.on.end(), on.begin() + y * w + x0, on.begin() + y * w + x1);
  return ink;
}

// Pages repeat their labels and prompts: each text at each place is drawn once.
const Ink& CachedInk(const ScreenItem& item) {
  using Key = std::tuple<std::string, std::string, float, int, float, float, bool>;
  static std::map<Key, Ink> cache;
  const Key key{item.text, item.font, item.size, item.style, item.x, item.y, item.boxed};
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.emplace(key, Render(item)).first;
  return it->second;
}

// Whether some inked pixel of one lies within (gx, gy) k-pixels of one of
// the other's: less clear space between them than the gap asks.
bool Touch(const Ink& a, const Ink& b, int gx, int gy) {
  if (a.x0 >= a.x1 || b.x0 >= b.x1) return false;
  const int x0 = std::max(a.x0, b.x0 - gx), x1 = std::min(a.x1, b.x1 + gx);
  const int y0 = std::max(a.y0, b.y0 - gy), y1 = std::min(a.y1, b.y1 + gy);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      if (!a.At(x, y)) continue;
      for (int dy = -gy; dy <= gy; ++dy)
        for (int dx = -gx; dx <= gx; ++dx)
          if (b.At(x + dx, y + dy)) return true;
    }
  return false;
}

// Columns holding ink within rows [y0, y1).
std::vector<bool> InkedColumns(const Ink& ink, int y0, int y1) {
  std::vector<bool> cols(static_cast<std::size_t>(ink.x1 - ink.x0), false);
  for (int y = y0; y < y1; ++y)
    for (int x = ink.x0; x < ink.x1; ++x)
      if (ink.At(x, y)) cols[static_cast<std::size_t>(x - ink.x0)] = true;
  return cols;
}

// Texts whose letters share rows stand on one line: over those rows their
// inked columns need a blank of the smaller font between them, however the
// letters' shapes fall ("<CTR>250" reads as one word even where the tip of
// the ">" is far from the "2"). Texts of different lines need kLineGap.
bool TooClose(const ScreenItem& ia, const Ink& a, const ScreenItem& ib, const Ink& b) {
  if (a.x0 >= a.x1 || b.x0 >= b.x1) return false;
  const int y0 = std::max(a.y0, b.y0), y1 = std::min(a.y1, b.y1);
  if (y0 >= y1) return Touch(a, b, kLineGap, kLineGap);
  const int blank = std::max(kLineGap, static_cast<int>(kBlankEm * std::min(ia.size, ib.size) * kZoom));
  const std::vector<bool> ca = InkedColumns(a, y0, y1), cb = InkedColumns(b, y0, y1);
  for (int x = std::max(a.x0, b.x0 - blank); x < std::min(a.x1, b.x1 + blank); ++x) {
    if (!ca[static_cast<std::size_t>(x - a.x0)]) continue;
    for (int dx = -blank; dx <= blank; ++dx) {
      const int bx = x + dx;
      if (bx >= b.x0 && bx < b.x1 && cb[static_cast<std::size_t>(bx - b.x0)]) return true;
    }
  }
  return false;
}

std::string Quoted(const ScreenItem& item) {
  std::ostringstream s;
  s << '"' << item.text << "\" at (" << item.x << ", " << item.y << ")";
  return s.str();
}

// The quoted fields of a record line, `\"` and `\\` undone.
bool ReadQuoted(std::istream& in, std::string& out) {
  out.clear();
  in >> std::ws;
  if (in.get() != '"') return false;
  for (int c = in.get(); c != EOF; c = in.get()) {
    if (c == '"') return true;
    if (c == '\\') c = in.get();
    out += static_cast<char>(c);
  }
  return false;
}

}  // namespace

std::vector<ScreenItem> ScreenItemsOf(const gfx::Recorder& rec, float sx, float sy) {
  std::vector<ScreenItem> items;
  for (const gfx::RecordedOp& op : rec.Ops()) {
    if (op.kind != gfx::OpKind::Text || op.points.empty()) continue;
    items.push_back(ScreenItem{op.text, op.font_family, op.font_size, op.font_style, op.points[0].X / sx,
                               op.points[0].Y / sy, op.color == kBoxed});
  }
  return items;
}

std::vector<ScreenItem> ScreenItemsOfRecord(const std::string& record) {
  std::vector<ScreenItem> items;
  std::istringstream lines(record);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == ';') continue;
    std::istringstream f(line);
    int element = 0;
    double x, y, w, h;
    std::string colour;
    ScreenItem item;
    if (!(f >> element >> x >> y >> w >> h >> item.x >> item.y >> colour >> item.size >> item.style)) continue;
    if (element != kScreenElement || !ReadQuoted(f, item.font) || !ReadQuoted(f, item.text)) continue;
    item.boxed = std::stoul(colour, nullptr, 16) == kBoxed;
    items.push_back(item);
  }
  return items;
}

std::vector<std::string> LegibilityFaults(const std::vector<ScreenItem>& items) {
  std::vector<std::string> faults;
  std::vector<const Ink*> inks;
  for (const ScreenItem& item : items) inks.push_back(&CachedInk(item));
  const int right = static_cast<int>(kWidth) * kZoom, bottom = static_cast<int>(kHeight) * kZoom;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Ink& a = *inks[i];
    if (a.x0 < a.x1 && (a.x0 < 0 || a.y0 < 0 || a.x1 > right || a.y1 > bottom))
      faults.push_back(Quoted(items[i]) + " leaves the screen");
    for (std::size_t j = i + 1; j < items.size(); ++j)
      if (TooClose(items[i], a, items[j], *inks[j])) faults.push_back(Quoted(items[i]) + " touches " + Quoted(items[j]));
  }
  return faults;
}


void ExpectLegibleCduSnapshots(const std::filesystem::path& out) {
  namespace fs = std::filesystem;
  int records = 0;
  for (const fs::directory_entry& snapshot : fs::directory_iterator(out / "snapshots")) {
    for (const fs::directory_entry& file : fs::directory_iterator(snapshot.path())) {
      const std::string name = file.path().filename().string();
      if (name.find("_SMITHS_FMS") == std::string::npos || file.path().extension() != ".txt") continue;
      std::ifstream in(file.path());
      std::stringstream text;
      text << in.rdbuf();
      ++records;
      for (const std::string& fault : LegibilityFaults(ScreenItemsOfRecord(text.str())))
        ADD_FAILURE() << snapshot.path().filename().string() << "/" << name << ": " << fault;
    }
  }
  EXPECT_GT(records, 0) << "no CDU picture under " << out;
}

}  // namespace ovi::fms::test
